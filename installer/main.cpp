// The program Install: no arguments; the welcome page, then the event loop.
#include "InstallEnvironment.h"
#include "InstallerGlobals.h"
#include "PageSwitch.h"
#include "TfrmStep1.h"
#include "WizardPages.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Install"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/installer/Tarnvale.png")));
    // The toolkit's own texts (message-box buttons, the folder dialog) in Chinese.
    QTranslator translator;
    if (translator.load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&translator);
    // The installation medium is the folder this program lies in.
    InstallerGlobals::Reset(InstallEnvironment::OfThisProcess(QApplication::applicationDirPath()));
    SwitchPage(nullptr, frmStep1);
    const int result = application.exec();
    WizardPages::DeleteAll();
    return result;
}
