#include "EditorBookkeeping.h"
#include "FindReplaceDialog.h"
#include "SqlEditorCommands.h"
#include "SqlEditorDrop.h"
#include "SqlEditorText.h"
#include "ScriptedFontChooser.h"
#include "SqlEditorTestSupport.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTreeView>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

class EditorEditing : public SqlEditorTest {
protected:
    void SetUp() override
    {
        SqlEditorTest::SetUp();
        frame.Window = &w;
        w.DbmsKind = 2;
        w.resize(700, 500);
        w.show();
        Settle();
    }
    QPlainTextEdit* Editor() { return w.RichEdit_sql; }
    bool Enabled(const char* name) { return w.Command(QString::fromLatin1(name))->isEnabled(); }
    bool FrameEnabled(const char* name) { return frame.FrameCommand(QString::fromLatin1(name))->isEnabled(); }

    RecordingFrame frame;
    TFMain w{&frame};
};

TEST_F(EditorEditing, EditsUndoAndRedoWithTheirCommandStates)
{
    Type(Editor(), u"abc"_s);
    EXPECT_EQ(w.UndoCount, 3);
    EXPECT_EQ(w.History[64].Text, u"abc"_s);
    EXPECT_EQ(w.History[62].Text, u"a"_s);
    EXPECT_TRUE(Enabled("ToolButton_undosql"));
    EXPECT_TRUE(Enabled("N_undo"));
    EXPECT_TRUE(FrameEnabled("ToolButton_undosql"));
    EXPECT_TRUE(FrameEnabled("mainmenu_eidt_undo"));
    EXPECT_FALSE(FrameEnabled("ToolButton_redosql"));

    w.ToolButton_undosqlClick();
    EXPECT_EQ(Text(Editor()), u"ab"_s);
    // The caret goes back to where it stood, inside the shorter text.
    EXPECT_EQ(Caret(Editor()), 2);
    EXPECT_EQ(w.UndoCount, 2);
    EXPECT_EQ(w.RedoCount, 1);
    EXPECT_EQ(w.HistoryCursor, 63);
    EXPECT_EQ(w.RestoringHistory, 0);
    EXPECT_TRUE(Enabled("ToolButton_redosql"));
    EXPECT_TRUE(Enabled("N_redo"));
    EXPECT_TRUE(FrameEnabled("mainmenu_eidt_redo"));
    // Putting a text back keeps the save prompt's mark.
    EXPECT_TRUE(Editor()->document()->isModified());

    MoveCaret(Editor(), 1);
    w.ToolButton_redosqlClick();
    EXPECT_EQ(Text(Editor()), u"abc"_s);
    EXPECT_EQ(Caret(Editor()), 1);
    EXPECT_EQ(w.RedoCount, 0);
    EXPECT_FALSE(Enabled("ToolButton_redosql"));
    EXPECT_FALSE(FrameEnabled("ToolButton_redosql"));
    // The restore recorded nothing.
    EXPECT_EQ(w.History[64].Text, u"abc"_s);
    EXPECT_EQ(w.History[63].Text, u"ab"_s);
}

