/* Binding a record to a dialog's controls, and the page protocol built on it, on a small record
   and real dialogs built in memory. */
#include "support/testkit.h"
#include "support/dlgkit.h"
#include "common/appstate.h"
#include "common/ctrlmap.h"
#include "common/msg.h"
#include "common/page.h"
#include "common/text.h"
#include <commctrl.h>

namespace {

struct Rec {
    char    name[9];          /* up to 8 characters */
    int32_t copies;           /* 1 to 10000 */
    BOOL    hidden;
    int32_t priority;         /* 1 to 3 */
    int32_t policy;           /* 0, 1 or 2 by radio */
    char    note[17];         /* owned by the page without a control */
    int32_t untouched;        /* no page owns it */
};

enum { IDC_NAME = 100, IDC_COPIES, IDC_SPIN, IDC_HIDDEN, IDC_PRIORITY, IDC_P0, IDC_P1, IDC_P2, IDC_MISSING };
const FIELD_RANGE k_CopiesRange = { 1, 10000 };
const char *const k_Priorities[] = { "High", "Normal", "Low", NULL };

const CTRL_MAP k_Map[] = {
    CM_TEXT_ROW(IDC_NAME, Rec, name),
    CM_INT_ROW(IDC_COPIES, Rec, copies, k_CopiesRange),
    CM_SPIN_ROW(IDC_SPIN, k_CopiesRange),
    CM_CHECK_ROW(IDC_HIDDEN, Rec, hidden),
    CM_LIST_ROW(IDC_PRIORITY, Rec, priority, k_Priorities, 1),
    CM_RADIO_ROW(IDC_P0, Rec, policy, 0),
    CM_RADIO_ROW(IDC_P1, Rec, policy, 1),
    CM_RADIO_ROW(IDC_P2, Rec, policy, 2),
};

const std::vector<dk::Ctl> k_Controls = {
    { "EDIT", IDC_NAME, "", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 10, 10, 80, 12 },
    { "EDIT", IDC_COPIES, "", WS_BORDER | WS_TABSTOP, 10, 26, 40, 12 },
    { "msctls_updown32", IDC_SPIN, "", UDS_SETBUDDYINT | UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0, 0 },
    { "BUTTON", IDC_HIDDEN, "Hidden", BS_AUTOCHECKBOX | WS_TABSTOP, 10, 42, 80, 10 },
    { "COMBOBOX", IDC_PRIORITY, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 10, 56, 80, 60 },
    { "BUTTON", IDC_P0, "Always", BS_AUTORADIOBUTTON | WS_GROUP, 100, 10, 60, 10 },
    { "BUTTON", IDC_P1, "Write", BS_AUTORADIOBUTTON, 100, 22, 60, 10 },
    { "BUTTON", IDC_P2, "Read", BS_AUTORADIOBUTTON, 100, 34, 60, 10 },
    { "BUTTON", IDOK, "OK", BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 100, 74, 50, 14 },
    { "BUTTON", IDCANCEL, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 100, 90, 50, 14 },
};

Rec Sample()
{
    Rec r;
    memset(&r, 0, sizeof r);
    Copy_Field(r.name, "Plates");
    r.copies = 3;
    r.hidden = TRUE;
    r.priority = 2;
    r.policy = 1;
    Copy_Field(r.note, "kept");
    r.untouched = 77;
    return r;
}

class CtrlMap : public ::testing::Test {
protected:
    void SetUp() override { dk::Init_CommonControls(); }
    tk::MsgRecorder boxes;
    dk::Form form{ "Binding", k_Controls, 170, 110 };
    HWND d() { return form.hwnd(); }
};

TEST_F(CtrlMap, LoadShowsEveryFieldAndSaveTakesItBack)
{
    Rec r = Sample();
    Load_Controls(d(), k_Map, ARRAY_LEN(k_Map), &r);
    EXPECT_EQ("Plates", dk::Text(d(), IDC_NAME));
    EXPECT_EQ("3", dk::Text(d(), IDC_COPIES));
    EXPECT_TRUE(dk::Checked(d(), IDC_HIDDEN));
    EXPECT_EQ((std::vector<std::string>{ "High", "Normal", "Low" }), dk::Items(d(), IDC_PRIORITY));
    EXPECT_EQ("Normal", dk::Selected(d(), IDC_PRIORITY));
    EXPECT_FALSE(dk::Checked(d(), IDC_P0));
    EXPECT_TRUE(dk::Checked(d(), IDC_P1));
    int lo = 0, hi = 0;
    SendMessageA(form.item(IDC_SPIN), UDM_GETRANGE32, (WPARAM)&lo, (LPARAM)&hi);
    EXPECT_EQ(1, lo);
    EXPECT_EQ(10000, hi);

    Rec back;
    memset(&back, 0x33, sizeof back);
    Rec expected = back;
    ASSERT_TRUE(Save_Controls(d(), k_Map, ARRAY_LEN(k_Map), &back, "Title"));
    memcpy(expected.name, "Plates", 7);             /* the text and its terminator; the room behind stays */
    expected.copies = r.copies;
    expected.hidden = r.hidden;
    expected.priority = r.priority;
    expected.policy = r.policy;
    EXPECT_EQ(0, memcmp(&expected, &back, sizeof back)) << "exactly the bound fields are written";
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(CtrlMap, WhatTheOperatorDoesReachesTheRecord)
{
    Rec r = Sample();
    Load_Controls(d(), k_Map, ARRAY_LEN(k_Map), &r);
    dk::Type(d(), IDC_NAME, "Proofs and more");
    EXPECT_EQ("Proofs a", dk::Text(d(), IDC_NAME)) << "typing stops at the field's room";
    dk::Type(d(), IDC_COPIES, "0042");
    dk::Click(d(), IDC_HIDDEN);
    dk::Choose(d(), IDC_PRIORITY, "Low");
    dk::Click(d(), IDC_P2);
    ASSERT_TRUE(Save_Controls(d(), k_Map, ARRAY_LEN(k_Map), &r, "Title"));
    EXPECT_STREQ("Proofs a", r.name);
    EXPECT_EQ(42, r.copies);
    EXPECT_EQ("42", dk::Text(d(), IDC_COPIES)) << "the number is shown in its plain form";
    EXPECT_FALSE(r.hidden);
    EXPECT_EQ(3, r.priority);
    EXPECT_EQ(2, r.policy);
    dk::Spin(d(), IDC_SPIN, 2);
    ASSERT_TRUE(Save_Controls(d(), k_Map, ARRAY_LEN(k_Map), &r, "Title"));
    EXPECT_EQ(44, r.copies);
}

TEST_F(CtrlMap, ARefusedNumberStopsTheSaveWithTheFieldValidationsQuestion)
{
    const struct { const char *typed; const char *question; int32_t edge; } cases[] = {
        { "0", "A number entered is out of range.\r\nMaximum = 10000, Minimum = 1\r\nContinue and ignore changes?", 1 },
        { "10001", "A number entered is out of range.\r\nMaximum = 10000, Minimum = 1\r\nContinue and ignore changes?", 10000 },
        { "many", "A number entered is invalid.\r\nContinue and ignore changes?", 1 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed);
        tk::MsgRecorder asked({ IDNO });
        Rec r = Sample();
        Load_Controls(d(), k_Map, ARRAY_LEN(k_Map), &r);
        dk::Click(d(), IDC_HIDDEN);                 /* a row behind the refused one */
        dk::Type(d(), IDC_COPIES, c.typed);
        EXPECT_FALSE(Save_Controls(d(), k_Map, ARRAY_LEN(k_Map), &r, "Title"));
        ASSERT_EQ(1u, asked.count());
        EXPECT_EQ(c.question, asked.last().text);
        EXPECT_EQ("Title", asked.last().caption);
        EXPECT_EQ(3, r.copies) << "the refused number is not stored";
        EXPECT_TRUE(r.hidden) << "the rows behind it are not saved";
        /* the edges themselves are accepted */
        dk::Type(d(), IDC_COPIES, std::to_string(c.edge));
        EXPECT_TRUE(Save_Controls(d(), k_Map, ARRAY_LEN(k_Map), &r, "Title"));
        EXPECT_EQ(c.edge, r.copies);
    }
}

TEST_F(CtrlMap, ATextLongerThanItsFieldIsRefusedNotCut)
{
    Rec r = Sample();
    Load_Controls(d(), k_Map, ARRAY_LEN(k_Map), &r);
    SetWindowTextA(form.item(IDC_NAME), "123456789");      /* a program, not typing, put it there */
    EXPECT_FALSE(Save_Controls(d(), k_Map, ARRAY_LEN(k_Map), &r, "Title"));
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("This text is too long: the field holds at most 8 characters.", boxes.last().text);
    EXPECT_EQ(MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
    EXPECT_STREQ("Plates", r.name);
    SetWindowTextA(form.item(IDC_NAME), "12345678");
    EXPECT_TRUE(Save_Controls(d(), k_Map, ARRAY_LEN(k_Map), &r, "Title"));
    EXPECT_STREQ("12345678", r.name);
}

TEST_F(CtrlMap, ATextHeldBelowItsFieldIsLimitedAndRefusedAtThatLength)
{
    const CTRL_MAP shortName[] = { CM_TEXTMAX_ROW(IDC_NAME, Rec, name, 5) };
    Rec r = Sample();
    Load_Controls(d(), shortName, ARRAY_LEN(shortName), &r);
    EXPECT_EQ("Plates", dk::Text(d(), IDC_NAME)) << "a longer loaded text is shown whole";
    dk::Type(d(), IDC_NAME, "Proofs");
    EXPECT_EQ("Proof", dk::Text(d(), IDC_NAME)) << "typing stops at the row's maximum";
    SetWindowTextA(form.item(IDC_NAME), "Proofs");
    EXPECT_FALSE(Save_Controls(d(), shortName, ARRAY_LEN(shortName), &r, "Title"));
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("This text is too long: the field holds at most 5 characters.", boxes.last().text);
    EXPECT_STREQ("Plates", r.name);
    SetWindowTextA(form.item(IDC_NAME), "Proof");
    EXPECT_TRUE(Save_Controls(d(), shortName, ARRAY_LEN(shortName), &r, "Title"));
    EXPECT_STREQ("Proof", r.name);
}

TEST_F(CtrlMap, OutOfRangeListValuesSelectNothingAndKeepTheField)
{
    Rec r = Sample();
    r.priority = 9;
    Load_Controls(d(), k_Map, ARRAY_LEN(k_Map), &r);
    EXPECT_EQ("", dk::Selected(d(), IDC_PRIORITY));
    ASSERT_TRUE(Save_Controls(d(), k_Map, ARRAY_LEN(k_Map), &r, "Title"));
    EXPECT_EQ(9, r.priority);
}

TEST(CtrlMapCopy, CopiesExactlyTheBoundAndOwnedFields)
{
    const FIELD_SPAN owned[] = { FIELD_OF(Rec, note) };
    Rec from = Sample(), to;
    memset(&to, 0, sizeof to);
    Copy_MappedFields(k_Map, ARRAY_LEN(k_Map), owned, ARRAY_LEN(owned), &to, &from);
    Rec expected = from;
    expected.untouched = 0;
    EXPECT_EQ(0, memcmp(&expected, &to, sizeof to));
}

/* ---- the page protocol ---- */

struct PageLog {
    int loads = 0, writes = 0, closes = 0;
    BOOL lastCommitted = -1;
    BOOL refuse = FALSE;
} s_Log;

void Load_Test(HWND) { s_Log.loads++; }
BOOL Write_Test(HWND dlg)
{
    s_Log.writes++;
    Rec *copy = (Rec *)Page_Copy(dlg);
    Copy_Field(copy->note, "written");
    if (s_Log.refuse) Info_Box(programTitle, "refused by the page");
    return !s_Log.refuse;
}
void Close_Test(HWND, BOOL committed)
{
    s_Log.closes++;
    s_Log.lastCommitted = committed;
}

const FIELD_SPAN k_Owned[] = { FIELD_OF(Rec, note) };
const PAGE_DEF k_TestPage = {
    "Test_Dlg(); wm_initdialog\n", "Test Dlg: OK\n", "Test dialog called but no target pointer passed in.  Cannot show dialog",
    sizeof(Rec), k_Map, ARRAY_LEN(k_Map), k_Owned, ARRAY_LEN(k_Owned), IDOK, 16, Load_Test, Write_Test, Close_Test,
};

enum { IDC_NEST = 120 };
INT_PTR CALLBACK Test_Dlg(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND && LOWORD(wParam) == IDC_NEST) {
        /* a page opened from a page, on the outer page's own copy */
        std::vector<dk::Ctl> ctls = k_Controls;
        std::vector<WORD> t = dk::Build_Template("Inner", ctls, 170, 110);
        DialogBoxIndirectParamA(GetModuleHandleA(nullptr), (LPCDLGTEMPLATEA)t.data(), dlg, Test_Dlg, (LPARAM)Page_Copy(dlg));
        Page_Load(dlg);
        return TRUE;
    }
    return Page_DefProc(dlg, msg, wParam, lParam, &k_TestPage);
}

class Page : public ::testing::Test {
protected:
    void SetUp() override
    {
        dk::Init_CommonControls();
        s_Log = PageLog();
    }
    INT_PTR Open(dk::Script &s, void *rec, const char *caption = "Outer")
    {
        std::vector<dk::Ctl> ctls = k_Controls;
        ctls.push_back({ "BUTTON", IDC_NEST, "Nest...", BS_PUSHBUTTON | WS_TABSTOP, 10, 90, 50, 14 });
        std::vector<WORD> t = dk::Build_Template(caption, ctls, 170, 110);
        return s.Run([&] {
            return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), (LPCDLGTEMPLATEA)t.data(), NULL, Test_Dlg, (LPARAM)rec);
        });
    }
    tk::MsgRecorder boxes;
};

