// A result grid's logic without widgets: its cells in grid coordinates, the header-click sort on
// cell matrices, the Ctrl+C text and the export lines and file names.
#include "FileSizeLimit.h"
#include "ResultExportFile.h"
#include "ResultGridCells.h"
#include "ResultGridCopyText.h"
#include "ResultGridSort.h"
#include "ResultRowsFixture.h"
#include "TQryResult_Tesk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace {

using Matrix = std::vector<std::vector<std::string>>;
using ResultGridSort::CompareCellsAsNumbers;
using ResultGridSort::CompareCellsAsText;
using ResultGridSort::SortGridByColumn;

ResultGridCells Cells(const std::vector<std::string>& names, const Matrix& rows, std::string qualifier = {})
{
    auto store = MakeRowStore(names, rows);
    const bool empty = rows.empty();
    ResultGridCells cells(std::move(store), static_cast<int>(names.size()) + 1, empty);
    cells.SetTextQualifier(std::move(qualifier));
    return cells;
}

// Column col of the data rows, top to bottom.
std::vector<std::string> Column(const ResultGridCells& cells, int col)
{
    std::vector<std::string> values;
    for (int row = 1; row < cells.RowCount(); ++row) values.push_back(cells.Cell(col, row));
    return values;
}

std::vector<std::string> RowNumbers(const ResultGridCells& cells) { return Column(cells, 0); }

TEST(ResultGridCells, RowNumbersTravelWithTheirRows)
{
    ResultGridCells cells = Cells({"id", "name"}, {{"1", "a"}, {"2", "b"}, {"3", "c"}});
    EXPECT_EQ(cells.RowCount(), 4);
    EXPECT_EQ(cells.ColCount(), 3);
    EXPECT_EQ(cells.Cell(0, 0), "");
    EXPECT_EQ(cells.Cell(2, 0), "name");
    cells.SetRowOrder({2, 0, 1});
    EXPECT_EQ(RowNumbers(cells), (std::vector<std::string>{"3", "1", "2"}));
    EXPECT_EQ(Column(cells, 2), (std::vector<std::string>{"c", "a", "b"}));
    // An order that is not one of every row is refused.
    cells.SetRowOrder({0, 1});
    EXPECT_EQ(RowNumbers(cells), (std::vector<std::string>{"3", "1", "2"}));
}

TEST(ResultGridSort, CompareCellsAsText)
{
    struct Case {
        const char* A;
        const char* B;
        int Expected;
    };
    const Case cases[] = {
        {"", "", 0},        {"", "a", 1},           {"a", "", -1},         {"abc", "abc", 0},
        {"ab", "abc", -1},  {"B", "a", -1},         {"10", "9", -1},       {"abcdefgh1", "abcdefgh2", -1},
        {"abcdefgh", "abcdefgh\x01", -1},            {"z", "张", -1},
        // GBK order: chen, li, wang, zhang (the UTF-8 bytes would give the opposite of some).
        {"陈", "李", -1},   {"李", "王", -1},       {"王", "张", -1},      {"张伟", "张", 1},
    };
    for (const Case& c : cases) EXPECT_EQ(CompareCellsAsText(c.A, c.B), c.Expected) << c.A << " ~ " << c.B;
}

