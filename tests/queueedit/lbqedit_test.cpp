/* The input queue editor: its window-free rules, and the real dialog driven under the virtual
   display on a small configuration (three output queues, one input queue). */
#include "support/testkit.h"
#include "support/modelkit.h"
#include "support/dlgkit.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/text.h"
#include "config/lbfile.h"
#include "config/model.h"
#include "config/newdirs.h"
#include "config/setup.h"
#include "queueedit/lbqedit.h"
#include "queueedit/lbqlogic.h"
#include "queueedit/targetchoices.h"
#include "lists/queuelists.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <set>

namespace {

/* ---- window-free rules ---- */

LBQ Rules(int id, int group, int reassign)
{
    LBQ q;
    memset(&q, 0, sizeof q);
    q.fileGroupIdRule = (uint8_t)id;
    q.fileGroupRule = (uint8_t)group;
    q.jobReassignmentRule = (uint8_t)reassign;
    return q;
}

struct RuleCase { const char *name; int id, group, reassign; int wantGroup, wantReassign; bool changed; };

TEST(LBQRules, IncompatibleRulesAreSetAsideInOrder)
{
    const RuleCase cases[] = {
        { "grouped, same device, no split",      1, 1, 3,   1, 3, false },
        { "no grouping needs don't care",         0, 1, 1,   0, 1, true  },
        { "no grouping, at the same time",        0, 2, 0,   0, 0, true  },
        { "no split needs the same device",       2, 2, 3,   2, 2, true  },
        { "no split without grouping: both go",   0, 1, 3,   0, 2, true  },
        { "don't care with all jobs stays",       0, 0, 2,   0, 2, false },
        { "grouping, don't care, no split",       1, 0, 3,   0, 2, true  },
    };
    for (const RuleCase &c : cases) {
        SCOPED_TRACE(c.name);
        LBQ q = Rules(c.id, c.group, c.reassign);
        EXPECT_EQ(c.changed, Make_LBRulesCompatible(&q) != FALSE);
        EXPECT_EQ(c.id, q.fileGroupIdRule) << "the identification rule is the operator's";
        EXPECT_EQ(c.wantGroup, q.fileGroupRule);
        EXPECT_EQ(c.wantReassign, q.jobReassignmentRule);
    }
}

TEST(LBQRules, ACopySplitSetsTheGroupRulesAside)
{
    LBQ q = Rules(2, 1, 3);
    q.minPagesSplitSize = 9;
    BOOL changed = FALSE;
    EXPECT_FALSE(Set_LBQCopySplit(&q, 3, &changed)) << "the group lists are not for choosing";
    EXPECT_TRUE(changed);
    EXPECT_EQ(3, q.minCopiesSplitSize);
    EXPECT_EQ(0, q.minPagesSplitSize);
    EXPECT_EQ(0, q.fileGroupIdRule);
    EXPECT_EQ(0, q.fileGroupRule);
    EXPECT_EQ(2, q.jobReassignmentRule) << "no split of groups without groups: all jobs";

    q = Rules(2, 1, 3);
    EXPECT_TRUE(Set_LBQCopySplit(&q, 0, &changed));
    EXPECT_FALSE(changed);
    EXPECT_EQ(2, q.fileGroupIdRule);
    EXPECT_EQ(1, q.fileGroupRule);
    EXPECT_EQ(3, q.jobReassignmentRule);

    q = Rules(0, 0, 1);
    Set_LBQCopySplit(&q, 12, &changed);
    EXPECT_FALSE(changed) << "rules already aside";
}

TEST(LBQRules, PurgeTimeAndCounts)
{
    const struct { int32_t hours, minutes; int64_t total; } purges[] = {
        { 30, 75, 1439 }, { 1, 30, 90 }, { 2147483647, 0, 23 * 60 }, { 0, 0, 0 },
    };
    for (const auto &p : purges) {
        int32_t parts[2] = { p.hours, p.minutes };
        EXPECT_EQ(p.total, Join_Duration(&purgeTime, parts)) << p.hours << " h " << p.minutes << " min";
    }

    const struct { const char *text; bool ok; int32_t value; } counts[] = {
        { "", true, 0 }, { "  ", true, 0 }, { "7", true, 7 }, { " 0012 ", true, 12 },
        { "99999999999", true, 2147483647 }, { "-1", false, 0 }, { "+1", false, 0 }, { "1.5", false, 0 },
        { "2h", false, 0 }, { "abc", false, 0 },
    };
    for (const auto &c : counts) {
        SCOPED_TRACE(c.text);
        int32_t v = -5;
        EXPECT_EQ(c.ok, Read_Count(c.text, &v) != FALSE);
        if (c.ok) {
            EXPECT_EQ(c.value, v);
        }
    }
}

class LBQStore : public tk::HomeTest {
protected:
    void SetUp() override
    {
        tk::HomeTest::SetUp();
        Fail_StrayBoxes();
        for (const char *name : { "Plate Setter 1", "Plate Setter 2", "Proofer" })
            mk::Add_Target(name, home / (std::string("Hot\\") + name));
    }
};

TEST_F(LBQStore, OutputsAreAddedOnceAndRemovedBySelection)
{
    LBQ q;
    memset(&q, 0, sizeof q);
    EXPECT_TRUE(Add_LBQOutput(&q, 2));
    EXPECT_FALSE(Add_LBQOutput(&q, 2)) << "an output already";
    EXPECT_FALSE(Add_LBQOutput(&q, 3)) << "no such output queue";
    EXPECT_FALSE(Add_LBQOutput(&q, -1));
    EXPECT_TRUE(Add_LBQOutput(&q, 0));
    EXPECT_EQ(2, Count_LBQOutputs(q.outputs));
    const int sel[] = { 2, 1 };
    EXPECT_EQ(1, Remove_LBQOutputs(&q, sel, 2));
    EXPECT_EQ(1, Count_LBQOutputs(q.outputs));
    EXPECT_EQ(1, q.outputs[0]);
}

TEST_F(LBQStore, HotDirectoriesAreComparedAsDirectories)
{
    const struct { const char *in, *out; } rules[] = {
        { "", "" }, { "D", "D:\\" }, { "dx", "d:\\" }, { "\"C:\\Spool\\In\"", "C:\\Spool\\In" }, { "C:\\A", "C:\\A" },
    };
    for (const auto &r : rules) {
        char buf[PATH_LEN];
        Copy_Field(buf, r.in);
        EXPECT_EQ(r.out[0] != '\0', Check_HotDirText(buf, sizeof buf) != FALSE) << r.in;
        EXPECT_STREQ(r.out, buf) << r.in;
    }
    mk::Add_LBQ("A", "C:\\Inputs\\A");
    mk::Add_LBQ("B", "C:\\Inputs\\B");
    BOOL isLBQ = -1;
    EXPECT_EQ(1, Find_HotDirOwner((home / "HOT\\plate setter 2\\").c_str(), 0, &isLBQ));
    EXPECT_FALSE(isLBQ);
    EXPECT_EQ(1, Find_HotDirOwner("c:\\inputs\\b", 0, &isLBQ));
    EXPECT_TRUE(isLBQ);
    EXPECT_EQ(1, Find_HotDirOwner("C:\\Inputs\\A\\..\\B\\", 0, &isLBQ)) << "as the file system names it";
    EXPECT_EQ(-1, Find_HotDirOwner("C:\\Inputs\\B", 1, &isLBQ)) << "its own hot directory";
    EXPECT_EQ(-1, Find_HotDirOwner("C:\\Inputs\\C", 2, &isLBQ));
    for (const char *valid : { "Q:\\Not\\There", "\"Q:\\Not\\There\"" }) {
        char buf[PATH_LEN];
        Copy_Field(buf, valid);
        EXPECT_TRUE(Check_HotDirText(buf, sizeof buf)) << valid;
        EXPECT_STREQ("Q:\\Not\\There", buf);
    }
    char relative[PATH_LEN] = "Hot\\Relative";
    EXPECT_FALSE(Check_HotDirText(relative, sizeof relative));
}

/* ---- the dialog ---- */

/* The input queue the dialog tests start from: every field away from its default. */
LBQ Sample_LBQ(const std::string &hotDir)
{
    LBQ q = mk::New_LBQ("Plates In", hotDir);
    q.loadIndex = 0;
    q.includeSubdirs = TRUE;
    q.priority = 3;
    q.copies = 2;
    q.fileGroupIdRule = 1;
    q.fileGroupRule = 1;
    q.jobReassignmentRule = 3;
    q.timePriorityValue = 70;
    q.fileGroupPurgeMinutes = 90;
    q.queueGroupEnabled = 1;
    q.outputs[0] = q.outputs[2] = 1;
    return q;
}

bool Open(HWND d) { return IsWindow(d) && IsWindowVisible(d); }

class LBQEditor : public LBQStore {
protected:
    std::string inDir;
    void SetUp() override
    {
        LBQStore::SetUp();
        dk::Init_CommonControls();
        inDir = home / "Inputs\\Plates In";
        tk::Make_Dirs(inDir);
        lbqs[0] = Sample_LBQ(inDir);
        lbqCount = 1;
    }
    /* Opens the editor on pos with the steps of s. */
    void Run(int pos, dk::Script &s)
    {
        s.Run([pos] { return (INT_PTR)Edit_LBQ(nullptr, pos); });
    }
};

TEST_F(LBQEditor, OpensWithEveryFieldOfTheInputQueue)
{
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        EXPECT_EQ("Plates In", dk::Text(d, IDC_LB_NAME));
        EXPECT_EQ(inDir, dk::Text(d, IDC_LB_PATH));
        EXPECT_TRUE(dk::Checked(d, IDC_LB_SUBDIRS));
        EXPECT_TRUE(dk::Checked(d, IDC_LB_ENABLED));
        EXPECT_EQ((std::vector<std::string>{ "None", "Same head name", "All seps for a job. Use filename mask" }),
                  dk::Items(d, IDC_LB_GROUP_ID));
        EXPECT_EQ((std::vector<std::string>{ "Don't care", "On the same device", "At the same time" }),
                  dk::Items(d, IDC_LB_GROUP_RULE));
        EXPECT_EQ((std::vector<std::string>{ "Blocked jobs only", "All jobs except user-moved", "All jobs",
                                             "All jobs but don't split groups" }),
                  dk::Items(d, IDC_LB_REASSIGN));
        EXPECT_EQ("Same head name", dk::Selected(d, IDC_LB_GROUP_ID));
        EXPECT_EQ("On the same device", dk::Selected(d, IDC_LB_GROUP_RULE));
        EXPECT_EQ("All jobs but don't split groups", dk::Selected(d, IDC_LB_REASSIGN));
        HWND slider = GetDlgItem(d, IDC_LB_TIME_PRIORITY);
        EXPECT_EQ(70, SendMessageA(slider, TBM_GETPOS, 0, 0));
        EXPECT_EQ(1, SendMessageA(slider, TBM_GETRANGEMIN, 0, 0));
        EXPECT_EQ(100, SendMessageA(slider, TBM_GETRANGEMAX, 0, 0));
        EXPECT_EQ(11, SendMessageA(slider, TBM_GETNUMTICS, 0, 0)) << "a tick every 10, and both ends";
        EXPECT_EQ("1", dk::Text(d, IDC_LB_PURGE_HOURS));
        EXPECT_EQ("30", dk::Text(d, IDC_LB_PURGE_MINUTES));
        EXPECT_EQ("0", dk::Text(d, IDC_LB_SPLIT));
        EXPECT_EQ("2", dk::Text(d, IDC_LB_COPIES));
        EXPECT_EQ((std::vector<std::string>{ "Highest", "High", "Above Normal", "Normal", "Below Normal", "Low",
                                             "Lowest" }),
                  dk::Items(d, IDC_LB_PRIORITY));
        EXPECT_EQ("Above Normal", dk::Selected(d, IDC_LB_PRIORITY));
        int lo = -1, hi = -1;
        SendDlgItemMessageA(d, IDC_LB_COPIES_SPIN, UDM_GETRANGE32, (WPARAM)&lo, (LPARAM)&hi);
        EXPECT_EQ(1, lo);
        EXPECT_EQ(10000, hi);
        SendDlgItemMessageA(d, IDC_LB_SPLIT_SPIN, UDM_GETRANGE32, (WPARAM)&lo, (LPARAM)&hi);
        EXPECT_EQ(0, lo);
        EXPECT_EQ(1000, hi) << "the split sizes the load balancer takes";
        EXPECT_TRUE(dk::Enabled(d, IDC_LB_GROUP_ID));
        EXPECT_TRUE(dk::Enabled(d, IDC_LB_GROUP_RULE));
        EXPECT_FALSE(dk::Enabled(d, IDC_LB_REMOVE)) << "Remove starts disabled";
        dk::Click(d, IDCANCEL);
    });
    Run(0, s);
}

