/* The splash screen: its own thread and window, closed by its timer or a click. */
#include "support/testkit.h"
#include "support/dlgkit.h"
#include "shell/splash.h"
#include "common/dlgutil.h"
#include <tlhelp32.h>
#include <set>

static const COLORREF k_Teal = RGB(0, 128, 128);

/* An 8-bit DIB section of w x h in colour 1 of a table that holds black, teal and greys. */
static HBITMAP Palette_Bitmap(int w, int h)
{
    struct { BITMAPINFOHEADER h; RGBQUAD table[256]; } bi = {};
    bi.h.biSize = sizeof bi.h;
    bi.h.biWidth = w;
    bi.h.biHeight = h;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = 8;
    bi.h.biClrUsed = 256;
    for (int i = 0; i < 256; i++) bi.table[i] = RGBQUAD{ (BYTE)i, (BYTE)i, (BYTE)i, 0 };
    bi.table[1] = RGBQUAD{ GetBValue(k_Teal), GetGValue(k_Teal), GetRValue(k_Teal), 0 };
    void *bits;
    HBITMAP bmp = CreateDIBSection(nullptr, (BITMAPINFO *)&bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    memset(bits, 1, (size_t)(((w + 3) & ~3) * h));
    return bmp;
}

static std::set<DWORD> Thread_Ids()
{
    std::set<DWORD> ids;
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 te = {};
    te.dwSize = sizeof te;
    for (BOOL ok = Thread32First(snap, &te); ok; ok = Thread32Next(snap, &te))
        if (te.th32OwnerProcessID == GetCurrentProcessId()) ids.insert(te.th32ThreadID);
    CloseHandle(snap);
    return ids;
}

/* Waits up to ms for the splash window to be shown (want true) or destroyed; the time it took, or -1. */
static int Wait_Splash(bool want, DWORD ms)
{
    DWORD t0 = GetTickCount();
    while (GetTickCount() - t0 <= ms) {
        HWND w = FindWindowA(SPLASH_CLASS, nullptr);
        if (want ? (w != nullptr && IsWindowVisible(w)) : w == nullptr) return (int)(GetTickCount() - t0);
        Sleep(10);
    }
    return -1;
}

class Splash : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_GE(Wait_Splash(false, 0), 0) << "a splash of an earlier test is still up"; }
    void TearDown() override
    {
        if (HWND w = FindWindowA(SPLASH_CLASS, nullptr)) PostMessageA(w, WM_LBUTTONDOWN, 0, 0);
        Wait_Splash(false, 2000);
        DeleteObject(bmp);
    }
    HBITMAP bmp = Palette_Bitmap(240, 120);
};

/* The colour of one pixel of a bitmap. */
static COLORREF Pixel_Of(HBITMAP bmp, int x, int y)
{
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    COLORREF c = GetPixel(mem, x, y);
    SelectObject(mem, old);
    DeleteDC(mem);
    return c;
}

TEST_F(Splash, ShowsTheBitmapCentredAndClosesAfterItsTime)
{
    char err[400];
    HBITMAP picture = Load_BitmapFile(tk::Source_Path("demo\\Profile\\Editor\\EditorSplash.bmp").c_str(), err, sizeof err);
    ASSERT_NE(nullptr, picture) << err;
    BITMAP bm;
    GetObjectA(picture, sizeof bm, &bm);
    ASSERT_TRUE(Start_Splash(GetModuleHandleA(nullptr), picture, nullptr, "Splash Test", 600, TRUE));
    ASSERT_GE(Wait_Splash(true, 2000), 0);
    DWORD shown = GetTickCount();
    HWND w = FindWindowA(SPLASH_CLASS, nullptr);
    EXPECT_EQ(w, Splash_Window());
    EXPECT_EQ("Splash Test", dk::Caption(w));
    EXPECT_EQ(0, GetWindowLongA(w, GWL_STYLE) & (WS_CAPTION | WS_BORDER | WS_THICKFRAME));
    EXPECT_NE(GetCurrentThreadId(), GetWindowThreadProcessId(w, nullptr)) << "the splash has a thread of its own";
    RECT rc, area;
    GetWindowRect(w, &rc);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    EXPECT_EQ(bm.bmWidth, rc.right - rc.left);
    EXPECT_EQ(bm.bmHeight, rc.bottom - rc.top);
    EXPECT_EQ(area.left + (area.right - area.left - bm.bmWidth) / 2, rc.left);
    EXPECT_EQ(area.top + (area.bottom - area.top - bm.bmHeight) / 2, rc.top);
    Sleep(100);                                              /* its thread paints it */
    HDC screen = GetDC(nullptr);
    for (POINT p : { POINT{ 0, 0 }, POINT{ 30, 40 }, POINT{ 360, 90 }, POINT{ 200, 230 } })
        EXPECT_EQ(Pixel_Of(picture, p.x, p.y), GetPixel(screen, rc.left + p.x, rc.top + p.y)) << p.x << "," << p.y;
    ReleaseDC(nullptr, screen);
    dk::Screenshot(w, "splash");

    int gone = Wait_Splash(false, 3000);
    ASSERT_GE(gone, 0) << "the splash did not close by its timer";
    DWORD after = GetTickCount() - shown;
    EXPECT_GE(after, 450u);
    EXPECT_LT(after, 1500u);
    EXPECT_EQ(nullptr, Splash_Window());
    DeleteObject(picture);
}

