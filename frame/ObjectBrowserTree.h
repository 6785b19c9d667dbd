// The object browser tree's loading: each connection root loads the connection's catalog into its
// record at its first expansion, each category fills from those lists, each object reads its
// primary key and indexes when first expanded, and Refresh rebuilds a connection's subtree. Every
// load opens a connection of its own with the record's data source, user and password.
#pragma once

#include <QObject>
#include <QString>

class ConnectionList;
class QTreeWidget;
class QTreeWidgetItem;
struct connection_rec;

class ObjectBrowserTree : public QObject {
    Q_OBJECT
public:
    // Sets the tree up (read-only texts, indentation 19, the default font, the node pictures) and
    // handles its expansions from now on.
    ObjectBrowserTree(QTreeWidget& tree, const ConnectionList& connections);

    QTreeWidget& Tree() const { return tree_; }

    // The record of a node's connection root, from the reference the root keeps; none when the
    // node has no root or the record is not among the connections.
    connection_rec* FindConnectionOfNode(QTreeWidgetItem* node) const;

    // A node is expanding: its children are loaded as its level asks, under the hourglass
    // pointer; a failure shows its error text in a message box. The node expands in any case.
    void TreeView_dbObjectExpanding(QTreeWidgetItem* node);
    // A node has expanded. The toolkit tells of an expansion only after it, so the loading of
    // TreeView_dbObjectExpanding runs here; the children show as they are added.
    void TreeView_dbObjectExpanded(QTreeWidgetItem* node);
    // Loads what the node's level needs. False with the error text when a load failed; error is
    // left as it was when there is no record or no driver manager.
    bool ExpandTreeNode(QTreeWidgetItem* node, bool refresh, QString& error);
    // Reads the whole catalog over a private connection. A load whose table listing succeeded
    // replaces the record's nine lists, each with what its reader could read; when the connection
    // or the table listing fails (also a listing that found nothing while the next calls failed)
    // the record is unchanged, false is returned and error says why.
    bool LoadCatalog(connection_rec& rec, QString& error);
    // Adds the objects of the category's list once after each load; false for a node that is no
    // category.
    bool FillCategoryNode(QTreeWidgetItem* node, connection_rec& rec);
    // Adds an object's "列" with its columns and key marks and its "索引", or a procedure's
    // "参数"; false with the error text when the private connection cannot be made.
    bool FillObjectDetails(QTreeWidgetItem* node, connection_rec& rec, QString& error);
    // Rebuilds the subtree of the selected node's connection, collapsed, and loads its catalog
    // again; a failure shows its error text in a message box.
    void Refresh();

private:
    void ShowError(const QString& error);

    QTreeWidget& tree_;
    const ConnectionList& connections_;
};
