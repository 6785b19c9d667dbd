#include "SqlScheduleController.h"

#include "Prompter.h"
#include "ResultFileName.h"
#include "ScheduleListLine.h"

namespace {

constexpr int GridItem = 0;
constexpr int FileItem = 2;

} // namespace

SqlScheduleController::SqlScheduleController(QueryWindowState& window, QueryWindowSchedule& schedule,
                                             std::uint64_t handle, const ScheduleClock& clock)
    : window_(window), schedule_(schedule), handle_(handle), clock_(clock)
{
}

void SqlScheduleController::Refuse(const QString& text) const
{
    Prompter::Current().Message(text, Caption, Prompter::Icon::Exclamation, Prompter::Ok);
}

void SqlScheduleController::Report(const QString& text) const
{
    if (ShowView) ShowView();
    Prompter::Current().Message(text, QStringLiteral("提示"), Prompter::Icon::Information, Prompter::Ok);
}

bool SqlScheduleController::FileMissing() const { return window_.DisplayToFile == 1 && View.FileName.isEmpty(); }

void SqlScheduleController::FormCreate()
{
    View.FileNameEnabled = View.FileButtonEnabled = window_.DisplayToFile == 1;
    if (schedule_.HasSchedule) {
        View.AddEnabled = false;
        View.Lines = {ScheduleListLine::Of(handle_, schedule_.ScheduleMoment)};
        View.Date = schedule_.ScheduleDate;
        View.Time = schedule_.ScheduleTime;
        View.DisplayIndex = schedule_.ScheduleDisplayMode;
        View.FileName = schedule_.ScheduleFileName;
        return;
    }
    // The current minute with 01 seconds: a schedule added at once is due at once.
    const QDateTime now = clock_.Now();
    View.Date = now.date();
    View.Time = QTime(now.time().hour(), now.time().minute(), 1);
    View.DeleteEnabled = View.UpdateEnabled = false;
    View.Lines.clear();
    View.DisplayIndex = -1;
}

void SqlScheduleController::Store()
{
    View.Lines.clear();
    schedule_.HasSchedule = 1;
    schedule_.ScheduleDate = View.Date;
    schedule_.ScheduleTime = QTime(View.Time.hour(), View.Time.minute(), View.Time.second());
    // The moment may lie in the past: it is then due at the next tick.
    schedule_.ScheduleMoment = QDateTime(schedule_.ScheduleDate, schedule_.ScheduleTime);
    View.Lines = {ScheduleListLine::Of(handle_, schedule_.ScheduleMoment)};
    View.Date = schedule_.ScheduleDate;
    View.Time = schedule_.ScheduleTime;
    View.FileButtonEnabled = schedule_.ScheduleDisplayMode == ScheduleModes::File;
    View.DeleteEnabled = View.UpdateEnabled = true;
}

void SqlScheduleController::Add()
{
    if (FileMissing()) {
        Refuse(QStringLiteral("结果保存成文件时，必须选择文件！"));
        return;
    }
    if (schedule_.HasSchedule) {
        Refuse(QStringLiteral("已经存在执行计划，不允许再增加，但可以修改！"));
        return;
    }
    if (window_.DisplayToFile == 1) {
        schedule_.ScheduleDisplayMode = ScheduleModes::File;
        schedule_.ScheduleFileName = View.FileName;
        View.DisplayIndex = FileItem;
    } else if (window_.DisplayAsText == 1) {
        Refuse(QStringLiteral("执行计划显示结果只支持 以表格显示结果和保存结果到文件 两种方式！"));
        View.DisplayIndex = -1;
        return;
    } else {
        schedule_.ScheduleDisplayMode = ScheduleModes::Grid;
        View.DisplayIndex = GridItem;
    }
    Store();
    View.AddEnabled = false;
    Report(QStringLiteral("成功增加执行计划！"));
}

void SqlScheduleController::Change()
{
    if (FileMissing()) {
        Refuse(QStringLiteral("结果保存成文件时，必须选择文件！"));
        return;
    }
    if (!schedule_.HasSchedule) {
        Refuse(QStringLiteral("不存在执行计划，所以不允许修改，但可以增加！"));
        return;
    }
    if (View.DisplayIndex == FileItem) {
        schedule_.ScheduleDisplayMode = ScheduleModes::File;
        schedule_.ScheduleFileName = View.FileName;
    } else {
        schedule_.ScheduleDisplayMode = ScheduleModes::Grid;
    }
    Store();
    Report(QStringLiteral("成功修改执行计划！"));
}

void SqlScheduleController::Delete()
{
    if (!schedule_.HasSchedule) {
        Refuse(QStringLiteral("不存在执行计划，所以不允许删除！"));
        return;
    }
    schedule_.ClearSchedule();
    View.Lines.clear();
    View.DisplayIndex = -1;
    View.FileName.clear();
    View.Date = schedule_.ScheduleDate;
    View.Time = schedule_.ScheduleTime;
    View.DeleteEnabled = View.UpdateEnabled = false;
    View.AddEnabled = true;
    Report(QStringLiteral("成功删除执行计划！"));
}

void SqlScheduleController::ChooseFile()
{
    if (window_.DisplayToFile != 1) {
        Refuse(QStringLiteral("结果保存成文件时，才允许选择文件！"));
        return;
    }
    const QString name = ResultFileName::Choose(dialogParent_);
    if (name.isEmpty()) return;
    schedule_.ScheduleFileName = name;
    View.FileName = name;
}

void SqlScheduleController::ClearLineOf(std::uint64_t handle)
{
    if (!View.Lines.isEmpty() && ScheduleListLine::IsOf(View.Lines.first(), handle)) View.Lines.clear();
}
