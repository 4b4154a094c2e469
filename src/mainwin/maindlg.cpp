#include "mainwin/maindlg.h"
#include "mainwin/restoredlg.h"
#include "mainwin/checkdlg.h"
#include "mainwin/changes.h"
#include "mainwin/importdlg.h"
#include "mainwin/reportcmd.h"
#include "lists/queuelists.h"
#include "config/savesequence.h"
#include "config/model.h"
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

static const MAIN_COMMAND k_Commands[] = {
    /* where-used */
    { IDC_MAIN_USEDBY,  NULL, NULL },
    /* the undo history */
    { IDC_MAIN_UNDO,    NULL, NULL },
    { IDC_MAIN_REDO,    NULL, NULL },
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
} MAIN_STATE;

static MAIN_STATE *State_Of(HWND hDlg) { return (MAIN_STATE *)GetWindowLongPtrA(hDlg, DWLP_USER); }

/* ---- lists and buttons ---- */

/* The queue a command on "the selected queue" of the list means, or -1. */
static int Selected_Queue(HWND list)
{
    int item = Current_Selected(list);
    return item >= 0 ? Get_LV__Item_Param(list, item) : -1;
}

/* The selected list positions in ascending order; returns how many. */
static int Selected_Positions(HWND list, int *out, int cap)
{
    int n = 0;
    for (int i = Next_Selected(list, 0); i >= 0 && n < cap; i = Next_Selected(list, i + 1)) out[n++] = i;
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

static void Update_Commands(HWND hDlg, MAIN_STATE *st)
{
    for (size_t i = 0; i < ARRAY_LEN(k_Commands); i++) {
        const MAIN_COMMAND *c = &k_Commands[i];
        Enable_Button(hDlg, c->id, c->run != NULL && (c->enabled == NULL || c->enabled(hDlg)), st->active);
    }
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
    Enable_Button(hDlg, IDC_MAIN_UP, selected >= 1 && !firstSel, st->targets);
    Enable_Button(hDlg, IDC_MAIN_DOWN, selected >= 1 && !lastSel, st->targets);
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
    if (Show_Restore(hDlg) != IDOK) return;
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
    Edit_Target(hDlg, targetCount);
    Refresh_TargetList(st->targets);
    if (targetCount > before) {
        st->active = st->targets;
        Clear_Selection(st->lbqs);
        Select_One(st->targets, targetCount - 1);
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
    Edit_Target(hDlg, pos);
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
    int copy = Copy_Target(pos);
    if (copy < 0) return;
    if (Edit_Target(hDlg, copy) == -1) {
        /* cancelled in the editor: the configuration is as it was before the command */
        Delete_Target(targetCount - 1);
    } else {
        Refresh_TargetList(st->targets);
        Select_One(st->targets, copy);
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
    Delete_Targets(positions, n);
    Refresh_TargetList(st->targets);
    Update_Buttons(hDlg);
}

static void On_MoveTargets(HWND hDlg, MAIN_STATE *st, BOOL up)
{
    Trace(up ? "Move queues up\n" : "Move queues down\n");
    if (targetCount == 0) return;
    BOOL selected[MAX_TARGETS];
    for (int i = 0; i < targetCount; i++)
        selected[i] = (SendMessageA(st->targets, LVM_GETITEMSTATE, i, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    QUEUE_MOVE moves[MAX_TARGETS];
    int n = Plan_QueueMoves(selected, targetCount, up, moves, MAX_TARGETS);
    if (n == 0) return;
    for (int k = 0; k < n; k++) Move_Target(moves[k].from, moves[k].to);
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
    Edit_LBQ(hDlg, lbqCount);
    Refresh_LBQList(st->lbqs);
    if (lbqCount > before) {
        st->active = st->lbqs;
        Clear_Selection(st->targets);
        Select_One(st->lbqs, lbqCount - 1);
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
    Edit_LBQ(hDlg, pos);
    Refresh_LBQList(st->lbqs);
    if (pos < lbqCount) Select_One(st->lbqs, pos);
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
    Delete_LBQs(positions, n);
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
    if (!Import_Queues(hDlg)) return;
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
    Set_ControlTip(hDlg, IDC_MAIN_IMPORT, "Import (Ctrl+I)");
    Set_ControlTip(hDlg, IDC_MAIN_REPORT, "Save a printable page of the whole configuration and open it");
    Take_Shortcuts(hDlg);
    Update_Buttons(hDlg);
    if (st->targets != NULL) SetFocus(st->targets);
    return FALSE;                      /* the focus is set */
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
    case IDC_MAIN_PREFS:      Trace("Preferences\n"); Edit_Globals(hDlg); break;
    case IDC_MAIN_ADMIN:      Trace("Administration\n"); Edit_Users(hDlg); break;
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
        On_Command(hDlg, st, LOWORD(wParam));
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
