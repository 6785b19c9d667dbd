// The text-search library libOstrel.so: three entry points over UTF-16 text, loaded by name at run
// time. Positions and lengths count UTF-16 code units from 0 (the positions of a Qt text document).
//
// Every entry point returns true and stores the 0-based position of the match's first character in
// *position when it finds a match; otherwise it returns false and leaves *position as it was. Null
// pointers, negative lengths and an empty find text never match.
//
// Options: OstrelMatchCase compares code units exactly; without it both texts are compared after
// simple per-code-unit case folding (ASCII, Latin-1, Latin Extended, Greek, Cyrillic and full-width
// Latin letters; every other code unit compares exactly). OstrelWholeWord accepts a match only when
// the characters just before and after it are not letters, digits or "_" (CJK ideographs, kana and
// Hangul count as letters). A match never starts or ends between the two halves of a surrogate pair.
#pragma once

#include <cstdint>

#define OSTREL_EXPORT __attribute__((visibility("default")))

constexpr std::uint32_t OstrelMatchCase = 0x1;
constexpr std::uint32_t OstrelWholeWord = 0x2;

extern "C" {

// The first match that starts at or after start (a negative start searches from 0).
OSTREL_EXPORT bool SeekForward(const char16_t* text, std::int32_t textLength, std::int32_t start,
                               const char16_t* find, std::int32_t findLength, std::uint32_t options,
                               std::int32_t* position);

// The last match that lies wholly before start (a start beyond the text searches the whole text).
OSTREL_EXPORT bool SeekBackward(const char16_t* text, std::int32_t textLength, std::int32_t start,
                                const char16_t* find, std::int32_t findLength, std::uint32_t options,
                                std::int32_t* position);

// The last match that starts before the selection's start and ends no later than its end, so that
// repeated calls with the previous match selected walk up the text; with an empty selection the
// match lies wholly before the caret. A negative selection length counts as 0.
OSTREL_EXPORT bool SeekBackwardRich(const char16_t* text, std::int32_t textLength, std::int32_t selectionStart,
                                    std::int32_t selectionLength, const char16_t* find, std::int32_t findLength,
                                    std::uint32_t options, std::int32_t* position);

} // extern "C"

// The entry points' types, for a caller that resolves them by name.
using SeekForwardFunction = bool (*)(const char16_t*, std::int32_t, std::int32_t, const char16_t*, std::int32_t,
                                     std::uint32_t, std::int32_t*);
using SeekBackwardFunction = SeekForwardFunction;
using SeekBackwardRichFunction = bool (*)(const char16_t*, std::int32_t, std::int32_t, std::int32_t,
                                          const char16_t*, std::int32_t, std::uint32_t, std::int32_t*);
