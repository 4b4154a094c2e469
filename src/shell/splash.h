/* The splash screen, shown on a thread of its own while the configuration loads. */
#pragma once
#include <windows.h>

#define SPLASH_CLASS       "SplashScreenClass"
#define SPLASH_DEFAULT_MS  3000      /* the display time when 0 is given */

/* Shows the bitmap in a borderless window in the middle of the screen, on a thread of its own,
   for displayMs (0 means 3000) or until it is clicked. icon and title go to the window class
   and the window. TRUE when the splash thread was started; FALSE, with nothing started, without
   an instance or a bitmap. The bitmap stays the caller's and must live until Close_Splash has
   returned (a splash still shown from an earlier call is closed first). */
BOOL Start_Splash(HINSTANCE instance, HBITMAP bitmap, HICON icon, const char *title, DWORD displayMs,
                  BOOL doubleClicks);

/* Ends the splash: its window is asked to close and its thread is waited for (a thread that
   has ended already is only released). After it the bitmap may be freed. Nothing without a splash. */
void Close_Splash(void);

/* The splash window while one is shown, else NULL. */
HWND Splash_Window(void);

/* A logical palette with the colour table of the bitmap selected into memDC (up to 256
   entries); NULL when the bitmap has no colour table. */
HPALETTE Create_ColourTablePalette(HDC memDC);
