/* The Job Settings page, driven as an operator drives it, alone, from the overview, and with the
   Multi-Job Settings page opened on its own copy. */
#include "queueedit/jobkit.h"
#include "queueedit/queuetext.h"

namespace {

class JobSettings : public jk::PageTest {};

const char k_BadExcludeDir[] = "The chosen Filter directory for excluded files is not a valid path name.  Please correct "
                               "the entry or select an existing directory using the chooser.";

TEST_F(JobSettings, ShowsTheQueuesSettings)
{
    /* queue 1 as it stands: every setting at its default */
    Target plain = Work(0);
    dk::Script s;
    s.On("Job Settings", [&](HWND d) {
        EXPECT_EQ("1", dk::Text(d, IDC_JS_COPIES));
        EXPECT_EQ((std::vector<std::string>{ "Highest", "High", "Above Normal", "Normal", "Below Normal", "Low", "Lowest" }),
                  dk::Items(d, IDC_JS_PRIORITY));
        EXPECT_EQ("Normal", dk::Selected(d, IDC_JS_PRIORITY));
        EXPECT_EQ((std::vector<std::string>{ "Suspended", "Not suspended" }), dk::Items(d, IDC_JS_STATE));
        EXPECT_EQ("Not suspended", dk::Selected(d, IDC_JS_STATE));
        for (int id : { IDC_JS_THUMBS_ALL, IDC_JS_THUMBS_ACTIVE, IDC_JS_HIDDEN, IDC_JS_GROUPING, IDC_JS_DELETE }) {
            EXPECT_FALSE(dk::Checked(d, id)) << id;
            EXPECT_TRUE(dk::Enabled(d, id)) << id;
        }
        EXPECT_FALSE(dk::Checked(d, IDC_JS_OPEN_ALWAYS));
        EXPECT_FALSE(dk::Checked(d, IDC_JS_OPEN_WRITE));
        EXPECT_TRUE(dk::Checked(d, IDC_JS_OPEN_READ));
        EXPECT_EQ("1", dk::Text(d, IDC_JS_COUNTDOWN));
        EXPECT_EQ("Process jobs individually.", dk::Text(d, IDC_JS_MULTI_TEXT));
        EXPECT_TRUE(dk::Checked(d, IDC_JS_INCLUDE));
        EXPECT_FALSE(dk::Checked(d, IDC_JS_EXCLUDE));
        EXPECT_EQ("", dk::Text(d, IDC_JS_EXTENSIONS));
        EXPECT_EQ("", dk::Text(d, IDC_JS_EXCLUDE_DIR));
        EXPECT_EQ(IDC_JS_COPIES, jk::Focus_Id());
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(0, Open_JobSettings(s, &plain));

    /* every setting away from its default; a stored initial state of 1 reads as suspended */
    Target set = Work(1);
    set.copies = 12;
    set.priority = 1;
    set.initialState = 1;
    set.thumbnailsWhenActive = TRUE;
    set.openFilePolicy = 0;
    set.jobGrouping = TRUE;
    set.countDown = 3;
    set.jobsAtATime = 3;
    set.timeoutSeconds = 125;
    set.timeoutAction = 1;
    set.filterFlags = 0x41;
    Copy_Field(set.filterExtensions, "tif;pdf");
    Copy_Field(set.excludeFilterDir, "D:\\Excluded");
    dk::Script s2;
    s2.On("Job Settings", [&](HWND d) {
        EXPECT_EQ("12", dk::Text(d, IDC_JS_COPIES));
        EXPECT_EQ("Highest", dk::Selected(d, IDC_JS_PRIORITY));
        EXPECT_EQ("Suspended", dk::Selected(d, IDC_JS_STATE));
        EXPECT_TRUE(dk::Checked(d, IDC_JS_THUMBS_ACTIVE));
        EXPECT_FALSE(dk::Enabled(d, IDC_JS_THUMBS_ALL)) << "no choice while only the active job shows one";
        EXPECT_TRUE(dk::Checked(d, IDC_JS_OPEN_ALWAYS));
        EXPECT_FALSE(dk::Checked(d, IDC_JS_OPEN_READ));
        EXPECT_TRUE(dk::Checked(d, IDC_JS_GROUPING));
        EXPECT_EQ("3", dk::Text(d, IDC_JS_COUNTDOWN));
        EXPECT_EQ("Wait up to 2:05 minutes for 3 jobs, then move waiting jobs to queue 2.", dk::Text(d, IDC_JS_MULTI_TEXT));
        EXPECT_FALSE(dk::Checked(d, IDC_JS_INCLUDE));
        EXPECT_TRUE(dk::Checked(d, IDC_JS_EXCLUDE));
        EXPECT_TRUE(dk::Checked(d, IDC_JS_DELETE));
        EXPECT_EQ("tif;pdf", dk::Text(d, IDC_JS_EXTENSIONS));
        EXPECT_EQ("D:\\Excluded", dk::Text(d, IDC_JS_EXCLUDE_DIR));
        dk::Screenshot(d, "jobsettings");
        dk::Click(d, IDOK);
    });
    Target before = set;
    EXPECT_EQ(0, Open_JobSettings(s2, &set));
    before.initialState = 7;
    EXPECT_EQ(0, memcmp(&before, &set, sizeof set)) << "OK untouched: only the state, written as 7";

    /* a hidden queue shows no thumbnails; one that suspends on error cannot be hidden */
    Target hidden = Work(2);
    hidden.hidden = TRUE;
    dk::Script s3;
    s3.On("Job Settings", [&](HWND d) {
        EXPECT_TRUE(dk::Checked(d, IDC_JS_HIDDEN));
        EXPECT_TRUE(dk::Enabled(d, IDC_JS_HIDDEN));
        EXPECT_FALSE(dk::Enabled(d, IDC_JS_THUMBS_ALL));
        EXPECT_FALSE(dk::Enabled(d, IDC_JS_THUMBS_ACTIVE));
        dk::Click(d, IDCANCEL);
    });
    Open_JobSettings(s3, &hidden);
    Target suspends = Work(2);
    suspends.suspendOnError = TRUE;
    dk::Script s4;
    s4.On("Job Settings", [&](HWND d) {
        EXPECT_FALSE(dk::Enabled(d, IDC_JS_HIDDEN));
        EXPECT_TRUE(dk::Enabled(d, IDC_JS_THUMBS_ALL));
        dk::Click(d, IDCANCEL);
    });
    Open_JobSettings(s4, &suspends);
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(JobSettings, OkUntouchedChangesNothing)
{
    for (int pos = 0; pos < targetCount; pos++) {
        SCOPED_TRACE(pos);
        Target work = Work(pos), before = work;
        dk::Script s;
        s.On("Job Settings", [](HWND d) { dk::Click(d, IDOK); });
        EXPECT_EQ(0, Open_JobSettings(s, &work));
        EXPECT_EQ(0, memcmp(&before, &work, sizeof work));
    }
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(JobSettings, OkTakesEveryControlAndNothingElse)
{
    Target work = Work(0), before = work;
    Copy_Field(work.includeFilterDir, "D:\\Included");    /* no control: left as it is */
    before = work;
    dk::Script s;
    s.On("Job Settings", [&](HWND d) {
        dk::Type(d, IDC_JS_COPIES, "25");
        dk::Choose(d, IDC_JS_PRIORITY, "Low");
        dk::Choose(d, IDC_JS_STATE, "Suspended");
        dk::Click(d, IDC_JS_THUMBS_ACTIVE);
        dk::Click(d, IDC_JS_HIDDEN);
        dk::Click(d, IDC_JS_OPEN_WRITE);
        dk::Click(d, IDC_JS_GROUPING);
        dk::Type(d, IDC_JS_COUNTDOWN, "0004");
        dk::Click(d, IDC_JS_EXCLUDE);
        dk::Click(d, IDC_JS_DELETE);
        dk::Type(d, IDC_JS_EXTENSIONS, ".tif .pdf");
        dk::Type(d, IDC_JS_EXCLUDE_DIR, "F");
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open_JobSettings(s, &work));
    EXPECT_EQ(0u, boxes.count());
    Target expected = before;
    expected.copies = 25;
    expected.priority = 6;
    expected.initialState = 7;
    expected.thumbnailsWhenActive = TRUE;
    expected.hidden = TRUE;
    expected.openFilePolicy = 1;
    expected.jobGrouping = TRUE;
    expected.countDown = 4;
    expected.filterFlags = 0x41;
    Copy_Field(expected.filterExtensions, ".tif .pdf");
    Copy_Field(expected.excludeFilterDir, "F:\\");
    EXPECT_EQ(0, memcmp(&expected, &work, sizeof work));
    EXPECT_EQ(25, work.copies);
    EXPECT_STREQ("F:\\", work.excludeFilterDir) << "a drive letter is its root";
}

/* A refused OK keeps the page open as typed and the working copy exactly as it was, even when
   the refusal comes after fields that were accepted. */
TEST_F(JobSettings, ARefusedOkLeavesTheWorkingCopyUntouched)
{
    struct Case { int id; const char *typed; std::string text; UINT icon; };
    const Case cases[] = {
        { IDC_JS_COPIES, "0", jk::Out_Of_Range(10000, 1), MB_ICONSTOP },
        { IDC_JS_COPIES, "10001", jk::Out_Of_Range(10000, 1), MB_ICONSTOP },
        { IDC_JS_COPIES, "many", jk::k_Invalid, MB_ICONSTOP },
        { IDC_JS_COUNTDOWN, "0", jk::Out_Of_Range(10000, 1), MB_ICONSTOP },
        { IDC_JS_COUNTDOWN, "10001", jk::Out_Of_Range(10000, 1), MB_ICONSTOP },
        { IDC_JS_COUNTDOWN, "-", jk::k_Invalid, MB_ICONSTOP },
        { IDC_JS_EXCLUDE_DIR, "Relative\\Excluded", k_BadExcludeDir, MB_ICONINFORMATION },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.id) + " \"" + c.typed + "\"");
        Target work = Work(1), before = work;
        boxes.boxes.clear();
        dk::Script s;
        s.On("Job Settings", [&](HWND d) {
            if (c.id != IDC_JS_COPIES) dk::Type(d, IDC_JS_COPIES, "7");     /* accepted, yet not kept */
            dk::Choose(d, IDC_JS_PRIORITY, "High");
            dk::Click(d, IDC_JS_DELETE);
            dk::Type(d, c.id, c.typed);
            dk::Click(d, IDOK);
            EXPECT_TRUE(IsWindowVisible(d)) << "the page stays open";
            EXPECT_EQ(c.typed, dk::Text(d, c.id)) << "with the text as typed";
            EXPECT_EQ(c.id, jk::Focus_Id());
            EXPECT_EQ(0, memcmp(&before, &work, sizeof work)) << "the working copy is untouched";
            dk::Type(d, c.id, c.id == IDC_JS_EXCLUDE_DIR ? "D:\\Excluded" : "9");
            dk::Click(d, IDOK);                          /* corrected: now it is taken */
        });
        EXPECT_EQ(0, Open_JobSettings(s, &work));
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ(c.text, boxes.last().text);
        EXPECT_EQ("Editor", boxes.last().caption);
        EXPECT_EQ(c.icon, tk::Icon_Of(boxes.last().flags));
        EXPECT_EQ(2, work.priority);
        EXPECT_EQ(0x40u, work.filterFlags);
        EXPECT_EQ(c.id == IDC_JS_COPIES ? 9 : 7, work.copies);
    }
}

TEST_F(JobSettings, ThumbnailChoicesFollowEachOther)
{
    Target work = Work(0);
    dk::Script s;
    s.On("Job Settings", [&](HWND d) {
        dk::Click(d, IDC_JS_THUMBS_ALL);
        dk::Click(d, IDC_JS_THUMBS_ACTIVE);
        EXPECT_FALSE(dk::Enabled(d, IDC_JS_THUMBS_ALL));
        dk::Click(d, IDC_JS_THUMBS_ACTIVE);
        EXPECT_TRUE(dk::Enabled(d, IDC_JS_THUMBS_ALL));
        EXPECT_TRUE(dk::Checked(d, IDC_JS_THUMBS_ALL)) << "as it was before";
        dk::Click(d, IDC_JS_HIDDEN);
        EXPECT_FALSE(dk::Enabled(d, IDC_JS_THUMBS_ALL));
        EXPECT_FALSE(dk::Enabled(d, IDC_JS_THUMBS_ACTIVE));
        dk::Click(d, IDC_JS_HIDDEN);
        EXPECT_TRUE(dk::Enabled(d, IDC_JS_THUMBS_ALL));
        EXPECT_TRUE(dk::Enabled(d, IDC_JS_THUMBS_ACTIVE));
        dk::Click(d, IDC_JS_THUMBS_ACTIVE);
        dk::Click(d, IDC_JS_HIDDEN);
        dk::Click(d, IDC_JS_HIDDEN);
        EXPECT_TRUE(dk::Enabled(d, IDC_JS_THUMBS_ACTIVE));
        EXPECT_FALSE(dk::Enabled(d, IDC_JS_THUMBS_ALL)) << "still only for the active job";
        dk::Click(d, IDOK);
    });
    Open_JobSettings(s, &work);
    EXPECT_TRUE(work.thumbnailsWhenActive);
    EXPECT_FALSE(work.hidden);
}

TEST_F(JobSettings, TheFilterOptionsAreBitsOfOneField)
{
    Target work = Work(0);
    work.filterFlags = 0x310;            /* bits 8 and 9: options this page does not show */
    dk::ChooserRecorder picks({ "", "D:\\Excluded" });
    dk::Script s;
    s.On("Job Settings", [&](HWND d) {
        auto flags = [&] { return ek::Page_Target(d)->filterFlags; };
        dk::Click(d, IDC_JS_DELETE);
        EXPECT_EQ(0x250u, flags()) << "ticked: the options it replaces go";
        EXPECT_TRUE(dk::Checked(d, IDC_JS_DELETE));
        dk::Click(d, IDC_JS_DELETE);
        EXPECT_EQ(0x290u, flags()) << "cleared: remembered";
        EXPECT_FALSE(dk::Checked(d, IDC_JS_DELETE));
        dk::Click(d, IDC_JS_EXCLUDE);
        EXPECT_EQ(0x291u, flags());
        EXPECT_FALSE(dk::Checked(d, IDC_JS_INCLUDE));
        dk::Click(d, IDC_JS_EXCLUDE);
        EXPECT_EQ(0x291u, flags()) << "the same mode again changes nothing";
        dk::Click(d, IDC_JS_INCLUDE);
        EXPECT_EQ(0x290u, flags());
        EXPECT_FALSE(dk::Checked(d, IDC_JS_EXCLUDE));
        dk::Type(d, IDC_JS_EXCLUDE_DIR, "D:\\Typed");
        dk::Click(d, IDC_JS_BROWSE);                     /* cancelled */
        EXPECT_EQ(0x290u, flags());
        EXPECT_EQ("D:\\Typed", dk::Text(d, IDC_JS_EXCLUDE_DIR));
        dk::Click(d, IDC_JS_BROWSE);
        EXPECT_EQ(0x2A0u, flags()) << "a directory has been chosen";
        EXPECT_EQ("D:\\Excluded", dk::Text(d, IDC_JS_EXCLUDE_DIR));
        dk::Click(d, IDOK);
    });
    Open_JobSettings(s, &work);
    ASSERT_EQ(2u, picks.calls.size());
    EXPECT_EQ(CHOOSE_FOLDER, picks.calls[0].kind);
    EXPECT_EQ("Exclude Filter Done Directory", picks.calls[0].title);
    EXPECT_EQ("D:\\Typed", picks.calls[0].path);
    EXPECT_EQ(0x2A0u, work.filterFlags);
    EXPECT_STREQ("D:\\Excluded", work.excludeFilterDir);
}

/* ---- with the Multi-Job Settings page ---- */

TEST_F(JobSettings, MultiJobCancelInsideAJobSettingsOk)
{
    Target work = Work(0), before = work;
    dk::Script s;
    s.On("Job Settings", [&](HWND d) {
        dk::Type(d, IDC_JS_COPIES, "3");
        dk::Click(d, IDC_JS_MULTI);
    });
    s.On("Multi-Job Settings", [&](HWND m) {
        EXPECT_EQ("1", dk::Text(m, IDC_MJ_JOBS));
        dk::Type(m, IDC_MJ_JOBS, "4");
        dk::Click(m, IDC_MJ_TIMEOUT);
        dk::Click(m, IDC_MJ_RECYCLE);
        dk::Click(m, IDCANCEL);
    });
    s.On("Job Settings", [&](HWND d) {
        EXPECT_EQ("Process jobs individually.", dk::Text(d, IDC_JS_MULTI_TEXT));
        EXPECT_EQ("3", dk::Text(d, IDC_JS_COPIES)) << "what was typed before stays";
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open_JobSettings(s, &work));
    Target expected = before;
    expected.copies = 3;
    EXPECT_EQ(0, memcmp(&expected, &work, sizeof work)) << "the copies, and nothing of the multi-job settings";
}

TEST_F(JobSettings, JobSettingsCancelAfterAMultiJobOk)
{
    Target work = Work(0), before = work;
    dk::Script s;
    s.On("Job Settings", [&](HWND d) { dk::Click(d, IDC_JS_MULTI); });
    s.On("Multi-Job Settings", [&](HWND m) {
        dk::Type(m, IDC_MJ_JOBS, "3");
        dk::Click(m, IDC_MJ_TIMEOUT);
        dk::Click(m, IDC_MJ_DELETE);
        dk::Click(m, IDOK);
    });
    s.On("Job Settings", [&](HWND d) {
        EXPECT_EQ("Wait up to 5:00 minutes for 3 jobs, then delete all waiting jobs.", dk::Text(d, IDC_JS_MULTI_TEXT));
        EXPECT_EQ(0, memcmp(&before, &work, sizeof work)) << "the Multi-Job OK reached only this page's copy";
        dk::Click(d, IDC_JS_MULTI);
    });
    s.On("Multi-Job Settings", [&](HWND m) {
        EXPECT_EQ("3", dk::Text(m, IDC_MJ_JOBS)) << "opened again on the page's copy";
        EXPECT_TRUE(dk::Checked(m, IDC_MJ_DELETE));
        dk::Click(m, IDCANCEL);
    });
    s.On("Job Settings", [&](HWND d) { dk::Click(d, IDCANCEL); });
    EXPECT_EQ(0, Open_JobSettings(s, &work));
    EXPECT_EQ(0, memcmp(&before, &work, sizeof work));
}

TEST_F(JobSettings, AMultiJobOkIsKeptByTheJobSettingsOk)
{
    Target work = Work(0), before = work;
    dk::Script s;
    s.On("Job Settings", [&](HWND d) { dk::Click(d, IDC_JS_MULTI); });
    s.On("Multi-Job Settings", [&](HWND m) {
        dk::Type(m, IDC_MJ_JOBS, "5");
        dk::Click(m, IDC_MJ_TIMEOUT);
        dk::Type(m, IDC_MJ_MINUTES, "2");
        dk::Type(m, IDC_MJ_SECONDS, "5");
        dk::Click(m, IDC_MJ_PASS);
        dk::Type(m, IDC_MJ_TARGET, "proofer");
        dk::Click(m, IDC_MJ_FORCE);
        dk::Click(m, IDOK);
    });
    s.On("Job Settings", [&](HWND d) {
        EXPECT_EQ("Wait up to 2:05 minutes for 5 jobs, then move waiting jobs to queue 3.", dk::Text(d, IDC_JS_MULTI_TEXT));
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open_JobSettings(s, &work));
    Target expected = before;
    expected.jobsAtATime = 5;
    expected.timeoutSeconds = 125;
    expected.timeoutAction = 2;
    expected.forceOverwriteTimeout = !before.forceOverwriteTimeout;
    EXPECT_EQ(0, memcmp(&expected, &work, sizeof work));
}

/* ---- from the overview ---- */

TEST_F(JobSettings, TheOverviewOpensItAndCommitsWhatItChose)
{
    targets[1].thumbnailsOnArrival = TRUE;
    dk::Script s;
    s.On("Overview", [&](HWND d) {
        EXPECT_EQ("Default priority is 'Normal'.", dk::Text(d, IDC_OV_JOBS_TEXT));
        dk::Click(d, IDC_OV_JOBS);
    });
    s.On("Job Settings", [&](HWND d) {
        dk::Type(d, IDC_JS_COPIES, "2");
        dk::Choose(d, IDC_JS_STATE, "Suspended");
        dk::Click(d, IDC_JS_THUMBS_ACTIVE);
        dk::Click(d, IDC_JS_MULTI);
    });
    s.On("Multi-Job Settings", [&](HWND m) {
        dk::Type(m, IDC_MJ_JOBS, "3");
        dk::Click(m, IDOK);
    });
    s.On("Job Settings", [&](HWND d) { dk::Click(d, IDOK); });
    s.On("Overview", [&](HWND d) {
        EXPECT_EQ("Suspend jobs on arrival., run 2 copies per job. Default priority is 'Normal'. Process 3 jobs at a time.",
                  dk::Text(d, IDC_OV_JOBS_TEXT));
        dk::Click(d, IDC_OV_OK);
    });
    EXPECT_EQ(0, Open_Overview(s, 1));
    EXPECT_EQ(0u, boxes.count());
    EXPECT_EQ(2, targets[1].copies);
    EXPECT_EQ(7, targets[1].initialState);
    EXPECT_EQ(3, targets[1].jobsAtATime);
    EXPECT_EQ(TIMEOUT_NEVER, targets[1].timeoutAction);
    EXPECT_TRUE(targets[1].thumbnailsWhenActive);
    EXPECT_FALSE(targets[1].thumbnailsOnArrival) << "committed in the form the queues file keeps";
}

TEST_F(JobSettings, ByKeyboard)
{
    Target work = Work(0);
    dk::Script s;
    s.On("Job Settings", [&](HWND d) {
        EXPECT_EQ((std::vector<int>{ IDC_JS_COPIES, IDC_JS_PRIORITY, IDC_JS_STATE, IDC_JS_THUMBS_ALL, IDC_JS_THUMBS_ACTIVE,
                                     IDC_JS_HIDDEN, IDC_JS_OPEN_READ, IDC_JS_GROUPING, IDC_JS_COUNTDOWN, IDC_JS_MULTI,
                                     IDC_JS_INCLUDE, IDC_JS_DELETE, IDC_JS_EXTENSIONS, IDC_JS_EXCLUDE_DIR, IDC_JS_BROWSE,
                                     IDOK, IDCANCEL }),
                  jk::Tab_Order(d));
        jk::Expect_Unique_Mnemonics(d);
        jk::Expect_Mnemonics_Lead(d, { { 'r', IDC_JS_PRIORITY }, { 't', IDC_JS_STATE }, { 'u', IDC_JS_COUNTDOWN },
                                       { 'm', IDC_JS_MULTI }, { 's', IDC_JS_EXTENSIONS }, { 'p', IDC_JS_EXCLUDE_DIR },
                                       { 'c', IDC_JS_COPIES } });
        jk::Key(d, WM_SYSCHAR, 'w');                     /* a radio button: chosen */
        EXPECT_TRUE(dk::Checked(d, IDC_JS_OPEN_WRITE));
        jk::Key(d, WM_SYSCHAR, 'g');                     /* a check box: ticked */
        EXPECT_TRUE(dk::Checked(d, IDC_JS_GROUPING));
        dk::Type(d, IDC_JS_COPIES, "4");
        jk::Key(d, WM_KEYDOWN, VK_RETURN);
    });
    EXPECT_EQ(0, Open_JobSettings(s, &work));
    EXPECT_EQ(4, work.copies);
    EXPECT_EQ(1, work.openFilePolicy);
    EXPECT_TRUE(work.jobGrouping);

    Target before = work;
    dk::Script esc;
    esc.On("Job Settings", [&](HWND d) {
        jk::Key(d, WM_SYSCHAR, 'x');
        EXPECT_TRUE(dk::Checked(d, IDC_JS_EXCLUDE));
        jk::Key(d, WM_SYSCHAR, 'm');
        EXPECT_EQ(IDC_JS_MULTI, jk::Focus_Id());
        jk::Key(d, WM_KEYDOWN, VK_RETURN);              /* Enter on "Change..." presses it */
    });
    esc.On("Multi-Job Settings", [&](HWND m) { jk::Key(m, WM_KEYDOWN, VK_ESCAPE); });
    esc.On("Job Settings", [&](HWND d) { jk::Key(d, WM_KEYDOWN, VK_ESCAPE); });
    EXPECT_EQ(0, Open_JobSettings(esc, &work));
    EXPECT_EQ(0, memcmp(&before, &work, sizeof work));
}

TEST_F(JobSettings, EachPageOpenedWithoutARecordSaysSoAndCloses)
{
    struct Case { int templ; DLGPROC proc; const char *text; };
    const Case cases[] = {
        { IDD_JOBSETTINGS, QueueJobSettings_Dlg,
          "Queue Job Settings dialog called but no target pointer passed in.  Cannot show dialog" },
        { IDD_THUMBDIR, QueueLowResImageDir_Dlg,
          "Queue Low Res Images Dir dialog called but no target pointer passed in.  Cannot show dialog" },
        { IDD_MULTIJOB, QueueMultiJobSettings_Dlg,
          "Queue Multi Job Settings dialog called but no target pointer passed in.  Cannot show dialog" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        boxes.boxes.clear();
        dk::Script none;
        EXPECT_EQ(0, none.Run([&] { return DialogBoxParamA(hInstance, MAKEINTRESOURCEA(c.templ), nullptr, c.proc, 0); }));
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ(c.text, boxes.last().text);
        EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
    }
}

} // namespace
