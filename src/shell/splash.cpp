#include "shell/splash.h"
#include "common/dlgutil.h"
#include "common/text.h"
#include "common/trace.h"
#include <stdio.h>
#include <string.h>

#define SPLASH_TIMER      1
#define SPLASH_TITLE_LEN  264

/* One per splash: made by Start_Splash, handed to the splash thread, freed when it ends. */
typedef struct {
    HINSTANCE instance;
    HBITMAP   bitmap;
    BITMAP    desc;              /* filled when the window is created */
    HPALETTE  palette;           /* built from the colour table at the first paint */
    WORD      paletteMade;
    DWORD     displayMs;
    HICON     icon;
    char      title[SPLASH_TITLE_LEN];
} SPLASH_BLOCK;

static HWND volatile s_SplashWindow;
static BOOL          s_ClassRegistered;
static HANDLE        s_SplashThread;        /* the thread of the splash shown last, until it is joined */
static volatile LONG s_CloseAsked;          /* Close_Splash wants the splash gone */

HWND Splash_Window(void) { return s_SplashWindow; }

HPALETTE Create_ColourTablePalette(HDC memDC)
{
    RGBQUAD table[256];
    UINT count = GetDIBColorTable(memDC, 0, 256, table);
    if (count == 0) {
        char why[128];
        Format_Text(why, sizeof why, "Could not retrieve any palette entries. Error %d.\n", (int)GetLastError());
        Trace("%s", why);
        return NULL;
    }
    size_t size = sizeof(LOGPALETTE) + (count - 1) * sizeof(PALETTEENTRY);
    LOGPALETTE *lp = (LOGPALETTE *)HeapAlloc(GetProcessHeap(), 0, size);
    if (lp == NULL) return NULL;
    lp->palVersion = 0x300;
    lp->palNumEntries = (WORD)count;
    for (UINT i = 0; i < count; i++) {
        lp->palPalEntry[i].peRed = table[i].rgbRed;
        lp->palPalEntry[i].peGreen = table[i].rgbGreen;
        lp->palPalEntry[i].peBlue = table[i].rgbBlue;
        lp->palPalEntry[i].peFlags = 0;
    }
    HPALETTE palette = CreatePalette(lp);
    HeapFree(GetProcessHeap(), 0, lp);
    return palette;
}

static void On_SplashCreate(HWND hwnd, SPLASH_BLOCK *block)
{
    SetLastError(0);
    if (SetWindowLongPtrA(hwnd, GWLP_USERDATA, (LONG_PTR)block) == 0 && GetLastError() != 0) {
        printf("SetWindowLong failed for actual window of splash screen. Error %d\n", (int)GetLastError());
        return;
    }
    GetObjectA(block->bitmap, sizeof block->desc, &block->desc);
    SetWindowPos(hwnd, NULL, 0, 0, block->desc.bmWidth, block->desc.bmHeight, SWP_NOMOVE | SWP_NOZORDER);
    Centre_Window(hwnd);
    SetTimer(hwnd, SPLASH_TIMER, block->displayMs, NULL);
}

static void On_SplashPaint(HWND hwnd, SPLASH_BLOCK *block)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    HDC mem = CreateCompatibleDC(hdc);
    if (mem != NULL) {
        HGDIOBJ oldBitmap = SelectObject(mem, block->bitmap);
        if (!block->paletteMade) {
            /* only a display of 256 colours or fewer needs the picture's own palette */
            if (GetDeviceCaps(hdc, NUMCOLORS) != -1) block->palette = Create_ColourTablePalette(mem);
            block->paletteMade = 1;
        }
        HPALETTE oldPal = NULL, oldMemPal = NULL;
        if (block->palette != NULL) {
            oldPal = SelectPalette(hdc, block->palette, FALSE);
            RealizePalette(hdc);
            oldMemPal = SelectPalette(mem, block->palette, FALSE);
            RealizePalette(mem);
        }
        BitBlt(hdc, 0, 0, block->desc.bmWidth, block->desc.bmHeight, mem, 0, 0, SRCCOPY);
        if (oldPal != NULL) SelectPalette(hdc, oldPal, FALSE);
        if (oldMemPal != NULL) SelectPalette(mem, oldMemPal, FALSE);
        SelectObject(mem, oldBitmap);
        DeleteDC(mem);
    }
    EndPaint(hwnd, &ps);
}

static LRESULT Realize_SplashPalette(HWND hwnd, SPLASH_BLOCK *block, BOOL background)
{
    if (block == NULL || block->palette == NULL) return 0;
    HDC hdc = GetDC(hwnd);
    HPALETTE old = SelectPalette(hdc, block->palette, background);
    UINT changed = RealizePalette(hdc);
    SelectPalette(hdc, old, TRUE);
    ReleaseDC(hwnd, hdc);
    if (changed != 0 && changed != GDI_ERROR) InvalidateRect(hwnd, NULL, TRUE);
    return changed == GDI_ERROR ? 0 : (LRESULT)changed;
}

