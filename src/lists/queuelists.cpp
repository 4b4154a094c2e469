#include "lists/queuelists.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "lists/appicons.h"
#include <shellapi.h>
#include <string.h>

#define ITEM_TEXT_LEN   260     /* item texts are cut at 259 characters before they are fitted */
#define FITTED_TEXT_LEN 300

static const char k_TargetColumn[] = "Output Queues";
static const char k_LBQColumn[] = "Load Balanced Input Queues";

int Scale_ForDpi(int n)
{
    static int s_Dpi;
    if (s_Dpi == 0) {
        HDC screen = GetDC(NULL);
        s_Dpi = (screen != NULL) ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen != NULL) ReleaseDC(NULL, screen);
        if (s_Dpi <= 0) s_Dpi = 96;
    }
    return MulDiv(n, s_Dpi, 96);
}

int Queue_IconSize(void) { return Scale_ForDpi(QUEUE_ICON_SIZE); }

HICON Target_Icon(const Target *t)
{
    HICON icon = t->icon;
    if (icon == NULL) {
        if (t->noProcesses || t->processRef == NO_PROCESSES) {
            icon = sharedIcons[ICON_NO_PROCESSES];
        } else if (t->usesGroup) {
            if (t->processRef >= 0 && t->processRef < MAX_APPGROUPS)
                icon = sharedIcons[appGroups[t->processRef].parallel ? ICON_PARALLEL : ICON_SERIES];
        } else if (t->processRef >= 0 && t->processRef < MAX_APPS) {
            icon = apps[t->processRef].icon;
        }
    }
    /* A reference to nothing, or an application whose icon could not be had: the program icon,
       which also stands for an application without one. */
    if (icon == NULL) icon = sharedIcons[ICON_PROGRAM];
    return icon;
}

/* An icon for a list image that must exist even when the program's own icons are not loaded. */
static HICON Some_Icon(HICON icon)
{
    if (icon == NULL) icon = sharedIcons[ICON_PROGRAM];
    if (icon == NULL) icon = LoadIconA(NULL, (LPCSTR)IDI_APPLICATION);
    return icon;
}

/* ---- images ---- */

/* Images are put into an output queue list's image list when their item is first drawn: a list
   of 200 queues shows a dozen at a time, and taking an icon from its file, or into an image
   list, is slow. What each output queue list keeps beside its image list, in a table of the
   program's own (a window property or a subclass would cost a round trip to the window system
   for every message the list takes, under Wine): */
typedef struct {
    HWND  list;                       /* NULL: a free entry */
    int   count;                      /* images in the image list (the output queues when it was made) */
    BOOL  shown[MAX_TARGETS];         /* image i holds the icon of the queue at position i */
    BOOL  drawn;                      /* the list has drawn an item */
} LIST_IMAGES;

#define LISTS_KEPT 8                  /* the main dialog's, a chooser's, an input queue editor's... */
static LIST_IMAGES s_Lists[LISTS_KEPT];

static LIST_IMAGES *Images_State(HWND list)
{
    for (int k = 0; k < LISTS_KEPT; k++)
        if (list != NULL && s_Lists[k].list == list) return &s_Lists[k];
    return NULL;
}

/* An entry for a new list: its own if it has one, else a free one or one whose list is gone
   (a dialog that did not destroy its list's images). NULL when all are taken. */
static LIST_IMAGES *New_ImagesState(HWND list)
{
    LIST_IMAGES *st = Images_State(list);
    for (int k = 0; k < LISTS_KEPT && st == NULL; k++)
        if (s_Lists[k].list == NULL || !IsWindow(s_Lists[k].list)) st = &s_Lists[k];
    if (st != NULL) {
        memset(st, 0, sizeof *st);
        st->list = list;
    }
    return st;
}

static void Set_ItemState(HWND list, int item, UINT state, UINT mask);

/* ---- narrowing ----

   A list narrowed by the find field shows only some queues; its items still carry the queue's
   position as their data and image, so every command reads the queue from the item. What each
   narrowed list shows is kept in a table of the program's own, as the images are. */
typedef struct {
    HWND list;                        /* NULL: a free entry */
    BOOL shown[MAX_QUEUES];           /* the queue at position i is shown */
} LIST_FILTER;
static LIST_FILTER s_Filters[LISTS_KEPT];

