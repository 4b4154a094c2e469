/* Every field of the configuration described once: the output queue, the input queue with its
   load-balancing settings and outputs, the application and the application group, the preferences
   and the users. For each field: a stable key (lower case; export files and the change log use
   it), the label the operator knows it by from the page that edits it, that page, the kind of
   value, where it lies in its record, and whether it is stored in a file at all.

   On top of the tables: a field's value as text for the operator (a choice by its name, a flag as
   "Yes" or "No", a time with its unit, a reference to another queue by that queue's name, the
   processes as the applications' paths and arguments), and the reverse, which holds a value to
   the limits the file readers hold it to and says when it did. */
#pragma once
#include <windows.h>
#include <stddef.h>
#include <stdint.h>
#include "common/range.h"
#include "config/model.h"
#include "config/queuepages.h"

struct CONFIG_IMAGE;

/* The records the tables describe. The preferences are the record PREFS_VALUES (prefsfile.h):
   the spooler-wide record with the plate search application and the log-in switch beside it. */
typedef enum {
    FT_TARGET,          /* Target: an output queue */
    FT_LBQ,             /* LBQ: an input queue */
    FT_APP,             /* App: an application */
    FT_APPGROUP,        /* AppGroup: the applications one queue runs together */
    FT_PREFS,           /* PREFS_VALUES: the preferences file's keys */
    FT_USER,            /* User: a user who may log in */
    FT_TABLE_COUNT
} FIELD_TABLE;

typedef enum {
    FK_TEXT,            /* a text as typed */
    FK_PATH,            /* a file or folder path */
    FK_NUMBER,          /* a whole number held to range; unitName (may be NULL) follows it */
    FK_DURATION,        /* a time held to range, stored in units of `unit` seconds (1 or 60) */
    FK_FLAG,            /* "Yes" / "No" (any value but 0 is Yes) */
    FK_CHOICE,          /* one of the values named in choices */
    FK_ACTION,          /* an action code named in choices, or (0 and more) a reference to the output
                           queue at that position, written with refFormat and the queue's name */
    FK_QUEUE_SET,       /* an input queue's output flags: the output queues by name */
    FK_PROCESSES,       /* a queue's processes (processRef with usesGroup and noProcesses): the
                           applications' paths with their arguments */
    FK_MEMBERS,         /* a group's members: the applications' paths with their arguments */
    FK_FILTER,          /* the file filtering bit set: the mode, "delete", and the bits in hex */
    FK_PORT,            /* the comms server port, "none", decimal, or hex as it was given */
    FK_PASSWORD,        /* never shown */
    FK_HANDLE,          /* an icon handle: no value to show */
} FIELD_KIND;

/* How the value is held in the record. */
typedef enum {
    FS_INT32, FS_UINT32, FS_INT16, FS_UINT16, FS_UINT8, FS_CHAR,
    FS_TEXT,            /* a char array of `size` bytes, terminator included */
    FS_TEXT_PTR,        /* a char * on the heap (the users) */
    FS_INT32_ARRAY,     /* `size` bytes of int32 (outputs, members) */
    FS_HANDLE,
} FIELD_STORAGE;

#define FF_RUNTIME    0x01   /* never written to a file: derived, bookkeeping, or a handle */
#define FF_SLOT       0x02   /* the slot's own state (an App's or AppGroup's free flag) */
#define FF_CLAMP_READ 0x04   /* FT_PREFS: the reader holds the number to range */

/* A value of a choice and its name. */
typedef struct {
    int32_t     value;
    const char *name;
} FIELD_CHOICE;

typedef struct {
    const char         *key;          /* stable, lower case, unique in its table */
    const char         *label;        /* as on its page, without mnemonic and colon */
    QUEUE_PAGE          page;         /* where it is edited; QPAGE_NONE: no dialog edits it */
    FIELD_KIND          kind;
    FIELD_STORAGE       storage;
    size_t              offset;       /* in its record */
    size_t              size;         /* bytes it takes in its record */
    unsigned            flags;        /* FF_... */
    FIELD_RANGE         range;        /* FK_NUMBER, FK_DURATION, FK_CHOICE and FK_ACTION given as numbers */
    const FIELD_CHOICE *choices;      /* FK_CHOICE, FK_ACTION */
    int                 choiceCount;
    const char         *unitName;     /* FK_NUMBER: "lines", ...; NULL: none */
    int                 unit;         /* FK_DURATION: seconds a stored unit stands for */
    const char         *refFormat;    /* FK_ACTION: "pass jobs to queue \"%s\"" */
    /* FK_CHOICE and FK_ACTION: what the queues file's reader makes of a number it reads (the
       replacements beyond a plain clamp: an initial state of 1 is 7, an open-file policy outside
       0 to 2 is 2, ...). NULL: clamp to range. */
    int32_t           (*readRule)(int32_t value);
    size_t              offset2;      /* FK_PORT: the hex flag beside the number (a BOOL) */
} FIELD_DEF;

