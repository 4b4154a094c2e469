/* The main dialog: the editor's only top-level window in the interactive mode. */
#pragma once
#include <windows.h>

INT_PTR CALLBACK MainMenu_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
/* The OK command: checks, creates the directories, warns, stores. FALSE keeps the dialog open. */
BOOL Main_SaveSequence(void);
