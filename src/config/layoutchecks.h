/* The checks of a whole installation, every problem at once: the checks that refuse a save
   (missing applications, two queues of one name, a balancing input queue with fewer than two
   outputs) as errors, and how the queues' folders fit together as warnings (two queues on one
   hot directory, a hot directory inside another that takes sub-directories, a done, time-out,
   excluded-files or thumbnail directory inside a hot directory, queues that pass jobs round in a
   loop, an input queue that feeds its own hot directory, a folder that is not there). They read
   the configuration in memory and the disk (whether a folder exists), show nothing and change
   nothing. Paths are compared as the file system names them: letter case, "." and "..", a
   trailing backslash and surrounding double quotes make no difference. */
#pragma once
#include <windows.h>
#include <stddef.h>
#include "config/findings.h"

/* path as the file system names it, for comparing: unquoted, made full (".", ".." and forward
   slashes resolved, without looking at the disk), no trailing backslash but a drive's root's,
   upper case. "" for an empty path. */
void Normal_Path(const char *path, char *out, size_t cap);
/* TRUE when the normal paths name the same folder, or inner lies beneath outer. */
BOOL Same_Path(const char *a, const char *b);
BOOL Path_Within(const char *inner, const char *outer);

/* The line of the queues file that holds the input queue (lbq TRUE) or output queue at pos:
   input queues come first. */
int  Queue_FileLine(BOOL lbq, int pos);

/* Adds the findings of the checks that refuse a save, every one of them (errors). */
void Check_SaveRules(FINDINGS *list);
/* Adds the folder-layout findings (warnings). */
void Check_Layout(FINDINGS *list);
/* list becomes what the readers told at the last load, the checks' and the layout's findings,
   sorted by file and line. */
void Check_All(FINDINGS *list);

/* Remembers the layout findings of the configuration as loaded: those are not asked about at OK. */
void Note_LoadLayout(void);
void Forget_LoadLayout(void);
/* The step of the save sequence after the checks: the layout findings that were not there at
   load (a missing folder is left to the question that creates it) in one warning box, at most
   ten listed; Yes saves anyway (TRUE), No goes back (FALSE). Silent: asks nothing, traces every
   layout finding and answers TRUE. */
BOOL Ask_NewLayoutFindings(BOOL silent);
