/* Every page of the queue editor, driven from its own control table: what OK and Cancel do to
   the working copy. A page that is built adds its row to k_Pages; the table's controls are
   changed by kind, the row changes the rest (choosers answered from its list).
   Then every record editor (a frame), the same way: what OK and Cancel do to the record where it
   lives. An editor that is built adds its row to Frames(). */
#include "queueedit/editkit.h"
#include "queueedit/lbqedit.h"
#include "common/frame.h"
#include "config/prefsfile.h"
#include "config/users.h"
#include "prefs/admin.h"
#include "prefs/globals.h"
#include "prefs/jobnames.h"
#include "prefs/prefrules.h"
#include "shell/app.h"
#include <functional>
#include <map>

namespace {

using ek::EditorTest;

struct PageRow {
    const char *caption;
    int templ;
    DLGPROC proc;
    const PAGE_DEF *def;
    std::map<int, std::string> texts;                  /* what to type into a text control ("Changed" otherwise) */
    std::vector<std::string> choices;                  /* the choosers' answers while the row changes things */
    std::function<void(HWND)> changeRest;              /* the controls outside the table (NULL: none) */
    std::function<void(Target &)> prepare;             /* the record (and arrays) as the page needs them (NULL: as is) */
};

/* Job Settings: the state, the filter mode, and, on the Multi-Job Settings page opened from it,
   everything that page sets (its own row changes it alone). */
void Change_MultiJobRest(HWND m)
{
    dk::Click(m, IDC_MJ_TIMEOUT);
    dk::Click(m, IDC_MJ_MOVE);
    dk::Type(m, IDC_MJ_TARGET, "D:\\Changed Waiting");
    dk::Type(m, IDC_MJ_MINUTES, "3");
    dk::Click(m, IDC_MJ_FORCE);
}
void Change_JobSettingsRest(HWND d)
{
    dk::Choose(d, IDC_JS_STATE, "Suspended");
    dk::Click(d, IDC_JS_INCLUDE);
    /* the page is modal: it is acted on from a timer of its message loop */
    SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND m = FindWindowA(nullptr, "Multi-Job Settings");
        if (m == nullptr || !IsWindowVisible(m) || !IsWindowEnabled(m)) return;
        KillTimer(nullptr, id);
        dk::Type(m, IDC_MJ_JOBS, "3");
        Change_MultiJobRest(m);
        dk::Click(m, IDOK);
    });
    dk::Click(d, IDC_JS_MULTI);                        /* returns once that page has closed */
}

const std::vector<PageRow> &Pages()
{
    static const std::vector<PageRow> rows = {
        /* caption   template      procedure          its table      texts typed, choosers' answers, the rest, the record */
        { "Inputs", IDD_INPUTS, QueueInputs_Dlg, &inputsPage, { { IDC_IN_PATH, "D:\\Changed Hot" } },
          { ek::Icon_File("blue.ico") }, [](HWND d) { dk::Click(d, IDC_IN_CHANGE_ICON); }, nullptr },
        { "Identity", IDD_IDENTITY, QueueIdentity_Dlg, &identityPage, {}, {}, nullptr, nullptr },
        { "Thumbnail Image Directory", IDD_THUMBDIR, QueueLowResImageDir_Dlg, &thumbDirPage,
          { { IDC_TD_PATH, "D:\\Changed Thumbs" } }, {}, nullptr, nullptr },
        { "Job Settings", IDD_JOBSETTINGS, QueueJobSettings_Dlg, &jobSettingsPage,
          { { IDC_JS_EXCLUDE_DIR, "D:\\Changed Excluded" } }, {}, Change_JobSettingsRest,
          [](Target &t) { t.hidden = FALSE; } },
        { "Multi-Job Settings", IDD_MULTIJOB, QueueMultiJobSettings_Dlg, &multiJobPage, {}, {}, Change_MultiJobRest,
          [](Target &t) { t.jobsAtATime = 1; t.timeoutAction = TIMEOUT_NEVER; } },
        /* a queue that runs a group and monitor processes: in the table's order the operator stops
           the monitor processes, then runs none (letting go of the group) and releases the held
           jobs, so every field the page owns changes; its parameter file is there */
        { "Processes", IDD_PROCESSES, QueueProcesses_Dlg, &processesPage, {}, {}, nullptr, [](Target &t) {
              t.processRef = 0;
              t.usesGroup = TRUE;
              t.monitorProcesses = TRUE;
              tk::Write_File(std::string(homeDir) + "\\CommandLine.cfg", "-copies 2,-duplex\r\n");
          } },
        /* the stay, and a done directory typed before the jobs go on to another queue instead (the
           queue chooser is a dialog of its own: the queue is typed); a hidden queue's suspend
           box is disabled */
        { "Clean-Up", IDD_CLEANUP, AfterAction_Dlg, &cleanUpPage, {}, {},
          [](HWND d) {
              dk::Type(d, IDC_CU_DAYS, "2");
              dk::Type(d, IDC_CU_TARGET, "E:\\Changed Done");
              dk::Click(d, IDC_CU_PASS);
              dk::Type(d, IDC_CU_TARGET, "Proofer");
          },
          [](Target &t) { t.hidden = FALSE; } },
        /* a parameter file must exist */
        { "Process Instructions", IDD_RTI, QueueRTI_Dlg, &instructionsPage,
          { { IDC_RTI_PARAMS, tk::Fixture("paramfile\\mixed.cfg") } }, {}, nullptr, nullptr },
    };
    return rows;
}

