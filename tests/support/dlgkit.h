/* The dialog test kit: open a real dialog under the virtual display, do to its controls what a
   person would do (type, click, choose, slide, spin), answer what it asks, read back the result.

   A modal dialog (DialogBoxParam, a chooser, a page opened by a button) is driven by a Script:
   each step waits for a dialog to be shown and enabled, then acts on it. Steps run in order, from
   a timer inside the dialog's own message loop; a step that opens another modal dialog (a click
   on "Browse...") is carried on by the next step while it waits. Message boxes and the choosers
   are answered through their seams (tk::MsgRecorder, dk::ChooserRecorder); the real choosers can
   also be driven like any dialog.

       tk::MsgRecorder boxes({ IDYES });                  // the first question gets Yes
       dk::ChooserRecorder picks({ "C:\\Spool\\Done" });  // the first chooser picks this folder
       dk::Script s;
       s.On("Clean-Up", [](HWND d) {                      // "" instead of a caption: any dialog
           dk::Type(d, IDC_CU_KEEP_DAYS, "12");
           dk::Click(d, IDC_CU_BROWSE);                   // asks picks, not a real dialog
           EXPECT_EQ("C:\\Spool\\Done", dk::Text(d, IDC_CU_DONE_DIR));
           dk::Click(d, IDOK);
       });
       INT_PTR r = s.Run([&] { return DialogBoxParamA(inst, MAKEINTRESOURCEA(IDD_CLEANUP), NULL, AfterAction_Dlg, 0); });
       EXPECT_EQ(IDOK, r);

   A step that does not come within the time given fails the test, and whatever dialogs are
   still open are ended, so a test never hangs. Modeless dialogs are driven directly with the
   same actions. dk::Form builds a small dialog in memory for tests of helpers that need one. */
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "common/dlgutil.h"
#include "support/dlgtemplate.h"

namespace dk {

/* ---- a modal dialog, step by step ---- */
class Script {
public:
    /* Adds a step for the next dialog with this caption ("" = the active dialog). */
    Script &On(const std::string &caption, std::function<void(HWND)> act);
    /* Runs open (which shows the modal dialog and returns when it has closed) while the steps
       act. Returns what open returned. Fails the test when a step never ran or a dialog was
       still open after ms. */
    INT_PTR Run(std::function<INT_PTR()> open, DWORD ms = 10000);
    bool Done() const { return next_ == steps_.size(); }

    struct Step { std::string caption; std::function<void(HWND)> act; };
    std::vector<Step> steps_;
    size_t next_ = 0;
    std::vector<HWND> before_, running_;
    DWORD start_ = 0, limit_ = 0;
    bool timedOut_ = false;
};

/* ---- what a person does ---- */
/* Puts the focus in the edit, selects its text and types text over it, one WM_CHAR a character
   (so the edit's own limit and style apply); "" deletes the text. */
void Type(HWND dlg, int id, const std::string &text);
/* Clicks a push button, check box or radio button. Fails the test on a disabled or hidden one. */
void Click(HWND dlg, int id);
/* Chooses the item with this text in a drop-down list or list box, and tells the dialog as the
   control would (CBN_SELCHANGE / LBN_SELCHANGE). */
void Choose(HWND dlg, int id, const std::string &item);
void Choose_Index(HWND dlg, int id, int index);
/* Double-clicks the selected item of a list box (LBN_DBLCLK). */
void Double_Click(HWND dlg, int id);
/* Drags a slider to pos: WM_HSCROLL (WM_VSCROLL for a vertical one) with TB_THUMBPOSITION,
   then TB_ENDTRACK. */
void Slide(HWND dlg, int id, int pos);
/* Clicks the up (steps > 0) or down arrow of an up-down control |steps| times. */
void Spin(HWND dlg, int id, int steps);

/* ---- what the dialog shows ---- */
std::string Text(HWND dlg, int id);          /* text of a control */
std::string Caption(HWND hwnd);              /* text of a window */
std::string Selected(HWND dlg, int id);      /* the chosen item of a drop-down list or list box */
std::vector<std::string> Items(HWND dlg, int id);
/* The items of a list view, in order: text, image and item data of each. */
struct ListRow { std::string text; int image; LPARAM data; };
std::vector<ListRow> List_Rows(HWND list);
bool Checked(HWND dlg, int id);
bool Enabled(HWND dlg, int id);
bool Visible(HWND dlg, int id);
/* The dialog as laid out on this screen: every visible control inside the client area, no two
   of them overlapping (a group box may hold others), and the text of every button, check box,
   radio button and label as wide as its font draws it fits in its control. Holds at any number
   of dots per inch: run under a screen of 144 it tells what would be clipped there. */
void Expect_Laid_Out(HWND dlg);
/* Saves what the window shows, frame included, as <name>.bmp (24 bits) in the folder named by the
   environment variable EDITOR_SHOTS (made when missing); does nothing when it is not set. The window is painted
   first; a window of this process is copied from its own pixels (whether or not they have
   reached the screen), one of another process from the screen once that process has painted. */
void Screenshot(HWND hwnd, const std::string &name);

/* ---- the keyboard, as a dialog's own message loop hands keys to IsDialogMessage ---- */
void Key(HWND dlg, UINT msg, WPARAM key);    /* WM_KEYDOWN or WM_SYSCHAR (Alt down) */
int Focus_Id();                              /* the id of the control that has the focus */
/* The controls Tab visits from the one that has the focus, until it comes round again. */
std::vector<int> Tab_Order(HWND dlg);
/* Every mnemonic of the dialog's controls, once each. */
void Expect_Unique_Mnemonics(HWND dlg);
/* Alt and each letter puts the focus where its label points (a radio button or check box is
   also clicked, as the keyboard does). */
void Expect_Mnemonics_Lead(HWND dlg, const std::vector<std::pair<char, int>> &keys);

/* ---- the choosers answered through their seam ---- */
struct ChooserCall {
    int kind;                 /* CHOOSE_FILE or CHOOSE_FOLDER */
    std::string title, path;  /* path: as the caller passed it */
    int filterIndex;
    bool mustExist;
};
/* Installs itself as the chooser hook for its lifetime; records every call and answers from the
   queue: a path is chosen, "" is a cancel, and so is every call once the queue is empty. */
class ChooserRecorder {
public:
    ChooserRecorder(std::vector<std::string> answers = {});
    ~ChooserRecorder();
    std::vector<ChooserCall> calls;
    std::vector<std::string> answers;
};

/* ---- a small dialog built in memory ---- */
/* The template of a dialog ("MS Shell Dlg" 8, shown when created) with these controls, for
   DialogBoxIndirectParamA(inst, (LPCDLGTEMPLATEA)t.data(), ...). */
std::vector<WORD> Build_Template(const char *caption, const std::vector<Ctl> &ctls, short w = 200, short h = 100);
/* Registers the common controls (sliders, up-downs, list views) for dialogs built in memory. */
void Init_CommonControls();
/* A visible modeless dialog ("MS Shell Dlg" 8) with the controls given; proc may be NULL.
   Destroyed with the Form. */
class Form {
public:
    Form(const char *caption, const std::vector<Ctl> &ctls, short w = 200, short h = 100, DLGPROC proc = nullptr,
         LPARAM param = 0);
    ~Form();
    HWND hwnd() const { return hwnd_; }
    HWND item(int id) const { return GetDlgItem(hwnd_, id); }
private:
    HWND hwnd_ = nullptr;
};

} // namespace dk
