/* The main window of a real Editor.exe in a temporary installation, driven from outside with the
   remote kit as an operator would drive it; the files it leaves are compared byte for byte. */
#include "support/remote.h"
#include "support/testkit.h"
#include "support/dlgkit.h"
#include "mainwin/maindlg.h"
#include "mainwin/queuelists.h"
#include "common/appstate.h"
#include "common/text.h"
#include "config/model.h"
#include "config/storefile.h"
#include "config/setup.h"
#include "shell/app.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <map>
#include <thread>
#include <shellapi.h>

namespace {

const char k_MainCaption[] = "Queue Configuration";
const std::vector<std::string> k_DemoQueues = { "Plate Setter 1", "Plate Setter 2", "PDF Archive", "Proofer",
                                                "Imposition", "Preflight and Notify", "Monitor" };

/* Every file under dir (relative path -> bytes), the program itself left out. */
typedef std::map<std::string, std::string> Tree;
static void Read_Tree(const std::string &dir, const std::string &rel, Tree *out)
{
    for (const std::string &name : tk::List_Dir(dir)) {
        std::string full = dir + "\\" + name, r = rel.empty() ? name : rel + "\\" + name;
        if (GetFileAttributesA(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
            if (r != "System") (*out)[r + "\\"] = "<dir>";
            Read_Tree(full, r, out);
        } else if (r != "System\\Editor.exe") {
            (*out)[r] = tk::Read_File(full);
        }
    }
}
static Tree Tree_Of(const std::string &dir)
{
    Tree t;
    Read_Tree(dir, "", &t);
    return t;
}
/* The names that differ between two trees, for a readable failure. */
static std::string Differences(const Tree &a, const Tree &b)
{
    std::string out;
    for (const auto &f : a) {
        auto o = b.find(f.first);
        if (o == b.end()) out += "  only in the first: " + f.first + "\n";
        else if (o->second != f.second) out += "  differs: " + f.first + "\n";
    }
    for (const auto &f : b)
        if (a.find(f.first) == a.end()) out += "  only in the second: " + f.first + "\n";
    return out;
}

class EditorMain : public ::testing::Test {
protected:
    tk::TempHome home{ true };

    void SetUp() override { tk::Lay_Out_Demo(home.path()); }

    /* Starts the editor and waits for its main window. */
    HWND Start(tk::Child *editor)
    {
        *editor = tk::Child(tk::Quote(home.editor()), home.path() + "\\System");
        HWND main = rk::Find_Window(editor->pid(), k_MainCaption, 20000);
        EXPECT_NE(nullptr, main) << "no main window";
        if (main != nullptr) {
            /* filled once the dialog is up */
            rk::Wait_Until([&] { return rk::LV_Count(main, IDC_MAIN_TARGETS) > 0; }, 5000);
        }
        return main;
    }
};

/* The same edit through the dialog in this process, on the same home laid out afresh (what the
   store writes depends on the home's path, too): the files it writes are the reference. */
static Tree Same_Edit_In_Process(const std::string &home, const std::vector<int> &deleted, std::vector<std::string> *boxes)
{
    for (const std::string &name : tk::List_Dir(home)) {
        if (name == "System") continue;
        std::string full = home + "\\" + name;
        if (GetFileAttributesA(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY) tk::Remove_Tree(full);
        else DeleteFileA(full.c_str());
    }
    tk::Lay_Out_Demo(home);
    tk::Reset_ProcessState();
    hInstance = GetModuleHandleA(nullptr);
    tk::Use_Home(home);
    Register_Classes(hInstance);
    InitData();             /* as the start-up does: the icons are taken when the lists show them */
    tk::MsgRecorder msgs;
    HWND dlg = CreateDialogParamA(hInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainMenu_Dlg, 0);
    EXPECT_NE(nullptr, dlg);
    mainWindow = dlg;
    HWND list = GetDlgItem(dlg, IDC_MAIN_TARGETS);
    SetFocus(list);
    Select_Items(list, deleted.data(), (int)deleted.size());
    SendMessageA(dlg, WM_COMMAND, IDC_MAIN_DELETE, 0);
    SendMessageA(dlg, WM_COMMAND, IDC_MAIN_OK, 0);
    EXPECT_FALSE(IsWindow(dlg));
    MSG m;
    while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
    for (const tk::Box &b : msgs.boxes) boxes->push_back(b.text);
    Tree t = Tree_Of(home);
    Reset_Configuration();
    return t;
}

TEST_F(EditorMain, DeletingTwoQueuesAndOKWritesWhatTheSameEditInProcessWrites)
{
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    EXPECT_EQ(k_DemoQueues, rk::LV_Texts(main, IDC_MAIN_TARGETS));
    EXPECT_EQ((std::vector<std::string>{ "Plates In", "Proofs In" }), rk::LV_Texts(main, IDC_MAIN_LBQS));
    dk::Screenshot(main, "main_demo");

    /* PDF Archive and Imposition: the balanced input queue keeps its two outputs */
    rk::LV_Select(main, IDC_MAIN_TARGETS, { 2, 4 });
    EXPECT_TRUE(rk::Wait_Until([&] { return rk::Enabled(main, IDC_MAIN_DELETE); }, 5000));
    EXPECT_FALSE(rk::Enabled(main, IDC_MAIN_EDIT)) << "two queues selected: nothing to edit";
    dk::Screenshot(main, "main_demo_selected");
    rk::Key_To_Focus(main, VK_DELETE);                 /* the Delete key, as the button */
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::LV_Count(main, IDC_MAIN_TARGETS) == 5; }, 5000));
    EXPECT_EQ((std::vector<std::string>{ "Plate Setter 1", "Plate Setter 2", "Proofer", "Preflight and Notify", "Monitor" }),
              rk::LV_Texts(main, IDC_MAIN_TARGETS));

