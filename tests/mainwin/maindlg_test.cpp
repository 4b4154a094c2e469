/* The main dialog, driven in-process as the operator would: its commands and what they do to the
   arrays, the messages they show, the buttons as the focus and the selection change, the
   keyboard, the size, OK and Cancel, the end of a session. */
#include "support/testkit.h"
#include "support/modelkit.h"
#include "support/dlgkit.h"
#include "mainwin/maindlg.h"
#include "lists/queuelists.h"
#include "common/appstate.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/tooltip.h"
#include "config/model.h"
#include "config/storefile.h"
#include "shell/app.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <functional>
#include <string.h>

namespace {

/* ---- commands that must open no dialog ---- */

/* Notes every dialog initialised on this thread while it lives. Commands that are refused must
   open none; one that opens anyway is cancelled at once, so that the test fails instead of
   waiting for an operator. (Commands that open an editor drive the real one with dk::Script.) */
class DialogWatch {
public:
    std::vector<std::string> opened;
    DialogWatch() { s_Watch = this; hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Hook, nullptr, GetCurrentThreadId()); }
    ~DialogWatch()
    {
        UnhookWindowsHookEx(hook_);
        s_Watch = nullptr;
    }
private:
    HHOOK hook_;
    static DialogWatch *s_Watch;
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam)
    {
        const CWPSTRUCT *m = (const CWPSTRUCT *)lParam;
        if (code == HC_ACTION && m->message == WM_INITDIALOG && s_Watch != nullptr) {
            s_Watch->opened.push_back(dk::Caption(m->hwnd));
            PostMessageA(m->hwnd, WM_COMMAND, IDCANCEL, 0);
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
};
DialogWatch *DialogWatch::s_Watch;

const char k_QueueEditor[] = "Overview";

/* ---- the fixture ---- */

class MainDialog : public tk::HomeTest {
protected:
    HWND dlg = nullptr;

    void SetUp() override
    {
        tk::HomeTest::SetUp();
        ASSERT_TRUE(Register_Classes(hInstance));
    }
    void TearDown() override
    {
        if (dlg != nullptr && IsWindow(dlg)) DestroyWindow(dlg);
        Drain_Quit();
        tk::HomeTest::TearDown();
    }
    /* The dialog posts WM_QUIT when it goes; left in the queue it would end the next modal loop. */
    static bool Drain_Quit()
    {
        MSG m;
        bool quit = false;
        while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) quit = true;
        return quit;
    }

    /* Output queues named Q1..Qn that run nothing, as loaded from the queues file (after the
       input queues In1..., which have no outputs yet). */
    static void Make_Queues(int n, int inputs = 0)
    {
        for (int i = 0; i < inputs; i++) mk::Add_LBQ("In" + std::to_string(i + 1));
        for (int i = 0; i < n; i++) mk::Runs_Nothing(mk::Add_Target("Q" + std::to_string(i + 1)));
        mk::Number_AsLoaded();
    }
    /* Gives the queue at pos a hot directory of its own under the home, as the editors require
       of a queue they commit. */
    void Give_HotDir(char *hotDir, size_t cap, const char *name)
    {
        std::string dir = home / (std::string("Hot\\") + name);
        tk::Make_Dirs(dir);
        Copy_Text(hotDir, cap, dir.c_str());
    }
    /* The command-line parameter file every installation has (the Processes page says so when
       there is none). */
    void Have_ParamFile() { tk::Write_File(home / "CommandLine.cfg", ""); }
    void Open()
    {
        dlg = CreateDialogParamA(hInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainMenu_Dlg, 0);
        ASSERT_NE(nullptr, dlg);
        mainWindow = dlg;
    }
    HWND Targets() const { return GetDlgItem(dlg, IDC_MAIN_TARGETS); }
    HWND Inputs() const { return GetDlgItem(dlg, IDC_MAIN_LBQS); }
    void Command(int id) { SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dlg, id)); }

    /* A click on an item as the mouse gives it (with Ctrl: added to the selection). */
    static void Click_Item(HWND list, int item, bool ctrl = false)
    {
        SendMessageA(list, LVM_ENSUREVISIBLE, item, FALSE);
        RECT rc = { LVIR_BOUNDS, 0, 0, 0 };
        SendMessageA(list, LVM_GETITEMRECT, item, (LPARAM)&rc);
        LPARAM at = MAKELPARAM(rc.left + 50, (rc.top + rc.bottom) / 2);
        /* the list waits for the button to come up before it selects */
        PostMessageA(list, WM_LBUTTONUP, ctrl ? MK_CONTROL : 0, at);
        SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON | (ctrl ? MK_CONTROL : 0), at);
        tk::Pump(10);
    }
    /* Focus on the list, then exactly these items selected. */
    static void Pick(HWND list, std::vector<int> items)
    {
        SetFocus(list);
        Select_Items(list, items.data(), (int)items.size());
        if (items.empty()) {
            LVITEMA it = {};
            it.stateMask = LVIS_SELECTED;
            SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&it);
        }
    }
    static std::vector<int> Selected(HWND list)
    {
        std::vector<int> out;
        for (int i = Next_Selected(list, 0); i >= 0; i = Next_Selected(list, i + 1)) out.push_back(i);
        return out;
    }
    static std::vector<std::string> Shown(HWND list)
    {
        std::vector<std::string> out;
        int n = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        for (int i = 0; i < n; i++) {
            char buf[300] = "";
            LVITEMA it = {};
            it.pszText = buf;
            it.cchTextMax = sizeof buf;
            SendMessageA(list, LVM_GETITEMTEXTA, i, (LPARAM)&it);
            out.push_back(buf);
        }
        return out;
    }
    static std::vector<std::string> Names()
    {
        std::vector<std::string> out;
        for (int i = 0; i < targetCount; i++) out.push_back(targets[i].name);
        return out;
    }
    static std::vector<std::string> Input_Names()
    {
        std::vector<std::string> out;
        for (int i = 0; i < lbqCount; i++) out.push_back(lbqs[i].name);
        return out;
    }
    /* Which of the seven queue buttons are enabled, as a string of their initials in the order
       Add Edit Copy Delete Up Down | Add Edit Delete (input queues); "-" for a disabled one. */
    std::string Buttons() const
    {
        static const struct { int id; char c; } k[] = {
            { IDC_MAIN_ADD, 'A' }, { IDC_MAIN_EDIT, 'E' }, { IDC_MAIN_COPY, 'C' }, { IDC_MAIN_DELETE, 'D' },
            { IDC_MAIN_UP, 'U' }, { IDC_MAIN_DOWN, 'W' }, { 0, '|' }, { IDC_MAIN_LBQ_ADD, 'a' },
            { IDC_MAIN_LBQ_EDIT, 'e' }, { IDC_MAIN_LBQ_DELETE, 'd' },
        };
        std::string s;
        for (const auto &b : k) s += b.id == 0 ? b.c : (dk::Enabled(dlg, b.id) ? b.c : '-');
        return s;
    }
    std::vector<std::string> Texts() const
    {
        std::vector<std::string> out;
        for (const tk::Box &b : msgs.boxes) out.push_back(b.text);
        return out;
    }
};

/* ---- the dialog as it opens ---- */

