#include "TFMain_mul.h"

#include "QueryWindowConnection.h"
#include "ModalDialogs.h"
#include "ScheduleClock.h"
#include "ScheduleConnection.h"
#include "ScheduleTick.h"
#include "Settings.h"
#include "TFMain.h"
#include "TfrmSqlSchedule.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>

// ---- scheduled runs ----

namespace {

// The frame's start of the windows a tick found due.
class FrameLauncher : public ScheduledRunLauncher {
public:
    FrameLauncher(const QList<QPointer<TFMain>>& windows, std::function<void(TFMain&)> launch)
        : windows_(windows), launch_(std::move(launch))
    {
    }
    bool Launch(std::size_t i) override
    {
        const QPointer<TFMain>& w = windows_[static_cast<qsizetype>(i)];
        if (!w) return false;
        launch_(*w);
        return !w.isNull();
    }

private:
    const QList<QPointer<TFMain>>& windows_;
    std::function<void(TFMain&)> launch_;
};

} // namespace

void TFMain_mul::BuildSchedule()
{
    ScheduleClockInUse = &ScheduleClock::System();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(5000);
    connect(Timer1, &QTimer::timeout, this, &TFMain_mul::Timer1Timer);
    connect(mainmenu_query_schedule, &QAction::triggered, this, &TFMain_mul::mainmenu_query_scheduleClick);
}

void TFMain_mul::mainmenu_query_scheduleClick()
{
    TFMain* w = ActiveQueryWindow();
    if (!w) return;
    // The window's close waits for the dialog, which works on the window.
    const ModalDialogs::Running running;
    TfrmSqlSchedule dialog(*w, this, *ScheduleClockInUse);
    frmSqlSchedule = &dialog;
    struct Forget {
        ~Forget() { frmSqlSchedule = nullptr; }
    } forget;
    dialog.exec();
}

void TFMain_mul::Timer1Timer()
{
    // A modal loop inside a start would let the timer fire again underneath it: that tick waits. A
    // closing frame starts nothing.
    if (scheduleTicking_ || closing_) return;
    scheduleTicking_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{scheduleTicking_};

    QList<QPointer<TFMain>> windows;
    std::vector<ScheduleTick::Window> seen;
    for (TFMain* w : QueryWindows()) {
        windows << w;
        seen.push_back({w, w->RunCounter != 0 || w->IsClosing() || w == transactionAsked_});
    }
    FrameLauncher launcher(windows, [this](TFMain& w) { LaunchScheduledRun(w); });
    ScheduleTick::Run(seen, ScheduleStarted, LastScheduleStart, *ScheduleClockInUse, launcher);
}

void TFMain_mul::LaunchScheduledRun(TFMain& window)
{
    const QPointer<TFMain> w(&window);
    if (QMdiSubWindow* sub = SubWindowOf(w)) {
        MdiArea->setActiveSubWindow(sub);
        sub->raise();
    }
    if (frmSqlSchedule) frmSqlSchedule->ClearLineOf(w->Handle());
    // Only the connection of a window without a run is checked: no worker is using it.
    if (Settings::SQLScheduleReconnect && w->RunCounter == 0 && !w->IsClosing() &&
        !ScheduleConnection::Answers(w->hDbc)) {
        // The reconnect ends the old connection, and with it a transaction still open there, lost
        // or not: its commit says so.
        QueryWindowConnection::MarkTransactionLost(*w);
        if (ScheduleConnection::Reconnect(*w)) w->ShowCommitMode();
    }
    if (w->DisplayToFile)
        RunScheduledToFile(*w);
    else
        RunQueryWindow(*w);
}

void TFMain_mul::RunScheduledToFile(TFMain& w)
{
    if (w.IsClosing() || w.RunCounter != 0) return;
    if (w.DisplayToFile)
        StartRunToFile(w, w.ScheduleFileName);
    else
        StartRun(w);
}