/* The queues selected when a narrowing hid them all, so that they are selected again when they
   are shown again (the field cleared); forgotten when the list is filled anew from the arrays,
   whose positions may have changed. */
typedef struct {
    HWND list;
    int  count;
    int  positions[MAX_QUEUES];
    int  focus;
} LIST_KEPT_SELECTION;
static LIST_KEPT_SELECTION s_Kept[LISTS_KEPT];

static LIST_KEPT_SELECTION *Kept_Of(HWND list, BOOL make)
{
    for (int k = 0; k < LISTS_KEPT; k++)
        if (list != NULL && s_Kept[k].list == list) return &s_Kept[k];
    if (!make) return NULL;
    for (int k = 0; k < LISTS_KEPT; k++)
        if (s_Kept[k].list == NULL || !IsWindow(s_Kept[k].list)) {
            memset(&s_Kept[k], 0, sizeof s_Kept[k]);
            s_Kept[k].list = list;
            return &s_Kept[k];
        }
    return NULL;
}

static void Forget_KeptSelection(HWND list)
{
    LIST_KEPT_SELECTION *kept = Kept_Of(list, FALSE);
    if (kept != NULL) kept->list = NULL;
}

static LIST_FILTER *Filter_Of(HWND list)
{
    for (int k = 0; k < LISTS_KEPT; k++)
        if (list != NULL && s_Filters[k].list == list) return &s_Filters[k];
    return NULL;
}

static BOOL Is_Shown(const LIST_FILTER *f, int pos) { return f == NULL || (pos >= 0 && pos < MAX_QUEUES && f->shown[pos]); }

BOOL Is_ListNarrowed(HWND list) { return Filter_Of(list) != NULL; }

int Find_QueueItem(HWND list, int pos)
{
    if (list == NULL || pos < 0) return -1;
    LVFINDINFOA fi;
    memset(&fi, 0, sizeof fi);
    fi.flags = LVFI_PARAM;
    fi.lParam = pos;
    return (int)SendMessageA(list, LVM_FINDITEMA, (WPARAM)-1, (LPARAM)&fi);
}

/* The queue's own icon, taken from its file the first time it is shown. A file that gives none
   leaves the queue with the default icon and its icon setting as it was. */
static void Take_OwnIcon(Target *t)
{
    if (t->icon != NULL || t->iconPath[0] == '\0' || strcmp(t->iconPath, " ") == 0) return;
    HICON icon = ExtractIconA(hInstance != NULL ? hInstance : GetModuleHandleA(NULL), t->iconPath, 0);
    t->icon = (icon == (HICON)1) ? NULL : icon;         /* 1: "not a file with icons" */
    if (t->icon == NULL) Trace("Take_OwnIcon: no icon in \"%s\" for queue \"%s\"\n", t->iconPath, t->name);
}

/* The icon a queue shows (Target_Icon), its own icon or its application's taken from their files
   first where they have not been yet. */
static HICON Shown_Icon(Target *t)
{
    Take_OwnIcon(t);
    if (t->icon == NULL && !t->noProcesses && !t->usesGroup && t->processRef != NO_PROCESSES)
        App_Icon(t->processRef);
    return Some_Icon(Target_Icon(t));
}

/* Puts icon into image i. An icon of the list's size in 32-bit colour goes in as its own
   bitmaps: the image list's own way with an icon looks the icon up again each time (copying it
   from its resource), which costs several times as much. */
static BOOL Put_Icon(HIMAGELIST images, int i, HICON icon)
{
    int side = Queue_IconSize();
    BOOL done = FALSE;
    ICONINFO ii;
    if (GetIconInfo(icon, &ii)) {
        BITMAP bm;
        if (ii.hbmColor != NULL && ii.hbmMask != NULL && GetObjectA(ii.hbmColor, sizeof bm, &bm) &&
            bm.bmWidth == side && bm.bmHeight == side && bm.bmBitsPixel == 32)
            done = ImageList_Replace(images, i, ii.hbmColor, ii.hbmMask);
        if (ii.hbmColor != NULL) DeleteObject(ii.hbmColor);
        if (ii.hbmMask != NULL) DeleteObject(ii.hbmMask);
    }
    return done || ImageList_ReplaceIcon(images, i, icon) == i;
}

