// The program's message boxes behind one small interface: the default shows a modal message box,
// and a test installs its own to read what a box says and to answer it.
#pragma once

#include <QString>

class Prompter {
public:
    enum class Icon { None, Information, Exclamation, Error, Question };
    // Buttons of a box, combined with |; the answer is one of them.
    enum Button : int { Ok = 0x1, Cancel = 0x2, Yes = 0x4, No = 0x8 };

    virtual ~Prompter() = default;

    // Shows a modal message and returns the button chosen.
    virtual Button Message(const QString& text, const QString& caption, Icon icon, int buttons) = 0;

    // The prompter in use: the installed one, else the message-box prompter.
    static Prompter& Current();
    // Installs a prompter (not owned); nullptr returns to the message-box prompter.
    static void Install(Prompter* prompter);
};
