#include "queueedit/pagewin.h"
#include "common/dlgutil.h"
#include <commctrl.h>

void Draw_QueueIcon(HDC hdc, int x, int y, HICON icon)
{
    if (icon == NULL) return;
    int size = MulDiv(32, GetDeviceCaps(hdc, LOGPIXELSY), 96);
    /* An icon of the resources (loaded at the system's icon size) is drawn from its own image of
       that size, not stretched; any other icon is stretched. */
    HICON fit = NULL;
    ICONINFO ii;
    if (GetIconInfo(icon, &ii)) {
        BITMAP bm;
        BOOL sized = GetObjectA(ii.hbmColor != NULL ? ii.hbmColor : ii.hbmMask, sizeof bm, &bm) && bm.bmWidth == size;
        if (ii.hbmColor != NULL) DeleteObject(ii.hbmColor);
        if (ii.hbmMask != NULL) DeleteObject(ii.hbmMask);
        if (!sized) fit = (HICON)CopyImage(icon, IMAGE_ICON, size, size, LR_COPYFROMRESOURCE);
    }
    DrawIconEx(hdc, x, y, fit != NULL ? fit : icon, size, size, 0, NULL, DI_NORMAL);
    if (fit != NULL) DestroyIcon(fit);
}

BOOL Browse_Folder(HWND dlg, int editId, const char *title, char *field, size_t cap)
{
    char cwd[MAX_PATH];
    DWORD n = GetCurrentDirectoryA(sizeof cwd, cwd);
    GetDlgItemTextA(dlg, editId, field, (int)cap);
    BOOL chosen = Choose_Folder(dlg, title, field, cap);
    if (n > 0 && n < sizeof cwd) SetCurrentDirectoryA(cwd);
    SetDlgItemTextA(dlg, editId, field);
    return chosen;
}

typedef void (*ENTER_FN)(HWND dlg);

static LRESULT CALLBACK Enter_Proc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR ref)
{
    switch (msg) {
    case WM_GETDLGCODE: {
        /* the dialog asks before it takes Enter for its default button */
        const MSG *m = (const MSG *)lParam;
        LRESULT code = DefSubclassProc(edit, msg, wParam, lParam);
        if (m != NULL && m->message == WM_KEYDOWN && m->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
        if (wParam != VK_RETURN) break;
        ((ENTER_FN)ref)(GetParent(edit));
        return 0;
    case WM_CHAR:
        if (wParam == '\r') return 0;       /* no beep for it */
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, Enter_Proc, 0);
        break;
    }
    return DefSubclassProc(edit, msg, wParam, lParam);
}

BOOL Take_EnterKey(HWND edit, void (*onEnter)(HWND dlg))
{
    return edit != NULL && onEnter != NULL && SetWindowSubclass(edit, Enter_Proc, 0, (DWORD_PTR)onEnter);
}