/* A working copy on which every field holds something a page could change, and every page's
   checks pass untouched; then the row's own preparation. */
Target Table_Fields(const std::string &home);
Target Table_Record(const std::string &home, const PageRow &row)
{
    Target t = Table_Fields(home);
    if (row.prepare) row.prepare(t);
    return t;
}

Target Table_Fields(const std::string &home)
{
    Target t;
    memset(&t, 0x5A, sizeof t);                        /* the bytes between the fields too */
    Copy_Field(t.name, "Plate Setter 9");
    Copy_Field(t.hotDir, (home + "\\Hot\\Plate Setter 1").c_str());
    t.includeSubdirs = FALSE;
    Copy_Field(t.thumbnailDir, (home + "\\Thumbs").c_str());
    t.processRef = 0;
    Copy_Field(t.parameters, "-res 2400");
    t.afterAction = AFTER_MOVE_DONE;
    t.priority = 3;
    t.copies = 2;
    Copy_Field(t.doneDir, (home + "\\Done").c_str());
    Copy_Field(t.excludeFilterDir, (home + "\\Excluded").c_str());
    t.beepOnComplete = t.forceOverwriteDone = t.alertOnError = t.suspendOnError = FALSE;
    t.keepSeconds = 60;
    t.usesGroup = t.parametersIsFile = FALSE;
    Copy_Field(t.mutexGroup, "Platesetters");
    Copy_Field(t.outputIdentity, "CTP-9");
    t.initialState = 0;
    t.jobGrouping = t.thumbnailsOnArrival = FALSE;
    t.countDown = 2;
    t.jobsAtATime = 2;
    t.legacyCompatV3 = 2;
    t.timeoutSeconds = 600;
    t.timeoutAction = TIMEOUT_PROCESS;
    Copy_Field(t.timeoutDir, (home + "\\Timed Out").c_str());
    t.forceOverwriteTimeout = TRUE;
    t.openFilePolicy = 1;
    t.thumbnailsWhenActive = t.limitDoneFiles = FALSE;
    t.doneFileLimit = 20;
    t.monitorProcesses = t.noProcesses = FALSE;
    Copy_Field(t.extraText, "kept");
    t.filterFlags = 0x21;
    Copy_Field(t.filterExtensions, "*.pdf");
    t.holdAllJobs = TRUE;
    Copy_Field(t.iconPath, ek::Icon_File("red.ico").c_str());
    t.icon = nullptr;
    Copy_Field(t.launchAppPath, "");
    Copy_Field(t.includeFilterDir, "");
    t.switchIfIdle = TRUE;
    return t;
}

bool Is_Combo(HWND dlg, int id)
{
    char cls[32] = "";
    GetClassNameA(GetDlgItem(dlg, id), cls, sizeof cls);
    return lstrcmpiA(cls, "ComboBox") == 0;
}

/* Changes every control of a table, each by its kind, from the values of the copy it was
   loaded from (texts as given, "Changed" otherwise). */
