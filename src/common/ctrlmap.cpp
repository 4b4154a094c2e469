#include "common/ctrlmap.h"
#include "common/appstate.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "common/validate.h"
#include <commctrl.h>
#include <string.h>

static int32_t *Int_Field(void *rec, const CTRL_MAP *row) { return (int32_t *)((char *)rec + row->offset); }
static const int32_t *Int_Field(const void *rec, const CTRL_MAP *row)
{
    return (const int32_t *)((const char *)rec + row->offset);
}

static BOOL Is_ComboBox(HWND control)
{
    char cls[32];
    return GetClassNameA(control, cls, sizeof cls) > 0 && Compare_NoCase(cls, "ComboBox") == 0;
}

void Limit_Text(HWND control, int maxChars)
{
    SendMessageA(control, Is_ComboBox(control) ? CB_LIMITTEXT : EM_LIMITTEXT, (WPARAM)maxChars, 0);
}

/* The most characters a text row takes: its maximum when that is below the field's room. */
static int Text_Limit(const CTRL_MAP *row)
{
    int room = (int)row->size - 1;
    return (row->maximum > 0 && row->maximum < room) ? row->maximum : room;
}

static void Load_List(HWND control, const CTRL_MAP *row, int32_t value)
{
    SendMessageA(control, CB_RESETCONTENT, 0, 0);
    int count = 0;
    for (; row->items != NULL && row->items[count] != NULL; count++)
        SendMessageA(control, CB_ADDSTRING, 0, (LPARAM)row->items[count]);
    int index = value - row->minimum;
    SendMessageA(control, CB_SETCURSEL, (WPARAM)(index >= 0 && index < count ? index : -1), 0);
}

/* ---- durations ---- */

void Split_Duration(int32_t value, const DURATION_DEF *def, int32_t *parts)
{
    int32_t rest = value < 0 ? 0 : value;
    for (int i = 0; i < def->count; i++) {
        int32_t unit = def->parts[i].unit > 0 ? def->parts[i].unit : 1;
        parts[i] = rest / unit;
        rest %= unit;
    }
}

int64_t Join_Duration(const DURATION_DEF *def, const int32_t *parts)
{
    int64_t total = 0;
    for (int i = 0; i < def->count; i++) {
        int32_t v = parts[i];
        if (def->held && v > def->parts[i].range.maximum) v = def->parts[i].range.maximum;
        total += (int64_t)v * def->parts[i].unit;
    }
    return total;
}

/* The most edits a duration has: days, hours, minutes, seconds. */
#define DURATION_PARTS_MAX 4

static void Select_Edit(HWND dlg, int id)
{
    HWND edit = GetDlgItem(dlg, id);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
}

static void Show_Duration(HWND dlg, const DURATION_DEF *def, int32_t value)
{
    int32_t parts[DURATION_PARTS_MAX];
    char text[32];
    Split_Duration(value, def, parts);
    for (int i = 0; i < def->count; i++) {
        Format_Text(text, sizeof text, "%d", parts[i]);
        SetDlgItemTextA(dlg, def->parts[i].id, text);
    }
}

static void Load_Duration(HWND dlg, const CTRL_MAP *row, int32_t value)
{
    const DURATION_DEF *def = row->duration;
    if (def->digits > 0)
        for (int i = 0; i < def->count; i++) Limit_Text(GetDlgItem(dlg, def->parts[i].id), def->digits);
    Show_Duration(dlg, def, value);
}

static BOOL Save_Duration(HWND dlg, const CTRL_MAP *row, int32_t *field, const char *title)
{
    const DURATION_DEF *def = row->duration;
    int32_t parts[DURATION_PARTS_MAX];
    Split_Duration(*field, def, parts);           /* what a refused edit goes back to */
    for (int i = 0; i < def->count; i++) {
        const DURATION_PART *p = &def->parts[i];
        HWND edit = GetDlgItem(dlg, p->id);
        if (!def->held) {
            if (!Validate_Field(edit, VF_INT, &parts[i], p->range.minimum, p->range.maximum, title)) return FALSE;
            continue;
        }
        char text[32];
        GetWindowTextA(edit, text, sizeof text);
        if (!Read_Count(text, &parts[i])) {
            Trace("Save_Controls: control %d holds \"%s\", no count\n", p->id, text);
            Info_Box(title, "%s", p->notCount);
            Select_Edit(dlg, p->id);
            return FALSE;
        }
    }
    int64_t total = Join_Duration(def, parts);
    if (total < def->total.minimum || total > def->total.maximum) {
        BOOL tooShort = total < def->total.minimum;
        Trace("Save_Controls: a duration of %lld refused\n", (long long)total);
        const char *text = tooShort ? def->tooShort : def->tooLong;
        int32_t edge = tooShort ? def->total.minimum / def->parts[def->count - 1].unit
                                : def->total.maximum / def->parts[0].unit;
        if (text != NULL) Info_Box(title, text, edge);
        Select_Edit(dlg, tooShort ? def->tooShortAt : def->tooLongAt);
        return FALSE;
    }
    *field = (int32_t)total;
    if (def->held) Show_Duration(dlg, def, *field);
    return TRUE;
}

