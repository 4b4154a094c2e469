/* The queue job file and the queue status file, rewritten on storing after the queues were
   edited: real files in a temporary installation. */
#include "runtime_kit.h"
#include "common/msg.h"
#include <functional>
#include "config/appsfile.h"
#include "config/setup.h"

using tk::Crlf;
using tk::Read_File;
using tk::Write_File;

/* Three output queues and their jobs as they were at load. */
class JobFile : public RuntimeTest {
protected:
    void Load_ThreeQueues()
    {
        Add_Target("Plates", "C:\\Hot\\Plates");
        Add_Target("Proofs", "C:\\Hot\\Proofs");
        Add_Target("Films", "C:\\Hot\\Films");
    }
};

TEST_F(JobFile, UnchangedConfigurationKeepsBothFilesByteForByte)
{
    Add_LBQ("Input", "C:\\Hot\\Input");
    Add_Target("Plates", "C:\\Hot\\Plates", 4, 1, TRUE);
    Add_Target("Proofs", "C:\\Hot\\Proofs");
    const std::string jobs = Jobs({
        "101::0::a.ps::4::1::0::12:30:05 03/11/2026::7",
        "102::1::sub\\b.pdf::4::1::3::x",
        "103::2::c.tif::2::5::7::rest with :: colons and  blanks ",
    });
    Write_File(jobFile, jobs);
    Write_File(statusFile, Crlf("2\n1\n"));
    ASSERT_EQ(1, Snapshot_Queues());

    Update_QueueFiles();

    EXPECT_EQ(jobs, Read_File(jobFile));
    EXPECT_EQ(Crlf("2\n1\n"), Read_File(statusFile));
    EXPECT_EQ(std::vector<std::string>({ "engine.q" }), tk::List_Dir(home / "queue")) << "a temporary file was left";
}

TEST_F(JobFile, MovingAQueueRenumbersTheJobsAndTheStatusFile)
{
    Load_ThreeQueues();
    Write_File(jobFile, Jobs({ "1::0::a.ps::4::1::0::r", "2::1::b.ps::4::1::3::r", "3::2::c.ps::4::1::7::r" }));
    Write_File(statusFile, Crlf("0\n2\n"));
    ASSERT_EQ(1, Snapshot_Queues());

    Move_Target(2, 0);                      /* Films, Plates, Proofs */
    Update_QueueFiles();

    EXPECT_EQ(Jobs({ "1::1::a.ps::4::1::0::r", "2::2::b.ps::4::1::3::r", "3::0::c.ps::4::1::7::r" }), Read_File(jobFile));
    EXPECT_EQ(Crlf("1\n0\n"), Read_File(statusFile)) << "Plates and Films stay suspended under their new numbers";
}

/* The status file names suspended queues by number: every change of number reaches it, and
   without one it is left byte for byte as the spooler wrote it. */
struct StatusCase {
    const char *name;
    std::function<void()> edit;
    const char *after;                      /* nullptr: untouched */
};

TEST_F(JobFile, TheStatusFileFollowsEveryChangeOfNumberAndOnlyThen)
{
    const char *before = "0,2 \r\n";        /* Plates and Films suspended, as another program wrote it */
    const StatusCase cases[] = {
        { "nothing changed", [] {}, nullptr },
        { "a setting changed", [] { targets[1].copies = 5; }, nullptr },
        { "an output queue added at the end", [] { Add_Target("New", "C:\\Hot\\New"); }, nullptr },
        { "a queue moved", [] { Move_Target(0, 2); }, "2\n1\n" },
        { "an input queue added before the output queues", [] { Add_LBQ("In", "C:\\Hot\\In"); }, "1\n3\n" },
        { "the last queue deleted", [] { Delete_Target(2); }, "0\n" },
        { "the first queue deleted", [] { Delete_Target(0); }, "1\n" },
    };
    for (const StatusCase &c : cases) {
        SCOPED_TRACE(c.name);
        Fresh_Process();
        Load_ThreeQueues();
        Write_File(jobFile, Jobs({}));
        Write_File(statusFile, before);
        ASSERT_EQ(1, Snapshot_Queues());
        c.edit();
        EXPECT_TRUE(Update_QueueFiles());
        EXPECT_EQ(c.after ? Crlf(c.after) : std::string(before), Read_File(statusFile));
    }
}

