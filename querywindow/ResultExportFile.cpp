#include "ResultExportFile.h"

#include "FileReplacement.h"
#include "ResultColumns.h"

namespace ResultExportFile {

namespace {

// Data rows to write: none for a grid that shows an empty result.
int LastDataRow(const ResultGridCells& cells) { return cells.Placeholder() ? 0 : cells.RowCount() - 1; }

// Replaces out from at on by text wrapped in the qualifier, doubled inside, as a result file
// writes it.
void Requalify(std::string& out, std::size_t at, std::string_view text, const std::string& q)
{
    RenderContext file;
    file.Qualifier = q;
    file.DoubleQualifier = true;
    std::string wrapped;
    AppendQualified(text, file, wrapped);
    out.resize(at);
    out += wrapped;
}

void AppendField(const ResultGridCells& cells, int col, int row, std::string& out)
{
    const std::string& q = cells.TextQualifier();
    const std::size_t at = out.size();
    cells.AppendCell(col, row, out);
    if (q.empty()) return;
    const std::string_view field(out.data() + at, out.size() - at);
    if (row == 0) {
        // A name stays bare unless it would break the line: the separator, the qualifier or a
        // line break in it.
        if (field.find_first_of(",\r\n") != std::string_view::npos || field.find(q) != std::string_view::npos)
            Requalify(out, at, std::string(field), q);
        return;
    }
    const std::string_view inner = ResultGridCells::Unqualified(field, q);
    if (inner.size() == field.size() || inner.find(q) == std::string_view::npos) return;
    // Wrapped again as a result file wraps it.
    Requalify(out, at, std::string(inner), q);
}

} // namespace

QString CompleteName(const QString& chosen, int filterIndex)
{
    if (filterIndex != CsvFilter && filterIndex != TxtFilter) return chosen;
    const QString extension = filterIndex == CsvFilter ? QStringLiteral(".csv") : QStringLiteral(".txt");
    return chosen.right(4).toLower() == extension ? chosen : chosen + extension;
}

bool IsCsvName(const QString& name) { return name.right(4).toLower() == QStringLiteral(".csv"); }

void AppendLine(const ResultGridCells& cells, int row, std::string& out)
{
    const int last = cells.ColCount() - 1;
    for (int col = 1; col <= last; ++col) {
        AppendField(cells, col, row, out);
        if (col < last) out += ',';
    }
    out += "\r\n";
}

std::string Text(const ResultGridCells& cells, bool withHeader)
{
    std::string text;
    for (int row = withHeader ? 0 : 1; row <= LastDataRow(cells); ++row) AppendLine(cells, row, text);
    return text;
}

QString Write(const QString& path, const ResultGridCells& cells, bool withHeader, const Progress& progress)
{
    FileReplacement file(path);
    if (!file.Open()) return file.ErrorText();
    // Written a block at a time: a large grid is never held twice as text.
    constexpr std::size_t Block = 1 << 20;
    std::string block;
    block.reserve(Block + 4096);
    const int last = LastDataRow(cells);
    for (int row = withHeader ? 0 : 1; row <= last; ++row) {
        AppendLine(cells, row, block);
        if (block.size() >= Block || row == last) {
            if (!file.Write(block.data(), static_cast<qint64>(block.size()))) return file.ErrorText();
            block.clear();
            if (progress) progress(row);
        }
    }
    if (!file.Commit()) return file.ErrorText();
    return {};
}

} // namespace ResultExportFile
