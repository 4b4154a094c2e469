/* The change log: one entry per save that changed something, appended to
   "logs\Editor Changes.log" under the home directory, so that it can be told later who changed
   what, when, and what it was before.

   An entry is plain text with CR LF line ends:
       == 2026-12-11T14:05:09+01:00 | anna | PRESS-PC | interactive | 1.0.0.0
         Queue "Proofer" deleted
         Queue "Films": Copies: 1 -> 2
         Queue "Proofer": 12 jobs removed from the spooler's job list: the queue is deleted
       (an empty line)
   The header line begins with "== " and holds, separated by " | ", the local date and time with
   its offset from UTC, the Windows user, the computer, the mode (interactive, silent, update,
   preferences) and the program's version; every change line begins with two blanks. A whole
   entry is appended in one write, so entries of two editors never interleave, and a write that
   did not complete (a full disk) is taken back, so the log never holds half an entry. Before an
   entry would take the log past CHANGE_LOG_LIMIT bytes, the log is renamed
   "Editor Changes.1.log" (replacing the one before) and a new one begun.

   The configuration as loaded is kept as an image (Keep_LoadedImage, at the end of the load);
   before a save stores, Prepare_ChangeEntry takes the difference from it and the effect on the
   spooler's queued jobs; after the store, Log_ChangeEntry appends them. A log that cannot be
   written never fails the save: the operator is told once, or, in the modes without a window,
   it is said on the standard error. */
#pragma once
#include <windows.h>
#include "config/diff.h"
#include "config/image.h"
#include "config/jobeffect.h"
#include "common/rowset.h"
#include "common/text.h"

#define CHANGE_LOG_FILE     "logs\\Editor Changes.log"
#define CHANGE_LOG_PREVIOUS "logs\\Editor Changes.1.log"
#define CHANGE_LOG_LIMIT    (1024 * 1024)

/* The modes an entry names. */
#define CHANGE_MODE_INTERACTIVE "interactive"
#define CHANGE_MODE_SILENT      "silent"
#define CHANGE_MODE_UPDATE      "update"
#define CHANGE_MODE_PREFERENCES "preferences"

/* ---- the configuration as loaded ---- */
/* Keeps an image of the live configuration as the one a save is compared with (the one kept
   before is freed). Without memory for it, saves are not logged (traced). */
void Keep_LoadedImage(void);
/* The image kept at load, or NULL. */
const CONFIG_IMAGE *Loaded_Image(void);
void Forget_LoadedImage(void);

/* ---- one save ---- */
/* What storing the configuration now would change: the difference from the configuration as
   loaded (the users, which their own dialog stores and logs, left out) and the effect on the job list
   and status file. Computed before the store, which rewrites those files. FALSE when nothing
   was kept at load or there is no memory (then nothing is logged). */
BOOL Prepare_ChangeEntry(void);
/* The effect computed by Prepare_ChangeEntry, or NULL. */
const JOB_EFFECT *Prepared_JobEffect(void);
/* After a store that went through: appends the entry prepared (when anything changed) under
   mode, then forgets it. A log that cannot be written is told (once a run) and the save stands. */
void Log_ChangeEntry(const char *mode);
/* After the preferences dialog stored the preferences file: appends an entry for what changed
   from before (the file as read just before) to the preferences now, and takes them into the
   configuration as loaded, so that the next save does not log them again. */
void Log_PreferencesChange(const PREFS_VALUES *before, const char *mode);
/* The Administration dialog stores the users file itself: it notes the users when it has read
   them, and after it stored them appends an entry for the users added, deleted and whose
   password changed (never a password). */
void Note_UsersLoaded(void);
void Log_UsersChange(const char *mode);
/* Forgets what Prepare_ChangeEntry computed. */
void Forget_ChangeEntry(void);

/* ---- the pending changes, as a list ---- */
/* The rows of the Changes list: each change from the configuration as loaded (as the log would
   word it) and each effect a save now would have on the queued jobs (worded before the save),
   with the label above them. FALSE (nothing added) when nothing was kept at load or there is no
   memory. */
BOOL Fill_PendingChanges(ROWSET *set);

/* ---- the parts, window-free ---- */
/* The header line (CR LF included) for a local time, its offset from UTC in minutes, the user,
   the computer, the mode and the version. TRUE when it fit. */
BOOL Format_ChangeHeader(const SYSTEMTIME *local, int offsetMinutes, const char *user, const char *computer,
                         const char *mode, const char *version, char *out, size_t cap);
/* The header line of now, this user, this computer and this program's version. */
BOOL Current_ChangeHeader(const char *mode, char *out, size_t cap);
/* A whole entry: the header, a line for each row of diff and each effect that took place, an
   empty line. FALSE (out left empty) when neither holds anything: a save that changed nothing
   adds nothing. diff or effect may be NULL. */
BOOL Build_ChangeEntry(const char *header, const CONFIG_DIFF *diff, const JOB_EFFECT *effect, OUTBUF *out);
/* Appends an entry to the log of home in one write, rotating the log first when the entry would
   take it past CHANGE_LOG_LIMIT; makes the "logs" folder when it is missing. FALSE, with the
   thread's last error set and the log as it was, when it could not be written whole. */
BOOL Append_ChangeLog(const char *home, const char *entry, size_t len);

/* One header of the log, as read back. */
typedef struct {
    char when[32];          /* "2026-12-11T14:05:09+01:00" */
    char user[TEXT_LEN];
    char computer[TEXT_LEN];
    char mode[32];
    char version[32];
} CHANGE_HEADER;
typedef void (*CHANGE_HEADER_PROC)(const CHANGE_HEADER *header, void *context);
/* Calls proc for every header line of the log file at path, in file order. Returns how many
   there were, -1 when the file cannot be read. */
int Read_ChangeLogHeaders(const char *path, CHANGE_HEADER_PROC proc, void *context);
