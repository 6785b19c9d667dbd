#include "ResultColumns.h"

#include "ODBCIntf.h"
#include "Utf8Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

template <typename T>
T ValueAs(const TColumnDescriptor& d)
{
    T v{};
    std::memcpy(&v, d.DataBuffer.get(), sizeof v);
    return v;
}

template <typename T>
void AppendInteger(T v, std::string& out)
{
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

void AppendPadded(unsigned v, std::size_t digits, std::string& out)
{
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    std::size_t n = static_cast<std::size_t>(r.ptr - buf);
    if (n < digits) out.append(digits - n, '0');
    out.append(buf, n);
}

// Writes v (below 100) as two digits at p; larger values are written whole. Returns the end.
char* PutTwoDigits(char* p, unsigned v)
{
    if (v >= 100) return std::to_chars(p, p + 12, v).ptr;
    p[0] = static_cast<char>('0' + v / 10);
    p[1] = static_cast<char>('0' + v % 10);
    return p + 2;
}

char* PutYear(char* p, SQLSMALLINT year)
{
    if (year >= 1000) return std::to_chars(p, p + 8, year).ptr;
    const char* pad = year >= 100 ? "0" : year >= 10 ? "00" : "000";
    while (*pad) *p++ = *pad++;
    return std::to_chars(p, p + 8, year).ptr;
}

char* PutDate(char* p, SQLSMALLINT y, unsigned m, unsigned d)
{
    p = PutYear(p, y);
    *p++ = '-';
    p = PutTwoDigits(p, m);
    *p++ = '-';
    return PutTwoDigits(p, d);
}

char* PutTime(char* p, unsigned h, unsigned m, unsigned s, char separator)
{
    p = PutTwoDigits(p, h);
    *p++ = separator;
    p = PutTwoDigits(p, m);
    *p++ = separator;
    return PutTwoDigits(p, s);
}

void AppendDate(SQLSMALLINT y, unsigned m, unsigned d, std::string& out)
{
    char buf[40];
    out.append(buf, PutDate(buf, y, m, d));
}

void AppendTime(unsigned h, unsigned m, unsigned s, std::string& out)
{
    char buf[40];
    out.append(buf, PutTime(buf, h, m, s, ':'));
}

// The fraction in units of `unit` nanoseconds, rounded half up; never a digit more than the field has.
unsigned RoundedFraction(SQLUINTEGER nanoseconds, unsigned unit, unsigned maximum)
{
    unsigned v = nanoseconds / unit + (nanoseconds % unit >= unit / 2 ? 1 : 0);
    return std::min(v, maximum);
}

void AppendTimestamp(const TIMESTAMP_STRUCT& t, TDbmsKind kind, std::string& out)
{
    char buf[80];
    char* p = PutDate(buf, t.year, t.month, t.day);
    if (kind == DbmsKind::DB2) {
        *p++ = '-';
        p = PutTime(p, t.hour, t.minute, t.second, '.');
        out.append(buf, p);
        out += '.';
        AppendPadded(RoundedFraction(t.fraction, 1000, 999999), 6, out);
        return;
    }
    *p++ = ' ';
    p = PutTime(p, t.hour, t.minute, t.second, ':');
    out.append(buf, p);
    if (kind == DbmsKind::MicrosoftSqlServer || kind == DbmsKind::Sybase) {
        out += '.';
        AppendPadded(RoundedFraction(t.fraction, 1000000, 999), 3, out);
    } else if (kind == DbmsKind::Informix) {
        out += '.';
        AppendPadded(RoundedFraction(t.fraction, 10000, 99999), 5, out);
    }
}

void AppendBinary(const TColumnDescriptor& d, const RenderContext& c, std::string& out)
{
    const TDbmsKind kind = c.Kind;
    if (kind == DbmsKind::DB2) {
        // The value's own bytes only: a buffer that held a longer value keeps its tail.
        std::size_t bytes = std::min(static_cast<std::size_t>(d.BufferLength), BytesShownAsText(c));
        if (d.Indicator >= 0) bytes = std::min(bytes, static_cast<std::size_t>(d.Indicator));
        const char* p = d.DataBuffer.get();
        out.append(p, strnlen(p, bytes));
    } else if (kind == DbmsKind::MicrosoftSqlServer || kind == DbmsKind::Sybase) {
        out += "<Binary>";
    } else {
        out += "(BLOB)";
    }
}

// The value of a decimal digit; above 9 for any other character.
unsigned DigitValue(char c) { return static_cast<unsigned>(static_cast<unsigned char>(c)) - unsigned{'0'}; }

// Exactly n decimal digits of s from at, as a number.
bool ReadDigits(std::string_view s, std::size_t at, std::size_t n, unsigned& v)
{
    if (at + n > s.size()) return false;
    v = 0;
    for (std::size_t i = at; i < at + n; ++i) {
        const unsigned digit = DigitValue(s[i]);
        if (digit > 9) return false;
        v = v * 10 + digit;
    }
    return true;
}

// Exactly N decimal digits at p, which holds them, as a number; every digit looked at in one pass.
template <std::size_t N>
bool ReadFixedDigits(const char* p, unsigned& v)
{
    v = 0;
    bool digits = true;
#pragma GCC unroll 4
    for (std::size_t i = 0; i < N; ++i) {
        const unsigned digit = DigitValue(p[i]);
        digits &= digit <= 9;
        v = v * 10 + digit;
    }
    return digits;
}

// The days of month m (1 to 12) of year y; 0 for any other month.
unsigned MonthLength(unsigned y, unsigned m)
{
    static constexpr unsigned char days[16] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31, 0, 0, 0};
    const bool leap = (y % 4 == 0) & ((y % 100 != 0) | (y % 400 == 0));
    return days[m & 15] + ((m == 2) & leap);
}

