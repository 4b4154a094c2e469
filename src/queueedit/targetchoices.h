/* The queue chooser: one output queue picked from the list of them all, for the pages that pass
   jobs on to another queue and for the input queue editor. */
#pragma once
#include <windows.h>

/* The dialog procedure ("Queue / App Choices", titled "Choose a Queue"). Ends with the chosen
   queue's position, or -1 after Cancel. */
INT_PTR CALLBACK TargetChoices_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
/* Opens the chooser modally over owner: the chosen queue's position, or -1. */
int Choose_Target(HWND owner);
