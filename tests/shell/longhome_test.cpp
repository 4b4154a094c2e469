/* A home directory path too long for the files the editor keeps in it is refused before anything
   is read, written or created under it: no file under a name cut short, no folder under a path
   cut short. Real Editor.exe processes. */
#include "support/testkit.h"
#include "config/setup.h"
#include "common/fileutil.h"

using namespace tk;

namespace {

const char k_TooLong[] = "The home directory path is too long:\n\n";

/* A folder path of exactly n characters under base (made of folders of at most 100 characters). */
std::string Path_Of_Length(const std::string &base, size_t n)
{
    std::string p = base;
    while (p.size() < n) {
        size_t room = n - p.size() - 1;             /* after the backslash */
        if (room == 0) {                            /* one character left: lengthen the last folder */
            p += "x";
            break;
        }
        p += "\\" + std::string(std::min<size_t>(room, 100), 'd');
    }
    return p;
}

std::vector<std::string> Names_Under(const std::string &dir)
{
    std::vector<std::string> all;
    for (const std::string &n : List_Dir(dir)) {
        all.push_back(n);
        std::string full = dir + "\\" + n;
        if (GetFileAttributesA(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY)
            for (const std::string &m : Names_Under(full)) all.push_back(n + "\\" + m);
    }
    return all;
}

} // namespace

class LongHome : public ::testing::Test {
protected:
    TempDir base{ "lh" };
    void Lay_Legacy(const std::string &home)
    {
        Make_Dirs(home);
        for (const char *f : { "Queues.cfg", "Applications.cfg", "Preferences.cfg" })
            Write_File(home + "\\" + f, Crlf(Read_File(Fixture(std::string("faults/legacy/") + f))));
    }
};

TEST_F(LongHome, UpdateWritesEveryFileUnderItsFullNameAtTheLimit)
{
    const int limit = Longest_HomePath();
    ASSERT_EQ(230, limit) << "the longest name is a profile folder's search pattern";
    const std::string home = Path_Of_Length(base.path(), (size_t)limit);
    ASSERT_EQ((size_t)limit, home.size());
    Lay_Legacy(home);
    Child editor(Quote(Editor_Exe()) + " -update " + Quote(home), "", nullptr, base / "out.txt");
    EXPECT_EQ(0, editor.wait(30000));
    std::vector<std::string> names = List_Dir(home);
    for (const char *f : { "Queues.cfg", "Queues.old", "Applications.cfg", "Applications.old", "Preferences.cfg",
                           "LBPrefs.cfg" })
        EXPECT_NE(names.end(), std::find(names.begin(), names.end(), f)) << f;
    for (const std::string &n : names) EXPECT_EQ(std::string::npos, n.find("~ed")) << "temporary file left: " << n;
}

TEST_F(LongHome, UpdateRefusesAHomeWithoutRoomOnItsStandardErrorAndTouchesNothing)
{
    const int limit = Longest_HomePath();
    struct Case { const char *name; size_t length; bool exists; bool quoted; };
    const Case cases[] = {
        { "one character over, an installation there", (size_t)limit + 1, true, false },
        { "one character over, in quotes", (size_t)limit + 1, true, true },
        { "one character over, no folder yet", (size_t)limit + 1, false, false },
        { "longer than any path", 300, false, false },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Remove_Tree(base / "h");
        const std::string home = Path_Of_Length(base / "h", c.length);
        if (c.exists) Lay_Legacy(home);
        std::vector<std::string> before = Names_Under(base.path());
        std::string arg = c.quoted ? Quote(home) : home;
        Child editor(Quote(Editor_Exe()) + " -update " + arg, "", nullptr, base / "out.txt");
        std::vector<ForeignBox> seen;
        EXPECT_EQ(1, Run_Answering(editor, {}, &seen));
        EXPECT_TRUE(seen.empty()) << "the update mode shows no box";
        std::string out;
        for (char ch : Read_File(base / "out.txt")) if (ch != '\r') out += ch;      /* the standard error is text */
        EXPECT_EQ(0u, out.find(k_TooLong + home + "\n\nA home directory path may have at most 230 characters"))
            << out;
        std::vector<std::string> after = Names_Under(base.path());
        after.erase(std::remove(after.begin(), after.end(), "out.txt"), after.end());
        before.erase(std::remove(before.begin(), before.end(), "out.txt"), before.end());
        EXPECT_EQ(before, after) << "nothing read, written or created";
    }
}

TEST_F(LongHome, PreferencesAndAnInstalledEditorTellTheOperator)
{
    const std::string home = Path_Of_Length(base / "h", (size_t)Longest_HomePath() + 1);
    Lay_Legacy(home);
    Make_Dirs(home + "\\System");
    ASSERT_TRUE(CopyFileA(Editor_Exe().c_str(), (home + "\\System\\Editor.exe").c_str(), FALSE));
    const std::vector<std::string> before = Names_Under(base.path());
    const std::string starts[] = { Quote(Editor_Exe()) + " -preferences " + home,
                                   Quote(home + "\\System\\Editor.exe"),
                                   Quote(home + "\\System\\Editor.exe") + " -silent" };
    for (const std::string &cmd : starts) {
        SCOPED_TRACE(cmd.substr(cmd.size() - 12));
        Child editor(cmd, home + "\\System");
        std::vector<ForeignBox> seen;
        EXPECT_EQ(1, Run_Answering(editor, {}, &seen));
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ(0u, seen[0].text.find(k_TooLong + home + "\n\n")) << seen[0].text;
        EXPECT_EQ("Editor", seen[0].caption);
        EXPECT_EQ(before, Names_Under(base.path()));
    }
}
