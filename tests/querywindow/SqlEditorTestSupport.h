// What the SQL editor suites share: a frame that records the handlers its query window calls, key
// and text helpers, the keyword tables of the installation and the messages the editor shows.
#pragma once

#include "RecordingPrompter.h"
#include "KeywordLists.h"
#include "KeywordTables.h"
#include "QueryWindowFrame.h"
#include "Settings.h"
#include "TFMain.h"
#include "WidgetTestApp.h"

#include <QAction>
#include <QApplication>
#include <QHash>
#include <QKeyEvent>
#include <QObject>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

// A frame with a command of every name asked for and handler slots that record their calls.
class RecordingFrame : public QObject, public QueryWindowFrame {
    Q_OBJECT
public:
    TFMain* Window = nullptr;
    QStringList Calls;

    TFMain* ActiveQueryWindow() override { return Window; }
    int QueryWindowCount() override { return Window ? 1 : 0; }
    QAction* FrameCommand(const QString& name) override
    {
        auto& a = commands_[name];
        if (!a) {
            a = std::make_unique<QAction>(name);
            a->setObjectName(name);
        }
        return a.get();
    }
    void CheckWindowMenuEntry(QueryWindowHandle, const QString&) override {}
    void MarkWindowIdle(QueryWindowHandle) override {}
    void RemoveWindowMenuSeparator() override {}
    void RemoveWindowMenuEntry(QueryWindowHandle) override {}
    void WM_QUERYWINDOWCLOSING() override {}
    void SetAutoSizeFirstChild(std::uint8_t) override {}

public slots:
    void ToolButton_runClick() { Calls << QStringLiteral("run"); }
    void ToolButton_stopClick() { Calls << QStringLiteral("stop"); }
    void ToolButton_undosqlClick()
    {
        Calls << QStringLiteral("undo");
        if (Window) Window->ToolButton_undosqlClick();
    }
    void ToolButton_pasteClick() { Calls << QStringLiteral("paste"); }
    void menu_run_display_txtClick() { Calls << QStringLiteral("text"); }

private:
    QHash<QString, std::shared_ptr<QAction>> commands_;
};

// Keyword tables from the installation's keyword files, colouring on; messages are recorded.
class SqlEditorTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        LoadKeywordFiles(TARNVALE_DATA_DIR);
        CreateKeywordTables();
    }
    static void TearDownTestSuite()
    {
        FreeKeywordTables();
        ClearKeywordLists();
    }
    void SetUp() override
    {
        Settings::WordsAnalyze = true;
    }
    void TearDown() override
    {
        Settings::WordsAnalyze = false;
    }

    RecordingPrompter prompter;
};

inline void Key(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

// Types text as keys: letters, digits, blanks and punctuation; "\n" is the Enter key.
inline void Type(QPlainTextEdit* editor, const QString& text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char('\n')) {
            Key(editor, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            continue;
        }
        const QChar upper = c.toUpper();
        const int key = upper.unicode() < 128 ? int(upper.unicode()) : int(Qt::Key_unknown);
        Key(editor, key, Qt::NoModifier, QString(c));
    }
}

inline void MoveCaret(QPlainTextEdit* editor, int position, int anchor = -1)
{
    QTextCursor c(editor->document());
    c.setPosition(anchor < 0 ? position : anchor);
    c.setPosition(position, QTextCursor::KeepAnchor);
    editor->setTextCursor(c);
}

inline int Caret(const QPlainTextEdit* editor) { return editor->textCursor().position(); }

inline QString Text(const QPlainTextEdit* editor) { return editor->toPlainText(); }

// The colour of the character at position; an invalid colour when none was ever set.
inline QColor ColourAt(const QPlainTextEdit* editor, int position)
{
    QTextCursor c(editor->document());
    c.setPosition(position + 1);
    const QTextCharFormat f = c.charFormat();
    return f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : QColor();
}

// The one colour of a range, or an invalid colour when its characters differ.
inline QColor RangeColour(const QPlainTextEdit* editor, int start, int length)
{
    const QColor first = ColourAt(editor, start);
    for (int p = start + 1; p < start + length; ++p)
        if (ColourAt(editor, p) != first) return QColor();
    return first;
}

inline const QColor Blue{0, 0, 255};
inline const QColor Green{0, 177, 0};
inline const QColor Fuchsia{255, 0, 255};
inline const QColor Black{0, 0, 0};
inline const QColor Teal{0, 128, 128};
