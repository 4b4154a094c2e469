/* The queue lists: created in a placeholder's place, filled from the arrays with each queue's own
   icon at its position, read back, and drawn in the system's colours. */
#include "support/testkit.h"
#include "support/modelkit.h"
#include "support/dlgkit.h"
#include "lists/queuelists.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/text.h"
#include "config/model.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <string.h>
#include <functional>

enum { IDC_HOLD_TARGETS = 1055, IDC_HOLD_LBQS = 1057, IDC_HOLD_SINGLE = 1060 };

/* A dialog that hosts queue lists as the program's dialogs do. */
static INT_PTR CALLBACK Host_Dlg(HWND hDlg, UINT msg, WPARAM, LPARAM lParam)
{
    switch (msg) {
    case WM_MEASUREITEM: return Measure_QueueItem(hDlg, (MEASUREITEMSTRUCT *)lParam);
    case WM_DRAWITEM:    return Draw_QueueItem((const DRAWITEMSTRUCT *)lParam);
    case WM_NOTIFY:      return QueueList_Notify((const NMHDR *)lParam);
    }
    return FALSE;
}

static const std::vector<dk::Ctl> k_Host = {
    { "BUTTON", 100, "Before", BS_PUSHBUTTON | WS_TABSTOP, 4, 4, 40, 14 },
    { "STATIC", IDC_HOLD_LBQS, "", SS_BLACKFRAME, 4, 22, 300, 60 },
    { "BUTTON", 101, "Between", BS_PUSHBUTTON | WS_TABSTOP, 4, 86, 40, 14 },
    { "STATIC", IDC_HOLD_TARGETS, "", SS_BLACKFRAME, 4, 104, 300, 150 },
    { "STATIC", IDC_HOLD_SINGLE, "", SS_BLACKFRAME, 310, 4, 60, 60 },
};

/* What paint draws into a picture of w x h pixels (32 bits each) that starts filled with
   background: its pixels, top row first. */
static std::vector<DWORD> Render(int w, int h, int background, const std::function<void(HDC, const RECT &)> &paint)
{
    BITMAPINFO bi;
    memset(&bi, 0, sizeof bi);
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    RECT all = { 0, 0, w, h };
    FillRect(mem, &all, (HBRUSH)GetStockObject(background));
    paint(mem, all);
    GdiFlush();
    std::vector<DWORD> px((DWORD *)bits, (DWORD *)bits + w * h);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    return px;
}

/* The pixels of one image of an image list, drawn over white. */
static std::vector<DWORD> Image_Pixels(HIMAGELIST images, int index)
{
    int cx = 0, cy = 0;
    ImageList_GetIconSize(images, &cx, &cy);
    return Render(cx, cy, WHITE_BRUSH, [&](HDC dc, const RECT &) { ImageList_Draw(images, index, dc, 0, 0, ILD_NORMAL); });
}

/* The pixels an icon gives when it is put into an image list of the lists' size. */
static std::vector<DWORD> Icon_Pixels(HICON icon)
{
    int side = Queue_IconSize();
    HIMAGELIST one = ImageList_Create(side, side, ILC_MASK | ILC_COLOR32, 1, 1);
    ImageList_AddIcon(one, icon);
    std::vector<DWORD> px = Image_Pixels(one, 0);
    ImageList_Destroy(one);
    return px;
}

static HIMAGELIST Images_Of(HWND list) { return (HIMAGELIST)SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0); }

static std::vector<dk::ListRow> Rows(HWND list) { return dk::List_Rows(list); }

static std::string Column_Title(HWND list)
{
    char buf[100] = "";
    LVCOLUMNA col;
    memset(&col, 0, sizeof col);
    col.mask = LVCF_TEXT;
    col.pszText = buf;
    col.cchTextMax = sizeof buf;
    SendMessageA(list, LVM_GETCOLUMNA, 0, (LPARAM)&col);
    return buf;
}

class QueueListTest : public ::testing::Test {
protected:
    tk::MsgRecorder msgs;
    dk::Form form{ "Lists", k_Host, 380, 260, Host_Dlg };
    HWND d() const { return form.hwnd(); }

