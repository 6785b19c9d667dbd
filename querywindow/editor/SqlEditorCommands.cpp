#include "SqlEditorCommands.h"

#include "EditorBookkeeping.h"
#include "EditorDocuments.h"
#include "FindReplaceDialog.h"
#include "FontChooser.h"
#include "KeywordColouring.h"
#include "LongLineDisplay.h"
#include "QueryWindowFrame.h"
#include "SettingFont.h"
#include "Settings.h"
#include "SqlEditorText.h"
#include "SqlScriptLoader.h"
#include "TFMain.h"

#include <QAction>
#include <QClipboard>
#include <QCursor>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QResizeEvent>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

constexpr Qt::KeyboardModifiers ShiftCtrlAlt = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

} // namespace

SqlEditorCommands::SqlEditorCommands(TFMain& window) : QObject(&window), window_(window)
{
    QPlainTextEdit* editor = window_.RichEdit_sql;
    colouring_ = new KeywordColouring(*editor);
    longLines_ = new LongLineDisplay(*editor);
    // The pop-up menu opens only from the mouse-down handling.
    editor->setContextMenuPolicy(Qt::PreventContextMenu);
    editor->installEventFilter(this);
    editor->viewport()->installEventFilter(this);
    // Bound to this object, so that they end with it.
    connect(editor, &QPlainTextEdit::textChanged, this, [this] { window_.RichEdit_sqlChange(); });
    connect(editor, &QPlainTextEdit::selectionChanged, this, [this] { window_.RichEdit_sqlSelectionChange(); });
    WatchDocument();
    BuildPopupMenu();
}

void SqlEditorCommands::WatchDocument(const SnapshotText* known)
{
    QTextDocument* document = window_.RichEdit_sql->document();
    disconnect(watched_);
    shown_ = known ? *known : SnapshotText(SqlEditorText::Of(*document));
    watched_ = connect(document, &QTextDocument::contentsChange, this, &SqlEditorCommands::DocumentChanged);
}

void SqlEditorCommands::DocumentChanged(int position, int charsRemoved, int charsAdded)
{
    // The colouring changes formats only.
    if (colouring_->IsColouring()) return;
    const QTextDocument& document = *window_.RichEdit_sql->document();
    const qsizetype length = document.characterCount() - 1;
    // The change may be reported up to the document's final paragraph end, which is no character
    // of the text.
    const qsizetype removed = std::min<qsizetype>(charsRemoved, shown_.size() - position);
    const qsizetype added = std::min<qsizetype>(charsAdded, length - position);
    if (position < 0 || removed < 0 || added < 0 || shown_.size() - removed + added != length) {
        shown_ = SqlEditorText::Of(document);
        return;
    }
    QString inserted;
    if (added > 0) {
        QTextCursor range(const_cast<QTextDocument*>(&document));
        range.setPosition(position);
        range.setPosition(static_cast<int>(position + added), QTextCursor::KeepAnchor);
        inserted = range.selectedText();
        inserted.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    }
    shown_.Replace(position, removed, inserted);
}

void SqlEditorCommands::SetEnabled(const char* windowCommand, const std::optional<bool>& state)
{
    if (!state) return;
    if (QAction* a = window_.Command(QString::fromLatin1(windowCommand))) a->setEnabled(*state);
}

void SqlEditorCommands::CopyOntoFrame(const char* windowCommand, std::initializer_list<const char*> frameCommands)
{
    QueryWindowFrame* frame = window_.Frame();
    QAction* source = window_.Command(QString::fromLatin1(windowCommand));
    if (!frame || !source) return;
    for (const char* name : frameCommands)
        if (QAction* target = frame->FrameCommand(QString::fromLatin1(name))) target->setEnabled(source->isEnabled());
}

bool SqlEditorCommands::FrameCommandEnabled(const char* name) const
{
    const QString commandName = QString::fromLatin1(name);
    QAction* a = window_.Frame() ? window_.Frame()->FrameCommand(commandName) : nullptr;
    // A window without a frame follows its own command of the same name.
    if (!a) a = window_.Command(commandName);
    return a && a->isEnabled();
}

