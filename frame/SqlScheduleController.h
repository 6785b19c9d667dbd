// The schedule dialog's rules over the window it was opened for: creation, add, change, delete and
// the result-file choice, with their messages. The dialog shows View and hands back its pickers.
#pragma once

#include "QueryWindowSchedule.h"
#include "QueryWindowState.h"
#include "ScheduleClock.h"
#include "SqlScheduleView.h"

#include <cstdint>
#include <functional>

class QWidget;

class SqlScheduleController {
public:
    // The dialog's caption, also that of its refusals.
    static inline const QString Caption = QStringLiteral("SQL 执行计划");

    SqlScheduleController(QueryWindowState& window, QueryWindowSchedule& schedule, std::uint64_t handle,
                          const ScheduleClock& clock = ScheduleClock::System());

    // The file dialog's parent; none for tests.
    void SetDialogParent(QWidget* parent) { dialogParent_ = parent; }

    void FormCreate();
    void Add();
    void Change();
    void Delete();
    void ChooseFile();
    // The timer started the window whose handle this is: a list line of that window goes.
    void ClearLineOf(std::uint64_t handle);

    SqlScheduleView View;
    // Shows View; called before each success message, so that the message stands over the new state.
    std::function<void()> ShowView;

private:
    bool FileMissing() const;
    void Store();
    void Refuse(const QString& text) const;
    void Report(const QString& text) const;

    QueryWindowState& window_;
    QueryWindowSchedule& schedule_;
    std::uint64_t handle_;
    const ScheduleClock& clock_;
    QWidget* dialogParent_ = nullptr;
};
