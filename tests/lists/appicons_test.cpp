#include "support/testkit.h"
#include "common/appstate.h"
#include "config/appsfile.h"
#include "config/model.h"
#include "lists/appicons.h"
#include "resources/resource.h"

namespace {

/* The applications file of the home, as the operator's installation holds it (CR LF). */
class AppIcons : public tk::HomeTest {
protected:
    void Put_Apps(const std::string &lfText) const { tk::Write_File(Path("Applications.cfg"), tk::Crlf(lfText)); }
};

} // namespace

TEST_F(AppIcons, ComeFromTheFileOrTheProgram)
{
    const std::string exe = tk::Editor_Exe();
    Put_Apps("\"" + exe + "\"::P::N\n\"C:\\No\\Such.exe\"::P::N\n0,,1:0::P::N\n\"" + exe + "\"::P::N");
    ASSERT_TRUE(Get_AppsData());
    for (int i = 0; i < 4; i++) EXPECT_EQ(nullptr, apps[i].icon) << "reading takes no icon: " << i;
    HICON program = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_PROGRAM));
    ASSERT_NE(nullptr, program);
    EXPECT_EQ(program, App_Icon(1)) << "asked for one by one";
    EXPECT_EQ(program, sharedIcons[ICON_PROGRAM]) << "the program icon, as it is published";
    EXPECT_EQ(nullptr, App_Icon(2)) << "a group's slot";
    EXPECT_EQ(nullptr, apps[0].icon);
    Assign_AppIcons();
    EXPECT_NE(nullptr, apps[0].icon);
    EXPECT_NE(program, apps[0].icon);
    EXPECT_EQ(program, apps[1].icon);
    EXPECT_EQ(nullptr, apps[3].icon) << "icons stop at the first free slot";
    EXPECT_EQ(nullptr, App_Icon(3));
    DestroyIcon(apps[0].icon);

    Reset_Configuration();
    Put_Apps("1,,2:0::P::N\n\"" + exe + "\"::P::N\n\"" + exe + "\"::P::N");
    ASSERT_TRUE(Get_AppsData());
    Assign_AppIcons();
    EXPECT_EQ(nullptr, apps[1].icon) << "entry 0 is a group: no application gets an icon";
    EXPECT_EQ(nullptr, App_Icon(1));
}

TEST_F(AppIcons, AreTakenAFewAtATime)
{
    const std::string exe = tk::Editor_Exe();
    Put_Apps("\"" + exe + "\"::P::N\n\"C:\\No\\Such.exe\"::P::N\n\"" + exe + "\"::P::N");
    ASSERT_TRUE(Get_AppsData());
    EXPECT_FALSE(Assign_SomeAppIcons(2)) << "one is left";
    EXPECT_NE(nullptr, apps[0].icon);
    EXPECT_NE(nullptr, apps[1].icon);
    EXPECT_EQ(nullptr, apps[2].icon);
    EXPECT_TRUE(Assign_SomeAppIcons(2));
    EXPECT_NE(nullptr, apps[2].icon);
    EXPECT_TRUE(Assign_SomeAppIcons(2)) << "none left to take";
    DestroyIcon(apps[0].icon);
    DestroyIcon(apps[2].icon);
}