bool SqlEditorCommands::CallFrame(const char* handler)
{
    auto* frame = dynamic_cast<QObject*>(window_.Frame());
    return frame && QMetaObject::invokeMethod(frame, handler, Qt::DirectConnection);
}

void SqlEditorCommands::Change()
{
    // The colouring's own format changes are not edits.
    if (colouring_->IsColouring() || adopting_) return;
    ChangedTo(shown_);
}

void SqlEditorCommands::AdoptDocument(QTextDocument* document, const SnapshotText& text, bool coloured, bool longLine,
                                      const std::function<void()>& taken)
{
    QPlainTextEdit& editor = *window_.RichEdit_sql;
    // The editor's own documents (its first one and those of earlier hand-overs) go in slices once
    // the new one is shown: a big text's lines take long to free.
    QTextDocument* previous = editor.document();
    if (previous->parent() == &editor) RetiredDocument::Retire(previous, editor);
    document->setParent(&editor);
    // The display stops wrapping while the editor shows the smaller of the two documents: the
    // bigger one is not laid out again for it.
    const bool unwrapAfter = !longLine && document->characterCount() < previous->characterCount();
    if (!unwrapAfter) longLines_->Prepare(longLine);
    adopting_ = true;
    editor.setDocument(document);
    if (taken) taken();
    adopting_ = false;
    if (unwrapAfter) longLines_->Prepare(false);
    colouring_->DocumentReplaced();
    longLines_->DocumentReplaced();
    WatchDocument(&text);
    ChangedTo(text, coloured);
}

void SqlEditorCommands::ChangedTo(const SnapshotText& text, bool coloured)
{
    if (colouring_->IsColouring()) return;
    TFMain& w = window_;
    QPlainTextEdit& editor = *w.RichEdit_sql;

    // An undo or redo that put back the text already shown still ends its restoring state, so the
    // next edit records its snapshot.
    if (text != w.LastText || w.PastePending || w.RestoringHistory) {
        RecordCaretLine(editor, w.PastePending != 0);
        if (!w.RestoringHistory) {
            w.RecordSnapshot(text);
            if (Settings::WordsAnalyze && !coloured) HighlightFromLine();
            w.LastText = text;
            if (w.UndoCount > 0) {
                w.ToolButton_undosql->setEnabled(true);
                w.N_undo->setEnabled(true);
            }
        } else {
            w.RestoringHistory = 0;
            w.LastText = text;
            if (Settings::WordsAnalyze && !coloured) HighlightFromLine();
            QTextCursor caret = editor.textCursor();
            caret.setPosition(std::clamp(SavedCaretPos, 0, editor.document()->characterCount() - 1));
            editor.setTextCursor(caret);
            editor.ensureCursorVisible();
        }
        CopyOntoFrame("ToolButton_undosql", {"ToolButton_undosql", "mainmenu_eidt_undo"});
        CopyOntoFrame("ToolButton_redosql", {"ToolButton_redosql", "mainmenu_eidt_redo"});
        w.PastePending = 0;
    }

    const bool searchable = !text.isEmpty();
    for (QAction* a : {w.ToolButton_find, w.mainmenu_eidt_search, w.ToolButton_replace, w.mainmenu_eidt_replace})
        a->setEnabled(searchable);
    if (QueryWindowFrame* frame = w.Frame())
        for (const char* name : {"ToolButton_find", "mainmenu_eidt_search", "ToolButton_replace", "mainmenu_eidt_replace"})
            if (QAction* a = frame->FrameCommand(QString::fromLatin1(name))) a->setEnabled(searchable);
}

void SqlEditorCommands::HighlightFromLine() { colouring_->HighlightFromLine(ColouringStartLineIndex(), window_.DbmsKind); }

void SqlEditorCommands::BeforeHistoryStep()
{
    TFMain& w = window_;
    // Steps taken while one is still being put back count from the state before the first.
    if (restoring_ && SqlScriptLoader::Running(w) == restoring_.data()) return;
    auto on = [&w](const char* name) {
        QAction* a = w.Command(QString::fromLatin1(name));
        return a && a->isEnabled();
    };
    beforeRestore_ = {w.UndoCount, w.RedoCount, w.HistoryCursor, w.RestoringHistory,
                      on("ToolButton_undosql"), on("N_undo"), on("ToolButton_redosql"), on("N_redo")};
}

