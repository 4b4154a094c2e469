/* The four dialogs by keyboard alone: the Tab order, the mnemonics, Enter for OK and Esc for
   Cancel. Keys go through IsDialogMessage, as the dialog's own message loop sends them. */
#include "prefs_kit.h"
#include "prefs/admin.h"
#include "prefs/globals.h"
#include "prefs/jobnames.h"
#include "resources/resource.h"
#include <functional>

namespace {

using dk::Expect_Mnemonics_Lead;
using dk::Expect_Unique_Mnemonics;
using dk::Focus_Id;
using dk::Key;
using dk::Tab_Order;

class Keyboard : public pk::Home {};

TEST_F(Keyboard, GeneralPreferences)
{
    Have_Prefs(pk::Every_Preference());
    const std::string before = Prefs_On_Disk();
    dk::Script s;
    s.On("General Preferences", [](HWND d) {
        EXPECT_EQ((std::vector<int>{ IDC_GP_SETTLE, IDC_GP_MAXLOG, IDC_GP_MINLOG, IDC_GP_MAILTO, IDC_GP_MASKS_CHANGE,
                                     IDC_GP_PLATE_APP, IDC_GP_BROWSE, IDC_GP_HONOUR, IDC_GP_PORT, IDOK, IDCANCEL }),
                  Tab_Order(d));
        Expect_Unique_Mnemonics(d);
        Expect_Mnemonics_Lead(d, { { 't', IDC_GP_MAXLOG }, { 'c', IDC_GP_MINLOG }, { 'm', IDC_GP_MAILTO },
                                   { 'p', IDC_GP_PLATE_APP }, { 'n', IDC_GP_PORT }, { 's', IDC_GP_SETTLE } });
        Key(d, WM_SYSCHAR, 'o');                                /* the check box: ticked off */
        EXPECT_FALSE(dk::Checked(d, IDC_GP_HONOUR));
        Key(d, WM_KEYDOWN, VK_ESCAPE);
    });
    EXPECT_EQ(0, s.Run([] { return (INT_PTR)Edit_Globals(NULL); }));
    EXPECT_EQ(before, Prefs_On_Disk());

    dk::Script enter;
    enter.On("General Preferences", [](HWND d) {
        dk::Type(d, IDC_GP_SETTLE, "33");
        Key(d, WM_KEYDOWN, VK_RETURN);
    });
    EXPECT_EQ(1, enter.Run([] { return (INT_PTR)Edit_Globals(NULL); }));
    EXPECT_EQ(tk::Crlf(pk::With_Line(pk::Every_Preference(), "SPOOLER_FILE_SETTLE_TIME", "SPOOLER_FILE_SETTLE_TIME 33")),
              Prefs_On_Disk());
}

TEST_F(Keyboard, FileNamingConvention)
{
    SPOOLER_GLOBALS rec;
    memset(&rec, 0, sizeof rec);
    Copy_Field(rec.SPOOLER_JOBNAME_GROUPMASK, "11>0.TIF");
    Copy_Field(rec.SPOOLER_JOBNAME_SEPIDMASK, "00>1.TIF");
    rec.RIPIndex = -1;
    dk::Script s;
    s.On("File Naming Convention", [](HWND d) {
        /* manual: the preset list is off, the radio buttons are one group */
        EXPECT_EQ((std::vector<int>{ IDC_JN_MANUAL, IDC_JN_GROUPMASK, IDC_JN_SEPIDMASK, IDC_JN_HELP, IDOK, IDCANCEL }),
                  Tab_Order(d));
        Expect_Unique_Mnemonics(d);
        Expect_Mnemonics_Lead(d, { { 'j', IDC_JN_GROUPMASK }, { 'c', IDC_JN_SEPIDMASK } });
        Key(d, WM_SYSCHAR, 'a');                                /* to automatic */
        EXPECT_TRUE(dk::Checked(d, IDC_JN_AUTOMATIC));
        EXPECT_TRUE(dk::Enabled(d, IDC_JN_PRESETS));
        EXPECT_FALSE(dk::Enabled(d, IDC_JN_GROUPMASK));
        EXPECT_EQ((std::vector<int>{ IDC_JN_AUTOMATIC, IDC_JN_PRESETS, IDC_JN_HELP, IDOK, IDCANCEL }), Tab_Order(d));
        Key(d, WM_KEYDOWN, VK_RETURN);
    });
    EXPECT_EQ(1, s.Run([&] { return (INT_PTR)Edit_JobNames(NULL, &rec); }));
    EXPECT_EQ(0, rec.RIPIndex);

    const SPOOLER_GLOBALS before = rec;
    dk::Script esc;
    esc.On("File Naming Convention", [](HWND d) {
        Key(d, WM_SYSCHAR, 's');                                /* to manual */
        EXPECT_TRUE(dk::Checked(d, IDC_JN_MANUAL));
        Key(d, WM_KEYDOWN, VK_ESCAPE);
    });
    EXPECT_EQ(0, esc.Run([&] { return (INT_PTR)Edit_JobNames(NULL, &rec); }));
    EXPECT_EQ(0, memcmp(&before, &rec, sizeof rec));
}

TEST_F(Keyboard, AdministrationAndUser)
{
    tk::Write_File(usersFile, "anna 00\r\n");
    dk::Script s;
    s.On("Administration", [](HWND d) {
        SetFocus(GetDlgItem(d, IDC_AD_USERS));
        EXPECT_EQ((std::vector<int>{ IDC_AD_USERS, IDC_AD_ADD, IDC_AD_EDIT, IDC_AD_DELETE, IDC_AD_LOGIN, IDOK, IDCANCEL }),
                  Tab_Order(d));
        Expect_Unique_Mnemonics(d);
        Expect_Mnemonics_Lead(d, { { 'u', IDC_AD_USERS } });
        Key(d, WM_SYSCHAR, 'a');                                /* Add */
    });
    s.On("Add user", [](HWND u) {
        EXPECT_EQ((std::vector<int>{ IDC_US_NAME, IDC_US_PASSWORD, IDC_US_CONFIRM, IDOK, IDCANCEL }), Tab_Order(u));
        Expect_Unique_Mnemonics(u);
        Expect_Mnemonics_Lead(u, { { 'p', IDC_US_PASSWORD }, { 'c', IDC_US_CONFIRM }, { 'u', IDC_US_NAME } });
        dk::Type(u, IDC_US_NAME, "bert");
        Key(u, WM_KEYDOWN, VK_RETURN);
    });
    s.On("Administration", [](HWND d) {
        EXPECT_EQ((std::vector<std::string>{ "anna", "bert" }), dk::Items(d, IDC_AD_USERS));
        Key(d, WM_SYSCHAR, 'r');                                /* the log-in switch */
        EXPECT_TRUE(dk::Checked(d, IDC_AD_LOGIN));
        Key(d, WM_KEYDOWN, VK_RETURN);
    });
    EXPECT_EQ(1, s.Run([] { return (INT_PTR)Edit_Users(NULL); }));
    EXPECT_EQ("anna 00\r\nbert 00\r\n", tk::Read_File(usersFile));
    EXPECT_TRUE(REQUIRE_LOGIN);

    dk::Script esc;
    esc.On("Administration", [](HWND d) { Key(d, WM_SYSCHAR, 'a'); });
    esc.On("Add user", [](HWND u) {
        dk::Type(u, IDC_US_NAME, "carl");
        Key(u, WM_KEYDOWN, VK_ESCAPE);
    });
    esc.On("Administration", [](HWND d) {
        EXPECT_EQ(2u, dk::Items(d, IDC_AD_USERS).size());
        Key(d, WM_KEYDOWN, VK_ESCAPE);
    });
    EXPECT_EQ(0, esc.Run([] { return (INT_PTR)Edit_Users(NULL); }));
    EXPECT_EQ("anna 00\r\nbert 00\r\n", tk::Read_File(usersFile));
}

} // namespace
