#include "config/fieldsplit.h"
#include <stdint.h>
#include <string.h>

void Split_Fields(const char *line, size_t len, LINE_FIELDS *out)
{
    out->count = 0;
    const char *cr = (const char *)memchr(line, '\r', len);
    if (cr != NULL) len = (size_t)(cr - line);
    size_t pos = 0;
    while (out->count < MAX_LINE_FIELDS) {
        size_t start = pos;
        while (pos < len && !(line[pos] == ':' && pos + 1 < len && line[pos + 1] == ':')) pos++;
        FIELD_TEXT *f = &out->field[out->count++];
        f->text = line + start;
        f->len = pos - start;
        /* the space the writer puts after a final colon */
        if (f->len >= 2 && f->text[f->len - 2] == ':' && f->text[f->len - 1] == ' ') f->len--;
        if (pos >= len) break;
        pos += 2;
    }
}

BOOL Read_FieldNumber(const char *text, size_t len, int32_t *value)
{
    long long v;
    if (!Read_Decimal(text, len, INT32_MIN, INT32_MAX, &v, NULL)) return FALSE;
    *value = (int32_t)v;
    return TRUE;
}

BOOL Read_FieldBits(const char *text, size_t len, uint32_t *value)
{
    long long v;
    if (!Read_Decimal(text, len, INT32_MIN, UINT32_MAX, &v, NULL)) return FALSE;
    *value = (uint32_t)v;
    return TRUE;
}

void Put_FieldText(OUTBUF *b, const char *value, BOOL spaceIfEmpty)
{
    if (value == NULL || value[0] == '\0') {
        if (spaceIfEmpty) OutBuf_Putc(b, ' ');
        return;
    }
    for (const char *p = value; *p != '\0'; p++) {
        char c = (*p == '\r' || *p == '\n') ? ' ' : *p;
        OutBuf_Putc(b, c);
        if (c == ':' && (p[1] == ':' || p[1] == '\0')) OutBuf_Putc(b, ' ');
    }
}
