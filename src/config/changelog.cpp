#include "config/changelog.h"
#include "common/appstate.h"
#include "common/cmdline.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/trace.h"
#include <stdlib.h>
#include <string.h>

static CONFIG_IMAGE *s_Loaded;        /* the configuration as loaded */
static CONFIG_DIFF  *s_Diff;          /* prepared before a store */
static JOB_EFFECT   *s_Effect;
static CONFIG_IMAGE *s_UsersRead;    /* the configuration when the Administration dialog read the users */
static BOOL          s_FailureTold;   /* the operator hears of a log that cannot be written once a run */

/* ---- the configuration as loaded ---- */

/* The users are stored by their own dialog, never by a save: an image compared for a save holds
   none. */
static void Drop_Users(CONFIG_IMAGE *img)
{
    for (int i = 0; i < img->userCount; i++) {
        free(img->users[i].name);
        free(img->users[i].password);
    }
    free(img->users);
    img->users = NULL;
    img->userCount = 0;
}

void Forget_LoadedImage(void)
{
    Free_ConfigImage(s_Loaded);
    s_Loaded = NULL;
    Free_ConfigImage(s_UsersRead);
    s_UsersRead = NULL;
    s_FailureTold = FALSE;
    Forget_ChangeEntry();
}

void Keep_LoadedImage(void)
{
    Forget_LoadedImage();
    s_Loaded = Take_ConfigImage();
    if (s_Loaded == NULL) Trace("Keep_LoadedImage: no memory; the saves of this run are not logged\n");
    else Drop_Users(s_Loaded);
}

const CONFIG_IMAGE *Loaded_Image(void) { return s_Loaded; }

/* ---- one save ---- */

void Forget_ChangeEntry(void)
{
    Free_ConfigDiff(s_Diff);
    s_Diff = NULL;
    free(s_Effect);
    s_Effect = NULL;
}

BOOL Prepare_ChangeEntry(void)
{
    Trace("Prepare_ChangeEntry()\n");
    Forget_ChangeEntry();
    if (s_Loaded == NULL) return FALSE;
    CONFIG_IMAGE *now = Take_ConfigImage();
    if (now == NULL) return FALSE;
    Drop_Users(now);
    s_Diff = Diff_Configs(s_Loaded, now, DIFF_PAIR_BY_LOAD);
    Free_ConfigImage(now);
    s_Effect = (JOB_EFFECT *)malloc(sizeof *s_Effect);
    if (s_Diff == NULL || s_Effect == NULL) {
        Forget_ChangeEntry();
        return FALSE;
    }
    Compute_JobEffect(s_Loaded, s_Effect);
    return TRUE;
}

const JOB_EFFECT *Prepared_JobEffect(void) { return s_Effect; }

/* The log could not be written: said once, on the standard error in the modes without a window. */
static void Tell_LogFailure(const char *path)
{
    const char *why = Error_Text(NULL);
    Trace("Log_ChangeEntry: could not write \"%s\": %s\n", path, why);
    if (s_FailureTold) return;
    s_FailureTold = TRUE;
    if (silentMode || updateMode || commandMode) {
        Err_Line("The change log \"%s\" could not be written (%s). The configuration was saved.", path, why);
        return;
    }
    Info_Box(programTitle,
             "The configuration was saved, but the change log could not be written:\r\n\"%s\"\r\n\r\n%s", path, why);
}

void Log_ChangeEntry(const char *mode)
{
    Trace("Log_ChangeEntry ( %s )\n", mode);
    if (s_Diff == NULL && s_Effect == NULL) return;
    char header[3 * TEXT_LEN];
    OUTBUF entry;
    OutBuf_Init(&entry);
    if (Current_ChangeHeader(mode, header, sizeof header) && Build_ChangeEntry(header, s_Diff, s_Effect, &entry)) {
        if (entry.failed) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            Tell_LogFailure(CHANGE_LOG_FILE);
        } else if (!Append_ChangeLog(homeDir, entry.data, entry.len)) {
            char path[PATH_LEN];
            DWORD e = GetLastError();
            if (homeDir == NULL || !Home_Path(path, sizeof path, homeDir, CHANGE_LOG_FILE)) Copy_Field(path, CHANGE_LOG_FILE);
            SetLastError(e);
            Tell_LogFailure(path);
        }
    } else {
        Trace("Log_ChangeEntry: nothing changed, nothing logged\n");
    }
    OutBuf_Free(&entry);
    Forget_ChangeEntry();
}

