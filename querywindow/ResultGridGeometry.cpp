#include "ResultGridGeometry.h"

#include <QList>

#include <cmath>

namespace ResultGridGeometry {

namespace {

bool IsWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

int Truncated(double w) { return static_cast<int>(std::trunc(w)); }

int DecimalDigits(long long n)
{
    int d = 1;
    if (n < 0) n = -n;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}

} // namespace

int TextDisplayColumns(const QString& text)
{
    int columns = 0;
    for (char32_t c : text.toUcs4()) columns += IsWide(c) ? 2 : 1;
    return columns;
}

int RowNumberColumnWidth(int gridRowCount)
{
    const int d = DecimalDigits(static_cast<long long>(gridRowCount) - 1);
    const double w = d < 4 ? 29.0 : d * 7.25;
    return Truncated(w) + 1;
}

int DataColumnWidth(std::int32_t displayWidth, const QString& name)
{
    double w = static_cast<double>(displayWidth) * 20;
    const double t = std::trunc(w / 64);
    if (t > 6)
        w = 198.4;
    else if (t > 4)
        w = 192.0;
    const double byName = TextDisplayColumns(name) * 7.25;
    if (byName > w) w = byName;
    return Truncated(w) + 1;
}

} // namespace ResultGridGeometry
