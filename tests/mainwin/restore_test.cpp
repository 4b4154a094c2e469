/* The restore dialog: the backups newest first with how much differs from the configuration in
   the editor, the difference of the one selected, a damaged one that cannot be chosen, Restore
   that puts a backup into the editor without writing; and the whole road in a real Editor.exe. */
#include "support/dlgkit.h"
#include "support/e2ekit.h"
#include "support/modelkit.h"
#include "support/remote.h"
#include "common/appstate.h"
#include "common/text.h"
#include "config/backups.h"
#include "config/model.h"
#include "config/setup.h"
#include "mainwin/restoredlg.h"
#include "resources/resource.h"
#include <algorithm>
#include <commctrl.h>

using namespace tk;

namespace {

std::vector<std::string> Backup_Names()
{
    static BACKUP_ENTRY list[MAX_BACKUPS_LISTED];
    int n = List_Backups(list, MAX_BACKUPS_LISTED);
    std::vector<std::string> names;
    for (int i = 0; i < n; i++) names.push_back(list[i].name);
    return names;
}

/* The cells of a list view's row in this process. */
std::string Cell(HWND list, int item, int col)
{
    char buf[300] = "";
    ListView_GetItemText(list, item, col, buf, sizeof buf);
    return buf;
}

} // namespace

class RestoreDialog : public HomeTest {
protected:
    std::vector<std::string> made;      /* oldest first */
    /* Plates, Proofs, Films saved; then Proofs deleted and saved; then a queue Extra added and
       saved: two backups. The editor then holds the configuration as loaded. */
    void SetUp() override
    {
        HomeTest::SetUp();
        int app = mk::Add_App(home / "Apps\\Rip.exe");
        for (const char *n : { "Plates", "Proofs", "Films" }) mk::Runs_App(mk::Add_Target(n), app);
        saveOnExit = TRUE;
        ASSERT_TRUE(StoreSetup());
        Delete_Target(1);
        ASSERT_TRUE(StoreSetup());
        made.push_back(Last_BackupMade());
        mk::Runs_App(mk::Add_Target("Extra"), app);
        ASSERT_TRUE(StoreSetup());
        made.push_back(Last_BackupMade());
        Fresh_Process();
        InitData();
    }
    INT_PTR Open(dk::Script &s) { return s.Run([] { return Show_Restore(nullptr); }); }
};

TEST_F(RestoreDialog, ListsNewestFirstShowsTheDifferenceAndRestoresIntoTheEditorOnly)
{
    std::string queuesFile = Read_File(Path("Queues.cfg"));
    dk::Script s;
    s.On("Restore a Backup", [&](HWND d) {
        HWND list = GetDlgItem(d, IDC_RESTORE_LIST), diff = GetDlgItem(d, IDC_RESTORE_DIFF);
        ASSERT_EQ(2, ListView_GetItemCount(list));
        EXPECT_EQ(made[1], Cell(list, 0, 0));
        EXPECT_EQ(made[0], Cell(list, 1, 0));
        /* the newest: Extra was added since; the older: Extra added and Proofs deleted since */
        EXPECT_EQ("1", Cell(list, 0, 1));
        EXPECT_EQ("2", Cell(list, 1, 1));
        EXPECT_EQ("0", Cell(list, 1, 2));
        EXPECT_EQ("Backups, newest first (2):", dk::Text(d, IDC_RESTORE_LABEL).substr(1));
        ASSERT_EQ(1, ListView_GetItemCount(diff));
        EXPECT_EQ("Queue \"Extra\" added", Cell(diff, 0, 0));
        EXPECT_TRUE(dk::Enabled(d, IDC_RESTORE_DO));
        dk::Expect_Laid_Out(d);
        dk::Expect_Unique_Mnemonics(d);
        dk::Screenshot(d, "restore");

        ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        std::vector<std::string> rows;
        for (int i = 0; i < ListView_GetItemCount(diff); i++) rows.push_back(Cell(diff, i, 0));
        EXPECT_EQ((std::vector<std::string>{ "Queue \"Proofs\" deleted", "Queue \"Extra\" added" }), rows);
        EXPECT_NE(std::string::npos, dk::Text(d, IDC_RESTORE_DIFF_LABEL).find(made[0]));
        dk::Click(d, IDC_RESTORE_DO);
    });
    EXPECT_EQ(IDOK, Open(s));
    ASSERT_EQ(3, targetCount);
    EXPECT_STREQ("Proofs", targets[1].name);
    EXPECT_EQ(queuesFile, Read_File(Path("Queues.cfg"))) << "nothing is written until OK";
    EXPECT_EQ(2u, Backup_Names().size());
    EXPECT_TRUE(msgs.boxes.empty());
}