/* Puts the icon of the queue at position i into image i, unless it is there already. */
static void Fill_Image(HIMAGELIST images, LIST_IMAGES *st, int i)
{
    if (i < 0 || i >= st->count || i >= targetCount || st->shown[i]) return;
    if (!Put_Icon(images, i, Shown_Icon(&targets[i]))) Trace("Fill_Image: no image for queue %d\n", i + 1);
    st->shown[i] = TRUE;
}

/* When an output queue list has first drawn its items, the icons of all applications are taken
   for the editors that can be opened from it, a few at each turn of a timer: a timer comes only
   when nothing else waits, so the lists answer the operator meanwhile. */
#define ICONS_PER_TURN 2

static UINT_PTR s_IconTimer;

static void CALLBACK Take_SomeIcons(HWND, UINT, UINT_PTR, DWORD)
{
    if (Assign_SomeAppIcons(ICONS_PER_TURN) && s_IconTimer != 0) {
        KillTimer(NULL, s_IconTimer);
        s_IconTimer = 0;
    }
}

int Fill_ListImages(HWND list)
{
    LIST_IMAGES *st = Images_State(list);
    HIMAGELIST images = (HIMAGELIST)SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0);
    if (st == NULL || images == NULL) return 0;
    int filled = 0;
    for (int i = 0; i < st->count; i++) {
        if (st->shown[i] || i >= targetCount) continue;
        Fill_Image(images, st, i);
        filled++;
    }
    return filled;
}

BOOL Build_TargetImageList(HWND list)
{
    int side = Queue_IconSize();
    int n = targetCount;
    HIMAGELIST images = ImageList_Create(side, side, ILC_MASK | ILC_COLOR32, n > 0 ? n : 1, MAX_TARGETS);
    if (images == NULL) {
        Trace("Build_TargetImageList: no image list: %s\n", Error_Text(NULL));
        return FALSE;
    }
    /* one image for each queue, each put in when its item is first drawn */
    if (n > 0 && !ImageList_SetImageCount(images, (UINT)n)) Trace("Build_TargetImageList: no room for %d images\n", n);
    LIST_IMAGES *st = Images_State(list);
    if (st != NULL) {
        memset(st->shown, 0, sizeof st->shown);
        st->count = ImageList_GetImageCount(images);
    }
    HIMAGELIST old = (HIMAGELIST)SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)images);
    if (old != NULL && old != images) ImageList_Destroy(old);
    if (st == NULL) {
        /* a list made elsewhere: every image at once */
        for (int i = 0; i < n; i++)
            if (!Put_Icon(images, i, Shown_Icon(&targets[i]))) Trace("Build_TargetImageList: no image for queue %d\n", i + 1);
    }
    return TRUE;
}

/* ---- creating ---- */

static HWND Create_QueueList(HWND dlg, const RECT *rc, int id, int kind, BOOL singleSel)
{
    DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_OWNERDRAWFIXED |
                  LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;
    if (singleSel) style |= LVS_SINGLESEL;
    if (kind == QL_TARGETS) style |= WS_VSCROLL;
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", style, rc->left, rc->top, rc->right - rc->left,
                                rc->bottom - rc->top, dlg, (HMENU)(INT_PTR)id, hInstance, NULL);
    if (list == NULL) {
        Trace("Create_QueueList: could not create list %d: %s\n", id, Error_Text(NULL));
        return NULL;
    }
    SetWindowLongPtrA(list, GWLP_USERDATA, kind);
    /* the dialog's font, then the item height is measured again with it */
    SendMessageA(list, WM_SETFONT, SendMessageA(dlg, WM_GETFONT, 0, 0), FALSE);

    LVCOLUMNA col;
    memset(&col, 0, sizeof col);
    col.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
    col.fmt = LVCFMT_LEFT;
    col.pszText = (char *)(kind == QL_TARGETS ? k_TargetColumn : k_LBQColumn);
    col.cx = Scale_ForDpi(QUEUE_COLUMN_MIN);
    if (SendMessageA(list, LVM_INSERTCOLUMNA, 0, (LPARAM)&col) < 0)
        Trace("Create_QueueList: could not add the column of list %d\n", id);
    Fit_QueueColumn(list);

    if (kind == QL_TARGETS) {
        /* Without an entry of its own (too many lists at once) it takes every image at once. */
        if (New_ImagesState(list) == NULL) Trace("Create_QueueList: list %d makes all its images at once\n", id);
        Build_TargetImageList(list);
    } else {
        int side = Queue_IconSize();
        HIMAGELIST images = ImageList_Create(side, side, ILC_MASK | ILC_COLOR32, 1, 1);
        if (images != NULL) {
            ImageList_AddIcon(images, Some_Icon(loadBalancerIcon));
            SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)images);
        }
    }
    return list;
}

