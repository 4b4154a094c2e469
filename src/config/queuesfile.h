/* The queues file "Queues.cfg" (older name "Spooler.lkp", read but never written): one queue a
   line, input queues first, then output queues; fields joined by "::" (fieldsplit.h). */
#pragma once
#include <windows.h>
#include <stddef.h>
#include "common/text.h"
#include "config/fieldsplit.h"
#include "config/model.h"

#define QUEUES_FILE       "Queues.cfg"
#define QUEUES_FILE_OLD   "Spooler.lkp"

/* Reads the queues file into targets and lbqs and sets targetCount and lbqCount. TRUE when a
   file was read (even an empty one); FALSE (both counts 0) when neither name could be opened.
   Reading stops at a damaged line, at an empty line and at a queue beyond the 200 the editor
   holds; the lines from there on are kept and written back unchanged by Store_TargetData, and
   the operator is told once (not in the update mode). */
BOOL Get_TargetData(void);
/* Writes the queues file (the previous one kept as "Queues.old"), the queues' process references
   as the entry numbers of the applications file being written. The records are not changed.
   TRUE when the file was stored; a failure is told to the operator and counted in storeFailures,
   and the previous file then stays as it was. */
BOOL Store_TargetData(void);

/* Reads one queue line (without its line end) into *t, zeroed first. *isLbq is set when the line
   is an input queue's (process reference 201); the caller copies the fields an LBQ keeps.
   FALSE when a required field is missing or unreadable or a value does not fit its field; why
   (may be NULL) then tells which. The queue-number offsets are not applied here. */
BOOL Parse_QueueLine(const char *line, Target *t, BOOL *isLbq, char *why, size_t whyCap);

/* Lines not taken at the last load (keptQueueLines, keptlines.h): TRUE when there are some. Their
   numbers are the application entries (as at load) that the kept lines run, so that the
   renumbering keeps those entries and Store_TargetData writes their new numbers. */
BOOL Have_KeptQueueLines(void);
void Clear_KeptQueueLines(void);
