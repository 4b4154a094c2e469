/* The parameter file editor: the file's text in one edit, written back whole on OK. */
#include "queueedit/editkit.h"
#include "queueedit/paramfile_dlg.h"
#include <stdlib.h>

namespace {

TEST(ParamText, LineEndsForTheEditAndForTheFile)
{
    struct Case { std::string file, edit; } cases[] = {
        { "", "" },
        { "-a\n-b", "-a\r\n-b" },
        { "-a\r\n-b\r\n", "-a\r\n-b\r\n" },
        { "-a\n\n-b\r\n", "-a\r\n\r\n-b\r\n" },
        { "-a\r-b", "-a\r-b" },                       /* a carriage return alone is text */
        { "\r\r\n", "\r\r\n" },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        char *edit = nullptr;
        ASSERT_TRUE(ParamText_ForEdit(c.file.data(), c.file.size(), &edit));
        EXPECT_EQ(c.edit, edit);
        free(edit);
    }
    struct Back { std::string edit, file; } backs[] = {
        { "", "" }, { "-a\r\n-b", "-a\n-b" }, { "-a\r-b\r\n", "-a\r-b\n" }, { "\r\r\n\n", "\r\n\n" },
    };
    for (const Back &b : backs) {
        std::string text = b.edit;
        size_t n = ParamText_ForFile(&text[0]);
        EXPECT_EQ(b.file, text.substr(0, n));
    }
}

class ParamFileDlg : public ek::EditorTest {
protected:
    Target Record(const std::string &path)
    {
        Target t = targets[0];
        Copy_Field(t.parameters, path.c_str());
        t.parametersIsFile = TRUE;
        return t;
    }
    int Open(dk::Script &s, const Target *t) { return (int)s.Run([&] { return (INT_PTR)Edit_ParamFile(nullptr, t); }); }
};

TEST_F(ParamFileDlg, ShowsTheFileAndWritesWhatIsTypedInTextMode)
{
    std::string path = home / "Params\\plates.txt";
    tk::Make_Dirs(home / "Params");
    tk::Write_File(path, "-res 2400\n-profile proof.icc\r\n");
    Target t = Record(path);
    dk::Script s;
    s.On(path, [&](HWND d) {
        EXPECT_EQ("-res 2400\r\n-profile proof.icc\r\n", dk::Text(d, IDC_PF_TEXT));
        ek::Shot(d, "paramfile");
        DWORD from = 1, to = 1;
        SendDlgItemMessageA(d, IDC_PF_TEXT, EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
        EXPECT_EQ(0u, from);
        EXPECT_EQ(0u, to) << "nothing selected: a key pressed does not replace the file";
        dk::Type(d, IDC_PF_TEXT, "-res 1200\r-mirror\r\r");     /* Enter starts a new line */
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(PARAMFILE_OK, Open(s, &t));
    EXPECT_EQ("-res 1200\r\n-mirror\r\n\r\n", tk::Read_File(path));
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(ParamFileDlg, CancelLeavesTheFile)
{
    std::string path = home / "plates.txt";
    tk::Write_File(path, "-res 2400\n");
    Target t = Record(path);
    dk::Script s;
    s.On(path, [](HWND d) {
        dk::Type(d, IDC_PF_TEXT, "gone");
        ek::Press_Key(VK_ESCAPE);                     /* Escape in the text cancels the dialog */
    });
    EXPECT_EQ(PARAMFILE_CANCEL, Open(s, &t));
    EXPECT_EQ("-res 2400\n", tk::Read_File(path)) << "not even its line ends change";
}

TEST_F(ParamFileDlg, AMissingFileStartsEmptyAndIsCreatedWithItsFolders)
{
    std::string path = home / "New\\Folder\\params.txt";
    Target t = Record("\"" + path + "\"");              /* a path in quotes names the same file */
    dk::Script s;
    s.On("\"" + path + "\"", [](HWND d) {
        EXPECT_EQ("", dk::Text(d, IDC_PF_TEXT));
        dk::Type(d, IDC_PF_TEXT, "-proof");
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(PARAMFILE_OK, Open(s, &t));
    EXPECT_EQ("-proof", tk::Read_File(path));
}

TEST_F(ParamFileDlg, AFileThatCannotBeWrittenIsToldWithItsCause)
{
    std::string path = "Q:\\No Drive\\params.txt";
    Target t = Record(path);
    dk::Script s;
    s.On(path, [](HWND d) {
        dk::Type(d, IDC_PF_TEXT, "-x");
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(PARAMFILE_OK, Open(s, &t)) << "closed all the same";
    ASSERT_EQ(1u, boxes.count());
    EXPECT_EQ(0u, boxes.last().text.find("Error writing file. The file has not been saved.\r\n\r\nError: ")) << boxes.last().text;
    EXPECT_EQ(MB_ICONSTOP, tk::Icon_Of(boxes.last().flags));
    EXPECT_EQ("Editor", boxes.last().caption);
}

TEST_F(ParamFileDlg, ALongFileIsShownAndWrittenBackWhole)
{
    std::string path = home / "long.txt", text;
    for (int i = 0; i < 600; i++) text += "-option" + std::to_string(i) + "\r\n";
    ASSERT_GT(text.size(), 4095u);
    tk::Write_File(path, text);
    Target t = Record(path);
    dk::Script s;
    s.On(path, [&](HWND d) {
        HWND edit = GetDlgItem(d, IDC_PF_TEXT);
        std::string shown((size_t)GetWindowTextLengthA(edit) + 1, '\0');
        GetWindowTextA(edit, &shown[0], (int)shown.size());
        shown.pop_back();
        EXPECT_EQ(text, shown);
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(PARAMFILE_OK, Open(s, &t));
    EXPECT_EQ(text, tk::Read_File(path));
}

TEST_F(ParamFileDlg, AFileThatIsNoTextIsShownReadOnlyAndLeftAsItIs)
{
    std::string path = home / "binary.dat";
    std::string bytes("-a\r\n\0\x01\x02-b\r\n", 11);
    tk::Write_File(path, bytes);
    Target t = Record(path);
    dk::Script s;
    s.On(path, [](HWND d) {
        EXPECT_EQ("-a\r\n", dk::Text(d, IDC_PF_TEXT)) << "shown up to its zero byte";
        EXPECT_TRUE(GetWindowLongA(GetDlgItem(d, IDC_PF_TEXT), GWL_STYLE) & ES_READONLY);
        dk::Click(d, IDOK);
    });
    EXPECT_EQ(PARAMFILE_OK, Open(s, &t));
    EXPECT_EQ(bytes, tk::Read_File(path));
    EXPECT_EQ(0u, boxes.count());
}

TEST_F(ParamFileDlg, WithoutARecordItClosesAtOnce)
{
    dk::Script s;
    EXPECT_EQ(PARAMFILE_CANCEL, Open(s, nullptr));
}

} // namespace
