/* The memory of the history of edits on the maximal installation: loads it as the editor does,
   makes 100 steps of the commands that change most (deletions and moves that renumber every
   reference, copies, edits of a queue and its input queues, the preferences), then undoes them
   all and checks that the configuration is again the one loaded. Prints one line:

       history 100 steps 1234567 bytes limit 8388608 undone-to-start yes

   Exit code 0 when the history kept every step within the limit and undid them exactly, else 1.
   usage: BenchUndo HOME_WINDOWS_PATH */
#include "common/appstate.h"
#include "common/text.h"
#include "config/image.h"
#include "config/model.h"
#include "config/prefsfile.h"
#include "config/setup.h"
#include "config/undo.h"
#include <stdio.h>

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: BenchUndo HOME\n");
        return 2;
    }
    Copy_Field(homePathBuffer, argv[1]);
    homeDir = homePathBuffer;
    silentMode = TRUE;
    if (!InitData()) {
        fprintf(stderr, "BenchUndo: the installation could not be read\n");
        return 1;
    }
    CONFIG_IMAGE *start = Take_ConfigImage();
    if (start == NULL) return 1;
    const int steps = 100;
    for (int k = 0; k < steps; k++) {
        Undo_Begin();
        switch (k % 5) {
        case 0: Delete_Target(0); break;                                   /* every reference renumbered */
        case 1: Move_Target(targetCount - 1, 0); break;
        case 2: {
            Target *t = &targets[k % targetCount];
            Copy_Field(t->hotDir, "E:\\Elsewhere");
            t->copies = t->copies % 9000 + 1;
            for (int i = 0; i < lbqCount; i++) lbqs[i].outputs[k % targetCount] ^= 1;
            break;
        }
        case 3: Copy_Target(k % targetCount); break;
        case 4: SpoolerGlobals.SPOOLER_MAX_LOGSIZE = 1000 + k; break;
        }
        Undo_End("step %d", k + 1);
    }
    size_t bytes = History_Bytes();
    int kept = History_Steps();
    while (Can_Undo()) Undo_Step(NULL);
    CONFIG_IMAGE *end = Take_ConfigImage();
    BOOL same = end != NULL && Equal_ConfigImages(start, end);
    printf("history %d steps %u bytes limit %u undone-to-start %s\n", kept, (unsigned)bytes, (unsigned)UNDO_MEMORY_LIMIT,
           same && kept == steps ? "yes" : "no");
    Free_ConfigImage(start);
    Free_ConfigImage(end);
    return kept == steps && bytes <= UNDO_MEMORY_LIMIT && same ? 0 : 1;
}
