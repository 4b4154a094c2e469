/* Writing a configuration file whole. Every store builds its content in an OUTBUF and hands it
   here, so that the file under its real name is always either the previous or the new content. */
#pragma once
#include <windows.h>
#include "common/text.h"
#include "common/fileutil.h"

/* Writes buf to path in text mode ("\n" becomes CR LF on disk) through the whole-file writer.
   keepOld: first copy the current file to its ".old" name (a complete copy, never a partial one).
   On failure the operator is told failFmt (one %s: the path) with the system's error text, the
   previous file stays as it was, storeFailures is counted up and FALSE is returned. */
BOOL Store_TextFile(const char *path, const OUTBUF *buf, BOOL keepOld, const char *failFmt);

/* Store_TextFile for the configuration files whose content the trace log copies: frees buf,
   then traces "Closed the file.", the file itself and "Returning (void)" (or that it could not
   write it). */
BOOL Store_TracedFile(const char *path, OUTBUF *buf, BOOL keepOld, const char *failFmt);

/* The path of the file name of the home directory, for storing it. When there is none (no home
   directory, or a path too long for it) the operator is told, the failure is counted and noted,
   and FALSE is returned: a path cut short would name another file. */
BOOL Store_PathOf(const char *name, char *path, size_t cap);

/* The folder the readers take the configuration files from: the home directory, or while
   configReadDir is set (a backup being read) that folder. Everything else the readers form from
   the home (the default folders of a queue) stays the home's. */
extern const char *configReadDir;
const char *Config_ReadDir(void);

/* A preview of a store: between Begin_StorePreview and End_StorePreview, Store_TextFile and
   Store_PathOf write, show and count nothing; each file a store would write is noted, with
   whether its content would differ from the file on disk (the bytes as they would be written).
   For finding out, before anything is written, which files a save is going to replace. */
#define STORE_PREVIEW_MAX 8
typedef struct {
    int  count;
    char paths[STORE_PREVIEW_MAX][PATH_LEN];
    BOOL changes[STORE_PREVIEW_MAX];      /* the content differs, or there is no such file yet */
    BOOL exists[STORE_PREVIEW_MAX];       /* the file is on disk now */
} STORE_PREVIEW;
void Begin_StorePreview(STORE_PREVIEW *preview);
void End_StorePreview(void);

/* Number of files that could not be written in this run (update mode exits 1 when any). */
extern int storeFailures;

/* The files that could not be written since the last Clear_StoreFailedNames, each path followed
   by "\r\n" (a long list is cut, ending in "..."), for the message after a save that failed. */
void Note_StoreFailed(const char *path);
const char *Store_FailedNames(void);
void Clear_StoreFailedNames(void);
