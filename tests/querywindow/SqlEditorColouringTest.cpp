#include "EditorBookkeeping.h"
#include "SqlEditorTestSupport.h"

#include <QClipboard>
#include <QGuiApplication>

using namespace Qt::StringLiterals;

namespace {

class EditorColouring : public SqlEditorTest {
protected:
    void SetUp() override
    {
        SqlEditorTest::SetUp();
        w.resize(700, 500);
        w.show();
        Settle();
    }
    QPlainTextEdit* Editor() { return w.RichEdit_sql; }

    TFMain w;
};

struct KindCase {
    TDbmsKind kind;
    QString text;
    struct Word {
        int start, length;
        QColor colour;
    };
    std::vector<Word> words;
};

TEST_F(EditorColouring, TypingColoursTheKeywordsOfTheWindowsKind)
{
    const KindCase cases[] = {
        {2, u"count getdate x "_s, {{0, 5, Green}, {6, 7, Green}, {14, 1, Black}}},
        {1, u"count getdate x "_s, {{0, 5, Blue}, {6, 7, Black}}},
        {10, u"count getdate x "_s, {{0, 5, Green}, {6, 7, Green}}},
        {20, u"select getdate "_s, {{0, 6, Blue}, {7, 7, Green}}},
        {3, u"v$lock x "_s, {{0, 6, Fuchsia}}},
        {7, u"v$lock x "_s, {{0, 1, Black}, {2, 4, Blue}}},
        {2, u"varchar2 table1 "_s, {{0, 7, Fuchsia}, {7, 1, Black}, {9, 5, Blue}, {14, 1, Black}}},
        {2, u"中文select中from "_s, {{0, 2, Black}, {2, 6, Blue}, {9, 4, Blue}}},
    };
    for (const KindCase& c : cases) {
        Editor()->clear();
        w.DbmsKind = c.kind;
        Type(Editor(), c.text);
        ASSERT_EQ(Text(Editor()), c.text);
        for (const auto& word : c.words)
            EXPECT_EQ(RangeColour(Editor(), word.start, word.length), word.colour)
                << "kind " << c.kind << " " << c.text.mid(word.start, word.length).toStdString();
    }
}

TEST_F(EditorColouring, TheLastWordIsColouredOnceACharacterFollowsIt)
{
    w.DbmsKind = 2;
    Type(Editor(), u"SELECT"_s);
    EXPECT_EQ(RangeColour(Editor(), 0, 6), Black);
    Type(Editor(), u" "_s);
    EXPECT_EQ(RangeColour(Editor(), 0, 6), Blue);
}

TEST_F(EditorColouring, LineCommentsAreColouredLast)
{
    w.DbmsKind = 2;
    Type(Editor(), u"SELECT -- SELECT\n/* from */ x"_s);
    EXPECT_EQ(RangeColour(Editor(), 0, 6), Blue);
    EXPECT_EQ(RangeColour(Editor(), 7, 9), Teal);
    EXPECT_EQ(RangeColour(Editor(), 17, 2), Black);
    EXPECT_EQ(RangeColour(Editor(), 20, 4), Blue);
}

TEST_F(EditorColouring, AKeywordThatStopsBeingOneTurnsBlack)
{
    w.DbmsKind = 2;
    Type(Editor(), u"select x\n"_s);
    ASSERT_EQ(RangeColour(Editor(), 0, 6), Blue);
    MoveCaret(Editor(), 6);
    Type(Editor(), u"z"_s);
    EXPECT_EQ(Text(Editor()), u"selectz x\n"_s);
    EXPECT_EQ(RangeColour(Editor(), 0, 7), Black);
}

TEST_F(EditorColouring, OffTheTypedKeywordsStayUncoloured)
{
    Settings::WordsAnalyze = false;
    w.DbmsKind = 2;
    Type(Editor(), u"select x "_s);
    EXPECT_FALSE(ColourAt(Editor(), 0).isValid());
    EXPECT_EQ(w.UndoCount, 9);
}

TEST_F(EditorColouring, ColouringNeitherMarksModifiedNorRecordsASnapshot)
{
    Settings::WordsAnalyze = false;
    w.DbmsKind = 2;
    Editor()->setPlainText(u"select x\nfrom y\n"_s);
    const int undo = w.UndoCount;
    const QString newest = w.History[64].Text.ToString();
    Editor()->document()->setModified(false);
    Settings::WordsAnalyze = true;
    w.HighlightFromLine();
    EXPECT_EQ(RangeColour(Editor(), 0, 6), Blue);
    EXPECT_EQ(RangeColour(Editor(), 9, 4), Blue);
    EXPECT_FALSE(Editor()->document()->isModified());
    EXPECT_FALSE(Editor()->document()->isUndoAvailable());
    EXPECT_EQ(w.UndoCount, undo);
    EXPECT_EQ(w.History[64].Text, newest);
}

TEST_F(EditorColouring, ColouringStartsAtTheEarlierCaretLineOfTheLastTwoChanges)
{
    w.DbmsKind = 2;
    Editor()->setPlainText(u"x\nx\nx\nx y\n"_s);
    // A change on line 4, then a menu paste of two lines at the start: the caret ends on line 3, so
    // the colouring starts there and the pasted lines keep the colour they were inserted with.
    MoveCaret(Editor(), 7);
    Type(Editor(), u" "_s);
    QGuiApplication::clipboard()->setText(u"select a\nselect b\n"_s);
    MoveCaret(Editor(), 0);
    w.ToolButton_pasteClick();
    EXPECT_EQ(PrevCaretLine, 4);
    EXPECT_EQ(CaretLine, 3);
    EXPECT_NE(ColourAt(Editor(), 0), Blue);
    EXPECT_NE(ColourAt(Editor(), 9), Blue);

    // Ctrl+V re-colours from line 1.
    Editor()->setPlainText(u"x\nx\nx\nx y\n"_s);
    MoveCaret(Editor(), 7);
    Type(Editor(), u" "_s);
    MoveCaret(Editor(), 0);
    Key(Editor(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text(Editor()), u"select a\nselect b\nx\nx\nx\nx  y\n"_s);
    EXPECT_EQ(CaretLine, 1);
    EXPECT_EQ(RangeColour(Editor(), 0, 6), Blue);
    EXPECT_EQ(RangeColour(Editor(), 9, 6), Blue);
}

TEST_F(EditorColouring, CaretLinesAreSharedByAllWindows)
{
    TFMain other;
    Editor()->setPlainText(u"a\nb\nc\n"_s);
    MoveCaret(Editor(), 4);
    Type(Editor(), u"x"_s);
    EXPECT_EQ(CaretLine, 3);
    Type(other.RichEdit_sql, u"y"_s);
    EXPECT_EQ(PrevCaretLine, 3);
    EXPECT_EQ(CaretLine, 1);
    // A new window starts both at line 1.
    TFMain third;
    EXPECT_EQ(PrevCaretLine, 1);
    EXPECT_EQ(CaretLine, 1);
}

TEST_F(EditorColouring, UndoPutsTheColoursBackWithTheText)
{
    w.DbmsKind = 2;
    Type(Editor(), u"select x "_s);
    w.ToolButton_undosqlClick();
    EXPECT_EQ(Text(Editor()), u"select x"_s);
    EXPECT_EQ(RangeColour(Editor(), 0, 6), Blue);
}

} // namespace
