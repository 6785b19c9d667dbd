// The copy rules and the installation record.
#include "FileReplacement.h"
#include "FileSizeLimit.h"
#include "ImmutableFolder.h"
#include "InstallCopy.h"
#include "InstallerTestSupport.h"
#include "RegistryStore.h"
#include "SystemText.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <unistd.h>

using namespace InstallerTest;

namespace {

enum class Rule { KeepTarget, ReplaceReadOnly };
enum class Target { Missing, Writable, ReadOnly, DanglingLink, FolderMissing };

struct CopyCase {
    const char* Name;
    Rule Kind;
    bool SourceThere;
    Target Before;
    CopyResult::Outcome Outcome;
    const char* ContentAfter; // nullptr: nothing at the target
};

TEST(CopyRules, ExistingTargetsAreKeptUnlessReadOnlyWhereReplacingIsAsked)
{
    using O = CopyResult::Outcome;
    const CopyCase cases[] = {
        {"new file", Rule::KeepTarget, true, Target::Missing, O::Copied, "new"},
        {"writable target kept", Rule::KeepTarget, true, Target::Writable, O::TargetKept, "old"},
        {"read-only target kept", Rule::KeepTarget, true, Target::ReadOnly, O::TargetKept, "old"},
        {"link not followed", Rule::KeepTarget, true, Target::DanglingLink, O::TargetKept, nullptr},
        {"source missing", Rule::KeepTarget, false, Target::Missing, O::Failed, nullptr},
        {"folder missing", Rule::KeepTarget, true, Target::FolderMissing, O::Failed, nullptr},
        {"program: new file", Rule::ReplaceReadOnly, true, Target::Missing, O::Copied, "new"},
        {"program: writable stays", Rule::ReplaceReadOnly, true, Target::Writable, O::TargetKept, "old"},
        {"program: read-only replaced", Rule::ReplaceReadOnly, true, Target::ReadOnly, O::Copied, "new"},
        {"program: no source, old kept", Rule::ReplaceReadOnly, false, Target::ReadOnly, O::Failed, "old"},
    };
    for (const CopyCase& c : cases) {
        SCOPED_TRACE(c.Name);
        QTemporaryDir dir;
        const QString source = dir.path() + QStringLiteral("/source.ex_");
        QString target = dir.path() + QStringLiteral("/Tarnvale");
        if (c.SourceThere) Write(source, "new", 0750);
        switch (c.Before) {
        case Target::Missing: break;
        case Target::Writable: Write(target, "old", 0644); break;
        case Target::ReadOnly: Write(target, "old", 0444); break;
        case Target::DanglingLink: ::symlink("nowhere", QFile::encodeName(target).constData()); break;
        case Target::FolderMissing: target = dir.path() + QStringLiteral("/none/Tarnvale"); break;
        }
        const CopyResult result = c.Kind == Rule::KeepTarget ? CopyKeepingTarget(source, target)
                                                             : CopyReplacingReadOnly(source, target);
        EXPECT_EQ(result.Result, c.Outcome);
        EXPECT_EQ(result.Done(), c.Outcome != O::Failed);
        EXPECT_EQ(result.Error.isEmpty(), c.Outcome != O::Failed);
        if (c.ContentAfter) {
            EXPECT_EQ(Read(target), c.ContentAfter);
        } else if (c.Before == Target::DanglingLink) {
            EXPECT_TRUE(QFileInfo(target).isSymLink()) << "the link stays a link";
        } else {
            EXPECT_FALSE(Present(target));
        }
        if (c.Outcome == O::Copied) {
            EXPECT_EQ(Mode(target), 0750) << "the copy keeps the source's permissions";
        }
    }
}

TEST(SystemText, TheSystemsReasonsReadInChinese)
{
    struct Case {
        int Errno;
        const char* Reason;
    };
    const Case cases[] = {
        {ENOSPC, "磁盘空间不足"}, {EACCES, "没有权限"},           {EPERM, "操作不被允许"},
        {EROFS, "只读文件系统"},  {ENOENT, "文件或文件夹不存在"}, {EBUSY, "文件正在使用中"},
        {ETXTBSY, "文件正在使用中"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Reason);
        EXPECT_EQ(SystemText::Reason(c.Errno), QString::fromUtf8(c.Reason));
        // The same reason told by the system's own text inside a toolkit's message.
        EXPECT_EQ(SystemText::InChinese(QStringLiteral("Failure to write block: ") + QString::fromLocal8Bit(std::strerror(c.Errno))),
                  QString::fromUtf8(c.Reason));
    }
    EXPECT_EQ(SystemText::Reason(EHWPOISON), QStringLiteral("系统错误（错误号 %1）").arg(EHWPOISON));
    EXPECT_EQ(SystemText::InChinese(QStringLiteral("Failure to write block: 未知错误")), "系统错误");
    EXPECT_EQ(SystemText::InChinese(QStringLiteral("cannot create the folder /x/registry")), "不能创建文件夹 /x/registry");
    EXPECT_EQ(SystemText::InChinese(QStringLiteral("文件夹名称的两端有空白")), "文件夹名称的两端有空白");
}

TEST(CopyRules, ACopyThatTheSystemRefusesSaysWhyInChineseAndLeavesNoPartOfTheFile)
{
    enum class Cause { FolderLocked, FileTooLarge, FolderMissing };
    struct Case {
        const char* Name;
        Cause What;
        const char* Reason;
    };
    const Case cases[] = {
        {"a folder nobody may change", Cause::FolderLocked, "操作不被允许"},
        {"a file larger than the process may write, as on a full disk", Cause::FileTooLarge, "文件太大"},
        {"no folder to copy into", Cause::FolderMissing, "文件或文件夹不存在"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        QTemporaryDir dir;
        const QString source = dir.path() + QStringLiteral("/source");
        Write(source, QByteArray(100000, 'x'));
        QDir().mkpath(dir.path() + QStringLiteral("/target"));
        QString target = dir.path() + QStringLiteral("/target/file");
        CopyResult result;
        if (c.What == Cause::FolderLocked) {
            ImmutableFolder locked(dir.path() + QStringLiteral("/target"));
            if (!locked.Ok()) GTEST_SKIP() << "this file system or process cannot make a folder immutable";
            result = CopyKeepingTarget(source, target);
        } else if (c.What == Cause::FileTooLarge) {
            FileSizeLimit limit(4096);
            ASSERT_TRUE(limit.Active());
            result = CopyKeepingTarget(source, target);
        } else {
            target = dir.path() + QStringLiteral("/none/file");
            result = CopyKeepingTarget(source, target);
        }
        EXPECT_EQ(result.Result, CopyResult::Outcome::Failed);
        EXPECT_EQ(result.Error, QString::fromUtf8(c.Reason));
        EXPECT_FALSE(Present(target)) << "no part of the file is left";
    }
}

TEST(InstallationRecord, TheFolderPageReplacesTheRecordButKeepsWhatEarlierInstallationsWrote)
{
    Places places;
    InstallationRecord record = places.Record();
    EXPECT_FALSE(record.Exists());
    EXPECT_FALSE(record.Read().Present);

    ASSERT_TRUE(record.Replace(QStringLiteral("6.04"), QStringLiteral("/old/place"), {QStringLiteral("/old")}));
    ASSERT_TRUE(record.WriteUser(QStringLiteral("张伟"), QStringLiteral("北京公司")));
    ASSERT_TRUE(record.WriteLinkDir(QStringLiteral("/apps/Tarnvale 6.04/")));
    ASSERT_TRUE(record.AddFile(QStringLiteral("/old/place/Tarnvale")));
    ASSERT_TRUE(record.AddFile(QStringLiteral("/old/place/100% sure ")));
    ASSERT_TRUE(record.AddFile(QStringLiteral("/old/place/Tarnvale"))) << "listed once";

    InstallationRecord::Contents first = record.Read();
    EXPECT_TRUE(first.Present);
    EXPECT_EQ(first.Version, "6.04");
    EXPECT_EQ(first.Path, "/old/place");
    EXPECT_EQ(first.User, "张伟");
    EXPECT_EQ(first.Company, "北京公司");
    EXPECT_EQ(first.LinkDir, "/apps/Tarnvale 6.04/");
    EXPECT_EQ(first.Files, (QStringList{"/old/place/Tarnvale", "/old/place/100% sure "}));
    const QString registry = places.Environment.RegistryFolder;
    EXPECT_EQ(first.Folders, (QStringList{registry, "/old"})) << "the registry's folder was made for the record";
    EXPECT_EQ(first.Paths, QStringList{"/old/place"});

    ASSERT_TRUE(record.Replace(QStringLiteral("6.04"), QStringLiteral("/new"), {QStringLiteral("/new"), QStringLiteral("/old")}));
    const InstallationRecord::Contents second = record.Read();
    EXPECT_EQ(second.Path, "/new");
    EXPECT_EQ(second.User, "") << "the rest of the old record is gone";
    EXPECT_EQ(second.Company, "");
    EXPECT_EQ(second.LinkDir, "");
    EXPECT_EQ(second.Files, first.Files);
    EXPECT_EQ(second.Folders, (QStringList{registry, "/old", "/new"}));
    EXPECT_EQ(second.Paths, (QStringList{"/old/place", "/new"})) << "the earlier installation folder is kept";
    ASSERT_TRUE(record.Replace(QStringLiteral("6.04"), QStringLiteral("/old/place"), {}));
    EXPECT_EQ(record.Read().Paths, (QStringList{"/old/place", "/new"})) << "each folder listed once";
}

// The folder page's replacement and the removal's kept lists are written in one go: a write that
// fails at any of its steps leaves the record exactly as it was, never a part of the new one.
TEST(InstallationRecord, AReplacementOrKeptListsThatFailLeaveTheRecordAsItWas)
{
    struct Case {
        const char* What;
        std::function<bool(InstallationRecord&, QString*)> Change;
        std::function<void(const InstallationRecord::Contents&)> Check;
    };
    const Case cases[] = {
        {"the folder page replaces the record",
         [](InstallationRecord& r, QString* error) {
             return r.Replace(QStringLiteral("6.05"), QStringLiteral("/new"), {QStringLiteral("/new")}, error);
         },
         [](const InstallationRecord::Contents& c) {
             EXPECT_EQ(c.Path, "/new");
             EXPECT_EQ(c.Files, (QStringList{"/old/place/Tarnvale", "/old/place/Tarnvale.ini"}));
         }},
        {"the removal keeps part of the installation",
         [](InstallationRecord& r, QString* error) {
             return r.KeepOnly({QStringLiteral("/old/place/Tarnvale.ini")}, {QStringLiteral("/old")}, error);
         },
         [](const InstallationRecord::Contents& c) {
             EXPECT_EQ(c.Files, QStringList{"/old/place/Tarnvale.ini"});
             EXPECT_EQ(c.Folders, QStringList{"/old"});
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        Places places;
        InstallationRecord record = places.Record();
        ASSERT_TRUE(record.Replace(QStringLiteral("6.04"), QStringLiteral("/old/place"), {QStringLiteral("/old")}));
        ASSERT_TRUE(record.AddFile(QStringLiteral("/old/place/Tarnvale")));
        ASSERT_TRUE(record.AddFile(QStringLiteral("/old/place/Tarnvale.ini")));
        QFile hive(places.Environment.Registry().HiveFile(InstallationRecord::Hive));
        auto bytes = [&] {
            hive.open(QIODevice::ReadOnly);
            const QByteArray all = hive.readAll();
            hive.close();
            return all;
        };
        const QByteArray before = bytes();
        ASSERT_FALSE(before.isEmpty());
        // The disk fails at the first, then the second... write of the hive, until none is left to fail.
        bool done = false;
        for (int failing = 1; failing < 50 && !done; ++failing) {
            int writes = 0;
            FileReplacement::SetSync([&](int fd) {
                if (++writes != failing) return ::fsync(fd);
                errno = EIO;
                return -1;
            });
            QString error;
            done = c.Change(record, &error);
            FileReplacement::SetSync({});
            if (done) break;
            EXPECT_EQ(error, qt_error_string(EIO)) << "write " << failing;
            EXPECT_EQ(bytes(), before) << "write " << failing << " failed";
        }
        ASSERT_TRUE(done);
        c.Check(record.Read());
    }
}

TEST(InstallationRecord, ARecordOlderThanTheListOfInstallationFoldersGivesItsPathToIt)
{
    Places places;
    const RegistryStore store = places.Environment.Registry();
    // As an installer that kept no such list left it.
    ASSERT_TRUE(store.WriteString(RegistryHive::LocalMachine, InstallationRecord::KeyPath, "Version", "6.04"));
    ASSERT_TRUE(store.WriteString(RegistryHive::LocalMachine, InstallationRecord::KeyPath, "path", "/older place"));
    ASSERT_TRUE(store.WriteString(RegistryHive::LocalMachine, InstallationRecord::KeyPath + "\\Files", "1",
                                  "/older place/Tarnvale"));
    InstallationRecord record = places.Record();
    EXPECT_TRUE(record.Read().Paths.isEmpty());
    ASSERT_TRUE(record.Replace(QStringLiteral("6.04"), QStringLiteral("/new"), {}));
    const InstallationRecord::Contents read = record.Read();
    EXPECT_EQ(read.Paths, (QStringList{"/older place", "/new"}));
    EXPECT_EQ(read.Files, QStringList{"/older place/Tarnvale"});
}

TEST(InstallationRecord, ListedPathsComeBackExactlyEvenWithBlanksAtTheirEnd)
{
    Places places;
    InstallationRecord record = places.Record();
    ASSERT_TRUE(record.Replace(QStringLiteral("6.04"), QStringLiteral("/opt/x"), {}));
    // Folder names a user may type; the registry trims every kind of blank from a value's ends.
    const QStringList paths{QStringLiteral("/tmp/工具\u3000"), QStringLiteral("/tmp/a\v"), QStringLiteral("/tmp/b\f"),
                            QStringLiteral("/tmp/c\u00A0"), QStringLiteral("/tmp/d "), QStringLiteral("/tmp/e\t")};
    for (const QString& path : paths) {
        ASSERT_TRUE(record.AddFolder(path));
        ASSERT_TRUE(record.AddFile(path + QStringLiteral("/Tarnvale")));
    }
    QStringList files;
    for (const QString& path : paths) files << path + QStringLiteral("/Tarnvale");
    const InstallationRecord::Contents read = record.Read();
    EXPECT_EQ(read.Folders, QStringList{places.Environment.RegistryFolder} + paths) << "the registry's folder first";
    EXPECT_EQ(read.Files, files);
}

TEST(InstallationRecord, ValuesLieWhereTheProgramReadsThem)
{
    Places places;
    InstallationRecord record = places.Record();
    ASSERT_TRUE(record.Replace(QStringLiteral("6.04"), QStringLiteral("/"), {}));
    const RegistryStore store(places.Environment.RegistryFolder);
    QString value;
    ASSERT_EQ(store.ReadString(RegistryHive::LocalMachine, QStringLiteral("SOFTWARE\\Corvane\\Tarnvale\\Enterprise"),
                               QStringLiteral("path"), &value),
              RegistryStore::ReadStatus::Ok);
    EXPECT_EQ(value, "/") << "a root folder is written as the label shows it";
    ASSERT_EQ(store.ReadString(RegistryHive::LocalMachine, QStringLiteral("SOFTWARE\\Corvane\\Tarnvale\\Enterprise"),
                               QStringLiteral("Version"), &value),
              RegistryStore::ReadStatus::Ok);
    EXPECT_EQ(value, "6.04");
    EXPECT_FALSE(store.KeyExists(RegistryHive::CurrentUser, InstallationRecord::KeyPath));
}

TEST(InstallationRecord, WritersThatMayNotCreateTheKeyCreateNothingAndAPathItCannotHoldIsRefused)
{
    Places places;
    InstallationRecord record = places.Record();
    EXPECT_FALSE(record.WriteLinkDir(QStringLiteral("/apps/x/")));
    EXPECT_FALSE(record.Exists());
    EXPECT_FALSE(QFile::exists(places.Environment.Registry().HiveFile(RegistryHive::LocalMachine)));

    ASSERT_TRUE(record.WriteUser(QString(), QString())) << "the user page creates the key";
    EXPECT_TRUE(record.Exists());
    EXPECT_EQ(record.Read().User, "");

    ASSERT_TRUE(record.Replace(QStringLiteral("6.04"), QStringLiteral("/kept"), {}));
    for (const char* path : {"/a\nb", "/trailing ", " /leading"}) {
        SCOPED_TRACE(path);
        EXPECT_FALSE(record.Replace(QStringLiteral("6.04"), QString::fromLatin1(path), {}));
        EXPECT_EQ(record.Read().Path, "/kept") << "the old record stays";
    }

    ASSERT_TRUE(record.Delete());
    EXPECT_FALSE(record.Exists());
    EXPECT_TRUE(record.Delete()) << "deleting a missing key succeeds";
}

} // namespace
