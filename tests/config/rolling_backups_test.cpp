/* The backups a save makes of the configuration files it replaces: one folder per save under
   "Backups", the exact bytes that were replaced, the newest ones kept, nothing else in the
   folder touched; a backup read back and put into the editor, its queues paired with the
   editor's so that their jobs stay. */
#include "store_fixture.h"
#include "config/backups.h"
#include "config/backuprows.h"
#include "config/lbfile.h"
#include "config/queuesfile.h"
#include "config/runtime.h"
#include "config/setup.h"
#include <map>
#include <optional>

using namespace tk;

namespace {

const char *const k_Files[] = { "Queues.cfg", "LBPrefs.cfg", "Applications.cfg", "Preferences.cfg" };

typedef std::map<std::string, std::optional<std::string>> Files;

Files Read_Config(const std::string &dir)
{
    Files f;
    for (const char *n : k_Files) {
        bool ok = false;
        std::string b = Read_File(dir + "\\" + n, &ok);
        f[n] = ok ? std::optional<std::string>(b) : std::nullopt;
    }
    return f;
}

std::vector<std::string> Backup_Names()
{
    static BACKUP_ENTRY list[MAX_BACKUPS_LISTED];
    int n = List_Backups(list, MAX_BACKUPS_LISTED);
    std::vector<std::string> names;
    for (int i = 0; i < n; i++) names.push_back(list[i].name);
    return names;
}

BOOL Save()
{
    saveOnExit = TRUE;
    return StoreSetup();
}

} // namespace

class RollingBackups : public StoreTest {
protected:
    /* A configuration of three queues running one application, saved once into the home (a
       first save into an empty home replaces nothing and makes no backup). */
    void Start_Three()
    {
        int app = mk::Add_App(home / "Apps\\Rip.exe");
        for (const char *n : { "Plates", "Proofs", "Films" }) mk::Runs_App(mk::Add_Target(n), app);
        ASSERT_TRUE(Save());
        ASSERT_EQ(0u, Backup_Names().size()) << "the first save replaced nothing";
    }
    void Settings(const std::string &ini) { Make_Dirs(Path("System")); Write_File(Path("System\\Editor.ini"), ini); }
};

TEST_F(RollingBackups, EachSaveKeepsTheExactBytesItReplacedNewestFirst)
{
    Start_Three();
    std::vector<Files> replaced;
    for (int i = 0; i < 3; i++) {
        replaced.push_back(Read_Config(home.home()));
        Copy_Field(targets[0].name, ("Plates " + std::to_string(i)).c_str());
        ASSERT_TRUE(Save());
    }
    std::vector<std::string> names = Backup_Names();
    ASSERT_EQ(3u, names.size());
    EXPECT_STREQ(Last_BackupMade(), names[0].c_str());
    for (int i = 0; i < 3; i++) {
        SCOPED_TRACE(names[2 - i]);
        EXPECT_TRUE(Is_BackupName(names[i].c_str(), nullptr, nullptr));
        EXPECT_EQ(replaced[i], Read_Config(Path("Backups\\" + names[2 - i])));
    }
    /* three saves within a few seconds: a name that was taken gets the next suffix */
    SYSTEMTIME now;
    GetLocalTime(&now);
    char today[16];
    Format_Text(today, sizeof today, "%04u-%02u-%02u", now.wYear, now.wMonth, now.wDay);
    EXPECT_EQ(0u, names[2].find(today)) << "named by the local date";
    EXPECT_TRUE(msgs.boxes.empty());
}

TEST_F(RollingBackups, ASaveThatChangesNothingMakesNoBackup)
{
    Start_Three();
    Files before = Read_Config(home.home());
    ASSERT_TRUE(Save());
    EXPECT_EQ(before, Read_Config(home.home()));
    EXPECT_FALSE(Exists(Path("Backups"))) << "nothing replaced, nothing backed up";
    /* one changed file is enough: the backup then holds every configuration file */
    lbDebugLevel = 3;
    ASSERT_TRUE(Save());
    ASSERT_EQ(1u, Backup_Names().size());
    EXPECT_EQ(before, Read_Config(Path("Backups\\" + Backup_Names()[0])));
}

