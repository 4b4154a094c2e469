#include "config/undo.h"
#include "config/image.h"
#include "common/appstate.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include <stdarg.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

/* ---- a step: how to make one configuration from another ----

   A recipe makes configuration X from configuration Y (the live one). It is a run of bytes:

     output queues   X's count; the slots described (S); for each slot of X the slot of Y whose
                     record it takes (-1: the record follows in full); the full records; the
                     renumbered fields (slot number, pass-to after processing, pass-to at the
                     time-out) that differ from the record taken
     input queues    the same, with the output flags that differ from the record taken
     applications    each slot that differs, in full; the same for the groups
     the rest        the deleted queues' numbers, the preferences, the load balancer's debug
                     level and the users, each only when it differs

   Records are paired by their content with the renumbered fields left out, so a queue that only
   moved (or whose references were renumbered) costs two bytes and a few numbers, not a record. */

typedef struct {
    const char *p;
    size_t      left;
    BOOL        bad;
} READER;

static void Put(OUTBUF *b, const void *data, size_t n) { OutBuf_Append(b, (const char *)data, n); }
static void Put32(OUTBUF *b, int32_t v) { Put(b, &v, sizeof v); }
static void Put16(OUTBUF *b, int16_t v) { Put(b, &v, sizeof v); }

static BOOL Get(READER *r, void *data, size_t n)
{
    if (r->bad || r->left < n) {
        r->bad = TRUE;
        memset(data, 0, n);
        return FALSE;
    }
    memcpy(data, r->p, n);
    r->p += n;
    r->left -= n;
    return TRUE;
}
static int32_t Get32(READER *r) { int32_t v; Get(r, &v, sizeof v); return v; }
static int16_t Get16(READER *r) { int16_t v; Get(r, &v, sizeof v); return v; }

static uint64_t Hash_Bytes(uint64_t h, const void *data, size_t n)
{
    const unsigned char *p = (const unsigned char *)data;
    for (size_t i = 0; i < n; i++) {
        h ^= p[i];
        h *= 1099511628211ull;
    }
    return h;
}
#define HASH_START 14695981039346656037ull

/* A record with the fields a move or a deletion renumbers left out (and its icon handle, which
   is the slot's, not the record's). */
static void Neutral_Target(const Target *t, Target *out)
{
    memcpy(out, t, sizeof *out);
    out->slotIndex = 0;
    out->afterAction = 0;
    out->timeoutAction = 0;
    out->icon = NULL;
}

/* An input queue's record without its output flags (carried apart, they follow the output
   queues). */
static uint64_t Hash_LbqHead(const LBQ *q) { return Hash_Bytes(HASH_START, q, offsetof(LBQ, outputs)); }
static BOOL     Same_LbqHead(const LBQ *a, const LBQ *b) { return memcmp(a, b, offsetof(LBQ, outputs)) == 0; }

static uint64_t Hash_Target(const Target *t)
{
    static Target n;
    Neutral_Target(t, &n);
    return Hash_Bytes(HASH_START, &n, sizeof n);
}
static BOOL Same_Target(const Target *a, const Target *b)
{
    static Target x, y;
    Neutral_Target(a, &x);
    Neutral_Target(b, &y);
    return memcmp(&x, &y, sizeof x) == 0;
}

static BOOL Same_App(const App *a, const App *b)
{
    App x = *a, y = *b;
    x.icon = y.icon = NULL;
    return memcmp(&x, &y, sizeof x) == 0;
}

