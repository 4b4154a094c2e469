/* The load-balanced input queue editor: one input queue edited on a working copy, on the frame
   protocol of common/frame.h. What needs no window is in lbqlogic.cpp. */
#include "queueedit/lbqedit.h"
#include "queueedit/lbqlogic.h"
#include "queueedit/pagewin.h"
#include "queueedit/queuetext.h"
#include "queueedit/targetchoices.h"
#include "config/lbfile.h"
#include "config/limits.h"
#include "config/model.h"
#include "common/appstate.h"
#include "common/ctrlmap.h"
#include "common/dlgutil.h"
#include "common/frame.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/validate.h"
#include "lists/queuelists.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <stdlib.h>
#include <string.h>

/* The editor's own state, beside its working copy (an LBQ). */
typedef struct {
    int      pos;            /* the input queue edited; lbqCount for a new one */
    BOOL     isNew;
    BOOL     opening;        /* the controls are being filled: no notices */
    int32_t  formerSplit;    /* the copy split size as opened: what a refused one goes back to */
    HBITMAP  bannerLB, bannerQueue;
    HICON    ownIcon;        /* loaded here when the profile gave no input queue icon */
    HWND     list;           /* the outputs list */
    int      listSel;        /* the item last drawn selected, -1 for none */
} LBQ_EDIT;

static LBQ      *Work_Of(HWND dlg) { return (LBQ *)Frame_Copy(dlg); }
static LBQ_EDIT *Edit_Of(HWND dlg) { return (LBQ_EDIT *)Frame_Extra(dlg); }

static BOOL Save_Name(HWND dlg, void *rec);
static BOOL Save_Split(HWND dlg, void *rec);

/* The controls bound to fields of the working copy, in the order OK reads them: the name (a new
   input queue without one may be left unsaved), the purge time, the copy split (its own rules:
   the group rules give way to it), the rest. The rules and the time priority are not 32-bit
   numbers: they are handled by hand. */
static const CTRL_MAP k_LBQMap[] = {
    CM_TEXT_ROW_BY(IDC_LB_NAME, LBQ, name, Save_Name),
    CM_DURATION_ROW(IDC_LB_PURGE_HOURS, LBQ, fileGroupPurgeMinutes, purgeTime),
    CM_INT_ROW_BY(IDC_LB_SPLIT, LBQ, minCopiesSplitSize, LIMIT_SPLIT_SIZE, Save_Split),
    CM_CHECK_ROW(IDC_LB_ENABLED, LBQ, queueGroupEnabled),
    CM_LIST_ROW(IDC_LB_PRIORITY, LBQ, priority, priorityNames, 1),
    CM_INT_ROW(IDC_LB_COPIES, LBQ, copies, LIMIT_COPIES),
    CM_TEXT_ROW(IDC_LB_PATH, LBQ, hotDir),
    CM_CHECK_ROW(IDC_LB_SUBDIRS, LBQ, includeSubdirs),
    CM_SPIN_ROW(IDC_LB_COPIES_SPIN, LIMIT_COPIES),
    CM_SPIN_ROW(IDC_LB_SPLIT_SPIN, LIMIT_SPLIT_SIZE),
};

/* ---- the rule lists ---- */

static void Fill_RuleList(HWND dlg, int id, const LBRule *table)
{
    HWND list = GetDlgItem(dlg, id);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (int i = 0; table[i].label[0] != '\0'; i++) SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)table[i].label);
}

static void Show_Rules(HWND dlg, const LBQ *q)
{
    SendDlgItemMessageA(dlg, IDC_LB_GROUP_ID, CB_SETCURSEL, q->fileGroupIdRule, 0);
    SendDlgItemMessageA(dlg, IDC_LB_GROUP_RULE, CB_SETCURSEL, q->fileGroupRule, 0);
    SendDlgItemMessageA(dlg, IDC_LB_REASSIGN, CB_SETCURSEL, q->jobReassignmentRule, 0);
}

/* A rule list's choice; a list with nothing chosen keeps the rule as it was. */
static void Read_Rule(HWND dlg, int id, uint8_t *rule)
{
    LRESULT i = SendDlgItemMessageA(dlg, id, CB_GETCURSEL, 0, 0);
    if (i != CB_ERR) *rule = (uint8_t)i;
}

