#include "config/exchange.h"
#include "config/fields.h"
#include "config/oemapps.h"
#include "config/storefile.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/trace.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The characters a queue name may not hold (as the queue editor refuses them). */
#define NAME_FORBIDDEN "/\\\":*?<>|"

/* ---- small helpers ---- */

static BOOL Has_Text(const char *s) { return s != NULL && s[0] != '\0'; }

/* A path without the double quotes around it. */
static void Unquoted(const char *in, char *out, size_t cap)
{
    Copy_Text(out, cap, in);
    Strip_Quotes(out);
}

BOOL Replace_PathRoot(const char *path, const char *fromRoot, const char *toRoot, char *out, size_t cap)
{
    size_t n = strlen(fromRoot);
    while (n > 0 && fromRoot[n - 1] == '\\') n--;
    if (n == 0 || _strnicmp(path, fromRoot, n) != 0 || (path[n] != '\\' && path[n] != '\0')) {
        Copy_Text(out, cap, path);
        return FALSE;
    }
    size_t m = strlen(toRoot);
    while (m > 0 && toRoot[m - 1] == '\\') m--;
    BOOL fit = Copy_TextN(out, cap, toRoot, m);
    fit = Append_Text(out, cap, path + n) && fit;
    return fit;
}

/* A file's text as lines joined by "\n" (carriage returns dropped), and whether its last line
   ended with a line break. NULL when it cannot be read. */
static char *Read_TextLines(const char *path, BOOL *lastEnded)
{
    size_t len = 0;
    char *data = Read_WholeFile(path, &len);
    if (data == NULL) return NULL;
    char *out = (char *)malloc(len + 1);
    if (out == NULL) {
        free(data);
        return NULL;
    }
    size_t pos = 0, o = 0;
    TEXT_LINE line;
    *lastEnded = FALSE;
    while (Next_TextLine(data, len, &pos, &line)) {
        if (o > 0) out[o++] = '\n';
        memcpy(out + o, line.text, line.len);
        o += line.len;
        *lastEnded = line.ended;
    }
    out[o] = '\0';
    free(data);
    return out;
}

/* Writes text (lines joined by "\n") as "key=line" lines, then "<endKey>=No" when the last line
   had no line break. */
static void Put_Lines(OUTBUF *b, const char *key, const char *text, BOOL lastEnded, const char *endKey)
{
    const char *p = text;
    if (*p != '\0' || lastEnded) {
        for (;;) {
            const char *nl = strchr(p, '\n');
            size_t n = nl != NULL ? (size_t)(nl - p) : strlen(p);
            OutBuf_Printf(b, "%s=%.*s\n", key, (int)n, p);
            if (nl == NULL) break;
            p = nl + 1;
        }
    }
    if (!lastEnded) OutBuf_Printf(b, "%s=No\n", endKey);
}

/* ---- export ---- */

static char s_Value[MAX_TARGETS * (TEXT_LEN + 4) + 64];   /* one value as text (an input queue's outputs are long) */

static void Put_Field(OUTBUF *b, const FIELD_DEF *f, const void *record)
{
    if (!Format_FieldValue(f, record, NULL, s_Value, sizeof s_Value))
        Trace("Build_Export: the value of %s was cut\n", f->key);
    OutBuf_Printf(b, "%s=%s\n", f->key, s_Value);
}

/* Every stored field of record in its table's order; a field of kind skip is left to the caller. */
static void Put_Fields(OUTBUF *b, FIELD_TABLE table, const void *record, FIELD_KIND skip)
{
    for (int i = 0; i < Field_Count(table); i++) {
        const FIELD_DEF *f = Field_At(table, i);
        if ((f->flags & FF_RUNTIME) || f->kind == skip) continue;
        Put_Field(b, f, record);
    }
}

static BOOL Used_App(int s) { return s >= 0 && s < MAX_APPS && !apps[s].free; }
static BOOL Used_Group(int s) { return s >= 0 && s < MAX_APPGROUPS && !appGroups[s].free; }

BOOL Build_Export(const int *targetPos, int nTargets, const int *lbqPos, int nLbqs, OUTBUF *b)
{
    Trace("Build_Export ( %d output queues, %d input queues )\n", nTargets, nLbqs);
    static int appNo[MAX_APPS], groupNo[MAX_APPGROUPS];
    for (int i = 0; i < MAX_APPS; i++) appNo[i] = -1;
    for (int i = 0; i < MAX_APPGROUPS; i++) groupNo[i] = -1;
    for (int k = 0; k < nTargets; k++) {
        const Target *t = &targets[targetPos[k]];
        if (t->noProcesses || t->processRef == NO_PROCESSES) continue;
        if (!t->usesGroup) {
            if (Used_App(t->processRef)) appNo[t->processRef] = 0;
            continue;
        }
        if (!Used_Group(t->processRef)) continue;
        const AppGroup *g = &appGroups[t->processRef];
        groupNo[t->processRef] = 0;
        for (int m = 0; m < g->count && m < MAX_GROUP_MEMBERS; m++)
            if (Used_App(g->members[m])) appNo[g->members[m]] = 0;
    }
    int n = 0;
    for (int s = 0; s < MAX_APPS; s++)
        if (appNo[s] == 0) appNo[s] = ++n;
    n = 0;
    for (int s = 0; s < MAX_APPGROUPS; s++)
        if (groupNo[s] == 0) groupNo[s] = ++n;

    OutBuf_Printf(b, "%s %d\n", EXPORT_HEADER, EXPORT_VERSION);
    OutBuf_Puts(b, "# Queues exported by the queue editor: Import... in its main window, or Editor.exe -import,\n"
                   "# adds them to another installation.\n");
    OutBuf_Printf(b, "home=%s\n", homeDir != NULL ? homeDir : "");

    for (int s = 0; s < MAX_APPS; s++) {
        if (appNo[s] < 0) continue;
        OutBuf_Puts(b, "\n[application]\n");
        Put_Fields(b, FT_APP, &apps[s], FK_HANDLE);
        char utility[TEXT_LEN];
        int lineNo = -1;
        if (Lookup_OEMApp(apps[s].path, &lineNo, utility, sizeof utility)) OutBuf_Printf(b, "association=%s\n", utility);
    }
    for (int s = 0; s < MAX_APPGROUPS; s++) {
        if (groupNo[s] < 0) continue;
        const AppGroup *g = &appGroups[s];
        OutBuf_Puts(b, "\n[group]\nmembers=");
        for (int m = 0; m < g->count && m < MAX_GROUP_MEMBERS; m++)
            OutBuf_Printf(b, "%sapplication %d", m > 0 ? ", " : "", Used_App(g->members[m]) ? appNo[g->members[m]] : 0);
        OutBuf_Puts(b, "\n");
        for (int i = 0; i < Field_Count(FT_APPGROUP); i++) {
            const FIELD_DEF *f = Field_At(FT_APPGROUP, i);
            if ((f->flags & FF_RUNTIME) || f->kind == FK_MEMBERS || strcmp(f->key, "count") == 0) continue;
            Put_Field(b, f, g);
        }
    }
    for (int k = 0; k < nLbqs; k++) {
        OutBuf_Puts(b, "\n[input queue]\n");
        Put_Fields(b, FT_LBQ, &lbqs[lbqPos[k]], FK_HANDLE);
    }
    for (int k = 0; k < nTargets; k++) {
        const Target *t = &targets[targetPos[k]];
        OutBuf_Puts(b, "\n[output queue]\n");
        for (int i = 0; i < Field_Count(FT_TARGET); i++) {
            const FIELD_DEF *f = Field_At(FT_TARGET, i);
            if (f->flags & FF_RUNTIME) continue;
            if (f->kind != FK_PROCESSES) {
                Put_Field(b, f, t);
            } else if (t->noProcesses || t->processRef == NO_PROCESSES) {
                OutBuf_Puts(b, "processes=none\n");
            } else if (t->usesGroup && Used_Group(t->processRef)) {
                OutBuf_Printf(b, "processes=group %d\n", groupNo[t->processRef]);
            } else if (!t->usesGroup && Used_App(t->processRef)) {
                OutBuf_Printf(b, "processes=application %d\n", appNo[t->processRef]);
            } else {
                Trace("Build_Export: queue %d names application entry %d, which is not there\n", targetPos[k] + 1,
                      t->processRef);
                OutBuf_Puts(b, "processes=none\n");
            }
            if (strcmp(f->key, "parameters") == 0 && t->parametersIsFile) {
                char path[TEXT_LEN];
                Unquoted(t->parameters, path, sizeof path);
                BOOL ended = TRUE;
                char *text = Read_TextLines(path, &ended);
                OutBuf_Puts(b, "parameters_are_a_file=Yes\n");
                if (text != NULL) Put_Lines(b, "parameter_file_line", text, ended, "parameter_file_last_line_ended");
                free(text);
            }
        }
    }
    char cmdPath[PATH_LEN];
    if (homeDir != NULL && Home_Path(cmdPath, sizeof cmdPath, homeDir, COMMAND_LINE_FILE) && File_Exists(cmdPath)) {
        BOOL ended = TRUE;
        char *text = Read_TextLines(cmdPath, &ended);
        if (text != NULL) {
            OutBuf_Puts(b, "\n[command-line parameters]\n");
            Put_Lines(b, "line", text, ended, "last_line_ended");
            free(text);
        }
    }
    OutBuf_Puts(b, "\n[end]\n");
    return !b->failed;
}

