/* The command-line modes that move queues between installations without a window:
   "-export <home> <file> <queue name>..." and "-import <home> <file> [<old root> <new root>]". */
#pragma once
#include "common/cmdline.h"

int Export_Mode(const CLI_CALL *call);
int Import_Mode(const CLI_CALL *call);
