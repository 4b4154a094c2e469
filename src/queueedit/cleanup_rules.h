/* The rules of the Clean-Up page that need no window: how long a finished job stays, told in
   days, hours, minutes and seconds; the follow-on queue named by its name; and the checks of a
   done directory, which must be a path and must not send finished jobs back into a hot
   directory. The checks tell the operator what is wrong themselves (message boxes through the
   seam) and return TRUE or FALSE. */
#pragma once
#include <windows.h>
#include <stddef.h>
#include <stdint.h>
#include "common/ctrlmap.h"
#include "config/limits.h"
#include "config/model.h"

/* The four fields of "Leave job in queue for:". Each has its own range; together they may not
   exceed the longest stay a queue holds (LIMIT_KEEP_SECONDS, 31 days). */
inline constexpr FIELD_RANGE LIMIT_KEEP_DAYS    = { 0, 31 };
inline constexpr FIELD_RANGE LIMIT_KEEP_HOURS   = { 0, 24 };
inline constexpr FIELD_RANGE LIMIT_KEEP_MINUTES = { 0, 60 };
inline constexpr FIELD_RANGE LIMIT_KEEP_SECS    = { 0, 60 };

/* keepSeconds as the page shows it: whole days first, then hours, minutes and seconds (90061
   shows as 1, 1, 1, 1; a negative value as none), each field checked against its range. */
extern const DURATION_DEF keepTime;

/* The pass-to-queue action that has no queue chosen yet (the page's own; never stored). */
#define AFTER_PASS_UNCHOSEN -5

/* The follow-on queue typed for queue t (its own position is t->slotIndex), found by its name
   (Find_TargetByName: any letter case, blanks around it aside). With a match,
   *action becomes its position. When validating: no match is refused ("not recognised"), and
   the queue itself is asked about (Yes keeps it). TRUE when the page may go on. */
BOOL Check_NextQueue(const Target *t, const char *typed, BOOL validate, int32_t *action);

/* The done directory typed for queue t, in text (cap bytes). A text of one or two characters
   becomes the root of the drive its first character names. When validating, the text must name
   a directory or a path on a drive; it must not be a directory the queue itself watches for
   jobs (its hot directory, or below it when sub-directories are watched: jobs would run again
   forever), which is refused; a directory another queue watches is asked about (it may be a
   chain of queues on purpose; Yes keeps it). TRUE when text may become the done directory. */
BOOL Check_DoneDir(const Target *t, char *text, size_t cap, BOOL validate);
