/* The Inputs page: the queue's hot directory, whether its subdirectories are watched too, and
   the icon that stands for the queue in the lists. */
#include "queueedit/pages.h"
#include "queueedit/queuetext.h"
#include "queueedit/pagewin.h"
#include "queueedit/targetwork.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "config/model.h"
#include "resources/resource.h"

static const CTRL_MAP k_InputsMap[] = {
    CM_TEXTMAX_ROW(IDC_IN_PATH, Target, hotDir, MAX_PATH - 1),
    CM_CHECK_ROW(IDC_IN_SUBDIRS, Target, includeSubdirs),
};
/* The icon is chosen by buttons, not bound to a control. */
static const FIELD_SPAN k_InputsOwned[] = { FIELD_OF(Target, iconPath), FIELD_OF(Target, icon) };

/* The page's own state. An icon the page extracts is its own until OK hands it to the working
   copy; one it replaces or clears, or still holds at Cancel, it destroys. */
typedef struct {
    RECT  iconPlace;      /* where the queue icon is drawn */
    HICON defaultIcon;    /* the default queue icon (a shared resource icon) */
    HICON extracted;
} INPUTS_PAGE;

static Target      *Copy_Of(HWND dlg)  { return (Target *)Page_Copy(dlg); }
static INPUTS_PAGE *Inputs_Of(HWND dlg) { return (INPUTS_PAGE *)Page_Extra(dlg); }

static void Load_Inputs(HWND dlg)
{
    INPUTS_PAGE *p = Inputs_Of(dlg);
    p->defaultIcon = LoadIconA(hInstance, MAKEINTRESOURCEA(IDI_MOVE_JOBS));
    if (Get_ControlRect(dlg, IDC_IN_ICON, &p->iconPlace)) ShowWindow(GetDlgItem(dlg, IDC_IN_ICON), SW_HIDE);
    SendDlgItemMessageA(dlg, IDC_IN_PATH, EM_SETSEL, 0, -1);
}

/* The hot directory must be a directory or a path on a drive, unless the queue runs monitor
   processes, which need none. */
static BOOL Write_Inputs(HWND dlg)
{
    Target *page = Copy_Of(dlg);
    if (page->monitorProcesses) return TRUE;
    if (Check_DirText(page->hotDir, sizeof page->hotDir)) return TRUE;
    Info_Box(programTitle, "The chosen hot directory is not a valid path name.  Please correct the entry or select "
                           "an existing directory using the chooser.");
    SetFocus(GetDlgItem(dlg, IDC_IN_PATH));
    SendDlgItemMessageA(dlg, IDC_IN_PATH, EM_SETSEL, 0, -1);
    return FALSE;
}

static void Close_Inputs(HWND dlg, BOOL committed)
{
    INPUTS_PAGE *p = Inputs_Of(dlg);
    if (!committed && p->extracted != NULL) DestroyIcon(p->extracted);
    p->extracted = NULL;
}

/* The page copy's icon becomes icon (NULL: none); an icon the page extracted before goes. */
static void Set_QueueIcon(HWND dlg, HICON icon)
{
    INPUTS_PAGE *p = Inputs_Of(dlg);
    if (p->extracted != NULL && p->extracted != icon) DestroyIcon(p->extracted);
    p->extracted = icon;
    Copy_Of(dlg)->icon = icon;
    InvalidateRect(dlg, &p->iconPlace, TRUE);
}

static void On_Browse_Click(HWND dlg)
{
    Trace("Queue Inputs Dlg: queue Directory\n");
    Target *page = Copy_Of(dlg);
    Browse_Folder(dlg, IDC_IN_PATH, "Queue Hot Directory", page->hotDir, sizeof page->hotDir);
}

static void On_ChangeIcon_Click(HWND dlg)
{
    Trace("Queue Processes Dlg: Change Icon\n");
    Target *page = Copy_Of(dlg);
    char path[PATH_LEN];
    Copy_Field(path, page->iconPath);
    if (!Choose_File(dlg, "Change Queue Icon", path, sizeof path, FILTER_ALL, TRUE)) return;
    Copy_Field(page->iconPath, path);
    HICON icon = Extract_QueueIcon(page->iconPath);
    Set_QueueIcon(dlg, icon);
    if (icon == NULL) {
        Info_Box(programTitle, "The file selected did not contain a valid icon or bitmap.");
        page->iconPath[0] = '\0';
    }
    Trace("Assigning icon handle: 0x%08x\n", (unsigned)(UINT_PTR)icon);
}

static void On_ClearIcon_Click(HWND dlg)
{
    Set_QueueIcon(dlg, NULL);
    Copy_Of(dlg)->iconPath[0] = '\0';
}

/* The queue's own icon when it has one and a file to come from; the default icon otherwise. */
static void On_Inputs_Paint(HWND dlg)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(dlg, &ps);
    const Target *page = Copy_Of(dlg);
    const INPUTS_PAGE *p = Inputs_Of(dlg);
    if (page != NULL && p != NULL) {
        BOOL own = page->icon != NULL && page->iconPath[0] != '\0' && page->iconPath[0] != ' ';
        HICON icon = own ? page->icon : p->defaultIcon;
        Draw_QueueIcon(hdc, p->iconPlace.left, p->iconPlace.top, icon);
    }
    EndPaint(dlg, &ps);
}

const PAGE_DEF inputsPage = {
    "QueueInputs_Dlg(); wm_initdialog\n", "Queue Inputs Dlg: OK\n",
    "Queue Inputs dialog called but no target pointer passed in.  Cannot show dialog",
    sizeof(Target), k_InputsMap, ARRAY_LEN(k_InputsMap), k_InputsOwned, ARRAY_LEN(k_InputsOwned), IDOK,
    sizeof(INPUTS_PAGE), Load_Inputs, Write_Inputs, Close_Inputs,
};

INT_PTR CALLBACK QueueInputs_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: On_Inputs_Paint(hDlg); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_IN_BROWSE:      On_Browse_Click(hDlg);                      return TRUE;
        case IDC_IN_CHANGE_ICON: On_ChangeIcon_Click(hDlg);                  return TRUE;
        case IDC_IN_CLEAR_ICON:  On_ClearIcon_Click(hDlg);                   return TRUE;
        case IDC_IN_SUBDIRS:     Trace("Queue Inputs Dlg: Include subdirs\n"); return TRUE;
        }
        break;
    }
    return Page_DefProc(hDlg, msg, wParam, lParam, &inputsPage);
}
