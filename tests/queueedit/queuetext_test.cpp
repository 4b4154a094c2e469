/* What the overview says about each section of a queue, and the text rules the pages share. */
#include "support/testkit.h"
#include "support/modelkit.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/text.h"
#include "config/model.h"
#include "queueedit/queuetext.h"
#include <functional>

namespace {

/* A queue as the editor opens it on an ordinary installation: nothing but a hot directory. */
Target Plain()
{
    Target t = mk::New_Target("Plates", "C:\\Spool\\Hot\\Plates");
    mk::Runs_Nothing(t);
    return t;
}

/* Shortens a text of more than 20 characters as a narrow summary would: the first 6, "...", the
   last 11; notes the mode asked for. */
std::vector<int> s_Modes;
void Narrow(void *, const char *text, char *out, size_t cap, int mode)
{
    s_Modes.push_back(mode);
    std::string s = text;
    if (s.size() > 20) s = s.substr(0, 6) + "..." + s.substr(s.size() - 11);
    Copy_Text(out, cap, s.c_str());
}
const TEXT_FITTER k_Narrow = { Narrow, nullptr };

class Summaries : public ::testing::Test {
protected:
    void SetUp() override
    {
        Reset_Configuration();
        s_Modes.clear();
        mk::Add_App("C:\\Apps\\PlateRip.exe", "", 3);
        appGroups[5] = AppGroup{ FALSE, 3, { 0, 1, 2, 0 }, 1, 'N', TRUE };
        appGroups[6] = AppGroup{ FALSE, 2, { 0, 1, 0, 0 }, 1, 'N', FALSE };
        targetCount = 2;
        targets[0] = Plain();
        targets[1] = Plain();
        Copy_Field(targets[1].name, "Proofer");
        targets[1].noProcesses = FALSE;
        targets[1].usesGroup = TRUE;
        targets[1].processRef = 6;
    }
};

struct SummaryCase {
    const char *name;
    SUMMARY_FN summary;
    std::function<void(Target &)> set;
    const char *text;
    int icon;
};

std::string Chars(size_t n, char c = 'x') { return std::string(n, c); }
/* A path of exactly n characters. */
std::string Path_Of(size_t n) { return "C:\\" + Chars(n - 3); }

const SummaryCase k_Cases[] = {
    { "inputs", Summary_Inputs, [](Target &) {}, "Get jobs to queue from the directory:\nC:\\Spool\\Hot\\Plates", SI_DIRECTORY },
    { "inputs with subdirectories", Summary_Inputs, [](Target &t) { t.includeSubdirs = TRUE; },
      "Get jobs to queue from the directory:\nC:\\Spool\\Hot\\Plates\nand its sub-directories.", SI_DIRECTORY },
    { "no hot directory", Summary_Inputs, [](Target &t) { t.hotDir[0] = '\0'; t.includeSubdirs = TRUE; },
      "No input directories.", SI_DIRECTORY },
    { "the queue's own icon", Summary_Inputs, [](Target &t) { t.icon = (HICON)1; Copy_Field(t.iconPath, "C:\\q.ico"); },
      "Get jobs to queue from the directory:\nC:\\Spool\\Hot\\Plates", SI_QUEUE },
    { "an icon without its file", Summary_Inputs, [](Target &t) { t.icon = (HICON)1; Copy_Field(t.iconPath, " "); },
      "Get jobs to queue from the directory:\nC:\\Spool\\Hot\\Plates", SI_DIRECTORY },
    { "no thumbnails", Summary_Thumbnails, [](Target &) {}, "No thumbnail image directory specified.", SI_DIRECTORY },
    { "thumbnails", Summary_Thumbnails, [](Target &t) { Copy_Field(t.thumbnailDir, "C:\\Thumbs"); },
      "Get thumbnail images from the directory:\nC:\\Thumbs", SI_DIRECTORY },
    { "plain job settings", Summary_JobSettings, [](Target &) {}, "Default priority is 'Normal'.", SI_JOB_SETTINGS },
    { "suspended, 2 copies, priority 4, 3 jobs at a time", Summary_JobSettings,
      [](Target &t) { t.initialState = 7; t.copies = 2; t.jobsAtATime = 3; },
      "Suspend jobs on arrival., run 2 copies per job. Default priority is 'Normal'. Process 3 jobs at a time.",
      SI_JOB_SETTINGS },
    { "copies alone", Summary_JobSettings, [](Target &t) { t.copies = 10000; t.priority = 1; },
      "Run 10000 copies per job. Default priority is 'Highest'.", SI_JOB_SETTINGS },
    { "suspended alone", Summary_JobSettings, [](Target &t) { t.initialState = 7; t.priority = 7; },
      "Suspend jobs on arrival.. Default priority is 'Lowest'.", SI_JOB_SETTINGS },
    { "a priority out of range names none", Summary_JobSettings, [](Target &t) { t.priority = 9; },
      "Default priority is ''.", SI_JOB_SETTINGS },
    { "no processes queue", Summary_Processes, [](Target &t) { t.processRef = 3; }, "No processes queue.", SI_NO_PROCESSES },
    { "processes still to be chosen", Summary_Processes, [](Target &t) { t.noProcesses = FALSE; }, "No processes.",
      SI_PROCESSES },
    { "one application", Summary_Processes, [](Target &t) { t.noProcesses = FALSE; t.processRef = 3; },
      "Run the process:\nC:\\Apps\\PlateRip.exe", SI_APP },
    { "an application without a path", Summary_Processes, [](Target &t) { t.noProcesses = FALSE; t.processRef = 4; },
      "No processes.", SI_APP },
    { "a group in parallel", Summary_Processes,
      [](Target &t) { t.noProcesses = FALSE; t.usesGroup = TRUE; t.processRef = 5; }, "3 processes running in parallel.",
      SI_PARALLEL },
    { "a group in series", Summary_Processes,
      [](Target &t) { t.noProcesses = FALSE; t.usesGroup = TRUE; t.processRef = 6; }, "2 processes running in series.",
      SI_SERIES },
    { "a reference past the applications", Summary_Processes, [](Target &t) { t.noProcesses = FALSE; t.processRef = 900; },
      "No processes.", SI_PROCESSES },
    { "a group reference past the groups", Summary_Processes,
      [](Target &t) { t.noProcesses = FALSE; t.usesGroup = TRUE; t.processRef = -7; }, "No processes.", SI_PROCESSES },
    { "no parameters", Summary_Instructions, [](Target &) {}, "No parameters.", SI_PARAMETERS },
    { "parameters", Summary_Instructions, [](Target &t) { Copy_Field(t.parameters, "-res 2400"); },
      "Using the parameters:\n-res 2400", SI_PARAMETERS },
    { "a parameter file", Summary_Instructions,
      [](Target &t) { Copy_Field(t.parameters, "C:\\Params\\plates.txt"); t.parametersIsFile = TRUE; },
      "Using the file:\nC:\\Params\\plates.txt", SI_PARAM_FILE },
    { "recycle", Summary_CleanUp, [](Target &t) { t.afterAction = AFTER_RECYCLE; }, "Send jobs to the recycle bin.", SI_RECYCLE },
    { "leave", Summary_CleanUp, [](Target &) {}, "Leave jobs where they are.", SI_NONE },
    { "move", Summary_CleanUp, [](Target &t) { t.afterAction = AFTER_MOVE_DONE; Copy_Field(t.doneDir, "C:\\Done"); },
      "Move jobs to:\nC:\\Done", SI_DIRECTORY },
    { "delete", Summary_CleanUp, [](Target &t) { t.afterAction = AFTER_DELETE; }, "Delete jobs.", SI_DELETE },
    { "pass to a queue shows its processes", Summary_CleanUp, [](Target &t) { t.afterAction = 1; },
      "Pass jobs to \"Proofer\".", SI_SERIES },
    { "pass to a queue without processes", Summary_CleanUp, [](Target &t) { t.afterAction = 0; },
      "Pass jobs to \"Plates\".", SI_NO_PROCESSES },
    { "pass to a queue that is not there", Summary_CleanUp, [](Target &t) { t.afterAction = 7; },
      "Pass jobs to queue 8.", SI_NONE },
    { "independent", Summary_Identity, [](Target &) {}, "This queue runs independently of all others.", SI_IDENTITY },
    { "group and identity", Summary_Identity,
      [](Target &t) { Copy_Field(t.mutexGroup, "Platesetters"); Copy_Field(t.outputIdentity, "CTP-1"); },
      "Member of the \"Platesetters\" group, \nwith output identity \"CTP-1\".\n", SI_IDENTITY },
    { "a group alone", Summary_Identity, [](Target &t) { Copy_Field(t.mutexGroup, "Proofers"); },
      "Member of the \"Proofers\" group, \nwith no output identity string.\n", SI_IDENTITY },
    { "an identity alone", Summary_Identity, [](Target &t) { Copy_Field(t.outputIdentity, "PROOF"); },
      "Not a member of a mutex group.\nwith output identity \"PROOF\".\n", SI_IDENTITY },
};

TEST_F(Summaries, EachSectionSaysWhatTheQueueDoes)
{
    for (const SummaryCase &c : k_Cases) {
        SCOPED_TRACE(c.name);
        Target t = Plain();
        c.set(t);
        SUMMARY s;
        memset(&s, 0x55, sizeof s);
        c.summary(&t, nullptr, &s);
        EXPECT_EQ(c.text, std::string(s.text));
        EXPECT_EQ(c.icon, s.icon);
        if (c.icon == SI_APP) {
            EXPECT_EQ(t.processRef, s.app);
        }
    }
}

/* Where the text before a path, the path and a margin reach 260 characters, the path gives way
   to a marker; one character less and it is shown. */
TEST_F(Summaries, APathTooLongForTheSummaryIsReplacedByAMarker)
{
    struct Edge {
        const char *name;
        SUMMARY_FN summary;
        std::function<void(Target &, const std::string &)> set;
        const char *prefix;
        size_t longest;                  /* the longest path still shown */
        const char *marker;
    };
    const Edge edges[] = {
        { "hot directory: 38 + 20", Summary_Inputs, [](Target &t, const std::string &p) { Copy_Field(t.hotDir, p.c_str()); },
          "Get jobs to queue from the directory:\n", 201, "[name too long]" },
        { "thumbnail directory: 41 + 20", Summary_Thumbnails,
          [](Target &t, const std::string &p) { Copy_Field(t.thumbnailDir, p.c_str()); },
          "Get thumbnail images from the directory:\n", 198, "[name too long]" },
        { "application: 17 + 5", Summary_Processes,
          [](Target &t, const std::string &p) { t.noProcesses = FALSE; t.processRef = 3; Copy_Field(apps[3].path, p.c_str()); },
          "Run the process:\n", 237, "[name too long]" },
        { "parameters: 22 + 5", Summary_Instructions,
          [](Target &t, const std::string &p) { Copy_Field(t.parameters, p.c_str()); }, "Using the parameters:\n", 232,
          "[string too long]" },
        { "parameter file: 16 + 0", Summary_Instructions,
          [](Target &t, const std::string &p) { Copy_Field(t.parameters, p.c_str()); t.parametersIsFile = TRUE; },
          "Using the file:\n", 243, "[name too long]" },
    };
    for (const Edge &e : edges) {
        SCOPED_TRACE(e.name);
        for (size_t len : { e.longest, e.longest + 1, (size_t)259 }) {
            SCOPED_TRACE(len);
            Target t = Plain();
            std::string path = Path_Of(len);
            e.set(t, path);
            SUMMARY s;
            e.summary(&t, nullptr, &s);
            std::string expected = std::string(e.prefix) + (len <= e.longest ? path : e.marker);
            EXPECT_EQ(expected, s.text);
        }
    }
}

TEST_F(Summaries, PathsAndNamesAreShortenedToTheirPlaceBeforeTheTextIsJoined)
{
    Target t = Plain();
    Copy_Field(t.hotDir, "C:\\Spool\\Hot Folders\\Plate Setter 1");
    t.includeSubdirs = TRUE;
    SUMMARY s;
    Summary_Inputs(&t, &k_Narrow, &s);
    EXPECT_EQ("Get jobs to queue from the directory:\nC:\\Spo...te Setter 1\nand its sub-directories.", std::string(s.text))
        << "the path alone is shortened, the sub-directories line follows it";
    EXPECT_EQ(std::vector<int>{ FIT_PATH }, s_Modes);

    s_Modes.clear();
    Copy_Field(t.parameters, "-calibrate -res 2400 -profile proof.icc");
    Summary_Instructions(&t, &k_Narrow, &s);
    EXPECT_EQ("Using the parameters:\n-calib...e proof.icc", std::string(s.text));
    EXPECT_EQ(std::vector<int>{ FIT_END }, s_Modes) << "parameters are no path: cut at their end";

    s_Modes.clear();
    Copy_Field(targets[1].name, "A queue whose name is longer than its place");
    t.afterAction = 1;
    Summary_CleanUp(&t, &k_Narrow, &s);
    EXPECT_EQ("Pass jobs to \"A queu...n its place\".", std::string(s.text)) << "the closing quote and stop stay";

    s_Modes.clear();
    t.afterAction = AFTER_MOVE_DONE;
    Copy_Field(t.doneDir, Path_Of(260).c_str());
    Summary_CleanUp(&t, &k_Narrow, &s);
    EXPECT_EQ("Move jobs to:\nC:\\xxx...xxxxxxxxxxx", std::string(s.text)) << "a done directory of any length fits";
    EXPECT_EQ(std::vector<int>{ FIT_PATH }, s_Modes);

    /* the rule for paths too long comes first: the marker is not shortened */
    s_Modes.clear();
    Copy_Field(t.hotDir, Path_Of(240).c_str());
    Summary_Inputs(&t, &k_Narrow, &s);
    EXPECT_EQ("Get jobs to queue from the directory:\n[name too long]\nand its sub-directories.", std::string(s.text));
    EXPECT_TRUE(s_Modes.empty());
}

TEST(QueueText, PriorityNamesFollowTheirValues)
{
    const char *expected[] = { "", "Highest", "High", "Above Normal", "Normal", "Below Normal", "Low", "Lowest", "" };
    for (int p = 0; p <= 8; p++) EXPECT_STREQ(expected[p], Priority_Name(p)) << p;
    EXPECT_STREQ("", Priority_Name(-1));
    int n = 0;
    while (priorityNames[n] != NULL) n++;
    EXPECT_EQ(7, n);
}

TEST(QueueText, BlankTexts)
{
    EXPECT_TRUE(Is_BlankText(""));
    EXPECT_TRUE(Is_BlankText("   "));
    EXPECT_TRUE(Is_BlankText(" \t "));
    EXPECT_FALSE(Is_BlankText(" a "));
    EXPECT_FALSE(Is_BlankText("\n"));
}

TEST(QueueText, DirectoriesAreComparedAsTheFileSystemNamesThem)
{
    struct { const char *a, *b; bool same, inside; } cases[] = {
        { "C:\\Spool\\Hot\\Plates", "C:\\Spool\\Hot\\Plates", true, false },
        { "c:\\spool\\HOT\\plates\\", "C:\\Spool\\Hot\\Plates", true, false },
        { "\"C:\\Spool\\Hot\\Plates\"", "C:\\Spool\\Hot\\Plates", true, false },
        { "C:\\Spool\\Done\\..\\Hot\\Plates", "C:\\Spool\\Hot\\Plates", true, false },
        { "C:\\Spool\\Hot\\Plates\\Done", "C:\\Spool\\Hot\\Plates", false, true },
        { "C:\\Spool\\Hot\\Plates2", "C:\\Spool\\Hot\\Plates", false, false },
        { "C:\\Spool\\Hot", "C:\\Spool\\Hot\\Plates", false, false },
        { "C:\\Done", "C:\\", false, true },
        { "", "", false, false },
        { "C:\\Spool", "", false, false },
        /* the input queue editor's hot directories */
        { "C:\\Spool\\In", "c:\\spool\\in\\", true, false },
        { "\"C:\\Spool\\In\"", "C:\\Spool\\In", true, false },
        { "C:\\", "c:\\", true, false },
        { "C:\\Spool\\In", "C:\\Spool\\In 2", false, false },
    };
    for (auto &c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(c.same, Is_SameDir(c.a, c.b) != FALSE);
        EXPECT_EQ(c.same, Is_SameDir(c.b, c.a) != FALSE);
        EXPECT_EQ(c.inside, Is_InsideDir(c.a, c.b) != FALSE);
    }
}

TEST(QueueText, TheDirectoryRuleOfThePages)
{
    tk::TempDir dir("dirrule");
    tk::Make_Dirs(dir / "Hot");
    tk::Write_File(dir / "file.txt", "x");
    struct Case { std::string text, stored; bool accepted; } cases[] = {
        { "E", "E:\\", true },                          /* one letter: the root of that drive */
        { "EX", "E:\\", true },                         /* two characters: the same */
        { "", "", false },                               /* empty stays empty, and is no directory */
        { "E:\\Not\\There\\Yet", "E:\\Not\\There\\Yet", true },   /* a path on a drive, existing or not */
        { "e:\\lower", "e:\\lower", true },
        { dir / "Hot", dir / "Hot", true },              /* an existing directory */
        { "\"" + dir / "Hot" + "\"", "\"" + dir / "Hot" + "\"", true },   /* quoted: tested without the quotes */
        { "Relative\\Not There", "Relative\\Not There", false },
        { "1:\\x", "1:\\x", false },                     /* no drive letter */
        { "EXE", "EXE", false },                          /* three characters are no drive */
        { "\\\\server\\share", "\\\\server\\share", false },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        char text[TEXT_LEN];
        Copy_Field(text, c.text.c_str());
        EXPECT_EQ(c.accepted, Check_DirText(text, sizeof text) != FALSE);
        EXPECT_EQ(c.stored, text);
    }
    /* a relative name of a directory that exists is accepted */
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    SetCurrentDirectoryA(dir.path().c_str());
    char rel[TEXT_LEN] = "Hot";
    EXPECT_TRUE(Check_DirText(rel, sizeof rel));
    char file[TEXT_LEN] = "file.txt";
    EXPECT_FALSE(Check_DirText(file, sizeof file)) << "a file is no directory";
    SetCurrentDirectoryA(cwd);
}

} // namespace
