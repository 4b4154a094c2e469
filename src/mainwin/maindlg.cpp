#include "mainwin/maindlg.h"
#include "mainwin/restoredlg.h"
#include "mainwin/checkdlg.h"
#include "mainwin/changes.h"
#include "mainwin/importdlg.h"
#include "mainwin/reportcmd.h"
#include "lists/queuelists.h"
#include "mainwin/usedbydlg.h"
#include "config/findqueues.h"
#include "config/model.h"
#include "config/prefsfile.h"
#include "config/savesequence.h"
#include "config/undo.h"
#include "config/usedby.h"
#include "config/users.h"
#include "common/anchor.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/tooltip.h"
#include "common/trace.h"
#include "prefs/admin.h"
#include "prefs/globals.h"
#include "queueedit/lbqedit.h"
#include "queueedit/targetman.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <stdlib.h>
#include <string.h>

BOOL Main_SaveSequence(void) { return Save_Sequence(FALSE); }

/* ---- the dialog's state, kept on its window ---- */

/* How each control follows the dialog's size. */
static const ANCHOR k_Anchors[] = {
    { IDC_MAIN_FIND_STATUS, FALSE, FALSE, TRUE,  FALSE },
    { IDC_MAIN_LBQS,       FALSE, FALSE, TRUE,  FALSE },
    { IDC_MAIN_LBQ_ADD,    TRUE,  FALSE, FALSE, FALSE },
    { IDC_MAIN_LBQ_EDIT,   TRUE,  FALSE, FALSE, FALSE },
    { IDC_MAIN_LBQ_DELETE, TRUE,  FALSE, FALSE, FALSE },
    { IDC_MAIN_TARGETS,    FALSE, FALSE, TRUE,  TRUE  },
    { IDC_MAIN_ADD,        TRUE,  FALSE, FALSE, FALSE },
    { IDC_MAIN_EDIT,       TRUE,  FALSE, FALSE, FALSE },
    { IDC_MAIN_COPY,       TRUE,  FALSE, FALSE, FALSE },
    { IDC_MAIN_DELETE,     TRUE,  FALSE, FALSE, FALSE },
    { IDC_MAIN_UP,         TRUE,  FALSE, FALSE, FALSE },
    { IDC_MAIN_DOWN,       TRUE,  FALSE, FALSE, FALSE },
    { IDC_MAIN_USEDBY,     TRUE,  FALSE, FALSE, FALSE },
    { IDC_MAIN_UNDO,       TRUE,  FALSE, FALSE, FALSE },
    { IDC_MAIN_REDO,       TRUE,  FALSE, FALSE, FALSE },
    { IDC_MAIN_CHECK,      FALSE, TRUE,  FALSE, FALSE },
    { IDC_MAIN_CHANGES,    FALSE, TRUE,  FALSE, FALSE },
    { IDC_MAIN_RESTORE,    FALSE, TRUE,  FALSE, FALSE },
    { IDC_MAIN_REPORT,     FALSE, TRUE,  FALSE, FALSE },
    { IDC_MAIN_EXPORT,     FALSE, TRUE,  FALSE, FALSE },
    { IDC_MAIN_IMPORT,     FALSE, TRUE,  FALSE, FALSE },
    { IDC_MAIN_PREFS,      FALSE, TRUE,  FALSE, FALSE },
    { IDC_MAIN_ADMIN,      FALSE, TRUE,  FALSE, FALSE },
    { IDC_MAIN_OK,         TRUE,  TRUE,  FALSE, FALSE },
    { IDCANCEL,            TRUE,  TRUE,  FALSE, FALSE },
    { IDC_MAIN_GRIP,       TRUE,  TRUE,  FALSE, FALSE },
};

/* The commands of the buttons that the features fill in: a button stays disabled until its row
   names a procedure, and then follows enabled (NULL: always on). Ctrl+Z, Ctrl+Y and Ctrl+I press
   Undo, Redo and Import while their buttons are enabled. Each row stands apart, so that the
   features' rows are added without touching one another. */
typedef struct {
    int  id;
    void (*run)(HWND hDlg);
    BOOL (*enabled)(HWND hDlg);
} MAIN_COMMAND;
/* export and import (mainwin/importdlg) */
static void On_Export(HWND hDlg);
static BOOL Can_Export(HWND hDlg);
static void On_Import(HWND hDlg);
static void On_Restore(HWND hDlg);
static void On_UsedBy(HWND hDlg);
static BOOL Have_Queues(HWND) { return targetCount > 0; }
static void On_Undo(HWND hDlg);
static void On_Redo(HWND hDlg);
static BOOL Have_Undo(HWND) { return Can_Undo(); }
static BOOL Have_Redo(HWND) { return Can_Redo(); }

static const MAIN_COMMAND k_Commands[] = {
    /* where-used */
    { IDC_MAIN_USEDBY,  On_UsedBy, Have_Queues },
    /* the undo history */
    { IDC_MAIN_UNDO,    On_Undo, Have_Undo },
    { IDC_MAIN_REDO,    On_Redo, Have_Redo },
    /* the checker */
    { IDC_MAIN_CHECK,   On_Check, NULL },
    /* the pending changes */
    { IDC_MAIN_CHANGES, On_Changes, Changes_Available },
    /* backups */
    { IDC_MAIN_RESTORE, On_Restore, NULL },
    /* the report */
    { IDC_MAIN_REPORT,  On_Report, NULL },
    /* export and import */
    { IDC_MAIN_EXPORT,  On_Export, Can_Export },
    { IDC_MAIN_IMPORT,  On_Import, NULL },
};

typedef struct {
    HWND targets;                 /* the output queue list */
    HWND lbqs;                    /* the input queue list */
    HWND active;                  /* the list last focused or selected in: its Edit and Delete are live */
    ANCHOR_LAYOUT layout;         /* the controls as laid out */
    /* what the find field found: the field each shown queue matched in */
    FIND_FIELD targetFields[MAX_TARGETS];
    FIND_FIELD lbqFields[MAX_LBQS];
} MAIN_STATE;

