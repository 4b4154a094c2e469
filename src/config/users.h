/* The users who may log in to the spooler, kept in "Users.cfg" in the home directory: one line
   per user, the name, one blank and the encoded password. The Administration dialog loads the
   list when it opens and stores it when it is closed with OK; nothing else uses the file. The
   list is kept in memory only: the dialog shows it from the array. */
#pragma once
#include <windows.h>
#include "common/text.h"

#define USER_NAME_MAX     32     /* what the User dialog lets the operator type */
#define USER_PASSWORD_MAX 32

/* One user; both texts are on the heap. Passwords are held in clear text in memory. */
typedef struct {
    char *name;
    char *password;
} User;

/* The list, in file order; the array always holds exactly userCount entries. */
extern User *users;
extern int   userCount;

/* Empties the list (frees every entry). */
void Free_Users(void);

/* Reads "Users.cfg" of the home directory into the list, after emptying it.
   A line whose password does not decode (or that is not a name and one encoded password) is
   left out without a message. TRUE when the file was read; a missing file leaves the list empty. */
BOOL Load_Users(void);

/* Writes the list to "Users.cfg" (one "name encoded\n" line per user, an empty file for no users)
   through the whole-file writer, so the file is either the previous or the new content.
   Shows nothing: FALSE (GetLastError set) tells the caller, who words the failure. */
BOOL Store_Users(void);

/* Appends a user (copies of both texts). FALSE, with the list as it
   was, when the name is empty or holds a blank or control character (the file could not hold it),
   or when there is no memory. */
BOOL Add_User(const char *name, const char *password);

/* Puts copies of the texts in place of user index. FALSE with
   nothing changed for a bad index, a name as refused by Add_User, or no memory. */
BOOL Replace_User(int index, const char *name, const char *password);

/* Removes user index, closing the gap. FALSE for a bad index. */
BOOL Remove_User(int index);

/* The index of the first user whose name equals name ignoring case, or -1. */
int Find_User(const char *name);

/* The file form of a password: two upper-case hex digits of its length modulo 256, then two per
   character. FALSE when out (cap bytes) cannot hold the result (out is then cut). */
BOOL Encode_Password(const char *password, char *out, size_t cap);
/* The reverse. The length prefix is only checked for being two hex digits; the pairs after it
   decide the password. FALSE for any other character, a missing second digit of a pair, or a
   result that does not fit in out (cap bytes). */
BOOL Decode_Password(const char *encoded, char *out, size_t cap);