void SqlEditorCommands::RestoreGivenUp()
{
    TFMain& w = window_;
    const HistoryState& s = beforeRestore_;
    w.UndoCount = s.UndoCount;
    w.RedoCount = s.RedoCount;
    w.HistoryCursor = s.HistoryCursor;
    w.RestoringHistory = s.RestoringHistory;
    SetEnabled("ToolButton_undosql", s.UndoOn);
    SetEnabled("N_undo", s.UndoItemOn);
    SetEnabled("ToolButton_redosql", s.RedoOn);
    SetEnabled("N_redo", s.RedoItemOn);
    CopyOntoFrame("ToolButton_undosql", {"ToolButton_undosql", "mainmenu_eidt_undo"});
    CopyOntoFrame("ToolButton_redosql", {"ToolButton_redosql", "mainmenu_eidt_redo"});
}

void SqlEditorCommands::Restore(const SnapshotText& snapshot)
{
    TFMain& w = window_;
    QPlainTextEdit& editor = *w.RichEdit_sql;
    // A text still being put in, by an open or by an earlier step, gives way to this one.
    if (SqlScriptLoader* running = SqlScriptLoader::Running(w)) {
        superseding_ = true;
        running->Cancel();
        superseding_ = false;
    }
    const qsizetype start = SnapshotText::CommonStart(shown_, snapshot);
    const qsizetype end = std::min(SnapshotText::CommonEnd(shown_, snapshot), std::min(shown_.size(), snapshot.size()) - start);
    const qsizetype removed = shown_.size() - start - end;
    const qsizetype inserted = snapshot.size() - start - end;
    if (removed + inserted >= SqlScriptLoader::SlicedFrom && snapshot.size() < SqlScriptLoader::SlicedFrom) {
        // A small text in place of a big one: it goes into a new document, with the format a new
        // text takes, and the big one is emptied in slices afterwards.
        QTextDocument* document = NewEditorDocument(*editor.document());
        QTextCursor(document).insertText(snapshot.ToString(), editor.textCursor().charFormat());
        AdoptDocument(document, snapshot, false, LongLineDisplay::HasLongLine(*document));
        editor.document()->setModified(true);
        return;
    }
    if (removed + inserted >= SqlScriptLoader::SlicedFrom) {
        restoring_ = SqlScriptLoader::LoadEditorText(w, snapshot, [this] {
            // Putting a text back is an edit of the user's: the close prompt must still ask to save it.
            window_.RichEdit_sql->document()->setModified(true);
        });
        connect(restoring_.data(), &SqlScriptLoader::Ended, this, [this, loader = restoring_.data()](bool loaded) {
            if (restoring_ == loader) restoring_ = nullptr;
            if (!loaded && !superseding_) RestoreGivenUp();
        });
        return;
    }
    // Only the part that differs changes, with the format the whole text would take; the caret
    // first goes to the start, where putting the whole text in would leave it.
    const QTextCharFormat format = editor.textCursor().charFormat();
    editor.setTextCursor(QTextCursor(editor.document()));
    if (removed == 0 && inserted == 0) {
        // The text shown already: the change handler still ends the restoring state.
        w.RichEdit_sqlChange();
        editor.document()->setModified(true);
        return;
    }
    QString middle;
    middle.reserve(inserted);
    for (qsizetype at = start; at < start + inserted;) {
        const QStringView piece = snapshot.From(at).left(start + inserted - at);
        middle += piece;
        at += piece.size();
    }
    QTextCursor change(editor.document());
    change.beginEditBlock();
    change.setPosition(static_cast<int>(start));
    change.setPosition(static_cast<int>(start + removed), QTextCursor::KeepAnchor);
    change.insertText(middle, format);
    change.endEditBlock();
    editor.document()->setModified(true);
}

