/* The Processes page: the process list without a window (loading, editing, the matching against
   the shared applications on OK), and the real page driven in-process. */
#include "support/testkit.h"
#include "support/modelkit.h"
#include "support/dlgkit.h"
#include "queueedit/paramkit.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/text.h"
#include "config/appsfile.h"
#include "config/model.h"
#include "queueedit/paramfile.h"
#include "queueedit/pages.h"
#include "queueedit/processlist.h"
#include "resources/resource.h"
#include <shellapi.h>
#include <map>
#include <sstream>

namespace {

const char *const k_Programs[] = { "Impose.exe", "Plate Rip.exe", "Preflight.exe", "Notify.exe", "Archive.exe" };

class ProcessTest : public tk::HomeTest {
protected:
    tk::MsgRecorder boxes;

    void SetUp() override
    {
        dk::Init_CommonControls();
        tk::HomeTest::SetUp();
        tk::Make_Dirs(home / "Apps");
        for (const char *name : k_Programs)
            ASSERT_TRUE(CopyFileA(tk::Build_Path("DemoApp.exe").c_str(), Prog(name).c_str(), FALSE)) << name;
        tk::Write_File(home / "CommandLine.cfg", "-copies 2,-duplex\n-verbose\n");
    }

    std::string Prog(const char *name) const { return home / ("Apps\\" + std::string(name)); }
    std::string Prog(int i) const { return Prog(k_Programs[i]); }

    App Make_App(int prog, const char *args, char priority = 'N', int runAlone = 0) const
    {
        App a = mk::New_App(Prog(prog), args);
        a.priority = priority;
        a.runAlone = runAlone;
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
        AppGroup &g = appGroups[mk::Add_Group(members, parallel, slot)];
        g.runAlone = runAlone;
        g.priority = priority;
    }
    /* output queue i running ref (an App, or an AppGroup with group) */
    static Target &Queue(int i, int ref, BOOL group = FALSE)
    {
        Target &t = mk::Put_Target(i, "Queue " + std::to_string(i + 1), "C:\\Hot\\Q" + std::to_string(i + 1));
        if (ref == NO_PROCESSES) mk::Runs_Nothing(t);
        else if (group) mk::Runs_Group(t, ref);
        else mk::Runs_App(t, ref);
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
        { "unknown priority",    4,   FALSE, "1 processes, at 0: Notify.exe",                    -1, 'Z', 0, 0 },
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
    /* an App the load gave no icon (after a free slot) gets its program's, so it counts as valid */
    apps[0].icon = NULL;
    Load_ProcessList(&pe, &t);
    EXPECT_NE(nullptr, pe.list.entries[0].icon);
    EXPECT_EQ(1, pe.ownedCount);
    Target copy = t;
    EXPECT_TRUE(Commit_ProcessList(&pe, &copy, &copy));
    EXPECT_EQ(0, copy.processRef);
    Release_ProcessIcons(&pe);
    EXPECT_EQ(0, pe.ownedCount);
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
        BOOL ok = Commit_ProcessList(&pe, &copy, &copy);
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
    ASSERT_TRUE(Commit_ProcessList(&pe, &copy, &copy));
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
        ASSERT_TRUE(Commit_ProcessList(&pe, &copy, &copy));
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
    ASSERT_TRUE(Commit_ProcessList(&pe, &second, &second));
    Release_ProcessIcons(&pe);
    EXPECT_EQ(0, second.processRef);
    EXPECT_FALSE(second.usesGroup);
    EXPECT_EQ(1, Used_Apps());
    EXPECT_EQ(Default_AppIcon(), apps[0].icon) << "the shared App keeps its icon";

    /* the same program at another priority is another application */
    Load_ProcessList(&pe, &second);
    Set_ProcessPriority(&pe, 1);
    ASSERT_TRUE(Write_ProcessText(&pe, (Prog(0) + " -a").c_str(), FALSE));
    ASSERT_TRUE(Commit_ProcessList(&pe, &second, &second));
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
    /* queue 0's application is also a member of the group: another program for queue 0 would
       be a 201st entry */
    Target work = targets[0], copy = work;
    PROCESS_EDIT pe;
    Load_ProcessList(&pe, &copy);
    ASSERT_TRUE(Write_ProcessText(&pe, (Prog(4) + " -new").c_str(), FALSE));
    EXPECT_FALSE(Commit_ProcessList(&pe, &copy, &work));
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("No space left to store the new application data", boxes.last().text);
    EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
    EXPECT_EQ(1u, boxes.beeps.size());
    EXPECT_EQ(NO_PROCESSES, copy.processRef) << "the page copy names no processes";
    EXPECT_EQ(199, Used_Apps());

    /* an application that is there already needs no room */
    ASSERT_TRUE(Write_ProcessText(&pe, (Prog(2) + " 7").c_str(), FALSE));
    EXPECT_TRUE(Commit_ProcessList(&pe, &copy, &work));
    EXPECT_EQ(7, copy.processRef);

    /* with one entry less in use there is room again */
    targets[199].processRef = NO_PROCESSES;
    targets[199].usesGroup = FALSE;
    ASSERT_TRUE(Write_ProcessText(&pe, (Prog(4) + " -new").c_str(), FALSE));
    EXPECT_TRUE(Commit_ProcessList(&pe, &copy, &work));
    EXPECT_EQ(199, copy.processRef);
    Release_ProcessIcons(&pe);
    HICON made = apps[199].icon;

    /* The editor of queue 0 is cancelled: application 199 is left behind and 200 entries are in
       use again. Queue 5 alone runs its application, so another program for it keeps 200 in
       use; the slot left behind is freed for it. */
    targets[199].processRef = 0;
    targets[199].usesGroup = TRUE;
    work = copy = targets[5];
    Load_ProcessList(&pe, &copy);
    ASSERT_TRUE(Write_ProcessText(&pe, (Prog(3) + " -other").c_str(), FALSE));
    EXPECT_TRUE(Commit_ProcessList(&pe, &copy, &work)) << boxes.last().text;
    EXPECT_EQ(199, copy.processRef);
    EXPECT_STREQ("-other", apps[199].args);
    EXPECT_FALSE(apps[5].free) << "the queue's own application stays while its editor is open";
    EXPECT_EQ(1u, boxes.count());
    Release_ProcessIcons(&pe);
    ICONINFO info;
    EXPECT_FALSE(GetIconInfo(made, &info)) << "the icon of the application left behind went with it";
    DestroyIcon(apps[199].icon);
}

TEST_F(Matching, AnEmptyListOrAnInvalidEntryIsRefused)
{
    Target copy = Queue(0, NO_PROCESSES);
    copy.noProcesses = FALSE;
    PROCESS_EDIT pe;
    Load_ProcessList(&pe, &copy);
    EXPECT_FALSE(Commit_ProcessList(&pe, &copy, &copy));
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("You have no applications configured.", boxes.last().text);
    EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(boxes.last().flags));
    EXPECT_EQ(std::string(programTitle), boxes.last().caption);

