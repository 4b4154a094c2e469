/* Bad input: damaged copies of every file the editor reads are loaded and saved by the real
   readers and writers. Whatever a file holds, the editor must not crash or hang, every value it
   holds afterwards must lie in its range, and what it saved must load as the same configuration
   and save as the same bytes again.

   The damaged copies come from badinput_gen.h: a seed file (the demo print shop's files and a
   few fixtures) and a case number name each one, so a failure reads
       queues demo:Queues.cfg #137 [odd-number + nul-bytes]
   and BADINPUT_ONLY=queues:137 (file kind and case number) replays that case alone.
   By hand: BADINPUT_SCALE=n runs n times as many cases, BADINPUT_LOG=<file> lists every failure
   and the time of each kind, BADINPUT_SAVE=<folder> keeps the files of a replayed case.
   Faults found this way stay as named cases in FaultsFoundBeforeStayMended. */
#include "support/testkit.h"
#include "badinput_gen.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/text.h"
#include "config/appsfile.h"
#include "config/lbfile.h"
#include "config/limits.h"
#include "config/model.h"
#include "config/oemapps.h"
#include "config/prefsfile.h"
#include "config/queuesfile.h"
#include "config/runtime.h"
#include "config/storefile.h"
#include "config/users.h"
#include "queueedit/paramfile.h"
#include "config/setup.h"
#include <stdarg.h>
#include <stdlib.h>
#include <stdio.h>
#include <string.h>
#include <map>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

/* ---- naming the case that crashed or hung ---- */

char             s_CurrentCase[512];
volatile DWORD   s_CaseStart;
volatile LONG    s_CaseRunning;
LPTOP_LEVEL_EXCEPTION_FILTER s_PreviousFilter;

LONG WINAPI Name_CrashedCase(EXCEPTION_POINTERS *info)
{
    fprintf(stderr, "CRASH in bad-input case %s\n", s_CurrentCase);
    fflush(stderr);
    return s_PreviousFilter ? s_PreviousFilter(info) : EXCEPTION_CONTINUE_SEARCH;
}

/* A case that runs for more than 20 s is a hang: name it and end the program. */
DWORD WINAPI Watch_ForHang(void *)
{
    for (;;) {
        Sleep(500);
        if (s_CaseRunning && GetTickCount() - s_CaseStart > 20000) {
            fprintf(stderr, "HANG in bad-input case %s\n", s_CurrentCase);
            fflush(stderr);
            TerminateProcess(GetCurrentProcess(), 98);
        }
    }
}

void Start_Case(const std::string &name)
{
    Copy_Field(s_CurrentCase, name.c_str());
    s_CaseStart = GetTickCount();
    s_CaseRunning = 1;
}

void End_Case() { s_CaseRunning = 0; }

/* ---- small text helpers ---- */

std::string Fmt(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Fmt(const char *fmt, ...)
{
    static char buf[8192];
    va_list a;
    va_start(a, fmt);
    vsnprintf(buf, sizeof buf, fmt, a);
    va_end(a);
    return buf;
}

/* The first line where two dumps differ, for the failure message. */
std::string First_Difference(const std::string &a, const std::string &b)
{
    std::vector<std::string> la = fz::Split_Lines(a), lb = fz::Split_Lines(b);
    for (size_t i = 0; i < la.size() || i < lb.size(); i++) {
        std::string x = i < la.size() ? la[i] : "<none>", y = i < lb.size() ? lb[i] : "<none>";
        if (x != y) return Fmt("line %u:\n    first:  %.600s\n    second: %.600s", (unsigned)i + 1, x.c_str(), y.c_str());
    }
    return "(no difference)";
}

/* Where two byte strings first differ. */
std::string Byte_Difference(const std::string &a, const std::string &b)
{
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) i++;
    size_t from = i > 40 ? i - 40 : 0;
    auto show = [&](const std::string &s) {
        std::string out;
        for (size_t k = from; k < s.size() && k < i + 40; k++) {
            unsigned char c = (unsigned char)s[k];
            out += (c >= 32 && c < 127) ? std::string(1, (char)c) : Fmt("\\x%02X", c);
        }
        return out;
    };
    return Fmt("%u and %u bytes, first difference at %u:\n    first:  ...%s\n    second: ...%s", (unsigned)a.size(),
               (unsigned)b.size(), (unsigned)i, show(a).c_str(), show(b).c_str());
}

/* ---- the configuration as the operator sees it, one line a setting ---- */

std::string App_Text(int slot)
{
    /* A reference to an entry that was not read keeps pointing past the entries written, but
       its number follows the renumbering: it is not part of what the operator sees. */
    if (slot < 0 || slot >= MAX_APPS || apps[slot].free) return "<entry not read>";
    const App &a = apps[slot];
    return Fmt("app[path=%s|args=%s|alone=%d|prio=%c|compat=%d|resident=%d|show=%u|nonnative=%d|reserved=%d]", a.path,
               a.args, a.runAlone, a.priority ? a.priority : '0', a.compatV3, a.resident, a.showCommand, a.nonNative,
               a.reservedFlag);
}

std::string Process_Text(const Target &t)
{
    if (t.noProcesses || t.processRef == NO_PROCESSES) return "none";
    if (!t.usesGroup) return App_Text(t.processRef);
    if (t.processRef < 0 || t.processRef >= MAX_APPGROUPS || appGroups[t.processRef].free)
        return "<group not read>";
    const AppGroup &g = appGroups[t.processRef];
    std::string s = Fmt("group[count=%d|parallel=%d|alone=%d|prio=%c", g.count, g.parallel, g.runAlone,
                        g.priority ? g.priority : '0');
    for (int k = 0; k < g.count && k < MAX_GROUP_MEMBERS; k++) s += "|" + App_Text(g.members[k]);
    return s + "]";
}

