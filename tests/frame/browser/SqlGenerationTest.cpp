#include "SqlGeneration.h"

#include "BrowserTestPrinters.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace {

using K = BrowserNodeKind;
using C = SqlGenerationCommand;

const OptionalDbmsKind NoKind = std::nullopt;

// The lines of a generated text, each ended by CR LF.
QString Lines(std::initializer_list<const char*> lines)
{
    QString text;
    for (const char* l : lines) text += QString::fromUtf8(l) + "\r\n";
    return text;
}

BrowserSqlNode TableNode(OptionalDbmsKind kind, QString text = "dbo.T",
                         QStringList columns = {"A (int, Null)", "B (varchar(10), Null)"})
{
    return {.Kind = K::TableObject, .ObjectText = text, .ObjectColumnTexts = columns, .ColumnText = {}, .DbmsKind = kind};
}

BrowserSqlNode ColumnNode(OptionalDbmsKind kind, QString column = "A (int, Null)", QString object = "dbo.T")
{
    // The column's siblings play no part in its statements.
    return {.Kind = K::Column, .ObjectText = object, .ObjectColumnTexts = {"X (int, Null)"}, .ColumnText = column, .DbmsKind = kind};
}

BrowserSqlNode ProcedureNode(OptionalDbmsKind kind, QString text = "dbo.p;1", K node = K::Procedure)
{
    return {.Kind = node, .ObjectText = text, .ObjectColumnTexts = {}, .ColumnText = {}, .DbmsKind = kind};
}

QString Generated(C command, const BrowserSqlNode& node, const QString& separator = ";")
{
    return GenerateBrowserSql(command, node, separator).Text;
}

// Table dbo.T with columns A and B, its column A, and procedure dbo.p;1, separator ";".
struct KindTexts {
    OptionalDbmsKind kind;
    QString allRows, first100, rowCount;
    QString columnAllRows, columnFirst100;
    QString procedureSource;  // empty: the kind has no source query
};

class SqlGenerationByKind : public ::testing::TestWithParam<KindTexts> {};

TEST_P(SqlGenerationByKind, TableColumnAndProcedureTexts)
{
    const KindTexts& k = GetParam();
    EXPECT_EQ(Generated(C::AllRows, TableNode(k.kind)), k.allRows);
    EXPECT_EQ(Generated(C::First100Rows, TableNode(k.kind)), k.first100);
    EXPECT_EQ(Generated(C::RowCount, TableNode(k.kind)), k.rowCount);
    EXPECT_EQ(Generated(C::AllRows, ColumnNode(k.kind)), k.columnAllRows);
    EXPECT_EQ(Generated(C::First100Rows, ColumnNode(k.kind)), k.columnFirst100);
    // A column counts the rows of its object; a parameter asks for its procedure's source.
    EXPECT_EQ(Generated(C::RowCount, ColumnNode(k.kind)), k.rowCount);
    EXPECT_EQ(Generated(C::ProcedureSource, ProcedureNode(k.kind)), k.procedureSource);
    EXPECT_EQ(Generated(C::ProcedureSource, ProcedureNode(k.kind, "dbo.p;1", K::Parameter)), k.procedureSource);
}

TEST_P(SqlGenerationByKind, SelectsShowAsGridAndTheSourceQueryAsText)
{
    const KindTexts& k = GetParam();
    for (C command : {C::AllRows, C::First100Rows, C::RowCount}) {
        EXPECT_EQ(GenerateBrowserSql(command, TableNode(k.kind), ";").Display, GeneratedDisplay::Grid);
        EXPECT_EQ(GenerateBrowserSql(command, ColumnNode(k.kind), ";").Display, GeneratedDisplay::Grid);
    }
    EXPECT_EQ(GenerateBrowserSql(C::ProcedureSource, ProcedureNode(k.kind), ";").Display,
              k.procedureSource.isEmpty() ? GeneratedDisplay::Unchanged : GeneratedDisplay::Text);
}

