/* The Processes page: the process list without a window (loading, editing, the matching against
   the shared applications on OK), and the real page driven in-process. */
#include "support/testkit.h"
#include "support/dlgkit.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/text.h"
#include "config/appsfile.h"
#include "config/model.h"
#include "queueedit/paramfile.h"
#include "queueedit/processes.h"
#include "queueedit/processlist.h"
#include "resources/resource.h"
#include <shellapi.h>
#include <sstream>

namespace {

const char *const k_Programs[] = { "Impose.exe", "Plate Rip.exe", "Preflight.exe", "Notify.exe", "Archive.exe" };

class ProcessTest : public ::testing::Test {
protected:
    tk::TempHome home;
    tk::MsgRecorder boxes;

    void SetUp() override
    {
        dk::Init_CommonControls();
        Reset_Configuration();
        Reset_AppState();
        Reset_ParamFile();
        Copy_Field(homePathBuffer, home.home().c_str());
        homeDir = homePathBuffer;
        tk::Make_Dirs(home / "Apps");
        for (const char *name : k_Programs)
            ASSERT_TRUE(CopyFileA(tk::Build_Path("DemoApp.exe").c_str(), Prog(name).c_str(), FALSE)) << name;
        tk::Write_File(home / "CommandLine.cfg", "-copies 2,-duplex\n-verbose\n");
    }
    void TearDown() override
    {
        Reset_ParamFile();
        Reset_Configuration();
    }

    std::string Prog(const char *name) const { return home / ("Apps\\" + std::string(name)); }
    std::string Prog(int i) const { return Prog(k_Programs[i]); }

    App Make_App(int prog, const char *args, char priority = 'N', int runAlone = 0) const
    {
        App a;
        memset(&a, 0, sizeof a);
        Copy_Field(a.path, Prog(prog).c_str());
        Copy_Field(a.args, args);
        a.priority = priority;
        a.runAlone = runAlone;
        a.compatV3 = 1;
        a.icon = Default_AppIcon();
        return a;
    }
    static void Set_App(int slot, const App &a)
    {
        apps[slot] = a;
        apps[slot].free = FALSE;
    }
    static void Set_Group(int slot, std::initializer_list<int> members, BOOL parallel, int runAlone, char priority)
    {
        AppGroup &g = appGroups[slot];
        memset(&g, 0, sizeof g);
        for (int m : members) g.members[g.count++] = m;
        g.parallel = parallel;
        g.runAlone = runAlone;
        g.priority = priority;
    }
    /* output queue i running ref (an App, or an AppGroup with group) */
    static Target &Queue(int i, int ref, BOOL group = FALSE)
    {
        if (targetCount <= i) targetCount = i + 1;
        Target &t = targets[i];
        Format_Text(t.name, sizeof t.name, "Queue %d", i + 1);
        Format_Text(t.hotDir, sizeof t.hotDir, "C:\\Hot\\Q%d", i + 1);
        t.processRef = ref;
        t.usesGroup = group;
        t.noProcesses = (ref == NO_PROCESSES);
        t.priority = t.copies = t.countDown = t.jobsAtATime = t.doneFileLimit = 1;
        t.loadIndex = -1;
        return t;
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
    /* "Plate Rip.exe" for a path in this home */
    std::string Short(const char *path) const
    {
        std::string p = path, apps = home / "Apps\\";
        if (p.size() > 1 && p.front() == '"' && p.back() == '"') p = p.substr(1, p.size() - 2);
        return p.compare(0, apps.size(), apps) == 0 ? p.substr(apps.size()) : p;
    }
    /* The list in one line: "2 processes, at 1: Impose.exe -a | Notify.exe" */
    std::string Describe(const PROCESS_EDIT &pe) const
    {
        std::ostringstream out;
        out << pe.list.count << " processes, at " << pe.list.current << ":";
        for (int k = 0; k < pe.list.count; k++) {
            const ProcessEntry &e = pe.list.entries[k];
            out << (k ? " | " : " ") << Short(e.path) << (e.args[0] ? " " : "") << e.args;
        }
        return out.str();
    }
    INT_PTR Open(dk::Script &s, Target *work)
    {
        return s.Run([&] {
            return DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_PROCESSES), NULL, QueueProcesses_Dlg,
                                   (LPARAM)work);
        });
    }
};

} // namespace

/* ---- command texts ---- */

struct SplitCase { const char *name, *text, *path, *args; };

