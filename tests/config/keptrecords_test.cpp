#include "store_fixture.h"
#include "config/appsfile.h"
#include "config/queuesfile.h"
#include "config/keptlines.h"

namespace {

const std::string k_Queue = "A::0::C:\\A::-1:: ::-1::4::1";
const std::string k_App = "\"C:\\A.exe\"::P::N::1::0::0::0::0";

std::string Lines(const std::string &line, int n)
{
    std::string out;
    for (int i = 0; i < n; i++) out += line + "\n";
    return out;
}

/* A file whose reading stops at a line: what the operator is told, word for word. */
struct StopCase {
    const char *name;
    bool        apps;       /* the applications file, else the queues file */
    std::string text;       /* LF line ends; written with CR LF */
    int         read;       /* records read before the line */
    const char *why;
    std::string snippet;
};

class KeptRecords : public StoreTest {
protected:
    std::string Told(const StopCase &c) const
    {
        const char *words = c.apps ? "application data" : "queue data";
        const std::string path = Path(c.apps ? "Applications.cfg" : "Queues.cfg");
        const char *loaded = c.apps ? "The entries before that line have been loaded. That line and the lines after it are"
                                    : "The queues before that line have been loaded. That line and the lines after it "
                                      "are not shown, but they are";
        return std::string("Could not read all of the ") + words + " file\r\n\"" + path +
               "\".\r\n\r\nReading stopped at line " + std::to_string(c.read + 1) + ": " + c.why + ".\r\n" + c.snippet +
               "\r\n\r\n" + loaded + " written back unchanged at the end of the file when the configuration is saved.";
    }
};

} // namespace

/* The queues and applications readers read a record a line until a line they cannot take; each
   kind of line stops them with its own reason, and the operator hears of it once. */
TEST_F(KeptRecords, EveryKindOfStoppingLineIsToldWordForWord)
{
    /* an application line is too long past 1551 characters (a quoted path and arguments of 259
       characters each, and room for the other fields) */
    const std::string longest = k_App + "::" + std::string(1551 - k_App.size() - 2, '0');
    const std::string tooLong = longest + "0";
    const StopCase cases[] = {
        { "queues: an empty line", false, k_Queue + "\n\n" + k_Queue + "\n", 1,
          "an empty line ends the list of queues", "" },
        { "queues: a zero byte", false, k_Queue + "\n" + std::string("B\0x::0", 6) + "\n" + k_Queue + "\n", 1,
          "the line holds a zero byte", "B?x::0" },
        { "queues: past the arrays", false, Lines(k_Queue, 201), 200, "the editor holds no more than 200 queues", k_Queue },
        { "applications: an empty line", true, k_App + "\n\n" + k_App, 1, "an empty line ends the list of entries", "" },
        { "applications: a zero byte", true, k_App + "\n" + std::string("B\0", 2) + "\n" + k_App, 1,
          "the line holds a zero byte", "B?" },
        { "applications: past the arrays", true, Lines(k_App, 201), 200, "the editor holds no more than 200 entries",
          k_App },
        { "applications: a line too long", true, longest + "\n" + tooLong + "\n" + k_App, 1, "the line is too long",
          tooLong.substr(0, 96) + "..." },
        { "applications: a damaged line", true, k_App + "\n::P::N\n" + k_App, 1, "the first field is missing", "::P::N" },
    };
    for (const StopCase &c : cases) {
        SCOPED_TRACE(c.name);
        Reset_Configuration();
        msgs.boxes.clear();
        Put(c.apps ? "Applications.cfg" : "Queues.cfg", c.text);
        if (c.apps) {
            ASSERT_TRUE(Get_AppsData());
            int used = 0;
            for (int i = 0; i < MAX_APPS; i++) used += !apps[i].free;
            EXPECT_EQ(c.read, used);
            EXPECT_NE(nullptr, keptAppLines.text);
        } else {
            ASSERT_TRUE(Get_TargetData());
            EXPECT_EQ(c.read, targetCount);
            EXPECT_NE(nullptr, keptQueueLines.text);
        }
        ASSERT_EQ(1u, msgs.count());
        EXPECT_EQ(Told(c), msgs.last().text);
        EXPECT_EQ(MB_ICONINFORMATION, tk::Icon_Of(msgs.last().flags));
    }
}
