#include "config/storefile.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/trace.h"
#include <stdlib.h>
#include <string.h>

int storeFailures;
const char *configReadDir;

const char *Config_ReadDir(void) { return configReadDir != NULL ? configReadDir : homeDir; }

static char s_FailedNames[1024];
static STORE_PREVIEW *s_Preview;

void Begin_StorePreview(STORE_PREVIEW *preview)
{
    memset(preview, 0, sizeof *preview);
    s_Preview = preview;
}

void End_StorePreview(void) { s_Preview = NULL; }

/* Notes for the preview whether path's content would change: the text as the writer puts it on
   disk (every "\n" as CR LF) compared with the bytes there now. */
static void Preview_File(const char *path, const OUTBUF *buf)
{
    if (s_Preview->count >= STORE_PREVIEW_MAX) return;
    int i = s_Preview->count++;
    Copy_Field(s_Preview->paths[i], path);
    size_t len = 0;
    char *now = Read_WholeFile(path, &len);
    s_Preview->exists[i] = now != NULL || File_Exists(path);
    BOOL same = now != NULL && !buf->failed;
    const char *data = buf->data ? buf->data : "";
    size_t at = 0;
    for (size_t k = 0; same && k < buf->len; k++) {
        if (data[k] == '\n') same = at < len && now[at++] == '\r';
        same = same && at < len && now[at++] == data[k];
    }
    s_Preview->changes[i] = !(same && at == len);
    free(now);
    Trace("Preview: %s %s\n", path, s_Preview->changes[i] ? "would change" : "stays as it is");
}

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
    if (s_Preview != NULL) return FALSE;
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
    if (s_Preview != NULL) {
        Preview_File(path, buf);
        return TRUE;
    }
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
    if (s_Preview != NULL) return ok;
    if (!ok) {
        Trace("Could not write it. Returning (void)\n");
        return FALSE;
    }
    Trace("Closed the file.\n");
    Trace_File("%s", path);
    Trace("Returning (void)\n");
    return TRUE;
}
