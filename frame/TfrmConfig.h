// The options dialog: five check boxes and three lists for eight of the "Options" settings. OK
// writes what changed to "Tarnvale.ini" and applies the choices at once; Cancel changes nothing.
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

class TfrmConfig : public QDialog {
    Q_OBJECT
public:
    explicit TfrmConfig(QWidget* parent = nullptr);

    QLabel* Image1 = nullptr;
    QLabel* Label_title = nullptr;
    QCheckBox* chkbox_openwithExcel = nullptr;
    QCheckBox* Chkbox_WordsAnalyse = nullptr;
    QCheckBox* Chkbox_ExportWithTblColumn = nullptr;
    QCheckBox* Chkbox_autocommit = nullptr;
    QCheckBox* chkbox_sqlschedulereconnect = nullptr;
    QComboBox* cmb_txtfields_separtor = nullptr;
    QComboBox* cmb_MaxFieldLen = nullptr;
    QComboBox* cmb_sql_seperatorchar = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    // Fills the controls from the current settings.
    void FormCreate();
    // Writes and applies the choices, then closes with OK. A file that could not be written is
    // reported; the choices hold all the same.
    void btnOKClick();
    void btnCancelClick();

private:
    void BuildControls();
};
