#include "Tfrm_connect.h"

#include "ConnectionKey.h"
#include "DataSources.h"
#include "ImageLists.h"
#include "ODBCDiagnostics.h"
#include "ODBCIntf.h"
#include "ProgramGlobals.h"
#include "Prompter.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>
#include <string>

namespace {

QFrame* Separator(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

// The hourglass for the time of one test login.
class WaitCursor {
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { Restore(); }
    void Restore()
    {
        if (active_) QApplication::restoreOverrideCursor();
        active_ = false;
    }

private:
    bool active_ = true;
};

} // namespace

Tfrm_connect::Tfrm_connect(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frm_connect"));
    setWindowTitle(QStringLiteral("连接数据库"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    BuildControls();
    FormCreate();
}

Tfrm_connect::~Tfrm_connect()
{
    FormDestroy();
    // An environment kept after a failed listing is the dialog's own: it goes with the dialog.
    if (hEnv != SQL_NULL_HENV) ODBCIntf::SQLFreeEnv(hEnv);
    hEnv = SQL_NULL_HENV;
}

void Tfrm_connect::BuildControls()
{
    ComboBox_odbc = new QComboBox(this);
    ComboBox_odbc->setObjectName(QStringLiteral("ComboBox_odbc"));
    ComboBox_odbc->setEditable(true);
    ComboBox_odbc->setInsertPolicy(QComboBox::NoInsert);
    ComboBox_odbc->setMinimumWidth(220);
    Edit_user = new QLineEdit(this);
    Edit_user->setObjectName(QStringLiteral("Edit_user"));
    Edit_pwd = new QLineEdit(this);
    Edit_pwd->setObjectName(QStringLiteral("Edit_pwd"));
    Edit_pwd->setEchoMode(QLineEdit::Password);
    btnOK = new QPushButton(QStringLiteral("确定"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    // Enter belongs to the edits (their key handlers) and to the focused button, never to a
    // default button.
    for (QPushButton* b : {btnOK, btnCancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
        b->installEventFilter(this);
    }

    auto* fields = new QGridLayout;
    auto* odbcLabel = new QLabel(QStringLiteral("ODBC数据源:"), this);
    auto* userLabel = new QLabel(QStringLiteral("用户名(U)："), this);
    auto* pwdLabel = new QLabel(QStringLiteral("口令(P)："), this);
    odbcLabel->setBuddy(ComboBox_odbc);
    userLabel->setBuddy(Edit_user);
    pwdLabel->setBuddy(Edit_pwd);
    fields->addWidget(odbcLabel, 0, 0);
    fields->addWidget(ComboBox_odbc, 0, 1);
    fields->addWidget(userLabel, 1, 0);
    fields->addWidget(Edit_user, 1, 1);
    fields->addWidget(pwdLabel, 2, 0);
    fields->addWidget(Edit_pwd, 2, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(ImageLists::ConnectDialogPicture().pixmap(48, 48));
    auto* body = new QHBoxLayout;
    body->addWidget(picture, 0, Qt::AlignTop);
    body->addSpacing(8);
    body->addLayout(fields, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Separator(this));
    layout->addLayout(body);
    layout->addWidget(Separator(this));
    layout->addLayout(buttons);

    setTabOrder(ComboBox_odbc, Edit_user);
    setTabOrder(Edit_user, Edit_pwd);
    setTabOrder(Edit_pwd, btnOK);
    setTabOrder(btnOK, btnCancel);

    ComboBox_odbc->installEventFilter(this);
    if (ComboBox_odbc->lineEdit()) ComboBox_odbc->lineEdit()->installEventFilter(this);
    Edit_user->installEventFilter(this);
    Edit_pwd->installEventFilter(this);
    connect(btnOK, &QPushButton::clicked, this, &Tfrm_connect::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &Tfrm_connect::btnCancelClick);
}

void Tfrm_connect::FormCreate()
{
    if (ODBCIntf::LoadODBC(ODBCIntf::DefaultLibraryName) && ODBCIntf::SQLAllocEnv(&hEnv) == SQL_SUCCESS) return;
    hEnv = SQL_NULL_HENV;
    DisableButtons();
}

void Tfrm_connect::DisableButtons()
{
    for (QPushButton* b : findChildren<QPushButton*>(QString(), Qt::FindDirectChildrenOnly)) b->setEnabled(false);
}

void Tfrm_connect::FormDestroy() {}

void Tfrm_connect::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormShow();
}

void Tfrm_connect::FormShow()
{
    ComboBox_odbc->clear();
    StringList names;
    std::string error;
    U_pub::ListDataSources(hEnv, names, error);
    if (error.empty()) {
        for (const std::string& name : names) ComboBox_odbc->addItem(QString::fromStdString(name));
        ComboBox_odbc->setCurrentIndex(-1);
        if (ODBCIntf::LoadODBC(ODBCIntf::DefaultLibraryName) && hEnv != SQL_NULL_HENV) {
            ODBCIntf::SQLFreeEnv(hEnv);
            hEnv = SQL_NULL_HENV;
        }
    } else {
        Prompter::Current().Message(QString::fromStdString(error), windowTitle(), Prompter::Icon::Exclamation,
                                    Prompter::Ok);
    }
}

void Tfrm_connect::ReleaseTestHandles()
{
    if (hDbc != SQL_NULL_HDBC) {
        ODBCIntf::SQLDisconnect(hDbc);
        ODBCIntf::SQLFreeConnect(hDbc);
        hDbc = SQL_NULL_HDBC;
    }
    if (hEnv != SQL_NULL_HENV) {
        ODBCIntf::SQLFreeEnv(hEnv);
        hEnv = SQL_NULL_HENV;
    }
}

void Tfrm_connect::btnOKClick()
{
    WaitCursor hourglass;
    NewConnectionUser = Edit_user->text();
    NewConnectionPassword = Edit_pwd->text();
    // The data source the user sees in the box, typed or chosen, is the one the login proves.
    NewConnectionDSN = ComboBox_odbc->currentText();

    if (!ODBCIntf::LoadODBC(ODBCIntf::DefaultLibraryName)) return;
    // An environment still kept from the listing goes first; the test login makes its own.
    ReleaseTestHandles();
    if (ODBCIntf::SQLAllocEnv(&hEnv) != SQL_SUCCESS) {
        hEnv = SQL_NULL_HENV;
        return;
    }
    if (ODBCIntf::SQLAllocConnect(hEnv, &hDbc) != SQL_SUCCESS) {
        hDbc = SQL_NULL_HDBC;
        ReleaseTestHandles();
        return;
    }

    std::string dsn = NewConnectionDSN.toStdString();
    std::string user = NewConnectionUser.toStdString();
    std::string password = NewConnectionPassword.toStdString();
    const auto dsnLength = static_cast<SQLSMALLINT>(
        std::min<std::size_t>(dsn.size(), static_cast<std::size_t>(std::numeric_limits<SQLSMALLINT>::max())));
    const SQLRETURN rc = ODBCIntf::SQLConnect(hDbc, reinterpret_cast<SQLCHAR*>(dsn.data()), dsnLength,
                                              reinterpret_cast<SQLCHAR*>(user.data()), SQL_NTS,
                                              reinterpret_cast<SQLCHAR*>(password.data()), SQL_NTS);
    if (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO) {
        std::string error, dbmsName;
        bool flag = false;
        U_pub::GetDBMSName(hDbc, error, flag, dbmsName);
        NewConnectionKey = QString::fromStdString(dbmsName);
        ConnectionKey = ConnectionKey::Build(NewConnectionKey, NewConnectionDSN, NewConnectionUser, NewConnectionPassword);
        hourglass.Restore();
        ReleaseTestHandles();
        done(mrOk);
        return;
    }

    std::string message;
    U_pub::GetDiagMessage(SQL_HANDLE_DBC, hDbc, message);
    Prompter::Current().Message(QString::fromStdString(message), windowTitle(), Prompter::Icon::Exclamation,
                                Prompter::Ok);
    NewConnectionKey.clear();
    NewConnectionUser.clear();
    NewConnectionPassword.clear();
    NewConnectionDSN.clear();
    hourglass.Restore();
    ReleaseTestHandles();
}

void Tfrm_connect::btnCancelClick() { done(mrCancel); }

void Tfrm_connect::reject() { done(mrCancel); }

void Tfrm_connect::ComboBox_odbcKeyDown(int key)
{
    if (IsEnter(key)) Edit_user->setFocus();
}

void Tfrm_connect::Edit_userKeyDown(int key)
{
    if (IsEnter(key)) Edit_pwd->setFocus();
}

void Tfrm_connect::Edit_pwdKeyDown(int key)
{
    if (IsEnter(key)) btnOKClick();
}

bool Tfrm_connect::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (IsEnter(key)) {
            if (watched == ComboBox_odbc || (ComboBox_odbc->lineEdit() && watched == ComboBox_odbc->lineEdit()))
                ComboBox_odbcKeyDown(key);
            else if (watched == Edit_user)
                Edit_userKeyDown(key);
            else if (watched == Edit_pwd)
                Edit_pwdKeyDown(key);
            else if (watched == btnOK || watched == btnCancel)
                static_cast<QPushButton*>(watched)->click();
            else
                return QDialog::eventFilter(watched, event);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
