#include "lists/rowlist.h"
#include "common/anchor.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/text.h"
#include "common/trace.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <stdlib.h>
#include <string.h>

#define REST_MIN_WIDTH 60        /* the column of the rest is never narrower (dialog units) */

/* ---- the lists' own copies of their rows ---- */

/* What each attached list keeps, in a table of the program's own (a window property would cost
   a round trip to the window system under Wine for every text the list asks for). */
typedef struct {
    HWND   list;                 /* NULL: a free entry */
    ROWSET rows;
    int   *order;                /* order[i]: the row shown i-th */
    int    sortColumn;           /* -1: as filled */
    BOOL   descending;
} LIST_ROWS;

static LIST_ROWS s_Lists[ROWLISTS_MAX];

static LIST_ROWS *Rows_Of(HWND list)
{
    for (int i = 0; i < ROWLISTS_MAX; i++)
        if (list != NULL && s_Lists[i].list == list) return &s_Lists[i];
    return NULL;
}

BOOL RowList_Attach(HWND list)
{
    if (Rows_Of(list) != NULL) return TRUE;
    for (int i = 0; i < ROWLISTS_MAX; i++) {
        LIST_ROWS *r = &s_Lists[i];
        if (r->list != NULL) continue;
        memset(r, 0, sizeof *r);
        r->list = list;
        RowSet_Init(&r->rows);
        r->sortColumn = -1;
        SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
        return TRUE;
    }
    Trace("RowList_Attach: %d lists are attached already\n", ROWLISTS_MAX);
    return FALSE;
}

void RowList_Detach(HWND list)
{
    LIST_ROWS *r = Rows_Of(list);
    if (r == NULL) return;
    RowSet_Free(&r->rows);
    free(r->order);
    memset(r, 0, sizeof *r);
}

const ROWSET *RowList_Rows(HWND list)
{
    LIST_ROWS *r = Rows_Of(list);
    return r != NULL ? &r->rows : NULL;
}

static int Shown_Index(HWND list)
{
    return (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

const ROW *RowList_Selected(HWND list)
{
    LIST_ROWS *r = Rows_Of(list);
    int i = Shown_Index(list);
    if (r == NULL || i < 0 || i >= r->rows.count) return NULL;
    return &r->rows.rows[r->order[i]];
}

static void Select_Shown(HWND list, int i)
{
    LVITEMA it;
    memset(&it, 0, sizeof it);
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&it);
    if (i < 0) return;
    it.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)i, (LPARAM)&it);
    SendMessageA(list, LVM_ENSUREVISIBLE, (WPARAM)i, FALSE);
}

/* Where row now shows. */
static int Shown_Of(const LIST_ROWS *r, int row)
{
    for (int i = 0; i < r->rows.count; i++)
        if (r->order[i] == row) return i;
    return -1;
}

/* ---- columns ---- */

static int Dialog_Units(HWND list, int units)
{
    RECT rc = { 0, 0, units, 0 };
    MapDialogRect(GetParent(list), &rc);
    return rc.right;
}

static int Column_Count(HWND list)
{
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    return header != NULL ? (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0) : 0;
}

/* TRUE when the list's columns are the set's, heading by heading. */
static BOOL Same_Columns(HWND list, const ROWSET *set)
{
    int n = RowSet_ShownColumns(set);
    if (Column_Count(list) != n) return FALSE;
    for (int c = 0; c < n; c++) {
        char text[ROW_HEADING_LEN] = "";
        LVCOLUMNA col;
        memset(&col, 0, sizeof col);
        col.mask = LVCF_TEXT;
        col.pszText = text;
        col.cchTextMax = sizeof text;
        if (!SendMessageA(list, LVM_GETCOLUMNA, (WPARAM)c, (LPARAM)&col) || strcmp(text, RowSet_Heading(set, c)) != 0)
            return FALSE;
    }
    return TRUE;
}

static void Make_Columns(HWND list, const ROWSET *set)
{
    while (Column_Count(list) > 0) SendMessageA(list, LVM_DELETECOLUMN, 0, 0);
    for (int c = 0; c < RowSet_ShownColumns(set); c++) {
        char text[ROW_HEADING_LEN];
        Copy_Field(text, RowSet_Heading(set, c));
        int width = RowSet_Width(set, c);
        LVCOLUMNA col;
        memset(&col, 0, sizeof col);
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
        col.fmt = LVCFMT_LEFT;
        col.pszText = text;
        col.cx = Dialog_Units(list, width > 0 ? width : REST_MIN_WIDTH);
        col.iSubItem = c;
        SendMessageA(list, LVM_INSERTCOLUMNA, (WPARAM)c, (LPARAM)&col);
    }
}