HWND Create_TargetList(HWND dlg, const RECT *rc, int id, BOOL singleSel)
{
    return Create_QueueList(dlg, rc, id, QL_TARGETS, singleSel);
}

HWND Create_LBQList(HWND dlg, const RECT *rc, int id)
{
    return Create_QueueList(dlg, rc, id, QL_LBQS, FALSE);
}

static HWND Create_InPlace(HWND dlg, int placeholderId, int kind, BOOL singleSel)
{
    HWND holder = GetDlgItem(dlg, placeholderId);
    RECT rc;
    if (holder == NULL || !Get_ControlRect(dlg, placeholderId, &rc)) {
        Trace("Create_InPlace: the dialog has no placeholder %d\n", placeholderId);
        return NULL;
    }
    /* The placeholder gives up its id first: the list measures itself while it is created, and
       the dialog finds it by that id. */
    ShowWindow(holder, SW_HIDE);
    SetWindowLongPtrA(holder, GWLP_ID, (LONG_PTR)-1);
    HWND list = Create_QueueList(dlg, &rc, placeholderId, kind, singleSel);
    if (list != NULL) SetWindowPos(list, holder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    return list;
}

HWND Create_TargetList_InPlace(HWND dlg, int placeholderId, BOOL singleSel)
{
    return Create_InPlace(dlg, placeholderId, QL_TARGETS, singleSel);
}

HWND Create_LBQList_InPlace(HWND dlg, int placeholderId)
{
    return Create_InPlace(dlg, placeholderId, QL_LBQS, FALSE);
}

void Destroy_ListImageList(HWND list)
{
    if (list == NULL) return;
    LIST_IMAGES *st = Images_State(list);
    if (st != NULL) st->list = NULL;
    LIST_FILTER *f = Filter_Of(list);
    if (f != NULL) f->list = NULL;
    Forget_KeptSelection(list);
    HIMAGELIST old = (HIMAGELIST)SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
    if (old != NULL) ImageList_Destroy(old);
}

void Fit_QueueColumn(HWND list)
{
    RECT rc;
    if (!GetWindowRect(list, &rc)) return;
    /* The list's width less its frame and a vertical scroll bar (18 pixels on the classic
       metrics): the column fills the list without a horizontal scroll bar whether or not the
       vertical one shows. */
    int margin = 2 * GetSystemMetrics(SM_CXBORDER) + GetSystemMetrics(SM_CXVSCROLL);
    if (margin <= 0) margin = Scale_ForDpi(QUEUE_COLUMN_MARGIN);
    int width = (rc.right - rc.left) - margin;
    if (width < Scale_ForDpi(QUEUE_COLUMN_MIN)) width = Scale_ForDpi(QUEUE_COLUMN_MIN);
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, width);
}

/* ---- filling ---- */

static BOOL Insert_Item(HWND list, int at, const char *text, int image, int data)
{
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = at;
    item.pszText = (char *)text;
    item.iImage = image;
    item.lParam = data;
    return SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item) >= 0;
}

/* Inserting into a list that repaints after every item costs far more than the items: the
   fillers run with the list's redrawing off, and the public ones switch it back on. */
static void Bulk_Begin(HWND list) { SendMessageA(list, WM_SETREDRAW, FALSE, 0); }
static void Bulk_End(HWND list)
{
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, NULL, TRUE);
}

