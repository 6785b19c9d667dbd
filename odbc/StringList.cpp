#include "StringList.h"

#include <QString>

#include <algorithm>

void SortStringList(StringList& list)
{
    std::vector<std::pair<QString, std::string>> keyed;
    keyed.reserve(list.size());
    for (auto& s : list) keyed.emplace_back(QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())), std::move(s));
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        return QString::compare(a.first, b.first, Qt::CaseInsensitive) < 0;
    });
    for (std::size_t i = 0; i < keyed.size(); ++i) list[i] = std::move(keyed[i].second);
}
