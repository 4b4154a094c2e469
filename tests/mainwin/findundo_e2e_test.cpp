/* Find and the history of edits in a real Editor.exe, driven from outside: steps undone before
   OK leave no trace in the files, and the find field narrows 200 queues to one that Enter opens. */
#include "support/e2ekit.h"
#include "support/dlgkit.h"
#include "resources/resource.h"

namespace {

using e2e::Tree;
using e2e::Differences;

class EditorHistory : public e2e::DemoTest {
protected:
    /* Deletes the output queue at item with the Delete button, saying Yes to the question the
       editor asks when other queues refer to it; the boxes it asked go to asked. */
    static void Delete_Queue(tk::Child &editor, HWND main, int item, std::vector<std::string> *asked)
    {
        int before = rk::LV_Count(main, IDC_MAIN_TARGETS);
        rk::LV_Select(main, IDC_MAIN_TARGETS, { item });
        rk::Press(main, IDC_MAIN_DELETE);
        tk::ForeignBox box;
        while (rk::LV_Count(main, IDC_MAIN_TARGETS) == before && rk::Answer_Box(editor.pid(), IDYES, &box, 1500))
            asked->push_back(box.text);
        EXPECT_TRUE(rk::Wait_Until([&] { return rk::LV_Count(main, IDC_MAIN_TARGETS) == before - 1; }, 5000));
    }
};

TEST_F(EditorHistory, TwoDeletionsAndAMoveUndoneTwiceWriteWhatTheFirstDeletionAloneWrites)
{
    /* the first deletion alone, OK: the reference */
    std::vector<std::string> askedAlone, asked;
    Tree alone;
    {
        tk::Child editor;
        HWND main = Start(&editor);
        ASSERT_NE(nullptr, main);
        Delete_Queue(editor, main, 3, &askedAlone);                         /* Proofer */
        EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, { IDYES, IDYES }));  /* its queued jobs go */
        alone = e2e::Tree_Of(home.path());
    }
    Lay_Out_Afresh();

    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    EXPECT_FALSE(rk::Enabled(main, IDC_MAIN_UNDO));
    Delete_Queue(editor, main, 3, &asked);                                  /* Proofer */
    Delete_Queue(editor, main, 1, &asked);                                  /* Plate Setter 2 */
    rk::LV_Select(main, IDC_MAIN_TARGETS, { 0 });
    ASSERT_TRUE(rk::Press_Done(main, IDC_MAIN_DOWN));                       /* Plate Setter 1 down */
    EXPECT_EQ((std::vector<std::string>{ "PDF Archive", "Plate Setter 1", "Imposition", "Preflight and Notify", "Monitor" }),
              rk::LV_Texts(main, IDC_MAIN_TARGETS));
    EXPECT_FALSE(rk::Enabled(main, IDC_MAIN_REDO));

    ASSERT_TRUE(rk::Press_Done(main, IDC_MAIN_UNDO));
    ASSERT_TRUE(rk::Press_Done(main, IDC_MAIN_UNDO));
    EXPECT_EQ((std::vector<std::string>{ "Plate Setter 1", "Plate Setter 2", "PDF Archive", "Imposition",
                                         "Preflight and Notify", "Monitor" }),
              rk::LV_Texts(main, IDC_MAIN_TARGETS));
    EXPECT_EQ((std::vector<int>{ 1 }), rk::LV_Selected(main, IDC_MAIN_TARGETS)) << "Plate Setter 2 came back";
    EXPECT_TRUE(rk::Enabled(main, IDC_MAIN_UNDO)) << "the first deletion is still there to undo";
    EXPECT_TRUE(rk::Enabled(main, IDC_MAIN_REDO));
    dk::Screenshot(main, "main_after_two_undos");

    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, { IDYES, IDYES }, &seen)) << "OK ends the program";
    Tree written = e2e::Tree_Of(home.path());
    EXPECT_TRUE(written == alone) << Differences(written, alone, "the edits undone", "the one deletion alone");
    ASSERT_EQ(askedAlone.size() + 1, asked.size()) << "the same question for Proofer, one more for Plate Setter 2";
    EXPECT_EQ(askedAlone, std::vector<std::string>(asked.begin(), asked.begin() + (long)askedAlone.size()));
}

TEST_F(EditorHistory, FindNarrows200QueuesToTheOneWithAHotDirectoryAndEnterOpensIt)
{
    /* the demo's queues, then output queues up to 200 queues in all; one watches D:\Hot\Banners */
    std::string queues = tk::Read_File(home / "Queues.cfg");
    std::string line = queues.substr(queues.find("Monitor::"));
    line = line.substr(0, line.find("\r\n") + 2);
    for (int i = 10; i <= 200; i++) {
        std::vector<std::string> f = e2e::Fields(line.substr(0, line.size() - 2));
        f[0] = "Queue " + std::to_string(i);
        if (i == 137) f[2] = "D:\\Hot\\Banners";
        queues += e2e::Join_Fields(f) + "\r\n";
    }
    tk::Write_File(home / "Queues.cfg", queues);

    tk::Child editor;
    HWND main = Start(&editor, 198);
    ASSERT_NE(nullptr, main);
    rk::Type(main, IDC_MAIN_FIND, "hot\\BANNERS");
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::LV_Count(main, IDC_MAIN_TARGETS) == 1; }, 5000));
    EXPECT_EQ((std::vector<std::string>{ "Queue 137" }), rk::LV_Texts(main, IDC_MAIN_TARGETS));
    EXPECT_EQ(0, rk::LV_Count(main, IDC_MAIN_LBQS));
    EXPECT_EQ("1 of 200 queues match.", rk::Text(main, IDC_MAIN_FIND_STATUS));
    EXPECT_FALSE(rk::Enabled(main, IDC_MAIN_UP));
    dk::Screenshot(main, "main_200_found");

    rk::Key(rk::Control(main, IDC_MAIN_FIND), VK_RETURN);
    HWND overview = rk::Find_Window(editor.pid(), "Overview");
    ASSERT_NE(nullptr, overview) << "Enter opens the one queue found";
    EXPECT_EQ("Queue 137", rk::Text(overview, IDC_OV_NAME));
    rk::Press(overview, IDCANCEL);
    ASSERT_TRUE(rk::Wait_Gone(overview));
    ASSERT_TRUE(e2e::Wait_Enabled(main));

    /* Esc empties the field: every queue again, the one found still selected */
    rk::Key(rk::Control(main, IDC_MAIN_FIND), VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::LV_Count(main, IDC_MAIN_TARGETS) == 198; }, 5000));
    EXPECT_EQ((std::vector<int>{ 134 }), rk::LV_Selected(main, IDC_MAIN_TARGETS));
    EXPECT_EQ("Queue 137", rk::LV_Text(main, IDC_MAIN_TARGETS, 134));
    EXPECT_EQ(2, rk::LV_Count(main, IDC_MAIN_LBQS));
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDCANCEL));
}

} // namespace
