#include "prefs/admin.h"
#include "prefs/prefrules.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "config/changelog.h"
#include "config/prefsfile.h"
#include "config/users.h"
#include "resources/resource.h"
#include <stdlib.h>
#include <string.h>

static HINSTANCE Instance(void) { return hInstance != NULL ? hInstance : GetModuleHandleA(NULL); }

/* ---- one user ---- */

typedef struct {
    USER_EDIT edit;
    BOOL      filling;       /* the dialog is putting the user into the fields: no filtering */
} USER_STATE;

static USER_STATE *User_State(HWND dlg) { return (USER_STATE *)GetWindowLongPtrA(dlg, DWLP_USER); }

/* The whole text of a field, however long (a user read from the file may be longer than what can
   be typed). Free with free(); NULL when there is no memory. */
static char *Field_Text(HWND dlg, int id)
{
    HWND field = GetDlgItem(dlg, id);
    int len = GetWindowTextLengthA(field);
    char *text = (char *)malloc((size_t)len + 1);
    if (text == NULL) return NULL;
    text[0] = '\0';
    GetWindowTextA(field, text, len + 1);
    return text;
}

static BOOL On_User_Init(HWND dlg, LPARAM lParam)
{
    Trace("User_Dlg(); wm_initdialog\n");
    USER_STATE *s = (USER_STATE *)calloc(1, sizeof *s);
    if (s == NULL || lParam == 0) {
        free(s);
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    }
    s->edit = *(const USER_EDIT *)lParam;
    if (s->edit.index >= userCount) s->edit.index = -1;
    SetWindowLongPtrA(dlg, DWLP_USER, (LONG_PTR)s);
    SetWindowTextA(dlg, s->edit.index == -1 ? "Add user" : "Edit user");
    SendDlgItemMessageA(dlg, IDC_US_NAME, EM_LIMITTEXT, USER_NAME_MAX, 0);
    SendDlgItemMessageA(dlg, IDC_US_PASSWORD, EM_LIMITTEXT, USER_PASSWORD_MAX, 0);
    SendDlgItemMessageA(dlg, IDC_US_CONFIRM, EM_LIMITTEXT, USER_PASSWORD_MAX, 0);
    const User *u = s->edit.index == -1 ? NULL : &users[s->edit.index];
    s->filling = TRUE;
    SetDlgItemTextA(dlg, IDC_US_NAME, u ? u->name : "");
    SetDlgItemTextA(dlg, IDC_US_PASSWORD, u ? u->password : "");
    SetDlgItemTextA(dlg, IDC_US_CONFIRM, u ? u->password : "");
    s->filling = FALSE;
    Centre_Window(dlg);
    SetFocus(GetDlgItem(dlg, IDC_US_NAME));
    SendDlgItemMessageA(dlg, IDC_US_NAME, EM_SETSEL, 0, -1);
    return FALSE;                  /* the focus is set */
}

/* Takes out at once what is not a letter or a digit, keeping the caret where the operator was. */
static void On_User_Typed(HWND dlg, int id)
{
    USER_STATE *s = User_State(dlg);
    if (s == NULL || s->filling) return;
    char *text = Field_Text(dlg, id);
    if (text == NULL) return;
    DWORD start = 0, end = 0;
    SendDlgItemMessageA(dlg, id, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    int selStart = (int)start, selEnd = (int)end;
    if (Filter_UserText(text, &selStart, &selEnd) > 0) {
        s->filling = TRUE;
        SetDlgItemTextA(dlg, id, text);
        s->filling = FALSE;
        SendDlgItemMessageA(dlg, id, EM_SETSEL, (WPARAM)selStart, (LPARAM)selEnd);
    }
    free(text);
}

static void User_Error(HWND dlg, const char *text) { Show_MessageBox(dlg, text, "Error", MB_OK); }

static void On_User_Ok(HWND dlg)
{
    USER_STATE *s = User_State(dlg);
    if (s == NULL) return;
    char *name = Field_Text(dlg, IDC_US_NAME), *password = Field_Text(dlg, IDC_US_PASSWORD),
         *confirm = Field_Text(dlg, IDC_US_CONFIRM);
    if (name != NULL && password != NULL && confirm != NULL) {
        int field = 0;
        const char *problem = Check_UserEntry(name, password, confirm, s->edit.index, &field);
        if (problem != NULL) {
            User_Error(dlg, problem);
            if (field == USER_FIELD_PASSWORD) {
                SetDlgItemTextA(dlg, IDC_US_PASSWORD, "");
                SetDlgItemTextA(dlg, IDC_US_CONFIRM, "");
            }
            HWND edit = GetDlgItem(dlg, field == USER_FIELD_PASSWORD ? IDC_US_PASSWORD : IDC_US_NAME);
            SetFocus(edit);
            SendMessageA(edit, EM_SETSEL, 0, -1);
        } else {
            BOOL kept = s->edit.index == -1 ? Add_User(s->edit.list, name, password)
                                            : Replace_User(s->edit.list, s->edit.index, name, password);
            if (kept) {
                Trace("User_Dlg: OK, user %s at %d\n", name, s->edit.index);
                EndDialog(dlg, IDOK);
            } else {
                User_Error(dlg, "There is not enough memory to keep this user.");
            }
        }
    } else {
        User_Error(dlg, "There is not enough memory to keep this user.");
    }
    free(name);
    free(password);
    free(confirm);
}

INT_PTR CALLBACK User_Dlg(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG: return On_User_Init(dlg, lParam);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:     On_User_Ok(dlg);            return TRUE;
        case IDCANCEL: EndDialog(dlg, IDCANCEL);   return TRUE;
        case IDC_US_NAME:
        case IDC_US_PASSWORD:
        case IDC_US_CONFIRM:
            if (HIWORD(wParam) == EN_CHANGE) On_User_Typed(dlg, LOWORD(wParam));
            return TRUE;
        }
        break;
    case WM_DESTROY:
        free(User_State(dlg));
        SetWindowLongPtrA(dlg, DWLP_USER, 0);
        break;
    }
    return FALSE;
}

