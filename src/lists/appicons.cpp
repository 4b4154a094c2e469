#include "lists/appicons.h"
#include "common/appstate.h"
#include "common/trace.h"
#include "resources/resource.h"
#include <shellapi.h>
#include <stdint.h>

static HINSTANCE Instance(void) { return hInstance != NULL ? hInstance : GetModuleHandleA(NULL); }

HICON Program_Icon(void)
{
    if (sharedIcons[ICON_PROGRAM] == NULL) sharedIcons[ICON_PROGRAM] = LoadIconA(Instance(), MAKEINTRESOURCEA(IDI_PROGRAM));
    return sharedIcons[ICON_PROGRAM];
}

/* Takes the icon of application slot s from its file (iconPath, else path), or the program icon
   when the file gives none. */
static void Extract_AppIcon(int s)
{
    App *a = &apps[s];
    HICON icon = ExtractIconA(Instance(), a->iconPath[0] != '\0' ? a->iconPath : a->path, 0);
    if (icon == (HICON)1) icon = NULL;                  /* not a file that holds icons */
    if (icon == NULL) {
        icon = Program_Icon();
        Trace("[Use Default, %x]", (unsigned)(uintptr_t)icon);
    }
    a->icon = icon;
}

/* Icons are given to the used slots from slot 0 up to the first free one. */
static BOOL Has_IconSlot(int s)
{
    if (s < 0 || s >= MAX_APPS) return FALSE;
    for (int k = 0; k <= s; k++)
        if (apps[k].free) return FALSE;
    return TRUE;
}

HICON App_Icon(int s)
{
    if (s < 0 || s >= MAX_APPS) return NULL;
    if (apps[s].icon == NULL && Has_IconSlot(s)) Extract_AppIcon(s);
    return apps[s].icon;
}

BOOL Assign_SomeAppIcons(int count)
{
    BOOL traced = FALSE;
    for (int s = 0; s < MAX_APPS && !apps[s].free; s++) {
        if (apps[s].icon != NULL) continue;
        if (count-- <= 0) return FALSE;
        if (!traced) Trace("\nAssigning icons to valid apps, from slot %d\n", s);
        traced = TRUE;
        Extract_AppIcon(s);
    }
    return TRUE;
}

void Assign_AppIcons(void) { Assign_SomeAppIcons(MAX_APPS); }
