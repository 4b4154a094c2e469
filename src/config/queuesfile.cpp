#include "config/queuesfile.h"
#include "config/keptlines.h"
#include "config/findings.h"
#include "config/appsfile.h"
#include "config/limits.h"
#include "config/storefile.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/trace.h"
#include <ctype.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#define WHY_LEN      200


/* ---- reading one line ---- */

typedef struct {
    LINE_FIELDS lf;
    int         hot;        /* index of the hot directory: 1, or 2 when field 2 is there */
    char       *why;
    size_t      whyCap;
} QUEUE_LINE;

/* Index in the split line of the field that the file format numbers n (1 to 42). */
static int Index_Of(const QUEUE_LINE *q, int n)
{
    if (n <= 2) return n - 1;
    return q->hot + (n - 3);
}

static const FIELD_SPAN *Span(const QUEUE_LINE *q, int n)
{
    int k = Index_Of(q, n);
    return (k < q->lf.count && q->lf.field[k].len > 0) ? &q->lf.field[k] : NULL;
}

static BOOL Fail(QUEUE_LINE *q, const char *fmt, int n)
{
    if (q->why != NULL && q->whyCap > 0) Format_Text(q->why, q->whyCap, fmt, n);
    return FALSE;
}

static BOOL Span_Is(const FIELD_SPAN *s, const char *text)
{
    return s != NULL && s->len == strlen(text) && memcmp(s->text, text, s->len) == 0;
}

static BOOL Span_Begins(const FIELD_SPAN *s, char c) { return s != NULL && s->text[0] == c; }

/* Copies field n into out (a missing field gives ""); FALSE when it does not fit. */
static BOOL Take_Text(const QUEUE_LINE *q, int n, char *out, size_t cap)
{
    const FIELD_SPAN *s = Span(q, n);
    if (s == NULL) {
        out[0] = '\0';
        return TRUE;
    }
    if (s->len >= cap) return FALSE;
    memcpy(out, s->text, s->len);
    out[s->len] = '\0';
    return TRUE;
}

static BOOL Take_Number(const QUEUE_LINE *q, int n, int32_t *v)
{
    const FIELD_SPAN *s = Span(q, n);
    return s != NULL && Read_FieldNumber(s->text, s->len, v);
}

/* A number field with a default for a missing or unreadable field. */
static int32_t Number_Or(const QUEUE_LINE *q, int n, int32_t missing)
{
    int32_t v;
    return Take_Number(q, n, &v) ? v : missing;
}


/* A bool field: 1 when the number read is not 0. */
static BOOL Bool_Or(const QUEUE_LINE *q, int n, BOOL missing)
{
    int32_t v;
    return Take_Number(q, n, &v) ? (v != 0) : missing;
}

/* A text field whose single space stands for an empty text. */
static BOOL Take_BlankText(QUEUE_LINE *q, int n, char *out, size_t cap)
{
    if (Span_Is(Span(q, n), " ")) {
        out[0] = '\0';
        return TRUE;
    }
    return Take_Text(q, n, out, cap) ? TRUE : Fail(q, "field %d is longer than the editor can hold", n);
}

/* A text field that counts as empty when it begins with a space. */
static BOOL Take_UnspacedText(QUEUE_LINE *q, int n, char *out, size_t cap)
{
    if (Span_Begins(Span(q, n), ' ')) {
        out[0] = '\0';
        return TRUE;
    }
    return Take_Text(q, n, out, cap) ? TRUE : Fail(q, "field %d is longer than the editor can hold", n);
}

/* Mutex group and output identity: a missing field or a single space is empty, the rest is cut
   to 64 characters. */
static void Take_ShortText(const QUEUE_LINE *q, int n, char *out, size_t cap)
{
    const FIELD_SPAN *s = Span(q, n);
    if (s == NULL || (s->len == 1 && s->text[0] == ' ')) {
        out[0] = '\0';
        return;
    }
    Copy_TextN(out, cap, s->text, s->len < cap - 1 ? s->len : cap - 1);
}

/* "%s\%s" of the home directory and name, or empty without a home directory. */
static void Home_Default(char *out, size_t cap, const char *name)
{
    if (homeDir == NULL) out[0] = '\0';
    else Home_Path(out, cap, homeDir, name);
}

