/* Identity resources: names, icons and the splash picture from the profile folders. */
#pragma once
#include <windows.h>

void Load_Profiles(void);
/* Releases the splash bitmaps and icons of the three profiles. */
void Release_Profiles(void);
/* The editor's icon (NULL when none could be had). */
HICON Editor_Icon(void);
/* The editor's splash bitmap, or NULL. */
HBITMAP Editor_Splash(void);
