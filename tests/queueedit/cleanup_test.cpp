/* The Clean-Up page, driven as an operator drives it, and its rules without a window. */
#include "queueedit/editkit.h"
#include "queueedit/cleanup_rules.h"
#include <functional>

namespace {

using ek::EditorTest;

/* ---- without a window ---- */

TEST(CleanUpRules, TheStaySplitsIntoDaysHoursMinutesAndSecondsAndBack)
{
    struct { int32_t seconds; int32_t parts[4]; } cases[] = {
        { 0, { 0, 0, 0, 0 } },
        { 5, { 0, 0, 0, 5 } },
        { 90061, { 1, 1, 1, 1 } },
        { 86399, { 0, 23, 59, 59 } },
        { 2678400, { 31, 0, 0, 0 } },
    };
    ASSERT_EQ(4, keepTime.count);
    for (auto &c : cases) {
        SCOPED_TRACE(c.seconds);
        int32_t k[4];
        Split_Duration(c.seconds, &keepTime, k);
        for (int i = 0; i < 4; i++) EXPECT_EQ(c.parts[i], k[i]) << "edit " << i;
        EXPECT_EQ(c.seconds, Join_Duration(&keepTime, k));
    }
    int32_t k[4];
    Split_Duration(-7, &keepTime, k);
    EXPECT_EQ(0, Join_Duration(&keepTime, k)) << "a damaged negative stay shows as none";
    int32_t most[4] = { 31, 24, 60, 60 };
    EXPECT_EQ(2768460, Join_Duration(&keepTime, most));
}

/* ---- the page ---- */

class CleanUp : public EditorTest {
protected:
    /* Opens the page on a copy of queue pos while the script acts; the copy afterwards. */
    Target Run_Page(int pos, const std::function<void(Target &)> &set, dk::Script &s, INT_PTR *result = nullptr)
    {
        Target work = targets[pos];
        if (set) set(work);
        INT_PTR r = Open_Page(s, IDD_CLEANUP, AfterAction_Dlg, &work);
        if (result) *result = r;
        return work;
    }

