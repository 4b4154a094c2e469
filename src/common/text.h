/* Bounded text handling. Every copy into a fixed field goes through these: they always
   terminate, never write past the given size and tell the caller when they had to cut. */
#pragma once
#include <windows.h>
#include <stddef.h>
#include <stdarg.h>
#include <stdint.h>

#define ARRAY_LEN(a) (sizeof(a) / sizeof((a)[0]))

/* A text of up to 260 characters and its terminator: every text field of the configuration, the
   identity strings, the published names, a parameter, a field as typed. */
#define TEXT_LEN 261

/* Copies src into dst (room for cap chars incl. NUL). Always terminates.
   TRUE when all of src fit, FALSE when it was cut. NULL src counts as "". */
BOOL Copy_Text(char *dst, size_t cap, const char *src);
/* Appends src to the text in dst, same contract. */
BOOL Append_Text(char *dst, size_t cap, const char *src);
/* Copies at most n characters of src (fewer when src is shorter); same contract
   (FALSE when the n characters did not fit). */
BOOL Copy_TextN(char *dst, size_t cap, const char *src, size_t n);
/* snprintf that always terminates; TRUE when the whole text fit. */
BOOL Format_Text(char *dst, size_t cap, const char *fmt, ...) __attribute__((format(printf, 3, 4)));
BOOL Format_TextV(char *dst, size_t cap, const char *fmt, va_list args);

/* Array-only forms: a pointer argument does not compile, so the size can never lie. */
template <size_t N> inline BOOL Copy_Field(char (&dst)[N], const char *src) { return Copy_Text(dst, N, src); }
template <size_t N> inline BOOL Append_Field(char (&dst)[N], const char *src) { return Append_Text(dst, N, src); }

/* Reads a decimal number at the start of text[0..len): blanks and tabs, an optional sign, then
   digits; what follows the digits is ignored. The value is held to lo..hi (a number of any length
   is read, never overflows). *used (may be NULL) gets the number of characters taken. FALSE,
   with nothing stored, when no digit follows the blanks and the sign. */
BOOL Read_Decimal(const char *text, size_t len, long long lo, long long hi, long long *value, size_t *used);

/* Reads a whole number of 0 or more from a field's text (blanks and tabs around it allowed; an
   empty text is 0). A number beyond the 32-bit range stays at its end. FALSE for anything else
   (a sign, a letter, a fraction), with nothing stored. */
BOOL Read_Count(const char *text, int32_t *value);

/* One line of a text held in memory. */
typedef struct {
    const char *text;       /* where the line starts */
    size_t      len;        /* its length without the line feed and one carriage return before it */
    size_t      rawLen;     /* its length as it stands in the text, line feed included */
    BOOL        ended;      /* a line feed ended it; FALSE for a last line that runs to the end */
} TEXT_LINE;
/* Takes the line of text[0..size) that starts at *pos and moves *pos past it. A line is taken
   whole however long it is, and a zero byte in it is part of it. FALSE at the end of the text. */
BOOL Next_TextLine(const char *text, size_t size, size_t *pos, TEXT_LINE *line);

/* Case-insensitive comparisons of plain ASCII text. */
int  Compare_NoCase(const char *a, const char *b);
BOOL Starts_With_NoCase(const char *text, const char *prefix);

/* A growable text buffer for building a whole file in memory before it is written.
   A failed allocation sets failed; later appends are ignored, and the writer refuses a failed buffer. */
typedef struct {
    char  *data;
    size_t len;
    size_t cap;
    BOOL   failed;
} OUTBUF;

void OutBuf_Init(OUTBUF *b);
void OutBuf_Free(OUTBUF *b);
BOOL OutBuf_Append(OUTBUF *b, const char *text, size_t len);
BOOL OutBuf_Puts(OUTBUF *b, const char *text);
BOOL OutBuf_Putc(OUTBUF *b, char c);
BOOL OutBuf_Printf(OUTBUF *b, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
