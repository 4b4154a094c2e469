#include "config/lbfile.h"
#include "config/findings.h"
#include "config/limits.h"
#include "config/storefile.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include <stdlib.h>
#include <string.h>

#define LB_LINE_MAX 259               /* the longest line the reader takes */

const LBRule fileGroupIdRules[] = {
    { "None", "" },
    { "Same head name", "FILE_GROUP_ID_RULE same.*\n" },
    { "All seps for a job. Use filename mask", "FILE_GROUP_ID_RULE *C*\n" },
    { "", "" },
};

const LBRule fileGroupRules[] = {
    { "Don't care", "FILE_GROUP_RULE NONE\n" },
    { "On the same device", "FILE_GROUP_RULE SAME_DEVICE\n" },
    { "At the same time", "FILE_GROUP_RULE ANY_DEVICE\n" },
    { "", "" },
};

const LBRule jobReassignmentRules[] = {
    { "Blocked jobs only", "JOB_REASSIGNMENT_RULE NO\n" },
    { "All jobs except user-moved", "JOB_REASSIGNMENT_RULE NONUSERMOVE\n" },
    { "All jobs", "JOB_REASSIGNMENT_RULE ALL\n" },
    { "All jobs but don't split groups", "JOB_REASSIGNMENT_RULE NOSPLIT\n" },
    { "", "" },
};

int32_t lbDebugLevel;

/* The settings read as numbers, in the order they are looked for, with their ranges. */
enum { LB_TIME_PRIORITY, LB_PURGE_MINUTES, LB_COPIES_SPLIT, LB_PAGES_SPLIT, LB_NUMERIC_COUNT };
static const struct {
    const char *token;
    FIELD_RANGE range;
} k_Numeric[LB_NUMERIC_COUNT] = {
    { "TIME_PRIORITY_VALUE", LIMIT_TIME_PRIORITY },
    { "FILE_GROUP_PURGE_MINUTES", LIMIT_PURGE_MINUTES },
    { "MINIMUM_COPIES_SPLIT_SIZE", LIMIT_SPLIT_SIZE },
    { "MINIMUM_PAGES_SPLIT_SIZE", LIMIT_SPLIT_SIZE },
};

int Count_LBRules(const LBRule *table)
{
    int n = 0;
    while (table[n].label[0] != '\0') n++;
    return n;
}

int Count_LBQOutputs(const int32_t *outputs)
{
    int n = 0;
    for (int i = 0; i < MAX_LBQ_OUTPUTS; i++) n += (outputs[i] == 1);
    return n;
}

/* ---- reading ---- */

/* The first two words of a line; words are separated by spaces and line feeds (not tabs). */
static void Split_Words(const char *line, char *token, size_t tokenCap, char *value, size_t valueCap)
{
    const char *sep = " \n";
    const char *p = line + strspn(line, sep);
    size_t n = strcspn(p, sep);
    Copy_TextN(token, tokenCap, p, n);
    p += n;
    p += strspn(p, sep);
    Copy_TextN(value, valueCap, p, strcspn(p, sep));
}

/* The value as a decimal number (sign allowed, stops at the first non-digit, held at the 32-bit
   limits); -1 stands for a missing number. The load balancer reads its file so: a value that
   converts to 0 without beginning with "0" is no number, and neither is one that begins with a
   blank (a tab is no word separator here, so it can start a value). */
static int32_t Value_Number(const char *value)
{
    long long n;
    if (value[0] == ' ' || value[0] == '\t' || !Read_Decimal(value, strlen(value), INT32_MIN, INT32_MAX, &n, NULL))
        return -1;
    if (n == 0 && value[0] != '0') return -1;
    return (int32_t)n;
}

