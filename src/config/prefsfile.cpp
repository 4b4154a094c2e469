#include "config/prefsfile.h"
#include "config/storefile.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/text.h"
#include "common/trace.h"
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

/* The leading decimal number of text (blanks and a sign allowed before the digits), held to
   the 32-bit range. FALSE when text does not begin with a number. */
static BOOL Read_LeadingInt(const char *text, int32_t *out)
{
    const char *p = text + strspn(text, " \t");
    BOOL negative = (*p == '-');
    if (*p == '-' || *p == '+') p++;
    if (*p < '0' || *p > '9') return FALSE;
    long long v = 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        if (v <= 2147483648LL) v = v * 10 + (*p - '0');
    }
    if (negative) v = -v;
    if (v > 2147483647LL) v = 2147483647LL;
    if (v < -2147483647LL - 1) v = -2147483647LL - 1;
    *out = (int32_t)v;
    return TRUE;
}

static BOOL Is_HexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

static BOOL Read_Bool(const char *value) { return Compare_NoCase(value, "TRUE") == 0; }

static void Read_Port(const char *value)
{
    SPOOLER_GLOBALS *g = &SpoolerGlobals;
    if (value[0] == '0' && (value[1] == 'x' || value[1] == 'X') && Is_HexDigit(value[2])) {
        g->COMMS_SERVER_PORT = (int32_t)strtoul(value + 2, NULL, 16);
        g->portIsHex = TRUE;
        return;
    }
    int32_t port;
    g->COMMS_SERVER_PORT = Read_LeadingInt(value, &port) ? port : -1;
    g->portIsHex = FALSE;
}

static void Read_PlateSearchApp(const char *value)
{
    if (value[0] == '"') {
        Copy_Field(PLATE_SEARCH_APP, value);
        return;
    }
    Format_Text(PLATE_SEARCH_APP, sizeof PLATE_SEARCH_APP, "\"%s\"", value);
}