TEST(Split_CommandText, TakesThePathByQuotesThenExeThenBlank)
{
    const SplitCase cases[] = {
        { "quoted path",                 "\"C:\\My Tools\\run.exe\" -x",     "C:\\My Tools\\run.exe",      "-x" },
        { ".exe then arguments",         "C:\\Tools\\run.exe -x -y",         "C:\\Tools\\run.exe",         "-x -y" },
        { ".exe in any case, blanks",    "C:\\Program Files\\RUN.EXE  -a  ", "C:\\Program Files\\RUN.EXE", "-a" },
        { "no .exe: up to a blank",      "C:\\Tools\\run.bat -q",            "C:\\Tools\\run.bat",         "-q" },
        { "leading white space",         "  \t C:\\a.exe",                   "C:\\a.exe",                  "" },
        { "quote never closed",          "\"C:\\a b.exe -x",                 "C:\\a b.exe -x",             "" },
        { "the first .exe ends the path", "C:\\x.exe.d\\y.exe -z",           "C:\\x.exe",                  ".d\\y.exe -z" },
        { "arguments right after quote", "\"C:\\a.exe\"-v",                  "C:\\a.exe",                  "-v" },
    };
    for (const SplitCase &c : cases) {
        SCOPED_TRACE(c.name);
        char path[TEXT259_LEN], args[TEXT259_LEN];
        ASSERT_EQ(SPLIT_OK, Split_CommandText(c.text, path, sizeof path, args, sizeof args));
        EXPECT_STREQ(c.path, path);
        EXPECT_STREQ(c.args, args);
    }
    /* 259 characters fill each field; one more is refused, never cut */
    char path[TEXT259_LEN], args[TEXT259_LEN];
    const std::string p259 = "C:\\" + std::string(252, 'p') + ".exe", a259(259, 'a');
    ASSERT_EQ(259u, p259.size());
    EXPECT_EQ(SPLIT_OK, Split_CommandText((p259 + " " + a259).c_str(), path, sizeof path, args, sizeof args));
    EXPECT_EQ(p259, path);
    EXPECT_EQ(a259, args);
    EXPECT_EQ(SPLIT_PATH_LONG, Split_CommandText(("C:\\x" + p259).c_str(), path, sizeof path, args, sizeof args));
    EXPECT_EQ(SPLIT_ARGS_LONG, Split_CommandText((p259 + " " + a259 + "b").c_str(), path, sizeof path, args, sizeof args));
}

struct FormatCase { const char *name, *path, *args, *text; };

TEST(Format_CommandText, ShowsWhatSplitsBackIntoTheSameEntry)
{
    const FormatCase cases[] = {
        { "plain",                         "C:\\Tools\\run.exe",   "-x -y", "C:\\Tools\\run.exe -x -y" },
        { "a blank: in quotes",            "C:\\My Tools\\run.exe", "",     "\"C:\\My Tools\\run.exe\"" },
        { ".exe inside: in quotes",        "C:\\x.exe.d\\run.bat", "-q",    "\"C:\\x.exe.d\\run.bat\" -q" },
        { "arguments found in the path",   "C:\\run\\run.exe",     "run",   "C:\\run\\run.exe run" },
        { "chosen: already in quotes",     "\"C:\\a.exe\"",        "",      "\"C:\\a.exe\"" },
        { "no .exe",                       "C:\\bin\\tool",        "-a",    "C:\\bin\\tool -a" },
        { "no path",                       "",                     "",      "" },
    };
    for (const FormatCase &c : cases) {
        SCOPED_TRACE(c.name);
        ProcessEntry e;
        Clear_ProcessEntry(&e, -1);
        Copy_Field(e.path, c.path);
        Copy_Field(e.args, c.args);
        char text[PROCESS_TEXT_LEN], path[TEXT259_LEN], args[TEXT259_LEN];
        ASSERT_TRUE(Format_CommandText(&e, text, sizeof text));
        EXPECT_STREQ(c.text, text);
        if (c.path[0] == '\0') continue;
        ASSERT_EQ(SPLIT_OK, Split_CommandText(text, path, sizeof path, args, sizeof args));
        std::string bare = c.path;
        if (bare[0] == '"') bare = bare.substr(1, bare.size() - 2);
        EXPECT_EQ(bare, path);
        EXPECT_STREQ(c.args, args);
    }
    /* the longest entry, a path with a blank and both fields full, still fits the text */
    ProcessEntry e;
    Clear_ProcessEntry(&e, -1);
    Copy_Field(e.path, ("C:\\A B\\" + std::string(248, 'p') + ".exe").c_str());
    Copy_Field(e.args, std::string(259, 'a').c_str());
    char text[PROCESS_TEXT_LEN];
    EXPECT_TRUE(Format_CommandText(&e, text, sizeof text));
    EXPECT_EQ((size_t)PROCESS_TEXT_LEN - 1, strlen(text));
}

/* ---- picking parameters ---- */

struct PickCase { const char *name, *text; std::vector<int> selected; int caret; const char *result; };

