#include "ODBCIntf.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

class BindingTest : public ::testing::Test {
protected:
    void TearDown() override { ODBCIntf::UnloadODBC(); }
};

TEST_F(BindingTest, DefaultNameLoadsTheDriverManager)
{
    for (const char* name : {static_cast<const char*>(nullptr), ""}) {
        ASSERT_TRUE(ODBCIntf::LoadODBC(name));
        EXPECT_NE(ODBCIntf::ODBCEntryTable(0), nullptr);
        EXPECT_EQ(ODBCIntf::ODBCFunctionIndex(SQL_API_SQLEXECDIRECT), 11);
        EXPECT_EQ(ODBCIntf::ODBCFunctionIndex(SQL_API_SQLGETFUNCTIONS), 44);
        EXPECT_EQ(ODBCIntf::ODBCFunctionIndex(SQL_API_SQLBINDPARAMETER), 72);
        EXPECT_EQ(ODBCIntf::ODBCFunctionIndex(SQL_API_SQLSETCONNECTATTR), 74);
        EXPECT_EQ(ODBCIntf::ODBCFunctionIndex(SQL_API_SQLSETENVATTR), 75);
        // No driver manager exports the non-standard name of slot 57, and index 0, 24 to 39 stay empty.
        EXPECT_EQ(ODBCIntf::ODBCEntryTable(57), nullptr);
        EXPECT_FALSE(ODBCIntf::ODBCFunctionPresent(73));
        EXPECT_FALSE(ODBCIntf::ODBCFunctionPresent(0));
        for (int i = 24; i <= 39; ++i) EXPECT_FALSE(ODBCIntf::ODBCFunctionPresent(i)) << i;
        // The index takes its entry points from the table's slots: 1 to 23 alike, then slot + 16.
        struct Index {
            int index, slot;
            std::uint16_t id;
        };
        for (Index i : {Index{1, 1, 1}, Index{23, 23, 23}, Index{40, 24, 40}, Index{44, 28, 44}, Index{72, 56, 72},
                        Index{74, 58, 1016}, Index{75, 59, 1019}}) {
            EXPECT_NE(ODBCIntf::ODBCEntryTable(i.slot), nullptr) << i.slot;
            EXPECT_EQ(ODBCIntf::ODBCFunctionEntries(i.index), ODBCIntf::ODBCEntryTable(i.slot)) << i.index;
            EXPECT_EQ(ODBCIntf::ODBCFunctionIds(i.index), i.id) << i.index;
        }
    }
}

TEST_F(BindingTest, UnloadableLibraryFailsAndLeavesNothingLoaded)
{
    ASSERT_TRUE(ODBCIntf::LoadODBC(nullptr));
    EXPECT_FALSE(ODBCIntf::LoadODBC("libno-such-odbc.so"));
    EXPECT_FALSE(ODBCIntf::IsLoaded());
    EXPECT_FALSE(ODBCIntf::LoadODBC(TV_EMPTY_ODBC)); // loads, but exports none of the names
    EXPECT_FALSE(ODBCIntf::IsLoaded());
    EXPECT_EQ(ODBCIntf::ODBCEntryTable(0), nullptr);
}

TEST_F(BindingTest, MissingEntryPointReturnsMinusOneAndNamesTheFunction)
{
    ASSERT_TRUE(ODBCIntf::LoadODBC(TV_PARTIAL_ODBC));
    SQLHENV env = SQL_NULL_HENV;
    EXPECT_EQ(ODBCIntf::SQLAllocEnv(&env), SQL_SUCCESS);
    EXPECT_EQ(ODBCIntf::LastCallStatus(), 0);
    EXPECT_EQ(ODBCIntf::LastCallName(), "SQLAllocEnv");

    EXPECT_EQ(ODBCIntf::SQLExecDirect(SQL_NULL_HSTMT, nullptr, 0), -1);
    EXPECT_EQ(ODBCIntf::LastCallStatus(), -1);
    EXPECT_EQ(ODBCIntf::LastCallName(), "SQLExecDirect");

    EXPECT_EQ(ODBCIntf::ODBCFunctionIndex(SQL_API_SQLEXECDIRECT), 0);
    EXPECT_EQ(ODBCIntf::ODBCFunctionIndex(SQL_API_SQLSETCONNECTATTR), 74);
    EXPECT_EQ(ODBCIntf::ODBCFunctionIndex(SQL_API_SQLSETENVATTR), 75);
    EXPECT_TRUE(ODBCIntf::ODBCFunctionPresent(2));
    EXPECT_EQ(ODBCIntf::ODBCFunctionIds(11), 0);

    // Without SQLGetFunctions no function counts as supported.
    ODBCIntf::SupportedFunctionFlags flags;
    flags.fill(true);
    ODBCIntf::GetSupportedFunctions(SQL_NULL_HDBC, flags);
    for (bool f : flags) EXPECT_FALSE(f);
}

