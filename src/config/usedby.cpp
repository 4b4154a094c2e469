#include "config/usedby.h"
#include "config/model.h"
#include "common/text.h"
#include "common/trace.h"
#include <string.h>

static int Put_Use(QUEUE_USE *out, int n, int cap, USE_KIND kind, BOOL isInput, int pos, QUEUE_PAGE page)
{
    if (n < cap) {
        out[n].kind = kind;
        out[n].isInput = isInput;
        out[n].pos = pos;
        out[n].page = page;
    }
    return n + 1;
}

static BOOL Runs_Something(const Target *t)
{
    return !t->noProcesses && t->processRef != NO_PROCESSES && t->processRef >= 0;
}

int Find_QueueUses(int pos, QUEUE_USE *out, int cap)
{
    Trace("Find_QueueUses ( %d ) \n", pos);
    if (pos < 0 || pos >= targetCount) return 0;
    int n = 0;
    for (int i = 0; i < targetCount; i++) {
        if (i == pos) continue;
        if (targets[i].afterAction == pos) n = Put_Use(out, n, cap, USE_PASS_AFTER, FALSE, i, QPAGE_CLEANUP);
        if (targets[i].timeoutAction == pos) n = Put_Use(out, n, cap, USE_PASS_TIMEOUT, FALSE, i, QPAGE_MULTIJOB);
    }
    for (int i = 0; i < lbqCount; i++)
        if (lbqs[i].outputs[pos] == 1) n = Put_Use(out, n, cap, USE_INPUT_QUEUE, TRUE, i, QPAGE_INPUTQUEUE);
    const Target *t = &targets[pos];
    if (Runs_Something(t)) {
        for (int i = 0; i < targetCount; i++) {
            const Target *o = &targets[i];
            if (i == pos || !Runs_Something(o) || (o->usesGroup != 0) != (t->usesGroup != 0) ||
                o->processRef != t->processRef)
                continue;
            n = Put_Use(out, n, cap, t->usesGroup ? USE_SHARES_GROUP : USE_SHARES_APP, FALSE, i, QPAGE_PROCESSES);
        }
    }
    return n < cap ? n : cap;
}

int Find_ReferencesTo(const BOOL *deleting, QUEUE_USE *out, int cap)
{
    int n = 0;
    for (int i = 0; i < targetCount; i++) {
        if (deleting[i]) continue;
        int a = targets[i].afterAction, w = targets[i].timeoutAction;
        if (a >= 0 && a < targetCount && deleting[a]) n = Put_Use(out, n, cap, USE_PASS_AFTER, FALSE, i, QPAGE_CLEANUP);
        if (w >= 0 && w < targetCount && deleting[w])
            n = Put_Use(out, n, cap, USE_PASS_TIMEOUT, FALSE, i, QPAGE_MULTIJOB);
    }
    for (int i = 0; i < lbqCount; i++) {
        for (int k = 0; k < targetCount; k++) {
            if (deleting[k] && lbqs[i].outputs[k] == 1) {
                n = Put_Use(out, n, cap, USE_INPUT_QUEUE, TRUE, i, QPAGE_INPUTQUEUE);
                break;
            }
        }
    }
    return n < cap ? n : cap;
}

/* A path as compared: blanks and double quotes around it dropped. */
static void Bare_Path(const char *path, char *out, size_t cap)
{
    if (path == NULL) path = "";
    while (*path == ' ' || *path == '"') path++;
    size_t n = strlen(path);
    while (n > 0 && (path[n - 1] == ' ' || path[n - 1] == '"')) n--;
    Copy_TextN(out, cap, path, n);
}

static BOOL Same_Path(const char *a, const char *b)
{
    char x[TEXT_LEN], y[TEXT_LEN];
    Bare_Path(a, x, sizeof x);
    Bare_Path(b, y, sizeof y);
    return x[0] != '\0' && lstrcmpiA(x, y) == 0;
}