    static void Type_Stay(HWND d, const char *days, const char *hours, const char *minutes, const char *seconds)
    {
        dk::Type(d, IDC_CU_DAYS, days);
        dk::Type(d, IDC_CU_HOURS, hours);
        dk::Type(d, IDC_CU_MINUTES, minutes);
        dk::Type(d, IDC_CU_SECONDS, seconds);
    }
};

const char k_NotApplicable[] = "[Not applicable]";
const char k_BadDoneDir[] = "The chosen done directory for completed files is not a valid path name.  Please correct the "
                            "entry or select an existing directory using the chooser.";
const char k_OwnHotDir[] = "The chosen done directory is watched by this queue as its hot directory: completed jobs "
                           "would be taken up and run again, over and over.  Please choose another directory.";
const char k_Unknown[] = "The chosen follow on queue has not been recognised.  Please correct the entry or select another.";
const char k_Itself[] = "The chosen follow on queue is also the current queue.  Are you sure you want to keep re-queuing "
                        "files infinitely in this queue?";

std::string Other_HotDir(const std::string &name)
{
    return "The chosen done directory is watched by the queue \"" + name +
           "\" as its hot directory, so completed jobs will be queued there again.  Do you want to keep this done directory?";
}

TEST_F(CleanUp, EachActionShowsItsButtonItsBoxAndTheControlsThatApply)
{
    struct Case {
        const char *name;
        int32_t action;
        BOOL limit;
        int radio;
        std::string shown, caption;
        bool box, overwrite, limitBox, limitCount, stay;
    };
    const std::string done = home / "Done\\Plates";
    const Case cases[] = {
        { "nothing further", AFTER_LEAVE, FALSE, IDC_CU_NOTHING, k_NotApplicable, "", false, false, false, false, false },
        { "recycle bin", AFTER_RECYCLE, FALSE, IDC_CU_RECYCLE, k_NotApplicable, "", false, false, false, false, true },
        { "delete", AFTER_DELETE, FALSE, IDC_CU_DELETE, k_NotApplicable, "", false, false, false, false, true },
        { "done directory", AFTER_MOVE_DONE, FALSE, IDC_CU_MOVE, done, "Done Directory:", true, true, true, false, true },
        { "done directory, limited", AFTER_MOVE_DONE, TRUE, IDC_CU_MOVE, done, "Done Directory:", true, true, true, true, true },
        { "pass to Proofer", 2, FALSE, IDC_CU_PASS, "Proofer", "Next queue:", true, false, false, false, true },
        { "pass to the queue at position 1", 1, FALSE, IDC_CU_PASS, "Plate Setter 2", "Next queue:", true, false, false, false, true },
        { "pass to a queue that is not there", 150, FALSE, IDC_CU_PASS, "", "Next queue:", true, false, false, false, true },
    };
    const int radios[] = { IDC_CU_NOTHING, IDC_CU_RECYCLE, IDC_CU_DELETE, IDC_CU_MOVE, IDC_CU_PASS };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        dk::Script s;
        s.On("Clean-Up", [&](HWND d) {
            for (int r : radios) EXPECT_EQ(r == c.radio, dk::Checked(d, r)) << r;
            EXPECT_EQ(c.shown, dk::Text(d, IDC_CU_TARGET));
            EXPECT_EQ(c.caption, dk::Text(d, IDC_CU_TARGET_GROUP));
            EXPECT_EQ(c.box, dk::Enabled(d, IDC_CU_TARGET));
            EXPECT_EQ(c.box, dk::Enabled(d, IDC_CU_BROWSE));
            EXPECT_EQ(c.overwrite, dk::Enabled(d, IDC_CU_OVERWRITE));
            EXPECT_EQ(c.limitBox, dk::Enabled(d, IDC_CU_LIMIT));
            EXPECT_EQ(c.limitCount, dk::Enabled(d, IDC_CU_LIMIT_COUNT));
            EXPECT_EQ(c.limitCount, dk::Enabled(d, IDC_CU_LIMIT_SPIN));
            for (int id : { IDC_CU_DAYS, IDC_CU_HOURS, IDC_CU_MINUTES, IDC_CU_SECONDS, IDC_CU_DAYS_SPIN, IDC_CU_SECONDS_SPIN })
                EXPECT_EQ(c.stay, dk::Enabled(d, id)) << id;
            EXPECT_FALSE(dk::Visible(d, IDC_CU_ICON)) << "the placeholder of the icon is hidden";
            dk::Click(d, IDCANCEL);
        });
        Run_Page(0, [&](Target &t) {
            t.afterAction = c.action;
            t.limitDoneFiles = c.limit;
            Copy_Field(t.doneDir, done.c_str());
        }, s);
    }
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(CleanUp, LoadShowsTheStayAndTheChecks)
{
    dk::Script s;
    s.On("Clean-Up", [&](HWND d) {
        EXPECT_EQ("1", dk::Text(d, IDC_CU_DAYS));
        EXPECT_EQ("1", dk::Text(d, IDC_CU_HOURS));
        EXPECT_EQ("1", dk::Text(d, IDC_CU_MINUTES));
        EXPECT_EQ("1", dk::Text(d, IDC_CU_SECONDS));
        EXPECT_TRUE(dk::Checked(d, IDC_CU_BEEP));
        EXPECT_FALSE(dk::Checked(d, IDC_CU_OVERWRITE));
        EXPECT_TRUE(dk::Checked(d, IDC_CU_ALERT));
        EXPECT_TRUE(dk::Checked(d, IDC_CU_SUSPEND));
        EXPECT_TRUE(dk::Enabled(d, IDC_CU_SUSPEND));
        EXPECT_TRUE(dk::Checked(d, IDC_CU_LIMIT));
        EXPECT_EQ("250", dk::Text(d, IDC_CU_LIMIT_COUNT));
        dk::Click(d, IDCANCEL);
    });
    Run_Page(0, [](Target &t) {
        t.keepSeconds = 90061;
        t.beepOnComplete = TRUE;
        t.forceOverwriteDone = FALSE;
        t.alertOnError = TRUE;
        t.suspendOnError = TRUE;
        t.limitDoneFiles = TRUE;
        t.doneFileLimit = 250;
        t.afterAction = AFTER_MOVE_DONE;
    }, s);
}

TEST_F(CleanUp, AHiddenQueueCannotBeSetToSuspendOnErrors)
{
    dk::Script s;
    s.On("Clean-Up", [&](HWND d) {
        EXPECT_FALSE(dk::Enabled(d, IDC_CU_SUSPEND));
        EXPECT_FALSE(dk::Checked(d, IDC_CU_SUSPEND));
        dk::Click(d, IDC_CU_ALERT);
        dk::Click(d, IDC_CU_OK);
    });
    Target work = Run_Page(0, [](Target &t) { t.hidden = TRUE; }, s);
    EXPECT_FALSE(work.suspendOnError);
    EXPECT_TRUE(work.alertOnError);
}

/* The stay: each field in its range, and all four together at most 31 days. */
TEST_F(CleanUp, TheStayIsStoredInSecondsAndRefusedOutOfRange)
{
    struct Case {
        const char *days, *hours, *minutes, *seconds;
        int32_t stored;          /* -1: refused */
        std::string text;        /* of the refusal */
    };
    const std::string range = "A number entered is out of range.\r\nMaximum = ";
    const std::string ignore = "\r\nContinue and ignore changes?";
    const Case cases[] = {
        { "1", "1", "1", "1", 90061, "" },
        { "0", "0", "0", "0", 0, "" },
        { "31", "0", "0", "0", 2678400, "" },
        { "0", "24", "60", "60", 90060, "" },
        { "007", "2", "0", "5 s", 612005, "" },
        { "31", "0", "0", "1", -1, "A completed job can be left in the queue for at most 31 days.  Please shorten the time." },
        { "31", "24", "60", "60", -1, "A completed job can be left in the queue for at most 31 days.  Please shorten the time." },
        { "32", "0", "0", "0", -1, range + "31, Minimum = 0" + ignore },
        { "0", "25", "0", "0", -1, range + "24, Minimum = 0" + ignore },
        { "0", "0", "61", "0", -1, range + "60, Minimum = 0" + ignore },
        { "0", "0", "0", "-1", -1, range + "60, Minimum = 0" + ignore },
        { "0", "0", "0", "soon", -1, "A number entered is invalid." + ignore },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.days) + "/" + c.hours + "/" + c.minutes + "/" + c.seconds);
        boxes.boxes.clear();
        boxes.answers = { IDNO };
        INT_PTR result = -2;
        dk::Script s;
        s.On("Clean-Up", [&](HWND d) {
            Type_Stay(d, c.days, c.hours, c.minutes, c.seconds);
            dk::Click(d, IDC_CU_OK);
            if (c.stored < 0) {
                EXPECT_TRUE(IsWindowVisible(d)) << "the page stays open";
                dk::Click(d, IDCANCEL);
            }
        });
        Target work = Run_Page(0, [](Target &t) { t.keepSeconds = 5; t.afterAction = AFTER_DELETE; }, s, &result);
        EXPECT_EQ(0, result);
        if (c.stored >= 0) {
            EXPECT_EQ(0u, boxes.count());
            EXPECT_EQ(c.stored, work.keepSeconds);
        } else {
            ASSERT_EQ(1u, boxes.count());
            EXPECT_EQ(c.text, boxes.last().text);
            EXPECT_EQ("Editor", boxes.last().caption);
            EXPECT_EQ(5, work.keepSeconds) << "the working copy keeps its stay";
        }
    }
}

