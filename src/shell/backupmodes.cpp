#include "shell/backupmodes.h"
#include "shell/app.h"
#include "common/appstate.h"
#include "common/text.h"
#include "common/trace.h"
#include "config/backups.h"
#include "config/savesequence.h"
#include "config/setup.h"
#include <string.h>

/* Takes the single-editor mutex, as an interactive or silent start does, so that no editor
   starts while the mode reads or writes the configuration. FALSE (told on the standard error)
   when an editor is running; the mutex is then not held. */
static BOOL Claim_Alone(const char *doing)
{
    HANDLE mutex = CreateMutexA(NULL, TRUE, EDITOR_MUTEX);
    BOOL alone = mutex != NULL && GetLastError() != ERROR_ALREADY_EXISTS;
    if (alone && (FindWindowA(EDITOR_CLASS, NULL) != NULL || FindWindowA(EDITOR_OLD_CLASS, NULL) != NULL))
        alone = FALSE;
    if (!alone) {
        if (mutex != NULL) CloseHandle(mutex);
        Err_Line("An editor is running. Close it before %s.", doing);
        Trace("Claim_Alone: an editor is running\n");
        return FALSE;
    }
    /* held until the process ends */
    return TRUE;
}

int Backups_Mode(const CLI_CALL *call)
{
    (void)call;
    Trace("Backups_Mode()\n");
    if (!Claim_Alone("listing the backups")) return 1;
    static BACKUP_ENTRY s_List[MAX_BACKUPS_LISTED];
    int count = List_Backups(s_List, MAX_BACKUPS_LISTED);
    for (int i = 0; i < count; i++) {
        char line[BACKUP_NAME_LEN + 100];
        Copy_Field(line, s_List[i].name);
        for (int f = 0; f < BACKUP_FILE_COUNT; f++) {
            if (!s_List[i].holds[f]) continue;
            Append_Field(line, "\t");
            Append_Field(line, backupFiles[f]);
        }
        Out_Line("%s", line);
    }
    return 0;
}

int Restore_Mode(const CLI_CALL *call)
{
    const char *name = call->argv[1];
    Trace("Restore_Mode ( %s )\n", name);
    if (!Claim_Alone("restoring a backup")) return 1;
    if (!Backup_Exists(name)) {
        Err_Line("There is no backup \"%s\" in %s\\Backups.", name, homeDir);
        return 2;
    }
    InitData();
    if (!Restore_Backup(name)) {
        Err_Line("The backup \"%s\" cannot be read whole: it was not restored.", name);
        return 1;
    }
    if (!Save_Sequence(TRUE)) {
        Err_Line("The backup \"%s\" was not restored: the configuration was refused or not every file could be "
                 "written.", name);
        return 1;
    }
    Out_Line("restored\t%s", name);
    if (Last_BackupMade()[0] != '\0') Out_Line("backup\t%s", Last_BackupMade());
    return 0;
}
