/* The dialog test kit itself: its actions must reach a dialog as a person's would, and a script
   must carry nested modal dialogs and never hang. */
#include "support/testkit.h"
#include "support/dlgkit.h"
#include <commctrl.h>
#include <stdlib.h>
#include <gtest/gtest-spi.h>

enum { IDC_NAME = 100, IDC_CHECK, IDC_LIST, IDC_SLIDER, IDC_COUNT, IDC_SPIN, IDC_MORE, IDC_OFF };

static std::vector<std::string> s_Heard;       /* what the dialog procedure was told */

static INT_PTR CALLBACK Listening_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(hDlg, IDC_LIST, CB_ADDSTRING, 0, (LPARAM)"Low");
        SendDlgItemMessageA(hDlg, IDC_LIST, CB_ADDSTRING, 0, (LPARAM)"Normal");
        SendDlgItemMessageA(hDlg, IDC_LIST, CB_ADDSTRING, 0, (LPARAM)"High");
        SendDlgItemMessageA(hDlg, IDC_SLIDER, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
        SendDlgItemMessageA(hDlg, IDC_SPIN, UDM_SETRANGE32, 0, 20);
        SendDlgItemMessageA(hDlg, IDC_SPIN, UDM_SETPOS32, 0, 5);
        return TRUE;
    case WM_COMMAND: {
        char line[64];
        snprintf(line, sizeof line, "command %d/%d", LOWORD(wParam), HIWORD(wParam));
        s_Heard.push_back(line);
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(hDlg, LOWORD(wParam));
        if (LOWORD(wParam) == IDC_MORE) {
            /* a nested modal dialog, as a "Browse..." or "Change..." button opens */
            std::vector<WORD> t = dk::Build_Template("Nested", { { "BUTTON", IDOK, "OK", BS_DEFPUSHBUTTON, 10, 10, 50, 14 } }, 80, 40);
            INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), (LPCDLGTEMPLATEA)t.data(), hDlg, Listening_Dlg, 0);
            s_Heard.push_back("nested closed with " + std::to_string(r));
        }
        return TRUE;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
        char line[64];
        snprintf(line, sizeof line, "%s %d pos %d from %d", msg == WM_HSCROLL ? "hscroll" : "vscroll", LOWORD(wParam),
                 HIWORD(wParam), GetDlgCtrlID((HWND)lParam));
        s_Heard.push_back(line);
        return TRUE;
    }
    }
    return FALSE;
}

static const std::vector<dk::Ctl> k_Controls = {
    { "EDIT",              IDC_NAME,   "",        WS_BORDER | ES_AUTOHSCROLL, 10, 10, 80, 12 },
    { "BUTTON",            IDC_CHECK,  "Check",   BS_AUTOCHECKBOX | WS_TABSTOP, 10, 26, 80, 10 },
    { "COMBOBOX",          IDC_LIST,   "",        CBS_DROPDOWNLIST | WS_VSCROLL, 10, 40, 80, 60 },
    { "msctls_trackbar32", IDC_SLIDER, "",        TBS_HORZ, 10, 56, 80, 14 },
    { "EDIT",              IDC_COUNT,  "",        WS_BORDER | ES_NUMBER, 10, 74, 40, 12 },
    { "msctls_updown32",   IDC_SPIN,   "",        UDS_SETBUDDYINT | UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 0, 0, 0, 0 },
    { "BUTTON",            IDC_MORE,   "More...", BS_PUSHBUTTON, 100, 10, 50, 14 },
    { "BUTTON",            IDC_OFF,    "Off",     BS_PUSHBUTTON | WS_DISABLED, 100, 28, 50, 14 },
    { "BUTTON",            IDOK,       "OK",      BS_DEFPUSHBUTTON, 100, 74, 50, 14 },
};

class DlgKit : public ::testing::Test {
protected:
    void SetUp() override { s_Heard.clear(); }
    bool heard(const std::string &what) { return std::find(s_Heard.begin(), s_Heard.end(), what) != s_Heard.end(); }
    dk::Form form{ "Kit", k_Controls, 160, 96, Listening_Dlg };
    HWND d() { return form.hwnd(); }
};

