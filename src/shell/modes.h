/* The modes of the command line that run without a window ("-check <home>", "-export <home>
   <file> <queue name>..."): one table row each, looked up before the older options are.

   A mode is added with one row in the table of modes.cpp and its procedure:

       static int Check_Mode(const CLI_CALL *call)      // call->home is checked, homeDir set
       {
           ...read the installation, write results with Out_Line, reasons with Err_Line...
           return errors ? 1 : 0;                       // the exit code
       }
       { "-check", "-check <home>", 1, 1, TRUE, 2, Check_Mode },

   What every such mode gets before its procedure runs:
   - the command line split by the Windows rules (common/cmdline.h), the option compared whole
     and without regard to case (a longer word is not this option);
   - no window and no message box: commandMode is set, so a message any operation shows goes to
     the standard error, and a question takes its cautious answer (No);
   - a wrong number of arguments refused with "Usage: Editor.exe <usage>" on the standard error;
   - the home directory, when the mode takes one, checked for reading only: unquoted as the older
     modes unquote it, at most as long as the older modes allow, and an existing folder; it is
     never created and nothing is written to it here. homeDir then names it;
   - the exit code of a refused command line or home: the row's own;
   - trace lines of the mode and its exit code (the trace log only when switched on).
   After the procedure the program closes as the update mode does (profiles released, the trace
   log closed) and ends with the procedure's exit code. */
#pragma once
#include <windows.h>
#include "common/cmdline.h"

typedef int (*CLI_PROC)(const CLI_CALL *call);

typedef struct {
    const char *option;        /* "-check" */
    const char *usage;         /* "-check <home>": what follows "Usage: Editor.exe " */
    int         minArgs;       /* arguments after the option, the home included */
    int         maxArgs;       /* -1: as many as the command line holds */
    BOOL        takesHome;     /* the first argument is a home directory */
    int         refusedExit;   /* exit code when the arguments or the home are refused */
    CLI_PROC    run;
} CLI_MODE;

/* The program's modes; count gets how many there are. */
const CLI_MODE *Command_Modes(int *count);

/* Runs the mode of modes[0..count) that the command line's first argument names. FALSE when it
   names none (the older options then take the line, as they always have); TRUE with *exitCode
   set when a mode ran or was refused. */
BOOL Run_CommandMode(const CLI_MODE *modes, int count, const char *cmdLine, int *exitCode);

/* The home directory argument of a mode, checked for reading only: a copy unquoted into
   homePathBuffer (leading double quotes skipped, the text ended at the next one), not longer
   than Longest_HomePath, an existing folder. TRUE with homeDir pointing at it; FALSE with the
   reason on the standard error. Nothing is created or written. */
BOOL Check_HomeArgument(const char *arg);