void Log_PreferencesChange(const PREFS_VALUES *before, const char *mode)
{
    Trace("Log_PreferencesChange ( %s )\n", mode);
    CONFIG_IMAGE *a = New_ConfigImage(), *b = New_ConfigImage();
    if (a != NULL && b != NULL) {
        a->prefs = *before;
        Take_LivePrefs(&b->prefs);
        Forget_ChangeEntry();
        s_Diff = Diff_Configs(a, b, DIFF_PAIR_BY_LOAD);
        if (s_Diff != NULL) Log_ChangeEntry(mode);
        if (s_Loaded != NULL) s_Loaded->prefs = b->prefs;
    }
    Free_ConfigImage(a);
    Free_ConfigImage(b);
}

void Note_UsersLoaded(void)
{
    Free_ConfigImage(s_UsersRead);
    s_UsersRead = Take_ConfigImage();
}

void Log_UsersChange(const char *mode)
{
    Trace("Log_UsersChange ( %s )\n", mode);
    if (s_UsersRead == NULL) return;
    /* nothing but the users changes while the dialog is open: the difference holds only them */
    CONFIG_IMAGE *now = Take_ConfigImage();
    if (now != NULL) {
        Forget_ChangeEntry();
        s_Diff = Diff_Configs(s_UsersRead, now, DIFF_PAIR_BY_LOAD);
        if (s_Diff != NULL) Log_ChangeEntry(mode);
    }
    Free_ConfigImage(now);
    Free_ConfigImage(s_UsersRead);
    s_UsersRead = NULL;
}

/* ---- the pending changes, as a list ---- */

static const char *const k_AboutText[] = { "Queue", "Input queue", "Application", "Preferences", "User" };
#define RANK_JOBS 10            /* the effect rows come after every kind of change */

typedef struct {
    ROWSET *set;
    int     removed;
} LIST_CONTEXT;

static void Add_EffectRow(const char *text, const QUEUE_EFFECT *, JOB_FATE fate, void *context)
{
    LIST_CONTEXT *lc = (LIST_CONTEXT *)context;
    ROW *row = RowSet_AddRow(lc->set, "", fate == JOB_KEPT ? RANK_JOBS + 1 : RANK_JOBS, NULL);
    if (row == NULL) return;
    Row_SetCell(row, 0, "%s", fate == JOB_KEPT ? "Jobs kept" : "Jobs removed");
    Row_SetCell(row, 1, "%s", text);
}

BOOL Fill_PendingChanges(ROWSET *set)
{
    Trace("Fill_PendingChanges()\n");
    if (!Prepare_ChangeEntry()) return FALSE;
    RowSet_AddColumn(set, "Kind", 70, ROWSORT_RANK);
    RowSet_AddColumn(set, "Change", 0, ROWSORT_TEXT);
    char line[4 * TEXT_LEN];
    for (int i = 0; i < s_Diff->count; i++) {
        const DIFF_ROW *d = &s_Diff->rows[i];
        ROW *row = RowSet_AddRow(set, "", (int)d->about, NULL);
        if (row == NULL) continue;
        Format_DiffRow(d, line, sizeof line);
        Row_SetCell(row, 0, "%s", (size_t)d->about < ARRAY_LEN(k_AboutText) ? k_AboutText[d->about] : "");
        Row_SetCell(row, 1, "%s", line);
    }
    LIST_CONTEXT lc = { set, 0 };
    Each_EffectLine(s_Effect, TRUE, Add_EffectRow, &lc);
    RowSet_SetLabel(set, "&Pending changes: %d; queued jobs the save would remove: %d", s_Diff->count,
                    s_Effect->jobsDropped + s_Effect->noQueue + s_Effect->unreadable);
    Forget_ChangeEntry();
    return TRUE;
}

/* ---- the parts ---- */

BOOL Format_ChangeHeader(const SYSTEMTIME *t, int offsetMinutes, const char *user, const char *computer,
                         const char *mode, const char *version, char *out, size_t cap)
{
    char sign = offsetMinutes < 0 ? '-' : '+';
    int off = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    return Format_Text(out, cap, "== %04u-%02u-%02uT%02u:%02u:%02u%c%02d:%02d | %s | %s | %s | %s\r\n", t->wYear,
                       t->wMonth, t->wDay, t->wHour, t->wMinute, t->wSecond, sign, off / 60, off % 60, user, computer,
                       mode, version);
}

