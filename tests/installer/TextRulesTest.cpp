// The installer's rules on texts and numbers: the caption rule, listing by mask, the progress
// arithmetic, the record's entry codec, the desktop entry and the manual's rich text.
#include "CaptionRule.h"
#include "DesktopEntry.h"
#include "FileListing.h"
#include "InstallProgress.h"
#include "InstallationRun.h"
#include "InstallerTestSupport.h"
#include "RecordEntryCodec.h"
#include "RtfWriter.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>

#include <sys/stat.h>
#include <unistd.h>

using namespace InstallerTest;

namespace {

const QString Fourteen(14, u' ');

struct CaptionCase {
    const char* Caption;
    QString Expected;
};

TEST(CaptionRule, VersionAndFourteenBlanksFollowTheFirstProductName)
{
    const CaptionCase cases[] = {
        {"Tarnvale安装向导（第二步）", "Tarnvale 6.04" + Fourteen + "安装向导（第二步）"},
        {"Tarnvale安装向导（第七步）", "Tarnvale 6.04" + Fourteen + "安装向导（第七步）"},
        {"欢迎Tarnvale向导", "Tarnvale 6.04" + Fourteen + "向导"},
        {"Tarnvale", "Tarnvale 6.04" + Fourteen},
        {"TarnvaleTarnvale x", "Tarnvale 6.04" + Fourteen + "Tarnvale x"},
        {"没有产品名的标题", "没有产品名的标题"},
        {"tarnvale向导", "tarnvale向导"},
    };
    for (const CaptionCase& c : cases) {
        SCOPED_TRACE(c.Caption);
        EXPECT_EQ(InsertVersionIntoCaption(QString::fromUtf8(c.Caption)), c.Expected);
    }
}

class FileListingTest : public testing::Test {
protected:
    void SetUp() override
    {
        for (const char* name : {"b.DAT", "A.dat", "c.Dat", "d.data", "e.dat.bak", ".hidden.dat", "libOstrel.so",
                                 "libx.SO", "Tarnvale.ex_", "TARNVALE.EX_", "README", "target"})
            Write(At(name), "x");
        QDir().mkpath(At("folder.dat"));
        ::mkfifo(QFile::encodeName(At("pipe.dat")).constData(), 0644);
        ::symlink(QFile::encodeName(At("target")).constData(), QFile::encodeName(At("link.dat")).constData());
        ::symlink("nowhere", QFile::encodeName(At("broken.dat")).constData());
    }
    QString At(const char* name) const { return dir.path() + u'/' + QString::fromUtf8(name); }
    QTemporaryDir dir;
};

TEST_F(FileListingTest, MasksMatchWithoutRegardToCaseSkipFoldersAndSpecialFilesAndSort)
{
    struct Case {
        const char* Mask;
        QStringList Expected;
    };
    const Case cases[] = {
        {"*.dat", {".hidden.dat", "A.dat", "b.DAT", "c.Dat", "link.dat"}},
        {"*.so", {"libOstrel.so", "libx.SO"}},
        {"Tarnvale.ex_", {"TARNVALE.EX_", "Tarnvale.ex_"}},
        {"*.*",
         {".hidden.dat", "A.dat", "b.DAT", "c.Dat", "d.data", "e.dat.bak", "libOstrel.so", "libx.SO", "link.dat",
          "README", "target", "TARNVALE.EX_", "Tarnvale.ex_"}},
        {"?.dat", {"A.dat", "b.DAT", "c.Dat"}},
        {"*.dll", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Mask);
        QStringList list{QStringLiteral("left over")};
        const int result = ListFilesByMask(list, QString::fromLatin1(c.Mask), dir.path());
        EXPECT_EQ(list, c.Expected);
        EXPECT_EQ(result, c.Expected.isEmpty() ? -1 : 0);
    }
}

TEST_F(FileListingTest, AFolderGivenWithOrWithoutItsSlashListsTheSameAndAMissingFolderNothing)
{
    QStringList plain;
    QStringList slash;
    ListFilesByMask(plain, QStringLiteral("*.so"), dir.path());
    ListFilesByMask(slash, QStringLiteral("*.so"), dir.path() + u'/');
    EXPECT_EQ(plain, slash);
    QStringList missing{QStringLiteral("x")};
    EXPECT_EQ(ListFilesByMask(missing, QStringLiteral("*.*"), dir.path() + QStringLiteral("/none")), -1);
    EXPECT_TRUE(missing.isEmpty());
}

TEST(InstallProgress, PercentAndBarWidthAreTruncatedAndStayWithinTheirRange)
{
    struct Case {
        int Done, Total, Percent, Width;
    };
    const Case cases[] = {
        {2, 7, 28, 151},   // the bar of 529 pixels after two of seven items
        {7, 7, 100, 529},  // the last item covers the white box
        {0, 7, 0, 0},      {1, 8, 12, 66},  {3, 8, 37, 198}, {9, 8, 100, 529}, // never past the end
        {-1, 5, 0, 0},     // never negative
        {0, 0, 100, 529},  // nothing to do is all done: no division by zero
        {3, -1, 100, 529}, {INT_MAX / 2, INT_MAX, 49, 264}, // no overflow
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Done << " of " << c.Total);
        EXPECT_EQ(InstallProgress::Percent(c.Done, c.Total), c.Percent);
        EXPECT_EQ(InstallProgress::BarWidth(529, c.Done, c.Total), c.Width);
    }
}

