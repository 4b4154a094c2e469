#include "config/model.h"
#include "config/appsfile.h"
#include "config/lbfile.h"
#include "config/queuesfile.h"
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
    /* what the file readers noted at the last load (lines kept, entry kinds, renumbering) */
    Clear_KeptQueueLines();
    Clear_AppsLoadState();
    lbDebugLevel = 0;
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
