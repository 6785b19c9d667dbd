#include "ObjectBrowserNodes.h"

#include "BrowserNodeKind.h"
#include "QueryWindowNaming.h"
#include "connection_rec.h"

#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <QVariant>

namespace ObjectBrowserNodes {

QTreeWidgetItem* AddConnectionNodes(QTreeWidget& tree, connection_rec& rec)
{
    auto* root = new QTreeWidgetItem(QStringList{QueryWindowNaming::ConnectionNodeText(rec.DSN, rec.User)});
    root->setData(0, ImageRole, ConnectionImage);
    root->setData(0, SelectedImageRole, ConnectionImage);
    // The node finds its record through this reference, never by taking its text apart.
    root->setData(0, RecordRole, QVariant::fromValue(reinterpret_cast<quintptr>(&rec)));
    for (const QString& caption : BrowserCategoryCaptions()) {
        auto* category = new QTreeWidgetItem(root, QStringList{caption});
        category->setData(0, ImageRole, CategoryImage);
        category->setData(0, SelectedImageRole, CategorySelectedImage);
        category->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
    tree.addTopLevelItem(root);
    return root;
}

QTreeWidgetItem* RootOf(QTreeWidgetItem* node)
{
    while (node && node->parent()) node = node->parent();
    return node;
}

connection_rec* RecordOfRoot(const QTreeWidgetItem* root)
{
    if (!root || root->parent()) return nullptr;
    return reinterpret_cast<connection_rec*>(root->data(0, RecordRole).value<quintptr>());
}

QTreeWidgetItem* FindConnectionRoot(const QTreeWidget& tree, const connection_rec* rec)
{
    if (!rec) return nullptr;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        if (RecordOfRoot(tree.topLevelItem(i)) == rec) return tree.topLevelItem(i);
    return nullptr;
}

} // namespace ObjectBrowserNodes
