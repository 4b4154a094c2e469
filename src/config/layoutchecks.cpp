#include "config/layoutchecks.h"
#include "config/fields.h"
#include "config/lbfile.h"
#include "config/model.h"
#include "config/queuesfile.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/rowset.h"
#include "common/text.h"
#include "common/trace.h"
#include <stddef.h>
#include <string.h>

#define ASK_LISTED   10          /* findings listed in the question at OK; the rest are counted */
#define ASK_TEXT_LEN 8192

/* ---- paths ---- */

void Normal_Path(const char *path, char *out, size_t cap)
{
    char bare[PATH_LEN];
    Copy_Field(bare, path != NULL ? path : "");
    Strip_Quotes(bare);
    /* blanks around a path typed into a field are no part of it */
    size_t start = strspn(bare, " \t");
    size_t end = strlen(bare);
    while (end > start && (bare[end - 1] == ' ' || bare[end - 1] == '\t')) end--;
    bare[end] = '\0';
    if (bare[start] == '\0') {
        Copy_Text(out, cap, "");
        return;
    }
    char full[PATH_LEN];
    DWORD n = GetFullPathNameA(bare + start, sizeof full, full, NULL);
    if (n == 0 || n >= sizeof full) Copy_Field(full, bare + start);
    for (char *p = full; *p != '\0'; p++) {
        if (*p == '/') *p = '\\';
        if (*p >= 'a' && *p <= 'z') *p = (char)(*p - 'a' + 'A');
    }
    size_t len = strlen(full);
    /* "C:\" keeps its backslash; "C:\Hot\" and "\\server\share\" do not */
    while (len > 0 && full[len - 1] == '\\' && !(len == 3 && full[1] == ':')) full[--len] = '\0';
    Copy_Text(out, cap, full);
}

/* inner and outer are normal paths. */
static BOOL Normal_Within(const char *inner, const char *outer)
{
    size_t n = strlen(outer);
    if (n == 0 || strncmp(inner, outer, n) != 0) return FALSE;
    return inner[n] == '\0' || inner[n] == '\\' || outer[n - 1] == '\\';
}

BOOL Same_Path(const char *a, const char *b)
{
    char na[PATH_LEN], nb[PATH_LEN];
    Normal_Path(a, na, sizeof na);
    Normal_Path(b, nb, sizeof nb);
    return na[0] != '\0' && strcmp(na, nb) == 0;
}

BOOL Path_Within(const char *inner, const char *outer)
{
    char ni[PATH_LEN], no[PATH_LEN];
    Normal_Path(inner, ni, sizeof ni);
    Normal_Path(outer, no, sizeof no);
    return ni[0] != '\0' && Normal_Within(ni, no);
}

int Queue_FileLine(BOOL lbq, int pos) { return lbq ? pos + 1 : lbqCount + pos + 1; }

/* The page of the queue editor that edits the Target field at offset. */
static int Page_Of(size_t offset)
{
    const FIELD_DEF *f = Find_FieldAt(FT_TARGET, offset);
    return f != NULL ? (int)f->page : (int)QPAGE_NONE;
}

/* A finding about output queue pos, at its line of the queues file. */
static FINDING *Target_Finding(FINDINGS *list, int kind, int severity, int pos, int page, const char *fmt, ...)
    __attribute__((format(printf, 6, 7)));
static FINDING *Target_Finding(FINDINGS *list, int kind, int severity, int pos, int page, const char *fmt, ...)
{
    char text[FINDING_TEXT_LEN];
    va_list args;
    va_start(args, fmt);
    Format_TextV(text, sizeof text, fmt, args);
    va_end(args);
    FINDING *f = Add_Finding(list, QUEUES_FILE, Queue_FileLine(FALSE, pos), severity, "%s", text);
    if (f == NULL) return NULL;
    f->kind = kind;
    Set_FindingAbout(f, ROWREF_TARGET, pos, targets[pos].name, page);
    return f;
}

static FINDING *Lbq_Finding(FINDINGS *list, int kind, int severity, int pos, const char *fmt, ...)
    __attribute__((format(printf, 5, 6)));
static FINDING *Lbq_Finding(FINDINGS *list, int kind, int severity, int pos, const char *fmt, ...)
{
    char text[FINDING_TEXT_LEN];
    va_list args;
    va_start(args, fmt);
    Format_TextV(text, sizeof text, fmt, args);
    va_end(args);
    FINDING *f = Add_Finding(list, QUEUES_FILE, Queue_FileLine(TRUE, pos), severity, "%s", text);
    if (f == NULL) return NULL;
    f->kind = kind;
    Set_FindingAbout(f, ROWREF_LBQ, pos, lbqs[pos].name, QPAGE_INPUTQUEUE);
    return f;
}

