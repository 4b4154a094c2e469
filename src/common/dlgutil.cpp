#include "common/dlgutil.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "resources/resource.h"
#include <commdlg.h>
#include <stdlib.h>
#include <string.h>

#define FIT_TEXT_LEN  1040     /* the longest text Fit_Text works on, "..." and terminator included */
#define CHOSEN_LEN    1024     /* room for what a chooser hands back before it is checked */

void Centre_Window(HWND hwnd)
{
    RECT area, rc;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0))
        SetRect(&area, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (!GetWindowRect(hwnd, &rc)) return;
    int x = area.left + ((area.right - area.left) - (rc.right - rc.left)) / 2;
    int y = area.top + ((area.bottom - area.top) - (rc.bottom - rc.top)) / 2;
    SetWindowPos(hwnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

/* The screen rectangle mapped into the dialog's client area: exact whatever frame, caption or
   menu the dialog has, where subtracting the standard frame and caption sizes is not. */
BOOL Get_ControlRect(HWND hDlg, int id, RECT *rc)
{
    HWND ctl = GetDlgItem(hDlg, id);
    RECT r;
    if (ctl == NULL || !GetWindowRect(ctl, &r)) return FALSE;
    MapWindowPoints(NULL, hDlg, (POINT *)&r, 2);
    *rc = r;
    return TRUE;
}

BOOL Get_ControlPos(HWND hDlg, int id, POINT *topLeft)
{
    RECT rc;
    if (!Get_ControlRect(hDlg, id, &rc)) return FALSE;
    topLeft->x = rc.left;
    topLeft->y = rc.top;
    return TRUE;
}

/* The size of the part of the bitmap that Draw_Bitmap copies; FALSE when it is no bitmap. */
static BOOL Drawn_Size(HBITMAP bmp, int maxWidth, int maxHeight, int *w, int *h)
{
    BITMAP bm;
    if (bmp == NULL || GetObjectA(bmp, sizeof bm, &bm) == 0) return FALSE;
    *w = bm.bmWidth;
    *h = abs(bm.bmHeight);
    if (maxWidth >= 1 && maxWidth < *w) *w = maxWidth;
    if (maxHeight >= 1 && maxHeight < *h) *h = maxHeight;
    return TRUE;
}

void Draw_Bitmap(HDC hdc, HBITMAP bmp, int x, int y, int maxWidth, int maxHeight)
{
    int w, h;
    if (!Drawn_Size(bmp, maxWidth, maxHeight, &w, &h)) return;
    HDC mem = CreateCompatibleDC(hdc);
    if (mem == NULL) return;
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(hdc, x, y, w, h, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
}

void Draw_FramedBitmap(HDC hdc, HBITMAP bmp, int x, int y, int maxWidth, int maxHeight)
{
    int w, h;
    if (!Drawn_Size(bmp, maxWidth, maxHeight, &w, &h)) return;
    Draw_Bitmap(hdc, bmp, x + 1, y + 1, maxWidth, maxHeight);
    HBRUSH shadow = GetSysColorBrush(COLOR_BTNSHADOW), light = GetSysColorBrush(COLOR_BTNHIGHLIGHT);
    RECT left = { x, y, x + 1, y + h + 2 }, top = { x, y, x + w + 2, y + 1 };
    RECT right = { x + w + 1, y, x + w + 2, y + h + 2 }, bottom = { x, y + h + 1, x + w + 2, y + h + 2 };
    FillRect(hdc, &left, shadow);
    FillRect(hdc, &top, shadow);
    FillRect(hdc, &right, light);
    FillRect(hdc, &bottom, light);
}

static BOOL Text_Fits(HDC hdc, const char *text, int width)
{
    SIZE size;
    if (!GetTextExtentPoint32A(hdc, text, (int)strlen(text), &size)) return TRUE;   /* cannot tell: leave it */
    return size.cx <= width;
}

static void Remove_Char(char *text, size_t pos)
{
    memmove(text + pos, text + pos + 1, strlen(text + pos));
}

void Fit_Text(HDC hdc, const char *text, char *out, size_t cap, int width, int mode)
{
    if (text == NULL) text = "";
    if (Text_Fits(hdc, text, width)) {
        Copy_Text(out, cap, text);
        return;
    }
    const char *slash = strchr(text, '\\');
    if (mode == FIT_PATH && slash == NULL) mode = FIT_FRONT;
    if (mode != FIT_END && mode != FIT_PATH) mode = FIT_FRONT;
    char buf[FIT_TEXT_LEN];
    size_t pos;                                   /* where characters are removed */
    if (mode == FIT_PATH) {
        size_t keep = (size_t)(slash - text) + 1;     /* "C:\" */
        Copy_TextN(buf, sizeof buf, text, keep);
        Append_Text(buf, sizeof buf, "...");
        Append_Text(buf, sizeof buf, slash + 1);
        pos = keep + 3;
    } else if (mode == FIT_END) {
        Copy_Text(buf, sizeof buf - 3, text);
        pos = strlen(buf);                        /* just before the "..." */
        Append_Text(buf, sizeof buf, "...");
    } else {
        Copy_Text(buf, sizeof buf, "...");
        Append_Text(buf, sizeof buf, text);
        pos = 3;                                  /* just after the "..." */
    }
    BOOL fromStart = FALSE;                       /* nothing left at the removal point */
    while (buf[0] != '\0' && !Text_Fits(hdc, buf, width)) {
        if (fromStart) {
            Remove_Char(buf, 0);
        } else if (mode == FIT_END) {
            if (pos == 0) fromStart = TRUE;
            else Remove_Char(buf, --pos);
        } else if (buf[pos] == '\0') {
            fromStart = TRUE;
        } else if (mode == FIT_PATH && strchr(buf + pos + 1, '\\') == NULL) {
            buf[pos] = '\0';                      /* no folder left to drop: "C:\..." */
        } else {
            Remove_Char(buf, pos);
        }
    }
    Copy_Text(out, cap, buf);
}

HBITMAP Load_BitmapFile(const char *path, char *err, size_t errCap)
{
    HBITMAP bmp = (HBITMAP)LoadImageA(NULL, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (err != NULL && errCap > 0) {
        if (bmp != NULL) err[0] = '\0';
        else Format_Text(err, errCap, "%s does not contain a valid DIB", path);
    }
    return bmp;
}

/* ---- the choosers ---- */

static CHOOSER_HOOK s_ChooserHook;

void Set_ChooserHook(CHOOSER_HOOK hook) { s_ChooserHook = hook; }

static const char k_FileTypes[] =
    "Calibration Files (*.CAL)|*.cal|"
    "Text Files (*.TXT)|*.txt|"
    "System Files (*.SYS)|*.sys|"
    "Image Files (*.TIF)|*.tif|"
    "Executable Files (*.EXE)|*.exe|"
    "Log Files (*.LOG,*.TXT)|*.log;*.txt|"
    "All Files (*.*)|*.*|";
static const char k_AllFiles[] = "All Files (*.*)|*.*|";

/* The dialog's filter list: every bar becomes a terminator, and one more ends the list. */
static void Build_Filter(const char *types, char *out, size_t cap)
{
    memset(out, 0, cap);
    Copy_Text(out, cap - 1, types);
    for (char *p = out; *p != '\0'; p++)
        if (*p == '|') *p = '\0';
}

/* Where a chooser starts: the deepest existing folder of path ("C:" gets its backslash) and the
   rest of the path as the proposed name. FALSE, with only the last part of the path as the
   name, when no part of it exists. */
static BOOL Split_StartPath(const char *path, char *folder, size_t folderCap, char *name, size_t nameCap)
{
    if (Deepest_ExistingFolder(path, folder, folderCap) && (strlen(folder) <= 3 || Dir_Exists(folder))) {
        const char *rest = path + strlen(folder);
        while (*rest == '\\') rest++;
        if (strlen(folder) == 2 && folder[1] == ':') Append_Text(folder, folderCap, "\\");
        Copy_Text(name, nameCap, rest);
        return TRUE;
    }
    folder[0] = '\0';
    const char *slash = strrchr(path, '\\');
    Copy_Text(name, nameCap, slash != NULL ? slash + 1 : path);
    return FALSE;
}

/* Hands a chosen path to the caller; one that does not fit is refused with a word to the
   operator rather than cut into another path. */
static BOOL Give_Chosen(const char *chosen, char *path, size_t cap)
{
    if (strlen(chosen) >= cap) {
        Trace("Chooser: the chosen path is too long (%u characters) %s\n", (unsigned)strlen(chosen), chosen);
        Info_Box(programTitle, "The chosen path is longer than %u characters and cannot be used:\r\n\r\n%s",
                 (unsigned)(cap - 1), chosen);
        return FALSE;
    }
    Copy_Text(path, cap, chosen);
    return TRUE;
}

static HINSTANCE Template_Module(void)
{
    return hInstance != NULL ? hInstance : GetModuleHandleA(NULL);
}

static BOOL s_FileMustExist;       /* the file chooser that is up wants an existing file */

/* The file chooser's OK with must-exist set: the platform's classic dialog does not always
   refuse a file that is not there itself, so the hook does. TRUE keeps the dialog open. */
static BOOL Refuse_MissingFile(HWND hDlg, const OPENFILENAMEA *ofn)
{
    if (!s_FileMustExist || ofn == NULL || File_Exists(ofn->lpstrFile)) return FALSE;
    Trace("Choose_File: %s does not exist\n", ofn->lpstrFile);
    char text[MSG_TEXT_LEN];
    Format_Text(text, sizeof text, "%s\r\n\r\nThis file does not exist. Please choose an existing file.", ofn->lpstrFile);
    Show_MessageBox(hDlg, text, programTitle, MB_OK | MB_ICONINFORMATION | MB_EDITOR);
    return TRUE;
}

static UINT_PTR CALLBACK File_Hook(HWND hDlg, UINT msg, WPARAM, LPARAM lParam)
{
    static UINT s_FileOk;
    if (s_FileOk == 0) s_FileOk = RegisterWindowMessageA(FILEOKSTRINGA);
    if (msg == WM_INITDIALOG) {
        Centre_Window(hDlg);
        return TRUE;
    }
    if (msg == s_FileOk) return Refuse_MissingFile(hDlg, (const OPENFILENAMEA *)lParam);
    return FALSE;
}

BOOL Choose_File(HWND owner, const char *title, char *path, size_t cap, int filterIndex, BOOL mustExist)
{
    Trace("Choose_File: \"%s\" from %s (type %d%s)\n", title, path, filterIndex, mustExist ? ", must exist" : "");
    if (s_ChooserHook != NULL) {
        CHOOSER_CALL call = { CHOOSE_FILE, owner, title, filterIndex, mustExist };
        return s_ChooserHook(&call, path, cap);
    }
    char filter[sizeof k_FileTypes + 1];
    Build_Filter(k_FileTypes, filter, sizeof filter);
    Strip_Quotes(path);
    char folder[PATH_LEN], file[CHOSEN_LEN];
    BOOL hasFolder = Split_StartPath(path, folder, sizeof folder, file, sizeof file);

    OPENFILENAMEA ofn;
    memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.hInstance = Template_Module();
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = (DWORD)filterIndex;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = hasFolder ? folder : NULL;
    ofn.lpstrTitle = title;
    ofn.Flags = OFN_ENABLETEMPLATE | OFN_ENABLEHOOK | OFN_LONGNAMES | OFN_HIDEREADONLY;
    if (mustExist) ofn.Flags |= OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    ofn.lpfnHook = File_Hook;
    ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_OPEN_FILE);
    s_FileMustExist = mustExist;
    if (!GetOpenFileNameA(&ofn)) {
        DWORD err = CommDlgExtendedError();
        if (err != 0) Trace("Choose_File: the dialog failed (%lu)\n", (unsigned long)err);
        else Trace("Choose_File: cancelled\n");
        return FALSE;
    }
    char chosen[CHOSEN_LEN];
    if (Is_AbsDrivePath(file)) {
        Copy_Field(chosen, file);
    } else {
        GetCurrentDirectoryA(sizeof chosen, chosen);
        size_t n = strlen(chosen);
        if (n == 0 || chosen[n - 1] != '\\') Append_Field(chosen, "\\");
        Append_Field(chosen, file);
    }
    Trace("Choose_File: chose %s\n", chosen);
    return Give_Chosen(chosen, path, cap);
}

BOOL Choose_TypedFile(HWND owner, const char *title, char *path, size_t cap, const char *types, const char *defExt,
                      BOOL save)
{
    Trace("Choose_TypedFile: \"%s\" from %s (%s)\n", title, path, save ? "save" : "open");
    if (s_ChooserHook != NULL) {
        CHOOSER_CALL call = { save ? CHOOSE_SAVE : CHOOSE_FILE, owner, title, 1, !save };
        return s_ChooserHook(&call, path, cap);
    }
    char filter[256];
    Build_Filter(types, filter, sizeof filter);
    Strip_Quotes(path);
    char folder[PATH_LEN], file[CHOSEN_LEN];
    BOOL hasFolder = Split_StartPath(path, folder, sizeof folder, file, sizeof file);
    OPENFILENAMEA ofn;
    memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = hasFolder ? folder : NULL;
    ofn.lpstrTitle = title;
    ofn.lpstrDefExt = defExt;
    ofn.Flags = OFN_EXPLORER | OFN_LONGNAMES | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    ofn.Flags |= save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
    BOOL ok = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!ok) {
        DWORD err = CommDlgExtendedError();
        if (err != 0) Trace("Choose_TypedFile: the dialog failed (%lu)\n", (unsigned long)err);
        else Trace("Choose_TypedFile: cancelled\n");
        return FALSE;
    }
    Trace("Choose_TypedFile: chose %s\n", file);
    return Give_Chosen(file, path, cap);
}

/* The folder chooser's answer, filled by its hook while the dialog runs (one dialog at a time). */
static struct {
    BOOL chosen;
    char folder[CHOSEN_LEN];
} s_FolderPick;

static void Trim_Blanks(char *text)
{
    size_t start = strspn(text, " \t");
    size_t len = strlen(text + start);
    while (len > 0 && (text[start + len - 1] == ' ' || text[start + len - 1] == '\t')) len--;
    memmove(text, text + start, len);
    text[len] = '\0';
}

/* OK in the folder chooser: the folder shown, or that folder and the name typed under
   "New Sub-directories:". The hook closes the dialog itself: the dialog's own OK handling would
   walk into a typed name that already exists (or stop at a missing part of "a\b") and stay open,
   so a second OK would add the name twice. A name with wildcards is left to the dialog, which
   lists the folder's files by it. TRUE when the hook handled the command. */
static BOOL On_FolderOk(HWND hDlg)
{
    char name[CHOSEN_LEN];
    GetDlgItemTextA(hDlg, IDC_FD_NAME, name, sizeof name);
    Trim_Blanks(name);
    if (strpbrk(name, "*?") != NULL) {
        s_FolderPick.chosen = FALSE;
        return FALSE;
    }
    GetCurrentDirectoryA(sizeof s_FolderPick.folder, s_FolderPick.folder);
    if (name[0] != '\0') {
        size_t n = strlen(s_FolderPick.folder);
        if (n == 0 || s_FolderPick.folder[n - 1] != '\\') Append_Field(s_FolderPick.folder, "\\");
        Append_Field(s_FolderPick.folder, name);
    }
    s_FolderPick.chosen = TRUE;
    PostMessageA(hDlg, WM_COMMAND, IDABORT, 0);
    return TRUE;
}

static UINT_PTR CALLBACK Folder_Hook(HWND hDlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: {
        Centre_Window(hDlg);
        char name[16];
        GetDlgItemTextA(hDlg, IDC_FD_NAME, name, sizeof name);
        if (strcmp(name, "*.*") == 0) SetDlgItemTextA(hDlg, IDC_FD_NAME, "");
        EnableWindow(GetDlgItem(hDlg, IDC_FD_FILES), FALSE);
        return TRUE;
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:     return On_FolderOk(hDlg);
        case IDCANCEL: s_FolderPick.chosen = FALSE; return FALSE;
        }
        break;
    }
    return FALSE;
}

BOOL Choose_Folder(HWND owner, const char *title, char *path, size_t cap)
{
    Trace("Choose_Folder: \"%s\" from %s\n", title, path);
    if (s_ChooserHook != NULL) {
        CHOOSER_CALL call = { CHOOSE_FOLDER, owner, title, 0, FALSE };
        return s_ChooserHook(&call, path, cap);
    }
    char before[CHOSEN_LEN];
    DWORD hadDir = GetCurrentDirectoryA(sizeof before, before);
    char filter[sizeof k_AllFiles + 1];
    Build_Filter(k_AllFiles, filter, sizeof filter);
    Strip_Quotes(path);
    char folder[PATH_LEN], unused[CHOSEN_LEN], file[CHOSEN_LEN] = "";
    BOOL hasFolder = Split_StartPath(path, folder, sizeof folder, unused, sizeof unused);

    OPENFILENAMEA ofn;
    memset(&ofn, 0, sizeof ofn);
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.hInstance = Template_Module();
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrInitialDir = hasFolder ? folder : NULL;
    ofn.lpstrTitle = title;
    ofn.Flags = OFN_ENABLETEMPLATE | OFN_ENABLEHOOK | OFN_LONGNAMES | OFN_HIDEREADONLY;
    ofn.lpfnHook = Folder_Hook;
    ofn.lpTemplateName = MAKEINTRESOURCEA(IDD_CHOOSE_DIR);
    s_FolderPick.chosen = FALSE;
    s_FolderPick.folder[0] = '\0';
    if (!GetOpenFileNameA(&ofn)) {
        DWORD err = CommDlgExtendedError();
        if (err != 0) Trace("Choose_Folder: the dialog failed (%lu)\n", (unsigned long)err);
    }
    if (hadDir > 0 && hadDir < sizeof before) SetCurrentDirectoryA(before);
    if (!s_FolderPick.chosen) {
        Trace("Choose_Folder: cancelled\n");
        return FALSE;
    }
    Trace("Choose_Folder: chose %s\n", s_FolderPick.folder);
    return Give_Chosen(s_FolderPick.folder, path, cap);
}

BOOL Choose_CreateFolder(HWND owner, const char *title, char *path, size_t cap)
{
    /* The caller's text changes only when the folder exists. */
    char chosen[CHOSEN_LEN];
    Copy_Field(chosen, path);
    if (!Choose_Folder(owner, title, chosen, cap < sizeof chosen ? cap : sizeof chosen)) return FALSE;
    DWORD err = 0;
    if (!Create_DirectoryPath(chosen, &err)) {
        Trace("Choose_CreateFolder: could not create %s (error %lu)\n", chosen, (unsigned long)err);
        /* like every other box: no owner, modal for the task, in the foreground */
        Message_Box("Directory Chooser Call Failed", MB_OK | MB_ICONSTOP | MB_EDITOR,
                    "Could not create the specified new directory");
        return FALSE;
    }
    Copy_Text(path, cap, chosen);
    return TRUE;
}
