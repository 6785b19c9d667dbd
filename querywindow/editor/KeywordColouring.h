// The keyword colouring of one SQL editor: re-colours the editor's lines from a start line to the
// end of the text with explicit character formats (keywords by category, line comments), inside one
// edit block. It never marks the document modified and never records anything for undo.
//
// Every line keeps a stamp of the kind it was coloured for; any change of a line's text or formats
// that the colouring did not make clears the stamp. A line whose stamp is intact already shows
// exactly the colours a re-colouring would give it, so only the changed lines are formatted again.
#pragma once

#include "TDbmsKind.h"

#include <QObject>
#include <QStringView>

class QPlainTextEdit;
class QTextBlock;
class QTextDocument;

class KeywordColouring : public QObject {
    Q_OBJECT
public:
    explicit KeywordColouring(QPlainTextEdit& editor);

    // Colours the lines from startLineIndex (0-based) to the end for a window of kind; the editor's
    // selection collapses at its start. Does nothing while a colouring is in progress.
    void HighlightFromLine(int startLineIndex, TDbmsKind kind);

    // True while the colouring changes formats: the editor's change notifications of that time are
    // its own.
    bool IsColouring() const { return colouring_; }

    // The editor was given another document: its changes are watched from now on.
    void DocumentReplaced();

    // Colours the characters [from, to) of block, whose whole text is line and whose first "--" is
    // at commentStart (-1: none), as HighlightFromLine colours them; to must be the line's end or
    // follow a character that is no word character. The line is stamped when to is its end.
    static void ColourLinePart(QTextBlock block, QStringView line, int from, int to, int commentStart, TDbmsKind kind);
    // Where a part of line that starts at from and should hold about length characters may end: the
    // line's end, or just after a character that is no word character.
    static int PartEnd(QStringView line, int from, int length, TDbmsKind kind);

private:
    void ContentsChange(int position, int charsRemoved, int charsAdded);
    void ColourSpan(const QTextBlock& first, const QTextBlock& last, TDbmsKind kind);
    void ColourShortLines(const QTextBlock& first, const QTextBlock& last, TDbmsKind kind);
    // Sets the colours of a long line only where they differ: a key changes few of them, and
    // setting them all again costs about as much as laying the line out.
    void ColourLongLine(QTextBlock block, TDbmsKind kind);
    static int Stamp(TDbmsKind kind, bool lastLine);

    QPlainTextEdit& editor_;
    QTextDocument* document_;
    bool colouring_ = false;
};
