#include "config/storefile.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/trace.h"
#include <string.h>

int storeFailures;

static char s_FailedNames[1024];

void Note_StoreFailed(const char *path)
{
    char line[300];
    Format_Text(line, sizeof line, "%s\r\n", path);
    if (strlen(s_FailedNames) + strlen(line) + 4 < sizeof s_FailedNames) Append_Field(s_FailedNames, line);
    else if (strstr(s_FailedNames, "...") == NULL) Append_Field(s_FailedNames, "...");
}

const char *Store_FailedNames(void) { return s_FailedNames; }
void Clear_StoreFailedNames(void) { s_FailedNames[0] = '\0'; }

BOOL Store_PathOf(const char *name, char *path, size_t cap)
{
    if (Home_Path(path, cap, homeDir, name)) return TRUE;
    DWORD e = GetLastError();
    storeFailures++;
    Note_StoreFailed(name);
    SetLastError(e);
    SysError_Box(programTitle, "The path of \"%s\" in the home directory \"%s\" is too long. The file cannot be saved.",
                 name, homeDir != NULL ? homeDir : "");
    return FALSE;
}

BOOL Store_TextFile(const char *path, const OUTBUF *buf, BOOL keepOld, const char *failFmt)
{
    BOOL ok = !buf->failed;
    if (!ok) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    if (ok && keepOld && !Keep_OldCopy(path)) {
        /* Without a complete backup the previous version would be lost: do not replace it. */
        DWORD e = GetLastError();
        char old[PATH_LEN];
        if (!Backup_Name(path, old, sizeof old)) Copy_Field(old, "its backup name");
        Trace("Could not keep the previous file as %s: %s\n", old, Error_Text(&e));
        SetLastError(e);
        ok = FALSE;
    }
    if (ok) ok = Write_WholeFile(path, buf->data ? buf->data : "", buf->len, TRUE);
    if (!ok) {
        DWORD e = GetLastError();
        Trace("Error: %s. ", Error_Text(&e));
        storeFailures++;
        Note_StoreFailed(path);
        SetLastError(e);
        SysError_Box(programTitle, failFmt, path);
    }
    return ok;
}

BOOL Store_TracedFile(const char *path, OUTBUF *buf, BOOL keepOld, const char *failFmt)
{
    BOOL ok = Store_TextFile(path, buf, keepOld, failFmt);
    OutBuf_Free(buf);
    if (!ok) {
        Trace("Could not write it. Returning (void)\n");
        return FALSE;
    }
    Trace("Closed the file.\n");
    Trace_File("%s", path);
    Trace("Returning (void)\n");
    return TRUE;
}
