// Byte-level text rules shared by the keyword tables and the keyword lookup of the colouring.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The bucket of a word: last byte × first byte × middle byte (the left one of two middles), each as
// 0..255, modulo bucketCount. An empty word or a non-positive bucket count gives 0.
int KeywordBucket(std::string_view upperWord, int bucketCount);

// Only the ASCII letters a-z change; every other byte, UTF-8 sequences included, stays.
std::string KeywordUpperCase(std::string_view text);

// Removes the bytes 0..32 from both ends.
std::string_view KeywordTrim(std::string_view text);

// The longest stored name, in characters.
inline constexpr std::size_t KeywordNameMaxCharacters = 50;

// The first KeywordNameMaxCharacters UTF-8 characters of the text; a character is never split.
std::string KeywordNameCut(std::string_view text);