/* The program's version from its version resource ("1.0.0.0"), or "unknown". */
static void Program_Version(char *out, size_t cap)
{
    Copy_Text(out, cap, "unknown");
    HRSRC res = FindResourceA(hInstance, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16) /* RT_VERSION */);
    HGLOBAL data = res != NULL ? LoadResource(hInstance, res) : NULL;
    const BYTE *p = data != NULL ? (const BYTE *)LockResource(data) : NULL;
    DWORD size = res != NULL ? SizeofResource(hInstance, res) : 0;
    if (p == NULL) return;
    /* the fixed part starts with its signature, on a 4-byte boundary */
    for (DWORD i = 0; i + 4 * 4 <= size; i += 4) {
        DWORD sig;
        memcpy(&sig, p + i, 4);
        if (sig != 0xFEEF04BD) continue;
        DWORD ms, ls;
        memcpy(&ms, p + i + 8, 4);
        memcpy(&ls, p + i + 12, 4);
        Format_Text(out, cap, "%lu.%lu.%lu.%lu", (unsigned long)HIWORD(ms), (unsigned long)LOWORD(ms),
                    (unsigned long)HIWORD(ls), (unsigned long)LOWORD(ls));
        return;
    }
}

BOOL Current_ChangeHeader(const char *mode, char *out, size_t cap)
{
    FILETIME utc, local;
    GetSystemTimeAsFileTime(&utc);
    SYSTEMTIME t;
    if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &t)) return FALSE;
    ULARGE_INTEGER u, l;
    u.LowPart = utc.dwLowDateTime;
    u.HighPart = utc.dwHighDateTime;
    l.LowPart = local.dwLowDateTime;
    l.HighPart = local.dwHighDateTime;
    long long diff = (long long)(l.QuadPart - u.QuadPart);     /* 100-ns units */
    int offset = (int)((diff >= 0 ? diff + 300000000LL : diff - 300000000LL) / 600000000LL);
    char user[TEXT_LEN] = "unknown", computer[TEXT_LEN] = "unknown", version[32];
    DWORD n = sizeof user;
    if (!GetUserNameA(user, &n)) Copy_Field(user, "unknown");
    n = sizeof computer;
    if (!GetComputerNameA(computer, &n)) Copy_Field(computer, "unknown");
    Program_Version(version, sizeof version);
    return Format_ChangeHeader(&t, offset, user, computer, mode, version, out, cap);
}

typedef struct {
    OUTBUF *out;
    int     lines;
} ENTRY_CONTEXT;

static void Put_EffectLine(const char *text, const QUEUE_EFFECT *, JOB_FATE, void *context)
{
    ENTRY_CONTEXT *ec = (ENTRY_CONTEXT *)context;
    OutBuf_Puts(ec->out, "  ");
    OutBuf_Puts(ec->out, text);
    OutBuf_Puts(ec->out, "\r\n");
    ec->lines++;
}

BOOL Build_ChangeEntry(const char *header, const CONFIG_DIFF *diff, const JOB_EFFECT *effect, OUTBUF *out)
{
    OUTBUF body;
    OutBuf_Init(&body);
    ENTRY_CONTEXT ec = { &body, 0 };
    char line[4 * TEXT_LEN];
    for (int i = 0; diff != NULL && i < diff->count; i++) {
        Format_DiffRow(&diff->rows[i], line, sizeof line);
        Put_EffectLine(line, NULL, JOB_KEPT, &ec);
    }
    if (effect != NULL) Each_EffectLine(effect, FALSE, Put_EffectLine, &ec);
    BOOL any = ec.lines > 0;
    if (any) {
        OutBuf_Puts(out, header);
        if (body.len > 0) OutBuf_Append(out, body.data, body.len);
        OutBuf_Puts(out, "\r\n");
        if (body.failed) out->failed = TRUE;
    }
    OutBuf_Free(&body);
    return any;
}

/* Takes back a write that did not complete: the log is cut to the length it had before, unless
   another program appended to it meanwhile (its length is then not ours to cut). */
static void Undo_PartialWrite(const char *path, LONGLONG before, LONGLONG after)
{
    HANDLE h = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) {
        Trace("Append_ChangeLog: could not open the log to take back a partial entry: %s\n", Error_Text(NULL));
        return;
    }
    LARGE_INTEGER size, to;
    to.QuadPart = before;
    if (GetFileSizeEx(h, &size) && size.QuadPart == after && SetFilePointerEx(h, to, NULL, FILE_BEGIN) &&
        SetEndOfFile(h))
        Trace("Append_ChangeLog: a partial entry was taken back\n");
    else
        Trace("Append_ChangeLog: the partial entry could not be taken back\n");
    CloseHandle(h);
}

static BOOL Append_Locked(const char *path, const char *previous, const char *entry, size_t len);

