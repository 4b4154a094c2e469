#include "common/cmdline.h"
#include "common/text.h"
#include <string.h>

BOOL Split_CommandLine(const char *line, CMD_ARGS *out)
{
    out->count = 0;
    out->text[0] = '\0';
    if (line == NULL) return TRUE;
    size_t used = 0;                   /* bytes of out->text taken, terminators included */
    const size_t room = sizeof out->text;
    const char *p = line;
    for (;;) {
        while (*p == ' ' || *p == '\t') p++;
        if (*p == '\0') return TRUE;
        if (out->count == CMD_ARGS_MAX) return FALSE;
        char *arg = out->text + used;
        size_t len = 0;
        BOOL quoted = FALSE;
        while (*p != '\0' && (quoted || (*p != ' ' && *p != '\t'))) {
            size_t slashes = 0;
            while (p[slashes] == '\\') slashes++;
            char put[2];
            size_t nput = 0, repeat = 0;
            if (p[slashes] == '"') {
                repeat = slashes / 2;               /* the backslashes halved */
                if (slashes % 2 == 1) {
                    put[nput++] = '"';              /* an escaped quote is text */
                } else if (quoted && p[slashes + 1] == '"') {
                    put[nput++] = '"';              /* "" inside quotes: one quote, and the quotes end */
                    quoted = FALSE;
                    p++;
                } else {
                    quoted = !quoted;
                }
                p += slashes + 1;
            } else if (slashes > 0) {
                repeat = slashes;                   /* backslashes before anything else stay */
                p += slashes;
            } else {
                put[nput++] = *p++;
            }
            if (used + len + repeat + nput + 1 > room) {
                arg[len] = '\0';
                return FALSE;
            }
            memset(arg + len, '\\', repeat);
            len += repeat;
            memcpy(arg + len, put, nput);
            len += nput;
        }
        arg[len] = '\0';
        out->args[out->count++] = arg;
        used += len + 1;
    }
}

/* ---- the standard streams ---- */

/* The handle a stream writes to, or NULL when it goes nowhere. A program of the windows
   subsystem started from a console without a redirection has no standard handles: it then
   writes to that console, once attached. */
static HANDLE Stream_Handle(DWORD which)
{
    HANDLE h = GetStdHandle(which);
    if (h != NULL && h != INVALID_HANDLE_VALUE) return h;
    static BOOL s_Tried;
    static HANDLE s_Console = NULL;
    if (!s_Tried) {
        s_Tried = TRUE;
        if (AttachConsole(ATTACH_PARENT_PROCESS)) {
            s_Console = CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                    OPEN_EXISTING, 0, NULL);
            if (s_Console == INVALID_HANDLE_VALUE) s_Console = NULL;
        }
    }
    return s_Console;
}

static BOOL Write_Stream(DWORD which, const char *data, size_t len)
{
    HANDLE h = Stream_Handle(which);
    if (h == NULL) return FALSE;
    while (len > 0) {
        DWORD chunk = len > 0x10000000 ? 0x10000000 : (DWORD)len, written = 0;
        if (!WriteFile(h, data, chunk, &written, NULL) || written == 0) return FALSE;
        data += written;
        len -= written;
    }
    return TRUE;
}

BOOL Out_Write(const char *data, size_t len) { return Write_Stream(STD_OUTPUT_HANDLE, data, len); }
BOOL Err_Write(const char *data, size_t len) { return Write_Stream(STD_ERROR_HANDLE, data, len); }

/* Formats one line with CR LF line ends and writes it at once. */
static BOOL Write_Line(DWORD which, const char *fmt, va_list args)
{
    char text[CMD_OUT_LEN];
    Format_TextV(text, sizeof text, fmt, args);
    char line[2 * CMD_OUT_LEN + 2];     /* every character a line feed at worst */
    size_t n = 0;
    for (const char *c = text; *c != '\0'; c++) {
        if (*c == '\n' && (c == text || c[-1] != '\r')) line[n++] = '\r';
        line[n++] = *c;
    }
    line[n++] = '\r';
    line[n++] = '\n';
    return Write_Stream(which, line, n);
}

BOOL Out_Line(const char *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    BOOL ok = Write_Line(STD_OUTPUT_HANDLE, fmt, args);
    va_end(args);
    return ok;
}

BOOL Err_Line(const char *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    BOOL ok = Write_Line(STD_ERROR_HANDLE, fmt, args);
    va_end(args);
    return ok;
}
