#include "WizardTermination.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace {

bool g_requested = false;

} // namespace

namespace WizardTermination {

void Request()
{
    g_requested = true;
    if (QCoreApplication* application = QCoreApplication::instance())
        QMetaObject::invokeMethod(application, &QCoreApplication::quit, Qt::QueuedConnection);
}

bool Requested() { return g_requested; }

void Reset() { g_requested = false; }

} // namespace WizardTermination
