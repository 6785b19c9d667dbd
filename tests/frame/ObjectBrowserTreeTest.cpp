// The object browser tree over real SQLite and PostgreSQL catalogs: loading level by level,
// Refresh, failed loads, and the look-up of a node's connection record from its root item.
#include "ObjectBrowserFixture.h"
#include "ObjectBrowserTree.h"

#include <QFile>

#include <fstream>

namespace {

const QStringList CategoryCaptions{"系统表", "用户表", "视图", "别名", "临时表", "存贮过程/函数"};

QString Q(const std::string& s) { return QString::fromStdString(s); }

class BrowserTreeTest : public BrowserFrameTest, public testing::WithParamInterface<BrowserDriver> {
protected:
    void SetUp() override
    {
        BrowserFrameTest::SetUp();
        CreateFixtureSchema(GetParam());
        window = Open(GetParam());
        ASSERT_NE(window, nullptr);
        rec = frame->Connections.FindConnectionByKey(window->ConnectionKey);
        ASSERT_NE(rec, nullptr);
    }
    QString Object(const std::string& name) const { return Q(ObjectText(GetParam(), name)); }
    bool IsPostgreSQL() const { return std::string(GetParam().Name) == "PostgreSQL"; }

    TFMain* window = nullptr;
    connection_rec* rec = nullptr;
};

TEST_P(BrowserTreeTest, LoadsTheFixtureSchemaLevelByLevel)
{
    QTreeWidgetItem* root = Root();
    ASSERT_NE(root, nullptr);
    EXPECT_FALSE(rec->CatalogLoaded) << "nothing is read before the first expansion";
    Expand(root);
    ASSERT_TRUE(rec->CatalogLoaded);
    EXPECT_EQ(ChildTexts(root), CategoryCaptions);
    for (int i = 0; i < root->childCount(); ++i) EXPECT_EQ(root->child(i)->childCount(), 0) << "categories fill later";

    // Tables: sorted without regard to case, each expandable, images 2.
    QTreeWidgetItem* tables = Expand(Child(root, "用户表"));
    EXPECT_EQ(ChildTexts(tables), (QStringList{Object("dated"), Object("orders"), Object("plain")}));
    for (int i = 0; i < tables->childCount(); ++i) {
        EXPECT_EQ(Image(tables->child(i)), 2);
        EXPECT_EQ(SelectedImage(tables->child(i)), 2);
        EXPECT_TRUE(HasExpandButton(tables->child(i)));
    }
    EXPECT_TRUE(rec->TablesFilled);
    QTreeWidgetItem* views = Expand(Child(root, "视图"));
    EXPECT_EQ(ChildTexts(views), QStringList{Object("v_orders")});
    EXPECT_EQ(Image(views->child(0)), 10);
    QTreeWidgetItem* aliases = Expand(Child(root, "别名"));
    EXPECT_EQ(aliases->childCount(), 0);
    EXPECT_FALSE(HasExpandButton(aliases)) << "an empty category loses its expand button";

    // A keyed table: "列" with the key marked, then "索引" with its index and index columns.
    QTreeWidgetItem* orders = Expand(Child(tables, Object("orders")));
    ASSERT_EQ(ChildTexts(orders), (QStringList{"列", "索引"}));
    QTreeWidgetItem* columns = orders->child(0);
    EXPECT_EQ(Image(columns), 1);
    EXPECT_EQ(SelectedImage(columns), 4);
    const QStringList expectedColumns =
        IsPostgreSQL() ? QStringList{"id (int4, Not Null)", "name (varchar(120), Not Null)", "price (numeric(10,2), Null)"}
                       : QStringList{"id (INTEGER, Null)", "name (VARCHAR(30), Not Null)",
                                     "price (DECIMAL(10,2), Null)"};
    EXPECT_EQ(ChildTexts(columns), expectedColumns);
    const std::vector<int> columnImages{16, 17, 17};
    for (int i = 0; i < columns->childCount() && i < 3; ++i) {
        EXPECT_EQ(Image(columns->child(i)), columnImages[i]) << i;
        EXPECT_EQ(SelectedImage(columns->child(i)), columnImages[i]) << i;
    }
    QTreeWidgetItem* indexes = orders->child(1);
    EXPECT_EQ(Image(indexes), 1);
    EXPECT_EQ(SelectedImage(indexes), 1);
    QTreeWidgetItem* index = Child(indexes, "ix_orders_name");
    ASSERT_NE(index, nullptr) << ChildTexts(indexes).join('|').toStdString();
    EXPECT_EQ(Image(index), 20);
    EXPECT_EQ(ChildTexts(index), (QStringList{"1  name, ASC", "2  price, ASC"}));
    EXPECT_EQ(Image(index->child(0)), 14);
    EXPECT_EQ(indexes->childCount(), 2) << "the index and the key's own index";

    // A table without indexes: an empty "索引".
    QTreeWidgetItem* plain = Expand(Child(tables, Object("plain")));
    ASSERT_EQ(ChildTexts(plain), (QStringList{"列", "索引"}));
    EXPECT_EQ(plain->child(1)->childCount(), 0);
    EXPECT_EQ(Image(plain->child(0)->child(0)), 17);

    // A view: "列" only, no key marks.
    QTreeWidgetItem* view = Expand(views->child(0));
    ASSERT_EQ(ChildTexts(view), QStringList{"列"});
    EXPECT_EQ(view->child(0)->childCount(), 2);
    for (int i = 0; i < view->child(0)->childCount(); ++i) EXPECT_EQ(Image(view->child(0)->child(i)), 17);

    QTreeWidgetItem* procedures = Expand(Child(root, "存贮过程/函数"));
    if (IsPostgreSQL()) {
        QTreeWidgetItem* function = Child(procedures, "shop.add_one");
        ASSERT_NE(function, nullptr) << ChildTexts(procedures).join('|').toStdString();
        EXPECT_EQ(Image(function), 21);
        Expand(function);
        ASSERT_EQ(ChildTexts(function), QStringList{"参数"});
        // The driver reports the function's result as a parameter of its own.
        EXPECT_EQ(ChildTexts(function->child(0)), (QStringList{"0  (RETURN_VALUE int4, Null)", "1 x (IN int4, Null)"}));
        EXPECT_EQ(Image(function->child(0)->child(1)), 22);
    } else {
        EXPECT_EQ(procedures->childCount(), 0);
        EXPECT_FALSE(HasExpandButton(procedures));
    }

    // Collapsing and expanding the root again reads nothing: a table made since does not show.
    TestConnection(GetParam().Dsn()).Exec("CREATE TABLE " + ObjectText(GetParam(), "added") + " (x INTEGER)");
    Tree().collapseItem(root);
    Expand(root);
    EXPECT_EQ(ChildTexts(tables).size(), 3);
    EXPECT_EQ(std::count(rec->Tables->begin(), rec->Tables->end(), ObjectText(GetParam(), "added")), 0);
    EXPECT_TRUE(prompter.Prompts.empty());
}

TEST_P(BrowserTreeTest, RefreshFromADeepNodeRebuildsTheConnectionAndReadsTheNewTable)
{
    QTreeWidgetItem* column = Path(Root(), {"用户表", Object("orders"), "列"})->child(0);
    ASSERT_NE(column, nullptr);
    TestConnection(GetParam().Dsn()).Exec("CREATE TABLE " + ObjectText(GetParam(), "added") + " (x INTEGER)");

    Tree().setCurrentItem(column);
    frame->N_refreshDBObject->trigger();
    Settle();
    QTreeWidgetItem* root = Root();
    ASSERT_EQ(ChildTexts(root), CategoryCaptions);
    for (int i = 0; i < root->childCount(); ++i) {
        QTreeWidgetItem* category = root->child(i);
        EXPECT_EQ(category->childCount(), 0);
        EXPECT_FALSE(category->isExpanded());
        EXPECT_TRUE(HasExpandButton(category));
        EXPECT_EQ(Image(category), 1);
        EXPECT_EQ(SelectedImage(category), 4);
    }
    EXPECT_TRUE(rec->CatalogLoaded);
    EXPECT_FALSE(rec->TablesFilled) << "the new load clears the filled marks";
    EXPECT_EQ(ChildTexts(Expand(Child(root, "用户表"))),
              (QStringList{Object("added"), Object("dated"), Object("orders"), Object("plain")}));
    EXPECT_TRUE(prompter.Prompts.empty());
}

TEST_P(BrowserTreeTest, AFailedConnectionAtTheRootTakesTheButtonsAndALaterLoadGivesThemBack)
{
    const QString dsn = rec->DSN;
    rec->DSN = "TarnvaleNoSuchSource";
    Expand(Root());
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_TRUE(prompter.Prompts[0].Text.contains("Data source name not found")) << prompter.Prompts[0].Text.toStdString();
    EXPECT_EQ(prompter.Prompts[0].Caption, frame->windowTitle());
    EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(prompter.Prompts[0].Buttons, Prompter::Ok);
    EXPECT_FALSE(rec->CatalogLoaded);
    EXPECT_EQ(rec->Tables, nullptr);
    for (int i = 0; i < Root()->childCount(); ++i) EXPECT_FALSE(HasExpandButton(Root()->child(i)));

    rec->DSN = dsn;
    Tree().collapseItem(Root());
    Expand(Root());
    EXPECT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_TRUE(rec->CatalogLoaded);
    for (int i = 0; i < Root()->childCount(); ++i) EXPECT_TRUE(HasExpandButton(Root()->child(i)));
    EXPECT_EQ(Expand(Child(Root(), "用户表"))->childCount(), 3);
}

TEST_P(BrowserTreeTest, AFailedObjectLoadTakesTheObjectsButtonAndSelectsIt)
{
    QTreeWidgetItem* tables = Path(Root(), {"用户表"});
    QTreeWidgetItem* orders = Child(tables, Object("orders"));
    rec->DSN = "TarnvaleNoSuchSource";
    Expand(orders);
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_TRUE(prompter.Prompts[0].Text.contains("Data source name not found"));
    EXPECT_EQ(orders->childCount(), 0);
    EXPECT_FALSE(HasExpandButton(orders));
    EXPECT_EQ(Tree().currentItem(), orders);
}

INSTANTIATE_TEST_SUITE_P(Drivers, BrowserTreeTest, testing::ValuesIn(BrowserDrivers),
                         [](const testing::TestParamInfo<BrowserDriver>& info) { return std::string(info.param.Name); });

// A data source of this test process's own, added to its DSN file.
void AddDataSource(const std::string& name, const std::string& database)
{
    std::ofstream f(TestDsn::DsnFile(), std::ios::app);
    f << "\n[" << name << "]\nDriver=SQLite3\nDatabase=" << database << "\nTimeout=5000\n";
}

TEST_F(BrowserFrameTest, ACatalogWhoseCallsFailIsNotTakenForLoaded)
{
    // The driver connects to any file; its catalog calls fail on one that is no database.
    const std::string file = TestDsn::ScratchDir() + "/not-a-database.db";
    {
        std::ofstream garbage(file, std::ios::binary | std::ios::trunc);
        for (int i = 0; i < 512; ++i) garbage << "not a database file ";
    }
    AddDataSource("TarnvaleBrowserBroken", file);
    TFMain* w = Open("TarnvaleBrowserBroken", "SQLite");
    ASSERT_NE(w, nullptr);
    connection_rec* rec = frame->Connections.Head();
    Expand(Root());
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_TRUE(prompter.Prompts[0].Text.contains("not a database")) << prompter.Prompts[0].Text.toStdString();
    EXPECT_FALSE(rec->CatalogLoaded);
    EXPECT_EQ(rec->TableColumns, nullptr) << "a failed load leaves the record as it was";
    for (int i = 0; i < Root()->childCount(); ++i) EXPECT_FALSE(HasExpandButton(Root()->child(i)));

    // The file becomes a database: the next expansion loads, and the categories open again.
    QFile::remove(QString::fromStdString(file));
    TestConnection("TarnvaleBrowserBroken").Exec("CREATE TABLE t (a INTEGER)");
    Tree().collapseItem(Root());
    Expand(Root());
    EXPECT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_TRUE(rec->CatalogLoaded);
    for (int i = 0; i < Root()->childCount(); ++i) EXPECT_TRUE(HasExpandButton(Root()->child(i)));
    EXPECT_EQ(ChildTexts(Expand(Child(Root(), "用户表"))), QStringList{"t"});
}

TEST_F(BrowserFrameTest, ABrokenViewHidesNothingElseOfTheCatalog)
{
    // The view's table is gone: reading the view's columns fails, the table listing does not.
    const std::string file = TestDsn::ScratchDir() + "/broken-view.db";
    QFile::remove(QString::fromStdString(file));
    AddDataSource("TarnvaleBrowserBrokenView", file);
    {
        TestConnection db("TarnvaleBrowserBrokenView");
        ASSERT_TRUE(db.Ok());
        for (const char* sql : {"CREATE TABLE gone (a INTEGER)", "CREATE VIEW v_broken AS SELECT a FROM gone",
                                "CREATE TABLE kept (k INTEGER PRIMARY KEY, name VARCHAR(10))",
                                "CREATE VIEW v_kept AS SELECT k FROM kept", "DROP TABLE gone"})
            ASSERT_TRUE(db.Exec(sql)) << sql;
    }
    TFMain* w = Open("TarnvaleBrowserBrokenView", "SQLite");
    ASSERT_NE(w, nullptr);
    connection_rec* rec = frame->Connections.Head();

    auto expectCatalogShown = [&](const char* when) {
        SCOPED_TRACE(when);
        EXPECT_TRUE(prompter.Prompts.empty()) << (prompter.Prompts.empty() ? "" : prompter.Prompts[0].Text.toStdString());
        EXPECT_TRUE(rec->CatalogLoaded);
        EXPECT_EQ(ChildTexts(Expand(Child(Root(), "用户表"))), QStringList{"kept"});
        EXPECT_EQ(ChildTexts(Expand(Child(Root(), "视图"))), (QStringList{"v_broken", "v_kept"}));
        EXPECT_NE(Path(Root(), {"用户表", "kept", "索引"}), nullptr) << "the table's details open";
    };
    Expand(Root());
    expectCatalogShown("first load");

    // Refresh loads the same partial catalog again, without a message.
    Tree().setCurrentItem(Root());
    frame->N_refreshDBObjectClick();
    Settle();
    expectCatalogShown("after Refresh");
}

TEST_F(BrowserFrameTest, NodesFindTheirRecordThroughTheirRootItem)
{
    // A data source whose name holds "(", and two records with one data source and user.
    TestConnection(TestDsn::SQLiteDsn()).Exec("CREATE TABLE IF NOT EXISTS lookup_t (a INTEGER)");
    AddDataSource("TarnvaleBrowser(paren)", TestDsn::ScratchDir() + "/test.db");
    ASSERT_NE(Open("TarnvaleBrowser(paren)", "SQLite"), nullptr);
    const QString pg = QString::fromLatin1(TestDsn::PgDsn());
    ASSERT_NE(Open(pg, "PostgreSQL", "postgres", "first"), nullptr);
    ASSERT_NE(Open(pg, "PostgreSQL", "postgres", "second"), nullptr);
    ASSERT_EQ(frame->Connections.Count(), 3);
    connection_rec* paren = frame->Connections.Head();
    connection_rec* first = paren->Next;
    connection_rec* second = first->Next;
    ASSERT_EQ(Tree().topLevelItemCount(), 3);
    EXPECT_EQ(Root(0)->text(0), "TarnvaleBrowser(paren)()");
    EXPECT_EQ(Root(1)->text(0), Root(2)->text(0));

    for (auto [root, rec] : {std::pair{Root(0), paren}, std::pair{Root(1), first}, std::pair{Root(2), second}}) {
        EXPECT_EQ(frame->FindConnectionOfNode(root), rec);
        EXPECT_EQ(frame->BrowserTree->FindConnectionOfNode(root->child(3)), rec);
    }
    // The second root of one text loads its own record, not the older one.
    Expand(Root(2));
    EXPECT_TRUE(second->CatalogLoaded);
    EXPECT_FALSE(first->CatalogLoaded);
    QTreeWidgetItem* table = Child(Path(Root(0), {"用户表"}), "lookup_t");
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(paren->CatalogLoaded);
    EXPECT_EQ(frame->FindConnectionOfNode(Expand(table)->child(0)), paren);
    EXPECT_TRUE(prompter.Prompts.empty());
}

} // namespace
