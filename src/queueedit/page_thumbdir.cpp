/* The Thumbnail Image Directory page: where the low-resolution copies of the queue's jobs are
   found. No two queues share a thumbnail directory, nor does one lie inside another's. */
#include "queueedit/pages.h"
#include "queueedit/pagewin.h"
#include "queueedit/queuetext.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "config/model.h"
#include "resources/resource.h"

static const CTRL_MAP k_ThumbDirMap[] = {
    CM_TEXTMAX_ROW(IDC_TD_PATH, Target, thumbnailDir, MAX_PATH - 1),
};

static Target *Copy_Of(HWND dlg) { return (Target *)Page_Copy(dlg); }

static void Load_ThumbDir(HWND dlg)
{
    SendDlgItemMessageA(dlg, IDC_TD_PATH, EM_SETSEL, 0, -1);
}

static void Select_Path(HWND dlg)
{
    SetFocus(GetDlgItem(dlg, IDC_TD_PATH));
    SendDlgItemMessageA(dlg, IDC_TD_PATH, EM_SETSEL, 0, -1);
}

/* Apart from every other queue's thumbnail directory, and a directory or a path on a drive (or
   none at all). A drive letter alone is taken as the drive's root before it is compared. */
static BOOL Write_ThumbDir(HWND dlg)
{
    Target *page = Copy_Of(dlg);
    BOOL valid = page->thumbnailDir[0] == '\0' || Check_DirText(page->thumbnailDir, sizeof page->thumbnailDir);
    int other = Find_ThumbOverlap(page->thumbnailDir, page->slotIndex);
    if (other >= 0) {
        Trace("Thumbnail directory overlaps that of queue %d\n", other + 1);
        Info_Box(programTitle, "The thumbnail directory should not be the parent or a child of another thumbnail "
                               "directory or be the same as another thumbnail directory.");
        Select_Path(dlg);
        return FALSE;
    }
    if (valid) return TRUE;
    Info_Box(programTitle, "The chosen directory is not a valid path name.  Please correct the entry or select an "
                           "existing directory using the chooser.");
    Select_Path(dlg);
    return FALSE;
}

static void On_Browse_Click(HWND dlg)
{
    Trace("Queue Low Res Image Dir Dlg: image Directory\n");
    Target *page = Copy_Of(dlg);
    Browse_Folder(dlg, IDC_TD_PATH, "Queue Low Resolution Image Directory", page->thumbnailDir, sizeof page->thumbnailDir);
}

/* Its OK writes the same trace line as the Inputs page's. */
const PAGE_DEF thumbDirPage = {
    "QueueLowResImageDir_Dlg(); wm_initdialog\n", "Queue Inputs Dlg: OK\n",
    "Queue Low Res Images Dir dialog called but no target pointer passed in.  Cannot show dialog",
    sizeof(Target), k_ThumbDirMap, ARRAY_LEN(k_ThumbDirMap), NULL, 0, IDOK, 0, Load_ThumbDir, Write_ThumbDir, NULL,
};

INT_PTR CALLBACK QueueLowResImageDir_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_TD_BROWSE: On_Browse_Click(hDlg); return TRUE;
        }
        break;
    }
    return Page_DefProc(hDlg, msg, wParam, lParam, &thumbDirPage);
}
