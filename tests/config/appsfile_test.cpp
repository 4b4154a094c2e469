#include "store_fixture.h"
#include "config/appsfile.h"
#include "config/queuesfile.h"
#include "resources/resource.h"
#include <shellapi.h>

namespace {

class AppsFile : public StoreTest {
protected:
    /* output queue i runs entry ref (an App or, with group, an AppGroup) */
    void Queue(int i, int ref, BOOL group = FALSE, int legacy = 0)
    {
        Target &t = mk::Put_Target(i, "Q" + std::to_string(i), "C:\\Hot\\Q" + std::to_string(i));
        if (ref == NO_PROCESSES) mk::Runs_Nothing(t);
        else if (group) mk::Runs_Group(t, ref);
        else mk::Runs_App(t, ref);
        t.legacyCompatV3 = legacy;
    }
    static App Make_App(const char *path, const char *args, char priority, int runAlone)
    {
        App a = mk::New_App(path, args);
        a.priority = priority;
        a.runAlone = runAlone;
        return a;
    }
    static void Set_App(int slot, const App &a)
    {
        apps[slot] = a;
        apps[slot].free = FALSE;
    }
    static void Set_Group(int slot, std::initializer_list<int> members, BOOL parallel, int runAlone, char priority)
    {
        AppGroup &g = appGroups[mk::Add_Group(members, parallel, slot)];
        g.runAlone = runAlone;
        g.priority = priority;
    }
    static ProcessEntry Entry(const App &a)
    {
        ProcessEntry e;
        memset(&e, 0, sizeof e);
        e.appIndex = -1;
        Copy_Field(e.path, a.path);
        Copy_Field(e.args, a.args);
        e.compatV3 = a.compatV3;
        e.resident = a.resident;
        e.showCommand = a.showCommand;
        e.nonNative = a.nonNative;
        e.reservedFlag = a.reservedFlag;
        Copy_Field(e.iconPath, a.iconPath);
        return e;
    }
    static ProcessList List(std::initializer_list<App> processes, char priority, int runAlone, BOOL parallel = FALSE)
    {
        ProcessList l;
        memset(&l, 0, sizeof l);
        l.groupRef = -1;
        l.priority = priority;
        l.runAlone = runAlone;
        l.parallel = parallel;
        for (const App &a : processes) l.entries[l.count++] = Entry(a);
        return l;
    }
    /* The entry number the queue's process reference is written with. */
    static int Entry_Of(const Target &t)
    {
        APP_NUMBERING n;
        Defrag_AppsArray(&n);
        return t.processRef == NO_PROCESSES ? NO_PROCESSES : Entry_OfSlot(&n, t.processRef, t.usesGroup);
    }
    static int Used_Apps()
    {
        int n = 0;
        for (int i = 0; i < MAX_APPS; i++) n += !apps[i].free;
        return n;
    }
    static int Used_Groups()
    {
        int n = 0;
        for (int i = 0; i < MAX_APPGROUPS; i++) n += !appGroups[i].free;
        return n;
    }
};

struct AppReadCase {
    const char *line;
    const char *path, *args;
    int runAlone;
    char priority;
    int compatV3, resident, showCommand, nonNative, reservedFlag;
};

TEST_F(AppsFile, ApplicationEntriesAreReadFieldByField)
{
    const AppReadCase cases[] = {
        { "\"C:\\Apps\\Rip.exe\" -x 1::A::H::1::1::3::1::1", "C:\\Apps\\Rip.exe", "-x 1", 1, 'H', 1, 1, 3, 1, 1 },
        { "C:\\Program Files\\Rip.EXE -x 1::P::N", "C:\\Program Files\\Rip.EXE", "-x 1", 0, 'N', 2, 0, 0, 0, 0 },
        { "C:\\Apps\\run.bat arg::a::I", "C:\\Apps\\run.bat", "arg", 1, 'I', 2, 0, 6, 0, 0 },
        { "tool -v::P::X", "tool", "-v", 0, 'N', 2, 0, 0, 0, 0 },
        { "\"C:\\x.exe\"::P::R::0", "C:\\x.exe", "", 0, 'R', 0, 0, 0, 0, 0 },
        { "\"C:\\x.bat\"::P::N::1::0::abc", "C:\\x.bat", "", 0, 'N', 1, 0, 6, 0, 0 },
        { "\"C:\\x.exe\"::P::N::1::0::6::1::0::C:\\icon.ico", "C:\\x.exe", "", 0, 'N', 1, 0, 6, 1, 0 },
        { "\"C:\\x.exe -a::P::N", "C:\\x.exe -a", "", 0, 'N', 2, 0, 0, 0, 0 },
        { "   \"C:\\x.exe\"  -a  ::Alone::n", "C:\\x.exe", "-a  ", 1, 'N', 2, 0, 0, 0, 0 },
        { "\"C:\\x.exe\" -o: ::P::N", "C:\\x.exe", "-o:", 0, 'N', 2, 0, 0, 0, 0 },
    };
    for (const AppReadCase &c : cases) {
        SCOPED_TRACE(c.line);
        Reset_Configuration();
        Queue(0, 0);                        /* run directly, so the entry keeps its own settings */
        Put("Applications.cfg", c.line);
        ASSERT_TRUE(Get_AppsData());
        ASSERT_FALSE(apps[0].free);
        EXPECT_STREQ(c.path, apps[0].path);
        EXPECT_STREQ(c.args, apps[0].args);
        EXPECT_EQ(c.runAlone, apps[0].runAlone);
        EXPECT_EQ(c.priority, apps[0].priority);
        EXPECT_EQ(c.compatV3, apps[0].compatV3);
        EXPECT_EQ(c.resident, apps[0].resident);
        EXPECT_EQ(c.showCommand, apps[0].showCommand);
        EXPECT_EQ(c.nonNative, apps[0].nonNative);
        EXPECT_EQ(c.reservedFlag, apps[0].reservedFlag);
        EXPECT_STREQ("", apps[0].iconPath);
        EXPECT_TRUE(apps[1].free);
        EXPECT_EQ(0u, msgs.count());
    }
}

TEST_F(AppsFile, EquivalenceEntriesAndWhoUsesThem)
{
    Put("Applications.cfg", "\"C:\\A.exe\"::P::N::1::0::0::0::0\n\"C:\\B.exe\"::A::H::1::0::0::0::0\n"
                            "0,,1:0::A::N\n1,,0:1::p::Z\n0:1::P::N\n0,,1::P::I");
    Queue(0, 2);
    Queue(1, 3);
    Queue(2, 4);
    Queue(3, 5);
    Queue(4, 9);                            /* an entry the file does not hold */
    Queue(5, NO_PROCESSES);
    ASSERT_TRUE(Get_AppsData());

    ASSERT_FALSE(appGroups[2].free);
    EXPECT_TRUE(apps[2].free);
    EXPECT_EQ(2, appGroups[2].count);
    EXPECT_EQ(0, appGroups[2].members[0]);
    EXPECT_EQ(1, appGroups[2].members[1]);
    EXPECT_FALSE(appGroups[2].parallel);
    EXPECT_EQ(1, appGroups[2].runAlone);
    EXPECT_EQ('N', appGroups[2].priority);

    EXPECT_EQ(1, appGroups[3].members[0]);
    EXPECT_TRUE(appGroups[3].parallel);
    EXPECT_EQ(0, appGroups[3].runAlone);
    EXPECT_EQ('N', appGroups[3].priority);

    EXPECT_TRUE(appGroups[4].free) << "one member is no member list";
    EXPECT_STREQ("0:1", apps[4].path);
    EXPECT_FALSE(appGroups[5].free) << "a member list without ':' runs in parallel";
    EXPECT_TRUE(appGroups[5].parallel);

    EXPECT_TRUE(targets[0].usesGroup);
    EXPECT_TRUE(targets[1].usesGroup);
    EXPECT_FALSE(targets[2].usesGroup);
    EXPECT_TRUE(targets[3].usesGroup);
    EXPECT_FALSE(targets[4].usesGroup);
    EXPECT_FALSE(targets[5].usesGroup);

    /* used only through groups: "not used directly" */
    EXPECT_EQ('U', apps[0].priority);
    EXPECT_EQ(-1, apps[0].runAlone);
    EXPECT_EQ('U', apps[1].priority);
    EXPECT_EQ('N', apps[4].priority);
    EXPECT_EQ(0, apps[4].runAlone);
}

TEST_F(AppsFile, NoFileLeavesEverythingFree)
{
    Queue(0, 3);
    EXPECT_FALSE(Get_AppsData());
    EXPECT_EQ(0, Used_Apps());
    EXPECT_EQ(0, Used_Groups());
    EXPECT_FALSE(targets[0].usesGroup);
    EXPECT_EQ(3, Entry_Of(targets[0])) << "a reference to nothing stays a reference to nothing";
    Store_AppsData();
    EXPECT_EQ("", Get("Applications.cfg"));
}

TEST_F(AppsFile, OlderNameIsReadAndTheCurrentNameWritten)
{
    Put("Spooler.aps", "\"C:\\A.exe\"::P::N::1::0::0::0::0");
    Queue(0, 0);
    ASSERT_TRUE(Get_AppsData());
    EXPECT_STREQ("C:\\A.exe", apps[0].path);
    Store_AppsData();
    EXPECT_EQ(Disk("\"C:\\A.exe\"::P::N::1::0::0::0::0"), Get("Applications.cfg"));
    EXPECT_FALSE(tk::Exists(Path("Spooler.old")));
}

TEST_F(AppsFile, IconsComeFromTheFileOrTheProgram)
{
    const std::string exe = tk::Editor_Exe();
    Put("Applications.cfg", "\"" + exe + "\"::P::N\n\"C:\\No\\Such.exe\"::P::N\n0,,1:0::P::N\n\"" + exe + "\"::P::N");
    ASSERT_TRUE(Get_AppsData());
    for (int i = 0; i < 4; i++) EXPECT_EQ(nullptr, apps[i].icon) << "reading takes no icon: " << i;
    HICON program = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_PROGRAM));
    ASSERT_NE(nullptr, program);
    EXPECT_EQ(program, App_Icon(1)) << "asked for one by one";
    EXPECT_EQ(nullptr, App_Icon(2)) << "a group's slot";
    EXPECT_EQ(nullptr, apps[0].icon);
    Assign_AppIcons();
    EXPECT_NE(nullptr, apps[0].icon);
    EXPECT_NE(program, apps[0].icon);
    EXPECT_EQ(program, apps[1].icon);
    EXPECT_EQ(nullptr, apps[3].icon) << "icons stop at the first free slot";
    EXPECT_EQ(nullptr, App_Icon(3));

    Reset_Configuration();
    Put("Applications.cfg", "1,,2:0::P::N\n\"" + exe + "\"::P::N\n\"" + exe + "\"::P::N");
    ASSERT_TRUE(Get_AppsData());
    Assign_AppIcons();
    EXPECT_EQ(nullptr, apps[1].icon) << "entry 0 is a group: no application gets an icon";
    EXPECT_EQ(nullptr, App_Icon(1));
}