    ASSERT_TRUE(Process_Add(&pe, Prog(0).c_str()));
    ASSERT_TRUE(Write_ProcessText(&pe, Prog(1).c_str(), FALSE));
    pe.list.current = 0;
    EXPECT_FALSE(Write_ProcessText(&pe, "C:\\nowhere.exe", FALSE));     /* the first loses its program */
    EXPECT_FALSE(Commit_ProcessList(&pe, &copy, &copy));
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
        ASSERT_TRUE(Commit_ProcessList(&pe, &copy, &copy));
        Release_ProcessIcons(&pe);
        targets[0] = copy;
    }
    EXPECT_GT(Used_Apps() + Used_Groups(), 2) << "the edits left entries no queue uses";
    ASSERT_TRUE(Store_AppsData());
    EXPECT_EQ(tk::Crlf("\"" + Prog(0) + "\" -sheet A1::P::N::1::0::0::0::0\n"
                       "\"" + Prog(3) + "\" -mail::P::N::1::0::0::0::0"),
              tk::Read_File(home / "Applications.cfg"));
    EXPECT_EQ(0, targets[0].processRef);
    EXPECT_EQ(1, targets[1].processRef);
}

/* ---- the page, driven as the operator drives it ---- */

namespace {

class ProcessesPage : public ProcessTest {
protected:
    void SetUp() override
    {
        ProcessTest::SetUp();
        Set_App(0, Make_App(0, "-sheet A1", 'U', -1));
        Set_App(1, Make_App(1, "-res 2400", 'U', -1));
        Set_App(2, Make_App(2, "", 'H', 1));
        Set_Group(0, { 0, 1 }, FALSE, 0, 'N');
        appGroups[0].free = FALSE;
    }
    /* a queue with something in every field, so that a stray write shows */
    static Target Full_Queue(int ref, BOOL group)
    {
        Target t = Queue(0, ref, group);
        Copy_Field(t.parameters, "-calibrate");
        Copy_Field(t.doneDir, "C:\\Done");
        Copy_Field(t.mutexGroup, "Platesetters");
        Copy_Field(t.launchAppPath, "C:\\Viewer\\view.exe");
        Copy_Field(t.extraText, "kept");
        t.afterAction = -2;
        t.keepSeconds = 3600;
        t.copies = 3;
        t.timeoutSeconds = 300;
        t.filterFlags = 0x33;
        t.switchIfIdle = TRUE;
        t.icon = (HICON)(intptr_t)0x1234;       /* never touched by this page */
        return t;
    }
    std::string Cmd(int prog, const std::string &args = "") const
    {
        return "\"" + Prog(prog) + "\"" + (args.empty() ? "" : " " + args);
    }
    /* the whole store of applications, to compare before and after */
    struct Apps {
        std::vector<char> bytes;
        Apps()
        {
            bytes.assign((const char *)apps, (const char *)apps + sizeof apps);
            bytes.insert(bytes.end(), (const char *)appGroups, (const char *)appGroups + sizeof appGroups);
        }
        bool operator==(const Apps &o) const { return bytes == o.bytes; }
    };
    static std::vector<std::string> Texts(const tk::MsgRecorder &r)
    {
        std::vector<std::string> out;
        for (const tk::Box &b : r.boxes) out.push_back(b.text);
        return out;
    }
    static void Press_Key(HWND d, int id, UINT key)
    {
        HWND ctl = GetDlgItem(d, id);
        SetFocus(ctl);
        PostMessageA(ctl, WM_KEYDOWN, key, 1);
        PostMessageA(ctl, WM_KEYUP, key, 0xC0000001);
    }
    static void Select_Parameter(HWND d, const std::string &param)
    {
        HWND list = GetDlgItem(d, IDC_PR_PARAMS);
        LRESULT i = SendMessageA(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)param.c_str());
        ASSERT_GE(i, 0) << param;
        SendMessageA(list, LB_SETSEL, TRUE, i);
    }
};

} // namespace

