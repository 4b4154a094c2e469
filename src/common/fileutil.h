/* Paths, files and folders. Paths are narrow paths of at most 260 characters; a path may come
   in double quotes, which the existence tests and the directory creation ignore. None of these
   shows a message: the caller words the failure. */
#pragma once
#include <windows.h>
#include <stdio.h>
#include "common/text.h"

#define PATH_LEN TEXT_LEN       /* a path: a text of up to 260 characters, held in the same fields */

BOOL File_Exists(const char *path);          /* an existing file, not a directory */
BOOL Dir_Exists(const char *path);           /* an existing directory */
BOOL Is_AbsDrivePath(const char *path);      /* a letter, a colon and a backslash */
/* Removes double quotes in place: leading quotes are skipped and the text ends at the next quote. */
void Strip_Quotes(char *path);
/* The longest existing folder on path (a file on the path is cut off); FALSE when none exists. */
BOOL Deepest_ExistingFolder(const char *path, char *out, size_t cap);
/* Creates every missing folder of path. FALSE with *err set to the system error, or to 1018
   when no part of the path exists. err may be NULL. */
BOOL Create_DirectoryPath(const char *path, DWORD *err);
/* Cuts path at its last backslash; FALSE when there is none. */
BOOL Parent_Folder(char *path);
/* The folder of the running program with 8.3 short names expanded; FALSE when it has no folder. */
BOOL Get_ProgramFolder(char *buf, size_t cap);
/* The home directory: the parent of the program folder when that folder is named "System";
   NULL otherwise. Points at a process-wide buffer. */
const char *Get_HomeDirectory(void);
/* TRUE when folder\name exists in folder or any folder below it; the full path is then in
   Last_FoundPath(). */
BOOL Find_FileUnderFolder(const char *folder, const char *name);
const char *Last_FoundPath(void);
/* Searches an open text file for the first line beginning with key (case-sensitive) and copies
   the value behind it (blanks, tabs and '=' skipped) into out. Returns the value's length (0 for
   an empty value), or -1 when the key is not found or cannot be searched for; the reason then goes
   into err when err is large enough. */
int  Get_ConfigString(const char *key, char *out, size_t outCap, FILE *f, char *err, size_t errCap);
/* Copies src into dst replacing every occurrence of find by repl (left to right, replaced text
   is never scanned again). FALSE when the result was cut to fit. */
BOOL Replace_All(const char *src, char *dst, size_t dstCap, const char *find, const char *repl);

/* "%s\%s" of the home directory and a relative name. FALSE, with out empty and the thread's last
   error ERROR_FILENAME_EXCED_RANGE, when there is no home directory or the path does not fit:
   a path cut short would name another file. */
BOOL Home_Path(char *out, size_t cap, const char *home, const char *name);
/* The backup name of a file: its extension replaced by ".old", or ".old" appended. */
BOOL Backup_Name(const char *path, char *out, size_t cap);

/* The whole-file writer. Writes data to a temporary file in the target's folder (named
   "~ed*.tmp", which the spooler never takes for one of its files), checks every write, flushes
   and closes it, and only then moves it over path in one step, retrying for a short while when
   a reader holds the target. With text set, every "\n" is written as CR LF.
   On failure the temporary file is removed, path keeps its previous content, GetLastError()
   tells why and FALSE is returned. The real name is never opened for writing, and a file with
   the read-only attribute is never replaced (ERROR_ACCESS_DENIED). */
BOOL Write_WholeFile(const char *path, const char *data, size_t len, BOOL text);

/* The same writer for a file made in pieces of any total size: Open_FileWriter makes the
   temporary file (FALSE, GetLastError set, when it cannot: the target is read-only or the
   folder unwritable), Write_Piece adds to it (FALSE once any write has failed; the first
   failure's reason is kept in error), and Close_FileWriter with keep set flushes it and moves
   it over the target (FALSE, GetLastError set, when that or an earlier write failed); without
   keep, or on any failure, the temporary file is removed and the target stays as it was. Every
   writer that was opened is closed exactly once. */
#define FILE_WRITER_BUF (64 * 1024)
typedef struct {
    HANDLE handle;
    BOOL   text;
    BOOL   failed;
    DWORD  error;
    size_t used;
    char   path[PATH_LEN];
    char   tmp[MAX_PATH + 1];
    char   buf[FILE_WRITER_BUF];
} FILE_WRITER;
BOOL Open_FileWriter(FILE_WRITER *w, const char *path, BOOL text);
BOOL Write_Piece(FILE_WRITER *w, const char *data, size_t len);
BOOL Close_FileWriter(FILE_WRITER *w, BOOL keep);
/* After a failed Write_WholeFile: TRUE when the new content had been written completely and only
   putting it in place of the target failed (callers that word the two failures apart). */
BOOL Write_FailedAtReplace(void);
/* Copies path to its ".old" name through a temporary file, so the backup is always complete.
   When path is missing there is nothing to back up and an earlier backup is left untouched.
   FALSE (GetLastError set) when the copy failed. */
BOOL Keep_OldCopy(const char *path);
/* Reads a whole file into a heap buffer (terminated; *len without the terminator), waiting a
   short while when another program holds it unshared. NULL when it cannot be read, GetLastError
   telling why (ERROR_FILE_TOO_LARGE for a file of 64 MB or more: files of any size are read in
   pieces, from Open_ForReading). Free with free(). */
char *Read_WholeFile(const char *path, size_t *len);
/* Opens a file for reading in pieces (ReadFile), shared with its other readers and writers,
   waiting a short while when another program holds it unshared. INVALID_HANDLE_VALUE, with
   GetLastError set, when it cannot be opened. */
HANDLE Open_ForReading(const char *path);

/* How long a held file is waited for, when reading it or replacing it (ms). */
#define REPLACE_RETRY_MS 1500
/* Tests only: another wait than REPLACE_RETRY_MS. */
void Set_ReplaceRetryTime(DWORD ms);
