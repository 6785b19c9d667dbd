#include "PlatformPaths.h"
#include "RegistryStore.h"

#include "TestDsn.h"
#include "TestFiles.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using Status = RegistryStore::ReadStatus;

const QString kKey = QStringLiteral("SOFTWARE\\Corvane\\Tarnvale\\Enterprise");

class RegistryStoreTest : public testing::Test {
protected:
    QTemporaryDir dir_{QString::fromStdString(TestDsn::ScratchDir()) + "/registry-XXXXXX"};
    RegistryStore store_{dir_.path() + "/hives"};
};

TEST_F(RegistryStoreTest, ValuesLiveInOneSectionPerKeyOfTheHiveFile)
{
    QString error;
    ASSERT_TRUE(store_.WriteString(RegistryHive::LocalMachine, kKey, "Version", "6.04", &error)) << error.toStdString();
    ASSERT_TRUE(store_.WriteString(RegistryHive::LocalMachine, kKey, "path", "/opt/Tarnvale/"));
    EXPECT_EQ(TestFiles::Read(store_.HiveFile(RegistryHive::LocalMachine)),
              "[SOFTWARE\\Corvane\\Tarnvale\\Enterprise]\r\nVersion=6.04\r\npath=/opt/Tarnvale/\r\n");
    EXPECT_EQ(store_.HiveFile(RegistryHive::CurrentUser), dir_.path() + "/hives/HKEY_CURRENT_USER.ini");
    EXPECT_FALSE(store_.KeyExists(RegistryHive::CurrentUser, kKey));
}

TEST_F(RegistryStoreTest, ReadTellsAMissingKeyFromAMissingValue)
{
    ASSERT_TRUE(store_.WriteString(RegistryHive::LocalMachine, kKey, "Version", "6.04"));
    ASSERT_TRUE(store_.CreateKey(RegistryHive::LocalMachine, "SOFTWARE\\Other"));
    struct Case {
        RegistryHive hive;
        const char* key;
        const char* name;
        Status status;
        const char* value;
    };
    const Case cases[] = {
        {RegistryHive::LocalMachine, "software\\corvane\\TARNVALE\\enterprise", "VERSION", Status::Ok, "6.04"},
        {RegistryHive::LocalMachine, "\\SOFTWARE\\\\Corvane\\Tarnvale\\Enterprise\\", "Version", Status::Ok, "6.04"},
        {RegistryHive::LocalMachine, "SOFTWARE\\Corvane\\Tarnvale\\Enterprise", "path", Status::ValueMissing, ""},
        {RegistryHive::LocalMachine, "SOFTWARE\\Corvane", "Version", Status::ValueMissing, ""},
        {RegistryHive::LocalMachine, "SOFTWARE\\Other", "Version", Status::ValueMissing, ""},
        {RegistryHive::LocalMachine, "SOFTWARE\\Corvane\\Tarnvale\\Ent", "Version", Status::KeyMissing, ""},
        {RegistryHive::CurrentUser, "SOFTWARE\\Corvane\\Tarnvale\\Enterprise", "Version", Status::KeyMissing, ""},
        {RegistryHive::LocalMachine, "", "Version", Status::KeyMissing, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " / " + c.name);
        QString value;
        EXPECT_EQ(store_.ReadString(c.hive, c.key, c.name, &value), c.status);
        EXPECT_EQ(value, QString::fromUtf8(c.value));
        EXPECT_EQ(store_.KeyExists(c.hive, c.key), c.status != Status::KeyMissing);
    }
}

TEST_F(RegistryStoreTest, DeletesValuesAndKeysWithTheirSubkeys)
{
    const RegistryHive hive = RegistryHive::LocalMachine;
    ASSERT_TRUE(store_.WriteString(hive, kKey, "Version", "6.04"));
    ASSERT_TRUE(store_.WriteString(hive, kKey, "LinkDir", "/x/"));
    ASSERT_TRUE(store_.WriteString(hive, kKey + "\\Sub", "a", "1"));
    ASSERT_TRUE(store_.WriteString(hive, "SOFTWARE\\Corvane\\TarnvaleTools", "a", "1"));

    EXPECT_TRUE(store_.DeleteValue(hive, kKey, "linkdir"));
    EXPECT_TRUE(store_.DeleteValue(hive, kKey, "linkdir"));
    QString value;
    EXPECT_EQ(store_.ReadString(hive, kKey, "LinkDir", &value), Status::ValueMissing);
    EXPECT_EQ(store_.ReadString(hive, kKey, "Version", &value), Status::Ok);

    EXPECT_TRUE(store_.DeleteKey(hive, "software\\corvane\\tarnvale"));
    EXPECT_TRUE(store_.DeleteKey(hive, "software\\corvane\\tarnvale"));
    EXPECT_FALSE(store_.KeyExists(hive, kKey));
    EXPECT_FALSE(store_.KeyExists(hive, kKey + "\\Sub"));
    EXPECT_EQ(store_.ReadString(hive, "SOFTWARE\\Corvane\\TarnvaleTools", "a", &value), Status::Ok);
}

TEST_F(RegistryStoreTest, WriteFailuresAreReported)
{
    // The hive folder's place is taken by a file.
    TestFiles::Write(dir_.path() + "/blocked", "x");
    RegistryStore blocked(dir_.path() + "/blocked");
    QString error;
    EXPECT_FALSE(blocked.WriteString(RegistryHive::LocalMachine, kKey, "Version", "6.04", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(store_.WriteString(RegistryHive::LocalMachine, kKey, "a=b", "1"));
    EXPECT_FALSE(store_.WriteString(RegistryHive::LocalMachine, kKey, "Version", "two\nlines"));
    EXPECT_FALSE(store_.WriteString(RegistryHive::LocalMachine, "\\\\", "Version", "1"));
    EXPECT_FALSE(QFileInfo::exists(store_.HiveFile(RegistryHive::LocalMachine)));
}

TEST_F(RegistryStoreTest, DefaultFolderFollowsTheOverride)
{
    const QByteArray saved = qgetenv("TARNVALE_REGISTRY_DIR");
    qputenv("TARNVALE_REGISTRY_DIR", dir_.path().toUtf8());
    EXPECT_EQ(RegistryStore::Default().Folder(), dir_.path());
    qunsetenv("TARNVALE_REGISTRY_DIR");
    // Tests run as root, whose hives are the system's.
    if (::geteuid() == 0) {
        EXPECT_EQ(RegistryStore::Default().Folder(), "/etc/Corvane/registry");
    }
    if (!saved.isNull()) qputenv("TARNVALE_REGISTRY_DIR", saved);
}

} // namespace
