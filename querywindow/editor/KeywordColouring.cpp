#include "KeywordColouring.h"

#include "KeywordColours.h"
#include "KeywordLookup.h"
#include "KeywordScanner.h"
#include "LineColouring.h"
#include "LongLineDisplay.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>

namespace {

constexpr int Unstamped = -1;

// One format per colour, made once: only the foreground is merged, so a size set by the font
// command stays.
const QTextCharFormat& ForegroundFormat(const QColor& colour)
{
    static const auto make = [](const QColor& c) {
        QTextCharFormat format;
        format.setForeground(c);
        return format;
    };
    static const QTextCharFormat plain = make(KeywordColours::Plain);
    static const QTextCharFormat category1 = make(KeywordColours::Category1);
    static const QTextCharFormat category2 = make(KeywordColours::Category2);
    static const QTextCharFormat category3And4 = make(KeywordColours::Category3And4);
    static const QTextCharFormat comment = make(KeywordColours::LineComment);
    for (const QTextCharFormat* f : {&plain, &category1, &category2, &category3And4, &comment})
        if (f->foreground().color() == colour) return *f;
    static QTextCharFormat other;
    other = make(colour);
    return other;
}

} // namespace

KeywordColouring::KeywordColouring(QPlainTextEdit& editor) : QObject(&editor), editor_(editor), document_(editor.document())
{
    connect(document_, &QTextDocument::contentsChange, this, &KeywordColouring::ContentsChange);
}

void KeywordColouring::DocumentReplaced()
{
    if (document_ == editor_.document()) return;
    document_ = editor_.document();
    connect(document_, &QTextDocument::contentsChange, this, &KeywordColouring::ContentsChange);
}

int KeywordColouring::Stamp(TDbmsKind kind, bool lastLine)
{
    // Lines are coloured by the table of their kind; the text's last line drops its last word.
    return (std::clamp(ColouringKind(kind), 0, 0xFFFF) << 1) | (lastLine ? 1 : 0);
}

void KeywordColouring::ContentsChange(int position, int /*charsRemoved*/, int charsAdded)
{
    if (colouring_) return;
    QTextDocument* document = document_;
    QTextBlock block = document->findBlock(position);
    const QTextBlock last = document->findBlock(position + charsAdded);
    while (block.isValid()) {
        block.setUserState(Unstamped);
        if (block == last) break;
        block = block.next();
    }
}

void KeywordColouring::HighlightFromLine(int startLineIndex, TDbmsKind kind)
{
    if (colouring_) return;
    QTextDocument* document = editor_.document();
    QTextBlock block = document->findBlockByNumber(std::clamp(startLineIndex, 0, document->blockCount() - 1));
    if (!block.isValid()) return;

    colouring_ = true;
    const bool modified = document->isModified();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    // Runs of consecutive lines whose colours are out of date are coloured together.
    while (block.isValid()) {
        const bool lastLine = !block.next().isValid();
        if (block.userState() == Stamp(kind, lastLine)) {
            block = block.next();
            continue;
        }
        const QTextBlock first = block;
        QTextBlock end = block;
        for (QTextBlock next = block.next(); next.isValid(); next = next.next()) {
            if (next.userState() == Stamp(kind, !next.next().isValid())) break;
            end = next;
        }
        ColourSpan(first, end, kind);
        block = end.next();
    }
    cursor.endEditBlock();
    document->setModified(modified);
    colouring_ = false;

    // The selection collapses at its start, as after the colouring's own selections.
    QTextCursor caret = editor_.textCursor();
    if (caret.hasSelection()) {
        caret.setPosition(caret.selectionStart());
        editor_.setTextCursor(caret);
    }
}

void KeywordColouring::ColourSpan(const QTextBlock& first, const QTextBlock& last, TDbmsKind kind)
{
    // Runs of short lines are coloured whole; a long line only where its colours differ.
    for (QTextBlock block = first;; block = block.next()) {
        if (LongLineDisplay::IsLong(block)) {
            ColourLongLine(block, kind);
        } else {
            const QTextBlock start = block;
            while (block != last && !LongLineDisplay::IsLong(block.next())) block = block.next();
            ColourShortLines(start, block, kind);
        }
        if (block == last) break;
    }
}

