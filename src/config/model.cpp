#include "config/model.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/text.h"
#include "common/trace.h"
#include <string.h>

Target   targets[MAX_TARGETS];
LBQ      lbqs[MAX_LBQS];
App      apps[MAX_APPS];
AppGroup appGroups[MAX_APPGROUPS];
int      targetCount;
int      lbqCount;
BOOL     deletedQueues[MAX_QUEUES];

void Number_TargetSlots(void)
{
    for (int i = 0; i < MAX_TARGETS; i++) targets[i].slotIndex = i;
}

void Reset_Configuration(void)
{
    memset(targets, 0, sizeof targets);
    memset(lbqs, 0, sizeof lbqs);
    memset(apps, 0, sizeof apps);
    memset(appGroups, 0, sizeof appGroups);
    for (int i = 0; i < MAX_APPS; i++) apps[i].free = TRUE;
    for (int i = 0; i < MAX_APPGROUPS; i++) appGroups[i].free = TRUE;
    for (int i = 0; i < MAX_TARGETS; i++) targets[i].loadIndex = -1;
    for (int i = 0; i < MAX_LBQS; i++) lbqs[i].loadIndex = -1;
    memset(deletedQueues, 0, sizeof deletedQueues);
    targetCount = 0;
    lbqCount = 0;
    Number_TargetSlots();
}

void Move_Target(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= targetCount || to >= targetCount) return;
    Trace("Move_Target ( %d, %d ) \n", from, to);
    Target moving = targets[from];
    if (from < to) memmove(&targets[from], &targets[from + 1], (size_t)(to - from) * sizeof(Target));
    else           memmove(&targets[to + 1], &targets[to], (size_t)(from - to) * sizeof(Target));
    targets[to] = moving;

    /* newPos[old position] = position now; slotIndex still holds each record's old position */
    int newPos[MAX_TARGETS];
    for (int i = 0; i < MAX_TARGETS; i++) newPos[i] = i;
    for (int i = 0; i < targetCount; i++) {
        int old = targets[i].slotIndex;
        if (old >= 0 && old < MAX_TARGETS) newPos[old] = i;
    }
    for (int i = 0; i < targetCount; i++) {
        Target *t = &targets[i];
        if (t->afterAction >= 0 && t->afterAction < MAX_TARGETS) t->afterAction = newPos[t->afterAction];
        if (t->timeoutAction >= 0 && t->timeoutAction < MAX_TARGETS) t->timeoutAction = newPos[t->timeoutAction];
        t->slotIndex = i;
    }
    for (int q = 0; q < lbqCount; q++) {
        int32_t old[MAX_TARGETS];
        memcpy(old, lbqs[q].outputs, (size_t)targetCount * sizeof(int32_t));
        for (int i = 0; i < targetCount; i++) lbqs[q].outputs[newPos[i]] = old[i];
    }
}

/* A default folder under the home directory (empty while no home is known). */
static void Home_Default(char *out, size_t cap, const char *name)
{
    if (homeDir == NULL || !Home_Path(out, cap, homeDir, name)) out[0] = '\0';
}

void Set_NeverTimesOut(Target *t)
{
    t->timeoutAction = TIMEOUT_NEVER;
    t->timeoutSeconds = 300;
    Home_Default(t->timeoutDir, sizeof t->timeoutDir, "Timed Out Waiting");
}

void Normalise_Target(Target *t)
{
    if (t->noProcesses) {
        t->processRef = NO_PROCESSES;
        t->usesGroup = FALSE;
    }
    if (t->excludeFilterDir[0] == '\0') t->filterFlags &= ~0x20u;
    if (t->includeFilterDir[0] == '\0') t->filterFlags &= ~0x80u;
    if (t->thumbnailsWhenActive) t->thumbnailsOnArrival = FALSE;
}

void Delete_Target(int pos)
{
    Trace("Delete_Target ( %d ) \n", pos);
    if (pos < 0 || pos >= targetCount) return;
    int loaded = targets[pos].loadIndex;
    if (loaded >= 0 && loaded < MAX_QUEUES) deletedQueues[loaded] = TRUE;
    if (targets[pos].icon != NULL) DestroyIcon(targets[pos].icon);

    memmove(&targets[pos], &targets[pos + 1], (size_t)(targetCount - pos - 1) * sizeof(Target));
    targetCount--;
    memset(&targets[targetCount], 0, sizeof(Target));
    targets[targetCount].loadIndex = -1;
    Number_TargetSlots();

    for (int i = 0; i < targetCount; i++) {
        Target *t = &targets[i];
        if (t->afterAction == pos) t->afterAction = AFTER_LEAVE;
        else if (t->afterAction > pos && t->afterAction < MAX_TARGETS) t->afterAction--;
        /* A time-out that passed waiting jobs to the deleted queue now never times out, as the
           queues file reads a time-out that names no queue. */
        if (t->timeoutAction == pos) Set_NeverTimesOut(t);
        else if (t->timeoutAction > pos && t->timeoutAction < MAX_TARGETS) t->timeoutAction--;
    }
    for (int q = 0; q < lbqCount; q++) {
        int32_t *out = lbqs[q].outputs;
        memmove(&out[pos], &out[pos + 1], (size_t)(MAX_LBQ_OUTPUTS - pos - 1) * sizeof(int32_t));
        out[MAX_LBQ_OUTPUTS - 1] = 0;
    }
}

