#include "queueedit/queuetext.h"
#include "common/dlgutil.h"
#include "common/fileutil.h"
#include "common/text.h"
#include <string.h>

const char *const priorityNames[] = {
    "Highest", "High", "Above Normal", "Normal", "Below Normal", "Low", "Lowest", NULL,
};

const char *Priority_Name(int priority)
{
    return (priority >= 1 && priority <= 7) ? priorityNames[priority - 1] : "";
}

BOOL Is_BlankText(const char *text)
{
    for (; *text != '\0'; text++)
        if (*text != ' ' && *text != '\t') return FALSE;
    return TRUE;
}

BOOL Check_DirText(char *text, size_t cap)
{
    size_t len = strlen(text);
    if (len > 0 && len < 3 && cap >= 4) {
        text[1] = ':';
        text[2] = '\\';
        text[3] = '\0';
    }
    return Dir_Exists(text) || Is_AbsDrivePath(text);
}

/* The full form of a directory text for comparing: unquoted, made absolute, without a final
   backslash unless it is a drive's root. FALSE for an empty text or one that has no full form. */
static BOOL Directory_Form(const char *text, char *out, size_t cap)
{
    char plain[PATH_LEN];
    Copy_Field(plain, text);
    Strip_Quotes(plain);
    if (plain[0] == '\0') return FALSE;
    DWORD n = GetFullPathNameA(plain, (DWORD)cap, out, NULL);
    if (n == 0 || n >= cap) return FALSE;
    size_t len = strlen(out);
    while (len > 3 && out[len - 1] == '\\') out[--len] = '\0';
    return TRUE;
}

BOOL Is_SameDir(const char *a, const char *b)
{
    char fa[MAX_PATH * 2], fb[MAX_PATH * 2];
    return Directory_Form(a, fa, sizeof fa) && Directory_Form(b, fb, sizeof fb) && Compare_NoCase(fa, fb) == 0;
}

BOOL Is_InsideDir(const char *dir, const char *parent)
{
    char fd[MAX_PATH * 2], fp[MAX_PATH * 2];
    if (!Directory_Form(dir, fd, sizeof fd) || !Directory_Form(parent, fp, sizeof fp)) return FALSE;
    size_t len = strlen(fp);
    if (strlen(fd) <= len || !Starts_With_NoCase(fd, fp)) return FALSE;
    return fp[len - 1] == '\\' || fd[len] == '\\';
}

/* ---- summaries ---- */

/* The longest text a summary is built in, terminator excluded: what the "too long" rule counts
   against. */
#define SUMMARY_ROOM 260

static void Fit(const TEXT_FITTER *fit, const char *text, char *out, size_t cap, int mode)
{
    if (fit != NULL && fit->fit != NULL) fit->fit(fit->ctx, text, out, cap, mode);
    else Copy_Text(out, cap, text);
}

/* prefix and then path shortened to its place; tooLong instead of the path when the prefix, the
   path and the margin together reach the room of a summary. */
static void Put_Path(SUMMARY *out, const char *prefix, const char *path, size_t margin, const char *tooLong, int mode,
                     const TEXT_FITTER *fit)
{
    char shown[SUMMARY_LEN];
    if (strlen(prefix) + strlen(path) + margin >= SUMMARY_ROOM) Copy_Field(shown, tooLong);
    else Fit(fit, path, shown, sizeof shown, mode);
    Format_Text(out->text, sizeof out->text, "%s%s", prefix, shown);
}

static void Start(SUMMARY *out, int icon)
{
    out->text[0] = '\0';
    out->icon = icon;
    out->app = -1;
}

