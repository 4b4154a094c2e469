/* The command line of the modes without a window: split as the Windows runtime splits it, and
   the lines they write to the standard streams. */
#include "support/testkit.h"
#include "common/cmdline.h"
#include "common/text.h"
#include <shellapi.h>

namespace {

struct SplitCase {
    const char *name;
    const char *line;
    std::vector<std::string> args;
};

const SplitCase k_Split[] = {
    { "nothing",                         "",                              {} },
    { "blanks and tabs only",            " \t ",                          {} },
    { "blanks and tabs separate",        "-check  C:\\Spool\tx",          { "-check", "C:\\Spool", "x" } },
    { "a quoted home with blanks",       "-check \"C:\\My Spool\"",       { "-check", "C:\\My Spool" } },
    { "quotes inside an argument",       "a\"b c\"d e",                   { "ab cd", "e" } },
    { "an empty quoted argument",        "-x \"\" y",                     { "-x", "", "y" } },
    { "backslashes not before a quote",  "a\\\\\\b d",                    { "a\\\\\\b", "d" } },
    { "2n backslashes, then a quote",    "a\\\\\\\\\"b c\" d",            { "a\\\\b c", "d" } },
    { "2n+1 backslashes, then a quote",  "a\\\\\\\"b c d",                { "a\\\"b", "c", "d" } },
    { "an escaped quote in quotes",      "\"ab\\\"c\" \"\\\\\" d",        { "ab\"c", "\\", "d" } },
    { "two quotes inside quotes give one and end them", "\"Proof \"\"A B c", { "Proof \"A", "B", "c" } },
    { "a backslash before the closing quote escapes it",
                                         "-check \"C:\\Spool\\\" Q1",     { "-check", "C:\\Spool\" Q1" } },
    { "an unclosed quote runs to the end", "-export \"C:\\Spool  x",      { "-export", "C:\\Spool  x" } },
    { "a queue name in quotes",          "-export H f.queues \"Proof A\" B", { "-export", "H", "f.queues", "Proof A", "B" } },
};

std::vector<std::string> Split(const char *line, BOOL *whole = nullptr)
{
    static CMD_ARGS args;
    BOOL ok = Split_CommandLine(line, &args);
    if (whole) *whole = ok;
    return std::vector<std::string>(args.args, args.args + args.count);
}

} // namespace

TEST(Split_CommandLine, FollowsTheWindowsRules)
{
    for (const SplitCase &c : k_Split) {
        SCOPED_TRACE(c.name);
        BOOL whole = FALSE;
        EXPECT_EQ(c.args, Split(c.line, &whole)) << c.line;
        EXPECT_TRUE(whole);
    }
}

/* The system's own splitter (after a program name, which it takes by rules of its own) must
   agree: a script that quotes its arguments for Windows programs gets what it meant. */
TEST(Split_CommandLine, AgreesWithTheSystemsSplitter)
{
    for (const SplitCase &c : k_Split) {
        SCOPED_TRACE(c.name);
        std::string line = std::string("Editor.exe ") + c.line;
        wchar_t wide[512];
        ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, line.c_str(), -1, wide, 512), 0);
        int n = 0;
        LPWSTR *argv = CommandLineToArgvW(wide, &n);
        ASSERT_NE(nullptr, argv);
        std::vector<std::string> system;
        for (int i = 1; i < n; i++) {
            char buf[512];
            WideCharToMultiByte(CP_ACP, 0, argv[i], -1, buf, sizeof buf, nullptr, nullptr);
            system.push_back(buf);
        }
        LocalFree(argv);
        EXPECT_EQ(system, Split(c.line)) << c.line;
    }
}

TEST(Split_CommandLine, RefusesMoreArgumentsThanItHolds)
{
    std::string line;
    for (int i = 0; i < CMD_ARGS_MAX; i++) line += "q" + std::to_string(i) + " ";
    BOOL whole = FALSE;
    std::vector<std::string> got = Split(line.c_str(), &whole);
    EXPECT_TRUE(whole) << "exactly as many as it holds";
    ASSERT_EQ((size_t)CMD_ARGS_MAX, got.size());
    EXPECT_EQ("q" + std::to_string(CMD_ARGS_MAX - 1), got.back());

    line += "one-more";
    got = Split(line.c_str(), &whole);
    EXPECT_FALSE(whole);
    EXPECT_EQ((size_t)CMD_ARGS_MAX, got.size()) << "the arguments that fitted are kept";

    /* one argument as long as a command line may be, and then one byte more than the text holds */
    std::string longest(CMD_TEXT_LEN - 1, 'x');
    got = Split(longest.c_str(), &whole);
    EXPECT_TRUE(whole);
    ASSERT_EQ(1u, got.size());
    EXPECT_EQ(longest.size(), got[0].size());
    got = Split((longest + " y").c_str(), &whole);
    EXPECT_FALSE(whole) << "the second argument has no room left";
}

TEST(StandardStreams, LinesReachTheirOwnFileWithCrLf)
{
    tk::StdCapture cap;
    EXPECT_TRUE(Out_Line("Queues.cfg:%d: %s: %s", 12, "error", "two queues are named Proofer"));
    EXPECT_TRUE(Err_Line("The home directory does not exist:\n%s", "C:\\Spool"));
    EXPECT_TRUE(Out_Line("%d errors, %d warnings", 1, 0));
    EXPECT_TRUE(Out_Write("raw\n", 4));
    EXPECT_TRUE(Err_Line("already\r\nended"));
    EXPECT_EQ("Queues.cfg:12: error: two queues are named Proofer\r\n1 errors, 0 warnings\r\nraw\n", cap.out());
    EXPECT_EQ("The home directory does not exist:\r\nC:\\Spool\r\nalready\r\nended\r\n", cap.err());
}

TEST(StandardStreams, ALongLineIsCutNotOverrun)
{
    tk::StdCapture cap;
    std::string lines(CMD_OUT_LEN * 2, '\n');
    EXPECT_TRUE(Out_Line("%s", lines.c_str()));
    std::string got = cap.out();
    EXPECT_EQ((size_t)(CMD_OUT_LEN - 1) * 2 + 2, got.size()) << "the formatted text is cut, then every line break is CR LF";
    EXPECT_EQ(std::string::npos, got.find("\n\n"));
}
