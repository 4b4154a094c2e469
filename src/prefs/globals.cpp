#include "prefs/globals.h"
#include "prefs/jobnames.h"
#include "prefs/prefrules.h"
#include "common/appstate.h"
#include "common/ctrlmap.h"
#include "common/dlgutil.h"
#include "common/frame.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/validate.h"
#include "config/limits.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <stdlib.h>

/* Posted to itself when it opens and after the File Naming Convention dialog: describe the masks. */
#define WM_REFRESH_MASKS (WM_APP + 1)

/* The dialog's state beside its working copy (a PREFS_EDIT, what the dialog shows and edits). */
typedef struct {
    PREFS_EDIT opened;       /* as read when the dialog opened */
} GLOBALS_STATE;

static BOOL Save_MinLog(HWND dlg, void *rec);
static BOOL Save_PlateApp(HWND dlg, void *rec);
static BOOL Check_Port(HWND dlg, void *rec);

/* The fields in the order OK checks them. The spin controls go by the ranges OK accepts, so the
   arrows never offer a refused number. The minimum log size must stay below the maximum just
   taken; the identifier search path keeps its quotes (a path of 260 characters keeps both); the
   port is read as it is typed and checked last. */
static const CTRL_MAP k_GlobalsMap[] = {
    CM_INT_ROW(IDC_GP_SETTLE, PREFS_EDIT, g.SPOOLER_FILE_SETTLE_TIME, LIMIT_SETTLE_TIME_TYPED),
    CM_SPIN_ROW(IDC_GP_SETTLE_SPIN, LIMIT_SETTLE_TIME_TYPED),
    CM_INT_ROW(IDC_GP_MAXLOG, PREFS_EDIT, g.SPOOLER_MAX_LOGSIZE, LIMIT_MAX_LOGSIZE),
    CM_SPIN_ROW(IDC_GP_MAXLOG_SPIN, LIMIT_MAX_LOGSIZE),
    CM_INT_ROW_BY(IDC_GP_MINLOG, PREFS_EDIT, g.SPOOLER_MIN_LOGSIZE, LIMIT_MIN_LOGSIZE, Save_MinLog),
    CM_SPIN_ROW(IDC_GP_MINLOG_SPIN, LIMIT_MIN_LOGSIZE),
    CM_TEXT_ROW(IDC_GP_MAILTO, PREFS_EDIT, g.SPOOLER_LOGFILE_ADDRESS),
    CM_CHECK_ROW(IDC_GP_HONOUR, PREFS_EDIT, g.HONOUR_SUBDIRS),
    CM_TEXT_ROW_BY(IDC_GP_PLATE_APP, PREFS_EDIT, plateApp, Save_PlateApp),
    CM_STEP_ROW(Check_Port),
};

static const char k_TooLong[] = "This text is too long: the field holds at most %d characters.";
static const char k_PortOutOfRange[] =
    "A number entered is out of range.\r\nMaximum = %d, Minimum = %d\r\nContinue and ignore changes?";

static PREFS_EDIT    *Work_Of(HWND dlg) { return (PREFS_EDIT *)Frame_Copy(dlg); }
static GLOBALS_STATE *State(HWND dlg)   { return (GLOBALS_STATE *)Frame_Extra(dlg); }

static void Select_Field(HWND dlg, int id)
{
    HWND field = GetDlgItem(dlg, id);
    SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
}

static void Show_Port(HWND dlg, const SPOOLER_GLOBALS *g)
{
    char text[32];
    Format_PortText(g->COMMS_SERVER_PORT, g->portIsHex, text, sizeof text);
    SetDlgItemTextA(dlg, IDC_GP_PORT, text);
}

static BOOL Open_Globals(HWND dlg, LPARAM)
{
    if (!Open_PrefsEdit(Work_Of(dlg))) return FALSE;
    State(dlg)->opened = *Work_Of(dlg);
    return TRUE;
}

static void Load_Globals(HWND dlg)
{
    Limit_Text(GetDlgItem(dlg, IDC_GP_PORT), PATH_LEN - 1);
    Show_Port(dlg, &Work_Of(dlg)->g);
    PostMessageA(dlg, WM_REFRESH_MASKS, 0, 0);
    Frame_Focus(dlg, IDC_GP_SETTLE);
}

static BOOL Save_MinLog(HWND dlg, void *rec)
{
    SPOOLER_GLOBALS *g = &((PREFS_EDIT *)rec)->g;
    return Validate_Field(GetDlgItem(dlg, IDC_GP_MINLOG), VF_INT, &g->SPOOLER_MIN_LOGSIZE, LIMIT_MIN_LOGSIZE.minimum,
                          g->SPOOLER_MAX_LOGSIZE - 1, programTitle);
}

/* The path field as typed; FALSE (the operator told, the field selected) when it is too long. */
static BOOL Save_PlateApp(HWND dlg, void *rec)
{
    PREFS_EDIT *e = (PREFS_EDIT *)rec;
    char text[PLATE_APP_LEN + 1];
    HWND field = GetDlgItem(dlg, IDC_GP_PLATE_APP);
    int len = GetWindowTextLengthA(field);
    if (len < (int)sizeof text) GetWindowTextA(field, text, sizeof text);
    if (len >= (int)sizeof text || !AppPath_Fits(text)) {
        Trace("Globals_Dlg: identifier search path of %d characters refused\n", len);
        Info_Box(programTitle, k_TooLong, PATH_LEN - 1);
        Select_Field(dlg, IDC_GP_PLATE_APP);
        return FALSE;
    }
    Copy_Field(e->plateApp, text);
    return TRUE;
}

