#include "ResultText.h"

#include <algorithm>

std::size_t ResultText::Piece::SpanOfLines(std::size_t k) const
{
    if (Sampled.empty()) {
        Sampled.reserve(Count / SampleLines + 2);
        std::size_t span = 0;
        for (std::size_t j = 0; j < Count; ++j) {
            if (j % SampleLines == 0) Sampled.push_back(span);
            span += LineLength(j) + 1;
        }
        if (Count % SampleLines == 0) Sampled.push_back(span);
    }
    const std::size_t m = k / SampleLines;
    std::size_t span = Sampled[m];
    for (std::size_t j = m * SampleLines; j < k; ++j) span += LineLength(j) + 1;
    return span;
}

ResultText::Piece ResultText::Piece::Part(std::size_t from, std::size_t count) const
{
    Piece part;
    part.Block = Block;
    part.Count = count;
    if (Block) {
        part.First = First + from;
    } else {
        part.Lines.assign(Lines.begin() + static_cast<std::ptrdiff_t>(from),
                          Lines.begin() + static_cast<std::ptrdiff_t>(from + count));
    }
    return part;
}

bool ResultText::JoinOwnLines(std::vector<Piece>& pieces, Piece& piece)
{
    if (piece.Block || pieces.empty() || pieces.back().Block) return false;
    Piece& last = pieces.back();
    last.Lines.insert(last.Lines.end(), std::make_move_iterator(piece.Lines.begin()),
                      std::make_move_iterator(piece.Lines.end()));
    last.Count = last.Lines.size();
    last.Sampled.clear();
    return true;
}

void ResultText::Reindex()
{
    // Neighbouring lines of the text's own become one piece, so typing leaves no trail of pieces.
    std::vector<Piece> merged;
    merged.reserve(pieces_.size());
    for (Piece& p : pieces_) {
        if (p.Count == 0) continue;
        if (!JoinOwnLines(merged, p)) merged.push_back(std::move(p));
    }
    pieces_ = std::move(merged);
    firstLines_.clear();
    lineCount_ = 0;
    for (const Piece& p : pieces_) {
        firstLines_.push_back(lineCount_);
        lineCount_ += p.Count;
    }
}

std::pair<std::size_t, std::size_t> ResultText::Locate(std::size_t line) const
{
    const auto it = std::upper_bound(firstLines_.begin(), firstLines_.end(), line);
    const auto p = static_cast<std::size_t>(it - firstLines_.begin()) - 1;
    return {p, line - firstLines_[p]};
}

QString ResultText::Line(std::size_t i) const
{
    if (i >= lineCount_) return {};
    const auto [p, k] = Locate(i);
    return pieces_[p].Line(k);
}

std::size_t ResultText::LineLength(std::size_t i) const
{
    if (i >= lineCount_) return 0;
    const auto [p, k] = Locate(i);
    return pieces_[p].LineLength(k);
}

std::size_t ResultText::LongestLine() const
{
    if (longestKnown_) return longest_;
    std::size_t longest = 0;
    for (const Piece& p : pieces_) {
        if (p.Block) {
            longest = std::max(longest, p.Block->LongestLine());
        } else {
            for (const QString& line : p.Lines) longest = std::max(longest, static_cast<std::size_t>(line.size()));
        }
    }
    longest_ = longest;
    longestKnown_ = true;
    return longest;
}

void ResultText::Append(Piece piece, std::size_t longest)
{
    if (piece.Count == 0) return;
    if (longestKnown_) longest_ = std::max(longest_, longest);
    lineCount_ += piece.Count;
    if (JoinOwnLines(pieces_, piece)) return;
    firstLines_.push_back(lineCount_ - piece.Count);
    pieces_.push_back(std::move(piece));
}

void ResultText::DropIfBlank()
{
    // Text appended to a text without characters takes its place, as in a plain text editor.
    if (lineCount_ == 1 && LineLength(0) == 0) Clear();
}

void ResultText::AppendLines(const QStringList& lines)
{
    if (lines.isEmpty()) return;
    DropIfBlank();
    Piece p;
    p.Lines.assign(lines.begin(), lines.end());
    p.Count = p.Lines.size();
    std::size_t longest = 0;
    for (const QString& line : p.Lines) longest = std::max(longest, static_cast<std::size_t>(line.size()));
    Append(std::move(p), longest);
}

void ResultText::AppendBlock(std::shared_ptr<const ResultTextBlock> block)
{
    DropIfBlank();
    Piece p;
    p.Count = block->LineCount();
    const std::size_t longest = block->LongestLine();
    p.Block = std::move(block);
    Append(std::move(p), longest);
}

