/* The Multi-Job Settings page: how many jobs the queue processes together, whether it waits for
   that many with a time-out, and what happens to the jobs still waiting when the time runs out:
   processed anyway, recycled, deleted, moved to a directory or passed to another queue. Opened
   from the Job Settings page on that page's copy. */
#include "queueedit/pages.h"
#include "config/limits.h"
#include "queueedit/pagewin.h"
#include "queueedit/queuetext.h"
#include "queueedit/targetchoices.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/validate.h"
#include "config/model.h"
#include "resources/resource.h"
#include <stdlib.h>

/* The time-out as it is typed: minutes and seconds, together at most a day. */
static const DURATION_PART k_TimeoutParts[] = {
    { IDC_MJ_MINUTES, 60, { 0, 1440 }, NULL },
    { IDC_MJ_SECONDS, 1, { 0, 60 }, NULL },
};
static const DURATION_DEF k_Timeout = {
    k_TimeoutParts, (int)ARRAY_LEN(k_TimeoutParts), LIMIT_TIMEOUT_SECONDS, FALSE, 0, NULL, IDC_MJ_SECONDS,
    "The time-out can be at most %d minutes (one day).  Please shorten it.", IDC_MJ_SECONDS,
};

/* Passing waiting jobs to a queue not chosen yet: the page's own action, never stored. */
#define TIMEOUT_UNCHOSEN -4

static const CTRL_MAP k_MultiJobMap[] = {
    CM_INT_ROW(IDC_MJ_JOBS, Target, jobsAtATime, LIMIT_JOBS_AT_A_TIME),
    CM_DURATION_ROW(IDC_MJ_MINUTES, Target, timeoutSeconds, k_Timeout),
    CM_SPIN_ROW(IDC_MJ_JOBS_SPIN, LIMIT_JOBS_AT_A_TIME),
    CM_SPIN_ROW(IDC_MJ_MINUTES_SPIN, k_TimeoutParts[0].range),
    CM_SPIN_ROW(IDC_MJ_SECONDS_SPIN, k_TimeoutParts[1].range),
};
/* The action is put together from several controls; the directory comes from the target text
   only when waiting jobs are moved to a directory; "Force overwrite" is read at OK, where it may
   be disabled. */
static const FIELD_SPAN k_MultiJobOwned[] = {
    FIELD_OF(Target, timeoutAction), FIELD_OF(Target, timeoutDir), FIELD_OF(Target, forceOverwriteTimeout),
};

/* The page's own state. The icons are resource icons, shared and never destroyed. */
typedef struct {
    BOOL  loaded;          /* Load has run: changes of the jobs field refresh the page */
    int   followOn;        /* the follow-on queue chosen or loaded, or -1 */
    int   previous;        /* the time-out action to come back to from "Never time-out" */
    HICON timeoutIcon;     /* 175 */
    HICON anywayIcon;      /* 176 */
    HICON shownTimeout;    /* what is drawn at each place (NULL: nothing) */
    HICON shownAction;
    RECT  timeoutPlace;
    RECT  actionPlace;
} MULTIJOB_PAGE;

static const int k_ActionRadios[] = { IDC_MJ_ANYWAY, IDC_MJ_RECYCLE, IDC_MJ_DELETE, IDC_MJ_MOVE, IDC_MJ_PASS };
static const int k_TimeoutControls[] = { IDC_MJ_MINUTES, IDC_MJ_MINUTES_SPIN, IDC_MJ_SECONDS, IDC_MJ_SECONDS_SPIN };
static const int k_TargetControls[] = { IDC_MJ_TARGET, IDC_MJ_BROWSE, IDC_MJ_FORCE };

static Target        *Copy_Of(HWND dlg) { return (Target *)Page_Copy(dlg); }
static MULTIJOB_PAGE *MultiJob_Of(HWND dlg) { return (MULTIJOB_PAGE *)Page_Extra(dlg); }

