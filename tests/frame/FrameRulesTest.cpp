// The frame's rules that need no widget: DBMS kinds, connection keys, window names and sizes,
// result-file names and the connection records.
#include "ConnectionKey.h"
#include "ConnectionList.h"
#include "DbmsKindOf.h"
#include "DefaultWindowSize.h"
#include "QueryWindowNaming.h"
#include "ResultFileName.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct KindCase {
    const char* Key;
    TDbmsKind Kind;
};

std::ostream& operator<<(std::ostream& os, const KindCase& c) { return os << '"' << c.Key << "\" -> " << c.Kind; }

class DbmsKindOfKey : public testing::TestWithParam<KindCase> {};

TEST_P(DbmsKindOfKey, FirstMatchingRuleDecides)
{
    EXPECT_EQ(DbmsKindOf(QString::fromUtf8(GetParam().Key)), GetParam().Kind);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DbmsKindOfKey,
    testing::Values(
        KindCase{"DB2/LINUXX8664===SAMPLE;db2inst1,pw;", 1}, KindCase{"db2===x;u,p;", 1},
        // "Microsoft SQL Server" is tested before the "SQL Server" of the Sybase family.
        KindCase{"Microsoft SQL Server===mssql;sa,pw;", 2}, KindCase{"MICROSOFT SQL SERVER===m;,;", 2},
        KindCase{"SQL Server===syb;sa,;", 4}, KindCase{"Adaptive Server Enterprise===ase;sa,;", 4},
        KindCase{"Adaptive Server Anywhere===asa;dba,sql;", 4}, KindCase{"AdaptiveX===a;,;", 4},
        KindCase{"Sybase SQL Server===s;,;", 4}, KindCase{"Oracle===orcl;scott,tiger;", 3},
        KindCase{"Informix===ifx;informix,;", 5}, KindCase{"ACCESS===Northwind;admin,;", 6},
        KindCase{"MySQL===shop;root,;", 7},
        // FOXPRO is found anywhere in the key, data source, user and password included...
        KindCase{"Visual FoxPro===vfp;,;", 8}, KindCase{"SQLite===foxpro_data;,;", 8},
        KindCase{"PostgreSQL===pg;FoxPro,;", 8}, KindCase{"PostgreSQL===pg;u,myFOXPROpw;", 8},
        KindCase{"===FoxPro;,;", 8},
        // ...but only after every earlier rule.
        KindCase{"MySQL===foxpro;,;", 7}, KindCase{"Oracle===foxpro;,;", 3},
        KindCase{"PARADOX===p;,;", 9}, KindCase{"EXCEL===e;,;", 10}, KindCase{"Text===csvdir;,;", 11},
        // The other rules look at the start of the key only.
        KindCase{"PostgreSQL===DB2;,;", 20}, KindCase{"SQLite===TarnvaleSQLite;,;", 20},
        KindCase{"MariaDB===m;,;", 20}, KindCase{"===TarnvaleSQLite;,;", 20}, KindCase{"", 20},
        KindCase{" DB2===x;,;", 20}));

TEST(ConnectionKey, JoinsTheFourPartsWithoutEscaping)
{
    struct Case {
        const char *Dbms, *Dsn, *User, *Password, *Key;
    };
    for (const Case& c : {Case{"SQLite", "TarnvaleSQLite", "", "", "SQLite===TarnvaleSQLite;,;"},
                          Case{"PostgreSQL", "pg", "postgres", "", "PostgreSQL===pg;postgres,;"},
                          Case{"", "dsn", "u", "p", "===dsn;u,p;"},
                          Case{"Oracle", "o", "a;b", "c,d;", "Oracle===o;a;b,c,d;;"},
                          Case{"MySQL", "数据", "用户", "口令", "MySQL===数据;用户,口令;"}}) {
        SCOPED_TRACE(c.Key);
        EXPECT_EQ(ConnectionKey::Build(QString::fromUtf8(c.Dbms), QString::fromUtf8(c.Dsn), QString::fromUtf8(c.User),
                                       QString::fromUtf8(c.Password)),
                  QString::fromUtf8(c.Key));
    }
}

TEST(QueryWindowNaming, TitleCaptionNumberAndNodeText)
{
    EXPECT_EQ(QueryWindowNaming::QueryWindowTitle(1), "无标题1");
    EXPECT_EQ(QueryWindowNaming::QueryWindowTitle(65536), "无标题65536");
    EXPECT_EQ(QueryWindowNaming::WindowNumberOf("无标题1"), 1);
    EXPECT_EQ(QueryWindowNaming::WindowNumberOf("无标题70000"), 70000);
    EXPECT_EQ(QueryWindowNaming::WindowNumberOf("script.sql"), 0);
    EXPECT_EQ(QueryWindowNaming::QueryWindowCaption("TarnvaleSQLite", "", "无标题1"), "查询 -- TarnvaleSQLite\\  --无标题1");
    EXPECT_EQ(QueryWindowNaming::QueryWindowCaption("pg", "postgres", "无标题12"), "查询 -- pg\\postgres  --无标题12");
    EXPECT_EQ(QueryWindowNaming::ConnectionNodeText("pg", "postgres"), "pg(postgres)");
    EXPECT_EQ(QueryWindowNaming::ConnectionNodeText("TarnvaleSQLite", ""), "TarnvaleSQLite()");
}

