#include "support/testkit.h"
#include "support/dlgkit.h"
#include "common/dlgutil.h"
#include "common/fileutil.h"

/* ---- Fit_Text ---- */

class FitText : public ::testing::Test {
protected:
    void SetUp() override
    {
        dc = CreateCompatibleDC(nullptr);
        font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
        old = SelectObject(dc, font);
    }
    void TearDown() override
    {
        SelectObject(dc, old);
        DeleteObject(font);
        DeleteDC(dc);
    }
    int Width(const std::string &s)
    {
        SIZE size;
        GetTextExtentPoint32A(dc, s.c_str(), (int)s.size(), &size);
        return size.cx;
    }
    std::string Fit(const std::string &text, int width, int mode)
    {
        char out[300];
        memset(out, 'x', sizeof out);
        Fit_Text(dc, text.c_str(), out, sizeof out, width, mode);
        return out;
    }
    HDC dc;
    HFONT font;
    HGDIOBJ old;
};

static const char k_Path[] = "C:\\Spool\\Queues\\Hot\\Job.tif";

/* The column is as wide as `column`, give or take `delta` pixels. */
struct FitCase { const char *name; int mode; const char *text; const char *column; int delta; const char *want; };
static const FitCase k_Fit[] = {
    { "a text that fits stays",           FIT_PATH,  k_Path, k_Path,                       0, k_Path },
    { "path: folders go from the front",  FIT_PATH,  k_Path, "C:\\...\\Hot\\Job.tif",      0, "C:\\...\\Hot\\Job.tif" },
    { "path: a folder name may be cut",   FIT_PATH,  k_Path, "C:\\...ot\\Job.tif",         0, "C:\\...ot\\Job.tif" },
    { "path: down to the last folder",    FIT_PATH,  k_Path, "C:\\...\\Job.tif",           0, "C:\\...\\Job.tif" },
    { "path: then only the drive stays",  FIT_PATH,  k_Path, "C:\\...\\Job.tif",          -1, "C:\\..." },
    { "path: then from the start",        FIT_PATH,  k_Path, "C:\\...",                   -1, ":\\..." },
    { "path: nothing in no width",        FIT_PATH,  k_Path, "",                           0, "" },
    { "path without a backslash",         FIT_PATH,  "JobTicket.tif", "...et.tif",         0, "...et.tif" },
    { "front: the start goes",            FIT_FRONT, "Queue Number One", "...ber One",     0, "...ber One" },
    { "front: dots alone, then fewer",    FIT_FRONT, "Queue Number One", "...",           -1, ".." },
    { "end: the end goes",                FIT_END,   "Queue Number One", "Queue Nu...",    0, "Queue Nu..." },
    { "end: dots alone, then fewer",      FIT_END,   "Queue Number One", "...",           -1, ".." },
};

TEST_F(FitText, ShortensEachWayToTheColumn)
{
    for (const FitCase &c : k_Fit) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.want, Fit(c.text, Width(c.column) + c.delta, c.mode));
    }
}

/* Whatever the width: the result fits, and a path keeps its drive and as much of its tail as
   fits, where the tail is never cut inside the file name. */
TEST_F(FitText, EveryWidthGivesAFittingResult)
{
    const std::string path = k_Path;
    for (int mode = FIT_FRONT; mode <= FIT_PATH; mode++) {
        for (int w = 0; w <= Width(path) + 2; w++) {
            SCOPED_TRACE(testing::Message() << "mode " << mode << " width " << w);
            std::string got = Fit(path, w, mode);
            EXPECT_LE(Width(got), w);
            if (mode != FIT_PATH || w < Width("C:\\...") || got == path) continue;
            ASSERT_EQ(0u, got.find("C:\\...")) << got;
            std::string tail = got.substr(6);
            EXPECT_TRUE(tail.empty() || tail.find('\\') != std::string::npos) << got;
            EXPECT_EQ(path.substr(path.size() - tail.size()), tail) << got;
        }
    }
}

/* ---- drawing ---- */

/* A memory DC holding a 32-bit white canvas. */
struct Canvas {
    Canvas(int w, int h)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void *bits;
        bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = CreateCompatibleDC(nullptr);
        old = SelectObject(dc, bmp);
        RECT rc = { 0, 0, w, h };
        FillRect(dc, &rc, (HBRUSH)GetStockObject(WHITE_BRUSH));
    }
    ~Canvas() { SelectObject(dc, old); DeleteDC(dc); DeleteObject(bmp); }
    COLORREF at(int x, int y) { return GetPixel(dc, x, y); }
    HBITMAP bmp;
    HDC dc;
    HGDIOBJ old;
};

static const COLORREF k_Red = RGB(200, 20, 30);

/* A 4 x 3 bitmap of one colour. */
static HBITMAP Red_Bitmap()
{
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = 4;
    bi.bmiHeader.biHeight = 3;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    for (int i = 0; i < 12; i++) ((DWORD *)bits)[i] = (GetRValue(k_Red) << 16) | (GetGValue(k_Red) << 8) | GetBValue(k_Red);
    return bmp;
}

