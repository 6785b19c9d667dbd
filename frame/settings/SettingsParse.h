// How the stored texts of "Tarnvale.ini" and the registry become setting values. An absent value is
// a missing key or an empty one.
#pragma once

#include <QString>

#include <optional>

namespace SettingsParse {

// On exactly when the first character is "Y" or "y"; an absent value gives the default.
bool Flag(const QString& value, bool defaultValue);

// "0" first gives ";", any other present value "$$", absent ";".
QString StatementSeparator(const QString& value);

// "0" first gives no qualifier, "2" first gives "'", any other present value and absent the double quote.
QString TextQualifier(const QString& value);

// The whole value as a decimal integer from 512 to 65536 and a multiple of 512, else 512.
int MaxFieldLen(const QString& value);

// The low four style bits of a decimal integer; 0 when absent or not an integer.
int FontStyle(const QString& value);

// A decimal integer above 0; nullopt when absent or otherwise, and the font keeps its size.
std::optional<int> FontSize(const QString& value);

// The folder with a trailing "/" unless it has one (an empty text stays empty).
QString WithTrailingSeparator(const QString& folder);

} // namespace SettingsParse
