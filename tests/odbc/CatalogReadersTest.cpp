#include "CatalogReaders.h"
#include "ODBCIntf.h"
#include "TestConnection.h"
#include "TestDsn.h"

#include <gtest/gtest.h>
#include <gmock/gmock.h>

#include <algorithm>

namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using U_pub::TableListKind;

TEST(CatalogItems, TableTypesChooseTheirList)
{
    struct Case {
        const char* type;
        TableListKind kind;
    };
    for (Case c : {Case{"TABLE", TableListKind::Table}, Case{"table", TableListKind::Table},
                   Case{"VIEW", TableListKind::View}, Case{"SYSTEM TABLE", TableListKind::System},
                   Case{"SYSTEM VIEW", TableListKind::View}, Case{"ALIAS", TableListKind::Alias},
                   Case{"SYNONYM", TableListKind::Other}, Case{"GLOBAL TEMPORARY", TableListKind::Temporary},
                   Case{"LOCAL TEMPORARY", TableListKind::Temporary}, Case{"", TableListKind::Other},
                   Case{"MATERIALIZED VIEW", TableListKind::View}, Case{"FOREIGN TABLE", TableListKind::Other}})
        EXPECT_EQ(U_pub::ClassifyTableType(c.type), c.kind) << c.type;
}

TEST(CatalogItems, ColumnAndParameterDetails)
{
    using F = U_pub::ColumnTypeFields;
    struct Case {
        TDbmsKind kind;
        F f;
        const char* detail;
    };
    const Case cases[] = {
        {20, F{"decimal", "10", "12", "2", "0"}, "(decimal(10,2), Not Null)"},
        {20, F{"varchar", "30", "30", "", "1"}, "(varchar(30), Null)"},
        {20, F{"int", "10", "4", "0", "0"}, "(int, Not Null)"},
        {20, F{"int", "10", "4", "0", ""}, "(int, Null)"},
        {2, F{"nvarchar", "50", "100", "", "1"}, "(nvarchar(50), Null)"},
        {1, F{"nvarchar", "50", "100", "", "1"}, "(nvarchar(100), Null)"},
        {2, F{"nchar", "5", "", "", "1"}, "(nchar(), Null)"},  // no length to halve: left as it is
        {9, F{"alphanumeric", "8", "8", "", "1"}, "(alphanumeric(8), Null)"},
        {20, F{"alphanumeric", "8", "8", "0", "1"}, "(alphanumeric(8,0), Null)"},
        {20, F{"text", "0", "8190", "", "1"}, "(text, Null)"},
        {20, F{"BLOB", "0", "65536", "", "1"}, "(BLOB(65536), Null)"},
        // A type name that holds its size is shown as the driver gives it.
        {20, F{"varchar(40)", "40", "40", "", "1"}, "(varchar(40), Null)"},
        {20, F{"decimal(10,2)", "2", "12", "10", "0"}, "(decimal(10,2), Not Null)"},
        {20, F{"character varying", "30", "30", "", "1"}, "(character varying(30), Null)"},
    };
    for (const Case& c : cases) EXPECT_EQ(U_pub::TableColumnDetail(c.kind, c.f), c.detail) << c.detail;

    EXPECT_EQ(U_pub::ProcedureColumnDetail(F{"int", "10", "4", "0", "1"}), "int, Null");
    EXPECT_EQ(U_pub::ProcedureColumnDetail(F{"text", "0", "8190", "", "1"}), "text(8190), Null");
    const char* directions[] = {"", "IN", "INOUT", "RESULT_COL", "OUT", "RETURN_VALUE", ""};
    for (int t = 0; t <= 6; ++t) EXPECT_STREQ(U_pub::ProcedureColumnDirection(std::to_string(t)), directions[t]);
    EXPECT_EQ(U_pub::ObjectName("dbo", "t1"), "dbo.t1");
    EXPECT_EQ(U_pub::ObjectName("", "t1"), "t1");
}

class CatalogReadersTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ODBCIntf::LoadODBC(nullptr)); }
    void TearDown() override { ODBCIntf::UnloadODBC(); }

    struct Tables {
        StringList system, tables, views, aliases, others, temporary;
        std::string error = "stale";
    };
    static Tables ReadTables(SQLHDBC dbc)
    {
        Tables t;
        EXPECT_TRUE(U_pub::ListTables(dbc, t.system, t.tables, t.views, t.aliases, t.others, t.temporary, t.error));
        return t;
    }
    static bool IsSorted(const StringList& l)
    {
        StringList copy = l;
        SortStringList(copy);
        return copy == l;
    }
};

