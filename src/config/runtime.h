/* The spooler's run-time files and the directories that the configuration names.

   The queue job file "queue\engine.q" lists every queued job, one per line
   "%d::%d::%s::%d::%d::%d::%s" (job number, queue number, job name, priority, copies, state,
   and the rest of the line kept byte for byte), each line ending in CR LF whatever line end it
   was read with, and ends with "END OF QUEUE" without a line feed. It is read and written in
   pieces, so a job list of any size is rewritten in a bounded amount of memory. The queue status file "state\queues.sta" lists queue
   numbers. Both number queues as the queues file does: input queues first, then output queues.
   When the configuration is stored they are brought in line with the queues as edited, by
   comparing them with a snapshot taken when the configuration was loaded. */
#pragma once
#include <windows.h>
#include <stdint.h>
#include "config/model.h"

#define PROCESS_TEXT_LEN 2048     /* up to four application paths, each followed by a line feed */
#define JOB_NAME_LEN     260      /* a job name of up to 259 characters */
#define QUEUE_END_MARKER "END OF QUEUE"

/* One queue as it was at load, in queues-file order. */
typedef struct {
    char    hotDir[TEXT_LEN];
    char    processText[PROCESS_TEXT_LEN];   /* empty for input queues and queues without processes */
    int32_t priority;
    int32_t copies;
} QueueSnapshot;

/* What became of one queue that existed at load; indexed by its load-time number. */
typedef struct {
    BOOL    hotDirChanged;      /* compared without case */
    BOOL    processesChanged;   /* the application paths, compared without case */
    BOOL    priorityChanged;
    BOOL    copiesChanged;
    BOOL    numberChanged;
    int32_t newNumber;          /* its queues-file number now */
    BOOL    present;            /* the queue was found in the configuration when the table was built */
} QueueChange;

/* One line of the queue job file. rest points into the text read and runs to the end of the
   line, its line end left out. */
typedef struct {
    int32_t     jobNumber;
    int32_t     queueNumber;
    char        jobName[JOB_NAME_LEN];   /* relative to the hot directory; a backslash: from a sub-directory */
    int32_t     jobPriority;
    int32_t     jobCopies;
    int32_t     jobStatus;               /* 0, 1, 7 (suspended) and 8 are the waiting states */
    const char *rest;
    size_t      restLen;
} QueueEntry;

extern QueueSnapshot *queueSnapshot;          /* NULL when no snapshot was taken */
extern int            snapshotLbqCount;       /* input queues at load */
extern int            snapshotTargetCount;    /* output queues at load */
extern QueueChange    queueChanges[MAX_QUEUES];

/* Takes the load-time snapshot of every queue, gives each queue its load number (loadIndex)
   and clears deletedQueues. Returns 0 when no snapshot could be taken (no memory, or more than
   MAX_QUEUES queues): every loadIndex is then -1 and storing leaves the run-time files alone. */
int  Snapshot_Queues(void);
void Free_Snapshot(void);
/* Fills queueChanges from the configuration as it is now. TRUE when anything changed (also
   when there is no snapshot). */
BOOL Build_QueueChanges(void);
/* Brings one job in line with queueChanges. TRUE when the job stays (its queue number, copies
   and priority may have been changed), FALSE when it is to be dropped. */
BOOL Remap_QueueEntry(QueueEntry *e);

/* What becomes of one line of the queue job file when the configuration is stored. */
typedef enum {
    JOB_KEPT,                   /* stays, perhaps under a new queue number */
    JOB_DROP_NO_QUEUE,          /* it names a queue that did not exist at load */
    JOB_DROP_DELETED,           /* its queue was deleted */
    JOB_DROP_HOTDIR,            /* its queue's hot directory changed */
    JOB_DROP_PROCESSES,         /* its queue's processes changed and the job is not waiting */
    JOB_DROP_SUBDIRS,           /* it came from a sub-directory and its queue no longer takes them */
    JOB_UNREADABLE,             /* a line whose fields cannot be read: left out */
    JOB_FATE_COUNT
} JOB_FATE;
/* Remap_QueueEntry, telling why a job is dropped. */
JOB_FATE Judge_QueueEntry(QueueEntry *e);

/* One job of the job list as the store takes it: the queue number the file holds, the load
   number it stands for (-1 for none), the job as it would be written (NULL for an unreadable
   line) and its fate. */
typedef void (*JOB_VISIT)(int inFile, int loadNumber, const QueueEntry *e, JOB_FATE fate, void *context);
/* One number of the status file (a suspended queue) as the store takes it: the number the
   file holds, the load number it stands for (-1 for none) and the number it would be written
   with (-1: dropped). */
typedef void (*STATUS_VISIT)(int inFile, int loadNumber, int newNumber, void *context);
/* Reads the queue job file and the status file and tells what storing the configuration as it
   is now would do to each job and each suspended queue, by the same rules and the same reading
   as Update_QueueFiles, writing nothing. The status file is visited only when the store would
   rewrite it. Fills queueChanges. TRUE when both files (where they exist) were read to the end;
   with no snapshot nothing is visited (the store leaves both files alone) and TRUE returned. */
BOOL Plan_QueueFiles(JOB_VISIT jobVisit, STATUS_VISIT statusVisit, void *context);
/* Rewrites the queue job file and the queue status file after the queues were edited. TRUE when
   both are in line with the configuration (or there was nothing to do); FALSE when one could not
   be brought in line, which the operator has been told. Storing the configuration goes on either
   way. The snapshot stays: a later save (after a failed one) still compares with the load, and a
   file this save rewrote is renumbered from the numbers it now holds. Once the new job list is
   in place, a "queue\engine.q.temp" left by an older version of the program is removed. */
BOOL Update_QueueFiles(void);
/* Renumbers the status file with the numbers of the job list (queueChanges) and drops the
   numbers of deleted queues. TRUE on success, also when no queue's number changed: the file is
   then left byte for byte as it is. */
BOOL Update_QueueStatusFile(void);

/* Reads the queue job file as the rewrite would, changing nothing, and tells each line the rewrite
   would leave out (loadFindings). TRUE when the file was read to its end or is not there. */
BOOL Scan_QueueFile(void);

/* Writes an empty queue job file (the end marker alone); a failure is shown to the operator. */
void Empty_Queue(void);
/* Creates the directory path unless it is empty, a single space or exists. Unless silent, the
   operator is asked first. TRUE when the directory exists afterwards (or nothing was to be
   done); a failed creation is shown to the operator. */
BOOL Ensure_Directory(const char *path, int silent);
/* Creates "queue", "logs" and "state" in the home directory where missing (no question) and an
   empty queue job file when there is none. */
void Create_SystemDirs(void);
/* Creates every missing directory the configuration names (asking unless silent), then the
   system directories. */
void Create_QueueDirs(int silent);
