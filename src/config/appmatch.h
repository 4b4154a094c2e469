/* The matching of a queue's process list (the Processes page's list) against the application and
   application group arrays: the App or AppGroup a list comes to, found where one already says the
   same, made in a free slot where none does. */
#pragma once
#include <windows.h>
#include <stdint.h>
#include "config/model.h"

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
   refers to any more are freed (an App's icon destroyed with it, unless another App still holds
   it or it is the program's icon, sharedIcons[ICON_PROGRAM]) before the list is refused; the
   committed queues (the edited one included: Cancel keeps its reference), the kept lines, the
   editor's working copy and the list's own entries keep theirs. */
int AddTargetApps(ProcessList *list, const APPS_EDITOR *editor = NULL);
