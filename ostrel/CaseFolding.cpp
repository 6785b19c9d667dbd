#include "CaseFolding.h"

namespace ostrel {

namespace {

// Blocks where upper and lower case alternate: the upper-case letter sits at an even (or odd)
// code point and its lower-case letter right after it.
struct AlternatingRange {
    char16_t first;
    char16_t last;
};

constexpr AlternatingRange EvenUpperRanges[] = {
    {0x0100, 0x012F}, {0x0132, 0x0137}, {0x014A, 0x0177}, {0x01DE, 0x01EF}, {0x01F8, 0x021F},
    {0x0222, 0x0233}, {0x0246, 0x024F}, {0x0460, 0x0481}, {0x048A, 0x04BF}, {0x04D0, 0x052F},
    {0x1E00, 0x1E95}, {0x1EA0, 0x1EFF},
};

constexpr AlternatingRange OddUpperRanges[] = {
    {0x0139, 0x0148}, {0x0179, 0x017E}, {0x01CD, 0x01DC}, {0x04C1, 0x04CE},
};

} // namespace

char16_t FoldCase(char16_t u)
{
    if (u < 0x80) return (u >= u'A' && u <= u'Z') ? char16_t(u + 32) : u;
    if (u >= 0xC0 && u <= 0xDE && u != 0xD7) return char16_t(u + 32);
    if (u < 0x100) return u;
    for (const AlternatingRange& r : EvenUpperRanges)
        if (u >= r.first && u <= r.last) return (u % 2 == 0) ? char16_t(u + 1) : u;
    for (const AlternatingRange& r : OddUpperRanges)
        if (u >= r.first && u <= r.last) return (u % 2 == 1) ? char16_t(u + 1) : u;
    switch (u) {
    case 0x0178: return 0x00FF;             // Y with diaeresis
    case 0x017F: return u's';               // long s
    case 0x01C4: case 0x01C5: return 0x01C6; // DZ with caron, its title case
    case 0x01C7: case 0x01C8: return 0x01C9; // LJ
    case 0x01CA: case 0x01CB: return 0x01CC; // NJ
    case 0x01F1: case 0x01F2: return 0x01F3; // DZ
    case 0x0386: return 0x03AC;
    case 0x038C: return 0x03CC;
    case 0x038E: return 0x03CD;
    case 0x038F: return 0x03CE;
    case 0x03C2: return 0x03C3;             // final sigma
    case 0x04C0: return 0x04CF;
    case 0x1E9E: return 0x00DF;             // capital sharp s
    default: break;
    }
    if (u >= 0x0388 && u <= 0x038A) return char16_t(u + 37);
    if ((u >= 0x0391 && u <= 0x03A1) || (u >= 0x03A3 && u <= 0x03AB)) return char16_t(u + 32);
    if (u >= 0x0400 && u <= 0x040F) return char16_t(u + 80);
    if (u >= 0x0410 && u <= 0x042F) return char16_t(u + 32);
    if (u >= 0xFF21 && u <= 0xFF3A) return char16_t(u + 32); // full-width Latin
    return u;
}

} // namespace ostrel
