// A prompter for tests: it records every message box and answers it from a queue (OK or Cancel
// when the queue is empty), so that no test ever shows a real box.
#pragma once

#include "Prompter.h"

#include <deque>
#include <functional>
#include <vector>

struct PromptRecord {
    QString Text;
    QString Caption;
    Prompter::Icon Icon = Prompter::Icon::None;
    int Buttons = 0;
};

class RecordingPrompter : public Prompter {
public:
    RecordingPrompter() { Prompter::Install(this); }
    ~RecordingPrompter() override { Prompter::Install(nullptr); }

    Button Message(const QString& text, const QString& caption, Icon icon, int buttons) override
    {
        Prompts.push_back({text, caption, icon, buttons});
        if (OnMessage) OnMessage(Prompts.back());
        if (Answers.empty()) return (buttons & Ok) ? Ok : Cancel;
        const Button answer = Answers.front();
        Answers.pop_front();
        return answer;
    }

    std::vector<PromptRecord> Prompts;
    std::deque<Button> Answers;
    // Runs inside the box, while it would be shown.
    std::function<void(const PromptRecord&)> OnMessage;
};
