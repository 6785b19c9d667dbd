#include "FileDialogTexts.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QLocale>

namespace {

// The file system model's columns.
enum Column { Name, Size, Type, Modified };

} // namespace

QVariant FileDialogTexts::data(const QModelIndex& index, int role) const
{
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || !files || index.column() == Name) return QIdentityProxyModel::data(index, role);
    const QModelIndex source = mapToSource(index);
    const QLocale locale;
    switch (index.column()) {
    case Size:
        if (files->isDir(source)) break;
        return locale.formattedDataSize(files->size(source));
    case Type:
        if (files->isDir(source)) return QStringLiteral("文件夹");
        break;
    case Modified: {
        const QDateTime modified = files->lastModified(source);
        if (modified.isValid()) return locale.toString(modified, QLocale::ShortFormat);
        break;
    }
    default: break;
    }
    return QIdentityProxyModel::data(index, role);
}

void FileDialogTexts::Install(QFileDialog& dialog) { dialog.setProxyModel(new FileDialogTexts(&dialog)); }
