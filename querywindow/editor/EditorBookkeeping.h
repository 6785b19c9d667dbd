// The caret lines that decide where the keyword colouring starts, and the caret position kept by
// undo and redo. Process-wide: one set for all query windows, so the previous change may have been
// made in another window.
#pragma once

#include <cstdint>

class QPlainTextEdit;

// The caret line recorded at the change before the last one.
extern std::int32_t PrevCaretLine;
// The caret line recorded at the last change; 1 after a paste by Ctrl+V.
extern std::int32_t CaretLine;
// The editor's selection start kept by undo and redo and restored by the change that follows.
extern std::int32_t SavedCaretPos;

// Line: the 1-based line of the editor's selection start; Column: its 1-based column in that line.
void GetCaretLineCol(const QPlainTextEdit& editor, std::int32_t& column, std::int32_t& line);

// One real change: the last caret line becomes the previous one, and the caret line is 1 after a
// paste key, else the caret's line.
void RecordCaretLine(const QPlainTextEdit& editor, bool pastePending);

// The colouring of this change starts at this 0-based line index: the earlier of the two lines.
std::int32_t ColouringStartLineIndex();