static MAIN_STATE *State_Of(HWND hDlg) { return (MAIN_STATE *)GetWindowLongPtrA(hDlg, DWLP_USER); }

/* ---- lists and buttons ---- */

/* The queue a command on "the selected queue" of the list means, or -1. */
static int Selected_Queue(HWND list)
{
    int item = Current_Selected(list);
    return item >= 0 ? Get_LV__Item_Param(list, item) : -1;
}

/* The positions of the selected queues in ascending order (a narrowed list shows some queues
   only: each item carries its queue's position); returns how many. */
static int Selected_Positions(HWND list, int *out, int cap)
{
    int n = 0;
    for (int i = Next_Selected(list, 0); i >= 0 && n < cap; i = Next_Selected(list, i + 1)) {
        int pos = Get_LV__Item_Param(list, i);
        if (pos >= 0) out[n++] = pos;
    }
    return n;
}

static void Clear_Selection(HWND list)
{
    if (list == NULL || Count_Selected(list) == 0) return;
    LVITEMA it;
    memset(&it, 0, sizeof it);
    it.stateMask = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&it);
}

/* Enables or disables a button; a button that is disabled while it has the focus hands the
   focus to the list it works on, so the keyboard never ends on a dead control. */
static void Enable_Button(HWND hDlg, int id, BOOL on, HWND list)
{
    HWND b = GetDlgItem(hDlg, id);
    if (b == NULL || (IsWindowEnabled(b) != FALSE) == (on != FALSE)) return;
    if (!on && GetFocus() == b && list != NULL) SendMessageA(hDlg, WM_NEXTDLGCTL, (WPARAM)list, TRUE);
    EnableWindow(b, on);
}

static void Update_UndoTips(HWND hDlg);
static void Update_FindStatus(HWND hDlg, MAIN_STATE *st);

static void Update_Commands(HWND hDlg, MAIN_STATE *st)
{
    for (size_t i = 0; i < ARRAY_LEN(k_Commands); i++) {
        const MAIN_COMMAND *c = &k_Commands[i];
        Enable_Button(hDlg, c->id, c->run != NULL && (c->enabled == NULL || c->enabled(hDlg)), st->active);
    }
    Update_UndoTips(hDlg);
    Update_FindStatus(hDlg, st);
}

static BOOL Room_For_Queue(void) { return targetCount + lbqCount < MAX_QUEUES; }

static void Update_TargetButtons(HWND hDlg, MAIN_STATE *st)
{
    BOOL mine = (st->active == st->targets);
    int selected = mine ? Count_Selected(st->targets) : 0;
    int count = (int)SendMessageA(st->targets, LVM_GETITEMCOUNT, 0, 0);
    BOOL firstSel = selected > 0 && (SendMessageA(st->targets, LVM_GETITEMSTATE, 0, LVIS_SELECTED) & LVIS_SELECTED);
    BOOL lastSel = selected > 0 && (SendMessageA(st->targets, LVM_GETITEMSTATE, count - 1, LVIS_SELECTED) & LVIS_SELECTED);
    Enable_Button(hDlg, IDC_MAIN_EDIT, selected == 1, st->targets);
    Enable_Button(hDlg, IDC_MAIN_ADD, Room_For_Queue(), st->targets);
    Enable_Button(hDlg, IDC_MAIN_DELETE, selected >= 1, st->targets);
    Enable_Button(hDlg, IDC_MAIN_COPY, Room_For_Queue(), st->targets);
    /* a narrowed list hides the queues between those shown: a move would be ambiguous */
    BOOL narrowed = Is_ListNarrowed(st->targets);
    Enable_Button(hDlg, IDC_MAIN_UP, selected >= 1 && !firstSel && !narrowed, st->targets);
    Enable_Button(hDlg, IDC_MAIN_DOWN, selected >= 1 && !lastSel && !narrowed, st->targets);
    Update_Commands(hDlg, st);
}

static void Update_LBQButtons(HWND hDlg, MAIN_STATE *st)
{
    int selected = (st->active == st->lbqs) ? Count_Selected(st->lbqs) : 0;
    Enable_Button(hDlg, IDC_MAIN_LBQ_EDIT, selected == 1, st->lbqs);
    Enable_Button(hDlg, IDC_MAIN_LBQ_ADD, Room_For_Queue(), st->lbqs);
    Enable_Button(hDlg, IDC_MAIN_LBQ_DELETE, selected >= 1, st->lbqs);
    Update_Commands(hDlg, st);
}

static void Update_Buttons(HWND hDlg)
{
    SendMessageA(hDlg, WM_MAIN_TARGET_BUTTONS, 0, 0);
    SendMessageA(hDlg, WM_MAIN_LBQ_BUTTONS, 0, 0);
}

/* Restore: a backup put into the editor replaces every queue, so both lists are made again. */
static void On_Restore(HWND hDlg)
{
    Undo_Begin();
    INT_PTR r = Show_Restore(hDlg);
    Undo_End("restore a backup");
    if (r != IDOK) return;
    MAIN_STATE *st = State_Of(hDlg);
    Refresh_TargetList(st->targets);
    Refresh_LBQList(st->lbqs);
    Update_Buttons(hDlg);
}

/* The operator turned to one list (focused it, or selected in it): the other list's selection
   goes, so that at most one queue of either kind is selected, and the buttons follow. */
static void Turn_To(HWND hDlg, MAIN_STATE *st, HWND list)
{
    HWND other = (list == st->targets) ? st->lbqs : st->targets;
    st->active = list;
    Clear_Selection(other);
    Update_Buttons(hDlg);
}

static void Select_One(HWND list, int item)
{
    int one[1] = { item };
    Select_Items(list, one, 1);
}

