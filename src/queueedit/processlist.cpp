#include "queueedit/processlist.h"
#include "config/appmatch.h"
#include "lists/appicons.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "resources/resource.h"
#include <shellapi.h>
#include <string.h>

const PROCESS_PRIORITY processPriorities[PROCESS_PRIORITY_COUNT] = {
    { "Real Time", 'R' },
    { "High", 'H' },
    { "Normal", 'N' },
    { "Low", 'I' },
};

const PROCESS_SHOW_MODE processShowModes[PROCESS_SHOW_MODE_COUNT] = {
    { "a normal window", 1 },
    { "a minimised window", 6 },
    { "hidden (no window visible)", 0 },
};

int Find_PriorityIndex(char code)
{
    for (int i = 0; i < PROCESS_PRIORITY_COUNT; i++)
        if (processPriorities[i].code == code) return i;
    return -1;
}

int Find_ShowModeIndex(uint16_t value)
{
    for (int i = 0; i < PROCESS_SHOW_MODE_COUNT; i++)
        if (processShowModes[i].value == value) return i;
    return -1;
}

static HINSTANCE Instance(void) { return hInstance != NULL ? hInstance : GetModuleHandleA(NULL); }

HICON Default_AppIcon(void) { return Program_Icon(); }

/* ---- icons the page extracted ---- */

/* Lets go of an entry's icon: destroyed when the page extracted it (no other entry holds it,
   no App has taken it yet). */
static void Drop_Icon(PROCESS_EDIT *pe, HICON icon)
{
    if (icon == NULL) return;
    for (int i = 0; i < pe->ownedCount; i++) {
        if (pe->owned[i] != icon) continue;
        DestroyIcon(icon);
        pe->owned[i] = pe->owned[--pe->ownedCount];
        return;
    }
}

/* The first icon of file, owned by the page; the default application icon when the file holds
   none. */
static HICON Extract_EntryIcon(PROCESS_EDIT *pe, const char *file)
{
    HICON icon = ExtractIconA(Instance(), file, 0);
    if (icon == (HICON)1) icon = NULL;                  /* not a file that holds icons */
    if (icon == NULL) return Default_AppIcon();
    if (pe->ownedCount == MAX_OWNED_ICONS) {
        /* cannot happen: each entry holds at most one extracted icon */
        Trace("Extract_EntryIcon: no room to keep icon 0x%p; the default icon is used\n", (void *)icon);
        DestroyIcon(icon);
        return Default_AppIcon();
    }
    pe->owned[pe->ownedCount++] = icon;
    return icon;
}

static HICON Entry_Icon(PROCESS_EDIT *pe, const ProcessEntry *e)
{
    char file[PATH_LEN];
    Copy_Field(file, e->iconPath[0] != '\0' ? e->iconPath : e->path);
    Strip_Quotes(file);
    return Extract_EntryIcon(pe, file);
}

void Release_ProcessIcons(PROCESS_EDIT *pe)
{
    for (int i = 0; i < pe->ownedCount; i++) {
        BOOL taken = FALSE;
        for (int a = 0; a < MAX_APPS && !taken; a++) taken = !apps[a].free && apps[a].icon == pe->owned[i];
        if (!taken) DestroyIcon(pe->owned[i]);
    }
    pe->ownedCount = 0;
}

/* ---- loading ---- */

void Clear_ProcessEntry(ProcessEntry *e, int32_t appIndex)
{
    memset(e, 0, sizeof *e);
    e->appIndex = appIndex;
    e->compatV3 = 1;
}

static BOOL App_InUse(int a) { return a >= 0 && a < MAX_APPS && !apps[a].free; }

static void Take_App(PROCESS_EDIT *pe, ProcessEntry *e, int a)
{
    const App *app = &apps[a];
    e->appIndex = a;
    Copy_Field(e->path, app->path);
    Copy_Field(e->args, app->args);
    e->icon = app->icon;
    e->compatV3 = app->compatV3;
    e->resident = app->resident;
    e->showCommand = app->showCommand;
    e->nonNative = app->nonNative;
    e->reservedFlag = app->reservedFlag;
    Copy_Field(e->iconPath, app->iconPath);
    /* The load gives icons only to the applications before the first free slot; an entry
       without one would count as having no valid program. */
    if (e->icon == NULL) e->icon = Entry_Icon(pe, e);
}

/* A code outside the table is kept as it stands (the list shows no priority then): unless the
   operator picks one, the list still matches the application it came from. */
static char Loaded_Priority(char code)
{
    if (Find_PriorityIndex(code) < 0) Trace("Load_ProcessList: priority code %d is not in the table\n", code);
    return code;
}

