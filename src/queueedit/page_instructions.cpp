/* The Process Instructions page: the parameters the spooler gives every process of the queue,
   typed as a list or kept in a parameter file; for a file, the configuration utility that edits
   such files (the one associated with the queue's first application in the associations file),
   which can be changed and started on the file. While a utility runs the page waits for it,
   watching it on a timer, with its controls disabled but its window alive. */
#include "queueedit/pages.h"
#include "queueedit/instructions_rules.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "config/model.h"
#include "config/oemapps.h"
#include "resources/resource.h"
#include <string.h>

static const CTRL_MAP k_InstructionsMap[] = {
    CM_TEXTMAX_ROW(IDC_RTI_PARAMS, Target, parameters, MAX_PATH - 1),
    CM_RADIO_ROW(IDC_RTI_IS_FILE, Target, parametersIsFile, 1),
    CM_RADIO_ROW(IDC_RTI_NOT_FILE, Target, parametersIsFile, 0),
};

#define UTILITY_PERIOD 102     /* ms between two looks at a running utility */

/* The page's own state. */
typedef struct {
    char   key[PATH_LEN];        /* the program path of the queue's first application; "" for none */
    char   found[PATH_LEN];      /* the utility associated with it when the page opened; "" for none */
    int    line;                 /* the line of that association in the file, -1 for none */
    char   lastRead[PATH_LEN];   /* the utility box as last read */
    HANDLE utility;              /* the utility started and still running, or NULL */
} RTI_PAGE;

static Target   *Copy_Of(HWND dlg) { return (Target *)Page_Copy(dlg); }
static RTI_PAGE *Rti_Of(HWND dlg)  { return (RTI_PAGE *)Page_Extra(dlg); }

static void Enable(HWND dlg, int id, BOOL on) { EnableWindow(GetDlgItem(dlg, id), on); }

static BOOL Utility_Typed(HWND dlg) { return GetWindowTextLengthA(GetDlgItem(dlg, IDC_RTI_UTILITY)) > 0; }

/* The controls that belong to a parameter file: on only when the parameters are a file; "Edit"
   only when there is also a utility to start. */
static void Set_FileMode(HWND dlg, BOOL on)
{
    static const int ids[] = { IDC_RTI_BROWSE, IDC_RTI_EDITOR_GROUP, IDC_RTI_UTILITY_LABEL, IDC_RTI_SELECT, IDC_RTI_UTILITY };
    for (int id : ids) Enable(dlg, id, on);
    Enable(dlg, IDC_RTI_EDIT, on && Utility_Typed(dlg));
}

/* Only the checked radio button is a tab stop, so Tab lands on the choice in effect. */
static void Set_RadioTabStop(HWND dlg)
{
    static const int ids[] = { IDC_RTI_IS_FILE, IDC_RTI_NOT_FILE };
    for (int id : ids) {
        HWND b = GetDlgItem(dlg, id);
        LONG_PTR style = GetWindowLongPtrA(b, GWL_STYLE);
        BOOL on = SendMessageA(b, BM_GETCHECK, 0, 0) == BST_CHECKED;
        SetWindowLongPtrA(b, GWL_STYLE, on ? (style | WS_TABSTOP) : (style & ~(LONG_PTR)WS_TABSTOP));
    }
}

static void Load_Instructions(HWND dlg)
{
    const Target *page = Copy_Of(dlg);
    RTI_PAGE *p = Rti_Of(dlg);
    SendDlgItemMessageA(dlg, IDC_RTI_PARAMS, EM_SETSEL, 0, -1);
    Limit_Text(GetDlgItem(dlg, IDC_RTI_UTILITY), MAX_PATH - 1);
    if (!Get_AssociationKey(page, p->key, sizeof p->key)) Trace("QueueRTI_Dlg: the queue runs no application\n");
    if (Lookup_OEMApp(p->key, &p->line, p->found, sizeof p->found)) {
        SetDlgItemTextA(dlg, IDC_RTI_UTILITY, p->found);
    } else {
        p->found[0] = '\0';
        SetDlgItemTextA(dlg, IDC_RTI_UTILITY, "");
    }
    Copy_Field(p->lastRead, p->found);
    Set_FileMode(dlg, page->parametersIsFile);
    Set_RadioTabStop(dlg);
}

/* OK, after the parameters and the flag are in the page copy. A list of parameters may be any
   text. A parameter file must exist; the utility for it, when the operator changed it, is
   recorded for the queue's first application (a failure to record is told by the recording and
   does not hold the parameters back). */
