/* Writing a configuration file whole. Every store builds its content in an OUTBUF and hands it
   here, so that the file under its real name is always either the previous or the new content. */
#pragma once
#include <windows.h>
#include "common/text.h"

/* Writes buf to path in text mode ("\n" becomes CR LF on disk) through the whole-file writer.
   keepOld: first copy the current file to its ".old" name (a complete copy, never a partial one).
   On failure the operator is told failFmt (one %s: the path) with the system's error text, the
   previous file stays as it was, storeFailures is counted up and FALSE is returned. */
BOOL Store_TextFile(const char *path, const OUTBUF *buf, BOOL keepOld, const char *failFmt);

/* Store_TextFile for the configuration files whose content the trace log copies: frees buf,
   then traces "Closed the file.", the file itself and "Returning (void)" (or that it could not
   write it). */
BOOL Store_TracedFile(const char *path, OUTBUF *buf, BOOL keepOld, const char *failFmt);

/* Number of files that could not be written in this run (update mode exits 1 when any). */
extern int storeFailures;

/* The files that could not be written since the last Clear_StoreFailedNames, each path followed
   by "\r\n" (a long list is cut, ending in "..."), for the message after a save that failed. */
void Note_StoreFailed(const char *path);
const char *Store_FailedNames(void);
void Clear_StoreFailedNames(void);
