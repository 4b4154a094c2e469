#include "support/testkit.h"
#include "common/fileutil.h"

using namespace tk;

class FileUtil : public ::testing::Test {
protected:
    TempDir dir{ "fu" };
    void SetUp() override
    {
        Make_Dirs(dir / "A\\Sub");
        Write_File(dir / "A\\file.txt", "x");
    }
    void TearDown() override { Reset_ProcessState(); }
};

TEST_F(FileUtil, ExistenceTestsIgnoreQuotesAndTellFilesFromFolders)
{
    struct { std::string path; BOOL file, folder; } cases[] = {
        { dir / "A\\file.txt", TRUE, FALSE },
        { "\"" + (dir / "A\\file.txt") + "\"", TRUE, FALSE },
        { "\"" + (dir / "A\\file.txt"), TRUE, FALSE },          /* unbalanced: cut at the next quote */
        { dir / "A", FALSE, TRUE },
        { "\"" + (dir / "A") + "\"", FALSE, TRUE },
        { dir / "missing", FALSE, FALSE },
        { "", FALSE, FALSE },
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.file, File_Exists(c.path.c_str()));
        EXPECT_EQ(c.folder, Dir_Exists(c.path.c_str()));
    }
    EXPECT_TRUE(Is_AbsDrivePath("C:\\x"));
    EXPECT_TRUE(Is_AbsDrivePath("z:\\"));
    EXPECT_FALSE(Is_AbsDrivePath("C:x"));
    EXPECT_FALSE(Is_AbsDrivePath("\\\\server\\share"));
    EXPECT_FALSE(Is_AbsDrivePath("1:\\x"));
}

TEST_F(FileUtil, DeepestExistingFolder)
{
    struct { std::string path, want; BOOL found; } cases[] = {
        { dir / "A\\new\\file.txt", dir / "A", TRUE },
        { dir / "A\\Sub", dir / "A\\Sub", TRUE },
        { dir / "A\\file.txt", dir / "A", TRUE },            /* a file: its folder */
        { dir / "A\\file.txt\\deeper", dir / "A", TRUE },
        { "Q:\\no\\such", "", FALSE },
        { "nothing", "", FALSE },
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.path);
        char out[PATH_LEN] = "";
        EXPECT_EQ(c.found, Deepest_ExistingFolder(c.path.c_str(), out, sizeof out));
        if (c.found) { EXPECT_EQ(c.want, out); }
    }
}

TEST_F(FileUtil, CreateDirectoryPathMakesEachMissingFolder)
{
    DWORD err = 0;
    EXPECT_TRUE(Create_DirectoryPath((dir / "A\\B\\C\\D").c_str(), &err));
    EXPECT_TRUE(Dir_Exists((dir / "A\\B\\C\\D").c_str()));
    EXPECT_TRUE(Create_DirectoryPath(("\"" + (dir / "A\\Q\\R") + "\"").c_str(), &err)) << "quotes ignored";
    EXPECT_TRUE(Dir_Exists((dir / "A\\Q\\R").c_str()));
    EXPECT_TRUE(Create_DirectoryPath((dir / "A\\B").c_str(), &err)) << "existing path";

    err = 0;
    EXPECT_FALSE(Create_DirectoryPath("Q:\\A\\B\\C", &err));
    EXPECT_EQ(1018u, err) << "no part of the path exists";
    err = 0;
    EXPECT_FALSE(Create_DirectoryPath((dir / "A\\file.txt\\B").c_str(), &err)) << "a file in the way";
    EXPECT_NE(0u, err);
    EXPECT_FALSE(Create_DirectoryPath("Q:\\x", nullptr));
}

