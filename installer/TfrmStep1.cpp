#include "TfrmStep1.h"

#include "CaptionRule.h"
#include "InstallerGlobals.h"
#include "PageSwitch.h"
#include "PictureBox.h"
#include "TfrmStep2.h"
#include "WizardTermination.h"

#include <QFrame>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

TfrmStep1* frmStep1 = nullptr;

TfrmStep1::TfrmStep1(QWidget* parent) : TfrmParent(parent)
{
    setWindowTitle(QStringLiteral("Tarnvale安装向导（第一步）"));
    const QRect inside = panel1->contentsRect();
    Image1 = new PictureBox(QPixmap(QStringLiteral(":/installer/side.png")), panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(inside.left(), inside.top(), 183, inside.height());

    RichEdit1 = new QTextEdit(panel1);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setGeometry(inside.right() + 1 - 403, inside.top(), 403, inside.height());
    RichEdit1->setFrameShape(QFrame::NoFrame);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    RichEdit1->setFont(font);
    // Disabled only against input: the text keeps its colours.
    QPalette palette = RichEdit1->palette();
    palette.setColor(QPalette::Disabled, QPalette::Text, palette.color(QPalette::Active, QPalette::Text));
    palette.setColor(QPalette::Disabled, QPalette::Base, palette.color(QPalette::Active, QPalette::Base));
    RichEdit1->setPalette(palette);
    RichEdit1->setPlainText(QStringList{QString(), QString(), QString(), QString(11, u' ') + Heading, QString(),
                                        QString(), QString(),
                                        QStringLiteral("    本安装向导将引导您在您的电脑上安装Tarnvale。继续请"),
                                        QStringLiteral("点击Next按钮，返回上一级请点击Back，否则请点击Cancel按钮。")}
                                .join(u'\n'));
    RichEdit1->setEnabled(false);

    connect(btn_next, &QPushButton::clicked, this, &TfrmStep1::btn_nextClick);
    connect(btn_cancel, &QPushButton::clicked, this, &TfrmStep1::btn_cancelClick);
}

bool TfrmStep1::SelectHeading(QTextCursor& cursor) const
{
    cursor = RichEdit1->document()->find(Heading);
    return !cursor.isNull();
}

void TfrmStep1::FormCreate()
{
    QTextCursor all(RichEdit1->document());
    all.select(QTextCursor::Document);
    QTextCharFormat nine;
    nine.setFontPointSize(9);
    all.mergeCharFormat(nine);
    QTextCursor heading;
    if (SelectHeading(heading)) {
        QTextCharFormat twelve;
        twelve.setFontPointSize(12);
        heading.mergeCharFormat(twelve);
    }
    btn_back->setEnabled(false);
    // The medium is the folder the installer lies in.
    InstallerGlobals::SourceFolder = InstallerGlobals::WithTrailingSlash(InstallerGlobals::Environment.SourceFolder);
    setWindowTitle(InsertVersionIntoCaption(windowTitle()));
}

void TfrmStep1::FormShow()
{
    QTextCursor heading;
    if (!SelectHeading(heading)) return;
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    heading.mergeCharFormat(bold);
    heading.clearSelection();
    RichEdit1->setTextCursor(heading);
}

void TfrmStep1::FormClose() { WizardTermination::Request(); }

void TfrmStep1::btn_nextClick() { SwitchPage(this, frmStep2); }

void TfrmStep1::btn_cancelClick() { AskToQuit(QStringLiteral("退出 Tarnvale 的安装/卸载？")); }
