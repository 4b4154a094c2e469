/* Rows for the read-only lists, without a window: what a set keeps (bounded copies), the order
   of each kind of sort, and the text a copy puts on the clipboard. */
#include "support/testkit.h"
#include "common/rowset.h"
#include <string.h>

namespace {

/* Findings of four queues: the group, severity (0 error, 1 warning), line and text. */
struct Finding { const char *queue; int rank; const char *severity, *line, *text; };
const Finding k_Findings[] = {
    /* 0 */ { "Proofer", 1, "warning", "12", "done directory missing" },
    /* 1 */ { "banner",  0, "error",   "9",  "Two queues named Banner" },
    /* 2 */ { "",        0, "error",   "",   "a line that cannot be read" },
    /* 3 */ { "Banner",  1, "warning", "100", "hot directory inside another" },
    /* 4 */ { "Proofer", 0, "error",   "12", "application missing" },
};

void Fill(ROWSET *set)
{
    RowSet_Init(set);
    RowSet_SetGroupColumn(set, "Queue");
    EXPECT_TRUE(RowSet_AddColumn(set, "Severity", 40, ROWSORT_RANK));
    EXPECT_TRUE(RowSet_AddColumn(set, "Line", 24, ROWSORT_NUMBER));
    EXPECT_TRUE(RowSet_AddColumn(set, "Problem", 0, ROWSORT_TEXT));
    for (const Finding &f : k_Findings) {
        ROW *row = RowSet_AddRow(set, f.queue, f.rank, nullptr);
        ASSERT_NE(nullptr, row);
        Row_SetCell(row, 0, "%s", f.severity);
        Row_SetCell(row, 1, "%s", f.line);
        Row_SetCell(row, 2, "%s", f.text);
    }
}

std::vector<int> Order(const ROWSET *set, int shown, BOOL descending)
{
    std::vector<int> order((size_t)set->count);
    RowSet_Order(set, shown, descending, order.data());
    return order;
}

} // namespace

TEST(RowSet, SortsEachKindOfColumnKeepingTiesInTheOrderAdded)
{
    ROWSET set;
    Fill(&set);
    struct Case { const char *name; int shown; BOOL descending; std::vector<int> order; };
    const Case cases[] = {
        { "as added",                          -1, FALSE, { 0, 1, 2, 3, 4 } },
        { "group, without regard to case",      0, FALSE, { 2, 1, 3, 0, 4 } },
        { "group, descending: ties keep order", 0, TRUE,  { 0, 4, 1, 3, 2 } },
        { "severity by rank, not by its text",  1, FALSE, { 1, 2, 4, 0, 3 } },
        { "severity descending",                1, TRUE,  { 0, 3, 1, 2, 4 } },
        { "line as a number, empty first",      2, FALSE, { 2, 1, 0, 4, 3 } },
        { "line descending",                    2, TRUE,  { 3, 0, 4, 1, 2 } },
        { "problem text",                       3, FALSE, { 2, 4, 0, 3, 1 } },
        { "a column that does not exist",       7, FALSE, { 0, 1, 2, 3, 4 } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.order, Order(&set, c.shown, c.descending));
    }
    RowSet_Free(&set);
}

TEST(RowSet, KeepsBoundedCopiesAndCountsWhatItCannotKeep)
{
    ROWSET set;
    RowSet_Init(&set);
    for (int i = 0; i < ROW_COLUMNS; i++) EXPECT_TRUE(RowSet_AddColumn(&set, "c", 10, ROWSORT_TEXT));
    EXPECT_FALSE(RowSet_AddColumn(&set, "one too many", 10, ROWSORT_TEXT));
    EXPECT_EQ(ROW_COLUMNS, RowSet_ShownColumns(&set)) << "no group column was asked for";

    std::string longest(ROW_CELL_LEN - 1, 'p'), longer(ROW_CELL_LEN, 'p'), group(ROW_GROUP_LEN + 5, 'g');
    char source[ROW_CELL_LEN + 1];
    Copy_Field(source, longest.c_str());
    ROW_REF ref = { ROWREF_TARGET, 12, 8, 3 };
    ROW *row = RowSet_AddRow(&set, group.c_str(), 2, &ref);
    ASSERT_NE(nullptr, row);
    EXPECT_TRUE(Row_SetCell(row, 0, "%s", source));
    EXPECT_FALSE(Row_SetCell(row, 1, "%s", longer.c_str())) << "cut to the cell";
    EXPECT_FALSE(Row_SetCell(row, ROW_COLUMNS, "x")) << "no such column";
    source[0] = 'X';                                    /* the caller's text changes afterwards */
    EXPECT_EQ(longest, set.rows[0].cells[0]);
    EXPECT_EQ(longest, set.rows[0].cells[1]);
    EXPECT_EQ(std::string(ROW_GROUP_LEN - 1, 'g'), set.rows[0].group);
    EXPECT_EQ(0, memcmp(&ref, &set.rows[0].ref, sizeof ref));
    ROW *plain = RowSet_AddRow(&set, nullptr, 0, nullptr);
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(ROWREF_NONE, plain->ref.kind) << "a row without a reference opens nothing";
    EXPECT_EQ(-1, plain->ref.pos);

    while (set.count < ROWS_MAX) ASSERT_NE(nullptr, RowSet_AddRow(&set, "", 0, nullptr));
    EXPECT_EQ(nullptr, RowSet_AddRow(&set, "", 0, nullptr));
    EXPECT_EQ(nullptr, RowSet_AddRow(&set, "", 0, nullptr));
    EXPECT_EQ(ROWS_MAX, set.count);
    EXPECT_EQ(2, set.dropped);

    ROWSET copy;
    RowSet_Init(&copy);
    EXPECT_TRUE(RowSet_Copy(&copy, &set));
    RowSet_Free(&set);                                  /* the copy holds nothing of the original */
    EXPECT_EQ(ROWS_MAX, copy.count);
    EXPECT_EQ(2, copy.dropped);
    EXPECT_EQ(longest, copy.rows[0].cells[0]);
    EXPECT_EQ(12, copy.rows[0].ref.pos);
    RowSet_Free(&copy);
}

TEST(RowSet, CopiesAsTabSeparatedLinesInTheOrderShown)
{
    ROWSET set;
    Fill(&set);
    ROW *odd = RowSet_AddRow(&set, "Tab\tQueue", 1, nullptr);
    ASSERT_NE(nullptr, odd);
    Row_SetCell(odd, 2, "two\r\nlines");
    std::vector<int> order = Order(&set, 1, FALSE);
    OUTBUF out;
    OutBuf_Init(&out);
    ASSERT_TRUE(RowSet_Text(&set, order.data(), &out));
    EXPECT_EQ("Queue\tSeverity\tLine\tProblem\r\n"
              "banner\terror\t9\tTwo queues named Banner\r\n"
              "\terror\t\ta line that cannot be read\r\n"
              "Proofer\terror\t12\tapplication missing\r\n"
              "Proofer\twarning\t12\tdone directory missing\r\n"
              "Banner\twarning\t100\thot directory inside another\r\n"
              "Tab Queue\t\t\ttwo  lines\r\n",
              std::string(out.data, out.len));
    OutBuf_Free(&out);
    RowSet_Free(&set);
}
