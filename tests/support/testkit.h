/* What the tests share: temporary homes, whole files, the message-box recorder, other
   processes (started, answered and always ended), and the paths of the build. */
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include <functional>
#include <gtest/gtest.h>

namespace tk {

/* ---- paths ---- */
std::string Win_Path(const std::string &unixPath);   /* "/a/b" -> "Z:\a\b"; Windows paths pass */
std::string Source_Path(const std::string &rel);      /* a file of the source tree */
std::string Build_Path(const std::string &rel);       /* a file of the build tree */
std::string Fixture(const std::string &rel);          /* tests/fixtures/<rel> */
std::string Editor_Exe();                             /* the built Editor.exe */
std::string Helper_Exe(const std::string &name);      /* a helper program of tests/helpers */

/* ---- files ---- */
std::string Read_File(const std::string &path, bool *ok = nullptr);   /* bytes as they are */
void        Write_File(const std::string &path, const std::string &bytes);
bool        Exists(const std::string &path);
void        Make_Dirs(const std::string &path);
void        Remove_Tree(const std::string &path);
std::vector<std::string> List_Dir(const std::string &dir);            /* names, sorted */
std::string Crlf(const std::string &lfText);                          /* "\n" -> "\r\n" */

/* A fresh folder under the temporary directory, removed again at the end of the test. */
class TempDir {
public:
    explicit TempDir(const char *tag = "t");
    ~TempDir();
    const std::string &path() const { return path_; }
    std::string operator/(const std::string &rel) const { return path_ + "\\" + rel; }
private:
    std::string path_;
};

/* A temporary installation: <home>\System holds a copy of Editor.exe. */
class TempHome : public TempDir {
public:
    explicit TempHome(bool withEditor = false);
    std::string home() const { return path(); }
    std::string editor() const { return path() + "\\System\\Editor.exe"; }
};

/* Lays out a complete identity under home\Profile (splash picture, icons and identity strings of
   the editor, viewer and load balancer, from fixtures/profiles), so that an Editor.exe started
   there shows no profile message. Its boxes are then captioned "Plate Room Editor" and its system
   name is "Plate Room Output System". Without it every start shows two profile messages first. */
void Lay_Profiles(const std::string &home);

/* Lays the demo installation out in dest as the demo script does: "@HOME@" becomes dest, text
   files get CR LF line ends, "X.exe.demoapp" becomes a copy of the stand-in application "X.exe",
   and every folder of the demo exists (its ".keep" markers are not copied). homeText, when given,
   stands for "@HOME@" instead of dest. */
void Lay_Out_Demo(const std::string &dest, const std::string &homeText = "");

/* A real list box in a hidden window, as the dialogs have; lines() reads back what it shows. */
struct ListBox {
    HWND hwnd;
    ListBox();
    ~ListBox();
    std::vector<std::string> lines() const;
};

/* ---- message boxes answered through the seam ---- */
struct Box {
    std::string text, caption;
    UINT flags;
    HWND owner;
};
/* Records every box shown and every beep played for its lifetime, and answers the boxes from the
   queue given (IDOK / IDNO by kind when it runs dry). Recorders nest: the innermost records, and
   the one around it records again when it is gone. */
class MsgRecorder {
public:
    MsgRecorder(std::vector<int> answers = {});
    ~MsgRecorder();
    MsgRecorder(const MsgRecorder &) = delete;
    MsgRecorder &operator=(const MsgRecorder &) = delete;
    std::vector<Box> boxes;
    std::vector<UINT> beeps;
    std::vector<int> answers;
    size_t count() const { return boxes.size(); }
    const Box &last() const { return boxes.back(); }
private:
    MsgRecorder *outer_;
};
/* Called once by the test programs' entry: from then on a box that no recorder takes is never
   shown (it would wait for an answer until the test run's time-out); it fails the test that
   showed it and takes the cautious answer (IDNO to a question, else IDOK). */
void Guard_MessageBoxes();
UINT Icon_Of(UINT flags);      /* MB_ICONINFORMATION, MB_ICONSTOP, ... */
UINT Buttons_Of(UINT flags);   /* MB_OK, MB_YESNO, ... */

/* ---- the fault disks ---- */
/* Where the machine allows it the test run mounts a small disk as T: (to fill) and a read-only
   view of U: as R:, and says so in EDITOR_FAULT_DISKS ("T", "R" or both). The tests that need
   them live in suites named "...OnFaultDisks" (run by CTest as config_faults and shell_faults)
   and begin with NEED_FAULT_DRIVE. A test whose drive the run could not mount is skipped, and
   the skip shows in the CTest summary; a test whose drive the run mounted, or every such test
   when EDITOR_FAULT_DISKS_REQUIRED is set (the CI on a machine that can mount), fails instead. */
bool Fault_Drive(char letter);                 /* the drive is there (R also needs U) */
bool Fault_DriveRequired(char letter);
#define NEED_FAULT_DRIVE(letter, what)                                                                     \
    do {                                                                                                  \
        if (!tk::Fault_Drive(letter)) {                                                                   \
            if (tk::Fault_DriveRequired(letter)) FAIL() << "the test run should have mounted " << (what); \
            GTEST_SKIP() << "no " << (what) << " on this machine (the test run mounts one where it can)"; \
        }                                                                                                 \
    } while (0)

/* ---- the process state ---- */
/* Back to what a new editor process starts with: the configuration emptied, what the readers
   kept from the last load forgotten (no snapshot), the app state, the preferences' first-read
   defaults, no users, no parameter file, no failures counted, the usual wait for held files.
   The fixtures call it before and after every test. */
void Reset_ProcessState();
/* Makes dir the home directory of the process, as the command line would. */
void Use_Home(const std::string &dir);

/* A test in a temporary installation: the process state reset before and after it, the home
   directory a fresh temporary home (with Editor.exe in its System folder when the fixture asks
   for it), the instance handle this program's (its resources are the editor's), no chooser hook
   left by another test, and every message box recorded and answered (msgs) from the test's first
   line, so that a box shown while loading is seen, never waited for. Every fixture that makes a
   home derives from it. */
class HomeTest : public ::testing::Test {
protected:
    explicit HomeTest(bool withEditor = false) : home(withEditor) {}
    MsgRecorder msgs;
    TempHome home;
    void SetUp() override;
    void TearDown() override;
    /* The process state reset again, as a new process in this installation starts. */
    void Fresh_Process();
    std::string Path(const std::string &rel) const { return home / rel; }
    /* For a fixture whose tests answer every box they expect with a recorder of their own: a box
       that reaches msgs instead fails the test, as one that no recorder takes would. */
    void Fail_StrayBoxes() { failStrayBoxes_ = true; }
private:
    bool failStrayBoxes_ = false;
};

/* ---- other processes ---- */
/* A started process that is always ended: terminated and waited for if still running. */
class Child {
public:
    Child() = default;
    /* output (when given) is a file that gets what the process writes to its standard output and
       standard error; otherwise both go nowhere. */
    Child(const std::string &cmdLine, const std::string &dir = "", const char *envAdd = nullptr,
          const std::string &output = "");
    ~Child();
    Child(Child &&o) noexcept;
    Child &operator=(Child &&o) noexcept;
    bool started() const { return proc_ != nullptr; }
    DWORD pid() const { return pid_; }
    HANDLE handle() const { return proc_; }
    /* Exit code, or -1 when it did not end within ms. */
    int wait(DWORD ms);
    void kill();
private:
    HANDLE proc_ = nullptr;
    DWORD pid_ = 0;
};
std::string Quote(const std::string &s);

/* A message box shown by another process, read from its real window. */
struct ForeignBox {
    HWND hwnd = nullptr;
    std::string caption, text;
    std::vector<int> buttons;         /* ids of its push buttons */
};
/* Waits up to ms for a message box of process pid; false when none appeared. */
bool Find_ForeignBox(DWORD pid, DWORD ms, ForeignBox *box);
/* Presses the button with that id (IDOK, IDYES, ...). */
void Press_Button(const ForeignBox &box, int id);
/* Runs a process to its end, answering each of its message boxes with the next answer and
   recording them. Returns the exit code, or -1 when it did not end within ms. */
int Run_Answering(Child &child, std::vector<int> answers, std::vector<ForeignBox> *seen, DWORD ms = 20000);

/* While it lives, this process's standard output and standard error are files of their own, as
   a caller's redirection gives them to a program; out() and err() read what reached them. */
class StdCapture {
public:
    StdCapture();
    ~StdCapture();
    StdCapture(const StdCapture &) = delete;
    StdCapture &operator=(const StdCapture &) = delete;
    std::string out() const { return Read_File(dir_ / "out.txt"); }
    std::string err() const { return Read_File(dir_ / "err.txt"); }
private:
    TempDir dir_{ "std" };
    HANDLE out_, err_, oldOut_, oldErr_;
};

/* Pumps this thread's messages for ms. */
void Pump(DWORD ms);

} // namespace tk