/* ---- find ---- */

/* Narrows both lists to the queues the find field's text matches (every queue when it is
   empty), keeping the selection where it is still shown. */
static void Apply_Find(HWND hDlg, MAIN_STATE *st)
{
    char text[TEXT_LEN];
    GetDlgItemTextA(hDlg, IDC_MAIN_FIND, text, sizeof text);
    BOOL shownTargets[MAX_TARGETS], shownLbqs[MAX_LBQS];
    Narrow_Queues(text, shownTargets, st->targetFields, shownLbqs, st->lbqFields);
    FIND_TEXT ft;
    Prepare_FindText(&ft, text);
    BOOL all = ft.len == 0;
    if (st->targets != NULL) Narrow_QueueList(st->targets, all ? NULL : shownTargets);
    if (st->lbqs != NULL) Narrow_QueueList(st->lbqs, all ? NULL : shownLbqs);
    Update_Buttons(hDlg);
}

/* The status beside the find field: how many queues are shown, and for the queue the commands
   act on, which of its fields matched. */
static void Update_FindStatus(HWND hDlg, MAIN_STATE *st)
{
    char status[TEXT_LEN + 128] = "";
    BOOL narrowed = Is_ListNarrowed(st->targets) || Is_ListNarrowed(st->lbqs);
    if (narrowed) {
        int shown = (int)SendMessageA(st->targets, LVM_GETITEMCOUNT, 0, 0) + (int)SendMessageA(st->lbqs, LVM_GETITEMCOUNT, 0, 0);
        int item = Current_Selected(st->active);
        int pos = -1;
        if (item >= 0) {
            LVITEMA it;
            memset(&it, 0, sizeof it);
            it.mask = LVIF_PARAM;
            it.iItem = item;
            if (SendMessageA(st->active, LVM_GETITEMA, 0, (LPARAM)&it)) pos = (int)it.lParam;
        }
        BOOL isTargets = st->active == st->targets;
        FIND_FIELD f = pos < 0 ? FIND_NONE : isTargets ? st->targetFields[pos] : st->lbqFields[pos];
        const char *name = pos < 0 ? "" : isTargets ? (pos < targetCount ? targets[pos].name : "")
                                                    : (pos < lbqCount ? lbqs[pos].name : "");
        if (shown == 0) Format_Text(status, sizeof status, "No queue matches.");
        else if (f != FIND_NONE)
            Format_Text(status, sizeof status, "%d of %d queues. \"%s\": %s", shown, targetCount + lbqCount, name,
                        Find_FieldName(f));
        else Format_Text(status, sizeof status, "%d of %d queues match.", shown, targetCount + lbqCount);
    }
    char now[sizeof status];
    GetDlgItemTextA(hDlg, IDC_MAIN_FIND_STATUS, now, sizeof now);
    if (strcmp(now, status) != 0) SetDlgItemTextA(hDlg, IDC_MAIN_FIND_STATUS, status);
}

/* Shows the queue at pos of list selected (the find field is emptied when it hides it). */
static void Show_Queue(HWND hDlg, MAIN_STATE *st, HWND list, int pos)
{
    if (Find_QueueItem(list, pos) < 0 && Is_ListNarrowed(list)) {
        SetDlgItemTextA(hDlg, IDC_MAIN_FIND, "");
        Apply_Find(hDlg, st);
    }
    int item = Find_QueueItem(list, pos);
    if (item >= 0) Select_One(list, item);
}

/* Enter in the find field: a single queue found is opened; otherwise the focus goes to the
   queues found. Never OK. */
static void On_FindEnter(HWND hDlg, MAIN_STATE *st)
{
    int targetsShown = (int)SendMessageA(st->targets, LVM_GETITEMCOUNT, 0, 0);
    int lbqsShown = (int)SendMessageA(st->lbqs, LVM_GETITEMCOUNT, 0, 0);
    HWND list = targetsShown > 0 ? st->targets : lbqsShown > 0 ? st->lbqs : NULL;
    if (list == NULL || !Is_ListNarrowed(list)) {
        Play_Beep(MB_OK);
        return;
    }
    if (Count_Selected(list) == 0 || targetsShown + lbqsShown == 1) Select_One(list, 0);
    SendMessageA(hDlg, WM_NEXTDLGCTL, (WPARAM)list, TRUE);
    if (targetsShown + lbqsShown == 1)
        SendMessageA(hDlg, WM_COMMAND, list == st->targets ? IDC_MAIN_EDIT : IDC_MAIN_LBQ_EDIT, 0);
}

/* ---- the history of edits ---- */

/* The tips as last set (asking the tooltip costs a round trip to the window system under Wine,
   and the buttons are brought in line at every change of the selection). */
static char s_UndoTip[UNDO_LABEL_LEN + 32], s_RedoTip[UNDO_LABEL_LEN + 32];

static void Update_UndoTips(HWND hDlg)
{
    char tip[UNDO_LABEL_LEN + 32];
    if (Can_Undo()) Format_Text(tip, sizeof tip, "Undo: %s (Ctrl+Z)", Undo_Label());
    else Copy_Field(tip, "Undo (Ctrl+Z)");
    if (strcmp(s_UndoTip, tip) != 0 && Set_ControlTip(hDlg, IDC_MAIN_UNDO, tip)) Copy_Field(s_UndoTip, tip);
    if (Can_Redo()) Format_Text(tip, sizeof tip, "Redo: %s (Ctrl+Y)", Redo_Label());
    else Copy_Field(tip, "Redo (Ctrl+Y)");
    if (strcmp(s_RedoTip, tip) != 0 && Set_ControlTip(hDlg, IDC_MAIN_REDO, tip)) Copy_Field(s_RedoTip, tip);
}