/* A number the reader holds to its range is told (the value kept is the same either way). */
static int32_t Held_Number(const Target *t, const char *what, int32_t v, const FIELD_RANGE &r)
{
    int32_t held = Clamp_ToRange(v, r);
    if (held != v) {
        char about[TEXT_LEN + 64];
        Format_Text(about, sizeof about, "queue \"%s\": %s", t->name, what);
        Note_Clamp(about, v, r.minimum, r.maximum, held);
    }
    return held;
}

static BOOL Parse_TimeoutFields(QUEUE_LINE *q, Target *t)
{
    int32_t action = Number_Or(q, 23, TIMEOUT_NEVER);
    if (action > 200 || action < -6) {
        Read_Finding(SEV_WARNING, "queue \"%s\": the time-out action %d is unknown and is taken as never timing out; "
                     "choose an action on the Multi-Job Settings page.", t->name, action);
        action = TIMEOUT_NEVER;
    }
    t->timeoutAction = action;

    int32_t seconds;
    if (!Take_Number(q, 24, &seconds) || t->timeoutAction == TIMEOUT_NEVER) seconds = 300;
    else seconds = Held_Number(t, "the time-out in seconds", seconds, LIMIT_TIMEOUT_SECONDS);
    t->timeoutSeconds = seconds;

    BOOL present = Span(q, 25) != NULL;
    BOOL neverBefore = (t->timeoutAction == TIMEOUT_NEVER);
    if (!present && t->timeoutAction == TIMEOUT_MOVE) t->timeoutAction = TIMEOUT_NEVER;
    if (!(present && t->timeoutAction == TIMEOUT_MOVE)) {
        Home_Default(t->timeoutDir, sizeof t->timeoutDir, "Timed Out Waiting");
    } else if (!Take_Text(q, 25, t->timeoutDir, sizeof t->timeoutDir)) {
        return Fail(q, "field %d is longer than the editor can hold", 25);
    }
    if (t->timeoutAction == TIMEOUT_MOVE && !Dir_Exists(t->timeoutDir) && !Is_AbsDrivePath(t->timeoutDir))
        t->timeoutAction = TIMEOUT_NEVER;
    if (t->timeoutAction == TIMEOUT_NEVER && !neverBefore) Set_NeverTimesOut(t);
    return TRUE;
}

