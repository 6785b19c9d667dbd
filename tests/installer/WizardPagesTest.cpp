// The wizard's pages under the offscreen platform: the sequence forward and back with the
// buttons' states and captions, the folder choice and its checks, the messages, the installation
// page's progress and the removal page.
#include "InstallProgress.h"
#include "ImmutableFolder.h"
#include "InstallationRemoval.h"
#include "RegistryStore.h"
#include "WizardTestSupport.h"

#include <QApplication>
#include <QAbstractButton>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTemporaryDir>
#include <QTimer>

using namespace InstallerTest;

namespace {

const QString Fourteen(14, u' ');

QString Caption(const char* step) { return "Tarnvale 6.04" + Fourteen + "安装向导（" + QString::fromUtf8(step) + "）"; }

struct ButtonState {
    bool Visible, Enabled;
};

void ExpectButtons(TfrmParent* page, ButtonState back, ButtonState next, ButtonState cancel)
{
    EXPECT_EQ(page->btn_back->isVisible(), back.Visible);
    EXPECT_EQ(page->btn_back->isEnabled(), back.Enabled);
    EXPECT_EQ(page->btn_next->isVisible(), next.Visible);
    EXPECT_EQ(page->btn_next->isEnabled(), next.Enabled);
    EXPECT_EQ(page->btn_cancel->isVisible(), cancel.Visible);
    EXPECT_EQ(page->btn_cancel->isEnabled(), cancel.Enabled);
}

constexpr ButtonState On{true, true};
constexpr ButtonState Off{true, false};
constexpr ButtonState Hidden{false, false};
constexpr ButtonState HiddenOn{false, true};

// The widget that Tab moves to from widget.
QWidget* NextTabStop(QWidget* widget)
{
    for (QWidget* next = widget->nextInFocusChain(); next != widget; next = next->nextInFocusChain())
        if ((next->focusPolicy() & Qt::TabFocus) && next->isVisibleTo(widget->window()) && next->isEnabled()) return next;
    return nullptr;
}

// The heading's point size and weight, and the largest size anywhere else in the box.
void ExpectWelcomeText(QTextEdit* edit)
{
    const QTextCursor heading = edit->document()->find(TfrmStep1::Heading);
    ASSERT_FALSE(heading.isNull());
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const bool inHeading = f.position() >= heading.selectionStart() && f.position() < heading.selectionEnd();
            SCOPED_TRACE(f.text().toStdString());
            EXPECT_EQ(f.charFormat().fontPointSize(), inHeading ? 12 : 9);
            EXPECT_EQ(f.charFormat().fontWeight() >= QFont::Bold, inHeading);
        }
    EXPECT_FALSE(edit->textCursor().hasSelection());
}

TEST_F(WizardTest, TheWelcomePageShowsItsTextAndLeadsToTheAgreement)
{
    Start();
    EXPECT_EQ(Shown(), frmStep1);
    EXPECT_EQ(frmStep1->windowTitle(), Caption("第一步"));
    EXPECT_EQ(frmStep1->size(), QSize(589, 397));
    ExpectButtons(frmStep1, Off, On, On);
    EXPECT_EQ(frmStep1->btn_back->text(), "< &Back");
    EXPECT_EQ(frmStep1->btn_next->text(), "Next >");
    EXPECT_EQ(frmStep1->btn_cancel->text(), "&Cancel");
    EXPECT_EQ(frmStep1->btn_next->geometry(), QRect(408, 360, 75, 25));
    EXPECT_FALSE(frmStep1->RichEdit1->isEnabled());
    EXPECT_EQ(frmStep1->RichEdit1->toPlainText().split('\n').size(), 9);
    EXPECT_EQ(frmStep1->RichEdit1->toPlainText().split('\n')[3], QString(11, u' ') + TfrmStep1::Heading);
    ExpectWelcomeText(frmStep1->RichEdit1);
    EXPECT_EQ(InstallerGlobals::SourceFolder, places.Environment.SourceFolder + "/");

    Click(frmStep1->btn_next);
    EXPECT_EQ(Shown(), frmStep2);
    Click(frmStep2->btn_back);
    EXPECT_EQ(Shown(), frmStep1);
    ExpectWelcomeText(frmStep1->RichEdit1);
}

