#include "PlatformPaths.h"
#include "ReadOnlyAttribute.h"
#include "RegistryStore.h"
#include "Settings.h"
#include "SettingsFile.h"
#include "SettingsParse.h"

#include "TestDsn.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <vector>

namespace {

TEST(SettingsParseTest, StoredTextsBecomeValuesByTheirRules)
{
    struct FlagCase {
        const char* value;
        bool defaultValue;
        bool expected;
    };
    for (const FlagCase& c : {FlagCase{"Y", false, true}, FlagCase{"y", false, true}, FlagCase{"yes", false, true},
                              FlagCase{"N", true, false}, FlagCase{"x", true, false}, FlagCase{"no", true, false},
                              FlagCase{"", true, true}, FlagCase{"", false, false}, FlagCase{"1", true, false}}) {
        SCOPED_TRACE(std::string("flag '") + c.value + "'");
        EXPECT_EQ(SettingsParse::Flag(c.value, c.defaultValue), c.expected);
    }

    struct TextCase {
        const char* value;
        const char* expected;
    };
    for (const TextCase& c : {TextCase{"0", ";"}, TextCase{"1", "$$"}, TextCase{"7", "$$"}, TextCase{"", ";"},
                              TextCase{"01", ";"}, TextCase{"x", "$$"}}) {
        SCOPED_TRACE(std::string("separator '") + c.value + "'");
        EXPECT_EQ(SettingsParse::StatementSeparator(c.value), c.expected);
    }
    for (const TextCase& c : {TextCase{"0", ""}, TextCase{"2", "'"}, TextCase{"1", "\""}, TextCase{"9", "\""},
                              TextCase{"", "\""}, TextCase{"abc", "\""}}) {
        SCOPED_TRACE(std::string("qualifier '") + c.value + "'");
        EXPECT_EQ(SettingsParse::TextQualifier(c.value), c.expected);
    }
    for (const TextCase& c : {TextCase{"/opt/Tarnvale", "/opt/Tarnvale/"}, TextCase{"/opt/Tarnvale/", "/opt/Tarnvale/"},
                              TextCase{"", ""}}) {
        SCOPED_TRACE(std::string("folder '") + c.value + "'");
        EXPECT_EQ(SettingsParse::WithTrailingSeparator(c.value), c.expected);
    }

    struct NumberCase {
        const char* value;
        int expected;
    };
    for (const NumberCase& c : {NumberCase{"1024", 1024}, NumberCase{"65536", 65536}, NumberCase{"512", 512},
                                NumberCase{"1536", 1536}, NumberCase{"1000", 512}, NumberCase{"66048", 512},
                                NumberCase{"0", 512}, NumberCase{"-512", 512}, NumberCase{"abc", 512},
                                NumberCase{"", 512}, NumberCase{"1024x", 512}, NumberCase{"99999999999", 512}}) {
        SCOPED_TRACE(std::string("max field length '") + c.value + "'");
        EXPECT_EQ(SettingsParse::MaxFieldLen(c.value), c.expected);
    }
    for (const NumberCase& c : {NumberCase{"5", FontSetting::Bold | FontSetting::Underline}, NumberCase{"15", 15},
                                NumberCase{"abc", 0}, NumberCase{"", 0}, NumberCase{"16", 0}, NumberCase{"261", 5},
                                NumberCase{"-1", 15}}) {
        SCOPED_TRACE(std::string("font style '") + c.value + "'");
        EXPECT_EQ(SettingsParse::FontStyle(c.value), c.expected);
    }

    struct SizeCase {
        const char* value;
        std::optional<int> expected;
    };
    for (const SizeCase& c : {SizeCase{"10", 10}, SizeCase{"", std::nullopt}, SizeCase{"abc", std::nullopt},
                              SizeCase{"0", std::nullopt}, SizeCase{"-3", std::nullopt}}) {
        SCOPED_TRACE(std::string("font size '") + c.value + "'");
        EXPECT_EQ(SettingsParse::FontSize(c.value), c.expected);
    }
}

class SettingsTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        for (const char* name : {"XDG_CONFIG_HOME", "TARNVALE_REGISTRY_DIR"}) saved_.push_back({name, qgetenv(name)});
        qputenv("XDG_CONFIG_HOME", (dir_.path() + "/config").toUtf8());
        qputenv("TARNVALE_REGISTRY_DIR", (dir_.path() + "/registry").toUtf8());
        ASSERT_TRUE(QDir().mkpath(dir_.path() + "/install"));
        Settings::ResetToStartValues();
        Settings::InstallPath = dir_.path() + "/install/";
    }
    void TearDown() override
    {
        for (const auto& [name, value] : saved_) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
        Settings::ResetToStartValues();
    }

    QString Ini() const { return Settings::InstallPath + "Tarnvale.ini"; }
    QString UserIni() const { return dir_.path() + "/config/Corvane/Tarnvale.ini"; }

    QTemporaryDir dir_{QString::fromStdString(TestDsn::ScratchDir()) + "/settings-XXXXXX"};
    std::vector<std::pair<const char*, QByteArray>> saved_;
};