/* ---- the checks that refuse a save ---- */

static void Check_App(FINDINGS *list, int pos, int entry)
{
    const char *path = (entry >= 0 && entry < MAX_APPS && !apps[entry].free) ? apps[entry].path : "";
    if (path[0] != '\0' && File_Exists(path)) return;
    int page = Page_Of(offsetof(Target, processRef));
    if (path[0] == '\0')
        Target_Finding(list, FIND_CHECK, SEV_ERROR, pos, page,
                       "queue \"%s\" runs an application that the applications file does not hold; choose its "
                       "processes again on the Processes page.", targets[pos].name);
    else
        Target_Finding(list, FIND_CHECK, SEV_ERROR, pos, page,
                       "queue \"%s\" runs the application \"%s\", which does not exist; choose an existing program "
                       "on the Processes page.", targets[pos].name, path);
}

void Check_SaveRules(FINDINGS *list)
{
    Trace("Check_SaveRules ()\n");
    /* every missing application, as Check_AppPaths would ask about them one by one */
    for (int i = 0; i < targetCount; i++) {
        const Target *t = &targets[i];
        if (t->processRef == NO_PROCESSES || t->noProcesses) continue;
        if (!t->usesGroup) {
            Check_App(list, i, t->processRef);
            continue;
        }
        if (t->processRef < 0 || t->processRef >= MAX_APPGROUPS || appGroups[t->processRef].free) {
            Check_App(list, i, -1);
            continue;
        }
        const AppGroup *g = &appGroups[t->processRef];
        int count = (g->count < MAX_GROUP_MEMBERS) ? g->count : MAX_GROUP_MEMBERS;
        for (int m = 0; m < count; m++) Check_App(list, i, g->members[m]);
    }
    /* every queue whose name an earlier queue bears */
    for (int i = 1; i < targetCount; i++) {
        for (int j = 0; j < i; j++) {
            if (Compare_NoCase(targets[i].name, targets[j].name) != 0) continue;
            Target_Finding(list, FIND_CHECK, SEV_ERROR, i, Page_Of(offsetof(Target, name)),
                           "queue %d has the same name as queue %d (\"%s\"); give each queue a name of its own.",
                           i + 1, j + 1, targets[i].name);
            break;
        }
    }
    for (int i = 0; i < lbqCount; i++) {
        if (lbqs[i].queueGroupEnabled == 0) continue;
        int outputs = Count_LBQOutputs(lbqs[i].outputs);
        if (outputs >= 2) continue;
        FINDING *f = Add_Finding(list, LB_FILE, 0, SEV_ERROR,
                                 "input queue \"%s\" has balancing enabled but %d output queue%s; add a second output, "
                                 "delete the input queue or turn balancing off.",
                                 lbqs[i].name, outputs, outputs == 1 ? "" : "s");
        if (f != NULL) {
            f->kind = FIND_CHECK;
            Set_FindingAbout(f, ROWREF_LBQ, i, lbqs[i].name, QPAGE_INPUTQUEUE);
        }
    }
}

/* ---- the folder layout ---- */

/* Every queue's hot directory, input queues first as in the queues file. */
typedef struct {
    BOOL lbq;
    int  pos;
    BOOL subdirs;
    const char *raw;             /* as configured */
    char hot[PATH_LEN];          /* normal; "" when the queue names none */
} HOT_DIR;

typedef struct {
    int     count;
    HOT_DIR dirs[MAX_QUEUES];
} HOT_DIRS;

static const char *Queue_Name(const HOT_DIR *h) { return h->lbq ? lbqs[h->pos].name : targets[h->pos].name; }

static void Take_HotDirs(HOT_DIRS *hd)
{
    hd->count = 0;
    for (int i = 0; i < lbqCount && hd->count < MAX_QUEUES; i++) {
        HOT_DIR *h = &hd->dirs[hd->count++];
        h->lbq = TRUE;
        h->pos = i;
        h->subdirs = lbqs[i].includeSubdirs;
        h->raw = lbqs[i].hotDir;
        Normal_Path(lbqs[i].hotDir, h->hot, sizeof h->hot);
    }
    for (int i = 0; i < targetCount && hd->count < MAX_QUEUES; i++) {
        HOT_DIR *h = &hd->dirs[hd->count++];
        h->lbq = FALSE;
        h->pos = i;
        h->subdirs = targets[i].includeSubdirs;
        h->raw = targets[i].hotDir;
        Normal_Path(targets[i].hotDir, h->hot, sizeof h->hot);
    }
}

