// Locale-independent number texts: "." is always the decimal point.
#pragma once

#include <cstdint>
#include <string>

namespace NumberText {

// Scientific notation with the given number of significant digits: d.ddd, "E", sign, at least three
// exponent digits (1.50000000000000E+000).
std::string Exponent(double value, int significantDigits);

// Right-aligns the text in a field of the given width (no cut when it is longer).
std::string RightAligned(std::string text, std::size_t width);

} // namespace NumberText