std::string Dump_Configuration()
{
    std::string d;
    const SPOOLER_GLOBALS &g = SpoolerGlobals;
    d += Fmt("prefs settle=%d honour=%d maxlog=%d minlog=%d minimised=%d whole=%d rip=%d\n", g.SPOOLER_FILE_SETTLE_TIME,
             g.HONOUR_SUBDIRS, g.SPOOLER_MAX_LOGSIZE, g.SPOOLER_MIN_LOGSIZE, g.SPOOLER_USE_MINIMISED_IMAGE_WINDOWS,
             g.SPOOLER_DRAW_WHOLE_IMAGES_ONLY, g.RIPIndex);
    d += Fmt("prefs groupmask=%s\nprefs sepidmask=%s\nprefs logaddress=%s\n", g.SPOOLER_JOBNAME_GROUPMASK,
             g.SPOOLER_JOBNAME_SEPIDMASK, g.SPOOLER_LOGFILE_ADDRESS);
    /* any negative port is none: the writer leaves it out */
    std::string port = g.COMMS_SERVER_PORT < 0 ? "none" : Fmt("%d%s", g.COMMS_SERVER_PORT, g.portIsHex ? " hex" : "");
    d += Fmt("prefs hist=%d trunc=%d pim=%d resume=%d openfolder=%d comms=%d port=%s login=%d\n",
             g.SPOOLER_MAX_HIST_RECORDS, g.SPOOLER_TRUNC_HIST_EVERY, g.SPOOLER_PIM, g.PIM_AUTO_RESUME_JOB,
             g.OPEN_QUEUE_FOLDER, g.SHOW_COMMS_SERVER, port.c_str(), REQUIRE_LOGIN);
    d += Fmt("prefs platesearch=%s\n", PLATE_SEARCH_APP);
    d += Fmt("queues lbq=%d target=%d debug=%d\n", lbqCount, targetCount, lbDebugLevel);
    for (int i = 0; i < lbqCount && i < MAX_LBQS; i++) {
        const LBQ &q = lbqs[i];
        d += Fmt("lbq %d name=%s|hot=%s|subdirs=%d|prio=%d|copies=%d\n", i, q.name, q.hotDir, q.includeSubdirs,
                 q.priority, q.copies);
        d += Fmt("lbq %d split=%d,%d rules=%d,%d,%d time=%d purge=%d enabled=%d outputs=", i, q.minCopiesSplitSize,
                 q.minPagesSplitSize, q.fileGroupIdRule, q.fileGroupRule, q.jobReassignmentRule, q.timePriorityValue,
                 q.fileGroupPurgeMinutes, q.queueGroupEnabled);
        for (int j = 0; j < MAX_LBQ_OUTPUTS; j++)
            if (q.outputs[j] != 0) d += Fmt("%d=%d ", j, q.outputs[j]);
        d += "\n";
    }
    for (int i = 0; i < targetCount && i < MAX_TARGETS; i++) {
        const Target &t = targets[i];
        /* the bits the writer clears are not settings */
        uint32_t flags = t.filterFlags;
        if (t.excludeFilterDir[0] == '\0') flags &= ~0x20u;
        if (t.includeFilterDir[0] == '\0') flags &= ~0x80u;
        d += Fmt("target %d name=%s|hot=%s|subdirs=%d|thumbdir=%s\n", i, t.name, t.hotDir, t.includeSubdirs,
                 t.thumbnailDir);
        d += Fmt("target %d process=%s\n", i, Process_Text(t).c_str());
        d += Fmt("target %d params=%s|after=%d|prio=%d|copies=%d|done=%s|exclude=%s\n", i, t.parameters,
                 t.afterAction, t.priority, t.copies, t.doneDir, t.excludeFilterDir);
        d += Fmt("target %d beep=%d overwrite=%d alert=%d suspend=%d keep=%d mutex=%s|identity=%s|state=%d\n", i,
                 t.beepOnComplete, t.forceOverwriteDone, t.alertOnError, t.suspendOnError, t.keepSeconds, t.mutexGroup,
                 t.outputIdentity, t.initialState);
        d += Fmt("target %d grouping=%d arrival=%d countdown=%d atatime=%d timeout=%d,%d|dir=%s|overwrite=%d\n", i,
                 t.jobGrouping, t.thumbnailsOnArrival, t.countDown, t.jobsAtATime, t.timeoutAction, t.timeoutSeconds,
                 t.timeoutDir, t.forceOverwriteTimeout);
        d += Fmt("target %d policy=%d active=%d hidden=%d limit=%d,%d monitor=%d noproc=%d extra=%s|ext=%s|flags=%u\n",
                 i, t.openFilePolicy, t.thumbnailsWhenActive, t.hidden, t.limitDoneFiles, t.doneFileLimit,
                 t.monitorProcesses, t.noProcesses, t.extraText, t.filterExtensions, (unsigned)flags);
        d += Fmt("target %d hold=%d icon=%s|launch=%s|switch=%d\n", i, t.holdAllJobs, t.iconPath, t.launchAppPath,
                 t.switchIfIdle);
    }
    return d;
}

/* ---- every value within the range its reader holds it to ---- */

struct Problems {
    std::vector<std::string> list;
};
/* The description is only formatted for a check that fails. */
#define CHECK(p, ok, what)                      \
    do {                                        \
        if (!(ok)) (p).list.push_back(what);    \
    } while (0)

bool In(long long v, long long lo, long long hi) { return v >= lo && v <= hi; }
bool Is_Bool(long long v) { return v == 0 || v == 1; }
bool Terminated(const char *s, size_t cap) { return memchr(s, '\0', cap) != NULL; }
bool Priority_Ok(char c) { return c == 'R' || c == 'H' || c == 'N' || c == 'I' || c == 'U'; }