static int Fill_List(HWND list, int kind)
{
    Trace("Add_LVData ()\n");
    int added = 0;
    int start = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    const LIST_FILTER *f = Filter_Of(list);
    if (kind == QL_TARGETS) {
        for (int i = 0; i < targetCount; i++) {
            if (!Is_Shown(f, i)) continue;
            if (!Insert_Item(list, start + added, targets[i].name, i, i)) {
                Trace("Add_LVData: could not insert queue %d\n", i + 1);
                Info_Box(programTitle, "Error writing queue items to listview.");
                break;
            }
            added++;
        }
    } else {
        for (int i = 0; i < lbqCount; i++) {
            if (!Is_Shown(f, i)) continue;
            if (!Insert_Item(list, start + added, lbqs[i].name, 0, i)) {
                Trace("Add_LVData: could not insert input queue %d\n", i + 1);
                Info_Box(programTitle, "Error writing load bal queue items to listview.");
                break;
            }
            added++;
        }
    }
    Trace("%d entry's added to listview\n", added);
    return added;
}

int Add_LVData(HWND list, int kind)
{
    Bulk_Begin(list);
    int added = Fill_List(list, kind);
    Bulk_End(list);
    return added;
}

int Add_LVData(HWND list, const LBQ *q)
{
    Trace("Add_LVData ()\n");
    Bulk_Begin(list);
    Trace("Resetting contents\n");
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    Trace("Re inserting current items\n");
    int added = 0;
    for (int i = 0; i < targetCount; i++) {
        if (q->outputs[i] != 1) continue;
        if (!Insert_Item(list, added, targets[i].name, i, i)) {
            Trace("Add_LVData: could not insert output queue %d\n", i + 1);
            Info_Box(programTitle, "Error writing queue items to listview.");
            break;
        }
        added++;
    }
    Bulk_End(list);
    Trace("%d entry's added to listview\n", added);
    return added;
}

/* Scrolls a list that was just filled again back to where it stood. */
static void Restore_TopIndex(HWND list, int top)
{
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (top <= 0 || count == 0) return;
    int perPage = (int)SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0);
    int last = top + (perPage > 0 ? perPage : 1) - 1;
    if (last >= count) last = count - 1;
    SendMessageA(list, LVM_ENSUREVISIBLE, last, FALSE);
    if (top < count) SendMessageA(list, LVM_ENSUREVISIBLE, top, FALSE);
}

static int Refill(HWND list, int kind)
{
    Forget_KeptSelection(list);
    int top = (int)SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
    Bulk_Begin(list);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    if (kind == QL_TARGETS) Build_TargetImageList(list);
    int added = Fill_List(list, kind);
    Restore_TopIndex(list, top);
    Bulk_End(list);
    return added;
}

int Refresh_TargetList(HWND list)
{
    Trace("Refresh_TargetList ()\n");
    return Refill(list, QL_TARGETS);
}

int Refresh_LBQList(HWND list)
{
    Trace("Refresh_LBQList ()\n");
    return Refill(list, QL_LBQS);
}

BOOL Reset_ListView_Target_Entry(HWND list, int pos)
{
    Trace("Reset_ListView_Target_Entry ()\n");
    Build_TargetImageList(list);
    BOOL ok = FALSE;
    /* a narrowed list may not show the queue: then there is nothing to set */
    int item = Is_ListNarrowed(list) ? Find_QueueItem(list, pos) : pos;
    if (item < 0 && pos >= 0 && pos < targetCount) return TRUE;
    if (pos >= 0 && pos < targetCount) {
        LVITEMA it;
        memset(&it, 0, sizeof it);
        it.mask = LVIF_TEXT | LVIF_IMAGE;
        it.iItem = item;
        it.pszText = targets[pos].name;
        it.iImage = pos;
        ok = SendMessageA(list, LVM_SETITEMA, 0, (LPARAM)&it) != FALSE;
    }
    if (!ok) {
        Trace("Reset_ListView_Target_Entry: could not set item %d\n", pos);
        Info_Box(programTitle, "Error setting data in listview");
        return FALSE;
    }
    SendMessageA(list, LVM_REDRAWITEMS, item, item);
    return TRUE;
}

