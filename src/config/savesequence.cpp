#include "config/savesequence.h"
#include "config/changelog.h"
#include "config/checks.h"
#include "config/layoutchecks.h"
#include "config/runtime.h"
#include "config/setup.h"
#include "config/storefile.h"
#include "common/appstate.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include <string.h>

int Warn_SpoolerRunning(void)
{
    if (FindWindowA(SPOOLER_CLASS, NULL) == NULL && FindWindowA(SPOOLER_OLD_CLASS, NULL) == NULL) return 0;
    Info_Box(programTitle,
             "You are currently running %s.\n\nChanges made now will not take effect until you restart the application.",
             systemName);
    return 1;
}

BOOL Confirm_DroppedJobs(BOOL silent)
{
    Trace("Confirm_DroppedJobs ( %d )\n", silent);
    Prepare_ChangeEntry();
    const JOB_EFFECT *effect = Prepared_JobEffect();
    if (silent || effect == NULL || !Effect_DropsJobs(effect)) return TRUE;
    static const JOB_FATE k_Reasons[] = { JOB_DROP_DELETED, JOB_DROP_HOTDIR, JOB_DROP_PROCESSES, JOB_DROP_SUBDIRS };
    /* one line per queue and reason, at most ten, within what a box holds */
    char list[MSG_TEXT_LEN - 200] = "";
    int shown = 0, more = 0;
    for (int q = 0; q < MAX_QUEUES; q++) {
        const QUEUE_EFFECT *qe = &effect->queues[q];
        for (size_t r = 0; qe->used && r < ARRAY_LEN(k_Reasons); r++) {
            if (qe->dropped[k_Reasons[r]] == 0) continue;
            char line[TEXT_LEN + 160];
            Format_DroppedLine(qe, k_Reasons[r], line, sizeof line);
            if (shown < 10 && strlen(list) + strlen(line) + 2 < sizeof list) {
                Append_Field(list, line);
                Append_Field(list, "\r\n");
                shown++;
            } else {
                more++;
            }
        }
    }
    char tail[64] = "";
    if (more > 0) Format_Text(tail, sizeof tail, "and %d more\r\n", more);
    int answer = Message_Box(programTitle, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2 | MB_EDITOR,
                             "Saving now removes queued jobs from the spooler's job list:\r\n\r\n%s%s\r\n"
                             "Save anyway? Press No to go back with your changes kept.",
                             list, tail);
    if (answer == IDYES) return TRUE;
    Trace("Confirm_DroppedJobs: the operator went back\n");
    Forget_ChangeEntry();
    return FALSE;
}

BOOL Save_Sequence(BOOL silent)
{
    Trace("Save_Sequence ( %d )\n", silent);
    saveOnExit = TRUE;
    if (!Check_AppPaths(silent)) return FALSE;
    if (!Check_UniqueQueueNames()) return FALSE;
    if (!Ask_NewLayoutFindings(silent)) return FALSE;
    Create_QueueDirs(silent);
    /* the input queues' outputs are checked when the operator can still change them */
    if (!silent && !Check_LBQOutputs()) return FALSE;
    if (!Confirm_DroppedJobs(silent)) return FALSE;
    Warn_SpoolerRunning();
    if (StoreSetup()) {
        Log_ChangeEntry(silent ? CHANGE_MODE_SILENT : CHANGE_MODE_INTERACTIVE);
        return TRUE;
    }
    if (!silent)
        Info_Box(programTitle,
                 "Not every file could be saved. These files keep what they held before:\r\n\r\n%s\r\n"
                 "Your changes are still in the editor. Put right what stopped the save (free some space on the "
                 "disk, close the program that holds a file) and press OK again, or press Cancel to leave the "
                 "files as they are now.",
                 Store_FailedNames());
    return FALSE;
}
