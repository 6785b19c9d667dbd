// The About box: the program's icon, its name with the installed version, and an OK button.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    QLabel* lbl_version = nullptr;
    QPushButton* Button1 = nullptr;

public slots:
    // "Tarnvale企业版" followed by the version text of the installation key.
    void FormCreate();
    void Button1Click();

private:
    void BuildControls();
};
