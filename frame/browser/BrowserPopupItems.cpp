#include "BrowserPopupItems.h"

BrowserPopupItems PopupItemsOfNode(BrowserNodeKind kind)
{
    switch (kind) {
    case BrowserNodeKind::TableObject:
    case BrowserNodeKind::Column:
        return {.Copy = true, .AllRows = true, .First100Rows = true, .RowCount = true, .ProcedureSource = false};
    case BrowserNodeKind::Procedure:
        return {.Copy = true, .ProcedureSource = true};
    case BrowserNodeKind::Parameter:
        return {.ProcedureSource = true};
    default:
        return {};
    }
}