TEST_F(JobFile, DeletingAQueueDropsItsJobsAndItsStatusLine)
{
    Add_LBQ("Input", "C:\\Hot\\Input");
    Load_ThreeQueues();                     /* numbers 1, 2, 3 */
    Write_File(jobFile, Jobs({ "1::0::a.ps::4::1::0::r", "2::1::b.ps::4::1::2::r", "3::2::c.ps::4::1::0::r",
                               "4::3::d.ps::4::1::4::r" }));
    Write_File(statusFile, Crlf("1,2\n3\n"));
    ASSERT_EQ(1, Snapshot_Queues());

    Delete_Target(1);                  /* Proofs, number 2 */
    Update_QueueFiles();

    EXPECT_EQ(Jobs({ "1::0::a.ps::4::1::0::r", "2::1::b.ps::4::1::2::r", "4::2::d.ps::4::1::4::r" }), Read_File(jobFile));
    EXPECT_EQ(Crlf("1\n2\n"), Read_File(statusFile));
}

TEST_F(JobFile, DeletingAnInputQueueMovesEveryLaterQueueUp)
{
    Add_LBQ("In A", "C:\\Hot\\InA");
    Add_LBQ("In B", "C:\\Hot\\InB");
    Add_Target("Plates", "C:\\Hot\\Plates");
    Add_Target("Proofs", "C:\\Hot\\Proofs");
    Write_File(jobFile, Jobs({ "1::0::a.ps::4::1::0::r", "2::1::b.ps::4::1::0::r", "3::2::c.ps::4::1::0::r",
                               "4::3::d.ps::4::1::0::r" }));
    Write_File(statusFile, Crlf("0\n1\n3\n"));
    ASSERT_EQ(1, Snapshot_Queues());

    Delete_LBQ(0);
    Update_QueueFiles();

    EXPECT_EQ(Jobs({ "2::0::b.ps::4::1::0::r", "3::1::c.ps::4::1::0::r", "4::2::d.ps::4::1::0::r" }), Read_File(jobFile));
    EXPECT_EQ(Crlf("0\n2\n"), Read_File(statusFile));
}

TEST_F(JobFile, QueuesAddedSinceTheLoadShiftTheNumbersOfLoadedOnes)
{
    Load_ThreeQueues();
    Write_File(jobFile, Jobs({ "1::0::a.ps::4::1::0::r", "2::1::b.ps::4::1::3::r", "3::2::c.ps::4::1::0::r" }));
    ASSERT_EQ(1, Snapshot_Queues());

    /* A new input queue comes before every output queue; a loaded queue moved below a new
       output queue sits at a position that no queue had at load. */
    Add_LBQ("New input", "C:\\Hot\\NewIn");
    Add_Target("New", "C:\\Hot\\New");
    Move_Target(0, 3);                      /* Proofs, Films, New, Plates */
    Update_QueueFiles();

    EXPECT_EQ(Jobs({ "1::4::a.ps::4::1::0::r", "2::1::b.ps::4::1::3::r", "3::2::c.ps::4::1::0::r" }), Read_File(jobFile));
}

TEST_F(JobFile, ChangedHotDirectoryDropsItsJobsWhateverTheirState)
{
    Load_ThreeQueues();
    Write_File(jobFile, Jobs({ "1::0::a.ps::4::1::0::r", "2::0::b.ps::4::1::3::r", "3::0::c.ps::4::1::7::r",
                               "4::1::d.ps::4::1::3::r", "5::2::e.ps::4::1::3::r" }));
    ASSERT_EQ(1, Snapshot_Queues());

    Copy_Field(targets[0].hotDir, "C:\\Hot\\Plates2");
    Copy_Field(targets[1].hotDir, "c:\\HOT\\proofs");     /* the same directory */
    Update_QueueFiles();

    EXPECT_EQ(Jobs({ "4::1::d.ps::4::1::3::r", "5::2::e.ps::4::1::3::r" }), Read_File(jobFile));
}

TEST_F(JobFile, CopiesAndPriorityReachOnlyWaitingJobs)
{
    Add_Target("Plates", "C:\\Hot\\Plates", 2, 1);
    Add_Target("Proofs", "C:\\Hot\\Proofs", 3, 2);
    std::string before, after;
    for (int state = 0; state <= 9; state++) {
        char line[96];
        snprintf(line, sizeof line, "%d::0::j%d.ps::2::1::%d::r\r\n", state, state, state);
        before += line;
        bool waiting = state == 0 || state == 1 || state == 7 || state == 8;
        snprintf(line, sizeof line, "%d::0::j%d.ps::%d::%d::%d::r\r\n", state, state, waiting ? 6 : 2, waiting ? 3 : 1,
                 state);
        after += line;
    }
    before += "20::1::p.ps::3::2::0::r\r\n";
    after += "20::1::p.ps::7::2::0::r\r\n";
    Write_File(jobFile, before + "END OF QUEUE");
    ASSERT_EQ(1, Snapshot_Queues());

    targets[0].priority = 6;
    targets[0].copies = 3;
    targets[1].priority = 12;               /* out of range: the job gets the highest priority */
    Update_QueueFiles();

    EXPECT_EQ(after + "END OF QUEUE", Read_File(jobFile));
}

