#include "queueedit/lbqlogic.h"
#include "queueedit/queuetext.h"
#include "common/fileutil.h"
#include "common/text.h"
#include "common/trace.h"
#include "config/limits.h"
#include "config/newdirs.h"
#include "resources/resource.h"
#include <string.h>

int LBQ_EditorPosition(int pos)
{
    if (pos < 0 || pos > lbqCount) pos = 0;
    if (pos == lbqCount && (lbqCount >= MAX_LBQS || lbqCount + targetCount >= MAX_QUEUES)) return -1;
    return pos;
}

void Open_LBQWork(int pos, LBQ *work)
{
    Trace("Open Page %d\n", pos);
    if (pos < lbqCount) {
        *work = lbqs[pos];
        return;
    }
    char dir[PATH_LEN];
    Get_NewLBQDir(lbqCount, dir, sizeof dir);
    Init_NewLBQ(work, dir);
}

int Commit_LBQWork(const LBQ *work, int pos)
{
    if (pos == lbqCount) {
        if (lbqCount >= MAX_LBQS || lbqCount + targetCount >= MAX_QUEUES) return -1;   /* checked on opening */
        lbqCount++;
    }
    lbqs[pos] = *work;
    Trace("Input queue %d, \"%s\" stored\n", pos, work->name);
    return pos;
}

/* Positions in the rule tables that the compatibility rules name. */
enum {
    GROUP_ID_NONE = 0,
    GROUP_DONT_CARE = 0, GROUP_SAME_DEVICE = 1,
    REASSIGN_ALL = 2, REASSIGN_NO_SPLIT = 3,
};

BOOL Make_LBRulesCompatible(LBQ *q)
{
    BOOL changed = FALSE;
    if (q->fileGroupIdRule == GROUP_ID_NONE && q->fileGroupRule != GROUP_DONT_CARE) {
        q->fileGroupRule = GROUP_DONT_CARE;
        changed = TRUE;
    }
    if (q->fileGroupRule != GROUP_SAME_DEVICE && q->jobReassignmentRule == REASSIGN_NO_SPLIT) {
        q->jobReassignmentRule = REASSIGN_ALL;
        changed = TRUE;
    }
    return changed;
}

BOOL Set_LBQCopySplit(LBQ *q, int32_t split, BOOL *changed)
{
    BOOL any = FALSE;
    q->minCopiesSplitSize = split;
    q->minPagesSplitSize = 0;
    if (split != 0) {
        any = q->fileGroupIdRule != GROUP_ID_NONE || q->fileGroupRule != GROUP_DONT_CARE;
        q->fileGroupIdRule = GROUP_ID_NONE;
        q->fileGroupRule = GROUP_DONT_CARE;
        if (Make_LBRulesCompatible(q)) any = TRUE;
    }
    if (changed != NULL) *changed = any;
    return split == 0;
}

static const DURATION_PART k_PurgeParts[] = {
    { IDC_LB_PURGE_HOURS, 60, { 0, 23 }, "The hours after which jobs are ignored must be a whole number of 0 or more." },
    { IDC_LB_PURGE_MINUTES, 1, { 0, 59 }, "The minutes after which jobs are ignored must be a whole number of 0 or more." },
};
const DURATION_DEF purgeTime = {
    k_PurgeParts, (int)ARRAY_LEN(k_PurgeParts), LIMIT_PURGE_MINUTES, TRUE, 4,
    "Jobs can only be ignored when identifying job groups after at least one minute.  Please enter a time of 1 "
    "minute or more.",
    IDC_LB_PURGE_MINUTES, NULL, IDC_LB_PURGE_MINUTES,
};

BOOL Add_LBQOutput(LBQ *q, int pos)
{
    if (pos < 0 || pos >= targetCount || q->outputs[pos] == 1) return FALSE;
    q->outputs[pos] = 1;
    return TRUE;
}

int Remove_LBQOutputs(LBQ *q, const int *positions, int count)
{
    int removed = 0;
    for (int i = 0; i < count; i++) {
        int pos = positions[i];
        if (pos < 0 || pos >= MAX_LBQ_OUTPUTS || q->outputs[pos] == 0) continue;
        q->outputs[pos] = 0;
        removed++;
    }
    return removed;
}

BOOL Check_HotDirText(char *path, size_t cap)
{
    Strip_Quotes(path);
    return Check_DirText(path, cap);
}

int Find_HotDirOwner(const char *dir, int lbqPos, BOOL *isLBQ)
{
    for (int i = 0; i < targetCount; i++) {
        if (!Is_SameDir(dir, targets[i].hotDir)) continue;
        *isLBQ = FALSE;
        return i;
    }
    for (int i = 0; i < lbqCount; i++) {
        if (i == lbqPos || !Is_SameDir(dir, lbqs[i].hotDir)) continue;
        *isLBQ = TRUE;
        return i;
    }
    return -1;
}
