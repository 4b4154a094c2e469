#include "queueedit/cleanup_rules.h"
#include "queueedit/queuetext.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "resources/resource.h"
#include <string.h>

static const DURATION_PART k_KeepParts[] = {
    { IDC_CU_DAYS, 86400, LIMIT_KEEP_DAYS, NULL },
    { IDC_CU_HOURS, 3600, LIMIT_KEEP_HOURS, NULL },
    { IDC_CU_MINUTES, 60, LIMIT_KEEP_MINUTES, NULL },
    { IDC_CU_SECONDS, 1, LIMIT_KEEP_SECS, NULL },
};
const DURATION_DEF keepTime = {
    k_KeepParts, (int)ARRAY_LEN(k_KeepParts), LIMIT_KEEP_SECONDS, FALSE, 10, NULL, IDC_CU_DAYS,
    "A completed job can be left in the queue for at most 31 days.  Please shorten the time.", IDC_CU_DAYS,
};

BOOL Check_NextQueue(const Target *t, const char *typed, BOOL validate, int32_t *action)
{
    int pos = Find_TargetByName(typed);
    Trace("Check_NextQueue: \"%s\" pos=%d%s\n", typed, pos, validate ? " (validating)" : "");
    if (validate && pos < 0) {
        Info_Box(programTitle, "The chosen follow on queue has not been recognised.  Please correct the entry or select another.");
        return FALSE;
    }
    if (validate && pos == t->slotIndex) {
        int answer = Message_Box(programTitle, MB_YESNO | MB_ICONQUESTION | MB_EDITOR,
                                 "The chosen follow on queue is also the current queue.  Are you sure you want to keep "
                                 "re-queuing files infinitely in this queue?");
        if (answer != IDYES) return FALSE;
    }
    if (pos >= 0) *action = pos;
    return TRUE;
}

/* TRUE when jobs put into dir would be taken up by a queue watching hotDir. */
static BOOL Watched_By(const char *dir, const char *hotDir, BOOL includeSubdirs)
{
    return Is_SameDir(dir, hotDir) || (includeSubdirs && Is_InsideDir(dir, hotDir));
}

BOOL Check_DoneDir(const Target *t, char *text, size_t cap, BOOL validate)
{
    BOOL isPath = Check_DirText(text, cap);
    if (!validate) return TRUE;
    Trace("Check_DoneDir: \"%s\"\n", text);
    if (!isPath) {
        Info_Box(programTitle, "The chosen done directory for completed files is not a valid path name.  Please correct the "
                               "entry or select an existing directory using the chooser.");
        return FALSE;
    }
    /* A queue that runs monitor processes takes no jobs from its hot directory. */
    if (!t->monitorProcesses && Watched_By(text, t->hotDir, t->includeSubdirs)) {
        Trace("Check_DoneDir: the queue's own hot directory \"%s\"\n", t->hotDir);
        Play_Beep(MB_ICONHAND);
        Message_Box(programTitle, MB_OK | MB_ICONERROR | MB_EDITOR,
                    "The chosen done directory is watched by this queue as its hot directory: completed jobs would be "
                    "taken up and run again, over and over.  Please choose another directory.");
        return FALSE;
    }
    const char *other = NULL;
    for (int i = 0; i < targetCount && i < MAX_TARGETS && other == NULL; i++) {
        const Target *q = &targets[i];
        if (i != t->slotIndex && !q->monitorProcesses && Watched_By(text, q->hotDir, q->includeSubdirs)) other = q->name;
    }
    for (int i = 0; i < lbqCount && i < MAX_LBQS && other == NULL; i++)
        if (Watched_By(text, lbqs[i].hotDir, lbqs[i].includeSubdirs)) other = lbqs[i].name;
    if (other != NULL) {
        Trace("Check_DoneDir: the hot directory of \"%s\"\n", other);
        int answer = Message_Box(programTitle, MB_YESNO | MB_ICONQUESTION | MB_EDITOR,
                                 "The chosen done directory is watched by the queue \"%s\" as its hot directory, so "
                                 "completed jobs will be queued there again.  Do you want to keep this done directory?",
                                 other);
        if (answer != IDYES) return FALSE;
    }
    return TRUE;
}
