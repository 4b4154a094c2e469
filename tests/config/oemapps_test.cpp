#include "support/testkit.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/text.h"
#include "config/model.h"
#include "config/oemapps.h"

namespace {

class OEMApps : public tk::HomeTest {
protected:
    std::string file, util1, util2;
    void SetUp() override
    {
        tk::HomeTest::SetUp();
        file = home / "OEMApps.cfg";
        util1 = home / "Setup1.exe";
        util2 = home / "Setup2.exe";
        tk::Write_File(util1, "MZ");
        tk::Write_File(util2, "MZ");
    }
};

} // namespace

TEST_F(OEMApps, LookupFindsTheApplicationsOwnLine)
{
    const std::string gone = home / "Gone.exe";
    tk::Write_File(file, tk::Crlf("C:\\Apps\\Rip.exe : " + util1 + "\n" +
                                  "C:\\Apps\\Rip.exe : " + util2 + "\n" +           /* a second line: the first wins */
                                  "C:\\Apps\\Proof.exe2 : " + util1 + "\n" +        /* another application */
                                  "C:\\Apps\\Proof.exe:" + util2 + "\n" +
                                  "\"C:\\Apps\\Imposer.exe\"  ::  " + util1 + "\n" +
                                  "C:\\Apps\\Old.exe : " + gone + "\n" +
                                  "C:\\Apps\\Shadowed.exeX : " + util1 + "\n"));
    struct Case { const char *name, *app; BOOL found; int line; std::string utility; };
    const Case cases[] = {
        { "first of two lines wins",          "C:\\Apps\\Rip.exe",          TRUE,  0, util1 },
        { "key compared ignoring case",       "c:\\apps\\RIP.EXE",          TRUE,  0, util1 },
        { "longer key of another app passed", "C:\\Apps\\Proof.exe",        TRUE,  3, util2 },
        { "quoted key, colons and blanks",    "\"C:\\Apps\\Imposer.exe\"",  TRUE,  4, util1 },
        { "utility no longer exists",         "C:\\Apps\\Old.exe",          FALSE, 5, ""    },
        { "key followed by another char",     "C:\\Apps\\Shadowed.exe",     FALSE, -1, ""   },
        { "unknown application",              "C:\\Apps\\None.exe",         FALSE, -1, ""   },
        { "empty application path",           "",                           FALSE, -1, ""   },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        int line = 77;
        char utility[PATH_LEN] = "stale";
        EXPECT_EQ(c.found, Lookup_OEMApp(c.app, &line, utility, sizeof utility));
        EXPECT_EQ(c.line, line);
        EXPECT_EQ(c.utility, utility);
    }
}

TEST_F(OEMApps, LookupWithoutAFileFindsNothing)
{
    int line = 5;
    char utility[PATH_LEN];
    tk::MsgRecorder rec;
    EXPECT_FALSE(Lookup_OEMApp("C:\\Apps\\Rip.exe", &line, utility, sizeof utility));
    EXPECT_EQ(-1, line);
    EXPECT_EQ(0u, rec.count());
}

TEST_F(OEMApps, LongLinesAreTakenWholeAndNeverOverrun)
{
    /* The second half of a line longer than 511 characters is no line of its own, even when it
       begins with a key; and a utility path that does not fit the caller's buffer is not handed
       back cut. */
    std::string longApp = "C:\\" + std::string(501, 'a') + ".exe";
    ASSERT_EQ(511u, (longApp + " : ").size());
    tk::Write_File(file, tk::Crlf(longApp + " : C:\\Apps\\Rip.exe : " + util1 + "\n" +
                                  "C:\\Apps\\Rip.exe : " + util2 + "\n"));
    int line = -1;
    char utility[PATH_LEN];
    EXPECT_TRUE(Lookup_OEMApp("C:\\Apps\\Rip.exe", &line, utility, sizeof utility));
    EXPECT_EQ(1, line);
    EXPECT_EQ(util2, utility);
    char small[8];
    EXPECT_FALSE(Lookup_OEMApp("C:\\Apps\\Rip.exe", &line, small, sizeof small));
    EXPECT_STREQ("", small);
}

