/* A small dialog program for the tests of the remote kit: a modeless dialog "Remote Target" run by
   its own message loop (as the editor runs its main dialog) with an edit, buttons, a check box, a
   drop-down list and a list view of 30 items. Everything the dialog is told is appended to the
   text of control 110 ("events"), which the tests read from outside.
   usage: remotetarget.exe            exits with 3 when Cancel (or Esc) closes the dialog */
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
#include "../support/dlgtemplate.h"

enum { IDC_EDIT = 101, IDC_COUNT, IDC_ASK, IDC_FLAG, IDC_LEVEL, IDC_LIST, IDC_EVENTS = 110 };

static std::string s_Events;
static int s_Count;

static void Note(HWND dlg, const std::string &what)
{
    s_Events += what + ";";
    SetDlgItemTextA(dlg, IDC_EVENTS, s_Events.c_str());
}

static std::string Selection(HWND list)
{
    std::string out;
    for (int i = -1; (i = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)i, LVNI_SELECTED)) >= 0;)
        out += (out.empty() ? "" : ",") + std::to_string(i);
    return out;
}

static INT_PTR CALLBACK Target_Dlg(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        HWND combo = GetDlgItem(dlg, IDC_LEVEL);
        for (const char *s : { "Low", "Normal", "High" }) SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)s);
        HWND list = GetDlgItem(dlg, IDC_LIST);
        LVCOLUMNA col;
        memset(&col, 0, sizeof col);
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.pszText = (char *)"Items";
        col.cx = 150;
        SendMessageA(list, LVM_INSERTCOLUMNA, 0, (LPARAM)&col);
        for (int i = 0; i < 30; i++) {
            char text[32];
            snprintf(text, sizeof text, "Item %d", i);
            LVITEMA it;
            memset(&it, 0, sizeof it);
            it.mask = LVIF_TEXT | LVIF_PARAM;
            it.iItem = i;
            it.pszText = text;
            it.lParam = 100 + i;
            SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&it);
        }
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_COUNT: Note(dlg, "count " + std::to_string(++s_Count)); return TRUE;
        case IDC_ASK: {
            int answer = MessageBoxA(dlg, "Proceed?", "Remote Target", MB_YESNO | MB_ICONQUESTION);
            Note(dlg, "answer " + std::to_string(answer));
            return TRUE;
        }
        case IDC_FLAG:
            if (HIWORD(wParam) == BN_CLICKED)
                Note(dlg, IsDlgButtonChecked(dlg, IDC_FLAG) == BST_CHECKED ? "flag on" : "flag off");
            return TRUE;
        case IDC_LEVEL:
            if (HIWORD(wParam) == CBN_SELCHANGE) {
                char text[32] = "";
                GetDlgItemTextA(dlg, IDC_LEVEL, text, sizeof text);
                Note(dlg, std::string("level ") + text);
            }
            return TRUE;
        case IDC_EDIT:
            return TRUE;
        case IDOK: Note(dlg, "ok"); return TRUE;
        case IDCANCEL: Note(dlg, "cancel"); DestroyWindow(dlg); return TRUE;
        }
        break;
    case WM_NOTIFY: {
        const NMHDR *nm = (const NMHDR *)lParam;
        if (nm->idFrom != IDC_LIST) break;
        switch (nm->code) {
        case NM_SETFOCUS: Note(dlg, "list focus"); break;
        case NM_DBLCLK: Note(dlg, "dblclk " + std::to_string(((const NMITEMACTIVATE *)lParam)->iItem)); break;
        case NM_RETURN: Note(dlg, "return"); break;
        case LVN_KEYDOWN: Note(dlg, "key " + std::to_string(((const NMLVKEYDOWN *)lParam)->wVKey)); break;
        case LVN_ITEMCHANGED: {
            const NMLISTVIEW *lv = (const NMLISTVIEW *)lParam;
            if ((lv->uChanged & LVIF_STATE) && ((lv->uNewState ^ lv->uOldState) & LVIS_SELECTED))
                Note(dlg, "selected " + Selection(nm->hwndFrom));
            break;
        }
        }
        return TRUE;
    }
    case WM_DESTROY: PostQuitMessage(3); return TRUE;
    }
    return FALSE;
}

int main()
{
    HINSTANCE inst = GetModuleHandleA(nullptr);
    HMODULE comctl = LoadLibraryA("comctl32.dll");
    typedef BOOL(WINAPI * INIT_FN)(const INITCOMMONCONTROLSEX *);
    INIT_FN init = comctl ? (INIT_FN)(void *)GetProcAddress(comctl, "InitCommonControlsEx") : nullptr;
    INITCOMMONCONTROLSEX icc = { sizeof icc, ICC_LISTVIEW_CLASSES };
    if (init != nullptr) init(&icc);

    const dk::Ctl items[] = {
        { "EDIT", IDC_EDIT, "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 6, 6, 100, 12 },
        { "BUTTON", IDC_COUNT, "&Count", BS_PUSHBUTTON | WS_TABSTOP, 112, 6, 50, 14 },
        { "BUTTON", IDC_ASK, "&Ask", BS_PUSHBUTTON | WS_TABSTOP, 112, 24, 50, 14 },
        { "BUTTON", IDC_FLAG, "&Flag", BS_AUTOCHECKBOX | WS_TABSTOP, 6, 24, 100, 10 },
        { "COMBOBOX", IDC_LEVEL, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 6, 40, 100, 60 },
        { "SysListView32", IDC_LIST, "", LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP, 6, 58, 156, 80 },
        { "BUTTON", IDOK, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 168, 6, 50, 14 },
        { "BUTTON", IDCANCEL, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 168, 24, 50, 14 },
        { "STATIC", IDC_EVENTS, "", SS_LEFT | SS_NOPREFIX, 6, 142, 212, 40 },
    };
    std::vector<WORD> t = dk::Dialog_Template("Remote Target", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME,
                                              20, 20, 226, 188, items, sizeof items / sizeof items[0]);
    HWND dlg = CreateDialogIndirectParamA(inst, (LPCDLGTEMPLATEA)t.data(), nullptr, Target_Dlg, 0);
    if (dlg == nullptr) return 1;
    MSG msg;
    msg.wParam = 0;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(dlg, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return (int)msg.wParam;
}
