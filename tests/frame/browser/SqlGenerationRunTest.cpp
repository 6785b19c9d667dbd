// The generated statements run on real databases: the catalog readers give the item texts, the
// generator writes the statement, the run's own comment removal and split cut it, and the driver
// executes it. Each kind runs where its text is valid SQL for the database.
#include "CatalogItem.h"
#include "CatalogReaders.h"
#include "ODBCIntf.h"
#include "SqlGeneration.h"
#include "SqlTextRoutines.h"
#include "TestConnection.h"
#include "TestDsn.h"

#include "BrowserTestPrinters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using K = BrowserNodeKind;
using C = SqlGenerationCommand;

const OptionalDbmsKind NoKind = std::nullopt;
constexpr int kRows = 150;

enum class Fixture { Plain, DoubleQuoted, BackQuoted };

// Each table's first column holds 1 to 150.
struct FixtureTable {
    const char* drop;
    const char* create;
    const char* fill;
    const char* name;         // as the catalog reports it
    const char* firstColumn;  // likewise
};

FixtureTable TableOf(Fixture f)
{
    switch (f) {
    case Fixture::Plain:
        return {"DROP TABLE IF EXISTS items", R"(CREATE TABLE items (id INTEGER, label VARCHAR(20)))",
                R"(INSERT INTO items WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 150) SELECT i, 'r' || i FROM n)",
                "items", "id"};
    case Fixture::DoubleQuoted:
        return {R"(DROP TABLE IF EXISTS "q""t")", R"(CREATE TABLE "q""t" ("c""1" INTEGER, "a b" VARCHAR(20)))",
                R"(INSERT INTO "q""t" WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 150) SELECT i, 'r' || i FROM n)",
                R"(q"t)", R"(c"1)"};
    case Fixture::BackQuoted:
        return {R"(DROP TABLE IF EXISTS "b`t")", R"(CREATE TABLE "b`t" ("c`1" INTEGER, "a b" VARCHAR(20)))",
                R"(INSERT INTO "b`t" WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 150) SELECT i, 'r' || i FROM n)",
                "b`t", "c`1"};
    }
    return {};
}

std::string KindName(OptionalDbmsKind k) { return k ? "kind " + std::to_string(*k) : "no kind"; }