// Every change of the editor's characters, whatever makes it, is one snapshot of the whole text;
// a change of formats only is none; undo and redo record nothing and put back the whole text.
TEST_F(EditorEditing, EveryKindOfChangeIsRecordedAsTheEditorsWholeText)
{
    QPlainTextEdit* e = Editor();
    auto selectAndType = [e](int from, int to, const QString& text) {
        MoveCaret(e, to, from);
        Type(e, text);
    };
    struct Case {
        const char* what;
        std::function<void()> change;
        // Snapshots the change records; -1: it is an undo or redo.
        int snapshots;
    };
    const Case cases[] = {
        {"typing", [&] { Type(e, u"select a from t"_s); }, 15},
        {"Enter on an indented line", [&] { Type(e, u"\n  where b = 1\n"_s); }, 16},
        {"typing over a selection", [&] { selectAndType(7, 8, u"xyz"_s); }, 3},
        {"Backspace joining two lines",
         [&] {
             MoveCaret(e, static_cast<int>(Text(e).indexOf(u"where"_s)) - 2);
             Key(e, Qt::Key_Backspace);
         },
         1},
        {"Delete at a line's end",
         [&] {
             MoveCaret(e, static_cast<int>(Text(e).indexOf(u'\n')));
             Key(e, Qt::Key_Delete);
         },
         1},
        {"paste of lines",
         [&] {
             QGuiApplication::clipboard()->setText(u"one\ntwo\r\nthree"_s);
             MoveCaret(e, 3);
             Key(e, Qt::Key_V, Qt::ControlModifier);
         },
         1},
        {"cut", [&] {
             MoveCaret(e, 9, 2);
             w.ToolButton_cutClick();
         }, 1},
        {"no-break space, line separator and a character beyond the basic plane",
         [&] {
             MoveCaret(e, 4);
             e->insertPlainText(u"a\u00a0b\u2028c\U0001F600d"_s);
         },
         1},
        {"the whole text replaced", [&] { e->setPlainText(u"select 1;\nselect 2;"_s); }, 1},
        {"formats only",
         [&] {
             QTextCursor all(e->document());
             all.select(QTextCursor::Document);
             QTextCharFormat bold;
             bold.setFontWeight(QFont::Bold);
             all.mergeCharFormat(bold);
         },
         0},
        {"removing everything", [&] { selectAndType(0, static_cast<int>(Text(e).size()), u"z"_s); }, 1},
        {"undo", [&] { w.ToolButton_undosqlClick(); }, -1},
        {"undo again", [&] { w.ToolButton_undosqlClick(); }, -1},
        {"redo", [&] { w.ToolButton_redosqlClick(); }, -1},
        {"typing after undo and redo", [&] { Type(e, u"q"_s); }, 1},
    };
    for (const Case& c : cases) {
        const SnapshotText before = w.LastText;
        std::vector<QString> history;
        for (const RecRedoUndo& r : w.History) history.push_back(r.Text.ToString());
        const auto undo = w.UndoCount;
        c.change();
        const QString now = SqlEditorText::Of(*e->document());
        EXPECT_EQ(w.LastText.ToString(), now) << c.what;
        EXPECT_EQ(w.RestoringHistory, 0) << c.what;
        if (c.snapshots < 0) {
            for (std::size_t i = 1; i < history.size(); ++i) EXPECT_EQ(w.History[i].Text.ToString(), history[i]) << c.what << " " << i;
            continue;
        }
        EXPECT_EQ(w.UndoCount, std::min(undo + c.snapshots, 64)) << c.what;
        if (c.snapshots == 0) {
            EXPECT_EQ(w.LastText, before) << c.what;
            EXPECT_EQ(w.History[64].Text.ToString(), history[64]) << c.what;
            continue;
        }
        EXPECT_EQ(w.History[64].Text.ToString(), now) << c.what;
        // The snapshot before the change's last step is the text the change started from or one of its steps.
        EXPECT_EQ(w.History[static_cast<std::size_t>(64 - c.snapshots)].Text.ToString(), history[64]) << c.what;
    }
    // An undo shows the snapshot at the cursor.
    w.ToolButton_undosqlClick();
    EXPECT_EQ(SqlEditorText::Of(*e->document()), w.History[static_cast<std::size_t>(w.HistoryCursor)].Text.ToString());
}

TEST_F(EditorEditing, SeventyEditsOfferSixtyFourUndos)
{
    for (int i = 0; i < 70; ++i) Type(Editor(), u"x"_s);
    EXPECT_EQ(w.UndoCount, 64);
    for (int i = 1; i <= 63; ++i) w.ToolButton_undosqlClick();
    EXPECT_EQ(Text(Editor()), QString(7, u'x'));
    EXPECT_TRUE(Enabled("ToolButton_undosql"));
    w.ToolButton_undosqlClick();
    EXPECT_EQ(Text(Editor()), QString(7, u'x'));
    EXPECT_FALSE(Enabled("ToolButton_undosql"));
    EXPECT_FALSE(Enabled("N_undo"));
}

TEST_F(EditorEditing, AnUndoThatShowsTheSameTextAgainStillLetsTheNextEditRecord)
{
    Type(Editor(), u"a"_s);
    w.ToolButton_undosqlClick();
    ASSERT_EQ(Text(Editor()), QString());
    // Below the cursor lies the same empty text: nothing changes on screen.
    w.ToolButton_undosqlClick();
    EXPECT_EQ(Text(Editor()), QString());
    EXPECT_EQ(w.RestoringHistory, 0);
    Type(Editor(), u"b"_s);
    EXPECT_EQ(w.History[64].Text, u"b"_s);
    EXPECT_EQ(w.LastText, u"b"_s);
}

