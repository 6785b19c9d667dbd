#include "ResultGridSort.h"

#include "Gb18030Text.h"
#include "TQryResult_Tesk.h"

#include <QString>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

namespace ResultGridSort {

namespace {

// What a comparison gives when it met a cell that is not a number.
constexpr int Stop = 2;

enum class NumberKind : std::uint8_t { Number, NotANumberValue, Empty, Invalid };

// A number read from a cell. Wide when it has more significant digits than a double holds (large
// BIGINT and DECIMAL values): then the whole sort compares in extended precision.
struct ReadValue {
    long double Value = 0;
    NumberKind Kind = NumberKind::Empty;
    bool Wide = false;
};

template <class T>
struct NumberKey {
    T Value = 0;
    std::uint32_t Row = 0;
    NumberKind Kind = NumberKind::Empty;
};

struct TextKey {
    std::uint64_t Prefix = 0; // the first eight bytes, big-endian, zero-padded
    std::uint64_t Offset = 0; // into the sort's key bytes
    std::uint32_t Length = 0;
    std::uint32_t Row = 0;
};

ReadValue ReadNumber(std::string_view cell, std::string_view qualifier)
{
    ReadValue key;
    if (cell.empty()) return key;
    std::string_view text = ResultGridCells::Unqualified(cell, qualifier);
    // A wrapped empty value is an empty value (a NULL of a character-bound column).
    if (text.empty()) return key;
    key.Kind = NumberKind::Invalid;
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+') text.remove_prefix(1);
    if (text.empty()) return key;
    const char* begin = text.data();
    const char* end = begin + text.size();
    // Distinct numbers of at most 15 significant digits stay distinct and in order as doubles.
    const char* first = std::find_if(begin, end, [](char c) { return c >= '1' && c <= '9'; });
    key.Wide = std::count_if(first, end, [](char c) { return c >= '0' && c <= '9'; }) > 15;
    std::from_chars_result r{};
    double value = 0;
    if (!key.Wide) r = std::from_chars(begin, end, value);
    if (key.Wide || r.ec == std::errc::result_out_of_range) {
        long double wide = 0;
        r = std::from_chars(begin, end, wide);
        key.Value = wide;
        key.Wide = true;
    } else {
        key.Value = value;
    }
    if (r.ec != std::errc() || r.ptr != end) return key;
    key.Kind = std::isnan(key.Value) ? NumberKind::NotANumberValue : NumberKind::Number;
    return key;
}

template <class Key>
int CompareNumberKeys(const Key& a, const Key& b)
{
    if (a.Kind == NumberKind::Number && b.Kind == NumberKind::Number)
        return a.Value == b.Value ? 0 : (a.Value > b.Value ? 1 : -1);
    if (a.Kind == NumberKind::Empty) return b.Kind == NumberKind::Empty ? 0 : 1;
    if (b.Kind == NumberKind::Empty) return -1;
    if (a.Kind == NumberKind::Invalid || b.Kind == NumberKind::Invalid) return Stop;
    // NaN (the float value) sorts above every other number, so the order stays total.
    if (a.Kind == NumberKind::NotANumberValue) return b.Kind == NumberKind::NotANumberValue ? 0 : 1;
    if (b.Kind == NumberKind::NotANumberValue) return -1;
    return a.Value == b.Value ? 0 : (a.Value > b.Value ? 1 : -1);
}

std::uint64_t Prefix(std::string_view bytes)
{
    std::uint64_t p = 0;
    for (std::size_t i = 0; i < 8; ++i)
        p = (p << 8) | (i < bytes.size() ? static_cast<unsigned char>(bytes[i]) : 0u);
    return p;
}

int CompareTextKeys(const TextKey& a, const TextKey& b, const char* bytes)
{
    if (a.Length == 0) return b.Length == 0 ? 0 : 1;
    if (b.Length == 0) return -1;
    if (a.Prefix != b.Prefix) return a.Prefix < b.Prefix ? -1 : 1;
    const std::size_t common = std::min(a.Length, b.Length);
    if (common > 8) {
        const int c = std::memcmp(bytes + a.Offset + 8, bytes + b.Offset + 8, common - 8);
        if (c != 0) return c < 0 ? -1 : 1;
    }
    return a.Length == b.Length ? 0 : (a.Length < b.Length ? -1 : 1);
}

// The grid's quicksort over the keys of its rows, in place: the middle row's key as pivot, both
// scans stopping at keys equal to it. The ranges left to sort wait on a stack of their own.
template <class Key, class Compare>
bool QuickSortGridRows(std::vector<Key>& keys, bool ascending, Compare compare)
{
    if (keys.empty()) return true;
    const int before = ascending ? -1 : 1;
    const int after = -before;
    struct Range {
        std::ptrdiff_t Lo, Hi;
    };
    std::vector<Range> pending{{0, static_cast<std::ptrdiff_t>(keys.size()) - 1}};
    while (!pending.empty()) {
        const Range r = pending.back();
        pending.pop_back();
        std::ptrdiff_t i = r.Lo;
        std::ptrdiff_t j = r.Hi;
        const Key pivot = keys[static_cast<std::size_t>((r.Lo + r.Hi) / 2)];
        do {
            int c;
            while ((c = compare(keys[static_cast<std::size_t>(i)], pivot)) == before) ++i;
            if (c == Stop) return false;
            while ((c = compare(keys[static_cast<std::size_t>(j)], pivot)) == after) --j;
            if (c == Stop) return false;
            if (i <= j) {
                std::swap(keys[static_cast<std::size_t>(i)], keys[static_cast<std::size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        // The two sides do not overlap, so the order in which they are sorted changes nothing;
        // the smaller one goes first, which keeps the stack short.
        const Range left{r.Lo, j}, right{i, r.Hi};
        const bool hasLeft = r.Lo < j, hasRight = i < r.Hi;
        if (hasLeft && hasRight) {
            const bool leftLarger = j - r.Lo > r.Hi - i;
            pending.push_back(leftLarger ? left : right);
            pending.push_back(leftLarger ? right : left);
        } else if (hasLeft) {
            pending.push_back(left);
        } else if (hasRight) {
            pending.push_back(right);
        }
    }
    return true;
}

std::string_view StoreField(const ResultGridCells& cells, int col, std::uint32_t row)
{
    return cells.Rows().Field(row, static_cast<std::size_t>(col - 1));
}

template <class T>
bool SortNumberKeys(const std::vector<ReadValue>& values, bool ascending, std::vector<std::uint32_t>& order)
{
    std::vector<NumberKey<T>> keys(order.size());
    for (std::size_t pos = 0; pos < order.size(); ++pos)
        keys[pos] = {static_cast<T>(values[pos].Value), order[pos], values[pos].Kind};
    if (!QuickSortGridRows(keys, ascending, CompareNumberKeys<NumberKey<T>>)) return false;
    for (std::size_t pos = 0; pos < order.size(); ++pos) order[pos] = keys[pos].Row;
    return true;
}

bool SortByNumbers(const ResultGridCells& cells, int col, bool ascending, std::vector<std::uint32_t>& order)
{
    std::vector<ReadValue> values(order.size());
    const std::string_view qualifier = cells.TextQualifier();
    bool wide = false;
    for (std::size_t pos = 0; pos < order.size(); ++pos) {
        if (col == 0) {
            values[pos] = {static_cast<long double>(order[pos]) + 1, NumberKind::Number, false};
        } else {
            values[pos] = ReadNumber(StoreField(cells, col, order[pos]), qualifier);
            wide = wide || values[pos].Wide;
        }
    }
    return wide ? SortNumberKeys<long double>(values, ascending, order) : SortNumberKeys<double>(values, ascending, order);
}

bool SortByText(const ResultGridCells& cells, int col, bool ascending, std::vector<std::uint32_t>& order)
{
    std::vector<TextKey> keys(order.size());
    std::string bytes;
    std::string cell;
    Gb18030Text gb18030;
    for (std::size_t pos = 0; pos < order.size(); ++pos) {
        TextKey& key = keys[pos];
        std::string_view text;
        if (col == 0) {
            cell.clear();
            cells.AppendStoreCell(0, order[pos], cell);
            text = cell;
        } else {
            text = StoreField(cells, col, order[pos]);
        }
        key.Offset = bytes.size();
        gb18030.Append(text, bytes);
        key.Length = static_cast<std::uint32_t>(bytes.size() - key.Offset);
        key.Prefix = Prefix(std::string_view(bytes).substr(key.Offset));
        key.Row = order[pos];
    }
    const char* data = bytes.data();
    if (!QuickSortGridRows(keys, ascending,
                           [data](const TextKey& a, const TextKey& b) { return CompareTextKeys(a, b, data); }))
        return false;
    for (std::size_t pos = 0; pos < order.size(); ++pos) order[pos] = keys[pos].Row;
    return true;
}

TextKey KeyOf(std::string_view bytes) { return {Prefix(bytes), 0, static_cast<std::uint32_t>(bytes.size()), 0}; }

} // namespace

int CompareCellsAsText(std::string_view a, std::string_view b)
{
    Gb18030Text gb18030;
    std::string ab, bb;
    gb18030.Append(a, ab);
    gb18030.Append(b, bb);
    // Each key looks at its own text: offsets 0 into two buffers compared through one base.
    TextKey ka = KeyOf(ab), kb = KeyOf(bb);
    std::string both = ab + bb;
    kb.Offset = ab.size();
    return CompareTextKeys(ka, kb, both.data());
}

std::optional<int> CompareCellsAsNumbers(std::string_view a, std::string_view b, std::string_view qualifier)
{
    const int c = CompareNumberKeys(ReadNumber(a, qualifier), ReadNumber(b, qualifier));
    if (c == Stop) return std::nullopt;
    return c;
}

int SortGridByColumn(ResultGridCells& cells, int col, bool ascending, bool numeric)
{
    if (cells.Placeholder() || col < 0 || col >= cells.ColCount()) return 0;
    std::vector<std::uint32_t> order = cells.RowOrder();
    if (order.empty()) return 0;
    const bool sorted =
        numeric ? SortByNumbers(cells, col, ascending, order) : SortByText(cells, col, ascending, order);
    if (!sorted) return -1;
    cells.SetRowOrder(std::move(order));
    return 0;
}

bool HeaderClickAscending(TQryResult_Tesk& result, int col)
{
    const QString column = QString::number(col);
    if (!result.SortColumn.isEmpty() && result.SortColumn == column) {
        result.SortAscending = result.SortAscending ? 0 : 1;
        return result.SortAscending != 0;
    }
    result.SortColumn = column;
    result.SortAscending = 1;
    return true;
}

} // namespace ResultGridSort
