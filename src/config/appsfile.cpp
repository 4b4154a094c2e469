#include "config/appsfile.h"
#include "config/findings.h"
#include "config/keptlines.h"
#include "config/fieldsplit.h"
#include "config/storefile.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include <ctype.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#define FIRST_FIELD_LEN (2 * TEXT259_LEN + 8)   /* a quoted path, a space and the arguments */

APPS_LOAD appsLoad;

void Clear_AppsLoadState(void)
{
    memset(&appsLoad, 0, sizeof appsLoad);
    Kept_Clear(&keptAppLines);
}

/* R, H, N and I are runtime priorities; anything else is taken as N. */
static char Priority_Letter(char c) { return (c == 'R' || c == 'H' || c == 'N' || c == 'I') ? c : 'N'; }

/* ---- reading ---- */

/* Reads a member list ("0,,4,,12:0"): numbers joined by ",," up to a ':' whose number gives the
   parallel flag (0 only when it reads as 0). Returns 1 for a list the arrays can hold, -1 for a
   list of more than 4 members or with a member beyond the arrays, 0 when the text is no member
   list (fewer than two numbers, or anything else in it). With spans, the place of each number is
   noted there (up to MAX_GROUP_MEMBERS + 60 of them). */
static int Parse_MemberList(const char *text, size_t len, int32_t *members, int *count, BOOL *parallel,
                            KEPT_NUMBER *spans, int *spanCount)
{
    size_t p = 0;
    while (p < len && (text[p] == ' ' || text[p] == '\t')) p++;
    int n = 0;
    BOOL fits = TRUE;
    for (;;) {
        /* a member is digits alone: no blank or sign before it */
        if (p >= len || !isdigit((unsigned char)text[p])) return 0;
        size_t start = p, used = 0;
        long long v = 0;
        Read_Decimal(text + p, len - p, 0, INT32_MAX, &v, &used);
        p += used;
        if (n < MAX_GROUP_MEMBERS) members[n] = (int32_t)v;
        if (spans != NULL && n < MAX_GROUP_MEMBERS + 60) {
            spans[n].offset = start;
            spans[n].len = p - start;
            spans[n].entry = (int32_t)v;
        }
        if (v >= MAX_APPS) fits = FALSE;
        n++;
        if (p + 1 < len && text[p] == ',' && text[p + 1] == ',') {
            p += 2;
            continue;
        }
        break;
    }
    if (p < len && text[p] != ':') return 0;
    if (n < 2) return 0;
    *parallel = TRUE;
    if (p < len) {
        int32_t v;
        if (Read_FieldNumber(text + p + 1, len - p - 1, &v) && v == 0) *parallel = FALSE;
    }
    if (spanCount != NULL) *spanCount = (n < MAX_GROUP_MEMBERS + 60) ? n : MAX_GROUP_MEMBERS + 60;
    if (n > MAX_GROUP_MEMBERS || !fits) return -1;
    *count = n;
    return 1;
}

/* Splits the first field of an application entry into the program path and its arguments.
   FALSE when either does not fit. */
static BOOL Split_Command(const char *text, char *path, size_t pathCap, char *args, size_t argsCap)
{
    const char *p = text + strspn(text, " \t");
    const char *rest;
    size_t n;
    if (*p == '"') {
        p++;
        n = strcspn(p, "\"");
        rest = p + n + (p[n] == '"' ? 1 : 0);
    } else {
        const char *exe = NULL;
        for (const char *s = p; *s != '\0'; s++)
            if (Starts_With_NoCase(s, ".exe")) {
                exe = s;
                break;
            }
        n = exe ? (size_t)(exe + 4 - p) : strcspn(p, " \t");
        rest = p + n;
    }
    if (n >= pathCap) return FALSE;
    Copy_TextN(path, pathCap, p, n);
    rest += strspn(rest, " \t");
    return Copy_Text(args, argsCap, rest);
}

static BOOL Field_Is(const LINE_FIELDS *lf, int k, const char *text)
{
    return k < lf->count && lf->field[k].len == strlen(text) && memcmp(lf->field[k].text, text, lf->field[k].len) == 0;
}

static BOOL Ends_With_NoCase(const char *text, const char *tail)
{
    size_t a = strlen(text), b = strlen(tail);
    return a >= b && Compare_NoCase(text + a - b, tail) == 0;
}

static BOOL Fail(char *why, size_t cap, const char *text)
{
    Copy_Text(why, cap, text);
    return FALSE;
}

/* Reads one line as entry i into apps[i] or appGroups[i]. FALSE (why set) when the line is
   damaged or the entry does not fit; nothing is stored then. */
