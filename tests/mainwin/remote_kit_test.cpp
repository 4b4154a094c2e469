/* The remote kit drives another process's dialog as a person would: these cases drive a small
   dialog program of our own (tests/helpers/remotetarget.cpp), which writes down everything it is
   told, so each action is checked by what the other process saw. The screenshots that the
   end-to-end tests take of such windows, and of windows of this process, are checked here too. */
#include "support/remote.h"
#include "support/testkit.h"
#include "support/dlgkit.h"
#include <commctrl.h>

enum { IDC_EDIT = 101, IDC_COUNT, IDC_ASK, IDC_FLAG, IDC_LEVEL, IDC_LIST, IDC_EVENTS = 110 };

class RemoteKit : public ::testing::Test {
protected:
    tk::Child target{ tk::Quote(tk::Helper_Exe("remotetarget")) };
    HWND dlg = nullptr;
    void SetUp() override
    {
        dlg = rk::Find_Window(target.pid(), "Remote Target");
        ASSERT_NE(nullptr, dlg) << "the target dialog did not come up";
    }
    std::string Events() { return rk::Text(dlg, IDC_EVENTS); }
    bool Heard(const std::string &what)
    {
        return rk::Wait_Until([&] { return Events().find(what + ";") != std::string::npos; }, 5000);
    }
};

TEST_F(RemoteKit, FindsTheDialogAndItsControls)
{
    EXPECT_EQ(nullptr, rk::Find_Window(target.pid(), "No Such Window", 100));
    EXPECT_EQ(dlg, rk::Find_Class(target.pid(), "#32770", 100));
    std::vector<HWND> tops = rk::Top_Windows(target.pid());
    ASSERT_EQ(1u, tops.size());
    EXPECT_EQ("Remote Target", rk::Caption(tops[0]));
    EXPECT_EQ("&Count", rk::Text(dlg, IDC_COUNT));
    EXPECT_TRUE(rk::Enabled(dlg, IDC_COUNT));
    EXPECT_TRUE(rk::Visible(dlg, IDC_LIST));
}

TEST_F(RemoteKit, TypesPressesChecksAndChooses)
{
    rk::Type(dlg, IDC_EDIT, "first");
    rk::Type(dlg, IDC_EDIT, "Plate Setter 1");
    EXPECT_EQ("Plate Setter 1", rk::Text(dlg, IDC_EDIT));
    EXPECT_EQ(IDC_EDIT, rk::Focus_Id(dlg));
    rk::Type(dlg, IDC_EDIT, "");
    EXPECT_EQ("", rk::Text(dlg, IDC_EDIT));

    EXPECT_TRUE(rk::Press_Done(dlg, IDC_COUNT));
    EXPECT_NE(std::string::npos, Events().find("count 1;")) << "Press_Done returns after the command ran";
    rk::Press(dlg, IDC_COUNT);
    EXPECT_TRUE(Heard("count 2"));

    rk::Set_Check(dlg, IDC_FLAG, true);
    rk::Set_Check(dlg, IDC_FLAG, true);          /* already on: no second click */
    EXPECT_TRUE(rk::Checked(dlg, IDC_FLAG));
    rk::Set_Check(dlg, IDC_FLAG, false);
    EXPECT_NE(std::string::npos, Events().find("flag on;flag off;"));

    EXPECT_EQ((std::vector<std::string>{ "Low", "Normal", "High" }), rk::Items(dlg, IDC_LEVEL));
    rk::Choose(dlg, IDC_LEVEL, "High");
    EXPECT_TRUE(Heard("level High"));
}

TEST_F(RemoteKit, AnswersTheOtherProcesssMessageBoxes)
{
    rk::Press(dlg, IDC_ASK);
    tk::ForeignBox box;
    ASSERT_TRUE(rk::Answer_Box(target.pid(), IDNO, &box));
    EXPECT_EQ("Proceed?", box.text);
    EXPECT_EQ("Remote Target", box.caption);
    EXPECT_TRUE(Heard("answer 7"));
    EXPECT_FALSE(rk::Answer_Box(target.pid(), IDYES, nullptr, 200)) << "no box is up now";
}

