// The choice page: install or remove.
#pragma once

#include "TfrmParent2.h"

class QRadioButton;

class TfrmStep2B : public TfrmParent2 {
    Q_OBJECT
public:
    explicit TfrmStep2B(QWidget* parent = nullptr);

    void FormCreate() override;

    QRadioButton* rb_Instal;
    QRadioButton* rb_unstall;

public slots:
    void rb_InstalClick();
    void rb_unstallClick();
    void btn_backClick();
    void btn_nextClick();
    void btn_cancelClick();
};

extern TfrmStep2B* frmStep2B;