BOOL Write_Export(const char *path, const int *targetPos, int nTargets, const int *lbqPos, int nLbqs)
{
    Trace("Write_Export ( %s )\n", path);
    OUTBUF b;
    OutBuf_Init(&b);
    Build_Export(targetPos, nTargets, lbqPos, nLbqs, &b);
    BOOL ok = Store_TextFile(path, &b, FALSE, "Could not write the export file. Nothing was exported.\r\n\"%s\"");
    OutBuf_Free(&b);
    Trace(ok ? "Write_Export: written\n" : "Write_Export: not written\n");
    return ok;
}

/* ---- reading an export file ---- */

typedef enum { SEC_NONE, SEC_APP, SEC_GROUP, SEC_LBQ, SEC_TARGET, SEC_CMDLINE, SEC_END } SECTION;

static const struct {
    const char *name;
    SECTION     section;
} k_Sections[] = {
    { "application", SEC_APP }, { "group", SEC_GROUP }, { "input queue", SEC_LBQ },
    { "output queue", SEC_TARGET }, { "command-line parameters", SEC_CMDLINE }, { "end", SEC_END },
};

typedef struct {
    IMPORT_PLAN *plan;
    SECTION      section;
    int          sectionLine;
    unsigned char seen[64];     /* the keys of the section given so far, by field index */
    BOOL         seenOwn[8];    /* keys of this file's own */
    BOOL         paramEnded;
    size_t       paramLen;
    BOOL         cmdEnded;
    size_t       cmdLen;
} READER;

static BOOL Refuse_At(IMPORT_PLAN *plan, int line, const char *fmt, ...) __attribute__((format(printf, 3, 4)));
static BOOL Refuse_At(IMPORT_PLAN *plan, int line, const char *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    Format_TextV(plan->reason, sizeof plan->reason, fmt, args);
    va_end(args);
    plan->refused = TRUE;
    plan->badLine = line;
    Trace("Read_Export: refused at line %d: %s\n", line, plan->reason);
    return FALSE;
}

static void Add_Note(IMPORT_PLAN *plan, IMPORT_NOTE_KIND kind, BOOL blocking, const char *fmt, ...)
    __attribute__((format(printf, 4, 5)));
static void Add_Note(IMPORT_PLAN *plan, IMPORT_NOTE_KIND kind, BOOL blocking, const char *fmt, ...)
{
    if (blocking) plan->blockingCount++;
    if (plan->noteCount >= IMPORT_MAX_NOTES) return;
    IMPORT_NOTE *n = &plan->notes[plan->noteCount++];
    n->kind = kind;
    n->blocking = blocking;
    va_list args;
    va_start(args, fmt);
    Format_TextV(n->text, sizeof n->text, fmt, args);
    va_end(args);
}

/* Appends a line to a text on the heap (lines joined by "\n"), at most IMPORT_MAX_TEXT long. */
static BOOL Append_Line(char **text, size_t *len, const char *line, size_t n)
{
    size_t add = n + (*text != NULL ? 1 : 0);
    if (*len + add > IMPORT_MAX_TEXT) return FALSE;
    char *grown = (char *)realloc(*text, *len + add + 1);
    if (grown == NULL) return FALSE;
    if (*text != NULL) grown[(*len)++] = '\n';
    memcpy(grown + *len, line, n);
    *len += n;
    grown[*len] = '\0';
    *text = grown;
    return TRUE;
}

/* "application 3" (or "3") of a section list of count entries: the index from 0, or -1. */
static int Read_SectionNumber(const char *text, const char *word, int count)
{
    while (*text == ' ') text++;
    size_t w = strlen(word);
    if (_strnicmp(text, word, w) == 0 && text[w] == ' ') text += w + 1;
    long long v;
    size_t used = 0;
    if (!Read_Decimal(text, strlen(text), 0, 100000, &v, &used)) return -1;
    const char *end = text + used;
    while (*end == ' ') end++;
    if (*end != '\0' || v < 1 || v > count) return -1;
    return (int)v - 1;
}

static const char *Section_What(SECTION s)
{
    switch (s) {
    case SEC_APP:    return "application";
    case SEC_GROUP:  return "group";
    case SEC_LBQ:    return "input queue";
    case SEC_TARGET: return "output queue";
    default:         return "section";
    }
}

