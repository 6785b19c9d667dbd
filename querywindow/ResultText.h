// The text of the messages page: lines of its own (messages, and what the user typed) and result
// sets shown as text, which stay in their row stores. A result of millions of rows joins the text
// at once and takes no room beyond its rows.
#pragma once

#include "ResultTextBlock.h"

#include <QString>
#include <QStringList>

#include <cstddef>
#include <memory>
#include <vector>

// A place in the text: a line and a column of it, in UTF-16 units of the line.
struct TextPosition {
    std::size_t Line = 0;
    std::size_t Column = 0;
    friend bool operator==(const TextPosition&, const TextPosition&) = default;
    friend auto operator<=>(const TextPosition&, const TextPosition&) = default;
};

class ResultText {
public:
    std::size_t LineCount() const { return lineCount_; }
    bool IsEmpty() const { return lineCount_ == 0; }
    // Line i; empty beyond the last line.
    QString Line(std::size_t i) const;
    // The length of line i in UTF-16 units.
    std::size_t LineLength(std::size_t i) const;
    // No line is longer than this many UTF-16 units.
    std::size_t LongestLine() const;

    // Appends lines after the last one; a text whose one line is empty is replaced.
    void AppendLines(const QStringList& lines);
    // Appends a result set: its names' line, then its rows.
    void AppendBlock(std::shared_ptr<const ResultTextBlock> block);
    void Clear();

    // The whole text, lines joined by "\n".
    QString Text() const;
    // The text between two places.
    QString Text(TextPosition from, TextPosition to) const;
    // Replaces the text between two places (in either order) by text, whose "\n" break lines;
    // returns the place after the inserted text.
    TextPosition Replace(TextPosition from, TextPosition to, const QString& text);

    // The place as it would lie within the text of Text(): a line break counts one.
    std::size_t Offset(TextPosition at) const;
    TextPosition PositionAt(std::size_t offset) const;
    // The place made valid: a line that exists, a column within it.
    TextPosition Clamped(TextPosition at) const;
    TextPosition End() const;

private:
    // Lines of a result set (a range of a block's lines), or lines of the text's own.
    struct Piece {
        std::shared_ptr<const ResultTextBlock> Block;
        std::size_t First = 0;
        std::size_t Count = 0;
        std::vector<QString> Lines;
        // Lengths summed over every SampleLines lines, for offsets; made when first asked for.
        mutable std::vector<std::size_t> Sampled;

        QString Line(std::size_t k) const { return Block ? Block->Line(First + k) : Lines[k]; }
        std::size_t LineLength(std::size_t k) const
        {
            return Block ? Block->LineLength(First + k) : static_cast<std::size_t>(Lines[k].size());
        }
        // The length of the piece's first k lines, line breaks included.
        std::size_t SpanOfLines(std::size_t k) const;
        Piece Part(std::size_t from, std::size_t count) const;
    };
    static constexpr std::size_t SampleLines = 256;

    // The piece that holds line i and the line's index in it.
    std::pair<std::size_t, std::size_t> Locate(std::size_t line) const;
    // Replaces count lines from line first by lines.
    void Splice(std::size_t first, std::size_t count, std::vector<QString> lines);
    // Lines of the text's own that follow lines of its own join their piece: true when piece's
    // lines went into the last of pieces.
    static bool JoinOwnLines(std::vector<Piece>& pieces, Piece& piece);
    void Reindex();
    void DropIfBlank();
    // Appends a piece after the last one, without going over the others: a run appends to the
    // text at every statement.
    void Append(Piece piece, std::size_t longest);

    std::vector<Piece> pieces_;
    std::vector<std::size_t> firstLines_; // the first line of each piece
    std::size_t lineCount_ = 0;
    // LongestLine(), kept while the text only grows at its end; measured again after an edit.
    mutable std::size_t longest_ = 0;
    mutable bool longestKnown_ = true;
};