/* ---- the table ---- */

void Load_Controls(HWND dlg, const CTRL_MAP *map, int count, const void *rec)
{
    char text[32];
    for (int i = 0; i < count; i++) {
        const CTRL_MAP *row = &map[i];
        if (row->kind == CM_STEP) continue;
        HWND control = GetDlgItem(dlg, row->id);
        if (control == NULL) {
            Trace("Load_Controls: the dialog has no control %d\n", row->id);
            continue;
        }
        switch (row->kind) {
        case CM_TEXT:
            Limit_Text(control, Text_Limit(row));
            SetWindowTextA(control, (const char *)rec + row->offset);
            break;
        case CM_INT:
            Format_Text(text, sizeof text, "%d", *Int_Field(rec, row));
            SetWindowTextA(control, text);
            break;
        case CM_CHECK:
            SendMessageA(control, BM_SETCHECK, *Int_Field(rec, row) ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case CM_LIST:
            Load_List(control, row, *Int_Field(rec, row));
            break;
        case CM_RADIO:
            SendMessageA(control, BM_SETCHECK, *Int_Field(rec, row) == row->minimum ? BST_CHECKED : BST_UNCHECKED, 0);
            break;
        case CM_SPIN:
            SendMessageA(control, UDM_SETRANGE32, (WPARAM)row->minimum, (LPARAM)row->maximum);
            break;
        case CM_DURATION:
            Load_Duration(dlg, row, *Int_Field(rec, row));
            break;
        }
    }
}

/* A text field: refused when the control holds more than the field can (it could only have been
   put there by a program, typing is limited). */
static BOOL Save_Text(HWND control, const CTRL_MAP *row, void *rec)
{
    int len = GetWindowTextLengthA(control), limit = Text_Limit(row);
    if (len > limit) {
        Trace("Save_Controls: control %d holds %d characters, its field %d\n", row->id, len, limit);
        Info_Box(programTitle, "This text is too long: the field holds at most %d characters.", limit);
        SetFocus(control);
        if (Is_ComboBox(control)) SendMessageA(control, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
        else SendMessageA(control, EM_SETSEL, 0, -1);
        return FALSE;
    }
    GetWindowTextA(control, (char *)rec + row->offset, (int)row->size);
    return TRUE;
}

BOOL Save_Controls(HWND dlg, const CTRL_MAP *map, int count, void *rec, const char *title)
{
    for (int i = 0; i < count; i++) {
        const CTRL_MAP *row = &map[i];
        if (row->save != NULL) {
            if (!row->save(dlg, rec)) return FALSE;
            continue;
        }
        HWND control = GetDlgItem(dlg, row->id);
        if (control == NULL) continue;
        switch (row->kind) {
        case CM_TEXT:
            if (!Save_Text(control, row, rec)) return FALSE;
            break;
        case CM_INT:
            if (!Validate_Field(control, VF_INT, Int_Field(rec, row), row->minimum, row->maximum, title))
                return FALSE;
            break;
        case CM_CHECK:
            *Int_Field(rec, row) = SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
            break;
        case CM_LIST: {
            LRESULT index = SendMessageA(control, CB_GETCURSEL, 0, 0);
            if (index != CB_ERR) *Int_Field(rec, row) = row->minimum + (int32_t)index;
            break;
        }
        case CM_RADIO:
            if (SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED) *Int_Field(rec, row) = row->minimum;
            break;
        case CM_DURATION:
            if (!Save_Duration(dlg, row, Int_Field(rec, row), title)) return FALSE;
            break;
        case CM_SPIN:
        case CM_STEP:
            break;
        }
    }
    return TRUE;
}

void Copy_MappedFields(const CTRL_MAP *map, int count, const FIELD_SPAN *spans, int spanCount, void *dst,
                       const void *src)
{
    for (int i = 0; i < count; i++)
        if (map[i].size > 0) memcpy((char *)dst + map[i].offset, (const char *)src + map[i].offset, map[i].size);
    for (int i = 0; i < spanCount; i++)
        memcpy((char *)dst + spans[i].offset, (const char *)src + spans[i].offset, spans[i].size);
}
