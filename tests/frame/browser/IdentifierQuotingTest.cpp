#include "IdentifierQuoting.h"
#include "NodeNameText.h"

#include "BrowserTestPrinters.h"

#include <gtest/gtest.h>

namespace {

const OptionalDbmsKind NoKind = std::nullopt;

struct KindQuoting {
    OptionalDbmsKind kind;
    const char* bracket;  // QuoteObjectName("SCOTT.EMP", kind, bracket form)
    const char* drop;     // the drop form
    const char* column;   // QuoteColumnName("ORDER DATE", kind)
};

// Every kind, an unlisted kind value and no kind.
const KindQuoting kQuoting[] = {
    {1, R"("SCOTT"."EMP")", R"("SCOTT"."EMP")", R"("ORDER DATE")"},
    {2, R"("SCOTT"."EMP")", R"("SCOTT"."EMP")", R"("ORDER DATE")"},
    {3, R"("SCOTT"."EMP")", R"("SCOTT"."EMP")", R"("ORDER DATE")"},
    {4, "SCOTT.EMP", "SCOTT.EMP", "ORDER DATE"},
    {5, "SCOTT.EMP", "SCOTT.EMP", "ORDER DATE"},
    {6, R"("SCOTT"."EMP")", R"("SCOTT"."EMP")", R"("ORDER DATE")"},
    {7, "`SCOTT.EMP`", "`SCOTT.EMP`", "`ORDER DATE`"},
    {8, "`SCOTT.EMP`", "`SCOTT.EMP`", "`ORDER DATE`"},
    {9, "`SCOTT.EMP`", "`SCOTT.EMP`", "`ORDER DATE`"},
    {10, "[SCOTT.EMP]", R"("SCOTT"."EMP")", R"("ORDER DATE")"},
    {11, "[SCOTT.EMP]", R"("SCOTT"."EMP")", R"("ORDER DATE")"},
    {20, "SCOTT.EMP", "SCOTT.EMP", "ORDER DATE"},
    {0, R"("SCOTT"."EMP")", R"("SCOTT"."EMP")", R"("ORDER DATE")"},
    {NoKind, R"("SCOTT"."EMP")", R"("SCOTT"."EMP")", R"("ORDER DATE")"},
};

std::string KindName(OptionalDbmsKind k) { return k ? "kind " + std::to_string(*k) : "no kind"; }

TEST(IdentifierQuoting, EveryKindQuotesObjectsAndColumnsByItsRule)
{
    for (const KindQuoting& q : kQuoting) {
        SCOPED_TRACE(KindName(q.kind));
        EXPECT_EQ(QuoteObjectName("SCOTT.EMP", q.kind, ObjectNameForm::Bracket), QString(q.bracket));
        EXPECT_EQ(QuoteObjectName("SCOTT.EMP", q.kind, ObjectNameForm::Drop), QString(q.drop));
        EXPECT_EQ(QuoteColumnName("ORDER DATE", q.kind), QString(q.column));
    }
}

TEST(IdentifierQuoting, OnlyTheFirstDotSplitsADoubleQuotedName)
{
    struct Case {
        const char* text;
        const char* quoted;
    };
    const Case cases[] = {
        {"EMP", R"("EMP")"},
        {"A.B.C", R"("A"."B.C")"},
        {".T", R"(""."T")"},
        {"S.", R"("S"."")"},
        {"", R"("")"},
        {"模式.表", R"("模式"."表")"},
    };
    for (const Case& c : cases) {
        const QString expected = QString::fromUtf8(c.quoted);
        EXPECT_EQ(QuoteObjectName(QString::fromUtf8(c.text), 3, ObjectNameForm::Bracket), expected) << c.text;
    }
    // The forms that quote the whole text keep every dot inside.
    EXPECT_EQ(QuoteObjectName("A.B.C", 7, ObjectNameForm::Bracket), "`A.B.C`");
    EXPECT_EQ(QuoteObjectName("A.B.C", 10, ObjectNameForm::Bracket), "[A.B.C]");
    EXPECT_EQ(QuoteObjectName("A.B.C", 10, ObjectNameForm::Drop), R"("A"."B.C")");
}

TEST(IdentifierQuoting, QuoteCharactersInsideAQuotedNameAreDoubled)
{
    struct Case {
        OptionalDbmsKind kind;
        ObjectNameForm form;
        const char* text;
        const char* quoted;
    };
    const Case objects[] = {
        {1, ObjectNameForm::Bracket, R"(we"ird.ta"b"le)", R"("we""ird"."ta""b""le")"},
        {NoKind, ObjectNameForm::Drop, R"(a"".b)", R"("a"""""."b")"},
        {7, ObjectNameForm::Bracket, "my`db.t`x", "`my``db.t``x`"},
        {8, ObjectNameForm::Drop, "``", "``````"},
        {10, ObjectNameForm::Bracket, "Sheet1$]x", "[Sheet1$]]x]"},
        {11, ObjectNameForm::Bracket, "a[b].csv", "[a[b]].csv]"},
        {10, ObjectNameForm::Drop, R"(Sheet"1.a]b)", R"("Sheet""1"."a]b")"},
        // Other quote characters inside a quoted name are plain characters there.
        {2, ObjectNameForm::Bracket, "o'k.`x`", R"("o'k"."`x`")"},
        {9, ObjectNameForm::Bracket, R"(a"b'c)", R"(`a"b'c`)"},
        {11, ObjectNameForm::Bracket, R"(a"b`c)", R"([a"b`c])"},
        // An unquoted name stays exactly as it is.
        {20, ObjectNameForm::Bracket, R"(a"b`c]d)", R"(a"b`c]d)"},
        {4, ObjectNameForm::Drop, R"(a"b)", R"(a"b)"},
    };
    for (const Case& c : objects) {
        const QString expected = QString::fromUtf8(c.quoted);
        EXPECT_EQ(QuoteObjectName(QString::fromUtf8(c.text), c.kind, c.form), expected) << KindName(c.kind) << " " << c.text;
    }

    struct ColumnCase {
        OptionalDbmsKind kind;
        const char* name;
        const char* quoted;
    };
    const ColumnCase columns[] = {
        {3, R"(c"1)", R"("c""1")"},
        {10, R"(""")", R"("""""""")"},
        {7, "c`1", "`c``1`"},
        {9, R"(c"1)", R"(`c"1`)"},
        {NoKind, "c]1", R"("c]1")"},
        {5, R"(c"`1)", R"(c"`1)"},
    };
    for (const ColumnCase& c : columns)
        EXPECT_EQ(QuoteColumnName(QString::fromUtf8(c.name), c.kind), QString::fromUtf8(c.quoted)) << KindName(c.kind) << " " << c.name;
}