TEST_F(CleanUp, DoingNothingFurtherHasNoStay)
{
    dk::Script s;
    s.On("Clean-Up", [&](HWND d) {
        EXPECT_TRUE(dk::Enabled(d, IDC_CU_DAYS));
        dk::Click(d, IDC_CU_NOTHING);
        for (int id : { IDC_CU_DAYS, IDC_CU_HOURS, IDC_CU_MINUTES, IDC_CU_SECONDS }) EXPECT_FALSE(dk::Enabled(d, id)) << id;
        EXPECT_EQ(k_NotApplicable, dk::Text(d, IDC_CU_TARGET));
        dk::Click(d, IDC_CU_RECYCLE);
        EXPECT_TRUE(dk::Enabled(d, IDC_CU_DAYS));
        dk::Click(d, IDC_CU_NOTHING);
        dk::Click(d, IDC_CU_OK);
    });
    Target work = Run_Page(0, [](Target &t) { t.afterAction = AFTER_DELETE; t.keepSeconds = 120; }, s);
    EXPECT_EQ(AFTER_LEAVE, work.afterAction);
    EXPECT_EQ(120, work.keepSeconds) << "the stay is kept as it was";
}

TEST_F(CleanUp, TheKeptFilesLimitIsRefusedOutOfRange)
{
    for (const char *typed : { "0", "30001", "-5", "many" }) {
        SCOPED_TRACE(typed);
        boxes.boxes.clear();
        boxes.answers = { IDNO };
        dk::Script s;
        s.On("Clean-Up", [&](HWND d) {
            dk::Click(d, IDC_CU_MOVE);
            dk::Click(d, IDC_CU_LIMIT);
            dk::Type(d, IDC_CU_LIMIT_COUNT, typed);
            dk::Click(d, IDC_CU_OK);
            EXPECT_TRUE(IsWindowVisible(d));
            EXPECT_EQ(GetDlgItem(d, IDC_CU_LIMIT_COUNT), GetFocus()) << "the field is ready to be corrected";
            dk::Click(d, IDCANCEL);
        });
        Target before = targets[0];
        Target work = Run_Page(0, nullptr, s);
        ASSERT_EQ(1u, boxes.count());
        std::string expected = std::string(typed) == "many" ? "A number entered is invalid."
                                                            : "A number entered is out of range.\r\nMaximum = 30000, Minimum = 1";
        EXPECT_EQ(expected + "\r\nContinue and ignore changes?", boxes.last().text);
        EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(boxes.last().flags));
        EXPECT_EQ(0, memcmp(&before, &work, sizeof work));
    }
    boxes.boxes.clear();
    dk::Script s;
    s.On("Clean-Up", [&](HWND d) {
        dk::Click(d, IDC_CU_MOVE);
        dk::Type(d, IDC_CU_TARGET, home / "Done");
        dk::Click(d, IDC_CU_LIMIT);
        EXPECT_TRUE(dk::Enabled(d, IDC_CU_LIMIT_COUNT));
        dk::Type(d, IDC_CU_LIMIT_COUNT, "30000");
        dk::Click(d, IDC_CU_OK);
    });
    Target work = Run_Page(0, nullptr, s);
    EXPECT_EQ(0u, boxes.count());
    EXPECT_EQ(AFTER_MOVE_DONE, work.afterAction);
    EXPECT_EQ(home / "Done", work.doneDir);
    EXPECT_TRUE(work.limitDoneFiles);
    EXPECT_EQ(30000, work.doneFileLimit);
}

