/* The change log: the bytes of an entry, appending and rotation, reading the headers back, the
   question before a save that removes queued jobs, and a log that cannot be written. */
#include "runtime_kit.h"
#include "common/msg.h"
#include "config/changelog.h"
#include "config/prefsfile.h"
#include "config/savesequence.h"
#include "config/users.h"
#include "config/setup.h"
#include <memory>
#include <thread>

using tk::Read_File;
using tk::Write_File;

namespace {

std::string Log_Of(const tk::TempHome &home) { return Read_File(home / CHANGE_LOG_FILE); }

/* The entry without its header line, and the header line. */
std::string Body_Of(const std::string &entry) { return entry.substr(entry.find("\r\n") + 2); }
std::string Header_Of(const std::string &entry) { return entry.substr(0, entry.find("\r\n")); }

} // namespace

TEST(ChangeLogHeader, LocalTimeWithItsOffsetUserComputerModeVersion)
{
    SYSTEMTIME t = {};
    t.wYear = 2026;
    t.wMonth = 3;
    t.wDay = 7;
    t.wHour = 9;
    t.wMinute = 5;
    t.wSecond = 4;
    const struct {
        int offset;
        const char *expected;
    } cases[] = {
        { 60, "== 2026-03-07T09:05:04+01:00 | anna | PRESS-PC | interactive | 1.0.0.0\r\n" },
        { 0, "== 2026-03-07T09:05:04+00:00 | anna | PRESS-PC | interactive | 1.0.0.0\r\n" },
        { -330, "== 2026-03-07T09:05:04-05:30 | anna | PRESS-PC | interactive | 1.0.0.0\r\n" },
        { 765, "== 2026-03-07T09:05:04+12:45 | anna | PRESS-PC | interactive | 1.0.0.0\r\n" },
    };
    for (const auto &c : cases) {
        char out[256];
        ASSERT_TRUE(Format_ChangeHeader(&t, c.offset, "anna", "PRESS-PC", "interactive", "1.0.0.0", out, sizeof out));
        EXPECT_STREQ(c.expected, out);
    }
}

class ChangeLog : public RuntimeTest {
protected:
    void SetUp() override
    {
        RuntimeTest::SetUp();
        Set_ReplaceRetryTime(100);
    }
    /* Two queues whose hot directories exist, three jobs of Proofs and one of Plates, as loaded. */
    void Load_TwoQueues()
    {
        for (const char *name : { "Plates", "Proofs" }) {
            std::string dir = home / (std::string("Hot\\") + name);
            tk::Make_Dirs(dir);
            Add_Target(name, dir.c_str());
        }
        Write_File(jobFile, Jobs({ "1::0::a.ps::4::1::0::r", "2::1::b.ps::4::1::0::r", "3::1::c.ps::4::1::3::r",
                                   "4::1::d.ps::4::1::7::r" }));
        ASSERT_EQ(1, Snapshot_Queues());
        Keep_LoadedImage();
        ASSERT_NE(nullptr, Loaded_Image());
    }
};

TEST_F(ChangeLog, AnEntryIsTheHeaderALineForEachChangeAndEffectAndAnEmptyLine)
{
    Load_TwoQueues();
    Delete_Target(1);
    targets[0].copies = 2;
    ASSERT_TRUE(Prepare_ChangeEntry());
    OUTBUF out;
    OutBuf_Init(&out);
    CONFIG_IMAGE *now = Take_ConfigImage();
    CONFIG_DIFF *diff = Diff_Configs(Loaded_Image(), now, DIFF_PAIR_BY_LOAD);
    ASSERT_TRUE(Build_ChangeEntry("== H\r\n", diff, Prepared_JobEffect(), &out));
    EXPECT_EQ("== H\r\n"
              "  Queue \"Proofs\" deleted\r\n"
              "  Queue \"Plates\": Copies: 1 -> 2\r\n"
              "  Queue \"Proofs\": 3 jobs removed from the spooler's job list: the queue is deleted\r\n"
              "\r\n",
              std::string(out.data, out.len));
    OutBuf_Free(&out);
    Free_ConfigDiff(diff);

    /* nothing changed: nothing to log */
    CONFIG_DIFF *none = Diff_Configs(now, now, DIFF_PAIR_BY_LOAD);
    JOB_EFFECT *quiet = (JOB_EFFECT *)calloc(1, sizeof(JOB_EFFECT));
    OutBuf_Init(&out);
    EXPECT_FALSE(Build_ChangeEntry("== H\r\n", none, quiet, &out));
    EXPECT_EQ(0u, out.len);
    OutBuf_Free(&out);
    free(quiet);
    Free_ConfigDiff(none);
    Free_ConfigImage(now);
}

