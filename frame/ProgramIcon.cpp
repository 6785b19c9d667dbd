#include "ProgramIcon.h"

QIcon ProgramIcon() { return QIcon(QStringLiteral(":/Tarnvale/Tarnvale.png")); }