TEST_F(RollingBackups, TheThirtyFirstSaveRemovesTheOldestAndNothingElse)
{
    Start_Three();
    Make_Dirs(Path("Backups\\Before the upgrade"));
    Write_File(Path("Backups\\Before the upgrade\\Queues.cfg"), "an operator's own copy\r\n");
    Write_File(Path("Backups\\notes.txt"), "kept by hand\r\n");
    Make_Dirs(Path("Backups\\2019-13-01 00.00.00"));      /* no such month: not a backup of ours */
    Write_File(Path("Backups\\2019-13-01 00.00.00\\Queues.cfg"), "x");
    std::vector<std::string> made;
    for (int i = 0; i < 31; i++) {
        Copy_Field(targets[1].name, ("Proofs " + std::to_string(i)).c_str());
        ASSERT_TRUE(Save());
        made.push_back(Last_BackupMade());
        EXPECT_LE(Backup_Names().size(), 30u);
    }
    std::vector<std::string> names = Backup_Names();
    ASSERT_EQ(30u, names.size());
    EXPECT_EQ(made.back(), names.front());
    EXPECT_EQ(made[1], names.back());
    EXPECT_FALSE(Exists(Path("Backups\\" + made[0]))) << "the oldest is gone";
    EXPECT_EQ("an operator's own copy\r\n", Read_File(Path("Backups\\Before the upgrade\\Queues.cfg")));
    EXPECT_EQ("kept by hand\r\n", Read_File(Path("Backups\\notes.txt")));
    EXPECT_EQ("x", Read_File(Path("Backups\\2019-13-01 00.00.00\\Queues.cfg")));
}

TEST_F(RollingBackups, TheSettingKeepsFewerOrNoneAndAForeignFileKeepsItsFolder)
{
    Start_Three();
    Settings("[Editor]\r\nBackupsKept=2\r\n");
    EXPECT_EQ(2, Backups_Kept());
    std::vector<std::string> made;
    for (int i = 0; i < 3; i++) {
        Copy_Field(targets[2].name, ("Films " + std::to_string(i)).c_str());
        ASSERT_TRUE(Save());
        made.push_back(Last_BackupMade());
        if (i == 0) Write_File(Path("Backups\\" + made[0] + "\\why.txt"), "the operator's note");
    }
    EXPECT_EQ((std::vector<std::string>{ made[2], made[1] }), Backup_Names());
    EXPECT_EQ((std::vector<std::string>{ "why.txt" }), List_Dir(Path("Backups\\" + made[0])))
        << "our files go, the operator's note and its folder stay";

    Settings("[Editor]\r\nBackupsKept=0\r\n");
    EXPECT_EQ(0, Backups_Kept());
    Copy_Field(targets[2].name, "Films again");
    ASSERT_TRUE(Save());
    EXPECT_EQ((std::vector<std::string>{ made[2], made[1] }), Backup_Names()) << "off: none made, none removed";

    struct { const char *ini; int kept; } cases[] = {
        { "", 30 }, { "[Editor]\r\nBackupsKept=-4\r\n", 0 }, { "[Editor]\r\nBackupsKept=5000\r\n", 1000 },
        { "[Other]\r\nBackupsKept=3\r\n", 30 }, { "[Editor]\r\nBackupsKept=7\r\n", 7 },
    };
    for (auto &c : cases) {
        Settings(c.ini);
        EXPECT_EQ(c.kept, Backups_Kept()) << c.ini;
    }
}

TEST_F(RollingBackups, BackupNames)
{
    struct { const char *name; bool ok; int suffix; } cases[] = {
        { "2026-12-11 01.02.03", true, 1 }, { "2026-12-11 01.02.03 (2)", true, 2 },
        { "2026-12-11 01.02.03 (117)", true, 117 }, { "2026-12-11 01.02.03 (1)", false, 0 },
        { "2026-12-11 01.02.03 (02)", false, 0 }, { "2026-12-11 01.02.03 (2", false, 0 },
        { "2026-12-11 01.02.03x", false, 0 }, { "2026-12-11 24.00.00", false, 0 },
        { "2026-00-11 01.02.03", false, 0 }, { "2026-12-11 01:02:03", false, 0 }, { "notes", false, 0 },
        { "2026-12-11", false, 0 },
    };
    for (auto &c : cases) {
        int suffix = 0;
        EXPECT_EQ(c.ok, (bool)Is_BackupName(c.name, nullptr, &suffix)) << c.name;
        if (c.ok) { EXPECT_EQ(c.suffix, suffix) << c.name; }
    }
}

/* The backup cannot be written (a file of that name blocks the folder): the operator is told,
   nothing half-made stays, the save itself goes on. */
