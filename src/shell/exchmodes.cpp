#include "shell/exchmodes.h"
#include "shell/app.h"
#include "common/appstate.h"
#include "common/text.h"
#include "common/trace.h"
#include "config/exchange.h"
#include "config/model.h"
#include "config/savesequence.h"
#include "config/setup.h"
#include <string.h>

/* Standard output of both modes, one line each, fields separated by a tab:
       exported <TAB> output queue|input queue <TAB> name
       imported <TAB> output queue|input queue <TAB> name in the file <TAB> name here
       application <TAB> reused|added <TAB> path
       note <TAB> text                           (what the import changed or wrote beside the queues)
   Reasons for exit code 1 go to the standard error, one a line. */

static const char *Kind_Name(BOOL input) { return input ? "input queue" : "output queue"; }

int Export_Mode(const CLI_CALL *call)
{
    Trace("Export_Mode ( %s )\n", call->argv[1]);
    InitData();
    static int s_Targets[MAX_TARGETS], s_Lbqs[MAX_LBQS];
    static BOOL s_TakenT[MAX_TARGETS], s_TakenL[MAX_LBQS];
    memset(s_TakenT, 0, sizeof s_TakenT);
    memset(s_TakenL, 0, sizeof s_TakenL);
    int nT = 0, nL = 0, missing = 0;
    for (int a = 2; a < call->argc; a++) {
        const char *name = call->argv[a];
        int found = -1;
        for (int i = 0; i < targetCount && found < 0; i++)
            if (strcmp(targets[i].name, name) == 0) found = i;
        for (int i = 0; i < targetCount && found < 0; i++)
            if (Compare_NoCase(targets[i].name, name) == 0) found = i;
        if (found >= 0) {
            if (!s_TakenT[found]) s_Targets[nT++] = found;
            s_TakenT[found] = TRUE;
            continue;
        }
        for (int i = 0; i < lbqCount && found < 0; i++)
            if (Compare_NoCase(lbqs[i].name, name) == 0) found = i;
        if (found >= 0) {
            if (!s_TakenL[found]) s_Lbqs[nL++] = found;
            s_TakenL[found] = TRUE;
            continue;
        }
        Err_Line("No queue is named \"%s\" in %s.", name, call->home);
        missing++;
    }
    if (missing > 0) {
        Err_Line("Nothing was exported.");
        return 1;
    }
    if (!Write_Export(call->argv[1], s_Targets, nT, s_Lbqs, nL)) return 1;
    for (int i = 0; i < nL; i++) Out_Line("exported\t%s\t%s", Kind_Name(TRUE), lbqs[s_Lbqs[i]].name);
    for (int i = 0; i < nT; i++) Out_Line("exported\t%s\t%s", Kind_Name(FALSE), targets[s_Targets[i]].name);
    return 0;
}

/* An editor of this installation that is open: it would write its own configuration over the
   import when its operator presses OK. */
static BOOL Editor_IsRunning(void)
{
    if (FindWindowA(EDITOR_CLASS, NULL) != NULL || FindWindowA(EDITOR_OLD_CLASS, NULL) != NULL) return TRUE;
    HANDLE m = OpenMutexA(SYNCHRONIZE, FALSE, EDITOR_MUTEX);
    if (m == NULL) return FALSE;
    CloseHandle(m);
    return TRUE;
}

int Import_Mode(const CLI_CALL *call)
{
    Trace("Import_Mode ( %s )\n", call->argv[1]);
    if (call->argc == 3) {
        Err_Line("Usage: Editor.exe -import <home> <file> [<old path root> <new path root>]");
        return 1;
    }
    if (Editor_IsRunning()) {
        Err_Line("An editor is open: close it before importing, or import from its main window.");
        return 1;
    }
    InitData();
    IMPORT_PLAN *plan = Read_ExportFile(call->argv[1]);
    if (plan == NULL) {
        Err_Line("Not enough memory to read %s.", call->argv[1]);
        return 1;
    }
    if (plan->refused) {
        if (plan->badLine > 0) Err_Line("%s, line %d: %s", call->argv[1], plan->badLine, plan->reason);
        else Err_Line("%s: %s", call->argv[1], plan->reason);
        Err_Line("Nothing was imported.");
        Free_ImportPlan(plan);
        return 1;
    }
    if (call->argc == 4) {
        Copy_Field(plan->fromRoot, call->argv[2]);
        Copy_Field(plan->toRoot, call->argv[3]);
    }
    if (Review_Import(plan) > 0) {
        for (int i = 0; i < plan->noteCount; i++)
            if (plan->notes[i].blocking) Err_Line("%s", plan->notes[i].text);
        Err_Line("Nothing was imported.");
        Free_ImportPlan(plan);
        return 1;
    }
    int code = 1;
    if (Apply_Import(plan) && Save_Sequence(TRUE)) {
        code = 0;
        for (int i = 0; i < plan->queueCount; i++)
            Out_Line("imported\t%s\t%s\t%s", Kind_Name(plan->queues[i].isInput), plan->queues[i].fileName,
                     plan->queues[i].newName);
        for (int i = 0; i < plan->appCount; i++)
            Out_Line("application\t%s\t%s", plan->apps[i].reuse >= 0 ? "reused" : "added", apps[plan->apps[i].slot].path);
        for (int i = 0; i < plan->noteCount; i++) Out_Line("note\t%s", plan->notes[i].text);
    } else {
        Err_Line("The import could not be stored: the reasons are above.");
    }
    Free_ImportPlan(plan);
    return code;
}
