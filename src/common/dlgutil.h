/* Helpers shared by the dialogs: windows, bitmaps, text fitting and the file and folder choosers. */
#pragma once
#include <windows.h>

/* Moves the window, unsized and in its place in the stacking order, to the middle of the
   desktop work area (the whole screen when the work area cannot be had). */
void Centre_Window(HWND hwnd);

/* Where a control of a dialog lies in the dialog's client coordinates, for drawing over it.
   FALSE (and nothing written) when the dialog has no such control. */
BOOL Get_ControlPos(HWND hDlg, int id, POINT *topLeft);
BOOL Get_ControlRect(HWND hDlg, int id, RECT *rc);

/* Copies the bitmap unchanged to (x, y); a largest width or height of 1 or more clips the copy.
   The bitmap stays the caller's. */
void Draw_Bitmap(HDC hdc, HBITMAP bmp, int x, int y, int maxWidth, int maxHeight);
/* The same one pixel in, with a sunken one-pixel frame around it: left and top edges in the
   button-shadow colour, right and bottom edges in the button-highlight colour. */
void Draw_FramedBitmap(HDC hdc, HBITMAP bmp, int x, int y, int maxWidth, int maxHeight);

/* How Fit_Text shortens a text that is too wide. */
#define FIT_FRONT 1    /* "..." before the text; the text loses characters from its start */
#define FIT_END   2    /* "..." after the text; the text loses characters from its end */
#define FIT_PATH  3    /* "C:\...\Hot\Job.tif": the part up to the first backslash is kept, the
                          folders after it go; a text without a backslash fits as FIT_FRONT */
/* Writes into out (cap bytes) the text shortened, with "...", until it is at most width
   pixels wide in the font selected into hdc. A text that fits is copied as it is. */
void Fit_Text(HDC hdc, const char *text, char *out, size_t cap, int width, int mode);

/* Loads a bitmap file as a device-independent section. On success err is emptied; on failure it
   reads "<path> does not contain a valid DIB" and NULL is returned. */
HBITMAP Load_BitmapFile(const char *path, char *err, size_t errCap);

/* The file chooser's list of types; the filter index counts from 1. */
#define FILTER_CALIBRATION 1
#define FILTER_TEXT        2
#define FILTER_SYSTEM      3
#define FILTER_IMAGE       4
#define FILTER_EXECUTABLE  5
#define FILTER_LOG         6
#define FILTER_ALL         7

/* The file chooser. path (cap bytes, quotes allowed) names where to start: the deepest existing
   folder on it, with the rest as the proposed name. TRUE with the chosen full path in path;
   FALSE when the operator cancelled (path then keeps its text, unquoted). The process's current
   directory stays where the dialog left it. */
BOOL Choose_File(HWND owner, const char *title, char *path, size_t cap, int filterIndex, BOOL mustExist);
/* The folder chooser: starts in the deepest existing folder of path. TRUE with the folder shown
   when OK was pressed, or with that folder and a backslash and the name typed under
   "New Sub-directories:". The folder need not exist. The current directory is restored. */
BOOL Choose_Folder(HWND owner, const char *title, char *path, size_t cap);
/* The folder chooser, then the chosen folder is created with every missing parent. TRUE when a
   folder was chosen and exists; a failed creation is told to the operator ("Could not create
   the specified new directory") and gives FALSE. */
BOOL Choose_CreateFolder(HWND owner, const char *title, char *path, size_t cap);

/* A file chooser for one kind of file: the system's own open or save dialog (save: it asks
   before replacing a file; open: the file must exist) listing types ("Queue Export Files
   (*.queues)|*.queues|All Files (*.*)|*.*|"), with defExt added to a name typed without one.
   path as for Choose_File. Through the seam as CHOOSE_FILE (open, mustExist) or CHOOSE_SAVE. */
BOOL Choose_TypedFile(HWND owner, const char *title, char *path, size_t cap, const char *types, const char *defExt,
                      BOOL save);

/* The choosers' seam. With a hook installed, Choose_File and Choose_Folder show no dialog: the
   hook gets the call and the caller's path as it was passed, and answers as the chooser would
   (TRUE and the chosen path written into path, or FALSE for cancel). Tests only; NULL puts the
   real dialogs back. */
#define CHOOSE_FILE   1
#define CHOOSE_FOLDER 2
#define CHOOSE_SAVE   3
typedef struct {
    int         kind;          /* CHOOSE_FILE, CHOOSE_FOLDER or CHOOSE_SAVE */
    HWND        owner;
    const char *title;
    int         filterIndex;   /* file chooser only */
    BOOL        mustExist;     /* file chooser only */
} CHOOSER_CALL;
typedef BOOL (*CHOOSER_HOOK)(const CHOOSER_CALL *call, char *path, size_t cap);
void Set_ChooserHook(CHOOSER_HOOK hook);