TEST_F(WizardTest, TheAgreementMustBeAcceptedAndOncePassedTheWelcomePageIsNotReachedAgain)
{
    Start();
    Click(frmStep1->btn_next);
    EXPECT_EQ(frmStep2->windowTitle(), Caption("第二步"));
    ExpectButtons(frmStep2, On, Off, On);
    EXPECT_TRUE(frmStep2->RadioButton_unagree->isChecked());
    EXPECT_FALSE(frmStep2->RadioButton_agree->isChecked());
    const QString agreement = frmStep2->Memo1->toPlainText();
    EXPECT_TRUE(agreement.startsWith(QString(33, u' ') + "软件许可协议"));
    for (const char* section : {"一、知识产权", "二、使用许可的范围", "三、使用条件", "四、责任与免责声明", "五、其他条款", "权利人："})
        EXPECT_TRUE(agreement.contains(QString::fromUtf8(section))) << section;
    EXPECT_EQ(frmStep2->Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);

    Click(frmStep2->RadioButton_agree);
    EXPECT_TRUE(frmStep2->btn_next->isEnabled());
    Click(frmStep2->RadioButton_unagree);
    EXPECT_FALSE(frmStep2->btn_next->isEnabled());
    Click(frmStep2->RadioButton_agree);
    Click(frmStep2->btn_next);
    EXPECT_EQ(Shown(), frmStep2B);
    EXPECT_EQ(frmStep2B->windowTitle(), Caption("第三步"));
    ExpectButtons(frmStep2B, On, On, HiddenOn);
    EXPECT_TRUE(frmStep2B->rb_Instal->isChecked());
    EXPECT_FALSE(frmStep2B->rb_unstall->isChecked());

    TfrmStep2* agreementPage = frmStep2;
    Click(frmStep2B->btn_back);
    EXPECT_EQ(Shown(), frmStep2);
    EXPECT_EQ(frmStep2, agreementPage) << "the same window";
    EXPECT_TRUE(frmStep2->RadioButton_agree->isChecked());
    ExpectButtons(frmStep2, Off, On, On);
}

TEST_F(WizardTest, TheChoiceLeadsToTheFolderPageOrTheRemovalPageAndBack)
{
    ToChoicePage();
    Click(frmStep2B->rb_unstall);
    EXPECT_FALSE(frmStep2B->rb_Instal->isChecked());
    Click(frmStep2B->btn_next);
    EXPECT_EQ(Shown(), frm_unstall);
    Click(frm_unstall->btn_back);
    EXPECT_EQ(Shown(), frmStep2B);
    Click(frmStep2B->rb_Instal);
    EXPECT_FALSE(frmStep2B->rb_unstall->isChecked());
    Click(frmStep2B->btn_next);
    EXPECT_EQ(Shown(), frmStep5);
    EXPECT_EQ(frmStep5->windowTitle(), Caption("第四步"));
    ExpectButtons(frmStep5, On, On, On);
    EXPECT_EQ(frmStep5->GroupBox1->title(), "安装位置");
    EXPECT_EQ(frmStep5->Label_installDir->text(), places.Environment.DefaultInstallFolder);
}

TEST_F(WizardTest, AChosenFolderIsShownAndStaysWhenThePageIsVisitedAgain)
{
    ToFolderPage();
    chooser.Cancel();
    Click(frmStep5->BtnBrowDir);
    ASSERT_EQ(chooser.Requests.size(), 1u);
    EXPECT_EQ(chooser.Requests[0].Title, "请选择操作目录");
    EXPECT_EQ(chooser.Requests[0].Kind, FileChooser::Mode::Folder);
    EXPECT_EQ(chooser.Requests[0].Folder, places.Root()) << "the nearest folder that exists";
    EXPECT_EQ(frmStep5->Label_installDir->text(), places.Environment.DefaultInstallFolder) << "no choice, no change";

    const QString chosen = places.Root() + QStringLiteral("/my apps/Tarnvale");
    chooser.Accept(chosen + "/");
    Click(frmStep5->BtnBrowDir);
    EXPECT_EQ(frmStep5->Label_installDir->text(), chosen);
    TfrmStep5* folderPage = frmStep5;
    Click(frmStep5->btn_back);
    Click(frmStep2B->btn_next);
    EXPECT_EQ(frmStep5, folderPage);
    EXPECT_EQ(frmStep5->Label_installDir->text(), chosen);
}

