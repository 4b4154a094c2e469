/* The queues file "Queues.cfg" (older name "Spooler.lkp", read but never written): one queue a
   line, input queues first, then output queues; fields joined by "::". The field tokeniser and
   the field writer here are shared with the applications file. */
#pragma once
#include <windows.h>
#include <stddef.h>
#include "common/text.h"
#include "config/model.h"

#define QUEUES_FILE       "Queues.cfg"
#define QUEUES_FILE_OLD   "Spooler.lkp"

/* Reads the queues file into targets and lbqs and sets targetCount and lbqCount. TRUE when a
   file was read (even an empty one); FALSE (both counts 0) when neither name could be opened.
   Reading stops at a damaged line, at an empty line and at a queue beyond the 200 the editor
   holds; the lines from there on are kept and written back unchanged by Store_TargetData, and
   the operator is told once (not in the update mode). */
BOOL Get_TargetData(void);
/* Writes the queues file (the previous one kept as "Queues.old"), the queues' process references
   as the entry numbers of the applications file being written. The records are not changed.
   TRUE when the file was stored; a failure is told to the operator and counted in storeFailures,
   and the previous file then stays as it was. */
BOOL Store_TargetData(void);

/* Reads one queue line (without its line end) into *t, zeroed first. *isLbq is set when the line
   is an input queue's (process reference 201); the caller copies the fields an LBQ keeps.
   FALSE when a required field is missing or unreadable or a value does not fit its field; why
   (may be NULL) then tells which. The queue-number offsets are not applied here. */
BOOL Parse_QueueLine(const char *line, Target *t, BOOL *isLbq, char *why, size_t whyCap);

/* Lines not taken at the last load: TRUE when there are some. */
BOOL Have_KeptQueueLines(void);
/* The application entry numbers (as at load) that the kept lines run, so that the renumbering
   before storing keeps those entries and Store_TargetData can write their new numbers. */
int  Kept_QueueRefCount(void);
int  Kept_QueueRef(int k);
void Clear_KeptQueueLines(void);

/* ---- the field tokeniser and writer of "::"-separated lines ---- */

#define MAX_LINE_FIELDS 48

typedef struct {
    const char *text;      /* start of the field inside the line */
    size_t      len;       /* its length; 0 = missing (an empty field and the end look the same) */
} FIELD_SPAN;

typedef struct {
    FIELD_SPAN field[MAX_LINE_FIELDS];
    int        count;      /* fields found (at most MAX_LINE_FIELDS; the rest of a longer line is ignored) */
} LINE_FIELDS;

/* Splits a line of len characters at each "::" (the left-most pair wins, a single ':' is part of
   the field); a carriage return ends the line. A field that ends in ": " is taken without its
   last space: the writer adds that space after a final colon (see Put_FieldText). */
void Split_Fields(const char *line, size_t len, LINE_FIELDS *out);
/* Reads a decimal number at the start of text (blanks, then an optional sign, then digits; what
   follows the digits is ignored). Values beyond 32 bits are held at the nearest limit.
   FALSE when there is no digit. */
BOOL Read_FieldNumber(const char *text, size_t len, int32_t *value);
/* The same for a 32-bit bit set written either signed or unsigned. */
BOOL Read_FieldBits(const char *text, size_t len, uint32_t *value);
/* Appends a text value as a field: never an empty field when spaceIfEmpty (a single space then),
   never a "::" inside it (written ": :") and never a final ':' (a space follows it), and no line
   breaks, so that a value can never shift the fields after it. A value that holds none of these
   is written exactly as it stands. */
void Put_FieldText(OUTBUF *b, const char *value, BOOL spaceIfEmpty);

