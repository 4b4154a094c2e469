/* The main dialog: the editor's only top-level window in the interactive mode. It lists the
   load-balanced input queues and the output queues, carries the commands that add, edit, copy,
   delete and reorder them, and ends the program with OK (check and store) or Cancel (store
   nothing). Every command acts on the arrays at once; nothing reaches the files before OK. */
#pragma once
#include <windows.h>

/* The dialog's private requests to itself: bring the output queue buttons, or the input queue
   buttons, in line with the lists. */
#define WM_MAIN_TARGET_BUTTONS (WM_APP + 1)
#define WM_MAIN_LBQ_BUTTONS    (WM_APP + 2)

INT_PTR CALLBACK MainMenu_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
/* The OK command: checks, creates the directories, warns, stores. FALSE keeps the dialog open. */
BOOL Main_SaveSequence(void);
