#include "TfrmParent2.h"

#include "PictureBox.h"
#include "WizardTermination.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

TfrmParent2::TfrmParent2(QWidget* parent) : TfrmParent(parent)
{
    panel1->setGeometry(0, 0, ClientWidth, 73);
    panel1->setEnabled(false);
    Image1 = new PictureBox(QPixmap(QStringLiteral(":/installer/banner.png")), panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(panel1->contentsRect());

    Label1 = new QLabel(QStringLiteral("安装向导"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(10, 336, 69, 17);
    Label1->setEnabled(false);

    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    Panel2->setGeometry(72, 342, 505, 3);

    setTabOrder(btn_next, btn_back);
    setTabOrder(btn_back, btn_cancel);
}

void TfrmParent2::FormClose() { WizardTermination::Request(); }