void ResultText::Clear()
{
    pieces_.clear();
    Reindex();
    longest_ = 0;
    longestKnown_ = true;
}

QString ResultText::Text() const { return Text({}, End()); }

QString ResultText::Text(TextPosition from, TextPosition to) const
{
    from = Clamped(from);
    to = Clamped(to);
    if (to < from) std::swap(from, to);
    if (from.Line == to.Line) return Line(from.Line).mid(static_cast<qsizetype>(from.Column),
                                                         static_cast<qsizetype>(to.Column - from.Column));
    QString text = Line(from.Line).mid(static_cast<qsizetype>(from.Column));
    for (std::size_t i = from.Line + 1; i < to.Line; ++i) {
        text += QLatin1Char('\n');
        text += Line(i);
    }
    text += QLatin1Char('\n');
    text += Line(to.Line).left(static_cast<qsizetype>(to.Column));
    return text;
}

void ResultText::Splice(std::size_t first, std::size_t count, std::vector<QString> lines)
{
    const std::size_t end = first + count;
    std::vector<Piece> out;
    out.reserve(pieces_.size() + 2);
    bool inserted = false;
    auto insert = [&] {
        if (inserted) return;
        inserted = true;
        Piece p;
        p.Count = lines.size();
        p.Lines = std::move(lines);
        out.push_back(std::move(p));
    };
    for (std::size_t q = 0; q < pieces_.size(); ++q) {
        const std::size_t s = firstLines_[q], e = s + pieces_[q].Count;
        if (e <= first || s >= end) {
            if (s >= end) insert();
            out.push_back(std::move(pieces_[q]));
            continue;
        }
        if (s < first) out.push_back(pieces_[q].Part(0, first - s));
        insert();
        if (e > end) out.push_back(pieces_[q].Part(end - s, e - end));
    }
    insert();
    pieces_ = std::move(out);
    Reindex();
    longestKnown_ = false;
}

TextPosition ResultText::Replace(TextPosition from, TextPosition to, const QString& text)
{
    from = Clamped(from);
    to = Clamped(to);
    if (to < from) std::swap(from, to);
    const QString before = Line(from.Line).left(static_cast<qsizetype>(from.Column));
    const QString after = Line(to.Line).mid(static_cast<qsizetype>(to.Column));
    const QStringList split = (before + text).split(QLatin1Char('\n'));
    TextPosition caret{from.Line + static_cast<std::size_t>(split.size()) - 1,
                       static_cast<std::size_t>(split.back().size())};
    std::vector<QString> lines(split.begin(), split.end());
    lines.back() += after;
    // An empty text stays without lines: it has no line to replace.
    if (lineCount_ == 0 && lines.size() == 1 && lines[0].isEmpty()) return {};
    Splice(from.Line, lineCount_ == 0 ? 0 : to.Line - from.Line + 1, std::move(lines));
    return caret;
}

std::size_t ResultText::Offset(TextPosition at) const
{
    at = Clamped(at);
    if (lineCount_ == 0) return 0;
    const auto [p, k] = Locate(at.Line);
    std::size_t offset = 0;
    for (std::size_t q = 0; q < p; ++q) offset += pieces_[q].SpanOfLines(pieces_[q].Count);
    return offset + pieces_[p].SpanOfLines(k) + at.Column;
}

TextPosition ResultText::PositionAt(std::size_t offset) const
{
    for (std::size_t q = 0; q < pieces_.size(); ++q) {
        const Piece& p = pieces_[q];
        const std::size_t span = p.SpanOfLines(p.Count);
        if (offset >= span) {
            offset -= span;
            continue;
        }
        // The last sample at or before the offset, then line by line.
        const auto it = std::upper_bound(p.Sampled.begin(), p.Sampled.end(), offset);
        std::size_t k = static_cast<std::size_t>(it - p.Sampled.begin() - 1) * SampleLines;
        std::size_t start = p.Sampled[k / SampleLines];
        for (;;) {
            const std::size_t length = p.LineLength(k);
            if (offset <= start + length) return {firstLines_[q] + k, offset - start};
            start += length + 1;
            ++k;
        }
    }
    return End();
}

TextPosition ResultText::Clamped(TextPosition at) const
{
    if (lineCount_ == 0) return {};
    if (at.Line >= lineCount_) return End();
    at.Column = std::min(at.Column, LineLength(at.Line));
    return at;
}

TextPosition ResultText::End() const
{
    if (lineCount_ == 0) return {};
    return {lineCount_ - 1, LineLength(lineCount_ - 1)};
}
