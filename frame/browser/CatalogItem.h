// The catalog item texts of a connection record, taken apart the way the object browser shows
// them: object items "schema.name", detail items "owner||detail" (columns, parameters, index
// columns), and column node texts "name (type detail)".
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

inline const QString CatalogItemSeparatorText = QStringLiteral("||");

// An object text cut at its first ".": "A.B.C" is schema A and name B.C; without a dot the schema
// is empty and the name is the whole text.
struct SchemaAndName {
    QString Schema;
    QString Name;
    bool operator==(const SchemaAndName&) const = default;
};
SchemaAndName SplitAtFirstDot(const QString& objectText);

// The catalog, schema and table that key and index look-ups of an object pass to the driver:
// "A.B.C" is catalog A, schema B, table C; "A.B" schema A, table B; "A" table A; "A.B.C.D"
// catalog A, schema B, table C.D.
struct ObjectLocation {
    QString Catalog;
    QString Schema;
    QString Table;
    bool operator==(const ObjectLocation&) const = default;
};
ObjectLocation SplitObjectItem(const QString& objectText);

// A detail item cut at its first "||". None when the item holds no separator.
struct DetailItem {
    QString Owner;
    QString Detail;
    bool operator==(const DetailItem&) const = default;
};
std::optional<DetailItem> SplitDetailItem(const QString& item);

// The details of one object, in list order: the part after "||" of every item whose part before
// its first "||" equals the object text exactly.
QStringList DetailsOfObject(const QStringList& items, const QString& objectText);

// Index items "index||ordinal  column, ASC" grouped as the tree shows them: consecutive items of
// one index name form one index node; a name that comes back later starts another node.
struct IndexNodeTexts {
    QString Name;
    QStringList Columns;
    bool operator==(const IndexNodeTexts&) const = default;
};
QList<IndexNodeTexts> GroupIndexItems(const QStringList& indexItems);

// The column name of a column node text: the text before its last " (" (the type description
// the reader appends); empty when the text holds no " (".
QString ColumnNameOfNode(const QString& columnNodeText);
