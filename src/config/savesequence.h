/* The save sequence: the checks before saving, the directories the configuration names, the
   notice about a running spooler and the store itself. One sequence for OK in the main dialog
   and for the silent mode. */
#pragma once
#include <windows.h>

/* The spooler's main window, by which a running spooler is found. */
#define SPOOLER_CLASS     "OstraGUIWindowClass{FB2A4C56-5A8A-4443-B017-1D4B30421681}"
#define SPOOLER_OLD_CLASS "PrivateWindowClass"

/* Tells the operator that the spooler is running (changes take effect after its restart);
   1 when it is. */
int  Warn_SpoolerRunning(void);

/* Before the store: when saving would remove any queued job from the spooler's job list, asks
   the operator (Yes saves, No goes back) with one line per queue and reason, at most ten. Also
   prepares the change log's entry. TRUE to go on; silent asks nothing and goes on. */
BOOL Confirm_DroppedJobs(BOOL silent);

/* The save sequence. Checks the applications (asking unless silent) and the queue names, asks
   about the folder-layout problems the edits brought (Ask_NewLayoutFindings; silent: traced), creates
   the missing directories (asking unless silent), checks that every balancing input queue has two
   outputs (the one difference: silent mode skips this check), asks about the queued jobs the save
   would remove (not in silent mode), tells of a running spooler, stores every file (StoreSetup)
   and appends the change log's entry. TRUE when everything was stored. FALSE when a check
   refused, the operator went back, or a file could not be stored; the configuration in memory is
   then as it was, so the operator can put the cause right and run the sequence again. After a
   failed store the operator (not in silent mode) is also told which files were not written and
   that the changes are kept. */
BOOL Save_Sequence(BOOL silent);
