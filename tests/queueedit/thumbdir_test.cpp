/* The Thumbnail Image Directory page, driven as an operator drives it. */
#include "queueedit/jobkit.h"

namespace {

class ThumbDir : public jk::PageTest {};

const char k_Overlap[] = "The thumbnail directory should not be the parent or a child of another thumbnail directory or "
                         "be the same as another thumbnail directory.";
const char k_NoPath[] = "The chosen directory is not a valid path name.  Please correct the entry or select an existing "
                        "directory using the chooser.";

TEST_F(ThumbDir, ShowsTheDirectoryAndKeepsEveryQueuesApart)
{
    Copy_Field(targets[0].thumbnailDir, "D:\\Thumbs\\Plates 1");
    Copy_Field(targets[1].thumbnailDir, "D:\\Thumbs\\Plates 2");
    Copy_Field(targets[2].thumbnailDir, "E:\\Proofs");
    struct Case { const char *typed; const char *stored; const char *refusal; };
    const Case cases[] = {
        { "D:\\Thumbs\\Plates 1", "D:\\Thumbs\\Plates 1", nullptr },          /* its own, unchanged */
        { "D:\\Thumbs\\Plates 1\\Big", "D:\\Thumbs\\Plates 1\\Big", nullptr }, /* below its own */
        { "d:\\thumbs\\plates 2", nullptr, k_Overlap },                        /* another's, in other letters */
        { "D:\\Thumbs\\Plates 2\\Big", nullptr, k_Overlap },                   /* below another's */
        { "D:\\Thumbs", nullptr, k_Overlap },                                  /* above two others */
        { "   E:\\Proofs", nullptr, k_Overlap },                               /* leading blanks do not count */
        { "E:\\ProofsOld", "E:\\ProofsOld", nullptr },                         /* only the same start */
        { "E:\\", "E:\\", nullptr },                                           /* a root ends in its backslash */
        { "E", "E:\\", nullptr },                                              /* a drive letter: its root */
        { "", "", nullptr },                                                   /* none at all */
        { "Relative\\Nowhere", nullptr, k_NoPath },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string("\"") + c.typed + "\"");
        Target work = Work(0), before = work;
        boxes.boxes.clear();
        dk::Script s;
        s.On("Thumbnail Image Directory", [&](HWND d) {
            EXPECT_EQ("D:\\Thumbs\\Plates 1", dk::Text(d, IDC_TD_PATH));
            dk::Type(d, IDC_TD_PATH, c.typed);
            dk::Click(d, IDOK);
            if (c.refusal != nullptr) {
                EXPECT_TRUE(IsWindowVisible(d)) << "the page stays open";
                EXPECT_EQ(c.typed, dk::Text(d, IDC_TD_PATH)) << "as typed";
                EXPECT_EQ(IDC_TD_PATH, jk::Focus_Id());
                dk::Click(d, IDCANCEL);
            }
        });
        EXPECT_EQ(0, Open_ThumbDir(s, &work));
        if (c.refusal != nullptr) {
            ASSERT_EQ(1u, boxes.count());
            EXPECT_EQ(c.refusal, boxes.last().text);
            EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(boxes.last().flags));
            EXPECT_EQ(0, memcmp(&before, &work, sizeof work)) << "the working copy is untouched";
        } else {
            EXPECT_EQ(0u, boxes.count());
            Target expected = before;
            Copy_Field(expected.thumbnailDir, c.stored);
            EXPECT_EQ(0, memcmp(&expected, &work, sizeof work)) << "only the thumbnail directory changed";
        }
    }
}

TEST_F(ThumbDir, ANewQueueIsComparedWithEveryQueue)
{
    Copy_Field(targets[3].thumbnailDir, "D:\\Thumbs\\Archive");
    Target work = targets[targetCount];                 /* the empty slot a new queue starts from */
    dk::Script s;
    s.On("Thumbnail Image Directory", [&](HWND d) {
        EXPECT_EQ("", dk::Text(d, IDC_TD_PATH));
        dk::Type(d, IDC_TD_PATH, "D:\\Thumbs\\Archive");
        dk::Click(d, IDOK);
        dk::Click(d, IDCANCEL);
    });
    Open_ThumbDir(s, &work);
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ(k_Overlap, boxes.last().text);
}