/* The end of a section: what it must hold. */
static BOOL End_Section(READER *r, int line)
{
    IMPORT_PLAN *p = r->plan;
    switch (r->section) {
    case SEC_APP:
        if (!Has_Text(p->apps[p->appCount - 1].app.path))
            return Refuse_At(p, r->sectionLine, "the application has no path");
        break;
    case SEC_GROUP:
        if (p->groups[p->groupCount - 1].group.count < 2)
            return Refuse_At(p, r->sectionLine, "the group has no members (\"members=\" naming two to four applications)");
        break;
    case SEC_LBQ:
    case SEC_TARGET: {
        IMPORT_QUEUE *q = &p->queues[p->queueCount - 1];
        if (!Has_Text(q->fileName)) return Refuse_At(p, r->sectionLine, "the %s has no name", Section_What(r->section));
        const char *hot = q->isInput ? q->lbq.hotDir : q->target.hotDir;
        if (!Has_Text(hot)) return Refuse_At(p, r->sectionLine, "the %s \"%s\" has no hot directory",
                                             Section_What(r->section), q->fileName);
        break;
    }
    default:
        break;
    }
    (void)line;
    return TRUE;
}

static BOOL Begin_Section(READER *r, const char *name, int line)
{
    IMPORT_PLAN *p = r->plan;
    SECTION s = SEC_NONE;
    for (const auto &k : k_Sections)
        if (strcmp(k.name, name) == 0) s = k.section;
    if (s == SEC_NONE) return Refuse_At(p, line, "unknown section \"[%s]\"", name);
    if (!End_Section(r, line)) return FALSE;
    r->section = s;
    r->sectionLine = line;
    memset(r->seen, 0, sizeof r->seen);
    memset(r->seenOwn, 0, sizeof r->seenOwn);
    switch (s) {
    case SEC_APP: {
        if (p->appCount >= MAX_APPS) return Refuse_At(p, line, "more than %d applications", MAX_APPS);
        IMPORT_APP *a = &p->apps[p->appCount++];
        memset(a, 0, sizeof *a);
        /* an application as the queue editor adds one for a queue that runs it alone */
        a->app.priority = 'N';
        a->app.compatV3 = 1;
        a->reuse = a->slot = -1;
        break;
    }
    case SEC_GROUP: {
        if (p->groupCount >= MAX_APPGROUPS) return Refuse_At(p, line, "more than %d groups", MAX_APPGROUPS);
        IMPORT_GROUP *g = &p->groups[p->groupCount++];
        memset(g, 0, sizeof *g);
        g->group.priority = 'N';
        g->reuse = g->slot = -1;
        break;
    }
    case SEC_LBQ:
    case SEC_TARGET: {
        if (p->queueCount >= MAX_QUEUES) return Refuse_At(p, line, "more than %d queues", MAX_QUEUES);
        IMPORT_QUEUE *q = &p->queues[p->queueCount++];
        memset(q, 0, sizeof *q);
        q->isInput = s == SEC_LBQ;
        q->line = line;
        /* what a new queue starts from, as Add makes it; the file gives every stored field */
        if (q->isInput) {
            Init_NewLBQ(&q->lbq, "");
        } else {
            Init_NewTarget(&q->target, "");
            q->target.slotIndex = 0;
        }
        q->procKind = 0;
        r->paramEnded = TRUE;
        r->paramLen = 0;
        break;
    }
    case SEC_CMDLINE:
        if (p->commandLineText != NULL) return Refuse_At(p, line, "a second section \"[command-line parameters]\"");
        r->cmdEnded = TRUE;
        r->cmdLen = 0;
        p->commandLineText = (char *)calloc(1, 1);
        if (p->commandLineText == NULL) return Refuse_At(p, line, "not enough memory");
        break;
    default:
        break;
    }
    return TRUE;
}

/* The name a note gives the section being read. */
static void Section_Title(READER *r, char *out, size_t cap)
{
    IMPORT_PLAN *p = r->plan;
    if ((r->section == SEC_LBQ || r->section == SEC_TARGET) && Has_Text(p->queues[p->queueCount - 1].fileName))
        Format_Text(out, cap, "%s \"%s\"", r->section == SEC_LBQ ? "Input queue" : "Output queue",
                    p->queues[p->queueCount - 1].fileName);
    else if (r->section == SEC_APP && Has_Text(p->apps[p->appCount - 1].app.path))
        Format_Text(out, cap, "Application \"%s\"", p->apps[p->appCount - 1].app.path);
    else
        Format_Text(out, cap, "The %s at line %d", Section_What(r->section), r->sectionLine);
}

/* A value of the field tables: read as the field's file reader reads it; a value held to range
   is noted. */
static BOOL Read_TableValue(READER *r, FIELD_TABLE table, void *record, const char *key, const char *value, int line,
                            FIELD_PARSE *parse)
{
    IMPORT_PLAN *p = r->plan;
    const FIELD_DEF *f = Find_FieldByKey(table, key);
    if (f == NULL || (f->flags & FF_RUNTIME) || f->kind == FK_HANDLE)
        return Refuse_At(p, line, "unknown key \"%s\" in the %s", key, Section_What(r->section));
    int index = 0;
    for (int i = 0; i < Field_Count(table); i++)
        if (Field_At(table, i) == f) index = i;
    if (index < (int)sizeof r->seen && r->seen[index])
        return Refuse_At(p, line, "\"%s\" is given twice in the %s", key, Section_What(r->section));
    if (index < (int)sizeof r->seen) r->seen[index] = 1;
    if (!Parse_FieldValue(f, value, record, parse))
        return Refuse_At(p, line, "the value of \"%s\" (%s) cannot be read: %s", key, value, parse->why);
    if (parse->clamped) {
        char title[TEXT_LEN + 40], held[TEXT_LEN];
        Section_Title(r, title, sizeof title);
        Format_FieldValue(f, record, NULL, held, sizeof held);
        Add_Note(p, IN_CLAMPED, FALSE, "%s: %s \"%s\" is held to \"%s\" (line %d)", title, f->label, value, held, line);
    }
    return TRUE;
}

static BOOL Own_KeyOnce(READER *r, int which, const char *key, int line)
{
    if (r->seenOwn[which])
        return Refuse_At(r->plan, line, "\"%s\" is given twice in the %s", key, Section_What(r->section));
    r->seenOwn[which] = TRUE;
    return TRUE;
}

static BOOL Read_Flag(IMPORT_PLAN *p, const char *key, const char *value, int line, BOOL *out)
{
    if (Compare_NoCase(value, "Yes") == 0) *out = TRUE;
    else if (Compare_NoCase(value, "No") == 0) *out = FALSE;
    else return Refuse_At(p, line, "the value of \"%s\" (%s) cannot be read: not Yes or No", key, value);
    return TRUE;
}

