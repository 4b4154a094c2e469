#include "support/dlgkit.h"
#include <commctrl.h>
#include <algorithm>
#include <cctype>
#include <map>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace dk {

/* ---- Script ---- */

static Script *s_Running;       /* the script whose dialog is up; one at a time */

Script &Script::On(const std::string &caption, std::function<void(HWND)> act)
{
    steps_.push_back(Step{ caption, std::move(act) });
    return *this;
}

static std::vector<HWND> Thread_Windows()
{
    std::vector<HWND> list;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND w, LPARAM p) -> BOOL {
        ((std::vector<HWND> *)p)->push_back(w);
        return TRUE;
    }, (LPARAM)&list);
    return list;
}

static bool Contains(const std::vector<HWND> &list, HWND w)
{
    return std::find(list.begin(), list.end(), w) != list.end();
}

/* A dialog of this test that a step may act on: shown, enabled (its own modal child is not up),
   not already being acted on, with the caption asked for. The active window is preferred. */
static HWND Find_Target(const Script &s, const std::string &caption)
{
    HWND found = nullptr, active = GetActiveWindow();
    for (HWND w : Thread_Windows()) {
        if (Contains(s.before_, w) || Contains(s.running_, w)) continue;
        if (!IsWindowVisible(w) || !IsWindowEnabled(w)) continue;
        if (!caption.empty() && Caption(w) != caption) continue;
        if (w == active) return w;
        if (found == nullptr) found = w;
    }
    return found;
}

/* Ends the innermost dialog left open by a test that went wrong. */
static void End_Leftover(const Script &s)
{
    for (HWND w : Thread_Windows()) {
        if (Contains(s.before_, w) || !IsWindowVisible(w) || !IsWindowEnabled(w)) continue;
        EndDialog(w, IDCANCEL);
        PostMessageA(w, WM_CLOSE, 0, 0);
        return;
    }
}

static void CALLBACK Script_Tick(HWND, UINT, UINT_PTR, DWORD)
{
    Script *s = s_Running;
    if (s == nullptr) return;
    if (GetTickCount() - s->start_ > s->limit_) {
        if (!s->timedOut_) {
            s->timedOut_ = true;
            if (s->Done()) ADD_FAILURE() << "a dialog was still open after " << s->limit_ << " ms";
            else ADD_FAILURE() << "step " << s->next_ + 1 << " (\"" << s->steps_[s->next_].caption
                               << "\") found no dialog within " << s->limit_ << " ms";
        }
        End_Leftover(*s);
        return;
    }
    if (s->Done()) return;
    HWND w = Find_Target(*s, s->steps_[s->next_].caption);
    if (w == nullptr) return;
    Script::Step step = s->steps_[s->next_++];
    s->running_.push_back(w);
    step.act(w);                   /* may run a nested modal loop, where the next steps go on */
    s->running_.pop_back();
}

INT_PTR Script::Run(std::function<INT_PTR()> open, DWORD ms)
{
    if (s_Running != nullptr) {
        ADD_FAILURE() << "dk::Script::Run inside another script";
        return -1;
    }
    before_ = Thread_Windows();
    start_ = GetTickCount();
    limit_ = ms;
    timedOut_ = false;
    s_Running = this;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, Script_Tick);
    INT_PTR result = open();
    KillTimer(nullptr, timer);
    s_Running = nullptr;
    if (!Done() && !timedOut_)
        ADD_FAILURE() << "the dialog closed before step " << next_ + 1 << " (\"" << steps_[next_].caption << "\")";
    return result;
}

/* ---- actions ---- */

static HWND Usable_Control(HWND dlg, int id, const char *what)
{
    HWND ctl = GetDlgItem(dlg, id);
    if (ctl == nullptr) {
        ADD_FAILURE() << what << ": the dialog \"" << Caption(dlg) << "\" has no control " << id;
        return nullptr;
    }
    if (!IsWindowVisible(ctl) || !IsWindowEnabled(ctl)) {
        ADD_FAILURE() << what << ": control " << id << " (\"" << Text(dlg, id) << "\") is "
                      << (IsWindowVisible(ctl) ? "disabled" : "hidden");
        return nullptr;
    }
    return ctl;
}

