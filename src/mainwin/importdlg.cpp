#include "mainwin/importdlg.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "config/exchange.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <stdlib.h>
#include <string.h>

/* ---- export ---- */

BOOL Export_Queues(HWND owner, const int *targetPos, int nTargets, const int *lbqPos, int nLbqs)
{
    Trace("Export_Queues ( %d output queues, %d input queues )\n", nTargets, nLbqs);
    if (nTargets + nLbqs == 0) return FALSE;
    const char *first = nLbqs > 0 && (nTargets == 0) ? lbqs[lbqPos[0]].name : targets[targetPos[0]].name;
    char path[PATH_LEN];
    Format_Text(path, sizeof path, "%s\\%s.%s", homeDir != NULL ? homeDir : "", first, EXPORT_EXTENSION);
    if (!Choose_TypedFile(owner, "Export Queues To", path, sizeof path, EXPORT_TYPES, EXPORT_EXTENSION, TRUE)) return FALSE;
    return Write_Export(path, targetPos, nTargets, lbqPos, nLbqs);
}

/* ---- the preview ---- */

typedef struct {
    IMPORT_PLAN *plan;
    BOOL         filling;        /* the dialog sets its own controls: their change notes are not the operator's */
} IMPORT_STATE;

static IMPORT_STATE *State_Of(HWND hDlg) { return (IMPORT_STATE *)GetWindowLongPtrA(hDlg, DWLP_USER); }

static int Units_X(HWND hDlg, int units)
{
    RECT r = { 0, 0, units, 0 };
    MapDialogRect(hDlg, &r);
    return r.right;
}

static void Add_Column(HWND hDlg, HWND list, int c, const char *heading, int units)
{
    char text[64];
    Copy_Field(text, heading);
    LVCOLUMNA col;
    memset(&col, 0, sizeof col);
    col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
    col.fmt = LVCFMT_LEFT;
    col.pszText = text;
    col.cx = Units_X(hDlg, units);
    col.iSubItem = c;
    SendMessageA(list, LVM_INSERTCOLUMNA, (WPARAM)c, (LPARAM)&col);
}

