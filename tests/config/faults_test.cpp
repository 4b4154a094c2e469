/* Saving under faults: a full disk, files held open by another program, an installation folder
   that is missing or cannot be written. One oracle checks every case: after the save each file is
   byte for byte either what it was or what the save meant to write; every file that is not the new
   content has been reported to the operator; a ".old" copy is the complete previous version, and
   is there whenever its file was replaced; no temporary file is left behind. */
#include "support/testkit.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/text.h"
#include "config/model.h"
#include "config/oemapps.h"
#include "config/prefsfile.h"
#include "config/runtime.h"
#include "config/storefile.h"
#include "config/users.h"
#include "queueedit/paramfile.h"
#include "config/setup.h"
#include <map>
#include <optional>

using namespace tk;

namespace {

typedef std::map<std::string, std::optional<std::string>> FileSet;   /* nullopt: no such file */

/* Every file a save writes, and the words by which the operator's message names it. */
struct SavedFile { const char *name; const char *named; };
const SavedFile k_Saved[] = {
    { "Queues.cfg", "Queues.cfg" },
    { "Applications.cfg", "Applications.cfg" },
    { "LBPrefs.cfg", "LBPrefs.cfg" },
    { "Preferences.cfg", "Preferences.cfg" },
    { "Users.cfg", nullptr },                       /* the store answers FALSE; its dialog words it */
    { "OEMApps.cfg", "setup" },                     /* "...system setup file <...>" / "...associations setup..." */
    { "CommandLine.cfg", "CommandLine.cfg" },
    { "queue\\engine.q", "queue file" },
    { "state\\queues.sta", "queue status file" },
};
const char *const k_Backups[][2] = { { "Queues.cfg", "Queues.old" }, { "Applications.cfg", "Applications.old" } };

FileSet Read_Set(const std::string &home)
{
    FileSet set;
    for (const SavedFile &f : k_Saved) {
        bool ok = false;
        std::string bytes = Read_File(home + "\\" + f.name, &ok);
        set[f.name] = ok ? std::optional<std::string>(bytes) : std::nullopt;
    }
    for (auto &b : k_Backups) {
        bool ok = false;
        std::string bytes = Read_File(home + "\\" + b[1], &ok);
        set[b[1]] = ok ? std::optional<std::string>(bytes) : std::nullopt;
    }
    return set;
}

/* The files of the demo installation before the save (no parameter file yet: the save makes one),
   with "@HOME@" standing for home. */
FileSet Old_Files(const std::string &home)
{
    TempDir demo("demo");
    Lay_Out_Demo(demo.path(), home);
    FileSet set = Read_Set(demo.path());
    set["CommandLine.cfg"] = std::nullopt;
    /* Empty files take no room on the small disk, so the new content of these needs more */
    set["Preferences.cfg"] = "";
    set["OEMApps.cfg"] = "";
    return set;
}

void Write_Set(const std::string &home, const FileSet &set)
{
    Make_Dirs(home + "\\queue");
    Make_Dirs(home + "\\state");
    for (auto &f : set) {
        std::string path = home + "\\" + f.first;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        if (f.second) Write_File(path, *f.second);
    }
}

struct SaveResult {
    std::vector<Box> boxes;
    BOOL usersStored = FALSE;
    int storeFailures = 0;
};

/* Loads the installation, edits every file's content, and saves all of it as the program does:
   the configuration on OK, the users on closing the administration, an association from the
   process instructions, the parameter file that the processes page creates. beforeSave runs
   between the edits and the save (to take the disk away, hold the files...). */
SaveResult Save_Everything(const std::string &home, const std::function<void()> &beforeSave = nullptr)
{
    SaveResult r;
    MsgRecorder rec;
    Reset_ProcessState();                 /* as a new process */
    Use_Home(home);
    saveOnExit = TRUE;

    InitData();
    Load_Users();
    int line = -1;
    char utility[PATH_LEN];
    std::string app = home + "\\Apps\\PlateRip.exe";
    Lookup_OEMApp(app.c_str(), &line, utility, sizeof utility);

    EXPECT_GE(targetCount, 4);
    EXPECT_FALSE(targets[0].usesGroup);
    Append_Field(targets[0].name, " (night)");
    Append_Field(apps[targets[0].processRef].args, " -fast");
    SpoolerGlobals.SPOOLER_FILE_SETTLE_TIME = 42;
    lbqs[0].timePriorityValue = 61;
    targets[2].copies += 1;                                  /* waiting jobs of this queue change */
    Delete_Target(1);                                         /* its jobs and status go */
    Add_User("nightshift", "pw42");

    /* Every file that can grow grows by more than a page: the small disk counts whole pages, and
       only a file that needs more room than its old content frees shows a writer that truncates
       the real file before it knows the new content fits. */
    for (int k = 0; k < 10; k++) {
        Target t = targets[0];
        snprintf(t.name, sizeof t.name, "Overflow queue %02d", k);
        t.loadIndex = -1;
        t.slotIndex = targetCount;
        memset(t.extraText, 'x', 250);
        t.extraText[250] = '\0';
        memset(t.filterExtensions, 'e', 200);
        t.filterExtensions[200] = '\0';
        int slot = 0;
        while (!apps[slot].free) slot++;
        App a = apps[targets[0].processRef];
        snprintf(a.path, sizeof a.path, "C:\\Program Files\\Overflow %02d\\%0180d.exe", k, 0);
        memset(a.args, 'a', 200);
        a.args[200] = '\0';
        a.free = FALSE;
        apps[slot] = a;
        t.processRef = slot;
        t.usesGroup = FALSE;
        targets[targetCount++] = t;
    }
    for (int k = 0; k < 20; k++) {
        LBQ q = lbqs[0];
        snprintf(q.name, sizeof q.name, "Overflow input %02d", k);
        q.loadIndex = -1;
        lbqs[lbqCount++] = q;
    }
    for (int k = 0; k < 100; k++) {
        char name[40];
        snprintf(name, sizeof name, "operator%03d", k);
        Add_User(name, "0123456789abcdefghijklmnopqrstuv");
    }

    if (beforeSave) beforeSave();
    StoreSetup();
    r.usersStored = Store_Users();
    Record_OEMApp(app.c_str(), line, "C:\\Tools\\PlateSetup.exe");
    Prepare_ParamFile();

    r.boxes = rec.boxes;
    r.storeFailures = storeFailures;
    Reset_ProcessState();
    return r;
}

bool Is_Temporary(const std::string &name)
{
    return (name.size() > 4 && _stricmp(name.c_str() + name.size() - 4, ".tmp") == 0) ||
           (name.size() > 5 && _stricmp(name.c_str() + name.size() - 5, ".temp") == 0);
}

void Find_Temporaries(const std::string &dir, std::vector<std::string> *found)
{
    for (const std::string &n : List_Dir(dir)) {
        std::string p = dir + "\\" + n;
        if (GetFileAttributesA(p.c_str()) & FILE_ATTRIBUTE_DIRECTORY) Find_Temporaries(p, found);
        else if (Is_Temporary(n)) found->push_back(p);
    }
}

/* The oracle: what is wrong with the home after a save, one line per fault; empty when the
   promise held. */
std::vector<std::string> Check_Promise(const std::string &home, const FileSet &before, const FileSet &intended,
                                       const SaveResult &r)
{
    std::vector<std::string> faults;
    FileSet now = Read_Set(home);
    bool anyKept = false;
    for (const SavedFile &f : k_Saved) {
        const auto &is = now[f.name];
        if (is == intended.at(f.name)) continue;
        if (is != before.at(f.name)) {
            faults.push_back(std::string(f.name) + " is neither its previous nor its new content (" +
                             (is ? std::to_string(is->size()) + " bytes" : "missing") + ")");
            continue;
        }
        anyKept = true;
        bool told = false;
        if (f.named == nullptr) told = !r.usersStored;
        else
            for (const Box &b : r.boxes) told |= b.text.find(f.named) != std::string::npos;
        if (!told) faults.push_back(std::string(f.name) + " was not saved and the operator was not told");
    }
    for (auto &b : k_Backups) {
        const auto &old = now[b[1]];
        bool replaced = now[b[0]] != before.at(b[0]);
        if (replaced && before.at(b[0]) && old != before.at(b[0])) {
            /* the previous configuration would be gone */
            faults.push_back(std::string(b[0]) + " was replaced but " + b[1] + " does not hold its previous version");
        } else if (!replaced && old && old != before.at(b[1]) && old != before.at(b[0])) {
            faults.push_back(std::string(b[1]) + " is neither as it was nor the complete previous " + b[0]);
        }
    }
    if (anyKept && r.storeFailures == 0 && r.usersStored && now["Queues.cfg"] != intended.at("Queues.cfg"))
        faults.push_back("a file was not saved but no failure was counted");
    std::vector<std::string> temps;
    Find_Temporaries(home, &temps);
    for (const std::string &t : temps) faults.push_back("temporary file left: " + t);
    return faults;
}

std::string Join(const std::vector<std::string> &lines)
{
    std::string s;
    for (const std::string &l : lines) s += "\n  " + l;
    return s;
}

/* The intended content: the same save on a healthy disk at the same path. */
FileSet Intended_After(const std::string &home, const FileSet &before)
{
    Write_Set(home, before);
    SaveResult r = Save_Everything(home);
    FileSet after = Read_Set(home);
    for (const SavedFile &f : k_Saved) {
        EXPECT_TRUE(after[f.name].has_value()) << f.name;
        EXPECT_NE(before.at(f.name), after[f.name]) << f.name << " is not changed by the save: the oracle could not tell";
    }
    EXPECT_EQ(0, r.storeFailures);
    EXPECT_TRUE(r.usersStored);
    return after;
}

void Clear_Folder(const std::string &dir)
{
    for (const std::string &n : List_Dir(dir)) {
        std::string p = dir + "\\" + n;
        if (GetFileAttributesA(p.c_str()) & FILE_ATTRIBUTE_DIRECTORY) Remove_Tree(p);
        else DeleteFileA(p.c_str());
    }
}

} // namespace