/* The done directory as typed, and what becomes of it at OK. */
TEST_F(CleanUp, TheDoneDirectoryMustBeAPathAndNoHotDirectoryOfItsOwnQueue)
{
    mk::Add_LBQ("Plates In", home / "Hot\\Plates In");
    targets[2].includeSubdirs = TRUE;
    struct Case {
        const char *name;
        std::function<void(Target &)> set;
        std::string typed;
        std::vector<int> answers;
        std::string stored;                  /* "": refused, the page stays open */
        std::vector<std::string> texts;      /* the boxes shown, in order */
    };
    const std::string own = home / "Hot\\Plate Setter 2";
    const std::vector<Case> cases = {
        { "a drive letter", nullptr, "E", {}, "E:\\", {} },
        { "a drive letter and one more", nullptr, "EX", {}, "E:\\", {} },
        { "a path on a drive that does not exist", nullptr, "Q:\\Done\\Plates", {}, "Q:\\Done\\Plates", {} },
        { "an existing directory", nullptr, home / "Done", {}, home / "Done", {} },
        { "a relative name that names nothing", nullptr, "Relative\\Nowhere", {}, "", { k_BadDoneDir } },
        { "nothing", nullptr, "", {}, "", { k_BadDoneDir } },
        { "its own hot directory", nullptr, own, {}, "", { k_OwnHotDir } },
        { "its own hot directory written otherwise", nullptr, "\"" + home / "HOT\\plate setter 2\\" + "\"", {}, "", { k_OwnHotDir } },
        { "below its own hot directory, sub-directories watched", [](Target &t) { t.includeSubdirs = TRUE; },
          own + "\\Done", {}, "", { k_OwnHotDir } },
        { "below its own hot directory, sub-directories not watched", nullptr, own + "\\Done", {}, own + "\\Done", {} },
        { "its hot directory as changed in this editor", [&](Target &t) { Copy_Field(t.hotDir, (home / "New Hot").c_str()); },
          home / "New Hot", {}, "", { k_OwnHotDir } },
        { "its hot directory before that change", [&](Target &t) { Copy_Field(t.hotDir, (home / "New Hot").c_str()); },
          own, {}, own, {} },
        { "a queue that runs monitor processes watches no directory", [](Target &t) { t.monitorProcesses = TRUE; },
          own, {}, own, {} },
        { "another queue's hot directory, kept", nullptr, home / "Hot\\Plate Setter 1", { IDYES },
          home / "Hot\\Plate Setter 1", { Other_HotDir("Plate Setter 1") } },
        { "another queue's hot directory, not kept", nullptr, home / "Hot\\Plate Setter 1", { IDNO }, "",
          { Other_HotDir("Plate Setter 1") } },
        { "below the hot directory of a queue that watches sub-directories", nullptr, home / "Hot\\Proofer\\Done",
          { IDNO }, "", { Other_HotDir("Proofer") } },
        { "an input queue's hot directory", nullptr, home / "Hot\\Plates In", { IDYES }, home / "Hot\\Plates In",
          { Other_HotDir("Plates In") } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.name) + ": \"" + c.typed + "\"");
        boxes.boxes.clear();
        boxes.answers = c.answers;
        dk::Script s;
        s.On("Clean-Up", [&](HWND d) {
            dk::Type(d, IDC_CU_TARGET, c.typed);
            dk::Click(d, IDC_CU_OK);
            if (c.stored.empty()) {
                EXPECT_TRUE(IsWindowVisible(d)) << "the page stays open";
                EXPECT_EQ(GetDlgItem(d, IDC_CU_TARGET), GetFocus());
                dk::Click(d, IDCANCEL);
            }
        });
        Target work = Run_Page(1, [&](Target &t) {
            t.afterAction = AFTER_MOVE_DONE;
            Copy_Field(t.doneDir, "D:\\Before");
            if (c.set) c.set(t);
        }, s);
        std::vector<std::string> shown;
        for (const tk::Box &b : boxes.boxes) shown.push_back(b.text);
        EXPECT_EQ(c.texts, shown);
        EXPECT_EQ(c.stored.empty() ? "D:\\Before" : c.stored, work.doneDir);
    }
}

