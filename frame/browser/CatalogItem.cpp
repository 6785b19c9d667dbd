#include "CatalogItem.h"

SchemaAndName SplitAtFirstDot(const QString& objectText)
{
    const qsizetype p = objectText.indexOf(u'.');
    if (p < 0) return {QString(), objectText};
    return {objectText.left(p), objectText.mid(p + 1)};
}

ObjectLocation SplitObjectItem(const QString& objectText)
{
    const SchemaAndName first = SplitAtFirstDot(objectText);
    if (objectText.indexOf(u'.') < 0) return {QString(), QString(), objectText};
    const qsizetype q = first.Name.indexOf(u'.');
    if (q < 0) return {QString(), first.Schema, first.Name};
    return {first.Schema, first.Name.left(q), first.Name.mid(q + 1)};
}

std::optional<DetailItem> SplitDetailItem(const QString& item)
{
    const qsizetype p = item.indexOf(CatalogItemSeparatorText);
    if (p < 0) return std::nullopt;
    return DetailItem{item.left(p), item.mid(p + CatalogItemSeparatorText.size())};
}

QStringList DetailsOfObject(const QStringList& items, const QString& objectText)
{
    QStringList details;
    for (const QString& item : items) {
        const std::optional<DetailItem> d = SplitDetailItem(item);
        if (d && d->Owner == objectText) details.append(d->Detail);
    }
    return details;
}

QList<IndexNodeTexts> GroupIndexItems(const QStringList& indexItems)
{
    QList<IndexNodeTexts> nodes;
    for (const QString& item : indexItems) {
        const std::optional<DetailItem> d = SplitDetailItem(item);
        // The index reader writes every item with its separator; anything else is no index column.
        if (!d) continue;
        if (nodes.isEmpty() || nodes.last().Name != d->Owner) nodes.append({d->Owner, {}});
        nodes.last().Columns.append(d->Detail);
    }
    return nodes;
}

QString ColumnNameOfNode(const QString& columnNodeText)
{
    const qsizetype p = columnNodeText.lastIndexOf(QStringLiteral(" ("));
    return p < 0 ? QString() : columnNodeText.left(p);
}