BOOL Parse_QueueLine(const char *line, Target *t, BOOL *isLbq, char *why, size_t whyCap)
{
    QUEUE_LINE q;
    Split_Fields(line, strlen(line), &q.lf);
    q.why = why;
    q.whyCap = whyCap;
    q.hot = 1;
    memset(t, 0, sizeof *t);
    if (isLbq != NULL) *isLbq = FALSE;
    if (why != NULL && whyCap > 0) why[0] = '\0';

    /* Field 2 is there only as one character that is not a letter; files of older versions
       have the hot directory in its place. */
    const FIELD_SPAN *second = (q.lf.count > 1) ? &q.lf.field[1] : NULL;
    if (second != NULL && second->len == 1 && !isalpha((unsigned char)second->text[0])) {
        int32_t v;
        t->includeSubdirs = Read_FieldNumber(second->text, 1, &v) && v != 0;
        q.hot = 2;
    }

    int32_t v;
    if (Span(&q, 1) == NULL) return Fail(&q, "field %d (the queue name) is missing", 1);
    if (!Take_Text(&q, 1, t->name, sizeof t->name)) return Fail(&q, "field %d (the queue name) is too long", 1);
    if (Span(&q, 3) == NULL) return Fail(&q, "field %d (the hot directory) is missing", 3);
    if (!Take_Text(&q, 3, t->hotDir, sizeof t->hotDir)) return Fail(&q, "field %d (the hot directory) is too long", 3);
    /* An empty name or hot directory is stored as a single space so that the line stays readable. */
    if (strcmp(t->name, " ") == 0) t->name[0] = '\0';
    if (strcmp(t->hotDir, " ") == 0) t->hotDir[0] = '\0';

    if (!Take_Number(&q, 4, &v)) return Fail(&q, "field %d (the process reference) is not a number", 4);
    if (v == -1) v = NO_PROCESSES;
    if (!(v >= 0 && v < MAX_APPS) && v != LBQ_MARKER && v != NO_PROCESSES)
        return Fail(&q, "field 4 names the application entry %d, beyond those the editor can hold", v);
    t->processRef = v;

    if (Span(&q, 5) == NULL) return Fail(&q, "field %d (the parameters) is missing", 5);
    if (!Take_BlankText(&q, 5, t->parameters, sizeof t->parameters)) return FALSE;
    t->parametersIsFile = t->parameters[0] != '\0' && File_Exists(t->parameters);

    if (!Take_Number(&q, 6, &v)) return Fail(&q, "field %d (what happens to a completed job) is not a number", 6);
    if (v <= -5 || v >= 200)
        Read_Finding(SEV_WARNING, "queue \"%s\": the clean-up action %d is unknown and is taken as leaving the job "
                     "where it is; choose an action on the Clean-Up page.", t->name, v);
    t->afterAction = (v <= -5 || v >= 200) ? AFTER_LEAVE : v;
    if (!Take_Number(&q, 7, &v)) return Fail(&q, "field %d (the priority) is not a number", 7);
    t->priority = Held_Number(t, "the priority", v, LIMIT_PRIORITY);
    if (!Take_Number(&q, 8, &v)) return Fail(&q, "field %d (the copies) is not a number", 8);
    t->copies = Held_Number(t, "the number of copies", v, LIMIT_COPIES);

    if (Span(&q, 9) == NULL) {
        t->afterAction = AFTER_LEAVE;
        Home_Default(t->doneDir, sizeof t->doneDir, "Done");
    } else if (!Take_BlankText(&q, 9, t->doneDir, sizeof t->doneDir)) {
        return FALSE;
    }
    t->beepOnComplete = Bool_Or(&q, 10, FALSE);
    t->forceOverwriteDone = Bool_Or(&q, 11, TRUE);
    t->alertOnError = Bool_Or(&q, 12, FALSE);
    t->suspendOnError = Bool_Or(&q, 13, FALSE);
    t->keepSeconds = Held_Number(t, "the seconds a finished job is kept", Number_Or(&q, 14, 5), LIMIT_KEEP_SECONDS);
    Take_ShortText(&q, 15, t->mutexGroup, sizeof t->mutexGroup);
    Take_ShortText(&q, 16, t->outputIdentity, sizeof t->outputIdentity);

    v = Number_Or(&q, 17, 0);
    t->initialState = (v == 1 || v == 7) ? 7 : 0;
    t->jobGrouping = Span(&q, 18) != NULL && !Span_Begins(Span(&q, 18), '0');
    t->thumbnailsOnArrival = Span(&q, 19) != NULL && !Span_Begins(Span(&q, 19), '0');
    t->countDown = Held_Number(t, "the count-down step", Number_Or(&q, 20, 1), LIMIT_COUNT_DOWN);
    t->jobsAtATime = Held_Number(t, "the number of jobs at a time", Number_Or(&q, 21, 1), LIMIT_JOBS_AT_A_TIME);
    t->legacyCompatV3 = (Span(&q, 22) == NULL) ? 2 : Span_Begins(Span(&q, 22), '0') ? 0 : 1;

    if (!Parse_TimeoutFields(&q, t)) return FALSE;

    t->forceOverwriteTimeout = Span_Begins(Span(&q, 26), '1');
    v = Number_Or(&q, 27, 2);
    t->openFilePolicy = In_Range(v, LIMIT_OPEN_FILE_POLICY) ? v : 2;
    if (!Take_BlankText(&q, 28, t->thumbnailDir, sizeof t->thumbnailDir)) return FALSE;
    t->thumbnailsWhenActive = Span_Begins(Span(&q, 29), '1');
    t->hidden = Span_Begins(Span(&q, 30), '1');
    t->limitDoneFiles = Span_Begins(Span(&q, 31), '1');
    t->doneFileLimit = Held_Number(t, "the limit of files in the done directory", Number_Or(&q, 32, 10), LIMIT_DONE_FILE_LIMIT);
    t->monitorProcesses = Span_Begins(Span(&q, 33), '1');
    t->noProcesses = Span_Begins(Span(&q, 34), '1');
    if (!Take_BlankText(&q, 35, t->extraText, sizeof t->extraText)) return FALSE;
    if (!Take_BlankText(&q, 36, t->filterExtensions, sizeof t->filterExtensions)) return FALSE;
    const FIELD_SPAN *flags = Span(&q, 37);
    if (flags == NULL || !Read_FieldBits(flags->text, flags->len, &t->filterFlags)) t->filterFlags = 0;
    if (!Take_UnspacedText(&q, 38, t->excludeFilterDir, sizeof t->excludeFilterDir)) return FALSE;
    const FIELD_SPAN *hold = Span(&q, 39);
    t->holdAllJobs = (hold == NULL) || hold->text[0] != '0';
    if (!Take_BlankText(&q, 40, t->iconPath, sizeof t->iconPath)) return FALSE;
    if (!Take_UnspacedText(&q, 41, t->launchAppPath, sizeof t->launchAppPath)) return FALSE;
    t->switchIfIdle = Number_Or(&q, 42, 0);

    if (t->processRef == LBQ_MARKER) {
        /* an input queue keeps its name and hot directory in shorter fields */
        if (strlen(t->name) >= sizeof lbqs[0].name) return Fail(&q, "field %d (the queue name) is too long", 1);
        if (strlen(t->hotDir) >= sizeof lbqs[0].hotDir)
            return Fail(&q, "field %d (the hot directory) is too long", 3);
        if (isLbq != NULL) *isLbq = TRUE;
        return TRUE;
    }
    /* The record in the form the writer stores: a queue that runs no processes names none (an
       entry named here would be kept alive at this save and dropped at the next), and so on. */
    Normalise_Target(t);
    return TRUE;
}