void Change_Table(HWND d, const CTRL_MAP *map, int count, const void *copy, const std::map<int, std::string> &texts)
{
    for (int i = 0; i < count; i++) {
        const CTRL_MAP &c = map[i];
        SCOPED_TRACE(c.id);
        const int32_t *value = (const int32_t *)((const char *)copy + c.offset);
        switch (c.kind) {
        case CM_TEXT: {
            auto typed = texts.find(c.id);
            std::string text = typed != texts.end() ? typed->second : "Changed";
            if (Is_Combo(d, c.id)) ek::Type_Box(d, c.id, text);
            else dk::Type(d, c.id, text);
            break;
        }
        case CM_INT:
            dk::Type(d, c.id, std::to_string(*value == c.minimum ? c.minimum + 1 : c.minimum));
            break;
        case CM_CHECK:
            dk::Click(d, c.id);
            break;
        case CM_LIST: {
            int count = (int)dk::Items(d, c.id).size();
            dk::Choose_Index(d, c.id, ((*value - c.minimum) + 1) % count);
            break;
        }
        case CM_RADIO: {
            /* the first radio of the field that is not the one checked */
            bool first = true;
            for (int j = 0; j < i; j++) first = first && !(map[j].kind == CM_RADIO && map[j].offset == c.offset);
            if (!first) break;
            for (int j = i; j < count; j++)
                if (map[j].kind == CM_RADIO && map[j].offset == c.offset && map[j].minimum != *value) {
                    dk::Click(d, map[j].id);
                    break;
                }
            break;
        }
        case CM_DURATION: {
            /* one more (or one less) of the smallest unit */
            const DURATION_DEF *def = c.duration;
            int32_t parts[8];
            Split_Duration(*value, def, parts);
            const DURATION_PART &last = def->parts[def->count - 1];
            if (!IsWindowEnabled(GetDlgItem(d, last.id))) break;   /* the row's rest sets it */
            int32_t v = parts[def->count - 1];
            dk::Type(d, last.id, std::to_string(v < last.range.maximum - 1 ? v + 1 : v - 1));
            break;
        }
        case CM_SPIN:
        case CM_STEP:
            break;
        }
    }
}

/* Changes every control of the page's table, each by its kind, then the rest by the row. */
void Change_Everything(HWND d, const PageRow &row)
{
    Change_Table(d, row.def->map, row.def->mapCount, ek::Page_Target(d), row.texts);
    if (row.changeRest) row.changeRest(d);
}

/* The bytes of a Target the page owns: its table's fields and its own spans. */
std::vector<bool> Owned_Bytes(const PAGE_DEF *def)
{
    std::vector<bool> owned(sizeof(Target), false);
    auto mark = [&](size_t offset, size_t size) {
        for (size_t b = offset; b < offset + size && b < owned.size(); b++) owned[b] = true;
    };
    for (int i = 0; i < def->mapCount; i++) mark(def->map[i].offset, def->map[i].size);
    for (int i = 0; i < def->ownedCount; i++) mark(def->owned[i].offset, def->owned[i].size);
    return owned;
}

class PageTable : public EditorTest {
protected:
    INT_PTR Run_Page(const PageRow &row, Target *work, std::function<void(HWND)> act)
    {
        dk::Script s;
        s.On(row.caption, act);
        return Open_Page(s, row.templ, row.proc, work);
    }
};

TEST_F(PageTable, OkUntouchedLeavesTheWorkingCopyAsItWas)
{
    for (const PageRow &row : Pages()) {
        SCOPED_TRACE(row.caption);
        Target work = Table_Record(home.home(), row), before = work;
        EXPECT_EQ(0, Run_Page(row, &work, [&](HWND d) { dk::Click(d, row.def->okId); }));
        EXPECT_EQ(0, memcmp(&before, &work, sizeof work));
        EXPECT_EQ(0u, boxes.count()) << (boxes.count() ? boxes.last().text : "");
    }
}

TEST_F(PageTable, CancelAfterChangingEverythingLeavesTheWorkingCopyAsItWas)
{
    for (const PageRow &row : Pages()) {
        SCOPED_TRACE(row.caption);
        dk::ChooserRecorder picks(row.choices);
        Target work = Table_Record(home.home(), row), before = work;
        EXPECT_EQ(0, Run_Page(row, &work, [&](HWND d) {
            Change_Everything(d, row);
            dk::Click(d, IDCANCEL);
        }));
        EXPECT_EQ(0, memcmp(&before, &work, sizeof work));
        EXPECT_EQ(row.choices.size(), picks.calls.size()) << "every chooser of the row was used";
    }
}

