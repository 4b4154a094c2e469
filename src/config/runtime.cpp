#include "config/runtime.h"

int  Snapshot_Queues(void) { return 1; }       /* not built yet */
void Free_Snapshot(void) {}
void Update_QueueFiles(void) {}
void Create_QueueDirs(int) {}