TEST_F(FileUtil, PathPieces)
{
    char p[PATH_LEN] = "C:\\Spool\\Hot\\Job.tif";
    EXPECT_TRUE(Parent_Folder(p));
    EXPECT_STREQ("C:\\Spool\\Hot", p);
    char none[PATH_LEN] = "Job.tif";
    EXPECT_FALSE(Parent_Folder(none));

    struct { const char *in, *out; } quotes[] = {
        { "\"C:\\a b\\x.exe\" -p", "C:\\a b\\x.exe" }, { "\"\"C:\\x", "C:\\x" }, { "C:\\x", "C:\\x" }, { "\"", "" },
    };
    for (auto &q : quotes) {
        char buf[PATH_LEN];
        Copy_Field(buf, q.in);
        Strip_Quotes(buf);
        EXPECT_STREQ(q.out, buf) << q.in;
    }

    struct { const char *in, *out; } backups[] = {
        { "C:\\Spool\\Queues.cfg", "C:\\Spool\\Queues.old" },
        { "C:\\Spool.d\\Queues", "C:\\Spool.d\\Queues.old" },       /* the dot belongs to a folder */
        { "C:\\Spool\\a.b.cfg", "C:\\Spool\\a.b.old" },
    };
    for (auto &b : backups) {
        char out[PATH_LEN];
        EXPECT_TRUE(Backup_Name(b.in, out, sizeof out));
        EXPECT_STREQ(b.out, out);
    }

    char home[PATH_LEN];
    EXPECT_TRUE(Home_Path(home, sizeof home, "D:\\Spool", "Queues.cfg"));
    EXPECT_STREQ("D:\\Spool\\Queues.cfg", home);
    /* a path that would name another file is no path: none under no home (the root of the
       current drive), none cut short ("Applications.c") */
    const std::string longHome = "D:\\" + std::string(PATH_LEN - 16, 'h');
    const char *noPath[][2] = { { nullptr, "Queues.cfg" }, { "", "Queues.cfg" }, { longHome.c_str(), "Applications.cfg" } };
    for (auto &c : noPath) {
        SCOPED_TRACE(c[0] ? c[0] : "(no home)");
        Copy_Field(home, "stale");
        SetLastError(0);
        EXPECT_FALSE(Home_Path(home, sizeof home, c[0], c[1]));
        EXPECT_STREQ("", home);
        EXPECT_EQ((DWORD)ERROR_FILENAME_EXCED_RANGE, GetLastError());
    }
}

TEST_F(FileUtil, FindFileUnderFolderSearchesDepthFirst)
{
    Make_Dirs(dir / "A\\Sub\\Deep");
    Write_File(dir / "A\\Sub\\Deep\\tool.exe", "");
    EXPECT_TRUE(Find_FileUnderFolder(dir.path().c_str(), "tool.exe"));
    EXPECT_EQ(dir / "A\\Sub\\Deep\\tool.exe", Last_FoundPath());
    EXPECT_TRUE(Find_FileUnderFolder((dir.path() + "\\").c_str(), "file.txt"));
    EXPECT_EQ(dir / "A\\file.txt", Last_FoundPath());
    EXPECT_FALSE(Find_FileUnderFolder(dir.path().c_str(), "nowhere.exe"));
    EXPECT_FALSE(Find_FileUnderFolder("", "tool.exe"));
    EXPECT_FALSE(Find_FileUnderFolder(dir.path().c_str(), ""));
    EXPECT_FALSE(Find_FileUnderFolder(dir.path().c_str(), std::string(250, 'x').c_str())) << "over 260 characters";
}

