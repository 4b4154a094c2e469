/* The Processes page of the queue editor ("Processes"): the programs a queue runs on each job,
   the settings of the whole list, the command-line parameters and the launch application. */
#pragma once
#include <windows.h>

/* The page procedure; the creation argument points at the queue editor's working copy (a
   Target). On OK the processes are matched against the shared applications (AddTargetApps) and
   the copy takes the reference; the page ends with 0 after OK and after Cancel. */
INT_PTR CALLBACK QueueProcesses_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
