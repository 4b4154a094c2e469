#include "config/appnumbers.h"
#include "config/appsfile.h"
#include "config/keptlines.h"
#include "common/trace.h"
#include <string.h>

BOOL App_Used(int a) { return a >= 0 && a < MAX_APPS && !apps[a].free; }
BOOL Group_Used(int g) { return g >= 0 && g < MAX_APPGROUPS && !appGroups[g].free; }

/* A number for a reference to an entry that is not there: entries that were not read keep their
   place after those written (the kept lines), anything else points past the end of the file. */
static int Past_End(const APP_NUMBERING *n, int e)
{
    int k = (e >= n->readCount) ? n->written + (e - n->readCount) : n->written + n->keptLines;
    if (k == LBQ_MARKER || k == NO_PROCESSES) k = NO_PROCESSES + 1;
    return k;
}

int Entry_OfSlot(const APP_NUMBERING *n, int slot, BOOL group)
{
    if (group && slot >= 0 && slot < MAX_APPGROUPS && n->groupNumber[slot] >= 0) return n->groupNumber[slot];
    if (!group && slot >= 0 && slot < MAX_APPS && n->appNumber[slot] >= 0) return n->appNumber[slot];
    return Past_End(n, slot);
}

int Entry_OfLoadNumber(const APP_NUMBERING *n, int e)
{
    if (e < 0) return e;
    if (e < n->readCount && e < MAX_APPS) return Entry_OfSlot(n, e, n->readAsGroup[e]);
    /* Made smaller, a number that named no line could make a kept line readable at the next load
       (a group member 201 that became 199) and change what the line means. */
    if (e >= n->readCount + n->keptLines && e >= n->written + n->keptLines) return e;
    return Past_End(n, e);
}

int App_SlotOfEntry(const APP_NUMBERING *n, int e)
{
    if (e < 0 || e >= MAX_APPS + MAX_APPGROUPS) return -1;
    return n->appSlotOf[e];
}

/* ---- which entries the file is written with ---- */

void Mark_EntryRef(BOOL *appRef, BOOL *groupRef, int ref, BOOL group)
{
    if (!group) {
        if (App_Used(ref)) appRef[ref] = TRUE;
        return;
    }
    if (!Group_Used(ref)) return;
    groupRef[ref] = TRUE;
    for (int k = 0; k < appGroups[ref].count && k < MAX_GROUP_MEMBERS; k++)
        if (App_Used(appGroups[ref].members[k])) appRef[appGroups[ref].members[k]] = TRUE;
}

void Mark_Referenced(BOOL *appRef, BOOL *groupRef, BOOL *direct, int skipQueue)
{
    memset(appRef, 0, MAX_APPS * sizeof(BOOL));
    memset(groupRef, 0, MAX_APPGROUPS * sizeof(BOOL));
    if (direct != NULL) memset(direct, 0, MAX_APPS * sizeof(BOOL));
    for (int t = 0; t < targetCount && t < MAX_TARGETS; t++) {
        const Target *q = &targets[t];
        if (t == skipQueue || q->processRef == NO_PROCESSES) continue;
        Mark_EntryRef(appRef, groupRef, q->processRef, q->usesGroup);
        if (direct != NULL && !q->usesGroup && App_Used(q->processRef)) direct[q->processRef] = TRUE;
    }
    for (int k = 0; k < keptQueueLines.count; k++) {
        int e = keptQueueLines.numbers[k].entry;
        if (e < 0 || e >= appsLoad.readCount) continue;
        if (appsLoad.entryIsGroup[e]) {
            Mark_EntryRef(appRef, groupRef, e, TRUE);
        } else if (App_Used(e)) {
            appRef[e] = TRUE;
            if (direct != NULL) direct[e] = TRUE;
        }
    }
    /* A member of a kept group line keeps its own settings, as Get_AppsData read them: the
       kept line carries its group's settings in its own text. */
    for (int k = 0; k < keptAppLines.count; k++) {
        int e = keptAppLines.numbers[k].entry;
        if (e >= 0 && e < appsLoad.readCount && !appsLoad.entryIsGroup[e] && App_Used(e)) {
            appRef[e] = TRUE;
            if (direct != NULL) direct[e] = TRUE;
        }
    }
}

void Defrag_AppsArray(APP_NUMBERING *n)
{
    Trace("Defrag_AppsArray ()\n");
    Trace("Removing unreferenced entries. ");
    BOOL appRef[MAX_APPS], groupRef[MAX_APPGROUPS];
    Mark_Referenced(appRef, groupRef, n->ownSettings, -1);
    int next = 0;
    for (int i = 0; i < MAX_APPS + MAX_APPGROUPS; i++) n->appSlotOf[i] = -1;
    for (int g = 0; g < MAX_APPGROUPS; g++)
        if (Group_Used(g) && !groupRef[g]) Trace("Group %d; ", g);
    for (int a = 0; a < MAX_APPS; a++) {
        if (App_Used(a) && !appRef[a]) Trace("App %d; ", a);
        n->appNumber[a] = (App_Used(a) && appRef[a]) ? next : -1;
        if (n->appNumber[a] >= 0) n->appSlotOf[next++] = a;
    }
    for (int g = 0; g < MAX_APPGROUPS; g++) n->groupNumber[g] = (Group_Used(g) && groupRef[g]) ? next++ : -1;
    n->written = next;
    n->readCount = appsLoad.readCount;
    memcpy(n->readAsGroup, appsLoad.entryIsGroup, sizeof n->readAsGroup);
    n->keptLines = keptAppLines.lines;
}