TEST_F(JobFile, ChangedProcessesDropOnlyJobsThatAreNotWaiting)
{
    Set_App(0, "C:\\Apps\\Rip.exe");
    Set_App(1, "C:\\Apps\\Proof.exe");
    Use_App(Add_Target("Plates", "C:\\Hot\\Plates"), 0);
    Use_App(Add_Target("Proofs", "C:\\Hot\\Proofs"), 1);
    std::string before, after;
    for (int state = 0; state <= 9; state++) {
        char line[64];
        snprintf(line, sizeof line, "%d::0::j%d.ps::4::1::%d::r\r\n", state, state, state);
        before += line;
        if (state == 0 || state == 1 || state == 7 || state == 8) after += line;
    }
    before += "20::1::p.ps::4::1::3::r\r\n";
    after += "20::1::p.ps::4::1::3::r\r\n";
    Write_File(jobFile, before + "END OF QUEUE");
    ASSERT_EQ(1, Snapshot_Queues());

    Use_App(targets[0], 1);                             /* Plates now runs another program */
    Copy_Field(apps[1].path, "c:\\apps\\PROOF.EXE");    /* the same program for Proofs */
    Update_QueueFiles();

    EXPECT_EQ(after + "END OF QUEUE", Read_File(jobFile));
}

/* The snapshot holds a group's four paths whole, each as long as a path can be: a change in the
   last character of the fourth is a change of processes. */
TEST_F(JobFile, TheLastCharacterOfTheLongestGroupIsCompared)
{
    for (int slot = 0; slot < MAX_GROUP_MEMBERS; slot++) {
        /* "C:\" + 250 letters + "\x.exe": 259 characters, the most a path holds */
        const std::string path = "C:\\" + std::string(TEXT259_LEN - 10, (char)('a' + slot)) + "\\x.exe";
        ASSERT_EQ((size_t)TEXT259_LEN - 1, path.size());
        Set_App(slot, path.c_str());
        ASSERT_STREQ(path.c_str(), apps[slot].path);
    }
    Set_Group(0, { 0, 1, 2, 3 });
    Use_Group(Add_Target("Plates", "C:\\Hot\\Plates"), 0);
    const std::string running = Jobs({ "1::0::a.ps::4::1::3::r" });
    Write_File(jobFile, running);
    ASSERT_EQ(1, Snapshot_Queues());

    Update_QueueFiles();
    EXPECT_EQ(running, Read_File(jobFile)) << "nothing changed yet";
    apps[3].path[TEXT259_LEN - 2] = 'y';
    Update_QueueFiles();
    EXPECT_EQ(Jobs({}), Read_File(jobFile)) << "the running job goes with the changed program";
}

TEST_F(JobFile, RenumberedApplicationReferencesAreNotAChangeOfProcesses)
{
    Set_App(1, "C:\\Apps\\Rip.exe");
    Set_App(3, "C:\\Apps\\Proof.exe");
    Set_App(4, "C:\\Apps\\Film.exe");
    Set_Group(4, { 1, 3 });
    Use_App(Add_Target("Plates", "C:\\Hot\\Plates"), 3);
    Use_Group(Add_Target("Proofs", "C:\\Hot\\Proofs"), 4);
    Use_App(Add_Target("Films", "C:\\Hot\\Films"), 4);
    const std::string running = Jobs({ "1::0::a.ps::4::1::3::r", "2::1::b.ps::4::1::4::r", "3::2::c.ps::4::1::5::r" });
    Write_File(jobFile, running);
    ASSERT_EQ(1, Snapshot_Queues());

    /* The whole store: the files carry entry numbers that differ from the slots. */
    Use_App(targets[2], 1);                 /* Films now runs Rip.exe: its running job goes */
    APP_NUMBERING n;
    Defrag_AppsArray(&n);
    ASSERT_NE(targets[0].processRef, Entry_OfSlot(&n, targets[0].processRef, FALSE))
        << "the file numbers must differ from the slots for this test";
    saveOnExit = TRUE;
    tk::MsgRecorder boxes;
    EXPECT_TRUE(StoreSetup());

    EXPECT_EQ(Jobs({ "1::0::a.ps::4::1::3::r", "2::1::b.ps::4::1::4::r" }), Read_File(jobFile));
    EXPECT_EQ(3, targets[0].processRef) << "the queues keep naming their slots";
}

