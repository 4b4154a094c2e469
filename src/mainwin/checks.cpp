#include "mainwin/checks.h"

BOOL Check_AppPaths(BOOL) { return TRUE; }     /* not built yet */
BOOL Check_UniqueQueueNames(void) { return TRUE; }
BOOL Check_LBQOutputs(void) { return TRUE; }
