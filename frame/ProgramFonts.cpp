#include "ProgramFonts.h"

#include <QFont>
#include <QStringList>

namespace ProgramFonts {

void InstallSubstitutes()
{
    if (!QFont::substitutes(SongTi).contains(FixedWidthChineseFace)) QFont::insertSubstitution(SongTi, FixedWidthChineseFace);
}

} // namespace ProgramFonts
