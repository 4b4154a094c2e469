/* "Report..." in the main window: the save chooser, the report of the configuration as it is in
   the editor (marked when it is not saved yet), the page opened, and what the operator is told
   when it cannot be written or opened. */
#include "support/testkit.h"
#include "support/modelkit.h"
#include "support/dlgkit.h"
#include "mainwin/maindlg.h"
#include "mainwin/reportcmd.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/text.h"
#include "common/tooltip.h"
#include "config/model.h"
#include "shell/app.h"
#include "resources/resource.h"

namespace {

std::vector<std::string> s_Opened;
bool s_OpenWorks = true;

BOOL Record_Open(HWND, const char *path)
{
    s_Opened.push_back(path);
    return s_OpenWorks ? TRUE : FALSE;
}

class ReportCommand : public tk::HomeTest {
protected:
    HWND dlg = nullptr;
    void SetUp() override
    {
        tk::HomeTest::SetUp();
        ASSERT_TRUE(Register_Classes(hInstance));
        s_Opened.clear();
        s_OpenWorks = true;
        Set_ReportOpener(Record_Open);
        for (const char *name : { "Plates", "Proofs" }) mk::Runs_Nothing(mk::Add_Target(name));
        mk::Number_AsLoaded();
        dlg = CreateDialogParamA(hInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainMenu_Dlg, 0);
        ASSERT_NE(nullptr, dlg);
        mainWindow = dlg;
    }
    void TearDown() override
    {
        Set_ReportOpener(nullptr);
        if (dlg != nullptr && IsWindow(dlg)) DestroyWindow(dlg);
        MSG m;
        while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
        tk::HomeTest::TearDown();
    }
    void Press() { SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_MAIN_REPORT, BN_CLICKED), (LPARAM)GetDlgItem(dlg, IDC_MAIN_REPORT)); }
};

} // namespace

TEST_F(ReportCommand, SavesWhereChosenAndOpensIt)
{
    EXPECT_TRUE(dk::Enabled(dlg, IDC_MAIN_REPORT));
    EXPECT_EQ("&Report...", dk::Text(dlg, IDC_MAIN_REPORT));
    char tip[TIP_TEXT_LEN];
    Get_ControlTip(dlg, IDC_MAIN_REPORT, tip, sizeof tip);
    EXPECT_STREQ("Save a printable page of the whole configuration and open it", tip);
    dk::Screenshot(dlg, "main_report_button");

    const std::string file = home / "out.html";
    dk::ChooserRecorder picks({ file });
    Press();
    ASSERT_EQ(1u, picks.calls.size());
    EXPECT_EQ(CHOOSE_SAVE, picks.calls[0].kind);
    EXPECT_EQ("Save the Configuration Report", picks.calls[0].title);
    EXPECT_EQ(home / "Configuration Report.html", picks.calls[0].path) << "a name proposed in the home";
    EXPECT_EQ(std::vector<std::string>{ file }, s_Opened);
    const std::string page = tk::Read_File(file);
    EXPECT_EQ(0u, page.find("<!DOCTYPE html>"));
    EXPECT_NE(std::string::npos, page.find("1. Plates</h3>"));
    EXPECT_EQ(std::string::npos, page.find("Not yet saved")) << "nothing was edited";
    EXPECT_TRUE(msgs.boxes.empty());
    EXPECT_TRUE(IsWindow(dlg));
}

/* The report shows the configuration in the editor, edits included, and says they are not
   saved; undoing the edit by hand takes the mark away again. */
TEST_F(ReportCommand, EditsAreShownAndMarkedNotYetSaved)
{
    Copy_Field(targets[1].name, "Proofs <A3>");
    dk::ChooserRecorder picks({ home / "a.html", home / "b.html" });
    Press();
    const std::string page = tk::Read_File(home / "a.html");
    EXPECT_NE(std::string::npos, page.find("<p class=\"unsaved\" id=\"unsaved\">Not yet saved"));
    EXPECT_NE(std::string::npos, page.find("2. Proofs &lt;A3&gt;</h3>"));
    Copy_Field(targets[1].name, "Proofs");
    Press();
    EXPECT_EQ(std::string::npos, tk::Read_File(home / "b.html").find("Not yet saved"));
    EXPECT_EQ(2u, s_Opened.size());
}

TEST_F(ReportCommand, CancelWritesNothing)
{
    dk::ChooserRecorder picks({ "" });
    Press();
    EXPECT_EQ(1u, picks.calls.size());
    EXPECT_TRUE(s_Opened.empty());
    EXPECT_FALSE(tk::Exists(home / "Configuration Report.html"));
    EXPECT_TRUE(msgs.boxes.empty());
}

TEST_F(ReportCommand, AReportThatCannotBeWrittenOrOpenedIsTold)
{
    const std::string bad = home / "no\\such\\r.html";
    {
        dk::ChooserRecorder picks({ bad });
        Press();
    }
    ASSERT_EQ(1u, msgs.boxes.size());
    EXPECT_EQ(0u, msgs.last().text.find("The report could not be written to\n\n" + bad + "\r\n\r\nError: ")) << msgs.last().text;
    EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(msgs.last().flags));
    EXPECT_TRUE(s_Opened.empty()) << "nothing to open";

    s_OpenWorks = false;
    {
        dk::ChooserRecorder picks({ home / "r.html" });
        Press();
    }
    ASSERT_EQ(2u, msgs.boxes.size());
    EXPECT_EQ("The report was written to\n\n" + home / "r.html" + "\n\nbut no program is set up to open it.", msgs.last().text);
    EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(msgs.last().flags));
    EXPECT_TRUE(tk::Exists(home / "r.html"));
}
