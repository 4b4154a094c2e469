/* The model kit makes its queues and applications as the program makes them: a kit queue is the
   queue editor's new queue, a kit application is the one the store adds for a new process entry. */
#include "support/modelkit.h"
#include "support/testkit.h"
#include "config/appsfile.h"
#include "config/newdirs.h"
#include "common/text.h"
#include "queueedit/processlist.h"
#include "queueedit/targetwork.h"
#include <string.h>

namespace {

class ModelKit : public tk::HomeTest {};

TEST_F(ModelKit, AKitQueueIsTheQueueEditorsNewQueueInEveryField)
{
    mk::Add_Target("Plates", "C:\\Hot\\Plates");

    /* the editor opens a new queue on the empty slot at targetCount */
    Target opened;
    Open_TargetWork(targetCount, &opened);
    Target &kit = mk::Add_Target("Proofs");
    Copy_Field(opened.name, "Proofs");
    EXPECT_EQ("", mk::Target_Differences(opened, kit));
    EXPECT_EQ(1, kit.slotIndex);
    EXPECT_EQ(-1, kit.loadIndex);

    /* a given hot directory is the one Init_NewTarget is given, on an empty slot */
    Target want = targets[targetCount];
    Init_NewTarget(&want, "C:\\Hot\\Plates");
    Copy_Field(want.name, "Plates");
    want.slotIndex = 0;
    EXPECT_EQ("", mk::Target_Differences(want, targets[0]));
    EXPECT_EQ(2, targetCount);
}

TEST_F(ModelKit, AKitInputQueueIsTheInputQueueEditorsNewQueue)
{
    /* the input queue editor proposes a hot directory for the queue at lbqCount */
    LBQ want;
    char proposed[TEXT_LEN];
    Get_NewLBQDir(lbqCount, proposed, sizeof proposed);
    Init_NewLBQ(&want, proposed);
    Copy_Field(want.name, "Plates In");
    LBQ &kit = mk::Add_LBQ("Plates In");
    EXPECT_EQ(0, memcmp(&want, &kit, sizeof want));
    EXPECT_EQ(1, lbqCount);
    EXPECT_STREQ("C:\\In", mk::Add_LBQ("Proofs In", "C:\\In").hotDir);
}

/* The store's own way in: one process entry, or a group of new entries, matched by AddTargetApps. */
static int Store_Adds(std::initializer_list<const char *> paths, BOOL parallel)
{
    ProcessList list;
    memset(&list, 0, sizeof list);
    list.priority = 'N';
    list.runAlone = 0;
    list.parallel = parallel;
    for (const char *p : paths) {
        Clear_ProcessEntry(&list.entries[list.count], -1);
        Copy_Field(list.entries[list.count].path, p);
        Copy_Field(list.entries[list.count].args, "-x");
        list.count++;
    }
    return AddTargetApps(&list);
}

TEST_F(ModelKit, KitApplicationsAndGroupsAreWhatTheStoreAddsForANewProcess)
{
    int stored = Store_Adds({ "C:\\Apps\\Rip.exe" }, FALSE);
    ASSERT_EQ(0, stored);
    int kit = mk::Add_App("C:\\Apps\\Rip2.exe", "-x");
    ASSERT_EQ(1, kit) << "the first free slot";
    Copy_Field(apps[kit].path, "C:\\Apps\\Rip.exe");
    EXPECT_EQ(0, memcmp(&apps[stored], &apps[kit], sizeof(App)));

    int group = Store_Adds({ "C:\\Apps\\Pre.exe", "C:\\Apps\\Post.exe" }, TRUE);
    ASSERT_EQ(0, group);
    const int first = appGroups[group].members[0], second = appGroups[group].members[1];
    int a = mk::Add_Member("C:\\Apps\\Pre.exe", "-x", 10), b = mk::Add_Member("C:\\Apps\\Post.exe", "-x", 11);
    EXPECT_EQ(0, memcmp(&apps[first], &apps[a], sizeof(App)));
    EXPECT_EQ(0, memcmp(&apps[second], &apps[b], sizeof(App)));
    int kitGroup = mk::Add_Group({ first, second }, TRUE);
    ASSERT_EQ(1, kitGroup);
    EXPECT_EQ(0, memcmp(&appGroups[group], &appGroups[kitGroup], sizeof(AppGroup)));
    EXPECT_EQ(-1, mk::Add_Group({ 1, 2, 3, 4, 5 }, FALSE)) << "more members than a group holds";
}

TEST_F(ModelKit, WhatAQueueRunsAndTheNumbersOfTheQueuesFile)
{
    Target &t = mk::Add_Target("Plates");
    mk::Runs_Group(t, 3);
    EXPECT_EQ(3, t.processRef);
    EXPECT_TRUE(t.usesGroup && !t.noProcesses);
    mk::Runs_App(t, 5);
    EXPECT_EQ(5, t.processRef);
    EXPECT_FALSE(t.usesGroup || t.noProcesses);
    mk::Runs_Nothing(t);
    EXPECT_EQ(NO_PROCESSES, t.processRef);
    EXPECT_TRUE(!t.usesGroup && t.noProcesses);

    mk::Add_Target("Proofs");
    mk::Add_LBQ("In");
    mk::Number_AsLoaded();
    EXPECT_EQ(0, lbqs[0].loadIndex) << "the queues file keeps input queues first";
    EXPECT_EQ(1, targets[0].loadIndex);
    EXPECT_EQ(2, targets[1].loadIndex);
}

/* The comparison knows every field of the record, and names the one that differs. */
TEST(ModelKitFields, EveryFieldOfTheRecordIsComparedByName)
{
    EXPECT_EQ("", mk::Target_FieldGaps()) << "a field of Target that the kit does not compare";
    Target a = mk::New_Target("A", "C:\\Hot\\A");
    const struct { const char *field; void (*change)(Target &); } rows[] = {
        { "hidden\n", [](Target &t) { t.hidden = TRUE; } },
        { "name\n", [](Target &t) { Copy_Field(t.name, "B"); } },
        { "timeoutDir\n", [](Target &t) { Copy_Field(t.timeoutDir, "D:\\Late"); } },
        { "icon\n", [](Target &t) { t.icon = (HICON)1; } },
        { "switchIfIdle\n", [](Target &t) { t.switchIfIdle = TRUE; } },
        { "hotDir\nswitchIfIdle\n", [](Target &t) { Copy_Field(t.hotDir, "D:\\"); t.switchIfIdle = TRUE; } },
    };
    for (const auto &row : rows) {
        Target b = a;
        row.change(b);
        EXPECT_EQ(row.field, mk::Target_Differences(a, b));
    }
    Target c = a;
    Copy_Field(c.name, "Ab");
    Copy_Field(c.name, "A");
    EXPECT_EQ("", mk::Target_Differences(a, c)) << "what lies behind a text's end is not the text";
}

} // namespace
