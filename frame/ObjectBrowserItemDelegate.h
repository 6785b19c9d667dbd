// Draws each object browser node with the picture its item data names: the normal image, or the
// selected image while the node is selected.
#pragma once

#include <QStyledItemDelegate>

class ObjectBrowserItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