TEST(ResultGridSort, CompareCellsAsNumbers)
{
    struct Case {
        const char* A;
        const char* B;
        const char* Qualifier;
        std::optional<int> Expected;
    };
    const Case cases[] = {
        {"", "", "", 0},
        {"", "abc", "", 1},  // the empty one is not read
        {"abc", "", "", -1},
        {"10", "9", "", 1},
        {"-1.5", "2", "", -1},
        {"1.5E20", "2E19", "", 1},
        {"+5", " 5 ", "", 0},
        {"0.10", ".1", "", 0},
        {"9007199254740993", "9007199254740992", "", 1},  // BIGINT beyond a double's digits
        {"INF", "1E300", "", 1},
        {"-INF", "-1E300", "", -1},
        {"NAN", "INF", "", 1},
        {"NAN", "NAN", "", 0},
        {"\"12.50\"", "\"9.00\"", "\"", 1},
        {"'3'", "4", "'", -1},
        {"\"\"", "1", "\"", 1},  // a wrapped NULL is empty
        {"\"12.50\"", "1", "", std::nullopt},  // wrapped in a qualifier the run did not use
        {"abc", "1", "", std::nullopt},
        {"1", "1,5", "", std::nullopt},
        {"0x10", "1", "", std::nullopt},
        {"\"x\"", "1", "\"", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompareCellsAsNumbers(c.A, c.B, c.Qualifier), c.Expected) << c.A << " ~ " << c.B;
}

// The grid's edge cases: column 1 of each matrix sorted; the row numbers show the order.
TEST(ResultGridSort, EdgeCasesOfOneColumn)
{
    struct Case {
        const char* Name;
        Matrix Rows;
        std::string Qualifier;
        bool Numeric;
        bool Ascending;
        int Result;
        std::vector<std::string> Expected;  // column 1 after the sort
    };
    const Matrix tenNineEmpty{{"10"}, {"9"}, {""}};
    const Case cases[] = {
        {"numbers ascending", tenNineEmpty, "", true, true, 0, {"9", "10", ""}},
        {"numbers descending", tenNineEmpty, "", true, false, 0, {"", "10", "9"}},
        {"text ascending", tenNineEmpty, "", false, true, 0, {"10", "9", ""}},
        {"text descending", tenNineEmpty, "", false, false, 0, {"", "9", "10"}},
        {"wrapped decimals", {{"\"12.50\""}, {"\"9.00\""}, {"\"\""}, {"\"-1\""}}, "\"", true, true, 0,
         {"\"-1\"", "\"9.00\"", "\"12.50\"", "\"\""}},
        {"GBK order", {{"张伟"}, {"李娜"}, {"Maria"}, {"王芳"}, {"陈静"}}, "", false, true, 0,
         {"Maria", "陈静", "李娜", "王芳", "张伟"}},
        {"a letter stops the sort", {{"3"}, {"abc"}, {"1"}}, "", true, true, -1, {"3", "abc", "1"}},
        {"a wrapped text stops it", {{"\"3\""}, {"\"x\""}, {"\"1\""}}, "\"", true, true, -1, {"\"3\"", "\"x\"", "\"1\""}},
        {"one row that is no number", {{"abc"}}, "", true, true, -1, {"abc"}},
    };
    for (const Case& c : cases) {
        ResultGridCells cells = Cells({"v"}, c.Rows, c.Qualifier);
        EXPECT_EQ(SortGridByColumn(cells, 1, c.Ascending, c.Numeric), c.Result) << c.Name;
        EXPECT_EQ(Column(cells, 1), c.Expected) << c.Name;
    }
}

TEST(ResultGridSort, EqualKeysEndWhereThePartitionStepsPutThem)
{
    // Pivot "a" (row 2): rows 1 and 4 swap, then rows 3 and 4 swap; a stable sort would give 2 4 1 3.
    ResultGridCells cells = Cells({"v"}, {{"b"}, {"a"}, {"b"}, {"a"}});
    ASSERT_EQ(SortGridByColumn(cells, 1, true, false), 0);
    EXPECT_EQ(RowNumbers(cells), (std::vector<std::string>{"4", "2", "1", "3"}));
    // Column 0 sorted as numbers restores the order as fetched, or reverses it.
    ASSERT_EQ(SortGridByColumn(cells, 0, false, true), 0);
    EXPECT_EQ(RowNumbers(cells), (std::vector<std::string>{"4", "3", "2", "1"}));
    ASSERT_EQ(SortGridByColumn(cells, 0, true, true), 0);
    EXPECT_EQ(RowNumbers(cells), (std::vector<std::string>{"1", "2", "3", "4"}));
}

TEST(ResultGridSort, AFailedSortKeepsTheOrderOfThePreviousSort)
{
    ResultGridCells cells = Cells({"n", "name"}, {{"2", "b"}, {"x", "c"}, {"1", "a"}});
    ASSERT_EQ(SortGridByColumn(cells, 2, false, false), 0);
    EXPECT_EQ(RowNumbers(cells), (std::vector<std::string>{"2", "1", "3"}));
    EXPECT_EQ(SortGridByColumn(cells, 1, true, true), -1);
    EXPECT_EQ(RowNumbers(cells), (std::vector<std::string>{"2", "1", "3"}));
}

// Random columns with many ties, checked against an order found independently: std::stable_sort
// over the same comparison gives the values' order, ties in any order among themselves (where a
// tie ends is pinned above). A numeric sort must stop when a cell that is not a number has another
// non-empty cell beside it: any comparison sort compares the neighbours of its result.
TEST(ResultGridSort, AgreesWithAStableSortOverTheComparisonOnManyTies)
{
    const std::vector<std::string> values{"", "1", "2", "10", "9", "-3", "2.0", "\"4\"", "a", "b", "张", "李"};
    const std::size_t numbers = 8; // the first ones: empty, or numbers with the qualifier "\""
    std::mt19937 random(7);
    int failedSorts = 0, unpredicted = 0;
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        const int n = 1 + static_cast<int>(random() % 40);
        const bool numeric = round % 2 == 0, ascending = round % 3 != 0;
        // Numeric rounds draw mostly numbers, so that most of them sort and some stop.
        const std::size_t pool = numeric && round % 4 == 0 ? values.size() : (numeric ? numbers : values.size());
        std::vector<std::string> column;
        for (int r = 0; r < n; ++r) column.push_back(values[random() % pool]);

        auto isNumber = [](const std::string& v) { return v.empty() || CompareCellsAsNumbers(v, v, "\"").has_value(); };
        const auto nonEmpty = std::count_if(column.begin(), column.end(), [](const std::string& v) { return !v.empty(); });
        const bool allNumbers = std::all_of(column.begin(), column.end(), isNumber);
        const bool mustStop = numeric && !allNumbers && nonEmpty >= 2;
        // Whether a lone non-number is compared with itself is the algorithm's own affair.
        const bool mayStop = numeric && !allNumbers && nonEmpty < 2;

        Matrix rows;
        for (const std::string& v : column) rows.push_back({v});
        ResultGridCells cells = Cells({"v"}, rows, "\"");
        const int result = SortGridByColumn(cells, 1, ascending, numeric);
        if (mayStop) {
            ++unpredicted;
            ASSERT_TRUE(result == 0 || result == -1);
        } else {
            ASSERT_EQ(result, mustStop ? -1 : 0);
        }
        failedSorts += result == -1;

        // Rows travel whole: each row number still names its own value, and each comes once.
        const std::vector<std::string> numbersNow = RowNumbers(cells), valuesNow = Column(cells, 1);
        std::vector<int> seen;
        for (std::size_t i = 0; i < numbersNow.size(); ++i) {
            const int fetched = std::stoi(numbersNow[i]);
            seen.push_back(fetched);
            ASSERT_EQ(valuesNow[i], column.at(static_cast<std::size_t>(fetched - 1)));
        }
        std::sort(seen.begin(), seen.end());
        for (int i = 0; i < n; ++i) ASSERT_EQ(seen[static_cast<std::size_t>(i)], i + 1);

        if (result == -1) {
            ASSERT_EQ(valuesNow, column) << "a stopped sort keeps the order it had";
            continue;
        }
        // The values in the order of a stable sort over the comparison; ties compare as 0.
        auto compare = [numeric](const std::string& a, const std::string& b) {
            return numeric ? CompareCellsAsNumbers(a, b, "\"").value() : CompareCellsAsText(a, b);
        };
        std::vector<std::string> expected = column;
        if (mayStop) {
            // A lone non-number among empty cells: before them ascending, after them descending.
            std::stable_partition(expected.begin(), expected.end(),
                                  [ascending](const std::string& v) { return v.empty() != ascending; });
        } else {
            std::stable_sort(expected.begin(), expected.end(), [&](const std::string& a, const std::string& b) {
                return compare(a, b) == (ascending ? -1 : 1);
            });
        }
        for (int i = 0; i < n; ++i) {
            const std::string& got = valuesNow[static_cast<std::size_t>(i)];
            const std::string& want = expected[static_cast<std::size_t>(i)];
            if (mayStop) {
                ASSERT_EQ(got, want) << "row " << i + 1;
            } else {
                ASSERT_EQ(compare(got, want), 0) << "row " << i + 1 << ": " << got << " where " << want << " belongs";
            }
        }
    }
    EXPECT_GT(failedSorts, 0) << "some rounds meet a cell that is not a number";
    EXPECT_LT(unpredicted, 40) << "most numeric rounds are predicted";
}

