/* The load balancer's configuration file "LBPrefs.cfg": per input queue its balancing rules and
   the output queues it feeds, and the load balancer's debug level. Also the three rule tables
   (the label the input queue editor shows and the exact line that stands for it in the file). */
#pragma once
#include <windows.h>
#include <stdint.h>
#include "config/model.h"

#define LB_FILE          "LBPrefs.cfg"
#define LB_RULE_TEXT_LEN 260          /* a label or a file line of up to 259 characters */

/* One entry of a rule table; its position is the value kept in the LBQ record. A table ends at
   the first entry whose label is empty. An empty line means nothing is written for the entry. */
typedef struct {
    char label[LB_RULE_TEXT_LEN];
    char line[LB_RULE_TEXT_LEN];     /* with its final "\n" */
} LBRule;

extern const LBRule fileGroupIdRules[];        /* FILE_GROUP_ID_RULE: "None", ... (3 entries) */
extern const LBRule fileGroupRules[];          /* FILE_GROUP_RULE: "Don't care", ... (3 entries) */
extern const LBRule jobReassignmentRules[];    /* JOB_REASSIGNMENT_RULE: "Blocked jobs only", ... (4 entries) */
/* Number of entries of a table (up to its empty label). */
int Count_LBRules(const LBRule *table);

/* The load balancer's debug level (DEBUG_LEVEL): 0 at the start of every read, written back as read. */
extern int32_t lbDebugLevel;

/* Reads the file into the LBQ records and the debug level; TRUE when read to its end, FALSE
   when it could not be opened (the operator is told; the LBQs keep their defaults). Values out
   of range are reset to the nearest bound and an output queue that does not exist is ignored,
   each told to the operator. Needs targetCount and lbqCount of the queues file. */
BOOL Get_LBConfig(void);
/* With no input queues only the debug level in the file matters: reads it (0 when the file is
   missing or has none) without telling the operator anything, so that a save keeps it. */
BOOL Get_LBDebugLevel(void);
/* Writes the file from the LBQ records (also when there are none). FALSE when it could not be
   written; the operator is told and the previous file stays as it was. keepPrevious: the previous
   file is kept as "LBPrefs.old" first (the caller asks for it when the queues file was not read
   whole: the numbers the previous file was written with may not be those of the queues read, and
   its rules may not have been taken). */
BOOL Store_LBConfig(BOOL keepPrevious);
/* (The defaults of an input queue's settings, Init_LBConfig, are the model's: model.h.) */
/* Number of output flags equal to 1 among all of an input queue's flags. */
int  Count_LBQOutputs(const int32_t *outputs);
