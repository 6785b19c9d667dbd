// The display of lines too long to lay out on one screen line: while the editor's text has such a
// line, the editor wraps its display at the window's edge (the text itself is not changed), and each
// such line keeps its shaped glyphs, so that the caret's blink and a repaint do not shape it again.
#pragma once

#include <QObject>

#include <QTextBlock>

class QPlainTextEdit;
class QTextDocument;

class LongLineDisplay : public QObject {
public:
    // Lines of more characters than this are long.
    static inline int LongLine = 10000;

    explicit LongLineDisplay(QPlainTextEdit& editor);

    // Sets the display for a document before the editor is given it: wrapped when it has a long line.
    void Prepare(bool longLine) { SetWrapped(longLine); }
    // Whether block is a long line (its length counts the line break).
    static bool IsLong(const QTextBlock& block) { return block.length() > qint64(LongLine) + 1; }
    // Whether block is a long line; a long line keeps its glyphs from now on.
    static bool KeepIfLong(QTextBlock block);
    // The editor was given another document: its changes are watched from now on.
    void DocumentReplaced();
    bool Wrapped() const { return wrapped_; }
    // Sets view to show long lines wrapped at its edge (wrapped) or every line on one screen line.
    static void ShowWrapped(QPlainTextEdit& view, bool wrapped);
    // Looks at every line of document: true when one is long. Long lines keep their glyphs.
    static bool HasLongLine(QTextDocument& document);

private:
    void ContentsChange(int position, int charsRemoved, int charsAdded);
    void Rescan();
    void SetWrapped(bool wrapped);

    QPlainTextEdit& editor_;
    QTextDocument* document_;
    bool wrapped_ = false;
    bool rescanPending_ = false;
};
