#include "config/backuprows.h"
#include "config/diff.h"
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
    return count;
}

void Fill_BackupRows(ROWSET *set, const BACKUP_SUMMARY *list, int count)
{
    RowSet_Clear(set);
    RowSet_AddColumn(set, "Backup", 100, ROWSORT_RANK);
    RowSet_AddColumn(set, "Queues", 40, ROWSORT_NUMBER);
    RowSet_AddColumn(set, "Input queues", 60, ROWSORT_NUMBER);
    RowSet_AddColumn(set, "Applications", 56, ROWSORT_NUMBER);
    RowSet_AddColumn(set, "State", 0, ROWSORT_TEXT);
    RowSet_SetLabel(set, "&Backups, newest first (%d):", count);
    for (int i = 0; i < count; i++) {
        ROW_REF ref = { ROWREF_FILE, -1, 0, i };
        ROW *row = RowSet_AddRow(set, "", i, &ref);
        if (row == NULL) continue;
        Row_SetCell(row, 0, "%s", list[i].name);
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
