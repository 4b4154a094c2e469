/* Whole-configuration checks run before saving. */
#pragma once
#include <windows.h>

BOOL Check_AppPaths(BOOL silent);
BOOL Check_UniqueQueueNames(void);
BOOL Check_LBQOutputs(void);
