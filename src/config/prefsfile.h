/* The spooler preferences file "Preferences.cfg" (older name "Spooler.cfg"). */
#pragma once
#include <windows.h>

BOOL Get_SpoolerGlobals(void);
void Store_SpoolerGlobals(void);