void KeywordColouring::ColourShortLines(const QTextBlock& first, const QTextBlock& last, TDbmsKind kind)
{
    QTextDocument* document = editor_.document();
    QTextCursor cursor(document);
    // Black from the span's first character up to the next line's start (the text's end at most).
    const int spanEnd = std::min(last.position() + last.length(), document->characterCount() - 1);
    cursor.setPosition(first.position());
    cursor.setPosition(spanEnd, QTextCursor::KeepAnchor);
    cursor.mergeCharFormat(ForegroundFormat(KeywordColours::Plain));

    for (QTextBlock block = first;; block = block.next()) {
        const bool lastLine = !block.next().isValid();
        const QString line = block.text();
        for (const ColourRun& run : LineColourRuns(line, block.position(), !lastLine, kind)) {
            cursor.setPosition(run.Start);
            cursor.setPosition(run.Start + run.Length, QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(ForegroundFormat(run.Colour));
        }
        block.setUserState(Stamp(kind, lastLine));
        if (block == last) break;
    }
}

void KeywordColouring::ColourLongLine(QTextBlock block, TDbmsKind kind)
{
    QTextDocument* document = editor_.document();
    const bool lastLine = !block.next().isValid();
    const QString line = block.text();
    const int lineStart = block.position();
    // The colour of every character as the runs leave it over a black line, in pieces of one
    // colour: the comment covers whatever lies after its start.
    std::vector<ColourRun> runs = LineColourRuns(line, lineStart, !lastLine, kind);
    const int commentStart = LineCommentStart(line);
    const int plainEnd = lineStart + (commentStart >= 0 ? commentStart : static_cast<int>(line.size()));
    std::vector<ColourRun> wanted;
    int at = lineStart;
    for (const ColourRun& run : runs) {
        const int start = std::max(run.Start, at);
        const int end = std::min(run.Start + run.Length, plainEnd);
        if (end <= start) continue;
        if (start > at) wanted.push_back({at, start - at, KeywordColours::Plain});
        wanted.push_back({start, end - start, run.Colour});
        at = end;
    }
    if (plainEnd > at) wanted.push_back({at, plainEnd - at, KeywordColours::Plain});
    if (commentStart >= 0) wanted.push_back({plainEnd, lineStart + static_cast<int>(line.size()) - plainEnd, KeywordColours::LineComment});

    // Where the line's characters show another colour: merging the same colour changes nothing.
    std::vector<ColourRun> changes;
    auto piece = wanted.cbegin();
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const QTextCharFormat format = fragment.charFormat();
        const int fragmentEnd = fragment.position() + fragment.length();
        for (int from = fragment.position(); from < fragmentEnd;) {
            while (piece->Start + piece->Length <= from) ++piece;
            const int to = std::min(fragmentEnd, piece->Start + piece->Length);
            const QTextCharFormat& colour = ForegroundFormat(piece->Colour);
            if (!format.hasProperty(QTextFormat::ForegroundBrush) || format.foreground() != colour.foreground()) {
                if (!changes.empty() && changes.back().Start + changes.back().Length == from && changes.back().Colour == piece->Colour)
                    changes.back().Length += to - from;
                else
                    changes.push_back({from, to - from, piece->Colour});
            }
            from = to;
        }
    }
    QTextCursor cursor(document);
    // Every format change drops the line's layout, walking all its screen lines: it is laid out
    // again after the colouring anyway.
    if (!changes.empty()) block.layout()->clearLayout();
    for (const ColourRun& change : changes) {
        cursor.setPosition(change.Start);
        cursor.setPosition(change.Start + change.Length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(ForegroundFormat(change.Colour));
    }
    // The line break is black too, as a whole line's colouring leaves it.
    if (!lastLine) {
        cursor.setPosition(lineStart + block.length() - 1);
        cursor.setPosition(lineStart + block.length(), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(ForegroundFormat(KeywordColours::Plain));
    }
    block.setUserState(Stamp(kind, lastLine));
}

int KeywordColouring::PartEnd(QStringView line, int from, int length, TDbmsKind kind)
{
    const int size = static_cast<int>(line.size());
    int end = from + std::max(length, 1);
    if (end >= size) return size;
    // A part never splits a word: it ends after the next character that is none.
    while (end < size && IsKeywordWordCharacter(line[end - 1], kind)) ++end;
    return end;
}

void KeywordColouring::ColourLinePart(QTextBlock block, QStringView line, int from, int to, int commentStart, TDbmsKind kind)
{
    QTextDocument* document = const_cast<QTextDocument*>(block.document());
    const bool lastLine = !block.next().isValid();
    const bool lineEnd = to >= static_cast<int>(line.size());
    const int start = block.position() + from;
    QTextCursor cursor(document);
    // As ColourSpan: black up to the next line's start at the line's end (the text's end at most).
    const int plainEnd = lineEnd ? std::min(block.position() + block.length(), document->characterCount() - 1) : block.position() + to;
    cursor.setPosition(start);
    cursor.setPosition(plainEnd, QTextCursor::KeepAnchor);
    cursor.mergeCharFormat(ForegroundFormat(KeywordColours::Plain));

    std::vector<Word_ary> words;
    ScanLineWords(line.mid(from, to - from), words, start, kind, !lineEnd || !lastLine);
    std::vector<ColourRun> runs = ColourWords(words, kind);
    // The comment comes last, over the part of it that lies in this part of the line.
    if (commentStart >= 0 && commentStart < to) {
        const int commentFrom = std::max(commentStart, from);
        runs.push_back({block.position() + commentFrom, to - commentFrom, KeywordColours::LineComment});
    }
    for (const ColourRun& run : runs) {
        cursor.setPosition(run.Start);
        cursor.setPosition(run.Start + run.Length, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(ForegroundFormat(run.Colour));
    }
    if (lineEnd) block.setUserState(Stamp(kind, lastLine));
}