TEST(InstallProgress, EightItemsShowTheirPercentagesAfterTheBlanksOfTheInitialText)
{
    const QString initial = InstallProgress::InitialText();
    EXPECT_EQ(initial, QString(50, u' ') + u'%');
    const QString prefix = InstallProgress::PrefixOf(initial);
    EXPECT_EQ(prefix, QString(50, u' '));
    QStringList shown;
    for (int done = 1; done <= 8; ++done) shown << InstallProgress::Text(prefix, done, 8).trimmed();
    EXPECT_EQ(shown, (QStringList{"12%", "25%", "37%", "50%", "62%", "75%", "87%", "100%"}));
    EXPECT_EQ(InstallProgress::PrefixOf(QStringLiteral("no percent")), "no percent");
}

TEST(InstallProgress, TheTotalCountsLibrariesDataFilesAndThreeMoreEvenWhenAGroupIsMissing)
{
    struct Case {
        bool Libraries, Data;
        int Total;
    };
    // The medium's library that the installation does not know (libExtra.so) counts nothing.
    for (const Case& c : {Case{true, true, 7}, Case{false, true, 6}, Case{true, false, 4}, Case{false, false, 3}}) {
        Places places;
        places.WriteSmallMedium(c.Libraries, c.Data);
        EXPECT_EQ(InstallationRun::CountItems(places.Environment.SourceFolder), c.Total);
    }
    // Nor does a data file of another name.
    Places places;
    places.WriteSmallMedium();
    Write(places.Medium(QStringLiteral("notes.dat")), "not a keyword file");
    EXPECT_EQ(InstallationRun::CountItems(places.Environment.SourceFolder), 7);
}

TEST(InstallationRun, TheProgramsNameIsTheSourceNameBeforeItsMarkKeepingItsCase)
{
    EXPECT_EQ(InstallationRun::ProgramTargetName(QStringLiteral("Tarnvale.ex_")), "Tarnvale");
    EXPECT_EQ(InstallationRun::ProgramTargetName(QStringLiteral("TARNVALE.EX_")), "TARNVALE");
    EXPECT_EQ(InstallationRun::ProgramTargetName(QStringLiteral("Tarnvale.Ex_")), "Tarnvale");
    EXPECT_EQ(InstallationRun::ProgramTargetName(QStringLiteral("Tarnvale")), "Tarnvale");
    EXPECT_EQ(InstallationRun::LinkName(), "Tarnvale 6.04");
}

TEST(RecordEntryCodec, OnlyWhatARegistryValueCannotHoldIsEscapedAndEverythingComesBack)
{
    struct Case {
        QString Path, Value;
    };
    const Case cases[] = {
        {"/opt/Corvane/Tarnvale/Enterprise/Tarnvale", "/opt/Corvane/Tarnvale/Enterprise/Tarnvale"},
        {"/home/u/Program Files/Tarnvale使用手册.doc", "/home/u/Program Files/Tarnvale使用手册.doc"},
        {"/tmp/100%/x", "/tmp/100%25/x"},
        {"/tmp/a\nb\rc", "/tmp/a%0Ab%0Dc"},
        {" /lead and trail \t", "%20/lead and trail%20%09"},
        {"/tmp/%20", "/tmp/%2520"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Path.toStdString());
        EXPECT_EQ(RecordEntryCodec::Encode(c.Path), c.Value);
        EXPECT_EQ(RecordEntryCodec::Decode(c.Value), c.Path);
    }
}

TEST(DesktopEntry, StringsAndTheProgramArgumentAreEscapedAsTheFormatSays)
{
    struct Case {
        QString Raw, Escaped, ExecValue;
    };
    const Case cases[] = {
        {"/opt/Tarnvale", "/opt/Tarnvale", R"("/opt/Tarnvale")"},
        {"/home/u/Program Files/Tarnvale", "/home/u/Program Files/Tarnvale", R"("/home/u/Program Files/Tarnvale")"},
        {R"(/a"b)", R"(/a"b)", R"("/a\\"b")"},
        {"/a$HOME`x`", "/a$HOME`x`", R"("/a\\$HOME\\`x\\`")"},
        {R"(/a\b)", R"(/a\\b)", R"("/a\\\\b")"},
        {"/100%/x", "/100%/x", R"("/100%%/x")"},
        {"/a\nb\tc", R"(/a\nb\tc)", R"("/a\nb\tc")"},
        {" lead", R"(\slead)", R"(" lead")"},
        {"/安装/程序", "/安装/程序", R"("/安装/程序")"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Raw.toStdString());
        EXPECT_EQ(DesktopEntry::EscapeString(c.Raw), c.Escaped);
        const QString exec = DesktopEntry::EscapeString(DesktopEntry::QuoteExecArgument(c.Raw));
        EXPECT_EQ(exec, c.ExecValue);
        EXPECT_EQ(DesktopExecArguments(exec), QStringList{c.Raw}) << "a reader gets the path back";
    }
}

