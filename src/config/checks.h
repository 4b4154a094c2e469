/* Whole-configuration checks run before saving. They read the queue and application arrays,
   tell the operator what is wrong and change nothing. */
#pragma once
#include <windows.h>

/* Every application that an output queue runs must exist as a file (Check_TargetAppPath for
   each, queues in order, group members in order). TRUE when saving may go on. */
BOOL Check_AppPaths(BOOL silent);
/* TRUE when path names an existing file, when the queue at pos runs no processes, or when the
   operator chooses to ignore the missing application (Yes/No, warning icon). Silent: FALSE
   without asking. */
BOOL Check_TargetAppPath(int pos, const char *path, BOOL silent);
/* TRUE when all output queue names differ (letter case ignored); otherwise names the first
   clash (beep, error icon; also in silent mode) and answers FALSE. */
BOOL Check_UniqueQueueNames(void);
/* TRUE when no output queue other than the one at pos bears name (letter case ignored);
   otherwise FALSE with the position of the first that does in *clash. Shows nothing. */
BOOL Check_UniqueQueueName(const char *name, int pos, int *clash);
/* TRUE when every load-balanced input queue with balancing enabled has two or more output
   queues; each one that has fewer is reported in its own information box. */
BOOL Check_LBQOutputs(void);
