/* The other floor of the benchmark: a program that shows an empty dialog with one button
   (Cancel) and ends when it is pressed. Built with the editor's manifest, as a dialog program of
   its kind is. usage: emptydlg */
#include <windows.h>

static INT_PTR CALLBACK Empty_Dlg(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_INITDIALOG) return TRUE;
    if (msg == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(dlg, 0);
        return TRUE;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return (int)DialogBoxParamA(instance, MAKEINTRESOURCEA(100), NULL, Empty_Dlg, 0) == -1 ? 1 : 0;
}
