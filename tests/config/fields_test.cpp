/* The field tables: that every field of every record has its row, the values as the operator
   reads them, and the values read back from text, held to the limits the file readers hold them
   to. */
#include "image_kit.h"
#include "config/queuesfile.h"
#include <algorithm>
#include <ctype.h>
#include <set>

namespace {

size_t Align_Of(FIELD_STORAGE s)
{
    switch (s) {
    case FS_INT16: case FS_UINT16:             return 2;
    case FS_UINT8: case FS_CHAR: case FS_TEXT: return 1;
    case FS_TEXT_PTR: case FS_HANDLE:          return sizeof(void *);
    default:                                   return 4;
    }
}

struct RecordCase { FIELD_TABLE table; const char *name; size_t size, align; };
const RecordCase k_Records[] = {
    { FT_TARGET, "Target", sizeof(Target), alignof(Target) },
    { FT_LBQ, "LBQ", sizeof(LBQ), alignof(LBQ) },
    { FT_APP, "App", sizeof(App), alignof(App) },
    { FT_APPGROUP, "AppGroup", sizeof(AppGroup), alignof(AppGroup) },
    { FT_PREFS, "PREFS_VALUES", sizeof(PREFS_VALUES), alignof(PREFS_VALUES) },
    { FT_USER, "User", sizeof(User), alignof(User) },
};

/* The rows, laid end to end by offset, leave no gap but the padding the compiler puts before a
   field of their alignment, and end where the record ends: a field added to a record without a
   row leaves a gap and fails here. */
TEST(FieldTables, EveryFieldOfEveryRecordHasARow)
{
    for (const RecordCase &r : k_Records) {
        SCOPED_TRACE(r.name);
        struct Span { size_t offset, size, align; const char *key; };
        std::vector<Span> spans;
        for (int i = 0; i < Field_Count(r.table); i++) {
            const FIELD_DEF *f = Field_At(r.table, i);
            spans.push_back({ f->offset, f->size, Align_Of(f->storage), f->key });
            if (f->kind == FK_PORT) spans.push_back({ f->offset2, sizeof(BOOL), alignof(BOOL), "(hex flag)" });
        }
        std::sort(spans.begin(), spans.end(), [](const Span &a, const Span &b) { return a.offset < b.offset; });
        size_t end = 0;
        for (const Span &s : spans) {
            size_t aligned = (end + s.align - 1) / s.align * s.align;
            EXPECT_EQ(aligned, s.offset) << "a field without a row before \"" << s.key << "\"";
            end = s.offset + s.size;
        }
        EXPECT_EQ((end + r.align - 1) / r.align * r.align, r.size) << "a field without a row at the end";
    }
}

TEST(FieldTables, KeysAreLowerCaseAndUniqueAndEveryRowSaysWhatItIs)
{
    for (const RecordCase &r : k_Records) {
        std::set<std::string> keys;
        for (int i = 0; i < Field_Count(r.table); i++) {
            const FIELD_DEF *f = Field_At(r.table, i);
            SCOPED_TRACE(std::string(r.name) + "." + f->key);
            EXPECT_TRUE(keys.insert(f->key).second) << "key twice";
            for (const char *p = f->key; *p; p++) EXPECT_TRUE(islower((unsigned char)*p) || isdigit((unsigned char)*p) || *p == '_');
            EXPECT_EQ(f, Find_FieldByKey(r.table, f->key));
            EXPECT_EQ((int)r.table, Field_Table(f));
            ASSERT_NE(nullptr, f->label);
            EXPECT_NE('\0', f->label[0]);
            EXPECT_EQ(nullptr, strchr(f->label, '&')) << "a mnemonic in the label";
            EXPECT_NE(':', f->label[strlen(f->label) - 1]);
            if (f->kind == FK_CHOICE || f->kind == FK_ACTION) { EXPECT_GT(f->choiceCount, 0); }
            if (f->kind == FK_ACTION) { EXPECT_NE(nullptr, strstr(f->refFormat, "\"%s\"")); }
            if (f->kind == FK_DURATION) { EXPECT_TRUE(f->unit == 1 || f->unit == 60); }
            if (f->kind == FK_NUMBER || f->kind == FK_DURATION) { EXPECT_LT(f->range.minimum, f->range.maximum); }
            if (f->storage == FS_TEXT) { EXPECT_GE(f->size, 65u); }
            if (f->storage == FS_HANDLE) { EXPECT_TRUE(f->flags & FF_RUNTIME); }
        }
    }
    /* the runtime-only fields of a queue are described and marked */
    for (const char *key : { "slot_index", "load_index", "uses_group", "parameters_are_a_file", "icon_handle",
                             "include_directory", "legacy_compatibility" })
        EXPECT_TRUE(Find_FieldByKey(FT_TARGET, key)->flags & FF_RUNTIME) << key;
    EXPECT_EQ(Find_FieldByKey(FT_TARGET, "copies"), Find_FieldAt(FT_TARGET, offsetof(Target, copies)));
    EXPECT_EQ(QPAGE_CLEANUP, Find_FieldAt(FT_TARGET, offsetof(Target, afterAction))->page);
    EXPECT_EQ(QPAGE_MULTIJOB, Find_FieldAt(FT_TARGET, offsetof(Target, timeoutAction))->page);
    EXPECT_STREQ("Hot directory", Find_FieldAt(FT_TARGET, offsetof(Target, hotDir))->label);
}

/* The preferences' rows are the file's keys: each one's key is the file's key in lower case, and
   every value written reads back into its own field. */
struct PrefValue { const char *key, *text; };
const PrefValue k_PrefValues[] = {
    { "spooler_file_settle_time", "42 seconds" },
    { "spooler_max_logsize", "5000 lines" },
    { "spooler_min_logsize", "200" },
    { "spooler_use_minimised_image_windows", "Yes" },
    { "spooler_draw_whole_images_only", "Yes" },
    { "spooler_jobname_groupmask", "1>011.TIF" },
    { "spooler_jobname_sepidmask", "0>100.TIF" },
    { "spooler_trunc_hist_every", "3600" },
    { "spooler_max_hist_records", "777" },
    { "spooler_pim", "Yes" },
    { "pim_auto_resume_job", "Yes" },
    { "plate_search_app", "\"C:\\Plates\\find.exe\"" },
    { "require_login", "Yes" },
    { "spooler_logfile_address", "ops@shop;night@shop" },
    { "honour_subdirs", "No" },
    { "open_queue_folder", "Yes" },
    { "show_comms_server", "Yes" },
    { "comms_server_port", "0x1F90" },
};

class PrefsKeys : public StoreTest {};

TEST_F(PrefsKeys, EveryKeyIsWrittenAndReadBackThroughItsOwnField)
{
    Get_SpoolerGlobals();
    PREFS_VALUES defaults, set;
    Take_LivePrefs(&defaults);
    set = defaults;
    std::set<std::string> given;
    for (const PrefValue &p : k_PrefValues) {
        SCOPED_TRACE(p.key);
        const FIELD_DEF *f = Find_FieldByKey(FT_PREFS, p.key);
        ASSERT_NE(nullptr, f);
        FIELD_PARSE r;
        ASSERT_TRUE(Parse_FieldValue(f, p.text, &set, &r)) << r.why;
        EXPECT_FALSE(r.clamped);
        EXPECT_FALSE(Field_Equal(f, &set, &defaults)) << "the value given is the default";
        given.insert(p.key);
    }
    for (int i = 0; i < Field_Count(FT_PREFS); i++) {
        const FIELD_DEF *f = Field_At(FT_PREFS, i);
        if (f->flags & FF_RUNTIME) {
            EXPECT_EQ(nullptr, Prefs_FileKey(f)) << f->key;
            continue;
        }
        std::string upper = f->key;
        for (char &c : upper) c = (char)toupper((unsigned char)c);
        EXPECT_STREQ(upper.c_str(), Prefs_FileKey(f));
        EXPECT_TRUE(given.count(f->key)) << f->key << " has no value in this test";
    }

    OUTBUF b;
    OutBuf_Init(&b);
    Format_PrefsFile(&b, &set);
    PREFS_VALUES back = defaults;
    Read_PrefsText(&back, b.data, b.len);
    OutBuf_Free(&b);
    for (int i = 0; i < Field_Count(FT_PREFS); i++) {
        const FIELD_DEF *f = Field_At(FT_PREFS, i);
        if (!(f->flags & FF_RUNTIME)) { EXPECT_TRUE(Field_Equal(f, &set, &back)) << f->key; }
    }
}

/* ---- values as text ---- */

class FieldValues : public SmallConfig {
protected:
    std::string Value(FIELD_TABLE table, const char *key, const void *record)
    {
        const FIELD_DEF *f = Find_FieldByKey(table, key);
        if (f == nullptr) return "(no field " + std::string(key) + ")";
        char out[4096];
        EXPECT_TRUE(Format_FieldValue(f, record, nullptr, out, sizeof out));
        return out;
    }
    std::string Queue(int pos, const char *key) { return Value(FT_TARGET, key, &targets[pos]); }
};

TEST_F(FieldValues, AreWrittenAsTheOperatorReadsThem)
{
    Target &t = targets[PROOFS];
    EXPECT_EQ("Proofs", Queue(PROOFS, "name"));
    EXPECT_EQ("1", Queue(PROOFS, "copies"));
    EXPECT_EQ("Normal", Queue(PROOFS, "priority"));
    EXPECT_EQ("No", Queue(PROOFS, "hidden"));
    t.hidden = TRUE;
    EXPECT_EQ("Yes", Queue(PROOFS, "hidden"));
    EXPECT_EQ("Not suspended", Queue(PROOFS, "initial_state"));
    t.initialState = 1;                                       /* a stored 1 reads as suspended */
    EXPECT_EQ("Suspended", Queue(PROOFS, "initial_state"));
    EXPECT_EQ("Don't process files while they are open with read or write access", Queue(PROOFS, "open_files"));

    /* times with their units */
    EXPECT_EQ("5 seconds", Queue(PROOFS, "leave_in_queue"));
    t.keepSeconds = 90061;
    EXPECT_EQ("1 day 1 hour 1 minute 1 second", Queue(PROOFS, "leave_in_queue"));
    t.keepSeconds = 0;
    EXPECT_EQ("0 seconds", Queue(PROOFS, "leave_in_queue"));
    t.timeoutSeconds = 125;
    EXPECT_EQ("2 minutes 5 seconds", Queue(PROOFS, "time_out"));
    lbqs[0].fileGroupPurgeMinutes = 90;
    EXPECT_EQ("1 hour 30 minutes", Value(FT_LBQ, "ignore_jobs_older_than", &lbqs[0]));

    /* actions by name, references to queues by the name of the queue */
    EXPECT_EQ("leave jobs where they are", Queue(PROOFS, "after_processing"));
    EXPECT_EQ("pass jobs to queue \"Archive\"", Queue(PLATES, "after_processing"));
    EXPECT_EQ("never time out", Queue(PROOFS, "at_time_out"));
    t.timeoutAction = PLATES;
    EXPECT_EQ("pass waiting jobs to queue \"Plates\"", Queue(PROOFS, "at_time_out"));
    t.timeoutAction = 7;
    EXPECT_EQ("7 (no such queue)", Queue(PROOFS, "at_time_out"));

    /* the processes as command texts, a path with a blank in double quotes */
    EXPECT_EQ("C:\\Rip\\rip.exe -x", Queue(PROOFS, "processes"));
    EXPECT_EQ("\"C:\\Program Files\\Plate\\plate.exe\"; C:\\Tools\\preflight.exe -strict", Queue(PLATES, "processes"));
    EXPECT_EQ("", Queue(ARCHIVE, "processes"));
    EXPECT_EQ("\"C:\\Program Files\\Plate\\plate.exe\"; C:\\Tools\\preflight.exe -strict",
              Value(FT_APPGROUP, "members", &appGroups[0]));
    EXPECT_EQ("in series", Value(FT_APPGROUP, "run_processes", &appGroups[0]));

    t.filterFlags = 0x41;
    EXPECT_EQ("Exclude, delete (0x41)", Queue(PROOFS, "file_filtering"));
    t.filterFlags = 0;
    EXPECT_EQ("Include (0x0)", Queue(PROOFS, "file_filtering"));

    /* an input queue's outputs by name; its rules by their labels */
    EXPECT_EQ("\"Proofs\", \"Archive\"", Value(FT_LBQ, "outputs", &lbqs[0]));
    lbqs[0].fileGroupRule = 1;
    EXPECT_EQ("On the same device", Value(FT_LBQ, "output_groups", &lbqs[0]));
    EXPECT_EQ("All jobs except user-moved", Value(FT_LBQ, "job_reassignment_rule", &lbqs[0]));

    /* applications */
    apps[RIP].priority = 'H';
    EXPECT_EQ("High", Value(FT_APP, "runtime_priority", &apps[RIP]));
    EXPECT_EQ("Only through groups", Value(FT_APP, "runtime_priority", &apps[PLATE]));
    apps[RIP].showCommand = 6;
    EXPECT_EQ("a minimised window", Value(FT_APP, "run_as", &apps[RIP]));
    EXPECT_EQ("Yes", Value(FT_APP, "compatible_v3", &apps[RIP]));

    /* preferences and users */
    PREFS_VALUES p;
    Take_LivePrefs(&p);
    EXPECT_EQ("1000 lines", Value(FT_PREFS, "spooler_max_logsize", &p));
    EXPECT_EQ("15 seconds", Value(FT_PREFS, "spooler_file_settle_time", &p));
    EXPECT_EQ("none", Value(FT_PREFS, "comms_server_port", &p));
    p.globals.COMMS_SERVER_PORT = 8080;
    p.globals.portIsHex = TRUE;
    EXPECT_EQ("0x1F90", Value(FT_PREFS, "comms_server_port", &p));
    EXPECT_EQ("Varro RIP (V4.5 or V5.0 with sep numbers)", Value(FT_PREFS, "rip_preset", &p));
    EXPECT_EQ("anna", Value(FT_USER, "name", &users[0]));
    EXPECT_EQ("(not shown)", Value(FT_USER, "password", &users[0]));
}

TEST_F(FieldValues, AreCutToTheRoomGivenAndSaySo)
{
    const FIELD_DEF *f = Find_FieldByKey(FT_TARGET, "processes");
    char out[12];
    EXPECT_FALSE(Format_FieldValue(f, &targets[PLATES], nullptr, out, sizeof out));
    EXPECT_EQ(11u, strlen(out));
    EXPECT_TRUE(Format_FieldValue(f, &targets[ARCHIVE], nullptr, out, sizeof out));
}

/* An image's references are read in the image, not in the live arrays. */
TEST_F(FieldValues, ReferencesAreNamedFromTheConfigurationGiven)
{
    Image before = Take();
    Copy_Field(targets[ARCHIVE].name, "Archive 2");
    Copy_Field(apps[RIP].path, "C:\\Rip\\rip2.exe");
    char out[512];
    Format_FieldValue(Find_FieldByKey(FT_TARGET, "after_processing"), &before->targets[PLATES], before.get(), out,
                      sizeof out);
    EXPECT_STREQ("pass jobs to queue \"Archive\"", out);
    Format_FieldValue(Find_FieldByKey(FT_TARGET, "processes"), &before->targets[PROOFS], before.get(), out, sizeof out);
    EXPECT_STREQ("C:\\Rip\\rip.exe -x", out);
    Format_FieldValue(Find_FieldByKey(FT_TARGET, "after_processing"), &targets[PLATES], nullptr, out, sizeof out);
    EXPECT_STREQ("pass jobs to queue \"Archive 2\"", out);
}

/* ---- values from text ---- */

/* Every stored field of a queue with every field set reads back from its own text. */
TEST_F(FieldValues, EveryStoredQueueFieldReadsBackFromItsText)
{
    Target full;
    BOOL lbq;
    ASSERT_TRUE(Parse_QueueLine("Plate::1::C:\\Hot\\Plate::3::-r 2400::-2::6::12::C:\\Done\\Plate::1::0::1::1::3600::"
                                "Setters::CTP-1::7::1::0::5::4::0::-3::900::C:\\Timed Out\\Plate::1::1::C:\\Thumbs::1::"
                                "1::1::500::1::0::keep me::*.pdf;*.ps::33::C:\\Excluded::0::C:\\Icons\\plate.ico::"
                                "C:\\Apps\\Viewer.exe::1",
                                &full, &lbq, nullptr, 0));
    for (int i = 0; i < Field_Count(FT_TARGET); i++) {
        const FIELD_DEF *f = Field_At(FT_TARGET, i);
        if ((f->flags & FF_RUNTIME) || f->kind == FK_PROCESSES) continue;
        SCOPED_TRACE(f->key);
        char text[1024];
        ASSERT_TRUE(Format_FieldValue(f, &full, nullptr, text, sizeof text));
        Target back;
        memset(&back, 0, sizeof back);
        FIELD_PARSE r;
        ASSERT_TRUE(Parse_FieldValue(f, text, &back, &r)) << text << ": " << r.why;
        EXPECT_FALSE(r.clamped) << text;
        EXPECT_TRUE(Field_Equal(f, &full, &back)) << text;
    }
}

/* A number out of range is held as the queues file's reader holds it, and the result says so.
   Each case goes through the reader too: field n of a whole queue line set to the same number. */
struct ClampCase { const char *key; int field; const char *given; int32_t held; bool clamped; };
const ClampCase k_Clamps[] = {
    { "priority", 7, "9", 7, true },
    { "priority", 7, "0", 1, true },
    { "priority", 7, "3", 3, false },
    { "copies", 8, "0", 1, true },
    { "copies", 8, "20000", 10000, true },
    { "leave_in_queue", 14, "-1", 0, true },
    { "leave_in_queue", 14, "3000000", 2678400, true },
    { "initial_state", 17, "1", 7, true },
    { "initial_state", 17, "3", 0, true },
    { "initial_state", 17, "7", 7, false },
    { "count_down", 20, "0", 1, true },
    { "jobs_at_a_time", 21, "40", 16, true },
    { "at_time_out", 23, "-9", -1, true },
    { "at_time_out", 23, "250", -1, true },
    { "at_time_out", 23, "-5", -5, false },
    { "open_files", 27, "5", 2, true },
    { "open_files", 27, "-1", 2, true },
    { "done_file_limit", 32, "0", 1, true },
    { "done_file_limit", 32, "40000", 30000, true },
    { "after_processing", 6, "250", -3, true },
    { "after_processing", 6, "-7", -3, true },
    { "after_processing", 6, "-4", -4, false },
};

TEST_F(FieldValues, NumbersOutOfRangeAreHeldAsTheQueuesFileReaderHoldsThem)
{
    for (const ClampCase &c : k_Clamps) {
        SCOPED_TRACE(std::string(c.key) + " " + c.given);
        const FIELD_DEF *f = Find_FieldByKey(FT_TARGET, c.key);
        Target t = targets[PROOFS];
        FIELD_PARSE r;
        ASSERT_TRUE(Parse_FieldValue(f, c.given, &t, &r)) << r.why;
        EXPECT_EQ(c.held, Get_FieldNumber(f, &t));
        EXPECT_EQ(c.clamped, (bool)r.clamped);

        std::vector<std::string> parts;
        std::string line = "Plate::1::C:\\Hot::3::x::-2::6::12::C:\\Done::1::0::1::1::3600::G::I::7::1::0::5::4::0::"
                           "-3::900::C:\\Waiting::1::1::C:\\Thumbs::1::1::1::500::1::0::k::*.pdf::33::C:\\Ex::0::"
                           "C:\\i.ico::C:\\v.exe::1";
        for (size_t at = 0, next; ; at = next + 2) {
            next = line.find("::", at);
            parts.push_back(line.substr(at, next == std::string::npos ? std::string::npos : next - at));
            if (next == std::string::npos) break;
        }
        parts[c.field - 1] = c.given;
        std::string joined;
        for (size_t i = 0; i < parts.size(); i++) joined += (i ? "::" : "") + parts[i];
        Target read;
        BOOL lbq;
        ASSERT_TRUE(Parse_QueueLine(joined.c_str(), &read, &lbq, nullptr, 0));
        EXPECT_EQ(Get_FieldNumber(f, &read), Get_FieldNumber(f, &t)) << "the reader holds it otherwise";
    }
}

struct ParseCase { FIELD_TABLE table; const char *key, *text; bool ok; const char *value; };
/* value: the field read back as text (ok), or a word of the reason (refused) */
const ParseCase k_Parses[] = {
    { FT_TARGET, "copies", "12", true, "12" },
    { FT_TARGET, "copies", "twelve", false, "number" },
    { FT_TARGET, "copies", "12 copies", false, "number" },
    { FT_TARGET, "hidden", "yes", true, "Yes" },
    { FT_TARGET, "hidden", "0", true, "No" },
    { FT_TARGET, "hidden", "maybe", false, "Yes or No" },
    { FT_TARGET, "priority", "below normal", true, "Below Normal" },
    { FT_TARGET, "priority", "Sometimes", false, "values" },
    { FT_TARGET, "leave_in_queue", "2 hours 30 minutes", true, "2 hours 30 minutes" },
    { FT_TARGET, "leave_in_queue", "75", true, "1 minute 15 seconds" },
    { FT_TARGET, "leave_in_queue", "5 parsecs", false, "time" },
    { FT_LBQ, "ignore_jobs_older_than", "2 hours", true, "2 hours" },
    { FT_LBQ, "ignore_jobs_older_than", "90 seconds", false, "minutes" },
    { FT_LBQ, "ignore_jobs_older_than", "30", true, "30 minutes" },
    { FT_TARGET, "name", "Proofs::2", false, "\"::\"" },
    { FT_TARGET, "hot_directory", "C:\\Hot\nD:\\Hot", false, "line break" },
    { FT_TARGET, "slot_index", "3", false, "not stored" },
    { FT_TARGET, "processes", "C:\\Rip\\rip.exe", false, "resolved by the caller" },
    { FT_LBQ, "outputs", "\"Proofs\"", false, "resolved by the caller" },
    { FT_TARGET, "file_filtering", "Exclude, delete (0x41)", true, "Exclude, delete (0x41)" },
    { FT_TARGET, "after_processing", "Send jobs to the recycle bin", true, "send jobs to the recycle bin" },
    { FT_APP, "runtime_priority", "h", true, "High" },
    { FT_APP, "runtime_priority", "X", true, "Normal" },
    { FT_APP, "run_as", "a minimised window", true, "a minimised window" },
    { FT_LBQ, "job_group_identification_rule", "same head name", true, "Same head name" },
    { FT_LBQ, "job_waiting_time_or_priority", "250", true, "100" },
    { FT_USER, "password", "secret", false, "not read" },
};

TEST_F(FieldValues, TextsAreReadOrRefusedWithAReason)
{
    for (const ParseCase &c : k_Parses) {
        SCOPED_TRACE(std::string(c.key) + " \"" + c.text + "\"");
        const FIELD_DEF *f = Find_FieldByKey(c.table, c.key);
        ASSERT_NE(nullptr, f);
        /* a record big enough for any table, starting from the small configuration's */
        static union { Target t; LBQ q; App a; User u; char bytes[sizeof(LBQ)]; } record;
        memset(&record, 0, sizeof record);
        if (c.table == FT_TARGET) record.t = targets[PROOFS];
        if (c.table == FT_LBQ) record.q = lbqs[0];
        if (c.table == FT_APP) record.a = apps[RIP];
        char before[sizeof record];
        memcpy(before, &record, sizeof record);
        FIELD_PARSE r;
        BOOL ok = Parse_FieldValue(f, c.text, &record, &r);
        ASSERT_EQ(c.ok, (bool)ok) << r.why;
        if (ok) {
            char out[512];
            Format_FieldValue(f, &record, nullptr, out, sizeof out);
            EXPECT_STREQ(c.value, out);
        } else {
            EXPECT_NE(nullptr, strstr(r.why, c.value)) << r.why;
            EXPECT_EQ(0, memcmp(before, &record, sizeof record)) << "a refused text changed the record";
        }
    }
}

TEST_F(FieldValues, AReferenceToAQueueIsReadAsItsNameForTheCallerToResolve)
{
    const FIELD_DEF *after = Find_FieldByKey(FT_TARGET, "after_processing");
    const FIELD_DEF *timeout = Find_FieldByKey(FT_TARGET, "at_time_out");
    Target t = targets[PLATES];
    FIELD_PARSE r;
    ASSERT_TRUE(Parse_FieldValue(after, "pass jobs to queue \"Proof \"A\"\"", &t, &r));
    EXPECT_STREQ("Proof \"A\"", r.refName);
    EXPECT_EQ(ARCHIVE, t.afterAction) << "the field waits for the caller";
    ASSERT_TRUE(Parse_FieldValue(timeout, "Pass waiting jobs to queue \"Plates\"", &t, &r));
    EXPECT_STREQ("Plates", r.refName);
    ASSERT_TRUE(Parse_FieldValue(after, "\"Archive\"", &t, &r));
    EXPECT_STREQ("Archive", r.refName);
    ASSERT_TRUE(Parse_FieldValue(after, "leave jobs where they are", &t, &r));
    EXPECT_STREQ("", r.refName);
    EXPECT_EQ(AFTER_LEAVE, t.afterAction);
    EXPECT_FALSE(Parse_FieldValue(after, "pass jobs to queue \"\"", &t, &r));
    EXPECT_FALSE(Parse_FieldValue(after, "pass jobs to queue \"Plates", &t, &r));
}

TEST_F(FieldValues, TextsLongerThanTheirFieldAreCutAsTheReaderCutsThem)
{
    const FIELD_DEF *f = Find_FieldByKey(FT_TARGET, "mutex_group");
    Target t = targets[PROOFS];
    FIELD_PARSE r;
    std::string longName(70, 'g');
    ASSERT_TRUE(Parse_FieldValue(f, longName.c_str(), &t, &r));
    EXPECT_TRUE(r.clamped);
    EXPECT_EQ(std::string(64, 'g'), t.mutexGroup);
    ASSERT_TRUE(Parse_FieldValue(f, "Setters", &t, &r));
    EXPECT_FALSE(r.clamped);
}

} // namespace
