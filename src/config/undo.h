/* The history of the operator's edits before OK: every command of the main window that changes
   the configuration (a queue added, copied, deleted or moved, an input queue added or deleted,
   an editor's OK, the preferences, the administration) is one step that can be undone and done
   again.

   A command is wrapped in Undo_Begin and Undo_End; Undo_End compares the configuration with
   what it was at Undo_Begin and keeps only what changed: the records before and after of the
   queues, input queues, applications, groups, preferences and users the command touched, where
   each queue came from when queues moved, and the references and input queue outputs that were
   renumbered; never whole copies of the arrays. A command that changed nothing leaves no step.

       Undo_Begin();
       Delete_Targets(positions, n);
       Undo_End("delete %s", targets...);      // the label the Undo button's tooltip shows

   Undoing builds the configuration as it was before the step from the configuration now and the
   step, exactly: the arrays, the references, the input queues' output flags, the deleted queues'
   numbers, the preferences and the users. A queue that comes back keeps the icon handle it has
   now when its record is the same; a record put back from the history gets its icon again from
   its icon file when it is drawn (icon NULL), and the icon of a queue that goes is destroyed.

   The history holds at most UNDO_MEMORY_LIMIT bytes; past that the oldest steps are dropped. A
   new step after undos drops the steps that could have been done again. Window-free. */
#pragma once
#include <windows.h>
#include <stddef.h>
#include "config/model.h"

#define UNDO_MEMORY_LIMIT (8u * 1024u * 1024u)
#define UNDO_LABEL_LEN    160

/* Notes the configuration before a command. Nested pairs make one step: the outermost pair.
   FALSE when there is no memory to note it (traced): the command then runs without a step. */
BOOL Undo_Begin(void);
/* The command is done: a step labelled with the formatted text ("delete Proofer") when it
   changed the configuration. TRUE when a step was kept. */
BOOL Undo_End(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
/* The command changed nothing after all (or it is not to be undone): no step. */
void Undo_Abandon(void);

BOOL Can_Undo(void);
BOOL Can_Redo(void);
/* What the next undo or redo does, as its step was labelled ("" when there is none). */
const char *Undo_Label(void);
const char *Redo_Label(void);

/* The queues a step put back or moved, in the configuration after the undo or redo: the ones to
   show selected. */
typedef struct {
    BOOL targets[MAX_TARGETS];
    BOOL lbqs[MAX_LBQS];
    BOOL prefs;                 /* the preferences changed */
    BOOL users;                 /* the users changed */
} UNDO_TOUCHED;

/* Undoes the last step (or does again the last undone one). FALSE when there is none, or when
   the configuration is not what the step left (an edit that passed by the history): the
   operator is told, the history is cleared and nothing changes. touched may be NULL. */
BOOL Undo_Step(UNDO_TOUCHED *touched);
BOOL Redo_Step(UNDO_TOUCHED *touched);

/* Forgets every step (a new configuration was loaded or restored as a whole). */
void Clear_History(void);
/* The steps kept (done and undone), those that can be undone, and the bytes they take. */
int    History_Steps(void);
int    History_Done(void);
size_t History_Bytes(void);
