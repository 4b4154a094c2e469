/* The effect of a save on the work the spooler has queued: for each queue, how many of its jobs
   the save would remove from the job list and why, how many keep their place under a new queue
   number, and whether it is a suspended queue whose number changes. Computed from the job list
   and the status file on disk by the very rules and reading that the store rewrites them with
   (Plan_QueueFiles), so the counts are what the store really removes and renumbers.

   Window-free: the box before the save, the change log and the Changes list format its lines. */
#pragma once
#include <windows.h>
#include "config/image.h"
#include "config/runtime.h"

/* One queue that existed at load, by its load number. */
typedef struct {
    BOOL used;                        /* a job or a status line names it */
    BOOL input;                       /* an input queue */
    char name[TEXT_LEN];              /* its name now; a deleted queue's as it was loaded */
    int  oldNumber;                   /* the number the job list holds for it now */
    int  newNumber;                   /* its number after the save; -1 when it is deleted */
    int  dropped[JOB_FATE_COUNT];     /* jobs removed, by reason (JOB_KEPT and JOB_UNREADABLE unused) */
    int  kept;                        /* jobs that stay */
    int  moved;                       /* of those, the jobs whose queue number changes */
    BOOL suspended;                   /* the status file names it */
    int  suspendedOld;                /* the number the status file holds for it */
    int  suspendedNew;                /* the number it is written with, -1 dropped */
} QUEUE_EFFECT;

typedef struct {
    QUEUE_EFFECT queues[MAX_QUEUES];  /* by load number */
    int  jobsDropped;                 /* job lines of any queue that would go */
    int  jobsMoved;                   /* job lines whose queue number would change */
    int  noQueue;                     /* lines that name no queue of the load: they go too */
    int  unreadable;                  /* lines that cannot be read: they go too */
    BOOL complete;                    /* both files were read to their end */
} JOB_EFFECT;

/* What storing the configuration as it is now would do to the job list and the status file.
   loaded: the configuration as loaded, for the names of queues deleted since (NULL: they are
   named by number). FALSE when there is no memory; out is then empty. */
BOOL Compute_JobEffect(const CONFIG_IMAGE *loaded, JOB_EFFECT *out);

/* The lines of an effect, one per queue and reason:
       Queue "Proofer": 12 jobs removed from the spooler's job list: the queue is deleted
       Queue "Films": 3 jobs kept their place under the new queue number 4 (was 2)
       Queue "Plates" is suspended: its number in the status file changed from 2 to 0
       2 lines of the spooler's job list name no queue and were removed
   future: "will be removed" / "will keep" / "will change" (before the save); else as done, above.
   Calls line for each in that order: the removals first (by queue, then by reason), then the
   moves, the suspended queues and the lines of no queue. Returns how many lines there were. */
typedef void (*EFFECT_LINE)(const char *text, const QUEUE_EFFECT *queue, JOB_FATE fate, void *context);
int  Each_EffectLine(const JOB_EFFECT *effect, BOOL future, EFFECT_LINE line, void *context);

/* The removals alone, as the box before the save lists them:
       Proofer: 12 jobs will be removed from the spooler's job list: the queue is deleted */
BOOL Format_DroppedLine(const QUEUE_EFFECT *queue, JOB_FATE fate, char *out, size_t cap);
/* TRUE when the save would remove at least one job of a queue. */
BOOL Effect_DropsJobs(const JOB_EFFECT *effect);
