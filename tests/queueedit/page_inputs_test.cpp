/* The Inputs page: what the page table cannot see. */
#include "queueedit/editkit.h"

namespace {

const char k_NotAPath[] = "The chosen hot directory is not a valid path name.  Please correct the entry or select an "
                          "existing directory using the chooser.";

class InputsPage : public ek::EditorTest {
protected:
    INT_PTR Open(dk::Script &s, Target *work) { return Open_Page(s, IDD_INPUTS, QueueInputs_Dlg, work); }

    /* The working copy as the overview has it: the queue with an icon of its own. */
    Target Work(int pos)
    {
        Target w = targets[pos];
        w.icon = targets[pos].icon != nullptr ? CopyIcon(targets[pos].icon) : nullptr;
        owned.push_back(w.icon);
        return w;
    }
    void TearDown() override
    {
        for (HICON h : owned)
            if (ek::Icon_Alive(h)) DestroyIcon(h);
        EditorTest::TearDown();
    }
    std::vector<HICON> owned;

    /* The colour at the middle of the icon's place. */
    static COLORREF Icon_Colour(HWND d)
    {
        RECT rc;
        Get_ControlRect(d, IDC_IN_ICON, &rc);
        UpdateWindow(d);
        HDC dc = GetDC(d);
        COLORREF c = GetPixel(dc, rc.left + 16, rc.top + 16);
        ReleaseDC(d, dc);
        return c;
    }
};

TEST_F(InputsPage, TheHotDirectoryRule)
{
    struct Case { const char *typed; bool monitor; const char *stored; };   /* stored NULL: refused */
    const Case cases[] = {
        { "E", false, "E:\\" },
        { "EX", false, "E:\\" },
        { "E:\\Not\\There", false, "E:\\Not\\There" },
        { "Relative\\Not There", false, nullptr },
        { "", false, nullptr },
        { "", true, "" },                                  /* monitor processes need no hot directory */
        { "Relative\\Not There", true, "Relative\\Not There" },
        { "E", true, "E" },                                /* taken unchanged */
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string("\"") + c.typed + (c.monitor ? "\" monitor" : "\""));
        boxes.boxes.clear();
        Target work = Work(3), before = work;
        work.monitorProcesses = before.monitorProcesses = c.monitor;
        dk::Script s;
        s.On("Inputs", [&](HWND d) {
            dk::Type(d, IDC_IN_PATH, c.typed);
            dk::Click(d, IDOK);
            if (c.stored == nullptr) {
                EXPECT_TRUE(IsWindowVisible(d)) << "the page stays open";
                EXPECT_EQ(c.typed, dk::Text(d, IDC_IN_PATH)) << "with what was typed";
                EXPECT_EQ(GetDlgItem(d, IDC_IN_PATH), GetFocus());
                dk::Click(d, IDCANCEL);
            }
        });
        EXPECT_EQ(0, Open(s, &work));
        if (c.stored == nullptr) {
            ASSERT_EQ(1u, boxes.count());
            EXPECT_EQ(k_NotAPath, boxes.last().text);
            EXPECT_EQ(MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
            EXPECT_EQ(0, memcmp(&before, &work, sizeof work)) << "nothing went back";
        } else {
            EXPECT_EQ(0u, boxes.count());
            EXPECT_STREQ(c.stored, work.hotDir);
        }
    }
}

TEST_F(InputsPage, AnExistingRelativeDirectoryIsAccepted)
{
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    SetCurrentDirectoryA(home.home().c_str());
    Target work = Work(3);
    dk::Script s;
    s.On("Inputs", [](HWND d) {
        dk::Type(d, IDC_IN_PATH, "Hot\\Proofer");
        dk::Click(d, IDOK);
    });
    Open(s, &work);
    SetCurrentDirectoryA(cwd);
    EXPECT_STREQ("Hot\\Proofer", work.hotDir);
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(InputsPage, BrowseStartsOnWhatIsTypedAndShowsWhatIsChosen)
{
    dk::ChooserRecorder picks({ home / "Hot\\Chosen", "" });
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    Target work = Work(3);
    dk::Script s;
    s.On("Inputs", [&](HWND d) {
        EXPECT_EQ(work.hotDir, dk::Text(d, IDC_IN_PATH));
        EXPECT_FALSE(dk::Visible(d, IDC_IN_ICON)) << "the icon's placeholder is hidden";
        ek::Shot(d, "page_inputs");
        dk::Type(d, IDC_IN_PATH, "\"D:\\Typed\"");
        dk::Click(d, IDC_IN_BROWSE);
        EXPECT_EQ(home / "Hot\\Chosen", dk::Text(d, IDC_IN_PATH));
        dk::Type(d, IDC_IN_PATH, "D:\\Typed Again");
        dk::Click(d, IDC_IN_BROWSE);                      /* cancelled */
        EXPECT_EQ("D:\\Typed Again", dk::Text(d, IDC_IN_PATH)) << "a cancelled chooser leaves the text";
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open(s, &work));
    ASSERT_EQ(2u, picks.calls.size());
    EXPECT_EQ(CHOOSE_FOLDER, picks.calls[0].kind);
    EXPECT_EQ("Queue Hot Directory", picks.calls[0].title);
    EXPECT_EQ("\"D:\\Typed\"", picks.calls[0].path);
    EXPECT_STREQ("D:\\Typed Again", work.hotDir);
    char now[MAX_PATH];
    GetCurrentDirectoryA(sizeof now, now);
    EXPECT_STREQ(cwd, now) << "the current directory is restored";
}

TEST_F(InputsPage, ChangeIconTakesTheFirstIconOfTheChosenFile)
{
    dk::ChooserRecorder picks({ ek::Icon_File("blue.ico") });
    Target work = Work(0);
    HICON before = work.icon;
    dk::Script s;
    s.On("Inputs", [&](HWND d) {
        EXPECT_EQ(RGB(255, 0, 0), Icon_Colour(d)) << "the queue's own icon (red)";
        dk::Click(d, IDC_IN_CHANGE_ICON);
        EXPECT_EQ(RGB(0, 0, 255), Icon_Colour(d)) << "the chosen icon (blue)";
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open(s, &work));
    ASSERT_EQ(1u, picks.calls.size());
    EXPECT_EQ(CHOOSE_FILE, picks.calls[0].kind);
    EXPECT_EQ("Change Queue Icon", picks.calls[0].title);
    EXPECT_EQ(ek::Icon_File("red.ico"), picks.calls[0].path);
    EXPECT_EQ(FILTER_ALL, picks.calls[0].filterIndex);
    EXPECT_EQ(ek::Icon_File("blue.ico"), work.iconPath);
    EXPECT_NE(before, work.icon);
    EXPECT_TRUE(ek::Icon_Alive(work.icon));
    EXPECT_TRUE(ek::Icon_Alive(before)) << "the working copy's own icon is not the page's to destroy";
    owned.push_back(work.icon);
}

TEST_F(InputsPage, AFileWithoutAnIconLeavesNoIcon)
{
    dk::ChooserRecorder picks({ ek::Icon_File("not_an_icon.ico") });
    Target work = Work(0);
    dk::Script s;
    s.On("Inputs", [&](HWND d) {
        dk::Click(d, IDC_IN_CHANGE_ICON);
        ASSERT_EQ(1u, boxes.count());
        EXPECT_EQ("The file selected did not contain a valid icon or bitmap.", boxes.last().text);
        EXPECT_NE(RGB(255, 0, 0), Icon_Colour(d)) << "the default icon";
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open(s, &work));
    EXPECT_STREQ("", work.iconPath);
    EXPECT_EQ(nullptr, work.icon);
}

TEST_F(InputsPage, CancelAfterChangeIconKeepsTheOldIconAndDropsTheNew)
{
    dk::ChooserRecorder picks({ ek::Icon_File("blue.ico"), ek::Icon_File("green.ico") });
    Target work = Work(0), before = work;
    HICON first = nullptr, second = nullptr;
    dk::Script s;
    s.On("Inputs", [&](HWND d) {
        dk::Click(d, IDC_IN_CHANGE_ICON);
        first = ek::Page_Target(d)->icon;
        dk::Click(d, IDC_IN_CHANGE_ICON);
        second = ek::Page_Target(d)->icon;
        EXPECT_FALSE(ek::Icon_Alive(first)) << "an icon the page replaced is destroyed at once";
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(0, Open(s, &work));
    EXPECT_EQ(0, memcmp(&before, &work, sizeof work));
    EXPECT_FALSE(ek::Icon_Alive(second)) << "and the one it held at Cancel";
    EXPECT_TRUE(ek::Icon_Alive(work.icon));
}

TEST_F(InputsPage, ClearIconGoesBackToTheDefault)
{
    Target work = Work(0);
    dk::Script s;
    s.On("Inputs", [&](HWND d) {
        dk::Click(d, IDC_IN_CLEAR_ICON);
        EXPECT_NE(RGB(255, 0, 0), Icon_Colour(d));
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open(s, &work));
    EXPECT_STREQ("", work.iconPath);
    EXPECT_EQ(nullptr, work.icon);
}

TEST_F(InputsPage, AnIconPathBeginningWithABlankIsKeptButTheDefaultIconDrawn)
{
    Target work = Work(0), before = work;
    Copy_Field(work.iconPath, (" " + ek::Icon_File("red.ico")).c_str());
    Copy_Field(before.iconPath, work.iconPath);
    dk::Script s;
    s.On("Inputs", [&](HWND d) {
        EXPECT_NE(RGB(255, 0, 0), Icon_Colour(d));
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open(s, &work));
    EXPECT_EQ(0, memcmp(&before, &work, sizeof work));
}

TEST_F(InputsPage, AHotDirectoryOf260CharactersIsShownAndRefusedNotCut)
{
    Target work = Work(3), before = work;
    std::string longest = "C:\\" + std::string(257, 'h');
    Copy_Field(work.hotDir, longest.c_str());
    Copy_Field(before.hotDir, work.hotDir);
    dk::Script s;
    s.On("Inputs", [&](HWND d) {
        EXPECT_EQ(longest, dk::Text(d, IDC_IN_PATH));
        dk::Click(d, IDOK);
        EXPECT_TRUE(IsWindowVisible(d));
        dk::Type(d, IDC_IN_PATH, longest);
        EXPECT_EQ(259u, dk::Text(d, IDC_IN_PATH).size()) << "typing stops at 259";
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(0, Open(s, &work));
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ("This text is too long: the field holds at most 259 characters.", boxes.last().text);
    EXPECT_EQ(longest.substr(0, 259), work.hotDir);
}

} // namespace