/* Takes one line (without its line break) of the file into the record. */
static void Read_PrefsLine(const char *line)
{
    SPOOLER_GLOBALS *g = &SpoolerGlobals;
    const char *p = line + strspn(line, " \t");
    size_t keyLen = strcspn(p, " \t");
    if (keyLen == 0 || keyLen >= 64) return;
    char key[64];
    Copy_TextN(key, sizeof key, p, keyLen);
    const char *value = p + keyLen;
    value += strspn(value, " \t");

    int32_t n;
    if (strcmp(key, "SPOOLER_FILE_SETTLE_TIME") == 0) {
        if (Read_LeadingInt(value, &n)) g->SPOOLER_FILE_SETTLE_TIME = n;
        n = g->SPOOLER_FILE_SETTLE_TIME;
        Trace("Found File Settle Time: %d.\n", n);
        g->SPOOLER_FILE_SETTLE_TIME = n > 1200 ? 1200 : (n < 0 ? 0 : n);
    } else if (strcmp(key, "SPOOLER_MIN_LOGSIZE") == 0) {
        if (Read_LeadingInt(value, &n)) g->SPOOLER_MIN_LOGSIZE = n;
        Trace("Found Min Log Size: %d.\n", g->SPOOLER_MIN_LOGSIZE);
        /* Only the maximum is held to its range here; the minimum is checked when the maximum
           is read, which the written file lists first. */
        if (g->SPOOLER_MAX_LOGSIZE > 1000000) g->SPOOLER_MAX_LOGSIZE = 1000000;
        if (g->SPOOLER_MAX_LOGSIZE < 10) g->SPOOLER_MAX_LOGSIZE = 10;
    } else if (strcmp(key, "SPOOLER_MAX_LOGSIZE") == 0) {
        if (Read_LeadingInt(value, &n)) g->SPOOLER_MAX_LOGSIZE = n;
        Trace("Found Max Log Size: %d.\n", g->SPOOLER_MAX_LOGSIZE);
        if (g->SPOOLER_MIN_LOGSIZE >= g->SPOOLER_MAX_LOGSIZE) g->SPOOLER_MIN_LOGSIZE = g->SPOOLER_MAX_LOGSIZE - 1;
        if (g->SPOOLER_MIN_LOGSIZE < 1) g->SPOOLER_MIN_LOGSIZE = 1;
    } else if (strcmp(key, "SPOOLER_USE_MINIMISED_IMAGE_WINDOWS") == 0) {
        g->SPOOLER_USE_MINIMISED_IMAGE_WINDOWS = (int16_t)Read_Bool(value);
    } else if (strcmp(key, "SPOOLER_DRAW_WHOLE_IMAGES_ONLY") == 0) {
        g->SPOOLER_DRAW_WHOLE_IMAGES_ONLY = (int16_t)Read_Bool(value);
    } else if (strcmp(key, "SPOOLER_JOBNAME_GROUPMASK") == 0) {
        Copy_Field(g->SPOOLER_JOBNAME_GROUPMASK, value);
    } else if (strcmp(key, "SPOOLER_JOBNAME_SEPIDMASK") == 0) {
        Copy_Field(g->SPOOLER_JOBNAME_SEPIDMASK, value);
    } else if (strcmp(key, "SPOOLER_TRUNC_HIST_EVERY") == 0) {
        if (Read_LeadingInt(value, &n)) g->SPOOLER_TRUNC_HIST_EVERY = n;
        Trace("Found Trunc History run time: %d.\n", g->SPOOLER_TRUNC_HIST_EVERY);
    } else if (strcmp(key, "SPOOLER_MAX_HIST_RECORDS") == 0) {
        if (Read_LeadingInt(value, &n)) g->SPOOLER_MAX_HIST_RECORDS = n;
        n = g->SPOOLER_MAX_HIST_RECORDS;
        Trace("Found Max History Record Number: %d.\n", n);
        g->SPOOLER_MAX_HIST_RECORDS = n >= 1000000 ? 1000000 : (n < 1 ? 1 : n);
    } else if (strcmp(key, "SPOOLER_PIM") == 0) {
        g->SPOOLER_PIM = Read_Bool(value);
    } else if (strcmp(key, "PIM_AUTO_RESUME_JOB") == 0) {
        g->PIM_AUTO_RESUME_JOB = Read_Bool(value);
    } else if (strcmp(key, "PLATE_SEARCH_APP") == 0) {
        Read_PlateSearchApp(value);
    } else if (strcmp(key, "REQUIRE_LOGIN") == 0) {
        REQUIRE_LOGIN = Read_Bool(value);
    } else if (strcmp(key, "SPOOLER_LOGFILE_ADDRESS") == 0) {
        Copy_Field(g->SPOOLER_LOGFILE_ADDRESS, value);
    } else if (strcmp(key, "HONOUR_SUBDIRS") == 0) {
        g->HONOUR_SUBDIRS = Read_Bool(value);
    } else if (strcmp(key, "OPEN_QUEUE_FOLDER") == 0) {
        g->OPEN_QUEUE_FOLDER = Read_Bool(value);
    } else if (strcmp(key, "SHOW_COMMS_SERVER") == 0) {
        g->SHOW_COMMS_SERVER = Read_Bool(value);
    } else if (strcmp(key, "COMMS_SERVER_PORT") == 0) {
        Read_Port(value);
    }
}