static void Report_Range(int lbq, const char *token, int32_t value, int32_t bound, BOOL below)
{
    const char *name = lbqs[lbq].name;
    if (below) {
        Trace("LBQ %d (%s) has %s set to %d. This is below the minimum value %d. Setting to minimum.\n", lbq, name,
              token, value, bound);
        Read_Finding(SEV_WARNING, "input queue \"%s\": %s %d is below the minimum and is taken as %d; set a value in range.",
                     name, token, value, bound);
        Info_Box(programTitle,
                 "Found an inconsistency in the configuration files for the load balanced input queue \"%s\".  The "
                 "token %s is set below the minimum. Resetting from %d to %d.",
                 name, token, value, bound);
    } else {
        Trace("LBQ %d (%s) has %s set to %d. This is above the maximum value %d. Setting to maximum.\n", lbq, name,
              token, value, bound);
        Read_Finding(SEV_WARNING, "input queue \"%s\": %s %d is above the maximum and is taken as %d; set a value in range.",
                     name, token, value, bound);
        Info_Box(programTitle,
                 "Found an inconsistency in the configuration files for the load balanced input queue \"%s\".  The "
                 "token %s is set above the maximum. Resetting from %d to %d.",
                 name, token, value, bound);
    }
}

static void Store_Numeric(LBQ *q, int which, int32_t v)
{
    switch (which) {
    case LB_TIME_PRIORITY: q->timePriorityValue = (uint8_t)v; break;
    case LB_PURGE_MINUTES: q->fileGroupPurgeMinutes = v;      break;
    case LB_COPIES_SPLIT:  q->minCopiesSplitSize = v;         break;
    case LB_PAGES_SPLIT:   q->minPagesSplitSize = v;          break;
    }
}

static void Trace_NoNumber(const char *token, const char *line)
{
    Trace("Found token \"%s\" but could not extract numeric value\nLine in file: %s\n", token, line);
    Read_Finding(SEV_WARNING, "%s has no number and the line is ignored; give it a number or remove the line.", token);
}

static void Trace_NotInterpreted(const char *line)
{
    Trace("The entry \"%s\" was found but not interpreted by the load balancer file reading routine\n", line);
    /* blank lines and the queue group lines are written for the spooler and never read back */
    char token[LB_LINE_MAX + 1], value[LB_LINE_MAX + 1];
    Split_Words(line, token, sizeof token, value, sizeof value);
    if (token[0] == '\0' || Compare_NoCase(token, "QUEUE_GROUP") == 0) return;
    Read_Finding(SEV_WARNING, "the line \"%s\" is not understood (an unknown setting, or a setting before any "
                 "INPUT_QUEUE line) and is ignored; correct or remove it.", line);
}

/* The position of the line (with its line feed) in a rule table, or -1. */
static int Find_RuleLine(const LBRule *table, const char *lineNL)
{
    for (int i = 0; table[i].label[0] != '\0'; i++)
        if (table[i].line[0] != '\0' && Compare_NoCase(table[i].line, lineNL) == 0) return i;
    return -1;
}