TEST_F(FileUtil, KeySearchInATextFile)
{
    std::string path = dir / "Profile.cfg";
    Write_File(path, "# identity\r\nSYSTEM_NAME=Print Hub\r\nPRODUCT_NAMES  Queue Editor\r\nEMPTY_KEY\r\nlower_key x\r\n");
    FILE *f = fopen(path.c_str(), "r");
    ASSERT_NE(nullptr, f);
    struct { const char *key, *value; int result; const char *err; } cases[] = {
        { "SYSTEM_NAME", "Print Hub", 9, "" },
        { "PRODUCT_NAME", "Queue Editor", 12, "" },          /* a longer word starting with the key */
        { "EMPTY_KEY", "", 0, "" },                           /* found, empty value */
        { "LOWER_KEY", "", -1, "Could not find the token \"LOWER_KEY\" in the file." },   /* case counts */
        { "MISSING", "", -1, "Could not find the token \"MISSING\" in the file." },
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.key);
        char out[TEXT_LEN] = "", err[256] = "";
        EXPECT_EQ(c.result, Get_ConfigString(c.key, out, sizeof out, f, err, sizeof err));
        EXPECT_STREQ(c.value, out);
        EXPECT_STREQ(c.err, err);
    }
    char small[5], err[8] = "";
    EXPECT_EQ(4, Get_ConfigString("SYSTEM_NAME", small, sizeof small, f, err, sizeof err)) << "cut to the buffer";
    EXPECT_STREQ("Prin", small);
    EXPECT_EQ(-1, Get_ConfigString("MISSING", small, sizeof small, f, err, sizeof err));
    EXPECT_STREQ("", err) << "a reason that does not fit is dropped";
    char big[256] = "";
    EXPECT_EQ(-1, Get_ConfigString("KEY", small, sizeof small, nullptr, big, sizeof big));
    EXPECT_STREQ("File pointer was not set.  Cannot search for config string \"KEY\"", big);
    fclose(f);
}

TEST_F(FileUtil, ReplaceAllScansLeftToRightOnce)
{
    char out[64];
    EXPECT_TRUE(Replace_All("\"%1\" and %1", out, sizeof out, "%1", "C:\\p.cfg"));
    EXPECT_STREQ("\"C:\\p.cfg\" and C:\\p.cfg", out);
    EXPECT_TRUE(Replace_All("aaa", out, sizeof out, "a", "aa"));
    EXPECT_STREQ("aaaaaa", out);
    EXPECT_TRUE(Replace_All("none", out, sizeof out, "x", "y"));
    EXPECT_STREQ("none", out);
    char tiny[6];
    EXPECT_FALSE(Replace_All("ab", tiny, sizeof tiny, "b", "bbbbbbb"));
    EXPECT_STREQ("abbbb", tiny);
}

TEST_F(FileUtil, WholeFileWriterReplacesInOneStepAndLeavesNoTemporary)
{
    std::string path = dir / "Queues.cfg";
    Write_File(path, "old content");
    const char text[] = "line 1\nline 2\n";
    EXPECT_TRUE(Write_WholeFile(path.c_str(), text, strlen(text), TRUE));
    EXPECT_EQ("line 1\r\nline 2\r\n", Read_File(path));
    EXPECT_TRUE(Write_WholeFile(path.c_str(), "a\nb", 3, FALSE));
    EXPECT_EQ("a\nb", Read_File(path));
    EXPECT_EQ((std::vector<std::string>{ "A", "Queues.cfg" }), List_Dir(dir.path()));

    /* a folder that does not exist: FALSE with the reason, nothing made */
    std::string nowhere = dir / "missing\\Queues.cfg";
    SetLastError(0);
    EXPECT_FALSE(Write_WholeFile(nowhere.c_str(), "x", 1, TRUE));
    EXPECT_NE(0u, GetLastError());
    EXPECT_FALSE(Exists(dir / "missing"));

    /* a reader holding the file without sharing deletion: the replacement waits, then fails and
       keeps the previous content */
    Set_ReplaceRetryTime(200);
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    DWORD start = GetTickCount();
    EXPECT_FALSE(Write_WholeFile(path.c_str(), "new", 3, FALSE));
    EXPECT_GE(GetTickCount() - start, 150u) << "retried for a while";
    CloseHandle(held);
    EXPECT_EQ("a\nb", Read_File(path));
    EXPECT_EQ((std::vector<std::string>{ "A", "Queues.cfg" }), List_Dir(dir.path()));
}

