#include "FileListing.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

int ListFilesByMask(QStringList& list, const QString& mask, const QString& folder)
{
    list.clear();
    const QString pattern = mask == QStringLiteral("*.*") ? QStringLiteral("*") : mask;
    const QRegularExpression match(
        QRegularExpression::wildcardToRegularExpression(pattern),
        QRegularExpression::CaseInsensitiveOption);
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden, QDir::Unsorted)) {
        if (match.match(name).hasMatch()) list.append(name);
    }
    std::sort(list.begin(), list.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    return list.isEmpty() ? -1 : 0;
}
