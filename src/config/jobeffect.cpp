#include "config/jobeffect.h"
#include "common/text.h"
#include "common/trace.h"
#include <string.h>

/* The queue that load number q stands for: its name now, or as it was loaded when it is gone. */
static void Name_Queue(const CONFIG_IMAGE *loaded, int q, QUEUE_EFFECT *qe)
{
    qe->input = q < snapshotLbqCount;
    for (int i = 0; i < lbqCount; i++)
        if (lbqs[i].loadIndex == q) {
            Copy_Field(qe->name, lbqs[i].name);
            return;
        }
    for (int i = 0; i < targetCount; i++)
        if (targets[i].loadIndex == q) {
            Copy_Field(qe->name, targets[i].name);
            return;
        }
    if (loaded != NULL) {
        if (qe->input && q < loaded->lbqCount) {
            Copy_Field(qe->name, loaded->lbqs[q].name);
            return;
        }
        int t = q - snapshotLbqCount;
        if (!qe->input && t >= 0 && t < loaded->targetCount) {
            Copy_Field(qe->name, loaded->targets[t].name);
            return;
        }
    }
    Format_Text(qe->name, sizeof qe->name, "number %d", q);
}

typedef struct {
    JOB_EFFECT         *out;
    const CONFIG_IMAGE *loaded;
} PLAN_CONTEXT;

static QUEUE_EFFECT *Queue_Of(PLAN_CONTEXT *pc, int inFile, int loadNumber)
{
    if (loadNumber < 0 || loadNumber >= MAX_QUEUES) return NULL;
    QUEUE_EFFECT *qe = &pc->out->queues[loadNumber];
    if (!qe->used) {
        qe->used = TRUE;
        qe->oldNumber = inFile;
        const QueueChange *c = &queueChanges[loadNumber];
        qe->newNumber = (c->present && !deletedQueues[loadNumber]) ? c->newNumber : -1;
        Name_Queue(pc->loaded, loadNumber, qe);
    }
    return qe;
}

static void Visit_Job(int inFile, int loadNumber, const QueueEntry *e, JOB_FATE fate, void *context)
{
    PLAN_CONTEXT *pc = (PLAN_CONTEXT *)context;
    JOB_EFFECT *out = pc->out;
    if (fate == JOB_UNREADABLE) {
        out->unreadable++;
        return;
    }
    if (fate == JOB_DROP_NO_QUEUE) {
        out->noQueue++;
        return;
    }
    QUEUE_EFFECT *qe = Queue_Of(pc, inFile, loadNumber);
    if (qe == NULL) return;
    if (fate != JOB_KEPT) {
        qe->dropped[fate]++;
        out->jobsDropped++;
        return;
    }
    qe->kept++;
    if (e != NULL && e->queueNumber != inFile) {
        qe->moved++;
        out->jobsMoved++;
    }
}

static void Visit_Status(int inFile, int loadNumber, int newNumber, void *context)
{
    PLAN_CONTEXT *pc = (PLAN_CONTEXT *)context;
    QUEUE_EFFECT *qe = Queue_Of(pc, inFile, loadNumber);
    if (qe == NULL) return;
    qe->suspended = TRUE;
    qe->suspendedOld = inFile;
    qe->suspendedNew = newNumber;
}

BOOL Compute_JobEffect(const CONFIG_IMAGE *loaded, JOB_EFFECT *out)
{
    Trace("Compute_JobEffect()\n");
    memset(out, 0, sizeof *out);
    PLAN_CONTEXT pc = { out, loaded };
    out->complete = Plan_QueueFiles(Visit_Job, Visit_Status, &pc);
    Trace("Compute_JobEffect: %d jobs dropped, %d renumbered%s\n", out->jobsDropped, out->jobsMoved,
          out->complete ? "" : " (the files were not read whole)");
    return TRUE;
}

static const char *Reason_Text(JOB_FATE fate)
{
    switch (fate) {
    case JOB_DROP_DELETED:   return "the queue is deleted";
    case JOB_DROP_HOTDIR:    return "its hot directory changed";
    case JOB_DROP_PROCESSES: return "its processes changed and the jobs are not waiting";
    case JOB_DROP_SUBDIRS:   return "the jobs come from sub-directories, which the queue no longer takes";
    default:                 return "";
    }
}

