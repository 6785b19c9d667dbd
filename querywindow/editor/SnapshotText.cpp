#include "SnapshotText.h"

#include <algorithm>

namespace {

// Pieces hold about this many characters: an edit copies one or two of them.
constexpr qsizetype PieceSize = 1 << 13;

} // namespace

SnapshotText::SnapshotText(const QString& text) { Replace(0, 0, text); }

QString SnapshotText::ToString() const
{
    if (!data_) return QString();
    if (data_->Texts.size() == 1) return data_->Texts.front();
    QString text;
    text.reserve(size());
    for (const QString& piece : data_->Texts) text += piece;
    return text;
}

std::size_t SnapshotText::PieceAt(qsizetype position) const
{
    const std::vector<qsizetype>& ends = data_->Ends;
    const auto at = std::upper_bound(ends.begin(), ends.end(), position);
    return std::min(static_cast<std::size_t>(at - ends.begin()), ends.size() - 1);
}

QStringView SnapshotText::From(qsizetype position) const
{
    if (!data_ || position >= size()) return {};
    const std::size_t piece = PieceAt(position);
    return QStringView(data_->Texts[piece]).mid(position - Start(piece));
}

void SnapshotText::Replace(qsizetype position, qsizetype removed, QStringView inserted)
{
    const qsizetype total = size();
    position = std::clamp<qsizetype>(position, 0, total);
    removed = std::clamp<qsizetype>(removed, 0, total - position);
    if (removed == 0 && inserted.isEmpty()) return;

    auto next = std::make_shared<Pieces>();
    std::size_t first = 0, last = 0;
    QString middle;
    if (data_ && !data_->Texts.empty()) {
        first = PieceAt(position);
        last = PieceAt(std::max<qsizetype>(position + removed - 1, position));
        // An edit at a piece's start joins the piece before, so that typing at a line's end does
        // not split pieces ever smaller.
        if (first > 0 && position == Start(first)) --first;
        const QString& head = data_->Texts[first];
        const QString& tail = data_->Texts[last];
        middle.reserve(position - Start(first) + inserted.size() + data_->Ends[last] - position - removed);
        middle += QStringView(head).left(position - Start(first));
        middle += inserted;
        middle += QStringView(tail).mid(position + removed - Start(last));
        next->Texts.reserve(data_->Texts.size() + static_cast<std::size_t>(inserted.size() / PieceSize) + 2);
        next->Texts.insert(next->Texts.end(), data_->Texts.begin(), data_->Texts.begin() + static_cast<std::ptrdiff_t>(first));
    } else {
        middle = inserted.toString();
    }
    // The new characters as pieces of about PieceSize; a surrogate pair stays in one piece.
    for (qsizetype at = 0; at < middle.size();) {
        qsizetype length = middle.size() - at <= 2 * PieceSize ? middle.size() - at : PieceSize;
        if (at + length < middle.size() && middle[at + length - 1].isHighSurrogate()) ++length;
        next->Texts.push_back(at == 0 && length == middle.size() ? middle : middle.mid(at, length));
        at += length;
    }
    if (data_ && !data_->Texts.empty())
        next->Texts.insert(next->Texts.end(), data_->Texts.begin() + static_cast<std::ptrdiff_t>(last) + 1, data_->Texts.end());
    next->Ends.reserve(next->Texts.size());
    qsizetype end = 0;
    for (const QString& piece : next->Texts) next->Ends.push_back(end += piece.size());
    if (next->Texts.empty()) data_.reset();
    else data_ = std::move(next);
}

void SnapshotText::Append(QStringView text)
{
    if (text.isEmpty()) return;
    if (!data_ || data_.use_count() != 1 || text.size() > PieceSize) {
        Replace(size(), 0, text);
        return;
    }
    // Only this text holds the pieces: they grow in place.
    auto& pieces = const_cast<Pieces&>(*data_);
    if (pieces.Texts.back().size() + text.size() > 2 * PieceSize && !pieces.Texts.back().back().isHighSurrogate()) {
        pieces.Texts.emplace_back();
        pieces.Ends.push_back(pieces.Ends.back());
    }
    pieces.Texts.back() += text;
    pieces.Ends.back() += text.size();
}

qsizetype SnapshotText::CommonStart(const SnapshotText& a, const SnapshotText& b)
{
    const qsizetype limit = std::min(a.size(), b.size());
    qsizetype at = 0;
    while (at < limit) {
        const QStringView x = a.From(at), y = b.From(at);
        const qsizetype n = std::min({x.size(), y.size(), limit - at});
        // Pieces that both texts share are the same without looking at them.
        if (x.data() == y.data()) {
            at += n;
            continue;
        }
        qsizetype i = 0;
        while (i < n && x[i] == y[i]) ++i;
        at += i;
        if (i < n) break;
    }
    return at;
}

qsizetype SnapshotText::CommonEnd(const SnapshotText& a, const SnapshotText& b)
{
    const qsizetype limit = std::min(a.size(), b.size());
    if (limit == 0) return 0;
    qsizetype common = 0;
    std::size_t pa = a.data_->Texts.size(), pb = b.data_->Texts.size();
    qsizetype oa = 0, ob = 0; // characters left to look at in the current pieces
    const QString *xa = nullptr, *xb = nullptr;
    while (common < limit) {
        if (oa == 0) {
            xa = &a.data_->Texts[--pa];
            oa = xa->size();
        }
        if (ob == 0) {
            xb = &b.data_->Texts[--pb];
            ob = xb->size();
        }
        const qsizetype n = std::min({oa, ob, limit - common});
        if (oa == xa->size() && ob == xb->size() && oa == ob && xa->constData() == xb->constData()) {
            common += n;
            oa -= n;
            ob -= n;
            continue;
        }
        qsizetype i = 0;
        while (i < n && (*xa)[oa - 1 - i] == (*xb)[ob - 1 - i]) ++i;
        common += i;
        oa -= i;
        ob -= i;
        if (i < n) break;
    }
    return common;
}

bool operator==(const SnapshotText& a, const SnapshotText& b)
{
    if (a.data_ == b.data_) return true;
    return a.size() == b.size() && SnapshotText::CommonStart(a, b) == a.size();
}
