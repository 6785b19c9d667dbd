// The installation and the removal without widgets, over scratch folders: what is copied, kept and
// recorded, and that the removal takes away exactly the recorded set and refuses unsafe places.
#include "FolderLevels.h"
#include "ImmutableFolder.h"
#include "InstallationRemoval.h"
#include "InstallationRun.h"
#include "InstallerTestSupport.h"
#include "RegistryStore.h"

#include <gtest/gtest.h>

#include <functional>

using namespace InstallerTest;

namespace {

class CountingObserver : public InstallationRun::Observer {
public:
    void ItemDone() override
    {
        ++Items;
        if (AfterItem) AfterItem(Items);
    }
    void FilesMissing() override { ++Missing; }
    void LinkFolderNotRecorded() override { ++NotRecorded; }
    int Items = 0;
    int Missing = 0;
    int NotRecorded = 0;
    std::function<void(int)> AfterItem; // with the number of items done
};

// The wizard's way: the installation folder (the proposed one unless given) made with its levels,
// the record replaced, then the installation, which must succeed.
void InstallLikeTheWizard(const Places& places, QString install = {})
{
    if (install.isEmpty()) install = places.Environment.DefaultInstallFolder;
    QStringList created;
    ASSERT_TRUE(CreateFolderLevels(install, &created));
    ASSERT_TRUE(places.Record().Replace(QStringLiteral("6.04"), install, created));
    CountingObserver observer;
    const QList<InstallationRun::Failure> failures =
        InstallationRun(places.Environment, places.Environment.SourceFolder, install).Run(observer);
    ASSERT_TRUE(failures.isEmpty()) << failures.value(0).What.toStdString() << failures.value(0).Reason.toStdString();
}

class RunAndRemovalTest : public testing::Test {
protected:
    // The folder page's part: the folder made and the record replaced.
    void Prepare()
    {
        QDir().mkpath(places.Environment.DefaultInstallFolder);
        ASSERT_TRUE(places.Record().Replace(QStringLiteral("6.04"), places.Environment.DefaultInstallFolder, {}));
    }
    QList<InstallationRun::Failure> Install()
    {
        return InstallationRun(places.Environment, places.Environment.SourceFolder, places.Environment.DefaultInstallFolder)
            .Run(observer);
    }
    QStringList Remove(int* steps = nullptr)
    {
        int count = 0;
        InstallationRemoval removal(places.Environment);
        const QStringList stayed = removal.RemoveInstalledFiles([&count] { ++count; });
        if (steps) *steps = count;
        return stayed;
    }

