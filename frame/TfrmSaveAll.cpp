#include "TfrmSaveAll.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmSaveAll::TfrmSaveAll(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSaveAll"));
    setWindowTitle(QStringLiteral("Tarnvale"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    lbl_promption = new QLabel(this);
    lbl_promption->setObjectName(QStringLiteral("lbl_promption"));
    lbl_promption->setTextFormat(Qt::PlainText);
    lbl_promption->setMinimumWidth(320);

    auto button = [this](const char* name, const QString& caption, int result) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
        return b;
    };
    btnYes = button("btnYes", QStringLiteral("是(&Y)"), mrYes);
    btnNo = button("btnNo", QStringLiteral("否(&N)"), mrNo);
    btnNOtoAll = button("btnNOtoAll", QStringLiteral("全否(&A)"), mrNoToAll);
    btnCancel = button("btnCancel", QStringLiteral("取消"), mrCancel);
    btnYes->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {btnYes, btnNo, btnNOtoAll, btnCancel}) buttons->addWidget(b);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 14);
    layout->setSpacing(18);
    layout->addWidget(lbl_promption);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmSaveAll::reject() { done(mrCancel); }
