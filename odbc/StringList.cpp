#include "StringList.h"

#include <QString>
#include <QStringEncoder>

#include <algorithm>

namespace {

// The sort key of a name: ASCII letters folded to lower case, then the GB18030 encoding, whose
// byte order is the GBK order (pinyin order for the common characters). The folding comes first:
// the second byte of a double-byte character may look like an ASCII letter.
std::string SortKey(const std::string& name, QStringEncoder& gb18030)
{
    QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    for (QChar& c : text)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) c = QChar(c.unicode() + ('a' - 'A'));
    const QByteArray bytes = gb18030.isValid() ? QByteArray(gb18030.encode(text)) : text.toUtf8();
    return bytes.toStdString();
}

} // namespace

void SortStringList(StringList& list)
{
    QStringEncoder gb18030("GB18030", QStringConverter::Flag::Stateless);
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(list.size());
    for (auto& s : list) {
        std::string key = SortKey(s, gb18030);
        keyed.emplace_back(std::move(key), std::move(s));
    }
    // std::string compares its bytes as unsigned values.
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < keyed.size(); ++i) list[i] = std::move(keyed[i].second);
}
