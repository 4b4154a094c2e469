/* User administration in a real Editor.exe on the demo installation, opened from the main window
   and driven from outside by keyboard as an operator would; "Users.cfg" and the rest of the
   installation compared byte for byte. */
#include "support/e2ekit.h"
#include "support/dlgkit.h"
#include "resources/resource.h"

namespace {

using e2e::Tree;

const char k_Admin[] = "Administration";
const std::vector<std::string> k_DemoUsers = { "admin", "operator", "guest" };
/* The demo's users file as the editor writes it (the passwords encoded: their length, then
   their bytes, in hexadecimal). */
const char k_DemoUsersFile[] = "admin 056F73747261\r\noperator 06736869667432\r\nguest 00\r\n";

class Administration : public e2e::DemoTest {
protected:
    /* Alt+M in the main window ("Ad&ministration..."): the Administration dialog. */
    HWND Open_Administration(const tk::Child &editor, HWND main)
    {
        rk::Focus(main, IDC_MAIN_TARGETS);
        rk::Mnemonic(main, 'm');
        HWND admin = rk::Find_Window(editor.pid(), k_Admin);
        EXPECT_NE(nullptr, admin) << "no Administration dialog";
        if (admin != nullptr) {
            EXPECT_EQ(main, GetWindow(admin, GW_OWNER)) << "modal over the main window";
        }
        return admin;
    }
    /* "&Add" (Alt+A), then the user typed into the "Add user" dialog; the dialog is left open. */
    HWND Type_NewUser(const tk::Child &editor, HWND admin, const std::string &name, const std::string &password)
    {
        rk::Mnemonic(admin, 'a');
        HWND user = rk::Find_Window(editor.pid(), "Add user");
        EXPECT_NE(nullptr, user) << "no Add user dialog";
        if (user == nullptr) return nullptr;
        EXPECT_EQ(IDC_US_NAME, rk::Focus_Id(user)) << "the operator starts with the name";
        rk::Type(user, IDC_US_NAME, name);
        rk::Type(user, IDC_US_PASSWORD, password);
        rk::Type(user, IDC_US_CONFIRM, password);
        return user;
    }
};

TEST_F(Administration, AUserAddedFromTheMainWindowIsStoredWithItsEncodedPassword)
{
    const Tree reference = Update_Reference();
    ASSERT_EQ(k_DemoUsersFile, reference.at("Users.cfg"));
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    HWND admin = Open_Administration(editor, main);
    ASSERT_NE(nullptr, admin);
    EXPECT_EQ(k_DemoUsers, rk::Items(admin, IDC_AD_USERS));
    EXPECT_FALSE(rk::Checked(admin, IDC_AD_LOGIN));

    HWND user = Type_NewUser(editor, admin, "nightshift", "Night42");
    ASSERT_NE(nullptr, user);
    dk::Screenshot(user, "e2e_add_user");
    rk::Key_To_Focus(user, VK_RETURN);                 /* Enter: the User dialog's OK */
    ASSERT_TRUE(rk::Wait_Gone(user));
    ASSERT_TRUE(e2e::Wait_Enabled(admin));
    EXPECT_EQ((std::vector<std::string>{ "admin", "operator", "guest", "nightshift" }), rk::Items(admin, IDC_AD_USERS));
    rk::Mnemonic(admin, 'r');                          /* "&Require Ostra user login" */
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::Checked(admin, IDC_AD_LOGIN); }, 5000));
    dk::Screenshot(admin, "e2e_administration");
    rk::Press(admin, IDOK);
    ASSERT_TRUE(rk::Wait_Gone(admin));
    ASSERT_TRUE(e2e::Wait_Enabled(main));

    /* the users file is written by OK in Administration: "Night42" is 7 characters, "4E 69 67
       68 74 34 32" */
    const std::string users = std::string(k_DemoUsersFile) + "nightshift 074E696768743432\r\n";
    EXPECT_EQ(users, tk::Read_File(home / "Users.cfg"));

    /* the log-in switch reaches the preferences file with the main window's OK */
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, {}, &seen)) << "OK stores and ends";
    EXPECT_TRUE(seen.empty()) << seen[0].text;
    Tree expected = reference;
    expected["Users.cfg"] = users;
    const std::string off = "\r\nREQUIRE_LOGIN FALSE\r\n", on = "\r\nREQUIRE_LOGIN TRUE\r\n";
    std::string &prefs = expected["Preferences.cfg"];
    size_t at = prefs.find(off);
    ASSERT_NE(std::string::npos, at);
    prefs.replace(at, off.size(), on);
    Tree written = e2e::Tree_Of(home.path());
    EXPECT_EQ(expected["Preferences.cfg"], written["Preferences.cfg"]);
    EXPECT_TRUE(written == expected) << e2e::Differences(written, expected, "the installation", "the expected one");
}

TEST_F(Administration, CancelInTheUserDialogAndInAdministrationChangesNothing)
{
    const Tree reference = Update_Reference();
    ASSERT_EQ(k_DemoUsersFile, tk::Read_File(home / "Users.cfg"));
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);

    /* a user typed, then Esc in the User dialog; OK in Administration writes the same users */
    HWND admin = Open_Administration(editor, main);
    ASSERT_NE(nullptr, admin);
    HWND user = Type_NewUser(editor, admin, "nightshift", "Night42");
    ASSERT_NE(nullptr, user);
    rk::Key_To_Focus(user, VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Gone(user));
    ASSERT_TRUE(e2e::Wait_Enabled(admin));
    EXPECT_EQ(k_DemoUsers, rk::Items(admin, IDC_AD_USERS));
    rk::Press(admin, IDOK);
    ASSERT_TRUE(rk::Wait_Gone(admin));
    EXPECT_EQ(k_DemoUsersFile, tk::Read_File(home / "Users.cfg"));

    /* a user added and the log-in switch ticked, then Esc in Administration */
    ASSERT_TRUE(e2e::Wait_Enabled(main));
    admin = Open_Administration(editor, main);
    ASSERT_NE(nullptr, admin);
    user = Type_NewUser(editor, admin, "nightshift", "Night42");
    ASSERT_NE(nullptr, user);
    rk::Key_To_Focus(user, VK_RETURN);
    ASSERT_TRUE(rk::Wait_Gone(user));
    ASSERT_TRUE(e2e::Wait_Enabled(admin));
    EXPECT_EQ(4u, rk::Items(admin, IDC_AD_USERS).size());
    rk::Set_Check(admin, IDC_AD_LOGIN, true);
    rk::Key_To_Focus(admin, VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Gone(admin));
    EXPECT_EQ(k_DemoUsersFile, tk::Read_File(home / "Users.cfg"));

    /* opened again, Administration shows what the file holds */
    ASSERT_TRUE(e2e::Wait_Enabled(main));
    admin = Open_Administration(editor, main);
    ASSERT_NE(nullptr, admin);
    EXPECT_EQ(k_DemoUsers, rk::Items(admin, IDC_AD_USERS));
    EXPECT_FALSE(rk::Checked(admin, IDC_AD_LOGIN));
    rk::Press(admin, IDCANCEL);
    ASSERT_TRUE(rk::Wait_Gone(admin));

    /* and OK in the main window stores what it stores without any of that */
    ASSERT_TRUE(e2e::Wait_Enabled(main));
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, {}, &seen)) << "OK stores and ends";
    EXPECT_TRUE(seen.empty()) << seen[0].text;
    Tree written = e2e::Tree_Of(home.path());
    EXPECT_TRUE(written == reference) << e2e::Differences(written, reference, "the installation", "what -update writes");
}

} // namespace