    Places places;
    CountingObserver observer;
};

TEST_F(RunAndRemovalTest, AnInstallationPutsEveryFileInPlaceAndRecordsWhatItWrote)
{
    places.WriteSmallMedium();
    Prepare();
    const QList<InstallationRun::Failure> failures = Install();
    EXPECT_TRUE(failures.isEmpty()) << failures.value(0).What.toStdString() << failures.value(0).Reason.toStdString();
    EXPECT_EQ(observer.Items, InstallationRun::CountItems(places.Environment.SourceFolder));
    EXPECT_EQ(observer.Items, 7);
    EXPECT_EQ(observer.Missing, 0);
    EXPECT_EQ(observer.NotRecorded, 0);

    EXPECT_EQ(Read(places.Library(QStringLiteral("libOstrel.so"))), "search library");
    EXPECT_FALSE(Present(places.Library(QStringLiteral("libExtra.so")))) << "no library the removal would not take away";
    EXPECT_EQ(Read(places.Installed(QStringLiteral("SRCREQU_2.DAT"))), "words of SRCREQU_2.DAT");
    EXPECT_EQ(Read(places.Installed(QStringLiteral("Tarnvale"))), "program");
    EXPECT_EQ(Mode(places.Installed(QStringLiteral("Tarnvale"))), 0755) << "the program stays executable";
    EXPECT_EQ(Read(places.Installed(QStringLiteral("Tarnvale使用手册.doc"))), "{\\rtf1 manual}");
    EXPECT_EQ(Read(places.Installed(QStringLiteral("Tarnvale.png"))), "icon");
    EXPECT_FALSE(Present(places.Installed(QStringLiteral("Install")))) << "the installer is not installed";
    EXPECT_FALSE(Present(places.Installed(QStringLiteral("Tarnvale.ex_"))));

    const QString desktop = QString::fromUtf8(Read(places.LinkFile()));
    EXPECT_TRUE(desktop.contains("Exec=\"" + places.Installed(QStringLiteral("Tarnvale")) + "\"\n")) << desktop.toStdString();
    EXPECT_TRUE(desktop.contains("Path=" + places.Environment.DefaultInstallFolder + "/\n"));
    EXPECT_TRUE(desktop.contains("Icon=" + places.Installed(QStringLiteral("Tarnvale.png")) + "\n"));
    EXPECT_TRUE(desktop.contains("Name=Tarnvale 6.04\n"));

    const InstallationRecord::Contents record = places.Record().Read();
    EXPECT_EQ(record.LinkDir, places.LinkFolder() + u'/');
    EXPECT_EQ(record.Files,
              (QStringList{places.Library(QStringLiteral("libOstrel.so")),
                           places.Installed(QStringLiteral("SRCREQU_1.DAT")), places.Installed(QStringLiteral("SRCREQU_2.DAT")),
                           places.Installed(QStringLiteral("SRCREQU_3.DAT")), places.Installed(QStringLiteral("Tarnvale.ini")),
                           places.Installed(QStringLiteral("Tarnvale")), places.Installed(QStringLiteral("Tarnvale.png")),
                           places.LinkFile(), places.Installed(QStringLiteral("Tarnvale使用手册.doc"))}));
    // The user's library folder and the applications folder did not exist: made and recorded.
    EXPECT_EQ(record.Folders,
              (QStringList{places.Environment.RegistryFolder, places.Root() + "/home/.local", places.Environment.LibraryFolder,
                           places.Root() + "/home/.local/share", places.Environment.ApplicationsFolder,
                           places.LinkFolder()}));
}

TEST_F(RunAndRemovalTest, FilesThatWereThereAreKeptUnrecordedButAReadOnlyProgramIsReplaced)
{
    places.WriteSmallMedium();
    Prepare();
    Write(places.Library(QStringLiteral("libOstrel.so")), "a foreign library of the same name");
    Write(places.Installed(QStringLiteral("SRCREQU_1.DAT")), "the user's own words");
    Write(places.Installed(QStringLiteral("Tarnvale")), "old read-only program", 0555);
    Write(places.Installed(QStringLiteral("Tarnvale使用手册.doc")), "old writable manual");
    EXPECT_TRUE(Install().isEmpty());
    EXPECT_EQ(observer.Items, 7) << "a kept file is a finished item";

    EXPECT_EQ(Read(places.Library(QStringLiteral("libOstrel.so"))), "a foreign library of the same name");
    EXPECT_EQ(Read(places.Installed(QStringLiteral("SRCREQU_1.DAT"))), "the user's own words");
    EXPECT_EQ(Read(places.Installed(QStringLiteral("Tarnvale"))), "program");
    EXPECT_EQ(Read(places.Installed(QStringLiteral("Tarnvale使用手册.doc"))), "old writable manual");
    const QStringList files = places.Record().Read().Files;
    EXPECT_FALSE(files.contains(places.Library(QStringLiteral("libOstrel.so"))));
    EXPECT_FALSE(files.contains(places.Installed(QStringLiteral("SRCREQU_1.DAT"))));
    EXPECT_FALSE(files.contains(places.Installed(QStringLiteral("Tarnvale使用手册.doc"))));
    EXPECT_TRUE(files.contains(places.Installed(QStringLiteral("Tarnvale"))));

    // The removal leaves what was there before, the folders that held it included.
    EXPECT_TRUE(Remove().isEmpty());
    EXPECT_EQ(Read(places.Library(QStringLiteral("libOstrel.so"))), "a foreign library of the same name");
    EXPECT_FALSE(Present(places.Library(QStringLiteral("libExtra.so"))));
    EXPECT_EQ(Read(places.Installed(QStringLiteral("SRCREQU_1.DAT"))), "the user's own words");
    EXPECT_FALSE(Present(places.Installed(QStringLiteral("Tarnvale"))));
    EXPECT_FALSE(Present(places.Installed(QStringLiteral("SRCREQU_2.DAT"))));
    EXPECT_FALSE(Present(places.Environment.ApplicationsFolder)) << "made by the installation, empty again";
}

TEST_F(RunAndRemovalTest, ACopyThatFailsIsReportedAndNotCountedAndAMissingGroupIsSaidOnce)
{
    places.WriteSmallMedium(/*libraries=*/false, /*data=*/true, /*program=*/false);
    Prepare();
    // The installation folder became a file: nothing can be copied into it.
    QDir(places.Environment.DefaultInstallFolder).removeRecursively();
    Write(places.Environment.DefaultInstallFolder, "in the way");
    const QList<InstallationRun::Failure> failures = Install();
    EXPECT_EQ(observer.Missing, 2) << "no library, no program";
    QStringList what;
    for (const InstallationRun::Failure& f : failures) {
        what << f.What;
        EXPECT_FALSE(f.Reason.isEmpty());
    }
    EXPECT_EQ(what, (QStringList{places.Environment.SourceFolder + "/*.so", places.Installed("SRCREQU_1.DAT"),
                                 places.Installed("SRCREQU_2.DAT"), places.Installed("SRCREQU_3.DAT"),
                                 places.Installed("Tarnvale.ini"), places.Environment.SourceFolder + "/Tarnvale.ex_",
                                 places.Installed("Tarnvale使用手册.doc")}));
    EXPECT_EQ(observer.Items, 0) << "nothing failed is counted as done";
    EXPECT_TRUE(places.Record().Read().Files.isEmpty());
}

TEST_F(RunAndRemovalTest, AMissingSettingsFileIsNotAFailure)
{
    places.WriteSmallMedium();
    QFile::remove(places.Medium(QStringLiteral("Tarnvale.ini")));
    Prepare();
    EXPECT_TRUE(Install().isEmpty());
    EXPECT_EQ(observer.Items, 7);
    EXPECT_FALSE(Present(places.Installed(QStringLiteral("Tarnvale.ini"))));
    EXPECT_EQ(Read(places.Installed(QStringLiteral("Tarnvale"))), "program");
    EXPECT_TRUE(Present(places.LinkFile()));
}

// The registry's folder moved aside and a file in its place: every record read and write fails.
void BreakRegistry(const QString& folder)
{
    ASSERT_TRUE(QDir().rename(folder, folder + QStringLiteral(".moved")));
    Write(folder, "in the way");
}

void MendRegistry(const QString& folder)
{
    ASSERT_TRUE(QFile::remove(folder));
    ASSERT_TRUE(QDir().rename(folder + QStringLiteral(".moved"), folder));
}

TEST_F(RunAndRemovalTest, WhatTheRecordCannotHoldIsTakenAwayAgainAndFailsSoThatARetryMakesItWhole)
{
    const QString libraryFolder = QStringLiteral("<library folder>");
    struct Case {
        const char* Name;
        int BreakAfter; // items done before the registry breaks
        QStringList Failed;
    };
    const Case cases[] = {
        {"no write reaches the registry", 0,
         {libraryFolder, "SRCREQU_1.DAT", "SRCREQU_2.DAT", "SRCREQU_3.DAT", "Tarnvale.ini", "Tarnvale", "Tarnvale使用手册.doc"}},
        {"the registry breaks after the library and the first data file", 2,
         {"SRCREQU_2.DAT", "SRCREQU_3.DAT", "Tarnvale.ini", "Tarnvale", "Tarnvale使用手册.doc"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Places here;
        const QSet<QString> before = here.Tree();
        here.WriteSmallMedium();
        const QString install = here.Environment.DefaultInstallFolder;
        const QString registry = here.Environment.RegistryFolder;
        QStringList created;
        ASSERT_TRUE(CreateFolderLevels(install, &created));
        ASSERT_TRUE(here.Record().Replace(QStringLiteral("6.04"), install, created));

        CountingObserver counting;
        if (c.BreakAfter == 0) BreakRegistry(registry);
        counting.AfterItem = [&](int done) {
            if (done == c.BreakAfter) BreakRegistry(registry);
        };
        const QList<InstallationRun::Failure> failures =
            InstallationRun(here.Environment, here.Environment.SourceFolder, install).Run(counting);
        QStringList what;
        for (const InstallationRun::Failure& f : failures) {
            what << f.What;
            EXPECT_TRUE(f.Reason.startsWith("未能记入安装记录（") && f.Reason.endsWith("），已删除")) << f.Reason.toStdString();
            EXPECT_FALSE(Present(f.What)) << "taken away again: " << f.What.toStdString();
        }
        QStringList expected;
        for (const QString& name : c.Failed)
            expected << (name == libraryFolder ? here.Environment.LibraryFolder : install + u'/' + name);
        EXPECT_EQ(what, expected);
        EXPECT_EQ(counting.Items, c.BreakAfter) << "nothing unrecorded is counted as done";
        EXPECT_FALSE(Present(here.Installed(QStringLiteral("Tarnvale.png"))));
        EXPECT_FALSE(Present(here.LinkFolder()));

        // With the registry writable again, pressing Install once more puts and records everything.
        MendRegistry(registry);
        CountingObserver again;
        const QList<InstallationRun::Failure> second =
            InstallationRun(here.Environment, here.Environment.SourceFolder, install).Run(again);
        EXPECT_TRUE(second.isEmpty()) << second.value(0).What.toStdString() << second.value(0).Reason.toStdString();
        EXPECT_EQ(again.Items, 7);
        const QStringList stayed = InstallationRemoval(here.Environment).RemoveInstalledFiles([] {});
        EXPECT_TRUE(stayed.isEmpty()) << stayed.join('\n').toStdString();
        EXPECT_EQ(here.Tree(), before) << "nothing of either run is left";
    }
}

TEST_F(RunAndRemovalTest, WithoutALibraryFolderNoLibraryIsCopiedAnywhere)
{
    places.WriteSmallMedium();
    Prepare();
    places.Environment.LibraryFolder.clear();
    const QList<InstallationRun::Failure> failures = Install();
    ASSERT_EQ(failures.size(), 1);
    EXPECT_EQ(failures[0].What, "*.so");
    EXPECT_EQ(observer.Items, 6);
}

TEST_F(RunAndRemovalTest, TheRemovalTakesAwayEveryRecordedFileAndFolderAndTheKey)
{
    const QSet<QString> before = places.Tree();
    places.WriteSmallMedium();
    InstallLikeTheWizard(places);
    // Read-only files go too.
    ::chmod(QFile::encodeName(places.Installed(QStringLiteral("Tarnvale.ini"))).constData(), 0444);
    ::chmod(QFile::encodeName(places.LinkFile()).constData(), 0444);
    const int total = InstallationRemoval(places.Environment).CountRemovalItems();
    EXPECT_EQ(total, 9);
    int steps = 0;
    EXPECT_TRUE(Remove(&steps).isEmpty());
    EXPECT_EQ(steps, total);
    EXPECT_EQ(places.Tree(), before) << "nothing of the installation is left";
    EXPECT_FALSE(places.Record().Exists());
}

TEST_F(RunAndRemovalTest, AnInstallationIntoAnotherFolderIsRemovedWithTheEarlierOne)
{
    enum class Record { ListsBothFolders, OlderReplacedNow, OlderAsItStands };
    struct Case {
        const char* Name;
        Record Kind;
    };
    const Case cases[] = {
        {"the record lists both installation folders", Record::ListsBothFolders},
        {"a record older than the list, replaced by the second installation", Record::OlderReplacedNow},
        {"a record older than the list reaches only its own path, as it always did", Record::OlderAsItStands},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Places here;
        const QSet<QString> before = here.Tree();
        here.WriteSmallMedium();
        const QString first = here.Environment.DefaultInstallFolder;
        const QString second = here.Root() + QStringLiteral("/Other Place/Tarnvale");
        const RegistryStore registry = here.Environment.Registry();
        const QString pathsKey = InstallationRecord::KeyPath + QStringLiteral("\\Paths");
        InstallLikeTheWizard(here);
        // An older installer wrote no list of installation folders.
        auto older = [&] { return registry.DeleteKey(RegistryHive::LocalMachine, pathsKey); };
        if (c.Kind == Record::OlderReplacedNow) {
            ASSERT_TRUE(older());
        }
        InstallLikeTheWizard(here, second);
        if (c.Kind == Record::OlderAsItStands) {
            ASSERT_TRUE(older());
        }
        ASSERT_EQ(Read(first + QStringLiteral("/Tarnvale")), "program");
        ASSERT_EQ(Read(second + QStringLiteral("/Tarnvale")), "program");
        EXPECT_EQ(here.Record().Read().Paths,
                  c.Kind == Record::OlderAsItStands ? QStringList{} : (QStringList{first, second}));

        const QStringList stayed = InstallationRemoval(here.Environment).RemoveInstalledFiles([] {});
        if (c.Kind != Record::OlderAsItStands) {
            EXPECT_TRUE(stayed.isEmpty()) << stayed.join('\n').toStdString();
            EXPECT_EQ(here.Tree(), before) << "nothing of either installation is left";
        } else {
            EXPECT_EQ(Read(first + QStringLiteral("/Tarnvale")), "program");
            EXPECT_TRUE(stayed.contains(first + "/Tarnvale：不在安装程序写入的位置，未删除")) << stayed.join('\n').toStdString();
            EXPECT_FALSE(Present(second));
            EXPECT_FALSE(Present(here.LinkFolder()));
        }
        EXPECT_FALSE(here.Record().Exists());
    }
}

TEST_F(RunAndRemovalTest, AHiveFileTheInstallationNeverWroteStaysEvenWhenEmpty)
{
    places.WriteSmallMedium();
    InstallLikeTheWizard(places);
    const QString userHive = places.Environment.Registry().HiveFile(RegistryHive::CurrentUser);
    Write(userHive, "");
    EXPECT_EQ(Remove(), QStringList{places.Environment.RegistryFolder + "：文件夹中还有其他文件，已保留"});
    EXPECT_TRUE(Present(userHive));
    EXPECT_FALSE(Present(places.Environment.Registry().HiveFile(RegistryHive::LocalMachine)));
}

TEST_F(RunAndRemovalTest, ARecordThatCannotBeDeletedIsNamedAmongWhatStayed)
{
    places.WriteSmallMedium();
    InstallLikeTheWizard(places);
    QStringList stayed;
    {
        ImmutableFolder locked(places.Environment.RegistryFolder);
        if (!locked.Ok()) GTEST_SKIP() << "this file system or process cannot make a folder immutable";
        stayed = Remove();
    }
    EXPECT_TRUE(places.Record().Exists());
    const QString hive = places.Environment.Registry().HiveFile(RegistryHive::LocalMachine);
    ASSERT_FALSE(stayed.isEmpty());
    EXPECT_TRUE(stayed[0].startsWith(hive + " [" + InstallationRecord::KeyPath + "]："))
        << stayed.join('\n').toStdString();
}

TEST_F(RunAndRemovalTest, AUsersOwnFileKeepsTheInstallationFolderWhichIsNamedOnce)
{
    places.WriteSmallMedium();
    InstallLikeTheWizard(places);
    Write(places.Installed(QStringLiteral("my notes.sql")), "select 1");
    QDir().mkpath(places.Installed(QStringLiteral("scripts")));

    const QStringList stayed = Remove();
    EXPECT_EQ(stayed, QStringList{places.Environment.DefaultInstallFolder + "：文件夹中还有其他文件，已保留"});
    EXPECT_EQ(Read(places.Installed(QStringLiteral("my notes.sql"))), "select 1");
    EXPECT_TRUE(QFileInfo(places.Installed(QStringLiteral("scripts"))).isDir());
    QStringList left = QDir(places.Environment.DefaultInstallFolder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    EXPECT_EQ(left, (QStringList{"my notes.sql", "scripts"}));
    EXPECT_FALSE(Present(places.LinkFolder()));
    EXPECT_FALSE(places.Record().Exists());
}

struct UnsafeCase {
    const char* Name;
    QString Path;      // the record's "path"
    QString LinkDir;   // the record's "LinkDir"; "<outside>": a folder beside the applications folder
    QString Earlier;   // an earlier installation folder in the record's list of them
};

TEST_F(RunAndRemovalTest, UnsafePathsAreRefusedAndTheirFilesStay)
{
    const UnsafeCase cases[] = {
        {"empty path", "", "", ""},
        {"relative path", "relative/folder", "", ""},
        {"root", "/", "", ""},
        {"root spelt long", "/tmp/..", "", ""},
        {"shortcut outside the applications folder", "<install>", "<outside>", ""},
        {"shortcut folder is the applications folder's parent", "<install>", "<parent>", ""},
        {"an earlier installation folder that is relative", "<install>", "", "relative/folder"},
        {"an earlier installation folder that is the root", "<install>", "", "/"},
        {"an earlier installation folder that is the root spelt long", "<install>", "", "/tmp/.."},
    };
    for (const UnsafeCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Places here;
        const QString install = here.Environment.DefaultInstallFolder;
        const QString outside = here.Root() + QStringLiteral("/elsewhere");
        const QString path = c.Path == "<install>" ? install : c.Path;
        QString link = c.LinkDir;
        if (link == "<outside>") link = outside + u'/';
        if (link == "<parent>") link = QFileInfo(here.Environment.ApplicationsFolder).path() + u'/';
        InstallationRecord record = here.Record();
        ASSERT_TRUE(record.Replace(QStringLiteral("6.04"), QStringLiteral("/placeholder"), {}));
        here.Environment.Registry().WriteString(RegistryHive::LocalMachine, InstallationRecord::KeyPath,
                                                QStringLiteral("path"), path);
        if (!link.isEmpty()) record.WriteLinkDir(link);
        if (!c.Earlier.isEmpty()) {
            ASSERT_TRUE(here.Environment.Registry().WriteString(RegistryHive::LocalMachine,
                                                                InstallationRecord::KeyPath + "\\Paths", "2", c.Earlier));
        }
        // Files recorded where the unsafe path or link folder points, plus one outside every place.
        QStringList files;
        if (c.LinkDir.isEmpty()) {
            // Only a file that really lies in the refused folder could be deleted: for the root and
            // the relative path a scratch file stands in (the removal must refuse before it looks).
            files << outside + QStringLiteral("/Tarnvale");
        } else {
            files << link + QStringLiteral("Tarnvale 6.04.desktop");
        }
        files << here.Root() + QStringLiteral("/somewhere/else.txt");
        for (const QString& file : files) {
            Write(file, "keep me");
            record.AddFile(file);
        }
        // A relative entry points below the current folder; so does a relative folder, where a file
        // recorded by its absolute name lies.
        QTemporaryDir cwd;
        const QString oldCwd = QDir::currentPath();
        QDir::setCurrent(cwd.path());
        const QString belowCwd = QFileInfo(cwd.path()).canonicalFilePath() + QStringLiteral("/relative/folder/Tarnvale");
        Write(belowCwd, "keep me");
        record.AddFile(QStringLiteral("relative/folder/Tarnvale"));
        record.AddFile(belowCwd);

        InstallationRemoval removal(here.Environment);
        int steps = 0;
        const QStringList stayed = removal.RemoveInstalledFiles([&steps] { ++steps; });
        QDir::setCurrent(oldCwd);
        EXPECT_EQ(steps, files.size() + 2);
        for (const QString& file : files) EXPECT_EQ(Read(file), "keep me") << file.toStdString();
        EXPECT_EQ(Read(belowCwd), "keep me");
        EXPECT_EQ(stayed.size(), files.size() + 2) << stayed.join('\n').toStdString();
        EXPECT_FALSE(here.Record().Exists());
    }
}

// Moves folder aside and puts a link to target in its place; target holds what stands there then.
void ReplaceByLink(const QString& folder, const QString& target)
{
    ASSERT_TRUE(QDir().rename(folder, folder + QStringLiteral(".moved")));
    QDir().mkpath(target);
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(folder).constData()), 0);
}

// An entry of the record's list of files as someone editing the hive would write it.
void RecordFileByHand(const Places& places, const QString& path)
{
    const int number = static_cast<int>(places.Record().Read().Files.size()) + 1;
    ASSERT_TRUE(places.Environment.Registry().WriteString(RegistryHive::LocalMachine, InstallationRecord::KeyPath + "\\Files",
                                                          QString::number(number), path));
}

TEST_F(RunAndRemovalTest, AFolderReplacedByALinkAfterTheInstallationLeadsTheRemovalNowhere)
{
    enum class Change { InstallFolder, FolderAboveIt, LinkFolder, LibraryFolder, DotDotAfterALink };
    struct Case {
        const char* Name;
        Change What;
    };
    const Case cases[] = {
        {"the installation folder became a link", Change::InstallFolder},
        {"a folder above the installation folder became a link", Change::FolderAboveIt},
        {"the shortcut's folder became a link", Change::LinkFolder},
        {"the library folder became a link", Change::LibraryFolder},
        {"a recorded name climbs out through a link inside the installation folder", Change::DotDotAfterALink},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Places here;
        here.WriteSmallMedium();
        InstallLikeTheWizard(here);
        const QString install = here.Environment.DefaultInstallFolder;

        // Someone else's files, with the names the installation wrote, where the link now leads.
        const QString outside = here.Root() + QStringLiteral("/outside");
        auto theirs = [&](const QString& folder, const QStringList& names) {
            for (const QString& name : names) Write(folder + u'/' + name, "not the installation's");
        };
        const QStringList installed{"Tarnvale", "Tarnvale.ini", "SRCREQU_1.DAT", "Tarnvale.png", "Tarnvale使用手册.doc"};
        switch (c.What) {
        case Change::InstallFolder:
            ReplaceByLink(install, outside + QStringLiteral("/theirs"));
            theirs(outside + QStringLiteral("/theirs"), installed);
            break;
        case Change::FolderAboveIt: {
            const QString above = QFileInfo(QFileInfo(install).path()).path(); // .../Corvane
            ReplaceByLink(above, outside + QStringLiteral("/Corvane"));
            theirs(outside + QStringLiteral("/Corvane/Tarnvale/Enterprise"), installed);
            break;
        }
        case Change::LinkFolder:
            ReplaceByLink(here.LinkFolder(), outside + QStringLiteral("/menu"));
            theirs(outside + QStringLiteral("/menu"), {QStringLiteral("Tarnvale 6.04.desktop")});
            break;
        case Change::LibraryFolder:
            ReplaceByLink(here.Environment.LibraryFolder, outside + QStringLiteral("/lib"));
            theirs(outside + QStringLiteral("/lib"), {QStringLiteral("libOstrel.so"), QStringLiteral("libExtra.so")});
            break;
        case Change::DotDotAfterALink:
            QDir().mkpath(outside + QStringLiteral("/deep"));
            ASSERT_EQ(::symlink(QFile::encodeName(outside + QStringLiteral("/deep")).constData(),
                                QFile::encodeName(install + QStringLiteral("/sub")).constData()),
                      0);
            theirs(outside, installed);
            RecordFileByHand(here, install + QStringLiteral("/sub/../Tarnvale"));
            break;
        }
        const std::map<std::string, std::string> before = Snapshot(outside);
        ASSERT_FALSE(before.empty());

        InstallationRemoval removal(here.Environment);
        const QStringList stayed = removal.RemoveInstalledFiles([] {});
        EXPECT_EQ(Snapshot(outside), before) << "nothing where a link leads is touched";
        EXPECT_FALSE(stayed.isEmpty()) << "what stands where the link leads is named";
        EXPECT_FALSE(here.Record().Exists());
    }
}

TEST_F(RunAndRemovalTest, PlacesNamedThroughALinkAtInstallationAreRemovedAllTheSame)
{
    // A home folder, say, reached through a link: the installation, the library and the menu below it.
    const QString real = places.Root() + QStringLiteral("/real");
    QDir().mkpath(real);
    ASSERT_EQ(::symlink(QFile::encodeName(real).constData(), QFile::encodeName(places.Root() + "/via").constData()), 0);
    places.Environment.DefaultInstallFolder = places.Root() + QStringLiteral("/via/Tarnvale/Enterprise");
    places.Environment.LibraryFolder = places.Root() + QStringLiteral("/via/.local/lib");
    places.Environment.ApplicationsFolder = places.Root() + QStringLiteral("/via/.local/share/applications");
    const QSet<QString> before = places.Tree();
    places.WriteSmallMedium();
    InstallLikeTheWizard(places);
    ASSERT_EQ(Read(real + QStringLiteral("/Tarnvale/Enterprise/Tarnvale")), "program");

    EXPECT_EQ(Remove(), QStringList{});
    EXPECT_EQ(places.Tree(), before) << "nothing of the installation is left";
}

TEST_F(RunAndRemovalTest, FilesInARootInstallationFolderAreRefusedByTheFolderItself)
{
    // Tested through the rule: the removal never deletes from "/" or from a relative folder.
    for (const char* path : {"", "relative", "relative/x", "/", "//", "/tmp/..", "/./"})
        EXPECT_FALSE(InstallationRemoval::IsSafeInstallFolder(QString::fromLatin1(path))) << path;
    for (const char* path : {"/opt/Corvane/Tarnvale/Enterprise", "/home/u/Program Files/", "/x"})
        EXPECT_TRUE(InstallationRemoval::IsSafeInstallFolder(QString::fromLatin1(path))) << path;
    const QString apps = QStringLiteral("/home/u/.local/share/applications");
    EXPECT_TRUE(InstallationRemoval::IsSafeLinkFolder(apps + "/Tarnvale 6.04/", apps));
    EXPECT_TRUE(InstallationRemoval::IsSafeLinkFolder(apps + "/a/b", apps + "/"));
    EXPECT_FALSE(InstallationRemoval::IsSafeLinkFolder(apps, apps)) << "the applications folder itself";
    EXPECT_FALSE(InstallationRemoval::IsSafeLinkFolder(apps + "/../x", apps));
    EXPECT_FALSE(InstallationRemoval::IsSafeLinkFolder(apps + "x/y", apps));
    EXPECT_FALSE(InstallationRemoval::IsSafeLinkFolder("relative/x", "relative"));
    EXPECT_FALSE(InstallationRemoval::IsSafeLinkFolder(apps + "/x", QString())) << "no applications folder";
    EXPECT_FALSE(InstallationRemoval::IsSafeLinkFolder(QString(), apps));
}

TEST_F(RunAndRemovalTest, WithoutARecordTheRemovalTouchesNothingAndCreatesNoKey)
{
    places.WriteSmallMedium();
    InstallationRemoval removal(places.Environment);
    EXPECT_FALSE(removal.Record().Present);
    EXPECT_EQ(removal.CountRemovalItems(), 0);
    int steps = 0;
    EXPECT_TRUE(removal.RemoveInstalledFiles([&steps] { ++steps; }).isEmpty());
    EXPECT_EQ(steps, 0);
    EXPECT_FALSE(places.Record().Exists());
    EXPECT_FALSE(QFile::exists(places.Environment.Registry().HiveFile(RegistryHive::LocalMachine)));
}

TEST_F(RunAndRemovalTest, ARecordedFileThatBecameAFolderOrWentMissingIsStillAStep)
{
    Prepare();
    InstallationRecord record = places.Record();
    record.AddFile(places.Installed(QStringLiteral("Tarnvale.ini")));
    record.AddFile(places.Installed(QStringLiteral("Tarnvale.png")));
    QDir().mkpath(places.Installed(QStringLiteral("Tarnvale.png")));
    int steps = 0;
    const QStringList stayed = InstallationRemoval(places.Environment).RemoveInstalledFiles([&steps] { ++steps; });
    EXPECT_EQ(steps, 2);
    EXPECT_EQ(stayed, QStringList{places.Installed(QStringLiteral("Tarnvale.png")) + "：是文件夹，未删除"});
    EXPECT_TRUE(QFileInfo(places.Installed(QStringLiteral("Tarnvale.png"))).isDir());
}

// An entry of one of the record's lists as someone editing the hive would write it: raw, or
// through the record's own escaping.
void ListByHand(const Places& places, const QString& list, const QString& value)
{
    const RegistryStore registry = places.Environment.Registry();
    const QString key = InstallationRecord::KeyPath + u'\\' + list;
    int number = 1;
    while (registry.ReadString(RegistryHive::LocalMachine, key, QString::number(number), nullptr) ==
           RegistryStore::ReadStatus::Ok)
        ++number;
    ASSERT_TRUE(registry.WriteString(RegistryHive::LocalMachine, key, QString::number(number), value));
}

TEST_F(RunAndRemovalTest, ARemovalThatLeavesPartOfTheInstallationKeepsExactlyThatInTheRecordAndARetryTakesTheRest)
{
    enum class Lock { InstallFolder, ApplicationsFolder };
    struct Case {
        const char* Name;
        Lock What;
    };
    const Case cases[] = {
        {"the installation folder cannot be changed: its files stay", Lock::InstallFolder},
        {"the applications folder cannot be changed: the menu entry's folder stays", Lock::ApplicationsFolder},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Places here;
        const QSet<QString> before = here.Tree();
        here.WriteSmallMedium();
        InstallLikeTheWizard(here);
        const QString install = here.Environment.DefaultInstallFolder;
        const QString home = here.Environment.HomeFolder;
        QStringList stayed;
        InstallationRecord::Contents kept;
        {
            ImmutableFolder locked(c.What == Lock::InstallFolder ? install : here.Environment.ApplicationsFolder);
            if (!locked.Ok()) GTEST_SKIP() << "this file system or process cannot make a folder immutable";
            stayed = InstallationRemoval(here.Environment).RemoveInstalledFiles([] {});
            kept = here.Record().Read();
        }
        ASSERT_TRUE(kept.Present) << "the record stays while part of the installation does";
        EXPECT_EQ(kept.Path, install);
        EXPECT_EQ(kept.LinkDir, here.LinkFolder() + u'/');
        EXPECT_FALSE(Present(here.Library(QStringLiteral("libOstrel.so"))));
        if (c.What == Lock::InstallFolder) {
            const QStringList files{install + "/SRCREQU_1.DAT", install + "/SRCREQU_2.DAT", install + "/SRCREQU_3.DAT",
                                    install + "/Tarnvale",      install + "/Tarnvale.ini",  install + "/Tarnvale.png",
                                    install + "/Tarnvale使用手册.doc"};
            EXPECT_EQ(kept.Files, files);
            QStringList expected;
            for (const QString& file : files) {
                EXPECT_TRUE(Present(file)) << file.toStdString();
                expected << file + "：操作不被允许，未删除";
            }
            expected << install + "：操作不被允许，未删除";
            EXPECT_EQ(stayed, expected) << stayed.join(u'\n').toStdString();
            EXPECT_EQ(kept.Folders, (QStringList{here.Environment.RegistryFolder, here.Root() + "/Program Files",
                                                 here.Root() + "/Program Files/Corvane",
                                                 here.Root() + "/Program Files/Corvane/Tarnvale", install}));
            EXPECT_FALSE(Present(here.LinkFolder()));
        } else {
            EXPECT_TRUE(kept.Files.isEmpty());
            EXPECT_EQ(stayed, QStringList{here.LinkFolder() + "：操作不被允许，未删除"});
            EXPECT_EQ(kept.Folders, (QStringList{here.Environment.RegistryFolder, home + "/.local", home + "/.local/share",
                                                 here.Environment.ApplicationsFolder, here.LinkFolder()}));
            EXPECT_FALSE(Present(install));
            EXPECT_FALSE(Present(here.LinkFile()));
        }

        // The cause mended, a second removal takes the rest and the record with it.
        const QStringList again = InstallationRemoval(here.Environment).RemoveInstalledFiles([] {});
        EXPECT_TRUE(again.isEmpty()) << again.join('\n').toStdString();
        EXPECT_FALSE(here.Record().Exists());
        EXPECT_EQ(here.Tree(), before) << "nothing of the installation is left";
    }
}

TEST_F(RunAndRemovalTest, ATamperedRecordLeadsTheRemovalToNothingButTheInstallationsOwnFiles)
{
    places.WriteSmallMedium();
    InstallLikeTheWizard(places);
    const QString home = places.Environment.HomeFolder;
    const QString outside = places.Root() + QStringLiteral("/elsewhere");
    // The user's files, some with names the installation writes, in places it never wrote to.
    const QStringList theirs{home + "/canary-home.txt",   home + "/Tarnvale.ini",          home + "/.local/lib/libcanary.so",
                             home + " /Tarnvale.ini",     outside + "/Tarnvale",           outside + "/SRCREQU_1.DAT",
                             places.Environment.ApplicationsFolder + "/Tarnvale 6.04.desktop"};
    for (const QString& file : theirs) Write(file, "the user's");
    QDir().mkpath(outside + QStringLiteral("/empty"));
    const QByteArray hostnameBefore = Read(QStringLiteral("/etc/hostname"));

    ListByHand(places, "Paths", home);
    ListByHand(places, "Paths", home + QStringLiteral(" "));   // read back trimmed: the home folder
    ListByHand(places, "Paths", home + QStringLiteral("%20")); // the home folder with a blank at its end
    ListByHand(places, "Paths", places.Root());                // above the home folder
    ListByHand(places, "Paths", QStringLiteral("/etc"));
    for (const QString& file : theirs) ListByHand(places, "Files", file);
    ListByHand(places, "Files", QStringLiteral("/etc/hostname"));
    ListByHand(places, "Folders", outside + QStringLiteral("/empty"));
    ListByHand(places, "Folders", home);
    ListByHand(places, "Folders", QStringLiteral("/etc"));
    const std::map<std::string, std::string> outsideBefore = Snapshot(outside);

    int steps = 0;
    InstallationRemoval removal(places.Environment);
    EXPECT_EQ(removal.CountRemovalItems(), 9 + theirs.size() + 1);
    const QStringList stayed = removal.RemoveInstalledFiles([&steps] { ++steps; });
    EXPECT_EQ(steps, 9 + theirs.size() + 1);
    for (const QString& file : theirs) EXPECT_EQ(Read(file), "the user's") << file.toStdString();
    EXPECT_EQ(Read(QStringLiteral("/etc/hostname")), hostnameBefore);
    EXPECT_EQ(Snapshot(outside), outsideBefore) << "the user's empty folder too";
    // Each is said, with its reason.
    auto said = [&stayed](const QString& path, const QString& reason) {
        return stayed.contains(path + QStringLiteral("：") + reason);
    };
    EXPECT_TRUE(said(home + "/canary-home.txt", "安装路径不安全，未删除")) << stayed.join('\n').toStdString();
    EXPECT_TRUE(said(home + "/Tarnvale.ini", "安装路径不安全，未删除"));
    EXPECT_TRUE(said(home + " /Tarnvale.ini", "安装路径不安全，未删除"));
    EXPECT_TRUE(said(home + "/.local/lib/libcanary.so", "不是安装程序写入的文件，未删除"));
    EXPECT_TRUE(said(outside + "/Tarnvale", "不在安装程序写入的位置，未删除"));
    EXPECT_TRUE(said(places.Environment.ApplicationsFolder + "/Tarnvale 6.04.desktop", "不在安装程序写入的位置，未删除"));
    EXPECT_TRUE(said("/etc/hostname", "安装路径不安全，未删除"));
    EXPECT_TRUE(said(outside + "/empty", "不是安装程序建立的文件夹，未删除"));
    EXPECT_TRUE(said(home, "不是安装程序建立的文件夹，未删除"));
    EXPECT_TRUE(said("/etc", "不是安装程序建立的文件夹，未删除"));
    // The installation itself is gone all the same.
    EXPECT_FALSE(Present(places.Environment.DefaultInstallFolder));
    EXPECT_FALSE(Present(places.Library(QStringLiteral("libOstrel.so"))));
    EXPECT_FALSE(Present(places.LinkFolder()));
    EXPECT_FALSE(places.Record().Exists()) << "what the record named beyond the installation is no part of it";
}

TEST(InstallFolderRefusal, TheHomeFolderASystemFolderAndTheirParentsAreNoInstallationFolders)
{
    Places places;
    const QString home = places.Environment.HomeFolder;
    for (const QString& path : {home, home + "/", home + "/../home", places.Root(), QString("/"), QString("/usr"),
                                QString("/usr/local/lib"), QString("/etc"), QString("/home"), QString("relative/x"),
                                home + "/Tarnvale ", home + "/Tarn\nvale"})
        EXPECT_FALSE(InstallationRemoval::InstallFolderRefusal(path, places.Environment).isEmpty()) << path.toStdString();
    for (const QString& path : {home + "/Tarnvale", home + "/.local/share/Corvane/Tarnvale/Enterprise",
                                QString("/opt/Corvane/Tarnvale/Enterprise"), QString("/usr/local/lib/Tarnvale"),
                                places.Root() + "/Program Files"})
        EXPECT_TRUE(InstallationRemoval::InstallFolderRefusal(path, places.Environment).isEmpty()) << path.toStdString();
}

} // namespace

namespace {

TEST(FolderLevels, MissingLevelsAreMadeOutermostFirstAndTakenBackWhenALevelCannotBeMade)
{
    QTemporaryDir dir;
    QStringList created{QStringLiteral("left over")};
    ASSERT_TRUE(CreateFolderLevels(dir.path() + QStringLiteral("/a/b/c"), &created));
    EXPECT_EQ(created, (QStringList{dir.path() + "/a", dir.path() + "/a/b", dir.path() + "/a/b/c"}));
    ASSERT_TRUE(CreateFolderLevels(dir.path() + QStringLiteral("/a/b/c/"), &created));
    EXPECT_TRUE(created.isEmpty()) << "nothing made when the folder is there";

    Write(dir.path() + QStringLiteral("/x/file"), "a file where a folder should be");
    QString error;
    EXPECT_FALSE(CreateFolderLevels(dir.path() + QStringLiteral("/x/file/sub"), &created, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(created.isEmpty());
    EXPECT_FALSE(CreateFolderLevels(QStringLiteral("relative/folder"), &created, &error));
    EXPECT_FALSE(Present(QStringLiteral("relative")));

    // A level that cannot be made after two that were: those two are taken back.
    EXPECT_FALSE(CreateFolderLevels(dir.path() + QStringLiteral("/q/r/") + QString(300, u'n') + QStringLiteral("/s"),
                                    &created, &error));
    EXPECT_TRUE(created.isEmpty());
    EXPECT_FALSE(Present(dir.path() + QStringLiteral("/q")));

    const QStringList kept = RemoveEmptyFolders({dir.path() + "/a", dir.path() + "/a/b/c", dir.path() + "/a/b",
                                                  dir.path() + "/x", dir.path() + "/missing"});
    EXPECT_EQ(kept, QStringList{dir.path() + "/x"});
    EXPECT_FALSE(Present(dir.path() + QStringLiteral("/a")));
}

} // namespace