// The sort as a grid that swaps its rows' texts does it, recursively: where ties end up depends on
// the partition steps, so this is what a sort split over threads must still give.
void ReferenceQuickSort(Matrix& rows, int lo, int hi, int col, bool ascending, const std::function<int(const std::string&, const std::string&)>& compare)
{
    int i = lo, j = hi;
    const std::string p = rows[static_cast<std::size_t>((lo + hi) / 2)][static_cast<std::size_t>(col)];
    const int before = ascending ? -1 : 1;
    do {
        while (compare(rows[static_cast<std::size_t>(i)][static_cast<std::size_t>(col)], p) == before) ++i;
        while (compare(rows[static_cast<std::size_t>(j)][static_cast<std::size_t>(col)], p) == -before) --j;
        if (i <= j) {
            std::swap(rows[static_cast<std::size_t>(i)], rows[static_cast<std::size_t>(j)]);
            ++i;
            --j;
        }
    } while (i <= j);
    if (lo < j) ReferenceQuickSort(rows, lo, j, col, ascending, compare);
    if (i < hi) ReferenceQuickSort(rows, i, hi, col, ascending, compare);
}

// A grid large enough that its keys are read and its sides sorted on several threads ends in the
// order of the one-threaded recursive sort, ties included, for text and for numbers.
TEST(ResultGridSort, ALargeGridSortedOnManyThreadsPutsTiesWhereTheRecursiveSortDoes)
{
    constexpr int n = 200000;
    std::mt19937 random(11);
    const std::vector<std::string> texts{"b", "a", "张", "李", "", "ab", "10", "9", "-3", "2.50"};
    const std::vector<std::string> numbers{"10", "9", "-3", "2.50", "", "0", "7", "-12", "2.5", "100"};
    for (const bool numeric : {false, true}) {
        const std::vector<std::string>& words = numeric ? numbers : texts;
        // The reference compares through a table of the few values, read once.
        std::map<std::string, std::map<std::string, int>> order;
        for (const auto& a : words)
            for (const auto& b : words) order[a][b] = numeric ? *CompareCellsAsNumbers(a, b) : CompareCellsAsText(a, b);
        auto compare = [&order](const std::string& a, const std::string& b) { return order[a][b]; };
        Matrix rows;
        rows.reserve(n);
        for (int r = 0; r < n; ++r) rows.push_back({std::to_string(r + 1), words[random() % words.size()]});
        Matrix expected = rows;
        ReferenceQuickSort(expected, 0, n - 1, 1, true, compare);
        ASSERT_TRUE(std::is_sorted(expected.begin(), expected.end(),
                                   [&](const auto& a, const auto& b) { return compare(a[1], b[1]) < 0; }));

        Matrix values;
        for (const auto& r : rows) values.push_back({r[1]});
        ResultGridCells cells = Cells({"v"}, values);
        ASSERT_EQ(SortGridByColumn(cells, 1, true, numeric), 0);
        const std::vector<std::string> got = RowNumbers(cells);
        ASSERT_EQ(got.size(), expected.size());
        int differing = 0;
        for (std::size_t i = 0; i < got.size(); ++i) differing += got[i] != expected[i][0];
        EXPECT_EQ(differing, 0) << (numeric ? "numbers" : "text");
    }
}

