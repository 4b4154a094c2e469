#include "support/testkit.h"
#include "queueedit/paramkit.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/text.h"
#include "config/model.h"
#include "queueedit/paramfile.h"
#include <stdlib.h>

namespace {

using pf::ClassesRoot;
using pf::Started;
using pf::Touch_Later;

std::vector<std::string> Table()
{
    std::vector<std::string> out;
    for (int i = 0; i < paramCount; i++) out.push_back(paramTable[i]);
    return out;
}

class ParamFile : public tk::HomeTest {
protected:
    std::string file;
    void SetUp() override
    {
        tk::HomeTest::SetUp();
        file = home / "CommandLine.cfg";
    }
};

} // namespace

struct TokenCase { const char *name, *content; std::vector<std::string> entries; };

TEST_F(ParamFile, ReadCutsParameterTokensAtTheirCommasFromTheEnd)
{
    const std::string slot260(260, 's'), slot261(261, 'l');
    const TokenCase cases[] = {
        { "only -x",                    "-x\n",               { "-x" } },
        { "commas from the end",        "-a,-b,-c\n",         { "-c", "-b", "-a" } },
        { "two tokens on a line",       "-a::-b\n",           { "-a", "-b" } },
        { "no minus, no parameters",    "a,-b\n",             {} },
        { "plain token then parameter", "text::-y\n",         { "-y" } },
        { "a single colon is kept",     "-tray:2,-p\n",       { "-p", "-tray:2" } },
        { "three colons",               "-a:::-b\n",          { "-a" } },
        { "slots fill across lines",    "-a,-b\r\n-c\r\n",    { "-b", "-a", "-c" } },
        { "no final line feed",         "-a",                 { "-a" } },
        { "a last line's carriage return", "-a\r",            { "-a" } },
        { "empty lines between",        "\r\n-a\n\n-b\n",      { "-a", "-b" } },
        { "leading blank is no minus",  " -a\n",              {} },
        { "empty parameter keeps its line", "-a,,-b\n",       { "-b", "", "-a" } },
        { "ten slots, the rest left out", "-1,-2,-3,-4,-5,-6::-7,-8,-9,-10,-11,-12\n",
          { "-6", "-5", "-4", "-3", "-2", "-1", "-12", "-11", "-10", "-9" } },
    };
    for (const TokenCase &c : cases) {
        SCOPED_TRACE(c.name);
        tk::Write_File(file, c.content);
        EXPECT_TRUE(Read_ParamFile(file.c_str()));
        EXPECT_EQ(c.entries, Table());
        for (int i = paramCount; i < PARAM_SLOTS; i++) EXPECT_STREQ("", paramTable[i]) << "slot " << i;
    }
    /* the file is read as text: a zero byte ends it */
    tk::Write_File(file, std::string("-a\n-b\0-c\n-d\n", 12));
    EXPECT_TRUE(Read_ParamFile(file.c_str()));
    EXPECT_EQ((std::vector<std::string>{ "-a", "-b" }), Table());
    /* 260 characters fill a slot; a longer parameter is left out, never cut or overrun */
    tk::Write_File(file, "-" + slot260.substr(1) + ",-" + slot261.substr(1) + ",-z\n");
    EXPECT_TRUE(Read_ParamFile(file.c_str()));
    EXPECT_EQ((std::vector<std::string>{ "-z", "-" + slot260.substr(1) }), Table());
}

TEST_F(ParamFile, ReadsTheFixtureAndEmptiesTheTableFirst)
{
    const std::string before = home / "before.cfg";
    tk::Write_File(before, "-1,-2,-3,-4,-5,-6,-7,-8,-9,-10\n");
    ASSERT_TRUE(Read_ParamFile(before.c_str()));
    tk::Write_File(file, tk::Read_File(tk::Fixture("paramfile/mixed.cfg")));
    EXPECT_TRUE(Read_ParamFile(file.c_str()));
    const std::vector<std::string> want = { "-copies 2", "-duplex", "-res 600", "-tray:2", "-nobanner" };
    EXPECT_EQ(want, Table());
    for (int i = paramCount; i < PARAM_SLOTS; i++) EXPECT_STREQ("", paramTable[i]) << "slot " << i;

    /* an unreadable file leaves the table empty */
    EXPECT_FALSE(Read_ParamFile((home / "missing.cfg").c_str()));
    EXPECT_EQ(0, paramCount);
    for (int i = 0; i < PARAM_SLOTS; i++) EXPECT_STREQ("", paramTable[i]) << "slot " << i;
}

