// The nodes that a connection puts into the object browser tree: its root, which keeps a reference
// to its connection record, and the six category nodes under it.
#pragma once

#include <Qt>

class QTreeWidget;
class QTreeWidgetItem;
struct connection_rec;

namespace ObjectBrowserNodes {

// Item data: the image-list index of a node, normal and selected, and the root's record.
inline constexpr int ImageRole = Qt::UserRole + 1;
inline constexpr int SelectedImageRole = Qt::UserRole + 2;
inline constexpr int RecordRole = Qt::UserRole + 3;

inline constexpr int ConnectionImage = 18;
inline constexpr int CategoryImage = 1;
inline constexpr int CategorySelectedImage = 4;

// Appends the record's root node (text DSN + "(" + user + ")") behind the other roots, with its
// six category nodes, collapsed and marked expandable.
QTreeWidgetItem* AddConnectionNodes(QTreeWidget& tree, connection_rec& rec);
// The level-0 ancestor of a node (the node itself at level 0); none for none.
QTreeWidgetItem* RootOf(QTreeWidgetItem* node);
// The record a root node was made for, as stored on it; none on any other node.
connection_rec* RecordOfRoot(const QTreeWidgetItem* root);
// The root node of the record; none when the tree holds none.
QTreeWidgetItem* FindConnectionRoot(const QTreeWidget& tree, const connection_rec* rec);

} // namespace ObjectBrowserNodes
