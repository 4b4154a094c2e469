/* A stand-in for the print applications of the demo installation (RIPs, imposition, proofing):
   it shows what it was started with and ends. The demo's application paths point at copies of it. */
#include <windows.h>
#include <stdio.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdLine, int)
{
    char text[1200];
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof self);
    snprintf(text, sizeof text, "Demo application\n\n%s\n\nStarted with: %s", self, cmdLine);
    MessageBoxA(NULL, text, "Demo application", MB_OK | MB_ICONINFORMATION);
    return 0;
}
