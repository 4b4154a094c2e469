/* The General Preferences dialog: the spooler-wide preferences. */
#pragma once
#include <windows.h>

INT_PTR CALLBACK Globals_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
/* Opens General Preferences modally over owner (NULL: no owner, the preferences-only mode). */
void Edit_Globals(HWND owner);
