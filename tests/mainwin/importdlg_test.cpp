/* Export and Import in the main window, driven in-process: the choosers answered through their
   seam, the preview "Import Queues" driven as the operator drives it, the lists and files after. */
#include "support/testkit.h"
#include "support/dlgkit.h"
#include "mainwin/importdlg.h"
#include "mainwin/maindlg.h"
#include "lists/queuelists.h"
#include "common/appstate.h"
#include "config/exchange.h"
#include "config/model.h"
#include "config/setup.h"
#include "shell/app.h"
#include "resources/resource.h"
#include <commctrl.h>

namespace {

const char k_Preview[] = "Import Queues";

class ImportDialog : public tk::HomeTest {
protected:
    HWND dlg = nullptr;
    tk::TempDir files{ "xd" };
    std::string file;

    void SetUp() override
    {
        tk::HomeTest::SetUp();
        ASSERT_TRUE(Register_Classes(hInstance));
        tk::Lay_Out_Demo(home.home());
        /* the demo's Proofer and Imposition, exported from it */
        ASSERT_TRUE(InitData());
        file = files / "two.queues";
        int two[] = { 3, 4 };
        ASSERT_TRUE(Write_Export(file.c_str(), two, 2, nullptr, 0));
        Fresh_Process();
        ASSERT_TRUE(InitData());
    }
    void TearDown() override
    {
        if (dlg != nullptr && IsWindow(dlg)) DestroyWindow(dlg);
        MSG m;
        while (PeekMessageA(&m, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
        tk::HomeTest::TearDown();
    }
    void Open()
    {
        dlg = CreateDialogParamA(hInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainMenu_Dlg, 0);
        ASSERT_NE(nullptr, dlg);
        mainWindow = dlg;
    }
    HWND Targets() const { return GetDlgItem(dlg, IDC_MAIN_TARGETS); }
    void Command(int id) { SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dlg, id)); }
    /* The cells of a list view, row by row, columns joined by " | ". */
    static std::vector<std::string> Cells(HWND list)
    {
        std::vector<std::string> out;
        HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
        int cols = (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0);
        int n = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        for (int i = 0; i < n; i++) {
            std::string row;
            for (int c = 0; c < cols; c++) {
                char buf[300] = "";
                LVITEMA it = {};
                it.iSubItem = c;
                it.pszText = buf;
                it.cchTextMax = sizeof buf;
                SendMessageA(list, LVM_GETITEMTEXTA, i, (LPARAM)&it);
                row += (c ? " | " : "") + std::string(buf);
            }
            out.push_back(row);
        }
        return out;
    }
    static std::vector<int> Selected(HWND list)
    {
        std::vector<int> out;
        for (int i = Next_Selected(list, 0); i >= 0; i = Next_Selected(list, i + 1)) out.push_back(i);
        return out;
    }
};

TEST_F(ImportDialog, ExportAsksWhereAndWritesTheSelectedQueues)
{
    Open();
    EXPECT_FALSE(dk::Enabled(dlg, IDC_MAIN_EXPORT)) << "nothing selected";
    SetFocus(Targets());
    int picked[] = { 1, 5 };
    Select_Items(Targets(), picked, 2);
    tk::Pump(10);
    ASSERT_TRUE(dk::Enabled(dlg, IDC_MAIN_EXPORT));
    const std::string out = files / "chosen.queues";
    dk::ChooserRecorder chooser({ out });
    Command(IDC_MAIN_EXPORT);
    ASSERT_EQ(1u, chooser.calls.size());
    EXPECT_EQ(CHOOSE_SAVE, chooser.calls[0].kind);
    EXPECT_EQ("Export Queues To", chooser.calls[0].title);
    EXPECT_EQ(home / "Plate Setter 2.queues", chooser.calls[0].path) << "named after the first queue, in the home";
    OUTBUF b;
    OutBuf_Init(&b);
    ASSERT_TRUE(Build_Export(picked, 2, nullptr, 0, &b));
    EXPECT_EQ(tk::Crlf(std::string(b.data, b.len)), tk::Read_File(out));
    OutBuf_Free(&b);
    EXPECT_TRUE(msgs.boxes.empty());

    /* cancelled: nothing written */
    dk::ChooserRecorder cancel;
    DeleteFileA(out.c_str());
    Command(IDC_MAIN_EXPORT);
    EXPECT_FALSE(tk::Exists(out));
}

/* The preview shows each queue with the name it gets, each application reused or added, the
   warnings; a name typed over is taken; OK adds the queues at the end of the list, selected,
   and writes nothing until the main window's OK. */
TEST_F(ImportDialog, ThePreviewShowsWhatHappensAndOKAddsTheQueues)
{
    const std::string queues = tk::Read_File(home / "Queues.cfg");
    Open();
    dk::ChooserRecorder chooser({ file });
    dk::Script s;
    s.On(k_Preview, [&](HWND d) {
        EXPECT_EQ("From " + file, dk::Text(d, IDC_IMPORT_FILE));
        EXPECT_EQ((std::vector<std::string>{ "Output queue | Proofer | Proofer (2)",
                                             "Output queue | Imposition | Imposition (2)" }),
                  Cells(GetDlgItem(d, IDC_IMPORT_QUEUES)));
        EXPECT_EQ((std::vector<std::string>{ home / "Apps\\ProofRip.exe" + " | -profile proof.icc | Reused",
                                             home / "Apps\\Impose.exe" + " | -sheet A1 | Reused",
                                             home / "Apps\\Preflight.exe" + " |  | Reused" }),
                  Cells(GetDlgItem(d, IDC_IMPORT_APPS)));
        EXPECT_EQ((std::vector<std::string>{
                      "Output queue \"Proofer\" is renamed \"Proofer (2)\": a queue of that name exists here",
                      "Output queue \"Imposition\" is renamed \"Imposition (2)\": a queue of that name exists here" }),
                  dk::Items(d, IDC_IMPORT_NOTES));
        EXPECT_EQ("Proofer (2)", dk::Text(d, IDC_IMPORT_NAME)) << "the first queue is selected";
        EXPECT_EQ(home.home(), dk::Text(d, IDC_IMPORT_FROM));
        EXPECT_EQ("", dk::Text(d, IDC_IMPORT_TO));
        dk::Expect_Laid_Out(d);
        dk::Expect_Unique_Mnemonics(d);
        dk::Screenshot(d, "import_preview");
        /* the second queue renamed by the operator */
        ListView_SetItemState(GetDlgItem(d, IDC_IMPORT_QUEUES), 1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        EXPECT_EQ("Imposition (2)", dk::Text(d, IDC_IMPORT_NAME));
        dk::Type(d, IDC_IMPORT_NAME, "Imposition B");
        EXPECT_EQ("Output queue | Imposition | Imposition B", Cells(GetDlgItem(d, IDC_IMPORT_QUEUES))[1]);
        dk::Click(d, IDOK);
    });
    s.Run([&] { Command(IDC_MAIN_IMPORT); return (INT_PTR)0; });
    EXPECT_TRUE(s.Done());
    ASSERT_EQ(1u, chooser.calls.size());
    EXPECT_EQ(CHOOSE_FILE, chooser.calls[0].kind);
    EXPECT_TRUE(chooser.calls[0].mustExist);
    EXPECT_TRUE(msgs.boxes.empty());
    ASSERT_EQ(9, targetCount);
    EXPECT_STREQ("Proofer (2)", targets[7].name);
    EXPECT_STREQ("Imposition B", targets[8].name);
    EXPECT_EQ(targets[4].processRef, targets[8].processRef) << "the group here";
    EXPECT_EQ((std::vector<int>{ 7, 8 }), Selected(Targets()));
    EXPECT_EQ(9, (int)SendMessageA(Targets(), LVM_GETITEMCOUNT, 0, 0));
    EXPECT_EQ(queues, tk::Read_File(home / "Queues.cfg")) << "nothing is written before the main window's OK";
}

TEST_F(ImportDialog, ATakenNameKeepsThePreviewOpenAndCancelAddsNothing)
{
    Open();
    dk::ChooserRecorder chooser({ file });
    dk::Script s;
    s.On(k_Preview, [&](HWND d) {
        dk::Type(d, IDC_IMPORT_NAME, "Plate Setter 1");
        EXPECT_EQ("Output queue \"Proofer\": the new name \"Plate Setter 1\" is taken", dk::Items(d, IDC_IMPORT_NOTES)[0]);
        dk::Click(d, IDOK);
        ASSERT_EQ(1u, msgs.boxes.size());
        EXPECT_EQ("The queues cannot be imported as they are:\r\n\r\nOutput queue \"Proofer\": the new name \"Plate Setter 1\" "
                  "is taken\r\n",
                  msgs.last().text);
        EXPECT_EQ(MB_ICONINFORMATION, tk::Icon_Of(msgs.last().flags));
        EXPECT_TRUE(IsWindowVisible(d)) << "the preview stays open";
        EXPECT_EQ(IDC_IMPORT_NAME, dk::Focus_Id());
        /* the root replaced: the paths under it are looked for under the new root */
        dk::Type(d, IDC_IMPORT_TO, "C:\\Elsewhere");
        std::vector<std::string> notes = dk::Items(d, IDC_IMPORT_NOTES);
        EXPECT_NE(notes.end(), std::find(notes.begin(), notes.end(),
                                         "Output queue \"Proofer\": Hot directory \"C:\\Elsewhere\\Hot\\Proofer\" does not exist "
                                         "on this machine"));
        dk::Click(d, IDCANCEL);
    });
    s.Run([&] { Command(IDC_MAIN_IMPORT); return (INT_PTR)0; });
    EXPECT_TRUE(s.Done());
    EXPECT_EQ(7, targetCount);
    EXPECT_EQ(7, (int)SendMessageA(Targets(), LVM_GETITEMCOUNT, 0, 0));
}

TEST_F(ImportDialog, ADamagedFileIsRefusedWithItsLineAndNothingOpens)
{
    std::string text = tk::Read_File(file);
    text.replace(text.find("copies="), 7, "copies ");
    tk::Write_File(file, text);
    Open();
    dk::ChooserRecorder chooser({ file });
    Command(IDC_MAIN_IMPORT);
    ASSERT_EQ(1u, msgs.boxes.size());
    const std::string box = msgs.last().text;
    EXPECT_EQ(0u, box.find("This file cannot be imported:\r\n\r\n" + file + "\r\n\r\nLine ")) << box;
    EXPECT_NE(std::string::npos, box.find(": a damaged line (\"key=value\" expected)\r\n\r\nNothing was added.")) << box;
    EXPECT_EQ(7, targetCount);
}

TEST_F(ImportDialog, TheKeyboardReachesEveryControl)
{
    Open();
    dk::ChooserRecorder chooser({ file });
    dk::Script s;
    s.On(k_Preview, [&](HWND d) {
        EXPECT_EQ(IDC_IMPORT_QUEUES, dk::Focus_Id());
        EXPECT_EQ((std::vector<int>{ IDC_IMPORT_QUEUES, IDC_IMPORT_NAME, IDC_IMPORT_APPS, IDC_IMPORT_NOTES, IDC_IMPORT_FROM,
                                     IDC_IMPORT_TO, IDOK, IDCANCEL }),
                  dk::Tab_Order(d));
        dk::Expect_Mnemonics_Lead(d, { { 'q', IDC_IMPORT_QUEUES }, { 'n', IDC_IMPORT_NAME }, { 'a', IDC_IMPORT_APPS },
                                       { 'w', IDC_IMPORT_NOTES }, { 'r', IDC_IMPORT_FROM }, { 'y', IDC_IMPORT_TO } });
        dk::Key(d, WM_KEYDOWN, VK_ESCAPE);
    });
    s.Run([&] { Command(IDC_MAIN_IMPORT); return (INT_PTR)0; });
    EXPECT_TRUE(s.Done());
    EXPECT_EQ(7, targetCount);
}

} // namespace
