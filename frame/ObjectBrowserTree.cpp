#include "ObjectBrowserTree.h"

#include "BrowserNodeKind.h"
#include "CatalogItem.h"
#include "CatalogReaders.h"
#include "ConnectionList.h"
#include "ObjectBrowserImages.h"
#include "ObjectBrowserItemDelegate.h"
#include "ObjectBrowserNodes.h"
#include "PrivateCatalogConnection.h"
#include "Prompter.h"
#include "connection_rec.h"

#include <QApplication>
#include <QFont>
#include <QSet>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <sqlext.h>

#include <array>
#include <memory>
#include <string>

namespace {

namespace Images = ObjectBrowserImages;
using ObjectBrowserNodes::ImageRole;
using ObjectBrowserNodes::SelectedImageRole;

// The hourglass for the length of a load; the pointer before it comes back afterwards.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

struct Category {
    const QString& Caption;
    std::unique_ptr<StringList> connection_rec::*List;
    bool connection_rec::*Filled;
    int ObjectImage;
};

const std::array<Category, 6>& Categories()
{
    static const std::array<Category, 6> categories{{
        {BrowserCaption::SystemTables, &connection_rec::SystemTables, &connection_rec::SystemTablesFilled, Images::Table},
        {BrowserCaption::Tables, &connection_rec::Tables, &connection_rec::TablesFilled, Images::Table},
        {BrowserCaption::Views, &connection_rec::Views, &connection_rec::ViewsFilled, Images::View},
        {BrowserCaption::Aliases, &connection_rec::Aliases, &connection_rec::AliasesFilled, Images::OtherTable},
        {BrowserCaption::TemporaryTables, &connection_rec::TemporaryTables, &connection_rec::TemporaryTablesFilled,
         Images::OtherTable},
        {BrowserCaption::Procedures, &connection_rec::Procedures, &connection_rec::ProceduresFilled, Images::Procedure},
    }};
    return categories;
}

const Category* CategoryOf(const QString& caption)
{
    for (const Category& c : Categories())
        if (c.Caption == caption) return &c;
    return nullptr;
}

int LevelOf(const QTreeWidgetItem* node)
{
    int level = 0;
    for (const QTreeWidgetItem* p = node->parent(); p; p = p->parent()) ++level;
    return level;
}

QTreeWidgetItem* NewNode(const QString& text, int image, int selectedImage)
{
    auto* item = new QTreeWidgetItem(QStringList(text));
    item->setData(0, ImageRole, image);
    item->setData(0, SelectedImageRole, selectedImage);
    return item;
}

QTreeWidgetItem* AddNode(QTreeWidgetItem* parent, const QString& text, int image, int selectedImage)
{
    QTreeWidgetItem* item = NewNode(text, image, selectedImage);
    parent->addChild(item);
    return item;
}

void AddCategoryNodes(QTreeWidgetItem* root)
{
    for (const QString& caption : BrowserCategoryCaptions())
        AddNode(root, caption, ObjectBrowserNodes::CategoryImage, ObjectBrowserNodes::CategorySelectedImage)
            ->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
}

// The details of one object straight from the record's list, without turning every item of it
// into a QString: an item belongs when its text before its first "||" is the object's text.
QStringList DetailsOfObjectItem(const StringList* items, const std::string& object)
{
    QStringList details;
    if (!items) return details;
    const std::string separator = U_pub::CatalogItemSeparator;
    const std::size_t n = object.size();
    for (const std::string& item : *items) {
        if (item.size() < n + separator.size() || item.compare(0, n, object) != 0 ||
            item.compare(n, separator.size(), separator) != 0 || item.find(separator) != n)
            continue;
        details.append(QString::fromStdString(item.substr(n + separator.size())));
    }
    return details;
}

// The column name that the key marks compare: the text before the first " (".
QString KeyNameOfColumnText(const QString& text)
{
    const qsizetype p = text.indexOf(QStringLiteral(" ("));
    return p < 0 ? text : text.left(p);
}

QStringList ToQStringList(const StringList& list)
{
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(list.size()));
    for (const std::string& s : list) texts.append(QString::fromStdString(s));
    return texts;
}

} // namespace

ObjectBrowserTree::ObjectBrowserTree(QTreeWidget& tree, const ConnectionList& connections)
    : QObject(&tree), tree_(tree), connections_(connections)
{
    tree_.setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree_.setIndentation(19);
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(12);
    tree_.setFont(font);
    tree_.setIconSize(QSize(16, 16));
    // Every node has one line of one font: the view need not measure thousands of them.
    tree_.setUniformRowHeights(true);
    tree_.setItemDelegate(new ObjectBrowserItemDelegate(&tree_));
    connect(&tree_, &QTreeWidget::itemExpanded, this, &ObjectBrowserTree::TreeView_dbObjectExpanded);
}