class SaveUnderFaults : public ::testing::Test {
protected:
    void TearDown() override { Reset_ProcessState(); }
};
class SaveOnFaultDisks : public SaveUnderFaults {};

/* A disk with only N pages free, N from 0 up to what the new files need. */
TEST_F(SaveOnFaultDisks, FullDiskLeavesEachFileOldOrNew)
{
    NEED_FAULT_DRIVE('T', "small disk T:");
    const std::string home = "T:\\shop";
    Clear_Folder("T:\\");
    Make_Dirs(home);
    FileSet before = Old_Files(home);
    FileSet intended = Intended_After(home, before);
    size_t needed = 0;
    for (auto &f : intended)
        if (f.second) needed += (f.second->size() + 4095) / 4096;

    for (size_t pages = 0; pages <= needed + 2; pages++) {
        SCOPED_TRACE("pages free: " + std::to_string(pages));
        Clear_Folder("T:\\");
        Write_Set(home, before);
        std::string filler = "T:\\filler.bin";
        ULARGE_INTEGER freeBytes;
        ASSERT_TRUE(GetDiskFreeSpaceExA("T:\\", &freeBytes, nullptr, nullptr));
        {
            HANDLE h = CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            ASSERT_NE(INVALID_HANDLE_VALUE, h);
            std::string chunk(65536, 'f');
            unsigned long long left = freeBytes.QuadPart > pages * 4096 ? freeBytes.QuadPart - pages * 4096 : 0;
            while (left > 0) {
                DWORD n = (DWORD)std::min<unsigned long long>(left, chunk.size()), done = 0;
                if (!WriteFile(h, chunk.data(), n, &done, nullptr) || done == 0) break;
                left -= done;
            }
            CloseHandle(h);
        }
        SaveResult r = Save_Everything(home);
        DeleteFileA(filler.c_str());
        std::vector<std::string> faults = Check_Promise(home, before, intended, r);
        EXPECT_TRUE(faults.empty()) << Join(faults);
        if (pages == 0) { EXPECT_GT(r.storeFailures, 0) << "nothing fits: failures are counted"; }
    }
    Clear_Folder("T:\\");
}

