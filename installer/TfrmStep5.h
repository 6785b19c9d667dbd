// The installation folder page: the folder shown, a folder dialog to choose another, and the checks
// and the record made when the user goes on.
#pragma once

#include "TfrmParent2.h"

class QGroupBox;
class QLabel;

class TfrmStep5 : public TfrmParent2 {
    Q_OBJECT
public:
    explicit TfrmStep5(QWidget* parent = nullptr);

    void FormCreate() override;

    // The folder dialog: true with *folder set when a folder was chosen. root names where the
    // dialog starts looking when *folder and its parents do not exist.
    static bool BrowseForFolder(QWidget* owner, const QString& title, QString* folder, const QString& root);

    QGroupBox* GroupBox1;
    QLabel* Label_installDir;
    class QPushButton* BtnBrowDir;

public slots:
    void BtnBrowDirClick();
    void btn_backClick();
    void Button2Click();
    void btn_cancelClick();
};

extern TfrmStep5* frmStep5;