TEST_F(WizardTest, GoingOnFromTheFolderPageMakesTheFolderAndTheRecord)
{
    ToFolderPage();
    Click(frmStep5->btn_next);
    EXPECT_EQ(Shown(), frmStep4);
    EXPECT_TRUE(prompter.Prompts.empty());
    EXPECT_TRUE(QFileInfo(places.Environment.DefaultInstallFolder).isDir());
    EXPECT_FALSE(frmStep5->btn_back->isEnabled());
    EXPECT_FALSE(frmStep5->btn_cancel->isEnabled());
    const InstallationRecord::Contents record = places.Record().Read();
    EXPECT_EQ(record.Version, "6.04");
    EXPECT_EQ(record.Path, places.Environment.DefaultInstallFolder) << "as the label shows it";
    EXPECT_EQ(record.Folders, (QStringList{places.Environment.RegistryFolder, places.Root() + "/Program Files", places.Root() + "/Program Files/Corvane",
                                            places.Root() + "/Program Files/Corvane/Tarnvale",
                                            places.Environment.DefaultInstallFolder}));
    EXPECT_EQ(InstallerGlobals::InstallFolder, places.Environment.DefaultInstallFolder + "/");

    EXPECT_EQ(frmStep4->windowTitle(), Caption("第六步"));
    ExpectButtons(frmStep4, Hidden, On, Hidden);
    EXPECT_EQ(frmStep4->Label2->text(), "姓名：");
    EXPECT_EQ(frmStep4->Label3->text(), "单位名称：");
    EXPECT_EQ(frmStep4->Edit_user->geometry(), QRect(51, 150, 489, 21));
    EXPECT_EQ(NextTabStop(frmStep4->Edit_user), frmStep4->Edit_company);
    EXPECT_EQ(NextTabStop(frmStep4->Edit_company), frmStep4->btn_next);
}

TEST_F(WizardTest, TheUserPageWritesUserAndCompanyEvenWhenTheCompanyIsEmpty)
{
    ToUserPage();
    frmStep4->Edit_user->insert(QStringLiteral("张伟"));
    EXPECT_TRUE(frmStep4->btn_next->isEnabled());
    Click(frmStep4->btn_next);
    EXPECT_EQ(Shown(), frmStep6);
    const InstallationRecord::Contents record = places.Record().Read();
    EXPECT_EQ(record.User, "张伟");
    EXPECT_EQ(record.Company, "");
    EXPECT_EQ(InstallerGlobals::UserName, "张伟");
    EXPECT_TRUE(prompter.Prompts.empty());
}

TEST_F(WizardTest, AnEarlierInstallationInTheFolderIsPointedOutAndYesStaysOnThePage)
{
    QDir().mkpath(places.Environment.DefaultInstallFolder);
    Write(places.Installed(QStringLiteral("Tarnvale")), "installed before", 0755);
    ASSERT_TRUE(places.Record().Replace(QStringLiteral("6.03"), QStringLiteral("/earlier"), {}));
    ToFolderPage();
    prompter.Answers = {Prompter::Yes};
    Click(frmStep5->btn_next);
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Text, "前期已经过 Tarnvale，建议先进行卸载！\n\n点击  'Y' 卸载 ， 继续安装请点击 'N'");
    EXPECT_EQ(prompter.Prompts[0].Caption, "Tarnvale安装向导");
    EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Information);
    EXPECT_EQ(prompter.Prompts[0].Buttons, Prompter::Yes | Prompter::No);
    EXPECT_EQ(Shown(), frmStep5);
    ExpectButtons(frmStep5, On, On, On);
    EXPECT_EQ(places.Record().Read().Version, "6.03") << "the record is untouched";

    prompter.Answers = {Prompter::No};
    Click(frmStep5->btn_next);
    EXPECT_EQ(prompter.Prompts.size(), 2u);
    EXPECT_EQ(Shown(), frmStep4);
    EXPECT_EQ(places.Record().Read().Version, "6.04");
}

TEST_F(WizardTest, TheEarlierInstallationQuestionInItsRealBoxTakesNoEscOrCloseBoxAsAnAnswer)
{
    QDir().mkpath(places.Environment.DefaultInstallFolder);
    Write(places.Installed(QStringLiteral("Tarnvale")), "installed before", 0755);
    ASSERT_TRUE(places.Record().Replace(QStringLiteral("6.03"), QStringLiteral("/earlier"), {}));
    ToFolderPage();
    Prompter::Install(nullptr);
    bool upAfterEscAndClose = false;
    QTimer answer;
    answer.setInterval(20);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        answer.stop();
        QTest::keyClick(box, Qt::Key_Escape);
        QCloseEvent close;
        QCoreApplication::sendEvent(box, &close);
        Settle();
        upAfterEscAndClose = box->isVisible();
        box->button(QMessageBox::No)->click();
    });
    answer.start();
    Click(frmStep5->btn_next);
    Prompter::Install(&prompter);
    EXPECT_TRUE(upAfterEscAndClose);
    EXPECT_EQ(Shown(), frmStep4) << "No goes on with the installation";
}