/* A drop-down list (or combo box) rather than a list box. */
static bool Is_Combo(HWND ctl)
{
    char cls[64] = "";
    GetClassNameA(ctl, cls, sizeof cls);
    return lstrcmpiA(cls, "ComboBox") == 0;
}

void Type(HWND dlg, int id, const std::string &text)
{
    HWND ctl = Usable_Control(dlg, id, "Type");
    if (ctl == nullptr) return;
    SetFocus(ctl);
    SendMessageA(ctl, EM_SETSEL, 0, -1);
    if (text.empty()) SendMessageA(ctl, WM_CHAR, VK_BACK, 1);
    for (char c : text) SendMessageA(ctl, WM_CHAR, (WPARAM)(unsigned char)c, 1);
}

void Click(HWND dlg, int id)
{
    HWND ctl = Usable_Control(dlg, id, "Click");
    if (ctl != nullptr) SendMessageA(ctl, BM_CLICK, 0, 0);
}

static void Tell_Selection(HWND dlg, int id, HWND ctl, bool combo)
{
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, combo ? CBN_SELCHANGE : LBN_SELCHANGE), (LPARAM)ctl);
}

void Choose(HWND dlg, int id, const std::string &item)
{
    HWND ctl = Usable_Control(dlg, id, "Choose");
    if (ctl == nullptr) return;
    bool combo = Is_Combo(ctl);
    LRESULT i = SendMessageA(ctl, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)item.c_str());
    if (i < 0) {
        std::string all;
        for (const std::string &s : Items(dlg, id)) all += "\n  " + s;
        ADD_FAILURE() << "Choose: control " << id << " has no item \"" << item << "\"; it has:" << all;
        return;
    }
    SendMessageA(ctl, combo ? CB_SETCURSEL : LB_SETCURSEL, (WPARAM)i, 0);
    Tell_Selection(dlg, id, ctl, combo);
}

void Choose_Index(HWND dlg, int id, int index)
{
    HWND ctl = Usable_Control(dlg, id, "Choose_Index");
    if (ctl == nullptr) return;
    bool combo = Is_Combo(ctl);
    if (SendMessageA(ctl, combo ? CB_SETCURSEL : LB_SETCURSEL, (WPARAM)index, 0) < 0) {
        ADD_FAILURE() << "Choose_Index: control " << id << " has no item " << index;
        return;
    }
    Tell_Selection(dlg, id, ctl, combo);
}

void Double_Click(HWND dlg, int id)
{
    HWND ctl = Usable_Control(dlg, id, "Double_Click");
    if (ctl != nullptr) SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), (LPARAM)ctl);
}

