/* The Job Settings and Multi-Job Settings pages in a real Editor.exe on the demo installation,
   driven from outside as an operator drives them; "Queues.cfg" is compared byte for byte with
   what the update mode writes for the same installation. */
#include "support/remote.h"
#include "support/testkit.h"
#include "support/dlgkit.h"
#include "resources/resource.h"
#include <sstream>

namespace {

/* The fields of a queues-file line. */
std::vector<std::string> Fields(const std::string &line)
{
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        size_t at = line.find("::", start);
        out.push_back(line.substr(start, at == std::string::npos ? std::string::npos : at - start));
        if (at == std::string::npos) return out;
        start = at + 2;
    }
}
std::string Join(const std::vector<std::string> &fields)
{
    std::string out;
    for (size_t i = 0; i < fields.size(); i++) out += (i ? "::" : "") + fields[i];
    return out;
}
std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

/* Field numbers of an output queue's line (from 0). */
enum { F_NAME = 0, F_PRIORITY = 6, F_COPIES = 7, F_JOBS_AT_A_TIME = 20, F_TIMEOUT_ACTION = 22, F_TIMEOUT_SECONDS = 23 };

class JobSettingsEditor : public ::testing::Test {
protected:
    tk::TempHome home{ true };

    /* The installation laid out afresh (the program stays). */
    void Lay_Out()
    {
        for (const std::string &name : tk::List_Dir(home.path())) {
            if (name == "System") continue;
            std::string full = home / name;
            if (GetFileAttributesA(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY) tk::Remove_Tree(full);
            else DeleteFileA(full.c_str());
        }
        tk::Lay_Out_Demo(home.path());
    }
};

TEST_F(JobSettingsEditor, CopiesPriorityAndATimeOutPassingJobsOnAreStoredInTheirFields)
{
    /* what the update mode writes for the demo installation */
    Lay_Out();
    tk::Child update(tk::Quote(home.editor()) + " -update " + tk::Quote(home.path()), home / "System");
    ASSERT_EQ(0, update.wait(30000));
    const std::string reference = tk::Read_File(home / "Queues.cfg");
    ASSERT_FALSE(reference.empty());

    Lay_Out();
    tk::Child editor(tk::Quote(home.editor()), home / "System");
    HWND main = rk::Find_Window(editor.pid(), "Queue Configuration", 20000);
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::LV_Count(main, IDC_MAIN_TARGETS) == 7; }, 5000));
    rk::LV_Select(main, IDC_MAIN_TARGETS, { 1 });                /* Plate Setter 2 */
    rk::Press(main, IDC_MAIN_EDIT);

    HWND overview = rk::Find_Window(editor.pid(), "Overview");
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

    EXPECT_TRUE(rk::Wait_Until([&] { return IsWindowEnabled(jobs) != FALSE; }));
    EXPECT_EQ("Wait up to 2:05 minutes for 4 jobs, then move waiting jobs to queue 4.", rk::Text(jobs, IDC_JS_MULTI_TEXT));
    rk::Press(jobs, IDOK);
    ASSERT_TRUE(rk::Wait_Gone(jobs));

    EXPECT_TRUE(rk::Wait_Until([&] { return IsWindowEnabled(overview) != FALSE; }));
    EXPECT_EQ("Suspend jobs on arrival., run 3 copies per job. Default priority is 'Low'. Process 4 jobs at a time.",
              rk::Text(overview, IDC_OV_JOBS_TEXT));
    rk::Press(overview, IDC_OV_OK);
    ASSERT_TRUE(rk::Wait_Gone(overview));

    rk::Press(main, IDC_MAIN_OK);
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, tk::Run_Answering(editor, {}, &seen, 30000)) << "OK stores and ends";
    for (const tk::ForeignBox &b : seen) ADD_FAILURE() << "unexpected box: " << b.text;

    /* the same file with Plate Setter 2's five fields changed; Proofer is queue 5 of the file,
       counted from 0 after the two input queues */
    std::vector<std::string> expected = Lines(reference), written = Lines(tk::Read_File(home / "Queues.cfg"));
    ASSERT_EQ(expected.size(), written.size());
    bool found = false;
    for (std::string &line : expected) {
        std::vector<std::string> f = Fields(line);
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
        line = Join(f);
    }
    ASSERT_TRUE(found);
    for (size_t i = 0; i < expected.size(); i++) EXPECT_EQ(expected[i], written[i]) << "line " << i + 1;
}

TEST_F(JobSettingsEditor, CancelInTheOverviewAfterThePagesLeavesTheFiles)
{
    Lay_Out();
    const std::string before = tk::Read_File(home / "Queues.cfg");
    tk::Child editor(tk::Quote(home.editor()), home / "System");
    HWND main = rk::Find_Window(editor.pid(), "Queue Configuration", 20000);
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::LV_Count(main, IDC_MAIN_TARGETS) == 7; }, 5000));
    rk::LV_Select(main, IDC_MAIN_TARGETS, { 3 });                /* Proofer */
    rk::Press(main, IDC_MAIN_EDIT);
    HWND overview = rk::Find_Window(editor.pid(), "Overview");
    ASSERT_NE(nullptr, overview);
    rk::Press(overview, IDC_OV_THUMBS);
    HWND thumbs = rk::Find_Window(editor.pid(), "Thumbnail Image Directory");
    ASSERT_NE(nullptr, thumbs);
    rk::Type(thumbs, IDC_TD_PATH, home / "Thumbs\\Proofs");
    rk::Key_To_Focus(thumbs, VK_RETURN);
    ASSERT_TRUE(rk::Wait_Gone(thumbs));
    EXPECT_TRUE(rk::Wait_Until([&] { return IsWindowEnabled(overview) != FALSE; }));
    EXPECT_NE(std::string::npos, rk::Text(overview, IDC_OV_THUMBS_TEXT).find("Proofs"));
    rk::Key_To_Focus(overview, VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Gone(overview));
    rk::Press(main, IDCANCEL);
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, tk::Run_Answering(editor, {}, &seen, 20000));
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(before, tk::Read_File(home / "Queues.cfg"));
}

} // namespace
