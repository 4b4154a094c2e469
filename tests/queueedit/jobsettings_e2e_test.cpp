/* The Job Settings and Multi-Job Settings pages in a real Editor.exe on the demo installation,
   driven from outside as an operator drives them; "Queues.cfg" is compared byte for byte with
   what the update mode writes for the same installation. */
#include "support/e2ekit.h"
#include "support/dlgkit.h"
#include "resources/resource.h"

namespace {

/* Field numbers of an output queue's line (from 0). */
enum { F_NAME = 0, F_PRIORITY = 6, F_COPIES = 7, F_JOBS_AT_A_TIME = 20, F_TIMEOUT_ACTION = 22, F_TIMEOUT_SECONDS = 23 };

class JobSettingsEditor : public e2e::DemoTest {};

TEST_F(JobSettingsEditor, CopiesPriorityAndATimeOutPassingJobsOnAreStoredInTheirFields)
{
    /* what the update mode writes for the demo installation */
    const std::string reference = Update_Reference().at("Queues.cfg");
    ASSERT_FALSE(reference.empty());

    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    HWND overview = Edit_Queue(editor, main, 1);                 /* Plate Setter 2 */
    ASSERT_NE(nullptr, overview);
    EXPECT_EQ("Plate Setter 2", rk::Text(overview, IDC_OV_NAME));
    rk::Press(overview, IDC_OV_JOBS);

    HWND jobs = rk::Find_Window(editor.pid(), "Job Settings");
    ASSERT_NE(nullptr, jobs);
    EXPECT_EQ("Process jobs individually.", rk::Text(jobs, IDC_JS_MULTI_TEXT));
    rk::Type(jobs, IDC_JS_COPIES, "3");
    rk::Choose(jobs, IDC_JS_PRIORITY, "Low");
    rk::Press(jobs, IDC_JS_MULTI);

    HWND multi = rk::Find_Window(editor.pid(), "Multi-Job Settings");
    ASSERT_NE(nullptr, multi);
    rk::Type(multi, IDC_MJ_JOBS, "4");
    ASSERT_TRUE(rk::Press_Done(multi, IDC_MJ_TIMEOUT));
    rk::Type(multi, IDC_MJ_MINUTES, "2");
    rk::Type(multi, IDC_MJ_SECONDS, "5");
    ASSERT_TRUE(rk::Press_Done(multi, IDC_MJ_PASS));
    rk::Press(multi, IDC_MJ_BROWSE);
    HWND chooser = rk::Find_Window(editor.pid(), "Choose a Queue");
    ASSERT_NE(nullptr, chooser);
    rk::LV_Select(chooser, IDC_CH_LIST, { 3 });                  /* Proofer */
    rk::Press(chooser, IDOK);
    ASSERT_TRUE(rk::Wait_Gone(chooser));
    EXPECT_TRUE(rk::Wait_Until([&] { return rk::Text(multi, IDC_MJ_TARGET) == "Proofer"; }));
    dk::Screenshot(multi, "e2e_multijob");
    rk::Press(multi, IDOK);
    ASSERT_TRUE(rk::Wait_Gone(multi));

    EXPECT_TRUE(e2e::Wait_Enabled(jobs));
    EXPECT_EQ("Wait up to 2:05 minutes for 4 jobs, then move waiting jobs to queue 4.", rk::Text(jobs, IDC_JS_MULTI_TEXT));
    rk::Press(jobs, IDOK);
    ASSERT_TRUE(rk::Wait_Gone(jobs));

    EXPECT_TRUE(e2e::Wait_Enabled(overview));
    EXPECT_EQ("Suspend jobs on arrival., run 3 copies per job. Default priority is 'Low'. Process 4 jobs at a time.",
              rk::Text(overview, IDC_OV_JOBS_TEXT));
    rk::Press(overview, IDC_OV_OK);
    ASSERT_TRUE(rk::Wait_Gone(overview));

    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, {}, &seen)) << "OK stores and ends";
    for (const tk::ForeignBox &b : seen) ADD_FAILURE() << "unexpected box: " << b.text;

    /* the same file with Plate Setter 2's five fields changed; Proofer is queue 5 of the file,
       counted from 0 after the two input queues */
    std::vector<std::string> expected = e2e::Lines(reference), written = e2e::Lines(tk::Read_File(home / "Queues.cfg"));
    ASSERT_EQ(expected.size(), written.size());
    bool found = false;
    for (std::string &line : expected) {
        std::vector<std::string> f = e2e::Fields(line);
        if (f[F_NAME] != "Plate Setter 2") continue;
        found = true;
        ASSERT_GT(f.size(), (size_t)F_TIMEOUT_SECONDS);
        EXPECT_EQ("3", f[F_PRIORITY]);
        EXPECT_EQ("-1", f[F_TIMEOUT_ACTION]);
        f[F_PRIORITY] = "6";
        f[F_COPIES] = "3";
        f[F_JOBS_AT_A_TIME] = "4";
        f[F_TIMEOUT_ACTION] = "5";
        f[F_TIMEOUT_SECONDS] = "125";
        line = e2e::Join_Fields(f);
    }
    ASSERT_TRUE(found);
    for (size_t i = 0; i < expected.size(); i++) EXPECT_EQ(expected[i], written[i]) << "line " << i + 1;
}

TEST_F(JobSettingsEditor, CancelInTheOverviewAfterThePagesLeavesTheFiles)
{
    const e2e::Tree before = e2e::Tree_Of(home.path());
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    HWND overview = Edit_Queue(editor, main, 3);                 /* Proofer */
    ASSERT_NE(nullptr, overview);
    rk::Press(overview, IDC_OV_THUMBS);
    HWND thumbs = rk::Find_Window(editor.pid(), "Thumbnail Image Directory");
    ASSERT_NE(nullptr, thumbs);
    rk::Type(thumbs, IDC_TD_PATH, home / "Thumbs\\Proofs");
    rk::Key_To_Focus(thumbs, VK_RETURN);
    ASSERT_TRUE(rk::Wait_Gone(thumbs));
    EXPECT_TRUE(e2e::Wait_Enabled(overview));
    EXPECT_NE(std::string::npos, rk::Text(overview, IDC_OV_THUMBS_TEXT).find("Proofs"));
    rk::Key_To_Focus(overview, VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Gone(overview));
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDCANCEL, {}, &seen));
    EXPECT_TRUE(seen.empty());
    const e2e::Tree after = e2e::Tree_Of(home.path());
    EXPECT_TRUE(before == after) << e2e::Differences(before, after, "the installation before", "the installation after");
}

} // namespace
