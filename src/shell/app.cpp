#include "shell/app.h"
#include "shell/modes.h"
#include "shell/profile.h"
#include "shell/splash.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "config/changelog.h"
#include "config/model.h"
#include "config/setup.h"
#include "mainwin/maindlg.h"
#include "config/savesequence.h"
#include "prefs/globals.h"
#include "resources/resource.h"
#include <stdio.h>
#include <string.h>
#include <commctrl.h>


static HANDLE s_RunningMutex;

/* Is text an existing directory, or a directory path that can be created? */
static BOOL Usable_HomePath(const char *path)
{
    return Dir_Exists(path) || Create_DirectoryPath(path, NULL);
}

/* Copies what follows an option and one separating character into homePathBuffer. FALSE when
   it does not fit (the buffer then holds nothing usable). */
static BOOL Take_HomePath(const char *cmdLine, size_t optionLen)
{
    const char *rest = (strlen(cmdLine) > optionLen) ? cmdLine + optionLen + 1 : "";
    return Copy_Field(homePathBuffer, rest);
}

/* A quoted home path: what lies between the first quote and the next (or the end). */
static void Unquote_HomePath(char *path)
{
    char *quote = strchr(path, '"');
    if (quote == NULL) return;
    size_t n = strcspn(quote + 1, "\"");
    memmove(path, quote + 1, n);
    path[n] = '\0';
}

/* TRUE when the home path given (before unquoting) leaves room for every file beneath it. */
static BOOL Home_Fits(BOOL whole)
{
    char unquoted[sizeof homePathBuffer];
    Copy_Field(unquoted, homePathBuffer);
    Unquote_HomePath(unquoted);
    return whole && Home_HasRoom(unquoted);
}

/* A home path too long for the files beneath it is refused before anything is read, written or
   created under it (in the update mode the text goes to the standard error). Returns 0. */
static int Refuse_LongHome(const char *given)
{
    char path[MSG_TEXT_LEN / 2];
    Copy_Field(path, given);
    Unquote_HomePath(path);
    Trace("The home directory path is too long: %s\n", path);
    Info_Box(programTitle,
             "The home directory path is too long:\n\n%s\n\nA home directory path may have at most %d characters, so "
             "that the paths of the files the editor keeps in it fit. Cannot continue.",
             path, Longest_HomePath());
    return 0;
}

int Parse_CommandLine(const char *cmdLine)
{
    if (cmdLine == NULL || cmdLine[strspn(cmdLine, " \t")] == '\0') return 1;

    BOOL haveHome = FALSE;
    if (Starts_With_NoCase(cmdLine, "-update")) {
        /* checked before the path is tried, which may create its folders */
        if (!Home_Fits(Take_HomePath(cmdLine, 7))) {
            updateMode = TRUE;
            return Refuse_LongHome(cmdLine + (strlen(cmdLine) > 7 ? 8 : 7));
        }
        if (Usable_HomePath(homePathBuffer)) {
            updateMode = TRUE;
            haveHome = TRUE;
        }
    }
    if (!haveHome && Starts_With_NoCase(cmdLine, "-preferences")) {
        if (!Home_Fits(Take_HomePath(cmdLine, 12))) return Refuse_LongHome(cmdLine + (strlen(cmdLine) > 12 ? 13 : 12));
        preferencesMode = TRUE;
        haveHome = TRUE;
    }
    if (!haveHome) {
        if (Starts_With_NoCase(cmdLine, "-silent")) {
            silentMode = TRUE;
            return 1;
        }
        Info_Box(programTitle,
                 "Command line options:\r\n\r\n%s <homepath>  :  Update config files only (background process)\r\n"
                 "%s <homepath>  :  Access preferences dialog only\r\n%s  :  Update config files only (background "
                 "process)\r\n\r\n(<homepath> is the directory in which you chose to install Ostra)",
                 "-update", "-preferences", "-silent");
        return 0;
    }

    Unquote_HomePath(homePathBuffer);
    if (!Usable_HomePath(homePathBuffer)) {
        Info_Box(programTitle, "Could not find the specified home directory in the command line:\n\n%s\n\nCannot continue.",
                 cmdLine);
        return 0;
    }
    homeDir = homePathBuffer;
    saveOnExit = TRUE;
    return 1;
}

