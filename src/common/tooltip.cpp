#include "common/tooltip.h"
#include "common/text.h"
#include "common/trace.h"
#include <commctrl.h>

static const char k_TipsProp[] = "EditorTips";

static void Describe_Tool(TTTOOLINFOA *ti, HWND dlg, HWND ctl, char *text)
{
    memset(ti, 0, sizeof *ti);
    ti->cbSize = sizeof *ti;
    ti->uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    ti->hwnd = dlg;
    ti->uId = (UINT_PTR)ctl;
    ti->lpszText = text;
}

BOOL Set_ControlTip(HWND dlg, int id, const char *text)
{
    HWND ctl = GetDlgItem(dlg, id);
    if (ctl == NULL) return FALSE;
    HWND tips = (HWND)GetPropA(dlg, k_TipsProp);
    if (tips == NULL) {
        /* owned by the dialog, so it is destroyed with it */
        tips = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, NULL, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dlg, NULL,
                               (HINSTANCE)GetWindowLongPtrA(dlg, GWLP_HINSTANCE), NULL);
        if (tips == NULL) {
            Trace("Set_ControlTip: no tooltip window for control %d (error %lu)\n", id, (unsigned long)GetLastError());
            return FALSE;
        }
        SetPropA(dlg, k_TipsProp, tips);
    }
    char copy[TIP_TEXT_LEN];
    Copy_Field(copy, text);
    /* the tool is made anew: the tooltip keeps a copy of the text, and a tool that was not
       there yet is simply not deleted */
    TTTOOLINFOA ti;
    Describe_Tool(&ti, dlg, ctl, copy);
    SendMessageA(tips, TTM_DELTOOLA, 0, (LPARAM)&ti);
    if (!SendMessageA(tips, TTM_ADDTOOLA, 0, (LPARAM)&ti)) {
        Trace("Set_ControlTip: the tip of control %d could not be set\n", id);
        return FALSE;
    }
    return TRUE;
}

void Get_ControlTip(HWND dlg, int id, char *out, size_t cap)
{
    if (cap == 0) return;
    out[0] = '\0';
    HWND ctl = GetDlgItem(dlg, id);
    HWND tips = (HWND)GetPropA(dlg, k_TipsProp);
    if (ctl == NULL || tips == NULL) return;
    char buf[TIP_TEXT_LEN] = "";
    TTTOOLINFOA ti;
    Describe_Tool(&ti, dlg, ctl, buf);
    SendMessageA(tips, TTM_GETTEXTA, sizeof buf, (LPARAM)&ti);
    Copy_Text(out, cap, buf);
}
