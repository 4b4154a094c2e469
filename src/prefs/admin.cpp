#include "prefs/admin.h"
#include "prefs/prefrules.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/frame.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "config/prefsfile.h"
#include "config/users.h"
#include "resources/resource.h"
#include <stdlib.h>
#include <string.h>

static HINSTANCE Instance(void) { return hInstance != NULL ? hInstance : GetModuleHandleA(NULL); }

/* ---- one user ---- */

/* The User dialog's state beside its frame: the user edited and the texts OK took. */
typedef struct {
    int   index;         /* the user edited, -1 to add one */
    BOOL  filling;       /* the dialog is putting the user into the fields: no filtering */
    char *name;          /* as OK read them (on the heap) */
    char *password;
} USER_STATE;

static USER_STATE *User_State(HWND dlg) { return (USER_STATE *)Frame_Extra(dlg); }

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

/* The creation argument is the index of the user edited (-1, or one past the list, to add). */
static BOOL Open_UserEntry(HWND dlg, LPARAM arg)
{
    USER_STATE *s = User_State(dlg);
    s->index = (int)arg;
    if (s->index < 0 || s->index >= userCount) s->index = -1;
    SetWindowTextA(dlg, s->index == -1 ? "Add user" : "Edit user");
    SendDlgItemMessageA(dlg, IDC_US_NAME, EM_LIMITTEXT, USER_NAME_MAX, 0);
    SendDlgItemMessageA(dlg, IDC_US_PASSWORD, EM_LIMITTEXT, USER_PASSWORD_MAX, 0);
    SendDlgItemMessageA(dlg, IDC_US_CONFIRM, EM_LIMITTEXT, USER_PASSWORD_MAX, 0);
    const User *u = s->index == -1 ? NULL : &users[s->index];
    s->filling = TRUE;
    SetDlgItemTextA(dlg, IDC_US_NAME, u ? u->name : "");
    SetDlgItemTextA(dlg, IDC_US_PASSWORD, u ? u->password : "");
    SetDlgItemTextA(dlg, IDC_US_CONFIRM, u ? u->password : "");
    s->filling = FALSE;
    Frame_Focus(dlg, IDC_US_NAME);
    return TRUE;
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

static const char k_NoMemoryForUser[] = "There is not enough memory to keep this user.";

/* OK: the name and the password as typed, checked against the list. */
static BOOL Check_UserFields(HWND dlg)
{
    USER_STATE *s = User_State(dlg);
    free(s->name);
    free(s->password);
    s->name = Field_Text(dlg, IDC_US_NAME);
    s->password = Field_Text(dlg, IDC_US_PASSWORD);
    char *confirm = Field_Text(dlg, IDC_US_CONFIRM);
    if (s->name == NULL || s->password == NULL || confirm == NULL) {
        free(confirm);
        User_Error(dlg, k_NoMemoryForUser);
        return FALSE;
    }
    int field = 0;
    const char *problem = Check_UserEntry(s->name, s->password, confirm, s->index, &field);
    free(confirm);
    if (problem == NULL) return TRUE;
    User_Error(dlg, problem);
    if (field == USER_FIELD_PASSWORD) {
        SetDlgItemTextA(dlg, IDC_US_PASSWORD, "");
        SetDlgItemTextA(dlg, IDC_US_CONFIRM, "");
    }
    HWND edit = GetDlgItem(dlg, field == USER_FIELD_PASSWORD ? IDC_US_PASSWORD : IDC_US_NAME);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    return FALSE;
}

static BOOL Commit_UserFields(HWND dlg)
{
    USER_STATE *s = User_State(dlg);
    if (Commit_UserEntry(s->index, s->name, s->password)) return TRUE;
    User_Error(dlg, k_NoMemoryForUser);
    return FALSE;
}

static void Close_UserEntry(HWND dlg, BOOL)
{
    USER_STATE *s = User_State(dlg);
    free(s->name);
    free(s->password);
    s->name = s->password = NULL;
}

const FRAME_DEF userFrame = {
    "User_Dlg(); wm_initdialog\n", 0, sizeof(USER_STATE), NULL, 0,
    IDOK, IDOK, IDCANCEL, Open_UserEntry, NULL, Check_UserFields, Commit_UserFields, Close_UserEntry,
};

INT_PTR CALLBACK User_Dlg(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND) {
        switch (LOWORD(wParam)) {
        case IDC_US_NAME:
        case IDC_US_PASSWORD:
        case IDC_US_CONFIRM:
            if (HIWORD(wParam) == EN_CHANGE) On_User_Typed(dlg, LOWORD(wParam));
            return TRUE;
        }
    }
    return Frame_DefProc(dlg, msg, wParam, lParam, &userFrame);
}

