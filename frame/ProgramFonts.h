// The faces the program's texts are shown in: "宋体", the face the windows are designed with, has
// fixed-width letters; here it stands for a fixed-width Chinese face that the set-up installs.
#pragma once

#include <QString>

namespace ProgramFonts {

inline const QString SongTi = QStringLiteral("宋体");
inline const QString FixedWidthChineseFace = QStringLiteral("WenQuanYi Micro Hei Mono");

// From now on a font asking for "宋体" gets the fixed-width Chinese face where the machine has no
// "宋体" of its own.
void InstallSubstitutes();

} // namespace ProgramFonts