TEST_F(CleanUp, RefusalsOfTheDoneDirectoryAreToldAsTheirKind)
{
    dk::Script s;
    s.On("Clean-Up", [&](HWND d) {
        dk::Type(d, IDC_CU_TARGET, home / "Hot\\Plate Setter 1");
        dk::Click(d, IDC_CU_OK);
        dk::Type(d, IDC_CU_TARGET, "Relative");
        dk::Click(d, IDC_CU_OK);
        dk::Type(d, IDC_CU_TARGET, home / "Hot\\Proofer");
        dk::Click(d, IDC_CU_OK);
        dk::Click(d, IDCANCEL);
    });
    Run_Page(0, [](Target &t) { t.afterAction = AFTER_MOVE_DONE; }, s);
    ASSERT_EQ(3u, boxes.count());
    EXPECT_EQ((UINT)MB_ICONERROR, tk::Icon_Of(boxes.boxes[0].flags)) << "its own hot directory: a hard refusal";
    EXPECT_EQ((UINT)MB_OK, tk::Buttons_Of(boxes.boxes[0].flags));
    EXPECT_EQ(1u, boxes.beeps.size()) << "with a beep";
    EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(boxes.boxes[1].flags)) << "no path";
    EXPECT_EQ((UINT)MB_YESNO, tk::Buttons_Of(boxes.boxes[2].flags)) << "another queue's: a question";
    for (const tk::Box &b : boxes.boxes) {
        EXPECT_EQ("Editor", b.caption);
        EXPECT_TRUE(b.flags & MB_TASKMODAL);
        EXPECT_TRUE(b.flags & MB_SETFOREGROUND);
    }
}