TEST_F(PageTable, OkAfterChangingEverythingChangesExactlyThePagesOwnFields)
{
    for (const PageRow &row : Pages()) {
        SCOPED_TRACE(row.caption);
        dk::ChooserRecorder picks(row.choices);
        Target work = Table_Record(home.home(), row), before = work;
        EXPECT_EQ(0, Run_Page(row, &work, [&](HWND d) {
            Change_Everything(d, row);
            dk::Click(d, row.def->okId);
            EXPECT_FALSE(IsWindowVisible(d)) << "the page closed: " << (boxes.count() ? boxes.last().text : "");
        }));
        std::vector<bool> owned = Owned_Bytes(row.def);
        const unsigned char *a = (const unsigned char *)&before, *b = (const unsigned char *)&work;
        for (size_t i = 0; i < sizeof(Target); i++)
            if (!owned[i] && a[i] != b[i]) ADD_FAILURE() << "byte " << i << " outside the page's fields changed";
        auto changed = [&](size_t offset, size_t size) { return memcmp(a + offset, b + offset, size) != 0; };
        for (int i = 0; i < row.def->mapCount; i++)
            if (row.def->map[i].size > 0) {
                EXPECT_TRUE(changed(row.def->map[i].offset, row.def->map[i].size)) << "the field of control " << row.def->map[i].id;
            }
        for (int i = 0; i < row.def->ownedCount; i++)
            EXPECT_TRUE(changed(row.def->owned[i].offset, row.def->owned[i].size)) << "owned field at " << row.def->owned[i].offset;
        if (work.icon != before.icon && work.icon != nullptr) DestroyIcon(work.icon);   /* the working copy's now */
    }
}

TEST_F(PageTable, EveryTextIsLimitedToItsField)
{
    for (const PageRow &row : Pages()) {
        SCOPED_TRACE(row.caption);
        Target work = Table_Record(home.home(), row);
        Run_Page(row, &work, [&](HWND d) {
            for (int i = 0; i < row.def->mapCount; i++) {
                const CTRL_MAP &c = row.def->map[i];
                if (c.kind != CM_TEXT) continue;
                SCOPED_TRACE(c.id);
                size_t room = c.maximum > 0 ? (size_t)c.maximum : c.size - 1;
                std::string typed = std::string(room + 5, 'k');
                if (Is_Combo(d, c.id)) ek::Type_Box(d, c.id, typed);
                else dk::Type(d, c.id, typed);
                EXPECT_EQ(room, dk::Text(d, c.id).size()) << "typing stops at the field's room";
            }
            dk::Click(d, IDCANCEL);
        });
    }
}

