// The lines of the Windows-menu registry: one per query window, its handle in decimal, "@@@@"
// and its caption; the handle with "@@@@" is the line's key.
#pragma once

#include "QueryWindowFrame.h"

#include <QString>
#include <QStringList>

namespace WindowMenuEntry {

inline constexpr const char* KeyEnd = "@@@@";

QString Line(QueryWindowHandle handle, const QString& caption);
QString Key(QueryWindowHandle handle);
// The index of the first line that begins with the handle's key, or -1.
int Find(const QStringList& registry, QueryWindowHandle handle);
// The text before the first "@@@@" of a line (the whole line when it has none).
QString HandleText(const QString& line);

} // namespace WindowMenuEntry
