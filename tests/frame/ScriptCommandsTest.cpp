// SQL scripts: opened into and saved from the active query window through the frame's commands,
// with the file dialogs answered headless, and the script file's encoding and line rules.
#include "FailingLastStep.h"
#include "EditorDocuments.h"
#include "FindReplaceDialog.h"
#include "ImmutableFolder.h"
#include "KeywordLists.h"
#include "KeywordTables.h"
#include "LongLineDisplay.h"
#include "ObjectBrowserFixture.h"
#include "SaveFileChoice.h"
#include "ScriptedFileChooser.h"
#include "SqlEditorText.h"
#include "SqlScriptFile.h"
#include "SqlScriptLoader.h"
#include "StatusPanelBar.h"
#include "WindowMenuEntry.h"

#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QByteArray Bytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(SqlScriptFile, LinesOfAFileAndOfTheEditor)
{
    struct Case {
        QString Text;
        QStringList Lines;
    };
    const Case cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\n\n", {"a", ""}},
        {"\n", {""}},
    };
    for (const Case& c : cases) EXPECT_EQ(SqlScriptFile::Lines(c.Text), c.Lines) << c.Text.toStdString();
    // The editor's text has "\n" breaks only; an empty last line is no line of the file.
    EXPECT_EQ(SqlScriptFile::EditorLines("a\nb\n"), (QStringList{"a", "b"}));
    EXPECT_EQ(SqlScriptFile::EditorLines("a\nb"), (QStringList{"a", "b"}));
    EXPECT_EQ(SqlScriptFile::EditorLines("a\n\n"), (QStringList{"a", ""}));
    EXPECT_EQ(SqlScriptFile::EditorLines(QString("a") + QChar(0x2028) + "b"), (QStringList{"a", "b"}));
    EXPECT_EQ(SqlScriptFile::Encode({"select 1;", "", "选择"}), QByteArray("select 1;\r\n\r\n") + QString("选择").toUtf8() + "\r\n");
}

TEST(SqlScriptFile, DecodesUtf8AndFallsBackToGb18030)
{
    const QString chinese = QStringLiteral("select '张伟' -- 北京");
    QStringEncoder gb("GB18030");
    const QByteArray gbBytes = gb.encode(chinese);
    ASSERT_NE(gbBytes, chinese.toUtf8());
    EXPECT_EQ(SqlScriptFile::Decode(chinese.toUtf8()), chinese);
    EXPECT_EQ(SqlScriptFile::Decode(gbBytes), chinese);
    EXPECT_EQ(SqlScriptFile::Decode("plain ascii"), QStringLiteral("plain ascii"));
    EXPECT_EQ(SqlScriptFile::Decode("\xEF\xBB\xBFselect 1"), QStringLiteral("select 1"));
    struct Case {
        QByteArray Bytes;
        bool Gb18030, Utf8Bom, Undecodable;
    };
    const Case cases[] = {
        {chinese.toUtf8(), false, false, false},       {gbBytes, true, false, false},
        {"\xEF\xBB\xBFselect 1", false, true, false}, {"caf\xE9\xFF\xFE", false, false, true},
        {"\xFF", false, false, true},
    };
    for (const Case& c : cases) {
        ScriptFileForm form;
        SqlScriptFile::Decode(c.Bytes, &form);
        EXPECT_EQ(form.Gb18030, c.Gb18030) << c.Bytes.toHex().toStdString();
        EXPECT_EQ(form.Utf8Bom, c.Utf8Bom) << c.Bytes.toHex().toStdString();
        EXPECT_EQ(form.Undecodable, c.Undecodable) << c.Bytes.toHex().toStdString();
    }
}

class ScriptCommands : public BrowserFrameTest {
protected:
    void SetUp() override
    {
        BrowserFrameTest::SetUp();
        ASSERT_TRUE(dir.isValid());
    }
    TFMain* OpenSQLite(const QString& user = {})
    {
        return Open(QString::fromLatin1(TestDsn::SQLiteDsn()), QStringLiteral("SQLite"), user);
    }
    QString Path(const QString& name) const { return dir.filePath(name); }
    QString ItemText(TFMain* w) const
    {
        const int index = WindowMenuEntry::Find(frame->WindowMenuRegistry, w->Handle());
        return index < 0 ? QString() : frame->N_windows->actions().value(index)->text();
    }
    QString RegistryLine(TFMain* w) const
    {
        const int index = WindowMenuEntry::Find(frame->WindowMenuRegistry, w->Handle());
        return index < 0 ? QString() : frame->WindowMenuRegistry.at(index);
    }
    static QString CaptionFor(const TFMain* w, const QString& path)
    {
        return QStringLiteral("查询 -- ") + w->DSN + QStringLiteral("\\") + w->User + QStringLiteral("  --") + path;
    }

    ScriptedFileChooser chooser;
    QTemporaryDir dir;
};

TEST_F(ScriptCommands, OpeningAScriptFillsTheEditorAndNamesTheWindow)
{
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    const QString before = w->windowTitle();
    struct Case {
        const char* What;
        QByteArray Bytes;
        QString Text;
    };
    QStringEncoder gb("GB18030");
    const Case cases[] = {
        {"UTF-8 with CR LF", QByteArray("select 1;\r\nselect '") + QString("张伟").toUtf8() + "';\r\n",
         QStringLiteral("select 1;\nselect '张伟';")},
        {"GB18030", gb.encode(QStringLiteral("-- 北京\nselect 2")), QStringLiteral("-- 北京\nselect 2")},
        {"no line break at the end, LF breaks", "a\nb\n\nc", "a\nb\n\nc"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString path = Path(QStringLiteral("script%1.sql").arg(++n));
        WriteBytes(path, c.Bytes);
        chooser.Accept(path);
        frame->mainmenu_file_opensqlfile->trigger();
        EXPECT_EQ(w->RichEdit_sql->toPlainText(), c.Text) << c.What;
        EXPECT_FALSE(w->RichEdit_sql->document()->isModified()) << c.What;
        EXPECT_EQ(w->windowTitle(), CaptionFor(w, path)) << c.What;
        EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral("  --") + path));
        EXPECT_EQ(ItemText(w), w->windowTitle()) << c.What;
        EXPECT_EQ(RegistryLine(w), QString::number(w->Handle()) + QStringLiteral("@@@@") + w->windowTitle());
    }
    ASSERT_EQ(chooser.Requests.size(), 3u);
    const FileChooser::Request& r = chooser.Requests.front();
    EXPECT_EQ(r.Name, QStringLiteral("OpenDialog_sql"));
    EXPECT_EQ(r.Title, QStringLiteral("打开SQL文件"));
    EXPECT_EQ(r.Kind, FileChooser::Mode::Open);
    EXPECT_EQ(r.Filters, (QStringList{QStringLiteral("SQL文件(*.sql)"), QStringLiteral("所有文件(*)")}));
    // The opened text is undoable like any change of the text.
    EXPECT_TRUE(frame->ToolButton_undosql->isEnabled());
    EXPECT_NE(before, w->windowTitle());
    EXPECT_TRUE(prompter.Prompts.empty());
}

// A file named like a new window's title in the current folder comes up in the window's editor,
// read as the open command reads a script.
TEST_F(ScriptCommands, AScriptNamedLikeANewWindowsTitleIsReadAsTheOpenCommandReadsIt)
{
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    QStringEncoder gb("GB18030");
    const QByteArray bytes = gb.encode(QStringLiteral("select 1;\r\nselect '张伟';\r\n"));
    WriteBytes(Path(QueryWindowNaming::QueryWindowTitle(WindowCounter + 1)), bytes);
    TFMain* w = OpenSQLite();
    QDir::setCurrent(before);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->RichEdit_sql->toPlainText(), QStringLiteral("select 1;\nselect '张伟';"));
    // The same file through the open command gives the same text.
    chooser.Accept(Path(QueryWindowNaming::QueryWindowTitle(WindowCounter)));
    frame->mainmenu_file_opensqlfile->trigger();
    EXPECT_EQ(w->RichEdit_sql->toPlainText(), QStringLiteral("select 1;\nselect '张伟';"));
}

