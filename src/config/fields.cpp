#include "config/fields.h"
#include "config/image.h"
#include "config/lbfile.h"
#include "config/limits.h"
#include "config/prefsfile.h"
#include "config/users.h"
#include "common/text.h"
#include <ctype.h>
#include <stdlib.h>
#include <string.h>

/* ---- the values of choices ---- */

/* The initial priority table of Job Settings and the input queue editor; the list position is
   the value - 1. */
static const FIELD_CHOICE k_Priorities[] = {
    { 1, "Highest" }, { 2, "High" }, { 3, "Above Normal" }, { 4, "Normal" },
    { 5, "Below Normal" }, { 6, "Low" }, { 7, "Lowest" },
};
/* A stored 1 reads as suspended, and is saved as 7 by Job Settings. */
static const FIELD_CHOICE k_InitialStates[] = { { 0, "Not suspended" }, { 7, "Suspended" }, { 1, "Suspended" } };
static const FIELD_CHOICE k_OpenFilePolicies[] = {
    { 0, "Always process files" },
    { 1, "Don't process files while they are open with write access" },
    { 2, "Don't process files while they are open with read or write access" },
};
static const FIELD_CHOICE k_AfterActions[] = {
    { AFTER_DELETE, "delete jobs" },
    { AFTER_MOVE_DONE, "move jobs to the done directory" },
    { AFTER_LEAVE, "leave jobs where they are" },
    { AFTER_RECYCLE, "send jobs to the recycle bin" },
};
static const FIELD_CHOICE k_TimeoutActions[] = {
    { TIMEOUT_NEVER, "never time out" },
    { TIMEOUT_PROCESS, "process the waiting jobs anyway" },
    { TIMEOUT_MOVE, "move waiting jobs to the directory for waiting jobs" },
    { TIMEOUT_RECYCLE, "send waiting jobs to the recycle bin" },
    { TIMEOUT_DELETE, "delete waiting jobs" },
};
static const FIELD_CHOICE k_LegacyCompat[] = { { 0, "No" }, { 1, "Yes" }, { 2, "Not stated" } };

static const FIELD_CHOICE k_GroupIdRules[] = {
    { 0, fileGroupIdRules[0].label }, { 1, fileGroupIdRules[1].label }, { 2, fileGroupIdRules[2].label },
};
static const FIELD_CHOICE k_GroupRules[] = {
    { 0, fileGroupRules[0].label }, { 1, fileGroupRules[1].label }, { 2, fileGroupRules[2].label },
};
static const FIELD_CHOICE k_ReassignmentRules[] = {
    { 0, jobReassignmentRules[0].label }, { 1, jobReassignmentRules[1].label },
    { 2, jobReassignmentRules[2].label }, { 3, jobReassignmentRules[3].label },
};

static const FIELD_CHOICE k_RunAlone[] = { { 1, "Yes" }, { 0, "No" }, { -1, "Only through groups" } };
/* The Processes page's runtime priority table, and the letter of an application used only as a
   group member. */
static const FIELD_CHOICE k_RuntimePriorities[] = {
    { 'R', "Real Time" }, { 'H', "High" }, { 'N', "Normal" }, { 'I', "Low" }, { 'U', "Only through groups" },
};
static const FIELD_CHOICE k_CompatV3[] = { { 1, "Yes" }, { 0, "No" }, { 2, "Not stated" } };
static const FIELD_CHOICE k_ShowCommands[] = {
    { 1, "a normal window" }, { 6, "a minimised window" }, { 0, "hidden (no window visible)" },
};
static const FIELD_CHOICE k_Parallel[] = { { 1, "in parallel" }, { 0, "in series" } };

/* ---- what the readers make of numbers (kept beside the readers' own rules: the tests read the
   same values through the queues file and through Parse_FieldValue) ---- */

static int32_t Read_InitialState(int32_t v) { return v == 1 ? 7 : (v == 0 || v == 7) ? v : 0; }
static int32_t Read_OpenFilePolicy(int32_t v) { return In_Range(v, LIMIT_OPEN_FILE_POLICY) ? v : 2; }
static int32_t Read_AfterAction(int32_t v) { return (v <= -5 || v >= MAX_TARGETS) ? AFTER_LEAVE : v; }
static int32_t Read_TimeoutAction(int32_t v) { return (v > MAX_TARGETS || v < TIMEOUT_DELETE) ? TIMEOUT_NEVER : v; }
static int32_t Read_RuntimePriority(int32_t v) { return (v == 'R' || v == 'H' || v == 'N' || v == 'I') ? v : 'N'; }

/* ---- the tables ---- */

#define CHOICES(c) c, (int)ARRAY_LEN(c)
#define T(f) offsetof(Target, f), sizeof(((Target *)0)->f)
#define L(f) offsetof(LBQ, f), sizeof(((LBQ *)0)->f)
#define A(f) offsetof(App, f), sizeof(((App *)0)->f)
#define G(f) offsetof(AppGroup, f), sizeof(((AppGroup *)0)->f)
#define U(f) offsetof(User, f), sizeof(((User *)0)->f)

