#include "store_fixture.h"
#include "config/appsfile.h"
#include "config/lbfile.h"
#include "config/queuesfile.h"
#include <map>

namespace {

/* Lays the demo installation out in dest the way the demo script does: "@HOME@" becomes the home
   directory, text files get CR LF line ends, "X.exe.demoapp" becomes a copy of the stand-in
   application named "X.exe". */
void Lay_Out_Demo(const std::string &src, const std::string &dest, const std::string &home)
{
    for (const std::string &name : tk::List_Dir(src)) {
        std::string from = src + "\\" + name, to = dest + "\\" + name;
        DWORD attr = GetFileAttributesA(from.c_str());
        if (attr & FILE_ATTRIBUTE_DIRECTORY) {
            if (name == "tools") continue;
            CreateDirectoryA(to.c_str(), nullptr);
            Lay_Out_Demo(from, to, home);
            continue;
        }
        if (name == ".keep") continue;
        const std::string demoapp = ".demoapp";
        if (name.size() > demoapp.size() && name.compare(name.size() - demoapp.size(), demoapp.size(), demoapp) == 0) {
            CopyFileA(tk::Build_Path("DemoApp.exe").c_str(), to.substr(0, to.size() - demoapp.size()).c_str(), FALSE);
            continue;
        }
        std::string bytes = tk::Read_File(from);
        for (size_t p; (p = bytes.find("@HOME@")) != std::string::npos;) bytes.replace(p, 6, home);
        std::string lf;
        for (char c : bytes)
            if (c != '\r') lf += c;
        tk::Write_File(to, tk::Crlf(lf));
    }
}

const char *const k_Files[] = { "Queues.cfg", "Applications.cfg", "LBPrefs.cfg" };

class StoreRoundTrip : public StoreTest {
protected:
    void SetUp() override
    {
        StoreTest::SetUp();
        Lay_Out_Demo(tk::Source_Path("demo"), home.home(), home.home());
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

    Defrag_AppsArray();
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
