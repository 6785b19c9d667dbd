#include "TFMain_mul.h"

#include "ClosingPrompts.h"
#include "ProgramGlobals.h"
#include "Prompter.h"
#include "StatusPanelBar.h"
#include "TFMain.h"
#include "TfrmSaveAll.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>

// ---- transactions and the frame's closing ----

namespace {

ClosingPrompts::Answer AnswerOf(Prompter::Button button)
{
    switch (button) {
    case Prompter::Yes: return ClosingPrompts::Answer::Yes;
    case Prompter::No: return ClosingPrompts::Answer::No;
    default: return ClosingPrompts::Answer::Cancel;
    }
}

bool HasUnsavedText(const TFMain& w)
{
    const QTextDocument* text = w.RichEdit_sql->document();
    return !text->isEmpty() && text->isModified();
}

} // namespace

void TFMain_mul::mainmenu_query_transmanagerClick()
{
    TFMain* active = ActiveQueryWindow();
    // A run holds the connection: ending its transaction would wait for the run's end with the
    // whole program frozen, and commit whatever the run had done by then.
    if (!active || active->RunCounter != 0) return;
    const QPointer<TFMain> w(active);
    // The worker of a run may change the state: it is read once.
    const std::uint8_t state = w->TransactionState;
    const ClosingPrompts::ManagerPrompt prompt = ClosingPrompts::ManagerPromptFor(state);
    if (!prompt.Choice) {
        Prompter::Current().Message(prompt.Text, w->windowTitle(), Prompter::Icon::Information, Prompter::Ok);
        return;
    }
    // While the question is up, no scheduled run may start in the window (the timer passes it over).
    transactionAsked_ = w;
    const Prompter::Button answer = Prompter::Current().Message(
        prompt.Text, w->windowTitle(), Prompter::Icon::Information, Prompter::Yes | Prompter::No | Prompter::Cancel);
    transactionAsked_ = nullptr;
    if (!w) return;
    const ClosingPrompts::ManagerAction action = ClosingPrompts::ManagerActionFor(state, AnswerOf(answer));
    if (action == ClosingPrompts::ManagerAction::Nothing) return;
    // A failed end keeps the state and the status text: the transaction may still be open.
    if (w->EndTransaction(action == ClosingPrompts::ManagerAction::Commit))
        w->StatusBar2->SetPanelText(1, QStringLiteral("不存在事务"));
}

bool TFMain_mul::SaveWindowScript(TFMain& window) { return SaveSqlScript(window) == ScriptSave::Saved; }

void TFMain_mul::FormCloseQuery(bool& canClose)
{
    bool noToAll = false;
    for (QList<TFMain*> windows = QueryWindows(); !windows.isEmpty(); windows = QueryWindows()) {
        TFMain* active = ActiveQueryWindow();
        const QPointer<TFMain> w(active ? active : windows.first());
        if (!noToAll && HasUnsavedText(*w)) {
            if (!frmSaveAll) frmSaveAll = new TfrmSaveAll(this);
            frmSaveAll->setWindowTitle(QStringLiteral("Tarnvale"));
            frmSaveAll->lbl_promption->setText(ClosingPrompts::SaveLabel(w->windowTitle()));
            const int result = frmSaveAll->exec();
            if (!w) continue;
            switch (result) {
            case TfrmSaveAll::mrYes:
                // The window closes only once its text is in a file.
                if (SaveWindowScript(*w)) break;
                canClose = false;
                return;
            case TfrmSaveAll::mrNo: break;
            case TfrmSaveAll::mrNoToAll: noToAll = true; break;
            default:
                canClose = false;
                return;
            }
            if (!w) continue;
        }
        CloseQueryWindow(*w, true);
    }
}

void TFMain_mul::CloseQueryWindow(TFMain& window, bool askTransaction)
{
    const QPointer<TFMain> w(&window);
    // No run starts in it from here on, and its own close handler stays out.
    w->MarkClosedByFrame();
    // The worker uses the connection and the window until it has ended.
    w->StopRunAndWait();
    if (!w) return;
    w->ReleaseConnection();
    if (askTransaction) w->AskToEndTransaction();
    w->FreeConnectionHandles();
    RemoveQueryWindow(w);
    if (QMdiSubWindow* sub = SubWindowOf(w)) sub->close();
}