TEST_F(RollingBackups, ABackupThatCannotBeMadeIsToldAndTheSaveGoesOn)
{
    Start_Three();
    Write_File(Path("Backups"), "a file where the folder should be");
    Copy_Field(targets[0].name, "Plates new");
    Files before = Read_Config(home.home());
    EXPECT_TRUE(Save());
    ASSERT_EQ(1u, msgs.count());
    EXPECT_EQ(MB_ICONSTOP, Icon_Of(msgs.last().flags));
    EXPECT_NE(std::string::npos, msgs.last().text.find("could not be backed up")) << msgs.last().text;
    EXPECT_NE(std::string::npos, msgs.last().text.find(Path("Backups"))) << msgs.last().text;
    EXPECT_NE(std::string::npos, msgs.last().text.find("\"Queues.old\" and \"Applications.old\"")) << msgs.last().text;
    EXPECT_EQ(*before["Queues.cfg"], Read_File(Path("Queues.old")));
    EXPECT_NE(std::string::npos, Get("Queues.cfg").find("Plates new"));
}

/* A queue removed and saved, then its backup put back into a new editor: the same bytes as before
   the removal, and the jobs of the queues that stayed keep their queues. */
TEST_F(RollingBackups, ARestoredBackupIsSavedAsItWasAndKeepsTheJobs)
{
    Start_Three();
    Make_Dirs(Path("queue"));
    Make_Dirs(Path("state"));
    Fresh_Process();
    InitData();
    std::string original = Get("Queues.cfg");
    /* jobs of queues 0 (Plates), 1 (Proofs) and 2 (Films) */
    Write_File(Path("queue\\engine.q"),
               "1::0::a.pdf::1::1::0::x\r\n2::1::b.pdf::1::1::0::y\r\n3::2::c.pdf::1::1::0::z\r\nEND OF QUEUE");
    Delete_Target(1);
    ASSERT_TRUE(Save());
    EXPECT_EQ("1::0::a.pdf::1::1::0::x\r\n3::1::c.pdf::1::1::0::z\r\nEND OF QUEUE", Get("queue\\engine.q"));
    std::vector<std::string> names = Backup_Names();
    ASSERT_EQ(1u, names.size());

    Fresh_Process();
    InitData();
    ASSERT_EQ(2, targetCount);
    std::string afterDelete = Get("Queues.cfg");
    ASSERT_TRUE(Restore_Backup(names[0].c_str()));
    ASSERT_EQ(3, targetCount);
    EXPECT_STREQ("Proofs", targets[1].name);
    EXPECT_EQ(-1, targets[1].loadIndex) << "a queue the editor does not hold is added";
    EXPECT_EQ(1, targets[2].loadIndex) << "Films keeps its number at load";
    EXPECT_EQ(afterDelete, Get("Queues.cfg")) << "nothing is written by the restore";
    ASSERT_TRUE(Save());
    EXPECT_EQ(original, Get("Queues.cfg"));
    EXPECT_EQ("1::0::a.pdf::1::1::0::x\r\n3::2::c.pdf::1::1::0::z\r\nEND OF QUEUE", Get("queue\\engine.q"));
    names = Backup_Names();
    ASSERT_EQ(2u, names.size());
    EXPECT_EQ(std::string::npos, Read_File(Path("Backups\\" + names[0] + "\\Queues.cfg")).find("Proofs"))
        << "the restore's own save backed up the file without the queue";
    EXPECT_TRUE(msgs.boxes.empty());
}

/* A backup whose file stops at a damaged line is damaged: it is never put into the editor, no box
   is shown while reading it, and the editor keeps what it holds, also what its readers noted. */
TEST_F(RollingBackups, ADamagedBackupIsNeverRestored)
{
    Start_Three();
    Copy_Field(targets[0].name, "Plates 2");
    ASSERT_TRUE(Save());
    std::string name = Backup_Names()[0];
    std::string q = Read_File(Path("Backups\\" + name + "\\Queues.cfg"));
    Write_File(Path("Backups\\" + name + "\\Queues.cfg"), q + "this is no queue line\r\n");
    Fresh_Process();
    InitData();
    std::string model = Model_Bytes();
    BOOL whole = TRUE;
    CONFIG_IMAGE *img = Load_Backup(name.c_str(), &whole);
    ASSERT_NE(nullptr, img);
    EXPECT_FALSE(whole);
    EXPECT_EQ(3, img->targetCount) << "what could be read is there to look at";
    Free_ConfigImage(img);
    EXPECT_FALSE(Restore_Backup(name.c_str()));
    EXPECT_EQ(model, Model_Bytes());
    EXPECT_FALSE(Have_KeptQueueLines());
    EXPECT_TRUE(msgs.boxes.empty());

    Write_File(Path("Backups\\" + name + "\\Queues.cfg"), q);
    img = Load_Backup(name.c_str(), &whole);
    ASSERT_NE(nullptr, img);
    EXPECT_TRUE(whole);
    EXPECT_STREQ("Plates", img->targets[0].name);
    Free_ConfigImage(img);
    EXPECT_EQ(model, Model_Bytes()) << "looking at a backup changes nothing in the editor";
    EXPECT_FALSE(Restore_Backup("2001-01-01 00.00.00")) << "no such backup";
}

