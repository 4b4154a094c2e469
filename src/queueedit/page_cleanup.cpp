/* The Clean-Up page: what the queue does on errors, and what happens to a job that completed:
   a beep, how long it stays in the queue, then nothing further, the recycle bin, deletion, a
   move to a done directory (keeping at most so many files there) or a pass to another queue.
   The rules that need no window are in cleanup_rules.cpp. */
#include "queueedit/pages.h"
#include "queueedit/cleanup_rules.h"
#include "queueedit/pagewin.h"
#include "queueedit/queuetext.h"
#include "queueedit/targetchoices.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/validate.h"
#include "config/model.h"
#include "resources/resource.h"
#include <commctrl.h>

static BOOL Save_CleanUpTarget(HWND dlg, void *rec);

/* In the order OK reads them: the check boxes and the file limit, the box of the action, the
   stay. */
static const CTRL_MAP k_CleanUpMap[] = {
    CM_CHECK_ROW(IDC_CU_BEEP, Target, beepOnComplete),
    CM_CHECK_ROW(IDC_CU_OVERWRITE, Target, forceOverwriteDone),
    CM_CHECK_ROW(IDC_CU_ALERT, Target, alertOnError),
    CM_CHECK_ROW(IDC_CU_SUSPEND, Target, suspendOnError),
    CM_CHECK_ROW(IDC_CU_LIMIT, Target, limitDoneFiles),
    CM_INT_ROW(IDC_CU_LIMIT_COUNT, Target, doneFileLimit, LIMIT_DONE_FILE_LIMIT),
    CM_SPIN_ROW(IDC_CU_LIMIT_SPIN, LIMIT_DONE_FILE_LIMIT),
    CM_SPIN_ROW(IDC_CU_DAYS_SPIN, LIMIT_KEEP_DAYS),
    CM_SPIN_ROW(IDC_CU_HOURS_SPIN, LIMIT_KEEP_HOURS),
    CM_SPIN_ROW(IDC_CU_MINUTES_SPIN, LIMIT_KEEP_MINUTES),
    CM_SPIN_ROW(IDC_CU_SECONDS_SPIN, LIMIT_KEEP_SECS),
    CM_STEP_ROW(Save_CleanUpTarget),
    CM_DURATION_ROW(IDC_CU_DAYS, Target, keepSeconds, keepTime),
};
/* The action is set by the radio buttons and the box below them. */
static const FIELD_SPAN k_CleanUpOwned[] = {
    FIELD_OF(Target, afterAction), FIELD_OF(Target, doneDir),
};

/* The four fields of the stay: their labels, edits and spins. */
static const int k_KeepControls[] = {
    IDC_CU_DAYS_LABEL, IDC_CU_DAYS, IDC_CU_DAYS_SPIN, IDC_CU_HOURS_LABEL, IDC_CU_HOURS, IDC_CU_HOURS_SPIN,
    IDC_CU_MINUTES_LABEL, IDC_CU_MINUTES, IDC_CU_MINUTES_SPIN, IDC_CU_SECONDS_LABEL, IDC_CU_SECONDS, IDC_CU_SECONDS_SPIN,
};

/* The action radio buttons, in the order of the dialog. */
static const int k_ActionButtons[] = { IDC_CU_NOTHING, IDC_CU_RECYCLE, IDC_CU_DELETE, IDC_CU_MOVE, IDC_CU_PASS };

/* The page's own state. The action icon is a shared one, never the page's to destroy; the
   banner is loaded by the page and freed when it closes. */
typedef struct {
    RECT    iconPlace;
    HICON   actionIcon;
    HBITMAP banner;
} CLEANUP_PAGE;

static Target       *Copy_Of(HWND dlg)   { return (Target *)Page_Copy(dlg); }
static CLEANUP_PAGE *CleanUp_Of(HWND dlg) { return (CLEANUP_PAGE *)Page_Extra(dlg); }

static void Enable(HWND dlg, int id, BOOL on) { EnableWindow(GetDlgItem(dlg, id), on); }

/* One of the icons loaded at start-up (or, before that, the same icon from the resources). */
static HICON Shared_Icon(int which, int id)
{
    return sharedIcons[which] != NULL ? sharedIcons[which] : LoadIconA(hInstance, MAKEINTRESOURCEA(id));
}