static void Read_Rules(HWND dlg, LBQ *q)
{
    Read_Rule(dlg, IDC_LB_GROUP_ID, &q->fileGroupIdRule);
    Read_Rule(dlg, IDC_LB_GROUP_RULE, &q->fileGroupRule);
    Read_Rule(dlg, IDC_LB_REASSIGN, &q->jobReassignmentRule);
}

static void Tell_RulesSet(void)
{
    Info_Box(programTitle, "Please note that the menu boxes have been set to avoid incompatible selections.");
}

/* After the operator chose a rule: the three rules are made compatible, and told when that
   changed a list. */
static void On_Rule_Change(HWND dlg)
{
    LBQ *q = Work_Of(dlg);
    Read_Rules(dlg, q);
    if (!Make_LBRulesCompatible(q)) return;
    Show_Rules(dlg, q);
    if (!Edit_Of(dlg)->opening) Tell_RulesSet();
}

/* ---- the copy split ---- */

/* The split field changed (also when the opening fills it): its number is the copy split size;
   with one other than 0 the group rules are set aside and their lists disabled. */
static void On_Split_Change(HWND dlg)
{
    Trace("SPLIT COPIES PAGES SPIN edit\n");
    LBQ *q = Work_Of(dlg);
    char text[32];
    GetDlgItemTextA(dlg, IDC_LB_SPLIT, text, sizeof text);
    int32_t split = (int32_t)strtoul(text, NULL, 10);
    Read_Rules(dlg, q);
    uint8_t reassignment = q->jobReassignmentRule;
    BOOL changed;
    BOOL groups = Set_LBQCopySplit(q, split, &changed);
    if (changed) Show_Rules(dlg, q);
    EnableWindow(GetDlgItem(dlg, IDC_LB_GROUP_ID), groups);
    EnableWindow(GetDlgItem(dlg, IDC_LB_GROUP_RULE), groups);
    /* the group rules going aside is what the disabled lists show; a reassignment rule that had
       to follow them is told */
    if (q->jobReassignmentRule != reassignment && !Edit_Of(dlg)->opening) Tell_RulesSet();
}

/* OK: the rules as chosen, then the copy split size, which may set the group rules aside. A
   field without a number stores 0 (told); a number outside the range the load balancer takes is
   refused through the field validation. */
static BOOL Save_Split(HWND dlg, void *rec)
{
    LBQ *q = (LBQ *)rec;
    Read_Rules(dlg, q);
    char text[32];
    HWND field = GetDlgItem(dlg, IDC_LB_SPLIT);
    GetWindowTextA(field, text, sizeof text);
    char *p = text, *end;
    while (*p == ' ' || *p == '\t') p++;
    strtoul(p, &end, 10);
    int32_t split = Edit_Of(dlg)->formerSplit;
    if (end == p) {
        Info_Box(programTitle, "Could not retrieve the split copies value from the dialog.Saving default value (%d) "
                               "instead.", 0);
        SetWindowTextA(field, "0");
        split = 0;
    } else if (!Validate_Field(field, VF_UINT, &split, LIMIT_SPLIT_SIZE.minimum, LIMIT_SPLIT_SIZE.maximum,
                               programTitle)) {
        return FALSE;
    }
    Set_LBQCopySplit(q, split, NULL);
    return TRUE;
}

/* ---- the outputs list ---- */

/* The output queue positions of the selected items. */
static int Selected_Outputs(LBQ_EDIT *e, int *positions, int cap)
{
    int n = 0;
    if (e->list == NULL) return 0;
    for (int item = Next_Selected(e->list, 0); item >= 0 && n < cap; item = Next_Selected(e->list, item + 1)) {
        int pos = Get_LV__Item_Param(e->list, item);
        if (pos >= 0) positions[n++] = pos;
    }
    return n;
}

static void Fill_Outputs(HWND dlg)
{
    LBQ_EDIT *e = Edit_Of(dlg);
    if (e->list != NULL) Add_LVData(e->list, Work_Of(dlg));
}

/* Remove is there for a selection. A Remove pressed from the keyboard hands the focus to the
   list when it goes grey, so that the keyboard is not left on a disabled button. */
