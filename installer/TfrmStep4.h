// The user page: the user's name and company, written to the installation record.
#pragma once

#include "TfrmParent2.h"

class QLabel;
class QLineEdit;

class TfrmStep4 : public TfrmParent2 {
    Q_OBJECT
public:
    explicit TfrmStep4(QWidget* parent = nullptr);

    void FormCreate() override;

    QLabel* Label2;
    QLineEdit* Edit_user;
    QLabel* Label3;
    QLineEdit* Edit_company;

public slots:
    void Edit_companyChange();
    void btn_backClick();
    void Button2Click();
    void btn_cancelClick();

protected:
    void FormShow() override;
};

extern TfrmStep4* frmStep4;