// The double-quote kinds share their all-rows and column texts.
const QString kDqAll = Lines({R"(SELECT    "A", "B")", R"(FROM  "dbo"."T"  )", ";"});
const QString kDqColumnAll = Lines({R"(SELECT  "A")", R"(FROM  "dbo"."T"  )", ";"});
const QString kDqCountOneBlank = Lines({"SELECT    count(*)", R"(FROM "dbo"."T"  )", ";"});
const QString kPlainAll = Lines({"SELECT    A, B", "FROM  dbo.T  ", ";"});
const QString kPlainColumnAll = Lines({"SELECT  A", "FROM  dbo.T  ", ";"});
const QString kPlainCount = Lines({"SELECT    count(*)", "FROM  dbo.T  ", ";"});
const QString kBqAll = Lines({"SELECT    `A`, `B`", "FROM  `dbo.T`  ", ";"});
const QString kBqColumnAll = Lines({"SELECT  `A`", "FROM  `dbo.T`  ", ";"});
const QString kBqCount = Lines({"SELECT    count(*)", "FROM  `dbo.T`  ", ";"});
const QString kSheetAll = Lines({R"(SELECT    "A", "B")", "FROM  [dbo.T]  ", ";"});
const QString kSheetFirst100 = Lines({R"(SELECT  TOP 100    "A", "B")", "FROM  [dbo.T]  ", ";"});
const QString kSheetCount = Lines({"SELECT    count(*)", "FROM  [dbo.T]  ", ";"});
const QString kSheetColumnAll = Lines({R"(SELECT  "A")", "FROM  [dbo.T]  ", ";"});
const QString kSheetColumnFirst100 = Lines({R"(SELECT  TOP 100    "A")", "FROM  [dbo.T]  ", ";"});

// Without a kind, and for a kind value no rule lists, every rule takes its default.
const KindTexts kDefaultTexts = {NoKind,
                                 kDqAll,
                                 Lines({R"(SELECT  "A", "B")", R"(FROM  "dbo"."T"  )", ";"}),
                                 kDqCountOneBlank,
                                 kDqColumnAll,
                                 kDqColumnAll,
                                 {}};

KindTexts WithKind(KindTexts texts, OptionalDbmsKind kind)
{
    texts.kind = kind;
    return texts;
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, SqlGenerationByKind,
    ::testing::Values(
        KindTexts{1, kDqAll,
                  Lines({R"(SELECT  "A", "B")", R"(FROM  "dbo"."T")", "FETCH FIRST 100 ROWS ONLY   ", ";"}),
                  kDqCountOneBlank, kDqColumnAll,
                  Lines({R"(SELECT  "A")", R"(FROM  "dbo"."T")", "FETCH FIRST 100 ROWS ONLY   ", ";"}),
                  Lines({"SELECT  TEXT  ", "FROM  SYSIBM.SYSPROCEDURES",
                         "WHERE  PROCNAME='p;1'  AND  PROCSCHEMA='dbo'  ", ";"})},
        KindTexts{2, kDqAll, Lines({R"(SELECT  TOP 100    "A", "B")", R"(FROM  "dbo"."T"  )", ";"}),
                  kDqCountOneBlank, kDqColumnAll, Lines({R"(SELECT  TOP 100    "A")", R"(FROM  "dbo"."T"  )", ";"}),
                  Lines({R"(sp_helptext  "dbo.p"  )", ";"})},
        KindTexts{3, kDqAll,
                  Lines({R"(SELECT  "A", "B")", R"(FROM  "dbo"."T")", "WHERE  ROWNUM<=100   ", ";"}),
                  kDqCountOneBlank, kDqColumnAll,
                  Lines({R"(SELECT  "A")", R"(FROM  "dbo"."T")", "WHERE  ROWNUM<=100   ", ";"}),
                  Lines({"SELECT  TEXT  ", "FROM  ALL_SOURCE", "WHERE  OWNER='dbo'  AND  name='p;1'  ", ";"})},
        KindTexts{4, kPlainAll, Lines({"SELECT  TOP 100    A, B", "FROM  dbo.T  ", ";"}), kPlainCount,
                  kPlainColumnAll, Lines({"SELECT  TOP 100    A", "FROM  dbo.T  ", ";"}),
                  Lines({"SELECT  text  ", "FROM  syscomments", "WHERE  id=OBJECT_ID('dbo.p;1')",
                         "ORDER  BY  number,colid2,colid  ", ";"})},
        KindTexts{5, kPlainAll, Lines({"SELECT  FIRST 100    A, B", "FROM  dbo.T  ", ";"}), kPlainCount,
                  kPlainColumnAll, Lines({"SELECT  FIRST 100    A", "FROM  dbo.T  ", ";"}), {}},
        KindTexts{6, kDqAll, Lines({R"(SELECT  TOP 100    "A", "B")", R"(FROM  "dbo"."T"  )", ";"}),
                  kDqCountOneBlank, kDqColumnAll, Lines({R"(SELECT  TOP 100    "A")", R"(FROM  "dbo"."T"  )", ";"}), {}},
        KindTexts{7, kBqAll, Lines({"SELECT  `A`, `B`", "FROM  `dbo.T`", "LIMIT 100  ", ";"}), kBqCount,
                  kBqColumnAll, Lines({"SELECT  `A`", "FROM  `dbo.T`", "LIMIT 100  ", ";"}),
                  Lines({"SELECT  `body`", "FROM  `proc`", "WHERE  `name`='p;1'  ", ";"})},
        KindTexts{8, kBqAll, Lines({"SELECT  TOP 100    `A`, `B`", "FROM  `dbo.T`", "ORDER BY 1  ", ";"}), kBqCount,
                  kBqColumnAll, Lines({"SELECT  TOP 100    `A`", "FROM  `dbo.T`", "ORDER BY 1  ", ";"}), {}},
        KindTexts{9, kBqAll, Lines({"SELECT  TOP 100    `A`, `B`", "FROM  `dbo.T`  ", ";"}), kBqCount, kBqColumnAll,
                  Lines({"SELECT  TOP 100    `A`", "FROM  `dbo.T`  ", ";"}), {}},
        KindTexts{10, kSheetAll, kSheetFirst100, kSheetCount, kSheetColumnAll, kSheetColumnFirst100, {}},
        KindTexts{11, kSheetAll, kSheetFirst100, kSheetCount, kSheetColumnAll, kSheetColumnFirst100, {}},
        KindTexts{20, kPlainAll, Lines({"SELECT  A, B", "FROM  dbo.T  ", ";"}), kPlainCount, kPlainColumnAll,
                  kPlainColumnAll, {}},
        kDefaultTexts, WithKind(kDefaultTexts, 0), WithKind(kDefaultTexts, 12), WithKind(kDefaultTexts, -1)),
    [](const ::testing::TestParamInfo<KindTexts>& info) {
        const OptionalDbmsKind k = info.param.kind;
        return !k ? std::string("NoKind") : *k < 0 ? "Minus" + std::to_string(-*k) : "Kind" + std::to_string(*k);
    });