static void Enable_Remove(HWND dlg, LBQ_EDIT *e)
{
    HWND remove = GetDlgItem(dlg, IDC_LB_REMOVE);
    BOOL on = e->list != NULL && Count_Selected(e->list) > 0;
    if (!on && GetFocus() == remove && e->list != NULL) SendMessageA(dlg, WM_NEXTDLGCTL, (WPARAM)e->list, TRUE);
    EnableWindow(remove, on);
}

static void On_Add_Click(HWND dlg)
{
    Trace("LB Dlg: Add Output Queue\n");
    if (targetCount == 0) {
        Trace("No targets exist.. returning immediately\n");
        Info_Box(programTitle, "There are no targets to choose from yet.  You must first create your output "
                               "targets before you can add them.");
        return;
    }
    int pos = Choose_Target(dlg);
    if (pos < 0 || !Add_LBQOutput(Work_Of(dlg), pos)) return;
    Fill_Outputs(dlg);
}

static void On_Remove_Click(HWND dlg)
{
    Trace("Load Bal Dlg: Remove Output\n");
    LBQ_EDIT *e = Edit_Of(dlg);
    int positions[MAX_TARGETS];
    int n = Selected_Outputs(e, positions, MAX_TARGETS);
    if (n == 0) {
        Info_Box(programTitle, "There is no queue to selected.  You must first select a queue before you can remove it.");
        return;
    }
    Remove_LBQOutputs(Work_Of(dlg), positions, n);
    Fill_Outputs(dlg);
    e->listSel = -1;
    Enable_Remove(dlg, e);
}

static void On_Outputs_DoubleClick(HWND dlg)
{
    LBQ_EDIT *e = Edit_Of(dlg);
    if (e->list == NULL || Count_Selected(e->list) == 0) return;
    if (Message_Box(programTitle, MB_YESNO | MB_ICONQUESTION | MB_EDITOR,
                    "Remove this output Queue from the set for this Input Queue?") == IDYES)
        On_Remove_Click(dlg);
}

/* Enter in the name takes it into the working copy and leaves the dialog open (the dialog would
   otherwise take it for OK). */
static void On_Name_Enter(HWND dlg)
{
    LBQ *q = Work_Of(dlg);
    if (q == NULL) return;
    GetDlgItemTextA(dlg, IDC_LB_NAME, q->name, sizeof q->name);
    Trace("LBQMan_Dlg: the name is now \"%s\"\n", q->name);
}

/* ---- opening ---- */

/* The creation argument is the position; a new input queue without room is told and the editor
   does not open. */
static BOOL Open_Editor(HWND dlg, LPARAM arg)
{
    LBQ_EDIT *e = Edit_Of(dlg);
    SetWindowTextA(dlg, programTitle);
    int pos = LBQ_EditorPosition((int)arg);
    if (pos < 0) {
        Trace("No room for another input queue\n");
        Play_Beep(MB_ICONHAND);
        Message_Box(programTitle, MB_OK | MB_ICONHAND | MB_EDITOR, "The maximum number of queues (%d) has been reached",
                    MAX_QUEUES);
        return FALSE;
    }
    e->pos = pos;
    e->isNew = pos == lbqCount;
    e->listSel = -1;

    e->bannerLB = LoadBitmapA(hInstance, MAKEINTRESOURCEA(IDB_BALANCE_BANNER));
    e->bannerQueue = LoadBitmapA(hInstance, MAKEINTRESOURCEA(IDB_QUEUE_BANNER));
    if (loadBalancerIcon == NULL)
        e->ownIcon = (HICON)LoadImageA(hInstance, MAKEINTRESOURCEA(IDI_LOADBAL), IMAGE_ICON, Queue_IconSize(),
                                       Queue_IconSize(), 0);

    Fill_RuleList(dlg, IDC_LB_GROUP_ID, fileGroupIdRules);
    Fill_RuleList(dlg, IDC_LB_GROUP_RULE, fileGroupRules);
    Fill_RuleList(dlg, IDC_LB_REASSIGN, jobReassignmentRules);
    HWND slider = GetDlgItem(dlg, IDC_LB_TIME_PRIORITY);
    SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(LIMIT_TIME_PRIORITY.minimum, LIMIT_TIME_PRIORITY.maximum));
    SendMessageA(slider, TBM_SETTICFREQ, 10, 0);
    SendMessageA(slider, TBM_SETPAGESIZE, 0, 10);
    Limit_Text(GetDlgItem(dlg, IDC_LB_SPLIT), 5);
    e->list = Create_TargetList_InPlace(dlg, IDC_LB_OUTPUTS, FALSE);
    Take_EnterKey(GetDlgItem(dlg, IDC_LB_NAME), On_Name_Enter);

    Open_LBQWork(pos, Work_Of(dlg));
    e->formerSplit = Work_Of(dlg)->minCopiesSplitSize;
    e->opening = TRUE;                 /* the table fills the split field: the split handler runs */
    return TRUE;
}