/* A step of several queues is named by its queue when there is one, else by their number. */
static void Name_Queues(char *out, size_t cap, const int *positions, int n, BOOL input)
{
    if (n == 1 && input) Format_Text(out, cap, "input queue %s", lbqs[positions[0]].name);
    else if (n == 1) Copy_Text(out, cap, targets[positions[0]].name);
    else Format_Text(out, cap, "%d %s", n, input ? "input queues" : "queues");
}

static void Undo_Or_Redo(HWND hDlg, BOOL undo)
{
    MAIN_STATE *st = State_Of(hDlg);
    Trace(undo ? "Undo\n" : "Redo\n");
    UNDO_TOUCHED touched;
    BOOL done = undo ? Undo_Step(&touched) : Redo_Step(&touched);
    if (done) {
        /* the preferences and the users are written by their dialogs' OK: their files follow */
        if (touched.prefs) Store_SpoolerGlobals();
        if (touched.users && !Store_Users())
            SysError_Box(programTitle, "Could not write the users file. The users were not saved.\r\n\"%s\\Users.cfg\"",
                         homeDir != NULL ? homeDir : "");
    }
    Refresh_TargetList(st->targets);
    Refresh_LBQList(st->lbqs);
    Apply_Find(hDlg, st);
    if (done) {
        int items[MAX_QUEUES], n = 0;
        for (int i = 0; i < targetCount; i++) {
            int item = touched.targets[i] ? Find_QueueItem(st->targets, i) : -1;
            if (item >= 0) items[n++] = item;
        }
        HWND list = st->targets;
        if (n == 0) {
            list = st->lbqs;
            for (int i = 0; i < lbqCount; i++) {
                int item = touched.lbqs[i] ? Find_QueueItem(st->lbqs, i) : -1;
                if (item >= 0) items[n++] = item;
            }
        }
        if (n > 0) {
            st->active = list;
            Clear_Selection(list == st->targets ? st->lbqs : st->targets);
            Select_Items(list, items, n);
        }
    }
    Update_Buttons(hDlg);
}

static void On_Undo(HWND hDlg) { Undo_Or_Redo(hDlg, TRUE); }
static void On_Redo(HWND hDlg) { Undo_Or_Redo(hDlg, FALSE); }

/* ---- where used ---- */

/* The selected output queue's uses; without one, the queues that run an application. */
static void On_UsedBy(HWND hDlg)
{
    MAIN_STATE *st = State_Of(hDlg);
    Trace("Used by\n");
    int pos = (st->active == st->targets && Count_Selected(st->targets) == 1) ? Selected_Queue(st->targets) : -1;
    if (pos >= 0 && pos < targetCount) Show_QueueUses(hDlg, pos);
    else Show_AppUses(hDlg);
    Refresh_TargetList(st->targets);
    Refresh_LBQList(st->lbqs);
    Apply_Find(hDlg, st);
    if (pos >= 0 && pos < targetCount) Show_Queue(hDlg, st, st->targets, pos);
}

/* Before a deletion: the queues that stay and refer to those going are named, and the operator
   decides. TRUE to go on (no such queue, or Yes). */
static BOOL Confirm_DeleteReferred(const int *positions, int n)
{
    BOOL deleting[MAX_TARGETS];
    memset(deleting, 0, sizeof deleting);
    for (int k = 0; k < n; k++) deleting[positions[k]] = TRUE;
    static QUEUE_USE uses[MAX_QUEUES * 3];
    int count = Find_ReferencesTo(deleting, uses, (int)ARRAY_LEN(uses));
    if (count == 0) return TRUE;
    char what[TEXT_LEN + 32];
    if (n == 1) Format_Text(what, sizeof what, "\"%s\" is", targets[positions[0]].name);
    else Format_Text(what, sizeof what, "The %d queues are", n);
    char lines[2048] = "";
    int listed = 0;
    for (int k = 0; k < count; k++) {
        char line[TEXT_LEN * 2 + 96];
        if (listed == 12) {
            Format_Text(line, sizeof line, "    and %d more\r\n", count - listed);
            Append_Field(lines, line);
            break;
        }
        Format_Text(line, sizeof line, "    %s%s %s\r\n", uses[k].isInput ? "input queue " : "", Use_QueueName(&uses[k]),
                    Use_Text(uses[k].kind));
        Append_Field(lines, line);
        listed++;
    }
    Trace("Delete queue: %d references to the queues deleted\n", count);
    return Message_Box(programTitle, MB_YESNO | MB_ICONQUESTION | MB_EDITOR,
                       "%s used by other queues:\r\n\r\n%s\r\nThose queues will leave their jobs where they are, never "
                       "time out, or no longer balance jobs to %s.\r\n\r\nDelete %s?",
                       what, lines, n == 1 ? "it" : "them", n == 1 ? "it" : "them") == IDYES;
}

static BOOL Limit_Reached(void)
{
    if (Room_For_Queue()) return FALSE;
    Play_Beep(MB_ICONHAND);
    Message_Box(programTitle, MB_OK | MB_ICONERROR | MB_EDITOR, "The maximum number of queues (%d) has been reached",
                MAX_QUEUES);
    return TRUE;
}

/* ---- the commands ---- */

static void On_AddTarget(HWND hDlg, MAIN_STATE *st)
{
    Trace("Add queue\n");
    if (Limit_Reached()) return;
    int before = targetCount;
    Undo_Begin();
    Edit_Target(hDlg, targetCount);
    Undo_End("add %s", targetCount > before ? targets[targetCount - 1].name : "queue");
    Refresh_TargetList(st->targets);
    if (targetCount > before) {
        st->active = st->targets;
        Clear_Selection(st->lbqs);
        Show_Queue(hDlg, st, st->targets, targetCount - 1);
    }
    Update_Buttons(hDlg);
}