TEST_F(AppsFile, CompatibilityIsCarriedFromTheQueues)
{
    Put("Applications.cfg", "\"C:\\A.exe\"::P::N\n\"C:\\B.exe\"::P::N\n\"C:\\C.exe\"::P::N\n2,,0:0::P::N\n\"C:\\D.exe\"::P::N\n"
                            "\"C:\\E.exe\"::P::N::0");
    Queue(0, 0, FALSE, 0);
    Queue(1, 1, FALSE, 2);
    Queue(2, 3, FALSE, 1);
    Queue(3, 4, FALSE, 2);
    ASSERT_TRUE(Get_AppsData());
    Carry_LegacyCompat();
    EXPECT_EQ(0, apps[0].compatV3) << "the queue's value";
    EXPECT_EQ(1, apps[1].compatV3) << "unstated by its queue, before the first free slot";
    EXPECT_EQ(1, apps[2].compatV3) << "the group's queue's value";
    EXPECT_EQ(1, apps[4].compatV3) << "after the first free slot too: a 2 would be stored and read back as 0";
    EXPECT_EQ(0, apps[5].compatV3) << "stated in the file";
}

TEST_F(AppsFile, StoreWritesEntriesInTheirFormat)
{
    App rip = Make_App("C:\\Apps\\Rip 1.exe", "1", 'H', 1);      /* the arguments occur in the path */
    rip.showCommand = 6;
    rip.nonNative = TRUE;
    Set_App(0, rip);
    Set_App(1, Make_App("C:\\Tools\\x.exe", "", 'U', -1));
    Set_App(2, Make_App("C:\\Tools\\y.exe", "-a", 'U', -1));
    Set_App(3, Make_App("C:\\Tools\\z.exe", "", 'R', 0));       /* run by a queue itself and in a group */
    apps[2].compatV3 = 0;
    Set_Group(1, { 1, 3 }, TRUE, 1, 'I');
    Set_Group(4, { 2, 1 }, FALSE, 0, 'N');
    Queue(0, 0);
    Queue(1, 3);
    Queue(2, 1, TRUE);
    Queue(3, 4, TRUE);
    Put("Applications.cfg", "old content");
    EXPECT_EQ(0, Entry_Of(targets[0]));
    EXPECT_EQ(3, Entry_Of(targets[1]));
    EXPECT_EQ(4, Entry_Of(targets[2]));
    EXPECT_EQ(5, Entry_Of(targets[3]));
    Store_AppsData();
    EXPECT_EQ(Disk("\"C:\\Apps\\Rip 1.exe\" 1::A::H::1::0::6::1::0\n"
                   "\"C:\\Tools\\x.exe\"::P::N::1::0::0::0::0\n"
                   "\"C:\\Tools\\y.exe\" -a::P::N::0::0::0::0::0\n"
                   "\"C:\\Tools\\z.exe\"::P::R::1::0::0::0::0\n"
                   "1,,3:1::A::I\n"
                   "2,,1:0::P::N"),
              Get("Applications.cfg"));
    EXPECT_EQ(Disk("old content"), Get("Applications.old"));
}

