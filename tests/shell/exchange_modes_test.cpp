/* -export and -import: queues moved between installations without a window. What the script
   that calls them sees: the exit code, the lines on each stream, the files written or left. */
#include "support/testkit.h"
#include "shell/modes.h"
#include "common/appstate.h"
#include "config/model.h"

using namespace tk;

namespace {

class ExchangeModes : public HomeTest {
protected:
    TempDir other{ "xm" };          /* a second installation, empty */
    TempDir files{ "xf" };
    void SetUp() override
    {
        HomeTest::SetUp();
        Lay_Out_Demo(home.home());
        Fail_StrayBoxes();
    }
    /* Runs a command line in this process as Editor.exe would; the exit code. */
    int Run(const std::string &line)
    {
        Reset_ProcessState();
        int count = 0, code = -99;
        const CLI_MODE *modes = Command_Modes(&count);
        EXPECT_TRUE(Run_CommandMode(modes, count, line.c_str(), &code)) << line;
        return code;
    }
    std::string Demo(const std::string &rel) const { return Read_File(home / rel); }
    std::string Other(const std::string &rel) const { return Read_File(other / rel); }
};

TEST_F(ExchangeModes, ExportWritesTheNamedQueuesAndListsThem)
{
    const std::string file = files / "two.queues";
    StdCapture cap;
    EXPECT_EQ(0, Run("-export \"" + home.home() + "\" \"" + file + "\" proofer \"Plates In\" Proofer"));
    EXPECT_EQ("exported\tinput queue\tPlates In\r\nexported\toutput queue\tProofer\r\n", cap.out());
    EXPECT_EQ("", cap.err());
    const std::string text = Read_File(file);
    EXPECT_EQ(0u, text.find("Queue export 1\r\n"));
    EXPECT_NE(std::string::npos, text.find("\r\n[input queue]\r\nname=Plates In\r\n"));
    EXPECT_NE(std::string::npos, text.find("\r\n[output queue]\r\nhidden=No\r\nname=Proofer\r\n"));
    EXPECT_EQ(std::string::npos, text.find("name=Imposition"));
}

TEST_F(ExchangeModes, ExportOfANameThatIsNotThereWritesNothing)
{
    const std::string file = files / "none.queues";
    StdCapture cap;
    EXPECT_EQ(1, Run("-export " + home.home() + " " + file + " Proofer Nowhere \"Also Not\""));
    EXPECT_EQ("", cap.out());
    EXPECT_EQ("No queue is named \"Nowhere\" in " + home.home() + ".\r\nNo queue is named \"Also Not\" in " + home.home() +
                  ".\r\nNothing was exported.\r\n",
              cap.err());
    EXPECT_FALSE(Exists(file));
    EXPECT_EQ(1, Run("-export " + home.home() + " " + file));
    EXPECT_NE(std::string::npos, cap.err().find("Nothing was exported.\r\nUsage: Editor.exe -export <home> <file> <queue name>...\r\n"));
}

TEST_F(ExchangeModes, ImportIntoAnEmptyInstallationStoresAndListsWhatItDid)
{
    const std::string file = files / "two.queues";
    ASSERT_EQ(0, Run("-export " + home.home() + " " + file + " Proofer Imposition"));
    StdCapture cap;
    EXPECT_EQ(0, Run("-import " + other.path() + " " + file));
    EXPECT_EQ("", cap.err());
    const std::string impose = home / "Apps\\Impose.exe", preflight = home / "Apps\\Preflight.exe";
    EXPECT_EQ("imported\toutput queue\tProofer\tProofer\r\n"
              "imported\toutput queue\tImposition\tImposition\r\n"
              "application\tadded\t" + home / "Apps\\ProofRip.exe" + "\r\n"
              "application\tadded\t" + impose + "\r\n"
              "application\tadded\t" + preflight + "\r\n"
              "note\tOutput queue \"Imposition\": After processing passes jobs to queue \"Plate Setter 1\", which is "
              "neither imported nor here: jobs are left where they are\r\n"
              "note\tOutput queue \"Imposition\": At the time-out passes waiting jobs to queue \"Plate Setter 2\", which "
              "is neither imported nor here: the queue never times out\r\n"
              "note\tThe command-line parameter file \"" + other / "CommandLine.cfg" + "\" is written from the export file\r\n",
              cap.out());
    const std::string queues = Other("Queues.cfg");
    EXPECT_EQ(0u, queues.find("Proofer::0::" + home / "Hot\\Proofer" + "::0::-proof::-4::")) << queues;
    EXPECT_NE(std::string::npos, queues.find("\r\nImposition::1::" + home / "Hot\\Imposition" + "::3:: ::-3::")) << queues;
    EXPECT_EQ(Demo("CommandLine.cfg"), Other("CommandLine.cfg"));
}

TEST_F(ExchangeModes, ImportRefusesWithEveryReasonAndChangesNothing)
{
    const std::string file = files / "two.queues";
    ASSERT_EQ(0, Run("-export " + home.home() + " " + file + " Proofer Monitor"));
    const std::string queues = Demo("Queues.cfg"), apps = Demo("Applications.cfg");
    StdCapture cap;
    EXPECT_EQ(1, Run("-import " + home.home() + " " + file));
    EXPECT_EQ("", cap.out());
    EXPECT_EQ("Output queue \"Proofer\" is renamed \"Proofer (2)\": a queue of that name exists here\r\n"
              "Output queue \"Monitor\" is renamed \"Monitor (2)\": a queue of that name exists here\r\n"
              "Output queue \"Monitor\": Hot directory \"" + home / "Hot\\Monitor" + "\" does not exist on this machine\r\n"
              "Nothing was imported.\r\n",
              cap.err());
    EXPECT_EQ(queues, Demo("Queues.cfg"));
    EXPECT_EQ(apps, Demo("Applications.cfg"));
    EXPECT_FALSE(Exists(home / "Queues.old")) << "nothing was stored";

    /* a damaged file: its line and reason */
    std::string text = Read_File(file);
    text.replace(text.find("copies="), 7, "copies:");
    Write_File(files / "bad.queues", text);
    EXPECT_EQ(1, Run("-import " + other.path() + " " + files / "bad.queues"));
    const std::string err = cap.err();
    EXPECT_NE(std::string::npos, err.find(files / "bad.queues" + ", line ")) << err;
    EXPECT_NE(std::string::npos, err.find(": a damaged line (\"key=value\" expected)\r\nNothing was imported.\r\n")) << err;
    EXPECT_TRUE(List_Dir(other.path()).empty());
}

/* The two commands as real processes, with the root replacement of -import: the queues land
   with their paths under the new root. */
TEST_F(ExchangeModes, TheProgramExportsAndImportsWithANewRoot)
{
    ASSERT_TRUE(CopyFileA(Editor_Exe().c_str(), home.editor().c_str(), FALSE));
    const std::string file = files / "proofer.queues", out = files / "out.txt";
    {
        Child editor(Quote(home.editor()) + " -export " + Quote(home.home()) + " " + Quote(file) + " Proofer", "", nullptr, out);
        ASSERT_TRUE(editor.started());
        EXPECT_EQ(0, editor.wait(30000));
    }
    EXPECT_EQ("exported\toutput queue\tProofer\r\n", Read_File(out));
    const std::string west = other / "West";
    Make_Dirs(west + "\\Hot\\Proofer");
    Make_Dirs(west + "\\Apps");
    ASSERT_TRUE(CopyFileA((home / "Apps\\ProofRip.exe").c_str(), (west + "\\Apps\\ProofRip.exe").c_str(), FALSE));
    {
        Child editor(Quote(home.editor()) + " -import " + Quote(other.path()) + " " + Quote(file) + " " + Quote(home.home()) +
                         " " + Quote(west),
                     "", nullptr, out);
        ASSERT_TRUE(editor.started());
        EXPECT_EQ(0, editor.wait(30000)) << Read_File(out);
    }
    EXPECT_EQ(0u, Read_File(out).find("imported\toutput queue\tProofer\tProofer\r\napplication\tadded\t" + west +
                                      "\\Apps\\ProofRip.exe\r\n"))
        << Read_File(out);
    EXPECT_EQ(0u, Other("Queues.cfg").find("Proofer::0::" + west + "\\Hot\\Proofer::0::"));
    EXPECT_EQ(0u, Other("Applications.cfg").find("\"" + west + "\\Apps\\ProofRip.exe\" -profile proof.icc::P::N::"));
}

} // namespace
