#include "mainwin/changes.h"
#include "config/changelog.h"
#include "lists/rowlist.h"
#include "common/trace.h"

static BOOL Fill_Changes(ROWSET *set, void *) { return Fill_PendingChanges(set); }

void On_Changes(HWND owner)
{
    Trace("On_Changes()\n");
    ROWLIST_DEF def = { "Changes", Fill_Changes, NULL, NULL, -1, FALSE };
    Show_RowList(owner, &def);
}

BOOL Changes_Available(HWND) { return Loaded_Image() != NULL; }
