#include "common/page.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/msg.h"
#include "common/trace.h"
#include <stdlib.h>
#include <string.h>

/* One block per open page: this header, then the page copy, then the page's own state. */
typedef struct {
    const PAGE_DEF *def;
    void           *work;
    void           *copy;
    void           *extra;
    BOOL            closed;          /* the page's close has run */
} PAGE_STATE;

static PAGE_STATE *State_Of(HWND dlg) { return (PAGE_STATE *)GetWindowLongPtrA(dlg, DWLP_USER); }

void *Page_Copy(HWND dlg)  { PAGE_STATE *s = State_Of(dlg); return s ? s->copy : NULL; }
void *Page_Work(HWND dlg)  { PAGE_STATE *s = State_Of(dlg); return s ? s->work : NULL; }
void *Page_Extra(HWND dlg) { PAGE_STATE *s = State_Of(dlg); return s ? s->extra : NULL; }

void Page_Load(HWND dlg)
{
    PAGE_STATE *s = State_Of(dlg);
    if (s == NULL) return;
    Trace("WRITE_PAGE_DATA\n");
    Load_Controls(dlg, s->def->map, s->def->mapCount, s->copy);
    if (s->def->load) s->def->load(dlg);
}

static BOOL Page_Open(HWND dlg, LPARAM lParam, const PAGE_DEF *def)
{
    Trace("%s", def->initTrace);
    if (lParam == 0) {
        Info_Box(programTitle, "%s", def->noRecordText);
        EndDialog(dlg, 0);
        return TRUE;
    }
    /* header, copy and state in one block, each part aligned for any record */
    size_t head = (sizeof(PAGE_STATE) + 15) & ~(size_t)15;
    size_t copy = (def->recordSize + 15) & ~(size_t)15;
    PAGE_STATE *s = (PAGE_STATE *)calloc(1, head + copy + def->extraSize);
    if (s == NULL) {
        Trace("Page_Open: no memory for the page\n");
        Info_Box(programTitle, "There is not enough memory to show this dialog.");
        EndDialog(dlg, 0);
        return TRUE;
    }
    s->def = def;
    s->work = (void *)lParam;
    s->copy = (char *)s + head;
    s->extra = def->extraSize ? (char *)s + head + copy : NULL;
    memcpy(s->copy, s->work, def->recordSize);
    SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)s);
    Centre_Window(dlg);
    Page_Load(dlg);
    return TRUE;
}

/* The page's close, once: from OK or Cancel, or when the page goes without either. */
static void Run_Close(HWND dlg, PAGE_STATE *s, BOOL committed)
{
    if (s == NULL || s->closed) return;
    s->closed = TRUE;
    if (s->def->close) s->def->close(dlg, committed);
}

static void Page_Close(HWND dlg, BOOL committed)
{
    Run_Close(dlg, State_Of(dlg), committed);
    EndDialog(dlg, 0);
}

BOOL Page_Ok(HWND dlg)
{
    PAGE_STATE *s = State_Of(dlg);
    if (s == NULL) return FALSE;
    const PAGE_DEF *def = s->def;
    Trace("%s", def->okTrace);
    if (!Save_Controls(dlg, def->map, def->mapCount, s->copy, programTitle)) return FALSE;
    if (def->write && !def->write(dlg)) return FALSE;
    Copy_MappedFields(def->map, def->mapCount, def->owned, def->ownedCount, s->work, s->copy);
    Page_Close(dlg, TRUE);
    return TRUE;
}

INT_PTR Page_DefProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam, const PAGE_DEF *def)
{
    switch (msg) {
    case WM_INITDIALOG:
        return Page_Open(dlg, lParam, def);
    case WM_COMMAND:
        if (LOWORD(wParam) == def->okId || LOWORD(wParam) == IDOK) { Page_Ok(dlg); return TRUE; }
        if (LOWORD(wParam) == IDCANCEL) { Page_Close(dlg, FALSE); return TRUE; }
        break;
    case WM_DESTROY: {
        /* a page ended otherwise than by OK or Cancel (its owner went, the session ends) still
           lets go of what it holds */
        PAGE_STATE *s = State_Of(dlg);
        Run_Close(dlg, s, FALSE);
        SetWindowLongPtrA(dlg, DWLP_USER, 0);
        free(s);
        return FALSE;
    }
    }
    return FALSE;
}
