#include "OstrelLibrary.h"
#include "OstrelTestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dlfcn.h>

namespace {

const QString Text = QStringLiteral("select 1; SELECT 2");
const QString Find = QStringLiteral("select");

class OstrelLibraryTest : public ::testing::Test {
protected:
    void TearDown() override { OstrelLibrary::Unload(); }

    static QString CopyBuiltLibraryInto(const QString& folder)
    {
        const QString target = QDir(folder).filePath(OstrelLibrary::LibraryFileName);
        EXPECT_TRUE(QFile::copy(QDir(BuiltOstrelFolder()).filePath(OstrelLibrary::LibraryFileName), target));
        return target;
    }

    // Every wrapper reports "not found" and leaves the position alone.
    static void ExpectEverySearchNotFound()
    {
        int at = 42;
        EXPECT_FALSE(OstrelLibrary::SeekForward(Text, 0, Find, 0, &at));
        EXPECT_FALSE(OstrelLibrary::SeekBackward(Text, int(Text.size()), Find, 0, &at));
        EXPECT_FALSE(OstrelLibrary::SeekBackwardRich(Text, int(Text.size()), 0, Find, 0, &at));
        EXPECT_EQ(at, 42);
    }

    // The bare name is the last place tried; a library reachable by it on this machine would be found.
    static bool BareNameReachable()
    {
        void* handle = dlopen("libOstrel.so", RTLD_NOW | RTLD_LOCAL);
        if (handle) dlclose(handle);
        return handle != nullptr;
    }
};

TEST_F(OstrelLibraryTest, LoadsTheBuiltLibraryFromTheProgramFolderAndResolvesAllEntries)
{
    QTemporaryDir emptyLibraryFolder;
    ScopedEnvironment libdir("TARNVALE_LIBDIR", QFile::encodeName(emptyLibraryFolder.path()));
    ASSERT_TRUE(OstrelLibrary::Load(BuiltOstrelFolder()));
    EXPECT_EQ(OstrelLibrary::LoadedName(), QDir(BuiltOstrelFolder()).filePath(QStringLiteral("libOstrel.so")));
    EXPECT_NE(OstrelLibrary::SeekForwardProc(), nullptr);
    EXPECT_NE(OstrelLibrary::SeekBackwardProc(), nullptr);
    EXPECT_NE(OstrelLibrary::SeekBackwardRichProc(), nullptr);

    int at = 0;
    EXPECT_TRUE(OstrelLibrary::SeekForward(Text, 1, Find, 0, &at));
    EXPECT_EQ(at, 10);
    EXPECT_TRUE(OstrelLibrary::SeekBackward(Text, 10, Find, 0, &at));
    EXPECT_EQ(at, 0);
    EXPECT_TRUE(OstrelLibrary::SeekBackwardRich(Text, 10, 6, Find, 0, &at));
    EXPECT_EQ(at, 0);
}

TEST_F(OstrelLibraryTest, TheProgramFolderComesBeforeTheLibraryFolder)
{
    QTemporaryDir programFolder;
    QTemporaryDir libraryFolder;
    ScopedEnvironment libdir("TARNVALE_LIBDIR", QFile::encodeName(libraryFolder.path()));
    const QString inLibraryFolder = CopyBuiltLibraryInto(libraryFolder.path());

    // Only the library folder holds it.
    ASSERT_TRUE(OstrelLibrary::Load(programFolder.path()));
    EXPECT_EQ(OstrelLibrary::LoadedName(), inLibraryFolder);
    int at = 0;
    EXPECT_TRUE(OstrelLibrary::SeekForward(Text, 1, Find, 0, &at));
    EXPECT_EQ(at, 10);

    // Both hold it: a new load replaces the binding and takes the program's own copy.
    const QString inProgramFolder = CopyBuiltLibraryInto(programFolder.path());
    ASSERT_TRUE(OstrelLibrary::Load(programFolder.path()));
    EXPECT_EQ(OstrelLibrary::LoadedName(), inProgramFolder);
}

TEST_F(OstrelLibraryTest, ALibraryInstalledByRootIsFoundByAUsersProgramToo)
{
    // The root installation's folder comes after the library folder unless the environment names it.
    {
        QTemporaryDir libraryFolder;
        ScopedEnvironment libdir("TARNVALE_LIBDIR", QFile::encodeName(libraryFolder.path()));
        EXPECT_EQ(OstrelLibrary::CandidateNames(QStringLiteral("/opt/T")),
                  (QStringList{"/opt/T/libOstrel.so", libraryFolder.path() + "/libOstrel.so", "libOstrel.so"}));
    }
    const bool had = qEnvironmentVariableIsSet("TARNVALE_LIBDIR");
    const QByteArray old = qgetenv("TARNVALE_LIBDIR");
    qunsetenv("TARNVALE_LIBDIR");
    const QStringList names = OstrelLibrary::CandidateNames(QStringLiteral("/opt/T"));
    EXPECT_EQ(names.first(), "/opt/T/libOstrel.so");
    EXPECT_TRUE(names.contains("/usr/local/lib/libOstrel.so"));
    EXPECT_EQ(names.last(), "libOstrel.so");
    EXPECT_EQ(names.count("/usr/local/lib/libOstrel.so"), 1) << "root's own library folder is tried once";
    if (had) qputenv("TARNVALE_LIBDIR", old);
}

TEST_F(OstrelLibraryTest, MissingLibraryMakesEverySearchNotFound)
{
    if (BareNameReachable()) GTEST_SKIP() << "a libOstrel.so is reachable by its bare name on this machine";
    QTemporaryDir programFolder;
    QTemporaryDir libraryFolder;
    ScopedEnvironment libdir("TARNVALE_LIBDIR", QFile::encodeName(libraryFolder.path()));
    for (const QString& folder : {programFolder.path(), programFolder.path() + QStringLiteral("/no-such-folder"),
                                  QString()}) {
        EXPECT_FALSE(OstrelLibrary::Load(folder)) << folder.toStdString();
        EXPECT_FALSE(OstrelLibrary::IsLoaded());
        EXPECT_TRUE(OstrelLibrary::LoadedName().isEmpty());
        EXPECT_EQ(OstrelLibrary::SeekForwardProc(), nullptr);
        EXPECT_EQ(OstrelLibrary::SeekBackwardProc(), nullptr);
        EXPECT_EQ(OstrelLibrary::SeekBackwardRichProc(), nullptr);
        ExpectEverySearchNotFound();
    }
}

TEST_F(OstrelLibraryTest, UnloadClearsTheEntries)
{
    ASSERT_TRUE(OstrelLibrary::Load(BuiltOstrelFolder()));
    OstrelLibrary::Unload();
    EXPECT_FALSE(OstrelLibrary::IsLoaded());
    EXPECT_EQ(OstrelLibrary::SeekForwardProc(), nullptr);
    EXPECT_EQ(OstrelLibrary::SeekBackwardProc(), nullptr);
    EXPECT_EQ(OstrelLibrary::SeekBackwardRichProc(), nullptr);
    ExpectEverySearchNotFound();
}

TEST_F(OstrelLibraryTest, AMissingEntryStaysNullAndItsSearchIsNotFound)
{
    QTemporaryDir programFolder;
    ASSERT_TRUE(QFile::copy(QStringLiteral(TV_PARTIAL_OSTREL),
                            QDir(programFolder.path()).filePath(OstrelLibrary::LibraryFileName)));
    ASSERT_TRUE(OstrelLibrary::Load(programFolder.path()));
    EXPECT_NE(OstrelLibrary::SeekForwardProc(), nullptr);
    EXPECT_EQ(OstrelLibrary::SeekBackwardProc(), nullptr);
    EXPECT_EQ(OstrelLibrary::SeekBackwardRichProc(), nullptr);
    int at = 0;
    EXPECT_TRUE(OstrelLibrary::SeekForward(Text, 0, Find, 0, &at));
    EXPECT_EQ(at, 7);
    at = 42;
    EXPECT_FALSE(OstrelLibrary::SeekBackward(Text, int(Text.size()), Find, 0, &at));
    EXPECT_FALSE(OstrelLibrary::SeekBackwardRich(Text, int(Text.size()), 0, Find, 0, &at));
    EXPECT_EQ(at, 42);
}

} // namespace