TEST_F(ScriptCommands, AScriptThatCannotBeReadOrACancelledDialogChangesNothing)
{
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    w->RichEdit_sql->setPlainText(QStringLiteral("kept"));
    const QString caption = w->windowTitle();
    const QString item = ItemText(w);

    chooser.Cancel();
    frame->ToolButton_opensql->trigger();
    EXPECT_TRUE(prompter.Prompts.empty());

    const QString missing = Path(QStringLiteral("gone.sql"));
    chooser.Accept(missing);
    frame->ToolButton_opensql->trigger();
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_TRUE(prompter.Prompts[0].Text.startsWith(missing + QStringLiteral(": "))) << prompter.Prompts[0].Text.toStdString();
    EXPECT_GT(prompter.Prompts[0].Text.size(), missing.size() + 2) << "the system's text follows the name";
    EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Error);

    EXPECT_EQ(w->RichEdit_sql->toPlainText(), QStringLiteral("kept"));
    EXPECT_EQ(w->windowTitle(), caption);
    EXPECT_EQ(ItemText(w), item);
}

TEST_F(ScriptCommands, SavingWritesEveryLineWithCrLfAndNamesTheWindow)
{
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    struct Case {
        const char* What;
        QString Text;
        QByteArray Bytes;
    };
    const Case cases[] = {
        {"two lines", "select 1;\nselect 2;", "select 1;\r\nselect 2;\r\n"},
        {"a break at the end", "select 1;\n", "select 1;\r\n"},
        {"empty lines inside", "a\n\n\nb", "a\r\n\r\n\r\nb\r\n"},
        {"CJK text", QStringLiteral("select '张伟'"), QByteArray("select '") + QString("张伟").toUtf8() + "'\r\n"},
        {"blanks only", "   ", "   \r\n"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString path = Path(QStringLiteral("saved%1.sql").arg(++n));
        w->RichEdit_sql->setPlainText(c.Text);
        w->RichEdit_sql->document()->setModified(true);
        chooser.Accept(path);
        frame->mainmenu_file_savesqlfile->trigger();
        EXPECT_EQ(Bytes(path), c.Bytes) << c.What;
        EXPECT_FALSE(w->RichEdit_sql->document()->isModified()) << c.What;
        EXPECT_EQ(w->windowTitle(), CaptionFor(w, path)) << c.What;
        EXPECT_EQ(ItemText(w), w->windowTitle()) << c.What;
    }
    const FileChooser::Request& r = chooser.Requests.back();
    EXPECT_EQ(r.Name, QStringLiteral("SaveDialog_sql"));
    EXPECT_EQ(r.Title, QStringLiteral("保存SQL文件"));
    EXPECT_EQ(r.Kind, FileChooser::Mode::Save);

    // A saved script opens as it was written.
    const QString first = Path(QStringLiteral("saved1.sql"));
    chooser.Accept(first);
    frame->ToolButton_opensql->trigger();
    EXPECT_EQ(w->RichEdit_sql->toPlainText(), QStringLiteral("select 1;\nselect 2;"));
    EXPECT_TRUE(prompter.Prompts.empty());
}

// A script opened and saved again is the file it was: its encoding, its line ends, blank lines at
// its end and a last line without a line end all stay.
TEST_F(ScriptCommands, AScriptOpenedAndSavedAgainKeepsItsBytes)
{
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    const QByteArray cases[] = {
        "a\r\n\r\n",
        "a\r\n\r\n\r\n",
        "select 1;\r\n",
        "a\r\nb",
        "\r\n",
        "\r\n\r\nx\r\n",
        "a\n\n",
        "a\nb\n\nc",
        "\n\n",
        "a\r\r",
        "a\rb\r",
        "a",
        QByteArray("select '") + QString("张伟").toUtf8() + "';\n\n",
        QStringEncoder("GB18030").encode(QStringLiteral("-- 北京\r\nselect '张伟';\r\n\r\n")),
        "\xEF\xBB\xBFselect 1;\r\n",
    };
    int n = 0;
    for (const QByteArray& bytes : cases) {
        SCOPED_TRACE(bytes.toHex(' ').toStdString());
        const QString path = Path(QStringLiteral("round%1.sql").arg(++n));
        WriteBytes(path, bytes);
        // Twice: the second round opens the file the first one saved.
        for (int round = 1; round <= 2; ++round) {
            chooser.Accept(path);
            frame->mainmenu_file_opensqlfile->trigger();
            prompter.Answers = {Prompter::Yes};
            chooser.Accept(path);
            EXPECT_EQ(frame->SaveSqlScript(*w), TFMain_mul::ScriptSave::Saved) << round;
            EXPECT_EQ(Bytes(path), bytes) << round;
        }
    }
    // Every question was the one before replacing the file.
    for (const PromptRecord& p : prompter.Prompts) EXPECT_TRUE(p.Text.endsWith(QStringLiteral("要替换它吗？"))) << p.Text.toStdString();
}

// A script that is neither UTF-8 nor GB18030 says so when it opens, and its bytes are replaced
// only when the user agrees to the save.
TEST_F(ScriptCommands, AScriptThatDoesNotDecodeSaysSoAndIsReplacedOnlyAfterYes)
{
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    const QString path = Path(QStringLiteral("latin1.sql"));
    const QByteArray latin1("select 'caf\xE9';\r\n-- \xFF\xFE end\r\n");
    WriteBytes(path, latin1);
    chooser.Accept(path);
    frame->mainmenu_file_opensqlfile->trigger();
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Text,
              path + QStringLiteral(": 文件中有既非UTF-8也非GB18030编码的字节，编辑器中显示为\uFFFD。保存时将以UTF-8写入，这些字节将被替换。"));
    EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Exclamation);
    // Each byte that does not decode stands alone; none takes the character after it.
    EXPECT_EQ(w->RichEdit_sql->toPlainText(), QStringLiteral("select 'caf\uFFFD';\n-- \uFFFD\uFFFD end"));
    EXPECT_FALSE(w->RichEdit_sql->document()->isModified());
    EXPECT_EQ(w->windowTitle(), CaptionFor(w, path));

    // No: nothing is written, and no file dialog comes up.
    prompter.Prompts.clear();
    prompter.Answers = {Prompter::No};
    const std::size_t dialogs = chooser.Requests.size();
    EXPECT_EQ(frame->SaveSqlScript(*w), TFMain_mul::ScriptSave::Cancelled);
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Text,
              QStringLiteral("打开此脚本时有无法识别的字节，编辑器中显示为\uFFFD。保存将以UTF-8写入，替换这些字节。\n要保存吗？"));
    EXPECT_EQ(prompter.Prompts[0].Icon, Prompter::Icon::Question);
    EXPECT_EQ(chooser.Requests.size(), dialogs);
    EXPECT_EQ(Bytes(path), latin1);

    // Yes: written as UTF-8; the next save asks no more.
    prompter.Prompts.clear();
    prompter.Answers = {Prompter::Yes, Prompter::Yes};
    chooser.Accept(path);
    EXPECT_EQ(frame->SaveSqlScript(*w), TFMain_mul::ScriptSave::Saved);
    EXPECT_EQ(Bytes(path), QByteArray("select 'caf\xEF\xBF\xBD';\r\n-- \xEF\xBF\xBD\xEF\xBF\xBD end\r\n"));
    prompter.Prompts.clear();
    prompter.Answers = {Prompter::Yes};
    chooser.Accept(path);
    EXPECT_EQ(frame->SaveSqlScript(*w), TFMain_mul::ScriptSave::Saved);
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Text, SaveFileChoice::ReplaceQuestion(path));
}

