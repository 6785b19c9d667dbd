// The size, type and date columns of the toolkit's file dialog in the program's locale: the toolkit
// writes sizes and dates in the machine's locale and has no Chinese name for a folder.
#pragma once

#include <QIdentityProxyModel>

class QFileDialog;

class FileDialogTexts : public QIdentityProxyModel {
    Q_OBJECT
public:
    using QIdentityProxyModel::QIdentityProxyModel;

    QVariant data(const QModelIndex& index, int role) const override;

    // Puts the texts between the dialog and its file system model; the dialog owns them.
    static void Install(QFileDialog& dialog);
};