void Slide(HWND dlg, int id, int pos)
{
    HWND ctl = Usable_Control(dlg, id, "Slide");
    if (ctl == nullptr) return;
    SendMessageA(ctl, TBM_SETPOS, TRUE, pos);
    UINT msg = (GetWindowLongA(ctl, GWL_STYLE) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    SendMessageA(dlg, msg, MAKEWPARAM(TB_THUMBPOSITION, pos), (LPARAM)ctl);
    SendMessageA(dlg, msg, MAKEWPARAM(TB_ENDTRACK, 0), (LPARAM)ctl);
}

void Spin(HWND dlg, int id, int steps)
{
    HWND ctl = Usable_Control(dlg, id, "Spin");
    if (ctl == nullptr) return;
    RECT rc;
    GetClientRect(ctl, &rc);
    bool horizontal = (GetWindowLongA(ctl, GWL_STYLE) & UDS_HORZ) != 0;
    /* the up arrow is the upper half (the right half of a horizontal one) */
    int x, y;
    if (horizontal) { x = steps > 0 ? rc.right * 3 / 4 : rc.right / 4; y = rc.bottom / 2; }
    else            { x = rc.right / 2; y = steps > 0 ? rc.bottom / 4 : rc.bottom * 3 / 4; }
    for (int i = 0; i < abs(steps); i++) {
        SendMessageA(ctl, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageA(ctl, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
}

/* ---- reading ---- */

std::string Caption(HWND hwnd)
{
    char buf[1024] = "";
    GetWindowTextA(hwnd, buf, sizeof buf);
    return buf;
}

std::string Text(HWND dlg, int id)
{
    HWND ctl = GetDlgItem(dlg, id);
    return ctl != nullptr ? Caption(ctl) : std::string("<no control>");
}

std::vector<std::string> Items(HWND dlg, int id)
{
    std::vector<std::string> list;
    HWND ctl = GetDlgItem(dlg, id);
    if (ctl == nullptr) return list;
    bool combo = Is_Combo(ctl);
    LRESULT n = SendMessageA(ctl, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < n; i++) {
        LRESULT len = SendMessageA(ctl, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, (WPARAM)i, 0);
        std::vector<char> buf((size_t)(len > 0 ? len : 0) + 1, '\0');
        SendMessageA(ctl, combo ? CB_GETLBTEXT : LB_GETTEXT, (WPARAM)i, (LPARAM)buf.data());
        list.push_back(buf.data());
    }
    return list;
}

std::string Selected(HWND dlg, int id)
{
    HWND ctl = GetDlgItem(dlg, id);
    if (ctl == nullptr) return "<no control>";
    bool combo = Is_Combo(ctl);
    LRESULT i = SendMessageA(ctl, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
    if (i < 0) return "";
    std::vector<std::string> all = Items(dlg, id);
    return (size_t)i < all.size() ? all[(size_t)i] : "";
}

bool Checked(HWND dlg, int id) { return IsDlgButtonChecked(dlg, id) == BST_CHECKED; }
bool Enabled(HWND dlg, int id) { HWND c = GetDlgItem(dlg, id); return c != nullptr && IsWindowEnabled(c); }
bool Visible(HWND dlg, int id) { HWND c = GetDlgItem(dlg, id); return c != nullptr && IsWindowVisible(c); }

void Screenshot(HWND hwnd, const std::string &name)
{
    char dir[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("EDITOR_SHOTS", dir, sizeof dir);
    if (n == 0 || n >= sizeof dir || !IsWindow(hwnd)) return;
    RECT rc;
    GetWindowRect(hwnd, &rc);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0) return;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    const bool own = pid == GetCurrentProcessId();
    /* Everything painted now, frame and children included. */
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC source;
    int x = 0, y = 0;
    if (own) {
        /* A window of this process is copied from its own pixels: Wine puts them on the display only
           once this thread waits for messages, so a copy from the screen could miss what was
           painted last (or the whole window, in a test that never waits). */
        MSG m;
        while (PeekMessageA(&m, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&m);
        source = GetWindowDC(hwnd);
    } else {
        /* Another process's window only from the screen: once that process has painted and gone
           back to waiting for messages (which is when Wine puts its window on the display). */
        for (int i = 0; i < 2; i++) {
            DWORD_PTR r = 0;
            SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &r);
            Sleep(60);
        }
        source = GetDC(nullptr);
        x = rc.left;
        y = rc.top;
    }
    HDC mem = CreateCompatibleDC(source);
    BITMAPINFO bi;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;               /* bottom-up, as a .bmp file keeps its rows */
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP dib = CreateDIBSection(source, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, source, x, y, SRCCOPY);
    GdiFlush();
    DWORD stride = ((DWORD)w * 3 + 3) & ~3u, size = stride * (DWORD)h;
    BITMAPFILEHEADER fh;
    memset(&fh, 0, sizeof fh);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    CreateDirectoryA(dir, nullptr);          /* the run at 144 dots per inch names a sub-folder of its own */
    std::string path = std::string(dir) + "\\" + name + ".bmp";
    FILE *f = fopen(path.c_str(), "wb");
    if (f != nullptr) {
        fwrite(&fh, sizeof fh, 1, f);
        fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f);
        fwrite(bits, 1, size, f);
        fclose(f);
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(own ? hwnd : nullptr, source);
}

/* ---- ChooserRecorder ---- */

static ChooserRecorder *s_Chooser;

static BOOL Record_Choice(const CHOOSER_CALL *call, char *path, size_t cap)
{
    ChooserRecorder *r = s_Chooser;
    r->calls.push_back(ChooserCall{ call->kind, call->title ? call->title : "", path, call->filterIndex,
                                    call->mustExist != FALSE });
    if (r->answers.empty()) return FALSE;
    std::string a = r->answers.front();
    r->answers.erase(r->answers.begin());
    if (a.empty() || a.size() >= cap) return FALSE;
    memcpy(path, a.c_str(), a.size() + 1);
    return TRUE;
}

ChooserRecorder::ChooserRecorder(std::vector<std::string> a) : answers(std::move(a))
{
    s_Chooser = this;
    Set_ChooserHook(Record_Choice);
}

ChooserRecorder::~ChooserRecorder()
{
    Set_ChooserHook(nullptr);
    s_Chooser = nullptr;
}

/* ---- Form ---- */

std::vector<WORD> Build_Template(const char *caption, const std::vector<Ctl> &ctls, short w, short h)
{
    return Dialog_Template(caption, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME | DS_3DLOOK, 10, 10, w, h,
                           ctls.data(), ctls.size());
}

void Init_CommonControls()
{
    INITCOMMONCONTROLSEX icc = { sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES };
    InitCommonControlsEx(&icc);
}

Form::Form(const char *caption, const std::vector<Ctl> &ctls, short w, short h, DLGPROC proc, LPARAM param)
{
    Init_CommonControls();
    std::vector<WORD> t = Build_Template(caption, ctls, w, h);
    hwnd_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), (LPCDLGTEMPLATEA)t.data(), nullptr, proc, param);
    if (hwnd_ == nullptr) ADD_FAILURE() << "dk::Form \"" << caption << "\" was not created (" << GetLastError() << ")";
}

Form::~Form()
{
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
}

std::vector<ListRow> List_Rows(HWND list)
{
    std::vector<ListRow> rows;
    int n = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < n; i++) {
        char text[300] = "";
        LVITEMA it;
        memset(&it, 0, sizeof it);
        it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        it.iItem = i;
        it.pszText = text;
        it.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&it);
        rows.push_back(ListRow{ text, it.iImage, it.lParam });
    }
    return rows;
}

/* ---- layout ---- */

static std::string Without_Ampersands(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '&' && i + 1 < text.size()) i++;
        out += text[i];
    }
    return out;
}