static void On_EditTarget(HWND hDlg, MAIN_STATE *st)
{
    Trace("Edit queue\n");
    int pos = Selected_Queue(st->targets);
    if (pos < 0 || pos >= targetCount) {
        Info_Box(programTitle, "You must first select a queue to edit.");
        return;
    }
    Undo_Begin();
    Edit_Target(hDlg, pos);
    Undo_End("edit %s", targets[pos].name);
    Reset_ListView_Target_Entry(st->targets, pos);
    Update_Buttons(hDlg);
}

static void On_CopyTarget(HWND hDlg, MAIN_STATE *st)
{
    Trace("Copy queue\n");
    int pos = Selected_Queue(st->targets);
    if (pos < 0 || pos >= targetCount) {
        Info_Box(programTitle, "You must first select a queue to Copy.");
        return;
    }
    if (Limit_Reached()) return;
    char original[TEXT_LEN];
    Copy_Field(original, targets[pos].name);
    Undo_Begin();
    int copy = Copy_Target(pos);
    if (copy < 0) {
        Undo_Abandon();
        return;
    }
    if (Edit_Target(hDlg, copy) == -1) {
        /* cancelled in the editor: the configuration is as it was before the command */
        Delete_Target(targetCount - 1);
        Undo_Abandon();
    } else {
        Undo_End("copy %s", original);
        Refresh_TargetList(st->targets);
        Show_Queue(hDlg, st, st->targets, copy);
    }
    Update_Buttons(hDlg);
}

static void On_DeleteTargets(HWND hDlg, MAIN_STATE *st)
{
    Trace("Delete queue\n");
    int positions[MAX_TARGETS];
    int n = Selected_Positions(st->targets, positions, MAX_TARGETS);
    if (n == 0) {
        Info_Box(programTitle, "You must first select a queue to edit.");
        return;
    }
    if (!Confirm_DeleteReferred(positions, n)) return;
    char what[TEXT_LEN];
    Name_Queues(what, sizeof what, positions, n, FALSE);
    Undo_Begin();
    Delete_Targets(positions, n);
    Undo_End("delete %s", what);
    Refresh_TargetList(st->targets);
    Update_Buttons(hDlg);
}

