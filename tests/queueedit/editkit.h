/* What the queue editor's tests share: a small installation in memory (queues, applications,
   groups, icons) in a temporary home, a queue with every aspect set, and ways to open the
   overview and its pages under the dialog test kit. */
#pragma once
#include "support/dlgkit.h"
#include "support/testkit.h"
#include "support/modelkit.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "common/msg.h"
#include "common/page.h"
#include "common/text.h"
#include "config/model.h"
#include "queueedit/pages.h"
#include "queueedit/targetman.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <shellapi.h>
#include <string>

namespace ek {

inline std::string Icon_File(const char *name) { return tk::Fixture(std::string("profiles\\icons\\") + name); }

/* TRUE while h is a live icon handle. */
inline bool Icon_Alive(HICON h)
{
    ICONINFO info;
    if (h == nullptr || !GetIconInfo(h, &info)) return false;
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return true;
}

/* The state of a fresh editor on a small installation in a temporary home:
     queue 1 "Plate Setter 1": runs PlateRip.exe (application 0, with an icon), group
             "Platesetters", identity "CTP-1", its own icon from red.ico;
     queue 2 "Plate Setter 2": runs the same, group "platesetters" (another spelling), identity "CTP-2";
     queue 3 "Proofer": runs a group of two in parallel (group 0), group "Proofers";
     queue 4 "Archive": runs no processes, no group.
   Each queue's hot directory exists under the home. */
class EditorTest : public tk::HomeTest {
protected:
    tk::MsgRecorder boxes;

    void SetUp() override
    {
        tk::HomeTest::SetUp();
        dk::Init_CommonControls();
        const int ids[SHARED_ICON_COUNT] = { IDI_PROGRAM, IDI_NO_PROCESSES, IDI_PARALLEL, IDI_SERIES,
                                             IDI_MOVE_JOBS, IDI_DELETE_JOBS, IDI_RECYCLE_JOBS };
        for (int i = 0; i < SHARED_ICON_COUNT; i++) sharedIcons[i] = LoadIconA(hInstance, MAKEINTRESOURCEA(ids[i]));

        Add_App(0, home / "Apps\\PlateRip.exe", "green.ico");
        Add_App(1, home / "Apps\\Preflight.exe", nullptr);
        Add_App(2, home / "Apps\\Notify.exe", nullptr);
        appGroups[0] = AppGroup{ FALSE, 2, { 1, 2, 0, 0 }, 1, 'N', TRUE };
        Add_Queue("Plate Setter 1", 0, FALSE, "Platesetters", "CTP-1");
        Add_Queue("Plate Setter 2", 0, FALSE, "platesetters", "CTP-2");
        Add_Queue("Proofer", 0, TRUE, "Proofers", "");
        Add_Queue("Archive", NO_PROCESSES, FALSE, "", "");
        targets[3].noProcesses = TRUE;
        Copy_Field(targets[0].iconPath, Icon_File("red.ico").c_str());
        targets[0].icon = ExtractIconA(hInstance, targets[0].iconPath, 0);
    }

    void TearDown() override
    {
        for (int i = 0; i < MAX_TARGETS; i++)
            if (targets[i].icon != nullptr) DestroyIcon(targets[i].icon);
        for (int i = 0; i < MAX_APPS; i++)
            if (apps[i].icon != nullptr) DestroyIcon(apps[i].icon);
        tk::HomeTest::TearDown();
    }

    void Add_App(int slot, const std::string &path, const char *icon)
    {
        mk::Add_App(path, "", slot);
        if (icon != nullptr) apps[slot].icon = ExtractIconA(hInstance, Icon_File(icon).c_str(), 0);
        tk::Make_Dirs(home / "Apps");
        tk::Write_File(path, "MZ");
    }

    int Add_Queue(const char *name, int processRef, BOOL group, const char *mutex, const char *identity)
    {
        int at = targetCount;
        std::string hot = home / (std::string("Hot\\") + name);
        tk::Make_Dirs(hot);
        Target *t = &mk::Add_Target(name, hot);
        t->processRef = processRef;
        t->usesGroup = group;
        Copy_Field(t->mutexGroup, mutex);
        Copy_Field(t->outputIdentity, identity);
        t->loadIndex = at;
        return at;
    }

    /* Gives queue pos every aspect the overview shows: thumbnails, job settings, a parameter
       file, a clean-up that passes jobs on, and subdirectories. */
    void Set_EveryAspect(int pos)
    {
        Target *t = &targets[pos];
        t->includeSubdirs = TRUE;
        Copy_Field(t->thumbnailDir, (home / "Thumbs\\Plate Setter 1").c_str());
        t->initialState = 7;
        t->copies = 2;
        t->priority = 2;
        t->jobsAtATime = 3;
        Copy_Field(t->parameters, (home / "Params\\plates.txt").c_str());
        t->parametersIsFile = TRUE;
        tk::Make_Dirs(home / "Params");
        tk::Write_File(home / "Params\\plates.txt", "-res 2400\r\n");
        t->afterAction = 2;
    }

    /* Opens the overview on pos while the script acts on it; its result. */
    INT_PTR Open_Overview(dk::Script &s, int pos)
    {
        return s.Run([&] { return (INT_PTR)Edit_Target(nullptr, pos); });
    }

    /* Opens a page on rec while the script acts on it; its result. */
    INT_PTR Open_Page(dk::Script &s, int templ, DLGPROC proc, Target *rec)
    {
        return s.Run([&] { return DialogBoxParamA(hInstance, MAKEINTRESOURCEA(templ), nullptr, proc, (LPARAM)rec); });
    }
};

/* Types into an editable drop-down: its edit is the child numbered 1001. */
inline void Type_Box(HWND dlg, int id, const std::string &text)
{
    HWND box = GetDlgItem(dlg, id);
    if (box == nullptr) {
        ADD_FAILURE() << "no drop-down " << id;
        return;
    }
    dk::Type(box, 1001, text);
}

/* Presses a key in the dialog as the keyboard would: posted to the focused control, so that the
   dialog's own message loop sees it (Enter, Escape, Tab...). The next step of a script sees the
   result. */
inline void Press_Key(UINT vk)
{
    HWND focus = GetFocus();
    PostMessageA(focus, WM_KEYDOWN, vk, 1);
    PostMessageA(focus, WM_KEYUP, vk, 0xC0000001);
}

/* Saves what the dialog shows as <name>.bmp in the folder named by EDITOR_SHOTS (nothing when it
   is not set), frame included, copied from the dialog's own pixels (dk::Screenshot). */
inline void Shot(HWND dlg, const std::string &name) { dk::Screenshot(dlg, name); }

/* The record the page was opened on and the page's own copy, while it is open. */
inline Target *Page_Target(HWND page) { return (Target *)Page_Copy(page); }

} // namespace ek
