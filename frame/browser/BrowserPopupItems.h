// Which commands of the tree's pop-up menu a node offers; refresh and font are always on.
#pragma once

#include "BrowserNodeKind.h"

struct BrowserPopupItems {
    bool Copy = false;
    bool AllRows = false;
    bool First100Rows = false;
    bool RowCount = false;
    bool ProcedureSource = false;

    bool operator==(const BrowserPopupItems&) const = default;
};

BrowserPopupItems PopupItemsOfNode(BrowserNodeKind kind);
