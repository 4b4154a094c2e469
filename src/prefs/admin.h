/* User administration: the users who may log in to the spooler. */
#pragma once
#include <windows.h>

INT_PTR CALLBACK Admin_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
/* Opens the user administration modally over owner. */
void Edit_Users(HWND owner);