TEST_F(OEMApps, RecordReplacesTheLineDropsBlankLinesAndEndsEveryLine)
{
    tk::Write_File(file, tk::Read_File(tk::Fixture("oemapps/blank_lines.cfg")));
    tk::MsgRecorder rec;
    EXPECT_TRUE(Record_OEMApp("\"C:\\Apps\\Imposer.exe\"", 2, "C:\\Tools\\NewSetup.exe"));
    EXPECT_EQ(tk::Crlf("C:\\Apps\\Rip.exe : C:\\Tools\\RipSetup.exe\n"
                       "\"C:\\Apps\\Imposer.exe\" : C:\\Tools\\NewSetup.exe\n"
                       "C:\\Apps\\Proof.exe : C:\\Tools\\ProofSetup.exe\n"),
              tk::Read_File(file));
    EXPECT_EQ(0u, rec.count());
}

TEST_F(OEMApps, RecordAppendsANewAssociation)
{
    /* the fixture's last line has no line feed: the new line must not run on from it */
    tk::Write_File(file, tk::Read_File(tk::Fixture("oemapps/blank_lines.cfg")));
    EXPECT_TRUE(Record_OEMApp("C:\\Apps\\New.exe", -1, "C:\\Tools\\NewSetup.exe"));
    EXPECT_EQ(tk::Crlf("C:\\Apps\\Rip.exe : C:\\Tools\\RipSetup.exe\n"
                       "\"C:\\Apps\\Imposer.exe\" : C:\\Tools\\ImpSetup.exe\n"
                       "C:\\Apps\\Proof.exe : C:\\Tools\\ProofSetup.exe\n"
                       "C:\\Apps\\New.exe : C:\\Tools\\NewSetup.exe\n"),
              tk::Read_File(file));

    /* a line number past the end of the file does not lose the association either */
    EXPECT_TRUE(Record_OEMApp("C:\\Apps\\Late.exe", 40, "C:\\Tools\\Late.exe"));
    std::string bytes = tk::Read_File(file);
    EXPECT_EQ("C:\\Apps\\Late.exe : C:\\Tools\\Late.exe\r\n", bytes.substr(bytes.size() - 38));
}

TEST_F(OEMApps, RecordWithoutAFileCreatesIt)
{
    EXPECT_TRUE(Record_OEMApp("C:\\Apps\\Rip.exe", 3, util1.c_str()));
    EXPECT_EQ("C:\\Apps\\Rip.exe : " + util1 + "\r\n", tk::Read_File(file));
    EXPECT_EQ((std::vector<std::string>{ "OEMApps.cfg", "Setup1.exe", "Setup2.exe", "System" }), tk::List_Dir(home.home()));
}

TEST_F(OEMApps, RecordWithoutAnApplicationWritesNothing)
{
    tk::MsgRecorder rec;
    EXPECT_FALSE(Record_OEMApp("", -1, util1.c_str()));
    EXPECT_FALSE(tk::Exists(file));
    EXPECT_EQ(0u, rec.count());
}

TEST_F(OEMApps, RecordedAssociationIsFoundAgain)
{
    const std::string gone = home / "Gone.exe";
    tk::Write_File(file, tk::Crlf("C:\\Apps\\Other.exe : " + util2 + "\nC:\\Apps\\Rip.exe : " + gone + "\n"));
    int line = -1;
    char utility[PATH_LEN];
    ASSERT_FALSE(Lookup_OEMApp("C:\\Apps\\Rip.exe", &line, utility, sizeof utility));
    ASSERT_EQ(1, line);
    ASSERT_TRUE(Record_OEMApp("C:\\Apps\\Rip.exe", line, util1.c_str()));
    EXPECT_TRUE(Lookup_OEMApp("C:\\Apps\\Rip.exe", &line, utility, sizeof utility));
    EXPECT_EQ(1, line);
    EXPECT_EQ(util1, utility);
    EXPECT_EQ(tk::Crlf("C:\\Apps\\Other.exe : " + util2 + "\nC:\\Apps\\Rip.exe : " + util1 + "\n"), tk::Read_File(file));
}

TEST_F(OEMApps, NewFileThatCannotBeCreatedIsReported)
{
    std::string missing = home / "gone";
    Copy_Field(homePathBuffer, missing.c_str());
    tk::MsgRecorder rec;
    EXPECT_FALSE(Record_OEMApp("C:\\Apps\\Rip.exe", -1, "C:\\Tools\\Setup.exe"));
    ASSERT_EQ(1u, rec.count());
    EXPECT_EQ("Could not open a new system setup file <" + missing +
                  "\\OEMApps.cfg> for writing. Changes to Editor setup will not be saved. Error: No such file or directory",
              rec.last().text);
    EXPECT_EQ(std::string(programTitle), rec.last().caption);
    EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(rec.last().flags));
    EXPECT_EQ((UINT)MB_OK, tk::Buttons_Of(rec.last().flags));
    EXPECT_TRUE(rec.last().flags & MB_SETFOREGROUND);
    EXPECT_FALSE(tk::Exists(missing));
}

