/* The rules of the Process Instructions page that need no window: which application a queue's
   parameter files belong to (the key of its association with a configuration utility), and the
   command line that starts the utility on a parameter file. */
#pragma once
#include <windows.h>
#include <stddef.h>
#include "config/model.h"

/* The program path of the queue's first application: the App it runs, or the first member of
   the AppGroup it runs. FALSE, with key emptied, for a queue that runs no processes or names no
   application that is there. key holds cap bytes. */
BOOL Get_AssociationKey(const Target *t, char *key, size_t cap);

/* The command line of a configuration utility started on a parameter file: the utility, a blank
   and the parameters. Each of the two is put in double quotes when it contains a blank and no
   double quote of its own. FALSE when it does not fit in out (cap bytes). */
BOOL Build_UtilityCommand(const char *utility, const char *params, char *out, size_t cap);
