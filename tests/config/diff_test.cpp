/* The difference between two configurations, line by line: one change of every field of an output
   queue, an input queue, an application, a preference and a user; renames, moves and deletions of
   queues that others refer to; and the two ways of pairing queues. */
#include "image_kit.h"
#include <functional>
#include <set>

namespace {

using Lines = std::vector<std::string>;

/* One change of one field of a record, and the lines it gives. */
template <class Record> struct FieldCase {
    const char *key;
    std::function<void(Record &)> change;
    std::vector<std::string> lines;
};

class ConfigDiff : public SmallConfig {
protected:
    /* Each case's change made to record gives its lines (each case on the configuration as it
       was), and every stored field of the table has a case. */
    template <class Record>
    void Check_Cases(const std::vector<FieldCase<Record>> &cases, Record &record, FIELD_TABLE table)
    {
        std::set<std::string> covered;
        for (const FieldCase<Record> &c : cases) {
            SCOPED_TRACE(c.key);
            covered.insert(c.key);
            Image before = Take();
            c.change(record);
            Image after = Take();
            EXPECT_EQ(c.lines, Diff_Lines(before.get(), after.get()));
            ASSERT_TRUE(Put_ConfigImage(before.get()));
        }
        for (int i = 0; i < Field_Count(table); i++) {
            const FIELD_DEF *f = Field_At(table, i);
            if (!(f->flags & FF_RUNTIME)) { EXPECT_TRUE(covered.count(f->key)) << f->key << " has no case"; }
        }
    }

