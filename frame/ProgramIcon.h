// The program's own icon, built into the program: the frame, every query window and the About box
// show it (never the toolkit's logo).
#pragma once

#include <QIcon>

QIcon ProgramIcon();
