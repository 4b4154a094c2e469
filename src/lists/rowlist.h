/* The list of rows: a read-only, resizable dialog (IDD_ROWLIST) that shows the rows a feature
   computed (common/rowset.h): the findings of a check, the changes a save would make, where a
   queue is used. It holds no logic of its own: the caller's fill procedure gives the rows, and
   its open procedure acts on the row the operator opens.

       static BOOL Fill_Findings(ROWSET *set, void *context)  { ...columns and rows...; return TRUE; }
       static BOOL Open_Finding(HWND owner, const ROW *row, void *context)
       {
           if (row->ref.kind != ROWREF_TARGET) return FALSE;
           Edit_Target_OnPage(owner, row->ref.pos, (QUEUE_PAGE)row->ref.page);
           return TRUE;                                  // the rows are computed again
       }
       ROWLIST_DEF def = { "Check", Fill_Findings, Open_Finding, NULL, 1, FALSE };
       Show_RowList(hDlg, &def);

   What the operator gets: the label the rows carry above the list; one column a shown column
   (the group first, when the rows have one), each sortable by a click on its heading (again:
   the other way round) or by keyboard with "Sort by:"; Enter, "Open" or a double click on a row
   that stands for something calls the open procedure (the owner of what it opens is the list's
   dialog), and when it answers TRUE the rows are filled again, keeping the sort and, where it is
   still there, the selected row; "Copy" (or Ctrl+C in the list) puts every row, as sorted, on
   the clipboard as tab-separated text with the headings; Close or Esc ends it. The label's
   mnemonic must not be B, C or O (Sort by, Copy, Open).

   The same list inside a dialog of its own (the restore and import dialogs): a report list view
   with LVS_OWNERDATA in the template, then
       RowList_Attach(list); RowList_Show(list, &set);       // WM_INITDIALOG (and to show new rows)
       if (RowList_Notify((NMHDR *)lParam)) return TRUE;     // WM_NOTIFY: texts, sorting, Ctrl+C
       RowList_Fit(list);                                    // after the list was resized
       RowList_Detach(list);                                 // WM_DESTROY
   The list keeps its own copy of the rows; RowList_Selected gives the selected one. */
#pragma once
#include <windows.h>
#include "common/rowset.h"

/* Fills set (given empty) with the columns, the label and the rows to show. FALSE when they
   could not be had (the operator has been told): the list then keeps what it showed, or does
   not open. */
typedef BOOL (*ROWS_FILL)(ROWSET *set, void *context);
/* The operator opened a row that stands for something (row->ref.kind is not ROWREF_NONE); row
   is the list's copy, valid for the call. TRUE when the rows are to be filled again. */
typedef BOOL (*ROW_OPEN)(HWND owner, const ROW *row, void *context);

typedef struct {
    const char *title;       /* the dialog's caption */
    ROWS_FILL   fill;
    ROW_OPEN    open;        /* NULL: no row opens anything (no Open button) */
    void       *context;     /* handed to fill and open */
    int         sortColumn;  /* the shown column sorted on at first; -1: as filled */
    BOOL        descending;
} ROWLIST_DEF;

/* Shows the rows modally over owner. IDCANCEL when closed; -1 when the dialog could not be made
   or the rows could not be filled. */
INT_PTR Show_RowList(HWND owner, const ROWLIST_DEF *def);
/* The dialog procedure; the creation argument is the ROWLIST_DEF. */
INT_PTR CALLBACK RowList_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);

/* ---- a list of rows in any dialog ---- */
#define ROWLISTS_MAX 8

/* Makes a report list view with LVS_OWNERDATA a list of rows: whole rows selected, no rows yet.
   FALSE when ROWLISTS_MAX lists are attached already. */
BOOL RowList_Attach(HWND list);
/* Shows a copy of set. Columns are made when the list has none or set's differ; the sort stays
   and the selection stays on the row that stands for the same thing (else on the same place).
   FALSE when the list is not attached or not every row could be copied (those are dropped). */
BOOL RowList_Show(HWND list, const ROWSET *set);
/* A WM_NOTIFY of an attached list: the texts it asks for, a click on a heading (sorts), typing
   a row's first letters, Ctrl+C (copies). TRUE when it was one of those. */
BOOL RowList_Notify(const NMHDR *nm);
/* Sorts by a shown column (-1: as filled), marking its heading. */
void RowList_Sort(HWND list, int shown, BOOL descending);
void RowList_GetSort(HWND list, int *shown, BOOL *descending);
/* The selected row (the list's copy), or NULL. */
const ROW *RowList_Selected(HWND list);
/* The rows the list holds, in the list's copy (NULL when not attached). */
const ROWSET *RowList_Rows(HWND list);
/* The rows as shown, with the headings, on the clipboard as text. FALSE when it was refused. */
BOOL RowList_Copy(HWND list);
/* The column of the rest (width 0) takes what the list's width leaves. */
void RowList_Fit(HWND list);
/* Forgets the list's rows (WM_DESTROY). */
void RowList_Detach(HWND list);

/* "Sort by:" for the keyboard: a drop-down list of "As listed" and each shown column ascending
   and descending, showing the list's sort; and the sort of the entry chosen. */
void RowList_SortChoices(HWND combo, HWND list);
void RowList_SortChosen(HWND combo, HWND list);
