// The image-list index a tool button or menu item shows, kept on the action itself.
#pragma once

class QAction;

namespace CommandImage {

inline constexpr int None = -1;
inline constexpr int GridDisplay = 8;
inline constexpr int TextDisplay = 11;
inline constexpr int FileDisplay = 47;
inline constexpr int Running = 49;

void Set(QAction* action, int index);
// None when the action carries no image.
int Of(const QAction* action);

} // namespace CommandImage
