/* The Processes page in a real Editor.exe on the demo installation, reached as an operator
   reaches it (main window, Edit, "Change..." beside the processes) and driven from outside; the
   queues and applications files it leaves are compared byte for byte with hand-checked ones. */
#include "support/e2ekit.h"
#include "resources/resource.h"

namespace {

const int k_PdfArchive = 2;                 /* runs PdfArchive.exe alone */

class ProcessesE2E : public e2e::DemoTest {
protected:
    /* A fixture file with the home's path in place of "@HOME@", as the editor writes it (CR LF). */
    std::string Expected(const std::string &name) const
    {
        return e2e::Home_Fixture("processes\\series_group\\" + name, home.path());
    }
};

TEST_F(ProcessesE2E, ASeriesGroupOfTwoProgramsIsStoredAndASecondUpdateChangesNothing)
{
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    ASSERT_EQ("PDF Archive", rk::LV_Text(main, IDC_MAIN_TARGETS, k_PdfArchive));
    HWND ov = Edit_Queue(editor, main, k_PdfArchive);
    ASSERT_NE(nullptr, ov);
    EXPECT_EQ("Run the process:\n", rk::Text(ov, IDC_OV_PROCS_TEXT).substr(0, 17));

    rk::Press(ov, IDC_OV_PROCS);
    HWND pr = rk::Find_Window(editor.pid(), "Processes");
    ASSERT_NE(nullptr, pr);
    const std::string archive = home / "Apps\\PdfArchive.exe", preflight = home / "Apps\\Preflight.exe";
    EXPECT_EQ(archive + " -o \"" + home / "Archive" + "\"", rk::Text(pr, IDC_PR_COMMAND));
    EXPECT_EQ("Process 1 of 1", rk::Text(pr, IDC_PR_POSITION));
    /* Preflight.exe before it, the two in series */
    ASSERT_TRUE(rk::Press_Done(pr, IDC_PR_INSERT));
    EXPECT_EQ("Process 1 of 2", rk::Text(pr, IDC_PR_POSITION));
    EXPECT_EQ(IDC_PR_COMMAND, rk::Focus_Id(pr)) << "the operator goes on in the command text";
    rk::Type(pr, IDC_PR_COMMAND, preflight);
    ASSERT_TRUE(rk::Press_Done(pr, IDC_PR_NEXT));
    EXPECT_EQ("Process 2 of 2", rk::Text(pr, IDC_PR_POSITION));
    EXPECT_TRUE(rk::Checked(pr, IDC_PR_SERIES));
    rk::Focus(pr, IDOK);                                   /* as a click on OK moves the focus */
    rk::Press(pr, IDOK);
    ASSERT_TRUE(rk::Wait_Gone(pr)) << "the page closed";
    EXPECT_EQ("2 processes running in series.", rk::Text(ov, IDC_OV_PROCS_TEXT));
    rk::Press(ov, IDC_OV_OK);
    ASSERT_TRUE(rk::Wait_Gone(ov));

    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, {}, &seen)) << "OK ends the program";
    EXPECT_TRUE(seen.empty()) << seen[0].text;
    const std::string queues = tk::Read_File(home / "Queues.cfg"), applications = tk::Read_File(home / "Applications.cfg");
    EXPECT_EQ(Expected("Queues.cfg"), queues);
    EXPECT_EQ(Expected("Applications.cfg"), applications);

    const e2e::Tree updated = Run_Update();
    EXPECT_EQ(queues, updated.at("Queues.cfg")) << "a second -update changes nothing";
    EXPECT_EQ(applications, updated.at("Applications.cfg"));
}

} // namespace
