#include "config/prefsfile.h"
#include "config/findings.h"
#include "config/limits.h"
#include "config/storefile.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/text.h"
#include "common/trace.h"
#include <stddef.h>
#include <stdlib.h>
#include <string.h>

SPOOLER_GLOBALS SpoolerGlobals;
char            PLATE_SEARCH_APP[PLATE_APP_LEN];
BOOL            REQUIRE_LOGIN;

const RIP_PRESET RIPPresets[RIP_PRESET_COUNT] = {
    { "Varro RIP (V4.5 or V5.0 with sep numbers)", "01>011.TIF", "00>100.TIF" },
    { "Varro RIP (V4.1 or V5.0 without sep numbers)", "1>011.TIF", "0>100.TIF" },
};

static BOOL s_DefaultsSet;

void Reset_SpoolerGlobalsForTest(void) { s_DefaultsSet = FALSE; }

static void Set_GlobalDefaults(void)
{
    SPOOLER_GLOBALS *g = &SpoolerGlobals;
    memset(g, 0, sizeof *g);
    g->SPOOLER_FILE_SETTLE_TIME = 15;
    g->HONOUR_SUBDIRS = TRUE;
    g->SPOOLER_MAX_LOGSIZE = 1000;
    g->SPOOLER_MIN_LOGSIZE = 100;
    g->SPOOLER_USE_MINIMISED_IMAGE_WINDOWS = FALSE;
    g->SPOOLER_DRAW_WHOLE_IMAGES_ONLY = FALSE;
    g->RIPIndex = 0;
    Copy_Field(g->SPOOLER_JOBNAME_GROUPMASK, RIPPresets[0].groupMask);
    Copy_Field(g->SPOOLER_JOBNAME_SEPIDMASK, RIPPresets[0].sepIdMask);
    g->SPOOLER_LOGFILE_ADDRESS[0] = '\0';
    g->SPOOLER_MAX_HIST_RECORDS = 5000;
    g->SPOOLER_TRUNC_HIST_EVERY = 7200;
    g->COMMS_SERVER_PORT = -1;
    g->portIsHex = FALSE;
    PLATE_SEARCH_APP[0] = '\0';
    REQUIRE_LOGIN = FALSE;
    s_DefaultsSet = TRUE;
}

static BOOL Preset_Matches(int i)
{
    return Compare_NoCase(RIPPresets[i].groupMask, SpoolerGlobals.SPOOLER_JOBNAME_GROUPMASK) == 0 &&
           Compare_NoCase(RIPPresets[i].sepIdMask, SpoolerGlobals.SPOOLER_JOBNAME_SEPIDMASK) == 0;
}

void Match_RIPPreset(void)
{
    int current = SpoolerGlobals.RIPIndex;
    if (current >= 0 && current < RIP_PRESET_COUNT && Preset_Matches(current)) {
        Trace("RIPIndex set to: %s\n", RIPPresets[current].name);
        return;
    }
    SpoolerGlobals.RIPIndex = -1;
    for (int i = 0; i < RIP_PRESET_COUNT; i++) {
        if (!Preset_Matches(i)) continue;
        Trace("String masks match the following RIP: %s\n", RIPPresets[i].name);
        SpoolerGlobals.RIPIndex = i;
        return;
    }
}

/* ---- the key table ---- */

/* How a key's value is read from and written to the file. */
typedef enum {
    PV_INT,             /* "%d"; the leading number of the value, kept when there is none */
    PV_BOOL,            /* TRUE / FALSE; TRUE only for the word TRUE in any case */
    PV_TEXT,            /* as it stands, cut to the field */
    PV_PLATE,           /* in double quotes: added where missing when read and when written */
    PV_PORT,            /* 0x... (hex flag) or decimal; -1 (none) leaves the line out */
    PV_NONE,            /* not in the file */
} PREFS_VALUE;

typedef struct {
    FIELD_DEF   field;          /* key, label, page, kind and place in PREFS_VALUES */
    const char *fileKey;        /* as the file spells it */
    PREFS_VALUE value;
    const char *separator;      /* between key and value */
    const char *comment;        /* the comment lines after the key, NULL: none (the next key follows) */
    int         blankLines;     /* empty lines after the comment */
    BOOL        onlyWhenSet;    /* left out when empty (a text) or below 0 (the port) */
    const char *readTrace;      /* PV_INT: the trace line of the value read */
    void      (*afterRead)(PREFS_VALUES *v);   /* what reading the key does to the others */
} PREFS_KEY;