TEST_F(SettingsTest, WithoutAnIniFileEveryValueTakesItsDefault)
{
    Settings::ReadOptions();
    Settings::ReadFonts();
    EXPECT_EQ(Settings::StatementSeparator, ";");
    EXPECT_EQ(Settings::TextQualifier, "\"");
    EXPECT_EQ(Settings::MaxFieldLenOfSqlResult, 512);
    EXPECT_TRUE(Settings::DBObjectsShow);
    EXPECT_TRUE(Settings::AutoCommit);
    EXPECT_FALSE(Settings::FileOpenByExcelAuto);
    EXPECT_FALSE(Settings::WordsAnalyze);
    EXPECT_FALSE(Settings::ExportWithTblColumn);
    EXPECT_FALSE(Settings::SQLScheduleReconnect);
    EXPECT_FALSE(Settings::SqlEditorFont.Present);
    EXPECT_FALSE(Settings::ResultFont.Present);
    EXPECT_FALSE(Settings::DbObjectFont.Present);
    EXPECT_FALSE(Settings::IniExists());
    EXPECT_TRUE(QDir(Settings::InstallPath).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(UserIni()));
}

TEST_F(SettingsTest, OptionsAreReadWithoutCaseAndPresentEmptyIsAbsent)
{
    TestFiles::Write(Ini(), "; user options\r\n[options]\r\ndbobjectsshow=\r\nWordsAnalyze = yes\r\nAutoCommit=x\r\n"
                            "FileOpenByExcelAuto=N\r\nEXPORTWITHTBLCOLUMN=y\r\nindexSepChBetweensql=7\r\n"
                            "indexTxtFieldsSepartor=0\r\nMaxFieldLenOfSqlResult = 1536\r\n");
    Settings::ReadOptions();
    EXPECT_TRUE(Settings::DBObjectsShow);
    EXPECT_TRUE(Settings::WordsAnalyze);
    EXPECT_FALSE(Settings::AutoCommit);
    EXPECT_FALSE(Settings::FileOpenByExcelAuto);
    EXPECT_TRUE(Settings::ExportWithTblColumn);
    EXPECT_FALSE(Settings::SQLScheduleReconnect);
    EXPECT_EQ(Settings::StatementSeparator, "$$");
    EXPECT_EQ(Settings::TextQualifier, "");
    EXPECT_EQ(Settings::MaxFieldLenOfSqlResult, 1536);
}

TEST_F(SettingsTest, FontsTakeTheFileOrKeepWhatTheyHave)
{
    TestFiles::Write(Ini(), "[Font_SQLInput]\nFontName=WenQuanYi Micro Hei\nSize=11\nFontStyle=5\n"
                            "[Font_SQLResult]\nFontName=Mono\nFontStyle=abc\n"
                            "[Font_DBObject]\nSize=x\nFontStyle=261\n");
    Settings::ResultFont = FontSetting{true, "Old", 13, FontSetting::Italic};
    Settings::ReadFonts();
    EXPECT_EQ(Settings::SqlEditorFont, (FontSetting{true, "WenQuanYi Micro Hei", 11, 5}));
    EXPECT_EQ(Settings::ResultFont, (FontSetting{true, "Mono", 13, 0}));
    EXPECT_EQ(Settings::DbObjectFont, (FontSetting{true, "", 0, 5}));
}

