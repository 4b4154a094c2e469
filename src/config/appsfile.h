/* The applications file "Applications.cfg" (older name "Spooler.aps", read but never written),
   which holds the application and application group arrays. In the file both kinds share one
   sequence of entry numbers: application entries first, then equivalence (group) entries (the
   renumbering before a save: appnumbers.h; a queue's process list matched against the arrays:
   appmatch.h). */
#pragma once
#include <windows.h>
#include "config/model.h"
#include "config/appnumbers.h"

#define APPS_FILE        "Applications.cfg"
#define APPS_FILE_OLD    "Spooler.aps"

/* Reads the file: entry i goes into apps[i] (an application) or appGroups[i] (a group); then
   marks which queues use groups. No icon is taken (the queue lists take them: lists/appicons.h).
   TRUE when a file was read, FALSE when neither name could be opened (all slots free then).
   Reading stops at a damaged line and at an entry the arrays cannot hold; the lines from there on
   are kept and written back unchanged by Store_AppsData, and the operator is told once (not in
   the update mode). */
BOOL Get_AppsData(void);
/* Writes the file (the previous one kept as "Applications.old") with the entry numbers of
   Defrag_AppsArray (appnumbers.h); the configuration in memory is not changed. TRUE when the
   file was stored; a failure is told to the operator and counted in storeFailures, and the
   previous file stays. */
BOOL Store_AppsData(void);
/* After loading: applications that do not state their compatibility take the value of the queue
   that runs them; those still unstated before the first free slot get 1. */
void Carry_LegacyCompat(void);

/* What the last load of the file noted, for the renumbering and the matching of process lists. */
typedef struct {
    int  readCount;                 /* entries read: the number of the first not read */
    BOOL entryIsGroup[MAX_APPS];    /* the kind of each entry read */
    BOOL reserved[MAX_APPS];        /* free App slots that loaded references name: never given to a new App */
} APPS_LOAD;
extern APPS_LOAD appsLoad;

/* Forgets what the last load noted (kept lines, entry kinds, reserved slots). */
void Clear_AppsLoadState(void);
