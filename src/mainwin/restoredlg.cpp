#include "mainwin/restoredlg.h"
#include "common/appstate.h"
#include "common/msg.h"
#include "common/trace.h"
#include "config/backuprows.h"
#include "lists/rowlist.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <stdlib.h>

typedef struct {
    BACKUP_SUMMARY list[MAX_BACKUPS_LISTED];
    int            count;
    ROWSET         rows;
    ROWSET         diff;
    int            shown;      /* the backup whose difference is shown, -1 for none */
} RESTORE_STATE;

static RESTORE_STATE *State_Of(HWND hDlg) { return (RESTORE_STATE *)GetWindowLongPtrA(hDlg, DWLP_USER); }

/* The backup of the selected row, -1 for none. */
static int Selected_Backup(HWND hDlg)
{
    const ROW *row = RowList_Selected(GetDlgItem(hDlg, IDC_RESTORE_LIST));
    return row != NULL ? row->ref.tag : -1;
}

/* Shows the difference of the selected backup, and lets Restore take it unless it is damaged. */
static void On_Selected(HWND hDlg, RESTORE_STATE *st)
{
    int i = Selected_Backup(hDlg);
    EnableWindow(GetDlgItem(hDlg, IDC_RESTORE_DO), i >= 0 && !st->list[i].damaged);
    if (i == st->shown) return;
    st->shown = i;
    if (i < 0) {
        RowSet_Clear(&st->diff);
        RowSet_AddColumn(&st->diff, "Change", 0, ROWSORT_RANK);
        RowSet_SetLabel(&st->diff, st->count > 0 ? "&Changed since the backup selected:" : "&Changed since: there are no backups yet");
    } else {
        HCURSOR was = SetCursor(LoadCursor(NULL, IDC_WAIT));
        Fill_BackupDiff(&st->diff, st->list[i].name);
        SetCursor(was);
    }
    SetDlgItemTextA(hDlg, IDC_RESTORE_DIFF_LABEL, st->diff.label);
    RowList_Show(GetDlgItem(hDlg, IDC_RESTORE_DIFF), &st->diff);
}

static void On_Restore(HWND hDlg, RESTORE_STATE *st)
{
    int i = Selected_Backup(hDlg);
    if (i < 0 || st->list[i].damaged) return;
    Trace("Restore_Dlg: restoring %s\n", st->list[i].name);
    if (!Restore_Backup(st->list[i].name)) {
        Info_Box(programTitle, "The backup \"%s\" cannot be read whole: it was not restored.", st->list[i].name);
        return;
    }
    EndDialog(hDlg, IDOK);
}

static BOOL On_Init(HWND hDlg)
{
    Trace("Restore_Dlg(); wm_initdialog\n");
    RESTORE_STATE *st = (RESTORE_STATE *)calloc(1, sizeof *st);
    if (st == NULL) {
        EndDialog(hDlg, -1);
        return TRUE;
    }
    SetWindowLongPtrA(hDlg, DWLP_USER, (LONG_PTR)st);
    RowSet_Init(&st->rows);
    RowSet_Init(&st->diff);
    st->shown = -2;
    HCURSOR was = SetCursor(LoadCursor(NULL, IDC_WAIT));
    st->count = Summarize_Backups(st->list, MAX_BACKUPS_LISTED);
    SetCursor(was);
    Fill_BackupRows(&st->rows, st->list, st->count);
    HWND list = GetDlgItem(hDlg, IDC_RESTORE_LIST);
    RowList_Attach(list);
    RowList_Attach(GetDlgItem(hDlg, IDC_RESTORE_DIFF));
    RowList_Show(list, &st->rows);
    SetDlgItemTextA(hDlg, IDC_RESTORE_LABEL, st->rows.label);
    if (st->count > 0) ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    On_Selected(hDlg, st);
    SetFocus(list);
    return FALSE;
}

INT_PTR CALLBACK Restore_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    RESTORE_STATE *st = State_Of(hDlg);
    switch (msg) {
    case WM_INITDIALOG:
        return On_Init(hDlg);
    case WM_NOTIFY: {
        const NMHDR *nm = (const NMHDR *)lParam;
        if (st != NULL && nm->idFrom == IDC_RESTORE_LIST && nm->code == LVN_ITEMCHANGED) On_Selected(hDlg, st);
        if (RowList_Notify(nm)) return TRUE;
        break;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_RESTORE_DO:
            if (st != NULL) On_Restore(hDlg, st);
            return TRUE;
        case IDOK:          /* Enter: Restore when it may, else nothing */
            if (st != NULL && IsWindowEnabled(GetDlgItem(hDlg, IDC_RESTORE_DO))) On_Restore(hDlg, st);
            return TRUE;
        case IDCANCEL:
            EndDialog(hDlg, IDCANCEL);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        RowList_Detach(GetDlgItem(hDlg, IDC_RESTORE_LIST));
        RowList_Detach(GetDlgItem(hDlg, IDC_RESTORE_DIFF));
        if (st != NULL) {
            RowSet_Free(&st->rows);
            RowSet_Free(&st->diff);
            free(st);
            SetWindowLongPtrA(hDlg, DWLP_USER, 0);
        }
        break;
    }
    return FALSE;
}

INT_PTR Show_Restore(HWND owner)
{
    Trace("Show_Restore()\n");
    return DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_RESTORE), owner, Restore_Dlg, 0);
}
