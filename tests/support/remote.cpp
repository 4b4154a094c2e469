#include "support/remote.h"
#include <commctrl.h>
#include <algorithm>
#include <string.h>

namespace rk {

/* ---- windows ---- */

struct TopSearch { DWORD pid; std::vector<HWND> *found; };

std::vector<HWND> Top_Windows(DWORD pid)
{
    std::vector<HWND> found;
    TopSearch s{ pid, &found };
    EnumWindows([](HWND w, LPARAM lp) -> BOOL {
        TopSearch *s = (TopSearch *)lp;
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == s->pid && IsWindowVisible(w)) s->found->push_back(w);
        return TRUE;
    }, (LPARAM)&s);
    return found;
}

/* Texts are asked for in Unicode: between processes that is the form the system carries
   reliably (an ANSI request for a list item of another process comes back cut after its first
   character), and only a sent WM_GETTEXT reads what an edit holds now (GetWindowText of another
   process's window gives the text it was created with). */
static std::string Narrow(const wchar_t *w)
{
    char buf[4096] = "";
    WideCharToMultiByte(CP_ACP, 0, w, -1, buf, sizeof buf, nullptr, nullptr);
    return buf;
}

std::string Caption(HWND w)
{
    wchar_t buf[4096] = L"";
    DWORD_PTR got = 0;
    if (w != nullptr)
        SendMessageTimeoutW(w, WM_GETTEXT, sizeof buf / sizeof buf[0], (LPARAM)buf, SMTO_ABORTIFHUNG, 5000, &got);
    return Narrow(buf);
}

static std::string Class_Of(HWND w)
{
    char buf[256] = "";
    GetClassNameA(w, buf, sizeof buf);
    return buf;
}

static HWND Find_By(DWORD pid, const std::function<bool(HWND)> &match, DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        for (HWND w : Top_Windows(pid))
            if (IsWindowEnabled(w) && match(w)) return w;
        Sleep(20);
    } while (GetTickCount() - start < ms);
    return nullptr;
}

HWND Find_Window(DWORD pid, const std::string &caption, DWORD ms)
{
    return Find_By(pid, [&](HWND w) { return caption.empty() || Caption(w) == caption; }, ms);
}

HWND Find_Class(DWORD pid, const std::string &cls, DWORD ms)
{
    return Find_By(pid, [&](HWND w) { return Class_Of(w) == cls; }, ms);
}

bool Wait_Until(const std::function<bool()> &cond, DWORD ms)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (cond()) return true;
        if (GetTickCount() - start >= ms) return false;
        Sleep(20);
    }
}

bool Wait_Gone(HWND w, DWORD ms)
{
    return Wait_Until([w] { return !IsWindow(w) || !IsWindowVisible(w); }, ms);
}

static bool Thread_Info(HWND w, GUITHREADINFO *info)
{
    memset(info, 0, sizeof *info);
    info->cbSize = sizeof *info;
    DWORD thread = GetWindowThreadProcessId(w, nullptr);
    return thread != 0 && GetGUIThreadInfo(thread, info);
}

HWND Active_Window(HWND any)
{
    GUITHREADINFO info;
    return Thread_Info(any, &info) ? info.hwndActive : nullptr;
}

HWND Focus_Window(HWND any)
{
    GUITHREADINFO info;
    return Thread_Info(any, &info) ? info.hwndFocus : nullptr;
}

int Focus_Id(HWND dlg)
{
    HWND f = Focus_Window(dlg);
    while (f != nullptr && GetParent(f) != dlg && GetParent(f) != nullptr) f = GetParent(f);
    return (f != nullptr && GetParent(f) == dlg) ? GetDlgCtrlID(f) : 0;
}

/* ---- controls ---- */

HWND Control(HWND dlg, int id)
{
    HWND c = GetDlgItem(dlg, id);
    if (c == nullptr) ADD_FAILURE() << "the window \"" << Caption(dlg) << "\" has no control " << id;
    return c;
}

std::string Text(HWND dlg, int id)
{
    HWND c = GetDlgItem(dlg, id);
    return c != nullptr ? Caption(c) : std::string("<no control>");
}

bool Enabled(HWND dlg, int id) { HWND c = GetDlgItem(dlg, id); return c != nullptr && IsWindowEnabled(c); }
bool Visible(HWND dlg, int id) { HWND c = GetDlgItem(dlg, id); return c != nullptr && IsWindowVisible(c); }
bool Checked(HWND dlg, int id)
{
    HWND c = GetDlgItem(dlg, id);
    return c != nullptr && SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

/* A control a person could use now; fails the test otherwise. */
static HWND Usable(HWND dlg, int id, const char *what)
{
    HWND c = Control(dlg, id);
    if (c == nullptr) return nullptr;
    if (!IsWindowVisible(c) || !IsWindowEnabled(c)) {
        ADD_FAILURE() << what << ": control " << id << " (\"" << Caption(c) << "\") of \"" << Caption(dlg) << "\" is "
                      << (IsWindowVisible(c) ? "disabled" : "hidden");
        return nullptr;
    }
    return c;
}

void Press(HWND dlg, int id)
{
    HWND b = Usable(dlg, id, "Press");
    if (b != nullptr) PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)b);
}