// "YYYY-MM-DD": a day of the calendar, years 1 to 9999.
bool ReadDate(std::string_view s, DATE_STRUCT& d)
{
    unsigned y, m, day;
    if (s.size() < 10) return false;
    const char* p = s.data();
    if (!ReadFixedDigits<4>(p, y) || p[4] != '-' || !ReadFixedDigits<2>(p + 5, m) || p[7] != '-' ||
        !ReadFixedDigits<2>(p + 8, day))
        return false;
    if (y < 1 || m < 1 || m > 12 || day < 1) return false;
    // Every month has 28 days: only a later day needs the month's length.
    if (day > 28 && day > MonthLength(y, m)) return false;
    d = {static_cast<SQLSMALLINT>(y), static_cast<SQLUSMALLINT>(m), static_cast<SQLUSMALLINT>(day)};
    return true;
}

// "HH:MM:SS" from at.
bool ReadTime(std::string_view s, std::size_t at, TIME_STRUCT& t)
{
    unsigned h, m, sec;
    if (s.size() < at + 8) return false;
    const char* p = s.data() + at;
    if (!ReadFixedDigits<2>(p, h) || p[2] != ':' || !ReadFixedDigits<2>(p + 3, m) || p[5] != ':' ||
        !ReadFixedDigits<2>(p + 6, sec) || h > 23 || m > 59 || sec > 59)
        return false;
    t = {static_cast<SQLUSMALLINT>(h), static_cast<SQLUSMALLINT>(m), static_cast<SQLUSMALLINT>(sec)};
    return true;
}

// "YYYY-MM-DD HH:MM:SS", then a fraction of 1 to 9 digits after ".", or nothing.
bool ReadTimestamp(std::string_view s, TIMESTAMP_STRUCT& t)
{
    DATE_STRUCT d;
    TIME_STRUCT tm;
    if (s.size() < 19 || !ReadDate(s.substr(0, 10), d) || s[10] != ' ' || !ReadTime(s, 11, tm)) return false;
    unsigned fraction = 0;
    if (s.size() > 19) {
        const std::size_t digits = s.size() - 20;
        if (s[19] != '.' || digits < 1 || digits > 9 || !ReadDigits(s, 20, digits, fraction)) return false;
        for (std::size_t i = digits; i < 9; ++i) fraction *= 10;
    }
    t = {d.year, d.month, d.day, tm.hour, tm.minute, tm.second, fraction};
    return true;
}

// A decimal integer written as its rendering writes it (no sign but "-", no leading zero) with
// fewer digits than the type's largest value: the text is then its own rendering.
bool RendersAsItself(std::string_view s, std::size_t maximumDigits)
{
    const std::size_t sign = !s.empty() && s[0] == '-' ? 1 : 0;
    const std::size_t digits = s.size() - sign;
    if (digits == 0 || digits >= maximumDigits || (s[sign] == '0' && (digits > 1 || sign))) return false;
    for (std::size_t i = sign; i < s.size(); ++i)
        if (DigitValue(s[i]) > 9) return false;
    return true;
}