void Delete_LBQ(int pos)
{
    Trace("Delete_LBQ ( %d ) \n", pos);
    if (pos < 0 || pos >= lbqCount) return;
    int loaded = lbqs[pos].loadIndex;
    if (loaded >= 0 && loaded < MAX_QUEUES) deletedQueues[loaded] = TRUE;
    memmove(&lbqs[pos], &lbqs[pos + 1], (size_t)(lbqCount - pos - 1) * sizeof(LBQ));
    lbqCount--;
    memset(&lbqs[lbqCount], 0, sizeof(LBQ));
    lbqs[lbqCount].loadIndex = -1;
}

int Copy_Target(int pos)
{
    Trace("Copy_Target ( %d ) \n", pos);
    if (targetCount + lbqCount >= MAX_QUEUES || pos < 0 || pos >= targetCount) return -1;
    int at = targetCount;
    targets[at] = targets[pos];
    targetCount++;
    Target *t = &targets[at];
    /* "Copy of <name>", without double quotes around the name: a queue's name may not hold
       them, and the copy must be a queue the editor can store as it is. The name field cannot
       hold every copied name; the copy's name is then cut, and the editor that opens on the copy
       shows it for the operator to shorten. */
    if (!Format_Text(t->name, sizeof t->name, "Copy of %s", targets[pos].name))
        Trace("Copy_Target: the name of the copy was cut to %u characters\n", (unsigned)(sizeof t->name - 1));
    t->loadIndex = -1;
    t->slotIndex = at;
    if (t->icon != NULL) t->icon = CopyIcon(t->icon);      /* each slot owns its own handle */
    return at;
}

void Init_NewTarget(Target *t, const char *hotDir)
{
    Copy_Field(t->name, NEW_TARGET_NAME);
    Copy_Field(t->hotDir, hotDir);
    t->includeSubdirs = FALSE;
    t->thumbnailDir[0] = '\0';
    t->parameters[0] = '\0';
    t->parametersIsFile = FALSE;
    t->priority = 4;
    t->copies = 1;
    t->afterAction = AFTER_LEAVE;
    Home_Default(t->doneDir, sizeof t->doneDir, "Done");
    t->beepOnComplete = FALSE;
    t->forceOverwriteDone = TRUE;
    t->alertOnError = FALSE;
    t->suspendOnError = FALSE;
    t->keepSeconds = 5;
    t->processRef = NO_PROCESSES;
    t->usesGroup = FALSE;
    t->mutexGroup[0] = '\0';
    t->outputIdentity[0] = '\0';
    t->initialState = 0;
    t->jobGrouping = FALSE;
    t->thumbnailsOnArrival = FALSE;
    t->countDown = 1;
    t->jobsAtATime = 1;
    t->timeoutSeconds = 300;
    t->timeoutAction = TIMEOUT_NEVER;
    Home_Default(t->timeoutDir, sizeof t->timeoutDir, "Timed Out Waiting");
    t->forceOverwriteTimeout = TRUE;
    t->openFilePolicy = 2;
    t->loadIndex = -1;
    t->limitDoneFiles = FALSE;
    t->doneFileLimit = 10;
    t->monitorProcesses = FALSE;
    t->noProcesses = FALSE;
    t->switchIfIdle = FALSE;
}

void Init_LBConfig(LBQ *q)
{
    q->fileGroupIdRule = 0;
    q->fileGroupRule = 0;
    q->jobReassignmentRule = 1;
    q->timePriorityValue = 50;
    q->fileGroupPurgeMinutes = 10;
    q->queueGroupEnabled = 1;
}

void Init_NewLBQ(LBQ *q, const char *hotDir)
{
    memset(q, 0, sizeof *q);
    Copy_Field(q->name, NEW_LBQ_NAME);
    Copy_Field(q->hotDir, hotDir);
    q->includeSubdirs = FALSE;
    q->priority = 4;
    q->copies = 1;
    Init_LBConfig(q);
    q->minCopiesSplitSize = 0;
    q->minPagesSplitSize = 0;
    q->loadIndex = -1;
}

/* ---- the main window's commands on several queues ---- */

int Plan_QueueMoves(const BOOL *selected, int count, BOOL up, QUEUE_MOVE *moves, int cap)
{
    if (count <= 0) return 0;
    BOOL any = FALSE;
    for (int i = 0; i < count; i++) any = any || selected[i];
    if (!any || (up && selected[0]) || (!up && selected[count - 1])) return 0;
    int n = 0;
    if (up) {
        for (int i = 0; i < count && n < cap;) {
            if (!selected[i]) { i++; continue; }
            int end = i;
            while (end + 1 < count && selected[end + 1]) end++;
            moves[n].from = i - 1;        /* the queue just above the run goes to just below it */
            moves[n].to = end;
            n++;
            i = end + 1;
        }
    } else {
        for (int i = count - 1; i >= 0 && n < cap;) {
            if (!selected[i]) { i--; continue; }
            int start = i;
            while (start - 1 >= 0 && selected[start - 1]) start--;
            moves[n].from = i + 1;        /* the queue just below the run goes to just above it */
            moves[n].to = start;
            n++;
            i = start - 1;
        }
    }
    return n;
}

void Delete_Targets(const int *positions, int n)
{
    for (int k = 0; k < n; k++) Delete_Target(positions[k] - k);
}

void Delete_LBQs(const int *positions, int n)
{
    for (int k = 0; k < n; k++) Delete_LBQ(positions[k] - k);
}
