/* The applications file "Applications.cfg" (older name "Spooler.aps", read but never written) and
   the shared application and application group arrays. In the file both kinds share one sequence
   of entry numbers: application entries first, then equivalence (group) entries. */
#pragma once
#include <windows.h>
#include "config/model.h"
#include "config/appnumbers.h"

#define APPS_FILE        "Applications.cfg"
#define APPS_FILE_OLD    "Spooler.aps"

/* Reads the file: entry i goes into apps[i] (an application) or appGroups[i] (a group); then
   marks which queues use groups. No icon is taken (see App_Icon). TRUE when a file was read, FALSE when neither
   name could be opened (all slots free then). Reading stops at a damaged line and at an entry the
   arrays cannot hold; the lines from there on are kept and written back unchanged by
   Store_AppsData, and the operator is told once (not in the update mode). */
BOOL Get_AppsData(void);
/* Writes the file (the previous one kept as "Applications.old") with the entry numbers of
   Defrag_AppsArray; the configuration in memory is not changed. TRUE when the file was stored;
   a failure is told to the operator and counted in storeFailures, and the previous file stays. */
BOOL Store_AppsData(void);
/* What the open queue editor holds while its Processes page matches a list: the queue it edits
   (the list is to replace the reference committed there) and the reference its working copy names
   now, which may be an App or AppGroup that an earlier OK of the page made and no committed queue
   uses yet. */
typedef struct {
    int     queue;          /* position of the queue edited; targetCount (or more) for a new queue */
    int32_t workRef;        /* the working copy's processRef (NO_PROCESSES: none) */
    BOOL    workGroup;      /* the working copy's usesGroup */
} APPS_EDITOR;

/* Finds or makes the App (one process) or AppGroup (two to four) that a queue's process list
   needs; returns its index, or -1 when there is no room. May fill the appIndex of list entries
   that were -1. Room: the entries in use once the result is committed (those the other queues,
   the lines kept from the last load and the result use; the edited queue's present reference does
   not count, the list replaces it) may not pass 200. editor (NULL: no editor is open) names what
   an open editor holds. Only when no free slot is left, the App and AppGroup slots that nothing
   refers to any more are freed (an App's icon destroyed with it) before the list is refused; the
   committed queues (the edited one included: Cancel keeps its reference), the kept lines, the
   editor's working copy and the list's own entries keep theirs. */
int  AddTargetApps(ProcessList *list, const APPS_EDITOR *editor = NULL);
/* The renumbering before storing: which entries the applications file is written with and their
   entry numbers (see appnumbers.h). An App or AppGroup that no output queue (nor a line kept from
   the last load) uses is left out of the file. Changes nothing: the queues and group members keep
   naming slots, and the writers apply the numbering while they format. */
void Defrag_AppsArray(APP_NUMBERING *n);
/* After loading: applications that do not state their compatibility take the value of the queue
   that runs them; those still unstated before the first free slot get 1. */
void Carry_LegacyCompat(void);

/* The icon of application slot s, taken from its file the first time it is asked for: the first
   icon of iconPath (else of path), or the program icon when the file gives none. Only the used
   slots from slot 0 up to the first free one get icons; NULL for any other slot. */
HICON App_Icon(int s);
/* Gives every used slot from slot 0 up to the first free one its icon, where it has none yet
   (trace "Assigning icons to valid apps"). For the windows that show applications' icons; the
   modes without a window never take them. */
void Assign_AppIcons(void);
/* The same for at most count of those slots; TRUE when none is left without its icon. For a
   window that takes them a few at a time while it has nothing else to do. */
BOOL Assign_SomeAppIcons(int count);

/* Forgets what the last load noted (kept lines, entry kinds, renumbering). */
void Clear_AppsLoadState(void);
