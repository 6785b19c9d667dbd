#include "MessageBoxPrompter.h"

#include "ModalDialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>

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

// A box whose question has only Yes and No takes no answer the user did not give: Esc and the
// close box leave it open (a Qt box would take them as No).
class AnswerBox : public QMessageBox {
public:
    AnswerBox(Icon icon, const QString& caption, const QString& text, StandardButtons buttons, QWidget* parent)
        : QMessageBox(icon, caption, text, buttons, parent), mustAnswer_(buttons == (Yes | No))
    {
    }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if (mustAnswer_ && event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override
    {
        if (mustAnswer_) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }

private:
    bool mustAnswer_;
};

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
    const ModalDialogs::Running running;
    // Made on the heap: a parent destroyed while the box is up takes the box with it, never a
    // stack object.
    const QPointer<QMessageBox> box = new AnswerBox(BoxIcon(icon), caption, text, standard, parent);
    const int result = box->exec();
    delete box.data();
    switch (result) {
    case QMessageBox::Cancel: return Cancel;
    case QMessageBox::Yes: return Yes;
    case QMessageBox::No: return No;
    default: return Ok;
    }
}