static constexpr FIELD_DEF Flag(const char *key, const char *label, QUEUE_PAGE page, size_t offset, size_t size)
{
    return Field_Row(key, label, page, FK_FLAG, FS_INT32, offset, size);
}
static constexpr FIELD_DEF Text(const char *key, const char *label, QUEUE_PAGE page, size_t offset, size_t size)
{
    return Field_Row(key, label, page, FK_TEXT, FS_TEXT, offset, size);
}
static constexpr FIELD_DEF Path(const char *key, const char *label, QUEUE_PAGE page, size_t offset, size_t size)
{
    return Field_Row(key, label, page, FK_PATH, FS_TEXT, offset, size);
}
static constexpr FIELD_DEF Number(const char *key, const char *label, QUEUE_PAGE page, size_t offset, size_t size,
                                  FIELD_RANGE range)
{
    return With_Range(Field_Row(key, label, page, FK_NUMBER, FS_INT32, offset, size), range);
}
static constexpr FIELD_DEF Seconds(const char *key, const char *label, QUEUE_PAGE page, size_t offset, size_t size,
                                   FIELD_RANGE range)
{
    return With_Unit(With_Range(Field_Row(key, label, page, FK_DURATION, FS_INT32, offset, size), range), NULL, 1);
}
static constexpr FIELD_DEF Choice(const char *key, const char *label, QUEUE_PAGE page, size_t offset, size_t size,
                                  const FIELD_CHOICE *choices, int count)
{
    return With_Choices(Field_Row(key, label, page, FK_CHOICE, FS_INT32, offset, size), choices, count);
}
static constexpr FIELD_DEF Runtime(FIELD_DEF f) { return With_Flags(f, FF_RUNTIME); }
static constexpr FIELD_DEF Stored_As(FIELD_DEF f, FIELD_STORAGE storage)
{
    f.storage = storage;
    return f;
}

/* Every field of Target, in the order of the record. */
static const FIELD_DEF k_TargetFields[] = {
    Flag("hidden", "Hide this queue (unless will suspend on error)", QPAGE_JOBSETTINGS, T(hidden)),
    Runtime(Number("slot_index", "Slot", QPAGE_NONE, T(slotIndex), FIELD_RANGE{ 0, MAX_TARGETS - 1 })),
    Runtime(Number("load_index", "Number in the queues file at load", QPAGE_NONE, T(loadIndex),
                   FIELD_RANGE{ -1, MAX_QUEUES - 1 })),
    Text("name", "Name", QPAGE_OVERVIEW, T(name)),
    Path("hot_directory", "Hot directory", QPAGE_INPUTS, T(hotDir)),
    Flag("include_subdirectories", "Include subdirectories", QPAGE_INPUTS, T(includeSubdirs)),
    Path("thumbnail_directory", "Thumbnail image directory", QPAGE_THUMBDIR, T(thumbnailDir)),
    Field_Row("processes", "Processes to run", QPAGE_PROCESSES, FK_PROCESSES, FS_INT32, T(processRef)),
    Text("parameters", "Parameters", QPAGE_INSTRUCTIONS, T(parameters)),
    With_ReadRule(With_Reference(Choice("after_processing", "After processing", QPAGE_CLEANUP, T(afterAction),
                                        CHOICES(k_AfterActions)),
                                 "pass jobs to queue \"%s\""),
                  Read_AfterAction),
    With_Range(Choice("priority", "Initial priority", QPAGE_JOBSETTINGS, T(priority), CHOICES(k_Priorities)),
               LIMIT_PRIORITY),
    Number("copies", "Copies", QPAGE_JOBSETTINGS, T(copies), LIMIT_COPIES),
    Path("done_directory", "Done directory", QPAGE_CLEANUP, T(doneDir)),
    Path("exclude_directory", "Exclude pathname", QPAGE_JOBSETTINGS, T(excludeFilterDir)),
    Flag("beep_on_complete", "Beep when a job completes", QPAGE_CLEANUP, T(beepOnComplete)),
    Flag("overwrite_in_done_directory", "Force overwrite if file already exists in the done directory",
         QPAGE_CLEANUP, T(forceOverwriteDone)),
    Flag("alert_on_error", "Beep and display an alert box whenever an error occurs", QPAGE_CLEANUP, T(alertOnError)),
    Flag("suspend_on_error", "Suspend this queue whenever an error occurs (unless hidden)", QPAGE_CLEANUP,
         T(suspendOnError)),
    Seconds("leave_in_queue", "Leave job in queue for", QPAGE_CLEANUP, T(keepSeconds), LIMIT_KEEP_SECONDS),
    Runtime(Flag("uses_group", "Runs several processes", QPAGE_PROCESSES, T(usesGroup))),
    Runtime(Flag("parameters_are_a_file", "This is a file", QPAGE_INSTRUCTIONS, T(parametersIsFile))),
    Text("mutex_group", "Mutex group", QPAGE_IDENTITY, T(mutexGroup)),
    Text("output_identity", "Output identity", QPAGE_IDENTITY, T(outputIdentity)),
    With_ReadRule(Choice("initial_state", "Initial state", QPAGE_JOBSETTINGS, T(initialState),
                         CHOICES(k_InitialStates)),
                  Read_InitialState),
    Flag("job_grouping", "Enable job grouping", QPAGE_JOBSETTINGS, T(jobGrouping)),
    Flag("thumbnails_on_arrival", "Display thumbnails for all jobs as they arrive in the queue", QPAGE_JOBSETTINGS,
         T(thumbnailsOnArrival)),
    Number("count_down", "Count jobs down", QPAGE_JOBSETTINGS, T(countDown), LIMIT_COUNT_DOWN),
    Number("jobs_at_a_time", "Jobs at a time", QPAGE_MULTIJOB, T(jobsAtATime), LIMIT_JOBS_AT_A_TIME),
    /* read from older files and carried into the applications at load; written as 0 */
    Runtime(With_Range(Choice("legacy_compatibility", "Compatible with v3.0 messages (older setting)", QPAGE_NONE,
                              T(legacyCompatV3), CHOICES(k_LegacyCompat)),
                       LIMIT_LEGACY_COMPAT)),
    Seconds("time_out", "Time-out", QPAGE_MULTIJOB, T(timeoutSeconds), LIMIT_TIMEOUT_SECONDS),
    With_ReadRule(With_Reference(Choice("at_time_out", "At the time-out", QPAGE_MULTIJOB, T(timeoutAction),
                                        CHOICES(k_TimeoutActions)),
                                 "pass waiting jobs to queue \"%s\""),
                  Read_TimeoutAction),
    Path("time_out_directory", "Directory for waiting jobs", QPAGE_MULTIJOB, T(timeoutDir)),
    Flag("overwrite_in_time_out_directory", "Force overwrite if file already exists in the directory for waiting jobs",
         QPAGE_MULTIJOB, T(forceOverwriteTimeout)),
    With_ReadRule(Choice("open_files", "Files that are still open", QPAGE_JOBSETTINGS, T(openFilePolicy),
                         CHOICES(k_OpenFilePolicies)),
                  Read_OpenFilePolicy),
    Flag("thumbnails_when_active", "Only display thumbnail image when job is active", QPAGE_JOBSETTINGS,
         T(thumbnailsWhenActive)),
    Flag("limit_done_files", "Limit number of files in this directory", QPAGE_CLEANUP, T(limitDoneFiles)),
    Number("done_file_limit", "Limit number of files to", QPAGE_CLEANUP, T(doneFileLimit), LIMIT_DONE_FILE_LIMIT),
    Flag("monitor_processes", "This queue runs monitor processes", QPAGE_PROCESSES, T(monitorProcesses)),
    Flag("no_processes", "This queue runs no processes", QPAGE_PROCESSES, T(noProcesses)),
    /* read from the queues file and written back; no page shows it */
    Text("extra_text", "Extra text", QPAGE_NONE, T(extraText)),
    Field_Row("file_filtering", "File filtering", QPAGE_JOBSETTINGS, FK_FILTER, FS_UINT32, T(filterFlags)),
    Text("filter_extensions", "Filter extensions", QPAGE_JOBSETTINGS, T(filterExtensions)),
    Flag("hold_all_jobs", "Hold all jobs", QPAGE_PROCESSES, T(holdAllJobs)),
    Path("icon", "Icon", QPAGE_INPUTS, T(iconPath)),
    Runtime(Field_Row("icon_handle", "Icon", QPAGE_INPUTS, FK_HANDLE, FS_HANDLE, T(icon))),
    Path("launch_application", "Launch application path", QPAGE_PROCESSES, T(launchAppPath)),
    /* the queues file has no place for it */
    Runtime(Path("include_directory", "Directory for included files", QPAGE_JOBSETTINGS, T(includeFilterDir))),
    Flag("switch_if_idle", "Switch to another queue if no jobs to process", QPAGE_IDENTITY, T(switchIfIdle)),
};