/* Another program holds every file open while the save runs: briefly (the save waits and
   succeeds), or for long (the save reports and keeps every file it cannot replace). */
TEST_F(SaveUnderFaults, FilesHeldByAnotherProgram)
{
    TempDir dir("held");
    const std::string home = dir.path();
    FileSet before = Old_Files(home);
    FileSet intended = Intended_After(home, before);

    /* backups: only the ".old" copies of an earlier save are held; the files they back up must
       then stay as they are, as nothing could keep their previous version */
    struct { const char *share; DWORD holdMs; bool allSaved; bool backups; } cases[] = {
        { "-", 300, true, false }, { "r", 300, true, false }, { "rw", 300, true, false }, { "rwd", 300, true, false },
        { "-", 4000, false, false }, { "r", 4000, false, false }, { "rw", 4000, false, false },
        { "rwd", 4000, false, false }, { "-", 300, true, true }, { "-", 4000, false, true }, { "rwd", 4000, false, true },
    };
    for (auto &c : cases) {
        SCOPED_TRACE(std::string("share ") + c.share + ", held " + std::to_string(c.holdMs) + " ms" +
                     (c.backups ? ", the backups only" : ""));
        FileSet start = before;
        if (c.backups)
            for (auto &b : k_Backups) start[b[1]] = std::string("a backup of an earlier save\r\n");
        Write_Set(home, start);
        Child holder;
        SaveResult r = Save_Everything(home, [&] {
            /* a long holder is waited for only briefly: it will not let go while the save runs */
            Set_ReplaceRetryTime(c.holdMs > 1000 ? 100 : REPLACE_RETRY_MS);
            std::string event = "EditorHold" + std::to_string(GetCurrentProcessId());
            HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, event.c_str());
            std::string cmd = Quote(Helper_Exe("holdfile")) + " " + c.share + " " + std::to_string(c.holdMs) + " " + event;
            if (c.backups) {
                for (auto &b : k_Backups) cmd += " " + Quote(home + "\\" + b[1]);
            } else {
                for (const SavedFile &f : k_Saved)
                    if (before.at(f.name)) cmd += " " + Quote(home + "\\" + f.name);
            }
            holder = Child(cmd);
            EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ready, 10000));
            CloseHandle(ready);
        });
        holder.kill();      /* a long holder has made its point once the save is over */
        std::vector<std::string> faults = Check_Promise(home, start, intended, r);
        EXPECT_TRUE(faults.empty()) << Join(faults);
        FileSet now = Read_Set(home);
        for (const SavedFile &f : k_Saved) {
            if (!before.at(f.name)) continue;       /* a new file is not held by anyone */
            bool backedUp = false;
            for (auto &b : k_Backups) backedUp |= strcmp(b[0], f.name) == 0;
            if (c.backups && !backedUp) {
                EXPECT_EQ(intended.at(f.name), now[f.name]) << f.name << " needs no backup and should have been saved";
            } else if (c.allSaved) {
                EXPECT_EQ(intended.at(f.name), now[f.name]) << f.name << " should have been saved";
            } else {
                EXPECT_EQ(before.at(f.name), now[f.name]) << f.name << " cannot have been replaced";
            }
        }
    }
}

