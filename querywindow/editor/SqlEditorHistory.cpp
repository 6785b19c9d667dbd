#include "SqlEditorHistory.h"

#include <algorithm>

void SqlEditorHistory::ResetHistory()
{
    for (RecRedoUndo& snapshot : History) snapshot.Text.clear();
    UndoCount = 0;
    RedoCount = 0;
    HistoryCursor = HistorySize;
    RestoringHistory = 0;
}

void SqlEditorHistory::RecordSnapshot(const SnapshotText& text)
{
    for (int i = 1; i < HistorySize; ++i) History[static_cast<std::size_t>(i)] = std::move(History[static_cast<std::size_t>(i + 1)]);
    History[HistorySize].Text = text;
    UndoCount = std::min(UndoCount + 1, HistorySize);
}

const SnapshotText& SqlEditorHistory::StepBack()
{
    ++RedoCount;
    --UndoCount;
    RestoringHistory = 1;
    HistoryCursor = std::max(HistoryCursor - 1, 1);
    return History[static_cast<std::size_t>(HistoryCursor)].Text;
}

const SnapshotText& SqlEditorHistory::StepForward()
{
    ++UndoCount;
    --RedoCount;
    RestoringHistory = 1;
    HistoryCursor = std::min(HistoryCursor + 1, HistorySize);
    return History[static_cast<std::size_t>(HistoryCursor)].Text;
}

std::optional<bool> SqlEditorHistory::OfferedState(std::int32_t count)
{
    if (count > 0) return true;
    if (count == 0) return false;
    return std::nullopt;
}