template <typename T>
bool ReadWhole(std::string_view s, T& v)
{
    auto r = std::from_chars(s.data(), s.data() + s.size(), v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size() && !s.empty();
}

bool ReadFiniteDouble(std::string_view s, double& v)
{
    // from_chars would take "inf" and "nan", which the driver gives only for text.
    if (s.empty() || !(s[0] == '-' || s[0] == '.' || (s[0] >= '0' && s[0] <= '9'))) return false;
    return ReadWhole(s, v) && std::isfinite(v);
}

// A plain decimal of at most 15 significant digits, 0 or of a size in [0.0001, 10^15): its general
// format is the text itself up to the fraction's last digit other than zero (the point goes with
// an all-zero fraction). Returns the length of that part; 0 for any other text, and for a zero
// with a sign, which that format shows without it.
std::size_t PlainDecimalLength(std::string_view s)
{
    std::size_t i = s.size() > 0 && s[0] == '-' ? 1 : 0;
    const std::size_t intStart = i;
    while (i < s.size() && DigitValue(s[i]) <= 9) ++i;
    const std::string_view whole = s.substr(intStart, i - intStart);
    if (whole.empty() || (whole.size() > 1 && whole[0] == '0')) return 0;
    std::string_view fraction;
    if (i < s.size()) {
        if (s[i] != '.') return 0;
        fraction = s.substr(i + 1);
        if (fraction.empty()) return 0;
        for (char ch : fraction)
            if (DigitValue(ch) > 9) return 0;
    }
    while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
    std::size_t significant;
    if (whole == "0") {
        if (fraction.empty()) return intStart ? 0 : 1;
        const std::size_t zeros = fraction.find_first_not_of('0');
        if (zeros > 3) return 0;
        significant = fraction.size() - zeros;
    } else {
        significant = whole.size() + fraction.size();
    }
    if (significant > 15 || whole.size() > 15) return 0;
    return fraction.empty() ? i : i + 1 + fraction.size();
}

// The characters a text buffer holds first: the driver's size, at least the name's, at most the
// cap; a driver that reports no size gets the cap.
SQLULEN DataCharacters(const TColumnDescriptor& d, const RenderContext& c)
{
    SQLULEN chars = d.DriverColumnSize;
    if (chars == 0) chars = static_cast<SQLULEN>(c.MaxFieldLen);
    if (d.NameLength > 0) chars = std::max<SQLULEN>(chars, static_cast<SQLULEN>(d.NameLength));
    chars = std::min<SQLULEN>(chars, static_cast<SQLULEN>(std::max(c.MaxFieldLen, 1)));
    return std::max<SQLULEN>(chars, 1);
}

// A tinyint is a byte from 0 to 255 on these data sources, from -128 to 127 on the others.
bool TinyIntIsUnsigned(TDbmsKind kind)
{
    return kind == DbmsKind::MicrosoftSqlServer || kind == DbmsKind::Sybase || kind == DbmsKind::Access;
}

} // namespace

bool KeepsAnyValue(std::string_view dbmsName) { return dbmsName == "SQLite"; }

namespace {

// A kind that shows no fraction of a second.
bool ShowsNoFraction(TDbmsKind kind)
{
    return kind != DbmsKind::DB2 && kind != DbmsKind::MicrosoftSqlServer && kind != DbmsKind::Sybase &&
           kind != DbmsKind::Informix;
}

// True where the text is exactly a value of C type valueType and is its own rendering (a plain
// decimal's own part is found where it is written).
bool ShowsAsItself(std::string_view v, SQLSMALLINT valueType, TDbmsKind kind)
{
    switch (valueType) {
    case SQL_C_LONG: return RendersAsItself(v, 10);
    case SQL_C_SBIGINT: return RendersAsItself(v, 19);
    case SQL_C_BIT: return v == "0" || v == "1";
    // Four digits of year, two of month and day, and so on: the text is its own rendering.
    case SQL_C_DATE: {
        DATE_STRUCT d;
        return v.size() == 10 && ReadDate(v, d);
    }
    case SQL_C_TIME: {
        TIME_STRUCT t;
        return v.size() == 8 && ReadTime(v, 0, t);
    }
    case SQL_C_TIMESTAMP: {
        TIMESTAMP_STRUCT t;
        return v.size() == 19 && ShowsNoFraction(kind) && ReadTimestamp(v, t);
    }
    default: return false;
    }
}

#if defined(__SSE2__)
// The bytes of a buffer whose classes are read at once: more than the text of any number, date
// or time that is its own rendering.
constexpr SQLLEN ClassifiedBytes = 32;

// Where the 32 bytes from p are decimal digits and where they are one given character, a bit each.
class ByteClasses {
public:
    explicit ByteClasses(const char* p)
        : low_(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p))),
          high_(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)))
    {
    }
    std::uint32_t Digits() const
    {
        // A digit less '0' is 0 to 9 and no byte else is: bytes equal to their minimum with 9.
        const __m128i zero = _mm_set1_epi8('0'), nine = _mm_set1_epi8(9);
        const __m128i low = _mm_sub_epi8(low_, zero), high = _mm_sub_epi8(high_, zero);
        return Bits(_mm_cmpeq_epi8(_mm_min_epu8(low, nine), low), _mm_cmpeq_epi8(_mm_min_epu8(high, nine), high));
    }
    std::uint32_t Equal(char ch) const
    {
        const __m128i c = _mm_set1_epi8(ch);
        return Bits(_mm_cmpeq_epi8(low_, c), _mm_cmpeq_epi8(high_, c));
    }