TEST_F(LBQEditor, OkWithoutChangesLeavesTheRecordIdenticalAndCancelDiscardsEverything)
{
    LBQ before = lbqs[0];
    {
        tk::MsgRecorder boxes;
        dk::Script ok;
        ok.On("Editor", [](HWND d) { dk::Click(d, IDC_LB_OK); });
        Run(0, ok);
        EXPECT_EQ(0u, boxes.count());
    }
    EXPECT_EQ(0, memcmp(&before, &lbqs[0], sizeof before));
    EXPECT_EQ(1, lbqCount);

    tk::MsgRecorder boxes;
    dk::Script cancel;
    cancel.On("Editor", [](HWND d) {
        dk::Type(d, IDC_LB_NAME, "Changed");
        dk::Type(d, IDC_LB_PATH, "C:\\Elsewhere");
        dk::Click(d, IDC_LB_SUBDIRS);
        dk::Click(d, IDC_LB_ENABLED);
        dk::Choose(d, IDC_LB_GROUP_ID, "None");
        dk::Choose(d, IDC_LB_REASSIGN, "Blocked jobs only");
        dk::Slide(d, IDC_LB_TIME_PRIORITY, 20);
        dk::Type(d, IDC_LB_PURGE_HOURS, "5");
        dk::Type(d, IDC_LB_PURGE_MINUTES, "5");
        dk::Type(d, IDC_LB_SPLIT, "7");
        dk::Type(d, IDC_LB_COPIES, "9");
        dk::Choose(d, IDC_LB_PRIORITY, "Lowest");
        dk::Click(d, IDCANCEL);
    });
    Run(0, cancel);
    EXPECT_EQ(0, memcmp(&before, &lbqs[0], sizeof before));
    EXPECT_EQ(1, lbqCount);
    EXPECT_EQ(1u, boxes.count()) << "only the notice of the rules set aside";
}