TEST(Pick_Parameters, AddsTheSelectedOnesAtTheCaretOrAtTheEnd)
{
    Reset_ParamFile();
    Copy_Field(paramTable[0], "-copies 2");
    Copy_Field(paramTable[1], "-duplex");
    Copy_Field(paramTable[2], "-verbose");
    paramCount = 3;
    const PickCase cases[] = {
        { "nothing selected",            "C:\\a.exe -x",    {},     -1, "C:\\a.exe -x" },
        { "appended after a blank",      "C:\\a.exe -x",    { 0 },  -1, "C:\\a.exe -x -copies 2" },
        { "in slot order",               "C:\\a.exe",       { 2, 0 }, -1, "C:\\a.exe -copies 2 -verbose" },
        { "one already there",           "C:\\a.exe -duplex", { 1, 2 }, -1, "C:\\a.exe -duplex -verbose" },
        { "an empty text takes none",    "",                { 0 },  -1, "" },
        { "blanks around go",            "  C:\\a.exe  ",   { 1 },  -1, "C:\\a.exe -duplex" },
        { "caret among the arguments",   "C:\\a.exe -x -y", { 1 },  12, "C:\\a.exe -x -duplex -y" },
        { "two at the caret",            "C:\\a.exe -x -y", { 0, 1 }, 12, "C:\\a.exe -x -copies 2 -duplex -y" },
        { "caret right after the path",  "C:\\a.exe -x",    { 1 },  8,  "C:\\a.exe -duplex -x" },
        { "caret in the path: the end",  "C:\\a.exe -x",    { 1 },  3,  "C:\\a.exe -x -duplex" },
        { "caret at the end",            "C:\\a.exe -x",    { 1 },  11, "C:\\a.exe -x -duplex" },
        { "caret counts leading blanks", "  C:\\a.exe -x -y", { 1 }, 14, "C:\\a.exe -x -duplex -y" },
        { "caret inside a quoted path",  "\"C:\\a b.exe\" -x", { 1 }, 5, "\"C:\\a b.exe\" -x -duplex" },
    };
    for (const PickCase &c : cases) {
        SCOPED_TRACE(c.name);
        BOOL selected[PARAM_SLOTS] = {};
        for (int i : c.selected) selected[i] = TRUE;
        char text[PROCESS_TEXT_LEN];
        Copy_Field(text, c.text);
        tk::MsgRecorder boxes;
        EXPECT_TRUE(Pick_Parameters(text, sizeof text, selected, c.caret));
        EXPECT_STREQ(c.result, text);
        EXPECT_EQ(0u, boxes.count());
    }
    /* the arguments hold 259 characters: a parameter that would pass them is refused, not cut */
    BOOL selected[PARAM_SLOTS] = { TRUE };
    const std::string fits = "C:\\a.exe " + std::string(249, 'a');     /* + " -copies 2" = 259 */
    char text[PROCESS_TEXT_LEN];
    Copy_Field(text, fits.c_str());
    tk::MsgRecorder boxes;
    EXPECT_TRUE(Pick_Parameters(text, sizeof text, selected, -1));
    EXPECT_EQ(fits + " -copies 2", text);
    const std::string full = "C:\\a.exe " + std::string(250, 'a');
    Copy_Field(text, full.c_str());
    EXPECT_FALSE(Pick_Parameters(text, sizeof text, selected, -1));
    EXPECT_EQ(full, text) << "the text stays as it was";
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("The parameter \"-copies 2\" does not fit: the arguments of a process hold at most 259 characters.",
              boxes.last().text);
    EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
    EXPECT_EQ(1u, boxes.beeps.size());
    Reset_ParamFile();
}

/* ---- which controls are usable ---- */

struct EnableCase {
    const char *name;
    int count, current;
    BOOL noProcesses, monitor;
    int kinds;                 /* 1 compatible, 2 resident, 4 not written for it */
    const char *expected;      /* the usable ones, in the order of the fields */
};

static std::string Enabled_Names(const PROCESS_ENABLES &en)
{
    std::string out;
    auto add = [&](BOOL on, const char *name) { if (on) out += std::string(out.empty() ? "" : " ") + name; };
    add(en.noProcesses, "none"); add(en.monitor, "monitor"); add(en.holdAll, "hold"); add(en.process, "process");
    add(en.insertAdd, "add"); add(en.remove, "remove"); add(en.next, "next"); add(en.previous, "previous");
    add(en.radios, "radios"); add(en.kinds[KIND_COMPAT], "compat"); add(en.kinds[KIND_RESIDENT], "resident");
    add(en.kinds[KIND_NON_NATIVE], "foreign");
    return out;
}

TEST(Get_ProcessEnables, FollowTheListAndTheQueueFlags)
{
    const EnableCase cases[] = {
        { "a queue without processes yet", 0, 0, FALSE, FALSE, 1, "none monitor process add compat" },
        { "one process",                   1, 0, FALSE, FALSE, 1, "none monitor process add compat" },
        { "the new one after the first",   1, 1, FALSE, FALSE, 1, "none monitor process add remove previous radios compat" },
        { "first of three",                3, 0, FALSE, FALSE, 1, "none monitor process add remove next radios compat" },
        { "four: no more",                 4, 1, FALSE, FALSE, 1, "none monitor process remove next previous radios compat" },
        { "the fourth shown: no more",     3, 3, FALSE, FALSE, 1, "none monitor process remove previous radios compat" },
        { "no kind set",                   2, 0, FALSE, FALSE, 0, "none monitor process add remove next radios compat resident foreign" },
        { "resident excludes the others",  2, 0, FALSE, FALSE, 2, "none monitor process add remove next radios resident" },
        { "not written for it",            2, 0, FALSE, FALSE, 4, "none monitor process add remove next radios foreign" },
        { "two kinds read: both can go",   2, 0, FALSE, FALSE, 3, "none monitor process add remove next radios compat resident" },
        { "no processes",                  2, 1, TRUE,  FALSE, 1, "none hold" },
        { "monitor processes",             2, 1, FALSE, TRUE,  1, "monitor process add remove previous radios compat" },
    };
    for (const EnableCase &c : cases) {
        SCOPED_TRACE(c.name);
        PROCESS_EDIT pe;
        memset(&pe, 0, sizeof pe);
        pe.list.count = c.count;
        pe.list.current = c.current;
        ProcessEntry &e = pe.list.entries[c.current];
        e.compatV3 = (c.kinds & 1) != 0;
        e.resident = (c.kinds & 2) != 0;
        e.nonNative = (c.kinds & 4) != 0;
        Target t;
        memset(&t, 0, sizeof t);
        t.noProcesses = c.noProcesses;
        t.monitorProcesses = c.monitor;
        PROCESS_ENABLES en;
        Get_ProcessEnables(&pe, &t, &en);
        EXPECT_EQ(c.expected, Enabled_Names(en));
    }
    Target both;
    memset(&both, 0, sizeof both);
    both.noProcesses = both.monitorProcesses = TRUE;
    Settle_ProcessFlags(&both);
    EXPECT_FALSE(both.noProcesses || both.monitorProcesses) << "both set come up both cleared";
}

