/* Editor.exe as the operator starts it: real processes, real message boxes answered through
   their windows, exit codes. */
#include "support/testkit.h"
#include "support/remote.h"
#include "shell/app.h"
#include <algorithm>

using namespace tk;

static const char k_Usage[] =
    "Command line options:\r\n\r\n-update <homepath>  :  Update config files only (background process)\r\n"
    "-preferences <homepath>  :  Access preferences dialog only\r\n-silent  :  Update config files only "
    "(background process)\r\n\r\n(<homepath> is the directory in which you chose to install Ostra)";

/* Message box texts read from a window lose nothing but may show "\r\n" as it was given. */
static std::string Box_Text(const ForeignBox &b) { return b.text; }

TEST(EditorProcess, UpdateOnAnEmptyFolderExitsZeroWithoutAnyBox)
{
    TempDir home("upd");
    Child editor(Quote(Editor_Exe()) + " -update " + home.path());
    std::vector<ForeignBox> seen;
    EXPECT_EQ(0, Run_Answering(editor, {}, &seen));
    EXPECT_TRUE(seen.empty());
}

TEST(EditorProcess, UpdateThatCannotReadTheJobListTellsTheSystemsReasonAndExitsOne)
{
    TempDir home("updq");
    Lay_Profiles(home.path());
    Make_Dirs(home / "queue");
    Make_Dirs(home / "state");
    const std::string jobs = "1::0::a.ps::4::1::0::r\r\nEND OF QUEUE";
    Write_File(home / "queue\\engine.q", jobs);
    Write_File(home / "Queues.cfg", "Plates::0::C:\\Hot\\Plates::202:: ::-1::4::1\r\n");
    /* held by another program that shares it with no one */
    HANDLE held = CreateFileA((home / "queue\\engine.q").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    Child editor(Quote(Editor_Exe()) + " -update " + home.path(), "", nullptr, home / "out.txt");
    int code = editor.wait(20000);
    CloseHandle(held);
    EXPECT_EQ(1, code) << "a job list that could not be brought in line is no successful update";
    const std::string out = Read_File(home / "out.txt");
    /* both texts on the standard error name the sharing violation, neither a "success" */
    size_t first = out.find("Could not open the current queue file for updating");
    size_t second = out.find("Cannot guarantee that this file is in the correct format");
    ASSERT_NE(std::string::npos, first) << out;
    ASSERT_NE(std::string::npos, second) << out;
    EXPECT_NE(std::string::npos, out.find("Error: 32 (0x20) ", first)) << out;
    EXPECT_NE(std::string::npos, out.find("Error: 32 (0x20) ", second)) << out;
    EXPECT_EQ(std::string::npos, out.find("Error: 0 ")) << out;
    EXPECT_EQ(jobs, Read_File(home / "queue\\engine.q"));
}

struct RefusalCase { const char *name; const char *args; const char *text; };

TEST(EditorProcess, RefusedCommandLinesShowTheirBoxAndExitOne)
{
    const RefusalCase cases[] = {
        { "bare path", "C:\\Spool", k_Usage },
        { "update, uncreatable path", "-update Q:\\no\\such\\home", k_Usage },
        { "preferences, unusable path", "-preferences Q:\\no\\such\\home",
          "Could not find the specified home directory in the command line:\n\n-preferences Q:\\no\\such\\home\n\nCannot continue." },
    };
    for (const RefusalCase &c : cases) {
        SCOPED_TRACE(c.name);
        Child editor(Quote(Editor_Exe()) + " " + c.args);
        std::vector<ForeignBox> seen;
        EXPECT_EQ(1, Run_Answering(editor, { IDOK }, &seen));
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ("Editor", seen[0].caption);
        EXPECT_EQ(std::string(c.text), Box_Text(seen[0]));
    }
}

TEST(EditorProcess, OutsideASystemFolderItRefusesToRun)
{
    TempDir home("bin");
    CreateDirectoryA((home / "Bin").c_str(), nullptr);
    std::string exe = home / "Bin\\Editor.exe";
    ASSERT_TRUE(CopyFileA(Editor_Exe().c_str(), exe.c_str(), FALSE));
    for (const char *args : { "", " -silent" }) {
        SCOPED_TRACE(args);
        Child editor(Quote(exe) + args);
        std::vector<ForeignBox> seen;
        int code = Run_Answering(editor, { IDOK }, &seen);
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ("Application not running in the correct folder; can't continue.", seen[0].text);
        /* nothing was stored, so the silent mode does not report a success either */
        EXPECT_EQ(1, code);
    }
}

TEST(EditorProcess, InteractiveStartFindsItsHomeThroughShortNamesAndCancelStoresNothing)
{
    /* A home whose name has no valid 8.3 form, started through its short path: the program
       folder is expanded to its long names before the home directory is taken from it. */
    TempDir base("long");
    std::string home = base / "Print Shop Installation";
    Make_Dirs(home + "\\SYSTEM");
    ASSERT_TRUE(CopyFileA(Editor_Exe().c_str(), (home + "\\SYSTEM\\Editor.exe").c_str(), FALSE));
    Lay_Profiles(home);
    char shortExe[MAX_PATH] = "";
    GetShortPathNameA((home + "\\SYSTEM\\Editor.exe").c_str(), shortExe, sizeof shortExe);
    ASSERT_STRNE("", shortExe);
    TempDir logDir("log");

    Child editor(Quote(shortExe), logDir.path(), "EDITOR_TRACE=1");
    HWND main = rk::Find_Class(editor.pid(), EDITOR_CLASS, 15000);
    ASSERT_NE(nullptr, main) << "no main window";
    char title[128];
    GetWindowTextA(main, title, sizeof title);
    EXPECT_STREQ("Queue Configuration", title);
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(0, editor.wait(10000));

    std::string log = Read_File(logDir / "editor.log");
    EXPECT_NE(std::string::npos, log.find("Home directory: " + home + "\r\n")) << log;
    /* Cancel: nothing was written into the home directory */
    EXPECT_EQ((std::vector<std::string>{ "Profile", "SYSTEM" }), List_Dir(home));
}

TEST(EditorProcess, TwoEditorsStartedTogetherLeaveExactlyOneRunning)
{
    TempHome home(true);
    Lay_Profiles(home.path());
    Child first(Quote(home.editor()));
    Child second(Quote(home.editor()));
    /* one of them ends at once with 1, showing nothing; the other shows its main window */
    DWORD start = GetTickCount();
    int firstCode = -1, secondCode = -1;
    while (GetTickCount() - start < 15000 && firstCode == -1 && secondCode == -1) {
        firstCode = first.wait(50);
        secondCode = second.wait(50);
    }
    ASSERT_TRUE(firstCode == -1 || secondCode == -1) << "both ended";
    EXPECT_EQ(1, firstCode == -1 ? secondCode : firstCode);
    Child &running = (firstCode == -1) ? first : second;
    HWND main = rk::Find_Class(running.pid(), EDITOR_CLASS, 15000);
    ASSERT_NE(nullptr, main);
    ForeignBox box;
    EXPECT_FALSE(Find_ForeignBox(running.pid(), 0, &box));
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(0, running.wait(10000));
}

/* A crash must fail a test run even when Wine lets the process end with 0: the test programs end
   a crashing process with 99. This runs this program again on a test that crashes on purpose. */
TEST(CrashProbe, CrashesWhenAsked)
{
    if (GetEnvironmentVariableA("EDITOR_CRASH_PROBE", nullptr, 0) == 0) GTEST_SKIP() << "run by CrashIsReported";
    volatile int *nowhere = nullptr;
    *nowhere = 1;
}

TEST(EditorProcess, CrashIsReported)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    Child probe(Quote(self) + " --gtest_filter=CrashProbe.*", "", "EDITOR_CRASH_PROBE=1");
    EXPECT_EQ(99, probe.wait(20000));
}