TEST_F(AppsFile, ArgumentsTheFormatCannotCarryKeepTheFieldsApart)
{
    Set_App(0, Make_App("C:\\x.exe", "-out:", 'H', 1));
    Set_App(1, Make_App("C:\\y.exe", "a::b", 'R', 0));
    Queue(0, 0);
    Queue(1, 1);
    Store_AppsData();
    EXPECT_EQ(Disk("\"C:\\x.exe\" -out: ::A::H::1::0::0::0::0\n\"C:\\y.exe\" a: :b::P::R::1::0::0::0::0"),
              Get("Applications.cfg"));
    Reset_Configuration();
    Queue(0, 0);
    Queue(1, 1);
    ASSERT_TRUE(Get_AppsData());
    EXPECT_STREQ("-out:", apps[0].args);
    EXPECT_EQ('H', apps[0].priority);
    EXPECT_EQ(1, apps[0].runAlone);
    EXPECT_STREQ("a: :b", apps[1].args);
    EXPECT_EQ('R', apps[1].priority);
}

TEST_F(AppsFile, RenumberingLeavesOutUnusedEntriesAndChangesNothing)
{
    Set_App(0, Make_App("C:\\Unused.exe", "", 'N', 0));
    Set_App(1, Make_App("C:\\One.exe", "", 'N', 0));
    Set_App(2, Make_App("C:\\Member.exe", "", 'U', -1));
    Set_App(4, Make_App("C:\\Orphan.exe", "", 'U', -1));
    Set_App(6, Make_App("C:\\Member2.exe", "", 'U', -1));
    Set_Group(3, { 6, 2 }, FALSE, 1, 'H');
    Set_Group(5, { 1, 2 }, TRUE, 0, 'N');                        /* no queue runs it */
    Queue(0, 1);
    Queue(1, 3, TRUE);
    Queue(2, NO_PROCESSES);
    const std::string before = Model_Bytes();
    APP_NUMBERING n;
    Defrag_AppsArray(&n);
    EXPECT_EQ(-1, n.appNumber[0]) << "run by nothing";
    EXPECT_EQ(-1, n.appNumber[4]);
    EXPECT_EQ(-1, n.groupNumber[5]);
    EXPECT_EQ(0, Entry_OfSlot(&n, targets[0].processRef, FALSE));
    EXPECT_EQ(3, Entry_OfSlot(&n, targets[1].processRef, TRUE));
    EXPECT_EQ(2, Entry_OfSlot(&n, appGroups[3].members[0], FALSE));
    EXPECT_EQ(1, Entry_OfSlot(&n, appGroups[3].members[1], FALSE));
    EXPECT_EQ(6, App_SlotOfEntry(&n, 2)) << "entry 2 is in slot 6";
    EXPECT_EQ(1, App_SlotOfEntry(&n, 0));
    EXPECT_EQ(-1, App_SlotOfEntry(&n, 3)) << "entry 3 is the group";
    Store_AppsData();
    /* the members (slots 6 and 2, entries 2 and 1) take the group's settings */
    EXPECT_EQ(Disk("\"C:\\One.exe\"::P::N::1::0::0::0::0\n\"C:\\Member.exe\"::A::H::1::0::0::0::0\n"
                   "\"C:\\Member2.exe\"::A::H::1::0::0::0::0\n2,,1:0::A::H"),
              Get("Applications.cfg"));
    EXPECT_TRUE(before == Model_Bytes()) << "the arrays are exactly as they were: slots, references, settings";
}

