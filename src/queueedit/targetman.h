/* The queue editor: one output queue edited on a working copy, page by page. */
#pragma once
#include <windows.h>
#include "config/queuepages.h"
#include "common/frame.h"

/* The frame: the name bound to the working copy, the checks and the commit of the queue. */
extern const FRAME_DEF overviewFrame;

/* The dialog procedure; the creation argument is the queue's position in its low word
   (targetCount: a new queue; a position above it is taken as 0) and, in its high word, a page
   to open at once (QUEUE_PAGE; QPAGE_NONE for none). Ends with 0 when the queue was committed,
   -1 after Cancel. */
INT_PTR CALLBACK TargetMan_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
/* Opens the queue editor modally over owner on position pos. 0 committed, -1 cancelled. */
int Edit_Target(HWND owner, int pos);
/* The same, with the page that holds a field opened at once over the overview (QPAGE_MULTIJOB:
   Job Settings, and over it its Multi-Job Settings page; QPAGE_NONE or QPAGE_OVERVIEW: the
   overview alone). Once the page is closed the operator is in the overview as usual; the result
   is Edit_Target's. */
int Edit_TargetOnPage(HWND owner, int pos, QUEUE_PAGE page);
