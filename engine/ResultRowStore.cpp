#include "ResultRowStore.h"

#include <algorithm>
#include <cstring>

ResultRowStore::ResultRowStore(std::size_t columnCount) { Reset(columnCount); }

void ResultRowStore::Reset(std::size_t columnCount)
{
    columns_ = columnCount;
    header_.clear();
    field_.clear();
    rowBytes_.clear();
    ends_.clear();
    rows_.clear();
    chunks_.clear();
    chunkPos_ = nullptr;
    chunkLeft_ = 0;
    bytesUsed_ = 0;
    longestRow_ = 0;
}

void ResultRowStore::EndField()
{
    rowBytes_ += field_;
    field_.clear();
    ends_.push_back(static_cast<std::uint32_t>(rowBytes_.size()));
}

char* ResultRowStore::Reserve(std::size_t bytes)
{
    bytes = (bytes + alignof(std::uint32_t) - 1) & ~(alignof(std::uint32_t) - 1);
    if (bytes > chunkLeft_) {
        std::size_t size = std::clamp(bytesUsed_, FirstChunkSize, ChunkSize);
        if (bytes > size) size = bytes;
        // Rows are copied in whole: a chunk needs no zero-fill, and its pages are touched only as
        // rows arrive.
        chunks_.push_back(std::make_unique_for_overwrite<char[]>(size));
        chunkPos_ = chunks_.back().get();
        chunkLeft_ = size;
    }
    char* p = chunkPos_;
    chunkPos_ += bytes;
    chunkLeft_ -= bytes;
    bytesUsed_ += bytes;
    return p;
}

void ResultRowStore::EndRow()
{
    // A short row is padded with empty fields so every row has the store's column count.
    while (ends_.size() < columns_) ends_.push_back(static_cast<std::uint32_t>(rowBytes_.size()));
    const std::size_t offsets = columns_ * sizeof(std::uint32_t);
    char* p = Reserve(offsets + rowBytes_.size());
    std::memcpy(p, ends_.data(), offsets);
    std::memcpy(p + offsets, rowBytes_.data(), rowBytes_.size());
    rows_.push_back(p);
    if (rowBytes_.size() > longestRow_) longestRow_ = rowBytes_.size();
    rowBytes_.clear();
    ends_.clear();
}

std::string_view ResultRowStore::Field(std::size_t row, std::size_t column) const
{
    if (row >= rows_.size() || column >= columns_) return {};
    const char* p = rows_[row];
    std::uint32_t end, begin = 0;
    std::memcpy(&end, p + column * sizeof(std::uint32_t), sizeof end);
    if (column > 0) std::memcpy(&begin, p + (column - 1) * sizeof(std::uint32_t), sizeof begin);
    return {p + columns_ * sizeof(std::uint32_t) + begin, end - begin};
}

std::string_view ResultRowStore::RowFields(std::size_t row) const
{
    if (row >= rows_.size() || columns_ == 0) return {};
    const char* p = rows_[row];
    std::uint32_t end;
    std::memcpy(&end, p + (columns_ - 1) * sizeof(std::uint32_t), sizeof end);
    return {p + columns_ * sizeof(std::uint32_t), end};
}