TEST_F(AppsFile, DeletingTheOnlyQueueOfAGroupFreesItAndItsOwnMembers)
{
    Put("Applications.cfg", "\"C:\\A.exe\"::P::N::1::0::0::0::0\n\"C:\\B.exe\"::P::N::1::0::0::0::0\n0,,1:1::P::N");
    Queue(0, 2);
    Queue(1, 0);
    ASSERT_TRUE(Get_AppsData());
    targets[0] = targets[1];                /* the queue of the group is deleted */
    targetCount = 1;
    APP_NUMBERING n;
    Defrag_AppsArray(&n);
    EXPECT_EQ(-1, n.groupNumber[2]);
    EXPECT_EQ(-1, n.appNumber[1]);
    EXPECT_EQ(0, n.appNumber[0]);
    Store_AppsData();
    EXPECT_EQ(Disk("\"C:\\A.exe\"::P::N::1::0::0::0::0"), Get("Applications.cfg"));
}

TEST_F(AppsFile, ReadDefragStoreRoundTripsAFileOfTheEditor)
{
    const std::string text = "\"C:\\Apps\\A.exe\" -x::A::H::1::1::6::0::1\n\"C:\\Apps\\B.exe\"::P::N::0::0::0::1::0\n"
                             "\"C:\\Apps\\C.exe\" C::A::N::1::0::0::0::0\n1,,2:0::A::N\n2,,1:1::P::I";
    Put("Applications.cfg", text);
    Queue(0, 0);
    Queue(1, 3);
    Queue(2, 4);
    ASSERT_TRUE(Get_AppsData());
    Carry_LegacyCompat();
    Store_AppsData();
    /* B and C are members only: the last group's settings (P, I) are written for both */
    EXPECT_EQ(Disk("\"C:\\Apps\\A.exe\" -x::A::H::1::1::6::0::1\n\"C:\\Apps\\B.exe\"::P::I::0::0::0::1::0\n"
                   "\"C:\\Apps\\C.exe\" C::P::I::1::0::0::0::0\n1,,2:0::A::N\n2,,1:1::P::I"),
              Get("Applications.cfg"));
}

class AppsKept : public AppsFile {};

