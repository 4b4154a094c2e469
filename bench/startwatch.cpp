/* Times the start of a dialog program: from creating its process to its dialog shown and
   painted, then closes the dialog with its Cancel button and waits for the program to end.
   usage: startwatch [--move LIST BUTTON] CLASS PROGRAM [ARGUMENTS]
     CLASS    the window class of the dialog to wait for ("#32770" for a plain dialog)
     --move   once the dialog is painted, also time a command on a list: the first item of the
              list view with id LIST is selected, the button with id BUTTON pressed, and the
              time taken until the command has run and the dialog is painted again is printed
   Prints the milliseconds (with --move, the start's and the command's on one line); exit code 0,
   or 1 when no such dialog appeared or the program did not end after Cancel (it is then ended). */
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
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

/* Painted: nothing waits to be painted, and the program has come back to its message loop (a
   sent message is taken only there, so a paint under way has ended), and still nothing waits. */
static BOOL Painted(HWND dlg)
{
    DWORD_PTR r;
    return All_Painted(dlg) && SendMessageTimeoutA(dlg, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &r) && All_Painted(dlg);
}

static double Ms_Since(const LARGE_INTEGER *t0)
{
    LARGE_INTEGER freq, now;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&now);
    return (double)(now.QuadPart - t0->QuadPart) * 1000.0 / (double)freq.QuadPart;
}

/* Selects the first item of another process's list view (the item is written into its memory),
   presses the button and waits until the dialog is painted again; the milliseconds, or -1. */
static double Time_Command(HANDLE process, HWND dlg, int listId, int buttonId)
{
    HWND list = GetDlgItem(dlg, listId), button = GetDlgItem(dlg, buttonId);
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    void *remote = VirtualAllocEx(process, NULL, sizeof item, MEM_COMMIT, PAGE_READWRITE);
    if (list == NULL || button == NULL || remote == NULL || !WriteProcessMemory(process, remote, &item, sizeof item, NULL))
        return -1;
    SendMessageA(list, LVM_SETITEMSTATE, 0, (LPARAM)remote);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    for (int i = 0; i < 5000 && !Painted(dlg); i++) Sleep(1);
    if (!IsWindowEnabled(button)) return -1;
    LARGE_INTEGER t0;
    QueryPerformanceCounter(&t0);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), (LPARAM)button);
    for (int i = 0; i < 5000 && !Painted(dlg); i++) Sleep(1);
    return Ms_Since(&t0);
}

int main(int argc, char **argv)
{
    int listId = 0, buttonId = 0, first = 1;
    if (argc > 3 && strcmp(argv[1], "--move") == 0) {
        listId = atoi(argv[2]);
        buttonId = atoi(argv[3]);
        first = 4;
    }
    if (argc < first + 2) {
        fprintf(stderr, "usage: startwatch [--move LIST BUTTON] CLASS PROGRAM [ARGUMENTS]\n");
        return 2;
    }
    const char *cls = argv[first];
    char cmd[2048] = "";
    for (int i = first + 1; i < argc; i++) {
        if (strlen(cmd) + strlen(argv[i]) + 4 >= sizeof cmd) return 2;
        strcat(cmd, i > first + 1 ? " \"" : "\"");
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
    FIND f = { pi.dwProcessId, cls, NULL };
    DWORD waited = 0;
    for (;;) {
        if (f.found == NULL) EnumWindows(Find_Dialog, (LPARAM)&f);
        if (f.found != NULL && Painted(f.found)) break;
        if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0 || ++waited > 30000) {
            fprintf(stderr, "startwatch: no painted dialog of class %s\n", cls);
            TerminateProcess(pi.hProcess, 1);
            return 1;
        }
    }
    QueryPerformanceCounter(&t1);
    double command = (listId != 0) ? Time_Command(pi.hProcess, f.found, listId, buttonId) : 0;
    PostMessageA(f.found, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), (LPARAM)GetDlgItem(f.found, IDCANCEL));
    BOOL ended = WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    double start = (double)(t1.QuadPart - t0.QuadPart) * 1000.0 / (double)freq.QuadPart;
    if (listId != 0) printf("%.2f %.2f\n", start, command);
    else printf("%.2f\n", start);
    return ended && command >= 0 ? 0 : 1;
}
