#include "ResultFileSink.h"

ResultFileSink::ResultFileSink(std::FILE* file) : file_(file)
{
    // The run command has just opened the file: a large stream buffer turns the eight-row writes
    // into few system calls.
    if (file_) std::setvbuf(file_, nullptr, _IOFBF, 1 << 20);
}

void ResultFileSink::Write(const std::string& bytes)
{
    if (bytes.empty()) return;
    if (!file_ || std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) ok_ = false;
}

void ResultFileSink::Header(const std::string& headerLine, int statementIndex, bool writeHeader)
{
    buffer_.clear();
    std::string out;
    if (statementIndex > 0) out += "\r\n";
    if (writeHeader) out += headerLine + "\r\n";
    Write(out);
}

void ResultFileSink::EndRow(int rowsSoFar)
{
    // The last field's comma goes; the line ends with CR LF.
    if (!buffer_.empty() && buffer_.back() == ',') buffer_.pop_back();
    buffer_ += "\r\n";
    if (rowsSoFar % RowsPerWrite == 0) {
        Write(buffer_);
        buffer_.clear();
    }
}

void ResultFileSink::EndResultSet()
{
    Write(buffer_);
    buffer_.clear();
}
