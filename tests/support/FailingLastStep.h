// Makes the last step of every file replacement fail while this object lives: the sync, with the
// error of a disk that cannot hold the bytes, or the rename, for real, because the target file is
// locked just before it.
#pragma once

#include "FileReplacement.h"
#include "ImmutableFolder.h"

#include <QString>

#include <cerrno>
#include <optional>

#include <unistd.h>

class FailingLastStep {
public:
    enum class Step { Sync, Rename };

    FailingLastStep(Step step, const QString& target) : step_(step), target_(target)
    {
        FileReplacement::SetSync([this](int fd) {
            reached_ = true;
            if (step_ == Step::Sync) {
                errno = EIO;
                return -1;
            }
            locked_.emplace(target_);
            return ::fsync(fd);
        });
    }
    ~FailingLastStep()
    {
        FileReplacement::SetSync({});
        locked_.reset();
    }
    FailingLastStep(const FailingLastStep&) = delete;
    FailingLastStep& operator=(const FailingLastStep&) = delete;

    // Whether the step was reached, and for the rename whether the lock took.
    bool Reached() const { return reached_ && (step_ == Step::Sync || (locked_ && locked_->Ok())); }
    // The system's text of the failure.
    QString ErrorText() const { return qt_error_string(step_ == Step::Sync ? EIO : EPERM); }

    static const char* Name(Step step) { return step == Step::Sync ? "the sync fails" : "the rename fails"; }

private:
    Step step_;
    QString target_;
    bool reached_ = false;
    std::optional<ImmutableFile> locked_;
};