static BOOL Read_KeyValue(READER *r, const char *key, const char *value, int line)
{
    IMPORT_PLAN *p = r->plan;
    FIELD_PARSE parse;
    switch (r->section) {
    case SEC_NONE:
        if (strcmp(key, "home") == 0) {
            if (!Own_KeyOnce(r, 0, key, line)) return FALSE;
            Copy_Field(p->sourceHome, value);
            return TRUE;
        }
        return Refuse_At(p, line, "unknown key \"%s\" before the first section", key);
    case SEC_APP: {
        IMPORT_APP *a = &p->apps[p->appCount - 1];
        if (strcmp(key, "association") == 0) {
            if (!Own_KeyOnce(r, 0, key, line)) return FALSE;
            Copy_Field(a->association, value);
            return TRUE;
        }
        return Read_TableValue(r, FT_APP, &a->app, key, value, line, &parse);
    }
    case SEC_GROUP: {
        IMPORT_GROUP *g = &p->groups[p->groupCount - 1];
        if (strcmp(key, "members") == 0) {
            if (!Own_KeyOnce(r, 0, key, line)) return FALSE;
            char list[TEXT_LEN];
            if (!Copy_Field(list, value)) return Refuse_At(p, line, "the members are too long");
            int count = 0;
            for (char *item = strtok(list, ","); item != NULL; item = strtok(NULL, ",")) {
                if (count >= MAX_GROUP_MEMBERS)
                    return Refuse_At(p, line, "a group runs at most %d applications", MAX_GROUP_MEMBERS);
                int a = Read_SectionNumber(item, "application", p->appCount);
                if (a < 0)
                    return Refuse_At(p, line, "the member \"%s\" is not one of the %d applications before it", item,
                                     p->appCount);
                g->group.members[count++] = a;
            }
            if (count < 2) return Refuse_At(p, line, "a group runs two to four applications");
            g->group.count = count;
            return TRUE;
        }
        if (strcmp(key, "count") == 0) return Refuse_At(p, line, "unknown key \"%s\" in the group", key);
        return Read_TableValue(r, FT_APPGROUP, &g->group, key, value, line, &parse);
    }
    case SEC_LBQ: {
        IMPORT_QUEUE *q = &p->queues[p->queueCount - 1];
        if (strcmp(key, "outputs") == 0) {
            if (!Own_KeyOnce(r, 0, key, line)) return FALSE;
            q->outputs = _strdup(value);
            if (q->outputs == NULL) return Refuse_At(p, line, "not enough memory");
            return TRUE;
        }
        if (!Read_TableValue(r, FT_LBQ, &q->lbq, key, value, line, &parse)) return FALSE;
        if (strcmp(key, "name") == 0) Copy_Field(q->fileName, q->lbq.name);
        return TRUE;
    }
    case SEC_TARGET: {
        IMPORT_QUEUE *q = &p->queues[p->queueCount - 1];
        if (strcmp(key, "processes") == 0) {
            if (!Own_KeyOnce(r, 0, key, line)) return FALSE;
            if (Compare_NoCase(value, "none") == 0) {
                q->procKind = 0;
            } else if (_strnicmp(value, "group ", 6) == 0) {
                q->procKind = 2;
                q->procIndex = Read_SectionNumber(value, "group", p->groupCount);
            } else {
                q->procKind = 1;
                q->procIndex = Read_SectionNumber(value, "application", p->appCount);
            }
            if (q->procKind != 0 && q->procIndex < 0)
                return Refuse_At(p, line, "the processes \"%s\" are none of the applications or groups before them", value);
            return TRUE;
        }
        if (strcmp(key, "parameters_are_a_file") == 0) {
            if (!Own_KeyOnce(r, 1, key, line)) return FALSE;
            return Read_Flag(p, key, value, line, &q->paramIsFile);
        }
        if (strcmp(key, "parameter_file_line") == 0) {
            if (!Append_Line(&q->paramText, &r->paramLen, value, strlen(value)))
                return Refuse_At(p, line, "the parameter file is longer than %d bytes", IMPORT_MAX_TEXT);
            return TRUE;
        }
        if (strcmp(key, "parameter_file_last_line_ended") == 0) {
            if (!Own_KeyOnce(r, 2, key, line)) return FALSE;
            BOOL ended = TRUE;
            if (!Read_Flag(p, key, value, line, &ended)) return FALSE;
            if (ended) return TRUE;
            if (q->paramText == NULL && !Append_Line(&q->paramText, &r->paramLen, "", 0))
                return Refuse_At(p, line, "not enough memory");
            /* a text whose last line has no break is kept with a marker at its end */
            return Append_Line(&q->paramText, &r->paramLen, "\x01", 1) ? TRUE : Refuse_At(p, line, "not enough memory");
        }
        if (!Read_TableValue(r, FT_TARGET, &q->target, key, value, line, &parse)) return FALSE;
        if (strcmp(key, "name") == 0) Copy_Field(q->fileName, q->target.name);
        if (strcmp(key, "after_processing") == 0) Copy_Field(q->afterRef, parse.refName);
        if (strcmp(key, "at_time_out") == 0) Copy_Field(q->timeoutRef, parse.refName);
        return TRUE;
    }
    case SEC_CMDLINE:
        if (strcmp(key, "line") == 0) {
            if (r->cmdLen == 0 && p->commandLineText[0] == '\0' && !r->seenOwn[1]) {
                r->seenOwn[1] = TRUE;
                size_t n = strlen(value);
                char *t = (char *)realloc(p->commandLineText, n + 1);
                if (t == NULL) return Refuse_At(p, line, "not enough memory");
                memcpy(t, value, n + 1);
                p->commandLineText = t;
                r->cmdLen = n;
                return TRUE;
            }
            if (!Append_Line(&p->commandLineText, &r->cmdLen, value, strlen(value)))
                return Refuse_At(p, line, "the command-line parameters are longer than %d bytes", IMPORT_MAX_TEXT);
            return TRUE;
        }
        if (strcmp(key, "last_line_ended") == 0) {
            if (!Own_KeyOnce(r, 0, key, line)) return FALSE;
            BOOL ended = TRUE;
            if (!Read_Flag(p, key, value, line, &ended)) return FALSE;
            if (!ended && !Append_Line(&p->commandLineText, &r->cmdLen, "\x01", 1))
                return Refuse_At(p, line, "not enough memory");
            return TRUE;
        }
        return Refuse_At(p, line, "unknown key \"%s\" in the command-line parameters", key);
    default:
        return Refuse_At(p, line, "text after the end line \"[end]\"");
    }
}

