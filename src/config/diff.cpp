#include "config/diff.h"
#include "config/prefsfile.h"
#include "common/text.h"
#include "common/trace.h"
#include <stdlib.h>
#include <string.h>

#define VALUE_LEN 4096     /* the longest value: four applications' command texts */

/* ---- building the rows ---- */

/* Where a row's texts lie in the pool while it grows (its data may move). */
typedef struct {
    size_t name, newName, oldValue, newValue;
} ROW_TEXTS;

typedef struct {
    const CONFIG_IMAGE *before, *after;
    DIFF_PAIRING        pairing;
    DIFF_ROW           *rows;
    ROW_TEXTS          *texts;
    int                 count, cap;
    OUTBUF              pool;             /* starts with one "" at offset 0 */
    BOOL                failed;
    /* the output queues paired: position before -> position after, and back; -1 none */
    int                 targetAfter[MAX_TARGETS];
    int                 targetBefore[MAX_TARGETS];
} DIFF_BUILD;

static size_t Pool_Text(DIFF_BUILD *b, const char *text)
{
    if (text == NULL || text[0] == '\0') return 0;
    size_t at = b->pool.len;
    if (!OutBuf_Append(&b->pool, text, strlen(text) + 1)) b->failed = TRUE;
    return at;
}

static void Add_Row(DIFF_BUILD *b, DIFF_KIND kind, DIFF_ABOUT about, const char *name, const char *newName,
                    int oldPos, int newPos, const FIELD_DEF *field, const char *oldValue, const char *newValue)
{
    if (b->failed) return;
    if (b->count == b->cap) {
        int cap = b->cap ? b->cap * 2 : 64;
        DIFF_ROW *rows = (DIFF_ROW *)realloc(b->rows, (size_t)cap * sizeof *rows);
        if (rows != NULL) b->rows = rows;
        ROW_TEXTS *texts = (ROW_TEXTS *)realloc(b->texts, (size_t)cap * sizeof *texts);
        if (texts != NULL) b->texts = texts;
        if (rows == NULL || texts == NULL) {
            b->failed = TRUE;
            return;
        }
        b->cap = cap;
    }
    DIFF_ROW *r = &b->rows[b->count];
    ROW_TEXTS *t = &b->texts[b->count];
    r->kind = kind;
    r->about = about;
    r->oldPos = oldPos;
    r->newPos = newPos;
    r->field = field;
    t->name = Pool_Text(b, name);
    t->newName = Pool_Text(b, newName);
    t->oldValue = Pool_Text(b, oldValue);
    t->newValue = Pool_Text(b, newValue);
    b->count++;
}

/* ---- pairing ---- */

/* What pairs a queue: its name and its number at load. */
typedef struct {
    const char *name;
    int32_t     loadIndex;
} QUEUE_KEY;

/* pairAfter[i]: the position after of the queue at i before, -1 none; pairBefore the reverse. */
static void Pair_Queues(const QUEUE_KEY *before, int nBefore, const QUEUE_KEY *after, int nAfter,
                        DIFF_PAIRING pairing, int *pairAfter, int *pairBefore)
{
    for (int i = 0; i < nBefore; i++) pairAfter[i] = -1;
    for (int j = 0; j < nAfter; j++) {
        pairBefore[j] = -1;
        for (int i = 0; i < nBefore; i++) {
            if (pairAfter[i] >= 0) continue;
            BOOL same = (pairing == DIFF_PAIR_BY_LOAD)
                            ? (after[j].loadIndex >= 0 && after[j].loadIndex == before[i].loadIndex)
                            : Compare_NoCase(after[j].name, before[i].name) == 0;
            if (!same) continue;
            pairAfter[i] = j;
            pairBefore[j] = i;
            break;
        }
    }
}

/* moved[i] for each queue before that stays: whether its order among the queues in both changed.
   The longest run of them (taken in their order before) whose positions after rise stands still,
   the earliest such run when there are several; every other one has moved. */
