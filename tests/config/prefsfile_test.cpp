/* The spooler preferences file: reading with its defaults and clamps, writing byte for byte,
   and the matching of the job-name masks to the RIP presets. */
#include "support/testkit.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "config/prefsfile.h"
#include "config/storefile.h"

using tk::Crlf;
using tk::Read_File;
using tk::Write_File;

class PrefsFile : public tk::HomeTest {
protected:
    std::string prefs, older;

    void SetUp() override
    {
        tk::HomeTest::SetUp();
        prefs = home / "Preferences.cfg";
        older = home / "Spooler.cfg";
    }

    /* Reads a file holding the given lines (CR LF), starting from the defaults. */
    BOOL Read_Lines(const std::string &lfText)
    {
        Write_File(prefs, Crlf(lfText));
        return Get_SpoolerGlobals();
    }
    /* The file as written, with LF line ends for comparing with a text. */
    std::string Written()
    {
        Store_SpoolerGlobals();
        std::string s = Read_File(prefs);
        std::string lf;
        for (size_t i = 0; i < s.size(); i++)
            if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) lf += s[i];
        return lf;
    }
    static bool Has_Line(const std::string &text, const std::string &line)
    {
        return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
    }
};

TEST_F(PrefsFile, WithoutAFileTheDefaultsAreWrittenInTheFixedLayout)
{
    EXPECT_FALSE(Get_SpoolerGlobals());
    EXPECT_EQ(15, SpoolerGlobals.SPOOLER_FILE_SETTLE_TIME);
    EXPECT_EQ(-1, SpoolerGlobals.COMMS_SERVER_PORT);
    EXPECT_EQ(0, SpoolerGlobals.RIPIndex);
    EXPECT_STREQ("01>011.TIF", SpoolerGlobals.SPOOLER_JOBNAME_GROUPMASK);

    Store_SpoolerGlobals();

    EXPECT_EQ(Crlf(Read_File(tk::Fixture("prefs/defaults_written.cfg"))), Read_File(prefs));
}

TEST_F(PrefsFile, AFileTheEditorWroteIsWrittenBackUnchanged)
{
    /* The demo installation's file, as laid out (CR LF, the home path in place of @HOME@) */
    std::string demo = Crlf(Read_File(tk::Source_Path("demo\\Preferences.cfg")));
    demo.replace(demo.find("@HOME@"), 6, home.home());
    Write_File(prefs, demo);

    EXPECT_TRUE(Get_SpoolerGlobals());
    EXPECT_EQ(1, SpoolerGlobals.RIPIndex);
    EXPECT_EQ(8080, SpoolerGlobals.COMMS_SERVER_PORT);
    Store_SpoolerGlobals();

    EXPECT_EQ(demo, Read_File(prefs));
}

