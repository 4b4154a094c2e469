/* Editor.exe -check <home>: the demo installation is clean; one installation per kind of problem
   (the demo with one thing planted) gives exactly its line, file, line number and exit code; an
   installation with several problems gives all of them in file and line order; and a real
   Editor.exe -check writes nothing at all into the home, also on a read-only or full disk. */
#include "support/testkit.h"
#include "shell/modes.h"
#include "common/appstate.h"
#include "config/findings.h"
#include <functional>
#include <map>

using namespace tk;

namespace {

std::string At_Home(std::string text, const std::string &home)
{
    for (size_t at = 0; (at = text.find('@', at)) != std::string::npos; at += home.size()) text.replace(at, 1, home);
    return text;
}

/* Replaces the one place of from in a file of the home (from must be there exactly once); "@" in
   from and to stands for the home. */
void Plant(const std::string &home, const std::string &file, const std::string &fromText, const std::string &toText)
{
    const std::string from = At_Home(fromText, home), to = At_Home(toText, home);
    std::string path = home + "\\" + file;
    std::string text = Read_File(path);
    size_t at = text.find(from);
    ASSERT_NE(std::string::npos, at) << file << " holds no " << from;
    ASSERT_EQ(std::string::npos, text.find(from, at + 1)) << file << " holds " << from << " more than once";
    text.replace(at, from.size(), to);
    Write_File(path, text);
}

struct Result {
    int code;
    std::string out, err;
};

/* -check through the program's own table of modes, in this process. */
Result Run_Check(const std::string &home)
{
    Reset_ProcessState();
    Result r{ -99, "", "" };
    {
        StdCapture cap;
        int count = 0;
        const CLI_MODE *modes = Command_Modes(&count);
        std::string line = "-check " + Quote(home);
        EXPECT_TRUE(Run_CommandMode(modes, count, line.c_str(), &r.code));
        r.out = cap.out();
        r.err = cap.err();
    }
    Reset_ProcessState();
    return r;
}

std::string Lines(const std::vector<std::string> &lines)
{
    std::string s;
    for (const std::string &l : lines) s += l + "\r\n";
    return s;
}

/* Every file and folder under dir with its bytes, size, attributes and times. */
std::map<std::string, std::string> Snapshot(const std::string &dir)
{
    std::map<std::string, std::string> m;
    std::function<void(const std::string &, const std::string &)> walk = [&](const std::string &abs, const std::string &rel) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((abs + "\\*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE) return;
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string r = rel.empty() ? name : rel + "\\" + name;
            char stamp[160];
            snprintf(stamp, sizeof stamp, "attr %lx written %lx:%lx created %lx:%lx size %lu ",
                     fd.dwFileAttributes, fd.ftLastWriteTime.dwHighDateTime, fd.ftLastWriteTime.dwLowDateTime,
                     fd.ftCreationTime.dwHighDateTime, fd.ftCreationTime.dwLowDateTime, fd.nFileSizeLow);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                m[r + "\\"] = stamp;
                walk(abs + "\\" + name, r);
            } else {
                m[r] = stamp + Read_File(abs + "\\" + name);
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }; 
    walk(dir, "");
    return m;
}

} // namespace

class CheckMode : public ::testing::Test {
protected:
    MsgRecorder msgs;
    void SetUp() override { Reset_ProcessState(); }
    void TearDown() override { Reset_ProcessState(); }
};

TEST_F(CheckMode, TheDemoInstallationIsClean)
{
    TempDir shop("demo");
    Lay_Out_Demo(shop.path());
    Result r = Run_Check(shop.path());
    EXPECT_EQ("0 errors, 0 warnings\r\n", r.out);
    EXPECT_EQ("", r.err);
    EXPECT_EQ(0, r.code);
    EXPECT_TRUE(msgs.boxes.empty());
}

/* One planted problem each: the exact lines (home standing for the installation's folder) and the
   exit code. */
TEST_F(CheckMode, EachKindOfProblemIsToldWithItsFileLineAndExitCode)
{
    struct Case {
        const char *name;
        std::function<void(const std::string &home)> plant;
        std::vector<std::string> lines;    /* "@" stands for the home */
        int code;
    };
    const Case cases[] = {
        { "a priority out of range",
          [](const std::string &h) { Plant(h, "Queues.cfg", "::4:: ::-1::4::1::", "::4:: ::-1::9::1::"); },
          { "Queues.cfg:5: warning: queue \"PDF Archive\": the priority 9 is outside 1 to 7 and is taken as 7; set a value in range.",
            "0 errors, 1 warnings" }, 0 },
        { "a damaged queue line",
          [](const std::string &h) {
              /* (without input queues: the load balancer file numbers them after every output queue) */
              Plant(h, "Queues.cfg", "Monitor::202::", "Monitor::x::");
              std::string queues = Read_File(h + "\\Queues.cfg");
              Write_File(h + "\\Queues.cfg", queues.substr(queues.find("Plate Setter 1::")));
              ASSERT_TRUE(DeleteFileA((h + "\\LBPrefs.cfg").c_str()));
          },
          { "Queues.cfg:7: error: reading stopped at this line (field 4 (the process reference) is not a number): it and "
            "the lines after it are written back unchanged but none of their queues can be edited; correct the line.",
            "1 errors, 0 warnings" }, 1 },
        { "an application line that names no program",
          [](const std::string &h) { Plant(h, "Applications.cfg", "\"@\\Apps\\Notify.exe\" -mail prepress::", "::"); },
          { "Applications.cfg:6: error: reading stopped at this line (the first field is missing): it and the lines after "
            "it are written back unchanged but none of their applications can be edited; correct the line.",
            "Queues.cfg:7: error: queue \"Imposition\" runs an application that the applications file does not hold; "
            "choose its processes again on the Processes page.",
            "Queues.cfg:8: error: queue \"Preflight and Notify\" runs an application that the applications file does not "
            "hold; choose its processes again on the Processes page.",
            "3 errors, 0 warnings" }, 1 },
        { "a load balancer value out of range",
          [](const std::string &h) { Plant(h, "LBPrefs.cfg", "TIME_PRIORITY_VALUE 70", "TIME_PRIORITY_VALUE 700"); },
          { "LBPrefs.cfg:10: warning: input queue \"Plates In\": TIME_PRIORITY_VALUE 700 is above the maximum and is taken "
            "as 100; set a value in range.",
            "0 errors, 1 warnings" }, 0 },
        { "an unknown load balancer setting",
          [](const std::string &h) { Plant(h, "LBPrefs.cfg", "DEBUG_LEVEL 2", "DEBUG_LEVL 2"); },
          { "LBPrefs.cfg:30: warning: the line \"DEBUG_LEVL 2\" is not understood (an unknown setting, or a setting before "
            "any INPUT_QUEUE line) and is ignored; correct or remove it.",
            "0 errors, 1 warnings" }, 0 },
        { "a load balancer output that names no queue",
          [](const std::string &h) { Plant(h, "LBPrefs.cfg", "OUTPUT_QUEUE 5", "OUTPUT_QUEUE 50"); },
          { "LBPrefs.cfg:28: warning: input queue \"Proofs In\": OUTPUT_QUEUE 50 names no output queue and is ignored; "
            "choose its outputs in the input queue editor.",
            "0 errors, 1 warnings" }, 0 },
        { "a preference out of range",
          [](const std::string &h) { Plant(h, "Preferences.cfg", "SPOOLER_FILE_SETTLE_TIME 20", "SPOOLER_FILE_SETTLE_TIME 5000"); },
          { "Preferences.cfg:7: warning: SPOOLER_FILE_SETTLE_TIME 5000 is outside 0 to 1200 and is taken as 1200; set a "
            "value in range.",
            "0 errors, 1 warnings" }, 0 },
        { "an unknown preference",
          [](const std::string &h) { Plant(h, "Preferences.cfg", "SPOOLER_FILE_SETTLE_TIME", "SPOOLER_FILE_SETTLE_TIMES"); },
          { "Preferences.cfg:7: warning: the setting SPOOLER_FILE_SETTLE_TIMES is not known and is ignored; correct its "
            "name or remove the line.",
            "0 errors, 1 warnings" }, 0 },
        { "a user whose password does not decode",
          [](const std::string &h) { Plant(h, "Users.cfg", "operator 06736869667432", "operator 0673686966743"); },
          { "Users.cfg:2: error: the password of user \"operator\" cannot be decoded: the user is left out and lost at the "
            "next save of the users; enter the user again in User Administration.",
            "1 errors, 0 warnings" }, 1 },
        { "a job line that cannot be read",
          [](const std::string &h) { Plant(h, "queue\\engine.q", "Proof_Flyer_A5.pdf::5::", "Proof_Flyer_A5.pdf::x::"); },
          { "queue\\engine.q:4: warning: the job line cannot be read (six fields separated by colons are needed) and the "
            "next save leaves it out of the job list.",
            "0 errors, 1 warnings" }, 0 },
        { "a missing application",
          [](const std::string &h) { ASSERT_TRUE(DeleteFileA((h + "\\Apps\\ProofRip.exe").c_str())); },
          { "Queues.cfg:6: error: queue \"Proofer\" runs the application \"@\\Apps\\ProofRip.exe\", which does not exist; "
            "choose an existing program on the Processes page.",
            "1 errors, 0 warnings" }, 1 },
        { "two queues of one name",
          [](const std::string &h) { Plant(h, "Queues.cfg", "Proofer::0::", "PDF ARCHIVE::0::"); },
          { "Queues.cfg:6: error: queue 4 has the same name as queue 3 (\"PDF ARCHIVE\"); give each queue a name of its own.",
            "1 errors, 0 warnings" }, 1 },
        { "a balancing input queue with one output",
          [](const std::string &h) { Plant(h, "LBPrefs.cfg", "OUTPUT_QUEUE 3\r\n", ""); },
          { "LBPrefs.cfg: error: input queue \"Plates In\" has balancing enabled but 1 output queue; add a second output, "
            "delete the input queue or turn balancing off.",
            "1 errors, 0 warnings" }, 1 },
        { "two queues on one hot directory, spelt differently",
          [](const std::string &h) { Plant(h, "Queues.cfg", "@\\Hot\\Proofer::", "\"@\\hot\\x\\..\\PDF ARCHIVE\\\"::"); },
          { "Queues.cfg:6: warning: queue \"Proofer\" has the same hot directory as queue \"PDF Archive\" (@\\Hot\\PDF "
            "Archive): both would take its jobs; give each queue a hot directory of its own.",
            "0 errors, 1 warnings" }, 0 },
        { "a hot directory inside one that takes sub-directories",
          [](const std::string &h) {
              Make_Dirs(h + "\\Hot\\Plate Setter 2\\Archive");
              Plant(h, "Queues.cfg", "@\\Hot\\PDF Archive::", "@\\Hot\\Plate Setter 2\\Archive::");
          },
          { "Queues.cfg:5: warning: the hot directory of queue \"PDF Archive\" lies inside that of queue \"Plate Setter 2\" "
            "(@\\Hot\\Plate Setter 2), which takes sub-directories: both would take its jobs; move one of the hot "
            "directories.",
            "0 errors, 1 warnings" }, 0 },
        { "a done directory inside a hot directory",
          [](const std::string &h) {
              Make_Dirs(h + "\\Hot\\Plate Setter 1\\Done");
              Plant(h, "Queues.cfg", "@\\Done\\Plates::", "@\\Hot\\Plate Setter 1\\Done::");
          },
          { "Queues.cfg:3: warning: the done directory of queue \"Plate Setter 1\" (@\\Hot\\Plate Setter 1\\Done) lies "
            "inside the hot directory of queue \"Plate Setter 1\": its jobs would come back as new jobs; choose a "
            "directory outside every hot directory.",
            "0 errors, 1 warnings" }, 0 },
        { "queues that pass jobs round in a loop",
          [](const std::string &h) { Plant(h, "Queues.cfg", "Plate Setter 2::0:: ::4::", "Plate Setter 2::0:: ::6::"); },
          { "Queues.cfg:4: warning: queues pass jobs on in a loop (\"Plate Setter 2\" -> \"Imposition\" -> \"Plate Setter "
            "2\"): jobs would circle for ever; end the chain at a queue that does not pass its jobs on.",
            "0 errors, 1 warnings" }, 0 },
        { "an input queue that feeds its own hot directory",
          [](const std::string &h) { Plant(h, "Queues.cfg", "@\\Hot\\Plate Setter 1::", "@\\Hot\\Plates In::"); },
          { "Queues.cfg:1: warning: input queue \"Plates In\" sends jobs to queue \"Plate Setter 1\", whose hot directory "
            "is the input queue's own: the jobs would come straight back; give the output queue a hot directory of its own.",
            "Queues.cfg:3: warning: queue \"Plate Setter 1\" has the same hot directory as queue \"Plates In\" (@\\Hot\\Plates "
            "In): both would take its jobs; give each queue a hot directory of its own.",
            "0 errors, 2 warnings" }, 0 },
        { "a folder that is not there",
          [](const std::string &h) { Remove_Tree(h + "\\Thumbs\\Plate Setter 1"); },
          { "Queues.cfg:3: warning: the directory \"@\\Thumbs\\Plate Setter 1\" does not exist; the next save creates it "
            "(or create it yourself).",
            "0 errors, 1 warnings" }, 0 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TempDir shop("chk");
        Lay_Out_Demo(shop.path());
        c.plant(shop.path());
        std::string want = At_Home(Lines(c.lines), shop.path());
        Result r = Run_Check(shop.path());
        EXPECT_EQ(want, r.out);
        EXPECT_EQ(c.code, r.code);
    }
    EXPECT_TRUE(msgs.boxes.empty()) << "a mode without a window shows no box";
}

/* Several problems in several files: every one, in file order (by name) and line order. */
TEST_F(CheckMode, SeveralProblemsAreAllToldInFileAndLineOrder)
{
    TempDir shop("chk");
    Lay_Out_Demo(shop.path());
    const std::string h = shop.path();
    Remove_Tree(h + "\\Thumbs\\Plate Setter 1");
    Plant(h, "Users.cfg", "operator 06736869667432", "operator 0673686966743");
    Plant(h, "Queues.cfg", "::4:: ::-1::4::1::", "::4:: ::-1::9::1::");
    Plant(h, "Queues.cfg", "Proofer::0::", "PDF ARCHIVE::0::");
    Plant(h, "Preferences.cfg", "SPOOLER_FILE_SETTLE_TIME", "SPOOLER_FILE_SETTLE_TIMES");
    Result r = Run_Check(h);
    EXPECT_EQ(Lines({
                  "Preferences.cfg:7: warning: the setting SPOOLER_FILE_SETTLE_TIMES is not known and is ignored; correct "
                  "its name or remove the line.",
                  "Queues.cfg:3: warning: the directory \"" + h + "\\Thumbs\\Plate Setter 1\" does not exist; the next save "
                  "creates it (or create it yourself).",
                  "Queues.cfg:5: warning: queue \"PDF Archive\": the priority 9 is outside 1 to 7 and is taken as 7; set a "
                  "value in range.",
                  "Queues.cfg:6: error: queue 4 has the same name as queue 3 (\"PDF ARCHIVE\"); give each queue a name of "
                  "its own.",
                  "Users.cfg:2: error: the password of user \"operator\" cannot be decoded: the user is left out and lost at "
                  "the next save of the users; enter the user again in User Administration.",
                  "2 errors, 3 warnings",
              }),
              r.out);
    EXPECT_EQ(1, r.code);
}

TEST_F(CheckMode, AnInstallationThatCannotBeCheckedEndsWithTwo)
{
    TempDir empty("chk");
    Result r = Run_Check(empty.path());
    EXPECT_EQ("", r.out);
    EXPECT_EQ("No configuration file could be read in " + empty.path() +
                  ": it is not an installation, or its files cannot be read.\r\n",
              r.err);
    EXPECT_EQ(2, r.code);

    r = Run_Check(empty / "missing");
    EXPECT_EQ("", r.out);
    EXPECT_EQ("The home directory does not exist or is not a folder: " + empty / "missing" + "\r\n", r.err);
    EXPECT_EQ(2, r.code);
    EXPECT_FALSE(Exists(empty / "missing")) << "the home is never created";
    EXPECT_TRUE(List_Dir(empty.path()).empty()) << "nothing was written";
}

/* A real Editor.exe: the home as it was in every file, folder and time stamp; no trace log, no
   ".old", no temporary file; the findings on the standard output. */
TEST(CheckProcess, ARealRunWritesNothingAndPrintsTheFindings)
{
    TempDir shop("chk"), cwd("cwd"), out("out");
    Lay_Out_Demo(shop.path());
    const std::string h = shop.path();
    Plant(h, "Queues.cfg", "Proofer::0::", "PDF ARCHIVE::0::");
    Plant(h, "queue\\engine.q", "Proof_Flyer_A5.pdf::5::", "Proof_Flyer_A5.pdf::x::");
    /* a file an older version left half-made stays too */
    Write_File(h + "\\queue\\engine.q.temp", "half");
    auto before = Snapshot(h);
    Child child(Quote(Editor_Exe()) + " -check " + Quote(h), cwd.path(), nullptr, out / "std.txt");
    ASSERT_TRUE(child.started());
    EXPECT_EQ(1, child.wait(30000));
    EXPECT_EQ(before, Snapshot(h));
    EXPECT_TRUE(List_Dir(cwd.path()).empty()) << "no trace log without the trace switch";
    std::string text = Read_File(out / "std.txt");
    EXPECT_NE(std::string::npos, text.find("Queues.cfg:6: error: queue 4 has the same name as queue 3")) << text;
    EXPECT_NE(std::string::npos, text.find("queue\\engine.q:4: warning: the job line cannot be read")) << text;
    EXPECT_NE(std::string::npos, text.find("\r\n1 errors, 1 warnings\r\n")) << text;
}

/* A read-only installation and one on a full disk: checked as any other, and left as it was. */
TEST(CheckOnFaultDisks, AReadOnlyOrFullHomeIsCheckedAndLeftAsItWas)
{
    NEED_FAULT_DRIVE('R', "read-only folder R:");
    Remove_Tree("U:\\check");
    Lay_Out_Demo("U:\\check", "R:\\check");
    Plant("U:\\check", "Queues.cfg", "Proofer::0::", "PDF ARCHIVE::0::");
    auto before = Snapshot("R:\\check");
    TempDir out("out");
    Child child(Quote(Editor_Exe()) + " -check R:\\check", "R:\\check", nullptr, out / "std.txt");
    EXPECT_EQ(1, child.wait(30000));
    EXPECT_EQ(before, Snapshot("R:\\check"));
    std::string text = Read_File(out / "std.txt");
    EXPECT_NE(std::string::npos, text.find("Queues.cfg:6: error: queue 4 has the same name as queue 3")) << text;
    EXPECT_NE(std::string::npos, text.find("1 errors, 0 warnings\r\n")) << text;
    Remove_Tree("U:\\check");
}

TEST(CheckOnFaultDisks, AFullDiskChangesNothing)
{
    NEED_FAULT_DRIVE('T', "small disk T:");
    const std::string h = "T:\\edt_check_" + std::to_string(GetCurrentProcessId());
    Remove_Tree(h);
    Lay_Out_Demo(h);
    /* the disk filled to the last byte */
    ULARGE_INTEGER freeBytes;
    ASSERT_TRUE(GetDiskFreeSpaceExA("T:\\", &freeBytes, nullptr, nullptr));
    HANDLE f = CreateFileA("T:\\edt_check_filler.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    std::string chunk(65536, 'f');
    for (DWORD n = 65536; n >= 1; n /= 2) {
        DWORD done = 0;
        while (WriteFile(f, chunk.data(), n, &done, nullptr) && done == n) {}
    }
    CloseHandle(f);
    auto before = Snapshot(h);
    TempDir out("out");
    Child child(Quote(Editor_Exe()) + " -check " + Quote(h), h, nullptr, out / "std.txt");
    EXPECT_EQ(0, child.wait(30000));
    EXPECT_EQ(before, Snapshot(h));
    EXPECT_EQ("0 errors, 0 warnings\r\n", Read_File(out / "std.txt"));
    DeleteFileA("T:\\edt_check_filler.bin");
    Remove_Tree(h);
}
