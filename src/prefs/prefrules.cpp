#include "prefs/prefrules.h"
#include "config/changelog.h"
#include "config/prefsfile.h"
#include "config/users.h"
#include "common/ctrlmap.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include <stddef.h>
#include <stdlib.h>
#include <string.h>

/* ---- General Preferences ---- */

static BOOL s_LoginNoted;
static BOOL s_LoginSwitch;

void Note_LoginSwitch(BOOL on)
{
    s_LoginNoted = TRUE;
    s_LoginSwitch = on;
}

void Forget_LoginSwitch(void) { s_LoginNoted = FALSE; }

void Take_PrefsEdit(PREFS_EDIT *e)
{
    e->g = SpoolerGlobals;
    Copy_Field(e->plateApp, PLATE_SEARCH_APP);
}

BOOL Open_PrefsEdit(PREFS_EDIT *e)
{
    char path[PATH_LEN];
    if (!Reload_Preferences(path, sizeof path)) {
        Info_Box(programTitle, "Could not read the preferences file. The preferences cannot be changed now.\r\n\"%s\"",
                 path);
        return FALSE;
    }
    Take_PrefsEdit(e);
    return TRUE;
}

BOOL Commit_PrefsEdit(const PREFS_EDIT *opened, const PREFS_EDIT *work)
{
    PREFS_EDIT before;
    Take_PrefsEdit(&before);
    BOOL loginBefore = REQUIRE_LOGIN;
    char path[PATH_LEN];
    BOOL ok = Reload_Preferences(path, sizeof path);
    if (!ok) {
        Info_Box(programTitle, "Could not read the preferences file again before saving it. Data will not be saved.\r\n\"%s\"",
                 path);
    } else {
        /* the change log compares the file as it was read just now with what is written */
        PREFS_VALUES *onDisk = (PREFS_VALUES *)malloc(sizeof *onDisk);
        if (onDisk != NULL) Take_LivePrefs(onDisk);
        Merge_PrefsEdit(opened, work);
        ok = Store_SpoolerGlobals();
        if (ok && onDisk != NULL)
            Log_PreferencesChange(onDisk, preferencesMode ? CHANGE_MODE_PREFERENCES : CHANGE_MODE_INTERACTIVE);
        free(onDisk);
    }
    if (!ok) {
        SpoolerGlobals = before.g;
        Copy_Field(PLATE_SEARCH_APP, before.plateApp);
        REQUIRE_LOGIN = loginBefore;
        return FALSE;
    }
    Forget_LoginSwitch();
    return TRUE;
}

BOOL Reload_Preferences(char *path, size_t cap)
{
    BOOL read = Get_SpoolerGlobals();
    if (s_LoginNoted) REQUIRE_LOGIN = s_LoginSwitch;
    if (read || homeDir == NULL) return TRUE;
    /* Not read: fine when there is no file; a file that is there but cannot be read (held by
       another program) must not be written over with what memory holds. */
    static const char *const k_Names[] = { "Preferences.cfg", "Spooler.cfg" };
    for (size_t i = 0; i < ARRAY_LEN(k_Names); i++) {
        if (!Home_Path(path, cap, homeDir, k_Names[i])) {
            /* no path names the file: whether it is there cannot be known */
            Trace("Reload_Preferences: no path for \"%s\"\n", k_Names[i]);
            Copy_Text(path, cap, homeDir);
            return FALSE;
        }
        if (File_Exists(path)) return FALSE;
    }
    return TRUE;
}

/* The fields General Preferences edits, each line one unit taken whole. */
typedef struct {
    FIELD_SPAN spans[3];
    int        count;
    const char *what;
} PREFS_UNIT;

static const PREFS_UNIT k_PrefsUnits[] = {
    { { FIELD_OF(SPOOLER_GLOBALS, SPOOLER_FILE_SETTLE_TIME) }, 1, "settle time" },
    { { FIELD_OF(SPOOLER_GLOBALS, SPOOLER_MAX_LOGSIZE), FIELD_OF(SPOOLER_GLOBALS, SPOOLER_MIN_LOGSIZE) }, 2,
      "log sizes" },
    { { FIELD_OF(SPOOLER_GLOBALS, SPOOLER_LOGFILE_ADDRESS) }, 1, "mail recipients" },
    { { FIELD_OF(SPOOLER_GLOBALS, HONOUR_SUBDIRS) }, 1, "honour subdirectories" },
    { { FIELD_OF(SPOOLER_GLOBALS, SPOOLER_JOBNAME_GROUPMASK), FIELD_OF(SPOOLER_GLOBALS, SPOOLER_JOBNAME_SEPIDMASK),
        FIELD_OF(SPOOLER_GLOBALS, RIPIndex) }, 3, "job-name masks" },
    { { FIELD_OF(SPOOLER_GLOBALS, COMMS_SERVER_PORT), FIELD_OF(SPOOLER_GLOBALS, portIsHex) }, 2, "comms server port" },
};