TEST(Draw_Bitmap, CopiesTheBitmapClippedToTheLargestSize)
{
    HBITMAP red = Red_Bitmap();
    Canvas whole(20, 20), clipped(20, 20);
    Draw_Bitmap(whole.dc, red, 5, 5, 0, 0);
    Draw_Bitmap(clipped.dc, red, 5, 5, 2, 1);
    EXPECT_EQ(k_Red, whole.at(5, 5));
    EXPECT_EQ(k_Red, whole.at(8, 7));
    EXPECT_EQ(RGB(255, 255, 255), whole.at(9, 7));
    EXPECT_EQ(RGB(255, 255, 255), whole.at(8, 8));
    EXPECT_EQ(k_Red, clipped.at(6, 5));
    EXPECT_EQ(RGB(255, 255, 255), clipped.at(7, 5));
    EXPECT_EQ(RGB(255, 255, 255), clipped.at(5, 6));
    BITMAP bm;
    EXPECT_NE(0, GetObjectA(red, sizeof bm, &bm)) << "the bitmap stays the caller's";
    DeleteObject(red);
}

TEST(Draw_FramedBitmap, DrawsOnePixelInWithASunkenFrame)
{
    HBITMAP red = Red_Bitmap();
    Canvas c(20, 20);
    Draw_FramedBitmap(c.dc, red, 5, 5, 0, 0);
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
    EXPECT_EQ(k_Red, c.at(6, 6));
    EXPECT_EQ(k_Red, c.at(9, 8));
    EXPECT_EQ(shadow, c.at(5, 7)) << "left edge";
    EXPECT_EQ(shadow, c.at(7, 5)) << "top edge";
    EXPECT_EQ(light, c.at(10, 7)) << "right edge";
    EXPECT_EQ(light, c.at(7, 9)) << "bottom edge";
    EXPECT_EQ(RGB(255, 255, 255), c.at(11, 7));
    EXPECT_EQ(RGB(255, 255, 255), c.at(7, 10));
    DeleteObject(red);
}

/* ---- windows ---- */

TEST(Centre_Window, CentresInTheWorkAreaWithoutResizing)
{
    dk::Form form("Centre Me", {}, 150, 60);
    HWND w = form.hwnd();
    SetWindowPos(w, nullptr, 3, 7, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    RECT before, after, area;
    GetWindowRect(w, &before);
    Centre_Window(w);
    GetWindowRect(w, &after);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    int width = before.right - before.left, height = before.bottom - before.top;
    EXPECT_EQ(width, after.right - after.left);
    EXPECT_EQ(height, after.bottom - after.top);
    EXPECT_EQ(area.left + (area.right - area.left - width) / 2, after.left);
    EXPECT_EQ(area.top + (area.bottom - area.top - height) / 2, after.top);
}

TEST(Get_ControlPos, GivesTheControlInTheDialogsClientCoordinates)
{
    dk::Form form("Positions", { { "EDIT", 100, "", WS_BORDER, 10, 20, 80, 12 } });
    RECT dlu = { 10, 20, 80, 12 };                  /* left, top, width, height as the template has them */
    MapDialogRect(form.hwnd(), &dlu);
    RECT want = { dlu.left, dlu.top, dlu.left + dlu.right, dlu.top + dlu.bottom };
    RECT got;
    POINT pos;
    ASSERT_TRUE(Get_ControlRect(form.hwnd(), 100, &got));
    ASSERT_TRUE(Get_ControlPos(form.hwnd(), 100, &pos));
    EXPECT_EQ(want.left, got.left);
    EXPECT_EQ(want.top, got.top);
    EXPECT_EQ(want.right, got.right);
    EXPECT_EQ(want.bottom, got.bottom);
    EXPECT_EQ(want.left, pos.x);
    EXPECT_EQ(want.top, pos.y);
    EXPECT_FALSE(Get_ControlPos(form.hwnd(), 999, &pos));
}

/* ---- Load_BitmapFile ---- */

/* An 8-bit bitmap file of w x h pixels whose colour table holds grey levels 0, 1, 2, ... */
static std::string Bmp8(int w, int h)
{
    int stride = (w + 3) & ~3;
    BITMAPFILEHEADER fh = {};
    BITMAPINFOHEADER ih = {};
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 8;
    ih.biClrUsed = 256;
    std::string table;
    for (int i = 0; i < 256; i++) table += std::string{ (char)i, (char)i, (char)i, 0 };
    std::string pixels((size_t)(stride * h), '\x07');
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof ih + (DWORD)table.size();
    fh.bfSize = fh.bfOffBits + (DWORD)pixels.size();
    return std::string((char *)&fh, sizeof fh) + std::string((char *)&ih, sizeof ih) + table + pixels;
}

TEST(Load_BitmapFile, LoadsADeviceIndependentSectionOrSaysWhyNot)
{
    tk::TempDir dir("bmp");
    tk::Write_File(dir / "Good.bmp", Bmp8(10, 6));
    tk::Write_File(dir / "Bad.bmp", "BM not a bitmap");
    char err[400] = "left over";
    HBITMAP bmp = Load_BitmapFile((dir / "Good.bmp").c_str(), err, sizeof err);
    ASSERT_NE(nullptr, bmp);
    EXPECT_STREQ("", err);
    DIBSECTION ds;
    ASSERT_EQ((int)sizeof ds, GetObjectA(bmp, sizeof ds, &ds));
    EXPECT_EQ(8, ds.dsBm.bmBitsPixel);
    EXPECT_EQ(10, ds.dsBm.bmWidth);
    DeleteObject(bmp);
    for (const char *name : { "Bad.bmp", "Missing.bmp" }) {
        std::string path = dir / name;
        EXPECT_EQ(nullptr, Load_BitmapFile(path.c_str(), err, sizeof err));
        EXPECT_EQ(path + " does not contain a valid DIB", err);
    }
}
