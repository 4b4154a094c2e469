/* The queue editor in a real Editor.exe on the demo installation, driven from outside as an
   operator drives it; the files it leaves are compared byte for byte with what -update writes
   for the same installation. */
#include "support/remote.h"
#include "support/testkit.h"
#include "resources/resource.h"
#include <map>
#include <sstream>

namespace {

const char k_MainCaption[] = "Queue Configuration";
const int k_DemoQueueCount = 7;

typedef std::map<std::string, std::string> Tree;

/* Every file under dir (relative path -> bytes), the program's folder left out. */
void Read_Tree(const std::string &dir, const std::string &rel, Tree *out)
{
    for (const std::string &name : tk::List_Dir(dir)) {
        std::string full = dir + "\\" + name, r = rel.empty() ? name : rel + "\\" + name;
        if (r == "System") continue;
        if (GetFileAttributesA(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY) {
            (*out)[r + "\\"] = "<dir>";
            Read_Tree(full, r, out);
        } else {
            (*out)[r] = tk::Read_File(full);
        }
    }
}

Tree Tree_Of(const std::string &dir)
{
    Tree t;
    Read_Tree(dir, "", &t);
    return t;
}

std::string Differences(const Tree &a, const Tree &b)
{
    std::string out;
    for (const auto &f : a) {
        auto o = b.find(f.first);
        if (o == b.end()) out += "  only after the edit: " + f.first + "\n";
        else if (o->second != f.second) out += "  differs: " + f.first + "\n";
    }
    for (const auto &f : b)
        if (a.find(f.first) == a.end()) out += "  only after -update: " + f.first + "\n";
    return out;
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

std::vector<std::string> Fields(const std::string &line)
{
    std::vector<std::string> fields;
    size_t pos = 0;
    for (;;) {
        size_t sep = line.find("::", pos);
        fields.push_back(line.substr(pos, sep == std::string::npos ? std::string::npos : sep - pos));
        if (sep == std::string::npos) return fields;
        pos = sep + 2;
    }
}

class QueueEditorE2E : public ::testing::Test {
protected:
    tk::TempHome home{ true };
    Tree updated;                          /* the installation as -update leaves it */

    /* -update on the demo installation gives the reference; then the demo is laid out afresh in
       the same place (what is stored depends on the home's path) for the edit. */
    void SetUp() override
    {
        tk::Lay_Out_Demo(home.path());
        tk::Child update(tk::Quote(home.editor()) + " -update " + tk::Quote(home.path()));
        std::vector<tk::ForeignBox> seen;
        ASSERT_EQ(0, tk::Run_Answering(update, {}, &seen));
        ASSERT_TRUE(seen.empty()) << seen[0].text;
        updated = Tree_Of(home.path());
        for (const std::string &name : tk::List_Dir(home.path())) {
            if (name == "System") continue;
            std::string full = home / name;
            if (GetFileAttributesA(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY) tk::Remove_Tree(full);
            else DeleteFileA(full.c_str());
        }
        tk::Lay_Out_Demo(home.path());
    }

    HWND Start(tk::Child *editor)
    {
        *editor = tk::Child(tk::Quote(home.editor()), home / "System");
        HWND main = rk::Find_Window(editor->pid(), k_MainCaption, 20000);
        EXPECT_NE(nullptr, main) << "no main window";
        if (main != nullptr) rk::Wait_Until([&] { return rk::LV_Count(main, IDC_MAIN_TARGETS) == k_DemoQueueCount; }, 5000);
        return main;
    }

    /* Selects the queue at pos in the main window and opens the editor on it. */
    HWND Edit(const tk::Child &editor, HWND main, int pos)
    {
        rk::LV_Select(main, IDC_MAIN_TARGETS, { pos });
        EXPECT_TRUE(rk::Wait_Until([&] { return rk::Enabled(main, IDC_MAIN_EDIT); }, 5000));
        rk::Press(main, IDC_MAIN_EDIT);
        HWND ov = rk::Find_Window(editor.pid(), "Overview");
        EXPECT_NE(nullptr, ov) << "no Overview for queue " << pos + 1;
        return ov;
    }
};

TEST_F(QueueEditorE2E, OkInTheEditorOnEveryQueueThenOkStoresWhatUpdateWrites)
{
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    for (int pos = 0; pos < k_DemoQueueCount; pos++) {
        SCOPED_TRACE(pos);
        std::string name = rk::LV_Text(main, IDC_MAIN_TARGETS, pos);
        HWND ov = Edit(editor, main, pos);
        ASSERT_NE(nullptr, ov);
        EXPECT_EQ(name, rk::Text(ov, IDC_OV_NAME));
        rk::Press(ov, IDC_OV_OK);
        ASSERT_TRUE(rk::Wait_Gone(ov)) << "the editor closed: " << name;
    }
    EXPECT_FALSE(rk::Answer_Box(editor.pid(), IDOK, nullptr, 300)) << "no message on the way";
    rk::Press(main, IDC_MAIN_OK);
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, tk::Run_Answering(editor, {}, &seen, 30000)) << "OK ends the program";
    EXPECT_TRUE(seen.empty()) << seen[0].text;
    Tree written = Tree_Of(home.path());
    EXPECT_TRUE(written == updated) << Differences(written, updated);
}

TEST_F(QueueEditorE2E, ANewNameAndHotDirectoryChangeExactlyThoseFieldsOfTheQueuesFile)
{
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    HWND ov = Edit(editor, main, 1);
    ASSERT_NE(nullptr, ov);
    EXPECT_EQ("Plate Setter 2", rk::Text(ov, IDC_OV_NAME));
    rk::Type(ov, IDC_OV_NAME, "Plate Setter Two");
    rk::Press(ov, IDC_OV_INPUTS);
    HWND in = rk::Find_Window(editor.pid(), "Inputs");
    ASSERT_NE(nullptr, in);
    std::string hot = home / "Hot\\Plate Setter Two";
    rk::Type(in, IDC_IN_PATH, hot);
    rk::Press(in, IDOK);
    ASSERT_TRUE(rk::Wait_Gone(in));
    EXPECT_NE(std::string::npos, rk::Text(ov, IDC_OV_INPUTS_TEXT).find("\\Plate Setter Two"));
    rk::Press(ov, IDC_OV_OK);
    ASSERT_TRUE(rk::Wait_Gone(ov));
    EXPECT_EQ("Plate Setter Two", rk::LV_Text(main, IDC_MAIN_TARGETS, 1)) << "the list shows the new name";

    rk::Press(main, IDC_MAIN_OK);
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, tk::Run_Answering(editor, { IDYES }, &seen, 30000));
    ASSERT_EQ(1u, seen.size()) << "the new hot directory is offered for creation";
    EXPECT_EQ("Create the directory \"" + hot + "\"?", seen[0].text);
    EXPECT_TRUE(tk::Exists(hot));

    std::vector<std::string> before = Lines(updated["Queues.cfg"]), after = Lines(tk::Read_File(home / "Queues.cfg"));
    ASSERT_EQ(before.size(), after.size());
    int changedLines = 0;
    for (size_t i = 0; i < before.size(); i++) {
        if (before[i] == after[i]) continue;
        changedLines++;
        std::vector<std::string> was = Fields(before[i]), now = Fields(after[i]);
        ASSERT_EQ(was.size(), now.size());
        EXPECT_EQ("Plate Setter 2", was[0]);
        for (size_t f = 0; f < was.size(); f++) {
            SCOPED_TRACE("field " + std::to_string(f + 1));
            if (f == 0) EXPECT_EQ("Plate Setter Two", now[f]);
            else if (f == 2) EXPECT_EQ(hot, now[f]);
            else EXPECT_EQ(was[f], now[f]);
        }
    }
    EXPECT_EQ(1, changedLines) << "only the edited queue's line";
}

TEST_F(QueueEditorE2E, CancelInTheEditorThenCancelWritesNothing)
{
    Tree before = Tree_Of(home.path());
    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    HWND ov = Edit(editor, main, 0);
    ASSERT_NE(nullptr, ov);
    rk::Type(ov, IDC_OV_NAME, "Gone");
    rk::Key_To_Focus(ov, VK_ESCAPE);
    ASSERT_TRUE(rk::Wait_Gone(ov));
    EXPECT_EQ("Plate Setter 1", rk::LV_Text(main, IDC_MAIN_TARGETS, 0));
    rk::Press(main, IDCANCEL);
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, tk::Run_Answering(editor, {}, &seen, 20000));
    EXPECT_TRUE(seen.empty());
    Tree after = Tree_Of(home.path());
    EXPECT_TRUE(before == after) << Differences(after, before);
}

} // namespace
