/* The trace log: a plain text debug monitor written line by line to a file in the current
   directory. Off unless enabled; while off every call returns at once and no file is touched.
   The program enables it when the environment variable EDITOR_TRACE is set (see WinMain). */
#pragma once
#include <windows.h>

/* Names the log file (relative; default "debug.log"). The pointer is kept, not copied. */
void Trace_SetFileName(const char *name);
void Trace_Enable(void);
BOOL Trace_IsEnabled(void);
/* One line: "HH:MM:SS:mmm 0xTHREAD " followed by the formatted message (cut to 1040 characters).
   The first line of the process empties the file and writes the start-up header. */
void Trace(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
/* Copies the whole file whose path the arguments form into the log between ruled lines. */
void Trace_File(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
/* Deletes the lock and switches the log off. The start-up is not repeated afterwards. */
void Trace_Close(void);

/* Tests only: forget that the start-up happened, so the next line starts a new log. */
void Trace_ResetForTest(void);
