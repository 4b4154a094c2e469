#include "config/backups.h"
#include "config/appsfile.h"
#include "config/keptlines.h"
#include "config/lbfile.h"
#include "config/model.h"
#include "config/prefsfile.h"
#include "config/queuesfile.h"
#include "config/runtime.h"
#include "config/storefile.h"
#include "common/appstate.h"
#include "common/cmdline.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

const char *const backupFiles[BACKUP_FILE_COUNT] = { QUEUES_FILE, LB_FILE, APPS_FILE, "Preferences.cfg" };

static char s_LastMade[BACKUP_NAME_LEN];
/* The folder the editor's configuration was last read from: "" for the home, or a backup's
   folder once one was restored into the editor. */
static char s_LoadedFrom[PATH_LEN];

void Forget_RestoredBackup(void)
{
    s_LastMade[0] = '\0';
    s_LoadedFrom[0] = '\0';
}

const char *Last_BackupMade(void) { return s_LastMade; }

int Backups_Kept(void)
{
    char path[PATH_LEN];
    if (!Home_Path(path, sizeof path, homeDir, EDITOR_SETTINGS_FILE)) return BACKUPS_KEPT_DEFAULT;
    int kept = (int)GetPrivateProfileIntA("Editor", "BackupsKept", BACKUPS_KEPT_DEFAULT, path);
    if (kept < 0) kept = 0;
    if (kept > BACKUPS_KEPT_MOST) kept = BACKUPS_KEPT_MOST;
    return kept;
}

/* Reads n digits at s into *v; FALSE when one is not a digit. */
static BOOL Read_Digits(const char *s, int n, int *v)
{
    *v = 0;
    for (int i = 0; i < n; i++) {
        if (s[i] < '0' || s[i] > '9') return FALSE;
        *v = *v * 10 + (s[i] - '0');
    }
    return TRUE;
}

BOOL Is_BackupName(const char *name, SYSTEMTIME *when, int *suffix)
{
    /* "YYYY-MM-DD HH.MM.SS" and an optional " (n)", n from 2 */
    static const char k_Shape[] = "0000-00-00 00.00.00";
    size_t len = strlen(name);
    if (len < sizeof k_Shape - 1) return FALSE;
    for (size_t i = 0; i < sizeof k_Shape - 1; i++) {
        if (k_Shape[i] == '0' ? (name[i] < '0' || name[i] > '9') : name[i] != k_Shape[i]) return FALSE;
    }
    int y, mo, d, h, mi, s, n = 1;
    Read_Digits(name, 4, &y);
    Read_Digits(name + 5, 2, &mo);
    Read_Digits(name + 8, 2, &d);
    Read_Digits(name + 11, 2, &h);
    Read_Digits(name + 14, 2, &mi);
    Read_Digits(name + 17, 2, &s);
    if (mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || s > 59) return FALSE;
    const char *rest = name + sizeof k_Shape - 1;
    if (*rest != '\0') {
        size_t digits = strlen(rest) - 3;
        if (strncmp(rest, " (", 2) != 0 || strlen(rest) < 4 || strlen(rest) > 6 || rest[strlen(rest) - 1] != ')' ||
            rest[2] == '0' || !Read_Digits(rest + 2, (int)digits, &n) || n < 2)
            return FALSE;
    }
    if (when != NULL) {
        memset(when, 0, sizeof *when);
        when->wYear = (WORD)y;
        when->wMonth = (WORD)mo;
        when->wDay = (WORD)d;
        when->wHour = (WORD)h;
        when->wMinute = (WORD)mi;
        when->wSecond = (WORD)s;
    }
    if (suffix != NULL) *suffix = n;
    return TRUE;
}

/* "Backups\name\file" (file may be NULL) under the home. FALSE when the path does not fit. */
static BOOL Backup_Path(char *out, size_t cap, const char *name, const char *file)
{
    char rel[PATH_LEN];
    BOOL fits = name == NULL ? Copy_Field(rel, BACKUPS_FOLDER)
              : file == NULL ? Format_Text(rel, sizeof rel, "%s\\%s", BACKUPS_FOLDER, name)
                             : Format_Text(rel, sizeof rel, "%s\\%s\\%s", BACKUPS_FOLDER, name, file);
    if (!fits) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    return Home_Path(out, cap, homeDir, rel);
}