static void Set_Cell(HWND list, int item, int sub, const char *text)
{
    LVITEMA it;
    memset(&it, 0, sizeof it);
    it.mask = LVIF_TEXT;
    it.iItem = item;
    it.iSubItem = sub;
    it.pszText = (char *)text;
    if (sub == 0 && item >= (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&it);
    else SendMessageA(list, LVM_SETITEMTEXTA, (WPARAM)item, (LPARAM)&it);
}

static int Selected_Item(HWND list) { return (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); }

/* The lists and warnings from the plan as the last review left it. */
static void Show_Plan(HWND hDlg, const IMPORT_PLAN *p)
{
    HWND queues = GetDlgItem(hDlg, IDC_IMPORT_QUEUES);
    for (int i = 0; i < p->queueCount; i++) {
        const IMPORT_QUEUE *q = &p->queues[i];
        Set_Cell(queues, i, 0, q->isInput ? "Input queue" : "Output queue");
        Set_Cell(queues, i, 1, q->fileName);
        Set_Cell(queues, i, 2, q->newName);
    }
    HWND appsList = GetDlgItem(hDlg, IDC_IMPORT_APPS);
    for (int i = 0; i < p->appCount; i++) {
        Set_Cell(appsList, i, 0, p->apps[i].app.path);
        Set_Cell(appsList, i, 1, p->apps[i].app.args);
        Set_Cell(appsList, i, 2, p->apps[i].reuse >= 0 ? "Reused" : "Added");
    }
    HWND notes = GetDlgItem(hDlg, IDC_IMPORT_NOTES);
    SendMessageA(notes, WM_SETREDRAW, FALSE, 0);
    SendMessageA(notes, LB_RESETCONTENT, 0, 0);
    HDC dc = GetDC(notes);
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageA(notes, WM_GETFONT, 0, 0));
    int widest = 0;
    for (int i = 0; i < p->noteCount; i++) {
        SendMessageA(notes, LB_ADDSTRING, 0, (LPARAM)p->notes[i].text);
        SIZE sz;
        if (GetTextExtentPoint32A(dc, p->notes[i].text, (int)strlen(p->notes[i].text), &sz) && sz.cx > widest) widest = sz.cx;
    }
    if (p->noteCount == 0) SendMessageA(notes, LB_ADDSTRING, 0, (LPARAM) "None: every queue can be added as it is.");
    SelectObject(dc, old);
    ReleaseDC(notes, dc);
    SendMessageA(notes, LB_SETHORIZONTALEXTENT, (WPARAM)(widest + Units_X(hDlg, 4)), 0);
    SendMessageA(notes, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(notes, NULL, TRUE);
}

static void Review_And_Show(HWND hDlg, IMPORT_STATE *st)
{
    Review_Import(st->plan);
    Show_Plan(hDlg, st->plan);
}

/* The new-name box shows the selected queue's name here. */
static void Show_SelectedName(HWND hDlg, IMPORT_STATE *st)
{
    int item = Selected_Item(GetDlgItem(hDlg, IDC_IMPORT_QUEUES));
    st->filling = TRUE;
    SetDlgItemTextA(hDlg, IDC_IMPORT_NAME, item >= 0 ? st->plan->queues[item].newName : "");
    st->filling = FALSE;
    EnableWindow(GetDlgItem(hDlg, IDC_IMPORT_NAME), item >= 0);
}

static BOOL On_Init(HWND hDlg, const IMPORT_DIALOG *d)
{
    Trace("Import_Dlg(); wm_initdialog\n");
    IMPORT_STATE *st = (IMPORT_STATE *)calloc(1, sizeof *st);
    if (st == NULL) {
        EndDialog(hDlg, IDCANCEL);
        return TRUE;
    }
    st->plan = d->plan;
    SetWindowLongPtrA(hDlg, DWLP_USER, (LONG_PTR)st);
    char text[PATH_LEN + 40];
    Format_Text(text, sizeof text, "From %s", d->path);
    SetDlgItemTextA(hDlg, IDC_IMPORT_FILE, text);
    HWND queues = GetDlgItem(hDlg, IDC_IMPORT_QUEUES), appsList = GetDlgItem(hDlg, IDC_IMPORT_APPS);
    SendMessageA(queues, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    SendMessageA(appsList, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    Add_Column(hDlg, queues, 0, "Kind", 60);
    Add_Column(hDlg, queues, 1, "Name in the file", 135);
    Add_Column(hDlg, queues, 2, "Name here", 135);
    Add_Column(hDlg, appsList, 0, "Program", 190);
    Add_Column(hDlg, appsList, 1, "Arguments", 90);
    Add_Column(hDlg, appsList, 2, "Here", 50);
    SendDlgItemMessageA(hDlg, IDC_IMPORT_NAME, EM_LIMITTEXT, TEXT_LEN - 1, 0);
    SendDlgItemMessageA(hDlg, IDC_IMPORT_FROM, EM_LIMITTEXT, TEXT_LEN - 1, 0);
    SendDlgItemMessageA(hDlg, IDC_IMPORT_TO, EM_LIMITTEXT, TEXT_LEN - 1, 0);
    st->filling = TRUE;
    SetDlgItemTextA(hDlg, IDC_IMPORT_FROM, st->plan->sourceHome);
    SetDlgItemTextA(hDlg, IDC_IMPORT_TO, st->plan->toRoot);
    st->filling = FALSE;
    Copy_Field(st->plan->fromRoot, st->plan->sourceHome);
    Review_And_Show(hDlg, st);
    LVITEMA it;
    memset(&it, 0, sizeof it);
    it.stateMask = it.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(queues, LVM_SETITEMSTATE, 0, (LPARAM)&it);
    Show_SelectedName(hDlg, st);
    Centre_Window(hDlg);
    SetFocus(queues);
    return FALSE;
}

static void On_NameChanged(HWND hDlg, IMPORT_STATE *st)
{
    int item = Selected_Item(GetDlgItem(hDlg, IDC_IMPORT_QUEUES));
    if (st->filling || item < 0) return;
    IMPORT_QUEUE *q = &st->plan->queues[item];
    GetDlgItemTextA(hDlg, IDC_IMPORT_NAME, q->newName, sizeof q->newName);
    q->nameEdited = TRUE;
    Review_And_Show(hDlg, st);
}

static void On_RootChanged(HWND hDlg, IMPORT_STATE *st)
{
    if (st->filling) return;
    GetDlgItemTextA(hDlg, IDC_IMPORT_FROM, st->plan->fromRoot, sizeof st->plan->fromRoot);
    GetDlgItemTextA(hDlg, IDC_IMPORT_TO, st->plan->toRoot, sizeof st->plan->toRoot);
    Review_And_Show(hDlg, st);
}

static void On_Ok(HWND hDlg, IMPORT_STATE *st)
{
    Trace("Import_Dlg(); OK\n");
    IMPORT_PLAN *p = st->plan;
    Review_Import(p);
    char refusals[IMPORT_REASON_LEN * 4] = "";
    for (int i = 0; i < p->noteCount; i++) {
        if (p->notes[i].kind != IN_NAME_TAKEN && p->notes[i].kind != IN_LIMIT) continue;
        Append_Field(refusals, p->notes[i].text);
        Append_Field(refusals, "\r\n");
    }
    if (refusals[0] != '\0') {
        Info_Box(programTitle, "The queues cannot be imported as they are:\r\n\r\n%s", refusals);
        SetFocus(GetDlgItem(hDlg, IDC_IMPORT_NAME));
        return;
    }
    if (!Apply_Import(p)) {
        Info_Box(programTitle, "The queues could not be imported.");
        return;
    }
    EndDialog(hDlg, IDOK);
}

INT_PTR CALLBACK Import_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    IMPORT_STATE *st = State_Of(hDlg);
    switch (msg) {
    case WM_INITDIALOG:
        return On_Init(hDlg, (const IMPORT_DIALOG *)lParam);
    case WM_NOTIFY: {
        const NMHDR *h = (const NMHDR *)lParam;
        if (st != NULL && h->idFrom == IDC_IMPORT_QUEUES && h->code == LVN_ITEMCHANGED) {
            const NMLISTVIEW *lv = (const NMLISTVIEW *)lParam;
            if ((lv->uChanged & LVIF_STATE) && ((lv->uNewState ^ lv->uOldState) & LVIS_SELECTED)) Show_SelectedName(hDlg, st);
        }
        return FALSE;
    }
    case WM_COMMAND:
        if (st == NULL) return FALSE;
        switch (LOWORD(wParam)) {
        case IDC_IMPORT_NAME:
            if (HIWORD(wParam) == EN_CHANGE) On_NameChanged(hDlg, st);
            return TRUE;
        case IDC_IMPORT_FROM:
        case IDC_IMPORT_TO:
            if (HIWORD(wParam) == EN_CHANGE) On_RootChanged(hDlg, st);
            return TRUE;
        case IDOK:
            On_Ok(hDlg, st);
            return TRUE;
        case IDCANCEL:
            Trace("Import_Dlg(); Cancel\n");
            EndDialog(hDlg, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        free(st);
        SetWindowLongPtrA(hDlg, DWLP_USER, 0);
        return FALSE;
    }
    return FALSE;
}

/* ---- import ---- */

BOOL Import_Queues(HWND owner)
{
    Trace("Import_Queues ()\n");
    char path[PATH_LEN];
    Format_Text(path, sizeof path, "%s\\", homeDir != NULL ? homeDir : "");
    if (!Choose_TypedFile(owner, "Import Queues From", path, sizeof path, EXPORT_TYPES, EXPORT_EXTENSION, FALSE)) return FALSE;
    IMPORT_PLAN *plan = Read_ExportFile(path);
    if (plan == NULL) {
        Info_Box(programTitle, "There is not enough memory to read the file.");
        return FALSE;
    }
    if (plan->refused) {
        char where[32] = "";
        if (plan->badLine > 0) Format_Text(where, sizeof where, "Line %d: ", plan->badLine);
        Info_Box(programTitle, "This file cannot be imported:\r\n\r\n%s\r\n\r\n%s%s\r\n\r\nNothing was added.", path, where,
                 plan->reason);
        Free_ImportPlan(plan);
        return FALSE;
    }
    IMPORT_DIALOG d = { plan, path };
    INT_PTR r = DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_IMPORT), owner, Import_Dlg, (LPARAM)&d);
    Free_ImportPlan(plan);
    Trace("Import_Queues: %s\n", r == IDOK ? "added" : "nothing added");
    return r == IDOK;
}
