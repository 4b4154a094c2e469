/* The Check command of the main window: every finding of the configuration as it is in memory
   (edits included) and what the readers told at load, in the one list dialog, grouped by queue.
   A finding about a queue opens that queue's editor on the page that holds the field; the list
   is filled again when the editor closes, and the main lists show what the editor changed. */
#pragma once
#include <windows.h>

/* The "Check..." button of the main dialog hDlg. */
void On_Check(HWND hDlg);
