/* The effect of a save on the queued jobs, told before the store: checked against what the store
   then really removes from and renumbers in the job list and the status file of the same
   installation, and the lines the operator reads. */
#include "runtime_kit.h"
#include "config/image.h"
#include "config/jobeffect.h"
#include <functional>
#include <map>
#include <memory>
#include <sstream>

using tk::Crlf;
using tk::Read_File;
using tk::Write_File;

namespace {

/* job number -> queue number, as a job list holds them */
std::map<int, int> Job_Queues(const std::string &text)
{
    std::map<int, int> jobs;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("END OF QUEUE", 0) == 0) break;
        int job, queue;
        if (sscanf(line.c_str(), "%d::%d::", &job, &queue) == 2) jobs[job] = queue;
    }
    return jobs;
}

std::vector<int> Numbers(const std::string &text)
{
    std::vector<int> v;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        if (!line.empty()) v.push_back(atoi(line.c_str()));
    return v;
}

struct EffectCase {
    const char *name;
    std::function<void()> edit;
};

std::vector<std::string> Lines_Of(const JOB_EFFECT &effect, BOOL future)
{
    std::vector<std::string> lines;
    Each_EffectLine(
        &effect, future,
        [](const char *text, const QUEUE_EFFECT *, JOB_FATE, void *context) {
            static_cast<std::vector<std::string> *>(context)->push_back(text);
        },
        &lines);
    return lines;
}

} // namespace

class JobEffect : public RuntimeTest {
protected:
    std::unique_ptr<JOB_EFFECT> effect{ new JOB_EFFECT };
    CONFIG_IMAGE *loaded = nullptr;

    void TearDown() override
    {
        Free_ConfigImage(loaded);
        RuntimeTest::TearDown();
    }

    /* An input queue (numbers 0) and four output queues (1 to 4): Plates and Input take
       sub-directories, Films runs an application; jobs in every state, some from
       sub-directories; Plates (1) and Archive (4) suspended. */
    void Load_Shop()
    {
        Set_App(0, "C:\\Apps\\Rip.exe");
        Set_App(1, "C:\\Apps\\Other.exe");
        Add_LBQ("Input", "C:\\Hot\\Input", 4, 1, TRUE);
        Add_Target("Plates", "C:\\Hot\\Plates", 4, 1, TRUE);
        Add_Target("Proofs", "C:\\Hot\\Proofs");
        Use_App(Add_Target("Films", "C:\\Hot\\Films"), 0);
        Add_Target("Archive", "C:\\Hot\\Archive");
        Write_File(jobFile, Jobs({
                                "1::0::in.ps::4::1::0::r",       "2::0::sub\\in.ps::4::1::3::r",
                                "3::1::a.ps::4::1::0::r",        "4::1::sub\\a.ps::4::1::2::r",
                                "5::1::deep\\b.ps::4::1::7::r",  "6::2::p.ps::4::1::0::r",
                                "7::2::q.ps::4::1::3::r",        "8::3::f.ps::4::1::0::r",
                                "9::3::g.ps::4::1::2::r",        "10::3::h.ps::4::1::5::r",
                                "11::4::z.ps::4::1::8::r",       "12::9::lost.ps::4::1::0::r",
                                "no fields here at all",
                            }));
        Write_File(statusFile, Crlf("1\n4\n"));
        ASSERT_EQ(1, Snapshot_Queues());
        loaded = Take_ConfigImage();
        ASSERT_NE(nullptr, loaded);
    }
};

/* The counts are what the store does: for each case the effect is computed, then the same
   installation is stored and the job list and status file compared line by line. */