private:
    static std::uint32_t Bits(__m128i low, __m128i high)
    {
        return static_cast<std::uint32_t>(_mm_movemask_epi8(low)) |
               static_cast<std::uint32_t>(_mm_movemask_epi8(high)) << 16;
    }
    __m128i low_, high_;
};

unsigned TwoDigits(const char* p) { return DigitValue(p[0]) * 10 + DigitValue(p[1]); }

// The date part of "YYYY-MM-DD" at p, whose digits and dashes are checked: a day of the calendar,
// years 1 to 9999, without a branch on the month or the day.
[[gnu::always_inline]] inline bool IsCalendarDay(const char* p)
{
    const unsigned y = TwoDigits(p) * 100 + TwoDigits(p + 2), m = TwoDigits(p + 5), day = TwoDigits(p + 8);
    return (y >= 1) & (m - 1 < 12) & (day - 1 < MonthLength(y, m));
}

// "HH:MM:SS" at p, whose digits and colons are checked: hours to 23, minutes and seconds to 59.
bool IsTimeOfDay(const char* p) { return (TwoDigits(p) <= 23) & (TwoDigits(p + 3) <= 59) & (TwoDigits(p + 6) <= 59); }

// A decimal integer of at most maximumDigits - 1 digits written as its rendering writes it, as
// RendersAsItself decides: the n bytes of text from p, whose classes are known.
bool IsOwnInteger(const char* p, std::uint32_t n, const ByteClasses& b, std::uint32_t maximumDigits)
{
    const std::uint32_t sign = p[0] == '-' ? 1 : 0;
    const std::uint32_t digits = n - sign;
    const std::uint32_t wanted = ((std::uint32_t{1} << n) - 1) & ~sign;
    return (digits - 1 < maximumDigits - 1) & ((b.Digits() & wanted) == wanted) &
           ((p[sign] != '0') | ((digits == 1) & (sign == 0)));
}

// A plain decimal that PlainDecimalLength keeps whole: a sign, a first digit other than zero, at
// most one point with digits on both sides, no zero at the end of a fraction, at most 15 digits.
// False for any other text, which that check then decides.
bool IsWholePlainDecimal(const char* p, std::uint32_t n, const ByteClasses& b)
{
    const std::uint32_t sign = p[0] == '-' ? 1 : 0;
    const std::uint32_t all = ((std::uint32_t{1} << n) - 1) & ~sign;
    const std::uint32_t points = b.Equal('.') & all;
    const std::uint32_t digits = n - sign - (points ? 1 : 0);
    // The point's bit is neither the first nor the last of the text's own.
    const std::uint32_t inner = all & ~(std::uint32_t{1} << sign) & ~(std::uint32_t{1} << (n - 1));
    return (((b.Digits() | points) & all) == all) & ((points & (points - 1)) == 0) & ((points & ~inner) == 0) &
           (DigitValue(p[sign]) - 1 < 9) & ((points == 0) | (p[n - 1] != '0')) & (digits - 1 < 15);
}

// True where the n bytes of text from p (a buffer of at least ClassifiedBytes) are exactly a value
// of C type valueType that is its own rendering, as ShowsAsItself and PlainDecimalLength decide;
// false where they are not, or where only those checks can tell.
bool ShowsAsItselfAtOnce(const char* p, std::uint32_t n, SQLSMALLINT valueType, TDbmsKind kind)
{
    if (n == 0 || n >= ClassifiedBytes) return false;
    const ByteClasses b(p);
    switch (valueType) {
    case SQL_C_LONG: return IsOwnInteger(p, n, b, 10);
    case SQL_C_SBIGINT: return IsOwnInteger(p, n, b, 19);
    case SQL_C_DOUBLE: return IsWholePlainDecimal(p, n, b);
    case SQL_C_DATE:
        return (n == 10) & ((b.Digits() & 0x3FF) == 0x36F) & ((b.Equal('-') & 0x3FF) == 0x90) && IsCalendarDay(p);
    case SQL_C_TIME:
        return (n == 8) & ((b.Digits() & 0xFF) == 0xDB) & ((b.Equal(':') & 0xFF) == 0x24) && IsTimeOfDay(p);
    case SQL_C_TIMESTAMP:
        return (n == 19) & ShowsNoFraction(kind) & ((b.Digits() & 0x7FFFF) == 0x6DB6F) &
                   ((b.Equal('-') & 0x7FFFF) == 0x90) & ((b.Equal(' ') & 0x7FFFF) == 0x400) &
                   ((b.Equal(':') & 0x7FFFF) == 0x12000) &&
               IsCalendarDay(p) & IsTimeOfDay(p + 11);
    default: return false;
    }
}
#endif

