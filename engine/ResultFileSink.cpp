#include "ResultFileSink.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <unistd.h>

ResultFileSink::ResultFileSink(std::FILE* file)
{
    // The run command has just opened the file; whatever its stream holds goes out first, then
    // the sink writes past the stream.
    if (file && std::fflush(file) == 0) fd_ = fileno(file);
    if (fd_ < 0) {
        ok_ = false;
        error_ = std::strerror(file ? errno : EBADF);
    }
    buffer_.reserve(WriteBytes + (WriteBytes >> 4));
}

void ResultFileSink::Write()
{
    if (!ok_ || buffer_.empty()) {
        buffer_.clear();
        rowEnds_.clear();
        return;
    }
    std::size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        ok_ = false;
        error_ = std::strerror(n < 0 ? errno : ENOSPC);
        break;
    }
    rowsWritten_ += static_cast<std::int32_t>(std::upper_bound(rowEnds_.begin(), rowEnds_.end(), done) - rowEnds_.begin());
    buffer_.clear();
    rowEnds_.clear();
}

void ResultFileSink::Header(const std::string& headerLine, int statementIndex, bool writeHeader)
{
    rowsWritten_ = 0;
    if (statementIndex > 0) buffer_ += "\r\n";
    if (writeHeader) {
        buffer_ += headerLine;
        buffer_ += "\r\n";
    }
}

void ResultFileSink::EndRow()
{
    // The last field's comma goes; the line ends with CR LF.
    if (!buffer_.empty() && buffer_.back() == ',') buffer_.pop_back();
    buffer_ += "\r\n";
    rowEnds_.push_back(buffer_.size());
    if (buffer_.size() >= WriteBytes) Write();
}

void ResultFileSink::EndResultSet() { Write(); }