TEST_F(ChangeLog, EntriesAreAppendedWholeAndTheLogBegunAnewPastOneMegabyte)
{
    ASSERT_FALSE(tk::Exists(home / "logs")) << "the folder is made when missing";
    ASSERT_TRUE(Append_ChangeLog(home.home().c_str(), "== one\r\n  a\r\n\r\n", 15));
    ASSERT_TRUE(Append_ChangeLog(home.home().c_str(), "== two\r\n  b\r\n\r\n", 15));
    EXPECT_EQ("== one\r\n  a\r\n\r\n== two\r\n  b\r\n\r\n", Log_Of(home));

    /* an entry that would take the log past the limit goes to a new log; the previous one
       replaces the one kept before */
    Write_File(home / CHANGE_LOG_PREVIOUS, "older");
    const std::string full(CHANGE_LOG_LIMIT - 10, 'x');
    Write_File(home / CHANGE_LOG_FILE, full);
    ASSERT_TRUE(Append_ChangeLog(home.home().c_str(), "== 1234567\r\n", 12));
    EXPECT_EQ("== 1234567\r\n", Log_Of(home));
    EXPECT_EQ(full, Read_File(home / CHANGE_LOG_PREVIOUS));
    /* up to the limit exactly it stays one log */
    Write_File(home / CHANGE_LOG_FILE, full);
    ASSERT_TRUE(Append_ChangeLog(home.home().c_str(), "== 12345\r\n", 10));
    EXPECT_EQ(full + "== 12345\r\n", Log_Of(home));
}

/* Two editors saving at once: each entry lands whole, none over another. */
TEST_F(ChangeLog, EntriesOfTwoWritersAtOnceNeverMix)
{
    const std::string a = "== a\r\n" + std::string(3000, 'a') + "\r\n\r\n", b = "== b\r\n" + std::string(5000, 'b') + "\r\n\r\n";
    const std::string h = home.home();
    auto writer = [&h](const std::string *entry) {
        for (int i = 0; i < 50; i++) Append_ChangeLog(h.c_str(), entry->data(), entry->size());
    };
    std::thread one(writer, &a), two(writer, &b);
    one.join();
    two.join();
    const std::string log = Log_Of(home);
    ASSERT_EQ(50 * (a.size() + b.size()), log.size());
    int as = 0, bs = 0;
    for (size_t p = 0; p < log.size();) {
        if (log.compare(p, a.size(), a) == 0) p += a.size(), as++;
        else if (log.compare(p, b.size(), b) == 0) p += b.size(), bs++;
        else FAIL() << "a broken entry at byte " << p;
    }
    EXPECT_EQ(50, as);
    EXPECT_EQ(50, bs);
}

