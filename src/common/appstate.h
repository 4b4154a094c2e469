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
extern int         silentResult;
extern BOOL        saveOnExit;
extern HINSTANCE   hInstance;
extern HWND        mainWindow;

extern char programTitle[NAME_TEXT_LEN];       /* caption of every message box; "Editor" */
extern char systemName[NAME_TEXT_LEN];         /* "Ostra Output Controller" */
extern char loadBalancerName[NAME_TEXT_LEN];   /* "Load Balancer" */

/* Back to the state of a fresh process (tests only). */
void Reset_AppState(void);