static void Enable_Ids(HWND dlg, const int *ids, size_t count, BOOL on)
{
    for (size_t i = 0; i < count; i++) EnableWindow(GetDlgItem(dlg, ids[i]), on);
}

static HICON Shared_Icon(int which, int id)
{
    return sharedIcons[which] != NULL ? sharedIcons[which] : LoadIconA(hInstance, MAKEINTRESOURCEA(id));
}

/* The picture of the processes queue t runs; *id the icon's number (0 for an application's own). */
static HICON Queue_Picture(const Target *t, int *id)
{
    int app;
    switch (Process_Icon(t, &app)) {
    case SI_PARALLEL: *id = IDI_PARALLEL; return Shared_Icon(ICON_PARALLEL, IDI_PARALLEL);
    case SI_SERIES:   *id = IDI_SERIES;   return Shared_Icon(ICON_SERIES, IDI_SERIES);
    case SI_APP:
        if (apps[app].icon != NULL) {
            *id = 0;
            return apps[app].icon;
        }
        *id = IDI_PROGRAM;
        return Shared_Icon(ICON_PROGRAM, IDI_PROGRAM);
    }
    *id = IDI_NO_PROCESSES;
    return Shared_Icon(ICON_NO_PROCESSES, IDI_NO_PROCESSES);
}

/* The number in the jobs field as far as it can be read; what the page copy holds otherwise. */
static int Typed_Jobs(HWND dlg)
{
    char text[32];
    GetDlgItemTextA(dlg, IDC_MJ_JOBS, text, sizeof text);
    char *end;
    long n = strtol(text, &end, 10);
    return end == text ? (int)Copy_Of(dlg)->jobsAtATime : (int)n;
}

/* Shows the page for the action in the page copy: which parts take input, which radio buttons
   are checked, the pictures and the target text. keepTarget (after a change of the jobs field)
   leaves the target text as it is. */
static void Refresh(HWND dlg, BOOL keepTarget)
{
    Target *page = Copy_Of(dlg);
    MULTIJOB_PAGE *p = MultiJob_Of(dlg);
    int jobs = Typed_Jobs(dlg), action = page->timeoutAction;
    BOOL timeoutOn = jobs >= 2 && action != TIMEOUT_NEVER;
    BOOL targetOn = timeoutOn && (action == TIMEOUT_MOVE || action == TIMEOUT_UNCHOSEN || action >= 0);

    EnableWindow(GetDlgItem(dlg, IDC_MJ_NEVER), jobs > 1);
    EnableWindow(GetDlgItem(dlg, IDC_MJ_TIMEOUT), jobs > 1);
    CheckDlgButton(dlg, IDC_MJ_NEVER, action == TIMEOUT_NEVER ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_MJ_TIMEOUT, action != TIMEOUT_NEVER ? BST_CHECKED : BST_UNCHECKED);
    Enable_Ids(dlg, k_TimeoutControls, ARRAY_LEN(k_TimeoutControls), timeoutOn);
    Enable_Ids(dlg, k_ActionRadios, ARRAY_LEN(k_ActionRadios), timeoutOn);
    Enable_Ids(dlg, k_TargetControls, ARRAY_LEN(k_TargetControls), targetOn);
    for (int id : k_ActionRadios) CheckDlgButton(dlg, id, BST_UNCHECKED);

    int checked = 0, iconId = 0;
    HICON icon = NULL;
    const char *target = "";
    switch (action) {
    case TIMEOUT_DELETE:
        checked = IDC_MJ_DELETE;
        iconId = IDI_DELETE_JOBS;
        icon = Shared_Icon(ICON_DELETE_JOBS, iconId);
        break;
    case TIMEOUT_RECYCLE:
        checked = IDC_MJ_RECYCLE;
        iconId = IDI_RECYCLE_JOBS;
        icon = Shared_Icon(ICON_RECYCLE_JOBS, iconId);
        break;
    case TIMEOUT_UNCHOSEN:
        checked = IDC_MJ_PASS;
        break;
    case TIMEOUT_MOVE:
        checked = IDC_MJ_MOVE;
        iconId = IDI_MOVE_JOBS;
        icon = Shared_Icon(ICON_MOVE_JOBS, iconId);
        target = page->timeoutDir;
        break;
    case TIMEOUT_PROCESS:
        checked = IDC_MJ_ANYWAY;
        iconId = IDI_PROCESS_ANYWAY;
        icon = p->anywayIcon;
        break;
    case TIMEOUT_NEVER:
        break;
    default:
        if (action < 0) break;
        checked = IDC_MJ_PASS;
        if (action < targetCount) {           /* a queue that is no longer there shows no name */
            icon = Queue_Picture(&targets[action], &iconId);
            target = targets[action].name;
        }
        break;
    }
    if (checked != 0) CheckDlgButton(dlg, checked, BST_CHECKED);
    if (!keepTarget) SetDlgItemTextA(dlg, IDC_MJ_TARGET, target);
    if (action != TIMEOUT_NEVER && action != TIMEOUT_UNCHOSEN) p->previous = action;
    Trace("Action icon = %d\n", iconId);

    p->shownTimeout = timeoutOn ? p->timeoutIcon : NULL;
    p->shownAction = timeoutOn ? icon : NULL;
    InvalidateRect(dlg, &p->timeoutPlace, TRUE);
    InvalidateRect(dlg, &p->actionPlace, TRUE);
}