TEST_F(ParamFile, WatchRereadsOnlyAfterTheFileChanged)
{
    EXPECT_FALSE(Watch_ParamFile()) << "nothing watched before the first read";
    tk::Write_File(file, "-a\n");
    ASSERT_TRUE(Read_ParamFile(file.c_str()));
    EXPECT_FALSE(Watch_ParamFile());

    tk::Write_File(file, "-b,-c\n");
    Touch_Later(file);
    EXPECT_TRUE(Watch_ParamFile());
    EXPECT_EQ((std::vector<std::string>{ "-c", "-b" }), Table());
    EXPECT_FALSE(Watch_ParamFile());

    /* a file that disappears empties the table once */
    DeleteFileA(file.c_str());
    EXPECT_TRUE(Watch_ParamFile());
    EXPECT_TRUE(Table().empty());
    EXPECT_FALSE(Watch_ParamFile());
}

TEST_F(ParamFile, WatchSeesAnImmediateRewrite)
{
    /* the page's timer runs every 250 ms: a save right after a read is still noticed */
    tk::Write_File(file, "-a\n");
    ASSERT_TRUE(Read_ParamFile(file.c_str()));
    Sleep(20);
    tk::Write_File(file, "-a,-b\n");
    EXPECT_TRUE(Watch_ParamFile());
    EXPECT_EQ((std::vector<std::string>{ "-b", "-a" }), Table());
}

TEST_F(ParamFile, PrepareWithoutAFileTellsOnceCreatesItAndWatchesIt)
{
    const std::string before = home / "before.cfg";
    tk::Write_File(before, "-kept\n");
    ASSERT_TRUE(Read_ParamFile(before.c_str()));
    tk::MsgRecorder rec;
    EXPECT_FALSE(Prepare_ParamFile());
    ASSERT_EQ(1u, rec.count());
    EXPECT_EQ("There is no parameter file.\r\nA file will be created, click on 'Edit Command Line Parameter File' to "
              "edit it.\r\nEnter your required parameters, which must be on a single line, comma (,) separated.\r\nSave "
              "the file to the default name and location.\r\n",
              rec.last().text);
    EXPECT_EQ(std::string(programTitle), rec.last().caption);
    EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(rec.last().flags));
    EXPECT_EQ((UINT)MB_OK, tk::Buttons_Of(rec.last().flags));
    bool exists = false;
    EXPECT_EQ("", tk::Read_File(file, &exists));
    EXPECT_TRUE(exists);
    EXPECT_EQ(std::vector<std::string>{ "-kept" }, Table()) << "the table is left as it was";

    /* the operator fills the new file while the page is open */
    tk::Write_File(file, "-x\n");
    Touch_Later(file);
    EXPECT_TRUE(Watch_ParamFile());
    EXPECT_EQ(std::vector<std::string>{ "-x" }, Table());

    /* the next Prepare reads it without a message */
    tk::Write_File(file, "");
    EXPECT_TRUE(Prepare_ParamFile());
    EXPECT_EQ(1u, rec.count());
    EXPECT_TRUE(Table().empty());
}

TEST_F(ParamFile, PrepareReadsAnExistingFile)
{
    tk::Write_File(file, "-a,-b\n");
    tk::MsgRecorder rec;
    EXPECT_TRUE(Prepare_ParamFile());
    EXPECT_EQ((std::vector<std::string>{ "-b", "-a" }), Table());
    EXPECT_EQ(0u, rec.count());
}

/* ---- the program registered for text files ---- */

struct CommandCase { const char *name, *command, *program, *args; };

