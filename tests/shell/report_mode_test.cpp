/* Editor.exe -report <home> <file.html>: the report written, the streams, the exit codes, and a
   home that is only read. */
#include "support/testkit.h"
#include "shell/modes.h"
#include "common/appstate.h"
#include <map>

using namespace tk;

namespace {

/* Every file under dir (relative name -> bytes). */
void Snapshot(const std::string &dir, const std::string &rel, std::map<std::string, std::string> *files)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            (*files)[rel + name + "\\"] = "";
            Snapshot(dir + "\\" + name, rel + name + "\\", files);
        } else {
            (*files)[rel + name] = Read_File(dir + "\\" + name);
        }
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

class ReportMode : public ::testing::Test {
protected:
    TempDir dir{ "rep" };
    MsgRecorder msgs;
    void SetUp() override { Reset_ProcessState(); }
    void TearDown() override { Reset_ProcessState(); }
    int Run(const std::string &line)
    {
        int count = 0, code = -99;
        const CLI_MODE *modes = Command_Modes(&count);
        return Run_CommandMode(modes, count, line.c_str(), &code) ? code : -1;
    }
};

const char *const k_DemoQueues[] = {
    "Plate Setter 1", "Plate Setter 2", "PDF Archive", "Proofer", "Imposition", "Preflight and Notify", "Monitor",
};

} // namespace

TEST_F(ReportMode, TheDemoReportIsWrittenAndNamedOnTheStandardOutput)
{
    Lay_Out_Demo(dir / "home");
    const std::string file = dir / "out\\demo report.html";
    Make_Dirs(dir / "out");
    StdCapture cap;
    EXPECT_EQ(0, Run("-REPORT " + Quote(dir / "home") + " " + Quote(file)));
    EXPECT_EQ("Report written: " + file + "\r\n", cap.out());
    EXPECT_EQ("", cap.err());
    EXPECT_TRUE(msgs.boxes.empty());
    const std::string page = Read_File(file);
    EXPECT_EQ(0u, page.find("<!DOCTYPE html>"));
    EXPECT_EQ(page.size() - 8, page.rfind("</html>\n"));
    EXPECT_NE(std::string::npos, page.find("<td id=\"count-output\">7</td>"));
    EXPECT_NE(std::string::npos, page.find("<td id=\"count-input\">2</td>"));
    for (const char *name : k_DemoQueues) EXPECT_NE(std::string::npos, page.find(std::string(". ") + name + "</h3>")) << name;
    EXPECT_EQ(std::string::npos, page.find("\r\n")) << "the page is written as it was built";
}

/* Each refusal: its exit code, one line on the standard error, nothing on the standard output,
   no file. */
TEST_F(ReportMode, RefusalsAndTheirExitCodes)
{
    Lay_Out_Demo(dir / "home");
    const std::string home = dir / "home";
    Make_Dirs(dir / "ro");
    const std::string readOnly = dir / "ro\\old.html";
    Write_File(readOnly, "kept");
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    struct Case { const char *name; std::string args; int code; std::string errStart; std::string file; };
    const Case cases[] = {
        { "a folder that is not there", Quote(home) + " " + Quote(dir / "no\\such\\r.html"), 1,
          "The report could not be written to " + dir / "no\\such\\r.html" + ": Error: ", dir / "no\\such\\r.html" },
        { "a read-only file", Quote(home) + " " + Quote(readOnly), 1,
          "The report could not be written to " + readOnly + ": Error: 5 (0x5) ", "" },
        { "a home that is not there", Quote(dir / "nohome") + " " + Quote(dir / "r.html"), 2,
          "The home directory does not exist or is not a folder: " + dir / "nohome" + "\r\n", dir / "r.html" },
        { "no file", Quote(home), 2, "Usage: Editor.exe -report <home> <file.html>\r\n", "" },
        { "one argument too many", Quote(home) + " a.html b.html", 2, "Usage: Editor.exe -report <home> <file.html>\r\n", "" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Reset_ProcessState();
        StdCapture cap;
        EXPECT_EQ(c.code, Run("-report " + c.args));
        EXPECT_EQ("", cap.out());
        EXPECT_EQ(0u, cap.err().find(c.errStart)) << cap.err();
        EXPECT_EQ(cap.err().size() - 2, cap.err().find("\r\n")) << "one line: " << cap.err();
        if (!c.file.empty()) {
            EXPECT_FALSE(Exists(c.file));
        }
    }
    EXPECT_EQ("kept", Read_File(readOnly));
    SetFileAttributesA(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(msgs.boxes.empty());
}

/* The real program: no window, exit 0, and the installation exactly as it was. */
TEST(ReportProcess, TheHomeIsOnlyRead)
{
    TempDir dir("repp");
    Lay_Out_Demo(dir / "home");
    Make_Dirs(dir / "home\\logs");
    Write_File(dir / "home\\logs\\Editor Changes.log", "2026-01-01 09:00 night\r\n  queue \"Proofer\": copies 1 -> 2\r\n");
    std::map<std::string, std::string> before, after;
    Snapshot(dir / "home", "", &before);
    Child editor(Quote(Editor_Exe()) + " -report " + Quote(dir / "home") + " " + Quote(dir / "r.html"), "", nullptr,
                 dir / "streams.txt");
    std::vector<ForeignBox> seen;
    EXPECT_EQ(0, Run_Answering(editor, {}, &seen));
    EXPECT_TRUE(seen.empty()) << "no box";
    EXPECT_EQ("Report written: " + dir / "r.html" + "\r\n", Read_File(dir / "streams.txt"));
    Snapshot(dir / "home", "", &after);
    EXPECT_TRUE(before == after) << "the home was changed";
    const std::string page = Read_File(dir / "r.html");
    EXPECT_NE(std::string::npos, page.find("<pre>2026-01-01 09:00 night<br>  queue &quot;Proofer&quot;: copies 1 -&gt; 2</pre>"));
    EXPECT_EQ(std::string::npos, page.find("No change log."));
}