TEST_F(Splash, ZeroDisplayTimeMeansThreeSeconds)
{
    ASSERT_TRUE(Start_Splash(GetModuleHandleA(nullptr), bmp, nullptr, "Splash Test", 0, FALSE));
    ASSERT_GE(Wait_Splash(true, 2000), 0);
    Sleep(2600);
    EXPECT_NE(nullptr, FindWindowA(SPLASH_CLASS, nullptr)) << "gone before 3000 ms";
    EXPECT_GE(Wait_Splash(false, 1500), 0) << "still there long after 3000 ms";
}

TEST_F(Splash, AClickClosesItAndItsThreadEnds)
{
    for (UINT click : { WM_LBUTTONDOWN, WM_LBUTTONDBLCLK }) {
        SCOPED_TRACE(click);
        ASSERT_TRUE(Start_Splash(GetModuleHandleA(nullptr), bmp, nullptr, "Splash Test", 60000, TRUE));
        ASSERT_GE(Wait_Splash(true, 2000), 0) << "a second splash must not stumble over the registered class";
        HWND w = FindWindowA(SPLASH_CLASS, nullptr);
        HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, GetWindowThreadProcessId(w, nullptr));
        ASSERT_NE(nullptr, thread);
        PostMessageA(w, click, MK_LBUTTON, MAKELPARAM(5, 5));
        EXPECT_GE(Wait_Splash(false, 1000), 0);
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 1000)) << "the splash thread goes with its window";
        CloseHandle(thread);
    }
}

/* The shut-down frees the splash bitmap: before it does, the splash is closed and its thread has
   ended, also when the splash had not yet shown its window. */
TEST_F(Splash, ClosingWaitsForTheThreadSoTheBitmapCanGo)
{
    for (DWORD wait : { 300u, 0u }) {
        SCOPED_TRACE(wait ? "shown" : "closed at once");
        std::set<DWORD> before = Thread_Ids();
        HBITMAP own = Palette_Bitmap(200, 100);
        ASSERT_TRUE(Start_Splash(GetModuleHandleA(nullptr), own, nullptr, "Splash Test", 60000, TRUE));
        if (wait) {
            ASSERT_GE(Wait_Splash(true, 2000), 0);
        }
        DWORD t0 = GetTickCount();
        Close_Splash();
        EXPECT_LT(GetTickCount() - t0, 2000u) << "the splash does not stay for its display time";
        EXPECT_EQ(nullptr, FindWindowA(SPLASH_CLASS, nullptr));
        EXPECT_EQ(nullptr, Splash_Window());
        for (DWORD id : Thread_Ids()) EXPECT_EQ(1u, before.count(id)) << "the splash thread is still there";
        EXPECT_TRUE(DeleteObject(own));
        Close_Splash();                         /* nothing left to close */
    }
}

TEST_F(Splash, WithoutABitmapOrInstanceNothingStarts)
{
    std::set<DWORD> before = Thread_Ids();
    EXPECT_FALSE(Start_Splash(GetModuleHandleA(nullptr), nullptr, nullptr, "Splash Test", 100, TRUE));
    EXPECT_FALSE(Start_Splash(nullptr, bmp, nullptr, "Splash Test", 100, TRUE));
    Sleep(100);
    for (DWORD id : Thread_Ids()) EXPECT_EQ(1u, before.count(id)) << "a thread was started";
    EXPECT_EQ(nullptr, FindWindowA(SPLASH_CLASS, nullptr));
}

TEST(SplashPalette, IsTheBitmapsColourTableOrNoneWithoutOne)
{
    HBITMAP paletted = Palette_Bitmap(8, 8);
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, paletted);
    HPALETTE pal = Create_ColourTablePalette(mem);
    ASSERT_NE(nullptr, pal);
    PALETTEENTRY entries[256];
    ASSERT_EQ(256u, GetPaletteEntries(pal, 0, 256, entries));
    EXPECT_EQ(GetRValue(k_Teal), entries[1].peRed);
    EXPECT_EQ(GetGValue(k_Teal), entries[1].peGreen);
    EXPECT_EQ(GetBValue(k_Teal), entries[1].peBlue);
    EXPECT_EQ(200, entries[200].peRed);
    EXPECT_EQ(0, entries[200].peFlags);
    DeleteObject(pal);

    BITMAPINFO bi = {};
    bi.bmiHeader = { sizeof bi.bmiHeader, 8, 8, 1, 24, BI_RGB, 0, 0, 0, 0, 0 };
    void *bits;
    HBITMAP truecolour = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(mem, truecolour);
    EXPECT_EQ(nullptr, Create_ColourTablePalette(mem));
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(paletted);
    DeleteObject(truecolour);
}
