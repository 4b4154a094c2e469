/* General Preferences, driven in this process as an operator would: what it shows, what OK
   writes (byte for byte), what it refuses, and what it does when the file cannot be written or
   was changed while it was open. */
#include "prefs_kit.h"
#include "prefs/globals.h"
#include "common/fileutil.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <functional>

namespace {

const char k_Caption[] = "General Preferences";

class Globals : public pk::Home {
protected:
    /* Opens the dialog with the steps given; TRUE when it closed with the file written. */
    bool Run(dk::Script &s) { return s.Run([] { return (INT_PTR)Edit_Globals(NULL); }) != 0; }
    /* The file as the dialog should leave it: the fixture with one line changed (CR LF). */
    static std::string Expected(const std::string &key, const std::string &line)
    {
        return tk::Crlf(pk::With_Line(pk::Every_Preference(), key, line));
    }
};

TEST_F(Globals, OpensOnTheFileAsItIsNow)
{
    Have_Prefs(pk::Every_Preference());
    /* memory went its own way since the start-up: the dialog shows the file */
    SpoolerGlobals.SPOOLER_FILE_SETTLE_TIME = 99;
    Copy_Field(SpoolerGlobals.SPOOLER_LOGFILE_ADDRESS, "old@example");
    dk::Script s;
    s.On(k_Caption, [](HWND d) {
        EXPECT_EQ("20", dk::Text(d, IDC_GP_SETTLE));
        EXPECT_EQ("5000", dk::Text(d, IDC_GP_MAXLOG));
        EXPECT_EQ("500", dk::Text(d, IDC_GP_MINLOG));
        EXPECT_EQ("prepress@printshop.example;nightshift@printshop.example", dk::Text(d, IDC_GP_MAILTO));
        EXPECT_EQ("My separation files are created and named automatically by Varro RIP (V4.1 or V5.0 without sep "
                  "numbers).",
                  dk::Text(d, IDC_GP_MASKS_TEXT));
        EXPECT_EQ("\"C:\\Plate Tools\\Find Plate.exe\" -id", dk::Text(d, IDC_GP_PLATE_APP));
        EXPECT_TRUE(dk::Checked(d, IDC_GP_HONOUR));
        EXPECT_EQ("0x1F90", dk::Text(d, IDC_GP_PORT));
        EXPECT_EQ(GetDlgItem(d, IDC_GP_SETTLE), GetFocus()) << "the settle time has the focus";
        int low = 0, high = 0;
        SendDlgItemMessageA(d, IDC_GP_SETTLE_SPIN, UDM_GETRANGE32, (WPARAM)&low, (LPARAM)&high);
        EXPECT_EQ(1, low);
        EXPECT_EQ(1200, high);
        EXPECT_EQ((LRESULT)GetDlgItem(d, IDC_GP_SETTLE), SendDlgItemMessageA(d, IDC_GP_SETTLE_SPIN, UDM_GETBUDDY, 0, 0));
        pk::Shot(d, "general_preferences");
        dk::Click(d, IDCANCEL);
    });
    EXPECT_FALSE(Run(s));
    EXPECT_EQ(tk::Crlf(pk::Every_Preference()), Prefs_On_Disk());
}

TEST_F(Globals, WithoutAFileItShowsTheDefaultsAndOkWritesThem)
{
    dk::Script s;
    s.On(k_Caption, [](HWND d) {
        EXPECT_EQ("15", dk::Text(d, IDC_GP_SETTLE));
        EXPECT_EQ("", dk::Text(d, IDC_GP_PORT));
        EXPECT_EQ("My separation files are created and named automatically by Varro RIP (V4.5 or V5.0 with sep "
                  "numbers).",
                  dk::Text(d, IDC_GP_MASKS_TEXT));
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(Run(s));
    EXPECT_EQ(tk::Crlf(tk::Read_File(tk::Fixture("prefs/defaults_written.cfg"))), Prefs_On_Disk());
}

struct EditCase {
    const char *name;
    std::function<void(HWND)> act;
    const char *key, *line;                  /* the line OK changes; "" when it leaves it out */
};

/* Each control changes exactly its own line of the file; every other preference, with a control
   or without, is written as it was read. */
TEST_F(Globals, EachControlChangesExactlyItsOwnLine)
{
    const EditCase cases[] = {
        { "untouched", [](HWND) {}, "SPOOLER_FILE_SETTLE_TIME", "SPOOLER_FILE_SETTLE_TIME 20" },
        { "settle time", [](HWND d) { dk::Type(d, IDC_GP_SETTLE, "45"); }, "SPOOLER_FILE_SETTLE_TIME",
          "SPOOLER_FILE_SETTLE_TIME 45" },
        { "settle time with leading zeros", [](HWND d) { dk::Type(d, IDC_GP_SETTLE, "0045"); },
          "SPOOLER_FILE_SETTLE_TIME", "SPOOLER_FILE_SETTLE_TIME 45" },
        { "settle time by its arrows", [](HWND d) { dk::Spin(d, IDC_GP_SETTLE_SPIN, 2); }, "SPOOLER_FILE_SETTLE_TIME",
          "SPOOLER_FILE_SETTLE_TIME 22" },
        { "longest settle time", [](HWND d) { dk::Type(d, IDC_GP_SETTLE, "1200"); }, "SPOOLER_FILE_SETTLE_TIME",
          "SPOOLER_FILE_SETTLE_TIME 1200" },
        { "maximum log size", [](HWND d) { dk::Type(d, IDC_GP_MAXLOG, "1000000"); }, "SPOOLER_MAX_LOGSIZE",
          "SPOOLER_MAX_LOGSIZE  1000000" },
        { "minimum log size", [](HWND d) { dk::Type(d, IDC_GP_MINLOG, "4999"); }, "SPOOLER_MIN_LOGSIZE",
          "SPOOLER_MIN_LOGSIZE  4999" },
        { "recipients", [](HWND d) { dk::Type(d, IDC_GP_MAILTO, "ops@example;100%@example"); },
          "SPOOLER_LOGFILE_ADDRESS", "SPOOLER_LOGFILE_ADDRESS ops@example;100%@example" },
        { "no recipients", [](HWND d) { dk::Type(d, IDC_GP_MAILTO, ""); }, "SPOOLER_LOGFILE_ADDRESS",
          "SPOOLER_LOGFILE_ADDRESS " },
        { "honour subdirectories", [](HWND d) { dk::Click(d, IDC_GP_HONOUR); }, "HONOUR_SUBDIRS",
          "HONOUR_SUBDIRS FALSE" },
        { "honour, clicked twice", [](HWND d) { dk::Click(d, IDC_GP_HONOUR); dk::Click(d, IDC_GP_HONOUR); },
          "HONOUR_SUBDIRS", "HONOUR_SUBDIRS TRUE" },
        { "port in decimal", [](HWND d) { dk::Type(d, IDC_GP_PORT, "8080"); }, "COMMS_SERVER_PORT",
          "COMMS_SERVER_PORT 8080" },
        { "port in hexadecimal", [](HWND d) { dk::Type(d, IDC_GP_PORT, " 0x50"); }, "COMMS_SERVER_PORT",
          "COMMS_SERVER_PORT 0x50" },
        { "port as a word: none", [](HWND d) { dk::Type(d, IDC_GP_PORT, "abc"); }, "COMMS_SERVER_PORT", "" },
        { "port cleared: none", [](HWND d) { dk::Type(d, IDC_GP_PORT, ""); }, "COMMS_SERVER_PORT", "" },
        { "search application typed without quotes",
          [](HWND d) { dk::Type(d, IDC_GP_PLATE_APP, "C:\\Tools\\find.exe"); }, "PLATE_SEARCH_APP",
          "PLATE_SEARCH_APP \"C:\\Tools\\find.exe\"" },
        { "no search application", [](HWND d) { dk::Type(d, IDC_GP_PLATE_APP, ""); }, "PLATE_SEARCH_APP", "" },
    };
    for (const EditCase &c : cases) {
        SCOPED_TRACE(c.name);
        Have_Prefs(pk::Every_Preference());
        tk::MsgRecorder boxes;
        dk::Script s;
        s.On(k_Caption, [&](HWND d) {
            c.act(d);
            dk::Click(d, IDOK);
        });
        EXPECT_TRUE(Run(s));
        EXPECT_EQ(0u, boxes.count());
        EXPECT_EQ(Expected(c.key, c.line), Prefs_On_Disk());
    }
}

TEST_F(Globals, CancelAfterChangingEverythingChangesNothing)
{
    Have_Prefs(pk::Every_Preference());
    const std::string before = Prefs_On_Disk();
    const pk::Snapshot memory = pk::Snapshot::Take();
    dk::Script s;
    s.On(k_Caption, [](HWND d) {
        dk::Type(d, IDC_GP_SETTLE, "45");
        dk::Type(d, IDC_GP_MAXLOG, "9000");
        dk::Type(d, IDC_GP_MINLOG, "90");
        dk::Type(d, IDC_GP_MAILTO, "x@example");
        dk::Click(d, IDC_GP_HONOUR);
        dk::Type(d, IDC_GP_PORT, "81");
        dk::Type(d, IDC_GP_PLATE_APP, "C:\\x.exe");
        dk::Click(d, IDC_GP_MASKS_CHANGE);
    });
    s.On("File Naming Convention", [](HWND d) {
        dk::Choose_Index(d, IDC_JN_PRESETS, 0);
        dk::Click(d, IDOK);
    });
    s.On(k_Caption, [](HWND d) {
        EXPECT_NE(std::string::npos, dk::Text(d, IDC_GP_MASKS_TEXT).find("with sep numbers"));
        dk::Click(d, IDCANCEL);
    });
    EXPECT_FALSE(Run(s));
    EXPECT_EQ(before, Prefs_On_Disk());
    EXPECT_TRUE(memory == pk::Snapshot::Take()) << "Cancel leaves the preferences in memory as they were";
    EXPECT_EQ((std::vector<std::string>{ "Preferences.cfg", "System" }), tk::List_Dir(home.home()));
}

TEST_F(Globals, NewMasksFromFileNamingConventionAreDescribedAndWritten)
{
    Have_Prefs(pk::Every_Preference());
    dk::Script s;
    s.On(k_Caption, [](HWND d) { dk::Click(d, IDC_GP_MASKS_CHANGE); });
    s.On("File Naming Convention", [](HWND d) {
        dk::Click(d, IDC_JN_MANUAL);
        dk::Type(d, IDC_JN_GROUPMASK, "11>0.TIF");
        dk::Type(d, IDC_JN_SEPIDMASK, "00>1.TIF");
        dk::Click(d, IDOK);
    });
    s.On(k_Caption, [](HWND d) {
        EXPECT_EQ("I have defined my own string masks for extracting the job name and separation colour from a "
                  "separation's filename.",
                  dk::Text(d, IDC_GP_MASKS_TEXT));
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(Run(s));
    std::string want = pk::With_Line(pk::Every_Preference(), "SPOOLER_JOBNAME_GROUPMASK", "SPOOLER_JOBNAME_GROUPMASK 11>0.TIF");
    want = pk::With_Line(want, "SPOOLER_JOBNAME_SEPIDMASK", "SPOOLER_JOBNAME_SEPIDMASK 00>1.TIF");
    EXPECT_EQ(tk::Crlf(want), Prefs_On_Disk());
    EXPECT_EQ(-1, SpoolerGlobals.RIPIndex);
}

struct RefusalCase {
    const char *name;
    std::function<void(HWND)> act;
    int field;                      /* the field selected for correction */
    const char *text;               /* of the box */
    UINT kind;                      /* MB_YESNO | MB_ICONSTOP: the field validation's question */
};

TEST_F(Globals, BadNumbersAndTextsAreRefusedAndTheDialogStaysOpen)
{
    const std::string longPath(261, 'p');
    const RefusalCase cases[] = {
        { "settle time 0", [](HWND d) { dk::Type(d, IDC_GP_SETTLE, "0"); }, IDC_GP_SETTLE,
          "A number entered is out of range.\r\nMaximum = 1200, Minimum = 1\r\nContinue and ignore changes?",
          MB_YESNO | MB_ICONSTOP },
        { "settle time pasted as text", [](HWND d) { SetDlgItemTextA(d, IDC_GP_SETTLE, "soon"); }, IDC_GP_SETTLE,
          "A number entered is invalid.\r\nContinue and ignore changes?", MB_YESNO | MB_ICONSTOP },
        { "maximum log size below 10", [](HWND d) { dk::Type(d, IDC_GP_MAXLOG, "5"); }, IDC_GP_MAXLOG,
          "A number entered is out of range.\r\nMaximum = 1000000, Minimum = 10\r\nContinue and ignore changes?",
          MB_YESNO | MB_ICONSTOP },
        { "minimum not below the maximum",
          [](HWND d) {
              dk::Type(d, IDC_GP_MAXLOG, "50");
              dk::Type(d, IDC_GP_MINLOG, "50");
          },
          IDC_GP_MINLOG, "A number entered is out of range.\r\nMaximum = 49, Minimum = 1\r\nContinue and ignore changes?",
          MB_YESNO | MB_ICONSTOP },
        { "port no port can have", [](HWND d) { dk::Type(d, IDC_GP_PORT, "0x10000"); }, IDC_GP_PORT,
          "A number entered is out of range.\r\nMaximum = 65535, Minimum = 0\r\nContinue and ignore changes?",
          MB_YESNO | MB_ICONSTOP },
        { "search application path too long",
          [&](HWND d) { SetDlgItemTextA(d, IDC_GP_PLATE_APP, longPath.c_str()); }, IDC_GP_PLATE_APP,
          "This text is too long: the field holds at most 260 characters.", MB_OK | MB_ICONINFORMATION },
    };
    for (const RefusalCase &c : cases) {
        SCOPED_TRACE(c.name);
        Have_Prefs(pk::Every_Preference());
        const std::string before = Prefs_On_Disk();
        tk::MsgRecorder boxes({ IDNO });
        dk::Script s;
        s.On(k_Caption, [&](HWND d) {
            c.act(d);
            std::string typed = dk::Text(d, c.field);
            dk::Click(d, IDOK);
            ASSERT_EQ(1u, boxes.count());
            EXPECT_EQ(c.text, boxes.last().text);
            EXPECT_EQ("Editor", boxes.last().caption);
            EXPECT_EQ(c.kind, tk::Buttons_Of(boxes.last().flags) | tk::Icon_Of(boxes.last().flags));
            /* left as typed, selected for correction */
            EXPECT_EQ(typed, dk::Text(d, c.field));
            EXPECT_EQ(GetDlgItem(d, c.field), GetFocus());
            DWORD start = 1, end = 0;
            SendDlgItemMessageA(d, c.field, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
            EXPECT_EQ(0u, start);
            EXPECT_EQ(typed.size(), end);
            dk::Click(d, IDCANCEL);
        });
        EXPECT_FALSE(Run(s));
        EXPECT_EQ(before, Prefs_On_Disk());
    }
}

TEST_F(Globals, GivingUpARefusedChangePutsTheFormerValueBack)
{
    Have_Prefs(pk::Every_Preference());
    tk::MsgRecorder boxes({ IDYES, IDYES });
    dk::Script s;
    s.On(k_Caption, [&](HWND d) {
        dk::Type(d, IDC_GP_MINLOG, "7000");                      /* above the maximum of 5000 */
        dk::Type(d, IDC_GP_PORT, "99999");
        dk::Click(d, IDOK);
        EXPECT_EQ("500", dk::Text(d, IDC_GP_MINLOG));
        dk::Click(d, IDOK);
        EXPECT_EQ("0x1F90", dk::Text(d, IDC_GP_PORT));
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(Run(s));
    EXPECT_EQ(2u, boxes.count());
    EXPECT_EQ(tk::Crlf(pk::Every_Preference()), Prefs_On_Disk());
}

TEST_F(Globals, AFileThatCannotBeWrittenIsToldAndNothingTypedIsLost)
{
    Have_Prefs(pk::Every_Preference());
    const std::string before = Prefs_On_Disk();
    const pk::Snapshot memory = pk::Snapshot::Take();
    Set_ReplaceRetryTime(100);
    tk::MsgRecorder boxes;
    dk::Script s;
    s.On(k_Caption, [&](HWND d) {
        dk::Type(d, IDC_GP_SETTLE, "45");
        dk::Type(d, IDC_GP_MAILTO, "ops@example");
        /* a reader that does not share the file: it cannot be replaced */
        HANDLE held = CreateFileA(prefs.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        dk::Click(d, IDOK);
        CloseHandle(held);
        ASSERT_EQ(1u, boxes.count());
        const std::string want = "Could not open the global data file for writing. Data will not be saved.\r\n\"" + prefs +
                                 "\"\r\n\r\nError: ";
        EXPECT_EQ(want, boxes.last().text.substr(0, want.size()));
        EXPECT_EQ(MB_ICONSTOP, tk::Icon_Of(boxes.last().flags));
        EXPECT_EQ(before, Prefs_On_Disk());
        EXPECT_TRUE(memory == pk::Snapshot::Take()) << "nothing half-done stays in memory";
        /* still open with what was typed; once the file is free, OK writes it */
        EXPECT_EQ("45", dk::Text(d, IDC_GP_SETTLE));
        EXPECT_EQ("ops@example", dk::Text(d, IDC_GP_MAILTO));
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(Run(s));
    std::string want = pk::With_Line(pk::Every_Preference(), "SPOOLER_FILE_SETTLE_TIME", "SPOOLER_FILE_SETTLE_TIME 45");
    want = pk::With_Line(want, "SPOOLER_LOGFILE_ADDRESS", "SPOOLER_LOGFILE_ADDRESS ops@example");
    EXPECT_EQ(tk::Crlf(want), Prefs_On_Disk());
    /* no temporary file left; the save that went through is in the change log */
    EXPECT_EQ((std::vector<std::string>{ "Preferences.cfg", "System", "logs" }), tk::List_Dir(home.home()));
    EXPECT_EQ((std::vector<std::string>{ "Editor Changes.log" }), tk::List_Dir(home / "logs"));
}

/* Another program rewrote the file while the dialog was open: OK keeps that program's changes and
   lays over them only what the operator changed. */
TEST_F(Globals, AFileChangedWhileOpenKeepsTheOtherChanges)
{
    Have_Prefs(pk::Every_Preference());
    std::string other = pk::With_Line(pk::Every_Preference(), "SPOOLER_MAX_HIST_RECORDS", "SPOOLER_MAX_HIST_RECORDS  777");
    other = pk::With_Line(other, "SPOOLER_LOGFILE_ADDRESS", "SPOOLER_LOGFILE_ADDRESS night@example");
    other = pk::With_Line(other, "SPOOLER_FILE_SETTLE_TIME", "SPOOLER_FILE_SETTLE_TIME 30");
    tk::MsgRecorder boxes;
    dk::Script s;
    s.On(k_Caption, [&](HWND d) {
        dk::Type(d, IDC_GP_SETTLE, "45");
        dk::Click(d, IDC_GP_HONOUR);
        tk::Write_File(prefs, tk::Crlf(other));
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(Run(s));
    EXPECT_EQ(0u, boxes.count());
    std::string want = pk::With_Line(other, "SPOOLER_FILE_SETTLE_TIME", "SPOOLER_FILE_SETTLE_TIME 45");
    want = pk::With_Line(want, "HONOUR_SUBDIRS", "HONOUR_SUBDIRS FALSE");
    EXPECT_EQ(tk::Crlf(want), Prefs_On_Disk());
}

TEST_F(Globals, AFileThatCannotBeReadIsNotWrittenOver)
{
    Have_Prefs(pk::Every_Preference());
    const std::string before = Prefs_On_Disk();
    Set_ReplaceRetryTime(50);
    tk::MsgRecorder boxes;
    HANDLE held = CreateFileA(prefs.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    dk::Script none;
    EXPECT_FALSE(none.Run([] { return (INT_PTR)Edit_Globals(NULL); }, 3000));
    CloseHandle(held);
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("Could not read the preferences file. The preferences cannot be changed now.\r\n\"" + prefs + "\"",
              boxes.last().text);
    EXPECT_EQ(before, Prefs_On_Disk());

    /* unreadable only by the time OK is pressed: told, and the dialog stays open */
    dk::Script s;
    s.On(k_Caption, [&](HWND d) {
        dk::Type(d, IDC_GP_SETTLE, "45");
        HANDLE h = CreateFileA(prefs.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        dk::Click(d, IDOK);
        CloseHandle(h);
        ASSERT_EQ(2u, boxes.count());
        EXPECT_EQ("Could not read the preferences file again before saving it. Data will not be saved.\r\n\"" + prefs +
                      "\"",
                  boxes.last().text);
        EXPECT_EQ(before, Prefs_On_Disk());
        dk::Click(d, IDCANCEL);
    });
    EXPECT_FALSE(Run(s));
}

TEST_F(Globals, BrowseStartsAtTheBarePathAndQuotesTheChoice)
{
    Have_Prefs(pk::Every_Preference());
    dk::ChooserRecorder picks({ "C:\\Apps\\Find It.exe", "" });
    dk::Script s;
    s.On(k_Caption, [&](HWND d) {
        dk::Click(d, IDC_GP_BROWSE);
        EXPECT_EQ("\"C:\\Apps\\Find It.exe\"", dk::Text(d, IDC_GP_PLATE_APP));
        dk::Type(d, IDC_GP_PLATE_APP, "C:\\Tools\\find.exe -id 5");
        dk::Click(d, IDC_GP_BROWSE);                                  /* cancelled */
        EXPECT_EQ("C:\\Tools\\find.exe -id 5", dk::Text(d, IDC_GP_PLATE_APP));
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(Run(s));
    ASSERT_EQ(2u, picks.calls.size());
    EXPECT_EQ(CHOOSE_FILE, picks.calls[0].kind);
    EXPECT_EQ("Application To Run", picks.calls[0].title);
    EXPECT_EQ("C:\\Plate Tools\\Find Plate.exe", picks.calls[0].path) << "the whole path inside the quotes";
    EXPECT_EQ(5, picks.calls[0].filterIndex);
    EXPECT_FALSE(picks.calls[0].mustExist);
    EXPECT_EQ("C:\\Tools\\find.exe", picks.calls[1].path) << "an unquoted path is cut at its first blank";
    EXPECT_EQ(tk::Crlf(pk::With_Line(pk::Every_Preference(), "PLATE_SEARCH_APP",
                                     "PLATE_SEARCH_APP \"C:\\Tools\\find.exe -id 5\"")),
              Prefs_On_Disk());
}

TEST_F(Globals, ALongestPathReadFromTheFileIsKeptWhole)
{
    const std::string path = "C:\\" + std::string(257, 'p');
    Have_Prefs(pk::With_Line(pk::Every_Preference(), "PLATE_SEARCH_APP", "PLATE_SEARCH_APP " + path));
    const std::string before = Prefs_On_Disk();
    dk::Script s;
    s.On(k_Caption, [](HWND d) { dk::Click(d, IDOK); });
    EXPECT_TRUE(Run(s));
    EXPECT_EQ(tk::Crlf(pk::With_Line(pk::Every_Preference(), "PLATE_SEARCH_APP", "PLATE_SEARCH_APP \"" + path + "\"")),
              Prefs_On_Disk());
}

TEST_F(Globals, TheSettleTimeArrowsGoRoundTheRange)
{
    Have_Prefs(pk::With_Line(pk::Every_Preference(), "SPOOLER_FILE_SETTLE_TIME", "SPOOLER_FILE_SETTLE_TIME 1200"));
    dk::Script s;
    s.On(k_Caption, [](HWND d) {
        dk::Spin(d, IDC_GP_SETTLE_SPIN, 1);
        EXPECT_EQ("1", dk::Text(d, IDC_GP_SETTLE));
        dk::Spin(d, IDC_GP_SETTLE_SPIN, -1);
        EXPECT_EQ("1200", dk::Text(d, IDC_GP_SETTLE));
        dk::Type(d, IDC_GP_MAXLOG, "999999");
        dk::Spin(d, IDC_GP_MAXLOG_SPIN, 1);
        EXPECT_EQ("1000000", dk::Text(d, IDC_GP_MAXLOG)) << "no thousands separators";
        dk::Click(d, IDCANCEL);
    });
    EXPECT_FALSE(Run(s));
}

TEST_F(Globals, ALoginSwitchSetInAdministrationSurvivesOpeningThePreferences)
{
    Have_Prefs(pk::Every_Preference());                         /* REQUIRE_LOGIN TRUE */
    REQUIRE_LOGIN = FALSE;                                      /* as OK in Administration leaves it */
    Note_LoginSwitch(FALSE);
    dk::Script s;
    s.On(k_Caption, [](HWND d) { dk::Click(d, IDOK); });
    EXPECT_TRUE(Run(s));
    EXPECT_FALSE(REQUIRE_LOGIN);
    EXPECT_EQ(tk::Crlf(pk::With_Line(pk::Every_Preference(), "REQUIRE_LOGIN", "REQUIRE_LOGIN FALSE")), Prefs_On_Disk());
}

} // namespace