int Register_Classes(HINSTANCE instance)
{
    static const struct { const char *name; BOOL iconAndCursor; } k_Classes[] = {
        { EDITOR_CLASS, TRUE },
        { EDIT_PARENT_CLASS, FALSE },
    };
    for (size_t i = 0; i < ARRAY_LEN(k_Classes); i++) {
        WNDCLASSA wc;
        memset(&wc, 0, sizeof wc);
        wc.style = CS_DBLCLKS | CS_BYTEALIGNWINDOW;
        wc.lpfnWndProc = DefDlgProcA;
        wc.cbWndExtra = DLGWINDOWEXTRA;
        wc.hInstance = instance;
        wc.hIcon = k_Classes[i].iconAndCursor ? Editor_Icon() : NULL;
        wc.hCursor = k_Classes[i].iconAndCursor ? LoadCursor(NULL, IDC_ARROW) : NULL;
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = k_Classes[i].name;
        if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            Trace("Could not register %s: %s\n", k_Classes[i].name, Error_Text(NULL));
            return 0;
        }
        Trace("Registered %s\n", k_Classes[i].name);
    }
    return 1;
}

int Find_RunningEditor(void)
{
    HWND other = FindWindowA(EDITOR_CLASS, NULL);
    if (other == NULL) other = FindWindowA(EDITOR_OLD_CLASS, NULL);
    if (other == NULL) return 0;
    /* The editor's dialogs share its class: start from the main window, restore it if it was
       minimised (a maximised one stays so), and put in front the dialog the operator was
       working in, which may be an editor open over the main window. */
    HWND root = GetAncestor(other, GA_ROOTOWNER);
    if (root == NULL) root = other;
    ShowWindow(root, IsIconic(root) ? SW_RESTORE : SW_SHOW);
    HWND front = GetLastActivePopup(root);
    SetForegroundWindow(front != NULL ? front : root);
    return 1;
}

/* Takes the single-editor mutex. FALSE when another editor holds it; that editor's window is
   then brought to the front (waiting briefly, as it may still be starting). */
static BOOL Claim_SingleEditor(void)
{
    s_RunningMutex = CreateMutexA(NULL, TRUE, EDITOR_MUTEX);
    if (s_RunningMutex != NULL && GetLastError() != ERROR_ALREADY_EXISTS) return TRUE;
    if (s_RunningMutex != NULL) {
        CloseHandle(s_RunningMutex);
        s_RunningMutex = NULL;
    }
    for (int i = 0; i < 40 && !Find_RunningEditor(); i++) Sleep(50);
    return FALSE;
}

int Silent_Save(int silent)
{
    return Save_Sequence(silent);
}

static void Load_SharedIcons(HINSTANCE instance)
{
    static const int k_Ids[SHARED_ICON_COUNT] = {
        IDI_PROGRAM, IDI_NO_PROCESSES, IDI_PARALLEL, IDI_SERIES, IDI_MOVE_JOBS, IDI_DELETE_JOBS, IDI_RECYCLE_JOBS,
    };
    for (int i = 0; i < SHARED_ICON_COUNT; i++) sharedIcons[i] = LoadIconA(instance, MAKEINTRESOURCEA(k_Ids[i]));
}

