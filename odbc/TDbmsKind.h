// The database kind of a connection, decided from its connection key when a window connects.
#pragma once

using TDbmsKind = int;

namespace DbmsKind {
inline constexpr TDbmsKind DB2 = 1;
inline constexpr TDbmsKind MicrosoftSqlServer = 2;
inline constexpr TDbmsKind Oracle = 3;
inline constexpr TDbmsKind Sybase = 4;
inline constexpr TDbmsKind Informix = 5;
inline constexpr TDbmsKind Access = 6;
inline constexpr TDbmsKind MySql = 7;
inline constexpr TDbmsKind FoxPro = 8;
inline constexpr TDbmsKind Paradox = 9;
inline constexpr TDbmsKind Excel = 10;
inline constexpr TDbmsKind Text = 11;
inline constexpr TDbmsKind Other = 20;
} // namespace DbmsKind