TEST_F(DlgKit, TypingReplacesTheTextWithinTheEditsOwnRules)
{
    dk::Type(d(), IDC_NAME, "first");
    dk::Type(d(), IDC_NAME, "Queue 1");
    EXPECT_EQ("Queue 1", dk::Text(d(), IDC_NAME));
    EXPECT_TRUE(heard("command 100/" + std::to_string(EN_CHANGE)));
    EXPECT_EQ(form.item(IDC_NAME), GetFocus());
    dk::Type(d(), IDC_NAME, "");
    EXPECT_EQ("", dk::Text(d(), IDC_NAME));
    dk::Type(d(), IDC_COUNT, "1x2");
    EXPECT_EQ("12", dk::Text(d(), IDC_COUNT)) << "a number field takes no letters";
}

TEST_F(DlgKit, ClickChooseSlideAndSpinTellTheDialog)
{
    dk::Click(d(), IDC_CHECK);
    EXPECT_TRUE(dk::Checked(d(), IDC_CHECK));
    EXPECT_TRUE(heard("command 101/" + std::to_string(BN_CLICKED)));

    dk::Choose(d(), IDC_LIST, "Normal");
    EXPECT_EQ("Normal", dk::Selected(d(), IDC_LIST));
    EXPECT_TRUE(heard("command 102/" + std::to_string(CBN_SELCHANGE)));

    dk::Slide(d(), IDC_SLIDER, 7);
    EXPECT_EQ(7, SendDlgItemMessageA(d(), IDC_SLIDER, TBM_GETPOS, 0, 0));
    EXPECT_TRUE(heard("hscroll " + std::to_string(TB_THUMBPOSITION) + " pos 7 from 103"));

    dk::Spin(d(), IDC_SPIN, 2);
    EXPECT_EQ("7", dk::Text(d(), IDC_COUNT));
    dk::Spin(d(), IDC_SPIN, -3);
    EXPECT_EQ("4", dk::Text(d(), IDC_COUNT));
    EXPECT_TRUE(heard("vscroll " + std::to_string(SB_THUMBPOSITION) + " pos 4 from 105"));
}

TEST_F(DlgKit, ActingOnWhatAPersonCannotReachFailsTheTest)
{
    EXPECT_NONFATAL_FAILURE(dk::Click(d(), IDC_OFF), "is disabled");
    EXPECT_FALSE(heard("command 107/0"));
    EXPECT_NONFATAL_FAILURE(dk::Choose(d(), IDC_LIST, "Urgent"), "has no item \"Urgent\"");
    EXPECT_NONFATAL_FAILURE(dk::Type(d(), 999, "x"), "has no control 999");
}

TEST(DlgKitScript, CarriesNestedModalDialogsInOrder)
{
    s_Heard.clear();
    std::vector<WORD> t = dk::Build_Template("Outer", k_Controls, 160, 96);
    dk::Script s;
    s.On("Outer", [](HWND d) {
        dk::Type(d, IDC_NAME, "typed");
        dk::Click(d, IDC_MORE);             /* returns once the nested dialog has closed */
        EXPECT_EQ("nested closed with 1", s_Heard.back());
        dk::Click(d, IDOK);
    });
    s.On("Nested", [](HWND d) {
        EXPECT_FALSE(IsWindowEnabled(GetWindow(d, GW_OWNER))) << "the outer dialog waits";
        dk::Click(d, IDOK);
    });
    INT_PTR r = s.Run([&] { return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), (LPCDLGTEMPLATEA)t.data(), nullptr, Listening_Dlg, 0); });
    EXPECT_EQ(IDOK, r);
    EXPECT_TRUE(s.Done());
}

TEST(DlgKitScript, AStepThatNeverComesFailsAndEndsTheDialog)
{
    std::vector<WORD> t = dk::Build_Template("Outer", k_Controls, 160, 96);
    dk::Script s;
    s.On("Not This One", [](HWND d) { dk::Click(d, IDOK); });
    INT_PTR r = 0;
    DWORD t0 = GetTickCount();
    EXPECT_NONFATAL_FAILURE(
        r = s.Run([&] { return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), (LPCDLGTEMPLATEA)t.data(), nullptr, Listening_Dlg, 0); }, 300),
        "found no dialog within 300 ms");
    EXPECT_EQ(IDCANCEL, r);
    EXPECT_LT(GetTickCount() - t0, 3000u);
}

/* The test runner names the resolution each run is meant to have (EDITOR_DPI: 96, or 144 for the
   second run): a prefix whose setting did not take would otherwise pass the second run at 96. */
TEST(TestRun, TheScreenHasTheResolutionTheRunIsFor)
{
    char want[16] = "";
    if (GetEnvironmentVariableA("EDITOR_DPI", want, sizeof want) == 0) return;   /* not started by the runner */
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(atoi(want), dpi);
}
