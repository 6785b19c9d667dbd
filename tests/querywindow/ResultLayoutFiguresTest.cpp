#include "QueryWindowGeometry.h"
#include "ResultGridGeometry.h"

#include <gtest/gtest.h>

namespace {

struct DataWidthCase {
    int DisplayWidth;
    QString Name;
    int Width;
};

TEST(ResultGridGeometry, DataColumnWidthFollowsDisplayWidthCapsAndName)
{
    const DataWidthCase cases[] = {
        {4, "id", 81},
        {8, "d", 161},
        {15, "c", 301},
        {16, "c", 193},
        {22, "c", 193},
        {23, "c", 199},
        {4000, "c", 199},
        {0, "", 1},
        // 30 characters: 217.5 truncated plus one.
        {4, QString(30, QLatin1Char('n')), 218},
        // A wide character counts two display columns: 20 x 2 x 7.25 = 290.
        {4, QString(20, QChar(0x540D)), 291},
        {4, QStringLiteral("名称"), 81},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResultGridGeometry::DataColumnWidth(c.DisplayWidth, c.Name), c.Width)
            << "display width " << c.DisplayWidth << ", name " << c.Name.toStdString();
}

TEST(ResultGridGeometry, RowNumberColumnWidthByDigitsOfTheDataRowCount)
{
    // Grid row counts include the names' row.
    const std::pair<int, int> cases[] = {
        {2, 30}, {10, 30}, {1000, 30}, {1001, 30}, {10000, 30}, {10001, 37}, {100000, 37}, {100001, 44},
    };
    for (auto [rows, width] : cases)
        EXPECT_EQ(ResultGridGeometry::RowNumberColumnWidth(rows), width) << rows << " grid rows";
}

TEST(QueryWindowGeometry, StatusBarPanelsShareTheClientWidth)
{
    EXPECT_EQ(QueryWindowGeometry::StatusBar1PanelWidths(900), (std::array<int, 5>{200, 200, 168, 168, 164}));
    EXPECT_EQ(QueryWindowGeometry::StatusBar2PanelWidths(900), (std::array<int, 3>{300, 300, 300}));
    EXPECT_EQ(QueryWindowGeometry::StatusBar1PanelWidths(1001), (std::array<int, 5>{222, 222, 187, 187, 183}));
    EXPECT_EQ(QueryWindowGeometry::StatusBar2PanelWidths(1001), (std::array<int, 3>{333, 333, 335}));
}

TEST(QueryWindowGeometry, PanelsWidenForTheirTextsAndTheLastTakesTheRest)
{
    struct Case {
        const char* what;
        std::vector<int> designed, needed;
        int bar;
        std::vector<int> shown;
    };
    const Case cases[] = {
        {"texts fit their shares", {200, 200, 168, 168, 164}, {90, 70, 80, 60, 50}, 900, {200, 200, 168, 168, 164}},
        {"wider texts take from the last", {124, 124, 105, 105, 102}, {230, 130, 0, 100, 60}, 560,
         {230, 130, 105, 105, 0}},
        {"the last text never widens", {300, 300, 300}, {10, 10, 900}, 900, {300, 300, 300}},
        {"no panels", {}, {}, 900, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(QueryWindowGeometry::ShownPanelWidths(c.designed, c.needed, c.bar), c.shown) << c.what;
}

TEST(QueryWindowGeometry, WindowsCascadeInsideTheAreaAndStartOverAtItsCorner)
{
    struct Case {
        int index;
        QSize window, area;
        QPoint at;
    };
    const Case cases[] = {
        {0, {760, 540}, {1660, 950}, {0, 0}},
        {1, {760, 540}, {1660, 950}, {24, 24}},
        {17, {760, 540}, {1660, 950}, {408, 408}},
        // 410 pixels of height to spare hold 18 places, 0 to 17: the 18th starts over.
        {18, {760, 540}, {1660, 950}, {0, 0}},
        {19, {760, 540}, {1660, 950}, {24, 24}},
        // No room to spare in one direction: every window at the corner.
        {3, {760, 540}, {760, 900}, {0, 0}},
        {3, {640, 420}, {640, 420}, {0, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QueryWindowGeometry::CascadePosition(c.index, c.window, c.area, 24), c.at)
            << c.index << " in " << c.area.width() << "x" << c.area.height();
}

TEST(QueryWindowGeometry, EditorHeights)
{
    EXPECT_EQ(QueryWindowGeometry::EditorHeightWithResults(400), 149);
    EXPECT_EQ(QueryWindowGeometry::EditorHeightWithResults(600), 224);
    EXPECT_EQ(QueryWindowGeometry::EditorHeightAtRunStart(400), 150);
    EXPECT_EQ(QueryWindowGeometry::EditorHeightAtRunStart(401), 150);
}

} // namespace