connection_rec* ObjectBrowserTree::FindConnectionOfNode(QTreeWidgetItem* node) const
{
    connection_rec* rec = ObjectBrowserNodes::RecordOfRoot(ObjectBrowserNodes::RootOf(node));
    return connections_.Contains(rec) ? rec : nullptr;
}

void ObjectBrowserTree::ShowError(const QString& error)
{
    Prompter::Current().Message(error, tree_.window()->windowTitle(), Prompter::Icon::Exclamation, Prompter::Ok);
}

void ObjectBrowserTree::TreeView_dbObjectExpanding(QTreeWidgetItem* node)
{
    const WaitCursor wait;
    QString error;
    if (!ExpandTreeNode(node, false, error)) ShowError(error);
}

void ObjectBrowserTree::TreeView_dbObjectExpanded(QTreeWidgetItem* node) { TreeView_dbObjectExpanding(node); }

bool ObjectBrowserTree::ExpandTreeNode(QTreeWidgetItem* node, bool refresh, QString& error)
{
    connection_rec* rec = node ? FindConnectionOfNode(node) : nullptr;
    if (!rec) return false;
    switch (LevelOf(node)) {
    case 0:
        if (rec->CatalogLoaded && !refresh) return true;
        if (!LoadCatalog(*rec, error)) {
            for (int i = 0; i < node->childCount(); ++i)
                node->child(i)->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
            return false;
        }
        rec->CatalogLoaded = true;
        for (const Category& c : Categories()) rec->*c.Filled = false;
        // A load that failed before took the buttons; this one gives them back.
        for (int i = 0; i < node->childCount(); ++i)
            if (node->child(i)->childCount() == 0)
                node->child(i)->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        return true;
    case 1:
        if (node->childCount() == 0) FillCategoryNode(node, *rec);
        return true;
    case 2:
        if (node->childCount() > 0) return true;
        if (!FillObjectDetails(node, *rec, error)) {
            node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
            tree_.setCurrentItem(node);
            return false;
        }
        return true;
    default:
        return true;
    }
}

bool ObjectBrowserTree::LoadCatalog(connection_rec& rec, QString& error)
{
    PrivateCatalogConnection connection;
    if (!connection.Open(rec, error)) return false;
    const SQLHDBC dbc = connection.Handle();

    auto systemTables = std::make_unique<StringList>(), tables = std::make_unique<StringList>(),
         views = std::make_unique<StringList>(), aliases = std::make_unique<StringList>(),
         otherTables = std::make_unique<StringList>(), temporaryTables = std::make_unique<StringList>(),
         tableColumns = std::make_unique<StringList>(), procedures = std::make_unique<StringList>(),
         procedureColumns = std::make_unique<StringList>();

    // Only the table listing decides the load: when it fails nothing was read that could stand for
    // the connection's catalog. The other readers keep what they read before a failure (one broken
    // view must not hide every table), and a call the driver does not offer gives an empty list.
    std::string failure;
    if (connection.Offers(SQL_API_SQLTABLES))
        U_pub::ListTables(dbc, *systemTables, *tables, *views, *aliases, *otherTables, *temporaryTables, failure);
    if (failure.empty()) {
        std::string columnsError, proceduresError, parametersError;
        if (connection.Offers(SQL_API_SQLCOLUMNS))
            U_pub::ListTableColumns(rec.DbmsKind, dbc, *tableColumns, columnsError);
        if (connection.Offers(SQL_API_SQLPROCEDURES)) U_pub::ListProcedures(dbc, *procedures, proceduresError);
        if (connection.Offers(SQL_API_SQLPROCEDURECOLUMNS))
            U_pub::ListProcedureColumns(dbc, *procedureColumns, parametersError);
        // A listing that found nothing while the next calls fail did fail: the SQLite driver lists
        // a file that is no database as an empty catalog.
        const bool nothingListed = systemTables->empty() && tables->empty() && views->empty() && aliases->empty() &&
                                   otherTables->empty() && temporaryTables->empty();
        if (nothingListed)
            for (const std::string* e : {&columnsError, &proceduresError, &parametersError})
                if (failure.empty()) failure = *e;
    }
    connection.Close();
    if (!failure.empty()) {
        error = QString::fromStdString(failure);
        return false;
    }
    rec.SystemTables = std::move(systemTables);
    rec.Tables = std::move(tables);
    rec.Views = std::move(views);
    rec.Aliases = std::move(aliases);
    rec.OtherTables = std::move(otherTables);
    rec.TemporaryTables = std::move(temporaryTables);
    rec.TableColumns = std::move(tableColumns);
    rec.Procedures = std::move(procedures);
    rec.ProcedureColumns = std::move(procedureColumns);
    return true;
}

