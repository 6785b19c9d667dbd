// What a query window asks of the frame that holds it: the frame's commands it mirrors its
// states onto, its Windows-menu entry, and the frame's other query windows.
#pragma once

#include <QString>

#include <cstdint>

class QAction;
class TFMain;

// A stable id of one query window for the whole process; never a native window id.
using QueryWindowHandle = std::uint64_t;

class QueryWindowFrame {
public:
    virtual ~QueryWindowFrame() = default;

    // The frame's current query window (the one its commands act on), or none.
    virtual TFMain* ActiveQueryWindow() = 0;
    virtual int QueryWindowCount() = 0;
    // The frame's tool button or menu item of that name, or none.
    virtual QAction* FrameCommand(const QString& name) = 0;

    virtual void CheckWindowMenuEntry(QueryWindowHandle handle, const QString& caption) = 0;
    virtual void MarkWindowIdle(QueryWindowHandle handle) = 0;
    virtual void RemoveWindowMenuSeparator() = 0;
    virtual void RemoveWindowMenuEntry(QueryWindowHandle handle) = 0;
    // The message a closing query window sends the frame (it still counts among the frame's
    // windows).
    virtual void WM_QUERYWINDOWCLOSING() = 0;
    virtual void SetAutoSizeFirstChild(std::uint8_t value) = 0;
    // Saves the window's SQL text to a script file the user chooses; true only when it was written.
    virtual bool SaveWindowScript(TFMain&) { return false; }
};