void Check_Ranges(Problems &p)
{
    CHECK(p, In(lbqCount, 0, MAX_LBQS) && In(targetCount, 0, MAX_TARGETS) && lbqCount + targetCount <= MAX_QUEUES,
            Fmt("queue counts %d + %d", lbqCount, targetCount));
    CHECK(p, lbDebugLevel >= 0, Fmt("debug level %d", lbDebugLevel));
    for (int i = 0; i < lbqCount && i < MAX_LBQS; i++) {
        const LBQ &q = lbqs[i];
        std::string n = Fmt("input queue %d: ", i);
        CHECK(p, Terminated(q.name, sizeof q.name) && Terminated(q.hotDir, sizeof q.hotDir), n + "text not terminated");
        CHECK(p, In_Range(q.priority, LIMIT_PRIORITY) && In_Range(q.copies, LIMIT_COPIES) && Is_Bool(q.includeSubdirs),
                n + Fmt("priority %d copies %d subdirs %d", q.priority, q.copies, q.includeSubdirs));
        CHECK(p, In_Range(q.minCopiesSplitSize, LIMIT_SPLIT_SIZE) && In_Range(q.minPagesSplitSize, LIMIT_SPLIT_SIZE),
                n + Fmt("split sizes %d %d", q.minCopiesSplitSize, q.minPagesSplitSize));
        CHECK(p, q.fileGroupIdRule <= 2 && q.fileGroupRule <= 2 && q.jobReassignmentRule <= 3,
                n + Fmt("rules %d %d %d", q.fileGroupIdRule, q.fileGroupRule, q.jobReassignmentRule));
        CHECK(p, In_Range(q.timePriorityValue, LIMIT_TIME_PRIORITY) && In_Range(q.fileGroupPurgeMinutes, LIMIT_PURGE_MINUTES) && q.queueGroupEnabled >= 0,
                n + Fmt("time %d purge %d enabled %d", q.timePriorityValue, q.fileGroupPurgeMinutes, q.queueGroupEnabled));
        for (int j = 0; j < MAX_LBQ_OUTPUTS; j++)
            CHECK(p, q.outputs[j] == 0 || (q.outputs[j] == 1 && j < targetCount), n + Fmt("output %d = %d", j, q.outputs[j]));
    }
    for (int i = 0; i < targetCount && i < MAX_TARGETS; i++) {
        const Target &t = targets[i];
        std::string n = Fmt("output queue %d: ", i);
        const char *texts[] = { t.name, t.hotDir, t.thumbnailDir, t.parameters, t.doneDir, t.excludeFilterDir,
                                t.timeoutDir, t.extraText, t.filterExtensions, t.iconPath, t.launchAppPath };
        for (const char *s : texts) CHECK(p, Terminated(s, TEXT_LEN) && !strpbrk(s, "\r\n"), n + "text field " + s);
        CHECK(p, Terminated(t.mutexGroup, sizeof t.mutexGroup) && Terminated(t.outputIdentity, sizeof t.outputIdentity),
                n + "short text not terminated");
        BOOL bools[] = { t.hidden, t.includeSubdirs, t.beepOnComplete, t.forceOverwriteDone, t.alertOnError,
                         t.suspendOnError, t.usesGroup, t.jobGrouping, t.thumbnailsOnArrival, t.forceOverwriteTimeout,
                         t.thumbnailsWhenActive, t.limitDoneFiles, t.monitorProcesses, t.noProcesses, t.holdAllJobs };
        for (size_t k = 0; k < ARRAY_LEN(bools); k++) CHECK(p, Is_Bool(bools[k]), n + Fmt("flag %u = %d", (unsigned)k, bools[k]));
        CHECK(p, In(t.processRef, 0, MAX_APPS - 1) || t.processRef == NO_PROCESSES, n + Fmt("process reference %d", t.processRef));
        CHECK(p, !t.noProcesses || t.processRef == NO_PROCESSES, n + Fmt("runs no processes but names entry %d", t.processRef));
        CHECK(p, In(t.afterAction, -4, MAX_TARGETS - 1), n + Fmt("after action %d", t.afterAction));
        CHECK(p, In(t.timeoutAction, -6, MAX_TARGETS - 1), n + Fmt("time-out action %d", t.timeoutAction));
        CHECK(p, t.timeoutAction != TIMEOUT_MOVE || t.timeoutDir[0] != '\0', n + "moves timed-out jobs to no folder");
        CHECK(p, In_Range(t.priority, LIMIT_PRIORITY) && In_Range(t.copies, LIMIT_COPIES) && In_Range(t.keepSeconds, LIMIT_KEEP_SECONDS),
                n + Fmt("priority %d copies %d keep %d", t.priority, t.copies, t.keepSeconds));
        CHECK(p, t.initialState == 0 || t.initialState == 7, n + Fmt("initial state %d", t.initialState));
        CHECK(p, In_Range(t.countDown, LIMIT_COUNT_DOWN) && In_Range(t.jobsAtATime, LIMIT_JOBS_AT_A_TIME) &&
                    In_Range(t.legacyCompatV3, LIMIT_LEGACY_COMPAT),
                n + Fmt("count down %d at a time %d compat %d", t.countDown, t.jobsAtATime, t.legacyCompatV3));
        CHECK(p, In_Range(t.timeoutSeconds, LIMIT_TIMEOUT_SECONDS) && In_Range(t.openFilePolicy, LIMIT_OPEN_FILE_POLICY) &&
                    In_Range(t.doneFileLimit, LIMIT_DONE_FILE_LIMIT),
                n + Fmt("time-out %d policy %d limit %d", t.timeoutSeconds, t.openFilePolicy, t.doneFileLimit));
        CHECK(p, !(t.thumbnailsOnArrival && t.thumbnailsWhenActive), n + "both thumbnail modes");
    }
    for (int a = 0; a < MAX_APPS; a++) {
        const App &x = apps[a];
        if (x.free) continue;
        std::string n = Fmt("application %d: ", a);
        CHECK(p, Terminated(x.path, sizeof x.path) && Terminated(x.args, sizeof x.args), n + "text not terminated");
        CHECK(p, In(x.runAlone, -1, 1) && Priority_Ok(x.priority), n + Fmt("alone %d priority %c", x.runAlone, x.priority));
        CHECK(p, In(x.compatV3, 0, 2) && Is_Bool(x.resident) && Is_Bool(x.nonNative) && Is_Bool(x.reservedFlag),
                n + Fmt("compat %d resident %d nonnative %d reserved %d", x.compatV3, x.resident, x.nonNative, x.reservedFlag));
    }
    for (int gi = 0; gi < MAX_APPGROUPS; gi++) {
        const AppGroup &g = appGroups[gi];
        if (g.free) continue;
        std::string n = Fmt("group %d: ", gi);
        CHECK(p, In(g.count, 2, MAX_GROUP_MEMBERS), n + Fmt("%d members", g.count));
        CHECK(p, In(g.runAlone, 0, 1) && Priority_Ok(g.priority) && Is_Bool(g.parallel),
                n + Fmt("alone %d priority %c parallel %d", g.runAlone, g.priority, g.parallel));
        for (int k = 0; k < g.count && k < MAX_GROUP_MEMBERS; k++)
            CHECK(p, In(g.members[k], 0, MAX_APPS - 1), n + Fmt("member %d", g.members[k]));
    }
    const SPOOLER_GLOBALS &g = SpoolerGlobals;
    CHECK(p, In_Range(g.SPOOLER_FILE_SETTLE_TIME, LIMIT_SETTLE_TIME), Fmt("settle time %d", g.SPOOLER_FILE_SETTLE_TIME));
    CHECK(p, In_Range(g.SPOOLER_MAX_HIST_RECORDS, LIMIT_HIST_RECORDS), Fmt("history records %d", g.SPOOLER_MAX_HIST_RECORDS));
    /* the minimum is held only while a maximum is read after it */
    CHECK(p, In_Range(g.SPOOLER_MAX_LOGSIZE, LIMIT_MAX_LOGSIZE), Fmt("maximum log size %d", g.SPOOLER_MAX_LOGSIZE));
    CHECK(p, In(g.RIPIndex, -1, RIP_PRESET_COUNT - 1), Fmt("RIP index %d", g.RIPIndex));
    CHECK(p, Terminated(g.SPOOLER_JOBNAME_GROUPMASK, MASK_LEN) && Terminated(g.SPOOLER_JOBNAME_SEPIDMASK, MASK_LEN) &&
                Terminated(g.SPOOLER_LOGFILE_ADDRESS, TEXT259_LEN) && Terminated(PLATE_SEARCH_APP, PLATE_APP_LEN),
            "preferences text not terminated");
}

/* ---- the seeds and the kinds of file ---- */

