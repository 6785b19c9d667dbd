// The name of a save-to-file run's result file, completed by the filter chosen in the save dialog.
#pragma once

#include <QString>

class QWidget;

namespace ResultFileName {

// The save dialog's filters, 1 to 3 in this order.
inline constexpr int TxtFilter = 1;
inline constexpr int CsvFilter = 2;
inline constexpr int AllFilter = 3;

// Filter 1 appends ".txt" and filter 2 ".csv" unless the name's last four characters, lower-cased,
// are that extension already; any other filter keeps the name as chosen.
QString Complete(const QString& chosen, int filterIndex);

// The save dialog "SaveDialog_resultsave" over parent: the name chosen, completed by its filter;
// empty when cancelled. An existing file is replaced only when the user agrees.
QString Choose(QWidget* parent);

} // namespace ResultFileName