    rk::Press(main, IDC_MAIN_OK);
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, tk::Run_Answering(editor, {}, &seen, 30000)) << "OK ends the program";

    Tree written = Tree_Of(home.path());
    std::vector<std::string> boxes;
    Tree expected = Same_Edit_In_Process(home.path(), { 2, 4 }, &boxes);
    ASSERT_EQ(boxes.size(), seen.size()) << "the same questions";
    for (size_t i = 0; i < seen.size(); i++) EXPECT_EQ(boxes[i], seen[i].text);
    EXPECT_TRUE(written == expected) << Differences(written, expected);
    EXPECT_NE(written["Queues.cfg"], tk::Crlf(tk::Read_File(tk::Source_Path("demo\\Queues.cfg")))) << "it was stored";
}

TEST_F(EditorMain, ARefusedOKKeepsTheEditsAndCancelThenLeavesEveryFileAsItWas)
{
    Tree before = Tree_Of(home.path());
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    /* Plate Setter 2 feeds the balanced input queue "Plates In", which is left with one output */
    rk::LV_Select(main, IDC_MAIN_TARGETS, { 1, 3 });
    ASSERT_TRUE(rk::Press_Done(main, IDC_MAIN_DELETE));
    rk::LV_Select(main, IDC_MAIN_TARGETS, { 3 });
    ASSERT_TRUE(rk::Press_Done(main, IDC_MAIN_UP));
    rk::LV_Select(main, IDC_MAIN_LBQS, { 1 });
    ASSERT_TRUE(rk::Press_Done(main, IDC_MAIN_LBQ_DELETE));
    const std::vector<std::string> edited = { "Plate Setter 1", "PDF Archive", "Preflight and Notify", "Imposition", "Monitor" };
    EXPECT_EQ(edited, rk::LV_Texts(main, IDC_MAIN_TARGETS));
    EXPECT_EQ((std::vector<std::string>{ "Plates In" }), rk::LV_Texts(main, IDC_MAIN_LBQS));

    rk::Press(main, IDC_MAIN_OK);
    tk::ForeignBox box;
    ASSERT_TRUE(rk::Answer_Box(editor.pid(), IDOK, &box));
    EXPECT_NE(std::string::npos, box.text.find("\"Plates In\" does not have two or more output queues")) << box.text;
    EXPECT_TRUE(IsWindow(main) && IsWindowVisible(main)) << "the dialog stays open";
    EXPECT_TRUE(rk::Wait_Until([&] { return IsWindowEnabled(main) != FALSE; }, 5000));
    EXPECT_EQ(edited, rk::LV_Texts(main, IDC_MAIN_TARGETS)) << "with every edit";
    EXPECT_EQ(-1, editor.wait(300));

    rk::Press(main, IDCANCEL);
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, tk::Run_Answering(editor, {}, &seen, 20000));
    EXPECT_TRUE(seen.empty()) << seen[0].text;
    Tree after = Tree_Of(home.path());
    EXPECT_TRUE(before == after) << Differences(before, after);
}