void Summary_Inputs(const Target *t, const TEXT_FITTER *fit, SUMMARY *out)
{
    BOOL own = t->icon != NULL && t->iconPath[0] != '\0' && strcmp(t->iconPath, " ") != 0;
    Start(out, own ? SI_QUEUE : SI_DIRECTORY);
    if (t->hotDir[0] == '\0') {
        Copy_Field(out->text, "No input directories.");
        return;
    }
    Put_Path(out, "Get jobs to queue from the directory:\n", t->hotDir, 20, "[name too long]", FIT_PATH, fit);
    if (t->includeSubdirs) Append_Field(out->text, "\nand its sub-directories.");
}

void Summary_Thumbnails(const Target *t, const TEXT_FITTER *fit, SUMMARY *out)
{
    Start(out, SI_DIRECTORY);
    if (t->thumbnailDir[0] == '\0') Copy_Field(out->text, "No thumbnail image directory specified.");
    else Put_Path(out, "Get thumbnail images from the directory:\n", t->thumbnailDir, 20, "[name too long]", FIT_PATH, fit);
}

void Summary_JobSettings(const Target *t, const TEXT_FITTER *, SUMMARY *out)
{
    Start(out, SI_JOB_SETTINGS);
    char part[80];
    if (t->initialState == 7) Append_Field(out->text, "Suspend jobs on arrival.");
    if (t->copies > 1) {
        Format_Text(part, sizeof part, out->text[0] == '\0' ? "Run %d copies per job" : ", run %d copies per job",
                    (int)t->copies);
        Append_Field(out->text, part);
    }
    if (out->text[0] != '\0') Append_Field(out->text, ". ");
    Format_Text(part, sizeof part, "Default priority is '%s'.", Priority_Name(t->priority));
    Append_Field(out->text, part);
    if (t->jobsAtATime > 1) {
        Format_Text(part, sizeof part, " Process %d jobs at a time.", (int)t->jobsAtATime);
        Append_Field(out->text, part);
    }
}

int Process_Icon(const Target *t, int *app)
{
    *app = -1;
    if (t->noProcesses) return SI_NO_PROCESSES;
    int ref = t->processRef;
    if (ref == NO_PROCESSES) return SI_PROCESSES;
    if (t->usesGroup) {
        if (ref < 0 || ref >= MAX_APPGROUPS) return SI_PROCESSES;
        return appGroups[ref].parallel ? SI_PARALLEL : SI_SERIES;
    }
    if (ref < 0 || ref >= MAX_APPS) return SI_PROCESSES;
    *app = ref;
    return SI_APP;
}

void Summary_Processes(const Target *t, const TEXT_FITTER *fit, SUMMARY *out)
{
    int app;
    Start(out, Process_Icon(t, &app));
    out->app = app;
    switch (out->icon) {
    case SI_NO_PROCESSES:
        Copy_Field(out->text, "No processes queue.");
        break;
    case SI_PARALLEL:
    case SI_SERIES:
        Format_Text(out->text, sizeof out->text, out->icon == SI_PARALLEL ? "%d processes running in parallel."
                                                                          : "%d processes running in series.",
                    (int)appGroups[t->processRef].count);
        break;
    case SI_APP:
        if (apps[app].path[0] == '\0') Copy_Field(out->text, "No processes.");
        else Put_Path(out, "Run the process:\n", apps[app].path, 5, "[name too long]", FIT_PATH, fit);
        break;
    default:
        Copy_Field(out->text, "No processes.");
        break;
    }
}

void Summary_Instructions(const Target *t, const TEXT_FITTER *fit, SUMMARY *out)
{
    if (t->parameters[0] == '\0') {
        Start(out, SI_PARAMETERS);
        Copy_Field(out->text, "No parameters.");
    } else if (t->parametersIsFile) {
        Start(out, SI_PARAM_FILE);
        Put_Path(out, "Using the file:\n", t->parameters, 0, "[name too long]", FIT_PATH, fit);
    } else {
        Start(out, SI_PARAMETERS);
        Put_Path(out, "Using the parameters:\n", t->parameters, 5, "[string too long]", FIT_END, fit);
    }
}

