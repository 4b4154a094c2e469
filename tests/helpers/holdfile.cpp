/* Holds files open the way another program (the spooler reading its configuration) would.
   usage: holdfile SHARE MILLISECONDS EVENT PATH...
     SHARE: any of r w d (FILE_SHARE_READ / _WRITE / _DELETE), or - for none
     EVENT: name of an event the caller made; set once every file is open
   Exit 0 after holding the files for the given time, 2 when one could not be opened. */
#include <windows.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char **argv)
{
    if (argc < 5) return 3;
    DWORD share = 0;
    if (strchr(argv[1], 'r')) share |= FILE_SHARE_READ;
    if (strchr(argv[1], 'w')) share |= FILE_SHARE_WRITE;
    if (strchr(argv[1], 'd')) share |= FILE_SHARE_DELETE;
    HANDLE files[64];
    int held = 0, failed = 0;
    for (int i = 4; i < argc && held < 64; i++) {
        HANDLE f = CreateFileA(argv[i], GENERIC_READ, share, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (f == INVALID_HANDLE_VALUE) failed = 1;
        else files[held++] = f;
    }
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]);
    if (ready != NULL) SetEvent(ready);
    Sleep((DWORD)atoi(argv[2]));
    for (int i = 0; i < held; i++) CloseHandle(files[i]);
    return failed ? 2 : 0;
}
