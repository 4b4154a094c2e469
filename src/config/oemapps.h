/* The application associations file "OEMApps.cfg" in the home directory: for an application
   (the program path of an App), the configuration utility that edits its parameter files.
   One association per line, "application : utility". */
#pragma once
#include <windows.h>

/* Looks up the association of appPath: the first line that begins with appPath (ignoring case)
   followed by a colon or a blank. Lines that begin with appPath followed by anything else
   belong to another application and are passed over.
   *lineNo becomes the number (from 0) of that line, or -1 when there is none; it is set even
   when the result is FALSE because the utility no longer exists, so that recording a new
   utility replaces the stale line.
   TRUE, with the utility path in utility (cap bytes), only when that path names an existing
   file. A missing file or an empty appPath is no error: FALSE, no message. */
BOOL Lookup_OEMApp(const char *appPath, int *lineNo, char *utility, size_t cap);

/* Records "appPath : utility" in place of line lineNo (as Lookup_OEMApp gave it), or at the end
   when lineNo is -1, not in the file, or there is no file. Lines that are empty are dropped, all
   others are kept as they are. The new content is written through the whole-file writer, so
   "OEMApps.cfg" is either the previous or the new content.
   TRUE when the file was written; otherwise the operator is told why (stop box) and FALSE.
   An empty appPath records nothing (FALSE, no message). */
BOOL Record_OEMApp(const char *appPath, int lineNo, const char *utility);

/* Starts cmdLine as a new process in a new console, normal priority, shown normally, with no
   inherited handles. Returns its process handle (the caller closes it), or NULL. */
HANDLE Start_ConfigUtility(const char *cmdLine);