/* How a kind of file is loaded and saved: the whole start-up and storing sequence for the files
   that refer to each other, the reader and writer alone for the rest. */
enum Cycle { WHOLE_CYCLE, LB_CYCLE, PREFS_CYCLE, USERS_CYCLE, OEMAPPS_CYCLE, PARAMS_CYCLE };

struct FileKind {
    const char *kind;                  /* names the kind in a failure and in BADINPUT_ONLY */
    const char *file;                  /* where the damaged copy goes in the home */
    const char *current;               /* the name the editor writes ("" when it writes none) */
    Cycle       cycle;
    int         cases;                 /* damaged copies per seed */
    std::vector<std::string> seeds;    /* "demo:<file of the demo>" or a fixture */
};

const char *const k_ConfigFiles[] = { "Queues.cfg", "Applications.cfg", "LBPrefs.cfg", "Preferences.cfg",
                                      "queue\\engine.q", "state\\queues.sta" };
const char *const k_OtherFiles[] = { "Users.cfg", "OEMApps.cfg", "CommandLine.cfg" };
const char *const k_OldNames[] = { "Spooler.lkp", "Spooler.aps", "Spooler.cfg", "Queues.old", "Applications.old",
                                   "LBPrefs.old" };

std::vector<FileKind> All_Kinds()
{
    return {
        { "queues", "Queues.cfg", "Queues.cfg", WHOLE_CYCLE, 45,
          { "demo:Queues.cfg", "queues/damaged_line2.cfg", "badinput/queues_edges.cfg" } },
        { "queues-old", "Spooler.lkp", "Queues.cfg", WHOLE_CYCLE, 12, { "demo:Queues.cfg", "queues/Spooler.lkp" } },
        { "apps", "Applications.cfg", "Applications.cfg", WHOLE_CYCLE, 45,
          { "demo:Applications.cfg", "apps/group_after_damaged_line.cfg", "badinput/apps_edges.cfg" } },
        { "apps-old", "Spooler.aps", "Applications.cfg", WHOLE_CYCLE, 15, { "demo:Applications.cfg" } },
        { "lb", "LBPrefs.cfg", "LBPrefs.cfg", LB_CYCLE, 150, { "demo:LBPrefs.cfg", "lb/every_rule.cfg" } },
        { "prefs", "Preferences.cfg", "Preferences.cfg", PREFS_CYCLE, 150,
          { "demo:Preferences.cfg", "prefs/defaults_written.cfg" } },
        { "prefs-old", "Spooler.cfg", "Preferences.cfg", PREFS_CYCLE, 40, { "demo:Preferences.cfg" } },
        { "jobs", "queue\\engine.q", "queue\\engine.q", WHOLE_CYCLE, 45, { "demo:queue/engine.q", "badinput/engine.q" } },
        { "status", "state\\queues.sta", "state\\queues.sta", WHOLE_CYCLE, 35,
          { "demo:state/queues.sta", "badinput/queues.sta" } },
        { "users", "Users.cfg", "Users.cfg", USERS_CYCLE, 150, { "demo:Users.cfg", "users/mixed.cfg" } },
        { "oemapps", "OEMApps.cfg", "OEMApps.cfg", OEMAPPS_CYCLE, 150, { "demo:OEMApps.cfg", "oemapps/blank_lines.cfg" } },
        { "params", "CommandLine.cfg", "", PARAMS_CYCLE, 150, { "demo:CommandLine.cfg", "paramfile/mixed.cfg" } },
    };
}

/* ---- the test ---- */

class BadInput : public tk::HomeTest {
protected:
    std::map<std::string, std::string> baseline;    /* the demo's files, as laid out */
    std::map<std::string, std::string> onDisk;      /* what the home's files hold now */

    static void SetUpTestSuite()
    {
        s_PreviousFilter = SetUnhandledExceptionFilter(Name_CrashedCase);
        CloseHandle(CreateThread(NULL, 0, Watch_ForHang, NULL, 0, NULL));
    }

    void SetUp() override
    {
        tk::HomeTest::SetUp();
        tk::Lay_Out_Demo(home.home());
        /* The stand-in applications go: extracting their icons at every load would cost more
           than all the rest of a case. */
        for (const std::string &n : tk::List_Dir(Path("Apps"))) DeleteFileA(Path("Apps\\" + n).c_str());
        for (const char *f : k_ConfigFiles) baseline[f] = Get(f);
        for (const char *f : k_OtherFiles) baseline[f] = Get(f);
        onDisk = baseline;
    }
    std::string Get(const std::string &name) const { return tk::Read_File(Path(name)); }
    void Put(const std::string &name, const std::string &bytes) const { tk::Write_File(Path(name), bytes); }

    /* A seed as the editor's files look: CR LF line ends and "@HOME@" filled in. */
    std::string Seed(const std::string &name) const
    {
        std::string text = (name.compare(0, 5, "demo:") == 0) ? tk::Read_File(tk::Source_Path("demo\\" + name.substr(5)))
                                                               : tk::Read_File(tk::Fixture(name));
        EXPECT_FALSE(text.empty()) << "seed " << name << " is missing";
        for (size_t at; (at = text.find("@HOME@")) != std::string::npos;) text.replace(at, 6, home.home());
        return tk::Crlf(fz::Without_Cr(text));
    }

    /* The home back to the demo's files, with the damaged copy in place of one of them. */
    void Lay_Case(const FileKind &k, const std::string &bytes)
    {
        for (auto &f : baseline) {
            if (onDisk[f.first] == f.second && f.first != k.file && f.first != k.current) continue;
            Put(f.first, f.second);
            onDisk[f.first] = f.second;
        }
        for (const char *f : k_OldNames) DeleteFileA(Path(f).c_str());
        if (strcmp(k.file, k.current) != 0 && k.current[0] != '\0') {
            DeleteFileA(Path(k.current).c_str());
            onDisk[k.current] = "";
        }
        Put(k.file, bytes);
        onDisk[k.file] = bytes;
    }

    /* What a new process has before it reads anything; it will save. */
    void New_Process()
    {
        Fresh_Process();
        saveOnExit = TRUE;
    }

    void Check_NoTemporaryFiles(Problems &p) const
    {
        for (const char *dir : { "", "queue", "state" }) {
            std::string d = dir[0] ? Path(dir) : home.home();
            for (const std::string &n : tk::List_Dir(d))
                CHECK(p, n.compare(0, 3, "~ed") != 0 && n.find(".temp") == std::string::npos, "temporary file left: " + n);
        }
    }

    void Check_Boxes(Problems &p, size_t from) const
    {
        for (size_t i = from; i < msgs.boxes.size(); i++) {
            const tk::Box &b = msgs.boxes[i];
            CHECK(p, b.caption == programTitle, "a box captioned \"" + b.caption + "\": " + b.text);
            CHECK(p, tk::Icon_Of(b.flags) != MB_ICONSTOP, "a failure was reported: " + b.text);
        }
    }

