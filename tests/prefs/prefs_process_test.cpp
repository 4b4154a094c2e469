/* Editor.exe -preferences <home> as the operator starts it: a real process on the demo
   installation, its dialogs driven through their windows, the files compared byte for byte. */
#include "prefs_kit.h"
#include "resources/resource.h"
#include <map>

using namespace tk;

namespace {

struct WindowSearch { DWORD pid; const char *caption; HWND found; };

BOOL CALLBACK Find_Window_Proc(HWND hwnd, LPARAM lp)
{
    WindowSearch *s = (WindowSearch *)lp;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    char text[256] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    if (pid == s->pid && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd) && strcmp(text, s->caption) == 0) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

/* The shown and enabled window of process pid with this caption; nullptr when none came within ms. */
HWND Find_Dialog(DWORD pid, const char *caption, DWORD ms = 15000)
{
    DWORD start = GetTickCount();
    do {
        WindowSearch s{ pid, caption, nullptr };
        EnumWindows(Find_Window_Proc, (LPARAM)&s);
        if (s.found != nullptr) return s.found;
        Sleep(30);
    } while (GetTickCount() - start < ms);
    return nullptr;
}

void Set_Text(HWND dlg, int id, const char *text)
{
    DWORD_PTR r = 0;
    ASSERT_NE(0, SendMessageTimeoutA(GetDlgItem(dlg, id), WM_SETTEXT, 0, (LPARAM)text, SMTO_ABORTIFHUNG, 5000, &r));
}

std::string Get_Text(HWND dlg, int id)
{
    char text[512] = "";
    GetDlgItemTextA(dlg, id, text, sizeof text);
    return text;
}

void Press(HWND dlg, int id) { PostMessageA(GetDlgItem(dlg, id), BM_CLICK, 0, 0); }

std::string Lf(const std::string &crlf)
{
    std::string out;
    for (size_t i = 0; i < crlf.size(); i++)
        if (!(crlf[i] == '\r' && i + 1 < crlf.size() && crlf[i + 1] == '\n')) out += crlf[i];
    return out;
}

/* Every file of the installation with its bytes (the program folder left out). */
void Read_Tree(const std::string &dir, const std::string &rel, std::map<std::string, std::string> &out)
{
    for (const std::string &name : List_Dir(dir)) {
        std::string path = dir + "\\" + name, key = rel.empty() ? name : rel + "\\" + name;
        if (key == "System") continue;
        DWORD attr = GetFileAttributesA(path.c_str());
        if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) Read_Tree(path, key, out);
        else out[key] = Read_File(path);
    }
}
std::map<std::string, std::string> Tree(const std::string &home)
{
    std::map<std::string, std::string> files;
    Read_Tree(home, "", files);
    return files;
}

class PreferencesMode : public ::testing::Test {
protected:
    TempHome home{ true };
    std::string prefs;
    std::string updated;                   /* Preferences.cfg as -update writes it */

    void SetUp() override
    {
        Lay_Out_Demo(home.home());
        prefs = home / "Preferences.cfg";
        Child update(Quote(home.editor()) + " -update " + Quote(home.home()));
        std::vector<ForeignBox> seen;
        ASSERT_EQ(0, Run_Answering(update, {}, &seen));
        ASSERT_TRUE(seen.empty());
        updated = Read_File(prefs);
        ASSERT_NE(std::string::npos, updated.find("\r\nSPOOLER_FILE_SETTLE_TIME 20\r\n"));
    }
    Child Start() { return Child(Quote(home.editor()) + " -preferences " + Quote(home.home())); }
};

TEST_F(PreferencesMode, OkWritesExactlyTheTwoValuesChanged)
{
    const auto before = Tree(home.home());
    Child editor = Start();
    HWND dlg = Find_Dialog(editor.pid(), "General Preferences");
    ASSERT_NE(nullptr, dlg) << "no General Preferences window";
    EXPECT_EQ(nullptr, GetWindow(dlg, GW_OWNER)) << "no owner: the program's one window";
    EXPECT_EQ("20", Get_Text(dlg, IDC_GP_SETTLE));
    Set_Text(dlg, IDC_GP_SETTLE, "42");
    Set_Text(dlg, IDC_GP_MAILTO, "ops@printshop.example");
    Press(dlg, IDOK);
    std::vector<ForeignBox> seen;
    EXPECT_EQ(0, Run_Answering(editor, {}, &seen));
    EXPECT_TRUE(seen.empty()) << seen[0].text;

    std::string want = pk::With_Line(Lf(updated), "SPOOLER_FILE_SETTLE_TIME", "SPOOLER_FILE_SETTLE_TIME 42");
    want = pk::With_Line(want, "SPOOLER_LOGFILE_ADDRESS", "SPOOLER_LOGFILE_ADDRESS ops@printshop.example");
    EXPECT_EQ(Crlf(want), Read_File(prefs));
    /* nothing else of the installation was written */
    auto after = Tree(home.home());
    after.erase("Preferences.cfg");
    auto unchanged = before;
    unchanged.erase("Preferences.cfg");
    EXPECT_TRUE(unchanged == after);
}

TEST_F(PreferencesMode, CancelChangesNothing)
{
    const auto before = Tree(home.home());
    Child editor = Start();
    HWND dlg = Find_Dialog(editor.pid(), "General Preferences");
    ASSERT_NE(nullptr, dlg);
    Set_Text(dlg, IDC_GP_SETTLE, "42");
    Set_Text(dlg, IDC_GP_PORT, "");
    Press(dlg, IDC_GP_HONOUR);
    Press(dlg, IDCANCEL);
    std::vector<ForeignBox> seen;
    EXPECT_EQ(0, Run_Answering(editor, {}, &seen));
    EXPECT_TRUE(seen.empty());
    EXPECT_TRUE(before == Tree(home.home()));
}

TEST_F(PreferencesMode, CancelInFileNamingConventionChangesNothing)
{
    Child editor = Start();
    HWND dlg = Find_Dialog(editor.pid(), "General Preferences");
    ASSERT_NE(nullptr, dlg);
    Press(dlg, IDC_GP_MASKS_CHANGE);
    HWND masks = Find_Dialog(editor.pid(), "File Naming Convention");
    ASSERT_NE(nullptr, masks);
    EXPECT_EQ(dlg, GetWindow(masks, GW_OWNER));
    HWND list = GetDlgItem(masks, IDC_JN_PRESETS);
    SendMessageA(list, CB_SETCURSEL, 0, 0);
    PostMessageA(masks, WM_COMMAND, MAKEWPARAM(IDC_JN_PRESETS, CBN_SELCHANGE), (LPARAM)list);
    Press(masks, IDCANCEL);
    /* back in General Preferences (enabled again), OK */
    dlg = Find_Dialog(editor.pid(), "General Preferences");
    ASSERT_NE(nullptr, dlg);
    Press(dlg, IDOK);
    std::vector<ForeignBox> seen;
    EXPECT_EQ(0, Run_Answering(editor, {}, &seen));
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(updated, Read_File(prefs));
}

} // namespace
