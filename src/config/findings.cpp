#include "config/findings.h"
#include "config/queuepages.h"
#include "common/rowset.h"
#include "common/text.h"
#include "common/trace.h"
#include <stdlib.h>
#include <string.h>

FINDINGS loadFindings;

static char s_ReadFile[FINDING_FILE_LEN];
static int  s_ReadLine;
static BOOL s_Reading;

void Clear_Findings(FINDINGS *list)
{
    list->count = 0;
    list->dropped = 0;
    list->nextSeq = 0;
}

static FINDING *Add_FindingV(FINDINGS *list, const char *file, int line, int severity, const char *fmt, va_list args)
{
    if (list->count >= FINDINGS_MAX) {
        list->dropped++;
        return NULL;
    }
    FINDING *f = &list->items[list->count++];
    memset(f, 0, sizeof *f);
    Copy_Field(f->file, file != NULL ? file : "");
    f->line = line > 0 ? line : 0;
    f->severity = (severity == SEV_ERROR) ? SEV_ERROR : SEV_WARNING;
    f->aboutKind = ROWREF_NONE;
    f->aboutPos = -1;
    f->page = QPAGE_NONE;
    f->seq = list->nextSeq++;
    Format_TextV(f->text, sizeof f->text, fmt, args);
    return f;
}

FINDING *Add_Finding(FINDINGS *list, const char *file, int line, int severity, const char *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    FINDING *f = Add_FindingV(list, file, line, severity, fmt, args);
    va_end(args);
    return f;
}

void Set_FindingAbout(FINDING *f, int kind, int pos, const char *name, int page)
{
    if (f == NULL) return;
    f->aboutKind = kind;
    f->aboutPos = pos;
    Copy_Field(f->aboutName, name != NULL ? name : "");
    f->page = page;
}

void Append_Findings(FINDINGS *dst, const FINDINGS *src)
{
    for (int i = 0; i < src->count; i++) {
        if (dst->count >= FINDINGS_MAX) {
            dst->dropped += src->count - i;
            break;
        }
        FINDING *f = &dst->items[dst->count++];
        *f = src->items[i];
        f->seq = dst->nextSeq++;
    }
    dst->dropped += src->dropped;
}

static int Compare_Findings(const void *pa, const void *pb)
{
    const FINDING *a = (const FINDING *)pa, *b = (const FINDING *)pb;
    int c = Compare_NoCase(a->file, b->file);
    if (c != 0) return c;
    if (a->line != b->line) return a->line < b->line ? -1 : 1;
    return a->seq < b->seq ? -1 : (a->seq > b->seq ? 1 : 0);
}

void Sort_Findings(FINDINGS *list)
{
    qsort(list->items, (size_t)list->count, sizeof list->items[0], Compare_Findings);
}

const char *Severity_Word(int severity) { return severity == SEV_ERROR ? "error" : "warning"; }

BOOL Format_Finding(const FINDING *f, char *out, size_t cap)
{
    if (f->line > 0) return Format_Text(out, cap, "%s:%d: %s: %s", f->file, f->line, Severity_Word(f->severity), f->text);
    return Format_Text(out, cap, "%s: %s: %s", f->file, Severity_Word(f->severity), f->text);
}

void Count_Findings(const FINDINGS *list, int *errors, int *warnings)
{
    int e = 0, w = 0;
    for (int i = 0; i < list->count; i++) {
        if (list->items[i].severity == SEV_ERROR) e++;
        else w++;
    }
    if (errors != NULL) *errors = e;
    if (warnings != NULL) *warnings = w;
}

/* ---- the readers ---- */

void Begin_ReadFindings(const char *file)
{
    Copy_Field(s_ReadFile, file);
    s_ReadLine = 0;
    s_Reading = TRUE;
}

void Set_ReadLine(int line) { s_ReadLine = line; }

void End_ReadFindings(void)
{
    s_Reading = FALSE;
    s_ReadLine = 0;
}

FINDING *Read_Finding(int severity, const char *fmt, ...)
{
    if (!s_Reading) return NULL;
    va_list args;
    va_start(args, fmt);
    FINDING *f = Add_FindingV(&loadFindings, s_ReadFile, s_ReadLine, severity, fmt, args);
    va_end(args);
    if (f != NULL) Trace("Finding: %s:%d: %s\n", f->file, f->line, f->text);
    return f;
}

void Note_Clamp(const char *what, long long value, long long lo, long long hi, long long held)
{
    if (value >= lo && value <= hi) return;
    Read_Finding(SEV_WARNING, "%s %lld is outside %lld to %lld and is taken as %lld; set a value in range.", what, value,
                 lo, hi, held);
}