IMPORT_PLAN *Read_Export(const char *text, size_t len)
{
    Trace("Read_Export ( %u bytes )\n", (unsigned)len);
    IMPORT_PLAN *p = (IMPORT_PLAN *)calloc(1, sizeof(IMPORT_PLAN));
    if (p == NULL) return NULL;
    static READER s_Reader;
    READER *r = &s_Reader;
    memset(r, 0, sizeof *r);
    r->plan = p;
    size_t pos = 0;
    TEXT_LINE tl;
    int line = 0;
    static char s_Line[IMPORT_MAX_TEXT + 64];
    while (Next_TextLine(text, len, &pos, &tl)) {
        line++;
        if (tl.len >= sizeof s_Line) {
            Refuse_At(p, line, "the line is longer than %u characters", (unsigned)(sizeof s_Line - 1));
            return p;
        }
        memcpy(s_Line, tl.text, tl.len);
        s_Line[tl.len] = '\0';
        if (memchr(s_Line, '\0', tl.len) != NULL) {
            Refuse_At(p, line, "the line holds a zero byte: this is not a text file");
            return p;
        }
        if (line == 1) {
            size_t h = strlen(EXPORT_HEADER);
            long long version = 0;
            size_t used = 0;
            if (strncmp(s_Line, EXPORT_HEADER, h) != 0 || s_Line[h] != ' ' ||
                !Read_Decimal(s_Line + h + 1, strlen(s_Line + h + 1), 0, 1000000, &version, &used) ||
                s_Line[h + 1 + used] != '\0' || version < 1) {
                Refuse_At(p, 1, "this is not a queue export file (its first line is not \"%s %d\")", EXPORT_HEADER,
                          EXPORT_VERSION);
                return p;
            }
            if (version > EXPORT_VERSION) {
                Refuse_At(p, 1, "the file was written by a newer version of the export (%d); this editor reads version %d",
                          (int)version, EXPORT_VERSION);
                return p;
            }
            continue;
        }
        if (s_Line[0] == '\0' || s_Line[0] == '#') continue;
        if (r->section == SEC_END) {
            Refuse_At(p, line, "text after the end line \"[end]\"");
            return p;
        }
        if (s_Line[0] == '[') {
            char *close = strchr(s_Line, ']');
            if (close == NULL || close[1] != '\0') {
                Refuse_At(p, line, "a damaged section line (\"[name]\" expected)");
                return p;
            }
            *close = '\0';
            if (!Begin_Section(r, s_Line + 1, line)) return p;
            continue;
        }
        char *eq = strchr(s_Line, '=');
        if (eq == NULL || eq == s_Line) {
            Refuse_At(p, line, "a damaged line (\"key=value\" expected)");
            return p;
        }
        *eq = '\0';
        if (!Read_KeyValue(r, s_Line, eq + 1, line)) return p;
    }
    if (line == 0) {
        Refuse_At(p, 0, "the file is empty: this is not a queue export file");
        return p;
    }
    if (r->section != SEC_END) {
        Refuse_At(p, line, "the file is cut short: it ends after line %d without its end line \"[end]\"", line);
        return p;
    }
    if (p->queueCount == 0) Refuse_At(p, 0, "the file holds no queue");
    Trace("Read_Export: %d queues, %d applications, %d groups\n", p->queueCount, p->appCount, p->groupCount);
    return p;
}

IMPORT_PLAN *Read_ExportFile(const char *path)
{
    size_t len = 0;
    char *data = Read_WholeFile(path, &len);
    if (data == NULL) {
        DWORD e = GetLastError();
        IMPORT_PLAN *p = (IMPORT_PLAN *)calloc(1, sizeof(IMPORT_PLAN));
        if (p != NULL) {
            char why[200];
            Copy_Field(why, Error_Text(&e));
            size_t n = strlen(why);
            while (n > 0 && (why[n - 1] == '\n' || why[n - 1] == '\r' || why[n - 1] == ' ' || why[n - 1] == '.')) why[--n] = '\0';
            Refuse_At(p, 0, "the file \"%s\" cannot be read: %s", path, why);
        }
        return p;
    }
    IMPORT_PLAN *p = Read_Export(data, len);
    free(data);
    return p;
}

void Free_ImportPlan(IMPORT_PLAN *plan)
{
    if (plan == NULL) return;
    for (int i = 0; i < plan->queueCount; i++) {
        free(plan->queues[i].outputs);
        free(plan->queues[i].paramText);
    }
    free(plan->commandLineText);
    free(plan);
}

/* ---- review ---- */

/* How many notes the reading made (the review's own come after them). */
static int Read_NoteCount(const IMPORT_PLAN *p)
{
    int n = 0;
    while (n < p->noteCount && p->notes[n].kind == IN_CLAMPED) n++;
    return n;
}

static void Map_Path(const IMPORT_PLAN *p, const char *in, char *out, size_t cap)
{
    if (Has_Text(p->fromRoot) && Has_Text(p->toRoot)) Replace_PathRoot(in, p->fromRoot, p->toRoot, out, cap);
    else Copy_Text(out, cap, in);
}

/* TRUE when name is the name of a queue here, or of another queue of the plan that keeps it. */
static BOOL Name_Taken(const IMPORT_PLAN *p, const char *name, int self)
{
    for (int i = 0; i < targetCount; i++)
        if (Compare_NoCase(targets[i].name, name) == 0) return TRUE;
    for (int i = 0; i < lbqCount; i++)
        if (Compare_NoCase(lbqs[i].name, name) == 0) return TRUE;
    for (int i = 0; i < p->queueCount; i++) {
        if (i == self || (i > self && !p->queues[i].nameEdited)) continue;
        if (Compare_NoCase(p->queues[i].newName, name) == 0) return TRUE;
    }
    return FALSE;
}

static const char *Kind_Title(const IMPORT_QUEUE *q) { return q->isInput ? "Input queue" : "Output queue"; }

