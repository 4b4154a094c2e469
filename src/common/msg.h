/* Operator messages. Every box the program shows goes through Show_MessageBox, the one place
   that calls MessageBoxA; tests replace it with a hook that records the box and answers it. */
#pragma once
#include <windows.h>

#define MSG_TEXT_LEN  1040     /* a formatted message text, terminator included */
#define ERROR_TEXT_LEN 1024

/* The box flags the program uses: no owner, modal for the task, in the foreground. */
#define MB_EDITOR (MB_TASKMODAL | MB_SETFOREGROUND)

typedef int (*MSGBOX_HOOK)(HWND owner, const char *text, const char *caption, UINT flags);
typedef void (*BEEP_HOOK)(UINT type);

/* Shows a box (or hands it to the hook) and returns the button pressed (IDOK, IDYES, ...). */
int  Show_MessageBox(HWND owner, const char *text, const char *caption, UINT flags);
/* Plays a system sound (or tells the hook). Hard refusals beep before their box. */
void Play_Beep(UINT type);
/* While held, a box is traced and counted but not shown, and a question takes its cautious answer
   (No): for reading a configuration that is not the one being edited (a backup), whose problems
   its caller words itself. Hold_Messages(TRUE) starts counting from 0; Hold_Messages(FALSE)
   returns how many boxes were held. Holds do not nest. */
int  Hold_Messages(BOOL hold);
/* Tests only: NULL puts back the real box or sound. */
void Set_MessageBoxHook(MSGBOX_HOOK hook);
void Set_BeepHook(BEEP_HOOK hook);

/* Formats a text (bounded) and shows it with the given flags; returns the answer. */
int  Message_Box(const char *title, UINT flags, const char *fmt, ...) __attribute__((format(printf, 3, 4)));
/* Information box: OK, information icon. */
void Info_Box(const char *title, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
/* The same with an empty title. */
void Untitled_Info_Box(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
/* Failure with a system cause: the text, an empty line and the error text of the thread's
   last system error; the stop sound, then a box with the stop icon. */
void SysError_Box(const char *title, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
/* "Error: %ld (0x%lX) " and the system's own text for the code (the thread's last error when
   code is NULL), line breaks stripped from the end. One shared buffer, overwritten by every call. */
const char *Error_Text(const DWORD *code);
