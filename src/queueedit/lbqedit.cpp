#include "queueedit/lbqedit.h"
#include "queueedit/lbqlogic.h"
#include "queueedit/pagewin.h"
#include "queueedit/queuetext.h"
#include "queueedit/targetchoices.h"
#include "config/lbfile.h"
#include "config/limits.h"
#include "config/model.h"
#include "config/newdirs.h"
#include "common/appstate.h"
#include "common/ctrlmap.h"
#include "common/dlgutil.h"
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

/* The editor's state, kept on its window. */
typedef struct {
    int      pos;            /* the input queue edited; lbqCount for a new one */
    BOOL     isNew;
    BOOL     opening;        /* the controls are being filled: no notices */
    LBQ      work;           /* the working copy */
    int32_t  formerSplit;    /* the copy split size as opened: what a refused one goes back to */
    HBITMAP  bannerLB, bannerQueue;
    HICON    ownIcon;        /* loaded here when the profile gave no input queue icon */
    HWND     list;           /* the outputs list */
    int      listSel;        /* the item last drawn selected, -1 for none */
} LBQ_EDIT;

static LBQ_EDIT *Edit_Of(HWND dlg) { return (LBQ_EDIT *)GetWindowLongPtrA(dlg, DWLP_USER); }

/* The controls bound to fields of the working copy; the rules, the time priority, the purge time
   and the copy split are handled by hand (their fields are not 32-bit numbers, or their reading
   has rules of its own). */
