#include "queueedit/targetman.h"
#include "common/appstate.h"
#include "resources/resource.h"

/* Not built yet: the editor closes as if cancelled. */
INT_PTR CALLBACK TargetMan_Dlg(HWND hDlg, UINT msg, WPARAM, LPARAM)
{
    if (msg == WM_INITDIALOG) { EndDialog(hDlg, -1); return TRUE; }
    return FALSE;
}

int Edit_Target(HWND owner, int pos)
{
    return (int)DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_OVERVIEW), owner, TargetMan_Dlg, (LPARAM)pos);
}