TEST_F(WizardTest, AFolderThatCannotBeMadeIsReportedAndTheWizardStays)
{
    Write(places.Root() + QStringLiteral("/blocked"), "a file");
    ToFolderPage();
    chooser.Accept(places.Root() + QStringLiteral("/blocked/Tarnvale"));
    Click(frmStep5->BtnBrowDir);
    Click(frmStep5->btn_next);
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Text, "不能创建目录" + places.Root() + "/blocked/Tarnvale");
    EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Error);
    EXPECT_EQ(Shown(), frmStep5);
    ExpectButtons(frmStep5, On, On, On);
    EXPECT_FALSE(places.Record().Exists());
    EXPECT_EQ(InstallerGlobals::InstallFolder, places.Root() + "/blocked/Tarnvale");
}

TEST_F(WizardTest, ARecordThatCannotBeWrittenIsReportedAndNothingIsCopiedUntilItCanBe)
{
    const QSet<QString> before = places.Tree();
    const QString writable = places.Environment.RegistryFolder;
    places.Environment.RegistryFolder = places.Medium(QStringLiteral("Install")) + QStringLiteral("/registry");
    ToFolderPage();
    const QString folderCaption = frmStep5->windowTitle();
    Click(frmStep5->btn_next);
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Text, "注册失败，请联系软件提供商！");
    EXPECT_EQ(prompter.Prompts[0].Caption, folderCaption);
    EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(prompter.Prompts[0].Buttons, Prompter::Ok);
    EXPECT_EQ(Shown(), frmStep4);
    EXPECT_EQ(places.Tree(), before) << "the folders made for the installation went again with the record";
    frmStep4->Edit_user->insert(QStringLiteral("张伟"));
    Click(frmStep4->btn_next);
    ASSERT_EQ(prompter.Prompts.size(), 2u);
    EXPECT_EQ(prompter.Prompts[1].Text, "注册失败，请联系软件提供商！");
    EXPECT_EQ(prompter.Prompts[1].Caption, "Tarnvale安装向导");
    EXPECT_EQ(Shown(), frmStep6);

    // The record still cannot be written: the user is told before anything is copied, and not thanked.
    Click(frmStep6->btn_next);
    QStringList texts = PromptTexts();
    ASSERT_EQ(texts.size(), 3) << texts.join('\n').toStdString();
    EXPECT_TRUE(texts[2].startsWith("注册失败，请联系软件提供商！\n\n安装记录不能写入（")) << texts[2].toStdString();
    EXPECT_TRUE(texts[2].contains("没有复制任何文件")) << texts[2].toStdString();
    EXPECT_EQ(texts[2].section(u'（', 1).section(u'）', 0, 0), "不能创建文件夹 " + places.Environment.RegistryFolder)
        << "the reason in Chinese";
    EXPECT_FALSE(frmStep6->edit_1->isVisible()) << "no installation started";
    EXPECT_FALSE(WizardTermination::Requested());
    EXPECT_TRUE(frmStep6->btn_next->isEnabled()) << "Install can be pressed again";
    EXPECT_EQ(places.Tree(), before) << "nothing copied, no folder made";

    // Once the registry can be written, Install writes the record and installs what the removal finds.
    places.Environment.RegistryFolder = writable;
    InstallerGlobals::Environment.RegistryFolder = writable;
    Click(frmStep6->btn_next);
    texts = PromptTexts();
    ASSERT_EQ(texts.size(), 4) << texts.join('\n').toStdString();
    EXPECT_EQ(texts[3], "非常感谢您使用 Tarnvale！");
    const InstallationRecord::Contents record = places.Record().Read();
    EXPECT_EQ(record.Path, places.Environment.DefaultInstallFolder);
    EXPECT_EQ(record.User, "张伟");
    EXPECT_TRUE(InstallationRemoval(places.Environment).RemoveInstalledFiles([] {}).isEmpty());
    EXPECT_EQ(places.Tree(), before);
}