int Narrow_QueueList(HWND list, const BOOL *shown)
{
    LIST_FILTER *f = Filter_Of(list);
    if (shown == NULL && f == NULL) return (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (shown != NULL && f != NULL && memcmp(f->shown, shown, sizeof f->shown) == 0)
        return (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);        /* the same queues: nothing to do */
    Trace("Narrow_QueueList (%s)\n", shown != NULL ? "narrowed" : "every queue");
    /* the queues selected stay selected where they are still shown; when none is selected, those
       that an earlier narrowing hid are selected again where they are shown now */
    int selected[MAX_QUEUES], n = 0, focus = -1;
    for (int i = Next_Selected(list, 0); i >= 0 && n < MAX_QUEUES; i = Next_Selected(list, i + 1))
        selected[n++] = Get_LV__Item_Param(list, i);
    int focused = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, MAKELPARAM(LVNI_FOCUSED, 0));
    if (focused >= 0) focus = Get_LV__Item_Param(list, focused);
    LIST_KEPT_SELECTION *kept = Kept_Of(list, n > 0);
    if (n > 0 && kept != NULL) {
        memcpy(kept->positions, selected, sizeof(int) * (size_t)n);
        kept->count = n;
        kept->focus = focus;
    } else if (n == 0 && kept != NULL) {
        n = kept->count;
        memcpy(selected, kept->positions, sizeof(int) * (size_t)n);
        focus = kept->focus;
    }
    if (shown == NULL) {
        f->list = NULL;
    } else {
        if (f == NULL)
            for (int k = 0; k < LISTS_KEPT && f == NULL; k++)
                if (s_Filters[k].list == NULL || !IsWindow(s_Filters[k].list)) f = &s_Filters[k];
        if (f == NULL) {
            Trace("Narrow_QueueList: no room to narrow another list\n");
            return (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        }
        f->list = list;
        memcpy(f->shown, shown, sizeof f->shown);
    }
    int kind = (int)GetWindowLongPtrA(list, GWLP_USERDATA);
    int count = kind == QL_LBQS ? lbqCount : targetCount;
    /* a list that already shows exactly the queues to show is left as it is */
    int have = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), want = 0;
    for (int i = 0; i < count; i++) want += Is_Shown(f != NULL && f->list == list ? f : NULL, i);
    BOOL same = have == want;
    for (int i = 0, k = 0; same && i < count; i++) {
        if (!Is_Shown(f != NULL && f->list == list ? f : NULL, i)) continue;
        LVITEMA it;
        memset(&it, 0, sizeof it);
        it.mask = LVIF_PARAM;
        it.iItem = k++;
        same = SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&it) && it.lParam == i;
    }
    if (same) return have;
    Bulk_Begin(list);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    int added = Fill_List(list, kind == QL_LBQS ? QL_LBQS : QL_TARGETS);
    int items[MAX_QUEUES], m = 0;
    for (int k = 0; k < n; k++) {
        int item = Find_QueueItem(list, selected[k]);
        if (item >= 0) items[m++] = item;
    }
    if (m > 0) {
        Select_Items(list, items, m);
        int item = Find_QueueItem(list, focus);
        if (item >= 0 && Next_Selected(list, item) == item) {
            Set_ItemState(list, -1, 0, LVIS_FOCUSED);
            Set_ItemState(list, item, LVIS_FOCUSED, LVIS_FOCUSED);
            SendMessageA(list, LVM_ENSUREVISIBLE, item, FALSE);
        }
    } else if (added > 0) {
        Set_ItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
    }
    Bulk_End(list);
    return added;
}

int Get_LV__Item_Param(HWND list, int item)
{
    Trace("Get_LV__Item_Param ()\n");
    LVITEMA it;
    memset(&it, 0, sizeof it);
    it.mask = LVIF_PARAM;
    it.iItem = item;
    if (item < 0 || !SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&it)) {
        Trace("Get_LV__Item_Param: no item %d\n", item);
        Info_Box(programTitle, "Error getting data from listview");
        return -1;
    }
    return (int)it.lParam;
}

/* ---- selection ---- */

int Count_Selected(HWND list)
{
    return list != NULL ? (int)SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) : 0;
}

