/* The Job Settings page: what a job gets when it arrives (copies, priority, suspended or not,
   thumbnails), whether the queue is hidden, how files still open are treated, job grouping and
   its count-down step, the file filter, and a line about the multi-job settings, which it edits
   on the Multi-Job Settings page opened on this page's own copy. */
#include "queueedit/pages.h"
#include "queueedit/pagewin.h"
#include "config/limits.h"
#include "queueedit/queuetext.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "config/model.h"
#include "resources/resource.h"

/* The rows are saved in this order: a refused number stops the save there, copies first. */
static const CTRL_MAP k_JobMap[] = {
    CM_INT_ROW(IDC_JS_COPIES, Target, copies, LIMIT_COPIES),
    CM_SPIN_ROW(IDC_JS_COPIES_SPIN, LIMIT_COPIES),
    CM_INT_ROW(IDC_JS_COUNTDOWN, Target, countDown, LIMIT_COUNT_DOWN),
    CM_SPIN_ROW(IDC_JS_COUNTDOWN_SPIN, LIMIT_COUNT_DOWN),
    CM_LIST_ROW(IDC_JS_PRIORITY, Target, priority, priorityNames, 1),
    CM_CHECK_ROW(IDC_JS_THUMBS_ALL, Target, thumbnailsOnArrival),
    CM_CHECK_ROW(IDC_JS_THUMBS_ACTIVE, Target, thumbnailsWhenActive),
    CM_CHECK_ROW(IDC_JS_HIDDEN, Target, hidden),
    CM_RADIO_ROW(IDC_JS_OPEN_ALWAYS, Target, openFilePolicy, 0),
    CM_RADIO_ROW(IDC_JS_OPEN_WRITE, Target, openFilePolicy, 1),
    CM_RADIO_ROW(IDC_JS_OPEN_READ, Target, openFilePolicy, 2),
    CM_CHECK_ROW(IDC_JS_GROUPING, Target, jobGrouping),
    CM_TEXTMAX_ROW(IDC_JS_EXTENSIONS, Target, filterExtensions, MAX_PATH - 1),
    CM_TEXTMAX_ROW(IDC_JS_EXCLUDE_DIR, Target, excludeFilterDir, MAX_PATH - 1),
};
/* The initial state has two entries for the values 7 and 0, the filter's options are bits, and
   the multi-job settings are edited on their own page. The included-files directory has no
   control here: the page leaves it as it is. */
static const FIELD_SPAN k_JobOwned[] = {
    FIELD_OF(Target, initialState),   FIELD_OF(Target, filterFlags),    FIELD_OF(Target, jobsAtATime),
    FIELD_OF(Target, timeoutAction),  FIELD_OF(Target, timeoutSeconds), FIELD_OF(Target, timeoutDir),
    FIELD_OF(Target, forceOverwriteTimeout),
};

/* filterFlags */
#define FILTER_EXCLUDE     0x001u    /* clear: the extensions are included */
#define FILTER_MODE_BITS   0x00Fu
#define FILTER_DIR_UNSET   0x010u
#define FILTER_DIR_CHOSEN  0x020u    /* an excluded-files directory has been chosen */
#define FILTER_DELETE      0x040u
#define FILTER_UNDELETED   0x080u    /* "Delete" has been cleared */
#define FILTER_OPTION_8    0x100u

/* The initial state list: "Suspended" first. */
#define STATE_SUSPENDED     0
#define STATE_NOT_SUSPENDED 1

static Target *Copy_Of(HWND dlg) { return (Target *)Page_Copy(dlg); }
static BOOL    Is_Checked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }

/* A hidden queue shows no thumbnails; a thumbnail only while the job is active leaves no choice
   about thumbnails for all jobs. */
static void Enable_Thumbnails(HWND dlg)
{
    BOOL hidden = Is_Checked(dlg, IDC_JS_HIDDEN);
    EnableWindow(GetDlgItem(dlg, IDC_JS_THUMBS_ACTIVE), !hidden);
    EnableWindow(GetDlgItem(dlg, IDC_JS_THUMBS_ALL), !hidden && !Is_Checked(dlg, IDC_JS_THUMBS_ACTIVE));
}

static void Show_MultiJob(HWND dlg)
{
    char text[SUMMARY_LEN];
    MultiJob_Summary(Copy_Of(dlg), text, sizeof text);
    SetDlgItemTextA(dlg, IDC_JS_MULTI_TEXT, text);
}

static void Load_JobSettings(HWND dlg)
{
    const Target *page = Copy_Of(dlg);
    HWND state = GetDlgItem(dlg, IDC_JS_STATE);
    SendMessageA(state, CB_RESETCONTENT, 0, 0);
    SendMessageA(state, CB_ADDSTRING, 0, (LPARAM) "Suspended");
    SendMessageA(state, CB_ADDSTRING, 0, (LPARAM) "Not suspended");
    BOOL suspended = page->initialState == 1 || page->initialState == 7;
    SendMessageA(state, CB_SETCURSEL, suspended ? STATE_SUSPENDED : STATE_NOT_SUSPENDED, 0);

    /* a queue that suspends on error cannot be hidden */
    EnableWindow(GetDlgItem(dlg, IDC_JS_HIDDEN), !page->suspendOnError);
    Enable_Thumbnails(dlg);
    Show_MultiJob(dlg);

    CheckDlgButton(dlg, IDC_JS_INCLUDE, (page->filterFlags & FILTER_EXCLUDE) ? BST_UNCHECKED : BST_CHECKED);
    CheckDlgButton(dlg, IDC_JS_EXCLUDE, (page->filterFlags & FILTER_EXCLUDE) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_JS_DELETE, (page->filterFlags & FILTER_DELETE) ? BST_CHECKED : BST_UNCHECKED);
}

