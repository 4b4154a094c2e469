#include "store_fixture.h"
#include "config/queuesfile.h"
#include "config/lbfile.h"

namespace {

class MoveTargetStore : public StoreTest {
protected:
    /* five output queues "Q0".."Q4" whose references name queues by name in the test */
    void SetUp() override
    {
        StoreTest::SetUp();
        targetCount = 5;
        for (int i = 0; i < 5; i++) {
            Format_Text(targets[i].name, sizeof targets[i].name, "Q%d", i);
            targets[i].afterAction = AFTER_DELETE;
            targets[i].timeoutAction = TIMEOUT_NEVER;
        }
        targets[0].afterAction = 3;        /* Q0 passes done jobs to Q3 */
        targets[1].timeoutAction = 4;      /* Q1 passes timed-out jobs to Q4 */
        targets[4].afterAction = 1;        /* Q4 to Q1 */
        targets[2].afterAction = 2;        /* Q2 to itself */
        targets[3].timeoutAction = 0;      /* Q3 to Q0 */
        lbqCount = 2;
        lbqs[0].outputs[1] = 1;            /* input 0 feeds Q1 and Q4 */
        lbqs[0].outputs[4] = 1;
        lbqs[1].outputs[0] = 1;            /* input 1 feeds Q0 */
    }
    int Pos(const char *name)
    {
        for (int i = 0; i < targetCount; i++)
            if (strcmp(targets[i].name, name) == 0) return i;
        return -1;
    }
    std::string Name(int pos) { return pos >= 0 && pos < targetCount ? targets[pos].name : "?"; }
    void Expect_ReferencesUnchanged()
    {
        EXPECT_EQ("Q3", Name(targets[Pos("Q0")].afterAction));
        EXPECT_EQ("Q4", Name(targets[Pos("Q1")].timeoutAction));
        EXPECT_EQ("Q1", Name(targets[Pos("Q4")].afterAction));
        EXPECT_EQ("Q2", Name(targets[Pos("Q2")].afterAction));
        EXPECT_EQ("Q0", Name(targets[Pos("Q3")].timeoutAction));
        EXPECT_EQ(AFTER_DELETE, targets[Pos("Q1")].afterAction);
        EXPECT_EQ(TIMEOUT_NEVER, targets[Pos("Q0")].timeoutAction);
        EXPECT_EQ(1, lbqs[0].outputs[Pos("Q1")]);
        EXPECT_EQ(1, lbqs[0].outputs[Pos("Q4")]);
        EXPECT_EQ(2, Count_LBQOutputs(lbqs[0].outputs));
        EXPECT_EQ(1, lbqs[1].outputs[Pos("Q0")]);
        EXPECT_EQ(1, Count_LBQOutputs(lbqs[1].outputs));
        for (int i = 0; i < targetCount; i++) EXPECT_EQ(i, targets[i].slotIndex);
    }
};

TEST_F(MoveTargetStore, EveryReferenceKeepsPointingAtTheSameQueue)
{
    const struct { int from, to; const char *order; } moves[] = {
        { 0, 4, "Q1 Q2 Q3 Q4 Q0" },
        { 4, 0, "Q0 Q1 Q2 Q3 Q4" },
        { 1, 2, "Q0 Q2 Q1 Q3 Q4" },
        { 2, 1, "Q0 Q1 Q2 Q3 Q4" },
        { 3, 3, "Q0 Q1 Q2 Q3 Q4" },
        { 4, 1, "Q0 Q4 Q1 Q2 Q3" },
    };
    for (const auto &m : moves) {
        SCOPED_TRACE(std::to_string(m.from) + " -> " + std::to_string(m.to));
        Move_Target(m.from, m.to);
        std::string order;
        for (int i = 0; i < targetCount; i++) order += std::string(i ? " " : "") + targets[i].name;
        EXPECT_EQ(m.order, order);
        Expect_ReferencesUnchanged();
    }
}

TEST_F(MoveTargetStore, MovedQueuesAreStoredWithTheirNewNumbers)
{
    for (int i = 0; i < 5; i++) {
        Format_Text(targets[i].hotDir, sizeof targets[i].hotDir, "C:\\Q%d", i);
        targets[i].priority = targets[i].copies = targets[i].countDown = 1;
        targets[i].jobsAtATime = targets[i].doneFileLimit = 1;
        targets[i].processRef = NO_PROCESSES;
    }
    Copy_Field(lbqs[0].name, "In 0");
    Copy_Field(lbqs[1].name, "In 1");
    Move_Target(0, 4);                      /* Q1 Q2 Q3 Q4 Q0 */
    Store_TargetData();
    Reset_Configuration();
    ASSERT_TRUE(Get_TargetData());
    ASSERT_EQ(5, targetCount);
    EXPECT_STREQ("Q0", targets[4].name);
    EXPECT_EQ(2, targets[4].afterAction) << "Q0 still passes its jobs to Q3";
    EXPECT_STREQ("Q4", targets[3].name);
    EXPECT_EQ(0, targets[3].afterAction) << "Q4 still passes its jobs to Q1";
    EXPECT_EQ(3, targets[0].timeoutAction) << "Q1 still times out to Q4";
}

} // namespace
