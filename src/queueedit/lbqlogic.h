/* The rules of the input queue editor that need no window: the compatibility of the balancing
   rules, the copy split, the purge time, the set of outputs and the hot directory checks. The
   editor calls them on its working copy; none of them shows anything. */
#pragma once
#include <windows.h>
#include <stddef.h>
#include "config/model.h"

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

/* FILE_GROUP_PURGE_MINUTES from the hours and minutes fields: hours above 23 count as 23 and
   minutes above 59 as 59. The caller has refused negative values. */
int32_t Purge_Minutes(int32_t hours, int32_t minutes);

/* Reads a whole number of 0 or more from a field's text (blanks around it allowed; an empty text
   is 0). Values beyond the 32-bit range stay at its end. FALSE for anything else (a sign, a
   letter, a fraction). */
BOOL Read_Count(const char *text, int32_t *value);

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