TEST_F(AppsKept, DamagedLineIsKeptAndReferencesIntoItFollow)
{
    Put_Fixture("Applications.cfg", "apps/group_after_damaged_line.cfg");
    Queue(0, 2);                            /* C, read */
    Queue(1, 4);                            /* the group after the damaged line */
    ASSERT_TRUE(Get_AppsData());
    ASSERT_EQ(1u, msgs.count());
    EXPECT_NE(std::string::npos, msgs.last().text.find("line 4")) << msgs.last().text;
    EXPECT_NE(std::string::npos, msgs.last().text.find(Path("Applications.cfg"))) << msgs.last().text;
    EXPECT_EQ(MB_ICONINFORMATION, tk::Icon_Of(msgs.last().flags));
    EXPECT_FALSE(targets[1].usesGroup);
    EXPECT_EQ('N', apps[1].priority) << "B is run by a kept group line and keeps its settings";

    /* a new application never takes the slot the unread reference names */
    App n = Make_App("C:\\New.exe", "", 'N', 0);
    ProcessList l = List({ n }, 'N', 0);
    EXPECT_EQ(3, AddTargetApps(&l));
    ProcessList l2 = List({ Make_App("C:\\New2.exe", "", 'N', 0) }, 'N', 0);
    EXPECT_EQ(5, AddTargetApps(&l2)) << "slot 4 is named by queue 1";
    Queue(2, 3);
    Queue(3, 5);

    /* A is dropped: B, C, New, New2 are 0 to 3, the kept lines follow at 4 and 5 */
    EXPECT_EQ(1, Entry_Of(targets[0]));
    EXPECT_EQ(5, Entry_Of(targets[1])) << "still the group line after the damaged one";
    Store_AppsData();
    EXPECT_EQ(Disk("\"C:\\B.exe\"::P::N::1::0::0::0::0\n\"C:\\C.exe\"::P::N::1::0::0::0::0\n"
                   "\"C:\\New.exe\"::P::N::1::0::0::0::0\n\"C:\\New2.exe\"::P::N::1::0::0::0::0\n"
                   "broken\n0,,1:0::P::N"),
              Get("Applications.cfg"));
}

