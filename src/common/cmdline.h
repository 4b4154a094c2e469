/* What the command-line modes without a window share: the command line split into arguments,
   and the two standard streams (results on the standard output, reasons on the standard error).

   Editor.exe is a program of the windows subsystem: it has no console of its own. What it writes
   reaches a pipe or a file its caller gave it as a standard handle (a redirection in a script,
   a pipe of a scheduler); started from a console without a redirection, it writes to the console
   it was started from. The runtime's printf and FILE streams are not used for this: they go
   nowhere in such a program on Windows. Every line ends with CR LF. */
#pragma once
#include <windows.h>

#define CMD_ARGS_MAX   260      /* arguments of one command line (a mode, a home, a file and 200 queues fit) */
#define CMD_TEXT_LEN   32768    /* the longest command line Windows passes, and its terminator */
#define CMD_OUT_LEN    4096     /* one formatted line of output, terminator included */

/* A command line split into arguments. The texts are copies held in text; args points into it. */
typedef struct {
    int   count;
    char *args[CMD_ARGS_MAX];
    char  text[CMD_TEXT_LEN];
} CMD_ARGS;

/* Splits a command line (what follows the program's name, as WinMain gets it) into arguments by
   the rules of the Windows runtime: blanks and tabs separate arguments; a part in double quotes
   belongs to one argument whatever it holds, and the quotes go; 2n backslashes before a double
   quote give n backslashes and the quote opens or closes such a part, 2n+1 give n backslashes
   and a double quote in the text; two double quotes inside a quoted part give one double quote
   and end the part; other backslashes are kept as they are. A quoted part that is never closed runs to the end.
   FALSE when the line holds more than CMD_ARGS_MAX arguments or does not fit (out then holds
   the arguments that did). */
BOOL Split_CommandLine(const char *line, CMD_ARGS *out);

/* One line on the standard output or the standard error: the text formatted (cut at
   CMD_OUT_LEN - 1 characters), each line break in it written as CR LF, and CR LF at its end,
   in one write, so that lines of the two streams never interleave in one file. FALSE when the
   stream goes nowhere or the write failed (a closed pipe); the mode goes on either way. */
BOOL Out_Line(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
BOOL Err_Line(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
/* Bytes as they are, of any length (a long listing built in memory). */
BOOL Out_Write(const char *data, size_t len);
BOOL Err_Write(const char *data, size_t len);

/* What a mode of the command line is called with (see shell/modes.h): the arguments after its
   option, and the home directory when the mode takes one. The texts stay valid for the call. */
typedef struct {
    const char  *option;     /* the option as the mode's table row names it ("-check") */
    int          argc;       /* the arguments after the option */
    char *const *argv;       /* argv[0] is the home as given when the mode takes one */
    const char  *home;       /* the home directory, unquoted and checked; NULL when not taken */
} CLI_CALL;