static BOOL Read_AppEntry(const char *line, int i, char *why, size_t whyCap, void *context)
{
    (void)context;
    LINE_FIELDS lf;
    Split_Fields(line, strlen(line), &lf);
    if (lf.count < 1 || lf.field[0].len == 0) return Fail(why, whyCap, "the first field is missing");
    if (lf.field[0].len >= FIRST_FIELD_LEN) return Fail(why, whyCap, "the first field is too long");
    char first[FIRST_FIELD_LEN], path[TEXT259_LEN], args[TEXT259_LEN];
    Copy_TextN(first, sizeof first, lf.field[0].text, lf.field[0].len);
    if (!Split_Command(first, path, sizeof path, args, sizeof args))
        return Fail(why, whyCap, "the program path or its arguments are too long");
    if (lf.count < 3 || lf.field[1].len == 0 || lf.field[2].len == 0) return Fail(why, whyCap, "field 2 or 3 is missing");
    int32_t runAlone = (lf.field[1].text[0] == 'A' || lf.field[1].text[0] == 'a') ? 1 : 0;
    char priority = Priority_Letter(lf.field[2].text[0]);

    int32_t members[MAX_GROUP_MEMBERS];
    int count = 0;
    BOOL parallel = TRUE;
    int list = File_Exists(path) ? 0 : Parse_MemberList(first, strlen(first), members, &count, &parallel, NULL, NULL);
    if (list < 0) return Fail(why, whyCap, "the group has more than 4 members or names an entry beyond 200");
    if (list > 0) {
        AppGroup *g = &appGroups[i];
        memset(g, 0, sizeof *g);
        g->count = count;
        memcpy(g->members, members, (size_t)count * sizeof members[0]);
        g->parallel = parallel;
        g->runAlone = runAlone;
        g->priority = priority;
        appsLoad.entryIsGroup[i] = TRUE;
        char list[64] = "";
        for (int k = 0; k < count; k++) {
            char one[16];
            Format_Text(one, sizeof one, k ? ", %d" : "%d", members[k]);
            Append_Field(list, one);
        }
        Trace("Reading entry %d; an Equivallence entry. Members %s, %s\n", i, list, parallel ? "parallel" : "series");
        return TRUE;
    }

    App *a = &apps[i];
    memset(a, 0, sizeof *a);
    Copy_Field(a->path, path);
    Copy_Field(a->args, args);
    a->runAlone = runAlone;
    a->priority = priority;
    int n = lf.count;
    a->compatV3 = (n >= 4) ? (Field_Is(&lf, 3, "1") ? 1 : 0) : 2;
    a->resident = (n >= 5) && Field_Is(&lf, 4, "1");
    int32_t show;
    if (n >= 6 && Read_FieldNumber(lf.field[5].text, lf.field[5].len, &show) && show >= 0 && show <= 0xFFFF)
        a->showCommand = (uint16_t)show;
    else
        a->showCommand = Ends_With_NoCase(a->path, ".bat") ? 6 : 0;
    a->nonNative = (n >= 7) && Field_Is(&lf, 6, "1");
    a->reservedFlag = (n >= 8) && Field_Is(&lf, 7, "1");
    Trace("Reading entry %d; an Application entry. \"%s\" \"%s\" %c %d\n", i, a->path, a->args, a->priority, a->runAlone);
    return TRUE;
}

/* Notes where each group line among the kept ones names its members, so that the numbers can
   follow the renumbering. */
static void Find_KeptMembers(void)
{
    size_t pos = 0;
    TEXT_LINE l;
    while (Next_TextLine(keptAppLines.text, keptAppLines.len, &pos, &l)) {
        LINE_FIELDS lf;
        Split_Fields(l.text, l.len, &lf);
        KEPT_NUMBER spans[MAX_GROUP_MEMBERS + 60];
        int32_t members[MAX_GROUP_MEMBERS];
        int count = 0, found = 0;
        BOOL parallel;
        if (lf.count > 0 && Parse_MemberList(lf.field[0].text, lf.field[0].len, members, &count, &parallel, spans, &found) != 0) {
            for (int k = 0; k < found; k++)
                if (!Kept_AddNumber(&keptAppLines, lf.field[0].text + spans[k].offset, spans[k].len, spans[k].entry)) return;
        }
    }
}

/* Reads the entries of text into the arrays; returns the number of entries read. */
static int Read_AppEntries(const char *text, size_t len, const char *path)
{
    RECORD_FILE f;
    memset(&f, 0, sizeof f);
    f.maxRecords = MAX_APPS;
    f.fullWhy = "the editor holds no more than %d entries";
    f.emptyWhy = "an empty line ends the list of entries";
    f.maxLineLen = FIRST_FIELD_LEN + 1023;
    f.fileWords = "application data";
    f.loadedWhat = "The entries before that line have been loaded. That line and the lines after it are";
    f.recordWords = "applications";
    f.read = Read_AppEntry;
    int read = Read_KeptRecords(text, len, path, &f, &keptAppLines);
    if (keptAppLines.text != NULL) Find_KeptMembers();
    return read;
}

