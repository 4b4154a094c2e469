#include "config/findqueues.h"
#include "config/model.h"
#include "common/text.h"
#include <string.h>

/* Letter case folded by the system's own rules for the ANSI code page, so that accented
   letters match their capitals as the operator expects; made once. */
static unsigned char s_Fold[256];
static BOOL s_FoldMade;

static void Make_Fold(void)
{
    if (s_FoldMade) return;
    for (int c = 0; c < 256; c++) {
        char one = (char)c;
        if (c != 0) CharLowerBuffA(&one, 1);
        s_Fold[c] = (unsigned char)one;
    }
    s_FoldMade = TRUE;
}

void Prepare_FindText(FIND_TEXT *ft, const char *text)
{
    Make_Fold();
    if (text == NULL) text = "";
    while (*text == ' ' || *text == '\t') text++;
    size_t n = strlen(text);
    while (n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\t')) n--;
    if (n > FIND_TEXT_MAX) n = FIND_TEXT_MAX;
    for (size_t i = 0; i < n; i++) ft->folded[i] = (char)s_Fold[(unsigned char)text[i]];
    ft->folded[n] = '\0';
    ft->len = n;
}

BOOL Text_Holds(const char *text, const FIND_TEXT *ft)
{
    if (ft->len == 0) return TRUE;
    if (text == NULL) return FALSE;
    const unsigned char first = (unsigned char)ft->folded[0];
    for (const char *p = text; *p != '\0'; p++) {
        if (s_Fold[(unsigned char)*p] != first) continue;
        size_t k = 1;
        while (k < ft->len && p[k] != '\0' && s_Fold[(unsigned char)p[k]] == (unsigned char)ft->folded[k]) k++;
        if (k == ft->len) return TRUE;
        if (p[k] == '\0') return FALSE;        /* what is left is shorter than the text */
    }
    return FALSE;
}

/* The applications a queue runs: one, the members of its group, or none. Returns how many. */
static int Queue_Apps(const Target *t, int *out)
{
    if (t->noProcesses || t->processRef == NO_PROCESSES || t->processRef < 0) return 0;
    if (!t->usesGroup) {
        if (t->processRef >= MAX_APPS || apps[t->processRef].free) return 0;
        out[0] = t->processRef;
        return 1;
    }
    if (t->processRef >= MAX_APPGROUPS || appGroups[t->processRef].free) return 0;
    const AppGroup *g = &appGroups[t->processRef];
    int n = 0;
    for (int k = 0; k < g->count && k < MAX_GROUP_MEMBERS; k++) {
        int a = g->members[k];
        if (a >= 0 && a < MAX_APPS && !apps[a].free) out[n++] = a;
    }
    return n;
}

static BOOL Found(FIND_FIELD *field, FIND_FIELD which)
{
    if (field != NULL) *field = which;
    return TRUE;
}

BOOL Match_Target(int pos, const FIND_TEXT *ft, FIND_FIELD *field)
{
    if (field != NULL) *field = FIND_NONE;
    if (pos < 0 || pos >= targetCount) return FALSE;
    if (ft->len == 0) return TRUE;
    const Target *t = &targets[pos];
    if (Text_Holds(t->name, ft)) return Found(field, FIND_NAME);
    if (Text_Holds(t->hotDir, ft)) return Found(field, FIND_HOT_DIR);
    if (Text_Holds(t->doneDir, ft)) return Found(field, FIND_DONE_DIR);
    if (Text_Holds(t->timeoutDir, ft)) return Found(field, FIND_TIMEOUT_DIR);
    if (Text_Holds(t->excludeFilterDir, ft)) return Found(field, FIND_EXCLUDE_DIR);
    if (Text_Holds(t->thumbnailDir, ft)) return Found(field, FIND_THUMBNAIL_DIR);
    int run[MAX_GROUP_MEMBERS];
    int n = Queue_Apps(t, run);
    for (int k = 0; k < n; k++)
        if (Text_Holds(apps[run[k]].path, ft)) return Found(field, FIND_APP_PATH);
    for (int k = 0; k < n; k++)
        if (Text_Holds(apps[run[k]].args, ft)) return Found(field, FIND_APP_ARGS);
    if (Text_Holds(t->launchAppPath, ft)) return Found(field, FIND_LAUNCH_APP);
    if (Text_Holds(t->parameters, ft)) return Found(field, FIND_PARAMETERS);
    if (Text_Holds(t->outputIdentity, ft)) return Found(field, FIND_OUTPUT_IDENTITY);
    if (Text_Holds(t->mutexGroup, ft)) return Found(field, FIND_MUTEX_GROUP);
    return FALSE;
}

BOOL Match_LBQ(int pos, const FIND_TEXT *ft, FIND_FIELD *field)
{
    if (field != NULL) *field = FIND_NONE;
    if (pos < 0 || pos >= lbqCount) return FALSE;
    if (ft->len == 0) return TRUE;
    if (Text_Holds(lbqs[pos].name, ft)) return Found(field, FIND_NAME);
    if (Text_Holds(lbqs[pos].hotDir, ft)) return Found(field, FIND_HOT_DIR);
    return FALSE;
}

int Narrow_Queues(const char *text, BOOL *shownTargets, FIND_FIELD *targetFields, BOOL *shownLbqs,
                  FIND_FIELD *lbqFields)
{
    FIND_TEXT ft;
    Prepare_FindText(&ft, text);
    int shown = 0;
    for (int i = 0; i < MAX_TARGETS; i++) {
        FIND_FIELD f = FIND_NONE;
        BOOL on = Match_Target(i, &ft, &f);
        if (shownTargets != NULL) shownTargets[i] = on;
        if (targetFields != NULL) targetFields[i] = f;
        if (on) shown++;
    }
    for (int i = 0; i < MAX_LBQS; i++) {
        FIND_FIELD f = FIND_NONE;
        BOOL on = Match_LBQ(i, &ft, &f);
        if (shownLbqs != NULL) shownLbqs[i] = on;
        if (lbqFields != NULL) lbqFields[i] = f;
        if (on) shown++;
    }
    return shown;
}

static const struct {
    const char *name;
    QUEUE_PAGE  page;
} k_FindFields[FIND_FIELD_COUNT] = {
    { "",                               QPAGE_NONE },
    { "name",                           QPAGE_OVERVIEW },
    { "hot directory",                  QPAGE_INPUTS },
    { "done directory",                 QPAGE_CLEANUP },
    { "directory for waiting jobs",     QPAGE_MULTIJOB },
    { "exclude directory",              QPAGE_JOBSETTINGS },
    { "thumbnail image directory",      QPAGE_THUMBDIR },
    { "application path",               QPAGE_PROCESSES },
    { "application arguments",          QPAGE_PROCESSES },
    { "launch application path",        QPAGE_PROCESSES },
    { "parameters",                     QPAGE_INSTRUCTIONS },
    { "output identity",                QPAGE_IDENTITY },
    { "mutex group",                    QPAGE_IDENTITY },
};

const char *Find_FieldName(FIND_FIELD field)
{
    return (field >= 0 && field < FIND_FIELD_COUNT) ? k_FindFields[field].name : "";
}

QUEUE_PAGE Find_FieldPage(FIND_FIELD field)
{
    return (field >= 0 && field < FIND_FIELD_COUNT) ? k_FindFields[field].page : QPAGE_NONE;
}
