#include "SqlTextRoutines.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool StartsAt(std::string_view text, std::size_t pos, std::string_view marker)
{
    return !marker.empty() && text.compare(pos, marker.size(), marker) == 0;
}

// Flags every byte of quoted text, the quotes themselves included. Comments are only followed so
// that an apostrophe in one ("-- don't") does not turn the rest of the batch into a literal.
std::vector<char> QuotedBytes(std::string_view text, std::string_view blockOpen, std::string_view blockClose,
                              std::string_view lineMarker, bool backslashEscapes)
{
    std::vector<char> quoted(text.size(), 0);
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        if (!blockClose.empty() && StartsAt(text, i, blockOpen)) {
            // The close marker may share characters with the open one: "/*/" is a whole block.
            std::size_t close = text.find(blockClose, i + 1);
            if (close == npos) break;
            i = std::max(close + blockClose.size(), i + blockOpen.size());
            continue;
        }
        if (StartsAt(text, i, lineMarker)) {
            i = text.find_first_of("\r\n", i + lineMarker.size());
            if (i == npos) break;
            continue;
        }
        const char quote = text[i];
        if (quote != '\'' && quote != '"') {
            ++i;
            continue;
        }
        // In '...' a backslash may escape the next character, the quote among them.
        const bool escapes = backslashEscapes && quote == '\'';
        std::size_t j = i + 1;
        for (;;) {
            j = escapes ? text.find_first_of("'\\", j) : text.find(quote, j);
            if (j == npos) {
                j = n;  // never closed: the rest of the text is quoted
                break;
            }
            if (text[j] == '\\') {
                j = std::min(j + 2, n);
                continue;
            }
            if (j + 1 < n && text[j + 1] == quote) {
                j += 2;  // a doubled quote is part of the literal
                continue;
            }
            ++j;
            break;
        }
        std::fill(quoted.begin() + static_cast<std::ptrdiff_t>(i), quoted.begin() + static_cast<std::ptrdiff_t>(j), 1);
        i = j;
    }
    return quoted;
}

bool Unquoted(const std::vector<char>& quoted, std::size_t pos, std::size_t length)
{
    auto first = quoted.begin() + static_cast<std::ptrdiff_t>(pos);
    return std::none_of(first, first + static_cast<std::ptrdiff_t>(length), [](char q) { return q != 0; });
}

// Non-overlapping occurrences of the marker that lie wholly outside quoted text, ascending.
std::vector<std::size_t> UnquotedOccurrences(std::string_view text, std::string_view marker,
                                             const std::vector<char>& quoted)
{
    std::vector<std::size_t> found;
    if (marker.empty()) return found;
    std::size_t p = text.find(marker);
    while (p != npos) {
        if (Unquoted(quoted, p, marker.size())) {
            found.push_back(p);
            p = text.find(marker, p + marker.size());
        } else {
            p = text.find(marker, p + 1);
        }
    }
    return found;
}

bool IsBlank(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) <= 32; });
}

} // namespace

std::string StripSQLComments(std::string_view sql, bool backslashEscapes)
{
    std::string withoutBlocks;
    if (!RemoveDelimitedBlocks(sql, "/*", "*/", withoutBlocks, backslashEscapes)) return std::string(sql);
    return RemoveLineComments(withoutBlocks, "--", "\r\n", backslashEscapes);
}

bool RemoveDelimitedBlocks(std::string_view text, std::string_view openMarker, std::string_view closeMarker,
                           std::string& result, bool backslashEscapes)
{
    const std::vector<char> quoted = QuotedBytes(text, openMarker, closeMarker, "--", backslashEscapes);
    const std::vector<std::size_t> open = UnquotedOccurrences(text, openMarker, quoted);
    const std::vector<std::size_t> close = UnquotedOccurrences(text, closeMarker, quoted);

    bool paired = open.size() == close.size();
    for (std::size_t i = 0; paired && i < open.size(); ++i) {
        if (!(open[i] < close[i])) paired = false;
        if (i + 1 < open.size() && !(close[i] < open[i + 1])) paired = false;
    }
    if (!paired || open.empty()) {
        result = std::string(text);
        return paired;
    }

    std::string cut(text.substr(0, open.front()));
    for (std::size_t i = 0; i + 1 < open.size(); ++i) {
        const std::size_t from = close[i] + closeMarker.size();
        if (from < open[i + 1]) cut.append(text.substr(from, open[i + 1] - from));
    }
    cut.append(text.substr(close.back() + closeMarker.size()));
    result = std::move(cut);
    return true;
}

