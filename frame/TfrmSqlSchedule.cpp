#include "TfrmSqlSchedule.h"

#include "TFMain.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

TfrmSqlSchedule* frmSqlSchedule = nullptr;

TfrmSqlSchedule::TfrmSqlSchedule(TFMain& window, QWidget* parent, const ScheduleClock& clock)
    : QDialog(parent), window_(&window), controller_(window, window, window.Handle(), clock)
{
    setObjectName(QStringLiteral("frmSqlSchedule"));
    setWindowTitle(SqlScheduleController::Caption);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    BuildControls();
    controller_.SetDialogParent(this);
    controller_.ShowView = [this] { ShowView(); };
    controller_.FormCreate();
    ShowView();
}

void TfrmSqlSchedule::BuildControls()
{
    auto named = [](QWidget* w, const char* name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    CheckListBox1 = static_cast<QListWidget*>(named(new QListWidget(this), "CheckListBox1"));
    CheckListBox1->setEnabled(false);
    CheckListBox1->setFixedHeight(CheckListBox1->fontMetrics().height() * 3);

    DateTimePicker_date = static_cast<QDateEdit*>(named(new QDateEdit(this), "DateTimePicker_date"));
    DateTimePicker_date->setCalendarPopup(true);
    // The form of the list line, whatever the machine's locale.
    DateTimePicker_date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    DateTimePicker_date->setMinimumDate(QueryWindowSchedule::NoScheduleDate());
    DateTimePicker_time = static_cast<QTimeEdit*>(named(new QTimeEdit(this), "DateTimePicker_time"));
    DateTimePicker_time->setDisplayFormat(QStringLiteral("HH:mm:ss"));

    ComboBox_DisplayList = static_cast<QComboBox*>(named(new QComboBox(this), "ComboBox_DisplayList"));
    ComboBox_DisplayList->addItems(
        {QStringLiteral("以表格显示结果"), QStringLiteral("以文本显示结果"), QStringLiteral("保存结果到文件")});
    ComboBox_DisplayList->setEnabled(false);

    edit_filename = static_cast<QLineEdit*>(named(new QLineEdit(this), "edit_filename"));
    edit_filename->setReadOnly(true);
    edit_filename->setMinimumWidth(320);
    btnFilename = static_cast<QPushButton*>(named(new QPushButton(QStringLiteral("..."), this), "btnFilename"));
    btnFilename->setFixedWidth(btnFilename->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 24);

    btn_Add = static_cast<QPushButton*>(named(new QPushButton(QStringLiteral("增加"), this), "btn_Add"));
    btn_Delete = static_cast<QPushButton*>(named(new QPushButton(QStringLiteral("删除"), this), "btn_Delete"));
    btn_Update = static_cast<QPushButton*>(named(new QPushButton(QStringLiteral("修改"), this), "btn_Update"));
    Btn_close = static_cast<QPushButton*>(named(new QPushButton(QStringLiteral("关闭"), this), "Btn_close"));
    for (QPushButton* b : {btnFilename, btn_Add, btn_Delete, btn_Update, Btn_close}) b->setAutoDefault(false);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("执行时间"), this), 0, 0);
    auto* moment = new QHBoxLayout;
    moment->addWidget(DateTimePicker_date, 1);
    moment->addWidget(DateTimePicker_time, 1);
    fields->addLayout(moment, 0, 1, 1, 2);
    fields->addWidget(ComboBox_DisplayList, 1, 1, 1, 2);
    fields->addWidget(new QLabel(QStringLiteral("文件名"), this), 2, 0);
    fields->addWidget(edit_filename, 2, 1);
    fields->addWidget(btnFilename, 2, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {btn_Add, btn_Delete, btn_Update, Btn_close}) buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CheckListBox1);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btn_Add, &QPushButton::clicked, this, &TfrmSqlSchedule::btn_AddClick);
    connect(btn_Delete, &QPushButton::clicked, this, &TfrmSqlSchedule::btn_DeleteClick);
    connect(btn_Update, &QPushButton::clicked, this, &TfrmSqlSchedule::btn_UpdateClick);
    connect(btnFilename, &QPushButton::clicked, this, &TfrmSqlSchedule::btnFilenameClick);
    connect(Btn_close, &QPushButton::clicked, this, &TfrmSqlSchedule::Btn_closeClick);
}

void TfrmSqlSchedule::ShowView()
{
    const SqlScheduleView& v = controller_.View;
    CheckListBox1->clear();
    for (const QString& line : v.Lines) {
        auto* item = new QListWidgetItem(line, CheckListBox1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    DateTimePicker_date->setDate(v.Date);
    DateTimePicker_time->setTime(v.Time);
    ComboBox_DisplayList->setCurrentIndex(v.DisplayIndex);
    edit_filename->setText(v.FileName);
    edit_filename->setEnabled(v.FileNameEnabled);
    btnFilename->setEnabled(v.FileButtonEnabled);
    btn_Add->setEnabled(v.AddEnabled);
    btn_Delete->setEnabled(v.DeleteEnabled);
    btn_Update->setEnabled(v.UpdateEnabled);
}

void TfrmSqlSchedule::Act(void (SqlScheduleController::*rule)())
{
    // The window's close takes its schedule with it: nothing is left to act on.
    if (!window_) return;
    controller_.View.Date = DateTimePicker_date->date();
    controller_.View.Time = DateTimePicker_time->time();
    (controller_.*rule)();
    ShowView();
}

void TfrmSqlSchedule::btn_AddClick() { Act(&SqlScheduleController::Add); }
void TfrmSqlSchedule::btn_UpdateClick() { Act(&SqlScheduleController::Change); }
void TfrmSqlSchedule::btn_DeleteClick() { Act(&SqlScheduleController::Delete); }
void TfrmSqlSchedule::btnFilenameClick() { Act(&SqlScheduleController::ChooseFile); }
void TfrmSqlSchedule::Btn_closeClick() { reject(); }

void TfrmSqlSchedule::ClearLineOf(std::uint64_t handle)
{
    controller_.ClearLineOf(handle);
    if (controller_.View.Lines.isEmpty()) CheckListBox1->clear();
}