TEST_F(ChangeLog, HeadersAreReadBack)
{
    tk::Make_Dirs(home / "logs");
    Write_File(home / CHANGE_LOG_FILE, "== 2026-03-07T09:05:04+01:00 | anna | PRESS-PC | interactive | 1.0.0.0\r\n"
                                       "  Queue \"A\" deleted\r\n"
                                       "\r\n"
                                       "== 2026-03-08T10:00:00-05:00 | build service | NIGHT | update | 1.0.0.0\r\n"
                                       "  Queue \"B\": Copies: 1 -> 2\r\n"
                                       "\r\n");
    std::vector<CHANGE_HEADER> seen;
    EXPECT_EQ(2, Read_ChangeLogHeaders((home / CHANGE_LOG_FILE).c_str(),
                                       [](const CHANGE_HEADER *h, void *c) {
                                           static_cast<std::vector<CHANGE_HEADER> *>(c)->push_back(*h);
                                       },
                                       &seen));
    ASSERT_EQ(2u, seen.size());
    EXPECT_STREQ("2026-03-07T09:05:04+01:00", seen[0].when);
    EXPECT_STREQ("anna", seen[0].user);
    EXPECT_STREQ("PRESS-PC", seen[0].computer);
    EXPECT_STREQ("interactive", seen[0].mode);
    EXPECT_STREQ("1.0.0.0", seen[0].version);
    EXPECT_STREQ("build service", seen[1].user);
    EXPECT_STREQ("update", seen[1].mode);
    EXPECT_EQ(-1, Read_ChangeLogHeaders((home / "logs\\none.log").c_str(), nullptr, nullptr));
}

/* OK on a configuration that would remove queued jobs: the box names each queue and count; No
   goes back with the edit kept and nothing written; Yes saves and logs it. */
TEST_F(ChangeLog, OkAsksBeforeRemovingQueuedJobsAndLogsTheSave)
{
    Load_TwoQueues();
    const std::string jobsBefore = Read_File(jobFile);
    Delete_Target(1);
    {
        tk::MsgRecorder boxes({ IDNO });
        EXPECT_FALSE(Save_Sequence(FALSE));
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ("Saving now removes queued jobs from the spooler's job list:\r\n\r\n"
                  "Proofs: 3 jobs will be removed from the spooler's job list: the queue is deleted\r\n"
                  "\r\nSave anyway? Press No to go back with your changes kept.",
                  boxes.last().text);
        EXPECT_EQ((UINT)MB_YESNO, tk::Buttons_Of(boxes.last().flags));
        EXPECT_EQ((UINT)MB_ICONWARNING, tk::Icon_Of(boxes.last().flags));
        EXPECT_EQ("Editor", boxes.last().caption);
    }
    EXPECT_EQ(1, targetCount) << "the deletion is kept";
    EXPECT_EQ(jobsBefore, Read_File(jobFile));
    EXPECT_FALSE(tk::Exists(home / "Queues.cfg"));
    EXPECT_FALSE(tk::Exists(home / CHANGE_LOG_FILE));
    {
        tk::MsgRecorder boxes({ IDYES });
        EXPECT_TRUE(Save_Sequence(FALSE));
        EXPECT_EQ(1u, boxes.count());
    }
    EXPECT_EQ(Jobs({ "1::0::a.ps::4::1::0::r" }), Read_File(jobFile));
    const std::string log = Log_Of(home);
    EXPECT_EQ(0u, log.find("== ")) << log;
    EXPECT_NE(std::string::npos, Header_Of(log).find(" | interactive | 1.0.0.0")) << log;
    EXPECT_EQ("  Queue \"Proofs\" deleted\r\n"
              "  Queue \"Proofs\": 3 jobs removed from the spooler's job list: the queue is deleted\r\n"
              "\r\n",
              Body_Of(log));
}

