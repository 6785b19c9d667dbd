// The agreement page: the licence text and the choice to accept it.
#pragma once

#include "TfrmParent2.h"

class QPlainTextEdit;
class QRadioButton;

class TfrmStep2 : public TfrmParent2 {
    Q_OBJECT
public:
    explicit TfrmStep2(QWidget* parent = nullptr);

    void FormCreate() override;

    QPlainTextEdit* Memo1;
    QRadioButton* RadioButton_agree;
    QRadioButton* RadioButton_unagree;

public slots:
    void RadioButton_agreeClick();
    void RadioButton_unagreeClick();
    void btn_backClick();
    void btn_nextClick();
    void btn_cancelClick();
};

extern TfrmStep2* frmStep2;
