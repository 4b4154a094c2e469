/* The plumbing of the modes without a window, driven with a mode of the test's own: what reaches
   the mode's procedure, what is refused before it, the exit codes and the two streams. */
#include "support/testkit.h"
#include "shell/modes.h"
#include "common/appstate.h"
#include "common/msg.h"
#include "config/setup.h"

using namespace tk;

namespace {

/* What the test's procedure was called with. */
struct Seen {
    int calls = 0;
    std::string option, home, homeDirThen;
    std::vector<std::string> args;
    bool quiet = false;
};
Seen s_Seen;

int Probe_Mode(const CLI_CALL *call)
{
    s_Seen.calls++;
    s_Seen.option = call->option;
    s_Seen.home = call->home ? call->home : "(none)";
    s_Seen.homeDirThen = homeDir ? homeDir : "(none)";
    s_Seen.args.assign(call->argv, call->argv + call->argc);
    s_Seen.quiet = commandMode;
    Out_Line("%d arguments", call->argc);
    return 7;
}

const CLI_MODE k_TestModes[] = {
    { "-probe", "-probe <home> <file> <name>...", 3, -1, TRUE, 2, Probe_Mode },
    { "-plain", "-plain [<word>]", 0, 1, FALSE, 1, Probe_Mode },
    { "-look", "-look <home>", 1, 1, TRUE, 2, Probe_Mode },
};

class CommandModes : public ::testing::Test {
protected:
    TempDir dir{ "modes" };
    MsgRecorder msgs;
    void SetUp() override
    {
        Reset_ProcessState();
        s_Seen = Seen();
    }
    void TearDown() override { Reset_ProcessState(); }
    /* Runs the line against the test's modes; -1 when no mode took it. */
    int Run(const std::string &line)
    {
        int code = -99;
        return Run_CommandMode(k_TestModes, (int)(sizeof k_TestModes / sizeof k_TestModes[0]), line.c_str(), &code) ? code : -1;
    }
};

} // namespace

TEST_F(CommandModes, TheProcedureGetsItsArgumentsAndTheCheckedHome)
{
    Make_Dirs(dir / "My Spool");
    StdCapture cap;
    EXPECT_EQ(7, Run("-PROBE \"" + dir / "My Spool" + "\" out.queues \"Proof A\" B"));
    EXPECT_EQ(1, s_Seen.calls);
    EXPECT_EQ("-probe", s_Seen.option);
    EXPECT_EQ(dir / "My Spool", s_Seen.home);
    EXPECT_EQ(s_Seen.home, s_Seen.homeDirThen) << "homeDir names the home";
    EXPECT_EQ((std::vector<std::string>{ dir / "My Spool", "out.queues", "Proof A", "B" }), s_Seen.args);
    EXPECT_TRUE(s_Seen.quiet) << "no box may show in a mode without a window";
    EXPECT_EQ("4 arguments\r\n", cap.out());
    EXPECT_EQ("", cap.err());
    EXPECT_TRUE(msgs.boxes.empty());
}

/* A mode's home is only ever read: it must exist, it is never created, and the older modes'
   length rule holds. Each refusal is one line on the standard error and the row's exit code. */