bool Press_Done(HWND dlg, int id, DWORD ms)
{
    HWND b = Usable(dlg, id, "Press_Done");
    if (b == nullptr) return false;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)b, SMTO_NORMAL, ms, &result)) {
        ADD_FAILURE() << "Press_Done: \"" << Caption(b) << "\" of \"" << Caption(dlg) << "\" did not finish within " << ms
                      << " ms (a box or dialog may be waiting)";
        return false;
    }
    return true;
}

void Focus(HWND dlg, int id)
{
    HWND c = Usable(dlg, id, "Focus");
    if (c != nullptr) SendMessageA(dlg, WM_NEXTDLGCTL, (WPARAM)c, TRUE);
}

void Type(HWND dlg, int id, const std::string &text)
{
    HWND c = Usable(dlg, id, "Type");
    if (c == nullptr) return;
    SendMessageA(dlg, WM_NEXTDLGCTL, (WPARAM)c, TRUE);
    SendMessageA(c, EM_SETSEL, 0, -1);
    if (text.empty()) SendMessageA(c, WM_CHAR, VK_BACK, 1);
    for (char ch : text) SendMessageA(c, WM_CHAR, (WPARAM)(unsigned char)ch, 1);
}

void Set_Check(HWND dlg, int id, bool on)
{
    HWND c = Usable(dlg, id, "Set_Check");
    if (c != nullptr && (SendMessageA(c, BM_GETCHECK, 0, 0) == BST_CHECKED) != on) SendMessageA(c, BM_CLICK, 0, 0);
}

static bool Is_Combo(HWND c) { return _stricmp(Class_Of(c).c_str(), "ComboBox") == 0; }

std::vector<std::string> Items(HWND dlg, int id)
{
    std::vector<std::string> out;
    HWND c = Control(dlg, id);
    if (c == nullptr) return out;
    bool combo = Is_Combo(c);
    LRESULT n = SendMessageW(c, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; i++) {
        LRESULT len = SendMessageW(c, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, (WPARAM)i, 0);
        std::vector<wchar_t> buf((size_t)(len > 0 ? len : 0) + 1, L'\0');
        SendMessageW(c, combo ? CB_GETLBTEXT : LB_GETTEXT, (WPARAM)i, (LPARAM)buf.data());
        out.push_back(Narrow(buf.data()));
    }
    return out;
}

void Choose(HWND dlg, int id, const std::string &item)
{
    HWND c = Usable(dlg, id, "Choose");
    if (c == nullptr) return;
    bool combo = Is_Combo(c);
    std::vector<std::string> all = Items(dlg, id);
    auto at = std::find(all.begin(), all.end(), item);
    if (at == all.end()) {
        std::string list;
        for (const std::string &s : all) list += "\n  " + s;
        ADD_FAILURE() << "Choose: control " << id << " has no item \"" << item << "\"; it has:" << list;
        return;
    }
    WPARAM index = (WPARAM)(at - all.begin());
    SendMessageA(dlg, WM_NEXTDLGCTL, (WPARAM)c, TRUE);
    SendMessageA(c, combo ? CB_SETCURSEL : LB_SETCURSEL, index, 0);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE), (LPARAM)c);
}

/* ---- keys ---- */

static LPARAM Key_LParam(UINT vk, bool up, bool alt)
{
    UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    LPARAM lp = 1 | ((LPARAM)scan << 16);
    if (alt) lp |= (LPARAM)1 << 29;
    if (up) lp |= ((LPARAM)1 << 30) | ((LPARAM)1 << 31);
    return lp;
}

void Key(HWND target, UINT vk)
{
    if (target == nullptr) {
        ADD_FAILURE() << "Key: no window to send the key to";
        return;
    }
    PostMessageA(target, WM_KEYDOWN, vk, Key_LParam(vk, false, false));
    /* the message loop's TranslateMessage makes the characters of Enter, Esc and Tab */
    PostMessageA(target, WM_KEYUP, vk, Key_LParam(vk, true, false));
}

void Key_To_Focus(HWND any, UINT vk)
{
    HWND f = Focus_Window(any);
    if (f == nullptr) f = Active_Window(any);
    Key(f, vk);
}

