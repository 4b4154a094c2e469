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
#include "resources/resource.h"
#include <ctype.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <shellapi.h>

#define WHY_LEN         200
#define FIRST_FIELD_LEN (2 * TEXT259_LEN + 8)   /* a quoted path, a space and the arguments */

/* What the last load noted. */
static int          s_ReadCount;                    /* entries read: the number of the first not read */
static BOOL         s_EntryIsGroup[MAX_APPS];       /* the kind of each entry read */
static BOOL         s_Reserved[MAX_APPS];           /* free App slots that loaded references name */

void Clear_AppsLoadState(void)
{
    s_ReadCount = 0;
    memset(s_EntryIsGroup, 0, sizeof s_EntryIsGroup);
    memset(s_Reserved, 0, sizeof s_Reserved);
    Kept_Clear(&keptAppLines);
}

static BOOL App_Used(int a) { return a >= 0 && a < MAX_APPS && !apps[a].free; }
static BOOL Group_Used(int g) { return g >= 0 && g < MAX_APPGROUPS && !appGroups[g].free; }

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
static BOOL Read_AppEntry(const char *line, int i, char *why, size_t whyCap)
{
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
        s_EntryIsGroup[i] = TRUE;
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
    int i = 0;
    size_t pos = 0, stopAt = len;
    char why[WHY_LEN] = "";
    char line[FIRST_FIELD_LEN + 1024];
    TEXT_LINE l;
    for (size_t at = 0; Next_TextLine(text, len, &pos, &l); at = pos) {
        size_t n = l.len;
        stopAt = at;
        Set_ReadLine(i + 1);
        if (n == 0) {
            Copy_Field(why, "an empty line ends the list of entries");
            break;
        }
        if (memchr(l.text, '\0', n) != NULL) {
            Copy_Field(why, "the line holds a zero byte");
            break;
        }
        if (i >= MAX_APPS) {
            Format_Text(why, sizeof why, "the editor holds no more than %d entries", MAX_APPS);
            break;
        }
        if (n >= sizeof line) {
            Copy_Field(why, "the line is too long");
            break;
        }
        memcpy(line, l.text, n);
        line[n] = '\0';
        if (!Read_AppEntry(line, i, why, sizeof why)) break;
        i++;
        stopAt = len;
    }
    if (stopAt < len && !Is_BlankText(text + stopAt, len - stopAt))
        Read_Finding(SEV_ERROR, "reading stopped at this line (%s): it and the lines after it are written back "
                     "unchanged but none of their applications can be edited; correct the line.", why);
    if (stopAt < len &&
        Kept_Keep(&keptAppLines, text + stopAt, len - stopAt, "application data",
                  "The entries before that line have been loaded. That line and the lines after it are", path, i + 1, why))
        Find_KeptMembers();
    return i;
}

/* Free App slots that the loaded queues or groups name stay out of reach of AddTargetApps, so that
   a reference to an entry that was not read never comes to run a new application. */
static void Reserve_DanglingRefs(void)
{
    for (int t = 0; t < targetCount && t < MAX_TARGETS; t++) {
        const Target *q = &targets[t];
        if (q->processRef != NO_PROCESSES && !q->usesGroup && q->processRef >= 0 && q->processRef < MAX_APPS &&
            apps[q->processRef].free)
            s_Reserved[q->processRef] = TRUE;
    }
    for (int g = 0; g < MAX_APPGROUPS; g++) {
        if (appGroups[g].free) continue;
        for (int k = 0; k < appGroups[g].count && k < MAX_GROUP_MEMBERS; k++) {
            int m = appGroups[g].members[k];
            if (m >= 0 && m < MAX_APPS && apps[m].free) s_Reserved[m] = TRUE;
        }
    }
}

/* Takes the icon of application slot s from its file (iconPath, else path), or the program icon
   when the file gives none. */
