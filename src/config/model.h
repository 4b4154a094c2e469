/* The configuration in memory: four fixed arrays of fixed-size records, loaded once at start,
   edited in place and written back on storing. Text sizes count the terminator. */
#pragma once
#include <windows.h>
#include <stdint.h>
#include "common/text.h"

#define MAX_QUEUES        200     /* output and input queues together */
#define MAX_TARGETS       200
#define MAX_LBQS          200
#define MAX_APPS          200
#define MAX_APPGROUPS     200
#define MAX_GROUP_MEMBERS 4
#define MAX_LBQ_OUTPUTS   2000

#define TEXT259_LEN       260     /* a text of up to 259 characters */
#define SHORT_TEXT_LEN    65      /* mutex group and output identity: up to 64 characters */

#define NEW_TARGET_NAME   "[New Output Queue]"
#define NEW_LBQ_NAME      "[New Load Balanced Input Queue]"

#define NO_PROCESSES      202     /* processRef of a queue that runs no processes */
#define LBQ_MARKER        201     /* process reference that marks an input queue line */

/* afterAction codes (0 to 199: pass the job to that output queue) */
#define AFTER_DELETE      -1
#define AFTER_MOVE_DONE   -2
#define AFTER_LEAVE       -3
#define AFTER_RECYCLE     -4

/* timeoutAction codes (0 to 199: pass waiting jobs to that output queue) */
#define TIMEOUT_NEVER     -1
#define TIMEOUT_PROCESS   -2
#define TIMEOUT_MOVE      -3
#define TIMEOUT_RECYCLE   -5
#define TIMEOUT_DELETE    -6

typedef struct {
    BOOL     hidden;
    int32_t  slotIndex;
    int32_t  loadIndex;
    char     name[TEXT_LEN];
    char     hotDir[TEXT_LEN];
    BOOL     includeSubdirs;
    char     thumbnailDir[TEXT_LEN];
    int32_t  processRef;
    char     parameters[TEXT_LEN];
    int32_t  afterAction;
    int32_t  priority;
    int32_t  copies;
    char     doneDir[TEXT_LEN];
    char     excludeFilterDir[TEXT_LEN];
    BOOL     beepOnComplete;
    BOOL     forceOverwriteDone;
    BOOL     alertOnError;
    BOOL     suspendOnError;
    int32_t  keepSeconds;
    BOOL     usesGroup;
    BOOL     parametersIsFile;
    char     mutexGroup[SHORT_TEXT_LEN];
    char     outputIdentity[SHORT_TEXT_LEN];
    int32_t  initialState;
    BOOL     jobGrouping;
    BOOL     thumbnailsOnArrival;
    int32_t  countDown;
    int32_t  jobsAtATime;
    int32_t  legacyCompatV3;
    int32_t  timeoutSeconds;
    int32_t  timeoutAction;
    char     timeoutDir[TEXT_LEN];
    BOOL     forceOverwriteTimeout;
    int32_t  openFilePolicy;
    BOOL     thumbnailsWhenActive;
    BOOL     limitDoneFiles;
    int32_t  doneFileLimit;
    BOOL     monitorProcesses;
    BOOL     noProcesses;
    char     extraText[TEXT_LEN];
    uint32_t filterFlags;
    char     filterExtensions[TEXT_LEN];
    BOOL     holdAllJobs;
    char     iconPath[TEXT_LEN];
    HICON    icon;
    char     launchAppPath[TEXT_LEN];
    char     includeFilterDir[TEXT_LEN];
    BOOL     switchIfIdle;
} Target;

typedef struct {
    int32_t  loadIndex;
    char     name[TEXT259_LEN];
    char     hotDir[TEXT259_LEN];
    BOOL     includeSubdirs;
    int32_t  priority;
    int32_t  copies;
    /* load-balancing settings, carried by the load balancer file */
    int32_t  minCopiesSplitSize;        /* MINIMUM_COPIES_SPLIT_SIZE 0..1000 */
    int32_t  minPagesSplitSize;         /* MINIMUM_PAGES_SPLIT_SIZE 0..1000 */
    uint8_t  fileGroupIdRule;           /* FILE_GROUP_ID_RULE, index into the group identification table */
    uint8_t  fileGroupRule;             /* FILE_GROUP_RULE, index into the group output table */
    uint8_t  jobReassignmentRule;       /* JOB_REASSIGNMENT_RULE, index into the reassignment table */
    uint8_t  timePriorityValue;         /* TIME_PRIORITY_VALUE 1..100 */
    int32_t  fileGroupPurgeMinutes;     /* FILE_GROUP_PURGE_MINUTES 1..1439 */
    int32_t  queueGroupEnabled;         /* QUEUE_GROUP_ENABLED */
    int32_t  outputs[MAX_LBQ_OUTPUTS];  /* 1 marks the output queue at that position */
} LBQ;

typedef struct {
    BOOL     free;
    HICON    icon;
    char     path[TEXT259_LEN];
    char     args[TEXT259_LEN];
    int32_t  runAlone;                  /* 1 alone, 0 parallel, -1 used only through groups */
    char     priority;                  /* R, H, N, I, or U (only through groups) */
    int32_t  compatV3;                  /* 1, 0, or 2 (not stated) */
    BOOL     resident;
    uint16_t showCommand;
    BOOL     nonNative;
    BOOL     reservedFlag;
    char     iconPath[TEXT259_LEN];
} App;

