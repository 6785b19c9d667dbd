#include "KeywordColours.h"

namespace KeywordColours {

QColor OfCategory(int category)
{
    switch (category) {
    case 1: return Category1;
    case 2: return Category2;
    case 3:
    case 4: return Category3And4;
    default: return Plain;
    }
}

} // namespace KeywordColours