int Next_Selected(HWND list, int from)
{
    if (list == NULL) return -1;
    return (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)(from - 1), MAKELPARAM(LVNI_SELECTED, 0));
}

int Current_Selected(HWND list)
{
    if (list == NULL) return -1;
    int focused = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, MAKELPARAM(LVNI_FOCUSED, 0));
    if (focused >= 0 && (SendMessageA(list, LVM_GETITEMSTATE, focused, LVIS_SELECTED) & LVIS_SELECTED)) return focused;
    return Next_Selected(list, 0);
}

static void Set_ItemState(HWND list, int item, UINT state, UINT mask)
{
    LVITEMA it;
    memset(&it, 0, sizeof it);
    it.stateMask = mask;
    it.state = state;
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)item, (LPARAM)&it);
}

void Select_Items(HWND list, const int *items, int n)
{
    Set_ItemState(list, -1, 0, LVIS_SELECTED);
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    int first = -1, last = -1;
    for (int k = 0; k < n && items[k] >= 0; k++) {
        if (items[k] >= count) continue;
        Set_ItemState(list, items[k], LVIS_SELECTED, LVIS_SELECTED);
        if (first < 0 || items[k] < first) first = items[k];
        if (items[k] > last) last = items[k];
    }
    if (first < 0) return;
    Set_ItemState(list, first, LVIS_FOCUSED, LVIS_FOCUSED);
    SendMessageA(list, LVM_SETSELECTIONMARK, 0, first);
    /* the last first, so that the first is in view when they do not all fit */
    SendMessageA(list, LVM_ENSUREVISIBLE, last, FALSE);
    SendMessageA(list, LVM_ENSUREVISIBLE, first, FALSE);
}

/* ---- measuring and drawing ---- */

static BOOL Is_QueueList(HWND hwnd)
{
    if (hwnd == NULL) return FALSE;
    LONG_PTR kind = GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    return kind == QL_TARGETS || kind == QL_LBQS;
}

BOOL Measure_QueueItem(HWND dlg, MEASUREITEMSTRUCT *mis)
{
    if (mis->CtlType != ODT_LISTVIEW) return FALSE;
    HWND list = GetDlgItem(dlg, (int)mis->CtlID);
    HFONT font = (list != NULL) ? (HFONT)SendMessageA(list, WM_GETFONT, 0, 0) : NULL;
    if (font == NULL) font = (HFONT)SendMessageA(dlg, WM_GETFONT, 0, 0);
    int height = 0;
    HDC hdc = GetDC(list != NULL ? list : dlg);
    if (hdc != NULL) {
        HGDIOBJ old = font != NULL ? SelectObject(hdc, font) : NULL;
        TEXTMETRICA tm;
        if (GetTextMetricsA(hdc, &tm)) height = tm.tmHeight + 1;
        if (old != NULL) SelectObject(hdc, old);
        ReleaseDC(list != NULL ? list : dlg, hdc);
    }
    if (height < Scale_ForDpi(QUEUE_ITEM_MIN)) height = Scale_ForDpi(QUEUE_ITEM_MIN);
    if (height < Queue_IconSize() + 1) height = Queue_IconSize() + 1;
    mis->itemHeight = (UINT)height;
    return TRUE;
}

/* The text of one cell, cut at 259 characters. */
static void Item_Text(HWND list, int item, int sub, char *buf, size_t cap)
{
    LVITEMA it;
    memset(&it, 0, sizeof it);
    it.iSubItem = sub;
    it.pszText = buf;
    it.cchTextMax = (int)cap;
    buf[0] = '\0';
    SendMessageA(list, LVM_GETITEMTEXTA, (WPARAM)item, (LPARAM)&it);
    buf[cap - 1] = '\0';
}

static BOOL Is_DrivePath(const char *text)
{
    return text[0] != '\0' && text[1] == ':' && text[2] == '\\';
}

/* Writes one cell's text, fitted, 2 pixels in and 1 pixel down, over the cell's background. */
static void Draw_Cell(HDC hdc, const RECT *cell, const char *text, int mode)
{
    char fitted[FITTED_TEXT_LEN];
    int inset = Scale_ForDpi(2);
    Fit_Text(hdc, text, fitted, sizeof fitted, (cell->right - cell->left) - 2 * inset, mode);
    ExtTextOutA(hdc, cell->left + inset, cell->top + Scale_ForDpi(1), ETO_CLIPPED | ETO_OPAQUE, cell, fitted,
                (UINT)strlen(fitted), NULL);
}