TEST_F(EditorMain, TheEndOfTheSessionAsksThenStoresAsOKDoes)
{
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    rk::LV_Select(main, IDC_MAIN_TARGETS, { 2, 4 });
    ASSERT_TRUE(rk::Press_Done(main, IDC_MAIN_DELETE));

    /* the system sends these (they never pass through the message loop): sent from a thread of
       ours while this one answers the question */
    LRESULT mayEnd = -1;
    std::thread ask([&] { mayEnd = SendMessageA(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF); });
    tk::ForeignBox box;
    bool asked = rk::Answer_Box(editor.pid(), IDNO, &box);
    ask.join();
    ASSERT_TRUE(asked);
    EXPECT_EQ("Are you sure you want to quit?", box.text);
    EXPECT_EQ(FALSE, mayEnd) << "No: the session may not end";
    EXPECT_EQ(-1, editor.wait(200));

    std::thread ask2([&] { mayEnd = SendMessageA(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF); });
    asked = rk::Answer_Box(editor.pid(), IDYES, &box);
    ask2.join();
    ASSERT_TRUE(asked);
    EXPECT_EQ(TRUE, mayEnd);
    std::vector<tk::ForeignBox> seen;
    std::thread end([&] { SendMessageA(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF); });
    int code = tk::Run_Answering(editor, {}, &seen, 30000);
    end.join();
    EXPECT_EQ(0, code) << "stored and ended";

    Tree written = Tree_Of(home.path());
    std::vector<std::string> boxes;
    Tree expected = Same_Edit_In_Process(home.path(), { 2, 4 }, &boxes);
    EXPECT_TRUE(written == expected) << Differences(written, expected);
}

TEST_F(EditorMain, DoubleClickAndEnterOpenTheQueueEditor)
{
    tk::TempDir logDir("e2elog");
    tk::Child editor(tk::Quote(home.editor()), logDir.path(), "EDITOR_TRACE=1");
    HWND main = rk::Find_Window(editor.pid(), k_MainCaption, 20000);
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::LV_Count(main, IDC_MAIN_TARGETS) == 7; }, 5000));
    rk::LV_Double_Click(main, IDC_MAIN_TARGETS, 3);
    HWND overview = rk::Find_Window(editor.pid(), "Overview");
    ASSERT_NE(nullptr, overview) << "the double click opens the queue editor";
    EXPECT_EQ("Proofer", rk::Text(overview, IDC_OV_NAME));
    rk::Key_To_Focus(overview, VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Gone(overview));
    rk::LV_Select(main, IDC_MAIN_LBQS, { 1 });
    rk::Key_To_Focus(main, VK_RETURN);
    /* the input queue editor closes at once until it is built: its opening shows in the log */
    rk::Wait_Until([&] { return tk::Read_File(logDir / "editor.log").find("Edit LB Queue") != std::string::npos; }, 5000);
    EXPECT_TRUE(IsWindowVisible(main)) << "Enter on a selected queue does not press OK";
    rk::Press(main, IDCANCEL);
    EXPECT_EQ(0, editor.wait(10000));
    std::string log = tk::Read_File(logDir / "editor.log");
    size_t edit = log.find("Edit queue\r\n"), lbq = log.find("Edit LB Queue\r\n");
    EXPECT_NE(std::string::npos, edit) << "the double click edits the output queue";
    EXPECT_NE(std::string::npos, lbq) << "Enter edits the selected input queue";
    EXPECT_EQ(std::string::npos, log.find("MainMenu_Dlg: OK"));
}