static void Load_Editor(HWND dlg)
{
    LBQ_EDIT *e = Edit_Of(dlg);
    const LBQ *q = Work_Of(dlg);
    Show_Rules(dlg, q);
    SendDlgItemMessageA(dlg, IDC_LB_TIME_PRIORITY, TBM_SETPOS, TRUE, q->timePriorityValue);
    Fill_Outputs(dlg);
    EnableWindow(GetDlgItem(dlg, IDC_LB_REMOVE), FALSE);
    e->opening = FALSE;
}

/* ---- committing ---- */

/* Selects the whole text of a field that was refused and puts the focus there. */
static void Select_Field(HWND dlg, int id)
{
    HWND field = GetDlgItem(dlg, id);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
}

/* OK begins with the name: a new input queue that still has the name it was given is not saved
   when the operator agrees (the editor closes), and a name of blanks is refused. */
static BOOL Save_Name(HWND dlg, void *rec)
{
    LBQ *q = (LBQ *)rec;
    LBQ_EDIT *e = Edit_Of(dlg);
    Trace("Queue Dlg: Done\n");
    Trace("Close Page %d \n", e->pos);
    GetDlgItemTextA(dlg, IDC_LB_NAME, q->name, sizeof q->name);
    if (e->isNew) {
        Trace("Queue %d, \"%s\" does not exist, creating. ", e->pos, q->name);
        if (strcmp(q->name, NEW_LBQ_NAME) == 0) {
            Trace("The load balancing input queue has no name.. it will be ignored, not created. ");
            if (Message_Box(programTitle, MB_YESNO | MB_ICONQUESTION | MB_EDITOR,
                            "This load balancing input queue has no name and so will not be saved. Continue?") == IDYES) {
                Trace("Exit here.. do not save.\n");
                Frame_Close(dlg, FALSE);
            } else {
                Trace("User cancelled process.\n");
            }
            return FALSE;
        }
    }
    if (Is_BlankText(q->name)) {
        Info_Box(programTitle, "You must enter a name for this load balanced input queue before continuing.");
        Select_Field(dlg, IDC_LB_NAME);
        return FALSE;
    }
    return TRUE;
}

/* The hot directory taken from its field: the directory rule, then a directory of its own. */
static BOOL Check_HotDir(HWND dlg, LBQ *q)
{
    BOOL valid = Check_HotDirText(q->hotDir, sizeof q->hotDir);
    SetDlgItemTextA(dlg, IDC_LB_PATH, q->hotDir);
    if (!valid) {
        Info_Box(programTitle, "The chosen hot directory is not a valid path name.  Please correct the entry or "
                               "select an existing directory using the chooser.");
        Select_Field(dlg, IDC_LB_PATH);
        return FALSE;
    }
    BOOL isLBQ = FALSE;
    int owner = Find_HotDirOwner(q->hotDir, Edit_Of(dlg)->pos, &isLBQ);
    if (owner >= 0) {
        Trace("The hot directory is that of %s %d\n", isLBQ ? "input queue" : "output queue", owner);
        Info_Box(programTitle, "The chosen hot directory is already the hot directory of the %s \"%s\".  "
                               "Each queue needs a hot directory of its own: please choose another directory.",
                 isLBQ ? "load balanced input queue" : "output queue", isLBQ ? lbqs[owner].name : targets[owner].name);
        Select_Field(dlg, IDC_LB_PATH);
        return FALSE;
    }
    return TRUE;
}

/* With balancing on, an input queue needs two outputs: the operator may go on with balancing
   switched off. FALSE keeps the dialog open. */
