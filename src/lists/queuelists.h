/* The queue lists: report-style list controls with one column that the program creates at run
   time in the place of a placeholder control and draws itself. Three kinds are built here:

     output queues     one item per output queue, text its name, image and item data its
                       position; an image list with one icon per output queue at its position
     input queues      one item per load-balanced input queue, image 0 (the load balancer's
                       icon), item data its position
     outputs of an     one item per output queue whose output flag is set in that input queue;
     input queue       image and item data the output queue's position (the output queue image
                       list; the list is created as an output queue list)

   A dialog that shows a queue list creates it in WM_INITDIALOG and passes on three messages:

       case WM_INITDIALOG:
           list = Create_TargetList_InPlace(hDlg, IDC_X_LIST, TRUE);   // takes the placeholder's id
           Add_LVData(list, QL_TARGETS);
           ...
       case WM_MEASUREITEM: return Measure_QueueItem(hDlg, (MEASUREITEMSTRUCT *)lParam);
       case WM_DRAWITEM:    return Draw_QueueItem((const DRAWITEMSTRUCT *)lParam);
       case WM_NOTIFY:      if (QueueList_Notify((const NMHDR *)lParam)) return TRUE; ...
       case WM_DESTROY:     Destroy_ListImageList(list); ...

   The icons of an output queue list are taken when their items are first drawn: a queue's own
   icon and its application's icon are read from their files then (not at start, and never in
   the modes without a window), and each image of the list is made from its queue's icon then.
   When a list has first drawn, it takes every application's icon, a few at a time while it has
   nothing else to do, for the editors that can be opened from it.

   Sizes the program draws (icons, item heights, margins) are given for 96 dots per inch and
   scaled to the screen's resolution. Failures are told to the operator with the texts below and
   traced; nothing here changes the configuration. */
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "config/model.h"

/* What a queue list shows (kept on the list window). */
#define QL_TARGETS  1     /* output queues (also: outputs of an input queue) */
#define QL_LBQS     2     /* load-balanced input queues */

#define QUEUE_ICON_SIZE      32    /* pixels at 96 dots per inch */
#define QUEUE_ITEM_MIN       33    /* the least item height at 96 dots per inch */
#define QUEUE_COLUMN_MIN     400   /* the least column width at 96 dots per inch */
#define QUEUE_COLUMN_MARGIN  18    /* the list's frame and scroll bar on the classic metrics */
#define QUEUE_DATA_LIMIT     200   /* an item whose data is this or more is drawn in the caption colour */

/* n pixels at 96 dots per inch, on this screen. */
int Scale_ForDpi(int n);
/* The side of a queue icon on this screen. */
int Queue_IconSize(void);

/* The icon an output queue shows: its own icon; else, when it runs processes, the no-process
   icon for process reference 202, the parallel or series icon for an application group, the
   application's icon for one application; when it runs no processes, the no-process icon.
   Falls back to the program icon where the chosen one is missing; NULL only when that is
   missing too. Takes nothing from files: it shows the icons the queue and the application
   hold. Needs no window. */
HICON Target_Icon(const Target *t);

/* Creates the output queue list in rc (client coordinates of dlg) with control id id: a child
   with a border, always showing its selection, drawn by its owner with fixed-height items, a
   vertical scroll bar, one column "Output Queues" and an image list of every output queue's
   icon. singleSel: one item at a time (the queue chooser), else several. The list is empty.
   NULL when it could not be created (then nothing else is set up). */
HWND Create_TargetList(HWND dlg, const RECT *rc, int id, BOOL singleSel);
/* The same for the input queue list: column "Load Balanced Input Queues", several items at a
   time, an image list holding the load balancer's icon. */
HWND Create_LBQList(HWND dlg, const RECT *rc, int id);
/* The same in the place of a placeholder control of the dialog: the list takes its rectangle,
   its control id and its place in the Tab order; the placeholder is hidden and gives up its id,
   so GetDlgItem(dlg, placeholderId) finds the list. NULL when the placeholder is missing or the
   list could not be created. */