BOOL Get_SpoolerGlobals(void)
{
    Trace("\nGet_SpoolerGlobals()\n");
    if (!s_DefaultsSet) Set_GlobalDefaults();
    PLATE_SEARCH_APP[0] = '\0';
    SpoolerGlobals.COMMS_SERVER_PORT = -1;

    char path[PATH_LEN];
    Home_Path(path, sizeof path, homeDir, "Preferences.cfg");
    size_t len = 0;
    char *text = Read_WholeFile(path, &len);
    if (text == NULL) {
        Home_Path(path, sizeof path, homeDir, "Spooler.cfg");
        text = Read_WholeFile(path, &len);
    }
    if (text == NULL) {
        Trace("Could not open %s. Returning FALSE\n", path);
        return FALSE;
    }
    Trace("Opened %s. ", path);
    Trace("Searching for data:\n");

    /* Lines are taken whole, however long, so that a long recipient list or path is never
       split into a cut value and a stray line. */
    char *line = text;
    char *end = text + len;
    while (line < end) {
        char *next = (char *)memchr(line, '\n', (size_t)(end - line));
        char *stop = next ? next : end;
        if (stop > line && stop[-1] == '\r') stop--;
        char saved = *stop;
        *stop = '\0';
        if (line[0] != '\0' && line[0] != '#') Read_PrefsLine(line);
        *stop = saved;
        line = next ? next + 1 : end;
    }
    free(text);
    /* A maximum log size read after the last minimum was never brought into its range (reading
       a minimum does that): done here, or the saved file, which lists the maximum first, would
       read back with another maximum. */
    SPOOLER_GLOBALS *g = &SpoolerGlobals;
    if (g->SPOOLER_MAX_LOGSIZE > 1000000) g->SPOOLER_MAX_LOGSIZE = 1000000;
    if (g->SPOOLER_MAX_LOGSIZE < 10) g->SPOOLER_MAX_LOGSIZE = 10;

    Match_RIPPreset();
    Trace("Using string masks as follows Group: %s,  SepID:  %s\n", SpoolerGlobals.SPOOLER_JOBNAME_GROUPMASK,
          SpoolerGlobals.SPOOLER_JOBNAME_SEPIDMASK);
    Trace("End of file. Closing. ");
    Trace("Done. Returning TRUE\n");
    return TRUE;
}

static const char *True_False(BOOL b) { return b ? "TRUE" : "FALSE"; }

