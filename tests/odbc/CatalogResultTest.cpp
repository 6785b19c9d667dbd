#include "CatalogResult.h"
#include "ODBCIntf.h"
#include "TestConnection.h"
#include "TestDsn.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Reads a query through the catalog engine, one vector of field texts per row.
Rows ReadQuery(SQLHDBC dbc, const std::string& sql, std::string& error)
{
    Rows rows;
    U_pub::ReadCatalogResult(
        dbc,
        [&](SQLHSTMT s) {
            return ODBCIntf::SQLExecDirect(s, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS);
        },
        [&](int column, int, const std::string& text) {
            if (column == 1) rows.emplace_back();
            rows.back().push_back(text);
            return true;
        },
        error);
    return rows;
}

template <typename T>
TColumnDescriptor Filled(SQLSMALLINT cType, const T& value, SQLULEN width = 10, SQLSMALLINT sqlType = 0)
{
    TColumnDescriptor d;
    d.CType = cType;
    d.SqlType = sqlType;
    d.ColumnSize = width;
    d.BufferLength = sizeof(T);
    d.DataBuffer = std::make_unique<char[]>(sizeof(T));
    std::memcpy(d.DataBuffer.get(), &value, sizeof(T));
    d.Indicator = sizeof(T);
    return d;
}

TEST(CatalogFormat, FieldTextsByCType)
{
    struct Case {
        TColumnDescriptor d;
        const char* text;
    };
    std::vector<Case> cases;
    cases.push_back({Filled<std::int32_t>(SQL_C_LONG, 42), "42"});
    cases.push_back({Filled<std::int32_t>(SQL_C_LONG, -7), "-7"});
    cases.push_back({Filled<std::int16_t>(SQL_C_SHORT, 10, 14), "10"});
    cases.push_back({Filled<double>(SQL_C_DOUBLE, 1.5, 15), "1.50000000000000E+000"});
    cases.push_back({Filled<double>(SQL_C_DOUBLE, -0.00025, 3), "-2.50E-004"});
    cases.push_back({Filled<float>(SQL_C_FLOAT, 2.0f, 7), "2.000000E+000"});
    cases.push_back({Filled(SQL_C_DATE, DATE_STRUCT{1999, 1, 2}), "1999-01-02"});
    cases.push_back({Filled(SQL_C_TIME, TIME_STRUCT{7, 5, 9}), "07:05:09"});
    cases.push_back({Filled(SQL_C_TIMESTAMP, TIMESTAMP_STRUCT{2003, 7, 5, 9, 8, 7, 123456789}),
                     "2003-07-05-09.08.07.123457"});
    cases.push_back({Filled(SQL_C_TIMESTAMP, TIMESTAMP_STRUCT{2003, 7, 5, 9, 8, 7, 0}), "2003-07-05-09.08.07.000000"});
    cases.push_back({Filled(SQL_C_TIMESTAMP, TIMESTAMP_STRUCT{2003, 7, 5, 9, 8, 7, 999999600}),
                     "2003-07-05-09.08.07.999999"});
    cases.push_back({Filled<signed char>(SQL_C_TINYINT, -3), "-3"});
    cases.push_back({Filled<signed char>(SQL_C_BIT, 1), "1"});
    cases.push_back({Filled<std::int64_t>(SQL_C_SBIGINT, -5, 19, SQL_BIGINT), "-5"});
    cases.push_back({Filled<std::int64_t>(SQL_C_SBIGINT, 9007199254740993LL, 19, SQL_BIGINT), "9007199254740993"});
    cases.push_back({Filled<std::int32_t>(SQL_C_BINARY, 7, 4, SQL_VARBINARY), "BLOB"});
    for (const Case& c : cases) EXPECT_EQ(U_pub::FormatCatalogField(c.d), c.text) << c.text;

    // NULL is empty for every kind of value but binary, which reads "BLOB" either way.
    for (Case& c : cases) {
        c.d.Indicator = SQL_NULL_DATA;
        EXPECT_EQ(U_pub::FormatCatalogField(c.d), c.d.CType == SQL_C_BINARY ? "BLOB" : "") << c.text;
    }
}

