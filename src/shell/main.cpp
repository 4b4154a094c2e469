#include "shell/app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int)
{
    return Editor_Main(instance, cmdLine);
}
