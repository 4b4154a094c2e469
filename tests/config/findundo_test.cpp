/* Finding queues, where a queue or a program is used, and the history of edits: without a
   window, on the small configuration of the image kit (Proofs runs the RIP, Plates runs the
   plate-and-preflight group and passes its jobs to Archive, the input queue Intake feeds Proofs
   and Archive). */
#include "image_kit.h"
#include "config/findqueues.h"
#include "config/usedby.h"
#include "config/undo.h"
#include <set>

namespace {

/* ---- find ---- */

class FindQueues : public SmallConfig {
protected:
    void SetUp() override
    {
        SmallConfig::SetUp();
        Target &p = targets[PROOFS];
        Copy_Field(p.doneDir, "D:\\Finished\\Proofs");
        Copy_Field(p.timeoutDir, "D:\\Waited Too Long");
        Copy_Field(p.excludeFilterDir, "D:\\Skipped Files");
        Copy_Field(p.thumbnailDir, "D:\\Thumbs");
        Copy_Field(p.parameters, "C:\\Params\\Proof.par");
        Copy_Field(p.outputIdentity, "EpsonWide");
        Copy_Field(p.mutexGroup, "Wideformat");
        Copy_Field(targets[ARCHIVE].launchAppPath, "C:\\Viewer\\look.exe");
    }
    /* The names shown for a text, output queues then input queues, with the field of each. */
    std::string Shown(const char *text)
    {
        BOOL t[MAX_TARGETS], l[MAX_LBQS];
        FIND_FIELD tf[MAX_TARGETS], lf[MAX_LBQS];
        int n = Narrow_Queues(text, t, tf, l, lf);
        std::string s;
        int seen = 0;
        for (int i = 0; i < MAX_TARGETS; i++)
            if (t[i]) { s += std::string(s.empty() ? "" : " ") + targets[i].name + "(" + Find_FieldName(tf[i]) + ")"; seen++; }
        for (int i = 0; i < MAX_LBQS; i++)
            if (l[i]) { s += std::string(s.empty() ? "" : " ") + "in:" + lbqs[i].name + "(" + Find_FieldName(lf[i]) + ")"; seen++; }
        EXPECT_EQ(seen, n) << text;
        return s;
    }
};

TEST_F(FindQueues, EachFieldFindsItsQueueAndIsNamed)
{
    const struct { const char *text, *shown; } cases[] = {
        { "",                   "Proofs() Plates() Archive() in:Intake()" },
        { "   ",                "Proofs() Plates() Archive() in:Intake()" },
        { "PLATES",             "Plates(name)" },
        { "hot\\pro",           "Proofs(hot directory)" },
        { "c:\\hot\\",          "Proofs(hot directory) Plates(hot directory) Archive(hot directory) in:Intake(hot directory)" },
        { "finished",           "Proofs(done directory)" },
        { "waited too",         "Proofs(directory for waiting jobs)" },
        { "skipped",            "Proofs(exclude directory)" },
        { "thumbs",             "Proofs(thumbnail image directory)" },
        { "rip.exe",            "Proofs(application path)" },
        { "preflight",          "Plates(application path)" },      /* a member of the queue's group */
        { "-STRICT",            "Plates(application arguments)" },
        { "look.exe",           "Archive(launch application path)" },
        { "proof.par",          "Proofs(parameters)" },
        { "epsonwide",          "Proofs(output identity)" },
        { "wideformat",         "Proofs(mutex group)" },
        { "  intake ",          "in:Intake(name)" },
        { "proof",              "Proofs(name)" },                  /* the name is named before the parameters */
        { "nowhere",            "" },
    };
    for (const auto &c : cases) EXPECT_EQ(c.shown, Shown(c.text)) << "text \"" << c.text << "\"";
}

TEST_F(FindQueues, ApplicationsOnlyCountWhenTheQueueRunsThem)
{
    /* Archive runs no processes: a stale reference to the RIP does not make it a match */
    targets[ARCHIVE].processRef = RIP;
    EXPECT_EQ("Proofs(application path)", Shown("rip.exe"));
    /* nor does a free application slot */
    apps[RIP].free = TRUE;
    EXPECT_EQ("", Shown("rip.exe"));
}

TEST_F(FindQueues, AccentedLettersMatchTheirCapitals)
{
    Copy_Field(targets[ARCHIVE].name, "\xC9preuves");            /* "Épreuves" in the ANSI code page */
    EXPECT_EQ("Archive" == std::string(targets[ARCHIVE].name) ? "" : "\xC9preuves(name)", Shown("\xE9preuves"));
}

TEST_F(FindQueues, TwoHundredQueuesAreNarrowedWellWithinAFrame)
{
    Reset_Configuration();
    for (int i = 0; i < MAX_TARGETS; i++) {
        Target &t = mk::Add_Target("Queue " + std::to_string(i), "D:\\Hot\\Q" + std::to_string(i));
        Copy_Field(t.doneDir, ("D:\\Done\\Q" + std::to_string(i)).c_str());
        Copy_Field(t.timeoutDir, ("D:\\Waiting\\Q" + std::to_string(i)).c_str());
    }
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    int shown = 0;
    for (int k = 0; k < 10; k++) shown = Narrow_Queues("d:\\hot\\q137", nullptr, nullptr, nullptr, nullptr);
    QueryPerformanceCounter(&b);
    double ms = 1000.0 * (double)(b.QuadPart - a.QuadPart) / (double)f.QuadPart / 10;
    EXPECT_EQ(1, shown);
    EXPECT_LT(ms, 4.0) << "one narrowing of 200 queues took " << ms << " ms";
}

/* ---- where used ---- */

class UsedBy : public SmallConfig {
protected:
    std::string Uses(int pos)
    {
        QUEUE_USE u[64];
        int n = Find_QueueUses(pos, u, 64);
        return Describe(u, n);
    }
    static std::string Describe(const QUEUE_USE *u, int n)
    {
        std::string s;
        for (int k = 0; k < n; k++) {
            if (!s.empty()) s += "; ";
            s += std::string(u[k].isInput ? "in:" : "") + Use_QueueName(&u[k]) + " " + Use_Text(u[k].kind) + " @" +
                 std::to_string((int)u[k].page);
        }
        return s;
    }
};

TEST_F(UsedBy, EveryKindOfReferenceIsFoundWithThePageThatHoldsIt)
{
    int extra = Add_Queue("Proofs 2", "C:\\Hot\\Proofs2");    /* shares the RIP entry with Proofs */
    targets[extra].processRef = RIP;
    targets[extra].timeoutAction = ARCHIVE;
    int grouped = Add_Queue("Plates 2", "C:\\Hot\\Plates2");  /* shares the group with Plates */
    targets[grouped].processRef = 0;
    targets[grouped].usesGroup = TRUE;

    EXPECT_EQ("Plates passes jobs to it after processing @" + std::to_string(QPAGE_CLEANUP) +
                  "; Proofs 2 passes waiting jobs to it at the time-out @" + std::to_string(QPAGE_MULTIJOB) +
                  "; in:Intake input queue that balances jobs to it @" + std::to_string(QPAGE_INPUTQUEUE),
              Uses(ARCHIVE));
    EXPECT_EQ("in:Intake input queue that balances jobs to it @" + std::to_string(QPAGE_INPUTQUEUE) +
                  "; Proofs 2 runs the same application entry @" + std::to_string(QPAGE_PROCESSES),
              Uses(PROOFS));
    EXPECT_EQ("Plates 2 runs the same application group @" + std::to_string(QPAGE_PROCESSES), Uses(PLATES));
    EXPECT_EQ("", Uses(99));

    /* a queue that passes jobs to itself is not a use by another queue */
    targets[ARCHIVE].afterAction = ARCHIVE;
    EXPECT_EQ(std::string::npos, Uses(ARCHIVE).find("Archive "));
}

TEST_F(UsedBy, AProgramIsFoundWhereverAQueueRunsIt)
{
    int extra = Add_Queue("Proofs 2", "C:\\Hot\\Proofs2");
    targets[extra].processRef = RIP;
    targets[ARCHIVE].processRef = RIP;                         /* runs no processes: not counted */
    QUEUE_USE u[16];
    EXPECT_EQ("Proofs runs the application @6; Proofs 2 runs the application @6",
              Describe(u, Find_AppUses("\"c:\\rip\\RIP.EXE\" ", u, 16)));
    EXPECT_EQ("Plates runs the application @6", Describe(u, Find_AppUses("C:\\Tools\\preflight.exe", u, 16)));
    EXPECT_EQ(0, Find_AppUses("C:\\Tools", u, 16));            /* the whole path, not a piece of it */
    EXPECT_EQ(0, Find_AppUses("", u, 16));

    const char *paths[8];
    int n = List_AppPaths(paths, 8);
    ASSERT_EQ(3, n);
    EXPECT_STREQ("C:\\Rip\\rip.exe", paths[0]);
}

TEST_F(UsedBy, ADeletionNamesOnlyTheReferencesFromQueuesThatStay)
{
    BOOL deleting[MAX_TARGETS] = {};
    deleting[ARCHIVE] = TRUE;
    QUEUE_USE u[16];
    EXPECT_EQ("Plates passes jobs to it after processing @8; in:Intake input queue that balances jobs to it @10",
              Describe(u, Find_ReferencesTo(deleting, u, 16)));
    deleting[PLATES] = TRUE;                                   /* Plates goes too: only Intake is left */
    EXPECT_EQ("in:Intake input queue that balances jobs to it @10", Describe(u, Find_ReferencesTo(deleting, u, 16)));
}

TEST_F(UsedBy, RowsOpenTheQueueOnItsPage)
{
    ROWSET set;
    RowSet_Init(&set);
    ASSERT_TRUE(Fill_QueueUseRows(&set, ARCHIVE));
    ASSERT_EQ(2, set.count);
    EXPECT_STREQ("&Used by: 2 uses of \"Archive\"", set.label);
    EXPECT_STREQ("Plates", set.rows[0].group);
    EXPECT_EQ(ROWREF_TARGET, set.rows[0].ref.kind);
    EXPECT_EQ(PLATES, set.rows[0].ref.pos);
    EXPECT_EQ(QPAGE_CLEANUP, set.rows[0].ref.page);
    EXPECT_STREQ("Clean-Up", set.rows[0].cells[1]);
    EXPECT_EQ(ROWREF_LBQ, set.rows[1].ref.kind);
    EXPECT_EQ(0, set.rows[1].ref.pos);
    RowSet_Free(&set);

    RowSet_Init(&set);
    ASSERT_TRUE(Fill_QueueUseRows(&set, PLATES));
    EXPECT_EQ(0, set.count);
    EXPECT_STREQ("&Nothing uses \"Plates\".", set.label);
    RowSet_Free(&set);
}

/* ---- the history ---- */

class History : public SmallConfig {
protected:
    void SetUp() override
    {
        SmallConfig::SetUp();
        mk::Number_AsLoaded();
        lbqs[0].outputs[PLATES] = 1;
        targets[ARCHIVE].timeoutAction = PROOFS;
        Copy_Field(targets[ARCHIVE].iconPath, "C:\\Icons\\archive.ico");
        Take_LivePrefs(&prefs0);
    }
    PREFS_VALUES prefs0;
    /* Everything the history restores, byte for byte; icon handles are the slots' own and are
       checked apart. */
    static std::string State()
    {
        std::string s;
        auto add = [&](const void *p, size_t n) { s.append((const char *)p, n); };
        for (int i = 0; i < MAX_TARGETS; i++) {
            Target t = targets[i];
            t.icon = nullptr;
            add(&t, sizeof t);
        }
        add(lbqs, sizeof lbqs);
        for (int i = 0; i < MAX_APPS; i++) {
            App a = apps[i];
            a.icon = nullptr;
            add(&a, sizeof a);
        }
        add(appGroups, sizeof appGroups);
        add(&targetCount, sizeof targetCount);
        add(&lbqCount, sizeof lbqCount);
        add(deletedQueues, sizeof deletedQueues);
        PREFS_VALUES p;
        Take_LivePrefs(&p);
        add(&p, sizeof p);
        add(&lbDebugLevel, sizeof lbDebugLevel);
        for (int i = 0; i < userCount; i++) s += std::string(users[i].name) + "=" + users[i].password + "|";
        return s;
    }
    /* The command as one step; the state after it. */
    template <class F> std::string Step(const char *label, F command)
    {
        EXPECT_TRUE(Undo_Begin());
        command();
        EXPECT_TRUE(Undo_End("%s", label)) << label;
        return State();
    }
    std::string Names()
    {
        std::string s;
        for (int i = 0; i < targetCount; i++) s += std::string(s.empty() ? "" : ",") + targets[i].name;
        return s;
    }
};

TEST_F(History, EveryKindOfStepIsUndoneAndRedoneExactly)
{
    struct Case {
        const char *label;
        void (*command)();
    };
    const Case cases[] = {
        { "delete Proofs", [] { Delete_Target(PROOFS); } },                   /* references and outputs shift */
        { "delete Archive", [] { Delete_Target(ARCHIVE); } },                 /* references to it become codes */
        { "delete 2 queues", [] { int p[] = { PROOFS, ARCHIVE }; Delete_Targets(p, 2); } },
        { "move Archive up", [] { Move_Target(ARCHIVE, PROOFS); } },
        { "move Proofs down", [] { Move_Target(PROOFS, PLATES); } },
        { "copy Plates", [] { int c = Copy_Target(PLATES); Copy_Field(targets[c].name, "Plates B"); } },
        { "add New", [] {
              Init_NewTarget(&targets[targetCount], "C:\\Hot\\New");
              Copy_Field(targets[targetCount].name, "New");
              targetCount++;
          } },
        { "edit Plates", [] {                                                 /* a field, and what it runs */
              Copy_Field(targets[PLATES].hotDir, "D:\\Elsewhere");
              targets[PLATES].copies = 7;
              appGroups[0].parallel = TRUE;
              apps[PREFLIGHT].free = TRUE;
              appGroups[0].members[1] = RIP;
          } },
        { "add input queue", [] {
              Init_NewLBQ(&lbqs[lbqCount], "C:\\Hot\\In2");
              lbqs[lbqCount].outputs[ARCHIVE] = 1;
              lbqCount++;
          } },
        { "delete input queue Intake", [] { Delete_LBQ(0); } },
        { "edit input queue Intake", [] { lbqs[0].outputs[PLATES] = 0; lbqs[0].copies = 3; } },
        { "preferences", [] { SpoolerGlobals.SPOOLER_FILE_SETTLE_TIME = 77; Copy_Field(PLATE_SEARCH_APP, "\"C:\\p.exe\""); } },
        { "administration", [] { REQUIRE_LOGIN = TRUE; Remove_User(0); Add_User("carl", "pw"); } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        Clear_History();
        std::string before = State();
        std::string after = Step(c.label, c.command);
        ASSERT_NE(before, after);
        EXPECT_TRUE(Can_Undo());
        EXPECT_STREQ(c.label, Undo_Label());
        EXPECT_FALSE(Can_Redo());

        UNDO_TOUCHED touched;
        ASSERT_TRUE(Undo_Step(&touched));
        EXPECT_TRUE(before == State()) << "undo did not restore the state before";
        EXPECT_STREQ(c.label, Redo_Label());
        ASSERT_TRUE(Redo_Step(&touched));
        EXPECT_TRUE(after == State()) << "redo did not restore the state after";
        ASSERT_TRUE(Undo_Step(nullptr));
        EXPECT_TRUE(before == State());
    }
}

TEST_F(History, StepsUndoneInTurnComeBackInTurn)
{
    std::vector<std::string> states = { State() };
    states.push_back(Step("delete Proofs", [] { Delete_Target(PROOFS); }));
    states.push_back(Step("move Archive up", [] { Move_Target(1, 0); }));
    states.push_back(Step("preferences", [] { SpoolerGlobals.SPOOLER_MAX_LOGSIZE = 500; }));
    states.push_back(Step("copy Archive", [] { Copy_Target(0); }));
    EXPECT_EQ(4, History_Steps());
    for (int k = 3; k >= 0; k--) {
        ASSERT_TRUE(Undo_Step(nullptr));
        EXPECT_TRUE(states[k] == State()) << "after undoing step " << k + 1;
    }
    EXPECT_FALSE(Can_Undo());
    EXPECT_FALSE(Undo_Step(nullptr));
    for (int k = 1; k <= 4; k++) {
        ASSERT_TRUE(Redo_Step(nullptr));
        EXPECT_TRUE(states[k] == State()) << "after redoing step " << k;
    }
    EXPECT_FALSE(Redo_Step(nullptr));
}

TEST_F(History, ANewEditAfterUndosDropsWhatCouldBeRedone)
{
    Step("delete Proofs", [] { Delete_Target(PROOFS); });
    Step("delete Plates", [] { Delete_Target(0); });
    ASSERT_TRUE(Undo_Step(nullptr));
    ASSERT_TRUE(Undo_Step(nullptr));
    EXPECT_EQ("Proofs,Plates,Archive", Names());
    Step("move Archive up", [] { Move_Target(2, 1); });
    EXPECT_FALSE(Can_Redo());
    EXPECT_EQ(1, History_Steps());
    EXPECT_STREQ("move Archive up", Undo_Label());
    EXPECT_EQ("Proofs,Archive,Plates", Names());
}

TEST_F(History, ACommandThatChangesNothingLeavesNoStepAndNestedCommandsMakeOne)
{
    ASSERT_TRUE(Undo_Begin());
    EXPECT_FALSE(Undo_End("edit Proofs"));                    /* the editor was cancelled */
    EXPECT_FALSE(Can_Undo());

    /* a copy whose editor was cancelled is deleted again: nothing to undo */
    ASSERT_TRUE(Undo_Begin());
    int c = Copy_Target(PROOFS);
    Delete_Target(c);
    EXPECT_FALSE(Undo_End("copy Proofs"));
    EXPECT_FALSE(Can_Undo());

    std::string before = State();
    ASSERT_TRUE(Undo_Begin());
    Delete_Target(PROOFS);
    ASSERT_TRUE(Undo_Begin());
    Move_Target(1, 0);
    EXPECT_FALSE(Undo_End("inner"));
    EXPECT_TRUE(Undo_End("outer"));
    EXPECT_EQ(1, History_Steps());
    EXPECT_STREQ("outer", Undo_Label());
    ASSERT_TRUE(Undo_Step(nullptr));
    EXPECT_TRUE(before == State());
}

TEST_F(History, IconsStayWithTheirQueuesAndComeBackFromTheirFiles)
{
    HICON proofs = CopyIcon(LoadIconA(nullptr, (LPCSTR)IDI_APPLICATION));
    HICON archive = CopyIcon(LoadIconA(nullptr, (LPCSTR)IDI_APPLICATION));
    targets[PROOFS].icon = proofs;
    targets[ARCHIVE].icon = archive;

    Step("delete Plates", [] { Delete_Target(PLATES); });
    EXPECT_EQ(archive, targets[1].icon);
    ASSERT_TRUE(Undo_Step(nullptr));
    EXPECT_EQ(proofs, targets[PROOFS].icon);                   /* the queues that stayed keep theirs */
    EXPECT_EQ(archive, targets[ARCHIVE].icon);
    EXPECT_EQ(nullptr, targets[PLATES].icon);

    /* a deleted queue's icon is destroyed; when it comes back it is taken again from its file */
    Step("delete Archive", [] { Delete_Target(ARCHIVE); });
    ASSERT_TRUE(Undo_Step(nullptr));
    EXPECT_EQ(nullptr, targets[ARCHIVE].icon);
    EXPECT_STREQ("C:\\Icons\\archive.ico", targets[ARCHIVE].iconPath);

    /* undoing an addition destroys the icon of the queue that goes */
    Step("copy Proofs", [] { Copy_Target(PROOFS); });
    HICON copy = targets[3].icon;
    ASSERT_NE(nullptr, copy);
    ASSERT_NE(proofs, copy);
    ASSERT_TRUE(Undo_Step(nullptr));
    ICONINFO ii;
    EXPECT_FALSE(GetIconInfo(copy, &ii)) << "the copy's icon was not destroyed";
    EXPECT_EQ(proofs, targets[PROOFS].icon);
    DestroyIcon(proofs);
}

TEST_F(History, AnEditThatPassedByTheHistoryIsNotUndoneBlindly)
{
    Step("delete Proofs", [] { Delete_Target(PROOFS); });
    targets[0].copies = 42;                                   /* no step */
    std::string now = State();
    tk::MsgRecorder rec;
    EXPECT_FALSE(Undo_Step(nullptr));
    ASSERT_EQ(1u, rec.count());
    EXPECT_NE(std::string::npos, rec.last().text.find("\"delete Proofs\" cannot be undone")) << rec.last().text;
    EXPECT_EQ(MB_ICONINFORMATION, tk::Icon_Of(rec.last().flags));
    EXPECT_TRUE(now == State());
    EXPECT_EQ(0, History_Steps());
}

/* The history of the largest installation: 200 queues, every text field full, 100 input
   queues feeding them all; steps that each change much. */
class FullHistory : public History {
protected:
    void SetUp() override
    {
        History::SetUp();
        Reset_Configuration();
        Clear_History();
        std::string fill(200, 'x');
        for (int i = 0; i < 100; i++) {
            Target &t = mk::Add_Target("Queue " + std::to_string(i) + fill, "D:\\Hot\\" + fill + std::to_string(i));
            for (char *f : { t.doneDir, t.timeoutDir, t.excludeFilterDir, t.thumbnailDir, t.parameters, t.extraText,
                             t.filterExtensions, t.iconPath, t.launchAppPath })
                Copy_Text(f, TEXT_LEN, (fill + std::to_string(i)).c_str());
            t.afterAction = (i + 1) % 100;
            t.timeoutAction = (i + 2) % 100;
        }
        for (int i = 0; i < 100; i++) {
            LBQ &q = mk::Add_LBQ("In " + std::to_string(i), "D:\\In\\" + std::to_string(i));
            for (int k = 0; k < 100; k++) q.outputs[k] = 1;
        }
        mk::Number_AsLoaded();
    }
};

TEST_F(FullHistory, AHundredStepsFitTheLimitAndTheOldestGoPastIt)
{
    std::string start = State();
    for (int k = 0; k < 100; k++) {
        switch (k % 4) {
        case 0: Step("delete", [] { Delete_Target(0); }); break;          /* every reference renumbered */
        case 1: Step("move", [] { Move_Target(targetCount - 1, 0); }); break;
        case 2: Step("edit", [] { Copy_Field(targets[5].hotDir, "E:\\Changed"); lbqs[3].copies++; }); break;
        case 3: Step("copy", [] { Copy_Target(7); }); break;
        }
    }
    size_t bytes = History_Bytes();
    RecordProperty("history_bytes", std::to_string(bytes));
    EXPECT_EQ(100, History_Steps());
    EXPECT_LE(bytes, (size_t)UNDO_MEMORY_LIMIT) << bytes << " bytes for 100 steps";
    while (Can_Undo()) ASSERT_TRUE(Undo_Step(nullptr));
    EXPECT_TRUE(start == State());

    /* steps of the largest kind (every record changed), until the oldest must go */
    Clear_History();
    for (int k = 0; k < 6; k++)
        Step("replace all", [] {
            for (int i = 0; i < targetCount; i++) targets[i].copies = targets[i].copies % 9000 + 1;
            for (int i = 0; i < lbqCount; i++) lbqs[i].copies = lbqs[i].copies % 9000 + 1;
        });
    EXPECT_LE(History_Bytes(), (size_t)UNDO_MEMORY_LIMIT);
    EXPECT_LT(History_Steps(), 6) << "no step was dropped";
    EXPECT_EQ(History_Steps(), History_Done());
    std::string newest = State();
    ASSERT_TRUE(Undo_Step(nullptr));
    ASSERT_TRUE(Redo_Step(nullptr));
    EXPECT_TRUE(newest == State());
}

} // namespace
