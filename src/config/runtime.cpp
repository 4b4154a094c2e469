#include "config/runtime.h"
#include "config/findings.h"
#include "config/limits.h"
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

JOB_FATE Judge_QueueEntry(QueueEntry *e)
{
    int q = e->queueNumber;
    int loadTotal = snapshotLbqCount + snapshotTargetCount;
    if (q < 0 || q >= loadTotal) {
        Trace("Remap_QueueEntry: job %d names queue %d, which did not exist; dropped\n", e->jobNumber, q);
        return JOB_DROP_NO_QUEUE;
    }
    const QueueChange *c = &queueChanges[q];
    if (deletedQueues[q] || !c->present) {
        Trace("Remap_QueueEntry: job %d of deleted queue %d dropped\n", e->jobNumber, q);
        return JOB_DROP_DELETED;
    }
    if (c->hotDirChanged) {
        Trace("Remap_QueueEntry: job %d dropped, the hot directory of queue %d changed\n", e->jobNumber, q);
        return JOB_DROP_HOTDIR;
    }
    BOOL waiting = Is_WaitingState(e->jobStatus);
    if (c->processesChanged && !waiting) {
        Trace("Remap_QueueEntry: job %d (state %d) dropped, the processes of queue %d changed\n", e->jobNumber,
              e->jobStatus, q);
        return JOB_DROP_PROCESSES;
    }
    int now = c->newNumber;
    e->queueNumber = now;
    BOOL inputQueue = q < snapshotLbqCount;
    int priority, copies;
    BOOL subdirs;
    if (inputQueue) {
        if (now < 0 || now >= lbqCount) return JOB_DROP_DELETED;
        subdirs = lbqs[now].includeSubdirs;
        priority = lbqs[now].priority;
        copies = lbqs[now].copies;
    } else {
        int t = now - lbqCount;
        if (t < 0 || t >= targetCount) return JOB_DROP_DELETED;
        subdirs = targets[t].includeSubdirs;
        priority = targets[t].priority;
        copies = targets[t].copies;
    }
    if (!subdirs && strchr(e->jobName, '\\') != NULL) {
        Trace("Remap_QueueEntry: job %d from a sub-directory dropped, queue %d takes none\n", e->jobNumber, now);
        return JOB_DROP_SUBDIRS;
    }
    if (c->copiesChanged && waiting) e->jobCopies = copies;
    if (c->priorityChanged && waiting) e->jobPriority = Clamp_ToRange(priority, LIMIT_PRIORITY);
    return JOB_KEPT;
}

BOOL Remap_QueueEntry(QueueEntry *e) { return Judge_QueueEntry(e) == JOB_KEPT; }

/* A decimal number at the start of text (blanks and a sign before it allowed), held to the
   32-bit range; FALSE when there is none. */
static BOOL Read_Number(const char *text, int32_t *out)
{
    long long v;
    if (!Read_Decimal(text, strlen(text), INT32_MIN, INT32_MAX, &v, NULL)) return FALSE;
    *out = (int32_t)v;
    return TRUE;
}

/* Splits a job line (body: the line without its line end, len characters) into e. Fields 1 to
   6 are separated by runs of colons; the rest starts after the run that follows field 6 and runs
   on to the end of the line. A zero byte ends what is read as fields, as it ends a text. FALSE
   when fields 1 to 6 cannot all be read. Plain loops: a list of a million jobs passes here. */
static BOOL Parse_QueueEntry(const char *body, size_t len, QueueEntry *e)
{
    const char *p = body, *end = body + len;
    int32_t *numbers[6] = { &e->jobNumber, &e->queueNumber, NULL, &e->jobPriority, &e->jobCopies, &e->jobStatus };
    for (int f = 0; f < 6; f++) {
        while (p < end && *p == ':') p++;
        const char *field = p;
        while (p < end && *p != ':' && *p != '\0') p++;
        size_t n = (size_t)(p - field);
        if (n == 0) return FALSE;
        if (numbers[f] == NULL) {
            if (n >= JOB_NAME_LEN) return FALSE;
            memcpy(e->jobName, field, n);
            e->jobName[n] = '\0';
        } else {
            long long v;
            /* the first 31 characters of a number field are read, as a field of a fixed buffer was */
            if (!Read_Decimal(field, n < 31 ? n : 31, INT32_MIN, INT32_MAX, &v, NULL)) return FALSE;
            *numbers[f] = (int32_t)v;
        }
    }
    while (p < end && *p == ':') p++;
    e->rest = p;
    e->restLen = (size_t)(end - p);
    return TRUE;
}

