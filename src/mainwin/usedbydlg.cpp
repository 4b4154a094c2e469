#include "mainwin/usedbydlg.h"
#include "config/model.h"
#include "config/queuepages.h"
#include "config/undo.h"
#include "config/usedby.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "lists/rowlist.h"
#include "queueedit/lbqedit.h"
#include "queueedit/targetman.h"
#include "resources/resource.h"
#include <string.h>

/* The queue editor on the page that holds a field. */
static int Edit_TargetOnPageOf(HWND owner, int pos, QUEUE_PAGE page)
{
    return Edit_TargetOnPage(owner, pos, page);
}

int Edit_QueueStep(HWND owner, int pos, int page)
{
    Undo_Begin();
    int result = Edit_TargetOnPageOf(owner, pos, (QUEUE_PAGE)page);
    Undo_End("edit %s", pos >= 0 && pos < targetCount ? targets[pos].name : "queue");
    return result;
}

int Edit_InputQueueStep(HWND owner, int pos)
{
    Undo_Begin();
    int result = Edit_LBQ(owner, pos);
    Undo_End("edit input queue %s", pos >= 0 && pos < lbqCount ? lbqs[pos].name : "");
    return result;
}

/* ---- the list of uses ---- */

typedef struct {
    int  pos;                            /* the output queue, or -1 */
    char path[TEXT_LEN];                 /* the application path */
} USES_OF;

static BOOL Fill_Uses(ROWSET *set, void *context)
{
    const USES_OF *of = (const USES_OF *)context;
    return of->pos >= 0 ? Fill_QueueUseRows(set, of->pos) : Fill_AppUseRows(set, of->path);
}

static BOOL Open_Use(HWND owner, const ROW *row, void *context)
{
    USES_OF *of = (USES_OF *)context;
    Trace("Used by: open %s %d\n", row->ref.kind == ROWREF_LBQ ? "input queue" : "queue", row->ref.pos + 1);
    if (row->ref.kind == ROWREF_LBQ) {
        if (row->ref.pos < 0 || row->ref.pos >= lbqCount) return FALSE;
        Edit_InputQueueStep(owner, row->ref.pos);
    } else if (row->ref.kind == ROWREF_TARGET) {
        if (row->ref.pos < 0 || row->ref.pos >= targetCount) return FALSE;
        Edit_QueueStep(owner, row->ref.pos, row->ref.page);
    } else {
        return FALSE;
    }
    if (of->pos >= targetCount) of->pos = targetCount - 1;
    return TRUE;
}

void Show_QueueUses(HWND owner, int pos)
{
    Trace("Show_QueueUses ( %d ) \n", pos);
    static USES_OF of;
    of.pos = pos;
    of.path[0] = '\0';
    ROWLIST_DEF def = { "Used By", Fill_Uses, Open_Use, &of, -1, FALSE };
    Show_RowList(owner, &def);
}

/* ---- the question for an application path ---- */

typedef struct {
    char  *path;
    size_t cap;
} USEDBY_ASK;

INT_PTR CALLBACK UsedByApp_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: {
        Trace("UsedByApp_Dlg(); wm_initdialog\n");
        SetWindowLongPtrA(hDlg, DWLP_USER, lParam);
        Centre_Window(hDlg);
        HWND combo = GetDlgItem(hDlg, IDC_UA_PATH);
        SendMessageA(combo, CB_LIMITTEXT, TEXT_LEN - 1, 0);
        const char *paths[MAX_APPS];
        int n = List_AppPaths(paths, MAX_APPS);
        for (int i = 0; i < n; i++) SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)paths[i]);
        const USEDBY_ASK *ask = (const USEDBY_ASK *)lParam;
        if (ask->path[0] != '\0') SetWindowTextA(combo, ask->path);
        else if (n > 0) SendMessageA(combo, CB_SETCURSEL, 0, 0);
        SendMessageA(hDlg, WM_NEXTDLGCTL, (WPARAM)combo, TRUE);
        return FALSE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            USEDBY_ASK *ask = (USEDBY_ASK *)GetWindowLongPtrA(hDlg, DWLP_USER);
            GetDlgItemTextA(hDlg, IDC_UA_PATH, ask->path, (int)ask->cap);
            if (ask->path[strspn(ask->path, " \"")] == '\0') {
                /* no path: nothing to look for */
                Play_Beep(MB_OK);
                SetFocus(GetDlgItem(hDlg, IDC_UA_PATH));
                return TRUE;
            }
            EndDialog(hDlg, IDOK);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(hDlg, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

BOOL Ask_AppPath(HWND owner, char *path, size_t cap)
{
    USEDBY_ASK ask = { path, cap };
    INT_PTR r = DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_USEDBY_APP), owner, UsedByApp_Dlg, (LPARAM)&ask);
    return r == IDOK;
}

BOOL Show_AppUses(HWND owner)
{
    Trace("Show_AppUses ()\n");
    static USES_OF of;
    of.pos = -1;
    of.path[0] = '\0';
    if (!Ask_AppPath(owner, of.path, sizeof of.path)) return FALSE;
    ROWLIST_DEF def = { "Used By", Fill_Uses, Open_Use, &of, -1, FALSE };
    Show_RowList(owner, &def);
    return TRUE;
}