/* The rows of a table, in the order of the record's fields (the preferences: in the order of
   their file). */
int              Field_Count(FIELD_TABLE table);
const FIELD_DEF *Field_At(FIELD_TABLE table, int i);
/* The row with that key, or NULL. */
const FIELD_DEF *Find_FieldByKey(FIELD_TABLE table, const char *key);
/* The row of the field that starts at offset in the record (offsetof(Target, copies)), or NULL. */
const FIELD_DEF *Find_FieldAt(FIELD_TABLE table, size_t offset);
/* The table a row belongs to, or -1 for a row of none. */
int              Field_Table(const FIELD_DEF *f);

/* The value of field f of record (a Target, LBQ, App, AppGroup, PREFS_VALUES or User as the
   table says) as the operator reads it, into out (cap bytes). config names the configuration the
   record belongs to, for references to queues and applications; NULL is the live configuration.
   TRUE when the whole text fit (out is cut and terminated otherwise). */
BOOL Format_FieldValue(const FIELD_DEF *f, const void *record, const struct CONFIG_IMAGE *config,
                       char *out, size_t cap);

/* The raw value of a numeric field (FS_INT32 .. FS_CHAR), sign-extended as stored. */
int32_t Get_FieldNumber(const FIELD_DEF *f, const void *record);
void    Set_FieldNumber(const FIELD_DEF *f, void *record, int32_t value);
/* TRUE when field f holds the same value in both records (texts as texts, not the bytes past
   their ends; a queue reference as the number it is; handles always equal). */
BOOL    Field_Equal(const FIELD_DEF *f, const void *a, const void *b);

/* What Parse_FieldValue made of a text. */
typedef struct {
    BOOL clamped;                     /* the value was outside what the field holds: it was held
                                         to it as the file reader would (number clamped, text cut) */
    char refName[TEXT_LEN];           /* FK_ACTION: the name of the queue referred to, "" for an
                                         action code; the caller resolves it (the field is left
                                         as it was) */
    char why[160];                    /* FALSE: what is wrong with the text */
} FIELD_PARSE;

/* Reads text (as Format_FieldValue writes it; a choice also by its number, a flag also as
   1/0/true/false, a duration also as a plain number of its stored unit) into field f of record.
   A value out of range is held to it as the reader of the field's file does, and result->clamped
   says so. FALSE with result->why, and the record unchanged, when the text is no value of the
   field, or for the kinds that are given by name and resolved by the caller (FK_QUEUE_SET,
   FK_PROCESSES, FK_MEMBERS), runtime fields, handles and passwords. */
BOOL Parse_FieldValue(const FIELD_DEF *f, const char *text, void *record, FIELD_PARSE *result);

/* ---- building rows (constant expressions: the tables are built at compile time) ---- */

constexpr FIELD_DEF Field_Row(const char *key, const char *label, QUEUE_PAGE page, FIELD_KIND kind,
                              FIELD_STORAGE storage, size_t offset, size_t size)
{
    FIELD_DEF f{};
    f.key = key;
    f.label = label;
    f.page = page;
    f.kind = kind;
    f.storage = storage;
    f.offset = offset;
    f.size = size;
    return f;
}
constexpr FIELD_DEF With_Flags(FIELD_DEF f, unsigned flags) { f.flags |= flags; return f; }
constexpr FIELD_DEF With_Range(FIELD_DEF f, FIELD_RANGE r) { f.range = r; return f; }
constexpr FIELD_DEF With_Unit(FIELD_DEF f, const char *unitName, int unitSeconds)
{
    f.unitName = unitName;
    f.unit = unitSeconds;
    return f;
}
constexpr FIELD_DEF With_Choices(FIELD_DEF f, const FIELD_CHOICE *choices, int count)
{
    f.choices = choices;
    f.choiceCount = count;
    return f;
}
/* A choice of action codes that is also a reference to a queue (0 and more). */
constexpr FIELD_DEF With_Reference(FIELD_DEF f, const char *refFormat)
{
    f.kind = FK_ACTION;
    f.refFormat = refFormat;
    return f;
}
constexpr FIELD_DEF With_ReadRule(FIELD_DEF f, int32_t (*rule)(int32_t)) { f.readRule = rule; return f; }
constexpr FIELD_DEF With_Companion(FIELD_DEF f, size_t offset2) { f.offset2 = offset2; return f; }
