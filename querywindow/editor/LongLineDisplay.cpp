#include "LongLineDisplay.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>

bool LongLineDisplay::KeepIfLong(QTextBlock block)
{
    if (!IsLong(block)) return false;
    block.layout()->setCacheEnabled(true);
    return true;
}

LongLineDisplay::LongLineDisplay(QPlainTextEdit& editor) : QObject(&editor), editor_(editor), document_(editor.document())
{
    connect(document_, &QTextDocument::contentsChange, this, &LongLineDisplay::ContentsChange);
}

bool LongLineDisplay::HasLongLine(QTextDocument& document)
{
    bool found = false;
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next())
        if (KeepIfLong(block)) found = true;
    return found;
}

void LongLineDisplay::DocumentReplaced()
{
    if (document_ == editor_.document()) return;
    document_ = editor_.document();
    connect(document_, &QTextDocument::contentsChange, this, &LongLineDisplay::ContentsChange);
}

void LongLineDisplay::ContentsChange(int position, int charsRemoved, int charsAdded)
{
    bool longLine = false;
    const QTextBlock last = document_->findBlock(position + charsAdded);
    for (QTextBlock block = document_->findBlock(position); block.isValid(); block = block.next()) {
        if (KeepIfLong(block)) longLine = true;
        if (block == last) break;
    }
    // The display changes after the edit, outside the document's own change handling.
    // A format change (the colouring's) reports as many characters removed as added: no text went.
    // Only a line that was long before the deletion can have been the last long one.
    const bool couldHaveBeenLong =
        document_->findBlock(position).length() + qint64(charsRemoved) > qint64(LongLineDisplay::LongLine) + 1;
    if ((longLine && !wrapped_) || (wrapped_ && charsRemoved > charsAdded && !longLine && couldHaveBeenLong)) {
        if (rescanPending_) return;
        rescanPending_ = true;
        QTimer::singleShot(0, this, &LongLineDisplay::Rescan);
    }
}

void LongLineDisplay::Rescan()
{
    rescanPending_ = false;
    SetWrapped(HasLongLine(*document_));
}

void LongLineDisplay::SetWrapped(bool wrapped)
{
    if (wrapped == wrapped_) return;
    wrapped_ = wrapped;
    ShowWrapped(editor_, wrapped);
}

void LongLineDisplay::ShowWrapped(QPlainTextEdit& view, bool wrapped)
{
    view.setWordWrapMode(wrapped ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere);
    view.setLineWrapMode(wrapped ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}