TEST_F(AppsKept, GroupsThatDoNotFitAreKept)
{
    const struct { const char *line, *reason; } cases[] = {
        { "0,,1,,0,,1,,0:0::P::N", "more than 4 members" },
        { "0,,250:0::P::N", "beyond 200" },
        { "\"C:\\B.exe\"::P", "field 2 or 3" },
        { "::P::N", "first field" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        Reset_Configuration();
        msgs.boxes.clear();
        Put("Applications.cfg", std::string("\"C:\\A.exe\"::P::N::1::0::0::0::0\n\"C:\\B.exe\"::P::N::1::0::0::0::0\n") +
                                    c.line + "\n\"C:\\C.exe\"::P::N::1::0::0::0::0");
        Queue(0, 0);
        Queue(1, 1);
        ASSERT_TRUE(Get_AppsData());
        EXPECT_EQ(2, Used_Apps());
        EXPECT_EQ(0, Used_Groups());
        ASSERT_EQ(1u, msgs.count());
        EXPECT_NE(std::string::npos, msgs.last().text.find(c.reason)) << msgs.last().text;
        Store_AppsData();
        EXPECT_EQ(Disk(std::string("\"C:\\A.exe\"::P::N::1::0::0::0::0\n\"C:\\B.exe\"::P::N::1::0::0::0::0\n") + c.line +
                       "\n\"C:\\C.exe\"::P::N::1::0::0::0::0"),
                  Get("Applications.cfg"));
    }
}

TEST_F(AppsKept, EntriesBeyondTheArraysAreKept)
{
    std::string text;
    for (int i = 0; i < 203; i++) text += (i ? "\n" : "") + std::string("\"C:\\A") + std::to_string(i) + ".exe\"::P::N::1::0::0::0::0";
    Put("Applications.cfg", text);
    for (int i = 0; i < 200; i++) Queue(i, i);
    ASSERT_TRUE(Get_AppsData());
    EXPECT_EQ(200, Used_Apps());
    ASSERT_EQ(1u, msgs.count());
    EXPECT_NE(std::string::npos, msgs.last().text.find("line 201")) << msgs.last().text;
    EXPECT_NE(std::string::npos, msgs.last().text.find("200 entries")) << msgs.last().text;
    Store_AppsData();
    EXPECT_EQ(Disk(text), Get("Applications.cfg"));
}

TEST_F(AppsKept, UpdateModeKeepsWithoutAMessageAndGarbageNeverOverflows)
{
    updateMode = TRUE;
    std::string junk = "\"C:\\A.exe\"::P::N::1::0::0::0::0\n";
    unsigned seed = 99;
    for (int i = 0; i < 6000; i++) {
        seed = seed * 1103515245u + 12345u;
        char c = (char)((seed >> 16) & 0xFF);
        junk += (i % 700 == 699) ? '\n' : (c == '\n' ? ':' : c);
    }
    tk::Write_File(Path("Applications.cfg"), junk);
    Queue(0, 0);
    ASSERT_TRUE(Get_AppsData());
    EXPECT_EQ(0u, msgs.count());
    EXPECT_FALSE(apps[0].free);
    for (int i = 0; i < MAX_APPS; i++) {
        EXPECT_LT(strlen(apps[i].path), sizeof apps[i].path);
        if (!appGroups[i].free) {
            EXPECT_LE(appGroups[i].count, MAX_GROUP_MEMBERS);
        }
    }
}

class AddApps : public AppsFile {
protected:
    /* The entries the applications file is written with. */
    static int Entries_Written()
    {
        APP_NUMBERING n;
        Defrag_AppsArray(&n);
        return n.written;
    }
};

TEST_F(AddApps, OneProcessIsSharedWhenEverythingCompared)
{
    App x = Make_App("C:\\X.exe", "-a", 'N', 0);
    x.showCommand = 6;
    Set_App(0, x);
    App u = Make_App("C:\\U.exe", "", 'U', -1);
    Set_App(1, u);

    ProcessList same = List({ x }, 'N', 0);
    EXPECT_EQ(0, AddTargetApps(&same));
    EXPECT_EQ(0, same.entries[0].appIndex);

    ProcessList otherPriority = List({ x }, 'H', 0);
    EXPECT_EQ(2, AddTargetApps(&otherPriority)) << "another priority is another entry";
    EXPECT_FALSE(apps[2].free);
    EXPECT_EQ('H', apps[2].priority);
    EXPECT_EQ(6, apps[2].showCommand);
    EXPECT_STREQ("-a", apps[2].args);
    ProcessList again = List({ x }, 'H', 0);
    EXPECT_EQ(2, AddTargetApps(&again));

    ProcessList alone = List({ x }, 'N', 1);
    EXPECT_EQ(3, AddTargetApps(&alone)) << "run alone is compared";

    App caseDiffers = x;
    Copy_Field(caseDiffers.args, "-A");
    ProcessList c = List({ caseDiffers }, 'N', 0);
    EXPECT_EQ(4, AddTargetApps(&c)) << "arguments are compared with case";

    App window = x;
    window.showCommand = 0;
    ProcessList w = List({ window }, 'N', 0);
    EXPECT_EQ(5, AddTargetApps(&w)) << "the window mode is compared";

    ProcessList takesOver = List({ u }, 'R', 1);
    EXPECT_EQ(1, AddTargetApps(&takesOver)) << "an entry used only through groups is taken";
    EXPECT_EQ('R', apps[1].priority);
    EXPECT_EQ(1, apps[1].runAlone);
}

TEST_F(AddApps, GroupsMatchInOrderOrInAnyOrderWhenParallel)
{
    App x = Make_App("C:\\X.exe", "", 'N', 0), y = Make_App("C:\\Y.exe", "", 'N', 0), z = Make_App("C:\\Z.exe", "", 'N', 0);
    Set_App(0, x);
    Set_App(1, y);

    ProcessList series = List({ x, z }, 'N', 1);
    int g = AddTargetApps(&series);
    EXPECT_EQ(0, g);
    EXPECT_EQ(0, series.entries[0].appIndex);
    EXPECT_EQ(2, series.entries[1].appIndex) << "the new process takes the next free slot";
    EXPECT_FALSE(apps[2].free);
    EXPECT_EQ('U', apps[2].priority);
    EXPECT_EQ(-1, apps[2].runAlone);
    EXPECT_EQ(2, appGroups[0].count);
    EXPECT_EQ(1, appGroups[0].runAlone);
    EXPECT_FALSE(appGroups[0].parallel);

    ProcessList same = List({ x, z }, 'N', 1);
    EXPECT_EQ(0, AddTargetApps(&same));
    EXPECT_EQ(3, Used_Apps());

    ProcessList reversed = List({ z, x }, 'N', 1);
    EXPECT_EQ(1, AddTargetApps(&reversed)) << "a series group runs in its order";

    ProcessList parallel = List({ x, y, z }, 'H', 0, TRUE);
    EXPECT_EQ(2, AddTargetApps(&parallel));
    ProcessList shuffled = List({ z, x, y }, 'H', 0, TRUE);
    EXPECT_EQ(2, AddTargetApps(&shuffled)) << "a parallel group matches in any order";
    ProcessList otherPriority = List({ z, x, y }, 'N', 0, TRUE);
    EXPECT_EQ(3, AddTargetApps(&otherPriority));
    EXPECT_EQ(3, Used_Apps()) << "no application was added twice";
}

TEST_F(AddApps, NoRoomGivesMinusOneAndChangesNothing)
{
    for (int i = 0; i < MAX_APPS; i++) {
        char path[32];
        Format_Text(path, sizeof path, "C:\\A%d.exe", i);
        Set_App(i, Make_App(path, "", 'N', 0));
        Queue(i, i);
    }
    ProcessList one = List({ Make_App("C:\\New.exe", "", 'N', 0) }, 'N', 0);
    EXPECT_EQ(-1, AddTargetApps(&one));
    ProcessList two = List({ apps[0], Make_App("C:\\New.exe", "", 'N', 0) }, 'N', 0);
    EXPECT_EQ(-1, AddTargetApps(&two));
    EXPECT_EQ(0, Used_Groups());
    /* The edited queue's own application no longer counts, but Cancel in its editor keeps it:
       with every slot taken by what the queues run there is still no slot for another. */
    APPS_EDITOR editor = { 5, 5, FALSE };
    EXPECT_EQ(-1, AddTargetApps(&one, &editor));
    EXPECT_EQ(MAX_APPS, Used_Apps());

    Reset_Configuration();
    Set_App(0, Make_App("C:\\X.exe", "", 'N', 0));
    Set_App(1, Make_App("C:\\Y.exe", "", 'N', 0));
    for (int g = 0; g < MAX_APPGROUPS; g++) {
        Set_Group(g, { 0, 1 }, TRUE, 0, 'I');
        Queue(g, g, TRUE);
    }
    ProcessList grp = List({ apps[0], Make_App("C:\\New.exe", "", 'N', 0) }, 'N', 0);
    EXPECT_EQ(-1, AddTargetApps(&grp));
    EXPECT_EQ(2, Used_Apps()) << "the new process is not left behind";
}

class AddAppsFull : public AddApps {
protected:
    /* 150 queues run an application each and 50 run a group of two of them: 200 entries. Queue
       150 + g runs group g (members g and g + 1), so the applications from 51 on are each run by
       one queue alone. */
    void SetUp() override
    {
        AddApps::SetUp();
        for (int i = 0; i < 150; i++) {
            char path[32];
            Format_Text(path, sizeof path, "C:\\A%d.exe", i);
            Set_App(i, Make_App(path, "", 'N', 0));
            Queue(i, i);
        }
        for (int g = 0; g < 50; g++) {
            Set_Group(g, { g, g + 1 }, FALSE, 0, 'N');
            Queue(150 + g, g, TRUE);
        }
    }
    /* The editor of queue q, its working copy as committed. */
    static APPS_EDITOR Editor(int q) { return APPS_EDITOR{ q, targets[q].processRef, targets[q].usesGroup }; }
};

TEST_F(AddAppsFull, EntriesInUseStayWithinWhatTheFileCanNumber)
{
    ProcessList one = List({ Make_App("C:\\New.exe", "", 'N', 0) }, 'N', 0);
    EXPECT_EQ(-1, AddTargetApps(&one));
    ProcessList existing = List({ apps[7] }, 'N', 0);
    EXPECT_EQ(7, AddTargetApps(&existing)) << "sharing an entry needs no room";

    targetCount = 199;                      /* one group queue deleted */
    EXPECT_EQ(150, AddTargetApps(&one));
}

TEST_F(AddAppsFull, TheEditedQueuesOwnReferenceDoesNotCount)
{
    /* Queue 149 alone runs application 149: changing its program keeps 200 entries in use. */
    ProcessList other = List({ Make_App("C:\\New.exe", "", 'N', 0) }, 'N', 0);
    EXPECT_EQ(-1, AddTargetApps(&other)) << "with every committed queue counted there is no room";
    APPS_EDITOR editor = Editor(149);
    int ref = AddTargetApps(&other, &editor);
    ASSERT_EQ(150, ref) << "the queue's old application no longer counts";
    EXPECT_FALSE(apps[149].free) << "yet it stays: Cancel in the editor keeps it";
    targets[149].processRef = ref;                  /* the editor's OK */
    EXPECT_EQ(200, Entries_Written());

    /* application 0 is also a member of group 0: replacing queue 0's reference frees nothing */
    ProcessList another = List({ Make_App("C:\\Other.exe", "", 'N', 0) }, 'N', 0);
    editor = Editor(0);
    EXPECT_EQ(-1, AddTargetApps(&another, &editor));

    /* queue 199 alone runs group 49: a new group of two applications in use takes its place */
    ProcessList pair = List({ apps[3], apps[5] }, 'N', 0);
    EXPECT_EQ(-1, AddTargetApps(&pair));
    editor = Editor(199);
    int g = AddTargetApps(&pair, &editor);
    ASSERT_EQ(50, g);
    targets[199].processRef = g;
    EXPECT_EQ(200, Entries_Written());

    /* an entry that nothing uses any more needs room like a new one */
    ProcessList left = List({ apps[149] }, 'N', 0);
    EXPECT_EQ(-1, AddTargetApps(&left)) << "it would be entry 201";
    editor = Editor(150);
    EXPECT_EQ(149, AddTargetApps(&left, &editor)) << "in place of group 0, whose members queues 0 and 1 still run";
}

TEST_F(AddApps, ALongSessionOfEditsFreesWhatNothingUsesAnyMore)
{
    /* ten queues; every edit gives one of them new programs, alone or as a group of two; every
       third editor is cancelled, and in every fourth the page is confirmed twice */
    for (int i = 0; i < 10; i++) {
        char path[32];
        Format_Text(path, sizeof path, "C:\\Start%d.exe", i);
        Set_App(i, Make_App(path, "", 'N', 0));
        Queue(i, i);
    }
    int made = 0;
    for (int edit = 0; edit < 600; edit++) {
        SCOPED_TRACE("edit " + std::to_string(edit));
        int q = edit % 10;
        Target work = targets[q];
        for (int ok = 0; ok < (edit % 4 == 3 ? 2 : 1); ok++) {
            char path[32], second[32];
            Format_Text(path, sizeof path, "C:\\P%d.exe", made++);
            Format_Text(second, sizeof second, "C:\\P%d.exe", made++);
            ProcessList l = (edit % 2) ? List({ Make_App(path, "", 'N', 0) }, 'N', 0)
                                       : List({ Make_App(path, "", 'N', 0), Make_App(second, "", 'N', 0) }, 'N', 0);
            APPS_EDITOR editor = { q, work.processRef, work.usesGroup };
            int ref = AddTargetApps(&l, &editor);
            ASSERT_GE(ref, 0) << Used_Apps() << " apps and " << Used_Groups() << " groups in their slots";
            work.processRef = ref;                  /* the page's OK */
            work.usesGroup = l.count > 1;
        }
        if (edit % 3 != 2) targets[q] = work;       /* the editor's OK */
        for (int i = 0; i < 10; i++) {
            const Target &t = targets[i];
            ASSERT_FALSE(t.usesGroup ? appGroups[t.processRef].free : apps[t.processRef].free) << "queue " << i;
            for (int k = 0; t.usesGroup && k < appGroups[t.processRef].count; k++)
                ASSERT_FALSE(apps[appGroups[t.processRef].members[k]].free) << "queue " << i << " member " << k;
        }
    }
    EXPECT_LE(Entries_Written(), 30);
}

TEST_F(AddApps, FreeingKeepsWhatTheQueuesTheEditorAndTheListStillName)
{
    /* Queue 0 runs application 0. Its editor is open: an earlier OK of the Processes page made
       application 1, which the working copy names. Every other slot of both arrays is taken by
       entries that nothing uses any more; application 2 is one of them. */
    HICON shared = CopyIcon(LoadIconA(NULL, (LPCSTR)IDI_APPLICATION));
    HICON own = CopyIcon(LoadIconA(NULL, (LPCSTR)IDI_APPLICATION));
    HICON program = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_PROGRAM));
    for (int i = 0; i < MAX_APPS; i++) {
        char path[32];
        Format_Text(path, sizeof path, "C:\\A%d.exe", i);
        Set_App(i, Make_App(path, "", 'N', 0));
        apps[i].icon = program;
    }
    apps[0].icon = apps[3].icon = shared;
    apps[4].icon = own;
    for (int g = 0; g < MAX_APPGROUPS; g++) {
        Set_Group(g, { 5, 6 }, FALSE, 0, 'N');
        appGroups[g].free = FALSE;
    }
    Queue(0, 0);
    APPS_EDITOR editor = { 0, 1, FALSE };
    const App one = apps[1], two = apps[2];

    /* a group of application 2's program and a new one: 2 is found, the new one needs a slot */
    ProcessList l = List({ two, Make_App("C:\\New.exe", "", 'N', 0) }, 'N', 0);
    int g = AddTargetApps(&l, &editor);
    ASSERT_EQ(0, g) << "the first group slot freed";
    EXPECT_EQ(2, appGroups[0].members[0]) << "the entry the list found stays";
    EXPECT_EQ(3, appGroups[0].members[1]) << "the new one takes the first slot freed";
    EXPECT_STREQ("C:\\New.exe", apps[3].path);
    EXPECT_EQ(0, memcmp(&one, &apps[1], sizeof one)) << "what the working copy names stays";
    EXPECT_EQ(0, memcmp(&two, &apps[2], sizeof two));
    EXPECT_FALSE(apps[0].free) << "what the queue runs stays";
    EXPECT_EQ(4, Used_Apps());
    EXPECT_EQ(1, Used_Groups());

    ICONINFO info;
    EXPECT_FALSE(GetIconInfo(own, &info)) << "a freed application's own icon is destroyed";
    ASSERT_TRUE(GetIconInfo(shared, &info)) << "an icon another application holds lives on";
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    ASSERT_TRUE(GetIconInfo(program, &info)) << "the program's own icon is never destroyed";
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(shared);
}

