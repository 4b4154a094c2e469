#include "config/appmatch.h"
#include "config/appsfile.h"
#include "config/keptlines.h"
#include "common/appstate.h"
#include "common/text.h"
#include "common/trace.h"
#include <stdint.h>
#include <string.h>

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
        if (apps[a].free && !appsLoad.reserved[a]) return a;
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
   destroyed. Whoever gives an application that icon gives it as published (sharedIcons). */
static BOOL Is_ProgramIcon(HICON icon) { return icon != NULL && icon == sharedIcons[ICON_PROGRAM]; }

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
    if (ed != NULL && ed->workRef != NO_PROCESSES) Mark_EntryRef(appRef, groupRef, ed->workRef, ed->workGroup);
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
