#include "queueedit/paramfile_dlg.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "resources/resource.h"
#include <stdlib.h>
#include <string.h>

BOOL ParamText_ForEdit(const char *file, size_t len, char **out)
{
    size_t lines = 0;
    for (size_t i = 0; i < len; i++)
        if (file[i] == '\n') lines++;
    char *text = (char *)malloc(len + lines + 1);
    if (text == NULL) return FALSE;
    size_t n = 0;
    for (size_t i = 0; i < len; i++) {
        if (file[i] == '\r' && i + 1 < len && file[i + 1] == '\n') continue;    /* the "\n" brings it back */
        if (file[i] == '\n') text[n++] = '\r';
        text[n++] = file[i];
    }
    text[n] = '\0';
    *out = text;
    return TRUE;
}

size_t ParamText_ForFile(char *text)
{
    size_t n = 0;
    for (size_t i = 0; text[i] != '\0'; i++) {
        if (text[i] == '\r' && text[i + 1] == '\n') continue;
        text[n++] = text[i];
    }
    text[n] = '\0';
    return n;
}

/* The file's path without the quotes it may be given in. */
static void File_Path(const Target *t, char *path, size_t cap)
{
    Copy_Text(path, cap, t->parameters);
    Strip_Quotes(path);
}

/* Shows the file's text. A file that is there but cannot be read whole as text (held by another
   program, too large, holding zero bytes) is shown as far as it can be, read-only: OK then
   leaves it as it is rather than write a part of it back. A missing file is an empty text. */
static void Load_ParamFile(HWND dlg, const Target *t)
{
    char path[PATH_LEN];
    File_Path(t, path, sizeof path);
    HWND edit = GetDlgItem(dlg, IDC_PF_TEXT);
    SendMessageA(edit, EM_LIMITTEXT, 0, 0);         /* no limit short of memory: nothing is cut */
    size_t len = 0;
    char *file = Read_WholeFile(path, &len);
    char *text = NULL;
    BOOL whole = file != NULL && memchr(file, '\0', len) == NULL;
    if (file != NULL && ParamText_ForEdit(file, len, &text)) {
        SetWindowTextA(edit, text);
        free(text);
    }
    free(file);
    if (!whole && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
        Trace("ParamFile_Dlg: \"%s\" cannot be read whole; shown read-only\n", path);
        SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
    }
}

/* Writes the edit's text to the file, creating its folder when the first try fails. The
   operator is told when it cannot be written. */
static void Save_ParamFile(HWND dlg, const Target *t)
{
    HWND edit = GetDlgItem(dlg, IDC_PF_TEXT);
    if (GetWindowLongA(edit, GWL_STYLE) & ES_READONLY) return;
    char path[PATH_LEN];
    File_Path(t, path, sizeof path);
    int len = GetWindowTextLengthA(edit);
    char *text = (char *)malloc((size_t)len + 1);
    if (text == NULL) {
        Info_Box(programTitle, "There is not enough memory to save the file.");
        return;
    }
    GetWindowTextA(edit, text, len + 1);
    size_t n = ParamText_ForFile(text);
    BOOL ok = Write_WholeFile(path, text, n, TRUE);
    if (!ok) {
        char folder[PATH_LEN];
        Copy_Field(folder, path);
        if (Parent_Folder(folder) && folder[0] != '\0') Create_DirectoryPath(folder, NULL);
        ok = Write_WholeFile(path, text, n, TRUE);
    }
    DWORD err = GetLastError();
    free(text);
    if (!ok) {
        Trace("ParamFile_Dlg: could not write \"%s\" (%lu)\n", path, (unsigned long)err);
        SetLastError(err);
        SysError_Box(programTitle, "Error writing file. The file has not been saved.");
    }
}

INT_PTR CALLBACK ParamFile_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    const Target *t = (const Target *)GetWindowLongPtrA(hDlg, DWLP_USER);
    switch (msg) {
    case WM_INITDIALOG:
        Trace("ParamFile_Dlg(); wm_initdialog\n");
        Centre_Window(hDlg);
        if (lParam == 0) {
            EndDialog(hDlg, PARAMFILE_CANCEL);
            return TRUE;
        }
        SetWindowLongPtrA(hDlg, DWLP_USER, lParam);
        SetWindowTextA(hDlg, ((const Target *)lParam)->parameters);
        Load_ParamFile(hDlg, (const Target *)lParam);
        /* the caret at the start, nothing selected: a key pressed must not replace the whole file */
        SetFocus(GetDlgItem(hDlg, IDC_PF_TEXT));
        SendDlgItemMessageA(hDlg, IDC_PF_TEXT, EM_SETSEL, 0, 0);
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:     Save_ParamFile(hDlg, t); EndDialog(hDlg, PARAMFILE_OK); return TRUE;
        case IDCANCEL: EndDialog(hDlg, PARAMFILE_CANCEL);                      return TRUE;
        }
        break;
    }
    return FALSE;
}

int Edit_ParamFile(HWND owner, const Target *t)
{
    return (int)DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_PARAMFILE), owner, ParamFile_Dlg, (LPARAM)t);
}
