/* The fields of a "::"-separated line, as the queues file and the applications file hold them:
   the tokeniser that takes a line apart, the number readers of its fields and the writer of a
   text field. */
#pragma once
#include <windows.h>
#include <stddef.h>
#include <stdint.h>
#include "common/text.h"

#define MAX_LINE_FIELDS 48

typedef struct {
    const char *text;      /* start of the field inside the line */
    size_t      len;       /* its length; 0 = missing (an empty field and the end look the same) */
} FIELD_TEXT;

typedef struct {
    FIELD_TEXT field[MAX_LINE_FIELDS];
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

