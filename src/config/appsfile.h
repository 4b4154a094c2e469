/* The applications file "Applications.cfg" (older name "Spooler.aps") and the shared
   application and application group arrays. */
#pragma once
#include <windows.h>
#include "config/model.h"

BOOL Get_AppsData(void);
void Store_AppsData(void);
int  AddTargetApps(ProcessList *list);
void Defrag_AppsArray(void);
void Carry_LegacyCompat(void);
