/* The floor of the benchmark: a windowed program that does only the file input and output of
   Editor.exe -update on an installation, and nothing else. First the two backups (the queues and
   applications files copied to their ".old" names), then each file the update writes: read whole,
   written to a temporary file beside it, flushed, and moved over it in one step.
   usage: copyfloor HOME      exit code 0, or 1 when a file could not be copied */
#include <windows.h>
#include <stdlib.h>
#include <string.h>

static char *Read_Whole(const char *path, DWORD *len)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) return NULL;
    DWORD size = GetFileSize(h, NULL);
    char *data = (size != INVALID_FILE_SIZE) ? (char *)malloc(size + 1) : NULL;
    if (data != NULL && (!ReadFile(h, data, size, len, NULL) || *len != size)) {
        free(data);
        data = NULL;
    }
    CloseHandle(h);
    return data;
}

/* Writes data to a temporary file in dst's folder, flushes it and moves it over dst. */
static BOOL Replace_With(const char *dst, const char *data, DWORD len)
{
    char dir[MAX_PATH], tmp[MAX_PATH];
    lstrcpynA(dir, dst, sizeof dir);
    char *slash = strrchr(dir, '\\');
    if (slash == NULL) return FALSE;
    *slash = '\0';
    if (GetTempFileNameA(dir, "~ed", 0, tmp) == 0) return FALSE;
    HANDLE h = CreateFileA(tmp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD done = 0;
    BOOL ok = h != INVALID_HANDLE_VALUE && WriteFile(h, data, len, &done, NULL) && done == len && FlushFileBuffers(h);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    ok = ok && MoveFileExA(tmp, dst, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileA(tmp);
    return ok;
}

/* Copies home\from to home\to (the same name: the file is rewritten in place). */
static BOOL Copy_File(const char *home, const char *from, const char *to)
{
    char src[MAX_PATH], dst[MAX_PATH];
    wsprintfA(src, "%s\\%s", home, from);
    wsprintfA(dst, "%s\\%s", home, to);
    DWORD len = 0;
    char *data = Read_Whole(src, &len);
    BOOL ok = data != NULL && Replace_With(dst, data, len);
    free(data);
    return ok;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR cmdLine, int)
{
    const char *home = cmdLine;
    if (home[0] == '\0' || lstrlenA(home) > MAX_PATH - 40) return 1;
    static const char *const k_Backups[][2] = { { "Queues.cfg", "Queues.old" }, { "Applications.cfg", "Applications.old" } };
    static const char *const k_Files[] = { "queue\\engine.q", "Queues.cfg", "LBPrefs.cfg", "Applications.cfg",
                                           "Preferences.cfg" };
    BOOL ok = TRUE;
    for (const auto &b : k_Backups) ok &= Copy_File(home, b[0], b[1]);
    for (const char *f : k_Files) ok &= Copy_File(home, f, f);
    return ok ? 0 : 1;
}
