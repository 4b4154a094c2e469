/* The main window of a real Editor.exe in a temporary installation, driven from outside with the
   remote kit as an operator would drive it, the queue editor opened from it included; the files
   it leaves are compared byte for byte. */
#include "support/e2ekit.h"
#include "support/dlgkit.h"
#include "mainwin/maindlg.h"
#include "lists/queuelists.h"
#include "common/appstate.h"
#include "config/model.h"
#include "config/setup.h"
#include "shell/app.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <thread>
#include <shellapi.h>

namespace {

using e2e::Tree;
using e2e::Differences;

const std::vector<std::string> k_DemoQueues = { "Plate Setter 1", "Plate Setter 2", "PDF Archive", "Proofer",
                                                "Imposition", "Preflight and Notify", "Monitor" };

class EditorMain : public e2e::DemoTest {
protected:
    /* The same deletion through the dialog in this process, on the demo laid out afresh in the same
       home (what the store writes depends on the home's path, too): the files it writes are the
       reference. The texts of the boxes it showed go to boxes. */
    Tree Same_Deletion_In_Process(const std::vector<int> &deleted, std::vector<std::string> *boxes)
    {
        Lay_Out_Afresh();
        Fresh_Process();
        hInstance = GetModuleHandleA(nullptr);
        Register_Classes(hInstance);
        InitData();             /* as the start-up does: the icons are taken when the lists show them */
        HWND dlg = CreateDialogParamA(hInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainMenu_Dlg, 0);
        EXPECT_NE(nullptr, dlg);
        mainWindow = dlg;
        HWND list = GetDlgItem(dlg, IDC_MAIN_TARGETS);
        SetFocus(list);
        Select_Items(list, deleted.data(), (int)deleted.size());
        {
            tk::MsgRecorder yes({ IDYES });      /* the question about the queues that refer to them */
            SendMessageA(dlg, WM_COMMAND, IDC_MAIN_DELETE, 0);
        }
        tk::MsgRecorder seen({ IDYES });      /* Imposition's queued job goes: save anyway */
        SendMessageA(dlg, WM_COMMAND, IDC_MAIN_OK, 0);
        EXPECT_FALSE(IsWindow(dlg));
        MSG m;
        while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
        for (const tk::Box &b : seen.boxes) boxes->push_back(b.text);
        Tree t = e2e::Tree_Of(home.path());
        Fresh_Process();
        return t;
    }
};

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
    tk::ForeignBox question;                           /* Plate Setter 2 passes its jobs to PDF Archive */
    ASSERT_TRUE(rk::Answer_Box(editor.pid(), IDYES, &question));
    EXPECT_NE(std::string::npos, question.text.find("Plate Setter 2 passes jobs to it after processing")) << question.text;
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::LV_Count(main, IDC_MAIN_TARGETS) == 5; }, 5000));
    EXPECT_EQ((std::vector<std::string>{ "Plate Setter 1", "Plate Setter 2", "Proofer", "Preflight and Notify", "Monitor" }),
              rk::LV_Texts(main, IDC_MAIN_TARGETS));

    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, { IDYES }, &seen)) << "OK ends the program";

    Tree written = e2e::Tree_Of(home.path());
    std::vector<std::string> boxes;
    Tree expected = Same_Deletion_In_Process({ 2, 4 }, &boxes);
    ASSERT_EQ(boxes.size(), seen.size()) << "the same questions";
    for (size_t i = 0; i < seen.size(); i++) EXPECT_EQ(boxes[i], seen[i].text);
    EXPECT_TRUE(written == expected) << Differences(written, expected, "the process's", "the in-process edit's");
    EXPECT_NE(written["Queues.cfg"], tk::Crlf(tk::Read_File(tk::Source_Path("demo\\Queues.cfg")))) << "it was stored";
}

