#include "support/testkit.h"
#include "config/model.h"
#include "common/text.h"
#include <algorithm>

/* Five queues named by letter; references by position are checked through the names they reach. */
class MoveTarget : public ::testing::Test {
protected:
    void SetUp() override
    {
        Reset_Configuration();
        const char *names[] = { "A", "B", "C", "D", "E" };
        targetCount = 5;
        lbqCount = 2;
        for (int i = 0; i < 5; i++) {
            Copy_Field(targets[i].name, names[i]);
            targets[i].afterAction = AFTER_LEAVE;
            targets[i].timeoutAction = TIMEOUT_NEVER;
        }
        targets[0].afterAction = 4;      /* A passes jobs to E */
        targets[1].timeoutAction = 0;    /* B times out to A */
        targets[4].afterAction = 2;      /* E passes jobs to C */
        targets[3].afterAction = AFTER_MOVE_DONE;
        lbqs[0].outputs[1] = lbqs[0].outputs[3] = 1;   /* input 0 feeds B and D */
        lbqs[1].outputs[4] = 1;                         /* input 1 feeds E */
    }
    std::string Name_At(int pos) { return pos >= 0 ? targets[pos].name : "-"; }
    std::string Order()
    {
        std::string s;
        for (int i = 0; i < targetCount; i++) s += targets[i].name;
        return s;
    }
    std::string Outputs(int q)
    {
        std::string s;
        for (int i = 0; i < targetCount; i++) if (lbqs[q].outputs[i]) s += targets[i].name;
        return s;
    }
    int Pos_Of(const char *name)
    {
        for (int i = 0; i < targetCount; i++) if (strcmp(targets[i].name, name) == 0) return i;
        return -1;
    }
};

TEST_F(MoveTarget, ReferencesFollowTheQueuesTheyName)
{
    struct { int from, to; const char *order; } moves[] = {
        { 4, 0, "EABCD" }, { 0, 4, "ABCDE" }, { 1, 2, "ACBDE" }, { 3, 3, "ACBDE" }, { 2, 1, "ABCDE" }, { 0, 2, "BCADE" },
    };
    for (auto &m : moves) {
        SCOPED_TRACE(std::to_string(m.from) + "->" + std::to_string(m.to));
        Move_Target(m.from, m.to);
        EXPECT_EQ(m.order, Order());
        EXPECT_EQ("E", Name_At(targets[Pos_Of("A")].afterAction));
        EXPECT_EQ("A", Name_At(targets[Pos_Of("B")].timeoutAction));
        EXPECT_EQ("C", Name_At(targets[Pos_Of("E")].afterAction));
        EXPECT_EQ(AFTER_MOVE_DONE, targets[Pos_Of("D")].afterAction) << "action codes stay";
        EXPECT_EQ(TIMEOUT_NEVER, targets[Pos_Of("A")].timeoutAction);
        std::string in0 = Outputs(0), in1 = Outputs(1);
        std::sort(in0.begin(), in0.end());
        EXPECT_EQ("BD", in0);
        EXPECT_EQ("E", in1);
        for (int i = 0; i < targetCount; i++) EXPECT_EQ(i, targets[i].slotIndex);
    }
}

TEST_F(MoveTarget, OutOfRangePositionsChangeNothing)
{
    Target before[5];
    memcpy(before, targets, sizeof before);
    Move_Target(-1, 2);
    Move_Target(1, 5);
    Move_Target(7, 0);
    EXPECT_EQ(0, memcmp(before, targets, sizeof before));
}