class GeneratedSqlRun : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ODBCIntf::LoadODBC(nullptr)); }
    void TearDown() override { ODBCIntf::UnloadODBC(); }

    // The statements of a generated text as a run cuts them; exactly one is expected.
    static std::string OnlyStatement(const QString& generated, const QString& separator)
    {
        const std::vector<std::string> statements =
            SplitStatements(StripSQLComments(generated.toStdString()), separator.toStdString());
        EXPECT_EQ(statements.size(), 1u) << generated.toStdString();
        return statements.empty() ? std::string() : statements.front();
    }

    static std::vector<std::string> Run(TestConnection& db, const GeneratedSql& generated, const QString& separator = ";")
    {
        EXPECT_FALSE(generated.Text.isEmpty());
        return db.Column(OnlyStatement(generated.Text, separator));
    }

    static std::vector<int> Numbers(const std::vector<std::string>& values)
    {
        std::vector<int> n;
        for (const std::string& v : values) n.push_back(std::stoi(v));
        std::sort(n.begin(), n.end());
        return n;
    }

    // The object item and column node texts the tree would show for a fixture table.
    struct TreeTexts {
        QString object;
        QStringList columns;
        QString firstColumn;
    };
    static TreeTexts ReadTree(TestConnection& db, Fixture f, OptionalDbmsKind kind, const QString& schemaPrefix)
    {
        StringList system, tables, views, aliases, others, temporary, columns;
        std::string error;
        U_pub::ListTables(db.dbc, system, tables, views, aliases, others, temporary, error);
        EXPECT_EQ(error, "");
        U_pub::ListTableColumns(kind.value_or(DbmsKind::Other), db.dbc, columns, error);
        EXPECT_EQ(error, "");

        TreeTexts t;
        t.object = schemaPrefix + QString::fromUtf8(TableOf(f).name);
        EXPECT_NE(std::find(tables.begin(), tables.end(), t.object.toStdString()), tables.end()) << t.object.toStdString();
        QStringList items;
        for (const std::string& c : columns) items.append(QString::fromStdString(c));
        t.columns = DetailsOfObject(items, t.object);
        EXPECT_EQ(t.columns.size(), 2) << t.object.toStdString();
        for (const QString& c : t.columns)
            if (ColumnNameOfNode(c) == QString::fromUtf8(TableOf(f).firstColumn)) t.firstColumn = c;
        EXPECT_FALSE(t.firstColumn.isEmpty());
        return t;
    }

    static void MakeTables(TestConnection& db)
    {
        for (Fixture f : {Fixture::Plain, Fixture::DoubleQuoted, Fixture::BackQuoted}) {
            ASSERT_TRUE(db.Exec(TableOf(f).drop));
            ASSERT_TRUE(db.Exec(TableOf(f).create));
            ASSERT_TRUE(db.Exec(TableOf(f).fill));
        }
    }

    // A kind whose statements are valid on the database for one of the fixture tables.
    struct KindOnTable {
        OptionalDbmsKind kind;
        Fixture table;
        int first100Rows;  // rows of the first-100 form; 0 where that form is not valid here
    };

    static void RunSelects(TestConnection& db, const KindOnTable& k, const QString& schemaPrefix)
    {
        SCOPED_TRACE(KindName(k.kind) + " on " + TableOf(k.table).name);
        const TreeTexts tree = ReadTree(db, k.table, k.kind, schemaPrefix);
        const BrowserSqlNode table{.Kind = K::TableObject, .ObjectText = tree.object, .ObjectColumnTexts = tree.columns,
                                   .ColumnText = {}, .DbmsKind = k.kind};
        const BrowserSqlNode column{.Kind = K::Column, .ObjectText = tree.object, .ObjectColumnTexts = {},
                                    .ColumnText = tree.firstColumn, .DbmsKind = k.kind};
        std::vector<int> all(kRows);
        for (int i = 0; i < kRows; ++i) all[i] = i + 1;

        for (const BrowserSqlNode& node : {table, column}) {
            EXPECT_EQ(Numbers(Run(db, GenerateBrowserSql(C::AllRows, node, ";"))), all);
            EXPECT_EQ(Run(db, GenerateBrowserSql(C::RowCount, node, ";")), std::vector<std::string>{"150"});
            if (k.first100Rows == 0) continue;
            const std::vector<int> first = Numbers(Run(db, GenerateBrowserSql(C::First100Rows, node, ";")));
            EXPECT_EQ(first.size(), static_cast<size_t>(k.first100Rows));
            EXPECT_TRUE(std::adjacent_find(first.begin(), first.end()) == first.end());
            EXPECT_TRUE(std::includes(all.begin(), all.end(), first.begin(), first.end()));
        }
    }

    static std::vector<std::string> Sorted(std::vector<std::string> v)
    {
        std::sort(v.begin(), v.end());
        return v;
    }

    static BrowserSqlNode Procedure(const char* text, OptionalDbmsKind kind)
    {
        return {.Kind = K::Procedure, .ObjectText = QString::fromUtf8(text), .ObjectColumnTexts = {}, .ColumnText = {},
                .DbmsKind = kind};
    }
};

TEST_F(GeneratedSqlRun, SelectsOnSQLite)
{
    TestConnection db(TestDsn::SQLiteDsn());
    ASSERT_TRUE(db.Ok());
    MakeTables(db);
    // SQLite reads double quotes, back quotes and square brackets, and LIMIT; not TOP, FIRST,
    // ROWNUM or FETCH FIRST.
    const KindOnTable kinds[] = {
        {20, Fixture::Plain, kRows},      {4, Fixture::Plain, 0},         {5, Fixture::Plain, 0},
        {1, Fixture::DoubleQuoted, 0},    {2, Fixture::DoubleQuoted, 0},  {3, Fixture::DoubleQuoted, 0},
        {6, Fixture::DoubleQuoted, 0},    {10, Fixture::DoubleQuoted, 0}, {11, Fixture::DoubleQuoted, 0},
        {NoKind, Fixture::DoubleQuoted, kRows},
        {7, Fixture::BackQuoted, 100},    {8, Fixture::BackQuoted, 0},    {9, Fixture::BackQuoted, 0},
    };
    for (const KindOnTable& k : kinds) RunSelects(db, k, "");
}

TEST_F(GeneratedSqlRun, SelectsOnPostgreSQL)
{
    TestConnection db(TestDsn::PgDsn());
    ASSERT_TRUE(db.Ok());
    MakeTables(db);
    // PostgreSQL reads double quotes and FETCH FIRST; not back quotes, square brackets, TOP, FIRST
    // or ROWNUM.
    const KindOnTable kinds[] = {
        {20, Fixture::Plain, kRows},    {4, Fixture::Plain, 0},        {5, Fixture::Plain, 0},
        {1, Fixture::DoubleQuoted, 100}, {2, Fixture::DoubleQuoted, 0}, {3, Fixture::DoubleQuoted, 0},
        {6, Fixture::DoubleQuoted, 0},   {NoKind, Fixture::DoubleQuoted, kRows},
    };
    for (const KindOnTable& k : kinds) RunSelects(db, k, "public.");
}

