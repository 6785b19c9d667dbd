#include "TFMain_mul.h"

#include "FileChooser.h"
#include "ModalDialogs.h"
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

const QString UndecodableNote =
    QStringLiteral("文件中有既非UTF-8也非GB18030编码的字节，编辑器中显示为\uFFFD。保存时将以UTF-8写入，这些字节将被替换。");
const QString UndecodableQuestion =
    QStringLiteral("打开此脚本时有无法识别的字节，编辑器中显示为\uFFFD。保存将以UTF-8写入，替换这些字节。\n要保存吗？");

// The number of the window's last open command.
constexpr char OpenTicket[] = "scriptOpenTicket";

// Puts a script that was read into the window, or says why it could not be read.
void PutScript(TFMain_mul& frame, const QPointer<TFMain>& w, const QString& path, const SqlScriptFile::ReadResult& read)
{
    // A script read in the background never replaces the text of a window that is asking about it.
    if (!w || w->IsClosing()) return;
    if (ModalDialogs::AnyRunning()) {
        const QPointer<TFMain_mul> f(&frame);
        const int ticket = w->property(OpenTicket).toInt();
        ModalDialogs::AfterTheLast(w, [f, w, path, read, ticket] {
            if (f && w && w->property(OpenTicket).toInt() == ticket) PutScript(*f, w, path, read);
        });
        return;
    }
    if (!read.Ok) {
        // The editor, the caption and the Windows-menu item stay as they were.
        Prompter::Current().Message(path + QStringLiteral(": ") + read.Error, frame.windowTitle(), Prompter::Icon::Error,
                                    Prompter::Ok);
        return;
    }
    const QString caption = QueryWindowNaming::QueryWindowCaption(w->DSN, w->User, QFileInfo(path).absoluteFilePath());
    // A big script comes in slices; the window is named for it once the editor holds it whole.
    const QPointer<TFMain_mul> f(&frame);
    const ScriptFileForm form = read.Form;
    SqlScriptLoader::Load(*w, read.Text, [f, w, caption, path, form] {
        if (!w) return;
        // The text is the file's: closing the window asks nothing until it is changed.
        w->RichEdit_sql->document()->setModified(false);
        w->ScriptForm = form;
        w->setWindowTitle(caption);
        if (!f) return;
        f->RenameWindowMenuEntry(w->Handle(), caption);
        if (form.Undecodable)
            Prompter::Current().Message(path + QStringLiteral(": ") + UndecodableNote, f->windowTitle(),
                                        Prompter::Icon::Exclamation, Prompter::Ok);
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
        PutScript(*this, w, path, SqlScriptFile::Read(path));
        return;
    }
    // A big file is read and decoded off the window's thread: the window answers meanwhile.
    auto read = std::make_shared<SqlScriptFile::ReadResult>();
    QThread* reader = QThread::create([path, read] { *read = SqlScriptFile::Read(path); });
    connect(reader, &QThread::finished, reader, &QObject::deleteLater);
    connect(reader, &QThread::finished, this, [this, w, path, read, ticket] {
        if (w && w->property(OpenTicket).toInt() == ticket) PutScript(*this, w, path, *read);
    });
    reader->start();
}

void TFMain_mul::ShowScript(TFMain& window, const QString& path, const SqlScriptFile::ReadResult& script)
{
    window.RichEdit_sql->setPlainText(script.Text);
    window.ScriptForm = script.Form;
    if (script.Form.Undecodable)
        Prompter::Current().Message(path + QStringLiteral(": ") + UndecodableNote, windowTitle(),
                                    Prompter::Icon::Exclamation, Prompter::Ok);
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

    // The bytes that did not decode are the user's: replaced only when the user says so.
    if (w->ScriptForm.Undecodable) {
        const Prompter::Button answer = Prompter::Current().Message(UndecodableQuestion, windowTitle(),
                                                                    Prompter::Icon::Question, Prompter::Yes | Prompter::No);
        if (!w) return ScriptSave::Cancelled;
        if (answer != Prompter::Yes) {
            w->SyncFrameToolbar();
            return ScriptSave::Cancelled;
        }
    }
    FileChooser::Request request =
        ScriptDialog(this, QStringLiteral("SaveDialog_sql"), QStringLiteral("保存SQL文件"), FileChooser::Mode::Save);
    const SaveFileChoice::Result chosen = SaveFileChoice::Choose(request, WithDefaultExtension);
    // The window may have gone while the dialog was open.
    if (!w) return ScriptSave::Cancelled;
    ScriptSave result = ScriptSave::Cancelled;
    if (chosen.Accepted) {
        QString error;
        if (!SqlScriptFile::Write(chosen.Path, SqlScriptFile::EditorLines(text), w->ScriptForm, &error)) {
            // The old file stays whole; the editor keeps its modified mark, the window its caption.
            Prompter::Current().Message(chosen.Path + QStringLiteral(": ") + error, windowTitle(),
                                        Prompter::Icon::Error, Prompter::Ok);
            result = ScriptSave::Failed;
        } else {
            w->RichEdit_sql->document()->setModified(false);
            w->ScriptForm.Undecodable = false;
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