HWND Create_TargetList_InPlace(HWND dlg, int placeholderId, BOOL singleSel);
HWND Create_LBQList_InPlace(HWND dlg, int placeholderId);

/* Gives the list a new image list with one image per output queue (room for 200) and destroys
   the one it had. Each image is made from its queue's icon (Target_Icon, the queue's own or its
   application's icon taken from its file first) when its item is first drawn. FALSE when no
   image list could be made. */
BOOL Build_TargetImageList(HWND list);
/* Makes every image of the list that its items have not needed yet; returns how many. */
int  Fill_ListImages(HWND list);
/* Detaches and destroys the list's image list, if it has one. */
void Destroy_ListImageList(HWND list);
/* Fits the column to the list: the list's width less its frame and a vertical scroll bar (18
   pixels on the classic metrics), at least 400 (scaled). */
void Fit_QueueColumn(HWND list);

/* Inserts one item per output queue (kind QL_TARGETS) or per input queue (QL_LBQS), in array
   order, after the items already there. Returns the number inserted; a failed insert stops the
   filling and is told to the operator ("Error writing queue items to listview." / "Error
   writing load bal queue items to listview."). */
int  Add_LVData(HWND list, int kind);
/* Empties the list, then inserts one item for each output queue whose output flag is set in q,
   in array order. Returns the number inserted (a failed insert as above). */
int  Add_LVData(HWND list, const LBQ *q);
/* Empties the list, rebuilds its image list and inserts every output queue. The list keeps its
   scroll position as far as the new items allow. Returns the number inserted. */
int  Refresh_TargetList(HWND list);
/* Empties the list and inserts every input queue, keeping the scroll position likewise. */
int  Refresh_LBQList(HWND list);
/* Rebuilds the image list, then sets the item at pos to the output queue's name and image.
   FALSE (the operator told "Error setting data in listview") when the item could not be set. */
BOOL Reset_ListView_Target_Entry(HWND list, int pos);
/* The item data of an item (the queue position it stands for), or -1 when it cannot be read
   (the operator told "Error getting data from listview"). */
int  Get_LV__Item_Param(HWND list, int item);

/* Narrowing a list (the find field): shown marks, for each position of the list's kind (output
   or input queues), whether the queue is shown; NULL shows every queue again. The list is filled
   again with the queues shown, in array order; each item still carries its queue's position as
   its data and image, and the fillers above keep to the queues shown until the list is widened
   again. The queues selected before stay selected where they are still shown, the focused one
   keeping the focus. Returns the number of items shown; a list already showing exactly those
   queues is left as it is. */
int  Narrow_QueueList(HWND list, const BOOL *shown);
BOOL Is_ListNarrowed(HWND list);
/* The item that shows the queue at pos (its item data), or -1 when the list does not show it. */
int  Find_QueueItem(HWND list, int pos);

/* Items selected, and which: the number selected; the first selected item at or after from
   (-1 for none); the item a command on "the selected queue" means: the focused item when it is
   selected, else the first selected one, else -1. */
int  Count_Selected(HWND list);
int  Next_Selected(HWND list, int from);
int  Current_Selected(HWND list);
/* Selects exactly the items listed (-1 ends the list), gives the focus mark to the first of
   them and scrolls so that they can be seen. */
void Select_Items(HWND list, const int *items, int n);

/* WM_MEASUREITEM for a queue list of dlg: the list font's character height + 1, at least 33
   (scaled), and never less than the icon. FALSE when the request is for another control. */
BOOL Measure_QueueItem(HWND dlg, MEASUREITEMSTRUCT *mis);
/* WM_DRAWITEM for a queue list: the icon at the item's top-left corner (blended when selected),
   the text 4 pixels right of it, fitted to the column (paths shortened in their middle), in the
   system's colours; a focus rectangle when selected or focused. FALSE when the request is for
   another control. */
BOOL Draw_QueueItem(const DRAWITEMSTRUCT *dis);
/* WM_NOTIFY for a queue list: repaints the whole list when a column resize ends. TRUE when the
   notification was one of those. */
BOOL QueueList_Notify(const NMHDR *nm);
