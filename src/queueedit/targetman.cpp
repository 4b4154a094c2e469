/* The queue editor's frame, "Overview": a working copy of one output queue, a summary and a
   picture for each section of it, a "Change..." button that opens the section's page on the
   working copy, and OK that checks and commits the copy (Cancel drops it), on the frame protocol
   of common/frame.h. What needs no window is in targetwork.cpp (the copy) and queuetext.cpp (the
   summaries). */
#include "queueedit/targetman.h"
#include "queueedit/pages.h"
#include "queueedit/queuetext.h"
#include "queueedit/pagewin.h"
#include "queueedit/targetwork.h"
#include "common/appstate.h"
#include "common/ctrlmap.h"
#include "common/frame.h"
#include "common/dlgutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "config/model.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <stdlib.h>

/* One section of the overview a row, in the order of the dialog: its controls, its summary and
   the page its "Change..." button opens (a row without a procedure would leave its button
   disabled). after runs once the page has closed, whatever its result; then every summary is
   built again. */
typedef struct {
    int        change;     /* its "Change..." button */
    int        text;       /* its summary */
    int        place;      /* the hidden placeholder where its picture is drawn */
    SUMMARY_FN summary;
    int        templ;      /* the page's dialog template */
    DLGPROC    page;       /* the page's procedure */
    QUEUE_PAGE name;       /* the page, as commands that open the editor on it name it */
    void     (*after)(const Target *work);
} FRAME_SECTION;

static const FRAME_SECTION k_Sections[] = {
    /* button         summary               picture               summary builder       page                                                         */
    { IDC_OV_INPUTS,   IDC_OV_INPUTS_TEXT,   IDC_OV_INPUTS_ICON,   Summary_Inputs,       IDD_INPUTS,   QueueInputs_Dlg,   QPAGE_INPUTS, NULL },
    { IDC_OV_THUMBS,   IDC_OV_THUMBS_TEXT,   IDC_OV_THUMBS_ICON,   Summary_Thumbnails,   IDD_THUMBDIR, QueueLowResImageDir_Dlg, QPAGE_THUMBDIR, NULL },
    { IDC_OV_JOBS,     IDC_OV_JOBS_TEXT,     IDC_OV_JOBS_ICON,     Summary_JobSettings,  IDD_JOBSETTINGS, QueueJobSettings_Dlg, QPAGE_JOBSETTINGS, NULL },
    { IDC_OV_PROCS,    IDC_OV_PROCS_TEXT,    IDC_OV_PROCS_ICON,    Summary_Processes,    IDD_PROCESSES, QueueProcesses_Dlg, QPAGE_PROCESSES, NULL },
    { IDC_OV_RTI,      IDC_OV_RTI_TEXT,      IDC_OV_RTI_ICON,      Summary_Instructions, IDD_RTI,      QueueRTI_Dlg,      QPAGE_INSTRUCTIONS, NULL },
    { IDC_OV_CLEANUP,  IDC_OV_CLEANUP_TEXT,  IDC_OV_CLEANUP_ICON,  Summary_CleanUp,      IDD_CLEANUP,  AfterAction_Dlg,   QPAGE_CLEANUP, NULL },
    { IDC_OV_IDENTITY, IDC_OV_IDENTITY_TEXT, IDC_OV_IDENTITY_ICON, Summary_Identity,     IDD_IDENTITY, QueueIdentity_Dlg, QPAGE_IDENTITY, Propagate_SwitchIfIdle },
};
#define SECTION_COUNT ((int)ARRAY_LEN(k_Sections))

/* Pages opened from a page, by the page's button that opens them. */
typedef struct {
    QUEUE_PAGE name;
    QUEUE_PAGE parent;
    int        button;     /* on the parent page */
} FRAME_SUBPAGE;

static const FRAME_SUBPAGE k_SubPages[] = {
    { QPAGE_MULTIJOB, QPAGE_JOBSETTINGS, IDC_JS_MULTI },
};