/* The job list is read in pieces: only the lines not yet taken are held (a line longer than a
   piece makes the buffer grow to that line's length, no more), and the new list is written as
   it is made. A job list of any size is rewritten in a bounded amount of memory. */
#define JOB_PIECE (256 * 1024)

typedef struct {
    HANDLE h;
    char  *buf;              /* cap bytes and room for a terminator */
    size_t cap, start, end;  /* buf[start..end) is read and not yet taken */
    BOOL   eof;
    DWORD  error;            /* why reading stopped early: a failed read, or no memory for a long line */
} JOB_READER;

/* The next line of the job list, as Next_TextLine takes a line; its text stays valid until the
   next call. FALSE at the end of the file, and when reading failed (r->error set). */
static BOOL Next_JobLine(JOB_READER *r, TEXT_LINE *l)
{
    size_t scanned = r->start;        /* no line feed in buf[start..scanned) */
    for (;;) {
        char *p = r->buf + r->start;
        char *q = r->buf + scanned, *end = r->buf + r->end;
        while (q < end && *q != '\n') q++;
        if (q < end || (r->eof && end > p)) {
            size_t len = (size_t)(q - p);
            l->text = p;
            l->ended = (q < end);
            l->rawLen = len + (l->ended ? 1 : 0);
            l->len = (len > 0 && p[len - 1] == '\r') ? len - 1 : len;
            r->start += l->rawLen;
            return TRUE;
        }
        if (r->eof) return FALSE;
        size_t avail = (size_t)(end - p);
        memmove(r->buf, p, avail);
        r->start = 0;
        r->end = avail;
        scanned = avail;
        if (r->end == r->cap) {
            char *grown = (char *)realloc(r->buf, 2 * r->cap + 1);
            if (grown == NULL) {
                r->error = ERROR_NOT_ENOUGH_MEMORY;
                return FALSE;
            }
            r->buf = grown;
            r->cap *= 2;
        }
        size_t room = r->cap - r->end;
        DWORD got = 0;
        if (!ReadFile(r->h, r->buf + r->end, room > (1u << 30) ? (1u << 30) : (DWORD)room, &got, NULL)) {
            r->error = GetLastError();
            return FALSE;
        }
        if (got == 0) r->eof = TRUE;
        r->end += got;
    }
}

/* Decimal digits of v at out (no terminator); returns their number. */
static size_t Put_Number(char *out, int32_t v)
{
    char digits[12];
    size_t n = 0;
    uint32_t u = (v < 0) ? 0u - (uint32_t)v : (uint32_t)v;
    do {
        digits[n++] = (char)('0' + u % 10);
        u /= 10;
    } while (u != 0);
    size_t k = 0;
    if (v < 0) out[k++] = '-';
    while (n > 0) out[k++] = digits[--n];
    return k;
}

/* Writes one job: its six fields, the rest of its line as it was read, and CR LF, the line end
   of every job line the editor writes. */
static void Put_QueueEntry(FILE_WRITER *w, const QueueEntry *e)
{
    char head[6 * 14 + JOB_NAME_LEN];
    size_t n = 0;
    const int32_t numbers[5] = { e->jobNumber, e->queueNumber, e->jobPriority, e->jobCopies, e->jobStatus };
    for (int f = 0; f < 6; f++) {
        if (f == 2) {
            size_t len = strlen(e->jobName);
            memcpy(head + n, e->jobName, len);
            n += len;
        } else {
            n += Put_Number(head + n, numbers[f < 2 ? f : f - 1]);
        }
        head[n++] = ':';
        head[n++] = ':';
    }
    Write_Piece(w, head, n);
    Write_Piece(w, e->rest, e->restLen);
    Write_Piece(w, "\r\n", 2);
}

