/* User administration: the users who may log in to the spooler ("Users.cfg") and the switch
   that makes logging in compulsory. */
#pragma once
#include <windows.h>
#include "common/frame.h"

/* The frames of the Administration dialog and of one user. */
extern const FRAME_DEF adminFrame;
extern const FRAME_DEF userFrame;

/* "Administration": loads the users when it opens; OK writes "Users.cfg" and sets the log-in
   switch (which reaches the preferences file with the next save of the preferences). A file
   that cannot be written is told and the dialog stays open with the list as edited. */
INT_PTR CALLBACK Admin_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);
/* "Add user" / "Edit user". The creation argument is the index of the user edited (-1 to add
   one). OK takes the user into the list (nothing is written to disk); the caller shows it. */
INT_PTR CALLBACK User_Dlg(HWND hDlg, UINT msg, WPARAM wParam, LPARAM lParam);

/* Opens the user administration modally over owner. TRUE when the users were written (OK). */
BOOL Edit_Users(HWND owner);
