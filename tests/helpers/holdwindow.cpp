/* Holds a top-level window of a given class open, as a running editor or spooler would.
   usage: holdwindow CLASS [TITLE] [MILLISECONDS]   (default 60000; ends early on WM_CLOSE) */
#include <windows.h>
#include <stdlib.h>

static LRESULT CALLBACK Hold_Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DESTROY) { PostQuitMessage(0); return 0; }
    if (msg == WM_TIMER) { DestroyWindow(hwnd); return 0; }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

int main(int argc, char **argv)
{
    if (argc < 2) return 2;
    const char *title = argc > 2 ? argv[2] : "Holding";
    UINT ms = argc > 3 ? (UINT)atoi(argv[3]) : 60000;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Hold_Proc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = argv[1];
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    if (!RegisterClassA(&wc)) return 3;
    HWND hwnd = CreateWindowA(argv[1], title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, NULL, NULL,
                              wc.hInstance, NULL);
    if (hwnd == NULL) return 4;
    SetTimer(hwnd, 1, ms, NULL);
    MSG m;
    while (GetMessageA(&m, NULL, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
