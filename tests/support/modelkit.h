/* The model kit: queues, input queues and applications put into the arrays as the program makes
   them, so that every test starts from the model's own defaults and changes only what it is
   about. A new field with a default of its own then reaches every test through Init_NewTarget
   or Init_NewLBQ, never through a dozen hand-made ideas of a new queue.

       Target &plates = mk::Add_Target("Plates");        // as the queue editor adds one
       mk::Runs_App(plates, mk::Add_App(home / "Apps\\Rip.exe"));
       plates.afterAction = AFTER_DELETE;                 // what the test is about
       LBQ &in = mk::Add_LBQ("Plates In");
       in.outputs[0] = 1;
       mk::Number_AsLoaded();                             // as if read from the queues file

   Nothing here touches a file or a window; the hot directories are only named. */
#pragma once
#include "config/model.h"
#include <vector>
#include <string>

namespace mk {

/* ---- output queues ---- */
/* The record of a new output queue as the queue editor makes it for the slot at targetCount: the
   slot as the arrays hold it (emptied, numbered), Init_NewTarget with the hot directory hotDir
   (without one: the hot directory the editor proposes), then the name. The arrays are not
   changed. */
Target New_Target(const std::string &name);
Target New_Target(const std::string &name, const std::string &hotDir);
/* The same, appended to the output queues (targetCount grows). Returns the queue in its slot. */
Target &Add_Target(const std::string &name);
Target &Add_Target(const std::string &name, const std::string &hotDir);
/* The same in the slot at pos, for a test that fills the slots in an order of its own: the record
   there is replaced (as the editor makes it for that slot), and targetCount grows to take it in. */
Target &Put_Target(int pos, const std::string &name);
Target &Put_Target(int pos, const std::string &name, const std::string &hotDir);

/* What a queue runs, with the flags that go with it: nothing (process reference 202 and the
   no-processes flag), the application in slot app, or the application group in slot group. */
void Runs_Nothing(Target &t);
void Runs_App(Target &t, int app);
void Runs_Group(Target &t, int group);

/* ---- input queues ---- */
/* The record of a new input queue as its editor makes it (Init_NewLBQ with the hot directory
   hotDir; without one, the one the editor proposes), named name; no output queues. */
LBQ New_LBQ(const std::string &name);
LBQ New_LBQ(const std::string &name, const std::string &hotDir);
/* The same, appended to the input queues (lbqCount grows). Returns the queue in its slot. */
LBQ &Add_LBQ(const std::string &name);
LBQ &Add_LBQ(const std::string &name, const std::string &hotDir);

/* ---- applications ---- */
/* An application as the queue editor adds one (a new process entry of the Processes page, its
   program and arguments given): for a queue that runs it alone, priority N and run in parallel
   with other queues; as a member of a group (Add_Member), used only through groups (priority U,
   run alone -1). New_App gives the record (for a queue that runs it alone); the others put it into
   slot (-1 = the first free one) and return the slot, or -1 when none is free. */
App New_App(const std::string &path, const std::string &args = "");
int Add_App(const std::string &path, const std::string &args = "", int slot = -1);
int Add_Member(const std::string &path, const std::string &args = "", int slot = -1);
/* An application group of the applications in members, in that order, as the queue editor makes
   one: priority N, run in parallel with other queues, its members in parallel or in series. Put
   into slot (-1 = the first free one); returns the slot, or -1 when none is free. */
int Add_Group(const std::vector<int> &members, BOOL parallel, int slot = -1);

/* ---- as loaded ---- */
/* Gives every queue the number the queues file gave it when loaded: the input queues first, then
   the output queues, each in array order (loadIndex). */
void Number_AsLoaded();

/* ---- comparing records ---- */
/* The names of the fields in which two output queue records differ, one a line ("" when they are
   equal in every field), for a failure that says what differs. */
std::string Target_Differences(const Target &a, const Target &b);
/* What lies between the fields that Target_Differences knows, beyond the padding the compiler
   puts there ("" when nothing does): a field added to the record but not to the comparison. */
std::string Target_FieldGaps();

} // namespace mk