TEST_F(ProcessesPage, WithoutAQueueItTellsAndCloses)
{
    dk::Script s;
    EXPECT_EQ(0, Open(s, nullptr));
    EXPECT_EQ(std::vector<std::string>{ "Queue Processes dialog called but no target pointer passed in.  Cannot show dialog" },
              Texts(boxes));
    EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
}

TEST_F(ProcessesPage, ANewQueueOpensEmptyReadyForAProgram)
{
    Target work = Full_Queue(NO_PROCESSES, FALSE);
    work.noProcesses = FALSE;
    dk::Script s;
    s.On("Processes", [&](HWND d) {
        EXPECT_EQ("", dk::Text(d, IDC_PR_COMMAND));
        EXPECT_EQ(GetDlgItem(d, IDC_PR_COMMAND), GetFocus()) << "the operator starts in the command text";
        EXPECT_EQ("New Process 1", dk::Text(d, IDC_PR_POSITION));
        EXPECT_EQ((std::vector<std::string>{ "Real Time", "High", "Normal", "Low" }), dk::Items(d, IDC_PR_PRIORITY));
        EXPECT_EQ("Normal", dk::Selected(d, IDC_PR_PRIORITY));
        EXPECT_EQ((std::vector<std::string>{ "a normal window", "a minimised window", "hidden (no window visible)" }),
                  dk::Items(d, IDC_PR_SHOW_MODE));
        EXPECT_EQ("hidden (no window visible)", dk::Selected(d, IDC_PR_SHOW_MODE));
        EXPECT_TRUE(dk::Checked(d, IDC_PR_COMPAT));
        EXPECT_FALSE(dk::Enabled(d, IDC_PR_RESIDENT));
        EXPECT_FALSE(dk::Enabled(d, IDC_PR_PARALLEL) || dk::Checked(d, IDC_PR_PARALLEL) || dk::Checked(d, IDC_PR_SERIES));
        EXPECT_TRUE(dk::Enabled(d, IDC_PR_ADD));
        EXPECT_FALSE(dk::Enabled(d, IDC_PR_REMOVE) || dk::Enabled(d, IDC_PR_NEXT) || dk::Enabled(d, IDC_PR_PREVIOUS));
        EXPECT_FALSE(dk::Enabled(d, IDC_PR_HOLD_ALL)) << "only a queue without processes holds all jobs";
        EXPECT_EQ((std::vector<std::string>{ "-duplex", "-copies 2", "-verbose" }), dk::Items(d, IDC_PR_PARAMS));
        EXPECT_EQ("C:\\Viewer\\view.exe", dk::Text(d, IDC_PR_LAUNCH_PATH));
        EXPECT_FALSE(dk::Visible(d, IDC_PR_ICON) || dk::Visible(d, IDC_PR_LIST_ICON)) << "placeholders only";
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(0, Open(s, &work));
    EXPECT_EQ(0u, boxes.count());

    /* a queue stored with both monitor and no processes comes up with neither */
    work.noProcesses = work.monitorProcesses = TRUE;
    dk::Script both;
    both.On("Processes", [&](HWND d) {
        EXPECT_FALSE(dk::Checked(d, IDC_PR_NO_PROCESSES) || dk::Checked(d, IDC_PR_MONITOR));
        EXPECT_TRUE(dk::Enabled(d, IDC_PR_COMMAND));
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(0, Open(both, &work));
}

TEST_F(ProcessesPage, EnterInTheCommandTextWritesItAndKeepsThePageOpen)
{
    Target work = Full_Queue(NO_PROCESSES, FALSE);
    work.noProcesses = FALSE;
    const Target before = work;
    dk::Script s;
    s.On("Processes", [&](HWND d) {
        dk::Type(d, IDC_PR_COMMAND, Prog(0) + " -x");
        Press_Key(d, IDC_PR_COMMAND, VK_RETURN);
    });
    s.On("Processes", [&](HWND d) {
        EXPECT_EQ("Process 1 of 1", dk::Text(d, IDC_PR_POSITION)) << "the text was written as the first process";
        EXPECT_EQ(Prog(0) + " -x", dk::Text(d, IDC_PR_COMMAND));
        EXPECT_TRUE(dk::Enabled(d, IDC_PR_REMOVE) == false && dk::Enabled(d, IDC_PR_ADD));
        Press_Key(d, IDC_PR_COMMAND, VK_ESCAPE);              /* Esc is Cancel */
    });
    EXPECT_EQ(0, Open(s, &work));
    EXPECT_EQ(0, memcmp(&before, &work, sizeof work));
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(ProcessesPage, ASeriesGroupOfTwoMadeOnThePage)
{
    Target work = Full_Queue(NO_PROCESSES, FALSE);
    work.noProcesses = FALSE;
    const Target before = work;
    dk::Script s;
    s.On("Processes", [&](HWND d) {
        dk::Type(d, IDC_PR_COMMAND, Cmd(3, "-mail prepress"));
        dk::Choose(d, IDC_PR_SHOW_MODE, "a minimised window");
        dk::Click(d, IDC_PR_ADD);
        EXPECT_EQ("New Process 2", dk::Text(d, IDC_PR_POSITION));
        EXPECT_EQ("", dk::Text(d, IDC_PR_COMMAND));
        EXPECT_EQ(GetDlgItem(d, IDC_PR_COMMAND), GetFocus());
        dk::Type(d, IDC_PR_COMMAND, Cmd(4));
        dk::Click(d, IDC_PR_COMPAT);                          /* not compatible, and resident */
        dk::Click(d, IDC_PR_RESIDENT);
        EXPECT_FALSE(dk::Enabled(d, IDC_PR_COMPAT) || dk::Enabled(d, IDC_PR_NON_NATIVE));
        EXPECT_TRUE(dk::Enabled(d, IDC_PR_SERIES));
        dk::Click(d, IDC_PR_SERIES);
        dk::Choose(d, IDC_PR_PRIORITY, "High");
        dk::Click(d, IDC_PR_ALONE);
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open(s, &work));
    EXPECT_EQ(0u, boxes.count());
    ASSERT_TRUE(work.usesGroup);
    ASSERT_EQ(1, work.processRef);
    const AppGroup &g = appGroups[1];
    EXPECT_EQ(2, g.count);
    EXPECT_FALSE(g.parallel);
    EXPECT_EQ('H', g.priority);
    EXPECT_EQ(1, g.runAlone);
    const App &first = apps[g.members[0]], &second = apps[g.members[1]];
    EXPECT_EQ(Prog(3), first.path);
    EXPECT_STREQ("-mail prepress", first.args);
    EXPECT_EQ(6, first.showCommand);
    EXPECT_EQ(1, first.compatV3);
    EXPECT_EQ(Prog(4), second.path) << "kept without the quotes of the text";
    EXPECT_EQ(0, second.compatV3);
    EXPECT_TRUE(second.resident);
    EXPECT_EQ(0, second.showCommand);
    EXPECT_EQ('U', second.priority);
    Target expected = before;
    expected.processRef = 1;
    expected.usesGroup = TRUE;
    EXPECT_EQ(0, memcmp(&expected, &work, sizeof work)) << "only the reference changed";
    DestroyIcon(first.icon);
    DestroyIcon(second.icon);
}

TEST_F(ProcessesPage, FourProcessesAtMost)
{
    Set_App(3, Make_App(3, "", 'U', -1));
    Set_Group(1, { 0, 1, 2, 3 }, TRUE, 0, 'N');
    appGroups[1].free = FALSE;
    Target work = Full_Queue(1, TRUE);
    dk::Script s;
    s.On("Processes", [&](HWND d) {
        EXPECT_EQ("Process 1 of 4", dk::Text(d, IDC_PR_POSITION));
        EXPECT_TRUE(dk::Checked(d, IDC_PR_PARALLEL));
        EXPECT_FALSE(dk::Enabled(d, IDC_PR_ADD) || dk::Enabled(d, IDC_PR_INSERT) || dk::Enabled(d, IDC_PR_PREVIOUS));
        for (int i = 0; i < 3; i++) dk::Click(d, IDC_PR_NEXT);
        EXPECT_EQ("Process 4 of 4", dk::Text(d, IDC_PR_POSITION));
        EXPECT_EQ(Prog(3), dk::Text(d, IDC_PR_COMMAND));
        EXPECT_FALSE(dk::Enabled(d, IDC_PR_ADD) || dk::Enabled(d, IDC_PR_INSERT) || dk::Enabled(d, IDC_PR_NEXT));
        EXPECT_EQ(GetDlgItem(d, IDC_PR_COMMAND), GetFocus()) << "focus leaves the button that went grey";
        dk::Click(d, IDC_PR_REMOVE);
        EXPECT_EQ("Process 3 of 3", dk::Text(d, IDC_PR_POSITION));
        EXPECT_TRUE(dk::Enabled(d, IDC_PR_ADD));
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(0, Open(s, &work));
    EXPECT_EQ(1, work.processRef);
}

TEST_F(ProcessesPage, AtTheLimitTheQueuesOwnGroupGivesWayToItsNewProgram)
{
    /* 198 queues run an application each and the edited queue alone runs the group of
       applications 0 and 1: 200 entries in use */
    for (int i = 1; i < 199; i++) {
        if (i > 2) Set_App(i, Make_App(i % 5, std::to_string(i).c_str()));
        Queue(i, i);
    }
    Target work = Full_Queue(0, TRUE);
    dk::Script s;
    s.On("Processes", [&](HWND d) {
        dk::Type(d, IDC_PR_COMMAND, Cmd(4, "-new"));
        dk::Click(d, IDC_PR_NEXT);
        dk::Click(d, IDC_PR_REMOVE);
        EXPECT_EQ("Process 1 of 1", dk::Text(d, IDC_PR_POSITION));
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open(s, &work));
    EXPECT_EQ(std::vector<std::string>{}, Texts(boxes));
    EXPECT_EQ(199, work.processRef);
    EXPECT_FALSE(work.usesGroup);
    EXPECT_FALSE(appGroups[0].free) << "the committed queue still runs the group until the editor's OK";
    DestroyIcon(apps[199].icon);
}

TEST_F(ProcessesPage, RefusalsKeepThePageOpenWithWhatWasTyped)
{
    Target work = Full_Queue(0, TRUE);
    const Target before = work;
    const Apps store;
    dk::Script s;
    s.On("Processes", [&](HWND d) {
        dk::Type(d, IDC_PR_COMMAND, "C:\\nowhere\\run.exe -x");
        dk::Click(d, IDC_PR_NEXT);
        EXPECT_EQ(std::vector<std::string>{ "String does not contain a valid application path" }, Texts(boxes));
        EXPECT_EQ(1u, boxes.beeps.size());
        EXPECT_EQ("Process 1 of 2", dk::Text(d, IDC_PR_POSITION)) << "Next did not move";
        EXPECT_EQ("C:\\nowhere\\run.exe -x", dk::Text(d, IDC_PR_COMMAND)) << "the text stays as typed";
        EXPECT_EQ(GetDlgItem(d, IDC_PR_COMMAND), GetFocus());
        dk::Click(d, IDOK);
        EXPECT_EQ(2u, boxes.count()) << "OK writes the same text and is refused the same way";
        EXPECT_EQ("String does not contain a valid application path", boxes.last().text);
        /* an empty list */
        dk::Type(d, IDC_PR_COMMAND, "");
        dk::Click(d, IDC_PR_REMOVE);
        dk::Type(d, IDC_PR_COMMAND, "");
        dk::Click(d, IDOK);
        EXPECT_EQ("You have no applications configured.", boxes.last().text);
        EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(boxes.last().flags));
        /* a text put there longer than any command text */
        SetDlgItemTextA(d, IDC_PR_COMMAND, (Cmd(0) + " " + std::string(600, 'a')).c_str());
        dk::Click(d, IDC_PR_ADD);
        EXPECT_EQ("The command text is too long: it holds at most 521 characters.", boxes.last().text);
        EXPECT_EQ(4u, boxes.count());
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(0, Open(s, &work));
    EXPECT_EQ(0, memcmp(&before, &work, sizeof work));
    EXPECT_TRUE(store == Apps()) << "nothing reached the applications";
}

TEST_F(ProcessesPage, TheTimerNoticesARewrittenParameterFile)
{
    Target work = Full_Queue(0, TRUE);
    dk::Script s;
    s.On("Processes", [&](HWND d) {
        EXPECT_EQ((std::vector<std::string>{ "-duplex", "-copies 2", "-verbose" }), dk::Items(d, IDC_PR_PARAMS));
        tk::Write_File(home / "CommandLine.cfg", "-tray:2,-nobanner\n");
        pf::Touch_Later(home / "CommandLine.cfg");
        tk::Pump(600);                                      /* two ticks of the page's timer */
        EXPECT_EQ((std::vector<std::string>{ "-nobanner", "-tray:2" }), dk::Items(d, IDC_PR_PARAMS));
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(0, Open(s, &work));
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(ProcessesPage, APickedParameterGoesInAtTheCaret)
{
    Target work = Full_Queue(NO_PROCESSES, FALSE);
    work.noProcesses = FALSE;
    dk::Script s;
    s.On("Processes", [&](HWND d) {
        const std::string text = Cmd(0, "-x -y");
        dk::Type(d, IDC_PR_COMMAND, text);
        /* the operator puts the caret before -y, then picks a parameter in the list */
        SendDlgItemMessageA(d, IDC_PR_COMMAND, EM_SETSEL, text.size() - 2, text.size() - 2);
        Select_Parameter(d, "-duplex");
        dk::Click(d, IDC_PR_ADD);
        dk::Click(d, IDC_PR_PREVIOUS);
        EXPECT_EQ(Prog(0) + " -x -duplex -y", dk::Text(d, IDC_PR_COMMAND));
        /* with the text as shown (all of it selected) a parameter goes at the end, on OK too */
        Select_Parameter(d, "-copies 2");
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open(s, &work));
    EXPECT_EQ(0u, boxes.count());
    ASSERT_FALSE(work.usesGroup);
    EXPECT_STREQ("-x -duplex -y -copies 2", apps[work.processRef].args);
    DestroyIcon(apps[work.processRef].icon);
}

TEST_F(ProcessesPage, ChoosersForTheProgramAndTheLaunchApplication)
{
    Target work = Full_Queue(2, FALSE);
    dk::ChooserRecorder picks({ Prog(1), "", home / ("Apps\\" + std::string(250, 'l') + ".exe") });
    dk::Script s;
    s.On("Processes", [&](HWND d) {
        dk::Click(d, IDC_PR_BROWSE);
        ASSERT_EQ(1u, picks.calls.size());
        EXPECT_EQ("Application To Run", picks.calls[0].title);
        EXPECT_EQ(FILTER_EXECUTABLE, picks.calls[0].filterIndex);
        EXPECT_EQ(Prog(2), picks.calls[0].path) << "starts from the program shown";
        EXPECT_EQ("\"" + Prog(1) + "\"", dk::Text(d, IDC_PR_COMMAND)) << "chosen, in double quotes, no arguments";
        dk::Click(d, IDC_PR_LAUNCH_BROWSE);                 /* cancelled */
        EXPECT_EQ("C:\\Viewer\\view.exe", dk::Text(d, IDC_PR_LAUNCH_PATH));
        EXPECT_EQ("Launch Application To Run", picks.calls[1].title);
        dk::Click(d, IDC_PR_LAUNCH_BROWSE);                 /* a path longer than the field */
        EXPECT_EQ("The chosen path is too long: the launch application path holds at most 260 characters.",
                  boxes.last().text);
        EXPECT_EQ("C:\\Viewer\\view.exe", dk::Text(d, IDC_PR_LAUNCH_PATH));
        dk::Type(d, IDC_PR_LAUNCH_PATH, std::string(300, 'v'));
        EXPECT_EQ(std::string(260, 'v'), dk::Text(d, IDC_PR_LAUNCH_PATH)) << "typing stops at the field's room";
        dk::Type(d, IDC_PR_LAUNCH_PATH, Prog(3));
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open(s, &work));
    EXPECT_EQ(1u, boxes.count());
    EXPECT_EQ(Prog(3), work.launchAppPath);
    ASSERT_FALSE(work.usesGroup);
    EXPECT_EQ(Prog(1), apps[work.processRef].path);
    EXPECT_EQ('H', apps[work.processRef].priority) << "the list's settings came from the App it replaced";
    DestroyIcon(apps[work.processRef].icon);
}

TEST_F(ProcessesPage, NoProcessesAndMonitorProcessesExcludeEachOther)
{
    Target work = Full_Queue(0, TRUE);
    dk::Script s;
    s.On("Processes", [&](HWND d) {
        dk::Click(d, IDC_PR_MONITOR);
        EXPECT_FALSE(dk::Enabled(d, IDC_PR_NO_PROCESSES) || dk::Enabled(d, IDC_PR_HOLD_ALL));
        dk::Click(d, IDC_PR_MONITOR);
        EXPECT_TRUE(dk::Enabled(d, IDC_PR_NO_PROCESSES));
        dk::Type(d, IDC_PR_COMMAND, "typed, not written");
        dk::Click(d, IDC_PR_NO_PROCESSES);
        for (int id : { IDC_PR_COMMAND, IDC_PR_BROWSE, IDC_PR_NEXT, IDC_PR_PRIORITY, IDC_PR_MONITOR, IDC_PR_PARAMS })
            EXPECT_FALSE(dk::Enabled(d, id)) << id;
        EXPECT_TRUE(dk::Enabled(d, IDC_PR_HOLD_ALL));
        EXPECT_EQ("typed, not written", dk::Text(d, IDC_PR_COMMAND));
        dk::Click(d, IDC_PR_HOLD_ALL);
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open(s, &work));
    EXPECT_EQ(0u, boxes.count());
    EXPECT_TRUE(work.noProcesses && work.holdAllJobs && !work.monitorProcesses);
    EXPECT_EQ(NO_PROCESSES, work.processRef);
    EXPECT_FALSE(work.usesGroup);
}

TEST_F(ProcessesPage, TheParameterFileIsOpenedToldOfOnceAndWatched)
{
    /* missing: told once, created, and what the operator saves into it shows */
    DeleteFileA((home / "CommandLine.cfg").c_str());
    Target work = Full_Queue(0, TRUE);
    dk::Script s;
    s.On("Processes", [&](HWND d) {
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ(0u, boxes.last().text.find("There is no parameter file.\r\n")) << boxes.last().text;
        EXPECT_TRUE(tk::Exists(home / "CommandLine.cfg"));
        dk::Click(d, IDC_PR_NEXT);
        dk::Click(d, IDC_PR_PREVIOUS);
        EXPECT_EQ(1u, boxes.count()) << "told once";
        tk::Write_File(home / "CommandLine.cfg", "-x\n");
        pf::Touch_Later(home / "CommandLine.cfg");
        tk::Pump(600);
        EXPECT_EQ(std::vector<std::string>{ "-x" }, dk::Items(d, IDC_PR_PARAMS));
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(0, Open(s, &work));

    /* unreadable (held by another program): told once, the page stays usable */
    Set_ReplaceRetryTime(50);
    HANDLE held = CreateFileA((home / "CommandLine.cfg").c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    tk::MsgRecorder told;
    dk::Script u;
    u.On("Processes", [&](HWND d) {
        dk::Click(d, IDC_PR_NEXT);
        EXPECT_EQ(std::vector<std::string>{ "The parameter file \"" + home / "CommandLine.cfg" +
                                            "\" could not be read, so no parameters can be picked from it." },
                  Texts(told));
        EXPECT_TRUE(dk::Items(d, IDC_PR_PARAMS).empty());
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(0, Open(u, &work));
    CloseHandle(held);
    Set_ReplaceRetryTime(REPLACE_RETRY_MS);
}

TEST_F(ProcessesPage, EditCommandLineParameterFileOpensItInTheTextProgram)
{
    pf::ClassesRoot txt;
    Target work = Full_Queue(0, TRUE);
    const std::string file = home / "CommandLine.cfg";
    pf::Started prog{ file + ".seen", "" };
    dk::Script s;
    s.On("Processes", [&](HWND d) {
        dk::Click(d, IDC_PR_EDIT_PARAMS);                   /* nothing registered: told so */
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ("There's no application configured in Windows for .txt files", boxes.last().text);
        pf::ClassesRoot::Associate(tk::Quote(tk::Helper_Exe("argrecord")) + " \"%1\" 20000");
        dk::Click(d, IDC_PR_EDIT_PARAMS);
        EXPECT_EQ(1u, boxes.count()) << "no box: the program was started";
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(0, Open(s, &work));
    /* the program got the file's full path; it is ended here, as the operator would close it */
    ASSERT_TRUE(prog.wait(10000)) << "the text program was not started";
    std::vector<std::string> lines = prog.lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(file, lines[2]);
    EXPECT_TRUE(prog.end());
}

/* ---- what the frame relies on: a page copies back exactly its own fields ---- */

TEST_F(ProcessesPage, OkUntouchedLeavesTheWorkingCopyAsItWas)
{
    Set_App(4, Make_App(4, "-o C:\\Archive", 'N', 0));
    Set_App(5, Make_App(3, "", '\0', 0));                /* a priority the table does not know */
    apps[5].compatV3 = 0;
    for (Target work : { Full_Queue(0, TRUE), Full_Queue(4, FALSE), Full_Queue(5, FALSE), Full_Queue(NO_PROCESSES, FALSE) }) {
        SCOPED_TRACE(work.processRef);
        const Target before = work;
        const int apps0 = Used_Apps(), groups0 = Used_Groups();
        dk::Script s;
        s.On("Processes", [&](HWND d) {
            if (work.processRef == 5) {
                EXPECT_EQ("", dk::Selected(d, IDC_PR_PRIORITY));
            }
            dk::Click(d, IDOK);
        });
        EXPECT_EQ(0, Open(s, &work));
        EXPECT_EQ(0, memcmp(&before, &work, sizeof work));
        EXPECT_EQ(apps0, Used_Apps());
        EXPECT_EQ(groups0, Used_Groups());
    }
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(ProcessesPage, CancelAfterChangingEveryControlLeavesItAsItWas)
{
    Target work = Full_Queue(0, TRUE);
    const Target before = work;
    const Apps store;
    dk::ChooserRecorder picks({ Prog(4), Prog(3) });
    dk::Script s;
    s.On("Processes", [&](HWND d) {
        dk::Type(d, IDC_PR_COMMAND, Cmd(2, "-changed"));
        dk::Click(d, IDC_PR_INSERT);
        dk::Click(d, IDC_PR_BROWSE);
        dk::Click(d, IDC_PR_NEXT);
        dk::Click(d, IDC_PR_COMPAT);
        dk::Click(d, IDC_PR_NON_NATIVE);
        dk::Choose(d, IDC_PR_SHOW_MODE, "a normal window");
        dk::Click(d, IDC_PR_PARALLEL);
        dk::Choose(d, IDC_PR_PRIORITY, "Low");
        dk::Click(d, IDC_PR_ALONE);
        dk::Click(d, IDC_PR_LAUNCH_BROWSE);
        dk::Click(d, IDC_PR_MONITOR);
        dk::Click(d, IDC_PR_MONITOR);
        dk::Click(d, IDC_PR_NO_PROCESSES);
        dk::Click(d, IDC_PR_HOLD_ALL);
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(0, Open(s, &work));
    EXPECT_EQ(0, memcmp(&before, &work, sizeof work));
    EXPECT_TRUE(store == Apps());
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(ProcessesPage, OkAfterChangingTheQueueControlsChangesExactlyThePagesFields)
{
    Target work = Full_Queue(0, TRUE);
    Target expected = work;
    dk::Script s;
    s.On("Processes", [&](HWND d) {
        dk::Type(d, IDC_PR_LAUNCH_PATH, "D:\\Launch\\it.exe");
        dk::Click(d, IDC_PR_NO_PROCESSES);
        dk::Click(d, IDC_PR_HOLD_ALL);
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open(s, &work));
    Copy_Field(expected.launchAppPath, "D:\\Launch\\it.exe");
    expected.noProcesses = expected.holdAllJobs = TRUE;
    expected.processRef = NO_PROCESSES;
    expected.usesGroup = FALSE;
    EXPECT_EQ(0, memcmp(&expected, &work, sizeof work));

    /* and monitor processes, with the processes it runs */
    work = expected = Full_Queue(0, TRUE);
    dk::Script m;
    m.On("Processes", [&](HWND d) {
        dk::Click(d, IDC_PR_MONITOR);
        dk::Click(d, IDC_PR_SERIES);
        dk::Click(d, IDC_PR_PARALLEL);
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open(m, &work));
    expected.monitorProcesses = TRUE;
    expected.processRef = 1;                             /* the same two run in parallel */
    EXPECT_EQ(0, memcmp(&expected, &work, sizeof work));
    EXPECT_TRUE(appGroups[1].parallel);
    EXPECT_EQ(0u, boxes.count());
}

/* ---- keyboard ---- */

TEST_F(ProcessesPage, EveryMnemonicIsItsOwnAndTheKeysWork)
{
    Target work = Full_Queue(0, TRUE);
    dk::Script s;
    s.On("Processes", [&](HWND d) {
        std::map<char, std::string> seen;
        for (HWND c = GetWindow(d, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            std::string text = dk::Caption(c);
            size_t amp = text.find('&');
            if (amp == std::string::npos || amp + 1 >= text.size()) continue;
            char key = (char)tolower((unsigned char)text[amp + 1]);
            EXPECT_EQ(0u, seen.count(key)) << "'" << key << "' in \"" << text << "\" and \"" << seen[key] << "\"";
            seen[key] = text;
            LONG style = GetWindowLongA(c, GWL_STYLE);
            char cls[32];
            GetClassNameA(c, cls, sizeof cls);
            LONG kind = style & 0x0F;
            if (lstrcmpiA(cls, "Button") == 0 && kind != BS_GROUPBOX && kind != BS_AUTORADIOBUTTON) {
                EXPECT_TRUE(style & WS_TABSTOP) << text;
            }
        }
        EXPECT_GE(seen.size(), 20u);
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(d, IDOK), GWL_STYLE) & BS_DEFPUSHBUTTON);
        /* Alt+X is Next, Alt+Y takes the priority list */
        PostMessageA(GetFocus(), WM_SYSCHAR, 'x', 0x20000001);
    });
    s.On("Processes", [&](HWND d) {
        EXPECT_EQ("Process 2 of 2", dk::Text(d, IDC_PR_POSITION));
        PostMessageA(GetFocus(), WM_SYSCHAR, 'y', 0x20000001);
    });
    s.On("Processes", [&](HWND d) {
        EXPECT_EQ(GetDlgItem(d, IDC_PR_PRIORITY), GetFocus());
        Press_Key(d, IDC_PR_PRIORITY, VK_ESCAPE);
    });
    EXPECT_EQ(0, Open(s, &work));
}

/* ---- how it looks ---- */

TEST_F(ProcessesPage, ScreenshotsWithFourProcessesAndWithNone)
{
    Set_App(3, Make_App(3, "-mail prepress", 'U', -1));
    apps[1].icon = ExtractIconA(GetModuleHandleA(nullptr), Prog(1).c_str(), 0);
    Set_Group(1, { 0, 1, 2, 3 }, TRUE, 1, 'H');
    appGroups[1].free = FALSE;
    Target four = Full_Queue(1, TRUE);
    dk::Script s;
    s.On("Processes", [&](HWND d) {
        dk::Click(d, IDC_PR_NEXT);
        Select_Parameter(d, "-duplex");
        dk::Screenshot(d, "processes_four");
        EXPECT_EQ("Process 2 of 4", dk::Text(d, IDC_PR_POSITION));
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(0, Open(s, &four));
    DestroyIcon(apps[1].icon);

    Target empty = Full_Queue(NO_PROCESSES, FALSE);
    empty.noProcesses = FALSE;
    dk::Script e;
    e.On("Processes", [&](HWND d) {
        dk::Screenshot(d, "processes_new_queue");
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(0, Open(e, &empty));

    Target none = Full_Queue(NO_PROCESSES, FALSE);
    dk::Script n;
    n.On("Processes", [&](HWND d) {
        dk::Screenshot(d, "processes_none");
        EXPECT_EQ("Process", dk::Text(d, IDC_PR_POSITION));
        for (int id : { IDC_PR_ADD, IDC_PR_INSERT, IDC_PR_REMOVE, IDC_PR_NEXT, IDC_PR_COMMAND })
            EXPECT_FALSE(dk::Enabled(d, id)) << id;
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(0, Open(n, &none));
}