/* Texts are compared up to their terminator: what lies behind it in the buffer is no change. */
static BOOL Span_Differs(const FIELD_SPAN &s, const SPOOLER_GLOBALS *a, const SPOOLER_GLOBALS *b)
{
    const char *pa = (const char *)a + s.offset, *pb = (const char *)b + s.offset;
    if (s.size > 4) return strncmp(pa, pb, s.size) != 0;
    return memcmp(pa, pb, s.size) != 0;
}

void Merge_PrefsEdit(const PREFS_EDIT *opened, const PREFS_EDIT *work)
{
    for (const PREFS_UNIT &u : k_PrefsUnits) {
        BOOL changed = FALSE;
        for (int i = 0; i < u.count; i++) changed |= Span_Differs(u.spans[i], &opened->g, &work->g);
        if (!changed) continue;
        Trace("Merge_PrefsEdit: %s changed\n", u.what);
        for (int i = 0; i < u.count; i++)
            memcpy((char *)&SpoolerGlobals + u.spans[i].offset, (const char *)&work->g + u.spans[i].offset,
                   u.spans[i].size);
    }
    if (strcmp(opened->plateApp, work->plateApp) != 0) {
        Trace("Merge_PrefsEdit: identifier search application changed\n");
        Copy_Field(PLATE_SEARCH_APP, work->plateApp);
    }
}