/* The frame's own state, beside its working copy (a Target). */
typedef struct {
    int        pos;                       /* where the copy goes back (targetCount: a new queue) */
    HICON      held;                      /* the icon the working copy holds: the frame's own */
    RECT       place[SECTION_COUNT];      /* where each section's picture is drawn */
    HICON      shown[SECTION_COUNT];      /* the picture drawn there (not owned) */
    char       typed[TEXT_LEN];           /* the name as OK found it, before the checks */
} OVERVIEW;

/* Posted to itself at opening: open the page asked for (wParam: its QUEUE_PAGE). */
#define WM_OPEN_PAGE    (WM_APP + 1)
/* Posted to itself just before a page opens that is to open one of its own pages at once: it
   comes in from the page's message loop, when the page is the frame's enabled popup (wParam:
   the page's button that opens its page). */
#define WM_OPEN_SUBPAGE (WM_APP + 2)

static Target   *Work_Of(HWND dlg)     { return (Target *)Frame_Copy(dlg); }
static OVERVIEW *Overview_Of(HWND dlg) { return (OVERVIEW *)Frame_Extra(dlg); }

static BOOL Save_Name(HWND dlg, void *rec);

/* The name is loaded by the table; OK takes it as typed and the checks decide what goes in. */
static const CTRL_MAP k_OverviewMap[] = {
    CM_TEXT_ROW_BY(IDC_OV_NAME, Target, name, Save_Name),
};

/* ---- summaries and pictures ---- */

static HICON Resource_Icon(int id) { return LoadIconA(hInstance, MAKEINTRESOURCEA(id)); }

/* One of the icons loaded at start-up (or, before that, the same icon from the resources). */
static HICON Shared_Icon(int which, int id)
{
    return sharedIcons[which] != NULL ? sharedIcons[which] : Resource_Icon(id);
}

static HICON Summary_Picture(const SUMMARY *s, const Target *work)
{
    switch (s->icon) {
    case SI_QUEUE:        return work->icon;
    case SI_DIRECTORY:    return Shared_Icon(ICON_MOVE_JOBS, IDI_MOVE_JOBS);
    case SI_JOB_SETTINGS: return Resource_Icon(IDI_JOB_SETTINGS);
    case SI_PROCESSES:    return Resource_Icon(IDI_PROCESSES);
    case SI_NO_PROCESSES: return Shared_Icon(ICON_NO_PROCESSES, IDI_NO_PROCESSES);
    case SI_PARALLEL:     return Shared_Icon(ICON_PARALLEL, IDI_PARALLEL);
    case SI_SERIES:       return Shared_Icon(ICON_SERIES, IDI_SERIES);
    case SI_PARAMETERS:   return Resource_Icon(IDI_PARAMETERS);
    case SI_PARAM_FILE:   return Resource_Icon(IDI_PARAM_FILE);
    case SI_DELETE:       return Shared_Icon(ICON_DELETE_JOBS, IDI_DELETE_JOBS);
    case SI_RECYCLE:      return Shared_Icon(ICON_RECYCLE_JOBS, IDI_RECYCLE_JOBS);
    case SI_IDENTITY:     return Resource_Icon(IDI_IDENTITY);
    case SI_APP:
        /* an application without an icon of its own shows the default application icon */
        if (s->app >= 0 && s->app < MAX_APPS && apps[s->app].icon != NULL) return apps[s->app].icon;
        return Shared_Icon(ICON_PROGRAM, IDI_PROGRAM);
    }
    return NULL;
}

/* Paths and names are shortened to the width of the summary, measured in its font. */
typedef struct {
    HDC dc;
    int width;
} FIT_CTX;

static void Fit_ToSummary(void *ctx, const char *text, char *out, size_t cap, int mode)
{
    const FIT_CTX *c = (const FIT_CTX *)ctx;
    Fit_Text(c->dc, text, out, cap, c->width, mode);
}