TEST_F(EditorMain, ARefusedOKKeepsTheEditsAndCancelThenLeavesEveryFileAsItWas)
{
    Tree before = e2e::Tree_Of(home.path());
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    /* Plate Setter 2 feeds the balanced input queue "Plates In", which is left with one output */
    rk::LV_Select(main, IDC_MAIN_TARGETS, { 1, 3 });
    rk::Press(main, IDC_MAIN_DELETE);
    ASSERT_TRUE(rk::Answer_Box(editor.pid(), IDYES)) << "Imposition and Plates In refer to Plate Setter 2";
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::LV_Count(main, IDC_MAIN_TARGETS) == 5; }, 5000));
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
    EXPECT_TRUE(e2e::Wait_Enabled(main));
    EXPECT_EQ(edited, rk::LV_Texts(main, IDC_MAIN_TARGETS)) << "with every edit";
    EXPECT_EQ(-1, editor.wait(300));

    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDCANCEL, {}, &seen));
    EXPECT_TRUE(seen.empty()) << seen[0].text;
    Tree after = e2e::Tree_Of(home.path());
    EXPECT_TRUE(before == after) << Differences(before, after, "the installation before", "the installation after");
}

TEST_F(EditorMain, TheEndOfTheSessionAsksThenStoresAsOKDoes)
{
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    rk::LV_Select(main, IDC_MAIN_TARGETS, { 2, 4 });
    rk::Press(main, IDC_MAIN_DELETE);
    ASSERT_TRUE(rk::Answer_Box(editor.pid(), IDYES)) << "Plate Setter 2 passes its jobs to PDF Archive";
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::LV_Count(main, IDC_MAIN_TARGETS) == 5; }, 5000));

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
    int code = tk::Run_Answering(editor, { IDYES }, &seen, 30000);     /* Imposition's queued job goes */
    end.join();
    EXPECT_EQ(0, code) << "stored and ended";

    Tree written = e2e::Tree_Of(home.path());
    std::vector<std::string> boxes;
    Tree expected = Same_Deletion_In_Process({ 2, 4 }, &boxes);
    EXPECT_TRUE(written == expected) << Differences(written, expected, "the process's", "the in-process edit's");
}

TEST_F(EditorMain, DoubleClickAndEnterOpenTheQueueEditor)
{
    Tree before = e2e::Tree_Of(home.path());
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);

    rk::LV_Double_Click(main, IDC_MAIN_TARGETS, 3);
    HWND overview = rk::Find_Window(editor.pid(), "Overview");
    ASSERT_NE(nullptr, overview) << "the double click opens the queue editor";
    EXPECT_EQ("Proofer", rk::Text(overview, IDC_OV_NAME));
    EXPECT_EQ(main, GetWindow(overview, GW_OWNER));
    rk::Key_To_Focus(overview, VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Gone(overview));
    ASSERT_TRUE(e2e::Wait_Enabled(main));

    rk::LV_Select(main, IDC_MAIN_TARGETS, { 1 });
    rk::Key_To_Focus(main, VK_RETURN);
    overview = rk::Find_Window(editor.pid(), "Overview");
    ASSERT_NE(nullptr, overview) << "Enter on a selected output queue opens the queue editor";
    EXPECT_EQ("Plate Setter 2", rk::Text(overview, IDC_OV_NAME));
    rk::Key_To_Focus(overview, VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Gone(overview));
    ASSERT_TRUE(e2e::Wait_Enabled(main));

    rk::LV_Select(main, IDC_MAIN_LBQS, { 1 });
    rk::Key_To_Focus(main, VK_RETURN);
    HWND input = e2e::Find_InputEditor(editor);
    ASSERT_NE(nullptr, input) << "Enter on a selected input queue opens the input queue editor";
    EXPECT_EQ("Proofs In", rk::Text(input, IDC_LB_NAME));
    rk::Key_To_Focus(input, VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Gone(input));
    ASSERT_TRUE(e2e::Wait_Enabled(main));
    EXPECT_TRUE(IsWindowVisible(main)) << "Enter on a selected queue does not press OK";
    EXPECT_EQ(-1, editor.wait(0));

    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDCANCEL, {}, &seen));
    EXPECT_TRUE(seen.empty()) << seen[0].text;
    Tree after = e2e::Tree_Of(home.path());
    EXPECT_TRUE(before == after) << Differences(before, after, "the installation before", "the installation after");
}

