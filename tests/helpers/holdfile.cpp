/* Holds a file open the way another program (the spooler reading its configuration) would.
   usage: holdfile PATH SHARE MILLISECONDS EVENT
     SHARE: any of r w d (FILE_SHARE_READ / _WRITE / _DELETE), or - for none
     EVENT: name of an event the caller made; set once the file is open
   Exit 0 after holding the file for the given time, 2 when it could not be opened. */
#include <windows.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char **argv)
{
    if (argc < 5) return 3;
    DWORD share = 0;
    if (strchr(argv[2], 'r')) share |= FILE_SHARE_READ;
    if (strchr(argv[2], 'w')) share |= FILE_SHARE_WRITE;
    if (strchr(argv[2], 'd')) share |= FILE_SHARE_DELETE;
    HANDLE f = CreateFileA(argv[1], GENERIC_READ, share, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[4]);
    if (ready != NULL) SetEvent(ready);
    if (f == INVALID_HANDLE_VALUE) return 2;
    Sleep((DWORD)atoi(argv[3]));
    CloseHandle(f);
    return 0;
}