void Summary_CleanUp(const Target *t, const TEXT_FITTER *fit, SUMMARY *out)
{
    char shown[SUMMARY_LEN];
    switch (t->afterAction) {
    case AFTER_RECYCLE:
        Start(out, SI_RECYCLE);
        Copy_Field(out->text, "Send jobs to the recycle bin.");
        return;
    case AFTER_MOVE_DONE:
        Start(out, SI_DIRECTORY);
        Fit(fit, t->doneDir, shown, sizeof shown, FIT_PATH);
        Format_Text(out->text, sizeof out->text, "Move jobs to:\n%s", shown);
        return;
    case AFTER_DELETE:
        Start(out, SI_DELETE);
        Copy_Field(out->text, "Delete jobs.");
        return;
    }
    if (t->afterAction < 0) {
        Start(out, SI_NONE);
        Copy_Field(out->text, "Leave jobs where they are.");
        return;
    }
    if (t->afterAction >= targetCount) {
        /* a reference to a queue that is not there (only a damaged file gives one) */
        Start(out, SI_NONE);
        Format_Text(out->text, sizeof out->text, "Pass jobs to queue %d.", (int)t->afterAction + 1);
        return;
    }
    const Target *next = &targets[t->afterAction];
    int app;
    Start(out, Process_Icon(next, &app));
    out->app = app;
    Fit(fit, next->name, shown, sizeof shown, FIT_END);
    Format_Text(out->text, sizeof out->text, "Pass jobs to \"%s\".", shown);
}

void Summary_Identity(const Target *t, const TEXT_FITTER *, SUMMARY *out)
{
    Start(out, SI_IDENTITY);
    if (t->mutexGroup[0] == '\0' && t->outputIdentity[0] == '\0') {
        Copy_Field(out->text, "This queue runs independently of all others.");
        return;
    }
    char part[SUMMARY_LEN];
    if (t->mutexGroup[0] != '\0') Format_Text(part, sizeof part, "Member of the \"%s\" group, \n", t->mutexGroup);
    else Copy_Field(part, "Not a member of a mutex group.\n");
    Append_Field(out->text, part);
    if (t->outputIdentity[0] != '\0') Format_Text(part, sizeof part, "with output identity \"%s\".\n", t->outputIdentity);
    else Copy_Field(part, "with no output identity string.\n");
    Append_Field(out->text, part);
}

/* ---- Job Settings, thumbnail directory and multi-job rules ---- */

void MultiJob_Summary(const Target *t, char *out, size_t cap)
{
    if (t->jobsAtATime <= 1) {
        Copy_Text(out, cap, "Process jobs individually.");
        return;
    }
    if (t->timeoutAction == TIMEOUT_NEVER) {
        Format_Text(out, cap, "Process %d jobs at a time.", (int)t->jobsAtATime);
        return;
    }
    char action[80];
    switch (t->timeoutAction) {
    case TIMEOUT_PROCESS: Copy_Field(action, "process any waiting jobs anyway."); break;
    case TIMEOUT_MOVE:    Copy_Field(action, "move waiting jobs to another directory."); break;
    case TIMEOUT_RECYCLE: Copy_Field(action, "send all waiting jobs to the recycle bin."); break;
    case TIMEOUT_DELETE:  Copy_Field(action, "delete all waiting jobs."); break;
    default:
        if (t->timeoutAction >= 0) Format_Text(action, sizeof action, "move waiting jobs to queue %d.", (int)t->timeoutAction + 1);
        else Copy_Field(action, "pass waiting jobs to a queue not yet chosen.");
        break;
    }
    int seconds = t->timeoutSeconds;
    Format_Text(out, cap, "Wait up to %d:%02d minutes for %d jobs, then %s", seconds / 60, seconds % 60,
                (int)t->jobsAtATime, action);
}

static const char *Skip_Blanks(const char *text)
{
    while (*text == ' ' || *text == '\t') text++;
    return text;
}