TEST_F(LBQEditor, OkTakesEveryControlIntoTheRecord)
{
    tk::MsgRecorder boxes;
    std::string newDir = home / "Inputs\\Proofs";
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        dk::Type(d, IDC_LB_NAME, "Proofs In");
        dk::Type(d, IDC_LB_PATH, newDir);
        dk::Click(d, IDC_LB_SUBDIRS);
        dk::Choose(d, IDC_LB_GROUP_ID, "All seps for a job. Use filename mask");
        dk::Choose(d, IDC_LB_GROUP_RULE, "On the same device");
        dk::Choose(d, IDC_LB_REASSIGN, "All jobs except user-moved");
        dk::Slide(d, IDC_LB_TIME_PRIORITY, 30);
        dk::Type(d, IDC_LB_PURGE_HOURS, "2");
        dk::Type(d, IDC_LB_PURGE_MINUTES, "05");
        dk::Type(d, IDC_LB_COPIES, "0012");
        dk::Choose(d, IDC_LB_PRIORITY, "Lowest");
        dk::Click(d, IDC_LB_OK);
    });
    Run(0, s);
    EXPECT_EQ(0u, boxes.count());
    LBQ q = lbqs[0];
    EXPECT_STREQ("Proofs In", q.name);
    EXPECT_STREQ(newDir.c_str(), q.hotDir);
    LBQ want = Sample_LBQ("");
    memset(q.name, 0, sizeof q.name);           /* the texts are compared above, the rest byte by byte */
    memset(q.hotDir, 0, sizeof q.hotDir);
    memset(want.name, 0, sizeof want.name);
    want.includeSubdirs = FALSE;
    want.fileGroupIdRule = 2;
    want.fileGroupRule = 1;
    want.jobReassignmentRule = 1;
    want.timePriorityValue = 30;
    want.fileGroupPurgeMinutes = 125;
    want.copies = 12;
    want.priority = 7;
    EXPECT_EQ(0, memcmp(&want, &q, sizeof want));
    EXPECT_EQ(1, lbqCount);
}

TEST_F(LBQEditor, APositionAboveTheCountOpensTheFirstInputQueue)
{
    dk::Script s;
    s.On("Editor", [](HWND d) {
        EXPECT_EQ("Plates In", dk::Text(d, IDC_LB_NAME));
        dk::Click(d, IDCANCEL);
    });
    Run(7, s);
}

TEST_F(LBQEditor, ANewInputQueueShowsTheDefaultsAndIsNotCreatedWithoutAName)
{
    char proposed[PATH_LEN];
    Get_NewLBQDir(1, proposed, sizeof proposed);
    const std::string question = "This load balancing input queue has no name and so will not be saved. Continue?";
    tk::MsgRecorder boxes({ IDNO, IDYES });
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        EXPECT_EQ(NEW_LBQ_NAME, dk::Text(d, IDC_LB_NAME));
        EXPECT_EQ(proposed, dk::Text(d, IDC_LB_PATH));
        EXPECT_EQ(home / "Load Balancer Inputs\\Input 2", dk::Text(d, IDC_LB_PATH));
        EXPECT_FALSE(dk::Checked(d, IDC_LB_SUBDIRS));
        EXPECT_TRUE(dk::Checked(d, IDC_LB_ENABLED));
        EXPECT_EQ("None", dk::Selected(d, IDC_LB_GROUP_ID));
        EXPECT_EQ("Don't care", dk::Selected(d, IDC_LB_GROUP_RULE));
        EXPECT_EQ("All jobs except user-moved", dk::Selected(d, IDC_LB_REASSIGN));
        EXPECT_EQ(50, SendDlgItemMessageA(d, IDC_LB_TIME_PRIORITY, TBM_GETPOS, 0, 0));
        EXPECT_EQ("0", dk::Text(d, IDC_LB_PURGE_HOURS));
        EXPECT_EQ("10", dk::Text(d, IDC_LB_PURGE_MINUTES));
        EXPECT_EQ("0", dk::Text(d, IDC_LB_SPLIT));
        EXPECT_EQ("1", dk::Text(d, IDC_LB_COPIES));
        EXPECT_EQ("Normal", dk::Selected(d, IDC_LB_PRIORITY));
        dk::Click(d, IDC_LB_OK);                 /* No: stays open */
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ(question, boxes.last().text);
        EXPECT_EQ("Editor", boxes.last().caption);
        EXPECT_EQ((UINT)MB_YESNO, tk::Buttons_Of(boxes.last().flags));
        EXPECT_EQ((UINT)MB_ICONQUESTION, tk::Icon_Of(boxes.last().flags));
        EXPECT_TRUE(Open(d));
        dk::Click(d, IDC_LB_OK);                 /* Yes: closes, nothing created */
        EXPECT_EQ(2u, boxes.count());
        EXPECT_FALSE(Open(d));
    });
    Run(1, s);
    EXPECT_EQ(1, lbqCount);
    EXPECT_STREQ("", lbqs[1].name);
    EXPECT_FALSE(tk::Exists(proposed)) << "the proposed directory is only proposed";
}

