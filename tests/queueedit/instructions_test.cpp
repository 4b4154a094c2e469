/* The Process Instructions page, driven as an operator drives it: the parameters, the parameter
   file, the configuration utility recorded in the associations file, and a real utility started
   and waited for. */
#include "queueedit/editkit.h"
#include "queueedit/instructions_rules.h"
#include "common/fileutil.h"
#include <functional>

namespace {

using ek::EditorTest;

/* ---- without a window ---- */

TEST(InstructionsRules, TheUtilityIsStartedOnTheParametersQuotedWhereTheyHaveBlanks)
{
    struct { const char *utility, *params, *cmd; } cases[] = {
        { "C:\\Tools\\Setup.exe", "C:\\Params\\plates.txt", "C:\\Tools\\Setup.exe C:\\Params\\plates.txt" },
        { "C:\\My Tools\\Setup.exe", "C:\\My Params\\plates.txt", "\"C:\\My Tools\\Setup.exe\" \"C:\\My Params\\plates.txt\"" },
        { "\"C:\\My Tools\\Setup.exe\" -edit", "-a \"b c\"", "\"C:\\My Tools\\Setup.exe\" -edit -a \"b c\"" },
        { "C:\\Tools\\Setup.exe", "", "C:\\Tools\\Setup.exe " },
        { "C:\\Tools\\Setup.exe", "a\tb", "C:\\Tools\\Setup.exe a\tb" },
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.cmd);
        char out[600];
        ASSERT_TRUE(Build_UtilityCommand(c.utility, c.params, out, sizeof out));
        EXPECT_STREQ(c.cmd, out);
    }
    char small[12];
    EXPECT_FALSE(Build_UtilityCommand("C:\\Tools\\Setup.exe", "x", small, sizeof small)) << "too long is no success";
    EXPECT_EQ(sizeof small - 1, strlen(small));
}

TEST(InstructionsRules, TheKeyIsThePathOfTheQueuesFirstApplication)
{
    Reset_Configuration();
    mk::Add_App("C:\\Apps\\Rip.exe", "", 3);
    mk::Add_App("C:\\Apps\\Preflight.exe", "", 5);
    appGroups[1] = AppGroup{ FALSE, 2, { 5, 3, 0, 0 }, 1, 'N', FALSE };
    struct { const char *name; int ref; BOOL group, none; const char *key; } cases[] = {
        { "an application", 3, FALSE, FALSE, "C:\\Apps\\Rip.exe" },
        { "a group: its first member", 1, TRUE, FALSE, "C:\\Apps\\Preflight.exe" },
        { "no processes", NO_PROCESSES, FALSE, FALSE, "" },
        { "no processes, the reference left over", 3, FALSE, TRUE, "" },
        { "a free application slot", 4, FALSE, FALSE, "" },
        { "a free group slot", 2, TRUE, FALSE, "" },
        { "a reference past the applications", MAX_APPS, FALSE, FALSE, "" },
        { "a negative reference", -1, FALSE, FALSE, "" },
    };
    for (auto &c : cases) {
        SCOPED_TRACE(c.name);
        Target t{};
        t.processRef = c.ref;
        t.usesGroup = c.group;
        t.noProcesses = c.none;
        char key[PATH_LEN] = "junk";
        EXPECT_EQ(c.key[0] != '\0', Get_AssociationKey(&t, key, sizeof key) != FALSE);
        EXPECT_STREQ(c.key, key);
    }
    Reset_Configuration();
}

/* ---- the page ---- */

/* A process the page started, ended by the test if it still runs. */
class Adopted {
public:
    ~Adopted()
    {
        if (h_ == nullptr) return;
        if (WaitForSingleObject(h_, 0) == WAIT_TIMEOUT) {
            TerminateProcess(h_, 1);
            WaitForSingleObject(h_, 5000);
        }
        CloseHandle(h_);
    }
    void Take(DWORD pid) { h_ = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid); }
    bool Ended() const { return h_ != nullptr && WaitForSingleObject(h_, 0) == WAIT_OBJECT_0; }
private:
    HANDLE h_ = nullptr;
};

