#include "ODBCDiagnostics.h"
#include "ODBCIntf.h"
#include "TestConnection.h"
#include "TestDsn.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <fstream>
#include <string>

namespace {

using SetMessages = void (*)(const char* const*, int);

class ErrorTextTest : public ::testing::Test {
protected:
    void TearDown() override { ODBCIntf::UnloadODBC(); }

    static std::string ErrorText(SQLHENV env = SQL_NULL_HENV, SQLHDBC dbc = SQL_NULL_HDBC,
                                 SQLHSTMT stmt = SQL_NULL_HSTMT)
    {
        std::string text;
        ODBCIntf::GetODBCErrorText(env, dbc, stmt, nullptr, 0, text);
        return text;
    }

    // A statement of the connection whose execution failed.
    static SQLHSTMT FailedStatement(TestConnection& c, const std::string& sql)
    {
        SQLHSTMT stmt = SQL_NULL_HSTMT;
        EXPECT_EQ(ODBCIntf::SQLAllocStmt(c.dbc, &stmt), SQL_SUCCESS);
        EXPECT_EQ(ODBCIntf::SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS),
                  SQL_ERROR);
        return stmt;
    }
};

TEST_F(ErrorTextTest, MissingEntryPointIsReportedOnceThenTheMessagesFollow)
{
    ASSERT_TRUE(ODBCIntf::LoadODBC(TV_PARTIAL_ODBC));
    auto setMessages = reinterpret_cast<SetMessages>(dlsym(ODBCIntf::ODBCEntryTable(0), "tv_fake_set_messages"));
    ASSERT_NE(setMessages, nullptr);
    const char* none[] = {""};
    setMessages(none, 0);

    ODBCIntf::SQLExecDirect(SQL_NULL_HSTMT, nullptr, 0);
    EXPECT_EQ(ErrorText(), "(-1)\rSQLExecDirect is not implemented !\r");
    EXPECT_EQ(ODBCIntf::LastCallName(), "");
    EXPECT_EQ(ODBCIntf::LastCallStatus(), 0);
    EXPECT_EQ(ErrorText(), "");
}

TEST_F(ErrorTextTest, MessagesAreFramedByCarriageReturnsAndKeptWhole)
{
    ASSERT_TRUE(ODBCIntf::LoadODBC(TV_PARTIAL_ODBC));
    auto setMessages = reinterpret_cast<SetMessages>(dlsym(ODBCIntf::ODBCEntryTable(0), "tv_fake_set_messages"));
    ASSERT_NE(setMessages, nullptr);
    const std::string longMessage(700, 'x');
    const char* messages[] = {"first", longMessage.c_str(), "third"};
    setMessages(messages, 3);
    EXPECT_EQ(ErrorText(), "\rfirst\r\r" + longMessage + "\r\rthird\r");

    // A caller's buffer gets the text cut to its length.
    setMessages(messages, 1);
    std::string text;
    char buffer[5];
    ODBCIntf::GetODBCErrorText(SQL_NULL_HENV, SQL_NULL_HDBC, SQL_NULL_HSTMT, buffer, 4, text);
    EXPECT_EQ(text, "\rfirst\r");
    EXPECT_STREQ(buffer, "\rfir");
}

TEST_F(ErrorTextTest, DriverMessagesAreConsumedOnce)
{
    ASSERT_TRUE(ODBCIntf::LoadODBC(nullptr));
    for (const char* dsn : {TestDsn::SQLiteDsn(), TestDsn::PgDsn()}) {
        TestConnection c(dsn);
        ASSERT_TRUE(c.Ok());
        SQLHSTMT stmt = FailedStatement(c, "select * from no_such_table_here");
        const std::string text = ErrorText(SQL_NULL_HENV, SQL_NULL_HDBC, stmt);
        ASSERT_GE(text.size(), 2u) << dsn;
        EXPECT_EQ(text.front(), '\r') << dsn;
        EXPECT_EQ(text.back(), '\r') << dsn;
        EXPECT_NE(text.find("no_such_table_here"), std::string::npos) << dsn << ": " << text;
        EXPECT_EQ(ErrorText(SQL_NULL_HENV, SQL_NULL_HDBC, stmt), "") << dsn;
        ODBCIntf::SQLFreeStmt(stmt, SQL_DROP);
    }
}

TEST_F(ErrorTextTest, DiagMessageReadsTheLastRecordWhole)
{
    ASSERT_TRUE(ODBCIntf::LoadODBC(nullptr));
    std::string message = "stale";
    U_pub::GetDiagMessage(SQL_HANDLE_STMT, SQL_NULL_HSTMT, message);
    EXPECT_EQ(message, "");

    TestConnection c(TestDsn::PgDsn());
    ASSERT_TRUE(c.Ok());
    SQLHSTMT stmt = FailedStatement(c, "DO $$ BEGIN RAISE EXCEPTION '%', repeat('y', 700) || 'END'; END $$");
    U_pub::GetDiagMessage(SQL_HANDLE_STMT, stmt, message);
    EXPECT_NE(message.find(std::string(700, 'y') + "END"), std::string::npos) << message;
    ODBCIntf::SQLFreeStmt(stmt, SQL_DROP);

    SQLHSTMT ok = SQL_NULL_HSTMT;
    ODBCIntf::SQLAllocStmt(c.dbc, &ok);
    ODBCIntf::SQLExecDirect(ok, reinterpret_cast<SQLCHAR*>(const_cast<char*>("select 1")), SQL_NTS);
    U_pub::GetDiagMessage(SQL_HANDLE_STMT, ok, message);
    EXPECT_EQ(message, "");
    ODBCIntf::SQLFreeStmt(ok, SQL_DROP);

    // Of two records the second is the message.
    std::ofstream(TestDsn::DsnFile(), std::ios::app) << "\n[TarnvaleTwoRecords]\nDriver=" TV_TWO_RECORDS_DRIVER "\n";
    TestConnection two("TarnvaleTwoRecords");
    ASSERT_TRUE(two.Ok());
    SQLHSTMT failed = FailedStatement(two, "select 1");
    U_pub::GetDiagMessage(SQL_HANDLE_STMT, failed, message);
    EXPECT_EQ(message, "second record");
    ODBCIntf::SQLFreeStmt(failed, SQL_DROP);
}

} // namespace
