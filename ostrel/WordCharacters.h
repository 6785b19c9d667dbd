// What counts as part of a word for whole-word matching: letters, digits and "_".
#pragma once

#include <cstdint>

namespace ostrel {

bool IsWordCodePoint(char32_t codePoint);

// The character that ends just before position (0 when there is none), a surrogate pair read as one.
char32_t CodePointBefore(const char16_t* text, std::int32_t textLength, std::int32_t position);
// The character that starts at position (0 when there is none), a surrogate pair read as one.
char32_t CodePointAt(const char16_t* text, std::int32_t textLength, std::int32_t position);

bool IsHighSurrogate(char16_t unit);
bool IsLowSurrogate(char16_t unit);

} // namespace ostrel