TEST_F(PageTable, APageOpenedWithoutAWorkingCopySaysSoAndCloses)
{
    for (const PageRow &row : Pages()) {
        SCOPED_TRACE(row.caption);
        boxes.boxes.clear();
        dk::Script s;
        EXPECT_EQ(0, Open_Page(s, row.templ, row.proc, nullptr));
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ(std::string(row.def->noRecordText), boxes.last().text);
        EXPECT_EQ(MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
    }
}

/* ---- the record editors ---- */

struct Span {
    size_t offset, size;
};
#define SPAN_OF(T, f) Span{ offsetof(T, f), sizeof(((T *)0)->f) }

struct FrameRow {
    const char *caption;
    const FRAME_DEF *def;
    std::function<void(const std::string &home)> prepare;   /* puts the record in place */
    std::function<INT_PTR()> open;                          /* runs the editor; what it ends with */
    INT_PTR okResult, cancelResult;
    std::function<std::string()> record;                    /* the record's bytes where it lives */
    bool tableOnRecord;                                     /* the table's offsets are the record's */
    std::vector<Span> own;                                  /* its fields beyond the table */
    std::map<int, std::string> texts;
    std::function<void(HWND)> changeRest;                   /* the controls outside the table */
};

template <typename T> std::string Bytes_Of(const T &v) { return std::string((const char *)&v, sizeof v); }

std::string Padded(const char *text, size_t size)
{
    std::string s(text);
    s.resize(size, '\0');
    return s;
}

/* The input queue the editor table works on: balancing between two queues, its own hot folder. */
void Put_TableLBQ(const std::string &home)
{
    std::string dir = home + "\\Inputs\\Plates In";
    tk::Make_Dirs(dir);
    tk::Make_Dirs(home + "\\Inputs\\Changed");
    LBQ q = mk::New_LBQ("Plates In", dir);
    q.loadIndex = 0;
    q.includeSubdirs = TRUE;
    q.priority = 3;
    q.copies = 2;
    q.minCopiesSplitSize = 0;
    q.fileGroupIdRule = 1;
    q.fileGroupRule = 1;
    q.jobReassignmentRule = 3;
    q.timePriorityValue = 70;
    q.fileGroupPurgeMinutes = 90;
    q.queueGroupEnabled = 1;
    q.outputs[0] = q.outputs[2] = 1;
    lbqs[0] = q;
    lbqCount = 1;
}

/* The preferences as a fresh process has read them from a file in which every field differs
   from its default. */
void Put_TablePrefs(const std::string &home)
{
    Register_Classes(hInstance);
    memset(&SpoolerGlobals, 0, sizeof SpoolerGlobals);
    PLATE_SEARCH_APP[0] = '\0';
    REQUIRE_LOGIN = FALSE;
    Forget_LoginSwitch();
    tk::Write_File(home + "\\Preferences.cfg", tk::Crlf(tk::Read_File(tk::Fixture("prefs/every_preference.cfg"))));
    ASSERT_TRUE(Get_SpoolerGlobals());
}

std::string Prefs_Record()
{
    PREFS_EDIT e;
    memset(&e, 0, sizeof e);
    Take_PrefsEdit(&e);
    return Bytes_Of(e);
}

/* The masks' record: its bytes between the fields too, the first preset chosen. */
SPOOLER_GLOBALS masksRecord;

void Put_TableMasks(const std::string &)
{
    memset(&masksRecord, 0x5A, sizeof masksRecord);
    Copy_Field(masksRecord.SPOOLER_JOBNAME_GROUPMASK, RIPPresets[0].groupMask);
    Copy_Field(masksRecord.SPOOLER_JOBNAME_SEPIDMASK, RIPPresets[0].sepIdMask);
    masksRecord.RIPIndex = 0;
}

/* The users: the one edited (user 1) in two blocks of 64 bytes, then the others. */
void Put_TableUsers(const std::string &)
{
    Free_Users();
    ASSERT_TRUE(Add_User("anna", "secret1"));
    ASSERT_TRUE(Add_User("ben", "pw2"));
    ASSERT_TRUE(Add_User("carl", "x"));
}

std::string Users_Record()
{
    if (userCount < 2) return "";
    std::string r = Padded(users[1].name, 64) + Padded(users[1].password, 64);
    for (int i = 0; i < userCount; i++)
        if (i != 1) r += std::string(users[i].name) + '\n' + users[i].password + '\n';
    return r;
}

const std::vector<FrameRow> &Frames()
{
    static const std::vector<FrameRow> rows = {
        /* the overview: the name (the pages have their table above) */
        { "Overview", &overviewFrame, nullptr, [] { return (INT_PTR)Edit_Target(nullptr, 1); }, 0, -1,
          [] { return Bytes_Of(targets[1]); }, true, {}, { { IDC_OV_NAME, "Plate Setter Two" } }, nullptr },
        /* the input queue: a copy split set sets the group rules aside (and with them the
           reassignment that needs them); the time priority is a slider */
        { "Editor", &lbqFrame, Put_TableLBQ, [] { return (INT_PTR)Edit_LBQ(nullptr, 0); }, 0, 0,
          [] { return Bytes_Of(lbqs[0]); }, true,
          { SPAN_OF(LBQ, fileGroupIdRule), SPAN_OF(LBQ, fileGroupRule), SPAN_OF(LBQ, jobReassignmentRule),
            SPAN_OF(LBQ, timePriorityValue) },
          {},
          [](HWND d) {
              dk::Type(d, IDC_LB_PATH, std::string(homeDir) + "\\Inputs\\Changed");
              dk::Slide(d, IDC_LB_TIME_PRIORITY, 30);
          } },
        /* General Preferences: the port is read as typed */
        { "General Preferences", &globalsFrame, Put_TablePrefs, [] { return (INT_PTR)Edit_Globals(nullptr); }, TRUE,
          FALSE, Prefs_Record, true,
          { SPAN_OF(PREFS_EDIT, g.COMMS_SERVER_PORT), SPAN_OF(PREFS_EDIT, g.portIsHex) }, {},
          [](HWND d) { dk::Type(d, IDC_GP_PORT, "4711"); } },
        /* the masks: typed instead of the preset's */
        { "File Naming Convention", &jobNamesFrame, Put_TableMasks,
          [] { return (INT_PTR)Edit_JobNames(nullptr, &masksRecord); }, TRUE, FALSE,
          [] { return Bytes_Of(masksRecord); }, false,
          { SPAN_OF(SPOOLER_GLOBALS, SPOOLER_JOBNAME_GROUPMASK), SPAN_OF(SPOOLER_GLOBALS, SPOOLER_JOBNAME_SEPIDMASK),
            SPAN_OF(SPOOLER_GLOBALS, RIPIndex) },
          {},
          [](HWND d) {
              dk::Click(d, IDC_JN_MANUAL);
              dk::Type(d, IDC_JN_GROUPMASK, "1>0.Tif");
              dk::Type(d, IDC_JN_SEPIDMASK, "0>1.Tif");
          } },
        /* one user: the name and the password */
        { "Edit user", &userFrame, Put_TableUsers,
          [] { return DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_USER), nullptr, User_Dlg, 1); }, IDOK, IDCANCEL,
          Users_Record, false, { Span{ 0, 64 }, Span{ 64, 64 } }, {},
          [](HWND d) {
              dk::Type(d, IDC_US_NAME, "bert");
              dk::Type(d, IDC_US_PASSWORD, "pw9");
              dk::Type(d, IDC_US_CONFIRM, "pw9");
          } },
    };
    return rows;
}