TEST_F(ScriptCommands, TheSaveCommandTellsWhatItCameTo)
{
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    const QString caption = w->windowTitle();

    // An empty editor: no dialog, nothing written.
    EXPECT_EQ(frame->SaveSqlScript(*w), TFMain_mul::ScriptSave::NothingToSave);
    EXPECT_TRUE(chooser.Requests.empty());

    w->RichEdit_sql->setPlainText(QStringLiteral("select 1"));
    w->RichEdit_sql->document()->setModified(true);
    chooser.Cancel();
    EXPECT_EQ(frame->SaveSqlScript(*w), TFMain_mul::ScriptSave::Cancelled);
    EXPECT_EQ(w->windowTitle(), caption);
    EXPECT_TRUE(w->RichEdit_sql->document()->isModified());

    // A name without an extension gets ".sql".
    chooser.Accept(Path(QStringLiteral("plain")));
    EXPECT_EQ(frame->SaveSqlScript(*w), TFMain_mul::ScriptSave::Saved);
    EXPECT_EQ(Bytes(Path(QStringLiteral("plain.sql"))), QByteArray("select 1\r\n"));
    EXPECT_FALSE(QFileInfo::exists(Path(QStringLiteral("plain"))));

    // An existing file is replaced only when the user agrees.
    const QString existing = Path(QStringLiteral("existing.sql"));
    WriteBytes(existing, "old\r\n");
    w->RichEdit_sql->setPlainText(QStringLiteral("new"));
    chooser.Accept(existing);
    chooser.Cancel();
    prompter.Answers = {Prompter::No};
    EXPECT_EQ(frame->SaveSqlScript(*w), TFMain_mul::ScriptSave::Cancelled);
    EXPECT_EQ(Bytes(existing), QByteArray("old\r\n"));
    ASSERT_EQ(prompter.Prompts.size(), 1u);
    EXPECT_EQ(prompter.Prompts[0].Text, SaveFileChoice::ReplaceQuestion(existing));
    chooser.Accept(existing);
    prompter.Answers = {Prompter::Yes};
    EXPECT_EQ(frame->SaveSqlScript(*w), TFMain_mul::ScriptSave::Saved);
    EXPECT_EQ(Bytes(existing), QByteArray("new\r\n"));
}

TEST_F(ScriptCommands, AFailedSaveKeepsTheOldFileTheModifiedMarkAndTheCaption)
{
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    const QString caption = w->windowTitle();
    const QString existing = Path(QStringLiteral("kept.sql"));
    const QByteArray old("select 'the old script';\r\n");
    WriteBytes(existing, old);

    struct Case {
        const char* What;
        QString Target;
        std::function<void()> Break;
        std::function<void()> Mend;
    };
    // A file size limit lets the first bytes through and refuses the rest, as a full disk does.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    // The last step (sync and rename) fails once every byte is written.
    std::optional<FailingLastStep> failing;
    QString lastStepReason;
    auto failLastStep = [&](FailingLastStep::Step step) { return [&, step] { failing.emplace(step, existing); }; };
    auto mendLastStep = [&] {
        EXPECT_TRUE(failing->Reached()) << "the file system cannot lock a file";
        lastStepReason = failing->ErrorText();
        failing.reset();
    };
    const Case cases[] = {
        {"the folder is gone", Path(QStringLiteral("gone/new.sql")), [] {}, [] {}},
        {"the sync fails", existing, failLastStep(FailingLastStep::Step::Sync), mendLastStep},
        {"the rename fails", existing, failLastStep(FailingLastStep::Step::Rename), mendLastStep},
        {"the disk takes only part of it", existing,
         [&] {
             rlimit small = saved;
             small.rlim_cur = 64;
             setrlimit(RLIMIT_FSIZE, &small);
         },
         [&] { setrlimit(RLIMIT_FSIZE, &saved); }},
    };
    for (const Case& c : cases) {
        lastStepReason.clear();
        w->RichEdit_sql->setPlainText(QString(200, QLatin1Char('x')) + QStringLiteral("\nselect 2"));
        w->RichEdit_sql->document()->setModified(true);
        prompter.Prompts.clear();
        prompter.Answers = {Prompter::Yes};
        chooser.Accept(c.Target);
        c.Break();
        const TFMain_mul::ScriptSave result = frame->SaveSqlScript(*w);
        c.Mend();
        EXPECT_EQ(result, TFMain_mul::ScriptSave::Failed) << c.What;
        ASSERT_FALSE(prompter.Prompts.empty()) << c.What;
        const PromptRecord& message = prompter.Prompts.back();
        EXPECT_TRUE(message.Text.startsWith(c.Target + QStringLiteral(": "))) << message.Text.toStdString();
        if (!lastStepReason.isEmpty()) {
            EXPECT_EQ(message.Text, c.Target + QStringLiteral(": ") + lastStepReason);
        }
        EXPECT_EQ(message.Icon, Prompter::Icon::Error) << c.What;
        EXPECT_TRUE(w->RichEdit_sql->document()->isModified()) << c.What;
        EXPECT_EQ(w->windowTitle(), caption) << c.What;
        EXPECT_EQ(ItemText(w), caption) << c.What;
    }
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(Bytes(existing), old);
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("kept.sql")});
}

// A folder in which no file can be created, for root too: no write bits, and for root the
// file system's immutable flag. Writable again when it goes.
class UnwritableFolder {
public:
    explicit UnwritableFolder(const QString& path) : path_(path)
    {
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
        if (geteuid() == 0) immutable_.emplace(path_);
        QFile probe(path_ + QStringLiteral("/probe"));
        unwritable_ = !probe.open(QIODevice::WriteOnly);
        if (!unwritable_) probe.remove();
    }
    ~UnwritableFolder()
    {
        immutable_.reset();
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool Unwritable() const { return unwritable_; }

private:
    QString path_;
    std::optional<ImmutableFolder> immutable_;
    bool unwritable_ = false;
};

TEST_F(ScriptCommands, ASaveIntoAFolderThatTakesNoNewFileKeepsTheOldFile)
{
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    const QString folder = Path(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString existing = folder + QStringLiteral("/kept.sql");
    WriteBytes(existing, "select 'old';\r\n");
    const QString caption = w->windowTitle();
    w->RichEdit_sql->setPlainText(QStringLiteral("select 'new'"));
    w->RichEdit_sql->document()->setModified(true);
    TFMain_mul::ScriptSave result;
    {
        UnwritableFolder locked(folder);
        if (!locked.Unwritable()) GTEST_SKIP() << "this file system lets root create files in any folder";
        chooser.Accept(existing);
        prompter.Answers = {Prompter::Yes};
        result = frame->SaveSqlScript(*w);
    }
    EXPECT_EQ(result, TFMain_mul::ScriptSave::Failed);
    EXPECT_EQ(Bytes(existing), QByteArray("select 'old';\r\n"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("kept.sql")});
    EXPECT_TRUE(w->RichEdit_sql->document()->isModified());
    EXPECT_EQ(w->windowTitle(), caption);
    ASSERT_EQ(prompter.Prompts.size(), 2u);
    EXPECT_TRUE(prompter.Prompts[1].Text.startsWith(existing + QStringLiteral(": ")));
}

TEST_F(ScriptCommands, TheCaptionNamesTheWindowsOwnConnection)
{
    TFMain* sqlite = OpenSQLite(QStringLiteral("reader"));
    ASSERT_NE(sqlite, nullptr);
    TFMain* pg = Open(QString::fromLatin1(TestDsn::PgDsn()), QStringLiteral("PostgreSQL"), QStringLiteral("postgres"));
    ASSERT_NE(pg, nullptr);
    // The latest connect dialog was PostgreSQL's; the SQLite window is brought to the front.
    frame->MdiArea->setActiveSubWindow(frame->SubWindowOf(sqlite));
    ASSERT_EQ(frame->ActiveQueryWindow(), sqlite);
    sqlite->RichEdit_sql->setPlainText(QStringLiteral("select 1"));
    const QString path = Path(QStringLiteral("own.sql"));
    chooser.Accept(path);
    frame->ToolButton_savesql->trigger();
    EXPECT_EQ(sqlite->windowTitle(), QStringLiteral("查询 -- ") + QString::fromLatin1(TestDsn::SQLiteDsn()) +
                                         QStringLiteral("\\reader  --") + path);
    EXPECT_EQ(ItemText(sqlite), sqlite->windowTitle());
    EXPECT_NE(ItemText(pg), sqlite->windowTitle());
}


// Opening big scripts: in slices that give the event loop its turn, with the same text, colours and
// history as an open at once; and lines too long for one screen line.
class BigScripts : public ScriptCommands {
protected:
    void SetUp() override
    {
        ScriptCommands::SetUp();
        LoadKeywordFiles(TARNVALE_DATA_DIR);
        CreateKeywordTables();
        Settings::WordsAnalyze = true;
        // Small scripts stand in for big ones: the slices are the same.
        SqlScriptLoader::SlicedFrom = 4096;
    }
    void TearDown() override
    {
        SqlScriptLoader::SlicedFrom = qsizetype(1) << 20;
        ScriptCommands::TearDown();
        FreeKeywordTables();
        ClearKeywordLists();
    }
    // Opens path into w through the open command; at once when sliced is false. A sliced open
    // returns once the file was read (off the window's thread) and its load has begun.
    void OpenInto(TFMain* w, const QString& path, bool sliced)
    {
        const qsizetype kept = SqlScriptLoader::SlicedFrom;
        if (!sliced) SqlScriptLoader::SlicedFrom = std::numeric_limits<qsizetype>::max();
        Activate(w);
        chooser.Accept(path);
        frame->mainmenu_file_opensqlfile->trigger();
        SqlScriptLoader::SlicedFrom = kept;
        QElapsedTimer t;
        t.start();
        while (sliced && !SqlScriptLoader::Running(*w) && w->windowTitle() != CaptionFor(w, path) && t.elapsed() < 60000)
            QApplication::processEvents();
    }
    void Activate(TFMain* w)
    {
        frame->MdiArea->setActiveSubWindow(frame->SubWindowOf(w));
        ASSERT_EQ(frame->ActiveQueryWindow(), w);
    }
    static void Type(TFMain* w, const QString& text)
    {
        for (const QChar c : text) {
            const int key = c == QLatin1Char(' ') ? int(Qt::Key_Space) : int(c.toUpper().unicode());
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w->RichEdit_sql, &press);
        }
    }
    static void AwaitLoad(TFMain* w)
    {
        QElapsedTimer t;
        t.start();
        while (SqlScriptLoader::Running(*w) && t.elapsed() < 120000) QApplication::processEvents();
        QApplication::processEvents();
    }
    // Esc in the editor during a load; then the editor shows "select kept" in document with colours,
    // editable again and without the progress bar.
    static void GiveUpLeavingAsItWas(TFMain* w, const QTextDocument* document, const std::vector<QRgb>& colours)
    {
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(w->RichEdit_sql, &esc);
        EXPECT_EQ(SqlScriptLoader::Running(*w), nullptr);
        AwaitLoad(w);
        EXPECT_EQ(w->RichEdit_sql->document(), document);
        EXPECT_EQ(w->RichEdit_sql->toPlainText(), QStringLiteral("select kept"));
        EXPECT_EQ(Colours(*w->RichEdit_sql), colours);
        EXPECT_FALSE(w->RichEdit_sql->isReadOnly());
        EXPECT_EQ(w->StatusBar1->findChild<QProgressBar*>(), nullptr);
    }
    // The foreground of every character of the editor's text.
    static std::vector<QRgb> Colours(const QPlainTextEdit& editor)
    {
        std::vector<QRgb> colours;
        for (QTextBlock b = editor.document()->firstBlock(); b.isValid(); b = b.next()) {
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                colours.insert(colours.end(), static_cast<std::size_t>(f.length()), f.charFormat().foreground().color().rgb());
            }
        }
        return colours;
    }
    static QRgb ColourAt(const QPlainTextEdit& editor, int position)
    {
        QTextCursor at(editor.document());
        at.setPosition(position + 1);
        return at.charFormat().foreground().color().rgb();
    }
    // Where each screen line of block starts in it, and its length.
    static std::vector<std::pair<int, int>> ScreenLines(const QTextBlock& block)
    {
        std::vector<std::pair<int, int>> lines;
        for (int i = 0; i < block.layout()->lineCount(); ++i)
            lines.emplace_back(block.layout()->lineAt(i).textStart(), block.layout()->lineAt(i).textLength());
        return lines;
    }
    static QString FileText(const QByteArray& bytes)
    {
        QString text = QString::fromUtf8(bytes);
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
        return text;
    }
};