static const FIELD_CHOICE k_PresetNames[] = {
    { -1, "Own string masks" },
    { 0, "Varro RIP (V4.5 or V5.0 with sep numbers)" },
    { 1, "Varro RIP (V4.1 or V5.0 without sep numbers)" },
};

/* A minimum log size is checked only when the maximum is read (the written file lists the maximum
   first); reading the minimum holds the maximum held then to its range. */
static void After_MinLogSize(PREFS_VALUES *v)
{
    v->globals.SPOOLER_MAX_LOGSIZE = Clamp_ToRange(v->globals.SPOOLER_MAX_LOGSIZE, LIMIT_MAX_LOGSIZE);
}

static void After_MaxLogSize(PREFS_VALUES *v)
{
    SPOOLER_GLOBALS *g = &v->globals;
    if (g->SPOOLER_MIN_LOGSIZE >= g->SPOOLER_MAX_LOGSIZE) g->SPOOLER_MIN_LOGSIZE = g->SPOOLER_MAX_LOGSIZE - 1;
    if (g->SPOOLER_MIN_LOGSIZE < LIMIT_MIN_LOGSIZE.minimum) g->SPOOLER_MIN_LOGSIZE = LIMIT_MIN_LOGSIZE.minimum;
}

#define PG(f)  offsetof(PREFS_VALUES, globals.f), sizeof(((SPOOLER_GLOBALS *)0)->f)
#define PV(f)  offsetof(PREFS_VALUES, f), sizeof(((PREFS_VALUES *)0)->f)

static constexpr FIELD_DEF Pref(const char *key, const char *label, QUEUE_PAGE page, FIELD_KIND kind,
                                FIELD_STORAGE storage, size_t offset, size_t size)
{
    return Field_Row(key, label, page, kind, storage, offset, size);
}