    /* The lines of the difference that change makes to the live configuration; the change is
       undone afterwards. */
    Lines Lines_Of(const std::function<void()> &change, DIFF_PAIRING pairing = DIFF_PAIR_BY_LOAD)
    {
        Image before = Take();
        change();
        Image after = Take();
        Lines lines = Diff_Lines(before.get(), after.get(), pairing);
        EXPECT_TRUE(Put_ConfigImage(before.get()));
        return lines;
    }
};

std::string Q(const std::string &rest) { return "Queue \"Proofs\": " + rest; }

/* One change of each stored field of an output queue (the queue "Proofs", as the queue editor
   makes a new one, running C:\Rip\rip.exe -x). */
TEST_F(ConfigDiff, EachFieldOfAQueueChangedGivesItsLine)
{
    const std::vector<FieldCase<Target>> cases = {
        { "name", [](Target &t) { Copy_Field(t.name, "Proofer"); }, { "Queue \"Proofs\" renamed to \"Proofer\"" } },
        { "hidden", [](Target &t) { t.hidden = TRUE; }, { Q("Hide this queue (unless will suspend on error): No -> Yes") } },
        { "hot_directory", [](Target &t) { Copy_Field(t.hotDir, "D:\\Hot\\Proofs"); },
          { Q("Hot directory: C:\\Hot\\Proofs -> D:\\Hot\\Proofs") } },
        { "include_subdirectories", [](Target &t) { t.includeSubdirs = TRUE; }, { Q("Include subdirectories: No -> Yes") } },
        { "thumbnail_directory", [](Target &t) { Copy_Field(t.thumbnailDir, "C:\\Thumbs"); },
          { Q("Thumbnail image directory: (none) -> C:\\Thumbs") } },
        { "processes",
          [](Target &t) {
              Set_App(5, "C:\\Rip\\rip5.exe", "");
              t.processRef = 5;
          },
          { Q("Processes to run: C:\\Rip\\rip.exe -x -> C:\\Rip\\rip5.exe"), "Application \"C:\\Rip\\rip.exe\" deleted",
            "Application \"C:\\Rip\\rip5.exe\" added" } },
        { "parameters", [](Target &t) { Copy_Field(t.parameters, "-r 2400"); }, { Q("Parameters: (none) -> -r 2400") } },
        { "after_processing", [](Target &t) { t.afterAction = PLATES; },
          { Q("After processing: leave jobs where they are -> pass jobs to queue \"Plates\"") } },
        { "priority", [](Target &t) { t.priority = 2; }, { Q("Initial priority: Normal -> High") } },
        { "copies", [](Target &t) { t.copies = 2; }, { Q("Copies: 1 -> 2") } },
        { "done_directory", [](Target &t) { Copy_Field(t.doneDir, "D:\\Done"); },
          { Q("Done directory: C:\\Done -> D:\\Done") } },
        { "exclude_directory", [](Target &t) { Copy_Field(t.excludeFilterDir, "C:\\Excluded"); },
          { Q("Exclude pathname: (none) -> C:\\Excluded") } },
        { "beep_on_complete", [](Target &t) { t.beepOnComplete = TRUE; }, { Q("Beep when a job completes: No -> Yes") } },
        { "overwrite_in_done_directory", [](Target &t) { t.forceOverwriteDone = FALSE; },
          { Q("Force overwrite if file already exists in the done directory: Yes -> No") } },
        { "alert_on_error", [](Target &t) { t.alertOnError = TRUE; },
          { Q("Beep and display an alert box whenever an error occurs: No -> Yes") } },
        { "suspend_on_error", [](Target &t) { t.suspendOnError = TRUE; },
          { Q("Suspend this queue whenever an error occurs (unless hidden): No -> Yes") } },
        { "leave_in_queue", [](Target &t) { t.keepSeconds = 3600; }, { Q("Leave job in queue for: 5 seconds -> 1 hour") } },
        { "mutex_group", [](Target &t) { Copy_Field(t.mutexGroup, "Setters"); }, { Q("Mutex group: (none) -> Setters") } },
        { "output_identity", [](Target &t) { Copy_Field(t.outputIdentity, "CTP-1"); },
          { Q("Output identity: (none) -> CTP-1") } },
        { "initial_state", [](Target &t) { t.initialState = 7; }, { Q("Initial state: Not suspended -> Suspended") } },
        { "job_grouping", [](Target &t) { t.jobGrouping = TRUE; }, { Q("Enable job grouping: No -> Yes") } },
        { "thumbnails_on_arrival", [](Target &t) { t.thumbnailsOnArrival = TRUE; },
          { Q("Display thumbnails for all jobs as they arrive in the queue: No -> Yes") } },
        { "count_down", [](Target &t) { t.countDown = 5; }, { Q("Count jobs down: 1 -> 5") } },
        { "jobs_at_a_time", [](Target &t) { t.jobsAtATime = 4; }, { Q("Jobs at a time: 1 -> 4") } },
        { "time_out", [](Target &t) { t.timeoutSeconds = 125; }, { Q("Time-out: 5 minutes -> 2 minutes 5 seconds") } },
        { "at_time_out", [](Target &t) { t.timeoutAction = TIMEOUT_PROCESS; },
          { Q("At the time-out: never time out -> process the waiting jobs anyway") } },
        { "time_out_directory", [](Target &t) { Copy_Field(t.timeoutDir, "D:\\Waiting"); },
          { Q("Directory for waiting jobs: C:\\Waiting -> D:\\Waiting") } },
        { "overwrite_in_time_out_directory", [](Target &t) { t.forceOverwriteTimeout = FALSE; },
          { Q("Force overwrite if file already exists in the directory for waiting jobs: Yes -> No") } },
        { "open_files", [](Target &t) { t.openFilePolicy = 0; },
          { Q("Files that are still open: Don't process files while they are open with read or write access -> "
              "Always process files") } },
        { "thumbnails_when_active", [](Target &t) { t.thumbnailsWhenActive = TRUE; },
          { Q("Only display thumbnail image when job is active: No -> Yes") } },
        { "limit_done_files", [](Target &t) { t.limitDoneFiles = TRUE; },
          { Q("Limit number of files in this directory: No -> Yes") } },
        { "done_file_limit", [](Target &t) { t.doneFileLimit = 500; }, { Q("Limit number of files to: 10 -> 500") } },
        { "monitor_processes", [](Target &t) { t.monitorProcesses = TRUE; },
          { Q("This queue runs monitor processes: No -> Yes") } },
        { "no_processes",
          [](Target &t) {
              t.noProcesses = TRUE;
              Normalise_Target(&t);
          },
          { Q("Processes to run: C:\\Rip\\rip.exe -x -> (none)"), Q("This queue runs no processes: No -> Yes"),
            "Application \"C:\\Rip\\rip.exe\" deleted" } },
        { "extra_text", [](Target &t) { Copy_Field(t.extraText, "keep me"); }, { Q("Extra text: (none) -> keep me") } },
        { "file_filtering", [](Target &t) { t.filterFlags = 0x41; },
          { Q("File filtering: Include (0x0) -> Exclude, delete (0x41)") } },
        { "filter_extensions", [](Target &t) { Copy_Field(t.filterExtensions, "*.pdf"); },
          { Q("Filter extensions: (none) -> *.pdf") } },
        { "hold_all_jobs", [](Target &t) { t.holdAllJobs = TRUE; }, { Q("Hold all jobs: No -> Yes") } },
        { "icon", [](Target &t) { Copy_Field(t.iconPath, "C:\\Icons\\p.ico"); }, { Q("Icon: (none) -> C:\\Icons\\p.ico") } },
        { "launch_application", [](Target &t) { Copy_Field(t.launchAppPath, "C:\\Apps\\Viewer.exe"); },
          { Q("Launch application path: (none) -> C:\\Apps\\Viewer.exe") } },
        { "switch_if_idle", [](Target &t) { t.switchIfIdle = TRUE; },
          { Q("Switch to another queue if no jobs to process: No -> Yes") } },
    };
    Check_Cases(cases, targets[PROOFS], FT_TARGET);
}

TEST_F(ConfigDiff, RuntimeFieldsAreNoChange)
{
    EXPECT_EQ(Lines(), Lines_Of([] {
                  targets[PROOFS].slotIndex = 9;
                  targets[PROOFS].parametersIsFile = TRUE;
                  targets[PROOFS].legacyCompatV3 = 1;
                  Copy_Field(targets[PROOFS].includeFilterDir, "C:\\In");
                  targets[PROOFS].icon = (HICON)(INT_PTR)0x40;
                  apps[RIP].icon = (HICON)(INT_PTR)0x44;
                  Copy_Field(apps[RIP].iconPath, "C:\\x.ico");
                  apps[40].free = FALSE;                       /* an application no queue runs */
                  Copy_Field(apps[40].path, "C:\\Unused.exe");
              }));
}

/* What a queue runs with belongs to its application or group; the lines are the queue's. */
TEST_F(ConfigDiff, TheSettingsOfWhatAQueueRunsAreTheQueuesLines)
{
    EXPECT_EQ(Lines({ Q("Runtime priority: Normal -> High") }), Lines_Of([] { apps[RIP].priority = 'H'; }));
    EXPECT_EQ(Lines({ Q("When processing jobs in this queue make other queues stop: No -> Yes") }),
              Lines_Of([] { apps[RIP].runAlone = 1; }));
    EXPECT_EQ(Lines({ "Queue \"Plates\": Run the processes: in series -> in parallel" }),
              Lines_Of([] { appGroups[0].parallel = TRUE; }));
    EXPECT_EQ(Lines({ "Queue \"Plates\": Runtime priority: Normal -> Real Time" }),
              Lines_Of([] { appGroups[0].priority = 'R'; }));
    EXPECT_EQ(Lines({ "Queue \"Plates\": Processes to run: \"C:\\Program Files\\Plate\\plate.exe\"; "
                      "C:\\Tools\\preflight.exe -strict -> \"C:\\Program Files\\Plate\\plate.exe\"; "
                      "C:\\Tools\\preflight.exe -strict; C:\\Rip\\rip.exe -x" }),
              Lines_Of([] {
                  appGroups[0].members[2] = RIP;
                  appGroups[0].count = 3;
              }));
    /* a queue that took another application's place in the same slot is no change when the
       application is the same */
    EXPECT_EQ(Lines(), Lines_Of([] {
                  apps[9] = apps[RIP];
                  targets[PROOFS].processRef = 9;
                  apps[RIP].free = TRUE;
              }));
}

/* ---- input queues ---- */

std::string I(const std::string &rest) { return "Input queue \"Intake\": " + rest; }

TEST_F(ConfigDiff, EachFieldOfAnInputQueueChangedGivesItsLine)
{
    const std::vector<FieldCase<LBQ>> cases = {
        { "name", [](LBQ &q) { Copy_Field(q.name, "Inbox"); }, { "Input queue \"Intake\" renamed to \"Inbox\"" } },
        { "hot_directory", [](LBQ &q) { Copy_Field(q.hotDir, "D:\\Hot\\Intake"); },
          { I("Hot directory: C:\\Hot\\Intake -> D:\\Hot\\Intake") } },
        { "include_subdirectories", [](LBQ &q) { q.includeSubdirs = TRUE; }, { I("Include subdirectories: No -> Yes") } },
        { "priority", [](LBQ &q) { q.priority = 1; }, { I("Priority: Normal -> Highest") } },
        { "copies", [](LBQ &q) { q.copies = 3; }, { I("Copies: 1 -> 3") } },
        { "copy_split_size", [](LBQ &q) { q.minCopiesSplitSize = 5; }, { I("Copy split size: 0 -> 5") } },
        { "page_split_size", [](LBQ &q) { q.minPagesSplitSize = 7; }, { I("Page split size: 0 -> 7") } },
        { "job_group_identification_rule", [](LBQ &q) { q.fileGroupIdRule = 2; },
          { I("Job group identification rule: None -> All seps for a job. Use filename mask") } },
        { "output_groups", [](LBQ &q) { q.fileGroupRule = 1; }, { I("Try to output groups: Don't care -> On the same device") } },
        { "job_reassignment_rule", [](LBQ &q) { q.jobReassignmentRule = 3; },
          { I("Job reassignment rule: All jobs except user-moved -> All jobs but don't split groups") } },
        { "job_waiting_time_or_priority", [](LBQ &q) { q.timePriorityValue = 80; },
          { I("Job waiting time (1) to job priority (100): 50 -> 80") } },
        { "ignore_jobs_older_than", [](LBQ &q) { q.fileGroupPurgeMinutes = 90; },
          { I("Ignore jobs older than: 10 minutes -> 1 hour 30 minutes") } },
        { "balancing_enabled", [](LBQ &q) { q.queueGroupEnabled = 0; }, { I("Balancing enabled: Yes -> No") } },
        { "outputs",
          [](LBQ &q) {
              q.outputs[PLATES] = 1;
              q.outputs[PROOFS] = 0;
          },
          { I("output \"Proofs\" removed"), I("output \"Plates\" added") } },
    };
    Check_Cases(cases, lbqs[0], FT_LBQ);
}

/* ---- applications ---- */

std::string A(const std::string &rest) { return "Application \"C:\\Rip\\rip.exe\": " + rest; }

TEST_F(ConfigDiff, EachFieldOfAnApplicationChangedGivesItsLine)
{
    const std::vector<FieldCase<App>> cases = {
        { "path", [](App &a) { Copy_Field(a.path, "c:\\rip\\RIP.exe"); },
          { Q("Processes to run: C:\\Rip\\rip.exe -x -> c:\\rip\\RIP.exe -x"),
            "Application \"c:\\rip\\RIP.exe\": Path: C:\\Rip\\rip.exe -> c:\\rip\\RIP.exe" } },
        { "arguments", [](App &a) { Copy_Field(a.args, "-y"); },
          { Q("Processes to run: C:\\Rip\\rip.exe -x -> C:\\Rip\\rip.exe -y"), A("Arguments: -x -> -y") } },
        { "run_alone", [](App &a) { a.runAlone = 1; },
          { Q("When processing jobs in this queue make other queues stop: No -> Yes") } },
        { "runtime_priority", [](App &a) { a.priority = 'I'; }, { Q("Runtime priority: Normal -> Low") } },
        { "compatible_v3", [](App &a) { a.compatV3 = 0; }, { A("This process is compatible with Ostra v3.0: Yes -> No") } },
        { "resident", [](App &a) { a.resident = TRUE; }, { A("This process is a Resident Process: No -> Yes") } },
        { "run_as", [](App &a) { a.showCommand = 6; },
          { A("Run this process as: hidden (no window visible) -> a minimised window") } },
        { "not_written_for_ostra", [](App &a) { a.nonNative = TRUE; },
          { A("This process is not written for Ostra: No -> Yes") } },
        { "reserved_option", [](App &a) { a.reservedFlag = TRUE; }, { A("Reserved option: No -> Yes") } },
    };
    Check_Cases(cases, apps[RIP], FT_APP);
}

/* Two applications of one path pair by their arguments before they pair by path alone. */
TEST_F(ConfigDiff, ApplicationsOfOnePathPairByTheirArgumentsFirst)
{
    Set_App(6, "C:\\Rip\\rip.exe", "-fast");
    targets[ARCHIVE].noProcesses = FALSE;
    targets[ARCHIVE].processRef = 6;
    EXPECT_EQ(Lines({ "Queue \"Archive\": Processes to run: C:\\Rip\\rip.exe -fast -> C:\\Rip\\rip.exe -faster",
                      "Application \"C:\\Rip\\rip.exe\": Arguments: -fast -> -faster" }),
              Lines_Of([] { Copy_Field(apps[6].args, "-faster"); }));
    /* the queue that runs -x swaps slots with it: nothing changed */
    EXPECT_EQ(Lines(), Lines_Of([] {
                  App x = apps[RIP];
                  apps[RIP] = apps[6];
                  apps[6] = x;
                  targets[PROOFS].processRef = 6;
                  targets[ARCHIVE].processRef = RIP;
              }));
}

/* ---- preferences and users ---- */

TEST_F(ConfigDiff, EachPreferenceChangedGivesItsLine)
{
    struct PrefCase { const char *key, *text, *line; };
    const PrefCase cases[] = {
        { "spooler_file_settle_time", "42", "Before queuing new jobs, allow them to settle for: 15 seconds -> 42 seconds" },
        { "spooler_max_logsize", "5000", "Truncate whenever file gets to: 1000 lines -> 5000 lines" },
        { "spooler_min_logsize", "200", "When truncating, cut log file back to: 100 lines -> 200 lines" },
        { "spooler_use_minimised_image_windows", "Yes", "Minimise low resolution image windows on creation: No -> Yes" },
        { "spooler_draw_whole_images_only", "Yes", "Show low resolution images only when complete: No -> Yes" },
        { "spooler_jobname_groupmask", "1>011.TIF",
          "Mask for extracting the original job's name from a separation's filename: 01>011.TIF -> 1>011.TIF" },
        { "spooler_jobname_sepidmask", "0>100.TIF",
          "Mask for extracting the colour letter (C,M,Y,K) from a separation's filename: 00>100.TIF -> 0>100.TIF" },
        { "spooler_trunc_hist_every", "3600", "Truncate the history every: 7200 -> 3600" },
        { "spooler_max_hist_records", "777", "Maximum number of history records: 5000 -> 777" },
        { "spooler_pim", "Yes", "Enable the PIM (barcode/file name automatic requeue): No -> Yes" },
        { "pim_auto_resume_job", "Yes", "Always resume jobs requeued by the PIM: No -> Yes" },
        { "plate_search_app", "\"C:\\Find.exe\"", "Identifier search application: (none) -> \"C:\\Find.exe\"" },
        { "require_login", "Yes", "Require Ostra user login: No -> Yes" },
        { "spooler_logfile_address", "ops@shop", "Mail to: (none) -> ops@shop" },
        { "honour_subdirs", "No", "Honour subdirectories when moving jobs, if they exist in the target: Yes -> No" },
        { "open_queue_folder", "Yes", "Show \"Open folder\" on a queue's context menu: No -> Yes" },
        { "show_comms_server", "Yes", "Show the comms server dialog: No -> Yes" },
        { "comms_server_port", "0x1F90", "Port number of comms server: none -> 0x1F90" },
    };
    std::set<std::string> covered;
    for (const PrefCase &c : cases) {
        SCOPED_TRACE(c.key);
        covered.insert(c.key);
        const FIELD_DEF *f = Find_FieldByKey(FT_PREFS, c.key);
        ASSERT_NE(nullptr, f);
        Image before = Take();
        Image after = Take();
        FIELD_PARSE r;
        ASSERT_TRUE(Parse_FieldValue(f, c.text, &after->prefs, &r)) << r.why;
        CONFIG_DIFF *d = Diff_Configs(before.get(), after.get(), DIFF_PAIR_BY_LOAD);
        ASSERT_NE(nullptr, d);
        ASSERT_EQ(1, d->count);
        EXPECT_EQ(DIFF_PREFERENCE, d->rows[0].about);
        EXPECT_EQ(f, d->rows[0].field);
        EXPECT_STREQ(Prefs_FileKey(f), d->rows[0].name);
        char line[1024];
        Format_DiffRow(&d->rows[0], line, sizeof line);
        EXPECT_EQ(std::string("Preferences: ") + c.line, line);
        Free_ConfigDiff(d);
    }
    for (int i = 0; i < Field_Count(FT_PREFS); i++) {
        const FIELD_DEF *f = Field_At(FT_PREFS, i);
        if (!(f->flags & FF_RUNTIME)) { EXPECT_TRUE(covered.count(f->key)) << f->key << " has no case"; }
    }
    /* the port written another way is a change; the preset index follows the masks and is none */
    SpoolerGlobals.COMMS_SERVER_PORT = 8080;
    EXPECT_EQ(Lines({ "Preferences: Port number of comms server: 8080 -> 0x1F90" }),
              Lines_Of([] { SpoolerGlobals.portIsHex = TRUE; }));
    EXPECT_EQ(Lines(), Lines_Of([] { SpoolerGlobals.RIPIndex = 1; }));
}

TEST_F(ConfigDiff, UsersAreAddedDeletedRenamedAndTheirPasswordsChangedUnseen)
{
    EXPECT_EQ(Lines(), Lines_Of([] { Replace_User(1, "ben", ""); }));
    Lines lines = Lines_Of([] {
        Replace_User(0, "Anna", "secret2");
        Remove_User(1);
        Add_User("carl", "pw3");
    });
    EXPECT_EQ(Lines({ "User \"ben\" deleted", "User \"anna\" renamed to \"Anna\"", "User \"Anna\": password changed",
                      "User \"carl\" added" }),
              lines);
    for (const std::string &l : lines)
        for (const char *pw : { "secret1", "secret2", "pw3" }) EXPECT_EQ(std::string::npos, l.find(pw)) << l;
}

/* ---- queues that others refer to, moves and deletions ---- */

TEST_F(ConfigDiff, ARenamedQueueStillPassedToIsARenameAlone)
{
    EXPECT_EQ(Lines({ "Queue \"Archive\" renamed to \"Archive 2\"" }),
              Lines_Of([] { Copy_Field(targets[ARCHIVE].name, "Archive 2"); }));
}

TEST_F(ConfigDiff, AMoveIsTheQueueThatChangedItsOrderNotThoseItPassed)
{
    EXPECT_EQ(Lines({ "Queue \"Archive\" moved from 3 to 1" }), Lines_Of([] { Move_Target(ARCHIVE, 0); }));
    /* Up on the second queue: it moved, not the first */
    EXPECT_EQ(Lines({ "Queue \"Plates\" moved from 2 to 1" }), Lines_Of([] { Move_Target(PLATES, PROOFS); }));
    /* a deletion above a queue shifts it without moving it */
    Lines lines = Lines_Of([] { Delete_Target(PROOFS); });
    for (const std::string &l : lines) EXPECT_EQ(std::string::npos, l.find(" moved from ")) << l;
    /* a queue added at the end and then moved to the top is an addition */
    EXPECT_EQ(Lines({ "Queue \"New\" added" }), Lines_Of([this] {
                  int at = Add_Queue("New", "C:\\Hot\\New");
                  targets[at].loadIndex = -1;
                  Move_Target(at, 0);
              }));
}

TEST_F(ConfigDiff, DeletingAQueueThatOthersReferToShowsWhatBecameOfTheReferences)
{
    targets[PROOFS].timeoutAction = ARCHIVE;
    /* a time-out that passed waiting jobs to the deleted queue now never times out, with the
       default folder */
    EXPECT_EQ(Lines({ "Queue \"Archive\" deleted",
                      "Queue \"Proofs\": At the time-out: pass waiting jobs to queue \"Archive\" -> never time out",
                      Homed("Queue \"Proofs\": Directory for waiting jobs: C:\\Waiting -> @HOME@\\Timed Out Waiting"),
                      "Queue \"Plates\": After processing: pass jobs to queue \"Archive\" -> leave jobs where they are",
                      "Input queue \"Intake\": output \"Archive\" removed" }),
              Lines_Of([] { Delete_Target(ARCHIVE); }));
}

TEST_F(ConfigDiff, ADeletedQueueAboveOthersLeavesTheirReferencesAlone)
{
    EXPECT_EQ(Lines({ "Queue \"Proofs\" deleted", "Input queue \"Intake\": output \"Proofs\" removed",
                      "Application \"C:\\Rip\\rip.exe\" deleted" }),
              Lines_Of([] { Delete_Target(PROOFS); }));
    EXPECT_EQ(Lines({ "Input queue \"Intake\" deleted" }), Lines_Of([] { Delete_LBQ(0); }));
}

TEST_F(ConfigDiff, AnAddedQueueIsOneLine)
{
    EXPECT_EQ(Lines({ "Queue \"Copy of Proofs\" added" }), Lines_Of([] { Copy_Target(PROOFS); }));
}

/* A backup against the configuration now: the numbers at load mean nothing to each other, the
   names pair the queues. */
TEST_F(ConfigDiff, PairedByNameABackupShowsWhatChangedSinceIt)
{
    Image backup = Take();
    for (int i = 0; i < targetCount; i++) targets[i].loadIndex = 10 + (targetCount - i);
    lbqs[0].loadIndex = 30;
    Copy_Field(targets[PROOFS].name, "PROOFS");                   /* paired, and renamed */
    Copy_Field(targets[ARCHIVE].name, "Archive 2");
    targets[PLATES].copies = 4;
    Image now = Take();

    EXPECT_EQ(Lines({ "Queue \"Archive\" deleted", "Queue \"Proofs\" renamed to \"PROOFS\"",
                      "Queue \"Plates\": After processing: pass jobs to queue \"Archive\" -> pass jobs to queue \"Archive 2\"",
                      "Queue \"Plates\": Copies: 1 -> 4",
                      "Queue \"Archive 2\" added", "Input queue \"Intake\": output \"Archive\" removed",
                      "Input queue \"Intake\": output \"Archive 2\" added" }),
              Diff_Lines(backup.get(), now.get(), DIFF_PAIR_BY_NAME));
    /* the same two by their numbers at load pair nothing at all */
    Lines byLoad = Diff_Lines(backup.get(), now.get(), DIFF_PAIR_BY_LOAD);
    EXPECT_EQ("Queue \"Proofs\" deleted", byLoad.front());
}

TEST_F(ConfigDiff, TheSameConfigurationHasNoDifference)
{
    Image a = Take();
    Image b = Take();
    CONFIG_DIFF *d = Diff_Configs(a.get(), b.get(), DIFF_PAIR_BY_LOAD);
    ASSERT_NE(nullptr, d);
    EXPECT_EQ(0, d->count);
    Free_ConfigDiff(d);
}

/* The rows carry what a caller groups and opens by: kind, subject, positions and the field's row. */
TEST_F(ConfigDiff, RowsSayWhatTheyAreAbout)
{
    Image before = Take();
    targets[PLATES].copies = 3;
    Move_Target(PLATES, 0);
    Image after = Take();
    CONFIG_DIFF *d = Diff_Configs(before.get(), after.get(), DIFF_PAIR_BY_LOAD);
    ASSERT_NE(nullptr, d);
    ASSERT_EQ(2, d->count);
    EXPECT_EQ(DIFF_MOVED, d->rows[0].kind);
    EXPECT_EQ(DIFF_CHANGED, d->rows[1].kind);
    EXPECT_EQ(DIFF_QUEUE, d->rows[1].about);
    EXPECT_STREQ("Plates", d->rows[1].name);
    EXPECT_EQ(PLATES, d->rows[1].oldPos);
    EXPECT_EQ(0, d->rows[1].newPos);
    EXPECT_EQ(Find_FieldByKey(FT_TARGET, "copies"), d->rows[1].field);
    EXPECT_EQ(QPAGE_JOBSETTINGS, d->rows[1].field->page);
    EXPECT_STREQ("1", d->rows[1].oldValue);
    EXPECT_STREQ("3", d->rows[1].newValue);
    char line[16];
    EXPECT_FALSE(Format_DiffRow(&d->rows[1], line, sizeof line));     /* cut, and said */
    EXPECT_EQ(15u, strlen(line));
    Free_ConfigDiff(d);
}

} // namespace
