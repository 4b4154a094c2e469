/* The checks of a whole installation without a window: paths compared as the file system names
   them, the loops of queues that pass jobs on, every failing save rule at once, and the question
   at OK about layout problems an edit brought (and only those). */
#include "support/testkit.h"
#include "support/modelkit.h"
#include "config/findings.h"
#include "config/layoutchecks.h"
#include "config/savesequence.h"
#include "config/setup.h"
#include "common/appstate.h"
#include "common/rowset.h"
#include "config/queuepages.h"

using namespace tk;

namespace {

std::vector<std::string> Texts(const FINDINGS &list)
{
    std::vector<std::string> v;
    char line[FINDING_LINE_LEN];
    for (int i = 0; i < list.count; i++) {
        Format_Finding(&list.items[i], line, sizeof line);
        v.push_back(line);
    }
    return v;
}

FINDINGS *New_List()
{
    static FINDINGS list;
    Clear_Findings(&list);
    return &list;
}

} // namespace

TEST(LayoutPaths, PathsAreComparedAsTheFileSystemNamesThem)
{
    struct Case { const char *a, *b; bool same, within; };
    const Case cases[] = {
        { "C:\\Spool\\Hot", "c:\\spool\\HOT", true, true },
        { "C:\\Spool\\Hot\\", "C:\\Spool\\Hot", true, true },
        { "\"C:\\Spool\\Hot\"", "C:\\Spool\\Hot", true, true },
        { "\"C:\\Spool\\Hot\\\"", "C:/Spool/Hot", true, true },
        { "C:\\Spool\\.\\x\\..\\Hot", "C:\\Spool\\Hot", true, true },
        { "C:\\Spool\\Hot\\Sub", "C:\\Spool\\Hot", false, true },
        { "C:\\Spool\\Hotter", "C:\\Spool\\Hot", false, false },        /* a longer name is no folder inside */
        { "C:\\Spool", "C:\\Spool\\Hot", false, false },               /* the outer is not inside the inner */
        { "C:\\Anything", "C:\\", false, true },                       /* everything lies on its drive */
        { "", "", false, false },                                      /* no path is no folder */
        { "  ", "C:\\", false, false },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.a) + " / " + c.b);
        EXPECT_EQ(c.same, (bool)Same_Path(c.a, c.b));
        EXPECT_EQ(c.within, (bool)Path_Within(c.a, c.b));
    }
}

TEST(LayoutFindings, FormatAndOrder)
{
    FINDINGS *list = New_List();
    Add_Finding(list, "Users.cfg", 2, SEV_ERROR, "u2");
    Add_Finding(list, "Queues.cfg", 9, SEV_WARNING, "q9");
    Add_Finding(list, "queue\\engine.q", 1, SEV_WARNING, "j1");
    Add_Finding(list, "Queues.cfg", 3, SEV_WARNING, "q3 first");
    Add_Finding(list, "LBPrefs.cfg", 0, SEV_ERROR, "lb");
    Add_Finding(list, "Queues.cfg", 3, SEV_ERROR, "q3 second");
    Add_Finding(list, "LBPrefs.cfg", 4, SEV_WARNING, "lb4");
    Sort_Findings(list);
    EXPECT_EQ((std::vector<std::string>{ "LBPrefs.cfg: error: lb", "LBPrefs.cfg:4: warning: lb4", "queue\\engine.q:1: warning: j1",
                                         "Queues.cfg:3: warning: q3 first", "Queues.cfg:3: error: q3 second",
                                         "Queues.cfg:9: warning: q9", "Users.cfg:2: error: u2" }),
              Texts(*list));
    int e = 0, w = 0;
    Count_Findings(list, &e, &w);
    EXPECT_EQ(3, e);
    EXPECT_EQ(4, w);
}

class LayoutChecks : public HomeTest {
protected:
    std::string Hot(const std::string &name)
    {
        Make_Dirs(home / ("Hot\\" + name));
        return home / ("Hot\\" + name);
    }
    /* An output queue that runs nothing, on a hot directory of its own that exists. */
    Target &Queue(const std::string &name)
    {
        Target &t = mk::Add_Target(name, Hot(name));
        mk::Runs_Nothing(t);
        return t;
    }
};