TEST_F(JobEffect, CountsEqualWhatTheStoreRemovesAndRenumbers)
{
    const EffectCase cases[] = {
        { "nothing changed", [] {} },
        { "a queue with jobs deleted", [] { Delete_Target(1); } },
        { "a hot directory changed", [] { Copy_Field(targets[2].hotDir, "C:\\Hot\\Films2"); } },
        { "the processes changed", [] { Use_App(targets[2], 1); } },
        { "sub-directories no longer taken", [] { targets[0].includeSubdirs = FALSE; lbqs[0].includeSubdirs = FALSE; } },
        { "a queue moved to the top", [] { Move_Target(3, 0); } },
        { "an input queue added before the outputs", [] { Add_LBQ("Second", "C:\\Hot\\Second"); } },
        { "the input queue deleted", [] { Delete_LBQ(0); } },
        { "several at once",
          [] {
              Delete_Target(0);
              Move_Target(2, 0);
              Use_App(targets[1], 1);
              targets[2].copies = 4;
          } },
    };
    for (const EffectCase &c : cases) {
        SCOPED_TRACE(c.name);
        Fresh_Process();
        Free_ConfigImage(loaded);
        loaded = nullptr;
        Load_Shop();
        const std::map<int, int> before = Job_Queues(Read_File(jobFile));
        const std::vector<int> suspendedBefore = Numbers(Read_File(statusFile));
        c.edit();

        ASSERT_TRUE(Compute_JobEffect(loaded, effect.get()));
        EXPECT_TRUE(effect->complete);
        EXPECT_TRUE(Update_QueueFiles());

        const std::map<int, int> after = Job_Queues(Read_File(jobFile));
        int dropped = 0, moved = 0;
        std::map<int, int> droppedOf, movedOf;          /* by the queue number the job had */
        for (const auto &job : before) {
            auto now = after.find(job.first);
            if (now == after.end()) {
                dropped++;
                droppedOf[job.second]++;
            } else if (now->second != job.second) {
                moved++;
                movedOf[job.second]++;
            }
        }
        EXPECT_EQ(dropped, effect->jobsDropped + effect->noQueue);
        EXPECT_EQ(1, effect->noQueue) << "job 12 names queue 9, which never existed";
        EXPECT_EQ(1, effect->unreadable);
        EXPECT_EQ(moved, effect->jobsMoved);
        for (int q = 0; q < 5; q++) {
            const QUEUE_EFFECT &qe = effect->queues[q];
            int n = 0;
            for (int f = 0; f < JOB_FATE_COUNT; f++) n += qe.dropped[f];
            EXPECT_EQ(droppedOf[q], n) << "queue " << q;
            EXPECT_EQ(movedOf[q], qe.moved) << "queue " << q;
        }
        /* the suspended queues: the numbers the status file holds after the store */
        std::vector<int> planned;
        for (int q : suspendedBefore) {
            const QUEUE_EFFECT &qe = effect->queues[q];
            if (!qe.suspended) planned.push_back(q);             /* not rewritten: stays */
            else if (qe.suspendedNew >= 0) planned.push_back(qe.suspendedNew);
        }
        EXPECT_EQ(planned, Numbers(Read_File(statusFile)));
    }
}

/* After a store that failed half-way the job list holds the numbers of that store: a second
   plan reads them as the second store will, and counts nothing twice. */
TEST_F(JobEffect, ASecondSaveCountsOnlyWhatIsLeftToDo)
{
    Load_Shop();
    Delete_Target(1);                                    /* Proofs: 2 jobs */
    Move_Target(2, 0);                                   /* Archive first */
    ASSERT_TRUE(Update_QueueFiles());
    ASSERT_TRUE(Compute_JobEffect(loaded, effect.get()));
    EXPECT_EQ(0, effect->jobsDropped);
    EXPECT_EQ(0, effect->jobsMoved);
    EXPECT_EQ(std::vector<std::string>{}, Lines_Of(*effect, TRUE));
}

TEST_F(JobEffect, LinesNameEachQueueReasonAndNumber)
{
    Load_Shop();
    Delete_Target(1);                                    /* Proofs (2): 2 jobs */
    Use_App(targets[1], 1);                              /* Films (3): jobs 9 and 10 not waiting */
    targets[0].includeSubdirs = FALSE;                   /* Plates (1): jobs 4 and 5 */
    Copy_Field(lbqs[0].hotDir, "C:\\Hot\\Elsewhere");    /* Input (0): both */
    Move_Target(2, 0);                                   /* Archive (4) first: number 1 */
    ASSERT_TRUE(Compute_JobEffect(loaded, effect.get()));

    EXPECT_EQ(std::vector<std::string>({
                  "Input queue \"Input\": 2 jobs will be removed from the spooler's job list: its hot directory changed",
                  "Queue \"Plates\": 2 jobs will be removed from the spooler's job list: the jobs come from "
                  "sub-directories, which the queue no longer takes",
                  "Queue \"Proofs\": 2 jobs will be removed from the spooler's job list: the queue is deleted",
                  "Queue \"Films\": 2 jobs will be removed from the spooler's job list: its processes changed and "
                  "the jobs are not waiting",
                  "Queue \"Plates\": 1 job will keep its place under the new queue number 2 (was 1)",
                  "Queue \"Archive\": 1 job will keep its place under the new queue number 1 (was 4)",
                  "Queue \"Plates\" is suspended: its number in the status file will change from 1 to 2",
                  "Queue \"Archive\" is suspended: its number in the status file will change from 4 to 1",
                  "1 line of the spooler's job list names no queue and will be removed",
                  "1 unreadable line of the spooler's job list will be removed",
              }),
              Lines_Of(*effect, TRUE));
    char line[512];
    ASSERT_TRUE(Format_DroppedLine(&effect->queues[2], JOB_DROP_DELETED, line, sizeof line));
    EXPECT_STREQ("Proofs: 2 jobs will be removed from the spooler's job list: the queue is deleted", line);
    EXPECT_TRUE(Effect_DropsJobs(effect.get()));
}
