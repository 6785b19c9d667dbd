// The command that lays out the installation medium, run in a scratch copy of the project whose
// package and build steps stand aside, so that only the laying out is exercised.
#include "InstallerTestSupport.h"

#include <QProcess>

#include <gtest/gtest.h>

using namespace InstallerTest;

namespace {

class MediumScript : public testing::Test {
protected:
    void SetUp() override
    {
        const QString project = checkout.path();
        QDir().mkpath(project + QStringLiteral("/scripts"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(TARNVALE_SOURCE_DIR "/scripts/make-medium.sh"),
                                project + QStringLiteral("/scripts/make-medium.sh")));
        for (const char* step : {"install-deps.sh", "build.sh"})
            Write(project + QStringLiteral("/scripts/") + QString::fromLatin1(step), "#!/bin/sh\nexit 0\n", 0755);
        // The build's output: executables the strip step accepts, and the data files.
        const QString built = project + QStringLiteral("/build/install/");
        QDir().mkpath(built);
        for (const char* program : {"Install", "Tarnvale", "libOstrel.so"})
            ASSERT_TRUE(QFile::copy(QStringLiteral("/bin/true"), built + QString::fromLatin1(program)));
        for (int n = 1; n <= 8; ++n) Write(built + QStringLiteral("SRCREQU_%1.DAT").arg(n), "words");
        for (const char* name : {"Tarnvale.ini", "Tarnvale.png", "Tarnvale使用手册.doc"})
            Write(built + QString::fromUtf8(name), "data");
    }

    // Runs the command from folder with its arguments; its exit code.
    int Run(const QString& folder, const QStringList& arguments)
    {
        QProcess script;
        script.setWorkingDirectory(folder);
        script.start(QStringLiteral("bash"), QStringList{checkout.path() + QStringLiteral("/scripts/make-medium.sh")} + arguments);
        EXPECT_TRUE(script.waitForFinished(60000));
        return script.exitStatus() == QProcess::NormalExit ? script.exitCode() : -1;
    }

    QTemporaryDir checkout;
    QTemporaryDir elsewhere;
};

TEST_F(MediumScript, AFolderGivenRelativelyIsTakenFromWhereTheCommandIsTyped)
{
    ASSERT_EQ(Run(elsewhere.path(), {QStringLiteral("medium")}), 0);
    const QString medium = elsewhere.path() + QStringLiteral("/medium/");
    for (const char* name : {"Install", "Tarnvale.ex_", "libOstrel.so", "SRCREQU_8.DAT", "Tarnvale.ini", "Tarnvale.png",
                             "Tarnvale使用手册.doc"})
        EXPECT_TRUE(QFileInfo(medium + QString::fromUtf8(name)).isFile()) << name;
    EXPECT_EQ(Mode(medium + QStringLiteral("Tarnvale.ex_")), 0755);
    EXPECT_FALSE(Present(checkout.path() + QStringLiteral("/medium"))) << "not inside the project";
}

TEST_F(MediumScript, AFolderHoldingSomethingElseIsLeftAsItIs)
{
    Write(elsewhere.path() + QStringLiteral("/mine/notes.txt"), "mine");
    EXPECT_NE(Run(elsewhere.path(), {QStringLiteral("mine")}), 0);
    EXPECT_EQ(Read(elsewhere.path() + QStringLiteral("/mine/notes.txt")), "mine");
    EXPECT_FALSE(Present(elsewhere.path() + QStringLiteral("/mine/Install")));
}

} // namespace
