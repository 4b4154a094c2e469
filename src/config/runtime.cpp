#include "config/runtime.h"
#include "config/storefile.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include <stdlib.h>
#include <string.h>

QueueSnapshot *queueSnapshot;
int            snapshotLbqCount;
int            snapshotTargetCount;
QueueChange    queueChanges[MAX_QUEUES];

/* The queue numbers a run-time file holds: those of the load until a save has rewritten it, and
   from then on those of the configuration that save stored. A save that follows a failed one
   (the operator pressed OK again) translates them back to load numbers first, so that every job
   and status line is renumbered once, never twice. */
typedef struct {
    BOOL rewritten;
    int  loadNumberOf[MAX_QUEUES];     /* the load number of each number the file holds, -1: none */
} FILE_NUMBERS;

static FILE_NUMBERS s_JobNumbers, s_StatusNumbers;

/* The load number of the queue that number n of the file names, or -1. */
static int Load_NumberOf(const FILE_NUMBERS *f, int n)
{
    if (!f->rewritten) return n;
    return (n >= 0 && n < MAX_QUEUES) ? f->loadNumberOf[n] : -1;
}

/* The file now holds the numbers of queueChanges. */
static void Note_Rewritten(FILE_NUMBERS *f)
{
    f->rewritten = TRUE;
    for (int n = 0; n < MAX_QUEUES; n++) f->loadNumberOf[n] = -1;
    for (int q = 0; q < snapshotLbqCount + snapshotTargetCount && q < MAX_QUEUES; q++) {
        const QueueChange *c = &queueChanges[q];
        if (c->present && !deletedQueues[q] && c->newNumber >= 0 && c->newNumber < MAX_QUEUES)
            f->loadNumberOf[c->newNumber] = q;
    }
}

#define QUEUE_FILE  "queue\\engine.q"
#define STATUS_FILE "state\\queues.sta"

/* The application paths of an output queue, read with slot references: the application's
   path, or each group member's path followed by a line feed; empty without processes. */
static void Build_ProcessText(const Target *t, char *out, size_t cap)
{
    out[0] = '\0';
    int ref = t->processRef;
    if (t->noProcesses || ref == NO_PROCESSES || ref < 0) return;
    if (!t->usesGroup) {
        if (ref < MAX_APPS && !apps[ref].free) Copy_Text(out, cap, apps[ref].path);
        return;
    }
    if (ref >= MAX_APPGROUPS || appGroups[ref].free) return;
    const AppGroup *g = &appGroups[ref];
    for (int m = 0; m < g->count && m < MAX_GROUP_MEMBERS; m++) {
        int a = g->members[m];
        if (a >= 0 && a < MAX_APPS && !apps[a].free) Append_Text(out, cap, apps[a].path);
        Append_Text(out, cap, "\n");
    }
}

static void Clear_LoadIndices(void)
{
    for (int i = 0; i < MAX_LBQS; i++) lbqs[i].loadIndex = -1;
    for (int i = 0; i < MAX_TARGETS; i++) targets[i].loadIndex = -1;
}

void Free_Snapshot(void)
{
    free(queueSnapshot);
    queueSnapshot = NULL;
    s_JobNumbers.rewritten = FALSE;
    s_StatusNumbers.rewritten = FALSE;
}

int Snapshot_Queues(void)
{
    Trace("Snapshot_Queues: %d input queues, %d output queues\n", lbqCount, targetCount);
    Free_Snapshot();
    memset(deletedQueues, 0, sizeof deletedQueues);
    memset(queueChanges, 0, sizeof queueChanges);
    snapshotLbqCount = 0;
    snapshotTargetCount = 0;
    if (lbqCount < 0 || targetCount < 0 || lbqCount + targetCount > MAX_QUEUES) {
        /* Queue numbers beyond the tables cannot be followed: the run-time files are left alone. */
        Trace("Snapshot_Queues: more than %d queues, no snapshot\n", MAX_QUEUES);
        Clear_LoadIndices();
        return 0;
    }
    queueSnapshot = (QueueSnapshot *)calloc(MAX_QUEUES, sizeof(QueueSnapshot));
    if (queueSnapshot == NULL) {
        Trace("Snapshot_Queues: could not allocate the snapshot\n");
        Clear_LoadIndices();
        return 0;
    }
    Clear_LoadIndices();
    for (int i = 0; i < lbqCount; i++) {
        QueueSnapshot *s = &queueSnapshot[i];
        Copy_Field(s->hotDir, lbqs[i].hotDir);
        s->priority = lbqs[i].priority;
        s->copies = lbqs[i].copies;
        lbqs[i].loadIndex = i;
    }
    for (int i = 0; i < targetCount; i++) {
        QueueSnapshot *s = &queueSnapshot[lbqCount + i];
        Copy_Field(s->hotDir, targets[i].hotDir);
        Build_ProcessText(&targets[i], s->processText, sizeof s->processText);
        s->priority = targets[i].priority;
        s->copies = targets[i].copies;
        targets[i].loadIndex = lbqCount + i;
    }
    snapshotLbqCount = lbqCount;
    snapshotTargetCount = targetCount;
    return 1;
}

