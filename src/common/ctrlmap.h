/* Binding a record to a dialog's controls: one row per control says which field of the record it
   shows and how. A dialog then loads a record into its controls, validates and saves them back,
   and copies exactly its own fields, from one table, and handles by hand only what the table
   cannot say.

       static const char *const k_Priorities[] = { "Highest", ..., "Lowest", NULL };
       static const CTRL_MAP k_JobMap[] = {
           CM_INT_ROW(IDC_JS_COPIES, Target, copies, LIMIT_COPIES),
           CM_SPIN_ROW(IDC_JS_COPIES_SPIN, LIMIT_COPIES),
           CM_LIST_ROW(IDC_JS_PRIORITY, Target, priority, k_Priorities, 1),
           CM_CHECK_ROW(IDC_JS_GROUPING, Target, jobGrouping),
           CM_RADIO_ROW(IDC_JS_ALWAYS, Target, openFilePolicy, 0),
           CM_TEXT_ROW(IDC_JS_EXTENSIONS, Target, filterExtensions),
           CM_DURATION_ROW(IDC_JS_MINUTES, Target, timeoutSeconds, k_Timeout),
           CM_STEP_ROW(Save_Filter),
       };

   The rows are saved in the order of the table, and a save stops at the first refusal: the order
   of the table is the order in which the operator hears of problems. A control whose reading has
   rules of its own keeps its row (it is loaded by its kind) and names the procedure that saves
   it; a check that belongs at some place of that order and has no control of its own is a step.
*/
#pragma once
#include <windows.h>
#include <stddef.h>
#include <stdint.h>
#include "common/range.h"

enum {
    CM_TEXT,     /* edit or editable drop-down <-> char[size]; typing is limited to size - 1, or to
                    maximum characters when a row gives a smaller maximum */
    CM_INT,      /* edit <-> int32, refused outside minimum..maximum (the field validation's question) */
    CM_CHECK,    /* check box <-> 32-bit flag holding 0 or 1 */
    CM_LIST,     /* drop-down list <-> int32: the item at index (value - minimum); items fill the list */
    CM_RADIO,    /* radio button <-> int32: checked when the field holds minimum; saves it when checked */
    CM_SPIN,     /* up-down control: range minimum..maximum; no field (its buddy edit has a row) */
    CM_DURATION, /* several edits <-> one int32 counting a unit of time (duration says how) */
    CM_STEP,     /* no control and no field: a procedure of the dialog's own, run in its place when
                    the table is saved */
};

/* One edit of a duration: how many of the record's units one of it counts, and what it takes. */
typedef struct {
    int         id;
    int32_t     unit;
    FIELD_RANGE range;
    const char *notCount;    /* held durations: told when the edit holds no whole number of 0 or more */
} DURATION_PART;

/* A duration kept in one number of the record (seconds, minutes) and shown in several edits
   (days, hours, minutes, seconds), the largest unit first. Loading shows whole units of each
   edit in turn, the first edit taking what is left above the others (a negative value shows as
   none). Saving reads the edits in order, then the whole:
   - a checked duration reads each edit through the field validation and refuses a number outside
     the edit's range (the operator asked, the edit selected);
   - a held duration takes in each edit a whole number of 0 or more (an empty edit is 0; anything
     else is told with the edit's notCount and the edit selected), holds it to the edit's
     maximum, and shows the edits again as taken.
   Then a whole below total.minimum is told with tooShort (%d: the minimum in the last edit's
   unit), above total.maximum with tooLong (%d: the maximum in the first edit's unit), and the
   edit named selected. */
typedef struct {
    const DURATION_PART *parts;
    int                  count;
    FIELD_RANGE          total;
    BOOL                 held;
    int                  digits;       /* the most characters an edit takes (0: as the dialog has it) */
    const char          *tooShort;
    int                  tooShortAt;
    const char          *tooLong;
    int                  tooLongAt;
} DURATION_DEF;

/* Saves a row in place of its kind (or, for a step, is all the row does): reads what it binds
   into rec, tells the operator of a problem and returns FALSE to stop the save there. */
typedef BOOL (*CTRL_SAVE_FN)(HWND dlg, void *rec);

