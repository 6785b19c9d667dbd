// The texts that name a query window and its connection: its title, caption and number, and the
// object browser's connection node text.
#pragma once

#include <QString>

#include <cstdint>

namespace QueryWindowNaming {

inline const QString UntitledText = QStringLiteral("无标题");

// "无标题" followed by the number in decimal.
QString QueryWindowTitle(std::int32_t number);
// The number that follows "无标题" in the title; 0 when there is none.
std::int32_t WindowNumberOf(const QString& title);
// "查询 -- " + data source + "\" + user + "  --" + title.
QString QueryWindowCaption(const QString& dsn, const QString& user, const QString& title);
// Data source + "(" + user + ")".
QString ConnectionNodeText(const QString& dsn, const QString& user);

} // namespace QueryWindowNaming
