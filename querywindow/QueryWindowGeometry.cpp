#include "QueryWindowGeometry.h"

namespace QueryWindowGeometry {

std::array<int, 5> StatusBar1PanelWidths(int w)
{
    const int a = (w * 2) / 9;
    const int b = (w * 3) / 16;
    return {a, a, b, b, w - 2 * a - 2 * b};
}

std::array<int, 3> StatusBar2PanelWidths(int w)
{
    const int a = w / 3;
    return {a, a, w - 2 * a};
}

int EditorHeightWithResults(int h) { return static_cast<int>(h * 0.3747); }

int EditorHeightAtRunStart(int h) { return (h * 3) / 8; }

} // namespace QueryWindowGeometry