TEST_F(WizardTest, AFolderTheRecordCannotHoldOrTheRemovalWouldNotEmptyIsRefusedOnTheFolderPage)
{
    struct Case {
        const char* Name;
        QString Folder;
    };
    const QString home = places.Environment.HomeFolder;
    const Case cases[] = {
        {"a blank at the end", places.Root() + QStringLiteral("/Tarnvale ")},
        {"an ideographic blank at the end", places.Root() + QStringLiteral("/Tarnvale\u3000")},
        {"a line break", places.Root() + QStringLiteral("/Tarn\nvale")},
        {"the home folder", home},
        {"the home folder spelt with a slash", home + QStringLiteral("/")},
        {"a folder above the home folder", places.Root()},
        {"a system folder", QStringLiteral("/usr/bin")},
        {"the root", QStringLiteral("/")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const QSet<QString> before = places.Tree();
        ToFolderPage();
        chooser.Accept(c.Folder);
        Click(frmStep5->BtnBrowDir);
        frmStep5->Label_installDir->setText(c.Folder);
        prompter.Prompts.clear();
        Click(frmStep5->btn_next);
        ASSERT_EQ(prompter.Prompts.size(), 1u);
        EXPECT_TRUE(prompter.Prompts[0].Text.startsWith("不能安装到“" + c.Folder + "”：")) << prompter.Prompts[0].Text.toStdString();
        EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Exclamation);
        EXPECT_EQ(Shown(), frmStep5);
        ExpectButtons(frmStep5, On, On, On);
        EXPECT_FALSE(places.Record().Exists());
        EXPECT_EQ(places.Tree(), before) << "nothing made";
    }
}

struct CancelCase {
    const char* Page;
    std::function<TfrmParent*(WizardTest&)> Reach;
    std::function<void(TfrmParent*)> Cancel;
    const char* Question;
};

TEST_F(WizardTest, CancelAsksAndOnlyOkEndsTheProgram)
{
    auto click = [](TfrmParent* page) { Click(page->btn_cancel); };
    const CancelCase cases[] = {
        {"welcome", [](WizardTest& t) -> TfrmParent* { t.Start(); return frmStep1; }, click, "退出 Tarnvale 的安装/卸载？"},
        {"agreement", [](WizardTest& t) -> TfrmParent* { t.Start(); Click(frmStep1->btn_next); return frmStep2; }, click,
         "退出 Tarnvale 的安装/卸载？"},
        {"choice (hidden button)", [](WizardTest& t) -> TfrmParent* { t.ToChoicePage(); return frmStep2B; },
         [](TfrmParent*) { frmStep2B->btn_cancelClick(); }, "退出 Tarnvale 的安装/卸载？"},
        {"folder", [](WizardTest& t) -> TfrmParent* { t.ToFolderPage(); return frmStep5; }, click, "退出 Tarnvale 的安装？"},
        {"user (hidden button)", [](WizardTest& t) -> TfrmParent* { t.ToUserPage(); return frmStep4; },
         [](TfrmParent*) { frmStep4->btn_cancelClick(); }, "退出 Tarnvale 的安装？"},
        {"removal", [](WizardTest& t) -> TfrmParent* { t.ToRemovalPage(); return frm_unstall; }, click, "退出 Tarnvale 卸载？"},
    };
    for (const CancelCase& c : cases) {
        SCOPED_TRACE(c.Page);
        TfrmParent* page = c.Reach(*this);
        prompter.Prompts.clear();
        prompter.Answers = {Prompter::Cancel};
        c.Cancel(page);
        ASSERT_EQ(prompter.Prompts.size(), 1u);
        EXPECT_EQ(prompter.Prompts[0].Text, QString::fromUtf8(c.Question));
        EXPECT_EQ(prompter.Prompts[0].Caption, "Tarnvale安装向导");
        EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Exclamation);
        EXPECT_EQ(prompter.Prompts[0].Buttons, Prompter::Ok | Prompter::Cancel);
        EXPECT_FALSE(WizardTermination::Requested());
        EXPECT_EQ(Shown(), page);
        prompter.Answers = {Prompter::Ok};
        c.Cancel(page);
        EXPECT_TRUE(WizardTermination::Requested());
    }
}

TEST_F(WizardTest, TheCloseBoxOfAnyPageEndsTheProgram)
{
    Start();
    frmStep1->close();
    EXPECT_TRUE(WizardTermination::Requested());
    Start();
    Click(frmStep1->btn_next);
    frmStep2->close();
    EXPECT_TRUE(WizardTermination::Requested());
    EXPECT_TRUE(prompter.Prompts.empty()) << "the close box does not ask";
}

