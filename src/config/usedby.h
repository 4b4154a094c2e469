/* Where a queue or an application is used: the queues that pass jobs to a queue after
   processing or at the time-out, the input queues that balance to it, the queues that share
   the application entry or group it runs, and the queues that run a given program. Each use
   names the queue that holds it and the page of its editor where it is set, so the operator
   can go straight there.

   Window-free; the rows for the list of rows are made here too. */
#pragma once
#include <windows.h>
#include "config/queuepages.h"
#include "common/rowset.h"

typedef enum {
    USE_PASS_AFTER,          /* an output queue passes finished jobs to it */
    USE_PASS_TIMEOUT,        /* an output queue passes waiting jobs to it at the time-out */
    USE_INPUT_QUEUE,         /* an input queue balances to it */
    USE_SHARES_APP,          /* an output queue runs the same application entry */
    USE_SHARES_GROUP,        /* an output queue runs the same application group */
    USE_RUNS_APP,            /* an output queue runs the program (alone or in its group) */
} USE_KIND;

typedef struct {
    USE_KIND   kind;
    BOOL       isInput;      /* pos is an input queue's position, else an output queue's */
    int        pos;
    QUEUE_PAGE page;         /* where the use is set in that queue's editor */
} QUEUE_USE;

/* Every use of the output queue at pos by other queues, output queues first in list order (for
   each the pass-to after processing, then on time-out), then the input queues, then the queues
   that share its application entry or group. Returns how many were written (at most cap); a
   position outside the queues has none. */
int Find_QueueUses(int pos, QUEUE_USE *out, int cap);
/* The output queues that run an application whose path is path (letter case ignored, double
   quotes and blanks around either side dropped), directly or as a member of their group, in
   list order. */
int Find_AppUses(const char *path, QUEUE_USE *out, int cap);
/* Only the references (pass-to after processing, pass-to on time-out, input queue outputs) to
   any of the output queues marked in deleting (MAX_TARGETS entries) held by queues that are not
   being deleted themselves: what a deletion turns into "leave jobs where they are", "never time
   out" or a dropped output. */
int Find_ReferencesTo(const BOOL *deleting, QUEUE_USE *out, int cap);

/* A use in words, for the list and the boxes: "passes jobs to it after processing". */
const char *Use_Text(USE_KIND kind);
/* The name of the queue that holds the use. */
const char *Use_QueueName(const QUEUE_USE *use);

/* Rows for the list of rows: the group is the queue that holds the use, a column the use, a
   column the page. ROW_REF: ROWREF_TARGET with the page, or ROWREF_LBQ. */
BOOL Fill_QueueUseRows(ROWSET *set, int pos);
BOOL Fill_AppUseRows(ROWSET *set, const char *path);

/* The paths of the applications the queues run, each once (letter case ignored), in slot order:
   what the operator chooses from. Returns how many were written (at most cap); each entry points
   into the applications array. */
int List_AppPaths(const char **out, int cap);
