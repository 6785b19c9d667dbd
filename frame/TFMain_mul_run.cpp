#include "TFMain_mul.h"

#include "CommandImage.h"
#include "Prompter.h"
#include "ResultFileName.h"
#include "Settings.h"
#include "StatusPanelBar.h"
#include "TFMain.h"

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QTimer>

// ---- run, stop and display modes ----

namespace {

// The status texts of a run that starts now.
void ShowStartTexts(StatusPanelBar& bar)
{
    bar.SetPanelAlignment(0, Qt::AlignCenter);
    bar.SetPanelText(0, QStringLiteral("开始执行时间：") +
                            QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    bar.SetPanelText(1, QStringLiteral("执行所需时间："));
    bar.SetPanelText(2, QStringLiteral("返回结果行数："));
}

} // namespace

void TFMain_mul::SetDisplayAsText(bool asText)
{
    DisplayAsText = asText ? 1 : 0;
    menu_run_display_txt->setChecked(asText);
    menu_run_display_grid->setChecked(!asText);
    N_text->setChecked(asText);
    N_grid->setChecked(!asText);
    menu_run_display_File->setChecked(false);
    N_File->setChecked(false);
    DisplayToFile = 0;
    CommandImage::Set(ToolButton_display, asText ? CommandImage::TextDisplay : CommandImage::GridDisplay);
    CommandImage::Set(mainmenu_query_display, CommandImage::Of(ToolButton_display));
}

void TFMain_mul::SetDisplayToFile(bool toFile)
{
    DisplayToFile = toFile ? 1 : 0;
    DisplayAsText = toFile ? 1 : 0;
    menu_run_display_File->setChecked(toFile);
    menu_run_display_txt->setChecked(!toFile);
    menu_run_display_grid->setChecked(!toFile);
    N_File->setChecked(toFile);
    N_text->setChecked(!toFile);
    N_grid->setChecked(!toFile);
    if (toFile) {
        CommandImage::Set(ToolButton_display, CommandImage::FileDisplay);
        CommandImage::Set(mainmenu_query_display, CommandImage::FileDisplay);
    }
}

void TFMain_mul::RefuseDisplayMode(TFMain& window, const QString& message)
{
    Prompter::Current().Message(message, windowTitle(), Prompter::Icon::Exclamation, Prompter::Ok);
    // The click checked the item already: the window's own marks go back onto the frame.
    window.SyncFrameToolbar();
}

void TFMain_mul::menu_run_display_gridClick()
{
    TFMain* w = ActiveQueryWindow();
    if (!w) return;
    if (w->HasSchedule && w->ScheduleDisplayMode != 0) {
        RefuseDisplayMode(*w, QStringLiteral("SQL 执行计划中是保存结果到文件，所以不能更改显示结果的方式！"));
        return;
    }
    DisplayAsText = 0;
    DisplayToFile = 0;
    SetDisplayAsText(false);
    w->menu_run_display_gridClick();
}

void TFMain_mul::menu_run_display_txtClick()
{
    TFMain* w = ActiveQueryWindow();
    if (!w) return;
    if (w->HasSchedule && w->ScheduleDisplayMode != 1) {
        RefuseDisplayMode(
            *w, QStringLiteral("SQL 执行计划中是 以表格显示结果或者保存结果到文件，所以不能更改显示结果的方式！"));
        return;
    }
    DisplayAsText = 1;
    DisplayToFile = 0;
    SetDisplayAsText(true);
    w->menu_run_display_txtClick();
}

void TFMain_mul::menu_run_display_FileClick()
{
    TFMain* w = ActiveQueryWindow();
    if (!w) return;
    if (w->HasSchedule && w->ScheduleDisplayMode != 2) {
        RefuseDisplayMode(*w, QStringLiteral("SQL 执行计划中是以表格显示结果，所以不能更改显示结果的方式！"));
        return;
    }
    DisplayAsText = 1;
    DisplayToFile = 1;
    SetDisplayToFile(true);
    w->menu_run_display_FileClick();
}

MuliThread* TFMain_mul::RunningWorkerOf(TFMain& window) const
{
    MuliThread* worker =
        WorkerThreadTable::HasSlot(window.WindowNumber) ? ThreadTable.At(window.WindowNumber) : window.RunWorker.data();
    if (!worker || worker->isFinished() || window.RunCounter == 0) return nullptr;
    return worker;
}

bool TFMain_mul::StartRun(TFMain& w)
{
    struct Before {
        QString Texts[3];
        Qt::Alignment Alignment;
        bool Export, EportButton, Save, Stop, Run;
    } before{{w.StatusBar1->PanelText(0), w.StatusBar1->PanelText(1), w.StatusBar1->PanelText(2)},
             w.StatusBar1->PanelAlignment(0),
             w.ToolButton_export->isEnabled(),
             w.btnEport->isEnabled(),
             w.mainmenu_query_save->isEnabled(),
             w.ToolButton_stop->isEnabled(),
             w.ToolButton_run->isEnabled()};

    ShowStartTexts(*w.StatusBar1);
    w.btnEport->setEnabled(false);
    w.ToolButton_export->setEnabled(false);
    w.mainmenu_query_save->setEnabled(w.ToolButton_export->isEnabled());
    w.ToolButton_stop->setEnabled(true);
    w.ToolButton_run->setEnabled(false);
    w.SyncFrameToolbar();

    if (w.RunCounter != 0) return true;
    try {
        RunOptions options;
        const QTextCursor cursor = w.RichEdit_sql->textCursor();
        options.SqlText = cursor.hasSelection() ? cursor.selectedText() : w.RichEdit_sql->toPlainText();
        options.TextQualifier = Settings::TextQualifier;
        options.WriteColumnHeader = Settings::ExportWithTblColumn;
        options.MaxFieldLenOfSqlResult = Settings::MaxFieldLenOfSqlResult;
        auto* worker = new MuliThread(w, w, options, w.User, w.Password, w.DSN);
        // A window numbered beyond the table has no slot: its own reference serves the stop.
        ThreadTable.Set(w.WindowNumber, worker);
        w.RunWorker = worker;
        worker->WindowHandle = w.Handle();
        MarkWindowBusy(w.Handle());
        return true;
    } catch (const std::exception& e) {
        for (int i = 0; i < 3; ++i) w.StatusBar1->SetPanelText(i, before.Texts[i]);
        w.StatusBar1->SetPanelAlignment(0, before.Alignment);
        w.ToolButton_export->setEnabled(before.Export);
        w.btnEport->setEnabled(before.EportButton);
        w.mainmenu_query_save->setEnabled(before.Save);
        w.ToolButton_stop->setEnabled(before.Stop);
        w.ToolButton_run->setEnabled(before.Run);
        w.SyncFrameToolbar();
        const QString error = QString::fromLocal8Bit(e.what());
        ReportStartFailure(w, error, {error});
        return false;
    }
}

void TFMain_mul::ToolButton_runClick()
{
    if (TFMain* w = ActiveQueryWindow()) RunQueryWindow(*w);
}

void TFMain_mul::RunQueryWindow(TFMain& window)
{
    TFMain* w = &window;
    if (w->IsClosing()) return;
    if (w->HasSchedule) {
        Prompter::Current().Message(QStringLiteral("因为存在执行计划，所以不能够手工执行SQL命令。") + QStringLiteral("\n\n") +
                                        QStringLiteral("如果想要手工执行SQL命令，请先删除执行计划！"),
                                    windowTitle(), Prompter::Icon::Exclamation, Prompter::Ok);
        return;
    }
    if (w->RunCounter != 0) return;
    if (!w->DisplayToFile) {
        StartRun(*w);
        return;
    }
    const QPointer<TFMain> alive(w);
    const QString name = ResultFileName::Choose(w);
    // The window may have closed or started a run while the dialog was open.
    if (name.isEmpty() || !alive || w->IsClosing() || w->RunCounter != 0) return;
    StartRunToFile(*w, name);
}

bool TFMain_mul::StartRunToFile(TFMain& w, const QString& name)
{
    w.ResultFileName = name;
    std::FILE* file = std::fopen(QFile::encodeName(name).constData(), "wb");
    if (!file) {
        const QString error = name + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
        ReportStartFailure(w, error, {QString(), QStringLiteral("下列文件保存失败:"), QString(), error});
        return false;
    }
    w.ResultFile = file;
    if (StartRun(w)) return true;
    std::fclose(file);
    w.ResultFile = nullptr;
    return false;
}

void TFMain_mul::ReportStartFailure(TFMain& w, const QString& error, const QStringList& messageLines)
{
    if (!scheduleTicking_) {
        Prompter::Current().Message(error, windowTitle(), Prompter::Icon::Error, Prompter::Ok);
        return;
    }
    // A scheduled start: the window tells what happened to whoever comes back to it, and the box
    // waits for the end of the tick, so that other windows' schedules start while it is open.
    w.PrepareForRun();
    ShowStartTexts(*w.StatusBar1);
    w.AppendResultLines(messageLines);
    QTimer::singleShot(0, this, [this, error] {
        if (!closing_) Prompter::Current().Message(error, windowTitle(), Prompter::Icon::Error, Prompter::Ok);
    });
}

void TFMain_mul::ToolButton_stopClick()
{
    TFMain* w = ActiveQueryWindow();
    if (!w) return;
    if (MuliThread* worker = RunningWorkerOf(*w)) MuliThread::StopRun(*w, worker);
}
