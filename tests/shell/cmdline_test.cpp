#include "support/testkit.h"
#include "shell/app.h"
#include "common/appstate.h"

using namespace tk;

static const char k_Usage[] =
    "Command line options:\r\n\r\n-update <homepath>  :  Update config files only (background process)\r\n"
    "-preferences <homepath>  :  Access preferences dialog only\r\n-silent  :  Update config files only "
    "(background process)\r\n\r\n(<homepath> is the directory in which you chose to install Ostra)";

enum Outcome { GO_INTERACTIVE, GO_UPDATE, GO_PREFS, GO_SILENT, USAGE_BOX, HOME_BOX };

struct CmdCase {
    const char *name;
    const char *line;      /* "@" stands for an existing folder, "#" for a creatable new one */
    Outcome outcome;
    const char *home;      /* expected homeDir ("@", "#"), NULL for none */
};

static const CmdCase k_Cases[] = {
    { "empty line is interactive",              "",                         GO_INTERACTIVE, nullptr },
    { "blanks only are interactive",            "   ",                      GO_INTERACTIVE, nullptr },
    { "update with an existing folder",         "-update @",                GO_UPDATE,      "@" },
    { "option in capitals",                     "-UPDATE @",                GO_UPDATE,      "@" },
    { "longer word: path two after the 7th",    "-updateX@",                GO_UPDATE,      "@" },
    { "quoted path is unquoted",                "-update \"@\"",            GO_UPDATE,      "@" },
    { "unbalanced quote keeps what follows",    "-update \"@",              GO_UPDATE,      "@" },
    { "a creatable path is created",            "-update #",                GO_UPDATE,      "#" },
    { "any separator character",                "-update\t@",               GO_UPDATE,      "@" },
    { "update, uncreatable path: usage box",    "-update Q:\\no\\such",     USAGE_BOX,      nullptr },
    { "update without a path: usage box",       "-update",                  USAGE_BOX,      nullptr },
    { "preferences with an existing folder",    "-preferences @",           GO_PREFS,       "@" },
    { "preferences in mixed case",              "-Preferences \"@\"",       GO_PREFS,       "@" },
    { "preferences, unusable path",             "-preferences Q:\\no\\such", HOME_BOX,      nullptr },
    { "silent",                                 "-silent",                  GO_SILENT,      nullptr },
    { "silent as a prefix of a longer word",    "-SILENTLY",                GO_SILENT,      nullptr },
    { "a bare home path is no option",          "@",                        USAGE_BOX,      nullptr },
    { "unknown option",                         "-help",                    USAGE_BOX,      nullptr },
};

static std::string Expand(const char *pattern, const std::string &existing, const std::string &fresh)
{
    std::string out;
    for (const char *p = pattern; *p; p++) {
        if (*p == '@') out += existing;
        else if (*p == '#') out += fresh;
        else out += *p;
    }
    return out;
}

TEST(Parse_CommandLine, ModesHomePathsAndRefusals)
{
    TempDir dir("cmd");
    for (const CmdCase &c : k_Cases) {
        SCOPED_TRACE(c.name);
        Reset_ProcessState();
        std::string existing = dir.path(), fresh = dir / "new\\home";
        RemoveDirectoryA(fresh.c_str());
        std::string line = Expand(c.line, existing, fresh);
        MsgRecorder rec;
        int result = Parse_CommandLine(line.c_str());

        bool goes = c.outcome != USAGE_BOX && c.outcome != HOME_BOX;
        EXPECT_EQ(goes ? 1 : 0, result);
        if (goes) {
            EXPECT_EQ(c.outcome == GO_UPDATE, !!updateMode);
            EXPECT_EQ(c.outcome == GO_PREFS, !!preferencesMode);
            EXPECT_EQ(c.outcome == GO_SILENT, !!silentMode);
        }
        if (c.home) {
            ASSERT_NE(nullptr, homeDir);
            EXPECT_STREQ(Expand(c.home, existing, fresh).c_str(), homeDir);
            EXPECT_TRUE(Exists(homeDir));
            EXPECT_TRUE(saveOnExit);
        } else {
            EXPECT_EQ(nullptr, homeDir);
        }
        if (goes) {
            EXPECT_EQ(0u, rec.count());
            continue;
        }
        ASSERT_EQ(1u, rec.count());
        const Box &b = rec.last();
        EXPECT_EQ("Editor", b.caption);
        EXPECT_EQ((UINT)MB_ICONINFORMATION, Icon_Of(b.flags));
        EXPECT_EQ((UINT)MB_OK, Buttons_Of(b.flags));
        EXPECT_TRUE(b.flags & MB_SETFOREGROUND);
        std::string want = (c.outcome == USAGE_BOX)
            ? std::string(k_Usage)
            : "Could not find the specified home directory in the command line:\n\n" + line + "\n\nCannot continue.";
        EXPECT_EQ(want, b.text);
    }
    Reset_ProcessState();
}