    void SetUp() override
    {
        Reset_Configuration();
        Reset_AppState();
        hInstance = GetModuleHandleA(nullptr);
        static const int k_Ids[SHARED_ICON_COUNT] = { IDI_PROGRAM,   IDI_NO_PROCESSES, IDI_PARALLEL,    IDI_SERIES,
                                                      IDI_MOVE_JOBS, IDI_DELETE_JOBS,  IDI_RECYCLE_JOBS };
        for (int i = 0; i < SHARED_ICON_COUNT; i++) sharedIcons[i] = LoadIconA(hInstance, MAKEINTRESOURCEA(k_Ids[i]));
        loadBalancerIcon = LoadIconA(hInstance, MAKEINTRESOURCEA(IDI_LOADBAL));
    }
    void TearDown() override
    {
        for (int id : { IDC_HOLD_TARGETS, IDC_HOLD_LBQS, IDC_HOLD_SINGLE })
            if (GetDlgItem(d(), id) != nullptr) Destroy_ListImageList(GetDlgItem(d(), id));
        Reset_Configuration();
        loadBalancerIcon = nullptr;
        for (HICON &i : sharedIcons) i = nullptr;
    }

    static Target *Add_Queue(const char *name, int processRef = 0, BOOL group = FALSE, BOOL noProcs = FALSE, HICON own = nullptr)
    {
        Target *t = &mk::Add_Target(name);
        t->processRef = processRef;
        t->usesGroup = group;
        t->noProcesses = noProcs;
        t->icon = own;
        return t;
    }
    static void Add_LBQ(const char *name) { mk::Add_LBQ(name); }
};

struct IconCase { const char *title; int ref; BOOL group; BOOL noProcs; BOOL monitor; bool own; HICON *expect; };

TEST_F(QueueListTest, EachQueueShowsTheIconOfWhatItRuns)
{
    HICON own = LoadIconA(nullptr, (LPCSTR)IDI_WARNING);
    apps[3].free = FALSE;
    apps[3].icon = sharedIcons[ICON_RECYCLE_JOBS];      /* stands for the application's own icon */
    apps[4].free = FALSE;                                /* an application without an icon */
    appGroups[1].free = FALSE;
    appGroups[1].parallel = TRUE;
    appGroups[2].free = FALSE;
    appGroups[2].parallel = FALSE;
    HICON program = sharedIcons[ICON_PROGRAM], none = sharedIcons[ICON_NO_PROCESSES];
    HICON parallel = sharedIcons[ICON_PARALLEL], series = sharedIcons[ICON_SERIES], app = apps[3].icon;
    const IconCase cases[] = {
        { "its own icon before its application", 3, FALSE, FALSE, FALSE, true, &own },
        { "its own icon although it runs nothing", NO_PROCESSES, FALSE, TRUE, FALSE, true, &own },
        { "process reference 202", NO_PROCESSES, FALSE, FALSE, FALSE, false, &none },
        { "a group run in parallel", 1, TRUE, FALSE, FALSE, false, &parallel },
        { "a group run in series", 2, TRUE, FALSE, FALSE, false, &series },
        { "one application", 3, FALSE, FALSE, FALSE, false, &app },
        { "runs no processes though it names an application", 3, FALSE, TRUE, FALSE, false, &none },
        { "runs no processes, monitor flag, no icon of its own", NO_PROCESSES, FALSE, TRUE, TRUE, false, &none },
        { "an application without an icon", 4, FALSE, FALSE, FALSE, false, &program },
        { "a reference beyond the applications", 250, FALSE, FALSE, FALSE, false, &program },
    };
    for (const IconCase &c : cases) {
        SCOPED_TRACE(c.title);
        Target t;
        memset(&t, 0, sizeof t);
        t.processRef = c.ref;
        t.usesGroup = c.group;
        t.noProcesses = c.noProcs;
        t.monitorProcesses = c.monitor;
        t.icon = c.own ? own : nullptr;
        EXPECT_EQ(*c.expect, Target_Icon(&t));
    }
}