void Load_ProcessList(PROCESS_EDIT *pe, const Target *t)
{
    memset(pe, 0, sizeof *pe);
    ProcessList *l = &pe->list;
    for (int k = 0; k < MAX_GROUP_MEMBERS; k++) Clear_ProcessEntry(&l->entries[k], -1);
    l->groupRef = -1;
    l->priority = 'N';
    int ref = t->processRef;
    if (ref == NO_PROCESSES) {
        l->groupRef = NO_PROCESSES;
        l->entries[0].appIndex = NO_PROCESSES;
        return;
    }
    if (!t->usesGroup) {
        if (!App_InUse(ref)) {
            Trace("Load_ProcessList: the queue names application %d, which is not there\n", ref);
            return;
        }
        l->count = 1;
        l->priority = Loaded_Priority(apps[ref].priority);
        l->runAlone = apps[ref].runAlone == 1;
        Take_App(pe, &l->entries[0], ref);
        return;
    }
    if (ref < 0 || ref >= MAX_APPGROUPS || appGroups[ref].free) {
        Trace("Load_ProcessList: the queue names group %d, which is not there\n", ref);
        return;
    }
    const AppGroup *g = &appGroups[ref];
    l->groupRef = ref;
    l->priority = Loaded_Priority(g->priority);
    l->runAlone = g->runAlone == 1;
    l->parallel = g->parallel ? TRUE : FALSE;
    for (int k = 0; k < g->count && k < MAX_GROUP_MEMBERS; k++) {
        if (!App_InUse(g->members[k])) {
            Trace("Load_ProcessList: member %d of group %d (application %d) is not there\n", k, ref, g->members[k]);
            l->groupRef = -1;
            continue;
        }
        Take_App(pe, &l->entries[l->count++], g->members[k]);
    }
}

/* ---- command texts ---- */

static BOOL Is_Blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

/* The text without the white space around it, into out. FALSE when it does not fit. */
static BOOL Trim_Into(const char *text, char *out, size_t cap)
{
    while (Is_Blank(*text)) text++;
    size_t n = strlen(text);
    while (n > 0 && Is_Blank(text[n - 1])) n--;
    return Copy_TextN(out, cap, text, n);
}

/* Where the program path of a command text (without leading white space) ends: after its
   closing double quote, after the first ".exe", or at the first white space. */
static size_t Path_End(const char *p)
{
    if (*p == '"') {
        size_t n = strcspn(p + 1, "\"");
        return 1 + n + (p[1 + n] == '"' ? 1 : 0);
    }
    for (const char *s = p; *s != '\0'; s++)
        if (Starts_With_NoCase(s, ".exe")) return (size_t)(s + 4 - p);
    return strcspn(p, " \t\r\n");
}

int Split_CommandText(const char *text, char *path, size_t pathCap, char *args, size_t argsCap)
{
    path[0] = args[0] = '\0';
    const char *p = text;
    while (Is_Blank(*p)) p++;
    size_t end = Path_End(p);
    BOOL quoted = (*p == '"');
    const char *from = quoted ? p + 1 : p;
    size_t n = quoted ? strcspn(from, "\"") : end;
    if (!Copy_TextN(path, pathCap, from, n)) {
        path[0] = '\0';
        return SPLIT_PATH_LONG;
    }
    if (!Trim_Into(p + end, args, argsCap)) {
        args[0] = '\0';
        return SPLIT_ARGS_LONG;
    }
    return SPLIT_OK;
}

BOOL Format_CommandText(const ProcessEntry *e, char *out, size_t cap)
{
    out[0] = '\0';
    if (e->path[0] == '\0') return TRUE;
    BOOL quote = FALSE;
    if (e->path[0] != '"') {
        /* in quotes when it has a blank, or when the text would split elsewhere ("C:\x.exe.d\y") */
        char plain[COMMAND_TEXT_LEN], path[TEXT259_LEN], args[TEXT259_LEN];
        quote = strpbrk(e->path, " \t") != NULL ||
                !Format_Text(plain, sizeof plain, "%s%s%s", e->path, e->args[0] ? " " : "", e->args) ||
                Split_CommandText(plain, path, sizeof path, args, sizeof args) != SPLIT_OK ||
                strcmp(path, e->path) != 0;
    }
    BOOL fits = Format_Text(out, cap, quote ? "\"%s\"" : "%s", e->path);
    /* the arguments always follow: left out when they happen to occur in the path, they would be
       lost at the next write */
    if (fits && e->args[0] != '\0') fits = Append_Text(out, cap, " ") && Append_Text(out, cap, e->args);
    if (!fits) out[0] = '\0';
    return fits;
}

