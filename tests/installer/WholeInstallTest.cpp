// The whole road: the medium built from the build folder (the real program, search library,
// keyword files, settings file, icon and manual) installed through the wizard into scratch folders;
// Tarnvale started from the installed folder finds its files through the record, in this process
// and as a program started from the shortcut's command line; then the removal through the wizard
// leaves nothing of the installation behind.
#include "FrameTestSupport.h"
#include "KeywordLists.h"
#include "KeywordTables.h"
#include "OstrelLibrary.h"
#include "ProgramGlobals.h"
#include "ProgramStart.h"
#include "ReadOnlyAttribute.h"
#include "Settings.h"
#include "TFMain_mul.h"
#include "Tfrm_connect.h"
#include "WizardTestSupport.h"

#include <QProcess>
#include <QRegularExpression>

#include <memory>

using namespace InstallerTest;

namespace {

const QString Manual = QStringLiteral("Tarnvale使用手册.doc");

class WholeInstallTest : public WizardTest {
protected:
    void SetUp() override
    {
        const QString build = QStringLiteral(TARNVALE_BUILD_INSTALL_DIR) + u'/';
        auto copy = [&](const QString& from, const QString& to) {
            ASSERT_TRUE(QFile::copy(build + from, places.Medium(to))) << from.toStdString();
        };
        copy(QStringLiteral("Tarnvale"), QStringLiteral("Tarnvale.ex_"));
        copy(QStringLiteral("libOstrel.so"), QStringLiteral("libOstrel.so"));
        for (int n = 1; n <= 8; ++n) copy(QStringLiteral("SRCREQU_%1.DAT").arg(n), QStringLiteral("SRCREQU_%1.DAT").arg(n));
        copy(QStringLiteral("Tarnvale.ini"), QStringLiteral("Tarnvale.ini"));
        copy(QStringLiteral("Tarnvale.png"), QStringLiteral("Tarnvale.png"));
        copy(Manual, Manual);
        before = places.Tree();
    }

    void TearDown() override
    {
        CloseFrame(frame);
        for (const char* name : {"TARNVALE_REGISTRY_DIR", "TARNVALE_LIBDIR", "XDG_CONFIG_HOME"}) qunsetenv(name);
        Settings::ResetToStartValues();
        WizardTest::TearDown();
    }

    void InstallThroughTheWizard()
    {
        ToInstallPage();
        Click(frmStep6->btn_next);
        ASSERT_EQ(PromptTexts(), QStringList{"非常感谢您使用 Tarnvale！"});
        prompter.Prompts.clear();
    }

    void RemoveThroughTheWizard()
    {
        ToRemovalPage();
        Click(frm_unstall->btn_next);
        EXPECT_EQ(PromptTexts(), QStringList{"非常感谢您使用Tarnvale！"}) << "nothing stayed";
        EXPECT_EQ(places.Tree(), before) << "nothing of the installation is left";
        EXPECT_FALSE(places.Record().Exists());
    }

    // The places the installed program is told about, as a user's session would have them.
    QProcessEnvironment ProgramEnvironment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TARNVALE_REGISTRY_DIR"), places.Environment.RegistryFolder);
        environment.insert(QStringLiteral("TARNVALE_LIBDIR"), places.Environment.LibraryFolder);
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), places.Root() + QStringLiteral("/home/.config"));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return environment;
    }

    QString InstalledIni() const { return places.Installed(QStringLiteral("Tarnvale.ini")); }

    QSet<QString> before;
    std::unique_ptr<TFMain_mul> frame;
};

