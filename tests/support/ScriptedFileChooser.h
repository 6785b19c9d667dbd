// A file chooser for tests: it records every dialog asked for and answers from a queue (cancelled
// when the queue is empty), so that no test ever shows a real file dialog.
#pragma once

#include "FileChooser.h"

#include <deque>
#include <functional>
#include <vector>

class ScriptedFileChooser : public FileChooser {
public:
    ScriptedFileChooser() { FileChooser::Install(this); }
    ~ScriptedFileChooser() override { FileChooser::Install(nullptr); }

    Answer Choose(const Request& request) override
    {
        Requests.push_back(request);
        if (OnChoose) OnChoose(Requests.back());
        if (Answers.empty()) return {};
        const Answer answer = Answers.front();
        Answers.pop_front();
        return answer;
    }

    // Queues an accepted answer: the path chosen with the filter chosen (0-based).
    void Accept(const QString& path, int filterIndex = 0) { Answers.push_back({true, path, filterIndex}); }
    // Queues a cancelled dialog.
    void Cancel() { Answers.push_back({}); }

    std::vector<Request> Requests;
    std::deque<Answer> Answers;
    // Runs inside the dialog, while it would be shown.
    std::function<void(const Request&)> OnChoose;
};
