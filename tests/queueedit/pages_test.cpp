/* Every page of the queue editor, driven from its own control table: what OK and Cancel do to
   the working copy. A page that is built adds its row to k_Pages; the table's controls are
   changed by kind, the row changes the rest (choosers answered from its list). */
#include "queueedit/editkit.h"
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

/* Changes every control of the page's table, each by its kind, then the rest by the row. */
void Change_Everything(HWND d, const PageRow &row)
{
    const PAGE_DEF *def = row.def;
    const Target *copy = ek::Page_Target(d);
    for (int i = 0; i < def->mapCount; i++) {
        const CTRL_MAP &c = def->map[i];
        SCOPED_TRACE(c.id);
        const int32_t *value = (const int32_t *)((const char *)copy + c.offset);
        switch (c.kind) {
        case CM_TEXT: {
            auto typed = row.texts.find(c.id);
            std::string text = typed != row.texts.end() ? typed->second : "Changed";
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
            for (int j = 0; j < i; j++) first = first && !(def->map[j].kind == CM_RADIO && def->map[j].offset == c.offset);
            if (!first) break;
            for (int j = i; j < def->mapCount; j++)
                if (def->map[j].kind == CM_RADIO && def->map[j].offset == c.offset && def->map[j].minimum != *value) {
                    dk::Click(d, def->map[j].id);
                    break;
                }
            break;
        }
        case CM_SPIN:
            break;
        }
    }
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

} // namespace
