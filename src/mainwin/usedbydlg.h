/* Where a queue or an application is used, in the list of rows: each row names a queue that
   uses it and how; opening a row opens that queue's editor on the page that holds the use (an
   input queue's editor for an input queue). What an editor opened from there commits is one
   step of the history of edits, as an edit from the main window is. */
#pragma once
#include <windows.h>

/* The uses of the output queue at pos. */
void Show_QueueUses(HWND owner, int pos);
/* Asks for an application path (typed, or chosen from the programs the queues run) and lists the
   queues that run it. FALSE when the operator cancelled the question. */
BOOL Show_AppUses(HWND owner);
/* The question alone: the path into path (cap bytes). FALSE after Cancel. */
BOOL Ask_AppPath(HWND owner, char *path, size_t cap);
/* Its dialog procedure; the creation argument is the USEDBY_ASK. */
INT_PTR CALLBACK UsedByApp_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);

/* Opens the queue editor for the queue at pos on page as one step of the history ("edit
   <name>"), and the input queue editor likewise for an input queue. 0 committed, -1 cancelled. */
int Edit_QueueStep(HWND owner, int pos, int page);
int Edit_InputQueueStep(HWND owner, int pos);