BOOL Build_QueueChanges(void)
{
    Trace("Build_QueueChanges()\n");
    memset(queueChanges, 0, sizeof queueChanges);
    if (queueSnapshot == NULL) return TRUE;
    int loadTotal = snapshotLbqCount + snapshotTargetCount;
    BOOL changed = (lbqCount != snapshotLbqCount || targetCount != snapshotTargetCount);

    /* Every queue in use is visited, not only the slots below the load-time counts: a loaded
       output queue moved below one added since sits at a position the load never had. */
    for (int i = 0; i < lbqCount; i++) {
        int li = lbqs[i].loadIndex;
        if (li < 0 || li >= snapshotLbqCount) continue;
        const QueueSnapshot *s = &queueSnapshot[li];
        QueueChange *c = &queueChanges[li];
        c->present = TRUE;
        c->hotDirChanged = Compare_NoCase(lbqs[i].hotDir, s->hotDir) != 0;
        c->priorityChanged = lbqs[i].priority != s->priority;
        c->copiesChanged = lbqs[i].copies != s->copies;
        c->newNumber = i;
        c->numberChanged = (i != li);
    }
    for (int i = 0; i < targetCount; i++) {
        int li = targets[i].loadIndex;
        if (li < snapshotLbqCount || li >= loadTotal) continue;
        const QueueSnapshot *s = &queueSnapshot[li];
        QueueChange *c = &queueChanges[li];
        char now[PROCESS_TEXT_LEN];
        Build_ProcessText(&targets[i], now, sizeof now);
        c->present = TRUE;
        c->hotDirChanged = Compare_NoCase(targets[i].hotDir, s->hotDir) != 0;
        c->processesChanged = Compare_NoCase(now, s->processText) != 0;
        c->priorityChanged = targets[i].priority != s->priority;
        c->copiesChanged = targets[i].copies != s->copies;
        c->newNumber = lbqCount + i;
        c->numberChanged = (c->newNumber != li);
    }
    for (int q = 0; q < loadTotal; q++) {
        const QueueChange *c = &queueChanges[q];
        /* A deleted queue is a change even when an added one keeps the counts level. */
        if (deletedQueues[q] || !c->present || c->hotDirChanged || c->processesChanged || c->priorityChanged ||
            c->copiesChanged || c->numberChanged)
            changed = TRUE;
    }
    Trace("Build_QueueChanges: %s\n", changed ? "changes found" : "nothing changed");
    return changed;
}

static BOOL Is_WaitingState(int status) { return status == 0 || status == 1 || status == 7 || status == 8; }

BOOL Remap_QueueEntry(QueueEntry *e)
{
    int q = e->queueNumber;
    int loadTotal = snapshotLbqCount + snapshotTargetCount;
    if (q < 0 || q >= loadTotal) {
        Trace("Remap_QueueEntry: job %d names queue %d, which did not exist; dropped\n", e->jobNumber, q);
        return FALSE;
    }
    const QueueChange *c = &queueChanges[q];
    if (deletedQueues[q] || !c->present) {
        Trace("Remap_QueueEntry: job %d of deleted queue %d dropped\n", e->jobNumber, q);
        return FALSE;
    }
    if (c->hotDirChanged) {
        Trace("Remap_QueueEntry: job %d dropped, the hot directory of queue %d changed\n", e->jobNumber, q);
        return FALSE;
    }
    BOOL waiting = Is_WaitingState(e->jobStatus);
    if (c->processesChanged && !waiting) {
        Trace("Remap_QueueEntry: job %d (state %d) dropped, the processes of queue %d changed\n", e->jobNumber,
              e->jobStatus, q);
        return FALSE;
    }
    int now = c->newNumber;
    e->queueNumber = now;
    BOOL inputQueue = q < snapshotLbqCount;
    int priority, copies;
    BOOL subdirs;
    if (inputQueue) {
        if (now < 0 || now >= lbqCount) return FALSE;
        subdirs = lbqs[now].includeSubdirs;
        priority = lbqs[now].priority;
        copies = lbqs[now].copies;
    } else {
        int t = now - lbqCount;
        if (t < 0 || t >= targetCount) return FALSE;
        subdirs = targets[t].includeSubdirs;
        priority = targets[t].priority;
        copies = targets[t].copies;
    }
    if (!subdirs && strchr(e->jobName, '\\') != NULL) {
        Trace("Remap_QueueEntry: job %d from a sub-directory dropped, queue %d takes none\n", e->jobNumber, now);
        return FALSE;
    }
    if (c->copiesChanged && waiting) e->jobCopies = copies;
    if (c->priorityChanged && waiting) e->jobPriority = priority < 1 ? 1 : (priority > 7 ? 7 : priority);
    return TRUE;
}

