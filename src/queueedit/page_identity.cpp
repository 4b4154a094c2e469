/* The Identity page: the queue's mutex group, whether it hands over to another queue of its
   group when it has nothing to do, and its output identity. */
#include "queueedit/pages.h"
#include "queueedit/queuetext.h"
#include "common/text.h"
#include "config/model.h"
#include "resources/resource.h"
#include <stddef.h>

static const CTRL_MAP k_IdentityMap[] = {
    CM_TEXT_ROW(IDC_ID_MUTEX, Target, mutexGroup),
    CM_CHECK_ROW(IDC_ID_SWITCH, Target, switchIfIdle),
    CM_TEXT_ROW(IDC_ID_IDENTITY, Target, outputIdentity),
};

/* Fills the drop-down list of a box with the names the queues use in one field (at offset):
   each name once, spelt as where it first appears, in the order of first appearance; then puts
   text in the box. */
static void Fill_UsedNames(HWND dlg, int id, size_t offset, const char *text)
{
    HWND box = GetDlgItem(dlg, id);
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < targetCount; i++) {
        const char *name = (const char *)&targets[i] + offset;
        if (name[0] == '\0') continue;
        BOOL seen = FALSE;
        for (int j = 0; j < i && !seen; j++) seen = Compare_NoCase(name, (const char *)&targets[j] + offset) == 0;
        if (!seen) SendMessageA(box, CB_ADDSTRING, 0, (LPARAM)name);
    }
    SetWindowTextA(box, text);
}

static void Load_Identity(HWND dlg)
{
    const Target *page = (const Target *)Page_Copy(dlg);
    Fill_UsedNames(dlg, IDC_ID_MUTEX, offsetof(Target, mutexGroup), page->mutexGroup);
    Fill_UsedNames(dlg, IDC_ID_IDENTITY, offsetof(Target, outputIdentity), page->outputIdentity);
}

/* Blanks alone name no group and no identity; a queue in no group switches to no other. */
static BOOL Write_Identity(HWND dlg)
{
    Target *page = (Target *)Page_Copy(dlg);
    if (Is_BlankText(page->mutexGroup)) page->mutexGroup[0] = '\0';
    if (page->mutexGroup[0] == '\0') page->switchIfIdle = FALSE;
    if (Is_BlankText(page->outputIdentity)) page->outputIdentity[0] = '\0';
    return TRUE;
}

const PAGE_DEF identityPage = {
    "QueueIdentity_Dlg(); wm_initdialog\n", "Queue Identity Dlg: OK\n",
    "Queue Identity dialog called but no target pointer passed in.  Cannot show dialog",
    sizeof(Target), k_IdentityMap, ARRAY_LEN(k_IdentityMap), NULL, 0, IDOK, 0, Load_Identity, Write_Identity, NULL,
};

INT_PTR CALLBACK QueueIdentity_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return Page_DefProc(hDlg, msg, wParam, lParam, &identityPage);
}
