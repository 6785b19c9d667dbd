#include "BrowserNodeKind.h"
#include "BrowserPopupItems.h"

#include "BrowserTestPrinters.h"

#include <gtest/gtest.h>

namespace {

using K = BrowserNodeKind;

TEST(BrowserNodeKind, CategoriesStandInTheirOrderWithTheirCaptions)
{
    EXPECT_EQ(BrowserCategoryCaptions(), (QStringList{QString::fromUtf8("系统表"), QString::fromUtf8("用户表"),
                                                      QString::fromUtf8("视图"), QString::fromUtf8("别名"),
                                                      QString::fromUtf8("临时表"), QString::fromUtf8("存贮过程/函数")}));
    EXPECT_EQ(BrowserCaption::Columns, QString::fromUtf8("列"));
    EXPECT_EQ(BrowserCaption::Indexes, QString::fromUtf8("索引"));
    EXPECT_EQ(BrowserCaption::Parameters, QString::fromUtf8("参数"));
}

TEST(BrowserNodeKind, KindFollowsFromLevelAndParentCaption)
{
    struct Case {
        int level;
        const char* parent;
        K expected;
    };
    const Case cases[] = {
        {0, "", K::Connection},
        {1, "Demo(sa)", K::Category},
        // A category caption as a root's text changes nothing: level 1 is a category.
        {1, "用户表", K::Category},
        {2, "系统表", K::TableObject},
        {2, "用户表", K::TableObject},
        {2, "视图", K::TableObject},
        {2, "别名", K::TableObject},
        {2, "临时表", K::TableObject},
        {2, "存贮过程/函数", K::Procedure},
        {2, "列", K::Unknown},
        {2, "用户表 ", K::Unknown},
        {2, "", K::Unknown},
        {3, "dbo.t", K::DetailGroup},
        {4, "列", K::Column},
        {4, "索引", K::Index},
        {4, "参数", K::Parameter},
        {4, "用户表", K::Unknown},
        {4, "列 ", K::Unknown},
        {5, "PK_t", K::IndexColumn},
        {6, "列", K::Unknown},
        {-1, "", K::Unknown},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BrowserNodeKindOf(c.level, QString::fromUtf8(c.parent)), c.expected) << c.level << " " << c.parent;
}

TEST(BrowserNodeKind, PopupItemsFollowTheNodeKind)
{
    struct Case {
        K kind;
        BrowserPopupItems expected;  // copy, all rows, first 100, row count, procedure source
    };
    const Case cases[] = {
        {K::TableObject, {true, true, true, true, false}},
        {K::Procedure, {true, false, false, false, true}},
        {K::Column, {true, true, true, true, false}},
        {K::Parameter, {false, false, false, false, true}},
        {K::Index, {}},
        {K::Connection, {}},
        {K::Category, {}},
        {K::DetailGroup, {}},
        {K::IndexColumn, {}},
        {K::Unknown, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(PopupItemsOfNode(c.kind), c.expected) << static_cast<int>(c.kind);
}

} // namespace
