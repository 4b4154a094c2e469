/* The file and folder choosers, as real dialogs driven under the virtual display, and their seam. */
#include "support/testkit.h"
#include "support/dlgkit.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/fileutil.h"
#include "common/text.h"
#include "resources/resource.h"
#include <algorithm>

static std::string Current_Dir()
{
    char buf[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof buf, buf);
    return buf;
}

static std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return (char)tolower(c); });
    return s;
}

#define EXPECT_SAME_PATH(a, b) EXPECT_EQ(Lower(a), Lower(b))

/* The dialog sits in the middle of the work area. */
static void Expect_Centred(HWND w)
{
    RECT rc, area;
    GetWindowRect(w, &rc);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_EQ(area.left + (area.right - area.left - (rc.right - rc.left)) / 2, rc.left);
    EXPECT_EQ(area.top + (area.bottom - area.top - (rc.bottom - rc.top)) / 2, rc.top);
}

/* Each test starts in a folder of its own with a program, a text file and a sub-folder in it,
   and leaves the current directory as it found it (the file chooser moves it). */
class Chooser : public ::testing::Test {
protected:
    void SetUp() override
    {
        tk::Reset_ProcessState();
        start = Current_Dir();
        tk::Write_File(dir / "Press.exe", "MZ");
        tk::Write_File(dir / "notes.txt", "n");
        tk::Make_Dirs(dir / "Sub");
        tk::Make_Dirs(dir / "Old");
        tk::Make_Dirs(elsewhere.path());
    }
    void TearDown() override { SetCurrentDirectoryA(start.c_str()); }
    std::string start;
    tk::TempDir dir{ "choose" }, elsewhere{ "elsewhere" };
};

TEST_F(Chooser, FileStartsInTheFolderOfAQuotedProgramWithItsNameFilledIn)
{
    char path[PATH_LEN];
    Format_Text(path, sizeof path, "\"%s\"", (dir / "Press.exe").c_str());
    dk::Script s;
    s.On("Application To Run", [&](HWND d) {
        EXPECT_EQ("Press.exe", dk::Text(d, IDC_FD_NAME));
        EXPECT_SAME_PATH(dir.path(), Current_Dir());
        EXPECT_SAME_PATH(dir.path(), dk::Text(d, IDC_FD_PATH));
        EXPECT_EQ((std::vector<std::string>{ "Calibration Files (*.CAL)", "Text Files (*.TXT)", "System Files (*.SYS)",
                                             "Image Files (*.TIF)", "Executable Files (*.EXE)", "Log Files (*.LOG,*.TXT)",
                                             "All Files (*.*)" }),
                  dk::Items(d, IDC_FD_TYPES));
        EXPECT_EQ("Executable Files (*.EXE)", dk::Selected(d, IDC_FD_TYPES));
        EXPECT_EQ(std::vector<std::string>{ "press.exe" }, [&] {
            std::vector<std::string> v = dk::Items(d, IDC_FD_FILES);
            for (std::string &x : v) x = Lower(x);
            return v;
        }());
        Expect_Centred(d);
        dk::Screenshot(d, "choose_file");
        dk::Click(d, IDOK);
    });
    INT_PTR r = s.Run([&] { return (INT_PTR)Choose_File(nullptr, "Application To Run", path, sizeof path, FILTER_EXECUTABLE, TRUE); });
    EXPECT_TRUE(r);
    EXPECT_SAME_PATH(dir / "Press.exe", path);
}

TEST_F(Chooser, FileWithNoExistingPartStartsWithOnlyTheName)
{
    SetCurrentDirectoryA(elsewhere.path().c_str());
    char path[PATH_LEN] = "Q:\\Jobs\\Proof.cal";
    dk::Script s;
    s.On("Calibration File", [&](HWND d) {
        EXPECT_EQ("Proof.cal", dk::Text(d, IDC_FD_NAME));
        EXPECT_SAME_PATH(elsewhere.path(), Current_Dir());
        EXPECT_EQ("Calibration Files (*.CAL)", dk::Selected(d, IDC_FD_TYPES));
        dk::Click(d, IDCANCEL);
    });
    EXPECT_FALSE(s.Run([&] { return (INT_PTR)Choose_File(nullptr, "Calibration File", path, sizeof path, FILTER_CALIBRATION, FALSE); }));
    EXPECT_STREQ("Q:\\Jobs\\Proof.cal", path);
}