void Mnemonic(HWND any, char letter)
{
    HWND f = Focus_Window(any);
    if (f == nullptr) f = Active_Window(any);
    if (f == nullptr) {
        ADD_FAILURE() << "Mnemonic: no window has the focus";
        return;
    }
    UINT vk = (UINT)(unsigned char)toupper((unsigned char)letter);
    /* The key only, as the keyboard gives it: the other process's message loop translates the
       key-down into the WM_SYSCHAR that its dialog takes as the mnemonic. A WM_SYSCHAR posted
       beside it would be a second key press (a check box would be ticked and cleared again). */
    PostMessageA(f, WM_SYSKEYDOWN, vk, Key_LParam(vk, false, true));
    PostMessageA(f, WM_SYSKEYUP, vk, Key_LParam(vk, true, true));
}

/* ---- memory in another process ---- */

Remote_Buffer::Remote_Buffer(HWND w, size_t size) : size_(size)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    proc_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (proc_ != nullptr) at_ = VirtualAllocEx(proc_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (at_ == nullptr) ADD_FAILURE() << "no memory in process " << pid << " (error " << GetLastError() << ")";
}

Remote_Buffer::~Remote_Buffer()
{
    if (at_ != nullptr) VirtualFreeEx(proc_, at_, 0, MEM_RELEASE);
    if (proc_ != nullptr) CloseHandle(proc_);
}

bool Remote_Buffer::Write(const void *data, size_t n, size_t offset)
{
    SIZE_T done = 0;
    return at_ != nullptr && offset + n <= size_ && WriteProcessMemory(proc_, at(offset), data, n, &done) && done == n;
}

bool Remote_Buffer::Read(void *data, size_t n, size_t offset) const
{
    SIZE_T done = 0;
    return at_ != nullptr && offset + n <= size_ && ReadProcessMemory(proc_, at(offset), data, n, &done) && done == n;
}

/* ---- list views ---- */

static HWND List_View(HWND dlg, int id)
{
    HWND c = Control(dlg, id);
    if (c != nullptr && _stricmp(Class_Of(c).c_str(), WC_LISTVIEWA) != 0) {
        ADD_FAILURE() << "control " << id << " is a " << Class_Of(c) << ", not a list view";
        return nullptr;
    }
    return c;
}

int LV_Count(HWND dlg, int id)
{
    HWND c = List_View(dlg, id);
    return c != nullptr ? (int)SendMessageA(c, LVM_GETITEMCOUNT, 0, 0) : -1;
}

/* LVM_GETITEMA for one item with the fields in mask; false when the list did not answer. */
static bool Get_Item(HWND list, int item, int column, UINT mask, LVITEMA *out, std::string *text)
{
    const size_t textCap = 1024;
    Remote_Buffer mem(list, sizeof(LVITEMA) + textCap);
    if (!mem.ok()) return false;
    LVITEMA it;
    memset(&it, 0, sizeof it);
    it.mask = mask;
    it.iItem = item;
    it.iSubItem = column;
    it.stateMask = (UINT)-1;
    it.pszText = mem.at(sizeof(LVITEMA));
    it.cchTextMax = (int)textCap;
    char zero = '\0';
    if (!mem.Write(&it, sizeof it) || !mem.Write(&zero, 1, sizeof(LVITEMA))) return false;
    if (!SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)mem.at())) return false;
    mem.Read(out, sizeof *out);
    if (text != nullptr) {
        std::vector<char> buf(textCap + 1, '\0');
        /* the list may point pszText at its own copy instead of filling ours */
        if (out->pszText == mem.at(sizeof(LVITEMA))) mem.Read(buf.data(), textCap, sizeof(LVITEMA));
        else {
            DWORD pid = 0;
            GetWindowThreadProcessId(list, &pid);
            HANDLE p = OpenProcess(PROCESS_VM_READ, FALSE, pid);
            SIZE_T got = 0;
            if (p != nullptr) {
                ReadProcessMemory(p, out->pszText, buf.data(), textCap, &got);
                CloseHandle(p);
            }
        }
        *text = buf.data();
    }
    return true;
}

std::string LV_Text(HWND dlg, int id, int item, int column)
{
    HWND c = List_View(dlg, id);
    LVITEMA it;
    std::string text;
    if (c == nullptr || !Get_Item(c, item, column, LVIF_TEXT, &it, &text)) return "<no item>";
    return text;
}

std::vector<std::string> LV_Texts(HWND dlg, int id)
{
    std::vector<std::string> out;
    int n = LV_Count(dlg, id);
    for (int i = 0; i < n; i++) out.push_back(LV_Text(dlg, id, i));
    return out;
}

LPARAM LV_Data(HWND dlg, int id, int item)
{
    HWND c = List_View(dlg, id);
    LVITEMA it;
    if (c == nullptr || !Get_Item(c, item, 0, LVIF_PARAM, &it, nullptr)) return -1;
    return it.lParam;
}

