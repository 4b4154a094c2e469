/* Find, Used by, Undo and Redo in the main dialog, driven in-process as the operator would: what
   the lists show as the find field is typed, the commands on a narrowed list, the list of uses
   and the editors it opens, the steps undone and redone with the lists, the selection, the
   buttons and their tooltips following. */
#include "support/testkit.h"
#include "support/modelkit.h"
#include "support/dlgkit.h"
#include "mainwin/maindlg.h"
#include "lists/queuelists.h"
#include "lists/rowlist.h"
#include "common/appstate.h"
#include "common/text.h"
#include "common/tooltip.h"
#include "config/model.h"
#include "config/undo.h"
#include "shell/app.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <string.h>

namespace {

const char k_QueueEditor[] = "Overview";

class FindUndoDialog : public tk::HomeTest {
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
        MSG m;
        while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
        tk::HomeTest::TearDown();
    }
    /* Output queues Q1..Qn, their hot directories D:\Hot\Q<i>, as loaded (after the inputs). */
    static void Make_Queues(int n, int inputs = 0)
    {
        for (int i = 0; i < inputs; i++) mk::Add_LBQ("In" + std::to_string(i + 1), "D:\\In\\" + std::to_string(i + 1));
        for (int i = 0; i < n; i++)
            mk::Runs_Nothing(mk::Add_Target("Q" + std::to_string(i + 1), "D:\\Hot\\Q" + std::to_string(i + 1)));
        mk::Number_AsLoaded();
    }
    void Open()
    {
        dlg = CreateDialogParamA(hInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainMenu_Dlg, 0);
        ASSERT_NE(nullptr, dlg);
        mainWindow = dlg;
        ShowWindow(dlg, SW_SHOW);
    }
    HWND Targets() const { return GetDlgItem(dlg, IDC_MAIN_TARGETS); }
    HWND Inputs() const { return GetDlgItem(dlg, IDC_MAIN_LBQS); }
    void Command(int id) { SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dlg, id)); }
    static void Pick(HWND list, std::vector<int> items)
    {
        SetFocus(list);
        Select_Items(list, items.data(), (int)items.size());
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
    /* The names of the selected queues, by the queue each item stands for. */
    static std::vector<std::string> Selected_Names(HWND list)
    {
        std::vector<std::string> out;
        for (int i = Next_Selected(list, 0); i >= 0; i = Next_Selected(list, i + 1)) {
            int pos = Get_LV__Item_Param(list, i);
            out.push_back(list == GetDlgItem(GetParent(list), IDC_MAIN_LBQS) ? lbqs[pos].name : targets[pos].name);
        }
        return out;
    }
    static std::vector<std::string> Names()
    {
        std::vector<std::string> out;
        for (int i = 0; i < targetCount; i++) out.push_back(targets[i].name);
        return out;
    }
    std::string Tip(int id) const
    {
        char tip[TIP_TEXT_LEN];
        Get_ControlTip(dlg, id, tip, sizeof tip);
        return tip;
    }
    /* Types into the find field one character at a time, as the operator does. */
    void Find(const std::string &text) { dk::Type(dlg, IDC_MAIN_FIND, text); }
    static void Key_In(HWND dlg, HWND to, UINT vk)
    {
        MSG m = {};
        m.hwnd = to;
        m.message = WM_KEYDOWN;
        m.wParam = vk;
        m.lParam = 1;
        if (!IsDialogMessageA(dlg, &m)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
};

/* ---- find ---- */

TEST_F(FindUndoDialog, TypingNarrowsBothListsAndClearingKeepsTheSelection)
{
    Make_Queues(5, 2);
    Copy_Field(targets[3].doneDir, "E:\\Finished\\Banners");
    Open();
    Pick(Targets(), { 3 });
    Find("banners");
    EXPECT_EQ((std::vector<std::string>{ "Q4" }), Shown(Targets()));
    EXPECT_TRUE(Shown(Inputs()).empty());
    EXPECT_EQ((std::vector<std::string>{ "Q4" }), Selected_Names(Targets())) << "the selection stays where it is shown";
    EXPECT_EQ("1 of 7 queues. \"Q4\": done directory", dk::Text(dlg, IDC_MAIN_FIND_STATUS));
    EXPECT_FALSE(dk::Enabled(dlg, IDC_MAIN_UP)) << "no moves on a narrowed list";
    EXPECT_FALSE(dk::Enabled(dlg, IDC_MAIN_DOWN));
    EXPECT_TRUE(dk::Enabled(dlg, IDC_MAIN_DELETE));

    Find("d:\\in\\");
    EXPECT_TRUE(Shown(Targets()).empty());
    EXPECT_EQ((std::vector<std::string>{ "In1", "In2" }), Shown(Inputs()));
    Find("nothing like it");
    EXPECT_EQ("No queue matches.", dk::Text(dlg, IDC_MAIN_FIND_STATUS));

    Find("");
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q2", "Q3", "Q4", "Q5" }), Shown(Targets()));
    EXPECT_EQ((std::vector<std::string>{ "In1", "In2" }), Shown(Inputs()));
    EXPECT_EQ((std::vector<std::string>{ "Q4" }), Selected_Names(Targets())) << "cleared: the selection is kept";
    EXPECT_EQ("", dk::Text(dlg, IDC_MAIN_FIND_STATUS));
    EXPECT_TRUE(dk::Enabled(dlg, IDC_MAIN_UP));
    EXPECT_TRUE(msgs.boxes.empty());
}

TEST_F(FindUndoDialog, CommandsOnANarrowedListActOnTheQueuesShown)
{
    Make_Queues(6);
    Open();
    Find("q");                           /* every queue */
    Find("Q5");
    ASSERT_EQ((std::vector<std::string>{ "Q5" }), Shown(Targets()));
    Pick(Targets(), { 0 });
    Command(IDC_MAIN_DELETE);
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q2", "Q3", "Q4", "Q6" }), Names()) << "the queue shown went, not the first";
    EXPECT_TRUE(Shown(Targets()).empty());
    Find("Q");
    Pick(Targets(), { 1, 3 });
    Command(IDC_MAIN_UP);                /* refused while narrowed, even when pressed */
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q2", "Q3", "Q4", "Q6" }), Names());
}

TEST_F(FindUndoDialog, TwoHundredQueuesNarrowToOneHotDirectoryAtEachKeystrokeAndEnterOpensIt)
{
    Make_Queues(200);
    Copy_Field(targets[136].hotDir, "D:\\Hot\\Banners");
    Open();
    const std::string text = "d:\\hot\\banners";
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    HWND find = GetDlgItem(dlg, IDC_MAIN_FIND);
    SetFocus(find);
    UpdateWindow(dlg);                   /* the list as the operator first sees it */
    /* The text typed three times, each keystroke timed from the key to the lists narrowed; a
       keystroke's time is its best of the three, so that another program on a busy machine
       does not count as the editor's. */
    std::vector<double> best(text.size(), 1e9);
    for (int round = 0; round < 3; round++) {
        Find("x");                       /* (the field typed in once: its first character costs */
        Find("");                        /* the edit control itself a frame under Wine) */
        tk::Pump(20);
        for (size_t k = 0; k < text.size(); k++) {
            LARGE_INTEGER a, b;
            QueryPerformanceCounter(&a);
            SendMessageA(find, WM_CHAR, (WPARAM)(unsigned char)text[k], 1);   /* one keystroke */
            QueryPerformanceCounter(&b);
            UpdateWindow(dlg);
            double ms = 1000.0 * (double)(b.QuadPart - a.QuadPart) / (double)f.QuadPart;
            if (ms < best[k]) best[k] = ms;
        }
    }
    double slowest = 0;
    std::string times;
    for (double ms : best) {
        if (ms > slowest) slowest = ms;
        times += std::to_string((int)ms) + " ";
    }
    RecordProperty("slowest_keystroke_ms", std::to_string(slowest));
    EXPECT_EQ((std::vector<std::string>{ "Q137" }), Shown(Targets()));
    EXPECT_EQ("1 of 200 queues match.", dk::Text(dlg, IDC_MAIN_FIND_STATUS));
    /* a frame of the screen */
    EXPECT_LT(slowest, 17.0) << "the slowest keystroke took " << slowest << " ms: " << times;
    dk::Screenshot(dlg, "main_find_narrowed");

    dk::Script s;
    s.On(k_QueueEditor, [](HWND d) {
        EXPECT_EQ("Q137", dk::Text(d, IDC_OV_NAME));
        dk::Click(d, IDCANCEL);
    });
    s.Run([&] { Key_In(dlg, GetDlgItem(dlg, IDC_MAIN_FIND), VK_RETURN); return (INT_PTR)0; });
    EXPECT_TRUE(s.Done());
    EXPECT_TRUE(IsWindow(dlg)) << "Enter in the find field never presses OK";
    EXPECT_EQ((std::vector<std::string>{ "Q137" }), Selected_Names(Targets()));
    EXPECT_TRUE(msgs.boxes.empty());
}

/* ---- where used ---- */

TEST_F(FindUndoDialog, UsedByListsTheUsesAndOpensTheQueueThatHoldsOne)
{
    Make_Queues(4, 1);
    targets[0].afterAction = 2;          /* Q1 passes jobs to Q3 */
    targets[3].timeoutAction = 2;        /* Q4 passes waiting jobs to Q3 */
    lbqs[0].outputs[2] = lbqs[0].outputs[1] = 1;
    Open();
    Pick(Targets(), { 2 });
    dk::Script s;
    s.On("Used By", [&](HWND d) {
        HWND list = GetDlgItem(d, IDC_RL_LIST);
        const ROWSET *rows = RowList_Rows(list);
        ASSERT_NE(nullptr, rows);
        ASSERT_EQ(3, rows->count);
        EXPECT_EQ("&Used by: 3 uses of \"Q3\"", dk::Text(d, IDC_RL_LABEL));
        EXPECT_STREQ("Q1", rows->rows[0].group);
        EXPECT_STREQ("passes jobs to it after processing", rows->rows[0].cells[0]);
        EXPECT_STREQ("Clean-Up", rows->rows[0].cells[1]);
        EXPECT_STREQ("Q4", rows->rows[1].group);
        EXPECT_STREQ("Multi-Job Settings", rows->rows[1].cells[1]);
        EXPECT_STREQ("In1", rows->rows[2].group);
        dk::Screenshot(d, "usedby_queue");
        SetFocus(list);
        LVITEMA it = {};
        it.stateMask = it.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, 1, (LPARAM)&it);
        dk::Click(d, IDOK);              /* Open: Q4's editor */
    });
    /* the editor opens on the page that holds the reference: Multi-Job Settings, through Job Settings */
    s.On("Multi-Job Settings", [](HWND d) { dk::Click(d, IDCANCEL); });
    s.On("Job Settings", [](HWND d) { dk::Click(d, IDCANCEL); });
    s.On(k_QueueEditor, [](HWND d) {
        EXPECT_EQ("Q4", dk::Text(d, IDC_OV_NAME));
        dk::Click(d, IDCANCEL);
    });
    s.On("Used By", [](HWND d) { dk::Click(d, IDCANCEL); });
    s.Run([&] { Command(IDC_MAIN_USEDBY); return (INT_PTR)0; });
    EXPECT_TRUE(s.Done());
    EXPECT_EQ((std::vector<std::string>{ "Q3" }), Selected_Names(Targets()));
    EXPECT_FALSE(dk::Enabled(dlg, IDC_MAIN_UNDO)) << "a cancelled editor is no step";
}

TEST_F(FindUndoDialog, WithoutASelectedQueueUsedByAsksForAProgram)
{
    Make_Queues(3, 1);
    int rip = mk::Add_App("C:\\Rip\\rip.exe", "-x");
    mk::Runs_App(targets[0], rip);
    mk::Runs_App(targets[2], rip);
    Open();
    dk::Script s;
    s.On("Used By Application", [&](HWND d) {
        EXPECT_EQ((std::vector<std::string>{ "C:\\Rip\\rip.exe" }), dk::Items(d, IDC_UA_PATH));
        EXPECT_EQ(IDC_UA_PATH, GetDlgCtrlID(GetParent(GetFocus())) == IDC_UA_PATH ? IDC_UA_PATH : GetDlgCtrlID(GetFocus()));
        dk::Expect_Laid_Out(d);
        dk::Expect_Unique_Mnemonics(d);
        dk::Screenshot(d, "usedby_application");
        SetDlgItemTextA(d, IDC_UA_PATH, "c:\\RIP\\rip.exe");
        dk::Click(d, IDOK);
    });
    s.On("Used By", [&](HWND d) {
        const ROWSET *rows = RowList_Rows(GetDlgItem(d, IDC_RL_LIST));
        ASSERT_NE(nullptr, rows);
        ASSERT_EQ(2, rows->count);
        EXPECT_STREQ("Q1", rows->rows[0].group);
        EXPECT_STREQ("Q3", rows->rows[1].group);
        EXPECT_STREQ("Processes", rows->rows[1].cells[1]);
        dk::Click(d, IDCANCEL);
    });
    s.Run([&] { Command(IDC_MAIN_USEDBY); return (INT_PTR)0; });
    EXPECT_TRUE(s.Done());
    EXPECT_TRUE(msgs.boxes.empty());
}

/* ---- undo and redo ---- */

TEST_F(FindUndoDialog, UndoAndRedoFollowEveryCommandWithListsSelectionButtonsAndTips)
{
    Make_Queues(4, 1);
    lbqs[0].outputs[1] = 1;
    Open();
    EXPECT_FALSE(dk::Enabled(dlg, IDC_MAIN_UNDO));
    EXPECT_FALSE(dk::Enabled(dlg, IDC_MAIN_REDO));
    EXPECT_EQ("Undo (Ctrl+Z)", Tip(IDC_MAIN_UNDO));

    Pick(Targets(), { 1 });
    tk::MsgRecorder yes({ IDYES });      /* Q2 feeds In1: the question */
    Command(IDC_MAIN_DELETE);
    ASSERT_EQ(1u, yes.count());
    Pick(Targets(), { 2 });
    Command(IDC_MAIN_UP);                /* Q4 up */
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q4", "Q3" }), Names());
    EXPECT_TRUE(dk::Enabled(dlg, IDC_MAIN_UNDO));
    EXPECT_EQ("Undo: move Q4 up (Ctrl+Z)", Tip(IDC_MAIN_UNDO));

    Command(IDC_MAIN_UNDO);
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q3", "Q4" }), Names());
    EXPECT_EQ(Names(), Shown(Targets()));
    EXPECT_EQ("Undo: delete Q2 (Ctrl+Z)", Tip(IDC_MAIN_UNDO));
    EXPECT_EQ("Redo: move Q4 up (Ctrl+Y)", Tip(IDC_MAIN_REDO));
    EXPECT_TRUE(dk::Enabled(dlg, IDC_MAIN_REDO));

    Command(IDC_MAIN_UNDO);
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q2", "Q3", "Q4" }), Names());
    EXPECT_EQ(Names(), Shown(Targets()));
    EXPECT_EQ((std::vector<std::string>{ "Q2" }), Selected_Names(Targets())) << "the queue that came back is selected";
    EXPECT_EQ(1, lbqs[0].outputs[1]) << "and feeds its input queue again";
    EXPECT_FALSE(dk::Enabled(dlg, IDC_MAIN_UNDO));
    EXPECT_EQ("Undo (Ctrl+Z)", Tip(IDC_MAIN_UNDO));

    Command(IDC_MAIN_REDO);
    EXPECT_EQ((std::vector<std::string>{ "Q1", "Q3", "Q4" }), Names());
    EXPECT_EQ(0, lbqs[0].outputs[1]);
    /* a new edit after an undo: what was undone cannot be redone */
    Pick(Inputs(), { 0 });
    Command(IDC_MAIN_LBQ_DELETE);
    EXPECT_FALSE(dk::Enabled(dlg, IDC_MAIN_REDO));
    EXPECT_EQ("Undo: delete input queue In1 (Ctrl+Z)", Tip(IDC_MAIN_UNDO));
    Command(IDC_MAIN_UNDO);
    EXPECT_EQ((std::vector<std::string>{ "In1" }), Shown(Inputs()));
    EXPECT_EQ((std::vector<std::string>{ "In1" }), Selected_Names(Inputs()));
    dk::Screenshot(dlg, "main_undo_redo");
    EXPECT_EQ(1u, yes.count());
}

TEST_F(FindUndoDialog, AnEditorsOKIsOneStepAndCancelNone)
{
    Make_Queues(3);
    std::string dir = home / "Hot\\Renamed";
    tk::Make_Dirs(dir);
    Copy_Field(targets[1].hotDir, dir.c_str());
    Open();
    Pick(Targets(), { 1 });
    dk::Script s;
    s.On(k_QueueEditor, [](HWND d) {
        dk::Type(d, IDC_OV_NAME, "Renamed");
        dk::Click(d, IDC_OV_OK);
    });
    s.Run([&] { Command(IDC_MAIN_EDIT); return (INT_PTR)0; });
    ASSERT_STREQ("Renamed", targets[1].name);
    EXPECT_EQ("Undo: edit Renamed (Ctrl+Z)", Tip(IDC_MAIN_UNDO));
    Command(IDC_MAIN_UNDO);
    EXPECT_STREQ("Q2", targets[1].name);
    EXPECT_EQ("Q2", Shown(Targets())[1]);
    EXPECT_EQ(1, History_Steps());
}

} // namespace
