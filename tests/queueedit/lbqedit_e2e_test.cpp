/* The input queue editor in a real Editor.exe on the demo installation, driven from outside as an
   operator would drive it; the files it leaves are compared byte for byte with hand-checked ones. */
#include "support/remote.h"
#include "support/testkit.h"
#include "support/dlgkit.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <map>

namespace {

const char k_MainCaption[] = "Queue Configuration";
const char k_Title[] = "Ostra Queue Editor";          /* the demo profile's product name */

/* The bytes a file of home must hold: the fixture's LF text with CR LF and the home filled in. */
std::string Expected(const std::string &fixture, const std::string &home)
{
    std::string text = tk::Read_File(tk::Fixture(fixture));
    for (size_t at; (at = text.find("@HOME@")) != std::string::npos;) text.replace(at, 6, home);
    return tk::Crlf(text);
}

/* Every file under dir with its bytes, the program folder left out. */
typedef std::map<std::string, std::string> Tree;
void Read_Tree(const std::string &dir, const std::string &rel, Tree *out)
{
    for (const std::string &name : tk::List_Dir(dir)) {
        std::string full = dir + "\\" + name, r = rel.empty() ? name : rel + "\\" + name;
        if (r == "System") continue;
        if (GetFileAttributesA(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
            (*out)[r + "\\"] = "<dir>";
            Read_Tree(full, r, out);
        } else {
            (*out)[r] = tk::Read_File(full);
        }
    }
}
Tree Tree_Of(const std::string &dir)
{
    Tree t;
    Read_Tree(dir, "", &t);
    return t;
}
std::string Differences(const Tree &a, const Tree &b)
{
    std::string out;
    for (const auto &f : a) {
        auto o = b.find(f.first);
        if (o == b.end()) out += "  only before: " + f.first + "\n";
        else if (o->second != f.second) out += "  differs: " + f.first + "\n";
    }
    for (const auto &f : b)
        if (a.find(f.first) == a.end()) out += "  only after: " + f.first + "\n";
    return out;
}

class LBQEditorProcess : public ::testing::Test {
protected:
    tk::TempHome home{ true };
    void SetUp() override { tk::Lay_Out_Demo(home.path()); }

    HWND Start(tk::Child *editor)
    {
        *editor = tk::Child(tk::Quote(home.editor()), home.path() + "\\System");
        HWND main = rk::Find_Window(editor->pid(), k_MainCaption, 20000);
        EXPECT_NE(nullptr, main) << "no main window";
        if (main != nullptr) rk::Wait_Until([&] { return rk::LV_Count(main, IDC_MAIN_LBQS) > 0; }, 5000);
        return main;
    }
    /* The input queue editor once it is up (the splash screen bears the same title). */
    HWND Find_Editor(const tk::Child &editor)
    {
        HWND found = nullptr;
        rk::Wait_Until([&] {
            for (HWND w : rk::Top_Windows(editor.pid()))
                if (rk::Caption(w) == k_Title && GetDlgItem(w, IDC_LB_NAME) != nullptr && IsWindowEnabled(w)) found = w;
            return found != nullptr;
        }, 10000);
        EXPECT_NE(nullptr, found) << "no input queue editor";
        return found;
    }
    /* A second "-update" on the stored installation reads and writes every file again: nothing
       may change but the backups, which now hold the files as they were before it. */
    void Expect_UpdateChangesNothing()
    {
        Tree before = Tree_Of(home.path());
        tk::Child update(tk::Quote(home.editor()) + " -update " + tk::Quote(home.path()));
        std::vector<tk::ForeignBox> seen;
        EXPECT_EQ(0, tk::Run_Answering(update, {}, &seen, 30000));
        EXPECT_TRUE(seen.empty()) << seen[0].text;
        Tree after = Tree_Of(home.path());
        EXPECT_EQ(before["Queues.cfg"], after["Queues.old"]);
        for (Tree *t : { &before, &after })
            for (auto it = t->begin(); it != t->end();)
                it = it->first.size() > 4 && it->first.compare(it->first.size() - 4, 4, ".old") == 0 ? t->erase(it) : ++it;
        EXPECT_TRUE(before == after) << Differences(before, after);
    }
};

TEST_F(LBQEditorProcess, EditingAnInputQueueAndOKWritesTheHandCheckedFiles)
{
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    ASSERT_EQ((std::vector<std::string>{ "Plates In", "Proofs In" }), rk::LV_Texts(main, IDC_MAIN_LBQS));
    rk::LV_Select(main, IDC_MAIN_LBQS, { 1 });
    rk::Press(main, IDC_MAIN_LBQ_EDIT);
    HWND dlg = Find_Editor(editor);
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
    rk::Focus(dlg, IDC_LB_TIME_PRIORITY);
    rk::Key(rk::Control(dlg, IDC_LB_TIME_PRIORITY), VK_NEXT);       /* a page to the right: 50 -> 60 */
    EXPECT_TRUE(rk::Wait_Until(
        [&] { return SendMessageA(rk::Control(dlg, IDC_LB_TIME_PRIORITY), TBM_GETPOS, 0, 0) == 60; }, 5000));
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

    rk::Press(main, IDC_MAIN_OK);
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, tk::Run_Answering(editor, {}, &seen, 30000)) << "OK stores and ends";
    EXPECT_TRUE(seen.empty()) << seen[0].text;
    EXPECT_EQ(Expected("lbqedit/edit_Queues.cfg", home.path()), tk::Read_File(home / "Queues.cfg"));
    EXPECT_EQ(Expected("lbqedit/edit_LBPrefs.cfg", home.path()), tk::Read_File(home / "LBPrefs.cfg"));
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
    HWND dlg = Find_Editor(editor);
    ASSERT_NE(nullptr, dlg);
    EXPECT_EQ("[New Load Balanced Input Queue]", rk::Text(dlg, IDC_LB_NAME));
    EXPECT_EQ(home / "Load Balancer Inputs\\Input 3", rk::Text(dlg, IDC_LB_PATH));
    EXPECT_EQ(0, rk::LV_Count(dlg, IDC_LB_OUTPUTS));

    rk::Type(dlg, IDC_LB_NAME, "Proof Split");
    rk::Set_Check(dlg, IDC_LB_SUBDIRS, true);
    rk::Choose(dlg, IDC_LB_GROUP_ID, "Same head name");
    rk::Choose(dlg, IDC_LB_GROUP_RULE, "On the same device");
    rk::Choose(dlg, IDC_LB_REASSIGN, "All jobs but don't split groups");
    rk::Focus(dlg, IDC_LB_TIME_PRIORITY);
    rk::Key(rk::Control(dlg, IDC_LB_TIME_PRIORITY), VK_NEXT);
    EXPECT_TRUE(rk::Wait_Until(
        [&] { return SendMessageA(rk::Control(dlg, IDC_LB_TIME_PRIORITY), TBM_GETPOS, 0, 0) == 60; }, 5000));
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

    rk::Press(main, IDC_MAIN_OK);
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, tk::Run_Answering(editor, { IDYES }, &seen, 30000)) << "OK stores and ends";
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("Create the directory \"" + home / "Load Balancer Inputs\\Input 3" + "\"?", seen[0].text);
    EXPECT_EQ(k_Title, seen[0].caption);
    EXPECT_EQ(Expected("lbqedit/add_Queues.cfg", home.path()), tk::Read_File(home / "Queues.cfg"));
    EXPECT_EQ(Expected("lbqedit/add_LBPrefs.cfg", home.path()), tk::Read_File(home / "LBPrefs.cfg"));
    EXPECT_TRUE(tk::Exists(home / "Load Balancer Inputs\\Input 3")) << "the new hot directory is made on saving";
    Expect_UpdateChangesNothing();
}

TEST_F(LBQEditorProcess, CancelInTheEditorChangesNothing)
{
    Tree before = Tree_Of(home.path());
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    rk::LV_Select(main, IDC_MAIN_LBQS, { 0 });
    rk::Press(main, IDC_MAIN_LBQ_EDIT);
    HWND dlg = Find_Editor(editor);
    ASSERT_NE(nullptr, dlg);
    rk::Type(dlg, IDC_LB_NAME, "Gone");
    rk::Type(dlg, IDC_LB_COPIES, "9");
    rk::Key(rk::Control(dlg, IDC_LB_COPIES), VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Gone(dlg));
    EXPECT_EQ((std::vector<std::string>{ "Plates In", "Proofs In" }), rk::LV_Texts(main, IDC_MAIN_LBQS));
    rk::Press(main, IDCANCEL);
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, tk::Run_Answering(editor, {}, &seen, 20000));
    Tree after = Tree_Of(home.path());
    EXPECT_TRUE(before == after) << Differences(before, after);
}

} // namespace
