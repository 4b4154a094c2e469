#include "config/users.h"
#include "config/findings.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/trace.h"
#include <stdlib.h>
#include <string.h>

#define USERS_FILE "Users.cfg"

User *users;
int   userCount;

static const char k_HexDigits[] = "0123456789ABCDEF";

static int Hex_Value(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

BOOL Encode_Password(const char *password, char *out, size_t cap)
{
    if (cap == 0) return FALSE;
    size_t len = strlen(password);
    size_t need = 2 + 2 * len;
    size_t fit = (need < cap) ? need : cap - 1;
    for (size_t i = 0; i < fit; i++) {
        unsigned char byte = (i < 2) ? (unsigned char)(len % 256) : (unsigned char)password[(i - 2) / 2];
        out[i] = k_HexDigits[(i % 2 == 0) ? (byte >> 4) : (byte & 0x0F)];
    }
    out[fit] = '\0';
    return fit == need;
}

BOOL Decode_Password(const char *encoded, char *out, size_t cap)
{
    if (cap == 0) return FALSE;
    out[0] = '\0';
    size_t len = strlen(encoded);
    if (len < 2 || Hex_Value(encoded[0]) < 0 || Hex_Value(encoded[1]) < 0) return FALSE;
    if ((len - 2) % 2 != 0) return FALSE;
    size_t chars = (len - 2) / 2;
    if (chars >= cap) return FALSE;
    for (size_t i = 0; i < chars; i++) {
        int hi = Hex_Value(encoded[2 + 2 * i]), lo = Hex_Value(encoded[3 + 2 * i]);
        if (hi < 0 || lo < 0) {
            out[0] = '\0';
            return FALSE;
        }
        out[i] = (char)(hi * 16 + lo);
    }
    out[chars] = '\0';
    return TRUE;
}

static char *Dup_Text(const char *text)
{
    size_t n = strlen(text) + 1;
    char *p = (char *)malloc(n);
    if (p != NULL) memcpy(p, text, n);
    return p;
}

/* A name goes into the file as one word: it must not be empty or hold a blank or line break. */
static BOOL Is_StorableName(const char *name)
{
    if (name == NULL || name[0] == '\0') return FALSE;
    for (const unsigned char *p = (const unsigned char *)name; *p != '\0'; p++)
        if (*p <= ' ' || *p == 0x7F) return FALSE;
    return TRUE;
}

void Free_Users(HWND list)
{
    for (int i = 0; i < userCount; i++) {
        free(users[i].name);
        free(users[i].password);
    }
    free(users);
    users = NULL;
    userCount = 0;
    if (list != NULL) SendMessageA(list, LB_RESETCONTENT, 0, 0);
}

BOOL Add_User(HWND list, const char *name, const char *password)
{
    if (password == NULL) password = "";
    if (!Is_StorableName(name)) {
        Trace("Add_User: refused name \"%s\"\n", name ? name : "");
        return FALSE;
    }
    char *n = Dup_Text(name), *p = Dup_Text(password);
    User *grown = (n && p) ? (User *)realloc(users, (size_t)(userCount + 1) * sizeof(User)) : NULL;
    if (grown == NULL) {
        free(n);
        free(p);
        Trace("Add_User: no memory for \"%s\"\n", name);
        return FALSE;
    }
    users = grown;
    users[userCount].name = n;
    users[userCount].password = p;
    userCount++;
    /* Inserting at the end keeps line i = user i even in a list box that sorts. */
    if (list != NULL) SendMessageA(list, LB_INSERTSTRING, (WPARAM)-1, (LPARAM)n);
    return TRUE;
}

BOOL Replace_User(HWND list, int index, const char *name, const char *password)
{
    if (password == NULL) password = "";
    if (index < 0 || index >= userCount || !Is_StorableName(name)) {
        Trace("Replace_User: refused pos=%d name \"%s\"\n", index, name ? name : "");
        return FALSE;
    }
    char *n = Dup_Text(name), *p = Dup_Text(password);
    if (n == NULL || p == NULL) {
        free(n);
        free(p);
        Trace("Replace_User: no memory for pos=%d\n", index);
        return FALSE;
    }
    free(users[index].name);
    free(users[index].password);
    users[index].name = n;
    users[index].password = p;
    if (list != NULL) {
        SendMessageA(list, LB_DELETESTRING, (WPARAM)index, 0);
        SendMessageA(list, LB_INSERTSTRING, (WPARAM)index, (LPARAM)n);
    }
    return TRUE;
}

BOOL Remove_User(HWND list, int index)
{
    if (index < 0 || index >= userCount) return FALSE;
    free(users[index].name);
    free(users[index].password);
    memmove(&users[index], &users[index + 1], (size_t)(userCount - index - 1) * sizeof(User));
    userCount--;
    if (userCount == 0) {
        free(users);
        users = NULL;
    } else {
        User *shrunk = (User *)realloc(users, (size_t)userCount * sizeof(User));
        if (shrunk != NULL) users = shrunk;     /* a failed shrink keeps the larger block */
    }
    if (list != NULL) SendMessageA(list, LB_DELETESTRING, (WPARAM)index, 0);
    return TRUE;
}

int Find_User(const char *name)
{
    if (name == NULL) return -1;
    for (int i = 0; i < userCount; i++)
        if (Compare_NoCase(users[i].name, name) == 0) return i;
    return -1;
}

/* Takes the next word (up to a blank, tab or CR) off the front of *p, terminating it in place. */
static char *Next_Word(char **p)
{
    char *s = *p + strspn(*p, " \t\r");
    if (*s == '\0') {
        *p = s;
        return NULL;
    }
    char *e = s + strcspn(s, " \t\r");
    if (*e != '\0') *e++ = '\0';
    *p = e;
    return s;
}

BOOL Load_Users(HWND list)
{
    Free_Users(list);
    char path[PATH_LEN];
    if (homeDir == NULL || !Home_Path(path, sizeof path, homeDir, USERS_FILE)) return FALSE;
    Trace("Load_Users: %s\n", path);
    size_t len = 0;
    char *text = Read_WholeFile(path, &len);
    if (text == NULL) {
        Trace("Load_Users: could not read %s: %s\n", path, Error_Text(NULL));
        return FALSE;
    }
    /* Read line by line, so that one bad line never shifts the name/password pairing of the
       lines after it. */
    size_t pos = 0;
    TEXT_LINE l;
    for (int lineNo = 0; Next_TextLine(text, len, &pos, &l); lineNo++) {
        char *line = text + (l.text - text);
        Set_ReadLine(lineNo + 1);
        /* A zero byte would end the line early and cut the password short: the whole line is
           left out, and the lines after it are read as usual. */
        if (memchr(line, '\0', l.len) != NULL) {
            Trace("Load_Users: line %d skipped: it holds a zero byte\n", lineNo + 1);
            Read_Finding(SEV_ERROR, "the line holds a zero byte: the user is left out and lost at the next save of the "
                         "users; enter the user again in User Administration.");
            continue;
        }
        line[l.len] = '\0';
        char *rest = line;
        char *name = Next_Word(&rest);
        char *encoded = (name != NULL) ? Next_Word(&rest) : NULL;
        if (name != NULL && (encoded == NULL || Next_Word(&rest) != NULL)) {
            Trace("Load_Users: line %d skipped: not a name and a password\n", lineNo + 1);
            Read_Finding(SEV_ERROR, "the line is not a user name and an encoded password: it is left out and lost at "
                         "the next save of the users; enter the user again in User Administration.");
        } else if (name != NULL) {
            size_t cap = strlen(encoded) / 2 + 1;
            char *password = (char *)malloc(cap);
            if (password == NULL || !Decode_Password(encoded, password, cap))
            {
                Trace("Load_Users: line %d skipped: password does not decode\n", lineNo + 1);
                Read_Finding(SEV_ERROR, "the password of user \"%s\" cannot be decoded: the user is left out and lost "
                             "at the next save of the users; enter the user again in User Administration.", name);
            }
            else
                Add_User(list, name, password);
            free(password);
        }
    }
    free(text);
    Trace("Load_Users: %d users\n", userCount);
    return TRUE;
}

BOOL Store_Users(void)
{
    char path[PATH_LEN];
    if (homeDir == NULL || !Home_Path(path, sizeof path, homeDir, USERS_FILE)) {
        SetLastError(ERROR_BAD_PATHNAME);
        return FALSE;
    }
    Trace("Store_Users: %d users -> %s\n", userCount, path);
    OUTBUF out;
    OutBuf_Init(&out);
    for (int i = 0; i < userCount; i++) {
        size_t cap = 2 + 2 * strlen(users[i].password) + 1;
        char *encoded = (char *)malloc(cap);
        if (encoded == NULL || !Encode_Password(users[i].password, encoded, cap)) {
            out.failed = TRUE;
            free(encoded);
            break;
        }
        OutBuf_Printf(&out, "%s %s\n", users[i].name, encoded);
        free(encoded);
    }
    BOOL ok = !out.failed && Write_WholeFile(path, out.data ? out.data : "", out.len, TRUE);
    DWORD e = out.failed ? (DWORD)ERROR_NOT_ENOUGH_MEMORY : GetLastError();
    OutBuf_Free(&out);
    if (!ok) {
        Trace("Store_Users: FAILED %s: %s\n", path, Error_Text(&e));
        SetLastError(e);
    }
    return ok;
}
