#include "FolderLevels.h"

#include "LinkFreePath.h"
#include "SystemText.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int Depth(const QString& folder) { return static_cast<int>(QDir::cleanPath(folder).count(u'/')); }

} // namespace

bool CreateFolderLevels(const QString& folder, QStringList* created, QString* error)
{
    created->clear();
    if (!QDir::isAbsolutePath(folder)) {
        if (error) *error = QStringLiteral("不是绝对路径");
        return false;
    }
    const QStringList parts = QDir::cleanPath(folder).split(u'/', Qt::SkipEmptyParts);
    QString level;
    for (const QString& part : parts) {
        level += u'/' + part;
        const QFileInfo info(level);
        if (info.isDir()) continue;
        if (::mkdir(QFile::encodeName(level).constData(), 0777) != 0) {
            if (error) *error = SystemText::Reason(errno);
            RemoveEmptyFolders(*created);
            created->clear();
            return false;
        }
        created->append(LinkFreePath::RealPlace(level));
    }
    return true;
}

QStringList RemoveEmptyFolders(const QStringList& folders, QMap<QString, int>* errors)
{
    QStringList order = folders;
    std::stable_sort(order.begin(), order.end(), [](const QString& a, const QString& b) { return Depth(a) > Depth(b); });
    QStringList kept;
    for (const QString& folder : order) {
        const QString path = QDir::cleanPath(folder);
        if (!QDir::isAbsolutePath(path) || path == QStringLiteral("/")) continue;
        // Gone, or no longer a folder where it was made (a file, a link, or behind a link): nothing
        // of it stays there.
        const int result = LinkFreePath::RemoveEmptyFolder(path);
        if (result == 0 || result == ENOENT || result == ENOTDIR || result == ELOOP) continue;
        if (!kept.contains(path)) kept.append(path);
        if (errors) errors->insert(path, result);
    }
    return kept;
}