/* Every field of LBQ, in the order of the record. */
static const FIELD_DEF k_LbqFields[] = {
    Runtime(Number("load_index", "Number in the queues file at load", QPAGE_NONE, L(loadIndex),
                   FIELD_RANGE{ -1, MAX_QUEUES - 1 })),
    Text("name", "Queue name", QPAGE_INPUTQUEUE, L(name)),
    Path("hot_directory", "Hot directory", QPAGE_INPUTQUEUE, L(hotDir)),
    Flag("include_subdirectories", "Include subdirectories", QPAGE_INPUTQUEUE, L(includeSubdirs)),
    With_Range(Choice("priority", "Priority", QPAGE_INPUTQUEUE, L(priority), CHOICES(k_Priorities)), LIMIT_PRIORITY),
    Number("copies", "Copies", QPAGE_INPUTQUEUE, L(copies), LIMIT_COPIES),
    Number("copy_split_size", "Copy split size", QPAGE_INPUTQUEUE, L(minCopiesSplitSize), LIMIT_SPLIT_SIZE),
    Number("page_split_size", "Page split size", QPAGE_NONE, L(minPagesSplitSize), LIMIT_SPLIT_SIZE),
    Stored_As(With_Range(Choice("job_group_identification_rule", "Job group identification rule", QPAGE_INPUTQUEUE,
                                L(fileGroupIdRule), CHOICES(k_GroupIdRules)),
                         FIELD_RANGE{ 0, 2 }),
              FS_UINT8),
    Stored_As(With_Range(Choice("output_groups", "Try to output groups", QPAGE_INPUTQUEUE, L(fileGroupRule),
                                CHOICES(k_GroupRules)),
                         FIELD_RANGE{ 0, 2 }),
              FS_UINT8),
    Stored_As(With_Range(Choice("job_reassignment_rule", "Job reassignment rule", QPAGE_INPUTQUEUE,
                                L(jobReassignmentRule), CHOICES(k_ReassignmentRules)),
                         FIELD_RANGE{ 0, 3 }),
              FS_UINT8),
    Stored_As(Number("job_waiting_time_or_priority", "Job waiting time (1) to job priority (100)",
                     QPAGE_INPUTQUEUE, L(timePriorityValue), LIMIT_TIME_PRIORITY),
              FS_UINT8),
    With_Unit(Seconds("ignore_jobs_older_than", "Ignore jobs older than", QPAGE_INPUTQUEUE, L(fileGroupPurgeMinutes),
                      LIMIT_PURGE_MINUTES),
              NULL, 60),
    Flag("balancing_enabled", "Balancing enabled", QPAGE_INPUTQUEUE, L(queueGroupEnabled)),
    Field_Row("outputs", "Output queues to balance between", QPAGE_INPUTQUEUE, FK_QUEUE_SET, FS_INT32_ARRAY,
              L(outputs)),
};

