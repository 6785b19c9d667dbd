#include "FindReplaceController.h"

#include "Prompter.h"
#include "FindReplaceDialog.h"
#include "OstrelLibrary.h"
#include "ReplaceAllText.h"
#include "ResultTextView.h"
#include "SqlEditorText.h"
#include "TFMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPalette>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>

namespace {

QString Quoted(const QString& text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

std::uint32_t LibraryOptions(std::uint32_t options)
{
    return ((options & FR_MATCHCASE) ? OstrelMatchCase : 0u) | ((options & FR_WHOLEWORD) ? OstrelWholeWord : 0u);
}

int TextLength(const QPlainTextEdit& edit) { return edit.document()->characterCount() - 1; }

FindReplaceDialog* MakeDialog(FindReplaceDialog::Kind kind, const char* name, TFMain& window)
{
    auto* dialog = new FindReplaceDialog(kind, &window);
    dialog->setObjectName(QString::fromLatin1(name));
    return dialog;
}

// The selected text of the editor, in screen coordinates.
QRect SelectionOnScreen(const QPlainTextEdit& edit)
{
    const QTextCursor selection = edit.textCursor();
    QTextCursor start(selection), end(selection);
    start.setPosition(selection.selectionStart());
    end.setPosition(selection.selectionEnd());
    QRect r = edit.cursorRect(start).united(edit.cursorRect(end));
    // A selection over several lines takes their whole width.
    if (edit.cursorRect(start).top() != edit.cursorRect(end).top()) {
        r.setLeft(0);
        r.setRight(edit.viewport()->width());
    }
    return QRect(edit.viewport()->mapToGlobal(r.topLeft()), r.size());
}

// The selected text of the messages page (on one line: the find text has no line break), in
// screen coordinates; the caret stands at its end.
QRect SelectionOnScreen(const ResultTextView& text)
{
    const QRect caret = static_cast<const QWidget&>(text).inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const int width = text.fontMetrics().horizontalAdvance(text.SelectedText());
    const QRect r(caret.right() - width, caret.top(), width + 1, caret.height());
    return QRect(text.viewport()->mapToGlobal(r.topLeft()), r.size());
}

// The messages may hold millions of lines: a find reads them a slice of lines at a time from the
// caret on, not the whole text joined. A find text without a line break matches within a line.
constexpr std::size_t FindSliceUnits = std::size_t{1} << 20;

int OffsetOf(const ResultText& text, std::size_t line) { return static_cast<int>(text.Offset({line, 0})); }

// Lines [first, end) of the text, each with its line break.
QString Slice(const ResultText& text, std::size_t first, std::size_t end)
{
    return end < text.LineCount() ? text.Text({first, 0}, {end, 0}) : text.Text({first, 0}, text.End());
}

// A find in the messages text that can stop after any slice of lines and go on later, as long as
// the text only grows at its end meanwhile; lines appended after it began are not searched.
class MessagesSeek {
public:
    MessagesSeek(const ResultText& text, int start, const QString& find, std::uint32_t options, bool down)
        : find_(find), options_(options), down_(down), start_(std::max(start, 0))
    {
        if (text.IsEmpty()) {
            ended_ = true;
            return;
        }
        const TextPosition from = text.PositionAt(static_cast<std::size_t>(start_));
        // Down: from the caret's column of its line; up: the caret's whole line first, as a match
        // may run on past the caret.
        line_ = down_ ? from.Line : from.Line + 1;
        within_ = static_cast<int>(from.Column);
        lines_ = text.LineCount();
    }

    // Searches slice after slice until a match, the end of the text, or budget has passed: true
    // when the find has ended.
    bool Run(const ResultText& text, std::chrono::nanoseconds budget)
    {
        if (!ended_ && find_.contains(QLatin1Char('\n'))) {
            ended_ = true;
            found_ = down_ ? OstrelLibrary::SeekForward(text.Text(), start_, find_, options_, &position_)
                           : OstrelLibrary::SeekBackward(text.Text(), start_, find_, options_, &position_);
        }
        QElapsedTimer clock;
        clock.start();
        // A slice is not begun when it would likely end after the budget (the first always is).
        for (qint64 done = 0, slowest = 0; !ended_;) {
            if (down_) Forward(text);
            else Backward(text);
            const qint64 now = clock.nsecsElapsed();
            slowest = std::max(slowest, now - done);
            done = now;
            if (!ended_ && done + slowest > budget.count()) return false;
        }
        return true;
    }
    bool Found() const { return found_; }
    int Position() const { return position_; }

private:
    void Forward(const ResultText& text)
    {
        std::size_t end = line_, units = 0;
        while (end < lines_ && (end == line_ || units < FindSliceUnits)) units += text.LineLength(end++) + 1;
        int at = 0;
        if (OstrelLibrary::SeekForward(Slice(text, line_, end), within_, find_, options_, &at)) {
            End(OffsetOf(text, line_) + at);
            return;
        }
        line_ = end;
        within_ = 0;
        ended_ = line_ >= lines_;
    }
    void Backward(const ResultText& text)
    {
        std::size_t first = line_, units = 0;
        while (first > 0 && (first == line_ || units < FindSliceUnits)) units += text.LineLength(--first) + 1;
        const QString slice = Slice(text, first, line_);
        const int base = OffsetOf(text, first);
        int at = 0;
        if (OstrelLibrary::SeekBackward(slice, caretSlice_ ? start_ - base : static_cast<int>(slice.size()), find_,
                                        options_, &at)) {
            End(base + at);
            return;
        }
        line_ = first;
        caretSlice_ = false;
        ended_ = line_ == 0;
    }
    void End(int position)
    {
        ended_ = found_ = true;
        position_ = position;
    }

    QString find_;
    std::uint32_t options_;
    bool down_;
    int start_;
    // Down: the first line of the next slice; up: the line after it.
    std::size_t line_ = 0;
    // Down: the lines there were when the find began.
    std::size_t lines_ = 0;
    // Down: where the first slice starts in its first line.
    int within_ = 0;
    bool caretSlice_ = true;
    bool ended_ = false;
    bool found_ = false;
    int position_ = 0;
};

} // namespace

struct FindReplaceController::MessagesFind {
    MessagesSeek Seek;
    QString Find;
    // The selection when the find began.
    int Start;
    int Selected;
    bool Down;
    std::uint64_t Rewrites;
};

FindReplaceController::FindReplaceController(TFMain& window) : QObject(&window), window_(window)
{
    window_.FindDialog1 = MakeDialog(FindReplaceDialog::Kind::Find, "FindDialog1", window_);
    window_.FindDialog_sql = MakeDialog(FindReplaceDialog::Kind::Find, "FindDialog_sql", window_);
    window_.ReplaceDialog1 = MakeDialog(FindReplaceDialog::Kind::Replace, "ReplaceDialog1", window_);
    connect(window_.FindDialog1, &FindReplaceDialog::Find, &window_, &TFMain::FindDialog1Find);
    connect(window_.FindDialog_sql, &FindReplaceDialog::Find, &window_, &TFMain::FindDialog_sqlFind);
    connect(window_.ReplaceDialog1, &FindReplaceDialog::Find, &window_, &TFMain::ReplaceDialog1Find);
    connect(window_.ReplaceDialog1, &FindReplaceDialog::Replace, &window_, &TFMain::ReplaceDialog1Replace);
    messagesFindTimer_ = new QTimer(this);
    messagesFindTimer_->setInterval(0);
    connect(messagesFindTimer_, &QTimer::timeout, this, &FindReplaceController::GoOnWithMessagesFind);
}

FindReplaceController::~FindReplaceController() { StopMessagesFind(); }

void FindReplaceController::SelectMatch(QPlainTextEdit& edit, int position, int length)
{
    const int end = TextLength(edit);
    const int start = std::clamp(position, 0, end);
    QTextCursor cursor(edit.document());
    cursor.setPosition(start);
    cursor.setPosition(std::clamp(start + length, start, end), QTextCursor::KeepAnchor);
    edit.setTextCursor(cursor);
    edit.ensureCursorVisible();
}

void FindReplaceController::SelectMatch(ResultTextView& text, int position, int length)
{
    const int end = static_cast<int>(text.Text().Offset(text.Text().End()));
    const int start = std::clamp(position, 0, end);
    text.SetSelection(start, std::clamp(start + length, start, end));
}

void FindReplaceController::Found(FindReplaceDialog& dialog, QPlainTextEdit& edit, int position, int length)
{
    SelectMatch(edit, position, length);
    dialog.KeepClearOf(SelectionOnScreen(edit));
}

void FindReplaceController::Found(FindReplaceDialog& dialog, ResultTextView& text, int position, int length)
{
    SelectMatch(text, position, length);
    dialog.KeepClearOf(SelectionOnScreen(text));
}

void FindReplaceController::ShowSelectionWithoutFocus(QWidget& edit)
{
    QPalette palette = edit.palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    edit.setPalette(palette);
}

int FindReplaceController::FindForward(const QPlainTextEdit& edit, const QString& text, int from,
                                       std::uint32_t options)
{
    int position = 0;
    return OstrelLibrary::SeekForward(SqlEditorText::Of(*edit.document()), std::clamp(from, 0, TextLength(edit)), text,
                                      LibraryOptions(options), &position)
               ? position
               : -1;
}

void FindReplaceController::NotFound(const QString& findText)
{
    Prompter::Current().Message(QStringLiteral("找不到 ") + Quoted(findText), window_.windowTitle(),
                                Prompter::Icon::Exclamation, Prompter::Ok);
}

void FindReplaceController::FindDialog_sqlFind()
{
    QPlainTextEdit& editor = *window_.RichEdit_sql;
    const FindReplaceDialog& dialog = *window_.FindDialog_sql;
    const QString find = dialog.FindText();
    const std::uint32_t options = dialog.Options();
    ShowSelectionWithoutFocus(editor);
    const QTextCursor selection = editor.textCursor();
    if (options & FR_DOWN) {
        const int at = FindForward(editor, find, selection.selectionEnd(), options);
        if (at < 0) NotFound(find);
        else Found(*window_.FindDialog_sql, editor, at, static_cast<int>(find.size()));
        return;
    }
    int position = 0;
    if (OstrelLibrary::SeekBackwardRich(SqlEditorText::Of(*editor.document()), selection.selectionStart(),
                                        selection.selectionEnd() - selection.selectionStart(), find,
                                        LibraryOptions(options), &position))
        Found(*window_.FindDialog_sql, editor, position, static_cast<int>(find.size()));
    else
        NotFound(find);
}

void FindReplaceController::FindDialog1Find()
{
    // Find Next while a find goes on starts no second one.
    if (messagesFind_) return;
    ResultTextView& messages = *window_.RichEdit_result;
    const FindReplaceDialog& dialog = *window_.FindDialog1;
    const QString find = dialog.FindText();
    const std::uint32_t options = dialog.Options();
    const bool down = (options & FR_DOWN) != 0;
    ShowSelectionWithoutFocus(messages);
    const int start = messages.SelectionStart();
    const int selected = messages.SelectionEnd() - start;
    auto running = std::make_unique<MessagesFind>(
        MessagesFind{MessagesSeek(messages.Text(), down ? start + selected : start, find, LibraryOptions(options), down),
                     find, start, selected, down, messages.Rewrites()});
    if (running->Seek.Run(messages.Text(), MessagesFindSlice)) {
        Answer(*running);
        return;
    }
    // A long find goes on between events under the wait cursor; Esc, or closing the dialog or the
    // window, gives it up.
    messagesFind_ = std::move(running);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    window_.installEventFilter(this);
    window_.FindDialog1->installEventFilter(this);
    messagesFindTimer_->start();
}

void FindReplaceController::GoOnWithMessagesFind()
{
    if (!messagesFind_) return;
    const ResultTextView& messages = *window_.RichEdit_result;
    // A text cleared or edited meanwhile has nothing left to answer about.
    if (messages.Rewrites() != messagesFind_->Rewrites) return StopMessagesFind();
    if (!messagesFind_->Seek.Run(messages.Text(), MessagesFindSlice)) return;
    const std::unique_ptr<MessagesFind> ended = std::move(messagesFind_);
    EndMessagesFindSlices();
    Answer(*ended);
}

void FindReplaceController::StopMessagesFind()
{
    if (!messagesFind_) return;
    messagesFind_.reset();
    EndMessagesFindSlices();
}

void FindReplaceController::EndMessagesFindSlices()
{
    messagesFindTimer_->stop();
    window_.removeEventFilter(this);
    if (window_.FindDialog1) window_.FindDialog1->removeEventFilter(this);
    QApplication::restoreOverrideCursor();
}

bool FindReplaceController::eventFilter(QObject* watched, QEvent* event)
{
    if (!messagesFind_) return QObject::eventFilter(watched, event);
    const bool escape = event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    const bool closed = watched == &window_ && event->type() == QEvent::Close;
    const bool dialogHidden = watched == window_.FindDialog1 && event->type() == QEvent::Hide && !event->spontaneous();
    if (escape || closed || dialogHidden) {
        StopMessagesFind();
        // Esc gives the find up, and only that: the dialog stays open.
        return escape;
    }
    return QObject::eventFilter(watched, event);
}

void FindReplaceController::Answer(const MessagesFind& find)
{
    ResultTextView& messages = *window_.RichEdit_result;
    const int length = static_cast<int>(find.Find.size());
    if (find.Seek.Found()) {
        Found(*window_.FindDialog1, messages, find.Seek.Position(), length);
        return;
    }
    if (find.Down) {
        // The characters before the caret, as many as the find text has (from the text's start at most).
        if (find.Selected == 0) {
            const int from = std::max(find.Start - length, 0);
            SelectMatch(messages, from, find.Start - from);
        }
    } else {
        SelectMatch(messages, find.Start, length);
    }
    NotFound(find.Find);
}

void FindReplaceController::ReplaceDialog1Find()
{
    QPlainTextEdit& editor = *window_.RichEdit_sql;
    const FindReplaceDialog& dialog = *window_.ReplaceDialog1;
    const QString find = dialog.FindText();
    const std::uint32_t options = dialog.Options();
    ShowSelectionWithoutFocus(editor);
    const int from = editor.textCursor().selectionEnd();
    const int at = FindForward(editor, find, from, options);
    if (at >= 0) {
        Found(*window_.ReplaceDialog1, editor, at, static_cast<int>(find.size()));
        return;
    }
    SelectMatch(editor, from, 0);
    NotFound(find);
}

void FindReplaceController::ReplaceDialog1Replace()
{
    QPlainTextEdit& editor = *window_.RichEdit_sql;
    const FindReplaceDialog& dialog = *window_.ReplaceDialog1;
    const QString find = dialog.FindText();
    const QString replacement = dialog.ReplaceText();
    const std::uint32_t options = dialog.Options();
    if (options & FR_REPLACE) {
        QTextCursor selection = editor.textCursor();
        if (!selection.hasSelection()) {
            Prompter::Current().Message(QStringLiteral("请先查找 ") + Quoted(find), window_.windowTitle(),
                                        Prompter::Icon::Information, Prompter::Ok);
            return;
        }
        const int start = selection.selectionStart();
        selection.insertText(replacement);
        SelectMatch(editor, start, static_cast<int>(replacement.size()));
        ShowSelectionWithoutFocus(editor);
        return;
    }
    if (!(options & FR_REPLACEALL)) return;
    int count = 0;
    const QString result =
        ReplaceAllText(SqlEditorText::Of(*editor.document()), find, replacement, (options & FR_MATCHCASE) != 0, &count);
    if (count == 0) {
        NotFound(find);
        return;
    }
    // One change: the change handler records one snapshot for the whole replacement.
    editor.setPlainText(result);
    editor.document()->setModified(true);
}