class FrameTable : public EditorTest {
protected:
    INT_PTR Run_Frame(const FrameRow &row, std::function<void(HWND)> act)
    {
        dk::Script s;
        s.On(row.caption, act);
        return s.Run(row.open);
    }
    void Change_Everything(HWND d, const FrameRow &row)
    {
        Change_Table(d, row.def->map, row.def->mapCount, Frame_Copy(d), row.texts);
        if (row.changeRest) row.changeRest(d);
    }
    void Prepare(const FrameRow &row)
    {
        boxes.boxes.clear();
        if (row.prepare) row.prepare(home.home());
    }
};

TEST_F(FrameTable, OkUntouchedLeavesTheRecordAsItWas)
{
    for (const FrameRow &row : Frames()) {
        SCOPED_TRACE(row.caption);
        Prepare(row);
        std::string before = row.record();
        EXPECT_EQ(row.okResult, Run_Frame(row, [&](HWND d) { dk::Click(d, row.def->okId); }));
        EXPECT_EQ(before, row.record());
        EXPECT_EQ(0u, boxes.count()) << (boxes.count() ? boxes.last().text : "");
    }
}

TEST_F(FrameTable, CancelAfterChangingEverythingLeavesTheRecordAsItWas)
{
    for (const FrameRow &row : Frames()) {
        SCOPED_TRACE(row.caption);
        Prepare(row);
        std::string before = row.record();
        EXPECT_EQ(row.cancelResult, Run_Frame(row, [&](HWND d) {
            Change_Everything(d, row);
            dk::Click(d, IDCANCEL);
        }));
        EXPECT_EQ(before, row.record());
    }
}

TEST_F(FrameTable, OkAfterChangingEverythingChangesExactlyTheEditorsOwnFields)
{
    for (const FrameRow &row : Frames()) {
        SCOPED_TRACE(row.caption);
        Prepare(row);
        std::string before = row.record();
        EXPECT_EQ(row.okResult, Run_Frame(row, [&](HWND d) {
            Change_Everything(d, row);
            dk::Click(d, row.def->okId);
            EXPECT_FALSE(IsWindowVisible(d)) << "the editor closed: " << (boxes.count() ? boxes.last().text : "");
        }));
        std::string after = row.record();
        ASSERT_EQ(before.size(), after.size());
        std::vector<Span> own = row.own;
        if (row.tableOnRecord)
            for (int i = 0; i < row.def->mapCount; i++)
                if (row.def->map[i].size > 0) own.push_back(Span{ row.def->map[i].offset, row.def->map[i].size });
        std::vector<bool> owned(before.size(), false);
        for (const Span &o : own)
            for (size_t b = o.offset; b < o.offset + o.size && b < owned.size(); b++) owned[b] = true;
        for (size_t i = 0; i < before.size(); i++)
            if (!owned[i] && before[i] != after[i]) ADD_FAILURE() << "byte " << i << " outside the editor's fields changed";
        for (const Span &o : own)
            EXPECT_NE(before.substr(o.offset, o.size), after.substr(o.offset, o.size)) << "the field at " << o.offset;
    }
}