TEST_F(CleanUp, JobsArePassedToAQueueNamedInTheBox)
{
    struct Case {
        const char *typed;
        std::vector<int> answers;
        int32_t action;                     /* -9: refused, the page stays open */
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        { "Proofer", {}, 2, {} },
        { "proofer", {}, 2, {} },
        { "  Archive ", {}, 3, {} },
        { "Plate Setter 1", {}, 0, {} },
        { "", {}, -9, { k_Unknown } },
        { "Nowhere", {}, -9, { k_Unknown } },
        { "Plate Setter", {}, -9, { k_Unknown } },
        { "Plate Setter 2", { IDYES }, 1, { k_Itself } },
        { "plate setter 2", { IDNO }, -9, { k_Itself } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string("\"") + c.typed + "\"");
        boxes.boxes.clear();
        boxes.answers = c.answers;
        dk::Script s;
        s.On("Clean-Up", [&](HWND d) {
            dk::Click(d, IDC_CU_PASS);
            EXPECT_EQ("", dk::Text(d, IDC_CU_TARGET));
            EXPECT_EQ("Next queue:", dk::Text(d, IDC_CU_TARGET_GROUP));
            dk::Type(d, IDC_CU_TARGET, c.typed);
            dk::Click(d, IDC_CU_OK);
            if (c.action == -9) {
                EXPECT_TRUE(IsWindowVisible(d));
                dk::Click(d, IDCANCEL);
            }
        });
        Target work = Run_Page(1, nullptr, s);
        std::vector<std::string> shown;
        for (const tk::Box &b : boxes.boxes) shown.push_back(b.text);
        EXPECT_EQ(c.texts, shown);
        EXPECT_EQ(c.action == -9 ? AFTER_LEAVE : c.action, work.afterAction);
    }
    EXPECT_EQ((UINT)(MB_YESNO), tk::Buttons_Of(boxes.last().flags));
}

TEST_F(CleanUp, EnterInTheBoxTakesTheQueueAtOnceAndElsewherePressesOk)
{
    dk::Script s;
    s.On("Clean-Up", [&](HWND d) {
        dk::Click(d, IDC_CU_PASS);
        dk::Type(d, IDC_CU_TARGET, "proofer");
        ek::Press_Key(VK_RETURN);
    });
    s.On("Clean-Up", [&](HWND d) {
        EXPECT_EQ("Proofer", dk::Text(d, IDC_CU_TARGET)) << "the queue's own spelling";
        EXPECT_TRUE(dk::Checked(d, IDC_CU_PASS));
        EXPECT_EQ(0u, boxes.count());
        SetFocus(GetDlgItem(d, IDC_CU_BEEP));
        ek::Press_Key(VK_RETURN);
    });
    INT_PTR result = -2;
    Target work = Run_Page(0, nullptr, s, &result);
    EXPECT_EQ(0, result);
    EXPECT_EQ(2, work.afterAction);

    dk::Script esc;
    esc.On("Clean-Up", [&](HWND d) {
        dk::Click(d, IDC_CU_DELETE);
        ek::Press_Key(VK_ESCAPE);
    });
    Target before = targets[0];
    work = Run_Page(0, nullptr, esc);
    EXPECT_EQ(0, memcmp(&before, &work, sizeof work)) << "Esc cancels";
}

TEST_F(CleanUp, WhatWasTypedIsKeptWhenTheOperatorChangesAnotherControl)
{
    const std::string typed = home / "Done\\Typed";
    dk::Script s;
    s.On("Clean-Up", [&](HWND d) {
        dk::Type(d, IDC_CU_TARGET, typed);
        dk::Click(d, IDC_CU_LIMIT);
        EXPECT_EQ(typed, dk::Text(d, IDC_CU_TARGET)) << "ticking the limit keeps the directory typed";
        dk::Click(d, IDC_CU_PASS);
        dk::Type(d, IDC_CU_TARGET, "Archive");
        dk::Click(d, IDC_CU_MOVE);
        EXPECT_EQ(typed, dk::Text(d, IDC_CU_TARGET)) << "and so does a visit to another action";
        dk::Click(d, IDC_CU_PASS);
        EXPECT_EQ("", dk::Text(d, IDC_CU_TARGET));
        dk::Type(d, IDC_CU_TARGET, "archive");
        dk::Click(d, IDC_CU_PASS);
        EXPECT_EQ("Archive", dk::Text(d, IDC_CU_TARGET)) << "the action in effect stays as it is";
        dk::Click(d, IDC_CU_OK);
    });
    Target work = Run_Page(0, [](Target &t) { t.afterAction = AFTER_MOVE_DONE; }, s);
    EXPECT_EQ(0u, boxes.count());
    EXPECT_EQ(3, work.afterAction);
    EXPECT_EQ(typed, work.doneDir) << "the done directory typed is kept with the queue";
    EXPECT_TRUE(work.limitDoneFiles);
}