TEST_F(EditorEditing, UndoAfterAnEditShowsTheSnapshotBelowTheStandingCursor)
{
    Type(Editor(), u"abc"_s);
    w.ToolButton_undosqlClick();
    ASSERT_EQ(Text(Editor()), u"ab"_s);
    Type(Editor(), u"z"_s);
    EXPECT_EQ(Text(Editor()), u"abz"_s);
    w.ToolButton_undosqlClick();
    // The edit shifted the history under the cursor (63 → 62): "ab" moved from 63 to 62.
    EXPECT_EQ(Text(Editor()), u"ab"_s);
    EXPECT_EQ(w.HistoryCursor, 62);
}

TEST_F(EditorEditing, PasteKeysAndCommandsWithUndo)
{
    Type(Editor(), u"abc"_s);
    QGuiApplication::clipboard()->setText(u"select 1\n"_s);
    MoveCaret(Editor(), 1);
    Key(Editor(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text(Editor()), u"aselect 1\nbc"_s);
    EXPECT_EQ(w.UndoCount, 4);
    EXPECT_EQ(w.PastePending, 0);
    w.ToolButton_undosqlClick();
    EXPECT_EQ(Text(Editor()), u"abc"_s);
    EXPECT_EQ(Caret(Editor()), 3);

    // Ctrl+V over the same text records a snapshot all the same.
    QGuiApplication::clipboard()->setText(u"abc"_s);
    Editor()->selectAll();
    const int before = w.UndoCount;
    Key(Editor(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text(Editor()), u"abc"_s);
    EXPECT_EQ(w.UndoCount, before + 1);
    EXPECT_EQ(CaretLine, 1);

    // The paste command with no text on the clipboard does nothing; the copy and cut commands work
    // on the selection.
    QGuiApplication::clipboard()->setMimeData(new QMimeData);
    w.ToolButton_pasteClick();
    EXPECT_EQ(Text(Editor()), u"abc"_s);
    MoveCaret(Editor(), 2, 0);
    w.ToolButton_copyClick();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), u"ab"_s);
    w.ToolButton_cutClick();
    EXPECT_EQ(Text(Editor()), u"c"_s);
    MoveCaret(Editor(), 1);
    w.ToolButton_pasteClick();
    EXPECT_EQ(Text(Editor()), u"cab"_s);
    EXPECT_EQ(w.PastePending, 0);
}

