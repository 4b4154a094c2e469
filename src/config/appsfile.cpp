#include "config/appsfile.h"

BOOL Get_AppsData(void) { return FALSE; }      /* not built yet */
void Store_AppsData(void) {}
int  AddTargetApps(ProcessList *) { return -1; }
void Defrag_AppsArray(void) {}
void Carry_LegacyCompat(void) {}