/* Every field of App, in the order of the record. */
static const FIELD_DEF k_AppFields[] = {
    With_Flags(Flag("free", "Free slot", QPAGE_NONE, A(free)), FF_RUNTIME | FF_SLOT),
    Runtime(Field_Row("icon_handle", "Icon", QPAGE_PROCESSES, FK_HANDLE, FS_HANDLE, A(icon))),
    Path("path", "Path", QPAGE_PROCESSES, A(path)),
    Text("arguments", "Arguments", QPAGE_PROCESSES, A(args)),
    Choice("run_alone", "When processing jobs in this queue make other queues stop", QPAGE_PROCESSES, A(runAlone),
           CHOICES(k_RunAlone)),
    With_ReadRule(Stored_As(Choice("runtime_priority", "Runtime priority", QPAGE_PROCESSES, A(priority),
                                   CHOICES(k_RuntimePriorities)),
                            FS_CHAR),
                  Read_RuntimePriority),
    With_Range(Choice("compatible_v3", "This process is compatible with Ostra v3.0", QPAGE_PROCESSES, A(compatV3),
                      CHOICES(k_CompatV3)),
               FIELD_RANGE{ 0, 2 }),
    Flag("resident", "This process is a Resident Process", QPAGE_PROCESSES, A(resident)),
    Stored_As(Choice("run_as", "Run this process as", QPAGE_PROCESSES, A(showCommand), CHOICES(k_ShowCommands)),
              FS_UINT16),
    Flag("not_written_for_ostra", "This process is not written for Ostra", QPAGE_PROCESSES, A(nonNative)),
    /* kept with the application; no dialog changes it */
    Flag("reserved_option", "Reserved option", QPAGE_NONE, A(reservedFlag)),
    /* never stored: the icon is taken from the program itself after a load */
    Runtime(Path("icon_file", "Icon file", QPAGE_NONE, A(iconPath))),
};

/* Every field of AppGroup, in the order of the record. */
static const FIELD_DEF k_AppGroupFields[] = {
    With_Flags(Flag("free", "Free slot", QPAGE_NONE, G(free)), FF_RUNTIME | FF_SLOT),
    Number("count", "Number of processes", QPAGE_PROCESSES, G(count), FIELD_RANGE{ 2, MAX_GROUP_MEMBERS }),
    Field_Row("members", "Processes", QPAGE_PROCESSES, FK_MEMBERS, FS_INT32_ARRAY, G(members)),
    Choice("run_alone", "When processing jobs in this queue make other queues stop", QPAGE_PROCESSES, G(runAlone),
           CHOICES(k_RunAlone)),
    With_ReadRule(Stored_As(Choice("runtime_priority", "Runtime priority", QPAGE_PROCESSES, G(priority),
                                   CHOICES(k_RuntimePriorities)),
                            FS_CHAR),
                  Read_RuntimePriority),
    Choice("run_processes", "Run the processes", QPAGE_PROCESSES, G(parallel), CHOICES(k_Parallel)),
};

/* Every field of User. */
static const FIELD_DEF k_UserFields[] = {
    Field_Row("name", "Username", QPAGE_ADMINISTRATION, FK_TEXT, FS_TEXT_PTR, U(name)),
    Field_Row("password", "Password", QPAGE_ADMINISTRATION, FK_PASSWORD, FS_TEXT_PTR, U(password)),
};

int Field_Count(FIELD_TABLE table)
{
    switch (table) {
    case FT_TARGET:   return (int)ARRAY_LEN(k_TargetFields);
    case FT_LBQ:      return (int)ARRAY_LEN(k_LbqFields);
    case FT_APP:      return (int)ARRAY_LEN(k_AppFields);
    case FT_APPGROUP: return (int)ARRAY_LEN(k_AppGroupFields);
    case FT_PREFS:    return Prefs_FieldCount();
    case FT_USER:     return (int)ARRAY_LEN(k_UserFields);
    case FT_TABLE_COUNT: break;
    }
    return 0;
}