static void Find_Moved(const int *pairAfter, int nBefore, BOOL *moved)
{
    int seq[MAX_QUEUES], at[MAX_QUEUES], best[MAX_QUEUES], n = 0;
    for (int i = 0; i < nBefore && n < MAX_QUEUES; i++) {
        moved[i] = FALSE;
        if (pairAfter[i] < 0) continue;
        seq[n] = pairAfter[i];
        at[n++] = i;
    }
    int longest = 0;
    for (int k = n - 1; k >= 0; k--) {           /* best[k]: the longest rising run that starts at k */
        best[k] = 1;
        for (int m = k + 1; m < n; m++)
            if (seq[m] > seq[k] && best[m] + 1 > best[k]) best[k] = best[m] + 1;
        if (best[k] > longest) longest = best[k];
    }
    int need = longest, last = -1;
    for (int k = 0; k < n; k++) {
        if (need > 0 && best[k] == need && seq[k] > last) {
            need--;
            last = seq[k];
        } else {
            moved[at[k]] = TRUE;
        }
    }
}

/* ---- output queues ---- */

static BOOL Runs_Processes(const Target *t) { return !t->noProcesses && t->processRef != NO_PROCESSES; }

/* The record that holds what a queue runs with (its application's or its group's runtime
   priority and run-alone setting), and the table that describes it; NULL for none. */
static const void *Run_Record(const CONFIG_IMAGE *c, const Target *t, FIELD_TABLE *table)
{
    if (!Runs_Processes(t) || t->processRef < 0) return NULL;
    if (t->usesGroup) {
        if (t->processRef >= MAX_APPGROUPS || c->appGroups[t->processRef].free) return NULL;
        *table = FT_APPGROUP;
        return &c->appGroups[t->processRef];
    }
    if (t->processRef >= MAX_APPS || c->apps[t->processRef].free) return NULL;
    *table = FT_APP;
    return &c->apps[t->processRef];
}

static void Add_Change(DIFF_BUILD *b, DIFF_ABOUT about, const char *name, int oldPos, int newPos,
                       const FIELD_DEF *fBefore, const void *recBefore, const FIELD_DEF *fAfter, const void *recAfter)
{
    static char before[VALUE_LEN], after[VALUE_LEN];
    Format_FieldValue(fBefore, recBefore, b->before, before, sizeof before);
    Format_FieldValue(fAfter, recAfter, b->after, after, sizeof after);
    Add_Row(b, DIFF_CHANGED, about, name, NULL, oldPos, newPos, fAfter, before, after);
}

/* A reference before and one after reach the same: the same action, or the same queue. */
static BOOL Same_Reference(const DIFF_BUILD *b, int32_t before, int32_t after)
{
    if (before < 0 || after < 0) return before == after;
    if (before >= b->before->targetCount || after >= b->after->targetCount) return before == after;
    return b->targetAfter[before] == after;
}

/* The runtime priority, the run-alone setting and (two groups) parallel or series of what two
   paired queues run. */
static void Compare_RunSettings(DIFF_BUILD *b, const Target *tb, const Target *ta, int i, int j)
{
    FIELD_TABLE tableB = FT_APP, tableA = FT_APP;
    const void *rb = Run_Record(b->before, tb, &tableB);
    const void *ra = Run_Record(b->after, ta, &tableA);
    if (rb == NULL || ra == NULL) return;
    static const char *const k_Keys[] = { "runtime_priority", "run_alone", "run_processes" };
    for (const char *key : k_Keys) {
        const FIELD_DEF *fb = Find_FieldByKey(tableB, key), *fa = Find_FieldByKey(tableA, key);
        if (fb == NULL || fa == NULL) continue;          /* parallel or series: groups only */
        if (Get_FieldNumber(fb, rb) != Get_FieldNumber(fa, ra))
            Add_Change(b, DIFF_QUEUE, ta->name, i, j, fb, rb, fa, ra);
    }
}