/* The picture of the action: the delete, recycle-bin or directory icon, or for a queue the jobs
   are passed to the picture of the processes it runs. NULL for the others. */
static HICON Action_Icon(const Target *page)
{
    switch (page->afterAction) {
    case AFTER_DELETE:    return Shared_Icon(ICON_DELETE_JOBS, IDI_DELETE_JOBS);
    case AFTER_RECYCLE:   return Shared_Icon(ICON_RECYCLE_JOBS, IDI_RECYCLE_JOBS);
    case AFTER_MOVE_DONE: return Shared_Icon(ICON_MOVE_JOBS, IDI_MOVE_JOBS);
    }
    if (page->afterAction < 0 || page->afterAction >= targetCount) return NULL;
    int app;
    switch (Process_Icon(&targets[page->afterAction], &app)) {
    case SI_PARALLEL: return Shared_Icon(ICON_PARALLEL, IDI_PARALLEL);
    case SI_SERIES:   return Shared_Icon(ICON_SERIES, IDI_SERIES);
    case SI_APP:
        /* an application without an icon of its own shows the default application icon */
        return apps[app].icon != NULL ? apps[app].icon : Shared_Icon(ICON_PROGRAM, IDI_PROGRAM);
    }
    return Shared_Icon(ICON_NO_PROCESSES, IDI_NO_PROCESSES);
}

/* Only the checked radio button of a group is a tab stop, so Tab lands on the choice in effect. */
static void Set_RadioTabStop(HWND dlg, const int *ids, int count)
{
    for (int i = 0; i < count; i++) {
        HWND b = GetDlgItem(dlg, ids[i]);
        LONG_PTR style = GetWindowLongPtrA(b, GWL_STYLE);
        BOOL on = SendMessageA(b, BM_GETCHECK, 0, 0) == BST_CHECKED;
        SetWindowLongPtrA(b, GWL_STYLE, on ? (style | WS_TABSTOP) : (style & ~(LONG_PTR)WS_TABSTOP));
    }
}

/* Shows the page copy's action: its radio button, what the box below holds and what it means,
   which controls apply, and its icon. */
static void Refresh_CleanUp(HWND dlg)
{
    const Target *page = Copy_Of(dlg);
    CLEANUP_PAGE *p = CleanUp_Of(dlg);
    int action = page->afterAction;
    BOOL keep = action != AFTER_LEAVE;
    Enable(dlg, IDC_CU_STAY_LABEL, keep);
    for (int id : k_KeepControls) Enable(dlg, id, keep);
    BOOL passing = action >= 0 || action == AFTER_PASS_UNCHOSEN;
    BOOL moving = action == AFTER_MOVE_DONE;
    int checked = moving ? IDC_CU_MOVE : passing ? IDC_CU_PASS : action == AFTER_DELETE ? IDC_CU_DELETE
                : action == AFTER_RECYCLE ? IDC_CU_RECYCLE : IDC_CU_NOTHING;
    for (int id : k_ActionButtons) CheckDlgButton(dlg, id, id == checked ? BST_CHECKED : BST_UNCHECKED);
    Set_RadioTabStop(dlg, k_ActionButtons, (int)ARRAY_LEN(k_ActionButtons));

    const char *shown = "[Not applicable]", *caption = "";
    if (moving) {
        shown = page->doneDir;
        caption = "Done Directory:";
    } else if (action == AFTER_PASS_UNCHOSEN) {
        shown = "";
        caption = "Next queue:";
    } else if (action >= 0) {
        /* a position past the queues (only a damaged file gives one) names no queue */
        shown = action < targetCount ? targets[action].name : "";
        caption = "Next queue:";
    }
    SetDlgItemTextA(dlg, IDC_CU_TARGET, shown);
    SetDlgItemTextA(dlg, IDC_CU_TARGET_GROUP, caption);
    Enable(dlg, IDC_CU_TARGET, moving || passing);
    Enable(dlg, IDC_CU_BROWSE, moving || passing);
    /* Force-overwrite is a setting of the done directory; with a queue still to choose it stays
       open to change, with a chosen queue it rests as it is. */
    Enable(dlg, IDC_CU_OVERWRITE, moving || action == AFTER_PASS_UNCHOSEN);
    Enable(dlg, IDC_CU_LIMIT, moving);
    Enable(dlg, IDC_CU_LIMIT_LABEL, moving && page->limitDoneFiles);
    Enable(dlg, IDC_CU_LIMIT_COUNT, moving && page->limitDoneFiles);
    Enable(dlg, IDC_CU_LIMIT_SPIN, moving && page->limitDoneFiles);

    p->actionIcon = Action_Icon(page);
    InvalidateRect(dlg, &p->iconPlace, TRUE);
}

