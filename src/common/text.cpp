#include "common/text.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <ctype.h>
#include <errno.h>

BOOL Copy_Text(char *dst, size_t cap, const char *src)
{
    if (dst == NULL || cap == 0) return FALSE;
    size_t len = (src != NULL) ? strlen(src) : 0;
    size_t n = (len < cap) ? len : cap - 1;          /* keep one slot for the NUL */
    if (n > 0) memmove(dst, src, n);
    dst[n] = '\0';
    return n == len;
}

BOOL Copy_TextN(char *dst, size_t cap, const char *src, size_t n)
{
    if (dst == NULL || cap == 0) return FALSE;
    size_t len = 0;
    if (src != NULL) while (len < n && src[len] != '\0') len++;
    size_t k = (len < cap) ? len : cap - 1;
    if (k > 0) memmove(dst, src, k);
    dst[k] = '\0';
    return k == len;
}

BOOL Append_Text(char *dst, size_t cap, const char *src)
{
    if (dst == NULL || cap == 0) return FALSE;
    size_t used = strnlen(dst, cap);
    if (used >= cap) { dst[cap - 1] = '\0'; return FALSE; }
    return Copy_Text(dst + used, cap - used, src);
}

BOOL Format_TextV(char *dst, size_t cap, const char *fmt, va_list args)
{
    if (dst == NULL || cap == 0) return FALSE;
    int n = vsnprintf(dst, cap, fmt, args);
    dst[cap - 1] = '\0';
    if (n < 0) { dst[0] = '\0'; return FALSE; }
    return (size_t)n < cap;
}

BOOL Format_Text(char *dst, size_t cap, const char *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    BOOL ok = Format_TextV(dst, cap, fmt, args);
    va_end(args);
    return ok;
}

BOOL Read_Count(const char *text, int32_t *value)
{
    const char *p = text;
    while (*p == ' ' || *p == '\t') p++;
    if (*p == '\0') {
        *value = 0;
        return TRUE;
    }
    if (!isdigit((unsigned char)*p)) return FALSE;
    char *end;
    errno = 0;
    unsigned long long v = strtoull(p, &end, 10);
    while (*end == ' ' || *end == '\t') end++;
    if (*end != '\0') return FALSE;
    if (errno == ERANGE || v > 2147483647ULL) v = 2147483647ULL;
    *value = (int32_t)v;
    return TRUE;
}

BOOL Read_Decimal(const char *text, size_t len, long long lo, long long hi, long long *value, size_t *used)
{
    size_t i = 0;
    while (i < len && (text[i] == ' ' || text[i] == '\t')) i++;
    BOOL negative = FALSE;
    if (i < len && (text[i] == '-' || text[i] == '+')) negative = (text[i++] == '-');
    if (i >= len || text[i] < '0' || text[i] > '9') return FALSE;
    long long n = 0;
    for (; i < len && text[i] >= '0' && text[i] <= '9'; i++)
        if (n < 100000000000LL) n = n * 10 + (text[i] - '0');      /* held at a bound below */
    if (negative) n = -n;
    *value = (n < lo) ? lo : (n > hi) ? hi : n;
    if (used != NULL) *used = i;
    return TRUE;
}

BOOL Next_TextLine(const char *text, size_t size, size_t *pos, TEXT_LINE *line)
{
    if (*pos >= size) return FALSE;
    const char *start = text + *pos;
    const char *nl = (const char *)memchr(start, '\n', size - *pos);
    size_t len = nl ? (size_t)(nl - start) : size - *pos;
    line->text = start;
    line->ended = (nl != NULL);
    line->rawLen = len + (nl ? 1 : 0);
    line->len = (len > 0 && start[len - 1] == '\r') ? len - 1 : len;
    *pos += line->rawLen;
    return TRUE;
}

int Compare_NoCase(const char *a, const char *b)
{
    for (;; a++, b++) {
        int ca = tolower((unsigned char)*a), cb = tolower((unsigned char)*b);
        if (ca != cb) return ca - cb;
        if (ca == 0) return 0;
    }
}

BOOL Starts_With_NoCase(const char *text, const char *prefix)
{
    for (; *prefix; text++, prefix++)
        if (tolower((unsigned char)*text) != tolower((unsigned char)*prefix)) return FALSE;
    return TRUE;
}

void OutBuf_Init(OUTBUF *b)
{
    b->data = NULL;
    b->len = b->cap = 0;
    b->failed = FALSE;
}

void OutBuf_Free(OUTBUF *b)
{
    free(b->data);
    OutBuf_Init(b);
}

static BOOL OutBuf_Reserve(OUTBUF *b, size_t more)
{
    if (b->failed) return FALSE;
    if (b->len + more + 1 <= b->cap) return TRUE;
    size_t cap = b->cap ? b->cap : 1024;
    while (cap < b->len + more + 1) cap *= 2;
    char *p = (char *)realloc(b->data, cap);
    if (p == NULL) { b->failed = TRUE; return FALSE; }
    b->data = p;
    b->cap = cap;
    return TRUE;
}

BOOL OutBuf_Append(OUTBUF *b, const char *text, size_t len)
{
    if (!OutBuf_Reserve(b, len)) return FALSE;
    if (len > 0) memcpy(b->data + b->len, text, len);
    b->len += len;
    b->data[b->len] = '\0';
    return TRUE;
}

BOOL OutBuf_Puts(OUTBUF *b, const char *text)
{
    return OutBuf_Append(b, text, strlen(text));
}

BOOL OutBuf_Putc(OUTBUF *b, char c)
{
    return OutBuf_Append(b, &c, 1);
}

BOOL OutBuf_Printf(OUTBUF *b, const char *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    int n = vsnprintf(NULL, 0, fmt, copy);
    va_end(copy);
    BOOL ok = FALSE;
    if (n >= 0 && OutBuf_Reserve(b, (size_t)n)) {
        vsnprintf(b->data + b->len, (size_t)n + 1, fmt, args);
        b->len += (size_t)n;
        ok = TRUE;
    } else if (n < 0) {
        b->failed = TRUE;
    }
    va_end(args);
    return ok;
}