TEST_F(AddApps, WithRoomLeftNothingIsFreedAndTheFileKeepsItsOrder)
{
    /* application 1 was left behind by an earlier edit */
    Set_App(0, Make_App("C:\\A.exe", "", 'N', 0));
    Set_App(1, Make_App("C:\\Left.exe", "", 'N', 0));
    Set_App(2, Make_App("C:\\B.exe", "", 'N', 0));
    Queue(0, 0);
    Queue(1, 2);
    Queue(2, NO_PROCESSES);
    targets[2].noProcesses = FALSE;
    ProcessList l = List({ Make_App("C:\\C.exe", "", 'N', 0) }, 'N', 0);
    APPS_EDITOR editor = { 2, NO_PROCESSES, FALSE };
    targets[2].processRef = AddTargetApps(&l, &editor);
    EXPECT_EQ(3, targets[2].processRef);
    EXPECT_FALSE(apps[1].free);
    ASSERT_TRUE(Store_AppsData());
    EXPECT_EQ(Disk("\"C:\\A.exe\"::P::N::1::0::0::0::0\n"
                   "\"C:\\B.exe\"::P::N::1::0::0::0::0\n"
                   "\"C:\\C.exe\"::P::N::1::0::0::0::0"),
              Get("Applications.cfg"));
}

TEST_F(AddApps, FailedStoreTellsTheOperator)
{
    Set_ReplaceRetryTime(0);
    CreateDirectoryA(Path("Applications.cfg").c_str(), nullptr);
    Store_AppsData();
    EXPECT_EQ(1, storeFailures);
    ASSERT_EQ(1u, msgs.count());
    EXPECT_EQ(MB_ICONSTOP, tk::Icon_Of(msgs.last().flags));
    EXPECT_EQ(0u, msgs.last().text.find("Could not open the application data file for writing. Data will not be "
                                        "saved.\r\n\"" + Path("Applications.cfg") + "\"\r\n\r\n"));
}

} // namespace
