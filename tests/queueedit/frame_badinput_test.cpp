/* Queues read from damaged copies of the demo's queues file open in the editor, show every
   section and its pages, and commit (or are refused with a commit message) without changing
   anything the editor's rules do not name. */
#include "queueedit/editkit.h"
#include "queueedit/targetwork.h"
#include "config/badinput_gen.h"
#include "config/setup.h"
#include "config/runtime.h"
#include <set>

namespace {

const char *const k_CommitTexts[] = {
    "You must enter a name for this queue before continuing.",
    "The name of a queue cannot contain any of the following characters: / \\ \" : * ? < > |",
    "The chosen hot directory is not a valid path name.  Please correct the entry or select an existing directory using "
    "the chooser.",
    "You have no applications configured.  Cannot save this queue.",
    "This queue has the same name as queue ",
    "The chosen parameter file has not been recognised.  This file does not exist. This will be saved as a string only.",
};

bool Is_CommitText(const std::string &text)
{
    for (const char *t : k_CommitTexts)
        if (text.compare(0, strlen(t), t) == 0) return true;
    return false;
}

/* What a commit of the queue at pos gives when nothing is changed: the editor's opening rules,
   the name without its outer blanks, the normal form. */
Target Expected_Commit(int pos)
{
    Target t = targets[pos];
    if (t.monitorProcesses && strstr(t.hotDir, "Monitor") == NULL) Copy_Field(t.hotDir, "Monitor");
    if (t.hidden) t.suspendOnError = FALSE;
    std::string name = t.name;
    name.erase(0, name.find_first_not_of(' '));
    name.erase(name.find_last_not_of(' ') + 1);
    memset(t.name, 0, sizeof t.name);
    Copy_Field(t.name, name.c_str());
    Normalise_Target(&t);
    return t;
}

/* The record as compared: the icon handle aside (the editor extracts one of its own) and the
   room behind the name's terminator (the trimmed name is written over the old one). */
std::string Comparable(Target t)
{
    t.icon = nullptr;
    size_t len = strlen(t.name);
    memset(t.name + len, 0, sizeof t.name - len);
    return std::string((const char *)&t, sizeof t);
}

class FrameBadInput : public ek::EditorTest {};

TEST_F(FrameBadInput, DamagedQueuesOpenShowAndCommitWithoutDrift)
{
    tk::Lay_Out_Demo(home.home());
    for (const std::string &n : tk::List_Dir(home / "Apps")) DeleteFileA((home / ("Apps\\" + n)).c_str());
    std::string seed = tk::Read_File(home / "Queues.cfg");

    /* the queues the seed itself gives: only the damaged ones are worth a dialog */
    Reset_Configuration();
    InitData();
    Free_Resources();
    std::set<std::string> plain;
    for (int i = 0; i < targetCount; i++) plain.insert(Comparable(targets[i]));

    int opened = 0, committed = 0, refused = 0;
    for (int c = 0; c < 60; c++) {
        std::string recipe;
        std::string bytes = fz::Mutate(seed, "demo Queues.cfg", c, &recipe);
        SCOPED_TRACE("case " + std::to_string(c) + " [" + recipe + "]");
        tk::Write_File(home / "Queues.cfg", bytes);
        Reset_Configuration();
        InitData();
        Free_Resources();
        int tried = 0;
        for (int pos = 0; pos < targetCount && tried < 4; pos++) {
            if (plain.count(Comparable(targets[pos]))) continue;
            tried++;
            SCOPED_TRACE("queue " + std::to_string(pos + 1) + " \"" + targets[pos].name + "\"");
            opened++;
            Target before = targets[pos], expected = Expected_Commit(pos);
            boxes.boxes.clear();
            bool stayed = false;
            dk::Script s;
            if (opened % 3 == 1) {                  /* the pages show it too (every third, for time) */
                s.On("Overview", [](HWND d) { dk::Click(d, IDC_OV_INPUTS); });
                s.On("Inputs", [](HWND d) { dk::Click(d, IDCANCEL); });
                s.On("Overview", [](HWND d) { dk::Click(d, IDC_OV_IDENTITY); });
                s.On("Identity", [](HWND d) { dk::Click(d, IDCANCEL); });
            }
            s.On("Overview", [&](HWND d) {
                dk::Click(d, IDC_OV_OK);
                stayed = IsWindowVisible(d) != FALSE;
                if (stayed) dk::Click(d, IDCANCEL);
            });
            INT_PTR result = Open_Overview(s, pos);
            for (const tk::Box &b : boxes.boxes) EXPECT_TRUE(Is_CommitText(b.text)) << b.text;
            if (result == 0) {
                committed++;
                EXPECT_FALSE(stayed);
                EXPECT_TRUE(Comparable(expected) == Comparable(targets[pos])) << "the committed queue drifted";
            } else {
                refused++;
                EXPECT_TRUE(stayed);
                EXPECT_FALSE(boxes.boxes.empty()) << "a refusal is told";
                EXPECT_EQ(0, memcmp(&before, &targets[pos], sizeof before)) << "a refused queue stays as it was";
            }
            if (targets[pos].icon != nullptr && targets[pos].icon != before.icon) {
                DestroyIcon(targets[pos].icon);
                targets[pos].icon = nullptr;
            }
        }
    }
    EXPECT_GT(opened, 20) << "the damaged copies gave queues of their own";
    EXPECT_GT(committed, 0);
    printf("%d damaged queues opened: %d committed, %d refused\n", opened, committed, refused);
}

} // namespace
