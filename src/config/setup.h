/* Loading and storing the whole configuration: every file in its order, and what the store keeps
   from the load (the snapshot of the queues that the spooler's run-time files are compared with). */
#pragma once
#include <windows.h>

/* The longest home directory path that leaves room for every file the program keeps beneath it
   (the longest of those names, the profile folders' search patterns among them, after a
   backslash), so that no path under it is ever cut short. */
int  Longest_HomePath(void);
/* TRUE when home is not longer than Longest_HomePath. */
BOOL Home_HasRoom(const char *home);

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
/* Forgets everything the readers noted at the last load (the lines they kept, the kinds of the
   application entries, the load balancer's debug level) and the load-time snapshot: the store
   of a process that has read nothing. The configuration itself is emptied by Reset_Configuration. */
void Forget_LastLoad(void);
