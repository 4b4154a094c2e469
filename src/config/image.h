/* The configuration as a value: a whole copy of what the editor edits, held apart from the live
   arrays. The difference between two configurations, a restore (a backup read into an image),
   the report and the change log work on images; the live configuration is taken into one and put
   back from one.

   Icon handles are copied as they are: an image never owns, extracts or destroys an icon. A
   handle in an image may have been destroyed since it was taken (Delete_Target destroys the
   icon of the queue it deletes), so whoever puts an image back gives the queues and the
   applications their icons again from their icon paths before they are drawn. */
#pragma once
#include <windows.h>
#include <stdint.h>
#include "config/model.h"
#include "config/prefsfile.h"
#include "config/users.h"

typedef struct CONFIG_IMAGE {
    Target       targets[MAX_TARGETS];
    int          targetCount;
    LBQ          lbqs[MAX_LBQS];
    int          lbqCount;
    App          apps[MAX_APPS];
    AppGroup     appGroups[MAX_APPGROUPS];
    BOOL         deletedQueues[MAX_QUEUES];
    PREFS_VALUES prefs;                 /* the preferences record, the plate search application and the log-in switch */
    int32_t      lbDebugLevel;          /* the load balancer's, carried by its file */
    User        *users;                 /* deep copies owned by the image; NULL when there are none */
    int          userCount;
} CONFIG_IMAGE;

/* A new image of the live configuration (a few MB on the heap), or NULL (traced) when there is
   no memory for it or its users. Free it with Free_ConfigImage. */
CONFIG_IMAGE *Take_ConfigImage(void);
/* An image that holds nothing (no queues, free application slots, the preferences' defaults
   zeroed, no users), for a reader to fill; NULL when there is no memory. */
CONFIG_IMAGE *New_ConfigImage(void);
/* Makes img the live configuration: the arrays, counts, deleted queues, preferences, debug level
   and users (copies: img stays the caller's). FALSE, with the live configuration untouched, when
   there is no memory for the users' copies. The load-time snapshot and the lines the readers
   kept are not part of an image and stay as they are. */
BOOL Put_ConfigImage(const CONFIG_IMAGE *img);
/* Frees img and its users; NULL is allowed. */
void Free_ConfigImage(CONFIG_IMAGE *img);
/* TRUE when the two images hold the same configuration: the same counts, every field of every
   queue in use, of every used application and group slot (free slots are not looked at), the
   deleted queues, the preferences, the debug level and the users. Texts compare as texts (not
   the bytes past their ends); icon handles are not compared. */
BOOL Equal_ConfigImages(const CONFIG_IMAGE *a, const CONFIG_IMAGE *b);
