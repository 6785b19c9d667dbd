#include "ResultGridSort.h"

#include "Gb18030Text.h"
#include "TQryResult_Tesk.h"

#include <QString>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstring>
#include <future>
#include <thread>
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

// Work split over the machine's cores for large grids; a small grid is sorted on the calling
// thread, where starting threads would cost more than it saves.
constexpr std::size_t ParallelFrom = 1 << 16;

unsigned Workers(std::size_t n)
{
    if (n < ParallelFrom) return 1;
    return std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
}

// Calls work(begin, end) over [0, n) in one contiguous piece per worker, the first on this thread.
template <class Work>
void ForEachPiece(std::size_t n, unsigned workers, Work work)
{
    const std::size_t piece = (n + workers - 1) / workers;
    std::vector<std::thread> threads;
    for (unsigned w = 1; w < workers; ++w) {
        const std::size_t begin = std::min(n, piece * w), end = std::min(n, begin + piece);
        if (begin < end) threads.emplace_back(work, w, begin, end);
    }
    work(0u, std::size_t{0}, std::min(n, piece));
    for (std::thread& t : threads) t.join();
}

// The grid's quicksort over the keys of its rows, in place: the middle row's key as pivot, both
// scans stopping at keys equal to it. The ranges left to sort wait on a stack of their own; the
// two sides of a partition never overlap, so large sides near the top may be sorted by threads of
// their own without changing where any key ends up.
template <class Key, class Compare>
bool QuickSortGridRange(std::vector<Key>& keys, std::ptrdiff_t lo, std::ptrdiff_t hi, bool ascending,
                        const Compare& compare, int spawnDepth)
{
    const int before = ascending ? -1 : 1;
    const int after = -before;
    struct Range {
        std::ptrdiff_t Lo, Hi;
    };
    std::vector<Range> pending{{lo, hi}};
    std::vector<std::future<bool>> sides;
    bool ok = true;
    while (ok && !pending.empty()) {
        const Range r = pending.back();
        pending.pop_back();
        std::ptrdiff_t i = r.Lo;
        std::ptrdiff_t j = r.Hi;
        const Key pivot = keys[static_cast<std::size_t>((r.Lo + r.Hi) / 2)];
        do {
            int c;
            while ((c = compare(keys[static_cast<std::size_t>(i)], pivot)) == before) ++i;
            if (c == Stop) {
                ok = false;
                break;
            }
            while ((c = compare(keys[static_cast<std::size_t>(j)], pivot)) == after) --j;
            if (c == Stop) {
                ok = false;
                break;
            }
            if (i <= j) {
                std::swap(keys[static_cast<std::size_t>(i)], keys[static_cast<std::size_t>(j)]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (!ok) break;
        const Range left{r.Lo, j}, right{i, r.Hi};
        const bool hasLeft = r.Lo < j, hasRight = i < r.Hi;
        if (hasLeft && hasRight && spawnDepth > 0 && j - r.Lo >= std::ptrdiff_t(ParallelFrom) &&
            r.Hi - i >= std::ptrdiff_t(ParallelFrom)) {
            --spawnDepth;
            sides.push_back(std::async(std::launch::async, [&keys, left, ascending, &compare, spawnDepth] {
                return QuickSortGridRange(keys, left.Lo, left.Hi, ascending, compare, spawnDepth);
            }));
            pending.push_back(right);
        } else if (hasLeft && hasRight) {
            // The smaller side goes first, which keeps the stack short.
            const bool leftLarger = j - r.Lo > r.Hi - i;
            pending.push_back(leftLarger ? left : right);
            pending.push_back(leftLarger ? right : left);
        } else if (hasLeft) {
            pending.push_back(left);
        } else if (hasRight) {
            pending.push_back(right);
        }
    }
    for (std::future<bool>& side : sides) ok = side.get() && ok;
    return ok;
}

template <class Key, class Compare>
bool QuickSortGridRows(std::vector<Key>& keys, bool ascending, const Compare& compare)
{
    if (keys.empty()) return true;
    // Each level below the top may hand one side to a new thread: about two threads a core.
    const int depth = Workers(keys.size()) > 1 ? 4 : 0;
    return QuickSortGridRange(keys, 0, static_cast<std::ptrdiff_t>(keys.size()) - 1, ascending, compare, depth);
}

std::string_view StoreField(const ResultGridCells& cells, int col, std::uint32_t row)
{
    return cells.Rows().Field(row, static_cast<std::size_t>(col - 1));
}

ReadValue CellNumber(const ResultGridCells& cells, int col, std::uint32_t row, std::string_view qualifier)
{
    if (col == 0) return {static_cast<long double>(row) + 1, NumberKind::Number, false};
    return ReadNumber(StoreField(cells, col, row), qualifier);
}

// The keys of every row in type T; whether any value needs more than a double holds.
template <class T>
bool NumberKeys(const ResultGridCells& cells, int col, const std::vector<std::uint32_t>& order,
                std::vector<NumberKey<T>>& keys)
{
    const std::string_view qualifier = cells.TextQualifier();
    keys.resize(order.size());
    std::atomic<bool> wide{false};
    ForEachPiece(order.size(), Workers(order.size()), [&](unsigned, std::size_t begin, std::size_t end) {
        bool pieceWide = false;
        for (std::size_t pos = begin; pos < end; ++pos) {
            const ReadValue v = CellNumber(cells, col, order[pos], qualifier);
            keys[pos] = {static_cast<T>(v.Value), order[pos], v.Kind};
            pieceWide = pieceWide || v.Wide;
        }
        if (pieceWide) wide.store(true, std::memory_order_relaxed);
    });
    return wide.load();
}

template <class T>
bool SortNumberKeys(std::vector<NumberKey<T>>& keys, bool ascending, std::vector<std::uint32_t>& order)
{
    if (!QuickSortGridRows(keys, ascending, CompareNumberKeys<NumberKey<T>>)) return false;
    for (std::size_t pos = 0; pos < order.size(); ++pos) order[pos] = keys[pos].Row;
    return true;
}

bool SortByNumbers(const ResultGridCells& cells, int col, bool ascending, std::vector<std::uint32_t>& order)
{
    // Doubles first; only a grid that holds a wider number is keyed again in extended precision.
    std::vector<NumberKey<double>> keys;
    if (!NumberKeys(cells, col, order, keys)) return SortNumberKeys(keys, ascending, order);
    keys = {};
    std::vector<NumberKey<long double>> wideKeys;
    NumberKeys(cells, col, order, wideKeys);
    return SortNumberKeys(wideKeys, ascending, order);
}

bool SortByText(const ResultGridCells& cells, int col, bool ascending, std::vector<std::uint32_t>& order)
{
    const std::size_t n = order.size();
    std::vector<TextKey> keys(n);
    const unsigned workers = Workers(n);
    // Each piece converts its cells into bytes of its own; the pieces are then laid end to end.
    std::vector<std::string> pieceBytes(workers);
    std::vector<std::pair<std::size_t, std::size_t>> pieces(workers, {0, 0});
    ForEachPiece(n, workers, [&](unsigned w, std::size_t begin, std::size_t end) {
        pieces[w] = {begin, end};
        std::string& bytes = pieceBytes[w];
        std::string cell;
        Gb18030Text gb18030;
        for (std::size_t pos = begin; pos < end; ++pos) {
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
    });
    std::string bytes = std::move(pieceBytes[0]);
    for (unsigned w = 1; w < workers; ++w) {
        const std::uint64_t base = bytes.size();
        bytes += pieceBytes[w];
        pieceBytes[w] = {};
        for (std::size_t pos = pieces[w].first; pos < pieces[w].second; ++pos) keys[pos].Offset += base;
    }
    const char* data = bytes.data();
    if (!QuickSortGridRows(keys, ascending,
                           [data](const TextKey& a, const TextKey& b) { return CompareTextKeys(a, b, data); }))
        return false;
    for (std::size_t pos = 0; pos < n; ++pos) order[pos] = keys[pos].Row;
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
