/* The input queue editor's working copy without windows: where the editor opens, what the copy
   starts from and its commit, and the rules the editor applies to it: the compatibility of the
   balancing rules, the copy split, the purge time, the set of outputs and the hot directory
   checks. None of them shows anything. */
#pragma once
#include <windows.h>
#include <stddef.h>
#include "common/ctrlmap.h"
#include "config/model.h"

/* The position the editor works on when asked for pos: pos when it names an input queue;
   lbqCount (a new one) for lbqCount; 0 for a position above it (a new one when there are none).
   -1 when a new one is asked for and the queues of both kinds already number MAX_QUEUES. */
int  LBQ_EditorPosition(int pos);
/* Fills work for a position from LBQ_EditorPosition (trace "Open Page %d\n"): a copy of the
   input queue there, or for a new one the new-queue defaults with a proposed hot directory. */
void Open_LBQWork(int pos, LBQ *work);
/* Puts work into lbqs at pos; at lbqCount it is appended and lbqCount grows. The position it
   went to, or -1 (nothing changed) when a new one finds no room. */
int  Commit_LBQWork(const LBQ *work, int pos);

/* The compatibility of the three rules, applied in this order:
   1. without a group identification rule ("None") groups cannot be output together, so the group
      output rule becomes "Don't care";
   2. reassigning all jobs without splitting groups needs groups that go to the same device, so
      with any other group output rule the reassignment rule becomes "All jobs".
   TRUE when a rule was changed. */
BOOL Make_LBRulesCompatible(LBQ *q);

/* The copy split size typed by the operator: stored in q with the pages split size 0. A split
   size other than 0 leaves no room for job groups: both group rules become "None" and "Don't
   care" (and the reassignment rule follows them, as Make_LBRulesCompatible does). TRUE when
   the group rules may be chosen (split size 0). *changed (may be NULL) tells whether a rule
   changed. */
BOOL Set_LBQCopySplit(LBQ *q, int32_t split, BOOL *changed);

/* FILE_GROUP_PURGE_MINUTES as the editor shows it, in hours and minutes: each a whole number of 0
   or more, hours above 23 counting as 23 and minutes above 59 as 59, together at least a minute. */
extern const DURATION_DEF purgeTime;

/* Makes the output queue at pos an output of q. FALSE when pos names no output queue or it is an
   output already (nothing changes then). */
BOOL Add_LBQOutput(LBQ *q, int pos);
/* Clears the output flags of the positions given; returns how many were set. */
int  Remove_LBQOutputs(LBQ *q, const int *positions, int count);

/* The hot directory as typed, in place: quotes removed, then the directory rule of the pages
   (Check_DirText). TRUE when it is acceptable. */
BOOL Check_HotDirText(char *path, size_t cap);
/* The queue whose hot directory dir is, other than the input queue at lbqPos: the position of
   an output queue (*isLBQ FALSE) or of another input queue (*isLBQ TRUE), or -1 when none. */
int  Find_HotDirOwner(const char *dir, int lbqPos, BOOL *isLBQ);
