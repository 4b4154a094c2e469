/* Editor.exe -preferences <home> as the operator starts it: a real process on the demo
   installation, its dialogs driven through their windows, the files compared byte for byte. */
#include "prefs_kit.h"
#include "support/e2ekit.h"
#include "resources/resource.h"

using namespace tk;

namespace {

std::string Lf(const std::string &crlf)
{
    std::string out;
    for (size_t i = 0; i < crlf.size(); i++)
        if (!(crlf[i] == '\r' && i + 1 < crlf.size() && crlf[i + 1] == '\n')) out += crlf[i];
    return out;
}

class PreferencesMode : public e2e::DemoTest {
protected:
    std::string prefs;
    std::string updated;                   /* Preferences.cfg as -update writes it */

    void SetUp() override
    {
        e2e::DemoTest::SetUp();
        prefs = home / "Preferences.cfg";
        updated = Run_Update()["Preferences.cfg"];
        ASSERT_NE(std::string::npos, updated.find("\r\nSPOOLER_FILE_SETTLE_TIME 20\r\n"));
    }
    Child Start() { return Child(Quote(home.editor()) + " -preferences " + Quote(home.home())); }
};

TEST_F(PreferencesMode, OkWritesExactlyTheTwoValuesChanged)
{
    const e2e::Tree before = e2e::Tree_Of(home.home());
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
    e2e::Tree after = e2e::Tree_Of(home.home());
    after.erase("Preferences.cfg");
    e2e::Tree unchanged = before;
    unchanged.erase("Preferences.cfg");
    EXPECT_TRUE(unchanged == after) << e2e::Differences(unchanged, after, "the installation before", "the installation after");
}

TEST_F(PreferencesMode, CancelChangesNothing)
{
    const e2e::Tree before = e2e::Tree_Of(home.home());
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
    const e2e::Tree after = e2e::Tree_Of(home.home());
    EXPECT_TRUE(before == after) << e2e::Differences(before, after, "the installation before", "the installation after");
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
