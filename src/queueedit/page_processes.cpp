/* The Processes page: the programs a queue runs on each job (up to four, shown one at a time),
   the settings of the whole list, the command-line parameters to pick from and the launch
   application. The list itself, without the window, is in processlist.cpp. */
#include "queueedit/pages.h"
#include "queueedit/paramfile.h"
#include "queueedit/processlist.h"
#include "queueedit/pagewin.h"
#include "queueedit/targetwork.h"
#include "common/appstate.h"
#include "common/ctrlmap.h"
#include "common/dlgutil.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/page.h"
#include "common/text.h"
#include "common/trace.h"
#include "resources/resource.h"
#include <stdint.h>
#include <string.h>

#define PARAM_TIMER    1
#define PARAM_TIMER_MS 250
#define CHOSEN_LEN     1024     /* room for what a chooser may answer, checked against the field */

typedef struct {
    PROCESS_EDIT pe;
    RECT         iconRect;        /* where the shown process's icon is drawn */
    RECT         listIconRect;    /* where the icon of the whole list is drawn */
    HICON        shownIcon;       /* the shown process's icon; NULL: none */
    HICON        emptyListIcon;   /* a list with no process yet */
    BOOL         paramTold;       /* the operator was told of a missing or unreadable parameter file */
} PROCESSES_STATE;

/* In the order the operator can change them: a queue that runs monitor processes must stop
   running them before it can run none. */
static const CTRL_MAP k_ProcessesMap[] = {
    CM_CHECK_ROW(IDC_PR_MONITOR, Target, monitorProcesses),
    CM_CHECK_ROW(IDC_PR_NO_PROCESSES, Target, noProcesses),
    CM_CHECK_ROW(IDC_PR_HOLD_ALL, Target, holdAllJobs),
    CM_TEXT_ROW(IDC_PR_LAUNCH_PATH, Target, launchAppPath),
};
static const FIELD_SPAN k_ProcessesOwned[] = { FIELD_OF(Target, processRef), FIELD_OF(Target, usesGroup) };

/* Enabled and disabled together: everything that edits the processes. */
static const int k_ProcessControls[] = {
    IDC_PR_COMMAND, IDC_PR_ALONE, IDC_PR_PRIORITY, IDC_PR_PARALLEL, IDC_PR_SERIES, IDC_PR_COMPAT,
    IDC_PR_RESIDENT, IDC_PR_SHOW_MODE, IDC_PR_NON_NATIVE, IDC_PR_BROWSE, IDC_PR_PREVIOUS, IDC_PR_NEXT,
    IDC_PR_INSERT, IDC_PR_ADD, IDC_PR_REMOVE, IDC_PR_MONITOR, IDC_PR_PARAMS,
};
static const int k_KindControls[KIND_COUNT] = { IDC_PR_COMPAT, IDC_PR_RESIDENT, IDC_PR_NON_NATIVE };

static PROCESSES_STATE *State(HWND dlg) { return (PROCESSES_STATE *)Page_Extra(dlg); }
static Target *Copy(HWND dlg) { return (Target *)Page_Copy(dlg); }
static HINSTANCE Instance(void) { return hInstance != NULL ? hInstance : GetModuleHandleA(NULL); }

/* ---- reading and showing ---- */

/* The command text as typed. One character more than a command text can hold is read, so that a
   text put there longer than that is refused rather than cut. */
static void Read_CommandText(HWND dlg, char *text, size_t cap)
{
    text[0] = '\0';
    GetDlgItemTextA(dlg, IDC_PR_COMMAND, text, (int)cap);
}

/* Where the caret stands in the command text: the end of its selection. */
static int Command_Caret(HWND dlg)
{
    DWORD end = 0;
    SendDlgItemMessageA(dlg, IDC_PR_COMMAND, EM_GETSEL, 0, (LPARAM)&end);
    return (int)end;
}

static void Selected_Parameters(HWND dlg, BOOL selected[PARAM_SLOTS])
{
    HWND list = GetDlgItem(dlg, IDC_PR_PARAMS);
    for (int i = 0; i < PARAM_SLOTS; i++)
        selected[i] = i < paramCount && SendMessageA(list, LB_GETSEL, (WPARAM)i, 0) > 0;
}

