/* Stands in for a program the editor starts (a text editor, a configuration utility): records how
   it was started, then stays running as such a program would.
   usage: argrecord FILE [MILLISECONDS]   (default 20000)
   Writes FILE.seen, three lines: its process id, its whole command line, and FILE as it arrived;
   then waits and exits with code 5. The record appears in one step (written aside, then moved). */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char **argv)
{
    if (argc < 2) return 2;
    char seen[MAX_PATH * 2], tmp[MAX_PATH * 2 + 8];
    snprintf(seen, sizeof seen, "%s.seen", argv[1]);
    snprintf(tmp, sizeof tmp, "%s.part", seen);
    FILE *f = fopen(tmp, "wb");
    if (f == NULL) return 3;
    fprintf(f, "%lu\n%s\n%s\n", (unsigned long)GetCurrentProcessId(), GetCommandLineA(), argv[1]);
    if (fclose(f) != 0) return 3;
    if (!MoveFileExA(tmp, seen, MOVEFILE_REPLACE_EXISTING)) return 4;
    Sleep(argc > 2 ? (DWORD)atoi(argv[2]) : 20000);
    return 5;
}