void SqlEditorCommands::Undo()
{
    TFMain& w = window_;
    w.PastePending = 0;
    SavedCaretPos = w.RichEdit_sql->textCursor().selectionStart();
    BeforeHistoryStep();
    const SnapshotText snapshot = w.StepBack();
    SetEnabled("ToolButton_redosql", SqlEditorHistory::OfferedState(w.RedoCount));
    SetEnabled("N_redo", SqlEditorHistory::OfferedState(w.RedoCount));
    SetEnabled("ToolButton_undosql", SqlEditorHistory::OfferedState(w.UndoCount));
    SetEnabled("N_undo", SqlEditorHistory::OfferedState(w.UndoCount));
    Restore(snapshot);
}

void SqlEditorCommands::Redo()
{
    TFMain& w = window_;
    w.PastePending = 0;
    SavedCaretPos = w.RichEdit_sql->textCursor().selectionStart();
    BeforeHistoryStep();
    const SnapshotText snapshot = w.StepForward();
    SetEnabled("ToolButton_undosql", SqlEditorHistory::OfferedState(w.UndoCount));
    SetEnabled("N_undo", SqlEditorHistory::OfferedState(w.UndoCount));
    SetEnabled("ToolButton_redosql", SqlEditorHistory::OfferedState(w.RedoCount));
    SetEnabled("N_redo", SqlEditorHistory::OfferedState(w.RedoCount));
    Restore(snapshot);
}

void SqlEditorCommands::ShowFindDialog() { ShowSearchDialog(window_.FindDialog_sql); }

void SqlEditorCommands::ShowSearchDialog(FindReplaceDialog* dialog)
{
    TFMain& w = window_;
    if (!dialog) return;
    w.RichEdit_sql->setFocus();
    dialog->move(w.width() / 2 - 100, w.RichEdit_sql->mapTo(&w, QPoint(0, 0)).y() + 100);
    const QTextCursor cursor = w.RichEdit_sql->textCursor();
    if (cursor.hasSelection()) dialog->SetFindText(cursor.selectedText());
    dialog->Execute();
}

bool SqlEditorCommands::HistoryKey(int key, Qt::KeyboardModifiers shift)
{
    const Qt::KeyboardModifiers modifiers = shift & ShiftCtrlAlt;
    const bool undo = modifiers == Qt::ControlModifier && key == Qt::Key_Z;
    const bool redo = (modifiers == Qt::ControlModifier && key == Qt::Key_Y) ||
                      (modifiers == (Qt::ControlModifier | Qt::ShiftModifier) && key == Qt::Key_Z);
    if (!undo && !redo) return false;
    TFMain& w = window_;
    // Offered as the window's buttons offer them; the frame's buttons follow before and after.
    QAction* command = undo ? w.ToolButton_undosql : w.ToolButton_redosql;
    if (command->isEnabled()) {
        w.SyncFrameToolbar();
        if (undo) w.ToolButton_undosqlClick();
        else w.ToolButton_redosqlClick();
        w.SyncFrameToolbar();
    }
    return true;
}

void SqlEditorCommands::KeyDown(int& key, Qt::KeyboardModifiers shift)
{
    TFMain& w = window_;
    if (key == Qt::Key_F5) {
        CallFrame("ToolButton_runClick");
        key = 0;
        return;
    }
    // The editor's own undo is off: these keys reach the window's history instead.
    if (HistoryKey(key, shift)) {
        w.PastePending = 0;
        key = 0;
        return;
    }
    const bool ctrlOnly = (shift & ShiftCtrlAlt) == Qt::ControlModifier;
    if (ctrlOnly) {
        switch (key) {
        case Qt::Key_A: w.RichEdit_sql->selectAll(); break;
        case Qt::Key_F:
            ShowFindDialog();
            key = 0;
            break;
        case Qt::Key_R: key = 0; break;
        default: break;
        }
    }
    w.PastePending = 0;
    if (ctrlOnly && key == Qt::Key_V) {
        w.PastePending = 1;
        // Without text there is nothing to paste (and the editor's paste of an empty clipboard
        // entry would crash).
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        if (!data || !data->hasText()) key = 0;
    }
}

void SqlEditorCommands::KeyPress(QChar& key)
{
    if (key != QLatin1Char('\r')) return;
    QPlainTextEdit& editor = *window_.RichEdit_sql;
    std::int32_t column = 0, line = 0;
    GetCaretLineCol(editor, column, line);
    const int blanks = SqlEditorText::LeadingBlanks(editor.document()->findBlockByNumber(line - 1).text());
    // Two changes, as the line break and the blanks are two insertions.
    editor.insertPlainText(QStringLiteral("\n"));
    if (blanks > 0) editor.insertPlainText(QString(blanks, QLatin1Char(' ')));
    editor.ensureCursorVisible();
    key = QChar(0);
}

