/* "-backups <home>" and "-restore <home> <backup>" as a script runs them: a real Editor.exe, its
   standard output and error, its exit code, the files it leaves. */
#include "support/testkit.h"
#include "support/modelkit.h"
#include "shell/app.h"
#include "common/appstate.h"
#include "common/text.h"
#include "config/backups.h"
#include "config/model.h"
#include "config/setup.h"

using namespace tk;

namespace {

const char *const k_Files[] = { "Queues.cfg", "LBPrefs.cfg", "Applications.cfg", "Preferences.cfg" };

} // namespace

class BackupModes : public HomeTest {
protected:
    std::vector<std::string> made;      /* the backups, oldest first */
    std::string out;
    /* Three queues saved, then two saves that rename one: two backups. */
    void SetUp() override
    {
        HomeTest::SetUp();
        InitData();             /* an empty home: the preferences' defaults, as a new installation has */
        Make_Dirs(Path("Apps"));
        Write_File(Path("Apps\\Rip.exe"), "MZ");
        int app = mk::Add_App(home / "Apps\\Rip.exe");
        for (const char *n : { "Plates", "Proofs", "Films" }) mk::Runs_App(mk::Add_Target(n), app);
        saveOnExit = TRUE;
        ASSERT_TRUE(StoreSetup());
        for (const char *n : { "Proofs 1", "Proofs 2" }) {
            Copy_Field(targets[1].name, n);
            ASSERT_TRUE(StoreSetup());
            made.push_back(Last_BackupMade());
        }
        Reset_ProcessState();
    }
    int Run(const std::string &args)
    {
        std::string file = home / "out.txt";
        DeleteFileA(file.c_str());
        Child editor(Quote(Editor_Exe()) + " " + args, "", nullptr, file);
        int code = editor.wait(30000);
        out = Read_File(file);
        return code;
    }
    std::string Config(const std::string &dir, const char *name) { return Read_File(dir + "\\" + name); }
};

TEST_F(BackupModes, ListsTheBackupsNewestFirstWithTheirFiles)
{
    EXPECT_EQ(0, Run("-backups " + Quote(home.home())));
    std::string files = "\tQueues.cfg\tLBPrefs.cfg\tApplications.cfg\tPreferences.cfg\r\n";
    EXPECT_EQ(made[1] + files + made[0] + files, out);

    DeleteFileA(Path("Backups\\" + made[0] + "\\LBPrefs.cfg").c_str());
    Make_Dirs(Path("Backups\\kept by hand"));
    EXPECT_EQ(0, Run("-backups " + Quote(home.home())));
    EXPECT_EQ(made[1] + files + made[0] + "\tQueues.cfg\tApplications.cfg\tPreferences.cfg\r\n", out);

    TempHome empty;
    EXPECT_EQ(0, Run("-backups " + Quote(empty.home())));
    EXPECT_EQ("", out) << "no backups: no lines";
}

TEST_F(BackupModes, RestorePutsTheBackupBackAndBacksUpWhatItReplaced)
{
    std::string before = Config(home.home(), "Queues.cfg");
    std::string wanted = Config(Path("Backups\\" + made[0]), "Queues.cfg");
    ASSERT_NE(std::string::npos, wanted.find("Proofs::"));
    EXPECT_EQ(0, Run("-restore " + Quote(home.home()) + " " + Quote(made[0]))) << out;
    std::vector<std::string> names;
    {
        static BACKUP_ENTRY list[MAX_BACKUPS_LISTED];
        Use_Home(home.home());
        int n = List_Backups(list, MAX_BACKUPS_LISTED);
        for (int i = 0; i < n; i++) names.push_back(list[i].name);
    }
    ASSERT_EQ(3u, names.size());
    EXPECT_EQ("restored\t" + made[0] + "\r\nbackup\t" + names[0] + "\r\n", out);
    EXPECT_EQ(wanted, Config(home.home(), "Queues.cfg"));
    EXPECT_EQ(before, Config(Path("Backups\\" + names[0]), "Queues.cfg"));
    for (const char *f : k_Files)
        EXPECT_EQ(Config(Path("Backups\\" + made[0]), f), Config(home.home(), f)) << f;
}

TEST_F(BackupModes, RefusalsAndTheirExitCodes)
{
    std::string before[4];
    for (int i = 0; i < 4; i++) before[i] = Config(home.home(), k_Files[i]);
    struct { std::string args; int code; const char *says; } cases[] = {
        { "-restore " + Quote(home.home()) + " \"2001-01-01 00.00.00\"", 2, "There is no backup \"2001-01-01 00.00.00\"" },
        { "-restore " + Quote(home.home()) + " ..\\System", 2, "There is no backup" },
        { "-restore " + Quote(home.home()), 1, "Usage: Editor.exe -restore <home> <backup folder name>" },
        { "-backups", 1, "Usage: Editor.exe -backups <home>" },
        { "-restore " + Quote(home / "nowhere") + " " + Quote(made[0]), 1, "does not exist" },
    };
    for (auto &c : cases) {
        EXPECT_EQ(c.code, Run(c.args)) << c.args;
        EXPECT_NE(std::string::npos, out.find(c.says)) << c.args << "\n" << out;
    }
    /* a damaged backup is not restored */
    std::string q = Config(Path("Backups\\" + made[0]), "Queues.cfg");
    Write_File(Path("Backups\\" + made[0] + "\\Queues.cfg"), q + "no queue line\r\n");
    EXPECT_EQ(1, Run("-restore " + Quote(home.home()) + " " + Quote(made[0])));
    EXPECT_EQ("The backup \"" + made[0] + "\" cannot be read whole: it was not restored.\r\n", out);
    Write_File(Path("Backups\\" + made[0] + "\\Queues.cfg"), q);

    /* an editor is running (it holds the single-editor mutex) */
    HANDLE mutex = CreateMutexA(nullptr, TRUE, EDITOR_MUTEX);
    ASSERT_NE(nullptr, mutex);
    EXPECT_EQ(1, Run("-restore " + Quote(home.home()) + " " + Quote(made[0])));
    EXPECT_EQ("An editor is running. Close it before restoring a backup.\r\n", out);
    EXPECT_EQ(1, Run("-backups " + Quote(home.home())));
    EXPECT_EQ("An editor is running. Close it before listing the backups.\r\n", out);
    CloseHandle(mutex);

    for (int i = 0; i < 4; i++) EXPECT_EQ(before[i], Config(home.home(), k_Files[i])) << k_Files[i];
    EXPECT_EQ(2u, List_Dir(Path("Backups")).size()) << "no refusal made a backup";
}
