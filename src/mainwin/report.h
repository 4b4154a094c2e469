/* The configuration report: one HTML page that describes the whole installation for a person
   to read or print (audits, the night shift, before an upgrade). Built from the configuration in
   memory, without a window: the header with the counts, the problems found, a card for every
   output queue (its icon, the overview's texts, then every field under the label of its page),
   the input queues, the applications and groups with the queues that use them, a map of every
   folder the configuration names, the preferences, the users' names and the last entries of the
   change log.

   The page stands alone: its style sheet and the icons (PNG) are inside it, it needs no script
   and names nothing on a network. Every text taken from the installation is escaped, and bytes
   above 127 are written as the characters of the Windows code page they stand for (the page is
   UTF-8). References to other queues and applications are links to their cards. */
#pragma once
#include <windows.h>
#include "common/text.h"

#define REPORT_TEXT_LEN 261

/* The editor's version as its identity resources name it; published by the start-up once they
   are loaded ("" until then). */
extern char reportVersion[REPORT_TEXT_LEN];

/* Where a report comes from. */
typedef struct {
    const char *home;       /* the installation's home directory as shown */
    const char *when;       /* the date and time shown; NULL: now, in local time */
    BOOL        unsaved;    /* the configuration in the editor differs from its files */
} REPORT_INFO;

/* One problem of the installation, for the report's problems section. */
#define REPORT_PROBLEM_LEN 600
typedef struct {
    char text[REPORT_PROBLEM_LEN];
    int  queue;             /* the output queue it is about, or -1 */
    int  lbq;               /* the input queue it is about, or -1 */
} REPORT_PROBLEM;

/* The problems of the live configuration: every finding of the checker (what the readers
   repaired at load, what OK would refuse, the folder layout), each a line as -check prints it,
   without asking anything. Fills up to cap rows and returns how many problems there are (more
   than cap when they did not fit). */
int Report_Problems(REPORT_PROBLEM *rows, int cap);

/* Appends text to out for an HTML page: < > & " ' as entities, bytes above 127 converted from
   the Windows code page to UTF-8, control characters other than tab and line breaks as blanks.
   With lineBreaks, each line break becomes <br>. */
void Html_Text(OUTBUF *out, const char *text, BOOL lineBreaks);

/* The report of the live configuration (the arrays, the preferences in memory, the users in
   memory) into out. FALSE when out failed (no memory). */
BOOL Build_Report(const REPORT_INFO *info, OUTBUF *out);

/* Build_Report written to path through the whole-file writer (the previous file stays whole
   when the write fails). FALSE, with GetLastError telling why, when it could not be written. */
BOOL Write_Report(const char *path, const REPORT_INFO *info);
