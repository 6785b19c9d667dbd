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

int Tfrm_unstall::CountRemovalItems()
{
    removal_ = std::make_unique<InstallationRemoval>(Environment);
    return removal_->CountRemovalItems();
}

QStringList Tfrm_unstall::RemoveInstalledFiles()
{
    return removal_->RemoveInstalledFiles([this] {
        ++ItemsDone;
        UpdateProgress();
    });
}

QString Tfrm_unstall::InstallationOfOtherRights() const
{
    if (removal_->Record().Present || Environment.SystemRegistryFolder.isEmpty() ||
        Environment.SystemRegistryFolder == Environment.RegistryFolder)
        return {};
    const InstallationRecord::Contents system = InstallationRecord(RegistryStore(Environment.SystemRegistryFolder)).Read();
    if (!system.Present) return {};
    if (!system.Path.isEmpty()) return system.Path;
    return QStringLiteral("安装记录 %1 所记的位置")
        .arg(RegistryStore(Environment.SystemRegistryFolder).HiveFile(InstallationRecord::Hive));
}

void Tfrm_unstall::FormCreate()
{
    setWindowTitle(QStringLiteral("卸载    Tarnvale ") + ProductVersion);
    RemovalItemTotal = CountRemovalItems();
    Edit_progress->setGeometry(edit_1->x(), edit_1->y(), 0, edit_1->height());
    RemovalProgressPrefix = InstallProgress::PrefixOf(Edit_progress->text());
    InstallFolder = removal_->Record().Path;
    LinkFolder = removal_->Record().LinkDir;
}

void Tfrm_unstall::UpdateProgress() { ShowProgress(RemovalItemTotal, RemovalProgressPrefix); }

void Tfrm_unstall::btn_nextClick()
{
    // The system's installation is not this account's to remove: saying nothing is installed would
    // be wrong.
    if (const QString elsewhere = InstallationOfOtherRights(); !elsewhere.isEmpty()) {
        Message(QStringLiteral("Tarnvale 安装在 %1，这次安装是以系统管理员（root）的权限进行的，卸载也需要同样的权限。"
                               "\n\n请以 root 身份运行安装程序进行卸载。")
                    .arg(elsewhere),
                WizardTitle, Prompter::Icon::Exclamation, Prompter::Ok);
        btn_next->setEnabled(false);
        WizardTermination::Request();
        return;
    }
    StartProgress();
    const QStringList stayed = RemoveInstalledFiles();
    if (!stayed.isEmpty()) {
        QString text = QStringLiteral("下列文件或文件夹没有删除：\n\n") + stayed.join(u'\n');
        if (InstallationRecord(Environment.Registry()).Exists())
            text += QStringLiteral("\n\n安装记录保留了没有删除的文件和文件夹：排除原因后再次卸载即可删除它们。");
        Message(text, WizardTitle, Prompter::Icon::Information, Prompter::Ok);
    }
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
