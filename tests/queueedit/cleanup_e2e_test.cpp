/* End to end: a real Editor.exe on the demo installation, driven from outside by keyboard and
   mouse as an operator would: the Clean-Up page sets one queue to move its finished jobs to a
   done folder that keeps 50 files and another to pass its jobs on to a third queue; OK on the
   page, the overview and the main window, and the queues file differs from what "-update" writes
   for the same installation in exactly those fields. */
#include "support/dlgkit.h"
#include "support/e2ekit.h"
#include "resources/resource.h"
#include <windows.h>

namespace {

class CleanUpEndToEnd : public e2e::DemoTest {
protected:
    /* Opens the Clean-Up page of the output queue at pos from the main window: selects it, Edit,
       then the section's "Change...". The page, or NULL. */
    HWND Open_CleanUp(const tk::Child &editor, HWND main, int pos, HWND *overview)
    {
        *overview = Edit_Queue(editor, main, pos);
        if (*overview == nullptr) return nullptr;
        rk::Press(*overview, IDC_OV_CLEANUP);
        return rk::Find_Window(editor.pid(), "Clean-Up");
    }
};

TEST_F(CleanUpEndToEnd, ADoneFolderKeepingFiftyFilesAndAPassToAnotherQueueChangeExactlyTheirFields)
{
    /* the reference: the installation as -update writes it */
    const std::string reference = Update_Reference().at("Queues.cfg");
    const std::string done = home / "Done\\Archive";
    ASSERT_FALSE(tk::Exists(done));

    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    ASSERT_EQ("PDF Archive", rk::LV_Text(main, IDC_MAIN_TARGETS, 2));
    ASSERT_EQ("Proofer", rk::LV_Text(main, IDC_MAIN_TARGETS, 3));
    ASSERT_EQ("Preflight and Notify", rk::LV_Text(main, IDC_MAIN_TARGETS, 5));

    /* PDF Archive deletes its finished jobs; now they go to a done folder that keeps 50 files */
    HWND overview = nullptr;
    HWND page = Open_CleanUp(editor, main, 2, &overview);
    ASSERT_NE(nullptr, page);
    EXPECT_TRUE(rk::Checked(page, IDC_CU_DELETE));
    rk::Focus(page, IDC_CU_ALERT);
    rk::Mnemonic(page, 'c');                      /* "Send the job to another dire&ctory" */
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::Checked(page, IDC_CU_MOVE) && rk::Enabled(page, IDC_CU_LIMIT); }, 5000));
    EXPECT_EQ("Done Directory:", rk::Text(page, IDC_CU_TARGET_GROUP));
    rk::Type(page, IDC_CU_TARGET, done);
    rk::Mnemonic(page, 'l');                      /* "&Limit number of files in this directory" */
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::Enabled(page, IDC_CU_LIMIT_COUNT); }, 5000));
    EXPECT_TRUE(rk::Checked(page, IDC_CU_LIMIT));
    rk::Type(page, IDC_CU_LIMIT_COUNT, "50");
    dk::Screenshot(page, "cleanup_e2e_done_folder");
    rk::Key_To_Focus(page, VK_RETURN);             /* Enter in the number: the page's OK */
    ASSERT_TRUE(rk::Wait_Gone(page)) << "the page took its fields";
    ASSERT_TRUE(e2e::Wait_Enabled(overview));
    EXPECT_EQ(0u, rk::Text(overview, IDC_OV_CLEANUP_TEXT).find("Move jobs to:\n")) << rk::Text(overview, IDC_OV_CLEANUP_TEXT);
    rk::Press(overview, IDC_OV_OK);
    ASSERT_TRUE(rk::Wait_Gone(overview));

    /* Preflight and Notify leaves its finished jobs; now they go on to Proofer */
    page = Open_CleanUp(editor, main, 5, &overview);
    ASSERT_NE(nullptr, page);
    EXPECT_TRUE(rk::Checked(page, IDC_CU_NOTHING));
    rk::Focus(page, IDC_CU_ALERT);
    rk::Mnemonic(page, 'p');                      /* "&Pass job to another queue" */
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::Checked(page, IDC_CU_PASS) && rk::Enabled(page, IDC_CU_BROWSE); }, 5000));
    EXPECT_EQ("Next queue:", rk::Text(page, IDC_CU_TARGET_GROUP));
    rk::Press(page, IDC_CU_BROWSE);                /* the queue chooser */
    HWND chooser = rk::Find_Window(editor.pid(), "Choose a Queue");
    ASSERT_NE(nullptr, chooser);
    rk::LV_Select(chooser, IDC_CH_LIST, { 3 });
    rk::Press(chooser, IDOK);
    ASSERT_TRUE(rk::Wait_Gone(chooser));
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::Text(page, IDC_CU_TARGET) == "Proofer"; }, 5000));
    dk::Screenshot(page, "cleanup_e2e_next_queue");
    rk::Press(page, IDC_CU_OK);
    ASSERT_TRUE(rk::Wait_Gone(page));
    ASSERT_TRUE(e2e::Wait_Enabled(overview));
    EXPECT_EQ("Pass jobs to \"Proofer\".", rk::Text(overview, IDC_OV_CLEANUP_TEXT));
    rk::Press(overview, IDC_OV_OK);
    ASSERT_TRUE(rk::Wait_Gone(overview));

    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, { IDYES, IDYES, IDYES }, &seen)) << "OK stores and ends";
    ASSERT_EQ(1u, seen.size());
    EXPECT_NE(std::string::npos, seen[0].text.find(done)) << "the new done folder is offered: " << seen[0].text;
    EXPECT_TRUE(GetFileAttributesA(done.c_str()) & FILE_ATTRIBUTE_DIRECTORY) << "and made";

    /* field by field: the done folder's four fields on PDF Archive's line, the action on
       Preflight and Notify's (Proofer is output queue 3, written after the two input queues) */
    const std::string written = tk::Read_File(home / "Queues.cfg");
    for (const std::string *file : { &reference, &written })
        ASSERT_EQ("\r\n", file->substr(file->size() < 2 ? 0 : file->size() - 2)) << "every output queue's line ends in a line end";
    std::vector<std::string> was = e2e::Lines(reference), now = e2e::Lines(written);
    ASSERT_EQ(was.size(), now.size());
    std::vector<std::string> changes;
    for (size_t l = 0; l < was.size(); l++) {
        std::vector<std::string> a = e2e::Fields(was[l]), b = e2e::Fields(now[l]);
        ASSERT_EQ(a.size(), b.size()) << "line " << l + 1;
        for (size_t f = 0; f < a.size(); f++)
            if (a[f] != b[f]) changes.push_back(b[0] + " field " + std::to_string(f + 1) + ": " + a[f] + " -> " + b[f]);
    }
    EXPECT_EQ((std::vector<std::string>{
                  "PDF Archive field 6: -1 -> -2",
                  "PDF Archive field 9:   -> " + done,
                  "PDF Archive field 31: 0 -> 1",
                  "PDF Archive field 32: 10 -> 50",
                  "Preflight and Notify field 6: -3 -> 5",
              }),
              changes);
}

} // namespace