// Lines of keywords, comments (one "--" just at a piece's edge), CJK text, a character outside the
// basic plane, blank lines and a line of 20,000 characters.
QByteArray BigScript()
{
    QByteArray bytes;
    for (int i = 0; i < 3000; ++i) {
        switch (i % 6) {
        case 0: bytes += "select a, count(*) from t" + QByteArray::number(i) + " where b > " + QByteArray::number(i); break;
        case 1: bytes += "  -- " + QString::fromUtf8("注释 select 😀").toUtf8() + " from"; break;
        case 2: bytes += "insert into audit (note) values ('" + QString::fromUtf8("客户").toUtf8() + "'); -- end"; break;
        case 3: break;
        case 4: bytes += "update x set y = getdate() where id = " + QByteArray::number(i) + ";"; break;
        default: bytes += "declare @n int set @n = 1 begin end"; break;
        }
        bytes += "\r\n";
        if (i == 1500) {
            QByteArray longLine;
            while (longLine.size() < 20000) longLine += "select x from y; ";
            longLine.insert(4095, "--");
            bytes += longLine + "\r\n";
        }
    }
    return bytes + "select last";
}

TEST_F(BigScripts, ABigScriptComesInSlicesWithTheTextColoursAndHistoryOfAnOpenAtOnce)
{
    TFMain* atOnce = OpenSQLite();
    TFMain* w = OpenSQLite();
    ASSERT_TRUE(atOnce && w);
    const QByteArray bytes = BigScript();
    const QString path = Path(QStringLiteral("big.sql"));
    WriteBytes(path, bytes);
    atOnce->RichEdit_sql->setPlainText(QStringLiteral("kept"));
    OpenInto(atOnce, path, false);
    ASSERT_EQ(SqlScriptLoader::Running(*atOnce), nullptr);

    w->RichEdit_sql->setPlainText(QStringLiteral("kept"));
    const QString caption = w->windowTitle();
    OpenInto(w, path, true);
    // The open runs on: the editor is read-only with a progress bar in the status bar.
    SqlScriptLoader* loader = SqlScriptLoader::Running(*w);
    ASSERT_NE(loader, nullptr);
    QProgressBar* progress = w->StatusBar1->findChild<QProgressBar*>();
    ASSERT_NE(progress, nullptr);
    EXPECT_TRUE(progress->isVisible());
    EXPECT_TRUE(w->RichEdit_sql->isReadOnly());
    EXPECT_EQ(w->RichEdit_sql->toPlainText(), QStringLiteral("kept"));
    EXPECT_EQ(w->windowTitle(), caption);
    AwaitLoad(w);

    const QString text = FileText(bytes);
    EXPECT_EQ(w->RichEdit_sql->toPlainText().toUtf8(), text.toUtf8());
    EXPECT_EQ(atOnce->RichEdit_sql->toPlainText().toUtf8(), text.toUtf8());
    EXPECT_EQ(Colours(*w->RichEdit_sql), Colours(*atOnce->RichEdit_sql));
    EXPECT_EQ(w->RichEdit_sql->document()->blockCount(), atOnce->RichEdit_sql->document()->blockCount());
    EXPECT_FALSE(w->RichEdit_sql->isReadOnly());
    EXPECT_EQ(w->StatusBar1->findChild<QProgressBar*>(), nullptr);
    EXPECT_FALSE(w->RichEdit_sql->document()->isModified());
    EXPECT_EQ(w->windowTitle(), CaptionFor(w, path));
    EXPECT_EQ(ItemText(w), w->windowTitle());
    EXPECT_EQ(w->LastText, SqlEditorText::Of(*w->RichEdit_sql->document()));
    EXPECT_EQ(w->History[SqlEditorHistory::HistorySize].Text, w->LastText);
    EXPECT_EQ(w->RichEdit_sql->lineWrapMode(), atOnce->RichEdit_sql->lineWrapMode());
    // Shown as the text put in at once is: the same scroll ranges and the caret at the same place
    // at the start and at the end.
    ASSERT_EQ(w->RichEdit_sql->viewport()->size(), atOnce->RichEdit_sql->viewport()->size());
    for (const QTextCursor::MoveOperation to : {QTextCursor::Start, QTextCursor::End}) {
        for (QPlainTextEdit* editor : {w->RichEdit_sql, atOnce->RichEdit_sql}) {
            QTextCursor caret = editor->textCursor();
            caret.movePosition(to);
            editor->setTextCursor(caret);
            editor->ensureCursorVisible();
            editor->viewport()->repaint();
        }
        EXPECT_EQ(w->RichEdit_sql->verticalScrollBar()->maximum(), atOnce->RichEdit_sql->verticalScrollBar()->maximum()) << to;
        EXPECT_EQ(w->RichEdit_sql->verticalScrollBar()->value(), atOnce->RichEdit_sql->verticalScrollBar()->value()) << to;
        EXPECT_EQ(w->RichEdit_sql->horizontalScrollBar()->maximum(), atOnce->RichEdit_sql->horizontalScrollBar()->maximum()) << to;
        EXPECT_EQ(w->RichEdit_sql->cursorRect(), atOnce->RichEdit_sql->cursorRect()) << to;
    }

    // The open is one step of the history, as an open at once is.
    EXPECT_EQ(w->UndoCount, atOnce->UndoCount);
    EXPECT_TRUE(frame->ToolButton_undosql->isEnabled());
    Activate(w);
    frame->ToolButton_undosql->trigger();
    EXPECT_EQ(w->RichEdit_sql->toPlainText(), QStringLiteral("kept"));
    EXPECT_TRUE(w->RichEdit_sql->document()->isModified());
    frame->ToolButton_redosql->trigger();
    // The big text comes back in slices as it came in.
    EXPECT_NE(SqlScriptLoader::Running(*w), nullptr);
    AwaitLoad(w);
    EXPECT_EQ(w->RichEdit_sql->toPlainText().toUtf8(), text.toUtf8());
    EXPECT_EQ(Colours(*w->RichEdit_sql), Colours(*atOnce->RichEdit_sql));
    EXPECT_TRUE(w->RichEdit_sql->document()->isModified());
    // Typing goes on colouring as before.
    QTextCursor end = w->RichEdit_sql->textCursor();
    end.movePosition(QTextCursor::End);
    w->RichEdit_sql->setTextCursor(end);
    Type(w, QStringLiteral(" from "));
    const int typed = static_cast<int>(text.size()) + 1;
    const int first = static_cast<int>(text.indexOf(QStringLiteral(" from ")) + 1);
    EXPECT_EQ(ColourAt(*w->RichEdit_sql, typed), ColourAt(*atOnce->RichEdit_sql, first));
    EXPECT_NE(ColourAt(*w->RichEdit_sql, typed), ColourAt(*w->RichEdit_sql, typed - 1));
    EXPECT_TRUE(prompter.Prompts.empty());
}

