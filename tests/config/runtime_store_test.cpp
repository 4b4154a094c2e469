/* Storing the demo print shop in-process after the operator deleted a queue: the real
   loaders, the renumbering of the applications and the run-time files together. */
#include "runtime_kit.h"
#include "config/appsfile.h"
#include "config/prefsfile.h"
#include "config/setup.h"

class DemoShop : public RuntimeTest {};

TEST_F(DemoShop, DeletingAQueueKeepsTheRunningJobsOfQueuesWhoseApplicationsWereRenumbered)
{
    tk::Lay_Out_Demo(home.home());
    Reset_SpoolerGlobalsForTest();
    std::string jobs = tk::Read_File(jobFile);
    ASSERT_NE(std::string::npos, jobs.find("1045::6::Catalogue_2027.pdf::4::1::2::")) << "a running job of Imposition";
    ASSERT_EQ(tk::Crlf("5\n"), tk::Read_File(statusFile));

    InitData();
    ASSERT_EQ(2, lbqCount);
    ASSERT_STREQ("PDF Archive", targets[2].name);
    ASSERT_STREQ("Imposition", targets[4].name);
    /* PDF Archive is the only queue that runs its application: the renumbering drops that
       entry and every later entry number, Imposition's group among them, goes down by one. */
    Delete_OutputQueue(2);
    saveOnExit = TRUE;
    tk::MsgRecorder boxes;
    StoreSetup();

    EXPECT_EQ(0u, boxes.count());
    for (size_t at; (at = jobs.find("::5::Proof_")) != std::string::npos;) jobs.replace(at, 11, "::4::Proof_");
    jobs.replace(jobs.find("1045::6::"), 9, "1045::5::");
    EXPECT_EQ(jobs, tk::Read_File(jobFile));
    EXPECT_EQ(tk::Crlf("4\n"), tk::Read_File(statusFile)) << "Proofer stays suspended under its new number";
    EXPECT_EQ(nullptr, queueSnapshot);
}