/* Takes every job of the old list in r as the store does: writes the new list to w (NULL: only
   plans it) and tells visit (NULL: nobody) each job's fate. */
static void Rewrite_QueueText(JOB_READER *r, FILE_WRITER *w, JOB_VISIT visit, void *context)
{
    size_t markerLen = strlen(QUEUE_END_MARKER);
    int kept = 0, dropped = 0, skipped = 0;
    TEXT_LINE l;
    /* Lines are taken whole however long they are, so that the tail of a long line is never
       read as a line of its own. */
    while (Next_JobLine(r, &l)) {
        const char *line = l.text;
        /* As the spooler reads the list: a carriage return is part of the line end only before a
           line feed, and the line is counted as a text-mode read counts it (its line end is one
           character). */
        const char *bodyEnd = line + (l.ended ? l.len : l.rawLen);
        size_t bodyLen = (size_t)(bodyEnd - line);
        if (bodyLen + (l.ended ? 1 : 0) < 5) break;
        if (bodyLen >= markerLen && memcmp(line, QUEUE_END_MARKER, markerLen) == 0) break;

        QueueEntry e;
        if (!Parse_QueueEntry(line, bodyLen, &e)) {
            Trace("Update_QueueFiles: unreadable job line skipped\n");
            skipped++;
            if (visit != NULL) visit(-1, -1, NULL, JOB_UNREADABLE, context);
            continue;
        }
        int inFile = e.queueNumber;
        e.queueNumber = Load_NumberOf(&s_JobNumbers, e.queueNumber);
        int loadNumber = e.queueNumber;
        JOB_FATE fate = Judge_QueueEntry(&e);
        if (fate == JOB_KEPT) {
            if (w != NULL) Put_QueueEntry(w, &e);
            kept++;
        } else {
            dropped++;
        }
        if (visit != NULL) visit(inFile, loadNumber, &e, fate, context);
    }
    if (w != NULL) Write_Piece(w, QUEUE_END_MARKER, markerLen);
    Trace("Update_QueueFiles: %d jobs kept, %d dropped, %d unreadable lines skipped\n", kept, dropped, skipped);
}

/* Traces text without losing the thread's last error, which the box that follows shows. */
static void Trace_KeepingError(const char *text)
{
    DWORD e = GetLastError();
    Trace("%s", text);
    SetLastError(e);
}

/* The queue job file could not be brought in line, for the reason why (the box that told it
   may have changed the thread's last error). When nothing changed the operator is warned that
   its format cannot be vouched for; otherwise offered its deletion, after which the spooler
   rebuilds it on start-up. */