TEST_F(MainDialog, OpensWithBothListsFilledAndNothingSelected)
{
    Make_Queues(3, 2);
    Open();
    EXPECT_EQ("Queue Configuration", dk::Caption(dlg));
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q2", "Q3" }), Shown(Targets()));
    EXPECT_EQ((std::vector<std::string>{ "In1", "In2" }), Shown(Inputs()));
    EXPECT_TRUE(Selected(Targets()).empty());
    EXPECT_TRUE(Selected(Inputs()).empty());
    EXPECT_EQ("A-C---|a--", Buttons());
    EXPECT_EQ(Targets(), GetFocus()) << "the operator starts in the output queues";
    /* the labels and buttons the operator reads */
    const std::pair<int, const char *> labels[] = {
        { IDC_MAIN_LBQ_ADD, "A&dd" },      { IDC_MAIN_LBQ_EDIT, "Ed&it" }, { IDC_MAIN_LBQ_DELETE, "Dele&te" },
        { IDC_MAIN_ADD, "&Add" },          { IDC_MAIN_EDIT, "&Edit" },     { IDC_MAIN_COPY, "&Copy" },
        { IDC_MAIN_DELETE, "De&lete" },    { IDC_MAIN_UP, "&Up" },         { IDC_MAIN_DOWN, "Do&wn" },
        { IDC_MAIN_PREFS, "&Preferences..." }, { IDC_MAIN_ADMIN, "Ad&ministration..." },
        { IDC_MAIN_OK, "OK" },             { IDCANCEL, "Cancel" },
    };
    for (const auto &l : labels) EXPECT_EQ(l.second, dk::Text(dlg, l.first)) << l.first;
    EXPECT_EQ(IDC_MAIN_OK, LOWORD(SendMessageA(dlg, DM_GETDEFID, 0, 0))) << "OK is the default button";
    EXPECT_TRUE(msgs.boxes.empty()) << (msgs.boxes.empty() ? "" : msgs.boxes[0].text);
}

/* ---- deleting ---- */

TEST_F(MainDialog, DeletingSeveralQueuesRenumbersEveryReference)
{
    Make_Queues(5, 1);
    targets[0].afterAction = 4;          /* Q1 passes jobs to Q5 */
    targets[2].afterAction = 1;          /* Q3 passes jobs to Q2, which goes */
    targets[4].timeoutAction = 3;        /* Q5 times out to Q4, which goes */
    targets[4].afterAction = 2;          /* Q5 passes jobs to Q3, which stays */
    lbqs[0].outputs[1] = lbqs[0].outputs[2] = lbqs[0].outputs[4] = 1;
    Open();
    Pick(Targets(), { 1, 3 });
    EXPECT_EQ("A-CDUW|a--", Buttons());
    tk::MsgRecorder asked({ IDYES });
    Command(IDC_MAIN_DELETE);

    /* the queues that stay and refer to those going are named first */
    ASSERT_EQ(1u, asked.count());
    EXPECT_EQ("The 2 queues are used by other queues:\r\n\r\n    Q3 passes jobs to it after processing\r\n"
              "    Q5 passes waiting jobs to it at the time-out\r\n    input queue In1 input queue that balances jobs to "
              "it\r\n\r\nThose queues will leave their jobs where they are, never time out, or no longer balance jobs "
              "to them.\r\n\r\nDelete them?",
              asked.last().text);
    EXPECT_EQ((UINT)MB_YESNO, tk::Buttons_Of(asked.last().flags));
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q3", "Q5" }), Names());
    EXPECT_EQ(Names(), Shown(Targets()));
    EXPECT_EQ(2, targets[0].afterAction) << "Q1 still passes jobs to Q5, now third";
    EXPECT_EQ(AFTER_LEAVE, targets[1].afterAction) << "Q3 passed jobs to a deleted queue";
    EXPECT_EQ(1, targets[2].afterAction) << "Q5 still passes jobs to Q3";
    EXPECT_EQ(TIMEOUT_NEVER, targets[2].timeoutAction);
    EXPECT_EQ(0, lbqs[0].outputs[0]);
    EXPECT_EQ(1, lbqs[0].outputs[1]) << "Q3 stays an output";
    EXPECT_EQ(1, lbqs[0].outputs[2]) << "Q5 stays an output";
    EXPECT_EQ(0, lbqs[0].outputs[3] + lbqs[0].outputs[4]);
    EXPECT_TRUE(deletedQueues[2] && deletedQueues[4]) << "queues-file numbers 2 and 4 (after the input queue)";
    EXPECT_EQ(3, deletedQueues[0] + deletedQueues[1] + deletedQueues[2] + deletedQueues[3] + deletedQueues[4] +
                     deletedQueues[5] + 1);
    EXPECT_TRUE(Selected(Targets()).empty());
    EXPECT_EQ("A-C---|a--", Buttons());
    /* the list still stands for the array: each item's data is its queue's position */
    for (int i = 0; i < 3; i++) EXPECT_EQ(i, Get_LV__Item_Param(Targets(), i));
}

TEST_F(MainDialog, DeletingInputQueuesLeavesTheOutputQueues)
{
    Make_Queues(2, 4);
    Open();
    Pick(Inputs(), { 0, 2, 3 });
    EXPECT_EQ("A-C---|a-d", Buttons());
    Command(IDC_MAIN_LBQ_DELETE);
    EXPECT_EQ((std::vector<std::string>{ "In2" }), Input_Names());
    EXPECT_EQ(Input_Names(), Shown(Inputs()));
    EXPECT_EQ(2, targetCount);
    EXPECT_TRUE(deletedQueues[0] && deletedQueues[2] && deletedQueues[3] && !deletedQueues[1]);
    EXPECT_EQ("A-C---|a--", Buttons());
}

TEST_F(MainDialog, NoToTheQuestionAboutReferencesDeletesNothing)
{
    Make_Queues(3);
    targets[2].afterAction = 0;          /* Q3 passes jobs to Q1 */
    Open();
    Pick(Targets(), { 0 });
    tk::MsgRecorder asked({ IDNO });
    Command(IDC_MAIN_DELETE);
    ASSERT_EQ(1u, asked.count());
    EXPECT_NE(std::string::npos, asked.last().text.find("\"Q1\" is used by other queues:\r\n\r\n    Q3 passes jobs")) << asked.last().text;
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q2", "Q3" }), Names());
    EXPECT_EQ(0, targets[2].afterAction);
    EXPECT_FALSE(dk::Enabled(dlg, IDC_MAIN_UNDO)) << "nothing to undo";
    /* a queue nobody refers to goes without a question */
    Pick(Targets(), { 1 });
    Command(IDC_MAIN_DELETE);
    EXPECT_EQ(1u, asked.count());
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q3" }), Names());
}

struct RefusalCase { const char *title; int command; const char *text; };

TEST_F(MainDialog, CommandsWithNothingSelectedSayWhatIsMissingAndChangeNothing)
{
    const RefusalCase cases[] = {
        { "edit", IDC_MAIN_EDIT, "You must first select a queue to edit." },
        { "copy", IDC_MAIN_COPY, "You must first select a queue to Copy." },
        { "delete", IDC_MAIN_DELETE, "You must first select a queue to edit." },
        { "edit input queue", IDC_MAIN_LBQ_EDIT, "You must first select a load balanced input queue to edit." },
        { "delete input queue", IDC_MAIN_LBQ_DELETE, "You must first select a load balanced input queue to delete" },
    };
    Make_Queues(3, 1);
    Open();
    DialogWatch editors;
    for (const RefusalCase &c : cases) {
        SCOPED_TRACE(c.title);
        size_t before = msgs.count();
        Command(c.command);
        ASSERT_EQ(before + 1, msgs.count());
        EXPECT_EQ(c.text, msgs.last().text);
        EXPECT_EQ("Editor", msgs.last().caption);
        EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(msgs.last().flags));
    }
    EXPECT_TRUE(editors.opened.empty());
    EXPECT_EQ(3, targetCount);
    EXPECT_EQ(1, lbqCount);
}

/* ---- moving ---- */

