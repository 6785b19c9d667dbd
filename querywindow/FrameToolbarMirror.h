// The table by which a query window's hidden command states are copied onto the frame's visible
// tool bar and menus, and its application.
#pragma once

#include <QString>

#include <functional>
#include <vector>

class QAction;

namespace FrameToolbarMirror {

enum class State { Enabled, Checked, Image };

struct Row {
    const char* Source;
    State What;
    const char* Target;
    // The source is the frame's own command (as the rows before it have just set it).
    bool SourceOnFrame = false;
};

// The rows in the order they are applied.
const std::vector<Row>& Rows();

using Lookup = std::function<QAction*(const QString& name)>;
// Copies every row from the window's commands onto the frame's; a name either side lacks is skipped.
void Apply(const Lookup& window, const Lookup& frame);

} // namespace FrameToolbarMirror
