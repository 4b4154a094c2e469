#include "support/testkit.h"
#include "support/dlgkit.h"
#include "common/appstate.h"
#include "common/validate.h"

#define IDC_FIELD 100

/* A dialog with one edit field, typed into as the operator would. */
class ValidateField : public ::testing::Test {
protected:
    void SetUp() override { tk::Reset_ProcessState(); }
    dk::Form form{ "Validate", { { "EDIT", IDC_FIELD, "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 10, 10, 120, 12 },
                                 { "BUTTON", IDOK, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 140, 10, 50, 14 } } };
    HWND field() { return form.item(IDC_FIELD); }
    std::string shown() { return dk::Text(form.hwnd(), IDC_FIELD); }
    bool all_selected()
    {
        DWORD start = 0, end = 0;
        SendMessageA(field(), EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
        return start == 0 && end == shown().size();
    }
};

struct NumberCase { const char *name; int kind; const char *typed; int min, max; int want; const char *shows; };
static const NumberCase k_Accepted[] = {
    { "leading zeros go",           VF_INT,  "0015",  1, 1200,   15,   "15" },
    { "the leading number is read", VF_INT,  "12abc", 0, 100,    12,   "12" },
    { "blanks before the number",   VF_INT,  "  42",  0, 100,    42,   "42" },
    { "negative",                   VF_INT,  "-5",   -10, 10,    -5,   "-5" },
    { "the limits are allowed",     VF_INT,  "1200",  1, 1200, 1200, "1200" },
    { "unsigned",                   VF_UINT, "+7",    0, 10,      7,    "7" },
};

TEST_F(ValidateField, AcceptsANumberAndShowsItPlainly)
{
    for (const NumberCase &c : k_Accepted) {
        SCOPED_TRACE(c.name);
        tk::MsgRecorder boxes;
        int value = 999;
        dk::Type(form.hwnd(), IDC_FIELD, c.typed);
        EXPECT_TRUE(Validate_Field(field(), c.kind, &value, c.min, c.max, "Editor"));
        EXPECT_EQ(c.want, value);
        EXPECT_EQ(c.shows, shown());
        EXPECT_EQ(0u, boxes.count());
    }
}

struct RefusedCase { const char *name; int kind; const char *typed; int min, max; const char *problem; };
static const RefusedCase k_Refused[] = {
    { "no number",            VF_INT,  "abc",         1, 1200,    "A number entered is invalid." },
    { "empty",                VF_INT,  "",            1, 1200,    "A number entered is invalid." },
    { "below the minimum",    VF_INT,  "5",          10, 1000000, "A number entered is out of range.\r\nMaximum = 1000000, Minimum = 10" },
    { "above the maximum",    VF_UINT, "61",          0, 60,      "A number entered is out of range.\r\nMaximum = 60, Minimum = 0" },
    { "beyond 32 bits",       VF_INT,  "99999999999", 0, 1440,    "A number entered is out of range.\r\nMaximum = 1440, Minimum = 0" },
    { "decimal out of range", VF_FLOAT, "10.5",       0, 10,      "A number entered is out of range.\r\nMaximum = 10, Minimum = 0" },
    { "decimal no number",    VF_FLOAT, ".",          0, 10,      "A number entered is invalid." },
};

TEST_F(ValidateField, AsksWithTheProblemAndKeepsTheOldValue)
{
    for (const RefusedCase &c : k_Refused) {
        SCOPED_TRACE(c.name);
        tk::MsgRecorder boxes({ IDNO });
        union { int i; float f; } value;
        if (c.kind == VF_FLOAT) value.f = 1.25f; else value.i = 7;
        dk::Type(form.hwnd(), IDC_FIELD, c.typed);
        EXPECT_FALSE(Validate_Field(field(), c.kind, &value, c.min, c.max, "Editor"));
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ(std::string(c.problem) + "\r\nContinue and ignore changes?", boxes.last().text);
        EXPECT_EQ("Editor", boxes.last().caption);
        EXPECT_EQ((UINT)MB_YESNO, tk::Buttons_Of(boxes.last().flags));
        EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(boxes.last().flags));
        EXPECT_TRUE(boxes.last().flags & MB_TASKMODAL);
        if (c.kind == VF_FLOAT) EXPECT_EQ(1.25f, value.f); else EXPECT_EQ(7, value.i);
    }
}

TEST_F(ValidateField, YesPutsTheFormerValueBackAndSelectsIt)
{
    tk::MsgRecorder boxes({ IDYES, IDYES });
    int value = 250;
    dk::Type(form.hwnd(), IDC_FIELD, "abc");
    EXPECT_FALSE(Validate_Field(field(), VF_INT, &value, 1, 1200, "Editor"));
    EXPECT_EQ("250", shown());
    EXPECT_TRUE(all_selected());
    EXPECT_EQ(250, value);

    float number = 2.5f;
    dk::Type(form.hwnd(), IDC_FIELD, "x");
    EXPECT_FALSE(Validate_Field(field(), VF_FLOAT, &number, 0, 10, "Editor"));
    EXPECT_EQ("2.50", shown());
}

TEST_F(ValidateField, NoKeepsTheTextSelectedWithTheFocus)
{
    tk::MsgRecorder boxes({ IDNO });
    int value = 250;
    dk::Type(form.hwnd(), IDC_FIELD, "abc");
    SetFocus(form.item(IDOK));                      /* as after a click on OK */
    EXPECT_FALSE(Validate_Field(field(), VF_INT, &value, 1, 1200, "Editor"));
    EXPECT_EQ("abc", shown());
    EXPECT_TRUE(all_selected());
    EXPECT_EQ(field(), GetFocus());
    EXPECT_EQ(250, value);
}

TEST_F(ValidateField, DecimalIsStoredAndTheFieldLeftAsTyped)
{
    tk::MsgRecorder boxes;
    float value = 0;
    dk::Type(form.hwnd(), IDC_FIELD, " 2.5 mm");
    EXPECT_TRUE(Validate_Field(field(), VF_FLOAT, &value, 0, 10, "Editor"));
    EXPECT_EQ(2.5f, value);
    EXPECT_EQ(" 2.5 mm", shown());
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(ValidateField, TextIsCutToTheTargetAndCopiedAsTyped)
{
    tk::MsgRecorder boxes;
    char target[300];
    memset(target, 'x', sizeof target);
    std::string typed = "50%d %s %n " + std::string(289, 'a');
    ASSERT_EQ(300u, typed.size());
    dk::Type(form.hwnd(), IDC_FIELD, typed);
    EXPECT_TRUE(Validate_Field(field(), VF_TEXT, target, 0, 260, "Editor"));
    EXPECT_EQ(typed.substr(0, 259), std::string(target));
    EXPECT_EQ('x', target[260]) << "wrote past the target's size";

    dk::Type(form.hwnd(), IDC_FIELD, "100% black");
    EXPECT_TRUE(Validate_Field(field(), VF_TEXT, target, 0, 260, "Editor"));
    EXPECT_STREQ("100% black", target);
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(ValidateField, UnknownKindIsRefusedWithoutAQuestion)
{
    tk::MsgRecorder boxes;
    int value = 3;
    dk::Type(form.hwnd(), IDC_FIELD, "5");
    EXPECT_FALSE(Validate_Field(field(), 4, &value, 0, 10, "Editor"));
    EXPECT_EQ(3, value);
    EXPECT_EQ(0u, boxes.count());
}
