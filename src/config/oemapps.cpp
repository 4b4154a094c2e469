#include "config/oemapps.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include <errno.h>
#include <stdlib.h>
#include <string.h>

#define OEMAPPS_FILE "OEMApps.cfg"

/* The next line of text[0..size) from *pos, ended in place (without its line feed and a carriage
   return before it); NULL at the end of the text. *len counts every byte of the line: a zero
   byte inside a line is kept, and never ends the text early. */
static char *Next_Line(char *text, size_t size, size_t *pos, size_t *len)
{
    TEXT_LINE l;
    if (text == NULL || !Next_TextLine(text, size, pos, &l)) return NULL;
    char *line = text + (l.text - text);
    line[l.len] = '\0';
    *len = l.len;
    return line;
}

BOOL Lookup_OEMApp(const char *appPath, int *lineNo, char *utility, size_t cap)
{
    if (lineNo != NULL) *lineNo = -1;
    if (utility != NULL && cap > 0) utility[0] = '\0';
    if (appPath == NULL || appPath[0] == '\0') return FALSE;
    char path[PATH_LEN];
    if (homeDir == NULL || !Home_Path(path, sizeof path, homeDir, OEMAPPS_FILE)) return FALSE;
    size_t textLen = 0, lineLen;
    char *text = Read_WholeFile(path, &textLen);
    if (text == NULL) return FALSE;
    Trace("Lookup_OEMApp: \"%s\" in %s\n", appPath, path);

    size_t keyLen = strlen(appPath);
    const char *found = NULL;
    size_t pos = 0;
    char *line;
    for (int n = 0; (line = Next_Line(text, textLen, &pos, &lineLen)) != NULL; n++) {
        /* A line that only begins with the same text names another application
           ("C:\Apps\Rip" against "C:\Apps\Rip.exe : ..."): its line is not ours to replace. */
        if (!Starts_With_NoCase(line, appPath) || (line[keyLen] != ':' && line[keyLen] != ' ')) continue;
        if (lineNo != NULL) *lineNo = n;
        found = line + keyLen + strspn(line + keyLen, ": ");
        break;
    }
    BOOL ok = FALSE;
    if (found == NULL) {
        Trace("Lookup_OEMApp: no association\n");
    } else if (utility == NULL || !Copy_Text(utility, cap, found)) {
        Trace("Lookup_OEMApp: utility path too long\n");
    } else if (!File_Exists(found)) {
        Trace("Lookup_OEMApp: utility \"%s\" does not exist\n", found);
    } else {
        Trace("Lookup_OEMApp: utility \"%s\"\n", found);
        ok = TRUE;
    }
    if (!ok && utility != NULL && cap > 0) utility[0] = '\0';
    free(text);
    return ok;
}

/* The C run-time's wording for a system error, as a file stream that failed would give it. */
static const char *Runtime_ErrorText(DWORD e)
{
    int code;
    switch (e) {
    case ERROR_FILE_NOT_FOUND: case ERROR_PATH_NOT_FOUND: case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH: case ERROR_BAD_NET_NAME: case ERROR_BAD_PATHNAME: case ERROR_INVALID_NAME:
    case ERROR_DIRECTORY:     /* the folder to write in is missing */
        code = ENOENT; break;
    case ERROR_ACCESS_DENIED: case ERROR_SHARING_VIOLATION: case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: case ERROR_CURRENT_DIRECTORY: case ERROR_NETWORK_ACCESS_DENIED:
        code = EACCES; break;
    case ERROR_DISK_FULL: case ERROR_HANDLE_DISK_FULL:
        code = ENOSPC; break;
    case ERROR_NOT_ENOUGH_MEMORY: case ERROR_OUTOFMEMORY:
        code = ENOMEM; break;
    case ERROR_TOO_MANY_OPEN_FILES:
        code = EMFILE; break;
    case ERROR_FILE_EXISTS: case ERROR_ALREADY_EXISTS:
        code = EEXIST; break;
    default:
        code = EINVAL; break;
    }
    return strerror(code);
}

