/* The entry numbers of the applications file as it is about to be written. In memory a queue names
   an App or an AppGroup by its slot; in the file applications and groups share one sequence of
   entry numbers (the applications that something runs, in slot order, then the groups, in slot
   order). The numbering is computed from the configuration as it stands (Defrag_AppsArray) and
   applied by the writers while they format: the configuration keeps its slot
   references, so a save changes nothing in memory and a second save writes the same bytes. */
#pragma once
#include <windows.h>
#include "config/model.h"

typedef struct {
    int  appNumber[MAX_APPS];                    /* entry number of an App slot written, -1: not written */
    int  groupNumber[MAX_APPGROUPS];             /* entry number of an AppGroup slot written, -1: not written */
    int  appSlotOf[MAX_APPS + MAX_APPGROUPS];    /* the App slot an entry number names, -1: a group or none */
    int  written;                                /* entries written before the lines kept from the last load */
    /* An App written with its own run-alone and priority: one that a queue (or a kept queue line)
       runs itself, or a member of a kept group line. Every other App is written with the settings
       of the last group written that has it as a member. */
    BOOL ownSettings[MAX_APPS];
    /* The applications file as the last load read it, for the entry numbers that lines kept
       unread (of either file) hold. */
    int  readCount;                              /* entries read: the number of the first not read */
    BOOL readAsGroup[MAX_APPS];                  /* the kind of each entry read */
    int  keptLines;                              /* lines of the applications file kept unread */
} APP_NUMBERING;

/* The entry number of an App slot (group FALSE) or AppGroup slot (group TRUE) that a queue or a
   group member names. A slot not written (free, or past the arrays) gets a number past the end
   of the file, so that a reference to nothing stays a reference to nothing; 201 and 202, which
   mean an input queue and "no processes" in the queues file, are never given. */
int Entry_OfSlot(const APP_NUMBERING *n, int slot, BOOL group);
/* The entry number now of the entry numbered e at the last load (as lines kept unread hold it):
   an entry read follows its slot; entries that were not read keep their place after the entries
   written (the kept lines). A number that named no line of the file and still lies past the end
   of the file written stays as it stands. */
int Entry_OfLoadNumber(const APP_NUMBERING *n, int e);
/* The App slot that holds the entry numbered e, or -1. */
int App_SlotOfEntry(const APP_NUMBERING *n, int e);

/* A slot of apps (appGroups) that holds an application (a group). */
BOOL App_Used(int a);
BOOL Group_Used(int g);

/* The renumbering before storing: which entries the applications file is written with and their
   entry numbers. An App or AppGroup that no output queue (nor a line kept from the last load)
   uses is left out of the file. Changes nothing: the queues and group members keep naming slots,
   and the writers apply the numbering while they format. */
void Defrag_AppsArray(APP_NUMBERING *n);

/* Marks an App (group FALSE), or an AppGroup and its members (group TRUE), as referenced. */
void Mark_EntryRef(BOOL *appRef, BOOL *groupRef, int ref, BOOL group);
/* Marks the entries that must be kept: those the output queues run (a group with its members),
   those the kept queue lines run and the members named by kept group lines. The queue at
   skipQueue (-1: none) is passed over. direct (may be NULL) gets the applications that keep
   their own settings when stored: those a queue or a kept queue line runs itself, and the
   members of kept group lines. References hold slot indices here. appRef and groupRef hold
   MAX_APPS and MAX_APPGROUPS flags, direct MAX_APPS. */
void Mark_Referenced(BOOL *appRef, BOOL *groupRef, BOOL *direct, int skipQueue);