static void Load_MultiJob(HWND dlg)
{
    const Target *page = Copy_Of(dlg);
    MULTIJOB_PAGE *p = MultiJob_Of(dlg);
    if (Get_ControlRect(dlg, IDC_MJ_TIMEOUT_ICON, &p->timeoutPlace)) ShowWindow(GetDlgItem(dlg, IDC_MJ_TIMEOUT_ICON), SW_HIDE);
    if (Get_ControlRect(dlg, IDC_MJ_ACTION_ICON, &p->actionPlace)) ShowWindow(GetDlgItem(dlg, IDC_MJ_ACTION_ICON), SW_HIDE);
    p->timeoutIcon = LoadIconA(hInstance, MAKEINTRESOURCEA(IDI_TIMEOUT));
    p->anywayIcon = LoadIconA(hInstance, MAKEINTRESOURCEA(IDI_PROCESS_ANYWAY));

    p->followOn = page->timeoutAction >= 0 ? page->timeoutAction : -1;
    p->previous = page->timeoutAction == TIMEOUT_NEVER ? TIMEOUT_PROCESS : page->timeoutAction;
    CheckDlgButton(dlg, IDC_MJ_FORCE, page->forceOverwriteTimeout ? BST_CHECKED : BST_UNCHECKED);
    Limit_Text(GetDlgItem(dlg, IDC_MJ_TARGET), MAX_PATH - 1);
    p->loaded = TRUE;
    Refresh(dlg, FALSE);
}

static void Select_Field(HWND dlg, int id)
{
    SetFocus(GetDlgItem(dlg, id));
    SendDlgItemMessageA(dlg, id, EM_SETSEL, 0, -1);
}

/* A time-out directory must be a directory or a path on a drive, and not a place the queue
   itself takes jobs from: the waiting jobs would come straight back. Another queue's hot
   directory may be meant (the jobs go on to that queue): the operator is asked. */
