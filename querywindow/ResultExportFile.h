// A result grid exported to a text file: one line per row, the cells of columns 1 to the last
// joined by ",", each line ending with CR LF, UTF-8; the names' row first when asked for; the rows
// in the grid's present order. Inside a value that the run wrapped in its text qualifier the
// qualifier is doubled, as in result files; a name that holds the separator, the qualifier or a
// line break is wrapped in the qualifier as a result file wraps it. The file is written aside and then put in place, so a
// failed export leaves an existing file whole.
#pragma once

#include "ResultGridCells.h"

#include <QString>

#include <functional>
#include <string>

namespace ResultExportFile {

// The save dialog's filters, 0-based, in their order.
inline constexpr int CsvFilter = 0;
inline constexpr int TxtFilter = 1;
inline constexpr int AllFilter = 2;

// The csv filter appends ".csv" and the txt filter ".txt" unless the name's last four characters,
// lower-cased, are that extension already; any other filter keeps the name.
QString CompleteName(const QString& chosen, int filterIndex);

// Whether the name's last four characters, lower-cased, are ".csv".
bool IsCsvName(const QString& name);

// Appends the line of grid row row, CR LF included.
void AppendLine(const ResultGridCells& cells, int row, std::string& out);

// The whole file's bytes (a grid showing an empty result has no data line).
std::string Text(const ResultGridCells& cells, bool withHeader);

// Grids of at least this many data rows are exported away from the window's thread.
inline constexpr int BackgroundRows = 100000;

// Called after each block written with the data rows written so far.
using Progress = std::function<void(int rowsWritten)>;

// Writes the file; the error text of the system on failure, empty on success.
QString Write(const QString& path, const ResultGridCells& cells, bool withHeader, const Progress& progress = {});

} // namespace ResultExportFile
