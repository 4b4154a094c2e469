#include "store_fixture.h"
#include "config/appsfile.h"
#include "config/lbfile.h"
#include "config/queuesfile.h"
#include <map>

namespace {

const char *const k_Files[] = { "Queues.cfg", "Applications.cfg", "LBPrefs.cfg" };

class StoreRoundTrip : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        tk::Lay_Out_Demo(home.home());
        for (const char *f : k_Files) before[f] = Get(f);
    }
    std::map<std::string, std::string> before;
};

TEST_F(StoreRoundTrip, DemoConfigurationReadsAsAPrintShop)
{
    ASSERT_TRUE(Get_TargetData());
    ASSERT_EQ(2, lbqCount);
    ASSERT_EQ(7, targetCount);
    Get_LBConfig();
    ASSERT_TRUE(Get_AppsData());
    Carry_LegacyCompat();
    EXPECT_EQ(0u, msgs.count()) << (msgs.count() ? msgs.last().text : "");

    EXPECT_STREQ("Plate Setter 2", targets[1].name);
    EXPECT_EQ(2, targets[1].afterAction) << "passes its jobs to the PDF Archive";
    EXPECT_EQ(targets[0].processRef, targets[1].processRef) << "the plate setters share their application";
    EXPECT_STREQ("Imposition", targets[4].name);
    ASSERT_TRUE(targets[4].usesGroup);
    EXPECT_FALSE(appGroups[targets[4].processRef].parallel);
    EXPECT_EQ(0, targets[4].afterAction);
    EXPECT_EQ(1, targets[4].timeoutAction);
    ASSERT_TRUE(targets[5].usesGroup);
    EXPECT_TRUE(appGroups[targets[5].processRef].parallel);
    EXPECT_EQ(-3, targets[3].timeoutAction);
    EXPECT_EQ(NO_PROCESSES, targets[6].processRef);
    EXPECT_EQ(home.home() + "\\Apps\\PlateRip.exe", std::string(apps[0].path));
    EXPECT_EQ(70, lbqs[0].timePriorityValue);
    EXPECT_EQ(2, Count_LBQOutputs(lbqs[0].outputs));
    EXPECT_EQ(1, lbqs[0].outputs[0]);
    EXPECT_EQ(1, lbqs[1].outputs[3]);
    EXPECT_EQ(25, lbqs[1].minCopiesSplitSize);
    EXPECT_EQ(2, lbDebugLevel);

    Store_TargetData();
    Store_LBConfig();
    Store_AppsData();
    for (const char *f : k_Files) EXPECT_EQ(before[f], Get(f)) << f;
}

TEST_F(StoreRoundTrip, UpdateModeRewritesEveryFileByteForByte)
{
    tk::Child editor(tk::Quote(tk::Editor_Exe()) + " -update " + home.home(), home.home());
    ASSERT_TRUE(editor.started());
    EXPECT_EQ(0, editor.wait(30000));
    for (const char *f : k_Files) EXPECT_EQ(before[f], Get(f)) << f;
    EXPECT_EQ(before["Queues.cfg"], Get("Queues.old"));
    EXPECT_EQ(before["Applications.cfg"], Get("Applications.old"));
    EXPECT_FALSE(tk::Exists(Path("LBPrefs.old")));
    for (const std::string &n : tk::List_Dir(home.home())) EXPECT_NE(0u, n.find("~ed")) << "temporary file left: " << n;
}

} // namespace
