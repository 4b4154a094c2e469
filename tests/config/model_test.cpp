/* The array operations of the main window, the new-queue defaults and the normal form of a
   record. References by position are checked through the names of the queues they reach. */
#include "store_fixture.h"
#include "config/model.h"
#include "config/newdirs.h"
#include "config/queuesfile.h"
#include "config/lbfile.h"
#include "common/text.h"
#include <algorithm>
#include <string.h>
#include <vector>

namespace {

/* Five output queues A..E and two input queues, with references of every kind between them. */
class QueueArrays : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        for (const char *name : { "A", "B", "C", "D", "E" }) mk::Add_Target(name, std::string("C:\\Hot\\") + name);
        mk::Add_LBQ("In0", "C:\\In0");
        mk::Add_LBQ("In1", "C:\\In1");
        mk::Number_AsLoaded();                            /* the two input queues come first in the file */
        targets[0].afterAction = 4;      /* A passes jobs to E */
        targets[0].timeoutAction = 3;    /* A times out to D */
        targets[1].timeoutAction = 0;    /* B times out to A */
        targets[2].afterAction = 2;      /* C passes jobs to itself */
        targets[3].afterAction = AFTER_MOVE_DONE;
        targets[4].afterAction = 2;      /* E passes jobs to C */
        targets[4].timeoutAction = 1;    /* E times out to B */
        lbqs[0].outputs[1] = lbqs[0].outputs[3] = 1;   /* input 0 feeds B and D */
        lbqs[1].outputs[4] = lbqs[1].outputs[0] = 1;   /* input 1 feeds A and E */
    }
    int Pos(const char *name)
    {
        for (int i = 0; i < targetCount; i++) if (strcmp(targets[i].name, name) == 0) return i;
        return -1;
    }
    /* The name a reference reaches, or its action code as a number. */
    std::string Ref(int32_t v) { return v >= 0 ? (v < targetCount ? targets[v].name : "?" + std::to_string(v)) : std::to_string(v); }
    std::string After(const char *name) { return Ref(targets[Pos(name)].afterAction); }
    std::string Timeout(const char *name) { return Ref(targets[Pos(name)].timeoutAction); }
    std::string Order()
    {
        std::string s;
        for (int i = 0; i < targetCount; i++) s += targets[i].name;
        return s;
    }
    std::string Outputs(int q)
    {
        std::string s;
        for (int i = 0; i < MAX_LBQ_OUTPUTS; i++)
            if (lbqs[q].outputs[i]) s += i < targetCount ? targets[i].name : "?";
        std::sort(s.begin(), s.end());
        return s;
    }
    void Expect_SlotsNumbered()
    {
        for (int i = 0; i < MAX_TARGETS; i++) ASSERT_EQ(i, targets[i].slotIndex);
    }
};

TEST_F(QueueArrays, MovesKeepEveryReferenceOnTheQueueItNames)
{
    const struct { int from, to; const char *order; } moves[] = {
        { 4, 0, "EABCD" }, { 0, 4, "ABCDE" }, { 1, 2, "ACBDE" }, { 3, 3, "ACBDE" },
        { 2, 1, "ABCDE" }, { 0, 2, "BCADE" }, { 4, 1, "BECAD" },
    };
    for (const auto &m : moves) {
        SCOPED_TRACE(std::to_string(m.from) + " -> " + std::to_string(m.to));
        Move_Target(m.from, m.to);
        EXPECT_EQ(m.order, Order());
        EXPECT_EQ("E", After("A"));
        EXPECT_EQ("D", Timeout("A"));
        EXPECT_EQ("A", Timeout("B"));
        EXPECT_EQ("C", After("C"));
        EXPECT_EQ(std::to_string(AFTER_MOVE_DONE), After("D")) << "action codes stay";
        EXPECT_EQ("C", After("E"));
        EXPECT_EQ("B", Timeout("E"));
        EXPECT_EQ("BD", Outputs(0));
        EXPECT_EQ("AE", Outputs(1));
        Expect_SlotsNumbered();
    }
}