/* ---- the administration ---- */

/* The list box shows the users from the list, line i user i; inserting at the end keeps that
   even in a list box that sorts. */
static HWND Users_List(HWND dlg) { return GetDlgItem(dlg, IDC_AD_USERS); }

static void Show_Users(HWND dlg)
{
    HWND list = Users_List(dlg);
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < userCount; i++) SendMessageA(list, LB_INSERTSTRING, (WPARAM)-1, (LPARAM)users[i].name);
}

static BOOL Open_Admin(HWND dlg, LPARAM)
{
    if (!Open_Users()) return FALSE;
    Show_Users(dlg);
    CheckDlgButton(dlg, IDC_AD_LOGIN, REQUIRE_LOGIN ? BST_CHECKED : BST_UNCHECKED);
    return TRUE;
}

static BOOL Commit_Admin(HWND dlg)
{
    return Commit_Users(IsDlgButtonChecked(dlg, IDC_AD_LOGIN) == BST_CHECKED);
}

/* The list is read again from the file when the dialog next opens. */
static void Close_Admin(HWND, BOOL) { Free_Users(); }

const FRAME_DEF adminFrame = {
    "Admin_Dlg(); wm_initdialog\n", 0, 0, NULL, 0,
    IDOK, IDOK, IDCANCEL, Open_Admin, NULL, NULL, Commit_Admin, Close_Admin,
};

/* The one selected user, or -1 when none or several are selected. */
static int Single_Selection(HWND dlg)
{
    HWND list = Users_List(dlg);
    int index = -1;
    if (SendMessageA(list, LB_GETSELCOUNT, 0, 0) != 1) return -1;
    if (SendMessageA(list, LB_GETSELITEMS, 1, (LPARAM)&index) != 1) return -1;
    return index;
}

/* The User dialog on user index (-1: a new one); the list box follows what it kept. */
static void Open_User(HWND dlg, int index)
{
    if (DialogBoxParamA(Instance(), MAKEINTRESOURCEA(IDD_USER), dlg, User_Dlg, (LPARAM)index) != IDOK) return;
    HWND list = Users_List(dlg);
    if (index < 0 || index >= userCount) {
        SendMessageA(list, LB_INSERTSTRING, (WPARAM)-1, (LPARAM)users[userCount - 1].name);
        return;
    }
    SendMessageA(list, LB_DELETESTRING, (WPARAM)index, 0);
    SendMessageA(list, LB_INSERTSTRING, (WPARAM)index, (LPARAM)users[index].name);
}

static void On_Edit(HWND dlg)
{
    int index = Single_Selection(dlg);
    if (index >= 0) Open_User(dlg, index);
}

static void On_Delete(HWND dlg)
{
    HWND list = Users_List(dlg);
    int count = (int)SendMessageA(list, LB_GETSELCOUNT, 0, 0);
    if (count <= 0) return;
    int *chosen = (int *)malloc((size_t)count * sizeof(int));
    if (chosen == NULL) return;
    count = (int)SendMessageA(list, LB_GETSELITEMS, (WPARAM)count, (LPARAM)chosen);
    /* From the last to the first, so that the positions still to go stay valid. */
    for (int i = count - 1; i >= 0; i--) {
        Trace("Admin_Dlg: delete user %d\n", chosen[i]);
        if (Remove_User(chosen[i])) SendMessageA(list, LB_DELETESTRING, (WPARAM)chosen[i], 0);
    }
    free(chosen);
}

INT_PTR CALLBACK Admin_Dlg(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND) {
        switch (LOWORD(wParam)) {
        case IDC_AD_ADD:    Open_User(dlg, -1);         return TRUE;
        case IDC_AD_EDIT:   On_Edit(dlg);               return TRUE;
        case IDC_AD_DELETE: On_Delete(dlg);             return TRUE;
        case IDC_AD_USERS:
            if (HIWORD(wParam) == LBN_DBLCLK) On_Edit(dlg);
            return TRUE;
        }
    }
    return Frame_DefProc(dlg, msg, wParam, lParam, &adminFrame);
}

BOOL Edit_Users(HWND owner)
{
    return DialogBoxParamA(Instance(), MAKEINTRESOURCEA(IDD_ADMIN), owner, Admin_Dlg, 0) == IDOK;
}
