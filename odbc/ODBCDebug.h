// Constants shared by the ODBC diagnostics.
#pragma once

namespace ODBCDebug {

// Frames every line of an ODBC error text: a carriage return alone.
inline constexpr const char* ErrorTextLineBreak = "\r";

} // namespace ODBCDebug