static void On_MoveTargets(HWND hDlg, MAIN_STATE *st, BOOL up)
{
    Trace(up ? "Move queues up\n" : "Move queues down\n");
    if (targetCount == 0 || Is_ListNarrowed(st->targets)) return;
    BOOL selected[MAX_TARGETS];
    for (int i = 0; i < targetCount; i++)
        selected[i] = (SendMessageA(st->targets, LVM_GETITEMSTATE, i, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    QUEUE_MOVE moves[MAX_TARGETS];
    int n = Plan_QueueMoves(selected, targetCount, up, moves, MAX_TARGETS);
    if (n == 0) return;
    int chosen[MAX_TARGETS], count0 = 0;
    for (int i = 0; i < targetCount; i++)
        if (selected[i]) chosen[count0++] = i;
    char what[TEXT_LEN];
    Name_Queues(what, sizeof what, chosen, count0, FALSE);
    Undo_Begin();
    for (int k = 0; k < n; k++) Move_Target(moves[k].from, moves[k].to);
    Undo_End("move %s %s", what, up ? "up" : "down");
    /* the list is filled again from the array: item data and images are positions, which the
       moves changed; the moved queues stay selected and in view */
    Refresh_TargetList(st->targets);
    int now[MAX_TARGETS], count = 0;
    for (int i = 0; i < targetCount; i++)
        if (selected[i]) now[count++] = up ? i - 1 : i + 1;
    Select_Items(st->targets, now, count);
    SendMessageA(st->targets, LVM_ENSUREVISIBLE, (WPARAM)(up ? now[count - 1] : now[0]), FALSE);
    SendMessageA(st->targets, LVM_ENSUREVISIBLE, (WPARAM)(up ? now[0] : now[count - 1]), FALSE);
    Update_Buttons(hDlg);
}

static void On_AddLBQ(HWND hDlg, MAIN_STATE *st)
{
    Trace("Add LB Queue\n");
    if (targetCount < 2) {
        Trace("Less than two queues exist.. returning immediately\n");
        Info_Box(programTitle, "There are an insufficient number of queues.  You must first create at least two queues "
                               "before you can add a load balanced Input Queue.");
        return;
    }
    if (Limit_Reached()) return;
    int before = lbqCount;
    Undo_Begin();
    Edit_LBQ(hDlg, lbqCount);
    Undo_End("add input queue %s", lbqCount > before ? lbqs[lbqCount - 1].name : "");
    Refresh_LBQList(st->lbqs);
    if (lbqCount > before) {
        st->active = st->lbqs;
        Clear_Selection(st->targets);
        Show_Queue(hDlg, st, st->lbqs, lbqCount - 1);
    }
    Update_Buttons(hDlg);
}

static void On_EditLBQ(HWND hDlg, MAIN_STATE *st)
{
    Trace("Edit LB Queue\n");
    int pos = Selected_Queue(st->lbqs);
    if (pos < 0 || pos >= lbqCount) {
        Info_Box(programTitle, "You must first select a load balanced input queue to edit.");
        return;
    }
    Edit_InputQueueStep(hDlg, pos);
    Refresh_LBQList(st->lbqs);
    if (pos < lbqCount) Show_Queue(hDlg, st, st->lbqs, pos);
    Update_Buttons(hDlg);
}

static void On_DeleteLBQs(HWND hDlg, MAIN_STATE *st)
{
    Trace("Delete LB Queue\n");
    int positions[MAX_LBQS];
    int n = Selected_Positions(st->lbqs, positions, MAX_LBQS);
    if (n == 0) {
        Info_Box(programTitle, "You must first select a load balanced input queue to delete");
        return;
    }
    char what[TEXT_LEN + 16];
    Name_Queues(what, sizeof what, positions, n, TRUE);
    Undo_Begin();
    Delete_LBQs(positions, n);
    Undo_End("delete %s", what);
    Refresh_LBQList(st->lbqs);
    Update_Buttons(hDlg);
}

/* Export: the selected queues of the list last turned to. */
static BOOL Can_Export(HWND hDlg)
{
    MAIN_STATE *st = State_Of(hDlg);
    return st != NULL && st->active != NULL && Count_Selected(st->active) > 0;
}

static void On_Export(HWND hDlg)
{
    Trace("Export\n");
    MAIN_STATE *st = State_Of(hDlg);
    int positions[MAX_QUEUES];
    int n = Selected_Positions(st->active, positions, MAX_QUEUES);
    if (st->active == st->lbqs) Export_Queues(hDlg, NULL, 0, positions, n);
    else Export_Queues(hDlg, positions, n, NULL, 0);
}

/* Import: the queues added at the end of the lists are selected, as Add selects its queue. */
static void On_Import(HWND hDlg)
{
    Trace("Import\n");
    MAIN_STATE *st = State_Of(hDlg);
    int targetsBefore = targetCount, lbqsBefore = lbqCount;
    Undo_Begin();
    BOOL imported = Import_Queues(hDlg);
    Undo_End("import %d queues", targetCount + lbqCount - targetsBefore - lbqsBefore);
    if (!imported) return;
    Refresh_TargetList(st->targets);
    Refresh_LBQList(st->lbqs);
    int added[MAX_QUEUES], n = 0;
    HWND list = targetCount > targetsBefore ? st->targets : st->lbqs;
    for (int i = (list == st->targets ? targetsBefore : lbqsBefore); i < (list == st->targets ? targetCount : lbqCount); i++)
        added[n++] = i;
    st->active = list;
    Clear_Selection(list == st->targets ? st->lbqs : st->targets);
    Select_Items(list, added, n);
    if (n > 0) SendMessageA(list, LVM_ENSUREVISIBLE, (WPARAM)added[n - 1], FALSE);
    Update_Buttons(hDlg);
}

static void On_Ok(HWND hDlg)
{
    Trace("MainMenu_Dlg: OK\n");
    if (Main_SaveSequence()) DestroyWindow(hDlg);
    else Trace("MainMenu_Dlg: the save was refused; the dialog stays open\n");
}

static void On_Cancel(HWND hDlg)
{
    Trace("MainMenu_Dlg: Cancel, nothing is stored\n");
    saveOnExit = FALSE;
    DestroyWindow(hDlg);
}

/* Enter in a list edits its selected queue; with several selected there is no one queue to
   edit. Delete deletes the selected queues, as the button does. */
static void On_ListKey(HWND hDlg, MAIN_STATE *st, HWND list, WORD key)
{
    BOOL isTargets = (list == st->targets);
    int selected = Count_Selected(list);
    if (key == VK_RETURN) {
        if (selected == 1) SendMessageA(hDlg, WM_COMMAND, isTargets ? IDC_MAIN_EDIT : IDC_MAIN_LBQ_EDIT, 0);
        else Play_Beep(MB_OK);
    } else if (key == VK_DELETE) {
        if (selected >= 1) SendMessageA(hDlg, WM_COMMAND, isTargets ? IDC_MAIN_DELETE : IDC_MAIN_LBQ_DELETE, 0);
        else Play_Beep(MB_OK);
    }
}

/* The lists take Enter from the dialog while they have a selection (Enter then edits);
   without one, Enter stays the dialog's and presses OK. The lists are subclassed the plain way,
   through their window procedure: a subclass kept by the common controls looks itself up in
   the window's properties on every message, which under Wine is a round trip to the window
   system each time (filling 200 queues took forty times as long). Both lists are list views
   of one class, so they share one original procedure. */
static WNDPROC s_ListProc;

static LRESULT CALLBACK List_Keys(HWND list, UINT msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT code = CallWindowProcA(s_ListProc, list, msg, wParam, lParam);
    if (msg == WM_GETDLGCODE && lParam != 0) {
        const MSG *m = (const MSG *)lParam;
        if (m->message == WM_KEYDOWN && m->wParam == VK_RETURN && Count_Selected(list) > 0) code |= DLGC_WANTMESSAGE;
    }
    return code;
}

static void Take_ListKeys(HWND list)
{
    WNDPROC old = (WNDPROC)GetWindowLongPtrA(list, GWLP_WNDPROC);
    if (s_ListProc != NULL && old != s_ListProc) {
        Trace("MainMenu_Dlg: list %p has a window procedure of its own; Enter stays the dialog's\n", (void *)list);
        return;
    }
    s_ListProc = old;
    SetWindowLongPtrA(list, GWLP_WNDPROC, (LONG_PTR)List_Keys);
}

static BOOL On_Notify(HWND hDlg, MAIN_STATE *st, const NMHDR *nm)
{
    if (QueueList_Notify(nm)) return TRUE;
    HWND list = nm->hwndFrom;
    if (list != st->targets && list != st->lbqs) return FALSE;
    switch (nm->code) {
    case NM_SETFOCUS:
        Turn_To(hDlg, st, list);
        return TRUE;
    case LVN_ITEMCHANGED: {
        const NMLISTVIEW *lv = (const NMLISTVIEW *)nm;
        if (!(lv->uChanged & LVIF_STATE) || !((lv->uNewState ^ lv->uOldState) & LVIS_SELECTED)) return TRUE;
        if ((lv->uNewState & LVIS_SELECTED) && st->active != list) Turn_To(hDlg, st, list);
        else SendMessageA(hDlg, list == st->targets ? WM_MAIN_TARGET_BUTTONS : WM_MAIN_LBQ_BUTTONS, 0, 0);
        return TRUE;
    }
    case NM_DBLCLK: {
        const NMITEMACTIVATE *ia = (const NMITEMACTIVATE *)nm;
        if (ia->iItem >= 0 && Count_Selected(list) > 0)
            SendMessageA(hDlg, WM_COMMAND, list == st->targets ? IDC_MAIN_EDIT : IDC_MAIN_LBQ_EDIT, 0);
        return TRUE;
    }
    case LVN_KEYDOWN:
        On_ListKey(hDlg, st, list, ((const NMLVKEYDOWN *)nm)->wVKey);
        return TRUE;
    case LVN_DELETEALLITEMS:
        /* emptied at once, without a notice for each item (narrowing refills the lists often) */
        SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    return FALSE;
}

/* ---- size ---- */

static void Lay_Out(HWND hDlg, MAIN_STATE *st, int width, int height)
{
    Apply_Anchors(hDlg, &st->layout, width, height);
    Fit_QueueColumn(st->targets);
    Fit_QueueColumn(st->lbqs);
    InvalidateRect(hDlg, NULL, TRUE);
}

/* ---- the keyboard ---- */

/* The dialog's own shortcuts, taken from the messages its message loop hands to the dialog
   handling (a message filter of the thread, which the dialog handling calls first): only keys
   meant for the main window or its controls, never those of an editor open above it. */
static HHOOK s_KeyHook;
static HWND  s_KeyDialog;

/* Presses a command's button as a click would, when it is enabled. */
static void Press_Command(HWND hDlg, int id)
{
    HWND b = GetDlgItem(hDlg, id);
    if (b != NULL && IsWindowEnabled(b) && IsWindowVisible(b))
        SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)b);
}

/* TRUE when the key was one of the dialog's shortcuts (it then goes no further). */
static BOOL On_Shortcut(HWND hDlg, const MSG *m)
{
    BOOL ctrl = GetKeyState(VK_CONTROL) < 0, alt = GetKeyState(VK_MENU) < 0, shift = GetKeyState(VK_SHIFT) < 0;
    HWND find = GetDlgItem(hDlg, IDC_MAIN_FIND);
    if (m->wParam == VK_ESCAPE && !ctrl && !alt && m->hwnd == find) {
        /* Esc empties the find field; it never cancels the dialog from there */
        SetWindowTextA(find, "");
        return TRUE;
    }
    if (m->wParam == VK_RETURN && !ctrl && !alt && m->hwnd == find) {
        On_FindEnter(hDlg, State_Of(hDlg));
        return TRUE;
    }
    if (!ctrl || alt || shift) return FALSE;
    switch (m->wParam) {
    case 'F':
        SendMessageA(hDlg, WM_NEXTDLGCTL, (WPARAM)find, TRUE);
        SendMessageA(find, EM_SETSEL, 0, -1);
        return TRUE;
    case 'Z': Press_Command(hDlg, IDC_MAIN_UNDO);   return TRUE;
    case 'Y': Press_Command(hDlg, IDC_MAIN_REDO);   return TRUE;
    case 'I': Press_Command(hDlg, IDC_MAIN_IMPORT); return TRUE;
    }
    return FALSE;
}

static LRESULT CALLBACK Main_KeyFilter(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == MSGF_DIALOGBOX && s_KeyDialog != NULL) {
        const MSG *m = (const MSG *)lParam;
        if (m->message == WM_KEYDOWN && (m->hwnd == s_KeyDialog || IsChild(s_KeyDialog, m->hwnd)) &&
            On_Shortcut(s_KeyDialog, m))
            return TRUE;
    }
    return CallNextHookEx(s_KeyHook, code, wParam, lParam);
}