BOOL Append_ChangeLog(const char *home, const char *entry, size_t len)
{
    char path[PATH_LEN], previous[PATH_LEN], folder[PATH_LEN];
    if (home == NULL || !Home_Path(path, sizeof path, home, CHANGE_LOG_FILE) ||
        !Home_Path(previous, sizeof previous, home, CHANGE_LOG_PREVIOUS) || !Home_Path(folder, sizeof folder, home, "logs")) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    if (len > 0xFFFFFFFFu) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    if (!Dir_Exists(folder)) {
        DWORD err = 0;
        if (!Create_DirectoryPath(folder, &err)) {
            SetLastError(err != 0 ? err : ERROR_PATH_NOT_FOUND);
            return FALSE;
        }
    }
    /* One writer at a time, across every editor of this machine: an append to the end is not
       one step on every file system (two writers can both find the same end), and the rotation
       must not rename a log another writer is appending to. */
    HANDLE turn = CreateMutexA(NULL, FALSE, "SpoolerEditorChangeLog");
    if (turn != NULL && WaitForSingleObject(turn, 10000) == WAIT_TIMEOUT) Trace("Append_ChangeLog: no turn within 10 s; appending\n");
    BOOL ok = Append_Locked(path, previous, entry, len);
    DWORD err = GetLastError();
    if (turn != NULL) {
        ReleaseMutex(turn);
        CloseHandle(turn);
    }
    SetLastError(err);
    return ok;
}

static BOOL Append_Locked(const char *path, const char *previous, const char *entry, size_t len)
{
    WIN32_FILE_ATTRIBUTE_DATA fa;
    if (GetFileAttributesExA(path, GetFileExInfoStandard, &fa)) {
        unsigned long long size = ((unsigned long long)fa.nFileSizeHigh << 32) | fa.nFileSizeLow;
        if (size > 0 && size + len > CHANGE_LOG_LIMIT) {
            if (MoveFileExA(path, previous, MOVEFILE_REPLACE_EXISTING)) Trace("Append_ChangeLog: \"%s\" begun anew\n", path);
            else Trace("Append_ChangeLog: could not rename \"%s\": %s; appending to it\n", path, Error_Text(NULL));
        }
    }
    /* Opened for appending only: every write goes to the end as it is at that moment, so the
       entries of two editors that write at once each land whole, one after the other. */
    HANDLE h = CreateFileA(path, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) return FALSE;
    LARGE_INTEGER before;
    if (!GetFileSizeEx(h, &before)) before.QuadPart = -1;
    DWORD done = 0;
    BOOL ok = WriteFile(h, entry, (DWORD)len, &done, NULL);
    DWORD err = ok ? ERROR_DISK_FULL : GetLastError();
    CloseHandle(h);
    if (ok && done == len) {
        Trace("Append_ChangeLog: %u bytes appended to \"%s\"\n", (unsigned)len, path);
        return TRUE;
    }
    Trace("Append_ChangeLog: %u of %u bytes written\n", (unsigned)done, (unsigned)len);
    if (done > 0 && before.QuadPart >= 0) Undo_PartialWrite(path, before.QuadPart, before.QuadPart + done);
    SetLastError(err);
    return FALSE;
}

/* The next field of a header line: the text up to " | " (or the end), cut to cap. */
static const char *Next_HeaderField(const char *p, char *out, size_t cap)
{
    const char *end = strstr(p, " | ");
    size_t n = end != NULL ? (size_t)(end - p) : strlen(p);
    Copy_TextN(out, cap, p, n);
    return end != NULL ? end + 3 : p + n;
}

int Read_ChangeLogHeaders(const char *path, CHANGE_HEADER_PROC proc, void *context)
{
    size_t len = 0;
    char *text = Read_WholeFile(path, &len);
    if (text == NULL) return -1;
    int count = 0;
    char *p = text;
    while (*p != '\0') {
        size_t n = strcspn(p, "\r\n");
        char saved = p[n];
        p[n] = '\0';
        if (strncmp(p, "== ", 3) == 0) {
            CHANGE_HEADER h;
            const char *f = p + 3;
            f = Next_HeaderField(f, h.when, sizeof h.when);
            f = Next_HeaderField(f, h.user, sizeof h.user);
            f = Next_HeaderField(f, h.computer, sizeof h.computer);
            f = Next_HeaderField(f, h.mode, sizeof h.mode);
            Next_HeaderField(f, h.version, sizeof h.version);
            if (proc != NULL) proc(&h, context);
            count++;
        }
        p[n] = saved;
        p += n;
        while (*p == '\r' || *p == '\n') p++;
    }
    free(text);
    return count;
}
