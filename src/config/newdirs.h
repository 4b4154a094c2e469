/* Hot directories proposed for new queues: a path under the home directory that neither exists
   on disk nor is the hot directory of a queue of the same kind. Only proposed, never created. */
#pragma once
#include <windows.h>
#include <stddef.h>

/* "<home>\Hot Folders\Hot Folder <k>" for the first k above n that is free. out holds at least
   260 characters; a path that cannot be formed leaves it empty. */
void Get_NewHotDir(int n, char *out, size_t cap);
/* "<home>\Load Balancer Inputs\Input <k>", the same against the input queues. */
void Get_NewLBQDir(int n, char *out, size_t cap);