TEST_F(Chooser, FileTypeListsTheFolderByTheTypeChosenAndATypedNameIsTaken)
{
    char path[PATH_LEN];
    Copy_Field(path, dir.path().c_str());
    dk::Script s;
    s.On("Log File", [&](HWND d) {
        EXPECT_EQ("*.log;*.txt", dk::Text(d, IDC_FD_NAME)) << "no name: the dialog shows the type's pattern";
        dk::Choose(d, IDC_FD_TYPES, "Text Files (*.TXT)");
        std::vector<std::string> files = dk::Items(d, IDC_FD_FILES);
        ASSERT_EQ(1u, files.size());
        EXPECT_EQ("notes.txt", Lower(files[0]));
        dk::Type(d, IDC_FD_NAME, "Run1.log");
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(s.Run([&] { return (INT_PTR)Choose_File(nullptr, "Log File", path, sizeof path, FILTER_LOG, FALSE); }));
    EXPECT_SAME_PATH(dir / "Run1.log", path);
}

TEST_F(Chooser, FileThatMustExistRefusesAMissingNameAndStaysOpen)
{
    tk::MsgRecorder boxes;
    char path[PATH_LEN];
    Copy_Field(path, (dir / "Press.exe").c_str());
    dk::Script s;
    s.On("Application To Run", [&](HWND d) {
        dk::Type(d, IDC_FD_NAME, "Missing.exe");
        dk::Click(d, IDOK);
        ASSERT_EQ(1u, boxes.count()) << "the dialog took a file that is not there";
        EXPECT_EQ((dir / "Missing.exe") + "\r\n\r\nThis file does not exist. Please choose an existing file.",
                  boxes.last().text);
        EXPECT_EQ("Editor", boxes.last().caption);
        EXPECT_TRUE(IsWindowVisible(d));
        dk::Type(d, IDC_FD_NAME, "Press.exe");
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(s.Run([&] { return (INT_PTR)Choose_File(nullptr, "Application To Run", path, sizeof path, FILTER_EXECUTABLE, TRUE); }));
    EXPECT_SAME_PATH(dir / "Press.exe", path);
    EXPECT_EQ(1u, boxes.count());
}

TEST_F(Chooser, FolderGivesTheShownFolderPlusTheNewSubdirectory)
{
    char path[PATH_LEN];
    Copy_Field(path, dir.path().c_str());
    SetCurrentDirectoryA(elsewhere.path().c_str());
    dk::Script s;
    s.On("Queue Hot Directory", [&](HWND d) {
        EXPECT_EQ("", dk::Text(d, IDC_FD_NAME)) << "\"*.*\" is emptied";
        EXPECT_FALSE(dk::Enabled(d, IDC_FD_FILES));
        EXPECT_SAME_PATH(dir.path(), Current_Dir());
        Expect_Centred(d);
        dk::Type(d, IDC_FD_NAME, "New");
        dk::Screenshot(d, "choose_folder");
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(s.Run([&] { return (INT_PTR)Choose_Folder(nullptr, "Queue Hot Directory", path, sizeof path); }));
    EXPECT_SAME_PATH(dir / "New", path);
    EXPECT_FALSE(tk::Exists(dir / "New")) << "choosing does not create";
    EXPECT_SAME_PATH(elsewhere.path(), Current_Dir()) << "the current directory is put back";
}

TEST_F(Chooser, FolderOkWithNoNameGivesTheFolderShown)
{
    char path[PATH_LEN];
    Format_Text(path, sizeof path, "\"%s\\Missing\\Deeper\"", dir.path().c_str());
    dk::Script s;
    s.On("Done Directory", [&](HWND d) {
        EXPECT_SAME_PATH(dir.path(), Current_Dir()) << "starts in the deepest existing folder";
        std::vector<std::string> folders = dk::Items(d, IDC_FD_FOLDERS);
        auto sub = std::find_if(folders.begin(), folders.end(), [](const std::string &f) { return Lower(f) == "[sub]"; });
        ASSERT_NE(folders.end(), sub);
        dk::Choose(d, IDC_FD_FOLDERS, *sub);
        dk::Double_Click(d, IDC_FD_FOLDERS);
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(s.Run([&] { return (INT_PTR)Choose_Folder(nullptr, "Done Directory", path, sizeof path); }));
    EXPECT_SAME_PATH(dir / "Sub", path);
}

/* The dialog's own OK would walk into an existing folder and stay open; the chooser takes it. */
TEST_F(Chooser, FolderTakesATypedNameThatAlreadyExists)
{
    char path[PATH_LEN];
    Copy_Field(path, dir.path().c_str());
    dk::Script s;
    s.On("Done Directory", [&](HWND d) {
        dk::Type(d, IDC_FD_NAME, "Old");
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(s.Run([&] { return (INT_PTR)Choose_Folder(nullptr, "Done Directory", path, sizeof path); }));
    EXPECT_SAME_PATH(dir / "Old", path);
}

TEST_F(Chooser, FolderCancelKeepsThePathAndTheCurrentDirectory)
{
    char path[PATH_LEN];
    Copy_Field(path, (dir / "Sub").c_str());
    SetCurrentDirectoryA(elsewhere.path().c_str());
    dk::Script s;
    s.On("Done Directory", [&](HWND d) {
        dk::Type(d, IDC_FD_NAME, "New");
        dk::Click(d, IDCANCEL);
    });
    EXPECT_FALSE(s.Run([&] { return (INT_PTR)Choose_Folder(nullptr, "Done Directory", path, sizeof path); }));
    EXPECT_EQ(dir / "Sub", path);
    EXPECT_SAME_PATH(elsewhere.path(), Current_Dir());
}

TEST_F(Chooser, FolderRefusesAPathTooLongForTheCaller)
{
    tk::MsgRecorder boxes;
    char path[PATH_LEN];
    Copy_Field(path, dir.path().c_str());
    std::string name(PATH_LEN - 1 - dir.path().size(), 'n');   /* 261 characters in all */
    dk::Script s;
    s.On("Done Directory", [&](HWND d) {
        dk::Type(d, IDC_FD_NAME, name);
        dk::Click(d, IDOK);
    });
    EXPECT_FALSE(s.Run([&] { return (INT_PTR)Choose_Folder(nullptr, "Done Directory", path, sizeof path); }));
    EXPECT_EQ(dir.path(), path);
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("The chosen path is longer than 260 characters and cannot be used:\r\n\r\n" + (dir / name), boxes.last().text);
    EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
}

TEST_F(Chooser, CreateFolderMakesTheChosenFolder)
{
    char path[PATH_LEN];
    Copy_Field(path, dir.path().c_str());
    dk::Script s;
    s.On("Queue Hot Directory", [&](HWND d) {
        dk::Type(d, IDC_FD_NAME, "New");
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(s.Run([&] { return (INT_PTR)Choose_CreateFolder(nullptr, "Queue Hot Directory", path, sizeof path); }));
    EXPECT_SAME_PATH(dir / "New", path);
    EXPECT_TRUE(Dir_Exists((dir / "New").c_str()));
}

TEST_F(Chooser, CreateFolderFailureIsToldAndLeavesThePath)
{
    tk::MsgRecorder boxes;
    dk::ChooserRecorder picks({ "Q:\\Nowhere\\New" });
    char path[PATH_LEN] = "C:\\Spool\\Hot";
    tk::ListBox page;                       /* a window of the caller's, as a page would pass */
    EXPECT_FALSE(Choose_CreateFolder(page.hwnd, "Queue Hot Directory", path, sizeof path));
    EXPECT_STREQ("C:\\Spool\\Hot", path);
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("Could not create the specified new directory", boxes.last().text);
    EXPECT_EQ("Directory Chooser Call Failed", boxes.last().caption);
    EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(boxes.last().flags));
    EXPECT_EQ((UINT)MB_OK, tk::Buttons_Of(boxes.last().flags));
    /* like every other box of the program */
    EXPECT_EQ(nullptr, boxes.last().owner);
    EXPECT_EQ((UINT)(MB_TASKMODAL | MB_SETFOREGROUND), boxes.last().flags & (MB_TASKMODAL | MB_SETFOREGROUND));
}

TEST(ChooserSeam, AnswersWithoutADialogAndRecordsTheCall)
{
    dk::ChooserRecorder picks({ "C:\\Apps\\Rip.exe", "" });
    char path[PATH_LEN] = "\"C:\\Apps\\Old.exe\"";
    EXPECT_TRUE(Choose_File(nullptr, "Application To Run", path, sizeof path, FILTER_EXECUTABLE, TRUE));
    EXPECT_STREQ("C:\\Apps\\Rip.exe", path);
    EXPECT_FALSE(Choose_Folder(nullptr, "Done Directory", path, sizeof path));
    EXPECT_STREQ("C:\\Apps\\Rip.exe", path);
    ASSERT_EQ(2u, picks.calls.size());
    EXPECT_EQ(CHOOSE_FILE, picks.calls[0].kind);
    EXPECT_EQ("Application To Run", picks.calls[0].title);
    EXPECT_EQ("\"C:\\Apps\\Old.exe\"", picks.calls[0].path);
    EXPECT_EQ(FILTER_EXECUTABLE, picks.calls[0].filterIndex);
    EXPECT_TRUE(picks.calls[0].mustExist);
    EXPECT_EQ(CHOOSE_FOLDER, picks.calls[1].kind);
    EXPECT_EQ("Done Directory", picks.calls[1].title);
}
