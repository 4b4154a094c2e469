#include "common/anchor.h"
#include "common/dlgutil.h"
#include "common/trace.h"

void Note_Anchors(HWND dlg, ANCHOR_LAYOUT *lay, const ANCHOR *anchors, int count)
{
    if (count > ANCHORS_MAX) {
        Trace("Note_Anchors: %d anchors, %d kept\n", count, ANCHORS_MAX);
        count = ANCHORS_MAX;
    }
    RECT client, window;
    GetClientRect(dlg, &client);
    GetWindowRect(dlg, &window);
    lay->anchors = anchors;
    lay->count = count;
    lay->laidOut.cx = client.right;
    lay->laidOut.cy = client.bottom;
    lay->smallest.cx = window.right - window.left;
    lay->smallest.cy = window.bottom - window.top;
    for (int i = 0; i < count; i++)
        if (!Get_ControlRect(dlg, anchors[i].id, &lay->rects[i])) SetRectEmpty(&lay->rects[i]);
}

void Apply_Anchors(HWND dlg, const ANCHOR_LAYOUT *lay, int width, int height)
{
    int dx = width - lay->laidOut.cx, dy = height - lay->laidOut.cy;
    if (dx < 0) dx = 0;
    if (dy < 0) dy = 0;
    HDWP defer = BeginDeferWindowPos(lay->count);
    for (int i = 0; i < lay->count && defer != NULL; i++) {
        const ANCHOR *a = &lay->anchors[i];
        HWND ctl = GetDlgItem(dlg, a->id);
        if (ctl == NULL) continue;
        const RECT *r = &lay->rects[i];
        int x = r->left + (a->moveX ? dx : 0), y = r->top + (a->moveY ? dy : 0);
        int w = (r->right - r->left) + (a->growX ? dx : 0), h = (r->bottom - r->top) + (a->growY ? dy : 0);
        defer = DeferWindowPos(defer, ctl, NULL, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (defer != NULL) EndDeferWindowPos(defer);
}

void Limit_Anchors(const ANCHOR_LAYOUT *lay, MINMAXINFO *mmi)
{
    mmi->ptMinTrackSize.x = lay->smallest.cx;
    mmi->ptMinTrackSize.y = lay->smallest.cy;
}