// Single statements beside the rules of each kind: the separator, tables without column nodes,
// procedure names without schema or number, quote characters inside names and literals, and
// column names with blanks and parentheses.
struct SingleCase {
    const char* what;
    C command;
    BrowserSqlNode node;
    QString separator;
    QString expected;
};

TEST(SqlGeneration, SingleCases)
{
    const QStringList quoted = {R"(c"1 (int, Null))", "a b (varchar(5), Null)"};
    const SingleCase cases[] = {
        {"separator after a select", C::AllRows, TableNode(4), "$$", Lines({"SELECT    A, B", "FROM  dbo.T  ", "$$"})},
        {"separator after a source query", C::ProcedureSource, ProcedureNode(2), "$$",
         Lines({R"(sp_helptext  "dbo.p"  )", "$$"})},

        {"no column nodes, all rows", C::AllRows, TableNode(2, "dbo.T", {}), ";",
         Lines({"SELECT    *", R"(FROM  "dbo"."T"  )", ";"})},
        {"no column nodes, first 100 with TOP", C::First100Rows, TableNode(2, "dbo.T", {}), ";",
         Lines({"SELECT  TOP 100    *", R"(FROM  "dbo"."T"  )", ";"})},
        {"no column nodes, first 100 without a limit", C::First100Rows, TableNode(20, "t", {}), ";",
         Lines({"SELECT  *", "FROM  t  ", ";"})},
        {"no column nodes, row count", C::RowCount, TableNode(20, "t", {}), ";",
         Lines({"SELECT    count(*)", "FROM  t  ", ";"})},

        {"Oracle name alone", C::ProcedureSource, ProcedureNode(3, "P"), ";",
         Lines({"SELECT  TEXT  ", "FROM  ALL_SOURCE", "WHERE  name='P'  ", ";"})},
        {"DB2 name alone", C::ProcedureSource, ProcedureNode(1, "P"), ";",
         Lines({"SELECT  TEXT  ", "FROM  SYSIBM.SYSPROCEDURES", "WHERE  PROCNAME='P'  ", ";"})},
        {"SQL Server without number", C::ProcedureSource, ProcedureNode(2, "dbo.p"), ";",
         Lines({R"(sp_helptext  "dbo.p"  )", ";"})},
        {"SQL Server name before its first ;", C::ProcedureSource, ProcedureNode(2, "p;2;x"), ";",
         Lines({R"(sp_helptext  "p"  )", ";"})},
        // MySQL asks by the name alone; only the first dot splits.
        {"MySQL name after the first dot", C::ProcedureSource, ProcedureNode(7, "db.a.b"), ";",
         Lines({"SELECT  `body`", "FROM  `proc`", "WHERE  `name`='a.b'  ", ";"})},
        {"Sybase name alone", C::ProcedureSource, ProcedureNode(4, "p"), ";",
         Lines({"SELECT  text  ", "FROM  syscomments", "WHERE  id=OBJECT_ID('p')", "ORDER  BY  number,colid2,colid  ",
                ";"})},

        {"double quotes in names", C::AllRows, TableNode(1, R"(s"x.t"y)", quoted), ";",
         Lines({R"(SELECT    "c""1", "a b")", R"(FROM  "s""x"."t""y"  )", ";"})},
        {"double quotes without a kind", C::RowCount, TableNode(NoKind, R"(s"x.t"y)", quoted), ";",
         Lines({"SELECT    count(*)", R"(FROM "s""x"."t""y"  )", ";"})},
        {"back quotes in names", C::First100Rows, TableNode(7, "d`b.t`y", {"c`1 (int, Null)"}), ";",
         Lines({"SELECT  `c``1`", "FROM  `d``b.t``y`", "LIMIT 100  ", ";"})},
        {"a bracket in a sheet name", C::AllRows, ColumnNode(10, R"(c"1 (int, Null))", "Sheet]1$"), ";",
         Lines({R"(SELECT  "c""1")", "FROM  [Sheet]]1$]  ", ";"})},
        {"Oracle literals", C::ProcedureSource, ProcedureNode(3, "o'k.it's"), ";",
         Lines({"SELECT  TEXT  ", "FROM  ALL_SOURCE", "WHERE  OWNER='o''k'  AND  name='it''s'  ", ";"})},
        {"DB2 literals", C::ProcedureSource, ProcedureNode(1, "o'k.it's"), ";",
         Lines({"SELECT  TEXT  ", "FROM  SYSIBM.SYSPROCEDURES", "WHERE  PROCNAME='it''s'  AND  PROCSCHEMA='o''k'  ", ";"})},
        {"MySQL literal", C::ProcedureSource, ProcedureNode(7, "''"), ";",
         Lines({"SELECT  `body`", "FROM  `proc`", "WHERE  `name`=''''''  ", ";"})},
        {"Sybase literal", C::ProcedureSource, ProcedureNode(4, "dbo.it's"), ";",
         Lines({"SELECT  text  ", "FROM  syscomments", "WHERE  id=OBJECT_ID('dbo.it''s')",
                "ORDER  BY  number,colid2,colid  ", ";"})},
        {"SQL Server quoted name", C::ProcedureSource, ProcedureNode(2, R"(dbo.say"hi";1)"), ";",
         Lines({R"(sp_helptext  "dbo.say""hi"""  )", ";"})},

        {"a column name with a blank", C::AllRows, ColumnNode(2, "ORDER DATE (CHAR(10), Null)"), ";",
         Lines({R"(SELECT  "ORDER DATE")", R"(FROM  "dbo"."T"  )", ";"})},
        {"column names with blanks and parentheses", C::AllRows,
         TableNode(8, "T", {"a (b (int, Null)", "ORDER DATE (CHAR(10), Null)"}), ";",
         Lines({"SELECT    `a (b`, `ORDER DATE`", "FROM  `T`  ", ";"})},
    };
    for (const SingleCase& c : cases) EXPECT_EQ(Generated(c.command, c.node, c.separator), c.expected) << c.what;
}

TEST(SqlGeneration, NodesACommandDoesNotApplyToGiveNothing)
{
    const K all[] = {K::Connection, K::Category,  K::TableObject, K::Procedure,   K::DetailGroup,
                     K::Column,     K::Index,     K::Parameter,   K::IndexColumn, K::Unknown};
    for (K node : all) {
        for (C command : {C::AllRows, C::First100Rows, C::RowCount, C::ProcedureSource}) {
            const bool applies = command == C::ProcedureSource ? (node == K::Procedure || node == K::Parameter)
                                                               : (node == K::TableObject || node == K::Column);
            BrowserSqlNode n = TableNode(3);
            n.Kind = node;
            n.ColumnText = "A (int, Null)";
            const GeneratedSql g = GenerateBrowserSql(command, n, ";");
            SCOPED_TRACE(std::to_string(static_cast<int>(node)) + " " + std::to_string(static_cast<int>(command)));
            EXPECT_EQ(g.Text.isEmpty(), !applies);
            if (!applies) {
                EXPECT_EQ(g.Display, GeneratedDisplay::Unchanged);
            }
            EXPECT_EQ(ObjectNodeDistance(command, node),
                      !applies ? -1 : (node == K::Column || node == K::Parameter) ? 2 : 0);
        }
    }
}

} // namespace