void Expect_Laid_Out(HWND dlg)
{
    struct Placed { HWND hwnd; RECT rc; bool box; std::string name; };
    std::vector<Placed> placed;
    RECT client;
    GetClientRect(dlg, &client);
    for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!IsWindowVisible(c)) continue;
        char cls[64] = "";
        GetClassNameA(c, cls, sizeof cls);
        LONG style = GetWindowLongA(c, GWL_STYLE);
        std::string name = std::string(cls) + " " + std::to_string(GetDlgCtrlID(c)) + " \"" + Caption(c) + "\"";
        RECT rc;
        GetWindowRect(c, &rc);
        MapWindowPoints(nullptr, dlg, (POINT *)&rc, 2);
        /* the size grip sits flush in the corner, where dialog units may round it a pixel over */
        bool grip = _stricmp(cls, "ScrollBar") == 0 && (style & SBS_SIZEGRIP);
        if (!grip) {
            EXPECT_TRUE(rc.left >= 0 && rc.top >= 0 && rc.right <= client.right && rc.bottom <= client.bottom)
                << name << " lies outside the dialog";
        }
        bool box = _stricmp(cls, "Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX;
        if (!grip) placed.push_back(Placed{ c, rc, box, name });

        /* the text as the control's font draws it */
        bool button = _stricmp(cls, "Button") == 0 && !box;
        bool label = _stricmp(cls, "Static") == 0 && (style & SS_TYPEMASK) <= SS_RIGHT && !(style & (SS_ENDELLIPSIS | SS_PATHELLIPSIS | SS_WORDELLIPSIS));
        std::string text = Without_Ampersands(Caption(c));
        if ((!button && !label) || text.empty()) continue;
        HDC hdc = GetDC(c);
        HGDIOBJ old = SelectObject(hdc, (HFONT)SendMessageA(c, WM_GETFONT, 0, 0));
        SIZE ext;
        GetTextExtentPoint32A(hdc, text.c_str(), (int)text.size(), &ext);
        TEXTMETRICA tm;
        GetTextMetricsA(hdc, &tm);
        SelectObject(hdc, old);
        ReleaseDC(c, hdc);
        RECT inner;
        GetClientRect(c, &inner);
        /* a push button draws its text inside a frame and a focus rectangle; a check box or radio
           button after its mark */
        int room = inner.right;
        LONG kind = style & BS_TYPEMASK;
        if (button && (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON)) {
            room -= 2 * (GetSystemMetrics(SM_CXEDGE) + 2);
        } else if (button) {
            room -= GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE);
        }
        bool multiLine = label && inner.bottom >= 2 * tm.tmHeight;
        if (!multiLine) {
            EXPECT_LE(ext.cx, room) << name << " is clipped: its text needs " << ext.cx << " pixels";
        }
        EXPECT_LE(tm.tmHeight, inner.bottom + (button ? 0 : 1)) << name << " is too low for its font";
    }
    for (size_t i = 0; i < placed.size(); i++)
        for (size_t j = i + 1; j < placed.size(); j++) {
            if (placed[i].box || placed[j].box) continue;
            RECT both;
            EXPECT_FALSE(IntersectRect(&both, &placed[i].rc, &placed[j].rc)) << placed[i].name << " overlaps " << placed[j].name;
        }
}

