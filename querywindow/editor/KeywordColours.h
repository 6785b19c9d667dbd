// The colours of the keyword colouring.
#pragma once

#include <QColor>

namespace KeywordColours {

inline const QColor Plain{0, 0, 0};
inline const QColor Category1{0, 0, 255};
inline const QColor Category2{0, 177, 0};
inline const QColor Category3And4{255, 0, 255};
inline const QColor LineComment{0, 128, 128};

// The colour of a category: 1 blue, 2 green, 3 and 4 fuchsia; any other value (a word not in the
// table included) plain black.
QColor OfCategory(int category);

// Whether a category gets a colour of its own.
inline bool IsColoured(int category) { return category >= 1 && category <= 4; }

} // namespace KeywordColours