TEST_F(RemoteKit, ReadsAndSelectsListViewItems)
{
    ASSERT_EQ(30, rk::LV_Count(dlg, IDC_LIST));
    std::vector<std::string> texts = rk::LV_Texts(dlg, IDC_LIST);
    ASSERT_EQ(30u, texts.size());
    EXPECT_EQ("Item 0", texts[0]);
    EXPECT_EQ("Item 29", texts[29]);
    EXPECT_EQ(105, rk::LV_Data(dlg, IDC_LIST, 5));
    EXPECT_EQ(0, rk::LV_Top(dlg, IDC_LIST));

    rk::LV_Select(dlg, IDC_LIST, { 3, 7 });
    EXPECT_EQ((std::vector<int>{ 3, 7 }), rk::LV_Selected(dlg, IDC_LIST));
    EXPECT_EQ(3, rk::LV_Focused(dlg, IDC_LIST));
    EXPECT_EQ(IDC_LIST, rk::Focus_Id(dlg));
    EXPECT_TRUE(Heard("list focus"));
    EXPECT_TRUE(Heard("selected 3,7"));

    rk::LV_Select(dlg, IDC_LIST, { 25 });
    EXPECT_EQ((std::vector<int>{ 25 }), rk::LV_Selected(dlg, IDC_LIST));
    int top = rk::LV_Top(dlg, IDC_LIST), page = rk::LV_Per_Page(dlg, IDC_LIST);
    EXPECT_TRUE(top <= 25 && 25 < top + page) << "scrolled into view: top " << top << ", " << page << " a page";
    RECT rc = rk::LV_Item_Rect(dlg, IDC_LIST, 25);
    EXPECT_GT(rc.bottom, rc.top);

    rk::LV_Select(dlg, IDC_LIST, {});
    EXPECT_TRUE(rk::LV_Selected(dlg, IDC_LIST).empty());

    rk::LV_Double_Click(dlg, IDC_LIST, 4);
    EXPECT_TRUE(Heard("dblclk 4"));
    EXPECT_EQ((std::vector<int>{ 4 }), rk::LV_Selected(dlg, IDC_LIST));
}

TEST_F(RemoteKit, KeysGoThroughTheOtherProcesssDialogHandling)
{
    rk::Focus(dlg, IDC_LIST);
    rk::Key_To_Focus(dlg, VK_DELETE);
    EXPECT_TRUE(Heard("key 46")) << "the list itself gets Delete";
    rk::Key_To_Focus(dlg, VK_RETURN);
    EXPECT_TRUE(Heard("ok")) << "Enter presses the default button";

    rk::Focus(dlg, IDC_EDIT);
    rk::Key_To_Focus(dlg, VK_TAB);
    EXPECT_TRUE(rk::Wait_Until([&] { return rk::Focus_Id(dlg) == IDC_COUNT; }, 5000)) << "Tab moves on";

    rk::Mnemonic(dlg, 'c');
    EXPECT_TRUE(Heard("count 1")) << "Alt+C presses \"&Count\"";
    rk::Mnemonic(dlg, 'f');
    EXPECT_TRUE(Heard("flag on")) << "Alt+F clicks \"&Flag\"";

    rk::Key_To_Focus(dlg, VK_ESCAPE);
    EXPECT_EQ(3, target.wait(5000)) << "Esc is Cancel, which ends the program";
}

/* Alt+letter is one key press: it ticks "&Flag" once (twice would tick it and clear it again) and
   presses "&Count" once. A click posted after the mnemonics has been handled after everything
   they sent, so the events then are all the mnemonics did. */
TEST_F(RemoteKit, AMnemonicActsOnce)
{
    rk::Focus(dlg, IDC_EDIT);
    rk::Mnemonic(dlg, 'f');
    ASSERT_TRUE(Heard("flag on"));
    rk::Mnemonic(dlg, 'C');
    ASSERT_TRUE(Heard("count 1"));
    rk::Press(dlg, IDOK);
    ASSERT_TRUE(Heard("ok"));
    EXPECT_EQ("flag on;count 1;ok;", Events());
    EXPECT_TRUE(rk::Checked(dlg, IDC_FLAG));
    EXPECT_EQ(IDC_COUNT, rk::Focus_Id(dlg)) << "the mnemonic's control has the focus";
}

/* ---- screenshots ---- */