/* The installation folder can be read but not written (a read-only view of a folder). */
TEST_F(SaveOnFaultDisks, UnwritableInstallationFolderKeepsEveryFile)
{
    NEED_FAULT_DRIVE('R', "read-only folder R:");
    Remove_Tree("U:\\shop");
    FileSet before = Old_Files("R:\\shop");
    Write_Set("U:\\shop", before);
    FileSet intended = before;          /* nothing can be written: only reports are possible */
    SaveResult r = Save_Everything("R:\\shop");
    std::vector<std::string> faults = Check_Promise("R:\\shop", before, intended, r);
    EXPECT_TRUE(faults.empty()) << Join(faults);
    EXPECT_EQ(before, Read_Set("R:\\shop"));
    EXPECT_GE(r.storeFailures, 4) << "queues, applications, load balancer and preferences files";
    EXPECT_FALSE(r.usersStored);
    Remove_Tree("U:\\shop");
}

/* The installation folder has gone (a network drive lost): nothing is created, all is reported. */
TEST_F(SaveUnderFaults, MissingInstallationFolderCreatesNothingAndReportsEveryFile)
{
    TempDir dir("gone");
    const std::string home = dir / "shop";
    Make_Dirs(home);
    FileSet before = Old_Files(home);
    Write_Set(home, before);
    SaveResult r = Save_Everything(home, [&] { Remove_Tree(home); });
    EXPECT_FALSE(Exists(home)) << "the save must not make the folder again";
    FileSet gone;
    for (auto &f : before) gone[f.first] = std::nullopt;
    std::vector<std::string> faults = Check_Promise(home, gone, gone, r);
    EXPECT_TRUE(faults.empty()) << Join(faults);
    for (const SavedFile &f : k_Saved) {
        if (f.named == nullptr) {
            EXPECT_FALSE(r.usersStored);
            continue;
        }
        /* the spooler's run-time folders went with the installation: nothing to keep in step */
        if (strchr(f.name, '\\') != nullptr) continue;
        bool told = false;
        for (const Box &b : r.boxes) told |= b.text.find(f.named) != std::string::npos;
        EXPECT_TRUE(told) << f.name << " was not reported";
    }
}