/* ---- lines not taken ---- */

void Clear_KeptQueueLines(void) { Kept_Clear(&keptQueueLines); }

BOOL Have_KeptQueueLines(void) { return keptQueueLines.text != NULL; }

/* Notes where each kept line names an application entry in field 4, so that the number can
   follow the renumbering of the applications file. Lines without a readable reference are
   left exactly as they are. */
static void Find_KeptRefs(void)
{
    size_t pos = 0;
    TEXT_LINE l;
    while (Next_TextLine(keptQueueLines.text, keptQueueLines.len, &pos, &l)) {
        LINE_FIELDS lf;
        Split_Fields(l.text, l.len, &lf);
        int k = (lf.count > 1 && lf.field[1].len == 1 && !isalpha((unsigned char)lf.field[1].text[0])) ? 3 : 2;
        const FIELD_SPAN *s = (k < lf.count) ? &lf.field[k] : NULL;
        BOOL digits = s != NULL && s->len > 0 && s->len <= 6;
        for (size_t i = 0; digits && i < s->len; i++) digits = isdigit((unsigned char)s->text[i]) != 0;
        if (digits) {
            int32_t entry = 0;
            Read_FieldNumber(s->text, s->len, &entry);
            if (entry != LBQ_MARKER && entry != NO_PROCESSES && !Kept_AddNumber(&keptQueueLines, s->text, s->len, entry))
                return;                             /* the references stay as they are */
        }
    }
}

/* ---- the file ---- */

/* Output queue references are written with the input queues counted in, and read back without;
   a number below the count of input queues names an input queue, which no output queue can pass
   jobs to: such a reference becomes the harmless code of its field. */
static void Apply_QueueOffsets(void)
{
    for (int i = 0; i < targetCount && i < MAX_TARGETS; i++) {
        Target *t = &targets[i];
        if (t->afterAction > 0) {
            t->afterAction -= lbqCount;
            if (t->afterAction < 0) t->afterAction = AFTER_LEAVE;
        }
        if (t->timeoutAction > 0) {
            t->timeoutAction -= lbqCount;
            if (t->timeoutAction < 0 || t->timeoutAction >= MAX_TARGETS) Set_NeverTimesOut(t);
        }
    }
}