TEST_F(CleanUp, BrowseChoosesTheDoneDirectory)
{
    const std::string chosen = home / "Done\\Chosen";
    dk::ChooserRecorder picks({ chosen, "" });
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    dk::Script s;
    s.On("Clean-Up", [&](HWND d) {
        dk::Type(d, IDC_CU_TARGET, "E:\\Typed");
        dk::Click(d, IDC_CU_BROWSE);
        EXPECT_EQ(chosen, dk::Text(d, IDC_CU_TARGET));
        dk::Type(d, IDC_CU_TARGET, "F:\\Typed Again");
        dk::Click(d, IDC_CU_BROWSE);
        EXPECT_EQ("F:\\Typed Again", dk::Text(d, IDC_CU_TARGET)) << "a cancelled chooser keeps the text";
        dk::Click(d, IDC_CU_BROWSE);
        dk::Click(d, IDC_CU_OK);
    });
    Target work = Run_Page(0, [](Target &t) { t.afterAction = AFTER_MOVE_DONE; }, s);
    ASSERT_EQ(3u, picks.calls.size());
    EXPECT_EQ(CHOOSE_FOLDER, picks.calls[0].kind);
    EXPECT_EQ("Done Directory", picks.calls[0].title);
    EXPECT_EQ("E:\\Typed", picks.calls[0].path);
    EXPECT_EQ("F:\\Typed Again", picks.calls[1].path);
    EXPECT_EQ("F:\\Typed Again", std::string(work.doneDir));
    char after[MAX_PATH];
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(cwd, after) << "the current directory is as it was";
}

TEST_F(CleanUp, BrowseChoosesTheNextQueueFromTheQueueChooser)
{
    dk::Script s;
    s.On("Clean-Up", [&](HWND d) {
        dk::Click(d, IDC_CU_PASS);
        dk::Click(d, IDC_CU_BROWSE);                   /* the chooser: the next step */
        EXPECT_EQ("Proofer", dk::Text(d, IDC_CU_TARGET));
        EXPECT_TRUE(dk::Checked(d, IDC_CU_PASS));
        dk::Click(d, IDC_CU_BROWSE);                   /* cancelled: the queue stays */
        EXPECT_EQ("Proofer", dk::Text(d, IDC_CU_TARGET));
        ek::Shot(d, "cleanup_chosen_queue");
        dk::Click(d, IDC_CU_OK);
    });
    s.On("Choose a Queue", [](HWND) {
        for (int i = 0; i < 3; i++) ek::Press_Key(VK_DOWN);
        ek::Press_Key(VK_RETURN);
    });
    s.On("Choose a Queue", [](HWND d) { dk::Click(d, IDCANCEL); });
    Target work = Run_Page(1, nullptr, s);
    EXPECT_EQ(0u, boxes.count());
    EXPECT_EQ(2, work.afterAction);
}

TEST_F(CleanUp, WithoutQueuesThereIsNoQueueToChoose)
{
    Target work = targets[0];
    TearDown();                       /* no queues at all (their icons released) */
    work.icon = nullptr;
    work.slotIndex = 0;
    dk::Script s;
    s.On("Clean-Up", [&](HWND d) {
        dk::Click(d, IDC_CU_PASS);
        dk::Click(d, IDC_CU_BROWSE);
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ("There are no queues to choose from yet.", boxes.last().text);
        EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
        dk::Click(d, IDCANCEL);
    });
    Open_Page(s, IDD_CLEANUP, AfterAction_Dlg, &work);
}

/* ---- keyboard ---- */

