#include "support/testkit.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/text.h"
#include "config/model.h"
#include "config/users.h"

namespace {

std::vector<std::string> User_Names()
{
    std::vector<std::string> out;
    for (int i = 0; i < userCount; i++) out.push_back(users[i].name);
    return out;
}

class Users : public tk::HomeTest {
protected:
    std::string file;
    void SetUp() override
    {
        tk::HomeTest::SetUp();
        file = home / "Users.cfg";
    }
};

} // namespace

struct CodeCase { const char *password, *encoded; };
static const CodeCase k_Codes[] = {
    { "abc",       "03616263" },
    { "",          "00" },
    { "Zz09",      "045A7A3039" },       /* upper-case digits */
};

TEST(Password, EncodesLengthThenBytesInUpperCaseHex)
{
    for (const CodeCase &c : k_Codes) {
        SCOPED_TRACE(c.password);
        char out[80];
        EXPECT_TRUE(Encode_Password(c.password, out, sizeof out));
        EXPECT_STREQ(c.encoded, out);
        char back[40];
        EXPECT_TRUE(Decode_Password(c.encoded, back, sizeof back));
        EXPECT_STREQ(c.password, back);
    }
    /* the length prefix is the length modulo 256 */
    std::string longPw(300, 'a');
    std::vector<char> out(2 + 600 + 1);
    EXPECT_TRUE(Encode_Password(longPw.c_str(), out.data(), out.size()));
    EXPECT_EQ(0, strncmp(out.data(), "2C6161", 6));
    /* a buffer too small is cut, terminated, and said so */
    char small[5];
    memset(small, 'x', sizeof small);
    EXPECT_FALSE(Encode_Password("abc", small, sizeof small));
    EXPECT_STREQ("0361", small);
}

struct DecodeCase { const char *name, *encoded; BOOL ok; const char *password; };
static const DecodeCase k_Decode[] = {
    { "prefix larger than the pairs",  "05616263",  TRUE,  "abc" },
    { "prefix smaller than the pairs", "01616263",  TRUE,  "abc" },
    { "lower-case digits",             "0a616a63",  TRUE,  "ajc" },
    { "empty password",                "00",        TRUE,  ""    },
    { "not a hex digit in the pairs",  "03616G63",  FALSE, ""    },
    { "not a hex digit in the prefix", "0G616263",  FALSE, ""    },
    { "odd number of digits",          "0361626",   FALSE, ""    },
    { "prefix alone is cut",           "0",         FALSE, ""    },
    { "nothing",                       "",          FALSE, ""    },
};

TEST(Password, DecodingTrustsThePairsAndRejectsAnyBadDigit)
{
    for (const DecodeCase &c : k_Decode) {
        SCOPED_TRACE(c.name);
        char out[40];
        EXPECT_EQ(c.ok, Decode_Password(c.encoded, out, sizeof out));
        EXPECT_STREQ(c.password, out);
    }
    char small[3];        /* room for two characters only */
    EXPECT_FALSE(Decode_Password("03616263", small, sizeof small));
    EXPECT_TRUE(Decode_Password("026162", small, sizeof small));
    EXPECT_STREQ("ab", small);
}

TEST_F(Users, LoadKeepsTheGoodLinesInOrderAndSkipsTheBadOnes)
{
    tk::Write_File(file, tk::Read_File(tk::Fixture("users/mixed.cfg")));
    ASSERT_TRUE(Add_User("left", "from before"));
    tk::MsgRecorder rec;
    EXPECT_TRUE(Load_Users());
    std::vector<std::string> want = { "admin", "guest", "lower", "shortprefix", "last" };
    EXPECT_EQ(want, User_Names());
    ASSERT_EQ(5, userCount);
    EXPECT_STREQ("admin", users[0].password);
    EXPECT_STREQ("", users[1].password);
    EXPECT_STREQ("aj", users[2].password);
    EXPECT_STREQ("abc", users[3].password);
    EXPECT_STREQ("xyz", users[4].password);
    EXPECT_EQ(0u, rec.count()) << "bad lines are skipped without a message";
}

TEST_F(Users, MissingFileGivesAnEmptyListAndEmptiesTheOldOne)
{
    ASSERT_TRUE(Add_User("old", "pw"));
    EXPECT_FALSE(Load_Users());
    EXPECT_EQ(0, userCount);
    EXPECT_EQ(nullptr, users);
}

TEST_F(Users, StoreWritesOneLinePerUserExactly)
{
    ASSERT_TRUE(Add_User("admin", "abc"));
    ASSERT_TRUE(Add_User("guest", ""));
    ASSERT_TRUE(Add_User("Op7", "Zz09"));
    tk::MsgRecorder rec;
    ASSERT_TRUE(Store_Users());
    EXPECT_EQ(tk::Crlf("admin 03616263\nguest 00\nOp7 045A7A3039\n"), tk::Read_File(file));
    EXPECT_EQ((std::vector<std::string>{ "System", "Users.cfg" }), tk::List_Dir(home.home()));
    EXPECT_EQ(0u, rec.count());
}

TEST_F(Users, NoUsersLeaveAnEmptyFile)
{
    tk::Write_File(file, "someone 00\r\n");
    ASSERT_TRUE(Store_Users());
    bool ok = false;
    EXPECT_EQ("", tk::Read_File(file, &ok));
    EXPECT_TRUE(ok);
}