TEST_F(CommandModes, AHomeIsCheckedForReadingOnly)
{
    const int limit = Longest_HomePath();
    std::string atLimit = dir.path();
    while ((int)atLimit.size() < limit) atLimit += (limit - (int)atLimit.size() > 1) ? "\\d" : "x";
    atLimit.resize((size_t)limit);
    Make_Dirs(atLimit);
    std::string overLimit = atLimit + "y";
    Make_Dirs(overLimit);
    std::string file = dir / "file.txt";
    Write_File(file, "x");

    struct Case { const char *name; std::string home; int code; std::string err; std::string seenHome; };
    const Case cases[] = {
        { "an existing folder", dir.path(), 7, "", dir.path() },
        { "a trailing backslash before the closing quote", "\"" + dir.path() + "\\\"", 7, "", dir.path() },
        { "at the longest allowed", atLimit, 7, "", atLimit },
        { "one character over", overLimit, 2,
          "The home directory path is too long (at most " + std::to_string(limit) + " characters): " + overLimit + "\r\n", "" },
        { "a missing folder is not created", dir / "new\\home", 2,
          "The home directory does not exist or is not a folder: " + dir / "new\\home" + "\r\n", "" },
        { "a file", file, 2, "The home directory does not exist or is not a folder: " + file + "\r\n", "" },
        { "empty quotes", "\"\"", 2, "No home directory was given.\r\n", "" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        s_Seen = Seen();
        Reset_ProcessState();
        StdCapture cap;
        EXPECT_EQ(c.code, Run("-look " + (c.home[0] == '"' ? c.home : Quote(c.home))));
        EXPECT_EQ(c.err, cap.err());
        EXPECT_EQ(c.code == 7 ? 1 : 0, s_Seen.calls) << "the procedure runs only with a usable home";
        if (c.code == 7) {
            EXPECT_EQ(c.seenHome, s_Seen.home);
        } else {
            EXPECT_EQ(nullptr, homeDir);
        }
    }
    EXPECT_FALSE(Exists(dir / "new")) << "nothing was created";
    EXPECT_TRUE(msgs.boxes.empty());
}

TEST_F(CommandModes, AWrongNumberOfArgumentsGetsTheUsageLine)
{
    struct Case { const char *line; int code; const char *err; int calls; };
    const Case cases[] = {
        { "-probe",                 2, "Usage: Editor.exe -probe <home> <file> <name>...\r\n", 0 },
        { "-probe home file",       2, "Usage: Editor.exe -probe <home> <file> <name>...\r\n", 0 },
        { "-plain",                 7, "",                                                     1 },
        { "-plain one",             7, "",                                                     1 },
        { "-plain one two",         1, "Usage: Editor.exe -plain [<word>]\r\n",                0 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        s_Seen = Seen();
        StdCapture cap;
        EXPECT_EQ(c.code, Run(c.line));
        EXPECT_EQ(c.err, cap.err());
        EXPECT_EQ(c.calls, s_Seen.calls);
        if (c.calls) {
            EXPECT_EQ("(none)", s_Seen.home) << "a mode that takes no home gets none";
        }
    }
}

/* A line that names no mode is left to the older options exactly as it was: a longer word is
   not a mode, and neither is an older option. */
TEST_F(CommandModes, OtherLinesAreLeftToTheOlderOptions)
{
    StdCapture cap;
    for (const char *line : { "", "   ", "-update C:\\x", "-silent", "-preferences x", "-probes h f n", "probe h f n",
                              "-pro h f n" }) {
        SCOPED_TRACE(line);
        EXPECT_EQ(-1, Run(line));
        EXPECT_FALSE(commandMode);
    }
    EXPECT_EQ(0, s_Seen.calls);
    EXPECT_EQ("", cap.out());
    EXPECT_EQ("", cap.err());
}

TEST_F(CommandModes, AMessageOfAnOperationGoesToTheStandardErrorAndAQuestionIsAnsweredNo)
{
    StdCapture cap;
    EXPECT_EQ(7, Run("-plain"));
    ASSERT_TRUE(commandMode);
    Info_Box(programTitle, "Queues.cfg line %d could not be read.", 4);
    EXPECT_EQ(IDNO, Message_Box(programTitle, MB_YESNO | MB_ICONQUESTION, "Create the directory %s?", "C:\\Hot"));
    EXPECT_TRUE(msgs.boxes.empty()) << "no box was shown";
    EXPECT_EQ("Queues.cfg line 4 could not be read.\r\nCreate the directory C:\\Hot?\r\n", cap.err());
}

/* Every mode of the program keeps to the rules the table relies on. */
TEST(CommandModeTable, EveryRowIsWellFormed)
{
    int count = -1;
    const CLI_MODE *modes = Command_Modes(&count);
    ASSERT_GE(count, 0);
    EXPECT_EQ(nullptr, modes[count].option) << "the table ends with its end row";
    for (int i = 0; i < count; i++) {
        const CLI_MODE &m = modes[i];
        SCOPED_TRACE(m.option ? m.option : "(null)");
        ASSERT_NE(nullptr, m.option);
        EXPECT_EQ('-', m.option[0]);
        for (const char *older : { "-update", "-preferences", "-silent" })
            EXPECT_NE(0, _strnicmp(m.option, older, strlen(older))) << "the older option " << older << " takes this word";
        ASSERT_NE(nullptr, m.usage);
        EXPECT_EQ(0, strncmp(m.usage, m.option, strlen(m.option))) << "the usage line begins with the option";
        EXPECT_TRUE(m.maxArgs < 0 || m.maxArgs >= m.minArgs);
        EXPECT_TRUE(!m.takesHome || m.minArgs >= 1);
        EXPECT_NE(0, m.refusedExit) << "a refused command line is no success";
        EXPECT_NE(nullptr, m.run);
        for (int j = 0; j < i; j++) EXPECT_NE(0, _stricmp(m.option, modes[j].option)) << "named twice";
    }
}
