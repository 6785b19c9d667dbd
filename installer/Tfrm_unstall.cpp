#include "Tfrm_unstall.h"

#include "InstallProgress.h"
#include "InstallerGlobals.h"
#include "PageSwitch.h"
#include "TfrmStep2B.h"
#include "WizardTermination.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace InstallerGlobals;

Tfrm_unstall* frm_unstall = nullptr;

Tfrm_unstall::Tfrm_unstall(QWidget* parent) : TfrmStep6(parent)
{
    Label2->setText(QStringLiteral("安装程序正在卸载Tarnvale"));
    btn_back->setEnabled(true);
    btn_back->show();
    btn_cancel->setEnabled(true);
    btn_cancel->show();
    btn_next->setText(QStringLiteral("&Unstall"));
}

Tfrm_unstall::~Tfrm_unstall() = default;

void Tfrm_unstall::FormCreate()
{
    setWindowTitle(QStringLiteral("卸载    Tarnvale ") + ProductVersion);
    removal_ = std::make_unique<InstallationRemoval>(Environment);
    RemovalItemTotal = removal_->CountItems();
    Edit_progress->setGeometry(edit_1->x(), edit_1->y(), 0, edit_1->height());
    RemovalProgressPrefix = InstallProgress::PrefixOf(Edit_progress->text());
    InstallFolder = removal_->Record().Path;
    LinkFolder = removal_->Record().LinkDir;
}

void Tfrm_unstall::UpdateProgress() { ShowProgress(RemovalItemTotal, RemovalProgressPrefix); }

void Tfrm_unstall::btn_nextClick()
{
    StartProgress();
    const QStringList stayed = removal_->Run([this] {
        ++ItemsDone;
        UpdateProgress();
    });
    if (!stayed.isEmpty())
        Message(QStringLiteral("下列文件或文件夹没有删除：\n\n") + stayed.join(u'\n'), WizardTitle,
                Prompter::Icon::Information, Prompter::Ok);
    Message(QStringLiteral("非常感谢您使用Tarnvale！"), WizardTitle, Prompter::Icon::Information, Prompter::Ok);
    btn_next->setEnabled(false);
    WizardTermination::Request();
}

void Tfrm_unstall::btn_backClick() { SwitchPage(this, frmStep2B); }

void Tfrm_unstall::btn_cancelClick()
{
    if (!btn_next->isEnabled()) {
        WizardTermination::Request();
        return;
    }
    AskToQuit(QStringLiteral("退出 Tarnvale 卸载？"));
}
