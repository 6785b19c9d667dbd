#include "QueryWindowGeometry.h"

#include <algorithm>

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

std::vector<int> ShownPanelWidths(const std::vector<int>& designed, const std::vector<int>& needed, int barWidth)
{
    std::vector<int> shown(designed.size(), 0);
    int used = 0;
    for (std::size_t i = 0; i + 1 < designed.size(); ++i) {
        shown[i] = std::max(designed[i], i < needed.size() ? needed[i] : 0);
        used += shown[i];
    }
    if (!shown.empty()) shown.back() = std::max(barWidth - used, 0);
    return shown;
}

QPoint CascadePosition(int index, const QSize& window, const QSize& area, int step)
{
    if (step <= 0 || index <= 0) return {0, 0};
    const int room = std::min(area.width() - window.width(), area.height() - window.height());
    const int places = std::max(room, 0) / step + 1;
    const int k = index % places;
    return {k * step, k * step};
}

int EditorHeightWithResults(int h) { return static_cast<int>(h * 0.3747); }

int EditorHeightAtRunStart(int h) { return (h * 3) / 8; }

} // namespace QueryWindowGeometry
