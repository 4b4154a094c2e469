#include "queueedit/targetwork.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "config/newdirs.h"
#include "config/checks.h"
#include <shellapi.h>
#include <string.h>

int Editor_Position(int pos)
{
    if (pos < 0 || pos > targetCount) pos = 0;
    if (pos == targetCount && (targetCount >= MAX_TARGETS || targetCount + lbqCount >= MAX_QUEUES)) return -1;
    return pos;
}

HICON Extract_QueueIcon(const char *file)
{
    if (file == NULL || file[0] == '\0') return NULL;
    HINSTANCE inst = hInstance != NULL ? hInstance : GetModuleHandleA(NULL);
    HICON icon = ExtractIconA(inst, file, 0);
    return (icon == (HICON)1) ? NULL : icon;        /* 1: "not a file with icons" */
}

void Open_TargetWork(int pos, Target *work)
{
    Trace("Open Page %d\n", pos);
    *work = targets[pos];
    if (pos == targetCount) {
        Trace("LOAD_NEW_PAGE_DATA\n");
        char hot[PATH_LEN];
        Get_NewHotDir(targetCount, hot, sizeof hot);
        Init_NewTarget(work, hot);
    }
    if (work->monitorProcesses && strstr(work->hotDir, "Monitor") == NULL) Copy_Field(work->hotDir, "Monitor");
    if (work->hidden) work->suspendOnError = FALSE;
    /* the copy never shares the slot's handle: what it holds is the editor's own */
    work->icon = Extract_QueueIcon(work->iconPath);
}

/* typed without leading and trailing blanks, into name. */
static void Trim_Name(const char *typed, char *name, size_t cap)
{
    while (*typed == ' ') typed++;
    size_t len = strlen(typed);
    while (len > 0 && typed[len - 1] == ' ') len--;
    Copy_TextN(name, cap, typed, len);
}

static void Refuse(const char *text)
{
    Play_Beep(MB_ICONHAND);
    Message_Box(programTitle, MB_OK | MB_ICONERROR | MB_EDITOR, "%s", text);
}

BOOL Check_TargetWork(const Target *work, int pos, const char *typed, char *name, size_t cap)
{
    Trace("Queue Dlg: Done\n");
    Trace("Close Page %d \n", pos);
    Trim_Name(typed, name, cap);
    if (name[0] == '\0' || strcmp(name, NEW_TARGET_NAME) == 0) {
        Refuse("You must enter a name for this queue before continuing.");
        return FALSE;
    }
    if (strpbrk(name, "/\\\":*?<>|") != NULL) {
        Refuse("The name of a queue cannot contain any of the following characters: / \\ \" : * ? < > |");
        return FALSE;
    }
    if (work->parametersIsFile && !File_Exists(work->parameters))
        Info_Box(programTitle, "The chosen parameter file has not been recognised.  This file does not exist. "
                               "This will be saved as a string only.");
    if (!work->monitorProcesses && !Dir_Exists(work->hotDir) && !Is_AbsDrivePath(work->hotDir)) {
        Info_Box(programTitle, "The chosen hot directory is not a valid path name.  Please correct the entry or "
                               "select an existing directory using the chooser.");
        return FALSE;
    }
    if (!work->noProcesses && work->processRef == NO_PROCESSES) {
        Refuse("You have no applications configured.  Cannot save this queue.");
        return FALSE;
    }
    int clash = -1;
    if (!Check_UniqueQueueName(name, pos, &clash)) {
        Play_Beep(MB_ICONHAND);
        Message_Box(programTitle, MB_OK | MB_ICONERROR | MB_EDITOR,
                    "This queue has the same name as queue %d.  Cannot save this queue.", clash + 1);
        return FALSE;
    }
    return TRUE;
}

void Commit_TargetWork(Target *work, int pos)
{
    Normalise_Target(work);
    if (pos == targetCount) {
        targetCount++;
        work->slotIndex = pos;
    }
    HICON old = targets[pos].icon;
    targets[pos] = *work;
    if (old != NULL && old != work->icon) DestroyIcon(old);
    Trace("Committed queue %d \"%s\"\n", pos + 1, work->name);
}

void Drop_TargetWork(Target *work)
{
    if (work->icon != NULL) DestroyIcon(work->icon);
    work->icon = NULL;
}

void Hold_WorkIcon(const Target *work, HICON *held)
{
    if (work->icon == *held) return;
    if (*held != NULL) DestroyIcon(*held);
    *held = work->icon;
}

void Propagate_SwitchIfIdle(const Target *work)
{
    if (work->mutexGroup[0] == '\0') return;
    for (int i = 0; i < targetCount; i++)
        if (strcmp(targets[i].mutexGroup, work->mutexGroup) == 0) targets[i].switchIfIdle = work->switchIfIdle;
}
