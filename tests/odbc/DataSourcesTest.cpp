#include "DataSources.h"
#include "ODBCIntf.h"
#include "TestConnection.h"
#include "TestDsn.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

class DataSourcesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ODBCIntf::LoadODBC(nullptr));
        ASSERT_EQ(ODBCIntf::SQLAllocEnv(&env), SQL_SUCCESS);
    }
    void TearDown() override
    {
        ODBCIntf::SQLFreeEnv(env);
        setenv("ODBCINI", TestDsn::DsnFile().c_str(), 1);
        ODBCIntf::UnloadODBC();
    }
    // Points the driver manager at a user DSN file holding the given names.
    static void UseDsnFile(const std::string& file, const std::vector<std::string>& names)
    {
        std::ofstream f(TestDsn::ScratchDir() + "/" + file, std::ios::trunc);
        for (const auto& n : names) f << "[" << n << "]\nDriver=SQLite3\nDatabase=/tmp/none.db\n\n";
        f.close();
        setenv("ODBCINI", (TestDsn::ScratchDir() + "/" + file).c_str(), 1);
    }
    SQLHENV env = SQL_NULL_HENV;
};

TEST_F(DataSourcesTest, NamesAreListedSortedAndWhole)
{
    const std::string fortyChars = "d234567890123456789012345678901234567890";
    UseDsnFile("sorted.ini", {"c", fortyChars, "b", "A"});
    StringList list{"Bb"};
    std::string error = "stale";
    EXPECT_TRUE(U_pub::ListDataSources(env, list, error));
    EXPECT_EQ(error, "");
    EXPECT_EQ(list, (StringList{"A", "b", "Bb", "c", fortyChars}));
}

TEST_F(DataSourcesTest, EmptyConfigurationGivesAnEmptyListAndNoError)
{
    UseDsnFile("empty.ini", {});
    StringList list;
    std::string error = "stale";
    EXPECT_TRUE(U_pub::ListDataSources(env, list, error));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(error, "");
}

TEST_F(DataSourcesTest, DbmsNameOfRealDriversAndOfAFailedCall)
{
    struct Case {
        const char* dsn;
        const char* name;
    };
    for (Case c : {Case{TestDsn::SQLiteDsn(), "SQLite"}, Case{TestDsn::PgDsn(), "PostgreSQL"}}) {
        TestConnection conn(c.dsn);
        ASSERT_TRUE(conn.Ok());
        std::string error = "stale", name;
        bool flag = false;
        U_pub::GetDBMSName(conn.dbc, error, flag, name);
        EXPECT_EQ(name, c.name);
        EXPECT_EQ(error, "");
        EXPECT_TRUE(flag);
    }
    // A connection handle that never connected cannot answer.
    SQLHDBC dbc = SQL_NULL_HDBC;
    ASSERT_EQ(ODBCIntf::SQLAllocConnect(env, &dbc), SQL_SUCCESS);
    std::string error, name = "stale";
    bool flag = false;
    U_pub::GetDBMSName(dbc, error, flag, name);
    EXPECT_EQ(name, "");
    EXPECT_NE(error, "");
    EXPECT_TRUE(flag);
    ODBCIntf::SQLFreeConnect(dbc);
}

TEST_F(DataSourcesTest, SupportedFunctionsOfARealDriver)
{
    TestConnection conn(TestDsn::SQLiteDsn());
    ASSERT_TRUE(conn.Ok());
    ODBCIntf::SupportedFunctionFlags flags;
    ODBCIntf::GetSupportedFunctions(conn.dbc, flags);
    EXPECT_TRUE(flags[ODBCIntf::ODBCFunctionIndex(SQL_API_SQLEXECDIRECT)]);
    EXPECT_TRUE(flags[ODBCIntf::ODBCFunctionIndex(SQL_API_SQLFETCH)]);
    EXPECT_TRUE(flags[ODBCIntf::ODBCFunctionIndex(SQL_API_SQLTABLES)]);
    EXPECT_FALSE(flags[0]);
    for (int i = 24; i <= 39; ++i) EXPECT_FALSE(flags[i]) << i;
}

} // namespace