BOOL Pick_Parameters(char *text, size_t cap, const BOOL selected[PARAM_SLOTS], int caret)
{
    const char *start = text;
    while (Is_Blank(*start)) start++;
    char picked[COMMAND_TEXT_LEN], path[TEXT259_LEN], args[TEXT259_LEN];
    if (!Trim_Into(start, picked, sizeof picked)) return TRUE;   /* longer than any command text: Write refuses it */
    if (picked[0] == '\0' || Split_CommandText(picked, path, sizeof path, args, sizeof args) != SPLIT_OK) {
        /* nothing to add to, or a text that cannot be taken as it stands (Write tells why) */
        Copy_Text(text, cap, picked);
        return TRUE;
    }
    /* Where the parameters go: at the caret when it stands among the arguments, else at the end. */
    size_t len = strlen(picked), at = len;
    long c = (caret >= 0) ? (long)caret - (long)(start - text) : -1;
    if (c >= (long)Path_End(picked) && c < (long)len) at = (size_t)c;

    for (int i = 0; i < PARAM_SLOTS; i++) {
        const char *param = paramTable[i];
        if (param[0] == '\0' || !selected[i] || strstr(picked, param) != NULL) continue;
        const char *before = (at > 0 && !Is_Blank(picked[at - 1])) ? " " : "";
        const char *after = (picked[at] != '\0' && !Is_Blank(picked[at])) ? " " : "";
        char next[COMMAND_TEXT_LEN];
        if (!Format_Text(next, sizeof next, "%.*s%s%s%s%s", (int)at, picked, before, param, after, picked + at) ||
            Split_CommandText(next, path, sizeof path, args, sizeof args) != SPLIT_OK || strlen(next) >= cap) {
            Trace("Pick_Parameters: \"%s\" does not fit\n", param);
            Play_Beep(MB_OK);
            Info_Box(programTitle, "The parameter \"%s\" does not fit: the arguments of a process hold at most %d characters.",
                     param, TEXT259_LEN - 1);
            return FALSE;
        }
        at += strlen(before) + strlen(param);
        Copy_Field(picked, next);
    }
    Copy_Text(text, cap, picked);
    return TRUE;
}

/* ---- writing and moving ---- */

/* The list no longer is what it was loaded from: a single App or the group changes. */
static void Mark_ListChanged(ProcessList *l)
{
    if (l->count == 1) l->entries[0].appIndex = -1;
    else l->groupRef = -1;
}

/* Removes the shown entry; the entries behind it move up. */
static void Remove_Current(PROCESS_EDIT *pe)
{
    ProcessList *l = &pe->list;
    int cur = l->current;
    if (cur >= l->count) return;                       /* the new entry after the last: nothing to remove */
    Drop_Icon(pe, l->entries[cur].icon);
    for (int k = cur; k < l->count - 1; k++) l->entries[k] = l->entries[k + 1];
    l->count--;
    Clear_ProcessEntry(&l->entries[l->count], -1);      /* moved up, or the one removed */
    l->groupRef = -1;
}

static BOOL Refuse_Text(PROCESS_EDIT *pe, const char *message)
{
    ProcessEntry *e = &pe->list.entries[pe->list.current];
    Play_Beep(MB_OK);
    Info_Box(programTitle, "%s", message);
    Drop_Icon(pe, e->icon);
    e->icon = NULL;
    pe->invalid = TRUE;
    pe->focusText = TRUE;
    return FALSE;
}

BOOL Write_ProcessText(PROCESS_EDIT *pe, const char *text, BOOL noProcesses)
{
    pe->invalid = pe->removed = pe->focusText = FALSE;
    if (noProcesses) return TRUE;
    ProcessList *l = &pe->list;
    if (l->current < 0 || l->current >= MAX_GROUP_MEMBERS) l->current = 0;
    ProcessEntry *e = &l->entries[l->current];

    char trimmed[COMMAND_TEXT_LEN], why[128];
    if (!Trim_Into(text, trimmed, sizeof trimmed)) {
        Format_Text(why, sizeof why, "The command text is too long: it holds at most %d characters.", COMMAND_TEXT_LEN - 1);
        return Refuse_Text(pe, why);
    }
    if (trimmed[0] == '\0') {
        Remove_Current(pe);
        pe->removed = TRUE;
        return TRUE;
    }
    char path[TEXT259_LEN], args[TEXT259_LEN];
    switch (Split_CommandText(trimmed, path, sizeof path, args, sizeof args)) {
    case SPLIT_PATH_LONG:
        Format_Text(why, sizeof why, "The program path is too long: it holds at most %d characters.", TEXT259_LEN - 1);
        return Refuse_Text(pe, why);
    case SPLIT_ARGS_LONG:
        Format_Text(why, sizeof why, "The arguments are too long: they hold at most %d characters.", TEXT259_LEN - 1);
        return Refuse_Text(pe, why);
    }
    if (strlen(path) < 4 || !File_Exists(path)) {
        Trace("Write_ProcessText: \"%s\" is no program\n", path);
        return Refuse_Text(pe, "String does not contain a valid application path");
    }
    Copy_Field(e->path, path);
    Copy_Field(e->args, args);
    e->appIndex = -1;
    Drop_Icon(pe, e->icon);
    e->icon = Entry_Icon(pe, e);
    Trace("Assigning icon handle to hAppIcon: 0x%08x\n", (unsigned)(uintptr_t)e->icon);
    if (l->current == l->count) l->count++;
    l->groupRef = -1;
    return TRUE;
}