static void Review_Names(IMPORT_PLAN *p)
{
    for (int i = 0; i < p->queueCount; i++) {
        IMPORT_QUEUE *q = &p->queues[i];
        size_t cap = q->isInput ? sizeof q->lbq.name : sizeof q->target.name;
        if (q->nameEdited) {
            if (!Has_Text(q->newName))
                Add_Note(p, IN_NAME_TAKEN, TRUE, "%s \"%s\": the new name is empty", Kind_Title(q), q->fileName);
            else if (strpbrk(q->newName, NAME_FORBIDDEN) != NULL)
                Add_Note(p, IN_NAME_TAKEN, TRUE, "%s \"%s\": the new name \"%s\" holds one of / \\ \" : * ? < > |",
                         Kind_Title(q), q->fileName, q->newName);
            else if (strlen(q->newName) >= cap)
                Add_Note(p, IN_NAME_TAKEN, TRUE, "%s \"%s\": the new name is longer than %d characters", Kind_Title(q),
                         q->fileName, (int)cap - 1);
            else if (Name_Taken(p, q->newName, i))
                Add_Note(p, IN_NAME_TAKEN, TRUE, "%s \"%s\": the new name \"%s\" is taken", Kind_Title(q), q->fileName,
                         q->newName);
            else if (strcmp(q->newName, q->fileName) != 0)
                Add_Note(p, IN_RENAMED, FALSE, "%s \"%s\" is renamed \"%s\"", Kind_Title(q), q->fileName, q->newName);
            continue;
        }
        Copy_Field(q->newName, q->fileName);
        for (int n = 2; Name_Taken(p, q->newName, i) && n < 10000; n++) {
            char suffix[16];
            Format_Text(suffix, sizeof suffix, " (%d)", n);
            size_t keep = strlen(q->fileName);
            if (keep + strlen(suffix) >= cap) keep = cap - 1 - strlen(suffix);
            Copy_TextN(q->newName, sizeof q->newName, q->fileName, keep);
            Append_Field(q->newName, suffix);
        }
        if (strcmp(q->newName, q->fileName) != 0)
            Add_Note(p, IN_RENAMED, TRUE, "%s \"%s\" is renamed \"%s\": a queue of that name exists here", Kind_Title(q),
                     q->fileName, q->newName);
    }
}

/* An application here that an application of the export is: the same program, arguments and
   options; when the export's is run by a queue directly, also the same priority and run-alone
   setting (or one used only through groups, which then takes them). */
static int Find_SameApp(const IMPORT_PLAN *p, const App *a)
{
    char path[TEXT_LEN];
    Map_Path(p, a->path, path, sizeof path);
    for (int s = 0; s < MAX_APPS; s++) {
        const App *h = &apps[s];
        if (h->free || strcmp(h->path, path) != 0 || strcmp(h->args, a->args) != 0) continue;
        if (h->compatV3 != a->compatV3 || (h->resident != 0) != (a->resident != 0) || h->showCommand != a->showCommand ||
            (h->nonNative != 0) != (a->nonNative != 0) || (h->reservedFlag != 0) != (a->reservedFlag != 0))
            continue;
        if (a->runAlone != -1 && !(h->priority == 'U' && h->runAlone == -1) &&
            (h->priority != a->priority || h->runAlone != a->runAlone))
            continue;
        return s;
    }
    return -1;
}

static int Find_SameGroup(const IMPORT_PLAN *p, const IMPORT_GROUP *g)
{
    for (int m = 0; m < g->group.count; m++)
        if (p->apps[g->group.members[m]].reuse < 0) return -1;
    for (int s = 0; s < MAX_APPGROUPS; s++) {
        const AppGroup *h = &appGroups[s];
        if (h->free || h->count != g->group.count || h->priority != g->group.priority ||
            h->runAlone != g->group.runAlone || (h->parallel != 0) != (g->group.parallel != 0))
            continue;
        BOOL same = TRUE;
        for (int m = 0; m < h->count && same; m++) same = h->members[m] == p->apps[g->group.members[m]].reuse;
        if (same) return s;
    }
    return -1;
}

/* The queue a reference by name resolves to: an imported output queue (by its name in the file)
   as its index in the plan, or one here as -2 - position; -1 for none. */
static int Resolve_Queue(const IMPORT_PLAN *p, const char *name)
{
    for (int i = 0; i < p->queueCount; i++)
        if (!p->queues[i].isInput && strcmp(p->queues[i].fileName, name) == 0) return i;
    for (int i = 0; i < p->queueCount; i++)
        if (!p->queues[i].isInput && Compare_NoCase(p->queues[i].fileName, name) == 0) return i;
    for (int i = 0; i < targetCount; i++)
        if (Compare_NoCase(targets[i].name, name) == 0) return -2 - i;
    return -1;
}

/* The names of an input queue's outputs as written ("A", "B"): calls each with every name. */
static int Next_OutputName(const char **cursor, char *name, size_t cap)
{
    const char *s = *cursor;
    while (*s == ' ' || *s == ',') s++;
    if (*s == '\0') return 0;
    if (*s != '"') return -1;
    const char *close = strchr(s + 1, '"');
    if (close == NULL) return -1;
    Copy_TextN(name, cap, s + 1, (size_t)(close - s - 1));
    *cursor = close + 1;
    return 1;
}

static void Check_Path(IMPORT_PLAN *p, const char *title, const char *label, const char *path, BOOL folder)
{
    if (!Has_Text(path)) return;
    char mapped[TEXT_LEN];
    Map_Path(p, path, mapped, sizeof mapped);
    char plain[TEXT_LEN];
    Unquoted(mapped, plain, sizeof plain);
    if (folder ? Dir_Exists(plain) : File_Exists(plain)) return;
    Add_Note(p, IN_MISSING_PATH, TRUE, "%s: %s \"%s\" does not exist on this machine", title, label, mapped);
}

static const char *Label_Of(FIELD_TABLE table, const char *key)
{
    const FIELD_DEF *f = Find_FieldByKey(table, key);
    return f != NULL ? f->label : key;
}

/* Whether the text of a file carried in the export ends in the marker of a last line without
   its break; the text without it. */
static size_t Carried_Length(const char *text, BOOL *lastEnded)
{
    size_t n = strlen(text);
    *lastEnded = TRUE;
    if (n > 0 && text[n - 1] == '\x01') {
        *lastEnded = FALSE;
        n--;
        if (n > 0 && text[n - 1] == '\n') n--;
    }
    return n;
}