    /* The queue job file and (rewritten only when a queue was deleted) the status file: every
       job line and every status number names a queue of the configuration saved, and the job
       list ends with its marker. */
    static void Check_RuntimeFiles(std::map<std::string, std::string> &files, bool statusRewritten, Problems &p)
    {
        int queues = lbqCount + targetCount;
        const std::string &jobs = files["queue\\engine.q"];
        CHECK(p, jobs.size() >= 12 && jobs.compare(jobs.size() - 12, 12, QUEUE_END_MARKER) == 0,
              "the queue job file does not end with its marker");
        for (const std::string &line : fz::Split_Lines(jobs)) {
            if (line.compare(0, 12, QUEUE_END_MARKER) == 0) break;
            int job = -1, queue = -1, used = 0;
            /* the rest of a job line, its own line end included, is kept byte for byte */
            bool ok = sscanf(line.c_str(), "%d::%d::%n", &job, &queue, &used) == 2 && used > 0 && In(queue, 0, queues - 1);
            CHECK(p, ok, "job line " + line);
        }
        if (!statusRewritten) return;
        for (const std::string &line : fz::Split_Lines(files["state\\queues.sta"])) {
            int q = -1, used = 0;
            CHECK(p, sscanf(line.c_str(), "%d%n", &q, &used) != 1 || In(q, 0, queues - 1),
                  Fmt("status file names queue %d of %d", q, queues));
        }
    }

    /* One run of the update mode: load, (edit,) check, save. */
    struct Run {
        std::string dump;
        std::map<std::string, std::string> files;
    };
    static void Load(Cycle c)
    {
        switch (c) {
        case LB_CYCLE:
            Get_TargetData();
            if (lbqCount > 0) Get_LBConfig();
            break;
        case PREFS_CYCLE: Get_SpoolerGlobals(); break;
        default:          InitData();           break;
        }
    }
    static void Save(Cycle c)
    {
        switch (c) {
        case LB_CYCLE:    Store_LBConfig(Have_KeptQueueLines()); break;
        case PREFS_CYCLE: Store_SpoolerGlobals(); break;
        default:          StoreSetup();           break;
        }
    }
    Run Load_And_Save(Cycle c, bool deleteQueue, Problems &p)
    {
        New_Process();
        Load(c);
        if (deleteQueue && targetCount > 0) Delete_Target(targetCount - 1);
        Check_Ranges(p);
        Run r;
        r.dump = Dump_Configuration();
        Save(c);
        CHECK(p, storeFailures == 0, Fmt("%d files could not be written", storeFailures));
        for (const char *f : k_ConfigFiles) r.files[f] = onDisk[f] = Get(f);
        Save_ForReplay(r.files);
        return r;
    }

    /* With BADINPUT_SAVE set to a folder, the files of every run of the case replayed are copied
       there ("1-Queues.cfg", "2-Queues.cfg", ...) to be read side by side. */
    void Save_ForReplay(const std::map<std::string, std::string> &files)
    {
        const char *dir = getenv("BADINPUT_SAVE");
        if (dir == NULL || getenv("BADINPUT_ONLY") == NULL) return;
        static int s_Run;
        s_Run++;
        for (const auto &f : files) {
            std::string n = f.first;
            for (char &c : n) if (c == '\\') c = '-';
            tk::Write_File(Fmt("%s\\%d-%s", dir, s_Run, n.c_str()), f.second);
        }
    }

    /* An applications file of more entries than the editor holds does not save as a fixed
       point: the lines it could not take are kept at the first save and read at the next (those
       nothing runs are dropped then and the rest renumbered, and an application named by a kept
       group line no longer keeps settings of its own), a couple of hundred at a time. Such a
       file is only held to the rest: no crash, values in range, nothing half written. */
    static bool Too_ManyEntries(const FileKind &k, const std::string &bytes)
    {
        return strstr(k.kind, "apps") != NULL && fz::Split_Lines(bytes).size() > MAX_APPS;
    }

    /* Load and save, then load and save what was saved: the same configuration and the same
       bytes must come back. */
    void Config_Cycle(const FileKind &k, const std::string &bytes, Problems &p)
    {
        size_t firstBox = msgs.boxes.size();
        std::string queuesBefore = onDisk["Queues.cfg"], appsBefore = onDisk["Applications.cfg"];
        bool edit = strcmp(k.kind, "jobs") == 0 || strcmp(k.kind, "status") == 0;
        Run first = Load_And_Save(k.cycle, edit, p);
        /* the previous version is kept whole; the older names are read, never written */
        if (k.cycle == WHOLE_CYCLE) {
            CHECK(p, Get("Queues.old") == queuesBefore, "Queues.old is not the previous file");
            CHECK(p, Get("Applications.old") == appsBefore, "Applications.old is not the previous file");
        }
        if (strcmp(k.file, k.current) != 0) CHECK(p, Get(k.file) == bytes, Fmt("%s was changed", k.file));
        Check_NoTemporaryFiles(p);
        if (k.cycle == WHOLE_CYCLE) Check_RuntimeFiles(first.files, edit, p);

        Run second = Load_And_Save(k.cycle, false, p);
        bool settling = Too_ManyEntries(k, bytes);
        CHECK(p, first.dump == second.dump || settling,
              "what was saved loads as another configuration, " + First_Difference(first.dump, second.dump));
        for (const char *f : k_ConfigFiles)
            CHECK(p, first.files[f] == second.files[f] || (settling && (!strcmp(f, "Queues.cfg") || !strcmp(f, "Applications.cfg"))),
                  Fmt("%s saved a second time differs: ", f) + Byte_Difference(first.files[f], second.files[f]));
        Check_Boxes(p, firstBox);
    }

    void Users_Cycle(const std::string &bytes, Problems &p);
    void OEMApps_Cycle(const std::string &bytes, Problems &p);
    void Params_Cycle(const std::string &bytes, Problems &p);

    /* Loads and saves the home with bytes laid in as the kind's file, and checks the result. */
    void Run_Case(const FileKind &k, const std::string &bytes, Problems &p)
    {
        switch (k.cycle) {
        case WHOLE_CYCLE:
        case LB_CYCLE:
        case PREFS_CYCLE:   Config_Cycle(k, bytes, p); break;
        case USERS_CYCLE:   Users_Cycle(bytes, p);     break;
        case OEMAPPS_CYCLE: OEMApps_Cycle(bytes, p);   break;
        case PARAMS_CYCLE:  Params_Cycle(bytes, p);    break;
        }
    }

    /* Runs every case of every kind (or only the one BADINPUT_ONLY names); returns the failures. */
    std::vector<std::string> Run_Kinds(const std::vector<FileKind> &kinds);
};

