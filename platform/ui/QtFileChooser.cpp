#include "QtFileChooser.h"

#include "FileDialogTexts.h"
#include "ModalDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>

#include <algorithm>

FileChooser::Answer QtFileChooser::Choose(const Request& request)
{
    QWidget* parent = request.Parent ? request.Parent : QApplication::activeWindow();
    const ModalDialogs::Running running;
    // Made on the heap: a parent destroyed while the dialog is up takes the dialog with it, never
    // a stack object.
    const QPointer<QFileDialog> guard = new QFileDialog(parent, request.Title);
    QFileDialog& dialog = *guard;
    dialog.setObjectName(request.Name);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Replacing is asked after the caller has completed the name (SaveFileChoice).
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setSizeGripEnabled(true);
    FileDialogTexts::Install(dialog);
    switch (request.Kind) {
    case Mode::Open:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        break;
    case Mode::Save:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        break;
    case Mode::Folder:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        break;
    }
    if (!request.Filters.isEmpty()) {
        dialog.setNameFilters(request.Filters);
        if (request.FilterIndex >= 0 && request.FilterIndex < request.Filters.size())
            dialog.selectNameFilter(request.Filters.at(request.FilterIndex));
    }
    QString folder = request.Folder.isEmpty() ? lastFolder_.value(request.Name) : request.Folder;
    if (!folder.isEmpty()) dialog.setDirectory(folder);
    if (!request.FileName.isEmpty()) dialog.selectFile(request.FileName);

    Answer answer;
    const int result = dialog.exec();
    if (!guard) return answer;
    if (result == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        answer.Accepted = true;
        answer.Path = dialog.selectedFiles().constFirst();
        answer.FilterIndex = std::max<int>(0, static_cast<int>(request.Filters.indexOf(dialog.selectedNameFilter())));
        lastFolder_.insert(request.Name, dialog.directory().absolutePath());
    }
    delete guard.data();
    return answer;
}
