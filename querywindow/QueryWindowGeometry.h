// The query window's layout figures: its size and place in the MDI area, status-bar panel widths
// and the editor's height.
#pragma once

#include <QPoint>
#include <QSize>

#include <array>
#include <vector>

namespace QueryWindowGeometry {

inline constexpr int StatusBarHeight = 19;
inline constexpr int SplitterHeight = 6;
// The size a query window opens with, frame included, where no default size for the screen applies.
inline constexpr QSize DesignedSize(760, 540);

// StatusBar1: two panels of 2/9, two of 3/16 of the client width, the last one the rest.
std::array<int, 5> StatusBar1PanelWidths(int clientWidth);
// StatusBar2: two thirds side by side, the last one the rest.
std::array<int, 3> StatusBar2PanelWidths(int clientWidth);

// The widths a status bar shows: every panel but the last at least as wide as its text needs
// (needed) and never narrower than its share (designed); the last one the rest of the bar.
std::vector<int> ShownPanelWidths(const std::vector<int>& designed, const std::vector<int>& needed, int barWidth);

// Where the index-th query window since the MDI area was last empty (0 for the first) opens:
// cascaded down and right by step from the area's top left corner, starting over at the corner
// when the window would leave the area.
QPoint CascadePosition(int index, const QSize& window, const QSize& area, int step);

// The editor's height while the results area is shown.
int EditorHeightWithResults(int clientHeight);
// The editor's height when a run starts.
int EditorHeightAtRunStart(int clientHeight);

} // namespace QueryWindowGeometry
