// The connection record of an object browser node, found through the root item the record's
// nodes were made under, never by reading the root's text.
#include "ConnectionList.h"
#include "ObjectBrowserNodes.h"
#include "ObjectBrowserTree.h"
#include "WidgetTestApp.h"

#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

namespace {

// The deepest node under a root: category, object, detail group, column.
QTreeWidgetItem* DeepNode(QTreeWidgetItem* root)
{
    QTreeWidgetItem* node = root->child(1);
    for (const char* text : {"t", "列", "a (int, Null)"}) node = new QTreeWidgetItem(node, QStringList(text));
    return node;
}

TEST(RecordLookup, EveryNodeFindsTheRecordOfItsOwnRoot)
{
    QTreeWidget tree;
    ConnectionList connections;
    // A data source with "(" in its name, and two keys with one data source and user.
    connection_rec* paren = connections.Attach("k1", 20, "u", "", "src(1").Record;
    connection_rec* first = connections.Attach("k2", 20, "u", "p1", "src").Record;
    connection_rec* second = connections.Attach("k3", 20, "u", "p2", "src").Record;
    QTreeWidgetItem* roots[] = {ObjectBrowserNodes::AddConnectionNodes(tree, *paren),
                                ObjectBrowserNodes::AddConnectionNodes(tree, *first),
                                ObjectBrowserNodes::AddConnectionNodes(tree, *second)};
    ASSERT_EQ(roots[0]->text(0), "src(1(u)");
    ASSERT_EQ(roots[1]->text(0), roots[2]->text(0));
    ObjectBrowserTree browser(tree, connections);
    const connection_rec* expected[] = {paren, first, second};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(browser.FindConnectionOfNode(roots[i]), expected[i]) << i;
        EXPECT_EQ(browser.FindConnectionOfNode(roots[i]->child(5)), expected[i]) << i;
        EXPECT_EQ(browser.FindConnectionOfNode(DeepNode(roots[i])), expected[i]) << i;
    }
    EXPECT_EQ(browser.FindConnectionOfNode(nullptr), nullptr);

    // A root that does not carry one of the list's records finds none.
    auto* stranger = new QTreeWidgetItem(QStringList("src(u)"));
    tree.addTopLevelItem(stranger);
    EXPECT_EQ(browser.FindConnectionOfNode(stranger), nullptr);
    ConnectionList others;
    ObjectBrowserTree foreign(tree, others);
    EXPECT_EQ(foreign.FindConnectionOfNode(roots[1]), nullptr);
    QString error = "kept";
    EXPECT_FALSE(foreign.ExpandTreeNode(roots[1], false, error)) << "no record: the expansion fails";
    EXPECT_EQ(error, "kept");

    // A record that went dormant and came back has a new root, which finds it.
    delete roots[1];
    connections.Release("k2");
    connections.Attach("k2", 20, "u", "p1", "src");
    QTreeWidgetItem* again = ObjectBrowserNodes::AddConnectionNodes(tree, *first);
    EXPECT_EQ(browser.FindConnectionOfNode(DeepNode(again)), first);
}

} // namespace
