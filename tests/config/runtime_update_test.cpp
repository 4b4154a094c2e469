/* Editor.exe -update on whole installations: every file is read and written back, and the
   run-time files stay in line. The real program runs as another process. */
#include "runtime_kit.h"
#include <map>

using tk::Crlf;
using tk::Read_File;
using tk::Write_File;

typedef std::map<std::string, std::string> FileTree;    /* relative path -> bytes */

static void Read_Tree(const std::string &dir, const std::string &rel, FileTree *out)
{
    for (const std::string &name : tk::List_Dir(dir)) {
        const std::string full = dir + "\\" + name, r = rel.empty() ? name : rel + "\\" + name;
        if (GetFileAttributesA(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY) Read_Tree(full, r, out);
        else (*out)[r] = Read_File(full);
    }
}

/* The backup name of a file: its extension replaced by ".old". */
static std::string Old_Name(const std::string &rel)
{
    size_t dot = rel.rfind('.');
    return (dot == std::string::npos || rel.find('\\', dot) != std::string::npos) ? rel + ".old" : rel.substr(0, dot) + ".old";
}

static int Run_Update(const std::string &home)
{
    tk::Child editor(tk::Quote(tk::Editor_Exe()) + " -update " + home, home);
    return editor.wait(30000);
}

TEST(UpdateMode, TheDemoInstallationChangesOnlyByItsBackups)
{
    tk::TempDir home("demo");
    tk::Lay_Out_Demo(home.path());
    FileTree before, after;
    Read_Tree(home.path(), "", &before);
    ASSERT_TRUE(before.count("queue\\engine.q"));
    ASSERT_TRUE(before.count("Preferences.cfg"));

    ASSERT_EQ(0, Run_Update(home.path()));

    Read_Tree(home.path(), "", &after);
    for (const auto &f : before) EXPECT_EQ(f.second, after[f.first]) << f.first << " was changed";
    for (const auto &f : after) {
        if (before.count(f.first)) continue;
        bool isBackup = false;
        for (const auto &b : before)
            if (Old_Name(b.first) == f.first) {
                isBackup = true;
                EXPECT_EQ(b.second, f.second) << f.first << " is not a complete copy of " << b.first;
            }
        EXPECT_TRUE(isBackup) << f.first << " was added";
    }
}

TEST(UpdateMode, AnOlderInstallationGetsCurrentFilesAndEmptyRunTimeFiles)
{
    tk::TempDir home("old");
    tk::Make_Dirs(home / "queue");
    tk::Make_Dirs(home / "state");
    const std::string older = Crlf("SPOOLER_FILE_SETTLE_TIME 45\nCOMMS_SERVER_PORT 0x2382\n");
    Write_File(home / "Spooler.cfg", older);

    ASSERT_EQ(0, Run_Update(home.path()));

    EXPECT_EQ(older, Read_File(home / "Spooler.cfg"));
    std::string prefs = Read_File(home / "Preferences.cfg");
    EXPECT_NE(std::string::npos, prefs.find("\r\nSPOOLER_FILE_SETTLE_TIME 45\r\n"));
    EXPECT_NE(std::string::npos, prefs.find("\r\nCOMMS_SERVER_PORT 0x2382\r\n"));
    EXPECT_EQ("END OF QUEUE", Read_File(home / "queue\\engine.q"));
    bool present = false;
    EXPECT_EQ("", Read_File(home / "state\\queues.sta", &present));
    EXPECT_TRUE(present);
}
