#include "prefs/jobnames.h"
#include "prefs/prefrules.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/frame.h"
#include "common/msg.h"
#include "common/text.h"
#include "common/trace.h"
#include "resources/resource.h"
#include <stdlib.h>

/* Posted to itself when it opens: show the working masks in the edits. */
#define WM_REFRESH_MASKS (WM_APP + 1)
/* What can be typed into a mask edit: more than a mask holds, so that a mask too long is told,
   not cut. */
#define MASK_TYPED_MAX 260

/* The dialog's state beside its working copy (a MASKS_EDIT). */
typedef struct {
    SPOOLER_GLOBALS *rec;            /* the record the masks go into on OK */
} JOBNAMES_STATE;

static const char k_Help[] =
    "Only attempt to create a string mask yourself if you are sure you know what you are doing.\n"
    "Bad string masks will allow the system to make wrong decisions about how to group your jobs, and how to "
    "associate colours with them. \n\n"
    "Valid Characters To Use:\n\n"
    "\tAny character except 1,0, or > : ==> This character should always occur at this position.\n"
    "\t1 : ==> Mask in characters at this position.\n"
    "\t0 : ==> Mask out (ignore) characters at this position.\n"
    "\t> : ==> Stretch out the mask by repeating the character at the previous position\n\n\n"
    "Examples:\n\n"
    "\tMask:  111111.Tif     Job: Tavnel.Tif       Result:\t\tTavnel\n"
    "\tMask:  1>.Tif         Job: Tavnel.Tif       Results:\tTavnel\n"
    "\tMask:  1>0.Tif        Job: Tavnel.Tif       Results:\tTavne\n"
    "\tMask:  1>000.Tif      Job: Tavnel.Tif       Results:\tTav\n"
    "\tMask:  0>111.Tif      Job: Tavnel.Tif      \tResults:\tnel\n"
    "\tMask:  0>100.Tif      Job: Tavnel.Tif       Results:\tn\n"
    "\tMask:  0>100.Tif      Job: SarnM22.Tif      Results:\tM\n"
    "\tMask:  1>011.Tif      Job: SarnM22.Tif      Results:\tSarn22\n";

static MASKS_EDIT     *Work_Of(HWND dlg) { return (MASKS_EDIT *)Frame_Copy(dlg); }
static JOBNAMES_STATE *State(HWND dlg)   { return (JOBNAMES_STATE *)Frame_Extra(dlg); }

/* Automatic: the preset list is used and the masks are shown only; manual: the other way round. */
static void Enable_Choice(HWND dlg, BOOL automatic)
{
    EnableWindow(GetDlgItem(dlg, IDC_JN_PRESETS), automatic);
    EnableWindow(GetDlgItem(dlg, IDC_JN_GROUPMASK), !automatic);
    EnableWindow(GetDlgItem(dlg, IDC_JN_SEPIDMASK), !automatic);
}

static void Show_Masks(HWND dlg, const MASKS_EDIT *s)
{
    SetDlgItemTextA(dlg, IDC_JN_GROUPMASK, s->group);
    SetDlgItemTextA(dlg, IDC_JN_SEPIDMASK, s->sepId);
}

static int Chosen_Preset(HWND dlg)
{
    LRESULT i = SendDlgItemMessageA(dlg, IDC_JN_PRESETS, CB_GETCURSEL, 0, 0);
    return (i >= 0 && i < RIP_PRESET_COUNT) ? (int)i : 0;
}

static void Take_Preset(MASKS_EDIT *s, int i)
{
    s->index = i;
    Copy_Field(s->group, RIPPresets[i].groupMask);
    Copy_Field(s->sepId, RIPPresets[i].sepIdMask);
}

/* The creation argument is the record whose masks are edited (0: the process-wide one). */
static BOOL Open_JobNames(HWND dlg, LPARAM arg)
{
    JOBNAMES_STATE *st = State(dlg);
    MASKS_EDIT *s = Work_Of(dlg);
    st->rec = arg != 0 ? (SPOOLER_GLOBALS *)arg : &SpoolerGlobals;
    for (int i = 0; i < RIP_PRESET_COUNT; i++)
        SendDlgItemMessageA(dlg, IDC_JN_PRESETS, CB_ADDSTRING, 0, (LPARAM)RIPPresets[i].name);
    Open_MasksEdit(st->rec, s);
    BOOL automatic = s->index != -1;
    SendDlgItemMessageA(dlg, IDC_JN_PRESETS, CB_SETCURSEL, automatic ? (WPARAM)s->index : 0, 0);
    CheckDlgButton(dlg, IDC_JN_AUTOMATIC, automatic ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, IDC_JN_MANUAL, automatic ? BST_UNCHECKED : BST_CHECKED);
    Enable_Choice(dlg, automatic);
    SendDlgItemMessageA(dlg, IDC_JN_GROUPMASK, EM_LIMITTEXT, MASK_TYPED_MAX, 0);
    SendDlgItemMessageA(dlg, IDC_JN_SEPIDMASK, EM_LIMITTEXT, MASK_TYPED_MAX, 0);
    PostMessageA(dlg, WM_REFRESH_MASKS, 0, 0);
    Frame_Focus(dlg, automatic ? IDC_JN_AUTOMATIC : IDC_JN_MANUAL);   /* the choice in force */
    return TRUE;
}

