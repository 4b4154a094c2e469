/* "Editor.exe -silent" end to end: a real Editor.exe in a temporary installation, its real
   message boxes read and answered from here, its exit code and the files it leaves. */
#include "support/testkit.h"
#include "shell/app.h"
#include "config/savesequence.h"
#include "common/appstate.h"
#include "config/model.h"
#include "config/queuesfile.h"
#include "config/appsfile.h"
#include "config/runtime.h"
#include "common/text.h"
#include <algorithm>
#include <map>
#include <string.h>

namespace {

const char k_Title[] = "Plate Room Editor";              /* PRODUCT_NAME of the laid-out profile */
const char k_System[] = "Plate Room Output System";      /* its SYSTEM_NAME */

std::string Replace_Home(std::string text, const std::string &home)
{
    for (size_t at = text.find("@HOME@"); at != std::string::npos; at = text.find("@HOME@", at + home.size()))
        text.replace(at, 6, home);
    return text;
}

/* A window of the given class held open by another process; the handle once it is there. */
struct HeldWindow {
    tk::Child child;
    HWND hwnd = nullptr;
    HeldWindow(const char *cls, const char *title)
        : child(tk::Quote(tk::Helper_Exe("holdwindow")) + " \"" + cls + "\" \"" + title + "\" 60000")
    {
        for (int i = 0; i < 200 && hwnd == nullptr; i++) {
            hwnd = FindWindowA(cls, title);
            if (hwnd == nullptr) Sleep(25);
        }
    }
};

} // namespace

class SilentTest : public tk::HomeTest {
protected:
    SilentTest() : tk::HomeTest(true) {}

    void SetUp() override
    {
        tk::HomeTest::SetUp();
        Fail_StrayBoxes();
        ASSERT_TRUE(tk::Exists(home.editor()));
        /* A complete identity, so that no profile message stands in the way and the boxes carry
           the profile's title. */
        tk::Lay_Profiles(home.path());
    }

    /* Lays out the configuration files of fixtures/silent/<which> as the editor writes them
       (the home path filled in, CR LF line ends); returns the bytes of each, by name. */
    std::map<std::string, std::string> Lay_Config(const char *which)
    {
        std::map<std::string, std::string> laid;
        std::string dir = tk::Fixture(std::string("silent/") + which);
        for (const std::string &name : tk::List_Dir(dir)) {
            std::string bytes = tk::Crlf(Replace_Home(tk::Read_File(dir + "\\" + name), home.path()));
            tk::Write_File(home / name, bytes);
            laid[name] = bytes;
        }
        tk::Make_Dirs(home / "Apps");
        tk::Write_File(home / "Apps\\Rip.exe", "MZ");
        return laid;
    }

    tk::Child Start_Silent(const std::string &exe) { return tk::Child(tk::Quote(exe) + " -silent", home / "System"); }

    /* Everything under the home directory except the program and the profile, with each file's bytes. */
    std::map<std::string, std::string> Snapshot(const std::string &rel = "")
    {
        std::map<std::string, std::string> all;
        std::string dir = rel.empty() ? home.path() : home / rel;
        for (const std::string &name : tk::List_Dir(dir)) {
            std::string r = rel.empty() ? name : rel + "\\" + name;
            if (r == "System" || r == "Profile") continue;
            DWORD attr = GetFileAttributesA((home / r).c_str());
            if (attr & FILE_ATTRIBUTE_DIRECTORY) {
                all[r + "\\"] = "";
                for (auto &kv : Snapshot(r)) all[kv.first] = kv.second;
            } else {
                all[r] = tk::Read_File(home / r);
            }
        }
        return all;
    }
};

TEST_F(SilentTest, OutsideASystemFolderItSaysSoAndStoresNothing)
{
    tk::Make_Dirs(home / "Bin");
    std::string exe = home / "Bin\\Editor.exe";
    ASSERT_TRUE(CopyFileA(home.editor().c_str(), exe.c_str(), FALSE));
    Lay_Config("good");
    auto before = Snapshot();

    tk::Child editor = Start_Silent(exe);
    std::vector<tk::ForeignBox> seen;
    int code = tk::Run_Answering(editor, {}, &seen);
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("Application not running in the correct folder; can't continue.", seen[0].text);
    EXPECT_EQ("Editor", seen[0].caption) << "the profiles are not known yet";
    EXPECT_EQ(std::vector<int>{ IDOK }, seen[0].buttons);
    EXPECT_EQ(1, code) << "nothing was stored: not a success";
    EXPECT_EQ(before, Snapshot());
}