TEST(Build_TextCommand, QuotesTheArgumentsAndPutsInTheFile)
{
    SetEnvironmentVariableA("EDT_TOOLS", "D:\\Tools");
    const CommandCase cases[] = {
        { "unquoted program and %1",   "C:\\Bin\\ed.exe %1",                    "C:\\Bin\\ed.exe",           "\"F:\\p q.cfg\"" },
        { "quoted program, quoted %1", "\"C:\\Program Files\\ed.exe\" \"%1\"",  "C:\\Program Files\\ed.exe", "\"F:\\p q.cfg\"" },
        { "environment in program",    "%EDT_TOOLS%\\ed.exe %1",                "D:\\Tools\\ed.exe",         "\"F:\\p q.cfg\"" },
        { "quoted environment",        "\"%EDT_TOOLS%\\my ed.exe\" \"%1\"",     "D:\\Tools\\my ed.exe",      "\"F:\\p q.cfg\"" },
        { "options around %1",         "C:\\ed.exe -n %1 -x",                   "C:\\ed.exe",                "\"-n F:\\p q.cfg -x\"" },
        { "every %1 replaced",         "C:\\ed.exe /a \"%1\" %1",               "C:\\ed.exe",                "/a \"F:\\p q.cfg\" F:\\p q.cfg" },
        { "tab after the program",     "C:\\ed.exe\t%1",                        "C:\\ed.exe",                "\"F:\\p q.cfg\"" },
        { "no %1: the file is added",  "C:\\ed.exe",                            "C:\\ed.exe",                "\"F:\\p q.cfg\"" },
        { "no %1 after options",       "C:\\ed.exe -n",                         "C:\\ed.exe",                "-n \"F:\\p q.cfg\"" },
        { "leading blanks",            "  \"C:\\ed.exe\" %1",                   "C:\\ed.exe",                "\"F:\\p q.cfg\"" },
    };
    for (const CommandCase &c : cases) {
        SCOPED_TRACE(c.name);
        char program[PATH_LEN], args[1024];
        EXPECT_TRUE(Build_TextCommand(c.command, "F:\\p q.cfg", program, sizeof program, args, sizeof args));
        EXPECT_STREQ(c.program, program);
        EXPECT_STREQ(c.args, args);
    }
    char program[PATH_LEN], args[16];
    EXPECT_FALSE(Build_TextCommand("", "F:\\x.cfg", program, sizeof program, args, sizeof args));
    EXPECT_FALSE(Build_TextCommand("\"\" %1", "F:\\x.cfg", program, sizeof program, args, sizeof args));
    EXPECT_FALSE(Build_TextCommand("C:\\ed.exe %1", "F:\\a rather long path.cfg", program, sizeof program, args,
                                   sizeof args))
        << "arguments that do not fit";
    std::string longProgram = "C:\\" + std::string(300, 'a') + ".exe %1";
    char big[1024];
    EXPECT_FALSE(Build_TextCommand(longProgram.c_str(), "F:\\x.cfg", program, sizeof program, big, sizeof big));
    SetEnvironmentVariableA("EDT_TOOLS", NULL);
}

TEST(Get_RegistryValue, FollowsThePathAndFindsTheValueIgnoringCase)
{
    ClassesRoot reg;
    ClassesRoot::Set("EdtRegTest\\Sub", "", "default text");
    ClassesRoot::Set("EdtRegTest\\Sub", "Named", "named text");
    ClassesRoot::Set("EdtRegTest\\Sub", "Bare", "no terminator", REG_SZ, false);
    ClassesRoot::Set("EdtRegTest\\Sub", "Number", "1234", REG_BINARY);
    char out[64];
    EXPECT_TRUE(Get_RegistryValue(HKEY_CLASSES_ROOT, "EdtRegTest\\Sub\\", out, sizeof out));
    EXPECT_STREQ("default text", out);
    EXPECT_TRUE(Get_RegistryValue(HKEY_CLASSES_ROOT, "edtregtest\\SUB\\nAmEd", out, sizeof out));
    EXPECT_STREQ("named text", out);
    memset(out, 'x', sizeof out);
    EXPECT_TRUE(Get_RegistryValue(HKEY_CLASSES_ROOT, "EdtRegTest\\Sub\\Bare", out, sizeof out));
    EXPECT_STREQ("no terminator", out);

    EXPECT_FALSE(Get_RegistryValue(HKEY_CLASSES_ROOT, "EdtRegTest\\Sub\\Missing", out, sizeof out));
    EXPECT_FALSE(Get_RegistryValue(HKEY_CLASSES_ROOT, "EdtRegTest\\Nope\\", out, sizeof out));
    EXPECT_FALSE(Get_RegistryValue(HKEY_CLASSES_ROOT, "EdtRegTest\\Sub\\Number", out, sizeof out));
    EXPECT_FALSE(Get_RegistryValue(HKEY_CLASSES_ROOT, "EdtRegTest\\\\", out, sizeof out)) << "no default value";
    char small[8];
    memset(small, 'x', sizeof small);
    EXPECT_FALSE(Get_RegistryValue(HKEY_CLASSES_ROOT, "EdtRegTest\\Sub\\Named", small, sizeof small));
    EXPECT_STREQ("", small);
}

