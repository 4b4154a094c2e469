/* Finding queues by what the operator remembers of them: a piece of a name, a folder, the
   program a queue runs. A queue matches a text when one of its fields holds it, letter case
   ignored; the field that held it is named, so the operator sees why the queue is shown.

   Window-free: the main window narrows its lists with these. */
#pragma once
#include <windows.h>
#include "config/queuepages.h"

/* The fields a text is looked for in, in the order they are tried (the first that holds the
   text is the one named). */
typedef enum {
    FIND_NONE = 0,           /* no text: every queue is shown */
    FIND_NAME,
    FIND_HOT_DIR,
    FIND_DONE_DIR,
    FIND_TIMEOUT_DIR,        /* the directory for waiting jobs */
    FIND_EXCLUDE_DIR,
    FIND_THUMBNAIL_DIR,
    FIND_APP_PATH,           /* the path of an application the queue runs (alone or in its group) */
    FIND_APP_ARGS,           /* the arguments of such an application */
    FIND_LAUNCH_APP,         /* the application launched for the queue */
    FIND_PARAMETERS,         /* the parameters, or the parameter file */
    FIND_OUTPUT_IDENTITY,
    FIND_MUTEX_GROUP,
    FIND_FIELD_COUNT
} FIND_FIELD;

#define FIND_TEXT_MAX 260    /* the longest text looked for */

/* A text to look for, prepared once for many queues: blanks around it dropped, letter case
   folded. An empty text matches every queue. */
typedef struct {
    char   folded[FIND_TEXT_MAX + 1];
    size_t len;
} FIND_TEXT;
void Prepare_FindText(FIND_TEXT *ft, const char *text);

/* TRUE when the output queue at pos holds the text in one of the fields above; *field (may be
   NULL) gets the first field that holds it (FIND_NONE for an empty text). FALSE for a position
   outside the queues. */
BOOL Match_Target(int pos, const FIND_TEXT *ft, FIND_FIELD *field);
/* The same for the input queue at pos: its name and its hot directory. */
BOOL Match_LBQ(int pos, const FIND_TEXT *ft, FIND_FIELD *field);

/* Marks in shownTargets (MAX_TARGETS entries) and shownLbqs (MAX_LBQS) the queues that match,
   with the field of each in the field arrays (either may be NULL). Returns how many queues of
   both kinds match. */
int  Narrow_Queues(const char *text, BOOL *shownTargets, FIND_FIELD *targetFields, BOOL *shownLbqs,
                   FIND_FIELD *lbqFields);

/* The field as the operator reads it in a sentence ("hot directory"), and the page of the queue
   editor that edits it. */
const char *Find_FieldName(FIND_FIELD field);
QUEUE_PAGE  Find_FieldPage(FIND_FIELD field);

/* TRUE when text holds the prepared text, letter case ignored (NULL text: FALSE, unless the
   prepared text is empty). */
BOOL Text_Holds(const char *text, const FIND_TEXT *ft);