TEST_F(SilentTest, WithAnEditorRunningItBringsThatOneForwardAndStoresNothing)
{
    for (const char *cls : { EDITOR_CLASS, EDITOR_OLD_CLASS }) {
        SCOPED_TRACE(cls);
        Lay_Config("good");
        auto before = Snapshot();
        HeldWindow held(cls, "Running Editor");
        ASSERT_NE(nullptr, held.hwnd);
        ShowWindow(held.hwnd, SW_MINIMIZE);
        for (int i = 0; i < 100 && !IsIconic(held.hwnd); i++) Sleep(20);
        ASSERT_TRUE(IsIconic(held.hwnd));

        tk::Child editor = Start_Silent(home.editor());
        std::vector<tk::ForeignBox> seen;
        int code = tk::Run_Answering(editor, {}, &seen);
        EXPECT_EQ(0u, seen.size()) << (seen.empty() ? "" : seen[0].text);
        EXPECT_EQ(1, code) << "nothing was stored: not a success";
        for (int i = 0; i < 100 && IsIconic(held.hwnd); i++) Sleep(20);
        EXPECT_FALSE(IsIconic(held.hwnd)) << "the running editor is shown normally again";
        EXPECT_EQ(before, Snapshot());
    }
}

TEST_F(SilentTest, MissingApplicationRefusesWithoutAMessageAndWritesNothing)
{
    Lay_Config("missing_app");
    auto before = Snapshot();
    tk::Child editor = Start_Silent(home.editor());
    std::vector<tk::ForeignBox> seen;
    int code = tk::Run_Answering(editor, {}, &seen);
    EXPECT_EQ(0u, seen.size()) << (seen.empty() ? "" : seen[0].text);
    EXPECT_EQ(1, code);
    EXPECT_EQ(before, Snapshot()) << "no file written, no .old made, no directory created";
}

TEST_F(SilentTest, DuplicateQueueNamesAreShownEvenInSilentModeAndRefused)
{
    Lay_Config("duplicate_names");
    auto before = Snapshot();
    tk::Child editor = Start_Silent(home.editor());
    std::vector<tk::ForeignBox> seen;
    int code = tk::Run_Answering(editor, {}, &seen);
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("The following name is being used for queue 1 and queue 3:\n\n\t\"PROOFS\"\n\nYou must select distinct "
              "names for these queues before you can continue.",
              seen[0].text);
    EXPECT_EQ(k_Title, seen[0].caption);
    EXPECT_EQ(1, code);
    EXPECT_EQ(before, Snapshot());
}

TEST_F(SilentTest, RunningSpoolerIsAnnouncedAndTheStoreWaitsForTheOperator)
{
    for (const char *cls : { SPOOLER_CLASS, SPOOLER_OLD_CLASS }) {
        SCOPED_TRACE(cls);
        tk::Remove_Tree(home / "Hot");
        DeleteFileA((home / "Queues.old").c_str());
        DeleteFileA((home / "Applications.old").c_str());
        auto laid = Lay_Config("good");
        HeldWindow spooler(cls, "Spooler");
        ASSERT_NE(nullptr, spooler.hwnd);

        tk::Child editor = Start_Silent(home.editor());
        tk::ForeignBox box;
        ASSERT_TRUE(tk::Find_ForeignBox(editor.pid(), 20000, &box));
        EXPECT_EQ(std::string("You are currently running ") + k_System +
                      ".\n\nChanges made now will not take effect until you restart the application.",
                  box.text);
        EXPECT_EQ(k_Title, box.caption);
        EXPECT_EQ(std::vector<int>{ IDOK }, box.buttons);

        Sleep(300);
        EXPECT_EQ(-1, editor.wait(0)) << "the editor waits for the operator";
        EXPECT_FALSE(tk::Exists(home / "Queues.old")) << "nothing is stored before the warning is answered";
        EXPECT_EQ(laid["Queues.cfg"], tk::Read_File(home / "Queues.cfg"));

        tk::Press_Button(box, IDOK);
        std::vector<tk::ForeignBox> more;
        EXPECT_EQ(0, tk::Run_Answering(editor, {}, &more));
        EXPECT_EQ(0u, more.size()) << (more.empty() ? "" : more[0].text);
        EXPECT_TRUE(tk::Exists(home / "Queues.old")) << "stored after the answer";
    }
}

