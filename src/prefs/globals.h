/* The General Preferences dialog: the spooler-wide preferences. It reads "Preferences.cfg" again
   when it opens and works on a copy; OK lays what the operator changed over the file as it is at
   that moment and writes it, Cancel leaves memory and file as they were. */
#pragma once
#include <windows.h>
#include "common/frame.h"

/* The frame: the preferences bound to the working copy, read again and merged on commit. */
extern const FRAME_DEF globalsFrame;

INT_PTR CALLBACK Globals_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
/* Opens General Preferences modally over owner (NULL: no owner, the preferences-only mode).
   TRUE when the preferences were written (OK), FALSE after Cancel or when the file could not be
   read (the operator has been told). */
BOOL Edit_Globals(HWND owner);