/* ---- loading and editing the list ---- */

class ProcessList_ : public ProcessTest {};

TEST_F(ProcessList_, LoadsFromTheQueuesAppOrGroup)
{
    App a0 = Make_App(0, "-sheet A1", 'H', 1);
    a0.showCommand = 6;
    a0.resident = TRUE;
    a0.compatV3 = 0;
    a0.reservedFlag = TRUE;
    Set_App(0, a0);
    Set_App(1, Make_App(1, "", 'U', -1));
    Set_App(2, Make_App(2, "-strict", 'U', -1));
    Set_App(4, Make_App(3, "", 'Z', 0));              /* a priority no table knows */
    Set_Group(0, { 1, 2 }, FALSE, 0, 'I');
    appGroups[0].free = FALSE;
    Set_Group(1, { 1, 3, 2 }, TRUE, 1, 'R');          /* member 3 is not there */
    appGroups[1].free = FALSE;
    struct LoadCase { const char *name; int ref; BOOL group; const char *list; int groupRef; char priority; int alone, parallel; };
    const LoadCase cases[] = {
        { "no processes",        NO_PROCESSES, FALSE, "0 processes, at 0:",                      NO_PROCESSES, 'N', 0, 0 },
        { "one application",     0,   FALSE, "1 processes, at 0: Impose.exe -sheet A1",           -1, 'H', 1, 0 },
        { "a series group",      0,   TRUE,  "2 processes, at 0: Plate Rip.exe | Preflight.exe -strict", 0, 'I', 0, 0 },
        { "a missing member",    1,   TRUE,  "2 processes, at 0: Plate Rip.exe | Preflight.exe -strict", -1, 'R', 1, 1 },
        { "an App not there",    3,   FALSE, "0 processes, at 0:",                               -1, 'N', 0, 0 },
        { "a group not there",   2,   TRUE,  "0 processes, at 0:",                               -1, 'N', 0, 0 },
        { "beyond the array",    250, FALSE, "0 processes, at 0:",                               -1, 'N', 0, 0 },
        { "unknown priority",    4,   FALSE, "1 processes, at 0: Notify.exe",                    -1, 'N', 0, 0 },
    };
    for (const LoadCase &c : cases) {
        SCOPED_TRACE(c.name);
        Target t = Queue(0, c.ref, c.group);
        PROCESS_EDIT pe;
        Load_ProcessList(&pe, &t);
        EXPECT_EQ(c.list, Describe(pe));
        EXPECT_EQ(c.groupRef, pe.list.groupRef);
        EXPECT_EQ(c.priority, pe.list.priority);
        EXPECT_EQ(c.alone, pe.list.runAlone);
        EXPECT_EQ(c.parallel, pe.list.parallel);
    }
    /* an entry takes every field of its App, and shares its icon */
    Target t = Queue(0, 0);
    PROCESS_EDIT pe;
    Load_ProcessList(&pe, &t);
    const ProcessEntry &e = pe.list.entries[0];
    EXPECT_EQ(0, e.appIndex);
    EXPECT_EQ(6, e.showCommand);
    EXPECT_TRUE(e.resident);
    EXPECT_EQ(0, e.compatV3);
    EXPECT_TRUE(e.reservedFlag);
    EXPECT_EQ(apps[0].icon, e.icon);
    /* a new queue: the empty entry is compatible with old messages and hidden */
    t = Queue(0, NO_PROCESSES);
    Load_ProcessList(&pe, &t);
    EXPECT_EQ(NO_PROCESSES, pe.list.entries[0].appIndex);
    EXPECT_EQ(1, pe.list.entries[0].compatV3);
    EXPECT_EQ(0, pe.list.entries[0].showCommand);
}

/* One step of the operator: W write, P previous, N next, A add, I insert, R remove, B browse.
   prog: the program of the text (-1 an empty text, -2 the raw text in args). */
struct Step { char op; int prog; const char *args; };
struct EditCase {
    const char *name;
    bool startWithTwo;            /* Impose.exe and Plate Rip.exe, else none */
    std::vector<Step> steps;
    const char *list;
    std::vector<std::string> told;
};

