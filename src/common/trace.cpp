#include "common/trace.h"
#include "common/text.h"
#include <stdio.h>
#include <string.h>
#include <time.h>

#define TRACE_MSG_LEN   1041    /* 1040 characters of message and the terminator */
#define TRACE_LINE_LEN  1300
#define TRACE_PATH_LEN  264

static BOOL             s_Enabled;
static BOOL             s_Started;
static const char      *s_FileName = "debug.log";
static CRITICAL_SECTION s_Lock;
static BOOL             s_LockMade;
static FILE            *s_Stream;

void Trace_SetFileName(const char *name) { s_FileName = (name != NULL) ? name : "debug.log"; }
void Trace_Enable(void)                  { s_Enabled = TRUE; }
BOOL Trace_IsEnabled(void)               { return s_Enabled; }

static void Write_Line(const char *line)
{
    if (!s_LockMade) return;
    EnterCriticalSection(&s_Lock);
    fputs(line, stdout);
    fflush(stdout);
    s_Stream = fopen(s_FileName, "a");
    if (s_Stream != NULL) {
        fputs(line, s_Stream);
        fflush(s_Stream);
        fclose(s_Stream);
        s_Stream = NULL;
    }
    LeaveCriticalSection(&s_Lock);
}

static void Trace_Message(const char *msg)
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    char line[TRACE_LINE_LEN];
    Format_Text(line, sizeof line, "%02d:%02d:%02d:%03d 0x%04lx ", st.wHour, st.wMinute, st.wSecond,
                st.wMilliseconds, (unsigned long)GetCurrentThreadId());
    Append_Text(line, sizeof line, msg);
    Write_Line(line);
}

/* "%H:%M on %#d %B %Y" of a calendar time; FALSE when it cannot be formatted. */
static BOOL Format_When(struct tm *when, char *out, size_t cap)
{
    when->tm_sec = 0;
    when->tm_yday = 0;
    when->tm_isdst = 0;
    return strftime(out, cap, "%H:%M on %#d %B %Y", when) > 0;
}

static void Trace_ExecutableDetails(void)
{
    const char *cmd = GetCommandLineA();
    char path[MAX_PATH + 1];
    if (cmd[0] == '"') {
        const char *end = strchr(cmd + 1, '"');
        Copy_TextN(path, sizeof path, cmd + 1, end ? (size_t)(end - cmd - 1) : strlen(cmd + 1));
    } else {
        Copy_TextN(path, sizeof path, cmd, strcspn(cmd, " \t"));
    }
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA(path, &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    Trace("---------------- Executable Details --------------------\n");
    Trace("File Path: \"%s\"\n", path);
    FILETIME ft = fd.ftLastWriteTime;
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    /* 100-ns ticks since 1601 to seconds since 1970 */
    if (u.QuadPart >= 116444736000000000ULL) {
        time_t secs = (time_t)((u.QuadPart - 116444736000000000ULL) / 10000000ULL);
        struct tm *utc = gmtime(&secs);
        char when[128];
        if (utc != NULL && Format_When(utc, when, sizeof when)) Trace("Created at: %s\n", when);
    }
    Trace("Command Line: %s\n", cmd);
    Trace("---------------- Executable Details --------------------\n\n");
    FindClose(h);
}

static void Trace_StartUp(void)
{
    InitializeCriticalSection(&s_Lock);
    s_LockMade = TRUE;
    FILE *f = fopen(s_FileName, "w");
    if (f != NULL) fclose(f);
    s_Started = TRUE;
    time_t now = time(NULL);
    struct tm *local = localtime(&now);
    char when[128] = "";
    if (local != NULL) Format_When(local, when, sizeof when);
    Trace("DEBUG MONITOR started at %s.\n\n", when);
    Trace_ExecutableDetails();
}

void Trace(const char *fmt, ...)
{
    if (!s_Enabled) return;
    if (!s_Started) Trace_StartUp();
    if (!s_LockMade) {                      /* enabled again after a close */
        InitializeCriticalSection(&s_Lock);
        s_LockMade = TRUE;
    }
    char msg[TRACE_MSG_LEN];
    va_list args;
    va_start(args, fmt);
    Format_TextV(msg, sizeof msg, fmt, args);
    va_end(args);
    Trace_Message(msg);
}

void Trace_File(const char *fmt, ...)
{
    if (!s_Enabled || !s_LockMade) return;
    char path[TRACE_PATH_LEN];
    va_list args;
    va_start(args, fmt);
    Format_TextV(path, sizeof path, fmt, args);
    va_end(args);

    EnterCriticalSection(&s_Lock);
    FILE *in = fopen(path, "r");
    if (in == NULL) {
        printf("Could not open the file for logging: \"%s\"\n", path);
        fflush(stdout);
        LeaveCriticalSection(&s_Lock);
        return;
    }
    if (s_Stream == NULL) s_Stream = fopen(s_FileName, "a");
    if (s_Stream == NULL) {
        printf("Debug file is not open. Returning (void)\n");
        fclose(in);
        LeaveCriticalSection(&s_Lock);
        return;
    }
    printf("Logging the file: \"%s\"\n", path);
    int n = fprintf(s_Stream, "\n%s", path);
    for (; n >= 0 && n < 80; n++) fputc('_', s_Stream);
    fputs("\n|\n", s_Stream);
    char chunk[1024];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, in)) > 0) fwrite(chunk, 1, got, s_Stream);
    fputs("\n|", s_Stream);
    for (int i = 0; i < 79; i++) fputc('_', s_Stream);
    fputs("\n\n", s_Stream);
    fclose(in);
    fflush(stdout);
    fclose(s_Stream);
    s_Stream = NULL;
    LeaveCriticalSection(&s_Lock);
}

void Trace_Close(void)
{
    if (!s_Enabled) return;
    if (s_LockMade) {
        DeleteCriticalSection(&s_Lock);
        s_LockMade = FALSE;
    }
    if (s_Stream != NULL) {
        fclose(s_Stream);
        s_Stream = NULL;
    }
    s_Enabled = FALSE;
}

void Trace_ResetForTest(void)
{
    Trace_Close();
    s_Started = FALSE;
}
