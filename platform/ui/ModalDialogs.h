// The modal dialogs that are running (those of the seams, and any other that works on a window): a
// window is never destroyed under one of them, because a dialog's caller runs on in the window once
// the dialog has ended. A close that comes meanwhile waits for the last one to end.
#pragma once

#include <QObject>

#include <functional>

namespace ModalDialogs {

// Counts one running dialog for as long as it lives.
class Running {
public:
    Running();
    ~Running();
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
};

// Whether such a dialog runs now.
bool AnyRunning();

// Runs then once no such dialog runs any more, from the event loop; never when context is
// gone by then. Each context waits once: a second call for it before then changes nothing.
void AfterTheLast(QObject* context, std::function<void()> then);

} // namespace ModalDialogs
