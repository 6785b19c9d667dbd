#include "DesktopOpener.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

class XdgDesktopOpener : public DesktopOpener {
public:
    bool OpenFile(const QString& path) override { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }

    bool HasProgramFor(const QString& mimeType) override
    {
        const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
        if (xdgMime.isEmpty()) return false;
        QProcess query;
        query.start(xdgMime, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
        if (!query.waitForFinished(5000) || query.exitStatus() != QProcess::NormalExit || query.exitCode() != 0)
            return false;
        return !query.readAllStandardOutput().trimmed().isEmpty();
    }

    bool StartProgram(const QString& program, const QStringList& arguments) override
    {
        return QProcess::startDetached(program, arguments);
    }
};

DesktopOpener* g_installed = nullptr;

} // namespace

DesktopOpener& DesktopOpener::Current()
{
    static XdgDesktopOpener desktop;
    return g_installed ? *g_installed : desktop;
}

void DesktopOpener::Install(DesktopOpener* opener) { g_installed = opener; }