TEST(DefaultFirstWindowSize, OnlyTheListedScreensHaveOne)
{
    struct Case {
        QSize Screen;
        std::optional<QSize> Window;
    };
    for (const Case& c : {Case{{1024, 768}, QSize(562, 446)}, Case{{800, 600}, QSize(404, 328)},
                          Case{{640, 480}, QSize(266, 230)}, Case{{1152, 864}, QSize(646, 498)},
                          Case{{1280, 768}, QSize(818, 446)}, Case{{1280, 1024}, QSize(730, 614)},
                          Case{{1920, 1080}, std::nullopt}, Case{{768, 1024}, std::nullopt},
                          Case{{1280, 800}, std::nullopt}}) {
        SCOPED_TRACE(std::to_string(c.Screen.width()) + "x" + std::to_string(c.Screen.height()));
        EXPECT_EQ(DefaultFirstWindowSize(c.Screen), c.Window);
    }
}

TEST(ResultFileName, TheChosenFilterCompletesTheName)
{
    struct Case {
        const char* Chosen;
        int Filter;
        const char* Result;
    };
    for (const Case& c : {Case{"/tmp/result", 1, "/tmp/result.txt"}, Case{"/tmp/result.TXT", 1, "/tmp/result.TXT"},
                          Case{"/tmp/result.txt", 1, "/tmp/result.txt"}, Case{"/tmp/result.csv", 1, "/tmp/result.csv.txt"},
                          Case{"/tmp/result.txt", 2, "/tmp/result.txt.csv"}, Case{"/tmp/result.Csv", 2, "/tmp/result.Csv"},
                          Case{"/tmp/result", 2, "/tmp/result.csv"}, Case{"/tmp/result", 3, "/tmp/result"},
                          Case{"/tmp/result.txt", 3, "/tmp/result.txt"}, Case{"/tmp/result", 0, "/tmp/result"},
                          Case{"txt", 1, "txt.txt"}, Case{".txt", 1, ".txt"}}) {
        SCOPED_TRACE(std::string(c.Chosen) + " / " + std::to_string(c.Filter));
        EXPECT_EQ(ResultFileName::Complete(c.Chosen, c.Filter), c.Result);
    }
}

std::vector<QString> Keys(const ConnectionList& list)
{
    std::vector<QString> keys;
    for (connection_rec* r = list.Head(); r; r = r->Next) keys.push_back(r->Key);
    return keys;
}

TEST(ConnectionList, OneRecordPerKeyThroughAttachAndRelease)
{
    ConnectionList list;
    EXPECT_EQ(list.Head(), nullptr);
    EXPECT_EQ(list.Release("nothing").Record, nullptr);

    const auto first = list.Attach("SQLite===a;u,p;", 20, "u", "p", "a");
    ASSERT_NE(first.Record, nullptr);
    EXPECT_TRUE(first.NodesNeeded);
    EXPECT_EQ(first.Record->WindowCount, 1);
    EXPECT_EQ(first.Record->DbmsKind, 20);
    EXPECT_FALSE(first.Record->CatalogLoaded);
    EXPECT_EQ(list.Head(), first.Record);
    EXPECT_EQ(list.Tail(), first.Record);

    const auto again = list.Attach("SQLite===a;u,p;", 7, "x", "y", "z");
    EXPECT_EQ(again.Record, first.Record);
    EXPECT_FALSE(again.NodesNeeded);
    EXPECT_EQ(first.Record->WindowCount, 2);
    // A further window leaves the record's other fields as the first one made them.
    EXPECT_EQ(first.Record->DbmsKind, 20);
    EXPECT_EQ(first.Record->DSN, "a");

    // Same data source and user, another password: another key, another record.
    const auto other = list.Attach("SQLite===a;u,q;", 20, "u", "q", "a");
    EXPECT_NE(other.Record, first.Record);
    EXPECT_TRUE(other.NodesNeeded);
    EXPECT_EQ(list.Tail(), other.Record);
    EXPECT_EQ(first.Record->Next, other.Record);
    // Keys compare exactly.
    EXPECT_EQ(list.FindConnectionByKey("sqlite===a;u,p;"), nullptr);
    EXPECT_EQ(list.FindConnectionByKey("SQLite===a;u,q;"), other.Record);

    first.Record->Tables = std::make_unique<StringList>(StringList{"main.t"});
    first.Record->TableColumns = std::make_unique<StringList>(StringList{"main.t||id"});
    first.Record->CatalogLoaded = true;
    first.Record->TablesFilled = true;

    auto released = list.Release("SQLite===a;u,p;");
    EXPECT_EQ(released.Record, first.Record);
    EXPECT_FALSE(released.Dormant);
    EXPECT_TRUE(first.Record->CatalogLoaded) << "the catalog stays while a window remains";
    ASSERT_NE(first.Record->Tables, nullptr);

    released = list.Release("SQLite===a;u,p;");
    EXPECT_TRUE(released.Dormant);
    EXPECT_EQ(first.Record->WindowCount, 0);
    EXPECT_FALSE(first.Record->CatalogLoaded);
    EXPECT_FALSE(first.Record->TablesFilled);
    EXPECT_EQ(first.Record->Tables, nullptr);
    EXPECT_EQ(first.Record->TableColumns, nullptr);

    // Never below zero.
    released = list.Release("SQLite===a;u,p;");
    EXPECT_FALSE(released.Dormant);
    EXPECT_EQ(first.Record->WindowCount, 0);

    // The dormant record comes back; the list never grows a second one for its key.
    const auto back = list.Attach("SQLite===a;u,p;", 20, "u", "p", "a");
    EXPECT_EQ(back.Record, first.Record);
    EXPECT_TRUE(back.NodesNeeded);
    EXPECT_EQ(back.Record->WindowCount, 1);
    EXPECT_EQ(Keys(list), (std::vector<QString>{"SQLite===a;u,p;", "SQLite===a;u,q;"}));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_TRUE(list.Contains(first.Record));
    connection_rec stranger;
    EXPECT_FALSE(list.Contains(&stranger));
    EXPECT_FALSE(list.Contains(nullptr));
}

} // namespace
