/* Moving queues between installations: selected output and input queues written to one export
   file, and such a file read back into another installation as new queues.

   The export file is plain text that a person can read. Its first line names the format and its
   version ("Queue export 1"); then come sections, each a line "[kind]" followed by lines
   "key=value", and the last line is "[end]". Blank lines and lines beginning with "#" are
   comments. The keys and the values are those of the field tables (config/fields.h), so that
   every stored field of a record is carried and read back through the same limits as the
   queues file holds it to:

       Queue export 1
       home=C:\Spool                       the installation the queues came from
       [application]                       every application an exported queue runs, in slot order
       path=C:\Spool\Apps\Rip.exe
       arguments=-res 2400
       run_alone=Yes
       ...
       association=C:\Tools\RipSetup.exe   its configuration utility, when it has one
       [group]                             every application group, in slot order
       members=application 1, application 3
       ...
       [input queue]
       name=Plates In
       ...
       outputs="Plate Setter 1", "Plate Setter 2"
       [output queue]
       name=Plate Setter 1
       processes=application 1             (or "group 2", or "none")
       after_processing=pass jobs to queue "Proofer"
       parameters_are_a_file=Yes           only for a queue whose parameters name a file...
       parameter_file_line=...             ...followed by that file's lines
       ...
       [command-line parameters]           the installation's command-line parameter file
       line=-copies 2,-duplex
       [end]

   A file (the parameter files, the command-line parameter file) whose last line had no line
   break carries "last_line_ended=No". Queues refer to each other by name. */
#pragma once
#include <windows.h>
#include "common/text.h"
#include "config/model.h"

#define EXPORT_HEADER       "Queue export"
#define EXPORT_VERSION      1
#define EXPORT_EXTENSION    "queues"
#define COMMAND_LINE_FILE   "CommandLine.cfg"

#define IMPORT_REASON_LEN   400
#define IMPORT_MAX_NOTES    600
#define IMPORT_MAX_TEXT     (64 * 1024)   /* a parameter file carried along, at most */

/* ---- export ---- */

/* Builds the export file of the output queues at targetPos[0..nTargets) and the input queues at
   lbqPos[0..nLbqs) of the live configuration into buf. FALSE when buf could not grow. */
BOOL Build_Export(const int *targetPos, int nTargets, const int *lbqPos, int nLbqs, OUTBUF *buf);
/* Builds it and writes it to path through the whole-file writer; TRUE when it was written (the
   operator is told otherwise). */
BOOL Write_Export(const char *path, const int *targetPos, int nTargets, const int *lbqPos, int nLbqs);

/* ---- import ---- */

/* What an import tells the operator. The blocking kinds stop an import without a window; in the
   preview they are shown and the operator decides (a clash and a limit stop OK there as well). */
typedef enum {
    IN_RENAMED,         /* a queue's name is taken here: it gets another (blocking) */
    IN_NAME_TAKEN,      /* the name the operator typed is taken, empty or not allowed (blocking) */
    IN_LIMIT,           /* more queues or application entries than an installation holds (blocking) */
    IN_MISSING_PATH,    /* a path the queue or an application needs does not exist here (blocking) */
    IN_UNRESOLVED,      /* a reference to a queue that is neither imported nor here */
    IN_CLAMPED,         /* a value held to what the field holds, as the queues file would */
    IN_CREATED,         /* a file carried in the export that will be written here */
    IN_KEPT,            /* a file carried in the export that exists here and is kept as it is */
} IMPORT_NOTE_KIND;

typedef struct {
    IMPORT_NOTE_KIND kind;
    BOOL             blocking;
    char             text[IMPORT_REASON_LEN];
} IMPORT_NOTE;

/* An application of the export file and what becomes of it here. */
typedef struct {
    App  app;                           /* as read; priority and run-alone as the exporter held them */
    char association[TEXT_LEN];         /* its configuration utility, "" for none */
    int  reuse;                         /* the used slot here that it is, or -1: added */
    int  slot;                          /* after Apply_Import: the slot it has here */
} IMPORT_APP;

typedef struct {
    AppGroup group;                     /* members are numbers of the export's applications (0..) */
    int      reuse;                     /* the used group slot here that it is, or -1: added */
    int      slot;
} IMPORT_GROUP;