int Review_Import(IMPORT_PLAN *p)
{
    Trace("Review_Import ()\n");
    p->noteCount = Read_NoteCount(p);
    p->blockingCount = 0;
    if (p->refused) return 0;
    Review_Names(p);

    p->newApps = 0;
    for (int i = 0; i < p->appCount; i++) {
        p->apps[i].reuse = Find_SameApp(p, &p->apps[i].app);
        if (p->apps[i].reuse < 0) p->newApps++;
    }
    p->newGroups = 0;
    for (int i = 0; i < p->groupCount; i++) {
        p->groups[i].reuse = Find_SameGroup(p, &p->groups[i]);
        if (p->groups[i].reuse < 0) p->newGroups++;
    }
    if (targetCount + lbqCount + p->queueCount > MAX_QUEUES)
        Add_Note(p, IN_LIMIT, TRUE,
                 "The import adds %d queues to the %d of this installation: %d in all, and an installation holds at most "
                 "%d queues.",
                 p->queueCount, targetCount + lbqCount, targetCount + lbqCount + p->queueCount, MAX_QUEUES);
    int used = 0;
    for (int s = 0; s < MAX_APPS; s++) used += !apps[s].free;
    for (int s = 0; s < MAX_APPGROUPS; s++) used += !appGroups[s].free;
    int added = p->newApps + p->newGroups;
    if (used + added > MAX_APPS)
        Add_Note(p, IN_LIMIT, TRUE,
                 "The import adds %d application entries to the %d of this installation: %d in all, and an installation "
                 "holds at most %d application entries.",
                 added, used, used + added, MAX_APPS);

    for (int i = 0; i < p->queueCount; i++) {
        IMPORT_QUEUE *q = &p->queues[i];
        char title[TEXT_LEN + 20];
        Format_Text(title, sizeof title, "%s \"%s\"", Kind_Title(q), q->fileName);
        if (q->isInput) {
            Check_Path(p, title, Label_Of(FT_LBQ, "hot_directory"), q->lbq.hotDir, TRUE);
            const char *cursor = q->outputs != NULL ? q->outputs : "";
            char name[TEXT_LEN];
            int got;
            while ((got = Next_OutputName(&cursor, name, sizeof name)) > 0)
                if (Resolve_Queue(p, name) == -1)
                    Add_Note(p, IN_UNRESOLVED, FALSE,
                             "%s: its output queue \"%s\" is neither imported nor here: the input queue does not feed it",
                             title, name);
            continue;
        }
        const Target *t = &q->target;
        Check_Path(p, title, Label_Of(FT_TARGET, "hot_directory"), t->hotDir, TRUE);
        /* a new queue names the default done directory even when it never moves a job there */
        if (t->afterAction == AFTER_MOVE_DONE) Check_Path(p, title, Label_Of(FT_TARGET, "done_directory"), t->doneDir, TRUE);
        Check_Path(p, title, Label_Of(FT_TARGET, "icon"), t->iconPath, FALSE);
        Check_Path(p, title, Label_Of(FT_TARGET, "launch_application"), t->launchAppPath, FALSE);
        if (Has_Text(q->afterRef) && Resolve_Queue(p, q->afterRef) == -1)
            Add_Note(p, IN_UNRESOLVED, FALSE,
                     "%s: %s passes jobs to queue \"%s\", which is neither imported nor here: jobs are left where they are",
                     title, Label_Of(FT_TARGET, "after_processing"), q->afterRef);
        if (Has_Text(q->timeoutRef) && Resolve_Queue(p, q->timeoutRef) == -1)
            Add_Note(p, IN_UNRESOLVED, FALSE,
                     "%s: %s passes waiting jobs to queue \"%s\", which is neither imported nor here: the queue never "
                     "times out",
                     title, Label_Of(FT_TARGET, "at_time_out"), q->timeoutRef);
        if (q->paramIsFile) {
            char mapped[TEXT_LEN], plain[TEXT_LEN];
            Map_Path(p, t->parameters, mapped, sizeof mapped);
            Unquoted(mapped, plain, sizeof plain);
            if (!File_Exists(plain)) {
                if (q->paramText != NULL)
                    Add_Note(p, IN_CREATED, FALSE, "%s: the parameter file \"%s\" is written from the export file", title,
                             plain);
                else
                    Add_Note(p, IN_MISSING_PATH, TRUE, "%s: the parameter file \"%s\" does not exist on this machine",
                             title, plain);
            }
        }
    }
    for (int i = 0; i < p->appCount; i++) {
        const IMPORT_APP *a = &p->apps[i];
        char title[TEXT_LEN + 20];
        Format_Text(title, sizeof title, "Application \"%s\"", a->app.path);
        Check_Path(p, title, "the program", a->app.path, FALSE);
        if (a->reuse < 0 && Has_Text(a->association)) {
            char path[TEXT_LEN], utility[TEXT_LEN];
            int lineNo = -1;
            Map_Path(p, a->app.path, path, sizeof path);
            if (!Lookup_OEMApp(path, &lineNo, utility, sizeof utility) && lineNo < 0)
                Add_Note(p, IN_CREATED, FALSE, "%s: its configuration utility \"%s\" is recorded", title, a->association);
        }
    }
    if (p->commandLineText != NULL && homeDir != NULL) {
        char path[PATH_LEN];
        if (Home_Path(path, sizeof path, homeDir, COMMAND_LINE_FILE)) {
            if (!File_Exists(path)) {
                Add_Note(p, IN_CREATED, FALSE, "The command-line parameter file \"%s\" is written from the export file", path);
            } else {
                BOOL ended = TRUE, carriedEnded;
                char *here = Read_TextLines(path, &ended);
                size_t n = Carried_Length(p->commandLineText, &carriedEnded);
                if (here == NULL || strlen(here) != n || memcmp(here, p->commandLineText, n) != 0 || ended != carriedEnded)
                    Add_Note(p, IN_KEPT, FALSE,
                             "The command-line parameter file of this installation differs from the exported one; it is "
                             "kept as it is");
                free(here);
            }
        }
    }
    Trace("Review_Import: %d notes, %d blocking\n", p->noteCount, p->blockingCount);
    return p->blockingCount;
}

/* ---- applying ---- */

/* The files an import carries beside the queues, written after the next store. */
typedef struct {
    char  path[TEXT_LEN];
    char *text;                 /* NULL: an association (utility holds the utility) */
    char  utility[TEXT_LEN];
} PENDING_FILE;

static PENDING_FILE s_Pending[MAX_TARGETS + MAX_APPS + 1];
static int          s_PendingCount;

static void Add_Pending(const char *path, const char *text, const char *utility)
{
    if (s_PendingCount >= (int)ARRAY_LEN(s_Pending)) {
        Trace("Apply_Import: no room to note the file %s\n", path);
        return;
    }
    PENDING_FILE *f = &s_Pending[s_PendingCount];
    memset(f, 0, sizeof *f);
    Copy_Field(f->path, path);
    if (text != NULL) {
        f->text = _strdup(text);
        if (f->text == NULL) return;
    } else {
        Copy_Field(f->utility, utility);
    }
    s_PendingCount++;
}

void Forget_ImportedFiles(void)
{
    for (int i = 0; i < s_PendingCount; i++) free(s_Pending[i].text);
    s_PendingCount = 0;
}

static BOOL Write_Carried(const char *path, const char *text)
{
    BOOL ended;
    size_t n = Carried_Length(text, &ended);
    OUTBUF b;
    OutBuf_Init(&b);
    OutBuf_Append(&b, text, n);
    if (ended) OutBuf_Putc(&b, '\n');
    char folder[TEXT_LEN];
    Copy_Field(folder, path);
    if (Parent_Folder(folder) && !Dir_Exists(folder)) {
        DWORD e = 0;
        Create_DirectoryPath(folder, &e);
    }
    BOOL ok = Store_TextFile(path, &b, FALSE, "Could not write the file that the import carried.\r\n\"%s\"");
    OutBuf_Free(&b);
    return ok;
}

