#include "ResultGridModel.h"
#include "ResultRowsFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::unique_ptr<ResultRowStore> Store(const std::vector<std::string>& names,
                                      const std::vector<std::vector<std::string>>& rows)
{
    return MakeRowStore(names, rows);
}

TEST(ResultGridModel, GridCoordinatesMapOntoHeaderRowNumbersAndFields)
{
    ResultGridModel m(Store({"id", "名称"}, {{"1", "abc"}, {"2", "x[@]y"}, {"3", ""}}), 3, false);
    EXPECT_EQ(m.GridRowCount(), 4);
    EXPECT_EQ(m.GridColCount(), 3);
    EXPECT_EQ(m.rowCount(), 3);
    EXPECT_EQ(m.Cell(0, 0), "");
    EXPECT_EQ(m.Cell(1, 0), "id");
    EXPECT_EQ(m.Cell(2, 0), "名称");
    EXPECT_EQ(m.headerData(2, Qt::Horizontal).toString(), "名称");
    for (int r = 1; r <= 3; ++r) EXPECT_EQ(m.Cell(0, r), QString::number(r));
    EXPECT_EQ(m.Cell(2, 1), "abc");
    // A value holding the field marker stays one cell; nothing moves to the next column.
    EXPECT_EQ(m.Cell(2, 2), "x[@]y");
    EXPECT_EQ(m.data(m.index(1, 2)).toString(), "x[@]y");
    EXPECT_EQ(m.Cell(2, 3), "");
    // Outside the grid every cell is empty.
    EXPECT_EQ(m.Cell(3, 1), "");
    EXPECT_EQ(m.Cell(1, 4), "");
    EXPECT_EQ(m.Cell(-1, 1), "");
}

TEST(ResultGridModel, EmptyResultShowsNamesOverOneEmptyRow)
{
    ResultGridModel m(Store({"a", "b"}, {}), 3, true);
    EXPECT_EQ(m.GridRowCount(), 2);
    EXPECT_EQ(m.Cell(1, 0), "a");
    for (int c = 0; c < 3; ++c) EXPECT_EQ(m.Cell(c, 1), "") << c;
}

} // namespace
