#include "config/newdirs.h"
#include "config/model.h"
#include "common/appstate.h"
#include "common/text.h"
#include "common/trace.h"
#include <string.h>

/* Whether any file or folder has this path. */
static BOOL Path_Taken(const char *path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

/* The first "<stem> <k>", k above n, that is on no disk and no queue's hot directory (exact
   comparison). isLBQ picks the queues compared against. */
static void Propose_Dir(const char *folder, const char *name, BOOL isLBQ, int n, char *out, size_t cap)
{
    char stem[MAX_PATH], candidate[MAX_PATH];
    out[0] = '\0';
    if (homeDir == NULL || !Format_Text(stem, sizeof stem, "%s\\%s\\%s", homeDir, folder, name)) {
        Trace("The home path leaves no room for \"%s\\%s\". Returning (void)\n", folder, name);
        return;
    }
    /* k never wraps: past the largest number no more names are tried */
    for (long long k = (long long)n + 1; k <= 0x7FFFFFFFLL; k++) {
        if (!Format_Text(candidate, sizeof candidate, "%s %lld", stem, k)) return;
        if (Path_Taken(candidate)) continue;
        BOOL used = FALSE;
        int count = isLBQ ? lbqCount : targetCount;
        for (int i = 0; i < count && !used; i++)
            used = strcmp(isLBQ ? lbqs[i].hotDir : targets[i].hotDir, candidate) == 0;
        if (used) continue;
        Copy_Text(out, cap, candidate);
        Trace("Created the path string \"%s\". Returning (void)\n", out);
        return;
    }
}

void Get_NewHotDir(int n, char *out, size_t cap)
{
    Trace("Get_NewHotDir ( )\n");
    Propose_Dir("Hot Folders", "Hot Folder", FALSE, n, out, cap);
}

void Get_NewLBQDir(int n, char *out, size_t cap)
{
    Trace("Get_NewLBQDir ( )\n");
    Propose_Dir("Load Balancer Inputs", "Input", TRUE, n, out, cap);
}