TEST(DesktopEntry, TheEntryNamesTheProgramItsFolderAndItsIcon)
{
    DesktopEntry::Shortcut shortcut;
    shortcut.Name = QStringLiteral("Tarnvale 6.04");
    shortcut.Comment = QStringLiteral("Tarnvale");
    shortcut.Target = QStringLiteral("/home/u/Program Files/Tarnvale");
    shortcut.WorkingFolder = QStringLiteral("/home/u/Program Files/");
    shortcut.Icon = QStringLiteral("/home/u/Program Files/Tarnvale.png");
    EXPECT_EQ(QString::fromUtf8(DesktopEntry::Content(shortcut)),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Version=1.0\n"
              "Name=Tarnvale 6.04\n"
              "Comment=Tarnvale\n"
              "Exec=\"/home/u/Program Files/Tarnvale\"\n"
              "Path=/home/u/Program Files/\n"
              "Icon=/home/u/Program Files/Tarnvale.png\n"
              "Terminal=false\n"
              "Categories=Development;Database;\n");
    shortcut.Icon.clear();
    EXPECT_FALSE(DesktopEntry::Content(shortcut).contains("Icon="));

    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/a.desktop");
    Write(path, "old");
    ASSERT_TRUE(DesktopEntry::Write(path, shortcut));
    EXPECT_EQ(Read(path), DesktopEntry::Content(shortcut)) << "an entry there is replaced";
    QString error;
    EXPECT_FALSE(DesktopEntry::Write(dir.path() + QStringLiteral("/none/a.desktop"), shortcut, &error));
    EXPECT_FALSE(error.isEmpty());

    // A link in the entry's place is neither followed nor replaced.
    const QString theirs = dir.path() + QStringLiteral("/theirs.txt");
    Write(theirs, "someone else's file");
    const QString link = dir.path() + QStringLiteral("/b.desktop");
    ASSERT_EQ(::symlink(QFile::encodeName(theirs).constData(), QFile::encodeName(link).constData()), 0);
    error.clear();
    EXPECT_FALSE(DesktopEntry::Write(link, shortcut, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(Read(theirs), "someone else's file");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

TEST(RtfWriter, TextIsEscapedToPlainAscii)
{
    struct Case {
        QString Text;
        QByteArray Rtf;
    };
    const Case cases[] = {
        {"plain text", "plain text"},
        {R"(a\b{c}d)", R"(a\\b\{c\}d)"},
        {"使用", "\\u20351\\'3f\\u29992\\'3f"},
        {"连", "\\u-28706\\'3f"}, // units past 32767 are negative
        {"“Y”", "\\u8220\\'3fY\\u8221\\'3f"},
        {"a\tb", "a\\tab b"},
        {"😀", "\\u-10179\\'3f\\u-8704\\'3f"}, // a surrogate pair, one unit each
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text.toStdString());
        EXPECT_EQ(RtfWriter::EscapeText(c.Text), c.Rtf);
    }
}

TEST(RtfWriter, TheManualsMarkdownBecomesHeadingsParagraphsListsAndBold)
{
    const QByteArray rtf = RtfWriter::FromMarkdown(QStringLiteral("# 手册\n\n一段 {文字}。\n\n## 1. 连接\n\n"
                                                                  "- **粗体**：说明\n- 第二项\n\n1. 一\n2. 二\n"));
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936\\deff0\\uc1"));
    EXPECT_TRUE(rtf.endsWith("}\n"));
    EXPECT_TRUE(rtf.contains("{\\info{\\title \\u25163\\'3f\\u20876\\'3f}}"));
    EXPECT_TRUE(rtf.contains("\\pard\\qc\\sb240\\sa360{\\b\\fs36 "));
    EXPECT_TRUE(rtf.contains("\\u19968\\'3f\\u27573\\'3f \\{\\u25991\\'3f\\u23383\\'3f\\}\\u12290\\'3f\\par"));
    EXPECT_TRUE(rtf.contains("\\pard\\sb240\\sa120{\\b\\fs28 "));
    EXPECT_TRUE(rtf.contains("\\bullet\\tab {\\b \\u31895\\'3f\\u20307\\'3f}\\u-230\\'3f"));
    EXPECT_TRUE(rtf.contains("1.\\tab \\u19968\\'3f\\par"));
    EXPECT_TRUE(rtf.contains("2.\\tab \\u20108\\'3f\\par"));
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        EXPECT_TRUE(static_cast<unsigned char>(c) < 0x80) << "only ASCII";
        if (c == '\\') ++i;
        else if (c == '{') ++depth;
        else if (c == '}') --depth;
        EXPECT_GE(depth, 0);
    }
    EXPECT_EQ(depth, 0) << "groups balance";
}

} // namespace
