#include "mainwin/checkdlg.h"
#include "mainwin/maindlg.h"
#include "config/findings.h"
#include "config/layoutchecks.h"
#include "config/queuepages.h"
#include "lists/queuelists.h"
#include "lists/rowlist.h"
#include "queueedit/lbqedit.h"
#include "queueedit/targetman.h"
#include "common/rowset.h"
#include "common/trace.h"
#include "resources/resource.h"

/* Opens the queue editor on the page that holds a field. */
static int Open_QueueOnPage(HWND owner, int pos, QUEUE_PAGE page)
{
    Trace("Open_QueueOnPage ( %d, %d )\n", pos, (int)page);
    return Edit_TargetOnPage(owner, pos, page);
}

static FINDINGS s_Findings;     /* ~0.5 MB: one list, filled for each showing */

static BOOL Fill_Findings(ROWSET *set, void *context)
{
    (void)context;
    Check_All(&s_Findings);
    int errors = 0, warnings = 0;
    Count_Findings(&s_Findings, &errors, &warnings);
    RowSet_SetGroupColumn(set, "Queue");
    RowSet_AddColumn(set, "Severity", 40, ROWSORT_RANK);
    RowSet_AddColumn(set, "Where", 64, ROWSORT_TEXT);
    RowSet_AddColumn(set, "Problem", 0, ROWSORT_TEXT);
    if (errors + warnings == 0) RowSet_SetLabel(set, "&Findings: none; the configuration is in order");
    else RowSet_SetLabel(set, "&Findings: %d error%s, %d warning%s", errors, errors == 1 ? "" : "s", warnings,
                         warnings == 1 ? "" : "s");
    for (int i = 0; i < s_Findings.count; i++) {
        const FINDING *f = &s_Findings.items[i];
        BOOL queue = (f->aboutKind == ROWREF_TARGET || f->aboutKind == ROWREF_LBQ);
        ROW_REF ref = { queue ? f->aboutKind : ROWREF_NONE, f->aboutPos, f->page, f->line };
        ROW *row = RowSet_AddRow(set, queue ? f->aboutName : f->file, f->severity, &ref);
        if (row == NULL) continue;
        Row_SetCell(row, 0, "%s", Severity_Word(f->severity));
        if (f->line > 0) Row_SetCell(row, 1, "%s:%d", f->file, f->line);
        else Row_SetCell(row, 1, "%s", f->file);
        Row_SetCell(row, 2, "%s", f->text);
    }
    return TRUE;
}

static BOOL Open_Finding(HWND owner, const ROW *row, void *context)
{
    (void)context;
    if (row->ref.kind == ROWREF_TARGET && row->ref.pos >= 0 && row->ref.pos < targetCount) {
        Open_QueueOnPage(owner, row->ref.pos, (QUEUE_PAGE)row->ref.page);
        return TRUE;
    }
    if (row->ref.kind == ROWREF_LBQ && row->ref.pos >= 0 && row->ref.pos < lbqCount) {
        Edit_LBQ(owner, row->ref.pos);
        return TRUE;
    }
    return FALSE;
}

void On_Check(HWND hDlg)
{
    Trace("Check\n");
    ROWLIST_DEF def = { "Check", Fill_Findings, Open_Finding, NULL, 0, FALSE };
    Show_RowList(hDlg, &def);
    /* an editor opened from the list may have changed any queue */
    Refresh_TargetList(GetDlgItem(hDlg, IDC_MAIN_TARGETS));
    Refresh_LBQList(GetDlgItem(hDlg, IDC_MAIN_LBQS));
    PostMessageA(hDlg, WM_MAIN_TARGET_BUTTONS, 0, 0);
    PostMessageA(hDlg, WM_MAIN_LBQ_BUTTONS, 0, 0);
}