// Appends the text as a value of C type valueType where it is exactly one; false, appending
// nothing, where it is not.
bool AppendTypedValue(std::string_view v, SQLSMALLINT valueType, const RenderContext& c, std::string& out)
{
    if (ShowsAsItself(v, valueType, c.Kind)) {
        out.append(v);
        return true;
    }
    // A value that its rendering writes otherwise; a date, a time or a bit is only ever itself.
    switch (valueType) {
    case SQL_C_LONG: {
        std::int32_t x;
        if (ReadWhole(v, x)) {
            AppendInteger(x, out);
            return true;
        }
        break;
    }
    case SQL_C_SHORT: {
        std::int16_t x;
        if (ReadWhole(v, x)) {
            AppendInteger(x, out);
            return true;
        }
        break;
    }
    case SQL_C_SBIGINT: {
        std::int64_t x;
        if (ReadWhole(v, x)) {
            AppendInteger(x, out);
            return true;
        }
        break;
    }
    case SQL_C_TINYINT: {
        int x;
        const bool unsignedByte = TinyIntIsUnsigned(c.Kind);
        if (ReadWhole(v, x) && (unsignedByte ? x >= 0 && x <= 255 : x >= -128 && x <= 127)) {
            AppendInteger(x, out);
            return true;
        }
        break;
    }
    case SQL_C_DOUBLE: {
        if (const std::size_t kept = PlainDecimalLength(v)) {
            out.append(v.substr(0, kept));
            return true;
        }
        double x;
        if (ReadFiniteDouble(v, x)) {
            AppendGeneralFloat(x, out);
            return true;
        }
        break;
    }
    case SQL_C_FLOAT: {
        double x;
        // Only a value that a 32-bit float holds exactly is one: any other would be changed.
        if (ReadFiniteDouble(v, x) && static_cast<double>(static_cast<float>(x)) == x) {
            AppendGeneralFloat(x, out);
            return true;
        }
        break;
    }
    case SQL_C_TIMESTAMP: {
        TIMESTAMP_STRUCT t;
        if (!ReadTimestamp(v, t)) break;
        // A kind that shows no fraction: the text's date and time are their own rendering.
        if (ShowsNoFraction(c.Kind)) {
            out.append(v.substr(0, 19));
            return true;
        }
        AppendTimestamp(t, c.Kind, out);
        return true;
    }
    default: break;
    }
    return false;
}

} // namespace

void AppendValueText(std::string_view v, SQLSMALLINT valueType, const RenderContext& c, std::string& out)
{
    if (AppendTypedValue(v, valueType, c, out)) return;
    if (c.DoubleQualifier && !c.Qualifier.empty() &&
        (v.find_first_of(",\r\n") != std::string_view::npos || v.find(c.Qualifier) != std::string_view::npos))
        AppendQualified(v, c, out);
    else
        out.append(v);
}

void AppendQualified(std::string_view value, const RenderContext& c, std::string& out)
{
    if (c.Qualifier.empty()) {
        out.append(value);
        return;
    }
    out += c.Qualifier;
    if (c.DoubleQualifier && value.find(c.Qualifier) != std::string_view::npos) {
        for (std::size_t i = 0; i < value.size();) {
            if (value.compare(i, c.Qualifier.size(), c.Qualifier) == 0) {
                out += c.Qualifier;
                out += c.Qualifier;
                i += c.Qualifier.size();
            } else {
                out += value[i++];
            }
        }
    } else {
        out.append(value);
    }
    out += c.Qualifier;
}