TEST_F(LBQEditor, ANewInputQueueWithoutOutputsIsCreatedWithBalancingOffWhenTheOperatorAgrees)
{
    const std::string none = "This load balancing input queue has no outputs and so will not be runnable.  It will "
                             "automatically be set to disabled until outputs are added. Continue?";
    tk::MsgRecorder boxes({ IDNO, IDYES });
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        dk::Type(d, IDC_LB_NAME, "Plates Out");
        dk::Click(d, IDC_LB_OK);
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ(none, boxes.last().text);
        EXPECT_EQ((UINT)MB_YESNO, tk::Buttons_Of(boxes.last().flags));
        EXPECT_EQ((UINT)MB_ICONQUESTION, tk::Icon_Of(boxes.last().flags));
        EXPECT_TRUE(Open(d));
        EXPECT_EQ(1, lbqCount) << "nothing reaches the array before the commit";
        dk::Click(d, IDC_LB_OK);
        EXPECT_FALSE(Open(d));
    });
    Run(1, s);
    ASSERT_EQ(2, lbqCount);
    LBQ want;
    char dir[PATH_LEN];
    lbqCount = 1;
    Get_NewLBQDir(1, dir, sizeof dir);
    lbqCount = 2;
    Init_NewLBQ(&want, dir);
    Copy_Field(want.name, "Plates Out");
    want.queueGroupEnabled = 0;
    EXPECT_EQ(0, memcmp(&want, &lbqs[1], sizeof want));
    EXPECT_EQ(-1, lbqs[1].loadIndex);
}

TEST_F(LBQEditor, OneOutputWithBalancingOnAsksAndCommitsWithBalancingOff)
{
    lbqs[0].outputs[2] = 0;
    const std::string one = "This load balancing input queue has only one output and so will not be runnable.  It "
                            "will automatically be set to disabled until another output is added. Continue?";
    tk::MsgRecorder boxes({ IDNO, IDYES });
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        dk::Type(d, IDC_LB_COPIES, "3");
        dk::Click(d, IDC_LB_OK);
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ(one, boxes.last().text);
        EXPECT_TRUE(Open(d));
        EXPECT_EQ(2, lbqs[0].copies);
        dk::Click(d, IDC_LB_OK);
    });
    Run(0, s);
    EXPECT_EQ(2u, boxes.count());
    EXPECT_EQ(0, lbqs[0].queueGroupEnabled);
    EXPECT_EQ(3, lbqs[0].copies);

    /* with balancing off nothing is asked */
    tk::MsgRecorder quiet;
    dk::Script again;
    again.On("Editor", [](HWND d) { dk::Click(d, IDC_LB_OK); });
    Run(0, again);
    EXPECT_EQ(0u, quiet.count());
}

TEST_F(LBQEditor, IncompatibleRuleChoicesAreSetAsideWithANotice)
{
    const std::string notice = "Please note that the menu boxes have been set to avoid incompatible selections.";
    tk::MsgRecorder boxes;
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        dk::Choose(d, IDC_LB_GROUP_ID, "None");
        EXPECT_EQ("Don't care", dk::Selected(d, IDC_LB_GROUP_RULE));
        EXPECT_EQ("All jobs", dk::Selected(d, IDC_LB_REASSIGN)) << "no split of groups without groups";
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ(notice, boxes.last().text);
        EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));

        dk::Choose(d, IDC_LB_GROUP_ID, "Same head name");
        dk::Choose(d, IDC_LB_GROUP_RULE, "At the same time");
        EXPECT_EQ(1u, boxes.count()) << "compatible choices are left alone";
        dk::Choose(d, IDC_LB_REASSIGN, "All jobs but don't split groups");
        EXPECT_EQ("All jobs", dk::Selected(d, IDC_LB_REASSIGN));
        EXPECT_EQ(2u, boxes.count());
        dk::Choose(d, IDC_LB_GROUP_RULE, "On the same device");
        dk::Choose(d, IDC_LB_REASSIGN, "All jobs but don't split groups");
        EXPECT_EQ("All jobs but don't split groups", dk::Selected(d, IDC_LB_REASSIGN));
        EXPECT_EQ(2u, boxes.count());
        dk::Click(d, IDC_LB_OK);
    });
    Run(0, s);
    EXPECT_EQ(1, lbqs[0].fileGroupIdRule);
    EXPECT_EQ(1, lbqs[0].fileGroupRule);
    EXPECT_EQ(3, lbqs[0].jobReassignmentRule);
}

TEST_F(LBQEditor, ACopySplitDisablesTheGroupListsUntilItIsZeroAgain)
{
    tk::MsgRecorder boxes;
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        dk::Type(d, IDC_LB_SPLIT, "3");
        EXPECT_FALSE(dk::Enabled(d, IDC_LB_GROUP_ID));
        EXPECT_FALSE(dk::Enabled(d, IDC_LB_GROUP_RULE));
        EXPECT_EQ("None", dk::Selected(d, IDC_LB_GROUP_ID));
        EXPECT_EQ("Don't care", dk::Selected(d, IDC_LB_GROUP_RULE));
        EXPECT_EQ("All jobs", dk::Selected(d, IDC_LB_REASSIGN));
        ASSERT_EQ(1u, boxes.count()) << "the reassignment rule had to follow";
        EXPECT_EQ("Please note that the menu boxes have been set to avoid incompatible selections.", boxes.last().text);
        dk::Type(d, IDC_LB_SPLIT, "0");
        EXPECT_TRUE(dk::Enabled(d, IDC_LB_GROUP_ID));
        EXPECT_TRUE(dk::Enabled(d, IDC_LB_GROUP_RULE));
        dk::Type(d, IDC_LB_SPLIT, "25");
        dk::Spin(d, IDC_LB_SPLIT_SPIN, 2);
        EXPECT_EQ("27", dk::Text(d, IDC_LB_SPLIT));
        EXPECT_EQ(1u, boxes.count());
        dk::Click(d, IDC_LB_OK);
    });
    Run(0, s);
    EXPECT_EQ(27, lbqs[0].minCopiesSplitSize);
    EXPECT_EQ(0, lbqs[0].minPagesSplitSize);
    EXPECT_EQ(0, lbqs[0].fileGroupIdRule);
    EXPECT_EQ(0, lbqs[0].fileGroupRule);
    EXPECT_EQ(2, lbqs[0].jobReassignmentRule);
}