TEST(ResultGridSort, HeaderClicksTurnTheDirection)
{
    TQryResult_Tesk r(3);
    EXPECT_TRUE(r.SortColumn.isEmpty());
    EXPECT_EQ(r.SortAscending, 1);
    struct Click {
        int Col;
        bool Ascending;
    };
    const Click clicks[] = {{3, true}, {3, false}, {2, true}, {2, false}, {2, true}, {3, true}};
    for (const Click& c : clicks) {
        EXPECT_EQ(ResultGridSort::HeaderClickAscending(r, c.Col), c.Ascending) << c.Col;
        EXPECT_EQ(r.SortColumn, QString::number(c.Col));
        EXPECT_EQ(r.SortAscending, c.Ascending ? 1 : 0);
    }
}

TEST(ResultGridCopyText, SelectedCellsJoinedByTabsAndLineEnds)
{
    const ResultGridCells cells =
        Cells({"id", "name", "city"}, {{"1", "a", "x"}, {"2", "b", "y"}, {"3", "c", "z"}, {"4", "d", ""}});
    struct Case {
        GridRect Selection;
        bool Header;
        std::string Expected;
    };
    const Case cases[] = {
        {{1, 3, 2, 4}, true, "id\tname\r\n3\tc\r\n4\td"},
        {{1, 3, 2, 4}, false, "3\tc\r\n4\td"},
        {{2, 2, 2, 2}, false, "b"},
        {{2, 2, 2, 2}, true, "name\r\nb"},
        {{0, 1, 1, 2}, true, "\tid\r\n1\t1\r\n2\t2"},
        {{3, 4, 3, 4}, false, ""},
        {{1, 1, 3, 4}, false, "1\ta\tx\r\n2\tb\ty\r\n3\tc\tz\r\n4\td\t"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResultGridCopyText(cells, c.Selection, c.Header), c.Expected)
            << c.Selection.Left << "," << c.Selection.Top << "-" << c.Selection.Right << "," << c.Selection.Bottom;
}

TEST(ResultGridCopyText, FollowsTheSortedRows)
{
    ResultGridCells cells = Cells({"v"}, {{"b"}, {"c"}, {"a"}});
    ASSERT_EQ(SortGridByColumn(cells, 1, true, false), 0);
    EXPECT_EQ(ResultGridCopyText(cells, {0, 1, 1, 3}, false), "3\ta\r\n1\tb\r\n2\tc");
}

TEST(ResultExportFile, NamesCompletedByTheFilter)
{
    struct Case {
        const char* Chosen;
        int Filter;
        const char* Expected;
    };
    using namespace ResultExportFile;
    const Case cases[] = {
        {"/d/results", CsvFilter, "/d/results.csv"},  {"/d/results.CSV", CsvFilter, "/d/results.CSV"},
        {"/d/results.txt", CsvFilter, "/d/results.txt.csv"}, {"/d/r", TxtFilter, "/d/r.txt"},
        {"/d/r.TxT", TxtFilter, "/d/r.TxT"},          {"/d/r.csv", TxtFilter, "/d/r.csv.txt"},
        {"/d/r", AllFilter, "/d/r"},                  {"/d/r.dat", AllFilter, "/d/r.dat"},
    };
    for (const Case& c : cases) EXPECT_EQ(CompleteName(c.Chosen, c.Filter), c.Expected) << c.Chosen;
    EXPECT_TRUE(IsCsvName("/d/a.CSV"));
    EXPECT_FALSE(IsCsvName("/d/a.txt"));
    EXPECT_FALSE(IsCsvName("/d/csv"));
}

TEST(ResultExportFile, LinesOfTheGrid)
{
    struct Case {
        const char* Name;
        std::vector<std::string> Names;
        Matrix Rows;
        bool Header;
        std::string Expected;
    };
    const Case cases[] = {
        {"three columns, header on", {"a", "b"}, {{"1", "x"}, {"2", ""}}, true, "a,b\r\n1,x\r\n2,\r\n"},
        {"header off", {"a", "b"}, {{"1", "x"}, {"2", ""}}, false, "1,x\r\n2,\r\n"},
        {"one result column", {"a"}, {{"1"}, {"2"}}, true, "a\r\n1\r\n2\r\n"},
        {"a comma makes a field", {"a", "b"}, {{"1,5", "x"}}, false, "1,5,x\r\n"},
        {"empty result, header on", {"a", "b"}, {}, true, "a,b\r\n"},
        {"empty result, header off", {"a", "b"}, {}, false, ""},
        {"CJK", {"名称"}, {{"\"张伟\""}}, true, "名称\r\n\"张伟\"\r\n"},
        {"qualifier doubled inside a wrapped value", {"q"}, {{"\"say \"hi\"\""}, {"\"\""}, {"\"\"\"\""}}, false,
         "\"say \"\"hi\"\"\"\r\n\"\"\r\n\"\"\"\"\"\"\r\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(ResultExportFile::Text(Cells(c.Names, c.Rows, "\""), c.Header), c.Expected) << c.Name;
    // Without a qualifier nothing is doubled.
    EXPECT_EQ(ResultExportFile::Text(Cells({"q"}, {{"\"a\"b\""}}), false), "\"a\"b\"\r\n");
}