static const CTRL_MAP k_LBQMap[] = {
    CM_TEXT_ROW(IDC_LB_NAME, LBQ, name),
    CM_TEXT_ROW(IDC_LB_PATH, LBQ, hotDir),
    CM_CHECK_ROW(IDC_LB_SUBDIRS, LBQ, includeSubdirs),
    CM_CHECK_ROW(IDC_LB_ENABLED, LBQ, queueGroupEnabled),
    CM_LIST_ROW(IDC_LB_PRIORITY, LBQ, priority, priorityNames, 1),
    CM_INT_ROW(IDC_LB_COPIES, LBQ, copies, LIMIT_COPIES),
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
static void On_Rule_Change(HWND dlg, LBQ_EDIT *e)
{
    Read_Rules(dlg, &e->work);
    if (!Make_LBRulesCompatible(&e->work)) return;
    Show_Rules(dlg, &e->work);
    if (!e->opening) Tell_RulesSet();
}

/* ---- the copy split ---- */

/* The split field changed (also when the opening fills it): its number is the copy split size;
   with one other than 0 the group rules are set aside and their lists disabled. */
static void On_Split_Change(HWND dlg, LBQ_EDIT *e)
{
    Trace("SPLIT COPIES PAGES SPIN edit\n");
    char text[32];
    GetDlgItemTextA(dlg, IDC_LB_SPLIT, text, sizeof text);
    int32_t split = (int32_t)strtoul(text, NULL, 10);
    Read_Rules(dlg, &e->work);
    uint8_t reassignment = e->work.jobReassignmentRule;
    BOOL changed;
    BOOL groups = Set_LBQCopySplit(&e->work, split, &changed);
    if (changed) Show_Rules(dlg, &e->work);
    EnableWindow(GetDlgItem(dlg, IDC_LB_GROUP_ID), groups);
    EnableWindow(GetDlgItem(dlg, IDC_LB_GROUP_RULE), groups);
    /* the group rules going aside is what the disabled lists show; a reassignment rule that had
       to follow them is told */
    if (e->work.jobReassignmentRule != reassignment && !e->opening) Tell_RulesSet();
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

static void Fill_Outputs(LBQ_EDIT *e)
{
    if (e->list != NULL) Add_LVData(e->list, &e->work);
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

static void On_Add_Click(HWND dlg, LBQ_EDIT *e)
{
    Trace("LB Dlg: Add Output Queue\n");
    if (targetCount == 0) {
        Trace("No targets exist.. returning immediately\n");
        Info_Box(programTitle, "There are no targets to choose from yet.  You must first create your output "
                               "targets before you can add them.");
        return;
    }
    int pos = Choose_Target(dlg);
    if (pos < 0 || !Add_LBQOutput(&e->work, pos)) return;
    Fill_Outputs(e);
}

static void On_Remove_Click(HWND dlg, LBQ_EDIT *e)
{
    Trace("Load Bal Dlg: Remove Output\n");
    int positions[MAX_TARGETS];
    int n = Selected_Outputs(e, positions, MAX_TARGETS);
    if (n == 0) {
        Info_Box(programTitle, "There is no queue to selected.  You must first select a queue before you can remove it.");
        return;
    }
    Remove_LBQOutputs(&e->work, positions, n);
    Fill_Outputs(e);
    e->listSel = -1;
    Enable_Remove(dlg, e);
}

static void On_Outputs_DoubleClick(HWND dlg, LBQ_EDIT *e)
{
    if (e->list == NULL || Count_Selected(e->list) == 0) return;
    if (Message_Box(programTitle, MB_YESNO | MB_ICONQUESTION | MB_EDITOR,
                    "Remove this output Queue from the set for this Input Queue?") == IDYES)
        On_Remove_Click(dlg, e);
}

/* Enter in the name takes it into the working copy and leaves the dialog open (the dialog would
   otherwise take it for OK). */
static void On_Name_Enter(HWND dlg)
{
    LBQ_EDIT *e = Edit_Of(dlg);
    if (e == NULL) return;
    GetDlgItemTextA(dlg, IDC_LB_NAME, e->work.name, sizeof e->work.name);
    Trace("LBQMan_Dlg: the name is now \"%s\"\n", e->work.name);
}

/* ---- opening ---- */

static void Load_Editor(HWND dlg, LBQ_EDIT *e)
{
    char text[32];
    e->opening = TRUE;
    Load_Controls(dlg, k_LBQMap, (int)ARRAY_LEN(k_LBQMap), &e->work);
    Show_Rules(dlg, &e->work);
    SendDlgItemMessageA(dlg, IDC_LB_TIME_PRIORITY, TBM_SETPOS, TRUE, e->work.timePriorityValue);
    Format_Text(text, sizeof text, "%d", e->work.fileGroupPurgeMinutes / 60);
    SetDlgItemTextA(dlg, IDC_LB_PURGE_HOURS, text);
    Format_Text(text, sizeof text, "%d", e->work.fileGroupPurgeMinutes % 60);
    SetDlgItemTextA(dlg, IDC_LB_PURGE_MINUTES, text);
    Fill_Outputs(e);
    e->formerSplit = e->work.minCopiesSplitSize;
    Format_Text(text, sizeof text, "%d", e->work.minCopiesSplitSize);
    SetDlgItemTextA(dlg, IDC_LB_SPLIT, text);     /* the split handler runs on this filling too */
    e->opening = FALSE;
}

static INT_PTR On_Init(HWND dlg, LPARAM lParam)
{
    Trace("TargetMan_Dlg(); wm_initdialog\n");
    LBQ_EDIT *e = (LBQ_EDIT *)calloc(1, sizeof *e);
    if (e == NULL) {
        Trace("LBQMan_Dlg: no memory for the working copy\n");
        Info_Box(programTitle, "There is not enough memory to show this dialog.");
        EndDialog(dlg, 0);
        return TRUE;
    }
    int pos = (int)lParam;
    if (pos < 0 || pos > lbqCount) pos = 0;
    e->pos = pos;
    e->isNew = pos == lbqCount;
    e->listSel = -1;
    SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)e);
    SetWindowTextA(dlg, programTitle);
    Centre_Window(dlg);

    if (e->isNew && (lbqCount >= MAX_LBQS || lbqCount + targetCount >= MAX_QUEUES)) {
        Trace("No room for another input queue\n");
        Play_Beep(MB_ICONHAND);
        Message_Box(programTitle, MB_OK | MB_ICONHAND | MB_EDITOR, "The maximum number of queues (%d) has been reached",
                    MAX_QUEUES);
        EndDialog(dlg, 0);
        return TRUE;
    }

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
    Limit_Text(GetDlgItem(dlg, IDC_LB_PURGE_HOURS), 4);
    Limit_Text(GetDlgItem(dlg, IDC_LB_PURGE_MINUTES), 4);
    e->list = Create_TargetList_InPlace(dlg, IDC_LB_OUTPUTS, FALSE);
    Take_EnterKey(GetDlgItem(dlg, IDC_LB_NAME), On_Name_Enter);

    Trace("Open Page %d\n", pos);
    if (e->isNew) {
        char dir[PATH_LEN];
        Get_NewLBQDir(lbqCount, dir, sizeof dir);
        Init_NewLBQ(&e->work, dir);
    } else {
        e->work = lbqs[pos];
    }
    Load_Editor(dlg, e);
    EnableWindow(GetDlgItem(dlg, IDC_LB_REMOVE), FALSE);
    return TRUE;
}

/* ---- committing ---- */

/* Selects the whole text of a field that was refused and puts the focus there. */
static void Select_Field(HWND dlg, int id)
{
    HWND field = GetDlgItem(dlg, id);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
}

/* The hours and minutes after which jobs are ignored: whole numbers of 0 or more, together at
   least a minute. FALSE keeps the dialog open (the operator has been told). */
static BOOL Read_PurgeTime(HWND dlg, LBQ *q)
{
    char text[32];
    int32_t hours, minutes;
    GetDlgItemTextA(dlg, IDC_LB_PURGE_HOURS, text, sizeof text);
    if (!Read_Count(text, &hours)) {
        Info_Box(programTitle, "The hours after which jobs are ignored must be a whole number of 0 or more.");
        Select_Field(dlg, IDC_LB_PURGE_HOURS);
        return FALSE;
    }
    GetDlgItemTextA(dlg, IDC_LB_PURGE_MINUTES, text, sizeof text);
    if (!Read_Count(text, &minutes)) {
        Info_Box(programTitle, "The minutes after which jobs are ignored must be a whole number of 0 or more.");
        Select_Field(dlg, IDC_LB_PURGE_MINUTES);
        return FALSE;
    }
    int32_t total = Purge_Minutes(hours, minutes);
    if (total < LIMIT_PURGE_MINUTES.minimum) {
        Info_Box(programTitle, "Jobs can only be ignored when identifying job groups after at least one minute.  "
                               "Please enter a time of 1 minute or more.");
        Select_Field(dlg, IDC_LB_PURGE_MINUTES);
        return FALSE;
    }
    q->fileGroupPurgeMinutes = total;
    Format_Text(text, sizeof text, "%d", total / 60);
    SetDlgItemTextA(dlg, IDC_LB_PURGE_HOURS, text);
    Format_Text(text, sizeof text, "%d", total % 60);
    SetDlgItemTextA(dlg, IDC_LB_PURGE_MINUTES, text);
    return TRUE;
}

/* The copy split size: a field without a number stores 0 (told); a number outside the range
   the load balancer takes is refused through the field validation. */
static BOOL Read_Split(HWND dlg, LBQ_EDIT *e)
{
    char text[32];
    HWND field = GetDlgItem(dlg, IDC_LB_SPLIT);
    GetWindowTextA(field, text, sizeof text);
    char *p = text, *end;
    while (*p == ' ' || *p == '\t') p++;
    strtoul(p, &end, 10);
    int32_t split = e->formerSplit;
    if (end == p) {
        Info_Box(programTitle, "Could not retrieve the split copies value from the dialog.Saving default value (%d) "
                               "instead.", 0);
        SetWindowTextA(field, "0");
        split = 0;
    } else if (!Validate_Field(field, VF_UINT, &split, LIMIT_SPLIT_SIZE.minimum, LIMIT_SPLIT_SIZE.maximum,
                               programTitle)) {
        return FALSE;
    }
    Set_LBQCopySplit(&e->work, split, NULL);
    return TRUE;
}

/* The hot directory field: the directory rule, then a directory of its own. */
static BOOL Read_HotDir(HWND dlg, LBQ_EDIT *e)
{
    BOOL valid = Check_HotDirText(e->work.hotDir, sizeof e->work.hotDir);
    SetDlgItemTextA(dlg, IDC_LB_PATH, e->work.hotDir);
    if (!valid) {
        Info_Box(programTitle, "The chosen hot directory is not a valid path name.  Please correct the entry or "
                               "select an existing directory using the chooser.");
        Select_Field(dlg, IDC_LB_PATH);
        return FALSE;
    }
    BOOL isLBQ = FALSE;
    int owner = Find_HotDirOwner(e->work.hotDir, e->pos, &isLBQ);
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
static BOOL Confirm_Outputs(HWND dlg, LBQ_EDIT *e)
{
    if (!e->work.queueGroupEnabled) return TRUE;
    int outputs = Count_LBQOutputs(e->work.outputs);
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
    e->work.queueGroupEnabled = 0;
    CheckDlgButton(dlg, IDC_LB_ENABLED, BST_UNCHECKED);
    return TRUE;
}

static void On_Ok(HWND dlg, LBQ_EDIT *e)
{
    Trace("Queue Dlg: Done\n");
    Trace("Close Page %d \n", e->pos);
    GetDlgItemTextA(dlg, IDC_LB_NAME, e->work.name, sizeof e->work.name);
    if (e->isNew) {
        Trace("Queue %d, \"%s\" does not exist, creating. ", e->pos, e->work.name);
        if (strcmp(e->work.name, NEW_LBQ_NAME) == 0) {
            Trace("The load balancing input queue has no name.. it will be ignored, not created. ");
            if (Message_Box(programTitle, MB_YESNO | MB_ICONQUESTION | MB_EDITOR,
                            "This load balancing input queue has no name and so will not be saved. Continue?") == IDYES) {
                Trace("Exit here.. do not save.\n");
                EndDialog(dlg, 0);
            } else {
                Trace("User cancelled process.\n");
            }
            return;
        }
    }
    if (Is_BlankText(e->work.name)) {
        Info_Box(programTitle, "You must enter a name for this load balanced input queue before continuing.");
        Select_Field(dlg, IDC_LB_NAME);
        return;
    }
    Read_Rules(dlg, &e->work);
    LRESULT value = SendDlgItemMessageA(dlg, IDC_LB_TIME_PRIORITY, TBM_GETPOS, 0, 0);
    e->work.timePriorityValue = (uint8_t)Clamp_ToRange((int32_t)value, LIMIT_TIME_PRIORITY);
    if (!Read_PurgeTime(dlg, &e->work)) return;
    if (!Read_Split(dlg, e)) return;
    if (!Save_Controls(dlg, k_LBQMap, (int)ARRAY_LEN(k_LBQMap), &e->work, programTitle)) return;
    if (!Read_HotDir(dlg, e)) return;
    if (!Confirm_Outputs(dlg, e)) return;

    if (e->isNew) {
        if (lbqCount >= MAX_LBQS || lbqCount + targetCount >= MAX_QUEUES) return;   /* checked on opening */
        e->pos = lbqCount++;
    }
    lbqs[e->pos] = e->work;
    Trace("Input queue %d, \"%s\" stored\n", e->pos, e->work.name);
    EndDialog(dlg, 0);
}

/* ---- the other controls ---- */


static void On_Browse_Click(HWND dlg)
{
    Trace("queue Dlg: queue Directory\n");
    LBQ_EDIT *e = Edit_Of(dlg);
    char path[PATH_LEN];
    GetDlgItemTextA(dlg, IDC_LB_PATH, path, sizeof path);
    if (!Choose_CreateFolder(dlg, "Queue Hot Directory", path, sizeof path)) return;
    /* a path longer than the field is shown whole and refused on OK, never cut */
    Copy_Field(e->work.hotDir, path);
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

static void On_Destroy(HWND dlg)
{
    Trace("Queue Dialog.. wm_destroy\n");
    LBQ_EDIT *e = Edit_Of(dlg);
    SetWindowLongPtrA(dlg, DWLP_USER, 0);
    if (e == NULL) return;
    if (e->bannerLB) DeleteObject(e->bannerLB);
    if (e->bannerQueue) DeleteObject(e->bannerQueue);
    if (e->ownIcon) DestroyIcon(e->ownIcon);
    if (e->list) Destroy_ListImageList(e->list);
    free(e);
}

static INT_PTR On_Command(HWND dlg, LBQ_EDIT *e, int id, int code)
{
    switch (id) {
    case IDC_LB_OK:
    case IDOK:            On_Ok(dlg, e);                                    return TRUE;
    case IDCANCEL:        EndDialog(dlg, 0);                                return TRUE;
    case IDC_LB_BROWSE:   On_Browse_Click(dlg);                             return TRUE;
    case IDC_LB_ADD:      On_Add_Click(dlg, e);                             return TRUE;
    case IDC_LB_REMOVE:   On_Remove_Click(dlg, e);                          return TRUE;
    case IDC_LB_SUBDIRS:  Trace("queue Dlg: force file overwrites\n");     return TRUE;
    case IDC_LB_ENABLED:  Trace("Load Bal Dlg: Enabled check box\n");      return TRUE;
    case IDC_LB_SPLIT:
        if (code == EN_CHANGE) On_Split_Change(dlg, e);
        return TRUE;
    case IDC_LB_GROUP_ID:
        Trace("Load Bal Dlg: Group ID Rule.\n");
        if (code == CBN_SELCHANGE) On_Rule_Change(dlg, e);
        return TRUE;
    case IDC_LB_GROUP_RULE:
        Trace("Load Bal Dlg: Grouping Strategy.\n");
        if (code == CBN_SELCHANGE) On_Rule_Change(dlg, e);
        return TRUE;
    case IDC_LB_REASSIGN:
        Trace("Load Bal Dlg: Reassignment Rule.\n");
        if (code == CBN_SELCHANGE) On_Rule_Change(dlg, e);
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
        On_Outputs_DoubleClick(dlg, e);
        return TRUE;
    case LVN_ITEMCHANGED:
        Enable_Remove(dlg, e);
        return TRUE;
    case LVN_KEYDOWN:
        if (((const NMLVKEYDOWN *)nm)->wVKey == VK_DELETE && Count_Selected(e->list) > 0) On_Remove_Click(dlg, e);
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
    if (msg == WM_INITDIALOG) return On_Init(hDlg, lParam);
    if (msg == WM_MEASUREITEM) return Measure_QueueItem(hDlg, (MEASUREITEMSTRUCT *)lParam);
    LBQ_EDIT *e = Edit_Of(hDlg);
    if (e == NULL) return FALSE;
    switch (msg) {
    case WM_DRAWITEM: return On_DrawItem(hDlg, e, (const DRAWITEMSTRUCT *)lParam);
    case WM_COMMAND: return On_Command(hDlg, e, LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY:  return On_Notify(hDlg, e, (const NMHDR *)lParam);
    case WM_HSCROLL:
        if ((HWND)lParam == GetDlgItem(hDlg, IDC_LB_TIME_PRIORITY)) Trace("Load Bal Dlg: Slider for Job assignment rule.\n");
        return TRUE;
    case WM_PAINT:   On_Paint(hDlg, e);  return TRUE;
    case WM_DESTROY: On_Destroy(hDlg);   return FALSE;
    }
    return FALSE;
}

int Edit_LBQ(HWND owner, int pos)
{
    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_LBQEDIT), owner, LBQMan_Dlg, (LPARAM)pos);
    return 0;
}