// Which accesses leave the file read-only, and that only the owner write bit ever changes.
TEST_F(SettingsTest, ReadOnlyAttributeFollowsEachAccess)
{
    const FontSetting font{true, "Mono", 10, FontSetting::Bold};
    const std::function<bool()> optionsRead = [] { Settings::ReadOptions(); return true; };
    const std::function<bool()> fontRead = [] { Settings::ReadFonts(); return true; };
    const std::function<bool()> closeWrite = [] { Settings::DBObjectsShow = false; return Settings::WriteDBObjectsShow(); };
    const std::function<bool()> optionsWrite = [] { return Settings::WriteOptions({{"AutoCommit", "N", true}}); };
    const std::function<bool()> fontWrite = [&font] { return Settings::WriteFontSection(Settings::ResultFontSection, font); };
    struct Case {
        const char* name;
        std::function<bool()> access;
        int modeBefore; // -1: no file
        int modeAfter;  // -1: no file
        const char* changedLine; // a line the access writes, or nullptr
    };
    const Case cases[] = {
        {"options read, writable file", optionsRead, 0664, 0664, nullptr},
        {"options read, no file", optionsRead, -1, -1, nullptr},
        {"font read, writable file", fontRead, 0664, 0464, nullptr},
        {"font read, read-only file", fontRead, 0444, 0444, nullptr},
        {"font read, no file", fontRead, -1, -1, nullptr},
        {"close write, read-only file", closeWrite, 0444, 0444, "DBObjectsShow=N"},
        {"close write, no file", closeWrite, -1, -1, nullptr},
        {"options write, read-only file", optionsWrite, 0464, 0464, "AutoCommit=N"},
        {"options write, no file", optionsWrite, -1, 0444, "AutoCommit=N"},
        {"font write, writable file", fontWrite, 0640, 0440, "FontName=Mono"},
        {"font write, no file", fontWrite, -1, -1, nullptr},
    };
    const mode_t oldMask = ::umask(022);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(Ini());
        if (c.modeBefore >= 0) {
            TestFiles::Write(Ini(), "[Options]\nDBObjectsShow=Y\nAutoCommit=Y\n");
            TestFiles::SetMode(Ini(), c.modeBefore);
        }
        EXPECT_TRUE(c.access());
        EXPECT_EQ(TestFiles::Mode(Ini()), c.modeAfter);
        if (c.changedLine) {
            EXPECT_TRUE(TestFiles::Read(Ini()).replace("\r\n", "\n").split('\n').contains(c.changedLine));
        }
        EXPECT_FALSE(QFileInfo::exists(UserIni()));
    }
    ::umask(oldMask);
}

