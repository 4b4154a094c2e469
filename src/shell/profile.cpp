#include "shell/profile.h"

void Load_Profiles(void) {}                   /* not built yet */
void Release_Profiles(void) {}
HICON Editor_Icon(void) { return NULL; }
HBITMAP Editor_Splash(void) { return NULL; }
