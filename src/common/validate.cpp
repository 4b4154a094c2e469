#include "common/validate.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include <errno.h>
#include <stdlib.h>
#include <string.h>


static const char k_Invalid[]    = "A number entered is invalid.";
static const char k_OutOfRange[] = "A number entered is out of range.\r\nMaximum = %d, Minimum = %d";

/* Asks whether to give up the change; restores the former text on yes, keeps the focus in the
   field on no, and selects the field's text either way. */
static void Refuse_Field(HWND field, const char *problem, const char *former, const char *title)
{
    char text[MSG_TEXT_LEN];
    Format_Text(text, sizeof text, "%s\r\nContinue and ignore changes?", problem);
    if (Show_MessageBox(NULL, text, title, MB_YESNO | MB_ICONSTOP | MB_EDITOR) == IDYES)
        SetWindowTextA(field, former);
    else
        SetFocus(field);
    SendMessageA(field, EM_SETSEL, 0, -1);
}

/* Reads the leading decimal integer of text (blanks before it allowed). A value beyond the
   32-bit range stays at the nearest end of it, so the range check refuses it. */
static BOOL Read_Integer(const char *text, BOOL asUnsigned, int *value)
{
    char *end;
    errno = 0;
    if (asUnsigned) {
        /* read as unsigned: "-5" wraps to the same bits as the signed -5 */
        unsigned long long v = strtoull(text, &end, 10);
        if (end == text) return FALSE;
        if (errno == ERANGE || (v > 0xFFFFFFFFull && v < 0xFFFFFFFF00000000ull)) v = 0xFFFFFFFFull;
        *value = (int)(unsigned int)v;
    } else {
        long long v = strtoll(text, &end, 10);
        if (end == text) return FALSE;
        if (v > 2147483647LL) v = 2147483647LL;
        if (v < -2147483647LL - 1) v = -2147483647LL - 1;
        *value = (int)v;
    }
    return TRUE;
}

BOOL Validate_Field(HWND field, int kind, void *target, int minimum, int maximum, const char *title)
{
    char text[TEXT_LEN], former[64], problem[160];
    GetWindowTextA(field, text, sizeof text);
    switch (kind) {
    case VF_INT:
    case VF_UINT: {
        int *dst = (int *)target, value;
        Format_Text(former, sizeof former, "%d", *dst);
        if (!Read_Integer(text, kind == VF_UINT, &value)) {
            Copy_Field(problem, k_Invalid);
        } else if (value < minimum || value > maximum) {
            Format_Text(problem, sizeof problem, k_OutOfRange, maximum, minimum);
        } else {
            *dst = value;
            Format_Text(text, sizeof text, "%d", value);
            SetWindowTextA(field, text);
            return TRUE;
        }
        break;
    }
    case VF_FLOAT: {
        float *dst = (float *)target;
        Format_Text(former, sizeof former, "%0.2f", (double)*dst);
        char *end;
        double value = strtod(text, &end);
        if (end == text) {
            Copy_Field(problem, k_Invalid);
        } else if (!(value >= minimum && value <= maximum)) {
            Format_Text(problem, sizeof problem, k_OutOfRange, maximum, minimum);
        } else {
            *dst = (float)value;
            return TRUE;
        }
        break;
    }
    case VF_TEXT:
        if (maximum < 1) {
            Trace("Validate_Field: no room in the target (%d)\n", maximum);
            return FALSE;
        }
        Copy_Text((char *)target, (size_t)maximum, text);
        return TRUE;
    default:
        Trace("Validate_Field: unknown kind %d\n", kind);
        return FALSE;
    }
    Trace("Validate_Field: \"%s\" refused\n", text);
    Refuse_Field(field, problem, former, title);
    return FALSE;
}