/* The whole configuration as one number, icon handles left out: what a step expects to find. */
static uint64_t Hash_Image(const CONFIG_IMAGE *img)
{
    uint64_t h = HASH_START;
    h = Hash_Bytes(h, &img->targetCount, sizeof img->targetCount);
    h = Hash_Bytes(h, &img->lbqCount, sizeof img->lbqCount);
    for (int i = 0; i < img->targetCount; i++) {
        Target t = img->targets[i];
        t.icon = NULL;
        h = Hash_Bytes(h, &t, sizeof t);
    }
    h = Hash_Bytes(h, img->lbqs, sizeof(LBQ) * (size_t)img->lbqCount);
    for (int i = 0; i < MAX_APPS; i++) {
        App a = img->apps[i];
        a.icon = NULL;
        h = Hash_Bytes(h, &a, sizeof a);
    }
    h = Hash_Bytes(h, img->appGroups, sizeof img->appGroups);
    h = Hash_Bytes(h, img->deletedQueues, sizeof img->deletedQueues);
    h = Hash_Bytes(h, &img->prefs, sizeof img->prefs);
    h = Hash_Bytes(h, &img->lbDebugLevel, sizeof img->lbDebugLevel);
    h = Hash_Bytes(h, &img->userCount, sizeof img->userCount);
    for (int i = 0; i < img->userCount; i++) {
        h = Hash_Bytes(h, img->users[i].name, strlen(img->users[i].name) + 1);
        h = Hash_Bytes(h, img->users[i].password, strlen(img->users[i].password) + 1);
    }
    return h;
}

/* For each slot of X below slots, the slot of Y with the same record (renumbered fields apart),
   or -1. Each slot of Y is taken once while there is a choice: the slot after the one taken for
   the slot before first (a run that shifted), then the same slot, then any. */
typedef BOOL (*SAME_FN)(const void *a, const void *b);
static void Pair_Slots(const void *xs, const void *ys, size_t size, int slots, const uint64_t *hx,
                       const uint64_t *hy, SAME_FN same, int16_t *src)
{
    BOOL used[MAX_QUEUES];
    memset(used, 0, sizeof used);
    int last = -1;
    for (int i = 0; i < slots; i++) {
        const void *x = (const char *)xs + size * (size_t)i;
        int found = -1;
        int tries[2] = { last + 1, i };
        for (int k = 0; k < 2 && found < 0; k++) {
            int j = tries[k];
            if (j >= 0 && j < slots && !used[j] && hx[i] == hy[j] && same(x, (const char *)ys + size * (size_t)j))
                found = j;
        }
        for (int j = 0; j < slots && found < 0; j++)
            if (!used[j] && hx[i] == hy[j] && same(x, (const char *)ys + size * (size_t)j)) found = j;
        /* a record already taken may be taken again: only its content counts (the icon handle
           goes to one slot only) */
        for (int j = 0; j < slots && found < 0; j++)
            if (hx[i] == hy[j] && same(x, (const char *)ys + size * (size_t)j)) found = j;
        src[i] = (int16_t)found;
        if (found >= 0) {
            used[found] = TRUE;
            last = found;
        }
    }
}

static BOOL Same_TargetV(const void *a, const void *b) { return Same_Target((const Target *)a, (const Target *)b); }
static BOOL Same_LbqV(const void *a, const void *b) { return Same_LbqHead((const LBQ *)a, (const LBQ *)b); }

/* The slots a recipe describes: every slot in use on either side and the one after (the slot a
   new queue is made in), and any further slot whose record differs. */
static int Slots_Described(const void *xs, const void *ys, size_t size, int countX, int countY, int max)
{
    int s = (countX > countY ? countX : countY) + 1;
    for (int i = max - 1; i >= s; i--)
        if (memcmp((const char *)xs + size * (size_t)i, (const char *)ys + size * (size_t)i, size) != 0) {
            s = i + 1;
            break;
        }
    return s > max ? max : s;
}

enum { FIX_SLOT = 0, FIX_AFTER = 1, FIX_TIMEOUT = 2 };

static void Recipe_Targets(OUTBUF *b, const CONFIG_IMAGE *x, const CONFIG_IMAGE *y)
{
    static uint64_t hx[MAX_TARGETS], hy[MAX_TARGETS];
    int slots = Slots_Described(x->targets, y->targets, sizeof(Target), x->targetCount, y->targetCount, MAX_TARGETS);
    for (int i = 0; i < slots; i++) {
        hx[i] = Hash_Target(&x->targets[i]);
        hy[i] = Hash_Target(&y->targets[i]);
    }
    int16_t src[MAX_TARGETS];
    Pair_Slots(x->targets, y->targets, sizeof(Target), slots, hx, hy, Same_TargetV, src);
    Put32(b, x->targetCount);
    Put32(b, slots);
    Put(b, src, sizeof(int16_t) * (size_t)slots);
    for (int i = 0; i < slots; i++)
        if (src[i] < 0) Put(b, &x->targets[i], sizeof(Target));
    int fixes = 0;
    for (int pass = 0; pass < 2; pass++) {
        if (pass == 1) Put32(b, fixes);
        for (int i = 0; i < slots; i++) {
            if (src[i] < 0) continue;
            const Target *to = &x->targets[i], *from = &y->targets[src[i]];
            const int32_t want[3] = { to->slotIndex, to->afterAction, to->timeoutAction };
            const int32_t have[3] = { from->slotIndex, from->afterAction, from->timeoutAction };
            for (int f = 0; f < 3; f++) {
                if (want[f] == have[f]) continue;
                if (pass == 0) fixes++;
                else {
                    Put16(b, (int16_t)i);
                    Put16(b, (int16_t)f);
                    Put32(b, want[f]);
                }
            }
        }
    }
}