TEST_F(WizardTest, TheInstallationPageInstallsShowsFullProgressThanksAndEnds)
{
    ToInstallPage();
    EXPECT_EQ(Shown(), frmStep6);
    EXPECT_EQ(frmStep6->windowTitle(), Caption("第七步"));
    EXPECT_EQ(frmStep6->Label2->text(), "安装程序正在进行Tarnvale的安装");
    ExpectButtons(frmStep6, Hidden, On, Hidden);
    EXPECT_EQ(frmStep6->btn_next->text(), "&Install");
    EXPECT_EQ(frmStep6->btn_cancel->text(), "&Exit");
    EXPECT_FALSE(frmStep6->edit_1->isVisible());
    EXPECT_FALSE(frmStep6->Edit_progress->isVisible());
    EXPECT_EQ(frmStep6->Edit_progress->width(), 0);
    EXPECT_EQ(frmStep6->Edit_progress->pos(), frmStep6->edit_1->pos());
    EXPECT_EQ(frmStep6->InstallItemTotal, 7);
    EXPECT_EQ(frmStep6->ProgressPrefix, QString(50, u' '));

    // What the boxes show whenever a message box is up.
    QStringList shownAtMessages;
    prompter.OnMessage = [&](const PromptRecord&) {
        EXPECT_EQ(frmStep6->edit_1->text(), frmStep6->Edit_progress->text());
        shownAtMessages << frmStep6->Edit_progress->text().trimmed();
    };
    Click(frmStep6->btn_next);
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Text, "非常感谢您使用 Tarnvale！");
    EXPECT_EQ(prompter.Prompts[0].Caption, "Tarnvale安装向导");
    EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Information);
    EXPECT_EQ(shownAtMessages, QStringList{"100%"});
    EXPECT_TRUE(frmStep6->edit_1->isVisible());
    EXPECT_EQ(frmStep6->Edit_progress->width(), frmStep6->edit_1->width());
    EXPECT_FALSE(frmStep6->btn_next->isEnabled());
    EXPECT_TRUE(WizardTermination::Requested());
    EXPECT_EQ(Read(places.Installed(QStringLiteral("Tarnvale"))), "program");
    EXPECT_EQ(places.Record().Read().LinkDir, places.LinkFolder() + "/");
}

TEST_F(WizardTest, TheProgressBoxesShowThePercentageAndTheBar)
{
    ToInstallPage();
    struct Case {
        int Done, Total;
        const char* Text;
        int Width;
    };
    for (const Case& c : {Case{2, 7, "28%", 151}, Case{7, 7, "100%", 529}, Case{0, 3, "0%", 0}, Case{4, 3, "100%", 529}}) {
        frmStep6->InstallItemTotal = c.Total;
        frmStep6->ItemsDone = c.Done;
        frmStep6->UpdateProgress();
        EXPECT_EQ(frmStep6->Edit_progress->text(), QString(50, u' ') + c.Text);
        EXPECT_EQ(frmStep6->edit_1->text(), frmStep6->Edit_progress->text());
        EXPECT_EQ(frmStep6->Edit_progress->width(), c.Width);
    }
}

TEST_F(WizardTest, MissingFilesAreSaidAndAnIncompleteInstallationIsNotThanked)
{
    QFile::remove(places.Medium(QStringLiteral("libOstrel.so")));
    QFile::remove(places.Medium(QStringLiteral("libExtra.so")));
    QFile::remove(places.Medium(QStringLiteral("Tarnvale.ex_")));
    ToInstallPage();
    EXPECT_EQ(frmStep6->InstallItemTotal, 6);
    Click(frmStep6->btn_next);
    const QStringList texts = PromptTexts();
    ASSERT_EQ(texts.size(), 3) << texts.join('\n').toStdString();
    EXPECT_EQ(texts[0], "发生重要文件丢失，请联系软件提供商！");
    EXPECT_EQ(texts[1], "发生重要文件丢失，请联系软件提供商！");
    EXPECT_TRUE(texts[2].startsWith("Tarnvale 没有安装完整，下列文件未能安装：\n\n"));
    EXPECT_TRUE(texts[2].contains(places.Environment.SourceFolder + "/Tarnvale.ex_："));
    // No thanks, but what was put where, for the removal to take away.
    EXPECT_TRUE(texts[2].endsWith("\n\n已经安装的文件（卸载时会删除）：\n" + places.Environment.DefaultInstallFolder +
                                  "：SRCREQU_1.DAT、SRCREQU_2.DAT、SRCREQU_3.DAT、Tarnvale.ini、Tarnvale使用手册.doc"))
        << texts[2].toStdString();
    EXPECT_EQ(prompter.Prompts[2].Icon, Prompter::Icon::Exclamation);
    EXPECT_FALSE(WizardTermination::Requested());
    EXPECT_TRUE(frmStep6->btn_next->isEnabled()) << "Install can be pressed again";
    EXPECT_EQ(frmStep6->Edit_progress->text().trimmed(), "83%") << "five of six items were put in place";
}