TEST_F(QueueListTest, ListsTakeThePlaceholdersPlaceIdAndTabOrder)
{
    RECT holder;
    ASSERT_TRUE(Get_ControlRect(d(), IDC_HOLD_TARGETS, &holder));
    HWND placeholder = GetDlgItem(d(), IDC_HOLD_TARGETS);
    HWND lbqList = Create_LBQList_InPlace(d(), IDC_HOLD_LBQS);
    HWND list = Create_TargetList_InPlace(d(), IDC_HOLD_TARGETS, FALSE);
    HWND single = Create_TargetList_InPlace(d(), IDC_HOLD_SINGLE, TRUE);
    ASSERT_NE(nullptr, list);
    ASSERT_NE(nullptr, lbqList);
    EXPECT_EQ(list, GetDlgItem(d(), IDC_HOLD_TARGETS));
    EXPECT_EQ(lbqList, GetDlgItem(d(), IDC_HOLD_LBQS));
    EXPECT_FALSE(IsWindowVisible(placeholder));
    RECT rc;
    Get_ControlRect(d(), IDC_HOLD_TARGETS, &rc);
    EXPECT_TRUE(EqualRect(&holder, &rc));

    char cls[64] = "";
    GetClassNameA(list, cls, sizeof cls);
    EXPECT_STREQ(WC_LISTVIEWA, cls);
    LONG style = GetWindowLongA(list, GWL_STYLE);
    EXPECT_EQ(LVS_REPORT, style & LVS_TYPEMASK);
    EXPECT_TRUE(style & LVS_OWNERDRAWFIXED);
    EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
    EXPECT_TRUE(style & WS_BORDER);
    EXPECT_TRUE(style & WS_TABSTOP);
    EXPECT_FALSE(style & LVS_SINGLESEL);
    EXPECT_TRUE(GetWindowLongA(single, GWL_STYLE) & LVS_SINGLESEL);
    EXPECT_FALSE(GetWindowLongA(lbqList, GWL_STYLE) & LVS_SINGLESEL);
    EXPECT_EQ("Output Queues", Column_Title(list));
    EXPECT_EQ("Load Balanced Input Queues", Column_Title(lbqList));
    /* the column: at least 400 wide, however narrow the list */
    EXPECT_EQ(Scale_ForDpi(400), (int)SendMessageA(single, LVM_GETCOLUMNWIDTH, 0, 0));

    /* Tab order: the lists stand where their placeholders stood */
    HWND first = GetDlgItem(d(), 100);
    EXPECT_EQ(lbqList, GetNextDlgTabItem(d(), first, FALSE));
    EXPECT_EQ(GetDlgItem(d(), 101), GetNextDlgTabItem(d(), lbqList, FALSE));
    EXPECT_EQ(list, GetNextDlgTabItem(d(), GetDlgItem(d(), 101), FALSE));

    /* a missing placeholder gives no list */
    EXPECT_EQ(nullptr, Create_TargetList_InPlace(d(), 4321, FALSE));
}

