/* Administration and User: listing, adding, editing and removing users with the exact messages,
   the log-in switch, and "Users.cfg" written byte for byte, or left alone. */
#include "prefs_kit.h"
#include "prefs/admin.h"
#include "prefs/globals.h"
#include "common/fileutil.h"
#include "resources/resource.h"

namespace {

const char k_Admin[] = "Administration";
const char k_Demo[] = "admin 056F73747261\r\noperator 06736869667432\r\nguest 00\r\n";

class Admin : public pk::Home {
protected:
    void SetUp() override
    {
        pk::Home::SetUp();
        tk::Write_File(usersFile, k_Demo);
    }
    bool Run(dk::Script &s) { return s.Run([] { return (INT_PTR)Edit_Users(NULL); }) != 0; }
    static void Select(HWND d, std::vector<int> lines)
    {
        HWND list = GetDlgItem(d, IDC_AD_USERS);
        SendMessageA(list, LB_SETSEL, FALSE, -1);
        for (int i : lines) SendMessageA(list, LB_SETSEL, TRUE, i);
    }
    /* Fills the User dialog as typed and presses OK. */
    static void Fill_User(HWND u, const std::string &name, const std::string &password, const std::string &confirm)
    {
        dk::Type(u, IDC_US_NAME, name);
        dk::Type(u, IDC_US_PASSWORD, password);
        dk::Type(u, IDC_US_CONFIRM, confirm);
        dk::Click(u, IDOK);
    }
};

TEST_F(Admin, OpensOnTheUsersOfTheFileAndTheLoginSwitch)
{
    REQUIRE_LOGIN = TRUE;
    dk::Script s;
    s.On(k_Admin, [](HWND d) {
        EXPECT_EQ((std::vector<std::string>{ "admin", "operator", "guest" }), dk::Items(d, IDC_AD_USERS));
        EXPECT_TRUE(dk::Checked(d, IDC_AD_LOGIN));
        Select(d, { 1 });
        pk::Shot(d, "administration");
        dk::Click(d, IDCANCEL);
    });
    EXPECT_FALSE(Run(s));
    EXPECT_EQ(k_Demo, tk::Read_File(usersFile));
    EXPECT_TRUE(REQUIRE_LOGIN);
}

TEST_F(Admin, AddedUserIsWrittenWithItsEncodedPassword)
{
    dk::Script s;
    s.On(k_Admin, [](HWND d) { dk::Click(d, IDC_AD_ADD); });
    s.On("Add user", [](HWND u) {
        EXPECT_EQ("", dk::Text(u, IDC_US_NAME));
        EXPECT_EQ("", dk::Text(u, IDC_US_PASSWORD));
        EXPECT_EQ(GetDlgItem(u, IDC_US_NAME), GetFocus());
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(u, IDC_US_PASSWORD), GWL_STYLE) & ES_PASSWORD);
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(u, IDC_US_CONFIRM), GWL_STYLE) & ES_PASSWORD);
        dk::Type(u, IDC_US_NAME, "a b-c");
        EXPECT_EQ("abc", dk::Text(u, IDC_US_NAME)) << "only letters and digits stay";
        dk::Type(u, IDC_US_PASSWORD, "Night 2!");
        dk::Type(u, IDC_US_CONFIRM, "Night2");
        EXPECT_EQ("Night2", dk::Text(u, IDC_US_PASSWORD));
        pk::Shot(u, "add_user");
        dk::Click(u, IDOK);
    });
    s.On(k_Admin, [](HWND d) {
        EXPECT_EQ((std::vector<std::string>{ "admin", "operator", "guest", "abc" }), dk::Items(d, IDC_AD_USERS));
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(Run(s));
    EXPECT_EQ(std::string(k_Demo) + "abc 064E6967687432\r\n", tk::Read_File(usersFile));
}

TEST_F(Admin, EveryCharacterOfAPasswordIsCarriedByTheEncoding)
{
    dk::Script s;
    s.On(k_Admin, [](HWND d) { dk::Click(d, IDC_AD_ADD); });
    s.On("Add user", [](HWND u) { Fill_User(u, "J\xF6rg", "p\xE4ss\xDF" "9", "p\xE4ss\xDF" "9"); });
    s.On(k_Admin, [](HWND d) { dk::Click(d, IDOK); });
    EXPECT_TRUE(Run(s));
    EXPECT_EQ(std::string(k_Demo) + "J\xF6rg 0670E47373DF39\r\n", tk::Read_File(usersFile));
    ASSERT_TRUE(Load_Users(NULL));
    ASSERT_EQ(4, userCount);
    EXPECT_STREQ("p\xE4ss\xDF" "9", users[3].password);
}

TEST_F(Admin, EditShowsTheUserAndReplacesIt)
{
    dk::Script s;
    s.On(k_Admin, [](HWND d) {
        Select(d, { 1 });
        dk::Click(d, IDC_AD_EDIT);
    });
    s.On("Edit user", [](HWND u) {
        EXPECT_EQ("operator", dk::Text(u, IDC_US_NAME));
        EXPECT_EQ("shift2", dk::Text(u, IDC_US_PASSWORD));
        EXPECT_EQ("shift2", dk::Text(u, IDC_US_CONFIRM));
        pk::Shot(u, "edit_user");
        Fill_User(u, "Operator", "late3", "late3");            /* its own name in other letters */
    });
    s.On(k_Admin, [](HWND d) {
        EXPECT_EQ((std::vector<std::string>{ "admin", "Operator", "guest" }), dk::Items(d, IDC_AD_USERS));
        /* a double click edits too */
        Select(d, { 2 });
        dk::Double_Click(d, IDC_AD_USERS);
    });
    s.On("Edit user", [](HWND u) { dk::Click(u, IDOK); });     /* untouched */
    s.On(k_Admin, [](HWND d) { dk::Click(d, IDOK); });
    EXPECT_TRUE(Run(s));
    EXPECT_EQ("admin 056F73747261\r\nOperator 056C61746533\r\nguest 00\r\n", tk::Read_File(usersFile));
}

TEST_F(Admin, EditWantsExactlyOneUserAndDeleteTakesAllSelected)
{
    dk::Script s;
    s.On(k_Admin, [](HWND d) {
        Select(d, { 0, 2 });
        dk::Click(d, IDC_AD_EDIT);                /* would block here if a dialog opened */
        dk::Double_Click(d, IDC_AD_USERS);
        Select(d, {});
        dk::Click(d, IDC_AD_EDIT);
        EXPECT_EQ(3u, dk::Items(d, IDC_AD_USERS).size());
        Select(d, { 0, 2 });
        dk::Click(d, IDC_AD_DELETE);
        EXPECT_EQ(std::vector<std::string>{ "operator" }, dk::Items(d, IDC_AD_USERS));
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(Run(s));
    EXPECT_EQ("operator 06736869667432\r\n", tk::Read_File(usersFile));
}

struct UserRefusal { const char *name, *user, *password, *confirm, *text; int focus; bool passwordsEmptied; };

TEST_F(Admin, RefusedUsersAreToldInAnErrorBoxAndTheUserDialogStaysOpen)
{
    const UserRefusal cases[] = {
        { "no name", "", "pw", "pw", "Please enter a username", IDC_US_NAME, false },
        { "blanks only", "   ", "pw", "pw", "Please enter a username", IDC_US_NAME, false },
        { "a name taken, other letters", "GUEST", "pw", "pw", "The username already exists", IDC_US_NAME, false },
        { "confirmation differs", "carl", "secret1", "secret2", "The confirmation doesn't match the password",
          IDC_US_PASSWORD, true },
    };
    for (const UserRefusal &c : cases) {
        SCOPED_TRACE(c.name);
        tk::MsgRecorder boxes;
        dk::Script s;
        s.On(k_Admin, [](HWND d) { dk::Click(d, IDC_AD_ADD); });
        s.On("Add user", [&](HWND u) {
            Fill_User(u, c.user, c.password, c.confirm);
            ASSERT_EQ(1u, boxes.count());
            EXPECT_EQ(c.text, boxes.last().text);
            EXPECT_EQ("Error", boxes.last().caption);
            EXPECT_EQ((UINT)MB_OK, boxes.last().flags & (MB_TYPEMASK | MB_ICONMASK)) << "a plain box";
            EXPECT_EQ(GetDlgItem(u, c.focus), GetFocus());
            EXPECT_EQ(c.passwordsEmptied ? "" : c.password, dk::Text(u, IDC_US_PASSWORD));
            EXPECT_EQ(c.passwordsEmptied ? "" : c.confirm, dk::Text(u, IDC_US_CONFIRM));
            dk::Click(u, IDCANCEL);
        });
        s.On(k_Admin, [](HWND d) {
            EXPECT_EQ(3u, dk::Items(d, IDC_AD_USERS).size());
            dk::Click(d, IDOK);
        });
        EXPECT_TRUE(Run(s));
        EXPECT_EQ(k_Demo, tk::Read_File(usersFile));
    }
}

TEST_F(Admin, NamesAndPasswordsKeepToTheirLength)
{
    const std::string name32(32, 'n'), password32(32, 'p');
    dk::Script s;
    s.On(k_Admin, [](HWND d) { dk::Click(d, IDC_AD_ADD); });
    s.On("Add user", [&](HWND u) {
        dk::Type(u, IDC_US_NAME, name32 + "xy");
        EXPECT_EQ(name32, dk::Text(u, IDC_US_NAME));
        dk::Type(u, IDC_US_PASSWORD, password32 + "q");
        dk::Type(u, IDC_US_CONFIRM, password32 + "r");
        EXPECT_EQ(password32, dk::Text(u, IDC_US_PASSWORD)) << "what can be typed is what is kept";
        dk::Click(u, IDOK);
    });
    s.On(k_Admin, [](HWND d) { dk::Click(d, IDOK); });
    EXPECT_TRUE(Run(s));
    std::string encoded = "20";
    for (int i = 0; i < 32; i++) encoded += "70";
    EXPECT_EQ(std::string(k_Demo) + name32 + " " + encoded + "\r\n", tk::Read_File(usersFile));
}

TEST_F(Admin, AUserReadFromTheFileIsKeptAsItIsWhenEditedUntouched)
{
    /* written by another tool: longer than can be typed, with characters that cannot be typed */
    const std::string name(40, 'L');
    tk::Write_File(usersFile, name + " 03612D62\r\n");
    dk::Script s;
    s.On(k_Admin, [](HWND d) {
        Select(d, { 0 });
        dk::Click(d, IDC_AD_EDIT);
    });
    s.On("Edit user", [](HWND u) { dk::Click(u, IDOK); });
    s.On(k_Admin, [](HWND d) { dk::Click(d, IDOK); });
    EXPECT_TRUE(Run(s));
    EXPECT_EQ(name + " 03612D62\r\n", tk::Read_File(usersFile));
}

TEST_F(Admin, LoginCanOnlyBeRequiredOfUsers)
{
    const struct { const char *name; std::string file; bool tick; BOOL login; } cases[] = {
        { "ticked with users", k_Demo, true, TRUE },
        { "ticked without users", "", true, FALSE },
        { "not ticked", k_Demo, false, FALSE },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        tk::Write_File(usersFile, c.file);
        REQUIRE_LOGIN = FALSE;
        Forget_LoginSwitch();
        dk::Script s;
        s.On(k_Admin, [&](HWND d) {
            if (c.tick) dk::Click(d, IDC_AD_LOGIN);
            dk::Click(d, IDOK);
        });
        EXPECT_TRUE(Run(s));
        EXPECT_EQ(c.login, REQUIRE_LOGIN);
    }
    /* the switch reaches the preferences file with the next save of the preferences */
    EXPECT_FALSE(File_Exists(prefs.c_str()));
    tk::Write_File(usersFile, k_Demo);
    dk::Script s;
    s.On(k_Admin, [](HWND d) {
        dk::Click(d, IDC_AD_LOGIN);
        dk::Click(d, IDOK);
    });
    s.On("General Preferences", [](HWND d) { dk::Click(d, IDOK); });
    EXPECT_TRUE(s.Run([] {
        Edit_Users(NULL);
        return (INT_PTR)Edit_Globals(NULL);
    }));
    EXPECT_NE(std::string::npos, tk::Read_File(prefs).find("\r\nREQUIRE_LOGIN TRUE\r\n"));
}

TEST_F(Admin, CancelForgetsAdditionsEditsAndDeletions)
{
    dk::Script s;
    s.On(k_Admin, [](HWND d) { dk::Click(d, IDC_AD_ADD); });
    s.On("Add user", [](HWND u) { Fill_User(u, "carl", "", ""); });
    s.On(k_Admin, [](HWND d) {
        Select(d, { 0 });
        dk::Click(d, IDC_AD_EDIT);
    });
    s.On("Edit user", [](HWND u) { Fill_User(u, "root", "x", "x"); });
    s.On(k_Admin, [](HWND d) {
        Select(d, { 1 });
        dk::Click(d, IDC_AD_DELETE);
        dk::Click(d, IDC_AD_LOGIN);
        EXPECT_EQ((std::vector<std::string>{ "root", "guest", "carl" }), dk::Items(d, IDC_AD_USERS));
        dk::Click(d, IDCANCEL);
    });
    EXPECT_FALSE(Run(s));
    EXPECT_EQ(k_Demo, tk::Read_File(usersFile));
    EXPECT_FALSE(REQUIRE_LOGIN);
    /* and the next opening shows the file again */
    dk::Script again;
    again.On(k_Admin, [](HWND d) {
        EXPECT_EQ((std::vector<std::string>{ "admin", "operator", "guest" }), dk::Items(d, IDC_AD_USERS));
        dk::Click(d, IDCANCEL);
    });
    Run(again);
}

TEST_F(Admin, CancelInTheUserDialogChangesNothing)
{
    dk::Script s;
    s.On(k_Admin, [](HWND d) {
        Select(d, { 0 });
        dk::Click(d, IDC_AD_EDIT);
    });
    s.On("Edit user", [](HWND u) {
        dk::Type(u, IDC_US_NAME, "changed");
        dk::Click(u, IDCANCEL);
    });
    s.On(k_Admin, [](HWND d) {
        EXPECT_EQ("admin", dk::Items(d, IDC_AD_USERS)[0]);
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(Run(s));
    EXPECT_EQ(k_Demo, tk::Read_File(usersFile));
}

TEST_F(Admin, AFileThatCannotBeWrittenIsToldAndTheListIsKept)
{
    Set_ReplaceRetryTime(100);
    tk::MsgRecorder boxes;
    dk::Script s;
    s.On(k_Admin, [](HWND d) { dk::Click(d, IDC_AD_ADD); });
    s.On("Add user", [](HWND u) { Fill_User(u, "carl", "c", "c"); });
    s.On(k_Admin, [&](HWND d) {
        dk::Click(d, IDC_AD_LOGIN);
        HANDLE held = CreateFileA(usersFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, held);
        dk::Click(d, IDOK);
        CloseHandle(held);
        ASSERT_EQ(1u, boxes.count());
        const std::string want = "Could not write the users file. The users were not saved.\r\n\"" + usersFile +
                                 "\"\r\n\r\nError: ";
        EXPECT_EQ(want, boxes.last().text.substr(0, want.size()));
        EXPECT_EQ(MB_ICONSTOP, tk::Icon_Of(boxes.last().flags));
        EXPECT_EQ(k_Demo, tk::Read_File(usersFile));
        EXPECT_FALSE(REQUIRE_LOGIN) << "the switch waits for the users";
        EXPECT_EQ((std::vector<std::string>{ "admin", "operator", "guest", "carl" }), dk::Items(d, IDC_AD_USERS));
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(Run(s));
    EXPECT_EQ(std::string(k_Demo) + "carl 0163\r\n", tk::Read_File(usersFile));
    EXPECT_TRUE(REQUIRE_LOGIN);
    /* no temporary file left; the save that went through is in the change log */
    EXPECT_EQ((std::vector<std::string>{ "System", "Users.cfg", "logs" }), tk::List_Dir(home.home()));
    EXPECT_EQ((std::vector<std::string>{ "Editor Changes.log" }), tk::List_Dir(home / "logs"));
}

TEST_F(Admin, AFileThatCannotBeReadIsNotWrittenOver)
{
    Set_ReplaceRetryTime(50);
    tk::MsgRecorder boxes;
    HANDLE held = CreateFileA(usersFile.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    dk::Script none;
    EXPECT_FALSE(none.Run([] { return (INT_PTR)Edit_Users(NULL); }, 3000));
    CloseHandle(held);
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("Could not read the users file. The users cannot be changed now.\r\n\"" + usersFile + "\"",
              boxes.last().text);
    EXPECT_EQ(k_Demo, tk::Read_File(usersFile));

    /* no file at all is an empty list */
    DeleteFileA(usersFile.c_str());
    dk::Script s;
    s.On(k_Admin, [](HWND d) {
        EXPECT_TRUE(dk::Items(d, IDC_AD_USERS).empty());
        dk::Click(d, IDOK);
    });
    EXPECT_TRUE(Run(s));
    EXPECT_EQ("", tk::Read_File(usersFile));
}

} // namespace
