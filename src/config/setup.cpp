#include "config/setup.h"
#include "config/appsfile.h"
#include "config/findings.h"
#include "config/layoutchecks.h"
#include "config/changelog.h"
#include "config/lbfile.h"
#include "config/model.h"
#include "config/prefsfile.h"
#include "config/queuesfile.h"
#include "config/runtime.h"
#include "config/storefile.h"
#include "common/appstate.h"
#include "common/text.h"
#include "common/trace.h"
#include <string.h>

/* Every name the program forms beneath the home directory; the temporary files of the whole-file
   writer ("~ed" and four hexadecimal digits) stand in the folders they are made in. */
static const char *const k_HomeNames[] = {
    QUEUES_FILE, QUEUES_FILE_OLD, "Queues.old", APPS_FILE, APPS_FILE_OLD, "Applications.old", LB_FILE, "LBPrefs.old",
    "Preferences.cfg", "Spooler.cfg", "Users.cfg", "OEMApps.cfg", "OEMApps.new", "CommandLine.cfg",
    "queue\\engine.q", "state\\queues.sta", "queue\\~edFFFF.tmp", "state\\~edFFFF.tmp", "~edFFFF.tmp", "logs",
    "Done", "Timed Out Waiting", "System\\Editor.exe", "Profile\\Editor\\*Splash.bmp", "Profile\\Editor\\*Profile.cfg",
    "Profile\\Viewer\\*Profile.cfg", "Profile\\LoadBal\\*Profile.cfg", "Profile\\LoadBal\\*.ico",
};

int Longest_HomePath(void)
{
    size_t longest = 0;
    for (size_t i = 0; i < ARRAY_LEN(k_HomeNames); i++)
        if (strlen(k_HomeNames[i]) > longest) longest = strlen(k_HomeNames[i]);
    /* a path of the platform holds MAX_PATH - 1 characters: the home, a backslash and the name */
    return (int)(MAX_PATH - 1 - 1 - longest);
}

BOOL Home_HasRoom(const char *home)
{
    return home != NULL && strlen(home) <= (size_t)Longest_HomePath();
}

BOOL InitData(void)
{
    Trace("InitData ()\n");
    Clear_Findings(&loadFindings);
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
    /* what an edit brings is told at OK against what was there at load */
    if (!updateMode && !commandMode && !silentMode) Note_LoadLayout();
    Keep_LoadedImage();
    return prefs || queues || appsRead;
}

void Free_Resources(void)
{
    Trace("Free_Resources()\n");
    Free_Snapshot();
}

void Forget_LastLoad(void)
{
    Clear_KeptQueueLines();
    Clear_AppsLoadState();
    lbDebugLevel = 0;
    Clear_Findings(&loadFindings);
    Forget_LoadLayout();
    Free_Snapshot();
    Forget_LoadedImage();
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
        /* When the queues file was not read whole, its unread lines may name queues that the load
           balancer file's numbers refer to: its previous version is kept too. */
        if (!Store_LBConfig(Have_KeptQueueLines())) stored = FALSE;
        if (!Store_AppsData()) stored = FALSE;
        if (!Store_SpoolerGlobals()) stored = FALSE;
    }
    if (stored) Free_Resources();
    else Trace("StoreSetup: not every file was stored; the snapshot of the load is kept for the next save\n");
    return stored;
}
