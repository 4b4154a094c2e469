/* The pages of the queue editor. Each is a modal dialog opened on the overview's working copy
   (the creation argument points at the Target) and follows the page protocol of common/page.h:
   a page copy of its own, Load, OK with a verdict, only its own fields copied back.

   A page lives in a file of its own, queueedit/page_<name>.cpp, in this order: its control
   table, the fields it owns without a control, Load, Write, the On_* handlers, its PAGE_DEF, and
   the dialog procedure last (its own controls, then Page_DefProc). The PAGE_DEF is published here
   so that the page table test drives every page from its table. Each page has its row in the
   overview's section table (targetman.cpp), which names its template and procedure (Multi-Job
   Settings, opened by Job Settings, has none), and its row in the page table test
   (tests/queueedit/pages_test.cpp). */
#pragma once
#include <windows.h>
#include "common/page.h"

/* Inputs: hotDir, includeSubdirs, iconPath, icon. */
INT_PTR CALLBACK QueueInputs_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
extern const PAGE_DEF inputsPage;

/* Identity: mutexGroup, switchIfIdle, outputIdentity. */
INT_PTR CALLBACK QueueIdentity_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
extern const PAGE_DEF identityPage;

/* Processes: processRef and usesGroup (through AddTargetApps), monitorProcesses, noProcesses,
   holdAllJobs, launchAppPath. */
INT_PTR CALLBACK QueueProcesses_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
extern const PAGE_DEF processesPage;

/* Thumbnail Image Directory: thumbnailDir. */
INT_PTR CALLBACK QueueLowResImageDir_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
extern const PAGE_DEF thumbDirPage;

/* Job Settings: copies, priority, initialState, hidden, the thumbnail flags, openFilePolicy,
   jobGrouping, countDown and the file filter; the multi-job fields through the Multi-Job
   Settings page, which it opens on its own copy. */
INT_PTR CALLBACK QueueJobSettings_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
extern const PAGE_DEF jobSettingsPage;

/* Multi-Job Settings (opened by Job Settings): jobsAtATime and the time-out (timeoutAction,
   timeoutSeconds, timeoutDir, forceOverwriteTimeout). */
INT_PTR CALLBACK QueueMultiJobSettings_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
extern const PAGE_DEF multiJobPage;

/* Clean-Up: afterAction, doneDir, forceOverwriteDone, keepSeconds, limitDoneFiles,
   doneFileLimit, beepOnComplete, alertOnError, suspendOnError. */
INT_PTR CALLBACK AfterAction_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
extern const PAGE_DEF cleanUpPage;

/* Process Instructions: parameters and parametersIsFile. */
INT_PTR CALLBACK QueueRTI_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
extern const PAGE_DEF instructionsPage;