TEST_F(JobFile, JobsFromSubDirectoriesGoWhenTheQueueNoLongerIncludesThem)
{
    Add_LBQ("Input", "C:\\Hot\\Input", 4, 1, TRUE);
    Add_Target("Plates", "C:\\Hot\\Plates", 4, 1, TRUE);
    Add_Target("Proofs", "C:\\Hot\\Proofs", 4, 1, TRUE);
    Write_File(jobFile, Jobs({ "1::0::in\\a.ps::4::1::0::r", "2::0::a.ps::4::1::0::r", "3::1::day1\\b.ps::4::1::3::r",
                               "4::1::b.ps::4::1::3::r", "5::2::x\\y\\c.ps::4::1::0::r" }));
    ASSERT_EQ(1, Snapshot_Queues());

    lbqs[0].includeSubdirs = FALSE;
    targets[0].includeSubdirs = FALSE;
    Update_QueueFiles();

    EXPECT_EQ(Jobs({ "2::0::a.ps::4::1::0::r", "4::1::b.ps::4::1::3::r", "5::2::x\\y\\c.ps::4::1::0::r" }),
              Read_File(jobFile));
}

struct ReadCase { const char *name, *before, *after; };
static const ReadCase k_Reading[] = {
    { "an empty file", "", "END OF QUEUE" },
    { "the marker alone", "END OF QUEUE", "END OF QUEUE" },
    { "no job lines", "\r\nEND OF QUEUE", "END OF QUEUE" },
    { "unreadable lines only", "not a job line\r\n1::x::a.ps::4::1::0::r\r\nEND OF QUEUE", "END OF QUEUE" },
    { "a line without the rest", "1::0::a.ps::4::1::0\r\nEND OF QUEUE", "1::0::a.ps::4::1::0::\r\nEND OF QUEUE" },
    { "runs of colons are one separator", "1:0:::a.ps::4::1::0:::r:s\r\nEND OF QUEUE",
      "1::0::a.ps::4::1::0::r:s\r\nEND OF QUEUE" },
    { "a line feed alone becomes CR LF", "1::0::a.ps::4::1::0::r\n2::0::b.ps::4::1::0::r\r\nEND OF QUEUE",
      "1::0::a.ps::4::1::0::r\r\n2::0::b.ps::4::1::0::r\r\nEND OF QUEUE" },
    { "a carriage return not before the line feed is the rest's",
      "1::0::a.ps::4::1::0::r\rs\n2::0::b.ps::4::1::0::r\r\r\nEND OF QUEUE",
      "1::0::a.ps::4::1::0::r\rs\r\n2::0::b.ps::4::1::0::r\r\r\nEND OF QUEUE" },
    { "a short line ends the list", "1::0::a.ps::4::1::0::r\r\n12\r\n2::0::b.ps::4::1::0::r\r\nEND OF QUEUE",
      "1::0::a.ps::4::1::0::r\r\nEND OF QUEUE" },
    { "what follows the marker goes", "1::0::a.ps::4::1::0::r\r\nEND OF QUEUE\r\n2::0::b.ps::4::1::0::r\r\n",
      "1::0::a.ps::4::1::0::r\r\nEND OF QUEUE" },
    { "a missing marker is added", "1::0::a.ps::4::1::0::r\r\n", "1::0::a.ps::4::1::0::r\r\nEND OF QUEUE" },
    { "a last line cut short gets its line end", "1::0::a.ps::4::1::0::r",
      "1::0::a.ps::4::1::0::r\r\nEND OF QUEUE" },
    { "a job of a queue that never existed goes", "1::7::a.ps::4::1::0::r\r\n2::-1::b.ps::4::1::0::r\r\nEND OF QUEUE",
      "END OF QUEUE" },
};

TEST_F(JobFile, JobLinesAreReadAsTheSpoolerWritesThem)
{
    Add_Target("Plates", "C:\\Hot\\Plates");
    for (const ReadCase &c : k_Reading) {
        SCOPED_TRACE(c.name);
        Write_File(jobFile, c.before);
        ASSERT_EQ(1, Snapshot_Queues());
        Update_QueueFiles();
        EXPECT_EQ(c.after, Read_File(jobFile));
    }
}

