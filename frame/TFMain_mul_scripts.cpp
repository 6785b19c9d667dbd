#include "TFMain_mul.h"

#include "FileChooser.h"
#include "Prompter.h"
#include "QueryWindowNaming.h"
#include "SaveFileChoice.h"
#include "SqlEditorText.h"
#include "SqlScriptFile.h"
#include "SqlScriptLoader.h"
#include "TFMain.h"

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPointer>
#include <QThread>

#include <memory>

// ---- SQL scripts: open into and save from a query window's editor ----

namespace {

FileChooser::Request ScriptDialog(QWidget* parent, const QString& name, const QString& title, FileChooser::Mode kind)
{
    FileChooser::Request request;
    request.Parent = parent;
    request.Name = name;
    request.Title = title;
    request.Kind = kind;
    request.Filters = {QStringLiteral("SQL文件(*.sql)"), QStringLiteral("所有文件(*)")};
    return request;
}

// The default extension: a name chosen without one gets ".sql".
QString WithDefaultExtension(const QString& chosen, int)
{
    return QFileInfo(chosen).suffix().isEmpty() ? chosen + QStringLiteral(".sql") : chosen;
}

// The number of the window's last open command.
constexpr char OpenTicket[] = "scriptOpenTicket";

// Puts a script that was read into the window, or says why it could not be read.
void ShowScript(TFMain_mul& frame, const QPointer<TFMain>& w, const QString& path, const SqlScriptFile::ReadResult& read)
{
    if (!w) return;
    if (!read.Ok) {
        // The editor, the caption and the Windows-menu item stay as they were.
        Prompter::Current().Message(path + QStringLiteral(": ") + read.Error, frame.windowTitle(), Prompter::Icon::Error,
                                    Prompter::Ok);
        return;
    }
    const QString caption = QueryWindowNaming::QueryWindowCaption(w->DSN, w->User, QFileInfo(path).absoluteFilePath());
    // A big script comes in slices; the window is named for it once the editor holds it whole.
    const QPointer<TFMain_mul> f(&frame);
    SqlScriptLoader::Load(*w, read.Text, [f, w, caption] {
        if (!w) return;
        // The text is the file's: closing the window asks nothing until it is changed.
        w->RichEdit_sql->document()->setModified(false);
        w->setWindowTitle(caption);
        if (f) f->RenameWindowMenuEntry(w->Handle(), caption);
    });
}

} // namespace

void TFMain_mul::OpenSqlScript(TFMain& window)
{
    const QPointer<TFMain> w(&window);
    const FileChooser::Answer answer = FileChooser::Current().Choose(
        ScriptDialog(this, QStringLiteral("OpenDialog_sql"), QStringLiteral("打开SQL文件"), FileChooser::Mode::Open));
    if (!answer.Accepted || answer.Path.isEmpty() || !w) return;

    // Only the window's last open counts when an earlier one is still being read.
    const int ticket = w->property(OpenTicket).toInt() + 1;
    w->setProperty(OpenTicket, ticket);
    const QString path = answer.Path;
    if (QFileInfo(path).size() < SqlScriptLoader::SlicedFrom) {
        ShowScript(*this, w, path, SqlScriptFile::Read(path));
        return;
    }
    // A big file is read and decoded off the window's thread: the window answers meanwhile.
    auto read = std::make_shared<SqlScriptFile::ReadResult>();
    QThread* reader = QThread::create([path, read] { *read = SqlScriptFile::Read(path); });
    connect(reader, &QThread::finished, reader, &QObject::deleteLater);
    connect(reader, &QThread::finished, this, [this, w, path, read, ticket] {
        if (w && w->property(OpenTicket).toInt() == ticket) ShowScript(*this, w, path, *read);
    });
    reader->start();
}

void TFMain_mul::ToolButton_opensqlClick()
{
    if (TFMain* w = ActiveQueryWindow()) OpenSqlScript(*w);
}

TFMain_mul::ScriptSave TFMain_mul::SaveSqlScript(TFMain& window)
{
    const QPointer<TFMain> w(&window);
    w->SyncFrameToolbar();
    const QString text = SqlEditorText::Of(*w->RichEdit_sql->document());
    if (text.isEmpty()) {
        w->SyncFrameToolbar();
        return ScriptSave::NothingToSave;
    }

    FileChooser::Request request =
        ScriptDialog(this, QStringLiteral("SaveDialog_sql"), QStringLiteral("保存SQL文件"), FileChooser::Mode::Save);
    const SaveFileChoice::Result chosen = SaveFileChoice::Choose(request, WithDefaultExtension);
    // The window may have gone while the dialog was open.
    if (!w) return ScriptSave::Cancelled;
    ScriptSave result = ScriptSave::Cancelled;
    if (chosen.Accepted) {
        QString error;
        if (!SqlScriptFile::Write(chosen.Path, SqlScriptFile::EditorLines(text), &error)) {
            // The old file stays whole; the editor keeps its modified mark, the window its caption.
            Prompter::Current().Message(chosen.Path + QStringLiteral(": ") + error, windowTitle(),
                                        Prompter::Icon::Error, Prompter::Ok);
            result = ScriptSave::Failed;
        } else {
            w->RichEdit_sql->document()->setModified(false);
            const QString caption =
                QueryWindowNaming::QueryWindowCaption(w->DSN, w->User, QFileInfo(chosen.Path).absoluteFilePath());
            w->setWindowTitle(caption);
            RenameWindowMenuEntry(w->Handle(), caption);
            result = ScriptSave::Saved;
        }
    }
    w->SyncFrameToolbar();
    return result;
}

void TFMain_mul::ToolButton_savesqlClick()
{
    if (TFMain* w = ActiveQueryWindow()) SaveSqlScript(*w);
}
