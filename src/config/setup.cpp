#include "config/setup.h"
#include "config/appsfile.h"
#include "config/lbfile.h"
#include "config/model.h"
#include "config/prefsfile.h"
#include "config/queuesfile.h"
#include "config/runtime.h"
#include "config/storefile.h"
#include "common/appstate.h"
#include "common/trace.h"

BOOL InitData(void)
{
    Trace("InitData ()\n");
    Number_TargetSlots();
    BOOL prefs = Get_SpoolerGlobals();
    BOOL queues = Get_TargetData();
    /* Without input queues the load balancer file still holds its debug level, which the
       save writes back. */
    if (lbqCount > 0) Get_LBConfig();
    else Get_LBDebugLevel();
    BOOL appsRead = Get_AppsData();
    Carry_LegacyCompat();
    Snapshot_Queues();
    return prefs || queues || appsRead;
}

void Free_Resources(void)
{
    Trace("Free_Resources()\n");
    Free_Snapshot();
}

BOOL StoreSetup(void)
{
    Trace("StoreSetup()\n");
    Clear_StoreFailedNames();
    BOOL stored = TRUE;
    if (saveOnExit) {
        /* Every writer formats with the entry numbers of the applications file being written
           (Defrag_AppsArray), computed from the configuration as it stands. */
        if (!Update_QueueFiles()) stored = FALSE;
        if (!Store_TargetData()) stored = FALSE;
        if (!Store_LBConfig()) stored = FALSE;
        if (!Store_AppsData()) stored = FALSE;
        if (!Store_SpoolerGlobals()) stored = FALSE;
    }
    if (stored) Free_Resources();
    else Trace("StoreSetup: not every file was stored; the snapshot of the load is kept for the next save\n");
    return stored;
}
