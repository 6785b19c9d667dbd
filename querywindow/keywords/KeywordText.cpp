#include "KeywordText.h"

int KeywordBucket(std::string_view upperWord, int bucketCount)
{
    if (upperWord.empty() || bucketCount <= 0) return 0;
    const std::size_t n = upperWord.size();
    const std::size_t middle = (n + 1) / 2 - 1;
    // At most 255³, so the product fits a signed 32-bit value.
    const int product = static_cast<unsigned char>(upperWord[n - 1]) * static_cast<unsigned char>(upperWord[0]) *
                        static_cast<unsigned char>(upperWord[middle]);
    return product % bucketCount;
}

std::string KeywordUpperCase(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return result;
}

std::string_view KeywordTrim(std::string_view text)
{
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string KeywordNameCut(std::string_view text)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue; // continuation byte
        if (characters == KeywordNameMaxCharacters) return std::string(text.substr(0, i));
        ++characters;
    }
    return std::string(text);
}
