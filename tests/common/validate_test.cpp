#include "support/testkit.h"
#include "support/dlgkit.h"
#include "common/appstate.h"
#include "common/validate.h"
#include "config/limits.h"
#include <string>

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

/* Both edges of every range the dialogs validate: the lowest and the highest allowed value are
   taken, one below and one above are refused. */
TEST_F(ValidateField, BothEdgesOfEveryRangeAreAllowedAndNothingBeyond)
{
    struct Range { const char *name; FIELD_RANGE r; };
    const Range ranges[] = {
        { "priority", LIMIT_PRIORITY },           { "copies", LIMIT_COPIES },
        { "keep seconds", LIMIT_KEEP_SECONDS },   { "count down", LIMIT_COUNT_DOWN },
        { "jobs at a time", LIMIT_JOBS_AT_A_TIME }, { "time-out", LIMIT_TIMEOUT_SECONDS },
        { "done files", LIMIT_DONE_FILE_LIMIT },  { "time priority", LIMIT_TIME_PRIORITY },
        { "purge minutes", LIMIT_PURGE_MINUTES }, { "split size", LIMIT_SPLIT_SIZE },
        { "settle time", LIMIT_SETTLE_TIME },     { "maximum log", LIMIT_MAX_LOGSIZE },
        { "history records", LIMIT_HIST_RECORDS }, { "a negative range", { -10, -2 } },
    };
    for (const Range &c : ranges) {
        for (int kind : { VF_INT, VF_UINT, VF_FLOAT }) {
            if (kind == VF_UINT && c.r.minimum < 0) continue;
            SCOPED_TRACE(std::string(c.name) + (kind == VF_INT ? " (integer)" : kind == VF_UINT ? " (unsigned)" : " (decimal)"));
            const long long edges[] = { c.r.minimum, c.r.maximum, (long long)c.r.minimum - 1, (long long)c.r.maximum + 1 };
            for (int e = 0; e < 4; e++) {
                bool allowed = e < 2;
                SCOPED_TRACE(std::to_string(edges[e]));
                tk::MsgRecorder boxes({ IDNO });
                union { int i; float f; } value;
                if (kind == VF_FLOAT) value.f = 0.5f; else value.i = 123456789;
                dk::Type(form.hwnd(), IDC_FIELD, std::to_string(edges[e]));
                EXPECT_EQ(allowed, Validate_Field(field(), kind, &value, c.r.minimum, c.r.maximum, "Editor") != FALSE);
                EXPECT_EQ(allowed ? 0u : 1u, boxes.count());
                if (kind == VF_FLOAT) EXPECT_EQ(allowed ? (float)edges[e] : 0.5f, value.f);
                else EXPECT_EQ(allowed ? (int)edges[e] : 123456789, value.i);
            }
        }
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