static void Compare_Targets(DIFF_BUILD *b, int i, int j)
{
    const Target *tb = &b->before->targets[i], *ta = &b->after->targets[j];
    static char before[VALUE_LEN], after[VALUE_LEN];
    for (int k = 0; k < Field_Count(FT_TARGET); k++) {
        const FIELD_DEF *f = Field_At(FT_TARGET, k);
        if ((f->flags & FF_RUNTIME) || f->offset == offsetof(Target, name)) continue;
        BOOL same;
        if (f->kind == FK_ACTION) {
            same = Same_Reference(b, Get_FieldNumber(f, tb), Get_FieldNumber(f, ta));
        } else if (f->kind == FK_PROCESSES) {
            Format_FieldValue(f, tb, b->before, before, sizeof before);
            Format_FieldValue(f, ta, b->after, after, sizeof after);
            same = strcmp(before, after) == 0;
        } else {
            same = Field_Equal(f, tb, ta);
        }
        if (!same) Add_Change(b, DIFF_QUEUE, ta->name, i, j, f, tb, f, ta);
    }
    Compare_RunSettings(b, tb, ta, i, j);
}

static void Diff_Targets(DIFF_BUILD *b)
{
    const CONFIG_IMAGE *cb = b->before, *ca = b->after;
    QUEUE_KEY kb[MAX_TARGETS], ka[MAX_TARGETS];
    for (int i = 0; i < cb->targetCount; i++) kb[i] = { cb->targets[i].name, cb->targets[i].loadIndex };
    for (int j = 0; j < ca->targetCount; j++) ka[j] = { ca->targets[j].name, ca->targets[j].loadIndex };
    Pair_Queues(kb, cb->targetCount, ka, ca->targetCount, b->pairing, b->targetAfter, b->targetBefore);
    BOOL moved[MAX_TARGETS];
    Find_Moved(b->targetAfter, cb->targetCount, moved);

    for (int i = 0; i < cb->targetCount; i++)
        if (b->targetAfter[i] < 0) Add_Row(b, DIFF_DELETED, DIFF_QUEUE, cb->targets[i].name, NULL, i, -1, NULL, NULL, NULL);
    for (int j = 0; j < ca->targetCount; j++) {
        int i = b->targetBefore[j];
        const char *name = ca->targets[j].name;
        if (i < 0) {
            Add_Row(b, DIFF_ADDED, DIFF_QUEUE, name, NULL, -1, j, NULL, NULL, NULL);
            continue;
        }
        if (strcmp(cb->targets[i].name, name) != 0)
            Add_Row(b, DIFF_RENAMED, DIFF_QUEUE, cb->targets[i].name, name, i, j, NULL, NULL, NULL);
        if (moved[i]) Add_Row(b, DIFF_MOVED, DIFF_QUEUE, name, NULL, i, j, NULL, NULL, NULL);
        Compare_Targets(b, i, j);
    }
}

/* ---- input queues ---- */

static void Compare_Outputs(DIFF_BUILD *b, const LBQ *qb, const LBQ *qa, int i, int j)
{
    const CONFIG_IMAGE *cb = b->before, *ca = b->after;
    for (int p = 0; p < cb->targetCount; p++) {
        if (qb->outputs[p] != 1) continue;
        int q = b->targetAfter[p];
        if (q < 0 || qa->outputs[q] != 1)
            Add_Row(b, DIFF_OUTPUT_REMOVED, DIFF_INPUT_QUEUE, qa->name, NULL, i, j, NULL, cb->targets[p].name, NULL);
    }
    for (int q = 0; q < ca->targetCount; q++) {
        if (qa->outputs[q] != 1) continue;
        int p = b->targetBefore[q];
        if (p < 0 || qb->outputs[p] != 1)
            Add_Row(b, DIFF_OUTPUT_ADDED, DIFF_INPUT_QUEUE, qa->name, NULL, i, j, NULL, NULL, ca->targets[q].name);
    }
}