struct ClampCase { const char *name, *file; int settle, maxLog, minLog, maxHist, trunc; };
static const ClampCase k_Clamps[] = {
    { "settle time above 1200", "SPOOLER_FILE_SETTLE_TIME 5000\n", 1200, 1000, 100, 5000, 7200 },
    { "settle time below 0", "SPOOLER_FILE_SETTLE_TIME -3\n", 0, 1000, 100, 5000, 7200 },
    { "settle time without a number keeps its value", "SPOOLER_FILE_SETTLE_TIME soon\n", 15, 1000, 100, 5000, 7200 },
    { "history records", "SPOOLER_MAX_HIST_RECORDS 2000000\n", 15, 1000, 100, 1000000, 7200 },
    { "history records below 1", "SPOOLER_MAX_HIST_RECORDS 0\n", 15, 1000, 100, 1, 7200 },
    { "history period has no limits", "SPOOLER_TRUNC_HIST_EVERY -40\n", 15, 1000, 100, 5000, -40 },
    { "minimum read after a small maximum stays", "SPOOLER_MAX_LOGSIZE 20\nSPOOLER_MIN_LOGSIZE 500\n", 15, 20, 500,
      5000, 7200 },
    { "minimum read before the maximum is cut below it", "SPOOLER_MIN_LOGSIZE 500\nSPOOLER_MAX_LOGSIZE 20\n", 15, 20,
      19, 5000, 7200 },
    { "a maximum of 1 leaves a minimum of 1 and is brought to 10 at the end", "SPOOLER_MAX_LOGSIZE 1\n", 15, 10, 1,
      5000, 7200 },
    { "reading the minimum brings the maximum into range", "SPOOLER_MAX_LOGSIZE 5\nSPOOLER_MIN_LOGSIZE 2\n", 15, 10, 2,
      5000, 7200 },
    { "a huge maximum", "SPOOLER_MAX_LOGSIZE 9000000\nSPOOLER_MIN_LOGSIZE 10\n", 15, 1000000, 10, 5000, 7200 },
    /* the edges themselves */
    { "a minimum equal to the maximum goes one below it", "SPOOLER_MIN_LOGSIZE 500\nSPOOLER_MAX_LOGSIZE 500\n", 15,
      500, 499, 5000, 7200 },
    { "a minimum one below the maximum stays", "SPOOLER_MIN_LOGSIZE 499\nSPOOLER_MAX_LOGSIZE 500\n", 15, 500, 499,
      5000, 7200 },
    { "the smallest maximum and minimum", "SPOOLER_MAX_LOGSIZE 10\nSPOOLER_MIN_LOGSIZE 1\n", 15, 10, 1, 5000, 7200 },
    { "the largest maximum", "SPOOLER_MAX_LOGSIZE 1000000\nSPOOLER_MIN_LOGSIZE 999999\n", 15, 1000000, 999999, 5000,
      7200 },
    { "a minimum of 0 read before the maximum becomes 1", "SPOOLER_MIN_LOGSIZE 0\nSPOOLER_MAX_LOGSIZE 500\n", 15, 500,
      1, 5000, 7200 },
    { "settle time at its edges", "SPOOLER_FILE_SETTLE_TIME 1200\n", 1200, 1000, 100, 5000, 7200 },
    { "settle time of 0", "SPOOLER_FILE_SETTLE_TIME 0\n", 0, 1000, 100, 5000, 7200 },
    { "history records at their edges", "SPOOLER_MAX_HIST_RECORDS 1000000\n", 15, 1000, 100, 1000000, 7200 },
    { "history records of 1", "SPOOLER_MAX_HIST_RECORDS 1\n", 15, 1000, 100, 1, 7200 },
};

TEST_F(PrefsFile, NumbersOutOfRangeAreClampedOnReading)
{
    for (const ClampCase &c : k_Clamps) {
        SCOPED_TRACE(c.name);
        Reset_SpoolerGlobalsForTest();
        ASSERT_TRUE(Read_Lines(c.file));
        EXPECT_EQ(c.settle, SpoolerGlobals.SPOOLER_FILE_SETTLE_TIME);
        EXPECT_EQ(c.maxLog, SpoolerGlobals.SPOOLER_MAX_LOGSIZE);
        EXPECT_EQ(c.minLog, SpoolerGlobals.SPOOLER_MIN_LOGSIZE);
        EXPECT_EQ(c.maxHist, SpoolerGlobals.SPOOLER_MAX_HIST_RECORDS);
        EXPECT_EQ(c.trunc, SpoolerGlobals.SPOOLER_TRUNC_HIST_EVERY);
    }
}

struct PortCase { const char *name, *value; int port; BOOL hex; const char *line; };
static const PortCase k_Ports[] = {
    { "hexadecimal", "0x1F90", 8080, TRUE, "COMMS_SERVER_PORT 0x1F90" },
    { "hexadecimal in small letters", "0x1f90", 8080, TRUE, "COMMS_SERVER_PORT 0x1F90" },
    { "decimal", "8080", 8080, FALSE, "COMMS_SERVER_PORT 8080" },
    { "zero", "0", 0, FALSE, "COMMS_SERVER_PORT 0" },
    { "none", "none", -1, FALSE, nullptr },
    { "negative", "-5", -5, FALSE, nullptr },
    { "no value", "", -1, FALSE, nullptr },
};

TEST_F(PrefsFile, TheCommsServerPortKeepsTheWayItWasWritten)
{
    for (const PortCase &c : k_Ports) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Read_Lines(std::string("COMMS_SERVER_PORT ") + c.value + "\n"));
        EXPECT_EQ(c.port, SpoolerGlobals.COMMS_SERVER_PORT);
        EXPECT_EQ(c.hex, SpoolerGlobals.portIsHex);
        std::string text = Written();
        if (c.line) {
            EXPECT_TRUE(Has_Line(text, c.line)) << text;
            EXPECT_EQ(std::string(c.line) + "\n\n# Comms server port to publish.\n\n",
                      text.substr(text.size() - strlen(c.line) - 35));
        } else {
            EXPECT_EQ(std::string::npos, text.find("COMMS_SERVER_PORT"));
            EXPECT_EQ(std::string::npos, text.find("# Comms server port to publish."));
        }
    }
}

