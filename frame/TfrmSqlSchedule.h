// The schedule dialog "SQL 执行计划": the scheduled run of the query window that was active when it
// opened. Its rules are SqlScheduleController's; the form shows them.
#pragma once

#include "SqlScheduleController.h"

#include <QDialog>
#include <QPointer>

class QComboBox;
class QDateEdit;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimeEdit;
class TFMain;

class TfrmSqlSchedule : public QDialog {
    Q_OBJECT
public:
    // window: the query window the dialog acts on for as long as it is open.
    TfrmSqlSchedule(TFMain& window, QWidget* parent = nullptr, const ScheduleClock& clock = ScheduleClock::System());

    // The timer started the window of this handle: its line leaves the list.
    void ClearLineOf(std::uint64_t handle);

    QListWidget* CheckListBox1 = nullptr;
    QDateEdit* DateTimePicker_date = nullptr;
    QTimeEdit* DateTimePicker_time = nullptr;
    QComboBox* ComboBox_DisplayList = nullptr;
    QLineEdit* edit_filename = nullptr;
    QPushButton* btnFilename = nullptr;
    QPushButton* btn_Add = nullptr;
    QPushButton* btn_Delete = nullptr;
    QPushButton* btn_Update = nullptr;
    QPushButton* Btn_close = nullptr;

public slots:
    void btn_AddClick();
    void btn_UpdateClick();
    void btn_DeleteClick();
    void btnFilenameClick();
    void Btn_closeClick();

private:
    void BuildControls();
    // Runs one of the controller's rules with the pickers' values, then shows its view.
    void Act(void (SqlScheduleController::*rule)());
    void ShowView();

    QPointer<TFMain> window_;
    SqlScheduleController controller_;
};

// The schedule dialog while it is shown (the timer clears its line); none otherwise.
extern TfrmSqlSchedule* frmSqlSchedule;
