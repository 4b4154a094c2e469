/* File Naming Convention: masks by preset or typed, the length checks, the help, and a record
   that only OK changes. */
#include "prefs_kit.h"
#include "prefs/jobnames.h"
#include "resources/resource.h"

namespace {

const char k_Caption[] = "File Naming Convention";
const char k_Preset0[] = "Varro RIP (V4.5 or V5.0 with sep numbers)";
const char k_Preset1[] = "Varro RIP (V4.1 or V5.0 without sep numbers)";

class JobNames : public pk::Home {
protected:
    SPOOLER_GLOBALS rec;

    void SetUp() override
    {
        pk::Home::SetUp();
        memset(&rec, 0, sizeof rec);
        rec.SPOOLER_FILE_SETTLE_TIME = 77;                    /* not the dialog's: must stay */
        Set_Masks("1>011.TIF", "0>100.TIF", 1);
    }
    void Set_Masks(const char *group, const char *sepId, int index)
    {
        Copy_Field(rec.SPOOLER_JOBNAME_GROUPMASK, group);
        Copy_Field(rec.SPOOLER_JOBNAME_SEPIDMASK, sepId);
        rec.RIPIndex = index;
    }
    bool Run(dk::Script &s)
    {
        return s.Run([this] { return (INT_PTR)Edit_JobNames(NULL, &rec); }) != 0;
    }
};

TEST_F(JobNames, OwnMasksOpenInManualWithTheFirstPresetSelected)
{
    Set_Masks("11>0.TIF", "00>1.TIF", -1);
    dk::Script s;
    s.On(k_Caption, [](HWND d) {
        EXPECT_TRUE(dk::Checked(d, IDC_JN_MANUAL));
        EXPECT_FALSE(dk::Checked(d, IDC_JN_AUTOMATIC));
        EXPECT_EQ((std::vector<std::string>{ k_Preset0, k_Preset1 }), dk::Items(d, IDC_JN_PRESETS));
        EXPECT_EQ(k_Preset0, dk::Selected(d, IDC_JN_PRESETS));
        EXPECT_FALSE(dk::Enabled(d, IDC_JN_PRESETS));
        EXPECT_TRUE(dk::Enabled(d, IDC_JN_GROUPMASK));
        EXPECT_TRUE(dk::Enabled(d, IDC_JN_SEPIDMASK));
        EXPECT_EQ("11>0.TIF", dk::Text(d, IDC_JN_GROUPMASK));
        EXPECT_EQ("00>1.TIF", dk::Text(d, IDC_JN_SEPIDMASK));
        EXPECT_EQ(GetDlgItem(d, IDC_JN_MANUAL), GetFocus());
        pk::Shot(d, "file_naming_convention_manual");
        dk::Click(d, IDCANCEL);
    });
    EXPECT_FALSE(Run(s));
}

TEST_F(JobNames, APresetOpensInAutomaticAndChoosingAnotherStoresItsMasks)
{
    Set_Masks("01>011.TIF", "00>100.TIF", 0);
    dk::Script s;
    s.On(k_Caption, [](HWND d) {
        EXPECT_TRUE(dk::Checked(d, IDC_JN_AUTOMATIC));
        EXPECT_EQ(k_Preset0, dk::Selected(d, IDC_JN_PRESETS));
        EXPECT_TRUE(dk::Enabled(d, IDC_JN_PRESETS));
        EXPECT_FALSE(dk::Enabled(d, IDC_JN_GROUPMASK));
        EXPECT_EQ("01>011.TIF", dk::Text(d, IDC_JN_GROUPMASK));
        dk::Choose(d, IDC_JN_PRESETS, k_Preset1);
        EXPECT_EQ("1>011.TIF", dk::Text(d, IDC_JN_GROUPMASK));
        EXPECT_EQ("0>100.TIF", dk::Text(d, IDC_JN_SEPIDMASK));
        pk::Shot(d, "file_naming_convention");
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(Run(s));
    EXPECT_STREQ("1>011.TIF", rec.SPOOLER_JOBNAME_GROUPMASK);
    EXPECT_STREQ("0>100.TIF", rec.SPOOLER_JOBNAME_SEPIDMASK);
    EXPECT_EQ(1, rec.RIPIndex);
    EXPECT_EQ(77, rec.SPOOLER_FILE_SETTLE_TIME);
}

TEST_F(JobNames, ManualWithNothingTypedKeepsTheMasksShownAsOwnMasks)
{
    dk::Script s;
    s.On(k_Caption, [](HWND d) {
        dk::Click(d, IDC_JN_MANUAL);
        EXPECT_FALSE(dk::Enabled(d, IDC_JN_PRESETS));
        EXPECT_TRUE(dk::Enabled(d, IDC_JN_GROUPMASK));
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(Run(s));
    EXPECT_STREQ("1>011.TIF", rec.SPOOLER_JOBNAME_GROUPMASK);
    EXPECT_STREQ("0>100.TIF", rec.SPOOLER_JOBNAME_SEPIDMASK);
    EXPECT_EQ(-1, rec.RIPIndex) << "typed masks, even a preset's, are the operator's own";
}

TEST_F(JobNames, BackToAutomaticTakesThePresetNotWhatWasTyped)
{
    dk::Script s;
    s.On(k_Caption, [](HWND d) {
        dk::Click(d, IDC_JN_MANUAL);
        dk::Type(d, IDC_JN_GROUPMASK, std::string(70, '1'));      /* too long, but not used */
        dk::Type(d, IDC_JN_SEPIDMASK, "x");
        dk::Click(d, IDC_JN_AUTOMATIC);
        EXPECT_FALSE(dk::Enabled(d, IDC_JN_GROUPMASK));
        EXPECT_EQ(std::string(70, '1'), dk::Text(d, IDC_JN_GROUPMASK)) << "left as it was";
        dk::Click(d, IDOK);
    });
    tk::MsgRecorder boxes;
    EXPECT_TRUE(Run(s));
    EXPECT_EQ(0u, boxes.count());
    EXPECT_STREQ("1>011.TIF", rec.SPOOLER_JOBNAME_GROUPMASK);
    EXPECT_EQ(1, rec.RIPIndex);
}

struct MaskCase { const char *name; std::string group, sepId; int field; const char *text; };

TEST_F(JobNames, TypedMasksOfTheWrongLengthAreRefused)
{
    const MaskCase cases[] = {
        { "job name mask of two", "ab", "0>100.TIF", IDC_JN_GROUPMASK,
          "The Job name mask is less than 3 characters long. Custom configured masks should be a minimum of 3 "
          "characters." },
        { "job name mask of 65", std::string(65, '1'), "0>100.TIF", IDC_JN_GROUPMASK,
          "The Job name mask is longer than 64 characters. String masks are limited to 64 characters." },
        { "colour mask empty", "1>011.TIF", "", IDC_JN_SEPIDMASK,
          "The colour info mask is less than 3 characters long. Custom configured masks should be a minimum of 3 "
          "characters." },
        { "colour mask of 65", "1>011.TIF", std::string(64, '0') + ">", IDC_JN_SEPIDMASK,
          "The colour info mask is longer than 64 characters. String masks are limited to 64 characters." },
    };
    for (const MaskCase &c : cases) {
        SCOPED_TRACE(c.name);
        const SPOOLER_GLOBALS before = rec;
        tk::MsgRecorder boxes;
        dk::Script s;
        s.On(k_Caption, [&](HWND d) {
            dk::Click(d, IDC_JN_MANUAL);
            dk::Type(d, IDC_JN_GROUPMASK, c.group);
            dk::Type(d, IDC_JN_SEPIDMASK, c.sepId);
            dk::Click(d, IDOK);
            ASSERT_EQ(1u, boxes.count());
            EXPECT_EQ(c.text, boxes.last().text);
            EXPECT_EQ("Editor", boxes.last().caption);
            EXPECT_EQ((UINT)(MB_OK | MB_ICONSTOP), tk::Buttons_Of(boxes.last().flags) | tk::Icon_Of(boxes.last().flags));
            EXPECT_EQ(GetDlgItem(d, c.field), GetFocus()) << "the mask to correct";
            EXPECT_EQ(c.field == IDC_JN_GROUPMASK ? c.group : c.sepId, dk::Text(d, c.field)) << "nothing cut";
            dk::Click(d, IDCANCEL);
        });
        EXPECT_FALSE(Run(s));
        EXPECT_EQ(0, memcmp(&before, &rec, sizeof rec)) << "Cancel leaves the record alone";
    }
    /* the longest and the shortest masks are taken */
    dk::Script s;
    s.On(k_Caption, [](HWND d) {
        dk::Click(d, IDC_JN_MANUAL);
        dk::Type(d, IDC_JN_GROUPMASK, std::string(64, '1'));
        dk::Type(d, IDC_JN_SEPIDMASK, "0>1");
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(Run(s));
    EXPECT_EQ(std::string(64, '1'), rec.SPOOLER_JOBNAME_GROUPMASK);
    EXPECT_STREQ("0>1", rec.SPOOLER_JOBNAME_SEPIDMASK);
}

TEST_F(JobNames, CancelAfterEveryChangeLeavesTheRecordAlone)
{
    const SPOOLER_GLOBALS before = rec;
    dk::Script s;
    s.On(k_Caption, [](HWND d) {
        dk::Choose(d, IDC_JN_PRESETS, k_Preset0);
        dk::Click(d, IDC_JN_MANUAL);
        dk::Type(d, IDC_JN_GROUPMASK, "abc");
        dk::Click(d, IDCANCEL);
    });
    EXPECT_FALSE(Run(s));
    EXPECT_EQ(0, memcmp(&before, &rec, sizeof rec));
}

TEST_F(JobNames, HelpExplainsTheMaskCharacters)
{
    tk::MsgRecorder boxes;
    dk::Script s;
    s.On(k_Caption, [&](HWND d) {
        dk::Click(d, IDC_JN_HELP);
        dk::Click(d, IDCANCEL);
    });
    Run(s);
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("Editor", boxes.last().caption);
    EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
    EXPECT_EQ("Only attempt to create a string mask yourself if you are sure you know what you are doing.\n"
              "Bad string masks will allow the system to make wrong decisions about how to group your jobs, and how to "
              "associate colours with them. \n\nValid Characters To Use:\n\n"
              "\tAny character except 1,0, or > : ==> This character should always occur at this position.\n"
              "\t1 : ==> Mask in characters at this position.\n"
              "\t0 : ==> Mask out (ignore) characters at this position.\n"
              "\t> : ==> Stretch out the mask by repeating the character at the previous position\n\n\n"
              "Examples:\n\n"
              "\tMask:  111111.Tif     Job: Tavnel.Tif       Result:\t\tTavnel\n"
              "\tMask:  1>.Tif         Job: Tavnel.Tif       Results:\tTavnel\n"
              "\tMask:  1>0.Tif        Job: Tavnel.Tif       Results:\tTavne\n"
              "\tMask:  1>000.Tif      Job: Tavnel.Tif       Results:\tTav\n"
              "\tMask:  0>111.Tif      Job: Tavnel.Tif      \tResults:\tnel\n"
              "\tMask:  0>100.Tif      Job: Tavnel.Tif       Results:\tn\n"
              "\tMask:  0>100.Tif      Job: SarnM22.Tif      Results:\tM\n"
              "\tMask:  1>011.Tif      Job: SarnM22.Tif      Results:\tSarn22\n",
              boxes.last().text);
}

} // namespace
