/* The resource ids and what the program's resources hold under them. */
#include "support/testkit.h"
#include "resources/resource.h"
#include <set>
#include <map>
#include <sstream>

/* Two controls of one dialog under one number would make GetDlgItem answer with the wrong one,
   as would two icons, bitmaps or dialogs under one number. Controls carry their dialog's tag
   (IDC_FD_NAME belongs to FD); numbers may repeat across dialogs. */
TEST(ResourceIds, NoNumberIsUsedTwiceWithinItsKind)
{
    std::istringstream in(tk::Read_File(tk::Source_Path("src/resources/resource.h")));
    std::map<std::string, std::map<long, std::string>> seen;    /* group -> number -> name */
    std::string line;
    int defines = 0;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string hash, name;
        long value;
        if (!(words >> hash >> name >> value) || hash != "#define") continue;
        defines++;
        std::string group = name.substr(0, 4);                       /* IDI_, IDB_, IDD_ */
        if (group == "IDC_") {
            size_t tag = name.find('_', 4);
            if (tag == std::string::npos) continue;                  /* IDC_STATIC */
            group = name.substr(0, tag);
        }
        auto &numbers = seen[group];
        EXPECT_EQ(0u, numbers.count(value)) << name << " and " << numbers[value] << " are both " << value;
        numbers[value] = name;
    }
    EXPECT_GT(defines, 40);
}

TEST(ResourceIds, EveryIconAndBitmapIsInTheProgram)
{
    HINSTANCE inst = GetModuleHandleA(nullptr);
    for (int id : { IDI_EDITOR, IDI_PROGRAM, IDI_VIEWER, IDI_LOADBAL, IDI_MOVE_JOBS, IDI_DELETE_JOBS, IDI_RECYCLE_JOBS,
                    IDI_PARAM_FILE, IDI_PROCESSES, IDI_PARAMETERS, IDI_IDENTITY, IDI_SERIES, IDI_PARALLEL,
                    IDI_JOB_SETTINGS, IDI_TIMEOUT, IDI_PROCESS_ANYWAY, IDI_NO_PROCESSES }) {
        SCOPED_TRACE(id);
        HICON icon = (HICON)LoadImageA(inst, MAKEINTRESOURCEA(id), IMAGE_ICON, 32, 32, 0);
        ASSERT_NE(nullptr, icon);
        ICONINFO info;
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bm;
        GetObjectA(info.hbmColor, sizeof bm, &bm);
        EXPECT_EQ(32, bm.bmWidth) << "a 32 x 32 picture of its own, not a scaled one";
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
        EXPECT_NE(nullptr, LoadImageA(inst, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
        /* pictures of their own for the icon sizes of screens of 96, 144 and 192 dots per inch
           (the lists and the editors ask for 32 pixels times the scale) */
        HRSRC group = FindResourceA(inst, MAKEINTRESOURCEA(id), (LPCSTR)RT_GROUP_ICON);
        ASSERT_NE(nullptr, group);
        const BYTE *dir = (const BYTE *)LockResource(LoadResource(inst, group));
        ASSERT_NE(nullptr, dir);
        std::set<int> sizes;
        int count = dir[4] | dir[5] << 8;
        for (int k = 0; k < count; k++) sizes.insert(dir[6 + 14 * k] ? dir[6 + 14 * k] : 256);
        EXPECT_EQ((std::set<int>{ 16, 32, 48, 64 }), sizes);
    }
    for (int id : { IDB_QUEUE_BANNER, IDB_CLEANUP_BANNER, IDB_BALANCE_BANNER }) {
        SCOPED_TRACE(id);
        HBITMAP bmp = LoadBitmapA(inst, MAKEINTRESOURCEA(id));
        EXPECT_NE(nullptr, bmp);
        DeleteObject(bmp);
    }
    for (int id : { IDD_OPEN_FILE, IDD_CHOOSE_DIR, IDD_MAIN })
        EXPECT_NE(nullptr, FindResourceA(inst, MAKEINTRESOURCEA(id), (LPCSTR)RT_DIALOG)) << id;
}
