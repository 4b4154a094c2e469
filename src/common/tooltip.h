/* Tooltips of a dialog's controls: a text shown when the mouse rests on the control. */
#pragma once
#include <windows.h>

#define TIP_TEXT_LEN 260

/* Gives the control id of dlg a tooltip with this text, or changes the text it shows. The
   dialog's one tooltip window is made on the first call and goes with the dialog. FALSE when
   the control is missing or the tooltip could not be made. A disabled control shows no tip. */
BOOL Set_ControlTip(HWND dlg, int id, const char *text);
/* The text the control's tooltip shows ("" when it has none). */
void Get_ControlTip(HWND dlg, int id, char *out, size_t cap);