static void Extract_AppIcon(int s)
{
    HINSTANCE inst = (hInstance != NULL) ? hInstance : GetModuleHandleA(NULL);
    App *a = &apps[s];
    HICON icon = ExtractIconA(inst, a->iconPath[0] != '\0' ? a->iconPath : a->path, 0);
    if (icon == (HICON)1) icon = NULL;                  /* not a file that holds icons */
    if (icon == NULL) {
        icon = LoadIconA(inst, MAKEINTRESOURCEA(IDI_PROGRAM));
        Trace("[Use Default, %x]", (unsigned)(uintptr_t)icon);
    }
    a->icon = icon;
}

/* Icons are given to the used slots from slot 0 up to the first free one. */
static BOOL Has_IconSlot(int s)
{
    if (s < 0 || s >= MAX_APPS) return FALSE;
    for (int k = 0; k <= s; k++)
        if (apps[k].free) return FALSE;
    return TRUE;
}

HICON App_Icon(int s)
{
    if (s < 0 || s >= MAX_APPS) return NULL;
    if (apps[s].icon == NULL && Has_IconSlot(s)) Extract_AppIcon(s);
    return apps[s].icon;
}

BOOL Assign_SomeAppIcons(int count)
{
    BOOL traced = FALSE;
    for (int s = 0; s < MAX_APPS && !apps[s].free; s++) {
        if (apps[s].icon != NULL) continue;
        if (count-- <= 0) return FALSE;
        if (!traced) Trace("\nAssigning icons to valid apps, from slot %d\n", s);
        traced = TRUE;
        Extract_AppIcon(s);
    }
    return TRUE;
}