/* A failed save is never reported as a success: the update mode ends with 1 and keeps every file. */
TEST_F(SaveOnFaultDisks, UpdateModeExitsOneWhenItCannotWrite)
{
    NEED_FAULT_DRIVE('R', "read-only folder R:");
    Remove_Tree("U:\\upd");
    FileSet before = Old_Files("R:\\upd");
    Write_Set("U:\\upd", before);
    Child editor(Quote(Editor_Exe()) + " -update R:\\upd");
    std::vector<ForeignBox> seen;
    EXPECT_EQ(1, Run_Answering(editor, {}, &seen));
    EXPECT_TRUE(seen.empty()) << "the update mode shows no box";
    EXPECT_EQ(before, Read_Set("R:\\upd"));
    Remove_Tree("U:\\upd");
}

/* An update killed at any moment: every file is its old or its new content and the backups are
   complete. (A killed run may leave its "~ed*.tmp" behind; the spooler never takes it for one of
   its files.) */
TEST_F(SaveUnderFaults, InterruptedUpdateLeavesEachFileOldOrNew)
{
    const char *names[] = { "Queues.cfg", "Applications.cfg", "Preferences.cfg", "LBPrefs.cfg" };
    TempDir dir("intr");
    auto lay = [&] {
        Remove_Tree(dir / "home");
        Make_Dirs(dir / "home");
        for (const char *n : names)
            if (Exists(Fixture(std::string("faults/legacy/") + n)))
                Write_File(dir / "home" + "\\" + n, Crlf(Read_File(Fixture(std::string("faults/legacy/") + n))));
    };
    auto read = [&] {
        std::map<std::string, std::optional<std::string>> m;
        for (const char *n : { "Queues.cfg", "Applications.cfg", "Preferences.cfg", "LBPrefs.cfg", "Queues.old",
                               "Applications.old" }) {
            bool ok = false;
            std::string b = Read_File(dir / "home" + "\\" + n, &ok);
            m[n] = ok ? std::optional<std::string>(b) : std::nullopt;
        }
        return m;
    };
    lay();
    auto before = read();
    Child whole(Quote(Editor_Exe()) + " -update " + dir / "home");
    ASSERT_EQ(0, whole.wait(20000));
    auto intended = read();
    for (const char *n : { "Queues.cfg", "Applications.cfg", "Preferences.cfg" })
        ASSERT_NE(before[n], intended[n]) << n << " is not rewritten: the test could not tell";

    for (DWORD ms = 0; ms <= 200; ms += 12) {
        SCOPED_TRACE("killed after " + std::to_string(ms) + " ms");
        lay();
        Child editor(Quote(Editor_Exe()) + " -update " + dir / "home");
        Sleep(ms);
        editor.kill();
        auto now = read();
        for (const char *n : names)
            EXPECT_TRUE(now[n] == before[n] || now[n] == intended[n]) << n << " is cut or changed";
        EXPECT_TRUE(!now["Queues.old"] || now["Queues.old"] == before["Queues.cfg"]);
        EXPECT_TRUE(!now["Applications.old"] || now["Applications.old"] == before["Applications.cfg"]);
    }
}
