// The insertion of a dropped object browser node's name into the SQL editor.
#pragma once

#include <QString>

class QPlainTextEdit;

// Inserts text into line (0-based; the empty line after a final line break counts) before its
// 1-based column; a column beyond the line's end appends to the line. False, and nothing inserted,
// when the editor has no such line or takes no edit.
bool InsertAtLineColumn(QPlainTextEdit& editor, int line, int column, const QString& text);
