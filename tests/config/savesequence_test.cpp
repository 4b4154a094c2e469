/* The save sequence that OK in the main dialog and the silent mode share: the one difference
   between them, and what a store that fails leaves behind. */
#include "support/testkit.h"
#include "support/modelkit.h"
#include "config/savesequence.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/text.h"
#include "config/lbfile.h"
#include "config/model.h"
#include "config/runtime.h"
#include "config/setup.h"
#include "config/storefile.h"

class SaveSequence : public tk::HomeTest {
protected:
    void SetUp() override
    {
        tk::HomeTest::SetUp();
        Set_ReplaceRetryTime(100);
        /* two queues that run nothing, fed by one balancing input queue with a single output */
        for (const char *name : { "Plates", "Proofs" }) {
            Target &t = mk::Add_Target(name, home / (std::string("Hot\\") + name));
            tk::Make_Dirs(t.hotDir);
            mk::Runs_Nothing(t);
        }
        LBQ &q = mk::Add_LBQ("Input", home / "Hot\\Input");
        tk::Make_Dirs(q.hotDir);
        q.outputs[0] = 1;
        Snapshot_Queues();
    }
    static bool Has_Text(const tk::MsgRecorder &r, const std::string &part)
    {
        for (const tk::Box &b : r.boxes)
            if (b.text.find(part) != std::string::npos) return true;
        return false;
    }
};

TEST_F(SaveSequence, OnlyTheMainDialogChecksTheOutputsOfBalancingInputQueues)
{
    const std::string check = "The load balanced input queue \"Input\" does not have two or more output queues";
    {
        tk::MsgRecorder boxes;
        EXPECT_FALSE(Save_Sequence(FALSE));
        EXPECT_TRUE(Has_Text(boxes, check));
        EXPECT_FALSE(tk::Exists(home / "Queues.cfg")) << "a refused check stores nothing";
    }
    {
        tk::MsgRecorder boxes;
        EXPECT_TRUE(Save_Sequence(TRUE));
        EXPECT_EQ(0u, boxes.count()) << (boxes.count() ? boxes.last().text : "");
        EXPECT_TRUE(tk::Exists(home / "Queues.cfg"));
    }
}

TEST_F(SaveSequence, AFailedStoreIsToldKeepsTheEditsAndCanBeRepeated)
{
    lbqs[0].outputs[1] = 1;                                /* the check passes */
    tk::Make_Dirs(home / "Queues.old");                    /* the queues file cannot keep its backup */
    const std::string queues = home / "Queues.cfg";
    tk::Write_File(queues, "before");
    const std::string model(reinterpret_cast<const char *>(targets), sizeof targets);
    {
        tk::MsgRecorder boxes;
        EXPECT_FALSE(Save_Sequence(FALSE));
        ASSERT_EQ(2u, boxes.count());
        EXPECT_EQ(0u, boxes.boxes[0].text.find("Could not open the queue data file for writing")) << boxes.boxes[0].text;
        EXPECT_EQ("Not every file could be saved. These files keep what they held before:\r\n\r\n" + queues +
                      "\r\n\r\nYour changes are still in the editor. Put right what stopped the save (free some space on "
                      "the disk, close the program that holds a file) and press OK again, or press Cancel to leave "
                      "the files as they are now.",
                  boxes.last().text);
        EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
        EXPECT_EQ("Editor", boxes.last().caption);
    }
    EXPECT_EQ("before", tk::Read_File(queues));
    EXPECT_TRUE(model == std::string(reinterpret_cast<const char *>(targets), sizeof targets)) << "edits kept";
    EXPECT_NE(nullptr, queueSnapshot) << "the load is still known for the next save";
    {
        tk::MsgRecorder boxes;
        tk::Make_Dirs(home / "Queues.old");
        EXPECT_FALSE(Save_Sequence(TRUE)) << "the silent mode fails the same way";
        EXPECT_EQ(1u, boxes.count()) << "without the closing advice: nothing stays open to press OK in";
    }
    RemoveDirectoryA((home / "Queues.old").c_str());
    {
        tk::MsgRecorder boxes;
        EXPECT_TRUE(Save_Sequence(FALSE));
        EXPECT_EQ(0u, boxes.count()) << (boxes.count() ? boxes.last().text : "");
    }
    EXPECT_NE(std::string::npos, tk::Read_File(queues).find("Plates::0::")) << "stored at the second OK";
    EXPECT_EQ("before", tk::Read_File(home / "Queues.old"));
}
