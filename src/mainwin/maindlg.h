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

/* ---- the commands' work on the arrays (no window needed) ---- */

/* One move of an output queue, from one position to another (Move_Target). */
typedef struct { int from, to; } QUEUE_MOVE;
/* The moves that Up (up TRUE) or Down makes of the selected queues (selected[i] for each of
   count queues): for each maximal run of adjacent selected queues, taken from the top for Up
   and from the bottom for Down, the queue just beside the run moves to its other end. None when
   nothing is selected or when the first (Up) or last (Down) queue is selected. Returns the
   number of moves written into moves (at most cap); afterwards every selected queue stands one
   place higher (Up) or lower (Down). */
int  Plan_QueueMoves(const BOOL *selected, int count, BOOL up, QUEUE_MOVE *moves, int cap);
/* Deletes the output queues at the list positions given, in ascending order: the k-th (from 0)
   at position p is deleted at p - k, as each earlier deletion moved the later queues up. */
void Delete_Targets(const int *positions, int n);
/* The same for input queues. */
void Delete_LBQs(const int *positions, int n);