static BOOL Check_TimeoutDir(HWND dlg, const Target *page, char *dir, size_t cap)
{
    if (!Check_DirText(dir, cap)) {
        Info_Box(programTitle, "The chosen follow on directory is not a valid path name.  Please correct the entry or "
                               "select an existing directory using the chooser.");
        Select_Field(dlg, IDC_MJ_TARGET);
        return FALSE;
    }
    char other[TEXT_LEN];
    switch (Hot_DirTaker(dir, page, other, sizeof other)) {
    case TAKER_SELF:
        Info_Box(programTitle, "Waiting jobs cannot be moved to this queue's own hot directory (or a directory inside "
                               "it while its sub-directories are included): they would come straight back into this "
                               "queue.  Please choose another directory.");
        Select_Field(dlg, IDC_MJ_TARGET);
        return FALSE;
    case TAKER_OTHER:
        if (Message_Box(programTitle, MB_YESNO | MB_ICONQUESTION | MB_EDITOR,
                        "The chosen follow on directory is watched by the queue \"%s\": waiting jobs moved there "
                        "will be taken in by that queue.  Do you want to keep this directory?",
                        other) != IDYES) {
            Select_Field(dlg, IDC_MJ_TARGET);
            return FALSE;
        }
        break;
    }
    return TRUE;
}

/* The jobs field and the time-out have been checked and stored in the page copy by then. Every
   check runs before anything reaches the caller: a refusal leaves the page as the operator left
   it and the caller's record untouched. */
static BOOL Write_MultiJob(HWND dlg)
{
    Target *page = Copy_Of(dlg);
    const Target *caller = (const Target *)Page_Work(dlg);
    int action = page->jobsAtATime == 1 ? TIMEOUT_NEVER : page->timeoutAction;

    /* a queue's name typed below counts as chosen */
    char text[MAX_PATH];
    GetDlgItemTextA(dlg, IDC_MJ_TARGET, text, sizeof text);
    if (action == TIMEOUT_UNCHOSEN && Is_BlankText(text)) {
        Info_Box(programTitle, "No queue for passing waiting jobs to has been chosen.  Cannot continue with save.");
        Select_Field(dlg, IDC_MJ_TARGET);
        return FALSE;
    }
    char dir[TEXT_LEN];
    Copy_Field(dir, caller->timeoutDir);
    if (action == TIMEOUT_MOVE) {
        if (!Check_TimeoutDir(dlg, page, text, sizeof text)) return FALSE;
        Copy_Field(dir, text);
    }
    if (action >= 0 || action == TIMEOUT_UNCHOSEN) {
        int match = Find_TargetByName(text);
        if (match < 0) {
            Info_Box(programTitle, "The chosen follow on queue has not been recognised.  Please correct the entry or "
                                   "select another.");
            Select_Field(dlg, IDC_MJ_TARGET);
            return FALSE;
        }
        if (match == page->slotIndex &&
            Message_Box(programTitle, MB_YESNO | MB_ICONSTOP | MB_EDITOR,
                        "The chosen follow on queue is also the current queue.  Are you sure you want to keep "
                        "re-queuing files infinitely in this queue?") != IDYES)
            return FALSE;
        action = match;
    }
    page->timeoutAction = action;
    Copy_Field(page->timeoutDir, dir);
    page->forceOverwriteTimeout = IsDlgButtonChecked(dlg, IDC_MJ_FORCE) == BST_CHECKED;
    return TRUE;
}

static void Set_Action(HWND dlg, int action)
{
    Copy_Of(dlg)->timeoutAction = action;
    Refresh(dlg, FALSE);
}

/* Back to the time-out: the action chosen before "Never time-out" (once it is on, it stays). */
static void On_Timeout_Click(HWND dlg)
{
    if (Copy_Of(dlg)->timeoutAction == TIMEOUT_NEVER) Set_Action(dlg, MultiJob_Of(dlg)->previous);
    else Refresh(dlg, FALSE);
}

static void On_Pass_Click(HWND dlg)
{
    int followOn = MultiJob_Of(dlg)->followOn;
    Set_Action(dlg, followOn >= 0 ? followOn : TIMEOUT_UNCHOSEN);
}

