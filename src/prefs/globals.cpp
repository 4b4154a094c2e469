#include "prefs/globals.h"
#include "prefs/jobnames.h"
#include "prefs/prefrules.h"
#include "common/appstate.h"
#include "common/ctrlmap.h"
#include "common/dlgutil.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/validate.h"
#include "config/changelog.h"
#include "config/limits.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <stdlib.h>

/* Posted to itself when it opens and after the File Naming Convention dialog: describe the masks. */
#define WM_REFRESH_MASKS (WM_APP + 1)

typedef struct {
    PREFS_EDIT opened;       /* as read when the dialog opened */
    PREFS_EDIT work;         /* what the dialog shows and edits */
} GLOBALS_STATE;

/* The spin controls go by the ranges OK accepts, so the arrows never offer a refused number. */
static const CTRL_MAP k_LimitsMap[] = {
    CM_INT_ROW(IDC_GP_SETTLE, SPOOLER_GLOBALS, SPOOLER_FILE_SETTLE_TIME, LIMIT_SETTLE_TIME_TYPED),
    CM_SPIN_ROW(IDC_GP_SETTLE_SPIN, LIMIT_SETTLE_TIME_TYPED),
    CM_INT_ROW(IDC_GP_MAXLOG, SPOOLER_GLOBALS, SPOOLER_MAX_LOGSIZE, LIMIT_MAX_LOGSIZE),
    CM_SPIN_ROW(IDC_GP_MAXLOG_SPIN, LIMIT_MAX_LOGSIZE),
};
/* Loaded by the table, checked by hand: the minimum must stay below the maximum just taken. */
static const CTRL_MAP k_MinimumMap[] = {
    CM_INT_ROW(IDC_GP_MINLOG, SPOOLER_GLOBALS, SPOOLER_MIN_LOGSIZE, LIMIT_MIN_LOGSIZE),
    CM_SPIN_ROW(IDC_GP_MINLOG_SPIN, LIMIT_MIN_LOGSIZE),
};
static const CTRL_MAP k_OptionsMap[] = {
    CM_TEXT_ROW(IDC_GP_MAILTO, SPOOLER_GLOBALS, SPOOLER_LOGFILE_ADDRESS),
    CM_CHECK_ROW(IDC_GP_HONOUR, SPOOLER_GLOBALS, HONOUR_SUBDIRS),
};

static const char k_TooLong[] = "This text is too long: the field holds at most %d characters.";
static const char k_PortOutOfRange[] =
    "A number entered is out of range.\r\nMaximum = %d, Minimum = %d\r\nContinue and ignore changes?";

static GLOBALS_STATE *State(HWND dlg) { return (GLOBALS_STATE *)GetWindowLongPtrA(dlg, DWLP_USER); }

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

static void Load_Globals(HWND dlg, GLOBALS_STATE *s)
{
    Load_Controls(dlg, k_LimitsMap, ARRAY_LEN(k_LimitsMap), &s->work.g);
    Load_Controls(dlg, k_MinimumMap, ARRAY_LEN(k_MinimumMap), &s->work.g);
    Load_Controls(dlg, k_OptionsMap, ARRAY_LEN(k_OptionsMap), &s->work.g);
    /* The path as read, with its quotes: a path of 260 characters keeps both. */
    Limit_Text(GetDlgItem(dlg, IDC_GP_PLATE_APP), PLATE_APP_LEN - 1);
    SetDlgItemTextA(dlg, IDC_GP_PLATE_APP, s->work.plateApp);
    Limit_Text(GetDlgItem(dlg, IDC_GP_PORT), PATH_LEN - 1);
    Show_Port(dlg, &s->work.g);
}

/* The path field as typed; FALSE (the operator told, the field selected) when it is too long. */
static BOOL Save_PlateApp(HWND dlg, GLOBALS_STATE *s)
{
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
    Copy_Field(s->work.plateApp, text);
    return TRUE;
}

/* The port has been read as it was typed; a number no port can have is refused the way the
   number fields refuse theirs. */
static BOOL Check_Port(HWND dlg, GLOBALS_STATE *s)
{
    if (s->work.g.COMMS_SERVER_PORT <= LIMIT_COMMS_PORT.maximum) return TRUE;
    Trace("Globals_Dlg: port %d refused\n", s->work.g.COMMS_SERVER_PORT);
    char text[MSG_TEXT_LEN];
    Format_Text(text, sizeof text, k_PortOutOfRange, LIMIT_COMMS_PORT.maximum, LIMIT_COMMS_PORT.minimum);
    if (Show_MessageBox(NULL, text, programTitle, MB_YESNO | MB_ICONSTOP | MB_EDITOR) == IDYES)
        Show_Port(dlg, &s->opened.g);
    Select_Field(dlg, IDC_GP_PORT);
    return FALSE;
}

/* The fields in the order they are checked; FALSE at the first refused one (the operator has
   been asked, the field is selected). */
static BOOL Save_Globals(HWND dlg, GLOBALS_STATE *s)
{
    SPOOLER_GLOBALS *g = &s->work.g;
    if (!Save_Controls(dlg, k_LimitsMap, ARRAY_LEN(k_LimitsMap), g, programTitle)) return FALSE;
    if (!Validate_Field(GetDlgItem(dlg, IDC_GP_MINLOG), VF_INT, &g->SPOOLER_MIN_LOGSIZE, LIMIT_MIN_LOGSIZE.minimum,
                        g->SPOOLER_MAX_LOGSIZE - 1, programTitle))
        return FALSE;
    if (!Save_Controls(dlg, k_OptionsMap, ARRAY_LEN(k_OptionsMap), g, programTitle)) return FALSE;
    if (!Save_PlateApp(dlg, s)) return FALSE;
    return Check_Port(dlg, s);
}