/* A decimal number at the start of text (blanks and a sign before it allowed); FALSE when there
   is none. Too large values are held to the 32-bit range. */
static BOOL Read_Number(const char *text, int32_t *out)
{
    const char *p = text + strspn(text, " \t");
    BOOL negative = (*p == '-');
    if (*p == '-' || *p == '+') p++;
    if (*p < '0' || *p > '9') return FALSE;
    long long v = 0;
    for (; *p >= '0' && *p <= '9'; p++)
        if (v <= 2147483648LL) v = v * 10 + (*p - '0');
    if (negative) v = -v;
    if (v > 2147483647LL) v = 2147483647LL;
    if (v < -2147483647LL - 1) v = -2147483647LL - 1;
    *out = (int32_t)v;
    return TRUE;
}

/* Splits a job line (body: the line without its line end, terminated) into e. Fields 1 to 6
   are separated by runs of colons; the rest starts after the run that follows field 6 and
   runs on to the end of the line. FALSE when fields 1 to 6 cannot all be read. */
static BOOL Parse_QueueEntry(const char *body, QueueEntry *e)
{
    const char *p = body;
    int32_t *numbers[6] = { &e->jobNumber, &e->queueNumber, NULL, &e->jobPriority, &e->jobCopies, &e->jobStatus };
    for (int f = 0; f < 6; f++) {
        p += strspn(p, ":");
        size_t n = strcspn(p, ":");
        if (n == 0) return FALSE;
        if (numbers[f] == NULL) {
            if (n >= JOB_NAME_LEN) return FALSE;
            Copy_TextN(e->jobName, sizeof e->jobName, p, n);
        } else {
            char field[32];
            Copy_TextN(field, sizeof field, p, n < sizeof field - 1 ? n : sizeof field - 1);
            if (!Read_Number(field, numbers[f])) return FALSE;
        }
        p += n;
    }
    p += strspn(p, ":");
    e->rest = p;
    return TRUE;
}

/* Builds the new queue job file from the old one into out. */
static void Rewrite_QueueText(char *data, size_t len, OUTBUF *out)
{
    size_t markerLen = strlen(QUEUE_END_MARKER);
    char *end = data + len;
    char *line = data;
    int kept = 0, dropped = 0, skipped = 0;
    /* Lines are taken whole however long they are, so that the tail of a long line is never
       read as a line of its own. */
    while (line < end) {
        char *nl = (char *)memchr(line, '\n', (size_t)(end - line));
        char *next = nl ? nl + 1 : end;
        char *bodyEnd = nl ? nl : end;
        if (nl != NULL && bodyEnd > line && bodyEnd[-1] == '\r') bodyEnd--;
        /* Counted as a text-mode read counts it: the line end is one character. */
        size_t textLen = (size_t)(bodyEnd - line) + (nl ? 1 : 0);
        if (textLen < 5) break;
        if ((size_t)(end - line) >= markerLen && memcmp(line, QUEUE_END_MARKER, markerLen) == 0) break;

        char saved = *bodyEnd;
        *bodyEnd = '\0';
        QueueEntry e;
        memset(&e, 0, sizeof e);
        BOOL parsed = Parse_QueueEntry(line, &e);
        *bodyEnd = saved;
        if (!parsed) {
            Trace("Update_QueueFiles: unreadable job line skipped\n");
            skipped++;
        } else {
            e.restLen = (size_t)(next - e.rest);
            e.queueNumber = Load_NumberOf(&s_JobNumbers, e.queueNumber);
            if (Remap_QueueEntry(&e)) {
                OutBuf_Printf(out, "%d::%d::%s::%d::%d::%d::", e.jobNumber, e.queueNumber, e.jobName, e.jobPriority,
                              e.jobCopies, e.jobStatus);
                OutBuf_Append(out, e.rest, e.restLen);
                /* A last line cut short must not swallow the end marker. */
                if (nl == NULL) OutBuf_Puts(out, "\r\n");
                kept++;
            } else {
                dropped++;
            }
        }
        line = next;
    }
    OutBuf_Puts(out, QUEUE_END_MARKER);
    Trace("Update_QueueFiles: %d jobs kept, %d dropped, %d unreadable lines skipped\n", kept, dropped, skipped);
}

