#include "support/modelkit.h"
#include "common/fileutil.h"
#include "common/text.h"
#include "config/newdirs.h"
#include "queueedit/processlist.h"
#include <stddef.h>
#include <string.h>
#include <type_traits>

namespace mk {

/* ---- output queues ---- */

/* The editor's new queue for the slot at pos; hotDir NULL: the one the editor proposes. */
static Target Make_Target(int pos, const std::string &name, const char *hotDir)
{
    Target t;
    memset(&t, 0, sizeof t);
    t.slotIndex = pos;
    t.loadIndex = -1;
    char hot[PATH_LEN] = "";
    if (hotDir == nullptr) Get_NewHotDir(pos, hot, sizeof hot);
    else Copy_Field(hot, hotDir);
    Init_NewTarget(&t, hot);
    Copy_Field(t.name, name.c_str());
    return t;
}

static Target &Put(int pos, const std::string &name, const char *hotDir)
{
    Target &t = targets[pos];
    t = Make_Target(pos, name, hotDir);
    if (targetCount <= pos) targetCount = pos + 1;
    return t;
}

Target New_Target(const std::string &name) { return Make_Target(targetCount, name, nullptr); }
Target New_Target(const std::string &name, const std::string &hotDir) { return Make_Target(targetCount, name, hotDir.c_str()); }
Target &Add_Target(const std::string &name) { return Put(targetCount, name, nullptr); }
Target &Add_Target(const std::string &name, const std::string &hotDir) { return Put(targetCount, name, hotDir.c_str()); }
Target &Put_Target(int pos, const std::string &name) { return Put(pos, name, nullptr); }
Target &Put_Target(int pos, const std::string &name, const std::string &hotDir) { return Put(pos, name, hotDir.c_str()); }

void Runs_Nothing(Target &t)
{
    t.processRef = NO_PROCESSES;
    t.usesGroup = FALSE;
    t.noProcesses = TRUE;
}

void Runs_App(Target &t, int app)
{
    t.processRef = app;
    t.usesGroup = FALSE;
    t.noProcesses = FALSE;
}

void Runs_Group(Target &t, int group)
{
    t.processRef = group;
    t.usesGroup = TRUE;
    t.noProcesses = FALSE;
}

/* ---- input queues ---- */

static LBQ Make_LBQ(const std::string &name, const char *hotDir)
{
    LBQ q;
    char hot[PATH_LEN] = "";
    if (hotDir == nullptr) Get_NewLBQDir(lbqCount, hot, sizeof hot);
    else Copy_Field(hot, hotDir);
    Init_NewLBQ(&q, hot);
    Copy_Field(q.name, name.c_str());
    return q;
}

static LBQ &Append(const LBQ &q)
{
    lbqs[lbqCount] = q;
    return lbqs[lbqCount++];
}

LBQ New_LBQ(const std::string &name) { return Make_LBQ(name, nullptr); }
LBQ New_LBQ(const std::string &name, const std::string &hotDir) { return Make_LBQ(name, hotDir.c_str()); }
LBQ &Add_LBQ(const std::string &name) { return Append(Make_LBQ(name, nullptr)); }
LBQ &Add_LBQ(const std::string &name, const std::string &hotDir) { return Append(Make_LBQ(name, hotDir.c_str())); }

/* ---- applications ---- */

/* The application the store makes of a new process entry of the Processes page. */
static App Make_App(const std::string &path, const std::string &args, char priority, int32_t runAlone)
{
    ProcessEntry e;
    Clear_ProcessEntry(&e, -1);
    Copy_Field(e.path, path.c_str());
    Copy_Field(e.args, args.c_str());
    App a;
    memset(&a, 0, sizeof a);
    a.icon = e.icon;
    Copy_Field(a.path, e.path);
    Copy_Field(a.args, e.args);
    a.runAlone = runAlone;
    a.priority = priority;
    a.compatV3 = e.compatV3;
    a.resident = e.resident;
    a.showCommand = e.showCommand;
    a.nonNative = e.nonNative;
    a.reservedFlag = e.reservedFlag;
    Copy_Field(a.iconPath, e.iconPath);
    return a;
}

static int Put_App(const App &a, int slot)
{
    if (slot < 0)
        for (int i = 0; i < MAX_APPS && slot < 0; i++)
            if (apps[i].free) slot = i;
    if (slot < 0 || slot >= MAX_APPS) return -1;
    apps[slot] = a;
    apps[slot].free = FALSE;
    return slot;
}

App New_App(const std::string &path, const std::string &args) { return Make_App(path, args, 'N', 0); }

int Add_App(const std::string &path, const std::string &args, int slot) { return Put_App(Make_App(path, args, 'N', 0), slot); }

int Add_Member(const std::string &path, const std::string &args, int slot)
{
    return Put_App(Make_App(path, args, 'U', -1), slot);
}

int Add_Group(const std::vector<int> &members, BOOL parallel, int slot)
{
    if (slot < 0)
        for (int g = 0; g < MAX_APPGROUPS && slot < 0; g++)
            if (appGroups[g].free) slot = g;
    if (slot < 0 || slot >= MAX_APPGROUPS || members.size() > MAX_GROUP_MEMBERS) return -1;
    AppGroup &g = appGroups[slot];
    memset(&g, 0, sizeof g);
    g.free = FALSE;
    for (int m : members) g.members[g.count++] = m;
    g.priority = 'N';
    g.runAlone = 0;
    g.parallel = parallel ? TRUE : FALSE;
    return slot;
}

/* ---- as loaded ---- */

void Number_AsLoaded()
{
    for (int i = 0; i < lbqCount; i++) lbqs[i].loadIndex = i;
    for (int i = 0; i < targetCount; i++) targets[i].loadIndex = lbqCount + i;
}

/* ---- comparing records ---- */

struct FieldSpan {
    const char *name;
    size_t at, size, align;
    bool text;
};
#define TARGET_FIELD(f)                                                                                    \
    {                                                                                                      \
        #f, offsetof(Target, f), sizeof(Target::f), alignof(decltype(Target::f)),                          \
            std::is_array<decltype(Target::f)>::value                                                      \
    }
/* Every field of the output queue record, in its order (a kit test checks that nothing but
   padding lies between them). */
static const FieldSpan k_TargetFields[] = {
    TARGET_FIELD(hidden),          TARGET_FIELD(slotIndex),        TARGET_FIELD(loadIndex),
    TARGET_FIELD(name),            TARGET_FIELD(hotDir),           TARGET_FIELD(includeSubdirs),
    TARGET_FIELD(thumbnailDir),    TARGET_FIELD(processRef),       TARGET_FIELD(parameters),
    TARGET_FIELD(afterAction),     TARGET_FIELD(priority),         TARGET_FIELD(copies),
    TARGET_FIELD(doneDir),         TARGET_FIELD(excludeFilterDir), TARGET_FIELD(beepOnComplete),
    TARGET_FIELD(forceOverwriteDone), TARGET_FIELD(alertOnError),  TARGET_FIELD(suspendOnError),
    TARGET_FIELD(keepSeconds),     TARGET_FIELD(usesGroup),        TARGET_FIELD(parametersIsFile),
    TARGET_FIELD(mutexGroup),      TARGET_FIELD(outputIdentity),   TARGET_FIELD(initialState),
    TARGET_FIELD(jobGrouping),     TARGET_FIELD(thumbnailsOnArrival), TARGET_FIELD(countDown),
    TARGET_FIELD(jobsAtATime),     TARGET_FIELD(legacyCompatV3),   TARGET_FIELD(timeoutSeconds),
    TARGET_FIELD(timeoutAction),   TARGET_FIELD(timeoutDir),       TARGET_FIELD(forceOverwriteTimeout),
    TARGET_FIELD(openFilePolicy),  TARGET_FIELD(thumbnailsWhenActive), TARGET_FIELD(limitDoneFiles),
    TARGET_FIELD(doneFileLimit),   TARGET_FIELD(monitorProcesses), TARGET_FIELD(noProcesses),
    TARGET_FIELD(extraText),       TARGET_FIELD(filterFlags),      TARGET_FIELD(filterExtensions),
    TARGET_FIELD(holdAllJobs),     TARGET_FIELD(iconPath),         TARGET_FIELD(icon),
    TARGET_FIELD(launchAppPath),   TARGET_FIELD(includeFilterDir), TARGET_FIELD(switchIfIdle),
};
#undef TARGET_FIELD

std::string Target_Differences(const Target &a, const Target &b)
{
    std::string out;
    for (const FieldSpan &f : k_TargetFields) {
        const char *pa = (const char *)&a + f.at, *pb = (const char *)&b + f.at;
        bool same = f.text ? strncmp(pa, pb, f.size) == 0 : memcmp(pa, pb, f.size) == 0;
        if (!same) out += std::string(f.name) + "\n";
    }
    return out;
}

std::string Target_FieldGaps()
{
    std::string out;
    size_t end = 0;
    /* each field where the one before it ends, or as little after as its alignment asks */
    auto aligned = [](size_t at, size_t align) { return (at + align - 1) / align * align; };
    for (const FieldSpan &f : k_TargetFields) {
        if (f.at != aligned(end, f.align))
            out += std::string("between the field before and ") + f.name + ": " + std::to_string((long)f.at - (long)end) +
                   " bytes\n";
        end = f.at + f.size;
    }
    if (sizeof(Target) != aligned(end, alignof(Target)))
        out += "after the last field: " + std::to_string(sizeof(Target) - end) + " bytes\n";
    return out;
}

} // namespace mk