void Store_ImportedFiles(void)
{
    if (s_PendingCount == 0) return;
    Trace("Store_ImportedFiles ( %d )\n", s_PendingCount);
    for (int i = 0; i < s_PendingCount; i++) {
        const PENDING_FILE *f = &s_Pending[i];
        if (f->text != NULL) {
            if (File_Exists(f->path)) {
                Trace("Kept %s as it is\n", f->path);
                continue;
            }
            if (Write_Carried(f->path, f->text)) Trace("Wrote %s\n", f->path);
            continue;
        }
        char utility[TEXT_LEN];
        int lineNo = -1;
        if (Lookup_OEMApp(f->path, &lineNo, utility, sizeof utility) || lineNo >= 0) continue;
        if (Record_OEMApp(f->path, -1, f->utility)) Trace("Recorded %s : %s\n", f->path, f->utility);
    }
    Forget_ImportedFiles();
}

static void Map_Field(const IMPORT_PLAN *p, char *field, size_t cap)
{
    char mapped[TEXT_LEN];
    Map_Path(p, field, mapped, sizeof mapped);
    Copy_Text(field, cap, mapped);
}

BOOL Apply_Import(IMPORT_PLAN *p)
{
    Trace("Apply_Import ()\n");
    if (p->refused) return FALSE;
    Review_Import(p);
    for (int i = 0; i < p->noteCount; i++)
        if (p->notes[i].kind == IN_LIMIT || p->notes[i].kind == IN_NAME_TAKEN) {
            Trace("Apply_Import: refused: %s\n", p->notes[i].text);
            return FALSE;
        }
    /* room was counted by the review; take the slots */
    for (int i = 0; i < p->appCount; i++) {
        IMPORT_APP *a = &p->apps[i];
        if (a->reuse >= 0) {
            a->slot = a->reuse;
            App *h = &apps[a->slot];
            if (h->priority == 'U' && h->runAlone == -1 && a->app.runAlone != -1) {
                h->priority = a->app.priority;
                h->runAlone = a->app.runAlone;
            }
            continue;
        }
        int s = 0;
        while (s < MAX_APPS && !apps[s].free) s++;
        if (s == MAX_APPS) return FALSE;        /* counted above: cannot happen */
        apps[s] = a->app;
        Map_Field(p, apps[s].path, sizeof apps[s].path);
        apps[s].free = FALSE;
        apps[s].icon = NULL;
        apps[s].iconPath[0] = '\0';
        a->slot = s;
        Trace("Apply_Import: application %d in slot %d: %s\n", i + 1, s, apps[s].path);
        if (Has_Text(a->association)) Add_Pending(apps[s].path, NULL, a->association);
    }
    for (int i = 0; i < p->groupCount; i++) {
        IMPORT_GROUP *g = &p->groups[i];
        if (g->reuse >= 0) {
            g->slot = g->reuse;
            continue;
        }
        int s = 0;
        while (s < MAX_APPGROUPS && !appGroups[s].free) s++;
        if (s == MAX_APPGROUPS) return FALSE;
        appGroups[s] = g->group;
        for (int m = 0; m < g->group.count; m++) appGroups[s].members[m] = p->apps[g->group.members[m]].slot;
        appGroups[s].free = FALSE;
        g->slot = s;
        Trace("Apply_Import: group %d in slot %d\n", i + 1, s);
    }
    /* the positions the output queues take */
    static int s_NewPos[MAX_QUEUES];
    int next = targetCount;
    for (int i = 0; i < p->queueCount; i++) s_NewPos[i] = p->queues[i].isInput ? -1 : next++;
    int firstNew = targetCount;
    for (int i = 0; i < p->queueCount; i++) {
        IMPORT_QUEUE *q = &p->queues[i];
        if (q->isInput) continue;
        Target *t = &targets[s_NewPos[i]];
        *t = q->target;
        Copy_Field(t->name, q->newName);
        for (int k = 0; k < Field_Count(FT_TARGET); k++) {
            const FIELD_DEF *f = Field_At(FT_TARGET, k);
            if (f->kind == FK_PATH && !(f->flags & FF_RUNTIME)) Map_Field(p, (char *)t + f->offset, f->size);
        }
        if (q->paramIsFile) Map_Field(p, t->parameters, sizeof t->parameters);
        t->parametersIsFile = q->paramIsFile;
        t->usesGroup = FALSE;
        if (q->procKind == 1) {
            t->processRef = p->apps[q->procIndex].slot;
        } else if (q->procKind == 2) {
            t->processRef = p->groups[q->procIndex].slot;
            t->usesGroup = TRUE;
        } else {
            t->processRef = NO_PROCESSES;
        }
        if (Has_Text(q->afterRef)) {
            int r = Resolve_Queue(p, q->afterRef);
            t->afterAction = r >= 0 ? s_NewPos[r] : (r <= -2 ? -2 - r : AFTER_LEAVE);
        }
        if (Has_Text(q->timeoutRef)) {
            int r = Resolve_Queue(p, q->timeoutRef);
            t->timeoutAction = r >= 0 ? s_NewPos[r] : (r <= -2 ? -2 - r : TIMEOUT_NEVER);
        }
        t->slotIndex = s_NewPos[i];
        t->loadIndex = -1;
        t->icon = NULL;
        Normalise_Target(t);
        if (q->paramIsFile && q->paramText != NULL) {
            char plain[TEXT_LEN];
            Unquoted(t->parameters, plain, sizeof plain);
            if (!File_Exists(plain)) Add_Pending(plain, q->paramText, NULL);
        }
        Trace("Apply_Import: output queue \"%s\" at %d\n", t->name, s_NewPos[i] + 1);
    }
    targetCount = next;
    for (int i = 0; i < p->queueCount; i++) {
        IMPORT_QUEUE *q = &p->queues[i];
        if (!q->isInput) continue;
        LBQ *l = &lbqs[lbqCount];
        *l = q->lbq;
        Copy_Field(l->name, q->newName);
        Map_Field(p, l->hotDir, sizeof l->hotDir);
        l->loadIndex = -1;
        memset(l->outputs, 0, sizeof l->outputs);
        const char *cursor = q->outputs != NULL ? q->outputs : "";
        char name[TEXT_LEN];
        while (Next_OutputName(&cursor, name, sizeof name) > 0) {
            int r = Resolve_Queue(p, name);
            if (r >= 0) l->outputs[s_NewPos[r]] = 1;
            else if (r <= -2) l->outputs[-2 - r] = 1;
        }
        Trace("Apply_Import: input queue \"%s\" at %d\n", l->name, lbqCount + 1);
        lbqCount++;
    }
    if (p->commandLineText != NULL && homeDir != NULL) {
        char path[PATH_LEN];
        if (Home_Path(path, sizeof path, homeDir, COMMAND_LINE_FILE) && !File_Exists(path))
            Add_Pending(path, p->commandLineText, NULL);
    }
    Trace("Apply_Import: %d output queues from %d, %d input queues in all\n", targetCount - firstNew, firstNew + 1,
          lbqCount);
    return TRUE;
}
