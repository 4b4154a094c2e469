/* The list of rows, driven in-process as the operator would: the rows and columns it shows, the
   order after a click on a heading or a choice under "Sort by:", what the caller's open
   procedure is handed for Enter and a double click (and the rows filled again after it), the
   clipboard, Esc; and the same list inside a dialog of another's. */
#include "support/testkit.h"
#include "support/dlgkit.h"
#include "lists/rowlist.h"
#include "common/appstate.h"
#include "common/dlgutil.h"
#include "config/queuepages.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <string.h>

namespace {

const char k_Title[] = "Check";

/* The caller's side: findings computed elsewhere, the fill and open procedures, and what they saw. */
struct Finding { std::string queue; int rank; std::string line, text; ROW_REF ref; };
struct Caller {
    std::vector<Finding> findings;
    int fills = 0;
    std::vector<ROW> opened;
    bool refill = true;
    std::function<void()> onOpen;
};

BOOL Fill_Findings(ROWSET *set, void *context)
{
    Caller *c = (Caller *)context;
    c->fills++;
    RowSet_SetGroupColumn(set, "Queue");
    RowSet_AddColumn(set, "Severity", 48, ROWSORT_RANK);
    RowSet_AddColumn(set, "Line", 24, ROWSORT_NUMBER);
    RowSet_AddColumn(set, "Problem", 0, ROWSORT_TEXT);
    int errors = 0;
    for (const Finding &f : c->findings) {
        ROW *row = RowSet_AddRow(set, f.queue.c_str(), f.rank, &f.ref);
        if (row == nullptr) return FALSE;
        Row_SetCell(row, 0, "%s", f.rank == 0 ? "error" : "warning");
        Row_SetCell(row, 1, "%s", f.line.c_str());
        Row_SetCell(row, 2, "%s", f.text.c_str());
        errors += f.rank == 0;
    }
    RowSet_SetLabel(set, "&Findings: %d errors, %d warnings", errors, (int)c->findings.size() - errors);
    return TRUE;
}

BOOL Open_Finding(HWND, const ROW *row, void *context)
{
    Caller *c = (Caller *)context;
    c->opened.push_back(*row);
    if (c->onOpen) c->onOpen();
    return c->refill;
}

BOOL Fail_Fill(ROWSET *, void *) { return FALSE; }

const ROW_REF k_None = { ROWREF_NONE, -1, 0, 0 };

Caller Four_Findings()
{
    Caller c;
    c.findings = {
        { "Proofer", 1, "12", "The done directory does not exist.", { ROWREF_TARGET, 3, QPAGE_CLEANUP, 0 } },
        { "Banner", 0, "4", "Two queues are named Banner.", { ROWREF_TARGET, 1, QPAGE_OVERVIEW, 0 } },
        { "", 0, "", "Line 40 of Applications.cfg cannot be read.", k_None },
        { "Banner", 1, "9", "The hot directory lies inside another's.", { ROWREF_TARGET, 1, QPAGE_INPUTS, 0 } },
    };
    return c;
}

/* Every cell of a list, row by row, as the list gives it (an owner-data list asks its dialog). */
std::vector<std::vector<std::string>> Cells(HWND list)
{
    std::vector<std::vector<std::string>> rows;
    int n = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    int columns = (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0);
    for (int i = 0; i < n; i++) {
        std::vector<std::string> row;
        for (int c = 0; c < columns; c++) {
            char buf[300] = "";
            LVITEMA it = {};
            it.iSubItem = c;
            it.pszText = buf;
            it.cchTextMax = sizeof buf;
            SendMessageA(list, LVM_GETITEMTEXTA, i, (LPARAM)&it);
            row.push_back(buf);
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<std::string> Column(HWND list, int c)
{
    std::vector<std::string> out;
    for (const auto &row : Cells(list)) out.push_back(row[(size_t)c]);
    return out;
}

std::vector<std::string> Headings(HWND list)
{
    std::vector<std::string> out;
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    int n = (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0);
    for (int c = 0; c < n; c++) {
        char buf[100] = "";
        HDITEMA hd = {};
        hd.mask = HDI_TEXT;
        hd.pszText = buf;
        hd.cchTextMax = sizeof buf;
        SendMessageA(header, HDM_GETITEMA, c, (LPARAM)&hd);
        out.push_back(buf);
    }
    return out;
}

/* A click on a column's heading, as the mouse gives it. */
void Click_Heading(HWND list, int c)
{
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    RECT rc;
    SendMessageA(header, HDM_GETITEMRECT, c, (LPARAM)&rc);
    LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
    tk::Pump(10);
}

int Selected_Item(HWND list) { return (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); }

void Select_Item(HWND list, int i)
{
    SetFocus(list);
    LVITEMA it = {};
    it.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    it.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, i, (LPARAM)&it);
}

void Double_Click_Item(HWND list, int i)
{
    RECT rc = { LVIR_BOUNDS, 0, 0, 0 };
    SendMessageA(list, LVM_GETITEMRECT, i, (LPARAM)&rc);
    LPARAM at = MAKELPARAM(rc.left + 20, (rc.top + rc.bottom) / 2);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    tk::Pump(10);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    tk::Pump(10);
}

std::string Clipboard_Text()
{
    std::string text;
    if (!OpenClipboard(nullptr)) return "(clipboard not open)";
    HANDLE h = GetClipboardData(CF_TEXT);
    if (h != nullptr) {
        const char *p = (const char *)GlobalLock(h);
        if (p != nullptr) text = p;
        GlobalUnlock(h);
    }
    CloseClipboard();
    return text;
}

class RowListTest : public ::testing::Test {
protected:
    tk::MsgRecorder msgs;
    void SetUp() override
    {
        tk::Reset_ProcessState();
        hInstance = GetModuleHandleA(nullptr);
    }
    void TearDown() override { tk::Reset_ProcessState(); }
    INT_PTR Show(dk::Script &s, const ROWLIST_DEF &def) { return s.Run([&] { return Show_RowList(nullptr, &def); }); }
};

} // namespace

TEST_F(RowListTest, ShowsTheRowsUnderTheirHeadingsAndCloses)
{
    Caller c = Four_Findings();
    ROWLIST_DEF def = { k_Title, Fill_Findings, Open_Finding, &c, -1, FALSE };
    dk::Script s;
    s.On(k_Title, [&](HWND d) {
        HWND list = GetDlgItem(d, IDC_RL_LIST);
        EXPECT_EQ("&Findings: 2 errors, 2 warnings", dk::Text(d, IDC_RL_LABEL));
        EXPECT_EQ((std::vector<std::string>{ "Queue", "Severity", "Line", "Problem" }), Headings(list));
        EXPECT_EQ((std::vector<std::vector<std::string>>{
                      { "Proofer", "warning", "12", "The done directory does not exist." },
                      { "Banner", "error", "4", "Two queues are named Banner." },
                      { "", "error", "", "Line 40 of Applications.cfg cannot be read." },
                      { "Banner", "warning", "9", "The hot directory lies inside another's." },
                  }),
                  Cells(list));
        EXPECT_EQ(list, GetFocus()) << "the keyboard starts in the rows";
        EXPECT_EQ(0, Selected_Item(list));
        EXPECT_EQ("As listed", dk::Selected(d, IDC_RL_SORT));
        EXPECT_TRUE(dk::Visible(d, IDOK));
        dk::Expect_Unique_Mnemonics(d);
        dk::Expect_Mnemonics_Lead(d, { { 'b', IDC_RL_SORT }, { 'f', IDC_RL_LIST } });
        dk::Key(d, WM_KEYDOWN, VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, Show(s, def));
    EXPECT_TRUE(s.Done());
    EXPECT_EQ(1, c.fills);
    EXPECT_TRUE(c.opened.empty());
    EXPECT_TRUE(msgs.boxes.empty());
}

TEST_F(RowListTest, HeadingsAndSortBySortEachWayAndKeepTheSelectedRow)
{
    Caller c = Four_Findings();
    ROWLIST_DEF def = { k_Title, Fill_Findings, Open_Finding, &c, -1, FALSE };
    dk::Script s;
    s.On(k_Title, [&](HWND d) {
        HWND list = GetDlgItem(d, IDC_RL_LIST);
        Select_Item(list, 1);                                   /* Banner, error, line 4 */
        Click_Heading(list, 1);
        EXPECT_EQ((std::vector<std::string>{ "4", "", "12", "9" }), Column(list, 2)) << "errors first, ties as listed";
        EXPECT_EQ("Severity, ascending", dk::Selected(d, IDC_RL_SORT));
        EXPECT_EQ(0, Selected_Item(list)) << "the selected row moved with the sort";
        Click_Heading(list, 1);
        EXPECT_EQ((std::vector<std::string>{ "12", "9", "4", "" }), Column(list, 2)) << "again: the other way round";
        EXPECT_EQ("Severity, descending", dk::Selected(d, IDC_RL_SORT));
        Click_Heading(list, 2);
        EXPECT_EQ((std::vector<std::string>{ "", "4", "9", "12" }), Column(list, 2)) << "lines as numbers";
        /* by keyboard */
        dk::Choose(d, IDC_RL_SORT, "Queue, descending");
        EXPECT_EQ((std::vector<std::string>{ "Proofer", "Banner", "Banner", "" }), Column(list, 0));
        EXPECT_EQ((std::vector<std::string>{ "12", "4", "9", "" }), Column(list, 2));
        dk::Choose(d, IDC_RL_SORT, "As listed");
        EXPECT_EQ((std::vector<std::string>{ "12", "4", "", "9" }), Column(list, 2));
        EXPECT_EQ(1, Selected_Item(list));
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, Show(s, def));
    EXPECT_TRUE(s.Done());
}

TEST_F(RowListTest, EnterAndDoubleClickHandTheRowToTheCallerAndFillTheRowsAgain)
{
    Caller c = Four_Findings();
    /* the open procedure mends the finding it was given: the next fill has it no more */
    c.onOpen = [&] {
        for (size_t i = 0; i < c.findings.size(); i++)
            if (c.findings[i].ref.page == c.opened.back().ref.page && c.findings[i].ref.kind == ROWREF_TARGET) {
                c.findings.erase(c.findings.begin() + (long)i);
                break;
            }
    };
    ROWLIST_DEF def = { k_Title, Fill_Findings, Open_Finding, &c, 2, FALSE };   /* sorted by line */
    dk::Script s;
    s.On(k_Title, [&](HWND d) {
        HWND list = GetDlgItem(d, IDC_RL_LIST);
        EXPECT_EQ((std::vector<std::string>{ "", "4", "9", "12" }), Column(list, 2));
        Select_Item(list, 2);                                   /* Banner, line 9, the Inputs page */
        dk::Key(d, WM_KEYDOWN, VK_RETURN);
        ASSERT_EQ(1u, c.opened.size());
        const ROW &row = c.opened[0];
        EXPECT_EQ(ROWREF_TARGET, row.ref.kind);
        EXPECT_EQ(1, row.ref.pos);
        EXPECT_EQ(QPAGE_INPUTS, row.ref.page);
        EXPECT_STREQ("Banner", row.group);
        EXPECT_STREQ("The hot directory lies inside another's.", row.cells[2]);
        EXPECT_EQ(2, c.fills) << "filled again after the open";
        EXPECT_EQ((std::vector<std::string>{ "", "4", "12" }), Column(list, 2)) << "the sort stays";
        EXPECT_EQ("&Findings: 2 errors, 1 warnings", dk::Text(d, IDC_RL_LABEL));

        Double_Click_Item(list, 2);                             /* Proofer, the Clean-Up page */
        ASSERT_EQ(2u, c.opened.size());
        EXPECT_EQ(QPAGE_CLEANUP, c.opened[1].ref.page);
        EXPECT_EQ(3, c.opened[1].ref.pos);
        EXPECT_EQ((std::vector<std::string>{ "", "4" }), Column(list, 2));

        /* a row that stands for nothing opens nothing */
        Select_Item(list, 0);
        EXPECT_FALSE(dk::Enabled(d, IDOK));
        dk::Key(d, WM_KEYDOWN, VK_RETURN);
        Double_Click_Item(list, 0);
        EXPECT_EQ(2u, c.opened.size());
        EXPECT_TRUE(IsWindow(d)) << "Enter on it does not close the list";

        /* an open that changed nothing leaves the rows as they are */
        c.refill = false;
        Select_Item(list, 1);
        EXPECT_TRUE(dk::Enabled(d, IDOK));
        dk::Click(d, IDOK);
        EXPECT_EQ(3u, c.opened.size());
        EXPECT_EQ(3, c.fills);
        dk::Click(d, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, Show(s, def));
    EXPECT_TRUE(s.Done());
}

TEST_F(RowListTest, CopyPutsTheRowsAsSortedOnTheClipboard)
{
    Caller c = Four_Findings();
    ROWLIST_DEF def = { k_Title, Fill_Findings, nullptr, &c, 1, FALSE };
    dk::Script s;
    s.On(k_Title, [&](HWND d) {
        EXPECT_FALSE(dk::Visible(d, IDOK)) << "rows that open nothing have no Open";
        dk::Click(d, IDC_RL_COPY);
        EXPECT_EQ("Queue\tSeverity\tLine\tProblem\r\n"
                  "Banner\terror\t4\tTwo queues are named Banner.\r\n"
                  "\terror\t\tLine 40 of Applications.cfg cannot be read.\r\n"
                  "Proofer\twarning\t12\tThe done directory does not exist.\r\n"
                  "Banner\twarning\t9\tThe hot directory lies inside another's.\r\n",
                  Clipboard_Text());
        /* Ctrl+C in the rows does the same */
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
        HWND list = GetDlgItem(d, IDC_RL_LIST);
        SetFocus(list);
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        SendMessageA(list, WM_KEYDOWN, 'C', 1);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
        EXPECT_EQ(0u, Clipboard_Text().find("Queue\tSeverity\tLine\tProblem\r\nBanner\terror\t4\t"));
        dk::Key(d, WM_KEYDOWN, VK_RETURN);                      /* without Open, Enter closes */
    });
    EXPECT_EQ(IDCANCEL, Show(s, def));
    EXPECT_TRUE(s.Done());
}

TEST_F(RowListTest, RowsThatCannotBeFilledOpenNoList)
{
    ROWLIST_DEF def = { k_Title, Fail_Fill, nullptr, nullptr, -1, FALSE };
    dk::Script s;
    EXPECT_EQ(-1, s.Run([&] { return Show_RowList(nullptr, &def); }, 2000));
}

TEST_F(RowListTest, GrowsWithItsWindowAndNothingIsClipped)
{
    Caller c = Four_Findings();
    for (int i = 0; i < 40; i++)
        c.findings.push_back({ "Queue " + std::to_string(i), i % 2, std::to_string(i + 20),
                               "C:\\Spool\\Hot\\Queue " + std::to_string(i) + " is named by two queues.",
                               { ROWREF_TARGET, i, QPAGE_INPUTS, 0 } });
    ROWLIST_DEF def = { k_Title, Fill_Findings, Open_Finding, &c, -1, FALSE };
    dk::Script s;
    s.On(k_Title, [&](HWND d) {
        HWND list = GetDlgItem(d, IDC_RL_LIST);
        dk::Expect_Laid_Out(d);
        Click_Heading(list, 1);
        dk::Screenshot(d, "rowlist");
        RECT win, list0, close0, client;
        GetWindowRect(d, &win);
        Get_ControlRect(d, IDC_RL_LIST, &list0);
        Get_ControlRect(d, IDCANCEL, &close0);
        SetWindowPos(d, nullptr, 0, 0, win.right - win.left + 200, win.bottom - win.top + 100, SWP_NOMOVE | SWP_NOZORDER);
        RECT list1, close1;
        Get_ControlRect(d, IDC_RL_LIST, &list1);
        Get_ControlRect(d, IDCANCEL, &close1);
        EXPECT_EQ(list0.right - list0.left + 200, list1.right - list1.left);
        EXPECT_EQ(list0.bottom - list0.top + 100, list1.bottom - list1.top);
        EXPECT_EQ(close0.left + 200, close1.left);
        EXPECT_EQ(close0.top + 100, close1.top);
        /* the last column takes the width the others leave */
        GetClientRect(list, &client);
        int sum = 0;
        for (int col = 0; col < 4; col++) sum += (int)SendMessageA(list, LVM_GETCOLUMNWIDTH, col, 0);
        EXPECT_LE(sum, client.right);
        EXPECT_GT(sum, client.right - GetSystemMetrics(SM_CXVSCROLL) - 4);
        dk::Expect_Laid_Out(d);
        SetWindowPos(d, nullptr, 0, 0, 100, 100, SWP_NOMOVE | SWP_NOZORDER);
        RECT small;
        GetWindowRect(d, &small);
        EXPECT_EQ(win.right - win.left, small.right - small.left) << "never smaller than laid out";
        dk::Click(d, IDCANCEL);
    });
    Show(s, def);
    EXPECT_TRUE(s.Done());
}

/* ---- the same list in a dialog of another's ---- */

INT_PTR CALLBACK Host_Dlg(HWND, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg == WM_NOTIFY) return RowList_Notify((const NMHDR *)lParam);
    return FALSE;
}

TEST_F(RowListTest, AListInAnotherDialogShowsItsOwnCopyOfTheRows)
{
    dk::Form host("Restore", { { WC_LISTVIEWA, 300, "", LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | WS_BORDER | WS_TABSTOP, 4, 4, 300, 120 } },
                  310, 130, Host_Dlg);
    HWND list = host.item(300);
    ASSERT_TRUE(RowList_Attach(list));
    {
        Caller c = Four_Findings();
        ROWSET set;
        RowSet_Init(&set);
        ASSERT_TRUE(Fill_Findings(&set, &c));
        ASSERT_TRUE(RowList_Show(list, &set));
        RowSet_Free(&set);                 /* the caller's rows are gone */
    }
    EXPECT_EQ((std::vector<std::string>{ "12", "4", "", "9" }), Column(list, 2));
    RowList_Sort(list, 3, TRUE);
    EXPECT_EQ((std::vector<std::string>{ "4", "9", "12", "" }), Column(list, 2)) << "problem text, descending";
    int shown = -2;
    BOOL descending = FALSE;
    RowList_GetSort(list, &shown, &descending);
    EXPECT_EQ(3, shown);
    EXPECT_TRUE(descending);
    Select_Item(list, 1);
    const ROW *row = RowList_Selected(list);
    ASSERT_NE(nullptr, row);
    EXPECT_EQ(QPAGE_INPUTS, row->ref.page);

    /* new rows: the sort stays, and the selection stays on the row that stands for the same thing */
    Caller fewer = Four_Findings();
    fewer.findings.erase(fewer.findings.begin());
    fewer.findings.push_back({ "Zeta", 0, "1", "A new finding.", { ROWREF_LBQ, 0, 0, 0 } });
    ROWSET set;
    RowSet_Init(&set);
    ASSERT_TRUE(Fill_Findings(&set, &fewer));
    ASSERT_TRUE(RowList_Show(list, &set));
    RowSet_Free(&set);
    EXPECT_EQ((std::vector<std::string>{ "4", "9", "", "1" }), Column(list, 2));
    row = RowList_Selected(list);
    ASSERT_NE(nullptr, row);
    EXPECT_EQ(QPAGE_INPUTS, row->ref.page);
    EXPECT_EQ(1, Selected_Item(list));
    RowList_Detach(list);
    EXPECT_EQ(nullptr, RowList_Rows(list));
}
