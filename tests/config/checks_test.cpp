/* The checks run before saving: what they ask, what they refuse, and that they change nothing. */
#include "support/testkit.h"
#include "support/modelkit.h"
#include "config/checks.h"
#include "common/appstate.h"
#include "common/msg.h"
#include "common/text.h"
#include "config/model.h"
#include <string.h>

class ChecksTest : public tk::HomeTest {
protected:
    std::string present1, present2, missing1, missing2;

    void SetUp() override
    {
        tk::HomeTest::SetUp();
        present1 = home / "Present One.exe";
        present2 = home / "present2.exe";
        missing1 = home / "Gone.exe";
        missing2 = home / "gone2.bat";
        tk::Write_File(present1, "MZ");
        tk::Write_File(present2, "MZ");
        /* Application slots: 0 and 1 exist, 2 and 3 are missing, 4 is slot 0's file in quotes. */
        const std::string paths[] = { present1, present2, missing1, missing2, "\"" + present1 + "\"" };
        for (int i = 0; i < 5; i++) mk::Add_App(paths[i], "", i);
    }

    static void Add_Queue(const char *name, int processRef, BOOL usesGroup = FALSE, BOOL noProcesses = FALSE)
    {
        Target &t = mk::Add_Target(name);
        t.processRef = processRef;
        t.usesGroup = usesGroup;
        t.noProcesses = noProcesses;
    }

    static std::string Invalid_Text(const std::string &path, const std::string &queue)
    {
        return "The application\n\n\t\"" + path + "\"\n\nconfigured to be run by queue\n\n\t\"" + queue +
               "\"\n\nis invalid.\n\n\nIf you do not change this setting the queue will not be able to run.\n\n"
               "Continue shutdown and ignore problem?.";
    }
};

/* One queue of a case: its name, its process reference, whether that names a group, and the
   no-processes flag. */
struct QueueSpec { const char *name; int ref; BOOL group; BOOL noProcesses; };
/* Which box was asked: the application slot (its path) and the queue. */
struct Asked { int appSlot; const char *queue; };

struct AppPathCase {
    const char *title;
    std::vector<QueueSpec> queues;
    std::vector<std::vector<int>> groups;      /* group slot i: its members */
    BOOL silent;
    std::vector<int> answers;
    BOOL result;
    std::vector<Asked> asked;
};

static const AppPathCase k_AppPaths[] = {
    { "all applications present", { { "A", 0, FALSE, FALSE }, { "B", 1, FALSE, FALSE } }, {}, FALSE, {}, TRUE, {} },
    { "a quoted path whose file exists", { { "A", 4, FALSE, FALSE } }, {}, FALSE, {}, TRUE, {} },
    { "no processes (202) is never checked", { { "A", NO_PROCESSES, FALSE, FALSE } }, {}, FALSE, {}, TRUE, {} },
    { "the no-processes flag accepts a missing application", { { "A", 2, FALSE, TRUE } }, {}, FALSE, {}, TRUE, {} },
    { "missing, answered No, stops the save", { { "Alpha", 2, FALSE, FALSE } }, {}, FALSE, { IDNO }, FALSE,
      { { 2, "Alpha" } } },
    { "the first No ends the check at once",
      { { "A", 2, FALSE, FALSE }, { "B", 3, FALSE, FALSE } }, {}, FALSE, { IDNO }, FALSE, { { 2, "A" } } },
    { "Yes goes on to the next queue",
      { { "A", 2, FALSE, FALSE }, { "B", 0, FALSE, FALSE }, { "C", 3, FALSE, FALSE } }, {}, FALSE, { IDYES, IDYES },
      TRUE, { { 2, "A" }, { 3, "C" } } },
    { "a group's missing second member asks once",
      { { "G", 0, TRUE, FALSE } }, { { 0, 2, 1 } }, FALSE, { IDYES }, TRUE, { { 2, "G" } } },
    { "after Yes the group's third member is checked too",
      { { "G", 0, TRUE, FALSE } }, { { 0, 2, 3 } }, FALSE, { IDYES, IDNO }, FALSE, { { 2, "G" }, { 3, "G" } } },
    { "a group answered No stops at its member",
      { { "G", 0, TRUE, FALSE }, { "H", 3, FALSE, FALSE } }, { { 2, 3 } }, FALSE, { IDNO }, FALSE, { { 2, "G" } } },
    { "silent: a missing application refuses without a message",
      { { "A", 0, FALSE, FALSE }, { "B", 2, FALSE, FALSE } }, {}, TRUE, {}, FALSE, {} },
    { "silent: a group member missing refuses too",
      { { "G", 0, TRUE, FALSE } }, { { 0, 3 } }, TRUE, {}, FALSE, {} },
    { "silent: all present passes", { { "A", 0, FALSE, FALSE }, { "G", 0, TRUE, FALSE } }, { { 0, 1 } }, TRUE, {},
      TRUE, {} },
};