/* ---- users: a reference reading of the file ---- */

struct RefUser {
    std::string name, password;
};

bool Hex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
int  Hex_Value(char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; }

/* Lines of a name and an encoded password; a line with anything else is left out and never
   disturbs the lines after it. */
std::vector<RefUser> Reference_Users(const std::string &bytes)
{
    std::vector<RefUser> out;
    for (const std::string &line : fz::Split_Lines(bytes)) {
        if (line.find('\0') != std::string::npos) continue;
        std::vector<std::string> words;
        std::string w;
        for (char c : line + " ") {
            if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
                if (!w.empty()) words.push_back(w);
                w.clear();
            } else {
                w += c;
            }
        }
        if (words.size() != 2) continue;
        bool storable = true;
        for (unsigned char c : words[0]) storable = storable && c > ' ' && c != 0x7F;
        const std::string &e = words[1];
        bool ok = storable && e.size() >= 2 && e.size() % 2 == 0;
        for (char c : e) ok = ok && Hex(c);
        if (!ok) continue;
        std::string pw;
        for (size_t i = 2; i + 1 < e.size(); i += 2) pw += (char)(Hex_Value(e[i]) * 16 + Hex_Value(e[i + 1]));
        out.push_back({ words[0], pw.c_str() });     /* a password ends at a zero byte */
    }
    return out;
}

std::string Users_Text()
{
    std::string s;
    for (int i = 0; i < userCount; i++) s += std::string(users[i].name) + " / " + users[i].password + "\n";
    return s;
}

void BadInput::Users_Cycle(const std::string &bytes, Problems &p)
{
    Load_Users();
    std::string expected;
    for (const RefUser &u : Reference_Users(bytes)) expected += u.name + " / " + u.password + "\n";
    std::string first = Users_Text();
    CHECK(p, first == expected, "users read: " + First_Difference(expected, first));
    CHECK(p, Store_Users(), "Users.cfg could not be written");
    std::string saved = Get("Users.cfg");
    Load_Users();
    std::string second = Users_Text();
    CHECK(p, first == second, "the saved users load differently: " + First_Difference(first, second));
    Store_Users();
    CHECK(p, saved == Get("Users.cfg"), "Users.cfg saved a second time differs: " + Byte_Difference(saved, Get("Users.cfg")));
}

/* ---- associations: recording one keeps every other line ---- */

std::vector<std::string> Text_Lines(const std::string &bytes)
{
    std::vector<std::string> out;
    for (const std::string &l : fz::Split_Lines(bytes)) {
        std::string body = l;
        if (!body.empty() && body.back() == '\n') body.pop_back();
        if (!body.empty() && body.back() == '\r') body.pop_back();
        out.push_back(body);
    }
    return out;
}

void BadInput::OEMApps_Cycle(const std::string &bytes, Problems &p)
{
    const std::string app = home.home() + "\\Apps\\RipServer.exe";
    const std::string utility = "C:\\Tools\\Setup.exe";
    std::vector<std::string> lines = Text_Lines(bytes);
    int refLine = -1;
    for (size_t i = 0; i < lines.size() && refLine < 0; i++) {
        const std::string &l = lines[i];
        if (l.size() > app.size() && _strnicmp(l.c_str(), app.c_str(), app.size()) == 0 &&
            strlen(l.c_str()) >= app.size() && (l[app.size()] == ':' || l[app.size()] == ' '))
            refLine = (int)i;
    }
    int lineNo = -2;
    char found[PATH_LEN];
    Lookup_OEMApp(app.c_str(), &lineNo, found, sizeof found);
    CHECK(p, lineNo == refLine, Fmt("the association was found in line %d, not %d", lineNo, refLine));
    CHECK(p, Record_OEMApp(app.c_str(), lineNo, utility.c_str()), "OEMApps.cfg could not be written");
    std::string expected;
    bool replaced = false;
    for (size_t i = 0; i < lines.size(); i++) {
        if ((int)i == lineNo) {
            expected += app + " : " + utility + "\r\n";
            replaced = true;
        } else if (!lines[i].empty()) {
            expected += lines[i] + "\r\n";
        }
    }
    if (!replaced) expected += app + " : " + utility + "\r\n";
    std::string saved = Get("OEMApps.cfg");
    CHECK(p, saved == expected, "OEMApps.cfg does not keep the other lines: " + Byte_Difference(expected, saved));
    Lookup_OEMApp(app.c_str(), &lineNo, found, sizeof found);
    Record_OEMApp(app.c_str(), lineNo, utility.c_str());
    CHECK(p, saved == Get("OEMApps.cfg"), "recording the same association again changed the file");
}

/* ---- parameters: the file as a reference reads it ---- */

std::vector<std::string> Reference_Params(const std::string &bytes)
{
    std::vector<std::string> out;
    std::string text = bytes.substr(0, bytes.find('\0'));    /* the file is read as one text */
    auto add = [&](const std::string &s) {
        if (out.size() < PARAM_SLOTS && s.size() < TEXT_LEN) out.push_back(s);
    };
    for (const std::string &line : Text_Lines(text)) {
        size_t pos = 0;
        for (;;) {
            size_t sep = line.find("::", pos);
            std::string token = line.substr(pos, sep == std::string::npos ? std::string::npos : sep - pos);
            if (!token.empty() && token[0] == '-') {
                size_t comma;
                while ((comma = token.rfind(',')) != std::string::npos) {
                    add(token.substr(comma + 1));
                    token.erase(comma);
                }
                add(token);
            }
            if (sep == std::string::npos) break;
            pos = sep + 2;
        }
    }
    return out;
}

void BadInput::Params_Cycle(const std::string &bytes, Problems &p)
{
    Reset_ParamFile();
    CHECK(p, Read_ParamFile(Path(PARAM_FILE).c_str()), "CommandLine.cfg could not be read");
    std::vector<std::string> expected = Reference_Params(bytes);
    std::string want, got;
    for (const std::string &s : expected) want += s + "\n";
    for (int i = 0; i < paramCount; i++) got += std::string(paramTable[i]) + "\n";
    CHECK(p, In(paramCount, 0, PARAM_SLOTS), Fmt("%d parameters", paramCount));
    CHECK(p, want == got, "parameters read: " + First_Difference(want, got));
    CHECK(p, Get(PARAM_FILE) == bytes, "reading changed CommandLine.cfg");
}