static void Focus_Control(HWND dlg, int id)
{
    HWND ctl = GetDlgItem(dlg, id);
    if (ctl != NULL && IsWindowEnabled(ctl)) SendMessageA(dlg, WM_NEXTDLGCTL, (WPARAM)ctl, TRUE);
}

/* The command text to write, into text: as typed, with the parameters selected in the list put
   into it (the box shows it so). FALSE, with the operator told and put back into the box, when a
   parameter does not fit. */
static BOOL Take_CommandText(HWND dlg, char *text, size_t cap)
{
    BOOL selected[PARAM_SLOTS];
    Read_CommandText(dlg, text, cap);
    Selected_Parameters(dlg, selected);
    if (!Pick_Parameters(text, cap, selected, Command_Caret(dlg))) {
        Focus_Control(dlg, IDC_PR_COMMAND);
        return FALSE;
    }
    SetDlgItemTextA(dlg, IDC_PR_COMMAND, text);
    return TRUE;
}

/* The parameter list shows the parameter file's table, line i slot i. */
static void Show_Parameters(HWND dlg)
{
    HWND list = GetDlgItem(dlg, IDC_PR_PARAMS);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < paramCount && i < PARAM_SLOTS; i++)
        SendMessageA(list, LB_INSERTSTRING, (WPARAM)-1, (LPARAM)paramTable[i]);
}

/* The parameter list from the parameter file: a missing file is told of (and created) and an
   unreadable one reported, each once while the page is open. */
static void Refresh_Parameters(HWND dlg, PROCESSES_STATE *st)
{
    EnableWindow(GetDlgItem(dlg, IDC_PR_PARAMS), TRUE);
    char path[PATH_LEN];
    if (homeDir == NULL || !Home_Path(path, sizeof path, homeDir, PARAM_FILE)) return;
    if (!File_Exists(path)) {
        if (!st->paramTold) Prepare_ParamFile();
        st->paramTold = TRUE;
        return;
    }
    BOOL read = Read_ParamFile(path);
    Show_Parameters(dlg);
    if (read || st->paramTold) return;
    st->paramTold = TRUE;
    Info_Box(programTitle, "The parameter file \"%s\" could not be read, so no parameters can be picked from it.", path);
}

static HICON List_Icon(const PROCESSES_STATE *st, BOOL noProcesses)
{
    switch (Process_ListIconId(&st->pe, noProcesses)) {
    case IDI_PROCESSES:    return st->emptyListIcon;
    case IDI_PROGRAM:      return Default_AppIcon();
    case IDI_NO_PROCESSES: return sharedIcons[ICON_NO_PROCESSES] ? sharedIcons[ICON_NO_PROCESSES]
                                                                 : LoadIconA(Instance(), MAKEINTRESOURCEA(IDI_NO_PROCESSES));
    case IDI_PARALLEL:     return sharedIcons[ICON_PARALLEL] ? sharedIcons[ICON_PARALLEL]
                                                             : LoadIconA(Instance(), MAKEINTRESOURCEA(IDI_PARALLEL));
    default:               return sharedIcons[ICON_SERIES] ? sharedIcons[ICON_SERIES]
                                                           : LoadIconA(Instance(), MAKEINTRESOURCEA(IDI_SERIES));
    }
}

static void Repaint_Icons(HWND dlg)
{
    PROCESSES_STATE *st = State(dlg);
    InvalidateRect(dlg, &st->iconRect, TRUE);
    InvalidateRect(dlg, &st->listIconRect, TRUE);
}

static void Paint_Icons(HWND dlg, HDC dc)
{
    PROCESSES_STATE *st = State(dlg);
    Target *copy = Copy(dlg);
    if (st == NULL || copy == NULL) return;
    /* the default application icon says nothing about the program: only a program's own is shown */
    if (st->shownIcon != NULL && st->shownIcon != Default_AppIcon())
        Draw_QueueIcon(dc, st->iconRect.left, st->iconRect.top, st->shownIcon);
    HICON list = List_Icon(st, copy->noProcesses);
    Draw_QueueIcon(dc, st->listIconRect.left, st->listIconRect.top, list);
}

