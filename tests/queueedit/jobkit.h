/* What the tests of the Job Settings, thumbnail directory and Multi-Job Settings pages share:
   the keyboard as the dialog's own message loop sees it, and a page opened on a working copy. */
#pragma once
#include "queueedit/editkit.h"
#include <cctype>
#include <map>
#include <vector>

namespace jk {

/* A key as the dialog's message loop hands it to IsDialogMessage (WM_SYSCHAR: Alt is down). */
inline void Key(HWND dlg, UINT msg, WPARAM key)
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

inline int Focus_Id() { return GetDlgCtrlID(GetFocus()); }

/* The controls Tab visits from the one that has the focus, until it comes round again. */
inline std::vector<int> Tab_Order(HWND dlg)
{
    std::vector<int> ids{ Focus_Id() };
    for (int i = 0; i < 40; i++) {
        Key(dlg, WM_KEYDOWN, VK_TAB);
        if (Focus_Id() == ids[0]) break;
        ids.push_back(Focus_Id());
    }
    return ids;
}

/* Every mnemonic of the dialog's controls, once each. */
inline void Expect_Unique_Mnemonics(HWND dlg)
{
    std::map<char, std::string> seen;
    for (HWND c = GetWindow(dlg, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        std::string text = dk::Caption(c);
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

/* Alt and each letter puts the focus where its label points (a radio button or check box is
   also clicked, as the keyboard does). */
inline void Expect_Mnemonics_Lead(HWND dlg, const std::vector<std::pair<char, int>> &keys)
{
    for (const auto &k : keys) {
        SCOPED_TRACE(std::string("Alt+") + k.first);
        Key(dlg, WM_SYSCHAR, (WPARAM)k.first);
        EXPECT_EQ(k.second, Focus_Id());
    }
}

/* The text of a Validate_Field question. */
inline std::string Out_Of_Range(int maximum, int minimum)
{
    return "A number entered is out of range.\r\nMaximum = " + std::to_string(maximum) + ", Minimum = " +
           std::to_string(minimum) + "\r\nContinue and ignore changes?";
}
const char k_Invalid[] = "A number entered is invalid.\r\nContinue and ignore changes?";

/* The pages' tests: the editor's small installation, and each page opened on a working copy. */
class PageTest : public ek::EditorTest {
protected:
    /* The working copy the overview would hand a page for queue pos (sharing the queue's icon). */
    Target Work(int pos) { return targets[pos]; }

    INT_PTR Open_JobSettings(dk::Script &s, Target *work)
    {
        return Open_Page(s, IDD_JOBSETTINGS, QueueJobSettings_Dlg, work);
    }
    INT_PTR Open_MultiJob(dk::Script &s, Target *work) { return Open_Page(s, IDD_MULTIJOB, QueueMultiJobSettings_Dlg, work); }
    INT_PTR Open_ThumbDir(dk::Script &s, Target *work) { return Open_Page(s, IDD_THUMBDIR, QueueLowResImageDir_Dlg, work); }
};

} // namespace jk