static FINDING *Hot_Finding(FINDINGS *list, const HOT_DIR *h, const char *fmt, const char *a, const char *b,
                            const char *c)
{
    char text[FINDING_TEXT_LEN];
    Format_Text(text, sizeof text, fmt, a, b, c);
    if (h->lbq) return Lbq_Finding(list, FIND_LAYOUT, SEV_WARNING, h->pos, "%s", text);
    return Target_Finding(list, FIND_LAYOUT, SEV_WARNING, h->pos, Page_Of(offsetof(Target, hotDir)), "%s", text);
}

static void Check_HotDirs(FINDINGS *list, const HOT_DIRS *hd)
{
    for (int i = 0; i < hd->count; i++) {
        const HOT_DIR *h = &hd->dirs[i];
        if (h->hot[0] == '\0') continue;
        /* the first earlier queue on the same folder */
        for (int j = 0; j < i; j++) {
            if (strcmp(hd->dirs[j].hot, h->hot) != 0) continue;
            Hot_Finding(list, h,
                        "queue \"%s\" has the same hot directory as queue \"%s\" (%s): both would take its jobs; give "
                        "each queue a hot directory of its own.",
                        Queue_Name(h), Queue_Name(&hd->dirs[j]), hd->dirs[j].raw);
            break;
        }
        /* the first queue taking sub-directories whose hot directory holds this one */
        for (int j = 0; j < hd->count; j++) {
            const HOT_DIR *o = &hd->dirs[j];
            if (j == i || !o->subdirs || o->hot[0] == '\0' || strcmp(o->hot, h->hot) == 0) continue;
            if (!Normal_Within(h->hot, o->hot)) continue;
            Hot_Finding(list, h,
                        "the hot directory of queue \"%s\" lies inside that of queue \"%s\" (%s), which takes "
                        "sub-directories: both would take its jobs; move one of the hot directories.",
                        Queue_Name(h), Queue_Name(o), o->raw);
            break;
        }
    }
}

/* A directory of an output queue where finished, timed-out, excluded files or thumbnails go. */
typedef struct {
    size_t      offset;
    const char *words;
} JOB_DIR;
static const JOB_DIR k_JobDirs[] = {
    { offsetof(Target, doneDir), "done directory" },
    { offsetof(Target, timeoutDir), "time-out directory" },
    { offsetof(Target, excludeFilterDir), "directory for excluded files" },
    { offsetof(Target, thumbnailDir), "thumbnail directory" },
};

/* The directory is one the queue uses as it is set up now. */
static BOOL Job_DirInUse(const Target *t, size_t offset)
{
    if (offset == offsetof(Target, doneDir)) return t->afterAction == AFTER_MOVE_DONE;
    if (offset == offsetof(Target, timeoutDir)) return t->jobsAtATime >= 2 && t->timeoutAction == TIMEOUT_MOVE;
    return TRUE;
}

static void Check_JobDirs(FINDINGS *list, const HOT_DIRS *hd)
{
    for (int i = 0; i < targetCount; i++) {
        const Target *t = &targets[i];
        for (size_t d = 0; d < ARRAY_LEN(k_JobDirs); d++) {
            if (!Job_DirInUse(t, k_JobDirs[d].offset)) continue;
            const char *dir = (const char *)t + k_JobDirs[d].offset;
            char normal[PATH_LEN];
            Normal_Path(dir, normal, sizeof normal);
            if (normal[0] == '\0') continue;
            for (int j = 0; j < hd->count; j++) {
                const HOT_DIR *h = &hd->dirs[j];
                if (h->hot[0] == '\0' || !Normal_Within(normal, h->hot)) continue;
                Target_Finding(list, FIND_LAYOUT, SEV_WARNING, i, Page_Of(k_JobDirs[d].offset),
                               "the %s of queue \"%s\" (%s) lies inside the hot directory of queue \"%s\": its jobs "
                               "would come back as new jobs; choose a directory outside every hot directory.",
                               k_JobDirs[d].words, t->name, dir, Queue_Name(h));
                break;
            }
        }
    }
}

/* ---- pass-to loops ---- */

#define LOOP_STEPS_MAX 200000    /* the search gives up past this many steps (a pathological web) */

typedef struct {
    int  next[MAX_TARGETS][2];   /* the queues each queue passes jobs to; -1 for none */
    int  path[MAX_TARGETS];
    int  depth;
    BOOL onPath[MAX_TARGETS];
    long steps;
} LOOP_SEARCH;