static const char *Jobs_Word(int n) { return n == 1 ? "job" : "jobs"; }

BOOL Format_DroppedLine(const QUEUE_EFFECT *queue, JOB_FATE fate, char *out, size_t cap)
{
    int n = queue->dropped[fate];
    return Format_Text(out, cap, "%s: %d %s will be removed from the spooler's job list: %s", queue->name, n,
                       Jobs_Word(n), Reason_Text(fate));
}

BOOL Effect_DropsJobs(const JOB_EFFECT *effect) { return effect->jobsDropped > 0; }

int Each_EffectLine(const JOB_EFFECT *effect, BOOL future, EFFECT_LINE line, void *context)
{
    static const JOB_FATE k_Reasons[] = { JOB_DROP_DELETED, JOB_DROP_HOTDIR, JOB_DROP_PROCESSES, JOB_DROP_SUBDIRS };
    char text[TEXT_LEN + 200];
    int count = 0;
    for (int q = 0; q < MAX_QUEUES; q++) {
        const QUEUE_EFFECT *qe = &effect->queues[q];
        if (!qe->used) continue;
        for (size_t r = 0; r < ARRAY_LEN(k_Reasons); r++) {
            int n = qe->dropped[k_Reasons[r]];
            if (n == 0) continue;
            Format_Text(text, sizeof text, "%s \"%s\": %d %s %s from the spooler's job list: %s",
                        qe->input ? "Input queue" : "Queue", qe->name, n, Jobs_Word(n),
                        future ? "will be removed" : "removed", Reason_Text(k_Reasons[r]));
            line(text, qe, k_Reasons[r], context);
            count++;
        }
    }
    for (int q = 0; q < MAX_QUEUES; q++) {
        const QUEUE_EFFECT *qe = &effect->queues[q];
        if (!qe->used || qe->moved == 0) continue;
        BOOL one = qe->moved == 1;
        Format_Text(text, sizeof text, "%s \"%s\": %d %s %s under the new queue number %d (was %d)",
                    qe->input ? "Input queue" : "Queue", qe->name, qe->moved, Jobs_Word(qe->moved),
                    future ? (one ? "will keep its place" : "will keep their place")
                           : (one ? "kept its place" : "kept their place"),
                    qe->newNumber, qe->oldNumber);
        line(text, qe, JOB_KEPT, context);
        count++;
    }
    for (int q = 0; q < MAX_QUEUES; q++) {
        const QUEUE_EFFECT *qe = &effect->queues[q];
        if (!qe->used || !qe->suspended || qe->suspendedNew == qe->suspendedOld) continue;
        if (qe->suspendedNew < 0)
            Format_Text(text, sizeof text, "%s \"%s\" is suspended: its number %s from the status file",
                        qe->input ? "Input queue" : "Queue", qe->name, future ? "will be removed" : "was removed");
        else
            Format_Text(text, sizeof text, "%s \"%s\" is suspended: its number in the status file %s from %d to %d",
                        qe->input ? "Input queue" : "Queue", qe->name, future ? "will change" : "changed",
                        qe->suspendedOld, qe->suspendedNew);
        line(text, qe, JOB_KEPT, context);
        count++;
    }
    if (effect->noQueue > 0) {
        Format_Text(text, sizeof text, "%d %s of the spooler's job list %s no queue and %s", effect->noQueue,
                    effect->noQueue == 1 ? "line" : "lines", effect->noQueue == 1 ? "names" : "name",
                    future ? "will be removed" : (effect->noQueue == 1 ? "was removed" : "were removed"));
        line(text, NULL, JOB_DROP_NO_QUEUE, context);
        count++;
    }
    if (effect->unreadable > 0) {
        Format_Text(text, sizeof text, "%d unreadable %s of the spooler's job list %s", effect->unreadable,
                    effect->unreadable == 1 ? "line" : "lines",
                    future ? "will be removed" : (effect->unreadable == 1 ? "was removed" : "were removed"));
        line(text, NULL, JOB_UNREADABLE, context);
        count++;
    }
    return count;
}