TEST_F(LBQEditor, AStoredSplitSizeOpensWithTheGroupListsDisabled)
{
    lbqs[0].minCopiesSplitSize = 25;
    lbqs[0].fileGroupIdRule = 0;
    lbqs[0].fileGroupRule = 0;
    lbqs[0].jobReassignmentRule = 1;
    LBQ before = lbqs[0];
    tk::MsgRecorder boxes;
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        EXPECT_EQ("25", dk::Text(d, IDC_LB_SPLIT));
        EXPECT_FALSE(dk::Enabled(d, IDC_LB_GROUP_ID));
        EXPECT_FALSE(dk::Enabled(d, IDC_LB_GROUP_RULE));
        dk::Click(d, IDC_LB_OK);
    });
    Run(0, s);
    EXPECT_EQ(0u, boxes.count());
    EXPECT_EQ(0, memcmp(&before, &lbqs[0], sizeof before));
}

TEST_F(LBQEditor, PurgeTimeIsHeldToADayAndRefusedBelowAMinute)
{
    struct Case { const char *hours, *minutes; int32_t stored; const char *refusal; int field; };
    const Case cases[] = {
        { "30", "75", 1439, nullptr, 0 },
        { "0", "1", 1, nullptr, 0 },
        { "", "45", 45, nullptr, 0 },
        { "0", "0", -1, "Jobs can only be ignored when identifying job groups after at least one minute.  "
                        "Please enter a time of 1 minute or more.", IDC_LB_PURGE_MINUTES },
        { "-1", "30", -1, "The hours after which jobs are ignored must be a whole number of 0 or more.",
          IDC_LB_PURGE_HOURS },
        { "1", "x", -1, "The minutes after which jobs are ignored must be a whole number of 0 or more.",
          IDC_LB_PURGE_MINUTES },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.hours) + ":" + c.minutes);
        lbqs[0].fileGroupPurgeMinutes = 90;
        tk::MsgRecorder boxes;
        dk::Script s;
        s.On("Editor", [&](HWND d) {
            /* put there as pasted: the fields take only digits when typed */
            SetDlgItemTextA(d, IDC_LB_PURGE_HOURS, c.hours);
            SetDlgItemTextA(d, IDC_LB_PURGE_MINUTES, c.minutes);
            dk::Click(d, IDC_LB_OK);
            if (c.refusal != nullptr) {
                ASSERT_EQ(1u, boxes.count());
                EXPECT_EQ(c.refusal, boxes.last().text);
                EXPECT_TRUE(Open(d));
                EXPECT_EQ(GetDlgItem(d, c.field), GetFocus());
                EXPECT_EQ(c.hours, dk::Text(d, IDC_LB_PURGE_HOURS)) << "what was typed stays";
                dk::Click(d, IDCANCEL);
            } else {
                EXPECT_EQ(0u, boxes.count());
            }
        });
        Run(0, s);
        EXPECT_EQ(c.stored < 0 ? 90 : c.stored, lbqs[0].fileGroupPurgeMinutes);
    }
}

TEST_F(LBQEditor, SplitSizesOutsideWhatTheLoadBalancerTakesAreRefused)
{
    const std::string outOfRange = "A number entered is out of range.\r\nMaximum = 1000, Minimum = 0\r\nContinue and "
                                   "ignore changes?";
    lbqs[0].fileGroupIdRule = lbqs[0].fileGroupRule = 0;     /* nothing for a split size to set aside */
    lbqs[0].jobReassignmentRule = 1;
    tk::MsgRecorder boxes({ IDNO, IDYES });
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        dk::Type(d, IDC_LB_SPLIT, "1001");
        dk::Click(d, IDC_LB_OK);
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ(outOfRange, boxes.last().text);
        EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(boxes.last().flags));
        EXPECT_TRUE(Open(d));
        EXPECT_EQ("1001", dk::Text(d, IDC_LB_SPLIT)) << "No keeps what was typed";
        SetDlgItemTextA(d, IDC_LB_SPLIT, "-5");
        dk::Click(d, IDC_LB_OK);
        ASSERT_EQ(2u, boxes.count());
        EXPECT_EQ(outOfRange, boxes.last().text);
        EXPECT_EQ("0", dk::Text(d, IDC_LB_SPLIT)) << "Yes puts back the size as opened";
        EXPECT_TRUE(Open(d));
        dk::Type(d, IDC_LB_SPLIT, "1000");
        dk::Click(d, IDC_LB_OK);
        EXPECT_FALSE(Open(d));
    });
    Run(0, s);
    EXPECT_EQ(2u, boxes.count());
    EXPECT_EQ(1000, lbqs[0].minCopiesSplitSize);
}

TEST_F(LBQEditor, AnEmptySplitFieldStoresZeroAfterSayingSo)
{
    lbqs[0].minCopiesSplitSize = 40;
    lbqs[0].fileGroupIdRule = lbqs[0].fileGroupRule = 0;
    lbqs[0].jobReassignmentRule = 1;
    tk::MsgRecorder boxes;
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        dk::Type(d, IDC_LB_SPLIT, "");
        dk::Click(d, IDC_LB_OK);
    });
    Run(0, s);
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("Could not retrieve the split copies value from the dialog.Saving default value (0) instead.",
              boxes.last().text);
    EXPECT_EQ(0, lbqs[0].minCopiesSplitSize);
}

TEST_F(LBQEditor, CopiesOutOfRangeAreRefused)
{
    tk::MsgRecorder boxes({ IDNO });
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        dk::Type(d, IDC_LB_COPIES, "10001");
        dk::Click(d, IDC_LB_OK);
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ("A number entered is out of range.\r\nMaximum = 10000, Minimum = 1\r\nContinue and ignore changes?",
                  boxes.last().text);
        EXPECT_TRUE(Open(d));
        dk::Type(d, IDC_LB_COPIES, "10000");
        dk::Click(d, IDC_LB_OK);
    });
    Run(0, s);
    EXPECT_EQ(10000, lbqs[0].copies);
}

