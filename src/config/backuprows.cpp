#include "config/backuprows.h"
#include "config/changelog.h"
#include "config/diff.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/text.h"
#include <stdio.h>
#include <stdlib.h>
#include "common/trace.h"
#include <string.h>

/* How many different names the rows about one kind of thing carry. */
static int Count_Named(const CONFIG_DIFF *d, DIFF_ABOUT about)
{
    int n = 0;
    for (int i = 0; i < d->count; i++) {
        if (d->rows[i].about != about) continue;
        BOOL seen = FALSE;
        for (int j = 0; j < i && !seen; j++)
            seen = d->rows[j].about == about && strcmp(d->rows[j].name, d->rows[i].name) == 0;
        if (!seen) n++;
    }
    return n;
}

/* Seconds since 1970 of a local date and time, by the civil calendar; -1 when not read. */
static long long Local_Seconds(int y, int mo, int d, int h, int mi, int se)
{
    if (y < 1970 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || se > 60) return -1;
    y -= mo <= 2;
    long long era = y / 400, yoe = y - era * 400;
    long long doy = (153 * (mo + (mo > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long long days = era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
    return days * 86400 + h * 3600 + mi * 60 + se;
}

typedef struct {
    BACKUP_SUMMARY *list;
    int             count;
    long long      *at;        /* each backup's time; -1 when its name holds none */
    long long      *best;      /* the distance of the header taken so far */
} SAVER_MATCH;

static void Match_Header(const CHANGE_HEADER *h, void *context)
{
    SAVER_MATCH *m = (SAVER_MATCH *)context;
    int y, mo, d, hh, mi, se;
    if (sscanf(h->when, "%4d-%2d-%2dT%2d:%2d:%2d", &y, &mo, &d, &hh, &mi, &se) != 6) return;
    long long when = Local_Seconds(y, mo, d, hh, mi, se);
    if (when < 0) return;
    for (int i = 0; i < m->count; i++) {
        if (m->at[i] < 0) continue;
        long long gap = llabs(when - m->at[i]);
        if (gap > 120 || gap >= m->best[i]) continue;
        m->best[i] = gap;
        Copy_Field(m->list[i].user, h->user);
        Copy_Field(m->list[i].mode, h->mode);
    }
}

void Note_BackupSavers(BACKUP_SUMMARY *list, int count)
{
    if (count <= 0 || homeDir == NULL) return;
    long long *at = (long long *)malloc(2 * (size_t)count * sizeof *at);
    if (at == NULL) return;
    SAVER_MATCH m = { list, count, at, at + count };
    for (int i = 0; i < count; i++) {
        int y, mo, d, hh, mi, se;
        at[i] = sscanf(list[i].name, "%4d-%2d-%2d %2d.%2d.%2d", &y, &mo, &d, &hh, &mi, &se) == 6
                    ? Local_Seconds(y, mo, d, hh, mi, se) : -1;
        m.best[i] = 121;
    }
    static const char *const k_Logs[] = { "logs\\Editor Changes.1.log", "logs\\Editor Changes.log" };
    for (size_t f = 0; f < ARRAY_LEN(k_Logs); f++) {
        char path[PATH_LEN];
        if (Home_Path(path, sizeof path, homeDir, k_Logs[f])) Read_ChangeLogHeaders(path, Match_Header, &m);
    }
    free(at);
}

int Summarize_Backups(BACKUP_SUMMARY *out, int cap)
{
    Trace("Summarize_Backups()\n");
    static BACKUP_ENTRY s_List[MAX_BACKUPS_LISTED];
    int count = List_Backups(s_List, cap < MAX_BACKUPS_LISTED ? cap : MAX_BACKUPS_LISTED);
    CONFIG_IMAGE *now = Take_ConfigImage();
    for (int i = 0; i < count; i++) {
        BACKUP_SUMMARY *s = &out[i];
        memset(s, 0, sizeof *s);
        Copy_Field(s->name, s_List[i].name);
        BOOL whole = FALSE;
        CONFIG_IMAGE *img = now != NULL ? Load_Backup(s->name, &whole) : NULL;
        s->damaged = !whole;
        CONFIG_DIFF *d = img != NULL && whole ? Diff_Configs(img, now, DIFF_PAIR_BY_NAME) : NULL;
        if (d != NULL) {
            s->queues = Count_Named(d, DIFF_QUEUE);
            s->inputQueues = Count_Named(d, DIFF_INPUT_QUEUE);
            s->applications = Count_Named(d, DIFF_APPLICATION);
        }
        Free_ConfigDiff(d);
        Free_ConfigImage(img);
    }
    Free_ConfigImage(now);
    Note_BackupSavers(out, count);
    return count;
}

void Fill_BackupRows(ROWSET *set, const BACKUP_SUMMARY *list, int count)
{
    RowSet_Clear(set);
    RowSet_AddColumn(set, "Backup", 100, ROWSORT_RANK);
    RowSet_AddColumn(set, "Queues", 40, ROWSORT_NUMBER);
    RowSet_AddColumn(set, "Input queues", 60, ROWSORT_NUMBER);
    RowSet_AddColumn(set, "Applications", 56, ROWSORT_NUMBER);
    RowSet_AddColumn(set, "State", 90, ROWSORT_TEXT);
    RowSet_AddColumn(set, "Saved by", 60, ROWSORT_TEXT);
    RowSet_AddColumn(set, "Mode", 0, ROWSORT_TEXT);
    RowSet_SetLabel(set, "&Backups, newest first (%d):", count);
    for (int i = 0; i < count; i++) {
        ROW_REF ref = { ROWREF_FILE, -1, 0, i };
        ROW *row = RowSet_AddRow(set, "", i, &ref);
        if (row == NULL) continue;
        Row_SetCell(row, 0, "%s", list[i].name);
        Row_SetCell(row, 5, "%s", list[i].user);
        Row_SetCell(row, 6, "%s", list[i].mode);
        if (list[i].damaged) {
            Row_SetCell(row, 4, "damaged: cannot be restored");
            continue;
        }
        Row_SetCell(row, 1, "%d", list[i].queues);
        Row_SetCell(row, 2, "%d", list[i].inputQueues);
        Row_SetCell(row, 3, "%d", list[i].applications);
    }
}

BOOL Fill_BackupDiff(ROWSET *set, const char *name)
{
    RowSet_Clear(set);
    RowSet_AddColumn(set, "Change", 0, ROWSORT_RANK);
    BOOL whole = FALSE;
    CONFIG_IMAGE *img = Load_Backup(name, &whole);
    CONFIG_IMAGE *now = img != NULL ? Take_ConfigImage() : NULL;
    CONFIG_DIFF *d = now != NULL && whole ? Diff_Configs(img, now, DIFF_PAIR_BY_NAME) : NULL;
    if (d != NULL) {
        RowSet_SetLabel(set, "&Changed since %s (Restore undoes these): %d", name, d->count);
        for (int i = 0; i < d->count; i++) {
            ROW *row = RowSet_AddRow(set, "", i, NULL);
            char line[ROW_CELL_LEN];
            Format_DiffRow(&d->rows[i], line, sizeof line);
            if (row != NULL) Row_SetCell(row, 0, "%s", line);
        }
    } else {
        RowSet_SetLabel(set, whole ? "&Changed since %s: could not be compared" : "&Changed since %s: the backup is damaged",
                        name);
    }
    BOOL shown = d != NULL;
    Free_ConfigDiff(d);
    Free_ConfigImage(now);
    Free_ConfigImage(img);
    return shown;
}