TEST_F(QueueArrays, OutOfRangeMovesAndDeletesChangeNothing)
{
    static Target before[MAX_TARGETS];
    static LBQ lbqBefore[2];
    memcpy(before, targets, sizeof before);
    memcpy(lbqBefore, lbqs, sizeof lbqBefore);
    Move_Target(-1, 2);
    Move_Target(1, 5);
    Move_Target(7, 0);
    Delete_Target(5);                  /* the position of a new queue: nothing to delete */
    Delete_Target(-1);
    Delete_LBQ(2);
    EXPECT_EQ(0, memcmp(before, targets, sizeof before));
    EXPECT_EQ(0, memcmp(lbqBefore, lbqs, sizeof lbqBefore));
    EXPECT_EQ(5, targetCount);
    EXPECT_EQ(2, lbqCount);
    for (int i = 0; i < MAX_QUEUES; i++) EXPECT_FALSE(deletedQueues[i]);
}

/* The main dialog deletes its selected items in list order, the k-th at position p - k. */
TEST_F(QueueArrays, DeletingQueuesRenumbersEveryReference)
{
    const struct {
        const char *name;
        std::vector<int> selected;
        const char *order;
        /* after: A, C, E; timeout: A, B, E (-3 leave, -1 never); outputs of In0 and In1 */
        const char *afterA, *afterC, *afterE, *timeoutA, *timeoutB, *timeoutE, *out0, *out1;
    } cases[] = {
        { "2nd and 4th", { 1, 3 }, "ACE", "E", "C", "C", "-1", "-", "-1", "", "AE" },
        { "the last",    { 4 },    "ABCD", "-3", "C", "-", "D", "A", "-", "BD", "A" },
        { "the first",   { 0 },    "BCDE", "-", "C", "C", "-", "-1", "B", "BD", "E" },
        { "a queue that passes jobs to itself", { 2 }, "ABDE", "E", "-", "-3", "D", "A", "B", "BD", "AE" },
        { "all but one", { 0, 1, 3, 4 }, "C", "-", "C", "-", "-", "-", "-", "", "" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        for (size_t k = 0; k < c.selected.size(); k++) Delete_Target(c.selected[k] - (int)k);
        EXPECT_EQ(c.order, Order());
        auto check = [&](const char *queue, const char *expected, bool after) {
            if (Pos(queue) < 0) return;
            EXPECT_EQ(expected, after ? After(queue) : Timeout(queue)) << queue << (after ? " after" : " time-out");
        };
        check("A", c.afterA, true);
        check("C", c.afterC, true);
        check("E", c.afterE, true);
        check("A", c.timeoutA, false);
        check("B", c.timeoutB, false);
        check("E", c.timeoutE, false);
        EXPECT_EQ(c.out0, Outputs(0));
        EXPECT_EQ(c.out1, Outputs(1));
        Expect_SlotsNumbered();
        /* the queues-file numbers of the deleted queues are noted for the job list */
        for (int sel : c.selected) EXPECT_TRUE(deletedQueues[sel + 2]) << sel;
        int noted = 0;
        for (int i = 0; i < MAX_QUEUES; i++) noted += deletedQueues[i];
        EXPECT_EQ((int)c.selected.size(), noted);
        EXPECT_EQ(-1, targets[targetCount].loadIndex) << "the slot that fell vacant";
        EXPECT_EQ('\0', targets[targetCount].name[0]);
    }
}

TEST_F(QueueArrays, ATimeoutToADeletedQueueNeverTimesOutAsTheFileReadsIt)
{
    targets[0].timeoutSeconds = 125;
    Copy_Field(targets[0].timeoutDir, "C:\\Waiting");
    Delete_Target(3);                    /* D: A timed out to it */
    EXPECT_EQ(TIMEOUT_NEVER, targets[0].timeoutAction);
    EXPECT_EQ(300, targets[0].timeoutSeconds);
    EXPECT_EQ(home / "Timed Out Waiting", std::string(targets[0].timeoutDir));
}

TEST_F(QueueArrays, DeletingInputQueues)
{
    Delete_LBQ(0);
    ASSERT_EQ(1, lbqCount);
    EXPECT_STREQ("In1", lbqs[0].name);
    EXPECT_EQ("AE", Outputs(0));
    EXPECT_TRUE(deletedQueues[0]);
    EXPECT_EQ(-1, lbqs[1].loadIndex);
    lbqs[0].loadIndex = -1;              /* an input queue added since loading leaves no number */
    Delete_LBQ(0);
    EXPECT_EQ(0, lbqCount);
    EXPECT_FALSE(deletedQueues[1]);
    EXPECT_EQ(5, targetCount) << "output queues are not touched";
}

TEST_F(QueueArrays, CopyAppendsAWholeCopyUnderANewName)
{
    targets[1].copies = 7;
    Copy_Field(targets[1].hotDir, "C:\\Hot\\B");
    EXPECT_EQ(5, Copy_Target(1));
    ASSERT_EQ(6, targetCount);
    EXPECT_STREQ("Copy of B", targets[5].name) << "no double quotes: a queue's name may not hold them";
    EXPECT_STREQ("C:\\Hot\\B", targets[5].hotDir);
    EXPECT_EQ(7, targets[5].copies);
    EXPECT_EQ("A", Timeout("Copy of B")) << "its references name the same queues";
    EXPECT_EQ(-1, targets[5].loadIndex);
    EXPECT_EQ(5, targets[5].slotIndex);

    /* a name that fills the field: the copy's name is cut to the field */
    std::string longName(TEXT_LEN - 1, 'n');
    Copy_Field(targets[0].name, longName.c_str());
    ASSERT_EQ(6, Copy_Target(0));
    EXPECT_EQ(std::string("Copy of ") + longName.substr(0, TEXT_LEN - 1 - 8), targets[6].name);
    EXPECT_EQ(-1, Copy_Target(7)) << "no queue there";
    EXPECT_EQ(-1, Copy_Target(-1));
}

TEST_F(QueueArrays, EachSlotOwnsItsIcon)
{
    HICON own = CopyIcon(LoadIconA(NULL, (LPCSTR)IDI_APPLICATION));
    targets[1].icon = own;
    int at = Copy_Target(1);
    ASSERT_EQ(5, at);
    ASSERT_NE(nullptr, targets[at].icon);
    EXPECT_NE(own, targets[at].icon) << "the copy's handle is its own";
    HICON copied = targets[at].icon;
    ICONINFO info;
    Delete_Target(1);
    EXPECT_FALSE(GetIconInfo(own, &info)) << "the deleted queue's icon is destroyed";
    ASSERT_TRUE(GetIconInfo(copied, &info)) << "the copy's icon lives on";
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(copied);
}

TEST_F(QueueArrays, CopyIsRefusedAtTheLimitOfQueuesOfBothKinds)
{
    targetCount = MAX_QUEUES - lbqCount - 1;
    EXPECT_EQ(MAX_QUEUES - lbqCount - 1, Copy_Target(0)) << "199 queues in all: one more fits";
    EXPECT_EQ(-1, Copy_Target(0)) << "200 queues in all";
    EXPECT_EQ(MAX_QUEUES - lbqCount, targetCount);
}

/* A copy of the moves and deletes on disk: the file numbers follow. */
TEST_F(QueueArrays, MovedAndDeletedQueuesAreStoredWithTheirNewNumbers)
{
    for (int i = 0; i < 5; i++) mk::Runs_Nothing(targets[i]);
    Move_Target(0, 4);                      /* B C D E A */
    Delete_Target(1);                       /* B D E A */
    Store_TargetData();
    Reset_Configuration();
    ASSERT_TRUE(Get_TargetData());
    ASSERT_EQ(4, targetCount);
    EXPECT_EQ("BDEA", Order());
    EXPECT_EQ("E", After("A"));
    EXPECT_EQ("D", Timeout("A"));
    EXPECT_EQ("A", Timeout("B"));
    EXPECT_EQ("-3", After("E")) << "E passed its jobs to the deleted C";
    EXPECT_EQ("B", Timeout("E"));
}

/* ---- new queues ---- */

TEST_F(QueueArrays, ANewOutputQueueGetsTheDefaults)
{
    Target t;
    memset(&t, 0x5A, sizeof t);
    t.iconPath[0] = '\0';
    Init_NewTarget(&t, "C:\\Hot Folders\\Hot Folder 1");
    EXPECT_STREQ("[New Output Queue]", t.name);
    EXPECT_STREQ("C:\\Hot Folders\\Hot Folder 1", t.hotDir);
    EXPECT_EQ(home / "Done", std::string(t.doneDir));
    EXPECT_EQ(home / "Timed Out Waiting", std::string(t.timeoutDir));
    const struct { const char *field; int32_t value, expected; } numbers[] = {
        { "includeSubdirs", t.includeSubdirs, 0 }, { "parametersIsFile", t.parametersIsFile, 0 },
        { "priority", t.priority, 4 }, { "copies", t.copies, 1 }, { "afterAction", t.afterAction, -3 },
        { "beepOnComplete", t.beepOnComplete, 0 }, { "forceOverwriteDone", t.forceOverwriteDone, 1 },
        { "alertOnError", t.alertOnError, 0 }, { "suspendOnError", t.suspendOnError, 0 },
        { "keepSeconds", t.keepSeconds, 5 }, { "processRef", t.processRef, 202 }, { "usesGroup", t.usesGroup, 0 },
        { "initialState", t.initialState, 0 }, { "jobGrouping", t.jobGrouping, 0 },
        { "thumbnailsOnArrival", t.thumbnailsOnArrival, 0 }, { "countDown", t.countDown, 1 },
        { "jobsAtATime", t.jobsAtATime, 1 }, { "timeoutSeconds", t.timeoutSeconds, 300 },
        { "timeoutAction", t.timeoutAction, -1 }, { "forceOverwriteTimeout", t.forceOverwriteTimeout, 1 },
        { "openFilePolicy", t.openFilePolicy, 2 }, { "loadIndex", t.loadIndex, -1 },
        { "limitDoneFiles", t.limitDoneFiles, 0 }, { "doneFileLimit", t.doneFileLimit, 10 },
        { "monitorProcesses", t.monitorProcesses, 0 }, { "noProcesses", t.noProcesses, 0 },
        { "switchIfIdle", t.switchIfIdle, 0 },
    };
    for (const auto &n : numbers) EXPECT_EQ(n.expected, n.value) << n.field;
    for (const char *text : { t.thumbnailDir, t.parameters, t.mutexGroup, t.outputIdentity }) EXPECT_STREQ("", text);
    EXPECT_EQ(0x5A5A5A5A, t.hidden) << "a field without a default keeps what the slot held";
}

TEST_F(QueueArrays, ANewInputQueueGetsTheDefaults)
{
    LBQ q;
    memset(&q, 0x5A, sizeof q);
    Init_NewLBQ(&q, "C:\\Load Balancer Inputs\\Input 1");
    EXPECT_STREQ("[New Load Balanced Input Queue]", q.name);
    EXPECT_STREQ("C:\\Load Balancer Inputs\\Input 1", q.hotDir);
    EXPECT_EQ(0, q.includeSubdirs);
    EXPECT_EQ(4, q.priority);
    EXPECT_EQ(1, q.copies);
    EXPECT_EQ(0, q.fileGroupIdRule);
    EXPECT_EQ(0, q.fileGroupRule);
    EXPECT_EQ(1, q.jobReassignmentRule);
    EXPECT_EQ(50, q.timePriorityValue);
    EXPECT_EQ(10, q.fileGroupPurgeMinutes);
    EXPECT_EQ(1, q.queueGroupEnabled);
    EXPECT_EQ(0, q.minCopiesSplitSize);
    EXPECT_EQ(0, q.minPagesSplitSize);
    EXPECT_EQ(-1, q.loadIndex);
    EXPECT_EQ(0, Count_LBQOutputs(q.outputs));
}

TEST_F(QueueArrays, TheNormalFormOfARecord)
{
    Target t = {};
    t.noProcesses = TRUE;
    t.processRef = 3;
    t.usesGroup = TRUE;
    t.filterFlags = 0x1F1;
    t.thumbnailsWhenActive = TRUE;
    t.thumbnailsOnArrival = TRUE;
    Normalise_Target(&t);
    EXPECT_EQ(NO_PROCESSES, t.processRef);
    EXPECT_FALSE(t.usesGroup);
    EXPECT_EQ(0x151u, t.filterFlags) << "0x20 and 0x80 go without their directories";
    EXPECT_FALSE(t.thumbnailsOnArrival);

    Target u = {};
    u.processRef = 3;
    u.filterFlags = 0xA0;
    Copy_Field(u.excludeFilterDir, "C:\\Excluded");
    Copy_Field(u.includeFilterDir, "C:\\Included");
    u.thumbnailsOnArrival = TRUE;
    Target before = u;
    Normalise_Target(&u);
    EXPECT_EQ(0, memcmp(&before, &u, sizeof u)) << "a record in normal form stays as it is";
}

/* ---- proposed hot directories ---- */

TEST_F(QueueArrays, AProposedHotDirectoryIsOnNoDiskAndNoQueueOfItsKind)
{
    char dir[MAX_PATH];
    Get_NewHotDir(2, dir, sizeof dir);
    EXPECT_EQ(home / "Hot Folders\\Hot Folder 3", std::string(dir));

    tk::Make_Dirs(home / "Hot Folders\\Hot Folder 3");               /* a folder */
    tk::Write_File(home / "Hot Folders\\Hot Folder 4", "a file");     /* a file */
    Copy_Field(targets[2].hotDir, (home / "Hot Folders\\Hot Folder 5").c_str());
    Copy_Field(targets[3].hotDir, (home / "HOT FOLDERS\\Hot Folder 6").c_str());   /* another case: not equal */
    Copy_Field(lbqs[0].hotDir, (home / "Hot Folders\\Hot Folder 6").c_str());     /* an input queue: another kind */
    Get_NewHotDir(2, dir, sizeof dir);
    EXPECT_EQ(home / "Hot Folders\\Hot Folder 6", std::string(dir));

    Get_NewLBQDir(0, dir, sizeof dir);
    EXPECT_EQ(home / "Load Balancer Inputs\\Input 1", std::string(dir));
    Copy_Field(lbqs[1].hotDir, (home / "Load Balancer Inputs\\Input 1").c_str());
    Copy_Field(targets[0].hotDir, (home / "Load Balancer Inputs\\Input 2").c_str());
    Get_NewLBQDir(0, dir, sizeof dir);
    EXPECT_EQ(home / "Load Balancer Inputs\\Input 2", std::string(dir)) << "output queues do not count";
    EXPECT_FALSE(tk::Exists(home / "Load Balancer Inputs")) << "only proposed, never created";
}

TEST_F(QueueArrays, AHomeWithoutRoomForTheProposalGivesNone)
{
    static char longHome[300];
    std::string h = "C:\\" + std::string(240, 'h');
    Copy_Field(longHome, h.c_str());
    homeDir = longHome;
    char dir[MAX_PATH] = "old";
    Get_NewHotDir(0, dir, sizeof dir);
    EXPECT_STREQ("", dir);
}

/* ---- moving several queues ---- */

struct MoveCase { const char *title; const char *selected; bool up; std::vector<QUEUE_MOVE> moves; };

TEST(Plan_QueueMoves, EachRunTakesTheQueueBesideIt)
{
    const MoveCase cases[] = {
        { "nothing selected", "......", true, {} },
        { "the first selected: Up does nothing", "x..x..", true, {} },
        { "the last selected: Down does nothing", ".x...x", false, {} },
        { "one run up", "..xx..", true, { { 1, 3 } } },
        { "one run down", "..xx..", false, { { 4, 2 } } },
        { "two runs up, from the top", ".x.xx.", true, { { 0, 1 }, { 2, 4 } } },
        { "two runs down, from the bottom", ".x.xx.", false, { { 5, 3 }, { 2, 1 } } },
        { "a single queue up", ".....x", true, { { 4, 5 } } },
    };
    for (const MoveCase &c : cases) {
        SCOPED_TRACE(c.title);
        BOOL sel[16];
        int n = (int)strlen(c.selected);
        for (int i = 0; i < n; i++) sel[i] = c.selected[i] == 'x';
        QUEUE_MOVE moves[16];
        int got = Plan_QueueMoves(sel, n, c.up, moves, 16);
        ASSERT_EQ((int)c.moves.size(), got);
        for (int k = 0; k < got; k++) {
            EXPECT_EQ(c.moves[(size_t)k].from, moves[k].from) << "move " << k;
            EXPECT_EQ(c.moves[(size_t)k].to, moves[k].to) << "move " << k;
        }
    }
}

} // namespace