typedef struct {
    BOOL     free;
    int32_t  count;
    int32_t  members[MAX_GROUP_MEMBERS];
    int32_t  runAlone;
    char     priority;
    BOOL     parallel;
} AppGroup;

typedef struct {
    int32_t  appIndex;                  /* -1: not yet in apps */
    char     path[TEXT259_LEN];
    char     args[TEXT259_LEN];
    HICON    icon;
    int32_t  compatV3;
    BOOL     resident;
    uint16_t showCommand;
    BOOL     nonNative;
    BOOL     reservedFlag;
    char     iconPath[TEXT259_LEN];
} ProcessEntry;

typedef struct {
    int32_t      groupRef;
    int32_t      count;
    int32_t      current;
    char         priority;
    int32_t      runAlone;
    ProcessEntry entries[MAX_GROUP_MEMBERS];
    BOOL         parallel;
} ProcessList;

/* Icon handles in records have one owner: the slot of the array that holds the record
   (targets[i].icon, apps[i].icon). A copy of a record (the queue editor's working copy, a page's
   copy, a ProcessList entry) shares its original's handle and never destroys it. An editor that
   extracts a new icon into its copy owns that icon until it either commits the copy (the slot then
   owns the new icon and the editor destroys the one it replaced) or drops the copy (it destroys
   the new icon). Copy_Target gives the copy a handle of its own; Delete_Target destroys the
   deleted queue's. An application whose file holds no icon shows the program's own icon
   (sharedIcons[ICON_PROGRAM], lists/appicons.h): shared by every slot showing it, never destroyed. */
extern Target   targets[MAX_TARGETS];
extern LBQ      lbqs[MAX_LBQS];
extern App      apps[MAX_APPS];
extern AppGroup appGroups[MAX_APPGROUPS];
extern int      targetCount;
extern int      lbqCount;
/* Queues-file numbers (at load) of the queues deleted since; used when storing. */
extern BOOL     deletedQueues[MAX_QUEUES];

/* Empties the whole configuration: counts 0, records zeroed, App and AppGroup slots free,
   every Target slot numbered, nothing deleted. (What the file readers kept from the last load is
   theirs to forget: Forget_LastLoad in setup.h.) */
void Reset_Configuration(void);
/* Gives every Target slot its slot number. */
void Number_TargetSlots(void);
/* The time-out of a queue that never times out: the action -1, 300 seconds and the default
   folder, as a queues-file line with the action -1 reads back. */
void Set_NeverTimesOut(Target *t);
/* Brings a record into the one form the queues file can carry and read back the same: a queue
   that runs no processes names none (202, no group); a filter directory bit without its
   directory is cleared (0x20 exclude, 0x80 include); thumbnails on arrival are off while
   thumbnails are shown only for the active job. The reader, the editor's commits and the writer
   all apply it. */
void Normalise_Target(Target *t);

/* The array operations of the main window. Each keeps every reference by position (after and
   time-out actions, input queue outputs) pointing at the same queue. */

/* Deletes the output queue at pos (pos == targetCount: nothing). Its queues-file number goes to
   deletedQueues; the queues behind it move up. An after-action that passed jobs to it now leaves
   them where they are; a time-out action that passed waiting jobs to it now never times out;
   references to later queues drop by one; every input queue loses its output flag and the flags
   behind it move up. */
void Delete_Target(int pos);
/* Deletes the input queue at pos (pos == lbqCount: nothing); its queues-file number goes to
   deletedQueues. */
void Delete_LBQ(int pos);
/* Appends a whole copy of the output queue at pos named "Copy of <name>" (cut to the name
   field), as a queue added since loading. Returns the new position, or -1 when the queues of
   both kinds already number MAX_QUEUES (or pos names no queue). The copy shares the original's
   icon handle. */
int  Copy_Target(int pos);
/* Fills t with the defaults of a new output queue; hotDir is the proposed hot directory. Fields
   without a default keep what t held (the empty slot at targetCount). */
void Init_NewTarget(Target *t, const char *hotDir);
/* Fills q with the defaults of a new input queue: every field cleared, then the name, the
   proposed hot directory and the load balancer's settings. */
void Init_NewLBQ(LBQ *q, const char *hotDir);
/* Gives an input queue's rules, time priority, purge minutes and enabled flag the load
   balancer's defaults; the split sizes and output flags stay as the caller cleared them. */
void Init_LBConfig(LBQ *q);

/* Moves the Target at from to to, shifting those between, and keeps every reference by
   position (after and time-out actions, input queue outputs) pointing at the same queue. */
void Move_Target(int from, int to);

/* ---- the main window's commands on several queues ---- */

/* One move of an output queue, from one position to another (Move_Target). */
typedef struct { int from, to; } QUEUE_MOVE;
/* The moves that Up (up TRUE) or Down makes of the selected queues (selected[i] for each of
   count queues): for each maximal run of adjacent selected queues, taken from the top for Up
   and from the bottom for Down, the queue just beside the run moves to its other end. None when
   nothing is selected or when the first (Up) or last (Down) queue is selected. Returns the
   number of moves written into moves (at most cap); afterwards every selected queue stands one
   place higher (Up) or lower (Down). */
int  Plan_QueueMoves(const BOOL *selected, int count, BOOL up, QUEUE_MOVE *moves, int cap);
/* Deletes the output queues at the list positions given, in ascending order: the k-th (from 0)
   at position p is deleted at p - k, as each earlier deletion moved the later queues up. */
void Delete_Targets(const int *positions, int n);
/* The same for input queues. */
void Delete_LBQs(const int *positions, int n);
