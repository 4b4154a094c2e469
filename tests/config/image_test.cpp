/* The configuration as a value: an image is a whole copy held apart from the live arrays, putting
   it back restores every byte, and two images compare by what they hold. */
#include "image_kit.h"

namespace {

class ConfigImage : public SmallConfig {
protected:
    /* Everything an image holds, in the live configuration, as bytes and texts. */
    std::string Live_State()
    {
        std::string s = Model_Bytes();
        PREFS_VALUES p;
        Take_LivePrefs(&p);
        for (int i = 0; i < Field_Count(FT_PREFS); i++) {
            char value[1024];
            Format_FieldValue(Field_At(FT_PREFS, i), &p, nullptr, value, sizeof value);
            s += std::string(value) + "|";
        }
        s += std::to_string(lbDebugLevel) + "|";
        for (int i = 0; i < userCount; i++) s += std::string(users[i].name) + "=" + users[i].password + "|";
        return s;
    }
    /* Changes every part of the live configuration. */
    void Change_Everything()
    {
        Delete_Target(PROOFS);
        Move_Target(1, 0);
        Copy_Field(targets[0].hotDir, "D:\\Elsewhere");
        Init_NewTarget(&targets[targetCount], "C:\\Hot\\New");
        targetCount++;
        lbqs[0].copies = 9;
        Delete_LBQ(0);
        apps[RIP].free = TRUE;
        appGroups[0].parallel = TRUE;
        SpoolerGlobals.SPOOLER_FILE_SETTLE_TIME = 99;
        Copy_Field(PLATE_SEARCH_APP, "\"C:\\Find.exe\"");
        REQUIRE_LOGIN = TRUE;
        lbDebugLevel = 4;
        Remove_User(0);
        Replace_User(0, "carl", "pw");
        Add_User("dora", "pw2");
    }
};

TEST_F(ConfigImage, PuttingAnImageBackRestoresEveryByteOfTheLiveConfiguration)
{
    lbDebugLevel = 2;
    REQUIRE_LOGIN = TRUE;
    std::string before = Live_State();
    Image img = Take();
    ASSERT_TRUE(img);
    Change_Everything();
    ASSERT_NE(before, Live_State());

    ASSERT_TRUE(Put_ConfigImage(img.get()));

    EXPECT_EQ(before, Live_State());
    EXPECT_EQ(2, userCount);
    EXPECT_STREQ("secret1", users[0].password);
    /* the image stays the caller's: putting it back twice gives the same */
    Change_Everything();
    ASSERT_TRUE(Put_ConfigImage(img.get()));
    EXPECT_EQ(before, Live_State());
}

TEST_F(ConfigImage, AnImageIsACopyThatTheLiveConfigurationDoesNotReach)
{
    Image img = Take();
    Change_Everything();
    EXPECT_EQ(3, img->targetCount);
    EXPECT_EQ(1, img->lbqCount);
    EXPECT_STREQ("Proofs", img->targets[PROOFS].name);
    EXPECT_EQ(15, img->prefs.globals.SPOOLER_FILE_SETTLE_TIME);
    EXPECT_STREQ("", img->prefs.plateSearchApp);
    EXPECT_FALSE(img->prefs.requireLogin);
    ASSERT_EQ(2, img->userCount);
    EXPECT_STREQ("anna", img->users[0].name);            /* deep copies: the live list was freed and replaced */
    EXPECT_STREQ("ben", img->users[1].name);
    EXPECT_NE(users[0].name, img->users[0].name);
}

TEST_F(ConfigImage, AnImageOfNoUsersPutsBackAnEmptyList)
{
    Free_Users();
    Image img = Take();
    ASSERT_TRUE(img);
    EXPECT_EQ(nullptr, img->users);
    Add_User("eve", "x");
    ASSERT_TRUE(Put_ConfigImage(img.get()));
    EXPECT_EQ(0, userCount);
    EXPECT_EQ(nullptr, users);
}

TEST_F(ConfigImage, ANewImageHoldsAnEmptyConfiguration)
{
    Image empty(New_ConfigImage());
    ASSERT_TRUE(empty);
    Reset_Configuration();
    Free_Users();
    PREFS_VALUES none;
    memset(&none, 0, sizeof none);
    none.globals.COMMS_SERVER_PORT = -1;
    Put_LivePrefs(&none);
    lbDebugLevel = 0;
    Image live = Take();
    EXPECT_TRUE(Equal_ConfigImages(empty.get(), live.get()));
}

/* One change of each part makes two images differ; what is not configuration does not. */
struct EqualCase {
    const char *name;
    void (*change)(CONFIG_IMAGE *img);
    bool equal;
};
const EqualCase k_Equal[] = {
    { "a queue's copies", [](CONFIG_IMAGE *c) { c->targets[1].copies = 3; }, false },
    { "a queue's name", [](CONFIG_IMAGE *c) { Copy_Field(c->targets[1].name, "Plates2"); }, false },
    { "a queue's number at load", [](CONFIG_IMAGE *c) { c->targets[1].loadIndex = -1; }, false },
    { "the number of queues", [](CONFIG_IMAGE *c) { c->targetCount--; }, false },
    { "an input queue's output", [](CONFIG_IMAGE *c) { c->lbqs[0].outputs[1] = 1; }, false },
    { "an input queue's rule", [](CONFIG_IMAGE *c) { c->lbqs[0].jobReassignmentRule = 3; }, false },
    { "an application's arguments", [](CONFIG_IMAGE *c) { Copy_Field(c->apps[0].args, "-y"); }, false },
    { "an application slot taken", [](CONFIG_IMAGE *c) { c->apps[7].free = FALSE; }, false },
    { "a group's order", [](CONFIG_IMAGE *c) { c->appGroups[0].parallel = TRUE; }, false },
    { "a deleted queue", [](CONFIG_IMAGE *c) { c->deletedQueues[5] = TRUE; }, false },
    { "a preference", [](CONFIG_IMAGE *c) { c->prefs.globals.SPOOLER_PIM = TRUE; }, false },
    { "the port's hex flag", [](CONFIG_IMAGE *c) { c->prefs.globals.portIsHex = TRUE; }, false },
    { "the log-in switch", [](CONFIG_IMAGE *c) { c->prefs.requireLogin = TRUE; }, false },
    { "the debug level", [](CONFIG_IMAGE *c) { c->lbDebugLevel = 3; }, false },
    { "a password", [](CONFIG_IMAGE *c) { free(c->users[1].password); c->users[1].password = _strdup("x"); }, false },
    { "bytes past a text's end", [](CONFIG_IMAGE *c) { c->targets[1].name[100] = 'z'; }, true },
    { "a queue slot past the count", [](CONFIG_IMAGE *c) { c->targets[150].copies = 77; }, true },
    { "a free application slot", [](CONFIG_IMAGE *c) { Copy_Field(c->apps[50].path, "C:\\x.exe"); }, true },
    { "an icon handle", [](CONFIG_IMAGE *c) { c->targets[0].icon = (HICON)(INT_PTR)0x1234; }, true },
};

TEST_F(ConfigImage, TwoImagesAreEqualWhenTheyHoldTheSameConfiguration)
{
    Image a = Take();
    for (const EqualCase &c : k_Equal) {
        SCOPED_TRACE(c.name);
        Image b = Take();
        EXPECT_TRUE(Equal_ConfigImages(a.get(), b.get()));
        c.change(b.get());
        EXPECT_EQ(c.equal, (bool)Equal_ConfigImages(a.get(), b.get()));
        EXPECT_EQ(c.equal, (bool)Equal_ConfigImages(b.get(), a.get()));
    }
}

} // namespace