static LRESULT CALLBACK Splash_Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    SPLASH_BLOCK *block = (SPLASH_BLOCK *)GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    switch (msg) {
    case WM_CREATE:
        On_SplashCreate(hwnd, (SPLASH_BLOCK *)((CREATESTRUCTA *)lParam)->lpCreateParams);
        return 0;
    case WM_PAINT:
        if (block == NULL) break;
        On_SplashPaint(hwnd, block);
        return 0;
    case WM_TIMER:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        DestroyWindow(hwnd);
        return 0;
    case WM_QUERYNEWPALETTE:
        return Realize_SplashPalette(hwnd, block, FALSE);
    case WM_PALETTECHANGED:
        if ((HWND)wParam == hwnd) return 0;
        return Realize_SplashPalette(hwnd, block, TRUE);
    case WM_DESTROY:
        if (block != NULL && block->palette != NULL) {
            DeleteObject(block->palette);
            block->palette = NULL;
        }
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        if (s_SplashWindow == hwnd) s_SplashWindow = NULL;
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

/* The splash thread owns its block: it frees it when its window is gone, also when the window
   could not be made at all. */
static DWORD WINAPI Splash_Thread(LPVOID param)
{
    SPLASH_BLOCK *block = (SPLASH_BLOCK *)param;
    HWND hwnd = CreateWindowExA(0, SPLASH_CLASS, block->title, WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                                block->instance, block);
    if (hwnd == NULL) {
        Trace("Splash_Thread: no window (%lu)\n", (unsigned long)GetLastError());
    } else {
        InterlockedExchangePointer((PVOID volatile *)&s_SplashWindow, hwnd);
        /* Close_Splash may have asked before the window was known to it */
        if (InterlockedCompareExchange(&s_CloseAsked, 0, 0)) PostMessageA(hwnd, WM_CLOSE, 0, 0);
        ShowWindow(hwnd, SW_SHOWNORMAL);
        UpdateWindow(hwnd);
        MSG m;
        while (GetMessageA(&m, NULL, 0, 0) > 0) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
    }
    HeapFree(GetProcessHeap(), 0, block);
    return 0;
}

void Close_Splash(void)
{
    if (s_SplashThread == NULL) return;
    Trace("Close_Splash()\n");
    InterlockedExchange(&s_CloseAsked, 1);
    HWND w = (HWND)InterlockedCompareExchangePointer((PVOID volatile *)&s_SplashWindow, NULL, NULL);
    if (w != NULL) PostMessageA(w, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(s_SplashThread, 10000) != WAIT_OBJECT_0) Trace("Close_Splash: the splash thread did not end\n");
    CloseHandle(s_SplashThread);
    s_SplashThread = NULL;
    InterlockedExchange(&s_CloseAsked, 0);
}

BOOL Start_Splash(HINSTANCE instance, HBITMAP bitmap, HICON icon, const char *title, DWORD displayMs,
                  BOOL doubleClicks)
{
    Trace("Start_Splash: %lu ms\n", (unsigned long)displayMs);
    if (instance == NULL || bitmap == NULL) return FALSE;
    Close_Splash();                             /* one splash at a time */
    SPLASH_BLOCK *block = (SPLASH_BLOCK *)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(SPLASH_BLOCK));
    if (block == NULL) return FALSE;
    block->instance = instance;
    block->bitmap = bitmap;
    Copy_Field(block->title, title);
    block->displayMs = (displayMs == 0) ? SPLASH_DEFAULT_MS : displayMs;
    block->icon = icon;

    if (!s_ClassRegistered) {
        WNDCLASSA wc;
        memset(&wc, 0, sizeof wc);
        wc.style = CS_HREDRAW | CS_VREDRAW | (doubleClicks ? CS_DBLCLKS : 0);
        wc.lpfnWndProc = Splash_Proc;
        wc.hInstance = instance;
        wc.hIcon = icon;
        wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        wc.lpszClassName = SPLASH_CLASS;
        if (!RegisterClassA(&wc)) {
            Trace("Start_Splash: could not register the window class (%lu)\n", (unsigned long)GetLastError());
            HeapFree(GetProcessHeap(), 0, block);
            return FALSE;
        }
        s_ClassRegistered = TRUE;
    }
    DWORD id;
    HANDLE thread = CreateThread(NULL, 0, Splash_Thread, block, 0, &id);
    if (thread == NULL) {
        Trace("Start_Splash: could not start the thread (%lu)\n", (unsigned long)GetLastError());
        HeapFree(GetProcessHeap(), 0, block);
        return FALSE;
    }
    /* kept, so that the shut-down can wait for the thread before it frees the bitmap */
    s_SplashThread = thread;
    return TRUE;
}
