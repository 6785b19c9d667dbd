#include "WordCharacters.h"

namespace ostrel {

namespace {

struct CodePointRange {
    char32_t first;
    char32_t last;
};

// Letters and digits of the scripts a SQL text is likely to hold, in ascending order; a few
// unassigned or symbol code points inside a block are accepted for the sake of a short table.
constexpr CodePointRange WordRanges[] = {
    {0x0030, 0x0039}, {0x0041, 0x005A}, {0x005F, 0x005F}, {0x0061, 0x007A},
    {0x00AA, 0x00AA}, {0x00B5, 0x00B5}, {0x00BA, 0x00BA}, {0x00C0, 0x00D6}, {0x00D8, 0x00F6},
    {0x00F8, 0x02C1},                     // Latin-1 letters, Latin Extended, IPA, modifier letters
    {0x0370, 0x0373}, {0x0376, 0x0377}, {0x037B, 0x037D}, {0x037F, 0x037F}, {0x0386, 0x0386},
    {0x0388, 0x03F5}, {0x03F7, 0x0481},   // Greek, Cyrillic
    {0x048A, 0x052F}, {0x0531, 0x0556}, {0x0561, 0x0587}, // Cyrillic, Armenian
    {0x05D0, 0x05EA}, {0x0620, 0x064A}, {0x0660, 0x0669}, {0x0671, 0x06D3}, // Hebrew, Arabic
    {0x0E01, 0x0E30}, {0x0E50, 0x0E59},   // Thai
    {0x1100, 0x11FF},                     // Hangul Jamo
    {0x1E00, 0x1FBC},                     // Latin Extended Additional, Greek Extended
    {0x3005, 0x3007}, {0x3021, 0x3029},   // ideographic iteration mark and numerals
    {0x3041, 0x3096}, {0x309D, 0x309F}, {0x30A1, 0x30FA}, {0x30FC, 0x30FF}, // kana
    {0x3105, 0x312F}, {0x3131, 0x318E},   // Bopomofo, Hangul compatibility Jamo
    {0x3400, 0x4DBF}, {0x4E00, 0x9FFF},   // CJK ideographs
    {0xAC00, 0xD7A3},                     // Hangul syllables
    {0xF900, 0xFAFF},                     // CJK compatibility ideographs
    {0xFF10, 0xFF19}, {0xFF21, 0xFF3A}, {0xFF41, 0xFF5A}, // full-width digits and Latin
    {0xFF66, 0xFFDC},                     // half-width kana and Hangul
    {0x20000, 0x323AF},                   // CJK ideographs of the supplementary planes
};

} // namespace

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

bool IsWordCodePoint(char32_t c)
{
    for (const CodePointRange& r : WordRanges) {
        if (c < r.first) return false;
        if (c <= r.last) return true;
    }
    return false;
}

char32_t CodePointBefore(const char16_t* text, std::int32_t textLength, std::int32_t position)
{
    if (position <= 0 || position > textLength) return 0;
    const char16_t last = text[position - 1];
    if (IsLowSurrogate(last) && position >= 2 && IsHighSurrogate(text[position - 2]))
        return 0x10000 + ((char32_t(text[position - 2]) - 0xD800) << 10) + (char32_t(last) - 0xDC00);
    return last;
}

char32_t CodePointAt(const char16_t* text, std::int32_t textLength, std::int32_t position)
{
    if (position < 0 || position >= textLength) return 0;
    const char16_t first = text[position];
    if (IsHighSurrogate(first) && position + 1 < textLength && IsLowSurrogate(text[position + 1]))
        return 0x10000 + ((char32_t(first) - 0xD800) << 10) + (char32_t(text[position + 1]) - 0xDC00);
    return first;
}

} // namespace ostrel