TEST_F(LBQEditor, HotDirectoriesThatAreNoPathOrAnotherQueuesAreRefused)
{
    lbqs[1] = Sample_LBQ(home / "Inputs\\Proofs In");
    Copy_Field(lbqs[1].name, "Proofs In");
    lbqCount = 2;
    const std::string invalid = "The chosen hot directory is not a valid path name.  Please correct the entry or select "
                                "an existing directory using the chooser.";
    struct Case { std::string typed, message; };
    const Case cases[] = {
        { "Hot\\Relative", invalid },
        { "", invalid },
        { home / "hot\\PROOFER\\",
          "The chosen hot directory is already the hot directory of the output queue \"Proofer\".  Each queue needs "
          "a hot directory of its own: please choose another directory." },
        { home / "Inputs\\Proofs In",
          "The chosen hot directory is already the hot directory of the load balanced input queue \"Proofs In\".  "
          "Each queue needs a hot directory of its own: please choose another directory." },
    };
    LBQ before = lbqs[0];
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed);
        tk::MsgRecorder boxes;
        dk::Script s;
        s.On("Editor", [&](HWND d) {
            dk::Type(d, IDC_LB_PATH, c.typed);
            dk::Click(d, IDC_LB_OK);
            ASSERT_EQ(1u, boxes.count());
            EXPECT_EQ(c.message, boxes.last().text);
            EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
            EXPECT_TRUE(Open(d));
            EXPECT_EQ(GetDlgItem(d, IDC_LB_PATH), GetFocus());
            dk::Click(d, IDCANCEL);
        });
        Run(0, s);
        EXPECT_EQ(0, memcmp(&before, &lbqs[0], sizeof before));
    }

    /* a new one refused: the number of input queues stays */
    tk::MsgRecorder boxes;
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        dk::Type(d, IDC_LB_NAME, "Third");
        dk::Type(d, IDC_LB_PATH, "NotAPath");
        dk::Click(d, IDC_LB_OK);
        EXPECT_EQ(invalid, boxes.last().text);
        dk::Click(d, IDCANCEL);
    });
    Run(2, s);
    EXPECT_EQ(2, lbqCount);

    /* one or two characters name a drive's root; its own directory in other letters is its own */
    for (std::string typed : { std::string("D"), inDir + "\\" }) {
        tk::MsgRecorder quiet;
        dk::Script accept;
        accept.On("Editor", [&](HWND d) {
            dk::Type(d, IDC_LB_PATH, typed);
            dk::Click(d, IDC_LB_OK);
        });
        Run(0, accept);
        EXPECT_EQ(0u, quiet.count()) << typed;
    }
    EXPECT_STREQ((inDir + "\\").c_str(), lbqs[0].hotDir);
}

TEST_F(LBQEditor, BrowseChoosesAndShowsTheHotDirectory)
{
    std::string chosen = home / "Chosen\\In";
    dk::ChooserRecorder picks({ "", chosen });
    tk::MsgRecorder boxes;
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        dk::Type(d, IDC_LB_PATH, home / "Typed");
        dk::Click(d, IDC_LB_BROWSE);             /* cancelled: the field keeps what was typed */
        EXPECT_EQ(home / "Typed", dk::Text(d, IDC_LB_PATH));
        dk::Click(d, IDC_LB_BROWSE);
        EXPECT_EQ(chosen, dk::Text(d, IDC_LB_PATH));
        dk::Click(d, IDC_LB_OK);
    });
    Run(0, s);
    ASSERT_EQ(2u, picks.calls.size());
    EXPECT_EQ(CHOOSE_FOLDER, picks.calls[0].kind);
    EXPECT_EQ("Queue Hot Directory", picks.calls[0].title);
    EXPECT_EQ(home / "Typed", picks.calls[0].path) << "the chooser starts where the field points";
    EXPECT_STREQ(chosen.c_str(), lbqs[0].hotDir);
    EXPECT_TRUE(tk::Exists(chosen)) << "the chosen folder is created";
}

TEST_F(LBQEditor, AddWithoutOutputQueuesSaysSo)
{
    targetCount = 0;
    lbqs[0].queueGroupEnabled = 0;
    memset(lbqs[0].outputs, 0, sizeof lbqs[0].outputs);
    tk::MsgRecorder boxes;
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        dk::Click(d, IDC_LB_ADD);
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ("There are no targets to choose from yet.  You must first create your output targets before you "
                  "can add them.",
                  boxes.last().text);
        dk::Click(d, IDCANCEL);
    });
    Run(0, s);
}

/* ---- the outputs list ---- */

std::vector<dk::ListRow> Outputs_Shown(HWND d) { return dk::List_Rows(GetDlgItem(d, IDC_LB_OUTPUTS)); }

void Select_Outputs(HWND d, const std::vector<int> &items)
{
    HWND list = GetDlgItem(d, IDC_LB_OUTPUTS);
    SetFocus(list);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
    for (int i : items) ListView_SetItemState(list, i, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    UpdateWindow(list);
}

/* A double click on the list as the list tells its dialog. */
void Double_Click_Outputs(HWND d)
{
    NMITEMACTIVATE nm;
    memset(&nm, 0, sizeof nm);
    nm.hdr.hwndFrom = GetDlgItem(d, IDC_LB_OUTPUTS);
    nm.hdr.idFrom = IDC_LB_OUTPUTS;
    nm.hdr.code = NM_DBLCLK;
    nm.iItem = ListView_GetNextItem(nm.hdr.hwndFrom, -1, LVNI_SELECTED);
    SendMessageA(d, WM_NOTIFY, IDC_LB_OUTPUTS, (LPARAM)&nm);
}

TEST_F(LBQEditor, TheOutputsListShowsTheOutputFlagsWithTheQueuesIcons)
{
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        HWND list = GetDlgItem(d, IDC_LB_OUTPUTS);
        char cls[64] = "";
        GetClassNameA(list, cls, sizeof cls);
        EXPECT_STREQ(WC_LISTVIEWA, cls);
        EXPECT_TRUE(IsWindowVisible(list));
        EXPECT_EQ(0, (int)(GetWindowLongA(list, GWL_STYLE) & LVS_SINGLESEL)) << "several items at a time";
        std::vector<dk::ListRow> shown = Outputs_Shown(d);
        ASSERT_EQ(2u, shown.size());
        EXPECT_EQ("Plate Setter 1", shown[0].text);
        EXPECT_EQ("Proofer", shown[1].text);
        EXPECT_EQ(0, shown[0].image);
        EXPECT_EQ(2, shown[1].image);
        EXPECT_EQ(0, shown[0].data);
        EXPECT_EQ(2, shown[1].data);
        HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL);
        ASSERT_NE(nullptr, images);
        EXPECT_EQ(3, ImageList_GetImageCount(images)) << "one icon per output queue, at its position";
        dk::Screenshot(d, "lbqedit_outputs");
        dk::Click(d, IDCANCEL);
    });
    Run(0, s);
}

