#include "common/frame.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/msg.h"
#include "common/trace.h"
#include <stdlib.h>
#include <string.h>

/* One block per open frame: this header, then the working copy, then the frame's own state. */
typedef struct {
    const FRAME_DEF *def;
    void            *copy;
    void            *extra;
    BOOL             focusSet;     /* open or load put the focus somewhere */
    BOOL             closed;       /* close has run */
} FRAME_STATE;

static FRAME_STATE *State_Of(HWND dlg) { return (FRAME_STATE *)GetWindowLongPtrA(dlg, DWLP_USER); }

void *Frame_Copy(HWND dlg)  { FRAME_STATE *s = State_Of(dlg); return s ? s->copy : NULL; }
void *Frame_Extra(HWND dlg) { FRAME_STATE *s = State_Of(dlg); return s ? s->extra : NULL; }

void Frame_Focus(HWND dlg, int id)
{
    FRAME_STATE *s = State_Of(dlg);
    HWND control = GetDlgItem(dlg, id);
    if (control == NULL) return;
    SetFocus(control);
    if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageA(control, EM_SETSEL, 0, -1);
    if (s != NULL) s->focusSet = TRUE;
}

static void Run_Close(HWND dlg, FRAME_STATE *s, BOOL committed)
{
    if (s == NULL || s->closed) return;
    s->closed = TRUE;
    if (s->def->close) s->def->close(dlg, committed);
}

void Frame_Close(HWND dlg, BOOL committed)
{
    FRAME_STATE *s = State_Of(dlg);
    if (s == NULL || s->closed) return;
    Run_Close(dlg, s, committed);
    EndDialog(dlg, committed ? s->def->okResult : s->def->cancelResult);
}

static BOOL Frame_Open(HWND dlg, LPARAM lParam, const FRAME_DEF *def)
{
    if (def->initTrace) Trace("%s", def->initTrace);
    /* header, copy and state in one block, each part aligned for any record */
    size_t head = (sizeof(FRAME_STATE) + 15) & ~(size_t)15;
    size_t copy = (def->recordSize + 15) & ~(size_t)15;
    FRAME_STATE *s = (FRAME_STATE *)calloc(1, head + copy + def->extraSize);
    if (s == NULL) {
        Trace("Frame_Open: no memory for the working copy\n");
        Info_Box(programTitle, "There is not enough memory to show this dialog.");
        EndDialog(dlg, def->cancelResult);
        return TRUE;
    }
    s->def = def;
    s->copy = def->recordSize ? (char *)s + head : NULL;
    s->extra = def->extraSize ? (char *)s + head + copy : NULL;
    SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)s);
    Centre_Window(dlg);
    if (def->open && !def->open(dlg, lParam)) {
        Frame_Close(dlg, FALSE);
        return TRUE;
    }
    Load_Controls(dlg, def->map, def->mapCount, s->copy);
    if (def->load) def->load(dlg);
    return !s->focusSet;
}

BOOL Frame_Ok(HWND dlg)
{
    FRAME_STATE *s = State_Of(dlg);
    if (s == NULL || s->closed) return FALSE;
    const FRAME_DEF *def = s->def;
    if (!Save_Controls(dlg, def->map, def->mapCount, s->copy, programTitle)) return FALSE;
    if (def->check && !def->check(dlg)) return FALSE;
    if (def->commit && !def->commit(dlg)) return FALSE;
    Frame_Close(dlg, TRUE);
    return TRUE;
}

INT_PTR Frame_DefProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam, const FRAME_DEF *def)
{
    switch (msg) {
    case WM_INITDIALOG:
        return Frame_Open(dlg, lParam, def);
    case WM_COMMAND:
        if (State_Of(dlg) == NULL) break;
        if (LOWORD(wParam) == def->okId || LOWORD(wParam) == IDOK) { Frame_Ok(dlg); return TRUE; }
        if (LOWORD(wParam) == IDCANCEL) { Frame_Close(dlg, FALSE); return TRUE; }
        break;
    case WM_DESTROY: {
        /* a frame ended otherwise than by OK or Cancel (its owner went, the session ends) still
           lets go of what it holds */
        FRAME_STATE *s = State_Of(dlg);
        Run_Close(dlg, s, FALSE);
        SetWindowLongPtrA(dlg, DWLP_USER, 0);
        free(s);
        return FALSE;
    }
    }
    return FALSE;
}