TEST_F(ProcessList_, EditingMovesAddsInsertsAndRemoves)
{
    const EditCase cases[] = {
        { "a path on an empty list", false, { { 'W', 0, "" } }, "1 processes, at 0: Impose.exe", {} },
        { "arguments are split off", false, { { 'W', 0, "-x -y" } }, "1 processes, at 0: Impose.exe -x -y", {} },
        { "Next moves on", true, { { 'N', 0, "" } }, "2 processes, at 1: Impose.exe | Plate Rip.exe", {} },
        { "Next past the last does not move", true, { { 'N', 0, "" }, { 'N', 1, "" } },
          "2 processes, at 1: Impose.exe | Plate Rip.exe", {} },
        { "emptying the second of two and Next removes it", true, { { 'N', 0, "" }, { 'N', -1, "" } },
          "1 processes, at 1: Impose.exe", {} },
        { "Remove on the second of two shows the first", true, { { 'N', 0, "" }, { 'R', 0, "" } },
          "1 processes, at 0: Impose.exe", {} },
        { "Remove the first of two", true, { { 'R', 0, "" } }, "1 processes, at 0: Plate Rip.exe", {} },
        { "Add, then a path", true, { { 'A', 0, "" }, { 'W', 2, "" } },
          "3 processes, at 2: Impose.exe | Plate Rip.exe | Preflight.exe", {} },
        { "Add, nothing typed, Previous", true, { { 'A', 0, "" }, { 'P', -1, "" } },
          "2 processes, at 1: Impose.exe | Plate Rip.exe", {} },
        { "Insert before the first", true, { { 'I', 0, "" }, { 'W', 3, "-mail" } },
          "3 processes, at 0: Notify.exe -mail | Impose.exe | Plate Rip.exe", {} },
        { "an inserted entry left empty goes", true, { { 'I', 0, "" }, { 'W', -1, "" } },
          "2 processes, at 0: Impose.exe | Plate Rip.exe", {} },
        { "four at most", true, { { 'A', 0, "" }, { 'W', 2, "" }, { 'A', 2, "" }, { 'W', 3, "" }, { 'A', 3, "" } },
          "4 processes, at 3: Impose.exe | Plate Rip.exe | Preflight.exe | Notify.exe", {} },
        { "a program that is not there", true, { { 'N', -2, "C:\\nowhere\\run.exe -x" } },
          "2 processes, at 0: Impose.exe | Plate Rip.exe", { "String does not contain a valid application path" } },
        { "a path of three characters", false, { { 'W', -2, "a.b" } },
          "0 processes, at 0:", { "String does not contain a valid application path" } },
        { "a chosen program", true, { { 'A', 0, "" }, { 'B', 4, "" } },
          "3 processes, at 2: Impose.exe | Plate Rip.exe | Archive.exe", {} },
        { "arguments past their field", false, { { 'W', -2, "C:\\a.exe @260" } }, "0 processes, at 0:",
          { "The arguments are too long: they hold at most 259 characters." } },
    };
    Set_App(0, Make_App(0, "", 'U', -1));
    Set_App(1, Make_App(1, "", 'U', -1));
    Set_Group(0, { 0, 1 }, FALSE, 0, 'N');
    appGroups[0].free = FALSE;
    for (const EditCase &c : cases) {
        SCOPED_TRACE(c.name);
        tk::MsgRecorder told;
        Target t = Queue(0, c.startWithTwo ? 0 : NO_PROCESSES, c.startWithTwo);
        PROCESS_EDIT pe;
        Load_ProcessList(&pe, &t);
        for (const Step &st : c.steps) {
            std::string text;
            if (st.prog >= 0) text = "\"" + Prog(st.prog) + "\"" + (st.args[0] ? " " : "") + st.args;
            else if (st.prog == -2) text = st.args;
            size_t at = text.find("@260");
            if (at != std::string::npos) text.replace(at, 4, std::string(260, 'a'));
            switch (st.op) {
            case 'W': Write_ProcessText(&pe, text.c_str(), FALSE); break;
            case 'P': Process_Previous(&pe, text.c_str()); break;
            case 'N': Process_Next(&pe, text.c_str()); break;
            case 'A': Process_Add(&pe, text.c_str()); break;
            case 'I': Process_Insert(&pe, text.c_str()); break;
            case 'R': Process_Remove(&pe); break;
            case 'B': Process_ChooseProgram(&pe, Prog(st.prog).c_str()); break;
            }
        }
        EXPECT_EQ(c.list, Describe(pe));
        std::vector<std::string> texts;
        for (const tk::Box &b : told.boxes) texts.push_back(b.text);
        EXPECT_EQ(c.told, texts);
        EXPECT_EQ(c.told.size(), told.beeps.size()) << "each refusal beeps";
        if (!c.told.empty()) {
            EXPECT_TRUE(pe.invalid);
            EXPECT_TRUE(pe.focusText);
            EXPECT_EQ(nullptr, pe.list.entries[pe.list.current].icon) << "the refused entry has no valid program";
        }
        for (int k = 0; k < pe.list.count; k++) {
            if (!c.told.empty() && k == pe.list.current) continue;
            EXPECT_NE(nullptr, pe.list.entries[k].icon) << k;
        }
        Release_ProcessIcons(&pe);
    }
}