/* The queue's flags and which controls are usable. */
static void Show_State(HWND dlg)
{
    PROCESSES_STATE *st = State(dlg);
    Target *copy = Copy(dlg);
    HWND focus = GetFocus();
    Settle_ProcessFlags(copy);
    CheckDlgButton(dlg, IDC_PR_MONITOR, copy->monitorProcesses ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_PR_NO_PROCESSES, copy->noProcesses ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_PR_HOLD_ALL, copy->holdAllJobs ? BST_CHECKED : BST_UNCHECKED);

    PROCESS_ENABLES en;
    Get_ProcessEnables(&st->pe, copy, &en);
    EnableWindow(GetDlgItem(dlg, IDC_PR_NO_PROCESSES), en.noProcesses);
    EnableWindow(GetDlgItem(dlg, IDC_PR_HOLD_ALL), en.holdAll);
    for (size_t i = 0; i < ARRAY_LEN(k_ProcessControls); i++)
        EnableWindow(GetDlgItem(dlg, k_ProcessControls[i]), en.process);
    EnableWindow(GetDlgItem(dlg, IDC_PR_MONITOR), en.monitor);
    if (en.process) {
        EnableWindow(GetDlgItem(dlg, IDC_PR_INSERT), en.insertAdd);
        EnableWindow(GetDlgItem(dlg, IDC_PR_ADD), en.insertAdd);
        EnableWindow(GetDlgItem(dlg, IDC_PR_REMOVE), en.remove);
        EnableWindow(GetDlgItem(dlg, IDC_PR_NEXT), en.next);
        EnableWindow(GetDlgItem(dlg, IDC_PR_PREVIOUS), en.previous);
        EnableWindow(GetDlgItem(dlg, IDC_PR_PARALLEL), en.radios);
        EnableWindow(GetDlgItem(dlg, IDC_PR_SERIES), en.radios);
        if (!en.radios) {
            CheckDlgButton(dlg, IDC_PR_PARALLEL, BST_UNCHECKED);
            CheckDlgButton(dlg, IDC_PR_SERIES, BST_UNCHECKED);
        }
        for (int k = 0; k < KIND_COUNT; k++) EnableWindow(GetDlgItem(dlg, k_KindControls[k]), en.kinds[k]);
    }
    /* a button that was pressed by keyboard and is now disabled would leave the page without focus */
    if (focus != NULL && IsChild(dlg, focus) && !IsWindowEnabled(focus)) {
        if (IsWindowEnabled(GetDlgItem(dlg, IDC_PR_COMMAND))) Focus_Control(dlg, IDC_PR_COMMAND);
        else Focus_Control(dlg, IDOK);
    }
}

static void Show_Position(HWND dlg)
{
    const ProcessList *l = &State(dlg)->pe.list;
    char text[64];
    if (Copy(dlg)->noProcesses) Copy_Field(text, "Process");
    else if (l->current < l->count) Format_Text(text, sizeof text, "Process %d of %d", l->current + 1, l->count);
    else Format_Text(text, sizeof text, "New Process %d", l->current + 1);
    SetDlgItemTextA(dlg, IDC_PR_POSITION, text);
}

/* Fills the controls from the process list and the page copy. keepText leaves the command text
   as the operator typed it (after a refusal). */