/* The queue chooser: picks the output queue at item (or cancels with -1). */
std::function<void(HWND)> Pick(int item)
{
    return [item](HWND c) {
        if (item < 0) {
            dk::Click(c, IDCANCEL);
            return;
        }
        HWND list = GetDlgItem(c, IDC_CH_LIST);
        ListView_SetItemState(list, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        dk::Click(c, IDOK);
    };
}

TEST_F(LBQEditor, AddPicksAnOutputQueueWithTheChooserAndTakesItOnce)
{
    tk::MsgRecorder boxes;
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        dk::Click(d, IDC_LB_ADD);
        std::vector<dk::ListRow> shown = Outputs_Shown(d);
        ASSERT_EQ(3u, shown.size());
        EXPECT_EQ("Plate Setter 2", shown[1].text);
        EXPECT_EQ(1, shown[1].image);
        EXPECT_EQ(1, shown[1].data);
        dk::Click(d, IDC_LB_ADD);                /* the same queue again */
        EXPECT_EQ(3u, Outputs_Shown(d).size());
        dk::Click(d, IDC_LB_ADD);                /* cancelled */
        EXPECT_EQ(3u, Outputs_Shown(d).size());
        dk::Click(d, IDC_LB_OK);
    });
    s.On("Choose a Queue", Pick(1)).On("Choose a Queue", Pick(1)).On("Choose a Queue", Pick(-1));
    Run(0, s);
    EXPECT_EQ(0u, boxes.count());
    EXPECT_EQ(1, lbqs[0].outputs[0]);
    EXPECT_EQ(1, lbqs[0].outputs[1]);
    EXPECT_EQ(1, lbqs[0].outputs[2]);
    EXPECT_EQ(3, Count_LBQOutputs(lbqs[0].outputs));
}

TEST_F(LBQEditor, ANewInputQueueBalancingBetweenTwoQueuesIsAddedAtTheEnd)
{
    tk::MsgRecorder boxes;
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        dk::Type(d, IDC_LB_NAME, "Proofs In");
        dk::Click(d, IDC_LB_ADD);
        dk::Click(d, IDC_LB_ADD);
        dk::Click(d, IDC_LB_OK);
    });
    s.On("Choose a Queue", Pick(2)).On("Choose a Queue", Pick(0));
    Run(1, s);
    EXPECT_EQ(0u, boxes.count()) << "two outputs: nothing to ask";
    ASSERT_EQ(2, lbqCount);
    EXPECT_STREQ("Proofs In", lbqs[1].name);
    EXPECT_EQ(1, lbqs[1].queueGroupEnabled);
    EXPECT_EQ(-1, lbqs[1].loadIndex);
    EXPECT_EQ(1, lbqs[1].outputs[0]);
    EXPECT_EQ(0, lbqs[1].outputs[1]);
    EXPECT_EQ(1, lbqs[1].outputs[2]);
    EXPECT_STREQ("Plates In", lbqs[0].name) << "the others stay as they were";
}

TEST_F(LBQEditor, RemoveClearsTheFlagsOfTheSelectedOutputs)
{
    lbqs[0].outputs[1] = 1;
    lbqs[0].queueGroupEnabled = 0;
    tk::MsgRecorder boxes;
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        ASSERT_EQ(3u, Outputs_Shown(d).size());
        EXPECT_FALSE(dk::Enabled(d, IDC_LB_REMOVE));
        /* Remove without a selection (as a command, the button being disabled) */
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_LB_REMOVE, BN_CLICKED), 0);
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ("There is no queue to selected.  You must first select a queue before you can remove it.",
                  boxes.last().text);
        Select_Outputs(d, { 0, 2 });
        EXPECT_TRUE(dk::Enabled(d, IDC_LB_REMOVE));
        dk::Click(d, IDC_LB_REMOVE);
        std::vector<dk::ListRow> shown = Outputs_Shown(d);
        ASSERT_EQ(1u, shown.size());
        EXPECT_EQ("Plate Setter 2", shown[0].text);
        EXPECT_EQ(1, shown[0].image);
        EXPECT_FALSE(dk::Enabled(d, IDC_LB_REMOVE)) << "nothing is selected any more";
        EXPECT_EQ(GetDlgItem(d, IDC_LB_OUTPUTS), GetFocus()) << "the keyboard is not left on a grey button";
        EXPECT_EQ(1, lbqs[0].outputs[0]) << "only OK writes the flags back";
        dk::Click(d, IDC_LB_OK);
    });
    Run(0, s);
    EXPECT_EQ(1u, boxes.count());
    EXPECT_EQ(0, lbqs[0].outputs[0]);
    EXPECT_EQ(1, lbqs[0].outputs[1]);
    EXPECT_EQ(0, lbqs[0].outputs[2]);
    EXPECT_EQ(1, Count_LBQOutputs(lbqs[0].outputs));
}

TEST_F(LBQEditor, ADoubleClickOrDeleteOnTheOutputsAsksOrRemoves)
{
    lbqs[0].outputs[1] = 1;
    const std::string question = "Remove this output Queue from the set for this Input Queue?";
    tk::MsgRecorder boxes({ IDNO, IDYES });
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        Double_Click_Outputs(d);
        EXPECT_EQ(0u, boxes.count()) << "nothing selected: nothing asked";
        Select_Outputs(d, { 1 });
        Double_Click_Outputs(d);
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ(question, boxes.last().text);
        EXPECT_EQ((UINT)MB_YESNO, tk::Buttons_Of(boxes.last().flags));
        EXPECT_EQ((UINT)MB_ICONQUESTION, tk::Icon_Of(boxes.last().flags));
        EXPECT_EQ(3u, Outputs_Shown(d).size()) << "No keeps it";
        Double_Click_Outputs(d);
        ASSERT_EQ(2u, boxes.count());
        std::vector<dk::ListRow> shown = Outputs_Shown(d);
        ASSERT_EQ(2u, shown.size());
        EXPECT_EQ(0, shown[0].data);
        EXPECT_EQ(2, shown[1].data);
        Select_Outputs(d, { 1 });
        SendMessageA(GetDlgItem(d, IDC_LB_OUTPUTS), WM_KEYDOWN, VK_DELETE, 0);
        ASSERT_EQ(1u, Outputs_Shown(d).size());
        EXPECT_EQ(0, Outputs_Shown(d)[0].data);
        dk::Click(d, IDCANCEL);
    });
    Run(0, s);
    EXPECT_EQ(3, Count_LBQOutputs(lbqs[0].outputs)) << "Cancel drops it all";
}

/* ---- what a committed input queue writes ---- */

