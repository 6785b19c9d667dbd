// The order of the data-source and catalog lists: the GBK order, Chinese names by pinyin for the
// common characters, ASCII letters without regard to case.
#include "CatalogReaders.h"
#include "DataSources.h"
#include "ODBCIntf.h"
#include "StringList.h"
#include "TestConnection.h"
#include "TestDsn.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

TEST(ListSorting, GbkOrderWithAsciiLettersIgnoringCase)
{
    struct Case {
        const char* what;
        StringList given, sorted;
    };
    const Case cases[] = {
        // 安 (an) < 北 (bei) < 张 (zhang), though their code points run 北 < 安 < 张.
        {"pinyin", {"张三", "北京", "安徽"}, {"安徽", "北京", "张三"}},
        {"ascii case", {"c", "B", "a", "Bb", "A"}, {"a", "A", "B", "Bb", "c"}},
        {"ascii before chinese", {"订单", "orders", "_tmp", "9x", "Z"}, {"9x", "_tmp", "orders", "Z", "订单"}},
        {"schema prefixes", {"Shop.客户", "shop.订单", "public.t"}, {"public.t", "shop.订单", "Shop.客户"}},
        // Letters are folded in the name, never in the bytes: 丄 is 81 41 ("A") in GBK, 乕 81 5B.
        {"second bytes", {"乕", "丄", "乙B", "乙a"}, {"丄", "乕", "乙a", "乙B"}},
        {"stable duplicates", {"x", "X", "x"}, {"x", "X", "x"}},
    };
    for (const Case& c : cases) {
        StringList list = c.given;
        SortStringList(list);
        EXPECT_EQ(list, c.sorted) << c.what;
    }
}

TEST(ListSorting, DataSourcesAndTablesOfRealDrivers)
{
    ASSERT_TRUE(ODBCIntf::LoadODBC(nullptr));
    const std::string dsnFile = TestDsn::ScratchDir() + "/sorting.ini";
    const std::string database = TestDsn::ScratchDir() + "/sorting.db";
    {
        std::ofstream f(dsnFile, std::ios::trunc);
        for (const char* name : {"张家口", "北京", "Beta", "安庆", "alpha"})
            f << "[" << name << "]\nDriver=SQLite3\nDatabase=" << database << "\n\n";
    }
    setenv("ODBCINI", dsnFile.c_str(), 1);
    SQLHENV env = SQL_NULL_HENV;
    ASSERT_EQ(ODBCIntf::SQLAllocEnv(&env), SQL_SUCCESS);
    StringList sources;
    std::string error;
    U_pub::ListDataSources(env, sources, error);
    EXPECT_EQ(error, "");
    EXPECT_EQ(sources, (StringList{"alpha", "Beta", "安庆", "北京", "张家口"}));
    ODBCIntf::SQLFreeEnv(env);

    {
        TestConnection db("安庆");
        ASSERT_TRUE(db.Ok());
        for (const char* name : {"\"张表\"", "\"北表\"", "Bt", "\"安表\"", "at"})
            ASSERT_TRUE(db.Exec(std::string("CREATE TABLE ") + name + " (a INTEGER)"));
        StringList system, tables, views, aliases, others, temporary;
        U_pub::ListTables(db.dbc, system, tables, views, aliases, others, temporary, error);
        EXPECT_EQ(error, "");
        EXPECT_EQ(tables, (StringList{"at", "Bt", "安表", "北表", "张表"}));
    }
    setenv("ODBCINI", TestDsn::DsnFile().c_str(), 1);
    ODBCIntf::UnloadODBC();
}

} // namespace
