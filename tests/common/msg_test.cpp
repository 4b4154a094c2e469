#include "support/testkit.h"
#include <gtest/gtest-spi.h>
#include "common/msg.h"
#include "common/appstate.h"

using namespace tk;

TEST(Error_Text, PrefixesTheSystemTextAndStripsLineBreaks)
{
    DWORD code = 2;
    std::string text = Error_Text(&code);
    EXPECT_EQ(0u, text.find("Error: 2 (0x2) "));
    EXPECT_GT(text.size(), strlen("Error: 2 (0x2) "));
    EXPECT_NE('\n', text.back());
    EXPECT_NE('\r', text.back());

    code = 0xBEEF;                      /* no system text for this code */
    EXPECT_STREQ("Format message failed.  Error: 48879", Error_Text(&code));

    SetLastError(3);
    EXPECT_EQ(0u, std::string(Error_Text(nullptr)).find("Error: 3 (0x3) "));
}

TEST(MessageBoxes, KindsTextsAndFlags)
{
    MsgRecorder rec;
    Info_Box("Editor", "Queue %d of %s", 3, "Proofs");
    Untitled_Info_Box("plain %s", "notice");

    /* a failed directory creation reported with its system cause */
    EXPECT_FALSE(CreateDirectoryA("Q:\\no\\such\\dir", nullptr));
    DWORD code = GetLastError();
    SysError_Box("Editor", "Could not create \"%s\"", "Q:\\no\\such\\dir");

    ASSERT_EQ(3u, rec.count());
    UINT common = MB_TASKMODAL | MB_SETFOREGROUND;
    EXPECT_EQ("Queue 3 of Proofs", rec.boxes[0].text);
    EXPECT_EQ("Editor", rec.boxes[0].caption);
    EXPECT_EQ(MB_OK | MB_ICONINFORMATION | common, rec.boxes[0].flags);
    EXPECT_EQ("", rec.boxes[1].caption);
    EXPECT_EQ(MB_OK | MB_ICONINFORMATION | common, rec.boxes[1].flags);

    std::string sys = Error_Text(&code);
    EXPECT_EQ("Could not create \"Q:\\no\\such\\dir\"\r\n\r\n" + sys, rec.boxes[2].text);
    EXPECT_EQ(MB_OK | MB_ICONSTOP | common, rec.boxes[2].flags);
    ASSERT_EQ(1u, rec.beeps.size()) << "the stop sound comes before the box";
    EXPECT_EQ((UINT)MB_ICONHAND, rec.beeps[0]);
}

TEST(MessageBoxes, UpdateModeShowsNothingAndAnswersQuestionsNo)
{
    MsgRecorder rec;
    updateMode = TRUE;
    int yesNo = Message_Box("Editor", MB_YESNO | MB_ICONQUESTION, "Create the directory \"%s\"?", "X");
    int ok = Message_Box("Editor", MB_OK, "notice");
    updateMode = FALSE;
    EXPECT_EQ(IDNO, yesNo);
    EXPECT_EQ(IDOK, ok);
    EXPECT_EQ(0u, rec.count());
}

/* A box that no recorder answers (a test that installed its recorder only after loading) would
   wait for an answer until the test run's time-out: it fails the test at once instead, with its
   text, and takes the cautious answer. */
static int s_Answer;
static void Show_Question() { s_Answer = Message_Box("Editor", MB_YESNO | MB_ICONQUESTION, "Create the folder?"); }

TEST(MessageBoxes, ABoxThatNoRecorderAnswersFailsItsTestAtOnce)
{
    DWORD t0 = GetTickCount();
    EXPECT_NONFATAL_FAILURE(Show_Question(), "a message box that no recorder answers: [Editor] Create the folder?");
    EXPECT_EQ(IDNO, s_Answer);
    EXPECT_LT(GetTickCount() - t0, 1000u);
    {
        MsgRecorder outer;
        {
            MsgRecorder inner({ IDYES });
            Show_Question();
            EXPECT_EQ(1u, inner.count());
        }
        Show_Question();                    /* the outer recorder takes the boxes again */
        EXPECT_EQ(1u, outer.count());
    }
}