BOOL Get_TargetData(void)
{
    Trace("\nGet_TargetData()\n");
    Clear_KeptQueueLines();
    char path[PATH_LEN];
    size_t len = 0;
    char *text = Home_Path(path, sizeof path, homeDir, QUEUES_FILE) ? Read_WholeFile(path, &len) : NULL;
    if (text == NULL && Home_Path(path, sizeof path, homeDir, QUEUES_FILE_OLD)) text = Read_WholeFile(path, &len);
    if (text == NULL) {
        Trace("Could not open the file %s. Returning FALSE\n", path);
        targetCount = lbqCount = 0;
        return FALSE;
    }

    Begin_ReadFindings(strrchr(path, '\\') != NULL ? strrchr(path, '\\') + 1 : path);
    int nTargets = 0, nLbqs = 0, lineNo = 0;
    size_t pos = 0, stopAt = len;
    char why[WHY_LEN] = "";
    char *line = NULL;
    size_t lineCap = 0;
    TEXT_LINE l;
    for (size_t at = 0; Next_TextLine(text, len, &pos, &l); at = pos) {
        size_t n = l.len;
        lineNo++;
        Set_ReadLine(lineNo);
        stopAt = at;
        if (n == 0) {
            Copy_Field(why, "an empty line ends the list of queues");
            break;
        }
        if (memchr(l.text, '\0', n) != NULL) {
            Copy_Field(why, "the line holds a zero byte");
            break;
        }
        if (nTargets + nLbqs >= MAX_QUEUES) {
            Format_Text(why, sizeof why, "the editor holds no more than %d queues", MAX_QUEUES);
            break;
        }
        if (n + 1 > lineCap) {
            char *grown = (char *)realloc(line, n + 1);
            if (grown == NULL) {
                Copy_Field(why, "not enough memory to read the line");
                break;
            }
            line = grown;
            lineCap = n + 1;
        }
        memcpy(line, l.text, n);
        line[n] = '\0';

        Target t;
        BOOL isLbq = FALSE;
        if (!Parse_QueueLine(line, &t, &isLbq, why, sizeof why)) break;
        if (isLbq) {
            LBQ *q = &lbqs[nLbqs];
            memset(q, 0, sizeof *q);
            Copy_Field(q->name, t.name);
            Copy_Field(q->hotDir, t.hotDir);
            q->includeSubdirs = t.includeSubdirs;
            q->priority = t.priority;
            q->copies = t.copies;
            Init_LBConfig(q);
            Trace("Read in LBQ %d: \"%s, %s, %d, %d\n", nLbqs, q->name, q->hotDir, q->priority, q->copies);
            nLbqs++;
        } else {
            t.slotIndex = nTargets;
            targets[nTargets++] = t;
        }
        stopAt = len;
    }
    free(line);
    if (stopAt < len && !Is_BlankText(text + stopAt, len - stopAt))
        Read_Finding(SEV_ERROR, "reading stopped at this line (%s): it and the lines after it are written back "
                     "unchanged but none of their queues can be edited; correct the line.", why);
    End_ReadFindings();
    if (stopAt < len &&
        Kept_Keep(&keptQueueLines, text + stopAt, len - stopAt, "queue data",
                  "The queues before that line have been loaded. That line and the lines after it are not shown, "
                  "but they are",
                  path, lineNo, why))
        Find_KeptRefs();
    free(text);

    targetCount = nTargets;
    lbqCount = nLbqs;
    Trace("Read in %d output targets and %d load balancer input queues. Returning TRUE\n", targetCount, lbqCount);
    Apply_QueueOffsets();
    return TRUE;
}

/* A queue index of an action field as the file numbers it: input queues first. */
static int32_t File_QueueNumber(int32_t action) { return action >= 0 ? action + lbqCount : action; }

static void Put_LbqLine(OUTBUF *b, const LBQ *q)
{
    Put_FieldText(b, q->name, TRUE);
    OutBuf_Printf(b, "::%d::", q->includeSubdirs ? 1 : 0);
    Put_FieldText(b, q->hotDir, TRUE);
    OutBuf_Printf(b, "::%d:: ::-3::%d::%d", LBQ_MARKER, q->priority, q->copies);
}

