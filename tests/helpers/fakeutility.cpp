/* Stands in for a configuration utility that the editor starts on a parameter file: records how
   it was started, runs for a while as the operator working in it would, then ends by itself.
   usage: fakeutility [FILE]
   Environment (inherited from the editor that starts it):
     FAKEUTILITY_RECORD  where to record (default FILE.seen); the record appears in one step
                         (written aside, then moved) and holds two lines: the process id and
                         the whole command line
     FAKEUTILITY_MS      how long it runs, in milliseconds (default 20000)
   Exit code 0; 2 when there is nowhere to record, 3 when the record cannot be written. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char **argv)
{
    char record[MAX_PATH * 2], tmp[MAX_PATH * 2 + 8], ms[32];
    DWORD n = GetEnvironmentVariableA("FAKEUTILITY_RECORD", record, sizeof record);
    if (n == 0 || n >= sizeof record) {
        if (argc < 2) return 2;
        snprintf(record, sizeof record, "%s.seen", argv[1]);
    }
    snprintf(tmp, sizeof tmp, "%s.part", record);
    FILE *f = fopen(tmp, "wb");
    if (f == NULL) return 3;
    fprintf(f, "%lu\n%s\n", (unsigned long)GetCurrentProcessId(), GetCommandLineA());
    if (fclose(f) != 0) return 3;
    if (!MoveFileExA(tmp, record, MOVEFILE_REPLACE_EXISTING)) return 3;
    DWORD wait = 20000;
    n = GetEnvironmentVariableA("FAKEUTILITY_MS", ms, sizeof ms);
    if (n > 0 && n < sizeof ms) wait = (DWORD)atoi(ms);
    Sleep(wait);
    return 0;
}