class OpenParamFile : public ParamFile {};

TEST_F(OpenParamFile, WithoutATextAssociationTellsTheOperator)
{
    ClassesRoot reg;
    tk::MsgRecorder rec;
    EXPECT_FALSE(Open_ParamFile(file.c_str()));
    /* a type without an open command is the same case */
    ClassesRoot::Set(".txt", "", ClassesRoot::k_Type);
    EXPECT_FALSE(Open_ParamFile(file.c_str()));
    ASSERT_EQ(2u, rec.count());
    for (const tk::Box &b : rec.boxes) {
        EXPECT_EQ("There's no application configured in Windows for .txt files", b.text);
        EXPECT_EQ("", b.caption) << "the system's default caption";
        EXPECT_EQ((UINT)MB_OK, b.flags) << "plain box: OK, no icon";
    }
    EXPECT_FALSE(tk::Exists(file));
}

TEST_F(OpenParamFile, StartsTheRegisteredProgramOnTheFile)
{
    ClassesRoot reg;
    /* an unquoted program path, a blank and %1 */
    ClassesRoot::Associate(tk::Helper_Exe("argrecord") + " %1");
    Started prog{ file + ".seen", "" };
    tk::MsgRecorder rec;
    ASSERT_TRUE(Open_ParamFile(file.c_str()));
    EXPECT_EQ(0u, rec.count());
    bool exists = false;
    EXPECT_EQ("", tk::Read_File(file, &exists));
    EXPECT_TRUE(exists) << "the missing file is created empty";
    ASSERT_TRUE(prog.wait(10000)) << "the program was not started";
    std::vector<std::string> l = prog.lines();
    ASSERT_EQ(3u, l.size());
    EXPECT_EQ(file, l[2]) << "the argument is the file's full path";
    const std::string quoted = tk::Quote(file);
    ASSERT_GE(l[1].size(), quoted.size());
    EXPECT_EQ(quoted, l[1].substr(l[1].size() - quoted.size())) << l[1];
}

TEST_F(OpenParamFile, ProgramThatCannotBeStartedIsReported)
{
    ClassesRoot reg;
    tk::MsgRecorder rec;
    ClassesRoot::Associate("\"" + home / "NoSuchEditor.exe" + "\" \"%1\"");
    EXPECT_FALSE(Open_ParamFile(file.c_str()));
    ASSERT_EQ(1u, rec.count());
    EXPECT_EQ("Can't find application for .txt files", rec.last().text);
    EXPECT_EQ("", rec.last().caption);
    EXPECT_EQ((UINT)MB_OK, rec.last().flags);

    /* a program the shell finds but cannot run: a file of a type nothing opens */
    const std::string odd = home / "editor.zzqx";
    tk::Write_File(odd, "not a program");
    ClassesRoot::Associate(odd + " %1");
    EXPECT_FALSE(Open_ParamFile(file.c_str()));
    ASSERT_EQ(2u, rec.count());
    EXPECT_EQ("Can't open cfg file in application for .txt files", rec.last().text);
    EXPECT_EQ("", rec.last().caption);
    EXPECT_EQ((UINT)(MB_OK | MB_ICONINFORMATION), rec.last().flags);
}
