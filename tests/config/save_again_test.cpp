/* A save changes nothing in memory, so a save that could not write every file can be repeated:
   once the cause is put right, the second save writes exactly what one save on a healthy
   installation writes, and the spooler's run-time files are renumbered once, never twice. */
#include "runtime_kit.h"
#include "store_fixture.h"
#include "common/msg.h"
#include "config/appsfile.h"
#include "config/prefsfile.h"
#include "config/setup.h"
#include "config/storefile.h"
#include <map>
#include <memory>
#include <functional>

namespace {

const char *const k_Written[] = { "Queues.cfg", "Applications.cfg", "LBPrefs.cfg", "Preferences.cfg",
                                  "queue\\engine.q", "state\\queues.sta" };

/* An open handle of another program that shares nothing but what is given. */
struct Held {
    HANDLE h;
    Held(const std::string &path, DWORD share)
        : h(CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~Held() { Release(); }
    void Release()
    {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        h = INVALID_HANDLE_VALUE;
    }
};

class SaveAgain : public RuntimeTest {
protected:
    std::map<std::string, std::string> Files()
    {
        std::map<std::string, std::string> m;
        for (const char *f : k_Written) m[f] = tk::Read_File(home / f);
        return m;
    }
    /* The demo print shop loaded as a new process loads it. */
    void Load_Demo()
    {
        tk::Remove_Tree(home.home());
        tk::Make_Dirs(home.home());
        tk::Lay_Out_Demo(home.home());
        Fresh_Process();
        saveOnExit = TRUE;
        InitData();
    }
    /* Edits that change every file: a queue moved and one deleted (the job list and the status
       file are renumbered), a name, an application's arguments, a preference, a balancing rule. */
    static void Edit()
    {
        ASSERT_STREQ("PDF Archive", targets[2].name);
        Delete_Target(2);
        Move_Target(2, 4);                       /* Proofer, whose queue is suspended, goes down */
        Append_Field(targets[1].name, " (night)");
        Append_Field(apps[0].args, " -fast");
        SpoolerGlobals.SPOOLER_FILE_SETTLE_TIME = 42;
        lbqs[0].timePriorityValue = 61;
        targets[2].copies += 1;
    }
};

TEST_F(SaveAgain, ASaveLeavesTheModelAsItWasAndASecondSaveWritesTheSameBytes)
{
    Load_Demo();
    Edit();
    const std::string model = Model_Bytes();
    tk::MsgRecorder boxes;
    ASSERT_TRUE(StoreSetup());
    EXPECT_EQ(0u, boxes.count()) << (boxes.count() ? boxes.last().text : "");
    EXPECT_TRUE(model == Model_Bytes()) << "the save changed the configuration in memory";
    auto first = Files();

    ASSERT_TRUE(StoreSetup());
    EXPECT_EQ(first, Files()) << "a second save writes the same bytes";
}

/* What stops the first save, and how it is put right before the second. */
struct Fault {
    const char *name;
    std::vector<int> answers;               /* to the first save's boxes */
    std::function<void(SaveAgain *, std::vector<std::unique_ptr<Held>> &)> block;
};

TEST_F(SaveAgain, AfterAFailedSaveTheNextWritesWhatOneHealthySaveWrites)
{
    Load_Demo();
    Edit();
    std::map<std::string, std::string> original;
    for (const char *f : k_Written) original[f] = tk::Read_File(home / f);
    {
        tk::MsgRecorder boxes;
        ASSERT_TRUE(StoreSetup());
    }
    const auto healthy = Files();
    for (const char *f : k_Written) ASSERT_NE(original[f], healthy.at(f)) << f << " is not changed: the test could not tell";

    const std::string queuesOld = home / "Queues.old", jobs = home / "queue\\engine.q", status = home / "state\\queues.sta";
    const Fault faults[] = {
        { "the queues file cannot be replaced (its backup name is taken by a folder)", {},
          [&](SaveAgain *, std::vector<std::unique_ptr<Held>> &) { tk::Make_Dirs(queuesOld); } },
        { "the job list is held by a reader that forbids replacing it", { IDOK, IDNO },
          [&](SaveAgain *, std::vector<std::unique_ptr<Held>> &held) {
              held.emplace_back(new Held(jobs, FILE_SHARE_READ));
          } },
        { "the status file is held: the job list is renumbered, the status file is not", {},
          [&](SaveAgain *, std::vector<std::unique_ptr<Held>> &held) { held.emplace_back(new Held(status, 0)); } },
        { "the job list and the queues file both fail", { IDOK, IDNO },
          [&](SaveAgain *, std::vector<std::unique_ptr<Held>> &held) {
              tk::Make_Dirs(queuesOld);
              held.emplace_back(new Held(jobs, FILE_SHARE_READ));
          } },
    };
    for (const Fault &f : faults) {
        SCOPED_TRACE(f.name);
        Load_Demo();
        Edit();
        Set_ReplaceRetryTime(100);
        std::vector<std::unique_ptr<Held>> held;
        f.block(this, held);
        {
            tk::MsgRecorder boxes(f.answers);
            EXPECT_FALSE(StoreSetup()) << "a file could not be written: the save did not succeed";
            EXPECT_GE(boxes.count(), 1u) << "the operator is told";
        }
        held.clear();
        RemoveDirectoryA(queuesOld.c_str());
        Set_ReplaceRetryTime(REPLACE_RETRY_MS);
        {
            tk::MsgRecorder boxes;
            EXPECT_TRUE(StoreSetup());
            EXPECT_EQ(0u, boxes.count()) << (boxes.count() ? boxes.last().text : "");
        }
        for (const char *name : k_Written) EXPECT_EQ(healthy.at(name), tk::Read_File(home / name)) << name;
    }
}

} // namespace