/* The file's keys in the order it lists them. */
static const PREFS_KEY k_PrefsKeys[] = {
    { With_Unit(With_Range(With_Flags(Pref("spooler_file_settle_time", "Before queuing new jobs, allow them to settle for",
                                           QPAGE_PREFERENCES, FK_DURATION, FS_INT32, PG(SPOOLER_FILE_SETTLE_TIME)),
                                      FF_CLAMP_READ), LIMIT_SETTLE_TIME), NULL, 1),
      "SPOOLER_FILE_SETTLE_TIME", PV_INT, " ",
      "# The number of seconds before a new file in a queue is deemed \"processable\"", 2, FALSE,
      "Found File Settle Time: %d.\n", NULL },
    { With_Unit(With_Range(Pref("spooler_max_logsize", "Truncate whenever file gets to", QPAGE_PREFERENCES, FK_NUMBER,
                                FS_INT32, PG(SPOOLER_MAX_LOGSIZE)), LIMIT_MAX_LOGSIZE), "lines", 0),
      "SPOOLER_MAX_LOGSIZE", PV_INT, "  ", NULL, 0, FALSE, "Found Max Log Size: %d.\n", After_MaxLogSize },
    { With_Unit(With_Range(Pref("spooler_min_logsize", "When truncating, cut log file back to", QPAGE_PREFERENCES,
                                FK_NUMBER, FS_INT32, PG(SPOOLER_MIN_LOGSIZE)), LIMIT_MIN_LOGSIZE), "lines", 0),
      "SPOOLER_MIN_LOGSIZE", PV_INT, "  ", "# Max and min log file size (number of messages to retain)", 2, FALSE,
      "Found Min Log Size: %d.\n", After_MinLogSize },
    { Pref("spooler_use_minimised_image_windows", "Minimise low resolution image windows on creation", QPAGE_NONE,
           FK_FLAG, FS_INT16, PG(SPOOLER_USE_MINIMISED_IMAGE_WINDOWS)),
      "SPOOLER_USE_MINIMISED_IMAGE_WINDOWS", PV_BOOL, " ",
      "# Set to TRUE to minimise all low res image windows on creation\n"
      "# Set to FALSE to display as normal windows", 2, FALSE, NULL, NULL },
    { Pref("spooler_draw_whole_images_only", "Show low resolution images only when complete", QPAGE_NONE, FK_FLAG,
           FS_INT16, PG(SPOOLER_DRAW_WHOLE_IMAGES_ONLY)),
      "SPOOLER_DRAW_WHOLE_IMAGES_ONLY", PV_BOOL, " ",
      "# Set to TRUE to always show low res images completely\n"
      "# Set to FALSE to show low res images gradually, in proportion to progress", 2, FALSE, NULL, NULL },
    /* derived from the two masks when the file is read; not in the file */
    { With_Choices(With_Range(With_Flags(Pref("rip_preset", "My separation files are named automatically by",
                                              QPAGE_FILENAMING, FK_CHOICE, FS_INT32, PG(RIPIndex)), FF_RUNTIME),
                              FIELD_RANGE{ -1, RIP_PRESET_COUNT - 1 }), k_PresetNames, (int)ARRAY_LEN(k_PresetNames)),
      NULL, PV_NONE, NULL, NULL, 0, FALSE, NULL, NULL },
    { Pref("spooler_jobname_groupmask", "Mask for extracting the original job's name from a separation's filename",
           QPAGE_FILENAMING, FK_TEXT, FS_TEXT, PG(SPOOLER_JOBNAME_GROUPMASK)),
      "SPOOLER_JOBNAME_GROUPMASK", PV_TEXT, " ",
      "# String mask to use for extracting the group name from a job separation's filename", 2, FALSE, NULL, NULL },
    { Pref("spooler_jobname_sepidmask", "Mask for extracting the colour letter (C,M,Y,K) from a separation's filename",
           QPAGE_FILENAMING, FK_TEXT, FS_TEXT, PG(SPOOLER_JOBNAME_SEPIDMASK)),
      "SPOOLER_JOBNAME_SEPIDMASK", PV_TEXT, " ",
      "# String mask to use for extracting the separation colour letter from a job separation's filename", 2,
      FALSE, NULL, NULL },
    { With_Range(Pref("spooler_trunc_hist_every", "Truncate the history every", QPAGE_NONE, FK_NUMBER, FS_INT32,
                      PG(SPOOLER_TRUNC_HIST_EVERY)), FIELD_RANGE{ INT32_MIN, INT32_MAX }),
      "SPOOLER_TRUNC_HIST_EVERY", PV_INT, "  ",
      "# Run code to truncate history table every (day, hour, mins, secs system timer)", 2, FALSE,
      "Found Trunc History run time: %d.\n", NULL },
    { With_Range(With_Flags(Pref("spooler_max_hist_records", "Maximum number of history records", QPAGE_NONE, FK_NUMBER,
                                 FS_INT32, PG(SPOOLER_MAX_HIST_RECORDS)), FF_CLAMP_READ), LIMIT_HIST_RECORDS),
      "SPOOLER_MAX_HIST_RECORDS", PV_INT, "  ", "# Max number of history records (number of records to retain)", 2,
      FALSE, "Found Max History Record Number: %d.\n", NULL },
    { Pref("spooler_pim", "Enable the PIM (barcode/file name automatic requeue)", QPAGE_NONE, FK_FLAG, FS_INT32,
           PG(SPOOLER_PIM)),
      "SPOOLER_PIM", PV_BOOL, " ", "# Set to TRUE to enable the PIM (barcode/filename auto requeue)", 2, FALSE, NULL,
      NULL },
    { Pref("pim_auto_resume_job", "Always resume jobs requeued by the PIM", QPAGE_NONE, FK_FLAG, FS_INT32,
           PG(PIM_AUTO_RESUME_JOB)),
      "PIM_AUTO_RESUME_JOB", PV_BOOL, " ",
      "# Set to TRUE so jobs requeued by PIM are resumed regardless of the settings for the initial job state "
      "configured for the queue", 2, FALSE, NULL, NULL },
    { Pref("plate_search_app", "Identifier search application", QPAGE_PREFERENCES, FK_PATH, FS_TEXT,
           PV(plateSearchApp)),
      "PLATE_SEARCH_APP", PV_PLATE, " ", "# Path of application that searches for plates when given a plate ID", 2,
      TRUE, NULL, NULL },
    { Pref("require_login", "Require Ostra user login", QPAGE_ADMINISTRATION, FK_FLAG, FS_INT32, PV(requireLogin)),
      "REQUIRE_LOGIN", PV_BOOL, " ", "# Set to TRUE to require Ostra users to log-in to Ostra", 2, FALSE, NULL, NULL },
    { Pref("spooler_logfile_address", "Mail to", QPAGE_PREFERENCES, FK_TEXT, FS_TEXT, PG(SPOOLER_LOGFILE_ADDRESS)),
      "SPOOLER_LOGFILE_ADDRESS", PV_TEXT, " ", "# String list of recipients for mailing logfile.", 2, FALSE, NULL, NULL },
    { Pref("honour_subdirs", "Honour subdirectories when moving jobs, if they exist in the target", QPAGE_PREFERENCES,
           FK_FLAG, FS_INT32, PG(HONOUR_SUBDIRS)),
      "HONOUR_SUBDIRS", PV_BOOL, " ", "# Honour subdirectories when moving jobs, if they exist in the target.", 2,
      FALSE, NULL, NULL },
    { Pref("open_queue_folder", "Show \"Open folder\" on a queue's context menu", QPAGE_NONE, FK_FLAG, FS_INT32,
           PG(OPEN_QUEUE_FOLDER)),
      "OPEN_QUEUE_FOLDER", PV_BOOL, " ", "# Display the entry \"Open folder\" on the queue's context menu.", 1, FALSE,
      NULL, NULL },
    { Pref("show_comms_server", "Show the comms server dialog", QPAGE_NONE, FK_FLAG, FS_INT32, PG(SHOW_COMMS_SERVER)),
      "SHOW_COMMS_SERVER", PV_BOOL, " ", "# Show the comms server dialog, if running.", 1, FALSE, NULL, NULL },
    /* the number and its hex flag: one value, kept the way it was given */
    { With_Companion(With_Range(Pref("comms_server_port", "Port number of comms server", QPAGE_PREFERENCES, FK_PORT,
                                     FS_INT32, PG(COMMS_SERVER_PORT)), FIELD_RANGE{ -1, INT32_MAX }),
                     offsetof(PREFS_VALUES, globals.portIsHex)),
      "COMMS_SERVER_PORT", PV_PORT, " ", "# Comms server port to publish.", 1, TRUE, NULL, NULL },
};

