/* What the queue editor says about a queue, and the text rules its pages share: the summary of
   each section of the overview (text and icon), the names of the initial priorities, the
   directory rule of the pages. No windows: text in, text or TRUE/FALSE out. */
#pragma once
#include <windows.h>
#include <stddef.h>
#include "config/model.h"

#define SUMMARY_LEN 260          /* a summary of up to 259 characters and its terminator */

/* Shortens a text to the width where it is shown: out (cap bytes) gets text, with "..." in it
   when it is too wide. mode is one of Fit_Text's (FIT_PATH for paths, FIT_END for names). The
   overview measures in the summary's font; NULL shows texts whole. */
typedef struct {
    void (*fit)(void *ctx, const char *text, char *out, size_t cap, int mode);
    void  *ctx;
} TEXT_FITTER;

/* The picture shown beside a summary. */
enum {
    SI_NONE,            /* nothing */
    SI_QUEUE,           /* the queue's own icon (Target.icon) */
    SI_DIRECTORY,       /* the directory icon (150) */
    SI_JOB_SETTINGS,    /* 170 */
    SI_PROCESSES,       /* 160: processes to be chosen */
    SI_NO_PROCESSES,    /* 179 */
    SI_PARALLEL,        /* 164 */
    SI_SERIES,          /* 163 */
    SI_APP,             /* the icon of the application in apps[app] */
    SI_PARAMETERS,      /* 161 */
    SI_PARAM_FILE,      /* 157 */
    SI_DELETE,          /* 151 */
    SI_RECYCLE,         /* 153 */
    SI_IDENTITY,        /* 162 */
};

typedef struct {
    char text[SUMMARY_LEN];
    int  icon;           /* SI_... */
    int  app;            /* SI_APP: the slot of apps whose icon it is */
} SUMMARY;

/* The summary of one section of the overview for queue t. Paths and names are shortened by fit
   (when given) before they go into the text; a path too long for the text shows as
   "[name too long]" (parameters: "[string too long]"). Other queues and applications named by
   t are read from the arrays; references that name nothing are shown without reading outside
   them. */
typedef void (*SUMMARY_FN)(const Target *t, const TEXT_FITTER *fit, SUMMARY *out);
void Summary_Inputs(const Target *t, const TEXT_FITTER *fit, SUMMARY *out);
void Summary_Thumbnails(const Target *t, const TEXT_FITTER *fit, SUMMARY *out);
void Summary_JobSettings(const Target *t, const TEXT_FITTER *fit, SUMMARY *out);
void Summary_Processes(const Target *t, const TEXT_FITTER *fit, SUMMARY *out);
void Summary_Instructions(const Target *t, const TEXT_FITTER *fit, SUMMARY *out);
void Summary_CleanUp(const Target *t, const TEXT_FITTER *fit, SUMMARY *out);
void Summary_Identity(const Target *t, const TEXT_FITTER *fit, SUMMARY *out);

/* The picture that stands for the processes queue t runs: no processes, a group in parallel or
   in series, an application (*app its slot), or processes still to be chosen. */
int  Process_Icon(const Target *t, int *app);

/* The names of the initial priorities 1 to 7, NULL at the end ("Highest" ... "Lowest"). */
extern const char *const priorityNames[];
/* The name of priority 1 to 7; "" for any other value. */
const char *Priority_Name(int priority);

/* TRUE when text is empty or holds only blanks and tabs. */
BOOL Is_BlankText(const char *text);

/* The directory rule of the pages. A text of one or two characters becomes the root of the drive
   its first character names ("D" and "DX" give "D:\"); an empty text stays empty. The text is
   then accepted when it names an existing directory (quotes ignored) or begins with a letter, a
   colon and a backslash (a path on a drive, existing or not). text holds cap bytes. */
BOOL Check_DirText(char *text, size_t cap);

/* TRUE when both name the same directory as the file system names it: quotes, "." and "..", a
   final backslash and letter case do not count (a relative text is taken from the current
   directory). An empty text names none. */
BOOL Is_SameDir(const char *a, const char *b);
/* TRUE when dir lies below parent (not when it is parent), compared as Is_SameDir compares. */
BOOL Is_InsideDir(const char *dir, const char *parent);

/* ---- Job Settings, thumbnail directory and multi-job rules ---- */

/* The one line the Job Settings page shows about the multi-job settings of t, into out (cap
   bytes): "Process jobs individually.", "Process %d jobs at a time." (never times out), or
   "Wait up to %d:%02d minutes for %d jobs, then " and what happens to the waiting jobs. */
void MultiJob_Summary(const Target *t, char *out, size_t cap);

/* Two thumbnail directories overlap when one is the other (letter case ignored) or the other's
   parent: with n the shorter length, their first n characters are equal and the longer one
   ends there or has a backslash there. Leading blanks do not count; an empty one overlaps
   nothing. (A root such as "D:\" already ends in its backslash and so overlaps none of its
   folders.) */
BOOL Thumb_DirsOverlap(const char *a, const char *b);
/* The first output queue other than the one at self whose thumbnail directory overlaps dir, or
   -1 when none does. */
int  Find_ThumbOverlap(const char *dir, int self);

/* The position of the first output queue named name, letter case ignored (blanks around name
   do not count); -1 when no queue has that name. */
int  Find_TargetByName(const char *name);

/* Which queue would take in jobs moved into the directory dir. t is the queue being edited: its
   own hot directory (and the folders below it, when it watches them) is TAKER_SELF; the hot
   directory of another output queue or of an input queue (and the folders below it, when that
   queue watches them) is TAKER_OTHER, with that queue's name in name (cap bytes). Letter case,
   quotes and a final backslash do not count. */
#define TAKER_NONE  0
#define TAKER_SELF  1
#define TAKER_OTHER 2
int  Hot_DirTaker(const char *dir, const Target *t, char *name, size_t cap);
