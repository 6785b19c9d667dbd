#include "InstallCopy.h"

#include "ReadOnlyAttribute.h"

#include <QFile>
#include <QFileInfo>

namespace {

CopyResult Failed(const QString& error) { return {CopyResult::Outcome::Failed, error}; }

bool Exists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Why source cannot be copied, or empty.
QString SourceProblem(const QString& source)
{
    const QFileInfo from(source);
    if (!from.exists()) return QStringLiteral("源文件不存在");
    if (!from.isFile()) return QStringLiteral("源不是文件");
    return {};
}

} // namespace

CopyResult CopyKeepingTarget(const QString& source, const QString& target)
{
    if (Exists(target)) return {CopyResult::Outcome::TargetKept, {}};
    if (const QString problem = SourceProblem(source); !problem.isEmpty()) return Failed(problem);
    QFile file(source);
    if (!file.copy(target)) return Failed(file.errorString());
    return {CopyResult::Outcome::Copied, {}};
}

CopyResult CopyReplacingReadOnly(const QString& source, const QString& target)
{
    // The old file goes only when the new one is there to take its place.
    if (const QString problem = SourceProblem(source); !problem.isEmpty()) return Failed(problem);
    const QFileInfo info(target);
    if (info.isFile() && !info.isSymLink() && ReadOnlyAttribute::IsSet(target)) {
        ReadOnlyAttribute::Clear(target);
        QFile old(target);
        if (!old.remove()) {
            ReadOnlyAttribute::Set(target);
            return Failed(old.errorString());
        }
    }
    return CopyKeepingTarget(source, target);
}
