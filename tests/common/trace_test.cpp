#include "support/testkit.h"
#include "common/trace.h"
#include <direct.h>
#include <regex>

using namespace tk;

/* The log lands in the current directory: each test runs in a folder of its own. */
class TraceTest : public ::testing::Test {
protected:
    TempDir dir{ "trace" };
    char oldDir[MAX_PATH] = "";
    void SetUp() override
    {
        GetCurrentDirectoryA(sizeof oldDir, oldDir);
        SetCurrentDirectoryA(dir.path().c_str());
        Trace_ResetForTest();
        Trace_SetFileName("editor.log");
    }
    void TearDown() override
    {
        Trace_ResetForTest();
        SetCurrentDirectoryA(oldDir);
    }
    std::string Log() { return Read_File(dir / "editor.log"); }
};

TEST_F(TraceTest, OffByDefaultTouchesNoFile)
{
    Trace("WinMain()\n");
    Trace_File("%s", (dir / "whatever.txt").c_str());
    EXPECT_FALSE(Exists(dir / "editor.log"));
    EXPECT_FALSE(Exists(dir / "debug.log"));
}

TEST_F(TraceTest, StartsOncePerProcessWithHeaderAndDetails)
{
    Write_File(dir / "editor.log", "left over from an earlier run\n");
    Trace_Enable();
    Trace("WinMain()\n");
    Trace_Close();
    Trace_Enable();                     /* a second enable in the same process appends */
    Trace("second\n");
    Trace_Close();

    std::string log = Log();
    EXPECT_EQ(std::string::npos, log.find("left over")) << "the first line empties the file";
    EXPECT_EQ(0u, log.find_first_of("0123456789"));
    size_t header = log.find("DEBUG MONITOR started at ");
    ASSERT_NE(std::string::npos, header);
    EXPECT_EQ(header, log.rfind("DEBUG MONITOR started at ")) << "header appears once";
    size_t details = log.find("Executable Details");
    ASSERT_NE(std::string::npos, details);
    size_t second = log.find("Executable Details", details + 1);
    EXPECT_NE(std::string::npos, second);
    EXPECT_EQ(std::string::npos, log.find("Executable Details", second + 1)) << "one details block";
    EXPECT_NE(std::string::npos, log.find("File Path: \""));
    EXPECT_NE(std::string::npos, log.find("tests_common.exe\"\r\n"));
    EXPECT_NE(std::string::npos, log.find("Command Line: "));
    EXPECT_LT(log.find("DEBUG MONITOR"), log.find("WinMain()"));
    EXPECT_LT(log.find("WinMain()"), log.find("second"));

    /* every line that is not a continuation starts with "HH:MM:SS:mmm 0xthread " */
    std::regex prefix("^\\d\\d:\\d\\d:\\d\\d:\\d\\d\\d 0x[0-9a-f]{4,} ");
    std::regex when("started at \\d\\d:\\d\\d on [1-9]\\d? [A-Z][a-z]+ \\d{4}\\.");
    EXPECT_TRUE(std::regex_search(log, when)) << log;
    size_t lines = 0;
    for (size_t pos = 0; pos < log.size();) {
        size_t end = log.find("\r\n", pos);
        std::string line = log.substr(pos, end - pos);
        if (!line.empty()) {
            EXPECT_TRUE(std::regex_search(line, prefix)) << line;
            lines++;
        }
        pos = (end == std::string::npos) ? log.size() : end + 2;
    }
    EXPECT_GE(lines, 7u);
}

TEST_F(TraceTest, LongMessageIsCutAt1040Characters)
{
    Trace_Enable();
    Trace("x\n");
    std::string longText(3000, 'a');
    longText[1039] = 'Z';
    Trace("%s", longText.c_str());
    Trace_Close();
    std::string log = Log();
    size_t start = log.find("aaaa");
    ASSERT_NE(std::string::npos, start);
    size_t end = log.find_first_not_of('a', start);
    EXPECT_EQ(1039u, end - start);
    EXPECT_EQ('Z', log[end]);
    EXPECT_EQ(log.size(), end + 1) << "nothing after the 1040th character";
}

TEST_F(TraceTest, LoggedFilesSitBetweenRuledLines)
{
    std::string shortName = dir / "Q.cfg";
    Write_File(shortName, "line one\r\nline two");
    std::string longName = dir / (std::string(90, 'n') + ".cfg");
    Write_File(longName, "body");
    Trace_Enable();
    Trace("WinMain()\n");
    size_t before = Log().size();
    Trace_File("%s", shortName.c_str());
    Trace_File("%s", longName.c_str());
    Trace_File("%s", (dir / "missing.cfg").c_str());   /* leaves the log as it is, keeps the lock usable */
    Trace("after\n");
    Trace_Close();

    std::string rule79(79, '_');
    std::string pad(80 - 1 - shortName.size(), '_');
    std::string expected = Crlf("\n" + shortName + pad + "\n|\n") + "line one\r\nline two" +
                           Crlf("\n|" + rule79 + "\n\n") +
                           Crlf("\n" + longName + "\n|\n") + "body" + Crlf("\n|" + rule79 + "\n\n");
    std::string log = Log();
    EXPECT_EQ(expected, log.substr(before, expected.size()));
    EXPECT_NE(std::string::npos, log.find("after", before + expected.size()));
}
