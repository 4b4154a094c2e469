/* Editor.exe -preferences <home> as the operator starts it: a real process on the demo
   installation, its dialogs driven through their windows, the files compared byte for byte. */
#include "prefs_kit.h"
#include "support/remote.h"
#include "resources/resource.h"
#include <map>

using namespace tk;

namespace {

std::string Lf(const std::string &crlf)
{
    std::string out;
    for (size_t i = 0; i < crlf.size(); i++)
        if (!(crlf[i] == '\r' && i + 1 < crlf.size() && crlf[i + 1] == '\n')) out += crlf[i];
    return out;
}

/* Every file of the installation with its bytes (the program folder left out). */
void Read_Tree(const std::string &dir, const std::string &rel, std::map<std::string, std::string> &out)
{
    for (const std::string &name : List_Dir(dir)) {
        std::string path = dir + "\\" + name, key = rel.empty() ? name : rel + "\\" + name;
        if (key == "System") continue;
        DWORD attr = GetFileAttributesA(path.c_str());
        if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) Read_Tree(path, key, out);
        else out[key] = Read_File(path);
    }
}
std::map<std::string, std::string> Tree(const std::string &home)
{
    std::map<std::string, std::string> files;
    Read_Tree(home, "", files);
    return files;
}

class PreferencesMode : public ::testing::Test {
protected:
    TempHome home{ true };
    std::string prefs;
    std::string updated;                   /* Preferences.cfg as -update writes it */

    void SetUp() override
    {
        Lay_Out_Demo(home.home());
        prefs = home / "Preferences.cfg";
        Child update(Quote(home.editor()) + " -update " + Quote(home.home()));
        std::vector<ForeignBox> seen;
        ASSERT_EQ(0, Run_Answering(update, {}, &seen));
        ASSERT_TRUE(seen.empty());
        updated = Read_File(prefs);
        ASSERT_NE(std::string::npos, updated.find("\r\nSPOOLER_FILE_SETTLE_TIME 20\r\n"));
    }
    Child Start() { return Child(Quote(home.editor()) + " -preferences " + Quote(home.home())); }
};

TEST_F(PreferencesMode, OkWritesExactlyTheTwoValuesChanged)
{
    const auto before = Tree(home.home());
    Child editor = Start();
    HWND dlg = rk::Find_Window(editor.pid(), "General Preferences");
    ASSERT_NE(nullptr, dlg) << "no General Preferences window";
    EXPECT_EQ(nullptr, GetWindow(dlg, GW_OWNER)) << "no owner: the program's one window";
    EXPECT_EQ("20", rk::Text(dlg, IDC_GP_SETTLE));
    rk::Type(dlg, IDC_GP_SETTLE, "42");
    rk::Type(dlg, IDC_GP_MAILTO, "ops@printshop.example");
    rk::Press(dlg, IDOK);
    std::vector<ForeignBox> seen;
    EXPECT_EQ(0, Run_Answering(editor, {}, &seen));
    EXPECT_TRUE(seen.empty()) << seen[0].text;

    std::string want = pk::With_Line(Lf(updated), "SPOOLER_FILE_SETTLE_TIME", "SPOOLER_FILE_SETTLE_TIME 42");
    want = pk::With_Line(want, "SPOOLER_LOGFILE_ADDRESS", "SPOOLER_LOGFILE_ADDRESS ops@printshop.example");
    EXPECT_EQ(Crlf(want), Read_File(prefs));
    /* nothing else of the installation was written */
    auto after = Tree(home.home());
    after.erase("Preferences.cfg");
    auto unchanged = before;
    unchanged.erase("Preferences.cfg");
    EXPECT_TRUE(unchanged == after);
}

TEST_F(PreferencesMode, CancelChangesNothing)
{
    const auto before = Tree(home.home());
    Child editor = Start();
    HWND dlg = rk::Find_Window(editor.pid(), "General Preferences");
    ASSERT_NE(nullptr, dlg);
    rk::Type(dlg, IDC_GP_SETTLE, "42");
    rk::Type(dlg, IDC_GP_PORT, "");
    rk::Set_Check(dlg, IDC_GP_HONOUR, false);
    rk::Press(dlg, IDCANCEL);
    std::vector<ForeignBox> seen;
    EXPECT_EQ(0, Run_Answering(editor, {}, &seen));
    EXPECT_TRUE(seen.empty());
    EXPECT_TRUE(before == Tree(home.home()));
}

TEST_F(PreferencesMode, CancelInFileNamingConventionChangesNothing)
{
    Child editor = Start();
    HWND dlg = rk::Find_Window(editor.pid(), "General Preferences");
    ASSERT_NE(nullptr, dlg);
    rk::Press(dlg, IDC_GP_MASKS_CHANGE);
    HWND masks = rk::Find_Window(editor.pid(), "File Naming Convention");
    ASSERT_NE(nullptr, masks);
    EXPECT_EQ(dlg, GetWindow(masks, GW_OWNER));
    rk::Choose(masks, IDC_JN_PRESETS, "Varro RIP (V4.5 or V5.0 with sep numbers)");
    EXPECT_EQ("01>011.TIF", rk::Text(masks, IDC_JN_GROUPMASK));
    rk::Press(masks, IDCANCEL);
    ASSERT_TRUE(rk::Wait_Gone(masks));
    /* back in General Preferences (enabled again), OK */
    dlg = rk::Find_Window(editor.pid(), "General Preferences");
    ASSERT_NE(nullptr, dlg);
    rk::Press(dlg, IDOK);
    std::vector<ForeignBox> seen;
    EXPECT_EQ(0, Run_Answering(editor, {}, &seen));
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(updated, Read_File(prefs));
}

} // namespace
