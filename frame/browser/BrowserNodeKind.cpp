#include "BrowserNodeKind.h"

QStringList BrowserCategoryCaptions()
{
    return {BrowserCaption::SystemTables, BrowserCaption::Tables,          BrowserCaption::Views,
            BrowserCaption::Aliases,      BrowserCaption::TemporaryTables, BrowserCaption::Procedures};
}

bool IsTableCategoryCaption(const QString& caption)
{
    return caption == BrowserCaption::SystemTables || caption == BrowserCaption::Tables ||
           caption == BrowserCaption::Views || caption == BrowserCaption::Aliases ||
           caption == BrowserCaption::TemporaryTables;
}

BrowserNodeKind BrowserNodeKindOf(int level, const QString& parentCaption)
{
    switch (level) {
    case 0:
        return BrowserNodeKind::Connection;
    case 1:
        return BrowserNodeKind::Category;
    case 2:
        if (IsTableCategoryCaption(parentCaption)) return BrowserNodeKind::TableObject;
        if (parentCaption == BrowserCaption::Procedures) return BrowserNodeKind::Procedure;
        return BrowserNodeKind::Unknown;
    case 3:
        return BrowserNodeKind::DetailGroup;
    case 4:
        if (parentCaption == BrowserCaption::Columns) return BrowserNodeKind::Column;
        if (parentCaption == BrowserCaption::Indexes) return BrowserNodeKind::Index;
        if (parentCaption == BrowserCaption::Parameters) return BrowserNodeKind::Parameter;
        return BrowserNodeKind::Unknown;
    case 5:
        return BrowserNodeKind::IndexColumn;
    default:
        return BrowserNodeKind::Unknown;
    }
}