static void Take_Shortcuts(HWND hDlg)
{
    if (s_KeyHook != NULL) {
        Trace("MainMenu_Dlg: a main dialog already takes the shortcuts\n");
        return;
    }
    s_KeyHook = SetWindowsHookExA(WH_MSGFILTER, Main_KeyFilter, NULL, GetCurrentThreadId());
    if (s_KeyHook == NULL) Trace("MainMenu_Dlg: no shortcuts (error %lu)\n", (unsigned long)GetLastError());
    else s_KeyDialog = hDlg;
}

static void Drop_Shortcuts(HWND hDlg)
{
    if (s_KeyHook == NULL || s_KeyDialog != hDlg) return;
    UnhookWindowsHookEx(s_KeyHook);
    s_KeyHook = NULL;
    s_KeyDialog = NULL;
}

/* ---- the dialog ---- */

static BOOL On_InitDialog(HWND hDlg)
{
    Trace("TargetList_Dlg(); wm_initdialog\n");
    MAIN_STATE *st = (MAIN_STATE *)calloc(1, sizeof *st);
    if (st == NULL) {
        Trace("MainMenu_Dlg: no memory for the dialog's state\n");
        DestroyWindow(hDlg);
        return FALSE;
    }
    SetWindowLongPtrA(hDlg, DWLP_USER, (LONG_PTR)st);
    Note_ReportBaseline();
    Centre_Window(hDlg);
    SetForegroundWindow(hDlg);
    st->targets = Create_TargetList_InPlace(hDlg, IDC_MAIN_TARGETS, FALSE);
    st->lbqs = Create_LBQList_InPlace(hDlg, IDC_MAIN_LBQS);
    if (st->targets != NULL) {
        Take_ListKeys(st->targets);
        Add_LVData(st->targets, QL_TARGETS);
    }
    if (st->lbqs != NULL) {
        Take_ListKeys(st->lbqs);
        Add_LVData(st->lbqs, QL_LBQS);
    }
    st->active = st->targets;
    Note_Anchors(hDlg, &st->layout, k_Anchors, (int)ARRAY_LEN(k_Anchors));
    SendDlgItemMessageA(hDlg, IDC_MAIN_FIND, EM_LIMITTEXT, TEXT_LEN - 1, 0);    /* a path */
    Set_ControlTip(hDlg, IDC_MAIN_UNDO, "Undo (Ctrl+Z)");
    Set_ControlTip(hDlg, IDC_MAIN_REDO, "Redo (Ctrl+Y)");
    Copy_Field(s_UndoTip, "Undo (Ctrl+Z)");
    Copy_Field(s_RedoTip, "Redo (Ctrl+Y)");
    Set_ControlTip(hDlg, IDC_MAIN_IMPORT, "Import (Ctrl+I)");
    Set_ControlTip(hDlg, IDC_MAIN_REPORT, "Save a printable page of the whole configuration and open it");
    Take_Shortcuts(hDlg);
    Update_Buttons(hDlg);
    if (st->targets != NULL) SetFocus(st->targets);
    return FALSE;                      /* the focus is set */
}

