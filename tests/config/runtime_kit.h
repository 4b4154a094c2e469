/* What the tests of the run-time files share: a temporary installation as the home directory,
   an empty configuration and queues added in memory. The queues are edited with the model's own
   array operations (Delete_Target, Move_Target, ...). */
#pragma once
#include "support/testkit.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/text.h"
#include "config/model.h"
#include "config/runtime.h"
#include <initializer_list>
#include <string.h>

class RuntimeTest : public tk::HomeTest {
protected:
    std::string jobFile, statusFile;

    void SetUp() override
    {
        tk::HomeTest::SetUp();
        tk::Make_Dirs(home / "queue");
        tk::Make_Dirs(home / "state");
        jobFile = home / "queue\\engine.q";
        statusFile = home / "state\\queues.sta";
    }

    static Target &Add_Target(const char *name, const char *hotDir, int priority = 4, int copies = 1,
                              BOOL subdirs = FALSE)
    {
        Target &t = targets[targetCount];
        t.slotIndex = targetCount;
        t.loadIndex = -1;
        Copy_Field(t.name, name);
        Copy_Field(t.hotDir, hotDir);
        t.priority = priority;
        t.copies = copies;
        t.includeSubdirs = subdirs;
        t.processRef = NO_PROCESSES;
        t.noProcesses = TRUE;
        t.afterAction = AFTER_DELETE;
        t.timeoutAction = TIMEOUT_NEVER;
        t.jobsAtATime = 1;
        targetCount++;
        return t;
    }
    static LBQ &Add_LBQ(const char *name, const char *hotDir, int priority = 4, int copies = 1, BOOL subdirs = FALSE)
    {
        LBQ &q = lbqs[lbqCount];
        q.loadIndex = -1;
        Copy_Field(q.name, name);
        Copy_Field(q.hotDir, hotDir);
        q.priority = priority;
        q.copies = copies;
        q.includeSubdirs = subdirs;
        lbqCount++;
        return q;
    }
    static void Use_App(Target &t, int slot)
    {
        t.processRef = slot;
        t.usesGroup = FALSE;
        t.noProcesses = FALSE;
    }
    static void Use_Group(Target &t, int slot)
    {
        t.processRef = slot;
        t.usesGroup = TRUE;
        t.noProcesses = FALSE;
    }
    static void Set_App(int slot, const char *path)
    {
        apps[slot].free = FALSE;
        Copy_Field(apps[slot].path, path);
        apps[slot].priority = 'N';
    }
    static void Set_Group(int slot, std::initializer_list<int> members)
    {
        AppGroup &g = appGroups[slot];
        g.free = FALSE;
        g.count = 0;
        for (int m : members) g.members[g.count++] = m;
        g.priority = 'N';
    }

    /* A job file as the spooler writes it: each line with CR LF, then the end marker. */
    static std::string Jobs(std::initializer_list<const char *> lines)
    {
        std::string s;
        for (const char *l : lines) s += std::string(l) + "\r\n";
        return s + "END OF QUEUE";
    }
};