BOOL Process_Previous(PROCESS_EDIT *pe, const char *text)
{
    Trace("Queue Dlg: Prev App\n");
    if (!Write_ProcessText(pe, text, FALSE)) return FALSE;
    if (pe->list.current >= 1) pe->list.current--;
    return TRUE;
}

BOOL Process_Next(PROCESS_EDIT *pe, const char *text)
{
    Trace("Queue Processes Dlg: Next App\n");
    if (!Write_ProcessText(pe, text, FALSE)) return FALSE;
    ProcessList *l = &pe->list;
    if (!pe->removed && l->current < l->count - 1) l->current++;
    return TRUE;
}

BOOL Process_Add(PROCESS_EDIT *pe, const char *text)
{
    Trace("Queue Processes Dlg: Add App\n");
    if (!Write_ProcessText(pe, text, FALSE)) return FALSE;
    ProcessList *l = &pe->list;
    if (l->count >= MAX_GROUP_MEMBERS) return FALSE;
    l->current = l->count;
    Drop_Icon(pe, l->entries[l->current].icon);
    Clear_ProcessEntry(&l->entries[l->current], l->entries[l->current].appIndex);
    pe->focusText = TRUE;
    return TRUE;
}

BOOL Process_Insert(PROCESS_EDIT *pe, const char *text)
{
    Trace("Queue Processes Dlg: Insert App\n");
    if (!Write_ProcessText(pe, text, FALSE)) return FALSE;
    ProcessList *l = &pe->list;
    if (l->count >= MAX_GROUP_MEMBERS) return FALSE;
    if (l->current > l->count) l->current = l->count;
    for (int k = l->count; k > l->current; k--) l->entries[k] = l->entries[k - 1];
    l->count++;
    /* its icon moved on with it */
    Clear_ProcessEntry(&l->entries[l->current], l->entries[l->current].appIndex);
    l->groupRef = -1;
    pe->focusText = TRUE;
    return TRUE;
}

void Process_Remove(PROCESS_EDIT *pe)
{
    Trace("Queue Processes Dlg: Remove App\n");
    Write_ProcessText(pe, "", FALSE);
    if (pe->list.current >= 1) pe->list.current--;
}

BOOL Process_ChooseProgram(PROCESS_EDIT *pe, const char *chosen)
{
    ProcessList *l = &pe->list;
    ProcessEntry *e = &l->entries[l->current];
    char path[TEXT259_LEN];
    /* in double quotes as chosen; a path that fills the field goes in without them */
    if (!Format_Text(path, sizeof path, "\"%s\"", chosen) && !Copy_Field(path, chosen)) {
        Play_Beep(MB_OK);
        Info_Box(programTitle, "The program path is too long: it holds at most %d characters.", TEXT259_LEN - 1);
        return FALSE;
    }
    e->appIndex = -1;
    Copy_Field(e->path, path);
    e->args[0] = '\0';
    Drop_Icon(pe, e->icon);
    e->icon = Entry_Icon(pe, e);
    Trace("Assigning icon handle to hAppIcon: 0x%08x\n", (unsigned)(uintptr_t)e->icon);
    if (l->current == l->count) l->count++;
    l->groupRef = -1;
    return TRUE;
}

/* ---- kinds and settings ---- */

void Toggle_ProcessKind(PROCESS_EDIT *pe, int kind)
{
    ProcessEntry *e = &pe->list.entries[pe->list.current];
    switch (kind) {
    case KIND_COMPAT:
        Trace("Queue Processes Dlg: Old Messages\n");
        e->compatV3 = e->compatV3 ? 0 : 1;
        break;
    case KIND_RESIDENT:
        Trace("Queue Processes Dlg: Sticky Process\n");
        e->resident = !e->resident;
        break;
    case KIND_NON_NATIVE:
        Trace("Queue Processes Dlg: Non Ostra Process\n");
        e->nonNative = !e->nonNative;
        break;
    }
}

