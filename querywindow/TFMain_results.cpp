// The query window's results area: the result grids' handlers, page changes, the messages page
// and the export of a grid.
#include "TFMain.h"

#include "DesktopOpener.h"
#include "Prompter.h"
#include "ResultExportFile.h"
#include "ResultGrid.h"
#include "ResultGridCopyText.h"
#include "ResultGridModel.h"
#include "ResultGridMouseDown.h"
#include "ResultMessagesCommands.h"
#include "SaveFileChoice.h"
#include "Settings.h"
#include "SqlTextRoutines.h"
#include "StatusPanelBar.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPointer>
#include "ResultPageControl.h"
#include <QThreadPool>

#include <memory>

namespace {

constexpr Qt::KeyboardModifiers ShiftCtrlAlt = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

const QString ExportCaption = QStringLiteral("提示");

QString Moment(const QDateTime& t) { return t.toLocalTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")); }

QString Elapsed(const QDateTime& from, const QDateTime& to) { return QString::fromStdString(FormatElapsedTime(from, to)); }

// The number after prefix in text ("STRINGGRID2", "结果3"); -1 when there is none.
int NumberAfter(const QString& text, const QString& prefix)
{
    const qsizetype at = text.indexOf(prefix);
    if (at < 0) return -1;
    bool ok = false;
    const int n = text.mid(at + prefix.size()).toInt(&ok);
    return ok ? n : -1;
}

// What the user learns once an export has ended: why the file was not written, or the file
// opened with the desktop's program when the settings ask for it.
void ReportExport(const QString& path, const QString& error)
{
    if (!error.isEmpty()) {
        Prompter::Current().Message(path + QStringLiteral(": ") + error, ExportCaption, Prompter::Icon::Error, Prompter::Ok);
        return;
    }
    if (!Settings::FileOpenByExcelAuto || !ResultExportFile::IsCsvName(path)) return;
    DesktopOpener& desktop = DesktopOpener::Current();
    if (!desktop.HasProgramFor(QStringLiteral("text/csv"))) {
        Prompter::Current().Message(QStringLiteral("您的机器里未安装Microsoft Excel"), ExportCaption,
                                    Prompter::Icon::Information, Prompter::Ok);
        return;
    }
    desktop.OpenFile(path);
}

} // namespace

void TFMain::BuildResultHandlers()
{
    messagesCommands_ = new ResultMessagesCommands(*this);
    connect(btnEport, &QAction::triggered, this, &TFMain::btnEportClick);
}

void TFMain::BindResultGrid(ResultGrid& grid)
{
    ResultGrid* g = &grid;
    grid.OnEnter = [this, g] { ResultGridEnter(g); };
    grid.OnExit = [this, g] { ResultGridExit(g); };
    grid.OnDblClick = [this, g] { ResultGridDblClick(g); };
    grid.OnKeyDown = [this, g](int& key, Qt::KeyboardModifiers shift) { ResultGridKeyDown(g, key, shift); };
    grid.OnMouseDown = [this, g](Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
        ResultGridMouseDown(g, button, shift, x, y);
    };
}

TQryResult_Tesk* TFMain::ResultOfGrid(const ResultGrid* grid) const
{
    const int n = grid ? NumberAfter(grid->objectName(), QStringLiteral("STRINGGRID")) : -1;
    if (n < 0 || static_cast<std::size_t>(n) >= Results.size()) return nullptr;
    return Results[static_cast<std::size_t>(n)].get();
}

// ---- result grids ----

void TFMain::ResultGridEnter(ResultGrid* sender)
{
    // The grid's own window, whichever window is active.
    const TQryResult_Tesk* r = ResultOfGrid(sender);
    if (!r) return;
    StatusBar1->SetPanelText(0, QStringLiteral("开始执行时间：") + Moment(r->StartTime));
    StatusBar1->SetPanelText(1, QStringLiteral("执行所需时间：") + Elapsed(r->StartTime, r->EndTime));
    StatusBar1->SetPanelText(2, RowsStatusText(QStringLiteral("返回结果行数："), r->RowCount, r->Cancelled, r->FetchFailed));
}

void TFMain::ResultGridExit(ResultGrid*)
{
    StatusBar1->SetPanelText(0, QStringLiteral("开始执行时间：") + Moment(RunStart));
    StatusBar1->SetPanelText(1, QStringLiteral("执行总时间：") + Elapsed(RunStart, RunEnd));
    StatusBar1->SetPanelText(2, RowsStatusText(QStringLiteral("共返回结果行数："), TotalRows, RunCancelled, RunFetchFailed));
}

void TFMain::ResultGridDblClick(ResultGrid* sender)
{
    if (sender) sender->SetRowSelect(!sender->RowSelect());
}

void TFMain::ResultGridKeyDown(ResultGrid* sender, int& key, Qt::KeyboardModifiers shift)
{
    if (!sender || !sender->Model() || (shift & ShiftCtrlAlt) != Qt::ControlModifier) return;
    if (key == Qt::Key_C) {
        const std::string text =
            ResultGridCopyText(sender->Model()->Cells(), sender->Selection(), Settings::ExportWithTblColumn);
        QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    } else if (key == Qt::Key_A) {
        sender->SetSelection({1, 1, sender->ColCount() - 1, sender->RowCount() - 1});
    }
}

void TFMain::ResultGridMouseDown(ResultGrid* sender, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y)
{
    TQryResult_Tesk* r = ResultOfGrid(sender);
    if (r) HandleResultGridMouseDown(*r, *sender, button, x, y);
}

void TFMain::PageControl_resultChange()
{
    const int page = PageControl_result->currentIndex();
    if (page <= 0) {
        RichEdit_result->setFocus(Qt::OtherFocusReason);
        return;
    }
    const int n = NumberAfter(PageControl_result->tabText(page), QStringLiteral("结果"));
    if (n < 1 || static_cast<std::size_t>(n) > ResultGrids.size() || !ResultGrids[static_cast<std::size_t>(n - 1)])
        return;
    ResultGrid* grid = ResultGrids[static_cast<std::size_t>(n - 1)];
    grid->SetCurrentCell(1, 1);
    grid->setFocus(Qt::OtherFocusReason);
}

// ---- messages page ----

void TFMain::RichEdit_resultKeyDown(int& key, Qt::KeyboardModifiers shift) { messagesCommands_->KeyDown(key, shift); }
void TFMain::RichEdit_resultMouseDown(Qt::MouseButton button) { messagesCommands_->MouseDown(button); }
void TFMain::N_richeditresult_cutClick() { messagesCommands_->Cut(); }
void TFMain::N_richeditresult_copyClick() { messagesCommands_->Copy(); }
void TFMain::N_richeditresult_pasteClick() { messagesCommands_->Paste(); }
void TFMain::N_richeditresult_selectallClick() { messagesCommands_->SelectAll(); }
void TFMain::N_richeditresult_fontClick() { messagesCommands_->FontClick(); }

// ---- export ----

void TFMain::btnEportClick()
{
    // One export at a time: the command does nothing until the running one has ended.
    if (exporting_) return;
    const int page = PageControl_result->currentIndex();
    const QString caption = page >= 0 ? PageControl_result->tabText(page) : QString();
    const int n = NumberAfter(caption, QStringLiteral("结果"));
    ResultGrid* grid = n >= 1 && static_cast<std::size_t>(n) <= ResultGrids.size()
                           ? ResultGrids[static_cast<std::size_t>(n - 1)]
                           : nullptr;
    if (!caption.contains(QStringLiteral("结果")) || !grid || !grid->Model()) {
        Prompter::Current().Message(QStringLiteral("请选中要导出结果的网格"), ExportCaption,
                                    Prompter::Icon::Information, Prompter::Ok);
        return;
    }
    // The file gets the grid's order: not while a sort is still putting it in place.
    if (grid->Model()->Sorting()) return;

    FileChooser::Request request;
    request.Parent = this;
    request.Name = QStringLiteral("SaveDialog1");
    request.Title = QStringLiteral("保存查询结果");
    request.Filters = {QStringLiteral("Csv Files(*.csv)"), QStringLiteral("Txt Files(*.txt)"),
                       QStringLiteral("All Files(*.*)")};
    const QPointer<ResultGrid> exported(grid);
    const SaveFileChoice::Result chosen = SaveFileChoice::Choose(request, ResultExportFile::CompleteName);
    // A new run may have replaced the grid while the dialog was open.
    if (!chosen.Accepted || !exported || exporting_ || exported->Model()->Sorting()) return;
    ExportGrid(*exported, chosen.Path);
}

void TFMain::ExportGrid(const ResultGrid& grid, const QString& path)
{
    const ResultGridCells& cells = grid.Model()->Cells();
    const bool withHeader = Settings::ExportWithTblColumn;
    const int rows = cells.DataRows();
    if (rows < ResultExportFile::BackgroundRows) {
        ReportExport(path, ResultExportFile::Write(path, cells, withHeader));
        return;
    }
    exporting_ = true;
    StatusBar1->ShowProgress(0, rows);
    // The rows in their order at the start (a sort meanwhile reorders the grid, not the file), on
    // the worker's own handle on the store, so a window closed meanwhile frees nothing under it.
    auto snapshot = std::make_shared<const ResultGridCells>(cells.Shared());
    const QPointer<TFMain> window(this);
    QThreadPool::globalInstance()->start([snapshot, path, withHeader, window, rows] {
        const auto progress = [window, rows](int written) {
            QMetaObject::invokeMethod(
                qApp,
                [window, rows, written] {
                    if (window && window->exporting_) window->StatusBar1->ShowProgress(written, rows);
                },
                Qt::QueuedConnection);
        };
        const QString error = ResultExportFile::Write(path, *snapshot, withHeader, progress);
        QMetaObject::invokeMethod(
            qApp,
            [window, path, error] {
                // A window closed meanwhile hears nothing: its file is in place whole, or the old one kept.
                if (!window) return;
                window->exporting_ = false;
                window->StatusBar1->HideProgress();
                ReportExport(path, error);
            },
            Qt::QueuedConnection);
    });
}
