/* The queue editor's frame, "Overview": a working copy of one output queue, a summary and a
   picture for each section of it, a "Change..." button that opens the section's page on the
   working copy, and OK that checks and commits the copy (Cancel drops it). What needs no window
   is in targetwork.cpp (the copy) and queuetext.cpp (the summaries). */
#include "queueedit/targetman.h"
#include "queueedit/pages.h"
#include "queueedit/queuetext.h"
#include "queueedit/pagewin.h"
#include "queueedit/targetwork.h"
#include "common/appstate.h"
#include "common/ctrlmap.h"
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
    void     (*after)(const Target *work);
} FRAME_SECTION;

static const FRAME_SECTION k_Sections[] = {
    /* button         summary               picture               summary builder       page                                    */
    { IDC_OV_INPUTS,   IDC_OV_INPUTS_TEXT,   IDC_OV_INPUTS_ICON,   Summary_Inputs,       IDD_INPUTS,   QueueInputs_Dlg,   NULL },
    { IDC_OV_THUMBS,   IDC_OV_THUMBS_TEXT,   IDC_OV_THUMBS_ICON,   Summary_Thumbnails,   IDD_THUMBDIR, QueueLowResImageDir_Dlg, NULL },
    { IDC_OV_JOBS,     IDC_OV_JOBS_TEXT,     IDC_OV_JOBS_ICON,     Summary_JobSettings,  IDD_JOBSETTINGS, QueueJobSettings_Dlg, NULL },
    { IDC_OV_PROCS,    IDC_OV_PROCS_TEXT,    IDC_OV_PROCS_ICON,    Summary_Processes,    IDD_PROCESSES, QueueProcesses_Dlg, NULL },
    { IDC_OV_RTI,      IDC_OV_RTI_TEXT,      IDC_OV_RTI_ICON,      Summary_Instructions, IDD_RTI,      QueueRTI_Dlg,      NULL },
    { IDC_OV_CLEANUP,  IDC_OV_CLEANUP_TEXT,  IDC_OV_CLEANUP_ICON,  Summary_CleanUp,      IDD_CLEANUP,  AfterAction_Dlg,   NULL },
    { IDC_OV_IDENTITY, IDC_OV_IDENTITY_TEXT, IDC_OV_IDENTITY_ICON, Summary_Identity,     IDD_IDENTITY, QueueIdentity_Dlg, Propagate_SwitchIfIdle },
};
#define SECTION_COUNT ((int)ARRAY_LEN(k_Sections))

/* The frame's state, kept on its window. */
typedef struct {
    Target work;
    int    pos;                       /* where the copy goes back (targetCount: a new queue) */
    HICON  held;                      /* the icon the working copy holds: the frame's own */
    BOOL   committed;
    RECT   place[SECTION_COUNT];      /* where each section's picture is drawn */
    HICON  shown[SECTION_COUNT];      /* the picture drawn there (not owned) */
} FRAME;

static FRAME *Frame_Of(HWND dlg) { return (FRAME *)GetWindowLongPtrA(dlg, DWLP_USER); }

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

static void Show_Section(HWND dlg, FRAME *f, int k)
{
    const FRAME_SECTION *s = &k_Sections[k];
    HWND text = GetDlgItem(dlg, s->text);
    RECT rc;
    GetClientRect(text, &rc);
    HDC dc = GetDC(text);
    HFONT font = (HFONT)SendMessageA(text, WM_GETFONT, 0, 0);
    HGDIOBJ old = font != NULL ? SelectObject(dc, font) : NULL;
    FIT_CTX ctx = { dc, rc.right - rc.left };
    TEXT_FITTER fitter = { Fit_ToSummary, &ctx };
    SUMMARY sum;
    s->summary(&f->work, &fitter, &sum);
    if (old != NULL) SelectObject(dc, old);
    ReleaseDC(text, dc);
    SetWindowTextA(text, sum.text);
    f->shown[k] = Summary_Picture(&sum, &f->work);
    InvalidateRect(dlg, &f->place[k], TRUE);
}

static void Show_Sections(HWND dlg, FRAME *f)
{
    for (int k = 0; k < SECTION_COUNT; k++) Show_Section(dlg, f, k);
}

/* ---- the name ---- */

/* Enter in the name takes the name into the working copy and leaves the dialog open; elsewhere
   it presses OK. */