HWND InitApp(HINSTANCE instance)
{
    Trace("InitApp()\n");
    hInstance = instance;
    /* A silent run that stops before its save has stored nothing: it must not exit as a success. */
    if (silentMode) silentResult = 1;
    homeDir = Get_HomeDirectory();
    if (homeDir == NULL) {
        Info_Box(programTitle, "Application not running in the correct folder; can't continue.");
        return NULL;
    }
    Trace("Home directory: %s\n", homeDir);
    if (!Home_HasRoom(homeDir)) {
        Refuse_LongHome(homeDir);
        return NULL;
    }
    /* the silent mode shows no window: the names only, no splash picture and no icons */
    if (silentMode) Load_ProfileNames();
    else Load_Profiles();
    saveOnExit = TRUE;
    if (!Claim_SingleEditor()) return NULL;
    if (Find_RunningEditor()) return NULL;
    if (!Register_Classes(instance)) return NULL;
    if (!silentMode && Editor_Splash() != NULL)
        Start_Splash(instance, Editor_Splash(), Editor_Icon(), programTitle, 5000, TRUE);
    InitData();
    Load_SharedIcons(instance);
    /* The queues' and applications' own icons are taken from their files when a list first
       shows them (lists/queuelists), never in the silent mode. A queue whose icon file cannot
       be read then shows the default icon and keeps its icon setting. */
    if (silentMode) {
        /* A file that could not be written is a failed save, not a success. */
        silentResult = Silent_Save(1) ? 0 : 1;
        return NULL;
    }
    /* The common controls are bound when first used: their classes are registered before the
       first dialog that holds them. */
    INITCOMMONCONTROLSEX icc = { sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES };
    InitCommonControlsEx(&icc);
    HWND dlg = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), NULL, MainMenu_Dlg, 0);
    if (dlg == NULL) {
        Info_Box(programTitle, "Failed to create the windows interface");
        Sleep(2000);
        return NULL;
    }
    mainWindow = dlg;
    Trace("Created root window\n");
    return dlg;
}

void CloseApp(void)
{
    Trace("CloseApp()\n");
    Free_Resources();
    Release_Profiles();
    if (s_RunningMutex != NULL) {
        ReleaseMutex(s_RunningMutex);
        CloseHandle(s_RunningMutex);
        s_RunningMutex = NULL;
    }
    Trace("Close down complete.");
}

/* The message loop of the interactive mode; returns the wParam of the last message taken. */
static int Run_MessageLoop(HWND dlg)
{
    MSG msg;
    msg.wParam = 0;
    for (;;) {
        BOOL got = GetMessageA(&msg, NULL, 0, 0);
        if (got == 0 || got == -1) break;
        if (msg.message == WM_QUERYENDSESSION || msg.message == WM_ENDSESSION) {
            Trace("Message loop received a WM_QUERYENDSESSION or WM_ENDSESSION\n");
            Show_MessageBox(NULL, "WM_QUERYENDSESSION received by window message handler", programTitle, MB_OK);
            msg.hwnd = dlg;
            DispatchMessageA(&msg);
            break;
        }
        if (mainWindow == NULL || !IsDialogMessageA(mainWindow, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return (int)msg.wParam;
}

int Editor_Main(HINSTANCE instance, const char *cmdLine)
{
    hInstance = instance;
    const char *traceSwitch = getenv("EDITOR_TRACE");
    if (traceSwitch != NULL && traceSwitch[0] != '\0' && strcmp(traceSwitch, "0") != 0) Trace_Enable();
    Trace_SetFileName("editor.log");
    Trace("WinMain()\n");

    /* The modes without a window come first; a line that names none of them is the older
       options' to take. */
    int count = 0, code = 0;
    const CLI_MODE *modes = Command_Modes(&count);
    if (Run_CommandMode(modes, count, cmdLine, &code)) {
        CloseApp();
        Trace_Close();
        return code;
    }
    if (!Parse_CommandLine(cmdLine)) return 1;
    if (homeDir != NULL) {
        if (updateMode) Load_ProfileNames();
        else Load_Profiles();
    }

    if (updateMode) {
        InitData();
        Prepare_ChangeEntry();
        /* A file that could not be written is not a successful update. */
        BOOL stored = StoreSetup();
        if (stored) Log_ChangeEntry(CHANGE_MODE_UPDATE);
        CloseApp();
        Trace_Close();
        return stored ? 0 : 1;
    }
    if (preferencesMode) {
        if (!Register_Classes(instance)) return 1;
        Edit_Globals(NULL);
        CloseApp();
        Trace_Close();
        return 0;
    }
    HWND dlg = InitApp(instance);
    if (dlg == NULL) {
        CloseApp();
        Trace_Close();
        return silentMode ? silentResult : 1;
    }
    code = Run_MessageLoop(dlg);
    CloseApp();
    Trace_Close();
    return code;
}