static BOOL Confirm_Outputs(HWND dlg, LBQ *q)
{
    if (!q->queueGroupEnabled) return TRUE;
    int outputs = Count_LBQOutputs(q->outputs);
    if (outputs >= 2) return TRUE;
    Trace("The load balancing input queue has insuffiecient output targets, query user");
    int answer = Message_Box(programTitle, MB_YESNO | MB_ICONQUESTION | MB_EDITOR, "%s",
                             outputs == 1
                                 ? "This load balancing input queue has only one output and so will not be runnable.  "
                                   "It will automatically be set to disabled until another output is added. Continue?"
                                 : "This load balancing input queue has no outputs and so will not be runnable.  It "
                                   "will automatically be set to disabled until outputs are added. Continue?");
    if (answer != IDYES) {
        Trace("User cancelled process.\n");
        return FALSE;
    }
    Trace("Exit here.. do not save.\n");
    q->queueGroupEnabled = 0;
    CheckDlgButton(dlg, IDC_LB_ENABLED, BST_UNCHECKED);
    return TRUE;
}

/* After the table: the time priority, then the checks that span fields. */
static BOOL Check_Editor(HWND dlg)
{
    LBQ *q = Work_Of(dlg);
    LRESULT value = SendDlgItemMessageA(dlg, IDC_LB_TIME_PRIORITY, TBM_GETPOS, 0, 0);
    q->timePriorityValue = (uint8_t)Clamp_ToRange((int32_t)value, LIMIT_TIME_PRIORITY);
    return Check_HotDir(dlg, q) && Confirm_Outputs(dlg, q);
}

static BOOL Commit_Editor(HWND dlg)
{
    LBQ_EDIT *e = Edit_Of(dlg);
    int pos = Commit_LBQWork(Work_Of(dlg), e->pos);
    if (pos < 0) return FALSE;
    e->pos = pos;
    return TRUE;
}

static void Close_Editor(HWND dlg, BOOL)
{
    Trace("Queue Dialog.. wm_destroy\n");
    LBQ_EDIT *e = Edit_Of(dlg);
    if (e->bannerLB) DeleteObject(e->bannerLB);
    if (e->bannerQueue) DeleteObject(e->bannerQueue);
    if (e->ownIcon) DestroyIcon(e->ownIcon);
    if (e->list) Destroy_ListImageList(e->list);
    e->bannerLB = e->bannerQueue = NULL;
    e->ownIcon = NULL;
}

const FRAME_DEF lbqFrame = {
    "TargetMan_Dlg(); wm_initdialog\n", sizeof(LBQ), sizeof(LBQ_EDIT), k_LBQMap, ARRAY_LEN(k_LBQMap),
    IDC_LB_OK, 0, 0, Open_Editor, Load_Editor, Check_Editor, Commit_Editor, Close_Editor,
};

/* ---- the other controls ---- */

static void On_Browse_Click(HWND dlg)
{
    Trace("queue Dlg: queue Directory\n");
    LBQ *q = Work_Of(dlg);
    char path[PATH_LEN];
    GetDlgItemTextA(dlg, IDC_LB_PATH, path, sizeof path);
    if (!Choose_CreateFolder(dlg, "Queue Hot Directory", path, sizeof path)) return;
    /* a path longer than the field is shown whole and refused on OK, never cut */
    Copy_Field(q->hotDir, path);
    SetDlgItemTextA(dlg, IDC_LB_PATH, path);
}

static void On_Paint(HWND dlg, LBQ_EDIT *e)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(dlg, &ps);
    RECT rc;
    /* the balancing banner at the left edge of its place, the queue banner at the right edge of
       its own; neither is drawn beyond its place */
    if (Get_ControlRect(dlg, IDC_LB_BANNER_LB, &rc))
        Draw_Bitmap(hdc, e->bannerLB, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
    BITMAP bm;
    if (Get_ControlRect(dlg, IDC_LB_BANNER_QUEUE, &rc) && GetObjectA(e->bannerQueue, sizeof bm, &bm) != 0) {
        int x = rc.right - bm.bmWidth > rc.left ? rc.right - bm.bmWidth : rc.left;
        Draw_Bitmap(hdc, e->bannerQueue, x, rc.top, rc.right - x, rc.bottom - rc.top);
    }
    HICON icon = loadBalancerIcon != NULL ? loadBalancerIcon : e->ownIcon;
    if (Get_ControlRect(dlg, IDC_LB_ICON, &rc)) Draw_QueueIcon(hdc, rc.left, rc.top, icon);
    EndPaint(dlg, &ps);
}