TEST_F(EditorEditing, PasteKeyStaysPendingUntilTheNextKey)
{
    QGuiApplication::clipboard()->setMimeData(new QMimeData);
    Key(Editor(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(w.PastePending, 1);
    Key(Editor(), Qt::Key_F5);
    EXPECT_EQ(w.PastePending, 1);
    Key(Editor(), Qt::Key_Left);
    EXPECT_EQ(w.PastePending, 0);
    Key(Editor(), Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w.PastePending, 0);
}

TEST_F(EditorEditing, CutAndCopyFollowTheSelection)
{
    Type(Editor(), u"abc"_s);
    EXPECT_FALSE(Enabled("ToolButton_cut"));
    MoveCaret(Editor(), 2, 1);
    EXPECT_TRUE(Enabled("ToolButton_cut"));
    EXPECT_TRUE(Enabled("ToolButton_copy"));
    EXPECT_TRUE(FrameEnabled("ToolButton_cut"));
    EXPECT_TRUE(FrameEnabled("mainmenu_eidt_copy"));
    MoveCaret(Editor(), 2);
    EXPECT_FALSE(Enabled("ToolButton_copy"));
    EXPECT_FALSE(FrameEnabled("ToolButton_copy"));
}

TEST_F(EditorEditing, FindAndReplaceAreOfferedForAnyText)
{
    const char* names[] = {"ToolButton_find", "mainmenu_eidt_search", "ToolButton_replace", "mainmenu_eidt_replace"};
    Type(Editor(), u"a"_s);
    for (const char* n : names) EXPECT_TRUE(Enabled(n) && FrameEnabled(n)) << n;
    Key(Editor(), Qt::Key_Backspace);
    for (const char* n : names) EXPECT_FALSE(Enabled(n) || FrameEnabled(n)) << n;
}

struct EnterCase {
    const char* what;
    QString text;
    int caret;
    QString expected;
    int caretAfter;
    int snapshots;
};

TEST_F(EditorEditing, EnterIndentsLikeTheCaretsLine)
{
    const EnterCase cases[] = {
        {"four blanks", u"    SELECT"_s, 10, u"    SELECT\n    "_s, 15, 2},
        {"a tab", u"\tSELECT"_s, 7, u"\tSELECT\n"_s, 8, 1},
        {"caret inside the blanks", u"    x"_s, 2, u"  \n      x"_s, 7, 2},
        {"no blanks", u"x"_s, 1, u"x\n"_s, 2, 1},
    };
    for (const EnterCase& c : cases) {
        Editor()->setPlainText(c.text);
        MoveCaret(Editor(), c.caret);
        const int before = w.UndoCount;
        Key(Editor(), Qt::Key_Return, Qt::NoModifier, u"\r"_s);
        EXPECT_EQ(Text(Editor()), c.expected) << c.what;
        EXPECT_EQ(w.UndoCount - before, c.snapshots) << c.what;
        EXPECT_EQ(Caret(Editor()), c.caretAfter) << c.what;
    }
    // Shift+Enter breaks the line the same way (no line separator inside the line).
    Editor()->setPlainText(u"  a"_s);
    MoveCaret(Editor(), 3);
    Key(Editor(), Qt::Key_Return, Qt::ShiftModifier, u"\r"_s);
    EXPECT_EQ(Text(Editor()), u"  a\n  "_s);
    EXPECT_EQ(Editor()->document()->blockCount(), 2);
}

TEST_F(EditorEditing, KeysTheWindowHandlesItself)
{
    Type(Editor(), u"abc"_s);
    for (Qt::KeyboardModifiers m : {Qt::KeyboardModifiers(Qt::NoModifier), Qt::KeyboardModifiers(Qt::ShiftModifier),
                                    Qt::KeyboardModifiers(Qt::ControlModifier)})
        Key(Editor(), Qt::Key_F5, m);
    EXPECT_EQ(frame.Calls, (QStringList{u"run"_s, u"run"_s, u"run"_s}));
    EXPECT_EQ(Text(Editor()), u"abc"_s);

    Key(Editor(), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_FALSE(Editor()->textCursor().hasSelection());
    Key(Editor(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Editor()->textCursor().selectedText(), u"abc"_s);

    Key(Editor(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(Text(Editor()), u"abc"_s);

    MoveCaret(Editor(), 2, 1);
    Key(Editor(), Qt::Key_F, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(w.FindDialog_sql->isVisible());
    Key(Editor(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(w.FindDialog_sql->isVisible());
    EXPECT_EQ(w.FindDialog_sql->FindText(), u"b"_s);
    EXPECT_EQ(w.FindDialog_sql->pos(), QPoint(w.width() / 2 - 100, Editor()->mapTo(&w, QPoint(0, 0)).y() + 100));
    w.FindDialog_sql->hide();
    // Without a selection the dialog keeps its find text.
    MoveCaret(Editor(), 0);
    Key(Editor(), Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(w.FindDialog_sql->FindText(), u"b"_s);
    w.FindDialog_sql->hide();
}

TEST_F(EditorEditing, PopupMenuFollowsTheFramesButtonsAndCallsItsHandlers)
{
    Type(Editor(), u"abc"_s);
    frame.FrameCommand(u"ToolButton_run"_s)->setEnabled(false);
    frame.FrameCommand(u"ToolButton_stop"_s)->setEnabled(true);
    frame.FrameCommand(u"ToolButton_undosql"_s)->setEnabled(true);
    frame.FrameCommand(u"ToolButton_paste"_s)->setEnabled(false);
    // The left button opens nothing.
    const QPoint at = Editor()->viewport()->rect().center();
    QMouseEvent left(QEvent::MouseButtonPress, at, Editor()->viewport()->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(Editor()->viewport(), &left);
    EXPECT_FALSE(w.PopupMenu_richeditsql->isVisible());

    QMouseEvent right(QEvent::MouseButtonPress, at, Editor()->viewport()->mapToGlobal(at), Qt::RightButton, Qt::RightButton, {});
    QApplication::sendEvent(Editor()->viewport(), &right);
    QMenu* menu = w.PopupMenu_richeditsql;
    ASSERT_TRUE(menu->isVisible());
    auto item = [menu](const char* name) { return menu->findChild<QAction*>(QString::fromLatin1(name)); };
    const std::pair<const char*, bool> states[] = {
        {"N_richeditsql_run", false},   {"N_richeditsql_cancel", true},    {"N_richeditsql_undo", true},
        {"N_richeditsql_redo", false},  {"N_richeditsql_paste", false},    {"N_richeditsql_selectall", true},
        {"N_richeditsql_font", true},   {"N_richeditsql_showGrid", true},
    };
    for (auto [name, on] : states) {
        ASSERT_NE(item(name), nullptr) << name;
        EXPECT_EQ(item(name)->isEnabled(), on) << name;
    }
    const std::pair<const char*, const char*> captions[] = {
        {"N_richeditsql_undo", "撤消(&U)"},     {"N_richeditsql_redo", "恢复(&R)"},     {"N_richeditsql_cut", "剪切(&T)"},
        {"N_richeditsql_copy", "复制(&C)"},     {"N_richeditsql_paste", "粘贴(&P)"},    {"N_richeditsql_selectall", "全选(&S)"},
        {"N_richeditsql_run", "执行查询(&R)\tF5"}, {"N_richeditsql_cancel", "取消执行查询"}, {"N_richeditsql_showGrid", "以表格显示结果"},
        {"N_richeditsql_showText", "文本显示结果"}, {"N_richeditsql_savefile", "保存结果到文件"}, {"N_richeditsql_font", "字体(&F)"},
    };
    for (auto [name, caption] : captions) EXPECT_EQ(item(name)->text(), QString::fromUtf8(caption)) << name;
    menu->hide();

    item("N_richeditsql_cancel")->trigger();
    item("N_richeditsql_showText")->trigger();
    item("N_richeditsql_undo")->trigger();
    EXPECT_EQ(frame.Calls, (QStringList{u"stop"_s, u"text"_s, u"undo"_s}));
    EXPECT_EQ(Text(Editor()), u"ab"_s);
    // A handler the frame lacks falls back on the window's own command.
    item("N_richeditsql_selectall")->trigger();
    EXPECT_EQ(Editor()->textCursor().selectedText(), u"ab"_s);
}

TEST_F(EditorEditing, ObjectTreeDragRecordsTheDropPositionAndTheDropInsertsThere)
{
    Editor()->setPlainText(u"select \nfrom  where x\n"_s);
    Settle();
    MoveCaret(Editor(), 3, 1);
    QTreeView tree;
    tree.setObjectName(u"TreeView_dbObject"_s);
    QTextCursor target(Editor()->document());
    target.setPosition(13); // line 1, between the two blanks after "from"
    const QPoint point = Editor()->cursorRect(target).center();

    bool accept = false;
    w.RichEdit_sqlDragOver(tree.viewport(), point.x(), point.y(), accept);
    EXPECT_TRUE(accept);
    EXPECT_EQ(w.DropLine, 1);
    EXPECT_EQ(w.DropColumn, 6);
    // The selection stays where it was.
    EXPECT_EQ(Editor()->textCursor().selectionStart(), 1);
    EXPECT_EQ(Editor()->textCursor().selectionEnd(), 3);

    EXPECT_TRUE(InsertAtLineColumn(*Editor(), w.DropLine, w.DropColumn, u"t1"_s));
    EXPECT_EQ(Text(Editor()), u"select \nfrom t1 where x\n"_s);

    // Anything else is refused and leaves the position alone.
    QTreeView other;
    other.setObjectName(u"TreeView_other"_s);
    w.RichEdit_sqlDragOver(&other, 0, 0, accept);
    EXPECT_FALSE(accept);
    EXPECT_EQ(w.DropLine, 1);
    w.RichEdit_sqlDragOver(nullptr, 0, 0, accept);
    EXPECT_FALSE(accept);
}

TEST(SqlEditorDrop, InsertsIntoTheLineAtTheColumn)
{
    struct Case {
        const char* what;
        int line, column;
        bool inserted;
        QString expected;
    } cases[] = {
        {"inside a line", 0, 2, true, u"aNb\ncd\n"_s},
        {"beyond the line's end", 1, 9, true, u"ab\ncdN\n"_s},
        {"before the first column", 1, 0, true, u"ab\nNcd\n"_s},
        {"the empty line after the last break", 2, 1, true, u"ab\ncd\nN"_s},
        {"no such line", 3, 1, false, u"ab\ncd\n"_s},
        {"negative line", -1, 1, false, u"ab\ncd\n"_s},
    };
    for (const Case& c : cases) {
        QPlainTextEdit editor;
        editor.setPlainText(u"ab\ncd\n"_s);
        EXPECT_EQ(InsertAtLineColumn(editor, c.line, c.column, u"N"_s), c.inserted) << c.what;
        EXPECT_EQ(editor.toPlainText(), c.expected) << c.what;
    }
}

class EditorFont : public EditorEditing {
protected:
    void SetUp() override
    {
        EditorEditing::SetUp();
        ASSERT_TRUE(dir_.isValid());
        saved_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", (dir_.path() + u"/config"_s).toUtf8());
        QDir().mkpath(dir_.path() + u"/install"_s);
        savedInstall_ = Settings::InstallPath;
        savedFont_ = Settings::SqlEditorFont;
        Settings::InstallPath = dir_.path() + u"/install/"_s;
        fonts_.Answer = [this](const QFont&) { ++dialogs_; return chosen_; };
    }
    void TearDown() override
    {
        Settings::InstallPath = savedInstall_;
        Settings::SqlEditorFont = savedFont_;
        qputenv("XDG_CONFIG_HOME", saved_);
        EditorEditing::TearDown();
    }
    QString Ini() const { return Settings::InstallPath + u"Tarnvale.ini"_s; }
    QByteArray ReadIni() const
    {
        QFile f(Ini());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir dir_;
    QByteArray saved_;
    QString savedInstall_;
    FontSetting savedFont_;
    ScriptedFontChooser fonts_;
    std::optional<QFont> chosen_;
    int dialogs_ = 0;
};

TEST_F(EditorFont, TheChosenFontAppliesAndIsWrittenToTheSettingsFile)
{
    {
        QFile f(Ini());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Options]\r\nWordsAnalyze=Y\r\n");
    }
    Type(Editor(), u"select x"_s);
    MoveCaret(Editor(), 4, 1);
    QFont font(u"DejaVu Sans"_s, 15);
    font.setBold(true);
    font.setItalic(true);
    chosen_ = font;
    w.N_richeditsql_fontClick();
    EXPECT_EQ(dialogs_, 1);
    EXPECT_EQ(Editor()->font().family(), u"DejaVu Sans"_s);
    EXPECT_TRUE(Editor()->font().bold());
    EXPECT_EQ(Editor()->font().pointSize(), 15);
    EXPECT_EQ(Settings::SqlEditorFont.FaceName, u"DejaVu Sans"_s);
    EXPECT_EQ(Settings::SqlEditorFont.Size, 15);
    EXPECT_EQ(Settings::SqlEditorFont.Style, FontSetting::Bold | FontSetting::Italic);
    EXPECT_TRUE(Settings::SqlEditorFont.Present);
    EXPECT_EQ(Editor()->textCursor().selectionStart(), 1);
    EXPECT_EQ(Editor()->textCursor().selectionEnd(), 4);
    // The keywords keep their colour; the text keeps its history.
    EXPECT_EQ(RangeColour(Editor(), 0, 6), Blue);
    EXPECT_EQ(w.UndoCount, 8);
    const QByteArray ini = ReadIni();
    EXPECT_TRUE(ini.contains("[Font_SQLInput]")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("FontName=DejaVu Sans")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("Size=15")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("FontStyle=3")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("WordsAnalyze=Y"));
}

TEST_F(EditorFont, WithoutASettingsFileTheFontLastsUntilTheProgramEnds)
{
    chosen_ = QFont(u"DejaVu Sans Mono"_s, 11);
    w.N_richeditsql_fontClick();
    EXPECT_EQ(Settings::SqlEditorFont.FaceName, u"DejaVu Sans Mono"_s);
    EXPECT_FALSE(QFile::exists(Ini()));
}

TEST_F(EditorFont, CancellingChangesNothingAndKeepsTheSelection)
{
    Type(Editor(), u"abc"_s);
    MoveCaret(Editor(), 0, 2);
    const QFont before = Editor()->font();
    Settings::SqlEditorFont = FontSetting{};
    chosen_.reset();
    w.N_richeditsql_fontClick();
    EXPECT_EQ(dialogs_, 1);
    EXPECT_EQ(Editor()->font(), before);
    EXPECT_FALSE(Settings::SqlEditorFont.Present);
    EXPECT_EQ(Editor()->textCursor().anchor(), 2);
    EXPECT_EQ(Editor()->textCursor().position(), 0);
}

} // namespace
