#include "EditorBookkeeping.h"
#include "LineColouring.h"
#include "LongLineDisplay.h"
#include "SqlEditorTestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTextBlock>

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

// The colour of every character of the editor's lines (line breaks left out); 0 where none was set.
std::vector<QRgb> LineColours(const QPlainTextEdit* editor)
{
    std::vector<QRgb> colours;
    for (QTextBlock b = editor->document()->firstBlock(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            const QRgb c = f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color().rgb() : 0;
            colours.insert(colours.end(), std::size_t(it.fragment().length()), c);
        }
    return colours;
}

// The same for text coloured line by line afresh: black, then each run of the line in its order.
std::vector<QRgb> FreshLineColours(const QString& text, TDbmsKind kind)
{
    std::vector<QRgb> colours;
    const QStringList lines = text.split(QLatin1Char('\n'));
    int lineStart = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const std::size_t first = colours.size();
        colours.insert(colours.end(), std::size_t(lines[i].size()), Black.rgb());
        for (const ColourRun& run : LineColourRuns(lines[i], lineStart, i + 1 < lines.size(), kind))
            std::fill_n(colours.begin() + qsizetype(first) + (run.Start - lineStart), run.Length, run.Colour.rgb());
        lineStart += int(lines[i].size()) + 1;
    }
    return colours;
}

TEST_F(EditorColouring, AnEditInALongLineLeavesItColouredAsAColouringOfTheWholeLine)
{
    w.DbmsKind = 2;
    QString line = u"select "_s;
    while (line.size() <= LongLineDisplay::LongLine + 5000) line += u"(1, 'a') union select x from t, "_s;
    const QString head = u"select 1 -- one\n"_s;
    Editor()->setPlainText(head + line + u"\nselect 2 from t"_s);
    const int start = int(head.size()), middle = start + int(line.size()) / 2;
    ASSERT_EQ(LineColours(Editor()), FreshLineColours(Text(Editor()), w.DbmsKind));
    // Where the caret goes (-1: it stays), then the keys typed there ("\b": Backspace).
    const struct {
        int at;
        QString keys;
    } edits[] = {
        {start, u"x"_s},             // a keyword at the line's start stops being one
        {start, u"\b"_s},            // and is one again
        {middle, u" "_s},            // a blank splits a word
        {middle + 5, u"--"_s},       // a comment to the line's end
        {-1, u"\b\b"_s},             // and gone again
        {middle + 10, u"select "_s}, // a keyword among plain words
        {start + int(line.size()) / 4, u"\n"_s},  // the line broken into two long ones
        {-1, u"\b"_s},               // and joined again
        {start + int(line.size()), u"\nfrom "_s}, // a line after the long one
        {-1, u"\b\b\b\b\b\b"_s},     // and gone, up into the long line's end
    };
    for (const auto& edit : edits) {
        if (edit.at >= 0) MoveCaret(Editor(), edit.at);
        for (const QChar c : edit.keys) {
            if (c == QLatin1Char('\b'))
                Key(Editor(), Qt::Key_Backspace);
            else
                Type(Editor(), QString(c));
        }
        SCOPED_TRACE(QString(edit.keys).replace(QLatin1Char('\b'), u"<Backspace>"_s).toStdString() + " at " + std::to_string(edit.at));
        const std::vector<QRgb> shown = LineColours(Editor()), fresh = FreshLineColours(Text(Editor()), w.DbmsKind);
        ASSERT_EQ(shown.size(), fresh.size());
        EXPECT_EQ(std::mismatch(shown.begin(), shown.end(), fresh.begin()).first - shown.begin(), qsizetype(shown.size()));
    }
    // A paste of lines into the long line's middle.
    MoveCaret(Editor(), middle);
    Editor()->insertPlainText(u"select z -- c\nfrom x\n"_s);
    EXPECT_EQ(LineColours(Editor()), FreshLineColours(Text(Editor()), w.DbmsKind));
}

} // namespace
