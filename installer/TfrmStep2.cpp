#include "TfrmStep2.h"

#include "CaptionRule.h"
#include "PageSwitch.h"
#include "TfrmStep1.h"
#include "TfrmStep2B.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

TfrmStep2* frmStep2 = nullptr;

TfrmStep2::TfrmStep2(QWidget* parent) : TfrmParent2(parent)
{
    setWindowTitle(QStringLiteral("Tarnvale安装向导（第二步）"));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(24, 88, 537, 177);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setReadOnly(true);
    QFile agreement(QStringLiteral(":/installer/agreement.txt"));
    if (agreement.open(QIODevice::ReadOnly)) Memo1->setPlainText(QString::fromUtf8(agreement.readAll()));

    RadioButton_agree = new QRadioButton(QStringLiteral("同意以上说明"), this);
    RadioButton_agree->setObjectName(QStringLiteral("RadioButton_agree"));
    RadioButton_agree->setGeometry(25, 280, 113, 17);
    RadioButton_unagree = new QRadioButton(QStringLiteral("不同意以上说明"), this);
    RadioButton_unagree->setObjectName(QStringLiteral("RadioButton_unagree"));
    RadioButton_unagree->setGeometry(25, 303, 113, 17);
    RadioButton_unagree->setChecked(true);
    btn_next->setEnabled(false);

    connect(RadioButton_agree, &QRadioButton::clicked, this, &TfrmStep2::RadioButton_agreeClick);
    connect(RadioButton_unagree, &QRadioButton::clicked, this, &TfrmStep2::RadioButton_unagreeClick);
    connect(btn_back, &QPushButton::clicked, this, &TfrmStep2::btn_backClick);
    connect(btn_next, &QPushButton::clicked, this, &TfrmStep2::btn_nextClick);
    connect(btn_cancel, &QPushButton::clicked, this, &TfrmStep2::btn_cancelClick);
}

void TfrmStep2::FormCreate() { setWindowTitle(InsertVersionIntoCaption(windowTitle())); }

void TfrmStep2::RadioButton_agreeClick() { btn_next->setEnabled(true); }

void TfrmStep2::RadioButton_unagreeClick() { btn_next->setEnabled(false); }

void TfrmStep2::btn_backClick() { SwitchPage(this, frmStep1); }

void TfrmStep2::btn_nextClick()
{
    SwitchPage(this, frmStep2B);
    // Once past the agreement the welcome page is not reached again.
    btn_back->setEnabled(false);
}

void TfrmStep2::btn_cancelClick() { AskToQuit(QStringLiteral("退出 Tarnvale 的安装/卸载？")); }
