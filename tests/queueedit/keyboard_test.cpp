/* The queue editor's dialogs by keyboard alone: mnemonics, tab stops, Enter and Escape. */
#include "queueedit/editkit.h"
#include "queueedit/paramfile_dlg.h"
#include <cctype>
#include <cstddef>
#include <map>

namespace {

struct Template {
    const char *caption;
    int id;
};
const Template k_Templates[] = {
    { "Overview", IDD_OVERVIEW }, { "Inputs", IDD_INPUTS }, { "Identity", IDD_IDENTITY },
    { "Queue / App Choices", IDD_CHOICES }, { "Parameter File", IDD_PARAMFILE },
};

INT_PTR CALLBACK Inert_Dlg(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

std::string Class_Of(HWND w)
{
    char cls[64] = "";
    GetClassNameA(w, cls, sizeof cls);
    return cls;
}

/* The letter after a single '&', lower case; 0 when the text has none. */
char Mnemonic(const std::string &text)
{
    for (size_t i = 0; i + 1 < text.size(); i++) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') { i++; continue; }
        return (char)tolower((unsigned char)text[i + 1]);
    }
    return 0;
}

class Keyboard : public ek::EditorTest {};

/* Each dialog as its template makes it: mnemonics that do not clash, a label with a mnemonic
   before every field, every control a person uses reachable by Tab, one default button, a
   Cancel button for Escape. */
TEST_F(Keyboard, EveryTemplateCanBeWorkedByKeyboard)
{
    for (const Template &t : k_Templates) {
        SCOPED_TRACE(t.caption);
        HWND d = CreateDialogParamA(hInstance, MAKEINTRESOURCEA(t.id), nullptr, Inert_Dlg, 0);
        ASSERT_NE(nullptr, d);
        EXPECT_EQ(t.caption, dk::Caption(d));
        std::map<char, std::string> letters;
        int defaults = 0;
        HWND previous = nullptr;
        for (HWND c = GetWindow(d, GW_CHILD); c != nullptr; previous = c, c = GetWindow(c, GW_HWNDNEXT)) {
            std::string text = dk::Caption(c), cls = Class_Of(c);
            LONG style = GetWindowLongA(c, GWL_STYLE);
            LONG type = style & BS_TYPEMASK;
            SCOPED_TRACE(cls + " " + std::to_string(GetDlgCtrlID(c)) + " \"" + text + "\"");
            if (char m = Mnemonic(text)) {
                EXPECT_EQ(0u, letters.count(m)) << "'" << m << "' is also the mnemonic of \"" << letters[m] << "\"";
                letters[m] = text;
            }
            bool field = lstrcmpiA(cls.c_str(), "Edit") == 0 || lstrcmpiA(cls.c_str(), "ComboBox") == 0;
            bool button = lstrcmpiA(cls.c_str(), "Button") == 0 && type != BS_GROUPBOX;
            if (field || button) {
                EXPECT_TRUE(style & WS_TABSTOP) << "reached by Tab";
            }
            if (button && type == BS_DEFPUSHBUTTON) defaults++;
            if (field && GetDlgCtrlID(c) != IDC_PF_TEXT) {
                ASSERT_NE(nullptr, previous);
                EXPECT_NE(0, Mnemonic(dk::Caption(previous))) << "the label before a field carries a mnemonic";
            }
        }
        EXPECT_EQ(1, defaults) << "one default button for Enter";
        EXPECT_NE(nullptr, GetDlgItem(d, IDCANCEL)) << "Escape cancels";
        DestroyWindow(d);
    }
}

TEST_F(Keyboard, ThePagesTakeEnterAsOkAndEscapeAsCancel)
{
    struct KeyCase {
        const char *caption;
        int templ;
        DLGPROC proc;
        int box;
        bool dropDown;
        const char *typed;
        UINT key;
        size_t field;                   /* where Enter stores the text; Escape keeps the copy whole */
    };
    const KeyCase cases[] = {
        { "Inputs", IDD_INPUTS, QueueInputs_Dlg, IDC_IN_PATH, false, "D:\\Keyed", VK_RETURN, offsetof(Target, hotDir) },
        { "Identity", IDD_IDENTITY, QueueIdentity_Dlg, IDC_ID_MUTEX, true, "Keyed Group", VK_RETURN,
          offsetof(Target, mutexGroup) },
        { "Identity", IDD_IDENTITY, QueueIdentity_Dlg, IDC_ID_IDENTITY, true, "Dropped", VK_ESCAPE, 0 },
    };
    Target work = targets[0];
    work.icon = nullptr;
    for (const KeyCase &c : cases) {
        SCOPED_TRACE(std::string(c.caption) + ": " + c.typed);
        const Target before = work;
        dk::Script s;
        s.On(c.caption, [&](HWND d) {
            if (c.dropDown) ek::Type_Box(d, c.box, c.typed);
            else dk::Type(d, c.box, c.typed);
            ek::Press_Key(c.key);
        });
        EXPECT_EQ(0, Open_Page(s, c.templ, c.proc, &work));
        if (c.key == VK_RETURN) {
            EXPECT_STREQ(c.typed, (const char *)&work + c.field);
        } else {
            EXPECT_EQ(0, memcmp(&before, &work, sizeof work));
        }
    }
}

TEST_F(Keyboard, AMnemonicPressesItsButtonOrMovesToItsSection)
{
    dk::ChooserRecorder picks({ "D:\\By Keyboard" });
    Target work = targets[0];
    work.icon = nullptr;
    dk::Script s;
    s.On("Inputs", [](HWND) { PostMessageA(GetFocus(), WM_SYSCHAR, 'b', 1 << 29); });        /* Alt+B: Browse... */
    s.On("Inputs", [](HWND d) {
        EXPECT_EQ("D:\\By Keyboard", dk::Text(d, IDC_IN_PATH));
        PostMessageA(GetFocus(), WM_SYSCHAR, 's', 1 << 29);                                       /* Alt+S: subdirectories */
    });
    s.On("Inputs", [](HWND d) {
        EXPECT_TRUE(dk::Checked(d, IDC_IN_SUBDIRS));
        dk::Click(d, IDOK);
    });
    Open_Page(s, IDD_INPUTS, QueueInputs_Dlg, &work);
    EXPECT_EQ(1u, picks.calls.size());
    EXPECT_TRUE(work.includeSubdirs);

    dk::Script ov;
    ov.On("Overview", [](HWND) { PostMessageA(GetFocus(), WM_SYSCHAR, 'r', 1 << 29); });     /* Alt+R: Resource Management */
    ov.On("Overview", [](HWND d) {
        EXPECT_EQ(GetDlgItem(d, IDC_OV_IDENTITY), GetFocus()) << "its Change... button has the focus";
        ek::Press_Key(VK_SPACE);
    });
    ov.On("Identity", [](HWND) { ek::Press_Key(VK_ESCAPE); });
    ov.On("Overview", [](HWND) { ek::Press_Key(VK_ESCAPE); });
    EXPECT_EQ(-1, Open_Overview(ov, 0));
}

} // namespace