static void Diff_Lbqs(DIFF_BUILD *b)
{
    const CONFIG_IMAGE *cb = b->before, *ca = b->after;
    QUEUE_KEY kb[MAX_LBQS], ka[MAX_LBQS];
    int pairAfter[MAX_LBQS], pairBefore[MAX_LBQS];
    for (int i = 0; i < cb->lbqCount; i++) kb[i] = { cb->lbqs[i].name, cb->lbqs[i].loadIndex };
    for (int j = 0; j < ca->lbqCount; j++) ka[j] = { ca->lbqs[j].name, ca->lbqs[j].loadIndex };
    Pair_Queues(kb, cb->lbqCount, ka, ca->lbqCount, b->pairing, pairAfter, pairBefore);
    BOOL moved[MAX_LBQS];
    Find_Moved(pairAfter, cb->lbqCount, moved);

    for (int i = 0; i < cb->lbqCount; i++)
        if (pairAfter[i] < 0) Add_Row(b, DIFF_DELETED, DIFF_INPUT_QUEUE, cb->lbqs[i].name, NULL, i, -1, NULL, NULL, NULL);
    for (int j = 0; j < ca->lbqCount; j++) {
        int i = pairBefore[j];
        const LBQ *qa = &ca->lbqs[j];
        if (i < 0) {
            Add_Row(b, DIFF_ADDED, DIFF_INPUT_QUEUE, qa->name, NULL, -1, j, NULL, NULL, NULL);
            continue;
        }
        const LBQ *qb = &cb->lbqs[i];
        if (strcmp(qb->name, qa->name) != 0)
            Add_Row(b, DIFF_RENAMED, DIFF_INPUT_QUEUE, qb->name, qa->name, i, j, NULL, NULL, NULL);
        if (moved[i]) Add_Row(b, DIFF_MOVED, DIFF_INPUT_QUEUE, qa->name, NULL, i, j, NULL, NULL, NULL);
        for (int k = 0; k < Field_Count(FT_LBQ); k++) {
            const FIELD_DEF *f = Field_At(FT_LBQ, k);
            if ((f->flags & FF_RUNTIME) || f->kind == FK_QUEUE_SET || f->offset == offsetof(LBQ, name)) continue;
            if (!Field_Equal(f, qb, qa)) Add_Change(b, DIFF_INPUT_QUEUE, qa->name, i, j, f, qb, f, qa);
        }
        Compare_Outputs(b, qb, qa, i, j);
    }
}

/* ---- applications ---- */

/* used[slot]: a queue of c runs the application, itself or as a member of its group. */
static void Mark_UsedApps(const CONFIG_IMAGE *c, BOOL *used)
{
    memset(used, 0, MAX_APPS * sizeof *used);
    for (int i = 0; i < c->targetCount; i++) {
        const Target *t = &c->targets[i];
        if (!Runs_Processes(t) || t->processRef < 0) continue;
        if (!t->usesGroup) {
            if (t->processRef < MAX_APPS && !c->apps[t->processRef].free) used[t->processRef] = TRUE;
            continue;
        }
        if (t->processRef >= MAX_APPGROUPS || c->appGroups[t->processRef].free) continue;
        const AppGroup *g = &c->appGroups[t->processRef];
        for (int m = 0; m < g->count && m < MAX_GROUP_MEMBERS; m++) {
            int a = g->members[m];
            if (a >= 0 && a < MAX_APPS && !c->apps[a].free) used[a] = TRUE;
        }
    }
}

static void Diff_Apps(DIFF_BUILD *b)
{
    const CONFIG_IMAGE *cb = b->before, *ca = b->after;
    static BOOL usedB[MAX_APPS], usedA[MAX_APPS];
    int pairAfter[MAX_APPS], pairBefore[MAX_APPS];
    Mark_UsedApps(cb, usedB);
    Mark_UsedApps(ca, usedA);
    for (int s = 0; s < MAX_APPS; s++) pairAfter[s] = pairBefore[s] = -1;
    for (int pass = 0; pass < 2; pass++) {           /* path and arguments first, then path alone */
        for (int j = 0; j < MAX_APPS; j++) {
            if (!usedA[j] || pairBefore[j] >= 0) continue;
            for (int i = 0; i < MAX_APPS; i++) {
                if (!usedB[i] || pairAfter[i] >= 0 || Compare_NoCase(cb->apps[i].path, ca->apps[j].path) != 0) continue;
                if (pass == 0 && strcmp(cb->apps[i].args, ca->apps[j].args) != 0) continue;
                pairAfter[i] = j;
                pairBefore[j] = i;
                break;
            }
        }
    }
    for (int i = 0; i < MAX_APPS; i++)
        if (usedB[i] && pairAfter[i] < 0)
            Add_Row(b, DIFF_DELETED, DIFF_APPLICATION, cb->apps[i].path, NULL, i, -1, NULL, NULL, NULL);
    for (int j = 0; j < MAX_APPS; j++) {
        if (!usedA[j]) continue;
        int i = pairBefore[j];
        const App *aa = &ca->apps[j];
        if (i < 0) {
            Add_Row(b, DIFF_ADDED, DIFF_APPLICATION, aa->path, NULL, -1, j, NULL, NULL, NULL);
            continue;
        }
        for (int k = 0; k < Field_Count(FT_APP); k++) {
            const FIELD_DEF *f = Field_At(FT_APP, k);
            /* The runtime priority and the run-alone setting are those of the queues that run
               the application: their rows tell them. */
            if ((f->flags & FF_RUNTIME) || f->offset == offsetof(App, priority) || f->offset == offsetof(App, runAlone))
                continue;
            if (!Field_Equal(f, &cb->apps[i], aa)) Add_Change(b, DIFF_APPLICATION, aa->path, i, j, f, &cb->apps[i], f, aa);
        }
    }
}

