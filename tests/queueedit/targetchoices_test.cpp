/* The queue chooser: one output queue picked from the owner-drawn list of them all. */
#include "queueedit/editkit.h"
#include "queueedit/targetchoices.h"
#include "lists/queuelists.h"

namespace {

const char k_Caption[] = "Choose a Queue";

std::vector<std::string> List_Texts(HWND list)
{
    std::vector<std::string> texts;
    int n = ListView_GetItemCount(list);
    for (int i = 0; i < n; i++) {
        char text[TEXT_LEN] = "";
        ListView_GetItemText(list, i, 0, text, sizeof text);
        texts.push_back(text);
    }
    return texts;
}

/* A mouse click (or double click) in the middle of an item; item -1: below the last item. */
void Click_Item(HWND list, int item, bool twice = false)
{
    RECT rc;
    if (item >= 0) {
        ListView_GetItemRect(list, item, &rc, LVIR_LABEL);
    } else {
        GetClientRect(list, &rc);
        rc.top = rc.bottom - 4;
    }
    LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    if (twice) {
        SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        SendMessageA(list, WM_LBUTTONUP, 0, at);
    }
}

class Chooser : public ek::EditorTest {
protected:
    int Open(dk::Script &s) { return (int)s.Run([] { return (INT_PTR)Choose_Target(nullptr); }); }
};

TEST_F(Chooser, ListsEveryQueueAndGivesThePositionChosen)
{
    dk::Script s;
    s.On(k_Caption, [](HWND d) {
        HWND list = GetDlgItem(d, IDC_CH_LIST);
        char cls[32] = "";
        GetClassNameA(list, cls, sizeof cls);
        EXPECT_STREQ(WC_LISTVIEWA, cls) << "the list takes the placeholder's place and number";
        EXPECT_EQ((std::vector<std::string>{ "Plate Setter 1", "Plate Setter 2", "Proofer", "Archive" }), List_Texts(list));
        for (int i = 0; i < 4; i++) EXPECT_EQ(i, Get_LV__Item_Param(list, i));
        EXPECT_EQ("No Selection", dk::Text(d, IDC_CH_LABEL));
        EXPECT_FALSE(dk::Visible(d, IDC_CH_NEW));
        EXPECT_EQ(list, GetFocus()) << "the list has the focus";
        Click_Item(list, 2);
        EXPECT_EQ("Proofer", dk::Text(d, IDC_CH_LABEL));
        ek::Shot(d, "choices");
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(2, Open(s));
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(Chooser, OkWithoutAChoiceIsToldAndCancelGivesNone)
{
    dk::Script s;
    s.On(k_Caption, [&](HWND d) {
        dk::Click(d, IDOK);
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ("You have not yet selected a queue.", boxes.last().text);
        EXPECT_EQ(MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
        EXPECT_TRUE(IsWindowVisible(d));
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(-1, Open(s));

    dk::Script chosenThenCancelled;
    chosenThenCancelled.On(k_Caption, [](HWND d) {
        Click_Item(GetDlgItem(d, IDC_CH_LIST), 1);
        ek::Press_Key(VK_ESCAPE);
    });
    EXPECT_EQ(-1, Open(chosenThenCancelled));
}

TEST_F(Chooser, AClickEnablesOkOnlyOnAQueueAndADoubleClickChooses)
{
    dk::Script s;
    s.On(k_Caption, [](HWND d) {
        HWND list = GetDlgItem(d, IDC_CH_LIST);
        Click_Item(list, 3);
        EXPECT_TRUE(dk::Enabled(d, IDOK));
        Click_Item(list, -1);                          /* on no item: nothing is selected */
        EXPECT_FALSE(dk::Enabled(d, IDOK));
        EXPECT_EQ("No Selection", dk::Text(d, IDC_CH_LABEL));
        Click_Item(list, 1, true);
    });
    EXPECT_EQ(1, Open(s));
}

TEST_F(Chooser, ByKeyboardTheArrowsChooseAndEnterTakes)
{
    dk::Script s;
    s.On(k_Caption, [](HWND) {
        ek::Press_Key(VK_DOWN);
        ek::Press_Key(VK_DOWN);
    });
    s.On(k_Caption, [](HWND d) {
        EXPECT_EQ("Plate Setter 2", dk::Text(d, IDC_CH_LABEL));
        ek::Press_Key(VK_RETURN);
    });
    EXPECT_EQ(1, Open(s));
}

TEST_F(Chooser, WithoutQueuesTheListIsEmpty)
{
    Reset_Configuration();
    dk::Script s;
    s.On(k_Caption, [](HWND d) {
        EXPECT_TRUE(List_Texts(GetDlgItem(d, IDC_CH_LIST)).empty());
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(-1, Open(s));
}

} // namespace