int Find_AppUses(const char *path, QUEUE_USE *out, int cap)
{
    Trace("Find_AppUses ( %s ) \n", path != NULL ? path : "");
    int n = 0;
    for (int i = 0; i < targetCount; i++) {
        const Target *t = &targets[i];
        if (!Runs_Something(t)) continue;
        BOOL runs = FALSE;
        if (!t->usesGroup) {
            runs = t->processRef < MAX_APPS && !apps[t->processRef].free && Same_Path(apps[t->processRef].path, path);
        } else if (t->processRef < MAX_APPGROUPS && !appGroups[t->processRef].free) {
            const AppGroup *g = &appGroups[t->processRef];
            for (int k = 0; k < g->count && k < MAX_GROUP_MEMBERS && !runs; k++) {
                int a = g->members[k];
                runs = a >= 0 && a < MAX_APPS && !apps[a].free && Same_Path(apps[a].path, path);
            }
        }
        if (runs) n = Put_Use(out, n, cap, USE_RUNS_APP, FALSE, i, QPAGE_PROCESSES);
    }
    return n < cap ? n : cap;
}

const char *Use_Text(USE_KIND kind)
{
    switch (kind) {
    case USE_PASS_AFTER:   return "passes jobs to it after processing";
    case USE_PASS_TIMEOUT: return "passes waiting jobs to it at the time-out";
    case USE_INPUT_QUEUE:  return "input queue that balances jobs to it";
    case USE_SHARES_APP:   return "runs the same application entry";
    case USE_SHARES_GROUP: return "runs the same application group";
    case USE_RUNS_APP:     return "runs the application";
    }
    return "";
}

const char *Use_QueueName(const QUEUE_USE *use)
{
    if (use->isInput) return (use->pos >= 0 && use->pos < lbqCount) ? lbqs[use->pos].name : "";
    return (use->pos >= 0 && use->pos < targetCount) ? targets[use->pos].name : "";
}

static const char *Page_Name(QUEUE_PAGE page)
{
    switch (page) {
    case QPAGE_CLEANUP:    return "Clean-Up";
    case QPAGE_MULTIJOB:   return "Multi-Job Settings";
    case QPAGE_PROCESSES:  return "Processes";
    case QPAGE_INPUTQUEUE: return "Input queue";
    default:               return "";
    }
}

static void Add_UseRows(ROWSET *set, const QUEUE_USE *uses, int n)
{
    RowSet_SetGroupColumn(set, "Queue");
    RowSet_AddColumn(set, "Use", 150, ROWSORT_RANK);
    RowSet_AddColumn(set, "Page", 0, ROWSORT_TEXT);
    for (int k = 0; k < n; k++) {
        ROW_REF ref = { uses[k].isInput ? ROWREF_LBQ : ROWREF_TARGET, uses[k].pos, (int)uses[k].page, (int)uses[k].kind };
        ROW *row = RowSet_AddRow(set, Use_QueueName(&uses[k]), (int)uses[k].kind, &ref);
        if (row == NULL) continue;
        Row_SetCell(row, 0, "%s", Use_Text(uses[k].kind));
        Row_SetCell(row, 1, "%s", Page_Name(uses[k].page));
    }
}

BOOL Fill_QueueUseRows(ROWSET *set, int pos)
{
    static QUEUE_USE uses[MAX_QUEUES * 4];
    int n = Find_QueueUses(pos, uses, (int)ARRAY_LEN(uses));
    Add_UseRows(set, uses, n);
    const char *name = (pos >= 0 && pos < targetCount) ? targets[pos].name : "";
    if (n == 0) RowSet_SetLabel(set, "&Nothing uses \"%s\".", name);
    else RowSet_SetLabel(set, "&Used by: %d use%s of \"%s\"", n, n == 1 ? "" : "s", name);
    return TRUE;
}

BOOL Fill_AppUseRows(ROWSET *set, const char *path)
{
    static QUEUE_USE uses[MAX_QUEUES];
    int n = Find_AppUses(path, uses, (int)ARRAY_LEN(uses));
    Add_UseRows(set, uses, n);
    if (n == 0) RowSet_SetLabel(set, "&No queue runs %s", path);
    else RowSet_SetLabel(set, "&Used by: %d queue%s run%s %s", n, n == 1 ? "" : "s", n == 1 ? "s" : "", path);
    return TRUE;
}

int List_AppPaths(const char **out, int cap)
{
    int n = 0;
    for (int a = 0; a < MAX_APPS && n < cap; a++) {
        if (apps[a].free || apps[a].path[0] == '\0') continue;
        BOOL seen = FALSE;
        for (int k = 0; k < n && !seen; k++) seen = Same_Path(out[k], apps[a].path);
        if (!seen) out[n++] = apps[a].path;
    }
    return n;
}
