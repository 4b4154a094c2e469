/* A resizable dialog's controls following its size: each control named in a table is moved
   right or down, or grown wider or taller, by what the dialog grew beyond the size its template
   laid out; the dialog is never made smaller than it was created. */
#pragma once
#include <windows.h>

typedef struct { int id; BOOL moveX, moveY, growX, growY; } ANCHOR;

#define ANCHORS_MAX 48

typedef struct {
    const ANCHOR *anchors;
    int           count;
    SIZE          laidOut;             /* the client size the template laid out */
    SIZE          smallest;            /* the window's size as created */
    RECT          rects[ANCHORS_MAX];  /* each anchored control as laid out */
} ANCHOR_LAYOUT;

/* Notes the dialog's size and every anchored control's place as laid out (WM_INITDIALOG, once
   the controls are in place). Anchors past ANCHORS_MAX are not kept (and traced). */
void Note_Anchors(HWND dlg, ANCHOR_LAYOUT *lay, const ANCHOR *anchors, int count);
/* Moves and sizes the anchored controls for a client area of width x height (WM_SIZE). */
void Apply_Anchors(HWND dlg, const ANCHOR_LAYOUT *lay, int width, int height);
/* The least size the window may be dragged to (WM_GETMINMAXINFO). */
void Limit_Anchors(const ANCHOR_LAYOUT *lay, MINMAXINFO *mmi);