static void Recipe_Lbqs(OUTBUF *b, const CONFIG_IMAGE *x, const CONFIG_IMAGE *y)
{
    static uint64_t hx[MAX_LBQS], hy[MAX_LBQS];
    int slots = Slots_Described(x->lbqs, y->lbqs, sizeof(LBQ), x->lbqCount, y->lbqCount, MAX_LBQS);
    for (int i = 0; i < slots; i++) {
        hx[i] = Hash_LbqHead(&x->lbqs[i]);
        hy[i] = Hash_LbqHead(&y->lbqs[i]);
    }
    int16_t src[MAX_LBQS];
    Pair_Slots(x->lbqs, y->lbqs, sizeof(LBQ), slots, hx, hy, Same_LbqV, src);
    Put32(b, x->lbqCount);
    Put32(b, slots);
    Put(b, src, sizeof(int16_t) * (size_t)slots);
    for (int i = 0; i < slots; i++)
        if (src[i] < 0) Put(b, &x->lbqs[i], sizeof(LBQ));
    int fixes = 0;
    for (int pass = 0; pass < 2; pass++) {
        if (pass == 1) Put32(b, fixes);
        for (int i = 0; i < slots; i++) {
            if (src[i] < 0) continue;
            const int32_t *want = x->lbqs[i].outputs, *have = y->lbqs[src[i]].outputs;
            for (int k = 0; k < MAX_LBQ_OUTPUTS; k++) {
                if (want[k] == have[k]) continue;
                if (pass == 0) fixes++;
                else {
                    Put16(b, (int16_t)i);
                    Put16(b, (int16_t)k);
                    Put32(b, want[k]);
                }
            }
        }
    }
}

static BOOL Same_Users(const CONFIG_IMAGE *x, const CONFIG_IMAGE *y)
{
    if (x->userCount != y->userCount) return FALSE;
    for (int i = 0; i < x->userCount; i++)
        if (strcmp(x->users[i].name, y->users[i].name) != 0 || strcmp(x->users[i].password, y->users[i].password) != 0)
            return FALSE;
    return TRUE;
}

/* How to make x from y. */
static void Make_Recipe(OUTBUF *b, const CONFIG_IMAGE *x, const CONFIG_IMAGE *y)
{
    Recipe_Targets(b, x, y);
    Recipe_Lbqs(b, x, y);
    int n = 0;
    for (int a = 0; a < MAX_APPS; a++) n += !Same_App(&x->apps[a], &y->apps[a]);
    Put32(b, n);
    for (int a = 0; a < MAX_APPS; a++)
        if (!Same_App(&x->apps[a], &y->apps[a])) {
            Put16(b, (int16_t)a);
            Put(b, &x->apps[a], sizeof(App));
        }
    n = 0;
    for (int g = 0; g < MAX_APPGROUPS; g++) n += memcmp(&x->appGroups[g], &y->appGroups[g], sizeof(AppGroup)) != 0;
    Put32(b, n);
    for (int g = 0; g < MAX_APPGROUPS; g++)
        if (memcmp(&x->appGroups[g], &y->appGroups[g], sizeof(AppGroup)) != 0) {
            Put16(b, (int16_t)g);
            Put(b, &x->appGroups[g], sizeof(AppGroup));
        }
    BOOL deleted = memcmp(x->deletedQueues, y->deletedQueues, sizeof x->deletedQueues) != 0;
    Put32(b, deleted);
    if (deleted) Put(b, x->deletedQueues, sizeof x->deletedQueues);
    BOOL prefs = memcmp(&x->prefs, &y->prefs, sizeof x->prefs) != 0;
    Put32(b, prefs);
    if (prefs) Put(b, &x->prefs, sizeof x->prefs);
    BOOL debug = x->lbDebugLevel != y->lbDebugLevel;
    Put32(b, debug);
    if (debug) Put32(b, x->lbDebugLevel);
    BOOL usersDiffer = !Same_Users(x, y);
    Put32(b, usersDiffer);
    if (usersDiffer) {
        Put32(b, x->userCount);
        for (int i = 0; i < x->userCount; i++) {
            Put(b, x->users[i].name, strlen(x->users[i].name) + 1);
            Put(b, x->users[i].password, strlen(x->users[i].password) + 1);
        }
    }
}

