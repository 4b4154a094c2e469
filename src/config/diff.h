/* The difference between two configurations (two images): the queues added, deleted, renamed
   and moved, and for every queue that stays each field that changed, with its old and new value
   as the operator reads it; the same for the input queues (their outputs added and removed by
   queue name), the applications (paired by path), the preferences (by key) and the users (added,
   deleted, password changed; a password is never shown). A reference to another queue is shown
   by that queue's name, and a reference that still reaches the same queue is no change, however
   that queue was renamed or moved.

   The result is a list of rows that a caller counts, groups and shows; Format_DiffRow writes one
   row as one line of text for the change log and the boxes. */
#pragma once
#include <windows.h>
#include "config/fields.h"
#include "config/image.h"

/* How the queues of the two configurations are paired. */
typedef enum {
    /* by their number in the queues file at load (loadIndex): the configuration as loaded against
       the same configuration edited; a queue added since (-1) pairs with none */
    DIFF_PAIR_BY_LOAD,
    /* by name, letter case ignored: two loads whose numbers mean nothing to each other (a backup
       against the configuration now); a rename is then a deletion and an addition */
    DIFF_PAIR_BY_NAME,
} DIFF_PAIRING;

typedef enum {
    DIFF_ADDED,
    DIFF_DELETED,
    DIFF_RENAMED,            /* name became newName */
    DIFF_MOVED,              /* from oldPos to newPos */
    DIFF_CHANGED,            /* field: oldValue became newValue */
    DIFF_OUTPUT_ADDED,       /* an input queue feeds the output queue named in newValue */
    DIFF_OUTPUT_REMOVED,     /* an input queue no longer feeds the output queue named in oldValue */
    DIFF_PASSWORD_CHANGED,
} DIFF_KIND;

typedef enum {
    DIFF_QUEUE,              /* an output queue */
    DIFF_INPUT_QUEUE,
    DIFF_APPLICATION,
    DIFF_PREFERENCE,
    DIFF_USER,
} DIFF_ABOUT;

typedef struct {
    DIFF_KIND        kind;
    DIFF_ABOUT       about;
    /* What the row is about as the operator knows it now: a queue's or user's name (a deleted
       one's as it was; a renamed one's old name, with newName the name now), an application's
       path, a preference's key as the file spells it. */
    const char      *name;
    const char      *newName;    /* DIFF_RENAMED; otherwise "" */
    /* Positions (from 0) in the list before and after, -1 where there is none; an application's
       are its slots. */
    int              oldPos, newPos;
    /* DIFF_CHANGED: the field's row (its key, label and page). A queue's runtime priority, "make
       other queues stop" and parallel or series are held by what it runs: their rows are the
       application's or the group's. NULL for the other kinds. */
    const FIELD_DEF *field;
    const char      *oldValue;   /* DIFF_CHANGED, DIFF_OUTPUT_REMOVED; otherwise "" */
    const char      *newValue;   /* DIFF_CHANGED, DIFF_OUTPUT_ADDED; otherwise "" */
} DIFF_ROW;

/* The rows come in this order: output queues (those deleted, in their old order; then in the new
   order each queue added, or its rename, move and changed fields in table order), input queues
   (the same, the outputs removed then those added), applications (deleted in slot order, then
   added and changed), preferences (in the order of their file), users (the same as queues). */
typedef struct {
    DIFF_ROW *rows;          /* the texts they point to live as long as the diff */
    int       count;
    char     *texts;         /* the diff's own: every text of the rows */
} CONFIG_DIFF;

/* The difference from before to after, or NULL (traced) when there is no memory.

   A queue counts as moved when its order among the queues present in both changed, not when a
   deletion or an addition above it shifted its position: of the queues present in both, the
   longest run that keeps its order (the earliest such run when there are several) stands still
   and each of the others has moved. Applications are those that a queue runs (directly or as a
   group member), since only those are stored; they pair by path and arguments first, then by
   path alone (letter case ignored). */
CONFIG_DIFF *Diff_Configs(const CONFIG_IMAGE *before, const CONFIG_IMAGE *after, DIFF_PAIRING pairing);
void         Free_ConfigDiff(CONFIG_DIFF *diff);

/* One row as one line for the change log and the boxes, e.g.
       Queue "Proofer": Copies: 1 -> 2            Queue "Proofer" deleted
       Queue "Proofs" renamed to "Proofer"        Queue "Proofer" moved from 3 to 1
       Input queue "Intake": output "Proofer" added
       Preferences: Mail to: (none) -> ops@shop   User "anna": password changed
   (positions from 1, an empty value as "(none)"). TRUE when the whole line fit in out. */
BOOL Format_DiffRow(const DIFF_ROW *row, char *out, size_t cap);
