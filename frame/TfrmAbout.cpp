#include "TfrmAbout.h"

#include "ProgramIcon.h"
#include "Settings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmAbout::TfrmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于    Tarnvale"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowIcon(ProgramIcon());
    BuildControls();
    FormCreate();
}

void TfrmAbout::BuildControls()
{
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(ProgramIcon().pixmap(64, 64));
    lbl_version = new QLabel(this);
    lbl_version->setObjectName(QStringLiteral("lbl_version"));
    QFont font = lbl_version->font();
    font.setPointSizeF(font.pointSizeF() * 1.3);
    font.setBold(true);
    lbl_version->setFont(font);
    Button1 = new QPushButton(QStringLiteral("确定"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TfrmAbout::Button1Click);

    auto* body = new QHBoxLayout;
    body->addWidget(Image1, 0, Qt::AlignTop);
    body->addSpacing(12);
    body->addWidget(lbl_version, 1, Qt::AlignVCenter);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 12);
    layout->addLayout(body);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmAbout::FormCreate() { lbl_version->setText(QStringLiteral("Tarnvale企业版") + Settings::VersionText); }

void TfrmAbout::Button1Click() { accept(); }