class Instructions : public EditorTest {
protected:
    std::string oemApps, util1, util2, params;

    void SetUp() override
    {
        EditorTest::SetUp();
        tk::Make_Dirs(home / "Tools");
        util1 = home / "Tools\\Fake Utility.exe";
        util2 = home / "Tools\\Setup2.exe";
        for (const std::string &u : { util1, util2 }) ASSERT_TRUE(CopyFileA(tk::Helper_Exe("fakeutility").c_str(), u.c_str(), FALSE));
        tk::Make_Dirs(home / "Params");
        params = home / "Params\\plate params.txt";
        tk::Write_File(params, "-res 2400\r\n");
        oemApps = home / "OEMApps.cfg";
        /* line ends of one byte: a file the page rewrote would have two */
        tk::Write_File(oemApps, home / "Apps\\Other.exe : " + util2 + "\n\n" + home / "Apps\\PlateRip.exe : " + util1 + "\n" +
                                    home / "Apps\\PlateRip.exe : " + util2 + "\n");
    }

    void TearDown() override
    {
        SetEnvironmentVariableA("FAKEUTILITY_RECORD", nullptr);
        SetEnvironmentVariableA("FAKEUTILITY_MS", nullptr);
        Set_ReplaceRetryTime(1500);
        EditorTest::TearDown();
    }

    /* Opens the page on a copy of queue pos while the script acts; the copy afterwards. */
    Target Run_Page(int pos, const std::function<void(Target &)> &set, dk::Script &s, INT_PTR *result = nullptr)
    {
        Target work = targets[pos];
        if (set) set(work);
        INT_PTR r = Open_Page(s, IDD_RTI, QueueRTI_Dlg, &work);
        if (result) *result = r;
        return work;
    }

    void Use_File(Target &t)
    {
        Copy_Field(t.parameters, params.c_str());
        t.parametersIsFile = TRUE;
    }
};

const int k_FileMode[] = { IDC_RTI_BROWSE, IDC_RTI_EDITOR_GROUP, IDC_RTI_SELECT, IDC_RTI_UTILITY };
const char k_NoFile[] = "The chosen parameter file has not been recognised.  This file does not exist. Please click on "
                        "the \"Launch...\" key to create it or select another.";

