// Text display of a result set: the column names and every row, fields joined by ",".
#pragma once

#include <QString>

class ResultRowStore;

// One line per row, the names' line first, lines joined by "\n" (no line break after the last).
QString ResultTextBlock(const ResultRowStore& rows);
