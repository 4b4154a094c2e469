/* The rules of the preferences and user dialogs that need no window. */
#include "prefs_kit.h"
#include "common/fileutil.h"
#include <climits>

namespace {

struct PortCase { const char *name, *text; int32_t port; BOOL hex; };

TEST(PortText, ReadsAsTypedAndKeepsTheWayItWasWritten)
{
    const PortCase cases[] = {
        { "hexadecimal",                    "0x1F90",       8080,      TRUE  },
        { "hexadecimal, lower case",        "0X1f90",       8080,      TRUE  },
        { "decimal",                        "8080",         8080,      FALSE },
        { "blanks before, text after",      "  42 tcp",     42,        FALSE },
        { "0x without digits is a zero",    "0x",           0,         FALSE },
        { "0x and no hex digit",            "0xZ1",         0,         FALSE },
        { "no digit first",                 "abc",          -1,        TRUE  },   /* the flag stays */
        { "empty",                          "",             -1,        TRUE  },
        { "a sign is no digit",             "-5",           -1,        TRUE  },
        { "beyond 32 bits, decimal",        "99999999999",  INT32_MAX, FALSE },
        { "beyond 32 bits, hexadecimal",    "0xFFFFFFFFFF", INT32_MAX, TRUE  },
    };
    for (const PortCase &c : cases) {
        SCOPED_TRACE(c.name);
        int32_t port = 1234;
        BOOL hex = TRUE;                      /* as a field that held 0x... before */
        Read_PortText(c.text, &port, &hex);
        EXPECT_EQ(c.port, port);
        EXPECT_EQ(c.hex, hex);
    }
    char out[32];
    Format_PortText(8080, TRUE, out, sizeof out);
    EXPECT_STREQ("0x1F90", out);
    Format_PortText(8080, FALSE, out, sizeof out);
    EXPECT_STREQ("8080", out);
    Format_PortText(-1, TRUE, out, sizeof out);
    EXPECT_STREQ("", out);
}

TEST(AppPath, BrowseStartsFromTheBarePathAndPutsTheChoiceInQuotes)
{
    const struct { const char *text, *bare; } bare[] = {
        { "\"C:\\Plate Tools\\Find Plate.exe\" -id", "C:\\Plate Tools\\Find Plate.exe" },
        { "  \"C:\\Plate Tools\\Find", "C:\\Plate Tools\\Find" },            /* no closing quote */
        { "C:\\Tools\\find.exe -id 5", "C:\\Tools\\find.exe" },               /* cut at the first blank */
        { "   C:\\Tools\\find.exe", "C:\\Tools\\find.exe" },
        { "", "" },
    };
    for (const auto &c : bare) {
        SCOPED_TRACE(c.text);
        char out[PATH_LEN];
        Bare_AppPath(c.text, out, sizeof out);
        EXPECT_STREQ(c.bare, out);
    }
    char out[PLATE_APP_LEN];
    EXPECT_TRUE(Quote_AppPath("C:\\Apps\\Find It.exe", out, sizeof out));
    EXPECT_STREQ("\"C:\\Apps\\Find It.exe\"", out);
    EXPECT_TRUE(Quote_AppPath("  \"C:\\Apps\\x.exe\" -q", out, sizeof out));
    EXPECT_STREQ("\"C:\\Apps\\x.exe\"", out);
    /* the longest path the chooser gives still fits with its quotes */
    std::string longest = "C:\\" + std::string(257, 'p');
    EXPECT_TRUE(Quote_AppPath(longest.c_str(), out, sizeof out));
    EXPECT_EQ("\"" + longest + "\"", std::string(out));
    EXPECT_FALSE(Quote_AppPath((longest + "p").c_str(), out, sizeof out));

    EXPECT_TRUE(AppPath_Fits(std::string(260, 'p').c_str()));
    EXPECT_FALSE(AppPath_Fits(std::string(261, 'p').c_str()));
    EXPECT_TRUE(AppPath_Fits(("\"" + std::string(260, 'p') + "\"").c_str()));
    EXPECT_FALSE(AppPath_Fits(("\"" + std::string(261, 'p') + "\"").c_str()));
}

TEST(Masks, DescriptionNamesThePresetThatMatches)
{
    EXPECT_EQ(1, Match_MaskPreset("1>011.tif", "0>100.TIF", -1));
    EXPECT_EQ(0, Match_MaskPreset("01>011.TIF", "00>100.TIF", 1));
    EXPECT_EQ(-1, Match_MaskPreset("01>011.TIF", "0>100.TIF", 0));
    EXPECT_EQ(-1, Match_MaskPreset("", "", 5));
    char text[300];
    Mask_Description(1, text, sizeof text);
    EXPECT_STREQ("My separation files are created and named automatically by Varro RIP (V4.1 or V5.0 without sep numbers).",
                 text);
    Mask_Description(-1, text, sizeof text);
    EXPECT_STREQ("I have defined my own string masks for extracting the job name and separation colour from a "
                 "separation's filename.",
                 text);
}

TEST(Masks, ChecksStopAtTheFirstProblem)
{
    const char *shortJob = "The Job name mask is less than 3 characters long. Custom configured masks should be a "
                           "minimum of 3 characters.";
    const char *longJob = "The Job name mask is longer than 64 characters. String masks are limited to 64 characters.";
    const char *shortColour = "The colour info mask is less than 3 characters long. Custom configured masks should be "
                              "a minimum of 3 characters.";
    const char *longColour = "The colour info mask is longer than 64 characters. String masks are limited to 64 "
                             "characters.";
    const struct { const char *name, *group, *sepId; BOOL typed; int groupLen, sepIdLen; const char *problem; int field; } cases[] = {
        { "good",                       "1>011.TIF", "0>100.TIF", TRUE, 9, 9, nullptr, 0 },
        { "three characters are enough", "1>0", "0>1", TRUE, 3, 3, nullptr, 0 },
        { "short job name mask",        "ab", "0>100.TIF", TRUE, 2, 9, shortJob, MASK_FIELD_GROUP },
        { "both short: job name first", "ab", "x", TRUE, 2, 1, shortJob, MASK_FIELD_GROUP },
        { "job name mask typed long",   "1>011.TIF", "0>100.TIF", TRUE, 65, 9, longJob, MASK_FIELD_GROUP },
        { "64 typed is the most",       "1>011.TIF", "0>100.TIF", TRUE, 64, 64, nullptr, 0 },
        { "short colour mask",          "1>011.TIF", "x", TRUE, 9, 1, shortColour, MASK_FIELD_SEPID },
        { "colour mask typed long",     "1>011.TIF", "0>100.TIF", TRUE, 9, 300, longColour, MASK_FIELD_SEPID },
        { "a preset's masks: the fields' lengths do not count", "1>011.TIF", "0>100.TIF", FALSE, 70, 70, nullptr, 0 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        int field = -1;
        const char *problem = Check_Masks(c.group, c.sepId, c.typed, c.groupLen, c.sepIdLen, &field);
        EXPECT_STREQ(c.problem, problem);
        if (c.problem != nullptr) {
            EXPECT_EQ(c.field, field);
        }
    }
}

struct FilterCase { const char *name, *typed; int start, end; const char *kept; int keptStart, keptEnd; };

TEST(UserText, OnlyLettersAndDigitsStayAndTheCaretStaysWithThem)
{
    const FilterCase cases[] = {
        { "typed a, blank, b, hyphen, c", "a b-c", 5, 5, "abc", 3, 3 },
        { "caret inside",                  "ab c-d", 3, 3, "abcd", 2, 2 },
        { "selection across a removal",    "a-b-c", 1, 4, "abc", 1, 2 },
        { "nothing to remove",             "Anna7", 2, 4, "Anna7", 2, 4 },
        { "only blanks",                   "   ", 3, 3, "", 0, 0 },
        { "letters of the code page stay", "J\xF6rg", 4, 4, "J\xF6rg", 4, 4 },
        { "punctuation and control",       "x!\t@y", 5, 5, "xy", 2, 2 },
    };
    for (const FilterCase &c : cases) {
        SCOPED_TRACE(c.name);
        char text[64];
        Copy_Field(text, c.typed);
        int start = c.start, end = c.end;
        int removed = Filter_UserText(text, &start, &end);
        EXPECT_STREQ(c.kept, text);
        EXPECT_EQ((int)strlen(c.typed) - (int)strlen(c.kept), removed);
        EXPECT_EQ(c.keptStart, start);
        EXPECT_EQ(c.keptEnd, end);
    }
}

class UserRules : public pk::Home {};

TEST_F(UserRules, AUserNeedsANameOfItsOwnAndAConfirmedPassword)
{
    ASSERT_TRUE(Add_User("anna", "1"));
    ASSERT_TRUE(Add_User("Bert", "2"));
    const struct { const char *name, *user, *password, *confirm; int editing; const char *problem; int field; } cases[] = {
        { "new user",                         "carl", "pw", "pw", -1, nullptr, 0 },
        { "empty password is fine",           "carl", "", "", -1, nullptr, 0 },
        { "no name",                          "", "pw", "pw", -1, "Please enter a username", USER_FIELD_NAME },
        { "name taken, other case",           "BERT", "pw", "pw", -1, "The username already exists", USER_FIELD_NAME },
        { "editing keeps its own name",       "bert", "pw", "pw", 1, nullptr, 0 },
        { "editing into another's name",      "Anna", "pw", "pw", 1, "The username already exists", USER_FIELD_NAME },
        { "confirmation differs",             "carl", "pw", "pW", -1, "The confirmation doesn't match the password",
          USER_FIELD_PASSWORD },
        { "the name is checked first",        "", "pw", "x", -1, "Please enter a username", USER_FIELD_NAME },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        int field = -1;
        EXPECT_STREQ(c.problem, Check_UserEntry(c.user, c.password, c.confirm, c.editing, &field));
        if (c.problem != nullptr) {
            EXPECT_EQ(c.field, field);
        }
    }
}

/* ---- laying an edit over the file ---- */

class PrefsMerge : public pk::Home {};

TEST_F(PrefsMerge, OnlyWhatTheOperatorChangedIsLaidOverTheFileAsItIsNow)
{
    Have_Prefs(pk::Every_Preference());
    PREFS_EDIT opened, work;
    Take_PrefsEdit(&opened);
    work = opened;
    work.g.SPOOLER_FILE_SETTLE_TIME = 45;                   /* changed by the operator */
    work.g.SPOOLER_MIN_LOGSIZE = 400;                       /* one of the two log sizes */
    Copy_Field(work.plateApp, "C:\\New\\find.exe");

    /* meanwhile another program changed the file */
    std::string other = pk::With_Line(pk::Every_Preference(), "SPOOLER_FILE_SETTLE_TIME", "SPOOLER_FILE_SETTLE_TIME 99");
    other = pk::With_Line(other, "SPOOLER_MAX_LOGSIZE", "SPOOLER_MAX_LOGSIZE  9000");
    other = pk::With_Line(other, "SPOOLER_MAX_HIST_RECORDS", "SPOOLER_MAX_HIST_RECORDS  777");
    other = pk::With_Line(other, "SPOOLER_LOGFILE_ADDRESS", "SPOOLER_LOGFILE_ADDRESS night@example");
    tk::Write_File(prefs, tk::Crlf(other));
    char path[PATH_LEN];
    ASSERT_TRUE(Reload_Preferences(path, sizeof path));
    Merge_PrefsEdit(&opened, &work);

    EXPECT_EQ(45, SpoolerGlobals.SPOOLER_FILE_SETTLE_TIME) << "the operator's change wins";
    EXPECT_EQ(5000, SpoolerGlobals.SPOOLER_MAX_LOGSIZE) << "the two log sizes go together";
    EXPECT_EQ(400, SpoolerGlobals.SPOOLER_MIN_LOGSIZE);
    EXPECT_EQ(777, SpoolerGlobals.SPOOLER_MAX_HIST_RECORDS) << "no control: the file's value";
    EXPECT_STREQ("night@example", SpoolerGlobals.SPOOLER_LOGFILE_ADDRESS) << "untouched field: the file's value";
    EXPECT_STREQ("C:\\New\\find.exe", PLATE_SEARCH_APP);
    EXPECT_EQ(8080, SpoolerGlobals.COMMS_SERVER_PORT);
    EXPECT_TRUE(SpoolerGlobals.portIsHex);
}

TEST_F(PrefsMerge, AnEditThatChangedNothingLeavesTheRecordAsRead)
{
    Have_Prefs(pk::Every_Preference());
    pk::Snapshot before = pk::Snapshot::Take();
    PREFS_EDIT opened, work;
    Take_PrefsEdit(&opened);
    work = opened;
    /* bytes behind a text's end are no change */
    memset(work.g.SPOOLER_LOGFILE_ADDRESS + strlen(work.g.SPOOLER_LOGFILE_ADDRESS) + 1, 'x', 5);
    Merge_PrefsEdit(&opened, &work);
    EXPECT_TRUE(before == pk::Snapshot::Take());
}

TEST_F(PrefsMerge, ReadingAgainKeepsALoginSwitchNotYetStored)
{
    Have_Prefs(pk::Every_Preference());                     /* REQUIRE_LOGIN TRUE */
    char path[PATH_LEN];
    REQUIRE_LOGIN = FALSE;
    Note_LoginSwitch(FALSE);                                /* as the Administration dialog does */
    ASSERT_TRUE(Reload_Preferences(path, sizeof path));
    EXPECT_FALSE(REQUIRE_LOGIN);
    Forget_LoginSwitch();                                   /* once a file holds it */
    ASSERT_TRUE(Reload_Preferences(path, sizeof path));
    EXPECT_TRUE(REQUIRE_LOGIN);
}

TEST_F(PrefsMerge, AFileThatIsThereButCannotBeReadIsTold)
{
    char path[PATH_LEN];
    EXPECT_TRUE(Reload_Preferences(path, sizeof path)) << "no file at all";
    Have_Prefs(pk::Every_Preference());
    Set_ReplaceRetryTime(50);
    HANDLE held = CreateFileA(prefs.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_FALSE(Reload_Preferences(path, sizeof path));
    CloseHandle(held);
    Set_ReplaceRetryTime(REPLACE_RETRY_MS);
    EXPECT_EQ(prefs, std::string(path));
}

TEST_F(PrefsMerge, AHomeWhoseFilePathDoesNotFitIsAFailure)
{
    /* "\Spooler.cfg" would still fit behind this home, "\Preferences.cfg" no longer */
    const char *const ownHome = homeDir;
    for (size_t len : { PATH_LEN - 1 - strlen("\\Preferences.cfg") + 1, (size_t)PATH_LEN - 1 }) {
        SCOPED_TRACE(len);
        std::string home = "C:\\" + std::string(len - 3, 'h');
        homeDir = home.c_str();
        char path[PATH_LEN] = "stale";
        EXPECT_FALSE(Reload_Preferences(path, sizeof path)) << "whether a file is there cannot be known";
        EXPECT_EQ(home, std::string(path)) << "the message names the home directory";
        homeDir = ownHome;
    }
}

} // namespace