static void Report_Loop(FINDINGS *list, const LOOP_SEARCH *s)
{
    char chain[FINDING_TEXT_LEN] = "";
    for (int k = 0; k <= s->depth; k++) {
        int q = (k < s->depth) ? s->path[k] : s->path[0];
        char one[TEXT_LEN + 8];
        Format_Text(one, sizeof one, k ? " -> \"%s\"" : "\"%s\"", targets[q].name);
        Append_Field(chain, one);
    }
    int first = s->path[0];
    Target_Finding(list, FIND_LAYOUT, SEV_WARNING, first, Page_Of(offsetof(Target, afterAction)),
                   "queues pass jobs on in a loop (%s): jobs would circle for ever; end the chain at a queue that "
                   "does not pass its jobs on.", chain);
}

/* Loops through start whose other queues all come after it: each loop is found once, from its
   first queue. */
static void Find_Loops(FINDINGS *list, LOOP_SEARCH *s, int start, int at)
{
    if (++s->steps > LOOP_STEPS_MAX) return;
    s->path[s->depth++] = at;
    s->onPath[at] = TRUE;
    for (int e = 0; e < 2; e++) {
        int n = s->next[at][e];
        if (n < 0) continue;
        if (n == start) Report_Loop(list, s);
        else if (n > start && !s->onPath[n]) Find_Loops(list, s, start, n);
    }
    s->onPath[at] = FALSE;
    s->depth--;
}

static void Check_PassLoops(FINDINGS *list)
{
    static LOOP_SEARCH s;
    memset(&s, 0, sizeof s);
    for (int i = 0; i < targetCount && i < MAX_TARGETS; i++) {
        int a = targets[i].afterAction, t = targets[i].timeoutAction;
        s.next[i][0] = (a >= 0 && a < targetCount) ? a : -1;
        s.next[i][1] = (t >= 0 && t < targetCount && t != s.next[i][0]) ? t : -1;
    }
    for (int i = 0; i < targetCount && i < MAX_TARGETS; i++) Find_Loops(list, &s, i, i);
    if (s.steps > LOOP_STEPS_MAX) Trace("Check_PassLoops: gave up after %d steps\n", LOOP_STEPS_MAX);
}

static void Check_LbqOutputs(FINDINGS *list)
{
    for (int i = 0; i < lbqCount; i++) {
        char own[PATH_LEN];
        Normal_Path(lbqs[i].hotDir, own, sizeof own);
        if (own[0] == '\0') continue;
        for (int t = 0; t < targetCount && t < MAX_LBQ_OUTPUTS; t++) {
            if (lbqs[i].outputs[t] != 1) continue;
            char out[PATH_LEN];
            Normal_Path(targets[t].hotDir, out, sizeof out);
            if (strcmp(out, own) != 0) continue;
            Lbq_Finding(list, FIND_LAYOUT, SEV_WARNING, i,
                        "input queue \"%s\" sends jobs to queue \"%s\", whose hot directory is the input queue's own: "
                        "the jobs would come straight back; give the output queue a hot directory of its own.",
                        lbqs[i].name, targets[t].name);
        }
    }
}

/* ---- folders that are not there ---- */

typedef struct {
    int  count;
    char seen[MAX_QUEUES * 4][PATH_LEN];
} SEEN_DIRS;

static void Check_Dir(FINDINGS *list, SEEN_DIRS *seen, BOOL lbq, int pos, size_t offset, const char *dir)
{
    if (dir == NULL || dir[0] == '\0' || strcmp(dir, " ") == 0) return;
    char normal[PATH_LEN];
    Normal_Path(dir, normal, sizeof normal);
    if (normal[0] == '\0') return;
    for (int k = 0; k < seen->count; k++)
        if (strcmp(seen->seen[k], normal) == 0) return;
    if (seen->count < (int)ARRAY_LEN(seen->seen)) Copy_Field(seen->seen[seen->count++], normal);
    if (Dir_Exists(dir) || File_Exists(dir)) return;
    const char *text = "the directory \"%s\" does not exist; the next save creates it (or create it yourself).";
    if (lbq) Lbq_Finding(list, FIND_MISSING_DIR, SEV_WARNING, pos, text, dir);
    else Target_Finding(list, FIND_MISSING_DIR, SEV_WARNING, pos, Page_Of(offset), text, dir);
}