void RowList_Fit(HWND list)
{
    LIST_ROWS *r = Rows_Of(list);
    if (r == NULL) return;
    int rest = -1, used = 0, n = RowSet_ShownColumns(&r->rows);
    if (Column_Count(list) != n) return;
    for (int c = 0; c < n; c++) {
        if (RowSet_Width(&r->rows, c) == 0 && rest < 0) rest = c;
        else used += (int)SendMessageA(list, LVM_GETCOLUMNWIDTH, (WPARAM)c, 0);
    }
    if (rest < 0) return;
    RECT client;
    GetClientRect(list, &client);
    int width = client.right - used;
    /* room for a vertical scroll bar that more rows would bring, so no horizontal one appears */
    if (!(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL)) width -= GetSystemMetrics(SM_CXVSCROLL);
    int least = Dialog_Units(list, REST_MIN_WIDTH);
    SendMessageA(list, LVM_SETCOLUMNWIDTH, (WPARAM)rest, width > least ? width : least);
}

/* Marks the heading the list is sorted on, with the direction. */
static void Mark_Headings(HWND list, const LIST_ROWS *r)
{
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    if (header == NULL) return;
    int n = (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0);
    for (int c = 0; c < n; c++) {
        HDITEMA hd;
        memset(&hd, 0, sizeof hd);
        hd.mask = HDI_FORMAT;
        SendMessageA(header, HDM_GETITEMA, (WPARAM)c, (LPARAM)&hd);
        hd.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
        if (c == r->sortColumn) hd.fmt |= r->descending ? HDF_SORTDOWN : HDF_SORTUP;
        SendMessageA(header, HDM_SETITEMA, (WPARAM)c, (LPARAM)&hd);
    }
}

/* ---- rows ---- */

BOOL RowList_Show(HWND list, const ROWSET *set)
{
    LIST_ROWS *r = Rows_Of(list);
    if (r == NULL) return FALSE;
    Trace("RowList_Show ( %d rows, %d not kept )\n", set->count, set->dropped);
    /* the row selected now, to be selected again where it still is */
    ROW was;
    const ROW *sel = RowList_Selected(list);
    int wasShown = Shown_Index(list);
    BOOL hadSel = sel != NULL;
    if (hadSel) was = *sel;

    BOOL whole = RowSet_Copy(&r->rows, set);
    int *order = (int *)realloc(r->order, (size_t)(r->rows.count > 0 ? r->rows.count : 1) * sizeof(int));
    if (order == NULL) {
        Trace("RowList_Show: no memory for the order of the rows\n");
        r->rows.dropped += r->rows.count;
        r->rows.count = 0;
        order = r->order;
        whole = FALSE;
    }
    r->order = order;
    if (r->sortColumn >= RowSet_ShownColumns(&r->rows)) r->sortColumn = -1;
    if (r->order != NULL) RowSet_Order(&r->rows, r->sortColumn, r->descending, r->order);
    if (!Same_Columns(list, &r->rows)) Make_Columns(list, &r->rows);
    Mark_Headings(list, r);
    SendMessageA(list, LVM_SETITEMCOUNT, (WPARAM)r->rows.count, 0);

    int now = -1;
    if (hadSel) {
        for (int i = 0; i < r->rows.count && now < 0; i++) {
            const ROW *row = &r->rows.rows[i];
            if (was.ref.kind != ROWREF_NONE && memcmp(&row->ref, &was.ref, sizeof was.ref) == 0 &&
                strcmp(row->group, was.group) == 0)
                now = Shown_Of(r, i);
        }
        if (now < 0 && r->rows.count > 0) now = wasShown < r->rows.count ? wasShown : r->rows.count - 1;
    }
    Select_Shown(list, now);
    RowList_Fit(list);
    InvalidateRect(list, NULL, TRUE);
    return whole;
}

void RowList_Sort(HWND list, int shown, BOOL descending)
{
    LIST_ROWS *r = Rows_Of(list);
    if (r == NULL) return;
    if (shown < -1 || shown >= RowSet_ShownColumns(&r->rows)) shown = -1;
    Trace("RowList_Sort ( column %d%s )\n", shown, descending ? ", descending" : "");
    int i = Shown_Index(list);
    int row = (i >= 0 && i < r->rows.count) ? r->order[i] : -1;
    r->sortColumn = shown;
    r->descending = shown >= 0 && descending;
    if (r->order != NULL) RowSet_Order(&r->rows, r->sortColumn, r->descending, r->order);
    Mark_Headings(list, r);
    if (row >= 0) Select_Shown(list, Shown_Of(r, row));
    InvalidateRect(list, NULL, TRUE);
}