void Assign_AppIcons(void) { Assign_SomeAppIcons(MAX_APPS); }

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
    char *text = Home_Path(path, sizeof path, homeDir, APPS_FILE) ? Read_WholeFile(path, &len) : NULL;
    if (text == NULL && Home_Path(path, sizeof path, homeDir, APPS_FILE_OLD)) text = Read_WholeFile(path, &len);
    if (text == NULL) {
        Trace("Could not open %s. Returning FALSE\n", path);
        Reserve_DanglingRefs();
        return FALSE;
    }
    /* A file saved as UTF-8 by a text editor starts with a byte order mark: it belongs to no
       entry, and left in front of the first path it would take that path out of its quotes. */
    size_t bom = (len >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0) ? 3 : 0;
    Begin_ReadFindings(strrchr(path, '\\') != NULL ? strrchr(path, '\\') + 1 : path);
    s_ReadCount = Read_AppEntries(text + bom, len - bom, path);
    End_ReadFindings();
    free(text);
    for (int i = 0; i < s_ReadCount; i++) {
        if (s_EntryIsGroup[i]) appGroups[i].free = FALSE;
        else apps[i].free = FALSE;
    }
    Trace("End of file; Closing.");
    /* The icons are for windows only: they are taken when a window first shows them
       (App_Icon, Assign_AppIcons), never in the modes that show none. */

    Trace("\nAdjusting Targets array to reflect where AppNo refers to a group:\n");
    for (int t = 0; t < targetCount && t < MAX_TARGETS; t++) {
        Target *q = &targets[t];
        if (q->processRef == NO_PROCESSES) continue;
        int e = q->processRef;
        q->usesGroup = (e >= 0 && e < s_ReadCount && s_EntryIsGroup[e]);
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

/* ---- references ---- */

/* Marks an App, or an AppGroup and its members, as referenced. */
static void Mark_Ref(BOOL *appRef, BOOL *groupRef, int ref, BOOL group)
{
    if (!group) {
        if (App_Used(ref)) appRef[ref] = TRUE;
        return;
    }
    if (!Group_Used(ref)) return;
    groupRef[ref] = TRUE;
    for (int k = 0; k < appGroups[ref].count && k < MAX_GROUP_MEMBERS; k++)
        if (App_Used(appGroups[ref].members[k])) appRef[appGroups[ref].members[k]] = TRUE;
}

/* Marks the entries that must be kept: those the output queues run (a group with its members),
   those the kept queue lines run and the members named by kept group lines. The queue at
   skipQueue (-1: none) is passed over. direct (may be NULL) gets the applications that keep
   their own settings when stored: those a queue or a kept queue line runs itself, and the
   members of kept group lines. References hold slot indices here. */
static void Mark_Referenced(BOOL *appRef, BOOL *groupRef, BOOL *direct, int skipQueue)
{
    memset(appRef, 0, MAX_APPS * sizeof(BOOL));
    memset(groupRef, 0, MAX_APPGROUPS * sizeof(BOOL));
    if (direct != NULL) memset(direct, 0, MAX_APPS * sizeof(BOOL));
    for (int t = 0; t < targetCount && t < MAX_TARGETS; t++) {
        const Target *q = &targets[t];
        if (t == skipQueue || q->processRef == NO_PROCESSES) continue;
        Mark_Ref(appRef, groupRef, q->processRef, q->usesGroup);
        if (direct != NULL && !q->usesGroup && App_Used(q->processRef)) direct[q->processRef] = TRUE;
    }
    for (int k = 0; k < keptQueueLines.count; k++) {
        int e = keptQueueLines.numbers[k].entry;
        if (e < 0 || e >= s_ReadCount) continue;
        if (s_EntryIsGroup[e]) {
            Mark_Ref(appRef, groupRef, e, TRUE);
        } else if (App_Used(e)) {
            appRef[e] = TRUE;
            if (direct != NULL) direct[e] = TRUE;
        }
    }
    /* A member of a kept group line keeps its own settings, as Get_AppsData read them: the
       kept line carries its group's settings in its own text. */
    for (int k = 0; k < keptAppLines.count; k++) {
        int e = keptAppLines.numbers[k].entry;
        if (e >= 0 && e < s_ReadCount && !s_EntryIsGroup[e] && App_Used(e)) {
            appRef[e] = TRUE;
            if (direct != NULL) direct[e] = TRUE;
        }
    }
}

void Defrag_AppsArray(APP_NUMBERING *n)
{
    Trace("Defrag_AppsArray ()\n");
    Trace("Removing unreferenced entries. ");
    BOOL appRef[MAX_APPS], groupRef[MAX_APPGROUPS];
    Mark_Referenced(appRef, groupRef, n->ownSettings, -1);
    int next = 0;
    for (int i = 0; i < MAX_APPS + MAX_APPGROUPS; i++) n->appSlotOf[i] = -1;
    for (int g = 0; g < MAX_APPGROUPS; g++)
        if (Group_Used(g) && !groupRef[g]) Trace("Group %d; ", g);
    for (int a = 0; a < MAX_APPS; a++) {
        if (App_Used(a) && !appRef[a]) Trace("App %d; ", a);
        n->appNumber[a] = (App_Used(a) && appRef[a]) ? next : -1;
        if (n->appNumber[a] >= 0) n->appSlotOf[next++] = a;
    }
    for (int g = 0; g < MAX_APPGROUPS; g++) n->groupNumber[g] = (Group_Used(g) && groupRef[g]) ? next++ : -1;
    n->written = next;
    n->readCount = s_ReadCount;
    memcpy(n->readAsGroup, s_EntryIsGroup, sizeof n->readAsGroup);
    n->keptLines = keptAppLines.lines;
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

/* ---- matching a queue's processes ---- */

static BOOL Same_App(const App *a, const ProcessEntry *e)
{
    return strcmp(a->path, e->path) == 0 && strcmp(a->args, e->args) == 0 && a->compatV3 == e->compatV3 &&
           a->resident == e->resident && a->showCommand == e->showCommand && a->nonNative == e->nonNative &&
           a->reservedFlag == e->reservedFlag && strcmp(a->iconPath, e->iconPath) == 0;
}

static void Fill_App(App *a, const ProcessEntry *e, char priority, int32_t runAlone)
{
    memset(a, 0, sizeof *a);
    a->free = TRUE;
    a->icon = e->icon;
    Copy_Field(a->path, e->path);
    Copy_Field(a->args, e->args);
    a->runAlone = runAlone;
    a->priority = priority;
    a->compatV3 = e->compatV3;
    a->resident = e->resident;
    a->showCommand = e->showCommand;
    a->nonNative = e->nonNative;
    a->reservedFlag = e->reservedFlag;
    Copy_Field(a->iconPath, e->iconPath);
}

/* The next free App slot after `after` that no loaded reference names; -1 when none. */
static int Next_FreeApp(int after)
{
    for (int a = after + 1; a < MAX_APPS; a++)
        if (apps[a].free && !s_Reserved[a]) return a;
    return -1;
}

static int First_FreeGroup(void)
{
    for (int g = 0; g < MAX_APPGROUPS; g++)
        if (appGroups[g].free) return g;
    return -1;
}

/* The result a list comes to, for the room it needs: a single App (NO_GROUP), a new AppGroup
   (NEW_GROUP) or the AppGroup of that index. */
#define NO_GROUP  -1
#define NEW_GROUP -2

/* TRUE when the entries in use, once the list's result is committed, are no more than the file
   can number: it numbers applications and groups together and is read back into slots by number,
   so they may not pass 200 (the numbers 201 and 202 also stand for an input queue and "no
   processes" in the queues file). In use then: what the other queues and the kept lines use, the
   list's entries that name an App, newApps Apps to be made and the group. The edited queue's
   present reference does not count: the list replaces it. */
static BOOL Room_After(const APPS_EDITOR *ed, const ProcessList *list, int newApps, int group)
{
    BOOL appRef[MAX_APPS], groupRef[MAX_APPGROUPS];
    Mark_Referenced(appRef, groupRef, NULL, ed != NULL ? ed->queue : -1);
    for (int k = 0; k < list->count && k < MAX_GROUP_MEMBERS; k++)
        if (App_Used(list->entries[k].appIndex)) appRef[list->entries[k].appIndex] = TRUE;
    if (Group_Used(group)) groupRef[group] = TRUE;
    int used = newApps + (group == NEW_GROUP ? 1 : 0);
    for (int i = 0; i < MAX_APPS; i++) used += appRef[i];
    for (int i = 0; i < MAX_APPGROUPS; i++) used += groupRef[i];
    return used <= MAX_APPS;
}

/* The program's own icon stands for every application without one; it is shared and never
   destroyed. */
static BOOL Is_ProgramIcon(HICON icon)
{
    HINSTANCE inst = (hInstance != NULL) ? hInstance : GetModuleHandleA(NULL);
    return icon == sharedIcons[ICON_PROGRAM] || icon == LoadIconA(inst, MAKEINTRESOURCEA(IDI_PROGRAM));
}

/* Frees the App and AppGroup slots that nothing refers to any more: no committed queue (the one
   being edited included, whose reference Cancel keeps), no line kept from the last load, not the
   editor's working copy and no entry of the list. Such slots are left behind by a page OK whose
   queue editor was cancelled or whose result a later OK replaced: they are never written, but
   they hold their slots until this frees them. Called only when a list finds no free slot, so
   that a configuration with room keeps its slots (and its file its order) as they are. A freed
   App's icon is destroyed unless an App still in use holds the same handle. Returns how many
   slots were freed. */
static int Free_Unreferenced(const APPS_EDITOR *ed, const ProcessList *list)
{
    BOOL appRef[MAX_APPS], groupRef[MAX_APPGROUPS], freedApp[MAX_APPS];
    Mark_Referenced(appRef, groupRef, NULL, -1);
    if (ed != NULL && ed->workRef != NO_PROCESSES) Mark_Ref(appRef, groupRef, ed->workRef, ed->workGroup);
    for (int k = 0; k < list->count && k < MAX_GROUP_MEMBERS; k++)
        if (App_Used(list->entries[k].appIndex)) appRef[list->entries[k].appIndex] = TRUE;
    Trace("Freeing the entries nothing refers to: ");
    int freed = 0;
    for (int g = 0; g < MAX_APPGROUPS; g++) {
        if (!Group_Used(g) || groupRef[g]) continue;
        appGroups[g].free = TRUE;
        Trace("Group %d; ", g);
        freed++;
    }
    for (int a = 0; a < MAX_APPS; a++) {
        freedApp[a] = App_Used(a) && !appRef[a];
        if (!freedApp[a]) continue;
        apps[a].free = TRUE;
        Trace("App %d; ", a);
        freed++;
    }
    for (int a = 0; a < MAX_APPS; a++) {
        if (!freedApp[a]) continue;
        HICON icon = apps[a].icon;
        apps[a].icon = NULL;
        BOOL held = (icon == NULL) || Is_ProgramIcon(icon);
        for (int o = 0; o < MAX_APPS && !held; o++) held = (apps[o].icon == icon) && (!apps[o].free || freedApp[o]);
        if (!held) DestroyIcon(icon);
    }
    Trace("%d freed\n", freed);
    return freed;
}

/* Takes need free App slots into slots and a free AppGroup slot into *group (-1 when none is
   free); FALSE when there are not enough App slots. */
static BOOL Take_FreeSlots(int need, int *slots, int *group)
{
    *group = -1;
    for (int k = 0, last = -1; k < need; k++) {
        slots[k] = last = Next_FreeApp(last);
        if (last < 0) return FALSE;
    }
    *group = First_FreeGroup();
    return TRUE;
}

static BOOL Same_Members(const AppGroup *g, const ProcessList *list)
{
    if (!g->parallel) {
        for (int k = 0; k < list->count; k++)
            if (g->members[k] != list->entries[k].appIndex) return FALSE;
        return TRUE;
    }
    BOOL taken[MAX_GROUP_MEMBERS] = { FALSE, FALSE, FALSE, FALSE };
    for (int k = 0; k < list->count; k++) {
        BOOL found = FALSE;
        for (int m = 0; m < list->count && !found; m++)
            if (!taken[m] && g->members[m] == list->entries[k].appIndex) taken[m] = found = TRUE;
        if (!found) return FALSE;
    }
    return TRUE;
}

static int Add_SingleApp(ProcessList *list, const APPS_EDITOR *ed)
{
    ProcessEntry *e = &list->entries[0];
    int32_t had = e->appIndex;
    for (int a = 0; a < MAX_APPS; a++) {
        App *app = &apps[a];
        if (app->free || !Same_App(app, e)) continue;
        BOOL unused = (app->priority == 'U' && app->runAlone == -1);
        if (!unused && !(app->priority == list->priority && app->runAlone == list->runAlone)) continue;
        /* an entry that nothing uses any more would come into use again: it needs room */
        e->appIndex = a;
        if (!Room_After(ed, list, 0, NO_GROUP)) continue;
        if (unused) {
            app->priority = list->priority;
            app->runAlone = list->runAlone;
        }
        Trace("Found the app in entry %d: \"%s\", \"%s\", Priority %c, ", a, app->path, app->args, app->priority);
        return a;
    }
    e->appIndex = -1;
    int slot = -1;
    if (Room_After(ed, list, 1, NO_GROUP)) {
        slot = Next_FreeApp(-1);
        if (slot < 0 && Free_Unreferenced(ed, list) > 0) slot = Next_FreeApp(-1);
    }
    if (slot < 0) {
        e->appIndex = had;
        Trace("No space left in apps array for this entry, returning -1\n");
        return -1;
    }
    Fill_App(&apps[slot], e, list->priority, list->runAlone);
    apps[slot].free = FALSE;
    e->appIndex = slot;
    return slot;
}

int AddTargetApps(ProcessList *list, const APPS_EDITOR *editor)
{
    int count = list->count;
    Trace("AddTargetApps( %d apps )\n", count);
    if (count < 1 || count > MAX_GROUP_MEMBERS) {
        Trace("A process list of %d processes cannot be stored, returning -1\n", count);
        return -1;
    }
    for (int k = 0; k < count; k++) {
        ProcessEntry *e = &list->entries[k];
        if (!App_Used(e->appIndex)) e->appIndex = -1;
        Trace("%s", e->appIndex == -1 ? "Need to Add: " : "Already Member of Array: ");
        Trace("App %d: Path - \"%s\"; Args - \"%s\"\n", k, e->path, e->args);
    }
    if (count > 1) Trace(list->parallel ? "The processes run in parallel\n" : "The processes run in series\n");
    Trace("Priority %c\n", list->priority);
    Trace(list->runAlone ? "Run alone\n" : "Run in parallel with other queues\n");
    if (editor != NULL)
        Trace("The editor of queue %d holds %s %d\n", editor->queue, editor->workGroup ? "group" : "app", editor->workRef);
    if (count == 1) return Add_SingleApp(list, editor);

    int known = 0;
    for (int k = 0; k < count; k++) {
        ProcessEntry *e = &list->entries[k];
        for (int a = 0; a < MAX_APPS && e->appIndex == -1; a++)
            if (!apps[a].free && Same_App(&apps[a], e)) {
                e->appIndex = a;
                Trace("App %d found in mem:  \"%s\"; \"%s\"\n", a, e->path, e->args);
            }
        known += (e->appIndex != -1);
    }
    Trace("%d apps are already in the array. Need to add %d.\n", known, count - known);

    if (known == count) {
        for (int g = 0; g < MAX_APPGROUPS; g++) {
            const AppGroup *grp = &appGroups[g];
            if (grp->free || grp->count != count || grp->priority != list->priority || grp->runAlone != list->runAlone ||
                (grp->parallel != 0) != (list->parallel != 0) || !Same_Members(grp, list))
                continue;
            if (!Room_After(editor, list, 0, g)) continue;
            Trace("Found all %d apps. App Group %d is spot on\n", count, g);
            return g;
        }
        Trace("Looking for a free App Group array entry.. ");
    }
    int need = count - known;
    if (!Room_After(editor, list, need, NEW_GROUP)) {
        Trace("No space left in groups array. Returning -1\n");
        return -1;
    }
    int slots[MAX_GROUP_MEMBERS], g;
    BOOL enough = Take_FreeSlots(need, slots, &g);
    if ((!enough || g < 0) && Free_Unreferenced(editor, list) > 0) enough = Take_FreeSlots(need, slots, &g);
    if (!enough) {
        Trace("Not enough free entries found, returning -1\n");
        return -1;
    }
    if (g < 0) {
        Trace("No space left in groups array. Returning -1\n");
        return -1;
    }
    for (int k = 0, s = 0; k < count; k++) {
        ProcessEntry *e = &list->entries[k];
        if (e->appIndex != -1) continue;
        Fill_App(&apps[slots[s]], e, 'U', -1);
        e->appIndex = slots[s++];
    }

    AppGroup *grp = &appGroups[g];
    memset(grp, 0, sizeof *grp);
    grp->count = count;
    grp->priority = list->priority;
    grp->runAlone = list->runAlone;
    grp->parallel = list->parallel ? TRUE : FALSE;
    char members[64] = "";
    for (int k = 0; k < count; k++) {
        grp->members[k] = list->entries[k].appIndex;
        apps[grp->members[k]].free = FALSE;
        char one[16];
        Format_Text(one, sizeof one, k ? ", %d" : "%d", grp->members[k]);
        Append_Field(members, one);
    }
    Trace("Established: App Group = %d, with member apps: %s\n", g, members);
    return g;
}
