/* The Identity page: what the page table cannot see. */
#include "queueedit/editkit.h"

namespace {

class IdentityPage : public ek::EditorTest {
protected:
    INT_PTR Open(dk::Script &s, Target *work) { return Open_Page(s, IDD_IDENTITY, QueueIdentity_Dlg, work); }
};

TEST_F(IdentityPage, TheListsOfferEachNameTheQueuesUseOnceInOrderOfFirstUse)
{
    /* the installation's groups: Platesetters, platesetters, Proofers, none */
    Copy_Field(targets[3].mutexGroup, "Press");
    Add_Queue("Press 2", 0, FALSE, "press", "CTP-1");
    Add_Queue("Press 3", 0, FALSE, "", "ctp-1");
    Target work = targets[1];
    dk::Script s;
    s.On("Identity", [](HWND d) {
        EXPECT_EQ((std::vector<std::string>{ "Platesetters", "Proofers", "Press" }), dk::Items(d, IDC_ID_MUTEX))
            << "spelt as first used, appended in that order, not sorted";
        EXPECT_EQ((std::vector<std::string>{ "CTP-1", "CTP-2" }), dk::Items(d, IDC_ID_IDENTITY));
        EXPECT_EQ("platesetters", dk::Text(d, IDC_ID_MUTEX)) << "the box shows the queue's own spelling";
        EXPECT_EQ("CTP-2", dk::Text(d, IDC_ID_IDENTITY));
        ek::Shot(d, "page_identity");
        dk::Choose(d, IDC_ID_MUTEX, "Proofers");
        dk::Choose(d, IDC_ID_IDENTITY, "CTP-1");
        dk::Click(d, IDC_ID_SWITCH);
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open(s, &work));
    EXPECT_STREQ("Proofers", work.mutexGroup);
    EXPECT_STREQ("CTP-1", work.outputIdentity);
    EXPECT_TRUE(work.switchIfIdle);
}

TEST_F(IdentityPage, NoQueueUsesAGroupOrIdentity)
{
    for (int i = 0; i < targetCount; i++) targets[i].mutexGroup[0] = targets[i].outputIdentity[0] = '\0';
    Target work = targets[0];
    dk::Script s;
    s.On("Identity", [](HWND d) {
        EXPECT_TRUE(dk::Items(d, IDC_ID_MUTEX).empty());
        EXPECT_TRUE(dk::Items(d, IDC_ID_IDENTITY).empty());
        EXPECT_EQ("", dk::Text(d, IDC_ID_MUTEX));
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open(s, &work));
}

TEST_F(IdentityPage, BlanksNameNoGroupAndAQueueInNoGroupSwitchesToNoOther)
{
    struct Case { const char *group, *identity; bool checked; const char *storedGroup, *storedIdentity; bool storedSwitch; };
    const Case cases[] = {
        { "   ", "CTP-1", true, "", "CTP-1", false },
        { " \t ", " ", true, "", "", false },
        { "", "", true, "", "", false },
        { " Night ", "  x", true, " Night ", "  x", true },     /* text with blanks around it stays as typed */
        { "Night", "", false, "Night", "", false },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string("\"") + c.group + "\"");
        Target work = targets[0];
        work.switchIfIdle = !c.checked;
        dk::Script s;
        s.On("Identity", [&](HWND d) {
            ek::Type_Box(d, IDC_ID_MUTEX, c.group);
            ek::Type_Box(d, IDC_ID_IDENTITY, c.identity);
            dk::Click(d, IDC_ID_SWITCH);
            EXPECT_EQ(c.checked, dk::Checked(d, IDC_ID_SWITCH));
            dk::Click(d, IDOK);
        });
        EXPECT_EQ(0, Open(s, &work));
        EXPECT_STREQ(c.storedGroup, work.mutexGroup);
        EXPECT_STREQ(c.storedIdentity, work.outputIdentity);
        EXPECT_EQ(c.storedSwitch, work.switchIfIdle != FALSE);
    }
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(IdentityPage, AGroupOf64CharactersIsTakenWhole)
{
    std::string longest(64, 'g');
    Target work = targets[0];
    dk::Script s;
    s.On("Identity", [&](HWND d) {
        ek::Type_Box(d, IDC_ID_MUTEX, longest + "xyz");
        ek::Type_Box(d, IDC_ID_IDENTITY, longest);
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open(s, &work));
    EXPECT_EQ(longest, work.mutexGroup);
    EXPECT_EQ(longest, work.outputIdentity);
}

} // namespace