TEST_F(Instructions, LoadShowsTheUtilityOfTheQueuesFirstApplication)
{
    tk::Write_File(oemApps, tk::Read_File(oemApps) + home / "Apps\\Preflight.exe : " + util2 + "\n" + home /
                                "Apps\\Notify.exe : " + home / "Tools\\Gone.exe\n");
    struct Case {
        const char *name;
        int pos;
        std::function<void(Target &)> set;
        bool isFile;
        std::string utility;
    };
    const std::vector<Case> cases = {
        { "a parameter file of an application", 0, [&](Target &t) { Use_File(t); }, true, util1 },
        { "a list of parameters of an application", 0, [](Target &t) { Copy_Field(t.parameters, "-res 2400"); }, false, util1 },
        { "a group: its first member's utility", 2, [&](Target &t) { Use_File(t); }, true, util2 },
        { "no processes", 3, [&](Target &t) { Use_File(t); }, true, "" },
        { "a utility that is no longer there", 1, [&](Target &t) { Use_File(t); t.processRef = 2; }, true, "" },
    };
    /* queue 2 runs the group of Preflight and Notify; Notify's utility is gone */
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        dk::Script s;
        s.On("Process Instructions", [&](HWND d) {
            Target *page = ek::Page_Target(d);
            EXPECT_EQ(page->parameters, dk::Text(d, IDC_RTI_PARAMS));
            EXPECT_EQ(c.isFile, dk::Checked(d, IDC_RTI_IS_FILE));
            EXPECT_EQ(!c.isFile, dk::Checked(d, IDC_RTI_NOT_FILE));
            EXPECT_EQ(c.utility, dk::Text(d, IDC_RTI_UTILITY));
            for (int id : k_FileMode) EXPECT_EQ(c.isFile, dk::Enabled(d, id)) << id;
            EXPECT_EQ(c.isFile && !c.utility.empty(), dk::Enabled(d, IDC_RTI_EDIT));
            DWORD from = 1, to = 0;
            SendDlgItemMessageA(d, IDC_RTI_PARAMS, EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
            EXPECT_EQ(0u, from);
            EXPECT_EQ(strlen(page->parameters), to) << "the parameters are selected";
            dk::Click(d, IDCANCEL);
        });
        Run_Page(c.pos, c.set, s);
    }
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(Instructions, AListOfParametersIsAnyTextAndAFileMustExist)
{
    dk::Script s;
    s.On("Process Instructions", [&](HWND d) {
        dk::Click(d, IDC_RTI_NOT_FILE);
        for (int id : k_FileMode) EXPECT_FALSE(dk::Enabled(d, id)) << id;
        EXPECT_FALSE(dk::Enabled(d, IDC_RTI_EDIT));
        dk::Type(d, IDC_RTI_PARAMS, home / "Params\\nothing.txt -res 1200");
        dk::Click(d, IDOK);
    });
    Target work = Run_Page(0, [&](Target &t) { Use_File(t); }, s);
    EXPECT_EQ(0u, boxes.count());
    EXPECT_EQ(home / "Params\\nothing.txt -res 1200", work.parameters);
    EXPECT_FALSE(work.parametersIsFile);

    dk::Script missing;
    missing.On("Process Instructions", [&](HWND d) {
        dk::Click(d, IDC_RTI_IS_FILE);
        for (int id : k_FileMode) EXPECT_TRUE(dk::Enabled(d, id)) << id;
        EXPECT_TRUE(dk::Enabled(d, IDC_RTI_EDIT));
        dk::Type(d, IDC_RTI_PARAMS, home / "Params\\nothing.txt");
        dk::Click(d, IDOK);
        EXPECT_TRUE(IsWindowVisible(d)) << "the page stays open";
        EXPECT_EQ(GetDlgItem(d, IDC_RTI_PARAMS), GetFocus());
        dk::Type(d, IDC_RTI_PARAMS, "\"" + params + "\"");
        dk::Click(d, IDOK);
    });
    work = Run_Page(0, [](Target &t) { Copy_Field(t.parameters, "-res 2400"); }, missing);
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ(k_NoFile, boxes.last().text);
    EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
    EXPECT_EQ("\"" + params + "\"", work.parameters) << "a file in double quotes is a file";
    EXPECT_TRUE(work.parametersIsFile);
}

TEST_F(Instructions, AnUnchangedUtilityLeavesTheAssociationsFileAlone)
{
    const std::string before = tk::Read_File(oemApps);
    dk::Script s;
    s.On("Process Instructions", [&](HWND d) {
        dk::Type(d, IDC_RTI_UTILITY, util2);
        dk::Type(d, IDC_RTI_UTILITY, util1);
        dk::Click(d, IDOK);
    });
    Run_Page(0, [&](Target &t) { Use_File(t); }, s);
    EXPECT_EQ(0u, boxes.count());
    EXPECT_EQ(before, tk::Read_File(oemApps));
}

TEST_F(Instructions, AChangedUtilityIsRecordedInPlaceOfTheApplicationsLine)
{
    dk::ChooserRecorder picks({ util2 });
    dk::Script s;
    s.On("Process Instructions", [&](HWND d) {
        dk::Click(d, IDC_RTI_SELECT);
        EXPECT_EQ(util2, dk::Text(d, IDC_RTI_UTILITY));
        EXPECT_TRUE(dk::Enabled(d, IDC_RTI_EDIT));
        dk::Click(d, IDOK);
    });
    Run_Page(0, [&](Target &t) { Use_File(t); }, s);
    EXPECT_EQ(0u, boxes.count());
    ASSERT_EQ(1u, picks.calls.size());
    EXPECT_EQ(CHOOSE_FILE, picks.calls[0].kind);
    EXPECT_EQ("Configuration Utility", picks.calls[0].title);
    EXPECT_EQ(FILTER_EXECUTABLE, picks.calls[0].filterIndex);
    EXPECT_TRUE(picks.calls[0].mustExist);
    EXPECT_EQ(util1, picks.calls[0].path);
    EXPECT_EQ(tk::Crlf(home / "Apps\\Other.exe : " + util2 + "\n" + home / "Apps\\PlateRip.exe : " + util2 + "\n" + home /
                       "Apps\\PlateRip.exe : " + util2 + "\n"),
              tk::Read_File(oemApps))
        << "the first line of the application replaced, the empty line gone";

    /* a queue whose application has no utility yet: a line of its own at the end */
    const std::string before = tk::Read_File(oemApps);
    dk::Script group;
    group.On("Process Instructions", [&](HWND d) {
        EXPECT_EQ("", dk::Text(d, IDC_RTI_UTILITY));
        EXPECT_FALSE(dk::Enabled(d, IDC_RTI_EDIT));
        dk::Type(d, IDC_RTI_UTILITY, util1);
        EXPECT_TRUE(dk::Enabled(d, IDC_RTI_EDIT)) << "a utility typed can be started";
        dk::Click(d, IDOK);
    });
    Run_Page(2, [&](Target &t) { Use_File(t); }, group);
    EXPECT_EQ(before + home / "Apps\\Preflight.exe : " + util1 + "\r\n", tk::Read_File(oemApps));
}

TEST_F(Instructions, AQueueWithoutProcessesHasNoApplicationToRememberAUtilityFor)
{
    const std::string before = tk::Read_File(oemApps);
    dk::Script s;
    s.On("Process Instructions", [&](HWND d) {
        dk::Type(d, IDC_RTI_UTILITY, util1);
        dk::Click(d, IDOK);
    });
    INT_PTR result = -2;
    Target work = Run_Page(3, [&](Target &t) { Use_File(t); }, s, &result);
    EXPECT_EQ(0, result) << "the parameters are kept";
    EXPECT_EQ(params, work.parameters);
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("This queue runs no processes, so the configuration utility cannot be remembered for its application.  "
              "The parameters are kept.",
              boxes.last().text);
    EXPECT_EQ(before, tk::Read_File(oemApps));
}

TEST_F(Instructions, AnAssociationsFileThatCannotBeReplacedIsReportedAndKeptWhole)
{
    const std::string before = tk::Read_File(oemApps);
    Set_ReplaceRetryTime(0);
    HANDLE held = CreateFileA(oemApps.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    dk::Script s;
    s.On("Process Instructions", [&](HWND d) {
        dk::Type(d, IDC_RTI_UTILITY, util2);
        dk::Click(d, IDOK);
    });
    INT_PTR result = -2;
    Target work = Run_Page(0, [&](Target &t) { Use_File(t); }, s, &result);
    CloseHandle(held);
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ(0u, boxes.last().text.find("Could not save changes made to associations setup. Copying new setup file over "
                                          "old was not successful.  Error: "))
        << boxes.last().text;
    EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(boxes.last().flags));
    EXPECT_EQ(before, tk::Read_File(oemApps)) << "the file is as it was";
    EXPECT_EQ((std::vector<std::string>{ "Apps", "Hot", "OEMApps.cfg", "Params", "System", "Tools" }), tk::List_Dir(home.home()))
        << "and nothing half-written is left";
    EXPECT_EQ(0, result) << "the parameters do not wait for the associations";
    EXPECT_EQ(params, work.parameters);
}

TEST_F(Instructions, EditStartsTheUtilityAndThePageWaitsUntilItEnds)
{
    const std::string record = home / "utility.seen";
    SetEnvironmentVariableA("FAKEUTILITY_RECORD", record.c_str());
    SetEnvironmentVariableA("FAKEUTILITY_MS", "1500");
    const std::string typed = home / "Params\\other params.txt";
    tk::Write_File(typed, "-x\r\n");
    Adopted utility;
    DWORD started = 0, back = 0;
    dk::Script s;
    s.On("Process Instructions", [&](HWND d) {
        dk::Type(d, IDC_RTI_PARAMS, typed);
        started = GetTickCount();
        dk::Click(d, IDC_RTI_EDIT);
        ASSERT_EQ(0u, boxes.count()) << boxes.last().text;
        for (int id : { IDOK, IDCANCEL, IDC_RTI_NOT_FILE, IDC_RTI_IS_FILE, IDC_RTI_PARAMS, IDC_RTI_BROWSE, IDC_RTI_SELECT,
                        IDC_RTI_EDIT, IDC_RTI_UTILITY })
            EXPECT_FALSE(dk::Enabled(d, id)) << id << " waits";
        EXPECT_TRUE(IsWindowEnabled(d)) << "the page itself is alive";
        while (!tk::Exists(record) && GetTickCount() - started < 8000) tk::Pump(20);
        ASSERT_TRUE(tk::Exists(record)) << "the utility did not start";
        std::string seen = tk::Read_File(record);
        utility.Take((DWORD)strtoul(seen.c_str(), nullptr, 10));
        EXPECT_EQ(tk::Quote(util1) + " " + tk::Quote(typed) + "\n", seen.substr(seen.find('\n') + 1))
            << "the utility, then the parameter file shown, each quoted for its blanks";

        /* while it runs: Esc and the close box change nothing, and the page repaints */
        ek::Press_Key(VK_ESCAPE);
        PostMessageA(d, WM_CLOSE, 0, 0);
        InvalidateRect(d, nullptr, TRUE);
        tk::Pump(100);
        EXPECT_TRUE(IsWindowVisible(d));
        RECT dirty;
        EXPECT_FALSE(GetUpdateRect(d, &dirty, FALSE)) << "the page has painted itself while waiting";
        EXPECT_FALSE(dk::Enabled(d, IDOK));
        ek::Shot(d, "instructions_waiting");

        while (!dk::Enabled(d, IDOK) && GetTickCount() - started < 10000) tk::Pump(20);
        back = GetTickCount();
        EXPECT_TRUE(utility.Ended()) << "the page came back only when the utility had ended";
        for (int id : { IDOK, IDCANCEL, IDC_RTI_NOT_FILE, IDC_RTI_IS_FILE, IDC_RTI_PARAMS, IDC_RTI_BROWSE, IDC_RTI_SELECT,
                        IDC_RTI_EDIT, IDC_RTI_UTILITY })
            EXPECT_TRUE(dk::Enabled(d, id)) << id << " is back";
        HWND focus = GetFocus();
        EXPECT_TRUE(focus != nullptr && IsChild(d, focus) && IsWindowEnabled(focus)) << "the keyboard works again";
        dk::Click(d, IDOK);
    });
    INT_PTR result = -2;
    Target work = Run_Page(0, [&](Target &t) { Use_File(t); }, s, &result);
    EXPECT_EQ(0, result);
    EXPECT_GE(back - started, 1500u) << "the page waited for the utility";
    EXPECT_LT(back - started, 9000u);
    EXPECT_EQ(typed, work.parameters);
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(Instructions, AUtilityThatCannotBeStartedIsReported)
{
    const std::string missing = home / "Tools\\Missing.exe";
    for (const std::string &utility : { missing, params }) {
        SCOPED_TRACE(utility);
        boxes.boxes.clear();
        boxes.beeps.clear();
        dk::Script s;
        s.On("Process Instructions", [&](HWND d) {
            dk::Type(d, IDC_RTI_UTILITY, utility);
            dk::Click(d, IDC_RTI_EDIT);
            ASSERT_EQ(1u, boxes.count());
            EXPECT_TRUE(dk::Enabled(d, IDOK)) << "nothing to wait for";
            EXPECT_TRUE(dk::Enabled(d, IDC_RTI_EDIT));
            dk::Click(d, IDCANCEL);
        });
        Run_Page(0, [&](Target &t) { Use_File(t); }, s);
        ASSERT_EQ(1u, boxes.count());
        const std::string head = "The configuration utility \"" + utility + "\" could not be started.\r\n\r\nError: ";
        EXPECT_EQ(head, boxes.last().text.substr(0, head.size()));
        if (utility == missing) {
            EXPECT_EQ(head + "2 (0x2) ", boxes.last().text.substr(0, head.size() + 8));
        }
        EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(boxes.last().flags));
        EXPECT_EQ(1u, boxes.beeps.size());
    }
}

TEST_F(Instructions, BrowseChoosesTheParameterFile)
{
    dk::ChooserRecorder picks({ "", params, "" });
    dk::Script s;
    s.On("Process Instructions", [&](HWND d) {
        dk::Type(d, IDC_RTI_PARAMS, "Relative\\plates.txt");
        dk::Click(d, IDC_RTI_BROWSE);
        EXPECT_EQ("Relative\\plates.txt", dk::Text(d, IDC_RTI_PARAMS)) << "a cancelled chooser keeps the text";
        dk::Click(d, IDC_RTI_BROWSE);
        EXPECT_EQ(params, dk::Text(d, IDC_RTI_PARAMS));
        dk::Type(d, IDC_RTI_PARAMS, home / "Params\\new.txt");
        dk::Click(d, IDC_RTI_BROWSE);
        dk::Click(d, IDCANCEL);
    });
    Run_Page(0, [&](Target &t) { Use_File(t); }, s);
    ASSERT_EQ(3u, picks.calls.size());
    EXPECT_EQ("", picks.calls[0].path) << "a relative text starts the chooser on no name";
    EXPECT_EQ("", picks.calls[1].path);
    EXPECT_EQ(home / "Params\\new.txt", picks.calls[2].path);
    for (const dk::ChooserCall &c : picks.calls) {
        EXPECT_EQ(CHOOSE_FILE, c.kind);
        EXPECT_EQ("Parameter File", c.title);
        EXPECT_EQ(FILTER_ALL, c.filterIndex);
        EXPECT_FALSE(c.mustExist) << "a new file may be named";
    }
}

TEST_F(Instructions, TheKeyboardReachesEveryControl)
{
    dk::Script s;
    s.On("Process Instructions", [&](HWND d) {
        std::string letters;
        for (HWND c = GetWindow(d, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
            std::string t = dk::Caption(c);
            size_t at = t.find('&');
            if (at != std::string::npos && at + 1 < t.size()) letters += (char)tolower((unsigned char)t[at + 1]);
        }
        EXPECT_EQ("abincse", letters) << "one letter each";
        std::vector<int> order;
        HWND first = GetNextDlgTabItem(d, nullptr, FALSE);
        for (HWND c = first; c != nullptr && order.size() < 20;) {
            order.push_back(GetDlgCtrlID(c));
            c = GetNextDlgTabItem(d, c, FALSE);
            if (c == first) break;
        }
        EXPECT_EQ((std::vector<int>{ IDC_RTI_PARAMS, IDC_RTI_BROWSE, IDC_RTI_IS_FILE, IDC_RTI_UTILITY, IDC_RTI_SELECT,
                                     IDC_RTI_EDIT, IDOK, IDCANCEL }),
                  order);
        EXPECT_EQ(IDOK, LOWORD(SendMessageA(d, DM_GETDEFID, 0, 0))) << "Enter presses OK";
        ek::Shot(d, "instructions_file");
        SetFocus(GetDlgItem(d, IDC_RTI_PARAMS));
        PostMessageA(GetFocus(), WM_SYSCHAR, 'c', 0x20000001);
    });
    s.On("Process Instructions", [&](HWND d) {
        EXPECT_EQ(GetDlgItem(d, IDC_RTI_UTILITY), GetFocus()) << "Alt+C: the utility";
        PostMessageA(GetFocus(), WM_SYSCHAR, 'a', 0x20000001);
    });
    s.On("Process Instructions", [&](HWND d) {
        EXPECT_EQ(GetDlgItem(d, IDC_RTI_PARAMS), GetFocus()) << "Alt+A: the parameters";
        dk::Click(d, IDC_RTI_NOT_FILE);
        ek::Shot(d, "instructions_parameters");
        ek::Press_Key(VK_RETURN);
    });
    INT_PTR result = -2;
    Target work = Run_Page(0, [&](Target &t) { Use_File(t); }, s, &result);
    EXPECT_EQ(0, result);
    EXPECT_FALSE(work.parametersIsFile) << "Enter took the page's OK";
}

} // namespace