TEST_F(ChecksTest, AppPathsAskOncePerMissingApplication)
{
    for (const AppPathCase &c : k_AppPaths) {
        SCOPED_TRACE(c.title);
        targetCount = 0;
        for (int g = 0; g < MAX_APPGROUPS; g++) appGroups[g].free = TRUE;
        for (const QueueSpec &q : c.queues) Add_Queue(q.name, q.ref, q.group, q.noProcesses);
        for (size_t g = 0; g < c.groups.size(); g++) mk::Add_Group(c.groups[g], FALSE, (int)g);
        Target before[3];
        memcpy(before, targets, sizeof before);

        tk::MsgRecorder rec(c.answers);
        EXPECT_EQ(c.result, Check_AppPaths(c.silent));
        ASSERT_EQ(c.asked.size(), rec.count());
        for (size_t i = 0; i < c.asked.size(); i++) {
            const tk::Box &b = rec.boxes[i];
            EXPECT_EQ(Invalid_Text(apps[c.asked[i].appSlot].path, c.asked[i].queue), b.text);
            EXPECT_EQ("Editor", b.caption);
            EXPECT_EQ((UINT)MB_ICONWARNING, tk::Icon_Of(b.flags));
            EXPECT_EQ((UINT)MB_YESNO, tk::Buttons_Of(b.flags));
            EXPECT_EQ((UINT)MB_EDITOR, b.flags & MB_EDITOR);
        }
        EXPECT_EQ(0, memcmp(before, targets, sizeof before)) << "a check changed the queues";
    }
}

TEST_F(ChecksTest, AppPathsSurviveReferencesOutsideTheArrays)
{
    Add_Queue("Broken", 500);
    Add_Queue("Broken group", -7, TRUE);
    tk::MsgRecorder rec({ IDYES, IDYES });
    EXPECT_TRUE(Check_AppPaths(FALSE));
    ASSERT_EQ(2u, rec.count());
    EXPECT_EQ(Invalid_Text("", "Broken"), rec.boxes[0].text);
    EXPECT_EQ(Invalid_Text("", "Broken group"), rec.boxes[1].text);
}

TEST_F(ChecksTest, AppPathBoxCarriesThePublishedTitle)
{
    Copy_Field(programTitle, "Queue Setup");
    Add_Queue("A", 3);
    tk::MsgRecorder rec({ IDYES });
    EXPECT_TRUE(Check_TargetAppPath(0, apps[3].path, FALSE));
    ASSERT_EQ(1u, rec.count());
    EXPECT_EQ("Queue Setup", rec.last().caption);
}

struct NamesCase { const char *title; std::vector<const char *> names; int first, second; const char *shown; };
static const NamesCase k_Names[] = {
    { "all distinct", { "Alpha", "Beta", "Gamma" }, 0, 0, nullptr },
    { "one queue", { "Alpha" }, 0, 0, nullptr },
    { "no queues", {}, 0, 0, nullptr },
    { "differ only in case", { "Proof", "PROOF" }, 1, 2, "PROOF" },
    { "three alike: only the first clash", { "x", "X", "x" }, 1, 2, "X" },
    { "a later clash names the earlier queue first", { "a", "b", "c", "B" }, 2, 4, "B" },
    { "the first clash in scan order wins", { "a", "b", "b", "a" }, 2, 3, "b" },
    { "a prefix is not a clash", { "Plate", "Plates" }, 0, 0, nullptr },
};

TEST_F(ChecksTest, UniqueQueueNamesReportTheFirstClashOnly)
{
    for (const NamesCase &c : k_Names) {
        SCOPED_TRACE(c.title);
        targetCount = 0;
        for (const char *n : c.names) Add_Queue(n, NO_PROCESSES);
        tk::MsgRecorder rec;
        EXPECT_EQ(c.shown == nullptr, Check_UniqueQueueNames());
        if (c.shown == nullptr) {
            EXPECT_EQ(0u, rec.count());
            EXPECT_EQ(0u, rec.beeps.size());
            continue;
        }
        ASSERT_EQ(1u, rec.count());
        EXPECT_EQ("The following name is being used for queue " + std::to_string(c.first) + " and queue " +
                      std::to_string(c.second) + ":\n\n\t\"" + c.shown +
                      "\"\n\nYou must select distinct names for these queues before you can continue.",
                  rec.last().text);
        EXPECT_EQ((UINT)MB_ICONERROR, tk::Icon_Of(rec.last().flags));
        EXPECT_EQ((UINT)MB_OK, tk::Buttons_Of(rec.last().flags));
        EXPECT_EQ((UINT)MB_EDITOR, rec.last().flags & MB_EDITOR);
        EXPECT_EQ(1u, rec.beeps.size()) << "a hard refusal beeps";
    }
}