static INT_PTR On_Command(HWND dlg, int id, int code)
{
    switch (id) {
    case IDC_LB_BROWSE:   On_Browse_Click(dlg);                             return TRUE;
    case IDC_LB_ADD:      On_Add_Click(dlg);                                return TRUE;
    case IDC_LB_REMOVE:   On_Remove_Click(dlg);                             return TRUE;
    case IDC_LB_SUBDIRS:  Trace("queue Dlg: force file overwrites\n");     return TRUE;
    case IDC_LB_ENABLED:  Trace("Load Bal Dlg: Enabled check box\n");      return TRUE;
    case IDC_LB_SPLIT:
        if (code == EN_CHANGE) On_Split_Change(dlg);
        return TRUE;
    case IDC_LB_GROUP_ID:
        Trace("Load Bal Dlg: Group ID Rule.\n");
        if (code == CBN_SELCHANGE) On_Rule_Change(dlg);
        return TRUE;
    case IDC_LB_GROUP_RULE:
        Trace("Load Bal Dlg: Grouping Strategy.\n");
        if (code == CBN_SELCHANGE) On_Rule_Change(dlg);
        return TRUE;
    case IDC_LB_REASSIGN:
        Trace("Load Bal Dlg: Reassignment Rule.\n");
        if (code == CBN_SELCHANGE) On_Rule_Change(dlg);
        return TRUE;
    }
    return FALSE;
}

static INT_PTR On_Notify(HWND dlg, LBQ_EDIT *e, const NMHDR *nm)
{
    if (QueueList_Notify(nm)) return TRUE;
    if (nm->hwndFrom != e->list || e->list == NULL) return FALSE;
    switch (nm->code) {
    case NM_DBLCLK:
        On_Outputs_DoubleClick(dlg);
        return TRUE;
    case LVN_ITEMCHANGED:
        Enable_Remove(dlg, e);
        return TRUE;
    case LVN_KEYDOWN:
        if (((const NMLVKEYDOWN *)nm)->wVKey == VK_DELETE && Count_Selected(e->list) > 0) On_Remove_Click(dlg);
        return TRUE;
    }
    return FALSE;
}

/* An item drawn selected is the list's selection and can be removed. */
static BOOL On_DrawItem(HWND dlg, LBQ_EDIT *e, const DRAWITEMSTRUCT *dis)
{
    if (!Draw_QueueItem(dis)) return FALSE;
    if (dis->hwndItem == e->list && (dis->itemState & ODS_SELECTED)) {
        e->listSel = (int)dis->itemID;
        EnableWindow(GetDlgItem(dlg, IDC_LB_REMOVE), TRUE);
    }
    return TRUE;
}

INT_PTR CALLBACK LBQMan_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_MEASUREITEM) return Measure_QueueItem(hDlg, (MEASUREITEMSTRUCT *)lParam);
    LBQ_EDIT *e = Edit_Of(hDlg);
    if (e != NULL) {
        switch (msg) {
        case WM_DRAWITEM: return On_DrawItem(hDlg, e, (const DRAWITEMSTRUCT *)lParam);
        case WM_COMMAND:
            if (On_Command(hDlg, LOWORD(wParam), HIWORD(wParam))) return TRUE;
            break;
        case WM_NOTIFY:  return On_Notify(hDlg, e, (const NMHDR *)lParam);
        case WM_HSCROLL:
            if ((HWND)lParam == GetDlgItem(hDlg, IDC_LB_TIME_PRIORITY)) Trace("Load Bal Dlg: Slider for Job assignment rule.\n");
            return TRUE;
        case WM_PAINT:   On_Paint(hDlg, e);  return TRUE;
        }
    }
    return Frame_DefProc(hDlg, msg, wParam, lParam, &lbqFrame);
}

int Edit_LBQ(HWND owner, int pos)
{
    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_LBQEDIT), owner, LBQMan_Dlg, (LPARAM)pos);
    return 0;
}