TEST_F(ProcessList_, AWrittenEntryIsNewAndGetsItsProgramsIcon)
{
    Set_App(0, Make_App(0, "-a", 'N', 0));
    Target t = Queue(0, 0);
    PROCESS_EDIT pe;
    Load_ProcessList(&pe, &t);
    ASSERT_TRUE(Write_ProcessText(&pe, Prog(0).c_str(), FALSE));
    const ProcessEntry &e = pe.list.entries[0];
    EXPECT_EQ(-1, e.appIndex);
    EXPECT_STREQ("", e.args);
    ASSERT_NE(nullptr, e.icon);
    EXPECT_NE(Default_AppIcon(), e.icon) << "the program's own icon, also when arguments follow";
    EXPECT_EQ(1, pe.ownedCount);
    /* a chooser's program is kept in double quotes and shown as chosen */
    ASSERT_TRUE(Process_ChooseProgram(&pe, Prog(1).c_str()));
    EXPECT_EQ("\"" + Prog(1) + "\"", e.path);
    EXPECT_EQ(1, pe.ownedCount) << "the replaced icon was destroyed";
    /* a file without icons gets the default icon */
    tk::Write_File(home / "Apps\\run.bat", "@echo off\r\n");
    ASSERT_TRUE(Write_ProcessText(&pe, (home / "Apps\\run.bat -q").c_str(), FALSE));
    EXPECT_EQ(Default_AppIcon(), e.icon);
    EXPECT_EQ(0, pe.ownedCount);
    Release_ProcessIcons(&pe);
    /* the settings of the whole list and of the shown process */
    Load_ProcessList(&pe, &t);
    Toggle_ProcessRunAlone(&pe);
    EXPECT_TRUE(pe.list.runAlone);
    EXPECT_EQ(-1, pe.list.entries[0].appIndex) << "a single App changes with the list's settings";
    Set_ProcessPriority(&pe, 1);
    EXPECT_EQ('H', pe.list.priority);
    Set_ProcessShowMode(&pe, 1);
    EXPECT_EQ(6, pe.list.entries[0].showCommand);
    Toggle_ProcessKind(&pe, KIND_COMPAT);
    Toggle_ProcessKind(&pe, KIND_RESIDENT);
    EXPECT_EQ(0, pe.list.entries[0].compatV3);
    EXPECT_TRUE(pe.list.entries[0].resident);
    Set_ProcessParallel(&pe, TRUE);
    EXPECT_EQ(IDI_PROGRAM, Process_ListIconId(&pe, FALSE));
    pe.list.count = 2;
    EXPECT_EQ(IDI_PARALLEL, Process_ListIconId(&pe, FALSE));
    Set_ProcessParallel(&pe, FALSE);
    EXPECT_EQ(IDI_SERIES, Process_ListIconId(&pe, FALSE));
    pe.list.count = 0;
    EXPECT_EQ(IDI_PROCESSES, Process_ListIconId(&pe, FALSE));
    EXPECT_EQ(IDI_NO_PROCESSES, Process_ListIconId(&pe, TRUE));
}

/* ---- the matching on OK ---- */

class Matching : public ProcessTest {
protected:
    /* the page's OK on a list: the shown text written, then matched */
    BOOL Ok(PROCESS_EDIT &pe, Target &copy)
    {
        char text[PROCESS_TEXT_LEN];
        Format_CommandText(&pe.list.entries[pe.list.current], text, sizeof text);
        if (!Write_ProcessText(&pe, text, FALSE)) return FALSE;
        BOOL ok = Commit_ProcessList(&pe, &copy);
        Release_ProcessIcons(&pe);
        return ok;
    }
};

TEST_F(Matching, AnExistingGroupIsReusedAndAChangedOneMadeNew)
{
    Set_App(0, Make_App(0, "-sheet A1", 'U', -1));
    Set_App(1, Make_App(1, "", 'U', -1));
    Set_Group(0, { 0, 1 }, FALSE, 0, 'N');
    appGroups[0].free = FALSE;
    Queue(0, 0, TRUE);
    Target copy = targets[0];
    PROCESS_EDIT pe;
    Load_ProcessList(&pe, &copy);
    ASSERT_TRUE(Ok(pe, copy)) << (boxes.count() ? boxes.last().text : "");
    EXPECT_EQ(0, copy.processRef);
    EXPECT_TRUE(copy.usesGroup);
    EXPECT_EQ(2, Used_Apps());
    EXPECT_EQ(1, Used_Groups());
    EXPECT_EQ(0u, boxes.count());

    /* other arguments for the second: a new App, used through a new group */
    Load_ProcessList(&pe, &copy);
    ASSERT_TRUE(Process_Next(&pe, ("\"" + Prog(0) + "\" -sheet A1").c_str()));
    ASSERT_TRUE(Write_ProcessText(&pe, ("\"" + Prog(1) + "\" -res 1200").c_str(), FALSE));
    ASSERT_TRUE(Commit_ProcessList(&pe, &copy));
    Release_ProcessIcons(&pe);
    EXPECT_EQ(1, copy.processRef);
    EXPECT_TRUE(copy.usesGroup);
    EXPECT_EQ(3, Used_Apps());
    EXPECT_EQ(0, appGroups[1].members[0]);
    EXPECT_EQ(2, appGroups[1].members[1]);
    EXPECT_STREQ("-res 1200", apps[2].args);
    EXPECT_EQ('U', apps[2].priority) << "a member's own settings come from its group";
    EXPECT_NE(Default_AppIcon(), apps[2].icon) << "the new App took the icon the page extracted";
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(apps[2].icon, &info)) << "and it is still a live icon";
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    /* a group-wide setting alone makes another group of the same members */
    Load_ProcessList(&pe, &copy);
    Set_ProcessParallel(&pe, TRUE);
    ASSERT_TRUE(Ok(pe, copy));
    EXPECT_EQ(2, copy.processRef);
    EXPECT_EQ(3, Used_Apps());
    EXPECT_EQ(3, Used_Groups());
    DestroyIcon(apps[2].icon);
}

