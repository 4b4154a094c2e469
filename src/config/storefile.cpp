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

BOOL Store_TextFile(const char *path, const OUTBUF *buf, BOOL keepOld, const char *failFmt)
{
    BOOL ok = !buf->failed;
    if (!ok) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    if (ok && keepOld && !Keep_OldCopy(path)) {
        /* Without a complete backup the previous version would be lost: do not replace it. */
        Trace("Could not keep the previous file as %s.old: %s\n", path, Error_Text(NULL));
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