TEST_F(GeneratedSqlRun, DollarSeparatorCutsOneStatement)
{
    TestConnection db(TestDsn::SQLiteDsn());
    ASSERT_TRUE(db.Ok());
    MakeTables(db);
    const BrowserSqlNode node{.Kind = K::TableObject, .ObjectText = "items", .ObjectColumnTexts = {},
                              .ColumnText = {}, .DbmsKind = 20};
    EXPECT_EQ(Run(db, GenerateBrowserSql(C::RowCount, node, "$$"), "$$"), std::vector<std::string>{"150"});
}

// A procedure-source query on a database: the procedure node, the kind, the source lines found.
struct SourceQuery {
    const char* procedure;
    int kind;
    std::vector<std::string> lines;
};

// A database with tables in the places the source queries read, holding names with single quotes.
struct SourceDatabase {
    const char* name;
    const char* (*dsn)();
    std::vector<std::string> setUp;
    std::vector<SourceQuery> queries;
};

void PrintTo(const SourceDatabase& d, std::ostream* os) { *os << d.name; }

const std::vector<std::string> kAllSource = {
    "DROP TABLE IF EXISTS ALL_SOURCE",
    "CREATE TABLE ALL_SOURCE (TEXT VARCHAR(40), OWNER VARCHAR(40), name VARCHAR(40))",
    "INSERT INTO ALL_SOURCE VALUES ('body A', 'o''k', 'it''s'), ('body B', 'other', 'it''s'), ('body C', 'o''k', 'its')",
};

std::vector<std::string> With(std::vector<std::string> first, const std::vector<std::string>& more)
{
    first.insert(first.end(), more.begin(), more.end());
    return first;
}

const SourceQuery kOracleQueries[] = {
    {"o'k.it's", 3, {"body A"}},
    {"it's", 3, {"body A", "body B"}},
};

const SourceDatabase kSourceDatabases[] = {
    {"SQLite", TestDsn::SQLiteDsn,
     With(kAllSource, {"DROP TABLE IF EXISTS proc", "CREATE TABLE proc (name VARCHAR(40), body VARCHAR(40))",
                       "INSERT INTO proc VALUES ('it''s', 'mysql body'), ('its', 'other body')"}),
     {kOracleQueries[0], kOracleQueries[1], {"db.it's", 7, {"mysql body"}}}},
    {"PostgreSQL", TestDsn::PgDsn,
     With(kAllSource,
          {"DROP SCHEMA IF EXISTS SYSIBM CASCADE", "CREATE SCHEMA SYSIBM",
           "CREATE TABLE SYSIBM.SYSPROCEDURES (TEXT VARCHAR(40), PROCNAME VARCHAR(40), PROCSCHEMA VARCHAR(40))",
           "INSERT INTO SYSIBM.SYSPROCEDURES VALUES ('db2 body', 'it''s', 'o''k'), ('db2 other', 'it''s', 'x')"}),
     {kOracleQueries[0], kOracleQueries[1], {"o'k.it's", 1, {"db2 body"}}, {"it's", 1, {"db2 body", "db2 other"}}}},
};

class ProcedureSourceRun : public GeneratedSqlRun, public ::testing::WithParamInterface<SourceDatabase> {};

TEST_P(ProcedureSourceRun, FindsTheProcedureByOwnerAndName)
{
    const SourceDatabase& d = GetParam();
    TestConnection db(d.dsn());
    ASSERT_TRUE(db.Ok());
    for (const std::string& sql : d.setUp) ASSERT_TRUE(db.Exec(sql)) << sql;
    for (const SourceQuery& q : d.queries)
        EXPECT_EQ(Sorted(Run(db, GenerateBrowserSql(C::ProcedureSource, Procedure(q.procedure, q.kind), ";"))), q.lines)
            << q.procedure << " with kind " << q.kind;
}

INSTANTIATE_TEST_SUITE_P(Databases, ProcedureSourceRun, ::testing::ValuesIn(kSourceDatabases),
                         [](const ::testing::TestParamInfo<SourceDatabase>& info) { return std::string(info.param.name); });

} // namespace
