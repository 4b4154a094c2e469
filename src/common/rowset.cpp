#include "common/rowset.h"
#include "common/trace.h"
#include <stdlib.h>
#include <string.h>

void RowSet_Init(ROWSET *set) { memset(set, 0, sizeof *set); }

void RowSet_Free(ROWSET *set)
{
    free(set->rows);
    memset(set, 0, sizeof *set);
}

void RowSet_Clear(ROWSET *set)
{
    ROW *rows = set->rows;
    int room = set->room;
    memset(set, 0, sizeof *set);
    set->rows = rows;
    set->room = room;
}

void RowSet_SetGroupColumn(ROWSET *set, const char *heading) { Copy_Field(set->groupHeading, heading); }

BOOL RowSet_AddColumn(ROWSET *set, const char *heading, int width, int sort)
{
    if (set->columnCount >= ROW_COLUMNS) return FALSE;
    ROW_COLUMN *c = &set->columns[set->columnCount++];
    Copy_Field(c->heading, heading);
    c->width = width < 0 ? 0 : width;
    c->sort = sort;
    return TRUE;
}

void RowSet_SetLabel(ROWSET *set, const char *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    Format_TextV(set->label, sizeof set->label, fmt, args);
    va_end(args);
}

/* Room for at least need rows (never more than ROWS_MAX); FALSE when there is none. */
static BOOL Make_Room(ROWSET *set, int need)
{
    if (need <= set->room) return TRUE;
    if (need > ROWS_MAX) return FALSE;
    int room = set->room < 16 ? 16 : set->room * 2;
    if (room > ROWS_MAX) room = ROWS_MAX;
    if (room < need) room = need;
    ROW *rows = (ROW *)realloc(set->rows, (size_t)room * sizeof(ROW));
    if (rows == NULL) {
        Trace("RowSet: no memory for %d rows\n", room);
        return FALSE;
    }
    set->rows = rows;
    set->room = room;
    return TRUE;
}

ROW *RowSet_AddRow(ROWSET *set, const char *group, int rank, const ROW_REF *ref)
{
    if (!Make_Room(set, set->count + 1)) {
        set->dropped++;
        return NULL;
    }
    ROW *row = &set->rows[set->count++];
    memset(row, 0, sizeof *row);
    Copy_Field(row->group, group);
    row->rank = rank;
    if (ref != NULL) {
        row->ref = *ref;
    } else {
        row->ref.kind = ROWREF_NONE;
        row->ref.pos = -1;
    }
    return row;
}

BOOL Row_SetCell(ROW *row, int column, const char *fmt, ...)
{
    if (row == NULL || column < 0 || column >= ROW_COLUMNS) return FALSE;
    va_list args;
    va_start(args, fmt);
    BOOL whole = Format_TextV(row->cells[column], sizeof row->cells[column], fmt, args);
    va_end(args);
    return whole;
}

BOOL RowSet_Copy(ROWSET *dst, const ROWSET *src)
{
    if (dst == src) return TRUE;
    RowSet_Clear(dst);
    memcpy(dst->label, src->label, sizeof dst->label);
    memcpy(dst->groupHeading, src->groupHeading, sizeof dst->groupHeading);
    dst->columnCount = src->columnCount;
    memcpy(dst->columns, src->columns, sizeof dst->columns);
    int keep = src->count;
    while (keep > 0 && !Make_Room(dst, keep)) keep /= 2;
    if (keep > 0) memcpy(dst->rows, src->rows, (size_t)keep * sizeof(ROW));
    dst->count = keep;
    dst->dropped = src->dropped + (src->count - keep);
    return keep == src->count;
}

int RowSet_ShownColumns(const ROWSET *set) { return set->columnCount + (set->groupHeading[0] != '\0' ? 1 : 0); }

/* The set's own column a shown column stands for; -1 for the group column. */
static int Own_Column(const ROWSET *set, int shown) { return set->groupHeading[0] != '\0' ? shown - 1 : shown; }