static void Show_Section(HWND dlg, int k)
{
    const FRAME_SECTION *s = &k_Sections[k];
    const Target *work = Work_Of(dlg);
    OVERVIEW *o = Overview_Of(dlg);
    HWND text = GetDlgItem(dlg, s->text);
    RECT rc;
    GetClientRect(text, &rc);
    HDC dc = GetDC(text);
    HFONT font = (HFONT)SendMessageA(text, WM_GETFONT, 0, 0);
    HGDIOBJ old = font != NULL ? SelectObject(dc, font) : NULL;
    FIT_CTX ctx = { dc, rc.right - rc.left };
    TEXT_FITTER fitter = { Fit_ToSummary, &ctx };
    SUMMARY sum;
    s->summary(work, &fitter, &sum);
    if (old != NULL) SelectObject(dc, old);
    ReleaseDC(text, dc);
    SetWindowTextA(text, sum.text);
    o->shown[k] = Summary_Picture(&sum, work);
    InvalidateRect(dlg, &o->place[k], TRUE);
}

static void Show_Sections(HWND dlg)
{
    for (int k = 0; k < SECTION_COUNT; k++) Show_Section(dlg, k);
}

/* ---- the name ---- */

/* Enter in the name takes the name into the working copy and leaves the dialog open; elsewhere
   it presses OK. */
static void On_Name_Enter(HWND dlg)
{
    Target *work = Work_Of(dlg);
    if (work != NULL) GetDlgItemTextA(dlg, IDC_OV_NAME, work->name, sizeof work->name);
}

/* ---- the frame: opening, OK, closing ---- */

/* The creation argument: the position in its low word, the page to open at once in its high
   word. A position that leaves no room for a new queue is told and the editor does not open. */
static BOOL Open_Overview(HWND dlg, LPARAM arg)
{
    OVERVIEW *o = Overview_Of(dlg);
    int pos = Editor_Position((int)LOWORD(arg));
    if (pos < 0) {
        Play_Beep(MB_ICONHAND);
        Message_Box(programTitle, MB_OK | MB_ICONERROR | MB_EDITOR, "The maximum number of queues (%d) has been reached",
                    MAX_QUEUES);
        return FALSE;
    }
    o->pos = pos;
    Open_TargetWork(pos, Work_Of(dlg));
    o->held = Work_Of(dlg)->icon;
    QUEUE_PAGE page = (QUEUE_PAGE)HIWORD(arg);
    if (page != QPAGE_NONE && page != QPAGE_OVERVIEW) PostMessageA(dlg, WM_OPEN_PAGE, (WPARAM)page, 0);
    return TRUE;
}

static void Load_Overview(HWND dlg)
{
    OVERVIEW *o = Overview_Of(dlg);
    Take_EnterKey(GetDlgItem(dlg, IDC_OV_NAME), On_Name_Enter);
    for (int k = 0; k < SECTION_COUNT; k++) {
        const FRAME_SECTION *s = &k_Sections[k];
        Get_ControlRect(dlg, s->place, &o->place[k]);
        ShowWindow(GetDlgItem(dlg, s->place), SW_HIDE);
        EnableWindow(GetDlgItem(dlg, s->change), s->page != NULL);
    }
    Show_Sections(dlg);
}

static BOOL Save_Name(HWND dlg, void *)
{
    OVERVIEW *o = Overview_Of(dlg);
    GetDlgItemTextA(dlg, IDC_OV_NAME, o->typed, sizeof o->typed);
    return TRUE;
}

/* The name as typed goes into the working copy without the blanks around it, once the queue
   passes its checks (a refused one leaves the copy as it was). */
static BOOL Check_Overview(HWND dlg)
{
    Target *work = Work_Of(dlg);
    OVERVIEW *o = Overview_Of(dlg);
    char name[TEXT_LEN];
    if (!Check_TargetWork(work, o->pos, o->typed, name, sizeof name)) return FALSE;
    Copy_Field(work->name, name);
    return TRUE;
}

static BOOL Commit_Overview(HWND dlg)
{
    OVERVIEW *o = Overview_Of(dlg);
    Commit_TargetWork(Work_Of(dlg), o->pos);
    o->held = NULL;                   /* the array slot holds it now */
    return TRUE;
}

static void Close_Overview(HWND dlg, BOOL committed)
{
    if (!committed) Drop_TargetWork(Work_Of(dlg));
}

const FRAME_DEF overviewFrame = {
    "TargetMan_Dlg(); wm_initdialog\n", sizeof(Target), sizeof(OVERVIEW), k_OverviewMap, ARRAY_LEN(k_OverviewMap),
    IDC_OV_OK, 0, -1, Open_Overview, Load_Overview, Check_Overview, Commit_Overview, Close_Overview,
};