void Set_ProcessShowMode(PROCESS_EDIT *pe, int index)
{
    if (index < 0 || index >= PROCESS_SHOW_MODE_COUNT) return;
    pe->list.entries[pe->list.current].showCommand = processShowModes[index].value;
}

void Toggle_ProcessRunAlone(PROCESS_EDIT *pe)
{
    Trace("Queue Processes Dlg: App Alone\n");
    pe->list.runAlone = !pe->list.runAlone;
    Mark_ListChanged(&pe->list);
}

void Set_ProcessParallel(PROCESS_EDIT *pe, BOOL parallel)
{
    Trace(parallel ? "Queue Processes Dlg: Parallel Processes\n" : "Queue Processes Dlg: Sequential Processes\n");
    pe->list.parallel = parallel ? TRUE : FALSE;
    Mark_ListChanged(&pe->list);
}

void Set_ProcessPriority(PROCESS_EDIT *pe, int index)
{
    if (index < 0 || index >= PROCESS_PRIORITY_COUNT || pe->list.priority == processPriorities[index].code) return;
    pe->list.priority = processPriorities[index].code;
    Mark_ListChanged(&pe->list);
}

void Settle_ProcessFlags(Target *copy)
{
    if (copy->noProcesses && copy->monitorProcesses) copy->noProcesses = copy->monitorProcesses = FALSE;
}

void Get_ProcessEnables(const PROCESS_EDIT *pe, const Target *copy, PROCESS_ENABLES *en)
{
    memset(en, 0, sizeof *en);
    const ProcessList *l = &pe->list;
    en->noProcesses = !copy->monitorProcesses;
    en->holdAll = !copy->monitorProcesses && copy->noProcesses;
    en->monitor = !copy->noProcesses;
    if (copy->noProcesses) return;
    en->process = TRUE;
    en->insertAdd = l->count < MAX_GROUP_MEMBERS && l->current != MAX_GROUP_MEMBERS - 1;
    en->remove = l->count > 1 || l->current >= 1;
    en->next = l->current < l->count - 1;
    en->previous = l->current >= 1;
    en->radios = !(l->count < 2 && l->current == 0);
    /* The kinds exclude each other; a box that is checked stays usable, so that a process read
       with two kinds set can still be put right. */
    const ProcessEntry *e = &l->entries[l->current];
    BOOL compat = e->compatV3 != 0, resident = e->resident != 0, nonNative = e->nonNative != 0;
    en->kinds[KIND_COMPAT] = compat || (!resident && !nonNative);
    en->kinds[KIND_RESIDENT] = resident || (!compat && !nonNative);
    en->kinds[KIND_NON_NATIVE] = nonNative || (!resident && !compat);
}

int Process_ListIconId(const PROCESS_EDIT *pe, BOOL noProcesses)
{
    const ProcessList *l = &pe->list;
    if (l->count == 0) return noProcesses ? IDI_NO_PROCESSES : IDI_PROCESSES;
    if (l->count == 1) return IDI_PROGRAM;
    return l->parallel ? IDI_PARALLEL : IDI_SERIES;
}

/* ---- OK ---- */

BOOL Commit_ProcessList(PROCESS_EDIT *pe, Target *copy, const Target *work)
{
    ProcessList *l = &pe->list;
    if (l->count <= 0) {
        Play_Beep(MB_OK);
        Message_Box(programTitle, MB_OK | MB_ICONSTOP | MB_EDITOR, "You have no applications configured.");
        return FALSE;
    }
    for (int k = 0; k < l->count; k++) {
        if (l->entries[k].icon != NULL) continue;
        Play_Beep(MB_OK);
        Info_Box(programTitle, "One or more application entries do not consist of a valid file path to an application.");
        return FALSE;
    }
    /* the list replaces what the queue runs now; the working copy may name an entry that an
       earlier OK of this page made, which no committed queue uses yet */
    APPS_EDITOR editor = { work->slotIndex, work->processRef, work->usesGroup };
    int ref = AddTargetApps(l, &editor);
    if (ref < 0) {
        copy->processRef = NO_PROCESSES;
        Play_Beep(MB_OK);
        Info_Box(programTitle, "No space left to store the new application data");
        return FALSE;
    }
    copy->processRef = ref;
    copy->usesGroup = l->count > 1;
    return TRUE;
}
