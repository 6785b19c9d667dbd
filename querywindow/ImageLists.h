// The program's pictures, by the indexes of its image lists: the command images of the tool bar and
// the menus (ImageList1), the result pages' images (ImageList_forshowresult) and the dialogs'
// pictures. They come from a freedesktop icon theme; a picture the theme lacks is a null icon.
#pragma once

#include <QIcon>

namespace ImageLists {

// The theme the pictures come from.
inline constexpr const char* ThemeName = "Tango";

// Points Qt at the icon theme once: its name and the folders of the installed themes, which a
// session without a desktop (or the offscreen platform) does not give.
void UseIconTheme();

// The command image of an index of the frame's image list; a null icon for an index it lacks.
QIcon ImageList1(int index);

// Result pages: 0 a result grid's page, 1 the messages page "消息".
inline constexpr int ResultPageImage = 0;
inline constexpr int MessagesPageImage = 1;
QIcon ImageList_forshowresult(int index);

// The pictures at the top of the connect and the options dialogs.
QIcon ConnectDialogPicture();
QIcon OptionsDialogPicture();

// The theme name an index of the frame's image list maps to; nullptr for an index it lacks.
const char* ImageList1Name(int index);

} // namespace ImageLists