void SqlEditorCommands::Copy() { window_.RichEdit_sql->copy(); }

void SqlEditorCommands::Cut() { window_.RichEdit_sql->cut(); }

void SqlEditorCommands::Paste()
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (data && data->hasText()) window_.RichEdit_sql->paste();
}

void SqlEditorCommands::SelectionChange()
{
    const bool selected = window_.RichEdit_sql->textCursor().hasSelection();
    window_.ToolButton_cut->setEnabled(selected);
    window_.ToolButton_copy->setEnabled(selected);
    window_.SyncFrameToolbar();
}

void SqlEditorCommands::BuildPopupMenu()
{
    auto* menu = new QMenu(&window_);
    menu->setObjectName(QStringLiteral("PopupMenu_richeditsql"));
    window_.PopupMenu_richeditsql = menu;
    auto item = [this, menu](const char* name, const QString& caption, auto handler) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    item("N_richeditsql_undo", QStringLiteral("撤消(&U)"), [this] {
        if (!CallFrame("ToolButton_undosqlClick")) window_.ToolButton_undosqlClick();
    });
    item("N_richeditsql_redo", QStringLiteral("恢复(&R)"), [this] {
        if (!CallFrame("ToolButton_redosqlClick")) window_.ToolButton_redosqlClick();
    });
    menu->addSeparator();
    item("N_richeditsql_cut", QStringLiteral("剪切(&T)"), [this] {
        if (!CallFrame("ToolButton_cutClick")) window_.ToolButton_cutClick();
    });
    item("N_richeditsql_copy", QStringLiteral("复制(&C)"), [this] {
        if (!CallFrame("ToolButton_copyClick")) window_.ToolButton_copyClick();
    });
    item("N_richeditsql_paste", QStringLiteral("粘贴(&P)"), [this] {
        if (!CallFrame("ToolButton_pasteClick")) window_.ToolButton_pasteClick();
    });
    item("N_richeditsql_selectall", QStringLiteral("全选(&S)"), [this] {
        if (!CallFrame("mainmenu_eidt_selectallClick")) window_.RichEdit_sql->selectAll();
    });
    menu->addSeparator();
    // The shortcut is shown as text only: F5 is the editor's own key.
    item("N_richeditsql_run", QStringLiteral("执行查询(&R)\tF5"), [this] { CallFrame("ToolButton_runClick"); });
    item("N_richeditsql_cancel", QStringLiteral("取消执行查询"), [this] { CallFrame("ToolButton_stopClick"); });
    menu->addSeparator();
    item("N_richeditsql_showGrid", QStringLiteral("以表格显示结果"), [this] {
        if (!CallFrame("menu_run_display_gridClick")) window_.menu_run_display_gridClick();
    });
    item("N_richeditsql_showText", QStringLiteral("文本显示结果"), [this] {
        if (!CallFrame("menu_run_display_txtClick")) window_.menu_run_display_txtClick();
    });
    item("N_richeditsql_savefile", QStringLiteral("保存结果到文件"), [this] {
        if (!CallFrame("menu_run_display_FileClick")) window_.menu_run_display_FileClick();
    });
    menu->addSeparator();
    item("N_richeditsql_font", QStringLiteral("字体(&F)"), [this] { window_.N_richeditsql_fontClick(); });
}

void SqlEditorCommands::MouseDown(Qt::MouseButton button)
{
    if (button != Qt::RightButton) return;
    QMenu* menu = window_.PopupMenu_richeditsql;
    const std::pair<const char*, const char*> following[] = {
        {"N_richeditsql_undo", "ToolButton_undosql"}, {"N_richeditsql_redo", "ToolButton_redosql"},
        {"N_richeditsql_cut", "ToolButton_cut"},      {"N_richeditsql_copy", "ToolButton_copy"},
        {"N_richeditsql_paste", "ToolButton_paste"},  {"N_richeditsql_run", "ToolButton_run"},
        {"N_richeditsql_cancel", "ToolButton_stop"},
    };
    for (auto [item, command] : following)
        if (auto* a = menu->findChild<QAction*>(QString::fromLatin1(item))) a->setEnabled(FrameCommandEnabled(command));
    menu->popup(QCursor::pos());
}