std::vector<std::string> BadInput::Run_Kinds(const std::vector<FileKind> &kinds)
{
    std::string only = getenv("BADINPUT_ONLY") ? getenv("BADINPUT_ONLY") : "";
    /* BADINPUT_SCALE=n runs n times as many cases (a longer search, by hand) */
    int scale = getenv("BADINPUT_SCALE") ? atoi(getenv("BADINPUT_SCALE")) : 1;
    if (scale < 1) scale = 1;
    std::vector<std::string> failures;
    FILE *log = getenv("BADINPUT_LOG") ? fopen(getenv("BADINPUT_LOG"), "w") : NULL;
    for (const FileKind &k : kinds) {
        DWORD kindStart = GetTickCount();
        size_t kindFailures = failures.size();
        for (const std::string &seedName : k.seeds) {
            std::string seed = Seed(seedName);
            int count = k.cases * scale;
            size_t colon = only.rfind(':');
            if (!only.empty()) count = (only.compare(0, colon, k.kind) == 0) ? atoi(only.c_str() + colon + 1) + 1 : 0;
            for (int c = 0; c < count; c++) {
                if (!only.empty() && only != Fmt("%s:%d", k.kind, c)) continue;
                std::string recipe;
                std::string bytes = fz::Mutate(seed, seedName, c, &recipe);
                std::string name = Fmt("%s %s #%d [%s]", k.kind, seedName.c_str(), c, recipe.c_str());
                if (!only.empty() && getenv("BADINPUT_SAVE"))
                    tk::Write_File(Fmt("%s\\input-%s-%d-%s", getenv("BADINPUT_SAVE"), k.kind, c,
                                       seedName.substr(seedName.find_last_of("/:") + 1).c_str()), bytes);
                Start_Case(name);
                Lay_Case(k, bytes);
                Problems p;
                Run_Case(k, bytes, p);
                End_Case();
                for (const std::string &what : p.list) failures.push_back(name + ": " + what);
                msgs.boxes.clear();
            }
        }
        if (log != NULL) {
            fprintf(log, "== %s: %lu ms, %u failures\n", k.kind, (unsigned long)(GetTickCount() - kindStart),
                    (unsigned)(failures.size() - kindFailures));
            for (size_t i = kindFailures; i < failures.size(); i++) fprintf(log, "%s\n", failures[i].c_str());
        }
    }
    if (log != NULL) fclose(log);
    return failures;
}

std::string Report(const std::vector<std::string> &failures)
{
    std::string s = Fmt("%u failures", (unsigned)failures.size());
    for (size_t i = 0; i < failures.size() && i < 25; i++) s += "\n  " + failures[i];
    return s;
}

TEST_F(BadInput, DamagedFilesLoadInRangeAndSaveAsAFixedPoint)
{
    std::vector<std::string> failures = Run_Kinds(All_Kinds());
    EXPECT_TRUE(failures.empty()) << Report(failures);
}

/* ---- faults the damaged copies found, kept as cases of their own ---- */

using namespace std::string_literals;

struct Regression {
    const char *name;                  /* the mutation that found it, and what went wrong */
    FileKind    kind;
    std::string text;                  /* line feeds only, "@HOME@" for the home directory */
    const char *otherFile;             /* a second file of the home the case needs, or NULL */
    std::string otherText;
};

const FileKind k_Queues = { "queues", "Queues.cfg", "Queues.cfg", WHOLE_CYCLE, 1, {} };
const FileKind k_Apps = { "apps", "Applications.cfg", "Applications.cfg", WHOLE_CYCLE, 1, {} };
const FileKind k_Users = { "users", "Users.cfg", "Users.cfg", USERS_CYCLE, 1, {} };
const FileKind k_OEMApps = { "oemapps", "OEMApps.cfg", "OEMApps.cfg", OEMAPPS_CYCLE, 1, {} };

const char k_DemoApps[] =
    "\"@HOME@\\Apps\\PlateRip.exe\" -res 2400::A::H::1::1::0::0::0\n"
    "\"@HOME@\\Apps\\ProofRip.exe\" -profile proof.icc::P::N::1::0::6::0::0\n"
    "\"@HOME@\\Apps\\Impose.exe\" -sheet A1::A::N::0::0::0::1::0\n"
    "\"@HOME@\\Apps\\Preflight.exe\"::P::N::1::0::0::0::0\n"
    "\"@HOME@\\Apps\\PdfArchive.exe\" -o \"@HOME@\\Archive\"::P::I::1::0::0::0::1\n"
    "\"@HOME@\\Apps\\Notify.exe\" -mail prepress::P::N::1::0::0::0::0\n"
    "3,,2:0::A::N\n"
    "3,,5:1::P::N";

const char k_TimeoutTail[] = "::0::2:: ::0::0::0::10::0::0:: :: ::0:: ::1:: :: ::0\n";

std::vector<Regression> All_Regressions()
{
    return {
        { "swap-lines + odd-number in Preferences.cfg: a maximum log size read last stayed out of its range",
          { "prefs", "Preferences.cfg", "Preferences.cfg", PREFS_CYCLE, 1, {} },
          "SPOOLER_MIN_LOGSIZE 2\nSPOOLER_MAX_LOGSIZE 5\n", NULL, "" },
        { "nul-bytes in Users.cfg: the users after the zero byte were lost and the password before it cut",
          k_Users, "admin 05\0" "616D696E\noperator 06736869667432\nguest 00\n"s, NULL, "" },
        { "nul-bytes in OEMApps.cfg: recording an association dropped every line after the zero byte",
          k_OEMApps, "C:\\Apps\\Rip.exe : C:\\Tools\\Rip\0Setup.exe\nC:\\Apps\\Proof.exe : C:\\Tools\\ProofSetup.exe\n"s,
          NULL, "" },
        { "bom before Applications.cfg: the first path lost its quotes and became arguments at the next save",
          k_Apps, "\xEF\xBB\xBF"s + k_DemoApps, NULL, "" },
        { "separator (a double quote) inside an unquoted program path: the path was cut at it at the next save",
          k_Apps, std::string(k_DemoApps).replace(std::string(k_DemoApps).find("\"@HOME@\\Apps\\Preflight.exe\""), 27,
                                                  "@HOME@\\Apps\\\"Preflight.exe"), NULL, "" },
        { "many-lines + truncate: a member of a kept group line was stored with another group's settings",
          k_Apps, "\"C:\\A.exe\"::P::N::1::0::0::0::0\n\"C:\\B.exe\"::P::N::1::0::0::0::0\n0,,1:0::A::H\nbroken\n0,,1:1::P::I",
          "Queues.cfg", "Q::0::@HOME@\\Hot\\Q::2:: ::-1::4::1\n" },
        { "odd-number 201 as a member of a kept group line: renumbered to 198 it made the line readable",
          k_Apps, std::string(k_DemoApps) + "\n\"C:\\Unused 1.exe\"::P::N\n\"C:\\Unused 2.exe\"::P::N\n"
                                          "\"C:\\Unused 3.exe\"::P::N\n0,,201::P::X", NULL, "" },
        { "many-members before an old-style entry: its unstated compatibility was written as 2 and read as 0",
          k_Apps, "0,,1:1::P::N\n\"C:\\A.exe\"::P::N", "Queues.cfg", "Q::0::@HOME@\\Hot\\Q::1:: ::-1::4::1\n" },
        { "flag in field 34 (no processes) of a queue that names an application: kept at one save, dropped at the next",
          k_Queues,
          "Q::0::@HOME@\\Hot\\Q::5:: ::-1::4::1:: ::0::1::0::0::5:: :: ::0::0::0::1::1::0::-1::300::@HOME@\\Timed Out "
          "Waiting::0::2:: ::0::0::0::10::0::1:: :: ::0:: ::1:: :: ::0\n", NULL, "" },
        { "garbage in the time-out folder: a move to no usable folder became never, with its seconds and no folder",
          k_Queues, "Q::0::@HOME@\\Hot\\Q::202:: ::-1::4::1:: ::0::1::0::0::5:: :: ::0::0::0::1::4::0::-3::900::Nowhere"s +
                        k_TimeoutTail, NULL, "" },
        { "garbage in the time-out action: a time-out that passed jobs to an input queue became never, with its seconds",
          k_Queues, "In::0::@HOME@\\Hot\\In::201:: ::-3::4::1\nIn 2::0::@HOME@\\Hot\\In 2::201:: ::-3::4::1\n"
                    "Q::0::@HOME@\\Hot\\Q::202:: ::-1::4::1:: ::0::1::0::0::5:: :: ::0::0::0::1::4::0::1::500::@HOME@\\Timed "
                    "Out Waiting"s + k_TimeoutTail, NULL, "" },
        { "drop-separator before the time-out folder: a move without its folder field kept its seconds",
          k_Queues, "Q::0::@HOME@\\Hot\\Q::202:: ::-1::4::1:: ::0::1::0::0::5:: :: ::0::0::0::1::4::0::-3::900\n", NULL, "" },
    };
}

