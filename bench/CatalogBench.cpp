// The object browser over a large PostgreSQL catalog: expanding the connection root (the catalog
// load), "用户表" (one node per table) and one table with its "列" (key and index read over a
// connection of its own), timed through the real tree under the offscreen platform.
//
// Expects the data source BenchPGCatalog (bench/run.sh makes it and its database "catalog").
#include "ConnectionList.h"
#include "ObjectBrowserNodes.h"
#include "ObjectBrowserTree.h"
#include "ODBCIntf.h"
#include "Prompter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>

namespace {

// A failure shows its text on standard error instead of a message box.
class ConsolePrompter : public Prompter {
public:
    Button Message(const QString& text, const QString&, Icon, int) override
    {
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
        ++Messages;
        return Ok;
    }
    int Messages = 0;
};

QTreeWidgetItem* ChildWithText(QTreeWidgetItem* node, const QString& text)
{
    for (int i = 0; node && i < node->childCount(); ++i)
        if (node->child(i)->text(0) == text) return node->child(i);
    return nullptr;
}

// Expands the node and lets the view lay itself out and paint; the milliseconds it all took.
double TimedExpand(QTreeWidget& tree, QTreeWidgetItem* node)
{
    QElapsedTimer timer;
    timer.start();
    tree.scrollToItem(node);
    tree.expandItem(node);
    QCoreApplication::processEvents();
    tree.viewport()->repaint();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString dsn = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("BenchPGCatalog");
    const QString table = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("public.t02500");
    if (!ODBCIntf::LoadODBC(ODBCIntf::DefaultLibraryName)) {
        std::fprintf(stderr, "the ODBC driver manager cannot be loaded\n");
        return 1;
    }
    ConsolePrompter prompter;
    Prompter::Install(&prompter);

    ConnectionList connections;
    connection_rec* rec =
        connections.Attach(QStringLiteral("PostgreSQL===") + dsn + QStringLiteral(";postgres,;"), 20,
                           QStringLiteral("postgres"), QString(), dsn)
            .Record;
    QTreeWidget tree;
    tree.setHeaderHidden(true);
    tree.resize(255, 700);
    ObjectBrowserTree browser(tree, connections);
    QTreeWidgetItem* root = ObjectBrowserNodes::AddConnectionNodes(tree, *rec);
    tree.show();
    QCoreApplication::processEvents();

    const double load = TimedExpand(tree, root);
    QTreeWidgetItem* tables = ChildWithText(root, QStringLiteral("用户表"));
    const double category = TimedExpand(tree, tables);
    QTreeWidgetItem* object = ChildWithText(tables, table);
    if (!object || prompter.Messages) {
        std::fprintf(stderr, "the catalog did not load: no table %s\n", table.toUtf8().constData());
        return 1;
    }
    const double details = TimedExpand(tree, object);
    QTreeWidgetItem* columns = object->childCount() ? object->child(0) : nullptr;
    const double columnGroup = columns ? TimedExpand(tree, columns) : 0;

    std::printf("object browser over %zu tables and %zu table columns (%s)\n", rec->Tables ? rec->Tables->size() : 0,
                rec->TableColumns ? rec->TableColumns->size() : 0, dsn.toUtf8().constData());
    std::printf("  expand the connection, loading the catalog: %9.1f ms\n", load);
    std::printf("  expand \"用户表\", %d table nodes:           %9.1f ms\n", tables->childCount(), category);
    std::printf("  expand %s, reading key and indexes: %9.1f ms\n", table.toUtf8().constData(), details);
    std::printf("  expand its \"列\", %d column nodes:           %9.1f ms\n", columns ? columns->childCount() : 0,
                columnGroup);
    Prompter::Install(nullptr);
    return 0;
}
