/* The queue editor's frame, "Overview", driven as an operator drives it. */
#include "queueedit/editkit.h"
#include "queueedit/targetwork.h"

namespace {

using ek::EditorTest;

class Overview : public EditorTest {};

const int k_Buttons[] = { IDC_OV_INPUTS, IDC_OV_THUMBS, IDC_OV_JOBS, IDC_OV_PROCS, IDC_OV_RTI, IDC_OV_CLEANUP, IDC_OV_IDENTITY };

TEST_F(Overview, AQueueWithEveryAspectSetIsSummedUp)
{
    Set_EveryAspect(0);
    Target before = targets[0];
    dk::Script s;
    s.On("Overview", [&](HWND d) {
        EXPECT_EQ("Plate Setter 1", dk::Text(d, IDC_OV_NAME));
        std::string inputs = dk::Text(d, IDC_OV_INPUTS_TEXT);
        EXPECT_EQ(0u, inputs.find("Get jobs to queue from the directory:\n")) << inputs;
        EXPECT_NE(std::string::npos, inputs.find("Plate Setter 1\nand its sub-directories.")) << inputs;
        EXPECT_EQ(0u, dk::Text(d, IDC_OV_THUMBS_TEXT).find("Get thumbnail images from the directory:\n"));
        EXPECT_EQ("Suspend jobs on arrival., run 2 copies per job. Default priority is 'High'. Process 3 jobs at a time.",
                  dk::Text(d, IDC_OV_JOBS_TEXT));
        EXPECT_EQ(0u, dk::Text(d, IDC_OV_PROCS_TEXT).find("Run the process:\n"));
        EXPECT_EQ(0u, dk::Text(d, IDC_OV_RTI_TEXT).find("Using the file:\n"));
        EXPECT_EQ("Pass jobs to \"Proofer\".", dk::Text(d, IDC_OV_CLEANUP_TEXT));
        EXPECT_EQ("Member of the \"Platesetters\" group, \nwith output identity \"CTP-1\".\n", dk::Text(d, IDC_OV_IDENTITY_TEXT));
        ek::Shot(d, "overview_every_aspect");
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(-1, Open_Overview(s, 0));
    EXPECT_EQ(0, memcmp(&before, &targets[0], sizeof before)) << "Cancel changes nothing";
}

TEST_F(Overview, ANewQueueStartsFromTheDefaultsAndNeedsAName)
{
    dk::Script s;
    s.On("Overview", [&](HWND d) {
        EXPECT_EQ(NEW_TARGET_NAME, dk::Text(d, IDC_OV_NAME));
        std::string inputs = dk::Text(d, IDC_OV_INPUTS_TEXT);
        EXPECT_EQ(0u, inputs.find("Get jobs to queue from the directory:\nC:\\...")) << "shortened to its place: " << inputs;
        EXPECT_EQ(inputs.size() - 25, inputs.find("\\Hot Folders\\Hot Folder 5")) << inputs;
        EXPECT_EQ("No thumbnail image directory specified.", dk::Text(d, IDC_OV_THUMBS_TEXT));
        EXPECT_EQ("Default priority is 'Normal'.", dk::Text(d, IDC_OV_JOBS_TEXT));
        EXPECT_EQ("No processes.", dk::Text(d, IDC_OV_PROCS_TEXT));
        EXPECT_EQ("No parameters.", dk::Text(d, IDC_OV_RTI_TEXT));
        EXPECT_EQ("Leave jobs where they are.", dk::Text(d, IDC_OV_CLEANUP_TEXT));
        EXPECT_EQ("This queue runs independently of all others.", dk::Text(d, IDC_OV_IDENTITY_TEXT));
        ek::Shot(d, "overview_new_queue");
        dk::Click(d, IDC_OV_OK);
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ("You must enter a name for this queue before continuing.", boxes.last().text);
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(-1, Open_Overview(s, targetCount));
    EXPECT_EQ(4, targetCount);
}

TEST_F(Overview, EverySectionHasItsChangeButtonEnabled)
{
    dk::Script s;
    s.On("Overview", [&](HWND d) {
        for (int id : k_Buttons) {
            SCOPED_TRACE(id);
            EXPECT_TRUE(dk::Visible(d, id));
            EXPECT_EQ("Change...", dk::Text(d, id));
        }
        for (int id : k_Buttons) EXPECT_TRUE(dk::Enabled(d, id)) << id;
        dk::Click(d, IDCANCEL);
    });
    Open_Overview(s, 1);
}

/* ---- committing ---- */

struct Refusal {
    const char *name;
    int pos;                                   /* -1: a new queue */
    std::function<void(Target &)> set;         /* on the queue before the editor opens */
    std::string typed;
    const char *text;
    UINT icon;
    bool beep;
};

const char k_NoName[] = "You must enter a name for this queue before continuing.";
const char k_BadChar[] = "The name of a queue cannot contain any of the following characters: / \\ \" : * ? < > |";

std::vector<Refusal> Refusals()
{
    auto none = [](Target &) {};
    std::vector<Refusal> list = {
        { "the new-queue name", -1, none, NEW_TARGET_NAME, k_NoName, MB_ICONERROR, true },
        { "the new-queue name within blanks", -1, none, "  " NEW_TARGET_NAME " ", k_NoName, MB_ICONERROR, true },
        { "no name", 0, none, "", k_NoName, MB_ICONERROR, true },
        { "blanks alone", 0, none, "    ", k_NoName, MB_ICONERROR, true },
        { "a hot directory that is no path", 0, [](Target &t) { Copy_Field(t.hotDir, "Relative\\Nowhere"); }, "Plates",
          "The chosen hot directory is not a valid path name.  Please correct the entry or select an existing directory "
          "using the chooser.", MB_ICONINFORMATION, false },
        { "an empty hot directory", 0, [](Target &t) { t.hotDir[0] = '\0'; }, "Plates",
          "The chosen hot directory is not a valid path name.  Please correct the entry or select an existing directory "
          "using the chooser.", MB_ICONINFORMATION, false },
        { "processes to run but none chosen", 0, [](Target &t) { t.processRef = NO_PROCESSES; }, "Plates",
          "You have no applications configured.  Cannot save this queue.", MB_ICONERROR, true },
        { "the name of another queue in other letters", 0, none, "plate SETTER 2",
          "This queue has the same name as queue 2.  Cannot save this queue.", MB_ICONERROR, true },
    };
    for (char c : std::string("/\\\":*?<>|"))
        list.push_back({ "a forbidden character", 1, none, std::string("Plates") + c + "Proofs", k_BadChar, MB_ICONERROR, true });
    return list;
}

TEST_F(Overview, ACommitThatFailsACheckIsRefusedAndTheDialogStaysAsTyped)
{
    for (const Refusal &c : Refusals()) {
        SCOPED_TRACE(std::string(c.name) + ": \"" + c.typed + "\"");
        int pos = c.pos < 0 ? targetCount : c.pos;
        if (c.pos >= 0) c.set(targets[pos]);
        std::vector<Target> before(targets, targets + MAX_TARGETS);
        int count = targetCount;
        boxes.boxes.clear();
        boxes.beeps.clear();
        dk::Script s;
        s.On("Overview", [&](HWND d) {
            dk::Type(d, IDC_OV_NAME, c.typed);
            dk::Click(d, IDC_OV_OK);
            EXPECT_TRUE(IsWindowVisible(d)) << "the editor stays open";
            EXPECT_EQ(c.typed, dk::Text(d, IDC_OV_NAME)) << "with the name as typed";
            dk::Click(d, IDCANCEL);
        });
        EXPECT_EQ(-1, Open_Overview(s, pos));
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ(c.text, boxes.last().text);
        EXPECT_EQ("Editor", boxes.last().caption);
        EXPECT_EQ(c.icon, tk::Icon_Of(boxes.last().flags));
        EXPECT_EQ(c.beep, !boxes.beeps.empty());
        EXPECT_EQ(count, targetCount);
        EXPECT_EQ(0, memcmp(before.data(), targets, sizeof targets)) << "the queues are as they were";
        SetUp();                                   /* the next case starts from the installation again */
    }
}

TEST_F(Overview, OkCommitsTheWorkingCopyNormalised)
{
    Target before = targets[1];
    targets[1].noProcesses = TRUE;           /* a queue that runs no processes names none */
    dk::Script s;
    s.On("Overview", [&](HWND d) {
        dk::Type(d, IDC_OV_NAME, "  Plate Setter Two  ");
        dk::Click(d, IDC_OV_OK);
    });
    EXPECT_EQ(0, Open_Overview(s, 1));
    EXPECT_EQ(0u, boxes.count());
    EXPECT_STREQ("Plate Setter Two", targets[1].name) << "leading and trailing blanks go";
    EXPECT_EQ(NO_PROCESSES, targets[1].processRef);
    Target expected = before;
    Copy_Field(expected.name, "Plate Setter Two");
    expected.noProcesses = TRUE;
    expected.processRef = NO_PROCESSES;
    EXPECT_EQ(0, memcmp(&expected, &targets[1], sizeof expected)) << "nothing else changed";
    EXPECT_EQ(4, targetCount);
}

TEST_F(Overview, OkUntouchedGivesTheQueueBackAsItWas)
{
    for (int pos = 0; pos < targetCount; pos++) {
        SCOPED_TRACE(pos);
        Target before = targets[pos];
        dk::Script s;
        s.On("Overview", [](HWND d) { dk::Click(d, IDC_OV_OK); });
        EXPECT_EQ(0, Open_Overview(s, pos));
        Target after = targets[pos];
        EXPECT_TRUE(before.icon == nullptr ? after.icon == nullptr : ek::Icon_Alive(after.icon));
        after.icon = before.icon;
        EXPECT_EQ(0, memcmp(&before, &after, sizeof before));
    }
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(Overview, ANewQueueIsAppendedWithTheDefaults)
{
    dk::Script s;
    s.On("Overview", [&](HWND d) {
        dk::Type(d, IDC_OV_NAME, "Film Setter");
        dk::Click(d, IDC_OV_INPUTS);
    });
    s.On("Inputs", [&](HWND d) { dk::Click(d, IDOK); });
    s.On("Overview", [&](HWND d) {
        boxes.answers = {};
        dk::Click(d, IDC_OV_OK);
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ("You have no applications configured.  Cannot save this queue.", boxes.last().text)
            << "a new queue has no processes chosen yet";
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(-1, Open_Overview(s, targetCount));
    EXPECT_EQ(4, targetCount);

    /* with its processes chosen (as the Processes page does) it is committed at the end */
    Target work;
    Open_TargetWork(Editor_Position(targetCount), &work);
    EXPECT_STREQ(NEW_TARGET_NAME, work.name);
    work.processRef = 0;
    char name[TEXT_LEN];
    EXPECT_FALSE(Check_TargetWork(&work, targetCount, "archive", name, sizeof name));
    EXPECT_EQ("This queue has the same name as queue 4.  Cannot save this queue.", boxes.last().text);
    boxes.boxes.clear();
    ASSERT_TRUE(Check_TargetWork(&work, targetCount, " Film Setter", name, sizeof name));
    Copy_Field(work.name, name);
    Commit_TargetWork(&work, targetCount);
    EXPECT_EQ(0u, boxes.count());
    ASSERT_EQ(5, targetCount);
    const Target &t = targets[4];
    EXPECT_STREQ("Film Setter", t.name);
    EXPECT_EQ(home / "Hot Folders\\Hot Folder 5", t.hotDir);
    EXPECT_EQ(-1, t.loadIndex);
    EXPECT_EQ(4, t.slotIndex);
    EXPECT_EQ(4, t.priority);
    EXPECT_EQ(AFTER_LEAVE, t.afterAction);
    EXPECT_EQ(home / "Done", t.doneDir);
    EXPECT_EQ(home / "Timed Out Waiting", t.timeoutDir);
    EXPECT_EQ(5, t.keepSeconds);
    EXPECT_EQ(2, t.openFilePolicy);
    EXPECT_STREQ("Plate Setter 1", targets[0].name) << "the queues before it stay";
}

TEST_F(Overview, APositionAboveTheQueuesOpensTheFirst)
{
    dk::Script s;
    s.On("Overview", [](HWND d) {
        EXPECT_EQ("Plate Setter 1", dk::Text(d, IDC_OV_NAME));
        dk::Click(d, IDCANCEL);
    });
    Open_Overview(s, 9);
    Reset_Configuration();
    dk::Script none;
    none.On("Overview", [](HWND d) {
        EXPECT_EQ(NEW_TARGET_NAME, dk::Text(d, IDC_OV_NAME)) << "without queues: a new one";
        dk::Click(d, IDCANCEL);
    });
    Open_Overview(none, 3);
}

TEST_F(Overview, NoNewQueueWhenTheQueuesAreFull)
{
    lbqCount = MAX_QUEUES - targetCount;
    dk::Script s;
    EXPECT_EQ(-1, Open_Overview(s, targetCount));
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("The maximum number of queues (200) has been reached", boxes.last().text);
    EXPECT_EQ(4, targetCount);
    lbqCount = 0;
}

TEST_F(Overview, AMissingParameterFileIsToldAndTheQueueCommitted)
{
    Copy_Field(targets[0].parameters, (home / "Params\\missing.txt").c_str());
    targets[0].parametersIsFile = TRUE;
    dk::Script s;
    s.On("Overview", [](HWND d) { dk::Click(d, IDC_OV_OK); });
    EXPECT_EQ(0, Open_Overview(s, 0));
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("The chosen parameter file has not been recognised.  This file does not exist. This will be saved as a "
              "string only.", boxes.last().text);
    EXPECT_EQ(MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
    EXPECT_EQ(home / "Params\\missing.txt", targets[0].parameters);
}

TEST_F(Overview, AQueueThatRunsMonitorProcessesNeedsNoHotDirectory)
{
    targets[3].monitorProcesses = TRUE;
    Copy_Field(targets[3].hotDir, "not a path");
    dk::Script s;
    s.On("Overview", [](HWND d) {
        EXPECT_EQ("Get jobs to queue from the directory:\nMonitor", dk::Text(d, IDC_OV_INPUTS_TEXT));
        dk::Click(d, IDC_OV_OK);
    });
    EXPECT_EQ(0, Open_Overview(s, 3));
    EXPECT_EQ(0u, boxes.count());
    EXPECT_STREQ("Monitor", targets[3].hotDir);

    Copy_Field(targets[3].hotDir, "X:\\Spool\\Monitor Queue");
    dk::Script keep;
    keep.On("Overview", [](HWND d) { dk::Click(d, IDC_OV_OK); });
    EXPECT_EQ(0, Open_Overview(keep, 3));
    EXPECT_STREQ("X:\\Spool\\Monitor Queue", targets[3].hotDir) << "a hot directory that names the monitor stays";
}

TEST_F(Overview, AHiddenQueueDoesNotSuspendOnError)
{
    targets[2].hidden = TRUE;
    targets[2].suspendOnError = TRUE;
    dk::Script s;
    s.On("Overview", [](HWND d) { dk::Click(d, IDC_OV_OK); });
    EXPECT_EQ(0, Open_Overview(s, 2));
    EXPECT_TRUE(targets[2].hidden);
    EXPECT_FALSE(targets[2].suspendOnError);
}

/* ---- the icon the working copy holds ---- */

TEST_F(Overview, TheQueueIconIsTheEditorsOwnUntilCommittedOrDropped)
{
    HICON original = targets[0].icon;
    HICON during = nullptr;
    dk::Script cancel;
    cancel.On("Overview", [&](HWND d) {
        dk::Click(d, IDC_OV_INPUTS);
    });
    cancel.On("Inputs", [&](HWND d) {
        during = ek::Page_Target(d)->icon;     /* the page copy holds the working copy's icon */
        dk::Click(d, IDCANCEL);
    });
    cancel.On("Overview", [](HWND d) { dk::Click(d, IDCANCEL); });
    Open_Overview(cancel, 0);
    ASSERT_NE(nullptr, during);
    EXPECT_NE(original, during) << "the working copy extracts an icon of its own";
    EXPECT_FALSE(ek::Icon_Alive(during)) << "dropped with the working copy";
    EXPECT_EQ(original, targets[0].icon);
    EXPECT_TRUE(ek::Icon_Alive(original));

    dk::Script ok;
    ok.On("Overview", [&](HWND d) { dk::Click(d, IDC_OV_OK); });
    Open_Overview(ok, 0);
    EXPECT_NE(original, targets[0].icon);
    EXPECT_TRUE(ek::Icon_Alive(targets[0].icon)) << "the slot holds the committed icon";
    EXPECT_FALSE(ek::Icon_Alive(original)) << "the one it replaced is gone";
}

TEST_F(Overview, AnIconChangedOnTheInputsPageIsCommittedWithTheQueue)
{
    dk::ChooserRecorder picks({ ek::Icon_File("blue.ico"), ek::Icon_File("green.ico") });
    HICON first = nullptr, second = nullptr;
    dk::Script s;
    s.On("Overview", [](HWND d) { dk::Click(d, IDC_OV_INPUTS); });
    s.On("Inputs", [&](HWND d) {
        dk::Click(d, IDC_IN_CHANGE_ICON);
        first = ek::Page_Target(d)->icon;
        dk::Click(d, IDOK);
    });
    s.On("Overview", [&](HWND d) {
        ek::Shot(d, "overview_after_inputs");
        dk::Click(d, IDC_OV_INPUTS);
    });
    s.On("Inputs", [&](HWND d) {
        dk::Click(d, IDC_IN_CHANGE_ICON);
        second = ek::Page_Target(d)->icon;
        dk::Click(d, IDOK);
    });
    s.On("Overview", [&](HWND d) {
        EXPECT_FALSE(ek::Icon_Alive(first)) << "the icon the second change replaced is gone";
        dk::Click(d, IDC_OV_OK);
    });
    EXPECT_EQ(0, Open_Overview(s, 3));
    EXPECT_EQ(ek::Icon_File("green.ico"), targets[3].iconPath);
    EXPECT_EQ(second, targets[3].icon);
    EXPECT_TRUE(ek::Icon_Alive(second));
}

/* ---- the mutex group ---- */

TEST_F(Overview, TheSwitchOfAGroupReachesItsQueuesAtOnceAndStaysAfterCancel)
{
    targets[2].switchIfIdle = TRUE;                    /* "Proofers": another group */
    dk::Script s;
    s.On("Overview", [](HWND d) { dk::Click(d, IDC_OV_IDENTITY); });
    s.On("Identity", [](HWND d) {
        EXPECT_FALSE(dk::Checked(d, IDC_ID_SWITCH));
        dk::Click(d, IDC_ID_SWITCH);
        dk::Click(d, IDOK);
    });
    s.On("Overview", [](HWND d) {
        EXPECT_TRUE(targets[0].switchIfIdle) << "the queue's own slot is in its group too";
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(-1, Open_Overview(s, 0));
    EXPECT_TRUE(targets[0].switchIfIdle);
    EXPECT_FALSE(targets[1].switchIfIdle) << "\"platesetters\" is spelt otherwise: another group";
    EXPECT_TRUE(targets[2].switchIfIdle);
    EXPECT_FALSE(targets[3].switchIfIdle);
}

TEST_F(Overview, QueuesInNoGroupAreNoGroup)
{
    targets[2].mutexGroup[0] = '\0';                  /* Proofer and Archive: no group */
    targets[2].switchIfIdle = TRUE;
    targets[3].switchIfIdle = TRUE;
    dk::Script s;
    s.On("Overview", [](HWND d) { dk::Click(d, IDC_OV_IDENTITY); });
    s.On("Identity", [](HWND d) { dk::Click(d, IDOK); });
    s.On("Overview", [](HWND d) { dk::Click(d, IDCANCEL); });
    Open_Overview(s, 3);
    EXPECT_TRUE(targets[2].switchIfIdle);
    EXPECT_TRUE(targets[3].switchIfIdle) << "an empty group name reaches no other queue";
}

TEST_F(Overview, APageRebuildsTheSummariesWhateverItsResult)
{
    dk::Script s;
    s.On("Overview", [](HWND d) { dk::Click(d, IDC_OV_IDENTITY); });
    s.On("Identity", [](HWND d) {
        ek::Type_Box(d, IDC_ID_MUTEX, "Night Shift");
        dk::Click(d, IDOK);
    });
    s.On("Overview", [](HWND d) {
        EXPECT_EQ("Member of the \"Night Shift\" group, \nwith output identity \"CTP-1\".\n", dk::Text(d, IDC_OV_IDENTITY_TEXT));
        dk::Click(d, IDC_OV_INPUTS);
    });
    s.On("Inputs", [](HWND d) {
        dk::Type(d, IDC_IN_PATH, "D:\\Night");
        dk::Click(d, IDC_IN_SUBDIRS);
        dk::Click(d, IDOK);
    });
    s.On("Overview", [](HWND d) {
        EXPECT_EQ("Get jobs to queue from the directory:\nD:\\Night\nand its sub-directories.", dk::Text(d, IDC_OV_INPUTS_TEXT));
        dk::Click(d, IDC_OV_INPUTS);
    });
    s.On("Inputs", [](HWND d) {
        dk::Type(d, IDC_IN_PATH, "E:\\Day");
        dk::Click(d, IDCANCEL);
    });
    s.On("Overview", [](HWND d) {
        EXPECT_EQ("Get jobs to queue from the directory:\nD:\\Night\nand its sub-directories.", dk::Text(d, IDC_OV_INPUTS_TEXT));
        dk::Click(d, IDC_OV_OK);
    });
    EXPECT_EQ(0, Open_Overview(s, 0));
    EXPECT_STREQ("Night Shift", targets[0].mutexGroup);
    EXPECT_STREQ("D:\\Night", targets[0].hotDir);
    EXPECT_TRUE(targets[0].includeSubdirs);
}

/* ---- keyboard ---- */

TEST_F(Overview, EnterInTheNameKeepsTheEditorOpenAndEscapeCancels)
{
    dk::Script s;
    s.On("Overview", [](HWND d) {
        dk::Type(d, IDC_OV_NAME, "Plates Night");
        ek::Press_Key(VK_RETURN);
    });
    s.On("Overview", [](HWND d) {
        EXPECT_EQ("Plates Night", dk::Text(d, IDC_OV_NAME));
        ek::Press_Key(VK_ESCAPE);
    });
    EXPECT_EQ(-1, Open_Overview(s, 0));
    EXPECT_STREQ("Plate Setter 1", targets[0].name);
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(Overview, EnterOnAFocusedButtonPressesIt)
{
    dk::Script s;
    s.On("Overview", [](HWND d) {
        SendMessageA(d, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(d, IDC_OV_OK), TRUE);
        ek::Press_Key(VK_RETURN);
    });
    EXPECT_EQ(0, Open_Overview(s, 0));
}

/* ---- opened on a page ---- */

/* The page asked for is open over the overview, and the overview waits under it. */
void Expect_Over_Overview(HWND page)
{
    HWND overview = GetWindow(page, GW_OWNER);
    EXPECT_EQ("Overview", dk::Caption(overview));
    EXPECT_FALSE(IsWindowEnabled(overview)) << "the page is modal over the overview";
}

TEST_F(Overview, OpenedOnAPageTheOperatorIsThereAndAfterItInTheOverview)
{
    const struct { QUEUE_PAGE page; const char *caption; } cases[] = {
        { QPAGE_INPUTS, "Inputs" },
        { QPAGE_THUMBDIR, "Thumbnail Image Directory" },
        { QPAGE_JOBSETTINGS, "Job Settings" },
        { QPAGE_PROCESSES, "Processes" },
        { QPAGE_INSTRUCTIONS, "Process Instructions" },
        { QPAGE_CLEANUP, "Clean-Up" },
        { QPAGE_IDENTITY, "Identity" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.caption);
        Target before = targets[1];
        bool inOverview = false;
        dk::Script s;
        s.On(c.caption, [&](HWND d) {
            Expect_Over_Overview(d);
            dk::Click(d, IDCANCEL);
        });
        s.On("Overview", [&](HWND d) {
            inOverview = true;
            EXPECT_EQ("Plate Setter 2", dk::Text(d, IDC_OV_NAME));
            dk::Click(d, IDCANCEL);
        });
        EXPECT_EQ(-1, s.Run([&] { return (INT_PTR)Edit_TargetOnPage(nullptr, 1, c.page); }));
        EXPECT_TRUE(inOverview);
        EXPECT_EQ(0, memcmp(&before, &targets[1], sizeof before));
    }
}

TEST_F(Overview, OpenedOnMultiJobSettingsItGoesThroughJobSettingsAndCommitsAsUsual)
{
    Target before = targets[1];
    dk::Script s;
    s.On("Multi-Job Settings", [&](HWND m) {
        HWND jobs = GetWindow(m, GW_OWNER);
        EXPECT_EQ("Job Settings", dk::Caption(jobs));
        Expect_Over_Overview(jobs);
        dk::Type(m, IDC_MJ_JOBS, "5");
        dk::Click(m, IDOK);
    });
    s.On("Job Settings", [](HWND d) { dk::Click(d, IDOK); });
    s.On("Overview", [](HWND d) { dk::Click(d, IDC_OV_OK); });
    EXPECT_EQ(0, s.Run([&] { return (INT_PTR)Edit_TargetOnPage(nullptr, 1, QPAGE_MULTIJOB); }));
    EXPECT_EQ(0u, boxes.count()) << (boxes.count() ? boxes.last().text : "");
    EXPECT_EQ(5, targets[1].jobsAtATime);
    Target expected = before;
    expected.jobsAtATime = 5;
    EXPECT_EQ("", mk::Target_Differences(expected, targets[1]));
}

TEST_F(Overview, OpenedOnNoPageOfItsOwnItShowsTheOverviewAlone)
{
    for (QUEUE_PAGE page : { QPAGE_NONE, QPAGE_OVERVIEW, QPAGE_INPUTQUEUE, QPAGE_PREFERENCES }) {
        SCOPED_TRACE((int)page);
        dk::Script s;
        s.On("Overview", [](HWND d) {
            EXPECT_TRUE(IsWindowEnabled(d)) << "no page over it";
            dk::Click(d, IDC_OV_OK);
        });
        EXPECT_EQ(0, s.Run([&] { return (INT_PTR)Edit_TargetOnPage(nullptr, 0, page); }));
    }
}

TEST_F(Overview, OpenedOnAPageForANewQueueTheQueueStillNeedsAName)
{
    int count = targetCount;
    dk::Script s;
    s.On("Clean-Up", [](HWND d) { dk::Click(d, IDCANCEL); });
    s.On("Overview", [](HWND d) { dk::Click(d, IDCANCEL); });
    EXPECT_EQ(-1, s.Run([&] { return (INT_PTR)Edit_TargetOnPage(nullptr, targetCount, QPAGE_CLEANUP); }));
    EXPECT_EQ(count, targetCount);
}

} // namespace