TEST_F(QueueListTest, WithNoQueuesTheListIsEmptyWithAnEmptyImageList)
{
    HWND list = Create_TargetList_InPlace(d(), IDC_HOLD_TARGETS, FALSE);
    EXPECT_EQ(0, Add_LVData(list, QL_TARGETS));
    EXPECT_EQ(0, (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    ASSERT_NE(nullptr, Images_Of(list));
    EXPECT_EQ(0, ImageList_GetImageCount(Images_Of(list)));
    EXPECT_EQ(0u, msgs.count());
}

TEST_F(QueueListTest, OutputQueuesAreListedInOrderWithTheirOwnIconAtTheirPosition)
{
    appGroups[0].free = FALSE;
    appGroups[0].parallel = TRUE;
    apps[2].free = FALSE;
    apps[2].icon = sharedIcons[ICON_MOVE_JOBS];
    Add_Queue("Plate Setter 1", 2);
    Add_Queue("Imposition", 0, TRUE);
    Add_Queue("Monitor", NO_PROCESSES, FALSE, TRUE);
    Add_Queue("Own", 2, FALSE, FALSE, sharedIcons[ICON_DELETE_JOBS]);
    Add_Queue("Plate Setter 2", 2);
    /* icons from elsewhere: the system's, and a black-and-white one without colour bits */
    HICON system = LoadIconA(nullptr, (LPCSTR)IDI_WARNING);
    BYTE andBits[32 * 4], xorBits[32 * 4];
    for (int i = 0; i < 128; i++) { andBits[i] = (BYTE)(i % 8 < 4 ? 0xF0 : 0x0F); xorBits[i] = (BYTE)(i % 3 ? 0xAA : 0); }
    HICON mono = CreateIcon(hInstance, 32, 32, 1, 1, andBits, xorBits);
    ASSERT_NE(nullptr, mono);
    Add_Queue("System", 2, FALSE, FALSE, system);
    Add_Queue("Mono", 2, FALSE, FALSE, mono);
    HWND list = Create_TargetList_InPlace(d(), IDC_HOLD_TARGETS, FALSE);
    EXPECT_EQ(7, Add_LVData(list, QL_TARGETS));

    std::vector<dk::ListRow> rows = Rows(list);
    ASSERT_EQ(7u, rows.size());
    for (int i = 0; i < 7; i++) {
        SCOPED_TRACE(i);
        EXPECT_EQ(targets[i].name, rows[i].text);
        EXPECT_EQ(i, rows[i].image);
        EXPECT_EQ(i, rows[i].data);
        EXPECT_EQ(i, Get_LV__Item_Param(list, i));
    }
    HIMAGELIST images = Images_Of(list);
    ASSERT_EQ(7, ImageList_GetImageCount(images));
    EXPECT_EQ(7, Fill_ListImages(list)) << "no item drawn yet: every image still to be made";
    EXPECT_EQ(0, Fill_ListImages(list));
    const HICON expect[] = { sharedIcons[ICON_MOVE_JOBS], sharedIcons[ICON_PARALLEL], sharedIcons[ICON_NO_PROCESSES],
                             sharedIcons[ICON_DELETE_JOBS], sharedIcons[ICON_MOVE_JOBS], system, mono };
    for (int i = 0; i < 7; i++) EXPECT_EQ(Icon_Pixels(expect[i]), Image_Pixels(images, i)) << "image " << i;
    EXPECT_NE(Image_Pixels(images, 0), Image_Pixels(images, 1));

    /* the group now runs in series: after the entry is reset, so does its icon */
    appGroups[0].parallel = FALSE;
    Copy_Field(targets[1].name, "Imposition (series)");
    EXPECT_TRUE(Reset_ListView_Target_Entry(list, 1));
    EXPECT_EQ("Imposition (series)", Rows(list)[1].text);
    Fill_ListImages(list);
    EXPECT_EQ(Icon_Pixels(sharedIcons[ICON_SERIES]), Image_Pixels(Images_Of(list), 1));
    EXPECT_EQ(0u, msgs.count());
    Destroy_ListImageList(list);
    DestroyIcon(mono);
}

TEST_F(QueueListTest, InputQueuesShowTheLoadBalancersIcon)
{
    Add_Queue("A");
    Add_LBQ("Plates In");
    Add_LBQ("Proofs In");
    HWND list = Create_LBQList_InPlace(d(), IDC_HOLD_LBQS);
    EXPECT_EQ(2, Add_LVData(list, QL_LBQS));
    std::vector<dk::ListRow> rows = Rows(list);
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ("Plates In", rows[0].text);
    EXPECT_EQ("Proofs In", rows[1].text);
    EXPECT_EQ(0, rows[0].image);
    EXPECT_EQ(0, rows[1].image);
    EXPECT_EQ(0, rows[0].data);
    EXPECT_EQ(1, rows[1].data);
    ASSERT_EQ(1, ImageList_GetImageCount(Images_Of(list)));
    EXPECT_EQ(Icon_Pixels(loadBalancerIcon), Image_Pixels(Images_Of(list), 0));

    /* refreshed from the array: a deleted input queue is gone */
    lbqCount = 1;
    EXPECT_EQ(1, Refresh_LBQList(list));
    EXPECT_EQ(1u, Rows(list).size());
}

TEST_F(QueueListTest, TheOutputsOfAnInputQueueAreExactlyItsFlaggedQueues)
{
    for (const char *n : { "Q0", "Q1", "Q2", "Q3", "Q4", "Q5" }) Add_Queue(n, NO_PROCESSES, FALSE, TRUE);
    targets[4].icon = sharedIcons[ICON_RECYCLE_JOBS];
    Add_LBQ("In");
    lbqs[0].outputs[1] = 1;
    lbqs[0].outputs[4] = 1;
    HWND list = Create_TargetList_InPlace(d(), IDC_HOLD_TARGETS, FALSE);
    for (int round = 0; round < 2; round++) {          /* filled again: emptied first */
        EXPECT_EQ(2, Add_LVData(list, &lbqs[0]));
        std::vector<dk::ListRow> rows = Rows(list);
        ASSERT_EQ(2u, rows.size());
        EXPECT_EQ("Q1", rows[0].text);
        EXPECT_EQ("Q4", rows[1].text);
        EXPECT_EQ(1, rows[0].image);
        EXPECT_EQ(4, rows[1].image);
        EXPECT_EQ(1, rows[0].data);
        EXPECT_EQ(4, rows[1].data);
    }
    Fill_ListImages(list);
    EXPECT_EQ(Icon_Pixels(sharedIcons[ICON_RECYCLE_JOBS]), Image_Pixels(Images_Of(list), 4));
}

TEST_F(QueueListTest, FailuresToReadOrSetAnItemAreToldAndChangeNothing)
{
    Add_Queue("A");
    Add_Queue("B");
    HWND list = Create_TargetList_InPlace(d(), IDC_HOLD_TARGETS, FALSE);
    Add_LVData(list, QL_TARGETS);
    EXPECT_EQ(-1, Get_LV__Item_Param(list, 7));
    ASSERT_EQ(1u, msgs.count());
    EXPECT_EQ("Error getting data from listview", msgs.last().text);
    EXPECT_EQ((UINT)MB_ICONINFORMATION, tk::Icon_Of(msgs.last().flags));
    EXPECT_FALSE(Reset_ListView_Target_Entry(list, 5));
    ASSERT_EQ(2u, msgs.count());
    EXPECT_EQ("Error setting data in listview", msgs.last().text);
    EXPECT_EQ(2u, Rows(list).size());
}

TEST_F(QueueListTest, ItemsAreAtLeast33PixelsHighAndGrowWithTheFont)
{
    Add_Queue("A");
    HWND list = Create_TargetList_InPlace(d(), IDC_HOLD_TARGETS, FALSE);
    Add_LVData(list, QL_TARGETS);
    RECT item = { LVIR_BOUNDS, 0, 0, 0 };
    ASSERT_TRUE(SendMessageA(list, LVM_GETITEMRECT, 0, (LPARAM)&item));
    EXPECT_EQ(Scale_ForDpi(33), (int)(item.bottom - item.top));

    /* A font taller than the least height at any resolution: a font's height is given in pixels,
       and one of 40 (49 with its leading and the extra pixel) is below the least height at 144
       dots per inch (50), where the least height rightly wins. */
    HFONT big = CreateFontA(-Scale_ForDpi(40), 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
    HDC hdc = GetDC(list);
    HGDIOBJ old = SelectObject(hdc, big);
    TEXTMETRICA tm;
    GetTextMetricsA(hdc, &tm);
    SelectObject(hdc, old);
    ReleaseDC(list, hdc);
    ASSERT_GT(tm.tmHeight + 1, Scale_ForDpi(33));
    SendMessageA(list, WM_SETFONT, (WPARAM)big, FALSE);
    MEASUREITEMSTRUCT mis;
    memset(&mis, 0, sizeof mis);
    mis.CtlType = ODT_LISTVIEW;
    mis.CtlID = IDC_HOLD_TARGETS;
    ASSERT_TRUE(Measure_QueueItem(d(), &mis));
    EXPECT_EQ((UINT)tm.tmHeight + 1, mis.itemHeight);
    SendMessageA(list, WM_SETFONT, 0, FALSE);
    DeleteObject(big);

    mis.CtlType = ODT_BUTTON;
    EXPECT_FALSE(Measure_QueueItem(d(), &mis)) << "other owner-drawn controls are not ours";
}

TEST_F(QueueListTest, RefreshingKeepsTheScrollPosition)
{
    char name[32];
    for (int i = 0; i < 200; i++) {
        snprintf(name, sizeof name, "Queue %03d", i + 1);
        Add_Queue(name, NO_PROCESSES, FALSE, TRUE);
    }
    HWND list = Create_TargetList_InPlace(d(), IDC_HOLD_TARGETS, FALSE);
    Add_LVData(list, QL_TARGETS);
    SendMessageA(list, LVM_ENSUREVISIBLE, 199, FALSE);
    SendMessageA(list, LVM_ENSUREVISIBLE, 120, FALSE);
    int top = (int)SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
    ASSERT_EQ(120, top);
    EXPECT_EQ(200, Refresh_TargetList(list));

    EXPECT_EQ(top, (int)SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
    EXPECT_EQ(200, ImageList_GetImageCount(Images_Of(list)));
    /* the column fills the list beside its vertical scroll bar, with no horizontal one */
    RECT client;
    GetClientRect(list, &client);
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL);
    EXPECT_FALSE(GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL);
    EXPECT_EQ(client.right, (int)SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ(200, Fill_ListImages(list));
    EXPECT_EQ(Icon_Pixels(sharedIcons[ICON_NO_PROCESSES]), Image_Pixels(Images_Of(list), 199));

    targetCount = 60;                          /* fewer queues than the old position */
    Refresh_TargetList(list);
    int perPage = (int)SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0);
    EXPECT_EQ(60 - perPage, (int)SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
}

TEST_F(QueueListTest, SelectionHelpersNameTheSelectedQueues)
{
    for (const char *n : { "A", "B", "C", "D", "E" }) Add_Queue(n);
    HWND list = Create_TargetList_InPlace(d(), IDC_HOLD_TARGETS, FALSE);
    Add_LVData(list, QL_TARGETS);
    EXPECT_EQ(0, Count_Selected(list));
    EXPECT_EQ(-1, Current_Selected(list));
    const int pick[] = { 3, 1 };
    Select_Items(list, pick, 2);
    EXPECT_EQ(2, Count_Selected(list));
    EXPECT_EQ(1, Next_Selected(list, 0));
    EXPECT_EQ(3, Next_Selected(list, 2));
    EXPECT_EQ(-1, Next_Selected(list, 4));
    EXPECT_EQ(1, Current_Selected(list)) << "the focus mark goes to the first";
    /* the focused item when it is selected */
    LVITEMA it;
    memset(&it, 0, sizeof it);
    it.stateMask = LVIS_FOCUSED;
    it.state = LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, 3, (LPARAM)&it);
    EXPECT_EQ(3, Current_Selected(list));
}

/* ---- drawing ---- */

class QueueDrawTest : public QueueListTest {
protected:
    HWND list = nullptr;
    static constexpr int W = 300, H = 33;

    /* Draws item as the list would ask, into a bitmap of its own; returns the pixels (0xRRGGBB). */
    std::vector<DWORD> Draw(int item, UINT state)
    {
        std::vector<DWORD> px = Render(W, H, GRAY_BRUSH, [&](HDC mem, const RECT &all) {
            DRAWITEMSTRUCT dis;
            memset(&dis, 0, sizeof dis);
            dis.CtlType = ODT_LISTVIEW;
            dis.CtlID = IDC_HOLD_TARGETS;
            dis.itemID = (UINT)item;
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = state;
            dis.hwndItem = list;
            dis.hDC = mem;
            dis.rcItem = all;
            EXPECT_TRUE(Draw_QueueItem(&dis));
        });
        for (DWORD &p : px) p &= 0xFFFFFF;
        return px;
    }
    static DWORD Rgb(COLORREF c) { return (DWORD)(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c)); }
    static int Count(const std::vector<DWORD> &px, COLORREF c, int fromX = 0)
    {
        int n = 0;
        for (int y = 0; y < H; y++)
            for (int x = fromX; x < W; x++) n += px[(size_t)(y * W + x)] == Rgb(c);
        return n;
    }
    void Insert(int at, const char *text, LPARAM data)
    {
        LVITEMA it;
        memset(&it, 0, sizeof it);
        it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        it.iItem = at;
        it.pszText = (char *)text;
        it.iImage = 0;
        it.lParam = data;
        ASSERT_EQ(at, (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&it));
    }
    void SetUp() override
    {
        QueueListTest::SetUp();
        Add_Queue("Queue", NO_PROCESSES, FALSE, TRUE);
        list = Create_TargetList_InPlace(d(), IDC_HOLD_TARGETS, FALSE);
        SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, W);
    }
};

TEST_F(QueueDrawTest, ColoursComeFromTheSystem)
{
    Insert(0, "Ordinary", 0);
    Insert(1, "High data", 200);
    int textFrom = Queue_IconSize() + Scale_ForDpi(4);

    std::vector<DWORD> plain = Draw(0, 0);
    EXPECT_GT(Count(plain, GetSysColor(COLOR_WINDOWTEXT), textFrom), 0);
    EXPECT_EQ(0, Count(plain, GetSysColor(COLOR_HIGHLIGHT), textFrom));
    EXPECT_GT(Count(plain, GetSysColor(COLOR_WINDOW), textFrom), W);

    std::vector<DWORD> high = Draw(1, 0);
    EXPECT_GT(Count(high, GetSysColor(COLOR_ACTIVECAPTION), textFrom), 0) << "data of 200 or more: caption colour";
    EXPECT_EQ(0, Count(high, GetSysColor(COLOR_WINDOWTEXT), textFrom));

    std::vector<DWORD> selected = Draw(0, ODS_SELECTED);
    EXPECT_GT(Count(selected, GetSysColor(COLOR_HIGHLIGHT), textFrom), (W - textFrom) * H / 2);
    EXPECT_GT(Count(selected, GetSysColor(COLOR_HIGHLIGHTTEXT), textFrom), 0);

    /* the icon is drawn blended when selected */
    int differ = 0;
    for (int y = 0; y < H; y++)
        for (int x = 0; x < Queue_IconSize(); x++) differ += plain[(size_t)(y * W + x)] != selected[(size_t)(y * W + x)];
    EXPECT_GT(differ, 0);

    EnableWindow(list, FALSE);
    std::vector<DWORD> disabled = Draw(0, 0);
    EXPECT_GT(Count(disabled, GetSysColor(COLOR_GRAYTEXT), textFrom), 0);
    EXPECT_EQ(0, Count(disabled, GetSysColor(COLOR_WINDOWTEXT), textFrom));
    EnableWindow(list, TRUE);
}

/* A list of many queues shows a dozen: their icons are taken from their files when their items
   are first drawn, not when the list is filled; the applications' icons once the list is idle. */
TEST_F(QueueDrawTest, IconsAreTakenFromTheirFilesWhenTheirItemsAreFirstDrawn)
{
    const std::string red = tk::Fixture("profiles/icons/red.ico"), green = tk::Fixture("profiles/icons/green.ico");
    targetCount = 0;
    for (int i = 0; i < 30; i++) {
        Target *t = Add_Queue(("Queue " + std::to_string(i)).c_str(), 0);
        Copy_Field(t->iconPath, (i % 2 ? red : green).c_str());
    }
    Copy_Field(targets[3].iconPath, "C:\\No\\Such\\queue.ico");
    targets[4].iconPath[0] = '\0';
    targets[5].iconPath[0] = '\0';
    targets[5].noProcesses = TRUE;
    targets[5].processRef = NO_PROCESSES;
    mk::Add_App(green, "", 0);
    mk::Add_App(red, "", 1);
    EXPECT_EQ(30, Refresh_TargetList(list));
    for (int i = 0; i < 30; i++) EXPECT_EQ(nullptr, targets[i].icon) << "taken before it was shown: " << i;
    EXPECT_EQ(nullptr, apps[0].icon);

    for (int item : { 0, 1, 3, 4, 5 }) Draw(item, 0);
    EXPECT_NE(nullptr, targets[0].icon);
    EXPECT_NE(nullptr, targets[1].icon);
    EXPECT_EQ(nullptr, targets[2].icon) << "not drawn";
    EXPECT_EQ(nullptr, targets[3].icon) << "its file is missing";
    EXPECT_STREQ("C:\\No\\Such\\queue.ico", targets[3].iconPath) << "the setting stays for the next save";
    EXPECT_NE(nullptr, apps[0].icon) << "queues 3 and 4 show their application's icon";
    EXPECT_EQ(nullptr, targets[5].icon);
    HIMAGELIST images = Images_Of(list);
    EXPECT_EQ(Icon_Pixels(targets[1].icon), Image_Pixels(images, 1));
    EXPECT_EQ(Icon_Pixels(apps[0].icon), Image_Pixels(images, 3)) << "a missing icon file: what it shows without one";
    EXPECT_EQ(Icon_Pixels(apps[0].icon), Image_Pixels(images, 4));
    EXPECT_EQ(Icon_Pixels(targets[0].icon), Image_Pixels(images, 0));
    EXPECT_NE(Image_Pixels(images, 0), Image_Pixels(images, 1));
    EXPECT_EQ(Icon_Pixels(sharedIcons[ICON_NO_PROCESSES]), Image_Pixels(images, 5));

    /* the other applications' icons come while the list has nothing else to do */
    EXPECT_EQ(nullptr, apps[1].icon);
    tk::Pump(300);
    EXPECT_NE(nullptr, apps[1].icon);

    /* a refreshed list makes its images again from the icons already taken, as it draws them */
    HICON taken = targets[1].icon;
    Move_Target(1, 0);
    Refresh_TargetList(list);
    Draw(0, 0);
    EXPECT_EQ(taken, targets[0].icon);
    EXPECT_EQ(Icon_Pixels(taken), Image_Pixels(Images_Of(list), 0));
    EXPECT_EQ(29, Fill_ListImages(list));
    EXPECT_NE(nullptr, targets[29].icon);
    for (int i = 0; i < 30; i++)
        if (targets[i].icon != nullptr) DestroyIcon(targets[i].icon);
    for (int a : { 0, 1 })
        if (apps[a].icon != sharedIcons[ICON_PROGRAM]) DestroyIcon(apps[a].icon);
}

TEST_F(QueueDrawTest, LongTextsAreShortenedPathsInTheirMiddle)
{
    const char *path = "C:\\Spool\\Queues\\Plate Setters\\Hot Folders\\Incoming\\Night Shift\\Job 1234.tif";
    const char *plain = "A very long queue name that does not fit into the narrow column of the list at all";
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, 200);
    /* what Fit_Text gives for the room beside the icon, with 2 pixels each side */
    int room = 200 - (Queue_IconSize() + Scale_ForDpi(4)) - 2 * Scale_ForDpi(2);
    HDC hdc = GetDC(list);
    HGDIOBJ old = SelectObject(hdc, (HFONT)SendMessageA(list, WM_GETFONT, 0, 0));
    char asPath[300], asEnd[300], plainEnd[300];
    Fit_Text(hdc, path, asPath, sizeof asPath, room, FIT_PATH);
    Fit_Text(hdc, path, asEnd, sizeof asEnd, room, FIT_END);
    Fit_Text(hdc, plain, plainEnd, sizeof plainEnd, room, FIT_END);
    SelectObject(hdc, old);
    ReleaseDC(list, hdc);
    ASSERT_STRNE(asPath, asEnd);
    ASSERT_EQ(0, strncmp(asPath, "C:\\...", 6));

    Insert(0, path, 0);
    Insert(1, asPath, 0);
    Insert(2, asEnd, 0);
    Insert(3, plain, 0);
    Insert(4, plainEnd, 0);
    EXPECT_EQ(Draw(1, 0), Draw(0, 0)) << "a drive path loses folders from its middle";
    EXPECT_NE(Draw(2, 0), Draw(0, 0));
    EXPECT_EQ(Draw(4, 0), Draw(3, 0)) << "other texts lose their end";
}

/* The program's manifest (every test program carries it too) declares DPI awareness: the
   system leaves the scaling to the program instead of stretching its windows. */
TEST(Manifest, TheProgramIsAwareOfTheScreensDpi)
{
    EXPECT_TRUE(IsProcessDPIAware());
    HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(nullptr, res);
    std::string text((const char *)LockResource(LoadResource(nullptr, res)), SizeofResource(nullptr, res));
    EXPECT_NE(std::string::npos, text.find("<dpiAwareness xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">system"));
    EXPECT_NE(std::string::npos, text.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}")) << "Windows 10 and 11";
    EXPECT_NE(std::string::npos, text.find("{35138b9a-5d96-4fbd-8e2d-a2440225f93a}")) << "Windows 7";
    EXPECT_NE(std::string::npos, text.find("Microsoft.Windows.Common-Controls"));
}