/* ---- the administration ---- */

static void Users_Path(char *path, size_t cap)
{
    if (homeDir == NULL || !Home_Path(path, cap, homeDir, "Users.cfg")) Copy_Text(path, cap, "Users.cfg");
}

static BOOL On_Admin_Init(HWND dlg)
{
    Trace("Admin_Dlg(); wm_initdialog\n");
    char path[PATH_LEN];
    Users_Path(path, sizeof path);
    /* A file that is there but cannot be read must not be replaced by an empty list. */
    if (!Load_Users(GetDlgItem(dlg, IDC_AD_USERS)) && File_Exists(path)) {
        Info_Box(programTitle, "Could not read the users file. The users cannot be changed now.\r\n\"%s\"", path);
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    }
    Note_UsersLoaded();
    CheckDlgButton(dlg, IDC_AD_LOGIN, REQUIRE_LOGIN ? BST_CHECKED : BST_UNCHECKED);
    Centre_Window(dlg);
    return TRUE;
}

/* The one selected user, or -1 when none or several are selected. */
static int Single_Selection(HWND dlg)
{
    HWND list = GetDlgItem(dlg, IDC_AD_USERS);
    int index = -1;
    if (SendMessageA(list, LB_GETSELCOUNT, 0, 0) != 1) return -1;
    if (SendMessageA(list, LB_GETSELITEMS, 1, (LPARAM)&index) != 1) return -1;
    return index;
}

static void Open_User(HWND dlg, int index)
{
    USER_EDIT edit = { GetDlgItem(dlg, IDC_AD_USERS), index };
    DialogBoxParamA(Instance(), MAKEINTRESOURCEA(IDD_USER), dlg, User_Dlg, (LPARAM)&edit);
}

static void On_Edit(HWND dlg)
{
    int index = Single_Selection(dlg);
    if (index >= 0) Open_User(dlg, index);
}

static void On_Delete(HWND dlg)
{
    HWND list = GetDlgItem(dlg, IDC_AD_USERS);
    int count = (int)SendMessageA(list, LB_GETSELCOUNT, 0, 0);
    if (count <= 0) return;
    int *chosen = (int *)malloc((size_t)count * sizeof(int));
    if (chosen == NULL) return;
    count = (int)SendMessageA(list, LB_GETSELITEMS, (WPARAM)count, (LPARAM)chosen);
    /* From the last to the first, so that the positions still to go stay valid. */
    for (int i = count - 1; i >= 0; i--) {
        Trace("Admin_Dlg: delete user %d\n", chosen[i]);
        Remove_User(list, chosen[i]);
    }
    free(chosen);
}

static void On_Admin_Ok(HWND dlg)
{
    if (!Store_Users()) {
        DWORD error = GetLastError();
        char path[PATH_LEN];
        Users_Path(path, sizeof path);
        SetLastError(error);
        SysError_Box(programTitle, "Could not write the users file. The users were not saved.\r\n\"%s\"", path);
        return;
    }
    Log_UsersChange(preferencesMode ? CHANGE_MODE_PREFERENCES : CHANGE_MODE_INTERACTIVE);
    /* Logging in cannot be required of no users. */
    BOOL login = IsDlgButtonChecked(dlg, IDC_AD_LOGIN) == BST_CHECKED && userCount > 0;
    if (login != REQUIRE_LOGIN) Note_LoginSwitch(login);
    REQUIRE_LOGIN = login;
    Trace("Admin_Dlg: OK, %d users, login %s\n", userCount, login ? "required" : "not required");
    EndDialog(dlg, IDOK);
}

INT_PTR CALLBACK Admin_Dlg(HWND dlg, UINT msg, WPARAM wParam, LPARAM)
{
    switch (msg) {
    case WM_INITDIALOG: return On_Admin_Init(dlg);
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:          On_Admin_Ok(dlg);           return TRUE;
        case IDCANCEL:      EndDialog(dlg, IDCANCEL);   return TRUE;
        case IDC_AD_ADD:    Open_User(dlg, -1);         return TRUE;
        case IDC_AD_EDIT:   On_Edit(dlg);               return TRUE;
        case IDC_AD_DELETE: On_Delete(dlg);             return TRUE;
        case IDC_AD_USERS:
            if (HIWORD(wParam) == LBN_DBLCLK) On_Edit(dlg);
            return TRUE;
        }
        break;
    case WM_DESTROY:
        /* The list is read again from the file when the dialog next opens. */
        Free_Users(NULL);
        break;
    }
    return FALSE;
}

BOOL Edit_Users(HWND owner)
{
    return DialogBoxParamA(Instance(), MAKEINTRESOURCEA(IDD_ADMIN), owner, Admin_Dlg, 0) == IDOK;
}
