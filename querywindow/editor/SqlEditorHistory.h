// The SQL editor's own undo and redo history: the last 64 whole texts, [64] the newest, and a
// cursor on the snapshot that the last undo or redo put back. An edit shifts the snapshots but
// moves neither the cursor nor the redo count; undo and redo step the cursor from where it stands.
#pragma once

#include "RecRedoUndo.h"

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

class SqlEditorHistory {
public:
    static constexpr int HistorySize = 64;

    // Indexes 1..64 as the history is numbered; [0] is never used.
    std::array<RecRedoUndo, HistorySize + 1> History{};
    // Undo steps offered: raised by an edit (at most 64) and by a redo, lowered by an undo.
    std::int32_t UndoCount = 0;
    // Redo steps offered: raised by an undo, lowered by a redo.
    std::int32_t RedoCount = 0;
    // 1..64: the snapshot that the last undo or redo put back.
    std::int32_t HistoryCursor = HistorySize;
    // Set by undo and redo so that the change they cause records no snapshot.
    std::uint8_t RestoringHistory = 0;

    // 64 empty texts, both counts 0, the cursor on the newest, not restoring.
    void ResetHistory();

    // An edit: every snapshot moves one down, the oldest is dropped, text becomes [64]; one more
    // undo step, at most 64.
    void RecordSnapshot(const SnapshotText& text);

    // One step back: one more redo and one less undo step, restoring, the cursor one down (not
    // below 1). The snapshot to put into the editor.
    const SnapshotText& StepBack();
    // One step forward, the mirror of StepBack (the cursor not above 64).
    const SnapshotText& StepForward();

    // The enabled state of a command whose count is count: on above 0, off at exactly 0, and left
    // as it is (nullopt) below 0.
    static std::optional<bool> OfferedState(std::int32_t count);
};
