/* The end-to-end kit: a real Editor.exe in a temporary installation of the demo print shop,
   started as the operator starts it and driven from outside with the remote kit; the files it
   leaves are read back whole and compared byte for byte.

       class QueueAdd : public e2e::DemoTest {};
       TEST_F(QueueAdd, ...)
       {
           const e2e::Tree reference = Update_Reference();   // what -update writes for the demo
           tk::Child editor;
           HWND main = Start(&editor);                       // the main window, both lists filled
           ASSERT_NE(nullptr, main);
           HWND overview = Edit_Queue(editor, main, 1);      // select, Edit, the queue editor
           ...
           EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK));
           e2e::Tree written = e2e::Tree_Of(home.path());
           EXPECT_TRUE(written == reference) << e2e::Differences(written, reference);
       }

   The fixture is a tk::HomeTest (process state reset, boxes of this process recorded) whose home
   also holds the program in its System folder and the demo installation. */
#pragma once
#include "support/remote.h"
#include "support/testkit.h"
#include <map>
#include <string>
#include <vector>

namespace e2e {

/* ---- the files of an installation ---- */

/* Every folder ("Hot\\" -> "<dir>") and file ("Hot\\x.txt" -> its bytes) under dir, by path
   relative to dir; the program itself ("System\\Editor.exe") and the change log of the saves
   ("logs\\Editor Changes.log", ".1.log"), which its own tests read, are left out. */
typedef std::map<std::string, std::string> Tree;
Tree Tree_Of(const std::string &dir);
/* The paths that differ between two trees, one a line, for a readable failure. */
std::string Differences(const Tree &a, const Tree &b, const std::string &aName = "the first",
                        const std::string &bName = "the second");
/* The tree without its backups (the "*.old" files). */
Tree Without_Backups(Tree t);

/* A fixture file (LF text) as the editor writes it in home: "@HOME@" becomes home, lines end in CR LF. */
std::string Home_Fixture(const std::string &rel, const std::string &home);
/* The lines of a text, without their line ends (CR LF or LF). */
std::vector<std::string> Lines(const std::string &text);
/* The fields of a line of the queues or applications file ("::" between them), and back. */
std::vector<std::string> Fields(const std::string &line);
std::string Join_Fields(const std::vector<std::string> &fields);

/* ---- the demo installation and its editor ---- */

const char k_MainCaption[] = "Queue Configuration";
const int k_DemoQueues = 7;          /* output queues of the demo: Plate Setter 1 ... Monitor */
const int k_DemoInputs = 2;          /* its input queues: Plates In, Proofs In */
const char k_DemoTitle[] = "Ostra Queue Editor";   /* the demo profile's product name: every box's caption */

class DemoTest : public tk::HomeTest {
protected:
    /* The home holds Editor.exe in its System folder and the demo installation. */
    void SetUp() override;
    /* Everything but the program removed and the demo laid out again in the same place (what the
       store writes depends on the home's path, so references are made where the test runs). */
    void Lay_Out_Afresh();
    /* Runs "Editor.exe -update <home>" to its end: it must exit with 0 and show no box. The tree
       it leaves. */
    Tree Run_Update();
    /* The tree -update leaves on the demo, the reference of an edit; then the demo is laid out
       afresh for the edit. */
    Tree Update_Reference();
    /* Starts the editor as the operator does (from its folder, or dir when given; env: a
       "NAME=value" added to the environment) and waits for its main window with `outputs` output
       queues and `inputs` input queues listed. NULL, and the test failed, when it did not come. */
    HWND Start(tk::Child *editor, int outputs = k_DemoQueues, int inputs = k_DemoInputs, const char *env = nullptr,
               const std::string &dir = "");
    /* Selects the output queue at pos in the main window, presses Edit and waits for the queue
       editor ("Overview"). NULL, and the test failed, when it did not come. */
    HWND Edit_Queue(const tk::Child &editor, HWND main, int pos);
    /* Presses the button of the main window (OK or Cancel) and runs the editor to its end,
       answering its boxes with answers, then cautiously (tk::Run_Answering). The exit code, or -1
       when it did not end within ms. */
    int Press_And_Finish(tk::Child &editor, HWND main, int button, std::vector<int> answers = {},
                         std::vector<tk::ForeignBox> *seen = nullptr, DWORD ms = 30000);
};

/* Waits for the input queue editor of that editor process (captioned with the product name, as
   the splash screen is) and returns it; NULL, and the test failed, when it did not come. */
HWND Find_InputEditor(const tk::Child &editor);

/* Waits until the window is enabled again (its modal child has closed); false after ms. */
bool Wait_Enabled(HWND w, DWORD ms = 5000);

} // namespace e2e
