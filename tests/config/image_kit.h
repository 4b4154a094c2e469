/* A small configuration in the live arrays, as loaded, for the tests of images, fields and the
   difference: three output queues, an input queue that feeds two of them, three applications (one
   in a group), the preferences' defaults and two users. */
#pragma once
#include "store_fixture.h"
#include "config/diff.h"
#include "config/fields.h"
#include "config/image.h"
#include "config/lbfile.h"
#include "config/prefsfile.h"
#include "config/users.h"
#include <memory>
#include <string>
#include <vector>

struct ImageDeleter {
    void operator()(CONFIG_IMAGE *img) const { Free_ConfigImage(img); }
};
using Image = std::unique_ptr<CONFIG_IMAGE, ImageDeleter>;

enum { PROOFS, PLATES, ARCHIVE };                 /* positions of the output queues as loaded */
enum { RIP, PLATE, PREFLIGHT };                   /* application slots; PLATE and PREFLIGHT form group 0 */

/* An application in a slot, run directly at normal priority. */
inline void Set_App(int slot, const char *path, const char *args)
{
    App &a = apps[slot];
    a.free = FALSE;
    Copy_Field(a.path, path);
    Copy_Field(a.args, args);
    a.priority = 'N';
    a.runAlone = 0;
    a.compatV3 = 1;
    a.showCommand = 0;
}

class SmallConfig : public StoreTest {
protected:

    void SetUp() override
    {
        StoreTest::SetUp();
        Get_SpoolerGlobals();                     /* no file: the defaults */
        Set_App(RIP, "C:\\Rip\\rip.exe", "-x");
        Set_App(PLATE, "C:\\Program Files\\Plate\\plate.exe", "");
        Set_App(PREFLIGHT, "C:\\Tools\\preflight.exe", "-strict");
        apps[PLATE].priority = 'U';
        apps[PLATE].runAlone = -1;
        apps[PREFLIGHT].priority = 'U';
        apps[PREFLIGHT].runAlone = -1;
        AppGroup &g = appGroups[0];
        g.free = FALSE;
        g.count = 2;
        g.members[0] = PLATE;
        g.members[1] = PREFLIGHT;
        g.priority = 'N';
        g.runAlone = 0;
        g.parallel = FALSE;

        lbqCount = 1;
        Init_NewLBQ(&lbqs[0], "C:\\Hot\\Intake");
        Copy_Field(lbqs[0].name, "Intake");
        lbqs[0].loadIndex = 0;
        Add_Queue("Proofs", "C:\\Hot\\Proofs");
        Add_Queue("Plates", "C:\\Hot\\Plates");
        Add_Queue("Archive", "C:\\Hot\\Archive");
        targets[PROOFS].processRef = RIP;
        targets[PLATES].processRef = 0;
        targets[PLATES].usesGroup = TRUE;
        targets[ARCHIVE].noProcesses = TRUE;
        targets[PLATES].afterAction = ARCHIVE;     /* Plates passes its jobs on to Archive */
        lbqs[0].outputs[PROOFS] = lbqs[0].outputs[ARCHIVE] = 1;

        Add_User("anna", "secret1");
        Add_User("ben", "");
    }

    /* An output queue as the queue editor makes a new one, as if it had been loaded. */
    int Add_Queue(const char *name, const char *hotDir)
    {
        int pos = targetCount++;
        Init_NewTarget(&targets[pos], hotDir);
        Copy_Field(targets[pos].name, name);
        Copy_Field(targets[pos].doneDir, "C:\\Done");
        Copy_Field(targets[pos].timeoutDir, "C:\\Waiting");
        targets[pos].loadIndex = lbqCount + pos;
        return pos;
    }

    static Image Take() { return Image(Take_ConfigImage()); }

    /* The lines of the difference from before to after. */
    static std::vector<std::string> Diff_Lines(const CONFIG_IMAGE *before, const CONFIG_IMAGE *after,
                                          DIFF_PAIRING pairing = DIFF_PAIR_BY_LOAD)
    {
        std::vector<std::string> lines;
        CONFIG_DIFF *d = Diff_Configs(before, after, pairing);
        if (d == nullptr) return { "(no diff)" };
        for (int i = 0; i < d->count; i++) {
            char line[8192];
            Format_DiffRow(&d->rows[i], line, sizeof line);
            lines.push_back(line);
        }
        Free_ConfigDiff(d);
        return lines;
    }
};