/* One line of the file; *current is the LBQ the per-queue lines go to, -1 for none. */
static void Read_LBLine(const char *line, int *current)
{
    char token[LB_LINE_MAX + 1], value[LB_LINE_MAX + 1], lineNL[LB_LINE_MAX + 2];
    Split_Words(line, token, sizeof token, value, sizeof value);
    int32_t number = Value_Number(value);
    Copy_Field(lineNL, line);
    Append_Field(lineNL, "\n");
    LBQ *q = (*current >= 0) ? &lbqs[*current] : NULL;

    if (Compare_NoCase(token, "DEBUG_LEVEL") == 0) {
        if (number > -1) lbDebugLevel = number;
        else Trace_NoNumber(token, line);
        return;
    }
    if (Compare_NoCase(token, "INPUT_QUEUE") == 0) {
        if (number <= -1) {
            Trace_NoNumber(token, line);
            return;
        }
        /* a number that names no input queue leaves no queue current until the next one */
        long long pos = (long long)number - targetCount;
        *current = (pos >= 0 && pos < lbqCount && pos < MAX_LBQS) ? (int)pos : -1;
        if (*current < 0) {
            Trace("Input queue %d of the file does not exist; its lines are ignored\n", number);
            Read_Finding(SEV_WARNING, "INPUT_QUEUE %d names no input queue, so the settings after it are ignored; "
                         "correct the number or remove those lines.", number);
        }
        return;
    }
    if (Compare_NoCase(token, "QUEUE_GROUP_ENABLED") == 0) {
        if (number <= -1) Trace_NoNumber(token, line);
        else if (q == NULL) Trace_NotInterpreted(line);
        else q->queueGroupEnabled = number;
        return;
    }
    int rule;
    if ((rule = Find_RuleLine(fileGroupIdRules, lineNL)) >= 0) {
        if (q != NULL) q->fileGroupIdRule = (uint8_t)rule;
        else Trace_NotInterpreted(line);
        return;
    }
    if ((rule = Find_RuleLine(fileGroupRules, lineNL)) >= 0) {
        if (q != NULL) q->fileGroupRule = (uint8_t)rule;
        else Trace_NotInterpreted(line);
        return;
    }
    if ((rule = Find_RuleLine(jobReassignmentRules, lineNL)) >= 0) {
        if (q != NULL) q->jobReassignmentRule = (uint8_t)rule;
        else Trace_NotInterpreted(line);
        return;
    }
    for (int k = 0; k < LB_NUMERIC_COUNT; k++) {
        if (Compare_NoCase(token, k_Numeric[k].token) != 0) continue;
        if (number == -1) {
            Trace_NoNumber(token, line);
            return;
        }
        if (q == NULL) {
            Trace_NotInterpreted(line);
            return;
        }
        int32_t v = number;
        if (v < k_Numeric[k].range.minimum) {
            Report_Range(*current, k_Numeric[k].token, v, k_Numeric[k].range.minimum, TRUE);
            v = k_Numeric[k].range.minimum;
        } else if (v > k_Numeric[k].range.maximum) {
            Report_Range(*current, k_Numeric[k].token, v, k_Numeric[k].range.maximum, FALSE);
            v = k_Numeric[k].range.maximum;
        }
        Store_Numeric(q, k, v);
        return;
    }
    if (Compare_NoCase(token, "OUTPUT_QUEUE") == 0) {
        if (number == -1) {
            Trace_NoNumber(token, line);
            return;
        }
        if (q == NULL) {
            Trace_NotInterpreted(line);
            return;
        }
        long long pos = (long long)number - lbqCount;
        if (pos >= 0 && pos < targetCount && pos < MAX_LBQ_OUTPUTS) {
            q->outputs[pos] = 1;
            return;
        }
        int shown = (pos < INT32_MIN) ? INT32_MIN : (int)pos;
        Trace("Found queue %d listed for LBQ %d (%s) but this queue does not exist\n", shown, *current, q->name);
        Read_Finding(SEV_WARNING, "input queue \"%s\": OUTPUT_QUEUE %d names no output queue and is ignored; "
                     "choose its outputs in the input queue editor.", q->name, number);
        Info_Box(programTitle,
                 "Found an inconsistency in the configuration files for the load balanced input queue \"%s\".  The "
                 "queue \"%d\" does not exist.",
                 q->name, shown);
        return;
    }
    Trace_NotInterpreted(line);
}

/* The reading itself; a file that cannot be opened is told to the operator only when asked. */
static BOOL Read_LBConfig(BOOL tellMissing)
{
    lbDebugLevel = 0;
    char path[PATH_LEN];
    size_t len = 0;
    char *text = Home_Path(path, sizeof path, homeDir, LB_FILE) ? Read_WholeFile(path, &len) : NULL;
    if (text == NULL && !tellMissing) {
        Trace("Could not open %s; debug level 0\n", path);
        return FALSE;
    }
    if (text == NULL) {
        Trace("Could not open the load balancer configuration file %s. Setting all input queue entries to default, "
              "with no listed ouput targets.\n", path);
        Info_Box(programTitle,
                 "Could not open the load balancer configuration file %s. Setting all input queue entries to "
                 "default, with no listed ouput targets.", path);
        return FALSE;
    }
    Trace("Opened file %s\n", path);

    int current = -1, lineNo = 0;
    size_t pos = 0;
    TEXT_LINE l;
    /* Only a reading for the input queues tells what it finds: without any, every queue line of
       the file names a queue that is not there. */
    if (tellMissing) Begin_ReadFindings(LB_FILE);
    while (Next_TextLine(text, len, &pos, &l)) {
        size_t n = l.len;
        Set_ReadLine(++lineNo);
        if (n > LB_LINE_MAX) {
            /* an over-long line is no setting: skipped whole rather than read in pieces */
            Trace("A line of %u characters was skipped by the load balancer file reading routine\n", (unsigned)n);
            Read_Finding(SEV_WARNING, "the line is longer than %d characters and is ignored; shorten or remove it.",
                         LB_LINE_MAX);
            continue;
        }
        char line[LB_LINE_MAX + 1];
        Copy_TextN(line, sizeof line, l.text, n);
        if (line[0] == '#') continue;
        Read_LBLine(line, &current);
    }
    End_ReadFindings();
    free(text);
    return TRUE;
}