static BOOL Is_Digit(char c) { return c >= '0' && c <= '9'; }
static BOOL Is_HexDigit(char c) { return Is_Digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

void Read_PortText(const char *text, int32_t *port, BOOL *hex)
{
    const char *p = text + strspn(text, " \t\r\n");
    if (!Is_Digit(*p)) {
        *port = -1;
        return;
    }
    BOOL isHex = p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && Is_HexDigit(p[2]);
    unsigned long long v = 0;
    for (p += isHex ? 2 : 0; isHex ? Is_HexDigit(*p) : Is_Digit(*p); p++) {
        int d = Is_Digit(*p) ? *p - '0' : ((*p | 0x20) - 'a' + 10);
        if (v <= 0x7FFFFFFFull) v = v * (isHex ? 16 : 10) + (unsigned)d;
    }
    *port = v > 0x7FFFFFFFull ? 0x7FFFFFFF : (int32_t)v;
    *hex = isHex;
}

void Format_PortText(int32_t port, BOOL hex, char *out, size_t cap)
{
    if (port < 0) Copy_Text(out, cap, "");
    else if (hex) Format_Text(out, cap, "0x%X", (unsigned)port);
    else Format_Text(out, cap, "%d", port);
}

void Bare_AppPath(const char *text, char *out, size_t cap)
{
    const char *p = text + strspn(text, " \t");
    if (*p == '"') {
        p++;
        Copy_TextN(out, cap, p, strcspn(p, "\""));
    } else {
        Copy_TextN(out, cap, p, strcspn(p, " "));
    }
}

BOOL Quote_AppPath(const char *path, char *out, size_t cap)
{
    const char *p = path + strspn(path, " \t");
    size_t n;
    if (*p == '"') {
        p++;
        n = strcspn(p, "\"");
    } else {
        n = strlen(p);
    }
    if (n + 3 > cap) {
        Copy_Text(out, cap, "");
        return FALSE;
    }
    out[0] = '"';
    memcpy(out + 1, p, n);
    out[n + 1] = '"';
    out[n + 2] = '\0';
    return TRUE;
}

BOOL AppPath_Fits(const char *text)
{
    size_t len = strlen(text);
    return len <= PATH_LEN - 1 || (text[0] == '"' && len <= PLATE_APP_LEN - 1);
}

/* ---- job-name masks ---- */

void Open_MasksEdit(const SPOOLER_GLOBALS *rec, MASKS_EDIT *e)
{
    Copy_Field(e->group, rec->SPOOLER_JOBNAME_GROUPMASK);
    Copy_Field(e->sepId, rec->SPOOLER_JOBNAME_SEPIDMASK);
    e->index = rec->RIPIndex;
    if (e->index < 0 || e->index >= RIP_PRESET_COUNT) e->index = -1;
}

void Commit_MasksEdit(const MASKS_EDIT *e, SPOOLER_GLOBALS *rec)
{
    Copy_Field(rec->SPOOLER_JOBNAME_GROUPMASK, e->group);
    Copy_Field(rec->SPOOLER_JOBNAME_SEPIDMASK, e->sepId);
    rec->RIPIndex = e->index;
    Trace("JobNames_Dlg: OK, masks %s and %s, preset %d\n", e->group, e->sepId, e->index);
}

static BOOL Preset_Is(int i, const char *group, const char *sepId)
{
    return Compare_NoCase(RIPPresets[i].groupMask, group) == 0 && Compare_NoCase(RIPPresets[i].sepIdMask, sepId) == 0;
}

int Match_MaskPreset(const char *group, const char *sepId, int current)
{
    if (current >= 0 && current < RIP_PRESET_COUNT && Preset_Is(current, group, sepId)) {
        Trace("RIPIndex set to: %s\n", RIPPresets[current].name);
        return current;
    }
    for (int i = 0; i < RIP_PRESET_COUNT; i++) {
        if (!Preset_Is(i, group, sepId)) continue;
        Trace("String masks match the following RIP: %s\n", RIPPresets[i].name);
        return i;
    }
    return -1;
}

void Mask_Description(int ripIndex, char *out, size_t cap)
{
    if (ripIndex >= 0 && ripIndex < RIP_PRESET_COUNT)
        Format_Text(out, cap, "My separation files are created and named automatically by %s.", RIPPresets[ripIndex].name);
    else
        Copy_Text(out, cap,
                  "I have defined my own string masks for extracting the job name and separation colour from a "
                  "separation's filename.");
}

const char *Check_Masks(const char *group, const char *sepId, BOOL typed, int groupTyped, int sepIdTyped, int *field)
{
    const int most = MASK_LEN - 1;
    *field = MASK_FIELD_GROUP;
    if (strlen(group) < 3)
        return "The Job name mask is less than 3 characters long. Custom configured masks should be a minimum of 3 "
               "characters.";
    if (typed && groupTyped > most)
        return "The Job name mask is longer than 64 characters. String masks are limited to 64 characters.";
    *field = MASK_FIELD_SEPID;
    if (strlen(sepId) < 3)
        return "The colour info mask is less than 3 characters long. Custom configured masks should be a minimum of 3 "
               "characters.";
    if (typed && sepIdTyped > most)
        return "The colour info mask is longer than 64 characters. String masks are limited to 64 characters.";
    *field = 0;
    return NULL;
}

/* ---- users ---- */

int Filter_UserText(char *text, int *selStart, int *selEnd)
{
    int start = *selStart, end = *selEnd;
    size_t kept = 0;
    int removed = 0;
    for (size_t i = 0; text[i] != '\0'; i++) {
        if (IsCharAlphaNumericA(text[i])) {
            text[kept++] = text[i];
            continue;
        }
        removed++;
        if ((int)i < *selStart) start--;
        if ((int)i < *selEnd) end--;
    }
    text[kept] = '\0';
    *selStart = start;
    *selEnd = end;
    return removed;
}

const char *Check_UserEntry(const char *name, const char *password, const char *confirm, int editing, int *field)
{
    *field = USER_FIELD_NAME;
    if (name[0] == '\0') return "Please enter a username";
    for (int i = 0; i < userCount; i++)
        if (i != editing && Compare_NoCase(users[i].name, name) == 0) return "The username already exists";
    *field = USER_FIELD_PASSWORD;
    if (strcmp(password, confirm) != 0) return "The confirmation doesn't match the password";
    *field = 0;
    return NULL;
}

BOOL Commit_UserEntry(int index, const char *name, const char *password)
{
    BOOL kept = index == -1 ? Add_User(name, password) : Replace_User(index, name, password);
    if (kept) Trace("User_Dlg: OK, user %s at %d\n", name, index);
    return kept;
}

static void Users_Path(char *path, size_t cap)
{
    if (homeDir == NULL || !Home_Path(path, cap, homeDir, "Users.cfg")) Copy_Text(path, cap, "Users.cfg");
}

BOOL Open_Users(void)
{
    char path[PATH_LEN];
    Users_Path(path, sizeof path);
    if (!Load_Users() && File_Exists(path)) {
        Info_Box(programTitle, "Could not read the users file. The users cannot be changed now.\r\n\"%s\"", path);
        return FALSE;
    }
    Note_UsersLoaded();
    return TRUE;
}

BOOL Commit_Users(BOOL loginAsked)
{
    if (!Store_Users()) {
        DWORD error = GetLastError();
        char path[PATH_LEN];
        Users_Path(path, sizeof path);
        SetLastError(error);
        SysError_Box(programTitle, "Could not write the users file. The users were not saved.\r\n\"%s\"", path);
        return FALSE;
    }
    Log_UsersChange(preferencesMode ? CHANGE_MODE_PREFERENCES : CHANGE_MODE_INTERACTIVE);
    /* Logging in cannot be required of no users. */
    BOOL login = loginAsked && userCount > 0;
    if (login != REQUIRE_LOGIN) Note_LoginSwitch(login);
    REQUIRE_LOGIN = login;
    Trace("Admin_Dlg: OK, %d users, login %s\n", userCount, login ? "required" : "not required");
    return TRUE;
}