void RowList_GetSort(HWND list, int *shown, BOOL *descending)
{
    LIST_ROWS *r = Rows_Of(list);
    *shown = r != NULL ? r->sortColumn : -1;
    *descending = r != NULL && r->descending;
}

BOOL RowList_Copy(HWND list)
{
    LIST_ROWS *r = Rows_Of(list);
    if (r == NULL) return FALSE;
    Trace("RowList_Copy ( %d rows )\n", r->rows.count);
    OUTBUF text;
    OutBuf_Init(&text);
    BOOL ok = RowSet_Text(&r->rows, r->order, &text) && OutBuf_Putc(&text, '\0');
    HGLOBAL mem = ok ? GlobalAlloc(GMEM_MOVEABLE, text.len) : NULL;
    void *at = mem != NULL ? GlobalLock(mem) : NULL;
    if (at != NULL) {
        memcpy(at, text.data, text.len);
        GlobalUnlock(mem);
    }
    OutBuf_Free(&text);
    if (at == NULL || !OpenClipboard(GetParent(list))) {
        Trace("RowList_Copy: the clipboard was refused (error %lu)\n", (unsigned long)GetLastError());
        if (mem != NULL) GlobalFree(mem);
        return FALSE;
    }
    EmptyClipboard();
    BOOL put = SetClipboardData(CF_TEXT, mem) != NULL;
    if (!put) GlobalFree(mem);             /* the clipboard took it only on success */
    CloseClipboard();
    return put;
}

/* The text a list of ANSI or Unicode notifications asks for. */
static void Give_Text(const LIST_ROWS *r, int item, int sub, char *ansi, WCHAR *wide, int cap)
{
    const char *text = (item >= 0 && item < r->rows.count) ? RowSet_Cell(&r->rows, r->order[item], sub) : "";
    if (cap <= 0) return;
    if (ansi != NULL) Copy_Text(ansi, (size_t)cap, text);
    else if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, cap) == 0) wide[cap - 1] = 0;
}

/* The first row from start on (round to the start) whose first shown cell begins with text. */
static int Find_Row(const LIST_ROWS *r, const char *text, int start)
{
    int n = r->rows.count;
    if (n == 0 || text == NULL) return -1;
    for (int k = 0; k < n; k++) {
        int i = (start + k) % n;
        if (Starts_With_NoCase(RowSet_Cell(&r->rows, r->order[i], 0), text)) return i;
    }
    return -1;
}

BOOL RowList_Notify(const NMHDR *nm)
{
    LIST_ROWS *r = Rows_Of(nm->hwndFrom);
    if (r == NULL) return FALSE;
    switch (nm->code) {
    case LVN_GETDISPINFOA: {
        LVITEMA *it = &((NMLVDISPINFOA *)nm)->item;
        if (it->mask & LVIF_TEXT) Give_Text(r, it->iItem, it->iSubItem, it->pszText, NULL, it->cchTextMax);
        return TRUE;
    }
    case LVN_GETDISPINFOW: {
        LVITEMW *it = &((NMLVDISPINFOW *)nm)->item;
        if (it->mask & LVIF_TEXT) Give_Text(r, it->iItem, it->iSubItem, NULL, it->pszText, it->cchTextMax);
        return TRUE;
    }
    case LVN_COLUMNCLICK: {
        int c = ((const NMLISTVIEW *)nm)->iSubItem;
        /* a click on the sorted heading turns the order round */
        RowList_Sort(nm->hwndFrom, c, c == r->sortColumn ? !r->descending : FALSE);
        return TRUE;
    }
    case LVN_ODFINDITEMA: {
        const NMLVFINDITEMA *f = (const NMLVFINDITEMA *)nm;
        int found = (f->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) ? Find_Row(r, f->lvfi.psz, f->iStart) : -1;
        SetWindowLongPtrA(GetParent(nm->hwndFrom), DWLP_MSGRESULT, found);
        return TRUE;
    }
    case LVN_KEYDOWN:
        if (((const NMLVKEYDOWN *)nm)->wVKey == 'C' && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0) {
            RowList_Copy(nm->hwndFrom);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

/* ---- "Sort by:" ---- */

void RowList_SortChoices(HWND combo, HWND list)
{
    LIST_ROWS *r = Rows_Of(list);
    if (r == NULL) return;
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM) "As listed");
    for (int c = 0; c < RowSet_ShownColumns(&r->rows); c++) {
        char text[ROW_HEADING_LEN + 16];
        Format_Text(text, sizeof text, "%s, ascending", RowSet_Heading(&r->rows, c));
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)text);
        Format_Text(text, sizeof text, "%s, descending", RowSet_Heading(&r->rows, c));
        SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)text);
    }
    int at = r->sortColumn < 0 ? 0 : 1 + 2 * r->sortColumn + (r->descending ? 1 : 0);
    SendMessageA(combo, CB_SETCURSEL, (WPARAM)at, 0);
}

