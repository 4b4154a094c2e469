/* Creating the directories that the configuration names, and the spooler's system folders. */
#include "runtime_kit.h"
#include "common/msg.h"

using tk::Read_File;

class QueueDirs : public RuntimeTest {};

static bool Is_Dir(const std::string &path) { return Dir_Exists(path.c_str()) != FALSE; }

TEST_F(QueueDirs, NothingIsAskedForEmptyOrExistingPaths)
{
    tk::Write_File(home / "afile.txt", "x");
    const std::string existing[] = { "", " ", home.home(), "\"" + home.home() + "\"", home / "afile.txt" };
    tk::MsgRecorder boxes;
    for (const std::string &p : existing) {
        SCOPED_TRACE(p);
        EXPECT_TRUE(Ensure_Directory(p.c_str(), 0));
    }
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(QueueDirs, TheOperatorIsAskedBeforeADirectoryIsCreated)
{
    const std::string dir = home / "Hot\\Plates\\Day";
    {
        tk::MsgRecorder boxes({ IDNO });
        EXPECT_FALSE(Ensure_Directory(dir.c_str(), 0));
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ("Create the directory \"" + dir + "\"?", boxes.last().text);
        EXPECT_EQ("Editor", boxes.last().caption);
        EXPECT_EQ((UINT)(MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL), boxes.last().flags);
        EXPECT_FALSE(tk::Exists(home / "Hot"));
    }
    {
        tk::MsgRecorder boxes({ IDYES });
        EXPECT_TRUE(Ensure_Directory(dir.c_str(), 0));
        EXPECT_EQ(1u, boxes.count());
        EXPECT_TRUE(Is_Dir(dir)) << "the whole path is created";
    }
}

TEST_F(QueueDirs, SilentCreationAsksNothing)
{
    const std::string dir = home / "Done\\Plates";
    tk::MsgRecorder boxes;
    EXPECT_TRUE(Ensure_Directory(("\"" + dir + "\"").c_str(), 1));
    EXPECT_EQ(0u, boxes.count());
    EXPECT_TRUE(Is_Dir(dir));
}

TEST_F(QueueDirs, AFailedCreationIsReportedWithTheSystemError)
{
    tk::Write_File(home / "afile.txt", "x");
    const std::string dir = home / "afile.txt\\sub";
    tk::MsgRecorder boxes;
    EXPECT_FALSE(Ensure_Directory(dir.c_str(), 1));
    ASSERT_EQ(1u, boxes.count());
    const std::string want = "Failed to create the directory \"" + dir + ".\"\r\n\r\nError: ";
    EXPECT_EQ(want, boxes.last().text.substr(0, want.size()));
    EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(boxes.last().flags));
    EXPECT_EQ(1u, boxes.beeps.size());
}

TEST_F(QueueDirs, EveryDirectoryTheConfigurationNamesIsCreated)
{
    tk::Remove_Tree(home / "queue");
    tk::Remove_Tree(home / "state");
    const std::string h = home.home();
    Target &plain = Add_Target("Plain", (h + "\\Hot\\Plain").c_str());
    Copy_Field(plain.thumbnailDir, (h + "\\Thumbs\\Plain").c_str());
    Copy_Field(plain.doneDir, (h + "\\Done\\Plain").c_str());              /* not moved there: not made */
    Copy_Field(plain.timeoutDir, (h + "\\Timeout\\Plain").c_str());        /* one job at a time: not made */
    plain.timeoutAction = TIMEOUT_MOVE;
    Target &monitor = Add_Target("Monitor", (h + "\\Hot\\Monitor").c_str());
    monitor.monitorProcesses = TRUE;
    monitor.afterAction = AFTER_MOVE_DONE;
    Copy_Field(monitor.doneDir, (h + "\\Done\\Monitor").c_str());
    Target &multi = Add_Target("Multi", (h + "\\Hot\\Multi").c_str());
    multi.jobsAtATime = 2;
    multi.timeoutAction = TIMEOUT_MOVE;
    Copy_Field(multi.timeoutDir, (h + "\\Timeout\\Multi").c_str());
    Add_LBQ("Input", (h + "\\Hot\\Input").c_str());
    tk::MsgRecorder boxes({ IDYES, IDYES, IDYES, IDYES, IDYES, IDYES });

    Create_QueueDirs(0);

    std::vector<std::string> asked;
    for (const tk::Box &b : boxes.boxes) asked.push_back(b.text);
    const std::vector<std::string> want = {
        "Create the directory \"" + h + "\\Hot\\Plain\"?",
        "Create the directory \"" + h + "\\Done\\Monitor\"?",
        "Create the directory \"" + h + "\\Hot\\Multi\"?",
        "Create the directory \"" + h + "\\Timeout\\Multi\"?",
        "Create the directory \"" + h + "\\Thumbs\\Plain\"?",
        "Create the directory \"" + h + "\\Hot\\Input\"?",
    };
    EXPECT_EQ(want, asked);
    EXPECT_EQ(std::vector<std::string>({ "Done", "Hot", "System", "Thumbs", "Timeout", "logs", "queue", "state" }),
              tk::List_Dir(h));
    EXPECT_FALSE(tk::Exists(h + "\\Hot\\Monitor"));
    EXPECT_FALSE(tk::Exists(h + "\\Done\\Plain"));
    EXPECT_FALSE(tk::Exists(h + "\\Timeout\\Plain"));
    for (const char *d : { "queue", "logs", "state" }) EXPECT_TRUE(Is_Dir(h + "\\" + d)) << d;
    EXPECT_EQ("END OF QUEUE", Read_File(h + "\\queue\\engine.q"));
}

TEST_F(QueueDirs, DeclinedDirectoriesStayMissingButTheSystemFoldersAreMade)
{
    tk::Remove_Tree(home / "state");
    Add_Target("Plain", (home / "Hot\\Plain").c_str());
    tk::MsgRecorder boxes({ IDNO });
    Create_QueueDirs(0);
    EXPECT_EQ(1u, boxes.count());
    EXPECT_FALSE(tk::Exists(home / "Hot"));
    EXPECT_TRUE(Is_Dir(home / "state"));
    EXPECT_TRUE(Is_Dir(home / "logs"));
}

TEST_F(QueueDirs, AnExistingJobFileIsNotEmptied)
{
    const std::string jobs = Jobs({ "1::0::a.ps::4::1::0::r" });
    tk::Write_File(jobFile, jobs);
    Create_SystemDirs();
    EXPECT_EQ(jobs, Read_File(jobFile));
}

TEST_F(QueueDirs, EmptyingTheQueueThatCannotBeWrittenIsReported)
{
    tk::Remove_Tree(home / "queue");
    tk::MsgRecorder boxes;
    Empty_Queue();
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("Could not open the queue file for emptying.\r\n\"" + jobFile + "\"", boxes.last().text);
    EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
    EXPECT_EQ((UINT)MB_OK, tk::Buttons_Of(boxes.last().flags));
}