TEST_F(JobFile, LongLinesAreKeptWhole)
{
    Load_ThreeQueues();
    std::string tail(3000, 'x');
    tail += "::3";                               /* the tail of a long line must not become a job */
    Write_File(jobFile, Jobs({ ("1::2::a.ps::4::1::0::" + tail).c_str(), "2::2::b.ps::4::1::0::r" }));
    ASSERT_EQ(1, Snapshot_Queues());

    Move_Target(2, 0);
    Update_QueueFiles();

    EXPECT_EQ(Jobs({ ("1::0::a.ps::4::1::0::" + tail).c_str(), "2::0::b.ps::4::1::0::r" }), Read_File(jobFile));
}

TEST_F(JobFile, MissingFilesAreCreatedEmpty)
{
    Load_ThreeQueues();
    ASSERT_EQ(1, Snapshot_Queues());
    Delete_Target(0);

    Update_QueueFiles();

    EXPECT_EQ("END OF QUEUE", Read_File(jobFile));
    bool present = false;
    EXPECT_EQ("", Read_File(statusFile, &present));
    EXPECT_TRUE(present);
}

TEST_F(JobFile, WithoutTheSystemFoldersNothingIsWrittenAndNothingShown)
{
    tk::Remove_Tree(home / "queue");
    tk::Remove_Tree(home / "state");
    Load_ThreeQueues();
    ASSERT_EQ(1, Snapshot_Queues());
    tk::MsgRecorder boxes;

    Update_QueueFiles();

    EXPECT_EQ(0u, boxes.count());
    EXPECT_FALSE(tk::Exists(home / "queue"));
    EXPECT_FALSE(tk::Exists(home / "state"));
}

TEST_F(JobFile, WithoutASnapshotBothFilesAreLeftAlone)
{
    Load_ThreeQueues();
    const std::string jobs = Jobs({ "1::0::a.ps::4::1::0::r", "2::2::c.ps::4::1::0::r" });
    Write_File(jobFile, jobs);
    Write_File(statusFile, Crlf("0\n2\n"));

    /* No snapshot at all */
    Move_Target(2, 0);
    Update_QueueFiles();
    EXPECT_EQ(jobs, Read_File(jobFile));
    EXPECT_EQ(Crlf("0\n2\n"), Read_File(statusFile));

    /* More queues than the tables follow: no snapshot, no load numbers */
    while (targetCount < 120) Add_Target("More", "C:\\Hot\\More");
    while (lbqCount < 81) Add_LBQ("In", "C:\\Hot\\In");
    EXPECT_EQ(0, Snapshot_Queues());
    EXPECT_EQ(-1, targets[0].loadIndex);
    EXPECT_EQ(-1, lbqs[0].loadIndex);
    Update_QueueFiles();
    EXPECT_EQ(jobs, Read_File(jobFile));
    EXPECT_EQ(Crlf("0\n2\n"), Read_File(statusFile));
}

TEST_F(JobFile, StatusFileOfManyQueuesIsReadWhole)
{
    char name[32];
    for (int i = 0; i < 200; i++) {
        snprintf(name, sizeof name, "C:\\Hot\\Q%d", i);
        Add_Target(name, name);
    }
    std::string before, after;
    for (int q = 1; q < 200; q += 2) {
        before += std::to_string(q) + "\r\n";
        after += std::to_string(q - 1) + "\r\n";
    }
    ASSERT_GT(before.size(), 259u);
    Write_File(statusFile, before);
    ASSERT_EQ(1, Snapshot_Queues());

    Delete_Target(0);
    Update_QueueFiles();

    EXPECT_EQ(after, Read_File(statusFile));
}

TEST_F(JobFile, StatusNumbersThatNameNoLoadedQueueAreDropped)
{
    Load_ThreeQueues();
    Write_File(statusFile, "2,,x,7,-1\r\n\r\n 1\r\n");
    ASSERT_EQ(1, Snapshot_Queues());
    Delete_Target(0);
    Update_QueueFiles();
    EXPECT_EQ(Crlf("1\n0\n"), Read_File(statusFile));
}

