// One entry of a keyword table's bucket chain.
#pragma once

#include <cstdint>
#include <string>

struct TKeywordNode {
    std::string Name;           // the upper-case word, at most 50 characters
    std::uint8_t Category = 0;  // 0..9; the colouring knows 1..4
    TKeywordNode* Next = nullptr;
};