static char *Get_Text(READER *r)
{
    const char *end = (const char *)memchr(r->p, '\0', r->left);
    if (r->bad || end == NULL) {
        r->bad = TRUE;
        return NULL;
    }
    size_t n = (size_t)(end - r->p) + 1;
    char *s = (char *)malloc(n);
    if (s != NULL) memcpy(s, r->p, n);
    r->p += n;
    r->left -= n;
    return s;
}

static void Free_UserArray(User *list, int count)
{
    for (int i = 0; i < count; i++) {
        free(list[i].name);
        free(list[i].password);
    }
    free(list);
}

/* Makes x (a copy of y) the configuration the recipe describes; touched marks what it put back
   or moved. FALSE when the recipe does not read (x is then not to be used). */
static BOOL Apply_Recipe(const char *data, size_t len, const CONFIG_IMAGE *y, CONFIG_IMAGE *x, UNDO_TOUCHED *touched)
{
    READER r = { data, len, FALSE };
    memset(touched, 0, sizeof *touched);
    /* output queues */
    x->targetCount = Get32(&r);
    int slots = Get32(&r);
    if (r.bad || slots < 0 || slots > MAX_TARGETS || x->targetCount < 0 || x->targetCount > MAX_TARGETS) return FALSE;
    int16_t src[MAX_TARGETS];
    Get(&r, src, sizeof(int16_t) * (size_t)slots);
    BOOL given[MAX_TARGETS];
    memset(given, 0, sizeof given);
    int moved = 0;
    for (int i = 0; i < slots && !r.bad; i++) {
        if (src[i] < 0) {
            Get(&r, &x->targets[i], sizeof(Target));
            x->targets[i].icon = NULL;             /* taken again from its file when drawn */
            if (i < x->targetCount) touched->targets[i] = TRUE;
            continue;
        }
        if (src[i] >= slots) return FALSE;
        x->targets[i] = y->targets[src[i]];
        if (i < x->targetCount && src[i] < y->targetCount && !given[src[i]]) given[src[i]] = TRUE;
        else x->targets[i].icon = NULL;
        if (src[i] != i && i < x->targetCount) moved++;
    }
    int fixes = Get32(&r);
    for (int k = 0; k < fixes && !r.bad; k++) {
        int i = Get16(&r), f = Get16(&r);
        int32_t v = Get32(&r);
        if (i < 0 || i >= slots) return FALSE;
        if (f == FIX_SLOT) x->targets[i].slotIndex = v;
        else if (f == FIX_AFTER) x->targets[i].afterAction = v;
        else x->targets[i].timeoutAction = v;
    }
    /* The queues to show: those that come back (no queue now has their name among the records
       that were not carried over); else those that changed; else the ones that moved furthest,
       which are the ones the operator moved. */
    BOOL carried[MAX_TARGETS];
    memset(carried, 0, sizeof carried);
    for (int i = 0; i < slots; i++)
        if (src[i] >= 0) carried[src[i]] = TRUE;
    BOOL back[MAX_TARGETS], anyBack = FALSE;
    for (int i = 0; i < x->targetCount; i++) {
        back[i] = touched->targets[i];
        for (int j = 0; j < y->targetCount && back[i]; j++)
            if (!carried[j] && strcmp(y->targets[j].name, x->targets[i].name) == 0) back[i] = FALSE;
        anyBack = anyBack || back[i];
    }
    if (anyBack) memcpy(touched->targets, back, sizeof(BOOL) * (size_t)x->targetCount);
    BOOL any = FALSE;
    for (int i = 0; i < x->targetCount; i++) any = any || touched->targets[i];
    if (!any && moved > 0) {
        int furthest = 0;
        for (int i = 0; i < x->targetCount && i < slots; i++) {
            int d = abs(src[i] - i);
            if (src[i] >= 0 && d > furthest) furthest = d;
        }
        for (int i = 0; i < x->targetCount && i < slots; i++)
            if (src[i] >= 0 && abs(src[i] - i) == furthest) touched->targets[i] = TRUE;
    }
    /* input queues */
    x->lbqCount = Get32(&r);
    slots = Get32(&r);
    if (r.bad || slots < 0 || slots > MAX_LBQS || x->lbqCount < 0 || x->lbqCount > MAX_LBQS) return FALSE;
    Get(&r, src, sizeof(int16_t) * (size_t)slots);
    for (int i = 0; i < slots && !r.bad; i++) {
        if (src[i] < 0) {
            Get(&r, &x->lbqs[i], sizeof(LBQ));
            if (i < x->lbqCount) touched->lbqs[i] = TRUE;
        } else if (src[i] < slots) {
            x->lbqs[i] = y->lbqs[src[i]];
        } else return FALSE;
    }
    fixes = Get32(&r);
    for (int k = 0; k < fixes && !r.bad; k++) {
        int i = Get16(&r), o = Get16(&r);
        int32_t v = Get32(&r);
        if (i < 0 || i >= slots || o < 0 || o >= MAX_LBQ_OUTPUTS) return FALSE;
        x->lbqs[i].outputs[o] = v;
    }
    /* applications and groups */
    int n = Get32(&r);
    for (int k = 0; k < n && !r.bad; k++) {
        int a = Get16(&r);
        if (a < 0 || a >= MAX_APPS) return FALSE;
        App app;
        Get(&r, &app, sizeof app);
        const App *now = &y->apps[a];
        BOOL sameIcon = !now->free && !app.free && strcmp(now->path, app.path) == 0 && strcmp(now->iconPath, app.iconPath) == 0;
        app.icon = sameIcon ? now->icon : NULL;    /* NULL: taken again when shown */
        x->apps[a] = app;
    }
    n = Get32(&r);
    for (int k = 0; k < n && !r.bad; k++) {
        int g = Get16(&r);
        if (g < 0 || g >= MAX_APPGROUPS) return FALSE;
        Get(&r, &x->appGroups[g], sizeof(AppGroup));
    }
    if (Get32(&r)) Get(&r, x->deletedQueues, sizeof x->deletedQueues);
    if (Get32(&r)) {
        Get(&r, &x->prefs, sizeof x->prefs);
        touched->prefs = TRUE;
    }
    if (Get32(&r)) x->lbDebugLevel = Get32(&r);
    if (Get32(&r)) {
        int count = Get32(&r);
        if (r.bad || count < 0 || count > 100000) return FALSE;
        User *list = count > 0 ? (User *)calloc((size_t)count, sizeof(User)) : NULL;
        if (count > 0 && list == NULL) return FALSE;
        for (int i = 0; i < count; i++) {
            list[i].name = Get_Text(&r);
            list[i].password = Get_Text(&r);
            if (list[i].name == NULL || list[i].password == NULL) {
                Free_UserArray(list, i + 1);
                return FALSE;
            }
        }
        Free_UserArray(x->users, x->userCount);
        x->users = list;
        x->userCount = count;
        touched->users = TRUE;
    }
    return !r.bad && r.left == 0;
}