// A key in a big script is one snapshot as in any other; undoing and redoing it changes the text
// where it differs, with the colours of a text put in whole; the open itself comes back in slices.
TEST_F(BigScripts, UndoAndRedoInABigScriptPutBackTheHistorysTextsWithTheirColours)
{
    TFMain* reference = OpenSQLite();
    TFMain* w = OpenSQLite();
    ASSERT_TRUE(reference && w);
    const QString path = Path(QStringLiteral("big.sql"));
    WriteBytes(path, BigScript());
    w->RichEdit_sql->setPlainText(QStringLiteral("kept"));
    OpenInto(w, path, true);
    AwaitLoad(w);
    const QString opened = FileText(BigScript());
    ASSERT_EQ(w->RichEdit_sql->toPlainText(), opened);
    const auto undo = w->UndoCount, redo = w->RedoCount, cursor = w->HistoryCursor;

    // A key in the middle of a line half way down.
    QPlainTextEdit& editor = *w->RichEdit_sql;
    const int at = editor.document()->findBlockByNumber(editor.document()->blockCount() / 2).position() + 3;
    QTextCursor caret = editor.textCursor();
    caret.setPosition(at);
    editor.setTextCursor(caret);
    Type(w, QStringLiteral("x"));
    const QString typed = opened.left(at) + QLatin1Char('x') + opened.mid(at);
    EXPECT_EQ(editor.toPlainText(), typed);
    EXPECT_EQ(w->LastText, typed);
    EXPECT_EQ(w->History[SqlEditorHistory::HistorySize].Text, typed);
    EXPECT_EQ(w->History[SqlEditorHistory::HistorySize - 1].Text, opened);
    EXPECT_EQ(w->History[SqlEditorHistory::HistorySize - 2].Text, QStringLiteral("kept"));
    EXPECT_EQ(w->UndoCount, undo + 1);
    EXPECT_EQ(w->RedoCount, redo);
    EXPECT_EQ(w->HistoryCursor, cursor);

    // The same texts put in whole, for their colours.
    reference->RichEdit_sql->setPlainText(typed);
    const std::vector<QRgb> typedColours = Colours(*reference->RichEdit_sql);
    reference->RichEdit_sql->setPlainText(opened);
    const std::vector<QRgb> openedColours = Colours(*reference->RichEdit_sql);

    Activate(w);
    caret.setPosition(10);
    editor.setTextCursor(caret);
    frame->ToolButton_undosql->trigger();
    EXPECT_EQ(SqlScriptLoader::Running(*w), nullptr);
    EXPECT_EQ(editor.toPlainText(), QString(w->History[SqlEditorHistory::HistorySize - 1].Text.ToString()));
    EXPECT_EQ(editor.toPlainText(), opened);
    EXPECT_EQ(w->LastText, opened);
    EXPECT_EQ(Colours(editor), openedColours);
    EXPECT_EQ(editor.textCursor().position(), 10);
    EXPECT_FALSE(editor.textCursor().hasSelection());
    EXPECT_EQ(w->RestoringHistory, 0);
    EXPECT_EQ(w->HistoryCursor, cursor - 1);
    EXPECT_TRUE(editor.document()->isModified());
    EXPECT_TRUE(frame->ToolButton_redosql->isEnabled());
    // Nothing recorded.
    EXPECT_EQ(w->History[SqlEditorHistory::HistorySize].Text, typed);

    frame->ToolButton_redosql->trigger();
    EXPECT_EQ(SqlScriptLoader::Running(*w), nullptr);
    EXPECT_EQ(editor.toPlainText(), typed);
    EXPECT_EQ(Colours(editor), typedColours);
    EXPECT_EQ(w->HistoryCursor, cursor);

    // Back to the text before the open, then the open again, which comes in slices.
    frame->ToolButton_undosql->trigger();
    frame->ToolButton_undosql->trigger();
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("kept"));
    frame->ToolButton_redosql->trigger();
    ASSERT_NE(SqlScriptLoader::Running(*w), nullptr);
    EXPECT_TRUE(editor.isReadOnly());
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("kept"));
    AwaitLoad(w);
    EXPECT_EQ(editor.toPlainText(), opened);
    EXPECT_EQ(w->LastText, opened);
    EXPECT_EQ(Colours(editor), openedColours);
    EXPECT_EQ(w->RestoringHistory, 0);
    EXPECT_FALSE(editor.isReadOnly());
    EXPECT_TRUE(editor.document()->isModified());

    // Two redos, the second asked while the first still comes in: both steps count.
    frame->ToolButton_undosql->trigger();
    ASSERT_EQ(editor.toPlainText(), QStringLiteral("kept"));
    frame->ToolButton_redosql->trigger();
    ASSERT_NE(SqlScriptLoader::Running(*w), nullptr);
    frame->ToolButton_redosql->trigger();
    AwaitLoad(w);
    EXPECT_EQ(editor.toPlainText(), typed);
    EXPECT_EQ(Colours(editor), typedColours);
    EXPECT_EQ(w->HistoryCursor, cursor);
    EXPECT_EQ(w->RedoCount, redo);
    EXPECT_EQ(w->UndoCount, undo + 1);
    EXPECT_EQ(w->RestoringHistory, 0);
    // The next key records its snapshot again.
    Type(w, QStringLiteral("y"));
    EXPECT_EQ(w->History[SqlEditorHistory::HistorySize].Text, w->LastText);
    EXPECT_EQ(w->History[SqlEditorHistory::HistorySize - 1].Text, typed);
    EXPECT_TRUE(prompter.Prompts.empty());
}

