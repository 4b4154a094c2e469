/* OK on a full disk, end to end: a real Editor.exe whose installation lies on a small disk (T:,
   mounted by the test run). The disk is filled while the main dialog is open; OK fails, tells
   the operator which files were not written and leaves the dialog open; once there is room again
   a second OK saves, and every file equals what one OK on a healthy disk wrote. */
#include "support/testkit.h"
#include "support/dlgkit.h"
#include "support/remote.h"
#include "config/savesequence.h"
#include "resources/resource.h"
#include "shell/app.h"
#include <algorithm>
#include <map>

using namespace tk;

namespace {

const char *const k_Saved[] = { "Queues.cfg", "Applications.cfg", "LBPrefs.cfg", "Preferences.cfg", "Users.cfg",
                                "OEMApps.cfg", "queue\\engine.q", "state\\queues.sta", "Queues.old", "Applications.old" };
const char k_Summary[] = "Not every file could be saved. These files keep what they held before:\r\n\r\n";

std::map<std::string, std::string> Read_Saved(const std::string &home)
{
    std::map<std::string, std::string> m;
    for (const char *f : k_Saved) {
        bool ok = false;
        std::string bytes = Read_File(home + "\\" + f, &ok);
        m[f] = ok ? bytes : "<missing>";
    }
    return m;
}

/* Fills the disk of root to the last byte with one file. */
void Fill_Disk(const std::string &root, const std::string &filler)
{
    ULARGE_INTEGER freeBytes;
    ASSERT_TRUE(GetDiskFreeSpaceExA(root.c_str(), &freeBytes, nullptr, nullptr));
    HANDLE h = CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    std::string chunk(65536, 'f');
    for (DWORD n = 65536; n >= 1; n /= 2) {
        DWORD done = 0;
        while (WriteFile(h, chunk.data(), n, &done, nullptr) && done == n) {}
    }
    CloseHandle(h);
}

} // namespace

class SaveAgainOnFaultDisks : public ::testing::Test {
protected:
    TempDir shop{ "shop" };          /* the print shop's folders and programs, on the ordinary disk */
    std::string home;                /* the installation, on the small disk */

    void SetUp() override
    {
        NEED_FAULT_DRIVE('T', "small disk T:");
        home = "T:\\edt_shop_" + std::to_string(GetCurrentProcessId());
        Lay_Out_Demo(shop.path());
        Make_Dirs(shop / "Hot\\Monitor");     /* the monitor queue of the older line format takes jobs */
    }
    void TearDown() override
    {
        if (!home.empty()) Remove_Tree(home);
        DeleteFileA("T:\\edt_filler.bin");
    }

    /* The installation on the small disk: the demo print shop's files (naming the folders and
       programs of the shop on the ordinary disk), with a preferences file of an older version and
       the monitor queue in an older line format, so that a save changes them. */
    void Lay_Home()
    {
        Remove_Tree(home);
        Make_Dirs(home + "\\System");
        for (const char *dir : { "queue", "state", "logs" }) Make_Dirs(home + "\\" + dir);
        ASSERT_TRUE(CopyFileA(Editor_Exe().c_str(), (home + "\\System\\Editor.exe").c_str(), FALSE));
        Lay_Profiles(home);
        for (const char *f : { "Queues.cfg", "Applications.cfg", "LBPrefs.cfg", "Users.cfg", "OEMApps.cfg",
                               "queue\\engine.q", "state\\queues.sta" })
            Write_File(home + "\\" + f, Read_File(shop / f));
        std::string queues = Read_File(home + "\\Queues.cfg");
        size_t monitor = queues.find("Monitor::");
        ASSERT_NE(std::string::npos, monitor);
        queues.replace(monitor, std::string::npos, "Monitor::" + shop.path() + "\\Hot\\Monitor::202:: ::-1::4::1\r\n");
        Write_File(home + "\\Queues.cfg", queues);
        Write_File(home + "\\Preferences.cfg", Crlf(Read_File(Fixture("faults/legacy/Preferences.cfg"))));
    }
    Child Start_Editor() { return Child(Quote(home + "\\System\\Editor.exe"), home + "\\System"); }
    static void Press_OK(HWND main) { PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_MAIN_OK, BN_CLICKED), 0); }
};