void AppendGeneralFloat(double value, std::string& out)
{
    if (value == 0) {
        out += '0';
        return;
    }
    if (!std::isfinite(value)) {
        out += std::isnan(value) ? "NAN" : (value < 0 ? "-INF" : "INF");
        return;
    }
    char buf[40];
    // The shortest text that reads back as the value: when it has at most 15 significant digits it
    // is also the value rounded to 15 digits, and it costs far less to make.
    auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    {
        std::string_view shortest(buf, static_cast<std::size_t>(r.ptr - buf));
        std::size_t digits = shortest.find('e') - (shortest[0] == '-' ? 1 : 0) - (shortest.find('.') != std::string_view::npos ? 1 : 0);
        if (digits > 15) r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    }
    std::string_view s(buf, static_cast<std::size_t>(r.ptr - buf));
    const bool negative = s[0] == '-';
    if (negative) s.remove_prefix(1);
    const std::size_t e = s.find('e');
    int exponent = 0;
    std::from_chars(s.data() + e + 1 + (s[e + 1] == '+' ? 1 : 0), s.data() + s.size(), exponent);
    std::string digits;
    digits += s[0];
    if (e > 2) digits.append(s.substr(2, e - 2));
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    if (negative) out += '-';
    if (exponent >= -4 && exponent < 15) {
        if (exponent < 0) {
            out += "0.";
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out += digits;
        } else if (static_cast<std::size_t>(exponent) + 1 >= digits.size()) {
            out += digits;
            out.append(static_cast<std::size_t>(exponent) + 1 - digits.size(), '0');
        } else {
            out.append(digits, 0, static_cast<std::size_t>(exponent) + 1);
            out += '.';
            out.append(digits, static_cast<std::size_t>(exponent) + 1);
        }
        return;
    }
    out += digits[0];
    if (digits.size() > 1) {
        out += '.';
        out.append(digits, 1);
    }
    out += 'E';
    if (exponent < 0) out += '-';
    AppendInteger(std::abs(exponent), out);
}

SQLULEN ResultColumnSize(const TColumnDescriptor& d, const RenderContext& c)
{
    SQLULEN size = d.DriverColumnSize;
    if (d.NameLength > 0 && static_cast<SQLULEN>(d.NameLength) > size) size = static_cast<SQLULEN>(d.NameLength);
    if (size > static_cast<SQLULEN>(c.MaxFieldLen)) size = static_cast<SQLULEN>(c.MaxFieldLen);
    if (d.Name == "REQUIRED") size = 9;
    if (c.Kind == DbmsKind::MicrosoftSqlServer && (d.SqlType == SQL_WCHAR || d.SqlType == SQL_WVARCHAR)) size *= 2;
    return size;
}

std::string ResultColumnHeader(const TColumnDescriptor& d) { return d.Name.empty() ? std::string("(无列名)") : d.Name; }

std::string DescribeResultColumn(SQLHSTMT stmt, SQLUSMALLINT j, TColumnDescriptor& d, const RenderContext& c)
{
    DescribeColumn(stmt, j, d);
    d.ColumnSize = ResultColumnSize(d, c);
    return ResultColumnHeader(d);
}

namespace {

// The binding by the column's SQL type.
ResultBinding TypeBinding(const TColumnDescriptor& d, const RenderContext& c)
{
    const SQLLEN size = static_cast<SQLLEN>(d.ColumnSize);
    // Text buffers hold whole characters, up to four bytes each in UTF-8. A text is cut only at
    // the run's cap, a number never: a value longer than its buffer is read again whole.
    const SQLLEN textBytes = static_cast<SQLLEN>(DataCharacters(d, c)) * 4 + 1;
    const auto textLimit = static_cast<SQLULEN>(std::max(c.MaxFieldLen, 1));
    switch (Odbc2DateTimeType(d.SqlType)) {
    case SQL_CHAR: case SQL_VARCHAR: case SQL_LONGVARCHAR:
    case SQL_WCHAR: case SQL_WVARCHAR: case SQL_WLONGVARCHAR:
        return {SQL_C_CHAR, size + 1, std::max(textBytes, size + 1), false, textLimit};
    case SQL_NUMERIC: case SQL_DECIMAL:
        // Digits, sign, point and a leading zero, and the terminator.
        return {SQL_C_CHAR, size + 4, size + 4, true, 0};
    case SQL_INTEGER: return {SQL_C_LONG, 4, 4, true, 0};
    case SQL_SMALLINT: return {SQL_C_SHORT, 2, 2, true, 0};
    case SQL_REAL: return {SQL_C_FLOAT, 4, 4, true, 0};
    case SQL_FLOAT: case SQL_DOUBLE: return {SQL_C_DOUBLE, 8, 8, true, 0};
    case SQL_DATE: return {SQL_C_DATE, 6, static_cast<SQLLEN>(sizeof(DATE_STRUCT)), false, 0};
    case SQL_TIME: return {SQL_C_TIME, 6, static_cast<SQLLEN>(sizeof(TIME_STRUCT)), false, 0};
    case SQL_TIMESTAMP: return {SQL_C_TIMESTAMP, 16, static_cast<SQLLEN>(sizeof(TIMESTAMP_STRUCT)), false, 0};
    case SQL_BINARY: case SQL_VARBINARY: case SQL_LONGVARBINARY: return {SQL_C_BINARY, 100, 100, false, 0};
    case SQL_BIGINT:
        if (c.Kind == DbmsKind::MySql) return {SQL_C_CHAR, 22, 22, true, 0};
        return {SQL_C_SBIGINT, 8, 8, true, 0};
    case SQL_TINYINT: return {SQL_C_TINYINT, 1, 1, true, 0};
    case SQL_BIT: return {SQL_C_BIT, size + 1, std::max<SQLLEN>(size + 1, 2), true, 0};
    default:
        return {SQL_C_BINARY, size + 1, size + 1, false, 0};
    }
}

} // namespace

