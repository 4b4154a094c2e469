#include "store_fixture.h"
#include "config/lbfile.h"
#include "config/queuesfile.h"
#include "config/setup.h"
#include "common/appstate.h"
#include <functional>

namespace {

class LBFile : public StoreTest {
protected:
    /* t output queues and the input queues "Plates In", "Proofs In", ... with their defaults */
    void Queues(int t, int l)
    {
        static const char *const names[] = { "Plates In", "Proofs In", "Films In" };
        Reset_Configuration();
        for (int i = 0; i < t; i++) mk::Add_Target("Out " + std::to_string(i + 1));
        for (int i = 0; i < l; i++) mk::Add_LBQ(names[i]);
    }
    static std::string Inconsistency(const char *queue, const std::string &rest)
    {
        return std::string("Found an inconsistency in the configuration files for the load balanced input queue \"") +
               queue + "\".  " + rest;
    }
};

struct ValueCase {
    const char *line;
    std::function<int(const LBQ &)> field;
    int stored;
    std::string message;       /* "" = no message */
};

TEST_F(LBFile, ValuesAreClampedWithTheirExactMessage)
{
    auto time = [](const LBQ &q) { return (int)q.timePriorityValue; };
    auto purge = [](const LBQ &q) { return q.fileGroupPurgeMinutes; };
    auto copies = [](const LBQ &q) { return q.minCopiesSplitSize; };
    auto pages = [](const LBQ &q) { return q.minPagesSplitSize; };
    auto enabled = [](const LBQ &q) { return q.queueGroupEnabled; };
    const ValueCase cases[] = {
        { "TIME_PRIORITY_VALUE 0", time, 1,
          Inconsistency("Plates In", "The token TIME_PRIORITY_VALUE is set below the minimum. Resetting from 0 to 1.") },
        { "TIME_PRIORITY_VALUE 250", time, 100,
          Inconsistency("Plates In", "The token TIME_PRIORITY_VALUE is set above the maximum. Resetting from 250 to 100.") },
        { "TIME_PRIORITY_VALUE 99999999999", time, 100,
          Inconsistency("Plates In", "The token TIME_PRIORITY_VALUE is set above the maximum. Resetting from 2147483647 to 100.") },
        { "FILE_GROUP_PURGE_MINUTES 1440", purge, 1439,
          Inconsistency("Plates In", "The token FILE_GROUP_PURGE_MINUTES is set above the maximum. Resetting from 1440 to 1439.") },
        { "FILE_GROUP_PURGE_MINUTES 0", purge, 1,
          Inconsistency("Plates In", "The token FILE_GROUP_PURGE_MINUTES is set below the minimum. Resetting from 0 to 1.") },
        { "MINIMUM_COPIES_SPLIT_SIZE -5", copies, 0,
          Inconsistency("Plates In", "The token MINIMUM_COPIES_SPLIT_SIZE is set below the minimum. Resetting from -5 to 0.") },
        { "MINIMUM_PAGES_SPLIT_SIZE 1001", pages, 1000,
          Inconsistency("Plates In", "The token MINIMUM_PAGES_SPLIT_SIZE is set above the maximum. Resetting from 1001 to 1000.") },
        { "TIME_PRIORITY_VALUE 75", time, 75, "" },
        { "time_priority_value 20", time, 20, "" },
        { "FILE_GROUP_PURGE_MINUTES 1439", purge, 1439, "" },
        /* the lowest and highest allowed values are taken as they stand */
        { "TIME_PRIORITY_VALUE 1", time, 1, "" },
        { "TIME_PRIORITY_VALUE 100", time, 100, "" },
        { "FILE_GROUP_PURGE_MINUTES 1", purge, 1, "" },
        { "MINIMUM_COPIES_SPLIT_SIZE 0", copies, 0, "" },
        { "MINIMUM_COPIES_SPLIT_SIZE 1000", copies, 1000, "" },
        { "MINIMUM_PAGES_SPLIT_SIZE 0", pages, 0, "" },
        { "MINIMUM_PAGES_SPLIT_SIZE 1000", pages, 1000, "" },
        { "TIME_PRIORITY_VALUE high", time, 50, "" },
        { "TIME_PRIORITY_VALUE", time, 50, "" },
        { "MINIMUM_COPIES_SPLIT_SIZE -1", copies, 0, "" },            /* -1 stands for "no number" */
        { "MINIMUM_COPIES_SPLIT_SIZE 12abc", copies, 12, "" },
        { "QUEUE_GROUP_ENABLED 0", enabled, 0, "" },
        { "QUEUE_GROUP_ENABLED 5", enabled, 5, "" },
        { "QUEUE_GROUP_ENABLED -2", enabled, 1, "" },
    };
    for (const ValueCase &c : cases) {
        SCOPED_TRACE(c.line);
        Queues(3, 2);
        msgs.boxes.clear();
        Put("LBPrefs.cfg", std::string("# comment\nINPUT_QUEUE 3\n") + c.line + "\n");
        EXPECT_TRUE(Get_LBConfig());
        EXPECT_EQ(c.stored, c.field(lbqs[0]));
        if (c.message.empty()) {
            EXPECT_EQ(0u, msgs.count());
        } else {
            ASSERT_EQ(1u, msgs.count());
            EXPECT_EQ(c.message, msgs.last().text);
            EXPECT_EQ(MB_ICONINFORMATION, tk::Icon_Of(msgs.last().flags));
            EXPECT_EQ("Editor", msgs.last().caption);
        }
    }
}

struct RuleCase {
    const char *text;            /* the file after "INPUT_QUEUE 3\n" */
    int idRule, groupRule, reassignment;
};

TEST_F(LBFile, RuleLinesAreWholeLinesWithoutRegardToCase)
{
    const RuleCase cases[] = {
        { "file_group_rule same_device\n", 0, 1, 1 },
        { "FILE_GROUP_RULE  SAME_DEVICE\n", 0, 0, 1 },          /* two spaces: not interpreted */
        { "FILE_GROUP_RULE SAME_DEVICE \n", 0, 0, 1 },          /* a trailing space: not interpreted */
        { "FILE_GROUP_ID_RULE same.*\n", 1, 0, 1 },
        { "FILE_GROUP_ID_RULE *c*\n", 2, 0, 1 },
        { "FILE_GROUP_RULE ANY_DEVICE\nJOB_REASSIGNMENT_RULE NOSPLIT\n", 0, 2, 3 },
        { "JOB_REASSIGNMENT_RULE ALL\n", 0, 0, 2 },
        { "JOB_REASSIGNMENT_RULE NO", 0, 0, 0 },                 /* the last line without its line feed */
        { "JOB_REASSIGNMENT_RULE MAYBE\n", 0, 0, 1 },
    };
    for (const RuleCase &c : cases) {
        SCOPED_TRACE(c.text);
        Queues(3, 2);
        Put("LBPrefs.cfg", std::string("INPUT_QUEUE 3\n") + c.text);
        EXPECT_TRUE(Get_LBConfig());
        EXPECT_EQ(c.idRule, lbqs[0].fileGroupIdRule);
        EXPECT_EQ(c.groupRule, lbqs[0].fileGroupRule);
        EXPECT_EQ(c.reassignment, lbqs[0].jobReassignmentRule);
        EXPECT_EQ(0u, msgs.count());
    }
}

TEST_F(LBFile, OutputQueuesAreNumberedAfterTheInputQueues)
{
    /* 3 output queues and 2 input queues: the second input queue is number 4, output 0 is number 2 */
    Queues(3, 2);
    Put("LBPrefs.cfg", "INPUT_QUEUE 4\nOUTPUT_QUEUE 2\nOUTPUT_QUEUE 4\nOUTPUT_QUEUE 5\nOUTPUT_QUEUE 1\n");
    EXPECT_TRUE(Get_LBConfig());
    EXPECT_EQ(0, Count_LBQOutputs(lbqs[0].outputs));
    EXPECT_EQ(1, lbqs[1].outputs[0]);
    EXPECT_EQ(1, lbqs[1].outputs[2]);
    EXPECT_EQ(2, Count_LBQOutputs(lbqs[1].outputs));
    ASSERT_EQ(2u, msgs.count());
    EXPECT_EQ(Inconsistency("Proofs In", "The queue \"3\" does not exist."), msgs.boxes[0].text);
    EXPECT_EQ(Inconsistency("Proofs In", "The queue \"-1\" does not exist."), msgs.boxes[1].text);

    Store_LBConfig(FALSE);
    EXPECT_EQ(Disk("# Load Balancer Configuration File\n"
                   "\n# Plates In\nQUEUE_GROUP 0\nINPUT_QUEUE 3\nQUEUE_GROUP_ENABLED 1\nFILE_GROUP_RULE NONE\n"
                   "JOB_REASSIGNMENT_RULE NONUSERMOVE\nTIME_PRIORITY_VALUE 50\nFILE_GROUP_PURGE_MINUTES 10\n"
                   "MINIMUM_COPIES_SPLIT_SIZE 0\nMINIMUM_PAGES_SPLIT_SIZE 0\n"
                   "\n# Proofs In\nQUEUE_GROUP 1\nINPUT_QUEUE 4\nQUEUE_GROUP_ENABLED 1\nFILE_GROUP_RULE NONE\n"
                   "JOB_REASSIGNMENT_RULE NONUSERMOVE\nTIME_PRIORITY_VALUE 50\nFILE_GROUP_PURGE_MINUTES 10\n"
                   "MINIMUM_COPIES_SPLIT_SIZE 0\nMINIMUM_PAGES_SPLIT_SIZE 0\nOUTPUT_QUEUE 2\nOUTPUT_QUEUE 4\n"
                   "\nDEBUG_LEVEL 0\n"),
              Get("LBPrefs.cfg"));
    EXPECT_FALSE(tk::Exists(Path("LBPrefs.old"))) << "the load balancer file keeps no backup";
}

TEST_F(LBFile, LinesWithoutACurrentInputQueueChangeNothing)
{
    Queues(3, 2);
    Put("LBPrefs.cfg", "OUTPUT_QUEUE 2\nTIME_PRIORITY_VALUE 0\nFILE_GROUP_RULE ANY_DEVICE\nINPUT_QUEUE 99\n"
                       "OUTPUT_QUEUE 3\nTIME_PRIORITY_VALUE 0\nQUEUE_GROUP_ENABLED 0\nINPUT_QUEUE 2\nOUTPUT_QUEUE 2\n"
                       "INPUT_QUEUE -4\nOUTPUT_QUEUE 4\nQUEUE_GROUP 0\n\nUNKNOWN 3\n");
    EXPECT_TRUE(Get_LBConfig());
    for (int i = 0; i < 2; i++) {
        EXPECT_EQ(0, Count_LBQOutputs(lbqs[i].outputs));
        EXPECT_EQ(50, lbqs[i].timePriorityValue);
        EXPECT_EQ(0, lbqs[i].fileGroupRule);
        EXPECT_EQ(1, lbqs[i].queueGroupEnabled);
    }
    EXPECT_EQ(0u, msgs.count());
}

TEST_F(LBFile, OverlongLinesAreSkippedWhole)
{
    Queues(3, 1);
    std::string taken = "OUTPUT_QUEUE 1" + std::string(245, ' ');            /* 259 characters */
    std::string skipped = "OUTPUT_QUEUE 2" + std::string(246, ' ');          /* 260 characters */
    std::string huge = "# " + std::string(5000, 'x') + "OUTPUT_QUEUE 3";
    Put("LBPrefs.cfg", "INPUT_QUEUE 3\n" + taken + "\n" + skipped + "\n" + huge + "\n");
    EXPECT_TRUE(Get_LBConfig());
    EXPECT_EQ(1, lbqs[0].outputs[0]);
    EXPECT_EQ(0, lbqs[0].outputs[1]);
    EXPECT_EQ(0, lbqs[0].outputs[2]);
}

TEST_F(LBFile, DebugLevelIsKeptAndDefaultsToZero)
{
    Queues(0, 0);
    Put("LBPrefs.cfg", "DEBUG_LEVEL 3\n");
    EXPECT_TRUE(Get_LBConfig());
    EXPECT_EQ(3, lbDebugLevel);
    EXPECT_TRUE(Store_LBConfig(FALSE));
    EXPECT_EQ(Disk("# Load Balancer Configuration File\n\nDEBUG_LEVEL 3\n"), Get("LBPrefs.cfg"));

    Put("LBPrefs.cfg", "# no level\nDEBUG_LEVEL -3\n");
    EXPECT_TRUE(Get_LBConfig());
    EXPECT_EQ(0, lbDebugLevel);
    EXPECT_TRUE(Store_LBConfig(FALSE));
    EXPECT_EQ(Disk("# Load Balancer Configuration File\n\nDEBUG_LEVEL 0\n"), Get("LBPrefs.cfg"));
}

/* An installation without input queues still keeps the load balancer's debug level through a
   load and a save, and a missing file is then no news for the operator. */
TEST_F(LBFile, DebugLevelSurvivesASaveWithoutInputQueues)
{
    Put("Queues.cfg", "Proofs::0::C:\\Hot\\Proofs::202:: ::-3::4::1\n");
    Put("LBPrefs.cfg", "# Load Balancer Configuration File\n\nDEBUG_LEVEL 3\n");
    saveOnExit = TRUE;
    InitData();
    EXPECT_EQ(0, lbqCount);
    EXPECT_EQ(3, lbDebugLevel);
    StoreSetup();
    EXPECT_EQ(Disk("# Load Balancer Configuration File\n\nDEBUG_LEVEL 3\n"), Get("LBPrefs.cfg"));

    DeleteFileA((home / "LBPrefs.cfg").c_str());
    InitData();
    EXPECT_EQ(0, lbDebugLevel);
    Free_Resources();
    EXPECT_EQ(0u, msgs.count()) << (msgs.count() ? msgs.last().text : "");
}

TEST_F(LBFile, MissingFileIsToldAndTheDefaultsStay)
{
    Queues(2, 1);
    EXPECT_FALSE(Get_LBConfig());
    ASSERT_EQ(1u, msgs.count());
    EXPECT_EQ("Could not open the load balancer configuration file " + Path("LBPrefs.cfg") +
                  ". Setting all input queue entries to default, with no listed ouput targets.",
              msgs.last().text);
    EXPECT_EQ(MB_ICONINFORMATION, tk::Icon_Of(msgs.last().flags));
    EXPECT_EQ(50, lbqs[0].timePriorityValue);
    EXPECT_EQ(0, Count_LBQOutputs(lbqs[0].outputs));
}

TEST_F(LBFile, EveryRuleAndSettingRoundTrips)
{
    Queues(4, 3);
    const std::string text = tk::Read_File(tk::Fixture("lb/every_rule.cfg"));
    Put("LBPrefs.cfg", text);
    EXPECT_TRUE(Get_LBConfig());
    EXPECT_EQ(0u, msgs.count());
    EXPECT_TRUE(Store_LBConfig(FALSE));
    EXPECT_EQ(Disk(text), Get("LBPrefs.cfg"));
}

TEST_F(LBFile, RulesSurviveAQueuesFileThatWasNotReadWhole)
{
    /* written for 3 output queues; the third line of the queues file is damaged */
    const std::string lb = "# Load Balancer Configuration File\n\n# In\nQUEUE_GROUP 0\nINPUT_QUEUE 3\n"
                           "QUEUE_GROUP_ENABLED 1\nFILE_GROUP_RULE ANY_DEVICE\nJOB_REASSIGNMENT_RULE ALL\n"
                           "TIME_PRIORITY_VALUE 80\nFILE_GROUP_PURGE_MINUTES 10\nMINIMUM_COPIES_SPLIT_SIZE 0\n"
                           "MINIMUM_PAGES_SPLIT_SIZE 0\nOUTPUT_QUEUE 1\nOUTPUT_QUEUE 3\n\nDEBUG_LEVEL 0\n";
    Put("LBPrefs.cfg", lb);
    Put("Queues.cfg", "In::0::C:\\In::201:: ::-3::4::1\nA::0::C:\\A::202:: ::-1::4::1\nB::0::C:\\B\nC::0::C:\\C::202:: ::-1::4::1\n");
    ASSERT_TRUE(Get_TargetData());
    ASSERT_EQ(1, targetCount);
    Get_LBConfig();
    saveOnExit = TRUE;
    EXPECT_TRUE(StoreSetup()) << "the store keeps the load balancer file's previous version";
    EXPECT_EQ(Disk(lb), Get("LBPrefs.old"));
}

TEST_F(LBFile, FailedStoreIsToldAndReturnsFalse)
{
    Set_ReplaceRetryTime(0);
    Queues(0, 0);
    CreateDirectoryA(Path("LBPrefs.cfg").c_str(), nullptr);
    EXPECT_FALSE(Store_LBConfig(FALSE));
    EXPECT_EQ(1, storeFailures);
    ASSERT_EQ(1u, msgs.count());
    EXPECT_EQ(MB_ICONSTOP, tk::Icon_Of(msgs.last().flags));
    EXPECT_EQ(0u, msgs.last().text.find("Could not open the load balancer configuration file for writing. Data will "
                                        "not be saved.\r\n\"" + Path("LBPrefs.cfg") + "\""));
}

TEST(LBRules, TablesHoldTheFileLinesCharacterForCharacter)
{
    EXPECT_EQ(3, Count_LBRules(fileGroupIdRules));
    EXPECT_EQ(3, Count_LBRules(fileGroupRules));
    EXPECT_EQ(4, Count_LBRules(jobReassignmentRules));
    EXPECT_STREQ("All seps for a job. Use filename mask", fileGroupIdRules[2].label);
    EXPECT_STREQ("", fileGroupIdRules[0].line);
    EXPECT_STREQ("FILE_GROUP_ID_RULE *C*\n", fileGroupIdRules[2].line);
    EXPECT_STREQ("Don't care", fileGroupRules[0].label);
    EXPECT_STREQ("FILE_GROUP_RULE ANY_DEVICE\n", fileGroupRules[2].line);
    EXPECT_STREQ("All jobs but don't split groups", jobReassignmentRules[3].label);
    EXPECT_STREQ("JOB_REASSIGNMENT_RULE NONUSERMOVE\n", jobReassignmentRules[1].line);
}

TEST(LBDefaults, NewSettingsAndOutputCount)
{
    LBQ q;
    memset(&q, 0xAB, sizeof q);
    q.minCopiesSplitSize = 7;
    Init_LBConfig(&q);
    EXPECT_EQ(0, q.fileGroupIdRule);
    EXPECT_EQ(0, q.fileGroupRule);
    EXPECT_EQ(1, q.jobReassignmentRule);
    EXPECT_EQ(50, q.timePriorityValue);
    EXPECT_EQ(10, q.fileGroupPurgeMinutes);
    EXPECT_EQ(1, q.queueGroupEnabled);
    EXPECT_EQ(7, q.minCopiesSplitSize) << "the split sizes stay as the caller set them";

    memset(q.outputs, 0, sizeof q.outputs);
    q.outputs[0] = 1;
    q.outputs[1999] = 1;
    q.outputs[5] = 2;                   /* only flags equal to 1 count */
    EXPECT_EQ(2, Count_LBQOutputs(q.outputs));
}

} // namespace
