#include "queueedit/paramfile.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include <shellapi.h>
#include <stdlib.h>
#include <string.h>

#define COMMAND_LEN 1024

char paramTable[PARAM_SLOTS][TEXT_LEN];
int  paramCount;

static char     s_WatchedPath[PATH_LEN];     /* empty: nothing watched */
static FILETIME s_WatchedTime;

void Reset_ParamFile(void)
{
    s_WatchedPath[0] = '\0';
    memset(&s_WatchedTime, 0, sizeof s_WatchedTime);
    memset(paramTable, 0, sizeof paramTable);
    paramCount = 0;
}

/* The file's last-write time; zero when the file cannot be queried (missing), so that its
   appearing counts as a change. */
static FILETIME Last_WriteTime(const char *path)
{
    WIN32_FILE_ATTRIBUTE_DATA fa;
    FILETIME none = { 0, 0 };
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &fa)) return none;
    return fa.ftLastWriteTime;
}

/* Creates path empty unless it exists. */
static BOOL Create_EmptyFile(const char *path)
{
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD e = GetLastError();
        if (e == ERROR_FILE_EXISTS) return TRUE;
        Trace("Could not create %s: %s\n", path, Error_Text(&e));
        SetLastError(e);
        return FALSE;
    }
    CloseHandle(h);
    return TRUE;
}

static void Add_Parameter(const char *text)
{
    if (paramCount == PARAM_SLOTS) {
        Trace("Parameter \"%.40s\" left out: all %d slots are taken.\n", text, PARAM_SLOTS);
        return;
    }
    if (!Copy_Field(paramTable[paramCount], text)) {
        paramTable[paramCount][0] = '\0';
        Trace("Parameter \"%.40s...\" left out: longer than %d characters.\n", text, TEXT_LEN - 1);
        return;
    }
    paramCount++;
}

/* One parameter token: the text behind the last comma first, then the one before, ... */
static void Take_ParameterToken(char *token)
{
    Trace("Got parameters from .cfg file.\n");
    char *comma;
    while ((comma = strrchr(token, ',')) != NULL) {
        Add_Parameter(comma + 1);
        *comma = '\0';
    }
    Add_Parameter(token);
}

/* The next line of the file's text (size bytes, terminated) as a text of its own, ended in place
   where its line feed, or one carriage return before it, stood; NULL at the end. The file is read
   as text: the caller passes the length up to its first zero byte, so a zero byte ends the file
   and what follows it is never read. */
static char *Next_ParamLine(char *text, size_t size, size_t *pos)
{
    TEXT_LINE l;
    if (!Next_TextLine(text, size, pos, &l)) return NULL;
    char *line = text + (l.text - text);
    line[l.len] = '\0';
    return line;
}

BOOL Read_ParamFile(const char *path)
{
    Trace("Reading Command Line Parameter File.\n");
    if (!Copy_Field(s_WatchedPath, path)) {
        s_WatchedPath[0] = '\0';
        Trace("Parameter file path too long.\n");
        return FALSE;
    }
    memset(paramTable, 0, sizeof paramTable);
    paramCount = 0;

    /* The time before the content: a save in between shows as a change at the next Watch. */
    s_WatchedTime = Last_WriteTime(path);
    char *text = Read_WholeFile(path, NULL);
    if (text == NULL) {
        Trace("Could not read %s: %s\n", path, Error_Text(NULL));
        return FALSE;
    }
    size_t pos = 0, size = strlen(text);
    for (char *line; (line = Next_ParamLine(text, size, &pos)) != NULL;) {
        /* a token ends at "::" or at the end of the line; a single ':' is part of it */
        for (char *token = line; token != NULL;) {
            char *sep = strstr(token, "::");
            if (sep != NULL) *sep = '\0';
            if (token[0] == '-') Take_ParameterToken(token);
            token = (sep != NULL) ? sep + 2 : NULL;
        }
    }
    free(text);
    return TRUE;
}

BOOL Watch_ParamFile(void)
{
    if (s_WatchedPath[0] == '\0') return FALSE;
    FILETIME now = Last_WriteTime(s_WatchedPath);
    if (CompareFileTime(&now, &s_WatchedTime) == 0) return FALSE;
    char path[PATH_LEN];
    Copy_Field(path, s_WatchedPath);
    Read_ParamFile(path);
    return TRUE;
}

BOOL Prepare_ParamFile(void)
{
    char path[PATH_LEN];
    if (homeDir == NULL || !Home_Path(path, sizeof path, homeDir, PARAM_FILE)) return FALSE;
    if (File_Exists(path)) return Read_ParamFile(path);
    Message_Box(programTitle, MB_OK | MB_ICONSTOP | MB_EDITOR,
                "There is no parameter file.%sA file will be created, click on 'Edit Command Line Parameter File' to "
                "edit it.%sEnter your required parameters, which must be on a single line, comma (,) separated.%sSave "
                "the file to the default name and location.%s",
                "\r\n", "\r\n", "\r\n", "\r\n");
    if (!Create_EmptyFile(path)) {
        /* The operator has just been told that a file will be created. */
        SysError_Box(programTitle, "Could not create the parameter file \"%s\".", path);
        return FALSE;
    }
    /* Watched from now on, so the parameters the operator saves into it show without reopening
       the page; the table stays as it was until then. */
    Copy_Field(s_WatchedPath, path);
    s_WatchedTime = Last_WriteTime(path);
    return FALSE;
}