// A script without long lines is not wrapped: when the window's width changes, its lines keep the
// layouts they have, and everything shown is as for the same script put in at once, laid out anew:
// the scroll ranges and places, the caret, a selection over lines and one of the whole line width.
TEST_F(BigScripts, AWidthChangeKeepsTheLinesOfABigScriptAndShowsItAsLaidOutAnew)
{
    TFMain* atOnce = OpenSQLite();
    TFMain* w = OpenSQLite();
    ASSERT_TRUE(atOnce && w);
    QByteArray bytes;
    for (int i = 0; i < 400; ++i) {
        bytes += "select a" + QByteArray::number(i) + " from t where b > " + QByteArray::number(i);
        // Lines wider than the window, of three widths.
        if (i % 50 == 7) bytes += " and " + QByteArray("c = 1 and ").repeated(20 + i / 10);
        bytes += "\r\n";
    }
    const QString path = Path(QStringLiteral("wide.sql"));
    WriteBytes(path, bytes);
    OpenInto(atOnce, path, false);
    OpenInto(w, path, true);
    AwaitLoad(w);
    QPlainTextEdit& editor = *w->RichEdit_sql;
    QPlainTextEdit& shown = *atOnce->RichEdit_sql;
    ASSERT_EQ(editor.toPlainText(), shown.toPlainText());
    ASSERT_EQ(editor.lineWrapMode(), QPlainTextEdit::NoWrap);
    const int wide = 207;
    auto caretTo = [](QPlainTextEdit& e, int position) {
        QTextCursor caret = e.textCursor();
        caret.setPosition(position);
        e.setTextCursor(caret);
        e.ensureCursorVisible();
        e.viewport()->repaint();
    };
    // The widest line seen once, then the start shown.
    for (QPlainTextEdit* e : {&editor, &shown}) {
        caretTo(*e, e->document()->findBlockByNumber(wide).position() + 700);
        caretTo(*e, 0);
    }
    // The caret blinks only in the active window: the pictures are compared without it.
    for (QPlainTextEdit* e : {&editor, &shown}) e->setCursorWidth(0);
    const QTextBlock widest = editor.document()->findBlockByNumber(wide);
    ASSERT_GT(widest.layout()->lineCount(), 0);
    QMdiSubWindow* subWindows[] = {frame->SubWindowOf(w), frame->SubWindowOf(atOnce)};
    const QSize size = subWindows[0]->size();
    for (const int width : {size.width() - 150, size.width() + 250, size.width() + 40, size.width() - 300}) {
        for (QMdiSubWindow* sub : subWindows) sub->resize(width, size.height());
        QApplication::processEvents();
        ASSERT_EQ(editor.viewport()->size(), shown.viewport()->size()) << width;
        EXPECT_GT(widest.layout()->lineCount(), 0) << width;
        auto same = [&](const char* what) {
            for (QPlainTextEdit* e : {&editor, &shown}) e->viewport()->repaint();
            QApplication::processEvents();
            for (QScrollBar* (QPlainTextEdit::*bar)() const : {&QPlainTextEdit::horizontalScrollBar, &QPlainTextEdit::verticalScrollBar}) {
                EXPECT_EQ((editor.*bar)()->maximum(), (shown.*bar)()->maximum()) << width << " " << what;
                EXPECT_EQ((editor.*bar)()->value(), (shown.*bar)()->value()) << width << " " << what;
                EXPECT_EQ((editor.*bar)()->pageStep(), (shown.*bar)()->pageStep()) << width << " " << what;
            }
            EXPECT_EQ(editor.cursorRect(), shown.cursorRect()) << width << " " << what;
            EXPECT_EQ(editor.viewport()->grab().toImage(), shown.viewport()->grab().toImage()) << width << " " << what;
        };
        same("after the resize");
        for (const int line : {0, 57, wide, 399}) {
            for (QPlainTextEdit* e : {&editor, &shown}) {
                caretTo(*e, e->document()->findBlockByNumber(line).position() + 3);
                // The caret's line marked over the whole width, and lines selected from there on.
                QTextEdit::ExtraSelection mark;
                mark.cursor = e->textCursor();
                mark.format.setBackground(QColor(0xE0, 0xF0, 0xFF));
                mark.format.setProperty(QTextFormat::FullWidthSelection, true);
                e->setExtraSelections({mark});
            }
            same("the caret's line marked");
            for (QPlainTextEdit* e : {&editor, &shown}) {
                QTextCursor selection = e->textCursor();
                selection.movePosition(QTextCursor::Down, QTextCursor::KeepAnchor, 9);
                selection.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
                e->setTextCursor(selection);
                e->ensureCursorVisible();
                e->setExtraSelections({});
            }
            same("lines selected");
        }
        for (QPlainTextEdit* e : {&editor, &shown}) caretTo(*e, 0);
        same("back at the start");
    }
    // The widest line made short: the scroll range follows as for the line laid out anew.
    for (QPlainTextEdit* e : {&editor, &shown}) {
        caretTo(*e, e->document()->findBlockByNumber(wide).position() + 60);
        QTextCursor rest = e->textCursor();
        rest.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        e->setTextCursor(rest);
        e->textCursor().removeSelectedText();
        e->viewport()->repaint();
    }
    QApplication::processEvents();
    EXPECT_EQ(editor.horizontalScrollBar()->maximum(), shown.horizontalScrollBar()->maximum());
    EXPECT_EQ(editor.toPlainText(), shown.toPlainText());
}

// An undo of a big open back to a small text shows the small one at once, in a document of its own
// set up as the editor's, shown and coloured as a text put in whole; the big document goes in
// slices afterwards while the editor takes keys, and the history is as for any undo.
TEST_F(BigScripts, AnUndoBackToASmallTextShowsItAtOnceAndTheBigDocumentGoesInSlicesAfterwards)
{
    TFMain* reference = OpenSQLite();
    TFMain* w = OpenSQLite();
    ASSERT_TRUE(reference && w);
    const QString path = Path(QStringLiteral("big.sql"));
    WriteBytes(path, BigScript());
    const QString kept = QStringLiteral("select a, b from t where a > 1\n  -- 注释 select\nupdate x set y = getdate();");
    w->RichEdit_sql->setPlainText(kept);
    OpenInto(w, path, true);
    AwaitLoad(w);
    const QString opened = FileText(BigScript());
    QPlainTextEdit& editor = *w->RichEdit_sql;
    ASSERT_EQ(editor.toPlainText(), opened);
    const QPointer<QTextDocument> big = editor.document();
    const int bigLines = big->blockCount();
    const auto undo = w->UndoCount, redo = w->RedoCount, cursor = w->HistoryCursor;
    // Scrolled to the end, with the caret then put near the start.
    QPlainTextEdit& shown = *reference->RichEdit_sql;
    shown.setPlainText(opened);
    for (QPlainTextEdit* e : {&editor, &shown}) {
        QTextCursor caret = e->textCursor();
        caret.movePosition(QTextCursor::End);
        e->setTextCursor(caret);
        e->ensureCursorVisible();
        caret.setPosition(10);
        e->setTextCursor(caret);
    }

    RetiredDocument::LinesAtATime = 100;
    Activate(w);
    frame->ToolButton_undosql->trigger();
    EXPECT_EQ(SqlScriptLoader::Running(*w), nullptr);
    EXPECT_EQ(editor.toPlainText(), kept);
    ASSERT_TRUE(big);
    EXPECT_NE(editor.document(), big.data());
    EXPECT_EQ(big->blockCount(), bigLines);
    EXPECT_EQ(editor.document()->parent(), &editor);
    EXPECT_EQ(w->LastText, kept);
    EXPECT_EQ(w->UndoCount, undo - 1);
    EXPECT_EQ(w->RedoCount, redo + 1);
    EXPECT_EQ(w->HistoryCursor, cursor - 1);
    EXPECT_EQ(w->RestoringHistory, 0);
    EXPECT_TRUE(editor.document()->isModified());
    EXPECT_TRUE(frame->ToolButton_redosql->isEnabled());
    EXPECT_EQ(editor.textCursor().position(), 10);

    // As the small text put into the editor's own document whole.
    shown.setPlainText(kept);
    QTextCursor caret = shown.textCursor();
    caret.setPosition(10);
    shown.setTextCursor(caret);
    shown.ensureCursorVisible();
    for (QPlainTextEdit* e : {&editor, &shown}) e->viewport()->repaint();
    const QTextDocument& mine = *editor.document();
    const QTextDocument& theirs = *shown.document();
    EXPECT_EQ(mine.defaultFont(), theirs.defaultFont());
    EXPECT_EQ(mine.defaultTextOption().wrapMode(), theirs.defaultTextOption().wrapMode());
    EXPECT_EQ(mine.defaultTextOption().tabStopDistance(), theirs.defaultTextOption().tabStopDistance());
    EXPECT_EQ(mine.documentMargin(), theirs.documentMargin());
    EXPECT_FALSE(mine.isUndoRedoEnabled());
    EXPECT_EQ(editor.cursorWidth(), shown.cursorWidth());
    EXPECT_EQ(editor.lineWrapMode(), shown.lineWrapMode());
    EXPECT_EQ(Colours(editor), Colours(shown));
    EXPECT_EQ(editor.verticalScrollBar()->maximum(), shown.verticalScrollBar()->maximum());
    EXPECT_EQ(editor.verticalScrollBar()->value(), shown.verticalScrollBar()->value());
    EXPECT_EQ(editor.horizontalScrollBar()->maximum(), shown.horizontalScrollBar()->maximum());
    EXPECT_EQ(editor.cursorRect(), shown.cursorRect());

    // A key meanwhile goes into the text shown and is one more snapshot.
    Type(w, QStringLiteral("x"));
    const QString typed = kept.left(10) + QLatin1Char('x') + kept.mid(10);
    EXPECT_EQ(editor.toPlainText(), typed);
    EXPECT_EQ(w->History[SqlEditorHistory::HistorySize].Text, typed);
    QElapsedTimer t;
    t.start();
    while (big && t.elapsed() < 60000) QApplication::processEvents();
    EXPECT_FALSE(big);
    RetiredDocument::LinesAtATime = 2048;
    EXPECT_EQ(editor.toPlainText(), typed);
    EXPECT_EQ(w->LastText, typed);

    // The key undone, then the open again, which comes in slices.
    frame->ToolButton_undosql->trigger();
    EXPECT_EQ(editor.toPlainText(), kept);
    frame->ToolButton_redosql->trigger();
    EXPECT_NE(SqlScriptLoader::Running(*w), nullptr);
    AwaitLoad(w);
    EXPECT_EQ(editor.toPlainText().toUtf8(), opened.toUtf8());
    EXPECT_TRUE(prompter.Prompts.empty());
}