TEST_F(BindingTest, EveryWrapperFailsAfterUnload)
{
    ASSERT_TRUE(ODBCIntf::LoadODBC(nullptr));
    ODBCIntf::UnloadODBC();
    SQLHENV env = SQL_NULL_HENV;
    struct Case {
        const char* name;
        SQLRETURN rc;
    };
    const Case cases[] = {
        {"SQLAllocEnv", ODBCIntf::SQLAllocEnv(&env)},
        {"SQLFetch", ODBCIntf::SQLFetch(SQL_NULL_HSTMT)},
        {"SQLCancel", ODBCIntf::SQLCancel(SQL_NULL_HSTMT)},
        {"SQLSetEnvAttr", ODBCIntf::SQLSetEnvAttr(SQL_NULL_HENV, SQL_ATTR_ODBC_VERSION, 3, 0)},
        {"SQLTables", ODBCIntf::SQLTables(SQL_NULL_HSTMT, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0)},
    };
    // Each case ran in order, so only the last one's name is current.
    for (const Case& c : cases) EXPECT_EQ(c.rc, -1) << c.name;
    EXPECT_EQ(ODBCIntf::LastCallStatus(), -1);
    EXPECT_EQ(ODBCIntf::LastCallName(), "SQLTables");
    EXPECT_EQ(ODBCIntf::ODBCFunctionIndex(SQL_API_SQLFETCH), 0);
}

TEST_F(BindingTest, SuccessTests)
{
    struct Case {
        SQLRETURN rc;
        bool strict, lenient;
    };
    for (Case c : {Case{0, true, true}, Case{1, false, true}, Case{100, false, false}, Case{-1, false, false},
                   Case{-2, false, false}, Case{99, false, false}}) {
        EXPECT_EQ(ODBCIntf::SQLSucceeded(c.rc, true), c.strict) << c.rc;
        EXPECT_EQ(ODBCIntf::SQLSucceeded(c.rc, false), c.lenient) << c.rc;
    }
}

TEST_F(BindingTest, LastCallIsKeptPerThread)
{
    ASSERT_TRUE(ODBCIntf::LoadODBC(TV_PARTIAL_ODBC));
    ODBCIntf::SQLExecDirect(SQL_NULL_HSTMT, nullptr, 0);
    std::string otherName;
    int otherStatus = 99;
    std::thread t([&] {
        SQLHENV env;
        ODBCIntf::SQLAllocEnv(&env);
        otherName = ODBCIntf::LastCallName();
        otherStatus = ODBCIntf::LastCallStatus();
    });
    t.join();
    EXPECT_EQ(otherName, "SQLAllocEnv");
    EXPECT_EQ(otherStatus, 0);
    EXPECT_EQ(ODBCIntf::LastCallName(), "SQLExecDirect");
    EXPECT_EQ(ODBCIntf::LastCallStatus(), -1);
}

TEST_F(BindingTest, ReloadWhileAnotherThreadCallsNeverShowsAnEmptySlot)
{
    ASSERT_TRUE(ODBCIntf::LoadODBC(nullptr));
    std::atomic<bool> stop{false};
    std::atomic<int> missing{0}, calls{0};
    std::thread worker([&] {
        while (!stop.load()) {
            SQLHENV env = SQL_NULL_HENV;
            if (ODBCIntf::SQLAllocEnv(&env) == SQL_SUCCESS) ODBCIntf::SQLFreeEnv(env);
            if (ODBCIntf::LastCallStatus() != 0) ++missing;
            ++calls;
        }
    });
    for (int i = 0; i < 2000; ++i) ASSERT_TRUE(ODBCIntf::LoadODBC(i % 2 ? "" : ODBCIntf::DefaultLibraryName));
    while (calls.load() < 100) std::this_thread::yield();
    stop = true;
    worker.join();
    EXPECT_EQ(missing.load(), 0);
}

} // namespace