static void On_Preset_Change(HWND dlg)
{
    MASKS_EDIT *s = Work_Of(dlg);
    Take_Preset(s, Chosen_Preset(dlg));
    Show_Masks(dlg, s);
}

static void On_Automatic(HWND dlg)
{
    MASKS_EDIT *s = Work_Of(dlg);
    s->index = Chosen_Preset(dlg);
    Enable_Choice(dlg, TRUE);
}

static void On_Manual(HWND dlg)
{
    MASKS_EDIT *s = Work_Of(dlg);
    s->index = -1;
    Enable_Choice(dlg, FALSE);
}

static void On_Help(HWND dlg) { Show_MessageBox(dlg, k_Help, programTitle, MB_OK | MB_ICONINFORMATION); }

/* OK: the preset's masks, or the masks as typed, through the length checks. */
static BOOL Check_JobNames(HWND dlg)
{
    MASKS_EDIT *s = Work_Of(dlg);
    BOOL typed = IsDlgButtonChecked(dlg, IDC_JN_AUTOMATIC) != BST_CHECKED;
    if (!typed) {
        Take_Preset(s, Chosen_Preset(dlg));
    } else {
        s->index = -1;
        GetDlgItemTextA(dlg, IDC_JN_GROUPMASK, s->group, sizeof s->group);
        GetDlgItemTextA(dlg, IDC_JN_SEPIDMASK, s->sepId, sizeof s->sepId);
    }
    /* A preset's masks are always good: the lengths typed only count for typed masks. */
    int field = 0;
    const char *problem = Check_Masks(s->group, s->sepId, typed, GetWindowTextLengthA(GetDlgItem(dlg, IDC_JN_GROUPMASK)),
                                      GetWindowTextLengthA(GetDlgItem(dlg, IDC_JN_SEPIDMASK)), &field);
    if (problem == NULL) return TRUE;
    Show_MessageBox(dlg, problem, programTitle, MB_OK | MB_ICONSTOP);
    if (typed) {
        HWND edit = GetDlgItem(dlg, field == MASK_FIELD_GROUP ? IDC_JN_GROUPMASK : IDC_JN_SEPIDMASK);
        SetFocus(edit);
        SendMessageA(edit, EM_SETSEL, 0, -1);
    }
    return FALSE;
}

static BOOL Commit_JobNames(HWND dlg)
{
    Commit_MasksEdit(Work_Of(dlg), State(dlg)->rec);
    return TRUE;
}

const FRAME_DEF jobNamesFrame = {
    "JobNames_Dlg(); wm_initdialog\n", sizeof(MASKS_EDIT), sizeof(JOBNAMES_STATE), NULL, 0,
    IDOK, IDOK, IDCANCEL, Open_JobNames, NULL, Check_JobNames, Commit_JobNames, NULL,
};

INT_PTR CALLBACK JobNames_Dlg(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_REFRESH_MASKS:
        if (Work_Of(dlg) != NULL) Show_Masks(dlg, Work_Of(dlg));
        return TRUE;
    case WM_COMMAND:
        if (Work_Of(dlg) == NULL) break;
        switch (LOWORD(wParam)) {
        case IDC_JN_HELP:      On_Help(dlg);              return TRUE;
        case IDC_JN_AUTOMATIC: if (HIWORD(wParam) == BN_CLICKED) On_Automatic(dlg); return TRUE;
        case IDC_JN_MANUAL:    if (HIWORD(wParam) == BN_CLICKED) On_Manual(dlg);    return TRUE;
        case IDC_JN_PRESETS:   if (HIWORD(wParam) == CBN_SELCHANGE) On_Preset_Change(dlg); return TRUE;
        }
        break;
    }
    return Frame_DefProc(dlg, msg, wParam, lParam, &jobNamesFrame);
}

BOOL Edit_JobNames(HWND owner, SPOOLER_GLOBALS *rec)
{
    HINSTANCE inst = hInstance != NULL ? hInstance : GetModuleHandleA(NULL);
    return DialogBoxParamA(inst, MAKEINTRESOURCEA(IDD_JOBNAMES), owner, JobNames_Dlg, (LPARAM)rec) == IDOK;
}