// Esc while a redo puts a big text back in slices: the editor and the history stay as they were
// before the redo, and the redo is offered again.
TEST_F(BigScripts, EscGivesABigRedoUpAndLeavesTheEditorAndTheHistoryAsTheyWere)
{
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    const QString path = Path(QStringLiteral("big.sql"));
    WriteBytes(path, BigScript());
    w->RichEdit_sql->setPlainText(QStringLiteral("select kept"));
    OpenInto(w, path, true);
    AwaitLoad(w);
    Activate(w);
    frame->ToolButton_undosql->trigger();
    ASSERT_EQ(w->RichEdit_sql->toPlainText(), QStringLiteral("select kept"));
    const QTextDocument* document = w->RichEdit_sql->document();
    const std::vector<QRgb> colours = Colours(*w->RichEdit_sql);
    const auto undo = w->UndoCount, redo = w->RedoCount, cursor = w->HistoryCursor;
    const bool undoOn = frame->ToolButton_undosql->isEnabled();

    frame->ToolButton_redosql->trigger();
    ASSERT_NE(SqlScriptLoader::Running(*w), nullptr);
    EXPECT_NE(w->StatusBar1->findChild<QProgressBar*>(), nullptr);
    QApplication::processEvents();
    GiveUpLeavingAsItWas(w, document, colours);
    EXPECT_EQ(w->UndoCount, undo);
    EXPECT_EQ(w->RedoCount, redo);
    EXPECT_EQ(w->HistoryCursor, cursor);
    EXPECT_EQ(w->RestoringHistory, 0);
    EXPECT_EQ(w->LastText, QStringLiteral("select kept"));
    EXPECT_EQ(frame->ToolButton_undosql->isEnabled(), undoOn);
    EXPECT_TRUE(frame->ToolButton_redosql->isEnabled());
    EXPECT_TRUE(w->ToolButton_redosql->isEnabled());

    // Asked again, the redo goes through whole.
    frame->ToolButton_redosql->trigger();
    AwaitLoad(w);
    EXPECT_EQ(w->RichEdit_sql->toPlainText().toUtf8(), FileText(BigScript()).toUtf8());
    EXPECT_EQ(w->RedoCount, redo - 1);
    EXPECT_EQ(w->HistoryCursor, cursor + 1);
}

TEST_F(BigScripts, EscGivesTheOpenUpAndLeavesTheEditorAsItWas)
{
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    const QString path = Path(QStringLiteral("big.sql"));
    WriteBytes(path, BigScript());
    w->RichEdit_sql->setPlainText(QStringLiteral("select kept"));
    w->RichEdit_sql->document()->setModified(true);
    const QTextDocument* document = w->RichEdit_sql->document();
    const std::vector<QRgb> colours = Colours(*w->RichEdit_sql);
    const QString caption = w->windowTitle();
    const auto undo = w->UndoCount;

    OpenInto(w, path, true);
    ASSERT_NE(SqlScriptLoader::Running(*w), nullptr);
    GiveUpLeavingAsItWas(w, document, colours);
    EXPECT_TRUE(w->RichEdit_sql->document()->isModified());
    EXPECT_EQ(w->windowTitle(), caption);
    EXPECT_EQ(w->UndoCount, undo);
    EXPECT_EQ(w->LastText, QStringLiteral("select kept"));

    // A later open of the same file goes through whole.
    OpenInto(w, path, true);
    AwaitLoad(w);
    EXPECT_EQ(w->RichEdit_sql->toPlainText().toUtf8(), FileText(BigScript()).toUtf8());
    EXPECT_EQ(w->windowTitle(), CaptionFor(w, path));
}