/* Tells the operator that the backup could not be made, with the system's reason. */
static void Tell_BackupFailed(const char *what, DWORD error)
{
    static const char k_Text[] =
        "The configuration could not be backed up before it is saved:\r\n\"%s\"\r\ncould not be copied into the "
        "backups folder.\r\n\r\nThe save goes on without this backup; the previous queues and applications files "
        "are kept as \"Queues.old\" and \"Applications.old\" as always.";
    Trace("Backup failed at %s: %s\n", what, Error_Text(&error));
    if (silentMode) {
        char text[MSG_TEXT_LEN];
        Format_Text(text, sizeof text, k_Text, what);
        Err_Line("%s\r\n\r\n%s", text, Error_Text(&error));
        return;
    }
    SetLastError(error);
    SysError_Box(programTitle, k_Text, what);
}

/* Sorts newest first: by the time of the name, then by its suffix. */
static int Compare_Newest(const void *a, const void *b)
{
    const BACKUP_ENTRY *x = (const BACKUP_ENTRY *)a, *y = (const BACKUP_ENTRY *)b;
    int c = strncmp(y->name, x->name, 19);
    if (c != 0) return c;
    return y->suffix - x->suffix;
}

int List_Backups(BACKUP_ENTRY *out, int cap)
{
    char pattern[PATH_LEN];
    if (!Backup_Path(pattern, sizeof pattern, "*", NULL)) return 0;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern, &fd);
    if (h == INVALID_HANDLE_VALUE) return 0;
    int count = 0;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        BACKUP_ENTRY e;
        memset(&e, 0, sizeof e);
        if (strlen(fd.cFileName) >= sizeof e.name || !Is_BackupName(fd.cFileName, &e.when, &e.suffix)) continue;
        if (count >= cap) break;
        Copy_Field(e.name, fd.cFileName);
        BOOL any = FALSE;
        for (int i = 0; i < BACKUP_FILE_COUNT; i++) {
            char path[PATH_LEN];
            e.holds[i] = Backup_Path(path, sizeof path, e.name, backupFiles[i]) && File_Exists(path);
            any |= e.holds[i];
        }
        /* a folder of that name that holds none of the files (only an operator's own) is no backup */
        if (any) out[count++] = e;
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    qsort(out, (size_t)count, sizeof *out, Compare_Newest);
    return count;
}

BOOL Backup_Exists(const char *name)
{
    char path[PATH_LEN];
    return Is_BackupName(name, NULL, NULL) && strlen(name) < BACKUP_NAME_LEN &&
           Backup_Path(path, sizeof path, name, NULL) && Dir_Exists(path);
}

/* Removes the copies made into folder so far and the folder, when it is then empty. */
static void Remove_Partial(const char *name)
{
    char path[PATH_LEN];
    for (int i = 0; i < BACKUP_FILE_COUNT; i++)
        if (Backup_Path(path, sizeof path, name, backupFiles[i])) DeleteFileA(path);
    if (Backup_Path(path, sizeof path, name, NULL)) RemoveDirectoryA(path);
}

