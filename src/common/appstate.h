/* Process-wide state that every layer reads: the home directory, the mode flags and the
   names published from the identity profiles. Set by the start-up; plain globals. */
#pragma once
#include <windows.h>

#define NAME_TEXT_LEN 261

extern const char *homeDir;          /* NULL until known; configuration paths are "%s\%s" of it */
extern char        homePathBuffer[261];
extern BOOL        updateMode;
extern BOOL        preferencesMode;
extern BOOL        silentMode;
/* A mode of the command line without a window (shell/modes): nothing is shown, every message
   goes to the standard error and a question takes its cautious answer. */
extern BOOL        commandMode;
extern int         silentResult;
extern BOOL        saveOnExit;
extern HINSTANCE   hInstance;
extern HWND        mainWindow;

extern char programTitle[NAME_TEXT_LEN];       /* caption of every message box; "Editor" */
extern char systemName[NAME_TEXT_LEN];         /* "Ostra Output Controller" */
extern char loadBalancerName[NAME_TEXT_LEN];   /* "Load Balancer" */

/* The seven icons loaded once from the resources at start-up, shared by the lists and the
   queue summaries (NULL in the modes without a window). */
enum {
    ICON_PROGRAM, ICON_NO_PROCESSES, ICON_PARALLEL, ICON_SERIES,
    ICON_MOVE_JOBS, ICON_DELETE_JOBS, ICON_RECYCLE_JOBS, SHARED_ICON_COUNT
};
extern HICON sharedIcons[SHARED_ICON_COUNT];
/* The load balancer's identity icon, which stands for every input queue; published with the
   names when the profiles are loaded (NULL until then). */
extern HICON loadBalancerIcon;

/* Back to the state of a fresh process (tests only). */
void Reset_AppState(void);