TEST_F(WizardTest, WithoutAnApplicationsFolderTheInstallationPageSaysSoWhenMade)
{
    places.Environment.ApplicationsFolder.clear();
    ToInstallPage();
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Text, "无法获得注册表信息，请联系软件提供商！");
    EXPECT_EQ(prompter.Prompts[0].Caption, frmStep6->windowTitle());
    EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Exclamation);
}

TEST_F(WizardTest, TheRemovalPageWithoutAnInstallationThanksAndCreatesNoKey)
{
    ToRemovalPage();
    EXPECT_EQ(frm_unstall->windowTitle(), "卸载    Tarnvale 6.04");
    EXPECT_EQ(frm_unstall->Label2->text(), "安装程序正在卸载Tarnvale");
    ExpectButtons(frm_unstall, On, On, On);
    EXPECT_EQ(frm_unstall->btn_next->text(), "&Unstall");
    EXPECT_EQ(frm_unstall->btn_cancel->text(), "&Exit");
    EXPECT_EQ(frm_unstall->RemovalItemTotal, 0);
    EXPECT_FALSE(frm_unstall->Edit_progress->isVisible());

    Click(frm_unstall->btn_next);
    EXPECT_EQ(PromptTexts(), QStringList{"非常感谢您使用Tarnvale！"});
    EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Information);
    EXPECT_EQ(frm_unstall->Edit_progress->text().trimmed(), "100%");
    EXPECT_FALSE(frm_unstall->btn_next->isEnabled());
    EXPECT_TRUE(WizardTermination::Requested());
    EXPECT_FALSE(places.Record().Exists());
    EXPECT_FALSE(QFile::exists(places.Environment.Registry().HiveFile(RegistryHive::LocalMachine)));

    WizardTermination::Reset();
    Click(frm_unstall->btn_cancel);
    EXPECT_EQ(prompter.Prompts.size(), 1u) << "after the removal Exit does not ask";
    EXPECT_TRUE(WizardTermination::Requested());
}