TEST_F(SettingsTest, CloseWritesTheBrowserFlagOnlyWhenItDiffers)
{
    struct Case {
        QByteArray before;
        bool shown;
        QByteArray after;
    };
    const Case cases[] = {
        {"[Options]\r\nDBObjectsShow=y\r\n", true, "[Options]\r\nDBObjectsShow=y\r\n"},
        {"[Options]\r\nDBObjectsShow=n\r\n", false, "[Options]\r\nDBObjectsShow=n\r\n"},
        {"[Options]\r\nDBObjectsShow=Y\r\n", false, "[Options]\r\nDBObjectsShow=N\r\n"},
        {"[Options]\r\nDBObjectsShow=\r\n", true, "[Options]\r\nDBObjectsShow=Y\r\n"},
        {"[Options]\r\nAutoCommit=Y\r\n", true, "[Options]\r\nAutoCommit=Y\r\nDBObjectsShow=Y\r\n"},
        {"; none yet\n", false, "; none yet\n[Options]\nDBObjectsShow=N\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before.toStdString());
        QFile::remove(Ini());
        TestFiles::Write(Ini(), c.before);
        Settings::DBObjectsShow = c.shown;
        QString error;
        EXPECT_TRUE(Settings::WriteDBObjectsShow(&error)) << error.toStdString();
        EXPECT_EQ(TestFiles::Read(Ini()), c.after);
        EXPECT_TRUE(ReadOnlyAttribute::IsSet(Ini()));
    }
}

std::vector<Settings::OptionWrite> DialogWrites(bool excel, bool reconnect, bool words, bool header, bool commit,
                                                const char* separator, const char* qualifier, const char* maxLen)
{
    auto flag = [](bool on) { return QString(on ? "Y" : "N"); };
    return {{"FileOpenByExcelAuto", flag(excel), true}, {"SQLScheduleReconnect", flag(reconnect), true},
            {"WordsAnalyze", flag(words), true},        {"ExportWithTblColumn", flag(header), true},
            {"AutoCommit", flag(commit), true},         {"indexSepChBetweensql", separator, true},
            {"indexTxtFieldsSepartor", qualifier, false}, {"MaxFieldLenOfSqlResult", maxLen, false}};
}

TEST_F(SettingsTest, OptionsWriteCreatesTheFileOrChangesOnlyWhatDiffers)
{
    struct Case {
        const char* name;
        std::optional<QByteArray> before;
        std::vector<Settings::OptionWrite> writes;
        QByteArray after;
    };
    const QByteArray stored = "; kept\r\n[OPTIONS]\r\nfileopenbyexcelauto=y\r\nSQLScheduleReconnect=N\r\n"
                              "WordsAnalyze=yes\r\nExportWithTblColumn=n\r\nAutoCommit=Y\r\n"
                              "indexSepChBetweensql=1\r\nindexTxtFieldsSepartor=9\r\nMaxFieldLenOfSqlResult=1536\r\n"
                              "\r\n[Font_SQLInput]\r\nSize=10\r\n";
    const Case cases[] = {
        {"no file: all eight keys", std::nullopt, DialogWrites(false, true, true, false, true, "0", "2", "4096"),
         "[Options]\r\nFileOpenByExcelAuto=N\r\nSQLScheduleReconnect=Y\r\nWordsAnalyze=Y\r\nExportWithTblColumn=N\r\n"
         "AutoCommit=Y\r\nindexSepChBetweensql=0\r\nindexTxtFieldsSepartor=2\r\nMaxFieldLenOfSqlResult=4096\r\n"},
        // The dialog shows the stored values; "yes" is not "Y" once upper-cased, so it is rewritten.
        {"unchanged dialog", stored, DialogWrites(true, false, true, false, true, "1", "1", "512"),
         "; kept\r\n[OPTIONS]\r\nfileopenbyexcelauto=y\r\nSQLScheduleReconnect=N\r\n"
         "WordsAnalyze=Y\r\nExportWithTblColumn=n\r\nAutoCommit=Y\r\n"
         "indexSepChBetweensql=1\r\nindexTxtFieldsSepartor=1\r\nMaxFieldLenOfSqlResult=512\r\n"
         "\r\n[Font_SQLInput]\r\nSize=10\r\n"},
        {"an empty file is created when nothing is to be written", std::nullopt, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(Ini());
        if (c.before) TestFiles::Write(Ini(), *c.before);
        QString error;
        EXPECT_TRUE(Settings::WriteOptions(c.writes, &error)) << error.toStdString();
        EXPECT_EQ(TestFiles::Read(Ini()), c.after);
        EXPECT_TRUE(ReadOnlyAttribute::IsSet(Ini()));
    }
}

TEST_F(SettingsTest, FontSectionWriteStoresTheFourStyleBits)
{
    TestFiles::Write(Ini(), "[Options]\nAutoCommit=Y\n");
    ASSERT_TRUE(Settings::WriteFontSection(Settings::DbObjectFontSection, FontSetting{true, "文泉驿微米黑", 12, 0x1F}));
    EXPECT_EQ(TestFiles::Read(Ini()), "[Options]\nAutoCommit=Y\n[Font_DBObject]\nFontName=文泉驿微米黑\nSize=12\nFontStyle=15\n");
    Settings::ReadFonts();
    EXPECT_EQ(Settings::DbObjectFont, (FontSetting{true, "文泉驿微米黑", 12, 15}));
}

TEST_F(SettingsTest, FailedWritesAreReportedAndChangeNothing)
{
    struct Case {
        const char* name;
        std::function<void()> arrange;
        std::function<bool(QString*)> write;
    };
    const QByteArray content = "[Options]\nAutoCommit=Y\nDBObjectsShow=Y\n";
    auto iniIsFolder = [this] { ASSERT_TRUE(QDir().mkpath(Ini())); };
    auto nowhereToWrite = [this] {
        // The installation folder is missing and the per-user folder's place is taken by a file.
        Settings::InstallPath = dir_.path() + "/no-such-folder/";
        TestFiles::Write(dir_.path() + "/config", "x");
    };
    auto withFile = [this, content] { TestFiles::Write(Ini(), content); };
    const Case cases[] = {
        {"options write, file is a folder", iniIsFolder, [](QString* e) { return Settings::WriteOptions({{"AutoCommit", "N"}}, e); }},
        {"close write, file is a folder", iniIsFolder, [](QString* e) { return Settings::WriteDBObjectsShow(e); }},
        {"font write, file is a folder", iniIsFolder,
         [](QString* e) { return Settings::WriteFontSection(Settings::ResultFontSection, FontSetting{true, "Mono", 9, 0}, e); }},
        {"options write, no writable place", nowhereToWrite, [](QString* e) { return Settings::WriteOptions({{"AutoCommit", "N"}}, e); }},
        {"options write, a key the file cannot hold", withFile,
         [](QString* e) { return Settings::WriteOptions({{"AutoCommit", "N"}, {"a=b", "1"}}, e); }},
        {"font write, a face the file cannot hold", withFile,
         [](QString* e) { return Settings::WriteFontSection(Settings::ResultFontSection, FontSetting{true, "a\nb", 9, 0}, e); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.arrange();
        QString error;
        EXPECT_FALSE(c.write(&error));
        EXPECT_FALSE(error.isEmpty());
        if (QFileInfo(Ini()).isFile()) {
            EXPECT_EQ(TestFiles::Read(Ini()), content);
            EXPECT_TRUE(ReadOnlyAttribute::IsSet(Ini()));
        }
        QFile::remove(dir_.path() + "/config");
        QDir(Ini()).removeRecursively();
        QFile::remove(Ini());
        Settings::InstallPath = dir_.path() + "/install/";
    }
}

TEST_F(SettingsTest, UserCopyIsMadeAtTheFirstWriteAndThenUsedAlone)
{
    const QByteArray installed = "; shipped\r\n[Options]\r\nAutoCommit=Y\r\nDBObjectsShow=Y\r\n";
    TestFiles::Write(Ini(), installed);
    TestFiles::SetMode(Ini(), 0444);

    // The installed file cannot be written: reads use it until a write makes the user's copy.
    const SettingsFile unwritable(Settings::InstallPath, false);
    EXPECT_EQ(unwritable.ReadPath(), Ini());
    EXPECT_TRUE(unwritable.Write(SettingsFile::WhenMissing::Skip, [](IniFile&) { return true; }));
    EXPECT_FALSE(QFileInfo::exists(UserIni()));
    QString error;
    ASSERT_TRUE(unwritable.Write(SettingsFile::WhenMissing::Skip,
                                 [](IniFile& ini) { return ini.SetValue("Options", "AutoCommit", "N"); }, &error))
        << error.toStdString();
    EXPECT_EQ(TestFiles::Read(UserIni()), "; shipped\r\n[Options]\r\nAutoCommit=N\r\nDBObjectsShow=Y\r\n");
    EXPECT_TRUE(ReadOnlyAttribute::IsSet(UserIni()));
    EXPECT_EQ(TestFiles::Read(Ini()), installed);

    // From now on reads and writes use the copy, though the installed file may be written.
    EXPECT_EQ(PlatformPaths::IniWritePath(Settings::InstallPath, true), UserIni());
    EXPECT_EQ(Settings::IniPath(), UserIni());
    Settings::ReadOptions();
    EXPECT_FALSE(Settings::AutoCommit);
    Settings::DBObjectsShow = false;
    ASSERT_TRUE(Settings::WriteDBObjectsShow());
    EXPECT_EQ(TestFiles::Read(UserIni()), "; shipped\r\n[Options]\r\nAutoCommit=N\r\nDBObjectsShow=N\r\n");
    EXPECT_EQ(TestFiles::Read(Ini()), installed);
}

TEST_F(SettingsTest, InstalledFileIsWrittenWhereTheUserMay)
{
    EXPECT_TRUE(PlatformPaths::CanWriteInstalledIni(Settings::InstallPath));
    EXPECT_FALSE(PlatformPaths::CanWriteInstalledIni(dir_.path() + "/no-such-folder/"));
    EXPECT_EQ(PlatformPaths::IniWritePath(Settings::InstallPath, true), Ini());
    EXPECT_EQ(PlatformPaths::IniWritePath(Settings::InstallPath, false), UserIni());
    // An installation folder that is gone leaves the options to the user's own file.
    Settings::InstallPath = dir_.path() + "/no-such-folder/";
    ASSERT_TRUE(Settings::WriteOptions({{"WordsAnalyze", "Y"}}));
    EXPECT_EQ(TestFiles::Read(UserIni()), "[Options]\r\nWordsAnalyze=Y\r\n");
    Settings::ReadOptions();
    EXPECT_TRUE(Settings::WordsAnalyze);
}

TEST_F(SettingsTest, InstallationComesFromTheUserHiveThenTheSystemHive)
{
    using Value = std::tuple<RegistryHive, const char*, const char*>;
    const RegistryHive user = RegistryHive::CurrentUser;
    const RegistryHive system = RegistryHive::LocalMachine;
    const QString programFolder = PlatformPaths::ProgramFolder() + "/";
    ASSERT_TRUE(QFileInfo::exists(programFolder + "platform_tests"));
    struct Case {
        const char* name;
        std::vector<Value> values;
        bool emptyUserKey;
        QString version;
        QString path;
    };
    const Case cases[] = {
        {"no key anywhere", {}, false, "", programFolder},
        {"system key", {{system, "Version", "6.04"}, {system, "path", "/opt/Tarnvale"}}, false, "6.04", "/opt/Tarnvale/"},
        {"path with its separator", {{system, "path", "/opt/Tarnvale/"}}, false, "", "/opt/Tarnvale/"},
        {"no path", {{system, "Version", "6.04"}}, false, "6.04", programFolder},
        {"empty path", {{system, "Version", "6.04"}, {system, "path", ""}}, false, "6.04", programFolder},
        {"user key first",
         {{user, "Version", "7.00"}, {user, "path", "/home/u/tv"}, {system, "Version", "6.04"}, {system, "path", "/opt/tv"}},
         false, "7.00", "/home/u/tv/"},
        {"an empty user key is the installation", {{system, "Version", "6.04"}}, true, "", programFolder},
    };
    const RegistryStore store = RegistryStore::Default();
    ASSERT_EQ(store.Folder(), dir_.path() + "/registry");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(store.Folder()).removeRecursively();
        for (const auto& [hive, name, value] : c.values)
            ASSERT_TRUE(store.WriteString(hive, Settings::InstallationKey, name, value));
        if (c.emptyUserKey) {
            ASSERT_TRUE(store.CreateKey(user, Settings::InstallationKey));
        }
        Settings::InstallPath = "stale";
        Settings::VersionText = "stale";
        Settings::ReadInstallation();
        EXPECT_EQ(Settings::VersionText, c.version);
        EXPECT_EQ(Settings::InstallPath, c.path);
    }
}

} // namespace