BOOL Get_LBConfig(void)
{
    Trace("\nGet_LBConfig()\n");
    Trace("New code to fill in the LB array\n");
    return Read_LBConfig(TRUE);
}

BOOL Get_LBDebugLevel(void)
{
    Trace("\nGet_LBDebugLevel()\n");
    return Read_LBConfig(FALSE);
}

/* ---- writing ---- */

/* The file line of a table entry; an index the table does not have is written as its default. */
static const char *Rule_Line(const LBRule *table, int index, int fallback)
{
    if (index < 0 || index >= Count_LBRules(table)) {
        Trace("Rule index %d is not in its table; writing the default\n", index);
        index = fallback;
    }
    return table[index].line;
}

BOOL Store_LBConfig(BOOL keepPrevious)
{
    Trace("\nStore_LBConfig()\n");
    char path[PATH_LEN];
    if (!Store_PathOf(LB_FILE, path, sizeof path)) return FALSE;
    OUTBUF b;
    OutBuf_Init(&b);
    OutBuf_Puts(&b, "# Load Balancer Configuration File\n");
    for (int i = 0; i < lbqCount && i < MAX_LBQS; i++) {
        const LBQ *q = &lbqs[i];
        OutBuf_Printf(&b, "\n# %s\n", q->name);
        OutBuf_Printf(&b, "QUEUE_GROUP %d\n", i);
        OutBuf_Printf(&b, "INPUT_QUEUE %d\n", targetCount + i);
        OutBuf_Printf(&b, "QUEUE_GROUP_ENABLED %d\n", q->queueGroupEnabled);
        OutBuf_Puts(&b, Rule_Line(fileGroupIdRules, q->fileGroupIdRule, 0));
        OutBuf_Puts(&b, Rule_Line(fileGroupRules, q->fileGroupRule, 0));
        OutBuf_Puts(&b, Rule_Line(jobReassignmentRules, q->jobReassignmentRule, 1));
        OutBuf_Printf(&b, "%s %d\n", k_Numeric[LB_TIME_PRIORITY].token, q->timePriorityValue);
        OutBuf_Printf(&b, "%s %d\n", k_Numeric[LB_PURGE_MINUTES].token, q->fileGroupPurgeMinutes);
        OutBuf_Printf(&b, "%s %d\n", k_Numeric[LB_COPIES_SPLIT].token, q->minCopiesSplitSize);
        OutBuf_Printf(&b, "%s %d\n", k_Numeric[LB_PAGES_SPLIT].token, q->minPagesSplitSize);
        for (int j = 0; j < targetCount && j < MAX_TARGETS && j < MAX_LBQ_OUTPUTS; j++)
            if (q->outputs[j] != 0) OutBuf_Printf(&b, "OUTPUT_QUEUE %d\n", lbqCount + j);
    }
    OutBuf_Printf(&b, "\nDEBUG_LEVEL %d\n", lbDebugLevel);

    BOOL ok = Store_TextFile(path, &b, keepPrevious,
                             "Could not open the load balancer configuration file for writing. Data will not be "
                             "saved.\r\n\"%s\"");
    OutBuf_Free(&b);
    if (!ok) {
        Trace("Could not open the file %s. Returning FALSE\n", path);
        return FALSE;
    }
    Trace("Opened file %s\n", path);
    return TRUE;
}