TEST_F(ThumbDir, BrowseStartsFromTheTextAndPutsTheChosenFolderBack)
{
    Target work = Work(1);
    dk::ChooserRecorder picks({ "D:\\Thumbs\\Chosen", "" });
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    dk::Script s;
    s.On("Thumbnail Image Directory", [&](HWND d) {
        dk::Type(d, IDC_TD_PATH, "D:\\Thumbs\\Typed");
        dk::Click(d, IDC_TD_BROWSE);
        EXPECT_EQ("D:\\Thumbs\\Chosen", dk::Text(d, IDC_TD_PATH));
        dk::Click(d, IDC_TD_BROWSE);                   /* cancelled: the text stays */
        EXPECT_EQ("D:\\Thumbs\\Chosen", dk::Text(d, IDC_TD_PATH));
        dk::Click(d, IDOK);
    });
    Open_ThumbDir(s, &work);
    ASSERT_EQ(2u, picks.calls.size());
    EXPECT_EQ(CHOOSE_FOLDER, picks.calls[0].kind);
    EXPECT_EQ("Queue Low Resolution Image Directory", picks.calls[0].title);
    EXPECT_EQ("D:\\Thumbs\\Typed", picks.calls[0].path);
    EXPECT_EQ("D:\\Thumbs\\Chosen", picks.calls[1].path);
    EXPECT_STREQ("D:\\Thumbs\\Chosen", work.thumbnailDir);
    char after[MAX_PATH];
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(cwd, after);
}

TEST_F(ThumbDir, TheOverviewOpensItAndShowsWhatItChose)
{
    dk::Script s;
    s.On("Overview", [&](HWND d) {
        EXPECT_EQ("No thumbnail image directory specified.", dk::Text(d, IDC_OV_THUMBS_TEXT));
        dk::Click(d, IDC_OV_THUMBS);
    });
    s.On("Thumbnail Image Directory", [&](HWND d) {
        EXPECT_EQ(IDC_TD_PATH, jk::Focus_Id());
        dk::Type(d, IDC_TD_PATH, "D:\\Thumbs\\Proofs");
        dk::Screenshot(d, "thumbdir");
        jk::Key(d, WM_KEYDOWN, VK_RETURN);             /* Enter is OK */
    });
    s.On("Overview", [&](HWND d) {
        EXPECT_EQ("Get thumbnail images from the directory:\nD:\\Thumbs\\Proofs", dk::Text(d, IDC_OV_THUMBS_TEXT));
        dk::Click(d, IDC_OV_THUMBS);
    });
    s.On("Thumbnail Image Directory", [&](HWND d) {
        EXPECT_EQ("D:\\Thumbs\\Proofs", dk::Text(d, IDC_TD_PATH)) << "the page opens on the working copy";
        dk::Type(d, IDC_TD_PATH, "D:\\Other");
        jk::Key(d, WM_KEYDOWN, VK_ESCAPE);             /* Esc is Cancel */
    });
    s.On("Overview", [&](HWND d) {
        EXPECT_EQ("Get thumbnail images from the directory:\nD:\\Thumbs\\Proofs", dk::Text(d, IDC_OV_THUMBS_TEXT));
        dk::Click(d, IDC_OV_OK);
    });
    EXPECT_EQ(0, Open_Overview(s, 2));
    EXPECT_STREQ("D:\\Thumbs\\Proofs", targets[2].thumbnailDir);
}

TEST_F(ThumbDir, ByKeyboard)
{
    Target work = Work(0);
    dk::Script s;
    s.On("Thumbnail Image Directory", [&](HWND d) {
        EXPECT_EQ((std::vector<int>{ IDC_TD_PATH, IDC_TD_BROWSE, IDOK, IDCANCEL }), jk::Tab_Order(d));
        jk::Expect_Unique_Mnemonics(d);
        jk::Expect_Mnemonics_Lead(d, { { 'd', IDC_TD_PATH } });
        jk::Key(d, WM_KEYDOWN, VK_ESCAPE);
    });
    EXPECT_EQ(0, Open_ThumbDir(s, &work));
}

} // namespace