bool SqlEditorCommands::IsObjectTree(const QObject* source)
{
    // A tree view drags from its viewport or from itself.
    for (int depth = 0; source && depth < 2; ++depth, source = source->parent())
        if (source->objectName() == QLatin1String("TreeView_dbObject")) return true;
    return false;
}

void SqlEditorCommands::DragOver(QObject* source, int x, int y, bool& accept)
{
    if (!IsObjectTree(source)) {
        accept = false;
        return;
    }
    TFMain& w = window_;
    // The position under the mouse, read from a cursor of its own: the selection stays as it is.
    const QTextCursor at = w.RichEdit_sql->cursorForPosition(QPoint(x, y));
    const QTextBlock block = at.block();
    w.DropLine = block.blockNumber();
    w.DropColumn = at.position() - block.position() + 1;
    accept = w.RichEdit_sql->document()->blockCount() >= w.DropLine;
}

void SqlEditorCommands::FontClick()
{
    QPlainTextEdit& editor = *window_.RichEdit_sql;
    const QTextCursor kept = editor.textCursor();
    const std::optional<QFont> chosen = FontChooser::Current().Choose(&window_, QStringLiteral("FontDialog_richedit_sql"), editor.font());
    if (chosen) {
        QTextDocument& document = *editor.document();
        // A font is no change of the text: the modified mark stays as it was.
        const bool modified = document.isModified();
        if (chosen->pointSizeF() > 0) {
            QTextCursor all(&document);
            all.select(QTextCursor::Document);
            QTextCharFormat size;
            size.setFontPointSize(chosen->pointSizeF());
            all.mergeCharFormat(size);
        }
        editor.setFont(*chosen);
        document.setModified(modified);

        FontSetting& font = Settings::SqlEditorFont;
        font.Present = true;
        font.FaceName = chosen->family();
        font.Size = chosen->pointSize() > 0 ? chosen->pointSize() : font.Size;
        font.Style = SettingStyleOf(*chosen);
        // Without a settings file, or when it cannot be written, the font lasts until the program ends.
        Settings::WriteFontSection(Settings::SqlEditorFontSection, font);
    }
    editor.setTextCursor(kept);
}

bool SqlEditorCommands::eventFilter(QObject* watched, QEvent* event)
{
    QPlainTextEdit* editor = window_.RichEdit_sql;
    if (watched == editor && event->type() == QEvent::KeyPress) {
        auto* keyEvent = static_cast<QKeyEvent*>(event);
        int key = keyEvent->key();
        KeyDown(key, keyEvent->modifiers());
        if (key == 0) return true;
        // Enter types a carriage return, also with Shift (the editor would insert a line separator).
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !(keyEvent->modifiers() & Qt::ControlModifier)) {
            QChar typed = QLatin1Char('\r');
            KeyPress(typed);
            if (typed.isNull()) return true;
        }
        return false;
    }
    if (watched != editor->viewport()) return false;
    switch (event->type()) {
    case QEvent::Resize: return SqlScriptLoader::ResizeKeepingLines(*editor, *static_cast<QResizeEvent*>(event));
    case QEvent::MouseButtonPress:
        MouseDown(static_cast<QMouseEvent*>(event)->button());
        return false;
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        QObject* source = drag->source();
        // Text dragged from other programs or inside the editor keeps the editor's own handling.
        if (!source || source == editor || source == editor->viewport()) return false;
        bool accept = false;
        const QPoint at = drag->position().toPoint();
        DragOver(source, at.x(), at.y(), accept);
        if (accept) drag->acceptProposedAction();
        else drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        QObject* source = drop->source();
        if (!source || source == editor || source == editor->viewport()) return false;
        // The frame's end of the drag inserts the node's name at the recorded position.
        if (IsObjectTree(source)) drop->acceptProposedAction();
        else drop->ignore();
        return true;
    }
    default: return false;
    }
}
