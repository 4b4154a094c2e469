#include "prefs/globals.h"
#include "common/appstate.h"
#include "resources/resource.h"

/* Not built yet: the dialog closes at once. */
INT_PTR CALLBACK Globals_Dlg(HWND hDlg, UINT msg, WPARAM, LPARAM)
{
    if (msg == WM_INITDIALOG) { EndDialog(hDlg, IDCANCEL); return TRUE; }
    return FALSE;
}

void Edit_Globals(HWND owner)
{
    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_GLOBALS), owner, Globals_Dlg, 0);
}
