/* Small pieces of window code that the queue editor's dialogs share: pictures drawn to the
   screen's scale, a directory box with its chooser, and an edit box that keeps Enter for
   itself. */
#pragma once
#include <windows.h>

/* Draws icon with its top-left corner at (x, y), 32 pixels square at 96 dots per inch and larger
   in proportion on a screen of more, from the icon's own image of that size when it comes from
   the resources. Nothing for no icon. */
void Draw_QueueIcon(HDC hdc, int x, int y, HICON icon);

/* The folder chooser for the edit box editId: it starts from the box's text (taken into field,
   cap bytes), and the box shows field afterwards, chosen or not. The current directory stays as
   it was. TRUE when a folder was chosen. */
BOOL Browse_Folder(HWND dlg, int editId, const char *title, char *field, size_t cap);

/* Enter in edit calls onEnter with the edit's dialog (and no beep) instead of pressing the
   dialog's default button; every other key goes as before. The edit keeps this until it is
   destroyed. FALSE when the edit could not be subclassed. */
BOOL Take_EnterKey(HWND edit, void (*onEnter)(HWND dlg));
