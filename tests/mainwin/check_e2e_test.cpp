/* The Check command and the question at OK in a real Editor.exe, driven from outside: every
   finding listed, grouped by queue; a double click opens the queue's editor and the list comes
   back filled again; OK asks about a layout problem an edit brought, No keeps the edits open and
   Yes saves them. */
#include "support/e2ekit.h"
#include "support/dlgkit.h"
#include "resources/resource.h"

namespace {

/* Replaces the one place of from in a file of the home. */
void Plant(const std::string &path, const std::string &from, const std::string &to)
{
    std::string text = tk::Read_File(path);
    size_t at = text.find(from);
    ASSERT_NE(std::string::npos, at) << path << " holds no " << from;
    ASSERT_EQ(std::string::npos, text.find(from, at + 1));
    text.replace(at, from.size(), to);
    tk::Write_File(path, text);
}

class CheckE2E : public e2e::DemoTest {};

} // namespace

TEST_F(CheckE2E, CheckListsEveryFindingByQueueAndOpensTheQueueEditor)
{
    Plant(home / "Queues.cfg", "\\Hot\\Proofer::", "\\Hot\\PDF Archive::");
    tk::Remove_Tree(home / "Thumbs\\Plate Setter 1");
    e2e::Tree before = e2e::Tree_Of(home.path());
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);

    rk::LV_Select(main, IDC_MAIN_TARGETS, { 0 });
    rk::Mnemonic(main, 'h');                       /* "C&heck..." from the keyboard */
    HWND check = rk::Find_Window(editor.pid(), "Check");
    ASSERT_NE(nullptr, check) << "Alt+H opens the Check dialog";
    EXPECT_EQ("&Findings: 0 errors, 2 warnings", rk::Text(check, IDC_RL_LABEL));
    ASSERT_EQ(2, rk::LV_Count(check, IDC_RL_LIST));
    const std::string hot = home / "Hot\\PDF Archive";
    const std::vector<std::vector<std::string>> rows = {
        { "Plate Setter 1", "warning", "Queues.cfg:3",
          "the directory \"" + home / "Thumbs\\Plate Setter 1" +
              "\" does not exist; the next save creates it (or create it yourself)." },
        { "Proofer", "warning", "Queues.cfg:6",
          "queue \"Proofer\" has the same hot directory as queue \"PDF Archive\" (" + hot +
              "): both would take its jobs; give each queue a hot directory of its own." },
    };
    for (int r = 0; r < 2; r++)
        for (int c = 0; c < 4; c++) EXPECT_EQ(rows[r][c], rk::LV_Text(check, IDC_RL_LIST, r, c)) << r << ", " << c;
    dk::Screenshot(check, "check_findings");

    /* a double click on the finding about Proofer opens Proofer's editor over the list, on the page
       that holds the hot directory; closing the page leaves the operator in the overview */
    rk::LV_Double_Click(check, IDC_RL_LIST, 1);
    HWND page = rk::Find_Window(editor.pid(), "Inputs");
    ASSERT_NE(nullptr, page) << "the page that holds the hot directory";
    rk::Key_To_Focus(page, VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Gone(page));
    HWND overview = rk::Find_Window(editor.pid(), "Overview");
    ASSERT_NE(nullptr, overview);
    EXPECT_EQ("Proofer", rk::Text(overview, IDC_OV_NAME));
    EXPECT_EQ(check, GetWindow(overview, GW_OWNER));
    rk::Key_To_Focus(overview, VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Gone(overview));
    ASSERT_TRUE(e2e::Wait_Enabled(check));
    EXPECT_EQ(2, rk::LV_Count(check, IDC_RL_LIST)) << "the list is filled again";

    rk::Key_To_Focus(check, VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Gone(check));
    ASSERT_TRUE(e2e::Wait_Enabled(main));
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDCANCEL, {}, &seen));
    EXPECT_TRUE(seen.empty()) << seen[0].text;
    e2e::Tree after = e2e::Tree_Of(home.path());
    EXPECT_TRUE(before == after) << e2e::Differences(before, after, "before", "after");
}

TEST_F(CheckE2E, OkAsksAboutANewQueueOnAnotherQueuesHotDirectory)
{
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    rk::LV_Select(main, IDC_MAIN_TARGETS, { 3 });
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::Enabled(main, IDC_MAIN_COPY); }, 5000));
    rk::Press(main, IDC_MAIN_COPY);
    HWND overview = rk::Find_Window(editor.pid(), "Overview");
    ASSERT_NE(nullptr, overview);
    rk::Press(overview, IDC_OV_OK);
    ASSERT_TRUE(rk::Wait_Gone(overview));
    ASSERT_TRUE(e2e::Wait_Enabled(main));

    const std::string question =
        "The changes bring 1 new problem with how the queues' folders fit together:\r\n\r\n"
        "- queue \"Copy of Proofer\" has the same hot directory as queue \"Proofer\" (" + home / "Hot\\Proofer" +
        "): both would take its jobs; give each queue a hot directory of its own.\r\n"
        "\r\nSave anyway?\r\n\r\nYes saves the configuration as it is; No goes back to the editor.";
    rk::Press(main, IDC_MAIN_OK);
    tk::ForeignBox box;
    ASSERT_TRUE(rk::Answer_Box(editor.pid(), IDNO, &box));
    EXPECT_EQ(question, box.text);
    EXPECT_EQ(e2e::k_DemoTitle, box.caption);
    ASSERT_TRUE(e2e::Wait_Enabled(main));
    EXPECT_EQ(-1, editor.wait(300)) << "No goes back to the editor";
    EXPECT_EQ(8, rk::LV_Count(main, IDC_MAIN_TARGETS)) << "with the edits";
    std::string queues = tk::Read_File(home / "Queues.cfg");
    EXPECT_EQ(std::string::npos, queues.find("Copy of Proofer")) << "nothing was saved";

    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, { IDYES }, &seen));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(question, seen[0].text) << "asked again, and Yes saves";
    EXPECT_NE(std::string::npos, tk::Read_File(home / "Queues.cfg").find("\r\nCopy of Proofer::"));
}
