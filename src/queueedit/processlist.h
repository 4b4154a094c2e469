/* The process list of the Processes page, without the window: what a queue runs, loaded from its
   App or AppGroup, edited one process at a time (write a command text, move, add, insert, remove,
   choose a program, set kinds and the settings of the whole list) and matched against the shared
   applications when the page is confirmed. The page reads its controls, calls these and shows
   the result; every refusal is told here, where it is found.

   Icons: an entry loaded from an application shares that App's icon. An icon the page extracts
   for an entry is the page's until the page closes: then the icons that an App slot took on
   (through AddTargetApps) stay with that slot and the rest are destroyed. */
#pragma once
#include <windows.h>
#include <stdint.h>
#include "config/model.h"
#include "queueedit/paramfile.h"

/* A command text: the program path (259 characters, in double quotes when it needs them), a
   blank and the arguments (259 characters). */
#define COMMAND_TEXT_LEN (2 * TEXT259_LEN + 2)

/* Runtime priorities, in the order of the page's list: the name shown and the code stored. */
typedef struct {
    const char *name;
    char        code;
} PROCESS_PRIORITY;
#define PROCESS_PRIORITY_COUNT 4
extern const PROCESS_PRIORITY processPriorities[PROCESS_PRIORITY_COUNT];

/* Window modes, in the order of the page's list: the name shown and the show command stored. */
typedef struct {
    const char *name;
    uint16_t    value;
} PROCESS_SHOW_MODE;
#define PROCESS_SHOW_MODE_COUNT 3
extern const PROCESS_SHOW_MODE processShowModes[PROCESS_SHOW_MODE_COUNT];

/* Position in the tables, or -1 when the code or value is not in them. */
int Find_PriorityIndex(char code);
int Find_ShowModeIndex(uint16_t value);

#define MAX_OWNED_ICONS 8

typedef struct {
    ProcessList list;
    BOOL        invalid;      /* the last write found no valid program in the command text */
    BOOL        removed;      /* the last write removed the shown entry */
    BOOL        focusText;    /* the operator is to go on in the command text */
    HICON       owned[MAX_OWNED_ICONS];   /* icons extracted by the page and not yet released */
    int         ownedCount;
} PROCESS_EDIT;

/* The three kinds of a process, which exclude each other. */
enum { KIND_COMPAT, KIND_RESIDENT, KIND_NON_NATIVE, KIND_COUNT };

/* Which of the page's controls are usable (and the radio buttons' state) for a list and the page
   copy of the queue. */
typedef struct {
    BOOL noProcesses;         /* "This queue runs no processes" */
    BOOL monitor;             /* "This queue runs monitor processes" */
    BOOL holdAll;             /* "Hold All Jobs" */
    BOOL process;             /* the controls of the processes (command text, kinds, list settings...) */
    BOOL insertAdd;           /* "Insert Process", "Add Process" */
    BOOL remove;              /* "Remove Process" */
    BOOL next, previous;
    BOOL radios;              /* "in parallel" / "in series"; unchecked both when FALSE */
    BOOL kinds[KIND_COUNT];
} PROCESS_ENABLES;

/* An empty entry: no path, arguments or icon, compatible with old messages, hidden window. */
void Clear_ProcessEntry(ProcessEntry *e, int32_t appIndex);

/* Builds the list from the queue's process reference: 202 gives an empty list; an App one
   process; an AppGroup its members. A reference to an entry that is not in use, and group
   members that are not, are left out (traced). A priority outside the table is kept as loaded. */
void Load_ProcessList(PROCESS_EDIT *pe, const Target *t);

/* Splits a command text into the program path (the text in its leading double quotes; else up to
   and including the first ".exe" in any case; else up to the first white space) and the
   arguments (the rest, without surrounding white space). */
enum { SPLIT_OK, SPLIT_PATH_LONG, SPLIT_ARGS_LONG };
int  Split_CommandText(const char *text, char *path, size_t pathCap, char *args, size_t argsCap);
/* The command text that shows an entry: its path (in double quotes when it has a blank, or when
   without them it would not split back into the same path), a blank and the arguments. "" for
   an entry without a path. FALSE when it does not fit (out then holds ""). */
BOOL Format_CommandText(const ProcessEntry *e, char *out, size_t cap);

/* Adds each selected parameter (selected[i] for paramTable[i]) that the command text does not
   hold yet, with blanks around it: at caret (an offset into text) when that lies among the
   arguments, otherwise (also for -1) at the end. An empty text takes none. FALSE, with the text
   as it was and the operator told, when the arguments would pass their 259 characters. */
BOOL Pick_Parameters(char *text, size_t cap, const BOOL selected[PARAM_SLOTS], int caret);

/* Writes a command text into the shown entry. A text names a program: the entry takes its path
   and arguments, a fresh icon and no App (the list grows when the entry is the new one after the
   last). An empty text removes the shown entry. A program path of fewer than four characters, or
   one that names no file, is refused ("String does not contain a valid application path", after
   a beep) and the entry loses its icon; a path or arguments longer than their field are refused
   too. With noProcesses nothing happens. FALSE when the text was refused (marks in pe). */
BOOL Write_ProcessText(PROCESS_EDIT *pe, const char *text, BOOL noProcesses);

/* The page's buttons; each writes the command text first and acts only when it was accepted
   (FALSE otherwise). */
BOOL Process_Previous(PROCESS_EDIT *pe, const char *text);
BOOL Process_Next(PROCESS_EDIT *pe, const char *text);
BOOL Process_Add(PROCESS_EDIT *pe, const char *text);
BOOL Process_Insert(PROCESS_EDIT *pe, const char *text);
void Process_Remove(PROCESS_EDIT *pe);
/* The program chosen with the chooser becomes the shown entry's path (in double quotes), without
   arguments. FALSE (operator told) when it does not fit the path field. */
BOOL Process_ChooseProgram(PROCESS_EDIT *pe, const char *chosen);

/* The shown entry's kind flags and window mode. */
void Toggle_ProcessKind(PROCESS_EDIT *pe, int kind);
void Set_ProcessShowMode(PROCESS_EDIT *pe, int index);
/* The settings of the whole list. */
void Toggle_ProcessRunAlone(PROCESS_EDIT *pe);
void Set_ProcessParallel(PROCESS_EDIT *pe, BOOL parallel);
void Set_ProcessPriority(PROCESS_EDIT *pe, int index);

/* A queue cannot both run monitor processes and no processes: a copy with both set gets neither. */
void Settle_ProcessFlags(Target *copy);
/* The controls' states for the list and the page copy. */
void Get_ProcessEnables(const PROCESS_EDIT *pe, const Target *copy, PROCESS_ENABLES *en);

/* The icon that stands for the whole list: none, no processes, one App, a parallel or series
   group (resource numbers IDI_...). */
int  Process_ListIconId(const PROCESS_EDIT *pe, BOOL noProcesses);
/* The default application icon (shared, never destroyed). */
HICON Default_AppIcon(void);

/* OK, after the command text was written: refuses an empty list ("You have no applications
   configured.") and entries without a valid program, then finds or makes the App or AppGroup
   through AddTargetApps and points copy (the page copy) at it. work is the editor's working copy
   the page was opened on: its position is the queue whose reference the list replaces, and the
   reference it names stays (see AddTargetApps). With no room the copy names no processes and the
   operator is told ("No space left to store the new application data"). TRUE when copy took the
   reference. */
BOOL Commit_ProcessList(PROCESS_EDIT *pe, Target *copy, const Target *work);

/* The page closes: icons the page extracted that no App slot holds are destroyed. */
void Release_ProcessIcons(PROCESS_EDIT *pe);
