/* The icons of the applications, taken from their files when a window first shows them (never in
   the modes without a window) and kept in the application slots (apps[s].icon). */
#pragma once
#include <windows.h>
#include "config/model.h"

/* The program's own icon, which stands for every application whose file gives none: the icon the
   start-up published in sharedIcons, loaded and published here when it has not been. */
HICON Program_Icon(void);

/* The icon of application slot s, taken from its file the first time it is asked for: the first
   icon of iconPath (else of path), or the program icon when the file gives none. Only the used
   slots from slot 0 up to the first free one get icons; NULL for any other slot. */
HICON App_Icon(int s);
/* Gives every used slot from slot 0 up to the first free one its icon, where it has none yet
   (trace "Assigning icons to valid apps"). For the windows that show applications' icons. */
void Assign_AppIcons(void);
/* The same for at most count of those slots; TRUE when none is left without its icon. For a
   window that takes them a few at a time while it has nothing else to do. */
BOOL Assign_SomeAppIcons(int count);