/* An open handle of another program that shares nothing but what is given. */
struct HeldFile {
    HANDLE h;
    HeldFile(const std::string &path, DWORD access, DWORD share)
        : h(CreateFileA(path.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~HeldFile() { Release(); }
    void Release()
    {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        h = INVALID_HANDLE_VALUE;
    }
};

static const char k_CannotOpen[] = "Could not open the current queue file for updating\r\n\r\nError: ";
static const char k_CannotUpdate[] =
    "Could not update the current queue file:\r\n\r\n Entries in the queue may now be out of date.  Deleting this file "
    "will cause the system to rebuild the information on start-up.  However, this may result in already completed "
    "jobs being requeued. Leaving the file in tact will allow the system to maintain job status information, but may "
    "mean that some files are reported as missing.\n\nDo you want to delete this file?";

static bool Starts_With(const std::string &s, const std::string &prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

TEST_F(JobFile, UnreadableJobFileWithNothingChangedIsReported)
{
    Load_ThreeQueues();
    const std::string jobs = Jobs({ "1::0::a.ps::4::1::0::r" });
    Write_File(jobFile, jobs);
    ASSERT_EQ(1, Snapshot_Queues());
    tk::MsgRecorder boxes;
    {
        HeldFile held(jobFile, GENERIC_READ, 0);
        ASSERT_NE(INVALID_HANDLE_VALUE, held.h);
        Update_QueueFiles();
    }
    ASSERT_EQ(2u, boxes.count());
    EXPECT_TRUE(Starts_With(boxes.boxes[0].text, k_CannotOpen)) << boxes.boxes[0].text;
    EXPECT_TRUE(Starts_With(boxes.boxes[1].text,
                            "Could not open the current queue file for updating.\r\n\r\nCannot guarantee that this file "
                            "is in the correct format for the current version of Ostra Output Controller.\r\n\r\nError: "))
        << boxes.boxes[1].text;
    for (const tk::Box &b : boxes.boxes) {
        EXPECT_EQ("Editor", b.caption);
        EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(b.flags));
        EXPECT_EQ((UINT)MB_OK, tk::Buttons_Of(b.flags));
        /* both tell the sharing violation, the second as well as the first */
        EXPECT_NE(std::string::npos, b.text.find("Error: 32 (0x20) ")) << b.text;
    }
    EXPECT_EQ(jobs, Read_File(jobFile));
}

TEST_F(JobFile, UnreadableJobFileAfterChangesIsOfferedForDeletion)
{
    Load_ThreeQueues();
    const std::string jobs = Jobs({ "1::0::a.ps::4::1::0::r" });

    struct Case { const char *name; int answer; DWORD share; bool gone; const char *last; };
    const Case cases[] = {
        { "kept on No", IDNO, 0, false, nullptr },
        { "deleted on Yes", IDYES, FILE_SHARE_DELETE, true, "The queue file was deleted successfully." },
        { "deletion refused", IDYES, 0, false, "Could not delete the current queue file.\r\n\r\nError: " },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Reset_Configuration();
        Load_ThreeQueues();
        Write_File(jobFile, jobs);
        ASSERT_EQ(1, Snapshot_Queues());
        Move_Target(0, 1);
        tk::MsgRecorder boxes({ IDOK, c.answer });
        {
            HeldFile held(jobFile, GENERIC_READ, c.share);
            ASSERT_NE(INVALID_HANDLE_VALUE, held.h);
            Update_QueueFiles();
        }
        ASSERT_EQ(c.last ? 3u : 2u, boxes.count());
        EXPECT_TRUE(Starts_With(boxes.boxes[0].text, k_CannotOpen));
        EXPECT_EQ(k_CannotUpdate, boxes.boxes[1].text);
        EXPECT_EQ((UINT)MB_YESNO, tk::Buttons_Of(boxes.boxes[1].flags));
        EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(boxes.boxes[1].flags));
        EXPECT_TRUE(boxes.boxes[1].flags & MB_SETFOREGROUND);
        if (c.last) {
            EXPECT_TRUE(Starts_With(boxes.last().text, c.last)) << boxes.last().text;
        }
        EXPECT_EQ(!c.gone, tk::Exists(jobFile));
        if (!c.gone) {
            EXPECT_EQ(jobs, Read_File(jobFile));
        }
    }
}

TEST_F(JobFile, FailedReplacementKeepsTheOldJobList)
{
    Load_ThreeQueues();
    const std::string jobs = Jobs({ "1::0::a.ps::4::1::0::r", "2::2::c.ps::4::1::0::r" });
    Write_File(jobFile, jobs);
    ASSERT_EQ(1, Snapshot_Queues());
    Move_Target(2, 0);
    Set_ReplaceRetryTime(100);
    tk::MsgRecorder boxes({ IDOK, IDNO });
    {
        HeldFile held(jobFile, GENERIC_READ, FILE_SHARE_READ);    /* a reader that forbids replacing */
        ASSERT_NE(INVALID_HANDLE_VALUE, held.h);
        Update_QueueFiles();
    }
    ASSERT_EQ(2u, boxes.count());
    EXPECT_TRUE(Starts_With(boxes.boxes[0].text, "Error closing and renaming the updated queue file.\r\n\r\nError: "))
        << boxes.boxes[0].text;
    EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(boxes.boxes[0].flags));
    EXPECT_EQ(k_CannotUpdate, boxes.boxes[1].text);
    EXPECT_EQ(jobs, Read_File(jobFile));
    EXPECT_EQ(std::vector<std::string>({ "engine.q" }), tk::List_Dir(home / "queue"));
}

