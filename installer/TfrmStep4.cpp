#include "TfrmStep4.h"

#include "CaptionRule.h"
#include "InstallationRecord.h"
#include "InstallerGlobals.h"
#include "PageSwitch.h"
#include "TfrmStep5.h"
#include "TfrmStep6.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace InstallerGlobals;

TfrmStep4* frmStep4 = nullptr;

TfrmStep4::TfrmStep4(QWidget* parent) : TfrmParent2(parent)
{
    setWindowTitle(QStringLiteral("Tarnvale安装向导（第六步）"));
    QFont labelFont = font();
    labelFont.setPointSize(10);
    auto label = [&](const char* name, const QString& text, int left, int top) {
        auto* l = new QLabel(text, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(labelFont);
        l->move(left, top);
        l->resize(l->sizeHint());
        return l;
    };
    auto edit = [this](const char* name, int left, int top) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(left, top, 489, 21);
        return e;
    };
    Label2 = label("Label2", QStringLiteral("姓名："), 51, 127);
    Edit_user = edit("Edit_user", 51, 150);
    Label3 = label("Label3", QStringLiteral("单位名称："), 48, 208);
    Edit_company = edit("Edit_company", 51, 232);
    btn_back->hide();
    btn_back->setEnabled(false);
    btn_cancel->hide();
    btn_cancel->setEnabled(false);
    setTabOrder(Edit_user, Edit_company);
    setTabOrder(Edit_company, btn_next);

    connect(Edit_company, &QLineEdit::textChanged, this, &TfrmStep4::Edit_companyChange);
    connect(btn_back, &QPushButton::clicked, this, &TfrmStep4::btn_backClick);
    connect(btn_next, &QPushButton::clicked, this, &TfrmStep4::Button2Click);
    connect(btn_cancel, &QPushButton::clicked, this, &TfrmStep4::btn_cancelClick);
}

void TfrmStep4::FormCreate() { setWindowTitle(InsertVersionIntoCaption(windowTitle())); }

void TfrmStep4::FormShow() { Edit_user->setFocus(); }

void TfrmStep4::Edit_companyChange()
{
    if (!Edit_user->text().isEmpty() && !Edit_company->text().isEmpty()) btn_next->setEnabled(true);
}

void TfrmStep4::btn_backClick() { SwitchPage(this, frmStep5); }

void TfrmStep4::Button2Click()
{
    CompanyName = Edit_company->text();
    UserName = Edit_user->text();
    if (!InstallationRecord(Environment.Registry()).WriteUser(UserName, CompanyName))
        Message(RegistryFailedText, WizardTitle, Prompter::Icon::Exclamation, Prompter::Ok);
    SwitchPage(this, frmStep6);
}

void TfrmStep4::btn_cancelClick() { AskToQuit(QStringLiteral("退出 Tarnvale 的安装？")); }