TEST_F(MainDialog, UpAndDownMoveRunsAndKeepThemSelected)
{
    Make_Queues(6, 1);
    targets[0].afterAction = 2;              /* Q1 passes jobs to Q3 */
    lbqs[0].outputs[2] = 1;                  /* In1 feeds Q3 */
    Open();
    Pick(Targets(), { 2, 3 });
    Command(IDC_MAIN_UP);
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q3", "Q4", "Q2", "Q5", "Q6" }), Names());
    EXPECT_EQ(Names(), Shown(Targets()));
    EXPECT_EQ((std::vector<int>{ 1, 2 }), Selected(Targets()));
    EXPECT_EQ(1, targets[0].afterAction) << "Q1 still passes jobs to Q3";
    EXPECT_EQ(1, lbqs[0].outputs[1]);
    EXPECT_EQ(0, lbqs[0].outputs[2]);
    for (int i = 0; i < 6; i++) EXPECT_EQ(i, Get_LV__Item_Param(Targets(), i));

    Command(IDC_MAIN_UP);
    EXPECT_EQ((std::vector<std::string>{ "Q3", "Q4", "Q1", "Q2", "Q5", "Q6" }), Names());
    EXPECT_EQ((std::vector<int>{ 0, 1 }), Selected(Targets()));
    EXPECT_EQ("A-CD-W|a--", Buttons()) << "at the top: Up is off";
    Command(IDC_MAIN_UP);                    /* sent anyway: nothing happens */
    EXPECT_EQ((std::vector<std::string>{ "Q3", "Q4", "Q1", "Q2", "Q5", "Q6" }), Names());

    Pick(Targets(), { 0, 4 });              /* Q3 and Q5: the runs move from the bottom */
    Command(IDC_MAIN_DOWN);
    EXPECT_EQ((std::vector<std::string>{ "Q4", "Q3", "Q1", "Q2", "Q6", "Q5" }), Names());
    EXPECT_EQ((std::vector<int>{ 1, 5 }), Selected(Targets()));
    EXPECT_EQ("A-CDU-|a--", Buttons()) << "at the bottom: Down is off";
    EXPECT_TRUE(msgs.boxes.empty()) << (msgs.boxes.empty() ? "" : msgs.boxes[0].text);
}

TEST_F(MainDialog, MovedQueuesStayInViewAmong200)
{
    Make_Queues(200);
    Open();
    HWND list = Targets();
    Pick(list, { 150 });
    int perPage = (int)SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0);
    for (int k = 0; k < perPage + 3; k++) Command(IDC_MAIN_UP);
    int at = 150 - (perPage + 3);
    EXPECT_EQ("Q151", std::string(targets[at].name));
    EXPECT_EQ((std::vector<int>{ at }), Selected(list));
    int top = (int)SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
    EXPECT_TRUE(top <= at && at < top + perPage) << "top " << top << ", moved queue at " << at;
    for (int k = 0; k < 2 * perPage; k++) Command(IDC_MAIN_DOWN);
    at += 2 * perPage;
    EXPECT_EQ((std::vector<int>{ at }), Selected(list));
    top = (int)SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
    EXPECT_TRUE(top <= at && at < top + perPage) << "top " << top << ", moved queue at " << at;
}

/* ---- adding, editing, copying: the real queue editor ---- */

/* Steps of a script that name a new queue in the queue editor, make it run no processes on its
   Processes page and commit it with OK. */
static void Commit_NewQueue(dk::Script &s, const std::string &name)
{
    s.On(k_QueueEditor, [name](HWND d) {
        EXPECT_EQ(NEW_TARGET_NAME, dk::Text(d, IDC_OV_NAME)) << "the editor opens on a new queue";
        dk::Type(d, IDC_OV_NAME, name);
        dk::Click(d, IDC_OV_PROCS);                 /* the Processes page: the next step */
        EXPECT_EQ("No processes queue.", dk::Text(d, IDC_OV_PROCS_TEXT));
        dk::Click(d, IDC_OV_OK);
    });
    s.On("Processes", [](HWND p) {
        dk::Click(p, IDC_PR_NO_PROCESSES);
        dk::Click(p, IDOK);
    });
}

TEST_F(MainDialog, CopyThenCancelInTheEditorLeavesTheConfigurationAsItWas)
{
    Make_Queues(3, 1);
    targets[1].afterAction = 2;
    lbqs[0].outputs[1] = 1;
    Target before[3];
    memcpy(before, targets, sizeof before);
    Open();
    Pick(Targets(), { 1 });
    dk::Script s;
    s.On(k_QueueEditor, [&](HWND d) {
        EXPECT_EQ(4, targetCount) << "the copy is made before the editor opens";
        EXPECT_EQ("Copy of Q2", std::string(targets[3].name)) << "at the end";
        EXPECT_EQ("Copy of Q2", dk::Text(d, IDC_OV_NAME)) << "the editor opens on the copy";
        dk::Type(d, IDC_OV_NAME, "Q2 at night");
        dk::Click(d, IDCANCEL);
    });
    s.Run([&] { Command(IDC_MAIN_COPY); return (INT_PTR)0; });
    /* the editor was cancelled: the copy is gone again */
    EXPECT_EQ(3, targetCount);
    EXPECT_EQ(0, memcmp(before, targets, sizeof before));
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q2", "Q3" }), Shown(Targets()));
    EXPECT_FALSE(deletedQueues[4]);
    EXPECT_TRUE(msgs.boxes.empty()) << (msgs.boxes.empty() ? "" : msgs.boxes[0].text);
}

TEST_F(MainDialog, CopyThenOKInTheEditorKeepsTheEditedCopyAtTheEnd)
{
    Make_Queues(3, 1);
    targets[1].afterAction = 2;
    targets[1].copies = 3;
    Give_HotDir(targets[1].hotDir, sizeof targets[1].hotDir, "Q2");
    lbqs[0].outputs[1] = 1;
    Target before[3];
    memcpy(before, targets, sizeof before);
    Open();
    Pick(Targets(), { 1 });
    dk::Script s;
    s.On(k_QueueEditor, [&](HWND d) {
        EXPECT_EQ("Copy of Q2", dk::Text(d, IDC_OV_NAME));
        dk::Type(d, IDC_OV_NAME, "Q2 at night");
        dk::Click(d, IDC_OV_OK);
    });
    s.Run([&] { Command(IDC_MAIN_COPY); return (INT_PTR)0; });
    ASSERT_EQ(4, targetCount);
    EXPECT_EQ(0, memcmp(before, targets, sizeof before)) << "the queues copied from are untouched";
    Target expected = before[1];
    Copy_Field(expected.name, "Q2 at night");
    expected.loadIndex = -1;
    expected.slotIndex = 3;
    EXPECT_EQ(0, memcmp(&expected, &targets[3], sizeof expected)) << "the copy is Q2's record under the name typed";
    EXPECT_EQ(0, lbqs[0].outputs[3]) << "a copy is no input queue's output";
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q2", "Q3", "Q2 at night" }), Shown(Targets()));
    EXPECT_EQ((std::vector<int>{ 3 }), Selected(Targets())) << "the copy is selected";
    EXPECT_EQ(3, Get_LV__Item_Param(Targets(), 3));
    EXPECT_TRUE(msgs.boxes.empty()) << (msgs.boxes.empty() ? "" : msgs.boxes[0].text);
}

