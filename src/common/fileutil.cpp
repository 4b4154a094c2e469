#include "common/fileutil.h"
#include "common/trace.h"
#include <stdlib.h>
#include <string.h>

static char  s_HomeDir[PATH_LEN];
static char  s_LastFound[PATH_LEN];
static DWORD s_ReplaceRetryMs = REPLACE_RETRY_MS;
static BOOL  s_FailedAtReplace;

void Set_ReplaceRetryTime(DWORD ms) { s_ReplaceRetryMs = ms; }

/* Copies path into buf without its quotes when it has any. */
static const char *Unquoted(const char *path, char *buf, size_t cap)
{
    if (path == NULL) return "";
    if (strchr(path, '"') == NULL) return path;
    Copy_Text(buf, cap, path);
    Strip_Quotes(buf);
    return buf;
}

void Strip_Quotes(char *path)
{
    if (path == NULL || strchr(path, '"') == NULL) return;
    char *start = path;
    while (*start == '"') start++;
    size_t n = strcspn(start, "\"");
    memmove(path, start, n);
    path[n] = '\0';
}

BOOL File_Exists(const char *path)
{
    char buf[PATH_LEN];
    DWORD a = GetFileAttributesA(Unquoted(path, buf, sizeof buf));
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL Dir_Exists(const char *path)
{
    char buf[PATH_LEN];
    DWORD a = GetFileAttributesA(Unquoted(path, buf, sizeof buf));
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL Is_AbsDrivePath(const char *path)
{
    return path != NULL && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
           path[1] == ':' && path[2] == '\\';
}

BOOL Parent_Folder(char *path)
{
    char *slash = strrchr(path, '\\');
    if (slash == NULL) return FALSE;
    *slash = '\0';
    return TRUE;
}

BOOL Deepest_ExistingFolder(const char *path, char *out, size_t cap)
{
    Copy_Text(out, cap, path);
    DWORD a;
    while ((a = GetFileAttributesA(out)) == INVALID_FILE_ATTRIBUTES) {
        if (!Parent_Folder(out)) return FALSE;
    }
    size_t len = strlen(out);
    if ((len >= 1 && len <= 3) || (a & FILE_ATTRIBUTE_DIRECTORY)) return TRUE;
    Parent_Folder(out);                     /* a file: its folder */
    return TRUE;
}

BOOL Create_DirectoryPath(const char *path, DWORD *err)
{
    char full[PATH_LEN], part[PATH_LEN];
    Copy_Field(full, path);
    Strip_Quotes(full);
    if (!Deepest_ExistingFolder(full, part, sizeof part)) {
        if (err != NULL) *err = 1018;
        return FALSE;
    }
    size_t len = strlen(full), pos = strlen(part);
    while (pos < len) {
        while (full[pos] == '\\') pos++;
        if (pos >= len) break;
        size_t end = pos + strcspn(full + pos, "\\");
        Copy_TextN(part, sizeof part, full, end);
        if (!CreateDirectoryA(part, NULL)) {
            DWORD e = GetLastError();
            if (!(e == ERROR_ALREADY_EXISTS && Dir_Exists(part))) {
                if (err != NULL) *err = e;
                return FALSE;
            }
        }
        pos = end;
    }
    return TRUE;
}

BOOL Get_ProgramFolder(char *buf, size_t cap)
{
    char raw[MAX_PATH + 1], out[PATH_LEN] = "";
    DWORD n = GetModuleFileNameA(NULL, raw, sizeof raw);
    if (n == 0 || n >= sizeof raw) return FALSE;
    /* Expand each component to its long name; the first that cannot be found ends the
       expansion and the rest stays as it was. */
    const char *p = raw;
    size_t rootLen = (raw[0] != '\0' && raw[1] == ':') ? 2 : 0;
    Copy_TextN(out, sizeof out, raw, rootLen);
    p = raw + rootLen;
    BOOL expanding = TRUE;
    while (*p != '\0') {
        if (*p == '\\') { Append_Field(out, "\\"); p++; continue; }
        size_t clen = strcspn(p, "\\");
        char comp[PATH_LEN];
        Copy_TextN(comp, sizeof comp, p, clen);
        if (expanding) {
            char probe[PATH_LEN];
            Copy_Field(probe, out);
            Append_Field(probe, comp);
            WIN32_FIND_DATAA fd;
            HANDLE h = FindFirstFileA(probe, &fd);
            if (h != INVALID_HANDLE_VALUE) {
                Copy_Field(comp, fd.cFileName);
                FindClose(h);
            } else {
                expanding = FALSE;
            }
        }
        Append_Field(out, comp);
        p += clen;
    }
    if (!Parent_Folder(out)) return FALSE;
    return Copy_Text(buf, cap, out);
}

const char *Get_HomeDirectory(void)
{
    if (!Get_ProgramFolder(s_HomeDir, sizeof s_HomeDir)) {
        s_HomeDir[0] = '\0';
        return NULL;
    }
    const char *last = strrchr(s_HomeDir, '\\');
    if (last == NULL || Compare_NoCase(last + 1, "System") != 0) {
        s_HomeDir[0] = '\0';
        return NULL;
    }
    Parent_Folder(s_HomeDir);
    return s_HomeDir;
}

BOOL Find_FileUnderFolder(const char *folder, const char *name)
{
    if (folder == NULL || name == NULL || folder[0] == '\0' || name[0] == '\0') return FALSE;
    char dir[PATH_LEN + 1];
    if (!Copy_Field(dir, folder)) return FALSE;
    size_t len = strlen(dir);
    if (dir[len - 1] != '\\') Append_Field(dir, "\\");
    if (strlen(dir) + strlen(name) > 260) return FALSE;
    char probe[PATH_LEN];
    Copy_Field(probe, dir);
    Append_Field(probe, name);
    if (GetFileAttributesA(probe) != INVALID_FILE_ATTRIBUTES) {
        Copy_Field(s_LastFound, probe);
        return TRUE;
    }
    char pattern[PATH_LEN + 2];
    Copy_Field(pattern, dir);
    Append_Field(pattern, "*");
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(pattern, &fd);
    if (h == INVALID_HANDLE_VALUE) return FALSE;
    BOOL found = FALSE;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (strcmp(fd.cFileName, ".") == 0 || strcmp(fd.cFileName, "..") == 0) continue;
        char sub[PATH_LEN];
        Copy_Field(sub, dir);
        if (!Append_Field(sub, fd.cFileName)) continue;
        found = Find_FileUnderFolder(sub, name);
    } while (!found && FindNextFileA(h, &fd));
    FindClose(h);
    return found;
}

const char *Last_FoundPath(void) { return s_LastFound; }

/* The reason goes to the caller only when its buffer holds the whole text. */
static void Set_Error(char *err, size_t errCap, const char *text)
{
    if (err != NULL && errCap > strlen(text)) Copy_Text(err, errCap, text);
}

int Get_ConfigString(const char *key, char *out, size_t outCap, FILE *f, char *err, size_t errCap)
{
    if (key == NULL || key[0] == '\0') {
        Set_Error(err, errCap, "The token has not been specified for the file search.  Nothing to search for.");
        return -1;
    }
    if (out == NULL || outCap == 0) {
        Set_Error(err, errCap, "An output buffer has not been provided for the file search.  Cannot start search.");
        return -1;
    }
    char text[512];
    if (f == NULL) {
        Format_Text(text, sizeof text, "File pointer was not set.  Cannot search for config string \"%s\"", key);
        Set_Error(err, errCap, text);
        return -1;
    }
    rewind(f);
    size_t keyLen = strlen(key);
    char line[1024];
    while (fgets(line, sizeof line, f) != NULL) {
        if (strncmp(line, key, keyLen) != 0) continue;
        line[strcspn(line, "\r\n")] = '\0';
        const char *v = line + keyLen;
        if (*v != '\0') v++;                       /* the value starts one character after the key */
        v += strspn(v, " \t=");
        Copy_Text(out, outCap, v);
        return (int)strlen(out);
    }
    if (ferror(f)) Format_Text(text, sizeof text, "Error occured getting the string \"%s\" from the file.", key);
    else Format_Text(text, sizeof text, "Could not find the token \"%s\" in the file.", key);
    Set_Error(err, errCap, text);
    return -1;
}

BOOL Replace_All(const char *src, char *dst, size_t dstCap, const char *find, const char *repl)
{
    if (dst == NULL || dstCap == 0) return FALSE;
    dst[0] = '\0';
    if (src == NULL) return TRUE;
    size_t findLen = (find != NULL) ? strlen(find) : 0;
    if (findLen == 0) return Copy_Text(dst, dstCap, src);
    BOOL whole = TRUE;
    const char *p = src;
    for (;;) {
        const char *hit = strstr(p, find);
        if (hit == NULL) break;
        size_t used = strlen(dst);
        whole &= Copy_TextN(dst + used, dstCap - used, p, (size_t)(hit - p));
        whole &= Append_Text(dst, dstCap, repl);
        p = hit + findLen;
    }
    whole &= Append_Text(dst, dstCap, p);
    return whole;
}

BOOL Home_Path(char *out, size_t cap, const char *home, const char *name)
{
    /* Without a home, or cut short, the path would name another file (the root of the current
       drive, "Applications.c"): there is no path then, and the caller cannot open anything. */
    if (home == NULL || home[0] == '\0' || !Format_Text(out, cap, "%s\\%s", home, name)) {
        Trace("Home_Path: no path for \"%s\" under the home directory \"%s\" (%u characters at most)\n", name,
              home ? home : "(none)", (unsigned)(cap ? cap - 1 : 0));
        if (cap > 0) out[0] = '\0';
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    return TRUE;
}

BOOL Backup_Name(const char *path, char *out, size_t cap)
{
    if (!Copy_Text(out, cap, path)) return FALSE;
    char *dot = strrchr(out, '.');
    if (dot == NULL || strchr(dot, '\\') != NULL) return Append_Text(out, cap, ".old");
    *dot = '\0';
    return Append_Text(out, cap, ".old");
}

static BOOL Is_HeldError(DWORD e)
{
    return e == ERROR_ACCESS_DENIED || e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION;
}

BOOL Write_FailedAtReplace(void) { return s_FailedAtReplace; }

BOOL Open_FileWriter(FILE_WRITER *w, const char *path, BOOL text)
{
    s_FailedAtReplace = FALSE;
    w->handle = INVALID_HANDLE_VALUE;
    w->text = text;
    w->failed = FALSE;
    w->error = 0;
    w->used = 0;
    w->tmp[0] = '\0';
    /* A file made read-only is not replaced: Windows refuses to, and so does the editor where the
       platform would let it (Wine, for the superuser). */
    DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        s_FailedAtReplace = TRUE;
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    if (!Copy_Field(w->path, path)) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    char dir[PATH_LEN];
    Copy_Field(dir, path);
    if (!Parent_Folder(dir)) Copy_Field(dir, ".");
    else if (dir[0] == '\0') Copy_Field(dir, "\\");
    if (GetTempFileNameA(dir, "~ed", 0, w->tmp) == 0) return FALSE;
    w->handle = CreateFileA(w->tmp, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (w->handle == INVALID_HANDLE_VALUE) {
        DWORD e = GetLastError();
        DeleteFileA(w->tmp);
        SetLastError(e);
        return FALSE;
    }
    return TRUE;
}

/* Writes what the buffer holds; FALSE (failed, error set) when the file takes less. */
static BOOL Flush_Buffer(FILE_WRITER *w)
{
    if (w->failed) return FALSE;
    if (w->used == 0) return TRUE;
    DWORD done = 0;
    if (!WriteFile(w->handle, w->buf, (DWORD)w->used, &done, NULL)) w->error = GetLastError();
    else if (done != w->used) w->error = ERROR_DISK_FULL;
    w->failed = (w->error != 0);
    w->used = 0;
    return !w->failed;
}

BOOL Write_Piece(FILE_WRITER *w, const char *data, size_t len)
{
    if (w->failed) return FALSE;
    for (size_t i = 0; i < len;) {
        if (w->used + 2 > sizeof w->buf && !Flush_Buffer(w)) return FALSE;
        if (!w->text) {
            size_t n = sizeof w->buf - w->used;
            if (n > len - i) n = len - i;
            memcpy(w->buf + w->used, data + i, n);
            w->used += n;
            i += n;
            continue;
        }
        if (data[i] == '\n') w->buf[w->used++] = '\r';
        w->buf[w->used++] = data[i++];
    }
    return TRUE;
}

BOOL Close_FileWriter(FILE_WRITER *w, BOOL keep)
{
    s_FailedAtReplace = FALSE;
    BOOL ok = keep && Flush_Buffer(w);
    DWORD e = w->error;
    if (ok && !FlushFileBuffers(w->handle)) {
        ok = FALSE;
        e = GetLastError();
    }
    if (!CloseHandle(w->handle) && ok) {
        ok = FALSE;
        e = GetLastError();
    }
    w->handle = INVALID_HANDLE_VALUE;
    if (ok) {
        DWORD start = GetTickCount();
        for (;;) {
            if (MoveFileExA(w->tmp, w->path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) break;
            e = GetLastError();
            if (!Is_HeldError(e) || GetTickCount() - start >= s_ReplaceRetryMs) {
                ok = FALSE;
                s_FailedAtReplace = TRUE;
                break;
            }
            Sleep(50);
        }
    }
    if (!ok) {
        DeleteFileA(w->tmp);
        SetLastError(keep ? e : ERROR_CANCELLED);
    }
    return ok;
}

BOOL Write_WholeFile(const char *path, const char *data, size_t len, BOOL text)
{
    /* the writer's buffer is too large for the stack of every caller */
    FILE_WRITER *w = (FILE_WRITER *)malloc(sizeof(FILE_WRITER));
    if (w == NULL) {
        s_FailedAtReplace = FALSE;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    BOOL ok = Open_FileWriter(w, path, text);
    if (ok) {
        Write_Piece(w, data, len);
        ok = Close_FileWriter(w, TRUE);
    }
    DWORD e = GetLastError();
    free(w);
    SetLastError(e);
    return ok;
}

HANDLE Open_ForReading(const char *path)
{
    /* A program that holds the file without sharing it usually lets go within a moment. */
    DWORD start = GetTickCount();
    for (;;) {
        HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, NULL);
        if (h != INVALID_HANDLE_VALUE) return h;
        DWORD e = GetLastError();
        if (!Is_HeldError(e) || GetTickCount() - start >= s_ReplaceRetryMs) return INVALID_HANDLE_VALUE;
        Sleep(50);
    }
}

char *Read_WholeFile(const char *path, size_t *len)
{
    HANDLE h = Open_ForReading(path);
    if (h == INVALID_HANDLE_VALUE) return NULL;
    LARGE_INTEGER size;
    char *buf = NULL;
    DWORD e = 0;
    if (!GetFileSizeEx(h, &size)) e = GetLastError();
    else if (size.QuadPart >= (64LL << 20)) e = ERROR_FILE_TOO_LARGE;
    else if ((buf = (char *)malloc((size_t)size.QuadPart + 1)) == NULL) e = ERROR_NOT_ENOUGH_MEMORY;
    if (buf != NULL) {
        DWORD got = 0;
        if (!ReadFile(h, buf, (DWORD)size.QuadPart, &got, NULL)) e = GetLastError();
        else if (got != (DWORD)size.QuadPart) e = ERROR_READ_FAULT;     /* it changed while read */
        if (e == 0) {
            buf[got] = '\0';
            if (len != NULL) *len = got;
        } else {
            free(buf);
            buf = NULL;
        }
    }
    CloseHandle(h);
    if (buf == NULL) SetLastError(e);
    return buf;
}

BOOL Keep_OldCopy(const char *path)
{
    char old[PATH_LEN];
    if (!Backup_Name(path, old, sizeof old)) return FALSE;
    /* With no file to back up, an earlier backup stays as it is: it may be the only copy of
       the configuration left. */
    if (!File_Exists(path)) return TRUE;
    /* copied in pieces, through the writer: the backup is complete or not made */
    HANDLE in = Open_ForReading(path);
    if (in == INVALID_HANDLE_VALUE) return FALSE;
    FILE_WRITER *w = (FILE_WRITER *)malloc(sizeof(FILE_WRITER));
    BOOL ok = w != NULL && Open_FileWriter(w, old, FALSE);
    DWORD e = (w == NULL) ? (DWORD)ERROR_NOT_ENOUGH_MEMORY : GetLastError();
    if (ok) {
        BOOL readOk = TRUE;
        char piece[16384];
        for (;;) {
            DWORD got = 0;
            if (!ReadFile(in, piece, sizeof piece, &got, NULL)) {
                readOk = FALSE;
                e = GetLastError();
                break;
            }
            if (got == 0 || !Write_Piece(w, piece, got)) break;
        }
        ok = Close_FileWriter(w, readOk);
        if (readOk) e = ok ? 0 : GetLastError();
    }
    free(w);
    CloseHandle(in);
    SetLastError(e);
    return ok;
}
