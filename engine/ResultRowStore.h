// The rows of one result set, kept compactly: each row is one contiguous range of a large chunk,
// its field end offsets followed by its field bytes, so fields stay apart whatever they hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ResultRowStore {
public:
    explicit ResultRowStore(std::size_t columnCount = 0);

    void Reset(std::size_t columnCount);
    std::size_t ColumnCount() const { return columns_; }

    void SetHeader(std::vector<std::string> names) { header_ = std::move(names); }
    const std::vector<std::string>& Header() const { return header_; }
    bool HasHeader() const { return !header_.empty(); }

    // Building a row: append to the current field, end each field, then end the row.
    std::string& CurrentField() { return field_; }
    void EndField();
    void EndRow();

    std::size_t RowCount() const { return rows_.size(); }
    std::string_view Field(std::size_t row, std::size_t column) const;
    // The bytes of all the row's fields, one after the other.
    std::string_view RowFields(std::size_t row) const;
    // The most field bytes any row holds.
    std::size_t LongestRow() const { return longestRow_; }
    // Bytes held by the rows, offsets included (for memory figures).
    std::size_t BytesUsed() const { return bytesUsed_; }

private:
    static constexpr std::size_t ChunkSize = 1 << 22;
    // A result's first chunk is small and each next one as large as all before: a store of a few
    // rows costs no mapping of its own.
    static constexpr std::size_t FirstChunkSize = 1 << 12;
    char* Reserve(std::size_t bytes);

    std::size_t columns_ = 0;
    std::vector<std::string> header_;
    std::string field_;
    std::string rowBytes_;
    std::vector<std::uint32_t> ends_;
    std::vector<const char*> rows_;
    std::vector<std::unique_ptr<char[]>> chunks_;
    char* chunkPos_ = nullptr;
    std::size_t chunkLeft_ = 0;
    std::size_t bytesUsed_ = 0;
    std::size_t longestRow_ = 0;
};
