/* What a save changes, in a real Editor.exe on the demo print shop: the Changes list before OK,
   the question when OK would remove queued jobs, and the change log the save appends. */
#include "support/e2ekit.h"
#include "support/dlgkit.h"
#include "config/changelog.h"
#include "resources/resource.h"
#include <commctrl.h>

namespace {

class SaveChanges : public e2e::DemoTest {
protected:
    std::vector<std::string> Rows(HWND list)
    {
        std::vector<std::string> rows;
        for (int i = 0; i < rk::LV_Count(list, IDC_RL_LIST); i++) rows.push_back(rk::LV_Text(list, IDC_RL_LIST, i, 1));
        return rows;
    }
    static bool Has(const std::vector<std::string> &rows, const std::string &row)
    {
        return std::find(rows.begin(), rows.end(), row) != rows.end();
    }
};

/* Imposition holds one queued job (1045): deleting it and pressing OK asks first. No goes back
   with the queue still deleted and nothing written; Yes saves, and the log holds one entry with
   the deletion and the job removed. */
TEST_F(SaveChanges, DeletingAQueueWithJobsAsksAtOKAndTheSaveIsLogged)
{
    const std::string jobs = tk::Read_File(home / "queue\\engine.q");
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    rk::LV_Select(main, IDC_MAIN_TARGETS, { 4 });
    ASSERT_TRUE(rk::Press_Done(main, IDC_MAIN_DELETE));
    const std::vector<std::string> left = { "Plate Setter 1", "Plate Setter 2", "PDF Archive", "Proofer",
                                            "Preflight and Notify", "Monitor" };
    ASSERT_EQ(left, rk::LV_Texts(main, IDC_MAIN_TARGETS));

    /* the Changes list, opened by its mnemonic, shows the deletion and its effect before OK */
    ASSERT_TRUE(rk::Enabled(main, IDC_MAIN_CHANGES));
    rk::Focus(main, IDC_MAIN_TARGETS);
    rk::Mnemonic(main, 'G');
    HWND list = rk::Find_Window(editor.pid(), "Changes");
    ASSERT_NE(nullptr, list);
    const std::vector<std::string> rows = Rows(list);
    EXPECT_TRUE(Has(rows, "Queue \"Imposition\" deleted")) << ::testing::PrintToString(rows);
    EXPECT_TRUE(Has(rows, "Queue \"Imposition\": 1 job will be removed from the spooler's job list: the queue is deleted"))
        << ::testing::PrintToString(rows);
    EXPECT_EQ(0u, rk::Text(list, IDC_RL_LABEL).find("&Pending changes: ")) << rk::Text(list, IDC_RL_LABEL);
    EXPECT_NE(std::string::npos, rk::Text(list, IDC_RL_LABEL).find("; queued jobs the save would remove: 1"));
    EXPECT_FALSE(rk::Visible(list, IDOK)) << "the rows open nothing";
    dk::Screenshot(list, "changes_list");
    rk::Key_To_Focus(list, VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Gone(list));
    ASSERT_TRUE(e2e::Wait_Enabled(main));

    rk::Press(main, IDC_MAIN_OK);
    tk::ForeignBox box;
    ASSERT_TRUE(rk::Answer_Box(editor.pid(), IDNO, &box));
    EXPECT_EQ("Saving now removes queued jobs from the spooler's job list:\r\n\r\n"
              "Imposition: 1 job will be removed from the spooler's job list: the queue is deleted\r\n"
              "\r\nSave anyway? Press No to go back with your changes kept.",
              box.text);
    EXPECT_EQ(e2e::k_DemoTitle, box.caption);
    EXPECT_EQ((std::vector<int>{ IDYES, IDNO }), box.buttons);
    EXPECT_TRUE(e2e::Wait_Enabled(main));
    EXPECT_TRUE(IsWindowVisible(main)) << "No goes back to the dialog";
    EXPECT_EQ(left, rk::LV_Texts(main, IDC_MAIN_TARGETS)) << "with the queue still deleted";
    EXPECT_EQ(-1, editor.wait(300));
    EXPECT_EQ(jobs, tk::Read_File(home / "queue\\engine.q"));
    EXPECT_FALSE(tk::Exists(home / CHANGE_LOG_FILE));

    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, { IDYES }, &seen)) << "Yes saves and ends";
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(box.text, seen[0].text);
    EXPECT_EQ(std::string::npos, tk::Read_File(home / "queue\\engine.q").find("1045::")) << "the job is gone";

    const std::vector<std::string> log = e2e::Lines(tk::Read_File(home / CHANGE_LOG_FILE));
    ASSERT_GE(log.size(), 4u);
    int headers = 0;
    for (const std::string &l : log) headers += l.rfind("== ", 0) == 0;
    EXPECT_EQ(1, headers) << "one entry";
    EXPECT_NE(std::string::npos, log[0].find(" | interactive | ")) << log[0];
    EXPECT_EQ("  Queue \"Imposition\" deleted", log[1]);
    EXPECT_TRUE(Has(log, "  Queue \"Imposition\": 1 job removed from the spooler's job list: the queue is deleted"));
    EXPECT_EQ("", log.back()) << "an entry ends with an empty line";
}

/* -update on an installation nothing changed writes no entry. */
TEST_F(SaveChanges, UpdateOfAnUnchangedInstallationLogsNothing)
{
    Run_Update();
    Run_Update();
    EXPECT_FALSE(tk::Exists(home / CHANGE_LOG_FILE));
}

/* -update that removes something from the job list logs it under its mode; a log that cannot be
   written is said on the standard error, and the update still ends with 0. */
TEST_F(SaveChanges, UpdateLogsWhatItRemovedAndALogItCannotWriteNeverFailsIt)
{
    const std::string jobs = tk::Read_File(home / "queue\\engine.q");
    const std::string stray = "2001::40::nowhere.ps::4::1::0::r\r\n";
    tk::Write_File(home / "queue\\engine.q", stray + jobs);
    Run_Update();
    const std::string inLine = tk::Read_File(home / "queue\\engine.q");
    EXPECT_EQ(std::string::npos, inLine.find("2001::"));
    const std::vector<std::string> log = e2e::Lines(tk::Read_File(home / CHANGE_LOG_FILE));
    ASSERT_EQ(3u, log.size());
    EXPECT_NE(std::string::npos, log[0].find(" | update | ")) << log[0];
    EXPECT_EQ("  1 line of the spooler's job list names no queue and was removed", log[1]);

    tk::Write_File(home / "queue\\engine.q", stray + jobs);
    tk::Remove_Tree(home / "logs");
    tk::Write_File(home / "logs", "not a folder");
    tk::TempDir out("out");
    tk::Child update(tk::Quote(home.editor()) + " -update " + tk::Quote(home.path()), home / "System", nullptr,
                     out / "std.txt");
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, tk::Run_Answering(update, {}, &seen)) << "the update went through";
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(0u, tk::Read_File(out / "std.txt").find("The change log \"" + (home / CHANGE_LOG_FILE) +
                                                      "\" could not be written ("))
        << tk::Read_File(out / "std.txt");
    EXPECT_EQ(inLine, tk::Read_File(home / "queue\\engine.q")) << "the job list was brought in line";
}

} // namespace