/* The numbers have been checked by then (copies first, then the count-down step). The state
   list gives 7 or 0; the excluded-files directory, when there is one, must be a directory or a
   path on a drive. Nothing reaches the working copy before every check has passed. */
static BOOL Write_JobSettings(HWND dlg)
{
    Target *page = Copy_Of(dlg);
    LRESULT state = SendDlgItemMessageA(dlg, IDC_JS_STATE, CB_GETCURSEL, 0, 0);
    page->initialState = (state == STATE_NOT_SUSPENDED) ? 0 : 7;
    if (page->excludeFilterDir[0] != '\0' && !Check_DirText(page->excludeFilterDir, sizeof page->excludeFilterDir)) {
        Info_Box(programTitle, "The chosen Filter directory for excluded files is not a valid path name.  Please "
                               "correct the entry or select an existing directory using the chooser.");
        SetFocus(GetDlgItem(dlg, IDC_JS_EXCLUDE_DIR));
        SendDlgItemMessageA(dlg, IDC_JS_EXCLUDE_DIR, EM_SETSEL, 0, -1);
        return FALSE;
    }
    return TRUE;
}

static void On_ThumbsAll_Click(HWND) { Trace("Queue Job Settings Dlg: Display Low Res\n"); }

static void On_ThumbsActive_Click(HWND dlg)
{
    Trace("Queue Job Settings Dlg: Display Low Res During Job Active Only\n");
    Enable_Thumbnails(dlg);
}

static void On_Hidden_Click(HWND dlg)
{
    Trace("Queue Job Settings Dlg: Queue Hide/Display\n");
    Enable_Thumbnails(dlg);
}

static void On_Grouping_Click(HWND) { Trace("Queue Job Settings Dlg: Enable grouping\n"); }

/* Include or exclude: a change of mode starts the mode bits afresh. */
static void On_FilterMode_Click(HWND dlg, BOOL exclude)
{
    Target *page = Copy_Of(dlg);
    if (((page->filterFlags & FILTER_EXCLUDE) != 0) == exclude) return;
    page->filterFlags &= ~FILTER_MODE_BITS;
    if (exclude) page->filterFlags |= FILTER_EXCLUDE;
    CheckDlgButton(dlg, IDC_JS_INCLUDE, exclude ? BST_UNCHECKED : BST_CHECKED);
    CheckDlgButton(dlg, IDC_JS_EXCLUDE, exclude ? BST_CHECKED : BST_UNCHECKED);
}

/* Ticking "Delete" clears the options it replaces; clearing it is remembered. */
static void On_Delete_Click(HWND dlg)
{
    Target *page = Copy_Of(dlg);
    if (page->filterFlags & FILTER_DELETE) {
        page->filterFlags &= ~FILTER_DELETE;
        page->filterFlags |= FILTER_UNDELETED;
    } else {
        page->filterFlags &= ~(FILTER_DELETE | FILTER_UNDELETED | FILTER_OPTION_8);
        page->filterFlags |= FILTER_DELETE;
    }
    CheckDlgButton(dlg, IDC_JS_DELETE, (page->filterFlags & FILTER_DELETE) ? BST_CHECKED : BST_UNCHECKED);
}

static void On_Browse_Click(HWND dlg)
{
    Target *page = Copy_Of(dlg);
    BOOL chosen = Browse_Folder(dlg, IDC_JS_EXCLUDE_DIR, "Exclude Filter Done Directory", page->excludeFilterDir,
                                sizeof page->excludeFilterDir);
    if (chosen) page->filterFlags = (page->filterFlags & ~FILTER_DIR_UNSET) | FILTER_DIR_CHOSEN;
}

/* The Multi-Job Settings page works on this page's copy; Cancel here drops what it changed. */
static void On_MultiJob_Click(HWND dlg)
{
    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_MULTIJOB), dlg, QueueMultiJobSettings_Dlg,
                    (LPARAM)Page_Copy(dlg));
    Show_MultiJob(dlg);
}

const PAGE_DEF jobSettingsPage = {
    "QueueJobSettings_Dlg(); wm_initdialog\n", "Queue Job Settings Dlg: OK\n",
    "Queue Job Settings dialog called but no target pointer passed in.  Cannot show dialog",
    sizeof(Target), k_JobMap, ARRAY_LEN(k_JobMap), k_JobOwned, ARRAY_LEN(k_JobOwned), IDOK, 0,
    Load_JobSettings, Write_JobSettings, NULL,
};

INT_PTR CALLBACK QueueJobSettings_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && Page_Copy(hDlg) != NULL) {
        switch (LOWORD(wParam)) {
        case IDC_JS_THUMBS_ALL:    On_ThumbsAll_Click(hDlg);         return TRUE;
        case IDC_JS_THUMBS_ACTIVE: On_ThumbsActive_Click(hDlg);      return TRUE;
        case IDC_JS_HIDDEN:        On_Hidden_Click(hDlg);            return TRUE;
        case IDC_JS_GROUPING:      On_Grouping_Click(hDlg);          return TRUE;
        case IDC_JS_INCLUDE:       On_FilterMode_Click(hDlg, FALSE); return TRUE;
        case IDC_JS_EXCLUDE:       On_FilterMode_Click(hDlg, TRUE);  return TRUE;
        case IDC_JS_DELETE:        On_Delete_Click(hDlg);            return TRUE;
        case IDC_JS_BROWSE:        On_Browse_Click(hDlg);            return TRUE;
        case IDC_JS_MULTI:         On_MultiJob_Click(hDlg);          return TRUE;
        }
    }
    return Page_DefProc(hDlg, msg, wParam, lParam, &jobSettingsPage);
}
