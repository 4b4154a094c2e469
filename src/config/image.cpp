#include "config/image.h"
#include "config/fields.h"
#include "config/lbfile.h"
#include "common/trace.h"
#include <stdlib.h>
#include <string.h>

static char *Dup_Text(const char *text)
{
    if (text == NULL) text = "";
    size_t n = strlen(text) + 1;
    char *p = (char *)malloc(n);
    if (p != NULL) memcpy(p, text, n);
    return p;
}

static void Free_UserList(User *list, int count)
{
    for (int i = 0; i < count; i++) {
        free(list[i].name);
        free(list[i].password);
    }
    free(list);
}

/* Deep copies of count users, or NULL (nothing left allocated) when there is no memory. A list of
   no users is NULL with *ok TRUE. */
static User *Copy_UserList(const User *from, int count, BOOL *ok)
{
    *ok = TRUE;
    if (count <= 0) return NULL;
    User *list = (User *)calloc((size_t)count, sizeof(User));
    if (list == NULL) {
        *ok = FALSE;
        return NULL;
    }
    for (int i = 0; i < count; i++) {
        list[i].name = Dup_Text(from[i].name);
        list[i].password = Dup_Text(from[i].password);
        if (list[i].name == NULL || list[i].password == NULL) {
            Free_UserList(list, i + 1);
            *ok = FALSE;
            return NULL;
        }
    }
    return list;
}

CONFIG_IMAGE *New_ConfigImage(void)
{
    CONFIG_IMAGE *img = (CONFIG_IMAGE *)calloc(1, sizeof *img);
    if (img == NULL) {
        Trace("New_ConfigImage: no memory for %u bytes\n", (unsigned)sizeof *img);
        return NULL;
    }
    for (int i = 0; i < MAX_TARGETS; i++) {
        img->targets[i].slotIndex = i;
        img->targets[i].loadIndex = -1;
    }
    for (int i = 0; i < MAX_LBQS; i++) img->lbqs[i].loadIndex = -1;
    for (int i = 0; i < MAX_APPS; i++) img->apps[i].free = TRUE;
    for (int i = 0; i < MAX_APPGROUPS; i++) img->appGroups[i].free = TRUE;
    img->prefs.globals.COMMS_SERVER_PORT = -1;
    return img;
}

CONFIG_IMAGE *Take_ConfigImage(void)
{
    CONFIG_IMAGE *img = (CONFIG_IMAGE *)malloc(sizeof *img);
    if (img == NULL) {
        Trace("Take_ConfigImage: no memory for %u bytes\n", (unsigned)sizeof *img);
        return NULL;
    }
    memcpy(img->targets, targets, sizeof targets);
    img->targetCount = targetCount;
    memcpy(img->lbqs, lbqs, sizeof lbqs);
    img->lbqCount = lbqCount;
    memcpy(img->apps, apps, sizeof apps);
    memcpy(img->appGroups, appGroups, sizeof appGroups);
    memcpy(img->deletedQueues, deletedQueues, sizeof deletedQueues);
    Take_LivePrefs(&img->prefs);
    img->lbDebugLevel = lbDebugLevel;
    BOOL ok;
    img->users = Copy_UserList(users, userCount, &ok);
    img->userCount = ok ? userCount : 0;
    if (!ok) {
        Trace("Take_ConfigImage: no memory for %d users\n", userCount);
        free(img);
        return NULL;
    }
    Trace("Take_ConfigImage: %d output queues, %d input queues, %d users\n", targetCount, lbqCount, userCount);
    return img;
}

BOOL Put_ConfigImage(const CONFIG_IMAGE *img)
{
    BOOL ok;
    User *copies = Copy_UserList(img->users, img->userCount, &ok);
    if (!ok) {
        Trace("Put_ConfigImage: no memory for %d users; nothing changed\n", img->userCount);
        return FALSE;
    }
    Trace("Put_ConfigImage: %d output queues, %d input queues, %d users\n", img->targetCount, img->lbqCount,
          img->userCount);
    memcpy(targets, img->targets, sizeof targets);
    targetCount = img->targetCount;
    memcpy(lbqs, img->lbqs, sizeof lbqs);
    lbqCount = img->lbqCount;
    memcpy(apps, img->apps, sizeof apps);
    memcpy(appGroups, img->appGroups, sizeof appGroups);
    memcpy(deletedQueues, img->deletedQueues, sizeof deletedQueues);
    Put_LivePrefs(&img->prefs);
    lbDebugLevel = img->lbDebugLevel;
    Free_Users();
    users = copies;
    userCount = copies != NULL ? img->userCount : 0;
    return TRUE;
}

void Free_ConfigImage(CONFIG_IMAGE *img)
{
    if (img == NULL) return;
    Free_UserList(img->users, img->userCount);
    free(img);
}

/* TRUE when every field of table the two records hold is equal. */
static BOOL Records_Equal(FIELD_TABLE table, const void *a, const void *b)
{
    for (int i = 0; i < Field_Count(table); i++)
        if (!Field_Equal(Field_At(table, i), a, b)) return FALSE;
    return TRUE;
}

BOOL Equal_ConfigImages(const CONFIG_IMAGE *a, const CONFIG_IMAGE *b)
{
    if (a->targetCount != b->targetCount || a->lbqCount != b->lbqCount || a->userCount != b->userCount ||
        a->lbDebugLevel != b->lbDebugLevel || memcmp(a->deletedQueues, b->deletedQueues, sizeof a->deletedQueues) != 0)
        return FALSE;
    for (int i = 0; i < a->targetCount; i++)
        if (!Records_Equal(FT_TARGET, &a->targets[i], &b->targets[i])) return FALSE;
    for (int i = 0; i < a->lbqCount; i++)
        if (!Records_Equal(FT_LBQ, &a->lbqs[i], &b->lbqs[i])) return FALSE;
    for (int i = 0; i < MAX_APPS; i++) {
        if ((a->apps[i].free != 0) != (b->apps[i].free != 0)) return FALSE;
        if (!a->apps[i].free && !Records_Equal(FT_APP, &a->apps[i], &b->apps[i])) return FALSE;
    }
    for (int i = 0; i < MAX_APPGROUPS; i++) {
        if ((a->appGroups[i].free != 0) != (b->appGroups[i].free != 0)) return FALSE;
        if (!a->appGroups[i].free && !Records_Equal(FT_APPGROUP, &a->appGroups[i], &b->appGroups[i])) return FALSE;
    }
    if (!Records_Equal(FT_PREFS, &a->prefs, &b->prefs)) return FALSE;
    for (int i = 0; i < a->userCount; i++)
        if (!Records_Equal(FT_USER, &a->users[i], &b->users[i])) return FALSE;
    return TRUE;
}