static BOOL Write_Instructions(HWND dlg)
{
    const Target *page = Copy_Of(dlg);
    RTI_PAGE *p = Rti_Of(dlg);
    if (!page->parametersIsFile) return TRUE;
    if (!File_Exists(page->parameters)) {
        Info_Box(programTitle, "The chosen parameter file has not been recognised.  This file does not exist. Please click "
                               "on the \"Launch...\" key to create it or select another.");
        SetFocus(GetDlgItem(dlg, IDC_RTI_PARAMS));
        SendDlgItemMessageA(dlg, IDC_RTI_PARAMS, EM_SETSEL, 0, -1);
        return FALSE;
    }
    GetDlgItemTextA(dlg, IDC_RTI_UTILITY, p->lastRead, MAX_PATH);
    if (strcmp(p->lastRead, p->found) != 0) {
        if (p->key[0] == '\0') {
            Trace("QueueRTI_Dlg: no application to record \"%s\" for\n", p->lastRead);
            Info_Box(programTitle, "This queue runs no processes, so the configuration utility cannot be remembered for "
                                   "its application.  The parameters are kept.");
        } else {
            Record_OEMApp(p->key, p->line, p->lastRead);
        }
    }
    return TRUE;
}

/* A utility still running when the page goes (the session ends) keeps running on its own. */
static void Close_Instructions(HWND dlg, BOOL)
{
    RTI_PAGE *p = Rti_Of(dlg);
    if (p == NULL || p->utility == NULL) return;
    KillTimer(dlg, IDT_RTI_UTILITY);
    CloseHandle(p->utility);
    p->utility = NULL;
}

static void On_FileFlag_Click(HWND dlg, BOOL isFile)
{
    Copy_Of(dlg)->parametersIsFile = isFile;
    Set_FileMode(dlg, isFile);
    Set_RadioTabStop(dlg);
}

/* Starts the file chooser in the folder of the parameter file typed (a path on a drive);
   Cancel leaves the text as it was. */
static void On_Browse_Click(HWND dlg)
{
    Trace("queue Dlg: Param File\n");
    Target *page = Copy_Of(dlg);
    char typed[PATH_LEN], path[PATH_LEN];
    GetDlgItemTextA(dlg, IDC_RTI_PARAMS, typed, MAX_PATH);
    Copy_Field(path, typed);
    if (path[0] == '\0' || path[1] != ':' || path[2] != '\\') path[0] = '\0';
    if (Choose_File(dlg, "Parameter File", path, sizeof path, FILTER_ALL, FALSE)) Copy_Field(page->parameters, path);
    else Copy_Field(page->parameters, typed);
    SetDlgItemTextA(dlg, IDC_RTI_PARAMS, page->parameters);
    Set_FileMode(dlg, page->parametersIsFile);
}

static void On_Select_Click(HWND dlg)
{
    char path[PATH_LEN];
    GetDlgItemTextA(dlg, IDC_RTI_UTILITY, path, MAX_PATH);
    if (!Choose_File(dlg, "Configuration Utility", path, sizeof path, FILTER_EXECUTABLE, TRUE)) return;
    SetDlgItemTextA(dlg, IDC_RTI_UTILITY, path);
    Set_FileMode(dlg, Copy_Of(dlg)->parametersIsFile);
}

/* While a utility runs these wait with the page. */
static const int k_WaitingControls[] = {
    IDOK, IDCANCEL, IDC_RTI_NOT_FILE, IDC_RTI_IS_FILE, IDC_RTI_PARAMS, IDC_RTI_BROWSE, IDC_RTI_SELECT, IDC_RTI_EDIT,
    IDC_RTI_UTILITY, IDC_RTI_EDITOR_GROUP, IDC_RTI_UTILITY_LABEL,
};

/* Starts the utility on the parameter file shown, then waits for it: a timer looks every
   UTILITY_PERIOD ms whether it has ended, while the page stays on the screen with its controls
   disabled. */
