// The prompter of the running program: a modal QMessageBox over the active window.
#pragma once

#include "Prompter.h"

class MessageBoxPrompter : public Prompter {
public:
    Button Message(const QString& text, const QString& caption, Icon icon, int buttons) override;
};
