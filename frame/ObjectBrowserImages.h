// The object browser's image list ImageList_treeview: the small pictures its nodes show, by the
// fixed indexes the tree uses.
#pragma once

#include <QIcon>

namespace ObjectBrowserImages {

inline constexpr int ClosedFolder = 1;     // category and detail group
inline constexpr int Table = 2;            // system and user tables
inline constexpr int OtherTable = 3;       // aliases and temporary tables
inline constexpr int OpenFolder = 4;       // category and "列"/"参数" when selected
inline constexpr int View = 10;
inline constexpr int IndexColumn = 14;
inline constexpr int KeyColumn = 16;
inline constexpr int Column = 17;
inline constexpr int Connection = 18;
inline constexpr int Index = 20;
inline constexpr int Procedure = 21;
inline constexpr int Parameter = 22;

// The picture of an index; a null icon for an index the list does not hold.
QIcon Image(int index);

} // namespace ObjectBrowserImages