/* Reads the file again, lays the operator's changes over it and writes it. On any failure the
   process-wide preferences are put back as they were, so nothing half-done stays in memory. */
static BOOL Commit_Globals(GLOBALS_STATE *s)
{
    PREFS_EDIT before;
    Take_PrefsEdit(&before);
    BOOL loginBefore = REQUIRE_LOGIN;
    char path[PATH_LEN];
    BOOL ok = Reload_Preferences(path, sizeof path);
    if (!ok) {
        Info_Box(programTitle, "Could not read the preferences file again before saving it. Data will not be saved.\r\n\"%s\"",
                 path);
    } else {
        /* the change log compares the file as it was read just now with what is written */
        PREFS_VALUES *onDisk = (PREFS_VALUES *)malloc(sizeof *onDisk);
        if (onDisk != NULL) Take_LivePrefs(onDisk);
        Merge_PrefsEdit(&s->opened, &s->work);
        ok = Store_SpoolerGlobals();
        if (ok && onDisk != NULL)
            Log_PreferencesChange(onDisk, preferencesMode ? CHANGE_MODE_PREFERENCES : CHANGE_MODE_INTERACTIVE);
        free(onDisk);
    }
    if (!ok) {
        SpoolerGlobals = before.g;
        Copy_Field(PLATE_SEARCH_APP, before.plateApp);
        REQUIRE_LOGIN = loginBefore;
        return FALSE;
    }
    Forget_LoginSwitch();
    return TRUE;
}

static BOOL On_Init(HWND dlg)
{
    Trace("Globals_Dlg(); wm_initdialog\n");
    GLOBALS_STATE *s = (GLOBALS_STATE *)calloc(1, sizeof *s);
    char path[PATH_LEN];
    if (s == NULL || !Reload_Preferences(path, sizeof path)) {
        if (s != NULL)
            Info_Box(programTitle, "Could not read the preferences file. The preferences cannot be changed now.\r\n\"%s\"",
                     path);
        free(s);
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    }
    SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)s);
    Centre_Window(dlg);
    Take_PrefsEdit(&s->opened);
    s->work = s->opened;
    Load_Globals(dlg, s);
    PostMessageA(dlg, WM_REFRESH_MASKS, 0, 0);
    Select_Field(dlg, IDC_GP_SETTLE);
    return FALSE;                  /* the focus is set */
}

static void On_RefreshMasks(HWND dlg)
{
    GLOBALS_STATE *s = State(dlg);
    if (s == NULL) return;
    SPOOLER_GLOBALS *g = &s->work.g;
    g->RIPIndex = Match_MaskPreset(g->SPOOLER_JOBNAME_GROUPMASK, g->SPOOLER_JOBNAME_SEPIDMASK, g->RIPIndex);
    char text[MSG_TEXT_LEN];
    Mask_Description(g->RIPIndex, text, sizeof text);
    SetDlgItemTextA(dlg, IDC_GP_MASKS_TEXT, text);
}

static void On_Port_Change(HWND dlg)
{
    GLOBALS_STATE *s = State(dlg);
    if (s == NULL) return;
    char text[PATH_LEN];
    GetDlgItemTextA(dlg, IDC_GP_PORT, text, sizeof text);
    Read_PortText(text, &s->work.g.COMMS_SERVER_PORT, &s->work.g.portIsHex);
}

static void On_Masks_Change(HWND dlg)
{
    GLOBALS_STATE *s = State(dlg);
    if (s == NULL) return;
    Edit_JobNames(dlg, &s->work.g);
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

static void On_Ok(HWND dlg)
{
    GLOBALS_STATE *s = State(dlg);
    if (s == NULL || !Save_Globals(dlg, s)) return;
    if (!Commit_Globals(s)) return;            /* told; the dialog stays open with what was typed */
    EndDialog(dlg, IDOK);
}

static BOOL CALLBACK Pass_SysColorChange(HWND child, LPARAM)
{
    SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

INT_PTR CALLBACK Globals_Dlg(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG:    return On_Init(dlg);
    case WM_REFRESH_MASKS: On_RefreshMasks(dlg); return TRUE;
    case WM_SYSCOLORCHANGE: EnumChildWindows(dlg, Pass_SysColorChange, 0); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:                On_Ok(dlg);                 return TRUE;
        case IDCANCEL:            EndDialog(dlg, IDCANCEL);   return TRUE;
        case IDC_GP_MASKS_CHANGE: On_Masks_Change(dlg);       return TRUE;
        case IDC_GP_BROWSE:       On_Browse(dlg);             return TRUE;
        case IDC_GP_PORT:
            if (HIWORD(wParam) == EN_CHANGE) On_Port_Change(dlg);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        free(State(dlg));
        SetWindowLongPtrA(dlg, DWLP_USER, 0);
        break;
    }
    return FALSE;
}

BOOL Edit_Globals(HWND owner)
{
    INITCOMMONCONTROLSEX icc = { sizeof icc, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES };
    InitCommonControlsEx(&icc);
    HINSTANCE inst = hInstance != NULL ? hInstance : GetModuleHandleA(NULL);
    return DialogBoxParamA(inst, MAKEINTRESOURCEA(IDD_GLOBALS), owner, Globals_Dlg, 0) == IDOK;
}