void RowList_SortChosen(HWND combo, HWND list)
{
    int at = (int)SendMessageA(combo, CB_GETCURSEL, 0, 0);
    if (at < 0) return;
    if (at == 0) RowList_Sort(list, -1, FALSE);
    else RowList_Sort(list, (at - 1) / 2, (at - 1) % 2 == 1);
}

/* ---- the dialog ---- */

static const ANCHOR k_RowAnchors[] = {
    { IDC_RL_LABEL,      FALSE, FALSE, TRUE,  FALSE },
    { IDC_RL_LIST,       FALSE, FALSE, TRUE,  TRUE  },
    { IDC_RL_SORT_LABEL, FALSE, TRUE,  FALSE, FALSE },
    { IDC_RL_SORT,       FALSE, TRUE,  FALSE, FALSE },
    { IDOK,              TRUE,  TRUE,  FALSE, FALSE },
    { IDC_RL_COPY,       TRUE,  TRUE,  FALSE, FALSE },
    { IDCANCEL,          TRUE,  TRUE,  FALSE, FALSE },
    { IDC_RL_GRIP,       TRUE,  TRUE,  FALSE, FALSE },
};

typedef struct {
    const ROWLIST_DEF *def;
    HWND               list;
    ANCHOR_LAYOUT      layout;
} ROWLIST_STATE;

static ROWLIST_STATE *RowState_Of(HWND hDlg) { return (ROWLIST_STATE *)GetWindowLongPtrA(hDlg, DWLP_USER); }

/* The label above the list: the rows' own, and how many were not kept. */
static void Show_Label(HWND hDlg, const ROWSET *set)
{
    char text[ROW_LABEL_LEN + 64];
    Copy_Field(text, set->label[0] != '\0' ? set->label : "&Rows:");
    if (set->dropped > 0) {
        char more[64];
        Format_Text(more, sizeof more, " (%d more not shown)", set->dropped);
        Append_Field(text, more);
    }
    SetDlgItemTextA(hDlg, IDC_RL_LABEL, text);
}

/* Fills the rows (again); FALSE when the fill failed (the list keeps what it showed). */
static BOOL Fill_Rows(HWND hDlg, ROWLIST_STATE *st)
{
    ROWSET set;
    RowSet_Init(&set);
    BOOL ok = st->def->fill(&set, st->def->context);
    if (ok) {
        RowList_Show(st->list, &set);
        Show_Label(hDlg, RowList_Rows(st->list));
    } else {
        Trace("RowList_Dlg: the rows could not be filled\n");
    }
    RowSet_Free(&set);
    return ok;
}

static BOOL Can_Open(const ROWLIST_STATE *st, const ROW *row)
{
    return st->def->open != NULL && row != NULL && row->ref.kind != ROWREF_NONE;
}

static void Update_Open(HWND hDlg, ROWLIST_STATE *st)
{
    HWND open = GetDlgItem(hDlg, IDOK);
    BOOL on = Can_Open(st, RowList_Selected(st->list));
    if (!on && GetFocus() == open) SendMessageA(hDlg, WM_NEXTDLGCTL, (WPARAM)st->list, TRUE);
    EnableWindow(open, on);
}

static void Open_Row(HWND hDlg, ROWLIST_STATE *st)
{
    const ROW *sel = RowList_Selected(st->list);
    if (!Can_Open(st, sel)) return;
    ROW row = *sel;                     /* the list's copy goes when the rows are filled again */
    Trace("RowList_Dlg: open ( kind %d, pos %d, page %d, tag %d )\n", row.ref.kind, row.ref.pos, row.ref.page,
          row.ref.tag);
    if (st->def->open(hDlg, &row, st->def->context)) {
        Fill_Rows(hDlg, st);
        RowList_SortChoices(GetDlgItem(hDlg, IDC_RL_SORT), st->list);
    }
    Update_Open(hDlg, st);
}

