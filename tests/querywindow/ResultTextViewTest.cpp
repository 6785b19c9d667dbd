#include "ResultTextView.h"
#include "ResultRowsFixture.h"
#include "WidgetTestApp.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollBar>
#include <QStyleHints>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void Key(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
}

class ResultTextViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        view.resize(400, 200);
        view.show();
        Settle();
    }
    std::pair<int, int> Selection() const { return {view.SelectionStart(), view.SelectionEnd()}; }
    ResultTextView view;
};

TEST_F(ResultTextViewTest, KeysEditAndMoveAsInAPlainTextEditor)
{
    struct Case {
        const char* name;
        int anchor, caret;
        int key;
        Qt::KeyboardModifiers modifiers;
        QString typed;
        QString text;
        std::pair<int, int> selection;
        int caretAfter;
    };
    // The text "abc\ndef\nghij" before each key.
    const Case cases[] = {
        {"TypingReplacesTheSelection", 1, 2, Qt::Key_X, Qt::NoModifier, "X", "aXc\ndef\nghij", {2, 2}, 2},
        {"BackspaceJoinsLines", 4, 4, Qt::Key_Backspace, Qt::NoModifier, {}, "abcdef\nghij", {3, 3}, 3},
        {"DeleteJoinsLines", 3, 3, Qt::Key_Delete, Qt::NoModifier, {}, "abcdef\nghij", {3, 3}, 3},
        {"EnterBreaksTheLine", 5, 5, Qt::Key_Return, Qt::NoModifier, {}, "abc\nd\nef\nghij", {6, 6}, 6},
        {"LeftLeavesASelectionAtItsStart", 1, 6, Qt::Key_Left, Qt::NoModifier, {}, "abc\ndef\nghij", {1, 1}, 1},
        {"RightLeavesASelectionAtItsEnd", 6, 1, Qt::Key_Right, Qt::NoModifier, {}, "abc\ndef\nghij", {6, 6}, 6},
        {"RightCrossesALineEnd", 3, 3, Qt::Key_Right, Qt::NoModifier, {}, "abc\ndef\nghij", {4, 4}, 4},
        {"ShiftRightExtends", 1, 1, Qt::Key_Right, Qt::ShiftModifier, {}, "abc\ndef\nghij", {1, 2}, 2},
        {"DownKeepsTheColumn", 2, 2, Qt::Key_Down, Qt::NoModifier, {}, "abc\ndef\nghij", {6, 6}, 6},
        {"EndOfTheLine", 4, 4, Qt::Key_End, Qt::NoModifier, {}, "abc\ndef\nghij", {7, 7}, 7},
        {"HomeOfTheLine", 6, 6, Qt::Key_Home, Qt::ShiftModifier, {}, "abc\ndef\nghij", {4, 6}, 4},
        {"ControlEndOfTheText", 0, 0, Qt::Key_End, Qt::ControlModifier, {}, "abc\ndef\nghij", {12, 12}, 12},
        {"SelectAll", 5, 5, Qt::Key_A, Qt::ControlModifier, {}, "abc\ndef\nghij", {0, 12}, 12},
    };
    for (const Case& c : cases) {
        view.setPlainText("abc\ndef\nghij");
        view.SetSelection(c.anchor, c.caret);
        Key(&view, c.key, c.modifiers, c.typed);
        EXPECT_EQ(view.toPlainText(), c.text) << c.name;
        EXPECT_EQ(Selection(), c.selection) << c.name;
        EXPECT_EQ(view.CaretPosition(), c.caretAfter) << c.name;
    }
}

TEST_F(ResultTextViewTest, CopyCutAndPasteGoThroughTheClipboard)
{
    view.setPlainText("abc\ndef");
    view.SetSelection(2, 5);
    Key(&view, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "c\nd");
    Key(&view, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(view.toPlainText(), "abef");
    view.SetSelection(4, 4);
    QApplication::clipboard()->setText("1\r\n2");
    Key(&view, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(view.toPlainText(), "abef1\n2");
    EXPECT_EQ(view.CaretPosition(), 7);
}

TEST_F(ResultTextViewTest, AClickPutsTheCaretOnTheLineUnderIt)
{
    view.setPlainText("first\nsecond\nthird");
    const int lineHeight = view.fontMetrics().lineSpacing();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 4 + lineHeight * 1.5), QPointF(), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &press);
    EXPECT_EQ(view.CaretPosition(), 6) << "the start of the second line";
    QMouseEvent below(QEvent::MouseButtonPress, QPointF(1000, 150), QPointF(), Qt::LeftButton, Qt::LeftButton,
                      Qt::ShiftModifier);
    QApplication::sendEvent(view.viewport(), &below);
    EXPECT_EQ(Selection(), std::make_pair(6, 18)) << "Shift extends to the end of the last line";
}

