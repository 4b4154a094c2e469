#include "config/queuesfile.h"
#include "config/model.h"

BOOL Get_TargetData(void) { targetCount = lbqCount = 0; return FALSE; }   /* not built yet */
void Store_TargetData(void) {}