/* The folders a save creates, in the order it creates them. */
static void Check_MissingDirs(FINDINGS *list)
{
    static SEEN_DIRS seen;
    seen.count = 0;
    for (int i = 0; i < targetCount; i++) {
        const Target *t = &targets[i];
        if (t->monitorProcesses != 1) Check_Dir(list, &seen, FALSE, i, offsetof(Target, hotDir), t->hotDir);
        if (t->afterAction == AFTER_MOVE_DONE) Check_Dir(list, &seen, FALSE, i, offsetof(Target, doneDir), t->doneDir);
        if (t->jobsAtATime >= 2 && t->timeoutAction == TIMEOUT_MOVE)
            Check_Dir(list, &seen, FALSE, i, offsetof(Target, timeoutDir), t->timeoutDir);
    }
    for (int i = 0; i < targetCount; i++)
        Check_Dir(list, &seen, FALSE, i, offsetof(Target, thumbnailDir), targets[i].thumbnailDir);
    for (int i = 0; i < lbqCount; i++) Check_Dir(list, &seen, TRUE, i, 0, lbqs[i].hotDir);
}

/* withDirs: also the folders that are not there (which asks the disk about each one). */
static void Check_LayoutOf(FINDINGS *list, BOOL withDirs)
{
    static HOT_DIRS hd;
    Take_HotDirs(&hd);
    Check_HotDirs(list, &hd);
    Check_JobDirs(list, &hd);
    Check_PassLoops(list);
    Check_LbqOutputs(list);
    if (withDirs) Check_MissingDirs(list);
}

void Check_Layout(FINDINGS *list)
{
    Trace("Check_Layout ()\n");
    Check_LayoutOf(list, TRUE);
}

void Check_All(FINDINGS *list)
{
    Trace("Check_All ()\n");
    Clear_Findings(list);
    Append_Findings(list, &loadFindings);
    Check_SaveRules(list);
    Check_Layout(list);
    Sort_Findings(list);
}

/* ---- the question at OK ---- */

static FINDINGS s_LoadLayout;
static FINDINGS s_NowLayout;

void Note_LoadLayout(void)
{
    /* the missing folders are never asked about: the load does not look for them */
    Clear_Findings(&s_LoadLayout);
    Check_LayoutOf(&s_LoadLayout, FALSE);
    Trace("Note_LoadLayout: %d layout findings at load\n", s_LoadLayout.count);
}

void Forget_LoadLayout(void) { Clear_Findings(&s_LoadLayout); }

static BOOL Was_AtLoad(const FINDING *f)
{
    for (int i = 0; i < s_LoadLayout.count; i++)
        if (strcmp(s_LoadLayout.items[i].text, f->text) == 0) return TRUE;
    return FALSE;
}

BOOL Ask_NewLayoutFindings(BOOL silent)
{
    Trace("Ask_NewLayoutFindings ( %d )\n", silent);
    Clear_Findings(&s_NowLayout);
    Check_LayoutOf(&s_NowLayout, silent);
    char line[FINDING_LINE_LEN];
    if (silent) {
        for (int i = 0; i < s_NowLayout.count; i++) {
            Format_Finding(&s_NowLayout.items[i], line, sizeof line);
            Trace("Layout finding: %s\n", line);
        }
        return TRUE;
    }
    static char text[ASK_TEXT_LEN];
    int fresh = 0;
    for (int i = 0; i < s_NowLayout.count; i++) {
        const FINDING *f = &s_NowLayout.items[i];
        if (f->kind != FIND_LAYOUT || Was_AtLoad(f)) continue;
        if (fresh == 0) Copy_Field(text, "");
        if (fresh < ASK_LISTED) {
            Format_Text(line, sizeof line, "- %s\r\n", f->text);
            Append_Field(text, line);
        }
        fresh++;
    }
    if (fresh == 0) return TRUE;
    Trace("Ask_NewLayoutFindings: %d new\n", fresh);
    char head[200], tail[200];
    Format_Text(head, sizeof head, "The changes bring %d new problem%s with how the queues' folders fit together:\r\n\r\n",
                fresh, fresh == 1 ? "" : "s");
    if (fresh > ASK_LISTED) Format_Text(tail, sizeof tail, "and %d more\r\n", fresh - ASK_LISTED);
    else tail[0] = '\0';
    static char whole[ASK_TEXT_LEN + 512];
    Format_Text(whole, sizeof whole, "%s%s%s\r\nSave anyway?\r\n\r\nYes saves the configuration as it is; No goes back "
                "to the editor.", head, text, tail);
    int answer = Show_MessageBox(NULL, whole, programTitle, MB_YESNO | MB_ICONWARNING | MB_EDITOR);
    Trace("Ask_NewLayoutFindings: %s\n", answer == IDYES ? "saving anyway" : "back to the editor");
    return answer == IDYES;
}
