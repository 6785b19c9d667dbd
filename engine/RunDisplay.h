// What a run asks of the user interface. Every call comes on the user-interface thread, while the
// worker waits in its hand-off, so the window's run state may be read without a lock.
#pragma once

#include <QString>
#include <QStringList>

class MuliThread;
class QObject;

// The status texts and button states at the end of a run.
struct RunEndTexts {
    QString StartText;   // "开始执行时间：" + start moment
    QString TimeText;    // "执行总时间：" + elapsed time
    QString RowsText;    // "共返回结果行数：" + rows, or "( 用户已取消查询 )"
    bool ExportEnabled = false;
    bool MessagesToFront = false; // a result ends at a failed fetch: its error is on the messages page
};

// The rows text of a run's or a result's status: label + rows; "( 用户已取消查询 )" when cancelled;
// a result that ends at a failed fetch says so behind its rows.
QString RowsStatusText(const QString& label, long long rows, bool cancelled, bool fetchFailed);

class RunDisplay {
public:
    virtual ~RunDisplay() = default;
    // An object of the user-interface thread: the hand-offs are queued on it.
    virtual QObject* DisplayContext() = 0;
    // Clears the previous run's pages and messages and shows the results area (run creation).
    virtual void PrepareForRun() = 0;
    // Shows the current statement: its page and grid or its text lines, and its messages; brings
    // the last page to the front. It may take the window's ResultLines for a grid.
    virtual void ShowStatementResult(MuliThread& run) = 0;
    // A transaction may be open after the statement.
    virtual void ShowTransactionNote() = 0;
    // After a statement was shown: the display has a frame to paint, so the next statement's
    // hand-off waits for the event loop's turn.
    virtual bool FrameDue() const { return false; }
    // The end of the run: status texts, Run and Stop, the busy mark, the frame's tool bar.
    virtual void ShowRunEnd(MuliThread& run, const RunEndTexts& texts) = 0;
    // The report of a save-to-file run's result file, appended to the messages.
    virtual void ShowFileReport(MuliThread& run, const QStringList& lines) = 0;
};
