// The image-list index a tool button or menu item shows, kept on the action itself; setting it
// also gives the action the picture of that index.
#pragma once

class QAction;

namespace CommandImage {

inline constexpr int None = -1;
inline constexpr int NewQuery = 0;
inline constexpr int OpenScript = 1;
inline constexpr int SaveScript = 2;
inline constexpr int Cut = 3;
inline constexpr int Paste = 5;
inline constexpr int Find = 6;
inline constexpr int Replace = 7;
inline constexpr int GridDisplay = 8;
inline constexpr int Undo = 9;
inline constexpr int Redo = 10;
inline constexpr int TextDisplay = 11;
inline constexpr int Stop = 13;
inline constexpr int Export = 14;
inline constexpr int About = 15;
inline constexpr int Exit = 16;
inline constexpr int Copy = 23;
inline constexpr int Font = 44;
inline constexpr int Refresh = 46;
inline constexpr int FileDisplay = 47;
// The running picture: the run button's, and a busy window's item in the Windows menu.
inline constexpr int Running = 49;

void Set(QAction* action, int index);
// None when the action carries no image.
int Of(const QAction* action);

} // namespace CommandImage
