#include "CatalogItem.h"

#include "BrowserTestPrinters.h"

#include <gtest/gtest.h>

namespace {

TEST(CatalogItem, ObjectTextSplitsIntoCatalogSchemaAndTable)
{
    struct Case {
        const char* text;
        ObjectLocation expected;
    };
    const Case cases[] = {
        {"A.B.C", {"A", "B", "C"}},
        {"A.B", {"", "A", "B"}},
        {"A", {"", "", "A"}},
        {"A.B.C.D", {"A", "B", "C.D"}},
        {".T", {"", "", "T"}},
        {"S.", {"", "S", ""}},
        {"", {"", "", ""}},
        {"模式.表", {"", "模式", "表"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitObjectItem(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(CatalogItem, FirstDotSeparatesSchemaFromName)
{
    struct Case {
        const char* text;
        SchemaAndName expected;
    };
    const Case cases[] = {
        {"dbo.p;1", {"dbo", "p;1"}},
        {"p", {"", "p"}},
        {"a.b.c", {"a", "b.c"}},
        {".p", {"", "p"}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitAtFirstDot(QString::fromUtf8(c.text)), c.expected) << c.text;
}

TEST(CatalogItem, DetailItemSplitsAtItsFirstSeparator)
{
    struct Case {
        const char* item;
        std::optional<DetailItem> expected;
    };
    const Case cases[] = {
        {"dbo.orders||price (decimal(10,2), Not Null)", DetailItem{"dbo.orders", "price (decimal(10,2), Not Null)"}},
        {"dbo.p||1 x (IN int, Null)", DetailItem{"dbo.p", "1 x (IN int, Null)"}},
        {"PK_orders||1  id, ASC", DetailItem{"PK_orders", "1  id, ASC"}},
        {"t||a||b (int, Null)", DetailItem{"t", "a||b (int, Null)"}},
        {"||x", DetailItem{"", "x"}},
        {"t||", DetailItem{"t", ""}},
        {"t|x", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitDetailItem(QString::fromUtf8(c.item)), c.expected) << c.item;
}

TEST(CatalogItem, DetailsBelongToTheObjectWhoseTextMatchesExactly)
{
    const QStringList items = {
        "dbo.t||b (int, Null)",  "dbo.t2||x (int, Null)", "DBO.T||y (int, Null)",
        "dbo.t||a (int, Null)",  "dbo||z (int, Null)",    "dbo.t ||w (int, Null)",
        "no separator",          "dbo.t||c||d (int, Null)",
    };
    EXPECT_EQ(DetailsOfObject(items, "dbo.t"),
              (QStringList{"b (int, Null)", "a (int, Null)", "c||d (int, Null)"}));
    EXPECT_EQ(DetailsOfObject(items, "dbo.t2"), QStringList{"x (int, Null)"});
    EXPECT_TRUE(DetailsOfObject(items, "other").isEmpty());
    EXPECT_TRUE(DetailsOfObject({}, "dbo.t").isEmpty());
}

TEST(CatalogItem, IndexColumnsGroupWhileTheirIndexNameRepeats)
{
    EXPECT_EQ(GroupIndexItems({"X||1", "X||2", "Y||1", "X||3"}),
              (QList<IndexNodeTexts>{{"X", {"1", "2"}}, {"Y", {"1"}}, {"X", {"3"}}}));
    EXPECT_EQ(GroupIndexItems({"PK_orders||1  id, ASC", "ix_d||1  d, DEC", "ix_d||2  id, ASC"}),
              (QList<IndexNodeTexts>{{"PK_orders", {"1  id, ASC"}}, {"ix_d", {"1  d, DEC", "2  id, ASC"}}}));
    EXPECT_TRUE(GroupIndexItems({}).isEmpty());
    // Index names compare exactly: a change of case starts another node.
    EXPECT_EQ(GroupIndexItems({"ix||1", "IX||2"}), (QList<IndexNodeTexts>{{"ix", {"1"}}, {"IX", {"2"}}}));
}

TEST(CatalogItem, ColumnNameIsTheTextBeforeTheLastOpeningParenthesis)
{
    struct Case {
        const char* text;
        const char* name;
    };
    const Case cases[] = {
        {"id (int, Not Null)", "id"},
        {"price (decimal(10,2), Not Null)", "price"},
        {"ORDER DATE (CHAR(10), Null)", "ORDER DATE"},
        {"a (b (int, Null)", "a (b"},
        {"name (character varying(30), Null)", "name"},
        {"列名 (varchar(30), Null)", "列名"},
        {"plain", ""},
        {"x(int)", ""},
        {" (int, Null)", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ColumnNameOfNode(QString::fromUtf8(c.text)), QString::fromUtf8(c.name)) << c.text;
}

} // namespace
