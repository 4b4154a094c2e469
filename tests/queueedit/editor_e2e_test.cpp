/* The queue editor in a real Editor.exe on the demo installation, driven from outside as an
   operator drives it; the files it leaves are compared byte for byte with what -update writes
   for the same installation. */
#include "support/e2ekit.h"
#include "resources/resource.h"

namespace {

using e2e::Tree;

class QueueEditorE2E : public e2e::DemoTest {
protected:
    Tree updated;                          /* the installation as -update leaves it */

    void SetUp() override
    {
        e2e::DemoTest::SetUp();
        updated = Update_Reference();
    }
};

TEST_F(QueueEditorE2E, OkInTheEditorOnEveryQueueThenOkStoresWhatUpdateWrites)
{
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    for (int pos = 0; pos < e2e::k_DemoQueues; pos++) {
        SCOPED_TRACE(pos);
        std::string name = rk::LV_Text(main, IDC_MAIN_TARGETS, pos);
        HWND ov = Edit_Queue(editor, main, pos);
        ASSERT_NE(nullptr, ov);
        EXPECT_EQ(name, rk::Text(ov, IDC_OV_NAME));
        rk::Press(ov, IDC_OV_OK);
        ASSERT_TRUE(rk::Wait_Gone(ov)) << "the editor closed: " << name;
    }
    EXPECT_FALSE(rk::Answer_Box(editor.pid(), IDOK, nullptr, 300)) << "no message on the way";
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, {}, &seen)) << "OK ends the program";
    EXPECT_TRUE(seen.empty()) << seen[0].text;
    Tree written = e2e::Tree_Of(home.path());
    EXPECT_TRUE(written == updated) << e2e::Differences(written, updated, "the installation", "what -update writes");
}

TEST_F(QueueEditorE2E, ANewNameAndHotDirectoryChangeExactlyThoseFieldsOfTheQueuesFile)
{
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    HWND ov = Edit_Queue(editor, main, 1);
    ASSERT_NE(nullptr, ov);
    EXPECT_EQ("Plate Setter 2", rk::Text(ov, IDC_OV_NAME));
    rk::Type(ov, IDC_OV_NAME, "Plate Setter Two");
    rk::Press(ov, IDC_OV_INPUTS);
    HWND in = rk::Find_Window(editor.pid(), "Inputs");
    ASSERT_NE(nullptr, in);
    std::string hot = home / "Hot\\Plate Setter Two";
    rk::Type(in, IDC_IN_PATH, hot);
    rk::Press(in, IDOK);
    ASSERT_TRUE(rk::Wait_Gone(in));
    EXPECT_NE(std::string::npos, rk::Text(ov, IDC_OV_INPUTS_TEXT).find("\\Plate Setter Two"));
    rk::Press(ov, IDC_OV_OK);
    ASSERT_TRUE(rk::Wait_Gone(ov));
    EXPECT_EQ("Plate Setter Two", rk::LV_Text(main, IDC_MAIN_TARGETS, 1)) << "the list shows the new name";

    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, { IDYES, IDYES }, &seen));
    ASSERT_EQ(2u, seen.size()) << "the new hot directory is offered for creation; its queued job goes";
    EXPECT_EQ("Create the directory \"" + hot + "\"?", seen[0].text);
    EXPECT_EQ("Saving now removes queued jobs from the spooler's job list:\r\n\r\n"
              "Plate Setter Two: 1 job will be removed from the spooler's job list: its hot directory changed\r\n"
              "\r\nSave anyway? Press No to go back with your changes kept.",
              seen[1].text);
    EXPECT_TRUE(tk::Exists(hot));

    std::vector<std::string> before = e2e::Lines(updated["Queues.cfg"]), after = e2e::Lines(tk::Read_File(home / "Queues.cfg"));
    ASSERT_EQ(before.size(), after.size());
    int changedLines = 0;
    for (size_t i = 0; i < before.size(); i++) {
        if (before[i] == after[i]) continue;
        changedLines++;
        std::vector<std::string> was = e2e::Fields(before[i]), now = e2e::Fields(after[i]);
        ASSERT_EQ(was.size(), now.size());
        EXPECT_EQ("Plate Setter 2", was[0]);
        for (size_t f = 0; f < was.size(); f++) {
            SCOPED_TRACE("field " + std::to_string(f + 1));
            if (f == 0) EXPECT_EQ("Plate Setter Two", now[f]);
            else if (f == 2) EXPECT_EQ(hot, now[f]);
            else EXPECT_EQ(was[f], now[f]);
        }
    }
    EXPECT_EQ(1, changedLines) << "only the edited queue's line";
}

TEST_F(QueueEditorE2E, CancelInTheEditorThenCancelWritesNothing)
{
    Tree before = e2e::Tree_Of(home.path());
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    HWND ov = Edit_Queue(editor, main, 0);
    ASSERT_NE(nullptr, ov);
    rk::Type(ov, IDC_OV_NAME, "Gone");
    rk::Key_To_Focus(ov, VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Gone(ov));
    EXPECT_EQ("Plate Setter 1", rk::LV_Text(main, IDC_MAIN_TARGETS, 0));
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDCANCEL, {}, &seen));
    EXPECT_TRUE(seen.empty());
    Tree after = e2e::Tree_Of(home.path());
    EXPECT_TRUE(before == after) << e2e::Differences(after, before, "the installation after", "the installation before");
}

} // namespace