static char Lower(char c) { return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c; }

/* TRUE when the first n characters of a and b are equal, letter case ignored. */
static BOOL Same_Start(const char *a, const char *b, size_t n)
{
    for (size_t i = 0; i < n; i++)
        if (Lower(a[i]) != Lower(b[i])) return FALSE;
    return TRUE;
}

BOOL Thumb_DirsOverlap(const char *a, const char *b)
{
    a = Skip_Blanks(a);
    b = Skip_Blanks(b);
    size_t la = strlen(a), lb = strlen(b);
    if (la == 0 || lb == 0) return FALSE;
    size_t n = la < lb ? la : lb;
    if (!Same_Start(a, b, n)) return FALSE;
    if (la == lb) return TRUE;
    return (la > lb ? a : b)[n] == '\\';
}

int Find_ThumbOverlap(const char *dir, int self)
{
    for (int i = 0; i < targetCount && i < MAX_TARGETS; i++)
        if (i != self && Thumb_DirsOverlap(dir, targets[i].thumbnailDir)) return i;
    return -1;
}

int Find_TargetByName(const char *name)
{
    name = Skip_Blanks(name);
    size_t len = strlen(name);
    while (len > 0 && (name[len - 1] == ' ' || name[len - 1] == '\t')) len--;
    if (len == 0) return -1;
    for (int i = 0; i < targetCount && i < MAX_TARGETS; i++)
        if (strlen(targets[i].name) == len && Same_Start(targets[i].name, name, len)) return i;
    return -1;
}

/* A directory in the form it is compared in: without quotes, blanks around it, forward slashes
   or a final backslash (a drive's root keeps its own). */
static void Dir_Key(const char *dir, char *out, size_t cap)
{
    Copy_Text(out, cap, Skip_Blanks(dir));
    Strip_Quotes(out);
    for (char *p = out; *p != '\0'; p++)
        if (*p == '/') *p = '\\';
    size_t len = strlen(out);
    while (len > 0 && (out[len - 1] == ' ' || out[len - 1] == '\t')) out[--len] = '\0';
    while (len > 1 && out[len - 1] == '\\' && !(len == 3 && out[1] == ':')) out[--len] = '\0';
}

/* TRUE when jobs put into dir would be found in the hot directory hot: dir is hot, or lies
   below it and the queue watches the folders below its hot directory. */
static BOOL Dir_FeedsHotDir(const char *dir, const char *hot, BOOL subdirs)
{
    char d[PATH_LEN], h[PATH_LEN];
    Dir_Key(dir, d, sizeof d);
    Dir_Key(hot, h, sizeof h);
    size_t ld = strlen(d), lh = strlen(h);
    if (ld == 0 || lh == 0 || ld < lh || !Same_Start(d, h, lh)) return FALSE;
    if (ld == lh) return TRUE;
    return subdirs && (h[lh - 1] == '\\' || d[lh] == '\\');
}

int Hot_DirTaker(const char *dir, const Target *t, char *name, size_t cap)
{
    if (cap > 0) name[0] = '\0';
    if (Dir_FeedsHotDir(dir, t->hotDir, t->includeSubdirs)) return TAKER_SELF;
    for (int i = 0; i < targetCount && i < MAX_TARGETS; i++) {
        if (i == t->slotIndex || !Dir_FeedsHotDir(dir, targets[i].hotDir, targets[i].includeSubdirs)) continue;
        Copy_Text(name, cap, targets[i].name);
        return TAKER_OTHER;
    }
    for (int i = 0; i < lbqCount && i < MAX_LBQS; i++) {
        if (!Dir_FeedsHotDir(dir, lbqs[i].hotDir, lbqs[i].includeSubdirs)) continue;
        Copy_Text(name, cap, lbqs[i].name);
        return TAKER_OTHER;
    }
    return TAKER_NONE;
}
