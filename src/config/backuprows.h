/* The backups as the restore dialog shows them: each with how many queues, input queues and
   applications differ from the configuration in the editor, and the difference of one of them,
   as rows (common/rowset.h). */
#pragma once
#include <windows.h>
#include "common/rowset.h"
#include "config/backups.h"
#include "common/text.h"

typedef struct {
    char name[BACKUP_NAME_LEN];
    BOOL damaged;                 /* a file could not be read whole: it cannot be restored */
    int  queues;                  /* output queues that differ (added, deleted or changed) */
    int  inputQueues;
    int  applications;
    char user[TEXT_LEN];          /* who saved, from the change log's entry of that save; "" unknown */
    char mode[32];                /* how ("interactive", "silent", ...); "" unknown */
} BACKUP_SUMMARY;

/* The change log's entry of the save that made a backup: the header nearest in time to the
   backup's name, at most two minutes away, from the log and its older part. */
void Note_BackupSavers(BACKUP_SUMMARY *list, int count);

/* The backups of the home, newest first, each compared with the configuration in the editor
   (queues paired by name). Returns how many (at most cap). */
int  Summarize_Backups(BACKUP_SUMMARY *out, int cap);
/* One row a backup, in the order given: its name, the three counts, "damaged" where it is,
   the user and the mode of the save that made it.
   A row's ref is ROWREF_FILE with tag its index in list. */
void Fill_BackupRows(ROWSET *set, const BACKUP_SUMMARY *list, int count);
/* What was changed in the editor's configuration since the backup name, one row a change
   (Format_DiffRow). FALSE when the backup could not be read or there was no memory. */
BOOL Fill_BackupDiff(ROWSET *set, const char *name);