/* ---- preferences and users ---- */

static void Diff_Prefs(DIFF_BUILD *b)
{
    for (int k = 0; k < Field_Count(FT_PREFS); k++) {
        const FIELD_DEF *f = Field_At(FT_PREFS, k);
        if ((f->flags & FF_RUNTIME) || Field_Equal(f, &b->before->prefs, &b->after->prefs)) continue;
        Add_Change(b, DIFF_PREFERENCE, Prefs_FileKey(f), -1, -1, f, &b->before->prefs, f, &b->after->prefs);
    }
}

static const char *User_Name(const User *u) { return u->name != NULL ? u->name : ""; }
static const char *User_Password(const User *u) { return u->password != NULL ? u->password : ""; }

static void Diff_Users(DIFF_BUILD *b)
{
    const CONFIG_IMAGE *cb = b->before, *ca = b->after;
    int nb = cb->userCount, na = ca->userCount;
    int *pairAfter = (int *)malloc((size_t)(nb + 1) * sizeof(int));
    int *pairBefore = (int *)malloc((size_t)(na + 1) * sizeof(int));
    if (pairAfter == NULL || pairBefore == NULL) {
        b->failed = TRUE;
        free(pairAfter);
        free(pairBefore);
        return;
    }
    for (int i = 0; i < nb; i++) pairAfter[i] = -1;
    for (int j = 0; j < na; j++) {
        pairBefore[j] = -1;
        for (int i = 0; i < nb; i++) {
            if (pairAfter[i] >= 0 || Compare_NoCase(User_Name(&cb->users[i]), User_Name(&ca->users[j])) != 0) continue;
            pairAfter[i] = j;
            pairBefore[j] = i;
            break;
        }
    }
    for (int i = 0; i < nb; i++)
        if (pairAfter[i] < 0) Add_Row(b, DIFF_DELETED, DIFF_USER, User_Name(&cb->users[i]), NULL, i, -1, NULL, NULL, NULL);
    for (int j = 0; j < na; j++) {
        int i = pairBefore[j];
        const char *name = User_Name(&ca->users[j]);
        if (i < 0) {
            Add_Row(b, DIFF_ADDED, DIFF_USER, name, NULL, -1, j, NULL, NULL, NULL);
            continue;
        }
        if (strcmp(User_Name(&cb->users[i]), name) != 0)
            Add_Row(b, DIFF_RENAMED, DIFF_USER, User_Name(&cb->users[i]), name, i, j, NULL, NULL, NULL);
        if (strcmp(User_Password(&cb->users[i]), User_Password(&ca->users[j])) != 0)
            Add_Row(b, DIFF_PASSWORD_CHANGED, DIFF_USER, name, NULL, i, j, NULL, NULL, NULL);
    }
    free(pairAfter);
    free(pairBefore);
}

/* ---- the whole ---- */

