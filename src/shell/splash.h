/* The splash screen, shown on a thread of its own while the configuration loads. */
#pragma once
#include <windows.h>

/* TRUE when the splash thread was started (there must be a bitmap). displayMs 0 means 3000. */
BOOL Start_Splash(HINSTANCE instance, HBITMAP bitmap, HICON icon, const char *title, DWORD displayMs,
                  BOOL doubleClicks);
