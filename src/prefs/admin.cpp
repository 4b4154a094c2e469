#include "prefs/admin.h"
#include "common/appstate.h"
#include "resources/resource.h"

/* Not built yet: the dialog closes at once. */
INT_PTR CALLBACK Admin_Dlg(HWND hDlg, UINT msg, WPARAM, LPARAM)
{
    if (msg == WM_INITDIALOG) { EndDialog(hDlg, IDCANCEL); return TRUE; }
    return FALSE;
}

void Edit_Users(HWND owner)
{
    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_ADMIN), owner, Admin_Dlg, 0);
}