static void On_Name_Enter(HWND dlg)
{
    FRAME *f = Frame_Of(dlg);
    if (f != NULL) GetDlgItemTextA(dlg, IDC_OV_NAME, f->work.name, sizeof f->work.name);
}

/* ---- opening, the pages, OK ---- */

static BOOL On_Overview_Init(HWND dlg, LPARAM lParam)
{
    Trace("TargetMan_Dlg(); wm_initdialog\n");
    Centre_Window(dlg);
    int pos = Editor_Position((int)LOWORD(lParam));
    if (pos < 0) {
        Play_Beep(MB_ICONHAND);
        Message_Box(programTitle, MB_OK | MB_ICONERROR | MB_EDITOR, "The maximum number of queues (%d) has been reached",
                    MAX_QUEUES);
        EndDialog(dlg, -1);
        return TRUE;
    }
    FRAME *f = (FRAME *)calloc(1, sizeof(FRAME));
    if (f == NULL) {
        Info_Box(programTitle, "There is not enough memory to show this dialog.");
        EndDialog(dlg, -1);
        return TRUE;
    }
    SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)f);
    f->pos = pos;
    Open_TargetWork(pos, &f->work);
    f->held = f->work.icon;

    HWND name = GetDlgItem(dlg, IDC_OV_NAME);
    Limit_Text(name, (int)sizeof f->work.name - 1);
    SetWindowTextA(name, f->work.name);
    Take_EnterKey(name, On_Name_Enter);
    for (int k = 0; k < SECTION_COUNT; k++) {
        const FRAME_SECTION *s = &k_Sections[k];
        Get_ControlRect(dlg, s->place, &f->place[k]);
        ShowWindow(GetDlgItem(dlg, s->place), SW_HIDE);
        EnableWindow(GetDlgItem(dlg, s->change), s->page != NULL);
    }
    Show_Sections(dlg, f);
    return TRUE;
}

static void On_Change_Click(HWND dlg, int k)
{
    FRAME *f = Frame_Of(dlg);
    const FRAME_SECTION *s = &k_Sections[k];
    if (f == NULL || s->page == NULL) return;
    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(s->templ), dlg, s->page, (LPARAM)&f->work);
    Hold_WorkIcon(&f->work, &f->held);
    if (s->after != NULL) s->after(&f->work);
    Show_Sections(dlg, f);
}

static void On_Overview_Ok(HWND dlg)
{
    FRAME *f = Frame_Of(dlg);
    if (f == NULL) return;
    char typed[TEXT_LEN], name[TEXT_LEN];
    GetDlgItemTextA(dlg, IDC_OV_NAME, typed, sizeof typed);
    if (!Check_TargetWork(&f->work, f->pos, typed, name, sizeof name)) return;
    Copy_Field(f->work.name, name);
    Commit_TargetWork(&f->work, f->pos);
    f->held = NULL;                   /* the array slot holds it now */
    f->committed = TRUE;
    EndDialog(dlg, 0);
}

static void On_Overview_Paint(HWND dlg)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(dlg, &ps);
    const FRAME *f = Frame_Of(dlg);
    for (int k = 0; f != NULL && k < SECTION_COUNT; k++)
        Draw_QueueIcon(hdc, f->place[k].left, f->place[k].top, f->shown[k]);
    EndPaint(dlg, &ps);
}

static void On_Overview_Destroy(HWND dlg)
{
    FRAME *f = Frame_Of(dlg);
    SetWindowLongPtrA(dlg, DWLP_USER, 0);
    if (f == NULL) return;
    if (!f->committed) Drop_TargetWork(&f->work);
    free(f);
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
    case WM_INITDIALOG: return On_Overview_Init(hDlg, lParam);
    case WM_PAINT:      On_Overview_Paint(hDlg); return TRUE;
    case WM_DESTROY:    On_Overview_Destroy(hDlg); return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_OV_OK: On_Overview_Ok(hDlg);  return TRUE;
        case IDCANCEL:  EndDialog(hDlg, -1);    return TRUE;
        }
        if (HIWORD(wParam) == BN_CLICKED && Section_Of_Button(LOWORD(wParam)) >= 0) {
            On_Change_Click(hDlg, Section_Of_Button(LOWORD(wParam)));
            return TRUE;
        }
        break;
    }
    return FALSE;
}

int Edit_Target(HWND owner, int pos)
{
    return (int)DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_OVERVIEW), owner, TargetMan_Dlg, (LPARAM)pos);
}