TEST_F(MainDialog, EditOpensTheEditorOnTheSelectedQueueAndKeepsTheViewAndSelection)
{
    Make_Queues(200);
    Give_HotDir(targets[120].hotDir, sizeof targets[120].hotDir, "Q121");
    Open();
    HWND list = Targets();
    Pick(list, { 120 });
    int top = (int)SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
    dk::Script s;
    s.On(k_QueueEditor, [](HWND d) {
        EXPECT_EQ("Q121", dk::Text(d, IDC_OV_NAME));
        dk::Type(d, IDC_OV_NAME, "Renamed");
        dk::Click(d, IDC_OV_OK);
    });
    s.Run([&] { Command(IDC_MAIN_EDIT); return (INT_PTR)0; });
    EXPECT_EQ("Renamed", std::string(targets[120].name));
    EXPECT_EQ("Renamed", Shown(list)[120]) << "the entry is refreshed";
    EXPECT_EQ((std::vector<int>{ 120 }), Selected(list));
    EXPECT_EQ(top, (int)SendMessageA(list, LVM_GETTOPINDEX, 0, 0));

    /* a double click on a queue edits it too */
    Click_Item(list, 118);
    NMITEMACTIVATE ia = {};
    ia.hdr.hwndFrom = list;
    ia.hdr.idFrom = IDC_MAIN_TARGETS;
    ia.hdr.code = NM_DBLCLK;
    ia.iItem = 118;
    dk::Script twice;
    twice.On(k_QueueEditor, [](HWND d) {
        EXPECT_EQ("Q119", dk::Text(d, IDC_OV_NAME));
        dk::Click(d, IDCANCEL);
    });
    twice.Run([&] { return SendMessageA(dlg, WM_NOTIFY, IDC_MAIN_TARGETS, (LPARAM)&ia); });
    EXPECT_EQ("Q119", Shown(list)[118]);
}

TEST_F(MainDialog, AddOpensTheEditorOnANewQueueAndShowsWhatItAdded)
{
    Make_Queues(2);
    Have_ParamFile();
    Open();
    dk::Script s;
    Commit_NewQueue(s, "New");
    s.Run([&] { Command(IDC_MAIN_ADD); return (INT_PTR)0; });
    ASSERT_EQ(3, targetCount);
    EXPECT_EQ("New", std::string(targets[2].name));
    EXPECT_TRUE(targets[2].noProcesses);
    EXPECT_EQ(-1, targets[2].loadIndex) << "a queue the queues file does not hold yet";
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q2", "New" }), Shown(Targets()));
    EXPECT_EQ((std::vector<int>{ 2 }), Selected(Targets())) << "the new queue is selected";
    EXPECT_TRUE(msgs.boxes.empty()) << (msgs.boxes.empty() ? "" : msgs.boxes[0].text);
}

TEST_F(MainDialog, TheLimitOf200QueuesTurnsAddAndCopyOff)
{
    Make_Queues(198, 1);
    Have_ParamFile();
    Open();
    EXPECT_EQ("A-C---|a--", Buttons());
    dk::Script s;
    Commit_NewQueue(s, "Q199");
    s.Run([&] { Command(IDC_MAIN_ADD); return (INT_PTR)0; });
    EXPECT_TRUE(s.Done()) << "with 199 queues in all, Add opens the editor";
    ASSERT_EQ(199, targetCount);
    EXPECT_EQ("Q199", std::string(targets[198].name));
    EXPECT_EQ("Q199", Shown(Targets())[198]);
    EXPECT_EQ("-E-DU-|---", Buttons()) << "200 queues: Add and Copy are off; the new queue is selected";
    EXPECT_TRUE(msgs.boxes.empty()) << (msgs.boxes.empty() ? "" : msgs.boxes[0].text);
}

TEST_F(MainDialog, At200QueuesAddingIsRefusedWithABeep)
{
    Make_Queues(199, 1);
    Open();
    EXPECT_EQ("------|---", Buttons());
    DialogWatch editors;
    Pick(Targets(), { 5 });
    for (int command : { IDC_MAIN_ADD, IDC_MAIN_COPY, IDC_MAIN_LBQ_ADD }) {
        SCOPED_TRACE(command);
        size_t boxes = msgs.count(), beeps = msgs.beeps.size();
        Command(command);                    /* sent though the button is off */
        ASSERT_EQ(boxes + 1, msgs.count());
        EXPECT_EQ("The maximum number of queues (200) has been reached", msgs.last().text);
        EXPECT_EQ((UINT)MB_ICONERROR, tk::Icon_Of(msgs.last().flags));
        EXPECT_EQ(beeps + 1, msgs.beeps.size());
    }
    EXPECT_TRUE(editors.opened.empty());
    EXPECT_EQ(199, targetCount);
    EXPECT_EQ(1, lbqCount);
}

TEST_F(MainDialog, AnInputQueueNeedsTwoOutputQueues)
{
    Make_Queues(1);
    Open();
    {
        DialogWatch editors;
        Command(IDC_MAIN_LBQ_ADD);
        EXPECT_TRUE(editors.opened.empty());
    }
    ASSERT_EQ(1u, msgs.count());
    EXPECT_EQ("There are an insufficient number of queues.  You must first create at least two queues before you can "
              "add a load balanced Input Queue.",
              msgs.last().text);
    EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(msgs.last().flags));

    DestroyWindow(dlg);
    Drain_Quit();
    Make_Queues(2);
    Open();
    dk::Script s;
    s.On(programTitle, [](HWND d) {
        EXPECT_EQ(NEW_LBQ_NAME, dk::Text(d, IDC_LB_NAME)) << "with two output queues the input queue editor opens";
        dk::Click(d, IDCANCEL);
    });
    s.Run([&] { Command(IDC_MAIN_LBQ_ADD); return (INT_PTR)0; });
    EXPECT_EQ(0, lbqCount);
    EXPECT_EQ(1u, msgs.count());
}

TEST_F(MainDialog, EditingAnInputQueueRefillsItsListAndKeepsItSelected)
{
    Make_Queues(2, 3);
    lbqs[1].outputs[0] = lbqs[1].outputs[1] = 1;    /* balancing between both output queues */
    Give_HotDir(lbqs[1].hotDir, sizeof lbqs[1].hotDir, "In2");
    Open();
    Pick(Inputs(), { 1 });
    dk::Script s;
    s.On(programTitle, [](HWND d) {
        EXPECT_EQ("In2", dk::Text(d, IDC_LB_NAME));
        dk::Type(d, IDC_LB_NAME, "Plates In");
        dk::Click(d, IDC_LB_OK);
    });
    s.Run([&] { Command(IDC_MAIN_LBQ_EDIT); return (INT_PTR)0; });
    EXPECT_EQ("Plates In", std::string(lbqs[1].name));
    EXPECT_EQ((std::vector<std::string>{ "In1", "Plates In", "In3" }), Shown(Inputs()));
    EXPECT_EQ((std::vector<int>{ 1 }), Selected(Inputs()));
    EXPECT_TRUE(msgs.boxes.empty()) << (msgs.boxes.empty() ? "" : msgs.boxes[0].text);
}

TEST_F(MainDialog, PreferencesAndAdministrationOpenTheirDialogs)
{
    Make_Queues(1);
    Open();
    for (const auto &c : { std::make_pair(IDC_MAIN_PREFS, "General Preferences"), std::make_pair(IDC_MAIN_ADMIN, "Administration") }) {
        SCOPED_TRACE(c.second);
        dk::Script s;
        s.On(c.second, [&](HWND d) {
            EXPECT_EQ(dlg, GetWindow(d, GW_OWNER)) << "modal over the main dialog";
            EXPECT_FALSE(IsWindowEnabled(dlg));
            dk::Click(d, IDCANCEL);
        });
        s.Run([&] { Command(c.first); return (INT_PTR)0; });
        EXPECT_TRUE(s.Done());
        EXPECT_TRUE(IsWindow(dlg));
        EXPECT_TRUE(IsWindowEnabled(dlg));
    }
}

/* ---- selection and buttons ---- */

struct ButtonStep { const char *title; std::function<void(MainDialog *)> act; const char *buttons; };

