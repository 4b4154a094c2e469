#include "common/msg.h"
#include "common/appstate.h"
#include "common/cmdline.h"
#include "common/text.h"
#include "common/trace.h"
#include <stdio.h>
#include <string.h>

static MSGBOX_HOOK s_MsgHook;
static BEEP_HOOK   s_BeepHook;
static char        s_ErrorText[ERROR_TEXT_LEN];

void Set_MessageBoxHook(MSGBOX_HOOK hook) { s_MsgHook = hook; }
void Set_BeepHook(BEEP_HOOK hook)         { s_BeepHook = hook; }

static BOOL s_Held;
static int  s_HeldCount;

int Hold_Messages(BOOL hold)
{
    int held = s_HeldCount;
    s_Held = hold;
    s_HeldCount = 0;
    return held;
}

int Show_MessageBox(HWND owner, const char *text, const char *caption, UINT flags)
{
    Trace("MSG: %s\n", text);
    if (s_Held) {
        s_HeldCount++;
        UINT buttons = flags & MB_TYPEMASK;
        return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDNO : IDOK;
    }
    if (updateMode || commandMode) {
        /* The modes without a window run in the background with no one to answer a box: the
           text goes to the standard error and a question takes its cautious answer. */
        if (commandMode) {
            Err_Line("%s", text);
        } else {
            fprintf(stderr, "%s\n", text);
            fflush(stderr);
        }
        UINT buttons = flags & MB_TYPEMASK;
        return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDNO : IDOK;
    }
    if (s_MsgHook != NULL) return s_MsgHook(owner, text, caption, flags);
    return MessageBoxA(owner, text, caption, flags);
}

void Play_Beep(UINT type)
{
    if (s_Held) return;
    if (s_BeepHook != NULL) s_BeepHook(type);
    else MessageBeep(type);
}

int Message_Box(const char *title, UINT flags, const char *fmt, ...)
{
    char text[MSG_TEXT_LEN];
    va_list args;
    va_start(args, fmt);
    Format_TextV(text, sizeof text, fmt, args);
    va_end(args);
    return Show_MessageBox(NULL, text, title, flags);
}

void Info_Box(const char *title, const char *fmt, ...)
{
    char text[MSG_TEXT_LEN];
    va_list args;
    va_start(args, fmt);
    Format_TextV(text, sizeof text, fmt, args);
    va_end(args);
    Show_MessageBox(NULL, text, title, MB_OK | MB_ICONINFORMATION | MB_EDITOR);
}

void Untitled_Info_Box(const char *fmt, ...)
{
    char text[MSG_TEXT_LEN];
    va_list args;
    va_start(args, fmt);
    Format_TextV(text, sizeof text, fmt, args);
    va_end(args);
    Show_MessageBox(NULL, text, "", MB_OK | MB_ICONINFORMATION | MB_EDITOR);
}

void SysError_Box(const char *title, const char *fmt, ...)
{
    DWORD code = GetLastError();      /* before anything else can change it */
    char text[MSG_TEXT_LEN + ERROR_TEXT_LEN];
    va_list args;
    va_start(args, fmt);
    Format_TextV(text, sizeof text, fmt, args);
    va_end(args);
    Append_Text(text, sizeof text, "\r\n\r\n");
    Append_Text(text, sizeof text, Error_Text(&code));
    Play_Beep(MB_ICONHAND);
    Show_MessageBox(NULL, text, title, MB_OK | MB_ICONSTOP | MB_EDITOR);
}

const char *Error_Text(const DWORD *code)
{
    DWORD err = (code != NULL) ? *code : GetLastError();
    int n = snprintf(s_ErrorText, sizeof s_ErrorText, "Error: %ld (0x%lX) ", (long)err, (unsigned long)err);
    if (n < 0 || (size_t)n >= sizeof s_ErrorText) n = 0;
    DWORD got = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, err,
                               MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), s_ErrorText + n,
                               (DWORD)(sizeof s_ErrorText - (size_t)n), NULL);
    if (got == 0) {
        snprintf(s_ErrorText, sizeof s_ErrorText, "Format message failed.  Error: %d", (int)err);
        return s_ErrorText;
    }
    size_t len = strlen(s_ErrorText);
    while (len > 0 && (s_ErrorText[len - 1] == '\r' || s_ErrorText[len - 1] == '\n')) s_ErrorText[--len] = '\0';
    return s_ErrorText;
}