int Prefs_FieldCount(void) { return (int)ARRAY_LEN(k_PrefsKeys); }

const FIELD_DEF *Prefs_Field(int i)
{
    return (i >= 0 && i < Prefs_FieldCount()) ? &k_PrefsKeys[i].field : NULL;
}

static const PREFS_KEY *Key_Of(const FIELD_DEF *f)
{
    for (const PREFS_KEY &k : k_PrefsKeys)
        if (&k.field == f) return &k;
    return NULL;
}

const char *Prefs_FileKey(const FIELD_DEF *f)
{
    const PREFS_KEY *k = Key_Of(f);
    return k != NULL ? k->fileKey : NULL;
}

void Take_LivePrefs(PREFS_VALUES *v)
{
    v->globals = SpoolerGlobals;
    Copy_Field(v->plateSearchApp, PLATE_SEARCH_APP);
    v->requireLogin = REQUIRE_LOGIN;
}

void Put_LivePrefs(const PREFS_VALUES *v)
{
    SpoolerGlobals = v->globals;
    Copy_Field(PLATE_SEARCH_APP, v->plateSearchApp);
    REQUIRE_LOGIN = v->requireLogin;
}

/* ---- reading ---- */

static BOOL Is_HexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

static void Read_Port(PREFS_VALUES *v, const char *value)
{
    SPOOLER_GLOBALS *g = &v->globals;
    if (value[0] == '0' && (value[1] == 'x' || value[1] == 'X') && Is_HexDigit(value[2])) {
        g->COMMS_SERVER_PORT = (int32_t)strtoul(value + 2, NULL, 16);
        g->portIsHex = TRUE;
        return;
    }
    long long n;
    g->COMMS_SERVER_PORT = Read_Decimal(value, strlen(value), INT32_MIN, INT32_MAX, &n, NULL) ? (int32_t)n : -1;
    g->portIsHex = FALSE;
}

