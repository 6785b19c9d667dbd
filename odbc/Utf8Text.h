// Byte-limited cuts of UTF-8 text that never split a character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Utf8Text {

// Length of the longest prefix of at most maxBytes bytes that ends on a character boundary.
inline std::size_t BoundaryAtOrBefore(std::string_view text, std::size_t maxBytes)
{
    if (text.size() <= maxBytes) return text.size();
    std::size_t n = maxBytes;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return n;
}

// Length of the text without a trailing incomplete multi-byte sequence.
inline std::size_t CompleteLength(std::string_view text)
{
    if (text.empty() || static_cast<unsigned char>(text.back()) < 0x80) return text.size();
    std::size_t i = text.size();
    std::size_t back = 0;
    while (i > 0 && back < 4 && (static_cast<unsigned char>(text[i - 1]) & 0xC0) == 0x80) --i, ++back;
    if (i == 0) return text.size();
    unsigned char lead = static_cast<unsigned char>(text[i - 1]);
    std::size_t need = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return (text.size() - (i - 1) < need) ? i - 1 : text.size();
}

inline std::string CutToBytes(std::string_view text, std::size_t maxBytes)
{
    return std::string(text.substr(0, BoundaryAtOrBefore(text, maxBytes)));
}

// Number of characters (code points) in the text.
inline std::size_t CharacterCount(std::string_view text)
{
    std::size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

// The byte length of the first maxChars characters of the text.
inline std::size_t ByteLengthOfCharacters(std::string_view text, std::size_t maxChars)
{
    std::size_t chars = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (chars == maxChars) return i;
            ++chars;
        }
    }
    return text.size();
}

// The first maxChars characters of the text.
inline std::string CutToCharacters(std::string_view text, std::size_t maxChars)
{
    return std::string(text.substr(0, ByteLengthOfCharacters(text, maxChars)));
}

} // namespace Utf8Text