/* The whole file as the spooler expects it: fixed header, order and comments. */
static void Format_Prefs(OUTBUF *b)
{
    const SPOOLER_GLOBALS *g = &SpoolerGlobals;
    OutBuf_Puts(b, "\n#    c o n f i g    f i l e   f o r    S  P  O  O  L  E  R   2\n\n\n\n\n");
    OutBuf_Printf(b, "SPOOLER_FILE_SETTLE_TIME %d\n\n", g->SPOOLER_FILE_SETTLE_TIME);
    OutBuf_Puts(b, "# The number of seconds before a new file in a queue is deemed \"processable\"\n\n\n");
    OutBuf_Printf(b, "SPOOLER_MAX_LOGSIZE  %d\n", g->SPOOLER_MAX_LOGSIZE);
    OutBuf_Printf(b, "SPOOLER_MIN_LOGSIZE  %d\n\n", g->SPOOLER_MIN_LOGSIZE);
    OutBuf_Puts(b, "# Max and min log file size (number of messages to retain)\n\n\n");
    OutBuf_Printf(b, "SPOOLER_USE_MINIMISED_IMAGE_WINDOWS %s\n\n", True_False(g->SPOOLER_USE_MINIMISED_IMAGE_WINDOWS));
    OutBuf_Puts(b, "# Set to TRUE to minimise all low res image windows on creation\n");
    OutBuf_Puts(b, "# Set to FALSE to display as normal windows\n\n\n");
    OutBuf_Printf(b, "SPOOLER_DRAW_WHOLE_IMAGES_ONLY %s\n\n", True_False(g->SPOOLER_DRAW_WHOLE_IMAGES_ONLY));
    OutBuf_Puts(b, "# Set to TRUE to always show low res images completely\n");
    OutBuf_Puts(b, "# Set to FALSE to show low res images gradually, in proportion to progress\n\n\n");
    OutBuf_Printf(b, "SPOOLER_JOBNAME_GROUPMASK %s\n\n", g->SPOOLER_JOBNAME_GROUPMASK);
    OutBuf_Puts(b, "# String mask to use for extracting the group name from a job separation's filename\n\n\n");
    OutBuf_Printf(b, "SPOOLER_JOBNAME_SEPIDMASK %s\n\n", g->SPOOLER_JOBNAME_SEPIDMASK);
    OutBuf_Puts(b, "# String mask to use for extracting the separation colour letter from a job separation's "
                   "filename\n\n\n");
    OutBuf_Printf(b, "SPOOLER_TRUNC_HIST_EVERY  %d\n\n", g->SPOOLER_TRUNC_HIST_EVERY);
    OutBuf_Puts(b, "# Run code to truncate history table every (day, hour, mins, secs system timer)\n\n\n");
    OutBuf_Printf(b, "SPOOLER_MAX_HIST_RECORDS  %d\n\n", g->SPOOLER_MAX_HIST_RECORDS);
    OutBuf_Puts(b, "# Max number of history records (number of records to retain)\n\n\n");
    OutBuf_Printf(b, "SPOOLER_PIM %s\n\n", True_False(g->SPOOLER_PIM));
    OutBuf_Puts(b, "# Set to TRUE to enable the PIM (barcode/filename auto requeue)\n\n\n");
    OutBuf_Printf(b, "PIM_AUTO_RESUME_JOB %s\n\n", True_False(g->PIM_AUTO_RESUME_JOB));
    OutBuf_Puts(b, "# Set to TRUE so jobs requeued by PIM are resumed regardless of the settings for the initial "
                   "job state configured for the queue\n\n\n");
    if (PLATE_SEARCH_APP[0] != '\0') {
        if (PLATE_SEARCH_APP[0] == '"') OutBuf_Printf(b, "PLATE_SEARCH_APP %s\n\n", PLATE_SEARCH_APP);
        else OutBuf_Printf(b, "PLATE_SEARCH_APP \"%s\"\n\n", PLATE_SEARCH_APP);
        OutBuf_Puts(b, "# Path of application that searches for plates when given a plate ID\n\n\n");
    }
    OutBuf_Printf(b, "REQUIRE_LOGIN %s\n\n", True_False(REQUIRE_LOGIN));
    OutBuf_Puts(b, "# Set to TRUE to require Ostra users to log-in to Ostra\n\n\n");
    OutBuf_Printf(b, "SPOOLER_LOGFILE_ADDRESS %s\n\n", g->SPOOLER_LOGFILE_ADDRESS);
    OutBuf_Puts(b, "# String list of recipients for mailing logfile.\n\n\n");
    OutBuf_Printf(b, "HONOUR_SUBDIRS %s\n\n", True_False(g->HONOUR_SUBDIRS));
    OutBuf_Puts(b, "# Honour subdirectories when moving jobs, if they exist in the target.\n\n\n");
    OutBuf_Printf(b, "OPEN_QUEUE_FOLDER %s\n\n", True_False(g->OPEN_QUEUE_FOLDER));
    OutBuf_Puts(b, "# Display the entry \"Open folder\" on the queue's context menu.\n\n");
    OutBuf_Printf(b, "SHOW_COMMS_SERVER %s\n\n", True_False(g->SHOW_COMMS_SERVER));
    OutBuf_Puts(b, "# Show the comms server dialog, if running.\n\n");
    if (g->COMMS_SERVER_PORT >= 0) {
        if (g->portIsHex) OutBuf_Printf(b, "COMMS_SERVER_PORT 0x%X\n\n", (unsigned)g->COMMS_SERVER_PORT);
        else OutBuf_Printf(b, "COMMS_SERVER_PORT %d\n\n", g->COMMS_SERVER_PORT);
        OutBuf_Puts(b, "# Comms server port to publish.\n\n");
    }
}

BOOL Store_SpoolerGlobals(void)
{
    Trace("\nStore_SpoolerGlobals()\n");
    char path[PATH_LEN];
    Home_Path(path, sizeof path, homeDir, "Preferences.cfg");
    Trace("Opening the file %s.\n", path);

    OUTBUF buf;
    OutBuf_Init(&buf);
    Format_Prefs(&buf);
    Trace("Opened %s. ", path);
    return Store_TracedFile(path, &buf, FALSE,
                            "Could not open the global data file for writing. Data will not be saved.\r\n\"%s\"");
}
