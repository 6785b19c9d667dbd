// The name a tree node puts on the clipboard (copy) or into the SQL editor (drop).
#pragma once

#include "BrowserNodeKind.h"
#include "IdentifierQuoting.h"

#include <QString>

// Procedure: its text unquoted; table object: the object name quoted in bracket form; column: its
// column name quoted; any other node: empty.
QString CopyTextOfNode(BrowserNodeKind node, const QString& nodeText, OptionalDbmsKind kind);

// As the copy, but a table object takes the drop form. A column keeps its whole name, blanks
// included.
QString DropTextOfNode(BrowserNodeKind node, const QString& nodeText, OptionalDbmsKind kind);
