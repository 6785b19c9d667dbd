#include "NodeNameText.h"

#include "CatalogItem.h"

namespace {

QString NameTextOfNode(BrowserNodeKind node, const QString& nodeText, OptionalDbmsKind kind, ObjectNameForm form)
{
    switch (node) {
    case BrowserNodeKind::Procedure:
        return nodeText;
    case BrowserNodeKind::TableObject:
        return QuoteObjectName(nodeText, kind, form);
    case BrowserNodeKind::Column:
        return QuoteColumnName(ColumnNameOfNode(nodeText), kind);
    default:
        return QString();
    }
}

} // namespace

QString CopyTextOfNode(BrowserNodeKind node, const QString& nodeText, OptionalDbmsKind kind)
{
    return NameTextOfNode(node, nodeText, kind, ObjectNameForm::Bracket);
}

QString DropTextOfNode(BrowserNodeKind node, const QString& nodeText, OptionalDbmsKind kind)
{
    return NameTextOfNode(node, nodeText, kind, ObjectNameForm::Drop);
}
