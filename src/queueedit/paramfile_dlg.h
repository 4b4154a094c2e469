/* The parameter file editor: the whole text of the file that a queue's parameters name, shown in
   one edit and written back on OK. */
#pragma once
#include <windows.h>
#include "config/model.h"

#define PARAMFILE_OK     -8      /* the result after OK (whether or not the file could be written) */
#define PARAMFILE_CANCEL -1

/* The dialog procedure; the creation argument points at a Target whose parameters hold the
   file's path. */
INT_PTR CALLBACK ParamFile_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
/* Opens the editor modally over owner on t's parameter file: PARAMFILE_OK or PARAMFILE_CANCEL. */
int Edit_ParamFile(HWND owner, const Target *t);

/* The text of a file as the edit shows it: every line end, "\n" or "\r\n", becomes "\r\n".
   out gets a heap text (free()) and TRUE; FALSE when there is no memory. */
BOOL ParamText_ForEdit(const char *file, size_t len, char **out);
/* What the edit holds as the file keeps it: "\r\n" becomes "\n" (the file is written in text
   mode, which writes each "\n" as "\r\n"). In place; returns the new length. */
size_t ParamText_ForFile(char *text);
