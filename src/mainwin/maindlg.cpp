#include "mainwin/maindlg.h"
#include "mainwin/savesequence.h"
#include "common/appstate.h"
#include "common/trace.h"
#include "resources/resource.h"

BOOL Main_SaveSequence(void) { return Save_Sequence(FALSE); }

INT_PTR CALLBACK MainMenu_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:
        Trace("TargetList_Dlg(); wm_initdialog\n");
        SetForegroundWindow(hDlg);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_MAIN_OK: if (Main_SaveSequence()) DestroyWindow(hDlg); return TRUE;
        case IDCANCEL:    saveOnExit = FALSE; DestroyWindow(hDlg);      return TRUE;
        }
        break;
    case WM_CLOSE:
        saveOnExit = FALSE;
        DestroyWindow(hDlg);
        return TRUE;
    case WM_DESTROY:
        Trace("MainMenu_Dlg, WM_DESTROY\n");
        mainWindow = NULL;
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}
