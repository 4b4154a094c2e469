/* The rules of the preferences and user dialogs that need no window: how an edit of the
   preferences is laid over the file when it is saved, the comms server port as typed, the path of
   the identifier search application, the job-name masks' description and checks, the characters
   a user name or password may hold and the checks of one user. */
#pragma once
#include <windows.h>
#include <stdint.h>
#include "config/prefsfile.h"

/* ---- General Preferences ---- */

/* What General Preferences edits: the spooler-wide record and the identifier search application
   held beside it. */
typedef struct {
    SPOOLER_GLOBALS g;
    char            plateApp[PLATE_APP_LEN];
} PREFS_EDIT;

/* Copies the process-wide preferences into e. */
void Take_PrefsEdit(PREFS_EDIT *e);

/* What General Preferences opens on: the preferences file read again (Reload_Preferences), then
   taken into e. A file that is there but cannot be read is told ("Could not read the preferences
   file. The preferences cannot be changed now.") and gives FALSE: nothing can be edited. */
BOOL Open_PrefsEdit(PREFS_EDIT *e);

/* Commits what General Preferences edited: reads the file again, lays the operator's changes
   over it (Merge_PrefsEdit) and writes it. A file that cannot be read again or written is told
   (the writer tells its own failure) and gives FALSE, with the process-wide preferences put back
   as they were, so nothing half-done stays in memory. */
BOOL Commit_PrefsEdit(const PREFS_EDIT *opened, const PREFS_EDIT *work);

/* Reads the preferences file again into the process-wide record, then puts back a log-in switch
   that the Administration dialog changed and no preferences file holds yet. TRUE when the file
   was read or there is none; FALSE when a preferences file exists but could not be read, or when
   the file's path under the home directory does not fit (the record then keeps its values, and
   path names the file for the caller's message, or the home directory when no path fits). */
BOOL Reload_Preferences(char *path, size_t cap);

/* Lays what the operator changed in the dialog (the fields in which work differs from opened)
   over the process-wide record; every other preference keeps the value the record holds, so a
   change another program made to the file while the dialog was open survives. Fields that only
   make sense together go together: the two log sizes, the two masks with their preset, the port
   with its hexadecimal flag. */
void Merge_PrefsEdit(const PREFS_EDIT *opened, const PREFS_EDIT *work);

/* The log-in switch as the Administration dialog set it, kept until a preferences file holds it:
   reading the file again (when General Preferences opens) must not undo it. */
void Note_LoginSwitch(BOOL on);
void Forget_LoginSwitch(void);

/* The port field as typed. Leading white space is skipped. A text beginning with a digit gives
   the number it reads as: "0x" and hexadecimal digits set *hex, a decimal number clears it; a
   number beyond the 32-bit range stays at its top. Any other text, or none, gives -1 ("no
   port") and leaves *hex as it was. */
void Read_PortText(const char *text, int32_t *port, BOOL *hex);
/* The port as the field shows it: empty below 0, "0x%X" when hexadecimal, else "%d". */
void Format_PortText(int32_t port, BOOL hex, char *out, size_t cap);

/* The path a Browse starts from: leading white space skipped, then what lies inside the first
   pair of double quotes (to the end when the closing one is missing), or else the text up to its
   first blank. */
void Bare_AppPath(const char *text, char *out, size_t cap);
/* A chosen path in double quotes (leading white space skipped; a path already in quotes is quoted
   again from its inner text). FALSE when out (cap bytes) cannot hold it. */
BOOL Quote_AppPath(const char *path, char *out, size_t cap);
/* The path field holds at most 260 characters of path: in quotes it may hold 262. TRUE when text
   keeps to that. */
BOOL AppPath_Fits(const char *text);

/* ---- job-name masks ---- */

/* What File Naming Convention edits: the two masks and the preset (-1: masks of the operator's
   own). */
typedef struct {
    char    group[MASK_LEN];
    char    sepId[MASK_LEN];
    int32_t index;
} MASKS_EDIT;

/* The masks of rec; a preset index that names no preset counts as masks of the operator's own. */
void Open_MasksEdit(const SPOOLER_GLOBALS *rec, MASKS_EDIT *e);
/* Puts the masks and the preset into rec (nothing is written to disk). */
void Commit_MasksEdit(const MASKS_EDIT *e, SPOOLER_GLOBALS *rec);

/* The preset whose two masks equal these (ignoring case), preferring current while it still
   matches; -1 when none does. */
int Match_MaskPreset(const char *group, const char *sepId, int current);
/* The text General Preferences shows for the masks in force. */
void Mask_Description(int ripIndex, char *out, size_t cap);

#define MASK_FIELD_GROUP 1
#define MASK_FIELD_SEPID 2
/* Checks a pair of masks before they are taken: each at least 3 characters, and, when the masks
   were typed (typed TRUE), each text as typed at most 64 characters (groupTyped and sepIdTyped
   are the lengths of the texts in the fields). NULL when both are good; otherwise the message,
   with *field the mask it is about. */
const char *Check_Masks(const char *group, const char *sepId, BOOL typed, int groupTyped, int sepIdTyped, int *field);

/* ---- users ---- */

/* Removes from text every character that is not a letter or a digit. The selection
   (*selStart..*selEnd, character positions) moves back by the characters removed before each
   end. Returns the number of characters removed. */
int Filter_UserText(char *text, int *selStart, int *selEnd);

#define USER_FIELD_NAME     1
#define USER_FIELD_PASSWORD 2
/* Checks a user before it is taken into the list: a name, no other user of that name (ignoring
   case; editing is the index of the user being edited, -1 when adding), and a confirmation equal
   to the password. NULL when the user can be taken; otherwise the message, with *field the field
   it is about. */
const char *Check_UserEntry(const char *name, const char *password, const char *confirm, int editing, int *field);
/* Takes a user that Check_UserEntry accepted into the list: appended when index is -1, in place
   of user index otherwise (trace "User_Dlg: OK, user %s at %d\n"). FALSE, with the list as it
   was, when it cannot be kept (no memory). */
BOOL Commit_UserEntry(int index, const char *name, const char *password);

/* What the Administration dialog opens on: "Users.cfg" read into the list. A file that is there
   but cannot be read is told ("Could not read the users file. The users cannot be changed now.")
   and gives FALSE: it must not be replaced by an empty list. A missing file gives no users. */
BOOL Open_Users(void);
/* OK of the Administration dialog: writes the list to "Users.cfg" and sets the log-in switch
   (required only when asked for and there are users; it reaches the preferences file with the
   next save of the preferences). A file that cannot be written is told with the system's reason
   and gives FALSE, with the switch as it was. */
BOOL Commit_Users(BOOL loginAsked);
