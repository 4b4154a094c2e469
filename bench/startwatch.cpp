/* Times the start of a dialog program: from creating its process to its dialog shown and
   painted, then closes the dialog with its Cancel button and waits for the program to end.
   usage: startwatch CLASS PROGRAM [ARGUMENTS]
     CLASS    the window class of the dialog to wait for ("#32770" for a plain dialog)
   Prints the milliseconds; exit code 0, or 1 when no such dialog appeared or the program did
   not end after Cancel (it is then ended). */
#include <windows.h>
#include <stdio.h>
#include <string.h>

typedef struct {
    DWORD pid;
    const char *cls;
    HWND found;
} FIND;

static BOOL CALLBACK Find_Dialog(HWND hwnd, LPARAM param)
{
    FIND *f = (FIND *)param;
    DWORD pid = 0;
    char cls[256];
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != f->pid || !IsWindowVisible(hwnd) || !GetClassNameA(hwnd, cls, sizeof cls) || strcmp(cls, f->cls) != 0)
        return TRUE;
    f->found = hwnd;
    return FALSE;
}

static BOOL CALLBACK Note_Unpainted(HWND hwnd, LPARAM param)
{
    if (IsWindowVisible(hwnd) && GetUpdateRect(hwnd, NULL, FALSE)) *(BOOL *)param = TRUE;
    return TRUE;
}

/* TRUE when neither the dialog nor any of its controls waits to be painted. */
static BOOL All_Painted(HWND dlg)
{
    BOOL unpainted = GetUpdateRect(dlg, NULL, FALSE);
    EnumChildWindows(dlg, Note_Unpainted, (LPARAM)&unpainted);
    return !unpainted;
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: startwatch CLASS PROGRAM [ARGUMENTS]\n");
        return 2;
    }
    char cmd[2048] = "";
    for (int i = 2; i < argc; i++) {
        if (strlen(cmd) + strlen(argv[i]) + 4 >= sizeof cmd) return 2;
        strcat(cmd, i > 2 ? " \"" : "\"");
        strcat(cmd, argv[i]);
        strcat(cmd, "\"");
    }
    LARGE_INTEGER freq, t0, t1;
    QueryPerformanceFrequency(&freq);
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    QueryPerformanceCounter(&t0);
    if (!CreateProcessA(NULL, cmd, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        fprintf(stderr, "startwatch: cannot start %s (%lu)\n", cmd, (unsigned long)GetLastError());
        return 1;
    }
    FIND f = { pi.dwProcessId, argv[1], NULL };
    DWORD waited = 0;
    for (;;) {
        if (f.found == NULL) EnumWindows(Find_Dialog, (LPARAM)&f);
        /* Painted: nothing waits to be painted, and the program has come back to its message
           loop (a sent message is taken only there, so a paint under way has ended), and still
           nothing waits to be painted. */
        DWORD_PTR r;
        if (f.found != NULL && All_Painted(f.found) &&
            SendMessageTimeoutA(f.found, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r) && All_Painted(f.found))
            break;
        if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0 || ++waited > 30000) {
            fprintf(stderr, "startwatch: no painted dialog of class %s\n", argv[1]);
            TerminateProcess(pi.hProcess, 1);
            return 1;
        }
    }
    QueryPerformanceCounter(&t1);
    PostMessageA(f.found, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)GetDlgItem(f.found, IDCANCEL));
    BOOL ended = WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    printf("%.2f\n", (double)(t1.QuadPart - t0.QuadPart) * 1000.0 / (double)freq.QuadPart);
    return ended ? 0 : 1;
}