TEST(ResultExportFile, ANameThatWouldBreakTheHeaderLineIsQualified)
{
    struct Case {
        const char* Qualifier;
        std::string Name;
        std::string Header;
    };
    const Case cases[] = {
        {"\"", "com,ma", "\"com,ma\""},
        {"\"", "two\nlines", "\"two\nlines\""},
        {"\"", "cr\rlf", "\"cr\rlf\""},
        {"\"", "say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"", "it's", "it's"},
        {"'", "it's", "'it''s'"},
        {"'", "a\"b", "a\"b"},
        {"\"", "名称", "名称"},
        {"\"", "plain name", "plain name"},
        {"", "com,ma", "com,ma"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ResultExportFile::Text(Cells({"id", c.Name}, {}, c.Qualifier), true), "id," + c.Header + "\r\n") << c.Name;
}

TEST(ResultExportFile, WritesTheSortedGridAndReplacesAFileWhole)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.path() + "/out.csv";
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(std::string(10000, 'o').c_str());
    }
    ResultGridCells cells = Cells({"id", "name"}, {{"2", "b"}, {"1", "a"}});
    ASSERT_EQ(SortGridByColumn(cells, 1, true, true), 0);
    EXPECT_EQ(ResultExportFile::Write(path, cells, true), "");
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("id,name\r\n1,a\r\n2,b\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.csv"}) << "no file left aside";
}

TEST(ResultExportFile, ADiskThatTakesOnlyPartOfTheExportKeepsTheOldFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.path() + "/out.csv";
    const QByteArray old("the user's old file\r\n");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    // Small grids and large ones: the last piece of a large one is small as well.
    for (const int rows : {3, 100000}) {
        SCOPED_TRACE(rows);
        Matrix matrix;
        for (int i = 0; i < rows; ++i) matrix.push_back({std::to_string(i), "name " + std::to_string(i)});
        const ResultGridCells cells = Cells({"id", "name"}, matrix);
        QString error;
        {
            const FileSizeLimit limit(16);
            ASSERT_TRUE(limit.Active());
            error = ResultExportFile::Write(path, cells, true);
        }
        EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(EFBIG)));
        QFile kept(path);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"out.csv"}) << "no file left aside";
    }
}

} // namespace