/* Free App slots that the loaded queues or groups name stay out of reach of AddTargetApps, so that
   a reference to an entry that was not read never comes to run a new application. */
static void Reserve_DanglingRefs(void)
{
    for (int t = 0; t < targetCount && t < MAX_TARGETS; t++) {
        const Target *q = &targets[t];
        if (q->processRef != NO_PROCESSES && !q->usesGroup && q->processRef >= 0 && q->processRef < MAX_APPS &&
            apps[q->processRef].free)
            appsLoad.reserved[q->processRef] = TRUE;
    }
    for (int g = 0; g < MAX_APPGROUPS; g++) {
        if (appGroups[g].free) continue;
        for (int k = 0; k < appGroups[g].count && k < MAX_GROUP_MEMBERS; k++) {
            int m = appGroups[g].members[k];
            if (m >= 0 && m < MAX_APPS && apps[m].free) appsLoad.reserved[m] = TRUE;
        }
    }
}

BOOL Get_AppsData(void)
{
    Trace("\nGet_AppsData()\n");
    Clear_AppsLoadState();
    memset(apps, 0, sizeof apps);
    memset(appGroups, 0, sizeof appGroups);
    for (int i = 0; i < MAX_APPS; i++) apps[i].free = TRUE;
    for (int i = 0; i < MAX_APPGROUPS; i++) appGroups[i].free = TRUE;

    char path[PATH_LEN];
    size_t len = 0;
    char *text = Home_Path(path, sizeof path, Config_ReadDir(), APPS_FILE) ? Read_WholeFile(path, &len) : NULL;
    if (text == NULL && Home_Path(path, sizeof path, Config_ReadDir(), APPS_FILE_OLD)) text = Read_WholeFile(path, &len);
    if (text == NULL) {
        Trace("Could not open %s. Returning FALSE\n", path);
        Reserve_DanglingRefs();
        return FALSE;
    }
    /* A file saved as UTF-8 by a text editor starts with a byte order mark: it belongs to no
       entry, and left in front of the first path it would take that path out of its quotes. */
    size_t bom = (len >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0) ? 3 : 0;
    Begin_ReadFindings(strrchr(path, '\\') != NULL ? strrchr(path, '\\') + 1 : path);
    appsLoad.readCount = Read_AppEntries(text + bom, len - bom, path);
    End_ReadFindings();
    free(text);
    for (int i = 0; i < appsLoad.readCount; i++) {
        if (appsLoad.entryIsGroup[i]) appGroups[i].free = FALSE;
        else apps[i].free = FALSE;
    }
    Trace("End of file; Closing.");
    /* The icons are for windows only: the queue lists take them when they first show them
       (lists/appicons.h), never in the modes that show none. */

    Trace("\nAdjusting Targets array to reflect where AppNo refers to a group:\n");
    for (int t = 0; t < targetCount && t < MAX_TARGETS; t++) {
        Target *q = &targets[t];
        if (q->processRef == NO_PROCESSES) continue;
        int e = q->processRef;
        q->usesGroup = (e >= 0 && e < appsLoad.readCount && appsLoad.entryIsGroup[e]);
        if (q->usesGroup) Trace("Queue %d - \"%s\" uses group %d;\n", t, q->name, e);
    }
    /* Applications no queue runs directly are used only through groups. The queues kept unread
       from the queues file count too: their applications keep their own settings. */
    for (int a = 0; a < MAX_APPS; a++) {
        if (apps[a].free) continue;
        BOOL direct = FALSE;
        for (int t = 0; t < targetCount && t < MAX_TARGETS && !direct; t++)
            direct = targets[t].processRef == a && !targets[t].usesGroup;
        for (int k = 0; k < keptQueueLines.count && !direct; k++) direct = keptQueueLines.numbers[k].entry == a;
        /* so do those of kept group lines, whose settings stay in the kept text */
        for (int k = 0; k < keptAppLines.count && !direct; k++) direct = keptAppLines.numbers[k].entry == a;
        if (!direct) {
            apps[a].runAlone = -1;
            apps[a].priority = 'U';
        }
    }
    Reserve_DanglingRefs();
    Trace("\nDone. returning TRUE\n");
    return TRUE;
}

