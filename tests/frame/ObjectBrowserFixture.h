// The frame with query windows opened on real data sources, as the connect dialog opens them, and
// helpers that walk and click the object browser tree.
#pragma once

#include "ConnectionKey.h"
#include "FrameTestSupport.h"
#include "ODBCIntf.h"
#include "ObjectBrowserNodes.h"
#include "ProgramGlobals.h"
#include "QueryWindowNaming.h"
#include "Settings.h"
#include "TFMain.h"
#include "TFMain_mul.h"
#include "TestConnection.h"
#include "TestDsn.h"
#include "connection_rec.h"

#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// A driver under test, and its fixture schema.
struct BrowserDriver {
    const char* Name;
    const char* (*Dsn)();
    const char* DbmsName;
    // The object text of a table: "shop.orders" on PostgreSQL, "orders" on SQLite.
    const char* Schema;
};

inline void PrintTo(const BrowserDriver& d, std::ostream* os) { *os << d.Name; }

inline std::string ObjectText(const BrowserDriver& d, const std::string& name)
{
    return *d.Schema ? std::string(d.Schema) + "." + name : name;
}

// The schema every test starts from: a keyed table of 150 rows with one index, a table without
// indexes, a table whose column name holds a blank, a view, and on PostgreSQL a function.
inline void CreateFixtureSchema(const BrowserDriver& d)
{
    TestConnection c(d.Dsn());
    ASSERT_TRUE(c.Ok());
    const std::string s = *d.Schema ? std::string(d.Schema) + "." : std::string();
    if (*d.Schema) {
        c.Exec("DROP SCHEMA IF EXISTS shop CASCADE");
        c.Exec("CREATE SCHEMA shop");
    } else {
        for (const char* sql : {"DROP VIEW IF EXISTS v_orders", "DROP TABLE IF EXISTS orders", "DROP TABLE IF EXISTS plain",
                                "DROP TABLE IF EXISTS dated", "DROP TABLE IF EXISTS added",
                                "DROP TABLE IF EXISTS lookup_t"})
            c.Exec(sql);
    }
    c.Exec("CREATE TABLE " + s + "orders (id INTEGER PRIMARY KEY, name VARCHAR(30) NOT NULL, price DECIMAL(10,2))");
    c.Exec("CREATE INDEX ix_orders_name ON " + s + "orders (name, price)");
    c.Exec("CREATE TABLE " + s + "plain (a VARCHAR(5))");
    c.Exec("CREATE TABLE " + s + "dated (\"order date\" DATE, n INTEGER)");
    c.Exec("CREATE VIEW " + s + "v_orders AS SELECT id, name FROM " + s + "orders");
    if (*d.Schema) {
        c.Exec("INSERT INTO shop.orders SELECT n, 'name ' || n, n / 10.0 FROM generate_series(1, 150) n");
        c.Exec("CREATE FUNCTION shop.add_one(x INTEGER) RETURNS INTEGER LANGUAGE SQL AS 'SELECT x + 1'");
    } else {
        c.Exec("WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c WHERE n < 150) "
               "INSERT INTO orders SELECT n, 'name ' || n, n / 10.0 FROM c");
    }
}

inline const BrowserDriver BrowserDrivers[] = {
    {"SQLite", TestDsn::SQLiteDsn, "SQLite", ""},
    {"PostgreSQL", TestDsn::PgDsn, "PostgreSQL", "shop"},
};

class BrowserFrameTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ODBCIntf::LoadODBC(nullptr));
        Settings::ResetToStartValues();
        Settings::StatementSeparator = QStringLiteral(";");
        Settings::AutoCommit = true;
        frame = std::make_unique<TFMain_mul>();
        frame->resize(1100, 800);
        frame->show();
        Settle();
    }
    void TearDown() override
    {
        for (TFMain* w : frame->QueryWindows()) {
            w->RichEdit_sql->document()->setModified(false);
            if (QMdiSubWindow* sub = frame->SubWindowOf(w)) sub->close();
        }
        Settle();
        frame.reset();
        Settings::ResetToStartValues();
    }

    // Opens a query window on the data source as the connect dialog's OK does; none on failure.
    TFMain* Open(const QString& dsn, const QString& dbmsName, const QString& user = {}, const QString& password = {})
    {
        NewConnectionKey = ConnectionKey::Build(dbmsName, dsn, user, password);
        NewConnectionUser = user;
        NewConnectionPassword = password;
        NewConnectionDSN = dsn;
        ++WindowCounter;
        const auto before = frame->QueryWindows().size();
        frame->OpenQueryWindow(QueryWindowNaming::QueryWindowTitle(WindowCounter), true);
        frame->menu_tools_dbobject_showClick();
        Settle();
        return frame->QueryWindows().size() > before ? frame->ActiveQueryWindow() : nullptr;
    }
    TFMain* Open(const BrowserDriver& d) { return Open(QString::fromLatin1(d.Dsn()), QString::fromLatin1(d.DbmsName)); }

    QTreeWidget& Tree() const { return *frame->TreeView_dbObject; }
    QTreeWidgetItem* Root(int i = 0) const { return Tree().topLevelItem(i); }

    // The child of node with the text; none when there is none.
    static QTreeWidgetItem* Child(QTreeWidgetItem* node, const QString& text)
    {
        for (int i = 0; node && i < node->childCount(); ++i)
            if (node->child(i)->text(0) == text) return node->child(i);
        return nullptr;
    }
    static QStringList ChildTexts(const QTreeWidgetItem* node)
    {
        QStringList texts;
        for (int i = 0; node && i < node->childCount(); ++i) texts << node->child(i)->text(0);
        return texts;
    }
    static int Image(const QTreeWidgetItem* node) { return node->data(0, ObjectBrowserNodes::ImageRole).toInt(); }
    static int SelectedImage(const QTreeWidgetItem* node)
    {
        return node->data(0, ObjectBrowserNodes::SelectedImageRole).toInt();
    }
    static bool HasExpandButton(const QTreeWidgetItem* node)
    {
        return node->childCount() > 0 || node->childIndicatorPolicy() == QTreeWidgetItem::ShowIndicator;
    }

    // Expands the node as the user does (the tree's expansion runs the loading).
    QTreeWidgetItem* Expand(QTreeWidgetItem* node)
    {
        EXPECT_NE(node, nullptr);
        if (!node) return nullptr;
        Tree().scrollToItem(node);
        Tree().expandItem(node);
        Settle();
        return node;
    }
    // Follows the texts down from a root, expanding each node on the way.
    QTreeWidgetItem* Path(QTreeWidgetItem* root, const QStringList& texts)
    {
        QTreeWidgetItem* node = Expand(root);
        for (const QString& text : texts) {
            node = Child(node, text);
            EXPECT_NE(node, nullptr) << "no node " << text.toStdString();
            if (!node) return nullptr;
            Expand(node);
        }
        return node;
    }

    // A mouse press on the node, in the tree viewport's coordinates.
    void Press(QTreeWidgetItem* node, Qt::MouseButton button, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        Tree().scrollToItem(node);
        Settle();
        Press(Tree().visualItemRect(node).center(), button, modifiers);
    }
    void Press(QPoint at, Qt::MouseButton button, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* viewport = Tree().viewport();
        QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), button, button, modifiers);
        QCoreApplication::sendEvent(viewport, &press);
        pressedAt = at;
    }
    // Moves the mouse with the left button held, then lets it go.
    void DragBy(QPoint by)
    {
        QWidget* viewport = Tree().viewport();
        const QPoint to = pressedAt + by;
        QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, to, viewport->mapToGlobal(to), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &release);
        Settle();
    }

    RecordingPrompter prompter;
    std::unique_ptr<TFMain_mul> frame;
    QPoint pressedAt;
};
