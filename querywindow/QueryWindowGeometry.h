// The query window's layout figures: status-bar panel widths and the editor's height.
#pragma once

#include <array>

namespace QueryWindowGeometry {

inline constexpr int StatusBarHeight = 19;
inline constexpr int SplitterHeight = 6;

// StatusBar1: two panels of 2/9, two of 3/16 of the client width, the last one the rest.
std::array<int, 5> StatusBar1PanelWidths(int clientWidth);
// StatusBar2: two thirds side by side, the last one the rest.
std::array<int, 3> StatusBar2PanelWidths(int clientWidth);

// The editor's height while the results area is shown.
int EditorHeightWithResults(int clientHeight);
// The editor's height when a run starts.
int EditorHeightAtRunStart(int clientHeight);

} // namespace QueryWindowGeometry