ResultBinding ResultBindingFor(const TColumnDescriptor& d, const RenderContext& c)
{
    ResultBinding b = TypeBinding(d, c);
    if (c.KeepsAnyValue && b.CType != SQL_C_CHAR && b.CType != SQL_C_BINARY) {
        // Room for any number, date or time in text; a longer value is read again, a text that is
        // no such value only up to the cap of any text (never below what a value's text needs).
        constexpr SQLLEN valueTextBytes = 32;
        b.ValueType = b.CType;
        b.CType = SQL_C_CHAR;
        b.Bytes = valueTextBytes;
        b.CharacterLimit = std::max<SQLULEN>(static_cast<SQLULEN>(std::max(c.MaxFieldLen, 1)), valueTextBytes - 1);
    }
    return b;
}

void BindResultColumn(SQLHSTMT stmt, SQLUSMALLINT j, TColumnDescriptor& d, FieldsList_Tesk& column,
                      const RenderContext& c)
{
    const ResultBinding b = ResultBindingFor(d, c);
    column.Name = QString::fromUtf8(d.Name.data(), static_cast<qsizetype>(d.Name.size()));
    column.SqlType = d.SqlType;
    if (!b.Numeric) column.Numeric = 0;
    d.Bind(stmt, j, b.CType, b.Bytes);
    d.CharacterLimit = b.CharacterLimit;
    d.ValueType = b.ValueType;
    column.DisplayWidth = static_cast<std::int32_t>(b.DisplayBytes > 10 ? b.DisplayBytes / 2 : b.DisplayBytes);
}

std::vector<std::pair<int, std::string>> ReadChangedValuesAgain(SQLHSTMT stmt, std::vector<TColumnDescriptor>& columns,
                                                                int n)
{
    // The states of a value changed in its conversion to the bound C type; a cut text or cut
    // bytes the indicator tells already.
    static constexpr const char* changed[] = {"01S07", "22003", "22007", "22008", "22018", "07006"};
    struct Report {
        int column; // 0: the driver does not say which
        std::string text;
    };
    std::vector<Report> reports;
    SQLCHAR state[6] = {};
    std::vector<SQLCHAR> text(2048);
    for (SQLSMALLINT record = 1;; ++record) {
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        const SQLRETURN rc = ::SQLGetDiagRec(SQL_HANDLE_STMT, stmt, record, state, &native, text.data(),
                                             static_cast<SQLSMALLINT>(text.size() - 1), &length);
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) break;
        const std::string_view s(reinterpret_cast<const char*>(state), 5);
        if (std::none_of(std::begin(changed), std::end(changed), [&](const char* c) { return s == c; })) continue;
        text.back() = 0;
        SQLINTEGER column = 0;
        if (!ODBCIntf::SQLSucceeded(::SQLGetDiagField(SQL_HANDLE_STMT, stmt, record, SQL_DIAG_COLUMN_NUMBER, &column,
                                                      SQL_IS_INTEGER, nullptr),
                                    false) ||
            column < 1 || column > n)
            column = 0;
        reports.push_back({static_cast<int>(column), reinterpret_cast<const char*>(text.data())});
    }
    std::vector<std::pair<int, std::string>> notRead;
    for (const Report& r : reports) {
        bool failed = false;
        // Where the driver does not say which column: every value bound as a number, a date or a time.
        for (int j = r.column ? r.column : 1; j <= (r.column ? r.column : n); ++j) {
            TColumnDescriptor& d = columns[static_cast<std::size_t>(j)];
            if (d.RowText || d.CType == SQL_C_CHAR || d.CType == SQL_C_BINARY) continue;
            std::string value;
            bool null = false;
            if (!ODBCIntf::SQLSucceeded(
                    GetWholeValue(stmt, static_cast<SQLUSMALLINT>(j), SQL_C_CHAR, 64, 0, value, null), false))
                failed = true;
            else if (null)
                d.Indicator = SQL_NULL_DATA;
            else
                d.RowText = std::move(value);
        }
        if (failed) notRead.emplace_back(r.column, r.text);
    }
    return notRead;
}