static BOOL On_RowListInit(HWND hDlg, const ROWLIST_DEF *def)
{
    Trace("RowList_Dlg(); wm_initdialog: %s\n", def->title);
    ROWLIST_STATE *st = (ROWLIST_STATE *)calloc(1, sizeof *st);
    if (st == NULL) {
        EndDialog(hDlg, -1);
        return FALSE;
    }
    SetWindowLongPtrA(hDlg, DWLP_USER, (LONG_PTR)st);
    st->def = def;
    st->list = GetDlgItem(hDlg, IDC_RL_LIST);
    SetWindowTextA(hDlg, def->title);
    if (!RowList_Attach(st->list) || !Fill_Rows(hDlg, st)) {
        EndDialog(hDlg, -1);
        return FALSE;
    }
    RowList_Sort(st->list, def->sortColumn, def->descending);
    RowList_SortChoices(GetDlgItem(hDlg, IDC_RL_SORT), st->list);
    if (def->open == NULL) {
        ShowWindow(GetDlgItem(hDlg, IDOK), SW_HIDE);
        SendMessageA(hDlg, DM_SETDEFID, IDCANCEL, 0);
    }
    if (RowList_Rows(st->list)->count > 0) Select_Shown(st->list, 0);
    Update_Open(hDlg, st);
    Note_Anchors(hDlg, &st->layout, k_RowAnchors, (int)ARRAY_LEN(k_RowAnchors));
    Centre_Window(hDlg);
    SetFocus(st->list);
    return FALSE;                       /* the focus is set */
}

static BOOL On_RowListNotify(HWND hDlg, ROWLIST_STATE *st, const NMHDR *nm)
{
    if (nm->hwndFrom != st->list) return FALSE;
    BOOL handled = RowList_Notify(nm);
    switch (nm->code) {
    case LVN_COLUMNCLICK:
        RowList_SortChoices(GetDlgItem(hDlg, IDC_RL_SORT), st->list);
        break;
    case LVN_ITEMCHANGED:
        Update_Open(hDlg, st);
        break;
    case NM_DBLCLK:
        if (((const NMITEMACTIVATE *)nm)->iItem >= 0) Open_Row(hDlg, st);
        return TRUE;
    }
    return handled;
}

INT_PTR CALLBACK RowList_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) return On_RowListInit(hDlg, (const ROWLIST_DEF *)lParam);
    ROWLIST_STATE *st = RowState_Of(hDlg);
    if (st == NULL) return FALSE;
    switch (msg) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:        Open_Row(hDlg, st);                                                  return TRUE;
        case IDC_RL_COPY: RowList_Copy(st->list);                                              return TRUE;
        case IDCANCEL:    EndDialog(hDlg, IDCANCEL);                                           return TRUE;
        case IDC_RL_SORT:
            if (HIWORD(wParam) == CBN_SELCHANGE) RowList_SortChosen((HWND)lParam, st->list);
            return TRUE;
        }
        break;
    case WM_NOTIFY:
        return On_RowListNotify(hDlg, st, (const NMHDR *)lParam);
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) {
            Apply_Anchors(hDlg, &st->layout, LOWORD(lParam), HIWORD(lParam));
            RowList_Fit(st->list);
        }
        return TRUE;
    case WM_GETMINMAXINFO:
        Limit_Anchors(&st->layout, (MINMAXINFO *)lParam);
        return TRUE;
    case WM_DESTROY:
        Trace("RowList_Dlg, WM_DESTROY\n");
        RowList_Detach(st->list);
        SetWindowLongPtrA(hDlg, DWLP_USER, 0);
        free(st);
        return TRUE;
    }
    return FALSE;
}

INT_PTR Show_RowList(HWND owner, const ROWLIST_DEF *def)
{
    Trace("Show_RowList ( %s )\n", def->title);
    INITCOMMONCONTROLSEX icc = { sizeof icc, ICC_LISTVIEW_CLASSES };
    InitCommonControlsEx(&icc);
    HINSTANCE inst = hInstance != NULL ? hInstance : GetModuleHandleA(NULL);
    INT_PTR r = DialogBoxParamA(inst, MAKEINTRESOURCEA(IDD_ROWLIST), owner, RowList_Dlg, (LPARAM)def);
    if (r == -1) Trace("Show_RowList: the dialog could not be shown\n");
    return r;
}