const FIELD_DEF *Field_At(FIELD_TABLE table, int i)
{
    if (i < 0 || i >= Field_Count(table)) return NULL;
    switch (table) {
    case FT_TARGET:   return &k_TargetFields[i];
    case FT_LBQ:      return &k_LbqFields[i];
    case FT_APP:      return &k_AppFields[i];
    case FT_APPGROUP: return &k_AppGroupFields[i];
    case FT_PREFS:    return Prefs_Field(i);
    case FT_USER:     return &k_UserFields[i];
    case FT_TABLE_COUNT: break;
    }
    return NULL;
}

const FIELD_DEF *Find_FieldByKey(FIELD_TABLE table, const char *key)
{
    for (int i = 0; i < Field_Count(table); i++)
        if (strcmp(Field_At(table, i)->key, key) == 0) return Field_At(table, i);
    return NULL;
}

const FIELD_DEF *Find_FieldAt(FIELD_TABLE table, size_t offset)
{
    for (int i = 0; i < Field_Count(table); i++)
        if (Field_At(table, i)->offset == offset) return Field_At(table, i);
    return NULL;
}

int Field_Table(const FIELD_DEF *f)
{
    for (int t = 0; t < FT_TABLE_COUNT; t++)
        for (int i = 0; i < Field_Count((FIELD_TABLE)t); i++)
            if (Field_At((FIELD_TABLE)t, i) == f) return t;
    return -1;
}

/* ---- raw values ---- */

int32_t Get_FieldNumber(const FIELD_DEF *f, const void *record)
{
    const char *p = (const char *)record + f->offset;
    switch (f->storage) {
    case FS_INT32:  { int32_t v; memcpy(&v, p, sizeof v); return v; }
    case FS_UINT32: { uint32_t v; memcpy(&v, p, sizeof v); return (int32_t)v; }
    case FS_INT16:  { int16_t v; memcpy(&v, p, sizeof v); return v; }
    case FS_UINT16: { uint16_t v; memcpy(&v, p, sizeof v); return v; }
    case FS_UINT8:  return *(const uint8_t *)p;
    case FS_CHAR:   return *p;
    default:        return 0;
    }
}

void Set_FieldNumber(const FIELD_DEF *f, void *record, int32_t value)
{
    char *p = (char *)record + f->offset;
    switch (f->storage) {
    case FS_INT32:  memcpy(p, &value, sizeof value); break;
    case FS_UINT32: { uint32_t v = (uint32_t)value; memcpy(p, &v, sizeof v); break; }
    case FS_INT16:  { int16_t v = (int16_t)value; memcpy(p, &v, sizeof v); break; }
    case FS_UINT16: { uint16_t v = (uint16_t)value; memcpy(p, &v, sizeof v); break; }
    case FS_UINT8:  *(uint8_t *)p = (uint8_t)value; break;
    case FS_CHAR:   *p = (char)value; break;
    default:        break;
    }
}

static const char *Field_Text(const FIELD_DEF *f, const void *record)
{
    const char *p = (const char *)record + f->offset;
    if (f->storage == FS_TEXT_PTR) {
        const char *text;
        memcpy(&text, p, sizeof text);
        return text != NULL ? text : "";
    }
    return p;
}

static BOOL Is_Numeric(const FIELD_DEF *f)
{
    return f->storage != FS_TEXT && f->storage != FS_TEXT_PTR && f->storage != FS_INT32_ARRAY &&
           f->storage != FS_HANDLE;
}

BOOL Field_Equal(const FIELD_DEF *f, const void *a, const void *b)
{
    switch (f->storage) {
    case FS_TEXT:        return strncmp(Field_Text(f, a), Field_Text(f, b), f->size) == 0;
    case FS_TEXT_PTR:    return strcmp(Field_Text(f, a), Field_Text(f, b)) == 0;
    case FS_INT32_ARRAY: return memcmp((const char *)a + f->offset, (const char *)b + f->offset, f->size) == 0;
    case FS_HANDLE:      return TRUE;
    default:             break;
    }
    if (Get_FieldNumber(f, a) != Get_FieldNumber(f, b)) return FALSE;
    if (f->kind == FK_PORT) {
        BOOL ha, hb;
        memcpy(&ha, (const char *)a + f->offset2, sizeof ha);
        memcpy(&hb, (const char *)b + f->offset2, sizeof hb);
        return (ha != 0) == (hb != 0);
    }
    return TRUE;
}

/* ---- the value as text ---- */

/* The arrays a record's references point into: an image's, or the live ones. */
typedef struct {
    const Target   *targets;
    int             targetCount;
    const App      *apps;
    const AppGroup *appGroups;
} CONFIG_VIEW;

static CONFIG_VIEW View_Of(const CONFIG_IMAGE *config)
{
    if (config != NULL) return { config->targets, config->targetCount, config->apps, config->appGroups };
    return { targets, targetCount, apps, appGroups };
}

static const char *Choice_Name(const FIELD_DEF *f, int32_t value)
{
    for (int i = 0; i < f->choiceCount; i++)
        if (f->choices[i].value == value) return f->choices[i].name;
    return NULL;
}

static BOOL Format_Number(const FIELD_DEF *f, int32_t v, char *out, size_t cap)
{
    if (f->storage == FS_CHAR && v > ' ' && v < 0x7F) return Format_Text(out, cap, "%c", (char)v);
    return Format_Text(out, cap, "%d", v);
}

