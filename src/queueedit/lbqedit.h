/* The load-balanced input queue editor: one input queue edited on a working copy. */
#pragma once
#include <windows.h>
#include "common/frame.h"

/* The frame: the input queue's controls bound to the working copy, its checks and its commit. */
extern const FRAME_DEF lbqFrame;

/* The dialog procedure; the creation argument is the input queue's position (lbqCount: a new
   one; a position above it is taken as 0). The working copy reaches lbqs only when OK succeeds
   (a new input queue is appended, lbqCount grows by one). Always ends with 0. */
INT_PTR CALLBACK LBQMan_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
/* Opens the input queue editor modally over owner on position pos. Returns 0. */
int Edit_LBQ(HWND owner, int pos);