TEST_F(WizardTest, InstalledThroughTheWizardThenRemovedThroughItSayingWhatStayed)
{
    const QSet<QString> before = places.Tree();
    ToInstallPage();
    Click(frmStep6->btn_next);
    ASSERT_TRUE(WizardTermination::Requested());
    Write(places.Installed(QStringLiteral("my notes.sql")), "select 1");

    prompter.Prompts.clear();
    ToRemovalPage();
    EXPECT_EQ(frm_unstall->RemovalItemTotal, 9);
    EXPECT_EQ(InstallerGlobals::InstallFolder, places.Environment.DefaultInstallFolder);
    EXPECT_EQ(InstallerGlobals::LinkFolder, places.LinkFolder() + "/");
    QStringList shownAtMessages;
    prompter.OnMessage = [&](const PromptRecord&) { shownAtMessages << frm_unstall->Edit_progress->text().trimmed(); };
    Click(frm_unstall->btn_next);
    EXPECT_EQ(PromptTexts(), (QStringList{"下列文件或文件夹没有删除：\n\n" + places.Environment.DefaultInstallFolder +
                                              "：文件夹中还有其他文件，已保留",
                                          "非常感谢您使用Tarnvale！"}));
    EXPECT_EQ(shownAtMessages, (QStringList{"100%", "100%"}));
    EXPECT_EQ(frm_unstall->Edit_progress->width(), frm_unstall->edit_1->width());

    QFile::remove(places.Installed(QStringLiteral("my notes.sql")));
    const QStringList left = QDir(places.Environment.DefaultInstallFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    EXPECT_TRUE(left.isEmpty()) << left.join(',').toStdString();
    QSet<QString> after = places.Tree();
    // The folders above the user's file stayed with it.
    for (QString folder = places.Environment.DefaultInstallFolder; folder != places.Root(); folder = QFileInfo(folder).path())
        after.remove(folder);
    EXPECT_EQ(after, before);
    EXPECT_FALSE(places.Record().Exists());
}

TEST_F(WizardTest, AnInstallationMadeByRootIsPointedOutToAUsersRemovalInsteadOfNothing)
{
    places.Environment.SystemRegistryFolder = places.Root() + QStringLiteral("/system registry");
    const RegistryStore system(places.Environment.SystemRegistryFolder);
    ASSERT_TRUE(InstallationRecord(system).Replace(QStringLiteral("6.04"), QStringLiteral("/opt/Corvane/Tarnvale/Enterprise"), {}));
    const QByteArray systemHive = Read(system.HiveFile(RegistryHive::LocalMachine));
    ToRemovalPage();
    Click(frm_unstall->btn_next);
    const QStringList texts = PromptTexts();
    ASSERT_EQ(texts.size(), 1) << texts.join('\n').toStdString();
    EXPECT_TRUE(texts[0].startsWith("Tarnvale 安装在 /opt/Corvane/Tarnvale/Enterprise，")) << texts[0].toStdString();
    EXPECT_TRUE(texts[0].contains("root")) << "the rights it was made with";
    EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Exclamation);
    EXPECT_EQ(Read(system.HiveFile(RegistryHive::LocalMachine)), systemHive) << "the system's record is not touched";
    EXPECT_FALSE(QFile::exists(places.Environment.Registry().HiveFile(RegistryHive::LocalMachine)));
    EXPECT_FALSE(frm_unstall->btn_next->isEnabled());
    EXPECT_TRUE(WizardTermination::Requested());
}

TEST_F(WizardTest, BrowsingForAFolderLeavesNoSettingsOfTheToolkitBehind)
{
    QTemporaryDir config;
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    ToFolderPage();
    // The real folder dialog, closed as soon as it is up.
    FileChooser::Install(nullptr);
    int dialogs = 0;
    QTimer closer;
    closer.setInterval(20);
    QObject::connect(&closer, &QTimer::timeout, [&dialogs] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            ++dialogs;
            dialog->reject();
        }
    });
    closer.start();
    Click(frmStep5->BtnBrowDir);
    Click(frmStep5->BtnBrowDir);
    closer.stop();
    FileChooser::Install(&chooser);
    if (oldConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig);
    EXPECT_EQ(dialogs, 2);
    EXPECT_FALSE(QFile::exists(config.path() + QStringLiteral("/QtProject.conf")));
    EXPECT_TRUE(QDir(config.path()).isEmpty()) << QDir(config.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).join(',').toStdString();
    EXPECT_EQ(frmStep5->Label_installDir->text(), places.Environment.DefaultInstallFolder);
}

TEST_F(WizardTest, ARemovalThatLeavesFilesSaysSoAndThatASecondRemovalTakesTheRest)
{
    ToInstallPage();
    Click(frmStep6->btn_next);
    ASSERT_TRUE(WizardTermination::Requested());
    prompter.Prompts.clear();
    {
        ImmutableFolder locked(places.Environment.DefaultInstallFolder);
        if (!locked.Ok()) GTEST_SKIP() << "this file system or process cannot make a folder immutable";
        ToRemovalPage();
        Click(frm_unstall->btn_next);
    }
    QStringList texts = PromptTexts();
    ASSERT_EQ(texts.size(), 2) << texts.join('\n').toStdString();
    EXPECT_TRUE(texts[0].contains(places.Installed(QStringLiteral("Tarnvale")) + "：操作不被允许，未删除")) << texts[0].toStdString();
    EXPECT_TRUE(texts[0].endsWith("安装记录保留了没有删除的文件和文件夹：排除原因后再次卸载即可删除它们。"));
    EXPECT_TRUE(places.Record().Exists());

    prompter.Prompts.clear();
    ToRemovalPage();
    EXPECT_EQ(frm_unstall->RemovalItemTotal, 7) << "the files that stayed";
    Click(frm_unstall->btn_next);
    EXPECT_EQ(PromptTexts(), QStringList{"非常感谢您使用Tarnvale！"});
    EXPECT_FALSE(Present(places.Environment.DefaultInstallFolder));
    EXPECT_FALSE(places.Record().Exists());
}

} // namespace
