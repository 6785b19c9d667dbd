// A save dialog that asks before replacing an existing file: the name chosen is completed by the
// caller's rule (an extension from the filter, say), and the completed name is the one asked about.
#pragma once

#include "FileChooser.h"

#include <functional>

namespace SaveFileChoice {

// Completes the name chosen in the dialog with the filter chosen (0-based).
using Completion = std::function<QString(const QString& chosen, int filterIndex)>;

struct Result {
    bool Accepted = false;
    QString Path;        // completed
    int FilterIndex = 0; // 0-based
};

// The question asked before an existing file is replaced.
QString ReplaceQuestion(const QString& path);

// Shows the save dialog until the user picks a name that is new or agrees to replace it, or
// cancels. The question goes through the prompter with the dialog's title as its caption.
Result Choose(FileChooser::Request request, const Completion& complete = {});

} // namespace SaveFileChoice
