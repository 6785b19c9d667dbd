#include "TfrmStep6.h"

#include "CaptionRule.h"
#include "FolderLevels.h"
#include "InstallProgress.h"
#include "InstallationRecord.h"
#include "InstallerGlobals.h"
#include "SystemText.h"
#include "WizardTermination.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QThread>

using namespace InstallerGlobals;

TfrmStep6* frmStep6 = nullptr;

namespace {

QLineEdit* ProgressBox(QWidget* parent, const char* name, const QColor& background, const QColor& text)
{
    auto* box = new QLineEdit(InstallProgress::InitialText(), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(32, 179, 529, 28);
    QFont font(QStringLiteral("MS Sans Serif"), 12);
    font.setBold(true);
    box->setFont(font);
    QPalette palette = box->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, background);
        palette.setColor(group, QPalette::Text, text);
    }
    box->setPalette(palette);
    box->setEnabled(false);
    box->hide();
    return box;
}

} // namespace

TfrmStep6::TfrmStep6(QWidget* parent) : TfrmParent2(parent)
{
    setWindowTitle(QStringLiteral("Tarnvale安装向导（第七步）"));
    Label2 = new QLabel(QStringLiteral("安装程序正在进行Tarnvale的安装"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(32, 88, 521, std::max(13, Label2->sizeHint().height()));
    edit_1 = ProgressBox(this, "edit_1", Qt::white, Qt::black);
    Edit_progress = ProgressBox(this, "Edit_progress", Qt::blue, Qt::white);
    btn_next->setText(QStringLiteral("&Install"));
    btn_back->hide();
    btn_back->setEnabled(false);
    btn_cancel->setText(QStringLiteral("&Exit"));
    btn_cancel->hide();
    btn_cancel->setEnabled(false);

    connect(btn_next, &QPushButton::clicked, this, [this] { btn_nextClick(); });
    connect(btn_back, &QPushButton::clicked, this, [this] { btn_backClick(); });
    connect(btn_cancel, &QPushButton::clicked, this, [this] { btn_cancelClick(); });
}

void TfrmStep6::FormCreate()
{
    btn_cancel->setEnabled(false);
    setWindowTitle(InsertVersionIntoCaption(windowTitle()));
    InstallItemTotal = InstallationRun::CountItems(SourceFolder);
    Edit_progress->setGeometry(edit_1->x(), edit_1->y(), 0, edit_1->height());
    ProgressPrefix = InstallProgress::PrefixOf(Edit_progress->text());
    // Where the shortcut goes must be known before anything is installed.
    if (Environment.ApplicationsFolder.isEmpty())
        Message(QStringLiteral("无法获得注册表信息，请联系软件提供商！"), windowTitle(), Prompter::Icon::Exclamation,
                Prompter::Ok);
}

void TfrmStep6::ShowProgress(int total, const QString& prefix)
{
    Edit_progress->setText(InstallProgress::Text(prefix, ItemsDone, total));
    edit_1->setText(Edit_progress->text());
    Edit_progress->resize(InstallProgress::BarWidth(edit_1->width(), ItemsDone, total), edit_1->height());
    edit_1->repaint();
    Edit_progress->repaint();
}

void TfrmStep6::UpdateProgress() { ShowProgress(InstallItemTotal, ProgressPrefix); }

void TfrmStep6::StartProgress()
{
    ItemsDone = 0;
    edit_1->show();
    Edit_progress->show();
    UpdateProgress();
}

void TfrmStep6::Step()
{
    ++ItemsDone;
    UpdateProgress();
    QThread::msleep(10);
}

void TfrmStep6::ItemDone() { Step(); }

void TfrmStep6::FilesMissing() { Message(FilesMissingText, WizardTitle, Prompter::Icon::Exclamation, Prompter::Ok); }

void TfrmStep6::LinkFolderNotRecorded()
{
    Message(RegistryFailedText, WizardTitle, Prompter::Icon::Exclamation, Prompter::Ok);
}

namespace {

// The installation folder as the folder page's label showed it: without the slash appended since.
QString LabelFolder(const QString& folder)
{
    return folder.size() > 1 && folder.endsWith(u'/') ? folder.chopped(1) : folder;
}

// What was put in place, folder by folder, for the user who cannot be thanked for a whole installation.
QString InstalledWhere(const QStringList& files)
{
    QMap<QString, QStringList> byFolder;
    QStringList order;
    for (const QString& file : files) {
        const QFileInfo info(file);
        if (!byFolder.contains(info.path())) order.append(info.path());
        byFolder[info.path()].append(info.fileName());
    }
    QStringList lines;
    for (const QString& folder : order) lines << folder + QStringLiteral("：") + byFolder.value(folder).join(QStringLiteral("、"));
    return lines.join(u'\n');
}

} // namespace

bool TfrmStep6::RecordHoldsInstallation()
{
    const QString path = LabelFolder(InstallFolder);
    InstallationRecord record(Environment.Registry());
    const InstallationRecord::Contents contents = record.Read();
    if (contents.Present && contents.Path == path) return true;
    // The folder page could not write the record: once more, with the folder made anew.
    QStringList created;
    QString error;
    if (!CreateFolderLevels(path, &created, &error)) {
        Message(QStringLiteral("不能创建目录") + path + QStringLiteral("（") + error + QStringLiteral("），没有复制任何文件。"),
                WizardTitle, Prompter::Icon::Error, Prompter::Ok);
        return false;
    }
    if (record.Replace(ProductVersion, path, created, &error)) {
        // User and company are read by nothing: without them the installation can still be removed.
        record.WriteUser(UserName, CompanyName);
        return true;
    }
    RemoveEmptyFolders(created);
    Message(RegistryFailedText + QStringLiteral("\n\n安装记录不能写入（%1）。卸载时只能删除安装记录中记下的文件，"
                                                "所以没有复制任何文件。请排除故障后再点击 Install。")
                                     .arg(SystemText::InChinese(error)),
            WizardTitle, Prompter::Icon::Exclamation, Prompter::Ok);
    return false;
}

void TfrmStep6::btn_nextClick()
{
    InstallFolder = WithTrailingSlash(InstallFolder);
    // Nothing is copied that the removal could not find through the record.
    if (!RecordHoldsInstallation()) return;
    StartProgress();
    InstallationRun run(Environment, SourceFolder, InstallFolder);
    const QList<InstallationRun::Failure> failures = run.Run(*this);
    if (!failures.isEmpty()) {
        QStringList lines;
        for (const InstallationRun::Failure& failure : failures) lines << failure.What + QStringLiteral("：") + failure.Reason;
        QString text = QStringLiteral("Tarnvale 没有安装完整，下列文件未能安装：\n\n") + lines.join(u'\n');
        if (!run.Installed().isEmpty())
            text += QStringLiteral("\n\n已经安装的文件（卸载时会删除）：\n") + InstalledWhere(run.Installed());
        Message(text, WizardTitle, Prompter::Icon::Exclamation, Prompter::Ok);
        return;
    }
    Message(QStringLiteral("非常感谢您使用 Tarnvale！"), WizardTitle, Prompter::Icon::Information, Prompter::Ok);
    btn_next->setEnabled(false);
    WizardTermination::Request();
}
