/* Queues moved between two installations with real Editor.exe processes: exported from one by
   the command line, imported into the other from its main window through the real open chooser
   and the preview, stored by OK. */
#include "support/e2ekit.h"
#include "support/dlgkit.h"
#include "resources/resource.h"
#include <commctrl.h>

namespace {

using e2e::Tree;

class ExchangeEndToEnd : public e2e::DemoTest {};

/* The file name box of the system's open chooser (a combo box with an edit, or an edit). */
HWND File_NameBox(HWND chooser)
{
    for (int id : { 0x47C, 0x480 }) {
        HWND c = GetDlgItem(chooser, id);
        if (c != nullptr && IsWindowVisible(c)) return c;
    }
    return nullptr;
}

/* What Editor.exe -check prints about an installation (it must find no error). */
std::string Check_Lines(const std::string &editorExe, const std::string &home, const std::string &out)
{
    tk::Child checker(tk::Quote(editorExe) + " -check " + tk::Quote(home), "", nullptr, out);
    EXPECT_TRUE(checker.started());
    EXPECT_EQ(0, checker.wait(30000)) << tk::Read_File(out);
    return tk::Read_File(out);
}

TEST_F(ExchangeEndToEnd, TwoQueuesExportedFromOneInstallationLandRenamedInAnother)
{
    /* the other installation: the demo, with its Proofer and Imposition exported */
    tk::TempDir source("xs");
    tk::Lay_Out_Demo(source.path());
    const std::string file = source / "two.queues", out = source / "out.txt";
    {
        tk::Child exporter(tk::Quote(home.editor()) + " -export " + tk::Quote(source.path()) + " " + tk::Quote(file) +
                               " Proofer Imposition",
                           "", nullptr, out);
        ASSERT_TRUE(exporter.started());
        ASSERT_EQ(0, exporter.wait(30000)) << tk::Read_File(out);
    }
    const Tree before = e2e::Tree_Of(home.path());
    const std::string checkedBefore = Check_Lines(home.editor(), home.path(), source / "check-before.txt");

    tk::Child editor;
    HWND main = Start(&editor);
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(rk::Enabled(main, IDC_MAIN_IMPORT));
    rk::Focus(main, IDC_MAIN_TARGETS);
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_MAIN_IMPORT, BN_CLICKED), (LPARAM)GetDlgItem(main, IDC_MAIN_IMPORT));
    HWND chooser = rk::Find_Window(editor.pid(), "Import Queues From", 15000);
    ASSERT_NE(nullptr, chooser);
    HWND name = nullptr;
    ASSERT_TRUE(rk::Wait_Until([&] { return (name = File_NameBox(chooser)) != nullptr; }, 5000));
    SendMessageA(name, WM_SETTEXT, 0, (LPARAM)file.c_str());
    rk::Press(chooser, IDOK);

    HWND preview = rk::Find_Window(editor.pid(), "Import Queues", 15000);
    ASSERT_NE(nullptr, preview);
    EXPECT_EQ(2, rk::LV_Count(preview, IDC_IMPORT_QUEUES));
    EXPECT_EQ("Proofer (2)", rk::LV_Text(preview, IDC_IMPORT_QUEUES, 0, 2)) << "a queue of that name is here";
    EXPECT_EQ("Imposition (2)", rk::LV_Text(preview, IDC_IMPORT_QUEUES, 1, 2));
    EXPECT_EQ("Added", rk::LV_Text(preview, IDC_IMPORT_APPS, 0, 2)) << "the other installation's program";
    dk::Screenshot(preview, "import_preview_e2e");
    EXPECT_TRUE(e2e::Tree_Of(home.path()) == before) << "nothing written while the preview is open";
    rk::Press(preview, IDOK);
    ASSERT_TRUE(rk::Wait_Gone(preview));
    ASSERT_TRUE(rk::Wait_Until([&] { return rk::LV_Count(main, IDC_MAIN_TARGETS) == e2e::k_DemoQueues + 2; }, 5000));
    EXPECT_EQ("Proofer (2)", rk::LV_Text(main, IDC_MAIN_TARGETS, e2e::k_DemoQueues));
    EXPECT_EQ("Imposition (2)", rk::LV_Text(main, IDC_MAIN_TARGETS, e2e::k_DemoQueues + 1));
    EXPECT_TRUE(e2e::Tree_Of(home.path()) == before) << "nothing written before OK";

    std::vector<tk::ForeignBox> seen;
    EXPECT_EQ(0, Press_And_Finish(editor, main, IDC_MAIN_OK, {}, &seen));
    for (const tk::ForeignBox &b : seen) ADD_FAILURE() << "a box on OK: " << b.text;
    EXPECT_EQ(checkedBefore, Check_Lines(home.editor(), home.path(), source / "check-after.txt"))
        << "-check finds no new problem in the installation the queues came into";
    const std::vector<std::string> lines = e2e::Lines(tk::Read_File(home / "Queues.cfg"));
    ASSERT_EQ(2u + e2e::k_DemoQueues + 2u, lines.size());
    const std::vector<std::string> proofer = e2e::Fields(lines[2 + e2e::k_DemoQueues]);
    const std::vector<std::string> impose = e2e::Fields(lines[2 + e2e::k_DemoQueues + 1]);
    EXPECT_EQ("Proofer (2)", proofer[0]);
    EXPECT_EQ(source / "Hot\\Proofer", proofer[2]);
    EXPECT_EQ("Imposition (2)", impose[0]);
    /* the imported queues' applications: the other installation's programs, stored */
    const std::string appsFile = tk::Read_File(home / "Applications.cfg");
    EXPECT_NE(std::string::npos, appsFile.find("\"" + source / "Apps\\ProofRip.exe" + "\" -profile proof.icc::P::N::"));
    EXPECT_NE(std::string::npos, appsFile.find("\"" + source / "Apps\\Impose.exe" + "\" -sheet A1::A::N::"));
    /* the demo's own lines are as they were, but for the application entry numbers: the new group
       takes the first free group slot, as a queue editor's new group does, and the groups are
       numbered again when stored */
    const std::vector<std::string> demo = e2e::Lines(before.at("Queues.cfg"));
    for (size_t i = 0; i < demo.size(); i++) {
        std::vector<std::string> was = e2e::Fields(demo[i]), now = e2e::Fields(lines[i]);
        ASSERT_EQ(was.size(), now.size()) << "line " << i + 1;
        was[3] = now[3] = "";
        EXPECT_EQ(was, now) << "line " << i + 1;
    }
}

} // namespace