TEST_F(MainDialog, ButtonsFollowTheFocusAndTheSelection)
{
    Make_Queues(4, 2);
    Open();
    HWND out = Targets(), in = Inputs();
    const ButtonStep steps[] = {
        { "opened", [](MainDialog *) {}, "A-C---|a--" },
        { "click an output queue", [&](MainDialog *) { Click_Item(out, 1); }, "AECDUW|a--" },
        { "ctrl+click a second", [&](MainDialog *) { Click_Item(out, 2, true); }, "A-CDUW|a--" },
        { "ctrl+click the first queue too", [&](MainDialog *) { Click_Item(out, 0, true); }, "A-CD-W|a--" },
        { "focus moves to a button", [&](MainDialog *) { SetFocus(GetDlgItem(dlg, IDC_MAIN_COPY)); }, "A-CD-W|a--" },
        { "click an input queue", [&](MainDialog *) { Click_Item(in, 1); }, "A-C---|aed" },
        { "ctrl+click the other input queue", [&](MainDialog *) { Click_Item(in, 0, true); }, "A-C---|a-d" },
        { "back in the output queues", [&](MainDialog *) { Click_Item(out, 3); }, "AECDU-|a--" },
        { "focus the input list by keyboard", [&](MainDialog *) { SetFocus(in); }, "A-C---|a--" },
    };
    for (const ButtonStep &s : steps) {
        SCOPED_TRACE(s.title);
        s.act(this);
        EXPECT_EQ(s.buttons, Buttons());
        EXPECT_TRUE(Selected(out).empty() || Selected(in).empty()) << "at most one list has a selection";
    }
    EXPECT_TRUE(Selected(out).empty()) << "turning to the input queues clears the output queue selection";
}

/* ---- keyboard ---- */

TEST_F(MainDialog, TabVisitsTheListsAndButtonsInOrderAndEveryMnemonicIsUnique)
{
    Make_Queues(2, 1);
    Open();
    const int order[] = { IDC_MAIN_FIND, IDC_MAIN_LBQS, IDC_MAIN_LBQ_ADD, IDC_MAIN_TARGETS, IDC_MAIN_ADD,
                          IDC_MAIN_COPY, IDC_MAIN_USEDBY, IDC_MAIN_CHECK, IDC_MAIN_RESTORE, IDC_MAIN_REPORT,
                          IDC_MAIN_IMPORT, IDC_MAIN_PREFS, IDC_MAIN_ADMIN, IDC_MAIN_OK, IDCANCEL };   /* the enabled ones */
    HWND at = GetDlgItem(dlg, IDCANCEL);
    for (int id : order) {
        at = GetNextDlgTabItem(dlg, at, FALSE);
        EXPECT_EQ(id, GetDlgCtrlID(at)) << "after " << dk::Caption(at);
    }
    /* the buttons the features enable take their places: the output queues' own after Copy,
       the commands on the whole configuration before Preferences */
    for (int id : { IDC_MAIN_USEDBY, IDC_MAIN_UNDO, IDC_MAIN_REDO, IDC_MAIN_CHECK, IDC_MAIN_CHANGES, IDC_MAIN_RESTORE,
                    IDC_MAIN_REPORT, IDC_MAIN_EXPORT, IDC_MAIN_IMPORT })
        EnableWindow(GetDlgItem(dlg, id), TRUE);
    const int full[] = { IDC_MAIN_FIND, IDC_MAIN_LBQS, IDC_MAIN_LBQ_ADD, IDC_MAIN_TARGETS, IDC_MAIN_ADD,
                         IDC_MAIN_COPY, IDC_MAIN_USEDBY, IDC_MAIN_UNDO, IDC_MAIN_REDO, IDC_MAIN_CHECK,
                         IDC_MAIN_CHANGES, IDC_MAIN_RESTORE, IDC_MAIN_REPORT, IDC_MAIN_EXPORT, IDC_MAIN_IMPORT,
                         IDC_MAIN_PREFS, IDC_MAIN_ADMIN, IDC_MAIN_OK, IDCANCEL };
    at = GetDlgItem(dlg, IDCANCEL);
    for (int id : full) {
        at = GetNextDlgTabItem(dlg, at, FALSE);
        EXPECT_EQ(id, GetDlgCtrlID(at)) << "after " << dk::Caption(at);
    }
    std::string letters;
    for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        std::string t = dk::Caption(c);
        size_t amp = t.find('&');
        if (amp == std::string::npos || amp + 1 >= t.size()) continue;
        char m = (char)tolower((unsigned char)t[amp + 1]);
        EXPECT_EQ(std::string::npos, letters.find(m)) << "mnemonic " << m << " of \"" << t << "\" is used twice";
        letters += m;
    }
    EXPECT_EQ(20u, letters.size()) << "the find field, two lists and seventeen buttons: " << letters;
}

