#include "common/appstate.h"
#include "common/text.h"

const char *homeDir;
char        homePathBuffer[261];
BOOL        updateMode;
BOOL        preferencesMode;
BOOL        silentMode;
BOOL        commandMode;
int         silentResult;
BOOL        saveOnExit;
HINSTANCE   hInstance;
HWND        mainWindow;

HICON sharedIcons[SHARED_ICON_COUNT];
HICON loadBalancerIcon;

char programTitle[NAME_TEXT_LEN]     = "Editor";
char systemName[NAME_TEXT_LEN]       = "Ostra Output Controller";
char loadBalancerName[NAME_TEXT_LEN] = "Load Balancer";

void Reset_AppState(void)
{
    homeDir = NULL;
    homePathBuffer[0] = '\0';
    updateMode = preferencesMode = silentMode = commandMode = FALSE;
    silentResult = 0;
    saveOnExit = FALSE;
    mainWindow = NULL;
    Copy_Field(programTitle, "Editor");
    Copy_Field(systemName, "Ostra Output Controller");
    Copy_Field(loadBalancerName, "Load Balancer");
}
