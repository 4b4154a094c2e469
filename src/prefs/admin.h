/* User administration: the users who may log in to the spooler ("Users.cfg") and the switch
   that makes logging in compulsory. */
#pragma once
#include <windows.h>

/* "Administration": loads the users when it opens; OK writes "Users.cfg" and sets the log-in
   switch (which reaches the preferences file with the next save of the preferences). A file
   that cannot be written is told and the dialog stays open with the list as edited. */
INT_PTR CALLBACK Admin_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
/* "Add user" / "Edit user". The creation argument is a USER_EDIT. */
INT_PTR CALLBACK User_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);

typedef struct {
    HWND list;       /* the Administration dialog's list box, kept in step with the users */
    int  index;      /* the user edited, -1 to add one */
} USER_EDIT;

/* Opens the user administration modally over owner. TRUE when the users were written (OK). */
BOOL Edit_Users(HWND owner);
