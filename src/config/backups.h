/* Rolling backups of the configuration. Before a save replaces any configuration file, the
   configuration files as they are on disk are copied, whole and unchanged, into a new folder
   "Backups\YYYY-MM-DD HH.MM.SS" under the home (local time; " (2)", " (3)"... when that name is
   taken). The newest ones are kept (System\Editor.ini, [Editor] BackupsKept, 30 unless set; 0
   makes none and removes none); older folders of that name pattern lose the files a backup puts
   there and go when they are then empty. Anything else in "Backups" is never touched.

   A backup is read back with the same readers as the home, either for looking at it (an image)
   or to put it into the editor in place of the configuration there. */
#pragma once
#include <windows.h>
#include "common/fileutil.h"
#include "config/image.h"

#define BACKUPS_FOLDER        "Backups"
#define EDITOR_SETTINGS_FILE  "System\\Editor.ini"
#define BACKUPS_KEPT_DEFAULT  30
#define BACKUPS_KEPT_MOST     1000
#define BACKUP_NAME_LEN       40          /* "2026-12-11 01.02.03 (999)" and its terminator */
#define BACKUP_FILE_COUNT     4
#define MAX_BACKUPS_LISTED    1000

/* The configuration files a save replaces, in the order the store writes them. */
extern const char *const backupFiles[BACKUP_FILE_COUNT];

typedef struct {
    char       name[BACKUP_NAME_LEN];     /* the folder's name under "Backups" */
    SYSTEMTIME when;                       /* the date and time of its name */
    int        suffix;                     /* 1 for none, n for " (n)" */
    BOOL       holds[BACKUP_FILE_COUNT];   /* which of backupFiles it holds */
} BACKUP_ENTRY;

/* How many backups to keep: BackupsKept of the editor's settings file, BACKUPS_KEPT_DEFAULT when
   it is not set, 0 (no backups) for 0 or less, at most BACKUPS_KEPT_MOST. */
int  Backups_Kept(void);

/* TRUE when name has the pattern of a backup folder; when, suffix may be NULL. */
BOOL Is_BackupName(const char *name, SYSTEMTIME *when, int *suffix);

/* The start of a store: finds out which configuration files the store is about to replace with
   other content and, when one of them exists now and backups are on, copies every configuration
   file there is into a new backup folder. FALSE when a backup was due and could not be made: the
   operator has been told which file and why (on the standard error in the modes without a
   window), whatever had been copied is removed again, and the save goes on. */
BOOL Backup_BeforeStore(void);

/* Copies those of backupFiles that exist in the home into a new backup folder; made gets its
   name. FALSE (the operator told, nothing left behind) when a copy could not be made. */
BOOL Make_Backup(char *made, size_t cap);
/* The name of the folder the last backup of this process went to; "" when none was made. */
const char *Last_BackupMade(void);

/* Keeps the newest kept backup folders and empties the older ones of the files a backup holds,
   removing each folder that is then empty. Returns how many folders were removed. */
int  Rotate_Backups(int kept);

/* The backup folders of the home, newest first, at most cap of them. Returns how many. */
int  List_Backups(BACKUP_ENTRY *out, int cap);
/* The folder of backup name in the home; FALSE when name is not a backup folder there. */
BOOL Backup_Exists(const char *name);

/* Reads backup name into a new image (the users stay those of the editor, which a backup does
   not hold); the configuration in the editor is left as it was. *whole is FALSE when some file
   could not be read or reading stopped before its end (the backup is damaged). NULL when there
   is no memory. */
CONFIG_IMAGE *Load_Backup(const char *name, BOOL *whole);

/* Puts backup name into the editor in place of its configuration, as if the operator had made
   the edits: each queue that the editor holds under the same name (letter case ignored) keeps
   its place in the spooler's job list, the others are added or deleted. Nothing is written.
   FALSE, with the editor's configuration as it was, when the backup cannot be read whole. */
BOOL Restore_Backup(const char *name);

/* ---- a main file missing at start ----
   When "Queues.cfg" or "Applications.cfg" is missing from the home and a copy of it exists (in a
   backup, or its ".old" file), the interactive editor asks before loading whether to load the
   newest copy instead of starting without it. */

/* Asks, when a main file is missing and has a copy, naming each copy and its date. TRUE when the
   operator answered Yes (Load_StartCopies is then to follow the load); FALSE when nothing is
   missing, no copy exists, or No was answered (the editor starts as it always has). */
BOOL Ask_StartCopies(void);
/* After the load: reads the copies chosen by Ask_StartCopies in place of the missing files (the
   other files as loaded from the home) and takes the load-time snapshot of the queues again, as
   if the copies had been in the home. Nothing is written: OK saves them into the home. */
void Load_StartCopies(void);

/* Forgets a backup restored into the editor and the last backup made (a process that has read
   nothing yet). */
void Forget_RestoredBackup(void);