TEST_F(FileUtil, OldCopyIsTheCompletePreviousFile)
{
    std::string path = dir / "Applications.cfg";
    Write_File(path, "first version\r\n");
    EXPECT_TRUE(Keep_OldCopy(path.c_str()));
    EXPECT_EQ("first version\r\n", Read_File(dir / "Applications.old"));
    DeleteFileA(path.c_str());
    EXPECT_TRUE(Keep_OldCopy(path.c_str()));
    EXPECT_EQ("first version\r\n", Read_File(dir / "Applications.old"))
        << "no file to back up: the backup, perhaps the only copy left, stays untouched";
}

/* A file of size bytes, made without writing them (its content reads as zero bytes). */
static void Make_LargeFile(const std::string &path, LONGLONG size)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    LARGE_INTEGER at;
    at.QuadPart = size;
    EXPECT_TRUE(SetFilePointerEx(h, at, nullptr, FILE_BEGIN) && SetEndOfFile(h));
    CloseHandle(h);
}

TEST_F(FileUtil, FilesTooLargeToReadWholeAreCopiedInPiecesAndRefusedWithTheirReason)
{
    const LONGLONG size = (64LL << 20) + 5;
    std::string path = dir / "Queues.cfg";
    Make_LargeFile(path, size);
    size_t len = 7;
    SetLastError(0);
    EXPECT_EQ(nullptr, Read_WholeFile(path.c_str(), &len));
    EXPECT_EQ((DWORD)ERROR_FILE_TOO_LARGE, GetLastError()) << "never a failure without its reason";
    SetLastError(0);
    EXPECT_EQ(nullptr, Read_WholeFile((dir / "missing.cfg").c_str(), &len));
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());

    EXPECT_TRUE(Keep_OldCopy(path.c_str()));
    WIN32_FILE_ATTRIBUTE_DATA old;
    ASSERT_TRUE(GetFileAttributesExA((dir / "Queues.old").c_str(), GetFileExInfoStandard, &old));
    EXPECT_EQ(size, ((LONGLONG)old.nFileSizeHigh << 32) | old.nFileSizeLow);
    EXPECT_EQ((std::vector<std::string>{ "A", "Queues.cfg", "Queues.old" }), List_Dir(dir.path()));
}

TEST_F(FileUtil, PieceWriterPutsTheFileInPlaceOnlyWhenKept)
{
    std::string path = dir / "engine.q";
    Write_File(path, "old");
    static FILE_WRITER w;                    /* its buffer is large for a stack */
    std::string expect;
    ASSERT_TRUE(Open_FileWriter(&w, path.c_str(), FALSE));
    for (int i = 0; i < 20000; i++) {
        std::string piece = "job " + std::to_string(i) + "\n";
        EXPECT_TRUE(Write_Piece(&w, piece.data(), piece.size()));
        expect += piece;
    }
    EXPECT_EQ("old", Read_File(path)) << "the target is untouched until the writer is closed";
    EXPECT_TRUE(Close_FileWriter(&w, TRUE));
    EXPECT_EQ(expect, Read_File(path));

    ASSERT_TRUE(Open_FileWriter(&w, path.c_str(), TRUE));
    EXPECT_TRUE(Write_Piece(&w, "a\nb", 3));
    EXPECT_FALSE(Close_FileWriter(&w, FALSE)) << "not kept";
    EXPECT_EQ(expect, Read_File(path));
    ASSERT_TRUE(Open_FileWriter(&w, path.c_str(), TRUE));
    EXPECT_TRUE(Write_Piece(&w, "a\nb", 3));
    EXPECT_TRUE(Close_FileWriter(&w, TRUE));
    EXPECT_EQ("a\r\nb", Read_File(path));
    EXPECT_EQ((std::vector<std::string>{ "A", "engine.q" }), List_Dir(dir.path())) << "no temporary file is left";

    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    SetLastError(0);
    EXPECT_FALSE(Open_FileWriter(&w, path.c_str(), FALSE)) << "a read-only file is never replaced";
    EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError());
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}
