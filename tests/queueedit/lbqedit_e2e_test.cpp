/* The input queue editor in a real Editor.exe on the demo installation, driven from outside as an
   operator would drive it; the files it leaves are compared byte for byte with hand-checked ones. */
#include "support/e2ekit.h"
#include "support/dlgkit.h"
#include "resources/resource.h"
#include <commctrl.h>

namespace {

using e2e::Tree;

class LBQEditorProcess : public e2e::DemoTest {
protected:
    /* A file of the home as it must be: the fixture with the home filled in, CR LF. */
    std::string Expected(const std::string &fixture) const { return e2e::Home_Fixture(fixture, home.path()); }

    /* A second "-update" on the stored installation reads and writes every file again: nothing
       may change but the backups, which now hold the files as they were before it. */
    void Expect_UpdateChangesNothing()
    {
        Tree before = e2e::Tree_Of(home.path());
        Tree after = Run_Update();
        EXPECT_EQ(before["Queues.cfg"], after["Queues.old"]);
        before = e2e::Without_Backups(before);
        after = e2e::Without_Backups(after);
        EXPECT_TRUE(before == after) << e2e::Differences(before, after, "the stored installation", "after -update");
    }
};

/* The slider between job waiting time and job priority a page to the right (Page Down: 50 -> 60). */
void Time_Priority_PageRight(HWND dlg)
{
    rk::Focus(dlg, IDC_LB_TIME_PRIORITY);
    rk::Key(rk::Control(dlg, IDC_LB_TIME_PRIORITY), VK_NEXT);
    EXPECT_TRUE(rk::Wait_Until(
        [&] { return SendMessageA(rk::Control(dlg, IDC_LB_TIME_PRIORITY), TBM_GETPOS, 0, 0) == 60; }, 5000));
}

TEST_F(LBQEditorProcess, EditingAnInputQueueAndOKWritesTheHandCheckedFiles)
{
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    ASSERT_EQ((std::vector<std::string>{ "Plates In", "Proofs In" }), rk::LV_Texts(main, IDC_MAIN_LBQS));
    rk::LV_Select(main, IDC_MAIN_LBQS, { 1 });
    rk::Press(main, IDC_MAIN_LBQ_EDIT);
    HWND dlg = e2e::Find_InputEditor(editor);
    ASSERT_NE(nullptr, dlg);

    EXPECT_EQ("Proofs In", rk::Text(dlg, IDC_LB_NAME));
    EXPECT_EQ(home / "Hot\\Proofs In", rk::Text(dlg, IDC_LB_PATH));
    EXPECT_EQ("25", rk::Text(dlg, IDC_LB_SPLIT));
    EXPECT_FALSE(rk::Enabled(dlg, IDC_LB_GROUP_ID)) << "a split size leaves no room for groups";
    EXPECT_FALSE(rk::Checked(dlg, IDC_LB_ENABLED));
    EXPECT_EQ((std::vector<std::string>{ "PDF Archive", "Proofer" }), rk::LV_Texts(dlg, IDC_LB_OUTPUTS));
    EXPECT_EQ(2, rk::LV_Image(dlg, IDC_LB_OUTPUTS, 0));
    EXPECT_EQ(3, rk::LV_Data(dlg, IDC_LB_OUTPUTS, 1));

    rk::Type(dlg, IDC_LB_NAME, "Proofs Balanced");
    rk::Set_Check(dlg, IDC_LB_ENABLED, true);
    rk::Type(dlg, IDC_LB_SPLIT, "0");
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::Enabled(dlg, IDC_LB_GROUP_ID); }, 5000));
    rk::Choose(dlg, IDC_LB_GROUP_ID, "Same head name");
    rk::Choose(dlg, IDC_LB_GROUP_RULE, "At the same time");
    rk::Choose(dlg, IDC_LB_REASSIGN, "Blocked jobs only");
    Time_Priority_PageRight(dlg);
    rk::Type(dlg, IDC_LB_PURGE_HOURS, "2");
    rk::Type(dlg, IDC_LB_PURGE_MINUTES, "0");
    rk::Type(dlg, IDC_LB_COPIES, "3");
    rk::Choose(dlg, IDC_LB_PRIORITY, "Low");
    dk::Screenshot(dlg, "lbqedit_process");
    rk::Press(dlg, IDC_LB_OK);
    ASSERT_TRUE(rk::Wait_Gone(dlg));
    EXPECT_TRUE(rk::Wait_Until(
        [&] { return rk::LV_Texts(main, IDC_MAIN_LBQS) == std::vector<std::string>{ "Plates In", "Proofs Balanced" }; },
        5000));

    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, {}, &seen)) << "OK stores and ends";
    EXPECT_TRUE(seen.empty()) << seen[0].text;
    EXPECT_EQ(Expected("lbqedit/edit_Queues.cfg"), tk::Read_File(home / "Queues.cfg"));
    EXPECT_EQ(Expected("lbqedit/edit_LBPrefs.cfg"), tk::Read_File(home / "LBPrefs.cfg"));
    Expect_UpdateChangesNothing();
}