/* The restore list names who saved a backup and how, from the change log's entry of that save:
   the header nearest in time, never one far from it. */
TEST_F(RollingBackups, TheListNamesWhoSavedEachBackupFromTheChangeLog)
{
    Start_Three();
    Copy_Field(targets[0].name, "Plates 2");
    ASSERT_TRUE(Save());
    const std::string name = Backup_Names().at(0);      /* "YYYY-MM-DD HH.MM.SS" */
    std::string when = name.substr(0, 19);
    when[10] = 'T';
    when[13] = when[16] = ':';
    Make_Dirs(Path("logs"));
    Write_File(Path("logs\\Editor Changes.1.log"),
               "== 2001-" + when.substr(5) + "+01:00 | carl | PRESS-PC | update | 1.0.0.0\r\n  Queue \"A\" deleted\r\n\r\n");
    Write_File(Path("logs\\Editor Changes.log"),
               "== " + when + "+01:00 | anna | PRESS-PC | silent | 1.0.0.0\r\n  Queue \"Plates\": Name: Plates -> Plates 2\r\n\r\n");
    static BACKUP_SUMMARY list[4];
    ASSERT_EQ(1, Summarize_Backups(list, 4));
    EXPECT_STREQ("anna", list[0].user);
    EXPECT_STREQ("silent", list[0].mode);

    Write_File(Path("logs\\Editor Changes.log"), "");
    ASSERT_EQ(1, Summarize_Backups(list, 4));
    EXPECT_STREQ("", list[0].user) << "no entry near the backup: nobody is named";
    EXPECT_STREQ("", list[0].mode);
}

class RollingBackupsOnFaultDisks : public StoreTest {};

/* A disk with only N pages free, from none to more than a backup and the save need: the files are
   each what they were or what the save wrote, the earlier backups stay as they were, and a new
   backup is complete or not there (and then the operator was told). */
