/* The frame protocol of the editors, beside the page protocol (common/page.h): a frame is a modal
   dialog that edits one record of the configuration (an output queue, an input queue, the
   preferences, the job-name masks, a user) on a working copy of its own. Opening fills the copy
   from where the record lives and loads the controls from it; OK saves the controls into the
   copy, checks it and commits it where it belongs; Cancel drops it. The copy and the frame's own
   state live on its window. What needs no window (where the copy comes from, the checks that
   span fields, the commit) is in a window-free file beside the dialog, which the frame's
   procedures call.

   A frame procedure handles its own controls and hands everything else to Frame_DefProc:

       const FRAME_DEF jobNamesFrame = {
           "JobNames_Dlg(); wm_initdialog\n", sizeof(MASKS_EDIT), sizeof(JOBNAMES_STATE), NULL, 0,
           IDOK, IDOK, IDCANCEL, Open_JobNames, NULL, Check_JobNames, Commit_JobNames, NULL };

       INT_PTR CALLBACK JobNames_Dlg(HWND h, UINT msg, WPARAM w, LPARAM l)
       {
           switch (msg) {
           case WM_COMMAND:
               switch (LOWORD(w)) {
               case IDC_JN_MANUAL: On_Manual(h); return TRUE;
               }
               break;
           }
           return Frame_DefProc(h, msg, w, l, &jobNamesFrame);
       }
*/
#pragma once
#include <windows.h>
#include "common/ctrlmap.h"

typedef struct {
    const char     *initTrace;       /* trace line on opening (NULL: none) */
    size_t          recordSize;      /* of the working copy, zeroed before open */
    size_t          extraSize;       /* bytes of the frame's own state, zeroed on opening */
    const CTRL_MAP *map;             /* the controls bound to fields of the working copy */
    int             mapCount;
    int             okId;            /* the OK button's id (IDOK is taken as OK too) */
    INT_PTR         okResult;        /* what the dialog ends with once the copy is committed */
    INT_PTR         cancelResult;    /* ... after Cancel, or when it cannot open */
    /* Fills the working copy (and the frame's state) from the creation argument. FALSE ends the
       dialog at once with cancelResult (the operator has been told). */
    BOOL (*open)(HWND dlg, LPARAM arg);
    /* After the table's controls are loaded: the rest of the dialog (NULL: nothing). */
    void (*load)(HWND dlg);
    /* OK, after the table is saved into the copy: the checks that span fields. FALSE keeps the
       dialog open (the operator has been told). NULL: none. */
    BOOL (*check)(HWND dlg);
    /* OK, once everything is accepted: the copy goes where it belongs. FALSE keeps the dialog
       open (the operator has been told). NULL: nothing to do. */
    BOOL (*commit)(HWND dlg);
    /* When the frame closes, once: after the commit (committed TRUE), after Cancel or a failed
       open, or when the dialog is destroyed otherwise (committed FALSE). It releases what the
       copy and the state hold that the configuration does not. NULL: nothing. */
    void (*close)(HWND dlg, BOOL committed);
} FRAME_DEF;

/* Handles opening (trace, state on the window, centre, open, load), OK, Cancel and closing for
   the frame, and frees its state when it is destroyed. A state that cannot be allocated is told
   ("There is not enough memory to show this dialog.") and the dialog ends with cancelResult. */
INT_PTR Frame_DefProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam, const FRAME_DEF *def);

/* The working copy (NULL before opening or after the dialog went). */
void *Frame_Copy(HWND dlg);
/* The frame's own state, or NULL when it has none. */
void *Frame_Extra(HWND dlg);
/* From open or load: the focus goes to control id (an edit's text selected), not to the first
   control of the dialog. */
void  Frame_Focus(HWND dlg, int id);
/* OK: saves the table into the copy, checks and commits it, and closes the frame. FALSE when
   the frame stays open (or a step of the save closed it without committing). */
BOOL  Frame_Ok(HWND dlg);
/* Closes the frame: close runs, and the dialog ends with okResult (committed) or cancelResult. */
void  Frame_Close(HWND dlg, BOOL committed);
