#include "config/checks.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "config/lbfile.h"
#include "config/model.h"

/* The path of application slot index, or "" for a reference that names no slot (a damaged
   reference then counts as a missing application rather than reading outside the array). */
static const char *App_Path(int index)
{
    return (index >= 0 && index < MAX_APPS) ? apps[index].path : "";
}

BOOL Check_TargetAppPath(int pos, const char *path, BOOL silent)
{
    Trace("Check_TargetAppPath ()\n");
    if (path != NULL && File_Exists(path)) return TRUE;
    const char *name = (pos >= 0 && pos < MAX_TARGETS) ? targets[pos].name : "";
    if (pos >= 0 && pos < MAX_TARGETS && targets[pos].noProcesses) {
        Trace("Check_TargetAppPath: Queue %ld, %s is configured to run no processes.\n", (long)pos + 1, name);
        return TRUE;
    }
    if (silent) {
        Trace("Check_TargetAppPath: queue %d, \"%s\" missing; silent, refused\n", pos + 1, path ? path : "");
        return FALSE;
    }
    int answer = Message_Box(programTitle, MB_YESNO | MB_ICONWARNING | MB_EDITOR,
                             "The application\n\n\t\"%s\"\n\nconfigured to be run by queue\n\n\t\"%s\"\n\nis invalid."
                             "\n\n\nIf you do not change this setting the queue will not be able to run.\n\n"
                             "Continue shutdown and ignore problem?.",
                             path ? path : "", name);
    return answer == IDYES;
}

BOOL Check_AppPaths(BOOL silent)
{
    Trace("Check_AppPaths ()\n");
    for (int i = 0; i < targetCount; i++) {
        const Target *t = &targets[i];
        if (t->processRef == NO_PROCESSES) continue;
        if (!t->usesGroup) {
            if (!Check_TargetAppPath(i, App_Path(t->processRef), silent)) return FALSE;
            continue;
        }
        if (t->processRef < 0 || t->processRef >= MAX_APPGROUPS) {
            if (!Check_TargetAppPath(i, "", silent)) return FALSE;
            continue;
        }
        const AppGroup *g = &appGroups[t->processRef];
        int count = (g->count < MAX_GROUP_MEMBERS) ? g->count : MAX_GROUP_MEMBERS;
        for (int m = 0; m < count; m++)
            if (!Check_TargetAppPath(i, App_Path(g->members[m]), silent)) return FALSE;
    }
    return TRUE;
}

BOOL Check_UniqueQueueNames(void)
{
    Trace("Check_UniqueQueueNames ()\n");
    for (int i = 1; i < targetCount; i++) {
        for (int j = 0; j < i; j++) {
            if (Compare_NoCase(targets[i].name, targets[j].name) != 0) continue;
            Play_Beep(MB_ICONHAND);
            Message_Box(programTitle, MB_OK | MB_ICONERROR | MB_EDITOR,
                        "The following name is being used for queue %d and queue %d:\n\n\t\"%s\"\n\n"
                        "You must select distinct names for these queues before you can continue.",
                        j + 1, i + 1, targets[i].name);
            return FALSE;
        }
    }
    return TRUE;
}

BOOL Check_UniqueQueueName(const char *name, int pos, int *clash)
{
    Trace("Check_UniqueQueueName ()\n");
    for (int i = 0; i < targetCount; i++) {
        if (i == pos || Compare_NoCase(name, targets[i].name) != 0) continue;
        if (clash != NULL) *clash = i;
        return FALSE;
    }
    return TRUE;
}

BOOL Check_LBQOutputs(void)
{
    Trace("Check_LBQOutputs ()\n");
    BOOL ok = TRUE;
    for (int i = 0; i < lbqCount; i++) {
        if (lbqs[i].queueGroupEnabled == 0) continue;
        int outputs = Count_LBQOutputs(lbqs[i].outputs);
        if (outputs >= 2) continue;
        Info_Box(programTitle,
                 "The load balanced input queue \"%s\" does not have two or more output queues configured for it "
                 "to send jobs to. It currently has %d.  You must add output queues to this input queue, delete it, "
                 "or disable the queue by clicking the box labelled \"Balancing enabled\".",
                 lbqs[i].name, outputs);
        ok = FALSE;
    }
    return ok;
}
