#include "ModalDialogs.h"

#include <QPointer>
#include <QTimer>

#include <utility>
#include <vector>

namespace ModalDialogs {

namespace {

struct Waiting {
    QPointer<QObject> Context;
    std::function<void()> Then;
};

int g_running = 0;
std::vector<Waiting> g_waiting;

void RunWaiting()
{
    // Queued, so that the caller of the last dialog has run on before a window goes; a caller that
    // has opened the next dialog by then is waited for again.
    for (Waiting& w : std::exchange(g_waiting, {})) {
        if (!w.Context) continue;
        QObject* context = w.Context.data();
        QTimer::singleShot(0, context, [context, then = std::move(w.Then)] {
            if (AnyRunning())
                AfterTheLast(context, then);
            else
                then();
        });
    }
}

} // namespace

Running::Running() { ++g_running; }

Running::~Running()
{
    if (--g_running == 0) RunWaiting();
}

bool AnyRunning() { return g_running > 0; }

void AfterTheLast(QObject* context, std::function<void()> then)
{
    for (const Waiting& w : g_waiting)
        if (w.Context == context) return;
    g_waiting.push_back({context, std::move(then)});
    if (g_running == 0) RunWaiting();
}

} // namespace ModalDialogs