// While a big script is still coming in, a change of the editor's text would be lost when the
// script takes its place: undo, redo, replace, a tree node's drop or generated statement and Enter
// change nothing, the commands say why, and the text and its history are the user's as before.
TEST_F(BigScripts, AnEditDuringASlicedOpenIsRefusedAndTheTextAndItsHistoryStay)
{
    CreateFixtureSchema(BrowserDrivers[0]);
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    QTreeWidgetItem* dated = Child(BrowserFrameTest::Path(Root(), {"用户表"}), "dated");
    ASSERT_NE(dated, nullptr);
    const QString path = Path(QStringLiteral("big.sql"));
    WriteBytes(path, BigScript());
    w->RichEdit_sql->setPlainText(QStringLiteral("select one from dated"));
    w->RichEdit_sql->setPlainText(QStringLiteral("select kept from dated"));
    Activate(w);
    frame->ToolButton_undosql->trigger();
    ASSERT_EQ(w->RichEdit_sql->toPlainText(), QStringLiteral("select one from dated"));
    const auto undo = w->UndoCount, redo = w->RedoCount;
    const QString last = w->LastText.ToString();

    OpenInto(w, path, true);
    struct Case {
        const char* What;
        std::function<void()> Do;
        bool Said;
    };
    const Case cases[] = {
        {"undo", [&] { frame->ToolButton_undosql->trigger(); }, true},
        {"redo", [&] { frame->ToolButton_redosql->trigger(); }, true},
        {"replace all",
         [&] {
             w->ReplaceDialog1->SetFindText(QStringLiteral("select"));
             w->ReplaceDialog1->SetReplaceText(QStringLiteral("SELECT"));
             w->ReplaceDialog1->SetOptions(0);
             w->ReplaceDialog1->ReplaceAllButton->click();
         },
         true},
        {"a generated statement",
         [&] {
             Tree().setCurrentItem(dated);
             frame->n_generate_SELECT_sql->trigger();
         },
         true},
        {"a dropped node",
         [&] {
             Tree().setCurrentItem(dated);
             w->DropLine = 0;
             w->DropColumn = 1;
             frame->TreeView_dbObjectEndDrag(w->RichEdit_sql->viewport());
         },
         false},
        {"Enter",
         [&] {
             QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
             QApplication::sendEvent(w->RichEdit_sql, &enter);
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        ASSERT_NE(SqlScriptLoader::Running(*w), nullptr);
        EXPECT_TRUE(frame->ToolButton_undosql->isEnabled() && frame->ToolButton_redosql->isEnabled());
        prompter.Prompts.clear();
        c.Do();
        EXPECT_EQ(w->RichEdit_sql->toPlainText(), QStringLiteral("select one from dated"));
        if (c.Said) {
            ASSERT_EQ(prompter.Prompts.size(), 1u);
            EXPECT_EQ(prompter.Prompts[0].Text, SqlScriptLoader::EditRefusedText);
            EXPECT_EQ(prompter.Prompts[0].Caption, w->windowTitle());
        } else {
            EXPECT_TRUE(prompter.Prompts.empty());
        }
        EXPECT_EQ(w->UndoCount, undo);
        EXPECT_EQ(w->RedoCount, redo);
        EXPECT_EQ(w->LastText.ToString(), last);
    }
    ASSERT_NE(SqlScriptLoader::Running(*w), nullptr) << "the open goes on";
    prompter.Prompts.clear();
    AwaitLoad(w);
    EXPECT_EQ(w->RichEdit_sql->toPlainText().toUtf8(), FileText(BigScript()).toUtf8());
    // The step before the open is the user's text as it was.
    frame->ToolButton_undosql->trigger();
    EXPECT_EQ(w->RichEdit_sql->toPlainText(), QStringLiteral("select one from dated"));
    EXPECT_TRUE(prompter.Prompts.empty());
}

TEST_F(BigScripts, ALineTooLongForOneScreenLineIsShownWrappedWithItsTextUnchanged)
{
    TFMain* w = OpenSQLite();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->RichEdit_sql->lineWrapMode(), QPlainTextEdit::NoWrap);
    QByteArray line = "insert into t values ";
    for (int i = 0; line.size() < 300000; ++i) line += "(" + QByteArray::number(i) + ", 'x'), ";
    // The long line among others, and a script of that one line alone, with a line end or none.
    const QByteArray scripts[] = {"select 1;\r\n" + line + "\r\nselect 2;", line, line + "\r\n"};
    // At once; in slices; in slices with the window made narrower while the script comes in.
    for (const QByteArray& bytes : scripts)
        for (const int way : {0, 1, 2}) {
            const bool alone = bytes.startsWith(line), sliced = way > 0;
            SCOPED_TRACE(alone ? "one line" : "three lines");
            const QString path = Path(QStringLiteral("long%1%2%3.sql").arg(alone).arg(bytes.size()).arg(way));
            WriteBytes(path, bytes);
            OpenInto(w, path, sliced);
            if (way == 2)
                frame->SubWindowOf(w)->resize(frame->SubWindowOf(w)->width() - 60, frame->SubWindowOf(w)->height());
            AwaitLoad(w);
            QPlainTextEdit& editor = *w->RichEdit_sql;
            EXPECT_EQ(editor.toPlainText().toUtf8(), FileText(bytes).toUtf8()) << sliced;
            EXPECT_EQ(editor.lineWrapMode(), QPlainTextEdit::WidgetWidth) << sliced;
            EXPECT_EQ(editor.wordWrapMode(), QTextOption::WrapAnywhere) << sliced;
            EXPECT_EQ(editor.document()->blockCount(), alone ? 1 : 3) << sliced;
            // Its screen lines count in the scroll range.
            EXPECT_GT(editor.verticalScrollBar()->maximum(), 100) << sliced;
            // The long line keeps its glyphs; none of its screen lines is wider than the editor.
            const QTextBlock block = editor.document()->findBlockByNumber(alone ? 0 : 1);
            QTextCursor onLong = editor.textCursor();
            onLong.setPosition(block.position() + 150000);
            editor.setTextCursor(onLong);
            editor.ensureCursorVisible();
            editor.viewport()->repaint();
            EXPECT_TRUE(block.layout()->cacheEnabled()) << sliced;
            ASSERT_GT(block.layout()->lineCount(), 1) << sliced;
            for (int i = 0; i < block.layout()->lineCount(); ++i)
                ASSERT_LE(block.layout()->lineAt(i).naturalTextWidth(), editor.viewport()->width())
                    << sliced << " line " << i;
            EXPECT_FALSE(editor.document()->isModified()) << sliced;
            // It shows as a layout of the whole text afresh shows it.
            const auto shown = ScreenLines(block);
            const int range = editor.verticalScrollBar()->maximum(), top = editor.verticalScrollBar()->value();
            const QRect caret = editor.cursorRect();
            editor.document()->markContentsDirty(0, editor.document()->characterCount());
            editor.viewport()->repaint();
            QApplication::processEvents();
            EXPECT_EQ(ScreenLines(block), shown) << way;
            EXPECT_EQ(editor.verticalScrollBar()->maximum(), range) << way;
            EXPECT_EQ(editor.verticalScrollBar()->value(), top) << way;
            EXPECT_EQ(editor.cursorRect(), caret) << way;
        }
    // The three-line script again, for the typing below.
    OpenInto(w, Path(QStringLiteral("long%1%2%3.sql").arg(0).arg(scripts[0].size()).arg(1)), true);
    AwaitLoad(w);
    // Typing at the long line's end colours as anywhere else, and the line stays wrapped.
    {
        QPlainTextEdit& editor = *w->RichEdit_sql;
        const QTextBlock block = editor.document()->findBlockByNumber(1);
        const int end = block.position() + block.length() - 1;
        QTextCursor at = editor.textCursor();
        at.setPosition(end);
        editor.setTextCursor(at);
        Type(w, QStringLiteral(" insert "));
        EXPECT_EQ(ColourAt(editor, end + 1), ColourAt(editor, block.position()));
        EXPECT_NE(ColourAt(editor, end + 1), ColourAt(editor, end));
        EXPECT_EQ(editor.document()->findBlockByNumber(1).text(), QString::fromUtf8(line) + QStringLiteral(" insert "));
        EXPECT_EQ(editor.lineWrapMode(), QPlainTextEdit::WidgetWidth);
    }
    // A paste and a key in the middle of the long line, in view: the line shows what it now holds
    // as a layout of the whole text afresh shows it.
    {
        QPlainTextEdit& editor = *w->RichEdit_sql;
        const QTextBlock block = editor.document()->findBlockByNumber(1);
        QTextCursor at = editor.textCursor();
        at.setPosition(block.position() + 150000);
        editor.setTextCursor(at);
        editor.ensureCursorVisible();
        editor.viewport()->repaint();
        const int linesBefore = block.layout()->lineCount();
        editor.insertPlainText(QString(400, QLatin1Char('y')));
        Type(w, QStringLiteral("z"));
        editor.viewport()->repaint();
        QApplication::processEvents();
        const auto shown = ScreenLines(block);
        const int range = editor.verticalScrollBar()->maximum(), top = editor.verticalScrollBar()->value();
        const QRect caret = editor.cursorRect();
        EXPECT_GT(static_cast<int>(shown.size()), linesBefore);
        EXPECT_EQ(editor.textCursor().position(), block.position() + 150401);
        EXPECT_TRUE(editor.viewport()->rect().contains(caret));
        editor.document()->markContentsDirty(0, editor.document()->characterCount());
        editor.viewport()->repaint();
        QApplication::processEvents();
        EXPECT_EQ(ScreenLines(block), shown);
        EXPECT_EQ(editor.verticalScrollBar()->maximum(), range);
        EXPECT_EQ(editor.verticalScrollBar()->value(), top);
        EXPECT_EQ(editor.cursorRect(), caret);
    }
    // A change of a long line out of view, in one edit as the window's undo and redo make them:
    // once the event loop has turned, the line's screen lines count in the scroll range.
    {
        QPlainTextEdit& editor = *w->RichEdit_sql;
        QString text;
        for (int i = 0; i < 300; ++i) text += QStringLiteral("select %1;\n").arg(i);
        editor.setPlainText(text + QString::fromUtf8(line));
        QTextCursor top = editor.textCursor();
        top.setPosition(0);
        editor.setTextCursor(top);
        editor.verticalScrollBar()->setValue(0);
        editor.viewport()->repaint();
        QApplication::processEvents();
        const QTextBlock block = editor.document()->lastBlock();
        ASSERT_TRUE(LongLineDisplay::IsLong(block));
        const int linesBefore = block.layout()->lineCount();
        QTextCursor change(editor.document());
        change.beginEditBlock();
        change.setPosition(block.position() + 150000);
        change.insertText(QString(3000, QLatin1Char('w')));
        change.endEditBlock();
        QApplication::processEvents();
        EXPECT_GT(block.layout()->lineCount(), linesBefore);
        EXPECT_EQ(block.lineCount(), block.layout()->lineCount());
        EXPECT_EQ(editor.verticalScrollBar()->value(), 0);
    }
    // Without a long line the editor shows every line on one screen line again.
    Activate(w);
    w->RichEdit_sql->setPlainText(QStringLiteral("select 1;"));
    QApplication::processEvents();
    EXPECT_EQ(w->RichEdit_sql->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(w->RichEdit_sql->wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
}

} // namespace
