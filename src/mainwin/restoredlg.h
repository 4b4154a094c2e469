/* The restore dialog (IDD_RESTORE): the backups of the configuration with how much of the
   configuration in the editor differs from each, the difference of the one selected, and
   "Restore", which puts it into the editor. Nothing is written here: OK in the main window
   saves it as any edit, Cancel there leaves every file as it was. */
#pragma once
#include <windows.h>

/* Shows the dialog modally over owner. IDOK when a backup was put into the editor (the main
   window's lists are then to be filled again), IDCANCEL when closed. */
INT_PTR Show_Restore(HWND owner);
INT_PTR CALLBACK Restore_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
