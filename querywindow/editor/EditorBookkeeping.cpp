#include "EditorBookkeeping.h"

#include <QPlainTextEdit>
#include <QTextBlock>

#include <algorithm>

std::int32_t PrevCaretLine = 1;
std::int32_t CaretLine = 1;
std::int32_t SavedCaretPos = 0;

void GetCaretLineCol(const QPlainTextEdit& editor, std::int32_t& column, std::int32_t& line)
{
    const QTextCursor cursor = editor.textCursor();
    const int start = cursor.selectionStart();
    const QTextBlock block = editor.document()->findBlock(start);
    line = block.blockNumber() + 1;
    column = start - block.position() + 1;
}

void RecordCaretLine(const QPlainTextEdit& editor, bool pastePending)
{
    PrevCaretLine = CaretLine;
    if (pastePending) {
        CaretLine = 1;
        return;
    }
    std::int32_t column = 0;
    GetCaretLineCol(editor, column, CaretLine);
}

std::int32_t ColouringStartLineIndex() { return std::max(std::min(PrevCaretLine, CaretLine) - 1, 0); }
