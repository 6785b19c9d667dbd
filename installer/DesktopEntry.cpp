#include "DesktopEntry.h"

#include "SystemText.h"

#include <QFileInfo>
#include <QSaveFile>

QString DesktopEntry::EscapeString(const QString& value)
{
    QString escaped;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (c == u'\n')
            escaped += QStringLiteral("\\n");
        else if (c == u'\t')
            escaped += QStringLiteral("\\t");
        else if (c == u'\r')
            escaped += QStringLiteral("\\r");
        else if (c == u' ' && i == 0)
            escaped += QStringLiteral("\\s");
        else
            escaped += c;
    }
    return escaped;
}

QString DesktopEntry::QuoteExecArgument(const QString& argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') quoted += u'\\';
        if (c == u'%') quoted += u'%';
        quoted += c;
    }
    return quoted + u'"';
}

QByteArray DesktopEntry::Content(const Shortcut& shortcut)
{
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Version=1.0\n");
    text += QStringLiteral("Name=") + EscapeString(shortcut.Name) + u'\n';
    text += QStringLiteral("Comment=") + EscapeString(shortcut.Comment) + u'\n';
    text += QStringLiteral("Exec=") + EscapeString(QuoteExecArgument(shortcut.Target)) + u'\n';
    text += QStringLiteral("Path=") + EscapeString(shortcut.WorkingFolder) + u'\n';
    if (!shortcut.Icon.isEmpty()) text += QStringLiteral("Icon=") + EscapeString(shortcut.Icon) + u'\n';
    text += QStringLiteral("Terminal=false\n"
                           "Categories=Development;Database;\n");
    return text.toUtf8();
}

bool DesktopEntry::Write(const QString& path, const Shortcut& shortcut, QString* error)
{
    // The saving would write into the file a link points to.
    if (QFileInfo(path).isSymLink()) {
        if (error) *error = QStringLiteral("此处是符号链接，未替换");
        return false;
    }
    QSaveFile file(path);
    const QByteArray bytes = Content(shortcut);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error) *error = SystemText::InChinese(file.errorString());
        return false;
    }
    return true;
}