bool ObjectBrowserTree::FillCategoryNode(QTreeWidgetItem* node, connection_rec& rec)
{
    if (!node || LevelOf(node) != 1) return false;
    const Category* category = CategoryOf(node->text(0));
    if (!category || rec.*category->Filled) return true;
    const StringList* list = (rec.*category->List).get();
    if (list && !list->empty()) {
        QList<QTreeWidgetItem*> objects;
        objects.reserve(static_cast<qsizetype>(list->size()));
        for (const std::string& item : *list) {
            QTreeWidgetItem* object = NewNode(QString::fromStdString(item), category->ObjectImage, category->ObjectImage);
            object->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
            objects.append(object);
        }
        // One insertion for the whole list keeps a category of thousands quick.
        node->addChildren(objects);
    } else {
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
    }
    rec.*category->Filled = true;
    return true;
}

bool ObjectBrowserTree::FillObjectDetails(QTreeWidgetItem* node, connection_rec& rec, QString& error)
{
    PrivateCatalogConnection connection;
    if (!connection.Open(rec, error)) return false;
    const SQLHDBC dbc = connection.Handle();
    const QString caption = node->parent() ? node->parent()->text(0) : QString();
    const QString objectText = node->text(0);
    const std::string object = objectText.toStdString();
    if (node->childCount() > 0) return true;

    if (IsTableCategoryCaption(caption) && caption != BrowserCaption::Views) {
        QTreeWidgetItem* columns = AddNode(node, BrowserCaption::Columns, Images::ClosedFolder, Images::OpenFolder);
        const ObjectLocation at = SplitObjectItem(objectText);
        const std::string catalog = at.Catalog.toStdString(), schema = at.Schema.toStdString(),
                          table = at.Table.toStdString();
        StringList keys;
        std::string ignored;
        U_pub::ListPrimaryKeyColumns(dbc, catalog, schema, table, keys, ignored);
        QSet<QString> keyNames;
        for (const std::string& key : keys) keyNames.insert(QString::fromStdString(key).toCaseFolded());
        for (const QString& text : DetailsOfObjectItem(rec.TableColumns.get(), object)) {
            const int image =
                keyNames.contains(KeyNameOfColumnText(text).toCaseFolded()) ? Images::KeyColumn : Images::Column;
            AddNode(columns, text, image, image);
        }
        QTreeWidgetItem* indexes = AddNode(node, BrowserCaption::Indexes, Images::ClosedFolder, Images::ClosedFolder);
        StringList indexItems;
        U_pub::ListIndexColumns(dbc, catalog, schema, table, indexItems, ignored);
        for (const IndexNodeTexts& index : GroupIndexItems(ToQStringList(indexItems))) {
            QTreeWidgetItem* indexNode = AddNode(indexes, index.Name, Images::Index, Images::Index);
            for (const QString& column : index.Columns) AddNode(indexNode, column, Images::IndexColumn, Images::IndexColumn);
        }
    } else if (caption == BrowserCaption::Views) {
        QTreeWidgetItem* columns = AddNode(node, BrowserCaption::Columns, Images::ClosedFolder, Images::OpenFolder);
        for (const QString& text : DetailsOfObjectItem(rec.TableColumns.get(), object))
            AddNode(columns, text, Images::Column, Images::Column);
    } else if (caption == BrowserCaption::Procedures) {
        QTreeWidgetItem* parameters =
            AddNode(node, BrowserCaption::Parameters, Images::ClosedFolder, Images::OpenFolder);
        for (const QString& text : DetailsOfObjectItem(rec.ProcedureColumns.get(), object))
            AddNode(parameters, text, Images::Parameter, Images::Parameter);
    }
    return true;
}

void ObjectBrowserTree::Refresh()
{
    const WaitCursor wait;
    QTreeWidgetItem* root = ObjectBrowserNodes::RootOf(tree_.currentItem());
    if (!root) return;
    qDeleteAll(root->takeChildren());
    root->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    AddCategoryNodes(root);
    QString error;
    if (!ExpandTreeNode(root, true, error)) ShowError(error);
}