TEST_F(CatalogReadersTest, SQLiteFixtureSchema)
{
    TestConnection c(TestDsn::SQLiteDsn());
    ASSERT_TRUE(c.Ok());
    for (const char* sql : {"drop view if exists v_orders", "drop table if exists orders", "drop table if exists Alpha",
                            "create table orders (id integer primary key, name varchar(30) not null, "
                            "price decimal(10,2))",
                            "create index ix_orders_name on orders (name desc)", "create table Alpha (a text)",
                            "create view v_orders as select id, name from orders"})
        c.Exec(sql);

    Tables t = ReadTables(c.dbc);
    EXPECT_EQ(t.error, "");
    EXPECT_THAT(t.tables, Contains("orders"));
    EXPECT_THAT(t.tables, Contains("Alpha"));
    EXPECT_LT(std::find(t.tables.begin(), t.tables.end(), "Alpha") - t.tables.begin(),
              std::find(t.tables.begin(), t.tables.end(), "orders") - t.tables.begin());
    EXPECT_THAT(t.views, ElementsAre("v_orders"));

    StringList columns;
    std::string error = "stale";
    U_pub::ListTableColumns(DbmsKind::Other, c.dbc, columns, error);
    EXPECT_EQ(error, "");
    // This driver's type names carry their own size: shown once, as the driver gives it.
    EXPECT_THAT(columns, Contains("orders||id (INTEGER, Null)"));
    EXPECT_THAT(columns, Contains("orders||name (varchar(30), Not Null)"));
    EXPECT_THAT(columns, Contains("orders||price (decimal(10,2), Null)"));
    EXPECT_THAT(columns, Contains("Alpha||a (TEXT, Null)"));

    StringList indexes;
    U_pub::ListIndexColumns(c.dbc, "", "", "orders", indexes, error);
    EXPECT_EQ(error, "");
    // This driver reports every index column as ascending.
    EXPECT_THAT(indexes, ElementsAre("sqlite_autoindex_0||1  id, ASC", "ix_orders_name||1  name, ASC"));

    StringList keys;
    U_pub::ListPrimaryKeyColumns(c.dbc, "", "", "orders", keys, error);
    EXPECT_EQ(error, "");
    EXPECT_THAT(keys, ElementsAre("id"));
}

TEST_F(CatalogReadersTest, PostgreSQLFixtureSchema)
{
    TestConnection c(TestDsn::PgDsn());
    ASSERT_TRUE(c.Ok());
    for (const char* sql :
         {"drop schema if exists shop cascade", "create schema shop",
          "create table shop.orders (id integer primary key, code char(4), name varchar(30) not null, "
          "price numeric(10,2), note text)",
          "create index ix_orders_name on shop.orders (name desc, code)",
          "create view shop.v_orders as select id, name from shop.orders",
          "create function shop.add_one(x integer) returns integer language sql as 'select x + 1'"})
        c.Exec(sql);

    Tables t = ReadTables(c.dbc);
    EXPECT_EQ(t.error, "");
    EXPECT_THAT(t.tables, Contains("shop.orders"));
    EXPECT_THAT(t.views, Contains("shop.v_orders"));
    for (const StringList* l : {&t.system, &t.tables, &t.views, &t.aliases, &t.others, &t.temporary})
        EXPECT_TRUE(IsSorted(*l));

    StringList columns;
    std::string error = "stale";
    U_pub::ListTableColumns(DbmsKind::Other, c.dbc, columns, error);
    EXPECT_EQ(error, "");
    StringList shop;
    std::copy_if(columns.begin(), columns.end(), std::back_inserter(shop),
                 [](const std::string& s) { return s.rfind("shop.orders||", 0) == 0; });
    // The length is the driver's buffer length: four bytes a character in UTF-8.
    EXPECT_THAT(shop, ElementsAre("shop.orders||id (int4, Not Null)", "shop.orders||code (bpchar(16), Null)",
                                  "shop.orders||name (varchar(120), Not Null)",
                                  "shop.orders||price (numeric(10,2), Null)", "shop.orders||note (text, Null)"));

    StringList procedures;
    U_pub::ListProcedures(c.dbc, procedures, error);
    EXPECT_EQ(error, "");
    EXPECT_THAT(procedures, Contains("shop.add_one"));
    EXPECT_TRUE(IsSorted(procedures));

    StringList parameters;
    U_pub::ListProcedureColumns(c.dbc, parameters, error);
    EXPECT_EQ(error, "");
    EXPECT_THAT(parameters, Contains("shop.add_one||1 x (IN int4, Null)")) << ::testing::PrintToString(parameters);

    StringList indexes;
    U_pub::ListIndexColumns(c.dbc, "", "shop", "orders", indexes, error);
    EXPECT_EQ(error, "");
    EXPECT_THAT(indexes, Contains("ix_orders_name||1  name, DEC"));
    EXPECT_THAT(indexes, Contains("ix_orders_name||2  code, ASC"));
    EXPECT_THAT(indexes, Contains("orders_pkey||1  id, ASC"));

    StringList keys;
    U_pub::ListPrimaryKeyColumns(c.dbc, "", "shop", "orders", keys, error);
    EXPECT_EQ(error, "");
    EXPECT_THAT(keys, ElementsAre("id"));
}

} // namespace