TEST_F(OEMApps, FailedReplacementIsReportedAndKeepsTheOldFile)
{
    const std::string before = tk::Crlf("C:\\Apps\\Rip.exe : " + util1 + "\n");
    tk::Write_File(file, before);
    Set_ReplaceRetryTime(0);
    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    tk::MsgRecorder rec;
    BOOL ok = Record_OEMApp("C:\\Apps\\Rip.exe", 0, util2.c_str());
    CloseHandle(held);
    EXPECT_FALSE(ok) << "a change that was not saved is no success";
    ASSERT_EQ(1u, rec.count());
    EXPECT_EQ(0u, rec.last().text.find("Could not save changes made to associations setup. Copying new setup file over "
                                        "old was not successful.  Error: "))
        << rec.last().text;
    EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(rec.last().flags));
    EXPECT_EQ(std::string(programTitle), rec.last().caption);
    EXPECT_EQ(before, tk::Read_File(file));
    EXPECT_EQ((std::vector<std::string>{ "OEMApps.cfg", "Setup1.exe", "Setup2.exe", "System" }), tk::List_Dir(home.home()));
}

TEST(Start_ConfigUtility, StartsTheCommandLineAndHandsBackTheProcess)
{
    tk::TempDir dir;
    const std::string target = dir / "params file.txt";
    const std::string cmd = tk::Quote(tk::Helper_Exe("argrecord")) + " " + tk::Quote(target) + " 0";
    HANDLE h = Start_ConfigUtility(cmd.c_str());
    ASSERT_NE(nullptr, h);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(h, 10000));
    DWORD code = 0;
    GetExitCodeProcess(h, &code);
    CloseHandle(h);
    EXPECT_EQ(5u, code);
    std::string seen = tk::Read_File(target + ".seen");
    EXPECT_NE(std::string::npos, seen.find("\n" + target + "\n")) << seen;

    EXPECT_EQ(nullptr, Start_ConfigUtility((dir / "NoSuchUtility.exe").c_str()));
    EXPECT_EQ(nullptr, Start_ConfigUtility(""));
}

TEST_F(OEMApps, DemoFileIsExactlyWhatRecordWrites)
{
    std::string demo = tk::Crlf(tk::Read_File(tk::Source_Path("demo\\OEMApps.cfg")));
    ASSERT_FALSE(demo.empty());
    const size_t at = demo.find("@HOME@");
    ASSERT_NE(std::string::npos, at);
    demo.replace(at, 6, home.home());
    const std::string app = demo.substr(0, demo.find(" : ")), utility = demo.substr(app.size() + 3, demo.size() - app.size() - 5);
    EXPECT_TRUE(Record_OEMApp(app.c_str(), -1, utility.c_str()));
    EXPECT_EQ(demo, tk::Read_File(file));
    int line = -1;
    char found[PATH_LEN];
    EXPECT_TRUE(Lookup_OEMApp(app.c_str(), &line, found, sizeof found)) << "the demo's utility exists";
    EXPECT_EQ(0, line);
}

class OEMAppsOnFaultDisks : public OEMApps {};

TEST_F(OEMAppsOnFaultDisks, ReadOnlyFolderIsReportedWithTheRunTimeText)
{
    /* R: is a read-only view of U: (set up by the test run when the machine allows it) */
    NEED_FAULT_DRIVE('R', "read-only folder R:");
    const std::string name = "edt_oem_" + std::to_string(GetCurrentProcessId());
    const std::string before = "C:\\Apps\\Rip.exe : C:\\Tools\\Setup.exe\r\n";
    tk::Make_Dirs("U:\\" + name);
    tk::Write_File("U:\\" + name + "\\OEMApps.cfg", before);
    Copy_Field(homePathBuffer, ("R:\\" + name).c_str());
    tk::MsgRecorder rec;
    EXPECT_FALSE(Record_OEMApp("C:\\Apps\\Rip.exe", 0, "C:\\Tools\\Other.exe"));
    ASSERT_EQ(1u, rec.count());
    EXPECT_EQ("Could not open a new system setup file <R:\\" + name +
                  "\\OEMApps.cfg> for writing. Changes to Editor setup will not be saved. Error: Permission denied",
              rec.last().text);
    EXPECT_EQ(before, tk::Read_File("R:\\" + name + "\\OEMApps.cfg"));
    tk::Remove_Tree("U:\\" + name);
}