BOOL Record_OEMApp(const char *appPath, int lineNo, const char *utility)
{
    char path[PATH_LEN];
    if (homeDir == NULL || !Home_Path(path, sizeof path, homeDir, OEMAPPS_FILE)) return FALSE;
    if (appPath == NULL || appPath[0] == '\0' || utility == NULL) {
        /* A queue without processes has no application to associate: a line " : utility"
           could never be looked up again. */
        Trace("Record_OEMApp: no application path; nothing recorded\n");
        return FALSE;
    }
    Trace("Record_OEMApp: \"%s\" : \"%s\" line %d -> %s\n", appPath, utility, lineNo, path);

    char *old = NULL;
    size_t oldLen = 0, lineLen;
    if (File_Exists(path)) {
        old = Read_WholeFile(path, &oldLen);
        if (old == NULL) {
            /* Writing without the old lines would lose every other association. */
            Trace("Record_OEMApp: FAILED reading %s: %s\n", path, Error_Text(NULL));
            SysError_Box(programTitle,
                         "Could not read the associations setup file <%s>. Changes to associations setup will not be saved.",
                         path);
            return FALSE;
        }
    }

    OUTBUF out;
    OutBuf_Init(&out);
    BOOL replaced = FALSE;
    size_t pos = 0;
    char *line;
    for (int n = 0; (line = Next_Line(old, oldLen, &pos, &lineLen)) != NULL; n++) {
        if (n == lineNo) {
            OutBuf_Printf(&out, "%s %c %s\n", appPath, ':', utility);
            replaced = TRUE;
        } else if (lineLen > 0) {
            /* Every kept line gets its line feed, also a last line that had none, so an
               appended association never runs on from it. */
            OutBuf_Append(&out, line, lineLen);
            OutBuf_Putc(&out, '\n');
        }
    }
    /* Also when the line asked for is no longer in the file: the new association is never dropped. */
    if (!replaced) OutBuf_Printf(&out, "%s %c %s\n", appPath, ':', utility);
    free(old);

    BOOL ok = !out.failed && Write_WholeFile(path, out.data, out.len, TRUE);
    DWORD e = out.failed ? (DWORD)ERROR_NOT_ENOUGH_MEMORY : GetLastError();
    BOOL atReplace = !out.failed && Write_FailedAtReplace();
    OutBuf_Free(&out);
    if (!ok) {
        Trace("Record_OEMApp: FAILED %s: %s\n", path, Error_Text(&e));
        if (atReplace)
            Message_Box(programTitle, MB_OK | MB_ICONSTOP | MB_EDITOR,
                        "Could not save changes made to associations setup. Copying new setup file over old was not successful.  %s",
                        Error_Text(&e));
        else
            Message_Box(programTitle, MB_OK | MB_ICONSTOP | MB_EDITOR,
                        "Could not open a new system setup file <%s> for writing. Changes to Editor setup will not be saved. Error: %s",
                        path, Runtime_ErrorText(e));
    }
    return ok;
}

HANDLE Start_ConfigUtility(const char *cmdLine)
{
    Trace("Start_ConfigUtility: %s\n", cmdLine ? cmdLine : "");
    if (cmdLine == NULL || cmdLine[0] == '\0') return NULL;
    /* CreateProcess may write into the command line: give it a copy of its own. */
    size_t len = strlen(cmdLine) + 1;
    char *cmd = (char *)malloc(len);
    if (cmd == NULL) return NULL;
    memcpy(cmd, cmdLine, len);
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi;
    BOOL ok = CreateProcessA(NULL, cmd, NULL, NULL, FALSE, CREATE_NEW_CONSOLE | NORMAL_PRIORITY_CLASS, NULL, NULL,
                             &si, &pi);
    DWORD e = GetLastError();
    free(cmd);
    if (!ok) {
        Trace("Start_ConfigUtility: FAILED: %s\n", Error_Text(&e));
        SetLastError(e);
        return NULL;
    }
    CloseHandle(pi.hThread);
    return pi.hProcess;
}
