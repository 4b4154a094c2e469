/* The Multi-Job Settings page, driven as an operator drives it, on the record the Job Settings
   page would hand it. */
#include "queueedit/jobkit.h"
#include <functional>

namespace {

class MultiJob : public jk::PageTest {
protected:
    /* Queue 1 ("Plate Setter 1") set to process jobs at a time with this action. */
    Target With(int jobs, int action, int seconds = 300)
    {
        Target t = Work(0);
        t.jobsAtATime = jobs;
        t.timeoutAction = action;
        t.timeoutSeconds = seconds;
        Copy_Field(t.timeoutDir, "D:\\Waiting");
        return t;
    }
};

const int k_Actions[] = { IDC_MJ_ANYWAY, IDC_MJ_RECYCLE, IDC_MJ_DELETE, IDC_MJ_MOVE, IDC_MJ_PASS };

/* TRUE when something is drawn over the placeholder (an icon): pixels other than the face colour. */
bool Picture_Shown(HWND d, int placeholder)
{
    RedrawWindow(d, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT rc;
    if (!Get_ControlRect(d, placeholder, &rc)) return false;
    HDC dc = GetDC(d);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    int other = 0;
    for (int y = rc.top; y < rc.top + 32; y += 2)
        for (int x = rc.left; x < rc.left + 32; x += 2)
            if (GetPixel(dc, x, y) != face) other++;
    ReleaseDC(d, dc);
    return other > 20;
}

/* What the page shows for a record: the radio buttons checked, what takes input, the texts. */
struct Shown {
    int checked;            /* the action radio button checked, 0: none */
    bool never;             /* "Never time-out" checked (else the time-out) */
    bool choice;            /* the two time-out radio buttons take input */
    bool timeout;           /* the time-out part takes input */
    bool target;            /* the target part takes input */
    const char *text;       /* the target text */
    bool picture;           /* the action's picture is shown */
};

void Expect_Shown(HWND d, const Shown &w)
{
    EXPECT_EQ(w.never, dk::Checked(d, IDC_MJ_NEVER));
    EXPECT_EQ(!w.never, dk::Checked(d, IDC_MJ_TIMEOUT));
    EXPECT_EQ(w.choice, dk::Enabled(d, IDC_MJ_NEVER));
    EXPECT_EQ(w.choice, dk::Enabled(d, IDC_MJ_TIMEOUT));
    for (int id : k_Actions) {
        EXPECT_EQ(id == w.checked, dk::Checked(d, id)) << id;
        EXPECT_EQ(w.timeout, dk::Enabled(d, id)) << id;
    }
    for (int id : { IDC_MJ_MINUTES, IDC_MJ_MINUTES_SPIN, IDC_MJ_SECONDS, IDC_MJ_SECONDS_SPIN })
        EXPECT_EQ(w.timeout, dk::Enabled(d, id)) << id;
    for (int id : { IDC_MJ_TARGET, IDC_MJ_BROWSE, IDC_MJ_FORCE }) EXPECT_EQ(w.target, dk::Enabled(d, id)) << id;
    EXPECT_EQ(w.text, dk::Text(d, IDC_MJ_TARGET));
    EXPECT_FALSE(dk::Visible(d, IDC_MJ_TIMEOUT_ICON)) << "the placeholders are hidden";
    EXPECT_FALSE(dk::Visible(d, IDC_MJ_ACTION_ICON));
    EXPECT_EQ(w.timeout, Picture_Shown(d, IDC_MJ_TIMEOUT_ICON));
    EXPECT_EQ(w.picture, Picture_Shown(d, IDC_MJ_ACTION_ICON));
}

TEST_F(MultiJob, ShowsTheTimeOutAndWhatHappensThen)
{
    struct Case { const char *name; int jobs, action; Shown shown; };
    const Case cases[] = {
        { "one at a time", 1, TIMEOUT_NEVER, { 0, true, false, false, false, "", false } },
        { "one at a time, an action kept", 1, TIMEOUT_RECYCLE, { IDC_MJ_RECYCLE, false, false, false, false, "", false } },
        { "never times out", 3, TIMEOUT_NEVER, { 0, true, true, false, false, "", false } },
        { "processed anyway", 3, TIMEOUT_PROCESS, { IDC_MJ_ANYWAY, false, true, true, false, "", true } },
        { "recycled", 3, TIMEOUT_RECYCLE, { IDC_MJ_RECYCLE, false, true, true, false, "", true } },
        { "deleted", 3, TIMEOUT_DELETE, { IDC_MJ_DELETE, false, true, true, false, "", true } },
        { "moved", 3, TIMEOUT_MOVE, { IDC_MJ_MOVE, false, true, true, true, "D:\\Waiting", true } },
        { "passed on", 3, 2, { IDC_MJ_PASS, false, true, true, true, "Proofer", true } },
        { "passed on, no queue yet", 3, -4, { IDC_MJ_PASS, false, true, true, true, "", false } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Target work = With(c.jobs, c.action, 125);
        dk::Script s;
        s.On("Multi-Job Settings", [&](HWND d) {
            EXPECT_EQ(std::to_string(c.jobs), dk::Text(d, IDC_MJ_JOBS));
            EXPECT_EQ("2", dk::Text(d, IDC_MJ_MINUTES));
            EXPECT_EQ("5", dk::Text(d, IDC_MJ_SECONDS));
            Expect_Shown(d, c.shown);
            if (c.action == 2) dk::Screenshot(d, "multijob");
            dk::Click(d, IDCANCEL);
        });
        EXPECT_EQ(0, Open_MultiJob(s, &work));
    }
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(MultiJob, TheChoicesFollowEachOther)
{
    Target work = With(3, TIMEOUT_RECYCLE);
    dk::Script s;
    s.On("Multi-Job Settings", [&](HWND d) {
        dk::Click(d, IDC_MJ_NEVER);
        Expect_Shown(d, { 0, true, true, false, false, "", false });
        dk::Click(d, IDC_MJ_TIMEOUT);
        { SCOPED_TRACE("the action chosen before"); Expect_Shown(d, { IDC_MJ_RECYCLE, false, true, true, false, "", true }); }
        dk::Click(d, IDC_MJ_MOVE);
        Expect_Shown(d, { IDC_MJ_MOVE, false, true, true, true, "D:\\Waiting", true });
        dk::Type(d, IDC_MJ_TARGET, "D:\\Typed");
        dk::Type(d, IDC_MJ_JOBS, "1");
        { SCOPED_TRACE("the typed text stays"); Expect_Shown(d, { IDC_MJ_MOVE, false, false, false, false, "D:\\Typed", false }); }
        dk::Type(d, IDC_MJ_JOBS, "4");
        Expect_Shown(d, { IDC_MJ_MOVE, false, true, true, true, "D:\\Typed", true });
        dk::Click(d, IDC_MJ_PASS);
        { SCOPED_TRACE("no queue chosen yet"); Expect_Shown(d, { IDC_MJ_PASS, false, true, true, true, "", false }); }
        dk::Click(d, IDC_MJ_NEVER);
        dk::Click(d, IDC_MJ_TIMEOUT);
        EXPECT_TRUE(dk::Checked(d, IDC_MJ_MOVE)) << "a queue not yet chosen is not come back to";
        dk::Click(d, IDCANCEL);
    });
    Open_MultiJob(s, &work);

    Target never = With(3, TIMEOUT_NEVER);
    dk::Script s2;
    s2.On("Multi-Job Settings", [&](HWND d) {
        dk::Click(d, IDC_MJ_TIMEOUT);
        EXPECT_TRUE(dk::Checked(d, IDC_MJ_ANYWAY)) << "with none chosen before: processed anyway";
        dk::Spin(d, IDC_MJ_JOBS_SPIN, 20);
        EXPECT_EQ("16", dk::Text(d, IDC_MJ_JOBS)) << "the spin stops at 16";
        dk::Spin(d, IDC_MJ_SECONDS_SPIN, 70);
        EXPECT_EQ("60", dk::Text(d, IDC_MJ_SECONDS));
        dk::Click(d, IDOK);
    });
    Open_MultiJob(s2, &never);
    EXPECT_EQ(16, never.jobsAtATime);
    EXPECT_EQ(TIMEOUT_PROCESS, never.timeoutAction);
    EXPECT_EQ(5 * 60 + 60, never.timeoutSeconds);
}

/* ---- OK ---- */

struct OkCase {
    const char *name;
    int jobs, action;                          /* the record the page opens on */
    std::function<void(HWND)> act;             /* what the operator does before OK */
    std::vector<int> answers;                  /* to the boxes, in turn */
    std::vector<std::string> texts;            /* the boxes shown */
    bool accepted;
    std::function<void(Target &)> expect;      /* what the record then holds (from the record before) */
};

void Type_Target(HWND d, const std::string &text) { dk::Type(d, IDC_MJ_TARGET, text); }

TEST_F(MultiJob, OkKeepsWhatPassesEveryCheck)
{
    const std::string own = home / "Hot\\Plate Setter 1", other = home / "Hot\\Proofer";
    const std::string ownQuestion = "The chosen follow on queue is also the current queue.  Are you sure you want to keep "
                                    "re-queuing files infinitely in this queue?";
    const std::string otherQuestion = "The chosen follow on directory is watched by the queue \"Proofer\": waiting jobs "
                                      "moved there will be taken in by that queue.  Do you want to keep this directory?";
    const std::string ownDir = "Waiting jobs cannot be moved to this queue's own hot directory (or a directory inside it "
                               "while its sub-directories are included): they would come straight back into this queue.  "
                               "Please choose another directory.";
    const std::string badDir = "The chosen follow on directory is not a valid path name.  Please correct the entry or "
                               "select an existing directory using the chooser.";
    const std::string unknown = "The chosen follow on queue has not been recognised.  Please correct the entry or select "
                                "another.";
    const std::string unchosen = "No queue for passing waiting jobs to has been chosen.  Cannot continue with save.";
    auto none = [](HWND) {};
    auto time = [](const char *m, const char *sec) {
        return [=](HWND d) { dk::Type(d, IDC_MJ_MINUTES, m); dk::Type(d, IDC_MJ_SECONDS, sec); };
    };
    const OkCase cases[] = {
        { "one at a time never times out", 3, TIMEOUT_RECYCLE, [](HWND d) { dk::Type(d, IDC_MJ_JOBS, "1"); }, {}, {}, true,
          [](Target &t) { t.jobsAtATime = 1; t.timeoutAction = TIMEOUT_NEVER; } },
        { "0 minutes and 60 seconds", 3, TIMEOUT_DELETE, time("0", "60"), {}, {}, true,
          [](Target &t) { t.timeoutSeconds = 60; } },
        { "a whole day", 3, TIMEOUT_DELETE, time("1440", "0"), {}, {}, true, [](Target &t) { t.timeoutSeconds = 86400; } },
        { "1441 minutes", 3, TIMEOUT_DELETE, time("1441", "0"), {}, { jk::Out_Of_Range(1440, 0) }, false, nullptr },
        { "61 seconds", 3, TIMEOUT_DELETE, time("1", "61"), {}, { jk::Out_Of_Range(60, 0) }, false, nullptr },
        { "minutes no number", 3, TIMEOUT_DELETE, time("soon", "1"), {}, { jk::k_Invalid }, false, nullptr },
        { "more than a day", 3, TIMEOUT_DELETE, time("1440", "1"), {},
          { "The time-out can be at most 1440 minutes (one day).  Please shorten it." }, false, nullptr },
        { "17 jobs", 3, TIMEOUT_DELETE, [](HWND d) { dk::Type(d, IDC_MJ_JOBS, "17"); }, {}, { jk::Out_Of_Range(16, 1) },
          false, nullptr },
        { "no queue chosen", 3, TIMEOUT_NEVER, [](HWND d) { dk::Click(d, IDC_MJ_TIMEOUT); dk::Click(d, IDC_MJ_PASS); }, {},
          { unchosen }, false, nullptr },
        { "a queue named in other letters", 3, 1, [](HWND d) { Type_Target(d, "PROOFER"); }, {}, {}, true,
          [](Target &t) { t.timeoutAction = 2; } },
        { "a queue named without one chosen", 3, -4, [](HWND d) { Type_Target(d, " archive "); }, {}, {}, true,
          [](Target &t) { t.timeoutAction = 3; } },
        { "no such queue", 3, 1, [](HWND d) { Type_Target(d, "Proofer 2"); }, {}, { unknown }, false, nullptr },
        { "a queue that is no longer there", 3, 9, none, {}, { unknown }, false, nullptr },
        { "the queue itself, no", 3, 1, [](HWND d) { Type_Target(d, "plate setter 1"); }, { IDNO }, { ownQuestion }, false,
          nullptr },
        { "the queue itself, yes", 3, 1, [](HWND d) { Type_Target(d, "plate setter 1"); }, { IDYES }, { ownQuestion }, true,
          [](Target &t) { t.timeoutAction = 0; } },
        { "a directory", 3, TIMEOUT_MOVE, [](HWND d) { Type_Target(d, "D:\\Timed Out"); }, {}, {}, true,
          [](Target &t) { Copy_Field(t.timeoutDir, "D:\\Timed Out"); } },
        { "a drive letter", 3, TIMEOUT_MOVE, [](HWND d) { Type_Target(d, "e"); }, {}, {}, true,
          [](Target &t) { Copy_Field(t.timeoutDir, "e:\\"); } },
        { "no directory", 3, TIMEOUT_MOVE, [](HWND d) { Type_Target(d, ""); }, {}, { badDir }, false, nullptr },
        { "a relative directory", 3, TIMEOUT_MOVE, [](HWND d) { Type_Target(d, "Waiting\\Here"); }, {}, { badDir }, false,
          nullptr },
        { "its own hot directory", 3, TIMEOUT_MOVE, [&](HWND d) { Type_Target(d, own + "\\"); }, {}, { ownDir }, false,
          nullptr },
        { "another queue's hot directory, no", 3, TIMEOUT_MOVE, [&](HWND d) { Type_Target(d, other); }, { IDNO },
          { otherQuestion }, false, nullptr },
        { "another queue's hot directory, yes", 3, TIMEOUT_MOVE, [&](HWND d) { Type_Target(d, other); }, { IDYES },
          { otherQuestion }, true, [&](Target &t) { Copy_Field(t.timeoutDir, other.c_str()); } },
        { "a directory typed, then another action", 3, TIMEOUT_MOVE,
          [](HWND d) { Type_Target(d, "D:\\Elsewhere"); dk::Click(d, IDC_MJ_DELETE); }, {}, {}, true,
          [](Target &t) { t.timeoutAction = TIMEOUT_DELETE; } },
        { "force overwrite", 3, TIMEOUT_MOVE, [](HWND d) { dk::Click(d, IDC_MJ_FORCE); }, {}, {}, true,
          [](Target &t) { t.forceOverwriteTimeout = !t.forceOverwriteTimeout; } },
        { "untouched", 3, TIMEOUT_DELETE, none, {}, {}, true, [](Target &) {} },
    };
    for (const OkCase &c : cases) {
        SCOPED_TRACE(c.name);
        Target work = With(c.jobs, c.action), before = work;
        boxes.boxes.clear();
        boxes.answers = c.answers;
        dk::Script s;
        s.On("Multi-Job Settings", [&](HWND d) {
            c.act(d);
            dk::Click(d, IDOK);
            if (!c.accepted) {
                EXPECT_TRUE(IsWindowVisible(d)) << "the page stays open";
                EXPECT_EQ(0, memcmp(&before, &work, sizeof work)) << "the caller's record is untouched";
                dk::Click(d, IDCANCEL);
            }
        });
        EXPECT_EQ(0, Open_MultiJob(s, &work));
        std::vector<std::string> texts;
        for (const tk::Box &b : boxes.boxes) texts.push_back(b.text);
        EXPECT_EQ(c.texts, texts);
        if (c.accepted) {
            Target expected = before;
            c.expect(expected);
            EXPECT_EQ(0, memcmp(&expected, &work, sizeof work)) << "action " << work.timeoutAction << ", "
                                                                 << work.timeoutSeconds << " s, " << work.timeoutDir;
        } else {
            EXPECT_EQ(0, memcmp(&before, &work, sizeof work));
        }
    }
}

TEST_F(MultiJob, TheQuestionsAndRefusalsAreTheirKind)
{
    Target work = With(3, TIMEOUT_MOVE);
    boxes.answers = { IDNO, IDOK, IDNO };
    dk::Script s;
    s.On("Multi-Job Settings", [&](HWND d) {
        Type_Target(d, home / "Hot\\Proofer");
        dk::Click(d, IDOK);
        EXPECT_EQ(IDC_MJ_TARGET, jk::Focus_Id());
        Type_Target(d, home / "Hot\\Plate Setter 1");
        dk::Click(d, IDOK);
        dk::Click(d, IDC_MJ_PASS);
        Type_Target(d, "Plate Setter 1");
        dk::Click(d, IDOK);
        dk::Click(d, IDCANCEL);
    });
    Open_MultiJob(s, &work);
    ASSERT_EQ(3u, boxes.count());
    EXPECT_EQ((UINT)(MB_YESNO | MB_ICONQUESTION), tk::Buttons_Of(boxes.boxes[0].flags) | tk::Icon_Of(boxes.boxes[0].flags));
    EXPECT_EQ((UINT)(MB_OK | MB_ICONINFORMATION), tk::Buttons_Of(boxes.boxes[1].flags) | tk::Icon_Of(boxes.boxes[1].flags));
    EXPECT_EQ((UINT)(MB_YESNO | MB_ICONSTOP), tk::Buttons_Of(boxes.boxes[2].flags) | tk::Icon_Of(boxes.boxes[2].flags));
    for (const tk::Box &b : boxes.boxes) EXPECT_EQ("Editor", b.caption);
}

/* ---- Browse ---- */

TEST_F(MultiJob, BrowseChoosesTheDirectoryFromWhatIsTyped)
{
    Target work = With(3, TIMEOUT_MOVE);
    dk::ChooserRecorder picks({ "D:\\Chosen", "" });
    dk::Script s;
    s.On("Multi-Job Settings", [&](HWND d) {
        Type_Target(d, "D:\\Typed");
        dk::Click(d, IDC_MJ_BROWSE);
        EXPECT_EQ("D:\\Chosen", dk::Text(d, IDC_MJ_TARGET));
        dk::Click(d, IDC_MJ_BROWSE);                    /* cancelled */
        EXPECT_EQ("D:\\Chosen", dk::Text(d, IDC_MJ_TARGET));
        dk::Click(d, IDOK);
    });
    Open_MultiJob(s, &work);
    ASSERT_EQ(2u, picks.calls.size());
    EXPECT_EQ(CHOOSE_FOLDER, picks.calls[0].kind);
    EXPECT_EQ("Directory to Move Waiting Jobs To", picks.calls[0].title);
    EXPECT_EQ("D:\\Typed", picks.calls[0].path);
    EXPECT_STREQ("D:\\Chosen", work.timeoutDir);
    EXPECT_EQ(TIMEOUT_MOVE, work.timeoutAction);
}

/* A click in the middle of an item of the chooser's queue list. */
void Click_Queue(HWND chooser, int item)
{
    HWND list = GetDlgItem(chooser, IDC_CH_LIST);
    RECT rc;
    ListView_GetItemRect(list, item, &rc, LVIR_LABEL);
    LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
}

TEST_F(MultiJob, BrowseChoosesTheQueueFromTheQueueChooser)
{
    Target work = With(3, TIMEOUT_RECYCLE);
    const std::string warning = "Warning: The chosen follow on queue is also the current queue.  Jobs will not be moved "
                                "out of this queue given the current setting.";
    boxes.answers = { IDOK, IDYES };
    dk::Script s;
    s.On("Multi-Job Settings", [&](HWND d) {
        dk::Click(d, IDC_MJ_PASS);
        Expect_Shown(d, { IDC_MJ_PASS, false, true, true, true, "", false });
        dk::Click(d, IDC_MJ_BROWSE);
    });
    s.On("Choose a Queue", [&](HWND c) { dk::Click(c, IDCANCEL); });
    s.On("Multi-Job Settings", [&](HWND d) {
        Expect_Shown(d, { IDC_MJ_PASS, false, true, true, true, "", false });
        dk::Click(d, IDC_MJ_BROWSE);
    });
    s.On("Choose a Queue", [&](HWND c) {
        Click_Queue(c, 2);
        dk::Click(c, IDOK);
    });
    s.On("Multi-Job Settings", [&](HWND d) {
        EXPECT_EQ(0u, boxes.count());
        Expect_Shown(d, { IDC_MJ_PASS, false, true, true, true, "Proofer", true });
        dk::Click(d, IDC_MJ_ANYWAY);
        dk::Click(d, IDC_MJ_PASS);
        EXPECT_EQ("Proofer", dk::Text(d, IDC_MJ_TARGET)) << "the queue chosen is remembered";
        dk::Click(d, IDC_MJ_BROWSE);
    });
    s.On("Choose a Queue", [&](HWND c) {
        Click_Queue(c, 0);                             /* the queue itself */
        dk::Click(c, IDOK);
    });
    s.On("Multi-Job Settings", [&](HWND d) {
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ(warning, boxes.last().text);
        EXPECT_EQ((UINT)MB_ICONWARNING, tk::Icon_Of(boxes.last().flags));
        EXPECT_EQ("Plate Setter 1", dk::Text(d, IDC_MJ_TARGET));
        dk::Click(d, IDOK);                            /* asked again, and kept */
    });
    EXPECT_EQ(0, Open_MultiJob(s, &work));
    ASSERT_EQ(2u, boxes.count());
    EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(boxes.last().flags));
    EXPECT_EQ(0, work.timeoutAction);
}

TEST_F(MultiJob, WithoutQueuesThereIsNothingToChooseFrom)
{
    Target work = With(3, -4);
    Reset_Configuration();
    dk::Script s;
    s.On("Multi-Job Settings", [&](HWND d) {
        dk::Click(d, IDC_MJ_BROWSE);
        EXPECT_TRUE(dk::Checked(d, IDC_MJ_PASS));
        dk::Click(d, IDCANCEL);
    });
    Open_MultiJob(s, &work);
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("There are no queues to choose from yet.", boxes.last().text);
}

TEST_F(MultiJob, ByKeyboard)
{
    Target work = With(3, TIMEOUT_MOVE);
    dk::Script s;
    s.On("Multi-Job Settings", [&](HWND d) {
        EXPECT_EQ(IDC_MJ_JOBS, jk::Focus_Id());
        EXPECT_EQ((std::vector<int>{ IDC_MJ_JOBS, IDC_MJ_TIMEOUT, IDC_MJ_MINUTES, IDC_MJ_SECONDS, IDC_MJ_MOVE, IDC_MJ_TARGET,
                                     IDC_MJ_BROWSE, IDC_MJ_FORCE, IDOK, IDCANCEL }),
                  jk::Tab_Order(d));
        jk::Expect_Unique_Mnemonics(d);
        jk::Expect_Mnemonics_Lead(d, { { 'u', IDC_MJ_MINUTES }, { 'a', IDC_MJ_SECONDS }, { 's', IDC_MJ_TARGET },
                                       { 'p', IDC_MJ_JOBS } });
        jk::Key(d, WM_SYSCHAR, 'r');                    /* recycle */
        EXPECT_TRUE(dk::Checked(d, IDC_MJ_RECYCLE));
        EXPECT_FALSE(dk::Enabled(d, IDC_MJ_TARGET));
        jk::Key(d, WM_SYSCHAR, 'n');                    /* never */
        EXPECT_FALSE(dk::Enabled(d, IDC_MJ_MINUTES));
        jk::Key(d, WM_SYSCHAR, 't');                    /* and back */
        EXPECT_TRUE(dk::Checked(d, IDC_MJ_RECYCLE));
        jk::Key(d, WM_KEYDOWN, VK_RETURN);
    });
    EXPECT_EQ(0, Open_MultiJob(s, &work));
    EXPECT_EQ(TIMEOUT_RECYCLE, work.timeoutAction);
}

} // namespace