TEST_F(RestoreDialog, ADamagedBackupCannotBeChosenAndTheKeyboardReachesEverything)
{
    std::string q = Read_File(Path("Backups\\" + made[0] + "\\Queues.cfg"));
    Write_File(Path("Backups\\" + made[0] + "\\Queues.cfg"), q + "not a queue\r\n");
    std::string model;
    dk::Script s;
    s.On("Restore a Backup", [&](HWND d) {
        HWND list = GetDlgItem(d, IDC_RESTORE_LIST);
        EXPECT_EQ(IDC_RESTORE_LIST, dk::Focus_Id()) << "the list of backups has the focus first";
        EXPECT_EQ("damaged: cannot be restored", Cell(list, 1, 4));
        EXPECT_EQ("", Cell(list, 1, 1));
        ListView_SetItemState(list, 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        EXPECT_FALSE(dk::Enabled(d, IDC_RESTORE_DO));
        EXPECT_NE(std::string::npos, dk::Text(d, IDC_RESTORE_DIFF_LABEL).find("damaged"));
        dk::Screenshot(d, "restore_damaged");
        dk::Key(d, WM_KEYDOWN, VK_RETURN);       /* Enter on a damaged backup does nothing */
        EXPECT_TRUE(IsWindow(d));
        EXPECT_EQ((std::vector<int>{ IDC_RESTORE_LIST, IDC_RESTORE_DIFF, IDCANCEL }), dk::Tab_Order(d))
            << "Restore is skipped while it cannot be pressed";
        dk::Expect_Mnemonics_Lead(d, { { 'b', IDC_RESTORE_LIST }, { 'c', IDC_RESTORE_DIFF } });
        ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        EXPECT_TRUE(dk::Enabled(d, IDC_RESTORE_DO));
        dk::Key(d, WM_KEYDOWN, VK_ESCAPE);
    });
    model = std::to_string(targetCount);
    EXPECT_EQ(IDCANCEL, Open(s));
    EXPECT_EQ(model, std::to_string(targetCount));
    EXPECT_EQ(3, targetCount) << "closed: the editor holds what it held";
}

TEST_F(RestoreDialog, WithoutBackupsNothingCanBeRestored)
{
    Remove_Tree(Path("Backups"));
    dk::Script s;
    s.On("Restore a Backup", [&](HWND d) {
        EXPECT_EQ(0, ListView_GetItemCount(GetDlgItem(d, IDC_RESTORE_LIST)));
        EXPECT_FALSE(dk::Enabled(d, IDC_RESTORE_DO));
        EXPECT_NE(std::string::npos, dk::Text(d, IDC_RESTORE_DIFF_LABEL).find("no backups"));
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, Open(s));
}

/* The whole road in a real Editor.exe on the demo shop: two queues deleted and saved; the newest
   backup shows them deleted; restored and saved again, the queues file is the one before the
   deletion, the job list keeps the jobs of the queues that stayed, and a new backup holds the
   file without the two queues. */
class RestoreEditor : public e2e::DemoTest {};

TEST_F(RestoreEditor, DeleteTwoQueuesSaveRestoreTheBackupAndSave)
{
    e2e::Tree before = Run_Update();
    std::vector<std::string> jobsBefore = e2e::Lines(before["queue\\engine.q"]);
    {
        Child editor;
        HWND main = Start(&editor);
        ASSERT_NE(nullptr, main);
        rk::LV_Select(main, IDC_MAIN_TARGETS, { 2, 4 });
        rk::Press(main, IDC_MAIN_DELETE);
        ASSERT_TRUE(rk::Answer_Box(editor.pid(), IDYES)) << "Plate Setter 2 passes its jobs to PDF Archive";
        ASSERT_TRUE(rk::Wait_Until([&] { return rk::LV_Count(main, IDC_MAIN_TARGETS) == e2e::k_DemoQueues - 2; }, 5000));
        /* Yes: the jobs of the two queues go with them */
        ASSERT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, { IDYES }));
    }
    std::string afterDelete = Read_File(Path("Queues.cfg"));
    ASSERT_NE(before["Queues.cfg"], afterDelete);
    Use_Home(home.path());
    std::vector<std::string> names = Backup_Names();
    ASSERT_GE(names.size(), 1u);
    std::string deletionBackup = names[0];

    Child editor;
    HWND main = Start(&editor, e2e::k_DemoQueues - 2);
    ASSERT_NE(nullptr, main);
    std::vector<std::string> queuesNow = rk::LV_Texts(main, IDC_MAIN_TARGETS);
    rk::Press(main, IDC_MAIN_RESTORE);
    HWND dlg = rk::Find_Window(editor.pid(), "Restore a Backup");
    ASSERT_NE(nullptr, dlg);
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::LV_Count(dlg, IDC_RESTORE_DIFF) > 0; }, 5000));
    EXPECT_EQ(deletionBackup, rk::LV_Texts(dlg, IDC_RESTORE_LIST).at(0));
    std::vector<std::string> diff = rk::LV_Texts(dlg, IDC_RESTORE_DIFF);
    int deleted = 0;
    for (const std::string &row : diff) deleted += row.rfind("Queue \"", 0) == 0 && row.find("\" deleted") != std::string::npos;
    EXPECT_EQ(2, deleted) << "the two queues show as deleted";
    for (const char *q : { "Queue \"PDF Archive\" deleted", "Queue \"Imposition\" deleted" })
        EXPECT_NE(diff.end(), std::find(diff.begin(), diff.end(), std::string(q))) << q;
    dk::Screenshot(dlg, "restore_demo");
    rk::Press(dlg, IDC_RESTORE_DO);
    ASSERT_TRUE(rk::Wait_Gone(dlg));
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::LV_Count(main, IDC_MAIN_TARGETS) == e2e::k_DemoQueues; }, 5000));
    EXPECT_EQ(afterDelete, Read_File(Path("Queues.cfg"))) << "nothing written before OK";
    ASSERT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK));

    e2e::Tree after = e2e::Tree_Of(home.path());
    EXPECT_EQ(before["Queues.cfg"], after["Queues.cfg"]) << "the queues file before the deletion, byte for byte";
    for (const char *f : { "Applications.cfg", "LBPrefs.cfg", "Preferences.cfg" })
        EXPECT_EQ(before[f], after[f]) << f;
    /* the jobs of the two deleted queues (numbers 4 and 6: the input queues come first) went with
       them; every other job is where it was */
    std::vector<std::string> kept;
    for (const std::string &line : jobsBefore) {
        std::vector<std::string> f = e2e::Fields(line);
        if (f.size() < 2 || (f[1] != "4" && f[1] != "6")) kept.push_back(line);
    }
    ASSERT_LT(kept.size(), jobsBefore.size()) << "the demo has jobs in a deleted queue";
    EXPECT_EQ(kept, e2e::Lines(after["queue\\engine.q"]));

    names = Backup_Names();
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(deletionBackup, names[1]);
    EXPECT_EQ(afterDelete, Read_File(Path("Backups\\" + names[0] + "\\Queues.cfg")))
        << "the restore's save backed up the file without the two queues";
}

