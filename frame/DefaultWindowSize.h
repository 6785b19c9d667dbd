// The size the first query window takes on the common screen sizes.
#pragma once

#include <QSize>

#include <optional>

// The width and height for a screen of that size in pixels; none for any other screen, where the
// window keeps its own size.
std::optional<QSize> DefaultFirstWindowSize(const QSize& screen);