/* ---- the keyboard ---- */

void Key(HWND dlg, UINT msg, WPARAM key)
{
    MSG m;
    memset(&m, 0, sizeof m);
    m.hwnd = GetFocus();
    m.message = msg;
    m.wParam = key;
    m.lParam = msg == WM_SYSCHAR ? (1 << 29) : 1;
    m.time = GetTickCount();
    EXPECT_TRUE(IsDialogMessageA(dlg, &m));
}

int Focus_Id() { return GetDlgCtrlID(GetFocus()); }

std::vector<int> Tab_Order(HWND dlg)
{
    std::vector<int> ids{ Focus_Id() };
    for (int i = 0; i < 40; i++) {
        Key(dlg, WM_KEYDOWN, VK_TAB);
        if (Focus_Id() == ids[0]) break;
        ids.push_back(Focus_Id());
    }
    return ids;
}

void Expect_Unique_Mnemonics(HWND dlg)
{
    std::map<char, std::string> seen;
    for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        std::string text = Caption(c);
        for (size_t i = 0; i + 1 < text.size(); i++) {
            if (text[i] != '&') continue;
            if (text[i + 1] == '&') { i++; continue; }
            char k = (char)tolower((unsigned char)text[i + 1]);
            EXPECT_EQ(0u, seen.count(k)) << "\"" << text << "\" and \"" << seen[k] << "\" share &" << k;
            seen[k] = text;
        }
    }
    EXPECT_FALSE(seen.empty());
}

void Expect_Mnemonics_Lead(HWND dlg, const std::vector<std::pair<char, int>> &keys)
{
    for (const auto &k : keys) {
        SCOPED_TRACE(std::string("Alt+") + k.first);
        Key(dlg, WM_SYSCHAR, (WPARAM)k.first);
        EXPECT_EQ(k.second, Focus_Id());
    }
}

} // namespace dk
