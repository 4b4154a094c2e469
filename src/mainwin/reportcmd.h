/* "Report..." in the main window: the report of the configuration as it is in the editor, saved
   where the operator chooses and opened with the program the system opens web pages with. */
#pragma once
#include <windows.h>

/* Keeps the configuration as the main window found it when it opened (as loaded from the
   files), so that a report can say when what it shows is not saved yet. */
void Note_ReportBaseline(void);
/* TRUE when the configuration in the editor differs from the one kept by Note_ReportBaseline
   (the users are left out: their dialog saves them itself). */
BOOL Report_Unsaved(void);

/* The command: the save chooser (a name proposed in the home directory), the report written,
   then opened. A report that cannot be written is told with the system's reason; nothing else
   changes. */
void On_Report(HWND hDlg);

/* How a written report is opened: the system's program for the file (ShellExecute "open").
   Tests put their own in its place; NULL puts the system's back. */
typedef BOOL (*REPORT_OPENER)(HWND owner, const char *path);
void Set_ReportOpener(REPORT_OPENER opener);