TEST_F(JobFile, AStaleTemporaryJobListGoesOnlyOnceTheNewOneIsInPlace)
{
    Load_ThreeQueues();
    const std::string jobs = Jobs({ "1::0::a.ps::4::1::0::r", "2::2::c.ps::4::1::0::r" });
    const std::string stale = home / "queue\\engine.q.temp";
    Write_File(jobFile, jobs);
    Write_File(stale, "1::0::a.ps::4::1::0::r\r\n");      /* an older version stopped while writing it */
    ASSERT_EQ(1, Snapshot_Queues());
    Move_Target(2, 0);
    Set_ReplaceRetryTime(100);
    {
        tk::MsgRecorder boxes({ IDOK, IDNO });
        HeldFile held(jobFile, GENERIC_READ, FILE_SHARE_READ);     /* the new list cannot be put in place */
        ASSERT_NE(INVALID_HANDLE_VALUE, held.h);
        EXPECT_FALSE(Update_QueueFiles());
        EXPECT_EQ(2u, boxes.count());
    }
    EXPECT_EQ(jobs, Read_File(jobFile));
    EXPECT_TRUE(tk::Exists(stale)) << "removed before the new list was in place";

    EXPECT_TRUE(Update_QueueFiles());
    EXPECT_EQ(Jobs({ "1::1::a.ps::4::1::0::r", "2::0::c.ps::4::1::0::r" }), Read_File(jobFile));
    EXPECT_EQ(std::vector<std::string>({ "engine.q" }), tk::List_Dir(home / "queue"));
}

/* The list is read and written in pieces: a list larger than the editor ever holds at once (and
   than 64 MB, the most a whole-file read takes) is renumbered job by job. */
TEST_F(JobFile, AMillionJobsAreRewritten)
{
    Load_ThreeQueues();
    const int count = 1000000;
    const std::string tail(40, 'x');
    std::string before, after;
    before.reserve((size_t)count * 80);
    after.reserve((size_t)count * 80);
    char line[160];
    for (int i = 0; i < count; i++) {
        int q = i % 3;
        snprintf(line, sizeof line, "%d::%d::job%07d.ps::4::1::%d::%s%s", i, q, i, i % 9, tail.c_str(), i % 2 ? "\r\n" : "\n");
        before += line;
        snprintf(line, sizeof line, "%d::%d::job%07d.ps::4::1::%d::%s\r\n", i, (q + 1) % 3, i, i % 9, tail.c_str());
        after += line;
    }
    before += "END OF QUEUE";
    after += "END OF QUEUE";
    ASSERT_GT(before.size(), (size_t)64 << 20);
    Write_File(jobFile, before);
    before.clear();
    before.shrink_to_fit();
    ASSERT_EQ(1, Snapshot_Queues());

    Move_Target(2, 0);                      /* Films, Plates, Proofs */
    EXPECT_TRUE(Update_QueueFiles());

    EXPECT_EQ(0u, msgs.count());
    const std::string written = Read_File(jobFile);
    EXPECT_EQ(after.size(), written.size());
    EXPECT_TRUE(after == written) << "the rewritten list differs";
}

TEST_F(JobFile, StatusFileThatCannotBeUpdatedIsReported)
{
    Load_ThreeQueues();
    Write_File(jobFile, Jobs({ "1::0::a.ps::4::1::0::r", "2::1::b.ps::4::1::0::r" }));
    Write_File(statusFile, Crlf("0\n1\n"));
    ASSERT_EQ(1, Snapshot_Queues());
    Delete_Target(0);
    tk::MsgRecorder boxes;
    {
        HeldFile held(statusFile, GENERIC_READ, 0);
        ASSERT_NE(INVALID_HANDLE_VALUE, held.h);
        Update_QueueFiles();
    }
    ASSERT_EQ(1u, boxes.count());
    EXPECT_TRUE(Starts_With(boxes.last().text,
                            "Error updating the queue status file.  There may be some queues suspended which were not "
                            "suspended before editing the configuration.  This is a non-fatal (recoverable) error\r\n\r\n"))
        << boxes.last().text;
    EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(boxes.last().flags));
    EXPECT_EQ(Crlf("0\n1\n"), Read_File(statusFile));
    /* the job file is still brought in line */
    EXPECT_EQ(Jobs({ "2::0::b.ps::4::1::0::r" }), Read_File(jobFile));
}