/* Traces text without losing the thread's last error, which the box that follows shows. */
static void Trace_KeepingError(const char *text)
{
    DWORD e = GetLastError();
    Trace("%s", text);
    SetLastError(e);
}

/* The queue job file could not be brought in line. When nothing changed the operator is
   warned that its format cannot be vouched for; otherwise offered its deletion, after which
   the spooler rebuilds it on start-up. */
static void Report_QueueFileNotUpdated(BOOL changed, const char *qPath)
{
    if (!changed) {
        SysError_Box(programTitle,
                     "Could not open the current queue file for updating.\r\n\r\nCannot guarantee that this file is in "
                     "the correct format for the current version of %s.",
                     systemName);
        Trace("The Q file could not be opened for checking. If there has been a software update this file may be "
              "out of date for the new version.\n");
        return;
    }
    int answer = Message_Box(
        programTitle, MB_YESNO | MB_ICONSTOP | MB_EDITOR,
        "Could not update the current queue file:\r\n\r\n Entries in the queue may now be out of date.  Deleting this "
        "file will cause the system to rebuild the information on start-up.  However, this may result in already "
        "completed jobs being requeued. Leaving the file in tact will allow the system to maintain job status "
        "information, but may mean that some files are reported as missing.\n\nDo you want to delete this file?");
    if (answer != IDYES) {
        Trace("User opted to leave the Q file intact\n");
        return;
    }
    if (DeleteFileA(qPath)) {
        Trace("Deleted the current queue file\n");
        Info_Box(programTitle, "The queue file was deleted successfully.");
    } else {
        Trace_KeepingError("Could not delete the Q file\n");
        SysError_Box(programTitle, "Could not delete the current queue file.");
    }
}

/* A run-time file that could not be made is worth a word only where the spooler keeps its
   run-time files: a folder that does not exist yet is made by the spooler when it starts.
   TRUE when the operator was told. */
static BOOL Report_CreateFailure(const char *path, const char *fmt)
{
    DWORD e = GetLastError();
    char folder[PATH_LEN];
    Copy_Field(folder, path);
    if (!Parent_Folder(folder) || !Dir_Exists(folder)) return FALSE;
    SetLastError(e);
    SysError_Box(programTitle, fmt, path);
    return TRUE;
}

/* Rewrites the queue job file from the one on disk; FALSE when it could not (the operator told). */
static BOOL Rewrite_QueueFile(const char *qPath, BOOL changed)
{
    size_t len = 0;
    char *old = Read_WholeFile(qPath, &len);
    if (old == NULL) {
        Trace_KeepingError("Error opening Q file for reading\n");
        SysError_Box(programTitle, "Could not open the current queue file for updating");
        Report_QueueFileNotUpdated(changed, qPath);
        return FALSE;
    }
    OUTBUF out;
    OutBuf_Init(&out);
    Rewrite_QueueText(old, len, &out);
    free(old);
    /* The new list is written to a temporary file beside the old one and moved over it in one
       step: the spooler always finds either the old list or the new one, never a part of it. */
    BOOL buildFailed = out.failed;
    BOOL written = !buildFailed && Write_WholeFile(qPath, out.data, out.len, FALSE);
    DWORD e = buildFailed ? (DWORD)ERROR_NOT_ENOUGH_MEMORY : GetLastError();
    BOOL atReplace = !buildFailed && !written && Write_FailedAtReplace();
    OutBuf_Free(&out);
    if (written) {
        Note_Rewritten(&s_JobNumbers);
        Trace_File("%s", qPath);
        return TRUE;
    }
    SetLastError(e);
    if (atReplace) {
        Trace_KeepingError("Error closing the updated queue file\n");
        SysError_Box(programTitle, "Error closing and renaming the updated queue file.");
    } else if (buildFailed || e == ERROR_DISK_FULL || e == ERROR_HANDLE_DISK_FULL) {
        Trace_KeepingError("Error writing entries to the new queue file.\n");
        SysError_Box(programTitle, "Error writing entries to the new queue file.");
    } else {
        Trace_KeepingError("Error opening temp Q file for writing\n");
        SysError_Box(programTitle, "Could not open a temporary file for writing out updated queue data.");
        Report_QueueFileNotUpdated(changed, qPath);
        return FALSE;
    }
    /* The old list stays; when queues changed it is out of date. */
    if (changed) Report_QueueFileNotUpdated(TRUE, qPath);
    return FALSE;
}

