#include "ObjectBrowserItemDelegate.h"

#include "ObjectBrowserImages.h"
#include "ObjectBrowserNodes.h"

void ObjectBrowserItemDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const bool selected = option->state & QStyle::State_Selected;
    const QVariant image = index.data(selected ? ObjectBrowserNodes::SelectedImageRole : ObjectBrowserNodes::ImageRole);
    if (!image.isValid()) return;
    const QIcon icon = ObjectBrowserImages::Image(image.toInt());
    if (icon.isNull()) return;
    option->icon = icon;
    option->features |= QStyleOptionViewItem::HasDecoration;
    option->decorationSize = QSize(16, 16);
}
