/* The queue editor's working copy of one output queue, without windows: where the editor opens,
   what the copy starts from, the checks before it is committed, the commit, and what happens to
   the icon the copy holds. The overview dialog (targetman.cpp) calls these in order.

   The working copy's icon is the editor's own: Open_TargetWork extracts it afresh, a page that
   puts another icon into the copy hands that one over (Hold_WorkIcon destroys the one it
   replaced), Commit_TargetWork gives it to the array slot (destroying the slot's old one) and
   Drop_TargetWork destroys it. */
#pragma once
#include <windows.h>
#include <stddef.h>
#include "config/model.h"

/* The position the editor works on when asked for pos: pos when it names an output queue;
   targetCount (a new queue) for targetCount; 0 for a position above it (a new queue when there
   are none). -1 when a new queue is asked for and the queues of both kinds already number
   MAX_QUEUES. */
int  Editor_Position(int pos);

/* Fills work for a position from Editor_Position: a copy of the queue there, or for a new queue
   the empty slot with the new-queue defaults and a proposed hot directory. Then the editor's
   opening rules: a queue that runs monitor processes gets the hot directory "Monitor" unless its
   own contains that word; a hidden queue does not suspend on error; the icon is extracted from
   iconPath (none without one, or when the file holds none). */
void Open_TargetWork(int pos, Target *work);

/* The checks of a commit, in order. typed is the name as the operator left it; name (cap bytes)
   receives it without leading and trailing blanks. Each refusal is told to the operator (beep
   and error box: no name, a forbidden character, processes to run but none chosen, a name
   already used; information box: a hot directory that is no path) and gives FALSE. A parameter
   file that does not exist is told and passes. Changes nothing. */
BOOL Check_TargetWork(const Target *work, int pos, const char *typed, char *name, size_t cap);

/* Puts work, normalised, into the array at pos (targetCount: appended as a new queue). The slot
   takes over work's icon; its old icon is destroyed. */
void Commit_TargetWork(Target *work, int pos);

/* Destroys the icon the working copy holds. */
void Drop_TargetWork(Target *work);

/* After a page has returned: when work holds another icon than *held, *held (replaced) is
   destroyed and work's icon is held instead. */
void Hold_WorkIcon(const Target *work, HICON *held);

/* The flag "switch to another queue if no jobs to process" is one setting for a whole mutex
   group: every queue of the array in work's group (same name, letter case counting) gets work's
   flag at once. Queues in no group are not a group: an empty group name changes nothing. */
void Propagate_SwitchIfIdle(const Target *work);

/* The first icon of file as a handle of its own; NULL when the path is empty or the file holds
   no icon. */
HICON Extract_QueueIcon(const char *file);
