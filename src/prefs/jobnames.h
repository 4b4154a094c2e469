/* File Naming Convention: the two job-name masks, chosen by the RIP that names the separation
   files or typed by the operator, with their length checks. */
#pragma once
#include <windows.h>
#include "config/prefsfile.h"
#include "common/frame.h"

/* The frame: the masks and the preset on a working copy, put into the record on commit. */
extern const FRAME_DEF jobNamesFrame;

/* The creation argument is the record whose masks the dialog edits (NULL: the process-wide one).
   The dialog works on a copy of its own; OK puts the two masks and the preset into the record,
   Cancel leaves it alone. Nothing is written to disk here. */
INT_PTR CALLBACK JobNames_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
/* Opens it modally over owner on rec. TRUE after OK. */
BOOL Edit_JobNames(HWND owner, SPOOLER_GLOBALS *rec);