void Carry_LegacyCompat(void)
{
    for (int t = 0; t < targetCount && t < MAX_TARGETS; t++) {
        const Target *q = &targets[t];
        if (q->legacyCompatV3 == 2 || q->processRef == NO_PROCESSES) continue;
        if (q->usesGroup) {
            if (!Group_Used(q->processRef)) continue;
            const AppGroup *g = &appGroups[q->processRef];
            for (int k = 0; k < g->count && k < MAX_GROUP_MEMBERS; k++)
                if (App_Used(g->members[k]) && apps[g->members[k]].compatV3 == 2)
                    apps[g->members[k]].compatV3 = q->legacyCompatV3;
        } else if (App_Used(q->processRef) && apps[q->processRef].compatV3 == 2) {
            apps[q->processRef].compatV3 = q->legacyCompatV3;
        }
    }
    /* Every application still unstated takes 1, also one after a free slot: a 2 would be
       written as it is and read back as 0 (not compatible) at the next load. */
    for (int a = 0; a < MAX_APPS; a++)
        if (!apps[a].free && apps[a].compatV3 == 2) apps[a].compatV3 = 1;
}

/* ---- writing ---- */

/* The run-alone setting and priority an application is written with: its own when something runs
   it itself, otherwise those of the last group written that has it as a member (an application
   used only through groups has none of its own). */
static void Written_Settings(const APP_NUMBERING *n, int slot, int32_t *runAlone, char *priority)
{
    *runAlone = apps[slot].runAlone;
    *priority = apps[slot].priority;
    if (n->ownSettings[slot]) return;
    for (int g = 0; g < MAX_APPGROUPS; g++) {
        const AppGroup *grp = &appGroups[g];
        if (n->groupNumber[g] < 0 || grp->count < 1) continue;
        for (int k = 0; k < grp->count && k < MAX_GROUP_MEMBERS; k++) {
            if (grp->members[k] != slot) continue;
            *runAlone = grp->runAlone;
            *priority = grp->priority;
        }
    }
}

static void Put_AppEntry(OUTBUF *b, const App *a, int32_t runAlone, char priority)
{
    char first[FIRST_FIELD_LEN];
    /* A path that holds a double quote of its own (no real program path does; a damaged file
       can give one) is written as it stands: in quotes it would end at its own quote and read
       back cut, with the rest of it taken for arguments. */
    if (strchr(a->path, '"') != NULL) {
        Copy_Field(first, a->path);
    } else {
        Copy_Field(first, "\"");
        Append_Field(first, a->path);
        Append_Field(first, "\"");
    }
    /* A path written as it stands (with its own quotes) may already carry the arguments. */
    if (a->args[0] != '\0' && !(a->path[0] == '"' && strstr(a->path, a->args) != NULL)) {
        Append_Field(first, " ");
        Append_Field(first, a->args);
    }
    Put_FieldText(b, first, TRUE);
    OutBuf_Printf(b, "::%c::%c::%d::%d::%d::%d::%d", runAlone != 0 ? 'A' : 'P', Priority_Letter(priority),
                  a->compatV3, a->resident, a->showCommand, a->nonNative, a->reservedFlag);
}

static void Put_GroupEntry(OUTBUF *b, const AppGroup *g, const APP_NUMBERING *n)
{
    for (int k = 0; k < g->count && k < MAX_GROUP_MEMBERS; k++)
        OutBuf_Printf(b, k ? ",,%d" : "%d", Entry_OfSlot(n, g->members[k], FALSE));
    OutBuf_Printf(b, ":%d::%c::%c", g->parallel ? 1 : 0, g->runAlone != 0 ? 'A' : 'P', Priority_Letter(g->priority));
}

BOOL Store_AppsData(void)
{
    Trace("\nStore_AppsData()\n");
    APP_NUMBERING n;
    Defrag_AppsArray(&n);

    char path[PATH_LEN];
    if (!Store_PathOf(APPS_FILE, path, sizeof path)) return FALSE;
    OUTBUF b;
    OutBuf_Init(&b);
    int written = 0;
    Trace("Writing App entries: ");
    for (int a = 0; a < MAX_APPS; a++) {
        if (n.appNumber[a] < 0) continue;
        int32_t runAlone;
        char priority;
        Written_Settings(&n, a, &runAlone, &priority);
        if (written++ > 0) OutBuf_Putc(&b, '\n');
        Put_AppEntry(&b, &apps[a], runAlone, priority);
        Trace("%d, ", a);
    }
    Trace("Writing Equivalence entries:");
    for (int g = 0; g < MAX_APPGROUPS; g++) {
        if (n.groupNumber[g] < 0) continue;
        /* entries are joined by line feeds: no empty first line even without applications */
        if (written++ > 0) OutBuf_Putc(&b, '\n');
        Put_GroupEntry(&b, &appGroups[g], &n);
        Trace(" %d", g);
    }
    if (keptAppLines.text != NULL) {
        if (written > 0) OutBuf_Putc(&b, '\n');
        Kept_Write(&b, &keptAppLines, &n);
    }
    return Store_TracedFile(path, &b, TRUE,
                            "Could not open the application data file for writing. Data will not be saved.\r\n\"%s\"");
}