/* The box lists ten lines at most and counts the rest. */
TEST_F(ChangeLog, TheBoxListsTenQueuesAndCountsTheRest)
{
    std::string jobs;
    for (int i = 0; i < 13; i++) {
        std::string name = "Q" + std::to_string(i);
        std::string dir = home / ("Hot\\" + name);
        tk::Make_Dirs(dir);
        Add_Target(name.c_str(), dir.c_str());
        jobs += std::to_string(i + 1) + "::" + std::to_string(i) + "::j.ps::4::1::0::r\r\n";
    }
    Write_File(jobFile, jobs + "END OF QUEUE");
    ASSERT_EQ(1, Snapshot_Queues());
    Keep_LoadedImage();
    for (int i = 12; i >= 0; i--) Delete_Target(i);
    tk::MsgRecorder boxes({ IDNO });
    EXPECT_FALSE(Save_Sequence(FALSE));
    ASSERT_EQ(1u, boxes.count());
    const std::string &text = boxes.last().text;
    EXPECT_NE(std::string::npos, text.find("Q9: 1 job will be removed")) << text;
    EXPECT_EQ(std::string::npos, text.find("Q10:")) << text;
    EXPECT_NE(std::string::npos, text.find("\r\nand 3 more\r\n")) << text;
}

TEST_F(ChangeLog, SilentModeAsksNothingAndLogsAndAnUnchangedSaveLogsNothing)
{
    Load_TwoQueues();
    {
        tk::MsgRecorder boxes;
        EXPECT_TRUE(Save_Sequence(TRUE));
        EXPECT_EQ(0u, boxes.count());
    }
    EXPECT_FALSE(tk::Exists(home / CHANGE_LOG_FILE)) << "nothing changed, nothing logged";

    Fresh_Process();
    Load_TwoQueues();
    Delete_Target(1);
    {
        tk::MsgRecorder boxes;
        EXPECT_TRUE(Save_Sequence(TRUE));
        EXPECT_EQ(0u, boxes.count());
    }
    const std::string log = Log_Of(home);
    EXPECT_NE(std::string::npos, Header_Of(log).find(" | silent | ")) << log;
    EXPECT_NE(std::string::npos, log.find("  Queue \"Proofs\": 3 jobs removed")) << log;
}

/* A log that cannot be written never fails the save: told once in a box, or on the standard
   error in the modes without a window. */
TEST_F(ChangeLog, ALogThatCannotBeWrittenIsToldAndTheSaveStands)
{
    Write_File(home / "logs", "a file where the folder should be");
    Load_TwoQueues();
    targets[0].copies = 3;
    {
        tk::MsgRecorder boxes;
        EXPECT_TRUE(Save_Sequence(FALSE));
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ(0u, boxes.last().text.find("The configuration was saved, but the change log could not be written:\r\n\"" +
                                             (home / CHANGE_LOG_FILE) + "\"\r\n\r\n"))
            << boxes.last().text;
        EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
    }
    EXPECT_NE(std::string::npos, Read_File(home / "Queues.cfg").find("Plates::")) << "stored";

    Fresh_Process();
    silentMode = TRUE;
    Load_TwoQueues();
    targets[0].copies = 4;
    tk::StdCapture std;
    {
        tk::MsgRecorder boxes;
        EXPECT_TRUE(Save_Sequence(TRUE));
        EXPECT_EQ(0u, boxes.count());
    }
    EXPECT_EQ(0u, std.err().find("The change log \"" + (home / CHANGE_LOG_FILE) + "\" could not be written (")) << std.err();
    EXPECT_EQ("", std.out());
}

TEST_F(ChangeLog, ThePreferencesDialogLogsWhatItStored)
{
    Load_TwoQueues();
    PREFS_VALUES before;
    Take_LivePrefs(&before);
    Copy_Field(SpoolerGlobals.SPOOLER_LOGFILE_ADDRESS, "ops@shop.example");
    Log_PreferencesChange(&before, CHANGE_MODE_PREFERENCES);
    const std::string log = Log_Of(home);
    EXPECT_NE(std::string::npos, Header_Of(log).find(" | preferences | ")) << log;
    const std::string body = Body_Of(log);
    EXPECT_EQ(0u, body.find("  Preferences: ")) << body;
    EXPECT_NE(std::string::npos, body.find("ops@shop.example\r\n\r\n")) << body;

    /* the next save of the main window does not log them again */
    ASSERT_TRUE(Prepare_ChangeEntry());
    Log_ChangeEntry(CHANGE_MODE_INTERACTIVE);
    EXPECT_EQ(log, Log_Of(home));
}