TEST(NodeNameText, CopyAndDropTextsByNodeKind)
{
    using K = BrowserNodeKind;
    struct Case {
        K node;
        const char* text;
        OptionalDbmsKind kind;
        const char* copy;
        const char* drop;
    };
    const Case cases[] = {
        {K::TableObject, "SCOTT.EMP", 3, R"("SCOTT"."EMP")", R"("SCOTT"."EMP")"},
        {K::TableObject, "SCOTT.EMP", 10, "[SCOTT.EMP]", R"("SCOTT"."EMP")"},
        {K::TableObject, "SCOTT.EMP", 7, "`SCOTT.EMP`", "`SCOTT.EMP`"},
        {K::TableObject, "SCOTT.EMP", 4, "SCOTT.EMP", "SCOTT.EMP"},
        {K::TableObject, "SCOTT.EMP", NoKind, R"("SCOTT"."EMP")", R"("SCOTT"."EMP")"},
        // A column keeps its whole name, blanks included, in the copy and in the drop.
        {K::Column, "ORDER DATE (CHAR(10), Null)", 2, R"("ORDER DATE")", R"("ORDER DATE")"},
        {K::Column, "ORDER DATE (CHAR(10), Null)", 20, "ORDER DATE", "ORDER DATE"},
        {K::Column, "ORDER DATE (CHAR(10), Null)", 8, "`ORDER DATE`", "`ORDER DATE`"},
        {K::Column, "a (b (int, Null)", 11, R"("a (b")", R"("a (b")"},
        {K::Column, R"(say "hi" (varchar(5), Null))", 1, R"("say ""hi""")", R"("say ""hi""")"},
        // A procedure's text goes unquoted, whatever its kind.
        {K::Procedure, "dbo.p;1", 2, "dbo.p;1", "dbo.p;1"},
        {K::Procedure, R"(o"k.p)", 1, R"(o"k.p)", R"(o"k.p)"},
        {K::Parameter, "1 x (IN int, Null)", 2, "", ""},
        {K::Index, "PK_t", 2, "", ""},
        {K::IndexColumn, "1  id, ASC", 2, "", ""},
        {K::DetailGroup, "列", 2, "", ""},
        {K::Category, "用户表", 2, "", ""},
        {K::Connection, "Demo(sa)", 2, "", ""},
        {K::Unknown, "x", 2, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " " + KindName(c.kind));
        EXPECT_EQ(CopyTextOfNode(c.node, QString::fromUtf8(c.text), c.kind), QString::fromUtf8(c.copy));
        EXPECT_EQ(DropTextOfNode(c.node, QString::fromUtf8(c.text), c.kind), QString::fromUtf8(c.drop));
    }
}

} // namespace
