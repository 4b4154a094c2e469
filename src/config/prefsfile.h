/* The spooler preferences file "Preferences.cfg" (older name "Spooler.cfg"): one process-wide
   record of spooler-wide settings, the plate search application and the login switch, and the
   table of RIP presets that the two job-name masks are matched against. */
#pragma once
#include <windows.h>
#include <stdint.h>
#include "config/model.h"
#include "config/fields.h"
#include "common/text.h"

#define MASK_LEN         65      /* a job-name mask of up to 64 characters */
#define RIP_NAME_LEN     129     /* a preset name of up to 128 characters */
#define RIP_PRESET_COUNT 2
#define PLATE_APP_LEN    (TEXT_LEN + 2)   /* up to 260 characters and the quotes the reader adds */

/* The record's fields carry the names of their keys in the file. */
typedef struct {
    int32_t SPOOLER_FILE_SETTLE_TIME;              /* seconds, 0 to 1200 */
    BOOL    HONOUR_SUBDIRS;
    int32_t SPOOLER_MAX_LOGSIZE;                   /* lines */
    int32_t SPOOLER_MIN_LOGSIZE;                   /* lines the log is cut back to */
    int16_t SPOOLER_USE_MINIMISED_IMAGE_WINDOWS;
    int16_t SPOOLER_DRAW_WHOLE_IMAGES_ONLY;
    int32_t RIPIndex;                              /* preset matching the masks, -1 none; not stored */
    char    SPOOLER_JOBNAME_GROUPMASK[MASK_LEN];
    char    SPOOLER_JOBNAME_SEPIDMASK[MASK_LEN];
    char    SPOOLER_LOGFILE_ADDRESS[TEXT259_LEN];  /* recipients separated by semicolons */
    int32_t SPOOLER_MAX_HIST_RECORDS;
    int32_t SPOOLER_TRUNC_HIST_EVERY;
    BOOL    SPOOLER_PIM;
    BOOL    PIM_AUTO_RESUME_JOB;
    BOOL    OPEN_QUEUE_FOLDER;
    BOOL    SHOW_COMMS_SERVER;
    int32_t COMMS_SERVER_PORT;                     /* -1: none (the line is left out) */
    BOOL    portIsHex;                             /* the port was given, and is written, as 0x... */
} SPOOLER_GLOBALS;

typedef struct {
    char name[RIP_NAME_LEN];
    char groupMask[MASK_LEN];
    char sepIdMask[MASK_LEN];
} RIP_PRESET;

extern SPOOLER_GLOBALS  SpoolerGlobals;
extern const RIP_PRESET RIPPresets[RIP_PRESET_COUNT];
/* Held outside the record, read and written with it. The reader keeps the path in double
   quotes; the preferences dialog stores it as typed and the writer adds missing quotes. */
extern char PLATE_SEARCH_APP[PLATE_APP_LEN];
extern BOOL REQUIRE_LOGIN;

/* Every value the preferences file carries, in one record: the spooler-wide record with the two
   preferences held beside it. The key table (below) describes its fields. */
typedef struct {
    SPOOLER_GLOBALS globals;
    char            plateSearchApp[PLATE_APP_LEN];
    BOOL            requireLogin;
} PREFS_VALUES;

/* Copies the preferences in memory into v, and back. */
void Take_LivePrefs(PREFS_VALUES *v);
void Put_LivePrefs(const PREFS_VALUES *v);

/* The keys of the file, in the order the file lists them, as field rows (FT_PREFS of fields.h):
   the one table the reader and the writer work from. A row marked FF_RUNTIME (the preset index)
   describes a field that is not in the file. */
int              Prefs_FieldCount(void);
const FIELD_DEF *Prefs_Field(int i);
/* The key of row f as the file spells it ("SPOOLER_FILE_SETTLE_TIME"), or NULL for a row that is
   not in the file. */
const char      *Prefs_FileKey(const FIELD_DEF *f);

/* The whole file as the writer makes it from v. */
void Format_PrefsFile(OUTBUF *b, const PREFS_VALUES *v);
/* Takes the lines of a file's text into v as the reader does (the values of v are where a read
   starts from); the presets are not matched. */
void Read_PrefsText(PREFS_VALUES *v, const char *text, size_t len);

/* Reads "Preferences.cfg", or "Spooler.cfg" when that cannot be opened, into the record.
   The first call of the process starts from the defaults; later calls start from the values in
   memory, so a key missing from the file keeps its value. Out-of-range numbers are clamped.
   TRUE when a file was read; FALSE (nothing shown) when neither could be opened. */
BOOL Get_SpoolerGlobals(void);
/* Writes the whole record to "Preferences.cfg" (never to the older name) with the fixed header,
   order and comments. TRUE when the file was stored; a failure is shown to the operator and
   counted in storeFailures, and the file on disk then stays as it was. */
BOOL Store_SpoolerGlobals(void);
/* Sets SpoolerGlobals.RIPIndex to the preset whose two masks equal the record's (ignoring case),
   or to -1 when none does. A still matching current index is kept. */
void Match_RIPPreset(void);

/* Tests only: forget that the defaults were set, so the next read starts from them again. */
void Reset_SpoolerGlobalsForTest(void);