BOOL Get_RegistryValue(HKEY root, const char *path, char *out, size_t cap)
{
    if (out == NULL || cap == 0) return FALSE;
    out[0] = '\0';
    char buf[COMMAND_LEN];
    if (path == NULL || !Copy_Field(buf, path)) return FALSE;
    HKEY key = root;
    char *comp = buf, *slash;
    BOOL ok = TRUE;
    while (ok && (slash = strchr(comp, '\\')) != NULL) {
        *slash = '\0';
        HKEY sub;
        ok = RegOpenKeyExA(key, comp, 0, KEY_READ, &sub) == ERROR_SUCCESS;
        if (key != root) RegCloseKey(key);
        if (ok) key = sub;
        comp = slash + 1;
    }
    if (!ok) return FALSE;

    BOOL found = FALSE;
    for (DWORD i = 0;; i++) {
        char name[257];
        DWORD nameLen = sizeof name;
        LONG r = RegEnumValueA(key, i, name, &nameLen, NULL, NULL, NULL, NULL);
        if (r == ERROR_MORE_DATA) continue;          /* a name longer than any we look for */
        if (r != ERROR_SUCCESS) break;
        if (Compare_NoCase(name, comp) != 0) continue;
        DWORD type = 0, size = (DWORD)(cap - 1);
        /* The stored text need not end with a terminator: keep room for one. */
        r = RegQueryValueExA(key, name, NULL, &type, (BYTE *)out, &size);
        if (r == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ) && size < cap) {
            out[size] = '\0';
            found = TRUE;
        } else {
            out[0] = '\0';
        }
        break;
    }
    if (key != root) RegCloseKey(key);
    return found;
}

BOOL Build_TextCommand(const char *command, const char *file, char *program, size_t progCap, char *args,
                       size_t argsCap)
{
    if (progCap == 0 || argsCap == 0) return FALSE;
    program[0] = args[0] = '\0';
    const char *p = command + strspn(command, " \t");
    const char *progStart, *progEnd, *rest;
    if (*p == '"') {
        progStart = p + 1;
        progEnd = strchr(progStart, '"');
        if (progEnd == NULL) progEnd = progStart + strlen(progStart);
        rest = (*progEnd == '"') ? progEnd + 1 : progEnd;
    } else {
        progStart = p;
        progEnd = p + strcspn(p, " \t");
        rest = progEnd;
    }
    rest += strspn(rest, " \t");

    char raw[PATH_LEN];
    if (progEnd == progStart || !Copy_TextN(raw, sizeof raw, progStart, (size_t)(progEnd - progStart))) return FALSE;
    DWORD need = ExpandEnvironmentStringsA(raw, program, (DWORD)(progCap < PATH_LEN ? progCap : PATH_LEN));
    if (need == 0 || need > progCap || need > PATH_LEN) {
        program[0] = '\0';
        return FALSE;
    }

    char quoted[COMMAND_LEN];
    BOOL fits;
    if (strstr(rest, "\"%1\"") != NULL) fits = Copy_Field(quoted, rest);
    else if (strstr(rest, "%1") != NULL) fits = Format_Text(quoted, sizeof quoted, "\"%s\"", rest);
    else fits = Format_Text(quoted, sizeof quoted, "%s%s\"%%1\"", rest, rest[0] != '\0' ? " " : "");
    return fits && Replace_All(quoted, args, argsCap, "%1", file);
}

BOOL Open_ParamFile(const char *path)
{
    Trace("Open_ParamFile: %s\n", path);
    char type[PATH_LEN], key[PATH_LEN + 32], command[COMMAND_LEN];
    if (!Get_RegistryValue(HKEY_CLASSES_ROOT, ".txt\\", type, sizeof type) || type[0] == '\0' ||
        !Format_Text(key, sizeof key, "%s\\shell\\open\\command\\", type) ||
        !Get_RegistryValue(HKEY_CLASSES_ROOT, key, command, sizeof command)) {
        Show_MessageBox(NULL, "There's no application configured in Windows for .txt files", NULL, MB_OK);
        return FALSE;
    }
    Trace("Open_ParamFile: .txt is \"%s\", command %s\n", type, command);

    char program[PATH_LEN], args[COMMAND_LEN];
    if (!Build_TextCommand(command, path, program, sizeof program, args, sizeof args)) {
        Trace("Open_ParamFile: cannot build the command from %s\n", command);
        Show_MessageBox(NULL, "Can't find application for .txt files", NULL, MB_OK);
        return FALSE;
    }
    Create_EmptyFile(path);

    /* No UI from the shell itself: its own error box would be a second, unexplained message. */
    SHELLEXECUTEINFOA sei;
    memset(&sei, 0, sizeof sei);
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    sei.lpVerb = "open";
    sei.lpFile = program;
    sei.lpParameters = args;
    sei.nShow = SW_SHOWNORMAL;
    BOOL started = ShellExecuteExA(&sei);
    INT_PTR result = (INT_PTR)sei.hInstApp;
    if (!started && result > 32) result = (GetLastError() == ERROR_FILE_NOT_FOUND) ? SE_ERR_FNF : 0;
    Trace("Open_ParamFile: \"%s\" %s -> %d\n", program, args, (int)result);
    if (result == SE_ERR_FNF) {
        Show_MessageBox(NULL, "Can't find application for .txt files", NULL, MB_OK);
        return FALSE;
    }
    if (result <= 32) {
        Show_MessageBox(NULL, "Can't open cfg file in application for .txt files", NULL, MB_OK | MB_ICONINFORMATION);
        return FALSE;
    }
    return TRUE;
}