static void On_Target_Enter(HWND dlg);

static void Load_CleanUp(HWND dlg)
{
    const Target *page = Copy_Of(dlg);
    CLEANUP_PAGE *p = CleanUp_Of(dlg);
    if (Get_ControlRect(dlg, IDC_CU_ICON, &p->iconPlace)) ShowWindow(GetDlgItem(dlg, IDC_CU_ICON), SW_HIDE);
    if (p->banner == NULL) {
        p->banner = (HBITMAP)LoadImageA(hInstance, MAKEINTRESOURCEA(IDB_CLEANUP_BANNER), IMAGE_BITMAP, 0, 0, 0);
        SendDlgItemMessageA(dlg, IDC_CU_BANNER, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)p->banner);
    }
    /* a hidden queue is never suspended on errors */
    Enable(dlg, IDC_CU_SUSPEND, !page->hidden);
    HWND target = GetDlgItem(dlg, IDC_CU_TARGET);
    Limit_Text(target, MAX_PATH - 1);
    Take_EnterKey(target, On_Target_Enter);
    Limit_Text(GetDlgItem(dlg, IDC_CU_LIMIT_COUNT), 10);
    Refresh_CleanUp(dlg);
}

/* Takes the text of the box for the action in effect: the done directory, or the queue the jobs
   are passed to (a name that names no queue leaves the action as it was). When validating, a
   text that will not do is told to the operator, the box is selected and FALSE returned. */
static BOOL Write_CleanUpTarget(HWND dlg, BOOL validate)
{
    Target *page = Copy_Of(dlg);
    char text[PATH_LEN];
    GetDlgItemTextA(dlg, IDC_CU_TARGET, text, MAX_PATH);
    BOOL ok = TRUE;
    if (page->afterAction == AFTER_MOVE_DONE) {
        ok = Check_DoneDir(page, text, sizeof text, validate);
        if (ok) Copy_Field(page->doneDir, text);
    } else if (page->afterAction >= 0 || page->afterAction == AFTER_PASS_UNCHOSEN) {
        ok = Check_NextQueue(page, text, validate, &page->afterAction);
    }
    if (!ok) {
        SetFocus(GetDlgItem(dlg, IDC_CU_TARGET));
        SendDlgItemMessageA(dlg, IDC_CU_TARGET, EM_SETSEL, 0, -1);
    }
    return ok;
}

/* OK, after the check boxes and the file limit: the text of the box for the action. */
static BOOL Save_CleanUpTarget(HWND dlg, void *) { return Write_CleanUpTarget(dlg, TRUE); }

static void Close_CleanUp(HWND dlg, BOOL)
{
    CLEANUP_PAGE *p = CleanUp_Of(dlg);
    if (p == NULL || p->banner == NULL) return;
    SendDlgItemMessageA(dlg, IDC_CU_BANNER, STM_SETIMAGE, IMAGE_BITMAP, 0);
    DeleteObject(p->banner);
    p->banner = NULL;
}

/* Enter in the box takes its text at once (a typed queue name shows its queue); elsewhere Enter
   presses OK. */
static void On_Target_Enter(HWND dlg)
{
    if (Copy_Of(dlg) == NULL) return;
    Write_CleanUpTarget(dlg, FALSE);
    Refresh_CleanUp(dlg);
}

/* A radio button: what was typed for the action in effect is kept first, so that coming back to
   it finds it again; the button of the action in effect changes nothing (a queue already chosen
   stays chosen). */