const char *RowSet_Heading(const ROWSET *set, int shown)
{
    int c = Own_Column(set, shown);
    if (c < 0) return set->groupHeading;
    return c < set->columnCount ? set->columns[c].heading : "";
}

const char *RowSet_Cell(const ROWSET *set, int row, int shown)
{
    if (row < 0 || row >= set->count) return "";
    int c = Own_Column(set, shown);
    if (c < 0) return set->rows[row].group;
    return c < ROW_COLUMNS ? set->rows[row].cells[c] : "";
}

int RowSet_Width(const ROWSET *set, int shown)
{
    int c = Own_Column(set, shown);
    if (c < 0) return 80;                      /* a queue's name */
    return c < set->columnCount ? set->columns[c].width : 0;
}

/* ---- sorting ---- */

/* The number a cell begins with; cells without one sort first. */
static BOOL Leading_Number(const char *text, long long *value)
{
    return Read_Decimal(text, strlen(text), -0x7FFFFFFFFFFFFFFFLL, 0x7FFFFFFFFFFFFFFFLL, value, NULL);
}

static int Compare_Rows(const ROWSET *set, int shown, int a, int b)
{
    int c = Own_Column(set, shown);
    int sort = (c >= 0 && c < set->columnCount) ? set->columns[c].sort : ROWSORT_TEXT;
    if (sort == ROWSORT_RANK) {
        int ra = set->rows[a].rank, rb = set->rows[b].rank;
        return ra < rb ? -1 : ra > rb;
    }
    const char *ta = RowSet_Cell(set, a, shown), *tb = RowSet_Cell(set, b, shown);
    if (sort == ROWSORT_NUMBER) {
        long long na = 0, nb = 0;
        BOOL ha = Leading_Number(ta, &na), hb = Leading_Number(tb, &nb);
        if (ha != hb) return ha ? 1 : -1;
        if (ha && na != nb) return na < nb ? -1 : 1;
    }
    return Compare_NoCase(ta, tb);
}

void RowSet_Order(const ROWSET *set, int shown, BOOL descending, int *order)
{
    for (int i = 0; i < set->count; i++) order[i] = i;
    if (shown < 0 || shown >= RowSet_ShownColumns(set)) return;
    /* an insertion sort by halves (binary search for the place): stable, and a few thousand
       rows at most */
    for (int i = 1; i < set->count; i++) {
        int row = order[i], lo = 0, hi = i;
        while (lo < hi) {
            int mid = (lo + hi) / 2;
            int cmp = Compare_Rows(set, shown, order[mid], row);
            if (descending) cmp = -cmp;
            if (cmp <= 0) lo = mid + 1;
            else hi = mid;
        }
        memmove(order + lo + 1, order + lo, (size_t)(i - lo) * sizeof *order);
        order[lo] = row;
    }
}

/* ---- text ---- */

static void Put_Cell(OUTBUF *out, const char *text)
{
    for (const char *c = text; *c != '\0'; c++) OutBuf_Putc(out, (*c == '\t' || *c == '\r' || *c == '\n') ? ' ' : *c);
}

BOOL RowSet_Text(const ROWSET *set, const int *order, OUTBUF *out)
{
    int shown = RowSet_ShownColumns(set);
    for (int c = 0; c < shown; c++) {
        if (c > 0) OutBuf_Putc(out, '\t');
        Put_Cell(out, RowSet_Heading(set, c));
    }
    OutBuf_Puts(out, "\r\n");
    for (int i = 0; i < set->count; i++) {
        int row = order != NULL ? order[i] : i;
        for (int c = 0; c < shown; c++) {
            if (c > 0) OutBuf_Putc(out, '\t');
            Put_Cell(out, RowSet_Cell(set, row, c));
        }
        OutBuf_Puts(out, "\r\n");
    }
    return !out->failed;
}
