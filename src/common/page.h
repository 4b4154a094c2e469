/* The page protocol of the editors: a page is a modal dialog opened on a record that its caller
   is editing (the creation argument points at it). The page edits a copy of its own; OK loads
   the controls into that copy, validates, and copies back only the fields the page owns; Cancel
   leaves the caller's record untouched. A page's state lives on its own window, so pages nest
   (a page may open another page on its own copy).

   A page procedure handles its own controls and hands everything else to Page_DefProc:

       static const PAGE_DEF k_IdentityPage = {
           "QueueIdentity_Dlg(); wm_initdialog\n", "Queue Identity Dlg: OK\n",
           "Queue Identity dialog called but no target pointer passed in.  Cannot show dialog",
           sizeof(Target), k_IdentityMap, ARRAY_LEN(k_IdentityMap), k_IdentityOwned, ARRAY_LEN(k_IdentityOwned),
           IDOK, 0, Load_Identity, Write_Identity, NULL };

       INT_PTR CALLBACK QueueIdentity_Dlg(HWND h, UINT msg, WPARAM w, LPARAM l)
       {
           switch (msg) {
           case WM_COMMAND:
               switch (LOWORD(w)) {
               case IDC_ID_SWITCH: On_Switch_Click(h); return TRUE;
               }
               break;
           }
           return Page_DefProc(h, msg, w, l, &k_IdentityPage);
       }
*/
#pragma once
#include <windows.h>
#include "common/ctrlmap.h"

typedef struct {
    const char      *initTrace;      /* trace line on opening */
    const char      *okTrace;        /* trace line on OK */
    const char      *noRecordText;   /* told when the page is opened without a record */
    size_t           recordSize;     /* of the record edited */
    const CTRL_MAP  *map;            /* the controls bound to fields of the record */
    int              mapCount;
    const FIELD_SPAN *owned;         /* fields the page owns besides those of map */
    int              ownedCount;
    int              okId;           /* the OK button's id (IDOK is taken as OK too) */
    size_t           extraSize;      /* bytes of the page's own state, zeroed on opening */
    /* After the table's controls are loaded (NULL: nothing more). */
    void (*load)(HWND dlg);
    /* After the table's controls are saved into the page copy: the page's own fields and the
       checks that span fields. FALSE keeps the page open (the operator has been told). */
    BOOL (*write)(HWND dlg);
    /* When the page closes, once: by OK (committed TRUE: its fields went back), by Cancel, or
       when the page is destroyed without either (committed FALSE). It releases what the page
       holds that the caller's record does not. NULL: nothing. */
    void (*close)(HWND dlg, BOOL committed);
} PAGE_DEF;

/* Handles opening (copy, centre, load, trace "WRITE_PAGE_DATA\n"), OK, Cancel and closing for
   the page, and frees its state when it is destroyed. Pages end with 0, whether OK or Cancel
   closed them. */
INT_PTR Page_DefProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam, const PAGE_DEF *def);

/* The page's own copy of the record (NULL before opening or after closing). */
void *Page_Copy(HWND dlg);
/* The caller's record (the working copy the page was opened on). */
void *Page_Work(HWND dlg);
/* The page's own state (extraSize bytes), or NULL when it has none. */
void *Page_Extra(HWND dlg);
/* Loads the controls from the page copy again (after the page changed the copy itself). */
void  Page_Load(HWND dlg);
/* OK: saves the controls into the page copy and validates (table, then the page's write); with
   everything accepted copies the page's fields back into the caller's record and closes the page.
   FALSE when the page stays open. */
BOOL  Page_Ok(HWND dlg);
