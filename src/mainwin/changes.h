/* "Changes...": what OK would change, shown before it is pressed. */
#pragma once
#include <windows.h>

/* Shows the pending changes (every change since the configuration was loaded and its effect on
   the spooler's queued jobs) in the read-only list over owner. */
void On_Changes(HWND owner);
/* TRUE when the configuration as loaded is known, so that there is something to compare with. */
BOOL Changes_Available(HWND owner);
