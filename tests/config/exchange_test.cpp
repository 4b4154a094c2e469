/* Moving queues between installations: the export file, the plan an import makes of it against
   the installation it goes into, and what the import adds and stores. */
#include "store_fixture.h"
#include "config/exchange.h"
#include "config/savesequence.h"
#include "config/lbfile.h"
#include "config/setup.h"
#include <memory>
#include <sstream>

namespace {

struct PlanFree {
    void operator()(IMPORT_PLAN *p) const { Free_ImportPlan(p); }
};
typedef std::unique_ptr<IMPORT_PLAN, PlanFree> Plan;

Plan Read_Text(const std::string &text) { return Plan(Read_Export(text.data(), text.size())); }

std::vector<int> All(int n)
{
    std::vector<int> v;
    for (int i = 0; i < n; i++) v.push_back(i);
    return v;
}

std::string Export_Of(const std::vector<int> &t, const std::vector<int> &l)
{
    OUTBUF b;
    OutBuf_Init(&b);
    EXPECT_TRUE(Build_Export(t.data(), (int)t.size(), l.data(), (int)l.size(), &b));
    std::string s(b.data ? b.data : "", b.len);
    OutBuf_Free(&b);
    return s;
}

std::string Export_All() { return Export_Of(All(targetCount), All(lbqCount)); }

/* The notes of a kind, one a line. */
std::string Notes(const IMPORT_PLAN *p, IMPORT_NOTE_KIND kind)
{
    std::string s;
    for (int i = 0; i < p->noteCount; i++)
        if (p->notes[i].kind == kind) s += std::string(p->notes[i].text) + "\n";
    return s;
}

/* The lines of a text but those that begin with prefix. */
std::string Without_Lines(const std::string &text, const std::string &prefix)
{
    std::istringstream in(text);
    std::string line, out;
    while (std::getline(in, line))
        if (line.compare(0, prefix.size(), prefix) != 0) out += line + "\n";
    return out;
}

int Used_Entries()
{
    int n = 0;
    for (int s = 0; s < MAX_APPS; s++) n += !apps[s].free;
    for (int s = 0; s < MAX_APPGROUPS; s++) n += !appGroups[s].free;
    return n;
}

class Exchange : public StoreTest {
protected:
    void Load_Demo()
    {
        tk::Lay_Out_Demo(home.home());
        ASSERT_TRUE(InitData());
    }
};

/* ---- the round trip ---- */

/* Every queue of the demo exported and imported into an empty installation: the files stored
   there are those of the demo, byte for byte. */
TEST_F(Exchange, EveryDemoQueueImportedIntoAnEmptyInstallationStoresTheDemosFiles)
{
    Load_Demo();
    const std::string exported = Export_All();
    EXPECT_EQ(0u, exported.find("Queue export 1\n"));
    EXPECT_NE(std::string::npos, exported.find("\nafter_processing=pass jobs to queue \"PDF Archive\"\n"));
    EXPECT_NE(std::string::npos, exported.find("\noutputs=\"Plate Setter 1\", \"Plate Setter 2\"\n"));
    EXPECT_NE(std::string::npos, exported.find("\nprocesses=group 1\n"));
    EXPECT_NE(std::string::npos, exported.find("\nassociation=C:\\Windows\\System32\\notepad.exe\n"));
    tk::TempDir files("xf");
    const std::string file = files / "demo.queues";
    std::vector<int> t = All(targetCount), l = All(lbqCount);
    ASSERT_TRUE(Write_Export(file.c_str(), t.data(), targetCount, l.data(), lbqCount));
    EXPECT_EQ(tk::Crlf(exported), tk::Read_File(file)) << "written through the whole-file writer, in text mode";

    tk::TempDir other("xe");
    Fresh_Process();
    tk::Use_Home(other.path());
    InitData();
    Plan plan(Read_ExportFile(file.c_str()));
    ASSERT_TRUE(plan != nullptr);
    ASSERT_FALSE(plan->refused) << plan->badLine << ": " << plan->reason;
    EXPECT_EQ(9, plan->queueCount);
    EXPECT_EQ(home.home(), std::string(plan->sourceHome));
    EXPECT_EQ(1, Review_Import(plan.get())) << "only the monitor queue's hot directory is missing:\n"
                                            << Notes(plan.get(), IN_MISSING_PATH);
    EXPECT_EQ("Output queue \"Monitor\": Hot directory \"" + home.home() + "\\Hot\\Monitor\" does not exist on this machine\n",
              Notes(plan.get(), IN_MISSING_PATH));
    EXPECT_EQ("", Notes(plan.get(), IN_RENAMED) + Notes(plan.get(), IN_UNRESOLVED) + Notes(plan.get(), IN_CLAMPED));
    EXPECT_EQ(6, plan->newApps);
    EXPECT_EQ(2, plan->newGroups);
    ASSERT_TRUE(Apply_Import(plan.get()));
    ASSERT_TRUE(Save_Sequence(TRUE));
    EXPECT_EQ(0u, msgs.count()) << msgs.last().text;

    for (const char *f : { "Queues.cfg", "Applications.cfg", "CommandLine.cfg", "OEMApps.cfg" })
        EXPECT_EQ(tk::Read_File(home / f), tk::Read_File(other / f)) << f;
    /* the load balancer's debug level belongs to the installation, not to its queues */
    EXPECT_EQ(Without_Lines(tk::Read_File(home / "LBPrefs.cfg"), "DEBUG_LEVEL"),
              Without_Lines(tk::Read_File(other / "LBPrefs.cfg"), "DEBUG_LEVEL"));
}

/* A queue whose parameters name a file carries that file's lines; the import writes the file
   where it is missing, byte for byte, and keeps one that exists. */
TEST_F(Exchange, AParameterFileTravelsWithItsQueue)
{
    const std::string params = home / "Params\\plates.txt";
    tk::Make_Dirs(home / "Params");
    tk::Write_File(params, "-res 2400\r\n\r\n-mirror");          /* the last line has no line break */
    Target &q = mk::Add_Target("Plates", home / "Hot");
    tk::Make_Dirs(home / "Hot");
    Copy_Field(q.parameters, params.c_str());
    q.parametersIsFile = TRUE;
    const std::string exported = Export_Of({ 0 }, {});
    EXPECT_NE(std::string::npos, exported.find("parameters_are_a_file=Yes\nparameter_file_line=-res 2400\n"
                                                "parameter_file_line=\nparameter_file_line=-mirror\n"
                                                "parameter_file_last_line_ended=No\n"));
    DeleteFileA(params.c_str());
    Fresh_Process();
    Plan plan = Read_Text(exported);
    ASSERT_FALSE(plan->refused) << plan->reason;
    EXPECT_EQ(0, Review_Import(plan.get())) << Notes(plan.get(), IN_MISSING_PATH);
    EXPECT_EQ("Output queue \"Plates\": the parameter file \"" + params + "\" is written from the export file\n",
              Notes(plan.get(), IN_CREATED));
    ASSERT_TRUE(Apply_Import(plan.get()));
    EXPECT_FALSE(tk::Exists(params)) << "nothing is written before the store";
    ASSERT_TRUE(Save_Sequence(TRUE));
    EXPECT_EQ("-res 2400\r\n\r\n-mirror", tk::Read_File(params));
    EXPECT_TRUE(targets[0].parametersIsFile);
}

/* ---- the conflicts ---- */

/* An export of one output queue with what the case needs. */
std::string One_Queue(const std::string &name, const std::string &hot, const std::string &extra = "",
                      const std::string &before = "")
{
    return "Queue export 1\n" + before + "[output queue]\nname=" + name + "\nhot_directory=" + hot + "\n" + extra + "[end]\n";
}

TEST_F(Exchange, ConflictsWithTheInstallationAreListedWithTheirOutcome)
{
    Load_Demo();
    const std::string hot = home / "Hot\\Proofer";
    const std::string rip = home / "Apps\\ProofRip.exe";
    const std::string proofRip = "[application]\npath=" + rip + "\narguments=-profile proof.icc\nrun_alone=No\n"
                                 "runtime_priority=Normal\ncompatible_v3=Yes\nresident=No\nrun_as=a minimised window\n";
    struct Case {
        const char *what;
        std::string text;
        int blocking;
        IMPORT_NOTE_KIND kind;
        std::string notes;            /* of that kind */
        bool applies;
        int newEntries;               /* application entries added */
    };
    const Case cases[] = {
        { "a name taken here gets the next free number", One_Queue("proofer", hot), 1, IN_RENAMED,
          "Output queue \"proofer\" is renamed \"proofer (2)\": a queue of that name exists here\n", true, 0 },
        { "an application with the same path, arguments and options is reused",
          One_Queue("Proofer B", hot, "processes=application 1\n", proofRip), 0, IN_MISSING_PATH, "", true, 0 },
        { "an application that is not here is added; its missing program is listed",
          One_Queue("Proofer C", hot, "processes=application 1\n", "[application]\npath=C:\\NoSuch\\Rip.exe\n"), 1,
          IN_MISSING_PATH, "Application \"C:\\NoSuch\\Rip.exe\": the program \"C:\\NoSuch\\Rip.exe\" does not exist on this machine\n",
          true, 1 },
        { "a missing hot directory, done directory (jobs are moved there) and icon, each with its label",
          One_Queue("Proofer D", "C:\\NoSuch\\Hot", "after_processing=move jobs to the done directory\ndone_directory=C:\\NoSuch\\Done\nicon=C:\\NoSuch\\q.ico\n"), 3,
          IN_MISSING_PATH,
          "Output queue \"Proofer D\": Hot directory \"C:\\NoSuch\\Hot\" does not exist on this machine\n"
          "Output queue \"Proofer D\": Done directory \"C:\\NoSuch\\Done\" does not exist on this machine\n"
          "Output queue \"Proofer D\": Icon \"C:\\NoSuch\\q.ico\" does not exist on this machine\n",
          true, 0 },
        { "a reference to a queue neither exported nor here", One_Queue("Proofer E", hot,
          "after_processing=pass jobs to queue \"Elsewhere\"\nat_time_out=pass waiting jobs to queue \"PDF Archive\"\n"),
          0, IN_UNRESOLVED,
          "Output queue \"Proofer E\": After processing passes jobs to queue \"Elsewhere\", which is neither imported nor "
          "here: jobs are left where they are\n",
          true, 0 },
        { "an input queue's output that is nowhere",
          "Queue export 1\n[input queue]\nname=In\nhot_directory=" + hot + "\noutputs=\"Proofer\", \"Gone\"\n[end]\n", 0,
          IN_UNRESOLVED, "Input queue \"In\": its output queue \"Gone\" is neither imported nor here: the input queue does "
          "not feed it\n", true, 0 },
        { "a value the queues file would clamp is clamped and listed", One_Queue("Proofer F", hot, "copies=20000\n"), 0,
          IN_CLAMPED, "Output queue \"Proofer F\": Copies \"20000\" is held to \"10000\" (line 5)\n", true, 0 },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Fresh_Process();
        ASSERT_TRUE(InitData());
        const int queuesBefore = targetCount, entriesBefore = Used_Entries();
        Plan plan = Read_Text(c.text);
        ASSERT_FALSE(plan->refused) << plan->badLine << ": " << plan->reason;
        EXPECT_EQ(c.blocking, Review_Import(plan.get()));
        EXPECT_EQ(c.notes, Notes(plan.get(), c.kind));
        EXPECT_EQ(c.applies, (bool)Apply_Import(plan.get()));
        EXPECT_EQ(c.newEntries, Used_Entries() - entriesBefore);
        if (plan->queues[0].isInput) continue;
        ASSERT_EQ(queuesBefore + 1, targetCount);
        EXPECT_EQ(std::string(plan->queues[0].newName), targets[targetCount - 1].name);
    }
    /* the outcome of the references: the unknown queue leaves jobs, the one here is found by name */
    EXPECT_EQ(NO_PROCESSES, targets[targetCount - 1].processRef);
    Fresh_Process();
    ASSERT_TRUE(InitData());
    Plan plan = Read_Text(cases[4].text);
    ASSERT_TRUE(Apply_Import(plan.get()));
    EXPECT_EQ(AFTER_LEAVE, targets[7].afterAction);
    EXPECT_EQ(2, targets[7].timeoutAction) << "PDF Archive, found among the queues here";
    /* the reused application: the same slot as the demo's own Proofer */
    Fresh_Process();
    ASSERT_TRUE(InitData());
    plan = Read_Text(cases[1].text);
    ASSERT_TRUE(Apply_Import(plan.get()));
    EXPECT_EQ(targets[3].processRef, targets[7].processRef);
    EXPECT_FALSE(targets[7].usesGroup);
    /* the input queue feeds the Proofer that is here */
    Fresh_Process();
    ASSERT_TRUE(InitData());
    plan = Read_Text(cases[5].text);
    ASSERT_TRUE(Apply_Import(plan.get()));
    EXPECT_EQ(1, lbqs[2].outputs[3]);
    EXPECT_EQ(1, Count_LBQOutputs(lbqs[2].outputs));
}

/* Exported queues that pass jobs to each other keep doing so where they land, renamed or not;
   a group of applications that are all here is the group here. */
TEST_F(Exchange, ImportingTheDemoIntoItselfRenamesEveryQueueAndReusesEveryApplication)
{
    Load_Demo();
    const std::string exported = Export_Of({ 1, 2, 4 }, { 0 });
    const int entries = Used_Entries();
    Plan plan = Read_Text(exported);
    ASSERT_FALSE(plan->refused) << plan->reason;
    EXPECT_EQ(4, Review_Import(plan.get())) << Notes(plan.get(), IN_RENAMED);
    EXPECT_EQ(0, plan->newApps + plan->newGroups);
    ASSERT_TRUE(Apply_Import(plan.get()));
    EXPECT_EQ(entries, Used_Entries());
    ASSERT_EQ(10, targetCount);
    EXPECT_STREQ("Plate Setter 2 (2)", targets[7].name);
    EXPECT_STREQ("PDF Archive (2)", targets[8].name);
    EXPECT_STREQ("Imposition (2)", targets[9].name);
    EXPECT_EQ(8, targets[7].afterAction) << "to the imported PDF Archive";
    EXPECT_EQ(targets[4].processRef, targets[9].processRef);
    EXPECT_TRUE(targets[9].usesGroup);
    EXPECT_EQ(0, targets[9].afterAction) << "Plate Setter 1 was not exported: the one here";
    EXPECT_EQ(7, targets[9].timeoutAction) << "to the imported Plate Setter 2: the imported queues come first";
    ASSERT_EQ(3, lbqCount);
    EXPECT_STREQ("Plates In (2)", lbqs[2].name);
    EXPECT_EQ(1, lbqs[2].outputs[0]);
    EXPECT_EQ(1, lbqs[2].outputs[7]) << "Plate Setter 2 as imported";
    EXPECT_EQ(2, Count_LBQOutputs(lbqs[2].outputs));
}

TEST_F(Exchange, TheOperatorsNamesAndRootReplacementAreTaken)
{
    Load_Demo();
    Plan plan = Read_Text(Export_Of({ 3 }, {}));
    plan->queues[0].nameEdited = TRUE;
    Copy_Field(plan->queues[0].newName, "Plate Setter 1");
    Review_Import(plan.get());
    EXPECT_EQ("Output queue \"Proofer\": the new name \"Plate Setter 1\" is taken\n", Notes(plan.get(), IN_NAME_TAKEN));
    EXPECT_FALSE(Apply_Import(plan.get()));
    EXPECT_EQ(7, targetCount);
    Copy_Field(plan->queues[0].newName, "Bad:Name");
    Review_Import(plan.get());
    EXPECT_NE("", Notes(plan.get(), IN_NAME_TAKEN));

    Copy_Field(plan->queues[0].newName, "Proofer West");
    tk::Make_Dirs(home / "West\\Hot\\Proofer");
    Copy_Field(plan->fromRoot, home.home().c_str());
    Copy_Field(plan->toRoot, (home / "West\\").c_str());
    EXPECT_EQ(1, Review_Import(plan.get()));
    EXPECT_EQ("Application \"" + home / "Apps\\ProofRip.exe" + "\": the program \"" + home / "West\\Apps\\ProofRip.exe" +
                  "\" does not exist on this machine\n",
              Notes(plan.get(), IN_MISSING_PATH));
    ASSERT_TRUE(Apply_Import(plan.get()));
    EXPECT_STREQ("Proofer West", targets[7].name);
    EXPECT_EQ(home / "West\\Hot\\Proofer", std::string(targets[7].hotDir));
    EXPECT_EQ(home / "West\\Timed Out\\Proofs", std::string(targets[7].timeoutDir));
    EXPECT_NE(targets[3].processRef, targets[7].processRef) << "the application's path moved with the root: a new entry";
    EXPECT_EQ(home / "West\\Apps\\ProofRip.exe", std::string(apps[targets[7].processRef].path));
}

TEST(ExchangeRoot, OnlyAWholeLeadingFolderIsReplaced)
{
    const struct { const char *path, *from, *to, *out; bool replaced; } cases[] = {
        { "C:\\Spool\\Hot\\A", "C:\\Spool", "D:\\Spool", "D:\\Spool\\Hot\\A", true },
        { "c:\\spool\\Hot", "C:\\Spool\\", "E:\\", "E:\\Hot", true },
        { "C:\\Spool", "C:\\Spool", "D:\\New", "D:\\New", true },
        { "C:\\Spooler\\Hot", "C:\\Spool", "D:\\Spool", "C:\\Spooler\\Hot", false },
        { "D:\\C:\\Spool", "C:\\Spool", "D:\\Spool", "D:\\C:\\Spool", false },
    };
    for (const auto &c : cases) {
        char out[TEXT_LEN];
        EXPECT_EQ(c.replaced, (bool)Replace_PathRoot(c.path, c.from, c.to, out, sizeof out)) << c.path;
        EXPECT_STREQ(c.out, out);
    }
}

TEST_F(Exchange, LimitsRefuseTheWholeImportWithTheExactCounts)
{
    for (int i = 0; i < 199; i++) mk::Add_Target("Q" + std::to_string(i), home / "Hot");
    const std::string two = "Queue export 1\n[output queue]\nname=A\nhot_directory=" + home.home() +
                            "\n[output queue]\nname=B\nhot_directory=" + home.home() + "\n[end]\n";
    Plan plan = Read_Text(two);
    ASSERT_FALSE(plan->refused) << plan->reason;
    Review_Import(plan.get());
    EXPECT_EQ("The import adds 2 queues to the 199 of this installation: 201 in all, and an installation holds at most "
              "200 queues.\n",
              Notes(plan.get(), IN_LIMIT));
    EXPECT_FALSE(Apply_Import(plan.get()));
    EXPECT_EQ(199, targetCount);

    Reset_Configuration();
    for (int i = 0; i < 199; i++) mk::Add_App("C:\\Apps\\P" + std::to_string(i) + ".exe");
    const std::string apps2 = "Queue export 1\n[application]\npath=C:\\X.exe\n[application]\npath=C:\\Y.exe\n"
                              "[output queue]\nname=A\nhot_directory=" + home.home() + "\nprocesses=application 1\n"
                              "[output queue]\nname=B\nhot_directory=" + home.home() + "\nprocesses=application 2\n[end]\n";
    plan = Read_Text(apps2);
    ASSERT_FALSE(plan->refused) << plan->reason;
    Review_Import(plan.get());
    EXPECT_EQ("The import adds 2 application entries to the 199 of this installation: 201 in all, and an installation "
              "holds at most 200 application entries.\n",
              Notes(plan.get(), IN_LIMIT));
    EXPECT_FALSE(Apply_Import(plan.get()));
    EXPECT_EQ(0, targetCount);
    EXPECT_EQ(199, Used_Entries());
}

/* ---- bad input ---- */

TEST(ExchangeBadInput, AFileThatIsNotAWholeExportIsRefusedWithItsLineAndReason)
{
    const std::string q = "[output queue]\nname=A\nhot_directory=C:\\Hot\n";
    const struct { const char *what; std::string text; int line; std::string reason; } cases[] = {
        { "not an export file", "Plate Setter::1::C:\\Hot::0\n", 1,
          "this is not a queue export file (its first line is not \"Queue export 1\")" },
        { "an empty file", "", 0, "the file is empty: this is not a queue export file" },
        { "a newer version", "Queue export 2\n" + q + "[end]\n", 1,
          "the file was written by a newer version of the export (2); this editor reads version 1" },
        { "cut short", "Queue export 1\n" + q, 4,
          "the file is cut short: it ends after line 4 without its end line \"[end]\"" },
        { "a damaged line", "Queue export 1\n" + q + "copies 3\n[end]\n", 5, "a damaged line (\"key=value\" expected)" },
        { "a damaged section line", "Queue export 1\n[output queue\n[end]\n", 2,
          "a damaged section line (\"[name]\" expected)" },
        { "an unknown section", "Queue export 1\n[printer]\n[end]\n", 2, "unknown section \"[printer]\"" },
        { "an unknown key", "Queue export 1\n" + q + "colour=blue\n[end]\n", 5, "unknown key \"colour\" in the output queue" },
        { "a value that is none", "Queue export 1\n" + q + "copies=many\n[end]\n", 5,
          "the value of \"copies\" (many) cannot be read: not a number" },
        { "a key given twice", "Queue export 1\n" + q + "name=B\n[end]\n", 5, "\"name\" is given twice in the output queue" },
        { "a queue without a name", "Queue export 1\n[output queue]\nhot_directory=C:\\Hot\n[end]\n", 2,
          "the output queue has no name" },
        { "processes that are not in the file", "Queue export 1\n" + q + "processes=application 1\n[end]\n", 5,
          "the processes \"application 1\" are none of the applications or groups before them" },
        { "a group of one", "Queue export 1\n[application]\npath=C:\\A.exe\n[group]\nmembers=application 1\n[end]\n", 5,
          "a group runs two to four applications" },
        { "text after the end", "Queue export 1\n" + q + "[end]\nname=C\n", 6, "text after the end line \"[end]\"" },
        { "no queue", "Queue export 1\n[end]\n", 0, "the file holds no queue" },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Plan plan = Read_Text(c.text);
        ASSERT_TRUE(plan != nullptr);
        EXPECT_TRUE(plan->refused);
        EXPECT_EQ(c.line, plan->badLine);
        EXPECT_EQ(c.reason, std::string(plan->reason));
        EXPECT_FALSE(Apply_Import(plan.get()));
    }
}

TEST_F(Exchange, AFileThatCannotBeReadIsRefused)
{
    Plan plan(Read_ExportFile((home / "none.queues").c_str()));
    ASSERT_TRUE(plan != nullptr);
    EXPECT_TRUE(plan->refused);
    EXPECT_EQ(0u, std::string(plan->reason).find("the file \"" + home / "none.queues" + "\" cannot be read: "))
        << plan->reason;
}

} // namespace
