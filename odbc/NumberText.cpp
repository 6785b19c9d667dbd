#include "NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace NumberText {

std::string Exponent(double value, int significantDigits)
{
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    // Past 17 digits a double has nothing more to say.
    int digits = std::clamp(significantDigits, 1, 17);
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, digits - 1);
    std::string s(buf, res.ptr);
    auto e = s.find('e');
    std::string mantissa = s.substr(0, e);
    std::string exp = s.substr(e + 1);
    char sign = exp[0];
    std::string expDigits = exp.substr(1);
    while (expDigits.size() < 3) expDigits.insert(expDigits.begin(), '0');
    return mantissa + "E" + sign + expDigits;
}

std::string RightAligned(std::string text, std::size_t width)
{
    if (text.size() < width) text.insert(text.begin(), width - text.size(), ' ');
    return text;
}

} // namespace NumberText
