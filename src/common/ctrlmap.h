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
       };
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
};

typedef struct {
    int                id;          /* control id */
    int                kind;        /* CM_... */
    size_t             offset;      /* of the field in the record */
    size_t             size;        /* of the field: a text's room with its terminator, 4 for numbers */
    int32_t            minimum;     /* CM_INT, CM_SPIN: range; CM_LIST: value of the first item; CM_RADIO: value */
    int32_t            maximum;     /* CM_TEXT: the most characters the text may have (0: the field's room) */
    const char *const *items;       /* CM_LIST: the texts of the list, NULL at the end */
} CTRL_MAP;

#define CM_FIELD(T, f) offsetof(T, f), sizeof(((T *)0)->f)
#define CM_TEXT_ROW(id, T, f)                { (id), CM_TEXT, CM_FIELD(T, f), 0, 0, NULL }
/* A text held to fewer characters than its field has room for (a path of at most 259). */
#define CM_TEXTMAX_ROW(id, T, f, maxChars)   { (id), CM_TEXT, CM_FIELD(T, f), 0, (maxChars), NULL }
#define CM_INT_ROW(id, T, f, range)          { (id), CM_INT, CM_FIELD(T, f), (range).minimum, (range).maximum, NULL }
#define CM_CHECK_ROW(id, T, f)               { (id), CM_CHECK, CM_FIELD(T, f), 0, 1, NULL }
#define CM_LIST_ROW(id, T, f, items, first)  { (id), CM_LIST, CM_FIELD(T, f), (first), 0, (items) }
#define CM_RADIO_ROW(id, T, f, value)        { (id), CM_RADIO, CM_FIELD(T, f), (value), (value), NULL }
#define CM_SPIN_ROW(id, range)               { (id), CM_SPIN, 0, 0, (range).minimum, (range).maximum, NULL }

/* A field of a record that a dialog owns without a control of its table (copied back with it). */
typedef struct {
    size_t offset;
    size_t size;
} FIELD_SPAN;
#define FIELD_OF(T, f) { offsetof(T, f), sizeof(((T *)0)->f) }

/* Fills each control of the table from rec: texts limited to their field (so nothing typed is
   ever cut), numbers written with "%d", lists filled and selected, check boxes and radio buttons
   set, spin ranges set. A control the dialog lacks is traced and passed over. */
void Load_Controls(HWND dlg, const CTRL_MAP *map, int count, const void *rec);
/* Moves the controls' contents into rec, row by row. A number is read through the field
   validation (Validate_Field, box titled title): a refused one stops the save at that row with
   FALSE, the operator having been asked and the field selected. A text longer than its field
   (put there other than by typing) is refused with a message naming the limit. TRUE when every
   row was stored. */
BOOL Save_Controls(HWND dlg, const CTRL_MAP *map, int count, void *rec, const char *title);
/* Copies the fields of the table's rows, and then those of the spans, from src to dst; nothing
   else of dst changes. */
void Copy_MappedFields(const CTRL_MAP *map, int count, const FIELD_SPAN *spans, int spanCount, void *dst,
                       const void *src);

/* Limits what can be typed into an edit or an editable drop-down to maxChars characters. */
void Limit_Text(HWND control, int maxChars);