TEST_F(SaveAgainOnFaultDisks, OkOnAFullDiskStaysOpenAndOkAgainSavesWhatAHealthyDiskGets)
{
    /* One OK on a healthy disk, for comparison. */
    Lay_Home();
    const auto before = Read_Saved(home);
    {
        Child editor = Start_Editor();
        HWND main = rk::Find_Class(editor.pid(), EDITOR_CLASS, 15000);
        ASSERT_NE(nullptr, main) << "no main window";
        Press_OK(main);
        std::vector<ForeignBox> seen;
        ASSERT_EQ(0, Run_Answering(editor, {}, &seen));
        ASSERT_TRUE(seen.empty()) << seen[0].text;
    }
    const auto healthy = Read_Saved(home);
    for (const char *f : { "Queues.cfg", "Preferences.cfg", "Queues.old" })
        ASSERT_NE(before.at(f), healthy.at(f)) << f << " is not changed by the save: the test could not tell";

    /* The same installation; the disk fills while the editor is open. */
    Lay_Home();
    Child editor = Start_Editor();
    HWND main = rk::Find_Class(editor.pid(), EDITOR_CLASS, 15000);
    ASSERT_NE(nullptr, main) << "no main window";
    Fill_Disk("T:\\", "T:\\edt_filler.bin");
    Press_OK(main);

    std::vector<ForeignBox> boxes;
    HWND last = nullptr;
    bool summary = false;
    for (DWORD start = GetTickCount(); !summary && GetTickCount() - start < 30000;) {
        ASSERT_EQ(-1, editor.wait(0)) << "the editor ended after a failed save";
        ForeignBox box;
        if (!Find_ForeignBox(editor.pid(), 200, &box) || box.hwnd == last) continue;
        last = box.hwnd;
        boxes.push_back(box);
        summary = box.text.compare(0, strlen(k_Summary), k_Summary) == 0;
        if (summary) dk::Screenshot(box.hwnd, "save_failed_summary");
        Press_Button(box, IDOK);
    }
    ASSERT_TRUE(summary) << "the operator is told that the save did not go through";
    const std::string &told = boxes.back().text;
    for (const char *f : { "Queues.cfg", "Applications.cfg", "LBPrefs.cfg", "Preferences.cfg", "queue\\engine.q" }) {
        EXPECT_NE(std::string::npos, told.find(home + "\\" + f + "\r\n")) << f << " is not named:\n" << told;
        bool ownBox = false;
        for (size_t i = 0; i + 1 < boxes.size(); i++) ownBox |= boxes[i].text.find(strchr(f, '\\') ? "queue file" : f) != std::string::npos;
        EXPECT_TRUE(ownBox) << f << " has no message of its own";
    }
    for (const ForeignBox &b : boxes) EXPECT_EQ("Plate Room Editor", b.caption);
    Sleep(300);
    EXPECT_EQ(-1, editor.wait(0)) << "the editor must stay open";
    EXPECT_TRUE(IsWindow(main) && IsWindowVisible(main)) << "the main dialog must stay open";
    EXPECT_EQ(before, Read_Saved(home)) << "on a full disk every file keeps what it held";

    ASSERT_TRUE(DeleteFileA("T:\\edt_filler.bin"));
    Press_OK(main);
    std::vector<ForeignBox> more;
    EXPECT_EQ(0, Run_Answering(editor, {}, &more));
    EXPECT_TRUE(more.empty()) << more[0].text;
    const auto after = Read_Saved(home);
    for (const char *f : k_Saved) EXPECT_EQ(healthy.at(f), after.at(f)) << f;
}
