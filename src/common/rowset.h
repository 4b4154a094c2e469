/* Rows of text for a read-only list: the findings of a check, the changes a save would make,
   where a queue is used. A feature computes its rows and puts copies of their texts in a ROWSET,
   each with what the row stands for (a ROW_REF), an optional group (the queue a row concerns)
   and a rank (its severity or kind, to sort on); the list that shows them (lists/rowlist) keeps
   a copy of its own, so nothing of the caller's is held after the call. Everything is bounded:
   texts are cut to their fields, and rows past ROWS_MAX are counted, not kept.

       ROWSET set;
       RowSet_Init(&set);
       RowSet_SetGroupColumn(&set, "Queue");
       RowSet_AddColumn(&set, "Severity", 40, ROWSORT_RANK);
       RowSet_AddColumn(&set, "Problem", 0, ROWSORT_TEXT);       // 0: the rest of the width
       ROW_REF ref = { ROWREF_TARGET, 12, QPAGE_CLEANUP, 0 };    // "open queue 12 on the Clean-Up page"
       ROW *row = RowSet_AddRow(&set, "Proofer", 0, &ref);
       if (row != NULL) {
           Row_SetCell(row, 0, "error");
           Row_SetCell(row, 1, "The done directory lies inside the hot directory of %s.", other);
       }
       RowSet_SetLabel(&set, "&Findings: %d errors, %d warnings", errors, warnings);
       ...
       RowSet_Free(&set);

   Window-free: the order of a sort and the text of a copy are made here. */
#pragma once
#include <windows.h>
#include "common/text.h"

#define ROW_COLUMNS      5       /* text columns of a row, the group not counted */
#define ROW_CELL_LEN     261     /* a cell of up to 260 characters (a path) */
#define ROW_GROUP_LEN    261     /* a group of up to 260 characters (a queue's name) */
#define ROW_HEADING_LEN  64
#define ROW_LABEL_LEN    261
#define ROWS_MAX         4000    /* rows one set keeps; more are counted in dropped */

/* How a column sorts. */
#define ROWSORT_TEXT     0       /* its text, without regard to case */
#define ROWSORT_NUMBER   1       /* the number its text begins with; an empty cell comes first */
#define ROWSORT_RANK     2       /* the row's rank (severity, kind), not its text */

/* What a row stands for, handed back when the row is opened. The kinds are the caller's to
   read; these are the ones the configuration has. */
#define ROWREF_NONE      0       /* nothing to open */
#define ROWREF_TARGET    1       /* an output queue: pos its position, page the QUEUE_PAGE with the field */
#define ROWREF_LBQ       2       /* an input queue: pos its position */
#define ROWREF_APP       3       /* an application entry: pos its position */
#define ROWREF_GLOBALS   4       /* the preferences */
#define ROWREF_USERS     5       /* the users */
#define ROWREF_FILE      6       /* a file of the installation: tag the line, where it has one */
typedef struct {
    int kind;                    /* ROWREF_... */
    int pos;                     /* a position in its array, -1 for none */
    int page;                    /* a QUEUE_PAGE (config/queuepages.h) for an output queue */
    int tag;                     /* the caller's own number (a field, a line) */
} ROW_REF;

typedef struct {
    char    group[ROW_GROUP_LEN];                /* "" when the row belongs to no group */
    int     rank;                                /* the sort key of a ROWSORT_RANK column */
    ROW_REF ref;
    char    cells[ROW_COLUMNS][ROW_CELL_LEN];
} ROW;

typedef struct {
    char heading[ROW_HEADING_LEN];
    int  width;                  /* in dialog units; 0: what is left of the list's width */
    int  sort;                   /* ROWSORT_... */
} ROW_COLUMN;

typedef struct {
    char       label[ROW_LABEL_LEN];          /* the line above the list, with its mnemonic ("&Findings: ...") */
    char       groupHeading[ROW_HEADING_LEN]; /* "": the rows show no group column */
    int        columnCount;
    ROW_COLUMN columns[ROW_COLUMNS];
    int        count;                         /* rows kept */
    int        dropped;                       /* rows that were not kept: past ROWS_MAX, or no memory */
    int        room;                          /* rows allocated */
    ROW       *rows;
} ROWSET;

void RowSet_Init(ROWSET *set);
void RowSet_Free(ROWSET *set);
/* Empties the set: no rows, no columns, no label. */
void RowSet_Clear(ROWSET *set);
/* The group column (shown first); a set without one shows no group. */
void RowSet_SetGroupColumn(ROWSET *set, const char *heading);
/* Adds a column; FALSE when the set has ROW_COLUMNS already. */
BOOL RowSet_AddColumn(ROWSET *set, const char *heading, int width, int sort);
void RowSet_SetLabel(ROWSET *set, const char *fmt, ...) __attribute__((format(printf, 2, 3)));
/* A new row with empty cells, its group, rank and what it stands for (ref NULL: nothing); NULL
   when it cannot be kept (it is then counted in dropped). */
ROW *RowSet_AddRow(ROWSET *set, const char *group, int rank, const ROW_REF *ref);
/* Formats a cell's text; FALSE when it was cut to the cell (or the column does not exist). */
BOOL Row_SetCell(ROW *row, int column, const char *fmt, ...) __attribute__((format(printf, 3, 4)));
/* dst becomes a copy of src (dst initialised before). FALSE when there was no memory for the rows:
   dst then holds the columns and as many rows as it could, the rest counted in dropped. */
BOOL RowSet_Copy(ROWSET *dst, const ROWSET *src);

/* The columns as a list shows them: the group column first when there is one, then the set's. */
int         RowSet_ShownColumns(const ROWSET *set);
const char *RowSet_Heading(const ROWSET *set, int shown);
const char *RowSet_Cell(const ROWSET *set, int row, int shown);
int         RowSet_Width(const ROWSET *set, int shown);    /* dialog units; 0 for the rest */

/* The rows' order sorted by a shown column (-1: as they were added), into order[0..count):
   order[i] is the row shown i-th. Rows that compare equal keep the order they were added in,
   in either direction. */
void RowSet_Order(const ROWSET *set, int shown, BOOL descending, int *order);
/* The rows in that order as text for the clipboard: the headings, then one line a row, the
   cells joined by tabs (a tab or line break in a cell becomes a blank), every line ended with
   CR LF. FALSE when the buffer failed. */
BOOL RowSet_Text(const ROWSET *set, const int *order, OUTBUF *out);