static void On_Edit_Click(HWND dlg)
{
    Target *page = Copy_Of(dlg);
    RTI_PAGE *p = Rti_Of(dlg);
    if (p->utility != NULL) return;
    GetDlgItemTextA(dlg, IDC_RTI_UTILITY, p->lastRead, MAX_PATH);
    if (p->lastRead[0] == '\0') return;
    GetDlgItemTextA(dlg, IDC_RTI_PARAMS, page->parameters, MAX_PATH);
    char cmd[2 * PATH_LEN + 8];
    if (!Build_UtilityCommand(p->lastRead, page->parameters, cmd, sizeof cmd)) return;
    Trace("QueueRTI_Dlg: starting %s\n", cmd);
    HANDLE h = Start_ConfigUtility(cmd);
    if (h == NULL) {
        SysError_Box(programTitle, "The configuration utility \"%s\" could not be started.", p->lastRead);
        return;
    }
    if (SetTimer(dlg, IDT_RTI_UTILITY, UTILITY_PERIOD, NULL) == 0) {
        /* it runs, but nothing would notice its end: the page does not wait for it */
        Trace("QueueRTI_Dlg: FAILED to start the timer: %s\n", Error_Text(NULL));
        CloseHandle(h);
        return;
    }
    p->utility = h;
    for (int id : k_WaitingControls) Enable(dlg, id, FALSE);
}

static void On_Utility_Timer(HWND dlg)
{
    RTI_PAGE *p = Rti_Of(dlg);
    if (p == NULL || p->utility == NULL) {
        KillTimer(dlg, IDT_RTI_UTILITY);
        return;
    }
    if (WaitForSingleObject(p->utility, 0) == WAIT_TIMEOUT) return;
    Trace("QueueRTI_Dlg: the utility has ended\n");
    KillTimer(dlg, IDT_RTI_UTILITY);
    CloseHandle(p->utility);
    p->utility = NULL;
    static const int back[] = { IDOK, IDCANCEL, IDC_RTI_NOT_FILE, IDC_RTI_IS_FILE, IDC_RTI_PARAMS };
    for (int id : back) Enable(dlg, id, TRUE);
    Set_FileMode(dlg, Copy_Of(dlg)->parametersIsFile);
    Enable(dlg, IDC_RTI_EDIT, Copy_Of(dlg)->parametersIsFile && p->lastRead[0] != '\0');
    HWND focus = GetFocus();
    if (focus == NULL || !IsWindowEnabled(focus)) {
        HWND next = IsWindowEnabled(GetDlgItem(dlg, IDC_RTI_EDIT)) ? GetDlgItem(dlg, IDC_RTI_EDIT) : GetDlgItem(dlg, IDOK);
        SendMessageA(dlg, WM_NEXTDLGCTL, (WPARAM)next, TRUE);
    }
}

static BOOL Waiting(HWND dlg)
{
    const RTI_PAGE *p = Rti_Of(dlg);
    return p != NULL && p->utility != NULL;
}

const PAGE_DEF instructionsPage = {
    "QueueRTI_Dlg(); wm_initdialog\n", "Queue RTI Dlg: OK\n",
    "Queue RTI dialog called but no target pointer passed in.  Cannot show dialog",
    sizeof(Target), k_InstructionsMap, ARRAY_LEN(k_InstructionsMap), NULL, 0, IDOK,
    sizeof(RTI_PAGE), Load_Instructions, Write_Instructions, Close_Instructions,
};

INT_PTR CALLBACK QueueRTI_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_TIMER:
        if (wParam != IDT_RTI_UTILITY) break;
        On_Utility_Timer(hDlg);
        return TRUE;
    case WM_COMMAND:
        if (Copy_Of(hDlg) == NULL) break;
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            if (Waiting(hDlg)) return TRUE;     /* Enter, Esc and the close box wait too */
            break;
        case IDC_RTI_IS_FILE:  On_FileFlag_Click(hDlg, TRUE);  return TRUE;
        case IDC_RTI_NOT_FILE: On_FileFlag_Click(hDlg, FALSE); return TRUE;
        case IDC_RTI_BROWSE:   On_Browse_Click(hDlg);          return TRUE;
        case IDC_RTI_SELECT:   On_Select_Click(hDlg);          return TRUE;
        case IDC_RTI_EDIT:     On_Edit_Click(hDlg);            return TRUE;
        case IDC_RTI_UTILITY:
            if (HIWORD(wParam) == EN_CHANGE && !Waiting(hDlg))
                Enable(hDlg, IDC_RTI_EDIT, Copy_Of(hDlg)->parametersIsFile && Utility_Typed(hDlg));
            return TRUE;
        }
        break;
    }
    return Page_DefProc(hDlg, msg, wParam, lParam, &instructionsPage);
}
