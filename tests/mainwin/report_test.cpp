/* The configuration report as a reader of the page sees it: every field of a queue under its
   label, references as links to cards that exist, texts of the installation escaped and in their
   own characters, the problems, the folders, the users without passwords, the change log, and the
   icons as pictures a browser can show. No window. */
#include "support/testkit.h"
#include <string.h>
#include "support/modelkit.h"
#include "mainwin/report.h"
#include "common/iconpng.h"
#include "config/fields.h"
#include "config/model.h"
#include "config/users.h"
#include <set>

using namespace tk;

namespace {

class Report : public HomeTest {
protected:
    std::string Build(BOOL unsaved = FALSE)
    {
        const std::string where = home.home();
        REPORT_INFO info = { where.c_str(), "2026-01-02 03:04", unsaved };
        OUTBUF out;
        OutBuf_Init(&out);
        EXPECT_TRUE(Build_Report(&info, &out));
        std::string page(out.data ? out.data : "", out.len);
        OutBuf_Free(&out);
        return page;
    }
    /* An application whose program exists, so that the queue that runs it is no problem. */
    int Real_App(const std::string &name, const std::string &args = "")
    {
        Make_Dirs(home / "Apps");
        Write_File(home / ("Apps\\" + name), "MZ");
        return mk::Add_App(home / ("Apps\\" + name), args);
    }
};

/* The text of one card (from its opening to its end). */
std::string Card(const std::string &page, const std::string &id)
{
    size_t at = page.find("id=\"" + id + "\"");
    if (at == std::string::npos) return "";
    size_t end = page.find("</section>", at);
    return page.substr(at, end - at);
}

/* The cell of the row with that key in a card: "<label>|<value>". */
std::string Row(const std::string &card, const std::string &key)
{
    std::string head = "<td class=\"l\" data-key=\"" + key + "\">";
    size_t at = card.find(head);
    if (at == std::string::npos) return "(no row " + key + ")";
    at += head.size();
    size_t mid = card.find("</td><td>", at);
    size_t end = card.find("</td>", mid + 9);
    return card.substr(at, mid - at) + "|" + card.substr(mid + 9, end - mid - 9);
}

/* Every value of the attribute (name="...") on the page; std::regex would recurse once for
   each character of a picture's data. */
std::vector<std::string> Attributes(const std::string &page, const std::string &name)
{
    std::vector<std::string> values;
    std::string head = name + "=\"";
    for (size_t at = page.find(head); at != std::string::npos; at = page.find(head, at + 1)) {
        size_t from = at + head.size();
        values.push_back(page.substr(from, page.find('"', from) - from));
    }
    return values;
}

/* A path as the page writes it: a chance to wrap after each backslash. */
std::string W(const std::string &path)
{
    std::string out;
    for (char c : path) {
        out += c;
        if (c == '\\') out += "<wbr>";
    }
    return out;
}

std::string Html(const std::string &text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '&': out += "&amp;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

} // namespace

/* Each field of the queue record under its label, with the value the operator set. */
TEST_F(Report, AQueueCardShowsEveryFieldUnderItsLabel)
{
    Target &a = mk::Add_Target("Plates", "C:\\Hot\\Plates");
    mk::Runs_App(a, Real_App("Rip.exe", "-res 2400"));
    Target &b = mk::Add_Target("Archive", "C:\\Hot\\Archive");
    mk::Runs_Nothing(b);
    a.copies = 3;
    a.priority = 2;
    a.includeSubdirs = TRUE;
    Copy_Field(a.thumbnailDir, "C:\\Thumbs\\Plates");
    a.afterAction = 1;                               /* pass jobs to "Archive" */
    a.jobsAtATime = 4;
    a.timeoutSeconds = 90;
    a.timeoutAction = TIMEOUT_MOVE;
    Copy_Field(a.timeoutDir, "C:\\Waiting");
    Copy_Field(a.mutexGroup, "Setters");
    Copy_Field(a.outputIdentity, "CTP-1");
    Copy_Field(a.parameters, "-calibrate");
    a.keepSeconds = 3600;
    a.filterFlags = 0x21;
    Copy_Field(a.excludeFilterDir, "C:\\Excluded");
    Copy_Field(a.filterExtensions, "*.pdf;*.ps");
    Copy_Field(a.launchAppPath, "C:\\Apps\\Viewer.exe");
    Copy_Field(a.extraText, "kept");
    mk::Number_AsLoaded();

    const std::string card = Card(Build(), "q1");
    ASSERT_NE("", card);
    struct Case { const char *key; std::string row; };
    const Case cases[] = {
        { "name", "Name|Plates" },
        { "hot_directory", "Hot directory|" + W("C:\\Hot\\Plates") },
        { "include_subdirectories", "Include subdirectories|Yes" },
        { "thumbnail_directory", "Thumbnail image directory|" + W("C:\\Thumbs\\Plates") },
        { "copies", "Copies|3" },
        { "priority", "Initial priority|High" },
        { "after_processing", "After processing|<a href=\"#q2\">pass jobs to queue &quot;Archive&quot;</a>" },
        { "jobs_at_a_time", "Jobs at a time|4" },
        { "time_out", "Time-out|1 minute 30 seconds" },
        { "time_out_directory", "Directory for waiting jobs|" + W("C:\\Waiting") },
        { "mutex_group", "Mutex group|Setters" },
        { "output_identity", "Output identity|CTP-1" },
        { "parameters", "Parameters|-calibrate" },
        { "leave_in_queue", "Leave job in queue for|1 hour" },
        { "file_filtering", "File filtering|Exclude (0x21)" },
        { "exclude_directory", "Exclude pathname|" + W("C:\\Excluded") },
        { "filter_extensions", "Filter extensions|*.pdf;*.ps" },
        { "launch_application", "Launch application path|" + W("C:\\Apps\\Viewer.exe") },
        { "extra_text", "Extra text|kept" },
    };
    for (const Case &c : cases) EXPECT_EQ(c.row, Row(card, c.key)) << c.key;
    EXPECT_NE(std::string::npos, Row(card, "processes").find("<a href=\"#app0\">" + Html(home / "Apps\\Rip.exe") + " -res 2400</a>"))
        << Row(card, "processes");

    /* nothing forgotten: every field a page edits or the file keeps has its row; icon handles
       and the bookkeeping of the slots have none */
    for (int i = 0; i < Field_Count(FT_TARGET); i++) {
        const FIELD_DEF *f = Field_At(FT_TARGET, i);
        bool shown = f->kind != FK_HANDLE && !((f->flags & FF_RUNTIME) && f->page == QPAGE_NONE);
        EXPECT_EQ(shown, card.find("data-key=\"" + std::string(f->key) + "\"") != std::string::npos) << f->key;
    }
    /* the overview's texts, under the sections' names */
    EXPECT_NE(std::string::npos, card.find("<th class=\"l\">Clean-Up</th><td>Pass jobs to &quot;Archive&quot;.</td>"));
    EXPECT_NE(std::string::npos, card.find("<th class=\"l\">Inputs</th><td>Get jobs to queue from the directory:<br>"
                                           + W("C:\\Hot\\Plates") + "<br>and its sub-directories.</td>"));
    /* the fields stand under the page that edits them, in the order of the pages */
    size_t inputs = card.find("<th colspan=\"4\">Inputs</th>"), jobs = card.find("<th colspan=\"4\">Job Settings</th>"),
           cleanup = card.find("<th colspan=\"4\">Clean-Up</th>");
    ASSERT_TRUE(inputs != std::string::npos && jobs != std::string::npos && cleanup != std::string::npos);
    EXPECT_LT(inputs, card.find("data-key=\"hot_directory\""));
    EXPECT_LT(jobs, card.find("data-key=\"copies\""));
    EXPECT_LT(cleanup, card.find("data-key=\"after_processing\""));
    EXPECT_LT(card.find("data-key=\"hot_directory\""), jobs);
}

/* Every link of the page leads to an anchor on it: queues passed to, outputs of input queues,
   applications and groups, the queues that use an application, the folder map. */
TEST_F(Report, EveryReferenceLinksToACardThatExists)
{
    int rip = Real_App("Rip.exe"), proof = Real_App("Proof.exe"), pack = Real_App("Pack.exe");
    Target &a = mk::Add_Target("A", "C:\\Hot\\A");
    mk::Runs_App(a, rip);
    Target &b = mk::Add_Target("B", "C:\\Hot\\B");
    mk::Runs_Group(b, mk::Add_Group({ proof, pack }, TRUE));
    Target &c = mk::Add_Target("C", "C:\\Hot\\A");     /* shares A's hot directory */
    mk::Runs_Nothing(c);
    a.afterAction = 2;
    b.timeoutAction = 0;
    LBQ &in = mk::Add_LBQ("In", "C:\\Hot\\In");
    in.outputs[0] = 1;
    in.outputs[2] = 1;
    mk::Number_AsLoaded();

    const std::string page = Build();
    std::set<std::string> ids, hrefs;
    for (const std::string &v : Attributes(page, " id")) ids.insert(v);
    for (const std::string &v : Attributes(page, "href")) {
        EXPECT_EQ('#', v[0]) << v;
        hrefs.insert(v.substr(1));
    }
    for (const std::string &h : hrefs) EXPECT_TRUE(ids.count(h)) << "a link to #" << h << " that leads nowhere";
    for (const char *want : { "q1", "q2", "q3", "in1", "app0", "app1", "app2", "group0" })
        EXPECT_TRUE(hrefs.count(want)) << want << " is never linked to";

    EXPECT_EQ("Output queues to balance between|<a href=\"#q1\">A</a>, <a href=\"#q3\">C</a>",
              Row(Card(page, "in1"), "outputs"));
    EXPECT_EQ("At the time-out|<a href=\"#q1\">pass waiting jobs to queue &quot;A&quot;</a>", Row(Card(page, "q2"), "at_time_out"));
    EXPECT_NE(std::string::npos, Row(Card(page, "group0"), "members").find("<a href=\"#app1\">")) << Row(Card(page, "group0"), "members");
    /* each application names the queues that run it, alone or in a group */
    EXPECT_NE(std::string::npos, Card(page, "app0").find("Used by</th><td><a href=\"#q1\">A</a></td>"));
    EXPECT_NE(std::string::npos, Card(page, "app2").find("Used by</th><td><a href=\"#q2\">B</a></td>"));
    EXPECT_NE(std::string::npos, Card(page, "group0").find("Used by</th><td><a href=\"#q2\">B</a></td>"));
    /* one folder, two queues: listed once, with both */
    EXPECT_NE(std::string::npos, page.find("<tr><td>" + W("C:\\Hot\\A") + "</td><td>hot</td><td><a href=\"#q1\">A</a></td></tr>\n"
                                           "<tr><td></td><td>hot</td><td><a href=\"#q3\">C</a></td></tr>"));
    EXPECT_NE(std::string::npos, page.find("<tr><td>" + W("C:\\Hot\\In") + "</td><td>hot</td><td><a href=\"#in1\">In</a></td></tr>"));
}

/* Whatever the installation's texts hold, the page shows them as typed and stays whole; bytes of
   the Windows code page above 127 are the characters they stand for. */
TEST_F(Report, TextsOfTheInstallationAreEscaped)
{
    struct Case { const char *name; std::string typed; std::string shown; };
    const Case cases[] = {
        { "markup", "<b>&\"", "&lt;b&gt;&amp;&quot;" },
        { "a closing tag and a quote", "</td></table>'", "&lt;/td&gt;&lt;/table&gt;&#39;" },
        { "code page bytes", "Z\xFCrich \xE9t\xE9 \x80", "Z\xC3\xBCrich \xC3\xA9t\xC3\xA9 \xE2\x82\xAC" },
        { "a control character", "a\x01z", "a z" },
    };
    ASSERT_EQ(1252u, GetACP()) << "the cases are written for the Western code page";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Fresh_Process();
        Target &t = mk::Add_Target(c.typed, "C:\\Hot\\" + c.typed);
        mk::Runs_Nothing(t);
        Copy_Field(t.mutexGroup, c.typed.c_str());
        mk::Number_AsLoaded();
        const std::string page = Build();
        const std::string card = Card(page, "q1");
        EXPECT_NE(std::string::npos, card.find("1. " + c.shown + "</h3>")) << card.substr(0, 400);
        EXPECT_EQ("Mutex group|" + c.shown, Row(card, "mutex_group"));
        EXPECT_EQ("Hot directory|" + W("C:\\Hot\\") + c.shown, Row(card, "hot_directory"));
        if (c.typed.find('<') != std::string::npos) {
            EXPECT_EQ(std::string::npos, page.find(c.typed));
        }
    }
    /* the page says what it is written in, and names nothing outside it */
    const std::string page = Build();
    EXPECT_EQ(0u, page.find("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">"));
    EXPECT_EQ(std::string::npos, page.find("http:"));
    EXPECT_EQ(std::string::npos, page.find("https:"));
    EXPECT_EQ(std::string::npos, page.find("<script"));
    for (size_t at = page.find("url("); at != std::string::npos; at = page.find("url(", at + 1))
        EXPECT_EQ(at + 4, page.find("data:image/png;base64,", at)) << page.substr(at, 40);
}

TEST_F(Report, TheHeaderCountsAndTheUnsavedMark)
{
    mk::Runs_Nothing(mk::Add_Target("A"));
    mk::Runs_Nothing(mk::Add_Target("B"));
    mk::Add_LBQ("In");
    Real_App("Rip.exe");
    ASSERT_TRUE(Add_User("night", "secret-one"));
    ASSERT_TRUE(Add_User("day", "secret-two"));
    Copy_Field(reportVersion, "7.2 <beta>");
    mk::Number_AsLoaded();

    std::string page = Build();
    EXPECT_NE(std::string::npos, page.find("<tr><th class=\"l\">Editor version</th><td>7.2 &lt;beta&gt;</td></tr>"));
    EXPECT_NE(std::string::npos, page.find("<tr><th class=\"l\">Home directory</th><td>" + W(home.home()) + "</td></tr>"));
    EXPECT_NE(std::string::npos, page.find("<tr><th class=\"l\">Written</th><td>2026-01-02 03:04</td></tr>"));
    EXPECT_NE(std::string::npos, page.find("<td id=\"count-output\">2</td>"));
    EXPECT_NE(std::string::npos, page.find("<td id=\"count-input\">1</td>"));
    EXPECT_NE(std::string::npos, page.find("<td id=\"count-apps\">1 (and 0 groups)</td>"));
    EXPECT_NE(std::string::npos, page.find("<td id=\"count-users\">2</td>"));
    /* users by name only */
    EXPECT_NE(std::string::npos, page.find("<ul class=\"users\">\n<li>night</li>\n<li>day</li>\n</ul>"));
    EXPECT_EQ(std::string::npos, page.find("secret"));
    /* a preference under its label, with the key of its file */
    EXPECT_NE(std::string::npos, page.find("Before queuing new jobs, allow them to settle for<span class=\"key\">"
                                           "SPOOLER_FILE_SETTLE_TIME</span></td><td>")) << page.substr(page.find("id=\"preferences\""), 600);
    EXPECT_EQ(std::string::npos, page.find("Not yet saved"));
    EXPECT_NE(std::string::npos, Build(TRUE).find("<p class=\"unsaved\" id=\"unsaved\">Not yet saved"));
    reportVersion[0] = '\0';
}

/* The problems are the checker's findings, every one, each linked to its queue. */
TEST_F(Report, TheProblemsSection)
{
    EXPECT_NE(std::string::npos, Build().find("<h2 id=\"problems\">Problems</h2>\n<p class=\"ok\">No problems found.</p>"));

    Target &a = mk::Add_Target("Plates");
    mk::Runs_App(a, mk::Add_App("C:\\Missing\\Rip.exe"));
    Target &b = mk::Add_Target("plates");
    mk::Runs_Group(b, mk::Add_Group({ Real_App("Here.exe"), mk::Add_Member("C:\\Missing\\Pack.exe") }, FALSE));
    mk::Runs_Nothing(mk::Add_Target("Idle"));
    LBQ &in = mk::Add_LBQ("Balanced");
    in.queueGroupEnabled = 1;
    in.outputs[0] = 1;
    LBQ &off = mk::Add_LBQ("Off");
    off.queueGroupEnabled = 0;
    mk::Number_AsLoaded();

    /* the checker's findings, each as -check prints it: the four that OK would refuse are errors,
       each about its queue; the folders the queues name that are not there are warnings */
    static REPORT_PROBLEM rows[64];
    const int n = Report_Problems(rows, 64);
    ASSERT_LE(n, 64);
    struct Want { const char *part; int queue; int lbq; };
    const Want want[] = {
        { "C:\\Missing\\Rip.exe", 0, -1 },
        { "C:\\Missing\\Pack.exe", 1, -1 },
        { "queue 2 has the same name as queue 1 (\"plates\")", 1, -1 },
        { "input queue \"Balanced\" has balancing enabled but 1 output queue;", -1, 0 },
    };
    int errors = 0;
    for (int i = 0; i < n; i++) errors += strstr(rows[i].text, ": error: ") != NULL;
    EXPECT_EQ(4, errors);
    for (const Want &w : want) {
        int at = -1;
        for (int i = 0; i < n && at < 0; i++)
            if (strstr(rows[i].text, w.part) != NULL) at = i;
        ASSERT_GE(at, 0) << w.part;
        EXPECT_NE(nullptr, strstr(rows[at].text, ": error: ")) << rows[at].text;
        EXPECT_EQ(w.queue, rows[at].queue) << rows[at].text;
        EXPECT_EQ(w.lbq, rows[at].lbq) << rows[at].text;
    }
    EXPECT_EQ(n, Report_Problems(rows, 2)) << "the count is whole when the rows are not";
    EXPECT_TRUE(msgs.boxes.empty()) << "collecting asks nothing";

    const std::string page = Build();
    EXPECT_NE(std::string::npos, page.find("has the same name as queue 1 (&quot;plates&quot;); give each queue a name of its own. (<a href=\"#q2\">plates</a>)</li>"));
    EXPECT_NE(std::string::npos, page.find("or turn balancing off. (<a href=\"#in1\">Balanced</a>)</li>"));
    EXPECT_EQ(std::string::npos, page.find("No problems found."));
}

/* The last ten entries of the change log, in the order of the log; none when there is no log. */
TEST_F(Report, TheRecentChanges)
{
    EXPECT_NE(std::string::npos, Build().find("<h2 id=\"changes\">Recent changes</h2>\n<p class=\"muted\">No change log.</p>"));

    std::string log;
    for (int i = 1; i <= 12; i++)
        log += "2026-01-" + std::to_string(i) + " 10:00 operator\r\n  queue \"Q" + std::to_string(i) + "\": copies 1 -> 2\r\n\r\n";
    log += "\r\n";      /* a second empty line makes no entry */
    Make_Dirs(home / "logs");
    Write_File(home / "logs\\Editor Changes.log", log);
    const std::string page = Build();
    const std::string changes = page.substr(page.find("<h2 id=\"changes\">"));
    EXPECT_EQ(std::string::npos, changes.find("&quot;Q1&quot;"));
    EXPECT_EQ(std::string::npos, changes.find("&quot;Q2&quot;"));
    EXPECT_NE(std::string::npos, changes.find("<pre>2026-01-3 10:00 operator<br>  queue &quot;Q3&quot;: copies 1 -&gt; 2</pre>"));
    EXPECT_LT(changes.find("Q3"), changes.find("Q12"));
    size_t entries = 0;
    for (size_t at = changes.find("<pre>"); at != std::string::npos; at = changes.find("<pre>", at + 1)) entries++;
    EXPECT_EQ(10u, entries);
}

/* The PNG the report carries: the picture as it is, rows top down, in stored blocks a reader
   of the file can find the pixels in; a DIB is turned upright, its colours put in order and its
   mask made into transparency. */
TEST(IconPng, APictureBecomesAPngWithItsPixels)
{
    auto Be32 = [](const std::string &s, size_t at) {
        return ((uint32_t)(uint8_t)s[at] << 24) | ((uint32_t)(uint8_t)s[at + 1] << 16) | ((uint32_t)(uint8_t)s[at + 2] << 8) |
               (uint8_t)s[at + 3];
    };
    /* a 2 x 2 DIB in 4 bits with a palette of two colours and a mask: bottom row first */
    std::string dib(40, '\0');
    auto Le = [&](size_t at, uint32_t v, int n) { for (int i = 0; i < n; i++) dib[at + i] = (char)(v >> (8 * i)); };
    Le(0, 40, 4); Le(4, 2, 4); Le(8, 4, 4); Le(12, 1, 2); Le(14, 4, 2); Le(32, 2, 4);
    dib += std::string("\x00\x00\xFF\x00", 4);       /* colour 0: red (B, G, R) */
    dib += std::string("\xFF\x00\x00\x00", 4);       /* colour 1: blue */
    dib += std::string("\x10\x00\x00\x00", 4);       /* bottom row: blue, red */
    dib += std::string("\x01\x00\x00\x00", 4);       /* top row: red, blue */
    dib += std::string("\x40\x00\x00\x00", 4);       /* mask, bottom row: the right pixel transparent */
    dib += std::string("\x00\x00\x00\x00", 4);       /* mask, top row: none */
    OUTBUF out;
    OutBuf_Init(&out);
    ASSERT_TRUE(Icon_ImageToPng((const uint8_t *)dib.data(), dib.size(), &out));
    std::string png(out.data, out.len);
    OutBuf_Free(&out);
    ASSERT_EQ(0u, png.find("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ("IHDR", png.substr(12, 4));
    EXPECT_EQ(2u, Be32(png, 16));
    EXPECT_EQ(2u, Be32(png, 20));
    EXPECT_EQ(std::string("\x08\x06\x00\x00\x00", 5), png.substr(24, 5));
    size_t idat = png.find("IDAT");
    ASSERT_NE(std::string::npos, idat);
    /* zlib header, one final stored block of 18 bytes, then the rows with their filter byte */
    EXPECT_EQ(std::string("\x78\x01\x01\x12\x00\xED\xFF", 7), png.substr(idat + 4, 7));
    EXPECT_EQ(std::string("\x00" "\xFF\x00\x00\xFF" "\x00\x00\xFF\xFF"
                          "\x00" "\x00\x00\xFF\xFF" "\xFF\x00\x00\x00", 18),
              png.substr(idat + 11, 18));
    EXPECT_EQ("IEND", png.substr(png.size() - 8, 4));

    /* the base64 of the page */
    OutBuf_Init(&out);
    Append_Base64(&out, (const uint8_t *)"Man", 3);
    Append_Base64(&out, (const uint8_t *)"Ma", 2);
    Append_Base64(&out, (const uint8_t *)"M", 1);
    EXPECT_EQ("TWFuTWE=TQ==", std::string(out.data, out.len));
    OutBuf_Free(&out);

    /* the program's own icons and an icon file */
    OutBuf_Init(&out);
    EXPECT_TRUE(Module_IconPng(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(179), &out));
    ASSERT_GT(out.len, 40u);
    EXPECT_EQ(32u, Be32(std::string(out.data, out.len), 16)) << "the 32-pixel picture is chosen";
    OutBuf_Free(&out);
    /* a program's first icon, read from its file: the same picture the program itself holds */
    OutBuf_Init(&out);
    ASSERT_TRUE(File_IconPng(Editor_Exe().c_str(), &out));
    std::string fromFile(out.data, out.len);
    OutBuf_Free(&out);
    OutBuf_Init(&out);
    ASSERT_TRUE(Module_IconPng(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(101), &out));
    EXPECT_TRUE(fromFile == std::string(out.data, out.len)) << "the first icon group of Editor.exe is its own icon";
    OutBuf_Free(&out);
    OutBuf_Init(&out);
    EXPECT_FALSE(File_IconPng("C:\\no\\such\\icon.ico", &out));
    EXPECT_FALSE(File_IconPng(Source_Path("README.md").c_str(), &out)) << "no program";
    EXPECT_EQ(0u, out.len);
    OutBuf_Free(&out);
}

/* A queue's card shows the icon the main window's list shows for it. */
TEST_F(Report, CardsCarryTheQueuesIcons)
{
    mk::Runs_Nothing(mk::Add_Target("Idle"));
    Target &own = mk::Add_Target("Own");
    mk::Runs_Nothing(own);
    Copy_Field(own.iconPath, Source_Path("demo/Icons/plate.ico").c_str());
    mk::Number_AsLoaded();
    const std::string page = Build();
    /* each picture is a class of the style sheet, written once */
    auto Picture = [&](const std::string &card) {
        const std::string head = "<h3><span class=\"icon ";
        size_t at = card.find(head);
        if (at == std::string::npos) return std::string("(none)");
        at += head.size();
        return card.substr(at, card.find('"', at) - at);
    };
    std::string idle = Picture(Card(page, "q1")), mine = Picture(Card(page, "q2"));
    EXPECT_NE(idle, mine) << "the queue's own icon, not the no-process icon";
    for (const std::string &cls : { idle, mine }) {
        std::string rule = "." + cls + "{background-image:url(data:image/png;base64,iVBORw0KGgo";
        EXPECT_NE(std::string::npos, page.find(rule)) << cls << ": a PNG";
        EXPECT_EQ(page.find("." + cls + "{"), page.rfind("." + cls + "{")) << "written once";
    }
    EXPECT_EQ(Picture(Card(page, "q1")), Picture(Card(Build(), "q1")));
}
