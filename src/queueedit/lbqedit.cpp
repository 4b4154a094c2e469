#include "queueedit/lbqedit.h"
#include "common/appstate.h"
#include "resources/resource.h"

/* Not built yet: the editor closes at once. */
INT_PTR CALLBACK LBQMan_Dlg(HWND hDlg, UINT msg, WPARAM, LPARAM)
{
    if (msg == WM_INITDIALOG) { EndDialog(hDlg, 0); return TRUE; }
    return FALSE;
}

int Edit_LBQ(HWND owner, int pos)
{
    return (int)DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_LBQEDIT), owner, LBQMan_Dlg, (LPARAM)pos);
}