BOOL Make_Backup(char *made, size_t cap)
{
    Trace("Make_Backup()\n");
    if (cap > 0) made[0] = '\0';
    char folder[PATH_LEN];
    if (!Backup_Path(folder, sizeof folder, NULL, NULL)) {
        Tell_BackupFailed(BACKUPS_FOLDER, GetLastError());
        return FALSE;
    }
    if (!Dir_Exists(folder) && !CreateDirectoryA(folder, NULL)) {
        Tell_BackupFailed(folder, GetLastError());
        return FALSE;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    char base[BACKUP_NAME_LEN], name[BACKUP_NAME_LEN];
    Format_Text(base, sizeof base, "%04u-%02u-%02u %02u.%02u.%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
    BOOL created = FALSE;
    DWORD error = 0;
    for (int n = 1; n <= 999 && !created; n++) {
        if (n == 1) Copy_Field(name, base);
        else Format_Text(name, sizeof name, "%s (%d)", base, n);
        if (!Backup_Path(folder, sizeof folder, name, NULL)) {
            error = GetLastError();
            break;
        }
        created = CreateDirectoryA(folder, NULL);
        error = GetLastError();
        if (!created && error != ERROR_ALREADY_EXISTS) break;
    }
    if (!created) {
        Tell_BackupFailed(folder, error);
        return FALSE;
    }
    for (int i = 0; i < BACKUP_FILE_COUNT; i++) {
        char from[PATH_LEN], to[PATH_LEN];
        if (!Home_Path(from, sizeof from, homeDir, backupFiles[i]) || !File_Exists(from)) continue;
        size_t len = 0;
        char *data = Read_WholeFile(from, &len);
        BOOL ok = data != NULL && Backup_Path(to, sizeof to, name, backupFiles[i]) &&
                  Write_WholeFile(to, data, len, FALSE);
        error = GetLastError();
        free(data);
        if (!ok) {
            Remove_Partial(name);
            Tell_BackupFailed(from, error);
            return FALSE;
        }
        Trace("Backed up %s\n", from);
    }
    Copy_Text(made, cap, name);
    Copy_Field(s_LastMade, name);
    Trace("Backup made: %s\n", name);
    return TRUE;
}

BOOL Backup_BeforeStore(void)
{
    Trace("Backup_BeforeStore()\n");
    if (Backups_Kept() == 0) {
        Trace("Backups are off\n");
        return TRUE;
    }
    /* Run the writers without writing, to learn which files would get other content. */
    STORE_PREVIEW preview;
    Begin_StorePreview(&preview);
    Store_TargetData();
    Store_LBConfig(FALSE);
    Store_AppsData();
    Store_SpoolerGlobals();
    End_StorePreview();
    BOOL replaces = FALSE;
    for (int i = 0; i < preview.count; i++) replaces |= preview.changes[i] && preview.exists[i];
    if (!replaces) {
        Trace("The save replaces no configuration file: no backup\n");
        return TRUE;
    }
    char made[BACKUP_NAME_LEN];
    return Make_Backup(made, sizeof made);
}

int Rotate_Backups(int kept)
{
    Trace("Rotate_Backups ( %d )\n", kept);
    if (kept <= 0) return 0;
    static BACKUP_ENTRY s_List[MAX_BACKUPS_LISTED];
    int count = List_Backups(s_List, MAX_BACKUPS_LISTED);
    int removed = 0;
    for (int i = kept; i < count; i++) {
        char path[PATH_LEN];
        for (int f = 0; f < BACKUP_FILE_COUNT; f++)
            if (s_List[i].holds[f] && Backup_Path(path, sizeof path, s_List[i].name, backupFiles[f])) DeleteFileA(path);
        /* a folder that holds anything else stays */
        if (Backup_Path(path, sizeof path, s_List[i].name, NULL) && RemoveDirectoryA(path)) {
            removed++;
            Trace("Removed the backup %s\n", s_List[i].name);
        } else {
            Trace("Kept the folder of the backup %s: it holds other files\n", s_List[i].name);
        }
    }
    return removed;
}

/* Reads the configuration files of dir with the home's readers into the editor's arrays, every
   message held. TRUE when every file there was read whole. */
static BOOL Read_Folder(const char *dir)
{
    Trace("Reading the configuration of %s\n", dir);
    configReadDir = dir;
    Reset_Configuration();
    Hold_Messages(TRUE);
    BOOL prefs = Get_SpoolerGlobals();
    BOOL queues = Get_TargetData();
    BOOL lb = lbqCount > 0 ? Get_LBConfig() : Get_LBDebugLevel();
    BOOL appsRead = Get_AppsData();
    Carry_LegacyCompat();
    int held = Hold_Messages(FALSE);
    BOOL whole = held == 0 && !Have_KeptQueueLines() && keptAppLines.text == NULL;
    const BOOL read[BACKUP_FILE_COUNT] = { queues, lb, appsRead, prefs };
    for (int i = 0; i < BACKUP_FILE_COUNT; i++) {
        char path[PATH_LEN];
        if (!read[i] && Home_Path(path, sizeof path, dir, backupFiles[i]) && File_Exists(path)) whole = FALSE;
    }
    configReadDir = NULL;
    if (!whole) Trace("%s could not be read whole (%d messages)\n", dir, held);
    return whole;
}

/* Reads again what the editor's configuration was read from, so that what the readers note
   about it (the lines they kept, the kinds of application entries) is its own again, and puts
   the configuration the editor held back. */
static void Back_ToEditor(const CONFIG_IMAGE *live)
{
    Read_Folder(s_LoadedFrom[0] != '\0' ? s_LoadedFrom : Config_ReadDir());
    Put_ConfigImage(live);
}

CONFIG_IMAGE *Load_Backup(const char *name, BOOL *whole)
{
    Trace("Load_Backup ( %s )\n", name);
    *whole = FALSE;
    char dir[PATH_LEN];
    if (!Backup_Path(dir, sizeof dir, name, NULL)) return NULL;
    CONFIG_IMAGE *live = Take_ConfigImage();
    if (live == NULL) return NULL;
    *whole = Read_Folder(dir);
    CONFIG_IMAGE *img = Take_ConfigImage();
    Back_ToEditor(live);
    Free_ConfigImage(live);
    return img;
}

/* The queues read from a backup take the load numbers of the editor's queues of the same kind
   and name, so that their jobs stay theirs; each of the editor's queues left without a partner
   is deleted. */
static void Pair_WithEditor(const CONFIG_IMAGE *live)
{
    BOOL taken[MAX_QUEUES];
    memset(taken, 0, sizeof taken);
    memcpy(deletedQueues, live->deletedQueues, sizeof deletedQueues);
    for (int i = 0; i < targetCount; i++) {
        targets[i].loadIndex = -1;
        for (int j = 0; j < live->targetCount && targets[i].loadIndex < 0; j++) {
            int n = live->targets[j].loadIndex;
            if (n < 0 || n >= MAX_QUEUES || taken[n] || Compare_NoCase(live->targets[j].name, targets[i].name) != 0)
                continue;
            taken[n] = TRUE;
            targets[i].loadIndex = n;
        }
    }
    for (int i = 0; i < lbqCount; i++) {
        lbqs[i].loadIndex = -1;
        for (int j = 0; j < live->lbqCount && lbqs[i].loadIndex < 0; j++) {
            int n = live->lbqs[j].loadIndex;
            if (n < 0 || n >= MAX_QUEUES || taken[n] || Compare_NoCase(live->lbqs[j].name, lbqs[i].name) != 0)
                continue;
            taken[n] = TRUE;
            lbqs[i].loadIndex = n;
        }
    }
    for (int j = 0; j < live->targetCount; j++) {
        int n = live->targets[j].loadIndex;
        if (n >= 0 && n < MAX_QUEUES && !taken[n]) deletedQueues[n] = TRUE;
    }
    for (int j = 0; j < live->lbqCount; j++) {
        int n = live->lbqs[j].loadIndex;
        if (n >= 0 && n < MAX_QUEUES && !taken[n]) deletedQueues[n] = TRUE;
    }
}

BOOL Restore_Backup(const char *name)
{
    Trace("Restore_Backup ( %s )\n", name);
    char dir[PATH_LEN];
    if (!Backup_Exists(name) || !Backup_Path(dir, sizeof dir, name, NULL)) return FALSE;
    CONFIG_IMAGE *live = Take_ConfigImage();
    if (live == NULL) return FALSE;
    if (!Read_Folder(dir)) {
        Back_ToEditor(live);
        Free_ConfigImage(live);
        return FALSE;
    }
    Pair_WithEditor(live);
    Copy_Field(s_LoadedFrom, dir);
    Free_ConfigImage(live);
    return TRUE;
}

/* ---- a main file missing at start ---- */

typedef struct {
    const char *file;           /* QUEUES_FILE or APPS_FILE */
    const char *old;            /* its ".old" name */
    char        copy[PATH_LEN]; /* the copy chosen, "" for none */
} START_COPY;

static START_COPY s_Start[2] = { { QUEUES_FILE, "Queues.old", "" }, { APPS_FILE, "Applications.old", "" } };

/* The last-write time of a file as a local time; FALSE when it has none. */
static BOOL File_LocalTime(const char *path, SYSTEMTIME *out)
{
    WIN32_FILE_ATTRIBUTE_DATA a;
    FILETIME local;
    return GetFileAttributesExA(path, GetFileExInfoStandard, &a) && FileTimeToLocalFileTime(&a.ftLastWriteTime, &local) &&
           FileTimeToSystemTime(&local, out);
}

/* Orders two local times; < 0 when a is earlier. */
static int Compare_Times(const SYSTEMTIME *a, const SYSTEMTIME *b)
{
    FILETIME fa, fb;
    SystemTimeToFileTime(a, &fa);
    SystemTimeToFileTime(b, &fb);
    return CompareFileTime(&fa, &fb);
}

BOOL Ask_StartCopies(void)
{
    Trace("Ask_StartCopies()\n");
    static BACKUP_ENTRY s_List[MAX_BACKUPS_LISTED];
    int count = List_Backups(s_List, MAX_BACKUPS_LISTED);
    char question[MSG_TEXT_LEN] = "";
    for (int k = 0; k < 2; k++) {
        START_COPY *c = &s_Start[k];
        c->copy[0] = '\0';
        char path[PATH_LEN], older[PATH_LEN];
        if (!Home_Path(path, sizeof path, homeDir, c->file) || File_Exists(path)) continue;
        /* the older name is still read when the current one is missing: nothing is missing then */
        const char *olderName = k == 0 ? QUEUES_FILE_OLD : APPS_FILE_OLD;
        if (Home_Path(older, sizeof older, homeDir, olderName) && File_Exists(older)) continue;
        SYSTEMTIME when, oldWhen;
        int fileIndex = k == 0 ? 0 : 2;     /* its place in backupFiles */
        for (int i = 0; i < count && c->copy[0] == '\0'; i++) {
            if (!s_List[i].holds[fileIndex] || !Backup_Path(c->copy, sizeof c->copy, s_List[i].name, c->file)) continue;
            when = s_List[i].when;
        }
        if (Home_Path(older, sizeof older, homeDir, c->old) && File_Exists(older) && File_LocalTime(older, &oldWhen) &&
            (c->copy[0] == '\0' || Compare_Times(&oldWhen, &when) > 0)) {
            Copy_Field(c->copy, older);
            when = oldWhen;
        }
        if (c->copy[0] == '\0') continue;
        char line[PATH_LEN + 200];
        Format_Text(line, sizeof line, "\"%s\" is missing. Its newest copy, of %04u-%02u-%02u %02u:%02u:%02u, is\r\n\"%s\".\r\n\r\n",
                    c->file, when.wYear, when.wMonth, when.wDay, when.wHour, when.wMinute, when.wSecond, c->copy);
        Append_Field(question, line);
    }
    if (question[0] == '\0') return FALSE;
    Append_Field(question, "Load the copy instead of starting without it? Nothing is written until you press OK.");
    if (Message_Box(programTitle, MB_YESNO | MB_ICONQUESTION | MB_EDITOR, "%s", question) == IDYES) return TRUE;
    Trace("The operator starts without the missing files\n");
    for (int k = 0; k < 2; k++) s_Start[k].copy[0] = '\0';
    return FALSE;
}

void Load_StartCopies(void)
{
    Trace("Load_StartCopies()\n");
    /* each copy is read under its file's own name from a folder of its own outside the home */
    char temp[PATH_LEN], dirs[2][PATH_LEN];
    if (GetTempPathA(sizeof temp, temp) == 0) return;
    for (int k = 0; k < 2; k++) {
        dirs[k][0] = '\0';
        if (s_Start[k].copy[0] == '\0') continue;
        char to[PATH_LEN];
        if (!Format_Text(dirs[k], sizeof dirs[k], "%sEditor start copy %lu.%d", temp, GetCurrentProcessId(), k) ||
            !CreateDirectoryA(dirs[k], NULL) || !Home_Path(to, sizeof to, dirs[k], s_Start[k].file) ||
            !CopyFileA(s_Start[k].copy, to, FALSE)) {
            DWORD e = GetLastError();
            Trace("Could not take the copy %s: %s\n", s_Start[k].copy, Error_Text(&e));
            dirs[k][0] = '\0';
        }
    }
    Free_Snapshot();
    Reset_Configuration();
    Get_SpoolerGlobals();
    configReadDir = dirs[0][0] != '\0' ? dirs[0] : NULL;
    Get_TargetData();
    configReadDir = NULL;
    if (lbqCount > 0) Get_LBConfig();
    else Get_LBDebugLevel();
    configReadDir = dirs[1][0] != '\0' ? dirs[1] : NULL;
    Get_AppsData();
    configReadDir = NULL;
    Carry_LegacyCompat();
    Snapshot_Queues();
    for (int k = 0; k < 2; k++) {
        if (dirs[k][0] == '\0') continue;
        char to[PATH_LEN];
        if (Home_Path(to, sizeof to, dirs[k], s_Start[k].file)) DeleteFileA(to);
        RemoveDirectoryA(dirs[k]);
        s_Start[k].copy[0] = '\0';
    }
}