TEST_F(Matching, MembersInAnotherOrderMatchAParallelGroupOnly)
{
    for (int i = 0; i < 3; i++) Set_App(i, Make_App(i, "", 'U', -1));
    Set_Group(0, { 0, 1, 2 }, TRUE, 0, 'N');
    Set_Group(1, { 0, 1, 2 }, FALSE, 0, 'N');
    appGroups[0].free = appGroups[1].free = FALSE;
    for (BOOL parallel : { TRUE, FALSE }) {
        SCOPED_TRACE(parallel ? "parallel" : "series");
        Target copy = Queue(0, parallel ? 0 : 1, TRUE);
        PROCESS_EDIT pe;
        Load_ProcessList(&pe, &copy);
        /* the last one moved to the front: removed, then inserted before the first */
        pe.list.current = 2;
        Process_Remove(&pe);
        pe.list.current = 0;
        ASSERT_TRUE(Process_Insert(&pe, ("\"" + Prog(0) + "\"").c_str()));
        ASSERT_TRUE(Write_ProcessText(&pe, ("\"" + Prog(2) + "\"").c_str(), FALSE));
        ASSERT_TRUE(Commit_ProcessList(&pe, &copy));
        Release_ProcessIcons(&pe);
        EXPECT_EQ(parallel ? 0 : 2, copy.processRef);
        EXPECT_EQ(3, Used_Apps()) << "the members are the same applications";
    }
}

TEST_F(Matching, ASingleApplicationIsSharedByTwoQueues)
{
    Set_App(0, Make_App(0, "-a", 'N', 0));
    Queue(0, 0);
    Target second = Queue(1, NO_PROCESSES);
    second.noProcesses = FALSE;
    PROCESS_EDIT pe;
    Load_ProcessList(&pe, &second);
    ASSERT_TRUE(Write_ProcessText(&pe, (Prog(0) + " -a").c_str(), FALSE));
    ASSERT_TRUE(Commit_ProcessList(&pe, &second));
    Release_ProcessIcons(&pe);
    EXPECT_EQ(0, second.processRef);
    EXPECT_FALSE(second.usesGroup);
    EXPECT_EQ(1, Used_Apps());
    EXPECT_EQ(Default_AppIcon(), apps[0].icon) << "the shared App keeps its icon";

    /* the same program at another priority is another application */
    Load_ProcessList(&pe, &second);
    Set_ProcessPriority(&pe, 1);
    ASSERT_TRUE(Write_ProcessText(&pe, (Prog(0) + " -a").c_str(), FALSE));
    ASSERT_TRUE(Commit_ProcessList(&pe, &second));
    Release_ProcessIcons(&pe);
    EXPECT_EQ(1, second.processRef);
    EXPECT_EQ('H', apps[1].priority);
    EXPECT_EQ(2, Used_Apps());
    DestroyIcon(apps[1].icon);
}

TEST_F(Matching, TwoHundredEntriesInUseLeaveNoRoom)
{
    /* 199 queues run an application each and one runs a group of two of them: 200 entries */
    for (int i = 0; i < 199; i++) {
        Set_App(i, Make_App(i % 5, std::to_string(i).c_str(), 'N', 0));
        Queue(i, i);
    }
    Set_Group(0, { 0, 1 }, FALSE, 0, 'N');
    appGroups[0].free = FALSE;
    Queue(199, 0, TRUE);
    Target copy = targets[5];
    PROCESS_EDIT pe;
    Load_ProcessList(&pe, &copy);
    ASSERT_TRUE(Write_ProcessText(&pe, (Prog(4) + " -new").c_str(), FALSE));
    EXPECT_FALSE(Commit_ProcessList(&pe, &copy));
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("No space left to store the new application data", boxes.last().text);
    EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
    EXPECT_EQ(1u, boxes.beeps.size());
    EXPECT_EQ(NO_PROCESSES, copy.processRef) << "the page copy names no processes";
    EXPECT_EQ(199, Used_Apps());

    /* an application that is there already needs no room */
    ASSERT_TRUE(Write_ProcessText(&pe, (Prog(2) + " 7").c_str(), FALSE));
    EXPECT_TRUE(Commit_ProcessList(&pe, &copy));
    EXPECT_EQ(7, copy.processRef);

    /* with one entry less in use there is room again */
    targets[199].processRef = NO_PROCESSES;
    targets[199].usesGroup = FALSE;
    ASSERT_TRUE(Write_ProcessText(&pe, (Prog(4) + " -new").c_str(), FALSE));
    EXPECT_TRUE(Commit_ProcessList(&pe, &copy));
    EXPECT_EQ(199, copy.processRef);
    Release_ProcessIcons(&pe);
    DestroyIcon(apps[199].icon);
}

