/* The queue editor: one output queue edited on a working copy, page by page. */
#pragma once
#include <windows.h>

/* The dialog procedure; the creation argument is the queue's position (targetCount: a new queue;
   a position above it is taken as 0). Ends with 0 when the queue was committed, -1 after Cancel. */
INT_PTR CALLBACK TargetMan_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
/* Opens the queue editor modally over owner on position pos. 0 committed, -1 cancelled. */
int Edit_Target(HWND owner, int pos);