TEST(CatalogFormat, BindingsAndDisplayWidths)
{
    struct Case {
        SQLSMALLINT sqlType;
        SQLULEN driverSize;
        const char* name;
        SQLSMALLINT cType;
        SQLLEN bytes;
        SQLULEN width;
    };
    const Case cases[] = {
        {SQL_VARCHAR, 128, "TABLE_NAME", SQL_C_CHAR, 128 * 4 + 1, 70},   // buffer holds the whole name
        {SQL_SMALLINT, 5, "NUM_PREC_RADIX", SQL_C_SHORT, 2, 14},        // the name is wider than the value
        {SQL_VARCHAR, 254, "REQUIRED", SQL_C_CHAR, 254 * 4 + 1, 9},     // narrow column, whole buffer
        {SQL_INTEGER, 10, "ORDINAL", SQL_C_LONG, 4, 10},
        {SQL_BIGINT, 19, "N", SQL_C_SBIGINT, 8, 19},
        {SQL_TYPE_TIMESTAMP, 26, "TS", SQL_C_TIMESTAMP, sizeof(TIMESTAMP_STRUCT), 26},
        {SQL_TYPE_DATE, 10, "D", SQL_C_DATE, sizeof(DATE_STRUCT), 10},
        {SQL_TYPE_TIME, 8, "T", SQL_C_TIME, sizeof(TIME_STRUCT), 8},
        {SQL_NUMERIC, 12, "AMOUNT", SQL_C_CHAR, 16, 12},
        {SQL_GUID, 36, "G", SQL_C_BINARY, 37, 36},                       // unknown types read as binary
    };
    for (const Case& c : cases) {
        TColumnDescriptor d;
        d.SqlType = c.sqlType;
        d.DriverColumnSize = c.driverSize;
        d.Name = c.name;
        d.NameLength = static_cast<SQLSMALLINT>(std::strlen(c.name));
        d.ColumnSize = U_pub::CatalogDisplayWidth(d);
        EXPECT_EQ(d.ColumnSize, c.width) << c.name;
        U_pub::CatalogBinding b = U_pub::CatalogBindingFor(d);
        EXPECT_EQ(b.CType, c.cType) << c.name;
        EXPECT_EQ(b.Bytes, c.bytes) << c.name;
    }
}

TEST(CatalogFormat, TrimBlanks)
{
    EXPECT_EQ(U_pub::TrimBlanks("  a b  "), "a b");
    EXPECT_EQ(U_pub::TrimBlanks("   "), "");
    EXPECT_EQ(U_pub::TrimBlanks(""), "");
    EXPECT_EQ(U_pub::TrimBlanks("\ta\t"), "\ta\t");
}

class CatalogResultTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ODBCIntf::LoadODBC(nullptr)); }
    void TearDown() override { ODBCIntf::UnloadODBC(); }
};

TEST_F(CatalogResultTest, RealValuesOnPostgreSQL)
{
    TestConnection c(TestDsn::PgDsn());
    ASSERT_TRUE(c.Ok());
    std::string error = "stale";
    Rows rows = ReadQuery(c.dbc,
                          "select 42::int, -7::int, null::int, date '1999-01-02', time '07:05:09', "
                          "timestamp '2003-07-05 09:08:07.123457', -5::bigint, 9007199254740993::bigint, "
                          "'\\x0102'::bytea, null::bytea, repeat('é', 100)::varchar(128), 3::smallint, "
                          "(select count(*) from generate_series(1, 12)), 2.5::float8, 12.34::numeric(6,2)",
                          error);
    EXPECT_EQ(error, "");
    ASSERT_EQ(rows.size(), 1u);
    const std::vector<std::string> expected = {
        "42", "-7", "", "1999-01-02", "07:05:09", "2003-07-05-09.08.07.123457", "-5", "9007199254740993",
        "BLOB", "BLOB", std::string(100, ' '), "3", "12", "", "12.34"};
    ASSERT_EQ(rows[0].size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (i == 10) {
            std::string e;
            for (int k = 0; k < 100; ++k) e += "é";
            EXPECT_EQ(rows[0][i], e) << "long text is read whole";
        } else if (i == 13) {
            EXPECT_EQ(rows[0][i].substr(0, 4), "2.50") << rows[0][i];
            EXPECT_NE(rows[0][i].find("E+000"), std::string::npos) << rows[0][i];
        } else {
            EXPECT_EQ(rows[0][i], expected[i]) << "column " << i + 1;
        }
    }
}