/* A queue of the export file. */
typedef struct {
    BOOL   isInput;                     /* an input queue (lbq) or an output queue (target) */
    char   fileName[TEXT_LEN];          /* its name in the file */
    char   newName[TEXT_LEN];           /* the name it gets here */
    BOOL   nameEdited;                  /* the operator typed newName: keep it */
    int    line;                        /* where its section starts */
    Target target;                      /* everything read; references resolved by Apply_Import */
    LBQ    lbq;
    int    procKind;                    /* 0 none, 1 application, 2 group */
    int    procIndex;                   /* into apps or groups of the plan */
    char   afterRef[TEXT_LEN];          /* the queue the after-action passes jobs to, by name; "" */
    char   timeoutRef[TEXT_LEN];        /* the same for the time-out action */
    char  *outputs;                     /* an input queue's outputs as written ("A", "B"); heap */
    BOOL   paramIsFile;                 /* the parameters name a file, carried below */
    char  *paramText;                   /* that file's content (lines joined by "\n"); heap */
} IMPORT_QUEUE;

typedef struct IMPORT_PLAN {
    /* the file */
    BOOL         refused;               /* not an export file, or a damaged one: nothing to import */
    int          badLine;               /* the line at fault (1 = the first), 0 for the whole file */
    char         reason[IMPORT_REASON_LEN];
    char         sourceHome[TEXT_LEN];  /* the installation it came from */
    int          queueCount;
    IMPORT_QUEUE queues[MAX_QUEUES];
    int          appCount;
    IMPORT_APP   apps[MAX_APPS];
    int          groupCount;
    IMPORT_GROUP groups[MAX_APPGROUPS];
    char        *commandLineText;       /* the command-line parameter file, or NULL */
    /* the operator's replacement of a path root (e.g. C:\Spool by D:\Spool); either empty: none */
    char         fromRoot[TEXT_LEN];
    char         toRoot[TEXT_LEN];
    /* what Review_Import found */
    int          noteCount;
    IMPORT_NOTE  notes[IMPORT_MAX_NOTES];
    int          blockingCount;
    int          newApps;               /* application entries the import adds */
    int          newGroups;
} IMPORT_PLAN;

/* Reads the export file text[0..len) into a new plan (on the heap; NULL without memory). A file
   that is not an export file, of a newer version, cut short or with a damaged line gives a plan
   with refused set, the line and the reason. Values out of range are held to it as the queues
   file's reader holds them and noted (IN_CLAMPED). The plan is not yet reviewed. */
IMPORT_PLAN *Read_Export(const char *text, size_t len);
/* Reads the file at path; a file that cannot be read gives a refused plan with the reason. */
IMPORT_PLAN *Read_ExportFile(const char *path);
void Free_ImportPlan(IMPORT_PLAN *plan);

/* Weighs the plan against the live configuration: the names the queues get (a taken name gets
   " (2)", " (3)" ... unless the operator typed one), the applications reused or added, the
   paths missing here (after the root replacement), the references that resolve to no queue,
   the limits, the files that will be written. Fills notes; returns the number of blocking ones. */
int  Review_Import(IMPORT_PLAN *plan);

/* Adds the queues of a reviewed plan at the end of the lists as new queues, the applications and
   groups it needs, and resolves the references by name (the imported queues first, then those
   here; a reference to neither leaves jobs where they are, or never times out). The files the
   export carried (parameter files, associations, the command-line parameter file) are written by
   the next successful store (Store_ImportedFiles). FALSE, with nothing changed, when the plan is
   refused, a name is taken or a limit is exceeded. */
BOOL Apply_Import(IMPORT_PLAN *plan);

/* Writes what the imports applied since the last call carried beside the queues: each parameter
   file and the command-line parameter file that does not exist yet, and each association this
   installation does not have yet. Called by the save sequence after the store. */
void Store_ImportedFiles(void);
/* Forgets them (a new process, or a configuration thrown away). */
void Forget_ImportedFiles(void);

/* path with fromRoot at its start replaced by toRoot (ignoring case; fromRoot must be followed by
   a backslash or the end of path) into out. TRUE when it was replaced and fit. */
BOOL Replace_PathRoot(const char *path, const char *fromRoot, const char *toRoot, char *out, size_t cap);
