#include "support/testkit.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "config/exchange.h"
#include "config/model.h"
#include "config/prefsfile.h"
#include "config/setup.h"
#include "config/storefile.h"
#include "config/undo.h"
#include "config/users.h"
#include "queueedit/paramfile.h"
#include <algorithm>
#include <stdlib.h>
#include <stdio.h>
#include <string.h>

namespace tk {

std::string Win_Path(const std::string &p)
{
    if (p.empty() || p[0] != '/') return p;
    std::string out = "Z:" + p;
    std::replace(out.begin(), out.end(), '/', '\\');
    return out;
}

std::string Source_Path(const std::string &rel) { return Win_Path(EDITOR_SOURCE_DIR) + "\\" + rel; }
std::string Build_Path(const std::string &rel)  { return Win_Path(EDITOR_BINARY_DIR) + "\\" + rel; }
std::string Fixture(const std::string &rel)
{
    std::string r = rel;
    std::replace(r.begin(), r.end(), '/', '\\');
    return Source_Path("tests\\fixtures\\" + r);
}
std::string Editor_Exe() { return Build_Path("Editor.exe"); }
std::string Helper_Exe(const std::string &name) { return Build_Path(name + ".exe"); }

std::string Read_File(const std::string &path, bool *ok)
{
    std::string out;
    FILE *f = fopen(path.c_str(), "rb");
    if (ok) *ok = (f != nullptr);
    if (!f) return out;
    char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    fclose(f);
    return out;
}

void Write_File(const std::string &path, const std::string &bytes)
{
    FILE *f = fopen(path.c_str(), "wb");
    ASSERT_NE(nullptr, f) << "cannot write " << path;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void Make_Dirs(const std::string &path)
{
    for (size_t i = 3; i <= path.size(); i++)
        if (i == path.size() || path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
}

void Remove_Tree(const std::string &path)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string n = fd.cFileName;
            if (n == "." || n == "..") continue;
            std::string full = path + "\\" + n;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Remove_Tree(full);
            else DeleteFileA(full.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(path.c_str());
}

std::vector<std::string> List_Dir(const std::string &dir)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::string n = fd.cFileName;
        if (n != "." && n != "..") names.push_back(n);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Crlf(const std::string &lf)
{
    std::string out;
    for (char c : lf) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

static bool Ends_With(const std::string &s, const std::string &tail)
{
    return s.size() >= tail.size() && _stricmp(s.c_str() + s.size() - tail.size(), tail.c_str()) == 0;
}

static void Lay_Out_Folder(const std::string &src, const std::string &dest, const std::string &home, bool top)
{
    Make_Dirs(dest);
    for (const std::string &name : List_Dir(src)) {
        const std::string from = src + "\\" + name, to = dest + "\\" + name;
        if (GetFileAttributesA(from.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
            if (!(top && name == "tools")) Lay_Out_Folder(from, to, home, false);
            continue;
        }
        if (name == ".keep") continue;
        if (Ends_With(name, ".demoapp")) {
            ASSERT_TRUE(CopyFileA(Build_Path("DemoApp.exe").c_str(), to.substr(0, to.size() - 8).c_str(), FALSE));
            continue;
        }
        std::string bytes = Read_File(from);
        if (Ends_With(name, ".cfg") || Ends_With(name, ".q") || Ends_With(name, ".sta") || Ends_With(name, ".txt")) {
            for (size_t at; (at = bytes.find("@HOME@")) != std::string::npos;) bytes.replace(at, 6, home);
            std::string lf;
            for (size_t i = 0; i < bytes.size(); i++)
                if (!(bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) lf += bytes[i];
            bytes = Crlf(lf);
        }
        Write_File(to, bytes);
    }
}

void Lay_Out_Demo(const std::string &dest, const std::string &homeText)
{
    Lay_Out_Folder(Source_Path("demo"), dest, homeText.empty() ? dest : homeText, true);
}

ListBox::ListBox()
{
    hwnd = CreateWindowExA(0, "LISTBOX", "", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

ListBox::~ListBox() { DestroyWindow(hwnd); }

std::vector<std::string> ListBox::lines() const
{
    std::vector<std::string> out;
    int n = (int)SendMessageA(hwnd, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; i++) {
        char buf[1024] = "";
        if (SendMessageA(hwnd, LB_GETTEXTLEN, i, 0) < (LRESULT)sizeof buf) SendMessageA(hwnd, LB_GETTEXT, i, (LPARAM)buf);
        out.push_back(buf);
    }
    return out;
}

TempDir::TempDir(const char *tag)
{
    static int s_Serial;
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    char name[MAX_PATH];
    snprintf(name, sizeof name, "%sedt_%s_%lu_%d", base, tag, (unsigned long)GetCurrentProcessId(), ++s_Serial);
    path_ = name;
    Remove_Tree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
}

TempDir::~TempDir() { Remove_Tree(path_); }

TempHome::TempHome(bool withEditor) : TempDir("home")
{
    CreateDirectoryA((path() + "\\System").c_str(), nullptr);
    if (withEditor) CopyFileA(Editor_Exe().c_str(), editor().c_str(), FALSE);
}

void Lay_Profiles(const std::string &home)
{
    static const char *const k_Files[][2] = {
        { "icons/splash.bmp", "Editor\\PlateSplash.bmp" },   { "icons/red.ico", "Editor\\Editor.ico" },
        { "strings/complete.cfg", "Editor\\EditorProfile.cfg" }, { "icons/green.ico", "Viewer\\Viewer.ico" },
        { "strings/viewer.cfg", "Viewer\\ViewerProfile.cfg" },   { "icons/blue.ico", "LoadBal\\LoadBal.ico" },
        { "strings/loadbal.cfg", "LoadBal\\LoadBalProfile.cfg" },
    };
    for (const char *folder : { "Editor", "Viewer", "LoadBal" }) Make_Dirs(home + "\\Profile\\" + folder);
    for (const auto &f : k_Files) {
        std::string bytes = Read_File(Fixture(std::string("profiles/") + f[0]));
        std::string to = home + "\\Profile\\" + f[1];
        Write_File(to, to.size() > 4 && to.compare(to.size() - 4, 4, ".cfg") == 0 ? Crlf(bytes) : bytes);
    }
}

/* ---- message boxes ---- */
static MsgRecorder *s_Recorder;
static bool         s_Guarded;

UINT Icon_Of(UINT flags)    { return flags & MB_ICONMASK; }
UINT Buttons_Of(UINT flags) { return flags & MB_TYPEMASK; }

static int Cautious_Answer(UINT flags)
{
    UINT b = Buttons_Of(flags);
    return (b == MB_YESNO || b == MB_YESNOCANCEL) ? IDNO : IDOK;
}

static int Record_Box(HWND owner, const char *text, const char *caption, UINT flags)
{
    MsgRecorder *r = s_Recorder;
    if (r == nullptr) {
        ADD_FAILURE() << "a message box that no recorder answers: [" << (caption ? caption : "") << "] "
                      << (text ? text : "");
        return Cautious_Answer(flags);
    }
    r->boxes.push_back(Box{ text ? text : "", caption ? caption : "", flags, owner });
    if (!r->answers.empty()) {
        int a = r->answers.front();
        r->answers.erase(r->answers.begin());
        return a;
    }
    return Cautious_Answer(flags);
}

static void Record_Beep(UINT type)
{
    if (s_Recorder != nullptr) s_Recorder->beeps.push_back(type);
}

/* The hooks stay installed while a recorder or the guard wants them. */
static void Install_Hooks()
{
    bool on = s_Recorder != nullptr || s_Guarded;
    Set_MessageBoxHook(on ? Record_Box : nullptr);
    Set_BeepHook(on ? Record_Beep : nullptr);
}

void Guard_MessageBoxes()
{
    s_Guarded = true;
    Install_Hooks();
}

MsgRecorder::MsgRecorder(std::vector<int> a) : answers(std::move(a)), outer_(s_Recorder)
{
    s_Recorder = this;
    Install_Hooks();
}

MsgRecorder::~MsgRecorder()
{
    s_Recorder = outer_;
    Install_Hooks();
}

/* ---- the fault disks ---- */

static bool Drive_There(char letter)
{
    char root[4] = { letter, ':', '\\', '\0' };
    return GetDriveTypeA(root) != DRIVE_NO_ROOT_DIR && GetFileAttributesA(root) != INVALID_FILE_ATTRIBUTES;
}

bool Fault_Drive(char letter) { return Drive_There(letter) && (letter != 'R' || Drive_There('U')); }

bool Fault_DriveRequired(char letter)
{
    const char *required = getenv("EDITOR_FAULT_DISKS_REQUIRED");
    if (required != nullptr && required[0] != '\0' && strcmp(required, "0") != 0) return true;
    const char *mounted = getenv("EDITOR_FAULT_DISKS");
    return mounted != nullptr && strchr(mounted, letter) != nullptr;
}

/* ---- the process state ---- */

void Reset_ProcessState()
{
    Reset_Configuration();
    Forget_LastLoad();
    Reset_AppState();
    Reset_SpoolerGlobalsForTest();
    Free_Users();
    Reset_ParamFile();
    Forget_ImportedFiles();
    storeFailures = 0;
    Clear_StoreFailedNames();
    Set_ReplaceRetryTime(REPLACE_RETRY_MS);
    Clear_History();
}

void Use_Home(const std::string &dir)
{
    Copy_Field(homePathBuffer, dir.c_str());
    homeDir = homePathBuffer;
}

void HomeTest::SetUp()
{
    hInstance = GetModuleHandleA(nullptr);
    Set_ChooserHook(nullptr);
    Fresh_Process();
}

void HomeTest::Fresh_Process()
{
    Reset_ProcessState();
    Use_Home(home.home());
}

void HomeTest::TearDown()
{
    if (failStrayBoxes_)
        for (const Box &b : msgs.boxes) ADD_FAILURE() << "a message box that the test did not answer: [" << b.caption << "] " << b.text;
    Set_ChooserHook(nullptr);
    Reset_ProcessState();
}

/* ---- processes ---- */
std::string Quote(const std::string &s) { return "\"" + s + "\""; }

Child::Child(const std::string &cmdLine, const std::string &dir, const char *envAdd, const std::string &output)
{
    /* The child's standard handles go to NUL (or the output file): its output (trace lines, crash
       reports) must not mix with the test's own, which ctest reads. */
    SECURITY_ATTRIBUTES sa = { sizeof sa, nullptr, TRUE };
    HANDLE nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                             OPEN_EXISTING, 0, nullptr);
    HANDLE out = output.empty() ? INVALID_HANDLE_VALUE
                                : CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                                              CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = si.hStdOutput = si.hStdError = nul;
    if (out != INVALID_HANDLE_VALUE) si.hStdOutput = si.hStdError = out;
    PROCESS_INFORMATION pi;
    std::vector<char> cmd(cmdLine.begin(), cmdLine.end());
    cmd.push_back('\0');
    std::vector<char> env;
    if (envAdd != nullptr) {
        /* this process's environment plus the given "NAME=value" */
        char *block = GetEnvironmentStringsA();
        for (char *p = block; *p; p += strlen(p) + 1) env.insert(env.end(), p, p + strlen(p) + 1);
        FreeEnvironmentStringsA(block);
        env.insert(env.end(), envAdd, envAdd + strlen(envAdd) + 1);
        env.push_back('\0');
    }
    BOOL ok = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, envAdd ? env.data() : nullptr,
                             dir.empty() ? nullptr : dir.c_str(), &si, &pi);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (ok) {
        CloseHandle(pi.hThread);
        proc_ = pi.hProcess;
        pid_ = pi.dwProcessId;
    } else {
        ADD_FAILURE() << "could not start " << cmdLine << " (error " << GetLastError() << ")";
    }
}

Child::~Child() { kill(); }

Child::Child(Child &&o) noexcept : proc_(o.proc_), pid_(o.pid_) { o.proc_ = nullptr; }

Child &Child::operator=(Child &&o) noexcept
{
    if (this != &o) {
        kill();
        proc_ = o.proc_;
        pid_ = o.pid_;
        o.proc_ = nullptr;
    }
    return *this;
}

int Child::wait(DWORD ms)
{
    if (!proc_) return -1;
    if (WaitForSingleObject(proc_, ms) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(proc_, &code);
    return (int)code;
}

void Child::kill()
{
    if (!proc_) return;
    if (WaitForSingleObject(proc_, 0) != WAIT_OBJECT_0) {
        TerminateProcess(proc_, 77);
        WaitForSingleObject(proc_, 5000);
    }
    CloseHandle(proc_);
    proc_ = nullptr;
}

struct BoxSearch { DWORD pid; HWND found; };

static BOOL CALLBACK Find_Box_Proc(HWND hwnd, LPARAM lp)
{
    BoxSearch *s = (BoxSearch *)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char cls[64];
    if (pid == s->pid && IsWindowVisible(hwnd) && GetClassNameA(hwnd, cls, sizeof cls) && strcmp(cls, "#32770") == 0 &&
        GetDlgItem(hwnd, 0xFFFF) != nullptr) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

static BOOL CALLBACK Collect_Buttons(HWND child, LPARAM lp)
{
    char cls[32];
    if (GetClassNameA(child, cls, sizeof cls) && _stricmp(cls, "Button") == 0)
        ((std::vector<int> *)lp)->push_back(GetDlgCtrlID(child));
    return TRUE;
}

bool Find_ForeignBox(DWORD pid, DWORD ms, ForeignBox *box)
{
    DWORD start = GetTickCount();
    do {
        BoxSearch s{ pid, nullptr };
        EnumWindows(Find_Box_Proc, (LPARAM)&s);
        if (s.found) {
            char buf[2048];
            box->hwnd = s.found;
            GetWindowTextA(s.found, buf, sizeof buf);
            box->caption = buf;
            GetDlgItemTextA(s.found, 0xFFFF, buf, sizeof buf);
            box->text = buf;
            box->buttons.clear();
            EnumChildWindows(s.found, Collect_Buttons, (LPARAM)&box->buttons);
            return true;
        }
        Sleep(30);
    } while (GetTickCount() - start < ms);
    return false;
}

void Press_Button(const ForeignBox &box, int id)
{
    HWND b = GetDlgItem(box.hwnd, id);
    if (b != nullptr) PostMessageA(box.hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)b);
    else PostMessageA(box.hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

int Run_Answering(Child &child, std::vector<int> answers, std::vector<ForeignBox> *seen, DWORD ms)
{
    DWORD start = GetTickCount();
    HWND lastBox = nullptr;
    while (GetTickCount() - start < ms) {
        int code = child.wait(30);
        if (code != -1) return code;
        ForeignBox box;
        if (Find_ForeignBox(child.pid(), 0, &box) && box.hwnd != lastBox) {
            lastBox = box.hwnd;
            if (seen) seen->push_back(box);
            int a = IDOK;
            if (!answers.empty()) {
                a = answers.front();
                answers.erase(answers.begin());
            } else if (std::find(box.buttons.begin(), box.buttons.end(), IDNO) != box.buttons.end()) {
                a = IDNO;
            }
            Press_Button(box, a);
        }
    }
    return -1;
}

StdCapture::StdCapture() : oldOut_(GetStdHandle(STD_OUTPUT_HANDLE)), oldErr_(GetStdHandle(STD_ERROR_HANDLE))
{
    out_ = CreateFileA((dir_ / "out.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    err_ = CreateFileA((dir_ / "err.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    SetStdHandle(STD_OUTPUT_HANDLE, out_);
    SetStdHandle(STD_ERROR_HANDLE, err_);
}

StdCapture::~StdCapture()
{
    SetStdHandle(STD_OUTPUT_HANDLE, oldOut_);
    SetStdHandle(STD_ERROR_HANDLE, oldErr_);
    CloseHandle(out_);
    CloseHandle(err_);
}

void Pump(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

} // namespace tk