TEST_F(CatalogResultTest, NullAfterAValueAndARequiredColumnOnSQLite)
{
    TestConnection c(TestDsn::SQLiteDsn());
    ASSERT_TRUE(c.Ok());
    c.Exec("drop table if exists cr_values");
    c.Exec("create table cr_values (n integer, s varchar(20), \"REQUIRED\" varchar(40), d date, ts timestamp)");
    c.Exec("insert into cr_values values (1, 'first', 'a value much longer than nine', '2024-02-29', "
           "'2003-07-05 09:08:07')");
    c.Exec("insert into cr_values values (null, null, null, null, null)");
    std::string error = "stale";
    Rows rows = ReadQuery(c.dbc, "select n, s, \"REQUIRED\", d, ts from cr_values order by rowid", error);
    EXPECT_EQ(error, "");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"1", "first", "a value much longer than nine", "2024-02-29",
                                                 "2003-07-05-09.08.07.000000"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"", "", "", "", ""}));
}

TEST_F(CatalogResultTest, FailuresAreReported)
{
    TestConnection c(TestDsn::SQLiteDsn());
    ASSERT_TRUE(c.Ok());
    std::string error;
    Rows rows = ReadQuery(c.dbc, "select * from cr_no_such_table", error);
    EXPECT_TRUE(rows.empty());
    EXPECT_NE(error.find("cr_no_such_table"), std::string::npos) << error;

    // A connection that never connected gives no statement; its own diagnostic says why.
    SQLHENV env;
    SQLHDBC dbc;
    ODBCIntf::SQLAllocEnv(&env);
    ODBCIntf::SQLAllocConnect(env, &dbc);
    error.clear();
    rows = ReadQuery(dbc, "select 1", error);
    EXPECT_TRUE(rows.empty());
    EXPECT_NE(error, "");
    ODBCIntf::SQLFreeConnect(dbc);
    ODBCIntf::SQLFreeEnv(env);
}

TEST_F(CatalogResultTest, FetchFailingAfterTheFirstRowKeepsTheRowsAndSaysWhy)
{
    struct Case {
        const char* dsn;
        const char* sql;
        Rows rows;
        const char* error;
    };
    TestDsn::PgDsn();
    for (const Case& k :
         {Case{TestDsn::SQLiteStep,
               "with recursive c(n) as (select 1 union all select n + 1 from c where n < 5) "
               "select case when n < 3 then n else abs(-9223372036854775807 - 1) end from c",
               {{"1"}, {"2"}}, "[SQLite]integer overflow (1)"},
          Case{TestDsn::PostgreSQLCursor, "select 10 / (3 - n) from generate_series(1, 5) n", {{"5"}, {"10"}},
               "ERROR: division by zero;\nError while fetching the next result"}}) {
        TestConnection c(k.dsn);
        ASSERT_TRUE(c.Ok());
        std::string error;
        Rows rows = ReadQuery(c.dbc, k.sql, error);
        EXPECT_EQ(rows, k.rows) << k.dsn;
        EXPECT_EQ(error, k.error) << k.dsn;
    }
}

} // namespace