static void On_Action_Click(HWND dlg, int32_t action, const char *trace)
{
    Trace("%s", trace);
    Target *page = Copy_Of(dlg);
    Write_CleanUpTarget(dlg, FALSE);
    BOOL passing = page->afterAction >= 0 || page->afterAction == AFTER_PASS_UNCHOSEN;
    if (!(action == AFTER_PASS_UNCHOSEN && passing)) page->afterAction = action;
    Refresh_CleanUp(dlg);
}

static void On_Limit_Click(HWND dlg)
{
    Trace("queue Dlg: limit files in done dir\n");
    Target *page = Copy_Of(dlg);
    page->limitDoneFiles = IsDlgButtonChecked(dlg, IDC_CU_LIMIT) == BST_CHECKED;
    Write_CleanUpTarget(dlg, FALSE);
    Refresh_CleanUp(dlg);
}

static void On_Browse_Click(HWND dlg)
{
    Target *page = Copy_Of(dlg);
    if (page->afterAction == AFTER_MOVE_DONE) {
        Trace("queue Dlg: Done dir selection\n");
        Browse_Folder(dlg, IDC_CU_TARGET, "Done Directory", page->doneDir, sizeof page->doneDir);
        return;
    }
    Trace("queue Dlg: After queue\n");
    if (targetCount == 0) {
        Trace("No queues exist.. returning immediately\n");
        Info_Box(programTitle, "There are no queues to choose from yet.");
        return;
    }
    int pos = Choose_Target(dlg);
    if (pos < 0 || pos >= targetCount) return;
    page->afterAction = pos;
    Refresh_CleanUp(dlg);
}

static void On_CleanUp_Paint(HWND dlg)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(dlg, &ps);
    const CLEANUP_PAGE *p = CleanUp_Of(dlg);
    if (p != NULL && p->actionIcon != NULL)
        Draw_QueueIcon(hdc, p->iconPlace.left, p->iconPlace.top, p->actionIcon);
    EndPaint(dlg, &ps);
}

const PAGE_DEF cleanUpPage = {
    "AfterAction_Dlg(); wm_initdialog\n", "Queue Dlg: Done\n",
    "After Action dialog called but no target pointer passed in.  Cannot show dialog",
    sizeof(Target), k_CleanUpMap, ARRAY_LEN(k_CleanUpMap), k_CleanUpOwned, ARRAY_LEN(k_CleanUpOwned), IDC_CU_OK,
    sizeof(CLEANUP_PAGE), Load_CleanUp, NULL, Close_CleanUp,
};

INT_PTR CALLBACK AfterAction_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: On_CleanUp_Paint(hDlg); return TRUE;
    case WM_COMMAND:
        if (Copy_Of(hDlg) == NULL) break;
        switch (LOWORD(wParam)) {
        case IDC_CU_DELETE:    On_Action_Click(hDlg, AFTER_DELETE, "queue Dlg: After Delete\n");            return TRUE;
        case IDC_CU_RECYCLE:   On_Action_Click(hDlg, AFTER_RECYCLE, "queue Dlg: After Recycle\n");          return TRUE;
        case IDC_CU_MOVE:      On_Action_Click(hDlg, AFTER_MOVE_DONE, "queue Dlg: After Move To Done Dir\n"); return TRUE;
        case IDC_CU_NOTHING:   On_Action_Click(hDlg, AFTER_LEAVE, "queue Dlg: After Do Nothing\n");         return TRUE;
        case IDC_CU_PASS:      On_Action_Click(hDlg, AFTER_PASS_UNCHOSEN, "queue Dlg: After Send\n");       return TRUE;
        case IDC_CU_BROWSE:    On_Browse_Click(hDlg);                                                       return TRUE;
        case IDC_CU_LIMIT:     On_Limit_Click(hDlg);                                                        return TRUE;
        case IDC_CU_ALERT:     Trace("queue Dlg: On error - alert box\n");                                  return TRUE;
        case IDC_CU_SUSPEND:   Trace("queue Dlg: On error - suspend\n");                                    return TRUE;
        case IDC_CU_BEEP:      Trace("queue Dlg: Beep on complete\n");                                      return TRUE;
        case IDC_CU_OVERWRITE: Trace("queue Dlg: force file overwrites\n");                                 return TRUE;
        }
        break;
    }
    return Page_DefProc(hDlg, msg, wParam, lParam, &cleanUpPage);
}