BOOL Draw_QueueItem(const DRAWITEMSTRUCT *dis)
{
    if (dis->CtlType != ODT_LISTVIEW || !Is_QueueList(dis->hwndItem)) return FALSE;
    HWND list = dis->hwndItem;
    HDC hdc = dis->hDC;
    int item = (int)dis->itemID;

    LVITEMA it;
    memset(&it, 0, sizeof it);
    it.mask = LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    it.iItem = item;
    SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&it);
    BOOL selected = (dis->itemState & ODS_SELECTED) || (it.state & LVIS_SELECTED);
    BOOL focused = (dis->itemState & ODS_FOCUS) != 0;
    BOOL enabled = IsWindowEnabled(list);

    HFONT font = (HFONT)SendMessageA(list, WM_GETFONT, 0, 0);
    HGDIOBJ oldFont = font != NULL ? SelectObject(hdc, font) : NULL;
    const RECT *rc = &dis->rcItem;
    int side = Queue_IconSize();

    /* the icon, over the window background */
    RECT iconArea = { rc->left, rc->top, rc->left + side + Scale_ForDpi(4), rc->bottom };
    FillRect(hdc, &iconArea, GetSysColorBrush(COLOR_WINDOW));
    HIMAGELIST images = (HIMAGELIST)SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0);
    LIST_IMAGES *st = Images_State(list);
    if (st != NULL && images != NULL) {
        Fill_Image(images, st, it.iImage);
        if (!st->drawn) {
            st->drawn = TRUE;
            if (s_IconTimer == 0) s_IconTimer = SetTimer(NULL, 0, 0, Take_SomeIcons);
        }
    }
    if (images != NULL && it.iImage >= 0 && it.iImage < ImageList_GetImageCount(images))
        ImageList_Draw(images, it.iImage, hdc, rc->left, rc->top,
                       ILD_TRANSPARENT | (selected && enabled ? ILD_SELECTED : 0));

    COLORREF text;
    if (!enabled) text = GetSysColor(COLOR_GRAYTEXT);
    else if (selected) text = GetSysColor(COLOR_HIGHLIGHTTEXT);
    else text = GetSysColor(it.lParam < QUEUE_DATA_LIMIT ? COLOR_WINDOWTEXT : COLOR_ACTIVECAPTION);
    SetTextColor(hdc, text);
    SetBkColor(hdc, GetSysColor(selected && enabled ? COLOR_HIGHLIGHT : COLOR_WINDOW));

    char buf[ITEM_TEXT_LEN];
    int left = rc->left;
    int columns = 0;
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    if (header != NULL) columns = (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0);
    if (columns < 1) columns = 1;
    RECT textCell = { 0, 0, 0, 0 };
    for (int col = 0; col < columns; col++) {
        int width = (int)SendMessageA(list, LVM_GETCOLUMNWIDTH, col, 0);
        RECT cell = { left, rc->top, left + width, rc->bottom };
        if (col == 0) cell.left = iconArea.right;
        if (cell.right > cell.left) {
            Item_Text(list, item, col, buf, sizeof buf);
            Draw_Cell(hdc, &cell, buf, (col == 0 && Is_DrivePath(buf)) ? FIT_PATH : FIT_END);
        }
        if (col == 0) textCell = cell;
        left += width;
    }
    if ((selected || focused) && textCell.right > textCell.left) DrawFocusRect(hdc, &textCell);

    SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(hdc, GetSysColor(COLOR_WINDOW));
    if (oldFont != NULL) SelectObject(hdc, oldFont);
    return TRUE;
}

BOOL QueueList_Notify(const NMHDR *nm)
{
    if (nm->code != HDN_ENDTRACKA && nm->code != HDN_ENDTRACKW) return FALSE;
    HWND list = GetParent(nm->hwndFrom);
    if (!Is_QueueList(list)) return FALSE;
    InvalidateRect(list, NULL, TRUE);
    UpdateWindow(list);
    return TRUE;
}
