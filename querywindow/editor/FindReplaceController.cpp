#include "FindReplaceController.h"

#include "Prompter.h"
#include "FindReplaceDialog.h"
#include "OstrelLibrary.h"
#include "ReplaceAllText.h"
#include "ResultTextView.h"
#include "SqlEditorText.h"
#include "TFMain.h"

#include <QPalette>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>

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

bool SeekForwardInSlices(const ResultText& text, int start, const QString& find, std::uint32_t options, int* position)
{
    if (find.contains(QLatin1Char('\n'))) return OstrelLibrary::SeekForward(text.Text(), start, find, options, position);
    const TextPosition from = text.PositionAt(static_cast<std::size_t>(std::max(start, 0)));
    int within = static_cast<int>(from.Column);
    for (std::size_t line = from.Line; line < text.LineCount();) {
        std::size_t end = line, units = 0;
        while (end < text.LineCount() && (end == line || units < FindSliceUnits)) units += text.LineLength(end++) + 1;
        int at = 0;
        if (OstrelLibrary::SeekForward(Slice(text, line, end), within, find, options, &at)) {
            *position = OffsetOf(text, line) + at;
            return true;
        }
        line = end;
        within = 0;
    }
    return false;
}

bool SeekBackwardInSlices(const ResultText& text, int start, const QString& find, std::uint32_t options, int* position)
{
    if (find.contains(QLatin1Char('\n'))) return OstrelLibrary::SeekBackward(text.Text(), start, find, options, position);
    if (text.IsEmpty()) return false;
    const TextPosition to = text.PositionAt(static_cast<std::size_t>(std::max(start, 0)));
    // The caret's whole line is in the first slice: a match may run on past the caret.
    bool caretSlice = true;
    for (std::size_t end = to.Line + 1; end > 0; caretSlice = false) {
        std::size_t first = end, units = 0;
        while (first > 0 && (first == end || units < FindSliceUnits)) units += text.LineLength(--first) + 1;
        const QString slice = Slice(text, first, end);
        const int base = OffsetOf(text, first);
        int at = 0;
        if (OstrelLibrary::SeekBackward(slice, caretSlice ? std::max(start, 0) - base : static_cast<int>(slice.size()),
                                        find, options, &at)) {
            *position = base + at;
            return true;
        }
        end = first;
    }
    return false;
}

} // namespace

FindReplaceController::FindReplaceController(TFMain& window) : QObject(&window), window_(window)
{
    window_.FindDialog1 = MakeDialog(FindReplaceDialog::Kind::Find, "FindDialog1", window_);
    window_.FindDialog_sql = MakeDialog(FindReplaceDialog::Kind::Find, "FindDialog_sql", window_);
    window_.ReplaceDialog1 = MakeDialog(FindReplaceDialog::Kind::Replace, "ReplaceDialog1", window_);
    connect(window_.FindDialog1, &FindReplaceDialog::Find, &window_, &TFMain::FindDialog1Find);
    connect(window_.FindDialog_sql, &FindReplaceDialog::Find, &window_, &TFMain::FindDialog_sqlFind);
    connect(window_.ReplaceDialog1, &FindReplaceDialog::Find, &window_, &TFMain::ReplaceDialog1Find);
    connect(window_.ReplaceDialog1, &FindReplaceDialog::Replace, &window_, &TFMain::ReplaceDialog1Replace);
}

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
    ResultTextView& messages = *window_.RichEdit_result;
    const FindReplaceDialog& dialog = *window_.FindDialog1;
    const QString find = dialog.FindText();
    const int length = static_cast<int>(find.size());
    const std::uint32_t options = dialog.Options();
    ShowSelectionWithoutFocus(messages);
    const int start = messages.SelectionStart();
    const int selected = messages.SelectionEnd() - start;
    const ResultText& text = messages.Text();
    int position = 0;
    if (options & FR_DOWN) {
        if (SeekForwardInSlices(text, start + selected, find, LibraryOptions(options), &position)) {
            Found(*window_.FindDialog1, messages, position, length);
            return;
        }
        // The characters before the caret, as many as the find text has (from the text's start at most).
        if (selected == 0) {
            const int from = std::max(start - length, 0);
            SelectMatch(messages, from, start - from);
        }
        NotFound(find);
        return;
    }
    if (SeekBackwardInSlices(text, start, find, LibraryOptions(options), &position)) {
        Found(*window_.FindDialog1, messages, position, length);
        return;
    }
    SelectMatch(messages, start, length);
    NotFound(find);
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
