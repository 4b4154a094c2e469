/* The directories that the configuration names and the spooler's system directories. */
#include "config/runtime.h"
#include "config/storefile.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include <string.h>

void Empty_Queue(void)
{
    Trace("\nEmpty_Queue()\n");
    char path[PATH_LEN];
    if (!Store_PathOf("queue\\engine.q", path, sizeof path)) return;
    /* The marker goes to a temporary file that replaces the job file in one step. */
    if (!Write_WholeFile(path, QUEUE_END_MARKER, strlen(QUEUE_END_MARKER), FALSE)) {
        Trace("Error: %s\n", Error_Text(NULL));
        Info_Box(programTitle, "Could not open the queue file for emptying.\r\n\"%s\"", path);
        Trace("Could not delete it. Returning (void)\n");
        return;
    }
    Trace("Writing end of queue marker, \"%s\". ", QUEUE_END_MARKER);
    Trace("Closed %s.\n", path);
}

BOOL Ensure_Directory(const char *path, int silent)
{
    if (path == NULL || path[0] == '\0' || strcmp(path, " ") == 0) return TRUE;
    if (Dir_Exists(path) || File_Exists(path)) return TRUE;
    Trace("\"%s\" does not exist, creating. ", path);
    if (!silent) {
        int answer = Message_Box(programTitle, MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL, "Create the directory \"%s\"?",
                                 path);
        if (answer != IDYES) {
            Trace("User cancelled creation. Directory does not exist. ");
            return FALSE;
        }
    }
    char bare[PATH_LEN];
    Copy_Field(bare, path);
    Strip_Quotes(bare);
    DWORD err = 0;
    if (!CreateDirectoryA(bare, NULL)) {
        err = GetLastError();
        if (err == ERROR_PATH_NOT_FOUND && Create_DirectoryPath(bare, &err)) err = 0;
    }
    if (Dir_Exists(bare)) return TRUE;
    if (err == 0) err = ERROR_PATH_NOT_FOUND;
    Trace("Could not create \"%s\": %s\n", path, Error_Text(&err));
    SetLastError(err);
    SysError_Box(programTitle, "Failed to create the directory \"%s.\"", path);
    return FALSE;
}

void Create_SystemDirs(void)
{
    Trace("Create_SystemDirs()\n");
    static const char *const k_SystemDirs[] = { "queue", "logs", "state" };
    for (size_t i = 0; i < ARRAY_LEN(k_SystemDirs); i++) {
        char path[PATH_LEN];
        if (!Home_Path(path, sizeof path, homeDir, k_SystemDirs[i])) continue;
        DWORD err = 0;
        if (!Dir_Exists(path) && !Create_DirectoryPath(path, &err))
            Trace("Could not create \"%s\": %s\n", path, Error_Text(&err));
    }
    char qPath[PATH_LEN];
    if (Home_Path(qPath, sizeof qPath, homeDir, "queue\\engine.q") && !File_Exists(qPath)) Empty_Queue();
}

void Create_QueueDirs(int silent)
{
    Trace("Create_QueueDirs ( %d )\n", silent);
    for (int i = 0; i < targetCount; i++) {
        const Target *t = &targets[i];
        if (t->monitorProcesses != 1) Ensure_Directory(t->hotDir, silent);
        if (t->afterAction == AFTER_MOVE_DONE) Ensure_Directory(t->doneDir, silent);
        if (t->jobsAtATime >= 2 && t->timeoutAction == TIMEOUT_MOVE) Ensure_Directory(t->timeoutDir, silent);
    }
    for (int i = 0; i < targetCount; i++) Ensure_Directory(targets[i].thumbnailDir, silent);
    for (int i = 0; i < lbqCount; i++) Ensure_Directory(lbqs[i].hotDir, silent);
    Create_SystemDirs();
}
