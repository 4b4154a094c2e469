#include "shell/splash.h"

BOOL Start_Splash(HINSTANCE, HBITMAP, HICON, const char *, DWORD, BOOL) { return FALSE; }  /* not built yet */
