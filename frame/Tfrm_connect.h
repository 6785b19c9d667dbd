// The connect dialog: an ODBC data source, a user name and a password, proved by a test login on
// the dialog's own handles, which yields the connection key. It opens no query window itself.
#pragma once

#include <QDialog>
#include <QString>

#include <sql.h>

class QComboBox;
class QLineEdit;
class QPushButton;

class Tfrm_connect : public QDialog {
    Q_OBJECT
public:
    // The dialog's results.
    static constexpr int mrOk = 1;
    static constexpr int mrCancel = 2;

    explicit Tfrm_connect(QWidget* parent = nullptr);
    ~Tfrm_connect() override;

    // The key of the last successful test login; empty until then.
    QString ConnectionKey;
    SQLHENV hEnv = SQL_NULL_HENV;
    SQLHDBC hDbc = SQL_NULL_HDBC;

    QComboBox* ComboBox_odbc = nullptr;
    QLineEdit* Edit_user = nullptr;
    QLineEdit* Edit_pwd = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    void FormShow();
    void FormDestroy();
    // The test login; closes the dialog with mrOk when it succeeds.
    void btnOKClick();
    void btnCancelClick();
    void ComboBox_odbcKeyDown(int key);
    void Edit_userKeyDown(int key);
    void Edit_pwdKeyDown(int key);

    // The close box and Escape end the dialog as Cancel does.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    void FormCreate();
    void DisableButtons();
    // Ends a test login: disconnects and frees whichever of its handles exist.
    void ReleaseTestHandles();
};
