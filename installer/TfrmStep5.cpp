#include "TfrmStep5.h"

#include "CaptionRule.h"
#include "FileChooser.h"
#include "FolderLevels.h"
#include "InstallationRecord.h"
#include "InstallationRemoval.h"
#include "InstallationRun.h"
#include "InstallerGlobals.h"
#include "PageSwitch.h"
#include "TfrmStep2B.h"
#include "TfrmStep4.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

using namespace InstallerGlobals;

TfrmStep5* frmStep5 = nullptr;

TfrmStep5::TfrmStep5(QWidget* parent) : TfrmParent2(parent)
{
    setWindowTitle(QStringLiteral("Tarnvale安装向导（第四步）"));
    GroupBox1 = new QGroupBox(QStringLiteral("安装位置"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(24, 256, 537, 65);
    Label_installDir = new QLabel(Environment.DefaultInstallFolder, GroupBox1);
    Label_installDir->setObjectName(QStringLiteral("Label_installDir"));
    Label_installDir->setGeometry(9, 27, 474, 19);
    BtnBrowDir = new QPushButton(QStringLiteral("浏览"), GroupBox1);
    BtnBrowDir->setObjectName(QStringLiteral("BtnBrowDir"));
    BtnBrowDir->setGeometry(456, 25, 75, 25);
    BtnBrowDir->setAutoDefault(false);

    connect(BtnBrowDir, &QPushButton::clicked, this, &TfrmStep5::BtnBrowDirClick);
    connect(btn_back, &QPushButton::clicked, this, &TfrmStep5::btn_backClick);
    connect(btn_next, &QPushButton::clicked, this, &TfrmStep5::Button2Click);
    connect(btn_cancel, &QPushButton::clicked, this, &TfrmStep5::btn_cancelClick);
}

void TfrmStep5::FormCreate() { setWindowTitle(InsertVersionIntoCaption(windowTitle())); }

bool TfrmStep5::BrowseForFolder(QWidget* owner, const QString& title, QString* folder, const QString& root)
{
    // The dialog opens at the folder shown, or at its nearest parent that exists.
    QString start = QDir::cleanPath(*folder);
    while (!start.isEmpty() && !QFileInfo(start).isDir() && start != QStringLiteral("/"))
        start = QFileInfo(start).path();
    if (start.isEmpty() || !QFileInfo(start).isDir()) start = root;
    FileChooser::Request request;
    request.Parent = owner;
    request.Name = QStringLiteral("BrowseForFolder");
    request.Title = title;
    request.Kind = FileChooser::Mode::Folder;
    request.Folder = start;
    // The toolkit's dialog remembers its last folder in its own settings file; the wizard writes
    // nothing outside the installation, so those settings go to a folder that goes with the dialog.
    QTemporaryDir dialogSettings;
    if (dialogSettings.isValid()) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dialogSettings.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dialogSettings.path());
    }
    const FileChooser::Answer answer = FileChooser::Current().Choose(request);
    if (!answer.Accepted || answer.Path.isEmpty()) return false;
    *folder = QDir::cleanPath(answer.Path);
    return true;
}

void TfrmStep5::BtnBrowDirClick()
{
    QString folder = Label_installDir->text();
    if (BrowseForFolder(this, QStringLiteral("请选择操作目录"), &folder, QDir::homePath())) Label_installDir->setText(folder);
}

void TfrmStep5::btn_backClick() { SwitchPage(this, frmStep2B); }

void TfrmStep5::Button2Click()
{
    InstallFolder = Label_installDir->text();
    // A folder the record cannot hold, or one the removal would not empty, is never installed into.
    if (const QString refusal = InstallationRemoval::InstallFolderRefusal(InstallFolder, Environment);
        !refusal.isEmpty()) {
        Message(QStringLiteral("不能安装到“%1”：%2。\n\n请点击“浏览”另选一个文件夹。").arg(InstallFolder, refusal), WizardTitle,
                Prompter::Icon::Exclamation, Prompter::Ok);
        return;
    }
    const QFileInfo folder(InstallFolder);
    QStringList created;
    if (folder.isDir()) {
        const QString program = InstallationRun::ProgramTargetName(ProgramMask);
        if (QFileInfo(QDir(InstallFolder).filePath(program)).isFile() &&
            Message(QStringLiteral("前期已经过 Tarnvale，建议先进行卸载！\n\n点击  'Y' 卸载 ， 继续安装请点击 'N'"),
                    WizardTitle, Prompter::Icon::Information, Prompter::Yes | Prompter::No) == Prompter::Yes)
            return;
    } else if (!CreateFolderLevels(InstallFolder, &created)) {
        Message(QStringLiteral("不能创建目录") + InstallFolder, WizardTitle, Prompter::Icon::Error, Prompter::Ok);
        return;
    }
    btn_back->setEnabled(false);
    btn_cancel->setEnabled(false);
    if (!InstallationRecord(Environment.Registry()).Replace(ProductVersion, InstallFolder, created)) {
        // No record names the folders just made: they go again, and the installation page tries once more.
        RemoveEmptyFolders(created);
        Message(RegistryFailedText, windowTitle(), Prompter::Icon::Exclamation, Prompter::Ok);
    }
    if (!frmStep4) InstallFolder = WithTrailingSlash(Label_installDir->text());
    SwitchPage(this, frmStep4);
}

void TfrmStep5::btn_cancelClick() { AskToQuit(QStringLiteral("退出 Tarnvale 的安装？")); }