/* A loop is told once, from its first queue, with every queue of it in order; a chain that ends
   and a queue that passes to itself are told right too. */
TEST_F(LayoutChecks, PassToLoopsAreToldOnceEachWithTheirQueuesInOrder)
{
    for (const char *n : { "A", "B", "C", "D", "E", "F" }) Queue(n);
    targets[0].afterAction = 1;         /* A -> B -> C -> A, and C times out to A too */
    targets[1].afterAction = 2;
    targets[2].afterAction = 0;
    targets[2].timeoutAction = 0;
    targets[3].timeoutAction = 4;       /* D -> E -> D, by time-out and clean-up */
    targets[4].afterAction = 3;
    targets[5].afterAction = 5;         /* F -> F */
    FINDINGS *list = New_List();
    Check_Layout(list);
    const std::string tail = ": jobs would circle for ever; end the chain at a queue that does not pass its jobs on.";
    EXPECT_EQ((std::vector<std::string>{
                  "Queues.cfg:1: warning: queues pass jobs on in a loop (\"A\" -> \"B\" -> \"C\" -> \"A\")" + tail,
                  "Queues.cfg:4: warning: queues pass jobs on in a loop (\"D\" -> \"E\" -> \"D\")" + tail,
                  "Queues.cfg:6: warning: queues pass jobs on in a loop (\"F\" -> \"F\")" + tail,
              }),
              Texts(*list));
    EXPECT_EQ(ROWREF_TARGET, list->items[1].aboutKind);
    EXPECT_EQ(3, list->items[1].aboutPos);
    EXPECT_EQ(QPAGE_CLEANUP, list->items[1].page);

    targets[2].afterAction = AFTER_DELETE;  /* the chain A -> B -> C now ends */
    targets[2].timeoutAction = TIMEOUT_NEVER;
    list = New_List();
    Check_Layout(list);
    EXPECT_EQ(2, list->count);
}

/* Every failing save rule, not only the first: each missing application, each later queue of a
   name, each balancing input queue short of outputs. */
TEST_F(LayoutChecks, EverySaveRuleFindingIsAnError)
{
    int gone1 = mk::Add_App(home / "Gone1.exe"), gone2 = mk::Add_App(home / "Gone2.exe");
    Write_File(home / "Here.exe", "MZ");
    int here = mk::Add_App(home / "Here.exe");
    Target &a = mk::Add_Target("Same", Hot("a"));
    mk::Runs_Group(a, mk::Add_Group({ gone1, here, gone2 }, TRUE));
    Target &b = mk::Add_Target("same", Hot("b"));
    mk::Runs_App(b, here);
    Target &c = mk::Add_Target("SAME", Hot("c"));
    mk::Runs_App(c, gone1);
    c.noProcesses = TRUE;               /* told to run none: its application is not needed */
    LBQ &in1 = mk::Add_LBQ("In 1", Hot("in1"));
    in1.queueGroupEnabled = 1;
    LBQ &in2 = mk::Add_LBQ("In 2", Hot("in2"));
    in2.queueGroupEnabled = 1;
    in2.outputs[0] = 1;
    FINDINGS *list = New_List();
    Check_SaveRules(list);
    Sort_Findings(list);
    EXPECT_EQ((std::vector<std::string>{
                  "LBPrefs.cfg: error: input queue \"In 1\" has balancing enabled but 0 output queues; add a second output, "
                  "delete the input queue or turn balancing off.",
                  "LBPrefs.cfg: error: input queue \"In 2\" has balancing enabled but 1 output queue; add a second output, "
                  "delete the input queue or turn balancing off.",
                  "Queues.cfg:3: error: queue \"Same\" runs the application \"" + home / "Gone1.exe" +
                      "\", which does not exist; choose an existing program on the Processes page.",
                  "Queues.cfg:3: error: queue \"Same\" runs the application \"" + home / "Gone2.exe" +
                      "\", which does not exist; choose an existing program on the Processes page.",
                  "Queues.cfg:4: error: queue 2 has the same name as queue 1 (\"same\"); give each queue a name of its own.",
                  "Queues.cfg:5: error: queue 3 has the same name as queue 1 (\"SAME\"); give each queue a name of its own.",
              }),
              Texts(*list));
    EXPECT_TRUE(msgs.boxes.empty()) << "the checks that collect show nothing";
}