/* ---- the history ---- */

typedef struct {
    char     label[UNDO_LABEL_LEN];
    char    *undo;                   /* makes the configuration before the step from the one after */
    size_t   undoLen;
    char    *redo;                   /* and the other way */
    size_t   redoLen;
    uint64_t beforeHash, afterHash;
} UNDO_STEP;

static UNDO_STEP    *s_Steps;
static int           s_Count;        /* steps kept */
static int           s_Done;         /* steps 0 .. s_Done-1 can be undone, s_Done .. s_Count-1 redone */
static int           s_Room;
static CONFIG_IMAGE *s_Before;       /* the configuration at the outermost Undo_Begin */
static int           s_Depth;

static size_t Step_Bytes(const UNDO_STEP *s) { return sizeof *s + s->undoLen + s->redoLen; }

static void Free_Step(UNDO_STEP *s)
{
    free(s->undo);
    free(s->redo);
    memset(s, 0, sizeof *s);
}

static void Drop_Steps(int from, int to)
{
    if (from >= to) return;
    for (int i = from; i < to; i++) Free_Step(&s_Steps[i]);
    memmove(&s_Steps[from], &s_Steps[to], sizeof(UNDO_STEP) * (size_t)(s_Count - to));
    s_Count -= to - from;
}

void Clear_History(void)
{
    Trace("Clear_History: %d steps\n", s_Count);
    Drop_Steps(0, s_Count);
    s_Done = 0;
}