TEST_F(Users, LongestNameAndPasswordRoundTrip)
{
    std::string name(32, 'N'), password = "0123456789abcdefghijABCDEFGHIJxy";
    ASSERT_EQ(32u, password.size());
    ASSERT_TRUE(Add_User(name.c_str(), password.c_str()));
    ASSERT_TRUE(Store_Users());
    std::string bytes = tk::Read_File(file);
    ASSERT_EQ(32u + 1 + 66 + 2, bytes.size());
    EXPECT_EQ(name + " 20", bytes.substr(0, 35));
    EXPECT_EQ("\r\n", bytes.substr(99));

    Free_Users();
    ASSERT_TRUE(Load_Users());
    ASSERT_EQ(1, userCount);
    EXPECT_EQ(name, users[0].name);
    EXPECT_EQ(password, users[0].password);
}

TEST_F(Users, EntriesLongerThanTheDialogAllowsAreKeptWhole)
{
    /* Written by hand or by another tool: nothing may overrun, and nothing is cut or lost. */
    std::string name(300, 'n'), password(200, 'p');
    char enc[512];
    ASSERT_TRUE(Encode_Password(password.c_str(), enc, sizeof enc));
    tk::Write_File(file, tk::Crlf(name + " " + enc + "\nshort 00\n"));
    ASSERT_TRUE(Load_Users());
    ASSERT_EQ(2, userCount);
    EXPECT_EQ(name, users[0].name);
    EXPECT_EQ(password, users[0].password);
    std::string before = tk::Read_File(file);
    ASSERT_TRUE(Store_Users());
    EXPECT_EQ(before, tk::Read_File(file));
}

TEST_F(Users, FailedStoreLeavesTheFileAsItWasAndSaysNothing)
{
    tk::Write_File(file, "kept 00\r\n");
    ASSERT_TRUE(Add_User("new", "x"));
    Set_ReplaceRetryTime(0);
    /* A reader that does not share deletion: the new content cannot be put in place. */
    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    tk::MsgRecorder rec;
    EXPECT_FALSE(Store_Users());
    CloseHandle(held);
    EXPECT_EQ("kept 00\r\n", tk::Read_File(file));
    EXPECT_EQ(0u, rec.count());
    EXPECT_EQ((std::vector<std::string>{ "System", "Users.cfg" }), tk::List_Dir(home.home()))
        << "no temporary file is left behind";

    /* no home folder at all */
    Copy_Field(homePathBuffer, (home.home() + "\\missing").c_str());
    EXPECT_FALSE(Store_Users());
    EXPECT_EQ(0u, rec.count());
}

TEST_F(Users, AddReplaceRemoveKeepTheOrderOfTheList)
{
    ASSERT_TRUE(Add_User("anna", "1"));
    ASSERT_TRUE(Add_User("bert", "2"));
    ASSERT_TRUE(Add_User("carl", "3"));
    EXPECT_EQ(1, Find_User("BERT"));
    EXPECT_EQ(-1, Find_User("ber"));

    ASSERT_TRUE(Replace_User(1, "Bob", "22"));
    EXPECT_EQ((std::vector<std::string>{ "anna", "Bob", "carl" }), User_Names());
    EXPECT_STREQ("22", users[1].password);
    EXPECT_EQ(-1, Find_User("bert"));

    ASSERT_TRUE(Remove_User(0));
    EXPECT_EQ((std::vector<std::string>{ "Bob", "carl" }), User_Names());
    EXPECT_STREQ("22", users[0].password);
    ASSERT_TRUE(Remove_User(1));
    ASSERT_TRUE(Remove_User(0));
    EXPECT_EQ(0, userCount);
    EXPECT_EQ(nullptr, users);
}

TEST_F(Users, RefusedChangesLeaveTheListAlone)
{
    ASSERT_TRUE(Add_User("anna", "1"));
    /* a name the file could not hold as one word */
    for (const char *bad : { "", "an na", "tab\there", "line\nbreak" }) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(Add_User(bad, "x"));
        EXPECT_FALSE(Replace_User(0, bad, "x"));
    }
    EXPECT_FALSE(Replace_User(1, "bert", "x"));
    EXPECT_FALSE(Replace_User(-1, "bert", "x"));
    EXPECT_FALSE(Remove_User(1));
    EXPECT_FALSE(Remove_User(-1));
    EXPECT_EQ(std::vector<std::string>{ "anna" }, User_Names());
    EXPECT_STREQ("1", users[0].password);
}

TEST_F(Users, DemoFileIsExactlyWhatStoreWrites)
{
    const std::string demo = tk::Crlf(tk::Read_File(tk::Source_Path("demo\\Users.cfg")));
    ASSERT_FALSE(demo.empty());
    tk::Write_File(file, demo);
    ASSERT_TRUE(Load_Users());
    EXPECT_EQ(3, userCount);
    ASSERT_TRUE(Store_Users());
    EXPECT_EQ(demo, tk::Read_File(file));
}

class UsersOnFaultDisks : public Users {};

TEST_F(UsersOnFaultDisks, StoreIntoAReadOnlyFolderFailsAndKeepsTheFile)
{
    /* R: is a read-only view of U: (set up by the test run when the machine allows it) */
    NEED_FAULT_DRIVE('R', "read-only folder R:");
    const std::string name = "edt_users_" + std::to_string(GetCurrentProcessId());
    tk::Make_Dirs("U:\\" + name);
    tk::Write_File("U:\\" + name + "\\Users.cfg", "kept 00\r\n");
    Copy_Field(homePathBuffer, ("R:\\" + name).c_str());
    ASSERT_TRUE(Add_User("new", "x"));
    tk::MsgRecorder rec;
    EXPECT_FALSE(Store_Users());
    EXPECT_EQ(0u, rec.count());
    EXPECT_EQ("kept 00\r\n", tk::Read_File("R:\\" + name + "\\Users.cfg"));
    EXPECT_EQ(std::vector<std::string>{ "Users.cfg" }, tk::List_Dir("U:\\" + name));
    tk::Remove_Tree("U:\\" + name);
}