/* Sends a key as the message loop would pass it on (the dialog handling first). */
static void Press_Key(HWND dlg, UINT vk)
{
    MSG m = {};
    m.hwnd = GetFocus();
    m.message = WM_KEYDOWN;
    m.wParam = vk;
    m.lParam = 1;
    if (!IsDialogMessageA(dlg, &m)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    m.message = WM_KEYUP;
    m.lParam = 0xC0000001;
    if (!IsDialogMessageA(dlg, &m)) DispatchMessageA(&m);
    tk::Pump(10);
}

static void Press_Mnemonic(HWND dlg, char letter)
{
    MSG m = {};
    m.hwnd = GetFocus();
    m.message = WM_SYSCHAR;
    m.wParam = (WPARAM)letter;
    m.lParam = 1 | (1 << 29);
    if (!IsDialogMessageA(dlg, &m)) DispatchMessageA(&m);
    tk::Pump(10);
}

TEST_F(MainDialog, EnterEditsTheSelectedQueueAndDeleteDeletes)
{
    Make_Queues(4, 2);
    /* what stays can be saved: In1 balances between Q2 and Q3, their hot directories exist */
    lbqs[0].outputs[1] = lbqs[0].outputs[2] = 1;
    Give_HotDir(targets[1].hotDir, sizeof targets[1].hotDir, "Q2");
    Give_HotDir(targets[2].hotDir, sizeof targets[2].hotDir, "Q3");
    Give_HotDir(lbqs[0].hotDir, sizeof lbqs[0].hotDir, "In1");
    Open();
    Click_Item(Targets(), 2);
    dk::Script edit;
    edit.On(k_QueueEditor, [](HWND d) {
        EXPECT_EQ("Q3", dk::Text(d, IDC_OV_NAME)) << "Enter on a selected queue edits it";
        dk::Click(d, IDCANCEL);
    });
    edit.Run([&] { Press_Key(dlg, VK_RETURN); return (INT_PTR)0; });
    EXPECT_TRUE(IsWindow(dlg));

    Click_Item(Inputs(), 1);
    dk::Script editInput;
    editInput.On(programTitle, [](HWND d) {
        EXPECT_EQ("In2", dk::Text(d, IDC_LB_NAME));
        dk::Click(d, IDCANCEL);
    });
    editInput.Run([&] { Press_Key(dlg, VK_RETURN); return (INT_PTR)0; });
    EXPECT_TRUE(IsWindow(dlg));
    Press_Key(dlg, VK_DELETE);
    EXPECT_EQ((std::vector<std::string>{ "In1" }), Input_Names());

    Click_Item(Targets(), 0);
    Click_Item(Targets(), 3, true);
    Press_Key(dlg, VK_DELETE);
    EXPECT_EQ((std::vector<std::string>{ "Q2", "Q3" }), Names());
    EXPECT_TRUE(msgs.boxes.empty()) << (msgs.boxes.empty() ? "" : msgs.boxes[0].text);

    /* with nothing selected Enter is the dialog's: OK, which saves and closes */
    SetFocus(Targets());
    ASSERT_TRUE(Selected(Targets()).empty());
    Press_Key(dlg, VK_RETURN);
    EXPECT_FALSE(IsWindow(dlg));
    EXPECT_TRUE(tk::Exists(home / "Queues.cfg"));
}

TEST_F(MainDialog, MnemonicsReachTheListsAndPressTheButtons)
{
    Make_Queues(3, 1);
    Open();
    Press_Mnemonic(dlg, 'f');
    EXPECT_EQ(GetDlgItem(dlg, IDC_MAIN_FIND), GetFocus()) << "Alt+F: the find field";
    Press_Mnemonic(dlg, 'n');
    EXPECT_EQ(Inputs(), GetFocus()) << "Alt+N: the input queue list";
    Press_Mnemonic(dlg, 'o');
    EXPECT_EQ(Targets(), GetFocus()) << "Alt+O: the output queue list";
    Select_Items(Targets(), std::vector<int>{ 1 }.data(), 1);
    Press_Mnemonic(dlg, 'w');
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q3", "Q2" }), Names()) << "Alt+W: Down";
    Press_Mnemonic(dlg, 'l');
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q3" }), Names()) << "Alt+L: Delete";
    Press_Key(dlg, VK_ESCAPE);
    EXPECT_FALSE(IsWindow(dlg)) << "Esc: Cancel";
    EXPECT_TRUE(tk::List_Dir(home.path()) == std::vector<std::string>{ "System" }) << "Cancel stored nothing";
}

/* ---- OK, Cancel, the end of a session ---- */

TEST_F(MainDialog, AFailedCheckKeepsTheDialogOpenWithEveryEdit)
{
    Make_Queues(4);
    Copy_Field(targets[3].name, "q1");            /* the same name as Q1, but for the case */
    Open();
    Pick(Targets(), { 1 });
    Command(IDC_MAIN_DELETE);
    Command(IDC_MAIN_OK);
    EXPECT_TRUE(IsWindow(dlg)) << "the dialog stays open";
    EXPECT_FALSE(Drain_Quit());
    ASSERT_EQ(1u, msgs.count());
    EXPECT_NE(std::string::npos, msgs.last().text.find("queue 1 and queue 3"));
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q3", "q1" }), Names()) << "every edit is kept";
    EXPECT_EQ(Names(), Shown(Targets()));
    EXPECT_EQ((std::vector<std::string>{ "System" }), tk::List_Dir(home.path())) << "nothing was written";

    /* corrected, OK again: stored and closed */
    Copy_Field(targets[2].name, "Q4");
    Command(IDC_MAIN_OK);
    EXPECT_FALSE(IsWindow(dlg));
    EXPECT_TRUE(Drain_Quit()) << "the program's message loop ends";
    EXPECT_TRUE(tk::Exists(home / "Queues.cfg"));
}

TEST_F(MainDialog, AFileThatCannotBeWrittenKeepsTheDialogOpenWithEveryEdit)
{
    Make_Queues(3);
    CreateDirectoryA((home / "Queues.cfg").c_str(), nullptr);     /* a folder where the file must go */
    Open();
    Pick(Targets(), { 1 });
    Command(IDC_MAIN_DELETE);
    Command(IDC_MAIN_OK);
    EXPECT_TRUE(IsWindow(dlg)) << "the dialog stays open";
    EXPECT_FALSE(Drain_Quit());
    bool told = false;
    for (const tk::Box &b : msgs.boxes) told = told || b.text.find("Queues.cfg") != std::string::npos;
    EXPECT_TRUE(told) << "the operator is told which file";
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q3" }), Names()) << "every edit is kept";
    EXPECT_EQ(Names(), Shown(Targets()));

    RemoveDirectoryA((home / "Queues.cfg").c_str());
    Command(IDC_MAIN_OK);
    EXPECT_FALSE(IsWindow(dlg));
    std::string stored = tk::Read_File(home / "Queues.cfg");
    EXPECT_EQ(0u, stored.find("Q1::")) << stored;
    EXPECT_NE(std::string::npos, stored.find("\r\nQ3::"));
    EXPECT_EQ(std::string::npos, stored.find("Q2::"));
}

TEST_F(MainDialog, CancelAndClosingStoreNothing)
{
    for (UINT how : { (UINT)IDCANCEL, (UINT)WM_CLOSE }) {
        SCOPED_TRACE(how);
        Make_Queues(3);
        Open();
        Pick(Targets(), { 0 });
        Command(IDC_MAIN_DELETE);
        if (how == IDCANCEL) Command(IDCANCEL);
        else SendMessageA(dlg, WM_CLOSE, 0, 0);
        EXPECT_FALSE(IsWindow(dlg));
        EXPECT_TRUE(Drain_Quit());
        EXPECT_FALSE(saveOnExit);
        EXPECT_EQ((std::vector<std::string>{ "System" }), tk::List_Dir(home.path()));
        EXPECT_EQ(nullptr, mainWindow);
    }
}

TEST_F(MainDialog, TheEndOfASessionAsksThenSavesAsOKDoes)
{
    Make_Queues(2);
    Open();
    msgs.answers = { IDNO };
    EXPECT_EQ(FALSE, SendMessageA(dlg, WM_QUERYENDSESSION, 0, 0)) << "No: the session may not end";
    ASSERT_EQ(1u, msgs.count());
    EXPECT_EQ("Are you sure you want to quit?", msgs.last().text);
    EXPECT_EQ((UINT)MB_YESNO, tk::Buttons_Of(msgs.last().flags));
    EXPECT_EQ((UINT)MB_ICONQUESTION, tk::Icon_Of(msgs.last().flags));
    msgs.answers = { IDYES };
    EXPECT_EQ(TRUE, SendMessageA(dlg, WM_QUERYENDSESSION, 0, 0));

    SendMessageA(dlg, WM_ENDSESSION, FALSE, 0);      /* the session goes on after all */
    EXPECT_TRUE(IsWindow(dlg));
    EXPECT_FALSE(tk::Exists(home / "Queues.cfg"));

    SendMessageA(dlg, WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(IsWindow(dlg)) << "the end of the session runs OK";
    EXPECT_TRUE(tk::Exists(home / "Queues.cfg"));
}

/* ---- window matters ---- */

static std::vector<UINT> s_ColourChanges;
static LRESULT CALLBACK Listen_Colours(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR)
{
    if (msg == WM_SYSCOLORCHANGE) s_ColourChanges.push_back((UINT)GetDlgCtrlID(w));
    return DefSubclassProc(w, msg, wp, lp);
}

TEST_F(MainDialog, SystemColourChangesReachEveryChild)
{
    Make_Queues(2, 1);
    Open();
    s_ColourChanges.clear();
    for (int id : { IDC_MAIN_TARGETS, IDC_MAIN_LBQS, IDC_MAIN_OK })
        SetWindowSubclass(GetDlgItem(dlg, id), Listen_Colours, 7, 0);
    SendMessageA(dlg, WM_SYSCOLORCHANGE, 0, 0);
    for (int id : { IDC_MAIN_TARGETS, IDC_MAIN_LBQS, IDC_MAIN_OK }) {
        EXPECT_NE(s_ColourChanges.end(), std::find(s_ColourChanges.begin(), s_ColourChanges.end(), (UINT)id)) << id;
        RemoveWindowSubclass(GetDlgItem(dlg, id), Listen_Colours, 7);
    }
}

TEST_F(MainDialog, GrowingTheWindowGrowsTheListsAndKeepsTheButtonsAtTheEdges)
{
    Make_Queues(30);
    Open();
    RECT win, list0, ok0, add0, lbq0;
    GetWindowRect(dlg, &win);
    Get_ControlRect(dlg, IDC_MAIN_TARGETS, &list0);
    Get_ControlRect(dlg, IDC_MAIN_OK, &ok0);
    Get_ControlRect(dlg, IDC_MAIN_ADD, &add0);
    Get_ControlRect(dlg, IDC_MAIN_LBQS, &lbq0);
    int w = win.right - win.left, h = win.bottom - win.top;
    SetWindowPos(dlg, nullptr, 0, 0, w + 200, h + 150, SWP_NOMOVE | SWP_NOZORDER);
    RECT list1, ok1, add1, lbq1;
    Get_ControlRect(dlg, IDC_MAIN_TARGETS, &list1);
    Get_ControlRect(dlg, IDC_MAIN_OK, &ok1);
    Get_ControlRect(dlg, IDC_MAIN_ADD, &add1);
    Get_ControlRect(dlg, IDC_MAIN_LBQS, &lbq1);
    EXPECT_EQ(list0.right - list0.left + 200, list1.right - list1.left);
    EXPECT_EQ(list0.bottom - list0.top + 150, list1.bottom - list1.top);
    EXPECT_EQ(lbq0.right - lbq0.left + 200, lbq1.right - lbq1.left);
    EXPECT_EQ(lbq0.bottom - lbq0.top, lbq1.bottom - lbq1.top);
    EXPECT_EQ(ok0.left + 200, ok1.left);
    EXPECT_EQ(ok0.top + 150, ok1.top);
    EXPECT_EQ(add0.left + 200, add1.left);
    EXPECT_EQ(add0.top, add1.top);
    /* the new controls: the find status widens, the output queues' commands keep beside the
       list, the commands on the whole configuration keep above Preferences */
    const struct { int id; int dx, dy, dw, dh; } follow[] = {
        { IDC_MAIN_FIND, 0, 0, 0, 0 },      { IDC_MAIN_FIND_STATUS, 0, 0, 200, 0 }, { IDC_MAIN_USEDBY, 200, 0, 0, 0 },
        { IDC_MAIN_REDO, 200, 0, 0, 0 },    { IDC_MAIN_CHECK, 0, 150, 0, 0 },       { IDC_MAIN_IMPORT, 0, 150, 0, 0 },
        { IDC_MAIN_PREFS, 0, 150, 0, 0 },
    };
    SetWindowPos(dlg, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER);
    RECT before[ARRAY_LEN(follow)];
    for (size_t i = 0; i < ARRAY_LEN(follow); i++) Get_ControlRect(dlg, follow[i].id, &before[i]);
    SetWindowPos(dlg, nullptr, 0, 0, w + 200, h + 150, SWP_NOMOVE | SWP_NOZORDER);
    for (size_t i = 0; i < ARRAY_LEN(follow); i++) {
        RECT after;
        Get_ControlRect(dlg, follow[i].id, &after);
        EXPECT_EQ(before[i].left + follow[i].dx, after.left) << follow[i].id;
        EXPECT_EQ(before[i].top + follow[i].dy, after.top) << follow[i].id;
        EXPECT_EQ(before[i].right - before[i].left + follow[i].dw, after.right - after.left) << follow[i].id;
        EXPECT_EQ(before[i].bottom - before[i].top + follow[i].dh, after.bottom - after.top) << follow[i].id;
    }
    RECT client;
    GetClientRect(Targets(), &client);
    EXPECT_EQ(client.right, (int)SendMessageA(Targets(), LVM_GETCOLUMNWIDTH, 0, 0)) << "the column follows the list";
    EXPECT_FALSE(GetWindowLongA(Targets(), GWL_STYLE) & WS_HSCROLL);

    SetWindowPos(dlg, nullptr, 0, 0, w - 100, h - 100, SWP_NOMOVE | SWP_NOZORDER);
    RECT small;
    GetWindowRect(dlg, &small);
    EXPECT_EQ(w, small.right - small.left) << "never smaller than laid out";
    EXPECT_EQ(h, small.bottom - small.top);
}

TEST_F(MainDialog, EachCommandWritesItsTraceLine)
{
    tk::TempDir logDir("maintrace");
    char oldDir[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof oldDir, oldDir);
    SetCurrentDirectoryA(logDir.path().c_str());
    Trace_ResetForTest();
    Trace_SetFileName("editor.log");
    Trace_Enable();

    Make_Queues(1);
    Open();
    dk::Script add;
    add.On(k_QueueEditor, [](HWND d) { dk::Click(d, IDCANCEL); });
    add.Run([&] { Command(IDC_MAIN_ADD); return (INT_PTR)0; });
    DialogWatch none;                        /* the rest are refused: no dialog opens */
    Command(IDC_MAIN_EDIT);
    Command(IDC_MAIN_COPY);
    Command(IDC_MAIN_DELETE);
    Command(IDC_MAIN_UP);
    Command(IDC_MAIN_DOWN);
    Command(IDC_MAIN_LBQ_ADD);
    Command(IDC_MAIN_LBQ_EDIT);
    Command(IDC_MAIN_LBQ_DELETE);
    Command(IDCANCEL);
    EXPECT_TRUE(none.opened.empty());
    Trace_Close();
    Trace_ResetForTest();
    SetCurrentDirectoryA(oldDir);

    std::string log = tk::Read_File(logDir / "editor.log");
    size_t at = 0;
    for (const char *line : { "TargetList_Dlg(); wm_initdialog\r\n", "Add queue\r\n", "Edit queue\r\n", "Copy queue\r\n",
                              "Delete queue\r\n", "Move queues up\r\n", "Move queues down\r\n", "Add LB Queue\r\n",
                              "Less than two queues exist.. returning immediately\r\n", "Edit LB Queue\r\n",
                              "Delete LB Queue\r\n", "MainMenu_Dlg, WM_DESTROY\r\n" }) {
        size_t found = log.find(line, at);
        EXPECT_NE(std::string::npos, found) << "missing or out of order: " << line;
        if (found != std::string::npos) at = found;
    }
}

/* ---- the controls the features fill in ---- */

TEST_F(MainDialog, TheNewControlsWaitDisabledForTheirFeatures)
{
    Make_Queues(3, 1);
    Open();
    const std::pair<int, const char *> labels[] = {
        { IDC_MAIN_FIND_LABEL, "&Find:" },        { IDC_MAIN_USEDBY, "Used &by..." },    { IDC_MAIN_UNDO, "Undo" },
        { IDC_MAIN_REDO, "Redo" },                { IDC_MAIN_CHECK, "C&heck..." },       { IDC_MAIN_CHANGES, "Chan&ges..." },
        { IDC_MAIN_RESTORE, "Re&store..." },      { IDC_MAIN_REPORT, "&Report..." },     { IDC_MAIN_EXPORT, "E&xport..." },
        { IDC_MAIN_IMPORT, "Import..." },
    };
    /* the features that have their commands: Used by (with queues), Check; Undo and Redo (with
       steps) and Changes (with changes) wait */
    auto waiting = [](int id) {
        return id != IDC_MAIN_FIND_LABEL && id != IDC_MAIN_USEDBY && id != IDC_MAIN_CHECK && id != IDC_MAIN_RESTORE &&
               id != IDC_MAIN_REPORT && id != IDC_MAIN_IMPORT;
    };
    for (const auto &l : labels) {
        EXPECT_EQ(l.second, dk::Text(dlg, l.first)) << l.first;
        EXPECT_TRUE(dk::Visible(dlg, l.first)) << l.first;
        if (waiting(l.first)) {
            EXPECT_FALSE(dk::Enabled(dlg, l.first)) << l.second << " has no command yet";
        }
    }
    EXPECT_TRUE(dk::Enabled(dlg, IDC_MAIN_USEDBY));
    EXPECT_TRUE(dk::Enabled(dlg, IDC_MAIN_FIND));
    EXPECT_EQ("", dk::Text(dlg, IDC_MAIN_FIND));
    EXPECT_EQ("", dk::Text(dlg, IDC_MAIN_FIND_STATUS));
    /* selecting does not wake them */
    Click_Item(Targets(), 1);
    Click_Item(Inputs(), 0);
    for (const auto &l : labels) {
        if (waiting(l.first) && l.first != IDC_MAIN_EXPORT) {
            EXPECT_FALSE(dk::Enabled(dlg, l.first)) << l.second;
        }
    }
    /* a command without a procedure does nothing, even when pressed */
    DialogWatch none;
    for (int id : { IDC_MAIN_UNDO, IDC_MAIN_REDO, IDC_MAIN_CHANGES }) Command(id);
    EXPECT_TRUE(none.opened.empty());
    EXPECT_TRUE(IsWindow(dlg));
    EXPECT_TRUE(msgs.boxes.empty());

    char tip[TIP_TEXT_LEN];
    Get_ControlTip(dlg, IDC_MAIN_UNDO, tip, sizeof tip);
    EXPECT_STREQ("Undo (Ctrl+Z)", tip);
    Get_ControlTip(dlg, IDC_MAIN_REDO, tip, sizeof tip);
    EXPECT_STREQ("Redo (Ctrl+Y)", tip);
    /* what a feature sets is what the tip shows, however often it is set */
    EXPECT_TRUE(Set_ControlTip(dlg, IDC_MAIN_UNDO, "Undo: delete Proofer (Ctrl+Z)"));
    EXPECT_TRUE(Set_ControlTip(dlg, IDC_MAIN_UNDO, "Undo: move Q2 down (Ctrl+Z)"));
    Get_ControlTip(dlg, IDC_MAIN_UNDO, tip, sizeof tip);
    EXPECT_STREQ("Undo: move Q2 down (Ctrl+Z)", tip);
    Get_ControlTip(dlg, IDC_MAIN_REDO, tip, sizeof tip);
    EXPECT_STREQ("Redo (Ctrl+Y)", tip) << "each button keeps its own tip";
}

TEST_F(MainDialog, NothingIsClippedOrOverlaps)
{
    Make_Queues(3, 1);
    Open();
    dk::Expect_Laid_Out(dlg);
    dk::Screenshot(dlg, "main_dialog");
    Click_Item(Targets(), 1);
    for (int id : { IDC_MAIN_USEDBY, IDC_MAIN_UNDO, IDC_MAIN_CHECK, IDC_MAIN_IMPORT }) EnableWindow(GetDlgItem(dlg, id), TRUE);
    SetWindowTextA(GetDlgItem(dlg, IDC_MAIN_FIND), "Proof");
    SetWindowTextA(GetDlgItem(dlg, IDC_MAIN_FIND_STATUS), "2 of 3 queues: name");
    dk::Screenshot(dlg, "main_dialog_enabled");
    RECT win;
    GetWindowRect(dlg, &win);
    SetWindowPos(dlg, nullptr, 0, 0, win.right - win.left + 160, win.bottom - win.top + 120, SWP_NOMOVE | SWP_NOZORDER);
    dk::Expect_Laid_Out(dlg);
}

/* Sends a key with Ctrl held, as the message loop would pass it on. */
static void Press_Ctrl(HWND dlg, UINT vk)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE was = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    Press_Key(dlg, vk);
    keys[VK_CONTROL] = was;
    SetKeyboardState(keys);
}

/* Notes the presses of Undo, Redo and Import that reach the dialog. */
static std::vector<int> s_Pressed;
static LRESULT CALLBACK Listen_Presses(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR)
{
    int id = LOWORD(wp);
    if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED && (id == IDC_MAIN_UNDO || id == IDC_MAIN_REDO || id == IDC_MAIN_IMPORT))
        s_Pressed.push_back(id);
    return DefSubclassProc(w, msg, wp, lp);
}

