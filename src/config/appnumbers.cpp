#include "config/appnumbers.h"

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