static void Report_QueueFileNotUpdated(BOOL changed, const char *qPath, DWORD why)
{
    if (!changed) {
        SetLastError(why);
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

/* The name under which older versions of the program prepared the job list. */
#define OLD_QUEUE_TEMP "queue\\engine.q.temp"

/* Rewrites the queue job file from the one on disk; FALSE when it could not (the operator told). */
BOOL Scan_QueueFile(void)
{
    Trace("\nScan_QueueFile()\n");
    char qPath[PATH_LEN];
    if (!Home_Path(qPath, sizeof qPath, homeDir, "queue\\engine.q") || !File_Exists(qPath)) return TRUE;
    JOB_READER r;
    memset(&r, 0, sizeof r);
    r.h = Open_ForReading(qPath);
    if (r.h == INVALID_HANDLE_VALUE) {
        Trace("Could not open %s: %s\n", qPath, Error_Text(NULL));
        return FALSE;
    }
    r.cap = JOB_PIECE;
    r.buf = (char *)malloc(r.cap + 1);
    if (r.buf == NULL) {
        CloseHandle(r.h);
        return FALSE;
    }
    Begin_ReadFindings("queue\\engine.q");
    size_t markerLen = strlen(QUEUE_END_MARKER);
    int lineNo = 0, skipped = 0;
    TEXT_LINE l;
    /* The lines are taken as the rewrite takes them: what it would skip is told here. */
    while (Next_JobLine(&r, &l)) {
        lineNo++;
        const char *bodyEnd = l.text + (l.ended ? l.len : l.rawLen);
        size_t bodyLen = (size_t)(bodyEnd - l.text);
        if (bodyLen + (l.ended ? 1 : 0) < 5) break;
        if (bodyLen >= markerLen && memcmp(l.text, QUEUE_END_MARKER, markerLen) == 0) break;
        QueueEntry e;
        if (Parse_QueueEntry(l.text, bodyLen, &e)) continue;
        skipped++;
        Set_ReadLine(lineNo);
        Read_Finding(SEV_WARNING, "the job line cannot be read (six fields separated by colons are needed) and the "
                     "next save leaves it out of the job list.");
    }
    End_ReadFindings();
    CloseHandle(r.h);
    free(r.buf);
    Trace("Scan_QueueFile: %d lines, %d unreadable\n", lineNo, skipped);
    return r.error == 0;
}

static BOOL Rewrite_QueueFile(const char *qPath, BOOL changed)
{
    JOB_READER r;
    memset(&r, 0, sizeof r);
    r.h = Open_ForReading(qPath);
    if (r.h == INVALID_HANDLE_VALUE) {
        DWORD why = GetLastError();
        Trace_KeepingError("Error opening Q file for reading\n");
        SysError_Box(programTitle, "Could not open the current queue file for updating");
        Report_QueueFileNotUpdated(changed, qPath, why);
        return FALSE;
    }
    /* The new list is written to a temporary file beside the old one and moved over it in one
       step: the spooler always finds either the old list or the new one, never a part of it. */
    FILE_WRITER *w = (FILE_WRITER *)malloc(sizeof(FILE_WRITER));
    r.cap = JOB_PIECE;
    r.buf = (char *)malloc(r.cap + 1);
    if (w == NULL || r.buf == NULL || !Open_FileWriter(w, qPath, FALSE)) {
        if (w == NULL || r.buf == NULL) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        Trace_KeepingError("Error opening temp Q file for writing\n");
        DWORD e = GetLastError();
        CloseHandle(r.h);
        free(r.buf);
        free(w);
        SetLastError(e);
        SysError_Box(programTitle, "Could not open a temporary file for writing out updated queue data.");
        Report_QueueFileNotUpdated(changed, qPath, e);
        return FALSE;
    }
    Rewrite_QueueText(&r, w, NULL, NULL);
    CloseHandle(r.h);
    free(r.buf);
    BOOL readFailed = (r.error != 0 && r.error != ERROR_NOT_ENOUGH_MEMORY);
    if (r.error != 0 && !w->failed) {
        w->failed = TRUE;
        w->error = r.error;
    }
    BOOL written = Close_FileWriter(w, !readFailed);
    BOOL atReplace = !written && Write_FailedAtReplace();
    free(w);
    if (written) {
        Note_Rewritten(&s_JobNumbers);
        Trace_File("%s", qPath);
        /* Once the new list is in place, the file an older version may have left half-made goes. */
        char oldTemp[PATH_LEN];
        if (Home_Path(oldTemp, sizeof oldTemp, homeDir, OLD_QUEUE_TEMP) && File_Exists(oldTemp)) {
            if (DeleteFileA(oldTemp)) Trace("Removed the stale \"%s\"\n", oldTemp);
            else Trace("Could not remove the stale \"%s\": %s\n", oldTemp, Error_Text(NULL));
        }
        return TRUE;
    }
    if (readFailed) {
        /* the list could not be read to its end: the old one stays, as when it cannot be opened */
        SetLastError(r.error);
        Trace_KeepingError("Error reading the Q file\n");
        SysError_Box(programTitle, "Could not open the current queue file for updating");
        Report_QueueFileNotUpdated(changed, qPath, r.error);
        return FALSE;
    }
    DWORD why = GetLastError();
    if (atReplace) {
        Trace_KeepingError("Error closing the updated queue file\n");
        SysError_Box(programTitle, "Error closing and renaming the updated queue file.");
    } else {
        Trace_KeepingError("Error writing entries to the new queue file.\n");
        SysError_Box(programTitle, "Error writing entries to the new queue file.");
    }
    /* The old list stays; when queues changed it is out of date. */
    if (changed) Report_QueueFileNotUpdated(TRUE, qPath, why);
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
    if (!Store_PathOf(QUEUE_FILE, qPath, sizeof qPath) || !Store_PathOf(STATUS_FILE, staPath, sizeof staPath))
        return FALSE;

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

/* TRUE when a queue's number changed or a queue was deleted: only then is the status file
   rewritten. */
static BOOL Status_Renumbered(void)
{
    int loadTotal = snapshotLbqCount + snapshotTargetCount;
    for (int q = 0; q < loadTotal; q++)
        if (deletedQueues[q] || !queueChanges[q].present || queueChanges[q].numberChanged) return TRUE;
    return FALSE;
}

/* Takes each number of the status file's text as the store does: writes the new numbers to out
   (NULL: only plans them) and tells visit (NULL: nobody) what becomes of each. */
static void Renumber_StatusText(char *text, OUTBUF *out, STATUS_VISIT visit, void *context)
{
    int loadTotal = snapshotLbqCount + snapshotTargetCount;
    char *p = text;
    while (*p != '\0') {
        size_t n = strcspn(p, "\r\n,");
        char saved = p[n];
        p[n] = '\0';
        int32_t inFile, q;
        BOOL read = Read_Number(p, &inFile);
        q = read ? Load_NumberOf(&s_StatusNumbers, inFile) : -1;
        BOOL stays = q >= 0 && q < loadTotal && !deletedQueues[q] && queueChanges[q].present;
        if (stays && out != NULL) OutBuf_Printf(out, "%d\n", queueChanges[q].newNumber);
        if (read && visit != NULL) visit(inFile, q, stays ? queueChanges[q].newNumber : -1, context);
        p[n] = saved;
        p += n;
        if (*p != '\0') p++;
    }
}

BOOL Update_QueueStatusFile(void)
{
    Trace("Update_QueueStatusFile()\n");
    /* The file names queues by number: it follows every change of number (a deletion, a move,
       an input queue added before the output queues), and is left byte for byte as it is when
       no queue's number changed. */
    if (!Status_Renumbered()) return TRUE;

    char path[PATH_LEN];
    if (!Home_Path(path, sizeof path, homeDir, STATUS_FILE)) return FALSE;
    /* Read whole: a list of many queue numbers is longer than any fixed line buffer. */
    size_t len = 0;
    char *text = Read_WholeFile(path, &len);
    if (text == NULL) return FALSE;

    OUTBUF out;
    OutBuf_Init(&out);
    Renumber_StatusText(text, &out, NULL, NULL);
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

BOOL Plan_QueueFiles(JOB_VISIT jobVisit, STATUS_VISIT statusVisit, void *context)
{
    Trace("Plan_QueueFiles()\n");
    if (queueSnapshot == NULL) return TRUE;
    char qPath[PATH_LEN], staPath[PATH_LEN];
    if (!Home_Path(qPath, sizeof qPath, homeDir, QUEUE_FILE) || !Home_Path(staPath, sizeof staPath, homeDir, STATUS_FILE))
        return FALSE;
    Build_QueueChanges();
    BOOL ok = TRUE;
    if (File_Exists(staPath) && Status_Renumbered()) {
        size_t len = 0;
        char *text = Read_WholeFile(staPath, &len);
        if (text != NULL) {
            Renumber_StatusText(text, NULL, statusVisit, context);
            free(text);
        } else {
            ok = FALSE;
        }
    }
    if (File_Exists(qPath)) {
        JOB_READER r;
        memset(&r, 0, sizeof r);
        r.h = Open_ForReading(qPath);
        if (r.h == INVALID_HANDLE_VALUE) return FALSE;
        r.cap = JOB_PIECE;
        r.buf = (char *)malloc(r.cap + 1);
        if (r.buf == NULL) {
            CloseHandle(r.h);
            return FALSE;
        }
        Rewrite_QueueText(&r, NULL, jobVisit, context);
        CloseHandle(r.h);
        free(r.buf);
        if (r.error != 0) ok = FALSE;
    }
    return ok;
}