/* After a command: the queues found again, as the command may have changed what matches. */
static void Refind(HWND hDlg, MAIN_STATE *st)
{
    if (GetWindowTextLengthA(GetDlgItem(hDlg, IDC_MAIN_FIND)) > 0) Apply_Find(hDlg, st);
}

static void On_Command(HWND hDlg, MAIN_STATE *st, int id)
{
    switch (id) {
    case IDC_MAIN_ADD:        On_AddTarget(hDlg, st);        break;
    case IDC_MAIN_EDIT:       On_EditTarget(hDlg, st);       break;
    case IDC_MAIN_COPY:       On_CopyTarget(hDlg, st);       break;
    case IDC_MAIN_DELETE:     On_DeleteTargets(hDlg, st);    break;
    case IDC_MAIN_UP:         On_MoveTargets(hDlg, st, TRUE);  break;
    case IDC_MAIN_DOWN:       On_MoveTargets(hDlg, st, FALSE); break;
    case IDC_MAIN_LBQ_ADD:    On_AddLBQ(hDlg, st);           break;
    case IDC_MAIN_LBQ_EDIT:   On_EditLBQ(hDlg, st);          break;
    case IDC_MAIN_LBQ_DELETE: On_DeleteLBQs(hDlg, st);       break;
    case IDC_MAIN_PREFS:
        Trace("Preferences\n");
        Undo_Begin();
        Edit_Globals(hDlg);
        Undo_End("change the preferences");
        break;
    case IDC_MAIN_ADMIN:
        Trace("Administration\n");
        Undo_Begin();
        Edit_Users(hDlg);
        Undo_End("change the users");
        break;
    case IDC_MAIN_OK:         On_Ok(hDlg);                   break;
    case IDCANCEL:            On_Cancel(hDlg);               break;
    default:
        for (size_t i = 0; i < ARRAY_LEN(k_Commands); i++)
            if (k_Commands[i].id == id && k_Commands[i].run != NULL && IsWindowEnabled(GetDlgItem(hDlg, id)))
                k_Commands[i].run(hDlg);
        break;
    }
}

/* The system asks whether the session may end: the operator decides. */
static BOOL On_QueryEndSession(HWND hDlg)
{
    Trace("MainMenu_Dlg: WM_QUERYENDSESSION\n");
    BOOL mayEnd = Message_Box(programTitle, MB_YESNO | MB_ICONQUESTION | MB_EDITOR, "Are you sure you want to quit?") == IDYES;
    SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, mayEnd);
    return TRUE;
}

/* The session really ends: what OK does, checks and all, before the process is ended. */
static void On_EndSession(HWND hDlg, BOOL ending)
{
    Trace("MainMenu_Dlg: WM_ENDSESSION (%d)\n", (int)ending);
    if (ending) On_Ok(hDlg);
}

static BOOL CALLBACK Pass_ColourChange(HWND child, LPARAM)
{
    SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

INT_PTR CALLBACK MainMenu_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    MAIN_STATE *st = State_Of(hDlg);
    switch (msg) {
    case WM_INITDIALOG:
        return On_InitDialog(hDlg);
    case WM_MEASUREITEM:
        if (Measure_QueueItem(hDlg, (MEASUREITEMSTRUCT *)lParam)) return TRUE;
        break;
    case WM_DRAWITEM:
        if (Draw_QueueItem((const DRAWITEMSTRUCT *)lParam)) return TRUE;
        break;
    }
    if (st == NULL) return FALSE;
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_MAIN_FIND) {
            if (HIWORD(wParam) == EN_CHANGE) Apply_Find(hDlg, st);
            return TRUE;
        }
        On_Command(hDlg, st, LOWORD(wParam));
        if (State_Of(hDlg) == st && LOWORD(wParam) != IDC_MAIN_OK && LOWORD(wParam) != IDCANCEL) Refind(hDlg, st);
        return TRUE;
    case WM_NOTIFY:
        return On_Notify(hDlg, st, (const NMHDR *)lParam);
    case WM_MAIN_TARGET_BUTTONS:
        Update_TargetButtons(hDlg, st);
        return TRUE;
    case WM_MAIN_LBQ_BUTTONS:
        Update_LBQButtons(hDlg, st);
        return TRUE;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) Lay_Out(hDlg, st, LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_GETMINMAXINFO:
        Limit_Anchors(&st->layout, (MINMAXINFO *)lParam);
        return TRUE;
    case WM_QUERYENDSESSION:
        return On_QueryEndSession(hDlg);
    case WM_ENDSESSION:
        On_EndSession(hDlg, (BOOL)wParam);
        return TRUE;
    case WM_SYSCOLORCHANGE:
        EnumChildWindows(hDlg, Pass_ColourChange, 0);
        return TRUE;
    case WM_CLOSE:
        On_Cancel(hDlg);
        return TRUE;
    case WM_DESTROY:
        Trace("MainMenu_Dlg, WM_DESTROY\n");
        Drop_Shortcuts(hDlg);
        Destroy_ListImageList(st->targets);
        Destroy_ListImageList(st->lbqs);
        SetWindowLongPtrA(hDlg, DWLP_USER, 0);
        free(st);
        if (mainWindow == hDlg) mainWindow = NULL;
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}