TEST_F(WholeInstallTest, TheProgramFindsKeywordFilesSettingsAndSearchLibraryThroughTheRecord)
{
    InstallThroughTheWizard();
    EXPECT_EQ(Mode(places.Installed(QStringLiteral("Tarnvale"))) & 0111, 0111);
    EXPECT_FALSE(ReadOnlyAttribute::IsSet(InstalledIni()));
    EXPECT_TRUE(Read(places.Installed(Manual)).startsWith("{\\rtf1"));

    // This process is not in the installation folder: only the record can lead the start-up there.
    const QProcessEnvironment environment = ProgramEnvironment();
    for (const char* name : {"TARNVALE_REGISTRY_DIR", "TARNVALE_LIBDIR", "XDG_CONFIG_HOME"})
        qputenv(name, QFile::encodeName(environment.value(QString::fromLatin1(name))));
    ASSERT_NE(QDir(QCoreApplication::applicationDirPath()), QDir(places.Environment.DefaultInstallFolder));
    WhenModal<Tfrm_connect>([](Tfrm_connect& dialog) { dialog.btnCancel->click(); });
    frame.reset(ProgramStart::Start());
    Settle();

    EXPECT_EQ(Settings::InstallPath, places.Environment.DefaultInstallFolder + "/");
    EXPECT_EQ(Settings::VersionText, "6.04");
    for (int kind = 1; kind <= 8; ++kind) {
        SCOPED_TRACE(kind);
        ASSERT_NE(KeywordListOfKind(kind), nullptr);
        EXPECT_FALSE(KeywordListOfKind(kind)->empty()) << "keyword file read from the installed folder";
    }
    EXPECT_TRUE(Settings::SqlEditorFont.Present) << "settings file read from the installed folder";
    EXPECT_TRUE(ReadOnlyAttribute::IsSet(InstalledIni()));
    EXPECT_EQ(OstrelLibrary::LoadedName(), places.Library(QStringLiteral("libOstrel.so")));
    EXPECT_NE(OstrelLibrary::SeekForwardProc(), nullptr);

    CloseFrame(frame);
    RemoveThroughTheWizard();
}

// The value of a key of the desktop entry's text.
QString DesktopValue(const QString& entry, const QString& key)
{
    const QRegularExpression line(QStringLiteral("^") + QRegularExpression::escape(key) + QStringLiteral("=(.*)$"),
                                  QRegularExpression::MultilineOption);
    return line.match(entry).captured(1);
}

TEST_F(WholeInstallTest, TheProgramStartedFromTheShortcutsCommandLineRunsFromItsFolder)
{
    InstallThroughTheWizard();
    const QString entry = QString::fromUtf8(Read(places.LinkFile()));
    const QStringList command = DesktopExecArguments(DesktopValue(entry, QStringLiteral("Exec")));
    ASSERT_EQ(command.size(), 1) << entry.toStdString();
    EXPECT_EQ(command[0], places.Installed(QStringLiteral("Tarnvale")));
    const QStringList folder = DesktopExecArguments(DesktopValue(entry, QStringLiteral("Path")));
    EXPECT_EQ(folder.join(u' '), places.Environment.DefaultInstallFolder + "/");
    EXPECT_EQ(DesktopValue(entry, QStringLiteral("Icon")), places.Installed(QStringLiteral("Tarnvale.png")));

    QProcess program;
    program.setProcessEnvironment(ProgramEnvironment());
    program.setWorkingDirectory(places.Environment.DefaultInstallFolder + "/");
    program.start(command[0], {});
    ASSERT_TRUE(program.waitForStarted(30000)) << program.errorString().toStdString();
    // Started when the search library is mapped from the library folder and the start-up's font
    // read has made the installed settings file read-only; then it waits in the connect dialog.
    const QString maps = QStringLiteral("/proc/%1/maps").arg(program.processId());
    const QString library = places.Library(QStringLiteral("libOstrel.so"));
    const bool started = WaitUntil(
        [&] {
            QFile f(maps);
            return f.open(QIODevice::ReadOnly) && QString::fromUtf8(f.readAll()).contains(library) &&
                   ReadOnlyAttribute::IsSet(InstalledIni());
        },
        60000);
    EXPECT_TRUE(started) << program.readAllStandardError().toStdString();
    EXPECT_EQ(program.state(), QProcess::Running);
    program.kill();
    program.waitForFinished(30000);

    RemoveThroughTheWizard();
}

} // namespace
