#include "ToolkitTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ToolkitTranslations {

bool Install()
{
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) return false;
    const QString name = QString::fromLatin1(FileName);
    if (application->findChild<QTranslator*>(name, Qt::FindDirectChildrenOnly)) return true;
    // The application owns the translator: it lives as long as the texts it translates.
    auto* translator = new QTranslator(application);
    translator->setObjectName(name);
    if (!translator->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

void UseChineseLocale() { QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China)); }

} // namespace ToolkitTranslations