/* ---- what the editors refuse ---- */

const FrameRow &Frame_Named(const std::string &caption)
{
    for (const FrameRow &row : Frames())
        if (caption == row.caption) return row;
    ADD_FAILURE() << "no editor \"" << caption << "\"";
    return Frames().front();
}

/* A text typed into a control of an editor, then OK: the box the operator gets (a question is
   answered No); the editor stays open with the text as typed (where the check is about one
   control, the focus back in it), and the record as it was once the editor is cancelled. */
struct RefusalRow {
    const char *editor;          /* the caption of the editor's row in Frames() */
    int control;
    std::string typed;
    std::string box;
    UINT kind;                   /* buttons | icon of the box */
    bool selected;               /* the control has the focus again */
};

const std::vector<RefusalRow> &Refusals()
{
    const std::string outOfRange = "A number entered is out of range.\r\n";
    static const std::vector<RefusalRow> rows = {
        { "Overview", IDC_OV_NAME, "   ", "You must enter a name for this queue before continuing.",
          MB_OK | MB_ICONSTOP, false },
        { "Overview", IDC_OV_NAME, "Plate|Setter",
          "The name of a queue cannot contain any of the following characters: / \\ \" : * ? < > |", MB_OK | MB_ICONSTOP,
          false },
        { "Editor", IDC_LB_NAME, "   ", "You must enter a name for this load balanced input queue before continuing.",
          MB_OK | MB_ICONINFORMATION, true },
        { "Editor", IDC_LB_COPIES, "10001", outOfRange + "Maximum = 10000, Minimum = 1\r\nContinue and ignore changes?",
          MB_YESNO | MB_ICONSTOP, true },
        { "Editor", IDC_LB_PATH, "Hot\\Relative",
          "The chosen hot directory is not a valid path name.  Please correct the entry or select an existing "
          "directory using the chooser.",
          MB_OK | MB_ICONINFORMATION, true },
        { "General Preferences", IDC_GP_SETTLE, "0", outOfRange + "Maximum = 1200, Minimum = 1\r\nContinue and ignore changes?",
          MB_YESNO | MB_ICONSTOP, true },
        { "General Preferences", IDC_GP_PORT, "0x10000",
          outOfRange + "Maximum = 65535, Minimum = 0\r\nContinue and ignore changes?", MB_YESNO | MB_ICONSTOP, true },
        { "Edit user", IDC_US_NAME, "", "Please enter a username", MB_OK, true },
        { "Edit user", IDC_US_NAME, "ANNA", "The username already exists", MB_OK, true },
    };
    return rows;
}

TEST_F(FrameTable, RefusedTextsAreToldAndTheEditorStaysOpenAsTyped)
{
    for (const RefusalRow &r : Refusals()) {
        SCOPED_TRACE(std::string(r.editor) + ", control " + std::to_string(r.control) + ": \"" + r.typed + "\"");
        const FrameRow &row = Frame_Named(r.editor);
        Prepare(row);
        std::string before = row.record();
        tk::MsgRecorder refusals({ IDNO });
        EXPECT_EQ(row.cancelResult, Run_Frame(row, [&](HWND d) {
            dk::Type(d, r.control, r.typed);
            dk::Click(d, row.def->okId);
            ASSERT_EQ(1u, refusals.count());
            EXPECT_EQ(r.box, refusals.last().text);
            EXPECT_EQ(r.kind, tk::Buttons_Of(refusals.last().flags) | tk::Icon_Of(refusals.last().flags));
            EXPECT_TRUE(IsWindowVisible(d)) << "the editor stays open";
            EXPECT_EQ(r.typed, dk::Text(d, r.control)) << "as typed";
            if (r.selected) {
                EXPECT_EQ(GetDlgItem(d, r.control), GetFocus()) << "the control to correct";
            }
            dk::Click(d, IDCANCEL);
        }));
        EXPECT_EQ(before, row.record());
    }
}

} // namespace
