#include "MessageBoxPrompter.h"

#include <QApplication>
#include <QMessageBox>

namespace {

QMessageBox::Icon BoxIcon(Prompter::Icon icon)
{
    switch (icon) {
    case Prompter::Icon::Information: return QMessageBox::Information;
    case Prompter::Icon::Exclamation: return QMessageBox::Warning;
    case Prompter::Icon::Error: return QMessageBox::Critical;
    case Prompter::Icon::Question: return QMessageBox::Question;
    case Prompter::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

Prompter::Button MessageBoxPrompter::Message(const QString& text, const QString& caption, Icon icon, int buttons)
{
    QMessageBox::StandardButtons standard;
    if (buttons & Ok) standard |= QMessageBox::Ok;
    if (buttons & Cancel) standard |= QMessageBox::Cancel;
    if (buttons & Yes) standard |= QMessageBox::Yes;
    if (buttons & No) standard |= QMessageBox::No;
    if (!standard) standard = QMessageBox::Ok;
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = QApplication::activeWindow();
    QMessageBox box(BoxIcon(icon), caption, text, standard, parent);
    switch (box.exec()) {
    case QMessageBox::Cancel: return Cancel;
    case QMessageBox::Yes: return Yes;
    case QMessageBox::No: return No;
    default: return Ok;
    }
}