/* R: is a read-only view of U:, T: a small disk (both set up by the test run where the machine
   allows it). */
class JobFileOnFaultDisks : public JobFile {};

TEST_F(JobFileOnFaultDisks, InAReadOnlyInstallationTheJobFileIsKeptAndTheOperatorTold)
{
    NEED_FAULT_DRIVE('R', "read-only folder R:");
    const std::string name = "edt_jobs_" + std::to_string(GetCurrentProcessId());
    const std::string jobs = Jobs({ "1::0::a.ps::4::1::0::r", "2::2::c.ps::4::1::3::r" });
    struct Case { const char *name; bool move; std::vector<std::string> boxes; };
    const Case cases[] = {
        { "nothing changed", false,
          { "Could not open a temporary file for writing out updated queue data.\r\n\r\nError: ",
            "Could not open the current queue file for updating.\r\n\r\nCannot guarantee that this file is in the "
            "correct format for the current version of Ostra Output Controller.\r\n\r\nError: " } },
        { "a queue moved (the status file follows the numbers too)", true,
          { "Error updating the queue status file.  There may be some queues suspended which were not suspended "
            "before editing the configuration.  This is a non-fatal (recoverable) error\r\n\r\nError: ",
            "Could not open a temporary file for writing out updated queue data.\r\n\r\nError: ", k_CannotUpdate } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        tk::Make_Dirs("U:\\" + name + "\\queue");
        tk::Make_Dirs("U:\\" + name + "\\state");
        Write_File("U:\\" + name + "\\queue\\engine.q", jobs);
        Write_File("U:\\" + name + "\\state\\queues.sta", "2\r\n");
        Copy_Field(homePathBuffer, ("R:\\" + name).c_str());
        Reset_Configuration();
        Load_ThreeQueues();
        ASSERT_EQ(1, Snapshot_Queues());
        if (c.move) Move_Target(2, 0);
        tk::MsgRecorder boxes;

        Update_QueueFiles();

        ASSERT_EQ(c.boxes.size(), boxes.count());
        for (size_t i = 0; i < c.boxes.size(); i++)
            EXPECT_TRUE(Starts_With(boxes.boxes[i].text, c.boxes[i])) << boxes.boxes[i].text;
        EXPECT_EQ(jobs, Read_File("U:\\" + name + "\\queue\\engine.q"));
        EXPECT_EQ(std::vector<std::string>({ "engine.q" }), tk::List_Dir("U:\\" + name + "\\queue"));
        tk::Remove_Tree("U:\\" + name);
    }
}

TEST_F(JobFileOnFaultDisks, OnAFullDiskTheOldJobListStays)
{
    NEED_FAULT_DRIVE('T', "small disk T:");
    ULARGE_INTEGER freeBytes;
    ASSERT_TRUE(GetDiskFreeSpaceExA("T:\\", &freeBytes, nullptr, nullptr));
    const std::string dir = "T:\\edt_jobs_" + std::to_string(GetCurrentProcessId());
    tk::Make_Dirs(dir + "\\queue");
    tk::Make_Dirs(dir + "\\state");
    /* a job list a little larger than half the free space: the new one cannot be written beside it */
    std::string jobs;
    char line[128];
    for (int i = 0; jobs.size() < freeBytes.QuadPart * 6 / 10; i++) {
        snprintf(line, sizeof line, "%d::%d::job%06d.ps::4::1::0::12:00:00 01/12/2026::0::1\r\n", i, i % 3, i);
        jobs += line;
    }
    jobs += "END OF QUEUE";
    Write_File(dir + "\\queue\\engine.q", jobs);
    ASSERT_EQ(jobs.size(), Read_File(dir + "\\queue\\engine.q").size()) << "the disk is smaller than expected";
    Copy_Field(homePathBuffer, dir.c_str());
    Load_ThreeQueues();
    ASSERT_EQ(1, Snapshot_Queues());
    Move_Target(2, 0);
    tk::MsgRecorder boxes({ IDOK, IDNO });

    Update_QueueFiles();

    ASSERT_EQ(2u, boxes.count());
    EXPECT_TRUE(Starts_With(boxes.boxes[0].text, "Error writing entries to the new queue file.\r\n\r\nError: "))
        << boxes.boxes[0].text;
    EXPECT_EQ(k_CannotUpdate, boxes.boxes[1].text);
    EXPECT_TRUE(jobs == Read_File(dir + "\\queue\\engine.q")) << "the job list was changed";
    EXPECT_EQ(std::vector<std::string>({ "engine.q" }), tk::List_Dir(dir + "\\queue"));
    tk::Remove_Tree(dir);
}
