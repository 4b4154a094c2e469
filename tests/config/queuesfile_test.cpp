#include "store_fixture.h"
#include "config/queuesfile.h"
#include "config/appsfile.h"
#include "config/limits.h"
#include <functional>
#include <utility>
#include <vector>

namespace {

/* A whole output queue line: every field set (fields 1 to 42). */
const char *const k_FullLine =
    "Plate::1::C:\\Hot\\Plate::3::-r 2400::-2::6::12::C:\\Done\\Plate::1::0::1::1::3600::Setters::CTP-1::7::1::0::"
    "5::4::0::-3::900::C:\\Timed Out\\Plate::1::1::C:\\Thumbs\\Plate::1::1::1::500::1::0::keep me::*.pdf;*.ps::"
    "33::C:\\Excluded::0::C:\\Icons\\plate.ico::C:\\Apps\\Viewer.exe::1";

struct ReadCase {
    const char *name;
    const char *line;
    std::function<void(const Target &)> check;
};

class QueuesFile : public StoreTest {};

TEST_F(QueuesFile, FullLineGivesEveryField)
{
    Target t;
    BOOL lbq = TRUE;
    ASSERT_TRUE(Parse_QueueLine(k_FullLine, &t, &lbq, nullptr, 0));
    EXPECT_FALSE(lbq);
    EXPECT_STREQ("Plate", t.name);
    EXPECT_TRUE(t.includeSubdirs);
    EXPECT_STREQ("C:\\Hot\\Plate", t.hotDir);
    EXPECT_EQ(3, t.processRef);
    EXPECT_STREQ("-r 2400", t.parameters);
    EXPECT_EQ(-2, t.afterAction);
    EXPECT_EQ(6, t.priority);
    EXPECT_EQ(12, t.copies);
    EXPECT_STREQ("C:\\Done\\Plate", t.doneDir);
    EXPECT_EQ(1, t.beepOnComplete);
    EXPECT_EQ(0, t.forceOverwriteDone);
    EXPECT_EQ(1, t.alertOnError);
    EXPECT_EQ(1, t.suspendOnError);
    EXPECT_EQ(3600, t.keepSeconds);
    EXPECT_STREQ("Setters", t.mutexGroup);
    EXPECT_STREQ("CTP-1", t.outputIdentity);
    EXPECT_EQ(7, t.initialState);
    EXPECT_EQ(1, t.jobGrouping);
    EXPECT_EQ(0, t.thumbnailsOnArrival);
    EXPECT_EQ(5, t.countDown);
    EXPECT_EQ(4, t.jobsAtATime);
    EXPECT_EQ(0, t.legacyCompatV3);
    EXPECT_EQ(-3, t.timeoutAction);
    EXPECT_EQ(900, t.timeoutSeconds);
    EXPECT_STREQ("C:\\Timed Out\\Plate", t.timeoutDir);
    EXPECT_EQ(1, t.forceOverwriteTimeout);
    EXPECT_EQ(1, t.openFilePolicy);
    EXPECT_STREQ("C:\\Thumbs\\Plate", t.thumbnailDir);
    EXPECT_EQ(1, t.thumbnailsWhenActive);
    EXPECT_EQ(1, t.hidden);
    EXPECT_EQ(1, t.limitDoneFiles);
    EXPECT_EQ(500, t.doneFileLimit);
    EXPECT_EQ(1, t.monitorProcesses);
    EXPECT_EQ(0, t.noProcesses);
    EXPECT_STREQ("keep me", t.extraText);
    EXPECT_STREQ("*.pdf;*.ps", t.filterExtensions);
    EXPECT_EQ(33u, t.filterFlags);
    EXPECT_STREQ("C:\\Excluded", t.excludeFilterDir);
    EXPECT_EQ(0, t.holdAllJobs);
    EXPECT_STREQ("C:\\Icons\\plate.ico", t.iconPath);
    EXPECT_STREQ("C:\\Apps\\Viewer.exe", t.launchAppPath);
    EXPECT_EQ(1, t.switchIfIdle);
}

TEST_F(QueuesFile, ReadingRules)
{
    const std::string done = home.home() + "\\Done";
    const std::string waiting = home.home() + "\\Timed Out Waiting";
    /* a line with fields 9 to 42 set to plain values, some of them replaced */
    auto line = [](std::vector<std::pair<int, std::string>> set) {
        const char *tail[] = { " ", "0", "1", "0", "0", "5", " ", " ", "0", "0", "0", "1", "1", "0", "-1", "300",
                               "X", "0", "2", " ", "0", "0", "0", "10", "0", "0", " ", " ", "0", " ", "1", " ",
                               " ", "0" };
        std::string s = "Q::0::H::0:: ::-1::4::1";
        for (int f = 9; f <= 42; f++) {
            std::string v = tail[f - 9];
            for (auto &p : set)
                if (p.first == f) v = p.second;
            s += "::" + v;
        }
        return s;
    };
    const std::string l_mutex = line({ { 15, std::string(80, 'm') } });
    const std::string l_blankMutex = line({ { 15, " " } });
    const std::string l_state1 = line({ { 17, "1" } });
    const std::string l_state3 = line({ { 17, "3" } });
    const std::string l_group0 = line({ { 18, "0" } });
    const std::string l_group5 = line({ { 18, "5" } });
    const std::string l_legacy7 = line({ { 22, "7" } });
    const std::string l_timeout201 = line({ { 23, "201" } });
    const std::string l_timeoutLow = line({ { 23, "-7" } });
    const std::string l_secondsNever = line({ { 24, "90000" } });
    const std::string l_secondsHigh = line({ { 23, "-2" }, { 24, "90000" } });
    const std::string l_secondsMissing = line({ { 23, "-2" }, { 24, "" } });
    const std::string l_policy3 = line({ { 27, "3" } });
    const std::string l_limitHigh = line({ { 32, "40000" } });
    const std::string l_holdX = line({ { 39, "x" } });
    const std::string l_hold0 = line({ { 39, "0" } });
    const std::string l_excl = line({ { 38, " C:\\x" } });
    const std::string l_launch = line({ { 41, " C:\\x.exe" } });
    const std::string l_keepHigh = line({ { 14, "3000000" } });
    const std::string l_bothThumbs = line({ { 19, "1" }, { 29, "1" } });
    const std::string l_processNow = line({ { 23, "-2" } });
    const std::string l_dirGone = line({ { 23, "-3" } });                   /* field 25 is "X" */
    const std::string l_driveDir = line({ { 23, "-3" }, { 25, "D:\\Not There" } });
    const std::string l_noDir = line({ { 23, "-3" }, { 25, "" } });
    const std::string l_bitsHigh = line({ { 37, "4294967295" } });
    const std::string l_bitsSigned = line({ { 37, "-2147483520" } });
    const std::string l_bitsExclude = line({ { 37, "160" }, { 38, "C:\\Excluded" } });

    const ReadCase cases[] = {
        { "older file without field 2: the second field is the hot directory", "Q::C:\\Hot\\Q::0:: ::-1::4::1",
          [](const Target &t) {
              EXPECT_STREQ("C:\\Hot\\Q", t.hotDir);
              EXPECT_EQ(0, t.includeSubdirs);
              EXPECT_EQ(0, t.processRef);
          } },
        { "a single letter in field 2 is a hot directory", "Q::D::0:: ::-1::4::1",
          [](const Target &t) {
              EXPECT_STREQ("D", t.hotDir);
              EXPECT_EQ(0, t.includeSubdirs);
          } },
        { "field 2 present", "Q::1::C:\\Hot::0:: ::-1::4::1", [](const Target &t) { EXPECT_EQ(1, t.includeSubdirs); } },
        { "a line ending after field 8 takes every default", "Q::0::H::3::par::-2::4::2",
          [&](const Target &t) {
              EXPECT_EQ(AFTER_LEAVE, t.afterAction) << "no done directory: jobs are left where they are";
              EXPECT_EQ(done, t.doneDir);
              EXPECT_EQ(0, t.beepOnComplete);
              EXPECT_EQ(1, t.forceOverwriteDone);
              EXPECT_EQ(5, t.keepSeconds);
              EXPECT_EQ(2, t.openFilePolicy);
              EXPECT_EQ(1, t.holdAllJobs);
              EXPECT_EQ(2, t.legacyCompatV3);
              EXPECT_EQ(-1, t.timeoutAction);
              EXPECT_EQ(300, t.timeoutSeconds);
              EXPECT_EQ(waiting, t.timeoutDir);
              EXPECT_EQ(1, t.countDown);
              EXPECT_EQ(1, t.jobsAtATime);
              EXPECT_EQ(10, t.doneFileLimit);
              EXPECT_EQ(0, t.initialState);
              EXPECT_STREQ("par", t.parameters);
          } },
        { "process reference -1 is no processes", "Q::0::H::-1:: ::-1::4::1",
          [](const Target &t) { EXPECT_EQ(NO_PROCESSES, t.processRef); } },
        { "parameters of a single space are empty", "Q::0::H::0:: ::-1::4::1",
          [](const Target &t) { EXPECT_STREQ("", t.parameters); } },
        { "priority and copies clamped low", "Q::0::H::0:: ::-1::0::0",
          [](const Target &t) {
              EXPECT_EQ(1, t.priority);
              EXPECT_EQ(1, t.copies);
          } },
        { "priority and copies clamped high, a huge number held", "Q::0::H::0:: ::-1::9::99999999999999",
          [](const Target &t) {
              EXPECT_EQ(7, t.priority);
              EXPECT_EQ(10000, t.copies);
          } },
        { "after action -5 becomes leave", "Q::0::H::0:: ::-5::4::1:: ",
          [](const Target &t) { EXPECT_EQ(AFTER_LEAVE, t.afterAction); } },
        { "after action 200 becomes leave", "Q::0::H::0:: ::200::4::1:: ",
          [](const Target &t) { EXPECT_EQ(AFTER_LEAVE, t.afterAction); } },
        { "after action recycle stays", "Q::0::H::0:: ::-4::4::1:: ",
          [](const Target &t) { EXPECT_EQ(AFTER_RECYCLE, t.afterAction); } },
        { "mutex group cut to 64", l_mutex.c_str(), [](const Target &t) { EXPECT_EQ(64u, strlen(t.mutexGroup)); } },
        { "mutex group of a space is empty", l_blankMutex.c_str(), [](const Target &t) { EXPECT_STREQ("", t.mutexGroup); } },
        { "initial state 1 is suspended", l_state1.c_str(), [](const Target &t) { EXPECT_EQ(7, t.initialState); } },
        { "initial state 3 is not suspended", l_state3.c_str(), [](const Target &t) { EXPECT_EQ(0, t.initialState); } },
        { "job grouping 0", l_group0.c_str(), [](const Target &t) { EXPECT_EQ(0, t.jobGrouping); } },
        { "job grouping any other text", l_group5.c_str(), [](const Target &t) { EXPECT_EQ(1, t.jobGrouping); } },
        { "legacy compatibility other than 0", l_legacy7.c_str(), [](const Target &t) { EXPECT_EQ(1, t.legacyCompatV3); } },
        { "time-out action above 200", l_timeout201.c_str(), [](const Target &t) { EXPECT_EQ(-1, t.timeoutAction); } },
        { "time-out action below -6", l_timeoutLow.c_str(), [](const Target &t) { EXPECT_EQ(-1, t.timeoutAction); } },
        { "time-out seconds 300 while never timing out", l_secondsNever.c_str(),
          [](const Target &t) { EXPECT_EQ(300, t.timeoutSeconds); } },
        { "time-out seconds clamped to a day", l_secondsHigh.c_str(), [](const Target &t) { EXPECT_EQ(86400, t.timeoutSeconds); } },
        { "time-out seconds missing", l_secondsMissing.c_str(), [](const Target &t) { EXPECT_EQ(300, t.timeoutSeconds); } },
        /* the two directory bits (0x20, 0x80) go with directories these lines do not name */
        { "filter bits written unsigned", l_bitsHigh.c_str(), [](const Target &t) { EXPECT_EQ(0xFFFFFF5Fu, t.filterFlags); } },
        { "filter bits written signed", l_bitsSigned.c_str(), [](const Target &t) { EXPECT_EQ(0x80000000u, t.filterFlags); } },
        { "the exclude bit stays with its directory", l_bitsExclude.c_str(), [](const Target &t) { EXPECT_EQ(0x20u, t.filterFlags); } },
        { "open file policy 3", l_policy3.c_str(), [](const Target &t) { EXPECT_EQ(2, t.openFilePolicy); } },
        { "done file limit clamped", l_limitHigh.c_str(), [](const Target &t) { EXPECT_EQ(30000, t.doneFileLimit); } },
        { "keep seconds clamped to 31 days", l_keepHigh.c_str(), [](const Target &t) { EXPECT_EQ(2678400, t.keepSeconds); } },
        { "hold all jobs unless 0", l_holdX.c_str(), [](const Target &t) { EXPECT_EQ(1, t.holdAllJobs); } },
        { "hold all jobs 0", l_hold0.c_str(), [](const Target &t) { EXPECT_EQ(0, t.holdAllJobs); } },
        { "exclude directory beginning with a space", l_excl.c_str(),
          [](const Target &t) { EXPECT_STREQ("", t.excludeFilterDir); } },
        { "launch path beginning with a space", l_launch.c_str(), [](const Target &t) { EXPECT_STREQ("", t.launchAppPath); } },
        { "thumbnails on arrival give way to thumbnails while active", l_bothThumbs.c_str(),
          [](const Target &t) {
              EXPECT_EQ(1, t.thumbnailsWhenActive);
              EXPECT_EQ(0, t.thumbnailsOnArrival);
          } },
        { "time-out directory replaced when jobs are not moved", l_processNow.c_str(),
          [&](const Target &t) {
              EXPECT_EQ(-2, t.timeoutAction);
              EXPECT_EQ(waiting, t.timeoutDir);
          } },
        { "time-out directory that is no directory and no drive path: never, as a line with -1 reads", l_dirGone.c_str(),
          [&](const Target &t) {
              EXPECT_EQ(-1, t.timeoutAction);
              EXPECT_EQ(300, t.timeoutSeconds);
              EXPECT_EQ(waiting, t.timeoutDir);
          } },
        { "time-out directory of drive form is kept though missing", l_driveDir.c_str(),
          [](const Target &t) {
              EXPECT_EQ(-3, t.timeoutAction);
              EXPECT_STREQ("D:\\Not There", t.timeoutDir);
          } },
        { "time-out directory missing: never time out", l_noDir.c_str(),
          [&](const Target &t) {
              EXPECT_EQ(-1, t.timeoutAction);
              EXPECT_EQ(waiting, t.timeoutDir);
          } },
    };
    for (const ReadCase &c : cases) {
        SCOPED_TRACE(c.name);
        Target t;
        BOOL lbq;
        char why[200];
        ASSERT_TRUE(Parse_QueueLine(c.line, &t, &lbq, why, sizeof why)) << why;
        c.check(t);
    }
}

/* Every number field the reader holds to a range, at both edges and one beyond each: the edges
   themselves are read as they stand. */
TEST_F(QueuesFile, EveryRangedFieldIsReadAtItsEdges)
{
    struct Field { const char *name; int number; FIELD_RANGE range; int32_t Target::*member; };
    const Field fields[] = {
        { "priority", 7, LIMIT_PRIORITY, &Target::priority },
        { "copies", 8, LIMIT_COPIES, &Target::copies },
        { "keep seconds", 14, LIMIT_KEEP_SECONDS, &Target::keepSeconds },
        { "count down", 20, LIMIT_COUNT_DOWN, &Target::countDown },
        { "jobs at a time", 21, LIMIT_JOBS_AT_A_TIME, &Target::jobsAtATime },
        { "time-out seconds", 24, LIMIT_TIMEOUT_SECONDS, &Target::timeoutSeconds },
        { "done file limit", 32, LIMIT_DONE_FILE_LIMIT, &Target::doneFileLimit },
        { "open file policy", 27, LIMIT_OPEN_FILE_POLICY, &Target::openFilePolicy },
    };
    for (const Field &f : fields) {
        const long long edges[][2] = { { f.range.minimum, f.range.minimum },
                                       { f.range.maximum, f.range.maximum },
                                       { (long long)f.range.minimum - 1, f.range.minimum },
                                       { (long long)f.range.maximum + 1, f.range.maximum } };
        for (const auto &e : edges) {
            /* beyond its range the open file policy takes 2, whatever the side */
            long long want = (f.number == 27 && e[0] != e[1]) ? 2 : e[1];
            SCOPED_TRACE(std::string(f.name) + " " + std::to_string(e[0]));
            /* the time-out passes waiting jobs on (-2), so that its seconds count */
            std::string line = "Q::0::H::0:: ::-1::4::1:: ::0::1::0::0::5:: :: ::0::0::0::1::1::0::-2::300::X::0::2:: "
                               "::0::0::0::10::0::0:: :: ::0:: ::1:: :: ::0";
            std::vector<std::string> parts;
            for (size_t at = 0;;) {
                size_t sep = line.find("::", at);
                parts.push_back(line.substr(at, sep == std::string::npos ? std::string::npos : sep - at));
                if (sep == std::string::npos) break;
                at = sep + 2;
            }
            parts[f.number - 1] = std::to_string(e[0]);
            std::string built;
            for (size_t i = 0; i < parts.size(); i++) built += (i ? "::" : "") + parts[i];
            Target t;
            BOOL lbq;
            char why[200];
            ASSERT_TRUE(Parse_QueueLine(built.c_str(), &t, &lbq, why, sizeof why)) << why;
            EXPECT_EQ(want, t.*f.member);
        }
    }
    /* an input queue's priority and copies too */
    for (const char *line : { "In::0::H::201:: ::-3::7::10000", "In::0::H::201:: ::-3::1::1" }) {
        SCOPED_TRACE(line);
        Target t;
        BOOL lbq = FALSE;
        ASSERT_TRUE(Parse_QueueLine(line, &t, &lbq, nullptr, 0));
        EXPECT_TRUE(lbq);
        EXPECT_EQ(line[22] == '7' ? LIMIT_PRIORITY.maximum : LIMIT_PRIORITY.minimum, t.priority);
        EXPECT_EQ(line[22] == '7' ? LIMIT_COPIES.maximum : LIMIT_COPIES.minimum, t.copies);
    }
}

TEST_F(QueuesFile, ExistingTimeoutDirectoryIsKept)
{
    CreateDirectoryA(Path("Waiting Here").c_str(), nullptr);
    std::string line = Homed("Q::0::H::0:: ::-1::4::1:: ::0::1::0::0::5:: :: ::0::0::0::1::2::0::-3::60::@HOME@\\Waiting Here::0::2");
    Target t;
    ASSERT_TRUE(Parse_QueueLine(line.c_str(), &t, nullptr, nullptr, 0));
    EXPECT_EQ(-3, t.timeoutAction);
    EXPECT_EQ(Path("Waiting Here"), t.timeoutDir);
    EXPECT_EQ(60, t.timeoutSeconds);
}

struct DamagedCase { const char *name; std::string line; const char *reason; };

TEST_F(QueuesFile, DamagedLinesAreRefused)
{
    const DamagedCase cases[] = {
        { "empty name", "::0::H::0:: ::-1::4::1", "field 1" },
        { "no hot directory", "Q::0::::0:: ::-1::4::1", "field 3" },
        { "process reference not a number", "Q::0::H::abc:: ::-1::4::1", "field 4" },
        { "process reference beyond the arrays", "Q::0::H::500:: ::-1::4::1", "field 4" },
        { "parameters missing", "Q::0::H::0::::-1::4::1", "field 5" },
        { "after action not a number", "Q::0::H::0:: ::x::4::1", "field 6" },
        { "line ends after field 6", "Q::0::H::0:: ::-1", "field 7" },
        { "copies missing", "Q::0::H::0:: ::-1::4", "field 8" },
        { "hot directory too long", "Q::0::" + std::string(261, 'h') + "::0:: ::-1::4::1", "field 3" },
        { "done directory too long", "Q::0::H::0:: ::-1::4::1::" + std::string(300, 'd'), "field 9" },
        { "extra text too long", "Q::0::H::0:: ::-1::4::1:: ::0::1::0::0::5:: :: ::0::0::0::1::1::0::-1::300::X::0::2:: ::0::0::0::10::0::0::" + std::string(300, 'x'), "field 35" },
        { "input queue name longer than an input queue holds", std::string(260, 'n') + "::0::H::201:: ::-3::4::1", "field 1" },
    };
    for (const DamagedCase &c : cases) {
        SCOPED_TRACE(c.name);
        Target t;
        char why[200];
        EXPECT_FALSE(Parse_QueueLine(c.line.c_str(), &t, nullptr, why, sizeof why));
        EXPECT_NE(nullptr, strstr(why, c.reason)) << why;
    }
    /* the longest values that fit */
    Target t;
    std::string fits = std::string(260, 'n') + "::0::" + std::string(260, 'h') + "::0:: ::-1::4::1";
    EXPECT_TRUE(Parse_QueueLine(fits.c_str(), &t, nullptr, nullptr, 0));
}

TEST_F(QueuesFile, GarbageNeverOverflows)
{
    /* binary noise, separators only, colons, huge numbers: refused or read, never a crash */
    std::string noise;
    unsigned seed = 12345;
    for (int i = 0; i < 5000; i++) {
        seed = seed * 1103515245u + 12345u;
        char c = (char)((seed >> 16) & 0xFF);
        noise += (c == '\0' || c == '\n') ? ':' : c;
    }
    const std::string lines[] = {
        noise, std::string(3000, ':'), ":::::::", "Q::0::H::0:: ::-1::4::1" + std::string(200, ':') + "1",
        "Q::0::H::2147483648:: ::-2147483649::99999999999999999999::-99999999999999999999",
    };
    for (const std::string &l : lines) {
        Target t;
        char why[200];
        Parse_QueueLine(l.c_str(), &t, nullptr, why, sizeof why);
        EXPECT_LT(strlen(t.name), sizeof t.name);
        EXPECT_LT(strlen(why), sizeof why);
    }
}

TEST_F(QueuesFile, QueueNumbersAreOffsetByTheInputQueuesBothWays)
{
    /* 3 input queues: output queue 0 is the file's queue 3 */
    Put("Queues.cfg",
        "In 0::0::I0::201:: ::-3::4::1\nIn 1::0::I1::201:: ::-3::4::1\nIn 2::0::I2::201:: ::-3::4::1\n"
        "Out 0::0::O0::0:: ::4::4::1:: ::0::1::0::0::5:: :: ::0::0::0::1::2::0::3::60::@HOME@\\Timed Out Waiting::0::2\n"
        "Out 1::0::O1::0:: ::3::4::1:: ::0::1::0::0::5:: :: ::0::0::0::1::2::0::1::60::@HOME@\\Timed Out Waiting::0::2\n");
    ASSERT_TRUE(Get_TargetData());
    ASSERT_EQ(3, lbqCount);
    ASSERT_EQ(2, targetCount);
    EXPECT_EQ(1, targets[0].afterAction);
    EXPECT_EQ(0, targets[0].timeoutAction);
    EXPECT_EQ(0, targets[1].afterAction);
    EXPECT_EQ(-1, targets[1].timeoutAction) << "file queue 1 is an input queue: no output queue can take the jobs";

    Reset_Configuration();
    for (const char *name : { "A", "B", "C" }) mk::Add_LBQ(name);
    Target &t = mk::Add_Target("Out", "O");
    t.afterAction = 0;
    t.timeoutAction = 0;
    Store_TargetData();
    std::string disk = Get("Queues.cfg");
    EXPECT_NE(std::string::npos, disk.find("Out::0::O::202:: ::3::4::1::")) << disk;
    EXPECT_NE(std::string::npos, disk.find("::0::3::300::")) << disk;

    Reset_Configuration();
    ASSERT_TRUE(Get_TargetData());
    EXPECT_EQ(0, targets[0].afterAction);
}

TEST_F(QueuesFile, InputQueueLines)
{
    Put("Queues.cfg", "Plates In::1::C:\\Hot\\In::201:: ::-3::9::0\nProofs In::C:\\Hot\\Proofs::201:: ::-3::2::5");
    ASSERT_TRUE(Get_TargetData());
    ASSERT_EQ(2, lbqCount);
    EXPECT_EQ(0, targetCount);
    EXPECT_STREQ("Plates In", lbqs[0].name);
    EXPECT_STREQ("C:\\Hot\\In", lbqs[0].hotDir);
    EXPECT_TRUE(lbqs[0].includeSubdirs);
    EXPECT_EQ(7, lbqs[0].priority);
    EXPECT_EQ(1, lbqs[0].copies);
    EXPECT_FALSE(lbqs[1].includeSubdirs);
    EXPECT_EQ(5, lbqs[1].copies);
    /* the load-balancing defaults */
    EXPECT_EQ(1, lbqs[0].jobReassignmentRule);
    EXPECT_EQ(50, lbqs[0].timePriorityValue);
    EXPECT_EQ(10, lbqs[0].fileGroupPurgeMinutes);
    EXPECT_EQ(1, lbqs[0].queueGroupEnabled);

    /* input queues only: no line feed after the last line */
    Store_TargetData();
    EXPECT_EQ(Disk("Plates In::1::C:\\Hot\\In::201:: ::-3::7::1\nProofs In::0::C:\\Hot\\Proofs::201:: ::-3::2::5"),
              Get("Queues.cfg"));
}

TEST_F(QueuesFile, OlderNameIsReadAndTheCurrentNameWritten)
{
    Put_Fixture("Spooler.lkp", "queues/Spooler.lkp");
    const std::string before = Get("Spooler.lkp");
    ASSERT_TRUE(Get_TargetData());
    ASSERT_EQ(2, targetCount);
    EXPECT_STREQ("C:\\Hot\\Old", targets[0].hotDir);
    EXPECT_EQ(0, targets[0].includeSubdirs);
    EXPECT_EQ(NO_PROCESSES, targets[0].processRef);
    EXPECT_EQ(AFTER_LEAVE, targets[0].afterAction) << "no done directory: jobs are left where they are";
    EXPECT_EQ(AFTER_MOVE_DONE, targets[1].afterAction);
    EXPECT_STREQ("", targets[1].doneDir);
    Store_TargetData();
    EXPECT_EQ(0u, Get("Queues.cfg").find("Old::0::C:\\Hot\\Old::202:: ::-3::4::1::" + home.home() + "\\Done::"));
    EXPECT_EQ(before, Get("Spooler.lkp")) << "the older file is never written";
    EXPECT_FALSE(tk::Exists(Path("Spooler.old")));
}

TEST_F(QueuesFile, NoFileGivesAnEmptyConfiguration)
{
    targetCount = 5;
    lbqCount = 2;
    EXPECT_FALSE(Get_TargetData());
    EXPECT_EQ(0, targetCount);
    EXPECT_EQ(0, lbqCount);
    EXPECT_EQ(0u, msgs.count());
    Store_TargetData();
    EXPECT_EQ("", Get("Queues.cfg"));
}

TEST_F(QueuesFile, StoreWritesEveryFieldInItsPlace)
{
    Put("Queues.cfg", std::string(k_FullLine) + "\n");
    ASSERT_TRUE(Get_TargetData());
    Store_TargetData();
    /* every field holds what the editor writes for it, so the line comes back as it was */
    EXPECT_EQ(Disk(std::string(k_FullLine) + "\n"), Get("Queues.cfg"));
    EXPECT_EQ(Disk(std::string(k_FullLine) + "\n"), Get("Queues.old"));
}

TEST_F(QueuesFile, StoreNormalisesWhatTheSpoolerMustNotSee)
{
    Target &t = mk::Add_Target("Q", "C:\\H");
    t.processRef = 5;
    t.noProcesses = TRUE;
    t.afterAction = -1;
    t.legacyCompatV3 = 1;
    t.thumbnailsOnArrival = TRUE;
    t.thumbnailsWhenActive = TRUE;
    t.filterFlags = 0xA1;                   /* both directory bits, neither directory set */
    Store_TargetData();
    EXPECT_EQ(5, t.processRef) << "the record keeps what the operator set";
    EXPECT_EQ((uint32_t)0xA1, t.filterFlags);
    EXPECT_TRUE(t.thumbnailsOnArrival);
    EXPECT_EQ(Disk("Q::0::C:\\H::202:: ::-1::4::1::@HOME@\\Done::0::1::0::0::5:: :: ::0::0::0::1::1::0::-1::300::"
                   "@HOME@\\Timed Out Waiting::1::2:: ::1::0::0::10::0::1:: :: ::1:: ::0:: :: ::0\n"),
              Get("Queues.cfg"));
    Copy_Field(t.excludeFilterDir, "C:\\Ex");
    Store_TargetData();
    EXPECT_NE(std::string::npos, Get("Queues.cfg").find("::33::C:\\Ex::")) << "0x20 stays with an exclude directory";
}

TEST_F(QueuesFile, ValuesTheFormatCannotCarryKeepTheLineReadable)
{
    Target &t = mk::Add_Target("");
    t.hotDir[0] = '\0';
    Copy_Field(t.parameters, "-mode:");
    Copy_Field(t.doneDir, "C:");
    Copy_Field(t.extraText, "a::b");
    Copy_Field(t.mutexGroup, "line\r\nbreak");
    t.processRef = 3;
    t.afterAction = -2;
    t.priority = 2;
    t.copies = 9;
    t.keepSeconds = 77;
    Store_TargetData();
    std::string disk = Get("Queues.cfg");
    const std::string head = " ::0:: ::3::-mode: ::-2::2::9::C: ::0::1::0::0::77::";
    EXPECT_EQ(head, disk.substr(0, head.size())) << disk;

    Reset_Configuration();
    ASSERT_TRUE(Get_TargetData());
    ASSERT_EQ(1, targetCount) << "the line must stay readable";
    const Target &r = targets[0];
    EXPECT_STREQ("", r.name);
    EXPECT_STREQ("", r.hotDir);
    EXPECT_STREQ("-mode:", r.parameters);
    EXPECT_STREQ("C:", r.doneDir);
    EXPECT_EQ(-2, r.afterAction);
    EXPECT_EQ(9, r.copies);
    EXPECT_EQ(77, r.keepSeconds);
    EXPECT_STREQ("a: :b", r.extraText);
    EXPECT_STREQ("line  break", r.mutexGroup);
}

class KeptLines : public StoreTest {};

TEST_F(KeptLines, DamagedLineAndTheRestAreKeptAndToldOnce)
{
    Put_Fixture("Queues.cfg", "queues/damaged_line2.cfg");
    ASSERT_TRUE(Get_TargetData());
    EXPECT_EQ(1, targetCount);
    ASSERT_EQ(1u, msgs.count());
    const tk::Box &box = msgs.last();
    EXPECT_EQ(MB_ICONINFORMATION, tk::Icon_Of(box.flags));
    EXPECT_EQ((UINT)MB_OK, tk::Buttons_Of(box.flags));
    EXPECT_EQ("Editor", box.caption);
    EXPECT_NE(std::string::npos, box.text.find(Path("Queues.cfg"))) << box.text;
    EXPECT_NE(std::string::npos, box.text.find("line 2")) << box.text;
    EXPECT_NE(std::string::npos, box.text.find("B::0::C:\\B::notanumber")) << box.text;

    Store_TargetData();
    EXPECT_EQ(Disk(tk::Read_File(tk::Fixture("queues/damaged_line2.cfg"))), Get("Queues.cfg"));
}

TEST_F(KeptLines, UpdateModeKeepsWithoutAMessage)
{
    updateMode = TRUE;
    Put("Queues.cfg", "broken\nA::0::C:\\A::-1:: ::-1::4::1\n");
    ASSERT_TRUE(Get_TargetData());
    EXPECT_EQ(0, targetCount);
    EXPECT_EQ(0u, msgs.count());
    updateMode = FALSE;
    Store_TargetData();
    EXPECT_EQ(Disk("broken\nA::0::C:\\A::-1:: ::-1::4::1\n"), Get("Queues.cfg"));
}

TEST_F(KeptLines, QueuesBeyondCapacityAreKept)
{
    std::string text, extra;
    for (int i = 0; i < 203; i++) {
        std::string l = "Q" + std::to_string(i) + "::0::C:\\Q" + std::to_string(i) +
                        "::202:: ::-1::4::1:: ::0::1::0::0::5:: :: ::0::0::0::1::1::0::-1::300::@HOME@\\Timed Out Waiting::0::2:: ::0::0::0::10::0::0:: :: ::0:: ::1:: :: ::0\n";
        text += l;
        if (i >= 200) extra += l;
    }
    Put("Queues.cfg", "In::0::C:\\In::201:: ::-3::4::1\n" + text);
    ASSERT_TRUE(Get_TargetData());
    EXPECT_EQ(1, lbqCount);
    EXPECT_EQ(199, targetCount) << "200 queues in all";
    ASSERT_EQ(1u, msgs.count());
    EXPECT_NE(std::string::npos, msgs.last().text.find("line 201")) << msgs.last().text;
    EXPECT_NE(std::string::npos, msgs.last().text.find("200 queues")) << msgs.last().text;
    Store_TargetData();
    EXPECT_EQ(Disk("In::0::C:\\In::201:: ::-3::4::1\n" + text), Get("Queues.cfg"));
}

TEST_F(KeptLines, InputQueuesOnlyThenKeptLinesStartALineOfTheirOwn)
{
    Put("Queues.cfg", "In::0::C:\\In::201:: ::-3::4::1\n\nLost::0::C:\\L::-1:: ::-1::4::1");
    ASSERT_TRUE(Get_TargetData());
    EXPECT_EQ(1, lbqCount);
    EXPECT_EQ(1u, msgs.count()) << "an empty line before more queues";
    Store_TargetData();
    EXPECT_EQ(Disk("In::0::C:\\In::201:: ::-3::4::1\n\nLost::0::C:\\L::-1:: ::-1::4::1"), Get("Queues.cfg"));
}

TEST_F(KeptLines, TrailingBlankLinesAreNothingToKeep)
{
    Put("Queues.cfg", "In::0::C:\\In::201:: ::-3::4::1\n\n\n  \n");
    ASSERT_TRUE(Get_TargetData());
    EXPECT_EQ(0u, msgs.count());
    Store_TargetData();
    EXPECT_EQ(Disk("In::0::C:\\In::201:: ::-3::4::1"), Get("Queues.cfg"));
}

TEST_F(KeptLines, BinaryGarbageIsWrittenBackAsItWas)
{
    std::string junk;
    unsigned seed = 777;
    for (int i = 0; i < 4000; i++) {
        seed = seed * 1103515245u + 12345u;
        junk += (char)((seed >> 16) & 0xFF);
    }
    const std::string first = "Q::0::C:\\Q::202:: ::-1::4::1:: ::0::1::0::0::5:: :: ::0::0::0::1::1::0::-1::300::" +
                              home.home() + "\\Timed Out Waiting::0::2:: ::0::0::0::10::0::0:: :: ::0:: ::1:: :: ::0\r\n";
    tk::Write_File(Path("Queues.cfg"), first + junk);
    ASSERT_TRUE(Get_TargetData());
    ASSERT_EQ(1, targetCount);
    Store_TargetData();
    /* the kept part goes through the writer's line ends: a line feed alone comes back as CR LF */
    const std::string &want = first;
    std::string kept;
    for (size_t i = 0; i < junk.size(); i++) {
        if (junk[i] == '\r' && i + 1 < junk.size() && junk[i + 1] == '\n') continue;
        if (junk[i] == '\n') kept += '\r';
        kept += junk[i];
    }
    std::string disk = Get("Queues.cfg");
    ASSERT_GE(disk.size(), want.size());
    EXPECT_EQ(want, disk.substr(0, want.size()));
    EXPECT_EQ(kept, disk.substr(want.size()));
}

TEST_F(KeptLines, ReferencesInKeptLinesFollowTheRenumbering)
{
    Put("Applications.cfg", "\"C:\\A.exe\"::P::N::1::0::0::0::0\n\"C:\\B.exe\"::P::N::1::0::0::0::0\n"
                            "\"C:\\C.exe\"::P::N::1::0::0::0::0");
    Put("Queues.cfg", "T1::0::C:\\T1::2:: ::-1::4::1\nbroken\nT3::1::C:\\T3::1:: ::-1::4::1\nT4::0::C:\\T4::-1:: ::-1::4::1\n");
    ASSERT_TRUE(Get_TargetData());
    ASSERT_TRUE(Get_AppsData());
    EXPECT_EQ(1, targetCount);
    Store_TargetData();
    Store_AppsData();
    /* A is run by nothing and dropped; B (kept line) and C (T1) are entries 0 and 1 now */
    EXPECT_EQ(Disk("\"C:\\B.exe\"::P::N::1::0::0::0::0\n\"C:\\C.exe\"::P::N::1::0::0::0::0"), Get("Applications.cfg"));
    std::string disk = Get("Queues.cfg");
    EXPECT_EQ(0, disk.find("T1::0::C:\\T1::1::")) << disk;
    EXPECT_NE(std::string::npos, disk.find(tk::Crlf("\nbroken\nT3::1::C:\\T3::0:: ::-1::4::1\nT4::0::C:\\T4::-1:: ::-1::4::1\n")))
        << disk;
}

TEST_F(KeptLines, ResetForgetsThem)
{
    Put("Queues.cfg", "broken\n");
    ASSERT_TRUE(Get_TargetData());
    EXPECT_TRUE(Have_KeptQueueLines());
    Fresh_Process();
    EXPECT_FALSE(Have_KeptQueueLines());
    Store_TargetData();
    EXPECT_EQ("", Get("Queues.cfg"));
}

TEST_F(QueuesFile, FailedStoreTellsTheOperatorAndKeepsTheOldFile)
{
    Set_ReplaceRetryTime(0);
    CreateDirectoryA(Path("Queues.cfg").c_str(), nullptr);      /* nothing can replace a folder */
    mk::Add_Target("Q", "H");
    Store_TargetData();
    EXPECT_EQ(1, storeFailures);
    ASSERT_EQ(1u, msgs.count());
    EXPECT_EQ(MB_ICONSTOP, tk::Icon_Of(msgs.last().flags));
    std::string want = "Could not open the queue data file for writing. Data will not be saved.\r\n\"" + Path("Queues.cfg") +
                       "\"\r\n\r\nError: ";
    EXPECT_EQ(want, msgs.last().text.substr(0, want.size()));
    EXPECT_EQ(1u, msgs.beeps.size());
    for (const std::string &n : tk::List_Dir(home.home())) EXPECT_NE(0u, n.find("~ed")) << "temporary file left: " << n;
}

} // namespace
