/* Before the queues and applications files are replaced their previous version is kept as
   "Queues.old" and "Applications.old". When that copy cannot be made the real file is not replaced:
   it would be the last copy of the previous configuration. */
#include "store_fixture.h"
#include "config/appsfile.h"
#include "config/queuesfile.h"
#include <functional>

namespace {

struct Writer {
    const char *file, *backup, *told;
    std::function<BOOL()> store;
};

/* What keeps the backup from being written: a program holding it, its read-only attribute, a
   folder under its name. The returned function puts it right. */
struct Blocker {
    const char *name;
    std::function<std::function<void()>(const std::string &)> block;
};

} // namespace

class Backup : public StoreTest {};

TEST_F(Backup, AFileWhoseBackupCannotBeMadeIsKeptToldAndCounted)
{
    const Writer writers[] = {
        { "Queues.cfg", "Queues.old", "Could not open the queue data file for writing", [] { return Store_TargetData(); } },
        { "Applications.cfg", "Applications.old", "Could not open the application data file for writing",
          [] { return Store_AppsData(); } },
    };
    const Blocker blockers[] = {
        { "held by another program",
          [](const std::string &old) {
              HANDLE h = CreateFileA(old.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
              EXPECT_NE(INVALID_HANDLE_VALUE, h);
              return std::function<void()>([h] { CloseHandle(h); });
          } },
        { "read-only",
          [](const std::string &old) {
              SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_READONLY);
              return std::function<void()>([old] { SetFileAttributesA(old.c_str(), FILE_ATTRIBUTE_NORMAL); });
          } },
        { "a folder",
          [](const std::string &old) {
              DeleteFileA(old.c_str());
              CreateDirectoryA(old.c_str(), nullptr);
              return std::function<void()>([old] { RemoveDirectoryA(old.c_str()); });
          } },
    };
    for (const Writer &w : writers) {
        for (const Blocker &b : blockers) {
            SCOPED_TRACE(std::string(w.file) + ", its backup " + b.name);
            Fresh_Process();
            Set_ReplaceRetryTime(100);
            mk::Runs_Nothing(mk::Add_Target("Q", "C:\\Hot\\Q"));
            const std::string before = "the only copy of the previous configuration\r\n";
            tk::Write_File(Path(w.file), before);
            tk::Write_File(Path(w.backup), "an older backup\r\n");
            std::function<void()> unblock = b.block(Path(w.backup));
            msgs.boxes.clear();

            EXPECT_FALSE(w.store());

            unblock();
            EXPECT_EQ(before, Get(w.file)) << "replaced without a backup";
            EXPECT_EQ(1, storeFailures);
            ASSERT_EQ(1u, msgs.count());
            EXPECT_EQ(0u, msgs.last().text.find(w.told)) << msgs.last().text;
            EXPECT_NE(std::string::npos, msgs.last().text.find(Path(w.file))) << msgs.last().text;
            EXPECT_EQ((UINT)MB_ICONSTOP, tk::Icon_Of(msgs.last().flags));
            for (const std::string &n : tk::List_Dir(home.home())) EXPECT_NE(0u, n.find("~ed")) << "left: " << n;
        }
    }
}
