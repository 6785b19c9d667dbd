// One snapshot of the SQL editor's own history: a whole editor text, without colours.
#pragma once

#include "SnapshotText.h"

struct RecRedoUndo {
    SnapshotText Text;
};