/* "1 day 2 hours 5 seconds"; "0 seconds" (or "0 minutes" for a time kept in minutes). */
static BOOL Format_Duration(int32_t value, int unit, char *out, size_t cap)
{
    long long seconds = (long long)value * (unit > 0 ? unit : 1);
    if (seconds <= 0) return Format_Text(out, cap, "%lld %s", unit == 60 ? seconds / 60 : seconds,
                                         unit == 60 ? "minutes" : "seconds");
    static const struct { long long size; const char *one, *many; } k_Parts[] = {
        { 86400, "day", "days" }, { 3600, "hour", "hours" }, { 60, "minute", "minutes" }, { 1, "second", "seconds" },
    };
    out[0] = '\0';
    BOOL fit = TRUE;
    for (const auto &part : k_Parts) {
        long long n = seconds / part.size;
        seconds %= part.size;
        if (n == 0) continue;
        char piece[48];
        Format_Text(piece, sizeof piece, "%s%lld %s", out[0] != '\0' ? " " : "", n, n == 1 ? part.one : part.many);
        fit = Append_Text(out, cap, piece) && fit;
    }
    return fit;
}

/* The command text of one application, as the Processes page shows it: the path, in double quotes
   when it holds a blank, and the arguments after a blank. */
static BOOL Append_Command(char *out, size_t cap, const App *app)
{
    BOOL quote = strchr(app->path, ' ') != NULL && app->path[0] != '"';
    BOOL fit = Append_Text(out, cap, quote ? "\"" : "");
    fit = Append_Text(out, cap, app->path) && fit;
    fit = Append_Text(out, cap, quote ? "\"" : "") && fit;
    if (app->args[0] != '\0') {
        fit = Append_Text(out, cap, " ") && fit;
        fit = Append_Text(out, cap, app->args) && fit;
    }
    return fit;
}

static BOOL Append_AppEntry(char *out, size_t cap, const CONFIG_VIEW *v, int32_t slot)
{
    if (slot < 0 || slot >= MAX_APPS || v->apps[slot].free) {
        char missing[48];
        Format_Text(missing, sizeof missing, "application entry %d (none)", slot);
        return Append_Text(out, cap, missing);
    }
    return Append_Command(out, cap, &v->apps[slot]);
}

static BOOL Format_Members(const CONFIG_VIEW *v, const AppGroup *g, char *out, size_t cap)
{
    out[0] = '\0';
    BOOL fit = TRUE;
    int count = g->count < 0 ? 0 : (g->count > MAX_GROUP_MEMBERS ? MAX_GROUP_MEMBERS : g->count);
    for (int i = 0; i < count; i++) {
        if (i > 0) fit = Append_Text(out, cap, "; ") && fit;
        fit = Append_AppEntry(out, cap, v, g->members[i]) && fit;
    }
    return fit;
}

static BOOL Format_Processes(const CONFIG_VIEW *v, const Target *t, char *out, size_t cap)
{
    out[0] = '\0';
    if (t->noProcesses || t->processRef == NO_PROCESSES) return TRUE;
    if (!t->usesGroup) return Append_AppEntry(out, cap, v, t->processRef);
    if (t->processRef < 0 || t->processRef >= MAX_APPGROUPS || v->appGroups[t->processRef].free)
        return Format_Text(out, cap, "application entry %d (none)", t->processRef);
    return Format_Members(v, &v->appGroups[t->processRef], out, cap);
}

static BOOL Format_QueueSet(const CONFIG_VIEW *v, const int32_t *flags, char *out, size_t cap)
{
    out[0] = '\0';
    BOOL fit = TRUE;
    for (int i = 0; i < v->targetCount; i++) {
        if (flags[i] != 1) continue;
        if (out[0] != '\0') fit = Append_Text(out, cap, ", ") && fit;
        fit = Append_Text(out, cap, "\"") && fit;
        fit = Append_Text(out, cap, v->targets[i].name) && fit;
        fit = Append_Text(out, cap, "\"") && fit;
    }
    return fit;
}

static BOOL Format_Filter(uint32_t flags, char *out, size_t cap)
{
    return Format_Text(out, cap, "%s%s (0x%X)", (flags & 0x01) ? "Exclude" : "Include",
                       (flags & 0x40) ? ", delete" : "", flags);
}