TEST_F(SilentTest, WithoutASpoolerItCreatesTheDirectoriesStoresAndExitsZero)
{
    auto laid = Lay_Config("good");
    tk::Child editor = Start_Silent(home.editor());
    std::vector<tk::ForeignBox> seen;
    int code = tk::Run_Answering(editor, {}, &seen);
    EXPECT_EQ(0u, seen.size()) << (seen.empty() ? "" : seen[0].text);
    EXPECT_EQ(0, code);

    EXPECT_EQ(laid["Queues.cfg"], tk::Read_File(home / "Queues.cfg")) << "stored exactly as the spooler reads it";
    EXPECT_EQ(laid["Applications.cfg"], tk::Read_File(home / "Applications.cfg"));
    EXPECT_EQ(laid["Queues.cfg"], tk::Read_File(home / "Queues.old"));
    EXPECT_EQ(laid["Applications.cfg"], tk::Read_File(home / "Applications.old"));
    EXPECT_TRUE(tk::Exists(home / "Hot\\Proofs")) << "created without asking";
    EXPECT_TRUE(tk::Exists(home / "Hot\\Plates"));
    for (const char *sys : { "queue", "logs", "state" }) EXPECT_TRUE(tk::Exists(home / sys)) << sys;
}

/* A queue's icon is a picture for the windows: the silent mode takes none, and an icon file that
   is missing when the editor starts does not cost the queue its icon setting. */
TEST_F(SilentTest, AQueueWhoseIconFileIsMissingKeepsItsIconSetting)
{
    auto laid = Lay_Config("good");
    std::string queues = laid["Queues.cfg"];
    const std::string tail = "::1:: :: ::0\r\n";
    size_t at = queues.rfind(tail);
    ASSERT_NE(std::string::npos, at);
    queues.replace(at, tail.size(), "::1::" + (home / "Icons\\gone.ico") + ":: ::0\r\n");
    tk::Write_File(home / "Queues.cfg", queues);

    tk::Child editor = Start_Silent(home.editor());
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, tk::Run_Answering(editor, {}, &seen));
    EXPECT_EQ(0u, seen.size()) << (seen.empty() ? "" : seen[0].text);
    EXPECT_EQ(queues, tk::Read_File(home / "Queues.cfg"));
}

/* The demo installation as shipped: a silent save shows nothing, creates nothing and writes every
   file back unchanged (queue icons, application paths and folders all exist), keeping backups. */
TEST(SilentDemo, TheDemoInstallationSavesUnchanged)
{
    tk::TempHome home(true);
    tk::Lay_Out_Demo(home.home());
    std::vector<std::string> before = tk::List_Dir(home.home());
    std::map<std::string, std::string> files;
    for (const char *f : { "Queues.cfg", "Applications.cfg", "LBPrefs.cfg", "Preferences.cfg", "queue\\engine.q",
                           "state\\queues.sta" })
        files[f] = tk::Read_File(home / f);

    tk::Child silent(tk::Quote(home.editor()) + " -silent", home / "System");
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, tk::Run_Answering(silent, {}, &seen));
    EXPECT_TRUE(seen.empty()) << seen[0].text;
    for (auto &f : files) EXPECT_EQ(f.second, tk::Read_File(home / f.first)) << f.first;
    std::vector<std::string> after = tk::List_Dir(home.home());
    before.push_back("Applications.old");
    before.push_back("Queues.old");
    std::sort(before.begin(), before.end());
    EXPECT_EQ(before, after);
}

/* A silent save that cannot write its files is a failure: exit 1, every file as it was. */
TEST(SilentOnFaultDisks, UnwritableInstallationExitsOne)
{
    NEED_FAULT_DRIVE('R', "read-only folder R:");
    tk::Remove_Tree("U:\\silent");
    tk::Lay_Out_Demo("U:\\silent", "R:\\silent");
    tk::Make_Dirs("U:\\silent\\System");
    ASSERT_TRUE(CopyFileA(tk::Editor_Exe().c_str(), "U:\\silent\\System\\Editor.exe", FALSE));
    std::string queues = tk::Read_File("U:\\silent\\Queues.cfg");
    tk::Child silent(tk::Quote("R:\\silent\\System\\Editor.exe") + " -silent", "R:\\silent\\System");
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(1, tk::Run_Answering(silent, {}, &seen));
    EXPECT_FALSE(seen.empty()) << "the operator is told which files could not be written";
    bool named = false;
    for (const tk::ForeignBox &b : seen) named |= b.text.find("Queues.cfg") != std::string::npos;
    EXPECT_TRUE(named);
    EXPECT_EQ(queues, tk::Read_File("R:\\silent\\Queues.cfg"));
    tk::Remove_Tree("U:\\silent");
}
