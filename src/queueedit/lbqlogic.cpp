#include "queueedit/lbqlogic.h"
#include "queueedit/queuetext.h"
#include "common/fileutil.h"
#include "common/text.h"
#include <ctype.h>
#include <errno.h>
#include <stdlib.h>
#include <string.h>

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

int32_t Purge_Minutes(int32_t hours, int32_t minutes)
{
    if (hours > 23) hours = 23;
    if (minutes > 59) minutes = 59;
    return hours * 60 + minutes;
}

BOOL Read_Count(const char *text, int32_t *value)
{
    const char *p = text;
    while (*p == ' ' || *p == '\t') p++;
    if (*p == '\0') {
        *value = 0;
        return TRUE;
    }
    if (!isdigit((unsigned char)*p)) return FALSE;
    char *end;
    errno = 0;
    unsigned long long v = strtoull(p, &end, 10);
    while (*end == ' ' || *end == '\t') end++;
    if (*end != '\0') return FALSE;
    if (errno == ERANGE || v > 2147483647ULL) v = 2147483647ULL;
    *value = (int32_t)v;
    return TRUE;
}

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