TEST_F(MainDialog, ShortcutsFindClearAndPressOnlyInTheMainWindow)
{
    Make_Queues(3, 1);
    Have_ParamFile();
    Open();
    SetWindowSubclass(dlg, Listen_Presses, 9, 0);
    s_Pressed.clear();
    HWND find = GetDlgItem(dlg, IDC_MAIN_FIND);

    Click_Item(Targets(), 1);
    Press_Ctrl(dlg, 'F');
    EXPECT_EQ(find, GetFocus()) << "Ctrl+F: the find field";
    dk::Type(dlg, IDC_MAIN_FIND, "Q2");
    Press_Ctrl(Targets(), 'F');
    EXPECT_EQ(find, GetFocus());
    EXPECT_EQ(2, LOWORD(SendMessageA(find, EM_GETSEL, 0, 0)) == 0 ? (int)HIWORD(SendMessageA(find, EM_GETSEL, 0, 0)) : -1)
        << "its text is selected, to be typed over";
    Press_Key(dlg, VK_ESCAPE);
    EXPECT_TRUE(IsWindow(dlg)) << "Esc in the find field does not cancel";
    EXPECT_EQ("", dk::Text(dlg, IDC_MAIN_FIND));
    Press_Key(dlg, VK_ESCAPE);
    EXPECT_TRUE(IsWindow(dlg)) << "not even when it is empty";
    EXPECT_EQ(find, GetFocus());

    /* Undo, Redo and Import: pressed only while enabled (Import always is; its chooser is cancelled) */
    dk::ChooserRecorder cancelled;
    for (UINT vk : { 'Z', 'Y', 'I' }) Press_Ctrl(dlg, vk);
    EXPECT_EQ((std::vector<int>{ IDC_MAIN_IMPORT }), s_Pressed) << "Undo and Redo are disabled";
    s_Pressed.clear();
    /* as a feature would enable them (the list's focus brings the buttons in line first) */
    SetFocus(Targets());
    auto enable = [&] {
        for (int id : { IDC_MAIN_UNDO, IDC_MAIN_REDO, IDC_MAIN_IMPORT }) EnableWindow(GetDlgItem(dlg, id), TRUE);
    };
    /* (a press with nothing to undo brings the buttons back in line: they are enabled again) */
    for (UINT vk : { 'Z', 'Y', 'I', 'Z' }) {
        enable();
        Press_Ctrl(dlg, vk);
    }
    EXPECT_EQ((std::vector<int>{ IDC_MAIN_UNDO, IDC_MAIN_REDO, IDC_MAIN_IMPORT, IDC_MAIN_UNDO }), s_Pressed);
    EXPECT_EQ(Targets(), GetFocus()) << "a shortcut leaves the focus where it was";
    s_Pressed.clear();
    SetFocus(find);
    enable();
    Press_Ctrl(dlg, 'Z');
    EXPECT_EQ((std::vector<int>{ IDC_MAIN_UNDO }), s_Pressed) << "in the find field too";
    s_Pressed.clear();
    enable();
    Press_Key(dlg, 'Z');
    EXPECT_TRUE(s_Pressed.empty()) << "Z alone is no shortcut";
    SetWindowTextA(find, "");                           /* (a "z" typed there narrows the lists) */

    /* with the queue editor open above it, the keys are the editor's */
    SetFocus(Targets());
    Click_Item(Targets(), 0);
    enable();
    dk::Script edit;
    edit.On(k_QueueEditor, [&](HWND d) {
        HWND before = GetFocus();
        ASSERT_TRUE(IsChild(d, before));
        for (UINT vk : { 'Z', 'Y', 'I', 'F' }) Press_Ctrl(d, vk);
        EXPECT_TRUE(s_Pressed.empty()) << "nothing of the main window was pressed";
        EXPECT_EQ(before, GetFocus()) << "the focus stays in the editor: " << dk::Caption(GetFocus());
        dk::Click(d, IDCANCEL);
    });
    edit.Run([&] { Command(IDC_MAIN_EDIT); return (INT_PTR)0; });
    EXPECT_TRUE(edit.Done());
    RemoveWindowSubclass(dlg, Listen_Presses, 9);
}

} // namespace