TEST_F(RollingBackupsOnFaultDisks, AFullDiskLeavesTheConfigurationAndTheBackupsAsTheyWere)
{
    NEED_FAULT_DRIVE('T', "small disk T:");
    auto clear = [] {
        for (const std::string &n : List_Dir("T:\\")) {
            std::string p = "T:\\" + n;
            if (GetFileAttributesA(p.c_str()) & FILE_ATTRIBUTE_DIRECTORY) Remove_Tree(p);
            else DeleteFileA(p.c_str());
        }
    };
    clear();
    const std::string shop = "T:\\shop";
    int backedUp = 0, refused = 0;
    for (int pages = 0; pages <= 12; pages++) {
        SCOPED_TRACE("pages free: " + std::to_string(pages));
        clear();
        Make_Dirs(shop);
        Reset_ProcessState();
        Use_Home(shop);
        int app = mk::Add_App(shop + "\\Apps\\Rip.exe");
        for (const char *n : { "Plates", "Proofs", "Films" }) mk::Runs_App(mk::Add_Target(n), app);
        ASSERT_TRUE(Save());
        Copy_Field(targets[0].name, "Plates 1");
        ASSERT_TRUE(Save());
        std::string earlier = Backup_Names().at(0);
        Files earlierFiles = Read_Config(shop + "\\Backups\\" + earlier);
        Files before = Read_Config(shop);
        Copy_Field(targets[0].name, "Plates 2");
        MsgRecorder rec;
        {
            HANDLE h = CreateFileA("T:\\filler.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, h);
            ULARGE_INTEGER freeBytes;
            ASSERT_TRUE(GetDiskFreeSpaceExA("T:\\", &freeBytes, nullptr, nullptr));
            std::string chunk(65536, 'f');
            unsigned long long left = freeBytes.QuadPart > pages * 4096ull ? freeBytes.QuadPart - pages * 4096ull : 0;
            while (left > 0) {
                DWORD n = (DWORD)std::min<unsigned long long>(left, chunk.size()), done = 0;
                if (!WriteFile(h, chunk.data(), n, &done, nullptr) || done == 0) break;
                left -= done;
            }
            CloseHandle(h);
        }
        saveOnExit = TRUE;
        StoreSetup();
        DeleteFileA("T:\\filler.bin");
        EXPECT_EQ(earlierFiles, Read_Config(shop + "\\Backups\\" + earlier));
        std::vector<std::string> names = Backup_Names();
        bool told = false;
        for (const Box &b : rec.boxes) told |= b.text.find("could not be backed up") != std::string::npos;
        if (names.size() == 2) {
            EXPECT_EQ(before, Read_Config(shop + "\\Backups\\" + names[0])) << "a backup is complete";
            EXPECT_FALSE(told);
            backedUp++;
        } else {
            refused++;
            EXPECT_EQ(1u, names.size());
            EXPECT_TRUE(told) << "a backup that could not be made is told";
        }
        if (pages == 0) { EXPECT_EQ(before, Read_Config(shop)) << "nothing fits: every file as it was"; }
        /* only the queues file gets other content: each file is what it was or what was meant */
        Files now = Read_Config(shop);
        std::string meant = *before["Queues.cfg"];
        meant.replace(meant.find("Plates 1"), 8, "Plates 2");
        EXPECT_TRUE(now["Queues.cfg"] == before["Queues.cfg"] || now["Queues.cfg"] == meant);
        for (const char *n : k_Files)
            if (strcmp(n, "Queues.cfg") != 0) { EXPECT_EQ(before[n], now[n]) << n; }
        for (const std::string &n : List_Dir(shop + "\\Backups"))
            EXPECT_EQ(std::string::npos, n.find("~ed")) << "a temporary file left: " << n;
    }
    EXPECT_GT(refused, 0) << "no disk was full enough to refuse the backup";
    EXPECT_GT(backedUp, 0) << "no disk had room for the backup";
    clear();
}

/* The queues or applications file is missing at start and a copy exists: the operator is asked
   (naming the newest copy and its date) and Yes loads that copy in place of the missing file. */
TEST_F(RollingBackups, AMissingMainFileIsOfferedFromItsNewestCopy)
{
    Start_Three();
    std::string queues = Get("Queues.cfg"), apps = Get("Applications.cfg");
    std::string plates2 = queues;
    plates2.replace(plates2.find("Plates"), 6, "Plates 2");
    struct Case {
        const char *what;
        std::string backupName;     /* "" for no backup */
        std::string backupQueues;
        bool old;                   /* a Queues.old, written now */
        int answer;
        const char *names;          /* the copy the question names; nullptr: no question */
        const char *firstQueue;     /* after the load */
    } cases[] = {
        { "a backup newer than the .old", "2099-01-02 03.04.05", plates2, true, IDYES, "2099-01-02 03.04.05\\Queues.cfg", "Plates 2" },
        { "an .old newer than the backup", "2001-01-02 03.04.05", plates2, true, IDYES, "Queues.old", "Plates" },
        { "only a backup, answered No", "2001-01-02 03.04.05", plates2, false, IDNO, "2001-01-02 03.04.05\\Queues.cfg", nullptr },
        { "no copy at all", "", "", false, IDYES, nullptr, nullptr },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Remove_Tree(Path("Backups"));
        DeleteFileA(Path("Queues.cfg").c_str());
        DeleteFileA(Path("Queues.old").c_str());
        if (!c.backupName.empty()) {
            Make_Dirs(Path("Backups\\" + c.backupName));
            Write_File(Path("Backups\\" + c.backupName + "\\Queues.cfg"), c.backupQueues);
        }
        if (c.old) Write_File(Path("Queues.old"), queues);
        Fresh_Process();
        MsgRecorder rec({ c.answer });
        BOOL yes = Ask_StartCopies();
        InitData();
        if (yes) Load_StartCopies();
        if (c.names == nullptr) {
            EXPECT_EQ(0u, rec.count());
        } else {
            ASSERT_EQ(1u, rec.count());
            EXPECT_EQ((UINT)MB_YESNO, Buttons_Of(rec.last().flags));
            EXPECT_NE(std::string::npos, rec.last().text.find("\"Queues.cfg\" is missing")) << rec.last().text;
            EXPECT_NE(std::string::npos, rec.last().text.find(c.names)) << rec.last().text;
            EXPECT_EQ(std::string::npos, rec.last().text.find("Applications.cfg")) << "only the missing file";
        }
        if (c.firstQueue == nullptr) {
            EXPECT_EQ(0, targetCount) << "the editor starts without queues, as always";
        } else {
            ASSERT_EQ(3, targetCount);
            EXPECT_STREQ(c.firstQueue, targets[0].name);
            EXPECT_EQ(0, targets[0].loadIndex) << "as if the copy had been in the home";
            EXPECT_EQ(apps, Get("Applications.cfg"));
        }
        EXPECT_FALSE(Exists(Path("Queues.cfg"))) << "nothing is written before OK";
    }
}
