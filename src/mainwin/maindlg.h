/* The main dialog: the editor's only top-level window in the interactive mode. It lists the
   load-balanced input queues and the output queues, carries the commands that add, edit, copy,
   delete and reorder them, and ends the program with OK (check and store) or Cancel (store
   nothing). Every command acts on the arrays at once; nothing reaches the files before OK.

   Above the lists is a find field (Ctrl+F puts the focus there, Esc in it empties it) with a
   status text beside it; beside the output queues "Used by...", "Undo" (Ctrl+Z) and "Redo"
   (Ctrl+Y); above Preferences a row of commands on the whole configuration: "Check...",
   "Changes...", "Restore...", "Report...", "Export..." and "Import..." (Ctrl+I). Each of these
   buttons is disabled until its row in the table of commands (maindlg.cpp, k_Commands) names
   the procedure it runs; Set_ControlTip (common/tooltip.h) sets what a button's tooltip says
   (Undo and Redo say what they will do). */
#pragma once
#include <windows.h>

/* The dialog's private requests to itself: bring the output queue buttons, or the input queue
   buttons, in line with the lists. */
#define WM_MAIN_TARGET_BUTTONS (WM_APP + 1)
#define WM_MAIN_LBQ_BUTTONS    (WM_APP + 2)

/* The longest text the find field takes, terminator included (a path). */
#define FIND_TEXT_LEN 261

INT_PTR CALLBACK MainMenu_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
/* The OK command: checks, creates the directories, warns, stores. FALSE keeps the dialog open. */
BOOL Main_SaveSequence(void);
