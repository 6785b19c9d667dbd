// The keyword lookup of the colouring: a word's category in the keyword table of a database kind.
#pragma once

#include "TDbmsKind.h"

#include <QStringView>

// The kind whose table colours a window of that kind: Paradox, Excel, text files and every other
// kind from 9 up use the Microsoft SQL Server table.
TDbmsKind ColouringKind(TDbmsKind windowKind);

// The category of word (upper-cased, ASCII letters only) in the table of kind (1..8; any other value
// reads the DB2 table): 0 for an empty word, -1 when the word is not in the table or the table does
// not exist.
int GetKeywordCategory(QStringView word, int kind);