/* EDITOR_SHOTS set to a fresh folder for the test's lifetime. */
class Shots {
public:
    tk::TempDir dir{ "shots" };
    Shots()
    {
        char old[MAX_PATH] = "";
        had_ = GetEnvironmentVariableA("EDITOR_SHOTS", old, sizeof old) > 0;
        old_ = old;
        SetEnvironmentVariableA("EDITOR_SHOTS", dir.path().c_str());
    }
    ~Shots() { SetEnvironmentVariableA("EDITOR_SHOTS", had_ ? old_.c_str() : nullptr); }
    /* The picture saved under name: its size and the colour of a pixel (x, y from the top left). */
    bool Read(const std::string &name, int *w, int *h, std::string *bytes)
    {
        *bytes = tk::Read_File(dir / (name + ".bmp"));
        if (bytes->size() < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) return false;
        const BITMAPINFOHEADER *bi = (const BITMAPINFOHEADER *)(bytes->data() + sizeof(BITMAPFILEHEADER));
        *w = bi->biWidth;
        *h = bi->biHeight;
        return bi->biBitCount == 24 && bytes->size() >= sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) +
                                                           (size_t)((*w * 3 + 3) & ~3) * (size_t)*h;
    }
    static COLORREF Pixel(const std::string &bytes, int w, int h, int x, int y)
    {
        size_t stride = (size_t)((w * 3 + 3) & ~3);
        const unsigned char *p = (const unsigned char *)bytes.data() + sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) +
                                 stride * (size_t)(h - 1 - y) + (size_t)x * 3;
        return RGB(p[2], p[1], p[0]);
    }
private:
    bool had_ = false;
    std::string old_;
};

/* The centre of a control, in the coordinates of its top-level window's picture. */
static POINT Centre_In(HWND top, HWND ctl)
{
    RECT w, c;
    GetWindowRect(top, &w);
    GetWindowRect(ctl, &c);
    return POINT{ (c.left + c.right) / 2 - w.left, (c.top + c.bottom) / 2 - w.top };
}

static HBRUSH s_Brush;
static INT_PTR CALLBACK Coloured_Statics(HWND, UINT msg, WPARAM, LPARAM)
{
    return msg == WM_CTLCOLORSTATIC ? (INT_PTR)s_Brush : 0;
}

/* A window of this process is pictured from its own pixels: whole, frame included, even where
   another window lies over it on the screen (as a page lies over the queue editor). */
TEST(Screenshot, AWindowOfThisProcessIsPicturedWholeUnderAnotherWindow)
{
    Shots shots;
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    {
        s_Brush = red;
        dk::Form form("Shot", { { "STATIC", 100, "", SS_LEFT, 10, 10, 60, 20 }, { "EDIT", 101, "", WS_BORDER, 10, 40, 60, 12 } },
                      120, 70, Coloured_Statics);
        dk::Form cover("Cover", {}, 120, 70);          /* made later: in front, in the same place */
        tk::Pump(100);
        RECT a, b;
        GetWindowRect(form.hwnd(), &a);
        GetWindowRect(cover.hwnd(), &b);
        ASSERT_TRUE(EqualRect(&a, &b)) << "the cover lies exactly over the form";
        dk::Screenshot(form.hwnd(), "own");
        int w = 0, h = 0;
        std::string bytes;
        ASSERT_TRUE(shots.Read("own", &w, &h, &bytes));
        EXPECT_EQ(a.right - a.left, w) << "frame included";
        EXPECT_EQ(a.bottom - a.top, h);
        POINT coloured = Centre_In(form.hwnd(), form.item(100)), edit = Centre_In(form.hwnd(), form.item(101));
        EXPECT_EQ(RGB(255, 0, 0), Shots::Pixel(bytes, w, h, coloured.x, coloured.y)) << "the static the dialog colours";
        EXPECT_EQ(GetSysColor(COLOR_WINDOW), Shots::Pixel(bytes, w, h, edit.x, edit.y)) << "the edit";
        s_Brush = nullptr;
    }
    DeleteObject(red);
}

TEST_F(RemoteKit, AWindowOfAnotherProcessIsPicturedOnceItHasPainted)
{
    Shots shots;
    rk::Type(dlg, IDC_EDIT, "");
    dk::Screenshot(dlg, "other");
    int w = 0, h = 0;
    std::string bytes;
    ASSERT_TRUE(shots.Read("other", &w, &h, &bytes));
    RECT rc;
    GetWindowRect(dlg, &rc);
    EXPECT_EQ(rc.right - rc.left, w);
    EXPECT_EQ(rc.bottom - rc.top, h);
    POINT edit = Centre_In(dlg, rk::Control(dlg, IDC_EDIT));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), Shots::Pixel(bytes, w, h, edit.x, edit.y)) << "the empty edit";
    POINT face = Centre_In(dlg, rk::Control(dlg, IDC_EVENTS));
    EXPECT_EQ(GetSysColor(COLOR_3DFACE), Shots::Pixel(bytes, w, h, face.x, face.y)) << "the dialog's face";
}