/* OK asks about the layout problems an edit brought, once, in one box; problems that were there
   at load, and folders a save creates, are not asked about; No goes back with nothing written. */
TEST_F(LayoutChecks, OkAsksOnlyAboutNewLayoutProblems)
{
    Queue("Plates");
    Queue("Proofs");
    Target &old = Queue("Old");
    Copy_Field(old.hotDir, targets[0].hotDir);          /* shared at load: a set-up on purpose */
    Note_LoadLayout();

    /* nothing new: no question */
    EXPECT_TRUE(Ask_NewLayoutFindings(FALSE));
    EXPECT_TRUE(msgs.boxes.empty());

    /* a new queue on Proofs' hot directory (spelt otherwise) and one whose folder is not there */
    Target &t = mk::Add_Target("New", "\"" + home / "hot\\PROOFS\\" + "\"");
    mk::Runs_Nothing(t);
    Target &missing = mk::Add_Target("Fresh", home / "Hot\\Fresh");
    mk::Runs_Nothing(missing);
    {
        MsgRecorder no({ IDNO });
        EXPECT_FALSE(Ask_NewLayoutFindings(FALSE));
        ASSERT_EQ(1u, no.count());
        EXPECT_EQ(MB_YESNO, Buttons_Of(no.last().flags));
        EXPECT_EQ((UINT)MB_ICONWARNING, Icon_Of(no.last().flags));
        EXPECT_EQ("The changes bring 1 new problem with how the queues' folders fit together:\r\n\r\n"
                  "- queue \"New\" has the same hot directory as queue \"Proofs\" (" + home / "Hot\\Proofs" +
                      "): both would take its jobs; give each queue a hot directory of its own.\r\n"
                  "\r\nSave anyway?\r\n\r\nYes saves the configuration as it is; No goes back to the editor.",
                  no.last().text);
    }
    {
        MsgRecorder yes({ IDYES });
        EXPECT_TRUE(Ask_NewLayoutFindings(FALSE));
        EXPECT_EQ(1u, yes.count());
    }
    {
        MsgRecorder silent;
        EXPECT_TRUE(Ask_NewLayoutFindings(TRUE)) << "the silent mode asks nothing";
        EXPECT_TRUE(silent.boxes.empty());
    }
}

TEST_F(LayoutChecks, PastTenTheQuestionCountsTheRest)
{
    Queue("Base");
    Note_LoadLayout();
    for (int i = 0; i < 13; i++) {
        Target &t = mk::Add_Target("Copy " + std::to_string(i), targets[0].hotDir);
        mk::Runs_Nothing(t);
    }
    MsgRecorder no({ IDNO });
    EXPECT_FALSE(Ask_NewLayoutFindings(FALSE));
    ASSERT_EQ(1u, no.count());
    const std::string &text = no.last().text;
    EXPECT_EQ(0u, text.find("The changes bring 13 new problems with"));
    EXPECT_NE(std::string::npos, text.find("queue \"Copy 9\" has the same"));
    EXPECT_EQ(std::string::npos, text.find("queue \"Copy 10\" has the same"));
    EXPECT_NE(std::string::npos, text.find(" own.\r\nand 3 more\r\n\r\nSave anyway?"));
}

/* In the save sequence the question comes after the checks, and No stores nothing. */
TEST_F(LayoutChecks, NoInTheSaveSequenceStoresNothing)
{
    Queue("Plates");
    Note_LoadLayout();
    Target &t = mk::Add_Target("Twin", targets[0].hotDir);
    mk::Runs_Nothing(t);
    MsgRecorder no({ IDNO });
    EXPECT_FALSE(Save_Sequence(FALSE));
    ASSERT_EQ(1u, no.count());
    EXPECT_NE(std::string::npos, no.last().text.find("queue \"Twin\" has the same hot directory as queue \"Plates\""));
    EXPECT_FALSE(Exists(home / "Queues.cfg")) << "nothing was stored";
    EXPECT_EQ(2, targetCount) << "the edits stay";
}
