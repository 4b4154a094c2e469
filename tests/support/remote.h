/* The remote kit: drive the windows of ANOTHER process (a real Editor.exe started by the test)
   from outside, as a person at the screen would: find its dialogs by caption, press buttons, type
   into edits, pick from lists, select list-view items, press keys and mnemonics, read what the
   windows show, answer its message boxes.

       tk::TempHome home(true);                         // an installation with Editor.exe
       tk::Lay_Out_Demo(home.path());
       tk::Child editor(tk::Quote(home.editor()));
       HWND main = rk::Find_Window(editor.pid(), "Queue Configuration");
       ASSERT_NE(nullptr, main);
       rk::LV_Select(main, IDC_MAIN_TARGETS, { 1, 3 });  // focus the list, select items 1 and 3
       rk::Press_Done(main, IDC_MAIN_DELETE);            // returns once the command has run
       EXPECT_EQ(6, rk::LV_Count(main, IDC_MAIN_TARGETS));
       rk::Press(main, IDC_MAIN_OK);                      // returns at once: the save may ask
       tk::ForeignBox box;
       while (rk::Answer_Box(editor.pid(), IDYES, &box, 2000)) { ... }   // or tk::Run_Answering
       EXPECT_EQ(0, editor.wait(10000));

   Two ways to act, and when to use which:
   - Press, Key, Mnemonic, LV_Double_Click POST the input and return at once. Use them for
     anything that may open a modal dialog or a message box (Add, Edit, OK), then wait for that
     window with Find_Window / Answer_Box, or for the process to end.
   - Press_Done, Type, Choose, Set_Check, Focus, LV_Select SEND and return when the other
     process has handled the input. Press_Done fails the test when the command does not finish
     within the time given (for example because it showed a box that nobody answers).

   What works between processes under Wine, and how the kit does it:
   - list views: the item structures are written into memory of the other process
     (Remote_Buffer), the message is sent with that address and the result read back; this
     works for any list view, owner-drawn or not;
   - texts are asked for in Unicode and handed back narrow: an ANSI request for a list box or
     drop-down item of another process comes back cut after its first character, and only a
     sent WM_GETTEXT reads what an edit holds now (GetWindowText gives another process's edit
     the text it was created with);
   - the focus moves with WM_NEXTDLGCTL sent to the dialog, so the dialog's own focus handling
     (and the list's NM_SETFOCUS) runs;
   - keys are posted to the focused control and pass through the other process's message loop
     (IsDialogMessage: Tab, Enter, Esc, mnemonics); modifier keys (Shift, Ctrl) cannot be sent
     to another process: select several items with LV_Select.
   Everything fails the test (ADD_FAILURE) on a missing, hidden or disabled control instead of
   acting on the wrong one; functions that wait return false or NULL when time ran out. */
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include "support/testkit.h"