static void Put_TargetLine(OUTBUF *b, const Target *queue, const APP_NUMBERING *numbers)
{
    /* The record itself is left as it is: a copy is brought into the form the file carries. */
    Target copy = *queue;
    Target *t = &copy;
    Normalise_Target(t);
    int32_t processRef = (t->processRef == NO_PROCESSES) ? NO_PROCESSES : Entry_OfSlot(numbers, t->processRef, t->usesGroup);

    Put_FieldText(b, t->name, TRUE);
    OutBuf_Printf(b, "::%d::", t->includeSubdirs ? 1 : 0);
    Put_FieldText(b, t->hotDir, TRUE);
    OutBuf_Printf(b, "::%d::", processRef);
    Put_FieldText(b, t->parameters, TRUE);
    OutBuf_Printf(b, "::%d::%d::%d::", File_QueueNumber(t->afterAction), t->priority, t->copies);
    Put_FieldText(b, t->doneDir, TRUE);
    OutBuf_Printf(b, "::%d::%d::%d::%d::%d::", t->beepOnComplete, t->forceOverwriteDone, t->alertOnError,
                  t->suspendOnError, t->keepSeconds);
    Put_FieldText(b, t->mutexGroup, TRUE);
    OutBuf_Puts(b, "::");
    Put_FieldText(b, t->outputIdentity, TRUE);
    OutBuf_Printf(b, "::%d::%d::%d::%d::%d::0::%d::%d::", t->initialState, t->jobGrouping,
                  t->thumbnailsOnArrival, t->countDown, t->jobsAtATime,
                  File_QueueNumber(t->timeoutAction), t->timeoutSeconds);
    Put_FieldText(b, t->timeoutDir, FALSE);
    OutBuf_Printf(b, "::%d::%d::", t->forceOverwriteTimeout, t->openFilePolicy);
    Put_FieldText(b, t->thumbnailDir, TRUE);
    OutBuf_Printf(b, "::%d::%d::%d::%d::%d::%d::", t->thumbnailsWhenActive, t->hidden, t->limitDoneFiles,
                  t->doneFileLimit, t->monitorProcesses, t->noProcesses);
    Put_FieldText(b, t->extraText, TRUE);
    OutBuf_Puts(b, "::");
    Put_FieldText(b, t->filterExtensions, TRUE);
    OutBuf_Printf(b, "::%d::", (int32_t)t->filterFlags);
    Put_FieldText(b, t->excludeFilterDir, TRUE);
    OutBuf_Printf(b, "::%d::", t->holdAllJobs);
    Put_FieldText(b, t->iconPath, TRUE);
    OutBuf_Puts(b, "::");
    Put_FieldText(b, t->launchAppPath, TRUE);
    OutBuf_Printf(b, "::%d", t->switchIfIdle);
}

BOOL Store_TargetData(void)
{
    Trace("\nStore_TargetData()\n");
    APP_NUMBERING numbers;
    Defrag_AppsArray(&numbers);
    char path[PATH_LEN];
    if (!Store_PathOf(QUEUES_FILE, path, sizeof path)) return FALSE;
    Trace("Opening the file %s.\n", path);

    OUTBUF b;
    OutBuf_Init(&b);
    Trace("Opened %s. ", path);
    Trace("Writing load balancer targets: ");
    for (int i = 0; i < lbqCount && i < MAX_LBQS; i++) {
        Put_LbqLine(&b, &lbqs[i]);
        /* An input queue's line is followed by a line feed unless it is the last line of the
           file: only when there are no output queues (whose lines always end with one) and no
           kept lines (which start a line of their own). */
        if (i < lbqCount + targetCount - 1 || keptQueueLines.text != NULL) OutBuf_Putc(&b, '\n');
        Trace("%d, ", i);
    }
    Trace("Writing output targets: ");
    for (int i = 0; i < targetCount && i < MAX_TARGETS; i++) {
        Put_TargetLine(&b, &targets[i], &numbers);
        OutBuf_Putc(&b, '\n');
        Trace("%d, ", i);
    }
    if (keptQueueLines.text != NULL) {
        Trace("Writing the lines kept from the last load. ");
        Kept_Write(&b, &keptQueueLines, &numbers);
    }
    return Store_TracedFile(path, &b, TRUE,
                            "Could not open the queue data file for writing. Data will not be saved.\r\n\"%s\"");
}