/* Picks the output queue at item in the queue chooser that Add... opens. */
void Add_Output(const tk::Child &editor, HWND dlg, int item, int expectedCount)
{
    rk::Press(dlg, IDC_LB_ADD);
    HWND chooser = rk::Find_Window(editor.pid(), "Choose a Queue");
    ASSERT_NE(nullptr, chooser);
    rk::LV_Select(chooser, IDC_CH_LIST, { item });
    rk::Press(chooser, IDOK);
    ASSERT_TRUE(rk::Wait_Gone(chooser));
    EXPECT_TRUE(rk::Wait_Until([&] { return rk::LV_Count(dlg, IDC_LB_OUTPUTS) == expectedCount; }, 5000));
}

TEST_F(LBQEditorProcess, AddingAnInputQueueBalancingBetweenThreeQueuesWritesTheHandCheckedFiles)
{
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    rk::Press(main, IDC_MAIN_LBQ_ADD);
    HWND dlg = e2e::Find_InputEditor(editor);
    ASSERT_NE(nullptr, dlg);
    EXPECT_EQ("[New Load Balanced Input Queue]", rk::Text(dlg, IDC_LB_NAME));
    EXPECT_EQ(home / "Load Balancer Inputs\\Input 3", rk::Text(dlg, IDC_LB_PATH));
    EXPECT_EQ(0, rk::LV_Count(dlg, IDC_LB_OUTPUTS));

    rk::Type(dlg, IDC_LB_NAME, "Proof Split");
    rk::Set_Check(dlg, IDC_LB_SUBDIRS, true);
    rk::Choose(dlg, IDC_LB_GROUP_ID, "Same head name");
    rk::Choose(dlg, IDC_LB_GROUP_RULE, "On the same device");
    rk::Choose(dlg, IDC_LB_REASSIGN, "All jobs but don't split groups");
    Time_Priority_PageRight(dlg);
    rk::Type(dlg, IDC_LB_PURGE_HOURS, "1");
    rk::Type(dlg, IDC_LB_PURGE_MINUTES, "15");
    rk::Type(dlg, IDC_LB_COPIES, "2");
    rk::Choose(dlg, IDC_LB_PRIORITY, "High");
    Add_Output(editor, dlg, 4, 1);               /* Imposition */
    Add_Output(editor, dlg, 0, 2);               /* Plate Setter 1 */
    Add_Output(editor, dlg, 3, 3);               /* Proofer */
    Add_Output(editor, dlg, 0, 3);               /* Plate Setter 1 again: taken once */
    EXPECT_EQ((std::vector<std::string>{ "Plate Setter 1", "Proofer", "Imposition" }), rk::LV_Texts(dlg, IDC_LB_OUTPUTS));
    dk::Screenshot(dlg, "lbqedit_process_new");
    rk::Press(dlg, IDC_LB_OK);
    ASSERT_TRUE(rk::Wait_Gone(dlg));
    EXPECT_TRUE(rk::Wait_Until(
        [&] {
            return rk::LV_Texts(main, IDC_MAIN_LBQS) == std::vector<std::string>{ "Plates In", "Proofs In", "Proof Split" };
        },
        5000));

    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, { IDYES }, &seen)) << "OK stores and ends";
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("Create the directory \"" + home / "Load Balancer Inputs\\Input 3" + "\"?", seen[0].text);
    EXPECT_EQ(e2e::k_DemoTitle, seen[0].caption);
    EXPECT_EQ(Expected("lbqedit/add_Queues.cfg"), tk::Read_File(home / "Queues.cfg"));
    EXPECT_EQ(Expected("lbqedit/add_LBPrefs.cfg"), tk::Read_File(home / "LBPrefs.cfg"));
    EXPECT_TRUE(tk::Exists(home / "Load Balancer Inputs\\Input 3")) << "the new hot directory is made on saving";
    Expect_UpdateChangesNothing();
}

TEST_F(LBQEditorProcess, CancelInTheEditorChangesNothing)
{
    Tree before = e2e::Tree_Of(home.path());
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    rk::LV_Select(main, IDC_MAIN_LBQS, { 0 });
    rk::Press(main, IDC_MAIN_LBQ_EDIT);
    HWND dlg = e2e::Find_InputEditor(editor);
    ASSERT_NE(nullptr, dlg);
    rk::Type(dlg, IDC_LB_NAME, "Gone");
    rk::Type(dlg, IDC_LB_COPIES, "9");
    rk::Key(rk::Control(dlg, IDC_LB_COPIES), VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Gone(dlg));
    EXPECT_EQ((std::vector<std::string>{ "Plates In", "Proofs In" }), rk::LV_Texts(main, IDC_MAIN_LBQS));
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDCANCEL, {}, &seen));
    Tree after = e2e::Tree_Of(home.path());
    EXPECT_TRUE(before == after) << e2e::Differences(before, after, "the installation before", "the installation after");
}

} // namespace