/* The Administration dialog stores the users itself; its entry names them, never a password. */
TEST_F(ChangeLog, TheUsersStoredAreLoggedWithoutTheirPasswords)
{
    Load_TwoQueues();
    ASSERT_TRUE(Add_User("anna", "secret1"));
    ASSERT_TRUE(Add_User("carl", "secret2"));
    Note_UsersLoaded();
    ASSERT_TRUE(Replace_User(0, "anna", "secret3"));
    ASSERT_TRUE(Remove_User(1));
    ASSERT_TRUE(Add_User("ben", "secret4"));
    Log_UsersChange(CHANGE_MODE_INTERACTIVE);
    const std::string log = Log_Of(home);
    EXPECT_EQ("  User \"carl\" deleted\r\n"
              "  User \"anna\": password changed\r\n"
              "  User \"ben\" added\r\n"
              "\r\n",
              Body_Of(log));
    EXPECT_EQ(std::string::npos, log.find("secret"));

    /* the save of the main window does not log the users again */
    ASSERT_TRUE(Prepare_ChangeEntry());
    Log_ChangeEntry(CHANGE_MODE_INTERACTIVE);
    EXPECT_EQ(log, Log_Of(home));
}

/* A full disk: the log holds whole entries only, whatever room was left. */
class ChangeLogOnFaultDisks : public tk::HomeTest {};

TEST_F(ChangeLogOnFaultDisks, AFullDiskNeverLeavesHalfAnEntry)
{
    NEED_FAULT_DRIVE('T', "small disk T:");
    const std::string home = "T:\\shop";
    const std::string logPath = home + "\\" + CHANGE_LOG_FILE;
    std::string entry = "== header\r\n";
    while (entry.size() < 3 * 4096) entry += "  Queue \"Proofer\": Copies: 1 -> 2\r\n";
    entry += "\r\n";
    const std::string before = "== earlier\r\n  Queue \"A\" deleted\r\n\r\n";
    int appended = 0, refused = 0;
    for (int pages = 0; pages <= 5; pages++) {
        SCOPED_TRACE("pages free: " + std::to_string(pages));
        tk::Remove_Tree(home);
        DeleteFileA("T:\\filler.bin");
        tk::Make_Dirs(home + "\\logs");
        Write_File(logPath, before);
        ULARGE_INTEGER freeBytes;
        ASSERT_TRUE(GetDiskFreeSpaceExA("T:\\", &freeBytes, nullptr, nullptr));
        HANDLE h = CreateFileA("T:\\filler.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        std::string chunk(65536, 'f');
        unsigned long long left = freeBytes.QuadPart > (unsigned long long)pages * 4096 ? freeBytes.QuadPart - pages * 4096 : 0;
        while (left > 0) {
            DWORD n = (DWORD)std::min<unsigned long long>(left, chunk.size()), done = 0;
            if (!WriteFile(h, chunk.data(), n, &done, nullptr) || done == 0) break;
            left -= done;
        }
        CloseHandle(h);

        BOOL ok = Append_ChangeLog(home.c_str(), entry.data(), entry.size());
        const std::string now = Read_File(logPath);
        if (ok) EXPECT_EQ(before + entry, now);
        else EXPECT_EQ(before, now) << "a partial entry was left (" << now.size() << " bytes)";
        (ok ? appended : refused)++;
    }
    EXPECT_GT(refused, 0) << "the disk was never too full";
    EXPECT_GT(appended, 0) << "the entry never fitted";
    DeleteFileA("T:\\filler.bin");
    tk::Remove_Tree(home);
}
