/* The command-line modes of the backups: "-backups <home>" lists them, "-restore <home> <backup>"
   puts one back through the save of the silent mode. Both refuse while an editor is running. */
#pragma once
#include "common/cmdline.h"

/* Lists the backup folders of the home, newest first: one line each, the folder's name and the
   configuration files it holds, separated by tabs. 0 listed (also none), 1 refused. */
int Backups_Mode(const CLI_CALL *call);
/* Reads the backup, runs the checks of the silent mode and stores it as the silent mode does
   (the files it replaces backed up first). 0 restored, 1 refused or failed (the reason on the
   standard error), 2 no such backup. */
int Restore_Mode(const CLI_CALL *call);
