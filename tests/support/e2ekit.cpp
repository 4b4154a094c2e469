#include "support/e2ekit.h"
#include "resources/resource.h"
#include <sstream>

namespace e2e {

/* ---- the files of an installation ---- */

static void Read_Tree(const std::string &dir, const std::string &rel, Tree *out)
{
    for (const std::string &name : tk::List_Dir(dir)) {
        std::string full = dir + "\\" + name, r = rel.empty() ? name : rel + "\\" + name;
        DWORD attr = GetFileAttributesA(full.c_str());
        if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) {
            (*out)[r + "\\"] = "<dir>";
            Read_Tree(full, r, out);
        } else if (_stricmp(r.c_str(), "System\\Editor.exe") != 0 && _stricmp(r.c_str(), "logs\\Editor Changes.log") != 0 &&
                   _stricmp(r.c_str(), "logs\\Editor Changes.1.log") != 0) {
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

std::string Differences(const Tree &a, const Tree &b, const std::string &aName, const std::string &bName)
{
    std::string out;
    for (const auto &f : a) {
        auto o = b.find(f.first);
        if (o == b.end()) out += "  only in " + aName + ": " + f.first + "\n";
        else if (o->second != f.second) out += "  differs: " + f.first + "\n";
    }
    for (const auto &f : b)
        if (a.find(f.first) == a.end()) out += "  only in " + bName + ": " + f.first + "\n";
    return out;
}

Tree Without_Backups(Tree t)
{
    for (auto it = t.begin(); it != t.end();) {
        const std::string &p = it->first;
        bool backup = p.size() > 4 && _stricmp(p.c_str() + p.size() - 4, ".old") == 0;
        it = backup ? t.erase(it) : std::next(it);
    }
    return t;
}

std::string Home_Fixture(const std::string &rel, const std::string &home)
{
    std::string text = tk::Read_File(tk::Fixture(rel));
    for (size_t at; (at = text.find("@HOME@")) != std::string::npos;) text.replace(at, 6, home);
    return tk::Crlf(text);
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Fields(const std::string &line)
{
    std::vector<std::string> fields;
    for (size_t pos = 0;;) {
        size_t sep = line.find("::", pos);
        fields.push_back(line.substr(pos, sep == std::string::npos ? std::string::npos : sep - pos));
        if (sep == std::string::npos) return fields;
        pos = sep + 2;
    }
}

std::string Join_Fields(const std::vector<std::string> &fields)
{
    std::string out;
    for (size_t i = 0; i < fields.size(); i++) out += (i ? "::" : "") + fields[i];
    return out;
}

/* ---- the demo installation and its editor ---- */

void DemoTest::SetUp()
{
    tk::HomeTest::SetUp();
    ASSERT_TRUE(CopyFileA(tk::Editor_Exe().c_str(), home.editor().c_str(), FALSE)) << "the program in " << home.editor();
    tk::Lay_Out_Demo(home.path());
}

void DemoTest::Lay_Out_Afresh()
{
    for (const std::string &name : tk::List_Dir(home.path())) {
        if (name == "System") continue;
        std::string full = home / name;
        if (GetFileAttributesA(full.c_str()) & FILE_ATTRIBUTE_DIRECTORY) tk::Remove_Tree(full);
        else DeleteFileA(full.c_str());
    }
    tk::Lay_Out_Demo(home.path());
}

Tree DemoTest::Run_Update()
{
    tk::Child update(tk::Quote(home.editor()) + " -update " + tk::Quote(home.path()), home / "System");
    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, tk::Run_Answering(update, {}, &seen)) << "-update ends with 0";
    for (const tk::ForeignBox &b : seen) ADD_FAILURE() << "-update showed a box: " << b.text;
    return Tree_Of(home.path());
}

Tree DemoTest::Update_Reference()
{
    Tree reference = Run_Update();
    Lay_Out_Afresh();
    return reference;
}

HWND DemoTest::Start(tk::Child *editor, int outputs, int inputs, const char *env, const std::string &dir)
{
    *editor = tk::Child(tk::Quote(home.editor()), dir.empty() ? home / "System" : dir, env);
    HWND main = rk::Find_Window(editor->pid(), k_MainCaption, 20000);
    EXPECT_NE(nullptr, main) << "no main window";
    if (main == nullptr) return nullptr;
    EXPECT_TRUE(rk::Wait_Until(
        [&] { return rk::LV_Count(main, IDC_MAIN_TARGETS) == outputs && rk::LV_Count(main, IDC_MAIN_LBQS) == inputs; },
        5000))
        << "the main window lists " << rk::LV_Count(main, IDC_MAIN_TARGETS) << " output queues and "
        << rk::LV_Count(main, IDC_MAIN_LBQS) << " input queues";
    return main;
}

HWND DemoTest::Edit_Queue(const tk::Child &editor, HWND main, int pos)
{
    rk::LV_Select(main, IDC_MAIN_TARGETS, { pos });
    EXPECT_TRUE(rk::Wait_Until([&] { return rk::Enabled(main, IDC_MAIN_EDIT); }, 5000)) << "Edit stays off";
    rk::Press(main, IDC_MAIN_EDIT);
    HWND overview = rk::Find_Window(editor.pid(), "Overview");
    EXPECT_NE(nullptr, overview) << "no queue editor for output queue " << pos + 1;
    return overview;
}

int DemoTest::Press_And_Finish(tk::Child &editor, HWND main, int button, std::vector<int> answers,
                               std::vector<tk::ForeignBox> *seen, DWORD ms)
{
    rk::Press(main, button);
    std::vector<tk::ForeignBox> boxes;
    return tk::Run_Answering(editor, std::move(answers), seen != nullptr ? seen : &boxes, ms);
}

HWND Find_InputEditor(const tk::Child &editor)
{
    HWND found = nullptr;
    rk::Wait_Until([&] {
        for (HWND w : rk::Top_Windows(editor.pid()))
            if (rk::Caption(w) == k_DemoTitle && GetDlgItem(w, IDC_LB_SPLIT) != nullptr && IsWindowEnabled(w)) found = w;
        return found != nullptr;
    }, 10000);
    EXPECT_NE(nullptr, found) << "no input queue editor";
    return found;
}

bool Wait_Enabled(HWND w, DWORD ms)
{
    return rk::Wait_Until([w] { return IsWindow(w) && IsWindowEnabled(w); }, ms);
}

} // namespace e2e
