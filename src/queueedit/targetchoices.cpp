#include "queueedit/targetchoices.h"
#include "lists/queuelists.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/msg.h"
#include "common/trace.h"
#include "resources/resource.h"

/* The choice is kept on the dialog: the position of the queue selected, or -1. */
static int  Choice_Of(HWND dlg)          { return (int)GetWindowLongPtrA(dlg, DWLP_USER) - 1; }
static void Set_Choice(HWND dlg, int pos) { SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)pos + 1); }
static HWND List_Of(HWND dlg)             { return GetDlgItem(dlg, IDC_CH_LIST); }

static BOOL On_Choices_Init(HWND dlg)
{
    Trace("TargetChoices_Dlg(); wm_initdialog\n");
    Centre_Window(dlg);
    SetWindowTextA(dlg, "Choose a Queue");
    Set_Choice(dlg, -1);
    HWND list = Create_TargetList_InPlace(dlg, IDC_CH_LIST, TRUE);
    if (list != NULL) Add_LVData(list, QL_TARGETS);
    SetDlgItemTextA(dlg, IDC_CH_LABEL, "No Selection");
    ShowWindow(GetDlgItem(dlg, IDC_CH_NEW), SW_HIDE);
    if (list != NULL) {
        SetFocus(list);
        return FALSE;
    }
    return TRUE;
}

/* The selected queue is the choice, and the label names it; with none selected there is none. */
static void On_Selection_Change(HWND dlg, const NMLISTVIEW *nm)
{
    if (!((nm->uOldState ^ nm->uNewState) & LVIS_SELECTED)) return;
    if (nm->uNewState & LVIS_SELECTED) {
        char name[TEXT_LEN] = "";
        ListView_GetItemText(nm->hdr.hwndFrom, nm->iItem, 0, name, sizeof name);
        Set_Choice(dlg, Get_LV__Item_Param(nm->hdr.hwndFrom, nm->iItem));
        SetDlgItemTextA(dlg, IDC_CH_LABEL, name);
    } else if (Count_Selected(nm->hdr.hwndFrom) == 0) {
        Set_Choice(dlg, -1);
        SetDlgItemTextA(dlg, IDC_CH_LABEL, "No Selection");
    }
}

static void On_Choices_Ok(HWND dlg)
{
    int choice = Choice_Of(dlg);
    if (choice < 0) {
        Info_Box(programTitle, "You have not yet selected a queue.");
        return;
    }
    Trace("TargetChoices_Dlg: queue %d chosen\n", choice + 1);
    EndDialog(dlg, choice);
}

static BOOL On_Choices_Notify(HWND dlg, const NMHDR *nm)
{
    if (nm->idFrom != IDC_CH_LIST) return QueueList_Notify(nm);
    switch (nm->code) {
    case LVN_ITEMCHANGED: On_Selection_Change(dlg, (const NMLISTVIEW *)nm);                        return TRUE;
    case NM_CLICK:        EnableWindow(GetDlgItem(dlg, IDOK), Count_Selected(nm->hwndFrom) == 1);  return TRUE;
    case NM_DBLCLK:       if (Choice_Of(dlg) >= 0) On_Choices_Ok(dlg);                              return TRUE;
    }
    return QueueList_Notify(nm);
}

INT_PTR CALLBACK TargetChoices_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:  return On_Choices_Init(hDlg);
    case WM_MEASUREITEM: return Measure_QueueItem(hDlg, (MEASUREITEMSTRUCT *)lParam);
    case WM_DRAWITEM:    return Draw_QueueItem((const DRAWITEMSTRUCT *)lParam);
    case WM_NOTIFY:      return On_Choices_Notify(hDlg, (const NMHDR *)lParam);
    case WM_DESTROY:     Destroy_ListImageList(List_Of(hDlg)); return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:     On_Choices_Ok(hDlg);    return TRUE;
        case IDCANCEL: EndDialog(hDlg, -1);    return TRUE;
        }
        break;
    }
    return FALSE;
}

int Choose_Target(HWND owner)
{
    return (int)DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_CHOICES), owner, TargetChoices_Dlg, 0);
}
