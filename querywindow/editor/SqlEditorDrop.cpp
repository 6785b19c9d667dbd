#include "SqlEditorDrop.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>

bool InsertAtLineColumn(QPlainTextEdit& editor, int line, int column, const QString& text)
{
    const QTextBlock block = editor.document()->findBlockByNumber(line);
    if (line < 0 || !block.isValid() || editor.isReadOnly()) return false;
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + std::clamp(column - 1, 0, block.length() - 1));
    cursor.insertText(text);
    return true;
}