TEST_F(ResultTextViewTest, ALongLineIsMeasuredAndHitWhereverTheCaretGoes)
{
    // Far over the length measured in one piece, with a pair of surrogates across piece ends.
    QString line;
    for (int i = 0; line.size() < 20000; ++i) line += (i % 97 == 0) ? QStringLiteral("\U0001F600") : QString::number(i % 10);
    view.setPlainText(QStringLiteral("short\n") + line);
    const QFontMetrics fm = view.fontMetrics();
    Settle();

    Key(&view, Qt::Key_Down);
    Key(&view, Qt::Key_End);
    EXPECT_EQ(view.CaretPosition(), 6 + line.size());
    QScrollBar* h = view.horizontalScrollBar();
    EXPECT_GE(h->maximum() + view.viewport()->width(), fm.horizontalAdvance(line) - 4 * fm.maxWidth())
        << "the range reaches the end of the line";
    // A click where the caret is drawn puts it back there, whichever piece of the line it is in;
    // the place is the line's own width up to the caret.
    for (int column : {0, 255, 256, 257, 1000, 12345, static_cast<int>(line.size()) - 1}) {
        if (line.at(column).isLowSurrogate()) --column;
        view.SetSelection(6 + column, 6 + column);
        Settle();
        const QRect caret = static_cast<const QWidget&>(view).inputMethodQuery(Qt::ImCursorRectangle).toRect();
        EXPECT_NEAR(caret.x() + h->value() - 4, fm.horizontalAdvance(line.left(column)), 1 + column / 128) << column;
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(caret.x(), caret.center().y()), QPointF(), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &press);
        EXPECT_EQ(view.CaretPosition() - 6, column);
    }
    view.SelectAll();
    EXPECT_EQ(view.SelectedText(), QStringLiteral("short\n") + line);
}

TEST_F(ResultTextViewTest, AppendedTextFollowsTheEndOnlyWhenTheEndWasInView)
{
    view.appendPlainText("start");
    view.AppendRows(MakeRowStore({"n"}, std::vector<std::vector<std::string>>(500, {"v"})));
    Settle();
    QScrollBar* v = view.verticalScrollBar();
    EXPECT_EQ(v->value(), v->maximum());
    EXPECT_GT(v->maximum(), 0);
    v->setValue(10);
    view.appendPlainText("more");
    EXPECT_EQ(v->value(), 10) << "a reader higher up is left where he is";
    EXPECT_EQ(view.Text().LineCount(), 503u);
    EXPECT_EQ(view.Text().Line(502), "more");
}

// The regions a widget is asked to paint.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* target) { target->installEventFilter(this); }
    std::vector<QRect> Rects;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) Rects.push_back(static_cast<QPaintEvent*>(event)->rect());
        return false;
    }
};

TEST_F(ResultTextViewTest, TheBlinkingCaretRepaintsOnlyItself)
{
    // Long lines cost much to draw: a blink must not draw the page again.
    view.AppendRows(MakeRowStore({"a", "b"}, std::vector<std::vector<std::string>>(100, {std::string(3000, 'x'), "y"})));
    view.activateWindow();
    view.setFocus();
    ASSERT_TRUE(WaitUntil([&] { return view.hasFocus(); }, 2000));
    view.SetSelection(0, 0);
    Settle();
    PaintRecorder painted(view.viewport());
    const int flash = QApplication::styleHints()->cursorFlashTime();
    ASSERT_GT(flash, 0);
    ASSERT_TRUE(WaitUntil([&] { return painted.Rects.size() >= 2; }, 3 * flash));
    const int lineHeight = view.fontMetrics().lineSpacing();
    for (const QRect& r : painted.Rects) {
        EXPECT_LE(r.height(), lineHeight) << "painted " << r.width() << "x" << r.height();
        EXPECT_LE(r.width(), 4) << "painted " << r.width() << "x" << r.height();
    }
}

} // namespace