TEST_F(ChecksTest, UniqueQueueNamesSpeakUpInSilentModeToo)
{
    silentMode = TRUE;
    Add_Queue("Same", NO_PROCESSES);
    Add_Queue("same", NO_PROCESSES);
    tk::MsgRecorder rec;
    EXPECT_FALSE(Check_UniqueQueueNames());
    EXPECT_EQ(1u, rec.count());
}

TEST_F(ChecksTest, UniqueQueueNameIgnoresTheQueueItselfAndInputQueues)
{
    Add_Queue("Alpha", NO_PROCESSES);
    Add_Queue("Beta", NO_PROCESSES);
    Add_Queue("Gamma", NO_PROCESSES);
    Add_Queue("Delta", NO_PROCESSES);
    mk::Add_LBQ("Input");

    struct { const char *name; int pos; BOOL ok; int clash; } cases[] = {
        { "Delta", 3, TRUE, -1 },         /* the name queue 3 already bears */
        { "delta", 3, TRUE, -1 },
        { "ALPHA", 3, FALSE, 0 },
        { "beta", -1, FALSE, 1 },         /* a new queue, no position yet */
        { "Gamma", 0, FALSE, 2 },
        { "Input", 2, TRUE, -1 },         /* input queues take no part */
        { "Epsilon", -1, TRUE, -1 },
    };
    tk::MsgRecorder rec;
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(c.pos));
        int clash = -1;
        EXPECT_EQ(c.ok, Check_UniqueQueueName(c.name, c.pos, &clash));
        EXPECT_EQ(c.clash, clash);
    }
    EXPECT_FALSE(Check_UniqueQueueName("alpha", 2, nullptr)) << "no place for the clash is allowed";
    EXPECT_EQ(0u, rec.count()) << "the single-name check shows nothing";
}

TEST_F(ChecksTest, LBQOutputsReportEveryEnabledQueueShortOfOutputs)
{
    struct Lbq { const char *name; int enabled; int outputs; };
    struct {
        const char *title;
        std::vector<Lbq> lbq;
        BOOL result;
        std::vector<std::pair<const char *, int>> reported;
    } cases[] = {
        { "one output but balancing disabled passes", { { "Off", 0, 1 } }, TRUE, {} },
        { "two outputs pass", { { "Two", 1, 2 }, { "Many", 1, 7 } }, TRUE, {} },
        { "each enabled queue without outputs gets its own message",
          { { "First", 1, 0 }, { "Fine", 1, 3 }, { "Second", 1, 0 } }, FALSE, { { "First", 0 }, { "Second", 0 } } },
        { "one output is not enough", { { "Single", 1, 1 } }, FALSE, { { "Single", 1 } } },
        { "any non-zero setting means enabled", { { "Odd", 2, 1 } }, FALSE, { { "Odd", 1 } } },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.title);
        lbqCount = 0;
        for (const Lbq &l : c.lbq) {
            LBQ &q = mk::Add_LBQ(l.name);
            q.queueGroupEnabled = l.enabled;
            for (int k = 0; k < l.outputs; k++) q.outputs[k * 3] = 1;     /* spread over the flags */
        }
        tk::MsgRecorder rec;
        EXPECT_EQ(c.result, Check_LBQOutputs());
        ASSERT_EQ(c.reported.size(), rec.count());
        for (size_t i = 0; i < c.reported.size(); i++) {
            EXPECT_EQ(std::string("The load balanced input queue \"") + c.reported[i].first +
                          "\" does not have two or more output queues configured for it to send jobs to. It "
                          "currently has " + std::to_string(c.reported[i].second) +
                          ".  You must add output queues to this input queue, delete it, or disable the queue by "
                          "clicking the box labelled \"Balancing enabled\".",
                      rec.boxes[i].text);
            EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(rec.boxes[i].flags));
            EXPECT_EQ((UINT)MB_OK, tk::Buttons_Of(rec.boxes[i].flags));
            EXPECT_EQ("Editor", rec.boxes[i].caption);
        }
    }
}