TEST_F(PrefsFile, EveryReadStartsWithoutAPortAndAPlateSearchApplication)
{
    ASSERT_TRUE(Read_Lines("COMMS_SERVER_PORT 9100\nPLATE_SEARCH_APP C:\\Tools\\Find.exe\nSPOOLER_PIM TRUE\n"));
    ASSERT_TRUE(Read_Lines("SPOOLER_FILE_SETTLE_TIME 30\n"));
    EXPECT_EQ(-1, SpoolerGlobals.COMMS_SERVER_PORT);
    EXPECT_STREQ("", PLATE_SEARCH_APP);
    EXPECT_TRUE(SpoolerGlobals.SPOOLER_PIM) << "a key missing from the file keeps the value in memory";
    EXPECT_EQ(30, SpoolerGlobals.SPOOLER_FILE_SETTLE_TIME);
}

struct BoolCase { const char *value; BOOL want; };
static const BoolCase k_Bools[] = {
    { "TRUE", TRUE }, { "true", TRUE }, { "True", TRUE }, { "FALSE", FALSE }, { "yes", FALSE }, { "1", FALSE },
    { "", FALSE },
};

TEST_F(PrefsFile, OnlyTheWordTrueInAnyCaseIsTrue)
{
    for (const BoolCase &c : k_Bools) {
        SCOPED_TRACE(c.value);
        ASSERT_TRUE(Read_Lines(std::string("REQUIRE_LOGIN ") + c.value + "\nSPOOLER_DRAW_WHOLE_IMAGES_ONLY " + c.value +
                               "\nHONOUR_SUBDIRS " + c.value + "\n"));
        EXPECT_EQ(c.want, REQUIRE_LOGIN);
        EXPECT_EQ(c.want, (BOOL)SpoolerGlobals.SPOOLER_DRAW_WHOLE_IMAGES_ONLY);
        EXPECT_EQ(c.want, SpoolerGlobals.HONOUR_SUBDIRS);
        EXPECT_TRUE(Has_Line(Written(), std::string("REQUIRE_LOGIN ") + (c.want ? "TRUE" : "FALSE")));
    }
}

TEST_F(PrefsFile, ThePlateSearchApplicationIsWrittenInQuotes)
{
    struct { const char *name, *value, *held, *line; } cases[] = {
        { "read without quotes", "C:\\Plate Tools\\Find.exe", "\"C:\\Plate Tools\\Find.exe\"",
          "PLATE_SEARCH_APP \"C:\\Plate Tools\\Find.exe\"" },
        { "read in quotes", "\"C:\\Tools\\Find.exe\" -id", "\"C:\\Tools\\Find.exe\" -id",
          "PLATE_SEARCH_APP \"C:\\Tools\\Find.exe\" -id" },
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Read_Lines(std::string("PLATE_SEARCH_APP ") + c.value + "\n"));
        EXPECT_STREQ(c.held, PLATE_SEARCH_APP);
        std::string text = Written();
        EXPECT_TRUE(Has_Line(text, c.line)) << text;
        EXPECT_NE(std::string::npos,
                  text.find(std::string(c.line) + "\n\n# Path of application that searches for plates when given a "
                                                  "plate ID\n\n\nREQUIRE_LOGIN "));
    }
    /* as the preferences dialog stores it: typed, without quotes */
    Copy_Field(PLATE_SEARCH_APP, "D:\\Find.exe");
    EXPECT_TRUE(Has_Line(Written(), "PLATE_SEARCH_APP \"D:\\Find.exe\""));
    /* none: no line and no comment */
    PLATE_SEARCH_APP[0] = '\0';
    EXPECT_EQ(std::string::npos, Written().find("PLATE_SEARCH_APP"));
}

TEST_F(PrefsFile, ValuesAreTakenAsTheyStand)
{
    std::string address(259, 'a');
    address.replace(0, 24, "ops@x.example; 100% sure");
    ASSERT_TRUE(Read_Lines("# SPOOLER_PIM TRUE\n"
                           "spooler_pim TRUE\n"
                           "UNKNOWN_KEY 12\n"
                           "   SPOOLER_JOBNAME_GROUPMASK \t 1>011.TIF\n"
                           "SPOOLER_LOGFILE_ADDRESS " + address + "\n"
                           "SPOOLER_JOBNAME_SEPIDMASK 0>100.TIF"));          /* no line end at the end */
    EXPECT_FALSE(SpoolerGlobals.SPOOLER_PIM) << "comments and keys in the wrong case are ignored";
    EXPECT_STREQ(address.c_str(), SpoolerGlobals.SPOOLER_LOGFILE_ADDRESS) << "a long list is not cut";
    EXPECT_STREQ("1>011.TIF", SpoolerGlobals.SPOOLER_JOBNAME_GROUPMASK);
    EXPECT_STREQ("0>100.TIF", SpoolerGlobals.SPOOLER_JOBNAME_SEPIDMASK);
    std::string text = Written();
    EXPECT_TRUE(Has_Line(text, "SPOOLER_LOGFILE_ADDRESS " + address));
    EXPECT_EQ(std::string::npos, text.find("UNKNOWN_KEY"));
}

