// A whole editor text held in pieces that copies share: copying it costs nothing whatever its size,
// and an edit makes new pieces only where it changes the text, so the history's snapshots of a big
// script share all but the lines that differ.
#pragma once

#include <QString>
#include <QStringView>

#include <memory>
#include <vector>

class SnapshotText {
public:
    SnapshotText() = default;
    // Implicit, so that a text can be given wherever a snapshot is taken.
    SnapshotText(const QString& text);

    qsizetype size() const { return data_ ? data_->Ends.empty() ? 0 : data_->Ends.back() : 0; }
    bool isEmpty() const { return size() == 0; }
    void clear() { data_.reset(); }
    QString ToString() const;

    // The characters [position, position + removed) become inserted.
    void Replace(qsizetype position, qsizetype removed, QStringView inserted);
    // Replace at the end, without copying the pieces while no copy of this text shares them.
    void Append(QStringView text);
    // The characters from position on within the piece that holds position (empty at the end).
    QStringView From(qsizetype position) const;
    // How many characters the texts have in common at their starts, and at their ends.
    static qsizetype CommonStart(const SnapshotText& a, const SnapshotText& b);
    static qsizetype CommonEnd(const SnapshotText& a, const SnapshotText& b);

    friend bool operator==(const SnapshotText& a, const SnapshotText& b);
    friend bool operator!=(const SnapshotText& a, const SnapshotText& b) { return !(a == b); }

private:
    struct Pieces {
        std::vector<QString> Texts;
        // The end offset of each piece in the whole text.
        std::vector<qsizetype> Ends;
    };
    // The piece that holds position; the last one for the text's end.
    std::size_t PieceAt(qsizetype position) const;
    qsizetype Start(std::size_t piece) const { return piece == 0 ? 0 : data_->Ends[piece - 1]; }

    std::shared_ptr<const Pieces> data_;
};