/* How many visible windows of the editor's own class there are, in every process. */
static int Editor_Windows()
{
    int windows = 0;
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, EDITOR_CLASS, nullptr)) != nullptr;) windows += IsWindowVisible(w) != 0;
    return windows;
}

TEST_F(EditorMain, ASecondEditorBringsTheRunningOneToTheFront)
{
    tk::Child first;
    HWND main = Start(&first);
    ASSERT_NE(nullptr, main);
    PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(rk::Wait_Until([&] { return IsIconic(main) != FALSE; }, 5000));

    tk::Child second(tk::Quote(home.editor()), home / "System");
    EXPECT_EQ(1, second.wait(15000)) << "the second editor ends at once";
    EXPECT_TRUE(rk::Wait_Until([&] { return !IsIconic(main) && GetForegroundWindow() == main; }, 5000))
        << "the first editor is restored and in front";
    EXPECT_EQ(1, Editor_Windows());

    /* with the queue editor open over the main window and another program in front: the queue
       editor the operator was working in comes to the front */
    HWND overview = Edit_Queue(first, main, 3);
    ASSERT_NE(nullptr, overview);
    dk::Form other("Another Program", {});
    SetForegroundWindow(other.hwnd());
    ASSERT_TRUE(rk::Wait_Until([&] { tk::Pump(10); return GetForegroundWindow() == other.hwnd(); }, 5000));
    tk::Child third(tk::Quote(home.editor()), home / "System");
    int code = -1;
    ASSERT_TRUE(rk::Wait_Until([&] { tk::Pump(10); return (code = third.wait(0)) != -1; }, 15000));
    EXPECT_EQ(1, code) << "the third editor ends at once";
    EXPECT_TRUE(rk::Wait_Until([&] { tk::Pump(10); return GetForegroundWindow() == overview; }, 5000))
        << "the queue editor is in front, not \"" << rk::Caption(GetForegroundWindow()) << "\"";
    EXPECT_FALSE(IsWindowEnabled(main)) << "the main window waits for its queue editor";
    EXPECT_EQ(1, Editor_Windows());

    rk::Key_To_Focus(overview, VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Gone(overview));
    ASSERT_TRUE(e2e::Wait_Enabled(main));
    EXPECT_EQ(0, Press_And_Finish(first, main, IDCANCEL));
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
    HWND main = Start(&editor, 198);
    ASSERT_NE(nullptr, main);
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
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDCANCEL));
}

/* ---- adding and copying through the real queue editor ---- */

/* text with its one occurrence of from replaced by to. */
std::string Replaced(std::string text, const std::string &from, const std::string &to)
{
    size_t at = text.find(from);
    EXPECT_NE(std::string::npos, at) << "no \"" << from << "\" in:\n" << text;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    EXPECT_EQ(std::string::npos, text.find(from, at + to.size())) << "\"" << from << "\" twice";
    return text;
}

/* The load balancer's file numbers the input queues after the output queues: with one output
   queue more, each input queue's number is one higher. */
std::string With_OneMoreOutputQueue(const std::string &lbPrefs)
{
    return Replaced(Replaced(lbPrefs, "\r\nINPUT_QUEUE 8\r\n", "\r\nINPUT_QUEUE 9\r\n"), "\r\nINPUT_QUEUE 7\r\n",
                    "\r\nINPUT_QUEUE 8\r\n");
}