BOOL Format_FieldValue(const FIELD_DEF *f, const void *record, const CONFIG_IMAGE *config, char *out, size_t cap)
{
    if (cap == 0) return FALSE;
    out[0] = '\0';
    CONFIG_VIEW v = View_Of(config);
    int32_t n = Is_Numeric(f) ? Get_FieldNumber(f, record) : 0;
    switch (f->kind) {
    case FK_TEXT:
    case FK_PATH:
        return Copy_Text(out, cap, Field_Text(f, record));
    case FK_NUMBER:
        if (f->unitName != NULL) return Format_Text(out, cap, "%d %s", n, f->unitName);
        return Format_Text(out, cap, "%d", n);
    case FK_DURATION:
        return Format_Duration(n, f->unit, out, cap);
    case FK_FLAG:
        return Copy_Text(out, cap, n != 0 ? "Yes" : "No");
    case FK_CHOICE: {
        const char *name = Choice_Name(f, n);
        return name != NULL ? Copy_Text(out, cap, name) : Format_Number(f, n, out, cap);
    }
    case FK_ACTION: {
        if (n < 0) {
            const char *name = Choice_Name(f, n);
            return name != NULL ? Copy_Text(out, cap, name) : Format_Text(out, cap, "%d", n);
        }
        if (n >= v.targetCount) return Format_Text(out, cap, "%d (no such queue)", n);
        return Format_Text(out, cap, f->refFormat, v.targets[n].name);
    }
    case FK_QUEUE_SET:
        return Format_QueueSet(&v, (const int32_t *)((const char *)record + f->offset), out, cap);
    case FK_PROCESSES:
        return Format_Processes(&v, (const Target *)record, out, cap);
    case FK_MEMBERS:
        return Format_Members(&v, (const AppGroup *)record, out, cap);
    case FK_FILTER:
        return Format_Filter((uint32_t)n, out, cap);
    case FK_PORT: {
        BOOL hex;
        memcpy(&hex, (const char *)record + f->offset2, sizeof hex);
        if (n < 0) return Copy_Text(out, cap, "none");
        return hex ? Format_Text(out, cap, "0x%X", (unsigned)n) : Format_Text(out, cap, "%d", n);
    }
    case FK_PASSWORD:
        return Copy_Text(out, cap, "(not shown)");
    case FK_HANDLE:
        return TRUE;
    }
    return TRUE;
}

/* ---- the value from text ---- */

static const char *Skip_Blanks(const char *p)
{
    while (*p == ' ' || *p == '\t') p++;
    return p;
}

static BOOL Is_BlankTail(const char *p) { return *Skip_Blanks(p) == '\0'; }

/* A whole number at the start of text (after blanks); *end gets where it stopped. */
static BOOL Read_WholeNumber(const char *text, long long *value, const char **end)
{
    size_t used = 0;
    if (!Read_Decimal(text, strlen(text), -100000000000LL, 100000000000LL, value, &used)) return FALSE;
    *end = text + used;
    return TRUE;
}

static BOOL Refuse(FIELD_PARSE *r, const char *why)
{
    Copy_Field(r->why, why);
    return FALSE;
}

/* A number held to the range (when it has one), as the readers hold it. */
static int32_t Hold_Number(const FIELD_DEF *f, long long v, FIELD_PARSE *r)
{
    long long lo = INT32_MIN, hi = INT32_MAX;
    if (f->range.minimum < f->range.maximum) {
        lo = f->range.minimum;
        hi = f->range.maximum;
    }
    long long held = v < lo ? lo : (v > hi ? hi : v);
    if (held != v) r->clamped = TRUE;
    return (int32_t)held;
}

/* A number given for a choice or an action, taken as the file's reader takes it. */
static int32_t Read_ChoiceNumber(const FIELD_DEF *f, long long v, FIELD_PARSE *r)
{
    if (f->readRule == NULL) return Hold_Number(f, v, r);
    int32_t in = (int32_t)(v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : v));
    int32_t out = f->readRule(in);
    if (out != v) r->clamped = TRUE;
    return out;
}

static BOOL Parse_Duration(const FIELD_DEF *f, const char *text, long long *value, FIELD_PARSE *r)
{
    static const struct { const char *one, *many; long long size; } k_Units[] = {
        { "day", "days", 86400 }, { "hour", "hours", 3600 }, { "minute", "minutes", 60 }, { "second", "seconds", 1 },
    };
    int unit = f->unit > 0 ? f->unit : 1;
    long long n;
    const char *p;
    if (!Read_WholeNumber(text, &n, &p)) return Refuse(r, "not a time");
    if (Is_BlankTail(p)) {
        *value = n;                               /* a plain number of the stored unit */
        return TRUE;
    }
    long long seconds = 0;
    for (;;) {
        p = Skip_Blanks(p);
        size_t len = 0;
        while (isalpha((unsigned char)p[len])) len++;
        long long size = 0;
        for (const auto &u : k_Units)
            if ((len == strlen(u.one) && _strnicmp(p, u.one, len) == 0) ||
                (len == strlen(u.many) && _strnicmp(p, u.many, len) == 0))
                size = u.size;
        if (size == 0) return Refuse(r, "not a time (days, hours, minutes, seconds)");
        seconds += n * size;
        p += len;
        if (Is_BlankTail(p)) break;
        if (!Read_WholeNumber(p, &n, &p)) return Refuse(r, "not a time (days, hours, minutes, seconds)");
    }
    if (seconds % unit != 0) return Refuse(r, unit == 60 ? "not a whole number of minutes" : "not a whole time");
    *value = seconds / unit;
    return TRUE;
}