/* Takes the value of one key into v. */
static void Read_KeyValue(PREFS_VALUES *v, const PREFS_KEY *k, const char *value)
{
    char *base = (char *)v;
    const FIELD_DEF *f = &k->field;
    switch (k->value) {
    case PV_INT: {
        long long n;
        if (Read_Decimal(value, strlen(value), INT32_MIN, INT32_MAX, &n, NULL)) Set_FieldNumber(f, v, (int32_t)n);
        int32_t now = Get_FieldNumber(f, v);
        if (k->readTrace != NULL) Trace(k->readTrace, now);
        if (f->flags & FF_CLAMP_READ) {
            Note_Clamp(k->fileKey, now, f->range.minimum, f->range.maximum, Clamp_ToRange(now, f->range));
            Set_FieldNumber(f, v, Clamp_ToRange(now, f->range));
        }
        break;
    }
    case PV_BOOL:
        Set_FieldNumber(f, v, Compare_NoCase(value, "TRUE") == 0);
        break;
    case PV_TEXT:
        if (!Copy_Text(base + f->offset, f->size, value))
            Read_Finding(SEV_WARNING, "the value of %s is longer than %u characters and is cut; shorten it.", k->fileKey,
                         (unsigned)(f->size - 1));
        break;
    case PV_PLATE:
        if (value[0] == '"') Copy_Text(base + f->offset, f->size, value);
        else Format_Text(base + f->offset, f->size, "\"%s\"", value);
        break;
    case PV_PORT:
        Read_Port(v, value);
        break;
    case PV_NONE:
        break;
    }
    if (k->afterRead != NULL) k->afterRead(v);
}

/* Takes one line (without its line break) of the file into v. The key is compared exactly; a
   line with any other key is left alone. */
static void Read_PrefsLine(PREFS_VALUES *v, const char *line, size_t len)
{
    size_t at = 0;
    while (at < len && (line[at] == ' ' || line[at] == '\t')) at++;
    size_t keyLen = 0;
    while (at + keyLen < len && line[at + keyLen] != ' ' && line[at + keyLen] != '\t') keyLen++;
    if (keyLen == 0 || keyLen >= 64) return;
    size_t valueAt = at + keyLen;
    while (valueAt < len && (line[valueAt] == ' ' || line[valueAt] == '\t')) valueAt++;

    for (const PREFS_KEY &k : k_PrefsKeys) {
        if (k.fileKey == NULL || strlen(k.fileKey) != keyLen || memcmp(k.fileKey, line + at, keyLen) != 0) continue;
        /* Every field is shorter than this; a longer value is cut by its field anyway. */
        char value[1024];
        Copy_TextN(value, sizeof value, line + valueAt, len - valueAt);
        Read_KeyValue(v, &k, value);
        return;
    }
    Read_Finding(SEV_WARNING, "the setting %.*s is not known and is ignored; correct its name or remove the line.",
                 (int)keyLen, line + at);
}

void Read_PrefsText(PREFS_VALUES *v, const char *text, size_t len)
{
    /* Lines are taken whole, however long, so that a long recipient list or path is never split
       into a cut value and a stray line. */
    size_t pos = 0;
    int lineNo = 0;
    TEXT_LINE l;
    while (Next_TextLine(text, len, &pos, &l)) {
        Set_ReadLine(++lineNo);
        if (l.len > 0 && l.text[0] != '#') Read_PrefsLine(v, l.text, l.len);
    }
    /* A maximum log size read after the last minimum was never brought into its range (reading
       a minimum does that): done here, or the saved file, which lists the maximum first, would
       read back with another maximum. */
    v->globals.SPOOLER_MAX_LOGSIZE = Clamp_ToRange(v->globals.SPOOLER_MAX_LOGSIZE, LIMIT_MAX_LOGSIZE);
}