/* The mnemonic letter of every control of a dialog that has one, by control. */
std::vector<std::pair<char, HWND>> Mnemonics(HWND d)
{
    std::vector<std::pair<char, HWND>> list;
    for (HWND c = GetWindow(d, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        std::string t = dk::Caption(c);
        size_t at = t.find('&');
        while (at != std::string::npos && at + 1 < t.size() && t[at + 1] == '&') at = t.find('&', at + 2);
        if (at != std::string::npos && at + 1 < t.size()) list.push_back({ (char)tolower((unsigned char)t[at + 1]), c });
    }
    return list;
}

/* The controls Tab visits from the first, in order. */
std::vector<int> Tab_Order(HWND d)
{
    std::vector<int> ids;
    HWND first = GetNextDlgTabItem(d, nullptr, FALSE), c = first;
    while (c != nullptr && ids.size() < 50) {
        ids.push_back(GetDlgCtrlID(c));
        c = GetNextDlgTabItem(d, c, FALSE);
        if (c == first) break;
    }
    return ids;
}

/* Alt and a letter, as typed: the dialog's own loop moves the focus. */
void Press_Mnemonic(char letter)
{
    PostMessageA(GetFocus(), WM_SYSCHAR, (WPARAM)letter, 0x20000001);
}

TEST_F(CleanUp, TheKeyboardReachesEveryControl)
{
    dk::Script s;
    s.On("Clean-Up", [&](HWND d) {
        std::vector<std::pair<char, HWND>> m = Mnemonics(d);
        EXPECT_EQ(16u, m.size());
        for (size_t i = 0; i < m.size(); i++)
            for (size_t j = i + 1; j < m.size(); j++)
                EXPECT_NE(m[i].first, m[j].first) << dk::Caption(m[i].second) << " / " << dk::Caption(m[j].second);
        EXPECT_EQ((std::vector<int>{ IDC_CU_ALERT, IDC_CU_SUSPEND, IDC_CU_BEEP, IDC_CU_DAYS, IDC_CU_HOURS, IDC_CU_MINUTES,
                                     IDC_CU_SECONDS, IDC_CU_MOVE, IDC_CU_TARGET, IDC_CU_BROWSE, IDC_CU_OVERWRITE,
                                     IDC_CU_LIMIT, IDC_CU_LIMIT_COUNT, IDC_CU_OK, IDCANCEL }),
                  Tab_Order(d)) << "Tab lands on the action in effect";
        EXPECT_EQ(IDC_CU_OK, LOWORD(SendMessageA(d, DM_GETDEFID, 0, 0))) << "Enter presses OK";
        SetFocus(GetDlgItem(d, IDC_CU_ALERT));
        Press_Mnemonic('y');
    });
    s.On("Clean-Up", [&](HWND d) {
        EXPECT_EQ(GetDlgItem(d, IDC_CU_DAYS), GetFocus()) << "Alt+Y: the days";
        Press_Mnemonic('i');
    });
    s.On("Clean-Up", [&](HWND d) {
        EXPECT_EQ(GetDlgItem(d, IDC_CU_LIMIT_COUNT), GetFocus()) << "Alt+I: the number of files";
        ek::Shot(d, "cleanup_move_to_done");
        dk::Click(d, IDCANCEL);
    });
    Run_Page(0, [&](Target &t) {
        t.afterAction = AFTER_MOVE_DONE;
        t.limitDoneFiles = TRUE;
        t.doneFileLimit = 50;
        t.keepSeconds = 3600;
        Copy_Field(t.doneDir, (home / "Done\\Plates").c_str());
    }, s);
}

TEST_F(CleanUp, Screenshots)
{
    struct { const char *name; int32_t action; } shots[] = {
        { "cleanup_pass_to_queue", 2 }, { "cleanup_delete", AFTER_DELETE }, { "cleanup_leave", AFTER_LEAVE },
        { "cleanup_pass_to_app_queue", 0 },
    };
    for (auto &shot : shots) {
        dk::Script s;
        s.On("Clean-Up", [&](HWND d) {
            ek::Shot(d, shot.name);
            dk::Click(d, IDCANCEL);
        });
        Run_Page(1, [&](Target &t) { t.afterAction = shot.action; t.keepSeconds = 90061; }, s);
    }
}

} // namespace
