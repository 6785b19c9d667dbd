// One word found by the keyword scanner.
#pragma once

#include <QString>

#include <cstdint>

struct Word_ary {
    // ASCII letters and "_" (and "$" for Oracle).
    QString Text;
    // 1-based editor position of the word's first character.
    std::int32_t StartPos = 0;
    // 1-based editor position of the word's last character.
    std::int32_t EndPos = 0;

    bool operator==(const Word_ary&) const = default;
};