std::string RemoveLineComments(std::string_view text, std::string_view marker, std::string_view lineEnd,
                               bool backslashEscapes)
{
    text = text.substr(0, text.find('\0'));
    std::string result;
    if (text.empty()) return result;
    result.reserve(text.size() + text.size() / 16 + lineEnd.size());

    const std::vector<char> quoted = QuotedBytes(text, {}, {}, marker, backslashEscapes);
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t eol = text.find_first_of("\r\n", start);
        const std::size_t lineStop = eol == npos ? text.size() : eol;
        std::size_t keep = lineStop;
        if (!marker.empty()) {
            for (std::size_t p = text.find(marker, start); p != npos && p + marker.size() <= lineStop;
                 p = text.find(marker, p + 1)) {
                if (Unquoted(quoted, p, marker.size())) {
                    keep = p;
                    break;
                }
            }
        }
        result.append(text.substr(start, keep - start));
        std::size_t next = text.size();
        if (eol != npos) next = (text[eol] == '\r' && eol + 1 < text.size() && text[eol + 1] == '\n') ? eol + 2 : eol + 1;
        // A line break inside a literal is part of the value: it goes to the driver as typed.
        if (eol != npos && keep == lineStop && !Unquoted(quoted, eol, 1))
            result.append(text.substr(eol, next - eol));
        else
            result.append(lineEnd);
        start = next;
    }
    return result;
}

std::vector<std::string> SplitStatements(std::string_view batch, std::string_view separator, bool backslashEscapes)
{
    std::vector<std::string> statements;
    const std::vector<char> quoted = QuotedBytes(batch, "/*", "*/", "--", backslashEscapes);
    std::size_t start = 0;
    for (std::size_t p : UnquotedOccurrences(batch, separator, quoted)) {
        statements.emplace_back(batch.substr(start, p - start));
        start = p + separator.size();
    }
    const std::string_view rest = batch.substr(start);
    if (!IsBlank(rest)) statements.emplace_back(rest);
    if (statements.empty()) statements.emplace_back(batch);
    return statements;
}

std::string FormatElapsedTime(const QDateTime& a, const QDateTime& b)
{
    return FormatElapsedTime(static_cast<std::int64_t>(a.msecsTo(b)));
}

std::string FormatElapsedTime(std::int64_t milliseconds)
{
    // Unsigned magnitude, so that the most negative count has one too.
    const std::uint64_t total = milliseconds < 0 ? 0 - static_cast<std::uint64_t>(milliseconds)
                                                 : static_cast<std::uint64_t>(milliseconds);
    char text[48];
    std::snprintf(text, sizeof text, "%llu:%02u:%02u.%03u", static_cast<unsigned long long>(total / 3600000),
                  static_cast<unsigned>(total / 60000 % 60), static_cast<unsigned>(total / 1000 % 60),
                  static_cast<unsigned>(total % 1000));
    return text;
}

std::string FormatElapsedSeconds(double seconds)
{
    if (std::isnan(seconds)) return FormatElapsedTime(std::int64_t{0});
    // nearbyint in the default rounding mode takes a half to the even neighbour.
    const double milliseconds = std::nearbyint(std::fabs(seconds) * 1000.0);
    constexpr double limit = 9.2e18;  // below the largest 64-bit count
    if (milliseconds >= limit) return FormatElapsedTime(std::numeric_limits<std::int64_t>::max());
    return FormatElapsedTime(static_cast<std::int64_t>(milliseconds));
}