BOOL Get_SpoolerGlobals(void)
{
    Trace("\nGet_SpoolerGlobals()\n");
    if (!s_DefaultsSet) Set_GlobalDefaults();
    PLATE_SEARCH_APP[0] = '\0';
    SpoolerGlobals.COMMS_SERVER_PORT = -1;

    char path[PATH_LEN];
    size_t len = 0;
    char *text = Home_Path(path, sizeof path, homeDir, "Preferences.cfg") ? Read_WholeFile(path, &len) : NULL;
    if (text == NULL && Home_Path(path, sizeof path, homeDir, "Spooler.cfg")) text = Read_WholeFile(path, &len);
    if (text == NULL) {
        Trace("Could not open %s. Returning FALSE\n", path);
        return FALSE;
    }
    Trace("Opened %s. ", path);
    Trace("Searching for data:\n");
    PREFS_VALUES v;
    Take_LivePrefs(&v);
    Begin_ReadFindings(strrchr(path, '\\') != NULL ? strrchr(path, '\\') + 1 : path);
    Read_PrefsText(&v, text, len);
    End_ReadFindings();
    Put_LivePrefs(&v);
    free(text);

    Match_RIPPreset();
    Trace("Using string masks as follows Group: %s,  SepID:  %s\n", SpoolerGlobals.SPOOLER_JOBNAME_GROUPMASK,
          SpoolerGlobals.SPOOLER_JOBNAME_SEPIDMASK);
    Trace("End of file. Closing. ");
    Trace("Done. Returning TRUE\n");
    return TRUE;
}

/* ---- writing ---- */

static BOOL Is_KeySet(const PREFS_KEY *k, const PREFS_VALUES *v)
{
    if (k->value == PV_PORT) return v->globals.COMMS_SERVER_PORT >= 0;
    return ((const char *)v)[k->field.offset] != '\0';
}

/* The whole file as the spooler expects it: fixed header, order and comments. */
void Format_PrefsFile(OUTBUF *b, const PREFS_VALUES *v)
{
    const char *base = (const char *)v;
    OutBuf_Puts(b, "\n#    c o n f i g    f i l e   f o r    S  P  O  O  L  E  R   2\n\n\n\n\n");
    for (const PREFS_KEY &k : k_PrefsKeys) {
        const FIELD_DEF *f = &k.field;
        if (k.value == PV_NONE || (k.onlyWhenSet && !Is_KeySet(&k, v))) continue;
        OutBuf_Printf(b, "%s%s", k.fileKey, k.separator);
        switch (k.value) {
        case PV_INT:  OutBuf_Printf(b, "%d", Get_FieldNumber(f, v)); break;
        case PV_BOOL: OutBuf_Puts(b, Get_FieldNumber(f, v) ? "TRUE" : "FALSE"); break;
        case PV_TEXT: OutBuf_Puts(b, base + f->offset); break;
        case PV_PLATE:
            if (base[f->offset] == '"') OutBuf_Puts(b, base + f->offset);
            else OutBuf_Printf(b, "\"%s\"", base + f->offset);
            break;
        case PV_PORT:
            if (v->globals.portIsHex) OutBuf_Printf(b, "0x%X", (unsigned)v->globals.COMMS_SERVER_PORT);
            else OutBuf_Printf(b, "%d", v->globals.COMMS_SERVER_PORT);
            break;
        case PV_NONE: break;
        }
        OutBuf_Puts(b, "\n");
        if (k.comment == NULL) continue;
        OutBuf_Printf(b, "\n%s\n", k.comment);
        for (int i = 0; i < k.blankLines; i++) OutBuf_Puts(b, "\n");
    }
}

BOOL Store_SpoolerGlobals(void)
{
    Trace("\nStore_SpoolerGlobals()\n");
    char path[PATH_LEN];
    if (!Store_PathOf("Preferences.cfg", path, sizeof path)) return FALSE;
    Trace("Opening the file %s.\n", path);

    PREFS_VALUES v;
    Take_LivePrefs(&v);
    OUTBUF buf;
    OutBuf_Init(&buf);
    Format_PrefsFile(&buf, &v);
    Trace("Opened %s. ", path);
    return Store_TracedFile(path, &buf, FALSE,
                            "Could not open the global data file for writing. Data will not be saved.\r\n\"%s\"");
}
