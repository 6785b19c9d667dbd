#include "IniFile.h"

#include "FileSizeLimit.h"
#include "TestDsn.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <optional>

namespace {

// Comments, blank lines, CR LF and LF lines, a last line without a line end, mixed-case names,
// blanks around values, a key before any section and a UTF-8 value.
const QByteArray kSample =
    "; Tarnvale settings\r\n"
    "stray=before any section\r\n"
    "\r\n"
    "[Options]\r\n"
    "WordsAnalyze = Y \r\n"
    "# a comment with key=value inside\r\n"
    "autocommit=n\r\n"
    "\r\n"
    "[font_sqlinput]\n"
    "FontName=文泉驿微米黑\n"
    "Size=10";

class IniFileTest : public testing::Test {
protected:
    QString Path(const QString& name = QStringLiteral("t.ini")) const { return dir_.filePath(name); }
    QTemporaryDir dir_{QString::fromStdString(TestDsn::ScratchDir()) + "/ini-XXXXXX"};
};

TEST_F(IniFileTest, ReadsNamesWithoutCaseAndValuesTrimmed)
{
    TestFiles::Write(Path(), kSample);
    IniFile ini(Path());
    ASSERT_TRUE(ini.Load());
    ASSERT_TRUE(ini.Exists());

    struct Case {
        const char* section;
        const char* key;
        std::optional<QString> value;
    };
    const Case cases[] = {
        {"options", "WORDSANALYZE", QStringLiteral("Y")},
        {"OPTIONS", "AutoCommit", QStringLiteral("n")},
        {"Font_SQLInput", "fontname", QStringLiteral("文泉驿微米黑")},
        {"Font_SQLInput", "Size", QStringLiteral("10")},
        {"Options", "# a comment with key", std::nullopt},
        {"Options", "Size", std::nullopt},
        {"Options", "stray", std::nullopt},
        {"Missing", "WordsAnalyze", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(ini.Value(c.section, c.key), c.value);
    }
    EXPECT_EQ(ini.Sections(), (QStringList{"Options", "font_sqlinput"}));
    EXPECT_EQ(ini.Keys("OPTIONS"), (QStringList{"WordsAnalyze", "autocommit"}));
}

TEST_F(IniFileTest, WriteChangesOnlyItsOwnLine)
{
    struct Case {
        const char* name;
        const char* section;
        const char* key;
        const char* value;
        QByteArray expected;
    };
    const Case cases[] = {
        {"existing key keeps its spelling and line end", "OPTIONS", "wordsanalyze", "N",
         "; Tarnvale settings\r\nstray=before any section\r\n\r\n[Options]\r\n"
         "WordsAnalyze = N\r\n"
         "# a comment with key=value inside\r\nautocommit=n\r\n\r\n"
         "[font_sqlinput]\nFontName=文泉驿微米黑\nSize=10"},
        {"new key follows the section's last key", "Options", "MaxFieldLenOfSqlResult", "1024",
         "; Tarnvale settings\r\nstray=before any section\r\n\r\n[Options]\r\n"
         "WordsAnalyze = Y \r\n# a comment with key=value inside\r\nautocommit=n\r\n"
         "MaxFieldLenOfSqlResult=1024\r\n"
         "\r\n[font_sqlinput]\nFontName=文泉驿微米黑\nSize=10"},
        {"new key after a last line without a line end", "FONT_SQLINPUT", "FontStyle", "5",
         "; Tarnvale settings\r\nstray=before any section\r\n\r\n[Options]\r\n"
         "WordsAnalyze = Y \r\n# a comment with key=value inside\r\nautocommit=n\r\n\r\n"
         "[font_sqlinput]\nFontName=文泉驿微米黑\nSize=10\nFontStyle=5\n"},
        {"last line without a line end changed", "Font_SQLInput", "size", "12",
         "; Tarnvale settings\r\nstray=before any section\r\n\r\n[Options]\r\n"
         "WordsAnalyze = Y \r\n# a comment with key=value inside\r\nautocommit=n\r\n\r\n"
         "[font_sqlinput]\nFontName=文泉驿微米黑\nSize=12"},
        {"new section at the end", "Font_DBObject", "FontName", "Sans",
         "; Tarnvale settings\r\nstray=before any section\r\n\r\n[Options]\r\n"
         "WordsAnalyze = Y \r\n# a comment with key=value inside\r\nautocommit=n\r\n\r\n"
         "[font_sqlinput]\nFontName=文泉驿微米黑\nSize=10\n[Font_DBObject]\nFontName=Sans\n"},
        {"same value leaves every byte", "options", "WordsAnalyze", "Y", kSample},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFiles::Write(Path(), kSample);
        IniFile ini(Path());
        ASSERT_TRUE(ini.Load());
        ASSERT_TRUE(ini.SetValue(c.section, c.key, c.value));
        EXPECT_EQ(ini.Modified(), c.expected != kSample);
        ASSERT_TRUE(ini.Save()) << ini.ErrorText().toStdString();
        EXPECT_EQ(TestFiles::Read(Path()), c.expected);
        IniFile again(Path());
        ASSERT_TRUE(again.Load());
        EXPECT_EQ(again.ReadString(c.section, c.key), QString::fromUtf8(c.value));
    }
}

TEST_F(IniFileTest, NewFileAndEmptyFileGetSectionsAppended)
{
    for (const bool existsEmpty : {false, true}) {
        SCOPED_TRACE(existsEmpty ? "empty file" : "missing file");
        const QString path = Path(existsEmpty ? "empty.ini" : "new.ini");
        if (existsEmpty) TestFiles::Write(path, "");
        IniFile ini(path);
        ASSERT_TRUE(ini.Load());
        EXPECT_EQ(ini.Exists(), existsEmpty);
        ASSERT_TRUE(ini.SetValue("Options", "AutoCommit", "Y"));
        ASSERT_TRUE(ini.SetValue("Options", "WordsAnalyze", "N"));
        ASSERT_TRUE(ini.SetValue("Font_SQLResult", "Size", "9"));
        ASSERT_TRUE(ini.Save());
        // Line ends as in the shipped file.
        EXPECT_EQ(TestFiles::Read(path), "[Options]\r\nAutoCommit=Y\r\nWordsAnalyze=N\r\n[Font_SQLResult]\r\nSize=9\r\n");
    }
}

TEST_F(IniFileTest, NamesAndValuesTheFormatCannotHoldAreRefused)
{
    TestFiles::Write(Path(), kSample);
    IniFile ini(Path());
    ASSERT_TRUE(ini.Load());
    struct Case {
        const char* section;
        const char* key;
        const char* value;
    };
    for (const Case& c : {Case{"Options", "a=b", "1"}, Case{"Options", "", "1"}, Case{"Options", ";x", "1"},
                          Case{"Opt]ions", "k", "1"}, Case{" ", "k", "1"}, Case{"Options", "k", "two\nlines"},
                          Case{"Options", "k", "cr\r"}}) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_FALSE(ini.SetValue(c.section, c.key, c.value));
    }
    EXPECT_FALSE(ini.Modified());
    EXPECT_EQ(ini.Bytes(), kSample);
}

TEST_F(IniFileTest, RemovingKeysAndSectionsKeepsTheRest)
{
    TestFiles::Write(Path(), kSample);
    IniFile ini(Path());
    ASSERT_TRUE(ini.Load());
    EXPECT_TRUE(ini.RemoveKey("options", "AUTOCOMMIT"));
    EXPECT_FALSE(ini.RemoveKey("options", "AUTOCOMMIT"));
    EXPECT_TRUE(ini.RemoveSection("FONT_SQLINPUT"));
    EXPECT_EQ(ini.Bytes(), "; Tarnvale settings\r\nstray=before any section\r\n\r\n[Options]\r\n"
                           "WordsAnalyze = Y \r\n# a comment with key=value inside\r\n\r\n");
}

TEST_F(IniFileTest, FailuresAreReportedAndLeaveTheFileAlone)
{
    // A folder that does not exist cannot take the file.
    IniFile nowhere(Path("missing-folder/t.ini"));
    ASSERT_TRUE(nowhere.Load());
    ASSERT_TRUE(nowhere.SetValue("Options", "AutoCommit", "Y"));
    EXPECT_FALSE(nowhere.Save());
    EXPECT_FALSE(nowhere.ErrorText().isEmpty());

    // A folder in the file's place can be neither read nor replaced.
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.ini"));
    IniFile folder(Path("folder.ini"));
    EXPECT_FALSE(folder.Load());
    EXPECT_FALSE(folder.ErrorText().isEmpty());
    ASSERT_TRUE(folder.SetValue("Options", "AutoCommit", "Y"));
    EXPECT_FALSE(folder.Save());
    EXPECT_TRUE(QFileInfo(Path("folder.ini")).isDir());

    // A disk that takes only the first bytes of the new text: the old file stays whole.
    TestFiles::Write(Path(), kSample);
    IniFile partly(Path());
    ASSERT_TRUE(partly.Load());
    ASSERT_TRUE(partly.SetValue("Options", "AutoCommit", "Y"));
    bool saved = true;
    {
        const FileSizeLimit limit(16);
        ASSERT_TRUE(limit.Active());
        saved = partly.Save();
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(partly.ErrorText(), QString::fromLocal8Bit(std::strerror(EFBIG)));
    EXPECT_EQ(TestFiles::Read(Path()), kSample);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{"t.ini"}) << "no file left aside";
}

TEST_F(IniFileTest, SaveKeepsThePermissionBits)
{
    for (const int mode : {0640, 0604, 0660}) {
        SCOPED_TRACE(mode);
        TestFiles::Write(Path(), kSample);
        TestFiles::SetMode(Path(), mode);
        IniFile ini(Path());
        ASSERT_TRUE(ini.Load());
        ASSERT_TRUE(ini.SetValue("Options", "AutoCommit", "Y"));
        ASSERT_TRUE(ini.Save());
        EXPECT_EQ(TestFiles::Mode(Path()), mode);
    }
}

} // namespace
