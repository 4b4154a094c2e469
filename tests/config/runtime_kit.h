/* What the tests of the run-time files share: a temporary installation as the home directory,
   an empty configuration and queues added in memory. The queues are edited with the model's own
   array operations (Delete_Target, Move_Target, ...). */
#pragma once
#include "support/testkit.h"
#include "support/modelkit.h"
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
        Target &t = mk::Add_Target(name, hotDir);
        t.priority = priority;
        t.copies = copies;
        t.includeSubdirs = subdirs;
        mk::Runs_Nothing(t);
        return t;
    }
    static LBQ &Add_LBQ(const char *name, const char *hotDir, int priority = 4, int copies = 1, BOOL subdirs = FALSE)
    {
        LBQ &q = mk::Add_LBQ(name, hotDir);
        q.priority = priority;
        q.copies = copies;
        q.includeSubdirs = subdirs;
        return q;
    }
    static void Use_App(Target &t, int slot) { mk::Runs_App(t, slot); }
    static void Use_Group(Target &t, int slot) { mk::Runs_Group(t, slot); }
    static void Set_App(int slot, const char *path) { mk::Add_App(path, "", slot); }
    static void Set_Group(int slot, std::initializer_list<int> members) { mk::Add_Group(members, FALSE, slot); }

    /* A job file as the spooler writes it: each line with CR LF, then the end marker. */
    static std::string Jobs(std::initializer_list<const char *> lines)
    {
        std::string s;
        for (const char *l : lines) s += std::string(l) + "\r\n";
        return s + "END OF QUEUE";
    }
};