/* The port has been read as it was typed; a number no port can have is refused the way the
   number fields refuse theirs. */
static BOOL Check_Port(HWND dlg, void *rec)
{
    PREFS_EDIT *e = (PREFS_EDIT *)rec;
    if (e->g.COMMS_SERVER_PORT <= LIMIT_COMMS_PORT.maximum) return TRUE;
    Trace("Globals_Dlg: port %d refused\n", e->g.COMMS_SERVER_PORT);
    char text[MSG_TEXT_LEN];
    Format_Text(text, sizeof text, k_PortOutOfRange, LIMIT_COMMS_PORT.maximum, LIMIT_COMMS_PORT.minimum);
    if (Show_MessageBox(NULL, text, programTitle, MB_YESNO | MB_ICONSTOP | MB_EDITOR) == IDYES)
        Show_Port(dlg, &State(dlg)->opened.g);
    Select_Field(dlg, IDC_GP_PORT);
    return FALSE;
}

/* Reads the file again, lays the operator's changes over it and writes it; a failure is told and
   the dialog stays open with what was typed. */
static BOOL Commit_Globals(HWND dlg)
{
    return Commit_PrefsEdit(&State(dlg)->opened, Work_Of(dlg));
}

const FRAME_DEF globalsFrame = {
    "Globals_Dlg(); wm_initdialog\n", sizeof(PREFS_EDIT), sizeof(GLOBALS_STATE), k_GlobalsMap, ARRAY_LEN(k_GlobalsMap),
    IDOK, IDOK, IDCANCEL, Open_Globals, Load_Globals, NULL, Commit_Globals, NULL,
};

static void On_RefreshMasks(HWND dlg)
{
    PREFS_EDIT *e = Work_Of(dlg);
    if (e == NULL) return;
    SPOOLER_GLOBALS *g = &e->g;
    g->RIPIndex = Match_MaskPreset(g->SPOOLER_JOBNAME_GROUPMASK, g->SPOOLER_JOBNAME_SEPIDMASK, g->RIPIndex);
    char text[MSG_TEXT_LEN];
    Mask_Description(g->RIPIndex, text, sizeof text);
    SetDlgItemTextA(dlg, IDC_GP_MASKS_TEXT, text);
}

static void On_Port_Change(HWND dlg)
{
    PREFS_EDIT *e = Work_Of(dlg);
    if (e == NULL) return;
    char text[PATH_LEN];
    GetDlgItemTextA(dlg, IDC_GP_PORT, text, sizeof text);
    Read_PortText(text, &e->g.COMMS_SERVER_PORT, &e->g.portIsHex);
}

static void On_Masks_Change(HWND dlg)
{
    PREFS_EDIT *e = Work_Of(dlg);
    if (e == NULL) return;
    Edit_JobNames(dlg, &e->g);
    PostMessageA(dlg, WM_REFRESH_MASKS, 0, 0);
}

static void On_Browse(HWND dlg)
{
    char text[PLATE_APP_LEN], path[PATH_LEN + 2], quoted[PLATE_APP_LEN];
    GetDlgItemTextA(dlg, IDC_GP_PLATE_APP, text, PATH_LEN);
    Bare_AppPath(text, path, sizeof path);
    if (!Choose_File(dlg, "Application To Run", path, sizeof path, FILTER_EXECUTABLE, FALSE)) return;
    if (Quote_AppPath(path, quoted, sizeof quoted)) SetDlgItemTextA(dlg, IDC_GP_PLATE_APP, quoted);
}

static BOOL CALLBACK Pass_SysColorChange(HWND child, LPARAM)
{
    SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

INT_PTR CALLBACK Globals_Dlg(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_REFRESH_MASKS: On_RefreshMasks(dlg); return TRUE;
    case WM_SYSCOLORCHANGE: EnumChildWindows(dlg, Pass_SysColorChange, 0); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_GP_MASKS_CHANGE: On_Masks_Change(dlg);       return TRUE;
        case IDC_GP_BROWSE:       On_Browse(dlg);             return TRUE;
        case IDC_GP_PORT:
            if (HIWORD(wParam) == EN_CHANGE) On_Port_Change(dlg);
            return TRUE;
        }
        break;
    }
    return Frame_DefProc(dlg, msg, wParam, lParam, &globalsFrame);
}

BOOL Edit_Globals(HWND owner)
{
    INITCOMMONCONTROLSEX icc = { sizeof icc, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES };
    InitCommonControlsEx(&icc);
    HINSTANCE inst = hInstance != NULL ? hInstance : GetModuleHandleA(NULL);
    return DialogBoxParamA(inst, MAKEINTRESOURCEA(IDD_GLOBALS), owner, Globals_Dlg, 0) == IDOK;
}