static void Show_Processes(HWND dlg, BOOL keepText)
{
    PROCESSES_STATE *st = State(dlg);
    Target *copy = Copy(dlg);
    const ProcessList *l = &st->pe.list;
    const ProcessEntry *e = &l->entries[l->current];
    if (!keepText) {
        char text[COMMAND_TEXT_LEN];
        Format_CommandText(e, text, sizeof text);
        SetDlgItemTextA(dlg, IDC_PR_COMMAND, text);
    }
    SendDlgItemMessageA(dlg, IDC_PR_COMMAND, EM_SETSEL, 0, -1);
    Refresh_Parameters(dlg, st);

    CheckDlgButton(dlg, IDC_PR_COMPAT, e->compatV3 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_PR_RESIDENT, e->resident ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_PR_NON_NATIVE, e->nonNative ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageA(dlg, IDC_PR_SHOW_MODE, CB_SETCURSEL, (WPARAM)Find_ShowModeIndex(e->showCommand), 0);
    CheckDlgButton(dlg, IDC_PR_ALONE, l->runAlone ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_PR_PARALLEL, l->parallel ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_PR_SERIES, l->parallel ? BST_UNCHECKED : BST_CHECKED);
    SendDlgItemMessageA(dlg, IDC_PR_PRIORITY, CB_SETCURSEL, (WPARAM)Find_PriorityIndex(l->priority), 0);

    st->shownIcon = ((l->count == 0 && copy->noProcesses) || l->count >= 1) ? e->icon : NULL;
    Show_State(dlg);
    Show_Position(dlg);
    Repaint_Icons(dlg);
}

/* After a button acted on the list: show it, and put the operator back into the command text
   when a refusal or a new entry asks for it. */
static void After_Action(HWND dlg)
{
    PROCESSES_STATE *st = State(dlg);
    Show_Processes(dlg, st->pe.invalid);
    if (st->pe.focusText) Focus_Control(dlg, IDC_PR_COMMAND);
}

/* ---- the page protocol ---- */

static void Load_Processes(HWND dlg)
{
    PROCESSES_STATE *st = State(dlg);
    Target *copy = Copy(dlg);
    Reset_ParamFile();
    st->emptyListIcon = LoadIconA(Instance(), MAKEINTRESOURCEA(IDI_PROCESSES));
    Trace("Assigning icon handle for No process: 0x%08x\n", (unsigned)(uintptr_t)st->emptyListIcon);
    Get_ControlRect(dlg, IDC_PR_ICON, &st->iconRect);
    Get_ControlRect(dlg, IDC_PR_LIST_ICON, &st->listIconRect);
    ShowWindow(GetDlgItem(dlg, IDC_PR_ICON), SW_HIDE);
    ShowWindow(GetDlgItem(dlg, IDC_PR_LIST_ICON), SW_HIDE);

    HWND priority = GetDlgItem(dlg, IDC_PR_PRIORITY), mode = GetDlgItem(dlg, IDC_PR_SHOW_MODE);
    SendMessageA(priority, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < PROCESS_PRIORITY_COUNT; i++)
        SendMessageA(priority, CB_ADDSTRING, 0, (LPARAM)processPriorities[i].name);
    SendMessageA(mode, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < PROCESS_SHOW_MODE_COUNT; i++)
        SendMessageA(mode, CB_ADDSTRING, 0, (LPARAM)processShowModes[i].name);
    Limit_Text(GetDlgItem(dlg, IDC_PR_COMMAND), COMMAND_TEXT_LEN - 1);

    Load_ProcessList(&st->pe, copy);
    Show_Processes(dlg, FALSE);
    SetTimer(dlg, PARAM_TIMER, PARAM_TIMER_MS, NULL);
    /* the operator starts in the command text (the dialog would put the focus on its first box) */
    HWND command = GetDlgItem(dlg, IDC_PR_COMMAND);
    if (IsWindowEnabled(command)) PostMessageA(dlg, WM_NEXTDLGCTL, (WPARAM)command, TRUE);
}

/* OK, after the table's controls went into the page copy: the shown process is written and the
   whole list matched against the shared applications. */
static BOOL Write_Processes(HWND dlg)
{
    PROCESSES_STATE *st = State(dlg);
    Target *copy = Copy(dlg);
    if (copy->noProcesses) {
        copy->processRef = NO_PROCESSES;
        copy->usesGroup = FALSE;
        return TRUE;
    }
    Set_ProcessPriority(&st->pe, (int)SendDlgItemMessageA(dlg, IDC_PR_PRIORITY, CB_GETCURSEL, 0, 0));
    char text[COMMAND_TEXT_LEN + 1];
    if (!Take_CommandText(dlg, text, sizeof text)) return FALSE;
    BOOL written = Write_ProcessText(&st->pe, text, FALSE);
    After_Action(dlg);
    return written && Commit_ProcessList(&st->pe, copy, (const Target *)Page_Work(dlg));
}

static void Close_Processes(HWND dlg, BOOL)
{
    PROCESSES_STATE *st = State(dlg);
    KillTimer(dlg, PARAM_TIMER);
    if (st != NULL) Release_ProcessIcons(&st->pe);
}

/* ---- the controls ---- */

enum { MOVE_PREVIOUS, MOVE_NEXT, MOVE_ADD, MOVE_INSERT };

/* Previous, Next, Add and Insert: the selected parameters go into the command text, the text is
   written, and the list moves when it was accepted. */
static void On_Move_Click(HWND dlg, int move)
{
    PROCESSES_STATE *st = State(dlg);
    char text[COMMAND_TEXT_LEN + 1];
    if (!Take_CommandText(dlg, text, sizeof text)) return;
    switch (move) {
    case MOVE_PREVIOUS: Process_Previous(&st->pe, text); break;
    case MOVE_NEXT:     Process_Next(&st->pe, text);     break;
    case MOVE_ADD:      Process_Add(&st->pe, text);      break;
    case MOVE_INSERT:   Process_Insert(&st->pe, text);   break;
    }
    After_Action(dlg);
}

static void On_Remove_Click(HWND dlg)
{
    SetDlgItemTextA(dlg, IDC_PR_COMMAND, "");
    Process_Remove(&State(dlg)->pe);
    After_Action(dlg);
}

/* Enter in the command text writes it and keeps the page open. */
static void On_Enter_InCommand(HWND dlg)
{
    char text[COMMAND_TEXT_LEN + 1];
    Read_CommandText(dlg, text, sizeof text);
    Write_ProcessText(&State(dlg)->pe, text, Copy(dlg)->noProcesses);
    After_Action(dlg);
}

static void On_Browse_Click(HWND dlg)
{
    PROCESSES_STATE *st = State(dlg);
    char path[CHOSEN_LEN];
    Copy_Field(path, st->pe.list.entries[st->pe.list.current].path);
    Trace("Queue Processes Dlg: App Path\n");
    Trace("Calling file chooser with args: hDlg = %d, Path = %s [others fixed]\n", (int)(intptr_t)dlg, path);
    if (!Choose_File(dlg, "Application To Run", path, sizeof path, FILTER_EXECUTABLE, TRUE)) return;
    if (Process_ChooseProgram(&st->pe, path)) Show_Processes(dlg, FALSE);
}

static void On_LaunchBrowse_Click(HWND dlg)
{
    char path[CHOSEN_LEN];
    GetDlgItemTextA(dlg, IDC_PR_LAUNCH_PATH, path, sizeof path);
    if (!Choose_File(dlg, "Launch Application To Run", path, sizeof path, FILTER_EXECUTABLE, TRUE)) return;
    if (strlen(path) >= sizeof(((Target *)0)->launchAppPath)) {
        Play_Beep(MB_OK);
        Info_Box(programTitle, "The chosen path is too long: the launch application path holds at most %d characters.",
                 (int)sizeof(((Target *)0)->launchAppPath) - 1);
        return;
    }
    SetDlgItemTextA(dlg, IDC_PR_LAUNCH_PATH, path);
}

static void On_EditParams_Click(HWND dlg)
{
    (void)dlg;
    Trace("Queue Processes Dlg: Edit Cmd Line Params file\n");
    char path[PATH_LEN];
    if (homeDir == NULL || !Home_Path(path, sizeof path, homeDir, PARAM_FILE)) return;
    Open_ParamFile(path);
}

static BOOL Checked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }

static void On_QueueFlag_Click(HWND dlg, int id)
{
    Target *copy = Copy(dlg);
    switch (id) {
    case IDC_PR_HOLD_ALL:
        Trace("Queue Processes Dlg: Hold All Jobs\n");
        copy->holdAllJobs = Checked(dlg, id);
        return;
    case IDC_PR_MONITOR:
        Trace("Queue Processes Dlg: Monitor/Control Process(es)\n");
        copy->monitorProcesses = Checked(dlg, id);
        if (copy->monitorProcesses) copy->noProcesses = FALSE;
        Show_State(dlg);
        return;
    case IDC_PR_NO_PROCESSES:
        Trace("Queue Processes Dlg: No Process(es)\n");
        copy->noProcesses = Checked(dlg, id);
        if (copy->noProcesses) copy->monitorProcesses = FALSE;
        Show_Processes(dlg, TRUE);
        return;
    }
}

static BOOL On_Command(HWND dlg, int id, int code)
{
    PROCESSES_STATE *st = State(dlg);
    if (code == CBN_SELCHANGE) {
        int index = (int)SendDlgItemMessageA(dlg, id, CB_GETCURSEL, 0, 0);
        if (id == IDC_PR_SHOW_MODE) Set_ProcessShowMode(&st->pe, index);
        else if (id == IDC_PR_PRIORITY) Set_ProcessPriority(&st->pe, index);
        else return FALSE;
        return TRUE;
    }
    if (code != BN_CLICKED) return FALSE;
    switch (id) {
    case IDOK:
        if (!Copy(dlg)->noProcesses && GetFocus() == GetDlgItem(dlg, IDC_PR_COMMAND)) {
            On_Enter_InCommand(dlg);
            return TRUE;
        }
        return FALSE;                                    /* the page protocol's OK */
    case IDC_PR_PREVIOUS: On_Move_Click(dlg, MOVE_PREVIOUS); return TRUE;
    case IDC_PR_NEXT:     On_Move_Click(dlg, MOVE_NEXT);     return TRUE;
    case IDC_PR_ADD:      On_Move_Click(dlg, MOVE_ADD);      return TRUE;
    case IDC_PR_INSERT:   On_Move_Click(dlg, MOVE_INSERT);   return TRUE;
    case IDC_PR_REMOVE:   On_Remove_Click(dlg);              return TRUE;
    case IDC_PR_BROWSE:   On_Browse_Click(dlg);              return TRUE;
    case IDC_PR_COMPAT:
    case IDC_PR_RESIDENT:
    case IDC_PR_NON_NATIVE:
        Toggle_ProcessKind(&st->pe, id == IDC_PR_COMPAT ? KIND_COMPAT : id == IDC_PR_RESIDENT ? KIND_RESIDENT
                                                                                              : KIND_NON_NATIVE);
        Show_State(dlg);
        return TRUE;
    case IDC_PR_ALONE:
        Toggle_ProcessRunAlone(&st->pe);
        return TRUE;
    case IDC_PR_PARALLEL:
    case IDC_PR_SERIES:
        Set_ProcessParallel(&st->pe, id == IDC_PR_PARALLEL);
        Repaint_Icons(dlg);
        return TRUE;
    case IDC_PR_HOLD_ALL:
    case IDC_PR_MONITOR:
    case IDC_PR_NO_PROCESSES:
        On_QueueFlag_Click(dlg, id);
        return TRUE;
    case IDC_PR_LAUNCH_BROWSE: On_LaunchBrowse_Click(dlg); return TRUE;
    case IDC_PR_EDIT_PARAMS:   On_EditParams_Click(dlg);   return TRUE;
    }
    return FALSE;
}

const PAGE_DEF processesPage = {
    "QueueProcesses_Dlg(); wm_initdialog\n", "Queue Processes Dlg: OK\n",
    "Queue Processes dialog called but no target pointer passed in.  Cannot show dialog",
    sizeof(Target), k_ProcessesMap, ARRAY_LEN(k_ProcessesMap), k_ProcessesOwned, ARRAY_LEN(k_ProcessesOwned),
    IDOK, sizeof(PROCESSES_STATE), Load_Processes, Write_Processes, Close_Processes,
};

INT_PTR CALLBACK QueueProcesses_Dlg(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
        if (State(dlg) != NULL && On_Command(dlg, LOWORD(wParam), HIWORD(wParam))) return TRUE;
        break;
    case WM_TIMER:
        if (wParam == PARAM_TIMER) {
            if (Watch_ParamFile()) Show_Parameters(dlg);
            return TRUE;
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(dlg, &ps);
        Paint_Icons(dlg, dc);
        EndPaint(dlg, &ps);
        return TRUE;
    }
    }
    return Page_DefProc(dlg, msg, wParam, lParam, &processesPage);
}
