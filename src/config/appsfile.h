/* The applications file "Applications.cfg" (older name "Spooler.aps", read but never written) and
   the shared application and application group arrays. In the file both kinds share one sequence
   of entry numbers: application entries first, then equivalence (group) entries. */
#pragma once
#include <windows.h>
#include "config/model.h"

#define APPS_FILE        "Applications.cfg"
#define APPS_FILE_OLD    "Spooler.aps"

/* Reads the file: entry i goes into apps[i] (an application) or appGroups[i] (a group); then
   assigns icons and marks which queues use groups. TRUE when a file was read, FALSE when neither
   name could be opened (all slots free then). Reading stops at a damaged line and at an entry the
   arrays cannot hold; the lines from there on are kept and written back unchanged by
   Store_AppsData, and the operator is told once (not in the update mode). */
BOOL Get_AppsData(void);
/* Writes the file (the previous one kept as "Applications.old"). Failures are told to the
   operator and counted in storeFailures. */
void Store_AppsData(void);
/* Finds or makes the App (one process) or AppGroup (two to four) that a queue's process list
   needs; returns its index, or -1 when there is no room. May fill the appIndex of list entries
   that were -1. */
int  AddTargetApps(ProcessList *list);
/* Frees the entries no output queue uses and turns every reference (queues' process references,
   group members) into the entry numbers Store_AppsData will write: used App slots in slot order,
   then used AppGroup slots. Slot contents stay where they are. Only the writers may run after it. */
void Defrag_AppsArray(void);
/* After loading: applications that do not state their compatibility take the value of the queue
   that runs them; those still unstated before the first free slot get 1. */
void Carry_LegacyCompat(void);

/* The entry number that an entry numbered e at load has in the file being written: e itself until
   Defrag_AppsArray has run. Entries that were not read (kept lines, or past the end of the file)
   keep their place after the entries written. */
int  Map_LoadEntryNumber(int e);
/* The apps slot that holds the application entry numbered n, or -1: after Defrag_AppsArray the
   references are entry numbers, and used App slots need not be contiguous. Before it, n itself
   when that slot is used. */
int  App_SlotOfEntry(int n);
/* Forgets what the last load noted (kept lines, entry kinds, renumbering). */
void Clear_AppsLoadState(void);
