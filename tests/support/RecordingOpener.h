// A desktop opener for tests: it records what the program asked the desktop to open or start and
// answers as told, so that no test ever starts a desktop program.
#pragma once

#include "DesktopOpener.h"

#include <utility>
#include <vector>

class RecordingOpener : public DesktopOpener {
public:
    RecordingOpener() { DesktopOpener::Install(this); }
    ~RecordingOpener() override { DesktopOpener::Install(nullptr); }

    bool OpenFile(const QString& path) override
    {
        Opened.push_back(path);
        return OpenSucceeds;
    }
    bool HasProgramFor(const QString& mimeType) override
    {
        Queried.push_back(mimeType);
        return HasProgram;
    }
    bool StartProgram(const QString& program, const QStringList& arguments) override
    {
        Started.emplace_back(program, arguments);
        return StartSucceeds;
    }

    bool OpenSucceeds = true;
    bool HasProgram = true;
    bool StartSucceeds = true;
    QStringList Opened;
    QStringList Queried;
    std::vector<std::pair<QString, QStringList>> Started;
};