int    History_Steps(void) { return s_Count; }
int    History_Done(void) { return s_Done; }
size_t History_Bytes(void)
{
    size_t n = 0;
    for (int i = 0; i < s_Count; i++) n += Step_Bytes(&s_Steps[i]);
    return n;
}

BOOL Can_Undo(void) { return s_Done > 0; }
BOOL Can_Redo(void) { return s_Done < s_Count; }
const char *Undo_Label(void) { return s_Done > 0 ? s_Steps[s_Done - 1].label : ""; }
const char *Redo_Label(void) { return s_Done < s_Count ? s_Steps[s_Done].label : ""; }

BOOL Undo_Begin(void)
{
    if (s_Depth++ > 0) return TRUE;
    s_Before = Take_ConfigImage();
    if (s_Before == NULL) Trace("Undo_Begin: no memory to note the configuration; this command has no step\n");
    return s_Before != NULL;
}

void Undo_Abandon(void)
{
    if (s_Depth == 0 || --s_Depth > 0) return;
    Free_ConfigImage(s_Before);
    s_Before = NULL;
}

static char *Shrunk(OUTBUF *b, size_t *len)
{
    *len = b->len;
    char *p = (char *)realloc(b->data, b->len > 0 ? b->len : 1);
    if (p == NULL) p = b->data;
    b->data = NULL;
    return p;
}

/* Room in the array for one more step. */
static BOOL Room_ForStep(void)
{
    if (s_Count < s_Room) return TRUE;
    int room = s_Room > 0 ? s_Room * 2 : 64;
    UNDO_STEP *p = (UNDO_STEP *)realloc(s_Steps, sizeof(UNDO_STEP) * (size_t)room);
    if (p == NULL) return FALSE;
    s_Steps = p;
    s_Room = room;
    return TRUE;
}

BOOL Undo_End(const char *fmt, ...)
{
    if (s_Depth == 0 || --s_Depth > 0) return FALSE;
    CONFIG_IMAGE *before = s_Before;
    s_Before = NULL;
    CONFIG_IMAGE *after = before != NULL ? Take_ConfigImage() : NULL;
    if (after == NULL) {
        Free_ConfigImage(before);
        return FALSE;
    }
    char label[UNDO_LABEL_LEN];
    va_list args;
    va_start(args, fmt);
    Format_TextV(label, sizeof label, fmt, args);
    va_end(args);

    uint64_t beforeHash = Hash_Image(before), afterHash = Hash_Image(after);
    BOOL kept = FALSE;
    if (beforeHash == afterHash && Equal_ConfigImages(before, after)) {
        Trace("Undo_End: \"%s\" changed nothing\n", label);
    } else if (Equal_ConfigImages(before, after)) {
        /* only bytes no one reads changed (past the end of a text): no step, but the steps
           beside it are told what they now start from */
        Trace("Undo_End: \"%s\" changed nothing the operator sees\n", label);
        if (s_Done > 0) s_Steps[s_Done - 1].afterHash = afterHash;
        if (s_Done < s_Count) s_Steps[s_Done].beforeHash = afterHash;
    } else {
        OUTBUF u, r;
        OutBuf_Init(&u);
        OutBuf_Init(&r);
        Make_Recipe(&u, before, after);
        Make_Recipe(&r, after, before);
        Drop_Steps(s_Done, s_Count);              /* a new edit: what was undone cannot be done again */
        if (u.failed || r.failed || !Room_ForStep()) {
            Trace("Undo_End: no memory for the step \"%s\"; the history is cleared\n", label);
            OutBuf_Free(&u);
            OutBuf_Free(&r);
            Clear_History();
        } else {
            UNDO_STEP *s = &s_Steps[s_Count];
            memset(s, 0, sizeof *s);
            Copy_Field(s->label, label);
            s->undo = Shrunk(&u, &s->undoLen);
            s->redo = Shrunk(&r, &s->redoLen);
            s->beforeHash = beforeHash;
            s->afterHash = afterHash;
            s_Count++;
            s_Done = s_Count;
            kept = TRUE;
            size_t total = History_Bytes();
            int dropped = 0;
            while (total > UNDO_MEMORY_LIMIT && s_Count > 1) {
                total -= Step_Bytes(&s_Steps[0]);
                Drop_Steps(0, 1);
                s_Done--;
                dropped++;
            }
            Trace("Undo_End: step %d \"%s\" (%u + %u bytes; the history holds %u bytes%s)\n", s_Count, label,
                  (unsigned)s->undoLen, (unsigned)s->redoLen, (unsigned)total, dropped ? ", the oldest dropped" : "");
        }
    }
    Free_ConfigImage(before);
    Free_ConfigImage(after);
    return kept;
}