static BOOL Parse_Choice(const FIELD_DEF *f, const char *text, void *record, FIELD_PARSE *r)
{
    for (int i = 0; i < f->choiceCount; i++)
        if (Compare_NoCase(f->choices[i].name, text) == 0) {
            Set_FieldNumber(f, record, f->choices[i].value);
            return TRUE;
        }
    if (f->kind == FK_ACTION) {
        /* "pass jobs to queue "<name>"", or the name alone in double quotes */
        const char *open = strchr(f->refFormat, '"');
        size_t lead = open != NULL ? (size_t)(open - f->refFormat) : 0;
        const char *name = NULL;
        if (lead > 0 && _strnicmp(text, f->refFormat, lead) == 0 && text[lead] == '"') name = text + lead + 1;
        else if (text[0] == '"') name = text + 1;
        if (name != NULL) {
            const char *close = strrchr(name, '"');
            if (close == NULL || !Is_BlankTail(close + 1) || close == name) return Refuse(r, "not a queue name in quotes");
            if (!Copy_TextN(r->refName, sizeof r->refName, name, (size_t)(close - name)))
                return Refuse(r, "the queue name is too long");
            return TRUE;
        }
    }
    if (f->storage == FS_CHAR && strlen(text) == 1 && isalpha((unsigned char)text[0])) {
        int32_t letter = toupper((unsigned char)text[0]);
        Set_FieldNumber(f, record, Read_ChoiceNumber(f, letter, r));
        return TRUE;
    }
    long long n;
    const char *end;
    if (!Read_WholeNumber(text, &n, &end) || !Is_BlankTail(end)) return Refuse(r, "not one of the values of this field");
    Set_FieldNumber(f, record, Read_ChoiceNumber(f, n, r));
    return TRUE;
}

static BOOL Parse_Text(const FIELD_DEF *f, const char *text, void *record, FIELD_PARSE *r)
{
    if (strpbrk(text, "\r\n") != NULL) return Refuse(r, "a line break in the text");
    int table = Field_Table(f);
    /* the queues and applications files join their fields with "::" */
    if ((table == FT_TARGET || table == FT_LBQ || table == FT_APP) && strstr(text, "::") != NULL)
        return Refuse(r, "\"::\" in the text");
    if (f->storage != FS_TEXT) return Refuse(r, "this field is not read from text");
    if (!Copy_Text((char *)record + f->offset, f->size, text)) r->clamped = TRUE;
    return TRUE;
}

static BOOL Parse_Port(const FIELD_DEF *f, const char *text, void *record, FIELD_PARSE *r)
{
    BOOL hex = FALSE;
    int32_t port = -1;
    if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X') && isxdigit((unsigned char)text[2])) {
        char *end;
        unsigned long v = strtoul(text + 2, &end, 16);
        if (!Is_BlankTail(end)) return Refuse(r, "not a port number");
        hex = TRUE;
        port = Hold_Number(f, (long long)v, r);
    } else if (text[0] != '\0' && Compare_NoCase(text, "none") != 0) {
        long long n;
        const char *end;
        if (!Read_WholeNumber(text, &n, &end) || !Is_BlankTail(end)) return Refuse(r, "not a port number");
        port = Hold_Number(f, n, r);
    }
    Set_FieldNumber(f, record, port);
    memcpy((char *)record + f->offset2, &hex, sizeof hex);
    return TRUE;
}

BOOL Parse_FieldValue(const FIELD_DEF *f, const char *text, void *record, FIELD_PARSE *r)
{
    memset(r, 0, sizeof *r);
    if (f->flags & FF_RUNTIME) return Refuse(r, "this field is not stored");
    text = Skip_Blanks(text);
    long long n;
    const char *end;
    switch (f->kind) {
    case FK_TEXT:
    case FK_PATH:
        return Parse_Text(f, text, record, r);
    case FK_NUMBER:
        if (!Read_WholeNumber(text, &n, &end)) return Refuse(r, "not a number");
        end = Skip_Blanks(end);
        if (f->unitName != NULL && Starts_With_NoCase(end, f->unitName)) end += strlen(f->unitName);
        if (!Is_BlankTail(end)) return Refuse(r, "not a number");
        Set_FieldNumber(f, record, Hold_Number(f, n, r));
        return TRUE;
    case FK_DURATION:
        if (!Parse_Duration(f, text, &n, r)) return FALSE;
        Set_FieldNumber(f, record, Hold_Number(f, n, r));
        return TRUE;
    case FK_FLAG:
        if (Compare_NoCase(text, "Yes") == 0 || Compare_NoCase(text, "true") == 0) n = 1;
        else if (Compare_NoCase(text, "No") == 0 || Compare_NoCase(text, "false") == 0) n = 0;
        else if (Read_WholeNumber(text, &n, &end) && Is_BlankTail(end)) n = (n != 0);
        else return Refuse(r, "not Yes or No");
        Set_FieldNumber(f, record, (int32_t)n);
        return TRUE;
    case FK_CHOICE:
    case FK_ACTION:
        return Parse_Choice(f, text, record, r);
    case FK_FILTER: {
        const char *hex = strstr(text, "0x");
        if (hex == NULL) hex = strstr(text, "0X");
        if (hex != NULL) {
            char *stop;
            unsigned long v = strtoul(hex + 2, &stop, 16);
            if (stop == hex + 2) return Refuse(r, "not a set of filter options");
            Set_FieldNumber(f, record, (int32_t)v);
            return TRUE;
        }
        if (!Read_WholeNumber(text, &n, &end) || !Is_BlankTail(end) || n < 0) return Refuse(r, "not a set of filter options");
        Set_FieldNumber(f, record, (int32_t)n);
        return TRUE;
    }
    case FK_PORT:
        return Parse_Port(f, text, record, r);
    case FK_QUEUE_SET:
    case FK_PROCESSES:
    case FK_MEMBERS:
        return Refuse(r, "given by name and resolved by the caller");
    case FK_PASSWORD:
    case FK_HANDLE:
        return Refuse(r, "this field is not read from text");
    }
    return Refuse(r, "unknown kind of field");
}
