// Writes the result sets of a save-to-file run into its result file: UTF-8, CR LF, fields joined
// by ",", rows written eight at a time.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class ResultFileSink {
public:
    static constexpr int RowsPerWrite = 8;

    explicit ResultFileSink(std::FILE* file);

    // The file-form header line; written after a separator line for every statement but the first.
    void Header(const std::string& headerLine, int statementIndex, bool writeHeader);
    // The row being built; end it with EndRow.
    std::string& Row() { return buffer_; }
    void EndField() { buffer_ += ','; }
    void EndRow(int rowsSoFar);
    void EndResultSet();

    // False once any write has failed.
    bool Ok() const { return ok_; }

private:
    void Write(const std::string& bytes);
    std::FILE* file_;
    std::string buffer_;
    bool ok_ = true;
};
