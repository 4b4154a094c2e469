/* The rules of the Job Settings, thumbnail directory and Multi-Job Settings pages that need no
   window: the multi-job line, thumbnail directories kept apart, queues found by name, and which
   queue would take in jobs moved into a directory. */
#include "support/testkit.h"
#include "support/modelkit.h"
#include "common/text.h"
#include "config/model.h"
#include "queueedit/queuetext.h"

namespace {

Target Queue(int jobs, int seconds, int action)
{
    Target t;
    memset(&t, 0, sizeof t);
    t.jobsAtATime = jobs;
    t.timeoutSeconds = seconds;
    t.timeoutAction = action;
    return t;
}

std::string Summary(const Target &t)
{
    char text[SUMMARY_LEN];
    MultiJob_Summary(&t, text, sizeof text);
    return text;
}

TEST(MultiJobSummary, SaysHowManyJobsAndWhatHappensAtTheTimeOut)
{
    struct Case { int jobs, seconds, action; const char *text; };
    const Case cases[] = {
        { 1, 300, TIMEOUT_NEVER, "Process jobs individually." },
        { 1, 125, 4, "Process jobs individually." },                       /* one at a time: no time-out */
        { 3, 300, TIMEOUT_NEVER, "Process 3 jobs at a time." },
        { 3, 125, 4, "Wait up to 2:05 minutes for 3 jobs, then move waiting jobs to queue 5." },
        { 2, 0, 0, "Wait up to 0:00 minutes for 2 jobs, then move waiting jobs to queue 1." },
        { 16, 86400, TIMEOUT_PROCESS, "Wait up to 1440:00 minutes for 16 jobs, then process any waiting jobs anyway." },
        { 4, 60, TIMEOUT_MOVE, "Wait up to 1:00 minutes for 4 jobs, then move waiting jobs to another directory." },
        { 4, 59, TIMEOUT_RECYCLE, "Wait up to 0:59 minutes for 4 jobs, then send all waiting jobs to the recycle bin." },
        { 4, 61, TIMEOUT_DELETE, "Wait up to 1:01 minutes for 4 jobs, then delete all waiting jobs." },
        { 4, 61, -4, "Wait up to 1:01 minutes for 4 jobs, then pass waiting jobs to a queue not yet chosen." },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.text, Summary(Queue(c.jobs, c.seconds, c.action)));
    }
    char small[12];
    Target t = Queue(3, 125, 4);
    MultiJob_Summary(&t, small, sizeof small);
    EXPECT_STREQ("Wait up to ", small) << "cut to the room given, never past it";
}

TEST(ThumbnailDirectories, OverlapWhenOneIsTheOtherOrItsParent)
{
    struct Case { const char *a, *b; bool overlap; };
    const Case cases[] = {
        { "D:\\Thumbs", "d:\\thumbs\\a", true },           /* a child, in other letters */
        { "D:\\Thumbs", "D:\\THUMBS", true },              /* the same */
        { "D:\\Thumbs", "D:\\ThumbsOld", false },          /* only the same start */
        { "D:\\", "D:\\Thumbs", false },                   /* the root already ends in its backslash */
        { "D:\\Thumbs\\", "D:\\Thumbs", true },
        { "  D:\\Thumbs", "D:\\Thumbs\\Big", true },       /* leading blanks do not count */
        { "", "D:\\Thumbs", false },                       /* none overlaps nothing */
        { "   ", "   ", false },
        { "D:\\Thumbs", "E:\\Thumbs", false },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(c.overlap, !!Thumb_DirsOverlap(c.a, c.b));
        EXPECT_EQ(c.overlap, !!Thumb_DirsOverlap(c.b, c.a)) << "either way round";
    }
}

class QueueArrays : public ::testing::Test {
protected:
    void SetUp() override
    {
        Reset_Configuration();
        Add("Plates", "C:\\Spool\\Hot\\Plates", "D:\\Thumbs\\Plates");
        Add("Proofer", "C:\\Spool\\Hot\\Proofer", "");
        Add("proofer", "C:\\Spool\\Hot\\Proofer 2", "D:\\Thumbs\\Proofs");
        targets[1].includeSubdirs = TRUE;
        mk::Add_LBQ("Balancer", "C:\\Spool\\Hot\\Balance");
    }
    void TearDown() override { Reset_Configuration(); }
    void Add(const char *name, const char *hot, const char *thumbs)
    {
        Copy_Field(mk::Add_Target(name, hot).thumbnailDir, thumbs);
    }
};