/* The bytes a file of home must hold: the fixture's LF text with CR LF and the home filled in. */
std::string Expected(const std::string &fixture, const std::string &home)
{
    std::string text = tk::Read_File(tk::Fixture(fixture));
    for (size_t at; (at = text.find("@HOME@")) != std::string::npos;) text.replace(at, 6, home);
    return tk::Crlf(text);
}

/* The demo installation with the input queue the end-to-end test adds through the windows: the
   queues file keeps the input queues first and the output queues' references move on by one;
   the load balancer file numbers the new input queue after the output queues and its outputs
   after the input queues. */
class LBQEditorFiles : public tk::HomeTest {};

TEST_F(LBQEditorFiles, ANewInputQueueIsStoredWithTheFilesNumbering)
{
    tk::Lay_Out_Demo(home.home());
    tk::MsgRecorder boxes;
    InitData();
    ASSERT_EQ(2, lbqCount);
    ASSERT_EQ(7, targetCount);

    LBQ &q = mk::Add_LBQ("Proof Split");           /* as the input queue editor makes it */
    q.includeSubdirs = TRUE;
    q.priority = 2;
    q.copies = 2;
    q.fileGroupIdRule = 1;
    q.fileGroupRule = 1;
    q.jobReassignmentRule = 3;
    q.timePriorityValue = 60;
    q.fileGroupPurgeMinutes = 75;
    q.outputs[0] = q.outputs[3] = q.outputs[4] = 1;     /* Plate Setter 1, Proofer, Imposition */
    saveOnExit = TRUE;
    EXPECT_TRUE(StoreSetup());
    EXPECT_EQ(Expected("lbqedit/add_Queues.cfg", home.home()), tk::Read_File(home / "Queues.cfg"));
    EXPECT_EQ(Expected("lbqedit/add_LBPrefs.cfg", home.home()), tk::Read_File(home / "LBPrefs.cfg"));
    EXPECT_EQ(0u, boxes.count());
    Reset_Configuration();
}

/* ---- keyboard ---- */

void Key(HWND target, UINT vk)
{
    PostMessageA(target, WM_KEYDOWN, vk, 1);
    PostMessageA(target, WM_KEYUP, vk, 0xC0000001);
}

TEST_F(LBQEditor, EnterInTheNameFieldKeepsTheDialogOpenElsewhereItIsOkAndEscIsCancel)
{
    tk::MsgRecorder boxes;
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        dk::Type(d, IDC_LB_NAME, "Renamed");
        Key(GetDlgItem(d, IDC_LB_NAME), VK_RETURN);
    });
    s.On("Editor", [&](HWND d) {
        EXPECT_TRUE(Open(d)) << "Enter in the name field takes the name only";
        dk::Type(d, IDC_LB_COPIES, "4");
        Key(GetDlgItem(d, IDC_LB_COPIES), VK_RETURN);
    });
    Run(0, s);
    EXPECT_STREQ("Renamed", lbqs[0].name);
    EXPECT_EQ(4, lbqs[0].copies);

    dk::Script esc;
    esc.On("Editor", [&](HWND d) {
        dk::Type(d, IDC_LB_COPIES, "8");
        Key(GetDlgItem(d, IDC_LB_COPIES), VK_ESCAPE);
    });
    Run(0, esc);
    EXPECT_EQ(4, lbqs[0].copies);

    /* OK told by a program while the name field has the focus is OK */
    dk::Script told;
    told.On("Editor", [&](HWND d) {
        dk::Type(d, IDC_LB_NAME, "Told");
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_LB_OK, BN_CLICKED), (LPARAM)GetDlgItem(d, IDC_LB_OK));
        EXPECT_FALSE(Open(d));
    });
    Run(0, told);
    EXPECT_STREQ("Told", lbqs[0].name);
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(LBQEditor, NoNewInputQueueOnceTheQueuesNumberTwoHundred)
{
    lbqCount = MAX_QUEUES - targetCount;
    tk::MsgRecorder boxes;
    EXPECT_EQ(0, Edit_LBQ(nullptr, lbqCount));
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("The maximum number of queues (200) has been reached", boxes.last().text);
    EXPECT_EQ((UINT)MB_ICONHAND, tk::Icon_Of(boxes.last().flags));
    EXPECT_EQ(1u, boxes.beeps.size());
    EXPECT_EQ(MAX_QUEUES - targetCount, lbqCount);
}

/* Every labelled control has a mnemonic of its own, and Tab walks the dialog top to bottom, left
   column before right. */
TEST_F(LBQEditor, MnemonicsAreUniqueAndTabFollowsTheLayout)
{
    dk::Script s;
    s.On("Editor", [&](HWND d) {
        std::set<char> keys;
        for (HWND c = GetWindow(d, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            std::string text = dk::Caption(c);
            size_t amp = text.find('&');
            if (amp == std::string::npos || amp + 1 >= text.size()) continue;
            char k = (char)toupper((unsigned char)text[amp + 1]);
            EXPECT_TRUE(keys.insert(k).second) << "the mnemonic " << k << " of \"" << text << "\" is taken";
        }
        EXPECT_GE(keys.size(), 14u);

        std::vector<int> order;
        HWND first = GetDlgItem(d, IDC_LB_NAME), c = first;
        do {
            order.push_back(GetDlgCtrlID(c));
            c = GetNextDlgTabItem(d, c, FALSE);
        } while (c != nullptr && c != first && order.size() < 40);
        std::vector<int> want = { IDC_LB_NAME, IDC_LB_PATH, IDC_LB_SUBDIRS, IDC_LB_BROWSE, IDC_LB_OUTPUTS, IDC_LB_ADD,
                                  IDC_LB_COPIES, IDC_LB_PRIORITY, IDC_LB_ENABLED, IDC_LB_GROUP_ID,
                                  IDC_LB_GROUP_RULE, IDC_LB_REASSIGN, IDC_LB_TIME_PRIORITY, IDC_LB_PURGE_HOURS,
                                  IDC_LB_PURGE_MINUTES, IDC_LB_SPLIT, IDC_LB_OK, IDCANCEL };
        EXPECT_EQ(want, order);

        /* Alt+S goes to the split size */
        PostMessageA(d, WM_SYSCHAR, 's', 1 << 29);
    });
    s.On("Editor", [&](HWND d) {
        EXPECT_EQ(GetDlgItem(d, IDC_LB_SPLIT), GetFocus());
        tk::Pump(300);
        dk::Screenshot(d, "lbqedit");
        dk::Click(d, IDCANCEL);
    });
    Run(0, s);
}

} // namespace
