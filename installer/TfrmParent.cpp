#include "TfrmParent.h"

#include "InstallerGlobals.h"
#include "WizardTermination.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

// The pictures and the agreement live in a static library, whose resources are registered by hand.
static void RegisterResources() { Q_INIT_RESOURCE(installer); }

TfrmParent::TfrmParent(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
{
    RegisterResources();
    setFixedSize(ClientWidth, ClientHeight);
    setWindowTitle(InstallerGlobals::WizardTitle);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    panel1 = new QFrame(this);
    panel1->setObjectName(QStringLiteral("panel1"));
    // A lowered outer and a raised inner bevel.
    panel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    panel1->setGeometry(0, 0, ClientWidth, 345);

    auto button = [this](const char* name, const QString& caption, int left) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(left, 360, 75, 25);
        b->setAutoDefault(false);
        return b;
    };
    btn_back = button("btn_back", QStringLiteral("< &Back"), 331);
    btn_next = button("btn_next", QStringLiteral("Next >"), 408);
    btn_cancel = button("btn_cancel", QStringLiteral("&Cancel"), 495);

    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

void TfrmParent::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void TfrmParent::closeEvent(QCloseEvent* event)
{
    FormClose();
    event->accept();
}

Prompter::Button TfrmParent::Message(const QString& text, const QString& caption, Prompter::Icon icon, int buttons)
{
    return Prompter::Current().Message(text, caption, icon, buttons);
}

void TfrmParent::AskToQuit(const QString& question)
{
    if (Message(question, InstallerGlobals::WizardTitle, Prompter::Icon::Exclamation, Prompter::Ok | Prompter::Cancel) ==
        Prompter::Ok)
        WizardTermination::Request();
}