/* Icons of the queues that the new configuration no longer has. */
static void Drop_LostIcons(const CONFIG_IMAGE *was)
{
    for (int j = 0; j < was->targetCount; j++) {
        HICON icon = was->targets[j].icon;
        if (icon == NULL) continue;
        BOOL kept = FALSE;
        for (int i = 0; i < targetCount && !kept; i++) kept = targets[i].icon == icon;
        if (!kept) DestroyIcon(icon);
    }
}

static BOOL Take_Step(BOOL undo, UNDO_TOUCHED *touched)
{
    UNDO_TOUCHED ignored;
    if (touched == NULL) touched = &ignored;
    memset(touched, 0, sizeof *touched);
    if (undo ? !Can_Undo() : !Can_Redo()) return FALSE;
    UNDO_STEP *s = &s_Steps[undo ? s_Done - 1 : s_Done];
    Trace("%s ( \"%s\" )\n", undo ? "Undo_Step" : "Redo_Step", s->label);
    CONFIG_IMAGE *now = Take_ConfigImage();
    CONFIG_IMAGE *made = now != NULL ? Take_ConfigImage() : NULL;
    BOOL ok = made != NULL;
    if (!ok) {
        Trace("Take_Step: no memory\n");
        Info_Box(programTitle, "There is not enough memory to %s \"%s\".", undo ? "undo" : "redo", s->label);
        Free_ConfigImage(now);
        return FALSE;
    }
    if (Hash_Image(now) != (undo ? s->afterHash : s->beforeHash)) {
        Trace("Take_Step: the configuration is not what the step left; the history is cleared\n");
        Info_Box(programTitle, "The configuration was changed in a way the history of changes did not follow, so "
                               "\"%s\" cannot be %s. The history of changes has been cleared.",
                 s->label, undo ? "undone" : "redone");
        ok = FALSE;
    } else if (!Apply_Recipe(undo ? s->undo : s->redo, undo ? s->undoLen : s->redoLen, now, made, touched)) {
        Trace("Take_Step: the step does not read; the history is cleared\n");
        Info_Box(programTitle, "\"%s\" cannot be %s. The history of changes has been cleared.", s->label,
                 undo ? "undone" : "redone");
        ok = FALSE;
    } else if (!Put_ConfigImage(made)) {
        Info_Box(programTitle, "There is not enough memory to %s \"%s\".", undo ? "undo" : "redo", s->label);
        Free_ConfigImage(now);
        Free_ConfigImage(made);
        return FALSE;
    }
    if (ok) {
        Drop_LostIcons(now);
        s_Done += undo ? -1 : 1;
    } else {
        Clear_History();
    }
    Free_ConfigImage(now);
    Free_ConfigImage(made);
    return ok;
}

BOOL Undo_Step(UNDO_TOUCHED *touched) { return Take_Step(TRUE, touched); }
BOOL Redo_Step(UNDO_TOUCHED *touched) { return Take_Step(FALSE, touched); }
