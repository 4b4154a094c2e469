#include "config/keptlines.h"
#include "config/findings.h"
#include "common/appstate.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include <stdlib.h>
#include <string.h>

#define SNIPPET_LEN 100
#define WHY_LEN     200

KEPT_LINES keptQueueLines;
KEPT_LINES keptAppLines;

void Line_Snippet(char *out, size_t cap, const char *line, size_t len)
{
    size_t n = 0;
    BOOL cut = FALSE;
    for (size_t i = 0; i < len && line[i] != '\n' && line[i] != '\r'; i++) {
        if (n + 1 >= cap) {
            cut = TRUE;
            break;
        }
        unsigned char c = (unsigned char)line[i];
        out[n++] = (c < 32 || c == 127) ? '?' : (char)c;
    }
    out[n] = '\0';
    if (cut && cap > 4) Copy_Text(out + cap - 4, 4, "...");
}

/* TRUE when text[0..len) holds only blanks, tabs and line ends: a rest of the file with nothing
   in it to keep. */
static BOOL Is_BlankLines(const char *text, size_t len)
{
    for (size_t i = 0; i < len; i++)
        if (!(text[i] == '\r' || text[i] == '\n' || text[i] == ' ' || text[i] == '\t')) return FALSE;
    return TRUE;
}

/* A heap copy of text[0..len) with each CR LF turned into a line feed; NULL when the text holds
   nothing but blanks and line ends, or there is no memory. */
static char *Copy_KeptText(const char *text, size_t len, size_t *outLen)
{
    if (Is_BlankLines(text, len)) return NULL;
    char *copy = (char *)malloc(len + 1);
    if (copy == NULL) return NULL;
    size_t n = 0;
    for (size_t i = 0; i < len; i++) {
        if (text[i] == '\r' && i + 1 < len && text[i + 1] == '\n') continue;
        copy[n++] = text[i];
    }
    copy[n] = '\0';
    *outLen = n;
    return copy;
}

void Kept_Clear(KEPT_LINES *k)
{
    free(k->text);
    free(k->numbers);
    memset(k, 0, sizeof *k);
}

BOOL Kept_Keep(KEPT_LINES *k, const char *text, size_t len, const char *fileWords, const char *loadedWhat,
               const char *path, int lineNo, const char *why)
{
    Kept_Clear(k);
    char snippet[SNIPPET_LEN];
    Line_Snippet(snippet, sizeof snippet, text, len);
    k->text = Copy_KeptText(text, len, &k->len);
    if (k->text == NULL) {
        if (Is_BlankLines(text, len)) return FALSE;
        Trace("Could not keep the lines from line %d of %s: no memory\n", lineNo, path);
        if (!updateMode)
            Info_Box(programTitle, "Could not read all of the %s file\r\n\"%s\".\r\n\r\nReading stopped at line %d: "
                     "%s.\r\n%s\r\n\r\nThere is not enough memory to keep the rest of the file.",
                     fileWords, path, lineNo, why, snippet);
        return FALSE;
    }
    for (size_t i = 0; i < k->len; i++) k->lines += (k->text[i] == '\n' || i + 1 == k->len);
    Trace("Stopped reading at line %d (%s); keeping %u characters from there.\n", lineNo, why, (unsigned)k->len);
    if (!updateMode)
        Info_Box(programTitle,
                 "Could not read all of the %s file\r\n\"%s\".\r\n\r\nReading stopped at line %d: %s.\r\n%s\r\n\r\n"
                 "%s written back unchanged at the end of the file when the configuration is saved.",
                 fileWords, path, lineNo, why, snippet, loadedWhat);
    return TRUE;
}

BOOL Kept_AddNumber(KEPT_LINES *k, const char *at, size_t len, int32_t entry)
{
    KEPT_NUMBER *grown = (KEPT_NUMBER *)realloc(k->numbers, (size_t)(k->count + 1) * sizeof(KEPT_NUMBER));
    if (grown == NULL) return FALSE;
    k->numbers = grown;
    k->numbers[k->count].offset = (size_t)(at - k->text);
    k->numbers[k->count].len = len;
    k->numbers[k->count].entry = entry;
    k->count++;
    return TRUE;
}

void Kept_Write(OUTBUF *b, const KEPT_LINES *k, const APP_NUMBERING *numbers)
{
    size_t pos = 0;
    for (int n = 0; n < k->count; n++) {
        const KEPT_NUMBER *m = &k->numbers[n];
        int now = Entry_OfLoadNumber(numbers, m->entry);
        if (now == m->entry) continue;
        OutBuf_Append(b, k->text + pos, m->offset - pos);
        OutBuf_Printf(b, "%d", now);
        pos = m->offset + m->len;
    }
    OutBuf_Append(b, k->text + pos, k->len - pos);
}

int Read_KeptRecords(const char *text, size_t len, const char *path, const RECORD_FILE *f, KEPT_LINES *kept)
{
    int records = 0;
    size_t pos = 0, stopAt = len;
    char why[WHY_LEN] = "";
    char *line = NULL;
    size_t lineCap = 0;
    TEXT_LINE l;
    for (size_t at = 0; Next_TextLine(text, len, &pos, &l); at = pos) {
        size_t n = l.len;
        stopAt = at;
        Set_ReadLine(records + 1);
        if (n == 0) {
            Copy_Field(why, f->emptyWhy);
            break;
        }
        if (memchr(l.text, '\0', n) != NULL) {
            Copy_Field(why, "the line holds a zero byte");
            break;
        }
        if (records >= f->maxRecords) {
            Format_Text(why, sizeof why, f->fullWhy, f->maxRecords);
            break;
        }
        if (f->maxLineLen > 0 && n > f->maxLineLen) {
            Copy_Field(why, "the line is too long");
            break;
        }
        if (n + 1 > lineCap) {
            char *grown = (char *)realloc(line, n + 1);
            if (grown == NULL) {
                Copy_Field(why, "not enough memory to read the line");
                break;
            }
            line = grown;
            lineCap = n + 1;
        }
        memcpy(line, l.text, n);
        line[n] = '\0';
        if (!f->read(line, records, why, sizeof why, f->context)) break;
        records++;
        stopAt = len;
    }
    free(line);
    if (stopAt < len && !Is_BlankLines(text + stopAt, len - stopAt))
        Read_Finding(SEV_ERROR, "reading stopped at this line (%s): it and the lines after it are written back "
                     "unchanged but none of their %s can be edited; correct the line.", why, f->recordWords);
    if (stopAt < len) Kept_Keep(kept, text + stopAt, len - stopAt, f->fileWords, f->loadedWhat, path, records + 1, why);
    return records;
}
