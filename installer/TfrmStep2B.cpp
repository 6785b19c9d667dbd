#include "TfrmStep2B.h"

#include "CaptionRule.h"
#include "PageSwitch.h"
#include "TfrmStep2.h"
#include "TfrmStep5.h"
#include "Tfrm_unstall.h"

#include <QPushButton>
#include <QRadioButton>

TfrmStep2B* frmStep2B = nullptr;

TfrmStep2B::TfrmStep2B(QWidget* parent) : TfrmParent2(parent)
{
    setWindowTitle(QStringLiteral("Tarnvale安装向导（第三步）"));
    rb_Instal = new QRadioButton(QStringLiteral("安装  Tarnvale"), this);
    rb_Instal->setObjectName(QStringLiteral("rb_Instal"));
    rb_Instal->setGeometry(80, 144, 185, 17);
    rb_Instal->setChecked(true);
    rb_unstall = new QRadioButton(QStringLiteral("卸载  Tarnvale"), this);
    rb_unstall->setObjectName(QStringLiteral("rb_unstall"));
    rb_unstall->setGeometry(80, 224, 193, 17);
    btn_cancel->hide();

    connect(rb_Instal, &QRadioButton::clicked, this, &TfrmStep2B::rb_InstalClick);
    connect(rb_unstall, &QRadioButton::clicked, this, &TfrmStep2B::rb_unstallClick);
    connect(btn_back, &QPushButton::clicked, this, &TfrmStep2B::btn_backClick);
    connect(btn_next, &QPushButton::clicked, this, &TfrmStep2B::btn_nextClick);
    connect(btn_cancel, &QPushButton::clicked, this, &TfrmStep2B::btn_cancelClick);
}

void TfrmStep2B::FormCreate() { setWindowTitle(InsertVersionIntoCaption(windowTitle())); }

void TfrmStep2B::rb_InstalClick() { rb_unstall->setChecked(false); }

void TfrmStep2B::rb_unstallClick() { rb_Instal->setChecked(false); }

void TfrmStep2B::btn_backClick() { SwitchPage(this, frmStep2); }

void TfrmStep2B::btn_nextClick()
{
    if (rb_Instal->isChecked())
        SwitchPage(this, frmStep5);
    else
        SwitchPage(this, frm_unstall);
}

void TfrmStep2B::btn_cancelClick() { AskToQuit(QStringLiteral("退出 Tarnvale 的安装/卸载？")); }
