/* The load balancer's configuration file "LBPrefs.cfg" and its rule tables. */
#pragma once
#include <windows.h>
#include <stdint.h>
#include "config/model.h"

BOOL Get_LBConfig(void);
BOOL Store_LBConfig(void);
/* Gives an input queue's load-balancing settings their defaults. */
void Init_LBConfig(LBQ *q);
/* Number of output flags equal to 1 among all of an input queue's flags. */
int  Count_LBQOutputs(const int32_t *outputs);