/* ---- the pages ---- */

static int Section_Of_Page(QUEUE_PAGE page)
{
    for (int k = 0; k < SECTION_COUNT; k++)
        if (k_Sections[k].name == page) return k;
    return -1;
}

static void On_Change_Click(HWND dlg, int k)
{
    Target *work = Work_Of(dlg);
    const FRAME_SECTION *s = &k_Sections[k];
    if (work == NULL || s->page == NULL) return;
    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(s->templ), dlg, s->page, (LPARAM)work);
    Hold_WorkIcon(work, &Overview_Of(dlg)->held);
    if (s->after != NULL) s->after(work);
    Show_Sections(dlg);
}

/* The page asked for at opening, as its "Change..." button would open it; a page that is opened
   from a page opens once its parent page is there. */
static void On_Open_Page(HWND dlg, QUEUE_PAGE page)
{
    Trace("TargetMan_Dlg: open page %d\n", (int)page);
    for (const FRAME_SUBPAGE &sub : k_SubPages) {
        if (sub.name != page) continue;
        int k = Section_Of_Page(sub.parent);
        if (k < 0) return;
        PostMessageA(dlg, WM_OPEN_SUBPAGE, (WPARAM)sub.button, 0);
        On_Change_Click(dlg, k);
        return;
    }
    int k = Section_Of_Page(page);
    if (k >= 0) On_Change_Click(dlg, k);
}

typedef struct {
    HWND owner;
    HWND found;
} OWNED_POPUP;

static BOOL CALLBACK Find_EnabledPopup(HWND hwnd, LPARAM lParam)
{
    OWNED_POPUP *p = (OWNED_POPUP *)lParam;
    if (GetWindow(hwnd, GW_OWNER) != p->owner || !IsWindowEnabled(hwnd)) return TRUE;
    p->found = hwnd;
    return FALSE;
}

/* The page the frame opened is up: its own page is opened as its button would open it (posted,
   so that what the page posted to itself while opening comes first). */
static void On_Open_SubPage(HWND dlg, int button)
{
    OWNED_POPUP p = { dlg, NULL };
    EnumThreadWindows(GetCurrentThreadId(), Find_EnabledPopup, (LPARAM)&p);
    HWND control = p.found != NULL ? GetDlgItem(p.found, button) : NULL;
    if (control == NULL) {
        Trace("TargetMan_Dlg: no page with the button %d\n", button);
        return;
    }
    PostMessageA(p.found, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), (LPARAM)control);
}

static void On_Overview_Paint(HWND dlg)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(dlg, &ps);
    const OVERVIEW *o = Overview_Of(dlg);
    for (int k = 0; o != NULL && k < SECTION_COUNT; k++)
        Draw_QueueIcon(hdc, o->place[k].left, o->place[k].top, o->shown[k]);
    EndPaint(dlg, &ps);
}

static int Section_Of_Button(int id)
{
    for (int k = 0; k < SECTION_COUNT; k++)
        if (k_Sections[k].change == id) return k;
    return -1;
}

INT_PTR CALLBACK TargetMan_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: On_Overview_Paint(hDlg); return TRUE;
    case WM_OPEN_PAGE:
        if (Work_Of(hDlg) != NULL) On_Open_Page(hDlg, (QUEUE_PAGE)wParam);
        return TRUE;
    case WM_OPEN_SUBPAGE:
        On_Open_SubPage(hDlg, (int)wParam);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && Section_Of_Button(LOWORD(wParam)) >= 0) {
            On_Change_Click(hDlg, Section_Of_Button(LOWORD(wParam)));
            return TRUE;
        }
        break;
    }
    return Frame_DefProc(hDlg, msg, wParam, lParam, &overviewFrame);
}

int Edit_TargetOnPage(HWND owner, int pos, QUEUE_PAGE page)
{
    LPARAM arg = MAKELPARAM((WORD)pos, (WORD)page);
    return (int)DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_OVERVIEW), owner, TargetMan_Dlg, arg);
}

int Edit_Target(HWND owner, int pos) { return Edit_TargetOnPage(owner, pos, QPAGE_NONE); }