int LV_Image(HWND dlg, int id, int item)
{
    HWND c = List_View(dlg, id);
    LVITEMA it;
    if (c == nullptr || !Get_Item(c, item, 0, LVIF_IMAGE, &it, nullptr)) return -1;
    return it.iImage;
}

std::vector<int> LV_Selected(HWND dlg, int id)
{
    std::vector<int> out;
    HWND c = List_View(dlg, id);
    if (c == nullptr) return out;
    for (int i = -1; (i = (int)SendMessageA(c, LVM_GETNEXTITEM, (WPARAM)i, MAKELPARAM(LVNI_SELECTED, 0))) >= 0;)
        out.push_back(i);
    return out;
}

int LV_Focused(HWND dlg, int id)
{
    HWND c = List_View(dlg, id);
    return c != nullptr ? (int)SendMessageA(c, LVM_GETNEXTITEM, (WPARAM)-1, MAKELPARAM(LVNI_FOCUSED, 0)) : -1;
}

int LV_Top(HWND dlg, int id)
{
    HWND c = List_View(dlg, id);
    return c != nullptr ? (int)SendMessageA(c, LVM_GETTOPINDEX, 0, 0) : -1;
}

int LV_Per_Page(HWND dlg, int id)
{
    HWND c = List_View(dlg, id);
    return c != nullptr ? (int)SendMessageA(c, LVM_GETCOUNTPERPAGE, 0, 0) : -1;
}

RECT LV_Item_Rect(HWND dlg, int id, int item)
{
    RECT rc = { LVIR_BOUNDS, 0, 0, 0 };
    HWND c = List_View(dlg, id);
    if (c == nullptr) return RECT{ 0, 0, 0, 0 };
    Remote_Buffer mem(c, sizeof rc);
    if (!mem.Write(&rc, sizeof rc) || !SendMessageA(c, LVM_GETITEMRECT, (WPARAM)item, (LPARAM)mem.at())) {
        ADD_FAILURE() << "LV_Item_Rect: list " << id << " has no item " << item;
        return RECT{ 0, 0, 0, 0 };
    }
    mem.Read(&rc, sizeof rc);
    return rc;
}

static void Set_State(HWND list, Remote_Buffer &mem, int item, UINT state, UINT mask)
{
    LVITEMA it;
    memset(&it, 0, sizeof it);
    it.state = state;
    it.stateMask = mask;
    mem.Write(&it, sizeof it);
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)item, (LPARAM)mem.at());
}

void LV_Select(HWND dlg, int id, const std::vector<int> &items)
{
    HWND c = List_View(dlg, id);
    if (c == nullptr || Usable(dlg, id, "LV_Select") == nullptr) return;
    int n = (int)SendMessageA(c, LVM_GETITEMCOUNT, 0, 0);
    for (int i : items)
        if (i < 0 || i >= n) ADD_FAILURE() << "LV_Select: list " << id << " has no item " << i << " (it has " << n << ")";
    SendMessageA(dlg, WM_NEXTDLGCTL, (WPARAM)c, TRUE);
    Remote_Buffer mem(c, sizeof(LVITEMA));
    if (!mem.ok()) return;
    Set_State(c, mem, -1, 0, LVIS_SELECTED);
    if (items.empty()) return;
    for (int i : items) Set_State(c, mem, i, LVIS_SELECTED, LVIS_SELECTED);
    Set_State(c, mem, items[0], LVIS_FOCUSED, LVIS_FOCUSED);
    SendMessageA(c, LVM_SETSELECTIONMARK, 0, items[0]);
    SendMessageA(c, LVM_ENSUREVISIBLE, (WPARAM)items[0], FALSE);
}

void LV_Double_Click(HWND dlg, int id, int item)
{
    HWND c = List_View(dlg, id);
    if (c == nullptr || Usable(dlg, id, "LV_Double_Click") == nullptr) return;
    SendMessageA(c, LVM_ENSUREVISIBLE, (WPARAM)item, FALSE);
    RECT rc = LV_Item_Rect(dlg, id, item);
    LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    LV_Select(dlg, id, { item });
    PostMessageA(c, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(c, WM_LBUTTONUP, 0, at);
}

/* ---- message boxes ---- */

bool Answer_Box(DWORD pid, int button, tk::ForeignBox *seen, DWORD ms)
{
    tk::ForeignBox box;
    if (!tk::Find_ForeignBox(pid, ms, &box)) return false;
    if (seen != nullptr) *seen = box;
    tk::Press_Button(box, button);
    Wait_Gone(box.hwnd, 5000);
    return true;
}

} // namespace rk