TEST_F(EditorMain, AddingAnOutputQueueThatRunsANewProgramStoresItsLineAndTheProgram)
{
    const Tree reference = Update_Reference();
    const std::string hot = home / "Hot\\Plate Setter 3", viewer = home / "Apps\\PlateViewer.exe";
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    rk::Press(main, IDC_MAIN_ADD);
    HWND overview = rk::Find_Window(editor.pid(), "Overview");
    ASSERT_NE(nullptr, overview);
    EXPECT_EQ(NEW_TARGET_NAME, rk::Text(overview, IDC_OV_NAME));
    rk::Type(overview, IDC_OV_NAME, "Plate Setter 3");

    rk::Press(overview, IDC_OV_INPUTS);
    HWND inputs = rk::Find_Window(editor.pid(), "Inputs");
    ASSERT_NE(nullptr, inputs);
    rk::Type(inputs, IDC_IN_PATH, hot);
    rk::Press(inputs, IDOK);
    ASSERT_TRUE(rk::Wait_Gone(inputs));
    ASSERT_TRUE(e2e::Wait_Enabled(overview));
    EXPECT_NE(std::string::npos, rk::Text(overview, IDC_OV_INPUTS_TEXT).find("\\Hot\\Plate Setter 3"));

    rk::Press(overview, IDC_OV_PROCS);
    HWND procs = rk::Find_Window(editor.pid(), "Processes");
    ASSERT_NE(nullptr, procs);
    EXPECT_EQ("", rk::Text(procs, IDC_PR_COMMAND)) << "a new queue runs nothing yet";
    rk::Type(procs, IDC_PR_COMMAND, "\"" + viewer + "\" -night");
    rk::Focus(procs, IDOK);                                /* as a click on OK moves the focus */
    rk::Press(procs, IDOK);
    ASSERT_TRUE(rk::Wait_Gone(procs)) << "the page took the program";
    ASSERT_TRUE(e2e::Wait_Enabled(overview));
    const std::string procsText = rk::Text(overview, IDC_OV_PROCS_TEXT);
    EXPECT_EQ(0u, procsText.find("Run the process:\n")) << procsText;
    EXPECT_NE(std::string::npos, procsText.find("\\Apps\\PlateViewer.exe")) << procsText;
    dk::Screenshot(overview, "e2e_new_queue");
    rk::Press(overview, IDC_OV_OK);
    ASSERT_TRUE(rk::Wait_Gone(overview));
    ASSERT_TRUE(e2e::Wait_Enabled(main));
    std::vector<std::string> listed = k_DemoQueues;
    listed.push_back("Plate Setter 3");
    EXPECT_EQ(listed, rk::LV_Texts(main, IDC_MAIN_TARGETS));
    EXPECT_EQ((std::vector<int>{ 7 }), rk::LV_Selected(main, IDC_MAIN_TARGETS)) << "the new queue is selected";

    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, { IDYES }, &seen)) << "OK stores and ends";
    ASSERT_EQ(1u, seen.size()) << "the new hot directory is offered for creation";
    EXPECT_EQ("Create the directory \"" + hot + "\"?", seen[0].text);

    /* Hand-checked. The queues file: the new queue's line after the demo's, every field from the
       new-queue defaults but the name, the hot directory and the program, entry 6 of the
       applications file. There the program comes after the demo's six programs and before the two
       groups, which become entries 7 and 8: the two queues that run them follow. The load
       balancer's file numbers the input queues after the eight output queues. */
    std::string queues;
    for (const std::string &l : e2e::Lines(reference.at("Queues.cfg"))) {
        std::vector<std::string> f = e2e::Fields(l);
        if (f[0] == "Imposition") f[3] = f[3] == "6" ? "7" : "<not 6>";
        if (f[0] == "Preflight and Notify") f[3] = f[3] == "7" ? "8" : "<not 7>";
        queues += e2e::Join_Fields(f) + "\r\n";
    }
    const std::string h = home.path();
    queues += "Plate Setter 3::0::" + hot + "::6:: ::-3::4::1::" + h + "\\Done::0::1::0::0::5:: :: ::0::0::0::1::1::0::-1::300::" + h +
              "\\Timed Out Waiting::1::2:: ::0::0::0::10::0::0:: :: ::0:: ::0:: :: ::0\r\n";
    std::vector<std::string> apps = e2e::Lines(reference.at("Applications.cfg"));
    ASSERT_EQ(8u, apps.size());
    apps.insert(apps.begin() + 6, "\"" + viewer + "\" -night::P::N::1::0::0::0::0");
    std::string applications;
    for (size_t i = 0; i < apps.size(); i++) applications += (i ? "\r\n" : "") + apps[i];

    Tree expected = reference;
    expected["Queues.cfg"] = queues;
    expected["Applications.cfg"] = applications;
    expected["LBPrefs.cfg"] = With_OneMoreOutputQueue(reference.at("LBPrefs.cfg"));
    expected["Hot\\Plate Setter 3\\"] = "<dir>";
    Tree written = e2e::Tree_Of(home.path());
    for (const char *f : { "Queues.cfg", "Applications.cfg", "LBPrefs.cfg" }) EXPECT_EQ(expected[f], written[f]) << f;
    EXPECT_TRUE(written == expected) << Differences(written, expected, "the installation", "the expected one");
}

