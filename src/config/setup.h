/* Loading and storing the whole configuration: every file in its order, and what the store keeps
   from the load (the snapshot of the queues that the spooler's run-time files are compared with). */
#pragma once
#include <windows.h>

/* Loads the whole configuration; TRUE when the preferences, queues or applications file was read. */
BOOL InitData(void);
/* Stores every file when saveOnExit is set: the spooler's run-time files, then the queues, load
   balancer, applications and preferences files. The configuration in memory is not changed, so a
   save that failed can be repeated (OK pressed again) and writes what a first save would have.
   TRUE when every file was stored (the load-time snapshot is then released); FALSE when one
   could not be (each failure has been told to the operator, and the snapshot is kept for the
   next save). */
BOOL StoreSetup(void);
/* Releases the load-time snapshot of the queues. */
void Free_Resources(void);