namespace {

// The driver's length where it ends the text and the cap does not cut it: a value of the type is
// only ASCII characters other than zero, so the text read up to its end is the same.
bool TypedTextEndsAtIndicator(const TColumnDescriptor& d)
{
    return d.ValueType && d.Indicator >= 0 && d.Indicator < d.BufferLength && d.DataBuffer[d.Indicator] == 0 &&
           (!d.CharacterLimit || static_cast<SQLULEN>(d.Indicator) <= d.CharacterLimit);
}

[[gnu::noinline]] void RenderBoundField(const TColumnDescriptor& d, const RenderContext& c, std::string& out)
{
    const bool null = d.Indicator == SQL_NULL_DATA;
    if (d.RowText) {
        AppendValueText(*d.RowText, d.CType, c, out);
        return;
    }
    switch (d.CType) {
    case SQL_C_CHAR: {
        const char* p = d.DataBuffer.get();
        if (TypedTextEndsAtIndicator(d) &&
            AppendTypedValue(std::string_view(p, static_cast<std::size_t>(d.Indicator)), d.ValueType, c, out))
            return;
        std::string_view v(p, null ? 0 : strnlen(p, static_cast<std::size_t>(d.BufferLength)));
        v = v.substr(0, Utf8Text::CompleteLength(v));
        // The cap counts characters; only a value with more bytes than that can exceed it.
        if (d.CharacterLimit && v.size() > d.CharacterLimit)
            v = v.substr(0, Utf8Text::BoundaryAtOrBefore(v, Utf8Text::ByteLengthOfCharacters(v, d.CharacterLimit)));
        if (d.ValueType) {
            if (!null) AppendValueText(v, d.ValueType, c, out);
            return;
        }
        AppendQualified(v, c, out);
        return;
    }
    case SQL_C_LONG: if (!null) AppendInteger(ValueAs<std::int32_t>(d), out); return;
    case SQL_C_SHORT: if (!null) AppendInteger(ValueAs<std::int16_t>(d), out); return;
    case SQL_C_FLOAT: if (!null) AppendGeneralFloat(static_cast<double>(ValueAs<float>(d)), out); return;
    case SQL_C_DOUBLE: if (!null) AppendGeneralFloat(ValueAs<double>(d), out); return;
    case SQL_C_DATE:
        if (!null) {
            auto v = ValueAs<DATE_STRUCT>(d);
            AppendDate(v.year, v.month, v.day, out);
        }
        return;
    case SQL_C_TIME:
        if (!null) {
            auto v = ValueAs<TIME_STRUCT>(d);
            AppendTime(v.hour, v.minute, v.second, out);
        }
        return;
    case SQL_C_TIMESTAMP: if (!null) AppendTimestamp(ValueAs<TIMESTAMP_STRUCT>(d), c.Kind, out); return;
    case SQL_C_SBIGINT: if (!null) AppendInteger(ValueAs<std::int64_t>(d), out); return;
    case SQL_C_TINYINT:
        if (!null) {
            auto byte = static_cast<unsigned char>(d.DataBuffer[0]);
            if (TinyIntIsUnsigned(c.Kind))
                AppendInteger(static_cast<unsigned>(byte), out);
            else
                AppendInteger(static_cast<int>(static_cast<signed char>(byte)), out);
        }
        return;
    case SQL_C_BIT: if (!null) AppendInteger(static_cast<unsigned>(static_cast<unsigned char>(d.DataBuffer[0])), out); return;
    default:
        if (!null) AppendBinary(d, c, out);
        return;
    }
}

} // namespace

void RenderResultField(const TColumnDescriptor& d, const RenderContext& c, std::string& out)
{
#if defined(__SSE2__)
    // Most values: a number, a date or a time read as text that is its own rendering, told apart
    // from the rest in a few instructions.
    if (d.CType == SQL_C_CHAR && !d.RowText && d.BufferLength >= ClassifiedBytes && TypedTextEndsAtIndicator(d) &&
        ShowsAsItselfAtOnce(d.DataBuffer.get(), static_cast<std::uint32_t>(d.Indicator), d.ValueType, c.Kind)) {
        out.append(d.DataBuffer.get(), static_cast<std::size_t>(d.Indicator));
        return;
    }
#endif
    RenderBoundField(d, c, out);
}