TEST_F(EditorMain, CopyThenOKInTheQueueEditorStoresTheCopyAsTheLastQueue)
{
    const Tree reference = Update_Reference();
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    rk::LV_Select(main, IDC_MAIN_TARGETS, { 3 });
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::Enabled(main, IDC_MAIN_COPY); }, 5000));
    rk::Press(main, IDC_MAIN_COPY);
    HWND overview = rk::Find_Window(editor.pid(), "Overview");
    ASSERT_NE(nullptr, overview);
    EXPECT_EQ("Copy of Proofer", rk::Text(overview, IDC_OV_NAME));
    /* the name the copy is given is one the editor stores as it is */
    rk::Press(overview, IDC_OV_OK);
    ASSERT_TRUE(rk::Wait_Gone(overview));
    ASSERT_TRUE(e2e::Wait_Enabled(main));
    std::vector<std::string> listed = k_DemoQueues;
    listed.push_back("Copy of Proofer");
    EXPECT_EQ(listed, rk::LV_Texts(main, IDC_MAIN_TARGETS));
    EXPECT_EQ((std::vector<int>{ 7 }), rk::LV_Selected(main, IDC_MAIN_TARGETS)) << "the copy is selected";

    /* the copy shares Proofer's hot directory: OK asks once, and Yes stores */
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, { IDYES }, &seen)) << "OK stores and ends";
    ASSERT_EQ(1u, seen.size());
    EXPECT_NE(std::string::npos, seen[0].text.find("queue \"Copy of Proofer\" has the same hot directory as queue \"Proofer\""));
    /* Proofer's line once more at the end under the copy's name; Proofer and its copy share the
       program; the input queues are numbered after one more output queue */
    std::string proofer;
    for (const std::string &l : e2e::Lines(reference.at("Queues.cfg")))
        if (l.compare(0, 9, "Proofer::") == 0) proofer = l;
    ASSERT_FALSE(proofer.empty());
    Tree expected = reference;
    expected["Queues.cfg"] = reference.at("Queues.cfg") + "Copy of Proofer" + proofer.substr(7) + "\r\n";
    expected["LBPrefs.cfg"] = With_OneMoreOutputQueue(reference.at("LBPrefs.cfg"));
    Tree written = e2e::Tree_Of(home.path());
    EXPECT_EQ(expected["Queues.cfg"], written["Queues.cfg"]);
    EXPECT_TRUE(written == expected) << Differences(written, expected, "the installation", "the expected one");
}

TEST_F(EditorMain, CopyThenCancelInTheQueueEditorStoresNothingOfTheCopy)
{
    const Tree reference = Update_Reference();
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    rk::LV_Select(main, IDC_MAIN_TARGETS, { 0 });
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::Enabled(main, IDC_MAIN_COPY); }, 5000));
    rk::Press(main, IDC_MAIN_COPY);
    HWND overview = rk::Find_Window(editor.pid(), "Overview");
    ASSERT_NE(nullptr, overview);
    EXPECT_EQ("Copy of Plate Setter 1", rk::Text(overview, IDC_OV_NAME));
    rk::Type(overview, IDC_OV_NAME, "Plate Setter 1 at night");
    rk::Key_To_Focus(overview, VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Gone(overview));
    ASSERT_TRUE(e2e::Wait_Enabled(main));
    EXPECT_EQ(k_DemoQueues, rk::LV_Texts(main, IDC_MAIN_TARGETS)) << "the copy is gone again";

    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, {}, &seen)) << "OK stores and ends";
    EXPECT_TRUE(seen.empty()) << seen[0].text;
    Tree written = e2e::Tree_Of(home.path());
    EXPECT_TRUE(written == reference) << Differences(written, reference, "the installation", "what -update writes");
}

} // namespace