TEST_F(Page, OkCopiesBackOnlyThePagesFieldsAndCancelNothing)
{
    Rec work = Sample();
    dk::Script s;
    s.On("Outer", [](HWND d) {
        EXPECT_EQ("Plates", dk::Text(d, IDC_NAME));
        EXPECT_NE(nullptr, Page_Extra(d));
        dk::Type(d, IDC_NAME, "Films");
        dk::Type(d, IDC_COPIES, "9");
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open(s, &work));
    EXPECT_STREQ("Films", work.name);
    EXPECT_EQ(9, work.copies);
    EXPECT_STREQ("written", work.note) << "a field the page owns without a control";
    EXPECT_EQ(77, work.untouched) << "a field the page does not own";
    EXPECT_EQ(1, s_Log.loads);
    EXPECT_EQ(1, s_Log.writes);
    EXPECT_EQ(TRUE, s_Log.lastCommitted);

    Rec before = work;
    dk::Script c;
    c.On("Outer", [](HWND d) {
        dk::Type(d, IDC_NAME, "Other");
        dk::Click(d, IDC_HIDDEN);
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(0, Open(c, &work));
    EXPECT_EQ(0, memcmp(&before, &work, sizeof work));
    EXPECT_EQ(FALSE, s_Log.lastCommitted);
}

TEST_F(Page, ARefusalKeepsThePageOpenWithWhatWasTyped)
{
    Rec work = Sample();
    Rec before = work;
    s_Log.refuse = TRUE;
    dk::Script s;
    s.On("Outer", [](HWND d) {
        dk::Type(d, IDC_NAME, "Films");
        dk::Click(d, IDOK);                              /* the page's own check refuses */
        EXPECT_TRUE(IsWindow(d));
        EXPECT_EQ("Films", dk::Text(d, IDC_NAME));
        s_Log.refuse = FALSE;
        dk::Type(d, IDC_COPIES, "0");                    /* the table's check refuses */
        dk::Click(d, IDOK);
        EXPECT_TRUE(IsWindow(d));
        EXPECT_EQ(1, s_Log.writes) << "the page's check is not reached past a refused number";
        dk::Click(d, IDCANCEL);
    });
    boxes.answers = { IDOK, IDNO };
    Open(s, &work);
    EXPECT_EQ(0, memcmp(&before, &work, sizeof work)) << "nothing reached the caller's record";
    ASSERT_EQ(2u, boxes.count());
    EXPECT_EQ("refused by the page", boxes.boxes[0].text);
}

TEST_F(Page, PagesNestOnTheirOwnCopies)
{
    Rec work = Sample();
    dk::Script s;
    s.On("Outer", [](HWND d) {
        dk::Type(d, IDC_COPIES, "5");
        dk::Click(d, IDC_NEST);
    });
    s.On("Inner", [](HWND d) {
        EXPECT_EQ("3", dk::Text(d, IDC_COPIES)) << "the inner page copies the outer page's record, not its controls";
        dk::Type(d, IDC_NAME, "Inner");
        dk::Click(d, IDOK);
    });
    s.On("Outer", [](HWND d) {
        EXPECT_EQ("Inner", dk::Text(d, IDC_NAME)) << "the outer page shows what the inner one wrote into its copy";
        dk::Click(d, IDCANCEL);
    });
    Open(s, &work);
    EXPECT_STREQ("Plates", work.name) << "Cancel in the outer page drops what the inner one did";
    EXPECT_EQ(2, s_Log.closes);
}

TEST_F(Page, WithoutARecordThePageSaysSoAndCloses)
{
    dk::Script s;
    EXPECT_EQ(0, Open(s, nullptr));
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("Test dialog called but no target pointer passed in.  Cannot show dialog", boxes.last().text);
    EXPECT_EQ(0, s_Log.loads);
}

} // namespace
