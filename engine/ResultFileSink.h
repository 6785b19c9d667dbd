// Writes the result sets of a save-to-file run into its result file: UTF-8, CR LF, fields joined
// by ",". Rows are collected and written in large pieces straight to the file's descriptor, so
// that after a failed write the sink knows how many rows reached the file whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class ResultFileSink {
public:
    // Collected bytes are written once they reach this size, and at the end of each result set.
    static constexpr std::size_t WriteBytes = 1 << 20;

    explicit ResultFileSink(std::FILE* file);

    // The file-form header line; written after a separator line for every statement but the first.
    void Header(const std::string& headerLine, int statementIndex, bool writeHeader);
    // The text of the row being built, at the end of what the sink has collected; end each field
    // with EndField and the row with EndRow.
    std::string& RowText() { return buffer_; }
    void EndField() { buffer_ += ','; }
    void EndRow();
    void EndResultSet();

    // False once a write has failed; nothing more is written then.
    bool Ok() const { return ok_; }
    // Rows of the current result set that reached the file whole.
    std::int32_t RowsWritten() const { return rowsWritten_; }
    // The system's text for the failed write.
    const std::string& ErrorText() const { return error_; }

private:
    void Write();
    int fd_ = -1;
    std::string buffer_;
    std::vector<std::size_t> rowEnds_; // where each row collected in buffer_ ends
    std::int32_t rowsWritten_ = 0;
    bool ok_ = true;
    std::string error_;
};