namespace rk {

/* ---- windows of another process ---- */
/* Its visible top-level windows, front to back. */
std::vector<HWND> Top_Windows(DWORD pid);
/* Waits up to ms for a visible, enabled top-level window of process pid with this caption
   ("" = any); the front-most is taken. NULL when none came. */
HWND Find_Window(DWORD pid, const std::string &caption, DWORD ms = 10000);
/* The same, by window class (for example the editor's own dialog class). */
HWND Find_Class(DWORD pid, const std::string &cls, DWORD ms = 10000);
/* Waits until the window is destroyed or hidden; false when it still stood after ms. */
bool Wait_Gone(HWND w, DWORD ms = 10000);
/* Polls cond every 20 ms until it holds; false when it did not within ms. */
bool Wait_Until(const std::function<bool()> &cond, DWORD ms = 10000);
/* The window the other process's user-interface thread has in front (active), and the control
   that has its keyboard focus (NULL when none). */
HWND Active_Window(HWND anyWindowOfThatThread);
HWND Focus_Window(HWND anyWindowOfThatThread);
/* The control id of the control with the focus, or 0. */
int  Focus_Id(HWND dlg);

/* ---- controls: reading ---- */
HWND Control(HWND dlg, int id);                  /* fails the test when there is none */
std::string Caption(HWND w);
std::string Text(HWND dlg, int id);
bool Enabled(HWND dlg, int id);
bool Visible(HWND dlg, int id);
bool Checked(HWND dlg, int id);

/* ---- controls: acting ---- */
/* Posts a click of a push button (WM_COMMAND BN_CLICKED from it, as a click sends). Fails the
   test on a disabled or hidden button. Returns at once. */
void Press(HWND dlg, int id);
/* The same, sent: true when the dialog had handled it within ms. */
bool Press_Done(HWND dlg, int id, DWORD ms = 10000);
/* Gives the control the keyboard focus, as Tab would (the dialog's own focus handling runs). */
void Focus(HWND dlg, int id);
/* Focuses the edit, selects all its text and types text over it, one character at a time (the
   edit's limits apply); "" empties it. */
void Type(HWND dlg, int id, const std::string &text);
/* Checks or clears a check box by clicking it when it is not as wanted. */
void Set_Check(HWND dlg, int id, bool on);
/* List box or drop-down list: its items, and choosing one by text (the dialog is told as by a
   person's choice). */
std::vector<std::string> Items(HWND dlg, int id);
void Choose(HWND dlg, int id, const std::string &item);

/* ---- keys ---- */
/* Posts a key press (down and up) to a window, through the other process's message loop, so
   its dialog handling sees it as typed (Tab, Enter, Esc, Delete, arrows). */
void Key(HWND target, UINT vk);
/* The same to whatever has the focus in that process's user-interface thread. */
void Key_To_Focus(HWND anyWindowOfThatThread, UINT vk);
/* Alt + letter to the focused control of that thread: a dialog's mnemonic, one key press (the
   other process's message loop makes its character, as for Key). */
void Mnemonic(HWND anyWindowOfThatThread, char letter);

/* ---- list views (SysListView32) ---- */
int  LV_Count(HWND dlg, int id);
std::string LV_Text(HWND dlg, int id, int item, int column = 0);
std::vector<std::string> LV_Texts(HWND dlg, int id);      /* the first column of every item */
LPARAM LV_Data(HWND dlg, int id, int item);               /* item data; -1 when unreadable */
int  LV_Image(HWND dlg, int id, int item);
std::vector<int> LV_Selected(HWND dlg, int id);
int  LV_Focused(HWND dlg, int id);                        /* the item with the focus mark, or -1 */
int  LV_Top(HWND dlg, int id);                            /* the first item in view */
int  LV_Per_Page(HWND dlg, int id);                       /* items that fit into the view */
/* The item's rectangle in the list's client coordinates (LVIR_BOUNDS). */
RECT LV_Item_Rect(HWND dlg, int id, int item);
/* Focuses the list, then selects exactly these items (none: clears the selection); the focus
   mark goes to the first and the list scrolls to it. The list tells its dialog as it would tell
   a person's selection. */
void LV_Select(HWND dlg, int id, const std::vector<int> &items);
/* Posts a double click on the item (the list selects it and tells its dialog). */
void LV_Double_Click(HWND dlg, int id, int item);

/* ---- message boxes ---- */
/* Waits up to ms for a message box of process pid, records it in seen (when given) and presses
   the button with that id. false when no box came. */
bool Answer_Box(DWORD pid, int button, tk::ForeignBox *seen = nullptr, DWORD ms = 10000);

/* Memory in another process, for messages that carry pointers (list views, headers, ...):
   the structure is written there, the message sent with its address, and read back. */
class Remote_Buffer {
public:
    Remote_Buffer(HWND w, size_t size);
    ~Remote_Buffer();
    Remote_Buffer(const Remote_Buffer &) = delete;
    Remote_Buffer &operator=(const Remote_Buffer &) = delete;
    bool ok() const { return at_ != nullptr; }
    char *at(size_t offset = 0) const { return (char *)at_ + offset; }   /* an address in the other process */
    bool Write(const void *data, size_t n, size_t offset = 0);
    bool Read(void *data, size_t n, size_t offset = 0) const;
private:
    HANDLE proc_ = nullptr;
    void *at_ = nullptr;
    size_t size_ = 0;
};

} // namespace rk