static void On_Browse_Click(HWND dlg)
{
    Target *page = Copy_Of(dlg);
    MULTIJOB_PAGE *p = MultiJob_Of(dlg);
    if (page->timeoutAction == TIMEOUT_MOVE) {
        Trace("queue Dlg: Next dir selection\n");
        Browse_Folder(dlg, IDC_MJ_TARGET, "Directory to Move Waiting Jobs To", page->timeoutDir, sizeof page->timeoutDir);
    } else {
        if (targetCount == 0) {
            Trace("No queues exist.. returning immediately\n");
            Info_Box(programTitle, "There are no queues to choose from yet.");
            return;
        }
        char cwd[MAX_PATH];
        DWORD n = GetCurrentDirectoryA(sizeof cwd, cwd);
        int chosen = Choose_Target(dlg);
        if (n > 0 && n < sizeof cwd) SetCurrentDirectoryA(cwd);
        if (chosen < 0 || chosen >= targetCount) return;
        Trace("queue Dlg: After queue\n");
        page->timeoutAction = p->followOn = chosen;
        if (chosen == page->slotIndex)
            Message_Box(programTitle, MB_OK | MB_ICONWARNING | MB_EDITOR,
                        "Warning: The chosen follow on queue is also the current queue.  Jobs will not be moved out "
                        "of this queue given the current setting.");
    }
    Refresh(dlg, FALSE);
}

static void On_MultiJob_Paint(HWND dlg)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(dlg, &ps);
    const MULTIJOB_PAGE *p = MultiJob_Of(dlg);
    if (p != NULL) {
        if (p->shownTimeout != NULL)
            Draw_QueueIcon(hdc, p->timeoutPlace.left, p->timeoutPlace.top, p->shownTimeout);
        if (p->shownAction != NULL)
            Draw_QueueIcon(hdc, p->actionPlace.left, p->actionPlace.top, p->shownAction);
    }
    EndPaint(dlg, &ps);
}

const PAGE_DEF multiJobPage = {
    "QueueMultiJobSettings_Dlg(); wm_initdialog\n", "Queue Multi Job Settings Dlg: OK\n",
    "Queue Multi Job Settings dialog called but no target pointer passed in.  Cannot show dialog",
    sizeof(Target), k_MultiJobMap, ARRAY_LEN(k_MultiJobMap), k_MultiJobOwned, ARRAY_LEN(k_MultiJobOwned), IDOK,
    sizeof(MULTIJOB_PAGE), Load_MultiJob, Write_MultiJob, NULL,
};

INT_PTR CALLBACK QueueMultiJobSettings_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    MULTIJOB_PAGE *p = MultiJob_Of(hDlg);
    switch (msg) {
    case WM_PAINT:
        On_MultiJob_Paint(hDlg);
        return TRUE;
    case WM_COMMAND:
        if (p == NULL || !p->loaded) break;
        if (LOWORD(wParam) == IDC_MJ_JOBS && HIWORD(wParam) == EN_CHANGE) {
            Refresh(hDlg, TRUE);
            return TRUE;
        }
        if (HIWORD(wParam) != BN_CLICKED) break;
        switch (LOWORD(wParam)) {
        case IDC_MJ_NEVER:   Set_Action(hDlg, TIMEOUT_NEVER);   return TRUE;
        case IDC_MJ_TIMEOUT: On_Timeout_Click(hDlg);            return TRUE;
        case IDC_MJ_ANYWAY:  Set_Action(hDlg, TIMEOUT_PROCESS); return TRUE;
        case IDC_MJ_RECYCLE: Set_Action(hDlg, TIMEOUT_RECYCLE); return TRUE;
        case IDC_MJ_DELETE:  Set_Action(hDlg, TIMEOUT_DELETE);  return TRUE;
        case IDC_MJ_MOVE:    Set_Action(hDlg, TIMEOUT_MOVE);    return TRUE;
        case IDC_MJ_PASS:    On_Pass_Click(hDlg);               return TRUE;
        case IDC_MJ_BROWSE:  On_Browse_Click(hDlg);             return TRUE;
        }
        break;
    }
    return Page_DefProc(hDlg, msg, wParam, lParam, &multiJobPage);
}