TEST_F(BadInput, FaultsFoundBeforeStayMended)
{
    for (const Regression &r : All_Regressions()) {
        SCOPED_TRACE(r.name);
        std::string text = r.text;
        for (size_t at; (at = text.find("@HOME@")) != std::string::npos;) text.replace(at, 6, home.home());
        std::string bytes = tk::Crlf(text);
        Start_Case(r.name);
        Lay_Case(r.kind, bytes);
        if (r.otherFile != NULL) {
            std::string other = r.otherText;
            for (size_t at; (at = other.find("@HOME@")) != std::string::npos;) other.replace(at, 6, home.home());
            Put(r.otherFile, onDisk[r.otherFile] = tk::Crlf(other));
        }
        Problems p;
        Run_Case(r.kind, bytes, p);
        End_Case();
        for (const std::string &what : p.list) ADD_FAILURE() << what;
        msgs.boxes.clear();
    }
}

/* ---- the real program ---- */

/* A handful of damaged homes through Editor.exe itself: "-update" must end with 0 and write just
   what the readers and writers in this process write for the same home, a second "-update" must
   change nothing, and "-silent" must end (0 saved, 1 refused, nothing written then) with its
   messages answered. A hang is a run that does not end within 20 s. */
TEST_F(BadInput, TheProgramUpdatesAndSavesDamagedHomes)
{
    /* the stand-in applications are back, so that the silent save's application check can pass */
    tk::Lay_Out_Demo(home.home());
    onDisk = baseline;
    ASSERT_TRUE(CopyFileA(tk::Editor_Exe().c_str(), home.editor().c_str(), FALSE));
    static const struct { const char *kind; int caseNo; } k_Picks[] = {
        { "queues", 900 }, { "queues", 907 }, { "apps", 900 }, { "lb", 903 }, { "prefs", 900 }, { "jobs", 900 },
    };
    std::vector<FileKind> kinds = All_Kinds();
    const char *const k_Written[] = { "Queues.cfg", "Applications.cfg", "LBPrefs.cfg", "Preferences.cfg",
                                      "queue\\engine.q", "state\\queues.sta", "Queues.old", "Applications.old" };
    for (const auto &pick : k_Picks) {
        const FileKind *k = NULL;
        for (const FileKind &cand : kinds)
            if (strcmp(cand.kind, pick.kind) == 0) k = &cand;
        ASSERT_NE(nullptr, k);
        std::string recipe, seedName = k->seeds[0];
        std::string bytes = fz::Mutate(Seed(seedName), seedName, pick.caseNo, &recipe);
        std::string name = Fmt("%s %s #%d [%s]", k->kind, seedName.c_str(), pick.caseNo, recipe.c_str());
        SCOPED_TRACE(name);

        /* what the program must write: the same home loaded and saved in this process */
        Lay_Case(*k, bytes);
        New_Process();
        InitData();
        StoreSetup();
        std::map<std::string, std::string> expected;
        for (const char *f : k_Written) expected[f] = Get(f);
        for (const char *f : k_ConfigFiles) onDisk[f] = expected[f];

        Lay_Case(*k, bytes);
        tk::Child update(tk::Quote(tk::Editor_Exe()) + " -update " + tk::Quote(home.home()), home.home());
        int code = update.wait(20000);
        ASSERT_NE(-1, code) << "\"-update\" hangs";
        EXPECT_EQ(0, code);
        for (const char *f : k_Written) EXPECT_EQ(expected[f], Get(f)) << f << " as \"-update\" wrote it";

        tk::Child again(tk::Quote(tk::Editor_Exe()) + " -update " + tk::Quote(home.home()), home.home());
        code = again.wait(20000);
        ASSERT_NE(-1, code) << "the second \"-update\" hangs";
        EXPECT_EQ(0, code);
        for (const char *f : k_ConfigFiles) EXPECT_EQ(expected[f], Get(f)) << f << " changed at the second \"-update\"";

        tk::Child silent(tk::Quote(home.editor()) + " -silent", home / "System");
        std::vector<tk::ForeignBox> seen;
        code = tk::Run_Answering(silent, {}, &seen, 20000);
        ASSERT_NE(-1, code) << "\"-silent\" hangs";
        EXPECT_TRUE(code == 0 || code == 1) << "\"-silent\" ended with " << code;
        /* A silent save writes what the update wrote (the queues file aside: the silent start
           forgets queue icons that cannot be read); a refused one writes nothing. */
        for (const char *f : k_ConfigFiles) {
            if (code == 1 || strcmp(f, "Queues.cfg") != 0) {
                EXPECT_EQ(expected[f], Get(f)) << f << (code == 1 ? " written by a refused silent save" : " as saved silently");
            }
        }
        Problems p;
        Check_NoTemporaryFiles(p);
        for (const std::string &what : p.list) ADD_FAILURE() << what;
        for (const char *f : k_ConfigFiles) onDisk[f] = Get(f);
    }
}

} // namespace