typedef struct {
    int                id;          /* control id */
    int                kind;        /* CM_... */
    size_t             offset;      /* of the field in the record */
    size_t             size;        /* of the field: a text's room with its terminator, 4 for numbers */
    int32_t            minimum;     /* CM_INT, CM_SPIN: range; CM_LIST: value of the first item; CM_RADIO: value */
    int32_t            maximum;     /* CM_TEXT: the most characters the text may have (0: the field's room) */
    const char *const *items;       /* CM_LIST: the texts of the list, NULL at the end */
    const DURATION_DEF *duration;   /* CM_DURATION: its edits */
    CTRL_SAVE_FN       save;        /* NULL: saved by its kind; else saved by this (CM_STEP: always) */
} CTRL_MAP;

#define CM_FIELD(T, f) offsetof(T, f), sizeof(((T *)0)->f)
#define CM_TEXT_ROW(id, T, f)                { (id), CM_TEXT, CM_FIELD(T, f), 0, 0, NULL, NULL, NULL }
/* A text held to fewer characters than its field has room for (a path of at most 259). */
#define CM_TEXTMAX_ROW(id, T, f, maxChars)   { (id), CM_TEXT, CM_FIELD(T, f), 0, (maxChars), NULL, NULL, NULL }
#define CM_INT_ROW(id, T, f, range)          { (id), CM_INT, CM_FIELD(T, f), (range).minimum, (range).maximum, NULL, NULL, NULL }
#define CM_CHECK_ROW(id, T, f)               { (id), CM_CHECK, CM_FIELD(T, f), 0, 1, NULL, NULL, NULL }
#define CM_LIST_ROW(id, T, f, items, first)  { (id), CM_LIST, CM_FIELD(T, f), (first), 0, (items), NULL, NULL }
#define CM_RADIO_ROW(id, T, f, value)        { (id), CM_RADIO, CM_FIELD(T, f), (value), (value), NULL, NULL, NULL }
#define CM_SPIN_ROW(id, range)               { (id), CM_SPIN, 0, 0, (range).minimum, (range).maximum, NULL, NULL, NULL }
/* id: the duration's first edit, the one the operator goes to first. */
#define CM_DURATION_ROW(id, T, f, def)       { (id), CM_DURATION, CM_FIELD(T, f), (def).total.minimum, (def).total.maximum, NULL, &(def), NULL }
#define CM_STEP_ROW(fn)                      { 0, CM_STEP, 0, 0, 0, 0, NULL, NULL, (fn) }
/* A text or a number loaded by its kind and saved by fn. */
#define CM_TEXT_ROW_BY(id, T, f, fn)         { (id), CM_TEXT, CM_FIELD(T, f), 0, 0, NULL, NULL, (fn) }
#define CM_INT_ROW_BY(id, T, f, range, fn)   { (id), CM_INT, CM_FIELD(T, f), (range).minimum, (range).maximum, NULL, NULL, (fn) }

/* A field of a record that a dialog owns without a control of its table (copied back with it). */
typedef struct {
    size_t offset;
    size_t size;
} FIELD_SPAN;
#define FIELD_OF(T, f) { offsetof(T, f), sizeof(((T *)0)->f) }

/* Fills each control of the table from rec: texts limited to their field (so nothing typed is
   ever cut), numbers written with "%d", lists filled and selected, check boxes and radio buttons
   set, spin ranges set, durations split into their edits. A control the dialog lacks is traced
   and passed over; steps load nothing. */
void Load_Controls(HWND dlg, const CTRL_MAP *map, int count, const void *rec);
/* Moves the controls' contents into rec, row by row. A number is read through the field
   validation (Validate_Field, box titled title): a refused one stops the save at that row with
   FALSE, the operator having been asked and the field selected. A text longer than its field
   (put there other than by typing) is refused with a message naming the limit. A duration is read
   as its definition says; a row with a procedure of its own (and a step) is saved by it. TRUE
   when every row was stored. */
BOOL Save_Controls(HWND dlg, const CTRL_MAP *map, int count, void *rec, const char *title);
/* Copies the fields of the table's rows, and then those of the spans, from src to dst; nothing
   else of dst changes. */
void Copy_MappedFields(const CTRL_MAP *map, int count, const FIELD_SPAN *spans, int spanCount, void *dst,
                       const void *src);

/* Limits what can be typed into an edit or an editable drop-down to maxChars characters. */
void Limit_Text(HWND control, int maxChars);

/* The edits of a duration for value (count numbers, the largest unit first). */
void Split_Duration(int32_t value, const DURATION_DEF *def, int32_t *parts);
/* The value of the edits' numbers: each held to its edit's maximum when the duration is held,
   summed in 64 bits so that no sum overflows. */
int64_t Join_Duration(const DURATION_DEF *def, const int32_t *parts);