BOOL Update_QueueFiles(void)
{
    Trace("\nUpdate_QueueFiles()\n");
    if (queueSnapshot == NULL) {
        /* Without the load-time numbers every job would be sent to queue 0. */
        Trace("No snapshot of the queues at load: the queue job file and the status file are left as they are\n");
        return TRUE;
    }
    char qPath[PATH_LEN], staPath[PATH_LEN];
    Home_Path(qPath, sizeof qPath, homeDir, QUEUE_FILE);
    Home_Path(staPath, sizeof staPath, homeDir, STATUS_FILE);

    BOOL ok = TRUE;
    BOOL haveQueueFile = TRUE;
    if (!File_Exists(qPath)) {
        Trace("Could not find \"%s\". Creating new file\n", qPath);
        if (!Write_WholeFile(qPath, QUEUE_END_MARKER, strlen(QUEUE_END_MARKER), FALSE)) {
            Trace("Could not find or create a new (empty) Q file.");
            if (Report_CreateFailure(qPath, "Could not create the queue file \"%s\".")) {
                Note_StoreFailed(qPath);
                ok = FALSE;
            }
            haveQueueFile = FALSE;
        }
    }
    BOOL statusExisted = File_Exists(staPath);
    if (!statusExisted && !Write_WholeFile(staPath, "", 0, TRUE)) {
        Trace("Could not create \"%s\": %s\n", staPath, Error_Text(NULL));
        if (Report_CreateFailure(staPath, "Could not create the queue status file \"%s\".")) {
            Note_StoreFailed(staPath);
            ok = FALSE;
        }
    }

    BOOL changed = Build_QueueChanges();
    if (statusExisted && !Update_QueueStatusFile()) {
        Trace_KeepingError("Error updating the spooler queue status file\n");
        SysError_Box(programTitle, "Error updating the queue status file.  There may be some queues suspended which "
                                   "were not suspended before editing the configuration.  This is a non-fatal "
                                   "(recoverable) error");
        Note_StoreFailed(staPath);
        ok = FALSE;
    }
    if (haveQueueFile && !Rewrite_QueueFile(qPath, changed)) {
        Note_StoreFailed(qPath);
        ok = FALSE;
    }
    return ok;
}

BOOL Update_QueueStatusFile(void)
{
    Trace("Update_QueueStatusFile()\n");
    int loadTotal = snapshotLbqCount + snapshotTargetCount;
    BOOL anyDeleted = FALSE;
    for (int q = 0; q < loadTotal; q++)
        if (deletedQueues[q]) anyDeleted = TRUE;
    if (!anyDeleted) return TRUE;

    char path[PATH_LEN];
    Home_Path(path, sizeof path, homeDir, STATUS_FILE);
    /* Read whole: a list of many queue numbers is longer than any fixed line buffer. */
    size_t len = 0;
    char *text = Read_WholeFile(path, &len);
    if (text == NULL) return FALSE;

    OUTBUF out;
    OutBuf_Init(&out);
    char *p = text;
    while (*p != '\0') {
        size_t n = strcspn(p, "\r\n,");
        char saved = p[n];
        p[n] = '\0';
        int32_t q;
        if (Read_Number(p, &q)) q = Load_NumberOf(&s_StatusNumbers, q);
        else q = -1;
        if (q >= 0 && q < loadTotal && !deletedQueues[q] && queueChanges[q].present)
            OutBuf_Printf(&out, "%d\n", queueChanges[q].newNumber);
        p[n] = saved;
        p += n;
        if (*p != '\0') p++;
    }
    free(text);
    BOOL ok = !out.failed && Write_WholeFile(path, out.data ? out.data : "", out.len, TRUE);
    if (out.failed) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    OutBuf_Free(&out);
    if (ok) {
        Note_Rewritten(&s_StatusNumbers);
        Trace_File("%s", path);
    }
    return ok;
}
