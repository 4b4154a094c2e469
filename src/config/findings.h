/* Findings: what is wrong with an installation, each with where it is (the file relative to the
   home, the line), how bad it is, what it concerns (a queue, an input queue, an application, the
   preferences, the users) and one sentence that says what is wrong and what to do.

   The file readers tell what they repair, clamp, skip or drop while loading (loadFindings); they
   never change what they read because of it. The checks of the whole configuration add theirs to
   a list of the caller's (config/layoutchecks.h). Window-free: `-check` prints a list, the Check
   dialog shows one, the OK question compares two.

       Begin_ReadFindings("Queues.cfg");
       for (each line) {
           Set_ReadLine(lineNo);
           ...
           Read_Finding(SEV_WARNING, "the priority %d is outside 1 to 7 and is taken as 7.", v);
       }
       End_ReadFindings(); */
#pragma once
#include <windows.h>
#include <stddef.h>
#include "config/model.h"

#define FINDING_FILE_LEN  40       /* "queue\engine.q" and the like */
#define FINDING_TEXT_LEN  520      /* one sentence, two paths in it */
#define FINDING_LINE_LEN  (FINDING_FILE_LEN + 32 + FINDING_TEXT_LEN)
#define FINDINGS_MAX      1000     /* findings one list keeps; more are counted in dropped */

#define SEV_ERROR    0
#define SEV_WARNING  1

/* Where a finding comes from. */
#define FIND_READ         0      /* a file reader repaired, clamped, skipped or dropped something */
#define FIND_CHECK        1      /* a check that refuses a save (the applications, the names, ...) */
#define FIND_LAYOUT       2      /* how the queues' folders fit together */
#define FIND_MISSING_DIR  3      /* a folder the configuration names is not there (a save makes it) */

/* What a finding concerns: the ROWREF_ kinds of common/rowset.h (ROWREF_TARGET, ROWREF_LBQ, ...). */
typedef struct {
    char file[FINDING_FILE_LEN];     /* relative to the home: "Queues.cfg", "queue\engine.q" */
    int  line;                       /* 1-based; 0 when no line applies */
    int  severity;                   /* SEV_ERROR or SEV_WARNING */
    int  aboutKind;                  /* ROWREF_NONE when it concerns the file as a whole */
    int  aboutPos;                   /* the position in its array; -1 for none */
    char aboutName[TEXT_LEN];        /* the queue's (application's, user's) name as it was then */
    int  page;                       /* a QUEUE_PAGE: where the field is edited; QPAGE_NONE */
    int  kind;                       /* FIND_...; Add_Finding gives FIND_READ */
    int  seq;                        /* the order it was added in: keeps a sort stable */
    char text[FINDING_TEXT_LEN];
} FINDING;

typedef struct {
    int     count;
    int     dropped;                 /* findings past FINDINGS_MAX, not kept */
    int     nextSeq;
    FINDING items[FINDINGS_MAX];
} FINDINGS;

/* What the readers told at the last load (emptied when a load begins). */
extern FINDINGS loadFindings;

void Clear_Findings(FINDINGS *list);
/* Adds a finding about no particular record; NULL when the list is full (counted in dropped). */
FINDING *Add_Finding(FINDINGS *list, const char *file, int line, int severity, const char *fmt, ...)
    __attribute__((format(printf, 5, 6)));
/* Says what the finding concerns. */
void Set_FindingAbout(FINDING *f, int kind, int pos, const char *name, int page);
/* Appends every finding of src to dst (their order kept). */
void Append_Findings(FINDINGS *dst, const FINDINGS *src);
/* Sorts by file (name without regard to case), then by line (no line first); findings of one
   place keep the order they were added in. */
void Sort_Findings(FINDINGS *list);
/* "FILE:LINE: SEVERITY: TEXT", or "FILE: SEVERITY: TEXT" without a line; SEVERITY is "error" or
   "warning". TRUE when the whole line fit. */
BOOL Format_Finding(const FINDING *f, char *out, size_t cap);
const char *Severity_Word(int severity);
void Count_Findings(const FINDINGS *list, int *errors, int *warnings);

/* ---- the readers ---- */
/* A reader begins telling about file (relative to the home); the findings go to loadFindings. */
void Begin_ReadFindings(const char *file);
/* The 1-based line the reader is at; 0 for none. */
void Set_ReadLine(int line);
/* The reader is done: Read_Finding adds nothing until the next Begin_ReadFindings, so the same
   parsing used elsewhere (an import, a dialog) tells nothing. */
void End_ReadFindings(void);
/* Adds a finding at the reader's file and line; NULL outside a reading or when full. */
FINDING *Read_Finding(int severity, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
/* The finding of a number the reader held to its range: "<what> <value> is outside <lo> to <hi>
   and is taken as <held>". Nothing when the value was in range. */
void Note_Clamp(const char *what, long long value, long long lo, long long hi, long long held);