TEST_F(Matching, AnEmptyListOrAnInvalidEntryIsRefused)
{
    Target copy = Queue(0, NO_PROCESSES);
    copy.noProcesses = FALSE;
    PROCESS_EDIT pe;
    Load_ProcessList(&pe, &copy);
    EXPECT_FALSE(Commit_ProcessList(&pe, &copy));
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("You have no applications configured.", boxes.last().text);
    EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(boxes.last().flags));
    EXPECT_EQ(std::string(programTitle), boxes.last().caption);

    ASSERT_TRUE(Process_Add(&pe, Prog(0).c_str()));
    ASSERT_TRUE(Write_ProcessText(&pe, Prog(1).c_str(), FALSE));
    pe.list.current = 0;
    EXPECT_FALSE(Write_ProcessText(&pe, "C:\\nowhere.exe", FALSE));     /* the first loses its program */
    EXPECT_FALSE(Commit_ProcessList(&pe, &copy));
    EXPECT_EQ("One or more application entries do not consist of a valid file path to an application.",
              boxes.last().text);
    EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
    EXPECT_EQ(0, Used_Apps());
    EXPECT_EQ(NO_PROCESSES, copy.processRef);
    Release_ProcessIcons(&pe);
}

TEST_F(Matching, EditingBackAndForthLeavesNoOrphansInTheFile)
{
    Set_App(0, Make_App(0, "-sheet A1", 'N', 0));
    Set_App(1, Make_App(3, "-mail", 'N', 0));
    Queue(0, 0);
    Queue(1, 1);
    struct Edit { const char *first, *second; };
    const Edit edits[] = {
        { "-sheet A2", nullptr },      /* a single App changed */
        { "-sheet A2", "-mail" },      /* a group with the second queue's App */
        { "-sheet A3", "-mail" },      /* the group changed */
        { "-sheet A1", nullptr },      /* back to where it started */
    };
    for (const Edit &e : edits) {
        Target copy = targets[0];
        PROCESS_EDIT pe;
        Load_ProcessList(&pe, &copy);
        pe.list.count = pe.list.current = 0;
        ASSERT_TRUE(Write_ProcessText(&pe, (Prog(0) + " " + e.first).c_str(), FALSE));
        if (e.second) {
            ASSERT_TRUE(Process_Add(&pe, (Prog(0) + " " + e.first).c_str()));
            ASSERT_TRUE(Write_ProcessText(&pe, (Prog(3) + " " + e.second).c_str(), FALSE));
        }
        ASSERT_TRUE(Commit_ProcessList(&pe, &copy));
        Release_ProcessIcons(&pe);
        targets[0] = copy;
    }
    EXPECT_GT(Used_Apps() + Used_Groups(), 2) << "the edits left entries no queue uses";
    Defrag_AppsArray();
    Store_AppsData();
    EXPECT_EQ(tk::Crlf("\"" + Prog(0) + "\" -sheet A1::P::N::1::0::0::0::0\n"
                       "\"" + Prog(3) + "\" -mail::P::N::1::0::0::0::0"),
              tk::Read_File(home / "Applications.cfg"));
    EXPECT_EQ(0, targets[0].processRef);
    EXPECT_EQ(1, targets[1].processRef);
}

/* ---- the page, driven as the operator drives it ---- */

class ProcessesPage : public ProcessTest {};

TEST_F(ProcessesPage, ScreenshotsWithFourProcessesAndWithNone)
{
    for (int i = 0; i < 4; i++) Set_App(i, Make_App(i, i == 1 ? "-res 2400" : "", 'U', -1));
    apps[1].icon = ExtractIconA(GetModuleHandleA(nullptr), Prog(1).c_str(), 0);
    Set_Group(0, { 0, 1, 2, 3 }, TRUE, 1, 'H');
    appGroups[0].free = FALSE;
    Target work = Queue(0, 0, TRUE);
    dk::Script s;
    s.On("Processes", [&](HWND d) {
        dk::Click(d, IDC_PR_NEXT);
        dk::Screenshot(d, "processes_four");
        EXPECT_EQ("Process 2 of 4", dk::Text(d, IDC_PR_POSITION));
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(0, Open(s, &work));
    DestroyIcon(apps[1].icon);

    Target none = Queue(1, NO_PROCESSES);
    dk::Script n;
    n.On("Processes", [&](HWND d) {
        dk::Screenshot(d, "processes_none");
        for (int id : { IDC_PR_ADD, IDC_PR_INSERT, IDC_PR_REMOVE, IDC_PR_NEXT, IDC_PR_COMMAND })
            EXPECT_FALSE(dk::Enabled(d, id)) << id;
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(0, Open(n, &none));
}