TEST_F(EditorMain, ASecondEditorBringsTheRunningOneToTheFront)
{
    tk::Child first;
    HWND main = Start(&first);
    ASSERT_NE(nullptr, main);
    PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(rk::Wait_Until([&] { return IsIconic(main) != FALSE; }, 5000));

    tk::Child second(tk::Quote(home.editor()), home.path() + "\\System");
    EXPECT_EQ(1, second.wait(15000)) << "the second editor ends at once";
    EXPECT_TRUE(rk::Wait_Until([&] { return !IsIconic(main) && GetForegroundWindow() == main; }, 5000))
        << "the first editor is restored and in front";
    int windows = 0;
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, EDITOR_CLASS, nullptr)) != nullptr;) windows += IsWindowVisible(w) != 0;
    EXPECT_EQ(1, windows);
    rk::Press(main, IDCANCEL);
    EXPECT_EQ(0, first.wait(10000));
}

TEST_F(EditorMain, TwoHundredQueuesScrollAndKeepTheirPlace)
{
    /* the demo's queues, then output queues up to 200 queues in all */
    std::string queues = tk::Read_File(home / "Queues.cfg");
    std::string line = queues.substr(queues.find("Monitor::"));
    line = line.substr(0, line.find("\r\n") + 2);
    for (int i = 10; i <= 200; i++) {
        std::string l = line;
        l.replace(0, 7, "Queue " + std::to_string(i) + (i % 3 ? "" : " (night shift, long name for the column)"));
        queues += l;
    }
    tk::Write_File(home / "Queues.cfg", queues);

    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    ASSERT_EQ(198, rk::LV_Count(main, IDC_MAIN_TARGETS));
    EXPECT_FALSE(rk::Enabled(main, IDC_MAIN_ADD)) << "200 queues in all";
    EXPECT_FALSE(rk::Enabled(main, IDC_MAIN_COPY));
    EXPECT_FALSE(rk::Enabled(main, IDC_MAIN_LBQ_ADD));

    rk::LV_Select(main, IDC_MAIN_TARGETS, { 150 });
    int top = rk::LV_Top(main, IDC_MAIN_TARGETS);
    EXPECT_TRUE(top <= 150 && 150 < top + rk::LV_Per_Page(main, IDC_MAIN_TARGETS));
    ASSERT_TRUE(rk::Press_Done(main, IDC_MAIN_UP));
    EXPECT_EQ((std::vector<int>{ 149 }), rk::LV_Selected(main, IDC_MAIN_TARGETS));
    EXPECT_EQ("Queue 153 (night shift, long name for the column)", rk::LV_Text(main, IDC_MAIN_TARGETS, 149));
    int topAfter = rk::LV_Top(main, IDC_MAIN_TARGETS);
    EXPECT_TRUE(topAfter <= 149 && 149 < topAfter + rk::LV_Per_Page(main, IDC_MAIN_TARGETS));
    dk::Screenshot(main, "main_200_scrolled");

    ASSERT_TRUE(rk::Press_Done(main, IDC_MAIN_DELETE));
    EXPECT_EQ(197, rk::LV_Count(main, IDC_MAIN_TARGETS));
    EXPECT_TRUE(rk::Enabled(main, IDC_MAIN_ADD)) << "room for one again";
    EXPECT_EQ(topAfter, rk::LV_Top(main, IDC_MAIN_TARGETS)) << "the view stays where it was";
    rk::Press(main, IDCANCEL);
    EXPECT_EQ(0, editor.wait(10000));
}

} // namespace