/* The queues file is gone at start and its ".old" is there: the real editor asks first; Yes
   lists the queues of the copy, and Cancel then writes nothing; No starts without queues. */
TEST_F(RestoreEditor, AMissingQueuesFileIsOfferedFromItsOldCopyAtStart)
{
    ASSERT_TRUE(MoveFileA(Path("Queues.cfg").c_str(), Path("Queues.old").c_str()));
    e2e::Tree before = e2e::Tree_Of(home.path());
    for (int answer : { IDYES, IDNO }) {
        SCOPED_TRACE(answer == IDYES ? "Yes" : "No");
        Child editor(Quote(home.editor()), home / "System");
        ForeignBox box;
        ASSERT_TRUE(Find_ForeignBox(editor.pid(), 20000, &box));
        EXPECT_EQ(e2e::k_DemoTitle, box.caption);
        EXPECT_NE(std::string::npos, box.text.find("\"Queues.cfg\" is missing. Its newest copy, of ")) << box.text;
        EXPECT_NE(std::string::npos, box.text.find(Path("Queues.old"))) << box.text;
        EXPECT_EQ((std::vector<int>{ IDYES, IDNO }), box.buttons);
        Press_Button(box, answer);
        HWND main = rk::Find_Window(editor.pid(), e2e::k_MainCaption, 20000);
        ASSERT_NE(nullptr, main);
        int queues = answer == IDYES ? e2e::k_DemoQueues : 0;
        EXPECT_TRUE(rk::Wait_Until([&] { return rk::LV_Count(main, IDC_MAIN_TARGETS) == queues; }, 5000))
            << rk::LV_Count(main, IDC_MAIN_TARGETS) << " queues listed";
        EXPECT_EQ(0, Press_And_Finish(editor, main, IDCANCEL));
        e2e::Tree now = e2e::Tree_Of(home.path());
        EXPECT_TRUE(now == before) << e2e::Differences(now, before);
    }
}