TEST_F(QueueArrays, AThumbnailDirectoryIsComparedWithEveryOtherQueue)
{
    EXPECT_EQ(0, Find_ThumbOverlap("d:\\thumbs\\plates\\big", 2));
    EXPECT_EQ(-1, Find_ThumbOverlap("D:\\Thumbs\\Plates", 0)) << "the queue's own does not count";
    EXPECT_EQ(0, Find_ThumbOverlap("D:\\Thumbs", 2)) << "a parent of two: the first is named";
    EXPECT_EQ(-1, Find_ThumbOverlap("", 1));
    EXPECT_EQ(-1, Find_ThumbOverlap("D:\\Thumbs\\Proof", 0));
    EXPECT_EQ(0, Find_ThumbOverlap("D:\\Thumbs\\Plates", targetCount)) << "a new queue has no place of its own yet";
}

TEST_F(QueueArrays, AQueueIsFoundByItsNameInAnyLetters)
{
    EXPECT_EQ(0, Find_TargetByName("plates"));
    EXPECT_EQ(1, Find_TargetByName("PROOFER")) << "the first of two names that differ only in letter case";
    EXPECT_EQ(1, Find_TargetByName("  Proofer ")) << "blanks around the name do not count";
    EXPECT_EQ(-1, Find_TargetByName("Proof"));
    EXPECT_EQ(-1, Find_TargetByName("Proofer 2"));
    EXPECT_EQ(-1, Find_TargetByName(""));
    EXPECT_EQ(-1, Find_TargetByName("Balancer")) << "input queues take no waiting jobs";
}

TEST_F(QueueArrays, TheQueueThatWouldTakeInJobsMovedIntoADirectory)
{
    Target self = targets[0];
    Copy_Field(self.hotDir, "C:\\Spool\\Hot\\Plates New");     /* changed in the editor, not yet committed */
    struct Case { const char *dir; bool subdirs; int taker; const char *name; };
    const Case cases[] = {
        { "C:\\Spool\\Hot\\Plates New", false, TAKER_SELF, "" },
        { "c:\\spool\\hot\\plates new\\", false, TAKER_SELF, "" },       /* letters and a final backslash */
        { "\"C:\\Spool\\Hot\\Plates New\"", false, TAKER_SELF, "" },     /* quotes */
        { "C:/Spool/Hot/Plates New", false, TAKER_SELF, "" },
        { "C:\\Spool\\Hot\\Plates New\\Late", false, TAKER_NONE, "" },   /* below it, not watched */
        { "C:\\Spool\\Hot\\Plates New\\Late", true, TAKER_SELF, "" },    /* below it, watched */
        { "C:\\Spool\\Hot\\Plates", false, TAKER_NONE, "" },             /* its old place is nobody's now */
        { "C:\\Spool\\Hot\\Proofer", false, TAKER_OTHER, "Proofer" },
        { "C:\\Spool\\Hot\\Proofer\\Late", false, TAKER_OTHER, "Proofer" },   /* Proofer watches below */
        { "C:\\Spool\\Hot\\Proofer 2\\Late", false, TAKER_NONE, "" },
        { "C:\\SPOOL\\Hot\\Balance", false, TAKER_OTHER, "Balancer" },   /* an input queue */
        { "C:\\Spool\\Hot", true, TAKER_NONE, "" },                      /* a parent is no hot directory */
        { "C:\\Spool\\Timed Out", false, TAKER_NONE, "" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.dir);
        self.includeSubdirs = c.subdirs;
        char name[TEXT_LEN] = "x";
        EXPECT_EQ(c.taker, Hot_DirTaker(c.dir, &self, name, sizeof name));
        EXPECT_STREQ(c.name, name);
    }
    Copy_Field(self.hotDir, "D:\\");
    self.includeSubdirs = TRUE;
    char name[TEXT_LEN];
    EXPECT_EQ(TAKER_SELF, Hot_DirTaker("D:\\Anything\\Below", &self, name, sizeof name)) << "a watched root takes all";
}

} // namespace
