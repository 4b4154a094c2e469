#include "config/savesequence.h"
#include "config/checks.h"
#include "config/layoutchecks.h"
#include "config/runtime.h"
#include "config/setup.h"
#include "config/storefile.h"
#include "common/appstate.h"
#include "common/msg.h"
#include "common/trace.h"

int Warn_SpoolerRunning(void)
{
    if (FindWindowA(SPOOLER_CLASS, NULL) == NULL && FindWindowA(SPOOLER_OLD_CLASS, NULL) == NULL) return 0;
    Info_Box(programTitle,
             "You are currently running %s.\n\nChanges made now will not take effect until you restart the application.",
             systemName);
    return 1;
}

BOOL Save_Sequence(BOOL silent)
{
    Trace("Save_Sequence ( %d )\n", silent);
    saveOnExit = TRUE;
    if (!Check_AppPaths(silent)) return FALSE;
    if (!Check_UniqueQueueNames()) return FALSE;
    if (!Ask_NewLayoutFindings(silent)) return FALSE;
    Create_QueueDirs(silent);
    /* the input queues' outputs are checked when the operator can still change them */
    if (!silent && !Check_LBQOutputs()) return FALSE;
    Warn_SpoolerRunning();
    if (StoreSetup()) return TRUE;
    if (!silent)
        Info_Box(programTitle,
                 "Not every file could be saved. These files keep what they held before:\r\n\r\n%s\r\n"
                 "Your changes are still in the editor. Put right what stopped the save (free some space on the "
                 "disk, close the program that holds a file) and press OK again, or press Cancel to leave the "
                 "files as they are now.",
                 Store_FailedNames());
    return FALSE;
}