CONFIG_DIFF *Diff_Configs(const CONFIG_IMAGE *before, const CONFIG_IMAGE *after, DIFF_PAIRING pairing)
{
    Trace("Diff_Configs: %d/%d output queues, %d/%d input queues, pairing %s\n", before->targetCount,
          after->targetCount, before->lbqCount, after->lbqCount, pairing == DIFF_PAIR_BY_LOAD ? "by load" : "by name");
    DIFF_BUILD *b = (DIFF_BUILD *)calloc(1, sizeof *b);
    CONFIG_DIFF *diff = (CONFIG_DIFF *)calloc(1, sizeof *diff);
    if (b == NULL || diff == NULL) {
        Trace("Diff_Configs: no memory\n");
        free(b);
        free(diff);
        return NULL;
    }
    b->before = before;
    b->after = after;
    b->pairing = pairing;
    OutBuf_Init(&b->pool);
    if (!OutBuf_Putc(&b->pool, '\0')) b->failed = TRUE;

    Diff_Targets(b);
    Diff_Lbqs(b);
    Diff_Apps(b);
    Diff_Prefs(b);
    Diff_Users(b);

    if (b->failed) {
        Trace("Diff_Configs: no memory for %d rows\n", b->count);
        OutBuf_Free(&b->pool);
        free(b->rows);
        free(b->texts);
        free(b);
        free(diff);
        return NULL;
    }
    /* The pool has stopped growing: the rows can point into it. */
    for (int i = 0; i < b->count; i++) {
        b->rows[i].name = b->pool.data + b->texts[i].name;
        b->rows[i].newName = b->pool.data + b->texts[i].newName;
        b->rows[i].oldValue = b->pool.data + b->texts[i].oldValue;
        b->rows[i].newValue = b->pool.data + b->texts[i].newValue;
    }
    diff->rows = b->rows;
    diff->count = b->count;
    diff->texts = b->pool.data;
    free(b->texts);
    free(b);
    Trace("Diff_Configs: %d rows\n", diff->count);
    return diff;
}

void Free_ConfigDiff(CONFIG_DIFF *diff)
{
    if (diff == NULL) return;
    free(diff->rows);
    free(diff->texts);
    free(diff);
}

/* ---- one row as a line ---- */

static const char *About_Word(DIFF_ABOUT about)
{
    switch (about) {
    case DIFF_QUEUE:       return "Queue";
    case DIFF_INPUT_QUEUE: return "Input queue";
    case DIFF_APPLICATION: return "Application";
    case DIFF_PREFERENCE:  return "Preference";
    case DIFF_USER:        return "User";
    }
    return "";
}

static const char *Shown(const char *value) { return (value == NULL || value[0] == '\0') ? "(none)" : value; }

BOOL Format_DiffRow(const DIFF_ROW *row, char *out, size_t cap)
{
    const char *what = About_Word(row->about);
    const char *name = row->name != NULL ? row->name : "";
    switch (row->kind) {
    case DIFF_ADDED:
        return Format_Text(out, cap, "%s \"%s\" added", what, name);
    case DIFF_DELETED:
        return Format_Text(out, cap, "%s \"%s\" deleted", what, name);
    case DIFF_RENAMED:
        return Format_Text(out, cap, "%s \"%s\" renamed to \"%s\"", what, name, row->newName);
    case DIFF_MOVED:
        return Format_Text(out, cap, "%s \"%s\" moved from %d to %d", what, name, row->oldPos + 1, row->newPos + 1);
    case DIFF_CHANGED: {
        const char *label = row->field != NULL ? row->field->label : "";
        if (row->about == DIFF_PREFERENCE)
            return Format_Text(out, cap, "Preferences: %s: %s -> %s", label, Shown(row->oldValue), Shown(row->newValue));
        return Format_Text(out, cap, "%s \"%s\": %s: %s -> %s", what, name, label, Shown(row->oldValue),
                           Shown(row->newValue));
    }
    case DIFF_OUTPUT_ADDED:
        return Format_Text(out, cap, "%s \"%s\": output \"%s\" added", what, name, row->newValue);
    case DIFF_OUTPUT_REMOVED:
        return Format_Text(out, cap, "%s \"%s\": output \"%s\" removed", what, name, row->oldValue);
    case DIFF_PASSWORD_CHANGED:
        return Format_Text(out, cap, "%s \"%s\": password changed", what, name);
    }
    return Format_Text(out, cap, "%s \"%s\"", what, name);
}
