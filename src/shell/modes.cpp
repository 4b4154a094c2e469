#include "shell/modes.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/text.h"
#include "common/trace.h"
#include "config/findings.h"
#include "config/layoutchecks.h"
#include "config/runtime.h"
#include "config/setup.h"
#include "config/users.h"
#include <string.h>

/* -check <home>: reads the installation as -update does, writes nothing, and prints every
   finding, one line each, then "N errors, M warnings". 0 without errors, 1 with, 2 when the
   installation cannot be checked. */
static int Check_Mode(const CLI_CALL *call)
{
    Trace("Check_Mode ( %s )\n", call->home);
    if (!InitData()) {
        Err_Line("No configuration file could be read in %s: it is not an installation, or its files cannot be read.",
                 call->home);
        return 2;
    }
    /* the spooler's job list and the users, which a save would also read */
    Scan_QueueFile();
    Begin_ReadFindings("Users.cfg");
    Load_Users(NULL);
    End_ReadFindings();
    Free_Users(NULL);

    static FINDINGS list;            /* ~0.5 MB: kept off the stack */
    Check_All(&list);
    char line[FINDING_LINE_LEN];
    for (int i = 0; i < list.count; i++) {
        Format_Finding(&list.items[i], line, sizeof line);
        Out_Line("%s", line);
    }
    int errors = 0, warnings = 0;
    Count_Findings(&list, &errors, &warnings);
    if (list.dropped > 0) Err_Line("%d more findings were not listed (at most %d are).", list.dropped, FINDINGS_MAX);
    Out_Line("%d errors, %d warnings", errors, warnings);
    return errors > 0 ? 1 : 0;
}

/* The modes of the command line, one row each (see modes.h). An option here must not begin
   with "-update", "-preferences" or "-silent": the older options take any word that does. */
static const CLI_MODE k_Modes[] = {
    { "-check", "-check <home>", 1, 1, TRUE, 2, Check_Mode },
    { NULL, NULL, 0, 0, FALSE, 1, NULL },       /* the end of the table */
};

const CLI_MODE *Command_Modes(int *count)
{
    *count = (int)ARRAY_LEN(k_Modes) - 1;
    return k_Modes;
}

BOOL Check_HomeArgument(const char *arg)
{
    homeDir = NULL;
    BOOL whole = Copy_Field(homePathBuffer, arg);
    /* A home in quotes with a backslash before the closing quote ("C:\Spool\") comes out of the
       Windows rules with the quote still on it: it ends there. */
    Strip_Quotes(homePathBuffer);
    if (homePathBuffer[0] == '\0') {
        Err_Line("No home directory was given.");
        return FALSE;
    }
    if (!whole || !Home_HasRoom(homePathBuffer)) {
        Err_Line("The home directory path is too long (at most %d characters): %s", Longest_HomePath(), arg);
        return FALSE;
    }
    if (!Dir_Exists(homePathBuffer)) {
        Err_Line("The home directory does not exist or is not a folder: %s", homePathBuffer);
        return FALSE;
    }
    homeDir = homePathBuffer;
    Trace("Home directory: %s\n", homeDir);
    return TRUE;
}

BOOL Run_CommandMode(const CLI_MODE *modes, int count, const char *cmdLine, int *exitCode)
{
    static CMD_ARGS s_Args;             /* 32 KB: kept off the stack */
    BOOL whole = Split_CommandLine(cmdLine, &s_Args);
    if (s_Args.count == 0) return FALSE;
    const CLI_MODE *mode = NULL;
    for (int i = 0; i < count && mode == NULL; i++)
        if (Compare_NoCase(s_Args.args[0], modes[i].option) == 0) mode = &modes[i];
    if (mode == NULL) return FALSE;

    commandMode = TRUE;
    int argc = s_Args.count - 1;
    Trace("Run_CommandMode ( %s, %d arguments )\n", mode->option, argc);
    *exitCode = mode->refusedExit;
    if (!whole) {
        Err_Line("The command line holds more than %d arguments or is too long.", CMD_ARGS_MAX);
        Trace("Run_CommandMode: the command line was refused; exit code %d\n", *exitCode);
        return TRUE;
    }
    if (argc < mode->minArgs || (mode->maxArgs >= 0 && argc > mode->maxArgs)) {
        Err_Line("Usage: Editor.exe %s", mode->usage);
        Trace("Run_CommandMode: %d arguments refused; exit code %d\n", argc, *exitCode);
        return TRUE;
    }
    if (mode->takesHome && !Check_HomeArgument(s_Args.args[1])) {
        Trace("Run_CommandMode: the home directory was refused; exit code %d\n", *exitCode);
        return TRUE;
    }
    CLI_CALL call;
    call.option = mode->option;
    call.argc = argc;
    call.argv = s_Args.args + 1;
    call.home = mode->takesHome ? homeDir : NULL;
    *exitCode = mode->run(&call);
    Trace("Run_CommandMode: %s ends with exit code %d\n", mode->option, *exitCode);
    return TRUE;
}
