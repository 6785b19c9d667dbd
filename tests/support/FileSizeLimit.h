// While it lives, no file of the process may grow past a number of bytes: writes beyond it fail
// with EFBIG, as a full disk fails them (the signal such a write raises is ignored meanwhile).
#pragma once

#include <csignal>
#include <cstddef>

#include <sys/resource.h>

class FileSizeLimit {
public:
    explicit FileSizeLimit(std::size_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &before_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = before_;
        small.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &before_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    // Whether the limit took effect.
    bool Active() const { return active_; }

private:
    rlimit before_{};
    void (*oldHandler_)(int) = SIG_DFL;
    bool active_ = false;
};