TEST_F(PrefsFile, MasksAreMatchedToTheRipPresets)
{
    struct { const char *group, *sep; int want; } cases[] = {
        { "01>011.TIF", "00>100.TIF", 0 },
        { "1>011.TIF", "0>100.TIF", 1 },
        { "1>011.tif", "0>100.Tif", 1 },
        { "1>011.TIF", "00>100.TIF", -1 },
        { "2>011.TIF", "0>100.TIF", -1 },
    };
    for (auto &c : cases) {
        SCOPED_TRACE(std::string(c.group) + " " + c.sep);
        ASSERT_TRUE(Read_Lines(std::string("SPOOLER_JOBNAME_GROUPMASK ") + c.group + "\nSPOOLER_JOBNAME_SEPIDMASK " +
                               c.sep + "\n"));
        EXPECT_EQ(c.want, SpoolerGlobals.RIPIndex);
    }
    Copy_Field(SpoolerGlobals.SPOOLER_JOBNAME_GROUPMASK, "01>011.TIF");
    Copy_Field(SpoolerGlobals.SPOOLER_JOBNAME_SEPIDMASK, "00>100.TIF");
    Match_RIPPreset();
    EXPECT_EQ(0, SpoolerGlobals.RIPIndex);
    EXPECT_STREQ("Varro RIP (V4.5 or V5.0 with sep numbers)", RIPPresets[0].name);
    EXPECT_STREQ("Varro RIP (V4.1 or V5.0 without sep numbers)", RIPPresets[1].name);
}

TEST_F(PrefsFile, TheOlderFileIsReadButNeverWritten)
{
    const std::string old = Crlf("SPOOLER_FILE_SETTLE_TIME 45\nSHOW_COMMS_SERVER TRUE\n");
    Write_File(older, old);
    EXPECT_TRUE(Get_SpoolerGlobals());
    EXPECT_EQ(45, SpoolerGlobals.SPOOLER_FILE_SETTLE_TIME);
    EXPECT_TRUE(SpoolerGlobals.SHOW_COMMS_SERVER);

    Store_SpoolerGlobals();
    EXPECT_EQ(old, Read_File(older));
    EXPECT_TRUE(Has_Line(Written(), "SPOOLER_FILE_SETTLE_TIME 45"));

    /* once the current file exists, the older one is no longer read */
    Write_File(older, Crlf("SPOOLER_FILE_SETTLE_TIME 99\n"));
    EXPECT_TRUE(Get_SpoolerGlobals());
    EXPECT_EQ(45, SpoolerGlobals.SPOOLER_FILE_SETTLE_TIME);
}

TEST_F(PrefsFile, AFileThatCannotBeWrittenIsReportedAndKept)
{
    const std::string before = Crlf("SPOOLER_FILE_SETTLE_TIME 45\n");
    Write_File(prefs, before);
    ASSERT_TRUE(Get_SpoolerGlobals());
    SpoolerGlobals.SPOOLER_FILE_SETTLE_TIME = 60;
    Set_ReplaceRetryTime(100);
    int failures = storeFailures;
    tk::MsgRecorder boxes;
    {
        HANDLE held = CreateFileA(prefs.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        Store_SpoolerGlobals();
        CloseHandle(held);
    }
    ASSERT_EQ(1u, boxes.count());
    const std::string want = "Could not open the global data file for writing. Data will not be saved.\r\n\"" + prefs +
                             "\"\r\n\r\nError: ";
    EXPECT_EQ(want, boxes.last().text.substr(0, want.size()));
    EXPECT_EQ("Editor", boxes.last().caption);
    EXPECT_EQ(before, Read_File(prefs));
    EXPECT_EQ(failures + 1, storeFailures);
    EXPECT_EQ(std::vector<std::string>({ "Preferences.cfg", "System" }), tk::List_Dir(home.home()));
}
