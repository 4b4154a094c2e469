#include "config/prefsfile.h"

BOOL Get_SpoolerGlobals(void) { return FALSE; }   /* not built yet */
void Store_SpoolerGlobals(void) {}
