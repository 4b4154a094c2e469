/* Export and import from the main window: the file choosers, the export itself, and the import
   preview "Import Queues" (IDD_IMPORT), which shows what an import will do and adds the queues
   only on OK. */
#pragma once
#include <windows.h>

#define EXPORT_TYPES "Queue Export Files (*.queues)|*.queues|All Files (*.*)|*.*|"

/* Asks where to write (the save chooser, proposing "<first queue's name>.queues" in the home
   directory) and writes the export of those queues. TRUE when it was written. */
BOOL Export_Queues(HWND owner, const int *targetPos, int nTargets, const int *lbqPos, int nLbqs);

/* Asks for an export file (the open chooser), refuses a damaged one with its line and reason,
   and shows the preview. TRUE when the operator pressed OK and the queues were added at the end
   of the lists (nothing is stored before the main window's OK). */
BOOL Import_Queues(HWND owner);

/* The preview over a plan read from path (lParam of the dialog: an IMPORT_DIALOG). */
typedef struct IMPORT_PLAN IMPORT_PLAN;
typedef struct {
    IMPORT_PLAN *plan;
    const char  *path;
} IMPORT_DIALOG;
INT_PTR CALLBACK Import_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
